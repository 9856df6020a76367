// A vector of complex doubles over a shared, copy-on-write container; its parts and
// spectra come out as real vectors.
#pragma once

#include "components/audio/buffers/SGNumericTypes.h"
#include "components/audio/buffers/SGRealBuffer.h"
#include "components/audio/buffers/SGTypedBuffer.h"

#include <cstdint>

namespace dcs {

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

class TSGComplexBuffer : public TSGTypedBuffer<TSGComplexBuffer, TPNRealComplex, ISGComplexBuffer> {
public:
    using TSGTypedBuffer::TSGTypedBuffer;

    TPNRealComplex GetItem(int index) override { return ItemAt(index); }
    void SetItem(int index, TPNRealComplex value) override { StoreItem(index, value); }
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

private:
    using SplitFn = VpsStatus (*)(const Vps64fc*, double*, int);
    IntfPtr<ISGRealBuffer> Split(SplitFn fn);
};

}  // namespace dcs
