#include "components/audio/buffers/SGMatrixBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcs {
namespace {

using Matrix = IntfPtr<TSGRealMatrixBuffer>;

Matrix M(uint32_t rows, uint32_t cols, std::vector<double> v)
{
    return TSGRealMatrixBuffer::CreateData(v.data(), rows, cols);
}
IntfPtr<TSGRealBuffer> R(std::vector<double> v) { return TSGRealBuffer::CreateData(v.data(), uint32_t(v.size())); }

std::vector<double> Values(TSGRealMatrixBuffer* m) { return {m->Read(), m->Read() + m->GetSize()}; }

std::string ErrorOf(TSGRealMatrixBuffer* m, int row, int col)
{
    try {
        m->GetItem(row, col);
    } catch (const ERangeError& e) {
        return e.Message();
    }
    return "no error";
}

// An array view that is not a matrix: rows of different lengths.
class TRaggedRows : public TInterfacedObject, public virtual ISGRealBufferArray {
public:
    explicit TRaggedRows(std::vector<std::vector<double>> rows) : FRows(std::move(rows)) {}
    TObject* GetInstance() override { return this; }
    IntfPtr<ISGData> MakeCopy() override { return nullptr; }
    void AssignArray(ISGRealBufferArray*) override {}
    uint32_t GetCols() override { return 3; }
    uint32_t GetRows() override { return uint32_t(FRows.size()); }
    uint32_t GetRowSize(uint32_t row) override { return uint32_t(FRows[row].size()); }
    IntfPtr<ISGRealBuffer> GetRow(uint32_t row) override { return R(FRows[row]); }
    void SetRow(uint32_t, ISGRealBuffer*) override {}
    double GetItem(int, int) override { return 0; }
    void SetItem(int, int, double) override {}
    void Add(ISGRealBufferArray*) override {}
    void Subtract(ISGRealBufferArray*) override {}
    void Multiply(ISGRealBufferArray*) override {}
    void Divide(ISGRealBufferArray*) override {}
    void SetValue(double) override {}
    void AddValue(double) override {}
    void SubtractValue(double) override {}
    void MultiplyValue(double) override {}
    void DivideValue(double) override {}
    void Zero() override {}
    void Resize(uint32_t, uint32_t, bool) override {}

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<ISGRealBufferArray>(this, iid, obj) || TInterfacedObject::GetInterface(iid, obj);
    }

private:
    std::vector<std::vector<double>> FRows;
};

TEST(MatrixBuffer, ShapeAndItems)
{
    Matrix m = TSGRealMatrixBuffer::CreateValue(2.0, 2, 3);
    EXPECT_EQ(m->GetRows(), 2u);
    EXPECT_EQ(m->GetCols(), 3u);
    EXPECT_EQ(Values(m.Get()), std::vector<double>(6, 2.0));
    EXPECT_EQ(ErrorOf(m.Get(), 5, 7), "Column out of range = 7");
    EXPECT_EQ(ErrorOf(m.Get(), 5, 1), "Row out of range = 5");
    EXPECT_EQ(ErrorOf(m.Get(), -1, 0), "Row out of range = 4294967295");
    m->SetItem(1, 2, 9);
    EXPECT_EQ(m->GetItem(1, 2), 9);
    EXPECT_THROW(m->GetRow(2), ERangeError);
}

