// The unit of audio that travels through the streams: interleaved integer PCM samples
// of 8, 16, 24 or 32 bits behind their own 40-byte format header, with time stamps, in a
// shared, pooled, copy-on-write container.
//
// Data block: bytes 0..39 the TAUWaveFormatExtensible header, then frames in time order;
// frame i, channel c starts at 40 + i * nBlockAlign + c * wBitsPerSample / 8. 8-bit
// samples are unsigned with the zero level 127; 16- and 32-bit samples are signed little
// endian; 24-bit samples are packed signed 3-byte integers. Channel c is the c-th speaker
// present in the channel mask.
//
// Width choice: buffer-with-buffer arithmetic and sample access go by the valid bits
// (<= 8, <= 16, else the container width 24 or 32); every other operation goes by the
// container width, and a container width other than 8/16/24/32 makes it do nothing.
//
// A buffer object is used by one thread at a time; buffers over one container may live
// on different threads. Writing goes through Write (samples undefined after a copy) or
// Modify (samples kept).
#pragma once

#include "components/audio/buffers/AUInternalStore.h"
#include "components/audio/buffers/AUWaveFormat.h"
#include "components/audio/buffers/MDSimpleMediaBuffer.h"
#include "components/audio/buffers/SGNumericBuffers.h"

#include <cstdint>

namespace dcs {

class IAUAudioBuffer : public virtual IMDMediaBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{49372BB8-FFDD-437C-A9D3-BA5DFB8A3B97}");
    using Parent = IMDMediaBuffer;

    virtual uint32_t GetChannels() = 0;
    // Valid bits.
    virtual uint32_t GetBitsPerSample() = 0;
    virtual uint32_t GetSampleRate() = 0;
    // Bytes per frame.
    virtual uint32_t GetDataStep() = 0;
    virtual TAUSpeakers GetChannelMask() = 0;
    // Container bits: 8, 16, 24 or 32.
    virtual uint32_t GetSampleBitWidth() = 0;
    virtual void CopyWaveFormat(TAUWaveFormatExtensible& waveFormat) = 0;
    virtual uint32_t GetHeaderSize() = 0;
    // The first sample: without copy, after a fresh block (samples undefined when the
    // data were shared), after a private copy.
    virtual const uint8_t* Read() = 0;
    virtual uint8_t* Write() = 0;
    virtual uint8_t* Modify() = 0;
    // ERangeError "Channel out of range = %u" (checked first) or "Index out of range = %u".
    // 8 bits: 0..255; 16: signed; 24: the three bytes unsigned (0..16777215); 32: signed.
    virtual int32_t GetSample(uint32_t index, uint32_t channel) = 0;
    // The low bytes of value; SetSample detaches the data before it checks.
    virtual void SetSample(uint32_t index, uint32_t channel, int32_t value) = 0;
    // Over the shorter of the two, this := this op right. A one-channel right goes into
    // every channel; otherwise channels meet by speaker and the others stay unchanged.
    // Sums and differences saturate at every width (8 bits around the zero level 127).
    virtual void Add(IAUAudioBuffer* right) = 0;
    virtual void Subtract(IAUAudioBuffer* right) = 0;
    virtual void Multiply(IAUAudioBuffer* right) = 0;
    virtual void Divide(IAUAudioBuffer* right) = 0;
    // 8 bits: the value is taken around the zero level 127.
    virtual void SetValue(int32_t value) = 0;
    // Sums and differences saturate (8-bit bytes as plain unsigned numbers).
    // A zero divisor leaves the samples (and their sharing) as they are.
    virtual void AddValue(int32_t value) = 0;
    virtual void SubtractValue(int32_t value) = 0;
    virtual void MultiplyValue(int32_t value) = 0;
    virtual void DivideValue(int32_t value) = 0;
    // One channel's samples; 8-bit values are stored as they are (no 127 offset).
    virtual void SetChannelValue(uint32_t channel, int32_t value) = 0;
    virtual void AddChannelValue(uint32_t channel, int32_t value) = 0;
    virtual void SubtractChannelValue(uint32_t channel, int32_t value) = 0;
    virtual void MultiplyChannelValue(uint32_t channel, int32_t value) = 0;
    virtual void DivideChannelValue(uint32_t channel, int32_t value) = 0;
    // Silence: 127 at 8 bits, 0 otherwise.
    virtual void Zero() = 0;
    // Every sample times gain, rounded half to even, saturated. 1.0 costs nothing.
    virtual void ApplyGain(double gain) = 0;
    // Frames; 0 does nothing, shrinking keeps the block.
    virtual void Resize(uint32_t size, bool preserveData) = 0;
    // One channel as numbers centred on 0 (8 bits: byte - 127); a container width other
    // than 8/16/24/32 or a channel outside the buffer leaves buffer as it was.
    virtual void ChannelToIntegerBuffer(uint32_t channel, IntfPtr<ISGIntegerBuffer>& buffer) = 0;
    virtual void ChannelToRealBuffer(uint32_t channel, IntfPtr<ISGRealBuffer>& buffer) = 0;
};

