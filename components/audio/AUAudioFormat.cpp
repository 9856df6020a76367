#include "components/audio/AUAudioFormat.h"

#include <algorithm>

namespace dcs {

void UpdateWaveFormatHeader(TAUWaveFormatExtensible& fmt)
{
    fmt.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    const uint32_t valid = fmt.wValidBitsPerSample;
    fmt.Format.wBitsPerSample = uint16_t(valid % 8 == 0 ? valid : (valid / 8 + 1) * 8);
    fmt.Format.nBlockAlign = uint16_t(fmt.Format.nChannels * (fmt.Format.wBitsPerSample / 8u));
    fmt.Format.nAvgBytesPerSec = uint32_t(fmt.Format.nBlockAlign) * fmt.Format.nSamplesPerSec;
    fmt.Format.cbSize = 22;
    fmt.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
}

// ------------------------------------------------------------------ TAUAudioFormatBasic

TAUAudioFormatBasic::TAUAudioFormatBasic(std::function<void(TObject*)> onChange)
{
    FWaveFormat.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    FWaveFormat.Format.cbSize = 22;
    FWaveFormat.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    SetChannels(2);
    SetBits(16);
    SetSampleRate(11025);
    SetChannelMask({spFrontLeft, spFrontRight});
    // Set last: the defaults are not a change anybody listens for.
    FOnChange = std::move(onChange);
}

template <class T>
bool TAUAudioFormatBasic::Store(T& field, T value)
{
    std::lock_guard guard(FLock);
    if (field == value)
        return false;
    field = value;
    return true;
}

template <class T>
void TAUAudioFormatBasic::StoreHeaderField(T& field, T value)
{
    bool changed;
    {
        std::lock_guard guard(FLock);
        changed = Store(field, value);
        if (changed)
            UpdateWaveFormatHeader(FWaveFormat);
    }
    if (changed)
        Changed();
}

void TAUAudioFormatBasic::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

uint32_t TAUAudioFormatBasic::Channels() const
{
    std::lock_guard guard(FLock);
    return FWaveFormat.Format.nChannels;
}

void TAUAudioFormatBasic::SetChannels(uint32_t value)
{
    StoreHeaderField(FWaveFormat.Format.nChannels, uint16_t(std::clamp<uint32_t>(value, 1, 32)));
}

uint32_t TAUAudioFormatBasic::Bits() const
{
    std::lock_guard guard(FLock);
    return FWaveFormat.wValidBitsPerSample;
}

void TAUAudioFormatBasic::SetBits(uint32_t value)
{
    StoreHeaderField(FWaveFormat.wValidBitsPerSample, uint16_t(std::clamp<uint32_t>(value, 1, 32)));
}

uint32_t TAUAudioFormatBasic::SampleRate() const
{
    std::lock_guard guard(FLock);
    return FWaveFormat.Format.nSamplesPerSec;
}

void TAUAudioFormatBasic::SetSampleRate(uint32_t value)
{
    StoreHeaderField(FWaveFormat.Format.nSamplesPerSec, value);
}

TAUSpeakers TAUAudioFormatBasic::ChannelMask() const
{
    std::lock_guard guard(FLock);
    return TAUSpeakers::FromMask(FWaveFormat.dwChannelMask);
}

void TAUAudioFormatBasic::SetChannelMask(TAUSpeakers value)
{
    StoreHeaderField(FWaveFormat.dwChannelMask, value.Mask());
}

const TAUWaveFormatExtensible* TAUAudioFormatBasic::GetWaveFormat() const
{
    std::lock_guard guard(FLock);
    return &FWaveFormat;
}

void TAUAudioFormatBasic::Assign(const TAUAudioFormatBasic& source)
{
    if (&source == this)
        return;
    SetChannels(source.Channels());
    SetBits(source.Bits());
    SetSampleRate(source.SampleRate());
    SetChannelMask(source.ChannelMask());
}

// ------------------------------------------------------------------------ TAUAudioFormat

TAUAudioFormat::TAUAudioFormat(std::function<void(TObject*)> onChange)
    : TAUAudioFormatBasic(std::move(onChange))
{
}

uint32_t TAUAudioFormat::BufferSize() const
{
    std::lock_guard guard(FLock);
    return FBufferSize;
}

void TAUAudioFormat::SetBufferSize(uint32_t value)
{
    if (Store(FBufferSize, std::max<uint32_t>(value, 1)))
        Changed();
}

void TAUAudioFormat::Assign(const TAUAudioFormatBasic& source)
{
    TAUAudioFormatBasic::Assign(source);
    if (auto* other = dynamic_cast<const TAUAudioFormat*>(&source); other && other != this)
        SetBufferSize(other->BufferSize());
}

// ---------------------------------------------------------------- TAUOptionalAudioFormat

TAUOptionalAudioFormat::TAUOptionalAudioFormat(std::function<void(TObject*)> onChange)
    : TAUAudioFormat(std::move(onChange))
{
}

bool TAUOptionalAudioFormat::Enabled() const
{
    std::lock_guard guard(FLock);
    return FEnabled;
}

void TAUOptionalAudioFormat::SetEnabled(bool value)
{
    if (Store(FEnabled, value))
        Changed();
}

void TAUOptionalAudioFormat::Assign(const TAUAudioFormatBasic& source)
{
    TAUAudioFormat::Assign(source);
    if (auto* other = dynamic_cast<const TAUOptionalAudioFormat*>(&source); other && other != this)
        SetEnabled(other->Enabled());
}

}  // namespace dcs
