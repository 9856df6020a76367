// Three-point DFT codelets of the any-length DFT tables (the 1-, 2- and 4-point ones are
// the FFT's). Complex forms work on interleaved values; real forms map three reals to
// X0, Re X1, Im X1 and back (the inverse returns 3 times the signal). Scaled forms
// multiply by f. Every codelet reads its inputs before writing, so src may equal dst.
#pragma once

#include "dsp/DspTypes.h"
#include "dsp/spectral/FftCodelets.h"

namespace dcs {

void dspDFTFwd3_64fc(const Vps64fc* x, Vps64fc* y);
void dspDFTFwd3Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspDFTInv3_64fc(const Vps64fc* x, Vps64fc* y);
void dspDFTInv3Scale_64fc(const Vps64fc* x, Vps64fc* y, double f);
void dspDFTFwd3_64f(const double* x, double* y);
void dspDFTFwd3Scale_64f(const double* x, double* y, double f);
void dspDFTInv3_64f(const double* x, double* y);
void dspDFTInv3Scale_64f(const double* x, double* y, double f);

// Codelets of lengths 1..4 for the DFT entries, indexed by length - 1.
extern const FftCodeletTable<Vps64fc, double> kDftFwdCodelets_64fc;
extern const FftCodeletTable<Vps64fc, double> kDftInvCodelets_64fc;
extern const FftCodeletTable<double, double> kDftFwdCodelets_64f;
extern const FftCodeletTable<double, double> kDftInvCodelets_64f;

}  // namespace dcs
