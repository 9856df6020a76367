#include "dsp/spectral/Convolution.h"

#include <algorithm>
#include <cstring>

#include "dsp/spectral/SpectralPaths.h"
#include "dsp/spectral/SpectralScratchInternal.h"
#include "dsp/spectral/SpectrumProducts.h"

namespace dcs {

namespace {

// Accumulates in the destination, each sum rounded when stored; the longer input is
// walked in chunks so the part of the destination being summed stays in cache.
void ConvDirect(const double* a, std::int64_t la, const double* b, std::int64_t lb, double* dst)
{
    constexpr std::int64_t kChunk = 4096;
    std::fill(dst, dst + (lb - 1), 0.0);
    for (std::int64_t c0 = 0; c0 < la; c0 += kChunk) {
        const std::int64_t c = std::min(kChunk, la - c0);
        std::fill(dst + c0 + lb - 1, dst + c0 + lb - 1 + c, 0.0);
        for (std::int64_t i = 0; i < lb; ++i) {
            const double bi = b[i];
            double* out = dst + c0 + i;
            const double* in = a + c0;
            for (std::int64_t j = 0; j < c; ++j)
                out[j] += in[j] * bi;
        }
    }
}

void CopyPadded(const double* src, std::int64_t n, double* dst, std::int64_t size)
{
    std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(double));
    std::fill(dst + n, dst + size, 0.0);
}

VpsStatus ConvSingle(const double* a, int la, const double* b, int lb, double* dst, const SpectralPath& p)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(false, p.order))
        return st;
    const int g = static_cast<int>(p.fftSize);
    if (!s.AllocBlockWithWork(std::int64_t {16} * g))
        return StatusNoMemory;
    double* x = static_cast<double*>(s.block);
    double* y = x + g;
    CopyPadded(a, la, x, g);
    CopyPadded(b, lb, y, g);
    if (const VpsStatus st = dspFFTFwd_RToPerm_64f(x, x, s.spec, s.work))
        return st;
    if (const VpsStatus st = dspFFTFwd_RToPerm_64f(y, y, s.spec, s.work))
        return st;
    dspMulPerm_64f_I(x, y, g);
    const VpsStatus st = dspFFTInv_PermToR_64f(y, y, s.spec, s.work);
    if (st == StatusOk)
        std::memcpy(dst, y, (std::size_t {static_cast<unsigned>(la)} + lb - 1) * sizeof(double));
    return st;
}

VpsStatus ConvBlocks(const double* a, int la, const double* b, int lb, double* dst, const SpectralPath& p)
{
    SpectralScratch s;
    if (const VpsStatus st = s.MakeSpec(false, p.order))
        return st;
    const int g = static_cast<int>(p.fftSize);
    const std::int64_t k = p.blockOutputs;
    if (!s.AllocBlockWithWork(std::int64_t {16} * g + 8))
        return StatusNoMemory;
    double* h = static_cast<double*>(s.block);
    double* z = h + g;
    CopyPadded(b, lb, h, g);
    if (const VpsStatus st = dspFFTFwd_RToPerm_64f(h, h, s.spec, s.work))
        return st;
    const std::int64_t total = std::int64_t {la} + lb - 1;
    for (std::int64_t pos = 0; pos < total; pos += k) {
        const std::int64_t u = pos == 0 ? 0 : lb - 1;
        const std::int64_t n = std::min(la - pos + u, u + k);
        CopyPadded(a + (pos - u), n, z, g);
        if (const VpsStatus st = dspFFTFwd_RToPerm_64f(z, z, s.spec, s.work))
            return st;
        dspMulPerm_64f_I(h, z, g);
        if (const VpsStatus st = dspFFTInv_PermToR_64f(z, z, s.spec, s.work))
            return st;
        std::memcpy(dst + pos, z + u, static_cast<std::size_t>(std::min(k, total - pos)) * sizeof(double));
    }
    return StatusOk;
}

}  // namespace

namespace fallback {

VpsStatus vpsConv_64f(const double* pSrc1, int len1, const double* pSrc2, int len2, double* pDst)
{
    if (!pSrc1 || !pSrc2 || !pDst)
        return StatusNullPointer;
    if (len1 <= 0 || len2 <= 0)
        return StatusBadSize;
    // The longer input is A; equal lengths keep source 1 as A.
    const double* a = pSrc1;
    const double* b = pSrc2;
    int la = len1, lb = len2;
    if (len1 < len2) {
        std::swap(a, b);
        std::swap(la, lb);
    }
    const SpectralPath p = ConvPath(la, lb);
    switch (p.method) {
    case SpectralMethod::Direct: ConvDirect(a, la, b, lb, pDst); return StatusOk;
    case SpectralMethod::Fft: return ConvSingle(a, la, b, lb, pDst, p);
    case SpectralMethod::Blocks: break;
    }
    return ConvBlocks(a, la, b, lb, pDst, p);
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsConv_64f)

}  // namespace dcs
