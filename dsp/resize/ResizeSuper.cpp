#include "dsp/resize/ResizeSuper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "dsp/DspCore.h"
#include "dsp/resize/ResizeChecksInternal.h"

namespace dcs {

namespace {

constexpr long double kEps = kResizeEpsilon;

// The units (rows or columns) of consecutive boxes of size L with their weights: whole
// units weigh 1, the partial ones at a fractional box's ends their overlap; pieces of
// 1e-7 or less are dropped. W is the precision the trailing weight is kept in.
template <class W> class BoxWalk {
public:
    BoxWalk(long double size, bool fractional) noexcept
        : size_(size), whole_(static_cast<long long>(size)), fractional_(fractional)
    {
    }

    // take(unit, weight, isWhole) for every unit of box k; boxes come in order from 0.
    template <class Take> void Box(long long k, Take&& take)
    {
        if (!fractional_) {
            for (long long u = k * whole_; u < (k + 1) * whole_; ++u)
                take(u, 1.0L, true);
            return;
        }
        if (k == 0) {
            for (long long u = 0; u < whole_; ++u)
                take(u, 1.0L, true);
            const double w0 = static_cast<double>(size_ - whole_);
            if (w0 != 0.0)
                take(whole_, static_cast<long double>(w0), false);
            unit_ = whole_;
            trail_ = static_cast<W>(w0);
            return;
        }
        const long double lead = 1.0L - trail_;
        const long double t = size_ - lead;
        const long long n = static_cast<long long>(std::floor(t + kEps));
        trail_ = static_cast<W>(t - static_cast<long double>(n));
        if (lead > kEps)
            take(unit_, lead, false);
        for (long long i = 1; i <= n; ++i)
            take(unit_ + i, 1.0L, true);
        if (trail_ > kEps)
            take(unit_ + n + 1, static_cast<long double>(trail_), false);
        unit_ += n + 1;
    }

private:
    long double size_;
    long long whole_;
    bool fractional_;
    long long unit_ = 0;
    W trail_ = 0;
};

// Whole-number boxes of integer samples (walk mode 0) sum exactly: column sums in Acc,
// box sums in 64 bits, since a box of 2^17 samples of 65535 already passes 2^32.
template <class T, int NC, class Acc> void WholeBoxes(const SuperKernelArgs& g, int pitch, Acc* sums) noexcept
{
    const auto* src = static_cast<const char*>(g.src);
    auto* dstRow = static_cast<char*>(g.dst);
    const long long fa = static_cast<long long>(g.a), fb = static_cast<long long>(g.b);
    const long double c = g.c;
    const std::size_t slots = static_cast<std::size_t>(g.count) * NC;
    for (int y = 0; y < g.dstH; ++y, dstRow += g.dstStep) {
        std::memset(sums, 0, slots * sizeof(Acc));
        for (long long r = y * fb; r < (y + 1) * fb; ++r) {
            const T* row = reinterpret_cast<const T*>(src + std::min<long long>(r, g.rows - 1) * g.srcStep);
            Acc* s = sums;
            for (int x = 0; x < g.count; ++x, row += pitch, s += NC)
                for (int ch = 0; ch < NC; ++ch)
                    s[ch] += row[ch];
        }
        T* out = reinterpret_cast<T*>(dstRow);
        for (long long x = 0; x < g.dstW; ++x, out += pitch) {
            std::uint64_t box[NC] = {};
            for (long long u = x * fa; u < (x + 1) * fa; ++u) {
                const Acc* s = sums + std::min<long long>(u, g.count - 1) * NC;
                for (int ch = 0; ch < NC; ++ch)
                    box[ch] += s[ch];
            }
            for (int ch = 0; ch < NC; ++ch) {
                const std::int32_t v = ResizeTrunc(c * static_cast<long double>(box[ch]) + 0.5L);
                out[ch] = static_cast<T>(std::min<std::int32_t>(v, std::numeric_limits<T>::max()));
            }
        }
    }
}

// Any box: float column sums, extended-precision box sums rounded once to float.
template <class T, int NC> void AnyBoxes(const SuperKernelArgs& g, int pitch, float* sums) noexcept
{
    const auto* src = static_cast<const char*>(g.src);
    auto* dstRow = static_cast<char*>(g.dst);
    const long double c = g.c;
    const long long lastCol = g.count - 1;
    const std::size_t slots = static_cast<std::size_t>(g.count) * NC;
    BoxWalk<double> rowWalk(g.b, (g.walkMode & 1) != 0);
    const auto addRow = [&](long long unit, long double weight, bool whole) {
        const T* row = reinterpret_cast<const T*>(src + std::min<long long>(unit, g.rows - 1) * g.srcStep);
        float* s = sums;
        if (whole) {
            for (int x = 0; x < g.count; ++x, row += pitch, s += NC)
                for (int ch = 0; ch < NC; ++ch)
                    s[ch] = static_cast<float>(static_cast<double>(row[ch]) + s[ch]);
        } else {
            for (int x = 0; x < g.count; ++x, row += pitch, s += NC)
                for (int ch = 0; ch < NC; ++ch)
                    s[ch] = static_cast<float>(static_cast<long double>(row[ch]) * weight + s[ch]);
        }
    };
    for (int y = 0; y < g.dstH; ++y, dstRow += g.dstStep) {
        std::memset(sums, 0, slots * sizeof(float));
        rowWalk.Box(y, addRow);
        T* out = reinterpret_cast<T*>(dstRow);
        BoxWalk<long double> colWalk(g.a, (g.walkMode & 2) != 0);
        for (int x = 0; x < g.dstW; ++x, out += pitch) {
            long double run[NC] = {};
            colWalk.Box(x, [&](long long unit, long double weight, bool whole) {
                const float* s = sums + std::min(unit, lastCol) * NC;
                for (int ch = 0; ch < NC; ++ch)
                    run[ch] += whole ? static_cast<long double>(s[ch]) : s[ch] * weight;
            });
            for (int ch = 0; ch < NC; ++ch) {
                const long double scaled = c * static_cast<float>(run[ch]);
                if constexpr (std::is_floating_point_v<T>) {
                    out[ch] = static_cast<float>(scaled);
                } else {
                    // Float sums of a large box can round above the largest sample.
                    const std::int32_t v = ResizeTrunc(scaled + 0.5L);
                    out[ch] = static_cast<T>(std::clamp<std::int32_t>(v, 0, std::numeric_limits<T>::max()));
                }
            }
        }
    }
}

// One kernel: NC channels processed per pixel, source and destination pixels `pitch`
// elements apart. Allocates the column sums for the call.
template <class T, int NC> VpsStatus Super(const SuperKernelArgs& g, int pitch) noexcept
{
    const std::int64_t slots = static_cast<std::int64_t>(g.count) * NC;
    if constexpr (!std::is_floating_point_v<T>) {
        if (g.walkMode == 0) {
            // 32-bit column sums while a column of the box cannot pass 2^32.
            const bool narrow = g.b * std::numeric_limits<T>::max() < 4294967296.0;
            void* block = dspMallocBytes(slots * (narrow ? 4 : 8));
            if (!block)
                return StatusNoMemory;
            if (narrow)
                WholeBoxes<T, NC>(g, pitch, static_cast<std::uint32_t*>(block));
            else
                WholeBoxes<T, NC>(g, pitch, static_cast<std::uint64_t*>(block));
            dspFree(block);
            return StatusOk;
        }
    }
    void* block = dspMallocBytes(slots * 4);
    if (!block)
        return StatusNoMemory;
    AnyBoxes<T, NC>(g, pitch, static_cast<float*>(block));
    dspFree(block);
    return StatusOk;
}

}  // namespace

VpsStatus dspResizeSuper_8u_C1(const SuperKernelArgs& a) noexcept { return Super<Vps8u, 1>(a, 1); }
VpsStatus dspResizeSuper_8u_C3(const SuperKernelArgs& a) noexcept { return Super<Vps8u, 3>(a, a.stride); }
VpsStatus dspResizeSuper_8u_C4(const SuperKernelArgs& a) noexcept { return Super<Vps8u, 4>(a, 4); }
VpsStatus dspResizeSuper_16u_C1(const SuperKernelArgs& a) noexcept { return Super<Vps16u, 1>(a, 1); }
VpsStatus dspResizeSuper_16u_C3(const SuperKernelArgs& a) noexcept { return Super<Vps16u, 3>(a, a.stride); }
VpsStatus dspResizeSuper_16u_C4(const SuperKernelArgs& a) noexcept { return Super<Vps16u, 4>(a, 4); }
VpsStatus dspResizeSuper_32f_C1(const SuperKernelArgs& a) noexcept { return Super<Vps32f, 1>(a, 1); }
VpsStatus dspResizeSuper_32f_C3(const SuperKernelArgs& a) noexcept { return Super<Vps32f, 3>(a, a.stride); }
VpsStatus dspResizeSuper_32f_C4(const SuperKernelArgs& a) noexcept { return Super<Vps32f, 4>(a, 4); }

VpsStatus dspResizeSuperGeometry(VpiSize srcSize, VpiRect roi, VpiSize dstSize, double xFactor, double yFactor,
                                 SuperKernelArgs* g) noexcept
{
    VpiSize eff {};
    if (VpsStatus st = ResizeFit(srcSize, &roi, dstSize, xFactor, yFactor, &eff))
        return st;
    const long double a = 1.0L / xFactor;
    const long double b = 1.0L / yFactor;
    g->dstW = eff.width;
    g->dstH = eff.height;
    g->rows = roi.height;
    g->a = static_cast<double>(a);
    g->b = static_cast<double>(b);
    g->c = static_cast<double>(static_cast<long double>(xFactor) * yFactor);
    const std::int64_t reach = static_cast<std::int64_t>(ResizeTrunc((eff.width + 1.0L) * a)) + 1;
    g->count = static_cast<int>(std::min<std::int64_t>(reach, roi.width));
    g->walkMode = (a != std::trunc(a) ? 2 : 0) + (b != std::trunc(b) ? 1 : 0);
    return StatusOk;
}

VpsStatus dspResizeSuper(const void* pSrc, VpiSize srcSize, int srcStep, VpiRect roi, void* pDst, int dstStep,
                         VpiSize dstSize, double xFactor, double yFactor, int stride, int channels, int type,
                         int /*planar: pixels are always interleaved*/) noexcept
{
    if (VpsStatus st = ResizeCheckArgs(pSrc, srcSize, roi, pDst, dstSize, xFactor, yFactor))
        return st;
    SuperKernelArgs g;
    if (VpsStatus st = dspResizeSuperGeometry(srcSize, roi, dstSize, xFactor, yFactor, &g))
        return st;
    static constexpr SuperKernel kKernels[3][3] = {
        {dspResizeSuper_8u_C1, dspResizeSuper_8u_C4, dspResizeSuper_8u_C3},
        {dspResizeSuper_16u_C1, dspResizeSuper_16u_C4, dspResizeSuper_16u_C3},
        {dspResizeSuper_32f_C1, dspResizeSuper_32f_C4, dspResizeSuper_32f_C3},
    };
    const int size = type == kResize8u ? 1 : (type == kResize16u ? 2 : 4);
    const int pitch = channels == 1 ? 1 : (channels == 4 ? 4 : stride);
    g.src = static_cast<const char*>(pSrc) + static_cast<std::ptrdiff_t>(roi.y) * srcStep +
        static_cast<std::ptrdiff_t>(roi.x) * pitch * size;
    g.dst = pDst;
    g.srcStep = srcStep;
    g.dstStep = dstStep;
    g.stride = stride;
    const int layout = channels == 1 ? 0 : (channels == 4 ? 1 : 2);
    return kKernels[std::clamp(type, 0, 2)][layout](g);
}

}  // namespace dcs
