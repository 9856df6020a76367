#include "dsp/spectral/FftEngine.h"

#include <immintrin.h>

#include <numbers>
#include <utility>

#include "dsp/DspCore.h"

namespace dcs {

namespace {

constexpr std::int64_t Pow2(int k) { return std::int64_t {1} << k; }

inline char* AlignUp16(void* p)
{
    const auto v = reinterpret_cast<std::uintptr_t>(p);
    return reinterpret_cast<char*>((v + 15) & ~std::uintptr_t {15});
}

// w_(4Q)^t = (cos, -sin)(2πt / 4Q) for 0 <= t < 4Q, read by symmetry from the quarter
// sine table S taken every d-th entry.
template <class T> inline FftComplex<T> Twiddle(const T* S, std::int64_t t, std::int64_t Q, std::int64_t d)
{
    if (t <= Q)
        return {S[(Q - t) * d], -S[t * d]};
    if (t <= 2 * Q)
        return {-S[(t - Q) * d], -S[(2 * Q - t) * d]};
    if (t <= 3 * Q)
        return {-S[(3 * Q - t) * d], S[(t - 2 * Q) * d]};
    return {S[(t - 3 * Q) * d], S[(4 * Q - t) * d]};
}

// Radix-4 twiddle table of order m: entries k = 0..2^m/4, each w^k, w^2k, w^3k.
template <class T> char* Radix4Table(int m, const T* sine, int q, FftComplex<T>* dst)
{
    const std::int64_t Q = Pow2(m) / 4;
    const std::int64_t d = Pow2(q - m);
    for (std::int64_t k = 0; k <= Q; ++k) {
        dst[3 * k] = Twiddle(sine, k, Q, d);
        dst[3 * k + 1] = Twiddle(sine, 2 * k, Q, d);
        dst[3 * k + 2] = Twiddle(sine, 3 * k, Q, d);
    }
    return AlignUp16(dst + 3 * (Q + 1));
}

// Quarter twiddle list of order m: w^k for k < 2^m/4.
template <class T> char* QuarterTable(int m, const T* sine, int q, FftComplex<T>* dst)
{
    const std::int64_t Q = Pow2(m) / 4;
    const std::int64_t d = Pow2(q - m);
    for (std::int64_t k = 0; k < Q; ++k)
        dst[k] = Twiddle(sine, k, Q, d);
    return AlignUp16(dst + Q);
}

// Four-step table of a level of order n split by s: for each group of four columns,
// 2^s records of four twiddles w_N^(column · bitrev_s(row)). The row factor is bit-
// reversed because the rows of a level hold the bit-reversed sub-sequences.
template <class T> char* FourStepTable(int n, int s, const T* sine, int q, FftComplex<T>* dst, char* temp)
{
    using C = FftComplex<T>;
    const std::int64_t R = Pow2(s);
    const std::int64_t cols = Pow2(n - s);
    const std::int64_t Q = Pow2(n) / 4;
    const std::int64_t d = Pow2(q - n);
    auto* bitRev = reinterpret_cast<std::int32_t*>(temp);
    dspFFTBitRevTable(s, bitRev);
    C* lists = reinterpret_cast<C*>(temp + FftBitRevBytes(s));
    for (std::int64_t g = 0; g < cols / 4; ++g) {
        for (int j = 0; j < 4; ++j) {
            C* list = lists + j * R;
            for (std::int64_t r = 0; r < R; ++r)
                list[r] = Twiddle(sine, (4 * g + j) * r, Q, d);
            dspFFTPermute_I<T>(list, R, bitRev);
        }
        C* rec = dst + g * R * 4;
        for (std::int64_t r = 0; r < R; ++r)
            for (int j = 0; j < 4; ++j)
                rec[4 * r + j] = lists[j * R + r];
    }
    return AlignUp16(dst + Pow2(n));
}

// The leaf, then every level from the deepest outwards, each at the next 16-byte boundary.
template <class T> void SplitTables(FftSpecT<T>* spec, const FftPlan& plan, const T* sine, int q, char* temp)
{
    using C = FftComplex<T>;
    constexpr int leafMax = FftTraits<T>::kLeafMaxOrder;
    char* cursor = reinterpret_cast<char*>(spec->leafTable);
    if (plan.leafIsBlock) {
        cursor = Radix4Table(leafMax, sine, q, reinterpret_cast<C*>(cursor));
        spec->quarter = reinterpret_cast<C*>(cursor);
        cursor = QuarterTable(plan.leafOrder, sine, q, reinterpret_cast<C*>(cursor));
    } else {
        cursor = Radix4Table(plan.leafOrder, sine, q, reinterpret_cast<C*>(cursor));
    }
    int orders[kFftMaxLevels];
    for (int level = 0, n = plan.transformOrder; level < plan.levels; n -= plan.split[level++])
        orders[level] = n;
    for (int level = plan.levels - 1; level >= 0; --level) {
        const int s = plan.split[level];
        spec->column[level] = reinterpret_cast<C*>(cursor);
        cursor = Radix4Table(s, sine, q, reinterpret_cast<C*>(cursor));
        spec->fourStep[level] = reinterpret_cast<C*>(cursor);
        cursor = FourStepTable(orders[level], s, sine, q, reinterpret_cast<C*>(cursor), temp);
        temp += FftBitRevBytes(s) + 4 * Pow2(s) * static_cast<std::int64_t>(sizeof(C));
    }
}

// ---- kernels ------------------------------------------------------------------------
//
// The kernels work on one complex value at a time through Lane<T>: for double a pair in
// one SSE2 register (baseline x86-64, no -march needed), for float the plain pair.

template <class T> struct Lane;

template <> struct Lane<double> {
    __m128d v;
    static Lane Load(const Vps64fc* p) { return {_mm_loadu_pd(&p->re)}; }
    void Store(Vps64fc* p) const { _mm_storeu_pd(&p->re, v); }
    friend Lane operator+(Lane a, Lane b) { return {_mm_add_pd(a.v, b.v)}; }
    friend Lane operator-(Lane a, Lane b) { return {_mm_sub_pd(a.v, b.v)}; }
    static __m128d SignLo() { return _mm_set_pd(0.0, -0.0); }
    static __m128d SignHi() { return _mm_set_pd(-0.0, 0.0); }
    // a·w forward, a·conj(w) inverse
    template <bool Inv> static Lane Twiddled(Lane a, Lane w)
    {
        const __m128d wr = _mm_unpacklo_pd(w.v, w.v);
        const __m128d wi = _mm_unpackhi_pd(w.v, w.v);
        const __m128d swapped = _mm_shuffle_pd(a.v, a.v, 1);  // (im, re)
        const __m128d cross = _mm_mul_pd(swapped, wi);        // (im·wi, re·wi)
        return {_mm_add_pd(_mm_mul_pd(a.v, wr), _mm_xor_pd(cross, Inv ? SignHi() : SignLo()))};
    }
    // r·a with r = -i forward, +i inverse
    template <bool Inv> static Lane Rot(Lane a)
    {
        const __m128d swapped = _mm_shuffle_pd(a.v, a.v, 1);
        return {_mm_xor_pd(swapped, Inv ? SignLo() : SignHi())};
    }
    static Lane Conj(Lane a) { return {_mm_xor_pd(a.v, SignHi())}; }
    // A twiddle with its parts spread over both halves, for reuse over many values.
    struct Split {
        __m128d re, im;
    };
    static Split SplitOf(const Vps64fc* w)
    {
        const __m128d v = _mm_loadu_pd(&w->re);
        return {_mm_unpacklo_pd(v, v), _mm_unpackhi_pd(v, v)};
    }
    template <bool Inv> static Lane Twiddled(Lane a, Split w)
    {
        const __m128d swapped = _mm_shuffle_pd(a.v, a.v, 1);
        const __m128d cross = _mm_mul_pd(swapped, w.im);
        return {_mm_add_pd(_mm_mul_pd(a.v, w.re), _mm_xor_pd(cross, Inv ? SignHi() : SignLo()))};
    }
};

template <> struct Lane<float> {
    float re, im;
    static Lane Load(const Vps32fc* p) { return {p->re, p->im}; }
    void Store(Vps32fc* p) const { *p = {re, im}; }
    friend Lane operator+(Lane a, Lane b) { return {a.re + b.re, a.im + b.im}; }
    friend Lane operator-(Lane a, Lane b) { return {a.re - b.re, a.im - b.im}; }
    template <bool Inv> static Lane Twiddled(Lane a, Lane w)
    {
        if constexpr (Inv)
            return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
        else
            return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re};
    }
    template <bool Inv> static Lane Rot(Lane a)
    {
        if constexpr (Inv)
            return {-a.im, a.re};
        else
            return {a.im, -a.re};
    }
    static Lane Conj(Lane a) { return {a.re, -a.im}; }
    using Split = Lane;
    static Split SplitOf(const Vps32fc* w) { return Load(w); }
};

// The radix-4 butterfly on values in registers: (a0, a1, a2, a3) are the already
// twiddled sub-transform values of residues 0, 2, 1, 3; the outputs replace them in order.
template <class V, bool Inv> inline void Radix4Values(V& a0, V& a1, V& a2, V& a3)
{
    const V s01 = a0 + a1;
    const V d01 = a0 - a1;
    const V s23 = a2 + a3;
    const V r23 = V::template Rot<Inv>(a2 - a3);
    a0 = s01 + s23;
    a2 = s01 - s23;
    a1 = d01 + r23;
    a3 = d01 - r23;
}

// One radix-4 butterfly over x[0], x[L], x[2L], x[3L] (the second and third quarter hold
// the sub-transforms of residues 2 and 1), twiddles t[0] = w^j, t[1] = w^2j, t[2] = w^3j;
// none for j = 0.
template <class T, bool Inv, bool Plain>
inline void Butterfly4(FftComplex<T>* x, std::int64_t L, const typename Lane<T>::Split* t)
{
    using V = Lane<T>;
    V a0 = V::Load(x);
    V a1 = V::Load(x + L);
    V a2 = V::Load(x + 2 * L);
    V a3 = V::Load(x + 3 * L);
    if constexpr (!Plain) {
        a1 = V::template Twiddled<Inv>(a1, t[1]);
        a2 = V::template Twiddled<Inv>(a2, t[0]);
        a3 = V::template Twiddled<Inv>(a3, t[2]);
    }
    Radix4Values<V, Inv>(a0, a1, a2, a3);
    a0.Store(x);
    a1.Store(x + L);
    a2.Store(x + 2 * L);
    a3.Store(x + 3 * L);
}

// The three twiddles of radix-4 table entry `entry`, spread once for every group.
template <class T> inline void SplitEntry(const FftComplex<T>* tab, std::int64_t entry, typename Lane<T>::Split* t)
{
    for (int i = 0; i < 3; ++i)
        t[i] = Lane<T>::SplitOf(tab + 3 * entry + i);
}

// ---- AVX passes (double) -------------------------------------------------------------
//
// Where the processor has AVX, the radix-4 passes from L = 8 on and the radix-2 passes
// work on two neighbouring butterflies per 256-bit register. Each lane does exactly the
// operations of the SSE2 code in the same order (no fused multiply-add), so the results
// are bit for bit those of the SSE2 passes, whichever path a machine takes.

#define DCS_AVX __attribute__((target("avx"), always_inline)) inline

struct Lane2 {
    __m256d v;
    DCS_AVX static Lane2 Load(const Vps64fc* p) { return {_mm256_loadu_pd(&p->re)}; }
    DCS_AVX void Store(Vps64fc* p) const { _mm256_storeu_pd(&p->re, v); }
    DCS_AVX friend Lane2 operator+(Lane2 a, Lane2 b) { return {_mm256_add_pd(a.v, b.v)}; }
    DCS_AVX friend Lane2 operator-(Lane2 a, Lane2 b) { return {_mm256_sub_pd(a.v, b.v)}; }
    DCS_AVX static __m256d SignLo() { return _mm256_set_pd(0.0, -0.0, 0.0, -0.0); }
    DCS_AVX static __m256d SignHi() { return _mm256_set_pd(-0.0, 0.0, -0.0, 0.0); }
    template <bool Inv> DCS_AVX static Lane2 Rot(Lane2 a)
    {
        const __m256d swapped = _mm256_permute_pd(a.v, 0x5);
        return {_mm256_xor_pd(swapped, Inv ? SignLo() : SignHi())};
    }
    struct Split {
        __m256d re, im;
    };
    // Twiddles a (low lane) and b (high lane), spread.
    DCS_AVX static Split SplitOf(const Vps64fc* a, const Vps64fc* b)
    {
        const __m256d v = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(&a->re)), _mm_loadu_pd(&b->re), 1);
        return {_mm256_movedup_pd(v), _mm256_permute_pd(v, 0xF)};
    }
    template <bool Inv> DCS_AVX static Lane2 Twiddled(Lane2 a, Split w)
    {
        const __m256d swapped = _mm256_permute_pd(a.v, 0x5);
        const __m256d cross = _mm256_mul_pd(swapped, w.im);
        return {_mm256_add_pd(_mm256_mul_pd(a.v, w.re), _mm256_xor_pd(cross, Inv ? SignHi() : SignLo()))};
    }
};

