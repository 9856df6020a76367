#include "dsp/StatisticsEntries.h"

#include "dsp/KernelsInternal.h"

#include <cmath>
#include <limits>

namespace dcs::fallback {

using namespace vpsloops;

namespace {

// Sum of f(element) in two interleaved extended accumulators: positions 0 and 2 of every
// block of four go to the first, 1 and 3 to the second, the tail to the first.
template <typename T, typename F> Ext PairwiseSum(const T* p, int len, F f)
{
    Ext first = 0.0L, second = 0.0L;
    const int blocks = len / 4 * 4;
    int i = 0;
    for (; i < blocks; i += 4) {
        first += f(p[i]);
        second += f(p[i + 1]);
        first += f(p[i + 2]);
        second += f(p[i + 3]);
    }
    for (; i < len; ++i)
        first += f(p[i]);
    return second + first;
}

template <typename T> Ext PairwiseSum(const T* p, int len)
{
    return PairwiseSum(p, len, [](T x) { return static_cast<Ext>(x); });
}

template <typename T> VpsStatus Normalize(const T* pSrc, T* pDst, int len, Ext vSub, Ext vDiv, Ext minDiv)
{
    if (pSrc == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (!(std::fabs(vDiv) >= minDiv))  // also NaN
        return StatusDivideByZero;
    const Ext k = 1.0L / vDiv;
    for (int i = 0; i < len; ++i)
        pDst[i] = static_cast<T>((pSrc[i] - vSub) * k);
    return StatusOk;
}

template <typename T> void ThresholdInPlace(T* p, int len, T level, int relOp)
{
    if (relOp == kThresholdGreaterThan) {
        for (int i = 0; i < len; ++i)
            if (!(level >= p[i]))  // a NaN element becomes level too
                p[i] = level;
    } else {
        for (int i = 0; i < len; ++i)
            if (level > p[i])
                p[i] = level;
    }
}

VpsStatus ThresholdComplex(const Vps64fc* pSrc, Vps64fc* pDst, int len, double level, int relOp)
{
    const Ext L = static_cast<Ext>(level) * level;
    for (int i = 0; i < len; ++i) {
        const Ext xr = pSrc[i].re, xi = pSrc[i].im;
        const Ext h = xr * xr + xi * xi;
        bool scale = false;
        if (relOp == kThresholdGreaterThan) {
            scale = h > L;
        } else if (h < L) {
            if (h == 0.0L) {
                pDst[i].re = level;
                pDst[i].im = 0.0;
                continue;
            }
            scale = true;
        }
        if (scale) {
            const Ext f = std::sqrt(L / h);
            pDst[i].re = static_cast<double>(xr * f);
            pDst[i].im = static_cast<double>(xi * f);
        } else if (pDst != pSrc) {
            pDst[i] = pSrc[i];
        }
    }
    return StatusOk;
}

}  // namespace

VpsStatus vpsNormDiff_L1_64f(const double* pSrc1, const double* pSrc2, int len, double* pNorm)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pNorm))
        return s;
    Ext sum = 0.0L;
    for (int i = 0; i < len; ++i)
        sum += std::fabs(static_cast<Ext>(pSrc1[i]) - pSrc2[i]);
    *pNorm = static_cast<double>(sum);
    return StatusOk;
}

VpsStatus vpsNormDiff_L2_64f(const double* pSrc1, const double* pSrc2, int len, double* pNorm)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pNorm))
        return s;
    Ext sum = 0.0L;
    for (int i = 0; i < len; ++i) {
        const Ext d = static_cast<Ext>(pSrc1[i]) - pSrc2[i];
        sum += d * d;
    }
    *pNorm = static_cast<double>(std::sqrt(sum));
    return StatusOk;
}

VpsStatus vpsNormDiff_Inf_64f(const double* pSrc1, const double* pSrc2, int len, double* pNorm)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pNorm))
        return s;
    Ext m = 0.0L;
    for (int i = 0; i < len; ++i) {
        const Ext d = std::fabs(static_cast<Ext>(pSrc1[i]) - pSrc2[i]);
        if (d > m)
            m = d;
    }
    *pNorm = static_cast<double>(m);
    return StatusOk;
}

