#include "dsp/SignalMiscEntries.h"

#include <cmath>

#include "dsp/DspCore.h"
#include "dsp/FloatEntries.h"

namespace dcs {

namespace {

bool BadRoi(VpiSize roi) { return roi.width <= 0 || roi.height <= 0; }

template <class S, class D, class F>
VpsStatus ConvertPlane(const S* pSrc, int srcStep, D* pDst, int dstStep, VpiSize roi, F convert)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (BadRoi(roi))
        return StatusBadSize;
    if (srcStep <= 0 || dstStep <= 0)
        return StatusBadStep;
    for (int y = 0; y < roi.height; ++y) {
        const S* s = reinterpret_cast<const S*>(reinterpret_cast<const Vps8u*>(pSrc) + std::int64_t {y} * srcStep);
        D* d = reinterpret_cast<D*>(reinterpret_cast<Vps8u*>(pDst) + std::int64_t {y} * dstStep);
        for (int x = 0; x < roi.width; ++x)
            d[x] = convert(s[x]);
    }
    return StatusOk;
}

// Saturates to lo..hi; mode 1 rounds to nearest with halves to even, else truncates.
// NaN would reach the integer conversion undefined: it gives 0.
template <class D> D Saturate(float v, int roundMode, double lo, double hi)
{
    const double x = v;
    if (std::isnan(x))
        return 0;
    if (x >= hi)
        return static_cast<D>(hi);
    if (x <= lo)
        return static_cast<D>(lo);
    if (roundMode != 1)
        return static_cast<D>(std::trunc(x));
    const double shifted = x >= 0 ? x + 0.5 : x - 0.5;
    double t = std::trunc(shifted);
    if (t == shifted && std::fmod(t, 2.0) != 0)
        t += x >= 0 ? -1 : 1;
    return static_cast<D>(t);
}

}  // namespace

namespace fallback {

VpsStatus vpsSum_32f(const float* pSrc, int len, float* pSum, int /*hint*/)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pSum))
        return st;
    long double even = 0.0L, odd = 0.0L;
    int i = 0;
    for (; i + 4 <= len; i += 4) {
        even += static_cast<long double>(pSrc[i]) + pSrc[i + 2];
        odd += static_cast<long double>(pSrc[i + 1]) + pSrc[i + 3];
    }
    long double total = even + odd;
    for (; i < len; ++i)
        total += pSrc[i];
    *pSum = static_cast<float>(total);
    return StatusOk;
}

VpsStatus vpsSqr_32f_I(float* pSrcDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    for (int i = 0; i < len; ++i)
        pSrcDst[i] = pSrcDst[i] * pSrcDst[i];
    return StatusOk;
}

VpsStatus vpiConvert_16s32f_C1R(const Vps16s* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi)
{
    return ConvertPlane(pSrc, srcStep, pDst, dstStep, roi, [](Vps16s v) { return static_cast<float>(v); });
}

VpsStatus vpiConvert_8s32f_C1R(const Vps8s* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi)
{
    return ConvertPlane(pSrc, srcStep, pDst, dstStep, roi, [](Vps8s v) { return static_cast<float>(v); });
}

VpsStatus vpiConvert_32f16s_C1R(const float* pSrc, int srcStep, Vps16s* pDst, int dstStep, VpiSize roi, int roundMode)
{
    return ConvertPlane(pSrc, srcStep, pDst, dstStep, roi,
                        [roundMode](float v) { return Saturate<Vps16s>(v, roundMode, -32768.0, 32767.0); });
}

VpsStatus vpiConvert_32f8s_C1R(const float* pSrc, int srcStep, Vps8s* pDst, int dstStep, VpiSize roi, int roundMode)
{
    return ConvertPlane(pSrc, srcStep, pDst, dstStep, roi,
                        [roundMode](float v) { return Saturate<Vps8s>(v, roundMode, -128.0, 127.0); });
}

VpsStatus vpsSampleDown_32f(const float* pSrc, int srcLen, float* pDst, int* pDstLen, int factor, int* pPhase)
{
    if (!pSrc || !pDst || !pDstLen || !pPhase)
        return StatusNullPointer;
    if (srcLen <= 0)
        return StatusBadSize;
    if (factor <= 0)
        return StatusBadSampleFactor;
    if (*pPhase < 0 || *pPhase >= factor)
        return StatusBadSamplePhase;
    if (factor == 1) {
        *pDstLen = srcLen;
        return dspCopy_32f(pSrc, pDst, srcLen);
    }
    std::int64_t i = *pPhase;  // 64 bits: the last step may pass INT_MAX
    int n = 0;
    for (; i < srcLen; i += factor)
        pDst[n++] = pSrc[i];
    *pDstLen = n;
    *pPhase = static_cast<int>(i - srcLen);
    return StatusOk;
}

