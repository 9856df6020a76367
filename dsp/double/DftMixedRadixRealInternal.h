// The mixed-radix plan of an odd length run on real data: every intermediate spectrum is
// kept as the odd Perm layout of its half (n doubles for n points), so a transform does
// about half the arithmetic of the complex plan on a complex copy. The plan is the one
// dspDFTMixedRadixInit_64fc builds for the odd length (every radix and the last factor odd).
// No checks.
#pragma once

#include "dsp/double/DftSpec.h"

namespace dcs {

// Forward real DFT of the spec's odd length N into the odd Perm layout (N doubles);
// src may equal dst. work holds the plan's work size: two blocks of N doubles and the
// generic kernels' scratch.
void dspDFTMixedRadixFwd_64f(const DftSpec* spec, const double* src, double* dst, Vps8u* work) noexcept;
// Inverse from the odd Perm layout, unnormalised (N times the signal); src may equal dst.
void dspDFTMixedRadixInv_64f(const DftSpec* spec, const double* src, double* dst, Vps8u* work) noexcept;

}  // namespace dcs
