#include "components/audio/buffers/AUSampleRoutines.h"

#include "dsp/IntegerVectorEntries.h"
#include "dsp/MemoryEntries.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__x86_64__)
#define DCS_SAMPLE_SIMD 1
#include <immintrin.h>
#else
#define DCS_SAMPLE_SIMD 0
#endif

namespace dcs {

namespace {

// Samples of a region; a non-positive dimension means none.
int64_t Samples(VpiSize r) { return (r.width <= 0 || r.height <= 0) ? 0 : int64_t(r.width) * int64_t(r.height); }

// x × 8388607 / 32767, truncated, without a division: 8388607 = 256 × 32767 + 255, so the
// quotient is 256x plus the truncated 255|x| / 32767 (at most 255, with x's sign), and
// for 0 <= n < 32767 × 32768, n / 32767 = (n + n / 32768 + 1) / 32768 in whole numbers.
// Only x = -32768 lands outside the 24-bit range (-8388863).
int32_t Widen16To24(int32_t x)
{
    const int32_t a = x < 0 ? -x : x;
    const int32_t n = (a << 8) - a;
    const int32_t q = (n + (n >> 15) + 1) >> 15;
    return x * 256 + (x < 0 ? -q : q);
}

// Interleaved columns put most samples at addresses their type is not aligned to.
template <class T> T Load(const void* base, int64_t offset)
{
    T v;
    std::memcpy(&v, static_cast<const char*>(base) + offset, sizeof v);
    return v;
}

template <class T> void Put(void* base, int64_t offset, T v)
{
    std::memcpy(static_cast<char*>(base) + offset, &v, sizeof v);
}

int32_t Read24At(const void* base, int64_t offset) { return ReadSample24(static_cast<const char*>(base) + offset); }

void Write24At(int32_t v, void* base, int64_t offset) { WriteSample24(v, static_cast<char*>(base) + offset); }

enum class Op {
    Add,
    Sub,
    Mul,
    Div
};

// The range of a sample width; sums and differences stop at its ends.
struct Range {
    int64_t Low, High;
};
constexpr Range kRange24 {-8388608, 8388607};
constexpr Range kRange32 {INT32_MIN, INT32_MAX};

// Sums and differences saturate to the range: a mix that passes full scale must stay
// at full scale, not turn into its opposite. Products keep their low 32 bits. False for
// a zero divisor: the sample keeps its value. INT_MIN / -1 would trap; its wrapped
// quotient is INT_MIN.
bool Apply(Op op, int32_t a, int32_t b, Range range, int32_t& r)
{
    switch (op) {
    case Op::Add: r = int32_t(std::clamp(int64_t(a) + b, range.Low, range.High)); return true;
    case Op::Sub: r = int32_t(std::clamp(int64_t(a) - b, range.Low, range.High)); return true;
    case Op::Mul: r = int32_t(uint32_t(a) * uint32_t(b)); return true;
    case Op::Div:
        if (b == 0)
            return false;
        r = b == -1 ? int32_t(0u - uint32_t(a)) : a / b;
        return true;
    }
    return false;
}

uint8_t Apply8(Op op, uint8_t d, uint8_t s)
{
    switch (op) {
    case Op::Add: return uint8_t(std::clamp(d + s - 127, 0, 255));
    case Op::Sub: return uint8_t(std::clamp(d - s + 127, 0, 255));
    case Op::Mul: return uint8_t((d - 127) * (s - 127) + 127);
    case Op::Div:
        if (s == 127)
            return 127;
        return uint8_t((d - 127) / (s - 127) + 127);
    }
    return d;
}

void Columns8(Op op, const uint8_t* src, int srcStep, uint8_t* dst, int dstStep, VpiSize region)
{
    const int64_t n = Samples(region);
    for (int64_t i = 0; i < n; ++i) {
        uint8_t& d = dst[i * dstStep];
        d = Apply8(op, d, src[i * srcStep]);
    }
}

// The operation is a template argument: the mixer sums every input through here, and a
// test of the operation per sample would cost as much as the sum.
template <Op op> void Columns24(const void* src, int srcStep, void* dst, int dstStep, VpiSize region)
{
    const int64_t n = Samples(region);
    const auto* s = static_cast<const uint8_t*>(src);
    auto* d = static_cast<uint8_t*>(dst);
    for (int64_t i = 0; i < n; ++i, s += srcStep, d += dstStep) {
        int32_t r;
        if (Apply(op, ReadSample24(d), ReadSample24(s), kRange24, r))
            WriteSample24(r, d);
    }
}

void Columns32(Op op, const void* src, int srcStep, void* dst, int dstStep, VpiSize region)
{
    const int64_t n = Samples(region);
    for (int64_t i = 0; i < n; ++i) {
        int32_t r;
        if (Apply(op, Load<int32_t>(dst, i * dstStep), Load<int32_t>(src, i * srcStep), kRange32, r))
            Put(dst, i * dstStep, r);
    }
}

// Four packed 24-bit samples are three little-endian words.
void Unpack24x4(const uint8_t* p, int32_t* out)
{
    uint32_t w0, w1, w2;
    std::memcpy(&w0, p, 4);
    std::memcpy(&w1, p + 4, 4);
    std::memcpy(&w2, p + 8, 4);
    out[0] = int32_t(w0 << 8) >> 8;
    out[1] = int32_t(((w0 >> 24) | (w1 << 8)) << 8) >> 8;
    out[2] = int32_t(((w1 >> 16) | (w2 << 16)) << 8) >> 8;
    out[3] = int32_t(w2) >> 8;
}

void Pack24x4(const int32_t* in, uint8_t* p)
{
    const uint32_t u0 = uint32_t(in[0]) & 0xFFFFFF, u1 = uint32_t(in[1]) & 0xFFFFFF;
    const uint32_t u2 = uint32_t(in[2]) & 0xFFFFFF, u3 = uint32_t(in[3]) & 0xFFFFFF;
    const uint32_t w0 = u0 | u1 << 24, w1 = u1 >> 8 | u2 << 16, w2 = u2 >> 16 | u3 << 8;
    std::memcpy(p, &w0, 4);
    std::memcpy(p + 4, &w1, 4);
    std::memcpy(p + 8, &w2, 4);
}

// ------------------------------------------------------------------- vector kernels
// The two loops that run for every sample of every preset, in SSE4.1 where the processor
// has it (chosen at run time: the build targets plain x86-64). They give exactly the
// results of the portable loops below them, which also finish the tails.
#if DCS_SAMPLE_SIMD

bool HasSse41()
{
    static const bool has = __builtin_cpu_supports("sse4.1");
    return has;
}

// Twelve packed bytes (four samples) at the bottom of a register, sign-extended to words.
__attribute__((target("sse4.1"))) inline __m128i Unpack24(__m128i bytes)
{
    const __m128i spread = _mm_setr_epi8(-1, 0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11);
    return _mm_srai_epi32(_mm_shuffle_epi8(bytes, spread), 8);
}

__attribute__((target("sse4.1"))) inline __m128i Pack24(__m128i words)
{
    const __m128i gather = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    return _mm_shuffle_epi8(words, gather);
}

// Sixteen packed 24-bit samples (48 bytes) as four registers of four samples each, at
// the bottom of each register, and back.
__attribute__((target("sse4.1"))) inline void Load48(const uint8_t* p, __m128i g[4])
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    g[0] = a;
    g[1] = _mm_alignr_epi8(b, a, 12);
    g[2] = _mm_alignr_epi8(c, b, 8);
    g[3] = _mm_srli_si128(c, 4);
}

__attribute__((target("sse4.1"))) inline void Store48(uint8_t* p, const __m128i q[4])
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(q[0], _mm_slli_si128(q[1], 12)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16),
                     _mm_or_si128(_mm_srli_si128(q[1], 4), _mm_slli_si128(q[2], 8)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32),
                     _mm_or_si128(_mm_srli_si128(q[2], 8), _mm_slli_si128(q[3], 4)));
}