// Radix4Values on Lane2, compiled for AVX.
template <bool Inv> DCS_AVX void Radix4Values2(Lane2& a0, Lane2& a1, Lane2& a2, Lane2& a3)
{
    const Lane2 s01 = a0 + a1;
    const Lane2 d01 = a0 - a1;
    const Lane2 s23 = a2 + a3;
    const Lane2 r23 = Lane2::Rot<Inv>(a2 - a3);
    a0 = s01 + s23;
    a2 = s01 - s23;
    a1 = d01 + r23;
    a3 = d01 - r23;
}

// Butterfly4 on x[j], x[j+1] at once; with First the low lane (j = 0) is not twiddled.
template <bool Inv, bool First> DCS_AVX void Butterfly4x2(Vps64fc* x, std::int64_t L, const Lane2::Split* t)
{
    using V = Lane2;
    V a0 = V::Load(x);
    V a1 = V::Load(x + L);
    V a2 = V::Load(x + 2 * L);
    V a3 = V::Load(x + 3 * L);
    V b1 = V::template Twiddled<Inv>(a1, t[1]);
    V b2 = V::template Twiddled<Inv>(a2, t[0]);
    V b3 = V::template Twiddled<Inv>(a3, t[2]);
    if constexpr (First) {
        b1.v = _mm256_blend_pd(b1.v, a1.v, 0x3);
        b2.v = _mm256_blend_pd(b2.v, a2.v, 0x3);
        b3.v = _mm256_blend_pd(b3.v, a3.v, 0x3);
    }
    Radix4Values2<Inv>(a0, b1, b2, b3);
    a0.Store(x);
    b1.Store(x + L);
    b2.Store(x + 2 * L);
    b3.Store(x + 3 * L);
}

