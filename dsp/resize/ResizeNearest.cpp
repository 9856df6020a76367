#include "dsp/resize/ResizeNearest.h"

namespace dcs {

namespace {

// NC elements copied per pixel; destination pixels `pitch` elements apart.
template <class T, int NC> void Nearest(const ResizeKernelArgs& a, int pitch) noexcept
{
    const T* src = static_cast<const T*>(a.src);
    T* dst = static_cast<T*>(a.dst);
    for (int i = 0; i < a.dstH; ++i, dst += a.dstStep) {
        const T* row = src + a.rowIndex[i];
        T* out = dst;
        for (int j = 0; j < a.dstW; ++j, out += pitch) {
            const T* p = row + a.colIndex[j];
            for (int c = 0; c < NC; ++c)
                out[c] = p[c];
        }
    }
}

}  // namespace

void dspResizeNearest_8u_C3(const ResizeKernelArgs& a) noexcept { Nearest<Vps8u, 3>(a, a.stride); }
void dspResizeNearest_16u_C3(const ResizeKernelArgs& a) noexcept { Nearest<Vps16u, 3>(a, a.stride); }
void dspResizeNearest_32f_C3(const ResizeKernelArgs& a) noexcept { Nearest<Vps32f, 3>(a, a.stride); }
void dspResizeNearest_8u_C1(const ResizeKernelArgs& a) noexcept { Nearest<Vps8u, 1>(a, 1); }
void dspResizeNearest_16u_C1(const ResizeKernelArgs& a) noexcept { Nearest<Vps16u, 1>(a, 1); }
void dspResizeNearest_32f_C1(const ResizeKernelArgs& a) noexcept { Nearest<Vps32f, 1>(a, 1); }
void dspResizeNearest_8u_C4(const ResizeKernelArgs& a) noexcept { Nearest<Vps8u, 4>(a, 4); }
void dspResizeNearest_16u_C4(const ResizeKernelArgs& a) noexcept { Nearest<Vps16u, 4>(a, 4); }
void dspResizeNearest_32f_C4(const ResizeKernelArgs& a) noexcept { Nearest<Vps32f, 4>(a, 4); }

}  // namespace dcs
