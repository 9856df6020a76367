// Worked values of the passes and the supersampling boxes, and the Lanczos weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dsp/resize/LanczosWeights.h"
#include "dsp/resize/ResizeCubic.h"
#include "dsp/resize/ResizeDriver.h"
#include "dsp/resize/ResizeEntries.h"
#include "dsp/resize/ResizeLinear.h"
#include "dsp/resize/ResizeSuper.h"
#include "dsp/resize/tests/ResizeTestImages.h"

namespace dcs {
namespace {

TEST(ResizePasses, LinearHalfwayBetween10And11RoundsUpTo11)
{
    const Vps8u row[2] = {10, 11};
    const std::ptrdiff_t col[1] = {0};
    const Vps16u pair[2] = {8192, 8192};
    Vps16u upper[1], lower[1] = {0};
    dspLinearRow<Vps8u, 1>(row, 1, 1, col, pair, upper);
    EXPECT_EQ(upper[0], 672);
    Vps8u out = 0;
    dspLinearColumn<Vps8u>(&out, 1, 0, upper, lower);
    EXPECT_EQ(out, 11);
}

TEST(ResizePasses, CubicOvershootSurvivesUpToTheClamp)
{
    struct Case {
        float a, b, c, d;
        int u8;
        double f32;
    } const cases[] = {
        {0, 100, 100, 0, 113, 112.5},
        {0, 255, 255, 0, 255, 286.875},
        {255, 0, 0, 255, 0, -31.875},
    };
    for (const Case& c : cases) {
        Vps8u u8 = 1;
        float f32 = 0;
        dspCubicColumn<Vps8u>(&u8, 1, 0.5f, &c.a, &c.b, &c.c, &c.d);
        dspCubicColumn<Vps32f>(&f32, 1, 0.5f, &c.a, &c.b, &c.c, &c.d);
        EXPECT_EQ(u8, c.u8);
        EXPECT_EQ(f32, c.f32);
    }
    // The sample positions reproduce the samples.
    const float a = 3, b = 7, c = 11, d = 200;
    for (const auto& [t, want] : {std::pair {-1.0f, 3}, {0.0f, 7}, {1.0f, 11}, {2.0f, 200}}) {
        Vps16u out = 0;
        dspCubicColumn<Vps16u>(&out, 1, t, &a, &b, &c, &d);
        EXPECT_EQ(out, want) << t;
    }
}

TEST(ResizePasses, IntegerOutputRoundsWithTheBiasAndSaturates)
{
    EXPECT_EQ(ResizeRoundOut<Vps8u>(2.49999995), 3);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(2.4999998), 2);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(2.5), 3);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(254.4999999), 255);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(300.0), 255);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(-3.0), 0);
    EXPECT_EQ(ResizeRoundOut<Vps8u>(-0.7), 0);
    EXPECT_EQ(ResizeRoundOut<Vps16u>(65535.4), 65535);
    EXPECT_EQ(ResizeRoundOut<Vps16u>(65535.6), 65535);
    EXPECT_EQ(ResizeRoundOut<Vps16u>(-0.2), 0);
    EXPECT_EQ(ResizeRoundOut<Vps16u>(std::nan("")), 0);
    EXPECT_EQ(ResizeRoundOut<Vps32f>(-0.7), -0.7f);
    // Through a vertical pass: a sum just below the half still rounds up.
    const float b2 = 2.5f, b3 = -1.0f, zero = 0.0f;
    const float w[6] = {0, 0, 1, 5e-8f, 0, 0};
    const float* const rows[6] = {&zero, &zero, &b2, &b3, &zero, &zero};
    Vps8u out = 0;
    dspLanczosColumn<Vps8u>(&out, 1, w, rows);
    EXPECT_EQ(out, 3);
}

// ---- Lanczos weights --------------------------------------------------------------------

TEST(LanczosWeights, TableFollowsItsFormula)
{
    const long double pi = 3.141592653589793238462643383279502884L;
    const auto sinc = [&](long double x) { return x == 0 ? 1.0L : std::sin(pi * x) / (pi * x); };
    for (int i = 0; i <= 300; ++i) {
        const long double x = i / 100.0L;
        EXPECT_NEAR(LanczosWeightTable[i], sinc(x) * sinc(x / 3), 1e-7) << i;
    }
    EXPECT_EQ(LanczosWeightTable[0], 1.0f);
    EXPECT_EQ(LanczosWeightTable[100], 0.0f);
    EXPECT_EQ(LanczosWeightTable[200], 0.0f);
    EXPECT_EQ(LanczosWeightTable[300], 0.0f);
}

