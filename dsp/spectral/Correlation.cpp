#include "dsp/spectral/Correlation.h"

#include <algorithm>
#include <cstring>

#include "dsp/FloatEntries.h"
#include "dsp/spectral/SpectralPaths.h"
#include "dsp/spectral/SpectralScratchInternal.h"
#include "dsp/spectral/SpectrumProducts.h"

namespace dcs {

namespace {

constexpr bool IsComplex(const double*) { return false; }
constexpr bool IsComplex(const Vps64fc*) { return true; }

// Σ conj(x[i])·y[i] in increasing i, accumulated in extended precision, rounded once.
double CorrSum(const double* x, const double* y, std::int64_t n)
{
    long double acc = 0.0L;
    for (std::int64_t i = 0; i < n; ++i)
        acc += static_cast<long double>(x[i]) * y[i];
    return static_cast<double>(acc);
}

Vps64fc CorrSum(const Vps64fc* x, const Vps64fc* y, std::int64_t n)
{
    long double re = 0.0L, im = 0.0L;
    for (std::int64_t i = 0; i < n; ++i) {
        const long double xr = x[i].re, xi = x[i].im;
        re += xr * y[i].re + xi * y[i].im;
        im += xr * y[i].im - xi * y[i].re;
    }
    return {static_cast<double>(re), static_cast<double>(im)};
}

template <class T> void Zero(T* p, std::int64_t n) { std::fill(p, p + std::max<std::int64_t>(n, 0), T {}); }

template <class T> void CopyPadded(const T* src, std::int64_t n, T* dst, std::int64_t size)
{
    std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(T));
    Zero(dst + n, size - n);
}

// ---- autocorrelation ----------------------------------------------------------------

VpsStatus AutoCorrFft(const double* src, int srcLen, double* dst, int lags, int dstLen, const SpectralPath& p)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(false, p.order))
        return st;
    s.AllocWork();
    const int g = static_cast<int>(p.fftSize);
    if (!s.AllocBlock(std::int64_t {8} * g))
        return StatusNoMemory;
    double* x = static_cast<double*>(s.block);
    CopyPadded(src, srcLen, x, g);
    if (const VpsStatus st = dspFFTFwd_RToPack_64f(x, x, s.spec, s.work))
        return st;
    dspMulPackConj_64f_I(x, x, g);
    const VpsStatus st = dspFFTInv_PackToR_64f(x, x, s.spec, s.work);
    if (st == StatusOk) {
        std::memcpy(dst, x, sizeof(double) * static_cast<std::size_t>(lags));
        Zero(dst + lags, std::int64_t {dstLen} - lags);
    }
    return st;
}

VpsStatus AutoCorrFft(const Vps64fc* src, int srcLen, Vps64fc* dst, int lags, int dstLen, const SpectralPath& p)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(true, p.order))
        return st;
    s.AllocWork();
    const int g = static_cast<int>(p.fftSize);
    if (!s.AllocBlock(std::int64_t {32} * g))
        return StatusNoMemory;
    Vps64fc* x = static_cast<Vps64fc*>(s.block);
    Vps64fc* y = x + g;
    CopyPadded(src, srcLen, x, g);
    if (const VpsStatus st = fallback::vpsFFTFwd_CToC_64fc(x, x, s.spec, s.work))
        return st;
    dspConj_64fc(x, y, g);
    fallback::vpsMul_64fc_I(y, x, g);
    const VpsStatus st = fallback::vpsFFTInv_CToC_64fc(x, x, s.spec, s.work);
    if (st == StatusOk) {
        dspCopy_64fc(x, dst, lags);
        Zero(dst + lags, std::int64_t {dstLen} - lags);
    }
    return st;
}

