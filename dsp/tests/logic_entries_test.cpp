#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "dsp/LogicEntries.h"

namespace dcs {
namespace {

constexpr Vps32s kMin = -2147483647 - 1;

TEST(DspLogicEntries, ShiftsDefineLargeCountsAndRefuseNegativeOnes)
{
    std::array<Vps32s, 2> d {-7, 7};
    EXPECT_EQ(vpsRShiftC_32s_I(40, d.data(), 2), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {-1, 0}));

    d = {-7, 7};
    EXPECT_EQ(vpsRShiftC_32s_I(-1, d.data(), 2), StatusBadShift);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {-7, 7}));
    EXPECT_EQ(vpsRShiftC_32s_I(1, d.data(), 2), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {-4, 3}));  // arithmetic: rounds toward minus infinity

    d = {1, -1};
    EXPECT_EQ(vpsLShiftC_32s_I(31, d.data(), 2), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {kMin, kMin}));
    d = {kMin, -3};
    EXPECT_EQ(vpsLShiftC_32s_I(1, d.data(), 2), StatusOk);  // bits out of the top are lost
    EXPECT_EQ(d, (std::array<Vps32s, 2> {0, -6}));
    EXPECT_EQ(vpsLShiftC_32s_I(32, d.data(), 2), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {0, 0}));
    d = {5, 5};
    EXPECT_EQ(vpsLShiftC_32s_I(-2, d.data(), 2), StatusBadShift);
    EXPECT_EQ(vpsLShiftC_32s_I(-2, d.data(), 0), StatusBadSize);  // length before the count
    EXPECT_EQ(vpsLShiftC_32s_I(-2, nullptr, 1), StatusNullPointer);
    EXPECT_EQ(d, (std::array<Vps32s, 2> {5, 5}));

    const Vps32s src[3] = {3, -3, kMin};
    Vps32s out[3] = {9, 9, 9};
    EXPECT_EQ(vpsLShiftC_32s(src, 2, out, 3), StatusOk);
    EXPECT_EQ(out[1], -12);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(vpsRShiftC_32s(src, 100, out, 3), StatusOk);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], -1);
    EXPECT_EQ(out[2], -1);
    EXPECT_EQ(vpsLShiftC_32s(src, 33, out, 3), StatusOk);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(vpsLShiftC_32s(nullptr, 33, out, 3), StatusNullPointer);
    EXPECT_EQ(vpsLShiftC_32s(src, -1, out, 0), StatusBadSize);
    EXPECT_EQ(vpsLShiftC_32s(src, -1, out, 3), StatusBadShift);
    EXPECT_EQ(vpsRShiftC_32s(src, -1, out, 3), StatusBadShift);
    EXPECT_EQ(vpsRShiftC_32s(nullptr, 0, out, 3), StatusNullPointer);  // count 0 is a copy
    EXPECT_EQ(vpsRShiftC_32s(src, 0, out, 3), StatusOk);
    EXPECT_EQ(out[2], kMin);
}

