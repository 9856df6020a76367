#include "dsp/double/DftSpec.h"

#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/spectral/FftEntries.h"

namespace dcs {

void dspDFTSpecFree(DftSpec* spec) noexcept
{
    if (!spec)
        return;
    dspFree(spec->directRoots);
    dspFree(spec->realPost);
    dspFree(spec->realPre);
    dspFree(spec->chirp);
    dspFree(spec->chirpFilter);
    dspFree(spec->digitRev);
    if (spec->chirpFft)
        fallback::vpsFFTFree_C_64fc(spec->chirpFft);
    if (spec->mixedRadix) {
        // Consecutive records may share one root table.
        const Vps64fc* released = nullptr;
        for (int i = 0; i <= spec->last + 1; ++i) {
            dspFree(spec->stages[i].twiddles);
            if (spec->stages[i].roots && spec->stages[i].roots != released) {
                released = spec->stages[i].roots;
                dspFree(spec->stages[i].roots);
            }
        }
    }
    spec->id = 0;
    dspFree(spec);
}

VpsStatus DftSpecAlloc(DftSpec** out, std::uint32_t id, int length, int flag, int hint) noexcept
{
    auto* spec = static_cast<DftSpec*>(dspMallocBytes(sizeof(DftSpec)));
    if (!spec)
        return StatusNoMemory;
    std::memset(static_cast<void*>(spec), 0, sizeof(DftSpec));
    spec->id = id;
    spec->length = length;
    spec->hint = hint;
    switch (flag) {
    case 8: break;
    case 1:
        spec->forwardScaled = 1;
        spec->scale = 1.0 / length;
        break;
    case 2:
        spec->inverseScaled = 1;
        spec->scale = 1.0 / length;
        break;
    case 4:
        spec->forwardScaled = spec->inverseScaled = 1;
        spec->scale = 1.0 / dspSqrt(length);
        break;
    default: dspDFTSpecFree(spec); return StatusBadFftFlag;
    }
    *out = spec;
    return StatusOk;
}

DftWork::DftWork(std::int64_t size, Vps8u* buffer) noexcept
{
    if (size <= 0)
        return;
    if (buffer) {
        work_ = DftAlignWork(buffer);
        return;
    }
    own_ = static_cast<Vps8u*>(dspMallocBytes(size));
    work_ = own_ ? DftAlignWork(own_) : nullptr;
    ok_ = own_ != nullptr;
}

DftWork::~DftWork() { dspFree(own_); }

}  // namespace dcs
