// The five resize entries of the registry. Each resizes a region of interest of an
// interleaved image by independent factors (destination pixels per source pixel) with
// InterpNearest, InterpLinear, InterpCubic, InterpLanczos or, for reductions,
// InterpSuper; steps are in bytes.
#pragma once

#include "dsp/Registry.h"
#include "dsp/resize/ResizeTypes.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpiResize_8u_C3R,
                (const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                 VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation))
DCS_DSP_DECLARE(VpsStatus, vpiResize_8u_C4R,
                (const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                 VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation))
DCS_DSP_DECLARE(VpsStatus, vpiResize_8u_C1R,
                (const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                 VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation))
DCS_DSP_DECLARE(VpsStatus, vpiResize_16u_C1R,
                (const Vps16u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps16u* pDst, int dstStep,
                 VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation))
// The source point (xCenter, yCenter) lands on the destination region's centre; only the
// part of the destination the resized ROI covers is written.
DCS_DSP_DECLARE(VpsStatus, vpiResizeCenter_8u_C4R,
                (const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                 VpiSize dstRoiSize, double xFactor, double yFactor, double xCenter, double yCenter, int interpolation))

}  // namespace dcs
