// The double-precision DFT and DCT entries of any length. The complex DFT computes
// dst[k] = s * sum src[n] e^(-2*pi*i*kn/N) forward and with e^(+...) inverse; the real DFT
// maps N reals to the CCS layout (R0, 0, Re R1, Im R1, ..., and R(N/2), 0 for even N:
// N + 2 values, N + 1 for odd N) and back. s is 1 or the spec's scale by its flag:
// 1 scales the forward by 1/N, 2 the inverse by 1/N, 4 both by 1/sqrt(N), 8 neither. The
// DCT pair is the orthonormal DCT-II and its transpose.
// Set-up checks: out null -8, length < 1 -6, spec allocation -9, flag -16 (spec released),
// then any table or FFT failure (everything released); *out is written only on success and
// the caller owns the spec until the free of its kind. Transforms: spec null -8, other kind
// -17, src or dst null -8, own work memory -9 before anything is written. Transforms only
// read the spec: one spec may serve several threads, each with its own buffer or null.
#pragma once

#include <cstdint>

#include "dsp/Registry.h"
#include "dsp/double/DctSpec.h"
#include "dsp/double/DftSpec.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsDFTInitAlloc_C_64fc, (DftSpec * *ppSpec, int length, int flag, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsDFTFree_C_64fc, (DftSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsDFTFwd_CToC_64fc,
                (const Vps64fc* pSrc, Vps64fc* pDst, const DftSpec* pSpec, Vps8u* pBuffer))
DCS_DSP_DECLARE(VpsStatus, vpsDFTInv_CToC_64fc,
                (const Vps64fc* pSrc, Vps64fc* pDst, const DftSpec* pSpec, Vps8u* pBuffer))
DCS_DSP_DECLARE(VpsStatus, vpsDFTInitAlloc_R_64f, (DftSpec * *ppSpec, int length, int flag, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsDFTFree_R_64f, (DftSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsDFTFwd_RToCCS_64f,
                (const double* pSrc, double* pDst, const DftSpec* pSpec, Vps8u* pBuffer))
// src may equal dst.
DCS_DSP_DECLARE(VpsStatus, vpsDFTInv_CCSToR_64f,
                (const double* pSrc, double* pDst, const DftSpec* pSpec, Vps8u* pBuffer))

DCS_DSP_DECLARE(VpsStatus, vpsDCTFwdInitAlloc_64f, (DctSpec * *ppSpec, int length, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsDCTInvInitAlloc_64f, (DctSpec * *ppSpec, int length, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsDCTFwdFree_64f, (DctSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsDCTInvFree_64f, (DctSpec * pSpec))
DCS_DSP_DECLARE(VpsStatus, vpsDCTFwd_64f, (const double* pSrc, double* pDst, const DctSpec* pSpec, Vps8u* pBuffer))
DCS_DSP_DECLARE(VpsStatus, vpsDCTInv_64f, (const double* pSrc, double* pDst, const DctSpec* pSpec, Vps8u* pBuffer))

// Not registered: the work bytes a caller's buffer must hold for transforms on the spec
// (0: none needed). -8 null, -17 not a DFT (DCT) spec.
VpsStatus dspDFTGetBufSize_64f(const DftSpec* pSpec, std::int64_t* pSize) noexcept;
VpsStatus dspDCTGetBufSize_64f(const DctSpec* pSpec, std::int64_t* pSize) noexcept;

}  // namespace dcs
