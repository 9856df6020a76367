#include "dsp/spectral/IirSetup.h"

#include "dsp/IirEntries.h"

namespace dcs {

VpsStatus dspDivC_32f(const float* pSrc, float value, float* pDst, int len) noexcept
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (iir::BadA0(value))
        return StatusDivideByZero;
    const float r = static_cast<float>(1.0L / value);
    return fallback::vpsMulC_32f(pSrc, r, pDst, len);
}

}  // namespace dcs
