// Bitwise logic, shifts, integer thresholds and byte swaps on 32-bit words. Shift counts of
// 32 or more are defined: a left shift gives 0, an arithmetic right shift gives -1 for
// negative elements and 0 for the others; a negative count is StatusBadShift.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsAndC_32u_I, (Vps32u val, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsOrC_32u_I, (Vps32u val, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsXorC_32u_I, (Vps32u val, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAnd_32u_I, (const Vps32u* pSrc, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsOr_32u_I, (const Vps32u* pSrc, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsXor_32u_I, (const Vps32u* pSrc, Vps32u* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAndC_32u, (const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsOrC_32u, (const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsXorC_32u, (const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsLShiftC_32s, (const Vps32s* pSrc, int val, Vps32s* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsRShiftC_32s, (const Vps32s* pSrc, int val, Vps32s* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsLShiftC_32s_I, (int val, Vps32s* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsRShiftC_32s_I, (int val, Vps32s* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_LT_32s_I, (Vps32s * pSrcDst, int len, Vps32s level))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_GT_32s_I, (Vps32s * pSrcDst, int len, Vps32s level))
DCS_DSP_DECLARE(VpsStatus, vpsSwapBytes_16u, (const Vps16u* pSrc, Vps16u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSwapBytes_24u, (const Vps8u* pSrc, Vps8u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSwapBytes_32u, (const Vps32u* pSrc, Vps32u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSwapBytes_32u_I, (Vps32u * pSrcDst, int len))

}  // namespace dcs
