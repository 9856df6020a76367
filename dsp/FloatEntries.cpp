#include "dsp/FloatEntries.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "dsp/KernelsInternal.h"

namespace dcs::fallback {

using namespace vpsloops;

namespace {

// A NaN constant compares unordered; it is taken as the neutral constant, so the data is
// left alone (or copied) rather than turned into NaN throughout.
bool IsNeutral(double val, double neutral) { return std::isnan(val) || val == neutral; }

VpsStatus CopyOrKeep(const double* src, double* dst, int len)
{
    if (src != dst)
        std::memmove(dst, src, sizeof(double) * static_cast<size_t>(len));
    return StatusOk;
}

template <typename T> VpsStatus Clear(T* dst, int len)
{
    for (int i = 0; i < len; ++i)
        dst[i] = T(0);
    return StatusOk;
}

// Adding and subtracting 1.5 * 2^(p-1), p the significand width, lands the sum in the
// binade whose last place is 1, so the FPU's own round-to-nearest-even does the rounding:
// exact for |y| < 2^(p-2), and monotonic beyond, so a value past an int32 limit stays
// past it. No library call per element, and the double form vectorises.
constexpr double kRoundShift = 6755399441055744.0;       // 1.5 * 2^52
constexpr Ext kRoundShiftExt = 13835058055282163712.0L;  // 1.5 * 2^63

// Limits to the int32 range, NaN to the lower end. Written as the two comparisons the
// min/max instructions make, so the loops stay branch-free.
template <typename R> inline R SaturateInt32(R y)
{
    y = y > R(-2147483648.0) ? y : R(-2147483648.0);
    return y < R(2147483647.0) ? y : R(2147483647.0);
}

// For a multiplier that is a normal double: y = m * x is then exact in double wherever
// the extended product is; an overflow saturates the same way, and an underflowed product
// is below 1 either way. Rounding before saturating keeps the loop free of branches.
template <typename T> void ConvertInDouble(const T* pSrc, int32_t* pDst, int len, bool nearest, double m)
{
    if (nearest) {
        for (int i = 0; i < len; ++i) {
            const double y = m * static_cast<double>(pSrc[i]);
            pDst[i] = static_cast<int32_t>(SaturateInt32((y + kRoundShift) - kRoundShift));
        }
    } else {
        for (int i = 0; i < len; ++i)
            pDst[i] = static_cast<int32_t>(SaturateInt32(m * static_cast<double>(pSrc[i])));
    }
}

// Multipliers beyond the double range, in extended precision, where 2^-sf still exists.
template <typename T> void ConvertInExt(const T* pSrc, int32_t* pDst, int len, bool nearest, Ext m)
{
    for (int i = 0; i < len; ++i) {
        const Ext y = SaturateInt32(m * static_cast<Ext>(pSrc[i]));
        pDst[i] = static_cast<int32_t>(nearest ? (y + kRoundShiftExt) - kRoundShiftExt : y);
    }
}

template <typename T> VpsStatus ConvertToInt32(const T* pSrc, int32_t* pDst, int len, int rndMode, int scaleFactor)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (scaleFactor >= -1023 && scaleFactor <= 1022) {
        ConvertInDouble(pSrc, pDst, len, rndMode == 1, std::ldexp(1.0, -scaleFactor));
    } else {
        // Beyond +-20000 the factor is already 0 or infinity, which repeated halving or
        // doubling would reach as well.
        const int sf = scaleFactor > 20000 ? 20000 : scaleFactor < -20000 ? -20000 : scaleFactor;
        ConvertInExt(pSrc, pDst, len, rndMode == 1, std::ldexp(1.0L, -sf));
    }
    return StatusOk;
}

// Complex products with each component rounded once from extended precision.
inline Vps64fc MulExt(Ext ar, Ext ai, Ext br, Ext bi)
{
    return {static_cast<double>(ar * br - ai * bi), static_cast<double>(ar * bi + ai * br)};
}

}  // namespace

// ---- Real vectors ---------------------------------------------------------------------

VpsStatus vpsAdd_64f(const double* pSrc1, const double* pSrc2, double* pDst, int len)
{
    return ZipEach(pSrc1, pSrc2, pDst, len, [](double a, double b) { return a + b; });
}

VpsStatus vpsAdd_64f_I(const double* pSrc, double* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](double d, double s) { return d + s; });
}

VpsStatus vpsSub_64f_I(const double* pSrc, double* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](double d, double s) { return d - s; });
}

VpsStatus vpsSub_32f_I(const float* pSrc, float* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](float d, float s) { return d - s; });
}

