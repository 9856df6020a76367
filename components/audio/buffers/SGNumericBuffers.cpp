#include "components/audio/buffers/SGNumericBuffers.h"

#include "dsp/DspCore.h"
#include "dsp/ElementaryEntries.h"
#include "dsp/FloatEntries.h"
#include "dsp/IntegerEntries.h"
#include "dsp/LogicEntries.h"
#include "dsp/MemoryEntries.h"
#include "dsp/Registry.h"
#include "dsp/StatisticsEntries.h"
#include "dsp/TestSignalEntries.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

namespace dcs {

namespace {

// The correlation and convolution entries belong to the spectral module; they are looked
// up by name at the call, so a buffer works (writing nothing) before that module exists.
using Conv64fFn = VpsStatus (*)(const double*, int, const double*, int, double*);
using AutoCorr64fFn = VpsStatus (*)(const double*, int, double*, int);
using CrossCorr64fFn = VpsStatus (*)(const double*, int, const double*, int, double*, int, int);
using AutoCorr64fcFn = VpsStatus (*)(const Vps64fc*, int, Vps64fc*, int);
using CrossCorr64fcFn = VpsStatus (*)(const Vps64fc*, int, const Vps64fc*, int, Vps64fc*, int, int);

int Clamp(uint32_t n) { return int(std::min<uint32_t>(n, INT_MAX)); }

int Common(uint32_t a, uint32_t b) { return Clamp(std::min(a, b)); }

void RaiseIndex(int index) { throw ERangeError("Index out of range = " + std::to_string(uint32_t(index))); }

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

uint32_t NumericByteSize(uint64_t count, uint32_t elementSize)
{
    const uint64_t bytes = count * elementSize;
    if (bytes > (uint64_t(1) << 30))
        throw EOutOfMemory("Out of memory");
    return uint32_t(bytes);
}

// ------------------------------------------------------------------------ TSGRealBuffer

TSGRealBuffer::TSGRealBuffer() : TSGRealBuffer(0u) {}

TSGRealBuffer::TSGRealBuffer(uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(NumericByteSize(size, 8)), NumericByteSize(size, 8))
{
}

TSGRealBuffer::TSGRealBuffer(const double* data, uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(data, NumericByteSize(size, 8)), NumericByteSize(size, 8))
{
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateData(const double* data, uint32_t size)
{
    return IntfPtr<TSGRealBuffer>(new TSGRealBuffer(data, size));
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateValue(double value, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    b->SetValue(value);
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateWordData(const uint16_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    double* d = b->Write();
    for (uint32_t i = 0; i < size; ++i)
        d[i] = data[i];
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateCardinalData(const uint32_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    double* d = b->Write();
    for (uint32_t i = 0; i < size; ++i)
        d[i] = data[i];
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateSmallIntData(const int16_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    vpsConvert_16s64f_Sfs(data, b->Write(), b->Count(), 0);
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateIntegerData(const int32_t* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    vpsConvert_32s64f(data, b->Write(), b->Count());
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateSingleData(const float* data, uint32_t size)
{
    IntfPtr<TSGRealBuffer> b = CreateSize(size);
    vpsConvert_32f64f(data, b->Write(), b->Count());
    return b;
}

IntfPtr<TSGRealBuffer> TSGRealBuffer::CreateUniversal(ISGData* other)
{
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGRealBuffer>(new TSGRealBuffer(Share, *instance));
}

TSGSmartMemoryBuffer* TSGRealBuffer::CreateDataContainer(uint32_t size)
{
    return new TSGSmartMemoryBuffer(NumericByteSize(size, 8));
}

bool TSGRealBuffer::IsEqual(ISGDataBuffer* other)
{
    return BufferInstance<TSGRealBuffer>(other) && TSGGenericBuffer::IsEqual(other);
}

void TSGRealBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    auto* d = BufferInstance<TSGRealBuffer>(dest);
    if (!d) {
        TSGGenericBuffer::CopyTo(srcIndex, dest, destIndex, count);
        return;
    }
    double* to = d->Modify() + destIndex;  // may move this buffer when d is this buffer
    vpsCopy_64f(Read() + srcIndex, to, Clamp(count));
}

int TSGRealBuffer::Count() { return Clamp(GetSize()); }

double* TSGRealBuffer::Write()
{
    Unique(false);
    return static_cast<double*>(FDataPtr);
}

double* TSGRealBuffer::Modify()
{
    Unique(true);
    return static_cast<double*>(FDataPtr);
}

double TSGRealBuffer::GetItem(int index)
{
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    return Read()[index];
}

void TSGRealBuffer::SetItem(int index, double value)
{
    double* d = Modify();
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    d[index] = value;
}

void TSGRealBuffer::VectorJaehne(double magnitude) { vpsVectorJaehne_64f(Write(), Count(), magnitude); }

void TSGRealBuffer::Add(ISGRealBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    double* d = Modify();
    vpsAdd_64f_I(right->Read(), d, m);  // Read after Modify: right may be this buffer
}

void TSGRealBuffer::Subtract(ISGRealBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    double* d = Modify();
    vpsSub_64f_I(right->Read(), d, m);
}

void TSGRealBuffer::Multiply(ISGRealBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    double* d = Modify();
    vpsMul_64f_I(right->Read(), d, m);
}

void TSGRealBuffer::Divide(ISGRealBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    double* d = Modify();
    SGDivideReal(right->Read(), d, m);
}

void TSGRealBuffer::SetValue(double value) { vpsSet_64f(value, Write(), Count()); }

void TSGRealBuffer::AddValue(double value)
{
    if (value != 0.0)
        vpsAddC_64f_I(value, Modify(), Count());
}

void TSGRealBuffer::SubtractValue(double value)
{
    if (value != 0.0)
        vpsSubC_64f_I(value, Modify(), Count());
}

void TSGRealBuffer::MultiplyValue(double value)
{
    if (value != 1.0)
        vpsMulC_64f_I(value, Modify(), Count());
}

void TSGRealBuffer::DivideValue(double value)
{
    if (value != 0.0 && value != 1.0)
        vpsDivC_64f_I(value, Modify(), Count());
}

void TSGRealBuffer::Zero() { vpsZero_64f(Write(), Count()); }

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
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsNormalize_64f(src->Read(), d, m, offset, factor);
}

void TSGRealBuffer::Normalize(double offset, double factor)
{
    // The sharing copy keeps the old data alive while Write gives this buffer a fresh
    // container: one pass from the old values into the new, nothing copied first.
    IntfPtr<TSGRealBuffer> old(new TSGRealBuffer(Share, *this));
    NormalizeFrom(old.Get(), offset, factor);
}

double TSGRealBuffer::Dot(ISGRealBuffer* right)
{
    double result = 0.0;
    vpsDotProd_64f(right->Read(), Read(), Common(right->GetSize(), GetSize()), &result);
    return result;
}

void TSGRealBuffer::Threshold(double threshold, TSGThresholdType type)
{
    vpsThreshold_64f_I(Modify(), Count(), threshold, RelOp(type));
}

void TSGRealBuffer::ThresholdFrom(ISGRealBuffer* src, double threshold, TSGThresholdType type)
{
    // The source must cover this buffer; a shorter one is read only as far as it goes.
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsThreshold_64f(src->Read(), d, m, threshold, RelOp(type));
}

void TSGRealBuffer::Sqr() { vpsSqr_64f_I(Modify(), Count()); }

void TSGRealBuffer::SqrFrom(ISGRealBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsSqr_64f(src->Read(), d, m);
}

void TSGRealBuffer::Sqrt() { vpsSqrt_64f_I(Modify(), Count()); }

void TSGRealBuffer::SqrtFrom(ISGRealBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsSqrt_64f(src->Read(), d, m);
}

void TSGRealBuffer::AutoCorr(ISGRealBuffer* src, TSGAutoCorrType type)
{
    static const char* const names[] = {"vpsAutoCorr_64f", "vpsAutoCorr_NormA_64f", "vpsAutoCorr_NormB_64f"};
    auto fn = DspLookupAs<AutoCorr64fFn>(names[type]);
    if (!fn)
        return;
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    fn(src->Read(), m, d, m);
}

void TSGRealBuffer::CrossCorr(ISGRealBuffer* src1, ISGRealBuffer* src2, int loLag)
{
    auto fn = DspLookupAs<CrossCorr64fFn>("vpsCrossCorr_64f");
    if (!fn)
        return;
    double* d = Write();
    fn(src1->Read(), Clamp(src1->GetSize()), src2->Read(), Clamp(src2->GetSize()), d, Count(), loLag);
}

void TSGRealBuffer::Abs() { vpsAbs_64f_I(Modify(), Count()); }

void TSGRealBuffer::AbsFrom(ISGRealBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsAbs_64f(src->Read(), d, m);
}

void TSGRealBuffer::Exp() { vpsExp_64f_I(Modify(), Count()); }

void TSGRealBuffer::ExpFrom(ISGRealBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsExp_64f(src->Read(), d, m);
}

void TSGRealBuffer::Ln() { vpsLn_64f_I(Modify(), Count()); }

void TSGRealBuffer::LnFrom(ISGRealBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    double* d = Write();
    vpsLn_64f(src->Read(), d, m);
}

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

namespace {
void ClampRange(int n, int& begin, int& end)
{
    begin = std::max(begin, 0);
    end = std::clamp(end, 0, n);
    if (begin >= n)
        begin = n - 1;
}

double Restricted(const double* d, int begin, int end, bool minimum)
{
    if (begin == end)
        return 0.0;
    double result = d[begin];
    if (minimum ? (!(result > -kRealMax) || result == kRealMax) : (result == kRealMax || result == -kRealMax))
        result = 0.0;
    for (int i = begin + 1; i < end; ++i) {
        const double x = d[i];
        if (x == kRealMax || x == -kRealMax)
            continue;
        if (minimum ? x < result : x > result)
            result = x;
    }
    return result;
}
}  // namespace

double TSGRealBuffer::GetMin(int indexBegin, int indexEnd)
{
    const int n = Count();
    if (n == 0)
        return 0.0;
    ClampRange(n, indexBegin, indexEnd);
    double result = 0.0;
    vpsMin_64f(Read() + indexBegin, indexEnd - indexBegin, &result);
    return result;
}

double TSGRealBuffer::GetMax(int indexBegin, int indexEnd)
{
    const int n = Count();
    if (n == 0)
        return 0.0;
    ClampRange(n, indexBegin, indexEnd);
    double result = 0.0;
    vpsMax_64f(Read() + indexBegin, indexEnd - indexBegin, &result);
    return result;
}

double TSGRealBuffer::GetMinRestricted(int indexBegin, int indexEnd)
{
    const int n = Count();
    if (n == 0)
        return 0.0;
    ClampRange(n, indexBegin, indexEnd);
    return Restricted(Read(), indexBegin, indexEnd, true);
}

double TSGRealBuffer::GetMaxRestricted(int indexBegin, int indexEnd)
{
    const int n = Count();
    if (n == 0)
        return 0.0;
    ClampRange(n, indexBegin, indexEnd);
    return Restricted(Read(), indexBegin, indexEnd, false);
}

// --------------------------------------------------------------------- TSGIntegerBuffer

TSGIntegerBuffer::TSGIntegerBuffer() : TSGIntegerBuffer(0u) {}

TSGIntegerBuffer::TSGIntegerBuffer(uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(NumericByteSize(size, 4)), NumericByteSize(size, 4))
{
}

TSGIntegerBuffer::TSGIntegerBuffer(const int32_t* data, uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(data, NumericByteSize(size, 4)), NumericByteSize(size, 4))
{
}

IntfPtr<TSGIntegerBuffer> TSGIntegerBuffer::CreateData(const int32_t* data, uint32_t size)
{
    return IntfPtr<TSGIntegerBuffer>(new TSGIntegerBuffer(data, size));
}

IntfPtr<TSGIntegerBuffer> TSGIntegerBuffer::CreateValue(int32_t value, uint32_t size)
{
    IntfPtr<TSGIntegerBuffer> b = CreateSize(size);
    b->SetValue(value);
    return b;
}

IntfPtr<TSGIntegerBuffer> TSGIntegerBuffer::CreateUniversal(ISGData* other)
{
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGIntegerBuffer>(new TSGIntegerBuffer(Share, *instance));
}

TSGSmartMemoryBuffer* TSGIntegerBuffer::CreateDataContainer(uint32_t size)
{
    return new TSGSmartMemoryBuffer(NumericByteSize(size, 4));
}

bool TSGIntegerBuffer::IsEqual(ISGDataBuffer* other)
{
    return BufferInstance<TSGIntegerBuffer>(other) && TSGGenericBuffer::IsEqual(other);
}

void TSGIntegerBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    auto* d = BufferInstance<TSGIntegerBuffer>(dest);
    if (!d) {
        TSGGenericBuffer::CopyTo(srcIndex, dest, destIndex, count);
        return;
    }
    int32_t* to = d->Modify() + destIndex;
    vpsCopy_8u(reinterpret_cast<const uint8_t*>(Read() + srcIndex), reinterpret_cast<uint8_t*>(to),
               Clamp(uint32_t(std::min<uint64_t>(uint64_t(count) * 4, INT_MAX))));
}

int TSGIntegerBuffer::Count() { return Clamp(GetSize()); }

int32_t* TSGIntegerBuffer::Write()
{
    Unique(false);
    return static_cast<int32_t*>(FDataPtr);
}

int32_t* TSGIntegerBuffer::Modify()
{
    Unique(true);
    return static_cast<int32_t*>(FDataPtr);
}

int32_t TSGIntegerBuffer::GetItem(int index)
{
    // Unchecked in the contract; an index outside the buffer raises rather than reads
    // past the block.
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    return Read()[index];
}

void TSGIntegerBuffer::SetItem(int index, int32_t value)
{
    int32_t* d = Modify();
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    d[index] = value;
}

void TSGIntegerBuffer::Add(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsAdd_32s_ISfs(right->Read(), d, m, 0);
}

void TSGIntegerBuffer::Subtract(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsSub_32s_ISfs(right->Read(), d, m, 0);
}

void TSGIntegerBuffer::Multiply(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsMul_32s_ISfs(right->Read(), d, m, 0);
}

void TSGIntegerBuffer::Divide(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsDiv_32s_ISfs(right->Read(), d, m, 0);
}

namespace {
int32_t Mod(int32_t a, int32_t b)
{
    if (b == 0)
        throw EDivByZero("Division by zero");
    return b == -1 ? 0 : a % b;
}
}  // namespace

void TSGIntegerBuffer::ModBuffer(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    const int32_t* r = right->Read();
    for (int i = 0; i < m; ++i)
        d[i] = Mod(d[i], r[i]);
}

void TSGIntegerBuffer::AndBuffer(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsAnd_32u_I(reinterpret_cast<const uint32_t*>(right->Read()), reinterpret_cast<uint32_t*>(d), m);
}

void TSGIntegerBuffer::OrBuffer(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsOr_32u_I(reinterpret_cast<const uint32_t*>(right->Read()), reinterpret_cast<uint32_t*>(d), m);
}

void TSGIntegerBuffer::XorBuffer(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    vpsXor_32u_I(reinterpret_cast<const uint32_t*>(right->Read()), reinterpret_cast<uint32_t*>(d), m);
}

void TSGIntegerBuffer::LShift(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    const int32_t* r = right->Read();
    for (int i = 0; i < m; ++i)
        d[i] = int32_t(uint32_t(d[i]) << (uint32_t(r[i]) & 31));
}

void TSGIntegerBuffer::RShift(ISGIntegerBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    int32_t* d = Modify();
    const int32_t* r = right->Read();
    for (int i = 0; i < m; ++i)
        d[i] = int32_t(uint32_t(d[i]) >> (uint32_t(r[i]) & 31));
}

void TSGIntegerBuffer::SetValue(int32_t value) { vpsSet_32s(value, Write(), Count()); }

void TSGIntegerBuffer::AddValue(int32_t value)
{
    if (value != 0)
        vpsAddC_32s_ISfs(value, Modify(), Count(), 0);
}

void TSGIntegerBuffer::SubtractValue(int32_t value) { vpsSubC_32s_ISfs(value, Modify(), Count(), 0); }

void TSGIntegerBuffer::MultiplyValue(int32_t value)
{
    if (value != 1)
        vpsMulC_32s_ISfs(value, Modify(), Count(), 0);
}

void TSGIntegerBuffer::DivideValue(int32_t value)
{
    if (value == 0 || value == 1)
        return;
    const int n = Count();
    if (pDataContainer->SingleOwner()) {
        dspDivC_32s_I(value, static_cast<int32_t*>(FDataPtr), n);
        return;
    }
    // The temporary keeps the shared data alive, so Write hands this buffer a fresh,
    // unfilled container and the quotients go straight from the old data into it.
    IntfPtr<TSGIntegerBuffer> old(new TSGIntegerBuffer(Share, *this));
    int32_t* d = Write();
    dspDivC_32s(old->Read(), value, d, n);
}

void TSGIntegerBuffer::ModValue(int32_t value)
{
    if (value == 0)
        throw EDivByZero("Division by zero");
    int32_t* d = Modify();
    const int n = Count();
    for (int i = 0; i < n; ++i)
        d[i] = Mod(d[i], value);
}

void TSGIntegerBuffer::AndValue(int32_t value)
{
    if (value != -1)
        vpsAndC_32u_I(uint32_t(value), reinterpret_cast<uint32_t*>(Modify()), Count());
}

void TSGIntegerBuffer::OrValue(int32_t value)
{
    if (value != 0)
        vpsOrC_32u_I(uint32_t(value), reinterpret_cast<uint32_t*>(Modify()), Count());
}

void TSGIntegerBuffer::XorValue(int32_t value)
{
    if (value != 0)
        vpsXorC_32u_I(uint32_t(value), reinterpret_cast<uint32_t*>(Modify()), Count());
}

void TSGIntegerBuffer::LShiftValue(int32_t value)
{
    if (value != 0)
        vpsLShiftC_32s_I(value, Modify(), Count());
}

void TSGIntegerBuffer::RShiftValue(int32_t value)
{
    if (value != 0)
        vpsRShiftC_32s_I(value, Modify(), Count());
}

void TSGIntegerBuffer::Zero()
{
    vpsZero_16s(reinterpret_cast<int16_t*>(Write()), int(std::min<uint64_t>(uint64_t(GetSize()) * 2, INT_MAX)));
}

int32_t TSGIntegerBuffer::Dot(ISGIntegerBuffer* right)
{
    int32_t result = 0;
    vpsDotProd_32s_Sfs(right->Read(), Read(), Common(right->GetSize(), GetSize()), &result, 0);
    return result;
}

int32_t TSGIntegerBuffer::GetMinValue()
{
    const int n = Count();
    if (n == 0)
        return 0;
    return *std::min_element(Read(), Read() + n);
}

int32_t TSGIntegerBuffer::GetMaxValue()
{
    const int n = Count();
    if (n == 0)
        return 0;
    return *std::max_element(Read(), Read() + n);
}

// --------------------------------------------------------------------- TSGComplexBuffer

namespace {
// The stream types' complex pair has the entries' layout (checked in the header).
const Vps64fc* V(const TPNRealComplex* p) { return reinterpret_cast<const Vps64fc*>(p); }
Vps64fc* V(TPNRealComplex* p) { return reinterpret_cast<Vps64fc*>(p); }
Vps64fc V(TPNRealComplex c) { return {c.Real, c.Imaginary}; }
}  // namespace

TSGComplexBuffer::TSGComplexBuffer() : TSGComplexBuffer(0u) {}

TSGComplexBuffer::TSGComplexBuffer(uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(NumericByteSize(size, 16)), NumericByteSize(size, 16))
{
}

TSGComplexBuffer::TSGComplexBuffer(const TPNRealComplex* data, uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(data, NumericByteSize(size, 16)), NumericByteSize(size, 16))
{
}

IntfPtr<TSGComplexBuffer> TSGComplexBuffer::CreateData(const TPNRealComplex* data, uint32_t size)
{
    return IntfPtr<TSGComplexBuffer>(new TSGComplexBuffer(data, size));
}

IntfPtr<TSGComplexBuffer> TSGComplexBuffer::CreateValue(TPNRealComplex value, uint32_t size)
{
    IntfPtr<TSGComplexBuffer> b = CreateSize(size);
    b->SetValue(value);
    return b;
}

IntfPtr<TSGComplexBuffer> TSGComplexBuffer::CreateUniversal(ISGData* other)
{
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGComplexBuffer>(new TSGComplexBuffer(Share, *instance));
}

TSGSmartMemoryBuffer* TSGComplexBuffer::CreateDataContainer(uint32_t size)
{
    return new TSGSmartMemoryBuffer(NumericByteSize(size, 16));
}

bool TSGComplexBuffer::IsEqual(ISGDataBuffer* other)
{
    return BufferInstance<TSGComplexBuffer>(other) && TSGGenericBuffer::IsEqual(other);
}

int TSGComplexBuffer::Count() { return Clamp(GetSize()); }

TPNRealComplex* TSGComplexBuffer::Write()
{
    Unique(false);
    return static_cast<TPNRealComplex*>(FDataPtr);
}

TPNRealComplex* TSGComplexBuffer::Modify()
{
    Unique(true);
    return static_cast<TPNRealComplex*>(FDataPtr);
}

TPNRealComplex TSGComplexBuffer::GetItem(int index)
{
    // Unchecked in the contract; an index outside the buffer raises rather than reads
    // past the block.
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    return Read()[index];
}

void TSGComplexBuffer::SetItem(int index, TPNRealComplex value)
{
    TPNRealComplex* d = Modify();
    if (index < 0 || uint32_t(index) >= GetSize())
        RaiseIndex(index);
    d[index] = value;
}

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

void TSGComplexBuffer::Add(ISGComplexBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    TPNRealComplex* d = Modify();
    vpsAdd_64fc_I(V(right->Read()), V(d), m);
}

void TSGComplexBuffer::Subtract(ISGComplexBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    TPNRealComplex* d = Modify();
    vpsSub_64fc_I(V(right->Read()), V(d), m);
}

void TSGComplexBuffer::Multiply(ISGComplexBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    TPNRealComplex* d = Modify();
    vpsMul_64fc_I(V(right->Read()), V(d), m);
}

void TSGComplexBuffer::Divide(ISGComplexBuffer* right)
{
    const int m = Common(right->GetSize(), GetSize());
    TPNRealComplex* d = Modify();
    vpsDiv_64fc_I(V(right->Read()), V(d), m);
}

void TSGComplexBuffer::AddValue(double re, double im) { vpsAddC_64fc_I(Vps64fc{re, im}, V(Modify()), Count()); }
void TSGComplexBuffer::SubtractValue(double re, double im) { vpsSubC_64fc_I(Vps64fc{re, im}, V(Modify()), Count()); }
void TSGComplexBuffer::MultiplyValue(double re, double im) { vpsMulC_64fc_I(Vps64fc{re, im}, V(Modify()), Count()); }
void TSGComplexBuffer::DivideValue(double re, double im) { vpsDivC_64fc_I(Vps64fc{re, im}, V(Modify()), Count()); }

void TSGComplexBuffer::SetBuffer(ISGRealBuffer* re, ISGRealBuffer* im)
{
    const uint32_t k = std::min(re->GetSize(), im->GetSize());
    Resize(k, false);
    TPNRealComplex* d = Write();
    vpsRealToCplx_64f(re->Read(), im->Read(), V(d), Clamp(k));
}

void TSGComplexBuffer::SetValue(double re, double im) { vpsSet_64fc(Vps64fc{re, im}, V(Write()), Count()); }
void TSGComplexBuffer::SetValue(TPNRealComplex value) { vpsSet_64fc(V(value), V(Write()), Count()); }
void TSGComplexBuffer::Zero() { vpsZero_64fc(V(Write()), Count()); }

void TSGComplexBuffer::NormalizeFrom(ISGComplexBuffer* src, TPNRealComplex offset, double factor)
{
    const int m = Common(src->GetSize(), GetSize());
    TPNRealComplex* d = Write();
    vpsNormalize_64fc(V(src->Read()), V(d), m, V(offset), factor);
}

void TSGComplexBuffer::Normalize(TPNRealComplex offset, double factor)
{
    IntfPtr<TSGComplexBuffer> old(new TSGComplexBuffer(Share, *this));
    NormalizeFrom(old.Get(), offset, factor);
}

TPNRealComplex TSGComplexBuffer::Dot(ISGComplexBuffer* src)
{
    Vps64fc result{0.0, 0.0};
    vpsDotProd_64fc(V(src->Read()), V(Read()), Common(src->GetSize(), GetSize()), &result);
    return {result.re, result.im};
}

void TSGComplexBuffer::Threshold(double threshold, TSGThresholdType type)
{
    vpsThreshold_64fc_I(V(Modify()), Count(), threshold, RelOp(type));
}

void TSGComplexBuffer::ThresholdFrom(ISGComplexBuffer* src, double threshold, TSGThresholdType type)
{
    const int m = Common(src->GetSize(), GetSize());
    TPNRealComplex* d = Write();
    vpsThreshold_64fc(V(src->Read()), V(d), m, threshold, RelOp(type));
}

void TSGComplexBuffer::Sqr() { vpsSqr_64fc_I(V(Modify()), Count()); }

void TSGComplexBuffer::SqrFrom(ISGComplexBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    TPNRealComplex* d = Write();
    vpsSqr_64fc(V(src->Read()), V(d), m);
}

void TSGComplexBuffer::Sqrt() { vpsSqrt_64fc_I(V(Modify()), Count()); }

void TSGComplexBuffer::SqrtFrom(ISGComplexBuffer* src)
{
    const int m = Common(src->GetSize(), GetSize());
    TPNRealComplex* d = Write();
    vpsSqrt_64fc(V(src->Read()), V(d), m);
}

void TSGComplexBuffer::AutoCorr(ISGComplexBuffer* src, TSGAutoCorrType type)
{
    static const char* const names[] = {"vpsAutoCorr_64fc", "vpsAutoCorr_NormA_64fc", "vpsAutoCorr_NormB_64fc"};
    auto fn = DspLookupAs<AutoCorr64fcFn>(names[type]);
    if (!fn)
        return;
    const int m = Common(src->GetSize(), GetSize());
    TPNRealComplex* d = Write();
    fn(V(src->Read()), m, V(d), m);
}

void TSGComplexBuffer::CrossCorr(ISGComplexBuffer* src1, ISGComplexBuffer* src2, int loLag)
{
    auto fn = DspLookupAs<CrossCorr64fcFn>("vpsCrossCorr_64fc");
    if (!fn)
        return;
    TPNRealComplex* d = Write();
    fn(V(src1->Read()), Clamp(src1->GetSize()), V(src2->Read()), Clamp(src2->GetSize()), V(d), Count(), loLag);
}

}  // namespace dcs
