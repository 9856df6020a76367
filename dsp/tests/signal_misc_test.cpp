// The small signal entries: their edge cases as tables, conversions of NaN and halves.
#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <vector>

#include "dsp/FloatEntries.h"
#include "dsp/SignalMiscEntries.h"

namespace dcs {
namespace {

TEST(SignalMisc, ConversionsSaturateRoundHalvesToEvenAndMapNaNToZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float src[] = {-2.5f, 40000.0f, 2.5f, 3.5f, -3.5f, 1.7f, nan, -1e9f, 0.49999997f};
    const Vps16s round16[] = {-2, 32767, 2, 4, -4, 2, 0, -32768, 0};
    const Vps16s trunc16[] = {-2, 32767, 2, 3, -3, 1, 0, -32768, 0};
    const Vps8s round8[] = {-2, 127, 2, 4, -4, 2, 0, -128, 0};
    constexpr int n = 9;
    Vps16s d16[n];
    Vps8s d8[n];
    ASSERT_EQ(vpiConvert_32f16s_C1R(src, sizeof src, d16, sizeof d16, {n, 1}, 1), StatusOk);
    EXPECT_EQ(std::vector<Vps16s>(d16, d16 + n), std::vector<Vps16s>(round16, round16 + n));
    ASSERT_EQ(vpiConvert_32f16s_C1R(src, sizeof src, d16, sizeof d16, {n, 1}, 0), StatusOk);
    EXPECT_EQ(std::vector<Vps16s>(d16, d16 + n), std::vector<Vps16s>(trunc16, trunc16 + n));
    ASSERT_EQ(vpiConvert_32f8s_C1R(src, sizeof src, d8, sizeof d8, {n, 1}, 1), StatusOk);
    EXPECT_EQ(std::vector<Vps8s>(d8, d8 + n), std::vector<Vps8s>(round8, round8 + n));

    // Two rows of two with padded steps; exact conversions back.
    const Vps16s s16[] = {-32768, 5, 99, 7, 32767, 99};
    float f[6] = {};
    ASSERT_EQ(vpiConvert_16s32f_C1R(s16, 6, f, 12, {2, 2}), StatusOk);
    EXPECT_EQ(std::vector<float>(f, f + 6), (std::vector<float> {-32768, 5, 0, 7, 32767, 0}));
    const Vps8s s8[] = {-128, 127};
    ASSERT_EQ(vpiConvert_8s32f_C1R(s8, 2, f, 8, {2, 1}), StatusOk);
    EXPECT_EQ(f[0], -128.0f);
    EXPECT_EQ(f[1], 127.0f);

    EXPECT_EQ(vpiConvert_8s32f_C1R(nullptr, 2, f, 8, {0, 1}), StatusNullPointer);
    EXPECT_EQ(vpiConvert_8s32f_C1R(s8, 2, f, 8, {0, 1}), StatusBadSize);
    EXPECT_EQ(vpiConvert_32f8s_C1R(src, 0, d8, 8, {2, 1}, 1), StatusBadStep);
}

TEST(SignalMisc, ConjCcsMirrorsTheLowerHalf)
{
    const Vps64fc a {1, 2}, b {3, 4}, c {5, 6}, junk {-9, -9};
    struct Row {
        int len;
        std::vector<Vps64fc> in, want;
    };
    const Row rows[] = {
        {4, {a, b, c, junk}, {a, b, c, {3, -4}}},
        {5, {a, b, c, junk, junk}, {a, b, c, {5, -6}, {3, -4}}},
        {1, {a}, {a}},
    };
    for (const Row& r : rows) {
        std::vector<Vps64fc> v = r.in;
        ASSERT_EQ(vpsConjCcs_64fc_I(v.data(), r.len), StatusOk);
        for (int k = 0; k < r.len; ++k) {
            EXPECT_EQ(v[k].re, r.want[k].re) << r.len << ", " << k;
            EXPECT_EQ(v[k].im, r.want[k].im) << r.len << ", " << k;
        }
    }
}

TEST(SignalMisc, SampleDownSumSquareOffsetAndPeriodicity)
{
    float src[10], dst[10];
    for (int i = 0; i < 10; ++i)
        src[i] = static_cast<float>(i);
    int len = -1, phase = 1;
    ASSERT_EQ(vpsSampleDown_32f(src, 10, dst, &len, 3, &phase), StatusOk);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(phase, 0);
    EXPECT_EQ(std::vector<float>(dst, dst + 3), (std::vector<float> {1, 4, 7}));
    phase = 3;
    EXPECT_EQ(vpsSampleDown_32f(src, 10, dst, &len, 3, &phase), StatusBadSamplePhase);
    EXPECT_EQ(vpsSampleDown_32f(src, 10, dst, &len, 0, &phase), StatusBadSampleFactor);
    phase = INT_MAX - 1;  // the step past the end does not wrap
    ASSERT_EQ(vpsSampleDown_32f(src, 10, dst, &len, INT_MAX, &phase), StatusOk);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(phase, INT_MAX - 11);

    float sum = 0;
    ASSERT_EQ(vpsSum_32f(src, 10, &sum, 0), StatusOk);
    EXPECT_EQ(sum, 45.0f);
    float sq[] = {-3, 0.5f};
    ASSERT_EQ(vpsSqr_32f_I(sq, 2), StatusOk);
    EXPECT_EQ(sq[0], 9.0f);
    EXPECT_EQ(sq[1], 0.25f);

    float c[] = {2, 2, 2}, last = 2;
    ASSERT_EQ(vpsCompensateOffset_32f_I(c, 3, &last, 7.0f, 0.0f), StatusOk);
    EXPECT_EQ(std::vector<float>(c, c + 3), (std::vector<float> {0, 0, 0}));
    EXPECT_EQ(last, 2.0f);

    std::vector<float> wave(100);
    for (int i = 0; i < 100; ++i)
        wave[i] = static_cast<float>((i % 10) * (i % 10) - 20);
    float recur = -1;
    int period = -1;
    ASSERT_EQ(vpsPeriodicityLSPE_32f(wave.data(), 100, &recur, &period, 20, 7), StatusOk);
    EXPECT_EQ(period, 10);
    EXPECT_GT(recur, 0.9f);
    EXPECT_EQ(vpsPeriodicityLSPE_32f(wave.data(), 100, &recur, &period, 20, 5), StatusOutOfRange);
    std::vector<float> big(2000);
    EXPECT_EQ(vpsPeriodicityLSPE_32f(big.data(), 2000, &recur, &period, 200, 150), StatusBadPeriod);
}

}  // namespace
}  // namespace dcs
