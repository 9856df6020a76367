// Helpers every vector primitive module shares: the argument check, the aligned block,
// and the extended-precision math helpers. Saturation and the scale-factor rule are
// kernel details and live in dsp/KernelsInternal.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "dsp/DspTypes.h"

namespace dcs {

// ---- argument checks ----------------------------------------------------------------

// The check of nearly every entry: any null pointer gives StatusNullPointer (pointers are
// tested first), then a length of zero or less gives StatusBadSize.
template <class... P> constexpr VpsStatus DspCheck(int len, const P*... ptrs) noexcept
{
    if (((ptrs == nullptr) || ...))
        return StatusNullPointer;
    return len <= 0 ? StatusBadSize : StatusOk;
}

// ---- process heap and aligned block -------------------------------------------------
//
// Aligned block: a raw heap block of n + kAlignedBlockOverhead bytes; the returned pointer
// is the first 32-byte boundary at least one pointer-sized slot past the raw address, and
// that slot (just before the returned pointer) keeps the raw address for dspFree. Every
// module's copy of these helpers must keep this layout, so any of them can free a block.

inline constexpr std::size_t kAlignedBlockAlignment = 32;
inline constexpr std::size_t kAlignedBlockOverhead = sizeof(void*) + kAlignedBlockAlignment - 1;

void* dspHeapAlloc(std::size_t n) noexcept;  // null when the heap refuses
void dspHeapFree(void* p) noexcept;

// n <= 0 or heap exhaustion: null. Byte counts are formed in 64 bits, so a large element
// count is refused rather than wrapped into a small block.
void* dspMallocBytes(std::int64_t n) noexcept;
void* dspMalloc(int n) noexcept;
double* dspMalloc_64f(int n) noexcept;           // n doubles
Vps64fc* dspMalloc_64fc(int n) noexcept;         // n complex doubles
float* dspMalloc_32f(int n) noexcept;            // n floats
Vps32s* dspMalloc_32s(std::int64_t n) noexcept;  // n 32-bit integers
Vps16s* dspMalloc_16s(std::int64_t n) noexcept;  // n 16-bit integers
void dspFree(void* p) noexcept;                  // null is ignored

// Test support: while a guard lives, dspHeapAlloc refuses its k-th call from now on
// (1-based; 0 = never) and every request above `byteLimit` bytes (0 = no limit), and
// counts the calls it saw. Guards do not nest; they are for single-threaded tests.
class DspAllocFailGuard {
public:
    explicit DspAllocFailGuard(long failAtCall, std::size_t byteLimit = 0) noexcept;
    ~DspAllocFailGuard();
    DspAllocFailGuard(const DspAllocFailGuard&) = delete;
    DspAllocFailGuard& operator=(const DspAllocFailGuard&) = delete;
    long Calls() const noexcept;  // dspHeapAlloc calls seen since the guard was made
};

// ---- math helpers (extended precision inside, double out) ---------------------------

// Through a signed 32-bit integer: arguments outside its range saturate, NaN gives 0.
double dspFloor(double x) noexcept;
double dspCeil(double x) noexcept;
double dspSin(double x) noexcept;
double dspCos(double x) noexcept;
double dspSqrt(double x) noexcept;
double dspExp(double x) noexcept;
double dspLn(double x) noexcept;
double dspAtan2(double y, double x) noexcept;  // angle of (x, y); y first

// ---- block helpers ------------------------------------------------------------------

// No checks: copies n bytes (nothing for n <= 0); returns dst.
void* dspCopyBytes(const void* src, void* dst, std::int64_t n) noexcept;

// Status helpers: null -8, len <= 0 -6, else the work and 0.
VpsStatus dspCopy_32f(const float* pSrc, float* pDst, int len) noexcept;
VpsStatus dspZero_32f(float* pDst, int len) noexcept;
VpsStatus dspCopy_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) noexcept;
VpsStatus dspConj_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) noexcept;  // pSrc may equal pDst
VpsStatus dspConj_64fc_I(Vps64fc* pSrcDst, int len) noexcept;

// Sum of products in order, accumulated in extended precision from 0, stored as double.
// No checks: the caller has checked the pointers and len > 0.
void dspDotKernel_64f(const double* pSrc1, const double* pSrc2, int len, double* pDp) noexcept;

// Direct divide loops (called by name, not through the registry); truncating quotient.
// The callers exclude value 0; INT32_MIN / -1 saturates to INT32_MAX.
void dspDivC_32s_I(Vps32s value, Vps32s* data, int n) noexcept;
void dspDivC_32s(const Vps32s* source, Vps32s value, Vps32s* destination, int n) noexcept;

}  // namespace dcs
