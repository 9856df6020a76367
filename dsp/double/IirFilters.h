// Double-precision IIR filters: any order from one numerator and one denominator, or a
// cascade of biquad sections. The state is the record of dsp/spectral/IirSetup.h over
// double, in one aligned block with its taps (divided by a0) and its delay line, which
// carries over from one call to the next: a signal filtered block by block gives the
// output of one call over the whole signal.
// Checks: null pointers -8 first, then -25 for an order < 0 or a section count <= 0 (set-up)
// or -6 for len <= 0 (filtering), then the state's id (-17); nothing is written when a check
// fails. A state is modified by filtering: one state serves one stream at a time.
#pragma once

#include "dsp/Registry.h"
#include "dsp/spectral/IirSetup.h"

namespace dcs {

using IirState64f = IirStateT<double>;

// Taps b0..bN, a0..aN; delay line N values or null (not read for order 0). Makes a state
// that the caller owns until vpsIIRFree_64f; *ppState is written only on success.
// -9 no memory, -10 for a0 zero or NaN.
DCS_DSP_DECLARE(VpsStatus, vpsIIRInitAlloc_64f,
                (IirState64f * *ppState, const double* pTaps, int order, const double* pDlyLine))
// Six taps per section b0, b1, b2, a0, a1, a2; delay line d0, d1 per section or null.
// Ownership as above; -10 also for a section's b0 zero or NaN.
DCS_DSP_DECLARE(VpsStatus, vpsIIRInitAlloc_BiQuad_64f,
                (IirState64f * *ppState, const double* pTaps, int numBq, const double* pDlyLine))
// pSrc may equal pDst.
DCS_DSP_DECLARE(VpsStatus, vpsIIR_64f, (const double* pSrc, double* pDst, int len, IirState64f* pState))
// Takes the state back and releases it.
DCS_DSP_DECLARE(VpsStatus, vpsIIRFree_64f, (IirState64f * pState))

// Block sizes requested for a state (0 when they do not fit 32 bits).
int dspIIRStateSize_64f(int order) noexcept;
int dspIIRStateSizeBiQuad_64f(int numBq) noexcept;

}  // namespace dcs
