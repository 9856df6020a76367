#include "components/audio/buffers/SGRealBuffer.h"

#include "dsp/DspCore.h"
#include "dsp/ElementaryEntries.h"
#include "dsp/StatisticsEntries.h"
#include "dsp/TestSignalEntries.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace dcs {

namespace {

// The convolution entry belongs to the spectral module; it is looked up by name at the
// call, so a buffer works (writing nothing) before that module exists.
using Conv64fFn = VpsStatus (*)(const double*, int, const double*, int, double*);

int RelOp(TSGThresholdType type) { return type == ttGreaterThan ? kThresholdGreaterThan : 0; }

// Round half to even, or truncate, then the low 16 bits; values no integer type holds
// (NaN, beyond +-2^63) store 0 instead of trapping.
int16_t LowShort(double x, bool round)
{
    const double r = round ? std::nearbyint(x) : std::trunc(x);
    if (!(r > -9.2e18 && r < 9.2e18))
        return 0;
    return int16_t(uint16_t(uint64_t(int64_t(r))));
}

constexpr double kRealMax = DBL_MAX;

// f over [begin, end) of the n values at d, the range clamped to them; 0 when n is 0.
template <class F> double OverRange(const double* d, int n, int begin, int end, F f)
{
    if (n == 0)
        return 0.0;
    begin = std::max(begin, 0);
    end = std::clamp(end, 0, n);
    if (begin >= n)
        begin = n - 1;
    return f(d + begin, end - begin);
}

// The least or greatest of the n values at d, skipping +-kRealMax; a first value at
// +-kRealMax (or NaN, for the least) starts the search from 0.
double Restricted(const double* d, int n, bool minimum)
{
    if (n == 0)
        return 0.0;
    double result = d[0];
    if (minimum ? (!(result > -kRealMax) || result == kRealMax) : (result == kRealMax || result == -kRealMax))
        result = 0.0;
    for (int i = 1; i < n; ++i) {
        const double x = d[i];
        if (x == kRealMax || x == -kRealMax)
            continue;
        if (minimum ? x < result : x > result)
            result = x;
    }
    return result;
}

// Unsigned sources widen value by value.
template <class U> IntfPtr<TSGRealBuffer> Widened(const U* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = TSGRealBuffer::CreateSize(size);
    double* d = b->Write();
    for (uint32_t i = 0; i < size; ++i)
        d[i] = data[i];
    return b;
}

}  // namespace

