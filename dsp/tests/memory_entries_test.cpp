#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "dsp/MemoryEntries.h"

namespace dcs {
namespace {

// Each entry in the (source, destination, length) shape, for the argument checks.
struct CheckedEntry {
    const char* name;
    std::function<VpsStatus(const void* src, void* dst, int len)> call;
    bool hasSource;
};

const std::vector<CheckedEntry>& MemoryEntries()
{
    static const std::vector<CheckedEntry> entries = {
        {"vpsCopy_8u",
         [](const void* s, void* d, int n) {
             return vpsCopy_8u(static_cast<const Vps8u*>(s), static_cast<Vps8u*>(d), n);
         },
         true},
        {"vpsCopy_32f",
         [](const void* s, void* d, int n) {
             return vpsCopy_32f(static_cast<const float*>(s), static_cast<float*>(d), n);
         },
         true},
        {"vpsCopy_64f",
         [](const void* s, void* d, int n) {
             return vpsCopy_64f(static_cast<const double*>(s), static_cast<double*>(d), n);
         },
         true},
        {"vpsMove_64f",
         [](const void* s, void* d, int n) {
             return vpsMove_64f(static_cast<const double*>(s), static_cast<double*>(d), n);
         },
         true},
        {"vpsMove_8u",
         [](const void* s, void* d, int n) {
             return vpsMove_8u(static_cast<const Vps8u*>(s), static_cast<Vps8u*>(d), n);
         },
         true},
        {"vpsSet_8u", [](const void*, void* d, int n) { return vpsSet_8u(7, static_cast<Vps8u*>(d), n); }, false},
        {"vpsSet_32s", [](const void*, void* d, int n) { return vpsSet_32s(7, static_cast<Vps32s*>(d), n); }, false},
        {"vpsSet_32f", [](const void*, void* d, int n) { return vpsSet_32f(7, static_cast<float*>(d), n); }, false},
        {"vpsSet_64f", [](const void*, void* d, int n) { return vpsSet_64f(7, static_cast<double*>(d), n); }, false},
        {"vpsSet_64fc",
         [](const void*, void* d, int n) {
             return vpsSet_64fc({7, 7}, static_cast<Vps64fc*>(d), n);
         },
         false},
        {"vpsZero_8u", [](const void*, void* d, int n) { return vpsZero_8u(static_cast<Vps8u*>(d), n); }, false},
        {"vpsZero_16s", [](const void*, void* d, int n) { return vpsZero_16s(static_cast<Vps16s*>(d), n); }, false},
        {"vpsZero_32s", [](const void*, void* d, int n) { return vpsZero_32s(static_cast<Vps32s*>(d), n); }, false},
        {"vpsZero_32f", [](const void*, void* d, int n) { return vpsZero_32f(static_cast<float*>(d), n); }, false},
        {"vpsZero_64f", [](const void*, void* d, int n) { return vpsZero_64f(static_cast<double*>(d), n); }, false},
        {"vpsZero_64fc", [](const void*, void* d, int n) { return vpsZero_64fc(static_cast<Vps64fc*>(d), n); }, false},
        {"vpiCopy_32s_C1R",
         [](const void* s, void* d, int n) {
             return vpiCopy_32s_C1R(static_cast<const Vps32s*>(s), 64, static_cast<Vps32s*>(d), 64, {n, 1});
         },
         true},
    };
    return entries;
}

TEST(DspMemoryEntries, NullPointersThenLengthAndNothingWrittenOnFailure)
{
    alignas(16) unsigned char src[64];
    alignas(16) unsigned char dst[64];
    std::memset(src, 1, sizeof src);
    for (const CheckedEntry& e : MemoryEntries()) {
        SCOPED_TRACE(e.name);
        std::memset(dst, 0x5A, sizeof dst);
        EXPECT_EQ(e.call(src, nullptr, 1), StatusNullPointer);
        EXPECT_EQ(e.call(src, nullptr, 0), StatusNullPointer);  // pointers are checked first
        if (e.hasSource) {
            EXPECT_EQ(e.call(nullptr, dst, 1), StatusNullPointer);
        }
        EXPECT_EQ(e.call(src, dst, 0), StatusBadSize);
        EXPECT_EQ(e.call(src, dst, -1), StatusBadSize);
        for (unsigned char b : dst)
            ASSERT_EQ(b, 0x5A);
        EXPECT_EQ(e.call(src, dst, 2), StatusOk);
    }
}

TEST(DspMemoryEntries, MovesAreOverlapSafeForEveryOverlap)
{
    Vps8u bytes[4] = {1, 2, 3, 0};
    EXPECT_EQ(vpsMove_8u(bytes, bytes + 1, 3), StatusOk);
    EXPECT_EQ((std::array<Vps8u, 4> {bytes[0], bytes[1], bytes[2], bytes[3]}), (std::array<Vps8u, 4> {1, 1, 2, 3}));
    EXPECT_EQ(vpsMove_8u(bytes + 1, bytes, 3), StatusOk);
    EXPECT_EQ((std::array<Vps8u, 4> {bytes[0], bytes[1], bytes[2], bytes[3]}), (std::array<Vps8u, 4> {1, 2, 3, 3}));

    double v[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(vpsMove_64f(v, v + 1, 4), StatusOk);
    EXPECT_EQ(v[4], 4.0);
    EXPECT_EQ(v[1], 1.0);
    EXPECT_EQ(vpsMove_64f(v + 1, v, 4), StatusOk);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[3], 4.0);

    // Vectors that overlap by less than one element still get the source's old bytes.
    for (int shift : {-7, -4, -1, 1, 4, 7}) {
        SCOPED_TRACE(shift);
        alignas(8) unsigned char buf[64] = {};
        const double values[3] = {1.25, -2.5, 3.75};
        std::memcpy(buf + 16, values, sizeof values);
        unsigned char expect[64];
        std::memcpy(expect, buf, sizeof buf);
        std::memmove(expect + 16 + shift, buf + 16, sizeof values);
        EXPECT_EQ(
            vpsMove_64f(reinterpret_cast<const double*>(buf + 16), reinterpret_cast<double*>(buf + 16 + shift), 3),
            StatusOk);
        EXPECT_EQ(std::memcmp(buf, expect, sizeof buf), 0);
    }
}

TEST(DspMemoryEntries, FillsStoreTheExactBitPattern)
{
    const float nanPayload = [] {
        std::uint32_t bits = 0x7FC01234u;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }();
    float f[3];
    EXPECT_EQ(vpsSet_32f(nanPayload, f, 3), StatusOk);
    EXPECT_EQ(std::memcmp(&f[2], &nanPayload, 4), 0);

    double d[5];
    EXPECT_EQ(vpsSet_64f(-0.0, d, 5), StatusOk);
    EXPECT_TRUE(std::signbit(d[4]));

    Vps64fc c[3];
    EXPECT_EQ(vpsSet_64fc({1.5, -2.0}, c, 3), StatusOk);
    EXPECT_EQ(c[2].re, 1.5);
    EXPECT_EQ(c[2].im, -2.0);

    Vps8u b[7] = {};
    EXPECT_EQ(vpsSet_8u(0xEE, b + 1, 5), StatusOk);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[5], 0xEE);
    EXPECT_EQ(b[6], 0);

