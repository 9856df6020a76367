// One level of the Haar wavelet transform of doubles: low = (x0 + x1) / 2 and
// high = (x1 - x0) / 2 per input pair; an odd signal's last sample goes to the low band
// unscaled. The inverse takes len, the length of the signal it rebuilds.
// Checks: -8 null, -6 len <= 0.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsWTHaarFwd_64f, (const double* pSrc, int len, double* pDstLow, double* pDstHigh))
DCS_DSP_DECLARE(VpsStatus, vpsWTHaarInv_64f, (const double* pSrcLow, const double* pSrcHigh, double* pDst, int len))

}  // namespace dcs
