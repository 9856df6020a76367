// Reductions, normalisation, dot products and thresholds.
#include "dsp/StatisticsEntries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace dcs {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(VpsStats, ChecksComeFirstAndLeaveTheOutputAlone)
{
    const double a[3] = {1, 2, 3};
    double out = 42;
    int idx = 42;
    EXPECT_EQ(fallback::vpsMean_64f(nullptr, 3, &out), StatusNullPointer);
    EXPECT_EQ(fallback::vpsMean_64f(a, 0, &out), StatusBadSize);
    EXPECT_EQ(fallback::vpsStdDev_64f(a, 1, &out), StatusBadSize);
    EXPECT_EQ(fallback::vpsMinIndx_64f(a, 0, &out, &idx), StatusBadSize);
    EXPECT_EQ(fallback::vpsNormDiff_L2_64f(a, nullptr, 3, &out), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDotProd_64f(a, a, -1, &out), StatusBadSize);
    EXPECT_EQ(out, 42);
    EXPECT_EQ(idx, 42);
    double d[3] = {7, 7, 7};
    EXPECT_EQ(fallback::vpsNormalize_64f(a, d, 3, 0.0, 1e-310), StatusDivideByZero);
    EXPECT_EQ(fallback::vpsNormalize_64f(a, d, 3, 0.0, kNaN), StatusDivideByZero);
    const float f[1] = {1};
    float fd[1] = {7};
    EXPECT_EQ(fallback::vpsNormalize_32f(f, fd, 1, 0.0f, 1e-39f), StatusDivideByZero);
    Vps64fc c[1] = {{3, 4}};
    EXPECT_EQ(fallback::vpsThreshold_64fc_I(c, 1, -1.0, 4), StatusNegativeThreshold);
    EXPECT_EQ(fallback::vpsThreshold_64fc(c, c, 0, -1.0, 4), StatusBadSize);
    EXPECT_EQ(d[0], 7);
    EXPECT_EQ(fd[0], 7);
    EXPECT_EQ(c[0].re, 3);
}

TEST(VpsStats, MeanSumAndDeviationKeepExtendedPrecision)
{
    // The two running sums are 1e16 + 1 and 1 - 1e16: doubles round both ones away,
    // the extended sums keep them.
    const double v[4] = {1e16, 1, 1, -1e16};
    double r;
    ASSERT_EQ(fallback::vpsSum_64f(v, 4, &r), StatusOk);
    EXPECT_EQ(r, 2.0);
    ASSERT_EQ(fallback::vpsMean_64f(v, 4, &r), StatusOk);
    EXPECT_EQ(r, 0.5);
    const float vf[5] = {1, 2, 3, 4, 5};
    float rf;
    ASSERT_EQ(fallback::vpsMean_32f(vf, 5, &rf, 0), StatusOk);
    EXPECT_EQ(rf, 3.0f);

    struct Case {
        std::vector<double> x;
        double sd;
    };
    const Case cases[] = {
        {{1, 1, 1}, 0.0},
        {{1, 2}, std::sqrt(0.5)},
        {{2, 4, 4, 4, 5, 5, 7, 9}, std::sqrt(32.0 / 7.0)},
        {{1e9 + 1, 1e9 + 2, 1e9 + 3}, 1.0},
        {{1, kNaN, 3}, kNaN},
        {{1, kInf, 3}, kNaN},
        {{kInf, kInf}, kNaN},
    };
    for (const Case& c : cases) {
        double sd = -1;
        ASSERT_EQ(fallback::vpsStdDev_64f(c.x.data(), int(c.x.size()), &sd), StatusOk);
        if (std::isnan(c.sd))
            EXPECT_TRUE(std::isnan(sd)) << "a NaN or infinite element must not read as 0";
        else
            EXPECT_DOUBLE_EQ(sd, c.sd) << c.x.size();
    }
    const double withInf[3] = {1, kInf, 3};
    ASSERT_EQ(fallback::vpsMean_64f(withInf, 3, &r), StatusOk);
    EXPECT_EQ(r, kInf);
    const double withNaN[5] = {1, 2, kNaN, 4, 5};
    ASSERT_EQ(fallback::vpsMean_64f(withNaN, 5, &r), StatusOk);
    EXPECT_TRUE(std::isnan(r));
}

TEST(VpsStats, DeviationKeepsItsDigitsWhenTheMeanIsLarge)
{
    // x = mean + spread * N(0, 1). x - mean is exact for these values, so the reference,
    // a two-pass deviation of the shifted data in long double, is free of the large mean.
    struct Case {
        double mean, spread;
        int len;
    };
    const Case cases[] = {{1e9, 1, 1000}, {-3e12, 1e-2, 4099}, {1e-3, 1e-9, 517}, {1e15, 1, 64}};
    std::mt19937_64 rng(2322);
    std::normal_distribution<double> normal;
    for (const Case& c : cases) {
        std::vector<double> x(c.len);
        std::vector<long double> shifted(c.len);
        long double sum = 0;
        for (int i = 0; i < c.len; ++i) {
            x[i] = c.mean + c.spread * normal(rng);
            shifted[i] = x[i] - c.mean;
            sum += shifted[i];
        }
        const long double mean = sum / c.len;
        long double squares = 0;
        for (long double d : shifted)
            squares += (d - mean) * (d - mean);
        const double want = static_cast<double>(std::sqrt(squares / (c.len - 1)));
        double sd = -1;
        ASSERT_EQ(fallback::vpsStdDev_64f(x.data(), c.len, &sd), StatusOk);
        EXPECT_NEAR(sd, want, 1e-9 * want) << "mean " << c.mean << " spread " << c.spread;
    }
}

