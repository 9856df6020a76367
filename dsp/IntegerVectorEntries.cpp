#include "dsp/IntegerVectorEntries.h"

#include "dsp/DspCore.h"
#include "dsp/KernelsInternal.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace dcs {
namespace fallback {

namespace {

using u8 = Vps8u;
using s8 = Vps8s;
using u16 = Vps16u;
using s16 = Vps16s;
using s32 = Vps32s;

bool badSize(VpiSize roi) { return roi.width <= 0 || roi.height <= 0; }

// --- Walking a region --------------------------------------------------------------

template <class T> bool aligned(const void* p, int step)
{
    return reinterpret_cast<std::uintptr_t>(p) % alignof(T) == 0 && step % static_cast<int>(sizeof(T)) == 0;
}

// Element x of row y, as a byte address.
template <class T> auto* elementAt(T* base, int step, int y, int x)
{
    using Byte = std::conditional_t<std::is_const_v<T>, const char, char>;
    return reinterpret_cast<Byte*>(base) + static_cast<std::ptrdiff_t>(step) * y +
        static_cast<std::ptrdiff_t>(x) * static_cast<std::ptrdiff_t>(sizeof(T));
}

template <class T> T loadAt(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// d[i * ds] = f(s[i * ss], d[i * ds]) down a column. With strides known at compile time
// (mono and stereo columns of 16-bit audio) the compiler vectorises the loop.
template <class S, class D, class F, class SS, class DS> void mapColumn(const S* s, SS ss, D* d, DS ds, int n, F& f)
{
    for (int i = 0; i < n; ++i) {
        const std::ptrdiff_t si = static_cast<std::ptrdiff_t>(i) * ss;
        const std::ptrdiff_t di = static_cast<std::ptrdiff_t>(i) * ds;
        d[di] = f(s[si], d[di]);
    }
}

template <int N> using Stride = std::integral_constant<std::ptrdiff_t, N>;

// Applies d = f(s, d) to every element of the region (for the in-place forms source and
// destination are the same image). Rows that follow each other without a gap are one
// long row, so a contiguous block is a single vectorisable loop. A channel of
// interleaved audio is a column one element wide; it is walked as a strided vector, not
// row by row. Regions at addresses or steps that do not fit the element type (packed
// 24-bit samples handled as 16-bit columns) go through byte copies.
template <class S, class D, class F> void mapRegion(const S* pSrc, int srcStep, D* pDst, int dstStep, VpiSize roi, F f)
{
    const long long width = roi.width;
    const long long count = width * roi.height;
    if (!aligned<S>(pSrc, srcStep) || !aligned<D>(pDst, dstStep)) {
        for (int y = 0; y < roi.height; ++y)
            for (int x = 0; x < roi.width; ++x) {
                char* dp = elementAt(pDst, dstStep, y, x);
                const D v = f(loadAt<S>(elementAt(pSrc, srcStep, y, x)), loadAt<D>(dp));
                std::memcpy(dp, &v, sizeof v);
            }
        return;
    }
    if (srcStep == static_cast<long long>(width * sizeof(S)) && dstStep == static_cast<long long>(width * sizeof(D)) &&
        count <= std::numeric_limits<int>::max()) {
        mapColumn(pSrc, Stride<1> {}, pDst, Stride<1> {}, static_cast<int>(count), f);
        return;
    }
    if (roi.width == 1) {
        const int ss = srcStep / static_cast<int>(sizeof(S));
        const int ds = dstStep / static_cast<int>(sizeof(D));
        if (ss == 1 && ds == 2)
            mapColumn(pSrc, Stride<1> {}, pDst, Stride<2> {}, roi.height, f);
        else if (ss == 2 && ds == 1)
            mapColumn(pSrc, Stride<2> {}, pDst, Stride<1> {}, roi.height, f);
        else if (ss == 2 && ds == 2)
            mapColumn(pSrc, Stride<2> {}, pDst, Stride<2> {}, roi.height, f);
        else
            mapColumn(pSrc, static_cast<std::ptrdiff_t>(ss), pDst, static_cast<std::ptrdiff_t>(ds), roi.height, f);
        return;
    }
    for (int y = 0; y < roi.height; ++y)
        mapColumn(reinterpret_cast<const S*>(elementAt(pSrc, srcStep, y, 0)), Stride<1> {},
                  reinterpret_cast<D*>(elementAt(pDst, dstStep, y, 0)), Stride<1> {}, roi.width, f);
}

template <class T> void fillImage(T value, T* pDst, int dstStep, VpiSize roi)
{
    mapRegion(pDst, dstStep, pDst, dstStep, roi, [value](T, T) { return value; });
}

template <class T> int setImage(T value, T* pDst, int dstStep, VpiSize roi)
{
    if (!pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    if (dstStep <= 0)
        return StatusBadStep;
    fillImage(value, pDst, dstStep, roi);
    return StatusOk;
}

template <class T> void copyImage(const T* pSrc, int srcStep, T* pDst, int dstStep, VpiSize roi)
{
    const long long rowBytes = static_cast<long long>(roi.width) * static_cast<long long>(sizeof(T));
    if (srcStep == rowBytes && dstStep == rowBytes)
        std::memmove(pDst, pSrc, static_cast<std::size_t>(rowBytes) * roi.height);
    else
        mapRegion(pSrc, srcStep, pDst, dstStep, roi, [](T s, T) { return s; });
}

// --- Scale factor ----------------------------------------------------------------
// The exact result r is scaled by 2^-sf and saturated to the destination type. Each
// case is its own functor so that every loop is instantiated once per case and holds
// no branch on the scale factor.

struct ScaleNone {
    int operator()(int r) const { return r; }
};

// r / 2^shift, halves to the even neighbour. The arithmetic shift rounds toward minus
// infinity and leaves a non-negative remainder, for negative r as well.
struct ScaleDown {
    int shift;
    int mask;
    int half;
    int operator()(int r) const
    {
        const int q = r >> shift;
        const int rem = r & mask;
        return q + static_cast<int>((rem > half) | ((rem == half) & (q & 1)));
    }
};

// r * 2^k for k up to 15. r is first held just outside the destination range, which
// keeps the product within 32 bits and saturates to the same value afterwards.
struct ScaleUp {
    int factor;
    int low;
    int high;
    int operator()(int r) const
    {
        r = r < low ? low : r;
        r = r > high ? high : r;
        return r * factor;
    }
};

// Scale factors so negative that every non-zero result saturates by its sign.
struct ScaleSign {
    int low;
    int high;
    int operator()(int r) const { return r > 0 ? high : (r < 0 ? low : 0); }
};

// The bounds at which a family's results become all zero (sf above zeroAbove) or
// saturated by sign (sf below signBelow).
struct Family {
    int zeroAbove;
    int signBelow;
};

constexpr Family kAdd8u {9, -7};
constexpr Family kAdd16s {16, -15};
constexpr Family kSub8u {8, -7};
constexpr Family kSub16s {16, -15};
constexpr Family kMul8u {16, -7};
constexpr Family kMul16sImage {30, -14};
constexpr Family kMulC16sVector {30, -15};

// Runs fn with the functor of sf's case; sf must not exceed the family's zero bound.
template <class T, class F> void withScale(int sf, Family family, F&& fn)
{
    if (sf == 0)
        fn(ScaleNone {});
    else if (sf > 0)
        fn(ScaleDown {sf, (1 << sf) - 1, 1 << (sf - 1)});
    else if (sf < family.signBelow)
        fn(ScaleSign {kIntLow<T>, kIntHigh<T>});
    else
        fn(ScaleUp {1 << -sf, kIntLow<T> - 1, kIntHigh<T> + 1});
}

// d := op(d, s) scaled, over two images.
template <class T, class Op>
int binaryImage(const T* pSrc, int srcStep, T* pSrcDst, int srcDstStep, VpiSize roi, int sf, Family family, Op op)
{
    if (!pSrc || !pSrcDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    if (sf > family.zeroAbove)
        return setImage<T>(0, pSrcDst, srcDstStep, roi);
    withScale<T>(sf, family, [&](auto scale) {
        mapRegion(pSrc, srcStep, pSrcDst, srcDstStep, roi,
                  [scale, op](T s, T d) { return SaturateInt<T>(scale(op(d, s))); });
    });
    return StatusOk;
}

// What a constant makes of an operation before any arithmetic.
enum class ConstCase {
    General,
    Identity,
    Zero
};

// Results of element op constant, scaled, for the vector (image = false: one row,
// steps ignored) and image forms; pSrc == pDst for the in-place forms.
template <class T, class Op>
int constOperation(const T* pSrc, int srcStep, T* pDst, int dstStep, VpiSize roi, bool image, int sf, Family family,
                   ConstCase constCase, Op op)
{
    if (constCase == ConstCase::Zero || sf > family.zeroAbove) {
        if (image)
            return setImage<T>(0, pDst, dstStep, roi);
        fillImage<T>(0, pDst, 0, roi);
        return StatusOk;
    }
    if (constCase == ConstCase::Identity && sf == 0) {
        if (pSrc != pDst)
            copyImage(pSrc, srcStep, pDst, dstStep, roi);
        return StatusOk;
    }
    withScale<T>(sf, family, [&](auto scale) {
        mapRegion(pSrc, srcStep, pDst, dstStep, roi, [scale, op](T s, T) { return SaturateInt<T>(scale(op(s))); });
    });
    return StatusOk;
}

template <class T, class Op>
int constVector(const T* pSrc, T* pDst, int len, int sf, Family family, ConstCase constCase, Op op)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    return constOperation(pSrc, 0, pDst, 0, VpiSize {len, 1}, false, sf, family, constCase, op);
}

template <class T, class Op>
int constImage(const T* pSrc, int srcStep, T* pDst, int dstStep, VpiSize roi, int sf, Family family,
               ConstCase constCase, Op op)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    return constOperation(pSrc, srcStep, pDst, dstStep, roi, true, sf, family, constCase, op);
}

ConstCase additive(int value) { return value == 0 ? ConstCase::Identity : ConstCase::General; }
ConstCase multiplicative(int value)
{
    return value == 0 ? ConstCase::Zero : (value == 1 ? ConstCase::Identity : ConstCase::General);
}

auto add = [](int d, int s) { return d + s; };
auto sub8u = [](int d, int s) { return d > s ? d - s : 0; };
auto sub16s = [](int d, int s) { return d - s; };
auto mul = [](int d, int s) { return d * s; };

// --- Division --------------------------------------------------------------------

// Scale factors beyond +-64 give the same results as +-64 (every quotient is then
// below half a unit or beyond saturation) and keep 2^-sf finite and non-zero.
double scalePower(int sf)
{
    sf = sf < -64 ? -64 : (sf > 64 ? 64 : sf);
    return std::ldexp(1.0, -sf);
}

template <class T> int divideImage(const T* pSrc, int srcStep, T* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    if (!pSrc || !pSrcDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    if (srcStep <= 0 || srcDstStep <= 0)
        return StatusBadStep;
    const double scale = scalePower(sf);
    bool zeroDivisor = false;
    mapRegion(pSrc, srcStep, pSrcDst, srcDstStep, roi, [scale, &zeroDivisor](T s, T d) {
        const int divisor = s;
        const int dividend = d;
        if (divisor == 0) {
            // Saturated by the sign of the dividend; the rest of the region is still done.
            zeroDivisor = true;
            return static_cast<T>(dividend > 0 ? kIntHigh<T> : (dividend < 0 ? kIntLow<T> : 0));
        }
        const double q = scale * dividend / divisor;
        return q <= kIntLow<T> ? static_cast<T>(kIntLow<T>)
                               : (q >= kIntHigh<T> ? static_cast<T>(kIntHigh<T>) : static_cast<T>(std::nearbyint(q)));
    });
    return zeroDivisor ? StatusElementDivideByZero : StatusOk;
}

// Rounds v (within -32768..32767) to the nearest integer, halves to even, through a
// positive offset so that truncation is a floor.
inline int roundOffset16(double v)
{
    const double t = v + 32768.5;
    int i = static_cast<int>(t);
    if (t == i && (i & 1))
        --i;
    return i - 32768;
}

// t + 0.5 truncated, lowered when that is an exact odd integer: halves to even for
// non-negative t.
template <class F> inline int roundHalfUpEven(F t)
{
    const F u = t + F(0.5);
    int i = static_cast<int>(u);
    if (u == static_cast<F>(i) && (i & 1))
        --i;
    return i;
}

// Division of 16-bit samples by a constant, as the factor k = 2^-sf / value.
template <class S, class D> void divC16(const S* pSrc, int srcStep, D* pDst, int dstStep, VpiSize roi, double k)
{
    // Within this range no quotient leaves 16 bits; outside, each is saturated
    // before rounding.
    if (k >= static_cast<double>(-0.9999f) && k <= 1.0) {
        mapRegion(pSrc, srcStep, pDst, dstStep, roi,
                  [k](s16 x, s16) { return static_cast<s16>(roundOffset16(k * x)); });
    } else {
        mapRegion(pSrc, srcStep, pDst, dstStep, roi, [k](s16 x, s16) {
            double v = k * x;
            v = v < -32768.0 ? -32768.0 : (v > 32767.0 ? 32767.0 : v);
            return static_cast<s16>(roundOffset16(v));
        });
    }
}

// Reciprocals 1/i rounded half up to six decimal places, as single floats.
constexpr std::array<float, 256> makeReciprocals()
{
    std::array<float, 256> r {};
    r[0] = 0.000001f;
    for (int i = 1; i < 256; ++i)
        r[i] = static_cast<float>(static_cast<double>((2000000 + i) / (2 * i)) / 1e6);
    return r;
}
constexpr std::array<float, 256> kReciprocal8u = makeReciprocals();

// Division of bytes by a constant, as the factor k = 2^-sf R(value).
void divC8(const u8* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi, double k)
{
    if (k <= 1.0) {
        mapRegion(pSrc, srcStep, pDst, dstStep, roi, [k](u8 x, u8) { return static_cast<u8>(roundHalfUpEven(k * x)); });
    } else {
        mapRegion(pSrc, srcStep, pDst, dstStep, roi, [k](u8 x, u8) {
            const double v = k * x;
            return v > 255.0 ? u8 {255} : static_cast<u8>(roundHalfUpEven(v));
        });
    }
}

double divC16Factor(s16 value, int sf) { return scalePower(sf) / value; }
double divC8Factor(u8 value, int sf) { return scalePower(sf) * static_cast<double>(kReciprocal8u[value]); }

template <class T, class Divide>
int divCImage(const T* pSrc, int srcStep, T value, T* pDst, int dstStep, VpiSize roi, double k, Divide divide)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    if (srcStep <= 0 || dstStep <= 0)
        return StatusBadStep;
    if (value == 0)
        return StatusDivideByZero;
    divide(pSrc, srcStep, pDst, dstStep, roi, k);
    return StatusOk;
}

// --- Conversions -----------------------------------------------------------------

template <class S, class D, class Convert>
int convertImage(const S* pSrc, int srcStep, D* pDst, int dstStep, VpiSize roi, Convert convert)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    if (srcStep <= 0 || dstStep <= 0)
        return StatusBadStep;
    mapRegion(pSrc, srcStep, pDst, dstStep, roi, [convert](S s, D) { return convert(s); });
    return StatusOk;
}

inline u8 clampTo8u(int v) { return static_cast<u8>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

// --- Two-operand image arithmetic ------------------------------------------------------

int vpiAdd_8u_C1IRSfs(const u8* pSrc, int srcStep, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kAdd8u, add);
}

int vpiAdd_16s_C1IRSfs(const s16* pSrc, int srcStep, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kAdd16s, add);
}

int vpiSub_8u_C1IRSfs(const u8* pSrc, int srcStep, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kSub8u, sub8u);
}

