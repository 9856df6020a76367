// The argument checks and the region and destination sizing that the general and the
// supersampling resize drivers share.
#pragma once

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// In this order: a null pointer (-8); a source size, ROI size or negative ROI origin
// (-6); the ROI origin outside the source (+29); a destination size (-6); a factor that
// is 0 or less, NaN or infinite (-23). StatusOk when all pass.
VpsStatus ResizeCheckArgs(const void* pSrc, VpiSize srcSize, VpiRect roi, const void* pDst, VpiSize dstSize,
                          double xFactor, double yFactor) noexcept;

// Clips the ROI to the source and derives the effective destination size: the scaled
// ROI truncated after adding 1e-7, at most the destination's room, raised to 1 when the
// scaled ROI is at least half a pixel. StatusResizeEmpty (width decided first) when it is
// less. Expects arguments that passed ResizeCheckArgs.
VpsStatus ResizeFit(VpiSize srcSize, VpiRect* roi, VpiSize dstSize, double xFactor, double yFactor,
                    VpiSize* effective) noexcept;

}  // namespace dcs
