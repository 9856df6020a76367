#include "dsp/double/DftChirpInternal.h"

#include <immintrin.h>

#include "dsp/DspCore.h"
#include "dsp/double/DftMixedRadix.h"
#include "dsp/spectral/FftCodelets.h"
#include "dsp/spectral/FftEngine.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/FftTransforms.h"

namespace dcs {

namespace {

// Two products per 256-bit register, each lane the operations of the SSE2 loop in the
// same order (no fused multiply-add), so both give the same bits.
__attribute__((target("avx"))) void MulVecAvx(const Vps64fc* a, const Vps64fc* b, Vps64fc* dst, int n)
{
    const __m256d negLow = _mm256_set_pd(0.0, -0.0, 0.0, -0.0);
    for (int i = 0; i + 1 < n; i += 2) {
        const __m256d x = _mm256_loadu_pd(&a[i].re);
        const __m256d y = _mm256_loadu_pd(&b[i].re);
        const __m256d cross = _mm256_mul_pd(_mm256_permute_pd(x, 0x5), _mm256_permute_pd(y, 0xF));
        _mm256_storeu_pd(&dst[i].re,
                         _mm256_add_pd(_mm256_mul_pd(x, _mm256_movedup_pd(y)), _mm256_xor_pd(cross, negLow)));
    }
}

bool HasAvx()
{
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

}  // namespace

void dspMulVec_64fc(const Vps64fc* a, const Vps64fc* b, Vps64fc* dst, int n) noexcept
{
    // One product per SSE2 register: (x.re·y.re + -(x.im·y.im), x.im·y.re + x.re·y.im), the
    // same roundings as the plain formula; dst may be a or b.
    int i = 0;
    if (HasAvx()) {
        MulVecAvx(a, b, dst, n);
        i = n & ~1;
    }
    const __m128d negLow = _mm_set_pd(0.0, -0.0);
    for (; i < n; ++i) {
        const __m128d x = _mm_loadu_pd(&a[i].re);
        const __m128d y = _mm_loadu_pd(&b[i].re);
        const __m128d cross = _mm_mul_pd(_mm_shuffle_pd(x, x, 1), _mm_unpackhi_pd(y, y));
        _mm_storeu_pd(&dst[i].re, _mm_add_pd(_mm_mul_pd(x, _mm_unpacklo_pd(y, y)), _mm_xor_pd(cross, negLow)));
    }
}

void dspZeroVec_64fc(Vps64fc* dst, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        dst[i] = {0.0, 0.0};
}

void dspConjVec_64fc(const Vps64fc* src, Vps64fc* dst, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        dst[i] = {src[i].re, -src[i].im};
}

std::int64_t DftFftWorkSize(const FftSpec* fft, bool real) noexcept
{
    int size = 0;
    if (real)
        dspFFTGetBufSize_R_64f(fft, &size);
    else
        dspFFTGetBufSize_C_64fc(fft, &size);
    return size;
}

VpsStatus dspDFTChirpInit_64fc(DftSpec* spec, int n, const Vps64fc* table, int tableLen) noexcept
{
    std::int64_t m = 1;
    while (m < 2 * static_cast<std::int64_t>(n) - 1)
        m *= 2;
    const int order = DftLog2(m);
    if (order > 30)
        return StatusNoMemory;  // no FFT that long; the spec's fields stay empty
    spec->chirpLength = static_cast<std::int32_t>(m);
    auto* c = static_cast<Vps64fc*>(dspMallocBytes(16 * static_cast<std::int64_t>(n)));
    if (!(spec->chirp = c))
        return StatusNoMemory;
    auto* h = static_cast<Vps64fc*>(dspMallocBytes(16 * m));
    if (!(spec->chirpFilter = h))
        return StatusNoMemory;
    const Vps64fc* roots2 = table;
    Vps64fc* own = nullptr;
    if (tableLen == n) {
        if (!(own = dspDFTTwiddles_64fc(2 * n)))
            return StatusNoMemory;
        roots2 = own;
    }
    // u walks n^2 mod 2n by additions only.
    std::int64_t u = 0;
    for (std::int64_t k = 0; k < n; ++k) {
        c[k] = roots2[u];
        u += 2 * k + 1;
        while (u >= 2 * static_cast<std::int64_t>(n))
            u -= 2 * static_cast<std::int64_t>(n);
    }
    dspFree(own);
    dspConjVec_64fc(c, h, n);
    dspZeroVec_64fc(h + n, static_cast<int>(m - n));
    for (std::int64_t k = 1; k < n; ++k)
        h[m - k] = h[k];
    VpsStatus st = fallback::vpsFFTInitAlloc_C_64fc(&spec->chirpFft, order, 8, 0);
    if (st != StatusOk)
        return st;
    if ((st = fallback::vpsFFTFwd_CToC_64fc(h, h, spec->chirpFft, nullptr)) != StatusOk)
        return st;
    dspScale_64f_I(1.0 / static_cast<double>(m), &h->re, static_cast<int>(2 * m));
    spec->workSize = DftFftWorkSize(spec->chirpFft, false) + 16 * m + 16;
    return StatusOk;
}

void dspChirpConvolve_64fc(const FftSpec* fft, const Vps64fc* filter, Vps64fc* q, bool permuted, Vps8u* work) noexcept
{
    const std::int64_t m = std::int64_t {1} << fft->order;
    // The forward transform wants its input bit-reversed and gives natural order; the
    // product is formed while the spectrum is moved into bit-reversed order for the
    // inverse, so the two permutations of the entries cost one pass between them.
    if (!permuted)
        dspFFTPermute_I<double>(q, m, fft->bitRev);
    FftComplexPermuted<false>(fft, q, work);
    dspFFTMulPermute_I(filter, q, m, fft->bitRev);
    FftComplexPermuted<true>(fft, q, work);
}

VpsStatus dspDFTChirp_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, int n, int direction,
                           Vps8u* work) noexcept
{
    const int m = spec->chirpLength;
    auto* y = reinterpret_cast<Vps64fc*>(work);
    Vps8u* fftWork = work + 16 * static_cast<std::int64_t>(m);
    dspMulVec_64fc(spec->chirp, src, y, n);
    dspZeroVec_64fc(y + n, m - n);
    dspChirpConvolve_64fc(spec->chirpFft, spec->chirpFilter, y, false, fftWork);
    dspMulVec_64fc(spec->chirp, y, dst, n);
    if (direction < 0)
        for (int k = 1; k < n - k; ++k) {
            const Vps64fc t = dst[k];
            dst[k] = dst[n - k];
            dst[n - k] = t;
        }
    return StatusOk;
}

}  // namespace dcs
