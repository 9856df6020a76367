// The 1- to 8-point codelets: exact examples and the properties every codelet shares.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "dsp/spectral/FftCodelets.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::RandomReals;

TEST(FftCodelets, ExactSmallExamples)
{
    Vps64fc y[8];
    const Vps64fc impulse[4] = {{1, 0}, {0, 0}, {0, 0}, {0, 0}};
    dspFFTFwd4_64fc(impulse, y);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(y[k].re, 1.0);
        EXPECT_EQ(y[k].im, 0.0);
    }
    const Vps64fc second[4] = {{0, 0}, {1, 0}, {0, 0}, {0, 0}};
    dspFFTFwd4_64fc(second, y);  // 1, -i, -1, +i
    const double fwd[8] = {1, 0, 0, -1, -1, 0, 0, 1};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(y[k].re, fwd[2 * k]);
        EXPECT_EQ(y[k].im, fwd[2 * k + 1]);
    }
    dspFFTInv4_64fc(second, y);  // 1, +i, -1, -i
    const double inv[8] = {1, 0, 0, 1, -1, 0, 0, -1};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(y[k].re, inv[2 * k]);
        EXPECT_EQ(y[k].im, inv[2 * k + 1]);
    }

    Vps64fc tone[8];
    for (int n = 0; n < 8; ++n)
        tone[n] = {std::cos(std::numbers::pi * n / 4), std::sin(std::numbers::pi * n / 4)};
    dspFFTFwd8_64fc(tone, y);
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(y[k].re, k == 1 ? 8.0 : 0.0, 1e-14) << k;
        EXPECT_NEAR(y[k].im, 0.0, 1e-14) << k;
    }

    double r[8];
    const double ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    dspFFTFwd8_64f(ones, r);
    EXPECT_EQ(std::vector<double>(r, r + 8), (std::vector<double> {8, 0, 0, 0, 0, 0, 0, 0}));
    const double alternating[8] = {1, -1, 1, -1, 1, -1, 1, -1};
    dspFFTFwd8_64f(alternating, r);  // the Nyquist value second
    EXPECT_EQ(std::vector<double>(r, r + 8), (std::vector<double> {0, 8, 0, 0, 0, 0, 0, 0}));
    const double pair[2] = {3, 1};
    dspFFT2_64f(pair, r);
    EXPECT_EQ(r[0], 4.0);
    EXPECT_EQ(r[1], 2.0);
}

TEST(FftCodelets, SinglePrecisionEightPointExample)
{
    const float x[8] = {0, 1, 0, 0, 0, 0, 0, 0};
    float y[8];
    dspFFTFwd8_32f(x, y);
    const float h = std::bit_cast<float>(0x3F3504F3u);  // √½ as a float
    const float expected[8] = {1, -1, h, -h, 0, -1, -h, -h};
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(y[k] + 0.0f), std::bit_cast<std::uint32_t>(expected[k] + 0.0f)) << k;
}

// One codelet table with the element width of its data.
struct TableCase {
    const char* name;
    const void* plain[4];
    const void* scaled[4];
    int valuesPerPoint;  // doubles per point (2 complex, 1 real); 0 for float
};

template <class D, class F> TableCase Case(const char* name, const FftCodeletTable<D, F>& t, int perPoint)
{
    TableCase c {name, {}, {}, perPoint};
    for (int i = 0; i < 4; ++i) {
        c.plain[i] = reinterpret_cast<const void*>(t.plain[i]);
        c.scaled[i] = reinterpret_cast<const void*>(t.scaled[i]);
    }
    return c;
}