template <class T> VpsStatus AutoCorr(const T* src, int srcLen, T* dst, int dstLen)
{
    if (!src || !dst)
        return StatusNullPointer;
    if (srcLen <= 0 || dstLen <= 0)
        return StatusBadSize;
    const int lags = std::min(srcLen, dstLen);
    const SpectralPath p = AutoCorrPath(srcLen, dstLen, IsComplex(src));
    if (p.method != SpectralMethod::Direct)
        return AutoCorrFft(src, srcLen, dst, lags, dstLen, p);
    Zero(dst + lags, std::int64_t {dstLen} - lags);
    for (int k = 0; k < lags; ++k)
        dst[k] = CorrSum(src, src + k, srcLen - k);
    return StatusOk;
}

// The element-wise helpers take an int count; a complex result of more than 2^30 lags
// holds more doubles than that.
template <class F> void InChunks(std::int64_t n, F f)
{
    constexpr std::int64_t kChunk = std::int64_t {1} << 30;
    for (std::int64_t off = 0; off < n; off += kChunk)
        f(off, static_cast<int>(std::min(kChunk, n - off)));
}

template <class T> constexpr int kDoubles = sizeof(T) / sizeof(double);

template <class T> VpsStatus AutoCorrNormA(const T* src, int srcLen, T* dst, int dstLen)
{
    const VpsStatus st = AutoCorr(src, srcLen, dst, dstLen);
    if (st < 0)
        return st;
    double* d = reinterpret_cast<double*>(dst);
    const double scale = 1.0 / srcLen;
    InChunks(std::int64_t {kDoubles<T>} * std::min(srcLen, dstLen),
             [&](std::int64_t off, int n) { fallback::vpsMulC_64f_I(scale, d + off, n); });
    return st;
}

template <class T> VpsStatus AutoCorrNormB(const T* src, int srcLen, T* dst, int dstLen)
{
    const VpsStatus st = AutoCorr(src, srcLen, dst, dstLen);
    if (st < 0)
        return st;
    const std::int64_t count = std::int64_t {kDoubles<T>} * std::min(srcLen, dstLen);
    double* div = static_cast<double*>(dspMallocBytes(count * 8));
    if (!div)
        return StatusNoMemory;
    for (std::int64_t i = 0; i < count; ++i)
        div[i] = srcLen - static_cast<double>(i / kDoubles<T>);
    double* d = reinterpret_cast<double*>(dst);
    InChunks(count, [&](std::int64_t off, int n) { fallback::vpsDiv_64f_I(div + off, d + off, n); });
    dspFree(div);
    return st;
}

// ---- cross-correlation --------------------------------------------------------------

VpsStatus CrossCorrFft(const double* s1, int len1, const double* s2, int len2, double* dst, const CrossCorrPlan& plan)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(false, plan.path.order))
        return st;
    s.AllocWork();
    const int g = static_cast<int>(plan.path.fftSize);
    if (!s.AllocBlock(std::int64_t {16} * g))
        return StatusNoMemory;
    double* x = static_cast<double*>(s.block);
    double* y = x + g;
    CopyPadded(s1, len1, x, g);
    if (const VpsStatus st = dspFFTFwd_RToPack_64f(x, x, s.spec, s.work))
        return st;
    Zero(y, len1 - 1);
    CopyPadded(s2, len2, y + (len1 - 1), g - (len1 - 1));
    if (const VpsStatus st = dspFFTFwd_RToPack_64f(y, y, s.spec, s.work))
        return st;
    dspMulPackConj_64f_I(y, x, g);
    const VpsStatus st = dspFFTInv_PackToR_64f(x, y, s.spec, s.work);
    if (st == StatusOk)
        std::memcpy(dst, y + std::max(0, plan.lowLag + len1 - 1),
                    sizeof(double) * static_cast<std::size_t>(plan.dstLen));
    return st;
}

