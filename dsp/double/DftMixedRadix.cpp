#include "dsp/double/DftMixedRadix.h"

#include <cstddef>

#include "dsp/DspCore.h"

namespace dcs {

namespace {

using C = Vps64fc;

constexpr double kTwoPi = 6.283185307179586;
constexpr double kC3 = -0.5;
constexpr double kH3 = -0.8660254037844386;
constexpr double kC51 = 0.30901699437494745;
constexpr double kC52 = -0.8090169943749473;
constexpr double kT51 = -0.9510565162951535;
constexpr double kT52 = -0.5877852522924732;

inline C Add(C a, C b) { return {a.re + b.re, a.im + b.im}; }
inline C Sub(C a, C b) { return {a.re - b.re, a.im - b.im}; }
inline C Mul(C a, C b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline C MulConj(C a, C b) { return {a.re * b.re + a.im * b.im, a.im * b.re - a.re * b.im}; }
inline C Scale(double f, C a) { return {f * a.re, f * a.im}; }
// i * z
inline C TimesI(C z) { return {-z.im, z.re}; }

template <bool Inv> inline C Twiddle(C x, C w) { return Inv ? MulConj(x, w) : Mul(x, w); }

// DFT of three values (x1, x2 already twiddled).
template <bool Inv> inline void Bfly3(C x0, C x1, C x2, C& y0, C& y1, C& y2)
{
    const C s = Add(x1, x2);
    const C d = Sub(x1, x2);
    const C a = {x0.re + kC3 * s.re, x0.im + kC3 * s.im};
    const C t = TimesI(Scale(kH3, d));
    y0 = Add(x0, s);
    y1 = Inv ? Sub(a, t) : Add(a, t);
    y2 = Inv ? Add(a, t) : Sub(a, t);
}

template <bool Inv> inline void Bfly4(C x0, C x1, C x2, C x3, C& y0, C& y1, C& y2, C& y3)
{
    const C a = Add(x0, x2), b = Add(x1, x3), c = Sub(x0, x2), d = TimesI(Sub(x1, x3));
    y0 = Add(a, b);
    y2 = Sub(a, b);
    y1 = Inv ? Add(c, d) : Sub(c, d);
    y3 = Inv ? Sub(c, d) : Add(c, d);
}

template <bool Inv> inline void Bfly5(C x0, C x1, C x2, C x3, C x4, C& y0, C& y1, C& y2, C& y3, C& y4)
{
    const C s1 = Add(x1, x4), d1 = Sub(x1, x4), s2 = Add(x2, x3), d2 = Sub(x2, x3);
    const C a1 = {x0.re + kC51 * s1.re + kC52 * s2.re, x0.im + kC51 * s1.im + kC52 * s2.im};
    const C a2 = {x0.re + kC52 * s1.re + kC51 * s2.re, x0.im + kC52 * s1.im + kC51 * s2.im};
    const C b1 = TimesI({kT51 * d1.re + kT52 * d2.re, kT51 * d1.im + kT52 * d2.im});
    const C b2 = TimesI({kT52 * d1.re - kT51 * d2.re, kT52 * d1.im - kT51 * d2.im});
    y0 = {x0.re + s1.re + s2.re, x0.im + s1.im + s2.im};
    y1 = Inv ? Sub(a1, b1) : Add(a1, b1);
    y4 = Inv ? Add(a1, b1) : Sub(a1, b1);
    y2 = Inv ? Sub(a2, b2) : Add(a2, b2);
    y3 = Inv ? Add(a2, b2) : Sub(a2, b2);
}

// Odd radix n over x[k * xs] (times tw[k] for k >= 1 when tw is given) into y[l * ys]:
// pairs x_k +- x_(n-k) first, so each root multiplies two values at once. Reads every
// input before the first write.
template <bool Inv>
void OddButterfly(const C* x, std::ptrdiff_t xs, const C* tw, C* y, std::ptrdiff_t ys, int n, const C* roots, C* pairs)
{
    const int h = (n - 1) / 2;
    const C x0 = x[0];
    C sum = x0;
    for (int k = 1; k <= h; ++k) {
        C a = x[k * xs];
        C b = x[(n - k) * xs];
        if (tw) {
            a = Twiddle<Inv>(a, tw[k]);
            b = Twiddle<Inv>(b, tw[n - k]);
        }
        pairs[2 * k - 2] = Add(a, b);
        pairs[2 * k - 1] = Sub(a, b);
        sum = Add(sum, pairs[2 * k - 2]);
    }
    for (int l = 1; l <= h; ++l) {
        double r = x0.re, q = x0.im, p = 0.0, s = 0.0;
        int u = l;
        for (int k = 1; k <= h; ++k) {
            const C w = roots[u];
            const C a = pairs[2 * k - 2];
            const C b = pairs[2 * k - 1];
            r += a.re * w.re;
            q += a.im * w.re;
            p += b.im * w.im;
            s += b.re * w.im;
            u += l;
            if (u >= n)
                u -= n;
        }
        if (Inv) {
            y[l * ys] = {r + p, q - s};
            y[(n - l) * ys] = {r - p, q + s};
        } else {
            y[l * ys] = {r - p, q + s};
            y[(n - l) * ys] = {r + p, q - s};
        }
    }
    y[0] = sum;
}

// Length-F DFTs of the groups' digit-reversed inputs: for group g and t < count the
// samples base[s*t + s*count*k] go to out[(g*count + t)*F + l].
template <bool Inv>
void FirstPass(const DftStage& lastRec, const C* src, std::ptrdiff_t s, C* out, int count, int groups,
               const std::int32_t* perm, C* scratch)
{
    const int f = lastRec.radix;
    const std::ptrdiff_t step = s * count;
    for (int g = 0; g < groups; ++g) {
        const C* base = src + perm[g];
        for (int t = 0; t < count; ++t) {
            const C* x = base + s * t;
            C* y = out + static_cast<std::ptrdiff_t>(g * count + t) * f;
            if (f == 3)
                Bfly3<Inv>(x[0], x[step], x[2 * step], y[0], y[1], y[2]);
            else if (f == 5)
                Bfly5<Inv>(x[0], x[step], x[2 * step], x[3 * step], x[4 * step], y[0], y[1], y[2], y[3], y[4]);
            else
                OddButterfly<Inv>(x, step, nullptr, y, 1, f, lastRec.roots, scratch);
        }
    }
}

// One stage in place or from in to out: every block of radix * m values combines radix
// sub-transforms of m points.
template <bool Inv> void Stage(const DftStage& st, const C* in, C* out, int groups, C* scratch)
{
    const int r = st.radix;
    const std::ptrdiff_t m = st.remaining;
    const C* tw = st.twiddles;
    for (int g = 0; g < groups; ++g) {
        const std::ptrdiff_t b = static_cast<std::ptrdiff_t>(g) * r * m;
        const C* x = in + b;
        C* y = out + b;
        switch (r) {
        case 2:
            for (std::ptrdiff_t j = 0; j < m; ++j) {
                const C x0 = x[j];
                const C x1 = j ? Twiddle<Inv>(x[j + m], tw[j]) : x[j + m];
                y[j] = Add(x0, x1);
                y[j + m] = Sub(x0, x1);
            }
            break;
        case 3:
            for (std::ptrdiff_t j = 0; j < m; ++j) {
                C x1 = x[j + m], x2 = x[j + 2 * m];
                if (j) {
                    x1 = Twiddle<Inv>(x1, tw[2 * j]);
                    x2 = Twiddle<Inv>(x2, tw[2 * j + 1]);
                }
                Bfly3<Inv>(x[j], x1, x2, y[j], y[j + m], y[j + 2 * m]);
            }
            break;
        case 4:
            for (std::ptrdiff_t j = 0; j < m; ++j) {
                C x1 = x[j + m], x2 = x[j + 2 * m], x3 = x[j + 3 * m];
                if (j) {
                    x1 = Twiddle<Inv>(x1, tw[3 * j]);
                    x2 = Twiddle<Inv>(x2, tw[3 * j + 1]);
                    x3 = Twiddle<Inv>(x3, tw[3 * j + 2]);
                }
                Bfly4<Inv>(x[j], x1, x2, x3, y[j], y[j + m], y[j + 2 * m], y[j + 3 * m]);
            }
            break;
        case 5:
            for (std::ptrdiff_t j = 0; j < m; ++j) {
                C x1 = x[j + m], x2 = x[j + 2 * m], x3 = x[j + 3 * m], x4 = x[j + 4 * m];
                if (j) {
                    x1 = Twiddle<Inv>(x1, tw[4 * j]);
                    x2 = Twiddle<Inv>(x2, tw[4 * j + 1]);
                    x3 = Twiddle<Inv>(x3, tw[4 * j + 2]);
                    x4 = Twiddle<Inv>(x4, tw[4 * j + 3]);
                }
                Bfly5<Inv>(x[j], x1, x2, x3, x4, y[j], y[j + m], y[j + 2 * m], y[j + 3 * m], y[j + 4 * m]);
            }
            break;
        default:
            for (std::ptrdiff_t j = 0; j < m; ++j)
                OddButterfly<Inv>(x + j, m, j ? tw + r * j : nullptr, y + j, m, r, st.roots, scratch);
            break;
        }
    }
}

template <bool Inv> void Level(const DftSpec* spec, int a, const C* src, C* out, C* scratch)
{
    const int last = spec->last;
    const DftStage* st = spec->stages;
    const DftStage& fRec = st[last + 1];
    if (st[a].radix * st[a].remaining <= kDftBreadthLimit && a < last) {
        FirstPass<Inv>(fRec, src, st[last].stride, out, st[last].radix, st[last].groups, spec->digitRev, scratch);
        for (int i = last; i >= a; --i)
            Stage<Inv>(st[i], out, out, st[i].groups, scratch);
        return;
    }
    if (a < last) {
        for (int q = 0; q < st[a].radix; ++q)
            Level<Inv>(spec, a + 1, src + static_cast<std::ptrdiff_t>(q) * st[a].stride,
                       out + static_cast<std::ptrdiff_t>(q) * st[a].remaining, scratch);
    } else {
        FirstPass<Inv>(fRec, src, st[a].stride, out, st[a].radix, 1, spec->digitRev, scratch);
    }
    Stage<Inv>(st[a], out, out, 1, scratch);
}

template <bool Inv> void MixedRadixRun(const DftSpec* spec, const C* src, C* dst, Vps8u* work)
{
    const DftStage* st = spec->stages;
    const int n = st[0].radix * st[0].remaining;  // half the spec's length in a real spec
    const int last = spec->last;
    C* out = dst;
    C* scratch = reinterpret_cast<C*>(work);
    if (src == dst) {
        out = reinterpret_cast<C*>(work);
        scratch = out + n;
    }
    if (n > kDftBreadthLimit && last > 0) {
        for (int q = 0; q < st[0].radix; ++q)
            Level<Inv>(spec, 1, src + q, out + static_cast<std::ptrdiff_t>(q) * st[0].remaining, scratch);
    } else if (last == 0) {
        FirstPass<Inv>(st[1], src, 1, out, st[0].radix, 1, spec->digitRev, scratch);
    } else {
        FirstPass<Inv>(st[last + 1], src, st[last].stride, out, st[last].radix, st[last].groups, spec->digitRev,
                       scratch);
        for (int i = last; i >= 1; --i)
            Stage<Inv>(st[i], out, out, st[i].groups, scratch);
    }
    Stage<Inv>(st[0], out, dst, 1, scratch);
}

}  // namespace

Vps64fc* dspDFTTwiddles_64fc(int n) noexcept
{
    auto* t = static_cast<C*>(dspMallocBytes(16 * static_cast<std::int64_t>(n)));
    if (!t)
        return nullptr;
    const double theta = kTwoPi / n;
    const int h = n / 2, q = n / 4, e = n / 8;
    const int direct = (n & 1) ? h : (n % 4 == 2 ? q : e);
    for (int k = 0; k <= direct; ++k)
        t[k] = {dspCos(k * theta), -dspSin(k * theta)};
    if (n % 4 == 0)
        for (int k = e + 1; k <= q; ++k)
            t[k] = {-t[q - k].im, -t[q - k].re};
    if (!(n & 1))
        for (int k = (n % 4 == 0 ? q : q) + 1; k <= h; ++k)
            t[k] = {-t[h - k].re, t[h - k].im};
    for (int k = h + 1; k < n; ++k)
        t[k] = {t[n - k].re, -t[n - k].im};
    return t;
}

Vps64fc* dspDFTTwiddleSubset_64fc(int a, const Vps64fc* table, int b) noexcept
{
    auto* t = static_cast<C*>(dspMallocBytes(16 * static_cast<std::int64_t>(a)));
    if (!t)
        return nullptr;
    const std::int64_t step = b / a;
    for (int i = 0; i < a; ++i)
        t[i] = table[i * step];
    return t;
}

int dspDFTFactorize(DftSpec* spec, int n) noexcept
{
    int radix[kDftMaxStages + 12];
    int count = 0;
    while (n % 4 == 0) {
        radix[count++] = 4;
        n /= 4;
    }
    if (n % 2 == 0) {
        radix[count++] = 4;
        n /= 2;
        radix[0] = 2;
    }
    if (n >= 9) {
        for (int j = 3; j * j <= n;) {
            if (n % j == 0) {
                radix[count++] = j;
                n /= j;
            } else if ((j += 2) > kDftMaxLastFactor) {
                return 0;
            }
        }
    }
    if (count == 0 || n > kDftMaxLastFactor)
        return 0;
    for (int i = 0; i < count; ++i)
        spec->stages[i].radix = radix[i];
    spec->stages[count].radix = n;
    spec->last = count - 1;
    return 1;
}

std::int64_t dspDFTMixedRadixWorkSize(std::int64_t n, std::int64_t e) noexcept { return 16 * (n + e) + 16; }

VpsStatus dspDFTMixedRadixInit_64fc(DftSpec* spec, int n, const Vps64fc* table, int tableLen) noexcept
{
    const int last = spec->last;
    DftStage* st = spec->stages;
    const std::int64_t d = tableLen / n;
    std::int64_t p = 1;
    int rem = n;
    for (int i = 0; i <= last; ++i) {
        rem /= st[i].radix;
        st[i].remaining = rem;
        st[i].stride = static_cast<std::int32_t>(p);
        p *= st[i].radix;
    }
    const int f = st[last + 1].radix;
    st[last + 1].remaining = 1;
    st[last + 1].stride = static_cast<std::int32_t>(p);
    int groups = 1;
    int e = f > 5 ? f : 0;
    Vps64fc* lastRoots = nullptr;
    int lastRootsRadix = 0;
    auto rootsOf = [&](int r) -> Vps64fc* {
        if (r != lastRootsRadix) {
            lastRoots = dspDFTTwiddleSubset_64fc(r, table, tableLen);
            lastRootsRadix = lastRoots ? r : 0;
        }
        return lastRoots;
    };
    for (int i = 0; i <= last; ++i) {
        const int r = st[i].radix;
        const int m = st[i].remaining;
        st[i].groups = groups;
        groups = r * m <= kDftBreadthLimit ? groups * r : 1;
        if (r > 5) {
            e = r > e ? r : e;
            if (!(st[i].roots = rootsOf(r)))
                return StatusNoMemory;
        }
        if (i == last && f > 5 && !(st[last + 1].roots = rootsOf(f)))
            return StatusNoMemory;
        C* tw = static_cast<C*>(dspMallocBytes(16 * static_cast<std::int64_t>(r) * m));
        if (!(st[i].twiddles = tw))
            return StatusNoMemory;
        const std::int64_t step = st[i].stride * d;
        const int k0 = r > 5 ? 0 : 1;
        const int width = r - k0;
        for (std::int64_t j = 0; j < m; ++j)
            for (int k = k0; k < r; ++k)
                tw[width * j + k - k0] = table[k * j * step];
    }
    spec->workSize = dspDFTMixedRadixWorkSize(n, e);
    const int gl = st[last].groups;
    auto* perm = static_cast<std::int32_t*>(dspMallocBytes(4 * static_cast<std::int64_t>(gl)));
    if (!(spec->digitRev = perm))
        return StatusNoMemory;
    perm[0] = 0;
    int h = 1;
    for (int idx = last - 1; idx >= 0; --idx) {
        const int r = st[idx].radix;
        if (h < gl) {
            for (int o = r - 1; o >= 0; --o)
                for (int t = h - 1; t >= 0; --t)
                    perm[o * h + t] = o + r * perm[t];
            h *= r;
        } else {
            for (int t = 0; t < gl; ++t)
                perm[t] *= r;
        }
    }
    return StatusOk;
}

void dspDFTMixedRadixFwd_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, Vps8u* work) noexcept
{
    MixedRadixRun<false>(spec, src, dst, work);
}

void dspDFTMixedRadixInv_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, Vps8u* work) noexcept
{
    MixedRadixRun<true>(spec, src, dst, work);
}

void dspDFTDirect_64fc(const Vps64fc* src, Vps64fc* dst, int n, int direction, const Vps64fc* roots,
                       Vps8u* work) noexcept
{
    C* pairs = reinterpret_cast<C*>(work);
    if (direction > 0)
        OddButterfly<false>(src, 1, nullptr, dst, 1, n, roots, pairs);
    else
        OddButterfly<true>(src, 1, nullptr, dst, 1, n, roots, pairs);
}

}  // namespace dcs
