// Built-in reductions (norms of a difference, mean, sum, standard deviation, minimum and
// maximum, dot products), normalisation and thresholds. Sums run in extended precision and
// are rounded once at the end.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// relOp code of the threshold entries that selects "greater than"; any other is "less than".
inline constexpr int kThresholdGreaterThan = 4;

DCS_DSP_DECLARE(VpsStatus, vpsNormDiff_L1_64f, (const double* pSrc1, const double* pSrc2, int len, double* pNorm))
DCS_DSP_DECLARE(VpsStatus, vpsNormDiff_L2_64f, (const double* pSrc1, const double* pSrc2, int len, double* pNorm))
DCS_DSP_DECLARE(VpsStatus, vpsNormDiff_Inf_64f, (const double* pSrc1, const double* pSrc2, int len, double* pNorm))
DCS_DSP_DECLARE(VpsStatus, vpsMean_64f, (const double* pSrc, int len, double* pMean))
DCS_DSP_DECLARE(VpsStatus, vpsMean_32f, (const float* pSrc, int len, float* pMean, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsSum_64f, (const double* pSrc, int len, double* pSum))
DCS_DSP_DECLARE(VpsStatus, vpsStdDev_64f, (const double* pSrc, int len, double* pStdDev))
DCS_DSP_DECLARE(VpsStatus, vpsMin_64f, (const double* pSrc, int len, double* pMin))
DCS_DSP_DECLARE(VpsStatus, vpsMax_64f, (const double* pSrc, int len, double* pMax))
DCS_DSP_DECLARE(VpsStatus, vpsMinIndx_64f, (const double* pSrc, int len, double* pMin, int* pIndx))
DCS_DSP_DECLARE(VpsStatus, vpsMaxIndx_64f, (const double* pSrc, int len, double* pMax, int* pIndx))
DCS_DSP_DECLARE(VpsStatus, vpsNormalize_64f, (const double* pSrc, double* pDst, int len, double vSub, double vDiv))
DCS_DSP_DECLARE(VpsStatus, vpsNormalize_32f, (const float* pSrc, float* pDst, int len, float vSub, float vDiv))
DCS_DSP_DECLARE(VpsStatus, vpsNormalize_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len, Vps64fc vSub, double vDiv))
DCS_DSP_DECLARE(VpsStatus, vpsDotProd_64f, (const double* pSrc1, const double* pSrc2, int len, double* pDp))
DCS_DSP_DECLARE(VpsStatus, vpsDotProd_64fc, (const Vps64fc* pSrc1, const Vps64fc* pSrc2, int len, Vps64fc* pDp))
DCS_DSP_DECLARE(VpsStatus, vpsDotProd_32s_Sfs,
                (const int32_t* pSrc1, const int32_t* pSrc2, int len, int32_t* pDp, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_32f_I, (float* pSrcDst, int len, float level, int relOp))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_64f_I, (double* pSrcDst, int len, double level, int relOp))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_64f, (const double* pSrc, double* pDst, int len, double level, int relOp))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len, double level, int relOp))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_64fc_I, (Vps64fc * pSrcDst, int len, double level, int relOp))

}  // namespace dcs
