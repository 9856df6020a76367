// Fully unrolled transforms of 1, 2, 4 and 8 points: every FFT of order 0 to 3 is one
// codelet call, with no tables and no allocation. Complex codelets work on interleaved
// complex values, real codelets on reals in and out of the Perm layout (X(0), X(N/2),
// then Re and Im of X(1)..X(N/2-1)). Every codelet reads each element before it writes
// that position, so src may equal dst. Scaled forms multiply the first-stage sums and
// differences by f as they are formed (the plain result times f, no extra pass). No
// checks, no status; unscaled inverses return N times the signal.
#pragma once

#include "dsp/DspTypes.h"
#include "dsp/FloatEntries.h"

namespace dcs {

// Eight codelets of one transform: plain[order] and scaled[order] for orders 0..3.
template <class D, class F> struct FftCodeletTable {
    void (*plain[4])(const D* src, D* dst);
    void (*scaled[4])(const D* src, D* dst, F f);
};

// ---- complex double (copy and 2-point serve both directions) ----
void dspFFT1_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFT1Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspFFT2_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFT2Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspFFTFwd4_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFTFwd4Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspFFTInv4_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFTInv4Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspFFTFwd8_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFTFwd8Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspFFTInv8_64fc(const Vps64fc* x, Vps64fc* y);
void dspFFTInv8Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);

// ---- real double (the 2-point codelet is its own inverse) ----
void dspFFT1_64f(const double* x, double* y);
void dspFFT1Scale_64f(const double* x, double* y, double f);
void dspFFT2_64f(const double* x, double* y);
void dspFFT2Scale_64f(const double* x, double* y, double f);
void dspFFTFwd4_64f(const double* x, double* y);
void dspFFTFwd4Scale_64f(const double* x, double* y, double f);
void dspFFTInv4_64f(const double* x, double* y);
void dspFFTInv4Scale_64f(const double* x, double* y, double f);
void dspFFTFwd8_64f(const double* x, double* y);
void dspFFTFwd8Scale_64f(const double* x, double* y, double f);
void dspFFTInv8_64f(const double* x, double* y);
void dspFFTInv8Scale_64f(const double* x, double* y, double f);

// ---- real float, forward only ----
void dspFFT1_32f(const float* x, float* y);
void dspFFT1Scale_32f(const float* x, float* y, float f);
void dspFFT2_32f(const float* x, float* y);
void dspFFT2Scale_32f(const float* x, float* y, float f);
void dspFFTFwd4_32f(const float* x, float* y);
void dspFFTFwd4Scale_32f(const float* x, float* y, float f);
void dspFFTFwd8_32f(const float* x, float* y);
void dspFFTFwd8Scale_32f(const float* x, float* y, float f);

extern const FftCodeletTable<Vps64fc, double> kFftFwdCodelets_64fc;
extern const FftCodeletTable<Vps64fc, double> kFftInvCodelets_64fc;
extern const FftCodeletTable<double, double> kFftFwdCodelets_64f;
extern const FftCodeletTable<double, double> kFftInvCodelets_64f;
extern const FftCodeletTable<float, float> kFftFwdCodelets_32f;

// data[i] *= factor for i < n; nothing for n <= 0. No checks.
void dspScale_64f_I(double factor, double* data, int n);

}  // namespace dcs
