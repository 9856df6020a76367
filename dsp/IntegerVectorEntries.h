#pragma once

#include "dsp/Registry.h"

// Registry entries for 8-bit unsigned and 16-bit signed vectors and image planes:
// arithmetic with and without a constant (scale-factor rule of the Sfs entries), fills,
// copies and conversions between integer widths and floats.
//
// Image forms take (pointer, row step in bytes) per image and the region size by
// value. A channel of interleaved audio is an image column: width 1, one row per
// frame, row step = frame size.
namespace dcs {

// Two-operand image arithmetic in place: d := d op s.
DCS_DSP_DECLARE(VpsStatus, vpiAdd_8u_C1IRSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiAdd_16s_C1IRSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSub_8u_C1IRSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSub_16s_C1IRSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMul_8u_C1IRSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMul_16s_C1IRSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDiv_8u_C1IRSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDiv_16s_C1IRSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))

// Division by a constant.
DCS_DSP_DECLARE(VpsStatus, vpsDivC_16s_ISfs, (Vps16s value, Vps16s* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_16s_Sfs, (const Vps16s* pSrc, Vps16s value, Vps16s* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_8u_Sfs, (const Vps8u* pSrc, Vps8u value, Vps8u* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDivC_8u_C1IRSfs, (Vps8u value, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDivC_8u_C1RSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u value, Vps8u* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDivC_16s_C1IRSfs, (Vps16s value, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiDivC_16s_C1RSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s value, Vps16s* pDst, int dstStep, VpiSize roi, int sf))

// Fills.
DCS_DSP_DECLARE(VpsStatus, vpsSet_16s, (Vps16s value, Vps16s* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpiSet_8u_C1R, (Vps8u value, Vps8u* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiSet_16s_C1R, (Vps16s value, Vps16s* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiSet_32s_C1R, (Vps32s value, Vps32s* pDst, int dstStep, VpiSize roi))

// Arithmetic with a constant: vector forms in place and out of place, image forms in
// place and out of place.
DCS_DSP_DECLARE(VpsStatus, vpsAddC_8u_ISfs, (Vps8u value, Vps8u* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_8u_Sfs, (const Vps8u* pSrc, Vps8u value, Vps8u* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_16s_ISfs, (Vps16s value, Vps16s* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_16s_Sfs, (const Vps16s* pSrc, Vps16s value, Vps16s* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiAddC_8u_C1IRSfs, (Vps8u value, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiAddC_8u_C1RSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u value, Vps8u* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiAddC_16s_C1IRSfs, (Vps16s value, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiAddC_16s_C1RSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s value, Vps16s* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_8u_ISfs, (Vps8u value, Vps8u* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_8u_Sfs, (const Vps8u* pSrc, Vps8u value, Vps8u* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_16s_ISfs, (Vps16s value, Vps16s* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_16s_Sfs, (const Vps16s* pSrc, Vps16s value, Vps16s* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSubC_8u_C1IRSfs, (Vps8u value, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSubC_8u_C1RSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u value, Vps8u* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSubC_16s_C1IRSfs, (Vps16s value, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiSubC_16s_C1RSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s value, Vps16s* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_8u_ISfs, (Vps8u value, Vps8u* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_8u_Sfs, (const Vps8u* pSrc, Vps8u value, Vps8u* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_16s_ISfs, (Vps16s value, Vps16s* pSrcDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_16s_Sfs, (const Vps16s* pSrc, Vps16s value, Vps16s* pDst, int len, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMulC_8u_C1IRSfs, (Vps8u value, Vps8u* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMulC_8u_C1RSfs,
                (const Vps8u* pSrc, int srcStep, Vps8u value, Vps8u* pDst, int dstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMulC_16s_C1IRSfs, (Vps16s value, Vps16s* pSrcDst, int srcDstStep, VpiSize roi, int sf))
DCS_DSP_DECLARE(VpsStatus, vpiMulC_16s_C1RSfs,
                (const Vps16s* pSrc, int srcStep, Vps16s value, Vps16s* pDst, int dstStep, VpiSize roi, int sf))

// Copies and conversions.
DCS_DSP_DECLARE(VpsStatus, vpsConvert_8s16s, (const Vps8s* pSrc, Vps16s* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpiCopy_8u_C1R, (const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiCopy_16s_C1R, (const Vps16s* pSrc, int srcStep, Vps16s* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiConvert_8u32f_C1R,
                (const Vps8u* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiConvert_32f8u_C1R,
                (const float* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roi, int roundMode))
DCS_DSP_DECLARE(VpsStatus, vpiScale_16u8u_C1R,
                (const Vps16u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roi, int hint))
DCS_DSP_DECLARE(VpsStatus, vpiScale_8u16u_C1R, (const Vps8u* pSrc, int srcStep, Vps16u* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiScale_8u16s_C1R, (const Vps8u* pSrc, int srcStep, Vps16s* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiScale_8u32s_C1R, (const Vps8u* pSrc, int srcStep, Vps32s* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiScale_16s8u_C1R,
                (const Vps16s* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roi, int hint))
DCS_DSP_DECLARE(VpsStatus, vpiScale_32s8u_C1R,
                (const Vps32s* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roi, int hint))

}  // namespace dcs
