// The temporaries of one FFT-based convolution or correlation call: a spec (shared with
// later calls through the spec cache), its work area and a data block, all let go when the
// call returns, whatever its outcome.
#pragma once

#include "dsp/DspCore.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/SpectralSpecCache.h"

namespace dcs {

class SpectralScratch {
public:
    SpectralScratch() = default;
    ~SpectralScratch();
    SpectralScratch(const SpectralScratch&) = delete;
    SpectralScratch& operator=(const SpectralScratch&) = delete;

    // Takes the spec (flag 2: inverse divided by N) from the spec cache and asks its work
    // size; returns the status of the first step that fails.
    VpsStatus MakeSpec(bool complex, int order) noexcept;
    // Work area of the queried size as a separate block; null (size 0 or no memory) is
    // allowed, the transforms then use their own.
    void AllocWork() noexcept;
    // One block of `bytes` data bytes followed by the work area; false when it cannot be had.
    bool AllocBlockWithWork(std::int64_t bytes) noexcept;
    // A data block of `bytes` bytes; false when it cannot be had.
    bool AllocBlock(std::int64_t bytes) noexcept;

    FftSpec* spec = nullptr;
    Vps8u* work = nullptr;
    void* block = nullptr;

private:
    SharedFftSpec held_;
    int workSize_ = 0;
    void* ownWork_ = nullptr;
};

}  // namespace dcs
