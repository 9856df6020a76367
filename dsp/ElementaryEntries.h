// Built-in elementary functions on doubles (abs, square, square root, exponential,
// logarithm), complex square and square root, and the complex-to-real reductions (power
// spectrum, phase, magnitude, Euclidean norm).
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsAbs_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAbs_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqr_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqr_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqrt_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqrt_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsExp_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsExp_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsLn_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsLn_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqr_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqr_64fc_I, (Vps64fc * pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqrt_64fc, (const Vps64fc* pSrc, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSqrt_64fc_I, (Vps64fc * pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsPowerSpectr_64fc, (const Vps64fc* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsPhase_64fc, (const Vps64fc* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMagnitude_64fc, (const Vps64fc* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsNorm_L2_64fc64f, (const Vps64fc* pSrc, int len, double* pNorm))

}  // namespace dcs
