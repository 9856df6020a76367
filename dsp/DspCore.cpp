#include "dsp/DspCore.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace dcs {

namespace {
// Read on every allocation; only a test's guard writes them, before and after the
// code under test runs.
struct AllocFailState {
    bool active = false;  // written only while no other thread allocates through here
    long failAt = 0;
    std::size_t byteLimit = 0;
    long calls = 0;
};
AllocFailState gAllocFail;
}  // namespace

DspAllocFailGuard::DspAllocFailGuard(long failAtCall, std::size_t byteLimit) noexcept
{
    gAllocFail = AllocFailState {true, failAtCall, byteLimit, 0};
}

DspAllocFailGuard::~DspAllocFailGuard() { gAllocFail = AllocFailState {}; }

long DspAllocFailGuard::Calls() const noexcept { return gAllocFail.calls; }

void* dspHeapAlloc(std::size_t n) noexcept
{
    if (gAllocFail.active) {
        const long call = ++gAllocFail.calls;
        if (call == gAllocFail.failAt || (gAllocFail.byteLimit != 0 && n > gAllocFail.byteLimit))
            return nullptr;
    }
    return std::malloc(n == 0 ? 1 : n);
}

void dspHeapFree(void* p) noexcept { std::free(p); }

void* dspMallocBytes(std::int64_t n) noexcept
{
    if (n <= 0)
        return nullptr;
    if (static_cast<std::uint64_t>(n) > std::numeric_limits<std::size_t>::max() - kAlignedBlockOverhead)
        return nullptr;
    void* raw = dspHeapAlloc(static_cast<std::size_t>(n) + kAlignedBlockOverhead);
    if (!raw)
        return nullptr;
    const std::uintptr_t base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned =
        (base + kAlignedBlockOverhead) & ~static_cast<std::uintptr_t>(kAlignedBlockAlignment - 1);
    void* block = reinterpret_cast<void*>(aligned);
    std::memcpy(static_cast<char*>(block) - sizeof(void*), &raw, sizeof(void*));
    return block;
}

void* dspMalloc(int n) noexcept { return dspMallocBytes(n); }

double* dspMalloc_64f(int n) noexcept
{
    return n <= 0 ? nullptr : static_cast<double*>(dspMallocBytes(std::int64_t {8} * n));
}

Vps64fc* dspMalloc_64fc(int n) noexcept
{
    return n <= 0 ? nullptr : static_cast<Vps64fc*>(dspMallocBytes(std::int64_t {16} * n));
}

float* dspMalloc_32f(int n) noexcept
{
    return n <= 0 ? nullptr : static_cast<float*>(dspMallocBytes(std::int64_t {4} * n));
}

Vps32s* dspMalloc_32s(std::int64_t n) noexcept
{
    return n <= 0 || n > INT64_MAX / 4 ? nullptr : static_cast<Vps32s*>(dspMallocBytes(4 * n));
}

Vps16s* dspMalloc_16s(std::int64_t n) noexcept
{
    return n <= 0 || n > INT64_MAX / 2 ? nullptr : static_cast<Vps16s*>(dspMallocBytes(2 * n));
}

void dspFree(void* p) noexcept
{
    if (!p)
        return;
    void* raw;
    std::memcpy(&raw, static_cast<char*>(p) - sizeof(void*), sizeof(void*));
    dspHeapFree(raw);
}

namespace {

double ThroughInt32(long double v) noexcept
{
    if (std::isnan(v))
        return 0.0;
    if (v <= static_cast<long double>(INT32_MIN))
        return INT32_MIN;
    if (v >= static_cast<long double>(INT32_MAX))
        return INT32_MAX;
    return static_cast<double>(static_cast<std::int32_t>(v));
}

}  // namespace

double dspFloor(double x) noexcept { return ThroughInt32(std::floor(static_cast<long double>(x))); }

double dspCeil(double x) noexcept { return ThroughInt32(std::ceil(static_cast<long double>(x))); }

double dspSin(double x) noexcept { return static_cast<double>(std::sin(static_cast<long double>(x))); }

double dspCos(double x) noexcept { return static_cast<double>(std::cos(static_cast<long double>(x))); }

double dspSqrt(double x) noexcept { return static_cast<double>(std::sqrt(static_cast<long double>(x))); }

double dspExp(double x) noexcept { return static_cast<double>(std::exp(static_cast<long double>(x))); }

double dspLn(double x) noexcept { return static_cast<double>(std::log(static_cast<long double>(x))); }

double dspAtan2(double y, double x) noexcept
{
    return static_cast<double>(std::atan2(static_cast<long double>(y), static_cast<long double>(x)));
}

void* dspCopyBytes(const void* src, void* dst, std::int64_t n) noexcept
{
    if (n > 0)
        std::memmove(dst, src, static_cast<std::size_t>(n));
    return dst;
}

VpsStatus dspCopy_32f(const float* pSrc, float* pDst, int len) noexcept
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    dspCopyBytes(pSrc, pDst, std::int64_t {4} * len);
    return StatusOk;
}

VpsStatus dspZero_32f(float* pDst, int len) noexcept
{
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    std::memset(pDst, 0, std::size_t {4} * static_cast<std::size_t>(len));
    return StatusOk;
}

VpsStatus dspCopy_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) noexcept
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    dspCopyBytes(pSrc, pDst, std::int64_t {16} * len);
    return StatusOk;
}

VpsStatus dspConj_64fc(const Vps64fc* pSrc, Vps64fc* pDst, int len) noexcept
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i) {
        const Vps64fc v = pSrc[i];
        pDst[i].re = v.re;
        pDst[i].im = -v.im;
    }
    return StatusOk;
}

VpsStatus dspConj_64fc_I(Vps64fc* pSrcDst, int len) noexcept
{
    if (VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    for (int i = 0; i < len; ++i)
        pSrcDst[i].im = -pSrcDst[i].im;
    return StatusOk;
}

void dspDotKernel_64f(const double* pSrc1, const double* pSrc2, int len, double* pDp) noexcept
{
    long double sum = 0.0L;
    for (int i = 0; i < len; ++i)
        sum += static_cast<long double>(pSrc1[i]) * static_cast<long double>(pSrc2[i]);
    *pDp = static_cast<double>(sum);
}

namespace {

inline Vps32s TruncDiv(Vps32s a, Vps32s b) noexcept
{
    // The one quotient that does not fit traps on x86; saturate it instead.
    if (b == -1)
        return a == INT32_MIN ? INT32_MAX : -a;
    return a / b;
}

}  // namespace

void dspDivC_32s_I(Vps32s value, Vps32s* data, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        data[i] = TruncDiv(data[i], value);
}

void dspDivC_32s(const Vps32s* source, Vps32s value, Vps32s* destination, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        destination[i] = TruncDiv(source[i], value);
}

}  // namespace dcs
