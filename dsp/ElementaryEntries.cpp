#include "dsp/ElementaryEntries.h"

#include "dsp/DspCore.h"
#include "dsp/KernelsInternal.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace dcs::fallback {

using namespace vpsloops;

namespace {

// The quiet NaN with the sign bit set, the result of a square root or logarithm of a
// negative element.
const double kNegNaN = std::bit_cast<double>(UINT64_C(0xFFF8000000000000));
const double kPosNaN = std::bit_cast<double>(UINT64_C(0x7FF8000000000000));

// e^x is finite exactly up to this double (ln of the largest double lies just above it)
// and a normal double exactly from kExpNormalMin on (ln of the smallest normal double lies
// just below it). The classification compares whole doubles: comparing only the upper
// 32 bits would throw away finite and normal results in the bands next to the limits.
constexpr double kExpOverflow = 709.782712893384;
constexpr double kExpNormalMin = -708.3964185322641;

// Reduction and polynomial of the classic double-precision exponential, valid for
// kExpNormalMin <= x <= kExpOverflow; within one unit in the last place.
double ExpKernel(double x)
{
    constexpr double kInvLn2 = 1.4426950408889634;
    constexpr double kLn2Hi = 0.6931471803691238;
    constexpr double kLn2Lo = 1.9082149292705877e-10;
    constexpr double kTwo52 = 4503599627370496.0;
    constexpr double P1 = 0.16666666666666602;
    constexpr double P2 = -0.0027777777777015593;
    constexpr double P3 = 6.613756321437934e-05;
    constexpr double P4 = -1.6533902205465252e-06;
    constexpr double P5 = 4.1381367970572385e-08;

    const double t = x * kInvLn2;
    const double shift = x < 0.0 ? -kTwo52 : kTwo52;
    const double kd = (t + shift) - shift;  // nearest integer, ties to even
    const int k = static_cast<int>(kd);
    const double hi = x - kd * kLn2Hi;  // exact: kLn2Hi has trailing zero bits
    const double lo = kd * kLn2Lo;
    const double r = hi - lo;
    const double tt = r * r;
    const double c = r - tt * (P1 + tt * (P2 + tt * (P3 + tt * (P4 + tt * P5))));
    const double y = 1.0 - ((lo - (r * c) / (2.0 - c)) - hi);
    if (k >= -1021 && k <= 1023)
        return y * std::bit_cast<double>(static_cast<uint64_t>(1023 + k) << 52);
    return std::ldexp(y, k);
}

void ExpVector(const double* src, double* dst, int len)
{
    if (len < 4) {
        for (int i = 0; i < len; ++i)
            dst[i] = dspExp(src[i]);
        return;
    }
    for (int i = 0; i < len; ++i) {
        const double x = src[i];
        if (std::isnan(x))
            dst[i] = std::copysign(kPosNaN, x);
        else if (x > kExpOverflow)
            dst[i] = std::numeric_limits<double>::infinity();
        else if (x < kExpNormalMin)
            dst[i] = dspExp(x);  // subnormal (gradual underflow) or +0.0
        else
            dst[i] = ExpKernel(x);
    }
}

VpsStatus LnVector(const double* src, double* dst, int len)
{
    VpsStatus status = StatusOk;
    for (int i = 0; i < len; ++i) {
        const double x = src[i];
        const uint64_t bits = std::bit_cast<uint64_t>(x);
        VpsStatus special = StatusOk;
        double r;
        if (bits >> 63) {
            r = kNegNaN;
            special = StatusLnNegative;
        } else if ((bits & UINT64_C(0x7FF8000000000000)) == UINT64_C(0x7FF8000000000000)) {
            r = kPosNaN;
        } else if (x == 0.0 || std::isnan(x)) {
            // +0.0, and a signalling NaN, which compares unordered with zero.
            r = -std::numeric_limits<double>::infinity();
            special = StatusLnZero;
        } else {
            r = dspLn(x);
        }
        dst[i] = r;
        if (status == StatusOk)
            status = special;
    }
    return status;
}

Vps64fc SqrtComplex(Vps64fc z)
{
    const Ext a = static_cast<Ext>(z.re) / 2, b = static_cast<Ext>(z.im) / 2;
    const Ext m = std::sqrt(a * a + b * b);
    Ext re, im;
    if (z.re > 0.0 || std::isnan(z.re)) {
        re = std::sqrt(a + m);
        im = b / re;
    } else if (z.re < 0.0) {
        Ext t = std::sqrt(m - a);
        if (z.im < 0.0)
            t = -t;
        re = b / t;
        im = t;
    } else if (z.im < 0.0) {
        re = std::sqrt(-b);
        im = -re;
    } else {
        re = im = std::sqrt(b);
    }
    return {static_cast<double>(re), static_cast<double>(im)};
}

Ext SquaredMagnitude(Vps64fc z)
{
    const Ext re = z.re, im = z.im;
    return re * re + im * im;
}

Vps64fc SqrComplex(Vps64fc z)
{
    const Ext re = z.re, im = z.im;
    return {static_cast<double>((re - im) * (re + im)), static_cast<double>(2 * re * im)};
}

}  // namespace