// Sixteen samples (48 bytes) a step; answers how many samples it summed.
__attribute__((target("sse4.1"))) int64_t AddRuns24Sse41(const uint8_t* s, uint8_t* d, int64_t count)
{
    const __m128i lo = _mm_set1_epi32(-8388608), hi = _mm_set1_epi32(8388607);
    int64_t i = 0;
    for (; i + 16 <= count; i += 16, s += 48, d += 48) {
        __m128i dg[4], sg[4], p[4];
        Load48(d, dg);
        Load48(s, sg);
        for (int k = 0; k < 4; ++k) {
            const __m128i sum = _mm_add_epi32(Unpack24(dg[k]), Unpack24(sg[k]));
            p[k] = Pack24(_mm_min_epi32(_mm_max_epi32(sum, lo), hi));
        }
        Store48(d, p);
    }
    return i;
}

// Sixteen packed samples a step times an exact gain: each product is exact in a double,
// rounded to even by the conversion (the default rounding, as rint) after clamping.
__attribute__((target("sse4.1"))) int64_t GainRun24Sse41(const uint8_t* s, uint8_t* d, int64_t count, double c)
{
    const __m128d gain = _mm_set1_pd(c), lo = _mm_set1_pd(-8388608.0), hi = _mm_set1_pd(8388607.0);
    auto scale = [&](__m128i x) {
        const __m128d a = _mm_min_pd(_mm_max_pd(_mm_mul_pd(_mm_cvtepi32_pd(x), gain), lo), hi);
        const __m128d b = _mm_min_pd(_mm_max_pd(_mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(x, 8)), gain), lo), hi);
        return _mm_unpacklo_epi64(_mm_cvtpd_epi32(a), _mm_cvtpd_epi32(b));
    };
    int64_t i = 0;
    for (; i + 16 <= count; i += 16, s += 48, d += 48) {
        __m128i sg[4], p[4];
        Load48(s, sg);
        for (int k = 0; k < 4; ++k)
            p[k] = Pack24(scale(Unpack24(sg[k])));
        Store48(d, p);
    }
    return i;
}

