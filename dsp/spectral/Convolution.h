// Linear convolution of two real vectors: direct for short inputs, one real FFT, or
// overlap-save blocks when one input is at least three times the other (SpectralPaths.h).
// Checks: null -8, a length <= 0 -6; FFT set-up and transform statuses are passed on
// (-15 when the output would need an FFT above order 30). Nothing is written on failure.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// pDst receives len1 + len2 - 1 values.
DCS_DSP_DECLARE(VpsStatus, vpsConv_64f, (const double* pSrc1, int len1, const double* pSrc2, int len2, double* pDst))

}  // namespace dcs