TEST(LanczosWeights, BlocksAreNormalisedAndCentred)
{
    const float fractions[] = {0.0f, 0.5f, 0.25f, -1e-7f};
    float blocks[6 * 4];
    dspLanczosWeights(fractions, 4, blocks);
    const float centred[6] = {0, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(blocks, centred, sizeof centred), 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(blocks[6 + k], blocks[6 + 5 - k]) << k;
    for (int b = 0; b < 4; ++b) {
        double sum = 0;
        for (int k = 0; k < 6; ++k)
            sum += blocks[6 * b + k];
        EXPECT_NEAR(sum, 1.0, 1e-6) << b;
    }
    EXPECT_EQ(blocks[6 * 3 + 5], 0.0f);  // a slightly negative fraction drops the last tap
    float untouched = 7.0f;
    dspLanczosWeights(fractions, 0, &untouched);
    EXPECT_EQ(untouched, 7.0f);
}

TEST(LanczosKernels, InnerKernelsEqualTheEdgeKernelsInsideTheImage)
{
    const resize_test::Layout layouts[] = {{"C1", 1, 1}, {"C3", 3, 3}, {"AC4", 4, 3}, {"C4", 4, 4}};
    for (const resize_test::Layout& l : layouts) {
        for (const double f : {0.6, 1.7}) {
            SCOPED_TRACE(std::string(l.name) + " factor " + std::to_string(f));
            resize_test::TestImage<Vps16u> image(20, 20, l, false);
            ResizeRequest r;
            r.src = image.Src();
            r.srcSize = {20, 20};
            r.srcStep = image.StepBytes();
            r.roi = {4, 4, 8, 8};  // taps reach rows and columns 2 .. 14
            std::vector<Vps16u> edge(64 * 64 * 4, 0xEEEE), inner = edge;
            r.dst = edge.data();
            r.dstStep = 64 * 4 * 2;
            r.dstSize = {64, 64};
            r.xFactor = f;
            r.yFactor = f;
            r.stride = l.stride;
            r.channels = l.channels;
            r.type = kResize16u;
            r.interpolation = InterpLanczos;
            ResizePlan plan;
            ASSERT_EQ(plan.Build(r), StatusOk);
            ASSERT_EQ(plan.kernelIndex, l.channels == 1 ? 25 : 22);
            ResizeKernelTable[plan.kernelIndex](plan.args);
            plan.args.dst = inner.data();
            ResizeKernelTable[plan.kernelIndex + 6](plan.args);
            EXPECT_EQ(edge, inner);
        }
    }
}

// ---- supersampling boxes ----------------------------------------------------------------

// One row or one column of 8-bit samples reduced by `factor` with supersampling.
std::vector<Vps8u> SuperLine(const std::vector<Vps8u>& samples, double factor, bool vertical, int room)
{
    const int n = static_cast<int>(samples.size());
    std::vector<Vps8u> out(room, 0xEE);
    const VpiSize size = vertical ? VpiSize {1, n} : VpiSize {n, 1};
    const VpsStatus st =
        fallback::vpiResize_8u_C1R(samples.data(), size, vertical ? 1 : n, {0, 0, size.width, size.height}, out.data(),
                                   1, vertical ? VpiSize {1, room} : VpiSize {room, 1}, vertical ? 1.0 : factor,
                                   vertical ? factor : 1.0, InterpSuper);
    EXPECT_EQ(st, StatusOk);
    return out;
}

TEST(ResizeSuper, BoxMeansOfTheWorkedRows)
{
    using V = std::vector<Vps8u>;
    // Box 0: columns 0, 1 and half of 2; box 1: the other half of 2, then 3 and 4.
    EXPECT_EQ(SuperLine({10, 20, 30, 40, 50}, 0.4, false, 2), (V {18, 42}));
    // 1/3 as a double: a is 3.0 only after rounding, the walk is fractional.
    EXPECT_EQ(SuperLine({30, 60, 90, 120, 150, 180}, 1.0 / 3, false, 2), (V {60, 150}));
    // 1/3 rounded to float: column 2 weighs 0.99999991 in box 0 and nothing in box 1.
    EXPECT_EQ(SuperLine({0, 0, 60, 90, 90, 90, 0, 0, 0}, 0.3333333432674408, false, 3), (V {20, 90, 0}));
    EXPECT_EQ(SuperLine({0, 0, 0, 90, 90, 90, 0, 0, 0}, 0.3333333432674408, true, 3), (V {0, 90, 0}));
    // Destination room beyond the result stays untouched.
    EXPECT_EQ(SuperLine({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}, 0.4, false, 7),
              (V {18, 42, 68, 92, 0xEE, 0xEE, 0xEE}));
}

TEST(ResizeSuper, WholeBoxesRoundHalfUp)
{
    // 2 x 2 boxes with sums 10 and 9: means 2.5 and 2.25.
    const Vps16u src[8] = {1, 2, 2, 2, 3, 4, 2, 3};
    Vps16u out[2] = {};
    ASSERT_EQ(fallback::vpiResize_16u_C1R(src, {4, 2}, 8, {0, 0, 4, 2}, out, 4, {2, 1}, 0.5, 0.5, InterpSuper),
              StatusOk);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 2);
    // One column wide, two rows high: 10 and 11 give 11, 0 and 1 give 1.
    const Vps8u pairs[4] = {10, 0, 11, 1};
    Vps8u means[2] = {};
    ASSERT_EQ(fallback::vpiResize_8u_C1R(pairs, {2, 2}, 2, {0, 0, 2, 2}, means, 2, {2, 1}, 1.0, 0.5, InterpSuper),
              StatusOk);
    EXPECT_EQ(means[0], 11);
    EXPECT_EQ(means[1], 1);
}

