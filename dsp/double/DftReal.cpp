// The real DFT entries. Even lengths run one complex transform of half the length and a
// linear recombination; odd lengths run the direct real DFT, the mixed-radix plan or the
// chirp-z plan on the real data; powers of two go to the real FFT. Every internal path
// produces the Perm layout, converted to CCS in place at the end.
#include "dsp/DspCore.h"
#include "dsp/double/DftChirpInternal.h"
#include "dsp/double/DftCodeletsInternal.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/DftMixedRadix.h"
#include "dsp/double/DftMixedRadixRealInternal.h"
#include "dsp/double/DftRealInternal.h"
#include "dsp/spectral/FftEntries.h"

namespace dcs {

void dspDFTRealPost_64f(double* x, int m, const Vps64fc* a) noexcept
{
    const double z0r = x[0], z0i = x[1];
    x[0] = z0r + z0i;
    x[1] = z0r - z0i;
    for (int k = 1; 2 * k < m; ++k) {
        double* pa = x + 2 * k;
        double* pb = x + 2 * (m - k);
        const DftPermPair r = dspDFTRealPostPair(pa[0], pa[1], pb[0], pb[1], a[k]);
        pa[0] = r.kr;
        pa[1] = r.ki;
        pb[0] = r.mr;
        pb[1] = r.mi;
    }
    if (m % 2 == 0)
        x[m + 1] = -x[m + 1];
}

void dspDFTRealPre_64f(const double* p, double* q, int m, const Vps64fc* b) noexcept
{
    const double p0 = p[0], p1 = p[1];
    q[0] = p0 + p1;
    q[1] = p0 - p1;
    for (int k = 1; 2 * k < m; ++k) {
        const double c = p[2 * k], e = p[2 * k + 1];
        const double d = p[2 * (m - k)], f = p[2 * (m - k) + 1];
        const double wr = b[k].re, wi = b[k].im;
        const double h = wi * (c - d) - wr * (e + f);
        const double g = wr * (c - d) + wi * (e + f);
        q[2 * k] = c + d + h;
        q[2 * k + 1] = e - f + g;
        q[2 * (m - k)] = c + d - h;
        q[2 * (m - k) + 1] = g - (e - f);
    }
    if (m % 2 == 0) {
        q[m] = 2.0 * p[m];
        q[m + 1] = -2.0 * p[m + 1];
    }
}

void dspDFTDirect_64f(const double* x, std::ptrdiff_t xs, double* y, int n, const Vps64fc* t, double* w) noexcept
{
    const int h = (n + 1) / 2;
    const double x0 = x[0];
    double sum = x0;
    for (int j = 1; j < h; ++j) {
        const double a = x[j * xs], b = x[(n - j) * xs];
        w[2 * j - 2] = a + b;
        w[2 * j - 1] = a - b;
        sum += w[2 * j - 2];
    }
    y[0] = sum;
    for (int k = 1; k < h; ++k) {
        double re = x0, im = 0.0;
        int idx = k;
        for (int j = 1; j < h; ++j) {
            re += w[2 * j - 2] * t[idx].re;
            im += w[2 * j - 1] * t[idx].im;
            if ((idx += k) >= n)
                idx -= n;
        }
        y[2 * k - 1] = re;
        y[2 * k] = im;
    }
}

void dspDFTDirectInv_64f(const double* p, double* x, std::ptrdiff_t xs, int n, const Vps64fc* t, double* w) noexcept
{
    const int h = (n - 1) / 2;
    const double a = p[0];
    double sum = a;
    for (int k = 1; k <= h; ++k) {
        w[2 * k - 2] = 2.0 * p[2 * k - 1];
        w[2 * k - 1] = 2.0 * p[2 * k];
        sum += w[2 * k - 2];
    }
    x[0] = sum;
    for (int i = 1; i <= h; ++i) {
        double c = a, d = 0.0;
        int idx = i;
        for (int k = 1; k <= h; ++k) {
            c += w[2 * k - 2] * t[idx].re;
            d += w[2 * k - 1] * t[idx].im;
            if ((idx += i) >= n)
                idx -= n;
        }
        x[i * xs] = c + d;
        x[(n - i) * xs] = c - d;
    }
}

namespace {

constexpr int kDirectRealLimit = 180;  // odd real lengths up to here run the direct sums

void ReleaseReal(DftSpec* spec)
{
    if (spec->fft)
        fallback::vpsFFTFree_R_64f(spec->fft);
    dspDFTSpecFree(spec);
}

// A[k] = (0.5 c_k, 0.5 s_k + 0.5) or the plain roots, k < (n + 3) / 4.
Vps64fc* RealTable(int n, const Vps64fc* roots, bool post)
{
    const int k = (n + 3) / 4;
    auto* t = static_cast<Vps64fc*>(dspMallocBytes(16 * static_cast<std::int64_t>(k)));
    if (t)
        for (int i = 0; i < k; ++i)
            t[i] = post ? Vps64fc {0.5 * roots[i].re, 0.5 * roots[i].im + 0.5} : roots[i];
    return t;
}

VpsStatus PlanReal(DftSpec* spec, int n)
{
    Vps64fc* roots = dspDFTTwiddles_64fc(n);
    if (!roots)
        return StatusNoMemory;
    VpsStatus st = StatusOk;
    if (n % 2 == 0) {
        const int m = n / 2;
        if (!(spec->realPost = RealTable(n, roots, true)) || !(spec->realPre = RealTable(n, roots, false))) {
            st = StatusNoMemory;
        } else if (dspDFTFactorize(spec, m)) {
            spec->mixedRadix = 1;
            st = dspDFTMixedRadixInit_64fc(spec, m, roots, n);
        } else if (m <= kDftMaxLastFactor) {
            spec->directRoots = dspDFTTwiddleSubset_64fc(m, roots, n);
            st = spec->directRoots ? StatusOk : StatusNoMemory;
            spec->workSize = 16 * static_cast<std::int64_t>(m) + 16;
        } else {
            st = dspDFTChirpInit_64fc(spec, m, roots, n);
        }
    } else if (dspDFTFactorize(spec, n)) {
        spec->mixedRadix = 1;
        st = dspDFTMixedRadixInit_64fc(spec, n, roots, n);
    } else if (n <= kDirectRealLimit) {
        spec->directRoots = dspDFTTwiddleSubset_64fc(n, roots, n);
        st = spec->directRoots ? StatusOk : StatusNoMemory;
        spec->workSize = 8 * static_cast<std::int64_t>(n) + 16;
    } else {
        st = dspDFTChirpInit_64fc(spec, n, roots, n);
    }
    dspFree(roots);
    return st;
}

// The chirp-z convolution of q (N values set, zero padded here) in place.
void ChirpConvolve(const DftSpec* spec, Vps64fc* q, int n)
{
    const int l = spec->chirpLength;
    Vps8u* fftWork = reinterpret_cast<Vps8u*>(q + l);
    dspZeroVec_64fc(q + n, l - n);
    dspChirpConvolve_64fc(spec->chirpFft, spec->chirpFilter, q, false, fftWork);
}

VpsStatus dspDFTChirpFwd_64f(const DftSpec* spec, const double* x, double* y, Vps8u* work)
{
    const int n = spec->length;
    auto* q = reinterpret_cast<Vps64fc*>(work);
    for (int i = 0; i < n; ++i)
        q[i] = {x[i] * spec->chirp[i].re, x[i] * spec->chirp[i].im};
    ChirpConvolve(spec, q, n);
    dspMulVec_64fc(spec->chirp, q, q, n);
    y[0] = q[0].re;
    for (int k = 1; 2 * k < n + 1; ++k) {
        y[2 * k - 1] = q[k].re;
        y[2 * k] = q[k].im;
    }
    return StatusOk;
}

// The inverse is the forward chirp-z transform of the conjugated full spectrum.
VpsStatus dspDFTChirpInv_64f(const DftSpec* spec, const double* p, double* x, Vps8u* work)
{
    const int n = spec->length;
    auto* q = reinterpret_cast<Vps64fc*>(work);
    q[0] = {p[0], 0.0};
    for (int k = 1; 2 * k < n + 1; ++k) {
        q[k] = {p[2 * k - 1], -p[2 * k]};
        q[n - k] = {p[2 * k - 1], p[2 * k]};
    }
    dspMulVec_64fc(spec->chirp, q, q, n);
    ChirpConvolve(spec, q, n);
    for (int i = 0; i < n; ++i)
        x[i] = q[i].re * spec->chirp[i].re - q[i].im * spec->chirp[i].im;
    return StatusOk;
}

void PermToCcs(double* d, int n)
{
    if (n % 2) {
        for (int j = n; j >= 3; j -= 2) {
            d[j] = d[j - 1];
            d[j - 1] = d[j - 2];
        }
        d[1] = 0.0;
    } else {
        d[n] = d[1];
        d[n + 1] = 0.0;
        d[1] = 0.0;
    }
}

VpsStatus ForwardPerm(const double* src, double* dst, const DftSpec* spec, Vps8u* work)
{
    const int n = spec->length;
    VpsStatus st = StatusOk;
    if (spec->powerOfTwo)
        return dspFFTFwd_RToPerm_64f(src, dst, spec->fft, work);
    if (n % 2 == 0) {
        const int m = n / 2;
        const auto* csrc = reinterpret_cast<const Vps64fc*>(src);
        auto* cdst = reinterpret_cast<Vps64fc*>(dst);
        if (spec->mixedRadix)
            dspDFTMixedRadixFwd_64fc(spec, csrc, cdst, work);
        else if (m <= kDftMaxLastFactor)
            dspDFTDirect_64fc(csrc, cdst, m, 1, spec->directRoots, work);
        else
            st = dspDFTChirp_64fc(spec, csrc, cdst, m, 1, work);
        if (st != StatusOk)
            return st;
        dspDFTRealPost_64f(dst, m, spec->realPost);
    } else if (spec->mixedRadix) {
        dspDFTMixedRadixFwd_64f(spec, src, dst, work);
    } else if (n <= kDirectRealLimit) {
        dspDFTDirect_64f(src, 1, dst, n, spec->directRoots, reinterpret_cast<double*>(work));
    } else {
        st = dspDFTChirpFwd_64f(spec, src, dst, work);
    }
    if (spec->forwardScaled && st == StatusOk)
        dspScale_64f_I(spec->scale, dst, n);
    return st;
}

VpsStatus CheckReal(const void* src, const void* dst, const DftSpec* spec)
{
    if (!spec)
        return StatusNullPointer;
    if (spec->id != kIdDftSpecReal)
        return StatusWrongContext;
    return src && dst ? StatusOk : StatusNullPointer;
}

}  // namespace

namespace fallback {

VpsStatus vpsDFTInitAlloc_R_64f(DftSpec** ppSpec, int length, int flag, int hint)
{
    if (!ppSpec)
        return StatusNullPointer;
    if (length < 1)
        return StatusBadSize;
    DftSpec* spec = nullptr;
    VpsStatus st = DftSpecAlloc(&spec, kIdDftSpecReal, length, flag, hint);
    if (st != StatusOk)
        return st;
    if (length > 4 && DftIsPowerOfTwo(length)) {
        spec->powerOfTwo = 1;
        st = fallback::vpsFFTInitAlloc_R_64f(&spec->fft, DftLog2(length), flag, hint);
        if (st == StatusOk)
            spec->workSize = DftFftWorkSize(spec->fft, true);
    } else if (length > 4) {
        st = PlanReal(spec, length);
    }
    if (st != StatusOk) {
        ReleaseReal(spec);
        return st;
    }
    *ppSpec = spec;
    return StatusOk;
}

VpsStatus vpsDFTFree_R_64f(DftSpec* pSpec)
{
    if (!pSpec)
        return StatusNullPointer;
    if (pSpec->id != kIdDftSpecReal)
        return StatusWrongContext;
    ReleaseReal(pSpec);
    return StatusOk;
}

VpsStatus vpsDFTFwd_RToCCS_64f(const double* pSrc, double* pDst, const DftSpec* pSpec, Vps8u* pBuffer)
{
    VpsStatus st = CheckReal(pSrc, pDst, pSpec);
    if (st != StatusOk)
        return st;
    const int n = pSpec->length;
    const bool scaled = pSpec->forwardScaled;
    if (n <= 4) {
        if (scaled)
            kDftFwdCodelets_64f.scaled[n - 1](pSrc, pDst, pSpec->scale);
        else
            kDftFwdCodelets_64f.plain[n - 1](pSrc, pDst);
        PermToCcs(pDst, n);
        return StatusOk;
    }
    DftWork work(pSpec->workSize, pBuffer);
    if (!work.ok())
        return StatusNoMemory;
    // A failed FFT still leaves its partial result, converted like a whole one.
    st = ForwardPerm(pSrc, pDst, pSpec, work.get());
    PermToCcs(pDst, n);
    return st;
}

VpsStatus vpsDFTInv_CCSToR_64f(const double* pSrc, double* pDst, const DftSpec* pSpec, Vps8u* pBuffer)
{
    VpsStatus st = CheckReal(pSrc, pDst, pSpec);
    if (st != StatusOk)
        return st;
    const int n = pSpec->length;
    const bool scaled = pSpec->inverseScaled;
    DftWork work(n > 4 ? pSpec->workSize : 0, pBuffer);
    if (!work.ok())
        return StatusNoMemory;
    // CCS to Perm into dst; the imaginary slots of R0 and R(N/2) are never read.
    pDst[0] = pSrc[0];
    if (n % 2) {
        for (int j = 1; j < n; ++j)
            pDst[j] = pSrc[j + 1];
    } else if (n > 1) {
        const double mid = pSrc[n];
        for (int j = 2; j < n; ++j)
            pDst[j] = pSrc[j];
        pDst[1] = mid;
    }
    if (n <= 4) {
        if (scaled)
            kDftInvCodelets_64f.scaled[n - 1](pDst, pDst, pSpec->scale);
        else
            kDftInvCodelets_64f.plain[n - 1](pDst, pDst);
        return StatusOk;
    }
    if (pSpec->powerOfTwo)
        return dspFFTInv_PermToR_64f(pDst, pDst, pSpec->fft, work.get());
    if (n % 2) {
        if (pSpec->mixedRadix)
            dspDFTMixedRadixInv_64f(pSpec, pDst, pDst, work.get());
        else if (n <= kDirectRealLimit)
            dspDFTDirectInv_64f(pDst, pDst, 1, n, pSpec->directRoots, reinterpret_cast<double*>(work.get()));
        else
            st = dspDFTChirpInv_64f(pSpec, pDst, pDst, work.get());
    } else {
        const int m = n / 2;
        auto* c = reinterpret_cast<Vps64fc*>(pDst);
        dspDFTRealPre_64f(pDst, pDst, m, pSpec->realPre);
        if (pSpec->mixedRadix)
            dspDFTMixedRadixInv_64fc(pSpec, c, c, work.get());
        else if (m <= kDftMaxLastFactor)
            dspDFTDirect_64fc(c, c, m, -1, pSpec->directRoots, work.get());
        else
            st = dspDFTChirp_64fc(pSpec, c, c, m, -1, work.get());
    }
    if (scaled && st == StatusOk)
        dspScale_64f_I(pSpec->scale, pDst, n);
    return st;
}

}  // namespace fallback

}  // namespace dcs