VpsStatus vpsMul_64f(const double* pSrc1, const double* pSrc2, double* pDst, int len)
{
    return ZipEach(pSrc1, pSrc2, pDst, len, [](double a, double b) { return a * b; });
}

VpsStatus vpsMul_32f(const float* pSrc1, const float* pSrc2, float* pDst, int len)
{
    return ZipEach(pSrc1, pSrc2, pDst, len, [](float a, float b) { return a * b; });
}

VpsStatus vpsMul_64f_I(const double* pSrc, double* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](double d, double s) { return d * s; });
}

VpsStatus vpsMul_32f_I(const float* pSrc, float* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](float d, float s) { return d * s; });
}

VpsStatus vpsDiv_64f_I(const double* pSrc, double* pSrcDst, int len)
{
    bool zeroDivisor = false;
    const VpsStatus st = ZipEach(pSrcDst, pSrc, pSrcDst, len, [&](double d, double s) {
        if (s != 0.0 && !std::isnan(s))
            return d / s;
        zeroDivisor = true;
        const double inf = std::numeric_limits<double>::infinity();
        return d > 0.0 ? inf : d == 0.0 ? std::numeric_limits<double>::quiet_NaN() : -inf;
    });
    return st == StatusOk && zeroDivisor ? StatusElementDivideByZero : st;
}

VpsStatus vpsAddC_64f(const double* pSrc, double val, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (IsNeutral(val, 0.0))
        return CopyOrKeep(pSrc, pDst, len);
    return MapEach(pSrc, pDst, len, [=](double x) { return x + val; });
}

