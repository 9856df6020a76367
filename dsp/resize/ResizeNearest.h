// Nearest-neighbour row kernels of the general resize driver: each destination pixel is
// a copy of the source pixel its tables point at.
#pragma once

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// Three elements per pixel, destination pixels `stride` apart (the rest untouched).
void dspResizeNearest_8u_C3(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_16u_C3(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_32f_C3(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_8u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_16u_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_32f_C1(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_8u_C4(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_16u_C4(const ResizeKernelArgs& a) noexcept;
void dspResizeNearest_32f_C4(const ResizeKernelArgs& a) noexcept;

}  // namespace dcs