int vpiSub_16s_C1IRSfs(const s16* pSrc, int srcStep, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kSub16s, sub16s);
}

int vpiMul_8u_C1IRSfs(const u8* pSrc, int srcStep, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kMul8u, mul);
}

int vpiMul_16s_C1IRSfs(const s16* pSrc, int srcStep, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return binaryImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf, kMul16sImage, mul);
}

int vpiDiv_8u_C1IRSfs(const u8* pSrc, int srcStep, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return divideImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf);
}

int vpiDiv_16s_C1IRSfs(const s16* pSrc, int srcStep, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return divideImage(pSrc, srcStep, pSrcDst, srcDstStep, roi, sf);
}

// --- Division by a constant --------------------------------------------------------

int vpsDivC_16s_Sfs(const s16* pSrc, s16 value, s16* pDst, int len, int sf)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (value == 0)
        return StatusDivideByZero;
    divC16(pSrc, 0, pDst, 0, VpiSize {len, 1}, divC16Factor(value, sf));
    return StatusOk;
}

int vpsDivC_16s_ISfs(s16 value, s16* pSrcDst, int len, int sf)
{
    return vpsDivC_16s_Sfs(pSrcDst, value, pSrcDst, len, sf);
}

int vpsDivC_8u_Sfs(const u8* pSrc, u8 value, u8* pDst, int len, int sf)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    if (value == 0)
        return StatusDivideByZero;
    divC8(pSrc, 0, pDst, 0, VpiSize {len, 1}, divC8Factor(value, sf));
    return StatusOk;
}

