// Signal vector fallbacks beside the filters: float sum and square, conversions between
// float planes and small integers, down-sampling, a periodicity estimate and a DC-offset
// compensator. Checks: null pointers -8 first, then sizes (-6) and the entry's own.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// Two extended-precision sums over elements 0, 2 and 1, 3 of each group of four, the
// remainder added last; stored as a float. The hint is ignored.
DCS_DSP_DECLARE(VpsStatus, vpsSum_32f, (const float* pSrc, int len, float* pSum, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsSqr_32f_I, (float* pSrcDst, int len))
// Exact conversions to float; steps in bytes (-14 for a step <= 0).
DCS_DSP_DECLARE(VpsStatus, vpiConvert_16s32f_C1R,
                (const Vps16s* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi))
DCS_DSP_DECLARE(VpsStatus, vpiConvert_8s32f_C1R,
                (const Vps8s* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi))
// Saturating conversions; roundMode 1 rounds halves to even, any other mode truncates;
// NaN gives 0.
DCS_DSP_DECLARE(VpsStatus, vpiConvert_32f16s_C1R,
                (const float* pSrc, int srcStep, Vps16s* pDst, int dstStep, VpiSize roi, int roundMode))
DCS_DSP_DECLARE(VpsStatus, vpiConvert_32f8s_C1R,
                (const float* pSrc, int srcStep, Vps8s* pDst, int dstStep, VpiSize roi, int roundMode))
// Takes pSrc[phase], pSrc[phase + factor], ...; *pPhase becomes the next block's phase.
// -31 for factor <= 0, -30 for a phase outside 0..factor-1.
DCS_DSP_DECLARE(VpsStatus, vpsSampleDown_32f,
                (const float* pSrc, int srcLen, float* pDst, int* pDstLen, int factor, int* pPhase))
// The period in minPeriod..maxPeriod that best explains the signal (0 when none does).
// -7 for minPeriod < 6 or >= maxPeriod; -119 for maxPeriod >= len, len > 1024 or
// 16·minPeriod < len.
DCS_DSP_DECLARE(VpsStatus, vpsPeriodicityLSPE_32f,
                (const float* pSrc, int len, float* pRecurSize, int* pPeriod, int maxPeriod, int minPeriod))
// y[n] = x[n] - x[n-1] + val·y[n-1] in place; *pSrcLast becomes the last input sample.
DCS_DSP_DECLARE(VpsStatus, vpsCompensateOffset_32f_I,
                (float* pSrcDst, int len, float* pSrcLast, float dstLast, float val))

}  // namespace dcs
