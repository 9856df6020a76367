// Typed vectors over shared, copy-on-write containers: doubles, signed 32-bit integers
// and complex doubles. Nearly every operation is one call of one vector entry: the buffer
// only takes the right kind of access (Read: no copy; Write: a fresh container when the
// data are shared; Modify: a private copy when shared), computes the length and passes
// its arguments. Statuses of the entries are ignored: a refused call (length 0, a zero
// normalising factor, ...) leaves the data as the access step left them.
#pragma once

#include "components/audio/buffers/SGSimpleDataBuffer.h"
#include "dsp/DspTypes.h"

#include <cstdint>

namespace dcs {

// A complex value of the complex buffers: two doubles, the layout of Vps64fc.
struct TPNRealComplex {
    double Real;
    double Imaginary;
};
static_assert(sizeof(TPNRealComplex) == sizeof(Vps64fc));

enum TSGThresholdType { ttGreaterThan, ttLessThan };
enum TSGAutoCorrType { actNormal, actBiased, actUnbiased };
enum TSGNormType { ntL1Norm, ntL2Norm, ntCNorm };

class ISGRealBuffer;
class ISGIntegerBuffer;
class ISGComplexBuffer;

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

class ISGIntegerBuffer : public virtual ISGLinearDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{51D45274-AF18-4746-BBF1-94C82F07139B}");
    using Parent = ISGLinearDataBuffer;
    virtual const int32_t* Read() = 0;
    virtual int32_t* Write() = 0;
    virtual int32_t* Modify() = 0;
    // ERangeError "Index out of range = %u" outside 0 .. GetSize - 1; SetItem detaches first.
    virtual int32_t GetItem(int index) = 0;
    virtual void SetItem(int index, int32_t value) = 0;
    // Over the common length, saturating.
    virtual void Add(ISGIntegerBuffer* right) = 0;
    virtual void Subtract(ISGIntegerBuffer* right) = 0;
    virtual void Multiply(ISGIntegerBuffer* right) = 0;
    virtual void Divide(ISGIntegerBuffer* right) = 0;
    // Signed remainder. EDivByZero "Division by zero" at a zero divisor, the elements
    // before it already replaced; INT_MIN mod -1 is 0.
    virtual void ModBuffer(ISGIntegerBuffer* right) = 0;
    virtual void AndBuffer(ISGIntegerBuffer* right) = 0;
    virtual void OrBuffer(ISGIntegerBuffer* right) = 0;
    virtual void XorBuffer(ISGIntegerBuffer* right) = 0;
    // Shift counts are taken modulo 32; RShift fills with zeros.
    virtual void LShift(ISGIntegerBuffer* right) = 0;
    virtual void RShift(ISGIntegerBuffer* right) = 0;
    virtual void SetValue(int32_t value) = 0;
    virtual void AddValue(int32_t value) = 0;
    virtual void SubtractValue(int32_t value) = 0;
    virtual void MultiplyValue(int32_t value) = 0;
    // Truncating; 0 and 1 return at once.
    virtual void DivideValue(int32_t value) = 0;
    // As ModBuffer; a zero value raises before anything changes.
    virtual void ModValue(int32_t value) = 0;
    virtual void AndValue(int32_t value) = 0;
    virtual void OrValue(int32_t value) = 0;
    virtual void XorValue(int32_t value) = 0;
    virtual void LShiftValue(int32_t value) = 0;
    // Arithmetic shift.
    virtual void RShiftValue(int32_t value) = 0;
    virtual void Zero() = 0;
    virtual int32_t Dot(ISGIntegerBuffer* right) = 0;
    virtual int32_t GetMinValue() = 0;
    virtual int32_t GetMaxValue() = 0;
};