int vpiDivC_8u_C1RSfs(const u8* pSrc, int srcStep, u8 value, u8* pDst, int dstStep, VpiSize roi, int sf)
{
    return divCImage(pSrc, srcStep, value, pDst, dstStep, roi, divC8Factor(value, sf), divC8);
}

int vpiDivC_8u_C1IRSfs(u8 value, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiDivC_8u_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiDivC_16s_C1RSfs(const s16* pSrc, int srcStep, s16 value, s16* pDst, int dstStep, VpiSize roi, int sf)
{
    const double k = value == 0 ? 0.0 : divC16Factor(value, sf);
    return divCImage(pSrc, srcStep, value, pDst, dstStep, roi, k, divC16<s16, s16>);
}

int vpiDivC_16s_C1IRSfs(s16 value, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiDivC_16s_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

// --- Fills ---------------------------------------------------------------------------

int vpsSet_16s(s16 value, s16* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = value;
    return StatusOk;
}

int vpiSet_8u_C1R(u8 value, u8* pDst, int dstStep, VpiSize roi) { return setImage(value, pDst, dstStep, roi); }
int vpiSet_16s_C1R(s16 value, s16* pDst, int dstStep, VpiSize roi) { return setImage(value, pDst, dstStep, roi); }
int vpiSet_32s_C1R(s32 value, s32* pDst, int dstStep, VpiSize roi) { return setImage(value, pDst, dstStep, roi); }

// --- Arithmetic with a constant ------------------------------------------------------

int vpsAddC_8u_ISfs(u8 value, u8* pSrcDst, int len, int sf) { return vpsAddC_8u_Sfs(pSrcDst, value, pSrcDst, len, sf); }

int vpsAddC_8u_Sfs(const u8* pSrc, u8 value, u8* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kAdd8u, additive(v), [v](int x) { return x + v; });
}

int vpsAddC_16s_ISfs(s16 value, s16* pSrcDst, int len, int sf)
{
    return vpsAddC_16s_Sfs(pSrcDst, value, pSrcDst, len, sf);
}

int vpsAddC_16s_Sfs(const s16* pSrc, s16 value, s16* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kAdd16s, additive(v), [v](int x) { return x + v; });
}

