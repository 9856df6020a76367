// Element-wise products of real spectra in the Pack and Perm layouts, used by the
// convolution, correlation and FIR code. Checks: null -8, count <= 0 -6, nothing written.
#pragma once

#include "dsp/DspTypes.h"

namespace dcs {

// pSrcDst := pSrc · conj(pSrcDst), Pack layout of n values. pSrc may equal pSrcDst.
VpsStatus dspMulPackConj_64f_I(const double* pSrc, double* pSrcDst, int n) noexcept;
// pSrcDst := pSrc · pSrcDst, Perm layout of n values.
VpsStatus dspMulPerm_64f_I(const double* pSrc, double* pSrcDst, int n) noexcept;

}  // namespace dcs
