#include "dsp/resize/ResizeCubic.h"

#include "dsp/resize/ResizeWindowInternal.h"

namespace dcs {

namespace {

template <class T, int NC> void CubicRows(const ResizeKernelArgs& a, int stride) noexcept
{
    const T* src = static_cast<const T*>(a.src);
    const float* rowT = static_cast<const float*>(a.rowFractions);
    const float* colT = static_cast<const float*>(a.colFractions);
    const auto filter = [&](std::ptrdiff_t offset, float* out) {
        dspCubicRow<T, NC>(src + offset, a.dstW, stride, a.colIndex, colT, out);
    };
    const bool threeOfFour = NC == 3 && a.stride != 3;
    resize::ResizeRunRows<4, 1, float, T>(
        a, static_cast<std::size_t>(a.dstW) * NC, false, filter, resize::ResizeRowsUnclamped {a.srcStep},
        [&](T* dst, int i, const auto& w) {
            if (threeOfFour)
                dspCubicColumn<T, 4>(dst, a.dstW, rowT[i], w.Row(0), w.Row(1), w.Row(2), w.Row(3));
            else
                dspCubicColumn<T>(dst, a.dstW * NC, rowT[i], w.Row(0), w.Row(1), w.Row(2), w.Row(3));
        });
}

template <class T> void CubicCn(const ResizeKernelArgs& a) noexcept
{
    resize::ResizeForChannels(a, [&](auto nc, int stride) { CubicRows<T, nc>(a, stride); });
}

}  // namespace

void dspResizeCubic_8u_Cn(const ResizeKernelArgs& a) noexcept { CubicCn<Vps8u>(a); }
void dspResizeCubic_16u_Cn(const ResizeKernelArgs& a) noexcept { CubicCn<Vps16u>(a); }
void dspResizeCubic_32f_Cn(const ResizeKernelArgs& a) noexcept { CubicCn<Vps32f>(a); }
void dspResizeCubic_8u_C1(const ResizeKernelArgs& a) noexcept { CubicRows<Vps8u, 1>(a, 1); }
void dspResizeCubic_16u_C1(const ResizeKernelArgs& a) noexcept { CubicRows<Vps16u, 1>(a, 1); }
void dspResizeCubic_32f_C1(const ResizeKernelArgs& a) noexcept { CubicRows<Vps32f, 1>(a, 1); }

}  // namespace dcs