void SGDivideReal(const double* src, double* dst, int n)
{
    if (vpsDiv_64f_I(src, dst, n) != StatusElementDivideByZero)
        return;
    for (int i = 0; i < n; ++i) {
        if (src[i] != 0.0)
            continue;
        if (dst[i] > 0)
            dst[i] = 1e15;
        else if (std::isnan(dst[i]))
            dst[i] = 0.0;
        else
            dst[i] = -1e14;
    }
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateWordData(const uint16_t* data, uint32_t size)
{
    return Widened(data, size);
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateCardinalData(const uint32_t* data, uint32_t size)
{
    return Widened(data, size);
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateSmallIntData(const int16_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    b->FromShort(data);
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateIntegerData(const int32_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    b->FromInt(data);
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateSingleData(const float* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    b->FromSingle(data);
    return b;
}

void TSGRealBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    CopyElementsTo(srcIndex, dest, destIndex, count,
                   [](const double* from, double* to, uint32_t n) { vpsCopy_64f(from, to, Clamp(n)); });
}

void TSGRealBuffer::VectorJaehne(double magnitude) { vpsVectorJaehne_64f(Write(), Count(), magnitude); }

void TSGRealBuffer::Add(ISGRealBuffer* right) { Combine(right, vpsAdd_64f_I); }
void TSGRealBuffer::Subtract(ISGRealBuffer* right) { Combine(right, vpsSub_64f_I); }
void TSGRealBuffer::Multiply(ISGRealBuffer* right) { Combine(right, vpsMul_64f_I); }
void TSGRealBuffer::Divide(ISGRealBuffer* right) { Combine(right, SGDivideReal); }

void TSGRealBuffer::ToInt(int32_t* outBuffer, bool round)
{
    vpsConvert_64f32s_Sfs(Read(), outBuffer, Count(), round ? 1 : 0, 0);
}

void TSGRealBuffer::ToShort(int16_t* outBuffer, bool round)
{
    const double* s = Read();
    const int n = Count();
    for (int i = 0; i < n; ++i)
        outBuffer[i] = LowShort(s[i], round);
}

void TSGRealBuffer::ToSingle(float* outBuffer) { vpsConvert_64f32f(Read(), outBuffer, Count()); }

void TSGRealBuffer::FromInt(const int32_t* inBuffer) { vpsConvert_32s64f(inBuffer, Write(), Count()); }

void TSGRealBuffer::FromShort(const int16_t* inBuffer) { vpsConvert_16s64f_Sfs(inBuffer, Write(), Count(), 0); }

void TSGRealBuffer::FromSingle(const float* inBuffer) { vpsConvert_32f64f(inBuffer, Write(), Count()); }

void TSGRealBuffer::NormalizeFrom(ISGRealBuffer* src, double offset, double factor)
{
    FromSource(src, vpsNormalize_64f, offset, factor);
}

void TSGRealBuffer::Normalize(double offset, double factor) { NormalizeFrom(Sharer().Get(), offset, factor); }

double TSGRealBuffer::Dot(ISGRealBuffer* right) { return DotWith(right, vpsDotProd_64f); }

void TSGRealBuffer::Threshold(double threshold, TSGThresholdType type)
{
    InPlace(vpsThreshold_64f_I, threshold, RelOp(type));
}

void TSGRealBuffer::ThresholdFrom(ISGRealBuffer* src, double threshold, TSGThresholdType type)
{
    // The source must cover this buffer; a shorter one is read only as far as it goes.
    FromSource(src, vpsThreshold_64f, threshold, RelOp(type));
}

void TSGRealBuffer::Sqr() { InPlace(vpsSqr_64f_I); }
void TSGRealBuffer::SqrFrom(ISGRealBuffer* src) { FromSource(src, vpsSqr_64f); }
void TSGRealBuffer::Sqrt() { InPlace(vpsSqrt_64f_I); }
void TSGRealBuffer::SqrtFrom(ISGRealBuffer* src) { FromSource(src, vpsSqrt_64f); }

void TSGRealBuffer::AutoCorr(ISGRealBuffer* src, TSGAutoCorrType type)
{
    static const char* const names[] = {"vpsAutoCorr_64f", "vpsAutoCorr_NormA_64f", "vpsAutoCorr_NormB_64f"};
    AutoCorrFrom<double>(src, names[type]);
}

void TSGRealBuffer::CrossCorr(ISGRealBuffer* src1, ISGRealBuffer* src2, int loLag)
{
    CrossCorrFrom<double>(src1, src2, loLag, "vpsCrossCorr_64f");
}

void TSGRealBuffer::Abs() { InPlace(vpsAbs_64f_I); }
void TSGRealBuffer::AbsFrom(ISGRealBuffer* src) { FromSource(src, vpsAbs_64f); }
void TSGRealBuffer::Exp() { InPlace(vpsExp_64f_I); }
void TSGRealBuffer::ExpFrom(ISGRealBuffer* src) { FromSource(src, vpsExp_64f); }
void TSGRealBuffer::Ln() { InPlace(vpsLn_64f_I); }
void TSGRealBuffer::LnFrom(ISGRealBuffer* src) { FromSource(src, vpsLn_64f); }

double TSGRealBuffer::Mean()
{
    double result = 0.0;
    vpsMean_64f(Read(), Count(), &result);
    return result;
}

double TSGRealBuffer::StdDev()
{
    double result = 0.0;
    vpsStdDev_64f(Read(), Count(), &result);
    return result;
}

void TSGRealBuffer::Convolve(ISGRealBuffer* src, ISGRealBuffer* h)
{
    auto fn = DspLookupAs<Conv64fFn>("vpsConv_64f");
    if (!fn)
        return;
    const uint64_t needed = uint64_t(src->GetSize()) + h->GetSize();
    // The entry writes src + h - 1 results whatever this buffer holds.
    if (src->GetSize() == 0 || h->GetSize() == 0 || needed - 1 > GetSize())
        return;
    double* d = Write();
    fn(src->Read(), Clamp(src->GetSize()), h->Read(), Clamp(h->GetSize()), d);
}

double TSGRealBuffer::Norm(ISGRealBuffer* src, TSGNormType type)
{
    double result = 0.0;
    const int n = Common(src->GetSize(), GetSize());
    switch (type) {
    case ntL1Norm: vpsNormDiff_L1_64f(src->Read(), Read(), n, &result); break;
    case ntL2Norm: vpsNormDiff_L2_64f(src->Read(), Read(), n, &result); break;
    case ntCNorm: vpsNormDiff_Inf_64f(src->Read(), Read(), n, &result); break;
    }
    return result;
}

double TSGRealBuffer::GetMinValue()
{
    double result = 0.0;
    if (GetSize() > 0)
        vpsMin_64f(Read(), Count(), &result);
    return result;
}

double TSGRealBuffer::GetMaxValue()
{
    double result = 0.0;
    if (GetSize() > 0)
        vpsMax_64f(Read(), Count(), &result);
    return result;
}

double TSGRealBuffer::GetMinIndex(int& index)
{
    index = 0;
    double result = 0.0;
    if (GetSize() > 0)
        vpsMinIndx_64f(Read(), Count(), &result, &index);
    return result;
}

double TSGRealBuffer::GetMaxIndex(int& index)
{
    index = 0;
    double result = 0.0;
    if (GetSize() > 0)
        vpsMaxIndx_64f(Read(), Count(), &result, &index);
    return result;
}

double TSGRealBuffer::GetMin(int indexBegin, int indexEnd)
{
    return OverRange(Read(), Count(), indexBegin, indexEnd, [](const double* d, int n) {
        double result = 0.0;
        vpsMin_64f(d, n, &result);
        return result;
    });
}

double TSGRealBuffer::GetMax(int indexBegin, int indexEnd)
{
    return OverRange(Read(), Count(), indexBegin, indexEnd, [](const double* d, int n) {
        double result = 0.0;
        vpsMax_64f(d, n, &result);
        return result;
    });
}

double TSGRealBuffer::GetMinRestricted(int indexBegin, int indexEnd)
{
    return OverRange(Read(), Count(), indexBegin, indexEnd,
                     [](const double* d, int n) { return Restricted(d, n, true); });
}

double TSGRealBuffer::GetMaxRestricted(int indexBegin, int indexEnd)
{
    return OverRange(Read(), Count(), indexBegin, indexEnd,
                     [](const double* d, int n) { return Restricted(d, n, false); });
}

}  // namespace dcs
