#include "dsp/resize/ResizeEntries.h"

#include "dsp/resize/ResizeCenterRects.h"
#include "dsp/resize/ResizeDriver.h"
#include "dsp/resize/ResizeSuper.h"

namespace dcs {

namespace {

bool ToSuper(int interpolation, double xFactor, double yFactor) noexcept
{
    return interpolation == InterpSuper && xFactor <= 1.0 && yFactor <= 1.0;
}

template <class T, int C>
VpsStatus Resize(const T* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, T* pDst, int dstStep, VpiSize dstRoiSize,
                 double xFactor, double yFactor, int interpolation) noexcept
{
    constexpr int type = sizeof(T) == 1 ? kResize8u : kResize16u;
    if (ToSuper(interpolation, xFactor, yFactor))
        return dspResizeSuper(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor, C, C, type,
                              0);
    return dspResize(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor, 0.0, 0.0, C, C, type,
                     0, interpolation);
}

}  // namespace

namespace fallback {

VpsStatus vpiResize_8u_C3R(const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                           VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation)
{
    return Resize<Vps8u, 3>(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor, interpolation);
}

VpsStatus vpiResize_8u_C4R(const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                           VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation)
{
    return Resize<Vps8u, 4>(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor, interpolation);
}

VpsStatus vpiResize_8u_C1R(const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst, int dstStep,
                           VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation)
{
    return Resize<Vps8u, 1>(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor, interpolation);
}

VpsStatus vpiResize_16u_C1R(const Vps16u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps16u* pDst, int dstStep,
                            VpiSize dstRoiSize, double xFactor, double yFactor, int interpolation)
{
    return Resize<Vps16u, 1>(pSrc, srcSize, srcStep, srcRoi, pDst, dstStep, dstRoiSize, xFactor, yFactor,
                             interpolation);
}

VpsStatus vpiResizeCenter_8u_C4R(const Vps8u* pSrc, VpiSize srcSize, int srcStep, VpiRect srcRoi, Vps8u* pDst,
                                 int dstStep, VpiSize dstRoiSize, double xFactor, double yFactor, double xCenter,
                                 double yCenter, int interpolation)
{
    if (!pDst)
        return StatusNullPointer;
    VpiRect dstRect {}, srcRect {};
    double xShift = 0.0, yShift = 0.0;
    if (VpsStatus st = dspResizeCenterRects(srcSize, srcRoi, dstRoiSize, xFactor, yFactor, xCenter, yCenter, &dstRect,
                                            &srcRect, &xShift, &yShift))
        return st;
    // An empty rectangle is reported by the driver before it looks at the pointer.
    if (dstRect.width > 0 && dstRect.height > 0)
        pDst += static_cast<std::ptrdiff_t>(dstRect.x) * 4 + static_cast<std::ptrdiff_t>(dstRect.y) * dstStep;
    const VpiSize size {dstRect.width, dstRect.height};
    if (ToSuper(interpolation, xFactor, yFactor))
        return dspResizeSuper(pSrc, srcSize, srcStep, srcRect, pDst, dstStep, size, xFactor, yFactor, 4, 4, kResize8u,
                              0);
    return dspResize(pSrc, srcSize, srcStep, srcRect, pDst, dstStep, size, xFactor, yFactor, xShift, yShift, 4, 4,
                     kResize8u, 0, interpolation);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpiResize_8u_C3R)
DCS_DSP_DEFINE(vpiResize_8u_C4R)
DCS_DSP_DEFINE(vpiResize_8u_C1R)
DCS_DSP_DEFINE(vpiResize_16u_C1R)
DCS_DSP_DEFINE(vpiResizeCenter_8u_C4R)

namespace {
constexpr DspEntryDef kResizeEntries[] = {
    DCS_DSP_ENTRY(vpiResize_8u_C3R),  DCS_DSP_ENTRY(vpiResize_8u_C4R),       DCS_DSP_ENTRY(vpiResize_8u_C1R),
    DCS_DSP_ENTRY(vpiResize_16u_C1R), DCS_DSP_ENTRY(vpiResizeCenter_8u_C4R),
};
}  // namespace

void RegisterResizeEntries(DspRegistrar& r) { r.Add(kResizeEntries); }

}  // namespace dcs
