// A vector of doubles over a shared, copy-on-write container. Nearly every operation is
// one call of one vector entry: the buffer only takes the right kind of access, computes
// the length and passes its arguments. Statuses of the entries are ignored: a refused
// call (length 0, a zero normalising factor, ...) leaves the data as the access step
// left them.
#pragma once

#include "components/audio/buffers/SGNumericTypes.h"
#include "components/audio/buffers/SGTypedBuffer.h"
#include "dsp/FloatEntries.h"
#include "dsp/MemoryEntries.h"

#include <cstdint>

namespace dcs {

class ISGRealBuffer : public virtual ISGLinearDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{032C61EC-364E-4739-A2FE-E7DA0BA64939}");
    using Parent = ISGLinearDataBuffer;
    virtual const double* Read() = 0;
    virtual double* Write() = 0;
    virtual double* Modify() = 0;
    // ERangeError "Index out of range = %u" outside 0 .. GetSize - 1; SetItem detaches first.
    virtual double GetItem(int index) = 0;
    virtual void SetItem(int index, double value) = 0;
    virtual void VectorJaehne(double magnitude) = 0;
    // Over the common length; this := this op right.
    virtual void Add(ISGRealBuffer* right) = 0;
    virtual void Subtract(ISGRealBuffer* right) = 0;
    virtual void Multiply(ISGRealBuffer* right) = 0;
    // A zero divisor gives 1e15 for a positive quotient, 0 for NaN, -1e14 otherwise.
    virtual void Divide(ISGRealBuffer* right) = 0;
    virtual void SetValue(double value) = 0;
    // The neutral constants (0 to add or subtract, 1 to multiply, 0 and 1 to divide) return
    // at once and leave a shared buffer shared.
    virtual void AddValue(double value) = 0;
    virtual void SubtractValue(double value) = 0;
    virtual void MultiplyValue(double value) = 0;
    virtual void DivideValue(double value) = 0;
    virtual void Zero() = 0;
    // The caller's arrays hold at least GetSize values.
    virtual void ToInt(int32_t* outBuffer, bool round) = 0;
    // Low 16 bits of the (rounded half to even, or truncated) value; no saturation.
    virtual void ToShort(int16_t* outBuffer, bool round) = 0;
    virtual void ToSingle(float* outBuffer) = 0;
    virtual void FromInt(const int32_t* inBuffer) = 0;
    virtual void FromShort(const int16_t* inBuffer) = 0;
    virtual void FromSingle(const float* inBuffer) = 0;
    // (x - offset) / factor over the common length.
    virtual void NormalizeFrom(ISGRealBuffer* src, double offset, double factor) = 0;
    virtual void Normalize(double offset, double factor) = 0;
    virtual double Dot(ISGRealBuffer* right) = 0;
    virtual void Threshold(double threshold, TSGThresholdType type) = 0;
    // src holds at least GetSize elements.
    virtual void ThresholdFrom(ISGRealBuffer* src, double threshold, TSGThresholdType type) = 0;
    virtual void Sqr() = 0;
    virtual void SqrFrom(ISGRealBuffer* src) = 0;
    virtual void Sqrt() = 0;
    virtual void SqrtFrom(ISGRealBuffer* src) = 0;
    // Needs the correlation entries; while none is registered nothing is written.
    virtual void AutoCorr(ISGRealBuffer* src, TSGAutoCorrType type) = 0;
    virtual void CrossCorr(ISGRealBuffer* src1, ISGRealBuffer* src2, int loLag) = 0;
    virtual void Abs() = 0;
    virtual void AbsFrom(ISGRealBuffer* src) = 0;
    virtual void Exp() = 0;
    virtual void ExpFrom(ISGRealBuffer* src) = 0;
    virtual void Ln() = 0;
    virtual void LnFrom(ISGRealBuffer* src) = 0;
    virtual double Mean() = 0;
    virtual double StdDev() = 0;
    // This buffer holds at least src size + h size - 1 elements. Needs the convolution
    // entry; while none is registered nothing is written.
    virtual void Convolve(ISGRealBuffer* src, ISGRealBuffer* h) = 0;
    virtual double Norm(ISGRealBuffer* src, TSGNormType type) = 0;
    virtual double GetMinValue() = 0;
    virtual double GetMaxValue() = 0;
    virtual double GetMinIndex(int& index) = 0;
    virtual double GetMaxIndex(int& index) = 0;
    // Over [indexBegin, indexEnd) clamped to the buffer.
    virtual double GetMin(int indexBegin, int indexEnd) = 0;
    virtual double GetMax(int indexBegin, int indexEnd) = 0;
    // The same, ignoring elements equal to +-1.7976931348623157e308.
    virtual double GetMinRestricted(int indexBegin, int indexEnd) = 0;
    virtual double GetMaxRestricted(int indexBegin, int indexEnd) = 0;
};

