// Single-precision IIR filters (any order, biquad cascade) and the float multiply and
// divide by a constant. States are the records of dsp/spectral/IirSetup.h.
// Checks: null pointers -8 first, then sizes (-6, -25 for a bad order or section count),
// then the state's id (-17); nothing is written when a check fails.
// A state is modified by filtering: one state serves one stream at a time.
#pragma once

#include "dsp/Registry.h"
#include "dsp/spectral/IirSetup.h"

namespace dcs {

// Taps b0..bN, a0..aN; delay line N values or null. Makes an owned state, stored in
// *ppState only on success (the caller releases it with vpsIIRFree_32f). -9, -10.
DCS_DSP_DECLARE(VpsStatus, vpsIIRInitAlloc_32f,
                (IirState32f * *ppState, const float* pTaps, int order, const float* pDlyLine))
// Releases an owned state (takes ownership back); a state in a caller's buffer is left.
DCS_DSP_DECLARE(VpsStatus, vpsIIRFree_32f, (IirState32f * pState))
// Builds a cascade in pBuf (6 taps per section b0, b1, b2, a0, a1, a2); *ppState is
// written only on success. -10 for a section's a0 or b0 zero or NaN: the buffer then
// holds no valid state.
DCS_DSP_DECLARE(VpsStatus, vpsIIRInit_BiQuad_32f,
                (IirState32f * *ppState, const float* pTaps, int numBq, const float* pDlyLine, Vps8u* pBuf))
DCS_DSP_DECLARE(VpsStatus, vpsIIRGetStateSize_BiQuad_32f, (int numBq, int* pSize))
DCS_DSP_DECLARE(VpsStatus, vpsIIR_32f, (const float* pSrc, float* pDst, int len, IirState32f* pState))
DCS_DSP_DECLARE(VpsStatus, vpsIIR_32f_I, (float* pSrcDst, int len, IirState32f* pState))
// val 1.0 copies, 0.0 zeroes, else products rounded to float.
DCS_DSP_DECLARE(VpsStatus, vpsMulC_32f, (const float* pSrc, float val, float* pDst, int len))
// -10 for val zero or NaN (nothing written).
DCS_DSP_DECLARE(VpsStatus, vpsDivC_32f_I, (float val, float* pSrcDst, int len))

}  // namespace dcs
