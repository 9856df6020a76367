// Built-in window functions: Bartlett, Blackman, Hamming, Hann and Kaiser, each applied
// to a real vector in place, from a source to a destination, and to a complex vector in
// place (both parts of an element take the same weight).
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsWinBartlett_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinBartlett_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinBartlett_64fc_I, (Vps64fc * pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHamming_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHamming_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHamming_64fc_I, (Vps64fc * pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHann_64f_I, (double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHann_64f, (const double* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinHann_64fc_I, (Vps64fc * pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsWinBlackman_64f_I, (double* pSrcDst, int len, double alpha))
DCS_DSP_DECLARE(VpsStatus, vpsWinBlackman_64f, (const double* pSrc, double* pDst, int len, double alpha))
DCS_DSP_DECLARE(VpsStatus, vpsWinBlackman_64fc_I, (Vps64fc * pSrcDst, int len, double alpha))
DCS_DSP_DECLARE(VpsStatus, vpsWinKaiser_64f_I, (double* pSrcDst, int len, float alpha))
DCS_DSP_DECLARE(VpsStatus, vpsWinKaiser_64f, (const double* pSrc, double* pDst, int len, float alpha))
DCS_DSP_DECLARE(VpsStatus, vpsWinKaiser_64fc_I, (Vps64fc * pSrcDst, int len, float alpha))

// Modified Bessel function of order 0 by the polynomial approximations the Kaiser window
// uses (relative error near 1e-7); exposed for its tests.
long double KaiserBesselI0(long double x);

}  // namespace dcs
