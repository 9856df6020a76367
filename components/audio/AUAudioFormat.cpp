#include "components/audio/AUAudioFormat.h"

#include <algorithm>

namespace dcs {

const TEnumInfo AUSpeakerInfo {"TAUSpeaker",
                               {"spFrontLeft", "spFrontRight", "spFrontCenter", "spSubwoofer", "spBackLeft",
                                "spBackRight", "spFrontLeftOfCenter", "spFrontRightOfCenter", "spBackCenter",
                                "spSideLeft", "spSideRight", "spTopCenter", "spTopFrontLeft", "spTopFrontCenter",
                                "spTopFrontRight", "spTopBackLeft", "spTopBackCenter", "spTopBackRight"}};

namespace {
// The 16-bit fields take counts clamped in full width first: 65537 channels are 32, not 1.
uint16_t Clamp1To32(uint32_t v) { return uint16_t(std::clamp<uint32_t>(v, 1, 32)); }
}  // namespace

// ------------------------------------------------------------------ TAUAudioFormatBasic

TAUAudioFormatBasic::TAUAudioFormatBasic(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange)
    : TCKPersistentNotify(AOwnerProperty, ALock)
{
    FWaveFormat.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    FWaveFormat.Format.cbSize = 22;
    FWaveFormat.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    SetChannels(2);
    SetBits(16);
    SetSampleRate(11025);
    SetChannelMask({spFrontLeft, spFrontRight});
    // Set last: the defaults are no change anybody listens for.
    SetOnChange(std::move(AOnChange));
}

void TAUAudioFormatBasic::UpdateWaveFormat() { UpdateWaveFormatHeader(FWaveFormat); }

uint32_t TAUAudioFormatBasic::Channels() const { return FLock->Getter(FWaveFormat.Format.nChannels); }
uint32_t TAUAudioFormatBasic::Bits() const { return FLock->Getter(FWaveFormat.wValidBitsPerSample); }
uint32_t TAUAudioFormatBasic::SampleRate() const { return FLock->Getter(FWaveFormat.Format.nSamplesPerSec); }
TAUSpeakers TAUAudioFormatBasic::ChannelMask() const
{
    return TAUSpeakers::FromMask(FLock->Getter(FWaveFormat.dwChannelMask));
}

void TAUAudioFormatBasic::SetChannels(uint32_t AValue)
{
    FLock->Setter(FWaveFormat.Format.nChannels, Clamp1To32(AValue), [this] { UpdateWaveFormat(); });
}

void TAUAudioFormatBasic::SetBits(uint32_t AValue)
{
    FLock->Setter(FWaveFormat.wValidBitsPerSample, Clamp1To32(AValue), [this] { UpdateWaveFormat(); });
}

void TAUAudioFormatBasic::SetSampleRate(uint32_t AValue)
{
    FLock->Setter(FWaveFormat.Format.nSamplesPerSec, AValue, [this] { UpdateWaveFormat(); });
}

void TAUAudioFormatBasic::SetChannelMask(TAUSpeakers AValue)
{
    FLock->Setter(FWaveFormat.dwChannelMask, AValue.Mask(), [this] { UpdateWaveFormat(); });
}

const TAUWaveFormatExtensible* TAUAudioFormatBasic::GetWaveFormat() const
{
    IPNLockSection section = FLock->ReadLock();
    return &FWaveFormat;
}

void TAUAudioFormatBasic::DeclareProperties(TClassBuilder<TAUAudioFormatBasic>& P)
{
    P.Integer("Channels", &TAUAudioFormatBasic::Channels, &TAUAudioFormatBasic::SetChannels, "Cardinal").Default(2);
    P.Integer("Bits", &TAUAudioFormatBasic::Bits, &TAUAudioFormatBasic::SetBits, "Cardinal").Default(16);
    P.Integer("SampleRate", &TAUAudioFormatBasic::SampleRate, &TAUAudioFormatBasic::SetSampleRate, "Cardinal")
        .Default(11025);
    P.Set(
         "ChannelMask", "TAUSpeakers", AUSpeakerInfo,
         [](const TAUAudioFormatBasic& F) { return F.ChannelMask().Mask(); },
         [](TAUAudioFormatBasic& F, uint32_t V) { F.SetChannelMask(TAUSpeakers::FromMask(V)); })
        .Default(3);
}

// ------------------------------------------------------------------------ TAUAudioFormat

TAUAudioFormat::TAUAudioFormat(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange)
    : TAUAudioFormatBasic(AOwnerProperty, ALock, std::move(AOnChange))
{
}

uint32_t TAUAudioFormat::BufferSize() const { return FLock->Getter(FBufferSize); }

void TAUAudioFormat::SetBufferSize(uint32_t AValue) { FLock->SetterMin(FBufferSize, AValue, 1u); }

void TAUAudioFormat::DeclareProperties(TClassBuilder<TAUAudioFormat>& P)
{
    P.Integer("BufferSize", &TAUAudioFormat::BufferSize, &TAUAudioFormat::SetBufferSize, "Cardinal").Default(1024);
}

// ---------------------------------------------------------------- TAUOptionalAudioFormat

TAUOptionalAudioFormat::TAUOptionalAudioFormat(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange)
    : TAUAudioFormat(AOwnerProperty, ALock, std::move(AOnChange))
{
}

bool TAUOptionalAudioFormat::Enabled() const { return FLock->Getter(FEnabled); }

void TAUOptionalAudioFormat::SetEnabled(bool AValue) { FLock->Setter(FEnabled, AValue); }

void TAUOptionalAudioFormat::DeclareProperties(TClassBuilder<TAUOptionalAudioFormat>& P)
{
    P.Boolean("Enabled", &TAUOptionalAudioFormat::Enabled, &TAUOptionalAudioFormat::SetEnabled).Default(0);
}

}  // namespace dcs
