#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/IntegerVectorEntries.h"
#include "dsp/KernelsInternal.h"

namespace dcs {
namespace {

template <class T> std::vector<T> Samples();
template <> std::vector<Vps8u> Samples() { return {0, 1, 2, 3, 5, 10, 16, 20, 127, 128, 200, 255}; }
template <> std::vector<Vps16s> Samples()
{
    return {-32768, -30000, -257, -6, -5, -3, -2, -1, 0, 1, 2, 3, 5, 255, 10000, 30000, 32767};
}

template <class T> constexpr int kStep = static_cast<int>(sizeof(T));

// Every (destination, source) pair of the sample values.
template <class T> struct PairGrid {
    std::vector<T> d;
    std::vector<T> s;
    PairGrid()
    {
        for (T a : Samples<T>())
            for (T b : Samples<T>()) {
                d.push_back(a);
                s.push_back(b);
            }
    }
    int Size() const { return static_cast<int>(d.size()); }
};

// Counts mismatches against the scale-factor rule and reports the first one.
template <class T> class Mismatches {
public:
    void Check(T got, std::int64_t exact, int sf, const char* form, std::int64_t a, std::int64_t b)
    {
        const T want = Sfs<T>(exact, sf);
        if (got == want)
            return;
        if (count_++ == 0)
            first_ << form << ": operands " << a << ", " << b << " sf " << sf << " gave " << +got << " want " << +want;
    }
    ~Mismatches() { EXPECT_EQ(count_, 0) << first_.str(); }

private:
    int count_ = 0;
    std::ostringstream first_;
};

// The two-operand image entries as one row and as a column of interleaved data, for
// every scale factor from -40 to 40, against the scale-factor rule applied to the exact
// result. The other channel of the interleaved data must stay untouched.
template <class T, class Fn, class Exact> void CheckTwoOperandImage(Fn fn, Exact exact)
{
    const PairGrid<T> grid;
    const int n = grid.Size();
    const T guard = 77;
    Mismatches<T> bad;
    for (int sf = -40; sf <= 40; ++sf) {
        std::vector<T> row = grid.d;
        ASSERT_EQ(fn(grid.s.data(), n * kStep<T>, row.data(), n * kStep<T>, VpiSize {n, 1}, sf), StatusOk);
        std::vector<T> src(2 * n, guard);
        std::vector<T> column(2 * n, guard);
        for (int i = 0; i < n; ++i) {
            src[2 * i] = grid.s[i];
            column[2 * i] = grid.d[i];
        }
        ASSERT_EQ(fn(src.data(), 2 * kStep<T>, column.data(), 2 * kStep<T>, VpiSize {1, n}, sf), StatusOk);
        for (int i = 0; i < n; ++i) {
            const std::int64_t r = exact(grid.d[i], grid.s[i]);
            bad.Check(row[i], r, sf, "row", grid.d[i], grid.s[i]);
            bad.Check(column[2 * i], r, sf, "column", grid.d[i], grid.s[i]);
            ASSERT_EQ(column[2 * i + 1], guard);
        }
    }
}

std::int64_t Add(std::int64_t d, std::int64_t s) { return d + s; }
std::int64_t Sub8u(std::int64_t d, std::int64_t s) { return d > s ? d - s : 0; }
std::int64_t Sub16s(std::int64_t d, std::int64_t s) { return d - s; }
std::int64_t Mul(std::int64_t d, std::int64_t s) { return d * s; }

TEST(IntegerImageArithmetic, FollowsTheScaleFactorRuleAtEveryScaleFactor)
{
    CheckTwoOperandImage<Vps8u>(vpiAdd_8u_C1IRSfs, Add);
    CheckTwoOperandImage<Vps16s>(vpiAdd_16s_C1IRSfs, Add);
    CheckTwoOperandImage<Vps8u>(vpiSub_8u_C1IRSfs, Sub8u);
    CheckTwoOperandImage<Vps16s>(vpiSub_16s_C1IRSfs, Sub16s);
    CheckTwoOperandImage<Vps8u>(vpiMul_8u_C1IRSfs, Mul);
    CheckTwoOperandImage<Vps16s>(vpiMul_16s_C1IRSfs, Mul);
}

// The four forms of one constant operation: vector in place and out of place, image in
// place and out of place (a 3-wide region in rows of 5, whose padding must survive).
template <class T> struct ConstForms {
    VpsStatus (*vectorInPlace)(T, T*, int, int);
    VpsStatus (*vector)(const T*, T, T*, int, int);
    VpsStatus (*imageInPlace)(T, T*, int, VpiSize, int);
    VpsStatus (*image)(const T*, int, T, T*, int, VpiSize, int);
};

template <class T, class Exact>
void CheckConstantForms(ConstForms<T> forms, const std::vector<T>& constants, Exact exact)
{
    const std::vector<T> x = Samples<T>();
    const int n = static_cast<int>(x.size());
    const int height = (n + 2) / 3;
    const T guard = 99;
    std::vector<T> image(5 * height, guard);
    for (int i = 0; i < 3 * height; ++i)
        image[(i / 3) * 5 + i % 3] = x[i % n];
    const VpiSize roi {3, height};
    Mismatches<T> bad;
    for (T c : constants) {
        for (int sf = -40; sf <= 40; ++sf) {
            std::vector<T> inPlace = x;
            std::vector<T> out(n, guard);
            ASSERT_EQ(forms.vectorInPlace(c, inPlace.data(), n, sf), StatusOk);
            ASSERT_EQ(forms.vector(x.data(), c, out.data(), n, sf), StatusOk);
            std::vector<T> imgInPlace = image;
            std::vector<T> imgOut(image.size(), guard);
            ASSERT_EQ(forms.imageInPlace(c, imgInPlace.data(), 5 * kStep<T>, roi, sf), StatusOk);
            ASSERT_EQ(forms.image(image.data(), 5 * kStep<T>, c, imgOut.data(), 5 * kStep<T>, roi, sf), StatusOk);
            for (int i = 0; i < n; ++i) {
                bad.Check(inPlace[i], exact(x[i], c), sf, "vector in place", x[i], c);
                bad.Check(out[i], exact(x[i], c), sf, "vector", x[i], c);
            }
            for (std::size_t k = 0; k < image.size(); ++k) {
                if (k % 5 >= 3) {
                    ASSERT_EQ(imgInPlace[k], guard);
                    ASSERT_EQ(imgOut[k], guard);
                    continue;
                }
                bad.Check(imgInPlace[k], exact(image[k], c), sf, "image in place", image[k], c);
                bad.Check(imgOut[k], exact(image[k], c), sf, "image", image[k], c);
            }
        }
    }
}

TEST(IntegerConstantArithmetic, FollowsTheScaleFactorRuleIncludingTheShortcutConstants)
{
    const std::vector<Vps8u> c8 {0, 1, 2, 7, 128, 255};
    const std::vector<Vps16s> c16 {0, 1, -1, 3, -300, 32767, -32768};
    CheckConstantForms<Vps8u>({vpsAddC_8u_ISfs, vpsAddC_8u_Sfs, vpiAddC_8u_C1IRSfs, vpiAddC_8u_C1RSfs}, c8, Add);
    CheckConstantForms<Vps16s>({vpsAddC_16s_ISfs, vpsAddC_16s_Sfs, vpiAddC_16s_C1IRSfs, vpiAddC_16s_C1RSfs}, c16, Add);
    CheckConstantForms<Vps8u>({vpsSubC_8u_ISfs, vpsSubC_8u_Sfs, vpiSubC_8u_C1IRSfs, vpiSubC_8u_C1RSfs}, c8, Sub8u);
    CheckConstantForms<Vps16s>({vpsSubC_16s_ISfs, vpsSubC_16s_Sfs, vpiSubC_16s_C1IRSfs, vpiSubC_16s_C1RSfs}, c16,
                               Sub16s);
    CheckConstantForms<Vps8u>({vpsMulC_8u_ISfs, vpsMulC_8u_Sfs, vpiMulC_8u_C1IRSfs, vpiMulC_8u_C1RSfs}, c8, Mul);
    CheckConstantForms<Vps16s>({vpsMulC_16s_ISfs, vpsMulC_16s_Sfs, vpiMulC_16s_C1IRSfs, vpiMulC_16s_C1RSfs}, c16, Mul);
}

TEST(IntegerImageArithmetic, RefusesBadArgumentsBeforeWriting)
{
    std::vector<Vps16s> a {1, 2, 3, 4};
    std::vector<Vps16s> b {5, 6, 7, 8};
    const std::vector<Vps16s> before = b;
    EXPECT_EQ(vpiAdd_16s_C1IRSfs(nullptr, 4, b.data(), 4, {2, 2}, 0), StatusNullPointer);
    EXPECT_EQ(vpiAdd_16s_C1IRSfs(a.data(), 4, nullptr, 4, {2, 2}, 0), StatusNullPointer);
    EXPECT_EQ(vpiAdd_16s_C1IRSfs(a.data(), 4, b.data(), 4, {0, 2}, 0), StatusBadSize);
    EXPECT_EQ(vpiAdd_16s_C1IRSfs(a.data(), 4, b.data(), 4, {2, -1}, 0), StatusBadSize);
    // Past the zero bound the result is a fill, which checks the destination step.
    EXPECT_EQ(vpiAdd_16s_C1IRSfs(a.data(), 4, b.data(), 0, {2, 2}, 17), StatusBadStep);
    EXPECT_EQ(vpiMulC_16s_C1IRSfs(0, b.data(), -4, {2, 2}, 0), StatusBadStep);
    EXPECT_EQ(b, before);
    EXPECT_EQ(vpsAddC_16s_ISfs(1, nullptr, 4, 0), StatusNullPointer);
    EXPECT_EQ(vpsAddC_16s_Sfs(a.data(), 1, b.data(), 0, 0), StatusBadSize);
    EXPECT_EQ(b, before);
    ASSERT_EQ(vpiAdd_16s_C1IRSfs(a.data(), 4, b.data(), 4, {2, 2}, 17), StatusOk);
    EXPECT_EQ(b, std::vector<Vps16s>(4, 0));
}

TEST(IntegerImageDivision, RoundsHalfToEvenAndSaturatesZeroDivisorsWithAWarning)
{
    std::vector<Vps16s> divisor {0, 0, 0, 2, 2, 2, 2, 3, 1};
    std::vector<Vps16s> d {5, 0, -5, 5, 7, -5, -32768, 32767, 12};
    ASSERT_EQ(vpiDiv_16s_C1IRSfs(divisor.data(), 18, d.data(), 18, {9, 1}, 0), StatusElementDivideByZero);
    EXPECT_EQ(d, (std::vector<Vps16s> {32767, 0, -32768, 2, 4, -2, -16384, 10922, 12}));

    struct Case {
        Vps16s dividend;
        Vps16s divisor;
        int sf;
        Vps16s expected;
    };
    const Case cases[] = {
        {5, 2, 1, 1},         {5, 2, -1, 5},       {-32768, -1, 0, 32767}, {1, 3, -20, 32767},
        {-1, 3, -20, -32768}, {32767, 1, 1000, 0}, {0, 7, -1000, 0},       {3, 1, -2, 12},
    };
    for (const Case& c : cases) {
        Vps16s s = c.divisor;
        Vps16s x = c.dividend;
        ASSERT_EQ(vpiDiv_16s_C1IRSfs(&s, 2, &x, 2, {1, 1}, c.sf), StatusOk);
        EXPECT_EQ(x, c.expected) << c.dividend << " / " << c.divisor << " sf " << c.sf;
    }

    std::vector<Vps8u> s8 {0, 0, 2, 2, 1, 255, 3};
    std::vector<Vps8u> d8 {9, 0, 5, 7, 200, 255, 255};
    ASSERT_EQ(vpiDiv_8u_C1IRSfs(s8.data(), 7, d8.data(), 7, {7, 1}, 0), StatusElementDivideByZero);
    EXPECT_EQ(d8, (std::vector<Vps8u> {255, 0, 2, 4, 200, 1, 85}));
    d8 = {9, 0, 5, 255};
    s8 = {0, 0, 1, 255};
    ASSERT_EQ(vpiDiv_8u_C1IRSfs(s8.data(), 4, d8.data(), 4, {4, 1}, 9), StatusElementDivideByZero);
    EXPECT_EQ(d8, (std::vector<Vps8u> {255, 0, 0, 0}));
    d8 = {1, 0};
    s8 = {255, 9};
    ASSERT_EQ(vpiDiv_8u_C1IRSfs(s8.data(), 2, d8.data(), 2, {2, 1}, -16), StatusOk);
    EXPECT_EQ(d8, (std::vector<Vps8u> {255, 0}));

    // Steps are checked, after pointers and sizes, before anything is written.
    EXPECT_EQ(vpiDiv_8u_C1IRSfs(s8.data(), 0, d8.data(), 2, {2, 1}, 0), StatusBadStep);
    EXPECT_EQ(vpiDiv_8u_C1IRSfs(s8.data(), 0, d8.data(), 2, {0, 1}, 0), StatusBadSize);
    EXPECT_EQ(vpiDiv_16s_C1IRSfs(divisor.data(), 2, nullptr, 0, {2, 1}, 0), StatusNullPointer);
    EXPECT_EQ(d8, (std::vector<Vps8u> {255, 0}));
}

TEST(IntegerDivisionByConstant, RoundsAsDefinedAndRefusesZero)
{
    struct Case16 {
        Vps16s value;
        int sf;
        std::vector<Vps16s> in;
        std::vector<Vps16s> out;
    };
    const Case16 cases16[] = {
        {2, 0, {3, 5, -3, 7, -32768, 32767}, {2, 2, -2, 4, -16384, 16384}},
        {-1, 0, {-32768, 32767, 5}, {32767, -32767, -5}},
        {3, 0, {32767, -32768, 1}, {10922, -10923, 0}},
        {1, -1, {20000, -20000, 3}, {32767, -32768, 6}},
        {1, 0, {-32768, 32767}, {-32768, 32767}},
        {7, -1000, {0, 1, -1}, {0, 32767, -32768}},
        {1, 1000, {32767, -32768}, {0, 0}},
    };
    for (const Case16& c : cases16) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " sf " << c.sf);
        const int n = static_cast<int>(c.in.size());
        std::vector<Vps16s> out(n);
        ASSERT_EQ(vpsDivC_16s_Sfs(c.in.data(), c.value, out.data(), n, c.sf), StatusOk);
        EXPECT_EQ(out, c.out);
        out = c.in;
        ASSERT_EQ(vpsDivC_16s_ISfs(c.value, out.data(), n, c.sf), StatusOk);
        EXPECT_EQ(out, c.out);
        std::vector<Vps16s> img(2 * n, 55);
        for (int i = 0; i < n; ++i)
            img[2 * i] = c.in[i];
        ASSERT_EQ(vpiDivC_16s_C1IRSfs(c.value, img.data(), 4, {1, n}, c.sf), StatusOk);
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(img[2 * i], c.out[i]);
            EXPECT_EQ(img[2 * i + 1], 55);
        }
    }

    struct Case8 {
        Vps8u value;
        int sf;
        std::vector<Vps8u> in;
        std::vector<Vps8u> out;
    };
    const Case8 cases8[] = {
        {3, 0, {255, 3, 4, 0}, {85, 1, 1, 0}}, {2, 0, {5, 7, 1, 255}, {2, 4, 0, 128}},
        {1, -1, {200, 100, 0}, {255, 200, 0}}, {128, 0, {255, 64}, {2, 1}},
        {1, -1000, {0, 1}, {0, 255}},
    };
    for (const Case8& c : cases8) {
        SCOPED_TRACE(testing::Message() << "value " << +c.value << " sf " << c.sf);
        const int n = static_cast<int>(c.in.size());
        std::vector<Vps8u> out(n);
        ASSERT_EQ(vpsDivC_8u_Sfs(c.in.data(), c.value, out.data(), n, c.sf), StatusOk);
        EXPECT_EQ(out, c.out);
        std::vector<Vps8u> img(n);
        ASSERT_EQ(vpiDivC_8u_C1RSfs(c.in.data(), 1, c.value, img.data(), 1, {1, n}, c.sf), StatusOk);
        EXPECT_EQ(img, c.out);
        img = c.in;
        ASSERT_EQ(vpiDivC_8u_C1IRSfs(c.value, img.data(), n, {n, 1}, c.sf), StatusOk);
        EXPECT_EQ(img, c.out);
    }

    std::vector<Vps16s> v {4, 6};
    EXPECT_EQ(vpsDivC_16s_ISfs(0, v.data(), 2, 0), StatusDivideByZero);
    EXPECT_EQ(vpsDivC_16s_ISfs(0, v.data(), 0, 0), StatusBadSize);
    EXPECT_EQ(vpiDivC_16s_C1RSfs(v.data(), 0, 0, v.data(), 4, {2, 1}, 0), StatusBadStep);
    EXPECT_EQ(vpiDivC_16s_C1RSfs(v.data(), 4, 0, v.data(), 4, {2, 1}, 0), StatusDivideByZero);
    EXPECT_EQ(v, (std::vector<Vps16s> {4, 6}));
    std::vector<Vps8u> b {4, 6};
    EXPECT_EQ(vpsDivC_8u_Sfs(b.data(), 0, b.data(), 2, 0), StatusDivideByZero);
    EXPECT_EQ(vpiDivC_8u_C1IRSfs(0, b.data(), 2, {2, 1}, 0), StatusDivideByZero);
    EXPECT_EQ(b, (std::vector<Vps8u> {4, 6}));
}

