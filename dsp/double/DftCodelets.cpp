#include "dsp/double/DftCodeletsInternal.h"

namespace dcs {

namespace {

constexpr double kC = -0.5;
constexpr double kH = -0.8660254037844386;

template <bool Inv> void Complex3(const Vps64fc* x, Vps64fc* y, double f)
{
    const double x0r = f * x[0].re, x0i = f * x[0].im;
    const double sr = f * (x[1].re + x[2].re), si = f * (x[1].im + x[2].im);
    const double dr = f * (x[1].re - x[2].re), di = f * (x[1].im - x[2].im);
    const double ar = x0r + kC * sr, ai = x0i + kC * si;
    const double hr = Inv ? -kH * di : kH * di;  // the sign of the h terms picks the direction
    const double hi = Inv ? -kH * dr : kH * dr;
    y[0] = {x0r + sr, x0i + si};
    y[1] = {ar - hr, ai + hi};
    y[2] = {ar + hr, ai - hi};
}

void Real3Fwd(const double* x, double* y, double f)
{
    const double x0 = f * x[0], s = f * (x[1] + x[2]), d = f * (x[1] - x[2]);
    y[0] = x0 + s;
    y[1] = x0 + kC * s;
    y[2] = kH * d;
}

void Real3Inv(const double* x, double* y, double f)
{
    const double a = f * x[0], b2 = f * (2.0 * x[1]), e2 = f * (2.0 * x[2]);
    y[0] = a + b2;
    y[1] = a + kC * b2 + kH * e2;
    y[2] = a + kC * b2 - kH * e2;
}

}  // namespace

void dspDFTFwd3_64fc(const Vps64fc* x, Vps64fc* y) { Complex3<false>(x, y, 1.0); }
void dspDFTFwd3Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Complex3<false>(x, y, f); }
void dspDFTInv3_64fc(const Vps64fc* x, Vps64fc* y) { Complex3<true>(x, y, 1.0); }
void dspDFTInv3Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Complex3<true>(x, y, f); }
void dspDFTFwd3_64f(const double* x, double* y) { Real3Fwd(x, y, 1.0); }
void dspDFTFwd3Scale_64f(const double* x, double* y, double f) { Real3Fwd(x, y, f); }
void dspDFTInv3_64f(const double* x, double* y) { Real3Inv(x, y, 1.0); }
void dspDFTInv3Scale_64f(const double* x, double* y, double f) { Real3Inv(x, y, f); }

const FftCodeletTable<Vps64fc, double> kDftFwdCodelets_64fc = {
    {dspFFT1_64fc, dspFFT2_64fc, dspDFTFwd3_64fc, dspFFTFwd4_64fc},
    {dspFFT1Scale_64fc, dspFFT2Scale_64fc, dspDFTFwd3Scale_64fc, dspFFTFwd4Scale_64fc}};
const FftCodeletTable<Vps64fc, double> kDftInvCodelets_64fc = {
    {dspFFT1_64fc, dspFFT2_64fc, dspDFTInv3_64fc, dspFFTInv4_64fc},
    {dspFFT1Scale_64fc, dspFFT2Scale_64fc, dspDFTInv3Scale_64fc, dspFFTInv4Scale_64fc}};
const FftCodeletTable<double, double> kDftFwdCodelets_64f = {
    {dspFFT1_64f, dspFFT2_64f, dspDFTFwd3_64f, dspFFTFwd4_64f},
    {dspFFT1Scale_64f, dspFFT2Scale_64f, dspDFTFwd3Scale_64f, dspFFTFwd4Scale_64f}};
const FftCodeletTable<double, double> kDftInvCodelets_64f = {
    {dspFFT1_64f, dspFFT2_64f, dspDFTInv3_64f, dspFFTInv4_64f},
    {dspFFT1Scale_64f, dspFFT2Scale_64f, dspDFTInv3Scale_64f, dspFFTInv4Scale_64f}};

}  // namespace dcs
