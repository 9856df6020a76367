// Records, codes and small numeric helpers shared by the resize drivers and kernels.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "dsp/DspTypes.h"

namespace dcs {

// Region of interest of an image entry, passed by value: origin first, in pixels.
struct VpiRect {
    int x;
    int y;
    int width;
    int height;
};
static_assert(sizeof(VpiRect) == 16);

inline constexpr int InterpNearest = 1;
inline constexpr int InterpLinear = 2;
inline constexpr int InterpCubic = 4;
inline constexpr int InterpSuper = 8;
inline constexpr int InterpLanczos = 16;

// Element type codes of the drivers: 0 unsigned 8-bit, 1 unsigned 16-bit, 2 float.
inline constexpr int kResize8u = 0;
inline constexpr int kResize16u = 1;
inline constexpr int kResize32f = 2;

// The tolerance by which a source position is moved up before it becomes an index.
inline constexpr double kResizeEpsilon = 1e-7;

// Every float-to-integer truncation of the resize code: toward zero, NaN gives 0 and
// values beyond the int32 range saturate, so a degenerate coordinate can never turn into
// an undefined conversion.
constexpr std::int32_t ResizeTrunc(long double v) noexcept
{
    if (!(v == v))
        return 0;
    if (v <= static_cast<long double>(INT32_MIN))
        return INT32_MIN;
    if (v >= static_cast<long double>(INT32_MAX))
        return INT32_MAX;
    return static_cast<std::int32_t>(v);
}

// Output of the cubic and Lanczos passes: integers get the 0.5000001 bias, are truncated
// toward zero and saturate (NaN gives 0); floats are stored as they are.
template <class T> inline T ResizeRoundOut(double v) noexcept
{
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(v);
    } else {
        // Selects rather than branches, so that the passes' loops vectorise.
        constexpr double top = static_cast<double>(std::numeric_limits<T>::max());
        double u = v + 0.5000001;
        u = u > 0.0 ? u : 0.0;  // also NaN
        u = u < top ? u : top;
        return static_cast<T>(static_cast<std::int32_t>(u));
    }
}

// Everything a row kernel of the general driver may need; each kind reads its own part.
// Steps are in elements; index tables hold element offsets from `src`.
struct ResizeKernelArgs {
    const void* src = nullptr;  // first element of the ROI
    void* dst = nullptr;
    std::ptrdiff_t srcStep = 0;
    std::ptrdiff_t dstStep = 0;
    int dstW = 0;
    int dstH = 0;
    const std::ptrdiff_t* rowIndex = nullptr;  // k * srcStep per destination row
    const std::ptrdiff_t* colIndex = nullptr;  // k * stride (k for one channel) per column
    // Linear 8u/16u: Q14 row weights (dstH) and column pairs (2 * dstW); otherwise floats.
    const void* rowFractions = nullptr;
    const void* colFractions = nullptr;
    const float* rowWeights = nullptr;  // Lanczos: 6 per destination row
    const float* colWeights = nullptr;  // Lanczos: 6 per destination column
    void* buffers[6] = {};
    int roiX = 0;
    int roiY = 0;
    int restW = 0;    // source width - roiX
    int restH = 0;    // source height - roiY
    int upscale = 0;  // the y factor is 1.0 or more: rows advance by one at most
    int stride = 1;
    int channels = 1;
};

using ResizeKernel = void (*)(const ResizeKernelArgs&);

}  // namespace dcs
