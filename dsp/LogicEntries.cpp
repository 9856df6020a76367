#include "dsp/LogicEntries.h"

#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/MemoryEntries.h"

namespace dcs {

namespace {

template <class T> VpsStatus Copy32(const T* pSrc, T* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    std::memmove(pDst, pSrc, 4 * static_cast<std::size_t>(len));
    return StatusOk;
}

template <class Op> VpsStatus ConstInPlace(Vps32u* pSrcDst, int len, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    for (int i = 0; i < len; ++i)
        pSrcDst[i] = op(pSrcDst[i]);
    return StatusOk;
}

template <class Op> VpsStatus Unary(const Vps32u* pSrc, Vps32u* pDst, int len, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = op(pSrc[i]);
    return StatusOk;
}

template <class Op> VpsStatus Binary(const Vps32u* pSrc, Vps32u* pSrcDst, int len, Op op)
{
    if (VpsStatus st = DspCheck(len, pSrc, pSrcDst))
        return st;
    for (int i = 0; i < len; ++i)
        pSrcDst[i] = op(pSrcDst[i], pSrc[i]);
    return StatusOk;
}

// Left shift in unsigned arithmetic: bits out of the top are lost, never undefined.
inline Vps32s Shl(Vps32s x, int n) { return static_cast<Vps32s>(static_cast<Vps32u>(x) << n); }

// Arithmetic right shift; counts of 32 and more keep only the sign.
inline Vps32s Sar(Vps32s x, int n) { return x >> (n > 31 ? 31 : n); }

template <class Op> void Map32s(const Vps32s* pSrc, Vps32s* pDst, int len, Op op)
{
    for (int i = 0; i < len; ++i)
        pDst[i] = op(pSrc[i]);
}

}  // namespace

namespace fallback {

VpsStatus vpsAndC_32u_I(Vps32u val, Vps32u* pSrcDst, int len)
{
    if (val == 0)
        return fallback::vpsZero_32s(reinterpret_cast<Vps32s*>(pSrcDst), len);
    return ConstInPlace(pSrcDst, len, [val](Vps32u d) { return d & val; });
}

VpsStatus vpsOrC_32u_I(Vps32u val, Vps32u* pSrcDst, int len)
{
    if (val == 0)
        return DspCheck(len, pSrcDst);
    return ConstInPlace(pSrcDst, len, [val](Vps32u d) { return d | val; });
}

VpsStatus vpsXorC_32u_I(Vps32u val, Vps32u* pSrcDst, int len)
{
    if (val == 0)
        return DspCheck(len, pSrcDst);
    return ConstInPlace(pSrcDst, len, [val](Vps32u d) { return d ^ val; });
}

VpsStatus vpsAnd_32u_I(const Vps32u* pSrc, Vps32u* pSrcDst, int len)
{
    return Binary(pSrc, pSrcDst, len, [](Vps32u d, Vps32u s) { return d & s; });
}

VpsStatus vpsOr_32u_I(const Vps32u* pSrc, Vps32u* pSrcDst, int len)
{
    return Binary(pSrc, pSrcDst, len, [](Vps32u d, Vps32u s) { return d | s; });
}

VpsStatus vpsXor_32u_I(const Vps32u* pSrc, Vps32u* pSrcDst, int len)
{
    return Binary(pSrc, pSrcDst, len, [](Vps32u d, Vps32u s) { return d ^ s; });
}

VpsStatus vpsAndC_32u(const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len)
{
    if (val == 0 && pSrc)
        return fallback::vpsZero_32s(reinterpret_cast<Vps32s*>(pDst), len);
    return Unary(pSrc, pDst, len, [val](Vps32u x) { return x & val; });
}

VpsStatus vpsOrC_32u(const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len)
{
    if (val == 0)
        return Copy32(pSrc, pDst, len);
    return Unary(pSrc, pDst, len, [val](Vps32u x) { return x | val; });
}

VpsStatus vpsXorC_32u(const Vps32u* pSrc, Vps32u val, Vps32u* pDst, int len)
{
    if (val == 0)
        return Copy32(pSrc, pDst, len);
    return Unary(pSrc, pDst, len, [val](Vps32u x) { return x ^ val; });
}

VpsStatus vpsLShiftC_32s(const Vps32s* pSrc, int val, Vps32s* pDst, int len)
{
    if (val == 0)
        return Copy32(pSrc, pDst, len);
    if (val >= 32) {
        if (!pSrc)
            return StatusNullPointer;
        return fallback::vpsZero_32s(pDst, len);
    }
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (val < 0)
        return StatusBadShift;
    Map32s(pSrc, pDst, len, [val](Vps32s x) { return Shl(x, val); });
    return StatusOk;
}

VpsStatus vpsRShiftC_32s(const Vps32s* pSrc, int val, Vps32s* pDst, int len)
{
    if (val == 0)
        return Copy32(pSrc, pDst, len);
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (val < 0)
        return StatusBadShift;
    Map32s(pSrc, pDst, len, [val](Vps32s x) { return Sar(x, val); });
    return StatusOk;
}

VpsStatus vpsLShiftC_32s_I(int val, Vps32s* pSrcDst, int len)
{
    if (val >= 32)
        return fallback::vpsZero_32s(pSrcDst, len);
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    if (val < 0)
        return StatusBadShift;
    if (val > 0)
        Map32s(pSrcDst, pSrcDst, len, [val](Vps32s x) { return Shl(x, val); });
    return StatusOk;
}

VpsStatus vpsRShiftC_32s_I(int val, Vps32s* pSrcDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    if (val < 0)
        return StatusBadShift;
    if (val > 0)
        Map32s(pSrcDst, pSrcDst, len, [val](Vps32s x) { return Sar(x, val); });
    return StatusOk;
}

VpsStatus vpsThreshold_LT_32s_I(Vps32s* pSrcDst, int len, Vps32s level)
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    Map32s(pSrcDst, pSrcDst, len, [level](Vps32s x) { return x < level ? level : x; });
    return StatusOk;
}

VpsStatus vpsThreshold_GT_32s_I(Vps32s* pSrcDst, int len, Vps32s level)
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    Map32s(pSrcDst, pSrcDst, len, [level](Vps32s x) { return x > level ? level : x; });
    return StatusOk;
}