VpsStatus vpsPeriodicityLSPE_32f(const float* pSrc, int len, float* pRecurSize, int* pPeriod, int maxPeriod,
                                 int minPeriod)
{
    if (!pSrc || !pRecurSize || !pPeriod)
        return StatusNullPointer;
    if (minPeriod < 6 || minPeriod >= maxPeriod)
        return StatusOutOfRange;
    if (maxPeriod >= len || len > 1024 || 16 * minPeriod < len)
        return StatusBadPeriod;
    static const auto tables = [] {
        std::pair<float[17], float[17]> t {};
        for (int j = 1; j <= 16; ++j) {
            t.first[j] = static_cast<float>(1.0 / std::sqrt(static_cast<double>(j)));
            t.second[j] = static_cast<float>(1.0 / j);
        }
        return t;
    }();
    long double e = 0.0L;
    for (int i = 0; i < len; ++i)
        e += static_cast<long double>(pSrc[i]) * pSrc[i];
    *pRecurSize = 0.0f;
    *pPeriod = 0;
    for (int n = minPeriod; n <= maxPeriod; ++n) {
        long double a = 0.0L, b = 0.0L;
        for (int i = 0; i < n; ++i) {
            long double s = 0.0L, q = 0.0L;
            int j = 0;
            for (int k = i; k < len; k += n, ++j) {
                s += pSrc[k];
                q += static_cast<long double>(pSrc[k]) * pSrc[k];
            }
            const long double w = s * tables.first[j];
            a += w * w;
            b += q * tables.second[j];
        }
        if (e - b > 0 && a - b > 0) {
            const float r = static_cast<float>((a - b) / (e - b));
            if (r > *pRecurSize) {
                *pRecurSize = r;
                *pPeriod = n;
            }
        }
    }
    return StatusOk;
}

VpsStatus vpsCompensateOffset_32f_I(float* pSrcDst, int len, float* pSrcLast, float dstLast, float val)
{
    if (!pSrcDst || !pSrcLast)
        return StatusNullPointer;
    if (len < 1)
        return StatusBadSize;
    float xPrev = *pSrcLast, yPrev = dstLast;
    for (int n = 0; n < len; ++n) {
        const float x = pSrcDst[n];
        const float y = static_cast<float>(static_cast<double>(x) - xPrev + static_cast<double>(val) * yPrev);
        pSrcDst[n] = y;
        xPrev = x;
        yPrev = y;
    }
    *pSrcLast = xPrev;
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsSum_32f)
DCS_DSP_DEFINE(vpsSqr_32f_I)
DCS_DSP_DEFINE(vpiConvert_16s32f_C1R)
DCS_DSP_DEFINE(vpiConvert_8s32f_C1R)
DCS_DSP_DEFINE(vpiConvert_32f16s_C1R)
DCS_DSP_DEFINE(vpiConvert_32f8s_C1R)
DCS_DSP_DEFINE(vpsSampleDown_32f)
DCS_DSP_DEFINE(vpsPeriodicityLSPE_32f)
DCS_DSP_DEFINE(vpsCompensateOffset_32f_I)

// The signal vector fallbacks list the CCS expansion of the float entries again.
constexpr DspEntryDef kSignalMiscEntries[] = {
    DCS_DSP_ENTRY(vpsSum_32f),
    DCS_DSP_ENTRY(vpsSqr_32f_I),
    DCS_DSP_ENTRY(vpiConvert_16s32f_C1R),
    DCS_DSP_ENTRY(vpiConvert_8s32f_C1R),
    DCS_DSP_ENTRY(vpiConvert_32f16s_C1R),
    DCS_DSP_ENTRY(vpiConvert_32f8s_C1R),
    DCS_DSP_ENTRY(vpsSampleDown_32f),
    DCS_DSP_ENTRY(vpsPeriodicityLSPE_32f),
    DCS_DSP_ENTRY(vpsCompensateOffset_32f_I),
    DCS_DSP_ENTRY(vpsConjCcs_64fc_I),
};

void RegisterSignalMiscEntries(DspRegistrar& r) { r.Add(kSignalMiscEntries); }

}  // namespace dcs