TEST(IntegerFillsAndCopies, WriteOnlyTheRegion)
{
    // 3 x 2 region in rows of 4: the fourth element of each row is padding.
    std::vector<Vps16s> img(8, 9);
    ASSERT_EQ(vpiSet_16s_C1R(-7, img.data(), 8, {3, 2}), StatusOk);
    EXPECT_EQ(img, (std::vector<Vps16s> {-7, -7, -7, 9, -7, -7, -7, 9}));
    EXPECT_EQ(vpiSet_16s_C1R(1, img.data(), 0, {3, 2}), StatusBadStep);
    EXPECT_EQ(vpiSet_16s_C1R(1, img.data(), 8, {3, 0}), StatusBadSize);
    EXPECT_EQ(vpiSet_16s_C1R(1, nullptr, 8, {3, 2}), StatusNullPointer);

    std::vector<Vps8u> bytes(6, 1);
    ASSERT_EQ(vpiSet_8u_C1R(200, bytes.data(), 3, {2, 2}), StatusOk);
    EXPECT_EQ(bytes, (std::vector<Vps8u> {200, 200, 1, 200, 200, 1}));
    std::vector<Vps32s> words(4, 1);
    ASSERT_EQ(vpiSet_32s_C1R(-5, words.data(), 8, {1, 2}), StatusOk);
    EXPECT_EQ(words, (std::vector<Vps32s> {-5, 1, -5, 1}));

    std::vector<Vps16s> v(5, 0);
    ASSERT_EQ(vpsSet_16s(-3, v.data(), 4), StatusOk);
    EXPECT_EQ(v, (std::vector<Vps16s> {-3, -3, -3, -3, 0}));

    // A mono signal into the right channel of interleaved stereo and back.
    const std::vector<Vps16s> mono {1, -2, 3, -4, 5};
    std::vector<Vps16s> stereo(10, 0);
    ASSERT_EQ(vpiCopy_16s_C1R(mono.data(), 2, stereo.data() + 1, 4, {1, 5}), StatusOk);
    EXPECT_EQ(stereo, (std::vector<Vps16s> {0, 1, 0, -2, 0, 3, 0, -4, 0, 5}));
    std::vector<Vps16s> back(5, 0);
    ASSERT_EQ(vpiCopy_16s_C1R(stereo.data() + 1, 4, back.data(), 2, {1, 5}), StatusOk);
    EXPECT_EQ(back, mono);

    const std::vector<Vps8u> src {1, 2, 3, 4, 5, 6};
    std::vector<Vps8u> dst(8, 0);
    ASSERT_EQ(vpiCopy_8u_C1R(src.data(), 3, dst.data(), 4, {2, 2}), StatusOk);
    EXPECT_EQ(dst, (std::vector<Vps8u> {1, 2, 0, 0, 4, 5, 0, 0}));
    EXPECT_EQ(vpiCopy_8u_C1R(src.data(), 3, nullptr, 4, {2, 2}), StatusNullPointer);
    EXPECT_EQ(vpiCopy_16s_C1R(mono.data(), 2, back.data(), 2, {1, 0}), StatusBadSize);

    // Packed 24-bit samples: their low two bytes form a 16-bit column at an odd step,
    // from an even or an odd address.
    const std::vector<unsigned char> packed {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::vector<unsigned char> low(10, 0);
    ASSERT_EQ(vpiCopy_16s_C1R(reinterpret_cast<const Vps16s*>(packed.data()), 3, reinterpret_cast<Vps16s*>(low.data()),
                              3, {1, 3}),
              StatusOk);
    EXPECT_EQ(low, (std::vector<unsigned char> {1, 2, 0, 4, 5, 0, 7, 8, 0, 0}));
    ASSERT_EQ(vpiAddC_16s_C1IRSfs(0x0101, reinterpret_cast<Vps16s*>(low.data() + 1), 3, {1, 3}, 0), StatusOk);
    EXPECT_EQ(low, (std::vector<unsigned char> {1, 3, 1, 4, 6, 1, 7, 9, 1, 0}));

    // A negative destination step walks the rows upwards: a vertical flip.
    const std::vector<Vps16s> rows {1, 2, 3, 4, 5, 6};
    std::vector<Vps16s> flipped(6, 0);
    ASSERT_EQ(vpiCopy_16s_C1R(rows.data(), 4, flipped.data() + 4, -4, {2, 3}), StatusOk);
    EXPECT_EQ(flipped, (std::vector<Vps16s> {5, 6, 3, 4, 1, 2}));

    const std::vector<Vps8s> s8 {-128, -1, 0, 127};
    std::vector<Vps16s> s16(4);
    ASSERT_EQ(vpsConvert_8s16s(s8.data(), s16.data(), 4), StatusOk);
    EXPECT_EQ(s16, (std::vector<Vps16s> {-128, -1, 0, 127}));
}

TEST(IntegerScaling, MapsTheEndsOfEachRangeWithEitherHint)
{
    const std::vector<Vps8u> u8 {0, 1, 128, 255};
    std::vector<Vps16s> s16(4);
    ASSERT_EQ(vpiScale_8u16s_C1R(u8.data(), 4, s16.data(), 8, {4, 1}), StatusOk);
    EXPECT_EQ(s16, (std::vector<Vps16s> {-32768, -32511, 128, 32767}));
    std::vector<Vps16u> u16(4);
    ASSERT_EQ(vpiScale_8u16u_C1R(u8.data(), 4, u16.data(), 8, {4, 1}), StatusOk);
    EXPECT_EQ(u16, (std::vector<Vps16u> {0, 257, 32896, 65535}));
    std::vector<Vps32s> s32(4);
    ASSERT_EQ(vpiScale_8u32s_C1R(u8.data(), 4, s32.data(), 16, {4, 1}), StatusOk);
    EXPECT_EQ(s32,
              (std::vector<Vps32s> {std::numeric_limits<Vps32s>::min(), -2130640639, 8421504,
                                    std::numeric_limits<Vps32s>::max()}));

    for (int hint : {0, 2}) {
        SCOPED_TRACE(hint);
        const std::vector<Vps16s> x16 {-32768, 0, 32767, -257, 256};
        std::vector<Vps8u> out(5);
        ASSERT_EQ(vpiScale_16s8u_C1R(x16.data(), 10, out.data(), 5, {5, 1}, hint), StatusOk);
        EXPECT_EQ(out, (std::vector<Vps8u> {0, 128, 255, 127, 128}));

        const std::vector<Vps16u> xu {0, 129, 257, 65535, 32896};
        ASSERT_EQ(vpiScale_16u8u_C1R(xu.data(), 10, out.data(), 5, {5, 1}, hint), StatusOk);
        EXPECT_EQ(out, (std::vector<Vps8u> {0, 1, 1, 255, 128}));

        const std::vector<Vps32s> x32 {std::numeric_limits<Vps32s>::min(), 0, std::numeric_limits<Vps32s>::max()};
        ASSERT_EQ(vpiScale_32s8u_C1R(x32.data(), 12, out.data(), 3, {3, 1}, hint), StatusOk);
        EXPECT_EQ(out[0], 0);
        EXPECT_EQ(out[1], 128);
        EXPECT_EQ(out[2], 255);
    }
    std::vector<Vps8u> out(2);
    EXPECT_EQ(vpiScale_16s8u_C1R(nullptr, 4, out.data(), 2, {2, 1}, 0), StatusNullPointer);
    EXPECT_EQ(vpiScale_8u16s_C1R(u8.data(), 4, s16.data(), -8, {4, 1}), StatusBadStep);
}

TEST(IntegerFloatConversion, RoundsSaturatesAndMapsNaNToZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> in {2.5f, 3.5f, 2.9f, -0.7f, 254.6f, 255.0f, 1e9f, nan, -1e9f, 0.5f};
    std::vector<Vps8u> out(in.size());
    const int n = static_cast<int>(in.size());
    ASSERT_EQ(vpiConvert_32f8u_C1R(in.data(), 4 * n, out.data(), n, {n, 1}, 1), StatusOk);
    EXPECT_EQ(out, (std::vector<Vps8u> {2, 4, 3, 0, 255, 255, 255, 0, 0, 0}));
    ASSERT_EQ(vpiConvert_32f8u_C1R(in.data(), 4 * n, out.data(), n, {n, 1}, 0), StatusOk);
    EXPECT_EQ(out, (std::vector<Vps8u> {2, 3, 2, 0, 254, 255, 255, 0, 0, 0}));
    EXPECT_EQ(vpiConvert_32f8u_C1R(in.data(), 0, out.data(), n, {n, 1}, 0), StatusBadStep);

    const std::vector<Vps8u> bytes {0, 1, 255};
    std::vector<float> f(3);
    ASSERT_EQ(vpiConvert_8u32f_C1R(bytes.data(), 3, f.data(), 12, {3, 1}), StatusOk);
    EXPECT_EQ(f, (std::vector<float> {0.0f, 1.0f, 255.0f}));
}

}  // namespace
}  // namespace dcs
