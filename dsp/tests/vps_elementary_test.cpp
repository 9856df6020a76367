// Elementary functions, complex square and square root, complex magnitudes.
#include "dsp/ElementaryEntries.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace dcs {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kPi = 3.14159265358979323846;

bool IsNegQuietNaN(double x) { return std::bit_cast<uint64_t>(x) == UINT64_C(0xFFF8000000000000); }

// Distance in units of the last place between a double and an extended reference.
long double UlpDistance(double got, long double ref)
{
    const double r = static_cast<double>(ref);
    const double ulp = std::nextafter(std::fabs(r), kInf) - std::fabs(r);
    return std::fabs(static_cast<long double>(got) - ref) / ulp;
}

TEST(VpsElementary, ChecksComeFirst)
{
    double v[1] = {4};
    EXPECT_EQ(fallback::vpsExp_64f(v, nullptr, 1), StatusNullPointer);
    EXPECT_EQ(fallback::vpsExp_64f_I(v, 0), StatusBadSize);
    EXPECT_EQ(fallback::vpsLn_64f_I(nullptr, 1), StatusNullPointer);
    EXPECT_EQ(fallback::vpsSqrt_64f_I(v, -1), StatusBadSize);
    EXPECT_EQ(fallback::vpsNorm_L2_64fc64f(nullptr, 1, v), StatusNullPointer);
    EXPECT_EQ(v[0], 4);
}

TEST(VpsElementary, SquareRootWarnsOnNegativeElements)
{
    double v[3] = {4, -4, -0.0};
    EXPECT_EQ(fallback::vpsSqrt_64f_I(v, 3), StatusSqrtNegative);
    EXPECT_EQ(v[0], 2);
    EXPECT_TRUE(IsNegQuietNaN(v[1]));
    EXPECT_TRUE(v[2] == 0.0 && std::signbit(v[2]));

    const double s[1] = {-0.0};
    double d[1];
    EXPECT_EQ(fallback::vpsSqrt_64f(s, d, 1), StatusOk);
    EXPECT_TRUE(d[0] == 0.0 && std::signbit(d[0]));
    const double t[3] = {9, kInf, -1};
    double e[3];
    EXPECT_EQ(fallback::vpsSqrt_64f(t, e, 3), StatusSqrtNegative);
    EXPECT_EQ(e[0], 3);
    EXPECT_EQ(e[1], kInf);
    EXPECT_TRUE(IsNegQuietNaN(e[2]));

    const double a[5] = {-1.5, 2, -0.0, -kInf, 3};
    double b[5];
    fallback::vpsAbs_64f(a, b, 5);
    fallback::vpsSqr_64f_I(b, 5);
    EXPECT_EQ(b[0], 2.25);
    EXPECT_EQ(b[1], 4);
    EXPECT_FALSE(std::signbit(b[2]));
    EXPECT_EQ(b[3], kInf);
}

TEST(VpsElementary, LogarithmClassifiesSpecialElements)
{
    const double sNaN = std::bit_cast<double>(UINT64_C(0x7FF0000000000001));
    struct Case {
        std::vector<double> x;
        VpsStatus status;
    };
    const Case cases[] = {
        {{0, -1}, StatusLnZero}, {{-1, 0}, StatusLnNegative}, {{-0.0, 0}, StatusLnNegative},
        {{kNaN, 1}, StatusOk},   {{1, sNaN}, StatusLnZero},   {{std::exp(1.0), kInf}, StatusOk},
    };
    for (const Case& c : cases) {
        std::vector<double> d(c.x.size());
        EXPECT_EQ(fallback::vpsLn_64f(c.x.data(), d.data(), int(d.size())), c.status);
        for (size_t i = 0; i < d.size(); ++i) {
            const double x = c.x[i];
            const uint64_t bits = std::bit_cast<uint64_t>(x);
            if (std::signbit(x))
                EXPECT_TRUE(IsNegQuietNaN(d[i]));
            else if (bits == std::bit_cast<uint64_t>(sNaN) || x == 0.0)
                EXPECT_EQ(d[i], -kInf);
            else if (std::isnan(x))
                EXPECT_EQ(std::bit_cast<uint64_t>(d[i]), UINT64_C(0x7FF8000000000000));
            else
                EXPECT_EQ(d[i], static_cast<double>(std::log(static_cast<long double>(x))));
        }
    }
    double e[1] = {std::exp(1.0)};
    fallback::vpsLn_64f_I(e, 1);
    EXPECT_EQ(e[0], 1.0);
}

TEST(VpsElementary, ExponentialSpecialValues)
{
    double v[7] = {1, 2, 3, 4, 800, -800, 0};
    ASSERT_EQ(fallback::vpsExp_64f_I(v, 7), StatusOk);
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(UlpDistance(v[i], std::exp(static_cast<long double>(i + 1))), 1.0L);
    EXPECT_EQ(v[4], kInf);
    EXPECT_EQ(v[5], 0.0);
    EXPECT_EQ(v[6], 1.0);

    double two[2] = {800, 1};  // the short path
    fallback::vpsExp_64f_I(two, 2);
    EXPECT_EQ(two[0], kInf);

    const double nanNeg = -kNaN;
    const double s[5] = {kNaN, nanNeg, kInf, -kInf, -745.2};
    double d[5];
    fallback::vpsExp_64f(s, d, 5);
    EXPECT_TRUE(std::isnan(d[0]) && !std::signbit(d[0]));
    EXPECT_TRUE(std::isnan(d[1]) && std::signbit(d[1]));
    EXPECT_EQ(d[2], kInf);
    EXPECT_EQ(d[3], 0.0);
    EXPECT_EQ(d[4], 0.0);
}