// The radix-4 passes of Radix4 from block size L (>= 8) up to n.
template <bool Inv>
__attribute__((target("avx"))) void Radix4PassesAvx(Vps64fc* x, std::int64_t n, std::int64_t L, const Vps64fc* tab,
                                                    std::int64_t total)
{
    for (; L < n; L *= 4) {
        const std::int64_t step = n / (4 * L);
        for (std::int64_t j = 0; j < L; j += 2) {
            Lane2::Split t[3];
            for (int i = 0; i < 3; ++i)
                t[i] = Lane2::SplitOf(tab + 3 * (j * step) + i, tab + 3 * ((j + 1) * step) + i);
            if (j == 0) {
                for (std::int64_t g = 0; g < total; g += 4 * L)
                    Butterfly4x2<Inv, true>(x + g, L, t);
            } else {
                for (std::int64_t g = 0; g < total; g += 4 * L)
                    Butterfly4x2<Inv, false>(x + g + j, L, t);
            }
        }
    }
}

// (a, c) := (a + w·c, a - w·c), with w times r where rotated
template <bool Inv> DCS_AVX void Pair2(Lane2& a, Lane2& c, const Lane2::Split& w, bool rotated)
{
    Lane2 t = Lane2::Twiddled<Inv>(c, w);
    if (rotated)
        t = Lane2::Rot<Inv>(t);
    c = a - t;
    a = a + t;
}

// Radix2's passes, two neighbouring k at once (L is a multiple of the 512-point block).
template <bool Inv>
__attribute__((target("avx"))) void Radix2Avx(Vps64fc* x, std::int64_t n, std::int64_t b, const Vps64fc* V)
{
    using Ln = Lane2;
    using C = Vps64fc;
    const auto pair = Pair2<Inv>;
    std::int64_t L = b;
    for (; 4 * L <= n; L *= 4) {
        const std::int64_t s1 = n / (2 * L);
        const std::int64_t s2 = n / (4 * L);
        for (std::int64_t p = 0; p < n; p += 4 * L) {
            C* q = x + p;
            for (std::int64_t k = 0; k < L; k += 2) {
                Ln a0 = Ln::Load(q + k), a1 = Ln::Load(q + L + k);
                Ln a2 = Ln::Load(q + 2 * L + k), a3 = Ln::Load(q + 3 * L + k);
                const bool second = k >= L / 2;
                const std::int64_t k1 = second ? k - L / 2 : k;
                const Ln::Split w1 = Ln::SplitOf(V + k1 * s1, V + (k1 + 1) * s1);
                pair(a0, a1, w1, second);
                pair(a2, a3, w1, second);
                const Ln::Split w2 = Ln::SplitOf(V + k * s2, V + (k + 1) * s2);
                pair(a0, a2, w2, false);
                pair(a1, a3, w2, true);
                a0.Store(q + k);
                a1.Store(q + L + k);
                a2.Store(q + 2 * L + k);
                a3.Store(q + 3 * L + k);
            }
        }
    }
    for (; L < n; L *= 2) {
        const std::int64_t stride = n / (2 * L);
        for (std::int64_t p = 0; p < n; p += 2 * L) {
            C* A = x + p;
            C* B = x + p + L;
            for (std::int64_t k = 0; k < L / 2; k += 2) {
                const Ln::Split w = Ln::SplitOf(V + k * stride, V + (k + 1) * stride);
                Ln a0 = Ln::Load(A + k), b0 = Ln::Load(B + k);
                Ln a1 = Ln::Load(A + k + L / 2), b1 = Ln::Load(B + k + L / 2);
                pair(a0, b0, w, false);
                pair(a1, b1, w, true);
                a0.Store(A + k);
                b0.Store(B + k);
                a1.Store(A + k + L / 2);
                b1.Store(B + k + L / 2);
            }
        }
    }
}

// dspFFTRealPostFwd's loop for k = 2 .. m/2 - 1, two k at once; the mirrored values
// Z[m-k-1], Z[m-k] are one load with its halves swapped.
__attribute__((target("avx"))) void RealPostFwdAvx(Vps64fc* Z, std::int64_t m, const Vps64fc* F)
{
    using V = Lane2;
    const __m256d conj = V::SignHi();
    for (std::int64_t k = 2; k < m / 2; k += 2) {
        const V z = V::Load(Z + k);
        const __m256d y = V::Load(Z + m - k - 1).v;
        const V cy = {_mm256_xor_pd(_mm256_permute2f128_pd(y, y, 1), conj)};
        const V f = V::Rot<false>(V::Load(F + k));
        const V ab = V::Twiddled<false>(z - cy, V::Split {_mm256_movedup_pd(f.v), _mm256_permute_pd(f.v, 0xF)});
        (ab + cy).Store(Z + k);
        const __m256d lo = _mm256_sub_pd(_mm256_xor_pd(z.v, conj), _mm256_xor_pd(ab.v, conj));
        _mm256_storeu_pd(&Z[m - k - 1].re, _mm256_permute2f128_pd(lo, lo, 1));
    }
}

// Radix4's fused 4-point and L = 4 pass over groups of 16 (n an even power of two), all
// in registers: the 4-point butterflies run on two sub-blocks at once (the values
// transposed into (sub-block p, sub-block p+1) lanes and back), then the L = 4
// butterflies two at a time.
template <bool Inv>
__attribute__((target("avx"))) void Radix4First16Avx(Vps64fc* x, std::int64_t n, const Vps64fc* tab, std::int64_t total)
{
    Lane2::Split t[2][3];
    for (int i = 0; i < 3; ++i) {
        t[0][i] = Lane2::SplitOf(tab + i, tab + 3 * (n / 16) + i);
        t[1][i] = Lane2::SplitOf(tab + 3 * (2 * (n / 16)) + i, tab + 3 * (3 * (n / 16)) + i);
    }
    for (std::int64_t i = 0; i < total; i += 16) {
        Vps64fc* a = x + i;
        Lane2 y[8];  // y[2p + h] = values 4p + 2h, 4p + 2h + 1
        for (int p = 0; p < 4; p += 2) {
            const __m256d lo0 = Lane2::Load(a + 4 * p).v, hi0 = Lane2::Load(a + 4 * p + 2).v;
            const __m256d lo1 = Lane2::Load(a + 4 * p + 4).v, hi1 = Lane2::Load(a + 4 * p + 6).v;
            Lane2 e0 = {_mm256_permute2f128_pd(lo0, lo1, 0x20)};
            Lane2 e1 = {_mm256_permute2f128_pd(lo0, lo1, 0x31)};
            Lane2 e2 = {_mm256_permute2f128_pd(hi0, hi1, 0x20)};
            Lane2 e3 = {_mm256_permute2f128_pd(hi0, hi1, 0x31)};
            Radix4Values2<Inv>(e0, e1, e2, e3);
            y[2 * p] = {_mm256_permute2f128_pd(e0.v, e1.v, 0x20)};
            y[2 * p + 2] = {_mm256_permute2f128_pd(e0.v, e1.v, 0x31)};
            y[2 * p + 1] = {_mm256_permute2f128_pd(e2.v, e3.v, 0x20)};
            y[2 * p + 3] = {_mm256_permute2f128_pd(e2.v, e3.v, 0x31)};
        }
        for (int h = 0; h < 2; ++h) {
            // values h·2 + (0, 1) of the four sub-blocks; the pair j = 0, 1 leaves j = 0 untwiddled
            Lane2 a0 = y[h], a1 = y[2 + h], a2 = y[4 + h], a3 = y[6 + h];
            Lane2 b1 = Lane2::Twiddled<Inv>(a1, t[h][1]);
            Lane2 b2 = Lane2::Twiddled<Inv>(a2, t[h][0]);
            Lane2 b3 = Lane2::Twiddled<Inv>(a3, t[h][2]);
            if (h == 0) {
                b1.v = _mm256_blend_pd(b1.v, a1.v, 0x3);
                b2.v = _mm256_blend_pd(b2.v, a2.v, 0x3);
                b3.v = _mm256_blend_pd(b3.v, a3.v, 0x3);
            }
            Radix4Values2<Inv>(a0, b1, b2, b3);
            a0.Store(a + 2 * h);
            b1.Store(a + 4 + 2 * h);
            b2.Store(a + 8 + 2 * h);
            b3.Store(a + 12 + 2 * h);
        }
    }
}

