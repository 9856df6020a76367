#include "dsp/double/DftMixedRadixRealInternal.h"

#include <cstddef>
#include <cstring>

#include "dsp/double/DftRealInternal.h"

namespace dcs {

namespace {

using C = Vps64fc;
using Index = std::ptrdiff_t;

// Roots e^(-2πi·k/r) of the radices without a root table in the plan.
constexpr C kRoots3[3] = {{1.0, 0.0}, {-0.5, -0.8660254037844386}, {-0.5, 0.8660254037844386}};
constexpr C kRoots5[5] = {{1.0, 0.0},
                          {0.30901699437494745, -0.9510565162951535},
                          {-0.8090169943749473, -0.5877852522924732},
                          {-0.8090169943749473, 0.5877852522924732},
                          {0.30901699437494745, 0.9510565162951535}};

const C* RootsOf(const DftStage& st) { return st.radix == 3 ? kRoots3 : st.radix == 5 ? kRoots5 : st.roots; }

// Largest radix the kernels keep pair sums of on the stack; larger ones use the work area.
constexpr int kStackRadix = 5;

// Value j of a spectrum of odd length n in the odd Perm layout (0 <= j < n).
inline C Value(const double* b, Index n, Index j)
{
    if (j == 0)
        return {b[0], 0.0};
    if (2 * j < n)
        return {b[2 * j - 1], b[2 * j]};
    return {b[2 * (n - j) - 1], -b[2 * (n - j)]};
}

// Stores value j of a spectrum of odd length n: its own slot in the lower half, else the
// conjugate in the slot of n - j. Value 0 is real.
inline void Store(double* b, Index n, Index j, double re, double im)
{
    if (j == 0) {
        b[0] = re;
    } else if (2 * j < n) {
        b[2 * j - 1] = re;
        b[2 * j] = im;
    } else {
        b[2 * (n - j) - 1] = re;
        b[2 * (n - j)] = -im;
    }
}

inline C Mul(C a, C b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline C MulConj(C a, C b) { return {a.re * b.re + a.im * b.im, a.im * b.re - a.re * b.im}; }

// Stage twiddle W_(rm)^(pk) of position k and input p >= 1, as the complex plan lays it out.
inline C StageTwiddle(const DftStage& st, Index k, int p)
{
    const int r = st.radix;
    return r > kStackRadix ? st.twiddles[r * k + p] : st.twiddles[(r - 1) * k + p - 1];
}

// Real DFTs of length F of the groups' digit-reversed samples: for group g and t < count
// the samples base[s·t + s·count·k] go, as F doubles in the odd Perm layout, to
// out[(g·count + t)·F].
void FirstPass(const DftStage& fRec, const double* src, Index s, double* out, int count, int groups,
               const std::int32_t* perm, double* scratch)
{
    const int f = fRec.radix;
    double local[2 * kStackRadix];
    double* w = f > kStackRadix ? scratch : local;
    for (int g = 0; g < groups; ++g)
        for (int t = 0; t < count; ++t)
            dspDFTDirect_64f(src + perm[g] + s * t, s * count, out + static_cast<Index>(g * count + t) * f, f,
                             RootsOf(fRec), w);
}

// Inverse of FirstPass: each block of F spectrum values back to F samples (F times the
// signal), scattered to the positions the forward pass reads.
void LastPass(const DftStage& fRec, const double* in, double* dst, Index s, int count, int groups,
              const std::int32_t* perm, double* scratch)
{
    const int f = fRec.radix;
    double local[2 * kStackRadix];
    double* w = f > kStackRadix ? scratch : local;
    for (int g = 0; g < groups; ++g)
        for (int t = 0; t < count; ++t)
            dspDFTDirectInv_64f(in + static_cast<Index>(g * count + t) * f, dst + perm[g] + s * t, s * count, f,
                                RootsOf(fRec), w);
}

// The sum and difference of a pair, kept at sums[2i - 2] and sums[2i - 1]; the sum joins total.
inline void Pair(C a, C b, C* sums, int i, C& total)
{
    sums[2 * i - 2] = {a.re + b.re, a.im + b.im};
    sums[2 * i - 1] = {a.re - b.re, a.im - b.im};
    total = {total.re + sums[2 * i - 2].re, total.im + sums[2 * i - 2].im};
}

// base + Σ_i [Re ω^(iq)·Σ_i + i·Im ω^(iq)·Δ_i] over the h pairs of Pair, ω^(iq) read from
// the r roots w; the inverse takes conj ω^(iq).
template <bool Inv> inline C Combine(C base, const C* sums, int h, const C* w, int q, int r)
{
    double re = base.re, im = base.im;
    int u = q;
    for (int i = 1; i <= h; ++i) {
        const C s = sums[2 * i - 2], d = sums[2 * i - 1];
        const double wi = Inv ? -w[u].im : w[u].im;
        re += w[u].re * s.re - wi * d.im;
        im += w[u].re * s.im + wi * d.re;
        if ((u += q) >= r)
            u -= r;
    }
    return {re, im};
}

// Stage of radix r: in each group the r consecutive sub-spectra of length m (odd Perm
// layout) combine into one spectrum of length r·m. Y_(k+qm) = a + Σ_p [Re ω^(pq)·(t_p +
// t_(r-p)) + i·Im ω^(pq)·(t_p - t_(r-p))], t_p the twiddled value k of sub-spectrum p.
void Stage(const DftStage& st, const double* in, double* out, int groups, C* scratch)
{
    const int r = st.radix;
    const int h = (r - 1) / 2;
    const Index m = st.remaining;
    const Index n = r * m;
    const C* w = RootsOf(st);
    C local[2 * kStackRadix];
    C* sums = r > kStackRadix ? scratch : local;  // Σ_p at 2p - 2, Δ_p at 2p - 1
    for (int g = 0; g < groups; ++g) {
        const double* x = in + g * n;
        double* y = out + g * n;
        // k = 0: real inputs
        double y0 = x[0];
        for (int p = 1; p <= h; ++p) {
            const double a = x[p * m], b = x[(r - p) * m];
            sums[2 * p - 2] = {a + b, 0.0};
            sums[2 * p - 1] = {a - b, 0.0};
            y0 += a + b;
        }
        y[0] = y0;
        for (int q = 1; q <= h; ++q) {
            double re = x[0], im = 0.0;
            int u = q;
            for (int p = 1; p <= h; ++p) {
                re += w[u].re * sums[2 * p - 2].re;
                im += w[u].im * sums[2 * p - 1].re;
                if ((u += q) >= r)
                    u -= r;
            }
            Store(y, n, q * m, re, im);
        }
        for (Index k = 1; 2 * k < m; ++k) {
            const C a = Value(x, m, k);
            C sum = a;
            for (int p = 1; p <= h; ++p)
                Pair(Mul(Value(x + p * m, m, k), StageTwiddle(st, k, p)),
                     Mul(Value(x + (r - p) * m, m, k), StageTwiddle(st, k, r - p)), sums, p, sum);
            Store(y, n, k, sum.re, sum.im);
            for (int q = 1; q < r; ++q) {
                const C v = Combine<false>(a, sums, h, w, q, r);
                Store(y, n, k + q * m, v.re, v.im);
            }
        }
    }
}

// Inverse stage: each spectrum of length r·m splits into r sub-spectra of length m,
// B^(p)_k = conj(tw(k, p))·Σ_q ω^(-pq)·Y_(k+qm) (r times the forward's sub-spectra).
void StageInv(const DftStage& st, const double* in, double* out, int groups, C* scratch)
{
    const int r = st.radix;
    const int h = (r - 1) / 2;
    const Index m = st.remaining;
    const Index n = r * m;
    const C* w = RootsOf(st);
    C local[2 * kStackRadix];
    C* sums = r > kStackRadix ? scratch : local;  // Y_q + Y_(r-q) at 2q - 2, Y_q - Y_(r-q) at 2q - 1
    for (int g = 0; g < groups; ++g) {
        const double* y = in + g * n;
        double* x = out + g * n;
        // k = 0: B^(p)_0 = Y_0 + 2·Σ_q Re(ω^(-pq)·Y_(qm))
        for (int p = 0; p < r; ++p) {
            double b = y[0];
            int u = 0;
            for (int q = 1; q <= h; ++q) {
                if ((u += p) >= r)
                    u -= r;
                const C v = Value(y, n, q * m);
                b += 2.0 * (w[u].re * v.re + w[u].im * v.im);
            }
            x[p * m] = b;
        }
        for (Index k = 1; 2 * k < m; ++k) {
            const C y0 = Value(y, n, k);
            C sum = y0;
            for (int q = 1; q <= h; ++q)
                Pair(Value(y, n, k + q * m), Value(y, n, k + (r - q) * m), sums, q, sum);
            Store(x, m, k, sum.re, sum.im);
            for (int p = 1; p < r; ++p) {
                const C b = MulConj(Combine<true>(y0, sums, h, w, p, r), StageTwiddle(st, k, p));
                Store(x + p * m, m, k, b.re, b.im);
            }
        }
    }
}

struct Run {
    const DftSpec* spec;
    C* scratch;
};

// The forward transform of level a on the samples from src (stride of the level's own
// sub-problem), ending in out; other is a block of the same size the passes alternate with.
void Level(const Run& run, int a, const double* src, double* out, double* other)
{
    const DftSpec* spec = run.spec;
    const DftStage* st = spec->stages;
    const int last = spec->last;
    const DftStage& fRec = st[last + 1];
    double* scratch = reinterpret_cast<double*>(run.scratch);
    if (a < last && st[a].radix * st[a].remaining <= kDftBreadthLimit) {
        // first pass then stages last .. a, alternating so that stage a writes out
        double* bufs[2] = {out, other};
        int cur = (last - a + 1) % 2;
        FirstPass(fRec, src, st[last].stride, bufs[cur], st[last].radix, st[last].groups, spec->digitRev, scratch);
        for (int i = last; i >= a; --i, cur ^= 1)
            Stage(st[i], bufs[cur], bufs[cur ^ 1], st[i].groups, run.scratch);
        return;
    }
    const Index m = st[a].remaining;
    if (a < last) {
        for (int q = 0; q < st[a].radix; ++q)
            Level(run, a + 1, src + static_cast<Index>(q) * st[a].stride, other + q * m, out + q * m);
    } else {
        FirstPass(fRec, src, st[a].stride, other, st[a].radix, 1, spec->digitRev, scratch);
    }
    Stage(st[a], other, out, 1, run.scratch);
}

// The inverse of level a: the spectrum in `in` (consumed; it serves as the other block of
// the next level down) back to samples at dst with the level's stride.
void LevelInv(const Run& run, int a, double* in, double* other, double* dst)
{
    const DftSpec* spec = run.spec;
    const DftStage* st = spec->stages;
    const int last = spec->last;
    const DftStage& fRec = st[last + 1];
    double* scratch = reinterpret_cast<double*>(run.scratch);
    if (a < last && st[a].radix * st[a].remaining <= kDftBreadthLimit) {
        double* bufs[2] = {in, other};
        int cur = 0;
        for (int i = a; i <= last; ++i, cur ^= 1)
            StageInv(st[i], bufs[cur], bufs[cur ^ 1], st[i].groups, run.scratch);
        LastPass(fRec, bufs[cur], dst, st[last].stride, st[last].radix, st[last].groups, spec->digitRev, scratch);
        return;
    }
    const Index m = st[a].remaining;
    StageInv(st[a], in, other, 1, run.scratch);
    if (a < last) {
        for (int q = 0; q < st[a].radix; ++q)
            LevelInv(run, a + 1, other + q * m, in + q * m, dst + static_cast<Index>(q) * st[a].stride);
    } else {
        LastPass(fRec, other, dst, st[a].stride, st[a].radix, 1, spec->digitRev, scratch);
    }
}

}  // namespace

void dspDFTMixedRadixFwd_64f(const DftSpec* spec, const double* src, double* dst, Vps8u* work) noexcept
{
    const Index n = spec->length;
    auto* blockA = reinterpret_cast<double*>(work);
    double* blockB = blockA + n;
    const Run run {spec, reinterpret_cast<C*>(blockB + n)};
    if (src == dst) {  // the passes write dst before they have read all of src
        std::memcpy(blockB, src, static_cast<std::size_t>(n) * sizeof(double));
        src = blockB;
    }
    Level(run, 0, src, dst, blockA);
}

void dspDFTMixedRadixInv_64f(const DftSpec* spec, const double* src, double* dst, Vps8u* work) noexcept
{
    const Index n = spec->length;
    auto* blockA = reinterpret_cast<double*>(work);
    double* blockB = blockA + n;
    const Run run {spec, reinterpret_cast<C*>(blockB + n)};
    std::memcpy(blockA, src, static_cast<std::size_t>(n) * sizeof(double));
    LevelInv(run, 0, blockA, blockB, dst);
}

}  // namespace dcs