TEST(ResizeSuper, BoxGeometry)
{
    struct Case {
        VpiSize src;
        VpiRect roi;
        VpiSize room;
        double xF, yF;
        int walkMode, count, dstW;
        double a, b;
    } const cases[] = {
        {{8, 8}, {0, 0, 8, 8}, {4, 4}, 0.5, 0.5, 0, 8, 4, 2.0, 2.0},
        {{10, 4}, {0, 0, 10, 4}, {7, 4}, 0.4, 1.0, 2, 10, 4, 2.5, 1.0},
        {{16, 16}, {0, 0, 16, 16}, {16, 16}, 0.25, 0.4, 1, 16, 4, 4.0, 2.5},
        {{12, 4}, {5, 0, 20, 4}, {20, 4}, 0.5, 1.0, 0, 7, 3, 2.0, 1.0},
        {{9, 1}, {0, 0, 9, 1}, {9, 1}, 1.0 / 3, 1.0, 2, 9, 3, 3.0, 1.0},
    };
    for (const Case& c : cases) {
        SuperKernelArgs g;
        ASSERT_EQ(dspResizeSuperGeometry(c.src, c.roi, c.room, c.xF, c.yF, &g), StatusOk);
        EXPECT_EQ(g.walkMode, c.walkMode) << c.xF << " " << c.yF;
        EXPECT_EQ(g.count, c.count) << c.xF;
        EXPECT_EQ(g.dstW, c.dstW) << c.xF;
        EXPECT_EQ(g.a, c.a);
        EXPECT_EQ(g.b, c.b);
        EXPECT_EQ(g.c, c.xF * c.yF);
    }
}

TEST(ResizeSuper, ThreeChannelsAtStrideFourLeaveTheFourthElement)
{
    // The fourth source element is huge and must not leak into the means.
    std::vector<Vps8u> src(4 * 4 * 4);
    for (std::size_t i = 0; i < src.size(); ++i)
        src[i] = i % 4 == 3 ? 255 : static_cast<Vps8u>(i % 4 * 10);
    std::vector<Vps8u> dst(2 * 2 * 4, 0xEE);
    ASSERT_EQ(dspResizeSuper(src.data(), {4, 4}, 16, {0, 0, 4, 4}, dst.data(), 8, {2, 2}, 0.5, 0.5, 4, 3, kResize8u, 0),
              StatusOk);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ((std::vector<Vps8u>(dst.begin() + 4 * p, dst.begin() + 4 * p + 4)),
                  (std::vector<Vps8u> {0, 10, 20, 0xEE}));
}

}  // namespace
}  // namespace dcs
