// The row window of the separable kernels: N horizontally filtered source rows around
// the current destination row's base row, refilled only by rows that enter it.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "dsp/resize/ResizeTypes.h"

namespace dcs::resize {

// Position p (0 .. N-1) holds the row `Before` rows above p, relative to the base row of
// the destination row last moved to: offsets v + (p - Before) * step, or whatever the
// kernel's rowOf maps them to (the edge kernels clamp to the image). A row whose offset
// another position already holds is copied rather than filtered again.
template <int N, int Before, class Buf> class ResizeRowWindow {
public:
    // buffers: N scratch rows of `len` elements each.
    ResizeRowWindow(void* const* buffers, std::ptrdiff_t step, std::size_t len, bool upscale) noexcept
        : step_(step), len_(len), upscale_(upscale)
    {
        for (int p = 0; p < N; ++p) {
            rows_[p] = static_cast<Buf*>(buffers[p]);
            valid_[p] = false;
        }
    }

    // Loads positions 1 .. N-1 for a window one row before `v0`, so that moving to v0
    // filters exactly the last row. filter(offset, out); rowOf(v, d) -> offset.
    template <class Filter, class RowOf> void Prime(std::ptrdiff_t v0, Filter&& filter, RowOf&& rowOf)
    {
        for (int p = 1; p < N; ++p)
            Fill(p, rowOf(v0, p - Before - 1), filter);
        last_ = step_ > 0 ? v0 - 1 : v0 + 1;
    }

    // Brings the window to base offset v; rows are tracked in the step's direction.
    template <class Filter, class RowOf> void MoveTo(std::ptrdiff_t v, Filter&& filter, RowOf&& rowOf)
    {
        if (step_ > 0 ? v <= last_ : v >= last_)
            return;
        int k = 1;
        if (!upscale_) {
            for (int m = 2; m <= N; ++m)
                if (step_ > 0 ? v >= last_ + m * step_ : v <= last_ + m * step_)
                    k = m;
        }
        Buf* freed[N];
        for (int p = 0; p < k; ++p)
            freed[p] = rows_[p];
        for (int p = 0; p + k < N; ++p) {
            rows_[p] = rows_[p + k];
            held_[p] = held_[p + k];
            valid_[p] = valid_[p + k];
        }
        for (int p = N - k; p < N; ++p) {
            rows_[p] = freed[p - (N - k)];
            valid_[p] = false;
        }
        for (int p = N - k; p < N; ++p)
            Fill(p, rowOf(v, p - Before), filter);
        last_ = v;
    }

    const Buf* Row(int p) const noexcept { return rows_[p]; }

private:
    template <class Filter> void Fill(int p, std::ptrdiff_t offset, Filter& filter)
    {
        for (int q = N - 1; q >= 0; --q) {
            if (q != p && valid_[q] && held_[q] == offset) {
                std::memcpy(rows_[p], rows_[q], len_ * sizeof(Buf));
                held_[p] = offset;
                valid_[p] = true;
                return;
            }
        }
        filter(offset, rows_[p]);
        held_[p] = offset;
        valid_[p] = true;
    }

    Buf* rows_[N];
    std::ptrdiff_t held_[N] = {};
    bool valid_[N];
    std::ptrdiff_t last_ = 0;
    std::ptrdiff_t step_;
    std::size_t len_;
    bool upscale_;
};

// Row offsets without clamping: the driver keeps every tap of linear, cubic and the inner
// Lanczos kernels inside the image.
struct ResizeRowsUnclamped {
    std::ptrdiff_t step;
    std::ptrdiff_t operator()(std::ptrdiff_t v, int d) const noexcept { return v + d * step; }
};

// The loop every separable kernel runs: prime the window on the first row offset, then
// per destination row bring the window up to date and let column(dst, i, window) write
// the row.
template <int N, int Before, class Buf, class T, class Filter, class RowOf, class Column>
void ResizeRunRows(const ResizeKernelArgs& a, std::size_t rowLen, bool upscale, Filter&& filter, RowOf rowOf,
                   Column&& column)
{
    ResizeRowWindow<N, Before, Buf> window(a.buffers, a.srcStep, rowLen, upscale);
    T* dst = static_cast<T*>(a.dst);
    window.Prime(a.rowIndex[0], filter, rowOf);
    for (int i = 0; i < a.dstH; ++i, dst += a.dstStep) {
        window.MoveTo(a.rowIndex[i], filter, rowOf);
        column(dst, i, window);
    }
}

// Multi-channel kernels: three channels at the caller's pixel stride, or four at stride 4.
// run(std::integral_constant<int, NC>, stride).
template <class Run> void ResizeForChannels(const ResizeKernelArgs& a, Run&& run)
{
    if (a.channels == 3)
        run(std::integral_constant<int, 3> {}, a.stride);
    else
        run(std::integral_constant<int, 4> {}, 4);
}

}  // namespace dcs::resize
