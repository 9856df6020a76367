#include "dsp/RampEntries.h"

#include "dsp/DspCore.h"

namespace dcs {
namespace fallback {

int vpsVectorRamp_16s(Vps16s* pDst, int len, float offset, float slope)
{
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;
    const double x0 = offset;
    const double dx = slope;
    for (int i = 0; i < len; ++i) {
        const double x = x0 + i * dx;
        const double moved = x > 0.0 ? x + 0.5 : x - 0.5;
        Vps16s s;
        if (moved >= 32767.0)
            s = 32767;
        else if (moved <= -32768.0)
            s = -32768;
        else if (moved == moved)
            s = static_cast<Vps16s>(static_cast<std::int32_t>(moved));
        else
            s = 0;  // NaN offset or slope
        pDst[i] = s;
    }
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsVectorRamp_16s)

namespace {
constexpr DspEntryDef kRampEntries[] = {DCS_DSP_ENTRY(vpsVectorRamp_16s)};
}  // namespace

void RegisterRampModule(DspRegistrar& r) { r.Add(kRampEntries); }

}  // namespace dcs
