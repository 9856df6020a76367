#include "dsp/spectral/SpectralScratchInternal.h"

namespace dcs {

SpectralScratch::~SpectralScratch()
{
    dspFree(block);
    dspFree(ownWork_);
}

VpsStatus SpectralScratch::MakeSpec(bool complex, int order) noexcept
{
    VpsStatus st = StatusOk;
    held_ = SpectralSpecAcquire(complex, order, &st);
    if (!held_)
        return st;
    spec = held_.get();
    return complex ? dspFFTGetBufSize_C_64fc(spec, &workSize_) : dspFFTGetBufSize_R_64f(spec, &workSize_);
}

void SpectralScratch::AllocWork() noexcept
{
    ownWork_ = dspMalloc(workSize_);
    work = static_cast<Vps8u*>(ownWork_);
}

bool SpectralScratch::AllocBlockWithWork(std::int64_t bytes) noexcept
{
    block = dspMallocBytes(bytes + workSize_);
    if (block && workSize_ > 0)
        work = static_cast<Vps8u*>(block) + bytes;
    return block != nullptr;
}

bool SpectralScratch::AllocBlock(std::int64_t bytes) noexcept
{
    block = dspMallocBytes(bytes);
    return block != nullptr;
}

}  // namespace dcs
