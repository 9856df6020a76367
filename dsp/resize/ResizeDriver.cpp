#include "dsp/resize/ResizeDriver.h"

#include <algorithm>

#include "dsp/DspCore.h"
#include "dsp/resize/LanczosWeights.h"
#include "dsp/resize/ResizeChecksInternal.h"
#include "dsp/resize/ResizeCubic.h"
#include "dsp/resize/ResizeLanczos.h"
#include "dsp/resize/ResizeLinear.h"
#include "dsp/resize/ResizeNearest.h"

namespace dcs {

const ResizeKernel ResizeKernelTable[33] = {
    dspResizeNearest_8u_C3,      dspResizeNearest_16u_C3,      dspResizeNearest_32f_C3,
    dspResizeNearest_8u_C1,      dspResizeNearest_16u_C1,      dspResizeNearest_32f_C1,
    dspResizeNearest_8u_C4,      dspResizeNearest_16u_C4,      dspResizeNearest_32f_C4,
    dspResizeLinear_8u_Cn,       dspResizeLinear_16u_Cn,       dspResizeLinear_32f_Cn,
    dspResizeLinear_8u_C1,       dspResizeLinear_16u_C1,       dspResizeLinear_32f_C1,
    dspResizeCubic_8u_Cn,        dspResizeCubic_16u_Cn,        dspResizeCubic_32f_Cn,
    dspResizeCubic_8u_C1,        dspResizeCubic_16u_C1,        dspResizeCubic_32f_C1,
    dspResizeLanczos_8u_Cn,      dspResizeLanczos_16u_Cn,      dspResizeLanczos_32f_Cn,
    dspResizeLanczos_8u_C1,      dspResizeLanczos_16u_C1,      dspResizeLanczos_32f_C1,
    dspResizeLanczosInner_8u_Cn, dspResizeLanczosInner_16u_Cn, dspResizeLanczosInner_32f_Cn,
    dspResizeLanczosInner_8u_C1, dspResizeLanczosInner_16u_C1, dspResizeLanczosInner_32f_C1,
};

int ResizeKernelIndex(int interpolation, int type, int channels) noexcept
{
    switch (interpolation) {
    case InterpNearest: return type + (channels == 1 ? 3 : (channels == 4 ? 6 : 0));
    case InterpLinear: return 9 + type + (channels == 1 ? 3 : 0);
    case InterpCubic: return 15 + type + (channels == 1 ? 3 : 0);
    default: return 21 + type + (channels == 1 ? 3 : 0);
    }
}

void dspResizeAxis(int interpolation, int type, bool columns, long double start, double step, int count, int origin,
                   int srcSize, int roiLen, std::ptrdiff_t scale, std::ptrdiff_t* index, void* fractions) noexcept
{
    const int last = srcSize - origin - 1;  // ROI-relative index of the image's last one
    const bool q14 = interpolation == InterpLinear && type != kResize32f;
    auto* weights = static_cast<Vps16u*>(fractions);
    auto* t = static_cast<float*>(fractions);
    long double pos = start;
    for (int j = 0; j < count; ++j, pos += step) {
        int k = std::max(0, ResizeTrunc(pos + kResizeEpsilon));
        if (interpolation == InterpNearest) {
            // A destination raised to one pixel may land one past the ROI: take its last.
            index[j] = std::min(k, roiLen - 1) * scale;
            continue;
        }
        // Shifted positions may run past the image by less than a pixel; such a pixel
        // takes the edge value, as the image's last pixel exactly.
        const bool beyond = k > last;
        k = std::min(k, last);
        long double frac = pos - k;
        if (interpolation == InterpLinear) {
            if (k == last) {
                --k;
                frac = 1.0L;
            }
            if (q14) {
                const auto w = static_cast<Vps16u>(ResizeTrunc(frac * 16384.0L + kResizeEpsilon));
                if (columns) {
                    weights[2 * j] = static_cast<Vps16u>(16384 - w);
                    weights[2 * j + 1] = w;
                } else {
                    weights[j] = w;
                }
            } else {
                t[j] = static_cast<float>(frac);
            }
        } else if (interpolation == InterpCubic) {
            const int r = origin + k;
            if (r == srcSize - 1) {
                k -= 2;
                frac = 2.0L;
            } else {
                k += r == 0 ? 1 : (r == srcSize - 2 ? -1 : 0);
                frac = pos - k;
            }
            t[j] = static_cast<float>(frac);
        } else {
            t[j] = beyond ? 0.0f : static_cast<float>(frac);
        }
        index[j] = k * scale;
    }
}

ResizePlan::~ResizePlan()
{
    for (int i = 0; i < blockCount_; ++i)
        dspFree(blocks_[i]);
}

void* ResizePlan::Keep(void* block) noexcept
{
    if (block)
        blocks_[blockCount_++] = block;
    return block;
}

void* ResizePlan::Alloc(std::int64_t bytes) noexcept { return Keep(dspMallocBytes(bytes)); }

namespace {

int Lowered(int interpolation, VpiSize src) noexcept
{
    const int least = std::min(src.width, src.height);
    if (least < 8 && interpolation == InterpLanczos)
        interpolation = InterpCubic;
    if (least < 4 && interpolation == InterpCubic)
        interpolation = InterpLinear;
    if (least < 2)
        interpolation = InterpNearest;
    return interpolation;
}

double Step(int interpolation, int roiLen, double factor) noexcept
{
    if (interpolation == InterpNearest)
        return 1.0 / factor;
    const long double scaled = static_cast<long double>(roiLen) * factor;
    return scaled > 1.0L ? static_cast<double>((roiLen - 1) / (scaled - 1.0L)) : 0.0;
}

}  // namespace

VpsStatus ResizePlan::Build(const ResizeRequest& r) noexcept
{
    if (VpsStatus st = ResizeCheckArgs(r.src, r.srcSize, r.roi, r.dst, r.dstSize, r.xFactor, r.yFactor))
        return st;
    if (r.interpolation != InterpNearest && r.interpolation != InterpLinear && r.interpolation != InterpCubic &&
        r.interpolation != InterpLanczos)
        return StatusBadInterpolation;
    interpolation = Lowered(r.interpolation, r.srcSize);
    roi = r.roi;
    VpiSize eff {};
    if (VpsStatus st = ResizeFit(r.srcSize, &roi, r.dstSize, r.xFactor, r.yFactor, &eff))
        return st;
    const int dstW = eff.width;
    const int dstH = eff.height;
    xStep = Step(interpolation, roi.width, r.xFactor);
    yStep = Step(interpolation, roi.height, r.yFactor);

    const int elemShift = r.type == kResize8u ? 0 : (r.type == kResize16u ? 1 : 2);
    args.srcStep = r.srcStep >> elemShift;
    args.dstStep = r.dstStep >> elemShift;
    args.dstW = dstW;
    args.dstH = dstH;

    auto* rowIndex = static_cast<std::ptrdiff_t*>(Alloc(std::int64_t {8} * dstH));
    auto* colIndex = rowIndex ? static_cast<std::ptrdiff_t*>(Alloc(std::int64_t {8} * dstW)) : nullptr;
    if (!colIndex)
        return StatusNoMemory;
    args.rowIndex = rowIndex;
    args.colIndex = colIndex;

    const bool nearest = interpolation == InterpNearest;
    const bool q14 = interpolation == InterpLinear && r.type != kResize32f;
    void* rowFractions = nullptr;
    void* colFractions = nullptr;
    if (!nearest) {
        const auto table = [&](std::int64_t n) { return q14 ? Keep(dspMalloc_16s(n)) : Alloc(4 * n); };
        rowFractions = table(dstH);
        colFractions = rowFractions ? table(q14 ? std::int64_t {2} * dstW : dstW) : nullptr;
        if (!colFractions)
            return StatusNoMemory;
    }
    const long double xStart = r.xShift + (nearest ? 0.5L * xStep : 0.0L);
    const long double yStart = r.yShift + (nearest ? 0.5L * yStep : 0.0L);
    dspResizeAxis(interpolation, r.type, true, xStart, xStep, dstW, roi.x, r.srcSize.width, roi.width,
                  r.channels != 1 ? r.stride : 1, colIndex, colFractions);
    dspResizeAxis(interpolation, r.type, false, yStart, yStep, dstH, roi.y, r.srcSize.height, roi.height, args.srcStep,
                  rowIndex, rowFractions);
    args.rowFractions = rowFractions;
    args.colFractions = colFractions;

    if (interpolation == InterpLanczos) {
        auto* rowWeights = static_cast<float*>(Alloc(std::int64_t {24} * dstH));
        auto* colWeights = rowWeights ? static_cast<float*>(Alloc(std::int64_t {24} * dstW)) : nullptr;
        if (!colWeights)
            return StatusNoMemory;
        dspLanczosWeights(static_cast<const float*>(colFractions), dstW, colWeights);
        dspLanczosWeights(static_cast<const float*>(rowFractions), dstH, rowWeights);
        args.rowWeights = rowWeights;
        args.colWeights = colWeights;
    }

    const int buffers = interpolation == InterpLinear ? 2 : (interpolation == InterpCubic ? 4 : (nearest ? 0 : 6));
    const std::int64_t perPixel = r.channels == 1 ? 1 : (r.channels == 3 ? 3 : 4);
    const std::int64_t elements = perPixel * (dstW + std::int64_t {4});
    for (int i = 0; i < buffers; ++i) {
        args.buffers[i] = Alloc(elements * (q14 ? 2 : 4));
        if (!args.buffers[i])
            return StatusNoMemory;
    }

    const int elemSize = 1 << elemShift;
    args.src = static_cast<const char*>(r.src) + static_cast<std::ptrdiff_t>(roi.y) * r.srcStep +
        static_cast<std::ptrdiff_t>(roi.x) * r.stride * elemSize;
    args.dst = r.dst;
    args.roiX = roi.x;
    args.roiY = roi.y;
    args.restW = r.srcSize.width - roi.x;
    args.restH = r.srcSize.height - roi.y;
    args.upscale = r.yFactor >= 1.0 ? 1 : 0;
    args.stride = r.stride;
    args.channels = r.channels;
    kernelIndex = ResizeKernelIndex(interpolation, r.type, r.channels);
    return StatusOk;
}

VpsStatus dspResize(const void* pSrc, VpiSize srcSize, int srcStep, VpiRect roi, void* pDst, int dstStep,
                    VpiSize dstSize, double xFactor, double yFactor, double xShift, double yShift, int stride,
                    int channels, int type, int planar, int interpolation) noexcept
{
    const ResizeRequest request {pSrc,    srcSize, srcStep, roi,    pDst,     dstStep, dstSize, xFactor,
                                 yFactor, xShift,  yShift,  stride, channels, type,    planar,  interpolation};
    ResizePlan plan;
    if (VpsStatus st = plan.Build(request))
        return st;
    ResizeKernelTable[plan.kernelIndex](plan.args);
    return StatusOk;
}

}  // namespace dcs
