// Every kernel family against the per-pixel reference: element type x layout x factor
// below, at and above 1 x ROI inside the image or on its edges x source step sign.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "dsp/resize/ResizeDriver.h"
#include "dsp/resize/ResizeSuper.h"
#include "dsp/resize/tests/ResizeReference.h"
#include "dsp/resize/tests/ResizeTestImages.h"

namespace dcs {
namespace {

using resize_test::Layout;
using resize_test::TestImage;

constexpr int kW = 16;
constexpr int kH = 14;
constexpr VpiSize kRoom{60, 60};  // more than any result: the rest must stay untouched

struct Factors {
    const char* name;
    double x, y;
};

// Compares one result with the reference; returns a description of the first mismatch.
template <class T>
std::string Compare(const resize_ref::Result& ref, const std::vector<T>& dst, const std::vector<T>& poison,
                    Layout layout, int interpolation, bool wholeBoxes, std::ptrdiff_t dstRowElems)
{
    // Integer linear interpolation and integer sums over whole boxes are exact.
    const bool exact = interpolation == InterpNearest ||
                       (!std::is_floating_point_v<T> && (interpolation == InterpLinear ||
                                                         (interpolation == InterpSuper && wholeBoxes)));
    const long double scale = resize_test::SampleScale<T>();
    for (int i = 0; i < kRoom.height; ++i) {
        for (int j = 0; j < kRoom.width; ++j) {
            for (int e = 0; e < layout.stride; ++e) {
                const std::size_t at = static_cast<std::size_t>(i * dstRowElems + j * layout.stride + e);
                const bool written = i < ref.dstH && j < ref.dstW && e < layout.channels;
                if (!written) {
                    if (std::memcmp(&dst[at], &poison[at], sizeof(T)) != 0)
                        return "element outside the result changed at " + std::to_string(i) + "," + std::to_string(j);
                    continue;
                }
                const long double v = ref.At(i, j, e);
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

template <class T>
void RunTable()
{
    const Factors kFactors[] = {{"below", 0.6, 0.45}, {"whole boxes", 0.5, 0.25}, {"at", 1.0, 1.0}, {"above", 1.7, 2.3}};
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
                        const VpsStatus st =
                            kind == InterpSuper
                                ? dspResizeSuper(image.Src(), {kW, kH}, image.StepBytes(), roi, dst.data(), dstStep,
                                                 kRoom, f.x, f.y, layout.stride, layout.channels, type, 0)
                                : dspResize(image.Src(), {kW, kH}, image.StepBytes(), roi, dst.data(), dstStep,
                                            kRoom, f.x, f.y, 0.0, 0.0, layout.stride, layout.channels, type, 0, kind);
                        ASSERT_EQ(st, StatusOk);
                        const resize_ref::Result ref = resize_ref::Resize(image.View(), kW, kH, roi, kRoom, f.x, f.y,
                                                                          layout.channels, kind);
                        const bool wholeBoxes = std::trunc(1.0L / f.x) == 1.0L / f.x && std::trunc(1.0L / f.y) == 1.0L / f.y;
                        EXPECT_EQ(Compare(ref, dst, poison, layout, kind, wholeBoxes, rowElems), "");
                    }
                }
            }
        }
    }
}

TEST(ResizeKernels, Unsigned8MatchThePerPixelReference)
{
    RunTable<Vps8u>();
}

TEST(ResizeKernels, Unsigned16MatchThePerPixelReference)
{
    RunTable<Vps16u>();
}

TEST(ResizeKernels, FloatMatchThePerPixelReference)
{
    RunTable<Vps32f>();
}

}  // namespace
}  // namespace dcs
