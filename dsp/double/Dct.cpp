// The orthonormal DCT entries: fixed kernels for 1, 2, 4 and 8 points, a recursive
// sum/difference split for larger powers of two, a real FFT of 2N points for powers of two
// above 512 when the hint asks for it, direct sums over a cosine table up to 100 points
// and a chirp-z real DFT of 2N points above.
#include <array>
#include <cmath>
#include <cstring>

#include "dsp/DspCore.h"
#include "dsp/KernelsInternal.h"
#include "dsp/double/DftChirpInternal.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/DftMixedRadix.h"
#include "dsp/double/DftRealInternal.h"
#include "dsp/spectral/FftCodelets.h"
#include "dsp/spectral/FftEntries.h"

namespace dcs {

namespace {

constexpr int kDctDirectLimit = 100;
constexpr int kDctFftPathMin = 512;  // powers of two above this take the FFT path with hint 2
constexpr int kDctFftHint = 2;
constexpr double kSqrt2Below = 1.4142135623730949;  // AC factor: the double just below sqrt(2)

// ---- fixed kernels (normalisation folded in) ----

void Dct2(const double* x, double* y)
{
    constexpr double a = 0.7071067811865476;
    const double x0 = x[0], x1 = x[1];
    y[0] = a * x0 + a * x1;
    y[1] = a * x0 - a * x1;
}

constexpr double kB = 0.5, kP = 0.6532814824381883, kQ = 0.2705980500730985;

void DctFwd4(const double* x, double* y)
{
    const double f = x[0] + x[3], g = x[1] + x[2], u = x[0] - x[3], v = x[1] - x[2];
    y[0] = kB * (f + g);
    y[2] = kB * (f - g);
    y[1] = u * kP + v * kQ;
    y[3] = u * kQ - v * kP;
}

void DctInv4(const double* y, double* x)
{
    const double h = (y[0] + y[2]) * kB, l = y[1] * kP + y[3] * kQ;
    const double m = (y[0] - y[2]) * kB, o = y[1] * kQ - kP * y[3];
    x[0] = h + l;
    x[3] = h - l;
    x[1] = m + o;
    x[2] = m - o;
}

constexpr double k0 = 0.3535533905932738, k1 = 0.46193976625564337, k2 = 0.1913417161825449, k3 = 1.4142135623730951,
                 k4 = 0.3467599613305369, k5 = 0.06897484482073576, k6 = 0.1964237395967756, k7 = 0.2939689006048397;

void DctFwd8(const double* x, double* y)
{
    const double o = x[0] + x[7], r = x[1] + x[6], t = x[2] + x[5], m = x[3] + x[4];
    const double b = x[1] - x[6], dl = x[2] - x[5], c = b + dl, d = (x[0] - x[7]) * k3, b2 = b - dl,
                 e = k3 * (x[3] - x[4]);
    y[0] = ((m + o) + (r + t)) * k0;
    y[4] = ((m + o) - (r + t)) * k0;
    y[2] = (o - m) * k1 + (r - t) * k2;
    y[6] = (o - m) * k2 - (r - t) * k1;
    y[1] = (c + d) * k4 + (b2 + e) * k5;
    y[7] = (c + d) * k5 - k4 * (b2 + e);
    y[5] = (d - c) * k6 + (e - b2) * k7;
    y[3] = (d - c) * k7 - (e - b2) * k6;
}

void DctInv8(const double* y, double* x)
{
    const double a = (y[0] + y[4]) * k0, b = y[2] * k1 + y[6] * k2, c = y[1] * k4 + y[7] * k5,
                 d = y[5] * k6 + y[3] * k7, e = (c + d) * k3;
    const double f = k0 * (y[0] - y[4]), g = y[2] * k2 - y[6] * k1, h = y[1] * k5 - k4 * y[7],
                 i = y[5] * k7 - k6 * y[3];
    const double j = c - d + (h - i), c2 = c - d - (h - i), h2 = k3 * (h + i);
    x[0] = a + b + e;
    x[7] = a + b - e;
    x[1] = f + g + j;
    x[6] = f + g - j;
    x[2] = f - g + c2;
    x[5] = f - g - c2;
    x[3] = a - b + h2;
    x[4] = a - b - h2;
}

using DctKernel = void (*)(const double*, double*);
constexpr DctKernel kFwdKernels[8] = {dspFFT1_64f, Dct2, nullptr, DctFwd4, nullptr, nullptr, nullptr, DctFwd8};
constexpr DctKernel kInvKernels[8] = {dspFFT1_64f, Dct2, nullptr, DctInv4, nullptr, nullptr, nullptr, DctInv8};

// ---- split transform (unnormalised) ----

constexpr double c4 = 0.7071067811865476, c2 = 0.9238795325112867, s2 = 0.3826834323650898, r2 = 1.4142135623730951,
                 q1 = 0.6935199226610738, q2 = 0.13794968964147153, q3 = 0.3928474791935512, q4 = 0.5879378012096794;

void Flow8Fwd(double* z)
{
    const double al = z[0] + z[7], ak = z[1] + z[6], aj = z[2] + z[5], am = z[3] + z[4];
    const double d1 = z[1] - z[6], d2 = z[2] - z[5], ah = d1 + d2, ag = (z[0] - z[7]) * r2, ai = d1 - d2,
                 ae = r2 * (z[3] - z[4]);
    z[0] = (am + al) + (ak + aj);
    z[4] = ((am + al) - (ak + aj)) * c4;
    z[2] = (al - am) * c2 + (ak - aj) * s2;
    z[6] = (al - am) * s2 - (ak - aj) * c2;
    z[1] = (ah + ag) * q1 + (ai + ae) * q2;
    z[7] = (ah + ag) * q2 - (ai + ae) * q1;
    z[5] = (ag - ah) * q3 + (ae - ai) * q4;
    z[3] = (ag - ah) * q4 - (ae - ai) * q3;
}

void Flow8Inv(double* z)
{
    const double d = q1 * z[1] + z[7] * q2, e = q3 * z[5] + z[3] * q4, f = (d + e) * r2, g = z[4] * c4, h = g + z[0],
                 i = c2 * z[2] + z[6] * s2;
    const double g2 = z[0] - g, j = z[2] * s2 - c2 * z[6], k = z[1] * q2 - q1 * z[7], l = z[5] * q4 - q3 * z[3];
    const double m = d - e + (k - l), d2 = d - e - (k - l), k2 = r2 * (k + l);
    z[0] = f + (h + i);
    z[7] = h + i - f;
    z[1] = g2 + j + m;
    z[6] = g2 + j - m;
    z[2] = g2 - j + d2;
    z[5] = g2 - j - d2;
    z[3] = h - i + k2;
    z[4] = h - i - k2;
}

void dspDCTFwdSplit_64f(const double* x, double* y, int n, const double* t, double* w)
{
    const int h = n / 2;
    for (int k = 0; k < h; ++k) {
        const double a = x[k], b = x[n - 1 - k];
        w[k] = a + b;
        w[h + k] = (a - b) * t[k];
    }
    if (h > 8) {
        dspDCTFwdSplit_64f(w, w, h, t + h, y);
        dspDCTFwdSplit_64f(w + h, w + h, h, t + h, y);
    } else {
        Flow8Fwd(w);
        Flow8Fwd(w + 8);
    }
    for (int k = 0; k < h - 1; ++k)
        w[h + k] += w[h + k + 1];
    for (int k = 0; k < h; ++k) {
        y[2 * k] = w[k];
        y[2 * k + 1] = w[h + k];
    }
}

// Unnormalised DCT-III: the even coefficients form a half-length DCT-III, the sums of
// neighbouring odd ones another, divided by 2cos((2k+1)pi/(2N)) at the end. y may equal x.
void dspDCTInvSplit_64f(const double* y, double* x, int n, const double* t, double* w)
{
    const int h = n / 2;
    for (int k = h - 1; k >= 0; --k) {
        w[k] = y[2 * k];
        w[h + k] = y[2 * k + 1] + (k ? y[2 * k - 1] : 0.0);
    }
    if (h > 8) {
        dspDCTInvSplit_64f(w, w, h, t + h, x);
        dspDCTInvSplit_64f(w + h, w + h, h, t + h, x);
    } else {
        Flow8Inv(w);
        Flow8Inv(w + 8);
    }
    for (int k = 0; k < h; ++k) {
        const double e = w[k], o = w[h + k] * t[k];
        x[k] = e + o;
        x[n - 1 - k] = e - o;
    }
}

// ---- direct sums over cos(2*pi*i/(4N)) ----

void dspDCTFwdDirect_64f(const double* x, double* y, int n, const double* c, double* w)
{
    const int n4 = 4 * n;
    const int half = n / 2;
    for (int j = 0; j < half; ++j) {
        w[2 * j] = x[j] + x[n - 1 - j];
        w[2 * j + 1] = x[j] - x[n - 1 - j];
    }
    const double mid = (n & 1) ? x[half] : 0.0;
    for (int k = 0; k < n; ++k) {
        // Even k sees the symmetric sums, odd k the antisymmetric differences.
        double s = 0.0;
        int idx = k, step = 2 * k;
        for (int j = 0; j < half; ++j) {
            s += w[2 * j + (k & 1)] * c[idx];
            if ((idx += step) >= n4)
                idx -= n4;
        }
        if ((n & 1) && !(k & 1))
            s += (k % 4 == 0 ? mid : -mid);
        y[k] = s;
    }
}

void dspDCTInvDirect_64f(const double* yv, double* x, int n, const double* c)
{
    const int n4 = 4 * n;
    for (int i = 0; i < (n + 1) / 2; ++i) {
        double ev = 0.0, od = 0.0;
        const int step = 2 * i + 1;
        int idx = 0;
        for (int k = 0; k < n; ++k) {
            const double v = yv[k] * c[idx];
            if (k & 1)
                od += v;
            else
                ev += v;
            if ((idx += step) >= n4)
                idx -= n4;
        }
        x[i] = ev + od;
        x[n - 1 - i] = ev - od;
    }
}

// The low `bits` bits of i reversed (bits 1 to 32), a byte at a time through a table:
// no branches in the loop that scatters the chirp input.
constexpr auto kReversedBytes = [] {
    std::array<std::uint8_t, 256> t {};
    for (int i = 0; i < 256; ++i)
        for (int b = 0; b < 8; ++b)
            if (i >> b & 1)
                t[i] = static_cast<std::uint8_t>(t[i] | 0x80 >> b);
    return t;
}();

inline std::uint32_t ReverseBits(std::uint32_t i, int bits)
{
    const std::uint32_t r = std::uint32_t {kReversedBytes[i & 0xFF]} << 24 |
        std::uint32_t {kReversedBytes[i >> 8 & 0xFF]} << 16 | std::uint32_t {kReversedBytes[i >> 16 & 0xFF]} << 8 |
        kReversedBytes[i >> 24];
    return r >> (32 - bits);
}

// ---- FFT and chirp paths (orthonormal; scaling folded into the output twiddles) ----

Vps64fc* OutTwiddles(int n, bool inverse)
{
    auto* t = static_cast<Vps64fc*>(dspMallocBytes(16 * static_cast<std::int64_t>(n)));
    if (!t)
        return nullptr;
    const double sq = dspSqrt(n);
    const double g = inverse ? dspSqrt(2.0) * 0.5 / sq : dspSqrt(2.0) / sq;
    const double theta = 3.141592653589793 / (2.0 * n);
    t[0] = {1.0 / sq, 0.0};
    for (int k = 1; k < n; ++k)
        t[k] = {g * dspCos(k * theta), g * dspSin(k * theta)};
    return t;
}

VpsStatus FftPathInit(DctSpec* spec, bool inverse)
{
    const int n = spec->length;
    if (!(spec->outTwiddles = OutTwiddles(n, inverse)))
        return StatusNoMemory;
    VpsStatus st = fallback::vpsFFTInitAlloc_R_64f(&spec->realFft, DftLog2(n) + 1, 8, 0);
    if (st != StatusOk)
        return st;
    spec->workSize = DftFftWorkSize(spec->realFft, true) + 16 * static_cast<std::int64_t>(n) + 16;
    return StatusOk;
}

VpsStatus FftPathFwd(const DctSpec* spec, const double* x, double* y, double* w)
{
    const int n = spec->length;
    std::memcpy(w, x, sizeof(double) * n);
    std::memset(w + n, 0, sizeof(double) * n);
    VpsStatus st = dspFFTFwd_RToPerm_64f(w, w, spec->realFft, reinterpret_cast<Vps8u*>(w + 2 * n));
    if (st != StatusOk)
        return st;
    const Vps64fc* t = spec->outTwiddles;
    for (int k = 0; k < n; ++k)
        y[k] = w[2 * k] * t[k].re + w[2 * k + 1] * t[k].im;
    return StatusOk;
}

VpsStatus FftPathInv(const DctSpec* spec, const double* yv, double* x, double* w)
{
    const int n = spec->length;
    const Vps64fc* t = spec->outTwiddles;
    for (int k = 0; k < n; ++k) {
        w[2 * k] = yv[k] * t[k].re;
        w[2 * k + 1] = yv[k] * t[k].im;
    }
    VpsStatus st = dspFFTInv_PermToR_64f(w, w, spec->realFft, reinterpret_cast<Vps8u*>(w + 2 * n));
    if (st != StatusOk)
        return st;
    std::memcpy(x, w, sizeof(double) * n);
    return StatusOk;
}

VpsStatus ChirpPathInit(DctSpec* spec, bool inverse)
{
    const int n = spec->length;
    std::int64_t l = 1;
    while (l < 2 * static_cast<std::int64_t>(n) - 1)
        l *= 2;
    spec->chirpLength = static_cast<std::int32_t>(l);
    auto* c = static_cast<Vps64fc*>(dspMallocBytes(16 * static_cast<std::int64_t>(n)));
    if (!(spec->chirp = c))
        return StatusNoMemory;
    auto* h = static_cast<Vps64fc*>(dspMallocBytes(16 * l));
    if (!(spec->chirpFilter = h))
        return StatusNoMemory;
    Vps64fc* r = dspDFTTwiddles_64fc(2 * n);
    if (!r)
        return StatusNoMemory;
    std::int64_t u = 0;
    for (std::int64_t k = 0; k < n; ++k) {
        c[k] = r[u];
        if ((u += 2 * k + 1) >= 2 * static_cast<std::int64_t>(n))
            u -= 2 * static_cast<std::int64_t>(n);
    }
    // The real tables of length 2N are the first N roots of the same table.
    auto* table = static_cast<Vps64fc*>(dspMallocBytes(16 * static_cast<std::int64_t>(n)));
    if (table)
        for (int i = 0; i < n; ++i)
            table[i] = inverse ? r[i] : Vps64fc {0.5 * r[i].re, 0.5 + 0.5 * r[i].im};
    dspFree(r);
    dspConjVec_64fc(c, h, n);
    dspZeroVec_64fc(h + n, static_cast<int>(l - n));
    for (std::int64_t j = 1; j < n; ++j)
        h[l - j] = h[j];
    VpsStatus st = StatusNoMemory;
    if (!(spec->realTable = table))
        return st;
    if ((st = fallback::vpsFFTInitAlloc_C_64fc(&spec->chirpFft, DftLog2(l), 8, 0)) != StatusOk)
        return st;
    if ((st = fallback::vpsFFTFwd_CToC_64fc(h, h, spec->chirpFft, nullptr)) != StatusOk)
        return st;
    dspScale_64f_I(1.0 / static_cast<double>(l), &h->re, static_cast<int>(2 * l));
    spec->workSize = DftFftWorkSize(spec->chirpFft, false) + 16 * l + 16;
    if (!(spec->outTwiddles = OutTwiddles(n, inverse)))
        return StatusNoMemory;
    return StatusOk;
}

// The chirp-z convolution of q in place: q holds the L values already multiplied by the
// chirp and zero padded, in bit-reversed order when `permuted`. The N-point DFT is the
// first N results times the chirp, left to the caller.
void ChirpConvolve(const DctSpec* spec, Vps64fc* q, bool permuted)
{
    const int l = spec->chirpLength;
    dspChirpConvolve_64fc(spec->chirpFft, spec->chirpFilter, q, permuted, reinterpret_cast<Vps8u*>(q + l));
}

// The forward chirp path's last steps in one pass over the pairs k, N - k: the chirp
// product that ends the DFT, the recombination into the 2N-point real spectrum and the
// output twiddles. Only y is written; the spectrum itself is never stored.
void ChirpPathOutput(const DctSpec* spec, const Vps64fc* q, double* y)
{
    const int n = spec->length;
    const Vps64fc* c = spec->chirp;
    const Vps64fc* t = spec->outTwiddles;
    const Vps64fc* a = spec->realTable;
    // rounded as dspMulVec_64fc(chirp, q)
    const auto z = [&](int k) {
        return Vps64fc {c[k].re * q[k].re - c[k].im * q[k].im, c[k].im * q[k].re + c[k].re * q[k].im};
    };
    const Vps64fc z0 = z(0);
    y[0] = (z0.re + z0.im) * t[0].re + (z0.re - z0.im) * t[0].im;
    for (int k = 1; 2 * k < n; ++k) {
        const Vps64fc u = z(k), v = z(n - k);
        const DftPermPair p = dspDFTRealPostPair(u.re, u.im, v.re, v.im, a[k]);
        y[k] = p.kr * t[k].re + p.ki * t[k].im;
        y[n - k] = p.mr * t[n - k].re + p.mi * t[n - k].im;
    }
    if (n % 2 == 0) {
        const Vps64fc u = z(n / 2);
        y[n / 2] = u.re * t[n / 2].re + -u.im * t[n / 2].im;
    }
}

VpsStatus ChirpPathFwd(const DctSpec* spec, const double* x, double* y, Vps8u* work)
{
    const int n = spec->length;
    const std::int64_t l = spec->chirpLength;
    auto* q = reinterpret_cast<Vps64fc*>(work);
    // x padded with N zeros and packed in pairs leaves only the first (N + 1) / 2 of the
    // L values non-zero: each is multiplied by the chirp and put straight where the FFT
    // wants it, at its bit-reversed index, so the input needs no permutation pass.
    std::memset(static_cast<void*>(q), 0, sizeof(Vps64fc) * l);
    const int bits = DftLog2(l);
    for (int i = 0; i < (n + 1) / 2; ++i) {
        const double re = x[2 * i], im = 2 * i + 1 < n ? x[2 * i + 1] : 0.0;
        const Vps64fc c = spec->chirp[i];
        q[ReverseBits(static_cast<std::uint32_t>(i), bits)] = {c.re * re - c.im * im, c.im * re + c.re * im};
    }
    ChirpConvolve(spec, q, true);
    ChirpPathOutput(spec, q, y);
    return StatusOk;
}

VpsStatus ChirpPathInv(const DctSpec* spec, const double* yv, double* x, Vps8u* work)
{
    const int n = spec->length;
    auto* s = reinterpret_cast<Vps64fc*>(work);
    double* d = &s->re;
    const Vps64fc* t = spec->outTwiddles;
    for (int k = 0; k < n; ++k) {
        d[2 * k] = yv[k] * t[k].re;
        d[2 * k + 1] = yv[k] * t[k].im;
    }
    dspDFTRealPre_64f(d, d, n, spec->realTable);
    // Reversing the indexes (j -> (N - j) mod N) lets the forward DFT act as the inverse.
    for (int j = 1; j < n - j; ++j) {
        const Vps64fc v = s[j];
        s[j] = s[n - j];
        s[n - j] = v;
    }
    dspMulVec_64fc(spec->chirp, s, s, n);
    dspZeroVec_64fc(s + n, spec->chirpLength - n);
    ChirpConvolve(spec, s, false);
    dspMulVec_64fc(spec->chirp, s, s, n);
    std::memcpy(x, d, sizeof(double) * n);
    return StatusOk;
}

// ---- spec life ----

double* CosTable(int n)
{
    auto* c = static_cast<double*>(dspMallocBytes(32 * static_cast<std::int64_t>(n)));
    if (c)
        for (int i = 0; i < 4 * n; ++i)
            c[i] = dspCos(6.283185307179586 * i / (4.0 * n));
    return c;
}

double* SplitTable(int n)
{
    auto* t = static_cast<double*>(dspMallocBytes(8 * static_cast<std::int64_t>(n - 8)));
    if (!t)
        return nullptr;
    double* p = t;
    for (int a = n; a >= 16; a /= 2)
        for (int j = 0; j < a / 2; ++j)
            *p++ = 0.5 / dspCos((2 * j + 1) * 3.141592653589793 / (2.0 * a));
    return t;
}

void dspDCTSpecFree(DctSpec* spec)
{
    if (!spec)
        return;
    dspFree(spec->cosTable);
    dspFree(spec->splitTable);
    dspFree(spec->outTwiddles);
    dspFree(spec->realTable);
    dspFree(spec->chirp);
    dspFree(spec->chirpFilter);
    if (spec->realFft)
        fallback::vpsFFTFree_R_64f(spec->realFft);
    if (spec->chirpFft)
        fallback::vpsFFTFree_C_64fc(spec->chirpFft);
    spec->id = 0;
    dspFree(spec);
}

VpsStatus DctInit(DctSpec** out, int n, int hint, bool inverse)
{
    if (!out)
        return StatusNullPointer;
    if (n < 1)
        return StatusBadSize;
    auto* spec = static_cast<DctSpec*>(dspMallocBytes(sizeof(DctSpec)));
    if (!spec)
        return StatusNoMemory;
    std::memset(static_cast<void*>(spec), 0, sizeof(DctSpec));
    spec->id = inverse ? kIdDctSpecInv : kIdDctSpecFwd;
    spec->length = n;
    spec->hint = hint;
    VpsStatus st = StatusOk;
    if (DftIsPowerOfTwo(n) && n <= 8) {
        spec->fixedKernel = 1;
    } else {
        const vpsloops::Ext root = std::sqrt(static_cast<vpsloops::Ext>(n));
        spec->dcScale = static_cast<double>(1.0L / root);
        spec->acScale = static_cast<double>(kSqrt2Below / root);
        if (DftIsPowerOfTwo(n)) {
            spec->powerOfTwo = 1;
            if (hint == kDctFftHint && n > kDctFftPathMin) {
                spec->fftPath = 1;
                st = FftPathInit(spec, inverse);
            } else {
                spec->splitTable = SplitTable(n);
                st = spec->splitTable ? StatusOk : StatusNoMemory;
                spec->workSize = 8 * static_cast<std::int64_t>(n) + 16;
            }
        } else if (n > kDctDirectLimit) {
            spec->chirpPath = 1;
            st = ChirpPathInit(spec, inverse);
        } else {
            spec->cosTable = CosTable(n);
            st = spec->cosTable ? StatusOk : StatusNoMemory;
            spec->workSize = 8 * static_cast<std::int64_t>(n) + 16;
        }
    }
    if (st != StatusOk) {
        dspDCTSpecFree(spec);
        return st;
    }
    *out = spec;
    return StatusOk;
}

VpsStatus DctFree(DctSpec* spec, std::uint32_t id)
{
    if (!spec)
        return StatusNullPointer;
    if (spec->id != id)
        return StatusWrongContext;
    dspDCTSpecFree(spec);
    return StatusOk;
}

void ScaleCoefficients(const DctSpec* spec, double* v)
{
    v[0] *= spec->dcScale;
    dspScale_64f_I(spec->acScale, v + 1, spec->length - 1);
}

template <bool Inv> VpsStatus DctRun(const double* src, double* dst, const DctSpec* spec, Vps8u* buffer)
{
    if (!spec)
        return StatusNullPointer;
    if (spec->id != (Inv ? kIdDctSpecInv : kIdDctSpecFwd))
        return StatusWrongContext;
    if (!src || !dst)
        return StatusNullPointer;
    const int n = spec->length;
    if (spec->fixedKernel) {
        (Inv ? kInvKernels : kFwdKernels)[n - 1](src, dst);
        return StatusOk;
    }
    DftWork work(spec->workSize, buffer);
    if (!work.ok())
        return StatusNoMemory;
    auto* w = reinterpret_cast<double*>(work.get());
    if (spec->fftPath)
        return Inv ? FftPathInv(spec, src, dst, w) : FftPathFwd(spec, src, dst, w);
    if (spec->chirpPath)
        return Inv ? ChirpPathInv(spec, src, dst, work.get()) : ChirpPathFwd(spec, src, dst, work.get());
    if (Inv) {
        if (spec->powerOfTwo) {
            std::memmove(dst, src, sizeof(double) * n);
            ScaleCoefficients(spec, dst);
            dspDCTInvSplit_64f(dst, dst, n, spec->splitTable, w);
        } else {
            std::memcpy(w, src, sizeof(double) * n);
            ScaleCoefficients(spec, w);
            dspDCTInvDirect_64f(w, dst, n, spec->cosTable);
        }
    } else {
        if (spec->powerOfTwo)
            dspDCTFwdSplit_64f(src, dst, n, spec->splitTable, w);
        else
            dspDCTFwdDirect_64f(src, dst, n, spec->cosTable, w);
        ScaleCoefficients(spec, dst);
    }
    return StatusOk;
}

}  // namespace

namespace fallback {

VpsStatus vpsDCTFwdInitAlloc_64f(DctSpec** ppSpec, int length, int hint)
{
    return DctInit(ppSpec, length, hint, false);
}

VpsStatus vpsDCTInvInitAlloc_64f(DctSpec** ppSpec, int length, int hint) { return DctInit(ppSpec, length, hint, true); }

VpsStatus vpsDCTFwdFree_64f(DctSpec* pSpec) { return DctFree(pSpec, kIdDctSpecFwd); }

VpsStatus vpsDCTInvFree_64f(DctSpec* pSpec) { return DctFree(pSpec, kIdDctSpecInv); }

VpsStatus vpsDCTFwd_64f(const double* pSrc, double* pDst, const DctSpec* pSpec, Vps8u* pBuffer)
{
    return DctRun<false>(pSrc, pDst, pSpec, pBuffer);
}

VpsStatus vpsDCTInv_64f(const double* pSrc, double* pDst, const DctSpec* pSpec, Vps8u* pBuffer)
{
    return DctRun<true>(pSrc, pDst, pSpec, pBuffer);
}

}  // namespace fallback

VpsStatus dspDCTGetBufSize_64f(const DctSpec* pSpec, std::int64_t* pSize) noexcept
{
    if (!pSpec || !pSize)
        return StatusNullPointer;
    if (pSpec->id != kIdDctSpecFwd && pSpec->id != kIdDctSpecInv)
        return StatusWrongContext;
    *pSize = pSpec->workSize;
    return StatusOk;
}

}  // namespace dcs
