#include "dsp/SignalGenerationEntries.h"

#include "dsp/DspCore.h"
#include "dsp/SwbRandom.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace dcs {
namespace fallback {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

// Truncation toward zero into 16 bits, saturating.
inline Vps16s toSample(double v)
{
    v = v > -32768.0 ? v : -32768.0;
    v = v < 32767.0 ? v : 32767.0;
    return static_cast<Vps16s>(static_cast<std::int32_t>(v));
}

// Phase after len samples of angular step w, reduced into [0, 2pi). The caller keeps
// it as a float: a value just below 2pi rounds to the float nearest 2pi, which lies
// above 2pi and which the next call would refuse, silencing the generator for good.
// 2pi is the same angle as 0, so that case stores 0.
float advancePhase(double phi, double w, int len)
{
    const double p = phi + w * len;
    const double reduced = p - kTwoPi * std::floor(p / kTwoPi);
    if (!(reduced >= 0.0 && reduced < kTwoPi))
        return 0.0f;
    const float stored = static_cast<float>(reduced);
    return static_cast<double>(stored) < kTwoPi ? stored : 0.0f;
}

// Range checks written so that NaN fails them as well.
inline bool inHalfOpen(double x, double lo, double hi) { return x >= lo && x < hi; }

}  // namespace

int vpsTone_Direct_16s(Vps16s* pDst, int len, Vps16s magn, float rFreq, float* pPhase, int /*hint*/)
{
    if (!pPhase)
        return StatusNullPointer;
    if (magn <= 0)
        return StatusToneMagnitude;
    const double f = rFreq;
    if (!inHalfOpen(f, 0.0, 0.5))
        return StatusToneFrequency;
    const double phi = *pPhase;
    if (!inHalfOpen(phi, 0.0, kTwoPi))
        return StatusTonePhase;
    if (!pDst)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;

    const double w = kTwoPi * f;
    *pPhase = advancePhase(phi, w, len);

    // y[n] = M cos(phi + n w) by the Chebyshev recurrence: two samples from the
    // cosine, then y[n] = K y[n-1] - y[n-2], then the two-step form
    // y[n] = K2 y[n-2] - y[n-4] up to sample 15.
    const double m = magn;
    const double k1 = 2.0 * std::cos(w);
    const double k2 = k1 * k1 - 2.0;
    double y[16];
    y[0] = m * std::cos(phi);
    pDst[0] = toSample(y[0]);
    if (len == 1)
        return StatusOk;
    y[1] = m * std::cos(phi + w);
    pDst[1] = toSample(y[1]);
    if (len == 2)
        return StatusOk;
    y[2] = k1 * y[1] - y[0];
    pDst[2] = toSample(y[2]);
    if (len == 3)
        return StatusOk;
    y[3] = k1 * y[2] - y[1];
    pDst[3] = toSample(y[3]);
    const int head = len < 16 ? len : 16;
    for (int n = 4; n < head; ++n) {
        y[n] = k2 * y[n - 2] - y[n - 4];
        pDst[n] = toSample(y[n]);
    }
    if (len <= 16)
        return StatusOk;

    // From sample 16 on, the eight-step form y[n] = K8 y[n-8] - y[n-16]: eight
    // independent chains, so a block of eight samples is four vector multiply-subtracts
    // instead of a chain of dependent multiplies. K8 comes straight from the cosine
    // rather than from squaring K three times, which would multiply its rounding error
    // by 64.
    const double k8 = 2.0 * std::cos(8.0 * w);
    double a[8];  // y[n-16 .. n-9]
    double b[8];  // y[n-8 .. n-1]
    for (int i = 0; i < 8; ++i) {
        a[i] = y[i];
        b[i] = y[i + 8];
    }
    int n = 16;
#if defined(__SSE2__)
    // The conversion truncates toward zero and the pack saturates to 16 bits.
    const __m128d k = _mm_set1_pd(k8);
    __m128d a0 = _mm_loadu_pd(a), a1 = _mm_loadu_pd(a + 2), a2 = _mm_loadu_pd(a + 4), a3 = _mm_loadu_pd(a + 6);
    __m128d b0 = _mm_loadu_pd(b), b1 = _mm_loadu_pd(b + 2), b2 = _mm_loadu_pd(b + 4), b3 = _mm_loadu_pd(b + 6);
    for (; n + 8 <= len; n += 8) {
        const __m128d c0 = _mm_sub_pd(_mm_mul_pd(k, b0), a0);
        const __m128d c1 = _mm_sub_pd(_mm_mul_pd(k, b1), a1);
        const __m128d c2 = _mm_sub_pd(_mm_mul_pd(k, b2), a2);
        const __m128d c3 = _mm_sub_pd(_mm_mul_pd(k, b3), a3);
        a0 = b0;
        a1 = b1;
        a2 = b2;
        a3 = b3;
        b0 = c0;
        b1 = c1;
        b2 = c2;
        b3 = c3;
        const __m128i lo = _mm_unpacklo_epi64(_mm_cvttpd_epi32(c0), _mm_cvttpd_epi32(c1));
        const __m128i hi = _mm_unpacklo_epi64(_mm_cvttpd_epi32(c2), _mm_cvttpd_epi32(c3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + n), _mm_packs_epi32(lo, hi));
    }
    _mm_storeu_pd(a, a0);
    _mm_storeu_pd(a + 2, a1);
    _mm_storeu_pd(a + 4, a2);
    _mm_storeu_pd(a + 6, a3);
    _mm_storeu_pd(b, b0);
    _mm_storeu_pd(b + 2, b1);
    _mm_storeu_pd(b + 4, b2);
    _mm_storeu_pd(b + 6, b3);
#else
    for (; n + 8 <= len; n += 8) {
        for (int i = 0; i < 8; ++i) {
            const double c = k8 * b[i] - a[i];
            a[i] = b[i];
            b[i] = c;
            pDst[n + i] = toSample(c);
        }
    }
#endif
    for (int i = 0; n + i < len; ++i)
        pDst[n + i] = toSample(k8 * b[i] - a[i]);
    return StatusOk;
}