VpsStatus vpsSwapBytes_16u(const Vps16u* pSrc, Vps16u* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = static_cast<Vps16u>((pSrc[i] >> 8) | (pSrc[i] << 8));
    return StatusOk;
}

VpsStatus vpsSwapBytes_24u(const Vps8u* pSrc, Vps8u* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (std::size_t i = 0, n = 3 * static_cast<std::size_t>(len); i < n; i += 3) {
        const Vps8u b0 = pSrc[i], b1 = pSrc[i + 1], b2 = pSrc[i + 2];  // all read first
        pDst[i] = b2;
        pDst[i + 1] = b1;
        pDst[i + 2] = b0;
    }
    return StatusOk;
}

VpsStatus vpsSwapBytes_32u(const Vps32u* pSrc, Vps32u* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = __builtin_bswap32(pSrc[i]);
    return StatusOk;
}

VpsStatus vpsSwapBytes_32u_I(Vps32u* pSrcDst, int len) { return vpsSwapBytes_32u(pSrcDst, pSrcDst, len); }

}  // namespace fallback

DCS_DSP_DEFINE(vpsAndC_32u_I)
DCS_DSP_DEFINE(vpsOrC_32u_I)
DCS_DSP_DEFINE(vpsXorC_32u_I)
DCS_DSP_DEFINE(vpsAnd_32u_I)
DCS_DSP_DEFINE(vpsOr_32u_I)
DCS_DSP_DEFINE(vpsXor_32u_I)
DCS_DSP_DEFINE(vpsAndC_32u)
DCS_DSP_DEFINE(vpsOrC_32u)
DCS_DSP_DEFINE(vpsXorC_32u)
DCS_DSP_DEFINE(vpsLShiftC_32s)
DCS_DSP_DEFINE(vpsRShiftC_32s)
DCS_DSP_DEFINE(vpsLShiftC_32s_I)
DCS_DSP_DEFINE(vpsRShiftC_32s_I)
DCS_DSP_DEFINE(vpsThreshold_LT_32s_I)
DCS_DSP_DEFINE(vpsThreshold_GT_32s_I)
DCS_DSP_DEFINE(vpsSwapBytes_16u)
DCS_DSP_DEFINE(vpsSwapBytes_24u)
DCS_DSP_DEFINE(vpsSwapBytes_32u)
DCS_DSP_DEFINE(vpsSwapBytes_32u_I)

namespace {

constexpr DspEntryDef kLogicEntries[] = {
    DCS_DSP_ENTRY(vpsAndC_32u_I),         DCS_DSP_ENTRY(vpsOrC_32u_I),       DCS_DSP_ENTRY(vpsOr_32u_I),
    DCS_DSP_ENTRY(vpsXorC_32u_I),         DCS_DSP_ENTRY(vpsXor_32u_I),       DCS_DSP_ENTRY(vpsAnd_32u_I),
    DCS_DSP_ENTRY(vpsAndC_32u),           DCS_DSP_ENTRY(vpsOrC_32u),         DCS_DSP_ENTRY(vpsXorC_32u),
    DCS_DSP_ENTRY(vpsLShiftC_32s),        DCS_DSP_ENTRY(vpsRShiftC_32s),     DCS_DSP_ENTRY(vpsLShiftC_32s_I),
    DCS_DSP_ENTRY(vpsRShiftC_32s_I),      DCS_DSP_ENTRY(vpsSwapBytes_16u),   DCS_DSP_ENTRY(vpsSwapBytes_24u),
    DCS_DSP_ENTRY(vpsSwapBytes_32u),      DCS_DSP_ENTRY(vpsSwapBytes_32u_I), DCS_DSP_ENTRY(vpsThreshold_LT_32s_I),
    DCS_DSP_ENTRY(vpsThreshold_GT_32s_I),
};

}  // namespace

void RegisterLogicEntries(DspRegistrar& r) { r.Add(kLogicEntries); }

}  // namespace dcs
