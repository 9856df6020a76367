#include "dsp/spectral/FftEngine.h"

#include <numbers>

#include "dsp/DspCore.h"

namespace dcs {

namespace {

constexpr std::int64_t Pow2(int k) { return std::int64_t{1} << k; }

template <class C>
inline C Add(C a, C b) { return {a.re + b.re, a.im + b.im}; }
template <class C>
inline C Sub(C a, C b) { return {a.re - b.re, a.im - b.im}; }

// a·w forward, a·conj(w) inverse: the inverse uses the conjugate of every twiddle.
template <bool Inv, class C>
inline C Twiddled(C a, C w)
{
    if constexpr (Inv)
        return {a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im};
    else
        return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re};
}

// r·a with r = -i forward and +i inverse: an exchange of parts and one sign.
template <bool Inv, class C>
inline C Rot(C a)
{
    if constexpr (Inv)
        return {-a.im, a.re};
    else
        return {a.im, -a.re};
}

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

template <class T, bool Inv>
void Radix4(FftComplex<T>* x, std::int64_t n, const FftComplex<T>* tab)
{
    using C = FftComplex<T>;
    for (std::int64_t i = 0; i < n; i += 4) {
        const C u = Add(x[i], x[i + 1]);
        const C v = Add(x[i + 2], x[i + 3]);
        const C d = Sub(x[i], x[i + 1]);
        const C re = Rot<Inv>(Sub(x[i + 2], x[i + 3]));
        x[i] = Add(u, v);
        x[i + 1] = Add(d, re);
        x[i + 2] = Sub(u, v);
        x[i + 3] = Sub(d, re);
    }
    std::int64_t L = 4;
    if (__builtin_ctzll(static_cast<unsigned long long>(n)) & 1) {
        // One radix-2 pass over groups of 8; w_8 and w_8^3 need only cos π/4.
        const T c = tab[3 * (n / 8)].re;
        for (std::int64_t i = 0; i < n; i += 8) {
            C* a = x + i;
            const C b0 = a[4];
            const C b1 = a[5];
            const C b2 = Rot<Inv>(a[6]);
            const C b3 = a[7];
            const C t1 = Inv ? C{c * (b1.re - b1.im), c * (b1.re + b1.im)}
                             : C{c * (b1.re + b1.im), c * (b1.im - b1.re)};
            const C t3 = Inv ? C{-c * (b3.re + b3.im), c * (b3.re - b3.im)}
                             : C{c * (b3.im - b3.re), -c * (b3.re + b3.im)};
            a[4] = Sub(a[0], b0);
            a[0] = Add(a[0], b0);
            a[5] = Sub(a[1], t1);
            a[1] = Add(a[1], t1);
            a[6] = Sub(a[2], b2);
            a[2] = Add(a[2], b2);
            a[7] = Sub(a[3], t3);
            a[3] = Add(a[3], t3);
        }
        L = 8;
    }
    for (; L < n; L *= 4) {
        const std::int64_t stride = 3 * (n / (4 * L));
        for (std::int64_t g = 0; g < n; g += 4 * L) {
            C* a = x + g;
            for (std::int64_t j = 0; j < L; ++j) {
                const C* t = tab + j * stride;
                const C a0 = a[j];
                const C a1 = Twiddled<Inv>(a[j + L], t[1]);
                const C a2 = Twiddled<Inv>(a[j + 2 * L], t[0]);
                const C a3 = Twiddled<Inv>(a[j + 3 * L], t[2]);
                const C s01 = Add(a0, a1);
                const C d01 = Sub(a0, a1);
                const C s23 = Add(a2, a3);
                const C r23 = Rot<Inv>(Sub(a2, a3));
                a[j] = Add(s01, s23);
                a[j + 2 * L] = Sub(s01, s23);
                a[j + L] = Add(d01, r23);
                a[j + 3 * L] = Sub(d01, r23);
            }
        }
    }
}

// Radix-2 passes from blocks of b points up to n, twiddles from the quarter list of
// order log2 n (the second half of each pass is r times the first half's twiddle).
template <class T, bool Inv>
void Radix2(FftComplex<T>* x, std::int64_t n, std::int64_t b, const FftComplex<T>* V)
{
    using C = FftComplex<T>;
    for (std::int64_t L = b; L < n; L *= 2) {
        const std::int64_t stride = n / (2 * L);
        for (std::int64_t p = 0; p < n; p += 2 * L) {
            C* A = x + p;
            C* B = x + p + L;
            for (std::int64_t k = 0; k < L / 2; ++k) {
                const C t = Twiddled<Inv>(B[k], V[k * stride]);
                B[k] = Sub(A[k], t);
                A[k] = Add(A[k], t);
            }
            for (std::int64_t k = L / 2; k < L; ++k) {
                const C t = Rot<Inv>(Twiddled<Inv>(B[k], V[(k - L / 2) * stride]));
                B[k] = Sub(A[k], t);
                A[k] = Add(A[k], t);
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
                work[j * R + r] = Twiddled<Inv>(in[j], rec[4 * r + j]);
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
    for (std::int64_t k = 1; k < m / 2; ++k) {
        const T xr = Z[k].re, xi = Z[k].im;
        const T yr = Z[m - k].re, yi = Z[m - k].im;
        const T d = xr - yr;
        const T sigma = xi + yi;
        const T A = F[k].re * sigma + F[k].im * d;
        const T B = F[k].im * sigma - F[k].re * d;
        Z[k] = {yr + A, B - yi};
        Z[m - k] = {xr - A, B - xi};
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