int vpiAddC_8u_C1IRSfs(u8 value, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiAddC_8u_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiAddC_8u_C1RSfs(const u8* pSrc, int srcStep, u8 value, u8* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kAdd8u, additive(v), [v](int x) { return x + v; });
}

int vpiAddC_16s_C1IRSfs(s16 value, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiAddC_16s_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiAddC_16s_C1RSfs(const s16* pSrc, int srcStep, s16 value, s16* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kAdd16s, additive(v), [v](int x) { return x + v; });
}

int vpsSubC_8u_ISfs(u8 value, u8* pSrcDst, int len, int sf) { return vpsSubC_8u_Sfs(pSrcDst, value, pSrcDst, len, sf); }

int vpsSubC_8u_Sfs(const u8* pSrc, u8 value, u8* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kSub8u, additive(v), [v](int x) { return sub8u(x, v); });
}

int vpsSubC_16s_ISfs(s16 value, s16* pSrcDst, int len, int sf)
{
    return vpsSubC_16s_Sfs(pSrcDst, value, pSrcDst, len, sf);
}

int vpsSubC_16s_Sfs(const s16* pSrc, s16 value, s16* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kSub16s, additive(v), [v](int x) { return x - v; });
}

int vpiSubC_8u_C1IRSfs(u8 value, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiSubC_8u_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiSubC_8u_C1RSfs(const u8* pSrc, int srcStep, u8 value, u8* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kSub8u, additive(v), [v](int x) { return sub8u(x, v); });
}

