// The complex DFT entries: plan choice by length and the runs of each plan.
#include "dsp/DspCore.h"
#include "dsp/double/DftChirpInternal.h"
#include "dsp/double/DftCodeletsInternal.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/DftMixedRadix.h"
#include "dsp/spectral/FftEntries.h"

namespace dcs {

namespace {

void ReleaseComplex(DftSpec* spec)
{
    if (spec->fft)
        fallback::vpsFFTFree_C_64fc(spec->fft);
    dspDFTSpecFree(spec);
}

// Mixed radix, direct table or chirp-z for n > 4 not a power of two.
VpsStatus PlanComplex(DftSpec* spec, int n)
{
    Vps64fc* roots = dspDFTTwiddles_64fc(n);
    if (!roots)
        return StatusNoMemory;
    VpsStatus st = StatusOk;
    if (dspDFTFactorize(spec, n)) {
        spec->mixedRadix = 1;
        st = dspDFTMixedRadixInit_64fc(spec, n, roots, n);
    } else if (n <= kDftMaxLastFactor) {
        spec->directRoots = dspDFTTwiddleSubset_64fc(n, roots, n);
        st = spec->directRoots ? StatusOk : StatusNoMemory;
        spec->workSize = 16 * static_cast<std::int64_t>(n) + 16;
    } else {
        st = dspDFTChirpInit_64fc(spec, n, roots, n);
    }
    dspFree(roots);
    return st;
}

template <bool Inv> VpsStatus RunComplex(const Vps64fc* src, Vps64fc* dst, const DftSpec* spec, Vps8u* buffer)
{
    if (!spec)
        return StatusNullPointer;
    if (spec->id != kIdDftSpecComplex)
        return StatusWrongContext;
    if (!src || !dst)
        return StatusNullPointer;
    const int n = spec->length;
    const bool scaled = Inv ? spec->inverseScaled : spec->forwardScaled;
    if (n <= 4) {
        const auto& table = Inv ? kDftInvCodelets_64fc : kDftFwdCodelets_64fc;
        if (scaled)
            table.scaled[n - 1](src, dst, spec->scale);
        else
            table.plain[n - 1](src, dst);
        return StatusOk;
    }
    DftWork work(spec->workSize, buffer);
    if (!work.ok())
        return StatusNoMemory;
    VpsStatus st = StatusOk;
    if (spec->powerOfTwo) {
        return Inv ? fallback::vpsFFTInv_CToC_64fc(src, dst, spec->fft, work.get())
                   : fallback::vpsFFTFwd_CToC_64fc(src, dst, spec->fft, work.get());
    } else if (spec->mixedRadix) {
        if (Inv)
            dspDFTMixedRadixInv_64fc(spec, src, dst, work.get());
        else
            dspDFTMixedRadixFwd_64fc(spec, src, dst, work.get());
    } else if (n > kDftMaxLastFactor) {
        st = dspDFTChirp_64fc(spec, src, dst, n, Inv ? -1 : 1, work.get());
    } else {
        dspDFTDirect_64fc(src, dst, n, Inv ? -1 : 1, spec->directRoots, work.get());
    }
    if (scaled && st == StatusOk)
        dspScale_64f_I(spec->scale, &dst->re, 2 * n);
    return st;
}

}  // namespace

namespace fallback {

VpsStatus vpsDFTInitAlloc_C_64fc(DftSpec** ppSpec, int length, int flag, int hint)
{
    if (!ppSpec)
        return StatusNullPointer;
    if (length < 1)
        return StatusBadSize;
    DftSpec* spec = nullptr;
    VpsStatus st = DftSpecAlloc(&spec, kIdDftSpecComplex, length, flag, hint);
    if (st != StatusOk)
        return st;
    if (length > 4 && DftIsPowerOfTwo(length)) {
        spec->powerOfTwo = 1;
        st = fallback::vpsFFTInitAlloc_C_64fc(&spec->fft, DftLog2(length), flag, hint);
        if (st == StatusOk)
            spec->workSize = DftFftWorkSize(spec->fft, false);
    } else if (length > 4) {
        st = PlanComplex(spec, length);
    }
    if (st != StatusOk) {
        ReleaseComplex(spec);
        return st;
    }
    *ppSpec = spec;
    return StatusOk;
}

VpsStatus vpsDFTFree_C_64fc(DftSpec* pSpec)
{
    if (!pSpec)
        return StatusNullPointer;
    if (pSpec->id != kIdDftSpecComplex)
        return StatusWrongContext;
    ReleaseComplex(pSpec);
    return StatusOk;
}

VpsStatus vpsDFTFwd_CToC_64fc(const Vps64fc* pSrc, Vps64fc* pDst, const DftSpec* pSpec, Vps8u* pBuffer)
{
    return RunComplex<false>(pSrc, pDst, pSpec, pBuffer);
}

VpsStatus vpsDFTInv_CToC_64fc(const Vps64fc* pSrc, Vps64fc* pDst, const DftSpec* pSpec, Vps8u* pBuffer)
{
    return RunComplex<true>(pSrc, pDst, pSpec, pBuffer);
}

}  // namespace fallback

VpsStatus dspDFTGetBufSize_64f(const DftSpec* pSpec, std::int64_t* pSize) noexcept
{
    if (!pSpec || !pSize)
        return StatusNullPointer;
    if (pSpec->id != kIdDftSpecComplex && pSpec->id != kIdDftSpecReal)
        return StatusWrongContext;
    *pSize = pSpec->workSize;
    return StatusOk;
}

}  // namespace dcs
