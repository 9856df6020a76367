// Cubic row kernels of the general resize driver: the Lagrange cubic through four
// samples in Newton form, along rows into float buffers, then down the columns.
#pragma once

#include <cstddef>
#include <type_traits>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// Newton coefficients of position t (samples at -1, 0, 1, 2).
struct CubicCoeffs {
    double c1, c2, c3;
    explicit CubicCoeffs(double t) noexcept : c1(t + 1.0), c2(t * (t + 1.0) * 0.5), c3(c2 * (t - 1.0) / 3.0) {}
};

inline double CubicValue(const CubicCoeffs& k, double a, double b, double c, double d) noexcept
{
    const double d1 = b - a;
    const double d2 = (c - b) - d1;
    const double d3 = (d - 2.0 * c + b) - d2;
    return a + k.c3 * d3 + k.c2 * d2 + k.c1 * d1;
}

// NC filtered elements per pixel; taps p - d, p, p + d, p + 2d with d = stride.
template <class T, int NC>
void dspCubicRow(const T* row, int dstW, int stride, const std::ptrdiff_t* colIndex, const float* colFractions,
                 float* out) noexcept
{
    for (int j = 0; j < dstW; ++j, out += NC) {
        const T* p = row + colIndex[j];
        const CubicCoeffs k(colFractions[j]);
        for (int c = 0; c < NC; ++c)
            out[c] = static_cast<float>(CubicValue(k, p[c - stride], p[c], p[c + stride], p[c + 2 * stride]));
    }
}

// Combines the filtered rows k-1 .. k+2 into `n` consecutive elements (Pitch 1) or into
// elements 0 .. 2 of `n` four-element pixels (Pitch 4). c3 is used in single precision;
// the float three-of-four pass uses all three coefficients in single precision.
template <class T, int Pitch = 1>
void dspCubicColumn(T* dst, int n, float t, const float* r0, const float* r1, const float* r2, const float* r3) noexcept
{
    CubicCoeffs k(t);  // a local copy the loop can keep in registers
    k.c3 = static_cast<float>(k.c3);
    if (std::is_floating_point_v<T> && Pitch == 4) {
        k.c1 = static_cast<float>(k.c1);
        k.c2 = static_cast<float>(k.c2);
    }
    constexpr int per = Pitch == 1 ? 1 : 3;
    for (int i = 0; i < n; ++i, dst += Pitch) {
        for (int c = 0; c < per; ++c) {
            const int e = i * per + c;
            dst[c] = ResizeRoundOut<T>(CubicValue(k, r0[e], r1[e], r2[e], r3[e]));
        }
    }
}

void dspResizeCubic_8u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeCubic_16u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeCubic_32f_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeCubic_8u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeCubic_16u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeCubic_32f_C1(const ResizeKernelArgs& a) noexcept;

}  // namespace dcs
