// The DFT spec: the plan of one any-length transform, complex (id 16) or real (id 18).
// Exactly one plan's fields are filled: codelets (N <= 4, nothing), the power-of-two FFT,
// the mixed-radix stages, the direct root table or the chirp-z tables. Every table is an
// aligned block owned by the spec; the FFT specs inside it are opaque to this code and go
// back through the FFT's own release.
#pragma once

#include <cstdint>

#include "dsp/DspTypes.h"
#include "dsp/spectral/FftSpec.h"

namespace dcs {

inline constexpr int kDftMaxStages = 20;       // a 32-bit length needs at most 19
inline constexpr int kDftBreadthLimit = 500;   // larger sub-problems go depth-first
inline constexpr int kDftMaxLastFactor = 150;  // largest last factor / direct complex length

// One factor of the mixed-radix plan; record L + 1 holds only the last factor F.
struct DftStage {
    std::int32_t radix;      // 2, 4 or an odd prime
    std::int32_t remaining;  // m: length of each sub-transform the stage combines
    std::int32_t stride;     // p: product of the radices before this stage
    std::int32_t groups;     // blocks of radix * m handled in one breadth-first sweep
    Vps64fc* roots;          // roots of the radix when it is above 5 (may be shared)
    Vps64fc* twiddles;       // stage twiddles, laid out in the order the butterflies read
};

struct DftSpec {
    std::uint32_t id;     // kIdDftSpec…; 0 once released
    std::int32_t length;  // N
    std::int32_t forwardScaled;
    std::int32_t inverseScaled;
    double scale;  // 1/N, 1/sqrt(N) or 0
    std::int32_t hint;
    std::int64_t workSize;     // bytes incl. 16 for alignment; 0: none
    std::int32_t powerOfTwo;   // N > 4 and a power of two
    std::int32_t chirpLength;  // M of the chirp-z plan
    Vps64fc* directRoots;      // direct plan: the N (real even: N/2) roots
    Vps64fc* realPost;         // real even N: recombination table
    Vps64fc* realPre;          // real even N: split table
    Vps64fc* chirp;            // chirp-z: e^(-i*pi*n^2/N)
    Vps64fc* chirpFilter;      // chirp-z: spectrum of the conjugate chirp, times 1/M
    FftSpec* fft;              // power-of-two plan (complex or real by the DftSpec's kind)
    FftSpec* chirpFft;         // complex FFT of length M
    std::int32_t mixedRadix;   // the mixed-radix plan is built
    std::int32_t last;         // L: index of the last stage record
    std::int32_t* digitRev;    // first-pass group offsets, G_L entries
    DftStage stages[kDftMaxStages];
};

// Releases every table and the chirp FFT spec, clears the id and frees the block; the
// caller has already released the power-of-two FFT spec with the release of its kind.
// Null is ignored.
void dspDFTSpecFree(DftSpec* spec) noexcept;

// Steps shared by both set-ups: a cleared spec with id, length, hint and the scaling of
// the flag in *spec; -9 when it cannot be allocated, -16 (spec released) for a flag other
// than 1, 2, 4 or 8.
VpsStatus DftSpecAlloc(DftSpec** spec, std::uint32_t id, int length, int flag, int hint) noexcept;

// A caller-given work buffer is used from its first 16-byte boundary.
inline Vps8u* DftAlignWork(Vps8u* buffer) noexcept
{
    auto a = reinterpret_cast<std::uintptr_t>(buffer);
    return reinterpret_cast<Vps8u*>((a + 15) & ~std::uintptr_t {15});
}

// Takes the work memory of one transform: none, the caller's buffer, or an own block
// (released by the destructor). ok() is false when the own block could not be had.
class DftWork {
public:
    DftWork(std::int64_t size, Vps8u* buffer) noexcept;
    ~DftWork();
    DftWork(const DftWork&) = delete;
    DftWork& operator=(const DftWork&) = delete;
    bool ok() const noexcept { return ok_; }
    Vps8u* get() const noexcept { return work_; }

private:
    Vps8u* work_ = nullptr;
    Vps8u* own_ = nullptr;
    bool ok_ = true;
};

inline bool DftIsPowerOfTwo(int n) noexcept { return n > 0 && (n & (n - 1)) == 0; }
inline int DftLog2(std::int64_t n) noexcept
{
    int order = 0;
    while ((std::int64_t {1} << order) < n)
        ++order;
    return order;
}

}  // namespace dcs
