#include "dsp/resize/ResizeCenterRects.h"

#include <algorithm>
#include <cmath>

#include "dsp/DspCore.h"
#include "dsp/resize/ResizeChecksInternal.h"

namespace dcs {

namespace {

bool InInt32(double v) noexcept { return v >= static_cast<double>(INT32_MIN) && v <= static_cast<double>(INT32_MAX); }

// One axis of both rectangles and the shift.
struct Axis {
    int dstOrigin;
    int dstLen;
    int srcOrigin;
    int srcLen;
    double shift;
};

// edge: where the ROI's first pixel lands in the destination.
Axis CenterAxis(double edge, int len, int dstLen, double factor, double centre) noexcept
{
    const double half = dstLen / 2.0;
    const double first = dspCeil(edge);
    const int x0 = first < 0.0 ? 0 : static_cast<int>(first);
    const std::int64_t end = ResizeTrunc(std::min(edge + factor * len, static_cast<double>(dstLen)));
    const double s = centre + (x0 - half) / factor;
    const std::int32_t sx = ResizeTrunc(s);
    const double width = dspCeil(std::min((dstLen - edge) / factor, static_cast<double>(len)));
    return Axis {x0, static_cast<int>(std::max<std::int64_t>(end - x0, 0)), sx, static_cast<int>(width), s - sx};
}

}  // namespace

VpsStatus dspResizeCenterRects(VpiSize srcSize, VpiRect roi, VpiSize dstSize, double xFactor, double yFactor,
                               double xCenter, double yCenter, VpiRect* dstRect, VpiRect* srcRect, double* xShift,
                               double* yShift) noexcept
{
    // The pointers are the entry's own; only the region, sizes and factors are checked.
    static const char kAny = 0;
    if (VpsStatus st = ResizeCheckArgs(&kAny, srcSize, roi, &kAny, dstSize, xFactor, yFactor))
        return st;
    if (!std::isfinite(xCenter) || !std::isfinite(yCenter))
        return StatusBadSize;
    roi.width = std::min(roi.width, srcSize.width - roi.x);
    roi.height = std::min(roi.height, srcSize.height - roi.y);
    const double f = dstSize.width / 2.0 + xFactor * (roi.x - xCenter);
    const double g = dstSize.height / 2.0 + yFactor * (roi.y - yCenter);
    if (!InInt32(f) || !InInt32(g))
        return StatusBadSize;
    const Axis x = CenterAxis(f, roi.width, dstSize.width, xFactor, xCenter);
    const Axis y = CenterAxis(g, roi.height, dstSize.height, yFactor, yCenter);
    *dstRect = VpiRect {x.dstOrigin, y.dstOrigin, x.dstLen, y.dstLen};
    *srcRect = VpiRect {x.srcOrigin, y.srcOrigin, x.srcLen, y.srcLen};
    *xShift = x.shift;
    *yShift = y.shift;
    return StatusOk;
}

}  // namespace dcs