// Radix4's fused 4-point and radix-2 pass over groups of 8 (n an odd power of two): the two
// 4-point butterflies of a group run at once on (value j, value 4 + j) lanes, then the
// radix-2 butterflies two at a time. The untwiddled lanes are blended back, so the results
// are those of the SSE2 pass bit for bit.
template <bool Inv>
__attribute__((target("avx"))) void Radix4First8Avx(Vps64fc* x, std::int64_t n, const Vps64fc* tab, std::int64_t total)
{
    const Lane2::Split w01 = Lane2::SplitOf(tab, tab + 3 * (n / 8));      // 1, w_8
    const Lane2::Split w23 = Lane2::SplitOf(tab, tab + 3 * (n / 8) + 2);  // -, w_8^3
    for (std::int64_t i = 0; i < total; i += 8) {
        Vps64fc* a = x + i;
        const __m256d v0 = Lane2::Load(a).v, v1 = Lane2::Load(a + 2).v;
        const __m256d v2 = Lane2::Load(a + 4).v, v3 = Lane2::Load(a + 6).v;
        Lane2 e0 = {_mm256_permute2f128_pd(v0, v2, 0x20)}, e1 = {_mm256_permute2f128_pd(v0, v2, 0x31)};
        Lane2 e2 = {_mm256_permute2f128_pd(v1, v3, 0x20)}, e3 = {_mm256_permute2f128_pd(v1, v3, 0x31)};
        Radix4Values2<Inv>(e0, e1, e2, e3);
        const Lane2 o01 = {_mm256_permute2f128_pd(e0.v, e1.v, 0x20)}, o23 = {_mm256_permute2f128_pd(e2.v, e3.v, 0x20)};
        const Lane2 o45 = {_mm256_permute2f128_pd(e0.v, e1.v, 0x31)}, o67 = {_mm256_permute2f128_pd(e2.v, e3.v, 0x31)};
        Lane2 b01 = Lane2::Twiddled<Inv>(o45, w01);
        b01.v = _mm256_blend_pd(b01.v, o45.v, 0x3);
        Lane2 b23 = Lane2::Twiddled<Inv>(o67, w23);
        b23.v = _mm256_blend_pd(b23.v, Lane2::Rot<Inv>(o67).v, 0x3);
        (o01 + b01).Store(a);
        (o23 + b23).Store(a + 2);
        (o01 - b01).Store(a + 4);
        (o23 - b23).Store(a + 6);
    }
}

// FourStep's gather of four columns: row r's four values at in + r·cols, twiddled by the
// record rec[4r..4r+3], into work[j·R + r].
template <bool Inv>
__attribute__((target("avx"))) void GatherAvx(const Vps64fc* in, std::int64_t cols, const Vps64fc* rec, std::int64_t R,
                                              Vps64fc* work)
{
    for (std::int64_t r = 0; r < R; ++r, in += cols, rec += 4) {
        for (int h = 0; h < 2; ++h) {
            const __m256d w = Lane2::Load(rec + 2 * h).v;
            const Lane2 y = Lane2::Twiddled<Inv>(Lane2::Load(in + 2 * h),
                                                 Lane2::Split {_mm256_movedup_pd(w), _mm256_permute_pd(w, 0xF)});
            _mm_storeu_pd(&work[2 * h * R + r].re, _mm256_castpd256_pd128(y.v));
            _mm_storeu_pd(&work[(2 * h + 1) * R + r].re, _mm256_extractf128_pd(y.v, 1));
        }
    }
}

// Bit reversal of 2^m points (m >= 6) in blocks of 8 × 8: index (a, b, c) with a and c of
// three bits goes to (rev c, rev b, rev a), so for each middle part b the block reads eight
// runs of eight points and writes eight runs of eight, whole cache lines both ways, where
// the pair lists would touch a new line for almost every point once the data outgrows the
// cache. Each written run is filled in one burst from the eight source runs, which stay in
// the first-level cache for the block.
constexpr int kPermuteBits = 3;
constexpr std::int64_t kPermuteRun = 8;
constexpr int kRev3[kPermuteRun] = {0, 4, 2, 6, 1, 5, 3, 7};

inline std::int64_t ReverseBits(std::int64_t v, int bits)
{
    std::int64_t r = 0;
    for (int i = 0; i < bits; ++i, v >>= 1)
        r = (r << 1) | (v & 1);
    return r;
}

// to[rev c · S + rev a] = from[a · fromStride + c]: one block from its source runs (stride S,
// or 8 for a block kept on the stack) into its destination runs. from and to do not overlap.
template <class C> inline void MoveBlock(const C* from, std::int64_t fromStride, C* to, std::int64_t S)
{
    const C* r0 = from;
    const C* r1 = r0 + fromStride;
    const C* r2 = r1 + fromStride;
    const C* r3 = r2 + fromStride;
    const C* r4 = r3 + fromStride;
    const C* r5 = r4 + fromStride;
    const C* r6 = r5 + fromStride;
    const C* r7 = r6 + fromStride;
    for (std::int64_t c = 0; c < kPermuteRun; ++c) {
        C* run = to + kRev3[c] * S;
        run[0] = r0[c];
        run[4] = r1[c];
        run[2] = r2[c];
        run[6] = r3[c];
        run[1] = r4[c];
        run[5] = r5[c];
        run[3] = r6[c];
        run[7] = r7[c];
    }
}

template <class C> void PermuteBlocked(const C* src, C* dst, int m)
{
    const int mid = m - 2 * kPermuteBits;
    const std::int64_t S = Pow2(m - kPermuteBits);
    for (std::int64_t b = 0; b < Pow2(mid); ++b)
        MoveBlock(src + b * kPermuteRun, S, dst + ReverseBits(b, mid) * kPermuteRun, S);
}