    Vps32s s[4] = {1, 2, 3, 4};
    EXPECT_EQ(vpsSet_32s(-9, s, 3), StatusOk);
    EXPECT_EQ(s[2], -9);
    EXPECT_EQ(s[3], 4);
    EXPECT_EQ(vpsZero_32s(s, 2), StatusOk);
    EXPECT_EQ(s[1], 0);
    EXPECT_EQ(s[2], -9);
}

TEST(DspMemoryEntries, ImageCopyWalksRowsByByteStepsEitherWay)
{
    // 3 rows of 4 values, row step 20 bytes (one padding value per row).
    Vps32s src[15];
    for (int i = 0; i < 15; ++i)
        src[i] = i;
    Vps32s dst[15];
    std::fill(std::begin(dst), std::end(dst), -1);
    EXPECT_EQ(vpiCopy_32s_C1R(src, 20, dst, 20, {3, 3}), StatusOk);
    EXPECT_EQ(dst[5], 5);
    EXPECT_EQ(dst[12], 12);
    EXPECT_EQ(dst[3], -1);  // padding untouched
    EXPECT_EQ(dst[4], -1);

    // A negative destination step starting at the last row turns the image upside down.
    std::fill(std::begin(dst), std::end(dst), -1);
    EXPECT_EQ(vpiCopy_32s_C1R(src, 20, dst + 10, -20, {2, 3}), StatusOk);
    EXPECT_EQ(dst[10], 0);
    EXPECT_EQ(dst[5], 5);
    EXPECT_EQ(dst[1], 11);

    EXPECT_EQ(vpiCopy_32s_C1R(src, 20, dst, 20, {0, 3}), StatusBadSize);
    EXPECT_EQ(vpiCopy_32s_C1R(src, 20, dst, 20, {3, -1}), StatusBadSize);
    EXPECT_EQ(vpiCopy_32s_C1R(src, 0, dst, -4, {1, 1}), StatusOk);  // steps are not checked
}

}  // namespace
}  // namespace dcs
