#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "dsp/RampEntries.h"
#include "dsp/SignalGenerationEntries.h"
#include "dsp/tests/noise_definition.h"

namespace dcs {
namespace {

constexpr long double kTwoPiL = 6.283185307179586476925286766559L;
constexpr double kTwoPi = 6.283185307179586;
constexpr Vps16s kSentinel = 0x5A5A;

// M cos(phi + 2 pi f n), truncated toward zero, from long double arithmetic only.
long double ToneReference(int magn, float freq, float phase, long long n)
{
    return magn * std::cos(static_cast<long double>(phase) + kTwoPiL * static_cast<long double>(freq) * n);
}

// Angular distance, so that a phase just below 2pi and 0 count as close.
double AngleDistance(double a, double b)
{
    const double d = std::fabs(std::fmod(a - b, kTwoPi));
    return std::min(d, kTwoPi - d);
}

void ExpectToneMatches(const std::vector<Vps16s>& out, int magn, float freq, float phase, long long first)
{
    for (std::size_t i = 0; i < out.size(); ++i) {
        const long double exact = ToneReference(magn, freq, phase, first + static_cast<long long>(i));
        ASSERT_LE(std::fabs(static_cast<long double>(out[i]) - std::trunc(exact)), 1.0L)
            << "sample " << first + static_cast<long long>(i) << " exact " << static_cast<double>(exact);
    }
}

TEST(ToneDirect16s, MatchesTheCosineWithinOneStepForFrequenciesPhasesAndLengths)
{
    const float freqs[] = {0.0f, 1e-4f, 440.0f / 22050.0f, 0.1f, 0.125f, 0.25f, 0.3333f, 0.4999f};
    const float phases[] = {0.0f, 1.0f, 3.1415925f, 6.28f};
    const int lengths[] = {1, 2, 3, 4, 5, 15, 16, 17, 23, 24, 1024, 4099};
    for (int magn : {1000, 32767}) {
        for (float f : freqs) {
            for (float phi : phases) {
                for (int len : lengths) {
                    SCOPED_TRACE(testing::Message()
                                 << "magn " << magn << " f " << f << " phase " << phi << " len " << len);
                    std::vector<Vps16s> out(len + 1, kSentinel);
                    float phase = phi;
                    ASSERT_EQ(vpsTone_Direct_16s(out.data(), len, static_cast<Vps16s>(magn), f, &phase, 0), StatusOk);
                    EXPECT_EQ(out[len], kSentinel) << "wrote past the end";
                    out.resize(len);
                    ExpectToneMatches(out, magn, f, phi, 0);
                    const long double next = std::fmod(phi + kTwoPiL * f * len, kTwoPiL);
                    EXPECT_GE(phase, 0.0f);
                    EXPECT_LT(static_cast<double>(phase), kTwoPi);
                    EXPECT_LT(AngleDistance(phase, static_cast<double>(next)), 2e-6);
                }
            }
        }
    }
}

TEST(ToneDirect16s, ConsecutiveCallsContinueOneCosine)
{
    const float f = 1000.0f / 22050.0f;
    float phase = 0.5f;
    const int chunks[] = {1024, 1, 7, 1024, 3, 1000, 16, 17};
    long long n = 0;
    for (int len : chunks) {
        SCOPED_TRACE(n);
        std::vector<Vps16s> out(len);
        ASSERT_EQ(vpsTone_Direct_16s(out.data(), len, 30000, f, &phase, 0), StatusOk);
        ExpectToneMatches(out, 30000, f, 0.5f, n);
        n += len;
    }
}

TEST(ToneDirect16s, QuarterRateAndZeroFrequency)
{
    std::vector<Vps16s> out(9);
    float phase = 0.0f;
    ASSERT_EQ(vpsTone_Direct_16s(out.data(), 9, 1000, 0.25f, &phase, 0), StatusOk);
    EXPECT_EQ(out, (std::vector<Vps16s> {1000, 0, -1000, 0, 1000, 0, -1000, 0, 1000}));
    EXPECT_NEAR(phase, std::fmod(kTwoPi * 0.25 * 9, kTwoPi), 1e-6);

    phase = 2.0f;
    ASSERT_EQ(vpsTone_Direct_16s(out.data(), 9, 1000, 0.0f, &phase, 0), StatusOk);
    for (Vps16s s : out)
        EXPECT_EQ(s, static_cast<Vps16s>(1000 * std::cos(2.0f)));
    EXPECT_EQ(phase, 2.0f);
}

// A phase that reaches 2pi only once stored as a float used to be refused by the next
// call, and the generator calling it zeroed every later buffer.
TEST(ToneDirect16s, APhaseRoundingUpToTwoPiIsStoredAsZero)
{
    const double reached = 3.32f + kTwoPi * 0.4716056f;
    ASSERT_LT(reached, kTwoPi);
    ASSERT_GE(static_cast<double>(static_cast<float>(reached)), kTwoPi);  // the trap

    Vps16s sample = 0;
    float phase = 3.32f;
    ASSERT_EQ(vpsTone_Direct_16s(&sample, 1, 20000, 0.4716056f, &phase, 0), StatusOk);
    EXPECT_EQ(phase, 0.0f);
    std::vector<Vps16s> next(64);
    EXPECT_EQ(vpsTone_Direct_16s(next.data(), 64, 20000, 0.4716056f, &phase, 0), StatusOk);
    EXPECT_EQ(next[0], 20000);

    phase = 3.32f;
    ASSERT_EQ(vpsTriangle_Direct_16s(&sample, 1, 20000, 0.4716056f, 0.0f, &phase), StatusOk);
    EXPECT_EQ(phase, 0.0f);
    EXPECT_EQ(vpsTriangle_Direct_16s(next.data(), 64, 20000, 0.4716056f, 0.0f, &phase), StatusOk);
}

struct GeneratorRefusal {
    const char* what;
    bool nullDst;
    bool nullPhase;
    int len;
    int magn;
    float freq;
    float phase;
    float asym;
    VpsStatus tone;
    VpsStatus triangle;
};

TEST(SignalGenerators, RefuseBadArgumentsInOrderWithoutWriting)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const GeneratorRefusal cases[] = {
        {"null phase first", true, true, 0, 0, 0.7f, 9.0f, 0.0f, StatusNullPointer, StatusNullPointer},
        {"magnitude 0", false, false, 8, 0, 0.1f, 0.0f, 0.0f, StatusToneMagnitude, StatusTriangleMagnitude},
        {"negative magnitude before frequency", false, false, 8, -5, 0.5f, 0.0f, 0.0f, StatusToneMagnitude,
         StatusTriangleMagnitude},
        {"frequency 0.5", false, false, 8, 100, 0.5f, 0.0f, 0.0f, StatusToneFrequency, StatusTriangleFrequency},
        {"negative frequency", false, false, 8, 100, -0.01f, 0.0f, 0.0f, StatusToneFrequency, StatusTriangleFrequency},
        {"NaN frequency", false, false, 8, 100, nan, 0.0f, 0.0f, StatusToneFrequency, StatusTriangleFrequency},
        {"asymmetry = float pi", false, false, 8, 100, 0.1f, 0.0f, 3.1415927f, StatusOk, StatusTriangleAsymmetry},
        {"asymmetry = float -pi (below -pi)", false, false, 8, 100, 0.1f, 0.0f, -3.1415927f, StatusOk,
         StatusTriangleAsymmetry},
        {"NaN asymmetry", false, false, 8, 100, 0.1f, 0.0f, nan, StatusOk, StatusTriangleAsymmetry},
        {"negative phase", false, false, 8, 100, 0.1f, -0.001f, 0.0f, StatusTonePhase, StatusTrianglePhase},
        {"phase = float 2pi", false, false, 8, 100, 0.1f, 6.2831855f, 0.0f, StatusTonePhase, StatusTrianglePhase},
        {"NaN phase", false, false, 8, 100, 0.1f, nan, 0.0f, StatusTonePhase, StatusTrianglePhase},
        {"null destination after the values", true, false, 8, 100, 0.1f, 0.0f, 0.0f, StatusNullPointer,
         StatusNullPointer},
        {"length 0", false, false, 0, 100, 0.1f, 0.0f, 0.0f, StatusBadSize, StatusBadSize},
        {"negative length", false, false, -3, 100, 0.1f, 0.0f, 0.0f, StatusBadSize, StatusBadSize},
    };
    for (const GeneratorRefusal& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Vps16s> buffer(8, kSentinel);
        Vps16s* dst = c.nullDst ? nullptr : buffer.data();
        float phase = c.phase;
        float* pPhase = c.nullPhase ? nullptr : &phase;
        EXPECT_EQ(vpsTone_Direct_16s(dst, c.len, static_cast<Vps16s>(c.magn), c.freq, pPhase, 0), c.tone);
        if (c.tone != StatusOk) {
            EXPECT_EQ(buffer, std::vector<Vps16s>(8, kSentinel));
            EXPECT_TRUE(phase == c.phase || (std::isnan(phase) && std::isnan(c.phase)));
        }
        phase = c.phase;
        buffer.assign(8, kSentinel);
        EXPECT_EQ(vpsTriangle_Direct_16s(dst, c.len, static_cast<Vps16s>(c.magn), c.freq, c.asym, pPhase), c.triangle);
        if (c.triangle != StatusOk) {
            EXPECT_EQ(buffer, std::vector<Vps16s>(8, kSentinel));
            EXPECT_TRUE(phase == c.phase || (std::isnan(phase) && std::isnan(c.phase)));
        }
    }
}

TEST(SignalGenerators, ShortLengthsWriteExactlyThatMany)
{
    for (int len : {1, 2, 3}) {
        std::vector<Vps16s> out(4, kSentinel);
        float phase = 0.0f;
        ASSERT_EQ(vpsTone_Direct_16s(out.data(), len, 1000, 0.1f, &phase, 0), StatusOk);
        EXPECT_EQ(out[len], kSentinel);
        EXPECT_EQ(out[0], 1000);
        out.assign(4, kSentinel);
        phase = 0.0f;
        ASSERT_EQ(vpsTriangle_Direct_16s(out.data(), len, 1000, 0.1f, 0.0f, &phase), StatusOk);
        EXPECT_EQ(out[len], kSentinel);
        EXPECT_EQ(out[0], 1000);
    }
}

struct TriangleCase {
    const char* what;
    int magn;
    float freq;
    float asym;
    float phase;
    std::vector<int> expected;  // ideal values; the walk may land one step off an exact integer
};

TEST(TriangleDirect16s, WalksFoldsAndAsymmetryByHand)
{
    const TriangleCase cases[] = {
        {"symmetric, eight samples a period",
         1000,
         0.125f,
         0.0f,
         0.0f,
         {1000, 500, 0, -500, -1000, -500, 0, 500, 1000, 500, 0}},
        // Falls over three quarters of the period, rises over one quarter.
        {"asymmetry pi/2",
         3000,
         0.0625f,
         1.5707964f,
         0.0f,
         {3000, 2500, 2000, 1500, 1000, 500, 0, -500, -1000, -1500, -2000, -2500, -3000, -1500, 0, 1500, 3000, 2500}},
        // Falls over one quarter, rises over three: phase pi/4 is half way down.
        {"asymmetry -pi/2 from phase pi/4",
         3000,
         0.0625f,
         -1.5707964f,
         0.7853982f,
         {0, -1500, -3000, -2500, -2000, -1500, -1000, -500, 0, 500, 1000, 1500, 2000, 2500, 3000, 1500}},
        // Starts on the rising half: M (2 (phi - pi) / pi - 1).
        {"start on the rising half", 1000, 0.0f, 0.0f, 5.0f, {183, 183, 183}},
        // Overshoot beyond the fold: steps of 1600 on M 1000 reflect at the turning points.
        {"reflection at the turning points", 1000, 0.4f, 0.0f, 0.0f, {1000, -600, 200, 200, -600, 1000}},
    };
    for (const TriangleCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int len = static_cast<int>(c.expected.size());
        std::vector<Vps16s> out(len);
        float phase = c.phase;
        ASSERT_EQ(vpsTriangle_Direct_16s(out.data(), len, static_cast<Vps16s>(c.magn), c.freq, c.asym, &phase),
                  StatusOk);
        for (int i = 0; i < len; ++i)
            EXPECT_NEAR(out[i], c.expected[i], 1) << "sample " << i;
        const double next = std::fmod(c.phase + kTwoPi * c.freq * len, kTwoPi);
        EXPECT_LT(AngleDistance(phase, next), 2e-6);
    }
}

// The signal generator's square wave: a falling and a rising saw-tooth (asymmetry just
// inside +-pi, so each turning point is a jump of 2M), half a period apart, added with
// saturation and clipped to the amplitude.
TEST(TriangleDirect16s, NearlyFullAsymmetryGivesSawTeethThatSumToASquare)
{
    const float nearPi = static_cast<float>(3.141592621);
    const float f = 1000.0f / 44100.0f;
    const int n = 1024;
    std::vector<Vps16s> square(n);
    std::vector<Vps16s> rising(n);
    float phase = 0.0f;
    float phase1 = nearPi;
    ASSERT_EQ(vpsTriangle_Direct_16s(square.data(), n, 32767, f, nearPi, &phase), StatusOk);
    ASSERT_EQ(vpsTriangle_Direct_16s(rising.data(), n, 32767, f, -nearPi, &phase1), StatusOk);
    for (int i = 1; i < n; ++i) {
        // Straight ramps between the jumps, at 2M/44.1 per sample.
        EXPECT_NEAR(square[i] - square[i - 1] + (square[i] > square[i - 1] ? -65534 : 0), -1486, 2) << i;
        EXPECT_NEAR(rising[i] - rising[i - 1] + (rising[i] < rising[i - 1] ? 65534 : 0), 1486, 2) << i;
    }
    ASSERT_EQ(vpsAdd_16s_I(rising.data(), square.data(), n), StatusOk);
    ASSERT_EQ(vpsThreshold_LTValGTVal_16s_I(square.data(), n, -1000, -1000, 1000, 1000), StatusOk);
    std::vector<int> runs {1};
    for (int i = 1; i < n; ++i) {
        ASSERT_TRUE(square[i] == 1000 || square[i] == -1000) << i << ": " << square[i];
        if (square[i] == square[i - 1])
            ++runs.back();
        else
            runs.push_back(1);
    }
    EXPECT_EQ(square[0], 1000);
    for (std::size_t r = 1; r + 1 < runs.size(); ++r)
        EXPECT_NEAR(runs[r], 22, 1) << "run " << r;
}

TEST(VectorRamp16s, RoundsHalfAwayFromZeroAndSaturates)
{
    struct Case {
        float offset;
        float slope;
        std::vector<Vps16s> expected;
    };
    const Case cases[] = {
        {-0.5f, 0.0f, {-1, -1, -1}},
        {0.0f, 0.0f, {0, 0}},
        {0.5f, 1.0f, {1, 2, 3, 4}},
        {-1.5f, 1.0f, {-2, -1, 1, 2}},
        {2.4f, -2.5f, {2, 0, -3, -5}},
        {40000.0f, 0.0f, {32767}},
        {-40000.0f, 0.0f, {-32768}},
        {32760.0f, 4.0f, {32760, 32764, 32767, 32767}},
        {std::numeric_limits<float>::quiet_NaN(), 1.0f, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << " + i*" << c.slope);
        std::vector<Vps16s> out(c.expected.size());
        ASSERT_EQ(vpsVectorRamp_16s(out.data(), static_cast<int>(out.size()), c.offset, c.slope), StatusOk);
        EXPECT_EQ(out, c.expected);
    }
    EXPECT_EQ(vpsVectorRamp_16s(nullptr, 4, 0.0f, 1.0f), StatusNullPointer);
    Vps16s one = kSentinel;
    EXPECT_EQ(vpsVectorRamp_16s(&one, 0, 0.0f, 1.0f), StatusBadSize);
    EXPECT_EQ(one, kSentinel);
}

TEST(ThresholdLTValGTVal16s, ReplacesBelowAndAboveAndChecksLevels)
{
    std::vector<Vps16s> data {-32768, -11, -10, 0, 10, 11, 32767};
    ASSERT_EQ(vpsThreshold_LTValGTVal_16s_I(data.data(), 7, -10, -100, 10, 100), StatusOk);
    EXPECT_EQ(data, (std::vector<Vps16s> {-100, -100, -10, 0, 10, 100, 100}));

    data = {4, 5, 6};
    ASSERT_EQ(vpsThreshold_LTValGTVal_16s_I(data.data(), 3, 5, -1, 5, 1), StatusOk);  // equal levels
    EXPECT_EQ(data, (std::vector<Vps16s> {-1, 5, 1}));

    data = {4, 5, 6};
    EXPECT_EQ(vpsThreshold_LTValGTVal_16s_I(data.data(), 3, 6, 0, 5, 0), StatusThresholdLevels);
    EXPECT_EQ(data, (std::vector<Vps16s> {4, 5, 6}));
    EXPECT_EQ(vpsThreshold_LTValGTVal_16s_I(nullptr, 3, 6, 0, 5, 0), StatusNullPointer);
    EXPECT_EQ(vpsThreshold_LTValGTVal_16s_I(data.data(), 0, 6, 0, 5, 0), StatusBadSize);
}

TEST(Add16sI, SaturatesTheSum)
{
    const std::vector<Vps16s> src {30000, -30000, 1, -32768, 32767, -1};
    std::vector<Vps16s> dst {10000, -10000, -1, 32767, 32767, -32768};
    ASSERT_EQ(vpsAdd_16s_I(src.data(), dst.data(), 6), StatusOk);
    EXPECT_EQ(dst, (std::vector<Vps16s> {32767, -32768, 0, -1, 32767, -32768}));
    EXPECT_EQ(vpsAdd_16s_I(nullptr, dst.data(), 6), StatusNullPointer);
    EXPECT_EQ(vpsAdd_16s_I(src.data(), nullptr, 6), StatusNullPointer);
    EXPECT_EQ(vpsAdd_16s_I(src.data(), dst.data(), 0), StatusBadSize);
}

TEST(RandUniformDirect16s, FollowsTheGeneratorDefinition)
{
    const std::uint32_t seed = 12345;
    NoiseDefinition def(seed);
    std::vector<Vps16s> expected;
    for (int j = 0; j < 64; ++j) {
        const std::uint32_t swb = def.Swb();
        const auto r = static_cast<std::int32_t>(swb + def.Lcg());
        expected.push_back(static_cast<Vps16s>(std::trunc((-1000.0 + 3000.0) * 0.5 + 4000.0 * 0x1p-32 * r)));
    }
    std::vector<Vps16s> out(64);
    std::uint32_t s = seed;
    ASSERT_EQ(vpsRandUniform_Direct_16s(out.data(), 64, -1000, 3000, &s), StatusOk);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(s, def.u.back());
    for (Vps16s v : out) {
        EXPECT_GE(v, -1000);
        EXPECT_LT(v, 3000);
    }

    s = 7;
    ASSERT_EQ(vpsRandUniform_Direct_16s(out.data(), 64, 42, 42, &s), StatusOk);
    EXPECT_EQ(out, std::vector<Vps16s>(64, 42));
    EXPECT_NE(s, 7u);

    EXPECT_EQ(vpsRandUniform_Direct_16s(out.data(), 4, 0, 1, nullptr), StatusNullPointer);
    s = 7;
    EXPECT_EQ(vpsRandUniform_Direct_16s(out.data(), 0, 0, 1, &s), StatusBadSize);
    EXPECT_EQ(s, 7u);
}

TEST(RandGaussDirect16s, FollowsThePolarMethodOverTheSameGenerator)
{
    const std::uint32_t seed = 2024;
    const int len = 9;  // four pairs and a single: five accepted candidates
    NoiseDefinition def(seed);
    std::vector<Vps16s> expected;
    auto candidate = [&](double& u, double& v) {
        for (;;) {
            const std::uint32_t xa = def.Swb();
            const std::uint32_t xb = def.Swb();
            const std::uint32_t ga = def.Lcg();
            const std::uint32_t gb = def.Lcg();
            u = static_cast<std::int32_t>(xa + ga) / 2147483648.0;
            v = static_cast<std::int32_t>(xb + gb) / 2147483648.0;
            const double s = u * u + v * v;
            if (s < 1.0 && s != 0.0)
                return 1000.0 * std::sqrt(-2.0 * std::log(s) / s);
        }
    };
    auto clampTrunc = [](double x) { return static_cast<Vps16s>(std::clamp(std::trunc(x), -32768.0, 32767.0)); };
    double u = 0, v = 0;
    double k = candidate(u, v);
    while (static_cast<int>(expected.size()) + 2 <= len) {
        expected.push_back(clampTrunc(100 + k * v));
        expected.push_back(clampTrunc(100 + k * u));
        k = candidate(u, v);
    }
    expected.push_back(clampTrunc(100 + k * v));

    std::vector<Vps16s> out(len);
    std::uint32_t s = seed;
    ASSERT_EQ(vpsRandGauss_Direct_16s(out.data(), len, 100, 1000, &s), StatusOk);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(s, def.u.back());

    // A huge deviation saturates instead of wrapping.
    s = seed;
    ASSERT_EQ(vpsRandGauss_Direct_16s(out.data(), len, 32767, 32767, &s), StatusOk);
    EXPECT_GT(std::count(out.begin(), out.end(), Vps16s {32767}), 0);
    EXPECT_EQ(vpsRandGauss_Direct_16s(out.data(), 0, 0, 1, &s), StatusBadSize);
}

}  // namespace
}  // namespace dcs
