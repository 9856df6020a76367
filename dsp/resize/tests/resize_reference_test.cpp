// Every kernel family against the per-pixel reference: element type x layout x factor
// below, at and above 1 x ROI inside the image or on its edges x source step sign.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "dsp/resize/ResizeCenterRects.h"
#include "dsp/resize/ResizeDriver.h"
#include "dsp/resize/ResizeEntries.h"
#include "dsp/resize/ResizeSuper.h"
#include "dsp/resize/tests/ResizeReference.h"
#include "dsp/resize/tests/ResizeTestImages.h"

namespace dcs {
namespace {

using resize_test::Layout;
using resize_test::TestImage;

constexpr int kW = 16;
constexpr int kH = 14;
constexpr VpiSize kRoom {60, 60};  // more than any result: the rest must stay untouched

struct Factors {
    const char* name;
    double x, y;
};

// Compares one result, written at (ox, oy) of a destination of `room` pixels, with the
// reference; returns a description of the first mismatch.
template <class T>
std::string Compare(const resize_ref::Result& ref, const std::vector<T>& dst, const std::vector<T>& poison,
                    Layout layout, int interpolation, bool wholeBoxes, std::ptrdiff_t dstRowElems, VpiSize room = kRoom,
                    int ox = 0, int oy = 0)
{
    // Integer linear interpolation and integer sums over whole boxes are exact.
    const bool exact = interpolation == InterpNearest ||
        (!std::is_floating_point_v<T> &&
         (interpolation == InterpLinear || (interpolation == InterpSuper && wholeBoxes)));
    const long double scale = resize_test::SampleScale<T>();
    for (int i = 0; i < room.height; ++i) {
        for (int j = 0; j < room.width; ++j) {
            for (int e = 0; e < layout.stride; ++e) {
                const std::size_t at = static_cast<std::size_t>(i * dstRowElems + j * layout.stride + e);
                const int ri = i - oy, rj = j - ox;
                const bool written = ri >= 0 && ri < ref.dstH && rj >= 0 && rj < ref.dstW && e < layout.channels;
                if (!written) {
                    if (std::memcmp(&dst[at], &poison[at], sizeof(T)) != 0)
                        return "element outside the result changed at " + std::to_string(i) + "," + std::to_string(j);
                    continue;
                }
                const long double v = ref.At(ri, rj, e);
                const long double got = dst[at];
                bool ok;
                if (std::is_floating_point_v<T>) {
                    ok = std::fabs(got - v) <= 1e-6L * scale;
                } else if (exact) {
                    ok = got == (interpolation == InterpSuper ? std::trunc(v + 0.5L) : v);
                } else {
                    // The kernels round through float rows and weights: an integer may be
                    // one off where the reference lies within 1e-6 of a rounding point.
                    const long double bias = interpolation == InterpSuper ? 0.5L : 0.5000001L;
                    const long double expected = std::clamp<long double>(std::trunc(v + bias), 0, scale);
                    const long double u = v + bias;
                    const bool nearEdge = std::fabs(u - std::round(u)) <= 1e-6L * scale;
                    ok = got == expected || (nearEdge && std::fabs(got - expected) <= 1);
                }
                if (!ok)
                    return "pixel " + std::to_string(i) + "," + std::to_string(j) + " element " + std::to_string(e) +
                        ": got " + std::to_string(static_cast<double>(got)) + ", reference " +
                        std::to_string(static_cast<double>(v));
            }
        }
    }
    return {};
}

template <class T> void RunTable()
{
    const Factors kFactors[] = {
        {"below", 0.6, 0.45}, {"whole boxes", 0.5, 0.25}, {"at", 1.0, 1.0}, {"above", 1.7, 2.3}};
    // Inside; touching all four edges; the far corner's last 3 x 3 pixels (a raised
    // destination at the smaller factors).
    const VpiRect kRois[] = {{3, 3, 8, 7}, {0, 0, 99, 99}, {kW - 3, kH - 3, 9, 9}};
    const int kKinds[] = {InterpNearest, InterpLinear, InterpCubic, InterpLanczos, InterpSuper};
    for (const Layout layout : resize_test::kLayouts) {
        for (const bool bottomUp : {false, true}) {
            const TestImage<T> image(kW, kH, layout, bottomUp);
            for (const Factors& f : kFactors) {
                for (const VpiRect& roi : kRois) {
                    for (const int kind : kKinds) {
                        if (kind == InterpSuper && f.x > 1.0)
                            continue;
                        SCOPED_TRACE(std::string(layout.name) + (bottomUp ? " bottom-up" : " top-down") + " factors " +
                                     f.name + " roi " + std::to_string(roi.x) + " kind " + std::to_string(kind));
                        const std::ptrdiff_t rowElems = kRoom.width * layout.stride + 2;
                        std::vector<T> dst(static_cast<std::size_t>(rowElems) * kRoom.height);
                        resize_test::Poison(dst);
                        const std::vector<T> poison = dst;
                        const int dstStep = static_cast<int>(rowElems * sizeof(T));
                        const int type = resize_test::TypeCode<T>();
                        const VpsStatus st = kind == InterpSuper
                            ? dspResizeSuper(image.Src(), {kW, kH}, image.StepBytes(), roi, dst.data(), dstStep, kRoom,
                                             f.x, f.y, layout.stride, layout.channels, type, 0)
                            : dspResize(image.Src(), {kW, kH}, image.StepBytes(), roi, dst.data(), dstStep, kRoom, f.x,
                                        f.y, 0.0, 0.0, layout.stride, layout.channels, type, 0, kind);
                        ASSERT_EQ(st, StatusOk);
                        const resize_ref::Result ref =
                            resize_ref::Resize(image.View(), kW, kH, roi, kRoom, f.x, f.y, layout.channels, kind);
                        const bool wholeBoxes =
                            std::trunc(1.0L / f.x) == 1.0L / f.x && std::trunc(1.0L / f.y) == 1.0L / f.y;
                        EXPECT_EQ(Compare(ref, dst, poison, layout, kind, wholeBoxes, rowElems), "");
                    }
                }
            }
        }
    }
}

TEST(ResizeKernels, Unsigned8MatchThePerPixelReference) { RunTable<Vps8u>(); }

TEST(ResizeKernels, Unsigned16MatchThePerPixelReference) { RunTable<Vps16u>(); }

TEST(ResizeKernels, FloatMatchThePerPixelReference) { RunTable<Vps32f>(); }

// The centred entry moves the source coordinates by a sub-pixel shift, which may carry the
// last positions past the image's edge.
TEST(ResizeKernels, CentredResizeMatchesTheShiftedReference)
{
    const Layout c4 {"C4", 4, 4};
    const TestImage<Vps8u> image(kW, kH, c4, false);
    const VpiSize room {12, 12};
    struct Centre {
        double x, y, xF, yF;
    } const centres[] = {{7.3, 8.6, 1.3, 0.8}, {15.2, 0.4, 1.7, 2.2}, {0.45, 13.7, 0.9, 1.6}};
    for (const Centre& c : centres) {
        for (const int kind : {InterpNearest, InterpLinear, InterpCubic, InterpLanczos}) {
            SCOPED_TRACE("centre " + std::to_string(c.x) + ", " + std::to_string(c.y) + " kind " +
                         std::to_string(kind));
            const std::ptrdiff_t rowElems = room.width * 4;
            std::vector<Vps8u> dst(static_cast<std::size_t>(rowElems) * room.height);
            resize_test::Poison(dst);
            const std::vector<Vps8u> poison = dst;
            ASSERT_EQ(fallback::vpiResizeCenter_8u_C4R(image.Src(), {kW, kH}, image.StepBytes(), {0, 0, kW, kH},
                                                       dst.data(), static_cast<int>(rowElems), room, c.xF, c.yF, c.x,
                                                       c.y, kind),
                      StatusOk);
            VpiRect dstRect {}, srcRect {};
            double xShift = 0, yShift = 0;
            ASSERT_EQ(dspResizeCenterRects({kW, kH}, {0, 0, kW, kH}, room, c.xF, c.yF, c.x, c.y, &dstRect, &srcRect,
                                           &xShift, &yShift),
                      StatusOk);
            const resize_ref::Result ref = resize_ref::Resize(
                image.View(), kW, kH, srcRect, {dstRect.width, dstRect.height}, c.xF, c.yF, 4, kind, xShift, yShift);
            EXPECT_GT(ref.dstW, 0);
            EXPECT_EQ(Compare(ref, dst, poison, c4, kind, false, rowElems, room, dstRect.x, dstRect.y), "");
        }
    }
    // A shift just below one carries the last positions past the image's last pixel,
    // which then stands for them.
    for (const int kind : {InterpLinear, InterpCubic, InterpLanczos}) {
        SCOPED_TRACE("shift near one, kind " + std::to_string(kind));
        const VpiRect roi {kW - 9, kH - 9, 9, 9};
        std::vector<Vps8u> dst(static_cast<std::size_t>(kRoom.width) * 4 * kRoom.height);
        resize_test::Poison(dst);
        const std::vector<Vps8u> poison = dst;
        const double shift = 0.99999995;
        ASSERT_EQ(dspResize(image.Src(), {kW, kH}, image.StepBytes(), roi, dst.data(), kRoom.width * 4, kRoom, 2.0, 2.0,
                            shift, shift, 4, 4, kResize8u, 0, kind),
                  StatusOk);
        const resize_ref::Result ref =
            resize_ref::Resize(image.View(), kW, kH, roi, kRoom, 2.0, 2.0, 4, kind, shift, shift);
        EXPECT_EQ(Compare(ref, dst, poison, c4, kind, false, kRoom.width * 4), "");
    }
}

}  // namespace
}  // namespace dcs
