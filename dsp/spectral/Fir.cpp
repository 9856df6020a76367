#include "dsp/spectral/Fir.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/MemoryEntries.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/SpectrumProducts.h"

namespace dcs {

namespace {

constexpr std::int64_t kScratchBytes = 32768;

std::int64_t Up16(std::int64_t n) { return (n + 15) & ~std::int64_t {15}; }

void CopyDoubles(const double* src, double* dst, std::int64_t n)
{
    std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(double));
}

// Σ taps[t]·w[t] over the T taps, in increasing t, extended precision, rounded once.
double TapSum(const double* taps, const double* w, int t)
{
    long double acc = 0.0L;
    for (int i = 0; i < t; ++i)
        acc += static_cast<long double>(taps[i]) * w[i];
    return static_cast<double>(acc);
}

// dst[k] = TapSum(taps, w + k, t) for k < n: four outputs per sweep over the taps, each tap
// loaded once for the four, the last n mod 4 one by one. Each sum is still its own, in the
// same order, so the grouping changes no result.
void TapSums(const double* taps, const double* w, int t, double* dst, int n)
{
    int k = 0;
    for (; k + 4 <= n; k += 4) {
        long double a0 = 0.0L, a1 = 0.0L, a2 = 0.0L, a3 = 0.0L;
        const double* x = w + k;
        for (int i = 0; i < t; ++i) {
            const long double h = taps[i];
            a0 += h * x[i];
            a1 += h * x[i + 1];
            a2 += h * x[i + 2];
            a3 += h * x[i + 3];
        }
        dst[k] = static_cast<double>(a0);
        dst[k + 1] = static_cast<double>(a1);
        dst[k + 2] = static_cast<double>(a2);
        dst[k + 3] = static_cast<double>(a3);
    }
    for (; k < n; ++k)
        dst[k] = TapSum(taps, w + k, t);
}

void FilterDirect(const double* src, double* dst, int n, FirState* s)
{
    const int t = s->tapCount;
    double* w = s->delay + s->delayPos;
    s->delayPos = 0;
    const int b = s->directBlock;
    if (n <= b) {
        CopyDoubles(src, w + t, n);
        TapSums(s->taps, w + 1, t, dst, n);
        fallback::vpsMove_64f(w + n, s->delay, t);
        return;
    }
    CopyDoubles(src, w + t, b);
    const int c = b - 1;
    TapSums(s->taps, w + 1, t, dst, c);
    CopyDoubles(src + (n - t), s->delay, t);
    TapSums(s->taps, src + (c - t + 1), t, dst + c, n - c);
}

VpsStatus FilterBlock(const double* in, double* z, FirState* s)
{
    if (const VpsStatus st = dspFFTFwd_RToPerm_64f(in, z, s->spec, s->fftWork))
        return st;
    dspMulPerm_64f_I(s->tapsSpectrum, z, s->fftSize);
    return dspFFTInv_PermToR_64f(z, z, s->spec, s->fftWork);
}

VpsStatus FilterBlocks(const double* src, double* dst, int n, FirState* s)
{
    const int t = s->tapCount;
    const int g = s->fftSize;
    const int k = g - t + 1;
    double* z = s->block;
    CopyDoubles(s->delay + s->delayPos + 1, z, t - 1);
    s->delayPos = 0;
    if (n <= k) {
        CopyDoubles(src, z + (t - 1), n);
        CopyDoubles(z + (n - 1), s->delay, t);
        std::fill(z + (t - 1 + n), z + g, 0.0);
        if (const VpsStatus st = FilterBlock(z, z, s))
            return st;
        CopyDoubles(z + (t - 1), dst, n);
        return StatusOk;
    }
    CopyDoubles(src, z + (t - 1), k);
    if (const VpsStatus st = FilterBlock(z, z, s))
        return st;
    CopyDoubles(z + (t - 1), dst, k);
    CopyDoubles(src + (n - t), s->delay, t);
    for (int p = k; p < n; p += k) {
        const double* in = src + (p - t + 1);
        const double* from = in;
        if (n - p < g) {
            const int avail = std::min(g, n - (p - t + 1));
            CopyDoubles(in, z, avail);
            std::fill(z + avail, z + g, 0.0);
            from = z;
        }
        if (const VpsStatus st = FilterBlock(from, z, s))
            return st;
        CopyDoubles(z + (t - 1), dst + p, std::min(k, n - p));
    }
    return StatusOk;
}

}  // namespace

