// Double FIR filtering of a stream in successive calls (state in FirState.h).
// Checks: null pointers -8 before sizes (-6, -26 for tapsLen <= 0), then the state's id
// (-17); nothing is touched when a check fails. Source and destination must not overlap.
// A state serves one stream and must not be used by two threads at once.
#pragma once

#include "dsp/Registry.h"
#include "dsp/spectral/FirState.h"

namespace dcs {

// Makes a state (owned by the caller, stored in *ppState only on success).
DCS_DSP_DECLARE(VpsStatus, vpsFIRInitAlloc_64f,
                (FirState * *ppState, const double* pTaps, int tapsLen, const double* pDlyLine))
DCS_DSP_DECLARE(VpsStatus, vpsFIR_64f, (const double* pSrc, double* pDst, int numIters, FirState* pState))
// Releases an owned state (takes ownership back).
DCS_DSP_DECLARE(VpsStatus, vpsFIRFree_64f, (FirState * pState))
// Filters one sample, advancing the state's delay position.
DCS_DSP_DECLARE(VpsStatus, vpsFIROne_64f, (double src, double* pDstVal, FirState* pState))

}  // namespace dcs
