// Copy, move, set and zero entries. The spectral, resize and double-precision modules
// call some fallbacks (fallback::vpsCopy_64f, vpsMove_64f, vpsZero_*) directly, so they
// exist whatever the registry holds.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsCopy_8u, (const Vps8u* pSrc, Vps8u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsCopy_32f, (const Vps32f* pSrc, Vps32f* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsCopy_64f, (const Vps64f* pSrc, Vps64f* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMove_64f, (const Vps64f* pSrc, Vps64f* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMove_8u, (const Vps8u* pSrc, Vps8u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSet_8u, (Vps8u val, Vps8u* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSet_32s, (Vps32s val, Vps32s* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSet_32f, (Vps32f val, Vps32f* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSet_64f, (Vps64f val, Vps64f* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSet_64fc, (Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_8u, (Vps8u * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_16s, (Vps16s * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_32s, (Vps32s * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_32f, (Vps32f * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_64f, (Vps64f * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsZero_64fc, (Vps64fc * pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpiCopy_32s_C1R,
                (const Vps32s* pSrc, int srcStep, Vps32s* pDst, int dstStep, VpiSize roiSize))

}  // namespace dcs