// Eight mono 16-bit samples a step into eight stereo 24-bit frames (48 bytes), each the
// truncated x * 8388607 / 32767 of Widen16To24, computed the same division-free way.
__attribute__((target("sse4.1"))) int WidenStereo16To24Sse41(const uint8_t* s, uint8_t* d, int frames)
{
    const __m128i floor = _mm_set1_epi32(-8388608), one = _mm_set1_epi32(1);
    // Frame f of four takes bytes 4f..4f+2 twice.
    const __m128i first = _mm_setr_epi8(0, 1, 2, 0, 1, 2, 4, 5, 6, 4, 5, 6, 8, 9, 10, 8);
    const __m128i second = _mm_setr_epi8(9, 10, 12, 13, 14, 12, 13, 14, -1, -1, -1, -1, -1, -1, -1, -1);
    int i = 0;
    for (; i + 8 <= frames; i += 8, s += 16, d += 48) {
        const __m128i x16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i w[2];
        for (int h = 0; h < 2; ++h) {
            const __m128i x = _mm_cvtepi16_epi32(h ? _mm_srli_si128(x16, 8) : x16);
            const __m128i a = _mm_abs_epi32(x);
            const __m128i n = _mm_sub_epi32(_mm_slli_epi32(a, 8), a);
            const __m128i q = _mm_srai_epi32(_mm_add_epi32(_mm_add_epi32(n, _mm_srai_epi32(n, 15)), one), 15);
            w[h] = _mm_max_epi32(_mm_add_epi32(_mm_slli_epi32(x, 8), _mm_sign_epi32(q, x)), floor);
        }
        // 24 bytes from each half: 16 from the first shuffle, 8 from the second.
        const __m128i a0 = _mm_shuffle_epi8(w[0], first), a1 = _mm_shuffle_epi8(w[0], second);
        const __m128i b0 = _mm_shuffle_epi8(w[1], first), b1 = _mm_shuffle_epi8(w[1], second);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), _mm_or_si128(a1, _mm_slli_si128(b0, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32),
                         _mm_or_si128(_mm_srli_si128(b0, 8), _mm_slli_si128(b1, 8)));
    }
    return i;
}
#endif

