#include "dsp/IirEntries.h"

namespace dcs {

namespace {

bool IsIir(std::uint32_t id) { return id == kIdIirState || id == kIdIirStateBiQuad; }

// Transposed direct form II, one sample at a time; outputs and delay values stored as floats.
void FilterAnyOrder(const float* src, float* dst, int len, IirState32f* s)
{
    const int n = s->length;
    const float* b = s->taps;
    const float* a = s->taps + n;  // a[1..n]
    float* d = s->delay;
    for (int i = 0; i < len; ++i) {
        const long double x = src[i];
        const float y = static_cast<float>(b[0] * x + (n > 0 ? d[0] : 0.0f));
        for (int k = 0; k + 1 < n; ++k)
            d[k] = static_cast<float>(d[k + 1] + b[k + 1] * x - a[k + 1] * static_cast<long double>(y));
        if (n > 0)
            d[n - 1] = static_cast<float>(b[n] * x - a[n] * static_cast<long double>(y));
        dst[i] = y;
    }
}

void FilterBiQuad(const float* src, float* dst, int len, IirState32f* s)
{
    for (int i = 0; i < len; ++i) {
        long double x = src[i];
        for (int k = 0; k < s->sections; ++k) {
            const float* t = s->taps + 5 * k;
            float* d = s->delay + 2 * k;
            const float y = static_cast<float>(t[0] * x + d[0]);
            d[0] = static_cast<float>(t[1] * x + d[1] - t[3] * static_cast<long double>(y));
            d[1] = static_cast<float>(t[2] * x - t[4] * static_cast<long double>(y));
            x = y;
        }
        dst[i] = static_cast<float>(x);
    }
}

VpsStatus Filter(const float* src, float* dst, int len, IirState32f* s)
{
    if (s->id == kIdIirState)
        FilterAnyOrder(src, dst, len, s);
    else
        FilterBiQuad(src, dst, len, s);
    return StatusOk;
}

}  // namespace

namespace fallback {

VpsStatus vpsIIRInitAlloc_32f(IirState32f** ppState, const float* pTaps, int order, const float* pDlyLine)
{
    if (!pTaps || !ppState)
        return StatusNullPointer;
    if (order < 0)
        return StatusBadIirOrder;
    return dspIIRInitAlloc_32f(ppState, pTaps, order, pDlyLine, kIdIirState);
}

VpsStatus vpsIIRFree_32f(IirState32f* pState)
{
    if (!pState)
        return StatusNullPointer;
    if (!IsIir(pState->id))
        return StatusWrongContext;
    if (pState->owned)
        dspFree(pState);
    return StatusOk;
}

VpsStatus vpsIIRInit_BiQuad_32f(IirState32f** ppState, const float* pTaps, int numBq, const float* pDlyLine,
                                Vps8u* pBuf)
{
    if (!pTaps || !ppState || !pBuf)
        return StatusNullPointer;
    if (numBq <= 0)
        return StatusBadIirOrder;
    IirState32f* rec = nullptr;
    if (const VpsStatus st = dspIIRInitBiQuad(&rec, pTaps, numBq, pDlyLine, pBuf, kIdIirStateBiQuad)) {
        rec->id = 0;  // the half-built record must not pass for a state
        return st;
    }
    *ppState = rec;
    return StatusOk;
}

VpsStatus vpsIIRGetStateSize_BiQuad_32f(int numBq, int* pSize)
{
    if (!pSize)
        return StatusNullPointer;
    if (numBq <= 0)
        return StatusBadIirOrder;
    *pSize = dspIIRStateSizeBiQuad<float>(numBq);
    return StatusOk;
}

VpsStatus vpsIIR_32f(const float* pSrc, float* pDst, int len, IirState32f* pState)
{
    if (!pState || !pSrc || !pDst)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (!IsIir(pState->id))
        return StatusWrongContext;
    return Filter(pSrc, pDst, len, pState);
}

VpsStatus vpsIIR_32f_I(float* pSrcDst, int len, IirState32f* pState)
{
    if (!pState || !pSrcDst)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;
    if (!IsIir(pState->id))
        return StatusWrongContext;
    return Filter(pSrcDst, pSrcDst, len, pState);
}

VpsStatus vpsMulC_32f(const float* pSrc, float val, float* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (val == 1.0f)
        return dspCopy_32f(pSrc, pDst, len);
    if (val == 0.0f)
        return dspZero_32f(pDst, len);
    for (int i = 0; i < len; ++i)
        pDst[i] = pSrc[i] * val;
    return StatusOk;
}

VpsStatus vpsDivC_32f_I(float val, float* pSrcDst, int len) { return dspDivC_32f(pSrcDst, val, pSrcDst, len); }

}  // namespace fallback

DCS_DSP_DEFINE(vpsIIRInitAlloc_32f)
DCS_DSP_DEFINE(vpsIIRFree_32f)
DCS_DSP_DEFINE(vpsIIRInit_BiQuad_32f)
DCS_DSP_DEFINE(vpsIIRGetStateSize_BiQuad_32f)
DCS_DSP_DEFINE(vpsIIR_32f)
DCS_DSP_DEFINE(vpsIIR_32f_I)
DCS_DSP_DEFINE(vpsMulC_32f)
DCS_DSP_DEFINE(vpsDivC_32f_I)

constexpr DspEntryDef kIirEntries[] = {
    DCS_DSP_ENTRY(vpsIIRInitAlloc_32f),
    DCS_DSP_ENTRY(vpsIIRFree_32f),
    DCS_DSP_ENTRY(vpsIIRInit_BiQuad_32f),
    DCS_DSP_ENTRY(vpsIIRGetStateSize_BiQuad_32f),
    DCS_DSP_ENTRY(vpsIIR_32f),
    DCS_DSP_ENTRY(vpsIIR_32f_I),
    DCS_DSP_ENTRY(vpsMulC_32f),
    DCS_DSP_ENTRY(vpsDivC_32f_I),
};

void RegisterSignalIirEntries(DspRegistrar& r) { r.Add(kIirEntries); }

}  // namespace dcs
