#include "dsp/spectral/SpectralScratch.h"

namespace dcs {

SpectralScratch::~SpectralScratch()
{
    dspFree(block);
    dspFree(ownWork_);
    if (spec)
        complex_ ? fallback::vpsFFTFree_C_64fc(spec) : fallback::vpsFFTFree_R_64f(spec);
}

VpsStatus SpectralScratch::MakeSpec(bool complex, int order) noexcept
{
    complex_ = complex;
    const VpsStatus st = complex ? fallback::vpsFFTInitAlloc_C_64fc(&spec, order, 2, 0)
                                 : fallback::vpsFFTInitAlloc_R_64f(&spec, order, 2, 0);
    if (st != StatusOk) {
        spec = nullptr;
        return st;
    }
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