// Dst := Src op Value over n samples; in place when src == dst.
void Const24(Op op, const void* src, int32_t value, void* dst, int step, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) {
        int32_t r;
        if (Apply(op, Read24At(src, i * step), value, kRange24, r))
            Write24At(r, dst, i * step);
        else if (src != dst)
            Write24At(Read24At(src, i * step), dst, i * step);
    }
}

void Const32(Op op, const void* src, int32_t value, void* dst, int step, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) {
        int32_t r;
        if (Apply(op, Load<int32_t>(src, i * step), value, kRange32, r))
            Put(dst, i * step, r);
        else if (src != dst)
            Put(dst, i * step, Load<int32_t>(src, i * step));
    }
}

int64_t Count(int len) { return len > 0 ? len : 0; }

bool IsUnity(double c) { return !(c < 1.0 || c > 1.0); }

// round(x × c) in extended precision, ties to even, clamped to the range: a gain
// above 1.0 drives loud samples into full scale, never past it into the opposite sign.
// False when the product is no number (0 × infinity). With AExact the product is exact
// in double, so double arithmetic gives the same result without the x87 unit.
template <bool AExact> bool Gain(int64_t x, double c, Range range, int64_t& out)
{
    // rint: nearbyint saves and restores the whole floating-point environment per call.
    long double r;
    if constexpr (AExact)
        r = std::rint(static_cast<double>(x) * c);
    else
        r = std::rint(static_cast<long double>(x) * static_cast<long double>(c));
    if (std::isnan(r))
        return false;
    out = r <= range.Low ? range.Low : r >= range.High ? range.High : static_cast<int64_t>(r);
    return true;
}

// Significant bits of a number: of |c|'s mantissa, or of the largest magnitude of a range.
int SignificantBits(double c)
{
    if (c == 0.0)
        return 0;
    int exponent;
    const auto mantissa = static_cast<uint64_t>(std::ldexp(std::fabs(std::frexp(c, &exponent)), 53));
    return 53 - std::countr_zero(mantissa);
}
int SignificantBits(Range range)
{
    return int(std::bit_width(static_cast<uint64_t>(std::max(-range.Low, range.High))));
}

// Dst := round(read(Src) × c), written by `write`.
template <class Read, class Write>
void GainColumn(const void* src, void* dst, int step, VpiSize region, double c, Range range, Read read, Write write)
{
    if (IsUnity(c))
        return;
    const int64_t n = Samples(region);
    // A gain of few mantissa bits (0.5, 0.25, 0.75 ...) times any sample fits a double.
    if (std::isfinite(c) && SignificantBits(c) + SignificantBits(range) <= 53) {
        int64_t i = 0;
#if DCS_SAMPLE_SIMD
        if (step == 3 && range.Low == kRange24.Low && range.High == kRange24.High && HasSse41())
            i = GainRun24Sse41(static_cast<const uint8_t*>(src), static_cast<uint8_t*>(dst), n, c);
#endif
        for (; i < n; ++i) {
            int64_t r;
            if (Gain<true>(read(src, i * step), c, range, r))
                write(r, dst, i * step);
        }
        return;
    }
    for (int64_t i = 0; i < n; ++i) {
        int64_t r;
        if (Gain<false>(read(src, i * step), c, range, r))
            write(r, dst, i * step);
    }
}

template <class T> void GainColumn(const void* src, void* dst, int step, VpiSize region, double c)
{
    GainColumn(
        src, dst, step, region, c, Range {std::numeric_limits<T>::min(), std::numeric_limits<T>::max()},
        [](const void* p, int64_t o) -> int64_t { return Load<T>(p, o); },
        [](int64_t v, void* p, int64_t o) { Put(p, o, static_cast<T>(v)); });
}

void GainColumn24(const void* src, void* dst, int step, VpiSize region, double c)
{
    GainColumn(
        src, dst, step, region, c, kRange24, [](const void* p, int64_t o) -> int64_t { return Read24At(p, o); },
        [](int64_t v, void* p, int64_t o) { Write24At(static_cast<int32_t>(v), p, o); });
}