int vpiSubC_16s_C1IRSfs(s16 value, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiSubC_16s_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiSubC_16s_C1RSfs(const s16* pSrc, int srcStep, s16 value, s16* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kSub16s, additive(v), [v](int x) { return x - v; });
}

int vpsMulC_8u_ISfs(u8 value, u8* pSrcDst, int len, int sf) { return vpsMulC_8u_Sfs(pSrcDst, value, pSrcDst, len, sf); }

int vpsMulC_8u_Sfs(const u8* pSrc, u8 value, u8* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kMul8u, multiplicative(v), [v](int x) { return x * v; });
}

int vpsMulC_16s_ISfs(s16 value, s16* pSrcDst, int len, int sf)
{
    return vpsMulC_16s_Sfs(pSrcDst, value, pSrcDst, len, sf);
}

int vpsMulC_16s_Sfs(const s16* pSrc, s16 value, s16* pDst, int len, int sf)
{
    const int v = value;
    return constVector(pSrc, pDst, len, sf, kMulC16sVector, multiplicative(v), [v](int x) { return x * v; });
}

int vpiMulC_8u_C1IRSfs(u8 value, u8* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiMulC_8u_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiMulC_8u_C1RSfs(const u8* pSrc, int srcStep, u8 value, u8* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kMul8u, multiplicative(v), [v](int x) { return x * v; });
}