VpsStatus dspFIRInitAlloc_64f(FirState** ppState, const double* pTaps, int tapsLen, const double* pDlyLine,
                              std::uint32_t id) noexcept
{
    const std::int64_t t = tapsLen;
    FftSpec* spec = nullptr;
    int workSize = 0;
    std::int64_t g = 0;
    if (t >= 32) {
        const int order = std::bit_width(static_cast<std::uint32_t>(tapsLen)) + 1;
        if (const VpsStatus st = fallback::vpsFFTInitAlloc_R_64f(&spec, order, 2, 0))
            return st;
        if (const VpsStatus st = dspFFTGetBufSize_R_64f(spec, &workSize)) {
            fallback::vpsFFTFree_R_64f(spec);
            return st;
        }
        g = std::int64_t {1} << order;
    }
    const std::int64_t header = Up16(sizeof(FirState));
    const std::int64_t tapsBytes = Up16(8 * t);
    const std::int64_t delayBytes = (24 * t + 47) & ~std::int64_t {15};
    const std::int64_t spectrumBytes = Up16(8 * g);
    const std::int64_t total =
        header + 16 + tapsBytes + delayBytes + 16 + spectrumBytes + workSize + spectrumBytes + kScratchBytes;
    auto* raw = static_cast<Vps8u*>(dspMallocBytes(total));
    if (!raw) {
        if (spec)
            fallback::vpsFFTFree_R_64f(spec);
        return StatusNoMemory;
    }
    auto* s = reinterpret_cast<FirState*>(raw);
    std::memset(s, 0, sizeof *s);
    Vps8u* p = raw + header + 16;
    s->id = id;
    s->taps = reinterpret_cast<double*>(p);
    p += tapsBytes;
    s->delay = reinterpret_cast<double*>(p);
    p += delayBytes;
    s->delayEnd = p;
    p += 16;
    s->tapCount = s->tapCount2 = tapsLen;
    s->directBlock = static_cast<std::int32_t>(((t + 3) & ~std::int64_t {3}) + 1);
    s->delayPos = 0;
    s->owned = 1;
    for (std::int64_t i = 0; i < t; ++i)
        s->taps[i] = pTaps[t - 1 - i];
    for (std::int64_t i = 0; i < t; ++i)
        s->delay[i] = pDlyLine ? pDlyLine[t - 1 - i] : 0.0;
    s->fftSize = -1;
    if (spec) {
        s->spec = spec;
        s->fftSize = static_cast<std::int32_t>(g);
        s->tapsSpectrum = reinterpret_cast<double*>(p);
        p += spectrumBytes;
        s->fftWork = workSize > 0 ? p : nullptr;
        s->fftWorkSize = workSize;
        p += workSize;
        s->block = reinterpret_cast<double*>(p);
        p += spectrumBytes;
        CopyDoubles(pTaps, s->tapsSpectrum, t);
        std::fill(s->tapsSpectrum + t, s->tapsSpectrum + g, 0.0);
        if (const VpsStatus st = dspFFTFwd_RToPerm_64f(s->tapsSpectrum, s->tapsSpectrum, spec, s->fftWork)) {
            fallback::vpsFFTFree_R_64f(spec);
            dspFree(raw);
            return st;
        }
    }
    s->scratch = p;
    // Published only once the state is complete, so a failure leaves the caller's variable.
    *ppState = s;
    return StatusOk;
}

namespace fallback {

VpsStatus vpsFIRInitAlloc_64f(FirState** ppState, const double* pTaps, int tapsLen, const double* pDlyLine)
{
    if (!ppState || !pTaps)
        return StatusNullPointer;
    if (tapsLen <= 0)
        return StatusBadFirLength;
    return dspFIRInitAlloc_64f(ppState, pTaps, tapsLen, pDlyLine, kIdFirState);
}

VpsStatus vpsFIR_64f(const double* pSrc, double* pDst, int numIters, FirState* pState)
{
    if (!pState || !pSrc || !pDst)
        return StatusNullPointer;
    if (numIters <= 0)
        return StatusBadSize;
    // No operation makes multi-rate states, so there are no multi-rate kernels.
    if (pState->id != kIdFirState)
        return StatusWrongContext;
    if (numIters < 512 || pState->fftSize <= 0) {
        FilterDirect(pSrc, pDst, numIters, pState);
        return StatusOk;
    }
    return FilterBlocks(pSrc, pDst, numIters, pState);
}

VpsStatus vpsFIRFree_64f(FirState* pState)
{
    if (!pState)
        return StatusNullPointer;
    if (pState->id != kIdFirState && pState->id != kIdFirState2)
        return StatusWrongContext;
    if (!pState->owned)
        return StatusOk;
    if (pState->spec)
        fallback::vpsFFTFree_R_64f(pState->spec);
    dspFree(pState);
    return StatusOk;
}

VpsStatus vpsFIROne_64f(double src, double* pDstVal, FirState* pState)
{
    if (!pState || !pDstVal)
        return StatusNullPointer;
    if (pState->id != kIdFirState)
        return StatusWrongContext;
    const int t = pState->tapCount;
    int pos = pState->delayPos;
    pState->delay[pos] = src;
    pState->delay[pos + t] = src;
    pos = pos + 1 == t ? 0 : pos + 1;
    pState->delayPos = pos;
    *pDstVal = TapSum(pState->taps, pState->delay + pos, t);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsFIRInitAlloc_64f)
DCS_DSP_DEFINE(vpsFIR_64f)
DCS_DSP_DEFINE(vpsFIRFree_64f)
DCS_DSP_DEFINE(vpsFIROne_64f)

}  // namespace dcs
