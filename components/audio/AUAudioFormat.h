// The stream format of the audio components: one 40-byte extensible wave-format header
// that travels with the start of a stream, heads every audio buffer and goes unchanged
// to the output device, and the published format objects that keep it up to date.
#pragma once

#include "components/audio/buffers/AUWaveFormat.h"
#include "components/pins/CKComponent.h"
#include "platform/base/Interfaces.h"

#include <cstdint>

namespace dcs {

// The speaker names, for the published mask.
extern const TEnumInfo AUSpeakerInfo;

// Channels, valid bits, sample rate and speaker mask, kept as a ready-made header. A
// published sub-object of a generator or mixer, guarded by its owner's lock: every write
// stores the clamped value and, when that changed anything, recomputes the header and
// raises the change notice; writing the stored value again does neither.
class TAUAudioFormatBasic : public TCKPersistentNotify {
    DCS_CLASS(TAUAudioFormatBasic, TCKPersistentNotify)

    TAUAudioFormatBasic(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange = {});

    uint32_t Channels() const;
    void SetChannels(uint32_t AValue);  // 1..32
    uint32_t Bits() const;
    void SetBits(uint32_t AValue);  // valid bits, 1..32
    uint32_t SampleRate() const;
    void SetSampleRate(uint32_t AValue);
    TAUSpeakers ChannelMask() const;
    void SetChannelMask(TAUSpeakers AValue);

    // The held header: the lock is taken and given back, so callers copy it at once.
    const TAUWaveFormatExtensible* GetWaveFormat() const;
    void UpdateWaveFormat();

    static void DeclareProperties(TClassBuilder<TAUAudioFormatBasic>& P);

private:
    TAUWaveFormatExtensible FWaveFormat {};
};

// Adds the buffer length, in samples per channel (at least 1).
class TAUAudioFormat : public TAUAudioFormatBasic {
    DCS_CLASS(TAUAudioFormat, TAUAudioFormatBasic)

    TAUAudioFormat(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange = {});

    uint32_t BufferSize() const;
    void SetBufferSize(uint32_t AValue);

    static void DeclareProperties(TClassBuilder<TAUAudioFormat>& P);

private:
    uint32_t FBufferSize = 1024;
};

// A format that is used only while Enabled.
class TAUOptionalAudioFormat : public TAUAudioFormat {
    DCS_CLASS(TAUOptionalAudioFormat, TAUAudioFormat)

    TAUOptionalAudioFormat(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange = {});

    bool Enabled() const;
    void SetEnabled(bool AValue);

    static void DeclareProperties(TClassBuilder<TAUOptionalAudioFormat>& P);

private:
    bool FEnabled = false;
};

}  // namespace dcs
