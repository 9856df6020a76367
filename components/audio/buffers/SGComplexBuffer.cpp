#include "components/audio/buffers/SGComplexBuffer.h"

#include "dsp/ElementaryEntries.h"
#include "dsp/FloatEntries.h"
#include "dsp/MemoryEntries.h"
#include "dsp/StatisticsEntries.h"

#include <algorithm>

namespace dcs {

namespace {
// The stream types' complex pair has the entries' layout (checked in its header).
const Vps64fc* V(const TPNRealComplex* p) { return reinterpret_cast<const Vps64fc*>(p); }
Vps64fc* V(TPNRealComplex* p) { return reinterpret_cast<Vps64fc*>(p); }
Vps64fc V(TPNRealComplex c) { return {c.Real, c.Imaginary}; }

int RelOp(TSGThresholdType type) { return type == ttGreaterThan ? kThresholdGreaterThan : 0; }
}  // namespace

IntfPtr<ISGRealBuffer> TSGComplexBuffer::Split(SplitFn fn)
{
    IntfPtr<TSGRealBuffer> out = TSGRealBuffer::CreateSize(GetSize());
    fn(V(Read()), out->Write(), Count());
    return out;
}

IntfPtr<ISGRealBuffer> TSGComplexBuffer::GetReal() { return Split(vpsReal_64fc); }
IntfPtr<ISGRealBuffer> TSGComplexBuffer::GetImaginary() { return Split(vpsImag_64fc); }
IntfPtr<ISGRealBuffer> TSGComplexBuffer::Phase() { return Split(vpsPhase_64fc); }
IntfPtr<ISGRealBuffer> TSGComplexBuffer::Magnitude() { return Split(vpsMagnitude_64fc); }
IntfPtr<ISGRealBuffer> TSGComplexBuffer::PowerSpectrum() { return Split(vpsPowerSpectr_64fc); }

void TSGComplexBuffer::Add(ISGComplexBuffer* right) { Combine(right, vpsAdd_64fc_I); }
void TSGComplexBuffer::Subtract(ISGComplexBuffer* right) { Combine(right, vpsSub_64fc_I); }
void TSGComplexBuffer::Multiply(ISGComplexBuffer* right) { Combine(right, vpsMul_64fc_I); }
void TSGComplexBuffer::Divide(ISGComplexBuffer* right) { Combine(right, vpsDiv_64fc_I); }

void TSGComplexBuffer::AddValue(double re, double im) { InPlaceValue(vpsAddC_64fc_I, Vps64fc {re, im}); }
void TSGComplexBuffer::SubtractValue(double re, double im) { InPlaceValue(vpsSubC_64fc_I, Vps64fc {re, im}); }
void TSGComplexBuffer::MultiplyValue(double re, double im) { InPlaceValue(vpsMulC_64fc_I, Vps64fc {re, im}); }
void TSGComplexBuffer::DivideValue(double re, double im) { InPlaceValue(vpsDivC_64fc_I, Vps64fc {re, im}); }

void TSGComplexBuffer::SetBuffer(ISGRealBuffer* re, ISGRealBuffer* im)
{
    const uint32_t k = std::min(re->GetSize(), im->GetSize());
    Resize(k, false);
    TPNRealComplex* d = Write();
    vpsRealToCplx_64f(re->Read(), im->Read(), V(d), Clamp(k));
}

void TSGComplexBuffer::SetValue(double re, double im) { vpsSet_64fc(Vps64fc {re, im}, V(Write()), Count()); }
void TSGComplexBuffer::SetValue(TPNRealComplex value) { vpsSet_64fc(V(value), V(Write()), Count()); }
void TSGComplexBuffer::Zero() { vpsZero_64fc(V(Write()), Count()); }

void TSGComplexBuffer::NormalizeFrom(ISGComplexBuffer* src, TPNRealComplex offset, double factor)
{
    FromSource(src, vpsNormalize_64fc, V(offset), factor);
}

void TSGComplexBuffer::Normalize(TPNRealComplex offset, double factor)
{
    NormalizeFrom(Sharer().Get(), offset, factor);
}

TPNRealComplex TSGComplexBuffer::Dot(ISGComplexBuffer* src)
{
    const Vps64fc result = DotWith(src, vpsDotProd_64fc);
    return {result.re, result.im};
}

void TSGComplexBuffer::Threshold(double threshold, TSGThresholdType type)
{
    InPlace(vpsThreshold_64fc_I, threshold, RelOp(type));
}

void TSGComplexBuffer::ThresholdFrom(ISGComplexBuffer* src, double threshold, TSGThresholdType type)
{
    FromSource(src, vpsThreshold_64fc, threshold, RelOp(type));
}

void TSGComplexBuffer::Sqr() { InPlace(vpsSqr_64fc_I); }
void TSGComplexBuffer::SqrFrom(ISGComplexBuffer* src) { FromSource(src, vpsSqr_64fc); }
void TSGComplexBuffer::Sqrt() { InPlace(vpsSqrt_64fc_I); }
void TSGComplexBuffer::SqrtFrom(ISGComplexBuffer* src) { FromSource(src, vpsSqrt_64fc); }

void TSGComplexBuffer::AutoCorr(ISGComplexBuffer* src, TSGAutoCorrType type)
{
    static const char* const names[] = {"vpsAutoCorr_64fc", "vpsAutoCorr_NormA_64fc", "vpsAutoCorr_NormB_64fc"};
    AutoCorrFrom<Vps64fc>(src, names[type]);
}

void TSGComplexBuffer::CrossCorr(ISGComplexBuffer* src1, ISGComplexBuffer* src2, int loLag)
{
    CrossCorrFrom<Vps64fc>(src1, src2, loLag, "vpsCrossCorr_64fc");
}

}  // namespace dcs
