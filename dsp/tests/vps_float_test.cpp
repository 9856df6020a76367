// Element-wise arithmetic on doubles, complex doubles and floats, and the conversions.
#include "dsp/FloatEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <type_traits>
#include <vector>

namespace dcs {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(VpsFloat, ArgumentChecksComeInOrderAndWriteNothing)
{
    double a[2] = {1, 2}, d[2] = {7, 7};
    EXPECT_EQ(fallback::vpsAdd_64f(nullptr, a, d, 2), StatusNullPointer);
    EXPECT_EQ(fallback::vpsAdd_64f(a, a, d, 0), StatusBadSize);
    EXPECT_EQ(fallback::vpsAdd_64f(nullptr, a, d, 0), StatusNullPointer);
    EXPECT_EQ(fallback::vpsMulC_64f_I(2.0, nullptr, 2), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDivC_64f(a, 0.0, d, 2), StatusDivideByZero);
    EXPECT_EQ(fallback::vpsDivC_64f(a, kNaN, d, 2), StatusDivideByZero);
    EXPECT_EQ(fallback::vpsDivC_64f(a, 0.0, d, 0), StatusBadSize);
    EXPECT_EQ(d[0], 7.0);
    EXPECT_EQ(d[1], 7.0);
    // The complex sums test the length before the pointers.
    EXPECT_EQ(fallback::vpsAdd_64fc(nullptr, nullptr, nullptr, 0), StatusBadSize);
    EXPECT_EQ(fallback::vpsAdd_64fc_I(nullptr, nullptr, -1), StatusBadSize);
    EXPECT_EQ(fallback::vpsAdd_64fc(nullptr, nullptr, nullptr, 1), StatusNullPointer);
    Vps64fc c[1] = {{1, 1}};
    EXPECT_EQ(fallback::vpsDivC_64fc_I({0.0, 0.0}, c, 1), StatusDivideByZero);
    EXPECT_EQ(c[0].re, 1.0);
    EXPECT_EQ(fallback::vpsRealToCplx_64f(nullptr, nullptr, c, 1), StatusNullPointer);
    EXPECT_EQ(fallback::vpsRealToCplx_64f(a, a, nullptr, 1), StatusNullPointer);
}

TEST(VpsFloat, RealArithmeticIsIeeeDouble)
{
    // Sums and products are those of IEEE double arithmetic, overflow included.
    const double s1[3] = {0.1, 1e308, -0.0};
    const double s2[3] = {0.2, 1e308, 0.0};
    double d[3];
    ASSERT_EQ(fallback::vpsAdd_64f(s1, s2, d, 3), StatusOk);
    EXPECT_EQ(d[0], 0.30000000000000004);
    EXPECT_EQ(d[1], kInf);
    EXPECT_FALSE(std::signbit(d[2]));
    ASSERT_EQ(fallback::vpsMul_64f(s1, s2, d, 3), StatusOk);
    EXPECT_EQ(d[0], 0.020000000000000004);
    double x[2] = {5, -5};
    const double y[2] = {2, 3};
    fallback::vpsSub_64f_I(y, x, 2);
    EXPECT_EQ(x[0], 3);
    EXPECT_EQ(x[1], -8);
    float f[2] = {1.5f, 2.0f};
    const float g[2] = {2.0f, 0.25f};
    fallback::vpsMul_32f_I(g, f, 2);
    EXPECT_EQ(f[0], 3.0f);
    EXPECT_EQ(f[1], 0.5f);
    fallback::vpsSubCRev_32f_I(1.0f, f, 2);
    EXPECT_EQ(f[0], -2.0f);
    EXPECT_EQ(f[1], 0.5f);
}

TEST(VpsFloat, DivisionByZeroElementsGiveSignedInfinityOrNaN)
{
    double d[5] = {1, 0, -1, 1, 3};
    const double s[5] = {0, 0, 0, 2, kNaN};
    EXPECT_EQ(fallback::vpsDiv_64f_I(s, d, 5), StatusElementDivideByZero);
    EXPECT_EQ(d[0], kInf);
    EXPECT_TRUE(std::isnan(d[1]));
    EXPECT_EQ(d[2], -kInf);
    EXPECT_EQ(d[3], 0.5);
    EXPECT_EQ(d[4], kInf);
    double e[1] = {1};
    const double t[1] = {4};
    EXPECT_EQ(fallback::vpsDiv_64f_I(t, e, 1), StatusOk);
    EXPECT_EQ(e[0], 0.25);
}

TEST(VpsFloat, ConstantFormsHandleNeutralConstants)
{
    double v[4] = {kNaN, kInf, -kInf, 2};
    ASSERT_EQ(fallback::vpsMulC_64f_I(0.0, v, 4), StatusOk);
    for (double x : v)
        EXPECT_EQ(x, 0.0);  // cleared, not multiplied
    double w[2] = {-0.0, 3};
    fallback::vpsAddC_64f_I(0.0, w, 2);  // untouched: -0.0 stays -0.0
    EXPECT_TRUE(std::signbit(w[0]));
    fallback::vpsMulC_64f_I(kNaN, w, 2);  // a NaN constant is taken as neutral
    EXPECT_EQ(w[1], 3);
    double d[2] = {9, 9};
    const double s[2] = {1, 6};
    ASSERT_EQ(fallback::vpsDivC_64f(s, 4.0, d, 2), StatusOk);
    EXPECT_EQ(d[0], 0.25);
    EXPECT_EQ(d[1], 1.5);
    ASSERT_EQ(fallback::vpsSubC_64f(s, 0.0, d, 2), StatusOk);
    EXPECT_EQ(d[1], 6);
    ASSERT_EQ(fallback::vpsSubCRev_64f(s, 10.0, d, 2), StatusOk);
    EXPECT_EQ(d[0], 9);
    EXPECT_EQ(d[1], 4);
    float f[2] = {std::numeric_limits<float>::infinity(), 1};
    fallback::vpsMulC_32f_I(0.0f, f, 2);
    EXPECT_EQ(f[0], 0.0f);
}

TEST(VpsFloat, ComplexProductsAndQuotients)
{
    Vps64fc d[2] = {{1, 2}, {3, -4}};
    const Vps64fc s[2] = {{3, 4}, {0, 1}};
    ASSERT_EQ(fallback::vpsMul_64fc_I(s, d, 2), StatusOk);
    EXPECT_EQ(d[0].re, -5);  // (1+2i)(3+4i) = -5 + 10i
    EXPECT_EQ(d[0].im, 10);
    EXPECT_EQ(d[1].re, 4);  // (3-4i)i = 4 + 3i
    EXPECT_EQ(d[1].im, 3);
    ASSERT_EQ(fallback::vpsDiv_64fc_I(s, d, 2), StatusOk);
    EXPECT_DOUBLE_EQ(d[0].re, 1);
    EXPECT_DOUBLE_EQ(d[0].im, 2);
    EXPECT_DOUBLE_EQ(d[1].re, 3);
    EXPECT_DOUBLE_EQ(d[1].im, -4);
    Vps64fc z[2] = {{1, 1}, {2, 2}};
    const Vps64fc q[2] = {{0, 0}, {1, 0}};
    EXPECT_EQ(fallback::vpsDiv_64fc_I(q, z, 2), StatusElementDivideByZero);
    EXPECT_TRUE(std::isnan(z[0].re) && std::isnan(z[0].im));
    EXPECT_EQ(z[1].re, 2);

    // Each component is rounded once: (1+e)(1-e) - 1 = -e^2 survives in extended
    // precision, while double products would round 1 - e^2 to 1 and give 0.
    const double e = std::ldexp(1.0, -30);
    Vps64fc m[1] = {{1 + e, 1}};
    const Vps64fc n[1] = {{1 - e, 1}};
    fallback::vpsMul_64fc_I(n, m, 1);
    EXPECT_EQ(m[0].re, -e * e);
    EXPECT_EQ(m[0].im, 2.0);

    Vps64fc c[1] = {{2, 4}};
    fallback::vpsMulC_64fc_I({0, 1}, c, 1);
    EXPECT_EQ(c[0].re, -4);
    EXPECT_EQ(c[0].im, 2);
    fallback::vpsDivC_64fc_I({0, 2}, c, 1);
    EXPECT_EQ(c[0].re, 1);
    EXPECT_EQ(c[0].im, 2);
    Vps64fc r[1];
    fallback::vpsSubCRev_64fc(c, {10, 10}, r, 1);
    EXPECT_EQ(r[0].re, 9);
    EXPECT_EQ(r[0].im, 8);
}

TEST(VpsFloat, BuildSplitAndCompleteComplexVectors)
{
    const double re[2] = {1, 2}, im[2] = {3, 4};
    Vps64fc c[2];
    ASSERT_EQ(fallback::vpsRealToCplx_64f(re, nullptr, c, 2), StatusOk);
    EXPECT_EQ(c[1].re, 2);
    EXPECT_EQ(c[1].im, 0.0);
    ASSERT_EQ(fallback::vpsRealToCplx_64f(nullptr, im, c, 2), StatusOk);
    EXPECT_EQ(c[0].re, 0.0);
    EXPECT_EQ(c[0].im, 3);
    Vps32fc cf[1];
    const float fr[1] = {5};
    ASSERT_EQ(fallback::vpsRealToCplx_32f(fr, nullptr, cf, 1), StatusOk);
    EXPECT_EQ(cf[0].re, 5.0f);
    EXPECT_EQ(cf[0].im, 0.0f);
    double part[2];
    fallback::vpsRealToCplx_64f(re, im, c, 2);
    fallback::vpsImag_64fc(c, part, 2);
    EXPECT_EQ(part[1], 4);
    fallback::vpsReal_64fc(c, part, 2);
    EXPECT_EQ(part[1], 2);

    struct Case {
        int len;
        std::vector<int> mirrored;
    };  // element k takes conj of len-k
    for (const Case& tc : {Case {8, {5, 6, 7}}, Case {7, {4, 5, 6}}, Case {2, {}}, Case {1, {}}}) {
        std::vector<Vps64fc> v(tc.len);
        for (int k = 0; k < tc.len; ++k)
            v[k] = {double(k), double(10 + k)};
        ASSERT_EQ(fallback::vpsConjCcs_64fc_I(v.data(), tc.len), StatusOk);
        for (int k = 0; k < tc.len; ++k) {
            const bool m = std::find(tc.mirrored.begin(), tc.mirrored.end(), k) != tc.mirrored.end();
            const int from = m ? tc.len - k : k;
            EXPECT_EQ(v[k].re, from) << tc.len << ":" << k;
            EXPECT_EQ(v[k].im, m ? -(10 + from) : 10 + k) << tc.len << ":" << k;
        }
    }
}

TEST(VpsFloat, ConversionsRoundAndSaturate)
{
    struct Case {
        double x;
        int rnd;
        int sf;
        int32_t want;
    };
    const Case cases[] = {
        {2.5, 1, 0, 2},
        {3.5, 1, 0, 4},
        {-2.5, 1, 0, -2},
        {-3.5, 1, 0, -4},
        {3e9, 1, 0, 2147483647},
        {-3e9, 1, 0, INT32_MIN},
        {kNaN, 1, 0, INT32_MIN},
        {kInf, 0, 0, 2147483647},
        {2.7, 0, 0, 2},
        {-2.7, 0, 0, -2},
        {2.7, 3, 0, 2},
        {5.0, 1, 1, 2},
        {7.0, 1, 1, 4},
        {1.0, 1, -31, 2147483647},
        {-1.0, 0, -31, INT32_MIN},
        {3.0, 1, 100000, 0},
        {0.0, 1, -100000, INT32_MIN},  // 0 * infinity is NaN
        {2147483646.5, 1, 0, 2147483646},
        {3.0, 1, INT32_MAX, 0},
        {-1.0, 1, INT32_MIN, INT32_MIN},  // no 2^31 halvings
    };
    for (const Case& c : cases) {
        int32_t r = 0;
        ASSERT_EQ(fallback::vpsConvert_64f32s_Sfs(&c.x, &r, 1, c.rnd, c.sf), StatusOk);
        EXPECT_EQ(r, c.want) << c.x << " rnd " << c.rnd << " sf " << c.sf;
        const float f = static_cast<float>(c.x);
        if (static_cast<double>(f) == c.x || std::isnan(c.x)) {
            ASSERT_EQ(fallback::vpsConvert_32f32s_Sfs(&f, &r, 1, c.rnd, c.sf), StatusOk);
            EXPECT_EQ(r, c.want) << "float " << c.x;
        }
    }

    const double fmax = 3.4028234663852886e38;
    const double big[5] = {1e39, kNaN, -kInf, 0.1, -1e39};
    float out[5];
    ASSERT_EQ(fallback::vpsConvert_64f32f(big, out, 5), StatusOk);
    EXPECT_EQ(out[0], static_cast<float>(fmax));
    EXPECT_EQ(out[1], static_cast<float>(-fmax));
    EXPECT_EQ(out[2], static_cast<float>(-fmax));
    EXPECT_EQ(out[3], 0.1f);
    EXPECT_EQ(out[4], static_cast<float>(-fmax));

    const int16_t s16[2] = {1, -3};
    double d[2];
    ASSERT_EQ(fallback::vpsConvert_16s64f_Sfs(s16, d, 2, 2000), StatusOk);
    EXPECT_EQ(d[0], std::ldexp(1.0, -1022));
    ASSERT_EQ(fallback::vpsConvert_16s64f_Sfs(s16, d, 2, -2000), StatusOk);
    EXPECT_EQ(d[1], -3 * std::ldexp(1.0, 1008));
    ASSERT_EQ(fallback::vpsConvert_16s64f_Sfs(s16, d, 2, 1), StatusOk);
    EXPECT_EQ(d[1], -1.5);

    const int32_t big32[1] = {16777217};
    float f32[1];
    fallback::vpsConvert_32s32f(big32, f32, 1);
    EXPECT_EQ(f32[0], 16777216.0f);  // nearest float, ties to even
}

// The conversion as first written, rounding each element with the C library in extended
// precision: the reference the in-register rounding has to match bit for bit.
template <typename T> int32_t ReferenceToInt32(T x, int rndMode, int scaleFactor)
{
    const int sf = std::clamp(scaleFactor, -20000, 20000);
    const long double m = std::ldexp(1.0L, -sf);
    const long double y = scaleFactor == 0 ? static_cast<long double>(x) : m * x;
    if (y >= 2147483647.0L)
        return 2147483647;
    if (y > -2147483648.0L)
        return rndMode == 1 ? static_cast<int32_t>(std::nearbyint(y)) : static_cast<int32_t>(y);
    return INT32_MIN;
}

template <typename T> void ExpectConversionMatchesReference(const std::vector<T>& xs, const std::vector<int>& sfs)
{
    std::vector<int32_t> got(xs.size());
    for (int sf : sfs) {
        for (int rnd : {0, 1, 2}) {
            VpsStatus st;
            if constexpr (std::is_same_v<T, double>)
                st = fallback::vpsConvert_64f32s_Sfs(xs.data(), got.data(), int(xs.size()), rnd, sf);
            else
                st = fallback::vpsConvert_32f32s_Sfs(xs.data(), got.data(), int(xs.size()), rnd, sf);
            ASSERT_EQ(st, StatusOk);
            for (size_t i = 0; i < xs.size(); ++i)
                ASSERT_EQ(got[i], ReferenceToInt32(xs[i], rnd, sf))
                    << (sizeof(T) == 8 ? "double " : "float ") << std::hexfloat << xs[i] << " rnd " << rnd << " sf "
                    << sf;
        }
    }
}

// Scale factors around every place where the multiplier changes representation: 1, the
// ends of the double range, denormal and vanishing multipliers, and the clamp at 20000.
const std::vector<int> kEdgeScaleFactors = {
    0,      1,      -1,     2,      -2,    31,    -31,   32,     -32,    52,        -52,      63,    -63,
    64,     100,    -100,   149,    -149,  1021,  1022,  1023,   1024,   1074,      1075,     1076,  -1021,
    -1022,  -1023,  -1024,  -1025,  -1074, -1075, 16381, 16382,  16383,  16384,     16445,    16446, 16447,
    -16381, -16382, -16383, -16384, 19999, 20000, 20001, -20000, -20001, INT32_MAX, INT32_MIN};

// Each value with both of its neighbours, so halves, the limits and the values just past
// them are all tried.
template <typename T> std::vector<T> WithNeighbours(std::initializer_list<T> values)
{
    std::vector<T> out;
    for (T x : values) {
        out.push_back(x);
        out.push_back(std::nextafter(x, std::numeric_limits<T>::infinity()));
        out.push_back(std::nextafter(x, -std::numeric_limits<T>::infinity()));
    }
    return out;
}

TEST(VpsFloat, ConversionsMatchTheLibraryRoundingBitForBit)
{
    using D = std::numeric_limits<double>;
    using F = std::numeric_limits<float>;
    const std::vector<double> table = WithNeighbours<double>({0.0,
                                                              -0.0,
                                                              kNaN,
                                                              -kNaN,
                                                              kInf,
                                                              -kInf,
                                                              D::denorm_min(),
                                                              D::min(),
                                                              D::max(),
                                                              -D::max(),
                                                              0.5,
                                                              -0.5,
                                                              1.5,
                                                              -1.5,
                                                              2.5,
                                                              -2.5,
                                                              1073741823.5,
                                                              -1073741824.5,
                                                              4503599627370495.5,
                                                              2147483646.5,
                                                              2147483647.0,
                                                              2147483647.5,
                                                              2147483648.0,
                                                              -2147483647.5,
                                                              -2147483648.0,
                                                              -2147483648.5,
                                                              -2147483649.0,
                                                              4294967295.0,
                                                              1e300,
                                                              -1e300});
    const std::vector<float> tableF = WithNeighbours<float>(
        {0.0f, -0.0f, F::quiet_NaN(), F::infinity(), -F::infinity(), F::denorm_min(), F::max(), -F::max(), 0.5f, -0.5f,
         1.5f, 2.5f, -2.5f, 8388607.5f, -8388607.5f, 2147483520.0f, 2147483648.0f, -2147483648.0f, -2147483904.0f});
    ExpectConversionMatchesReference(table, kEdgeScaleFactors);
    ExpectConversionMatchesReference(tableF, kEdgeScaleFactors);
}

TEST(VpsFloat, ConversionsMatchTheLibraryRoundingOnRandomBitPatterns)
{
    // Random bit patterns cover every exponent; random halves and near-halves on top.
    std::mt19937_64 rng(17);
    std::vector<double> xs;
    std::vector<float> xf;
    for (int i = 0; i < 4000; ++i) {
        const uint64_t bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        xs.push_back(d);
        const uint32_t fbits = static_cast<uint32_t>(bits >> 32);
        float f;
        std::memcpy(&f, &fbits, sizeof f);
        xf.push_back(f);
        const double half = static_cast<int64_t>(rng() % (1ull << 33)) - (1ll << 32) + 0.5;
        xs.push_back(half);
        xs.push_back(std::nextafter(half, 0.0));
        xf.push_back(static_cast<float>(half / 512));
    }
    std::vector<int> sfs = kEdgeScaleFactors;
    for (int i = 0; i < 12; ++i)
        sfs.push_back(static_cast<int>(rng() % 2400) - 1200);
    ExpectConversionMatchesReference(xs, sfs);
    ExpectConversionMatchesReference(xf, sfs);
}

}  // namespace
}  // namespace dcs
