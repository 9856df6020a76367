#include "dsp/double/Generators.h"

#include "dsp/DspCore.h"
#include "dsp/SwbRandom.h"

namespace dcs {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kInvTwoPi = 0.15915494309189535;
constexpr double kFourPi = 12.566370614359172;

// Range checks written so that NaN fails them as well.
inline bool InHalfOpen(double x, double lo, double hi) { return x >= lo && x < hi; }

// The phase after len samples of step w, reduced into [0, 2π).
double NextPhase(double phase, double w, int len)
{
    const double p = w * len + phase;
    const double r = p - dspFloor(p * kInvTwoPi) * kTwoPi;
    return r < 0.0 || r >= kTwoPi ? 0.0 : r;
}

// The degenerate triangle whose falling part takes no phase: every sample from its own
// phase, so no accumulated step can miss the jump from +M back to -M.
void Sawtooth(double* pDst, int len, double magn, double w, double phase)
{
    for (int n = 0; n < len; ++n) {
        const long double t = (phase + static_cast<long double>(n) * w) / static_cast<long double>(kTwoPi);
        const long double frac = t - static_cast<long double>(static_cast<std::int64_t>(t));
        pDst[n] = static_cast<double>(magn * (2.0L * frac - 1.0L));
    }
}

}  // namespace

namespace fallback {

VpsStatus vpsTone_Direct_64f(double* pDst, int len, double magn, double rFreq, double* pPhase, int /*hint*/)
{
    if (!pPhase)
        return StatusNullPointer;
    if (!(magn > 0.0))
        return StatusToneMagnitude;
    if (!InHalfOpen(rFreq, 0.0, 0.5))
        return StatusToneFrequency;
    const double phase = *pPhase;
    if (!InHalfOpen(phase, 0.0, kTwoPi))
        return StatusTonePhase;
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;

    const double w = kTwoPi * rFreq;
    *pPhase = NextPhase(phase, w, len);
    // magn·cos(phase + n·w) by the Chebyshev recurrence, from n = 4 on in steps of 2w on two
    // independent chains (even and odd n).
    pDst[0] = magn * dspCos(phase);
    if (len == 1)
        return StatusOk;
    pDst[1] = magn * dspCos(phase + w);
    const double cw = dspCos(w);
    const double c2 = cw + cw;
    if (len == 2)
        return StatusOk;
    pDst[2] = c2 * pDst[1] - pDst[0];
    if (len == 3)
        return StatusOk;
    pDst[3] = c2 * pDst[2] - pDst[1];
    const double k = c2 * c2 - 2.0;
    double e4 = pDst[0], o4 = pDst[1], e2 = pDst[2], o2 = pDst[3];  // y(n-4), y(n-3), y(n-2), y(n-1)
    int n = 4;
    for (; n + 1 < len; n += 2) {
        const double e = k * e2 - e4;
        const double o = k * o2 - o4;
        pDst[n] = e;
        pDst[n + 1] = o;
        e4 = e2;
        o4 = o2;
        e2 = e;
        o2 = o;
    }
    if (n < len)
        pDst[n] = k * e2 - e4;
    return StatusOk;
}

VpsStatus vpsTriangle_Direct_64f(double* pDst, int len, double magn, double rFreq, double asym, double* pPhase)
{
    if (!pPhase)
        return StatusNullPointer;
    if (!(magn > 0.0))
        return StatusTriangleMagnitude;
    if (!InHalfOpen(rFreq, 0.0, 0.5))
        return StatusTriangleFrequency;
    if (!InHalfOpen(asym, -kPi, kPi))
        return StatusTriangleAsymmetry;
    const double phase = *pPhase;
    if (!InHalfOpen(phase, 0.0, kTwoPi))
        return StatusTrianglePhase;
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;

    *pPhase = NextPhase(phase, kTwoPi * rFreq, len);
    const double m = magn;
    const double u = kPi + asym;  // phase taken by the fall
    const double v = kPi - asym;  // phase taken by the rise
    if (u == 0.0) {
        Sawtooth(pDst, len, m, kTwoPi * rFreq, phase);
        return StatusOk;
    }
    const double s = (kFourPi * m) * rFreq;
    const double down = -s / u;
    const double up = s / v;
    const double foldDown = -v / u;  // slope ratio that reflects an overshoot above +M
    const double foldUp = -u / v;    // and below -M
    const double g = m - foldDown * m;
    const double h = foldUp * m - m;
    const double wrapUp = kFourPi * m / v;
    const double wrapDown = kFourPi * m / u;

    double y, d;
    if (phase < u) {
        y = m * (1.0 - 2.0 * phase / u);
        d = down;
    } else {
        y = m * ((phase - u) * 2.0 / v - 1.0);
        d = up;
    }
    bool rising = d > 0.0;
    for (int i = 0; i < len; ++i) {
        pDst[i] = y;
        const double next = y + d;
        if (rising && next > m) {
            const double z = next * foldDown + g;
            if (z >= -m) {
                y = z;
                d = down;
                rising = false;
            } else {
                y = next - wrapUp;
            }
        } else if (!rising && next < -m) {
            const double z = next * foldUp + h;
            if (z <= m) {
                y = z;
                d = up;
                rising = true;
            } else {
                y = next + wrapDown;
            }
        } else {
            y = next;
        }
    }
    return StatusOk;
}

VpsStatus vpsRandGauss_Direct_64f(double* pDst, int len, double mean, double stdev, Vps32u* pSeed)
{
    if (const VpsStatus st = DspCheck(len, pDst, pSeed))
        return st;
    SwbRandom rng(*pSeed);
    double x1 = 0.0, x2 = 0.0, f = 0.0;
    // Polar method: points of the square until one falls inside the unit circle and off
    // its centre, both coordinates then scaled into a normal pair.
    auto accept = [&] {
        for (;;) {
            x1 = rng.next() * 4.656612873077e-10;
            x2 = rng.next() * 4.656612873077e-10;
            const double s = x1 * x1 + x2 * x2;
            if (s < 1.0 && s != 0.0) {
                f = dspSqrt(-2.0 * dspLn(s) / s) * stdev;
                return;
            }
        }
    };
    accept();
    int i = 0;
    for (; len - i >= 2; i += 2) {
        pDst[i] = mean + x2 * f;
        pDst[i + 1] = mean + x1 * f;
        accept();
    }
    if (i < len)
        pDst[i] = mean + x2 * f;
    *pSeed = rng.lastSwb();
    return StatusOk;
}

VpsStatus vpsVectorRamp_64f(double* pDst, int len, float offset, float slope)
{
    if (const VpsStatus st = DspCheck(len, pDst))
        return st;
    const long double x0 = offset;
    const long double dx = slope;
    for (int i = 0; i < len; ++i)
        pDst[i] = static_cast<double>(x0 + i * dx);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsTone_Direct_64f)
DCS_DSP_DEFINE(vpsTriangle_Direct_64f)
DCS_DSP_DEFINE(vpsRandGauss_Direct_64f)
DCS_DSP_DEFINE(vpsVectorRamp_64f)

}  // namespace dcs