VpsStatus CrossCorrFft(const Vps64fc* s1, int len1, const Vps64fc* s2, int len2, Vps64fc* dst,
                       const CrossCorrPlan& plan)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(true, plan.path.order))
        return st;
    s.AllocWork();
    const int g = static_cast<int>(plan.path.fftSize);
    if (!s.AllocBlock(std::int64_t {32} * g))
        return StatusNoMemory;
    Vps64fc* x = static_cast<Vps64fc*>(s.block);
    Vps64fc* y = x + g;
    CopyPadded(s1, len1, x, g);
    if (const VpsStatus st = fallback::vpsFFTFwd_CToC_64fc(x, x, s.spec, s.work))
        return st;
    Zero(y, len1 - 1);
    CopyPadded(s2, len2, y + (len1 - 1), g - (len1 - 1));
    if (const VpsStatus st = fallback::vpsFFTFwd_CToC_64fc(y, y, s.spec, s.work))
        return st;
    dspConj_64fc_I(x, g);
    fallback::vpsMul_64fc_I(y, x, g);
    const VpsStatus st = fallback::vpsFFTInv_CToC_64fc(x, y, s.spec, s.work);
    if (st == StatusOk)
        dspCopy_64fc(y + std::max(0, plan.lowLag + len1 - 1), dst, plan.dstLen);
    return st;
}

template <class T> VpsStatus CrossCorr(const T* s1, int len1, const T* s2, int len2, T* dst, int dstLen, int lowLag)
{
    if (!s1 || !s2 || !dst)
        return StatusNullPointer;
    if (len1 <= 0 || len2 <= 0 || dstLen <= 0)
        return StatusBadSize;
    const CrossCorrPlan plan = CrossCorrChoosePath(len1, len2, dstLen, lowLag);
    Zero(dst, plan.leadZeros);
    T* out = dst + plan.leadZeros;
    Zero(out + plan.dstLen, plan.tailZeros);
    if (plan.dstLen == 0)
        return StatusOk;
    if (plan.path.method != SpectralMethod::Direct)
        return CrossCorrFft(s1, len1, s2, len2, out, plan);
    for (int n = 0; n < plan.dstLen; ++n) {
        const std::int64_t lag = std::int64_t {plan.lowLag} + n;
        const std::int64_t m0 = std::max<std::int64_t>(0, -lag);
        const std::int64_t m1 = std::min<std::int64_t>(len1, len2 - lag);
        out[n] = CorrSum(s1 + m0, s2 + (m0 + lag), m1 - m0);
    }
    return StatusOk;
}

}  // namespace

namespace fallback {

VpsStatus vpsAutoCorr_64f(const double* pSrc, int srcLen, double* pDst, int dstLen)
{
    return AutoCorr(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsAutoCorr_NormA_64f(const double* pSrc, int srcLen, double* pDst, int dstLen)
{
    return AutoCorrNormA(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsAutoCorr_NormB_64f(const double* pSrc, int srcLen, double* pDst, int dstLen)
{
    return AutoCorrNormB(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsCrossCorr_64f(const double* pSrc1, int len1, const double* pSrc2, int len2, double* pDst, int dstLen,
                           int lowLag)
{
    return CrossCorr(pSrc1, len1, pSrc2, len2, pDst, dstLen, lowLag);
}

VpsStatus vpsAutoCorr_64fc(const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen)
{
    return AutoCorr(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsAutoCorr_NormA_64fc(const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen)
{
    return AutoCorrNormA(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsAutoCorr_NormB_64fc(const Vps64fc* pSrc, int srcLen, Vps64fc* pDst, int dstLen)
{
    return AutoCorrNormB(pSrc, srcLen, pDst, dstLen);
}

VpsStatus vpsCrossCorr_64fc(const Vps64fc* pSrc1, int len1, const Vps64fc* pSrc2, int len2, Vps64fc* pDst, int dstLen,
                            int lowLag)
{
    return CrossCorr(pSrc1, len1, pSrc2, len2, pDst, dstLen, lowLag);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsAutoCorr_64f)
DCS_DSP_DEFINE(vpsAutoCorr_NormA_64f)
DCS_DSP_DEFINE(vpsAutoCorr_NormB_64f)
DCS_DSP_DEFINE(vpsCrossCorr_64f)
DCS_DSP_DEFINE(vpsAutoCorr_64fc)
DCS_DSP_DEFINE(vpsAutoCorr_NormA_64fc)
DCS_DSP_DEFINE(vpsAutoCorr_NormB_64fc)
DCS_DSP_DEFINE(vpsCrossCorr_64fc)

}  // namespace dcs
