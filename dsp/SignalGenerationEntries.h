#pragma once

#include "dsp/Registry.h"

// Registry entries that produce and shape blocks of 16-bit samples: the tone (cosine)
// and triangle generators, which keep a running phase in the caller's float, the two
// noise generators, which keep their state in the caller's seed, a two-sided threshold
// and a saturating add. The ramp lives in dsp/RampEntries.h.
namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsTone_Direct_16s,
                (Vps16s * pDst, int len, Vps16s magn, float rFreq, float* pPhase, int hint))
DCS_DSP_DECLARE(VpsStatus, vpsTriangle_Direct_16s,
                (Vps16s * pDst, int len, Vps16s magn, float rFreq, float asym, float* pPhase))
DCS_DSP_DECLARE(VpsStatus, vpsRandUniform_Direct_16s, (Vps16s * pDst, int len, Vps16s low, Vps16s high, Vps32u* pSeed))
DCS_DSP_DECLARE(VpsStatus, vpsRandGauss_Direct_16s, (Vps16s * pDst, int len, Vps16s mean, Vps16s stdDev, Vps32u* pSeed))
DCS_DSP_DECLARE(VpsStatus, vpsThreshold_LTValGTVal_16s_I,
                (Vps16s * pSrcDst, int len, Vps16s levelLT, Vps16s valueLT, Vps16s levelGT, Vps16s valueGT))
DCS_DSP_DECLARE(VpsStatus, vpsAdd_16s_I, (const Vps16s* pSrc, Vps16s* pSrcDst, int len))

}  // namespace dcs