// Divides dst by src in place over n elements; where a divisor is exactly 0 the quotient
// becomes 1e15 when positive, 0 when not a number, -1e14 otherwise.
void SGDivideReal(const double* src, double* dst, int n);

// The whole-buffer constant operations the real vector and the real matrix share.
template <class Self, class Interface, class Base = TSGLinearMemoryBuffer>
class TSGRealValueBuffer : public TSGTypedBuffer<Self, double, Interface, Base> {
    using Typed = TSGTypedBuffer<Self, double, Interface, Base>;

public:
    using Typed::Typed;

    void SetValue(double value) override { vpsSet_64f(value, this->Write(), this->Count()); }
    void AddValue(double value) override
    {
        if (value != 0.0)
            this->InPlaceValue(vpsAddC_64f_I, value);
    }
    void SubtractValue(double value) override
    {
        if (value != 0.0)
            this->InPlaceValue(vpsSubC_64f_I, value);
    }
    void MultiplyValue(double value) override
    {
        if (value != 1.0)
            this->InPlaceValue(vpsMulC_64f_I, value);
    }
    void DivideValue(double value) override
    {
        if (value != 0.0 && value != 1.0)
            this->InPlaceValue(vpsDivC_64f_I, value);
    }
    void Zero() override { vpsZero_64f(this->Write(), this->Count()); }
};

class TSGRealBuffer : public TSGRealValueBuffer<TSGRealBuffer, ISGRealBuffer> {
public:
    using TSGRealValueBuffer::TSGRealValueBuffer;

    static IntfPtr<TSGRealBuffer> CreateWordData(const uint16_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateCardinalData(const uint32_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateSmallIntData(const int16_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateIntegerData(const int32_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateSingleData(const float* data, uint32_t size);

    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;

    double GetItem(int index) override { return ItemAt(index); }
    void SetItem(int index, double value) override { StoreItem(index, value); }
    void VectorJaehne(double magnitude) override;
    void Add(ISGRealBuffer* right) override;
    void Subtract(ISGRealBuffer* right) override;
    void Multiply(ISGRealBuffer* right) override;
    void Divide(ISGRealBuffer* right) override;
    void ToInt(int32_t* outBuffer, bool round) override;
    void ToShort(int16_t* outBuffer, bool round) override;
    void ToSingle(float* outBuffer) override;
    void FromInt(const int32_t* inBuffer) override;
    void FromShort(const int16_t* inBuffer) override;
    void FromSingle(const float* inBuffer) override;
    void NormalizeFrom(ISGRealBuffer* src, double offset, double factor) override;
    void Normalize(double offset, double factor) override;
    double Dot(ISGRealBuffer* right) override;
    void Threshold(double threshold, TSGThresholdType type) override;
    void ThresholdFrom(ISGRealBuffer* src, double threshold, TSGThresholdType type) override;
    void Sqr() override;
    void SqrFrom(ISGRealBuffer* src) override;
    void Sqrt() override;
    void SqrtFrom(ISGRealBuffer* src) override;
    void AutoCorr(ISGRealBuffer* src, TSGAutoCorrType type) override;
    void CrossCorr(ISGRealBuffer* src1, ISGRealBuffer* src2, int loLag) override;
    void Abs() override;
    void AbsFrom(ISGRealBuffer* src) override;
    void Exp() override;
    void ExpFrom(ISGRealBuffer* src) override;
    void Ln() override;
    void LnFrom(ISGRealBuffer* src) override;
    double Mean() override;
    double StdDev() override;
    void Convolve(ISGRealBuffer* src, ISGRealBuffer* h) override;
    double Norm(ISGRealBuffer* src, TSGNormType type) override;
    double GetMinValue() override;
    double GetMaxValue() override;
    double GetMinIndex(int& index) override;
    double GetMaxIndex(int& index) override;
    double GetMin(int indexBegin, int indexEnd) override;
    double GetMax(int indexBegin, int indexEnd) override;
    double GetMinRestricted(int indexBegin, int indexEnd) override;
    double GetMaxRestricted(int indexBegin, int indexEnd) override;

    double Min() { return GetMinValue(); }
    double Max() { return GetMaxValue(); }
};

}  // namespace dcs
