// 32-bit and byte integer arithmetic with a scale factor (see Sfs in DspCore.h): the exact
// result is formed in 64 bits (a quotient exactly), scaled with ties to even, saturated.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsAddC_32s_ISfs, (Vps32s val, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_32s_Sfs, (const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_32s_ISfs, (Vps32s val, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_32s_Sfs, (const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_32s_ISfs, (Vps32s val, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_32s_Sfs, (const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_32s_ISfs, (Vps32s val, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_32s_Sfs, (const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsAdd_32s_ISfs, (const Vps32s* pSrc, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSub_32s_ISfs, (const Vps32s* pSrc, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsMul_32s_ISfs, (const Vps32s* pSrc, Vps32s* pSrcDst, int len, int scaleFactor))
// A zero divisor stores 0, INT32_MAX or INT32_MIN by the dividend's sign, computes the
// other elements, and returns the warning StatusElementDivideByZero.
DCS_DSP_DECLARE(VpsStatus, vpsDiv_32s_ISfs, (const Vps32s* pSrc, Vps32s* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsAdd_8u_ISfs, (const Vps8u* pSrc, Vps8u* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsSub_8u_ISfs, (const Vps8u* pSrc, Vps8u* pSrcDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsMul_8u_ISfs, (const Vps8u* pSrc, Vps8u* pSrcDst, int len, int scaleFactor))

}  // namespace dcs
