#include "components/audio/buffers/SGNumericBuffers.h"
#include "dsp/Registry.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

namespace dcs {
namespace {

using Reals = IntfPtr<TSGRealBuffer>;
using Ints = IntfPtr<TSGIntegerBuffer>;

Reals R(std::vector<double> v) { return TSGRealBuffer::CreateData(v.data(), uint32_t(v.size())); }
Ints I(std::vector<int32_t> v) { return TSGIntegerBuffer::CreateData(v.data(), uint32_t(v.size())); }

std::vector<double> Values(TSGRealBuffer* b) { return {b->Read(), b->Read() + b->GetSize()}; }
std::vector<int32_t> Values(TSGIntegerBuffer* b) { return {b->Read(), b->Read() + b->GetSize()}; }

template <class B> IntfPtr<B> Sharer(B* b) { return IntfPtr<B>(BufferInstance<B>(b->MakeCopy().Get())); }

TEST(RealBuffer, ElementwiseOverTheCommonLength)
{
    Reals a = R({1, 2, 3, 4, 5});
    a->Add(R({10, 10, 10}).Get());
    EXPECT_EQ(Values(a.Get()), (std::vector<double> {11, 12, 13, 4, 5}));

    Reals d = R({1, 0, -1, 1});
    d->Divide(R({0, 0, 0, 2}).Get());
    EXPECT_EQ(Values(d.Get()), (std::vector<double> {1e15, 0.0, -1e14, 0.5}));

    // A buffer combined with itself reads its own (possibly just detached) data.
    Reals self = R({3, 4});
    Reals keep = Sharer(self.Get());
    self->Multiply(self.Get());
    EXPECT_EQ(Values(self.Get()), (std::vector<double> {9, 16}));
    EXPECT_EQ(Values(keep.Get()), (std::vector<double> {3, 4}));
}

TEST(RealBuffer, NeutralConstantsLeaveSharedDataShared)
{
    Reals a = R({2, 4});
    Reals other = Sharer(a.Get());
    a->AddValue(0.0);
    a->SubtractValue(0.0);
    a->MultiplyValue(1.0);
    a->DivideValue(0.0);
    a->DivideValue(1.0);
    EXPECT_EQ(a->DataContainer(), other->DataContainer());
    a->DivideValue(2.0);
    EXPECT_EQ(Values(a.Get()), (std::vector<double> {1, 2}));
    EXPECT_EQ(Values(other.Get()), (std::vector<double> {2, 4}));

    Reals n = R({3, 5});
    Reals n2 = Sharer(n.Get());
    n->Normalize(1.0, 2.0);
    EXPECT_EQ(Values(n.Get()), (std::vector<double> {1, 2}));
    EXPECT_EQ(Values(n2.Get()), (std::vector<double> {3, 5}));
}

TEST(RealBuffer, ItemsAreRangeCheckedAfterDetaching)
{
    Reals a = R({1, 2, 3});
    Reals other = Sharer(a.Get());
    for (int bad : {-1, 3}) {
        try {
            a->GetItem(bad);
            FAIL() << bad;
        } catch (const ERangeError& e) {
            EXPECT_EQ(e.Message(), "Index out of range = " + std::to_string(uint32_t(bad)));
        }
    }
    EXPECT_THROW(a->SetItem(3, 0), ERangeError);
    EXPECT_NE(a->DataContainer(), other->DataContainer());
    a->SetItem(2, 9);
    EXPECT_EQ(a->GetItem(2), 9);
    EXPECT_EQ(other->GetItem(2), 3);
}

TEST(RealBuffer, Conversions)
{
    std::vector<int16_t> shorts(4);
    R({2.5, 3.5, -2.5, 40000.0})->ToShort(shorts.data(), true);
    EXPECT_EQ(shorts, (std::vector<int16_t> {2, 4, -2, -25536}));
    R({2.7, -2.7, NAN, 1e300})->ToShort(shorts.data(), false);
    EXPECT_EQ(shorts, (std::vector<int16_t> {2, -2, 0, 0}));

    std::vector<int32_t> ints(3);
    R({0.5, 1.5, -1.7})->ToInt(ints.data(), true);
    EXPECT_EQ(ints, (std::vector<int32_t> {0, 2, -2}));
    R({0.5, 1.5, -1.7})->ToInt(ints.data(), false);
    EXPECT_EQ(ints, (std::vector<int32_t> {0, 1, -1}));

    const uint16_t words[] = {65535, 0};
    const uint32_t cards[] = {4294967295u, 1};
    EXPECT_EQ(Values(TSGRealBuffer::CreateWordData(words, 2).Get()), (std::vector<double> {65535, 0}));
    EXPECT_EQ(Values(TSGRealBuffer::CreateCardinalData(cards, 2).Get()), (std::vector<double> {4294967295.0, 1}));
    const int16_t small[] = {-32768, 7};
    EXPECT_EQ(Values(TSGRealBuffer::CreateSmallIntData(small, 2).Get()), (std::vector<double> {-32768, 7}));
    EXPECT_EQ(Values(TSGRealBuffer::CreateValue(1.5, 3).Get()), (std::vector<double>(3, 1.5)));
}

TEST(RealBuffer, SearchesOverClampedRanges)
{
    int index = -1;
    EXPECT_EQ(TSGRealBuffer::Create()->GetMinValue(), 0.0);
    EXPECT_EQ(TSGRealBuffer::Create()->GetMinIndex(index), 0.0);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(R({3, 1, 2})->GetMinIndex(index), 1.0);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(R({3, 1, 2})->GetMaxValue(), 3.0);

    Reals ten = R({5, 4, 3, 2, 1, 0, 9, 8, 7, 6});
    EXPECT_EQ(ten->GetMin(-5, 100), 0.0);
    EXPECT_EQ(ten->GetMax(-5, 100), 9.0);
    EXPECT_EQ(ten->GetMin(20, 30), 6.0);  // only the last element
    EXPECT_EQ(ten->GetMin(3, 3), 0.0);    // empty range: the entry refuses

    EXPECT_EQ(R({DBL_MAX, 5, 7})->GetMaxRestricted(0, 3), 7.0);
    EXPECT_EQ(R({-DBL_MAX, 5, 7})->GetMinRestricted(0, 3), 0.0);  // the first counts as 0
    EXPECT_EQ(R({4, -DBL_MAX, 2})->GetMinRestricted(0, 3), 2.0);
    EXPECT_EQ(R({4, 2})->GetMinRestricted(1, 1), 0.0);
}

TEST(RealBuffer, ThresholdDirections)
{
    Reals gt = R({0, 1});
    gt->Threshold(0.5, ttGreaterThan);
    EXPECT_EQ(Values(gt.Get()), (std::vector<double> {0, 0.5}));
    Reals lt = R({0, 1});
    lt->Threshold(0.5, ttLessThan);
    EXPECT_EQ(Values(lt.Get()), (std::vector<double> {0.5, 1}));
}

TEST(RealBuffer, UnaryFormsAndReductions)
{
    Reals a = R({-4, 9});
    Reals b = TSGRealBuffer::CreateSize(2);
    b->AbsFrom(a.Get());
    b->Sqrt();
    EXPECT_EQ(Values(b.Get()), (std::vector<double> {2, 3}));
    EXPECT_EQ(b->Dot(R({1, 1, 1}).Get()), 5.0);
    EXPECT_EQ(b->Mean(), 2.5);
    EXPECT_EQ(b->Norm(R({0, 0}).Get(), ntL1Norm), 5.0);
    EXPECT_EQ(b->Norm(R({0, 0}).Get(), ntCNorm), 3.0);
}

TEST(RealBuffer, ConvolutionAndCorrelations)
{
    Reals out = R({7, 7, 7});
    out->Convolve(R({1, 2}).Get(), R({1, 1}).Get());
    EXPECT_EQ(Values(out.Get()), (std::vector<double> {1, 3, 2}));
    // A target shorter than src + h - 1 is refused untouched (and not detached).
    Reals shorter = R({7, 7});
    Reals other = Sharer(shorter.Get());
    shorter->Convolve(R({1, 2}).Get(), R({1, 1}).Get());
    EXPECT_EQ(shorter->DataContainer(), other->DataContainer());
    EXPECT_EQ(Values(shorter.Get()), (std::vector<double> {7, 7}));

    const std::pair<TSGAutoCorrType, std::vector<double>> autos[] = {
        {actNormal, {30, 20, 11, 4}}, {actBiased, {7.5, 5, 2.75, 1}}, {actUnbiased, {7.5, 20.0 / 3, 5.5, 4}}};
    for (const auto& [type, want] : autos) {
        Reals r = TSGRealBuffer::CreateSize(4);
        r->AutoCorr(R({1, 2, 3, 4}).Get(), type);
        EXPECT_EQ(Values(r.Get()), want) << type;
    }

    Reals c = TSGRealBuffer::CreateSize(5);
    c->CrossCorr(R({1, 2}).Get(), R({3, 4, 5}).Get(), -2);
    EXPECT_EQ(Values(c.Get()), (std::vector<double> {0, 6, 11, 14, 5}));
}

TEST(RealBuffer, CopiesAndViews)
{
    Reals a = R({1, 2, 3});
    Reals b = R({0, 0, 0, 0});
    a->CopyTo(1, b.Get(), 2, 2);
    EXPECT_EQ(Values(b.Get()), (std::vector<double> {0, 0, 2, 3}));
    EXPECT_FALSE(a->IsEqual(I({0, 0, 0, 0, 0, 0}).Get())) << "another class";
    EXPECT_TRUE(a->IsEqual(R({1, 2, 3}).Get()));

    // Any buffer of the family, counted in this class's elements.
    Ints four = I({1, 2, 3, 4});
    Reals view = TSGRealBuffer::CreateUniversal(four.Get());
    EXPECT_EQ(view->GetSize(), 2u);
    EXPECT_EQ(view->DataContainer(), four->DataContainer());

    a->Resize(5, true);
    EXPECT_EQ(a->GetItem(2), 3.0);
    EXPECT_EQ(a->GetSize(), 5u);
}

TEST(IntegerBuffer, DivisionAndShifts)
{
    Ints a = I({7, -7});
    Ints other = Sharer(a.Get());
    a->DivideValue(0);
    a->DivideValue(1);
    EXPECT_EQ(a->DataContainer(), other->DataContainer());
    a->DivideValue(2);
    EXPECT_EQ(Values(a.Get()), (std::vector<int32_t> {3, -3}));
    EXPECT_EQ(Values(other.Get()), (std::vector<int32_t> {7, -7}));
    other->DivideValue(-7);  // sole owner now: in place
    EXPECT_EQ(Values(other.Get()), (std::vector<int32_t> {-1, 1}));

    Ints s = I({-8});
    s->RShift(I({1}).Get());
    EXPECT_EQ(s->GetItem(0), 2147483644);
    Ints v = I({-8});
    v->RShiftValue(1);
    EXPECT_EQ(v->GetItem(0), -4);
    Ints l = I({1, 1});
    l->LShift(I({33, 31}).Get());  // counts modulo 32
    EXPECT_EQ(Values(l.Get()), (std::vector<int32_t> {2, INT_MIN}));
}

TEST(IntegerBuffer, RemaindersAndTheirFaults)
{
    Ints a = I({7, -7, INT_MIN});
    a->ModBuffer(I({3, 3, -1}).Get());
    EXPECT_EQ(Values(a.Get()), (std::vector<int32_t> {1, -1, 0}));

    Ints b = I({7, 8, 9});
    EXPECT_THROW(b->ModBuffer(I({2, 0, 2}).Get()), EDivByZero);
    EXPECT_EQ(Values(b.Get()), (std::vector<int32_t> {1, 8, 9}));
    EXPECT_THROW(b->ModValue(0), EDivByZero);
    b->ModValue(-1);
    EXPECT_EQ(Values(b.Get()), (std::vector<int32_t> {0, 0, 0}));
}

TEST(IntegerBuffer, ArithmeticLogicAndFills)
{
    Ints a = I({INT_MAX, 5, 6});
    a->Add(I({1, 1}).Get());
    EXPECT_EQ(Values(a.Get()), (std::vector<int32_t> {INT_MAX, 6, 6}));  // saturating
    a->AndValue(6);
    a->OrValue(1);
    a->XorValue(2);
    EXPECT_EQ(Values(a.Get()), (std::vector<int32_t> {5, 5, 5}));
    EXPECT_EQ(a->Dot(I({1, 2, 3}).Get()), 30);
    a->SetItem(1, -9);
    EXPECT_EQ(a->GetMinValue(), -9);
    EXPECT_EQ(a->GetMaxValue(), 5);
    EXPECT_EQ(TSGIntegerBuffer::Create()->GetMaxValue(), 0);

    a->Zero();
    EXPECT_EQ(Values(a.Get()), (std::vector<int32_t> {0, 0, 0}));
    EXPECT_EQ(Values(TSGIntegerBuffer::CreateValue(-3, 2).Get()), (std::vector<int32_t> {-3, -3}));
    EXPECT_THROW(a->GetItem(3), ERangeError);

    Ints dst = I({0, 0, 0});
    I({8, 9})->CopyTo(0, dst.Get(), 1, 2);
    EXPECT_EQ(Values(dst.Get()), (std::vector<int32_t> {0, 8, 9}));
}

using Cplx = IntfPtr<TSGComplexBuffer>;

Cplx C(std::vector<TPNRealComplex> v) { return TSGComplexBuffer::CreateData(v.data(), uint32_t(v.size())); }

std::vector<double> Flat(TSGComplexBuffer* b)
{
    std::vector<double> out;
    for (uint32_t i = 0; i < b->GetSize(); ++i)
        out.insert(out.end(), {b->Read()[i].Real, b->Read()[i].Imaginary});
    return out;
}

std::vector<double> Values(ISGRealBuffer* b) { return {b->Read(), b->Read() + b->GetSize()}; }

TEST(ComplexBuffer, ArithmeticSplitsAndJoins)
{
    Cplx a = C({{1, 2}, {3, 4}});
    Cplx other = Sharer(a.Get());
    a->Multiply(C({{3, 4}}).Get());
    EXPECT_EQ(Flat(a.Get()), (std::vector<double> {-5, 10, 3, 4}));
    EXPECT_EQ(Flat(other.Get()), (std::vector<double> {1, 2, 3, 4}));
    a->DivideValue(0, 0);  // the entry refuses: values stay
    EXPECT_EQ(Flat(a.Get()), (std::vector<double> {-5, 10, 3, 4}));
    a->AddValue(5, -10);
    EXPECT_EQ(Values(a->GetReal().Get()), (std::vector<double> {0, 8}));
    EXPECT_EQ(Values(a->GetImaginary().Get()), (std::vector<double> {0, -6}));
    EXPECT_EQ(Values(a->Magnitude().Get()), (std::vector<double> {0, 10}));
    EXPECT_EQ(Values(a->PowerSpectrum().Get()), (std::vector<double> {0, 100}));

    Cplx joined = TSGComplexBuffer::Create();
    joined->SetBuffer(R({1, 2, 3, 4}).Get(), R({5, 6, 7, 8, 9, 10}).Get());
    EXPECT_EQ(joined->GetSize(), 4u);
    EXPECT_EQ(joined->GetItem(3).Imaginary, 8);
    EXPECT_THROW(joined->GetItem(4), ERangeError);

    const TPNRealComplex dot = C({{1, 1}, {2, 0}})->Dot(C({{1, 0}, {0, 1}}).Get());
    EXPECT_EQ(dot.Real, 1);
    EXPECT_EQ(dot.Imaginary, 3);

    Cplx n = C({{4, 6}});
    Cplx keep = Sharer(n.Get());
    n->Normalize({2, 2}, 2);
    EXPECT_EQ(Flat(n.Get()), (std::vector<double> {1, 2}));
    EXPECT_EQ(Flat(keep.Get()), (std::vector<double> {4, 6}));
}

TEST(ComplexBuffer, Correlations)
{
    const std::pair<TSGAutoCorrType, std::vector<double>> autos[] = {
        {actNormal, {6, 0, 2, -2}}, {actBiased, {3, 0, 1, -1}}, {actUnbiased, {3, 0, 2, -2}}};
    for (const auto& [type, want] : autos) {
        Cplx r = C({{0, 0}, {0, 0}});
        r->AutoCorr(C({{1, 1}, {2, 0}}).Get(), type);
        EXPECT_EQ(Flat(r.Get()), want) << type;
    }
    Cplx c = C({{9, 9}, {9, 9}, {9, 9}});
    c->CrossCorr(C({{0, 1}}).Get(), C({{1, 0}, {2, 0}}).Get(), -1);
    EXPECT_EQ(Flat(c.Get()), (std::vector<double> {0, 0, 0, -1, 0, -2}));
}

TEST(NumericBuffers, HugeSizesAreRefused)
{
    EXPECT_THROW(TSGRealBuffer::CreateSize(0x20000000u), EOutOfMemory);
    EXPECT_THROW(TSGIntegerBuffer::CreateSize(0x80000000u), EOutOfMemory);
    // Every pooled block: a request above the largest block is refused, not shortened.
    EXPECT_THROW(TSGBlockBuffer((1u << 30) + 1), EOutOfMemory);
}

}  // namespace
}  // namespace dcs
