// How convolution and correlation evaluate a given size: directly, with one FFT, or with
// overlap-save FFT blocks. The choice changes the rounding, so it is fixed by these
// functions alone; the entries and the tests both ask them.
#pragma once

#include <cstdint>

namespace dcs {

enum class SpectralMethod {
    Direct,
    Fft,
    Blocks
};

struct SpectralPath {
    SpectralMethod method = SpectralMethod::Direct;
    int order = 0;                  // FFT order; 31 when the size needs more than 30 (refused)
    std::int64_t fftSize = 0;       // 2^order for the FFT methods, else 0
    std::int64_t blockOutputs = 0;  // outputs per overlap-save block, else 0
};

// Smallest order >= minOrder whose power of two is at least n; sizes beyond order 30
// answer 31, which the FFT set-up refuses with StatusBadFftOrder.
int SpectralFftOrder(std::int64_t n, int minOrder) noexcept;

// Convolution of lengths len1, len2 (both > 0).
SpectralPath ConvPath(int len1, int len2) noexcept;

// Autocorrelation of srcLen samples into dstLen lags (both > 0).
SpectralPath AutoCorrPath(int srcLen, int dstLen, bool complex) noexcept;

// Cross-correlation after its zero regions: the lags that overlap nothing are written as
// 0.0 without computation; only the rest, dstLen lags from lowLag, take the path.
struct CrossCorrPlan {
    int leadZeros = 0;  // outputs before the first overlapping lag
    int lowLag = 0;     // first computed lag
    int dstLen = 0;     // computed lags (0: nothing to compute)
    int tailZeros = 0;  // outputs after the last overlapping lag
    SpectralPath path;
};
CrossCorrPlan CrossCorrChoosePath(int len1, int len2, int dstLen, int lowLag) noexcept;

}  // namespace dcs
