#include "components/audio/buffers/SGMatrixBuffer.h"

#include "dsp/FloatEntries.h"
#include "dsp/MemoryEntries.h"

#include <algorithm>
#include <string>

namespace dcs {

namespace {
uint32_t MatrixBytes(uint32_t rows, uint32_t cols) { return NumericByteSize(uint64_t(rows) * cols, 8); }
}  // namespace

TSGRealMatrixBuffer::TSGRealMatrixBuffer(const double* data, uint32_t rows, uint32_t cols)
    : TSGRealValueBuffer(data, TSGElementCount {uint64_t(rows) * cols}), FCols(cols), FRows(rows)
{
}

TSGRealMatrixBuffer::TSGRealMatrixBuffer(TShareTag, TSGRealMatrixBuffer& other)
    : TSGRealValueBuffer(Share, other), FCols(other.FCols), FRows(other.FRows)
{
}

TSGRealMatrixBuffer::TSGRealMatrixBuffer(TShareTag, TSGGenericBuffer& other, uint32_t rows, uint32_t cols)
    : TSGRealValueBuffer(Share, other), FCols(cols), FRows(rows)
{
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateSize(uint32_t rows, uint32_t cols)
{
    return IntfPtr<TSGRealMatrixBuffer>(new TSGRealMatrixBuffer(rows, cols));
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateData(const double* data, uint32_t rows, uint32_t cols)
{
    return IntfPtr<TSGRealMatrixBuffer>(new TSGRealMatrixBuffer(data, rows, cols));
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateValue(double value, uint32_t rows, uint32_t cols)
{
    IntfPtr<TSGRealMatrixBuffer> m = CreateSize(rows, cols);
    m->SetValue(value);
    return m;
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateEx(TSGRealMatrixBuffer& other)
{
    return IntfPtr<TSGRealMatrixBuffer>(new TSGRealMatrixBuffer(Share, other));
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateCopy(ISGRealMatrixBuffer* other)
{
    auto* instance = BufferInstance<TSGRealMatrixBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return CreateEx(*instance);
}

IntfPtr<TSGRealMatrixBuffer> TSGRealMatrixBuffer::CreateUniversal(ISGData* other)
{
    IntfPtr<ISGRealMatrixBuffer> matrix;
    IntfPtr<ISGRealBufferArray> array;
    if (Supports(other, matrix)) {
        auto* instance = BufferInstance<TSGGenericBuffer>(other);
        if (!instance)
            RaiseIntfCastError();
        return IntfPtr<TSGRealMatrixBuffer>(
            new TSGRealMatrixBuffer(Share, *instance, matrix->GetRows(), matrix->GetCols()));
    }
    if (Supports(other, array)) {
        IntfPtr<TSGRealMatrixBuffer> m = CreateSize(array->GetRows(), array->GetCols());
        double* d = m->Write();
        for (uint32_t i = 0; i < m->FRows; ++i) {
            IntfPtr<ISGRealBuffer> row = array->GetRow(i);
            const uint32_t k = std::min(row->GetSize(), m->FCols);
            vpsCopy_64f(row->Read(), d + uint64_t(i) * m->FCols, Clamp(k));
            if (k < m->FCols)
                vpsZero_64f(d + uint64_t(i) * m->FCols + k, Clamp(m->FCols - k));
        }
        return m;
    }
    IntfPtr<ISGDataBuffer> buffer = IntfCast<ISGDataBuffer>(other);
    auto* instance = BufferInstance<TSGGenericBuffer>(buffer.Get());
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGRealMatrixBuffer>(new TSGRealMatrixBuffer(Share, *instance, 1, buffer->GetByteSize() / 8));
}

void TSGRealMatrixBuffer::CheckItem(int row, int col)
{
    if (col < 0 || uint32_t(col) >= FCols)
        throw ERangeError("Column out of range = " + std::to_string(uint32_t(col)));
    if (row < 0 || uint32_t(row) >= FRows)
        throw ERangeError("Row out of range = " + std::to_string(uint32_t(row)));
}

// Rows outside the matrix would read or write past its block.
void TSGRealMatrixBuffer::CheckRow(uint32_t row)
{
    if (row >= FRows)
        throw ERangeError("Row out of range = " + std::to_string(row));
}

double TSGRealMatrixBuffer::GetItem(int row, int col)
{
    CheckItem(row, col);
    return Read()[uint64_t(row) * FCols + col];
}

void TSGRealMatrixBuffer::SetItem(int row, int col, double value)
{
    double* d = Modify();
    CheckItem(row, col);
    d[uint64_t(row) * FCols + col] = value;
}

IntfPtr<ISGRealBuffer> TSGRealMatrixBuffer::GetRow(uint32_t row)
{
    CheckRow(row);
    return TSGRealBuffer::CreateData(Read() + uint64_t(row) * FCols, FCols);
}

void TSGRealMatrixBuffer::SetRow(uint32_t row, ISGRealBuffer* buffer)
{
    double* d = Modify();
    CheckRow(row);
    vpsCopy_64f(buffer->Read(), d + uint64_t(row) * FCols, Clamp(std::min(FCols, buffer->GetSize())));
}

void TSGRealMatrixBuffer::AssignArray(ISGRealBufferArray* src)
{
    const uint32_t rows = src->GetRows();
    Resize(rows, src->GetCols(), false);
    for (uint32_t i = 0; i < rows; ++i)
        SetRow(i, src->GetRow(i).Get());
}

void TSGRealMatrixBuffer::RowWise(Op op, ISGRealBufferArray* src)
{
    double* p = Modify();
    const uint32_t rows = std::min(FRows, src->GetRows());
    for (uint32_t i = 0; i < rows; ++i) {
        IntfPtr<ISGRealBuffer> row = src->GetRow(i);
        const int k = Clamp(std::min(row->GetSize(), FCols));
        const double* s = row->Read();
        double* d = p + uint64_t(i) * FCols;
        switch (op) {
        case Op::Add: vpsAdd_64f_I(s, d, k); break;
        case Op::Sub: vpsSub_64f_I(s, d, k); break;
        case Op::Mul: vpsMul_64f_I(s, d, k); break;
        case Op::Div: SGDivideReal(s, d, k); break;
        }
    }
}

void TSGRealMatrixBuffer::Add(ISGRealBufferArray* src) { RowWise(Op::Add, src); }
void TSGRealMatrixBuffer::Subtract(ISGRealBufferArray* src) { RowWise(Op::Sub, src); }
void TSGRealMatrixBuffer::Multiply(ISGRealBufferArray* src) { RowWise(Op::Mul, src); }
void TSGRealMatrixBuffer::Divide(ISGRealBufferArray* src) { RowWise(Op::Div, src); }

void TSGRealMatrixBuffer::Resize(uint32_t rows, uint32_t cols, bool preserveData)
{
    if (rows == 0 || cols == 0) {
        FCharSize = 0;
        FCols = cols;
        FRows = rows;
        UpdateDataPointer();
        return;
    }
    if (rows == FRows && cols == FCols)
        return;
    const uint32_t bytes = MatrixBytes(rows, cols);  // raises before anything changes
    const uint32_t t = bytes / 8;
    TSGSmartBuffer* old = pDataContainer;
    if (preserveData && (GetSize() > t || (old->SingleOwner() && old->GetAllocatedSize() / 8 >= t))) {
        FCols = cols;
        FRows = rows;
        FCharSize = bytes;
        UpdateDataPointer();
        return;
    }
    TSGSmartMemoryBuffer* fresh = CreateDataContainer(t);
    if (preserveData && old->GetRawData())
        std::copy_n(static_cast<const char*>(old->GetRawData()),
                    std::min(fresh->AllocatedSize(), old->GetAllocatedSize()), static_cast<char*>(fresh->RawData()));
    fresh->AddReff(FOwnsData);
    SetMemoryBuffer(fresh);
    old->RemoveReff(FOwnsData);
    FCols = cols;
    FRows = rows;
    FCharSize = bytes;
    UpdateDataPointer();
}

}  // namespace dcs
