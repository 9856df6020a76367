// The DCT spec: the plan of one orthonormal DCT direction (forward id 23, inverse 24).
#pragma once

#include <cstdint>

#include "dsp/DspTypes.h"
#include "dsp/spectral/FftSpec.h"

namespace dcs {

struct DctSpec {
    std::uint32_t id;
    std::int32_t length;
    std::int32_t hint;         // 2 asks for the FFT path of powers of two above 512
    std::int64_t workSize;     // bytes incl. 16 for alignment; 0: none
    double dcScale;            // 1/sqrt(N)
    double acScale;            // sqrt(2)/sqrt(N)
    std::int32_t fixedKernel;  // N is 1, 2, 4 or 8
    std::int32_t powerOfTwo;   // N a power of two above 8
    std::int32_t fftPath;
    std::int32_t chirpPath;
    std::int32_t chirpLength;  // L
    double* cosTable;          // direct: cos(2*pi*i/(4N)), 4N values
    double* splitTable;        // split: 0.5/cos((2j+1)pi/(2a)), level after level
    Vps64fc* outTwiddles;      // FFT and chirp paths: N complex
    Vps64fc* realTable;        // chirp path: recombination (forward) or split (inverse), N complex
    Vps64fc* chirp;            // chirp path: N complex
    Vps64fc* chirpFilter;      // chirp path: L complex
    FftSpec* realFft;          // FFT path: real FFT of 2N points
    FftSpec* chirpFft;         // chirp path: complex FFT of L points
};

}  // namespace dcs