VpsStatus vpsAddC_64f_I(double val, double* pSrcDst, int len) { return vpsAddC_64f(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsSubC_64f(const double* pSrc, double val, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (IsNeutral(val, 0.0))
        return CopyOrKeep(pSrc, pDst, len);
    return MapEach(pSrc, pDst, len, [=](double x) { return x - val; });
}

VpsStatus vpsSubC_64f_I(double val, double* pSrcDst, int len) { return vpsSubC_64f(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsSubCRev_64f(const double* pSrc, double val, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [=](double x) { return val - x; });
}

VpsStatus vpsSubCRev_64f_I(double val, double* pSrcDst, int len) { return vpsSubCRev_64f(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsSubCRev_32f_I(float val, float* pSrcDst, int len)
{
    return MapEach(pSrcDst, pSrcDst, len, [=](float x) { return val - x; });
}

VpsStatus vpsMulC_64f(const double* pSrc, double val, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (IsNeutral(val, 1.0))
        return CopyOrKeep(pSrc, pDst, len);
    if (val == 0.0)  // cleared rather than multiplied: infinities and NaN become 0.0 too
        return Clear(pDst, len);
    return MapEach(pSrc, pDst, len, [=](double x) { return x * val; });
}

VpsStatus vpsMulC_64f_I(double val, double* pSrcDst, int len) { return vpsMulC_64f(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsMulC_32f_I(float val, float* pSrcDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrcDst))
        return s;
    if (std::isnan(val) || val == 1.0f)
        return StatusOk;
    if (val == 0.0f)
        return Clear(pSrcDst, len);
    return MapEach(pSrcDst, pSrcDst, len, [=](float x) { return x * val; });
}

VpsStatus vpsDivC_64f(const double* pSrc, double val, double* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    if (val == 0.0 || std::isnan(val))
        return StatusDivideByZero;
    return vpsMulC_64f(pSrc, static_cast<double>(1.0L / val), pDst, len);
}

VpsStatus vpsDivC_64f_I(double val, double* pSrcDst, int len) { return vpsDivC_64f(pSrcDst, val, pSrcDst, len); }

// ---- Complex vectors ------------------------------------------------------------------

VpsStatus vpsAdd_64fc(const Vps64fc* pSrc1, const Vps64fc* pSrc2, Vps64fc* pDst, int len)
{
    if (len < 1)
        return StatusBadSize;
    return ZipEach(pSrc1, pSrc2, pDst, len, [](Vps64fc a, Vps64fc b) { return Vps64fc {a.re + b.re, a.im + b.im}; });
}

VpsStatus vpsAdd_64fc_I(const Vps64fc* pSrc, Vps64fc* pSrcDst, int len)
{
    return vpsAdd_64fc(pSrcDst, pSrc, pSrcDst, len);
}

VpsStatus vpsSub_64fc_I(const Vps64fc* pSrc, Vps64fc* pSrcDst, int len)
{
    if (len < 1)
        return StatusBadSize;
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](Vps64fc d, Vps64fc s) {
        return Vps64fc {d.re - s.re, d.im - s.im};
    });
}

VpsStatus vpsMul_64fc_I(const Vps64fc* pSrc, Vps64fc* pSrcDst, int len)
{
    return ZipEach(pSrcDst, pSrc, pSrcDst, len, [](Vps64fc d, Vps64fc s) { return MulExt(d.re, d.im, s.re, s.im); });
}

VpsStatus vpsDiv_64fc_I(const Vps64fc* pSrc, Vps64fc* pSrcDst, int len)
{
    bool zeroDivisor = false;
    const VpsStatus st = ZipEach(pSrcDst, pSrc, pSrcDst, len, [&](Vps64fc d, Vps64fc s) {
        const Ext dr = d.re, di = d.im, sr = s.re, si = s.im;
        const Ext den = sr * sr + si * si;
        if (den == 0.0L || std::isnan(den)) {
            zeroDivisor = true;
            const double nan = std::numeric_limits<double>::quiet_NaN();
            return Vps64fc {nan, nan};
        }
        const Ext k = 1.0L / den;
        return Vps64fc {static_cast<double>((dr * sr + di * si) * k), static_cast<double>((di * sr - dr * si) * k)};
    });
    return st == StatusOk && zeroDivisor ? StatusElementDivideByZero : st;
}

VpsStatus vpsAddC_64fc(const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [=](Vps64fc x) { return Vps64fc {x.re + val.re, x.im + val.im}; });
}

VpsStatus vpsAddC_64fc_I(Vps64fc val, Vps64fc* pSrcDst, int len) { return vpsAddC_64fc(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsSubC_64fc(const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [=](Vps64fc x) { return Vps64fc {x.re - val.re, x.im - val.im}; });
}

VpsStatus vpsSubC_64fc_I(Vps64fc val, Vps64fc* pSrcDst, int len) { return vpsSubC_64fc(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsSubCRev_64fc(const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [=](Vps64fc x) { return Vps64fc {val.re - x.re, val.im - x.im}; });
}

VpsStatus vpsMulC_64fc(const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [=](Vps64fc x) { return MulExt(val.re, val.im, x.re, x.im); });
}

VpsStatus vpsMulC_64fc_I(Vps64fc val, Vps64fc* pSrcDst, int len) { return vpsMulC_64fc(pSrcDst, val, pSrcDst, len); }

VpsStatus vpsDivC_64fc(const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    const Ext vr = val.re, vi = val.im;
    const Ext den = vr * vr + vi * vi;
    if (den == 0.0L || std::isnan(den))
        return StatusDivideByZero;
    const Ext k = 1.0L / den;
    return vpsMulC_64fc(pSrc, {static_cast<double>(vr * k), static_cast<double>(-vi * k)}, pDst, len);
}

VpsStatus vpsDivC_64fc_I(Vps64fc val, Vps64fc* pSrcDst, int len) { return vpsDivC_64fc(pSrcDst, val, pSrcDst, len); }

template <typename T, typename C> static VpsStatus RealToCplx(const T* pSrcRe, const T* pSrcIm, C* pDst, int len)
{
    if (pDst == nullptr)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (pSrcRe == nullptr && pSrcIm == nullptr)
        return StatusNullPointer;
    for (int i = 0; i < len; ++i)  // a missing part is zero
        pDst[i] = C {pSrcRe != nullptr ? pSrcRe[i] : T(0), pSrcIm != nullptr ? pSrcIm[i] : T(0)};
    return StatusOk;
}

VpsStatus vpsRealToCplx_64f(const double* pSrcRe, const double* pSrcIm, Vps64fc* pDst, int len)
{
    return RealToCplx(pSrcRe, pSrcIm, pDst, len);
}

VpsStatus vpsRealToCplx_32f(const float* pSrcRe, const float* pSrcIm, Vps32fc* pDst, int len)
{
    return RealToCplx(pSrcRe, pSrcIm, pDst, len);
}

VpsStatus vpsReal_64fc(const Vps64fc* pSrc, double* pDstRe, int len)
{
    return MapEach(pSrc, pDstRe, len, [](Vps64fc x) { return x.re; });
}

VpsStatus vpsImag_64fc(const Vps64fc* pSrc, double* pDstIm, int len)
{
    return MapEach(pSrc, pDstIm, len, [](Vps64fc x) { return x.im; });
}

VpsStatus vpsConjCcs_64fc_I(Vps64fc* pSrcDst, int lenDst)
{
    if (VpsStatus s = DspCheck(lenDst, pSrcDst))
        return s;
    for (int k = lenDst / 2 + 1; k < lenDst; ++k)
        pSrcDst[k] = {pSrcDst[lenDst - k].re, -pSrcDst[lenDst - k].im};
    return StatusOk;
}

// ---- Conversions ----------------------------------------------------------------------

VpsStatus vpsConvert_32f64f(const float* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](float x) { return static_cast<double>(x); });
}

VpsStatus vpsConvert_64f32f(const double* pSrc, float* pDst, int len)
{
    constexpr double fmax = std::numeric_limits<float>::max();
    return MapEach(pSrc, pDst, len, [](double x) {
        if (x >= fmax)
            return static_cast<float>(fmax);
        return x > -fmax ? static_cast<float>(x) : static_cast<float>(-fmax);  // also NaN
    });
}

VpsStatus vpsConvert_32s64f(const int32_t* pSrc, double* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](int32_t x) { return static_cast<double>(x); });
}

