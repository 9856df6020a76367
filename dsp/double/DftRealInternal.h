// Recombination between an M-point complex DFT of packed pairs z_n = x[2n] + i x[2n+1] and
// the Perm layout of the 2M-point real spectrum, shared by the real DFT and the DCT. No
// checks.
#pragma once

#include <cstddef>

#include "dsp/DspTypes.h"

namespace dcs {

// In place: M complex values Z into the even Perm layout of 2M points; a holds
// (0.5 c_k, 0.5 s_k + 0.5) of the 2M roots (c_k, s_k), k < (2M + 3) / 4.
void dspDFTRealPost_64f(double* x, int m, const Vps64fc* a) noexcept;
// One step of dspDFTRealPost_64f: z_k = (ar, ai) and z_{M-k} = (br, bi) into the Perm
// pairs (kr, ki) of k and (mr, mi) of M - k, with a_k. For callers that fuse it with a
// pass of their own.
struct DftPermPair {
    double kr, ki, mr, mi;
};
inline DftPermPair dspDFTRealPostPair(double ar, double ai, double br, double bi, Vps64fc a) noexcept
{
    const double d = ar - br, s = ai + bi;
    const double h = a.im * d + a.re * s;
    const double g = a.im * s - a.re * d;
    return {br + h, g - bi, ar - h, g - ai};
}
// The even Perm layout of 2M points into 2 Z; b holds the 2M roots. q may equal p.
void dspDFTRealPre_64f(const double* p, double* q, int m, const Vps64fc* b) noexcept;

// Direct real DFT of odd length n of x[0], x[xs], ... into the odd Perm layout (n doubles)
// with the n roots t; w holds n - 1 doubles. y may equal x when xs is 1.
void dspDFTDirect_64f(const double* x, std::ptrdiff_t xs, double* y, int n, const Vps64fc* t, double* w) noexcept;
// Its inverse (n times the signal) into x[0], x[xs], ...; x may equal p when xs is 1.
void dspDFTDirectInv_64f(const double* p, double* x, std::ptrdiff_t xs, int n, const Vps64fc* t, double* w) noexcept;

}  // namespace dcs
