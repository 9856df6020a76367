#include "dsp/spectral/FftEntries.h"

#include "dsp/spectral/FftTransforms.h"

namespace dcs {

namespace fallback {

VpsStatus vpsFFTInitAlloc_C_64fc(FftSpec** ppSpec, int order, int flag, int hint)
{
    return FftSpecCreate<double>(ppSpec, kIdFftSpecComplex, false, order, flag, hint);
}

VpsStatus vpsFFTInitAlloc_R_64f(FftSpec** ppSpec, int order, int flag, int hint)
{
    return FftSpecCreate<double>(ppSpec, kIdFftSpecReal, true, order, flag, hint);
}

VpsStatus vpsFFTFree_C_64fc(FftSpec* pSpec) { return FftFree(pSpec, kIdFftSpecComplex); }

VpsStatus vpsFFTFree_R_64f(FftSpec* pSpec) { return FftFree(pSpec, kIdFftSpecReal); }

VpsStatus vpsFFTFwd_CToC_64fc(const Vps64fc* pSrc, Vps64fc* pDst, const FftSpec* pSpec, Vps8u* pBuffer)
{
    return FftComplexRun<false>(pSrc, pDst, pSpec, pBuffer);
}

VpsStatus vpsFFTInv_CToC_64fc(const Vps64fc* pSrc, Vps64fc* pDst, const FftSpec* pSpec, Vps8u* pBuffer)
{
    return FftComplexRun<true>(pSrc, pDst, pSpec, pBuffer);
}

VpsStatus vpsFFTFwd_RToCCS_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer)
{
    return FftRealFwdRun<double>(pSrc, pDst, pSpec, pBuffer, FftLayout::Ccs, kIdFftSpecReal);
}

VpsStatus vpsFFTInv_CCSToR_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer)
{
    return FftRealInvRun(pSrc, pDst, pSpec, pBuffer, FftLayout::Ccs);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsFFTInitAlloc_C_64fc)
DCS_DSP_DEFINE(vpsFFTInitAlloc_R_64f)
DCS_DSP_DEFINE(vpsFFTFree_C_64fc)
DCS_DSP_DEFINE(vpsFFTFree_R_64f)
DCS_DSP_DEFINE(vpsFFTFwd_CToC_64fc)
DCS_DSP_DEFINE(vpsFFTInv_CToC_64fc)
DCS_DSP_DEFINE(vpsFFTFwd_RToCCS_64f)
DCS_DSP_DEFINE(vpsFFTInv_CCSToR_64f)

VpsStatus dspFFTGetBufSize_C_64fc(const FftSpec* pSpec, int* pSize) noexcept
{
    return FftBufSize(pSpec, kIdFftSpecComplex, pSize);
}

VpsStatus dspFFTGetBufSize_R_64f(const FftSpec* pSpec, int* pSize) noexcept
{
    return FftBufSize(pSpec, kIdFftSpecReal, pSize);
}

VpsStatus dspFFTFwd_RToPack_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept
{
    return FftRealFwdRun<double>(pSrc, pDst, pSpec, pBuffer, FftLayout::Pack, kIdFftSpecReal);
}

VpsStatus dspFFTInv_PackToR_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept
{
    return FftRealInvRun(pSrc, pDst, pSpec, pBuffer, FftLayout::Pack);
}

VpsStatus dspFFTFwd_RToPerm_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept
{
    return FftRealFwdRun<double>(pSrc, pDst, pSpec, pBuffer, FftLayout::Perm, kIdFftSpecReal);
}

VpsStatus dspFFTInv_PermToR_64f(const double* pSrc, double* pDst, const FftSpec* pSpec, Vps8u* pBuffer) noexcept
{
    return FftRealInvRun(pSrc, pDst, pSpec, pBuffer, FftLayout::Perm);
}

// In the start-up order of the main vector fallbacks.
constexpr DspEntryDef kFftEntries[] = {
    DCS_DSP_ENTRY(vpsFFTFree_C_64fc),      DCS_DSP_ENTRY(vpsFFTFree_R_64f),      DCS_DSP_ENTRY(vpsFFTFwd_RToCCS_64f),
    DCS_DSP_ENTRY(vpsFFTInitAlloc_C_64fc), DCS_DSP_ENTRY(vpsFFTInitAlloc_R_64f), DCS_DSP_ENTRY(vpsFFTInv_CCSToR_64f),
    DCS_DSP_ENTRY(vpsFFTInv_CToC_64fc),    DCS_DSP_ENTRY(vpsFFTFwd_CToC_64fc),
};

// The signal vector fallbacks list the three real names again: the same entries.
constexpr DspEntryDef kSignalFftEntries[] = {
    DCS_DSP_ENTRY(vpsFFTFwd_RToCCS_64f),
    DCS_DSP_ENTRY(vpsFFTInitAlloc_R_64f),
    DCS_DSP_ENTRY(vpsFFTFree_R_64f),
};

void RegisterFftEntries(DspRegistrar& r) { r.Add(kFftEntries); }

void RegisterSignalFftEntries(DspRegistrar& r) { r.Add(kSignalFftEntries); }

}  // namespace dcs