// Runs entry `order` (plain, or scaled by f) of a table over doubles or floats.
std::vector<double> RunCodelet(const TableCase& c, int order, const std::vector<double>& x, bool inPlace,
                               const double* f)
{
    const std::size_t count = x.size();
    if (c.valuesPerPoint == 0) {
        std::vector<float> in(x.begin(), x.end());
        std::vector<float> out(count);
        float* dst = inPlace ? in.data() : out.data();
        if (f)
            reinterpret_cast<void (*)(const float*, float*, float)>(c.scaled[order])(in.data(), dst,
                                                                                     static_cast<float>(*f));
        else
            reinterpret_cast<void (*)(const float*, float*)>(c.plain[order])(in.data(), dst);
        return std::vector<double>(dst, dst + count);
    }
    std::vector<double> in = x;
    std::vector<double> out(count);
    double* dst = inPlace ? in.data() : out.data();
    if (f)
        reinterpret_cast<void (*)(const double*, double*, double)>(c.scaled[order])(in.data(), dst, *f);
    else
        reinterpret_cast<void (*)(const double*, double*)>(c.plain[order])(in.data(), dst);
    return std::vector<double>(dst, dst + count);
}

TEST(FftCodelets, InPlaceEqualsOutOfPlaceAndFactorOneEqualsPlain)
{
    const TableCase tables[] = {
        Case("complex forward", kFftFwdCodelets_64fc, 2),   Case("complex inverse", kFftInvCodelets_64fc, 2),
        Case("real forward", kFftFwdCodelets_64f, 1),       Case("real inverse", kFftInvCodelets_64f, 1),
        Case("float real forward", kFftFwdCodelets_32f, 0),
    };
    for (const TableCase& c : tables)
        for (int order = 0; order < 4; ++order) {
            SCOPED_TRACE(std::string(c.name) + " order " + std::to_string(order));
            const std::vector<double> x =
                RandomReals((std::size_t {1} << order) * std::max(c.valuesPerPoint, 1), 5u + order);
            const double one = 1.0;
            const double f = 0.37;
            const std::vector<double> plain = RunCodelet(c, order, x, false, nullptr);
            EXPECT_EQ(RunCodelet(c, order, x, true, nullptr), plain);
            EXPECT_EQ(RunCodelet(c, order, x, false, &one), plain);
            EXPECT_EQ(RunCodelet(c, order, x, true, &f), RunCodelet(c, order, x, false, &f));
        }
}

TEST(FftCodelets, ForwardThenInverseReturnsTheInput)
{
    // Scaled forward by 1/N then plain inverse returns x; plain both ways N·x.
    using CPlain = void (*)(const double*, double*);
    using CScaled = void (*)(const double*, double*, double);
    for (const bool complex : {true, false})
        for (int order = 0; order < 4; ++order) {
            SCOPED_TRACE(std::string(complex ? "complex" : "real") + " order " + std::to_string(order));
            const std::size_t n = std::size_t {1} << order;
            const std::size_t count = complex ? 2 * n : n;
            const std::vector<double> x = RandomReals(count, 40u + order);
            const auto fwd = complex ? Case("", kFftFwdCodelets_64fc, 2) : Case("", kFftFwdCodelets_64f, 1);
            const auto inv = complex ? Case("", kFftInvCodelets_64fc, 2) : Case("", kFftInvCodelets_64f, 1);
            std::vector<double> spectrum(count);
            std::vector<double> back(count);
            reinterpret_cast<CScaled>(fwd.scaled[order])(x.data(), spectrum.data(), 1.0 / n);
            reinterpret_cast<CPlain>(inv.plain[order])(spectrum.data(), back.data());
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_NEAR(back[i], x[i], 1e-15) << i;
            reinterpret_cast<CPlain>(fwd.plain[order])(x.data(), spectrum.data());
            reinterpret_cast<CPlain>(inv.plain[order])(spectrum.data(), back.data());
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_NEAR(back[i], static_cast<double>(n) * x[i], 1e-14) << i;
        }
}

TEST(FftCodelets, ScaleInPlace)
{
    double v[5] = {1, -2, 3, 0.5, 7};
    dspScale_64f_I(2.0, v, 4);
    EXPECT_EQ(std::vector<double>(v, v + 5), (std::vector<double> {2, -4, 6, 1, 7}));
    dspScale_64f_I(2.0, v, 0);
    dspScale_64f_I(2.0, v, -3);
    EXPECT_EQ(v[0], 2.0);
}

}  // namespace
}  // namespace dcs