int vpiMulC_16s_C1IRSfs(s16 value, s16* pSrcDst, int srcDstStep, VpiSize roi, int sf)
{
    return vpiMulC_16s_C1RSfs(pSrcDst, srcDstStep, value, pSrcDst, srcDstStep, roi, sf);
}

int vpiMulC_16s_C1RSfs(const s16* pSrc, int srcStep, s16 value, s16* pDst, int dstStep, VpiSize roi, int sf)
{
    const int v = value;
    return constImage(pSrc, srcStep, pDst, dstStep, roi, sf, kMul16sImage, multiplicative(v),
                      [v](int x) { return x * v; });
}

// --- Copies and conversions ------------------------------------------------------------

int vpsConvert_8s16s(const s8* pSrc, s16* pDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pDst))
        return st;
    for (int i = 0; i < len; ++i)
        pDst[i] = pSrc[i];
    return StatusOk;
}

int vpiCopy_8u_C1R(const u8* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    copyImage(pSrc, srcStep, pDst, dstStep, roi);
    return StatusOk;
}

int vpiCopy_16s_C1R(const s16* pSrc, int srcStep, s16* pDst, int dstStep, VpiSize roi)
{
    if (!pSrc || !pDst)
        return StatusNullPointer;
    if (badSize(roi))
        return StatusBadSize;
    copyImage(pSrc, srcStep, pDst, dstStep, roi);
    return StatusOk;
}

int vpiConvert_8u32f_C1R(const u8* pSrc, int srcStep, float* pDst, int dstStep, VpiSize roi)
{
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](u8 x) { return static_cast<float>(x); });
}

int vpiConvert_32f8u_C1R(const float* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi, int roundMode)
{
    // NaN fails both comparisons and gives 0. Adding and removing 2^23 rounds a float
    // below 2^23 to the nearest integer, halves to even.
    if (roundMode == 1)
        return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](float x) {
            if (!(x > 0.0f))
                return u8 {0};
            if (x >= 255.0f)
                return u8 {255};
            return static_cast<u8>((x + 0x1p23f) - 0x1p23f);
        });
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](float x) {
        if (!(x > 0.0f))
            return u8 {0};
        if (x >= 255.0f)
            return u8 {255};
        return static_cast<u8>(x);
    });
}

int vpiScale_8u16u_C1R(const u8* pSrc, int srcStep, u16* pDst, int dstStep, VpiSize roi)
{
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](u8 x) { return static_cast<u16>(x * 257); });
}

int vpiScale_8u16s_C1R(const u8* pSrc, int srcStep, s16* pDst, int dstStep, VpiSize roi)
{
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](u8 x) { return static_cast<s16>(x * 257 - 32768); });
}

int vpiScale_8u32s_C1R(const u8* pSrc, int srcStep, s32* pDst, int dstStep, VpiSize roi)
{
    return convertImage(pSrc, srcStep, pDst, dstStep, roi,
                        [](u8 x) { return static_cast<s32>(static_cast<long long>(x) * 16843009 - 2147483648LL); });
}

int vpiScale_16u8u_C1R(const u16* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi, int hint)
{
    if (hint == 2) {
        constexpr float r = 1.0f / 257.0f;
        return convertImage(pSrc, srcStep, pDst, dstStep, roi,
                            [](u16 x) { return clampTo8u(roundHalfUpEven(static_cast<float>(x) * r)); });
    }
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](u16 x) {
        const int c = x - 32768;
        return static_cast<u8>(((c - (c >> 8)) >> 8) - 128);
    });
}

