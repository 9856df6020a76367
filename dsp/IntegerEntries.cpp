#include "dsp/IntegerEntries.h"

#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/KernelsInternal.h"
#include "dsp/MemoryEntries.h"

namespace dcs {

namespace {

// Applies dst[i] = Sfs<T>(exact(i), sf) with the scale-factor case chosen once, outside
// the loop. exact(i) must read everything it needs of element i before the store.
template <class T, class Exact> void ScaledLoop(T* pDst, int len, int sf, Exact exact)
{
    if (sf == 0) {
        for (int i = 0; i < len; ++i)
            pDst[i] = Saturate<T>(exact(i));
    } else if (sf > 0 && sf < 64) {
        const std::uint64_t mask = (std::uint64_t {1} << sf) - 1;
        const std::uint64_t half = std::uint64_t {1} << (sf - 1);
        for (int i = 0; i < len; ++i) {
            const std::int64_t r = exact(i);
            const std::int64_t q = r >> sf;
            const std::uint64_t rem = static_cast<std::uint64_t>(r) & mask;
            pDst[i] = Saturate<T>((rem > half || (rem == half && (q & 1))) ? q + 1 : q);
        }
    } else {
        for (int i = 0; i < len; ++i)
            pDst[i] = Sfs<T>(exact(i), sf);
    }
}

using I64 = std::int64_t;

// Constant forms: op(x, val) is the exact result for the element x.
template <class Op> VpsStatus ConstInPlace(Vps32s val, Vps32s* pSrcDst, int len, int sf, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    ScaledLoop(pSrcDst, len, sf, [&](int i) { return op(I64 {pSrcDst[i]}, I64 {val}); });
    return StatusOk;
}

template <class Op> VpsStatus ConstOutOfPlace(const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int sf, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    ScaledLoop(pDst, len, sf, [&](int i) { return op(I64 {pSrc[i]}, I64 {val}); });
    return StatusOk;
}

// Vector forms: op(d, s) with d the in-place element and s the source element.
template <class T, class Op> VpsStatus VectorInPlace(const T* pSrc, T* pSrcDst, int len, int sf, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrc, pSrcDst))
        return st;
    ScaledLoop(pSrcDst, len, sf, [&](int i) { return op(I64 {pSrcDst[i]}, I64 {pSrc[i]}); });
    return StatusOk;
}

constexpr auto kAdd = [](I64 a, I64 b) { return a + b; };
constexpr auto kSub = [](I64 a, I64 b) { return a - b; };
constexpr auto kSubRev = [](I64 a, I64 b) { return b - a; };
constexpr auto kMul = [](I64 a, I64 b) { return a * b; };

// num / den rounded to nearest, ties to even; den != 0.
__int128 DivRoundHalfEven(__int128 num, __int128 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    __int128 q = num / den;
    __int128 r = num % den;
    if (r < 0) {  // floor
        q -= 1;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1)))
        q += 1;
    return q;
}

Vps32s Saturate32(__int128 v)
{
    return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : static_cast<Vps32s>(v));
}

}  // namespace

namespace fallback {

VpsStatus vpsAddC_32s_ISfs(Vps32s val, Vps32s* pSrcDst, int len, int sf)
{
    if (val == 0 && sf == 0)  // x + 0 needs no pass; the checks still apply
        return DspCheck(len, pSrcDst);
    return ConstInPlace(val, pSrcDst, len, sf, kAdd);
}

VpsStatus vpsAddC_32s_Sfs(const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int sf)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (val == 0 && sf == 0) {  // a plain copy
        std::memmove(pDst, pSrc, 4 * static_cast<std::size_t>(len));
        return StatusOk;
    }
    return ConstOutOfPlace(pSrc, val, pDst, len, sf, kAdd);
}

VpsStatus vpsSubC_32s_ISfs(Vps32s val, Vps32s* pSrcDst, int len, int sf)
{
    return ConstInPlace(val, pSrcDst, len, sf, kSub);
}

VpsStatus vpsSubC_32s_Sfs(const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int sf)
{
    return ConstOutOfPlace(pSrc, val, pDst, len, sf, kSub);
}

VpsStatus vpsSubCRev_32s_ISfs(Vps32s val, Vps32s* pSrcDst, int len, int sf)
{
    return ConstInPlace(val, pSrcDst, len, sf, kSubRev);
}

VpsStatus vpsSubCRev_32s_Sfs(const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int sf)
{
    return ConstOutOfPlace(pSrc, val, pDst, len, sf, kSubRev);
}

VpsStatus vpsMulC_32s_ISfs(Vps32s val, Vps32s* pSrcDst, int len, int sf)
{
    if (val == 0)
        return fallback::vpsZero_32s(pSrcDst, len);
    return ConstInPlace(val, pSrcDst, len, sf, kMul);
}