VpsStatus vpsAbs_64f(const double* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](double x) { return std::fabs(x); });
}

VpsStatus vpsAbs_64f_I(double* pSrcDst, int len) { return vpsAbs_64f(pSrcDst, pSrcDst, len); }

VpsStatus vpsSqr_64f(const double* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](double x) { return x * x; });
}

VpsStatus vpsSqr_64f_I(double* pSrcDst, int len) { return vpsSqr_64f(pSrcDst, pSrcDst, len); }

VpsStatus vpsSqrt_64f(const double* pSrc, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    VpsStatus status = StatusOk;
    for (int i = 0; i < len; ++i) {
        const double x = pSrc[i];
        if (x >= 0.0) {
            pDst[i] = std::sqrt(x);
        } else {
            pDst[i] = kNegNaN;
            status = StatusSqrtNegative;
        }
    }
    return status;
}

VpsStatus vpsSqrt_64f_I(double* pSrcDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrcDst))
        return s;
    VpsStatus status = StatusOk;
    for (int i = 0; i < len; ++i) {
        const double x = pSrcDst[i];
        if (x < 0.0) {
            pSrcDst[i] = kNegNaN;
            status = StatusSqrtNegative;
        } else if (x != 0.0) {
            pSrcDst[i] = std::sqrt(x);  // positive or NaN
        }
    }
    return status;
}

VpsStatus vpsExp_64f(const double* pSrc, double* pDst, int len)
{
    if (pSrc == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (len < 1)
        return StatusBadSize;
    ExpVector(pSrc, pDst, len);
    return StatusOk;
}

VpsStatus vpsExp_64f_I(double* pSrcDst, int len) { return vpsExp_64f(pSrcDst, pSrcDst, len); }

VpsStatus vpsLn_64f(const double* pSrc, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    return LnVector(pSrc, pDst, len);
}

VpsStatus vpsLn_64f_I(double* pSrcDst, int len) { return vpsLn_64f(pSrcDst, pSrcDst, len); }

VpsStatus vpsSqr_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) { return MapEach(pSrc, pDst, len, SqrComplex); }

VpsStatus vpsSqr_64fc_I(Vps64fc* pSrcDst, int len) { return vpsSqr_64fc(pSrcDst, pSrcDst, len); }

VpsStatus vpsSqrt_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) { return MapEach(pSrc, pDst, len, SqrtComplex); }

VpsStatus vpsSqrt_64fc_I(Vps64fc* pSrcDst, int len) { return vpsSqrt_64fc(pSrcDst, pSrcDst, len); }

VpsStatus vpsPowerSpectr_64fc(const Vps64fc* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](Vps64fc z) { return static_cast<double>(SquaredMagnitude(z)); });
}