// In place: the blocks of b and rev b trade places, the one written first saved beforehand.
template <class C> void PermuteBlocked_I(C* x, int m)
{
    const int mid = m - 2 * kPermuteBits;
    const std::int64_t S = Pow2(m - kPermuteBits);
    alignas(64) C saved[kPermuteRun * kPermuteRun];
    for (std::int64_t b = 0; b < Pow2(mid); ++b) {
        const std::int64_t rb = ReverseBits(b, mid);
        if (rb < b)
            continue;
        C* blockB = x + b * kPermuteRun;
        C* blockR = x + rb * kPermuteRun;
        for (std::int64_t a = 0; a < kPermuteRun; ++a)
            for (std::int64_t c = 0; c < kPermuteRun; ++c)
                saved[a * kPermuteRun + c] = blockR[a * S + c];
        if (rb != b)
            MoveBlock(blockB, S, blockR, S);
        MoveBlock(saved, kPermuteRun, blockB, S);
    }
}

// From this order on the blocked bit reversal beats the pair lists.
constexpr int kPermuteBlockedOrder = 12;

// FourStep's scatter back: work[j·R + r] to out + r·cols + j for two rows at a time, each
// row's four values in two 256-bit stores. The rows lie a power of two apart, so they
// share a few cache sets and miss the first-level cache; the row a few ahead is fetched
// while the current one is written.
__attribute__((target("avx"))) void ScatterAvx(const Vps64fc* work, std::int64_t R, Vps64fc* out, std::int64_t cols)
{
    constexpr std::int64_t kAhead = 4;
    for (std::int64_t r = 0; r < R; r += 2, out += 2 * cols) {
        if (r + kAhead < R) {
            _mm_prefetch(reinterpret_cast<const char*>(out + kAhead * cols), _MM_HINT_T0);
            _mm_prefetch(reinterpret_cast<const char*>(out + (kAhead + 1) * cols), _MM_HINT_T0);
        }
        const __m256d c0 = _mm256_loadu_pd(&work[r].re);
        const __m256d c1 = _mm256_loadu_pd(&work[R + r].re);
        const __m256d c2 = _mm256_loadu_pd(&work[2 * R + r].re);
        const __m256d c3 = _mm256_loadu_pd(&work[3 * R + r].re);
        _mm256_storeu_pd(&out[0].re, _mm256_permute2f128_pd(c0, c1, 0x20));
        _mm256_storeu_pd(&out[2].re, _mm256_permute2f128_pd(c2, c3, 0x20));
        _mm256_storeu_pd(&out[cols].re, _mm256_permute2f128_pd(c0, c1, 0x31));
        _mm256_storeu_pd(&out[cols + 2].re, _mm256_permute2f128_pd(c2, c3, 0x31));
    }
}

// ScatterAvx of one group fused with GatherAvx of the next: the next group's values lie
// in the cache line after the one just written, so each row is visited once for both.
template <bool Inv>
__attribute__((target("avx"))) void ScatterGatherAvx(const Vps64fc* work, Vps64fc* next, std::int64_t R, Vps64fc* out,
                                                     std::int64_t cols, const Vps64fc* rec)
{
    for (std::int64_t r = 0; r < R; ++r, out += cols, rec += 4) {
        const __m256d c0 = _mm256_castpd128_pd256(_mm_loadu_pd(&work[r].re));
        const __m256d c2 = _mm256_castpd128_pd256(_mm_loadu_pd(&work[2 * R + r].re));
        _mm256_storeu_pd(&out[0].re, _mm256_insertf128_pd(c0, _mm_loadu_pd(&work[R + r].re), 1));
        _mm256_storeu_pd(&out[2].re, _mm256_insertf128_pd(c2, _mm_loadu_pd(&work[3 * R + r].re), 1));
        for (int h = 0; h < 2; ++h) {
            const __m256d w = Lane2::Load(rec + 2 * h).v;
            const Lane2 y = Lane2::Twiddled<Inv>(Lane2::Load(out + 4 + 2 * h),
                                                 Lane2::Split {_mm256_movedup_pd(w), _mm256_permute_pd(w, 0xF)});
            _mm_storeu_pd(&next[2 * h * R + r].re, _mm256_castpd256_pd128(y.v));
            _mm_storeu_pd(&next[(2 * h + 1) * R + r].re, _mm256_extractf128_pd(y.v, 1));
        }
    }
}