// Both ends of the normal range, the two bands next to them that are finite and normal
// (a classification by the upper 32 bits alone sends them to infinity and zero), and a
// sweep across the whole range: every normal result within one unit in the last place.
TEST(VpsElementary, ExponentialWithinOneUlpAcrossTheRange)
{
    std::vector<double> x;
    const double hiEdge = 709.782712893384;    // largest x with a finite e^x
    const double loEdge = -708.3964185322641;  // smallest x with a normal e^x
    for (double a = 709.7822265625; a <= hiEdge; a += 2e-8)
        x.push_back(a);
    x.push_back(hiEdge);
    x.push_back(std::nextafter(hiEdge, 0.0));
    for (double a = -708.39599609375; a >= loEdge; a -= 2e-8)
        x.push_back(a);
    x.push_back(loEdge);
    x.push_back(std::nextafter(loEdge, 0.0));
    for (int i = 0; i <= 20000; ++i)
        x.push_back(-708.39 + i * (709.78 + 708.39) / 20000);
    for (double t : {1e-300, -1e-300, 1e-17, 0.34657359027997264, 0.5, -0.5, 1.0397207708399179})
        x.push_back(t);

    std::vector<double> y(x.size());
    ASSERT_EQ(fallback::vpsExp_64f(x.data(), y.data(), int(x.size())), StatusOk);
    long double worst = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const long double ref = std::exp(static_cast<long double>(x[i]));
        ASSERT_TRUE(std::isfinite(y[i]) && y[i] >= std::numeric_limits<double>::min())
            << std::hexfloat << x[i] << " -> " << y[i];
        const long double dist = UlpDistance(y[i], ref);
        worst = std::max(worst, dist);
        ASSERT_LE(dist, 1.0L) << std::hexfloat << x[i];
    }
    EXPECT_GT(x.size(), 40000u);
    // Past the limits: overflow to infinity; below the normal range gradual underflow.
    double past[4] = {std::nextafter(hiEdge, kInf), std::nextafter(loEdge, -kInf), -740, 0};
    fallback::vpsExp_64f_I(past, 4);
    EXPECT_EQ(past[0], kInf);
    EXPECT_GT(past[1], 0.0);
    EXPECT_LT(past[1], std::numeric_limits<double>::min());
    EXPECT_EQ(past[2], static_cast<double>(std::exp(-740.0L)));
}

TEST(VpsElementary, ComplexSquareAndPrincipalRoot)
{
    struct Case {
        Vps64fc z;
        Vps64fc root;
    };
    const Case cases[] = {
        {{-4, 0}, {0, 2}},   {{0, -8}, {2, -2}}, {{3, 4}, {2, 1}}, {{0, 8}, {2, 2}},
        {{-3, -4}, {1, -2}}, {{0, 0}, {0, 0}},   {{4, 0}, {2, 0}},
    };
    for (const Case& c : cases) {
        Vps64fc r;
        ASSERT_EQ(fallback::vpsSqrt_64fc(&c.z, &r, 1), StatusOk);
        EXPECT_DOUBLE_EQ(r.re, c.root.re) << c.z.re << "," << c.z.im;
        EXPECT_DOUBLE_EQ(r.im, c.root.im) << c.z.re << "," << c.z.im;
        Vps64fc sq = r;
        fallback::vpsSqr_64fc_I(&sq, 1);
        EXPECT_NEAR(sq.re, c.z.re, 1e-15);
        EXPECT_NEAR(sq.im, c.z.im, 1e-15);
    }
}

TEST(VpsElementary, PowerPhaseMagnitudeAndNorm)
{
    const double big = std::ldexp(1.0, 600);
    const Vps64fc z[4] = {{-1, 0}, {0, -1}, {3, 4}, {3 * big, 4 * big}};
    double d[4];
    fallback::vpsPhase_64fc(z, d, 4);
    EXPECT_EQ(d[0], kPi);
    EXPECT_EQ(d[1], -kPi / 2);
    fallback::vpsMagnitude_64fc(z, d, 4);
    EXPECT_EQ(d[2], 5);
    EXPECT_EQ(d[3], 5 * big);  // the squares overflow a double but not the extended sum
    fallback::vpsPowerSpectr_64fc(z, d, 3);
    EXPECT_EQ(d[1], 1);
    EXPECT_EQ(d[2], 25);
    double n;
    ASSERT_EQ(fallback::vpsNorm_L2_64fc64f(z + 2, 1, &n), StatusOk);
    EXPECT_EQ(n, 5);
    const Vps64fc w[3] = {{1, 2}, {2, 0}, {0, 4}};  // 5 + 4 + 16
    ASSERT_EQ(fallback::vpsNorm_L2_64fc64f(w, 3, &n), StatusOk);
    EXPECT_EQ(n, 5);
}

}  // namespace
}  // namespace dcs
