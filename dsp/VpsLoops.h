// Argument checks and element loops shared by the floating-point fallbacks. Private to
// the vector primitive modules; not an interface of the library.
#pragma once

#include "dsp/DspCore.h"

namespace dcs::vpsloops {

using Ext = long double;  // x87 extended precision: 64-bit significand

// pDst[i] = f(pSrc[i]); pDst may equal pSrc.
template <typename S, typename D, typename F>
inline VpsStatus MapEach(const S* pSrc, D* pDst, int len, F f)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    for (int i = 0; i < len; ++i)
        pDst[i] = f(pSrc[i]);
    return StatusOk;
}

// pDst[i] = f(pA[i], pB[i]); pDst may equal either source.
template <typename A, typename B, typename D, typename F>
inline VpsStatus ZipEach(const A* pA, const B* pB, D* pDst, int len, F f)
{
    if (VpsStatus s = DspCheck(len, pA, pB, pDst))
        return s;
    for (int i = 0; i < len; ++i)
        pDst[i] = f(pA[i], pB[i]);
    return StatusOk;
}

}  // namespace dcs::vpsloops
