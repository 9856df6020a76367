// The FFT spec: the record that describes one power-of-two transform (kind, order,
// scaling) and owns the twiddle and permutation tables built once for it. Its layout is
// this system's own; callers outside the spectral code treat it as opaque.
#pragma once

#include <cstdint>
#include <cstring>

#include "dsp/spectral/FftPlan.h"

namespace dcs {

template <class T> struct FftSpecT {
    using Complex = typename FftTraits<T>::Complex;

    std::uint32_t id;                        // kIdFftSpec…; 0 once released
    std::int32_t order;                      // 0..30, N = 2^order
    std::int32_t forwardScaled;              // forward transforms multiply by scale
    std::int32_t inverseScaled;              // inverse transforms multiply by scale
    T scale;                                 // 1/N or 1/sqrt(N); 0 when neither direction scales
    std::int32_t hint;                       // stored, never read
    std::int32_t workSize;                   // bytes of work area a transform needs (0: none)
    std::int32_t owned;                      // 1: the release frees the tables and the record
    std::int32_t levels;                     // split levels of the complex transform, 0..3
    std::int32_t split[kFftMaxLevels];       // split order per level, level 0 the whole
    std::int32_t* bitRev;                    // bit-reversal pair and self lists of the complex transform
    Complex* leafTable;                      // radix-4 twiddles of the leaf; start of the table area
    const Complex* quarter;                  // quarter twiddle list of a block transform
    Complex* recombFwd;                      // real specs: forward recombination table
    Complex* recombInv;                      // real specs: inverse recombination table
    const Complex* column[kFftMaxLevels];    // per level: radix-4 twiddles of the columns
    const Complex* fourStep[kFftMaxLevels];  // per level: four-step twiddles
};

using FftSpec = FftSpecT<double>;    // ids kIdFftSpecComplex, kIdFftSpecReal
using FftSpec32f = FftSpecT<float>;  // id kIdFftSpecReal32f

// The kind word of any spec pointer, read without assuming which record it heads.
inline std::uint32_t FftSpecId(const void* spec) noexcept
{
    std::uint32_t id;
    std::memcpy(&id, spec, sizeof id);
    return id;
}

// Creates a spec of the given kind (real or complex) and stores it in *out, only on
// success; ownership passes to the caller, who releases it with FftSpecFree. Checks in
// this order: out null -8, order outside 0..30 -15, record allocation -9, flag not one of
// 8, 4, 1, 2 -16 (record released), then any table allocation -9 (all released). The
// split table is a parameter so a test can force a deeper decomposition.
template <class T>
VpsStatus FftSpecCreate(FftSpecT<T>** out, std::uint32_t id, bool real, int order, int flag, int hint,
                        const FftSplitTable& split = FftTraits<T>::kSplit) noexcept;

// Clears the id and, for an owned spec, frees its tables and the record. No checks.
template <class T> void dspFFTFreeSpec(FftSpecT<T>* spec) noexcept;

}  // namespace dcs