bool HasAvx()
{
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

// Element-wise products of neighbours j, j + 1 (rounded as Lane<double>::Twiddled).
DCS_AVX Lane2 MulPair(const Vps64fc* w, const Vps64fc* x, std::int64_t j)
{
    const __m256d v = Lane2::Load(w + j).v;
    return Lane2::Twiddled<false>(Lane2::Load(x + j), Lane2::Split {_mm256_movedup_pd(v), _mm256_permute_pd(v, 0xF)});
}

// dspFFTMulPermute_I's walk of the pair and self lists on AVX. The values a list entry
// moves come in neighbouring pairs (j, j + 1) and (H + j, H + j + 1); a 2×2 transpose of
// their products gives what lands at j and at H + j.
__attribute__((target("avx"))) void MulPermuteAvx(const Vps64fc* w, Vps64fc* x, std::int64_t H, const std::int32_t* p)
{
    for (; *p != 0; p += 2) {
        const std::int64_t a = p[0] / 2;
        const std::int64_t b = p[1] / 2;
        const __m256d pa = MulPair(w, x, a).v, pha = MulPair(w, x, H + a).v;
        const __m256d pb = MulPair(w, x, b).v, phb = MulPair(w, x, H + b).v;
        _mm256_storeu_pd(&x[a].re, _mm256_permute2f128_pd(pb, phb, 0x20));
        _mm256_storeu_pd(&x[H + a].re, _mm256_permute2f128_pd(pb, phb, 0x31));
        _mm256_storeu_pd(&x[b].re, _mm256_permute2f128_pd(pa, pha, 0x20));
        _mm256_storeu_pd(&x[H + b].re, _mm256_permute2f128_pd(pa, pha, 0x31));
    }
    for (std::int64_t a = 0;;) {
        const __m256d pa = MulPair(w, x, a).v, pha = MulPair(w, x, H + a).v;
        _mm256_storeu_pd(&x[a].re, _mm256_permute2f128_pd(pa, pha, 0x20));
        _mm256_storeu_pd(&x[H + a].re, _mm256_permute2f128_pd(pa, pha, 0x31));
        if (*++p == 0)
            break;
        a = *p / 2;
    }
}

// The n-point kernel on each of the total / n consecutive blocks of x: one sweep per pass
// over all of them, the twiddles spread once.
template <class T, bool Inv> void Radix4(FftComplex<T>* x, std::int64_t n, const FftComplex<T>* tab, std::int64_t total)
{
    using V = Lane<T>;
    std::int64_t L;
    if ((__builtin_ctzll(static_cast<unsigned long long>(n)) & 1) && sizeof(T) == 8 && HasAvx()) {
        if constexpr (sizeof(T) == 8)
            Radix4First8Avx<Inv>(x, n, tab, total);
        L = 8;
    } else if (__builtin_ctzll(static_cast<unsigned long long>(n)) & 1) {
        // 4-point pass and the radix-2 pass (twiddles w_8^j from entry n/8 of the table)
        // fused over each group of 8.
        typename V::Split w[3];
        SplitEntry<T>(tab, n / 8, w);
        for (std::int64_t i = 0; i < total; i += 8) {
            FftComplex<T>* a = x + i;
            Butterfly4<T, Inv, true>(a, 1, nullptr);
            Butterfly4<T, Inv, true>(a + 4, 1, nullptr);
            const V b[4] = {V::Load(a + 4), V::template Twiddled<Inv>(V::Load(a + 5), w[0]),
                            V::template Rot<Inv>(V::Load(a + 6)), V::template Twiddled<Inv>(V::Load(a + 7), w[2])};
            for (int j = 0; j < 4; ++j) {
                const V aj = V::Load(a + j);
                (aj - b[j]).Store(a + 4 + j);
                (aj + b[j]).Store(a + j);
            }
        }
        L = 8;
    } else if (sizeof(T) == 8 && HasAvx()) {
        if constexpr (sizeof(T) == 8)
            Radix4First16Avx<Inv>(x, n, tab, total);
        L = 16;
    } else {
        // 4-point pass and the first radix-4 pass (L = 4) fused over each group of 16.
        typename V::Split t[4][3];
        for (int j = 1; j < 4; ++j)
            SplitEntry<T>(tab, j * (n / 16), t[j]);
        for (std::int64_t i = 0; i < total; i += 16) {
            FftComplex<T>* a = x + i;
            for (int q = 0; q < 16; q += 4)
                Butterfly4<T, Inv, true>(a + q, 1, nullptr);
            Butterfly4<T, Inv, true>(a, 4, nullptr);
            for (int j = 1; j < 4; ++j)
                Butterfly4<T, Inv, false>(a + j, 4, t[j]);
        }
        L = 16;
    }
    if constexpr (sizeof(T) == 8) {
        if (L < n && HasAvx())
            return Radix4PassesAvx<Inv>(x, n, L, tab, total);
    }
    // Twiddle j outermost, so each is spread once for all groups (the kernels' data is at
    // most 512 points, in the first-level cache whatever the order of access).
    for (; L < n; L *= 4) {
        const std::int64_t step = n / (4 * L);
        for (std::int64_t g = 0; g < total; g += 4 * L)
            Butterfly4<T, Inv, true>(x + g, L, nullptr);
        for (std::int64_t j = 1; j < L; ++j) {
            typename V::Split t[3];
            SplitEntry<T>(tab, j * step, t);
            for (std::int64_t g = 0; g < total; g += 4 * L)
                Butterfly4<T, Inv, false>(x + g + j, L, t);
        }
    }
}

// Radix-2 passes from blocks of b points up to n, twiddles from the quarter list of
// order log2 n (the second half of each pass is r times the first half's twiddle). Two
// passes at a time share one sweep over the data: the same butterflies in registers.
template <class T, bool Inv> void Radix2(FftComplex<T>* x, std::int64_t n, std::int64_t b, const FftComplex<T>* V)
{
    if constexpr (sizeof(T) == 8) {
        if (HasAvx())
            return Radix2Avx<Inv>(x, n, b, V);
    }
    using Ln = Lane<T>;
    using C = FftComplex<T>;
    // (a, c) := (a + w·c, a - w·c), with w times r in the second half of a pass
    const auto pair = [](Ln& a, Ln& c, Ln w, bool rotated) {
        Ln t = Ln::template Twiddled<Inv>(c, w);
        if (rotated)
            t = Ln::template Rot<Inv>(t);
        c = a - t;
        a = a + t;
    };
    std::int64_t L = b;
    for (; 4 * L <= n; L *= 4) {
        const std::int64_t s1 = n / (2 * L);
        const std::int64_t s2 = n / (4 * L);
        for (std::int64_t p = 0; p < n; p += 4 * L) {
            C* q = x + p;
            for (std::int64_t k = 0; k < L; ++k) {
                Ln a0 = Ln::Load(q + k), a1 = Ln::Load(q + L + k);
                Ln a2 = Ln::Load(q + 2 * L + k), a3 = Ln::Load(q + 3 * L + k);
                const bool second = k >= L / 2;
                const Ln w1 = Ln::Load(V + (second ? k - L / 2 : k) * s1);
                pair(a0, a1, w1, second);
                pair(a2, a3, w1, second);
                const Ln w2 = Ln::Load(V + k * s2);
                pair(a0, a2, w2, false);
                pair(a1, a3, w2, true);
                a0.Store(q + k);
                a1.Store(q + L + k);
                a2.Store(q + 2 * L + k);
                a3.Store(q + 3 * L + k);
            }
        }
    }
    for (; L < n; L *= 2) {
        const std::int64_t stride = n / (2 * L);
        for (std::int64_t p = 0; p < n; p += 2 * L) {
            C* A = x + p;
            C* B = x + p + L;
            for (std::int64_t k = 0; k < L / 2; ++k) {
                const Ln w = Ln::Load(V + k * stride);
                Ln a0 = Ln::Load(A + k), b0 = Ln::Load(B + k);
                Ln a1 = Ln::Load(A + k + L / 2), b1 = Ln::Load(B + k + L / 2);
                pair(a0, b0, w, false);
                pair(a1, b1, w, true);
                a0.Store(A + k);
                b0.Store(B + k);
                a1.Store(A + k + L / 2);
                b1.Store(B + k + L / 2);
            }
        }
    }
}

template <class T, bool Inv> bool Scaled(const FftSpecT<T>* spec)
{
    return (Inv ? spec->inverseScaled : spec->forwardScaled) != 0;
}

// Block transform: radix-4 kernels over the largest kernel size, each scaled right after
// it (last block first), then radix-2 passes.
template <class T, bool Inv> void Blocks(const FftSpecT<T>* spec, FftComplex<T>* x, std::int64_t n)
{
    const std::int64_t b = Pow2(FftTraits<T>::kLeafMaxOrder);
    if (!Scaled<T, Inv>(spec)) {
        // at most four kernels (16 to 32 KB): one sweep per pass over all of them
        Radix4<T, Inv>(x, b, spec->leafTable, n);
    } else {
        for (std::int64_t p = n - b; p >= 0; p -= b) {
            Radix4<T, Inv>(x + p, b, spec->leafTable, b);
            dspFFTScale<T>(spec->scale, &x[p].re, 2 * b);
        }
    }
    Radix2<T, Inv>(x, n, b, spec->quarter);
}

// FourStep's columns on AVX, two work areas taking turns: the caller's and one on the stack
// (the column transforms have at most kColumnsAvxMax points), so that the scatter of one
// group and the gather of the next share one visit of each row.
constexpr std::int64_t kColumnsAvxMax = 512;

template <bool Inv>
void ColumnsAvx(Vps64fc* x, std::int64_t cols, std::int64_t R, const Vps64fc* tw, const Vps64fc* colTable,
                Vps64fc* work)
{
    alignas(32) Vps64fc spare[4 * kColumnsAvxMax];
    Vps64fc* cur = work;
    Vps64fc* next = spare;
    GatherAvx<Inv>(x, cols, tw, R, cur);
    const std::int64_t groups = cols / 4;
    for (std::int64_t g = 0; g < groups; ++g) {
        Radix4<double, Inv>(cur, R, colTable, 4 * R);
        if (g + 1 < groups)
            ScatterGatherAvx<Inv>(cur, next, R, x + 4 * g, cols, tw + (g + 1) * R * 4);
        else
            ScatterAvx(cur, R, x + 4 * g, cols);
        std::swap(cur, next);
    }
}

// One split level: rows (contiguous, bit-reversed sub-sequences), then groups of four
// columns through the work area with the level's four-step twiddles. The rows are scaled
// at the leaves only, so every output is scaled exactly once.
template <class T, bool Inv>
void FourStep(const FftSpecT<T>* spec, FftComplex<T>* x, int n, int level, FftComplex<T>* work)
{
    using C = FftComplex<T>;
    constexpr int leafMax = FftTraits<T>::kLeafMaxOrder;
    const int s = spec->split[level];
    const int c = n - s;
    const std::int64_t R = Pow2(s);
    const std::int64_t cols = Pow2(c);
    for (std::int64_t r = 0; r < R; ++r) {
        C* row = x + r * cols;
        if (c <= leafMax) {
            Radix4<T, Inv>(row, cols, spec->leafTable, cols);
            if (Scaled<T, Inv>(spec))
                dspFFTScale<T>(spec->scale, &row->re, 2 * cols);
        } else if (level + 1 < spec->levels) {
            FourStep<T, Inv>(spec, row, c, level + 1, work);
        } else {
            Blocks<T, Inv>(spec, row, cols);
        }
    }
    const C* tw = spec->fourStep[level];
    const C* colTable = spec->column[level];
    if constexpr (sizeof(T) == 8) {
        if (HasAvx() && R <= kColumnsAvxMax)
            return ColumnsAvx<Inv>(x, cols, R, tw, colTable, work);
    }
    for (std::int64_t g = 0; g < cols / 4; ++g) {
        const C* rec = tw + g * R * 4;
        for (std::int64_t r = 0; r < R; ++r) {
            const C* in = x + r * cols + 4 * g;
            for (int j = 0; j < 4; ++j)
                Lane<T>::template Twiddled<Inv>(Lane<T>::Load(in + j), Lane<T>::Load(rec + 4 * r + j))
                    .Store(work + j * R + r);
        }
        Radix4<T, Inv>(work, R, colTable, 4 * R);
        for (std::int64_t r = 0; r < R; ++r) {
            C* out = x + r * cols + 4 * g;
            for (int j = 0; j < 4; ++j)
                out[j] = work[j * R + r];
        }
    }
}

template <class T, bool Inv> void Large(const FftSpecT<T>* spec, FftComplex<T>* x, int n, FftComplex<T>* work)
{
    if (spec->levels > 0)
        FourStep<T, Inv>(spec, x, n, 0, work);
    else
        Blocks<T, Inv>(spec, x, Pow2(n));
}

}  // namespace

