#include "dsp/spectral/FftEngine.h"

#include <emmintrin.h>

#include <numbers>
#include <utility>

#include "dsp/DspCore.h"

namespace dcs {

namespace {

constexpr std::int64_t Pow2(int k) { return std::int64_t{1} << k; }

inline char* AlignUp16(void* p)
{
    const auto v = reinterpret_cast<std::uintptr_t>(p);
    return reinterpret_cast<char*>((v + 15) & ~std::uintptr_t{15});
}

// w_(4Q)^t = (cos, -sin)(2πt / 4Q) for 0 <= t < 4Q, read by symmetry from the quarter
// sine table S taken every d-th entry.
template <class T>
inline FftComplex<T> Twiddle(const T* S, std::int64_t t, std::int64_t Q, std::int64_t d)
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
template <class T>
char* Radix4Table(int m, const T* sine, int q, FftComplex<T>* dst)
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
template <class T>
char* QuarterTable(int m, const T* sine, int q, FftComplex<T>* dst)
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
template <class T>
char* FourStepTable(int n, int s, const T* sine, int q, FftComplex<T>* dst, char* temp)
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
template <class T>
void SplitTables(FftSpecT<T>* spec, const FftPlan& plan, const T* sine, int q, char* temp)
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

template <class T>
struct Lane;

template <>
struct Lane<double> {
    __m128d v;
    static Lane Load(const Vps64fc* p) { return {_mm_loadu_pd(&p->re)}; }
    void Store(Vps64fc* p) const { _mm_storeu_pd(&p->re, v); }
    friend Lane operator+(Lane a, Lane b) { return {_mm_add_pd(a.v, b.v)}; }
    friend Lane operator-(Lane a, Lane b) { return {_mm_sub_pd(a.v, b.v)}; }
    static __m128d SignLo() { return _mm_set_pd(0.0, -0.0); }
    static __m128d SignHi() { return _mm_set_pd(-0.0, 0.0); }
    // a·w forward, a·conj(w) inverse
    template <bool Inv>
    static Lane Twiddled(Lane a, Lane w)
    {
        const __m128d wr = _mm_unpacklo_pd(w.v, w.v);
        const __m128d wi = _mm_unpackhi_pd(w.v, w.v);
        const __m128d swapped = _mm_shuffle_pd(a.v, a.v, 1);  // (im, re)
        const __m128d cross = _mm_mul_pd(swapped, wi);        // (im·wi, re·wi)
        return {_mm_add_pd(_mm_mul_pd(a.v, wr), _mm_xor_pd(cross, Inv ? SignHi() : SignLo()))};
    }
    // r·a with r = -i forward, +i inverse
    template <bool Inv>
    static Lane Rot(Lane a)
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
    template <bool Inv>
    static Lane Twiddled(Lane a, Split w)
    {
        const __m128d swapped = _mm_shuffle_pd(a.v, a.v, 1);
        const __m128d cross = _mm_mul_pd(swapped, w.im);
        return {_mm_add_pd(_mm_mul_pd(a.v, w.re), _mm_xor_pd(cross, Inv ? SignHi() : SignLo()))};
    }
};

template <>
struct Lane<float> {
    float re, im;
    static Lane Load(const Vps32fc* p) { return {p->re, p->im}; }
    void Store(Vps32fc* p) const { *p = {re, im}; }
    friend Lane operator+(Lane a, Lane b) { return {a.re + b.re, a.im + b.im}; }
    friend Lane operator-(Lane a, Lane b) { return {a.re - b.re, a.im - b.im}; }
    template <bool Inv>
    static Lane Twiddled(Lane a, Lane w)
    {
        if constexpr (Inv)
            return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
        else
            return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re};
    }
    template <bool Inv>
    static Lane Rot(Lane a)
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
template <class V, bool Inv>
inline void Radix4Values(V& a0, V& a1, V& a2, V& a3)
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
template <class T>
inline void SplitEntry(const FftComplex<T>* tab, std::int64_t entry, typename Lane<T>::Split* t)
{
    for (int i = 0; i < 3; ++i)
        t[i] = Lane<T>::SplitOf(tab + 3 * entry + i);
}

template <class T, bool Inv>
void Radix4(FftComplex<T>* x, std::int64_t n, const FftComplex<T>* tab)
{
    using V = Lane<T>;
    std::int64_t L;
    if (__builtin_ctzll(static_cast<unsigned long long>(n)) & 1) {
        // 4-point pass and the radix-2 pass (twiddles w_8^j from entry n/8 of the table)
        // fused over each group of 8.
        typename V::Split w[3];
        SplitEntry<T>(tab, n / 8, w);
        for (std::int64_t i = 0; i < n; i += 8) {
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
    } else {
        // 4-point pass and the first radix-4 pass (L = 4) fused over each group of 16.
        typename V::Split t[4][3];
        for (int j = 1; j < 4; ++j)
            SplitEntry<T>(tab, j * (n / 16), t[j]);
        for (std::int64_t i = 0; i < n; i += 16) {
            FftComplex<T>* a = x + i;
            for (int q = 0; q < 16; q += 4)
                Butterfly4<T, Inv, true>(a + q, 1, nullptr);
            Butterfly4<T, Inv, true>(a, 4, nullptr);
            for (int j = 1; j < 4; ++j)
                Butterfly4<T, Inv, false>(a + j, 4, t[j]);
        }
        L = 16;
    }
    // Twiddle j outermost, so each is spread once for all groups (the kernels' data is at
    // most 512 points, in the first-level cache whatever the order of access).
    for (; L < n; L *= 4) {
        const std::int64_t step = n / (4 * L);
        for (std::int64_t g = 0; g < n; g += 4 * L)
            Butterfly4<T, Inv, true>(x + g, L, nullptr);
        for (std::int64_t j = 1; j < L; ++j) {
            typename V::Split t[3];
            SplitEntry<T>(tab, j * step, t);
            for (std::int64_t g = 0; g < n; g += 4 * L)
                Butterfly4<T, Inv, false>(x + g + j, L, t);
        }
    }
}

// Radix-2 passes from blocks of b points up to n, twiddles from the quarter list of
// order log2 n (the second half of each pass is r times the first half's twiddle). Two
// passes at a time share one sweep over the data: the same butterflies in registers.
template <class T, bool Inv>
void Radix2(FftComplex<T>* x, std::int64_t n, std::int64_t b, const FftComplex<T>* V)
{
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

template <class T, bool Inv>
bool Scaled(const FftSpecT<T>* spec)
{
    return (Inv ? spec->inverseScaled : spec->forwardScaled) != 0;
}

// Block transform: radix-4 kernels over the largest kernel size, each scaled right after
// it (last block first), then radix-2 passes.
template <class T, bool Inv>
void Blocks(const FftSpecT<T>* spec, FftComplex<T>* x, std::int64_t n)
{
    const std::int64_t b = Pow2(FftTraits<T>::kLeafMaxOrder);
    for (std::int64_t p = n - b; p >= 0; p -= b) {
        Radix4<T, Inv>(x + p, b, spec->leafTable);
        if (Scaled<T, Inv>(spec))
            dspFFTScale<T>(spec->scale, &x[p].re, 2 * b);
    }
    Radix2<T, Inv>(x, n, b, spec->quarter);
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
            Radix4<T, Inv>(row, cols, spec->leafTable);
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
    for (std::int64_t g = 0; g < cols / 4; ++g) {
        const C* rec = tw + g * R * 4;
        for (std::int64_t r = 0; r < R; ++r) {
            const C* in = x + r * cols + 4 * g;
            for (int j = 0; j < 4; ++j)
                Lane<T>::template Twiddled<Inv>(Lane<T>::Load(in + j), Lane<T>::Load(rec + 4 * r + j))
                    .Store(work + j * R + r);
        }
        for (int j = 0; j < 4; ++j)
            Radix4<T, Inv>(work + j * R, R, colTable);
        for (std::int64_t r = 0; r < R; ++r) {
            C* out = x + r * cols + 4 * g;
            for (int j = 0; j < 4; ++j)
                out[j] = work[j * R + r];
        }
    }
}

template <class T, bool Inv>
void Large(const FftSpecT<T>* spec, FftComplex<T>* x, int n, FftComplex<T>* work)
{
    if (spec->levels > 0)
        FourStep<T, Inv>(spec, x, n, 0, work);
    else
        Blocks<T, Inv>(spec, x, Pow2(n));
}

}  // namespace

// ---- set-up -------------------------------------------------------------------------

template <class T>
void dspFFTSineTable(int q, T* dst) noexcept
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

template <class T>
VpsStatus dspFFTTables(FftSpecT<T>* spec, const FftPlan& plan, const T* sine, int q) noexcept
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

template <class T>
void dspFFTRealTableFwd(int n, const T* sine, FftComplex<T>* dst) noexcept
{
    const std::int64_t Q = Pow2(n) / 4;
    for (std::int64_t k = 0; k < Q; ++k)
        dst[k] = {static_cast<T>(0.5) * sine[Q - k], static_cast<T>(0.5) - static_cast<T>(0.5) * sine[k]};
}

template <class T>
void dspFFTRealTableInv(int n, const T* sine, FftComplex<T>* dst) noexcept
{
    const std::int64_t Q = Pow2(n) / 4;
    for (std::int64_t k = 0; k < Q; ++k)
        dst[k] = {sine[Q - k], -sine[k]};
}

// ---- transforms ---------------------------------------------------------------------

template <class T>
void dspFFTPermute(const FftComplex<T>* src, FftComplex<T>* dst, std::int64_t n,
                   const std::int32_t* bitRev) noexcept
{
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

template <class T>
void dspFFTPermute_I(FftComplex<T>* x, std::int64_t n, const std::int32_t* bitRev) noexcept
{
    if (n < 4)
        return;
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

template <class T>
void dspFFTRadix4Fwd(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept
{
    Radix4<T, false>(data, n, table);
}

template <class T>
void dspFFTRadix4Inv(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept
{
    Radix4<T, true>(data, n, table);
}

template <class T>
void dspFFTScale(T factor, T* data, std::int64_t n) noexcept
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

template <class T>
void dspFFTRealPostFwd(FftComplex<T>* Z, std::int64_t m, const FftComplex<T>* F) noexcept
{
    // With z = Z[k], y = Z[m-k], F[k] = (fr, fi): (d, σ) = z - conj(y), (A, B) = (d, σ)·(fi, -fr);
    // Z[k] = (A, B) + conj(y), Z[m-k] = conj(z) - conj((A, B)).
    using V = Lane<T>;
    for (std::int64_t k = 1; k < m / 2; ++k) {
        const V z = V::Load(Z + k);
        const V cy = V::Conj(V::Load(Z + m - k));
        const V ab = V::template Twiddled<false>(z - cy, V::template Rot<false>(V::Load(F + k)));
        (ab + cy).Store(Z + k);
        (V::Conj(z) - V::Conj(ab)).Store(Z + m - k);
    }
    Z[m / 2].im = -Z[m / 2].im;
}

template <class T>
void dspFFTRealPreInv(const FftComplex<T>* X, FftComplex<T>* D, std::int64_t m,
                      const FftComplex<T>* G) noexcept
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

#define DCS_FFT_ENGINE_INSTANCES(T)                                                                 \
    template void dspFFTSineTable<T>(int, T*) noexcept;                                             \
    template VpsStatus dspFFTTables<T>(FftSpecT<T>*, const FftPlan&, const T*, int) noexcept;       \
    template void dspFFTRealTableFwd<T>(int, const T*, FftComplex<T>*) noexcept;                    \
    template void dspFFTRealTableInv<T>(int, const T*, FftComplex<T>*) noexcept;                    \
    template void dspFFTPermute<T>(const FftComplex<T>*, FftComplex<T>*, std::int64_t,              \
                                   const std::int32_t*) noexcept;                                   \
    template void dspFFTPermute_I<T>(FftComplex<T>*, std::int64_t, const std::int32_t*) noexcept;   \
    template void dspFFTRadix4Fwd<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept;  \
    template void dspFFTRadix4Inv<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept;  \
    template void dspFFTScale<T>(T, T*, std::int64_t) noexcept;                                     \
    template void dspFFTLargeFwd<T>(const FftSpecT<T>*, FftComplex<T>*, int, FftComplex<T>*) noexcept; \
    template void dspFFTLargeInv<T>(const FftSpecT<T>*, FftComplex<T>*, int, FftComplex<T>*) noexcept; \
    template void dspFFTRealPostFwd<T>(FftComplex<T>*, std::int64_t, const FftComplex<T>*) noexcept; \
    template void dspFFTRealPreInv<T>(const FftComplex<T>*, FftComplex<T>*, std::int64_t,           \
                                      const FftComplex<T>*) noexcept;

DCS_FFT_ENGINE_INSTANCES(double)
DCS_FFT_ENGINE_INSTANCES(float)

}  // namespace dcs
