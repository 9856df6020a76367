#include "dsp/resize/ResizeLanczos.h"

#include "dsp/resize/LanczosWeights.h"
#include "dsp/resize/ResizeWindowInternal.h"

namespace dcs {

namespace {

// Edge kernels clamp the rows to the image: -roiY .. restH - 1 relative to the ROI.
struct RowsClamped {
    std::ptrdiff_t step;
    int roiY;
    int restH;
    std::ptrdiff_t operator()(std::ptrdiff_t v, int d) const noexcept
    {
        const std::ptrdiff_t y = step != 0 ? v / step : 0;
        return std::clamp<std::ptrdiff_t>(y + d, -roiY, restH - 1) * step;
    }
};

template <class T, int NC, bool Edge> void LanczosRows(const ResizeKernelArgs& a, int stride) noexcept
{
    const T* src = static_cast<const T*>(a.src);
    const auto filter = [&](std::ptrdiff_t offset, float* out) {
        if constexpr (Edge)
            dspLanczosRow<T, NC>(src + offset, stride, a.colIndex, a.colWeights, out, a.dstW, a.roiX, a.restW);
        else
            dspLanczosRowInner<T, NC>(src + offset, stride, a.colIndex, a.colWeights, out, a.dstW);
    };
    const bool threeOfFour = NC == 3 && a.stride != 3;
    const auto column = [&](T* dst, int i, const auto& w) {
        const float* const rows[6] = {w.Row(0), w.Row(1), w.Row(2), w.Row(3), w.Row(4), w.Row(5)};
        if (threeOfFour)
            dspLanczosColumn<T, 4>(dst, a.dstW, a.rowWeights + 6 * i, rows);
        else
            dspLanczosColumn<T>(dst, a.dstW * NC, a.rowWeights + 6 * i, rows);
    };
    const std::size_t len = static_cast<std::size_t>(a.dstW) * NC;
    if constexpr (Edge)
        resize::ResizeRunRows<6, 2, float, T>(a, len, a.upscale != 0, filter, RowsClamped {a.srcStep, a.roiY, a.restH},
                                              column);
    else
        resize::ResizeRunRows<6, 2, float, T>(a, len, false, filter, resize::ResizeRowsUnclamped {a.srcStep}, column);
}

template <class T, bool Edge> void LanczosCn(const ResizeKernelArgs& a) noexcept
{
    resize::ResizeForChannels(a, [&](auto nc, int stride) { LanczosRows<T, nc, Edge>(a, stride); });
}

}  // namespace

void dspResizeLanczos_8u_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps8u, true>(a); }
void dspResizeLanczos_16u_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps16u, true>(a); }
void dspResizeLanczos_32f_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps32f, true>(a); }
void dspResizeLanczos_8u_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps8u, 1, true>(a, 1); }
void dspResizeLanczos_16u_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps16u, 1, true>(a, 1); }
void dspResizeLanczos_32f_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps32f, 1, true>(a, 1); }
void dspResizeLanczosInner_8u_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps8u, false>(a); }
void dspResizeLanczosInner_16u_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps16u, false>(a); }
void dspResizeLanczosInner_32f_Cn(const ResizeKernelArgs& a) noexcept { LanczosCn<Vps32f, false>(a); }
void dspResizeLanczosInner_8u_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps8u, 1, false>(a, 1); }
void dspResizeLanczosInner_16u_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps16u, 1, false>(a, 1); }
void dspResizeLanczosInner_32f_C1(const ResizeKernelArgs& a) noexcept { LanczosRows<Vps32f, 1, false>(a, 1); }

}  // namespace dcs
