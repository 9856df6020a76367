// A vector of signed 32-bit integers over a shared, copy-on-write container; the
// arithmetic saturates, as the integer vector entries do.
#pragma once

#include "components/audio/buffers/SGTypedBuffer.h"

#include <cstdint>

namespace dcs {

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

class TSGIntegerBuffer : public TSGTypedBuffer<TSGIntegerBuffer, int32_t, ISGIntegerBuffer> {
public:
    using TSGTypedBuffer::TSGTypedBuffer;

    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;

    int32_t GetItem(int index) override { return ItemAt(index); }
    void SetItem(int index, int32_t value) override { StoreItem(index, value); }
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
};

}  // namespace dcs
