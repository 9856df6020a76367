// Chirp-z plan of the any-length DFT: a length with a prime factor above 150 becomes a
// circular convolution of power-of-two length M >= 2N - 1, run on the FFT. The filter
// spectrum carries the 1/M of the inverse FFT, so a run needs no scaling of its own.
#pragma once

#include <cstdint>

#include "dsp/double/DftSpec.h"

namespace dcs {

// Fills chirp length, chirp table, filter spectrum and chirp FFT spec of the spec for n
// points; table holds n roots (built up to 2n here) or, from the real DFT, 2n roots.
// Sets the work size. 0, -9 or the FFT's status; what was built stays in the spec.
VpsStatus dspDFTChirpInit_64fc(DftSpec* spec, int n, const Vps64fc* table, int tableLen) noexcept;

// Unscaled forward (direction > 0) or inverse DFT of n points; src may equal dst. work
// holds M complex values followed by the FFT's work. Always 0: the FFT runs on that work.
VpsStatus dspDFTChirp_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, int n, int direction,
                           Vps8u* work) noexcept;

// The circular convolution of q (the chirp length M of `fft`, a complex FFT spec of order
// 4 or more) with the filter whose spectrum, 1/M included, is `filter`, in place and in
// natural order. `permuted`: q already lies in bit-reversed order (a caller that scattered
// it there). work: the FFT's work area (may be null when it needs none). Cannot fail.
void dspChirpConvolve_64fc(const FftSpec* fft, const Vps64fc* filter, Vps64fc* q, bool permuted, Vps8u* work) noexcept;

// Element-wise helpers; dst may equal a or b.
void dspMulVec_64fc(const Vps64fc* a, const Vps64fc* b, Vps64fc* dst, int n) noexcept;
void dspZeroVec_64fc(Vps64fc* dst, int n) noexcept;
void dspConjVec_64fc(const Vps64fc* src, Vps64fc* dst, int n) noexcept;

// The FFT's work query, as a byte count (0 when it needs none).
std::int64_t DftFftWorkSize(const FftSpec* fft, bool real) noexcept;

}  // namespace dcs
