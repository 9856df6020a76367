#include "dsp/double/IirFilters.h"

namespace dcs {

namespace {

bool IsIir64f(std::uint32_t id) { return id == kIdIirState64f || id == kIdIirStateBiQuad64f; }

// Transposed direct form II. From order 2 on the samples go in pairs: the delay line is
// read and written once per two samples, and the always-zero slot after the last delay
// value lets one formula serve every delay value but the last.
void dspIIRAnyOrder_64f(const double* src, double* dst, int len, IirState64f* s) noexcept
{
    const int n = s->length;
    const double* b = s->taps;
    const double* a = s->taps + n;  // a[1..n]
    double* d = s->delay;
    if (n == 0) {
        for (int i = 0; i < len; ++i)
            dst[i] = b[0] * src[i];
        return;
    }
    if (n == 1) {
        double d0 = d[0];
        for (int i = 0; i < len; ++i) {
            const double x = src[i];
            const double y = b[0] * x + d0;
            d0 = b[1] * x - a[1] * y;
            dst[i] = y;
        }
        d[0] = d0;
        return;
    }
    const int even = len & ~1;
    for (int i = 0; i < even; i += 2) {
        const double x0 = src[i];
        const double x1 = src[i + 1];
        const double y0 = b[0] * x0 + d[0];
        const double y1 = b[0] * x1 + ((b[1] * x0 + d[1]) - a[1] * y0);
        for (int j = 0; j <= n - 2; ++j)
            d[j] = (((b[j + 1] * x1 - a[j + 1] * y1) + b[j + 2] * x0) - a[j + 2] * y0) + d[j + 2];
        d[n - 1] = b[n] * x1 - a[n] * y1;
        dst[i] = y0;
        dst[i + 1] = y1;
    }
    if (len & 1) {
        const double x = src[len - 1];
        const double y = b[0] * x + d[0];
        for (int j = 0; j < n; ++j)
            d[j] = (b[j + 1] * x - a[j + 1] * y) + d[j + 1];
        dst[len - 1] = y;
    }
}

// Each section's output feeds the next without being stored in between.
void dspIIRBiQuad_64f(const double* src, double* dst, int len, IirState64f* s) noexcept
{
    const int sections = s->sections;
    for (int i = 0; i < len; ++i) {
        double v = src[i];
        for (int k = 0; k < sections; ++k) {
            const double* t = s->taps + 5 * k;
            double* d = s->delay + 2 * k;
            const double y = t[0] * v + d[0];
            d[0] = (t[1] * v + d[1]) - t[3] * y;
            d[1] = t[2] * v + (-t[4]) * y;
            v = y;
        }
        dst[i] = v;
    }
}

}  // namespace

int dspIIRStateSize_64f(int order) noexcept { return dspIIRStateSize<double>(order); }

// The block from dspMalloc is already 16-byte aligned, so no slack for aligning the state.
int dspIIRStateSizeBiQuad_64f(int numBq) noexcept
{
    const std::int64_t n = numBq;
    return iir::FitSize(iir::Up16(40 * n) + 16 * n + kIirHeaderBytes);
}

namespace fallback {

VpsStatus vpsIIRInitAlloc_64f(IirState64f** ppState, const double* pTaps, int order, const double* pDlyLine)
{
    if (!pTaps || !ppState)
        return StatusNullPointer;
    if (order < 0)
        return StatusBadIirOrder;
    return dspIIRInitAlloc(ppState, pTaps, order, pDlyLine, kIdIirState64f);
}

VpsStatus vpsIIRInitAlloc_BiQuad_64f(IirState64f** ppState, const double* pTaps, int numBq, const double* pDlyLine)
{
    if (!pTaps || !ppState)
        return StatusNullPointer;
    if (numBq <= 0)
        return StatusBadIirOrder;
    return dspIIRAllocate(ppState, dspIIRStateSizeBiQuad_64f(numBq), [&](IirState64f** s, void* block) {
        return dspIIRInitBiQuad(s, pTaps, numBq, pDlyLine, block, kIdIirStateBiQuad64f);
    });
}

VpsStatus vpsIIR_64f(const double* pSrc, double* pDst, int len, IirState64f* pState)
{
    if (!pState || !pSrc || !pDst)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (pState->id == kIdIirState64f)
        dspIIRAnyOrder_64f(pSrc, pDst, len, pState);
    else if (pState->id == kIdIirStateBiQuad64f)
        dspIIRBiQuad_64f(pSrc, pDst, len, pState);
    else
        return StatusWrongContext;
    return StatusOk;
}

VpsStatus vpsIIRFree_64f(IirState64f* pState)
{
    if (!pState)
        return StatusNullPointer;
    if (!IsIir64f(pState->id))
        return StatusWrongContext;
    if (pState->owned)
        dspFree(pState);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsIIRInitAlloc_64f)
DCS_DSP_DEFINE(vpsIIRInitAlloc_BiQuad_64f)
DCS_DSP_DEFINE(vpsIIR_64f)
DCS_DSP_DEFINE(vpsIIRFree_64f)

}  // namespace dcs
