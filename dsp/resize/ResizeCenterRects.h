// Turns the centre-based arguments of the centred resize entry into an ordinary source
// ROI, a destination rectangle and a sub-pixel source shift.
#pragma once

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// The source point (xCenter, yCenter) lands on the destination's centre. Checks as the
// drivers do (sizes -6, ROI origin outside +29, destination size -6, factors -23), then a
// NaN or infinite centre, or a ROI edge landing outside the int32 range, gives -6. The
// results are written only on StatusOk; a rectangle that comes out empty or outside the
// image is left for the driver that receives it to report.
VpsStatus dspResizeCenterRects(VpiSize srcSize, VpiRect roi, VpiSize dstSize, double xFactor, double yFactor,
                               double xCenter, double yCenter, VpiRect* dstRect, VpiRect* srcRect, double* xShift,
                               double* yShift) noexcept;

}  // namespace dcs