// ---- set-up -------------------------------------------------------------------------

template <class T> void dspFFTSineTable(int q, T* dst) noexcept
{
    const std::int64_t n = Pow2(q);
    const double delta = 2.0 * std::numbers::pi / static_cast<double>(n);
    // Every value from an angle of at most π/4.
    for (std::int64_t k = 0; k <= n / 8; ++k)
        dst[k] = static_cast<T>(dspSin(static_cast<double>(k) * delta));
    for (std::int64_t k = n / 8 + 1; k <= n / 4; ++k)
        dst[k] = static_cast<T>(dspCos(static_cast<double>(n / 4 - k) * delta));
}

void dspFFTBitRevTable(int m, std::int32_t* dst) noexcept
{
    if (m < 2)
        return;
    const std::int32_t B = static_cast<std::int32_t>(Pow2(m - 2));
    std::int32_t pairEnd = 0;
    std::int32_t selfEnd = B - 1;
    std::int32_t d = 0;
    for (std::int32_t i = 1; i < B; ++i) {
        // reversed-bit increment of d
        std::int32_t e = B / 2;
        while (e != 0 && e <= d) {
            d -= e;
            e /= 2;
        }
        d += e;
        if (i < d) {
            dst[pairEnd++] = 4 * i;
            dst[pairEnd++] = 4 * d;
        } else if (i == d) {
            dst[selfEnd--] = 4 * i;
        }
    }
    dst[pairEnd] = 0;
    dst[B] = 0;
}

template <class T> VpsStatus dspFFTTables(FftSpecT<T>* spec, const FftPlan& plan, const T* sine, int q) noexcept
{
    using C = FftComplex<T>;
    const int m = plan.transformOrder;
    spec->levels = plan.levels;
    for (int level = 0; level < kFftMaxLevels; ++level)
        spec->split[level] = plan.split[level];
    spec->workSize = static_cast<std::int32_t>(plan.workBytes);
    spec->bitRev = static_cast<std::int32_t*>(dspMallocBytes(plan.bitRevBytes));
    if (!spec->bitRev)
        return StatusNoMemory;
    dspFFTBitRevTable(m, spec->bitRev);
    spec->leafTable = static_cast<C*>(dspMallocBytes(plan.tableAreaBytes));
    if (!spec->leafTable)
        return StatusNoMemory;
    if (m <= FftTraits<T>::kLeafMaxOrder) {
        Radix4Table(m, sine, q, spec->leafTable);
        return StatusOk;
    }
    char* temp = nullptr;
    if (plan.tempAreaBytes > 0) {
        temp = static_cast<char*>(dspMallocBytes(plan.tempAreaBytes));
        if (!temp)
            return StatusNoMemory;
    }
    SplitTables(spec, plan, sine, q, temp);
    dspFree(temp);
    return StatusOk;
}

template <class T> void dspFFTRealTableFwd(int n, const T* sine, FftComplex<T>* dst) noexcept
{
    const std::int64_t Q = Pow2(n) / 4;
    for (std::int64_t k = 0; k < Q; ++k)
        dst[k] = {static_cast<T>(0.5) * sine[Q - k], static_cast<T>(0.5) - static_cast<T>(0.5) * sine[k]};
}

template <class T> void dspFFTRealTableInv(int n, const T* sine, FftComplex<T>* dst) noexcept
{
    const std::int64_t Q = Pow2(n) / 4;
    for (std::int64_t k = 0; k < Q; ++k)
        dst[k] = {sine[Q - k], -sine[k]};
}

// ---- transforms ---------------------------------------------------------------------

template <class T>
void dspFFTPermute(const FftComplex<T>* src, FftComplex<T>* dst, std::int64_t n, const std::int32_t* bitRev) noexcept
{
    if (n >= Pow2(kPermuteBlockedOrder))
        return PermuteBlocked(src, dst, __builtin_ctzll(static_cast<unsigned long long>(n)));
    const std::int64_t H = n / 2;
    const std::int32_t* p = bitRev;
    for (; *p != 0; p += 2) {
        const std::int64_t a = p[0] / 2;
        const std::int64_t b = p[1] / 2;
        dst[b] = src[a];
        dst[a] = src[b];
        dst[H + b] = src[a + 1];
        dst[a + 1] = src[H + b];
        dst[b + 1] = src[H + a];
        dst[H + a] = src[b + 1];
        dst[H + b + 1] = src[H + a + 1];
        dst[H + a + 1] = src[H + b + 1];
    }
    for (std::int64_t a = 0;;) {
        dst[a] = src[a];
        dst[H + a] = src[a + 1];
        dst[a + 1] = src[H + a];
        dst[H + a + 1] = src[H + a + 1];
        if (*++p == 0)
            break;
        a = *p / 2;
    }
}

