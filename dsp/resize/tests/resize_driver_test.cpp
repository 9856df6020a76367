// The general driver's decisions (lowering, clipping, sizes, steps, tables, kernel
// choice), the statuses of the entries in check order, and allocation failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/resize/ResizeCenterRects.h"
#include "dsp/resize/ResizeCubic.h"
#include "dsp/resize/ResizeDriver.h"
#include "dsp/resize/ResizeEntries.h"
#include "dsp/resize/ResizeLanczos.h"
#include "dsp/resize/ResizeLinear.h"
#include "dsp/resize/ResizeNearest.h"
#include "dsp/resize/ResizeSuper.h"
#include "dsp/resize/tests/ResizeTestImages.h"

namespace dcs {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Plans never read the images; any non-null pointers will do.
const Vps8u kAnyImage[1] = {};
Vps8u gAnyDestination[1];

ResizeRequest Request(int srcW, int srcH, VpiRect roi, VpiSize room, double xF, double yF, int interpolation,
                      int type = kResize8u, int channels = 1, int stride = 1)
{
    ResizeRequest r;
    r.src = kAnyImage;
    r.srcSize = {srcW, srcH};
    r.srcStep = srcW * stride * 4;
    r.roi = roi;
    r.dst = gAnyDestination;
    r.dstStep = room.width * stride * 4;
    r.dstSize = room;
    r.xFactor = xF;
    r.yFactor = yF;
    r.stride = stride;
    r.channels = channels;
    r.type = type;
    r.interpolation = interpolation;
    return r;
}

TEST(ResizeDriver, SmallImagesLowerTheInterpolationJudgedOnTheWholeImage)
{
    struct Case {
        int w, h;
        VpiRect roi;
        int asked, used;
    } const cases[] = {
        {7, 100, {0, 0, 7, 100}, InterpLanczos, InterpCubic},     {3, 100, {0, 0, 3, 100}, InterpLanczos, InterpLinear},
        {1, 100, {0, 0, 1, 100}, InterpLanczos, InterpNearest},   {100, 3, {0, 0, 100, 3}, InterpCubic, InterpLinear},
        {100, 1, {0, 0, 100, 1}, InterpLinear, InterpNearest},    {8, 8, {0, 0, 8, 8}, InterpLanczos, InterpLanczos},
        {100, 100, {40, 40, 2, 2}, InterpLanczos, InterpLanczos},  // a 2-wide ROI keeps it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        ResizePlan plan;
        ASSERT_EQ(plan.Build(Request(c.w, c.h, c.roi, {200, 200}, 1.0, 1.0, c.asked)), StatusOk);
        EXPECT_EQ(plan.interpolation, c.used);
    }
}

TEST(ResizeDriver, ClipsTheRoiAndFitsTheDestination)
{
    struct Case {
        const char* what;
        int srcW, srcH;
        VpiRect roi;
        VpiSize room;
        double xF, yF;
        VpsStatus status;
        int roiW = 0, roiH = 0, dstW = 0, dstH = 0;
    } const cases[] = {
        {"ROI wider than the rest of the image", 12, 4, {5, 0, 20, 4}, {50, 50}, 1.0, 1.0, StatusOk, 7, 4, 7, 4},
        {"ROI lower than the rest", 12, 4, {0, 2, 3, 10}, {50, 50}, 1.0, 1.0, StatusOk, 3, 2, 3, 2},
        {"room larger than the result", 10, 10, {0, 0, 10, 10}, {7, 7}, 0.4, 0.4, StatusOk, 10, 10, 4, 4},
        {"room smaller than the result", 10, 10, {0, 0, 10, 10}, {7, 3}, 2.0, 2.0, StatusOk, 10, 10, 7, 3},
        {"one column scaled by 0.6 gives one", 10, 10, {0, 0, 1, 10}, {7, 7}, 0.6, 1.0, StatusOk, 1, 10, 1, 7},
        {"one column scaled by 0.3 is empty", 10, 10, {0, 0, 1, 10}, {7, 7}, 0.3, 1.0, StatusResizeEmpty},
        {"the width fails before the height", 10, 10, {0, 0, 1, 1}, {7, 7}, 0.4, 0.6, StatusResizeEmpty},
        {"one row scaled by 0.4 is empty", 10, 10, {0, 0, 10, 1}, {7, 7}, 1.0, 0.4, StatusResizeEmpty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResizePlan plan;
        ASSERT_EQ(plan.Build(Request(c.srcW, c.srcH, c.roi, c.room, c.xF, c.yF, InterpLinear)), c.status);
        if (c.status != StatusOk)
            continue;
        EXPECT_EQ(plan.roi.width, c.roiW);
        EXPECT_EQ(plan.roi.height, c.roiH);
        EXPECT_EQ(plan.args.dstW, c.dstW);
        EXPECT_EQ(plan.args.dstH, c.dstH);
    }
}

TEST(ResizeDriver, CoordinateTablesPinBothEnds)
{
    {  // Linear, 10 wide at 2.0: column 19 lands on the image's last column.
        ResizePlan plan;
        ASSERT_EQ(plan.Build(Request(10, 10, {0, 0, 10, 10}, {20, 20}, 2.0, 2.0, InterpLinear)), StatusOk);
        EXPECT_EQ(plan.xStep, 9.0 / 19.0);
        const auto* pairs = static_cast<const Vps16u*>(plan.args.colFractions);
        EXPECT_EQ(plan.args.colIndex[0], 0);
        EXPECT_EQ(pairs[0], 16384);
        EXPECT_EQ(pairs[1], 0);
        EXPECT_EQ(plan.args.colIndex[19], 8);
        EXPECT_EQ(pairs[38], 0);
        EXPECT_EQ(pairs[39], 16384);
        const auto* rowW = static_cast<const Vps16u*>(plan.args.rowFractions);
        EXPECT_EQ(plan.args.rowIndex[19], 8 * plan.args.srcStep);
        EXPECT_EQ(rowW[19], 16384);
    }
    {  // Nearest at 2.0: positions 0.25, 0.75, 1.25, 1.75 -> columns 0, 0, 1, 1; C4 offsets.
        ResizePlan plan;
        ASSERT_EQ(plan.Build(Request(10, 10, {0, 0, 10, 10}, {20, 20}, 2.0, 2.0, InterpNearest, kResize8u, 4, 4)),
                  StatusOk);
        EXPECT_EQ(plan.xStep, 0.5);
        const std::ptrdiff_t expected[] = {0, 0, 4, 4, 8};
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(plan.args.colIndex[j], expected[j]) << j;
        EXPECT_EQ(plan.args.colIndex[19], 9 * 4);
    }
    {  // Cubic: taps 0 .. 3 with t = -1 at the first column, W-4 .. W-1 with t = 2 at the last.
        ResizePlan plan;
        ASSERT_EQ(plan.Build(Request(10, 10, {0, 0, 10, 10}, {20, 20}, 2.0, 2.0, InterpCubic)), StatusOk);
        const auto* t = static_cast<const float*>(plan.args.colFractions);
        EXPECT_EQ(plan.args.colIndex[0], 1);
        EXPECT_EQ(t[0], -1.0f);
        EXPECT_EQ(plan.args.colIndex[19], 7);
        EXPECT_EQ(t[19], 2.0f);
        EXPECT_EQ(plan.args.colIndex[18], 7);  // next to the last: taps 7 .. 10 would leave the image
        EXPECT_GE(t[18], 1.0f);
        EXPECT_LT(t[18], 2.0f);
    }
    {  // Nearest raised to one column: position 0.5 / factor reaches the ROI's width.
        ResizePlan plan;
        const double f = (0.5 - 0.5e-7) / 3;  // scaled width 0.49999995, position 3.0000003
        ASSERT_EQ(plan.Build(Request(10, 10, {2, 0, 3, 10}, {20, 20}, f, 1.0, InterpNearest)), StatusOk);
        ASSERT_EQ(plan.args.dstW, 1);
        EXPECT_EQ(plan.args.colIndex[0], 2);  // the ROI's last column
    }
}

TEST(ResizeDriver, KernelOfEveryKindTypeAndLayout)
{
    struct Layout {
        int channels, stride;
    } const layouts[] = {{1, 1}, {3, 3}, {3, 4}, {4, 4}};
    using K = ResizeKernel;
    // [kind][type][layout]
    const K expected[4][3][4] = {
        {{dspResizeNearest_8u_C1, dspResizeNearest_8u_C3, dspResizeNearest_8u_C3, dspResizeNearest_8u_C4},
         {dspResizeNearest_16u_C1, dspResizeNearest_16u_C3, dspResizeNearest_16u_C3, dspResizeNearest_16u_C4},
         {dspResizeNearest_32f_C1, dspResizeNearest_32f_C3, dspResizeNearest_32f_C3, dspResizeNearest_32f_C4}},
        {{dspResizeLinear_8u_C1, dspResizeLinear_8u_Cn, dspResizeLinear_8u_Cn, dspResizeLinear_8u_Cn},
         {dspResizeLinear_16u_C1, dspResizeLinear_16u_Cn, dspResizeLinear_16u_Cn, dspResizeLinear_16u_Cn},
         {dspResizeLinear_32f_C1, dspResizeLinear_32f_Cn, dspResizeLinear_32f_Cn, dspResizeLinear_32f_Cn}},
        {{dspResizeCubic_8u_C1, dspResizeCubic_8u_Cn, dspResizeCubic_8u_Cn, dspResizeCubic_8u_Cn},
         {dspResizeCubic_16u_C1, dspResizeCubic_16u_Cn, dspResizeCubic_16u_Cn, dspResizeCubic_16u_Cn},
         {dspResizeCubic_32f_C1, dspResizeCubic_32f_Cn, dspResizeCubic_32f_Cn, dspResizeCubic_32f_Cn}},
        {{dspResizeLanczos_8u_C1, dspResizeLanczos_8u_Cn, dspResizeLanczos_8u_Cn, dspResizeLanczos_8u_Cn},
         {dspResizeLanczos_16u_C1, dspResizeLanczos_16u_Cn, dspResizeLanczos_16u_Cn, dspResizeLanczos_16u_Cn},
         {dspResizeLanczos_32f_C1, dspResizeLanczos_32f_Cn, dspResizeLanczos_32f_Cn, dspResizeLanczos_32f_Cn}},
    };
    const int kinds[] = {InterpNearest, InterpLinear, InterpCubic, InterpLanczos};
    for (int k = 0; k < 4; ++k)
        for (int type = 0; type < 3; ++type)
            for (int l = 0; l < 4; ++l) {
                ResizePlan plan;
                ASSERT_EQ(plan.Build(Request(16, 16, {0, 0, 16, 16}, {16, 16}, 1.0, 1.0, kinds[k], type,
                                             layouts[l].channels, layouts[l].stride)),
                          StatusOk);
                EXPECT_EQ(ResizeKernelTable[plan.kernelIndex], expected[k][type][l])
                    << "kind " << kinds[k] << " type " << type << " layout " << l;
            }
    // The driver never picks the inner Lanczos kernels; they sit six places after the edge ones.
    const K inner[] = {dspResizeLanczosInner_8u_Cn, dspResizeLanczosInner_16u_Cn, dspResizeLanczosInner_32f_Cn,
                       dspResizeLanczosInner_8u_C1, dspResizeLanczosInner_16u_C1, dspResizeLanczosInner_32f_C1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ResizeKernelTable[27 + i], inner[i]);
}

// ---- statuses ---------------------------------------------------------------------------

struct Call {
    bool nullSrc = false, nullDst = false;
    VpiSize src {8, 8};
    VpiRect roi {0, 0, 8, 8};
    VpiSize room {8, 8};
    double xF = 1.0, yF = 1.0;
    int interpolation = InterpLinear;
};

struct StatusCase {
    const char* what;
    Call call;
    VpsStatus status;
};

Call With(void (*edit)(Call&))
{
    Call c;
    edit(c);
    return c;
}

TEST(ResizeEntries, StatusesInCheckOrderLeaveTheDestinationUntouched)
{
    const StatusCase cases[] = {
        {"valid", With([](Call&) {}), StatusOk},
        {"null source wins over a bad ROI", With([](Call& c) {
             c.nullSrc = true;
             c.roi.width = 0;
         }),
         StatusNullPointer},
        {"null destination", With([](Call& c) { c.nullDst = true; }), StatusNullPointer},
        {"null destination, supersampling", With([](Call& c) {
             c.nullDst = true;
             c.interpolation = InterpSuper;
         }),
         StatusNullPointer},
        {"source width 0", With([](Call& c) { c.src.width = 0; }), StatusBadSize},
        {"ROI x negative", With([](Call& c) { c.roi.x = -1; }), StatusBadSize},
        {"ROI height 0", With([](Call& c) { c.roi.height = 0; }), StatusBadSize},
        {"ROI x at the source width", With([](Call& c) { c.roi.x = 8; }), StatusRoiOutside},
        {"ROI y beyond the source", With([](Call& c) { c.roi.y = 9; }), StatusRoiOutside},
        {"ROI outside wins over the destination size", With([](Call& c) {
             c.roi.x = 8;
             c.room.width = 0;
         }),
         StatusRoiOutside},
        {"ROI outside wins over the factor", With([](Call& c) {
             c.roi.x = 8;
             c.xF = 0.0;
         }),
         StatusRoiOutside},
        {"ROI outside, supersampling", With([](Call& c) {
             c.roi.x = 8;
             c.xF = 0.0;
             c.interpolation = InterpSuper;
         }),
         StatusRoiOutside},
        {"destination height 0 wins over the factor", With([](Call& c) {
             c.room.height = 0;
             c.yF = 0.0;
         }),
         StatusBadSize},
        {"factor 0", With([](Call& c) { c.xF = 0.0; }), StatusBadResizeFactor},
        {"factor negative, supersampling", With([](Call& c) {
             c.yF = -0.5;
             c.interpolation = InterpSuper;
         }),
         StatusBadResizeFactor},
        {"factor NaN", With([](Call& c) { c.xF = kNaN; }), StatusBadResizeFactor},
        {"factor infinite", With([](Call& c) { c.yF = kInf; }), StatusBadResizeFactor},
        {"factor -infinite, supersampling", With([](Call& c) {
             c.xF = -kInf;
             c.interpolation = InterpSuper;
         }),
         StatusBadResizeFactor},
        {"NaN factor wins over the interpolation", With([](Call& c) {
             c.xF = kNaN;
             c.interpolation = 3;
         }),
         StatusBadResizeFactor},
        {"interpolation 3", With([](Call& c) { c.interpolation = 3; }), StatusBadInterpolation},
        {"supersampling above 1", With([](Call& c) {
             c.xF = 0.5;
             c.yF = 1.01;
             c.interpolation = InterpSuper;
         }),
         StatusBadInterpolation},
        {"supersampling at 0.5 and 1", With([](Call& c) {
             c.xF = 0.5;
             c.interpolation = InterpSuper;
         }),
         StatusOk},
        {"empty result", With([](Call& c) {
             c.roi.width = 1;
             c.xF = 0.3;
         }),
         StatusResizeEmpty},
        {"empty result, supersampling", With([](Call& c) {
             c.roi.height = 1;
             c.yF = 0.4;
             c.interpolation = InterpSuper;
         }),
         StatusResizeEmpty},
    };
    std::vector<Vps8u> src(64, 7);
    for (const StatusCase& sc : cases) {
        SCOPED_TRACE(sc.what);
        const Call& c = sc.call;
        std::vector<Vps8u> dst(64, 0xEE);
        const VpsStatus st =
            fallback::vpiResize_8u_C1R(c.nullSrc ? nullptr : src.data(), c.src, 8, c.roi,
                                       c.nullDst ? nullptr : dst.data(), 8, c.room, c.xF, c.yF, c.interpolation);
        EXPECT_EQ(st, sc.status);
        if (st != StatusOk) {
            EXPECT_EQ(dst, std::vector<Vps8u>(64, 0xEE));
        }
    }
}

TEST(ResizeEntries, EachAllocationFailingInTurnReportsNoMemoryAndWritesNothing)
{
    struct Case {
        const char* what;
        int type, channels, stride, interpolation;
        double xF, yF;
    } const cases[] = {
        {"nearest", kResize8u, 1, 1, InterpNearest, 1.5, 0.5},
        {"linear 8u", kResize8u, 3, 3, InterpLinear, 1.5, 0.5},
        {"linear float", kResize32f, 4, 4, InterpLinear, 0.7, 1.5},
        {"cubic", kResize16u, 1, 1, InterpCubic, 1.5, 0.5},
        {"Lanczos", kResize8u, 3, 4, InterpLanczos, 1.5, 0.5},
        {"supersampling, whole boxes", kResize8u, 4, 4, InterpSuper, 0.5, 0.5},
        {"supersampling, fractional boxes", kResize16u, 1, 1, InterpSuper, 0.4, 0.7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<float> src(16 * 16 * 4, 3.0f);  // room for every type
        std::vector<Vps8u> dst(40 * 40 * 16, 0xEE);
        const auto run = [&] {
            const int srcStep = 16 * c.stride * 4, dstStep = 40 * c.stride * 4;
            if (c.interpolation == InterpSuper)
                return dspResizeSuper(src.data(), {16, 16}, srcStep, {0, 0, 16, 16}, dst.data(), dstStep, {40, 40},
                                      c.xF, c.yF, c.stride, c.channels, c.type, 0);
            return dspResize(src.data(), {16, 16}, srcStep, {0, 0, 16, 16}, dst.data(), dstStep, {40, 40}, c.xF, c.yF,
                             0.0, 0.0, c.stride, c.channels, c.type, 0, c.interpolation);
        };
        long calls = 0;
        {
            DspAllocFailGuard counting(0);
            ASSERT_EQ(run(), StatusOk);
            calls = counting.Calls();
        }
        EXPECT_GE(calls, 1);
        std::fill(dst.begin(), dst.end(), 0xEE);
        for (long k = 1; k <= calls; ++k) {
            DspAllocFailGuard failing(k);
            EXPECT_EQ(run(), StatusNoMemory) << "allocation " << k;
            EXPECT_EQ(std::count(dst.begin(), dst.end(), 0xEE), static_cast<long>(dst.size())) << "allocation " << k;
        }
    }
}

// ---- mended faults --------------------------------------------------------------------

TEST(ResizeSuper, LargeWholeBoxesOfFullSamplesDoNotWrap)
{
    // 512 x 256 samples of 65535 sum to 2^33 - 2^17: beyond 32 bits.
    std::vector<Vps16u> src(512 * 256, 65535);
    Vps16u out[2] = {1, 1};
    ASSERT_EQ(fallback::vpiResize_16u_C1R(src.data(), {512, 256}, 1024, {0, 0, 512, 256}, out, 4, {1, 1}, 1.0 / 512,
                                          1.0 / 256, InterpSuper),
              StatusOk);
    EXPECT_EQ(out[0], 65535);
    EXPECT_EQ(out[1], 1);
    // A box 65600 rows high passes 2^32 within one column.
    std::vector<Vps16u> column(65600, 65535);
    ASSERT_EQ(fallback::vpiResize_16u_C1R(column.data(), {1, 65600}, 2, {0, 0, 1, 65600}, out, 2, {1, 1}, 1.0,
                                          1.0 / 65600, InterpSuper),
              StatusOk);
    EXPECT_EQ(out[0], 65535);
}

TEST(ResizeSuper, FloatSumsThatRoundAboveTheLargestSampleSaturate)
{
    // 600.5 rows of 65535 summed in float round above 65535 x 600.5.
    std::vector<Vps16u> src(601, 65535);
    Vps16u out = 1;
    ASSERT_EQ(fallback::vpiResize_16u_C1R(src.data(), {1, 601}, 2, {0, 0, 1, 601}, &out, 2, {1, 1}, 1.0, 1.0 / 600.5,
                                          InterpSuper),
              StatusOk);
    EXPECT_EQ(out, 65535);
}

TEST(ResizeCenter, CentreLandsOnTheDestinationCentre)
{
    resize_test::TestImage<Vps8u> image(16, 16, {"C4", 4, 4}, false);
    std::vector<Vps8u> dst(8 * 8 * 4, 0xEE);
    ASSERT_EQ(fallback::vpiResizeCenter_8u_C4R(image.Src(), {16, 16}, image.StepBytes(), {0, 0, 16, 16}, dst.data(), 32,
                                               {8, 8}, 1.0, 1.0, 5.0, 6.0, InterpNearest),
              StatusOk);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(dst[(4 * 8 + 4) * 4 + c], image.At(6, 5, c));
        EXPECT_EQ(dst[(0 * 8 + 0) * 4 + c], image.At(2, 1, c));
    }
    VpiRect dstRect {}, srcRect {};
    double xShift = -1, yShift = -1;
    ASSERT_EQ(dspResizeCenterRects({16, 16}, {0, 0, 16, 16}, {8, 8}, 1.0, 1.0, 5.0, 6.0, &dstRect, &srcRect, &xShift,
                                   &yShift),
              StatusOk);
    EXPECT_EQ(xShift, 0.0);
    EXPECT_EQ(yShift, 0.0);
    EXPECT_EQ(srcRect.x, 1);
    EXPECT_EQ(srcRect.y, 2);
    EXPECT_EQ(dstRect.width, 8);
}

TEST(ResizeCenter, BadCentresAndFactorsAreRefusedBeforeAnythingIsWritten)
{
    struct Case {
        const char* what;
        double xF, cx, cy;
        VpsStatus status;
    } const cases[] = {
        {"the ROI lands right of the destination", 1.0, -100.0, 4.0, StatusBadSize},
        {"NaN centre", 1.0, kNaN, 4.0, StatusBadSize},
        {"infinite centre", 1.0, 4.0, -kInf, StatusBadSize},
        {"centre beyond the int32 range", 1.0, 1e300, 4.0, StatusBadSize},
        {"edge beyond the int32 range", 1e30, 4.0, 4.0, StatusBadSize},
        {"NaN factor", kNaN, 4.0, 4.0, StatusBadResizeFactor},
        {"infinite factor", kInf, 4.0, 4.0, StatusBadResizeFactor},
    };
    std::vector<Vps8u> src(16 * 16 * 4, 9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const int interpolation : {InterpNearest, InterpSuper}) {
            std::vector<Vps8u> dst(8 * 8 * 4, 0xEE);
            EXPECT_EQ(fallback::vpiResizeCenter_8u_C4R(src.data(), {16, 16}, 64, {0, 0, 16, 16}, dst.data(), 32, {8, 8},
                                                       c.xF, 1.0, c.cx, c.cy, interpolation),
                      c.status);
            EXPECT_EQ(dst, std::vector<Vps8u>(8 * 8 * 4, 0xEE));
        }
    }
    EXPECT_EQ(fallback::vpiResizeCenter_8u_C4R(src.data(), {16, 16}, 64, {0, 0, 16, 16}, nullptr, 32, {8, 8}, kNaN, 1.0,
                                               kNaN, 0.0, InterpNearest),
              StatusNullPointer);
}

}  // namespace
}  // namespace dcs