// Reads a column of S-typed samples (Read), writes each converted value (Write).
template <class Read, class Conv, class Write>
void ConvertColumn(const void* src, int srcStep, void* dst, int dstStep, VpiSize region, Read read, Conv convert,
                   Write write)
{
    const int64_t n = Samples(region);
    for (int64_t i = 0; i < n; ++i)
        write(convert(read(src, i * srcStep)), dst, i * dstStep);
}

auto Read8 = [](const void* p, int64_t o) -> int64_t { return Load<uint8_t>(p, o); };
auto Read16 = [](const void* p, int64_t o) -> int64_t { return Load<int16_t>(p, o); };
auto Read24 = [](const void* p, int64_t o) -> int64_t { return Read24At(p, o); };
auto Read32 = [](const void* p, int64_t o) -> int64_t { return Load<int32_t>(p, o); };
// Widening from the negative end (-32768, -8388608) or from the 8-bit top (255) lands
// just outside the target's range; wrapping it would turn full scale into its opposite,
// so the conversions saturate. Results inside the range are stored as computed.
auto Write8 = [](int64_t v, void* p, int64_t o) { Put(p, o, static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255))); };
auto Write16 = [](int64_t v, void* p, int64_t o) {
    Put(p, o, static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)));
};
auto Write24 = [](int64_t v, void* p, int64_t o) {
    Write24At(static_cast<int32_t>(std::clamp<int64_t>(v, -8388608, 8388607)), p, o);
};
auto Write32 = [](int64_t v, void* p, int64_t o) {
    Put(p, o, static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)));
};

}  // namespace

// ------------------------------------------------------------------ two sample columns

#define DCS_COLUMNS(Name, Fn, Op_, T)                                                                                  \
    void Name(const T* Src, int SrcStep, T* Dst, int DstStep, VpiSize Region, int /*ScaleFactor*/)                     \
    {                                                                                                                  \
        Fn(Op_, Src, SrcStep, Dst, DstStep, Region);                                                                   \
    }

DCS_COLUMNS(AddSamples8, Columns8, Op::Add, uint8_t)
DCS_COLUMNS(SubSamples8, Columns8, Op::Sub, uint8_t)
DCS_COLUMNS(MulSamples8, Columns8, Op::Mul, uint8_t)
DCS_COLUMNS(DivSamples8, Columns8, Op::Div, uint8_t)
#define DCS_COLUMNS24(Name, Op_)                                                                                       \
    void Name(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int /*ScaleFactor*/)               \
    {                                                                                                                  \
        Columns24<Op_>(Src, SrcStep, Dst, DstStep, Region);                                                            \
    }
void AddSamples24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int /*ScaleFactor*/)
{
    // Mono buffers are packed columns: the output mixers' sums take the run loop.
    if (SrcStep == 3 && DstStep == 3)
        AddSamplesContiguous24(Src, Dst, Samples(Region));
    else
        Columns24<Op::Add>(Src, SrcStep, Dst, DstStep, Region);
}
DCS_COLUMNS24(SubSamples24, Op::Sub)
DCS_COLUMNS24(MulSamples24, Op::Mul)
DCS_COLUMNS24(DivSamples24, Op::Div)
#undef DCS_COLUMNS24
DCS_COLUMNS(AddSamples32, Columns32, Op::Add, int32_t)
DCS_COLUMNS(SubSamples32, Columns32, Op::Sub, int32_t)
DCS_COLUMNS(MulSamples32, Columns32, Op::Mul, int32_t)
DCS_COLUMNS(DivSamples32, Columns32, Op::Div, int32_t)
#undef DCS_COLUMNS