class TAUAudioBuffer : public TMDMediaBuffer, public virtual IAUAudioBuffer {
    DCS_BUFFER_INTERFACES(TMDMediaBuffer, IAUAudioBuffer)

    static constexpr uint32_t HeaderSize = TAUSmartAudioBuffer::HeaderSize;

    // --- construction (samples undefined unless stated) --------------------------------
    // Header only: 1 channel, 8 bits, 11025 Hz, mask [spFrontLeft].
    static IntfPtr<TAUAudioBuffer> Create();
    // `size` frames; the container width is bitsPerSample rounded up to a multiple of 8,
    // the mask the lowest `channels` speakers.
    static IntfPtr<TAUAudioBuffer> CreateSize(uint32_t rate, uint32_t bitsPerSample, uint32_t channels, uint32_t size);
    // As CreateSize; a non-empty mask is cut down to its lowest `channels` members.
    static IntfPtr<TAUAudioBuffer> CreateSizeEx(uint32_t rate, uint32_t bitsPerSample, uint32_t channels, uint32_t size,
                                                TAUSpeakers speakerMask);
    // As CreateSize, with the sample bytes copied from data.
    static IntfPtr<TAUAudioBuffer> CreateData(const void* data, uint32_t rate, uint32_t bitsPerSample,
                                              uint32_t channels, uint32_t size);
    // As CreateData, with the mask taken exactly as given.
    static IntfPtr<TAUAudioBuffer> CreateDataEx(const void* data, uint32_t rate, uint32_t bitsPerSample,
                                                uint32_t channels, uint32_t size, TAUSpeakers speakerMask);
    // CreateSizeEx with the header's rate, valid bits, channels and mask.
    static IntfPtr<TAUAudioBuffer> CreateWaveFormat(const TAUWaveFormatExtensible* waveFormat, uint32_t size);
    // A second buffer object over other's container.
    static IntfPtr<TAUAudioBuffer> CreateEx(TAUAudioBuffer& other);
    static IntfPtr<TAUAudioBuffer> CreateCopy(IAUAudioBuffer* other);
    // Any buffer of the family taken as audio; its container must be an audio container
    // (EIntfCastError otherwise).
    static IntfPtr<TAUAudioBuffer> CreateUniversal(ISGData* other);

    TAUAudioBuffer(TAUSmartAudioBuffer* container, uint32_t charSize);
    TAUAudioBuffer(TShareTag, TAUAudioBuffer& other);

    // --- the generic buffer ---------------------------------------------------------
    // Sample bytes (header excluded) and frames.
    uint32_t GetByteSize() override;
    uint32_t GetSize() override;
    // To another audio buffer: frames, channels matched by speaker, widths converted,
    // channels only the destination has set to 0; one channel into one channel is copied
    // whatever the two masks say. To any other buffer: the byte copy.
    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;
    void UpdateDataPointer() override;

