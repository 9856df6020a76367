// A rows x columns matrix of doubles, stored row by row in one pooled, shared,
// copy-on-write block, seen as an array of row buffers or directly.
#pragma once

#include "components/audio/buffers/SGRealBuffer.h"

#include <cstdint>

namespace dcs {

class ISGRealBufferArray : public virtual ISGData {
public:
    static constexpr TGUID IID = MakeGUID("{7917F92D-A6A1-4209-9491-F36F589B1006}");
    using Parent = ISGData;
    // Takes src's shape (its GetRows rows of GetCols columns) and rows.
    virtual void AssignArray(ISGRealBufferArray* src) = 0;
    virtual uint32_t GetCols() = 0;
    virtual uint32_t GetRows() = 0;
    virtual uint32_t GetRowSize(uint32_t row) = 0;
    // An independent copy of the row. ERangeError "Row out of range = %u" outside.
    virtual IntfPtr<ISGRealBuffer> GetRow(uint32_t row) = 0;
    // Copies min(columns, buffer size) values to the start of the row.
    virtual void SetRow(uint32_t row, ISGRealBuffer* buffer) = 0;
    // ERangeError "Column out of range = %u" (checked first) or "Row out of range = %u";
    // SetItem detaches the data before it checks.
    virtual double GetItem(int row, int col) = 0;
    virtual void SetItem(int row, int col, double value) = 0;
    // Row by row over the rows and columns both have; a zero divisor gives 1e15 for a
    // positive quotient, 0 for NaN, -1e14 otherwise.
    virtual void Add(ISGRealBufferArray* src) = 0;
    virtual void Subtract(ISGRealBufferArray* src) = 0;
    virtual void Multiply(ISGRealBufferArray* src) = 0;
    virtual void Divide(ISGRealBufferArray* src) = 0;
    virtual void SetValue(double value) = 0;
    // Neutral constants return at once, as for the real vector.
    virtual void AddValue(double value) = 0;
    virtual void SubtractValue(double value) = 0;
    virtual void MultiplyValue(double value) = 0;
    virtual void DivideValue(double value) = 0;
    virtual void Zero() = 0;
    // A flat resize: the values keep their order and are re-sliced into rows.
    virtual void Resize(uint32_t rows, uint32_t cols, bool preserveData) = 0;
};

class ISGRealMatrixBuffer : public virtual ISGRealBufferArray {
public:
    static constexpr TGUID IID = MakeGUID("{F3CA41F1-2B7E-49F4-8E08-7B78E6031B57}");
    using Parent = ISGRealBufferArray;
    virtual const double* Read() = 0;
    virtual double* Write() = 0;
    virtual double* Modify() = 0;
};

class TSGRealMatrixBuffer : public TSGRealValueBuffer<TSGRealMatrixBuffer, ISGRealMatrixBuffer, TSGMemoryBuffer> {
public:
    TSGRealMatrixBuffer() : TSGRealMatrixBuffer(0u, 0u) {}
    TSGRealMatrixBuffer(uint32_t rows, uint32_t cols) : TSGRealMatrixBuffer(nullptr, rows, cols) {}
    TSGRealMatrixBuffer(const double* data, uint32_t rows, uint32_t cols);
    TSGRealMatrixBuffer(TShareTag, TSGRealMatrixBuffer& other);

    static IntfPtr<TSGRealMatrixBuffer> CreateSize(uint32_t rows, uint32_t cols);
    static IntfPtr<TSGRealMatrixBuffer> CreateData(const double* data, uint32_t rows, uint32_t cols);
    static IntfPtr<TSGRealMatrixBuffer> CreateValue(double value, uint32_t rows, uint32_t cols);
    static IntfPtr<TSGRealMatrixBuffer> CreateEx(TSGRealMatrixBuffer& other);
    static IntfPtr<TSGRealMatrixBuffer> CreateCopy(ISGRealMatrixBuffer* other);
    // A matrix shares another matrix; an array is copied row by row (short rows padded
    // with 0); any other buffer of n doubles becomes a 1 x n view of its data.
    // EIntfCastError for anything that is not a buffer.
    static IntfPtr<TSGRealMatrixBuffer> CreateUniversal(ISGData* other);

    IntfPtr<ISGRealBufferArray> GetMatArrayIntf() { return IntfPtr<ISGRealBufferArray>(this); }

    uint32_t GetSize() override { return FCharSize / 8; }

    void AssignArray(ISGRealBufferArray* src) override;
    uint32_t GetCols() override { return FCols; }
    uint32_t GetRows() override { return FRows; }
    uint32_t GetRowSize(uint32_t) override { return FCols; }
    IntfPtr<ISGRealBuffer> GetRow(uint32_t row) override;
    void SetRow(uint32_t row, ISGRealBuffer* buffer) override;
    double GetItem(int row, int col) override;
    void SetItem(int row, int col, double value) override;
    void Add(ISGRealBufferArray* src) override;
    void Subtract(ISGRealBufferArray* src) override;
    void Multiply(ISGRealBufferArray* src) override;
    void Divide(ISGRealBufferArray* src) override;
    void Resize(uint32_t rows, uint32_t cols, bool preserveData) override;

private:
    TSGRealMatrixBuffer(TShareTag, TSGGenericBuffer& other, uint32_t rows, uint32_t cols);
    enum class Op {
        Add,
        Sub,
        Mul,
        Div
    };
    void RowWise(Op op, ISGRealBufferArray* src);
    void CheckItem(int row, int col);
    void CheckRow(uint32_t row);

    uint32_t FCols = 0;
    uint32_t FRows = 0;
};

}  // namespace dcs
