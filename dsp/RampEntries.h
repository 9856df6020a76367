#pragma once

#include "dsp/Registry.h"

namespace dcs {

// A linear ramp offset + i * slope, rounded half away from zero and saturated to 16 bits.
DCS_DSP_DECLARE(VpsStatus, vpsVectorRamp_16s, (Vps16s * pDst, int len, float offset, float slope))

}  // namespace dcs
