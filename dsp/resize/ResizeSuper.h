// Supersampling resize: every destination pixel is the area-weighted mean of the source
// pixels its box covers (box a = 1/xF by b = 1/yF source pixels). For reductions only.
#pragma once

#include <cstddef>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// Box geometry and images of one call, as the driver hands them to a kernel. Steps are
// in bytes. Columns at or beyond `count` and rows at or beyond `rows` are never read: a
// box reaching past them repeats the last readable column or row.
struct SuperKernelArgs {
    const void* src = nullptr;  // first pixel of the ROI
    void* dst = nullptr;
    std::ptrdiff_t srcStep = 0;
    std::ptrdiff_t dstStep = 0;
    int count = 0;  // readable column count
    int rows = 0;   // rows of the clipped ROI
    int dstW = 0;
    int dstH = 0;
    double a = 1.0;    // horizontal box size
    double b = 1.0;    // vertical box size
    double c = 1.0;    // 1 / box area
    int stride = 3;    // three-channel kernels: elements per pixel
    int walkMode = 0;  // bit 1: horizontal box size fractional, bit 0: vertical
};

using SuperKernel = VpsStatus (*)(const SuperKernelArgs&);

// Checks as the general driver does up to the factors (the callers keep both factors at
// 1.0 or less), clips, derives the geometry and runs the kernel for (type, channels):
// channels 1, 4, or anything else for three channels at pixel stride `stride`. The
// kernel allocates its column sums itself; StatusNoMemory when that fails, nothing
// written.
VpsStatus dspResizeSuper(const void* pSrc, VpiSize srcSize, int srcStep, VpiRect roi, void* pDst, int dstStep,
                         VpiSize dstSize, double xFactor, double yFactor, int stride, int channels, int type,
                         int planar) noexcept;

// The geometry dspResizeSuper hands to its kernel, for a request that passed its checks.
// StatusResizeEmpty when the clipped ROI scales to less than half a pixel.
VpsStatus dspResizeSuperGeometry(VpiSize srcSize, VpiRect roi, VpiSize dstSize, double xFactor, double yFactor,
                                 SuperKernelArgs* geometry) noexcept;

VpsStatus dspResizeSuper_8u_C1(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_8u_C3(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_8u_C4(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_16u_C1(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_16u_C3(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_16u_C4(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_32f_C1(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_32f_C3(const SuperKernelArgs& a) noexcept;
VpsStatus dspResizeSuper_32f_C4(const SuperKernelArgs& a) noexcept;

}  // namespace dcs
