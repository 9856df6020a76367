#include "dsp/spectral/SpectralPaths.h"

#include <algorithm>

namespace dcs {

namespace {

SpectralPath FftPath(SpectralMethod method, std::int64_t n, int minOrder)
{
    SpectralPath p;
    p.method = method;
    p.order = SpectralFftOrder(n, minOrder);
    p.fftSize = std::int64_t {1} << p.order;
    return p;
}

}  // namespace

int SpectralFftOrder(std::int64_t n, int minOrder) noexcept
{
    int g = minOrder;
    while (g <= 30 && (std::int64_t {1} << g) < n)
        ++g;
    return g;
}

SpectralPath ConvPath(int len1, int len2) noexcept
{
    const std::int64_t la = std::max(len1, len2);
    const std::int64_t lb = std::min(len1, len2);
    const std::int64_t total = la + lb - 1;
    if (total < 150 || lb < 32)
        return {};
    if (la < 3 * lb)
        return FftPath(SpectralMethod::Fft, total, 2);
    SpectralPath p = FftPath(SpectralMethod::Blocks, 2 * lb, 2);
    if (p.order <= 30) {
        ++p.order;
        p.fftSize *= 2;
    }
    p.blockOutputs = p.fftSize - lb + 1;
    return p;
}

SpectralPath AutoCorrPath(int srcLen, int dstLen, bool complex) noexcept
{
    const int lags = std::min(srcLen, dstLen);
    if (lags < (complex ? 96 : 600))
        return {};
    return FftPath(SpectralMethod::Fft, 2 * std::int64_t {srcLen}, complex ? 1 : 2);
}

CrossCorrPlan CrossCorrChoosePath(int len1, int len2, int dstLen, int lowLag) noexcept
{
    CrossCorrPlan plan;
    std::int64_t lag = lowLag;
    std::int64_t left = dstLen;
    const std::int64_t noOverlap = -lag - len1 + 1;
    if (noOverlap > 0) {
        plan.leadZeros = static_cast<int>(std::min(noOverlap, left));
        left -= plan.leadZeros;
        lag = -(std::int64_t {len1} - 1);
    }
    const std::int64_t overlapping = std::max<std::int64_t>(0, len2 - lag);
    if (overlapping < left) {
        plan.tailZeros = static_cast<int>(left - overlapping);
        left = overlapping;
    }
    plan.lowLag = static_cast<int>(std::clamp<std::int64_t>(lag, INT32_MIN, INT32_MAX));
    plan.dstLen = static_cast<int>(left);
    if (left == 0)
        return plan;
    const double estimate = static_cast<double>(left) * std::min(len1, len2) / std::max(len1, len2);
    if (static_cast<std::int64_t>(estimate) >= 512)
        plan.path = FftPath(SpectralMethod::Fft, std::int64_t {len1} + len2 - 1, 2);
    return plan;
}

}  // namespace dcs