template <class T> void dspFFTPermute_I(FftComplex<T>* x, std::int64_t n, const std::int32_t* bitRev) noexcept
{
    if (n < 4)
        return;
    if (n >= Pow2(kPermuteBlockedOrder))
        return PermuteBlocked_I(x, __builtin_ctzll(static_cast<unsigned long long>(n)));
    const std::int64_t H = n / 2;
    const std::int32_t* p = bitRev;
    for (; *p != 0; p += 2) {
        const std::int64_t a = p[0] / 2;
        const std::int64_t b = p[1] / 2;
        std::swap(x[a], x[b]);
        std::swap(x[a + 1], x[H + b]);
        std::swap(x[H + a], x[b + 1]);
        std::swap(x[H + a + 1], x[H + b + 1]);
    }
    for (std::int64_t a = 0;;) {
        std::swap(x[a + 1], x[H + a]);
        if (*++p == 0)
            break;
        a = *p / 2;
    }
}

void dspFFTMulPermute_I(const Vps64fc* w, Vps64fc* x, std::int64_t n, const std::int32_t* bitRev) noexcept
{
    using V = Lane<double>;
    // x·w as (x.re·w.re - x.im·w.im, x.im·w.re + x.re·w.im), the roundings of a plain
    // element-wise product.
    const auto mul = [&](std::int64_t i) { return V::Twiddled<false>(V::Load(x + i), V::Load(w + i)); };
    if (n < 4 || n >= Pow2(kPermuteBlockedOrder)) {
        // Long arrays keep the blocked permutation, which stays cache-friendly.
        for (std::int64_t i = 0; i < n; ++i)
            mul(i).Store(x + i);
        dspFFTPermute_I<double>(x, n, bitRev);
        return;
    }
    // The pair and self lists of dspFFTPermute_I, each value multiplied where it is read.
    const std::int64_t H = n / 2;
    if (HasAvx())
        return MulPermuteAvx(w, x, H, bitRev);
    const std::int32_t* p = bitRev;
    for (; *p != 0; p += 2) {
        const std::int64_t a = p[0] / 2;
        const std::int64_t b = p[1] / 2;
        const std::int64_t from[8] = {a, a + 1, H + a, H + a + 1, b, H + b, b + 1, H + b + 1};
        V v[8];
        for (int k = 0; k < 8; ++k)
            v[k] = mul(from[k]);
        v[5].Store(x + a + 1);
        v[6].Store(x + H + a);
        v[4].Store(x + a);
        v[3].Store(x + H + b + 1);
        v[0].Store(x + b);
        v[1].Store(x + H + b);
        v[2].Store(x + b + 1);
        v[7].Store(x + H + a + 1);
    }
    for (std::int64_t a = 0;;) {
        const V v0 = mul(a), v1 = mul(a + 1), v2 = mul(H + a), v3 = mul(H + a + 1);
        v0.Store(x + a);
        v2.Store(x + a + 1);
        v1.Store(x + H + a);
        v3.Store(x + H + a + 1);
        if (*++p == 0)
            break;
        a = *p / 2;
    }
}

template <class T> void dspFFTRadix4Fwd(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept
{
    Radix4<T, false>(data, n, table, n);
}

template <class T> void dspFFTRadix4Inv(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept
{
    Radix4<T, true>(data, n, table, n);
}

template <class T> void dspFFTScale(T factor, T* data, std::int64_t n) noexcept
{
    for (std::int64_t i = 0; i < n; ++i)
        data[i] *= factor;
}

template <class T>
void dspFFTLargeFwd(const FftSpecT<T>* spec, FftComplex<T>* data, int n, FftComplex<T>* work) noexcept
{
    Large<T, false>(spec, data, n, work);
}

template <class T>
void dspFFTLargeInv(const FftSpecT<T>* spec, FftComplex<T>* data, int n, FftComplex<T>* work) noexcept
{
    Large<T, true>(spec, data, n, work);
}

template <class T> void dspFFTRealPostFwd(FftComplex<T>* Z, std::int64_t m, const FftComplex<T>* F) noexcept
{
    // With z = Z[k], y = Z[m-k], F[k] = (fr, fi): (d, σ) = z - conj(y), (A, B) = (d, σ)·(fi, -fr);
    // Z[k] = (A, B) + conj(y), Z[m-k] = conj(z) - conj((A, B)).
    using V = Lane<T>;
    std::int64_t end = m / 2;
    if constexpr (sizeof(T) == 8) {
        if (HasAvx()) {
            RealPostFwdAvx(Z, m, F);
            end = 2;
        }
    }
    for (std::int64_t k = 1; k < end; ++k) {
        const V z = V::Load(Z + k);
        const V cy = V::Conj(V::Load(Z + m - k));
        const V ab = V::template Twiddled<false>(z - cy, V::template Rot<false>(V::Load(F + k)));
        (ab + cy).Store(Z + k);
        (V::Conj(z) - V::Conj(ab)).Store(Z + m - k);
    }
    Z[m / 2].im = -Z[m / 2].im;
}

template <class T>
void dspFFTRealPreInv(const FftComplex<T>* X, FftComplex<T>* D, std::int64_t m, const FftComplex<T>* G) noexcept
{
    for (std::int64_t k = 1; k < m / 2; ++k) {
        const T c = X[k].re, e = X[k].im;
        const T dd = X[m - k].re, f = X[m - k].im;
        const T h = G[k].im * (c - dd) - G[k].re * (e + f);
        const T h2 = G[k].re * (c - dd) + G[k].im * (e + f);
        D[k] = {c + dd + h, e - f + h2};
        D[m - k] = {c + dd - h, h2 - (e - f)};
    }
    D[m / 2] = {static_cast<T>(2.0) * X[m / 2].re, static_cast<T>(-2.0) * X[m / 2].im};
}

#define DCS_FFT_ENGINE_INSTANCES(T)                                                                                    \
    template void dspFFTSineTable<T>(int, T*) noexcept;                                                                \
    template VpsStatus dspFFTTables<T>(FftSpecT<T>*, const FftPlan&, const T*, int) noexcept;                          \
    template void dspFFTRealTableFwd<T>(int, const T*, FftComplex<T>*) noexcept;                                       \
    template void dspFFTRealTableInv<T>(int, const T*, FftComplex<T>*) noexcept;                                       \
    template void dspFFTPermute<T>(const FftComplex<T>*, FftComplex<T>*, std::int64_t, const std::int32_t*) noexcept;  \
    template void dspFFTPermute_I<T>(FftComplex<T>*, std::int64_t, const std::int32_t*) noexcept;                      \
    template void dspFFTRadix4Fwd<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept;                     \
    template void dspFFTRadix4Inv<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept;                     \
    template void dspFFTScale<T>(T, T*, std::int64_t) noexcept;                                                        \
    template void dspFFTLargeFwd<T>(const FftSpecT<T>*, FftComplex<T>*, int, FftComplex<T>*) noexcept;                 \
    template void dspFFTLargeInv<T>(const FftSpecT<T>*, FftComplex<T>*, int, FftComplex<T>*) noexcept;                 \
    template void dspFFTRealPostFwd<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept;                   \
    template void dspFFTRealPreInv<T>(const FftComplex<T>*, FftComplex<T>*, std::int64_t,                              \
                                      const FftComplex<T>*) noexcept;

DCS_FFT_ENGINE_INSTANCES(double)
DCS_FFT_ENGINE_INSTANCES(float)

}  // namespace dcs
