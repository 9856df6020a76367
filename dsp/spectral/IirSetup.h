// The IIR state record shared by the any-order filter and the biquad cascade, and its
// set-up: sizes, tap normalisation by a0 and the allocating build. Templates over the
// element type (float here; the double IIR builds the same record over double).
//
// Record: at the buffer's first 16-byte boundary; a header of kIirHeaderBytes, then the
// taps area, then the delay-line area, each rounded up to 16 bytes. Any order n: taps
// b0..bn, a1..an divided by a0 (2n + 1), delay n values and a 0 (n + 1). Cascade of s
// sections: taps b0, b1, b2, a1, a2 per section divided by its a0, delay 2 per section.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dsp/DspCore.h"

namespace dcs {

template <class T> struct IirStateT {
    std::uint32_t id;  // kIdIirState or kIdIirStateBiQuad; consumers answer -17 otherwise
    T* taps;
    T* delay;
    std::int32_t length;    // order n, or 2·s for a cascade
    std::int32_t sections;  // s for a cascade, 0 for any order
    std::int32_t owned;     // 1: one aligned block made by dspIIRInitAlloc, freed on release
};
using IirState32f = IirStateT<float>;

inline constexpr std::int64_t kIirHeaderBytes = 48;
static_assert(sizeof(IirStateT<double>) <= kIirHeaderBytes);

namespace iir {
inline std::int64_t Up16(std::int64_t n) { return (n + 15) & ~std::int64_t {15}; }
// 0 (a refusal) when the size does not fit a signed 32-bit byte count.
inline int FitSize(std::int64_t n) { return n > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<int>(n); }
template <class T> bool BadA0(T a0) { return a0 == T(0) || std::isnan(a0); }
}  // namespace iir

// State sizes in bytes, including up to 15 bytes of alignment of the buffer start.
// 0 when the order or section count is too large for a 32-bit size.
template <class T> int dspIIRStateSize(int order) noexcept
{
    const std::int64_t n = order, e = sizeof(T);
    return iir::FitSize(iir::Up16(e * (n + 1)) + iir::Up16(e * (2 * n + 1)) + 64);
}
template <class T> int dspIIRStateSizeBiQuad(int sections) noexcept
{
    const std::int64_t s = sections, e = sizeof(T);
    return iir::FitSize(iir::Up16(2 * e * s) + iir::Up16(5 * e * s) + 64);
}

// Writes the 2n + 1 normalised taps of an order-n state from the caller's b0..bn, a0..an.
// One reciprocal of a0 in extended precision; -10 (nothing written) for a0 zero or NaN.
template <class T> VpsStatus dspIIRNormTaps(const T* pTaps, IirStateT<T>* s) noexcept
{
    const int n = s->length;
    if (iir::BadA0(pTaps[n + 1]))
        return StatusDivideByZero;
    const long double r = 1.0L / pTaps[n + 1];
    s->taps[0] = static_cast<T>(pTaps[0] * r);
    for (int j = 1; j <= n; ++j) {
        s->taps[j] = static_cast<T>(pTaps[j] * r);
        s->taps[n + j] = static_cast<T>(pTaps[n + 1 + j] * r);
    }
    return StatusOk;
}

// Per section b0, b1, b2, a1, a2 divided by a0; -10 when a section's a0 or b0 is zero or
// NaN (the sections before it stay written).
template <class T> VpsStatus dspIIRNormTapsBiQuad(const T* pTaps, IirStateT<T>* s) noexcept
{
    for (int k = 0; k < s->sections; ++k) {
        const T* c = pTaps + 6 * k;
        if (iir::BadA0(c[3]) || iir::BadA0(c[0]))
            return StatusDivideByZero;
        const long double r = 1.0L / c[3];
        T* t = s->taps + 5 * k;
        t[0] = static_cast<T>(c[0] * r);
        t[1] = static_cast<T>(c[1] * r);
        t[2] = static_cast<T>(c[2] * r);
        t[3] = static_cast<T>(c[4] * r);
        t[4] = static_cast<T>(c[5] * r);
    }
    return StatusOk;
}

// The caller's initial delay values copied into the record's delay line (its `length`
// values), or zeros when pDlyLine is null.
template <class T> void dspIIRSetDelayLine(IirStateT<T>* s, const T* pDlyLine) noexcept
{
    if (pDlyLine)
        std::copy(pDlyLine, pDlyLine + s->length, s->delay);
    else
        std::fill(s->delay, s->delay + s->length, T(0));
}

namespace iir {
// Header of a record at the buffer's first 16-byte boundary, taps area of tapCount values;
// not owned yet.
template <class T>
IirStateT<T>* Layout(void* buffer, std::uint32_t id, std::int64_t tapCount, int length, int sections) noexcept
{
    auto* rec = reinterpret_cast<IirStateT<T>*>(Up16(reinterpret_cast<std::intptr_t>(buffer)));
    rec->id = id;
    rec->taps = reinterpret_cast<T*>(reinterpret_cast<Vps8u*>(rec) + kIirHeaderBytes);
    rec->delay = reinterpret_cast<T*>(reinterpret_cast<Vps8u*>(rec->taps) + Up16(std::int64_t {sizeof(T)} * tapCount));
    rec->length = length;
    rec->sections = sections;
    rec->owned = 0;
    return rec;
}
}  // namespace iir

// Lays an any-order record out in `buffer` (not owned) and returns it through *pState,
// whatever the status; the taps' status (-10) is the result. No checks.
template <class T>
VpsStatus dspIIRInit(IirStateT<T>** pState, const T* pTaps, int order, const T* pDlyLine, void* buffer,
                     std::uint32_t id) noexcept
{
    IirStateT<T>* rec = iir::Layout<T>(buffer, id, 2 * std::int64_t {order} + 1, order, 0);
    *pState = rec;
    if (order > 0) {
        dspIIRSetDelayLine(rec, pDlyLine);
        rec->delay[order] = T(0);  // lets the kernels read one slot past the last delay value
    }
    return dspIIRNormTaps(pTaps, rec);
}

// The same for a cascade of numBq sections.
template <class T>
VpsStatus dspIIRInitBiQuad(IirStateT<T>** pState, const T* pTaps, int numBq, const T* pDlyLine, void* buffer,
                           std::uint32_t id) noexcept
{
    IirStateT<T>* rec = iir::Layout<T>(buffer, id, 5 * std::int64_t {numBq}, 2 * numBq, numBq);
    *pState = rec;
    dspIIRSetDelayLine(rec, pDlyLine);
    return dspIIRNormTapsBiQuad(pTaps, rec);
}

// The allocation sequence of an owned state: a block of `size` bytes (0: refused) built by
// build(&state, block). *ppState is written only on success, so a refused set-up leaves the
// caller's variable as it was; the caller owns the state afterwards. 0, -9 or build's -10.
template <class T, class Build> VpsStatus dspIIRAllocate(IirStateT<T>** ppState, int size, Build build) noexcept
{
    void* block = size > 0 ? dspMalloc(size) : nullptr;
    if (!block)
        return StatusNoMemory;
    IirStateT<T>* s = nullptr;
    const VpsStatus st = build(&s, block);
    if (st != StatusOk) {
        dspFree(block);
        return st;
    }
    s->owned = 1;
    *ppState = s;
    return StatusOk;
}

// Allocates and builds an owned any-order state (see dspIIRAllocate). No checks.
template <class T>
VpsStatus dspIIRInitAlloc(IirStateT<T>** ppState, const T* pTaps, int order, const T* pDlyLine,
                          std::uint32_t id) noexcept
{
    return dspIIRAllocate(ppState, dspIIRStateSize<T>(order), [&](IirStateT<T>** s, void* block) {
        return dspIIRInit(s, pTaps, order, pDlyLine, block, id);
    });
}

inline VpsStatus dspIIRInitAlloc_32f(IirState32f** ppState, const float* pTaps, int order, const float* pDlyLine,
                                     std::uint32_t id) noexcept
{
    return dspIIRInitAlloc<float>(ppState, pTaps, order, pDlyLine, id);
}

// dst[i] = src[i]·float(1/value) (a product with the rounded reciprocal, as the multiply
// by a constant gives it). -8, -6, then -10 for value zero or NaN; src may equal dst.
VpsStatus dspDivC_32f(const float* pSrc, float value, float* pDst, int len) noexcept;

}  // namespace dcs
