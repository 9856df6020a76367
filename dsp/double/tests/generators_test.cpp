// The double generators against long-double closed forms and a transcription of the
// noise definition; continuation across calls and the order of their checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/double/Generators.h"

namespace dcs {
namespace {

using Ext = long double;
constexpr double kPi = 3.141592653589793;
constexpr Ext kTwoPiL = 6.283185307179586476925286766559L;

Ext ToneAt(double magn, double f, double phase, int n) { return magn * std::cos(phase + kTwoPiL * f * n); }

// The ideal triangle: +M at phase 0, straight down to -M at π + asym, back up by 2π.
Ext TriangleAt(double magn, double f, double asym, double phase, int n)
{
    Ext t = std::fmod(phase + kTwoPiL * f * n, kTwoPiL);
    const Ext u = kPi + static_cast<Ext>(asym), v = kTwoPiL - u;
    return t < u ? magn * (1 - 2 * t / u) : magn * (2 * (t - u) / v - 1);
}

TEST(Tone64f, QuarterFrequencyAndPhaseWrittenBack)
{
    double y[3];
    double phase = 0.0;
    ASSERT_EQ(vpsTone_Direct_64f(y, 3, 1.0, 0.25, &phase, 0), StatusOk);
    EXPECT_EQ(y[0], 1.0);
    EXPECT_NEAR(y[1], 0.0, 1e-15);
    EXPECT_NEAR(y[2], -1.0, 1e-15);
    EXPECT_NEAR(phase, 4.71238898038469, 1e-14);

    double c[5];
    phase = 1.0;
    ASSERT_EQ(vpsTone_Direct_64f(c, 5, 2.0, 0.0, &phase, 0), StatusOk);
    EXPECT_EQ(phase, 1.0);
    for (double v : c)
        EXPECT_NEAR(v, 2.0 * std::cos(1.0), 1e-15);
}

struct Wave {
    const char* name;
    double magn, f, asym, phase;
    bool triangle;
    VpsStatus Run(double* dst, int len, double* phase) const
    {
        return triangle ? vpsTriangle_Direct_64f(dst, len, magn, f, asym, phase)
                        : vpsTone_Direct_64f(dst, len, magn, f, phase, 0);
    }
    Ext At(int n) const { return triangle ? TriangleAt(magn, f, asym, phase, n) : ToneAt(magn, f, phase, n); }
};

const Wave kWaves[] = {
    {"tone slow", 1.0, 0.01, 0, 0.3, false},
    {"tone quarter", 3.0, 0.25, 0, 2.0, false},
    {"tone fast", 0.5, 0.4375, 0, 6.0, false},
    {"tone odd", 7.0, 0.123, 0, 0.0, false},
    {"triangle symmetric", 1.0, 0.05, 0, 0, true},
    {"triangle asym 1", 2.0, 0.1, 1.0, 0.5, true},
    {"triangle asym -2", 1.5, 0.0371, -2.0, 5.0, true},
    {"triangle near half", 1.0, 0.45, 2.5, 1.0, true},
};

// The closed forms in long double, and 30 + 70 samples with the phase passed on equal one
// call of 100.
TEST(ToneTriangle64f, FollowClosedFormsAndContinueAcrossCalls)
{
    for (const Wave& w : kWaves) {
        SCOPED_TRACE(w.name);
        std::vector<double> whole(100), split(100);
        double p = w.phase;
        ASSERT_EQ(w.Run(whole.data(), 100, &p), StatusOk);
        const double after = p;
        for (int n = 0; n < 100; ++n)
            EXPECT_NEAR(whole[n], static_cast<double>(w.At(n)), 1e-12 * w.magn) << n;
        p = w.phase;
        ASSERT_EQ(w.Run(split.data(), 30, &p), StatusOk);
        ASSERT_EQ(w.Run(split.data() + 30, 70, &p), StatusOk);
        EXPECT_NEAR(p, after, 1e-12);
        for (int n = 0; n < 100; ++n)
            EXPECT_NEAR(split[n], whole[n], 1e-12 * w.magn) << n;
    }
}

TEST(Triangle64f, SymmetricQuarterAndSawtoothAtTheLowestAsymmetry)
{
    double y[9], phase = 0.0;
    ASSERT_EQ(vpsTriangle_Direct_64f(y, 9, 1.0, 0.25, 0.0, &phase), StatusOk);
    const double expected[] = {1, 0, -1, 0, 1, 0, -1, 0, 1};
    for (int n = 0; n < 9; ++n)
        EXPECT_NEAR(y[n], expected[n], 1e-15) << n;

    // The fall takes no phase: a rising sawtooth from -M at phase 0 (it used to divide by 0).
    double s[9];
    phase = 0.0;
    ASSERT_EQ(vpsTriangle_Direct_64f(s, 9, 1.0, 0.25, -kPi, &phase), StatusOk);
    const double saw[] = {-1, -0.5, 0, 0.5, -1, -0.5, 0, 0.5, -1};
    for (int n = 0; n < 9; ++n)
        EXPECT_EQ(s[n], saw[n]) << n;
    EXPECT_NEAR(phase, kPi / 2, 1e-15);
    double t[3];
    phase = kPi;
    ASSERT_EQ(vpsTriangle_Direct_64f(t, 3, 2.0, 0.125, -kPi, &phase), StatusOk);
    EXPECT_NEAR(t[0], 0.0, 1e-15);
    EXPECT_NEAR(t[1], 0.5, 1e-15);
    EXPECT_NEAR(t[2], 1.0, 1e-15);
}

// Each row fails one check; the checks of magnitude, frequency, asymmetry and phase come
// before the destination's. Nothing is written on failure, the phase included.
TEST(ToneTriangle64f, CheckOrderLeavesSamplesAndPhaseUntouched)
{
    const double nan = std::nan("");
    const double twoPi = 2 * kPi;
    struct Case {
        const char* name;
        bool nullDst, nullPhase;
        int len;
        double magn, f, asym, phase;
        VpsStatus tone, triangle;
    } cases[] = {
        {"null phase first", true, true, 0, 0, 0.5, 9, 0, StatusNullPointer, StatusNullPointer},
        {"magnitude 0 before null dst", true, false, 4, 0, 0.1, 0, 0, StatusToneMagnitude, StatusTriangleMagnitude},
        {"NaN magnitude", false, false, 4, nan, 0.1, 0, 0, StatusToneMagnitude, StatusTriangleMagnitude},
        {"frequency 0.5", true, false, 0, 1, 0.5, 0, 0, StatusToneFrequency, StatusTriangleFrequency},
        {"negative frequency", false, false, 4, 1, -0.1, 0, 0, StatusToneFrequency, StatusTriangleFrequency},
        {"asymmetry pi", true, false, 4, 1, 0.1, kPi, twoPi, StatusTonePhase, StatusTriangleAsymmetry},
        {"asymmetry NaN", false, false, 4, 1, 0.1, nan, 0, StatusOk, StatusTriangleAsymmetry},
        {"phase 2pi", true, false, 4, 1, 0.1, 0, twoPi, StatusTonePhase, StatusTrianglePhase},
        {"negative phase", false, false, 4, 1, 0.1, 0, -0.1, StatusTonePhase, StatusTrianglePhase},
        {"null dst", true, false, 4, 1, 0.1, 0, 1, StatusNullPointer, StatusNullPointer},
        {"len 0", false, false, 0, 1, 0.1, 0, 1, StatusBadSize, StatusBadSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool triangle : {false, true}) {
            double y[4] = {5, 5, 5, 5};
            double phase = c.phase;
            const Wave w {"", c.magn, c.f, c.asym, 0, triangle};
            const VpsStatus st = w.Run(c.nullDst ? nullptr : y, c.len, c.nullPhase ? nullptr : &phase);
            EXPECT_EQ(st, triangle ? c.triangle : c.tone);
            if (st != StatusOk) {
                EXPECT_EQ(y[0], 5.0);
                EXPECT_TRUE(phase == c.phase || (std::isnan(phase) && std::isnan(c.phase)));
            }
        }
    }
}

// The noise definition written out: a subtract-with-borrow sequence (lags 2 and 3,
// modulus 2^32 - 18) plus a congruential one, polar pairs, second value first.
std::vector<double> NoiseByDefinition(int len, double mean, double stdev, std::uint32_t& seed)
{
    std::vector<std::uint32_t> e {0, 0, seed};  // e(-3), e(-2), e(-1)
    e[1] = seed * 69069u + 1013904243u;
    e[0] = e[1] * 69069u + 1013904243u;
    std::uint32_t b = 1, c = 1131199209u;
    auto uniform = [&] {
        std::uint32_t t = e[e.size() - 2] - e[e.size() - 3] - b;
        b = static_cast<std::int32_t>(t) < 0;
        if (b)
            t -= 18;
        e.push_back(t);
        c = c * 69069u + 1013904243u;
        return static_cast<std::int32_t>(t + c) * 4.656612873077e-10;
    };
    double x1, x2, f;
    auto pair = [&] {
        double s;
        do {
            x1 = uniform();
            x2 = uniform();
            s = x1 * x1 + x2 * x2;
        } while (s >= 1.0 || s == 0.0);
        // Logarithm and square root each rounded once to double from extended precision.
        const double ln = static_cast<double>(std::log(static_cast<long double>(s)));
        f = static_cast<double>(std::sqrt(static_cast<long double>(-2.0 * ln / s))) * stdev;
    };
    std::vector<double> y;
    pair();
    while (static_cast<int>(y.size()) + 2 <= len) {
        y.push_back(mean + x2 * f);
        y.push_back(mean + x1 * f);
        pair();
    }
    if (static_cast<int>(y.size()) < len)
        y.push_back(mean + x2 * f);
    seed = e.back();
    return y;
}

TEST(RandGauss64f, BitExactAgainstTheDefinitionWithSeedWrittenBack)
{
    for (int len : {1, 2, 7, 64, 1001}) {
        for (std::uint32_t seed : {0u, 1u, 0xdeadbeefu}) {
            SCOPED_TRACE(testing::Message() << "len " << len << " seed " << seed);
            std::uint32_t ours = seed, theirs = seed;
            std::vector<double> y(static_cast<std::size_t>(len));
            ASSERT_EQ(vpsRandGauss_Direct_64f(y.data(), len, 0.25, 3.0, &ours), StatusOk);
            EXPECT_EQ(y, NoiseByDefinition(len, 0.25, 3.0, theirs));
            EXPECT_EQ(ours, theirs);
        }
    }
    double y[2] = {9, 9};
    Vps32u seed = 5;
    EXPECT_EQ(vpsRandGauss_Direct_64f(nullptr, 2, 0, 1, &seed), StatusNullPointer);
    EXPECT_EQ(vpsRandGauss_Direct_64f(y, 2, 0, 1, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsRandGauss_Direct_64f(y, 0, 0, 1, &seed), StatusBadSize);
    EXPECT_EQ(seed, 5u);
    EXPECT_EQ(y[0], 9.0);
}

TEST(RandGauss64f, MomentsOfALongBlock)
{
    constexpr int n = 100000;
    const double mean = -2.0, stdev = 0.5;
    std::vector<double> y(n);
    Vps32u seed = 12345;
    ASSERT_EQ(vpsRandGauss_Direct_64f(y.data(), n, mean, stdev, &seed), StatusOk);
    long double sum = 0, sq = 0;
    for (double v : y)
        sum += v;
    const long double m = sum / n;
    for (double v : y)
        sq += (v - m) * (v - m);
    const double var = static_cast<double>(sq / (n - 1));
    EXPECT_NEAR(static_cast<double>(m), mean, 4 * stdev / std::sqrt(n));
    EXPECT_NEAR(var, stdev * stdev, 4 * stdev * stdev * std::sqrt(2.0 / n));
}

TEST(VectorRamp64f, OffsetPlusIndexTimesSlope)
{
    double y[4];
    ASSERT_EQ(vpsVectorRamp_64f(y, 4, 1.5f, -0.25f), StatusOk);
    EXPECT_EQ(std::vector<double>(y, y + 4), (std::vector<double> {1.5, 1.25, 1.0, 0.75}));
    // Rounded once from the exact value, not from a rounded product.
    double z[2];
    ASSERT_EQ(vpsVectorRamp_64f(z, 2, 0.1f, 0.1f), StatusOk);
    EXPECT_EQ(z[1], static_cast<double>(static_cast<long double>(0.1f) + static_cast<long double>(0.1f)));
    EXPECT_EQ(vpsVectorRamp_64f(nullptr, 0, 0, 0), StatusNullPointer);
    EXPECT_EQ(vpsVectorRamp_64f(y, -1, 0, 0), StatusBadSize);
}

}  // namespace
}  // namespace dcs
