#include "dsp/resize/ResizeLinear.h"

#include "dsp/resize/ResizeWindowInternal.h"

namespace dcs {

namespace {

template <class T, int NC> void LinearRows(const ResizeKernelArgs& a, int stride) noexcept
{
    using Buf = LinearBuf<T>;
    const T* src = static_cast<const T*>(a.src);
    const auto* rowW = static_cast<const LinearRowWeight<T>*>(a.rowFractions);
    const auto filter = [&](std::ptrdiff_t offset, Buf* out) {
        dspLinearRow<T, NC>(src + offset, a.dstW, stride, a.colIndex, a.colFractions, out);
    };
    const bool threeOfFour = NC == 3 && a.stride != 3;
    resize::ResizeRunRows<2, 0, Buf, T>(
        a, static_cast<std::size_t>(a.dstW) * NC, false, filter, resize::ResizeRowsUnclamped {a.srcStep},
        [&](T* dst, int i, const auto& window) {
            if (threeOfFour)
                dspLinearColumn<T, 4>(dst, a.dstW, rowW[i], window.Row(0), window.Row(1));
            else
                dspLinearColumn<T>(dst, a.dstW * NC, rowW[i], window.Row(0), window.Row(1));
        });
}

template <class T> void LinearCn(const ResizeKernelArgs& a) noexcept
{
    resize::ResizeForChannels(a, [&](auto nc, int stride) { LinearRows<T, nc>(a, stride); });
}

}  // namespace

void dspResizeLinear_8u_Cn(const ResizeKernelArgs& a) noexcept { LinearCn<Vps8u>(a); }
void dspResizeLinear_16u_Cn(const ResizeKernelArgs& a) noexcept { LinearCn<Vps16u>(a); }
void dspResizeLinear_32f_Cn(const ResizeKernelArgs& a) noexcept { LinearCn<Vps32f>(a); }
void dspResizeLinear_8u_C1(const ResizeKernelArgs& a) noexcept { LinearRows<Vps8u, 1>(a, 1); }
void dspResizeLinear_16u_C1(const ResizeKernelArgs& a) noexcept { LinearRows<Vps16u, 1>(a, 1); }
void dspResizeLinear_32f_C1(const ResizeKernelArgs& a) noexcept { LinearRows<Vps32f, 1>(a, 1); }

}  // namespace dcs