void AddSamplesContiguous24(const void* Src, void* Dst, int64_t Count)
{
    const auto* s = static_cast<const uint8_t*>(Src);
    auto* d = static_cast<uint8_t*>(Dst);
    int64_t i = 0;
#if DCS_SAMPLE_SIMD
    // Every mixer sums every input of every cycle through here.
    if (HasSse41()) {
        i = AddRuns24Sse41(s, d, Count);
        s += 3 * i;
        d += 3 * i;
    }
#endif
    for (; i + 4 <= Count; i += 4, s += 12, d += 12) {
        int32_t a[4], b[4];
        Unpack24x4(d, a);
        Unpack24x4(s, b);
        for (int k = 0; k < 4; ++k)
            a[k] = std::clamp(a[k] + b[k], -8388608, 8388607);
        Pack24x4(a, d);
    }
    for (; i < Count; ++i, s += 3, d += 3)
        WriteSample24(std::clamp(ReadSample24(d) + ReadSample24(s), -8388608, 8388607), d);
}

// ------------------------------------------------------------------------ with a constant

#define DCS_CONST_FAMILY(Prefix, Op_)                                                                                  \
    void Prefix##Const24(int32_t Value, void* Dst, int Len, int) { Const24(Op_, Dst, Value, Dst, 3, Count(Len)); }     \
    void Prefix##ConstStrided24(int32_t Value, void* Dst, int Step, VpiSize Region, int)                               \
    {                                                                                                                  \
        Const24(Op_, Dst, Value, Dst, Step, Samples(Region));                                                          \
    }                                                                                                                  \
    void Prefix##ConstStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region, int)                            \
    {                                                                                                                  \
        Const32(Op_, Dst, Value, Dst, Step, Samples(Region));                                                          \
    }                                                                                                                  \
    void Prefix##ConstTo24(const void* Src, int32_t Value, void* Dst, int Len, int)                                    \
    {                                                                                                                  \
        Const24(Op_, Src, Value, Dst, 3, Count(Len));                                                                  \
    }                                                                                                                  \
    void Prefix##ConstStridedTo24(const void* Src, int32_t Value, void* Dst, int Step, VpiSize Region, int)            \
    {                                                                                                                  \
        Const24(Op_, Src, Value, Dst, Step, Samples(Region));                                                          \
    }                                                                                                                  \
    void Prefix##ConstStridedTo32(const int32_t* Src, int32_t Value, int32_t* Dst, int Step, VpiSize Region, int)      \
    {                                                                                                                  \
        Const32(Op_, Src, Value, Dst, Step, Samples(Region));                                                          \
    }

DCS_CONST_FAMILY(Add, Op::Add)
DCS_CONST_FAMILY(Sub, Op::Sub)
DCS_CONST_FAMILY(Mul, Op::Mul)
DCS_CONST_FAMILY(Div, Op::Div)
#undef DCS_CONST_FAMILY

// ---------------------------------------------------------------------------------- gain

void ScaleSamples8(uint8_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<uint8_t>(Dst, Dst, Step, Region, Coefficient);
}
void ScaleSamples16(int16_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<int16_t>(Dst, Dst, Step, Region, Coefficient);
}
void ScaleSamples24(void* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn24(Dst, Dst, Step, Region, Coefficient);
}
void ScaleSamples32(int32_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<int32_t>(Dst, Dst, Step, Region, Coefficient);
}
void ScaleSamplesTo8(const uint8_t* Src, uint8_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<uint8_t>(Src, Dst, Step, Region, Coefficient);
}
void ScaleSamplesTo16(const int16_t* Src, int16_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<int16_t>(Src, Dst, Step, Region, Coefficient);
}
void ScaleSamplesTo24(const void* Src, void* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn24(Src, Dst, Step, Region, Coefficient);
}
void ScaleSamplesTo32(const int32_t* Src, int32_t* Dst, int Step, VpiSize Region, double Coefficient)
{
    GainColumn<int32_t>(Src, Dst, Step, Region, Coefficient);
}

// --------------------------------------------------------------------- width conversions

void ConvertSamples8To24(const uint8_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read8,
        [](int64_t x) -> int64_t { return int32_t(x - 127) * 8388607 / 127; }, Write24);
}
void ConvertSamples16To24(const int16_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read16, [](int64_t x) -> int64_t { return Widen16To24(int32_t(x)); },
        Write24);
}

