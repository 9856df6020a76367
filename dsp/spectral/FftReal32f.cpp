#include "dsp/spectral/FftReal32f.h"

#include "dsp/spectral/FftTransforms.h"

namespace dcs {

VpsStatus dspFFTInitAlloc_R_32f(FftSpec32f** ppSpec, int order, int flag, int hint) noexcept
{
    return FftSpecCreate<float>(ppSpec, kIdFftSpecReal32f, true, order, flag, hint);
}

VpsStatus dspFFTFree_R_32f(FftSpec32f* pSpec) noexcept { return FftFree(pSpec, kIdFftSpecReal32f); }

VpsStatus dspFFTGetBufSize_R_32f(const FftSpec32f* pSpec, int* pSize) noexcept
{
    return FftBufSize(pSpec, kIdFftSpecReal32f, pSize);
}

VpsStatus dspFFTFwd_RToPerm_32f(const float* pSrc, float* pDst, const FftSpec32f* pSpec, Vps8u* pBuffer) noexcept
{
    return FftRealFwdRun<float>(pSrc, pDst, pSpec, pBuffer, FftLayout::Perm, kIdFftSpecReal32f);
}

}  // namespace dcs
