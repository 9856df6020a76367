#include "dsp/double/Goertzel.h"

#include "dsp/DspCore.h"

namespace dcs {
namespace fallback {

VpsStatus vpsGoertz_64fc(const Vps64fc* pSrc, int len, Vps64fc* pVal, double rFreq)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pVal))
        return st;
    if (!(rFreq >= 0.0 && rFreq < 1.0))
        return StatusBadRelFreq;
    const double w = 6.283185307179586 * rFreq;
    const double s = dspSin(w);
    const double c = dspCos(w);
    // The resonators run in extended precision: near rFreq 0 and 0.5 they are poorly
    // conditioned and would lose digits with the signal's length.
    const long double g = static_cast<long double>(c) + c;
    long double r1 = 0, r2 = 0, i1 = 0, i2 = 0;
    for (int n = 0; n < len; ++n) {
        const long double r0 = (g * r1 - r2) + pSrc[n].re;
        const long double i0 = (g * i1 - i2) + pSrc[n].im;
        r2 = r1;
        r1 = r0;
        i2 = i1;
        i1 = i0;
    }
    pVal->re = static_cast<double>((c * r1 - s * i1) - r2);
    pVal->im = static_cast<double>((s * r1 + c * i1) - i2);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsGoertz_64fc)

}  // namespace dcs
