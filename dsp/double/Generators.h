// Double-precision signal generators: a sampled cosine tone, a triangle wave whose falling
// and rising parts may differ (asym), Gaussian noise and a linear ramp.
// The tone and the triangle start at the caller's phase (radians, [0, 2π); 0 is the
// positive peak) and write back the phase at which the next block starts, so consecutive
// calls make one continuous wave. The noise rebuilds its generator from the caller's seed
// and writes back one word of the state it reached: a new, reproducible stream, not the
// continuation of the old one. Nothing is written, phase and seed included, when a check
// fails; the magnitude, frequency, asymmetry and phase checks (NaN fails them) come before
// the pDst and len checks.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// -8 pPhase null, -46 magn <= 0, -45 rFreq outside [0, 0.5), -44 phase outside [0, 2π),
// -8 pDst null, -6 len <= 0. hint is not used.
DCS_DSP_DECLARE(VpsStatus, vpsTone_Direct_64f,
                (double* pDst, int len, double magn, double rFreq, double* pPhase, int hint))
// -8 pPhase null, -43 magn <= 0, -42 rFreq outside [0, 0.5), -40 asym outside [-π, π),
// -41 phase outside [0, 2π), -8 pDst null, -6 len <= 0. The wave falls from +magn at phase
// 0 to -magn at π + asym and rises back by 2π; at asym = -π it is the rising sawtooth from
// -magn at phase 0.
DCS_DSP_DECLARE(VpsStatus, vpsTriangle_Direct_64f,
                (double* pDst, int len, double magn, double rFreq, double asym, double* pPhase))
// -8 pDst or pSeed null, -6 len <= 0.
DCS_DSP_DECLARE(VpsStatus, vpsRandGauss_Direct_64f, (double* pDst, int len, double mean, double stdev, Vps32u* pSeed))
// pDst[i] = offset + i·slope, rounded once. -8, -6.
DCS_DSP_DECLARE(VpsStatus, vpsVectorRamp_64f, (double* pDst, int len, float offset, float slope))

}  // namespace dcs
