// Root tables and the mixed-radix plan of the any-length DFT: a decimation-in-time
// Cooley-Tukey transform whose first pass computes short DFTs of the last factor F on
// digit-reversed input and whose stages combine them with butterflies of radix 2, 3, 4, 5
// or any odd prime. Sub-problems above 500 points are taken depth-first so that every
// breadth-first sweep stays small. No routine here checks its arguments.
#pragma once

#include <cstdint>

#include "dsp/double/DftSpec.h"

namespace dcs {

// n roots e^(-2*pi*i*k/n) built by symmetry from the first eighth (quarter, half); null
// when the allocation fails. The caller owns the block.
Vps64fc* dspDFTTwiddles_64fc(int n) noexcept;
// New table of a values table[i * (b / a)]; null when the allocation fails.
Vps64fc* dspDFTTwiddleSubset_64fc(int a, const Vps64fc* table, int b) noexcept;

// 1 when n (> 4, not a power of two) splits into 2, 4s and odd primes with a last factor
// of at most 150 and at least one radix; stores radices, F and L in the spec. Else 0 and
// the spec is untouched.
int dspDFTFactorize(DftSpec* spec, int n) noexcept;

// Work bytes of a mixed-radix run of n points whose largest radix above 5 is e (0: none),
// formed in 64 bits: 16 * (n + e) + 16.
std::int64_t dspDFTMixedRadixWorkSize(std::int64_t n, std::int64_t e) noexcept;

// Builds records, twiddles and the digit-reversal table from a table of tableLen roots
// (every tableLen / n-th is used). 0 or -9; on -9 what was built stays in the spec.
VpsStatus dspDFTMixedRadixInit_64fc(DftSpec* spec, int n, const Vps64fc* table, int tableLen) noexcept;

// Unscaled transforms; src may equal dst. work holds the spec's work size.
void dspDFTMixedRadixFwd_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, Vps8u* work) noexcept;
void dspDFTMixedRadixInv_64fc(const DftSpec* spec, const Vps64fc* src, Vps64fc* dst, Vps8u* work) noexcept;

// Odd-length direct DFT (odd radix butterfly over the whole input); direction > 0
// forward, else unscaled inverse. work holds n - 1 complex values; src may equal dst.
void dspDFTDirect_64fc(const Vps64fc* src, Vps64fc* dst, int n, int direction, const Vps64fc* roots,
                       Vps8u* work) noexcept;

}  // namespace dcs