TEST(DspLogicEntries, ConstantsOfZeroTakeTheCopyOrClearPath)
{
    std::array<Vps32u, 2> d {0xF0F0F0F0u, 0x12345678u};
    EXPECT_EQ(vpsOrC_32u_I(0, d.data(), 2), StatusOk);
    EXPECT_EQ(d[1], 0x12345678u);
    EXPECT_EQ(vpsOrC_32u_I(0, nullptr, 2), StatusNullPointer);
    EXPECT_EQ(vpsXorC_32u_I(0, d.data(), 0), StatusBadSize);
    EXPECT_EQ(vpsXorC_32u_I(0xFFFFFFFFu, d.data(), 2), StatusOk);
    EXPECT_EQ(d[0], 0x0F0F0F0Fu);
    EXPECT_EQ(vpsOrC_32u_I(0xF0000000u, d.data(), 1), StatusOk);
    EXPECT_EQ(d[0], 0xFF0F0F0Fu);
    EXPECT_EQ(vpsAndC_32u_I(0x0000FFFFu, d.data(), 1), StatusOk);
    EXPECT_EQ(d[0], 0x00000F0Fu);
    EXPECT_EQ(vpsAndC_32u_I(0, d.data(), 2), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32u, 2> {0, 0}));

    const Vps32u src[2] = {0xA5A5A5A5u, 1};
    Vps32u out[2] = {7, 7};
    EXPECT_EQ(vpsOrC_32u(nullptr, 0, out, 2), StatusNullPointer);
    EXPECT_EQ(vpsXorC_32u(src, 0, out, 2), StatusOk);
    EXPECT_EQ(out[0], 0xA5A5A5A5u);
    EXPECT_EQ(vpsXorC_32u(src, 0xFFu, out, 2), StatusOk);
    EXPECT_EQ(out[1], 0xFEu);
    EXPECT_EQ(vpsAndC_32u(src, 0, out, 2), StatusOk);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(vpsAndC_32u(nullptr, 0, out, 2), StatusNullPointer);
    EXPECT_EQ(vpsAndC_32u(src, 0xF0u, out, 2), StatusOk);
    EXPECT_EQ(out[0], 0xA0u);
    EXPECT_EQ(vpsOrC_32u(src, 2, out, 2), StatusOk);
    EXPECT_EQ(out[1], 3u);

    Vps32u acc[2] = {0xFF00FF00u, 0x0F};
    EXPECT_EQ(vpsAnd_32u_I(src, acc, 2), StatusOk);
    EXPECT_EQ(acc[0], 0xA500A500u);
    EXPECT_EQ(vpsOr_32u_I(src, acc, 2), StatusOk);
    EXPECT_EQ(acc[0], 0xA5A5A5A5u);
    EXPECT_EQ(vpsXor_32u_I(src, acc, 2), StatusOk);
    EXPECT_EQ(acc[0], 0u);
    EXPECT_EQ(vpsXor_32u_I(nullptr, acc, 2), StatusNullPointer);
    EXPECT_EQ(vpsAnd_32u_I(src, acc, -1), StatusBadSize);
}

TEST(DspLogicEntries, ThresholdsAndByteSwaps)
{
    std::array<Vps32s, 4> d {-5, 0, 5, 10};
    EXPECT_EQ(vpsThreshold_LT_32s_I(d.data(), 4, 0), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 4> {0, 0, 5, 10}));
    EXPECT_EQ(vpsThreshold_GT_32s_I(d.data(), 4, 5), StatusOk);
    EXPECT_EQ(d, (std::array<Vps32s, 4> {0, 0, 5, 5}));
    EXPECT_EQ(vpsThreshold_GT_32s_I(d.data(), 0, 5), StatusBadSize);
    EXPECT_EQ(vpsThreshold_LT_32s_I(nullptr, 4, 5), StatusNullPointer);

    Vps8u b[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(vpsSwapBytes_24u(b, b, 2), StatusOk);  // in place
    EXPECT_EQ((std::array<Vps8u, 6> {b[0], b[1], b[2], b[3], b[4], b[5]}), (std::array<Vps8u, 6> {3, 2, 1, 6, 5, 4}));

    const Vps16u h[2] = {0x1234, 0xFF00};
    Vps16u h2[2];
    EXPECT_EQ(vpsSwapBytes_16u(h, h2, 2), StatusOk);
    EXPECT_EQ(h2[0], 0x3412);
    EXPECT_EQ(h2[1], 0x00FF);

    Vps32u w[1] = {0x11223344u}, w2[1];
    EXPECT_EQ(vpsSwapBytes_32u(w, w2, 1), StatusOk);
    EXPECT_EQ(w2[0], 0x44332211u);
    EXPECT_EQ(vpsSwapBytes_32u_I(w, 1), StatusOk);
    EXPECT_EQ(w[0], 0x44332211u);
    EXPECT_EQ(vpsSwapBytes_32u_I(w, 0), StatusBadSize);
    EXPECT_EQ(vpsSwapBytes_24u(nullptr, b, 1), StatusNullPointer);
    EXPECT_EQ(vpsSwapBytes_16u(h, nullptr, 0), StatusNullPointer);
}

}  // namespace
}  // namespace dcs
