// Element-wise entries on complex doubles: Cartesian and polar form, splitting into parts,
// conjugation with and without reversal, copy and overlap-safe move; and a two-sided
// threshold of doubles in place. Checks: -8 for a null pointer first, then -6 for
// len <= 0; the threshold then -18 for levelGT < levelLT or a NaN level. A failing entry
// writes nothing, except that the two passes of vpsCartToPolar_64fc fail independently.
// Outputs that take separate arrays must not overlap their inputs (vpsMove_64fc may).
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// Magnitudes, then phases (-π..π), each pass with its own checks and always both; the
// magnitude pass's error wins.
DCS_DSP_DECLARE(VpsStatus, vpsCartToPolar_64fc, (const Vps64fc* pSrc, double* pDstMagn, double* pDstPhase, int len))
DCS_DSP_DECLARE(VpsStatus, vpsCplxToReal_64fc, (const Vps64fc* pSrc, double* pDstRe, double* pDstIm, int len))
DCS_DSP_DECLARE(VpsStatus, vpsPolarToCart_64fc,
                (const double* pSrcMagn, const double* pSrcPhase, Vps64fc* pDst, int len))
// Values below levelLT (and NaN) become valueLT, values above levelGT valueGT.
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_LTValGTVal_64f_I,
                (double* pSrcDst, int len, double levelLT, double valueLT, double levelGT, double valueGT))
// pSrc may equal pDst.
DCS_DSP_DECLARE(VpsStatus, vpsConj_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))
// pDst[len - 1 - i] = conj(pSrc[i]).
DCS_DSP_DECLARE(VpsStatus, vpsConjFlip_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))
// Ascending copy: overlapping arrays only with pDst below pSrc.
DCS_DSP_DECLARE(VpsStatus, vpsCopy_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))
// Copy between arrays that may overlap in any way.
DCS_DSP_DECLARE(VpsStatus, vpsMove_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))

}  // namespace dcs
