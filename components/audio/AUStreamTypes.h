// Audio streams: the signal stream pins specialised for interleaved PCM. A stream opens
// with a wave start that carries its 40-byte format header ahead of the first buffer;
// buffers travel as supplied-buffer operations. The audio source pin also remembers the
// last resume it sent, so a consumer linked to a running, resumed stream hears the start
// and then the resume before the next buffer.
#pragma once

#include "components/audio/AUAudioFormat.h"
#include "components/audio/SGStreamTypes.h"

namespace dcs {

// "AU Audio buffer".
class IPNAUAudioStream : public virtual IPNSGChannelStream {
public:
    using Parent = IPNSGChannelStream;
    static constexpr TGUID IID = MakeGUID("{1D5BD085-492E-4979-8F76-9C97D5C3C5B6}");

protected:
    ~IPNAUAudioStream() = default;
};

class TPNStartWaveOperation : public TPNStartSampleRateOperation {
public:
    // The stream's running header; its sample rate is the start's rate.
    TPNStartWaveOperation(const TAUWaveFormatExtensible& AWaveFormat, bool APaused);
    // A header built from an 18-byte format (the lowest nChannels bits as channel mask,
    // PCM), or the default 2 channels, 11024 Hz, 16 bits without one; the rate is
    // ABufferRate.
    static IntfPtr<IPNNotifyOperation> CreateWave(float ABufferRate, const TAUWaveFormatEx* AWaveFormat, bool APaused);

    const TAUWaveFormatExtensible WaveFormat;
    // The consumer leaves the stream out until a resume arrives.
    const bool Paused;

private:
    TPNStartWaveOperation(double ARate, const TAUWaveFormatExtensible& AWaveFormat, bool APaused);
};

class TAUPNAudioSourcePin : public TSGPNSourcePin, public virtual IPNAUAudioStream {
    DCS_CLASS(TAUPNAudioSourcePin, TSGPNSourcePin)

    TAUPNAudioSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                        TSGOperationEvent AOperationEvent);

    // The last resume sent and not stopped since, or null: a new link hears it after
    // the remembered start.
    IntfPtr<IPNNotifyOperation> ResumeOperation() { return Remembered(roResume); }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;
};

class TAUPNAudioSinkPin : public TSGPNSinkPin, public virtual IPNAUAudioStream {
    DCS_CLASS(TAUPNAudioSinkPin, TSGPNSinkPin)

    TAUPNAudioSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent);

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;
};

// Registers the name and send function of the audio type and its converters. Runs once
// at start-up; may run again after the registries were emptied.
void RegisterAUStreamTypes();

// Channel 0 of each audio buffer as a new integer buffer, or as a new real buffer (whose
// source pin also serves plain float sinks).
class TPNAudioToIntFormatConverter : public TPNFormatConverter {
    DCS_CLASS(TPNAudioToIntFormatConverter, TPNFormatConverter)
    TPNAudioToIntFormatConverter();
};

class TPNAudioToRealFormatConverter : public TPNFormatConverter {
    DCS_CLASS(TPNAudioToRealFormatConverter, TPNFormatConverter)
    TPNAudioToRealFormatConverter();
};

// A byte view of an audio buffer's data, no copy.
class TPNAudioToBinaryFormatConverter : public TPNFormatConverter {
    DCS_CLASS(TPNAudioToBinaryFormatConverter, TPNFormatConverter)
    TPNAudioToBinaryFormatConverter();
};

}  // namespace dcs
