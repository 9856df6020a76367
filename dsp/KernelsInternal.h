// Kernel helpers of the vector primitive modules: saturation and the scale-factor rule of
// the integer entries, and the argument checks and element loops of the floating-point
// fallbacks. Private to dsp/ and its modules; not an interface of the library.
#pragma once

#include <cstdint>
#include <limits>

#include "dsp/DspCore.h"

namespace dcs {

// ---- saturation and the scale-factor rule -------------------------------------------

template <class T> constexpr T Saturate(std::int64_t v) noexcept
{
    static_assert(sizeof(T) <= 4, "saturation targets are 8-, 16- and 32-bit integers");
    constexpr std::int64_t lo = std::numeric_limits<T>::min();
    constexpr std::int64_t hi = std::numeric_limits<T>::max();
    return static_cast<T>(v < lo ? lo : (v > hi ? hi : v));
}

// r / 2^sf for sf > 0, rounded to nearest with ties to the even integer (negative r
// included); r * 2^-sf for sf < 0; r for sf = 0. The result saturates at the int64 limits,
// which is enough for every destination of 32 bits or fewer. r is the exact result of the
// operation, formed by the caller in 64 bits.
constexpr std::int64_t SfsScale(std::int64_t r, int sf) noexcept
{
    if (sf == 0 || r == 0)
        return r;
    if (sf > 0) {
        if (sf >= 64)  // |r| <= 2^63, so |r / 2^sf| <= 1/2, and a tie goes to the even 0
            return 0;
        const std::int64_t q = r >> sf;  // floor (arithmetic shift)
        const std::uint64_t rem = static_cast<std::uint64_t>(r) & ((std::uint64_t {1} << sf) - 1);
        const std::uint64_t half = std::uint64_t {1} << (sf - 1);
        return (rem > half || (rem == half && (q & 1))) ? q + 1 : q;
    }
    const int up = -sf;
    constexpr std::int64_t maxV = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t minV = std::numeric_limits<std::int64_t>::min();
    if (up >= 63)
        return r > 0 ? maxV : minV;
    const __int128 v = static_cast<__int128>(r) * (static_cast<__int128>(1) << up);
    return v > maxV ? maxV : (v < minV ? minV : static_cast<std::int64_t>(v));
}

// The stored value of an Sfs entry: scale-factor rounding, then saturation to T.
template <class T> constexpr T Sfs(std::int64_t r, int sf) noexcept { return Saturate<T>(SfsScale(r, sf)); }

// The limits of an 8- or 16-bit type as int, and saturation to them in int arithmetic:
// the form the 8- and 16-bit sample loops vectorise, where 64-bit compares stay scalar.
template <class T> inline constexpr int kIntLow = std::numeric_limits<T>::min();
template <class T> inline constexpr int kIntHigh = std::numeric_limits<T>::max();

template <class T> inline T SaturateInt(int v)
{
    v = v < kIntLow<T> ? kIntLow<T> : v;
    v = v > kIntHigh<T> ? kIntHigh<T> : v;
    return static_cast<T>(v);
}

}  // namespace dcs

namespace dcs::vpsloops {

using Ext = long double;  // x87 extended precision: 64-bit significand

// pDst[i] = f(pSrc[i]); pDst may equal pSrc.
template <typename S, typename D, typename F> inline VpsStatus MapEach(const S* pSrc, D* pDst, int len, F f)
{
    if (VpsStatus s = DspCheck(len, pSrc, pDst))
        return s;
    for (int i = 0; i < len; ++i)
        pDst[i] = f(pSrc[i]);
    return StatusOk;
}

// pDst[i] = f(pA[i], pB[i]); pDst may equal either source.
template <typename A, typename B, typename D, typename F>
inline VpsStatus ZipEach(const A* pA, const B* pB, D* pDst, int len, F f)
{
    if (VpsStatus s = DspCheck(len, pA, pB, pDst))
        return s;
    for (int i = 0; i < len; ++i)
        pDst[i] = f(pA[i], pB[i]);
    return StatusOk;
}

}  // namespace dcs::vpsloops
