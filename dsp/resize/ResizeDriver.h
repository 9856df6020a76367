// The general resize driver: checks a request, lowers the interpolation for tiny
// sources, clips the ROI, builds per-row and per-column coordinate tables and runs one
// row kernel of ResizeKernelTable (nearest, linear, cubic or Lanczos).
#pragma once

#include <cstddef>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// The arguments of dspResize as one record (steps in bytes).
struct ResizeRequest {
    const void* src = nullptr;  // first element of the whole source image
    VpiSize srcSize {};
    int srcStep = 0;
    VpiRect roi {};
    void* dst = nullptr;  // first element of the destination region
    int dstStep = 0;
    VpiSize dstSize {};
    double xFactor = 1.0;  // destination pixels per source pixel
    double yFactor = 1.0;
    double xShift = 0.0;  // source-pixel offsets added to every source coordinate
    double yShift = 0.0;
    int stride = 1;    // elements from one pixel to the next
    int channels = 1;  // elements of each pixel that are resized
    int type = kResize8u;
    int planar = 0;  // always 0: pixels are interleaved
    int interpolation = InterpNearest;
};

// 0-8 nearest (three-element, one-channel, four-element by type), 9-14 linear, 15-20
// cubic, 21-26 Lanczos with edge replication, 27-32 Lanczos without edge handling (never
// chosen by the driver). Within a kind: multi-channel kernels by type, then one-channel.
extern const ResizeKernel ResizeKernelTable[33];

// The table index the driver picks for an interpolation that survived lowering.
int ResizeKernelIndex(int interpolation, int type, int channels) noexcept;

// Fills one axis's tables for `count` destination columns or rows: positions start,
// start + step, ... (accumulated in extended precision), base index k of each, stored as
// k * scale, and the fractions of the kind (see ResizeKernelArgs). `origin` is the ROI's
// first column or row in the image, `roiLen` the clipped ROI's length.
void dspResizeAxis(int interpolation, int type, bool columns, long double start, double step, int count, int origin,
                   int srcSize, int roiLen, std::ptrdiff_t scale, std::ptrdiff_t* index, void* fractions) noexcept;

// Everything the driver prepares before the kernel runs. Owns its tables and buffers
// (aligned blocks released by the destructor).
class ResizePlan {
public:
    ResizePlan() = default;
    ~ResizePlan();
    ResizePlan(const ResizePlan&) = delete;
    ResizePlan& operator=(const ResizePlan&) = delete;

    // Checks in order: null pointers (-8), sizes (-6), ROI origin outside (+29),
    // destination size (-6), factors (-23, also NaN and infinite ones), interpolation
    // (-22); then an empty result (-201) and allocations (-9). Nothing is written.
    VpsStatus Build(const ResizeRequest& r) noexcept;

    int interpolation = 0;  // after lowering
    VpiRect roi {};         // clipped
    double xStep = 0.0;
    double yStep = 0.0;
    int kernelIndex = 0;
    ResizeKernelArgs args;

private:
    void* Keep(void* block) noexcept;  // released with the plan; null passes through
    void* Alloc(std::int64_t bytes) noexcept;
    void* blocks_[12] = {};
    int blockCount_ = 0;
};

// The general driver; returns StatusOk once the kernel has written dstW x dstH pixels.
VpsStatus dspResize(const void* pSrc, VpiSize srcSize, int srcStep, VpiRect roi, void* pDst, int dstStep,
                    VpiSize dstSize, double xFactor, double yFactor, double xShift, double yShift, int stride,
                    int channels, int type, int planar, int interpolation) noexcept;

}  // namespace dcs