VpsStatus vpsMean_64f(const double* pSrc, int len, double* pMean)
{
    if (VpsStatus s = DspCheck(len, pSrc, pMean))
        return s;
    *pMean = static_cast<double>(PairwiseSum(pSrc, len) / len);
    return StatusOk;
}

VpsStatus vpsMean_32f(const float* pSrc, int len, float* pMean, int /*hint*/)
{
    if (VpsStatus s = DspCheck(len, pSrc, pMean))
        return s;
    Ext first = 0.0L, second = 0.0L;
    const int blocks = len / 4 * 4;
    int i = 0;
    for (; i < blocks; i += 4) {
        first += pSrc[i];
        second += pSrc[i + 1];
        first += pSrc[i + 2];
        second += pSrc[i + 3];
    }
    Ext sum = first + second;
    for (; i < len; ++i)
        sum += pSrc[i];
    *pMean = static_cast<float>(sum / len);
    return StatusOk;
}

VpsStatus vpsSum_64f(const double* pSrc, int len, double* pSum)
{
    if (VpsStatus s = DspCheck(len, pSrc, pSum))
        return s;
    *pSum = static_cast<double>(PairwiseSum(pSrc, len));
    return StatusOk;
}

VpsStatus vpsStdDev_64f(const double* pSrc, int len, double* pStdDev)
{
    if (pSrc == nullptr || pStdDev == nullptr)
        return StatusNullPointer;
    if (len < 2)
        return StatusBadSize;
    // Two passes, the mean first and then the squared deviations from it: the one-pass
    // S2 * n - S1^2 cancels away most digits when the mean is large beside the spread.
    // The sum of squares is never negative; a NaN or infinite element makes it NaN, and
    // the deviation is then NaN, not a plausible number.
    const Ext n = len;
    const Ext mean = PairwiseSum(pSrc, len) / n;
    const Ext squares = PairwiseSum(pSrc, len, [mean](double x) {
        const Ext d = x - mean;
        return d * d;
    });
    *pStdDev = static_cast<double>(std::sqrt(squares / (n - 1.0L)));
    return StatusOk;
}

VpsStatus vpsMin_64f(const double* pSrc, int len, double* pMin)
{
    if (VpsStatus s = DspCheck(len, pSrc, pMin))
        return s;
    double m = pSrc[0];
    for (int i = 1; i < len; ++i)
        if (pSrc[i] < m)
            m = pSrc[i];
    *pMin = m;
    return StatusOk;
}

VpsStatus vpsMax_64f(const double* pSrc, int len, double* pMax)
{
    if (VpsStatus s = DspCheck(len, pSrc, pMax))
        return s;
    double m = pSrc[0];
    for (int i = 1; i < len; ++i)
        if (pSrc[i] > m)
            m = pSrc[i];
    *pMax = m;
    return StatusOk;
}

VpsStatus vpsMinIndx_64f(const double* pSrc, int len, double* pMin, int* pIndx)
{
    if (pIndx == nullptr)
        return vpsMin_64f(pSrc, len, pMin);
    if (VpsStatus s = DspCheck(len, pSrc, pMin))
        return s;
    int at = 0;
    for (int i = 1; i < len; ++i)
        if (pSrc[i] < pSrc[at])
            at = i;
    *pMin = pSrc[at];
    *pIndx = at;
    return StatusOk;
}

VpsStatus vpsMaxIndx_64f(const double* pSrc, int len, double* pMax, int* pIndx)
{
    if (pIndx == nullptr)
        return vpsMax_64f(pSrc, len, pMax);
    if (VpsStatus s = DspCheck(len, pSrc, pMax))
        return s;
    int at = 0;
    for (int i = 1; i < len; ++i)
        if (pSrc[i] > pSrc[at])
            at = i;
    *pMax = pSrc[at];
    *pIndx = at;
    return StatusOk;
}

VpsStatus vpsNormalize_64f(const double* pSrc, double* pDst, int len, double vSub, double vDiv)
{
    return Normalize<double>(pSrc, pDst, len, vSub, vDiv, std::numeric_limits<double>::min());
}

