#include "components/audio/buffers/AUSimpleAudioBuffer.h"

#include "components/audio/buffers/AUSampleRoutines.h"
#include "dsp/DspCore.h"
#include "dsp/IntegerEntries.h"
#include "dsp/IntegerVectorEntries.h"
#include "dsp/MemoryEntries.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace dcs {

namespace {

constexpr uint32_t kHeader = TAUAudioBuffer::HeaderSize;
constexpr int kSpeakerCount = spTopBackRight + 1;

int ClampInt(uint64_t n) { return int(std::min<uint64_t>(n, INT_MAX)); }

// Bytes of a block of `frames` frames of `step` bytes behind the header; the pool serves
// at most 2^30 bytes.
uint32_t StoreSize(uint64_t frames, uint64_t step)
{
    const uint64_t bytes = kHeader + frames * step;
    if (bytes > (uint64_t(1) << 30))
        throw EOutOfMemory("Out of memory");
    return uint32_t(bytes);
}

// Members of mask below speaker s: the channel that speaker occupies.
uint32_t ChannelOf(TAUSpeakers mask, int s) { return uint32_t(std::popcount(mask.Mask() & ((uint32_t(1) << s) - 1))); }

uint32_t DefaultMask(uint32_t channels) { return (uint32_t(1) << (channels % 32)) - 1; }

IntfPtr<TAUAudioBuffer> NewBuffer(uint32_t rate, uint32_t bits, uint32_t channels, uint32_t size, uint32_t mask)
{
    const uint32_t width = (bits + 7) / 8 * 8;
    const uint32_t step = channels * (width / 8);
    const uint32_t bytes = StoreSize(size, step);
    auto* store = new TAUSmartAudioBuffer(bytes);
    TAUWaveFormatExtensible h = MakePcmWaveFormat(channels, bits, rate, mask);
    h.Format.nAvgBytesPerSec = rate * step;  // from the whole step, even where the block align wraps
    std::memcpy(store->RawData(), &h, sizeof h);
    return IntfPtr<TAUAudioBuffer>(new TAUAudioBuffer(store, bytes));
}

// Bytes per sample of the width chosen by valid bits (sample access, buffer arithmetic):
// 0 when no branch applies.
uint32_t ValidBytes(uint32_t validBits, uint32_t containerBits)
{
    if (validBits <= 8)
        return 1;
    if (validBits <= 16)
        return 2;
    if (containerBits == 24 || containerBits == 32)
        return containerBits / 8;
    return 0;
}

// Bytes per sample of the container width, 0 for a width no operation handles.
uint32_t ContainerBytes(uint32_t containerBits)
{
    switch (containerBits) {
    case 8:
    case 16:
    case 24:
    case 32: return containerBits / 8;
    default: return 0;
    }
}

int16_t* As16(void* p) { return static_cast<int16_t*>(p); }
const int16_t* As16(const void* p) { return static_cast<const int16_t*>(p); }
int32_t* As32(void* p) { return static_cast<int32_t*>(p); }
const int32_t* As32(const void* p) { return static_cast<const int32_t*>(p); }

}  // namespace

TAUSpeakers AUReduceSpeakerMask(uint32_t channels, TAUSpeakers mask)
{
    if (mask.Mask() == 0)
        return TAUSpeakers::FromMask(DefaultMask(channels));
    uint32_t m = mask.Mask();
    uint32_t counted = 0;
    for (int pos = 0; pos <= 16; ++pos) {
        if (counted == channels) {
            m &= (uint32_t(1) << pos) - 1;
            break;
        }
        if ((m >> pos) & 1u)
            ++counted;
    }
    return TAUSpeakers::FromMask(m);
}

// ------------------------------------------------------------------------ construction

TAUAudioBuffer::TAUAudioBuffer(TAUSmartAudioBuffer* container, uint32_t charSize) : TMDMediaBuffer(container, charSize)
{
    UpdateDataPointer();
}

