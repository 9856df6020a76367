// Sliding median of doubles over an odd window, the signal's first and last samples
// standing in for the samples beyond its ends. An even mask is filtered with the next
// smaller odd window and answered with the warning 5. pSrc may equal pDst.
// Checks: -8 null, -6 len <= 0 or maskSize <= 0, -9 for len >= 2^28 (nothing touched) or a
// window's work block not allocated (pDst then holds the copied input).
#pragma once

#include "dsp/Registry.h"

namespace dcs {

DCS_DSP_DECLARE(VpsStatus, vpsFilterMedian_64f, (const double* pSrc, double* pDst, int len, int maskSize))

// The same in place (the filter behind the entry): -8, -6, -9, or 0 / 5. No length guard.
VpsStatus dspFilterMedian_64f_I(double* pSrcDst, int len, int maskSize) noexcept;

}  // namespace dcs