VpsStatus vpsNormalize_32f(const float* pSrc, float* pDst, int len, float vSub, float vDiv)
{
    return Normalize<float>(pSrc, pDst, len, vSub, vDiv, std::numeric_limits<float>::min());
}

VpsStatus vpsNormalize_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len, Vps64fc vSub, double vDiv)
{
    if (pSrc == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (!(std::fabs(vDiv) >= std::numeric_limits<double>::min()))
        return StatusDivideByZero;
    const Ext k = 1.0L / vDiv;
    for (int i = 0; i < len; ++i) {
        const Ext xr = pSrc[i].re, xi = pSrc[i].im;
        pDst[i].re = static_cast<double>((xr - vSub.re) * k);
        pDst[i].im = static_cast<double>((xi - vSub.im) * k);
    }
    return StatusOk;
}

VpsStatus vpsDotProd_64f(const double* pSrc1, const double* pSrc2, int len, double* pDp)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pDp))
        return s;
    // Extended products and sums like the shared in-order kernel, but four running sums,
    // so the x87 additions overlap: about three times the kernel's speed and faster than
    // a plain double loop.
    Ext a0 = 0.0L, a1 = 0.0L, a2 = 0.0L, a3 = 0.0L;
    const int blocks = len / 4 * 4;
    int i = 0;
    for (; i < blocks; i += 4) {
        a0 += static_cast<Ext>(pSrc1[i]) * pSrc2[i];
        a1 += static_cast<Ext>(pSrc1[i + 1]) * pSrc2[i + 1];
        a2 += static_cast<Ext>(pSrc1[i + 2]) * pSrc2[i + 2];
        a3 += static_cast<Ext>(pSrc1[i + 3]) * pSrc2[i + 3];
    }
    for (; i < len; ++i)
        a0 += static_cast<Ext>(pSrc1[i]) * pSrc2[i];
    *pDp = static_cast<double>((a0 + a2) + (a1 + a3));
    return StatusOk;
}

VpsStatus vpsDotProd_64fc(const Vps64fc* pSrc1, const Vps64fc* pSrc2, int len, Vps64fc* pDp)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pDp))
        return s;
    Ext re = 0.0L, im = 0.0L;
    for (int i = 0; i < len; ++i) {
        const Ext ar = pSrc1[i].re, ai = pSrc1[i].im, br = pSrc2[i].re, bi = pSrc2[i].im;
        re += ar * br - ai * bi;
        im += ar * bi + ai * br;
    }
    pDp->re = static_cast<double>(re);
    pDp->im = static_cast<double>(im);
    return StatusOk;
}

VpsStatus vpsDotProd_32s_Sfs(const int32_t* pSrc1, const int32_t* pSrc2, int len, int32_t* pDp, int scaleFactor)
{
    if (VpsStatus s = DspCheck(len, pSrc1, pSrc2, pDp))
        return s;
    int c = scaleFactor;
    if (c < -30)
        c = -31;
    if (c > 92)
        c = 93;
    const Ext m = std::ldexp(1.0L, -c);
    Ext d = 0.0L;
    for (int i = 0; i < len; ++i)
        d += static_cast<Ext>(pSrc1[i]) * pSrc2[i];
    Ext y = m * d;
    if (y > 2147483647.0L)
        y = 2147483647.0L;
    if (y < -2147483648.0L)
        y = -2147483648.0L;
    *pDp = static_cast<int32_t>(std::nearbyint(y));  // ties to even
    return StatusOk;
}

VpsStatus vpsThreshold_32f_I(float* pSrcDst, int len, float level, int relOp)
{
    if (VpsStatus s = DspCheck(len, pSrcDst))
        return s;
    ThresholdInPlace(pSrcDst, len, level, relOp);
    return StatusOk;
}

VpsStatus vpsThreshold_64f_I(double* pSrcDst, int len, double level, int relOp)
{
    if (VpsStatus s = DspCheck(len, pSrcDst))
        return s;
    ThresholdInPlace(pSrcDst, len, level, relOp);
    return StatusOk;
}

