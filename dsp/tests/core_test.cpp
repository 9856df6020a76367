#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "dsp/DspCore.h"
#include "dsp/KernelsInternal.h"

namespace dcs {
namespace {

constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

TEST(DspSfs, RoundsHalvesToEvenThenSaturates)
{
    const struct {
        std::int64_t r;
        int sf;
        std::int32_t expect;
    } cases[] = {
        {3, 1, 2},
        {5, 1, 2},
        {-5, 1, -2},
        {-3, 1, -2},
        {7, 2, 2},
        {6, 2, 2},
        {10, 2, 2},
        {-6, 2, -2},
        {-10, 2, -2},
        {-11, 2, -3},
        {-9, 2, -2},
        {1, 1, 0},
        {2147483648, 0, 2147483647},
        {-2147483649, 0, -2147483647 - 1},
        {2147483648, 1, 1073741824},
        {1, -30, 1073741824},
        {1, -31, 2147483647},
        {-1, -31, -2147483647 - 1},
        {0, -31, 0},
        {1, -100, 2147483647},
        {-1, -100, -2147483647 - 1},
        {kMax64, 63, 1},
        {kMin64, 63, -1},
        {kMin64, 64, 0},
        {kMax64, 200, 0},
        {std::int64_t {1} << 62, 63, 0},
        {std::int64_t {3} << 61, 63, 1},
        {kMax32 + kMax32, 32, 1},
        {kMin32 + kMin32, 32, -1},
        {kMin32 + kMin32, 33, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sfs<std::int32_t>(c.r, c.sf), c.expect) << c.r << " sf " << c.sf;

    EXPECT_EQ(Sfs<std::uint8_t>(510, 9), 1);
    EXPECT_EQ(Sfs<std::uint8_t>(510, 10), 0);
    EXPECT_EQ(Sfs<std::uint8_t>(-2, 0), 0);
    EXPECT_EQ(Sfs<std::uint8_t>(300, 0), 255);
    EXPECT_EQ(Sfs<std::int16_t>(65535, 1), 32767);  // 32767.5 rounds to 32768, then saturates
    EXPECT_EQ(Sfs<std::int16_t>(-40000, 0), -32768);
}

TEST(DspAlignedBlock, IsAlignedAndKeepsTheRawAddressBeforeIt)
{
    EXPECT_EQ(dspMalloc(0), nullptr);
    EXPECT_EQ(dspMalloc(-1), nullptr);
    EXPECT_EQ(dspMalloc_64f(0), nullptr);
    EXPECT_EQ(dspMalloc_64fc(-5), nullptr);
    EXPECT_EQ(dspMalloc_32s(0), nullptr);
    EXPECT_EQ(dspMalloc_16s(INT64_MAX), nullptr);  // the byte count would wrap
    dspFree(nullptr);
    for (int n : {1, 7, 31, 32, 33, 1000, 4096}) {
        char* p = static_cast<char*>(dspMalloc(n));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 32, 0u) << n;
        void* raw;
        std::memcpy(&raw, p - sizeof(void*), sizeof raw);
        const std::ptrdiff_t offset = p - static_cast<char*>(raw);
        EXPECT_GE(offset, static_cast<std::ptrdiff_t>(sizeof(void*)));
        EXPECT_LE(offset, static_cast<std::ptrdiff_t>(kAlignedBlockOverhead));
        std::memset(p, 0xAB, static_cast<std::size_t>(n));  // every usable byte is ours
        dspFree(p);
    }
    double* d = dspMalloc_64f(3);
    ASSERT_NE(d, nullptr);
    d[0] = d[1] = d[2] = 1.0;
    dspFree(d);
}

TEST(DspAlignedBlock, ElementCountsAreNotWrappedIntoSmallBlocks)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer allocators refuse multi-gigabyte requests noisily";
#else
    // 8 * 0x20000001 is 8 in 32-bit arithmetic; the block must be 4 GiB + 8 or nothing.
    const int n = 0x20000001;
    double* p = dspMalloc_64f(n);
    if (p) {
        p[n - 1] = 1.0;  // touches one page at the far end
        EXPECT_EQ(p[n - 1], 1.0);
        dspFree(p);
    }
#endif
}

TEST(DspMath, HelpersThroughInt32AndExtendedPrecision)
{
    EXPECT_EQ(dspFloor(-1.5), -2.0);
    EXPECT_EQ(dspCeil(-1.5), -1.0);
    EXPECT_EQ(dspFloor(2.0), 2.0);
    EXPECT_EQ(dspCeil(1e-300), 1.0);
    EXPECT_EQ(dspFloor(3e9), 2147483647.0);
    EXPECT_EQ(dspCeil(-3e9), -2147483648.0);
    EXPECT_EQ(dspFloor(std::nan("")), 0.0);

    const double pi = std::acos(-1.0);
    EXPECT_EQ(dspAtan2(0.0, -1.0), pi);
    EXPECT_EQ(dspAtan2(-0.0, -1.0), -pi);
    EXPECT_TRUE(std::signbit(dspAtan2(-0.0, 1.0)));
    EXPECT_EQ(dspLn(0.0), -HUGE_VAL);
    EXPECT_EQ(dspSqrt(4.0), 2.0);
    EXPECT_EQ(dspExp(0.0), 1.0);
    EXPECT_NEAR(dspSin(pi / 6), 0.5, 1e-15);
    EXPECT_NEAR(dspCos(pi / 3), 0.5, 1e-15);

    // 1e16 + 1 is exact in extended precision, not in double.
    const double a[] = {1e16, 1.0, -1e16};
    const double b[] = {1.0, 1.0, 1.0};
    double dp = -7;
    dspDotKernel_64f(a, b, 3, &dp);
    EXPECT_EQ(dp, 1.0);
}

TEST(DspBlockHelpers, ComplexCopyAndConjugate)
{
    Vps64fc src[2] = {{1.0, 2.0}, {-3.0, -0.0}};
    Vps64fc dst[2] = {};
    EXPECT_EQ(dspCopy_64fc(src, dst, 2), StatusOk);
    EXPECT_EQ(dst[1].re, -3.0);
    EXPECT_EQ(dspConj_64fc(src, dst, 2), StatusOk);
    EXPECT_EQ(dst[0].im, -2.0);
    EXPECT_FALSE(std::signbit(dst[1].im));
    EXPECT_EQ(dspConj_64fc(src, src, 2), StatusOk);  // in place through the two-pointer form
    EXPECT_EQ(src[0].im, -2.0);
    EXPECT_EQ(dspConj_64fc_I(src, 1), StatusOk);
    EXPECT_EQ(src[0].im, 2.0);

    Vps64fc keep[1] = {{5.0, 5.0}};
    EXPECT_EQ(dspCopy_64fc(nullptr, keep, 0), StatusNullPointer);  // pointers before length
    EXPECT_EQ(dspConj_64fc(src, keep, 0), StatusBadSize);
    EXPECT_EQ(dspConj_64fc_I(keep, -1), StatusBadSize);
    EXPECT_EQ(dspConj_64fc_I(nullptr, 1), StatusNullPointer);
    EXPECT_EQ(keep[0].im, 5.0);

    float f[2] = {1.5f, -2.5f}, g[2] = {};
    EXPECT_EQ(dspCopy_32f(f, g, 2), StatusOk);
    EXPECT_EQ(g[1], -2.5f);
    EXPECT_EQ(dspZero_32f(g, 2), StatusOk);
    EXPECT_EQ(g[1], 0.0f);
    EXPECT_EQ(dspZero_32f(g, 0), StatusBadSize);
    EXPECT_EQ(dspCopy_32f(f, nullptr, 1), StatusNullPointer);
}

TEST(DspDirectDivide, TruncatesAndSaturatesTheOneOverflowingQuotient)
{
    Vps32s data[] = {7, -7, 2147483647, -2147483647 - 1, 0};
    dspDivC_32s_I(-1, data, 5);
    EXPECT_EQ(data[0], -7);
    EXPECT_EQ(data[3], 2147483647);  // would trap as a plain division
    Vps32s src[] = {7, -7, -2147483647 - 1}, dst[3];
    dspDivC_32s(src, 2, dst, 3);
    EXPECT_EQ(dst[0], 3);
    EXPECT_EQ(dst[1], -3);
    EXPECT_EQ(dst[2], -1073741824);
    dspDivC_32s(src, -1, dst, 3);
    EXPECT_EQ(dst[2], 2147483647);
    dspDivC_32s_I(2, data, 0);  // nothing to do
}

}  // namespace
}  // namespace dcs

TEST(DspAllocFailGuard, RefusesTheChosenCallAndLargeBlocksThenRestores)
{
    {
        dcs::DspAllocFailGuard guard(2);
        void* first = dcs::dspMalloc(16);
        void* second = dcs::dspMalloc(16);
        void* third = dcs::dspMalloc(16);
        EXPECT_NE(first, nullptr);
        EXPECT_EQ(second, nullptr);
        EXPECT_NE(third, nullptr);
        EXPECT_EQ(guard.Calls(), 3);
        dcs::dspFree(first);
        dcs::dspFree(third);
    }
    {
        dcs::DspAllocFailGuard guard(0, 1024);
        EXPECT_EQ(dcs::dspMalloc(4096), nullptr);
        void* small = dcs::dspMalloc(64);
        EXPECT_NE(small, nullptr);
        dcs::dspFree(small);
    }
    void* after = dcs::dspMalloc(1 << 20);
    EXPECT_NE(after, nullptr);
    dcs::dspFree(after);
}