int vpsTriangle_Direct_16s(Vps16s* pDst, int len, Vps16s magn, float rFreq, float asym, float* pPhase)
{
    if (!pPhase)
        return StatusNullPointer;
    if (magn <= 0)
        return StatusTriangleMagnitude;
    const double f = rFreq;
    if (!inHalfOpen(f, 0.0, 0.5))
        return StatusTriangleFrequency;
    const double a = asym;
    if (!inHalfOpen(a, -kPi, kPi))
        return StatusTriangleAsymmetry;
    const double phi = *pPhase;
    if (!inHalfOpen(phi, 0.0, kTwoPi))
        return StatusTrianglePhase;
    if (!pDst)
        return StatusNullPointer;
    if (len <= 0)
        return StatusBadSize;

    *pPhase = advancePhase(phi, kTwoPi * f, len);

    // The wave falls from +M at phase 0 to -M at phase T = pi + a and rises back to
    // +M at 2pi. The checks above keep both halves longer than zero.
    const double m = magn;
    const double fall = kPi + a;
    const double rise = kPi - a;
    const double stepFall = -4.0 * kPi * m * f / fall;
    const double stepRise = 4.0 * kPi * m * f / rise;
    const double reflectRise = rise / fall;  // overshoot above +M, in falling slope
    const double reflectFall = fall / rise;  // overshoot below -M, in rising slope
    const double periodRise = 4.0 * kPi * m / rise;
    const double periodFall = 4.0 * kPi * m / fall;

    double v;
    double step;
    if (phi < fall) {
        v = m * (1.0 - 2.0 * phi / fall);
        step = stepFall;
    } else {
        v = m * (2.0 * (phi - fall) / rise - 1.0);
        step = stepRise;
    }
    bool rising = step > 0.0;
    for (int i = 0; i < len; ++i) {
        pDst[i] = toSample(v);
        v += step;
        if (rising) {
            if (v > m) {
                double folded = m - reflectRise * (v - m);
                if (folded < -m) {
                    folded = v - periodRise;
                } else {
                    step = stepFall;
                    rising = step > 0.0;
                }
                v = folded;
            }
        } else if (v < -m) {
            double folded = -m - reflectFall * (v + m);
            if (folded > m) {
                folded = v + periodFall;
            } else {
                step = stepRise;
                rising = step > 0.0;
            }
            v = folded;
        }
    }
    return StatusOk;
}

