// Linear row kernels of the general resize driver and their passes: a row pass filters
// one source row horizontally into a buffer, a column pass blends two buffers into a
// destination row. 8-bit and 16-bit images use Q14 weights in integer arithmetic (8-bit
// buffers hold 64 times the sample scale), floats blend in double precision.
#pragma once

#include <cstddef>
#include <type_traits>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// Row buffers of the linear kernels.
template <class T> using LinearBuf = std::conditional_t<std::is_floating_point_v<T>, float, Vps16u>;
// Row weight (Q14 of the lower row) or float fraction.
template <class T> using LinearRowWeight = std::conditional_t<std::is_floating_point_v<T>, float, Vps16u>;

// NC filtered elements per pixel (1, 3 or 4); the neighbour pixel is `stride` elements
// on. Column fractions: Q14 pairs (w0, w1) for integers, one float t for floats.
template <class T, int NC>
void dspLinearRow(const T* row, int dstW, int stride, const std::ptrdiff_t* colIndex, const void* colFractions,
                  LinearBuf<T>* out) noexcept
{
    for (int j = 0; j < dstW; ++j, out += NC) {
        const T* p = row + colIndex[j];
        const T* q = p + stride;
        if constexpr (std::is_floating_point_v<T>) {
            const double t = static_cast<const float*>(colFractions)[j];
            for (int c = 0; c < NC; ++c)
                out[c] = static_cast<float>(p[c] + (static_cast<double>(q[c]) - p[c]) * t);
        } else {
            const Vps16u* pair = static_cast<const Vps16u*>(colFractions) + 2 * j;
            const std::uint32_t w0 = pair[0], w1 = pair[1];
            constexpr int shift = sizeof(T) == 1 ? 8 : 14;
            constexpr std::uint32_t half = 1u << (shift - 1);
            for (int c = 0; c < NC; ++c)
                out[c] = static_cast<Vps16u>((p[c] * w0 + q[c] * w1 + half) >> shift);
        }
    }
}

// Blends `upper` and `lower` into destination elements: `n` consecutive ones (Pitch 1),
// or elements 0 .. 2 of `n` four-element pixels from three buffer values each (Pitch 4).
template <class T, int Pitch = 1>
void dspLinearColumn(T* dst, int n, LinearRowWeight<T> w, const LinearBuf<T>* upper, const LinearBuf<T>* lower) noexcept
{
    constexpr int per = Pitch == 1 ? 1 : 3;
    for (int i = 0; i < n; ++i, dst += Pitch, upper += per, lower += per) {
        for (int c = 0; c < per; ++c) {
            if constexpr (std::is_floating_point_v<T>) {
                const double t = w;
                dst[c] = static_cast<float>((1.0 - t) * upper[c] + t * lower[c]);
            } else {
                constexpr int shift = sizeof(T) == 1 ? 20 : 14;
                constexpr std::uint32_t half = 1u << (shift - 1);
                const std::uint32_t w1 = w, w0 = 16384u - w1;
                dst[c] = static_cast<T>((w0 * upper[c] + w1 * lower[c] + half) >> shift);
            }
        }
    }
}

void dspResizeLinear_8u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLinear_16u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLinear_32f_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLinear_8u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLinear_16u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLinear_32f_C1(const ResizeKernelArgs& a) noexcept;

}  // namespace dcs