TAUAudioBuffer::TAUAudioBuffer(TShareTag, TAUAudioBuffer& other) : TAUAudioBuffer(other.pBuffer(), other.FCharSize) {}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::Create() { return NewBuffer(11025, 8, 1, 0, DefaultMask(1)); }

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateSize(uint32_t rate, uint32_t bitsPerSample, uint32_t channels,
                                                   uint32_t size)
{
    return NewBuffer(rate, bitsPerSample, channels, size, DefaultMask(channels));
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateSizeEx(uint32_t rate, uint32_t bitsPerSample, uint32_t channels,
                                                     uint32_t size, TAUSpeakers speakerMask)
{
    return NewBuffer(rate, bitsPerSample, channels, size, AUReduceSpeakerMask(channels, speakerMask).Mask());
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateData(const void* data, uint32_t rate, uint32_t bitsPerSample,
                                                   uint32_t channels, uint32_t size)
{
    return CreateDataEx(data, rate, bitsPerSample, channels, size, TAUSpeakers::FromMask(DefaultMask(channels)));
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateDataEx(const void* data, uint32_t rate, uint32_t bitsPerSample,
                                                     uint32_t channels, uint32_t size, TAUSpeakers speakerMask)
{
    IntfPtr<TAUAudioBuffer> b = NewBuffer(rate, bitsPerSample, channels, size, speakerMask.Mask());
    const int n = ClampInt(b->GetByteSize());
    if (data && n > 0)
        vpsCopy_8u(static_cast<const uint8_t*>(data), b->Write(), n);
    return b;
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateWaveFormat(const TAUWaveFormatExtensible* waveFormat, uint32_t size)
{
    return CreateSizeEx(waveFormat->Format.nSamplesPerSec, waveFormat->wValidBitsPerSample,
                        waveFormat->Format.nChannels, size, TAUSpeakers::FromMask(waveFormat->dwChannelMask));
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateEx(TAUAudioBuffer& other)
{
    return IntfPtr<TAUAudioBuffer>(new TAUAudioBuffer(Share, other));
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateCopy(IAUAudioBuffer* other)
{
    auto* instance = BufferInstance<TAUAudioBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return CreateEx(*instance);
}

IntfPtr<TAUAudioBuffer> TAUAudioBuffer::CreateUniversal(ISGData* other)
{
    // Only an audio container carries the header the new view reads its layout from.
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    auto* store = instance ? dynamic_cast<TAUSmartAudioBuffer*>(instance->DataContainer()) : nullptr;
    if (!store)
        RaiseIntfCastError();
    // Other buffer classes count the whole block in their byte size, header included.
    auto* audio = dynamic_cast<TAUAudioBuffer*>(instance);
    const uint32_t size = audio ? audio->FCharSize : instance->GetByteSize();
    return IntfPtr<TAUAudioBuffer>(new TAUAudioBuffer(store, size));
}

TAUSmartAudioBuffer* TAUAudioBuffer::CreateStore(uint32_t size) { return new TAUSmartAudioBuffer(size); }

// ------------------------------------------------------------------------ layout

void TAUAudioBuffer::UpdateDataPointer()
{
    FWaveFormat = static_cast<PAUWaveFormatExtensible>(pBuffer()->RawData());
    FChannels = FWaveFormat->Format.nChannels;
    FSampleBitWidth = FWaveFormat->Format.wBitsPerSample;
    FDataStep = FWaveFormat->Format.nBlockAlign;
    FChannelMask = TAUSpeakers::FromMask(FWaveFormat->dwChannelMask);
    FBitsPerSample = FWaveFormat->wValidBitsPerSample;
    FDataOffset = uint32_t(FWaveFormat->Format.cbSize) + 18;
    FDataPtr = reinterpret_cast<uint8_t*>(FWaveFormat) + FDataOffset;
}

uint32_t TAUAudioBuffer::GetByteSize() { return FCharSize > FDataOffset ? FCharSize - FDataOffset : 0; }

uint32_t TAUAudioBuffer::GetSize()
{
    const uint32_t bytes = GetByteSize();
    return (bytes == 0 || FDataStep == 0) ? 0 : bytes / FDataStep;
}

uint32_t TAUAudioBuffer::GetSampleDataSize()
{
    const uint32_t header = uint32_t(FWaveFormat->Format.cbSize) + 18;
    return FCharSize > header ? FCharSize - header : 0;
}

int TAUAudioBuffer::Frames() { return ClampInt(GetSize()); }

int TAUAudioBuffer::SampleCount()
{
    const uint32_t bytes = ContainerBytes(FSampleBitWidth);
    return bytes ? ClampInt(GetByteSize() / bytes) : 0;
}

uint8_t* TAUAudioBuffer::Write()
{
    Unique(false);
    return static_cast<uint8_t*>(FDataPtr);
}

uint8_t* TAUAudioBuffer::Modify()
{
    Unique(true);
    return static_cast<uint8_t*>(FDataPtr);
}

// ------------------------------------------------------------------------ samples

int32_t TAUAudioBuffer::GetSample(uint32_t index, uint32_t channel)
{
    if (channel >= FChannels)
        throw ERangeError("Channel out of range = " + std::to_string(channel));
    if (index >= GetSize())
        throw ERangeError("Index out of range = " + std::to_string(index));
    const uint32_t bytes = ValidBytes(FBitsPerSample, FSampleBitWidth);
    const uint8_t* p = Read() + uint64_t(index) * FDataStep + uint64_t(channel) * (FSampleBitWidth / 8);
    switch (bytes) {
    case 1: return p[0];
    case 2: {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case 3: return int32_t(p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16));
    case 4: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: return 0;
    }
}

void TAUAudioBuffer::SetSample(uint32_t index, uint32_t channel, int32_t value)
{
    uint8_t* data = Modify();
    if (channel >= FChannels)
        throw ERangeError("Channel out of range = " + std::to_string(channel));
    if (index >= GetSize())
        throw ERangeError("Index out of range = " + std::to_string(index));
    uint8_t* p = data + uint64_t(index) * FDataStep + uint64_t(channel) * (FSampleBitWidth / 8);
    const uint32_t v = uint32_t(value);
    const uint8_t le[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::memcpy(p, le, ValidBytes(FBitsPerSample, FSampleBitWidth));
}

// ------------------------------------------------------------------------ buffer with buffer

void TAUAudioBuffer::Combine(Op op, IAUAudioBuffer* right)
{
    if (!right)
        return;
    const uint32_t bytes = ValidBytes(FBitsPerSample, FSampleBitWidth);
    const int n = ClampInt(std::min(right->GetSize(), GetSize()));
    if (bytes == 0 || n == 0)
        return;
    const int dstStep = int(FDataStep);
    const int srcStep = int(right->GetDataStep());
    uint8_t* dst = Modify();
    const uint8_t* src = right->Read();  // after Modify: right may be this buffer
    const VpiSize region {1, n};

    auto run = [&](uint32_t srcColumn, uint32_t dstColumn) {
        // A column must lie inside its frame: masks with more members than channels, or a
        // right buffer of a narrower width, would otherwise reach past the last frame.
        if ((dstColumn + 1) * bytes > FDataStep || (srcColumn + 1) * bytes > uint32_t(srcStep))
            return;
        const uint8_t* s = src + srcColumn * bytes;
        uint8_t* d = dst + dstColumn * bytes;
        switch (bytes) {
        case 1:
            switch (op) {
            case Op::Add: AddSamples8(s, srcStep, d, dstStep, region, 0); break;
            case Op::Sub: SubSamples8(s, srcStep, d, dstStep, region, 0); break;
            case Op::Mul: MulSamples8(s, srcStep, d, dstStep, region, 0); break;
            case Op::Div: DivSamples8(s, srcStep, d, dstStep, region, 0); break;
            }
            break;
        case 2:
            switch (op) {
            case Op::Add: vpiAdd_16s_C1IRSfs(As16(s), srcStep, As16(d), dstStep, region, 0); break;
            case Op::Sub: vpiSub_16s_C1IRSfs(As16(s), srcStep, As16(d), dstStep, region, 0); break;
            case Op::Mul: vpiMul_16s_C1IRSfs(As16(s), srcStep, As16(d), dstStep, region, 0); break;
            case Op::Div: vpiDiv_16s_C1IRSfs(As16(s), srcStep, As16(d), dstStep, region, 0); break;
            }
            break;
        case 3:
            switch (op) {
            case Op::Add: AddSamples24(s, srcStep, d, dstStep, region, 0); break;
            case Op::Sub: SubSamples24(s, srcStep, d, dstStep, region, 0); break;
            case Op::Mul: MulSamples24(s, srcStep, d, dstStep, region, 0); break;
            case Op::Div: DivSamples24(s, srcStep, d, dstStep, region, 0); break;
            }
            break;
        case 4:
            switch (op) {
            case Op::Add: AddSamples32(As32(s), srcStep, As32(d), dstStep, region, 0); break;
            case Op::Sub: SubSamples32(As32(s), srcStep, As32(d), dstStep, region, 0); break;
            case Op::Mul: MulSamples32(As32(s), srcStep, As32(d), dstStep, region, 0); break;
            case Op::Div: DivSamples32(As32(s), srcStep, As32(d), dstStep, region, 0); break;
            }
            break;
        }
    };

    if (right->GetChannels() == 1) {
        for (uint32_t c = 0; c < FChannels; ++c)
            run(0, c);
        return;
    }
    // A 24-bit sum of equal layouts (the mixer's): every column meets its own, so the
    // frames are summed as one run of samples.
    if (op == Op::Add && bytes == 3 && right->GetChannels() == FChannels && FDataStep == 3 * FChannels &&
        uint32_t(srcStep) == FDataStep && right->GetChannelMask().Mask() == FChannelMask.Mask() &&
        uint32_t(std::popcount(FChannelMask.Mask())) == FChannels) {
        AddSamplesContiguous24(src, dst, int64_t(n) * FChannels);
        return;
    }
    const TAUSpeakers rightMask = right->GetChannelMask();
    for (int s = 0; s < kSpeakerCount; ++s)
        if (FChannelMask.Contains(TAUSpeaker(s)) && rightMask.Contains(TAUSpeaker(s)))
            run(ChannelOf(rightMask, s), ChannelOf(FChannelMask, s));
}

void TAUAudioBuffer::Add(IAUAudioBuffer* right) { Combine(Op::Add, right); }
void TAUAudioBuffer::Subtract(IAUAudioBuffer* right) { Combine(Op::Sub, right); }
void TAUAudioBuffer::Multiply(IAUAudioBuffer* right) { Combine(Op::Mul, right); }
void TAUAudioBuffer::Divide(IAUAudioBuffer* right) { Combine(Op::Div, right); }

// ------------------------------------------------------------------------ with a value

void TAUAudioBuffer::SetValue(int32_t value)
{
    const int n = SampleCount();
    switch (FSampleBitWidth) {
    case 8: vpsSet_8u(uint8_t(uint32_t(value) + 127), Write(), n); break;
    case 16: vpsSet_16s(int16_t(value), As16(Write()), n); break;
    case 24: FillSamples24(value, Write(), n); break;
    case 32: vpsSet_32s(value, As32(Write()), n); break;
    default: break;
    }
}

void TAUAudioBuffer::Zero()
{
    const int n = SampleCount();
    switch (FSampleBitWidth) {
    case 8: SetValue(0); break;
    case 16: vpsZero_16s(As16(Write()), n); break;
    case 24: ZeroSamples24(Write(), n); break;
    case 32: vpsZero_32s(As32(Write()), n); break;
    default: break;
    }
}

void TAUAudioBuffer::ValueOp(Op op, int32_t value)
{
    if (ContainerBytes(FSampleBitWidth) == 0)
        return;
    // Every entry refuses a zero divisor (or leaves the sample): the samples stay as they
    // are, and a shared buffer must not trade them for an unfilled fresh block.
    if (op == Op::Div && value == 0)
        return;
    const int n = SampleCount();
    const uint8_t v8 = uint8_t(value);
    const int16_t v16 = int16_t(value);

    if (pDataContainer->SingleOwner()) {
        void* d = FDataPtr;
        switch (FSampleBitWidth) {
        case 8: {
            auto* p = static_cast<uint8_t*>(d);
            switch (op) {
            case Op::Add: vpsAddC_8u_ISfs(v8, p, n, 0); break;
            case Op::Sub: vpsSubC_8u_ISfs(v8, p, n, 0); break;
            case Op::Mul: vpsMulC_8u_ISfs(v8, p, n, 0); break;
            case Op::Div: vpsDivC_8u_Sfs(p, v8, p, n, 0); break;
            }
            break;
        }
        case 16:
            switch (op) {
            case Op::Add: vpsAddC_16s_ISfs(v16, As16(d), n, 0); break;
            case Op::Sub: vpsSubC_16s_ISfs(v16, As16(d), n, 0); break;
            case Op::Mul: vpsMulC_16s_ISfs(v16, As16(d), n, 0); break;
            case Op::Div: vpsDivC_16s_ISfs(v16, As16(d), n, 0); break;
            }
            break;
        case 24:
            switch (op) {
            case Op::Add: AddConst24(value, d, n, 0); break;
            case Op::Sub: SubConst24(value, d, n, 0); break;
            case Op::Mul: MulConst24(value, d, n, 0); break;
            case Op::Div: DivConst24(value, d, n, 0); break;
            }
            break;
        case 32:
            switch (op) {
            case Op::Add: vpsAddC_32s_ISfs(value, As32(d), n, 0); break;
            case Op::Sub: vpsSubC_32s_ISfs(value, As32(d), n, 0); break;
            case Op::Mul: vpsMulC_32s_ISfs(value, As32(d), n, 0); break;
            case Op::Div: dspDivC_32s_I(value, As32(d), n); break;
            }
            break;
        }
        return;
    }

    // Shared: the temporary keeps the old samples alive while Write hands this buffer a
    // fresh block, and the results go straight from the old samples into it.
    IntfPtr<TAUAudioBuffer> old = CreateEx(*this);
    uint8_t* d = Write();
    const uint8_t* s = old->Read();
    switch (FSampleBitWidth) {
    case 8:
        switch (op) {
        case Op::Add: vpsAddC_8u_Sfs(s, v8, d, n, 0); break;
        case Op::Sub: vpsSubC_8u_Sfs(s, v8, d, n, 0); break;
        case Op::Mul: vpsMulC_8u_Sfs(s, v8, d, n, 0); break;
        case Op::Div: vpsDivC_8u_Sfs(s, v8, d, n, 0); break;
        }
        break;
    case 16:
        switch (op) {
        case Op::Add: vpsAddC_16s_Sfs(As16(s), v16, As16(d), n, 0); break;
        case Op::Sub: vpsSubC_16s_Sfs(As16(s), v16, As16(d), n, 0); break;
        case Op::Mul: vpsMulC_16s_Sfs(As16(s), v16, As16(d), n, 0); break;
        case Op::Div: vpsDivC_16s_Sfs(As16(s), v16, As16(d), n, 0); break;
        }
        break;
    case 24:
        switch (op) {
        case Op::Add: AddConstTo24(s, value, d, n, 0); break;
        case Op::Sub: SubConstTo24(s, value, d, n, 0); break;
        case Op::Mul: MulConstTo24(s, value, d, n, 0); break;
        case Op::Div: DivConstTo24(s, value, d, n, 0); break;
        }
        break;
    case 32:
        switch (op) {
        case Op::Add: vpsAddC_32s_Sfs(As32(s), value, As32(d), n, 0); break;
        case Op::Sub: vpsSubC_32s_Sfs(As32(s), value, As32(d), n, 0); break;
        case Op::Mul: vpsMulC_32s_Sfs(As32(s), value, As32(d), n, 0); break;
        case Op::Div: dspDivC_32s(As32(s), value, As32(d), n); break;
        }
        break;
    }
}

void TAUAudioBuffer::AddValue(int32_t value) { ValueOp(Op::Add, value); }
void TAUAudioBuffer::SubtractValue(int32_t value) { ValueOp(Op::Sub, value); }
void TAUAudioBuffer::MultiplyValue(int32_t value) { ValueOp(Op::Mul, value); }
void TAUAudioBuffer::DivideValue(int32_t value) { ValueOp(Op::Div, value); }

// ------------------------------------------------------------------------ one channel

void TAUAudioBuffer::SetChannelValue(uint32_t channel, int32_t value)
{
    const uint32_t bytes = ContainerBytes(FSampleBitWidth);
    // A channel beyond the frame would write past the last frame's end.
    if (bytes == 0 || channel >= FChannels)
        return;
    uint8_t* p = Modify() + channel * bytes;
    const int step = int(FDataStep);
    const VpiSize region {1, Frames()};
    switch (bytes) {
    case 1: vpiSet_8u_C1R(uint8_t(value), p, step, region); break;
    case 2: vpiSet_16s_C1R(int16_t(value), As16(p), step, region); break;
    case 3: SetSamplesStrided24(value, p, step, region); break;
    case 4: vpiSet_32s_C1R(value, As32(p), step, region); break;
    }
}

void TAUAudioBuffer::ChannelOp(Op op, uint32_t channel, int32_t value)
{
    const uint32_t bytes = ContainerBytes(FSampleBitWidth);
    if (bytes == 0 || channel >= FChannels)
        return;
    uint8_t* p = Modify() + channel * bytes;
    const int step = int(FDataStep);
    const VpiSize region {1, Frames()};
    const uint8_t v8 = uint8_t(value);
    const int16_t v16 = int16_t(value);
    switch (bytes) {
    case 1:
        switch (op) {
        case Op::Add: vpiAddC_8u_C1IRSfs(v8, p, step, region, 0); break;
        case Op::Sub: vpiSubC_8u_C1IRSfs(v8, p, step, region, 0); break;
        case Op::Mul: vpiMulC_8u_C1IRSfs(v8, p, step, region, 0); break;
        case Op::Div: vpiDivC_8u_C1IRSfs(v8, p, step, region, 0); break;
        }
        break;
    case 2:
        switch (op) {
        case Op::Add: vpiAddC_16s_C1IRSfs(v16, As16(p), step, region, 0); break;
        case Op::Sub: vpiSubC_16s_C1IRSfs(v16, As16(p), step, region, 0); break;
        case Op::Mul: vpiMulC_16s_C1IRSfs(v16, As16(p), step, region, 0); break;
        case Op::Div: vpiDivC_16s_C1IRSfs(v16, As16(p), step, region, 0); break;
        }
        break;
    case 3:
        switch (op) {
        case Op::Add: AddConstStrided24(value, p, step, region, 0); break;
        case Op::Sub: SubConstStrided24(value, p, step, region, 0); break;
        case Op::Mul: MulConstStrided24(value, p, step, region, 0); break;
        case Op::Div: DivConstStrided24(value, p, step, region, 0); break;
        }
        break;
    case 4:
        switch (op) {
        case Op::Add: AddConstStrided32(value, As32(p), step, region, 0); break;
        case Op::Sub: SubConstStrided32(value, As32(p), step, region, 0); break;
        case Op::Mul: MulConstStrided32(value, As32(p), step, region, 0); break;
        case Op::Div: DivConstStrided32(value, As32(p), step, region, 0); break;
        }
        break;
    }
}

void TAUAudioBuffer::AddChannelValue(uint32_t channel, int32_t value) { ChannelOp(Op::Add, channel, value); }
void TAUAudioBuffer::SubtractChannelValue(uint32_t channel, int32_t value) { ChannelOp(Op::Sub, channel, value); }
void TAUAudioBuffer::MultiplyChannelValue(uint32_t channel, int32_t value) { ChannelOp(Op::Mul, channel, value); }
void TAUAudioBuffer::DivideChannelValue(uint32_t channel, int32_t value) { ChannelOp(Op::Div, channel, value); }

// ------------------------------------------------------------------------ gain

void TAUAudioBuffer::ApplyGain(double gain)
{
    if (gain == 1.0 || std::isnan(gain))
        return;
    const uint32_t bytes = ContainerBytes(FSampleBitWidth);
    if (bytes == 0)
        return;
    const int step = int(bytes);
    const VpiSize region {1, ClampInt(uint64_t(GetSize()) * FChannels)};
    if (pDataContainer->SingleOwner()) {
        void* d = FDataPtr;
        switch (bytes) {
        case 1: ScaleSamples8(static_cast<uint8_t*>(d), step, region, gain); break;
        case 2: ScaleSamples16(As16(d), step, region, gain); break;
        case 3: ScaleSamples24(d, step, region, gain); break;
        case 4: ScaleSamples32(As32(d), step, region, gain); break;
        }
        return;
    }
    IntfPtr<TAUAudioBuffer> old = CreateEx(*this);
    uint8_t* d = Write();
    const uint8_t* s = old->Read();
    switch (bytes) {
    case 1: ScaleSamplesTo8(s, d, step, region, gain); break;
    case 2: ScaleSamplesTo16(As16(s), As16(d), step, region, gain); break;
    case 3: ScaleSamplesTo24(s, d, step, region, gain); break;
    case 4: ScaleSamplesTo32(As32(s), As32(d), step, region, gain); break;
    }
}

// ------------------------------------------------------------------------ size

void TAUAudioBuffer::Resize(uint32_t size, bool preserveData)
{
    if (size == 0)
        return;
    const uint32_t bytes = StoreSize(size, FDataStep);
    if (GetSize() >= size || (pDataContainer->SingleOwner() && bytes <= pBuffer()->AllocatedSize())) {
        FCharSize = bytes;
        UpdateDataPointer();
        return;
    }
    TAUSmartAudioBuffer* old = pBuffer();
    TAUSmartAudioBuffer* fresh = CreateStore(bytes);
    std::memcpy(fresh->RawData(), old->RawData(), kHeader);
    if (preserveData)
        fresh->CopyFrom(*old);
    // The stamps describe the data, not the block: they move with it.
    fresh->SetTimeData(*old);
    fresh->SetBufferNumberAvailable(old->BufferNumberAvailable());
    fresh->SetBufferNumber(old->BufferNumber());
    fresh->AddReff(FOwnsData);
    SetDataContainer(fresh);
    old->RemoveReff(FOwnsData);
    UpdateDataPointer();
    FCharSize = bytes;
}

// ------------------------------------------------------------------------ copies

void TAUAudioBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    auto* d = BufferInstance<TAUAudioBuffer>(dest);
    if (!d) {
        TSGGenericBuffer::CopyTo(srcIndex, dest, destIndex, count);
        return;
    }
    // Frames outside either buffer are not there to copy.
    const uint32_t srcFrames = GetSize();
    const uint32_t dstFrames = d->GetSize();
    if (srcIndex >= srcFrames || destIndex >= dstFrames)
        return;
    const int n = ClampInt(std::min({count, srcFrames - srcIndex, dstFrames - destIndex}));
    if (n == 0)
        return;

    uint8_t* dstBase = d->Modify() + uint64_t(d->FDataStep) * destIndex;
    const uint8_t* srcBase = Read() + uint64_t(FDataStep) * srcIndex;  // after Modify: d may be this
    const uint32_t srcBits = FSampleBitWidth;
    const uint32_t dstBits = d->FSampleBitWidth;
    const int srcStep = int(FDataStep);
    const int dstStep = int(d->FDataStep);
    const VpiSize region {1, n};
    const uint32_t dstBytes = ContainerBytes(dstBits);

    auto silence = [&](uint8_t* dc) {
        switch (dstBits) {
        case 8: vpiSet_8u_C1R(0, dc, dstStep, region); break;
        case 16: vpiSet_16s_C1R(0, As16(dc), dstStep, region); break;
        case 24: SetSamplesStrided24(0, dc, dstStep, region); break;
        case 32: vpiSet_32s_C1R(0, As32(dc), dstStep, region); break;
        }
    };
    auto copy = [&](const uint8_t* sc, uint8_t* dc) {
        if (srcBits != dstBits) {
            ConvertSampleColumn(sc, int(srcBits), srcStep, dc, int(dstBits), dstStep, n);
            return;
        }
        switch (dstBits) {
        case 8: vpiCopy_8u_C1R(sc, srcStep, dc, dstStep, region); break;
        case 16: vpiCopy_16s_C1R(As16(sc), srcStep, As16(dc), dstStep, region); break;
        case 24: CopySamplesStrided24(sc, srcStep, dc, dstStep, region); break;
        case 32: vpiCopy_32s_C1R(As32(sc), srcStep, As32(dc), dstStep, region); break;
        }
    };

    // One channel into one channel is the same signal whatever the masks say: the
    // target's mask only tells where it plays. Matching the speakers would silence a
    // mono stream headed for another speaker.
    if (FChannels == 1 && d->FChannels == 1) {
        if (dstBytes != 0)
            copy(srcBase, dstBase);
        return;
    }

    // The same layout on both sides (the mixers' queues): every column goes to its own
    // place, so whole frames are copied at once.
    if (FChannels == d->FChannels && srcBits == dstBits && srcStep == dstStep && dstBytes * FChannels == FDataStep &&
        FChannelMask.Mask() == d->FChannelMask.Mask() && uint32_t(std::popcount(FChannelMask.Mask())) == FChannels) {
        std::memmove(dstBase, srcBase, size_t(n) * FDataStep);
        return;
    }

    uint32_t pairs = 0;
    for (int s = 0; s < kSpeakerCount && !(pairs >= FChannels && pairs >= d->FChannels); ++s) {
        const bool inSrc = FChannelMask.Contains(TAUSpeaker(s));
        const bool inDst = d->FChannelMask.Contains(TAUSpeaker(s));
        if (!inDst)
            continue;
        const uint32_t j = ChannelOf(d->FChannelMask, s);
        if (j >= d->FChannels || dstBytes == 0)
            continue;  // a mask member without a channel has no column
        uint8_t* dc = dstBase + uint64_t(d->FDataStep) * j / d->FChannels;
        if (!inSrc) {
            silence(dc);
            continue;
        }
        const uint32_t i = ChannelOf(FChannelMask, s);
        ++pairs;
        if (i >= FChannels)
            continue;
        copy(srcBase + uint64_t(FDataStep) * i / FChannels, dc);
    }
}

void TAUAudioBuffer::ChannelToIntegerBuffer(uint32_t channel, IntfPtr<ISGIntegerBuffer>& buffer)
{
    const uint32_t width = FWaveFormat->Format.wBitsPerSample;
    const uint32_t align = FWaveFormat->Format.nBlockAlign;
    if (ContainerBytes(width) == 0 || channel >= FChannels || align == 0)
        return;
    const uint32_t n = GetByteSize() / align;
    IntfPtr<TSGIntegerBuffer> out = TSGIntegerBuffer::CreateSize(n);
    int32_t* d = out->Write();
    const uint8_t* p = Read() + channel * (width / 8);
    for (uint32_t k = 0; k < n; ++k, p += align) {
        switch (width) {
        case 8: d[k] = int32_t(p[0]) - 127; break;
        case 16: {
            int16_t v;
            std::memcpy(&v, p, 2);
            d[k] = v;
            break;
        }
        case 24: d[k] = ReadSample24(p); break;
        case 32: std::memcpy(&d[k], p, 4); break;
        }
    }
    buffer = out;
}

void TAUAudioBuffer::ChannelToRealBuffer(uint32_t channel, IntfPtr<ISGRealBuffer>& buffer)
{
    IntfPtr<ISGIntegerBuffer> ints;
    ChannelToIntegerBuffer(channel, ints);
    if (!ints)
        return;
    buffer = TSGRealBuffer::CreateIntegerData(ints->Read(), ints->GetSize());
}

}  // namespace dcs
