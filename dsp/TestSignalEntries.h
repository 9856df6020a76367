#pragma once

#include "dsp/Registry.h"

// Registry entries that fill doubles: the Jaehne test signal (a chirp whose frequency
// rises linearly from 0 to half the sampling rate) and uniform random numbers from a
// caller-held seed.
namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsVectorJaehne_64f, (double* pDst, int len, double magn))
DCS_DSP_DECLARE(VpsStatus, vpsRandUniform_Direct_64f, (double* pDst, int len, double low, double high, Vps32u* pSeed))

}  // namespace dcs
