// The single-precision real FFT: N = 2^order floats (order 0..30) into the Perm layout.
// Flags as for the double entries (only the forward scaling has an effect here). Checks
// and ownership as for the double entries; the spec kind is kIdFftSpecReal32f, and every
// entry answers -17 for a spec of another kind (the double entries do for this one).
#pragma once

#include "dsp/spectral/FftSpec.h"

namespace dcs {

// Stores a new spec in *ppSpec on success; the caller releases it with dspFFTFree_R_32f.
VpsStatus dspFFTInitAlloc_R_32f(FftSpec32f** ppSpec, int order, int flag, int hint) noexcept;
VpsStatus dspFFTFree_R_32f(FftSpec32f* pSpec) noexcept;
VpsStatus dspFFTGetBufSize_R_32f(const FftSpec32f* pSpec, int* pSize) noexcept;
VpsStatus dspFFTFwd_RToPerm_32f(const float* pSrc, float* pDst, const FftSpec32f* pSpec, Vps8u* pBuffer) noexcept;

}  // namespace dcs