class ISGComplexBuffer : public virtual ISGLinearDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{FA61019A-FF10-4472-9F8C-89DC48D5C792}");
    using Parent = ISGLinearDataBuffer;
    virtual const TPNRealComplex* Read() = 0;
    virtual TPNRealComplex* Write() = 0;
    virtual TPNRealComplex* Modify() = 0;
    // ERangeError "Index out of range = %u" outside 0 .. GetSize - 1; SetItem detaches first.
    virtual TPNRealComplex GetItem(int index) = 0;
    virtual void SetItem(int index, TPNRealComplex value) = 0;
    virtual IntfPtr<ISGRealBuffer> GetReal() = 0;
    virtual IntfPtr<ISGRealBuffer> GetImaginary() = 0;
    virtual void Add(ISGComplexBuffer* right) = 0;
    virtual void Subtract(ISGComplexBuffer* right) = 0;
    virtual void Multiply(ISGComplexBuffer* right) = 0;
    virtual void Divide(ISGComplexBuffer* right) = 0;
    virtual void AddValue(double re, double im) = 0;
    virtual void SubtractValue(double re, double im) = 0;
    virtual void MultiplyValue(double re, double im) = 0;
    virtual void DivideValue(double re, double im) = 0;
    // Resizes to the shorter of the two.
    virtual void SetBuffer(ISGRealBuffer* re, ISGRealBuffer* im) = 0;
    virtual void SetValue(double re, double im) = 0;
    virtual void SetValue(TPNRealComplex value) = 0;
    virtual void Zero() = 0;
    virtual void NormalizeFrom(ISGComplexBuffer* src, TPNRealComplex offset, double factor) = 0;
    virtual void Normalize(TPNRealComplex offset, double factor) = 0;
    virtual TPNRealComplex Dot(ISGComplexBuffer* src) = 0;
    virtual void Threshold(double threshold, TSGThresholdType type) = 0;
    virtual void ThresholdFrom(ISGComplexBuffer* src, double threshold, TSGThresholdType type) = 0;
    virtual void Sqr() = 0;
    virtual void SqrFrom(ISGComplexBuffer* src) = 0;
    virtual void Sqrt() = 0;
    virtual void SqrtFrom(ISGComplexBuffer* src) = 0;
    // Need the correlation entries; while none is registered nothing is written.
    virtual void AutoCorr(ISGComplexBuffer* src, TSGAutoCorrType type) = 0;
    virtual void CrossCorr(ISGComplexBuffer* src1, ISGComplexBuffer* src2, int loLag) = 0;
    virtual IntfPtr<ISGRealBuffer> Phase() = 0;
    virtual IntfPtr<ISGRealBuffer> Magnitude() = 0;
    virtual IntfPtr<ISGRealBuffer> PowerSpectrum() = 0;
};

// Divides dst by src in place over n elements; where a divisor is exactly 0 the quotient
// becomes 1e15 when positive, 0 when not a number, -1e14 otherwise.
void SGDivideReal(const double* src, double* dst, int n);

// Element sizes above 2^30 bytes are refused with EOutOfMemory "Out of memory".
uint32_t NumericByteSize(uint64_t count, uint32_t elementSize);

class TSGRealBuffer : public TSGLinearMemoryBuffer, public virtual ISGRealBuffer {
    DCS_BUFFER_INTERFACES(TSGLinearMemoryBuffer, ISGRealBuffer)
    TSGRealBuffer();
    explicit TSGRealBuffer(uint32_t size);
    TSGRealBuffer(const double* data, uint32_t size);
    TSGRealBuffer(TShareTag, TSGGenericBuffer& other) : TSGLinearMemoryBuffer(Share, other) {}

