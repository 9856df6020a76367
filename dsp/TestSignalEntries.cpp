#include "dsp/TestSignalEntries.h"

#include "dsp/DspCore.h"
#include "dsp/SwbRandom.h"

#include <cmath>

namespace dcs {
namespace fallback {

int vpsVectorJaehne_64f(double* pDst, int len, double magn)
{
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;
    if (magn < 0.0)
        return StatusBadJaehneMagnitude;
    if (len == 1) {
        pDst[0] = 0.0;
        return StatusOk;
    }
    // The phase grows with n^2, so the frequency rises linearly from 0 at the start
    // to half the sampling rate at the end.
    const double q = 1.5707963267948966 / len;
    for (int n = 0; n < len; ++n) {
        const long double arg = n * (n * static_cast<long double>(q));
        pDst[n] = magn * static_cast<double>(std::sin(arg));
    }
    return StatusOk;
}

int vpsRandUniform_Direct_64f(double* pDst, int len, double low, double high, Vps32u* pSeed)
{
    if (const VpsStatus st = DspCheck(len, pDst, pSeed))
        return st;
    // The scale constant is slightly above 2^-32, as the generator was defined.
    const long double scale = (static_cast<long double>(high) - low) * 2.3283064365387e-10L;
    const long double mid = (static_cast<long double>(low) + high) * 0.5L;
    SwbRandom rng(*pSeed);
    for (int i = 0; i < len; ++i)
        pDst[i] = static_cast<double>(mid + scale * rng.next());
    *pSeed = rng.lastSwb();
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsVectorJaehne_64f)
DCS_DSP_DEFINE(vpsRandUniform_Direct_64f)

namespace {
constexpr DspEntryDef kTestSignalEntries[] = {
    DCS_DSP_ENTRY(vpsVectorJaehne_64f),
    DCS_DSP_ENTRY(vpsRandUniform_Direct_64f),
};
}  // namespace

void RegisterTestSignalEntries(DspRegistrar& r) { r.Add(kTestSignalEntries); }

}  // namespace dcs