TEST(MatrixBuffer, UniversalViewOfARealBufferDetachesOnWrite)
{
    IntfPtr<TSGRealBuffer> r = R({1, 2, 3, 4, 5, 6});
    Matrix m = TSGRealMatrixBuffer::CreateUniversal(r.Get());
    EXPECT_EQ(m->GetRows(), 1u);
    EXPECT_EQ(m->GetCols(), 6u);
    EXPECT_EQ(m->DataContainer(), r->DataContainer());
    m->SetItem(0, 0, 42);
    EXPECT_EQ(m->GetItem(0, 0), 42);
    EXPECT_EQ(r->GetItem(0), 1);

    // A matrix source is shared with its shape.
    Matrix shared = TSGRealMatrixBuffer::CreateUniversal(M(2, 3, {1, 2, 3, 4, 5, 6}).Get());
    EXPECT_EQ(shared->GetRows(), 2u);
    EXPECT_EQ(shared->GetItem(1, 0), 4);

    // Another array is copied; short rows are padded with zeros.
    IntfPtr<TRaggedRows> ragged(new TRaggedRows({{1, 2, 3}, {4}, {5, 6, 7}}));
    Matrix copied = TSGRealMatrixBuffer::CreateUniversal(ragged.Get());
    EXPECT_EQ(Values(copied.Get()), (std::vector<double> {1, 2, 3, 4, 0, 0, 5, 6, 7}));

    class TNotABuffer : public TInterfacedObject, public virtual ISGData {
    public:
        TObject* GetInstance() override { return this; }
        IntfPtr<ISGData> MakeCopy() override { return nullptr; }

    protected:
        bool GetInterface(const TGUID& iid, void** obj) override
        {
            return GetInterfaceOf<ISGData>(this, iid, obj) || TInterfacedObject::GetInterface(iid, obj);
        }
    };
    IntfPtr<TNotABuffer> plain(new TNotABuffer);
    EXPECT_THROW(TSGRealMatrixBuffer::CreateUniversal(plain.Get()), EIntfCastError);
}

TEST(MatrixBuffer, FlatResize)
{
    Matrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
    m->Resize(3, 2, true);
    EXPECT_EQ(m->GetRows(), 3u);
    EXPECT_EQ(m->GetItem(0, 1), 2);
    EXPECT_EQ(m->GetItem(2, 0), 5);

    Matrix other = TSGRealMatrixBuffer::CreateEx(*m);
    m->Resize(1, 2, true);  // fewer values: the shared block stays
    EXPECT_EQ(m->DataContainer(), other->DataContainer());
    m->Resize(4, 4, true);
    EXPECT_NE(m->DataContainer(), other->DataContainer());
    EXPECT_EQ(m->GetItem(1, 1), 6);
    m->Resize(0, 5, true);
    EXPECT_EQ(m->GetSize(), 0u);
    EXPECT_EQ(m->GetCols(), 5u);
}

TEST(MatrixBuffer, RowWiseArithmetic)
{
    Matrix m = M(2, 3, {1, 1, 1, 1, 1, 1});
    m->Add(M(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}).Get());
    EXPECT_EQ(Values(m.Get()), (std::vector<double> {2, 3, 4, 5, 6, 7}));

    IntfPtr<TRaggedRows> shortRows(new TRaggedRows({{10, 10}}));
    m->Multiply(shortRows.Get());
    EXPECT_EQ(Values(m.Get()), (std::vector<double> {20, 30, 4, 5, 6, 7}));

    Matrix d = M(2, 2, {8, 6, 3, -3});
    d->Divide(M(2, 2, {2, 3, 0, 0}).Get());
    EXPECT_EQ(Values(d.Get()), (std::vector<double> {4, 2, 1e15, -1e14}));
}

TEST(MatrixBuffer, RowsAndSharing)
{
    Matrix m = M(2, 3, {1, 2, 3, 4, 5, 6});
    Matrix other = TSGRealMatrixBuffer::CreateEx(*m);
    m->SetRow(1, R({7, 8, 9, 10, 11}).Get());
    EXPECT_EQ(Values(m.Get()), (std::vector<double> {1, 2, 3, 7, 8, 9}));
    EXPECT_EQ(Values(other.Get()), (std::vector<double> {1, 2, 3, 4, 5, 6}));

    IntfPtr<ISGRealBuffer> row = m->GetRow(0);
    m->SetItem(0, 0, -1);
    EXPECT_EQ(row->GetItem(0), 1) << "a row is a copy";

    Matrix a = TSGRealMatrixBuffer::Create();
    a->AssignArray(m.Get());
    EXPECT_TRUE(a->IsEqual(m.Get()));
    EXPECT_FALSE(a->IsEqual(R({-1, 2, 3, 7, 8, 9}).Get()));

    a->MultiplyValue(1.0);
    a->DivideValue(0.0);
    Matrix sharer = TSGRealMatrixBuffer::CreateEx(*a);
    a->AddValue(0.0);
    EXPECT_EQ(a->DataContainer(), sharer->DataContainer());
    a->SubtractValue(1);
    EXPECT_EQ(a->GetItem(1, 2), 8);
}

}  // namespace
}  // namespace dcs
