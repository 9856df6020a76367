#include "components/audio/AUStreamTypes.h"

#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/audio/buffers/SGNumericBuffers.h"

namespace dcs {

// ------------------------------------------------------------------ wave start

TPNStartWaveOperation::TPNStartWaveOperation(const TAUWaveFormatExtensible& AWaveFormat, bool APaused)
    : TPNStartWaveOperation(double(AWaveFormat.Format.nSamplesPerSec), AWaveFormat, APaused)
{
}

TPNStartWaveOperation::TPNStartWaveOperation(double ARate, const TAUWaveFormatExtensible& AWaveFormat, bool APaused)
    : TPNStartSampleRateOperation(ARate), WaveFormat(AWaveFormat), Paused(APaused)
{
}

IntfPtr<IPNNotifyOperation> TPNStartWaveOperation::CreateWave(float ABufferRate, const TAUWaveFormatEx* AWaveFormat,
                                                              bool APaused)
{
    TAUWaveFormatExtensible w {};
    w.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    w.Format.cbSize = 22;
    w.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    if (AWaveFormat) {
        w.Format.nChannels = AWaveFormat->nChannels;
        w.Format.nSamplesPerSec = AWaveFormat->nSamplesPerSec;
        w.Format.nAvgBytesPerSec = AWaveFormat->nAvgBytesPerSec;
        w.Format.nBlockAlign = AWaveFormat->nBlockAlign;
        w.Format.wBitsPerSample = AWaveFormat->wBitsPerSample;
        w.wValidBitsPerSample = AWaveFormat->wBitsPerSample;
        // The lowest nChannels bits; 32 channels and more wrap round as a shift does.
        w.dwChannelMask = (uint32_t(1) << (AWaveFormat->nChannels % 32)) - 1;
    } else {
        w = MakePcmWaveFormat(2, 16, 11024, SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT);
    }
    return IntfPtr<IPNNotifyOperation>(new TPNStartWaveOperation(double(ABufferRate), w, APaused));
}

// ---------------------------------------------------------------------- the pins

TAUPNAudioSourcePin::TAUPNAudioSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock,
                                         IntfPtr<IPNLock> AInputOwnerLock, TSGOperationEvent AOperationEvent)
    : TSGPNSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), std::move(AOperationEvent), -1, nullptr)
{
    FRemembersResume = true;
    AddType(IPNAUAudioStream::IID,
            TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(static_cast<TSGPNSourcePin*>(this)));
}

bool TAUPNAudioSourcePin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNAUAudioStream>(this, iid, obj) || TSGPNSourcePin::GetInterface(iid, obj);
}

TAUPNAudioSinkPin::TAUPNAudioSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent)
    : TSGPNSinkPin(AOwner, std::move(AOwnerLock), std::move(AOperationEvent), nullptr, nullptr)
{
    AddType(IPNAUAudioStream::IID,
            TPNSubmit::Of<&TSGPNSinkPin::NotificationUniversal>(static_cast<TSGPNSinkPin*>(this)));
}

bool TAUPNAudioSinkPin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNAUAudioStream>(this, iid, obj) || TSGPNSinkPin::GetInterface(iid, obj);
}

// ---------------------------------------------------------------------- converters

namespace {

// Channel 0 of an audio buffer; nothing for a buffer of another kind or without samples
// of a width the audio buffer converts.
template <class IOut> IntfPtr<ISGData> ChannelZero(ISGData* ABuffer)
{
    IntfPtr<IAUAudioBuffer> audio;
    if (!Supports(ABuffer, audio))
        return {};
    IntfPtr<IOut> out;
    if constexpr (std::is_same_v<IOut, ISGIntegerBuffer>)
        audio->ChannelToIntegerBuffer(0, out);
    else
        audio->ChannelToRealBuffer(0, out);
    return IntfPtr<ISGData>(out.Get());
}

IntfPtr<ISGData> ByteView(ISGData* ABuffer) { return IntfPtr<ISGData>(TSGBlockBuffer::CreateUniversal(ABuffer).Get()); }

}  // namespace

TPNAudioToIntFormatConverter::TPNAudioToIntFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TAUPNAudioSinkPin, TSGPNIntegerSourcePin>(this, in, out, &ChannelZero<ISGIntegerBuffer>);
    SetPins(in, out);
}

TPNAudioToRealFormatConverter::TPNAudioToRealFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TAUPNAudioSinkPin, TSGPNRealSourcePin>(this, in, out, &ChannelZero<ISGRealBuffer>, true);
    SetPins(in, out);
}

TPNAudioToBinaryFormatConverter::TPNAudioToBinaryFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TAUPNAudioSinkPin, TSGPNBinarySourcePin>(this, in, out, &ByteView);
    SetPins(in, out);
}

void RegisterAUStreamTypes()
{
    RegisterStreamTypeName(IPNAUAudioStream::IID, "AU Audio buffer");
    RegisterStreamTypeSendFunction(IPNAUAudioStream::IID, &SGStreamSendFunction);
    RegisterTypeConverter(IPNAUAudioStream::IID, IPNSGIntegerStream::IID, TPNAudioToIntFormatConverter::StaticClass());
    RegisterTypeConverter(IPNAUAudioStream::IID, IPNSGRealStream::IID, TPNAudioToRealFormatConverter::StaticClass());
    RegisterTypeConverter(IPNAUAudioStream::IID, IPNSGBinaryStream::IID,
                          TPNAudioToBinaryFormatConverter::StaticClass());
}

namespace {
const bool GAUTypesRegistered = (RegisterAUStreamTypes(), true);
}  // namespace

}  // namespace dcs
