// Auto- and cross-correlation of real and complex vectors, direct for few lags, else by
// FFT (SpectralPaths.h). Autocorrelation: r[k] = Σ conj(x[n])·x[n + k] for k below
// min(srcLen, dstLen), 0.0 after; NormA divides by srcLen, NormB by srcLen - k.
// Cross-correlation: c[n] = Σ conj(s1[m])·s2[m + lowLag + n], lags without overlap 0.0.
// Checks: null -8, a length <= 0 -6, nothing written; FFT statuses are passed on (-15 for
// sizes above order 30). On a later failure only the zero regions may have been written.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_64f, (const double* pSrc, int srcLen, double* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_NormA_64f, (const double* pSrc, int srcLen, double* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_NormB_64f, (const double* pSrc, int srcLen, double* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsCrossCorr_64f,
                (const double* pSrc1, int len1, const double* pSrc2, int len2, double* pDst, int dstLen, int lowLag))
DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_64fc, (const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_NormA_64fc, (const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsAutoCorr_NormB_64fc, (const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen))
DCS_DSP_DECLARE(VpsStatus, vpsCrossCorr_64fc,
                (const Vps64fc* pSrc1, int len1, const Vps64fc* pSrc2, int len2, Vps64fc* pDst, int dstLen, int lowLag))

}  // namespace dcs
