// How a power-of-two FFT of a given order is decomposed, and the size of every block
// its spec owns. The decomposition is plain data so that it can be checked on its own;
// the engine and the spec set-up both read it from here.
#pragma once

#include <array>
#include <cstdint>

#include "dsp/DspTypes.h"
#include "dsp/FloatEntries.h"

namespace dcs {

inline constexpr int kFftMaxOrder = 30;
inline constexpr int kFftMaxLevels = 3;

// Split order by transform order (index 0..32): an order-n transform with entry s > 0 is
// done as 2^s row transforms of 2^(n-s) points followed by 2^s-point column transforms.
// 0 means no split. Only orders above the radix-4 limit are read.
using FftSplitTable = std::array<std::int8_t, 33>;

// What differs between the double and the single-precision engine: the largest radix-4
// kernel, the complex type and the split table. Everything else is shared.
template <class T> struct FftTraits;

template <> struct FftTraits<double> {
    using Complex = Vps64fc;
    static constexpr int kLeafMaxOrder = 9;  // radix-4 kernels up to 512 points
    static const FftSplitTable kSplit;
};

template <> struct FftTraits<float> {
    using Complex = Vps32fc;
    static constexpr int kLeafMaxOrder = 10;  // radix-4 kernels up to 1024 points
    static const FftSplitTable kSplit;
};

// The decomposition of one spec. Every byte count is 64-bit: the table area of the
// largest orders exceeds 2^31 bytes.
struct FftPlan {
    bool valid = true;                     // false only for a split table that needs more than 3 levels
    int transformOrder = -1;               // order m of the complex transform; -1 for orders 0..3
    int levels = 0;                        // split levels, 0..3
    int split[kFftMaxLevels] = {0, 0, 0};  // split order per level, level 0 the whole
    int leafOrder = 0;                     // order of the innermost transform
    bool leafIsBlock = false;              // innermost transform is a block transform (radix-4 + radix-2)
    std::int64_t workBytes = 0;            // work area of one transform call (0: none)
    std::int64_t sineBytes = 0;            // temporary quarter sine table
    std::int64_t bitRevBytes = 0;
    std::int64_t tableAreaBytes = 0;  // leaf table, quarter list and every level's tables
    std::int64_t tempAreaBytes = 0;   // temporary area while the split tables are built
    std::int64_t recombBytes = 0;     // each of the two real recombination tables
};

// The plan of a complex (real = false) or real spec of the given order, 0..30. Orders 0
// to 3 run on codelets and own no tables.
template <class T>
FftPlan FftMakePlan(int order, bool real, const FftSplitTable& split = FftTraits<T>::kSplit) noexcept;

// Byte counts shared by the plan and the table builders.
std::int64_t FftBitRevBytes(int m) noexcept;
template <class T> std::int64_t FftSineBytes(int q) noexcept;

}  // namespace dcs