void ConvertSamples16To24Channels(const int16_t* Src, int SrcStep, void* Dst, int Frames, int Channels)
{
    if (Frames <= 0 || Channels <= 0)
        return;
    const auto* s = reinterpret_cast<const uint8_t*>(Src);
    auto* d = static_cast<uint8_t*>(Dst);
    if (Channels == 2) {
        int i = 0;
#if DCS_SAMPLE_SIMD
        // Every generator of every preset widens each of its buffers through here.
        if (SrcStep == 2 && HasSse41()) {
            i = WidenStereo16To24Sse41(s, d, Frames);
            s += 2 * i;
            d += 6 * i;
        }
#endif
        // A stereo frame is the sample twice: one word and one half-word.
        for (; i < Frames; ++i, s += SrcStep, d += 6) {
            const auto u = uint32_t(std::max(Widen16To24(Load<int16_t>(s, 0)), -8388608)) & 0xFFFFFF;
            const uint32_t head = u | u << 24;
            const auto tail = uint16_t(u >> 8);
            std::memcpy(d, &head, 4);
            std::memcpy(d + 4, &tail, 2);
        }
        return;
    }
    for (int i = 0; i < Frames; ++i, s += SrcStep) {
        const int32_t v = std::max(Widen16To24(Load<int16_t>(s, 0)), -8388608);
        for (int c = 0; c < Channels; ++c, d += 3)
            WriteSample24(v, d);
    }
}
void ConvertSamples16To32(const int16_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read16, [](int64_t x) { return x * 2147483647 / 32767; }, Write32);
}
void ConvertSamples24To32(const void* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read24, [](int64_t x) { return x * 2147483647 / 8388607; }, Write32);
}
void ConvertSamples24To8(const void* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read24,
        [](int64_t x) -> int64_t { return int32_t(x) * 127 / 8388607 + 127; }, Write8);
}
void ConvertSamples24To16(const void* Src, int SrcStep, int16_t* Dst, int DstStep, VpiSize Region, int)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read24, [](int64_t x) { return x * 32767 / 8388607; }, Write16);
}
void ConvertSamples32To16(const int32_t* Src, int SrcStep, int16_t* Dst, int DstStep, VpiSize Region, int)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read32, [](int64_t x) { return x * 32767 / 2147483647; }, Write16);
}
void ConvertSamples32To24(const int32_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int)
{
    ConvertColumn(
        Src, SrcStep, Dst, DstStep, Region, Read32, [](int64_t x) { return x * 8388607 / 2147483647; }, Write24);
}

// ------------------------------------------------------------------------ packed 24-bit

void ZeroSamples24(void* Dst, int Len)
{
    // 3 × Len may pass the entry's int range: zero it in pieces.
    int64_t bytes = 3 * Count(Len);
    auto* p = static_cast<uint8_t*>(Dst);
    while (bytes > 0) {
        const int chunk = bytes > INT_MAX ? INT_MAX - INT_MAX % 3 : int(bytes);
        vpsZero_8u(p, chunk);
        p += chunk;
        bytes -= chunk;
    }
}

void FillSamples24(int32_t Value, void* Dst, int Len)
{
    if (Len <= 0)
        return;
    const uint32_t l = uint8_t(Value), m = uint8_t(Value >> 8), h = uint8_t(uint32_t(Value) >> 16);
    auto* p = static_cast<uint8_t*>(Dst);
    const int groups = Len / 4;
    if (groups > 0) {
        // Four samples are three words: L M H L | M H L M | H L M H.
        SetSamplesStrided32(int32_t(l | m << 8 | h << 16 | l << 24), reinterpret_cast<int32_t*>(p), 12, {1, groups});
        SetSamplesStrided32(int32_t(m | h << 8 | l << 16 | m << 24), reinterpret_cast<int32_t*>(p + 4), 12,
                            {1, groups});
        SetSamplesStrided32(int32_t(h | l << 8 | m << 16 | h << 24), reinterpret_cast<int32_t*>(p + 8), 12,
                            {1, groups});
    }
    for (int64_t i = int64_t(groups) * 4; i < Len; ++i) {
        p[3 * i] = uint8_t(l);
        p[3 * i + 1] = uint8_t(m);
        p[3 * i + 2] = uint8_t(h);
    }
}

