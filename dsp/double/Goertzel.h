// One value of the DFT of a complex vector at a relative frequency rFreq in [0, 1), by
// the Goertzel recurrence: sum of x(n)·e^(j2π·rFreq·(len - n)). For rFreq = k / len that is
// bin k of the length-len DFT; at other frequencies no phase correction is applied.
// Checks: -8 null, -6 len <= 0, -27 rFreq outside [0, 1) or NaN.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsGoertz_64fc, (const Vps64fc* pSrc, int len, Vps64fc* pVal, double rFreq))

}  // namespace dcs