    static IntfPtr<TSGRealBuffer> Create() { return IntfPtr<TSGRealBuffer>(new TSGRealBuffer()); }
    static IntfPtr<TSGRealBuffer> CreateSize(uint32_t size) { return IntfPtr<TSGRealBuffer>(new TSGRealBuffer(size)); }
    static IntfPtr<TSGRealBuffer> CreateData(const double* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateValue(double value, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateWordData(const uint16_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateCardinalData(const uint32_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateSmallIntData(const int16_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateIntegerData(const int32_t* data, uint32_t size);
    static IntfPtr<TSGRealBuffer> CreateSingleData(const float* data, uint32_t size);
    // Shares other's container and byte size; other may be any buffer of the family.
    static IntfPtr<TSGRealBuffer> CreateUniversal(ISGData* other);

    uint32_t GetElementSize() override { return 8; }
    TSGSmartMemoryBuffer* CreateDataContainer(uint32_t size) override;
    bool IsEqual(ISGDataBuffer* other) override;
    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;

    const double* Read() override { return static_cast<const double*>(FDataPtr); }
    double* Write() override;
    double* Modify() override;
    double GetItem(int index) override;
    void SetItem(int index, double value) override;
    void VectorJaehne(double magnitude) override;
    void Add(ISGRealBuffer* right) override;
    void Subtract(ISGRealBuffer* right) override;
    void Multiply(ISGRealBuffer* right) override;
    void Divide(ISGRealBuffer* right) override;
    void SetValue(double value) override;
    void AddValue(double value) override;
    void SubtractValue(double value) override;
    void MultiplyValue(double value) override;
    void DivideValue(double value) override;
    void Zero() override;
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

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGRealBuffer(Share, *this); }

private:
    int Count();
};

class TSGIntegerBuffer : public TSGLinearMemoryBuffer, public virtual ISGIntegerBuffer {
    DCS_BUFFER_INTERFACES(TSGLinearMemoryBuffer, ISGIntegerBuffer)
    TSGIntegerBuffer();
    explicit TSGIntegerBuffer(uint32_t size);
    TSGIntegerBuffer(const int32_t* data, uint32_t size);
    TSGIntegerBuffer(TShareTag, TSGGenericBuffer& other) : TSGLinearMemoryBuffer(Share, other) {}

    static IntfPtr<TSGIntegerBuffer> Create() { return IntfPtr<TSGIntegerBuffer>(new TSGIntegerBuffer()); }
    static IntfPtr<TSGIntegerBuffer> CreateSize(uint32_t size) { return IntfPtr<TSGIntegerBuffer>(new TSGIntegerBuffer(size)); }
    static IntfPtr<TSGIntegerBuffer> CreateData(const int32_t* data, uint32_t size);
    static IntfPtr<TSGIntegerBuffer> CreateValue(int32_t value, uint32_t size);
    static IntfPtr<TSGIntegerBuffer> CreateUniversal(ISGData* other);

    uint32_t GetElementSize() override { return 4; }
    TSGSmartMemoryBuffer* CreateDataContainer(uint32_t size) override;
    bool IsEqual(ISGDataBuffer* other) override;
    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;

    const int32_t* Read() override { return static_cast<const int32_t*>(FDataPtr); }
    int32_t* Write() override;
    int32_t* Modify() override;
    int32_t GetItem(int index) override;
    void SetItem(int index, int32_t value) override;
    void Add(ISGIntegerBuffer* right) override;
    void Subtract(ISGIntegerBuffer* right) override;
    void Multiply(ISGIntegerBuffer* right) override;
    void Divide(ISGIntegerBuffer* right) override;
    void ModBuffer(ISGIntegerBuffer* right) override;
    void AndBuffer(ISGIntegerBuffer* right) override;
    void OrBuffer(ISGIntegerBuffer* right) override;
    void XorBuffer(ISGIntegerBuffer* right) override;
    void LShift(ISGIntegerBuffer* right) override;
    void RShift(ISGIntegerBuffer* right) override;
    void SetValue(int32_t value) override;
    void AddValue(int32_t value) override;
    void SubtractValue(int32_t value) override;
    void MultiplyValue(int32_t value) override;
    void DivideValue(int32_t value) override;
    void ModValue(int32_t value) override;
    void AndValue(int32_t value) override;
    void OrValue(int32_t value) override;
    void XorValue(int32_t value) override;
    void LShiftValue(int32_t value) override;
    void RShiftValue(int32_t value) override;
    void Zero() override;
    int32_t Dot(ISGIntegerBuffer* right) override;
    int32_t GetMinValue() override;
    int32_t GetMaxValue() override;

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGIntegerBuffer(Share, *this); }

private:
    int Count();
};

class TSGComplexBuffer : public TSGLinearMemoryBuffer, public virtual ISGComplexBuffer {
    DCS_BUFFER_INTERFACES(TSGLinearMemoryBuffer, ISGComplexBuffer)
    TSGComplexBuffer();
    explicit TSGComplexBuffer(uint32_t size);
    TSGComplexBuffer(const TPNRealComplex* data, uint32_t size);
    TSGComplexBuffer(TShareTag, TSGGenericBuffer& other) : TSGLinearMemoryBuffer(Share, other) {}

    static IntfPtr<TSGComplexBuffer> Create() { return IntfPtr<TSGComplexBuffer>(new TSGComplexBuffer()); }
    static IntfPtr<TSGComplexBuffer> CreateSize(uint32_t size) { return IntfPtr<TSGComplexBuffer>(new TSGComplexBuffer(size)); }
    static IntfPtr<TSGComplexBuffer> CreateData(const TPNRealComplex* data, uint32_t size);
    static IntfPtr<TSGComplexBuffer> CreateValue(TPNRealComplex value, uint32_t size);
    static IntfPtr<TSGComplexBuffer> CreateUniversal(ISGData* other);

    uint32_t GetElementSize() override { return 16; }
    TSGSmartMemoryBuffer* CreateDataContainer(uint32_t size) override;
    bool IsEqual(ISGDataBuffer* other) override;

    const TPNRealComplex* Read() override { return static_cast<const TPNRealComplex*>(FDataPtr); }
    TPNRealComplex* Write() override;
    TPNRealComplex* Modify() override;
    TPNRealComplex GetItem(int index) override;
    void SetItem(int index, TPNRealComplex value) override;
    IntfPtr<ISGRealBuffer> GetReal() override;
    IntfPtr<ISGRealBuffer> GetImaginary() override;
    void Add(ISGComplexBuffer* right) override;
    void Subtract(ISGComplexBuffer* right) override;
    void Multiply(ISGComplexBuffer* right) override;
    void Divide(ISGComplexBuffer* right) override;
    void AddValue(double re, double im) override;
    void SubtractValue(double re, double im) override;
    void MultiplyValue(double re, double im) override;
    void DivideValue(double re, double im) override;
    void SetBuffer(ISGRealBuffer* re, ISGRealBuffer* im) override;
    void SetValue(double re, double im) override;
    void SetValue(TPNRealComplex value) override;
    void Zero() override;
    void NormalizeFrom(ISGComplexBuffer* src, TPNRealComplex offset, double factor) override;
    void Normalize(TPNRealComplex offset, double factor) override;
    TPNRealComplex Dot(ISGComplexBuffer* src) override;
    void Threshold(double threshold, TSGThresholdType type) override;
    void ThresholdFrom(ISGComplexBuffer* src, double threshold, TSGThresholdType type) override;
    void Sqr() override;
    void SqrFrom(ISGComplexBuffer* src) override;
    void Sqrt() override;
    void SqrtFrom(ISGComplexBuffer* src) override;
    void AutoCorr(ISGComplexBuffer* src, TSGAutoCorrType type) override;
    void CrossCorr(ISGComplexBuffer* src1, ISGComplexBuffer* src2, int loLag) override;
    IntfPtr<ISGRealBuffer> Phase() override;
    IntfPtr<ISGRealBuffer> Magnitude() override;
    IntfPtr<ISGRealBuffer> PowerSpectrum() override;

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGComplexBuffer(Share, *this); }

private:
    int Count();
    using SplitFn = VpsStatus (*)(const Vps64fc*, double*, int);
    IntfPtr<ISGRealBuffer> Split(SplitFn fn);
};

}  // namespace dcs
