// The double-precision FFT entries: spec creation and release, complex transforms and
// real transforms into and out of the CCS, Pack and Perm layouts (see FftTransforms.h),
// N = 2^order points, order 0..30. Forward uses e^(-2πi·kn/N), inverse e^(+2πi·kn/N);
// neither divides by N unless the spec's flag asks (1: forward by N, 2: inverse by N,
// 4: both by √N, 8: neither). Transforms accept src == dst and an optional work buffer of
// the queried size (aligned up to 16 bytes here; null: allocated per call, -9 if that
// fails). Checks: spec null -8, other kind -17, then src or dst null -8; nothing is
// written when a check fails. Specs are read-only once made, so one spec may serve
// several threads when each call has its own data and work buffer.
#pragma once

#include "dsp/Registry.h"
#include "dsp/spectral/FftSpec.h"

namespace dcs {

// Creates a spec and stores it in *ppSpec (only on success); the caller owns it and
// releases it with the free of its kind. -8 null out, -15 bad order, -9 no memory, -16 bad
// flag. The hint is stored and never read.
DCS_DSP_DECLARE(VpsStatus, vpsFFTInitAlloc_C_64fc, (FftSpec * *ppSpec, int order, int flag, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsFFTInitAlloc_R_64f, (FftSpec * *ppSpec, int order, int flag, int hint))
// Releases a spec of its kind (takes ownership back); -8 null, -17 other kind (untouched).
DCS_DSP_DECLARE(VpsStatus, vpsFFTFree_C_64fc, (FftSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsFFTFree_R_64f, (FftSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsFFTFwd_CToC_64fc,
                (const Vps64fc* pSrc, Vps64fc* pDst, const FftSpec* pSpec, Vps8u* pBuffer))
DCS_DSP_DECLARE(VpsStatus, vpsFFTInv_CToC_64fc,
                (const Vps64fc* pSrc, Vps64fc* pDst, const FftSpec* pSpec, Vps8u* pBuffer))
// pDst holds N + 2 doubles (2 for N = 1).
DCS_DSP_DECLARE(VpsStatus, vpsFFTFwd_RToCCS_64f,
                (const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer))
DCS_DSP_DECLARE(VpsStatus, vpsFFTInv_CCSToR_64f,
                (const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer))

// Not registered; called directly by the convolution, FIR and transform code.
// Work buffer size in bytes: 0 when no buffer is needed. -8 null, -17 other kind.
VpsStatus dspFFTGetBufSize_C_64fc(const FftSpec* pSpec, int* pSize) noexcept;
VpsStatus dspFFTGetBufSize_R_64f(const FftSpec* pSpec, int* pSize) noexcept;
VpsStatus dspFFTFwd_RToPack_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept;
VpsStatus dspFFTInv_PackToR_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept;
VpsStatus dspFFTFwd_RToPerm_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept;
VpsStatus dspFFTInv_PermToR_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept;

}  // namespace dcs
