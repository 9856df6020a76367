#include "dsp/double/MedianFilter.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "dsp/DspCore.h"
#include "dsp/MemoryEntries.h"

namespace dcs {

namespace {

// The copy step counts the signal's bytes in a signed 32-bit integer.
constexpr int kMaxMedianLength = (1 << 28) - 1;

inline double Median3(double a, double b, double c)
{
    const double lo = a < b ? a : b;
    const double hi = a < b ? b : a;
    return hi <= c ? hi : (c <= lo ? lo : c);
}

// Windows of 3: every output needs the unfiltered neighbours, kept in two saved values.
void Median3Window(double* p, int len)
{
    double prev = p[0], cur = p[1];
    for (int i = 1; i < len - 1; ++i) {
        const double next = p[i + 1];
        p[i] = Median3(prev, cur, next);
        prev = cur;
        cur = next;
    }
}

// Windows of 5 by a fixed comparison network: the median of the four first values' inner
// pair and the fifth value.
void Median5Window(double* p, int len)
{
    double w[5] = {p[0], p[0], p[1], p[2], 0.0};  // x(i-2) .. x(i+2) of output i
    for (int i = 1; i < len - 1; ++i) {
        w[4] = p[i + 2 < len ? i + 2 : len - 1];
        const double m1 = std::max(std::min(w[0], w[1]), std::min(w[2], w[3]));
        const double m2 = std::min(std::max(w[0], w[1]), std::max(w[2], w[3]));
        const double lo = m1 < m2 ? m1 : m2;
        const double hi = m1 < m2 ? m2 : m1;
        p[i] = w[4] >= hi ? hi : (w[4] < lo ? lo : w[4]);
        for (int k = 0; k < 4; ++k)
            w[k] = w[k + 1];
    }
}

// Ascending and stable, NaN last. An exchange sort would cost h² comparisons, which for a
// mask of a million samples on a short signal means hours.
void dspBubbleSort_64f(double* v, int n)
{
    std::stable_sort(v, v + n, [](double a, double b) { return a < b || (a == a && b != b); });
}

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Windows of 7 and more: the window kept sorted, each step taking out the oldest value and
// inserting the new one, and the same values in arrival order as a ring. The oldest value
// is found by its bits, so a NaN or a signed zero cannot send the search past the window.
VpsStatus MedianSortedWindow(double* p, int len, int h)
{
    const int r = (h - 1) / 2;
    const std::int64_t half = (std::int64_t {h} + 7) & ~std::int64_t {7};
    if (2 * half > std::numeric_limits<int>::max())
        return StatusNoMemory;
    double* sorted = dspMalloc_64f(static_cast<int>(2 * half));
    if (!sorted)
        return StatusNoMemory;
    double* ring = sorted + half;
    for (int k = 0; k < h; ++k) {
        const int src = k <= r ? 0 : k - r;
        ring[k] = sorted[k] = p[src < len ? src : len - 1];
    }
    dspBubbleSort_64f(sorted, h);

    int pos = 0;
    auto step = [&](double v) {
        const double old = ring[pos];
        ring[pos] = v;
        pos = pos + 1 == h ? 0 : pos + 1;
        int k = 0;
        while (k < h - 1 && !SameBits(sorted[k], old))
            ++k;
        if (!(v < old)) {
            for (; k + 1 < h && sorted[k + 1] < v; ++k)
                sorted[k] = sorted[k + 1];
        } else {
            for (; k > 0 && sorted[k - 1] > v; --k)
                sorted[k] = sorted[k - 1];
        }
        sorted[k] = v;
        return sorted[r];
    };
    int i = 1;
    for (int j = r + 1; j < len; ++j, ++i)
        p[i] = step(p[j]);
    for (; i < len - 1; ++i)
        p[i] = step(p[len - 1]);
    dspFree(sorted);
    return StatusOk;
}

}  // namespace

VpsStatus dspFilterMedian_64f_I(double* p, int len, int maskSize) noexcept
{
    if (!p)
        return StatusNullPointer;
    if (len < 1 || maskSize < 1)
        return StatusBadSize;
    const int h = maskSize % 2 ? maskSize : maskSize - 1;
    const VpsStatus warning = maskSize % 2 ? StatusOk : StatusEvenMedianMask;
    if (h == 1 || len <= 2)
        return warning;
    if (h == 3)
        Median3Window(p, len);
    else if (h == 5)
        Median5Window(p, len);
    else if (const VpsStatus st = MedianSortedWindow(p, len, h))
        return st;
    return warning;
}

namespace fallback {

VpsStatus vpsFilterMedian_64f(const double* pSrc, double* pDst, int len, int maskSize)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (len <= 0 || maskSize <= 0)
        return StatusBadSize;
    if (len > kMaxMedianLength)
        return StatusNoMemory;
    if (const VpsStatus st =
            fallback::vpsCopy_8u(reinterpret_cast<const Vps8u*>(pSrc), reinterpret_cast<Vps8u*>(pDst), len * 8))
        return st;
    return dspFilterMedian_64f_I(pDst, len, maskSize);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsFilterMedian_64f)

}  // namespace dcs