VpsStatus vpsPhase_64fc(const Vps64fc* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](Vps64fc z) { return dspAtan2(z.im, z.re); });
}

VpsStatus vpsMagnitude_64fc(const Vps64fc* pSrc, double* pDst, int len)
{
    // The extended exponent range keeps the squares of large parts from overflowing.
    return MapEach(pSrc, pDst, len, [](Vps64fc z) { return static_cast<double>(std::sqrt(SquaredMagnitude(z))); });
}

VpsStatus vpsNorm_L2_64fc64f(const Vps64fc* pSrc, int len, double* pNorm)
{
    if (VpsStatus s = DspCheck(len, pSrc, pNorm))
        return s;
    Ext even = 0.0L, odd = 0.0L;
    int i = 0;
    for (; i + 1 < len; i += 2) {
        even += SquaredMagnitude(pSrc[i]);
        odd += SquaredMagnitude(pSrc[i + 1]);
    }
    if (i < len)
        even += SquaredMagnitude(pSrc[i]);
    *pNorm = static_cast<double>(std::sqrt(even + odd));
    return StatusOk;
}

}  // namespace dcs::fallback

namespace dcs {

DCS_DSP_DEFINE(vpsAbs_64f)
DCS_DSP_DEFINE(vpsAbs_64f_I)
DCS_DSP_DEFINE(vpsSqr_64f)
DCS_DSP_DEFINE(vpsSqr_64f_I)
DCS_DSP_DEFINE(vpsSqrt_64f)
DCS_DSP_DEFINE(vpsSqrt_64f_I)
DCS_DSP_DEFINE(vpsExp_64f)
DCS_DSP_DEFINE(vpsExp_64f_I)
DCS_DSP_DEFINE(vpsLn_64f)
DCS_DSP_DEFINE(vpsLn_64f_I)
DCS_DSP_DEFINE(vpsSqr_64fc)
DCS_DSP_DEFINE(vpsSqr_64fc_I)
DCS_DSP_DEFINE(vpsSqrt_64fc)
DCS_DSP_DEFINE(vpsSqrt_64fc_I)
DCS_DSP_DEFINE(vpsPowerSpectr_64fc)
DCS_DSP_DEFINE(vpsPhase_64fc)
DCS_DSP_DEFINE(vpsMagnitude_64fc)
DCS_DSP_DEFINE(vpsNorm_L2_64fc64f)

constexpr DspEntryDef kElementaryEntries[] = {
    DCS_DSP_ENTRY(vpsAbs_64f_I),      DCS_DSP_ENTRY(vpsAbs_64f),          DCS_DSP_ENTRY(vpsSqr_64f_I),
    DCS_DSP_ENTRY(vpsSqr_64f),        DCS_DSP_ENTRY(vpsSqrt_64f_I),       DCS_DSP_ENTRY(vpsSqrt_64f),
    DCS_DSP_ENTRY(vpsExp_64f_I),      DCS_DSP_ENTRY(vpsExp_64f),          DCS_DSP_ENTRY(vpsLn_64f_I),
    DCS_DSP_ENTRY(vpsLn_64f),         DCS_DSP_ENTRY(vpsPowerSpectr_64fc), DCS_DSP_ENTRY(vpsPhase_64fc),
    DCS_DSP_ENTRY(vpsMagnitude_64fc), DCS_DSP_ENTRY(vpsSqr_64fc),         DCS_DSP_ENTRY(vpsSqrt_64fc_I),
    DCS_DSP_ENTRY(vpsSqrt_64fc),      DCS_DSP_ENTRY(vpsSqr_64fc_I),
};

constexpr DspEntryDef kComplexNormEntry[] = {
    DCS_DSP_ENTRY(vpsNorm_L2_64fc64f),
};

void RegisterElementaryEntries(DspRegistrar& r) { r.Add(kElementaryEntries); }

void RegisterComplexNormEntry(DspRegistrar& r) { r.Add(kComplexNormEntry); }

}  // namespace dcs
