// The transform bodies behind the FFT entries, run after the entries' argument checks:
// codelets for orders 0..3, the engine above. Each takes the caller's work buffer
// (aligned up to 16 bytes) or allocates the spec's work size for the call.
#pragma once

#include "dsp/spectral/FftSpec.h"

namespace dcs {

// Where a real spectrum's values go: Perm (X0, XN/2, pairs), Pack (X0, pairs, XN/2) or
// CCS (pairs of X0..XN/2 with zero imaginary parts for X0 and XN/2).
enum class FftLayout {
    Perm,
    Pack,
    Ccs
};

// The entries' common checks: spec null -8, kind other than id -17, data null -8.
inline VpsStatus FftCheck(const void* spec, std::uint32_t id, const void* src, const void* dst) noexcept
{
    if (!spec)
        return StatusNullPointer;
    if (FftSpecId(spec) != id)
        return StatusWrongContext;
    return (!src || !dst) ? StatusNullPointer : StatusOk;
}

// Work-size query: *size = work size + 16 when the spec needs a work area, else 0.
template <class T> VpsStatus FftBufSize(const FftSpecT<T>* spec, std::uint32_t id, int* size) noexcept;

// Release through the free entries: -8 null, -17 other kind, else freed and 0.
template <class T> VpsStatus FftFree(FftSpecT<T>* spec, std::uint32_t id) noexcept;

// The whole transform entries: FftCheck for the spec kind `id`, then the transform;
// StatusNoMemory, with nothing written, when a work area is needed and cannot be had.
template <bool Inv>
VpsStatus FftComplexRun(const Vps64fc* src, Vps64fc* dst, const FftSpec* spec, Vps8u* buffer) noexcept;
// The complex transform of an FftSpec of order 4 or more on data already in bit-reversed
// order, in place, unchecked: for callers that fold the permutation into a pass of their
// own. `work` is the caller's buffer of FftBufSize bytes (aligned up here); it may be null
// only when the FftSpec needs no work area.
template <bool Inv> void FftComplexPermuted(const FftSpec* spec, Vps64fc* data, Vps8u* work) noexcept;
template <class T>
VpsStatus FftRealFwdRun(const T* src, T* dst, const FftSpecT<T>* spec, Vps8u* buffer, FftLayout layout,
                        std::uint32_t id) noexcept;
VpsStatus FftRealInvRun(const double* src, double* dst, const FftSpec* spec, Vps8u* buffer, FftLayout layout) noexcept;

}  // namespace dcs
