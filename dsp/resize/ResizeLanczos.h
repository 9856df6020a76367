// Lanczos row kernels (three lobes, six taps each way) of the general resize driver.
// The edge kernels replicate the image's border pixels for taps outside the image; the
// inner kernels read every tap as it is and serve regions whose whole neighbourhood lies
// inside the image.
#pragma once

#include <algorithm>
#include <cstddef>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// Horizontal pass without clamping: for destination pixel i with centre offset o =
// colIndex[i], channel c gets sum_j w[i][j] * row[o + (j - 2) * stride + c].
template <class T, int NC>
void dspLanczosRowInner(const T* row, int stride, const std::ptrdiff_t* colIndex, const float* colWeights, float* out,
                        int dstW) noexcept
{
    for (int i = 0; i < dstW; ++i, out += NC) {
        const T* p = row + colIndex[i] - 2 * stride;
        const float* w = colWeights + 6 * i;
        for (int c = 0; c < NC; ++c) {
            double v = 0.0;
            for (int j = 0; j < 6; ++j)
                v += static_cast<double>(p[j * stride + c]) * w[j];
            out[c] = static_cast<float>(v);
        }
    }
}

// Horizontal pass with the source columns clamped to -roiX .. restW - 1 (ROI-relative).
// The column index table is non-decreasing, so the columns fall into a clamped left run,
// an unclamped interior run and a clamped right run.
template <class T, int NC>
void dspLanczosRow(const T* row, int stride, const std::ptrdiff_t* colIndex, const float* colWeights, float* out,
                   int dstW, int roiX, int restW) noexcept
{
    const auto clamped = [&](int i) {
        const std::ptrdiff_t x = colIndex[i] / stride;
        const float* w = colWeights + 6 * i;
        for (int c = 0; c < NC; ++c) {
            double v = 0.0;
            for (int j = 0; j < 6; ++j) {
                const std::ptrdiff_t col = std::clamp<std::ptrdiff_t>(x - 2 + j, -roiX, restW - 1);
                v += static_cast<double>(row[col * stride + c]) * w[j];
            }
            out[i * NC + c] = static_cast<float>(v);
        }
    };
    int i = 0;
    for (; i < dstW && colIndex[i] / stride - 2 < -roiX; ++i)
        clamped(i);
    int end = i;
    while (end < dstW && colIndex[end] / stride + 3 <= restW - 1)
        ++end;
    dspLanczosRowInner<T, NC>(row, stride, colIndex + i, colWeights + 6 * i, out + i * NC, end - i);
    for (i = end; i < dstW; ++i)
        clamped(i);
}

void dspResizeLanczos_8u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczos_16u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczos_32f_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczos_8u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczos_16u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczos_32f_C1(const ResizeKernelArgs& a) noexcept;
// No edge handling: every tap of every destination pixel must lie inside the image.
void dspResizeLanczosInner_8u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczosInner_16u_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczosInner_32f_Cn(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczosInner_8u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczosInner_16u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeLanczosInner_32f_C1(const ResizeKernelArgs& a) noexcept;

}  // namespace dcs
