#include "dsp/MemoryEntries.h"

#include <cstring>

#include "dsp/DspCore.h"

namespace dcs {

namespace {

// Copies go through memmove: as fast as a plain copy, and an overlapping call still gets
// the source's old values instead of a smeared pattern.
template <class T> VpsStatus Copy(const T* pSrc, T* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    std::memmove(pDst, pSrc, sizeof(T) * static_cast<std::size_t>(len));
    return StatusOk;
}

template <class T> VpsStatus Zero(T* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    std::memset(static_cast<void*>(pDst), 0, sizeof(T) * static_cast<std::size_t>(len));
    return StatusOk;
}

// Fills with the value's bit pattern (a NaN payload or -0.0 is stored unchanged).
template <class Bits, class T> VpsStatus FillBits(T val, T* pDst, int len)
{
    static_assert(sizeof(Bits) == sizeof(T));
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    Bits bits;
    std::memcpy(&bits, &val, sizeof bits);
    if (reinterpret_cast<std::uintptr_t>(pDst) % alignof(Bits) == 0) {
        Bits* d = reinterpret_cast<Bits*>(pDst);
        for (int i = 0; i < len; ++i)
            d[i] = bits;
    } else {
        char* d = reinterpret_cast<char*>(pDst);
        for (int i = 0; i < len; ++i)
            std::memcpy(d + sizeof(Bits) * static_cast<std::size_t>(i), &bits, sizeof bits);
    }
    return StatusOk;
}

}  // namespace

namespace fallback {

VpsStatus vpsCopy_8u(const Vps8u* pSrc, Vps8u* pDst, int len) { return Copy(pSrc, pDst, len); }
VpsStatus vpsCopy_32f(const Vps32f* pSrc, Vps32f* pDst, int len) { return Copy(pSrc, pDst, len); }
VpsStatus vpsCopy_64f(const Vps64f* pSrc, Vps64f* pDst, int len) { return Copy(pSrc, pDst, len); }

// Overlap-safe for every overlap, including vectors that overlap by less than one element.
VpsStatus vpsMove_64f(const Vps64f* pSrc, Vps64f* pDst, int len) { return Copy(pSrc, pDst, len); }
VpsStatus vpsMove_8u(const Vps8u* pSrc, Vps8u* pDst, int len) { return Copy(pSrc, pDst, len); }

VpsStatus vpsSet_8u(Vps8u val, Vps8u* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    std::memset(pDst, val, static_cast<std::size_t>(len));
    return StatusOk;
}

VpsStatus vpsSet_32s(Vps32s val, Vps32s* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = val;
    return StatusOk;
}

VpsStatus vpsSet_32f(Vps32f val, Vps32f* pDst, int len) { return FillBits<std::uint32_t>(val, pDst, len); }
VpsStatus vpsSet_64f(Vps64f val, Vps64f* pDst, int len) { return FillBits<std::uint64_t>(val, pDst, len); }

VpsStatus vpsSet_64fc(Vps64fc val, Vps64fc* pDst, int len)
{
    if (VpsStatus st = DspCheck(len, pDst))
        return st;
    unsigned char bits[sizeof val];
    std::memcpy(bits, &val, sizeof val);
    unsigned char* d = reinterpret_cast<unsigned char*>(pDst);
    for (int i = 0; i < len; ++i)
        std::memcpy(d + sizeof val * static_cast<std::size_t>(i), bits, sizeof val);
    return StatusOk;
}

VpsStatus vpsZero_8u(Vps8u* pDst, int len) { return Zero(pDst, len); }
VpsStatus vpsZero_16s(Vps16s* pDst, int len) { return Zero(pDst, len); }
VpsStatus vpsZero_32s(Vps32s* pDst, int len) { return Zero(pDst, len); }
VpsStatus vpsZero_32f(Vps32f* pDst, int len) { return Zero(pDst, len); }
VpsStatus vpsZero_64f(Vps64f* pDst, int len) { return Zero(pDst, len); }
VpsStatus vpsZero_64fc(Vps64fc* pDst, int len) { return Zero(pDst, len); }

// Steps are in bytes and may be negative (rows walked upward); they are not checked.
VpsStatus vpiCopy_32s_C1R(const Vps32s* pSrc, int srcStep, Vps32s* pDst, int dstStep, VpiSize roiSize)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (roiSize.width <= 0 || roiSize.height <= 0)
        return StatusBadSize;
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(roiSize.width);
    const std::uintptr_t src = reinterpret_cast<std::uintptr_t>(pSrc);
    const std::uintptr_t dst = reinterpret_cast<std::uintptr_t>(pDst);
    for (int y = 0; y < roiSize.height; ++y) {
        const std::uintptr_t s = src + static_cast<std::uintptr_t>(std::int64_t {srcStep} * y);
        const std::uintptr_t d = dst + static_cast<std::uintptr_t>(std::int64_t {dstStep} * y);
        std::memmove(reinterpret_cast<void*>(d), reinterpret_cast<const void*>(s), rowBytes);
    }
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsCopy_8u)
DCS_DSP_DEFINE(vpsCopy_32f)
DCS_DSP_DEFINE(vpsCopy_64f)
DCS_DSP_DEFINE(vpsMove_64f)
DCS_DSP_DEFINE(vpsMove_8u)
DCS_DSP_DEFINE(vpsSet_8u)
DCS_DSP_DEFINE(vpsSet_32s)
DCS_DSP_DEFINE(vpsSet_32f)
DCS_DSP_DEFINE(vpsSet_64f)
DCS_DSP_DEFINE(vpsSet_64fc)
DCS_DSP_DEFINE(vpsZero_8u)
DCS_DSP_DEFINE(vpsZero_16s)
DCS_DSP_DEFINE(vpsZero_32s)
DCS_DSP_DEFINE(vpsZero_32f)
DCS_DSP_DEFINE(vpsZero_64f)
DCS_DSP_DEFINE(vpsZero_64fc)
DCS_DSP_DEFINE(vpiCopy_32s_C1R)

namespace {

constexpr DspEntryDef kMemoryEntries[] = {
    DCS_DSP_ENTRY(vpsCopy_32f), DCS_DSP_ENTRY(vpsCopy_64f),  DCS_DSP_ENTRY(vpsMove_64f), DCS_DSP_ENTRY(vpsCopy_8u),
    DCS_DSP_ENTRY(vpsSet_32s),  DCS_DSP_ENTRY(vpsSet_64f),   DCS_DSP_ENTRY(vpsSet_32f),  DCS_DSP_ENTRY(vpsSet_64fc),
    DCS_DSP_ENTRY(vpsSet_8u),   DCS_DSP_ENTRY(vpsZero_16s),  DCS_DSP_ENTRY(vpsZero_32s), DCS_DSP_ENTRY(vpsZero_64f),
    DCS_DSP_ENTRY(vpsZero_32f), DCS_DSP_ENTRY(vpsZero_64fc), DCS_DSP_ENTRY(vpsZero_8u),  DCS_DSP_ENTRY(vpiCopy_32s_C1R),
    DCS_DSP_ENTRY(vpsMove_8u),
};

}  // namespace

void RegisterMemoryEntries(DspRegistrar& r) { r.Add(kMemoryEntries); }

}  // namespace dcs
