// The median filter against sorting each clamped window, its table of small cases and
// statuses, and its refusal of lengths it cannot count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/double/MedianFilter.h"

namespace dcs {
namespace {

std::vector<double> NaiveMedian(const std::vector<double>& x, int mask)
{
    const int h = mask % 2 ? mask : mask - 1;
    const int r = (h - 1) / 2, len = static_cast<int>(x.size());
    std::vector<double> y(x.size()), w;
    for (int i = 0; i < len; ++i) {
        w.clear();
        for (int k = i - r; k <= i + r; ++k)
            w.push_back(x[std::clamp(k, 0, len - 1)]);
        std::sort(w.begin(), w.end());
        y[i] = w[r];
    }
    return y;
}

TEST(FilterMedian64f, MatchesSortedClampedWindowsOutOfAndInPlace)
{
    std::mt19937_64 gen(5);
    std::uniform_int_distribution<int> level(-4, 4);  // repeated values test the search
    for (int mask : {3, 5, 7, 9, 31}) {
        for (int len = 1; len <= 50; ++len) {
            SCOPED_TRACE(testing::Message() << "mask " << mask << " len " << len);
            std::vector<double> x(static_cast<std::size_t>(len));
            for (double& v : x)
                v = len % 2 ? level(gen) : std::ldexp(static_cast<double>(gen() >> 11), -53) - 0.5;
            const auto ref = NaiveMedian(x, mask);
            std::vector<double> y(x.size(), -99.0), inPlace = x;
            ASSERT_EQ(vpsFilterMedian_64f(x.data(), y.data(), len, mask), StatusOk);
            EXPECT_EQ(y, ref);
            ASSERT_EQ(vpsFilterMedian_64f(inPlace.data(), inPlace.data(), len, mask), StatusOk);
            EXPECT_EQ(inPlace, ref);
        }
    }
}

TEST(FilterMedian64f, SmallCasesAndStatuses)
{
    struct Case {
        std::vector<double> x;
        int mask;
        std::vector<double> y;
        VpsStatus status;
    } cases[] = {
        {{5, 1, 4, 2, 3}, 1, {5, 1, 4, 2, 3}, StatusOk},
        {{5, 1, 4, 2, 3}, 2, {5, 1, 4, 2, 3}, StatusEvenMedianMask},
        {{1, 9, 2, 8, 3}, 4, {1, 2, 8, 3, 3}, StatusEvenMedianMask},
        {{1, 9, 2, 8, 3}, 3, {1, 2, 8, 3, 3}, StatusOk},
        {{5, 1, 4, 2, 3}, 7, {5, 4, 3, 3, 3}, StatusOk},
        {{5, 1, 4, 2, 3}, 8, {5, 4, 3, 3, 3}, StatusEvenMedianMask},
        {{1, 5, 3}, 101, {1, 3, 3}, StatusOk},
        {{2}, 5, {2}, StatusOk},
        {{2, -1}, 9, {2, -1}, StatusOk},
        {{1, 5, 3, 0, 9}, 200001, {1, 1, 3, 5, 9}, StatusOk},  // the first window sorted once, quickly
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mask " << c.mask << " len " << c.x.size());
        std::vector<double> y(c.x.size());
        EXPECT_EQ(vpsFilterMedian_64f(c.x.data(), y.data(), static_cast<int>(c.x.size()), c.mask), c.status);
        EXPECT_EQ(y, c.y);
    }
    double x[3] = {1, 2, 3}, y[3] = {};
    EXPECT_EQ(vpsFilterMedian_64f(nullptr, y, 3, 3), StatusNullPointer);
    EXPECT_EQ(vpsFilterMedian_64f(x, nullptr, 0, 3), StatusNullPointer);
    EXPECT_EQ(vpsFilterMedian_64f(x, y, 0, 3), StatusBadSize);
    EXPECT_EQ(vpsFilterMedian_64f(x, y, 3, 0), StatusBadSize);
    EXPECT_EQ(dspFilterMedian_64f_I(nullptr, 3, 3), StatusNullPointer);
}

// The byte count of the copy would not fit 32 bits: refused before any sample is read or
// written, with the small arrays standing in for the long signal untouched.
TEST(FilterMedian64f, LengthsOfTwoToThe28OrMoreAreRefusedUntouched)
{
    for (int len : {1 << 28, (1 << 29) + 1, 0x7fffffff}) {
        SCOPED_TRACE(len);
        double src[4] = {4, 3, 2, 1}, dst[4] = {9, 9, 9, 9};
        EXPECT_EQ(vpsFilterMedian_64f(src, dst, len, 5), StatusNoMemory);
        for (double v : dst)
            EXPECT_EQ(v, 9.0);
    }
}

TEST(FilterMedian64f, WorkBlockFailureLeavesTheCopiedInput)
{
    const std::vector<double> x {3, 1, 2, 5, 4, 0, 6, 7};
    std::vector<double> y(x.size());
    DspAllocFailGuard guard(1);
    EXPECT_EQ(vpsFilterMedian_64f(x.data(), y.data(), 8, 7), StatusNoMemory);
    EXPECT_EQ(y, x);
    EXPECT_EQ(vpsFilterMedian_64f(x.data(), y.data(), 8, 5), StatusOk);  // no memory needed
}

}  // namespace
}  // namespace dcs