int vpiScale_16s8u_C1R(const s16* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi, int hint)
{
    if (hint == 2) {
        constexpr float r = 1.0f / 257.0f;
        return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](s16 x) {
            const float t = static_cast<float>(x) * r + 128.001953125f;
            int i = static_cast<int>(t);
            if (t == static_cast<float>(i) && (i & 1))
                --i;
            return clampTo8u(i);
        });
    }
    return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](s16 x) {
        const int c = x;
        return static_cast<u8>(((c - (c >> 8)) >> 8) - 128);
    });
}

int vpiScale_32s8u_C1R(const s32* pSrc, int srcStep, u8* pDst, int dstStep, VpiSize roi, int hint)
{
    if (hint == 2) {
        return convertImage(pSrc, srcStep, pDst, dstStep, roi, [](s32 x) {
            const double t = x * 5.937181414556033e-8 + 128.0000000296859;
            int i = static_cast<int>(t);
            if (t == static_cast<double>(i) && (i & 1))
                --i;
            return clampTo8u(i);
        });
    }
    return convertImage(pSrc, srcStep, pDst, dstStep, roi,
                        [](s32 x) { return static_cast<u8>(((x - (x >> 8)) >> 24) - 128); });
}

}  // namespace fallback

DCS_DSP_DEFINE(vpiAdd_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiAdd_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiSub_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiSub_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiMul_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiMul_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiDiv_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiDiv_16s_C1IRSfs)
DCS_DSP_DEFINE(vpsDivC_16s_ISfs)
DCS_DSP_DEFINE(vpsDivC_16s_Sfs)
DCS_DSP_DEFINE(vpsSet_16s)
DCS_DSP_DEFINE(vpsConvert_8s16s)
DCS_DSP_DEFINE(vpiScale_16u8u_C1R)
DCS_DSP_DEFINE(vpiScale_8u16u_C1R)
DCS_DSP_DEFINE(vpiSet_8u_C1R)
DCS_DSP_DEFINE(vpiSet_16s_C1R)
DCS_DSP_DEFINE(vpiSet_32s_C1R)
DCS_DSP_DEFINE(vpsAddC_8u_ISfs)
DCS_DSP_DEFINE(vpsAddC_8u_Sfs)
DCS_DSP_DEFINE(vpsAddC_16s_ISfs)
DCS_DSP_DEFINE(vpsAddC_16s_Sfs)
DCS_DSP_DEFINE(vpiAddC_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiAddC_8u_C1RSfs)
DCS_DSP_DEFINE(vpiAddC_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiAddC_16s_C1RSfs)
DCS_DSP_DEFINE(vpsSubC_8u_ISfs)
DCS_DSP_DEFINE(vpsSubC_8u_Sfs)
DCS_DSP_DEFINE(vpsSubC_16s_ISfs)
DCS_DSP_DEFINE(vpsSubC_16s_Sfs)
DCS_DSP_DEFINE(vpiSubC_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiSubC_8u_C1RSfs)
DCS_DSP_DEFINE(vpiSubC_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiSubC_16s_C1RSfs)
DCS_DSP_DEFINE(vpsMulC_8u_ISfs)
DCS_DSP_DEFINE(vpsMulC_8u_Sfs)
DCS_DSP_DEFINE(vpsMulC_16s_ISfs)
DCS_DSP_DEFINE(vpsMulC_16s_Sfs)
DCS_DSP_DEFINE(vpiMulC_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiMulC_8u_C1RSfs)
DCS_DSP_DEFINE(vpiMulC_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiMulC_16s_C1RSfs)
DCS_DSP_DEFINE(vpsDivC_8u_Sfs)
DCS_DSP_DEFINE(vpiDivC_8u_C1IRSfs)
DCS_DSP_DEFINE(vpiDivC_8u_C1RSfs)
DCS_DSP_DEFINE(vpiDivC_16s_C1IRSfs)
DCS_DSP_DEFINE(vpiDivC_16s_C1RSfs)
DCS_DSP_DEFINE(vpiCopy_8u_C1R)
DCS_DSP_DEFINE(vpiCopy_16s_C1R)
DCS_DSP_DEFINE(vpiConvert_8u32f_C1R)
DCS_DSP_DEFINE(vpiConvert_32f8u_C1R)
DCS_DSP_DEFINE(vpiScale_8u16s_C1R)
DCS_DSP_DEFINE(vpiScale_8u32s_C1R)
DCS_DSP_DEFINE(vpiScale_16s8u_C1R)
DCS_DSP_DEFINE(vpiScale_32s8u_C1R)