VpsStatus vpsThreshold_64f(const double* pSrc, double* pDst, int len, double level, int relOp)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (relOp == kThresholdGreaterThan) {
        for (int i = 0; i < len; ++i)
            pDst[i] = level < pSrc[i] ? level : pSrc[i];
    } else {
        for (int i = 0; i < len; ++i)
            pDst[i] = level <= pSrc[i] ? pSrc[i] : level;
    }
    return StatusOk;
}

VpsStatus vpsThreshold_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len, double level, int relOp)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (level < 0.0)
        return StatusNegativeThreshold;
    return ThresholdComplex(pSrc, pDst, len, level, relOp);
}

VpsStatus vpsThreshold_64fc_I(Vps64fc* pSrcDst, int len, double level, int relOp)
{
    if (VpsStatus s = DspCheck(len, pSrcDst))
        return s;
    if (level < 0.0)
        return StatusNegativeThreshold;
    return ThresholdComplex(pSrcDst, pSrcDst, len, level, relOp);
}

}  // namespace dcs::fallback

namespace dcs {

DCS_DSP_DEFINE(vpsNormDiff_L1_64f)
DCS_DSP_DEFINE(vpsNormDiff_L2_64f)
DCS_DSP_DEFINE(vpsNormDiff_Inf_64f)
DCS_DSP_DEFINE(vpsMean_64f)
DCS_DSP_DEFINE(vpsMean_32f)
DCS_DSP_DEFINE(vpsSum_64f)
DCS_DSP_DEFINE(vpsStdDev_64f)
DCS_DSP_DEFINE(vpsMin_64f)
DCS_DSP_DEFINE(vpsMax_64f)
DCS_DSP_DEFINE(vpsMinIndx_64f)
DCS_DSP_DEFINE(vpsMaxIndx_64f)
DCS_DSP_DEFINE(vpsNormalize_64f)
DCS_DSP_DEFINE(vpsNormalize_32f)
DCS_DSP_DEFINE(vpsNormalize_64fc)
DCS_DSP_DEFINE(vpsDotProd_64f)
DCS_DSP_DEFINE(vpsDotProd_64fc)
DCS_DSP_DEFINE(vpsDotProd_32s_Sfs)
DCS_DSP_DEFINE(vpsThreshold_32f_I)
DCS_DSP_DEFINE(vpsThreshold_64f_I)
DCS_DSP_DEFINE(vpsThreshold_64f)
DCS_DSP_DEFINE(vpsThreshold_64fc)
DCS_DSP_DEFINE(vpsThreshold_64fc_I)

constexpr DspEntryDef kStatsEntries[] = {
    DCS_DSP_ENTRY(vpsNormDiff_L1_64f), DCS_DSP_ENTRY(vpsNormDiff_L2_64f),  DCS_DSP_ENTRY(vpsNormDiff_Inf_64f),
    DCS_DSP_ENTRY(vpsMean_64f),        DCS_DSP_ENTRY(vpsMean_32f),         DCS_DSP_ENTRY(vpsStdDev_64f),
    DCS_DSP_ENTRY(vpsMinIndx_64f),     DCS_DSP_ENTRY(vpsMaxIndx_64f),      DCS_DSP_ENTRY(vpsNormalize_32f),
    DCS_DSP_ENTRY(vpsNormalize_64f),   DCS_DSP_ENTRY(vpsDotProd_64f),      DCS_DSP_ENTRY(vpsThreshold_32f_I),
    DCS_DSP_ENTRY(vpsThreshold_64f_I), DCS_DSP_ENTRY(vpsThreshold_64f),    DCS_DSP_ENTRY(vpsDotProd_32s_Sfs),
    DCS_DSP_ENTRY(vpsThreshold_64fc),  DCS_DSP_ENTRY(vpsThreshold_64fc_I), DCS_DSP_ENTRY(vpsDotProd_64fc),
    DCS_DSP_ENTRY(vpsNormalize_64fc),  DCS_DSP_ENTRY(vpsMax_64f),          DCS_DSP_ENTRY(vpsMin_64f),
    DCS_DSP_ENTRY(vpsSum_64f),
};

void RegisterStatsEntries(DspRegistrar& r) { r.Add(kStatsEntries); }

}  // namespace dcs