TEST(VpsStats, MinMaxReportFirstOccurrence)
{
    struct Case {
        std::vector<double> x;
        double mn;
        int imn;
        double mx;
        int imx;
    };
    const Case cases[] = {
        {{3, 1, 1}, 1, 1, 3, 0},
        {{-kInf, 5, kInf, kInf}, -kInf, 0, kInf, 2},
        {{2, kNaN, 1, 9}, 1, 2, 9, 3},  // a NaN later on never wins a comparison
        {{-0.0, 0.0}, -0.0, 0, -0.0, 0},
    };
    for (const Case& c : cases) {
        const int n = int(c.x.size());
        double v;
        int i = -1;
        ASSERT_EQ(fallback::vpsMinIndx_64f(c.x.data(), n, &v, &i), StatusOk);
        EXPECT_EQ(v, c.mn);
        EXPECT_EQ(i, c.imn);
        ASSERT_EQ(fallback::vpsMaxIndx_64f(c.x.data(), n, &v, &i), StatusOk);
        EXPECT_EQ(v, c.mx);
        EXPECT_EQ(i, c.imx);
        double m;
        fallback::vpsMin_64f(c.x.data(), n, &m);
        EXPECT_EQ(m, c.mn);
        fallback::vpsMax_64f(c.x.data(), n, &m);
        EXPECT_EQ(m, c.mx);
    }
    const double x[3] = {3, 1, 1};
    double v = 0;
    ASSERT_EQ(fallback::vpsMinIndx_64f(x, 3, &v, nullptr), StatusOk);
    EXPECT_EQ(v, 1);
}

TEST(VpsStats, NormsOfDifferences)
{
    const double a[3] = {1, -2, 3}, b[3] = {4, 2, 3};
    double r;
    fallback::vpsNormDiff_L1_64f(a, b, 3, &r);
    EXPECT_EQ(r, 7);
    fallback::vpsNormDiff_L2_64f(a, b, 3, &r);
    EXPECT_EQ(r, 5);
    fallback::vpsNormDiff_Inf_64f(a, b, 3, &r);
    EXPECT_EQ(r, 4);
    fallback::vpsNormDiff_Inf_64f(a, a, 3, &r);
    EXPECT_EQ(r, 0);
    // Infinity and NaN: the sums take them in; the maximum skips a NaN difference (the
    // comparison with a NaN is false), as a maximum-of-numbers does.
    struct Case {
        std::vector<double> x;
        double l1, l2, inf;
    };
    const Case cases[] = {
        {{1, kInf, -2}, kInf, kInf, kInf},
        {{1, kNaN, -2}, kNaN, kNaN, 2},
        {{kInf, kNaN}, kNaN, kNaN, kInf},
    };
    for (const Case& c : cases) {
        const std::vector<double> zeros(c.x.size(), 0.0);
        const int n = int(c.x.size());
        double l1, l2, li;
        fallback::vpsNormDiff_L1_64f(c.x.data(), zeros.data(), n, &l1);
        fallback::vpsNormDiff_L2_64f(c.x.data(), zeros.data(), n, &l2);
        fallback::vpsNormDiff_Inf_64f(c.x.data(), zeros.data(), n, &li);
        for (auto [got, want] : {std::pair {l1, c.l1}, std::pair {l2, c.l2}, std::pair {li, c.inf}}) {
            if (std::isnan(want))
                EXPECT_TRUE(std::isnan(got));
            else
                EXPECT_EQ(got, want);
        }
    }
    // Squares of 1e200 overflow a double but not the extended sum.
    const double big[1] = {1e200}, zero[1] = {0};
    fallback::vpsNormDiff_L2_64f(big, zero, 1, &r);
    EXPECT_EQ(r, 1e200);
}

