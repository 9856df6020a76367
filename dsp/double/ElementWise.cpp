#include "dsp/double/ElementWise.h"

#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/ElementaryEntries.h"

namespace dcs {
namespace fallback {

VpsStatus vpsCartToPolar_64fc(const Vps64fc* pSrc, double* pDstMagn, double* pDstPhase, int len)
{
    const VpsStatus magn = fallback::vpsMagnitude_64fc(pSrc, pDstMagn, len);
    const VpsStatus phase = fallback::vpsPhase_64fc(pSrc, pDstPhase, len);
    return magn != StatusOk ? magn : phase;
}

VpsStatus vpsCplxToReal_64fc(const Vps64fc* pSrc, double* pDstRe, double* pDstIm, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDstRe, pDstIm))
        return st;
    for (int i = 0; i < len; ++i) {
        pDstRe[i] = pSrc[i].re;
        pDstIm[i] = pSrc[i].im;
    }
    return StatusOk;
}

VpsStatus vpsPolarToCart_64fc(const double* pSrcMagn, const double* pSrcPhase, Vps64fc* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pDst, pSrcMagn, pSrcPhase))
        return st;
    for (int i = 0; i < len; ++i) {
        const double m = pSrcMagn[i];
        const double p = pSrcPhase[i];
        pDst[i].re = dspCos(p) * m;
        pDst[i].im = dspSin(p) * m;
    }
    return StatusOk;
}

VpsStatus vpsThreshold_LTValGTVal_64f_I(double* pSrcDst, int len, double levelLT, double valueLT, double levelGT,
                                        double valueGT)
{
    if (const VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    if (!(levelGT >= levelLT))
        return StatusThresholdLevels;
    for (int i = 0; i < len; ++i) {
        const double x = pSrcDst[i];
        if (!(x >= levelLT))
            pSrcDst[i] = valueLT;
        else if (x > levelGT)
            pSrcDst[i] = valueGT;
    }
    return StatusOk;
}

VpsStatus vpsConj_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) { return dspConj_64fc(pSrc, pDst, len); }

VpsStatus vpsConjFlip_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i) {
        pDst[len - 1 - i].re = pSrc[i].re;
        pDst[len - 1 - i].im = -pSrc[i].im;
    }
    return StatusOk;
}

VpsStatus vpsCopy_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) { return dspCopy_64fc(pSrc, pDst, len); }

// Any overlap, also one of less than a complex value (arrays 8 bytes apart).
VpsStatus vpsMove_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (pSrc != pDst)
        std::memmove(pDst, pSrc, std::size_t {16} * static_cast<std::size_t>(len));
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsCartToPolar_64fc)
DCS_DSP_DEFINE(vpsCplxToReal_64fc)
DCS_DSP_DEFINE(vpsPolarToCart_64fc)
DCS_DSP_DEFINE(vpsThreshold_LTValGTVal_64f_I)
DCS_DSP_DEFINE(vpsConj_64fc)
DCS_DSP_DEFINE(vpsConjFlip_64fc)
DCS_DSP_DEFINE(vpsCopy_64fc)
DCS_DSP_DEFINE(vpsMove_64fc)

}  // namespace dcs
