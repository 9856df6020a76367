#include "dsp/resize/ResizeChecksInternal.h"

#include <algorithm>
#include <cmath>

namespace dcs {

namespace {

bool BadFactor(double f) noexcept { return !(f > 0.0) || !std::isfinite(f); }

VpsStatus FitOne(int roiLen, double factor, int room, int* out) noexcept
{
    const long double scaled = static_cast<long double>(roiLen) * factor + kResizeEpsilon;
    const std::int32_t n = ResizeTrunc(scaled);
    if (n >= room)
        *out = room;
    else if (n > 0)
        *out = n;
    else if (scaled < 0.5L)
        return StatusResizeEmpty;
    else
        *out = 1;
    return StatusOk;
}

}  // namespace

VpsStatus ResizeCheckArgs(const void* pSrc, VpiSize srcSize, VpiRect roi, const void* pDst, VpiSize dstSize,
                          double xFactor, double yFactor) noexcept
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (srcSize.width <= 0 || srcSize.height <= 0 || roi.x < 0 || roi.y < 0 || roi.width <= 0 || roi.height <= 0)
        return StatusBadSize;
    if (roi.x >= srcSize.width || roi.y >= srcSize.height)
        return StatusRoiOutside;
    if (dstSize.width <= 0 || dstSize.height <= 0)
        return StatusBadSize;
    if (BadFactor(xFactor) || BadFactor(yFactor))
        return StatusBadResizeFactor;
    return StatusOk;
}

VpsStatus ResizeFit(VpiSize srcSize, VpiRect* roi, VpiSize dstSize, double xFactor, double yFactor,
                    VpiSize* effective) noexcept
{
    roi->width = std::min(roi->width, srcSize.width - roi->x);
    roi->height = std::min(roi->height, srcSize.height - roi->y);
    if (VpsStatus st = FitOne(roi->width, xFactor, dstSize.width, &effective->width))
        return st;
    return FitOne(roi->height, yFactor, dstSize.height, &effective->height);
}

}  // namespace dcs