VpsStatus vpsConvert_32s32f(const int32_t* pSrc, float* pDst, int len)
{
    return MapEach(pSrc, pDst, len, [](int32_t x) { return static_cast<float>(x); });
}

VpsStatus vpsConvert_16s64f_Sfs(const int16_t* pSrc, double* pDst, int len, int scaleFactor)
{
    const int sf = scaleFactor < -1008 ? -1008 : scaleFactor > 1022 ? 1022 : scaleFactor;
    const double m = std::ldexp(1.0, -sf);  // exact: a power of two within the normal range
    return MapEach(pSrc, pDst, len, [=](int16_t x) { return x * m; });
}

VpsStatus vpsConvert_64f32s_Sfs(const double* pSrc, int32_t* pDst, int len, int rndMode, int scaleFactor)
{
    return ConvertToInt32(pSrc, pDst, len, rndMode, scaleFactor);
}

VpsStatus vpsConvert_32f32s_Sfs(const float* pSrc, int32_t* pDst, int len, int rndMode, int scaleFactor)
{
    return ConvertToInt32(pSrc, pDst, len, rndMode, scaleFactor);
}

}  // namespace dcs::fallback

namespace dcs {

DCS_DSP_DEFINE(vpsAdd_64f)
DCS_DSP_DEFINE(vpsAdd_64f_I)
DCS_DSP_DEFINE(vpsSub_64f_I)
DCS_DSP_DEFINE(vpsSub_32f_I)
DCS_DSP_DEFINE(vpsMul_64f)
DCS_DSP_DEFINE(vpsMul_32f)
DCS_DSP_DEFINE(vpsMul_64f_I)
DCS_DSP_DEFINE(vpsMul_32f_I)
DCS_DSP_DEFINE(vpsDiv_64f_I)
DCS_DSP_DEFINE(vpsAddC_64f)
DCS_DSP_DEFINE(vpsAddC_64f_I)
DCS_DSP_DEFINE(vpsSubC_64f)
DCS_DSP_DEFINE(vpsSubC_64f_I)
DCS_DSP_DEFINE(vpsSubCRev_64f)
DCS_DSP_DEFINE(vpsSubCRev_64f_I)
DCS_DSP_DEFINE(vpsSubCRev_32f_I)
DCS_DSP_DEFINE(vpsMulC_64f)
DCS_DSP_DEFINE(vpsMulC_64f_I)
DCS_DSP_DEFINE(vpsMulC_32f_I)
DCS_DSP_DEFINE(vpsDivC_64f)
DCS_DSP_DEFINE(vpsDivC_64f_I)
DCS_DSP_DEFINE(vpsAdd_64fc)
DCS_DSP_DEFINE(vpsAdd_64fc_I)
DCS_DSP_DEFINE(vpsSub_64fc_I)
DCS_DSP_DEFINE(vpsMul_64fc_I)
DCS_DSP_DEFINE(vpsDiv_64fc_I)
DCS_DSP_DEFINE(vpsAddC_64fc)
DCS_DSP_DEFINE(vpsAddC_64fc_I)
DCS_DSP_DEFINE(vpsSubC_64fc)
DCS_DSP_DEFINE(vpsSubC_64fc_I)
DCS_DSP_DEFINE(vpsSubCRev_64fc)
DCS_DSP_DEFINE(vpsMulC_64fc)
DCS_DSP_DEFINE(vpsMulC_64fc_I)
DCS_DSP_DEFINE(vpsDivC_64fc)
DCS_DSP_DEFINE(vpsDivC_64fc_I)
DCS_DSP_DEFINE(vpsRealToCplx_64f)
DCS_DSP_DEFINE(vpsRealToCplx_32f)
DCS_DSP_DEFINE(vpsReal_64fc)
DCS_DSP_DEFINE(vpsImag_64fc)
DCS_DSP_DEFINE(vpsConjCcs_64fc_I)
DCS_DSP_DEFINE(vpsConvert_32f64f)
DCS_DSP_DEFINE(vpsConvert_64f32f)
DCS_DSP_DEFINE(vpsConvert_32s64f)
DCS_DSP_DEFINE(vpsConvert_32s32f)
DCS_DSP_DEFINE(vpsConvert_16s64f_Sfs)
DCS_DSP_DEFINE(vpsConvert_64f32s_Sfs)
DCS_DSP_DEFINE(vpsConvert_32f32s_Sfs)

constexpr DspEntryDef kFloatEntries[] = {
    DCS_DSP_ENTRY(vpsSub_32f_I),
    DCS_DSP_ENTRY(vpsMulC_32f_I),
    DCS_DSP_ENTRY(vpsMul_32f_I),
    DCS_DSP_ENTRY(vpsConjCcs_64fc_I),
    DCS_DSP_ENTRY(vpsConvert_16s64f_Sfs),
    DCS_DSP_ENTRY(vpsDivC_64fc_I),
    DCS_DSP_ENTRY(vpsMulC_64fc_I),
    DCS_DSP_ENTRY(vpsSubC_64fc_I),
    DCS_DSP_ENTRY(vpsAddC_64fc_I),
    DCS_DSP_ENTRY(vpsRealToCplx_64f),
    DCS_DSP_ENTRY(vpsRealToCplx_32f),
    DCS_DSP_ENTRY(vpsAddC_64f),
    DCS_DSP_ENTRY(vpsSubC_64f),
    DCS_DSP_ENTRY(vpsSubC_64f_I),
    DCS_DSP_ENTRY(vpsMulC_64f),
    DCS_DSP_ENTRY(vpsDivC_64f),
    DCS_DSP_ENTRY(vpsAddC_64f_I),
    DCS_DSP_ENTRY(vpsAddC_64fc),
    DCS_DSP_ENTRY(vpsAdd_64f),
    DCS_DSP_ENTRY(vpsAdd_64f_I),
    DCS_DSP_ENTRY(vpsAdd_64fc),
    DCS_DSP_ENTRY(vpsAdd_64fc_I),
    DCS_DSP_ENTRY(vpsConvert_32f64f),
    DCS_DSP_ENTRY(vpsDiv_64f_I),
    DCS_DSP_ENTRY(vpsDiv_64fc_I),
    DCS_DSP_ENTRY(vpsDivC_64f_I),
    DCS_DSP_ENTRY(vpsMul_64f_I),
    DCS_DSP_ENTRY(vpsMul_64f),
    DCS_DSP_ENTRY(vpsMul_32f),
    DCS_DSP_ENTRY(vpsMul_64fc_I),
    DCS_DSP_ENTRY(vpsMulC_64f_I),
    DCS_DSP_ENTRY(vpsSub_64f_I),
    DCS_DSP_ENTRY(vpsSub_64fc_I),
    DCS_DSP_ENTRY(vpsSubC_64fc),
    DCS_DSP_ENTRY(vpsSubCRev_64f),
    DCS_DSP_ENTRY(vpsSubCRev_64fc),
    DCS_DSP_ENTRY(vpsDivC_64fc),
    DCS_DSP_ENTRY(vpsMulC_64fc),
    DCS_DSP_ENTRY(vpsConvert_64f32f),
    DCS_DSP_ENTRY(vpsConvert_64f32s_Sfs),
    DCS_DSP_ENTRY(vpsConvert_32s64f),
    DCS_DSP_ENTRY(vpsReal_64fc),
    DCS_DSP_ENTRY(vpsImag_64fc),
    DCS_DSP_ENTRY(vpsConvert_32f32s_Sfs),
    DCS_DSP_ENTRY(vpsConvert_32s32f),
};

constexpr DspEntryDef kSupplementaryFloatEntries[] = {
    DCS_DSP_ENTRY(vpsConvert_64f32f),
    DCS_DSP_ENTRY(vpsConvert_64f32s_Sfs),
    DCS_DSP_ENTRY(vpsSubCRev_64f_I),
    DCS_DSP_ENTRY(vpsSubCRev_32f_I),
};

void RegisterFloatEntries(DspRegistrar& r) { r.Add(kFloatEntries); }

void RegisterSupplementaryFloatEntries(DspRegistrar& r) { r.Add(kSupplementaryFloatEntries); }

}  // namespace dcs