TEST(VpsStats, NormaliseAndDotProducts)
{
    const double x[3] = {3, 5, -1};
    double d[3];
    ASSERT_EQ(fallback::vpsNormalize_64f(x, d, 3, 1.0, -2.0), StatusOk);
    EXPECT_EQ(d[0], -1);
    EXPECT_EQ(d[1], -2);
    EXPECT_EQ(d[2], 1);
    const Vps64fc c[1] = {{3, 5}};
    Vps64fc cd[1];
    ASSERT_EQ(fallback::vpsNormalize_64fc(c, cd, 1, {1, 1}, 4.0), StatusOk);
    EXPECT_EQ(cd[0].re, 0.5);
    EXPECT_EQ(cd[0].im, 1.0);

    // Products and sums keep the extended precision: (1+e)^2 - 1 = 2e + e^2, where double
    // products would give 2e; and a small term between two cancelling large ones survives.
    const double e = std::ldexp(1.0, -30);
    const double p[2] = {1 + e, -1}, q[2] = {1 + e, 1};
    double dp;
    ASSERT_EQ(fallback::vpsDotProd_64f(p, q, 2, &dp), StatusOk);
    EXPECT_EQ(dp, 2 * e + e * e);
    std::vector<double> big(13, 0.0), ones(13, 1.0);
    big[0] = 1e16;
    big[4] = 1;
    big[8] = -1e16;
    big[12] = 2;
    ASSERT_EQ(fallback::vpsDotProd_64f(big.data(), ones.data(), 13, &dp), StatusOk);
    EXPECT_EQ(dp, 3.0);
    const Vps64fc u[2] = {{1, 2}, {0, 1}}, w[2] = {{3, 4}, {0, 1}};
    Vps64fc cdp;
    ASSERT_EQ(fallback::vpsDotProd_64fc(u, w, 2, &cdp), StatusOk);
    EXPECT_EQ(cdp.re, -6);  // (1+2i)(3+4i) + i*i, no conjugation
    EXPECT_EQ(cdp.im, 10);

    struct Case {
        int32_t a, b;
        int sf;
        int32_t want;
    };
    const Case cases[] = {
        {3, 1, 1, 2},
        {5, 1, 1, 2},
        {-5, 1, 1, -2},
        {3, 1, -40, 2147483647},
        {-3, 1, -40, INT32_MIN},
        {3, 1, 100, 0},
        {7, 6, 0, 42},
        {INT32_MAX, INT32_MAX, 31, 2147483646},  // (2^31-1)^2 / 2^31 = 2^31 - 2 + 2^-31
    };
    for (const Case& c : cases) {
        int32_t r = 0;
        ASSERT_EQ(fallback::vpsDotProd_32s_Sfs(&c.a, &c.b, 1, &r, c.sf), StatusOk);
        EXPECT_EQ(r, c.want) << c.a << "*" << c.b << " sf " << c.sf;
    }
}

TEST(VpsStats, RealThresholds)
{
    struct Case {
        int relOp;
        double level;
        double x;
        double inPlace;
        double outOfPlace;
    };
    const Case cases[] = {
        {4, 1.0, 2.0, 1.0, 1.0}, {4, 1.0, 0.5, 0.5, 0.5}, {4, 1.0, kNaN, 1.0, kNaN}, {0, 1.0, 0.5, 1.0, 1.0},
        {0, 1.0, 2.0, 2.0, 2.0}, {2, 1.0, 0.5, 1.0, 1.0}, {0, 1.0, kNaN, kNaN, 1.0},
    };
    for (const Case& c : cases) {
        double v = c.x, d = -7;
        ASSERT_EQ(fallback::vpsThreshold_64f_I(&v, 1, c.level, c.relOp), StatusOk);
        ASSERT_EQ(fallback::vpsThreshold_64f(&c.x, &d, 1, c.level, c.relOp), StatusOk);
        float f = static_cast<float>(c.x);
        ASSERT_EQ(fallback::vpsThreshold_32f_I(&f, 1, static_cast<float>(c.level), c.relOp), StatusOk);
        if (std::isnan(c.inPlace)) {
            EXPECT_TRUE(std::isnan(v) && std::isnan(f));
        } else {
            EXPECT_EQ(v, c.inPlace) << c.relOp << " " << c.x;
            EXPECT_EQ(f, static_cast<float>(c.inPlace));
        }
        if (std::isnan(c.outOfPlace))
            EXPECT_TRUE(std::isnan(d));
        else
            EXPECT_EQ(d, c.outOfPlace) << c.relOp << " " << c.x;
    }
}

TEST(VpsStats, ComplexThresholdsKeepThePhase)
{
    struct Case {
        int relOp;
        double level;
        Vps64fc x;
        Vps64fc want;
    };
    const Case cases[] = {
        {4, 1.0, {3, 4}, {0.6, 0.8}}, {4, 10.0, {3, 4}, {3, 4}}, {0, 1.0, {0, 0}, {1, 0}},
        {0, 10.0, {-3, 4}, {-6, 8}},  {0, 1.0, {3, 4}, {3, 4}},  {0, 0.0, {0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        Vps64fc d {-9, -9}, v = c.x;
        ASSERT_EQ(fallback::vpsThreshold_64fc(&c.x, &d, 1, c.level, c.relOp), StatusOk);
        ASSERT_EQ(fallback::vpsThreshold_64fc_I(&v, 1, c.level, c.relOp), StatusOk);
        EXPECT_DOUBLE_EQ(d.re, c.want.re);
        EXPECT_DOUBLE_EQ(d.im, c.want.im);
        EXPECT_EQ(v.re, d.re);
        EXPECT_EQ(v.im, d.im);
    }
}

}  // namespace
}  // namespace dcs
