#include "components/audio/buffers/SGIntegerBuffer.h"

#include "dsp/DspCore.h"
#include "dsp/IntegerEntries.h"
#include "dsp/LogicEntries.h"
#include "dsp/MemoryEntries.h"
#include "dsp/StatisticsEntries.h"

#include <algorithm>
#include <climits>

namespace dcs {

namespace {

int32_t Mod(int32_t a, int32_t b)
{
    if (b == 0)
        throw EDivByZero("Division by zero");
    return b == -1 ? 0 : a % b;
}

// The element loops in the shape of the in-place vector entries.
void ModInPlace(const int32_t* r, int32_t* d, int m)
{
    for (int i = 0; i < m; ++i)
        d[i] = Mod(d[i], r[i]);
}

void LShiftInPlace(const int32_t* r, int32_t* d, int m)
{
    for (int i = 0; i < m; ++i)
        d[i] = int32_t(uint32_t(d[i]) << (uint32_t(r[i]) & 31));
}

void RShiftInPlace(const int32_t* r, int32_t* d, int m)
{
    for (int i = 0; i < m; ++i)
        d[i] = int32_t(uint32_t(d[i]) >> (uint32_t(r[i]) & 31));
}

}  // namespace

void TSGIntegerBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    CopyElementsTo(srcIndex, dest, destIndex, count, [](const int32_t* from, int32_t* to, uint32_t n) {
        vpsCopy_8u(reinterpret_cast<const uint8_t*>(from), reinterpret_cast<uint8_t*>(to),
                   Clamp(uint32_t(std::min<uint64_t>(uint64_t(n) * 4, INT_MAX))));
    });
}

void TSGIntegerBuffer::Add(ISGIntegerBuffer* right) { Combine(right, vpsAdd_32s_ISfs, 0); }
void TSGIntegerBuffer::Subtract(ISGIntegerBuffer* right) { Combine(right, vpsSub_32s_ISfs, 0); }
void TSGIntegerBuffer::Multiply(ISGIntegerBuffer* right) { Combine(right, vpsMul_32s_ISfs, 0); }
void TSGIntegerBuffer::Divide(ISGIntegerBuffer* right) { Combine(right, vpsDiv_32s_ISfs, 0); }
void TSGIntegerBuffer::ModBuffer(ISGIntegerBuffer* right) { Combine(right, ModInPlace); }
void TSGIntegerBuffer::AndBuffer(ISGIntegerBuffer* right) { Combine(right, vpsAnd_32u_I); }
void TSGIntegerBuffer::OrBuffer(ISGIntegerBuffer* right) { Combine(right, vpsOr_32u_I); }
void TSGIntegerBuffer::XorBuffer(ISGIntegerBuffer* right) { Combine(right, vpsXor_32u_I); }
void TSGIntegerBuffer::LShift(ISGIntegerBuffer* right) { Combine(right, LShiftInPlace); }
void TSGIntegerBuffer::RShift(ISGIntegerBuffer* right) { Combine(right, RShiftInPlace); }

void TSGIntegerBuffer::SetValue(int32_t value) { vpsSet_32s(value, Write(), Count()); }

void TSGIntegerBuffer::AddValue(int32_t value)
{
    if (value != 0)
        InPlaceValue(vpsAddC_32s_ISfs, value, 0);
}

void TSGIntegerBuffer::SubtractValue(int32_t value) { InPlaceValue(vpsSubC_32s_ISfs, value, 0); }

void TSGIntegerBuffer::MultiplyValue(int32_t value)
{
    if (value != 1)
        InPlaceValue(vpsMulC_32s_ISfs, value, 0);
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
    // The sharer keeps the shared data alive, so Write hands this buffer a fresh,
    // unfilled container and the quotients go straight from the old data into it.
    IntfPtr<TSGIntegerBuffer> old = Sharer();
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
        InPlaceValue(vpsAndC_32u_I, uint32_t(value));
}

void TSGIntegerBuffer::OrValue(int32_t value)
{
    if (value != 0)
        InPlaceValue(vpsOrC_32u_I, uint32_t(value));
}

void TSGIntegerBuffer::XorValue(int32_t value)
{
    if (value != 0)
        InPlaceValue(vpsXorC_32u_I, uint32_t(value));
}

void TSGIntegerBuffer::LShiftValue(int32_t value)
{
    if (value != 0)
        InPlaceValue(vpsLShiftC_32s_I, value);
}

void TSGIntegerBuffer::RShiftValue(int32_t value)
{
    if (value != 0)
        InPlaceValue(vpsRShiftC_32s_I, value);
}

void TSGIntegerBuffer::Zero()
{
    vpsZero_16s(reinterpret_cast<int16_t*>(Write()), int(std::min<uint64_t>(uint64_t(GetSize()) * 2, INT_MAX)));
}

int32_t TSGIntegerBuffer::Dot(ISGIntegerBuffer* right) { return DotWith(right, vpsDotProd_32s_Sfs, 0); }

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

}  // namespace dcs