    TAUSmartAudioBuffer* pBuffer() const { return static_cast<TAUSmartAudioBuffer*>(pDataContainer); }
    virtual TAUSmartAudioBuffer* CreateStore(uint32_t size);
    virtual uint32_t GetSampleDataSize();
    const TAUWaveFormatExtensible* WaveFormat() const { return FWaveFormat; }

    // --- IAUAudioBuffer ---------------------------------------------------------------
    uint32_t GetChannels() override { return FChannels; }
    uint32_t GetBitsPerSample() override { return FBitsPerSample; }
    uint32_t GetSampleRate() override { return FWaveFormat->Format.nSamplesPerSec; }
    uint32_t GetDataStep() override { return FDataStep; }
    TAUSpeakers GetChannelMask() override { return FChannelMask; }
    uint32_t GetSampleBitWidth() override { return FSampleBitWidth; }
    void CopyWaveFormat(TAUWaveFormatExtensible& waveFormat) override { waveFormat = *FWaveFormat; }
    uint32_t GetHeaderSize() override { return uint32_t(FWaveFormat->Format.cbSize) + 18; }
    const uint8_t* Read() override { return static_cast<const uint8_t*>(FDataPtr); }
    uint8_t* Write() override;
    uint8_t* Modify() override;
    int32_t GetSample(uint32_t index, uint32_t channel) override;
    void SetSample(uint32_t index, uint32_t channel, int32_t value) override;
    void Add(IAUAudioBuffer* right) override;
    void Subtract(IAUAudioBuffer* right) override;
    void Multiply(IAUAudioBuffer* right) override;
    void Divide(IAUAudioBuffer* right) override;
    void SetValue(int32_t value) override;
    void AddValue(int32_t value) override;
    void SubtractValue(int32_t value) override;
    void MultiplyValue(int32_t value) override;
    void DivideValue(int32_t value) override;
    void SetChannelValue(uint32_t channel, int32_t value) override;
    void AddChannelValue(uint32_t channel, int32_t value) override;
    void SubtractChannelValue(uint32_t channel, int32_t value) override;
    void MultiplyChannelValue(uint32_t channel, int32_t value) override;
    void DivideChannelValue(uint32_t channel, int32_t value) override;
    void Zero() override;
    void ApplyGain(double gain) override;
    void Resize(uint32_t size, bool preserveData) override;
    void ChannelToIntegerBuffer(uint32_t channel, IntfPtr<ISGIntegerBuffer>& buffer) override;
    void ChannelToRealBuffer(uint32_t channel, IntfPtr<ISGRealBuffer>& buffer) override;

protected:
    TSGBasicBuffer* NewCopy() override { return new TAUAudioBuffer(Share, *this); }

private:
    enum class Op {
        Add,
        Sub,
        Mul,
        Div
    };
    void Combine(Op op, IAUAudioBuffer* right);
    void ValueOp(Op op, int32_t value);
    void ChannelOp(Op op, uint32_t channel, int32_t value);
    // The sample count of the value operations (GetByteSize / container bytes).
    int SampleCount();
    int Frames();

    uint32_t FChannels = 0;
    uint32_t FBitsPerSample = 0;
    TAUSpeakers FChannelMask;
    uint32_t FSampleBitWidth = 0;
    uint32_t FDataStep = 0;
    uint32_t FDataOffset = 0;
    PAUWaveFormatExtensible FWaveFormat = nullptr;
};

// The mask of `channels` speakers: the lowest `channels` members of a non-empty mask, or
// the first `channels` speakers for an empty one.
TAUSpeakers AUReduceSpeakerMask(uint32_t channels, TAUSpeakers mask);

}  // namespace dcs