VpsStatus vpsMulC_32s_Sfs(const Vps32s* pSrc, Vps32s val, Vps32s* pDst, int len, int sf)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (val == 0)
        return fallback::vpsZero_32s(pDst, len);
    return ConstOutOfPlace(pSrc, val, pDst, len, sf, kMul);
}

VpsStatus vpsAdd_32s_ISfs(const Vps32s* pSrc, Vps32s* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kAdd);
}

VpsStatus vpsSub_32s_ISfs(const Vps32s* pSrc, Vps32s* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kSub);
}

VpsStatus vpsMul_32s_ISfs(const Vps32s* pSrc, Vps32s* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kMul);
}

VpsStatus vpsDiv_32s_ISfs(const Vps32s* pSrc, Vps32s* pSrcDst, int len, int sf)
{
    if (VpsStatus st = DspCheck(len, pSrc, pSrcDst))
        return st;
    VpsStatus status = StatusOk;
    for (int i = 0; i < len; ++i) {
        const Vps32s s = pSrc[i];
        const Vps32s d = pSrcDst[i];
        Vps32s out;
        if (s == 0) {
            out = d == 0 ? 0 : (d > 0 ? INT32_MAX : INT32_MIN);
            status = StatusElementDivideByZero;
        } else if (d == 0 || sf > 32) {
            out = 0;  // |d / s| / 2^33 <= 1/4
        } else if (sf < -62) {
            out = ((d < 0) == (s < 0)) ? INT32_MAX : INT32_MIN;
        } else {
            // Exact: d * 2^-sf / s, with the power of two on whichever side keeps it whole.
            __int128 num = d, den = s;
            if (sf < 0)
                num *= static_cast<__int128>(1) << -sf;
            else
                den *= static_cast<__int128>(1) << sf;
            out = Saturate32(DivRoundHalfEven(num, den));
        }
        pSrcDst[i] = out;
    }
    return status;
}

VpsStatus vpsAdd_8u_ISfs(const Vps8u* pSrc, Vps8u* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kAdd);
}

VpsStatus vpsSub_8u_ISfs(const Vps8u* pSrc, Vps8u* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kSub);
}

VpsStatus vpsMul_8u_ISfs(const Vps8u* pSrc, Vps8u* pSrcDst, int len, int sf)
{
    return VectorInPlace(pSrc, pSrcDst, len, sf, kMul);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsAddC_32s_ISfs)
DCS_DSP_DEFINE(vpsAddC_32s_Sfs)
DCS_DSP_DEFINE(vpsSubC_32s_ISfs)
DCS_DSP_DEFINE(vpsSubC_32s_Sfs)
DCS_DSP_DEFINE(vpsSubCRev_32s_ISfs)
DCS_DSP_DEFINE(vpsSubCRev_32s_Sfs)
DCS_DSP_DEFINE(vpsMulC_32s_ISfs)
DCS_DSP_DEFINE(vpsMulC_32s_Sfs)
DCS_DSP_DEFINE(vpsAdd_32s_ISfs)
DCS_DSP_DEFINE(vpsSub_32s_ISfs)
DCS_DSP_DEFINE(vpsMul_32s_ISfs)
DCS_DSP_DEFINE(vpsDiv_32s_ISfs)
DCS_DSP_DEFINE(vpsAdd_8u_ISfs)
DCS_DSP_DEFINE(vpsSub_8u_ISfs)
DCS_DSP_DEFINE(vpsMul_8u_ISfs)

namespace {

constexpr DspEntryDef kIntegerEntries[] = {
    DCS_DSP_ENTRY(vpsSubC_32s_ISfs),   DCS_DSP_ENTRY(vpsAddC_32s_ISfs), DCS_DSP_ENTRY(vpsAddC_32s_Sfs),
    DCS_DSP_ENTRY(vpsAdd_32s_ISfs),    DCS_DSP_ENTRY(vpsMulC_32s_ISfs), DCS_DSP_ENTRY(vpsAdd_8u_ISfs),
    DCS_DSP_ENTRY(vpsDiv_32s_ISfs),    DCS_DSP_ENTRY(vpsMul_32s_ISfs),  DCS_DSP_ENTRY(vpsMul_8u_ISfs),
    DCS_DSP_ENTRY(vpsSub_32s_ISfs),    DCS_DSP_ENTRY(vpsSub_8u_ISfs),   DCS_DSP_ENTRY(vpsSubC_32s_Sfs),
    DCS_DSP_ENTRY(vpsSubCRev_32s_Sfs), DCS_DSP_ENTRY(vpsMulC_32s_Sfs),  DCS_DSP_ENTRY(vpsSubCRev_32s_ISfs),
};

}  // namespace

void RegisterIntegerEntries(DspRegistrar& r) { r.Add(kIntegerEntries); }

}  // namespace dcs