void SetSamplesStrided24(int32_t Value, void* Dst, int Step, VpiSize Region)
{
    const int64_t n = Samples(Region);
    for (int64_t i = 0; i < n; ++i)
        Write24At(Value, Dst, i * Step);
}

namespace {
// The registry's image entries address their elements as typed values: a column whose
// elements are not aligned (a 24-bit channel at an odd offset) is done here instead.
bool Aligned(const void* p, int step, size_t alignment)
{
    return reinterpret_cast<uintptr_t>(p) % alignment == 0 && unsigned(step) % alignment == 0;
}
}  // namespace

void SetSamplesStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region)
{
    const int64_t n = Samples(Region);
    if (n <= 0)
        return;
    if (Aligned(Dst, Step, alignof(int32_t))) {
        vpiSet_32s_C1R(Value, Dst, Step, Region);
        return;
    }
    for (int64_t i = 0; i < n; ++i)
        Put(Dst, i * Step, Value);
}

void CopySamplesStrided24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region)
{
    const int64_t n = Samples(Region);
    if (n <= 0)
        return;
    const auto* s = static_cast<const uint8_t*>(Src);
    auto* d = static_cast<uint8_t*>(Dst);
    if (SrcStep == 3 && DstStep == 3) {
        std::memmove(d, s, size_t(3 * n));
        return;
    }
    if (Aligned(s, SrcStep, alignof(int16_t)) && Aligned(d, DstStep, alignof(int16_t))) {
        vpiCopy_16s_C1R(reinterpret_cast<const int16_t*>(s), SrcStep, reinterpret_cast<int16_t*>(d), DstStep, Region);
    } else {
        for (int64_t i = 0; i < n; ++i)
            Put(d, i * DstStep, Load<uint16_t>(s, i * SrcStep));
    }
    vpiCopy_8u_C1R(s + 2, SrcStep, d + 2, DstStep, Region);
}

void ConvertSampleColumn(const void* Src, int SrcBits, int SrcStep, void* Dst, int DstBits, int DstStep, int Count)
{
    const VpiSize r {1, Count};
    if (Count <= 0)
        return;
    const auto* s8 = static_cast<const uint8_t*>(Src);
    const auto* s16 = static_cast<const int16_t*>(Src);
    const auto* s32 = static_cast<const int32_t*>(Src);
    auto* d8 = static_cast<uint8_t*>(Dst);
    auto* d16 = static_cast<int16_t*>(Dst);
    auto* d32 = static_cast<int32_t*>(Dst);
    switch (SrcBits * 100 + DstBits) {
    case 816: vpiScale_8u16s_C1R(s8, SrcStep, d16, DstStep, r); break;
    case 824: ConvertSamples8To24(s8, SrcStep, Dst, DstStep, r); break;
    case 832: vpiScale_8u32s_C1R(s8, SrcStep, d32, DstStep, r); break;
    case 1608: vpiScale_16s8u_C1R(s16, SrcStep, d8, DstStep, r, 1); break;
    case 1624: ConvertSamples16To24(s16, SrcStep, Dst, DstStep, r); break;
    case 1632: ConvertSamples16To32(s16, SrcStep, d32, DstStep, r); break;
    case 2408: ConvertSamples24To8(Src, SrcStep, d8, DstStep, r, 1); break;
    case 2416: ConvertSamples24To16(Src, SrcStep, d16, DstStep, r, 1); break;
    case 2432: ConvertSamples24To32(Src, SrcStep, d32, DstStep, r); break;
    case 3208: vpiScale_32s8u_C1R(s32, SrcStep, d8, DstStep, r, 1); break;
    case 3216: ConvertSamples32To16(s32, SrcStep, d16, DstStep, r, 1); break;
    case 3224: ConvertSamples32To24(s32, SrcStep, Dst, DstStep, r, 1); break;
    default: break;
    }
}

}  // namespace dcs
