#include "dsp/double/HaarWavelet.h"

#include "dsp/DspCore.h"

namespace dcs {
namespace fallback {

VpsStatus vpsWTHaarFwd_64f(const double* pSrc, int len, double* pDstLow, double* pDstHigh)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDstLow, pDstHigh))
        return st;
    const int pairs = len / 2;
    for (int k = 0; k < pairs; ++k) {
        const double d = (pSrc[2 * k + 1] - pSrc[2 * k]) * 0.5;
        pDstHigh[k] = d;
        pDstLow[k] = pSrc[2 * k] + d;
    }
    if (len % 2)
        pDstLow[pairs] = pSrc[len - 1];
    return StatusOk;
}

VpsStatus vpsWTHaarInv_64f(const double* pSrcLow, const double* pSrcHigh, double* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrcLow, pSrcHigh, pDst))
        return st;
    const int pairs = len / 2;
    for (int k = 0; k < pairs; ++k) {
        const double l = pSrcLow[k];
        const double h = pSrcHigh[k];
        pDst[2 * k] = l - h;
        pDst[2 * k + 1] = l + h;
    }
    if (len % 2)
        pDst[len - 1] = pSrcLow[pairs];
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsWTHaarFwd_64f)
DCS_DSP_DEFINE(vpsWTHaarInv_64f)

}  // namespace dcs