namespace {
// Registration order of the integer vector fallbacks.
constexpr DspEntryDef kIntegerVectorEntries[] = {
    DCS_DSP_ENTRY(vpiAdd_8u_C1IRSfs),    DCS_DSP_ENTRY(vpiAdd_16s_C1IRSfs),   DCS_DSP_ENTRY(vpiSub_8u_C1IRSfs),
    DCS_DSP_ENTRY(vpiSub_16s_C1IRSfs),   DCS_DSP_ENTRY(vpiMul_8u_C1IRSfs),    DCS_DSP_ENTRY(vpiMul_16s_C1IRSfs),
    DCS_DSP_ENTRY(vpiDiv_8u_C1IRSfs),    DCS_DSP_ENTRY(vpiDiv_16s_C1IRSfs),   DCS_DSP_ENTRY(vpsDivC_16s_ISfs),
    DCS_DSP_ENTRY(vpsDivC_16s_Sfs),      DCS_DSP_ENTRY(vpsSet_16s),           DCS_DSP_ENTRY(vpsConvert_8s16s),
    DCS_DSP_ENTRY(vpiScale_16u8u_C1R),   DCS_DSP_ENTRY(vpiScale_8u16u_C1R),   DCS_DSP_ENTRY(vpiSet_8u_C1R),
    DCS_DSP_ENTRY(vpiSet_16s_C1R),       DCS_DSP_ENTRY(vpiSet_32s_C1R),       DCS_DSP_ENTRY(vpsAddC_8u_ISfs),
    DCS_DSP_ENTRY(vpsAddC_8u_Sfs),       DCS_DSP_ENTRY(vpsAddC_16s_ISfs),     DCS_DSP_ENTRY(vpsAddC_16s_Sfs),
    DCS_DSP_ENTRY(vpiAddC_8u_C1IRSfs),   DCS_DSP_ENTRY(vpiAddC_8u_C1RSfs),    DCS_DSP_ENTRY(vpiAddC_16s_C1IRSfs),
    DCS_DSP_ENTRY(vpiAddC_16s_C1RSfs),   DCS_DSP_ENTRY(vpsSubC_8u_ISfs),      DCS_DSP_ENTRY(vpsSubC_8u_Sfs),
    DCS_DSP_ENTRY(vpsSubC_16s_ISfs),     DCS_DSP_ENTRY(vpsSubC_16s_Sfs),      DCS_DSP_ENTRY(vpiSubC_8u_C1IRSfs),
    DCS_DSP_ENTRY(vpiSubC_8u_C1RSfs),    DCS_DSP_ENTRY(vpiSubC_16s_C1IRSfs),  DCS_DSP_ENTRY(vpiSubC_16s_C1RSfs),
    DCS_DSP_ENTRY(vpsMulC_8u_ISfs),      DCS_DSP_ENTRY(vpsMulC_8u_Sfs),       DCS_DSP_ENTRY(vpsMulC_16s_ISfs),
    DCS_DSP_ENTRY(vpsMulC_16s_Sfs),      DCS_DSP_ENTRY(vpiMulC_8u_C1IRSfs),   DCS_DSP_ENTRY(vpiMulC_8u_C1RSfs),
    DCS_DSP_ENTRY(vpiMulC_16s_C1IRSfs),  DCS_DSP_ENTRY(vpiMulC_16s_C1RSfs),   DCS_DSP_ENTRY(vpsDivC_8u_Sfs),
    DCS_DSP_ENTRY(vpiDivC_8u_C1IRSfs),   DCS_DSP_ENTRY(vpiDivC_8u_C1RSfs),    DCS_DSP_ENTRY(vpiDivC_16s_C1IRSfs),
    DCS_DSP_ENTRY(vpiDivC_16s_C1RSfs),   DCS_DSP_ENTRY(vpiCopy_8u_C1R),       DCS_DSP_ENTRY(vpiCopy_16s_C1R),
    DCS_DSP_ENTRY(vpiConvert_8u32f_C1R), DCS_DSP_ENTRY(vpiConvert_32f8u_C1R), DCS_DSP_ENTRY(vpiScale_8u16s_C1R),
    DCS_DSP_ENTRY(vpiScale_8u32s_C1R),   DCS_DSP_ENTRY(vpiScale_16s8u_C1R),   DCS_DSP_ENTRY(vpiScale_32s8u_C1R),
};
}  // namespace

void RegisterIntegerVectorFallbacks(DspRegistrar& r) { r.Add(kIntegerVectorEntries); }

}  // namespace dcs
