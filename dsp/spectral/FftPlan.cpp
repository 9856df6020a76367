#include "dsp/spectral/FftPlan.h"

namespace dcs {

// Indexed by order 0..32.
const FftSplitTable FftTraits<double>::kSplit = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 5, 6, 7, 7,
                                                 8, 9, 9, 9, 8, 8, 9, 9, 9, 9, 9, 9, 9, 9, 0, 0};
const FftSplitTable FftTraits<float>::kSplit = {0, 0, 0,  0,  0,  0,  0, 0, 0,  0,  0,  0,  0,  5,  6, 7, 8,
                                                8, 8, 10, 10, 10, 10, 8, 8, 10, 10, 10, 10, 10, 10, 0, 0};

namespace {

constexpr std::int64_t Pow2(int k) { return std::int64_t {1} << k; }

template <class T> constexpr std::int64_t kComplexBytes = 2 * static_cast<std::int64_t>(sizeof(T));

// Table area of the sub-transform of order n at the given level, recording the
// decomposition into the plan on the way down.
template <class T> std::int64_t SubArea(FftPlan& p, int n, int level, const FftSplitTable& split)
{
    constexpr int leafMax = FftTraits<T>::kLeafMaxOrder;
    constexpr std::int64_t cb = kComplexBytes<T>;
    if (n <= leafMax) {
        p.leafOrder = n;
        return (Pow2(n) + 1) * cb;  // radix-4 twiddle table, 3 complex per entry, padded
    }
    const int s = split[n];
    if (s > 0 && s < n) {
        if (level >= kFftMaxLevels) {
            p.valid = false;
            return 0;
        }
        p.levels = level + 1;
        p.split[level] = s;
        const std::int64_t rowsColumns = 4 * cb * Pow2(s);  // four columns of 2^s points
        p.tempAreaBytes += FftBitRevBytes(s) + rowsColumns;
        if (rowsColumns > p.workBytes)
            p.workBytes = rowsColumns;
        // the level's column twiddle table and four-step twiddle table
        return SubArea<T>(p, n - s, level + 1, split) + (Pow2(n) + Pow2(s) + 1) * cb;
    }
    if (n > leafMax + 2) {
        p.valid = false;
        return 0;
    }
    p.leafOrder = n;
    p.leafIsBlock = true;
    // the quarter twiddle list of order n after the radix-4 table of the largest kernel
    return (Pow2(n) / 4) * cb + (Pow2(leafMax) + 1) * cb;
}

}  // namespace

std::int64_t FftBitRevBytes(int m) noexcept { return ((Pow2(m) / 4) * 4 + 19) & ~std::int64_t {15}; }

template <class T> std::int64_t FftSineBytes(int q) noexcept
{
    constexpr std::int64_t slack = sizeof(T) == 8 ? 23 : 19;  // room for the extra entry
    return ((Pow2(q) / 4) * static_cast<std::int64_t>(sizeof(T)) + slack) & ~std::int64_t {15};
}

template <class T> FftPlan FftMakePlan(int order, bool real, const FftSplitTable& split) noexcept
{
    FftPlan p;
    if (order < 4 || order > kFftMaxOrder)
        return p;
    const int m = real ? order - 1 : order;
    p.transformOrder = m;
    p.sineBytes = FftSineBytes<T>(order);
    p.bitRevBytes = FftBitRevBytes(m);
    p.tableAreaBytes = SubArea<T>(p, m, 0, split);
    if (real)
        p.recombBytes = (Pow2(order) / 4) * kComplexBytes<T>;
    return p;
}

template FftPlan FftMakePlan<double>(int, bool, const FftSplitTable&) noexcept;
template FftPlan FftMakePlan<float>(int, bool, const FftSplitTable&) noexcept;
template std::int64_t FftSineBytes<double>(int) noexcept;
template std::int64_t FftSineBytes<float>(int) noexcept;

}  // namespace dcs