int vpsRandUniform_Direct_16s(Vps16s* pDst, int len, Vps16s low, Vps16s high, Vps32u* pSeed)
{
    if (const VpsStatus st = DspCheck(len, pDst, pSeed))
        return st;
    SwbRandom rng(*pSeed);
    const double mid = (static_cast<double>(low) + high) * 0.5;
    const double scale = (static_cast<double>(high) - low) * 0x1p-32;
    for (int i = 0; i < len; ++i) {
        // Lies in [low, high) (mirrored when low > high), so it fits 16 bits.
        pDst[i] = static_cast<Vps16s>(static_cast<std::int32_t>(mid + scale * rng.next()));
    }
    *pSeed = rng.lastSwb();
    return StatusOk;
}

int vpsRandGauss_Direct_16s(Vps16s* pDst, int len, Vps16s mean, Vps16s stdDev, Vps32u* pSeed)
{
    if (const VpsStatus st = DspCheck(len, pDst, pSeed))
        return st;
    SwbRandom rng(*pSeed);
    double u = 0.0;
    double v = 0.0;
    double k = 0.0;
    // Polar method: draw points of the square until one falls inside the unit circle
    // (and off its centre), then scale both coordinates into a normal pair.
    auto draw = [&] {
        for (;;) {
            const Vps32u xa = rng.nextSwb();
            const Vps32u xb = rng.nextSwb();
            const Vps32u ga = rng.nextLcg();
            const Vps32u gb = rng.nextLcg();
            u = static_cast<std::int32_t>(xa + ga) * 0x1p-31;
            v = static_cast<std::int32_t>(xb + gb) * 0x1p-31;
            const double s = u * u + v * v;
            if (s < 1.0 && s != 0.0) {
                k = stdDev * dspSqrt(-2.0 * dspLn(s) / s);
                return;
            }
        }
    };
    auto sample = [&](double x) {
        const double t = std::trunc(mean + k * x);
        return static_cast<Vps16s>(t > 32767.0 ? 32767.0 : (t < -32768.0 ? -32768.0 : t));
    };
    draw();
    int i = 0;
    for (; len - i >= 2; i += 2) {
        pDst[i] = sample(v);
        pDst[i + 1] = sample(u);
        draw();
    }
    if (i < len)
        pDst[i] = sample(v);
    *pSeed = rng.lastSwb();
    return StatusOk;
}

int vpsThreshold_LTValGTVal_16s_I(Vps16s* pSrcDst, int len, Vps16s levelLT, Vps16s valueLT, Vps16s levelGT,
                                  Vps16s valueGT)
{
    if (const VpsStatus st = DspCheck(len, pSrcDst))
        return st;
    if (levelGT < levelLT)
        return StatusThresholdLevels;
    for (int i = 0; i < len; ++i) {
        const Vps16s x = pSrcDst[i];
        pSrcDst[i] = x < levelLT ? valueLT : (x > levelGT ? valueGT : x);
    }
    return StatusOk;
}

int vpsAdd_16s_I(const Vps16s* pSrc, Vps16s* pSrcDst, int len)
{
    if (const VpsStatus st = DspCheck(len, pSrc, pSrcDst))
        return st;
    for (int i = 0; i < len; ++i) {
        int s = pSrc[i] + pSrcDst[i];
        s = s < -32768 ? -32768 : s;
        s = s > 32767 ? 32767 : s;
        pSrcDst[i] = static_cast<Vps16s>(s);
    }
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsTone_Direct_16s)
DCS_DSP_DEFINE(vpsTriangle_Direct_16s)
DCS_DSP_DEFINE(vpsRandUniform_Direct_16s)
DCS_DSP_DEFINE(vpsRandGauss_Direct_16s)
DCS_DSP_DEFINE(vpsThreshold_LTValGTVal_16s_I)
DCS_DSP_DEFINE(vpsAdd_16s_I)

namespace {
// The signal vector fallbacks' generation entries, in their registration order.
constexpr DspEntryDef kSignalGenerationEntries[] = {
    DCS_DSP_ENTRY(vpsAdd_16s_I),
    DCS_DSP_ENTRY(vpsRandUniform_Direct_16s),
    DCS_DSP_ENTRY(vpsRandGauss_Direct_16s),
    DCS_DSP_ENTRY(vpsThreshold_LTValGTVal_16s_I),
    DCS_DSP_ENTRY(vpsTone_Direct_16s),
    DCS_DSP_ENTRY(vpsTriangle_Direct_16s),
};
}  // namespace

void RegisterSignalGenerationEntries(DspRegistrar& r) { r.Add(kSignalGenerationEntries); }

}  // namespace dcs
