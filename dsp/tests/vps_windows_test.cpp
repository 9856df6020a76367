// Window functions against their closed forms.
#include "dsp/WindowEntries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace dcs {
namespace {

using Ext = long double;
const Ext kPiL = 3.14159265358979323846264338327950288L;

// I0 by its power series, summed in extended precision until the terms vanish.
Ext BesselI0Series(Ext x)
{
    Ext term = 1, sum = 1;
    const Ext q = x * x / 4;
    for (int k = 1; k < 2000 && term > sum * 1e-21L; ++k) {
        term *= q / (Ext(k) * k);
        sum += term;
    }
    return sum;
}

using WeightFn = std::function<Ext(int n, int len)>;

Ext Bartlett(int n, int len)
{
    const Ext r = Ext(2 * n) / (len - 1);
    return 2 * n <= len - 1 ? r : 2 - r;
}
Ext Hann(int n, int len) { return 0.5L - 0.5L * std::cos(2 * kPiL * n / (len - 1)); }
Ext Hamming(int n, int len) { return 0.54L - 0.46L * std::cos(2 * kPiL * n / (len - 1)); }
WeightFn Blackman(Ext a)
{
    return [a](int n, int len) {
        const Ext t = 2 * kPiL * n / (len - 1);
        return (a + 1) / 2 - 0.5L * std::cos(t) - a / 2 * std::cos(2 * t);
    };
}
WeightFn Kaiser(Ext a)
{
    return [a](int n, int len) {
        return BesselI0Series(a * std::sqrt(Ext(n) * (len - 1 - n))) / BesselI0Series(a * (len - 1) / 2);
    };
}

struct Window {
    const char* name;
    std::function<VpsStatus(double*, int)> inPlace;
    std::function<VpsStatus(const double*, double*, int)> copy;
    std::function<VpsStatus(Vps64fc*, int)> complex;
    WeightFn weight;
    double tolerance;  // relative to the largest weight (1)
};

std::vector<Window> Windows()
{
    const double alpha = -0.16;
    const float beta = 0.25f;  // Kaiser's float argument
    // Kaiser's weights are ratios of two Bessel approximations, each off by up to 5.6e-6
    // (see below); the others are exact up to the rounding of the cosine recurrence.
    return {
        {"Bartlett", fallback::vpsWinBartlett_64f_I, fallback::vpsWinBartlett_64f, fallback::vpsWinBartlett_64fc_I,
         Bartlett, 1e-15},
        {"Hann", fallback::vpsWinHann_64f_I, fallback::vpsWinHann_64f, fallback::vpsWinHann_64fc_I, Hann, 1e-14},
        {"Hamming", fallback::vpsWinHamming_64f_I, fallback::vpsWinHamming_64f, fallback::vpsWinHamming_64fc_I, Hamming,
         1e-14},
        {"Blackman", [=](double* p, int n) { return fallback::vpsWinBlackman_64f_I(p, n, alpha); },
         [=](const double* s, double* d, int n) { return fallback::vpsWinBlackman_64f(s, d, n, alpha); },
         [=](Vps64fc* p, int n) { return fallback::vpsWinBlackman_64fc_I(p, n, alpha); }, Blackman(alpha), 1e-14},
        {"Kaiser", [=](double* p, int n) { return fallback::vpsWinKaiser_64f_I(p, n, beta); },
         [=](const double* s, double* d, int n) { return fallback::vpsWinKaiser_64f(s, d, n, beta); },
         [=](Vps64fc* p, int n) { return fallback::vpsWinKaiser_64fc_I(p, n, beta); }, Kaiser(beta), 1.2e-5},
    };
}

TEST(VpsWindows, AllFormsMatchTheClosedForms)
{
    for (const Window& w : Windows()) {
        for (int len : {4, 5, 6, 7, 16, 33, 1000, 1001}) {
            std::vector<double> src(len), inPlace(len), copy(len, -99);
            std::vector<Vps64fc> cplx(len);
            for (int i = 0; i < len; ++i) {
                src[i] = inPlace[i] = 1.0 + 0.01 * i;
                cplx[i] = {src[i], -2 * src[i]};
            }
            ASSERT_EQ(w.inPlace(inPlace.data(), len), StatusOk) << w.name << len;
            ASSERT_EQ(w.copy(src.data(), copy.data(), len), StatusOk) << w.name << len;
            ASSERT_EQ(w.complex(cplx.data(), len), StatusOk) << w.name << len;
            for (int n = 0; n < len; ++n) {
                // A closed form that is symmetric up to rounding; the windows are exactly so.
                const Ext want = src[n] * w.weight(std::min(n, len - 1 - n), len);
                EXPECT_NEAR(inPlace[n], static_cast<double>(want), w.tolerance * src[n])
                    << w.name << " len " << len << " n " << n;
                EXPECT_EQ(copy[n], inPlace[n]) << w.name << " len " << len << " n " << n;
                EXPECT_EQ(cplx[n].re, inPlace[n]) << w.name << " len " << len << " n " << n;
                EXPECT_EQ(cplx[n].im, -2 * inPlace[n]) << w.name << " len " << len << " n " << n;
            }
        }
    }
}

TEST(VpsWindows, ShortLengthsAndChecks)
{
    for (const Window& w : Windows()) {
        double v[2] = {5, 5}, d[2] = {7, 7};
        Vps64fc c[2] = {{5, 5}, {5, 5}};
        const bool kaiser = std::string(w.name) == "Kaiser";
        EXPECT_EQ(w.inPlace(v, 2), kaiser ? StatusOk : StatusBadSize) << w.name;
        EXPECT_EQ(w.copy(v, d, 2), kaiser ? StatusOk : StatusBadSize) << w.name;
        EXPECT_EQ(w.complex(c, 2), kaiser ? StatusOk : StatusBadSize) << w.name;
        EXPECT_EQ(w.inPlace(nullptr, 5), StatusNullPointer) << w.name;
        EXPECT_EQ(w.copy(v, nullptr, 5), StatusNullPointer) << w.name;
        EXPECT_EQ(w.complex(nullptr, 0), StatusNullPointer) << w.name;
        EXPECT_EQ(w.inPlace(v, 0), StatusBadSize) << w.name;
        if (!kaiser) {
            EXPECT_EQ(d[0], 7) << w.name;
        }
    }

    struct Case {
        const char* name;
        std::vector<double> in, out;
        std::function<VpsStatus(double*, int)> f;
    };
    const Case cases[] = {
        {"hann 5", {1, 1, 1, 1, 1}, {0, 0.5, 1, 0.5, 0}, fallback::vpsWinHann_64f_I},
        {"hamming 3", {1, 1, 1}, {0.08, 1, 0.08}, fallback::vpsWinHamming_64f_I},
        {"hann 3", {2, 3, 4}, {0, 3, 0}, fallback::vpsWinHann_64f_I},
        {"bartlett 4", {5, 5, 5, 5}, {0, 10.0 / 3, 10.0 / 3, 0}, fallback::vpsWinBartlett_64f_I},
        {"bartlett 3", {7, 8, 9}, {0, 8, 0}, fallback::vpsWinBartlett_64f_I},
        {"blackman 3",
         {7, 8, 9},
         {0, 8, 0},
         [](double* p, int n) { return fallback::vpsWinBlackman_64f_I(p, n, 0.3); }},
        {"blackman 5",
         {1, 1, 1, 1, 1},
         {0, 0.34, 1, 0.34, 0},
         [](double* p, int n) { return fallback::vpsWinBlackman_64f_I(p, n, -0.16); }},
        {"kaiser 1", {3}, {3}, [](double* p, int n) { return fallback::vpsWinKaiser_64f_I(p, n, 5.0f); }},
        {"kaiser alpha 0",
         {1.5, -2, 1e300, 7},
         {1.5, -2, 1e300, 7},
         [](double* p, int n) { return fallback::vpsWinKaiser_64f_I(p, n, 0.0f); }},
    };
    for (const Case& c : cases) {
        std::vector<double> v = c.in;
        ASSERT_EQ(c.f(v.data(), int(v.size())), StatusOk) << c.name;
        for (size_t i = 0; i < v.size(); ++i)
            EXPECT_NEAR(v[i], c.out[i], 1e-15 * std::fabs(c.out[i]) + 1e-16) << c.name << " " << i;
    }
    const double src[3] = {7, 8, 9};
    double dst[3] = {-1, -1, -1};
    ASSERT_EQ(fallback::vpsWinBartlett_64f(src, dst, 3), StatusOk);
    EXPECT_EQ(dst[1], 8);  // the middle element is copied
    double one[1] = {-1};
    ASSERT_EQ(fallback::vpsWinKaiser_64f(src, one, 1, 1.0f), StatusOk);
    EXPECT_EQ(one[0], 7);

    double v[2] = {1, 1};
    EXPECT_EQ(fallback::vpsWinKaiser_64f_I(v, 2, 1000.0f), StatusHugeWindow);
    EXPECT_EQ(fallback::vpsWinKaiser_64f_I(v, 2, 616.0f), StatusOk);  // 308 exactly
    EXPECT_EQ(fallback::vpsWinKaiser_64f_I(v, 2, std::nanf("")), StatusHugeWindow);
    EXPECT_EQ(v[0], v[1]);
}

// The polynomial coefficients are kept as given; the one written 0.00026 of the large-
// argument form makes it the coarser of the two, worst (5.5e-6) just above 4.
TEST(VpsWindows, BesselPolynomialsStayCloseToTheSeries)
{
    for (Ext x : {0.0L, 0.5L, 1.0L, 3.0L, 3.999L, 4.0L, 4.5L, 7.0L, 10.0L, 50.0L, 300.0L}) {
        const Ext ref = BesselI0Series(x);
        const double tolerance = x < 4 ? 2e-9 : 6e-6;
        EXPECT_NEAR(static_cast<double>(KaiserBesselI0(x) / ref), 1.0, tolerance) << x;
        EXPECT_EQ(KaiserBesselI0(-x), KaiserBesselI0(x));
    }
}

}  // namespace
}  // namespace dcs
