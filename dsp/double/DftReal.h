// Recombination between an M-point complex DFT of packed pairs z_n = x[2n] + i x[2n+1] and
// the Perm layout of the 2M-point real spectrum, shared by the real DFT and the DCT. No
// checks.
#pragma once

#include "dsp/DspTypes.h"

namespace dcs {

// In place: M complex values Z into the even Perm layout of 2M points; a holds
// (0.5 c_k, 0.5 s_k + 0.5) of the 2M roots (c_k, s_k), k < (2M + 3) / 4.
void dspDFTRealPost_64f(double* x, int m, const Vps64fc* a) noexcept;
// The even Perm layout of 2M points into 2 Z; b holds the 2M roots. q may equal p.
void dspDFTRealPre_64f(const double* p, double* q, int m, const Vps64fc* b) noexcept;

}  // namespace dcs
