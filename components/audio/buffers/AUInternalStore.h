// The container of every audio buffer: one pooled block holding the 40-byte format
// header followed by the samples, with the media container's time stamps.
#pragma once

#include "components/audio/buffers/AUWaveFormat.h"
#include "components/audio/buffers/MDInternalStore.h"

namespace dcs {

class TAUSmartAudioBuffer : public TMDSmartMediaBuffer, public TSGPooledInstance {
public:
    static constexpr uint32_t HeaderSize = sizeof(TAUWaveFormatExtensible);

    // A block of `size` rounded up to a power of two; the bytes are not cleared.
    explicit TAUSmartAudioBuffer(uint32_t size);
    // `size` bytes copied from data.
    TAUSmartAudioBuffer(const void* data, uint32_t size);
    // Other's stamps and a block of its allocated size holding all of its bytes when
    // `preserve`, else only its header.
    TAUSmartAudioBuffer(TAUSmartAudioBuffer& other, bool preserve);

    TSGSmartBuffer* Clone(bool preserve) override;
    // Copies min of the two allocated sizes from other's block.
    void CopyFrom(const TAUSmartAudioBuffer& other) { FBlock.CopyFrom(other.FBlock); }

    void* RawData() const { return FBlock.Data(); }
    uint32_t AllocatedSize() const { return FBlock.Size(); }
    void* GetRawData() const override { return FBlock.Data(); }
    uint32_t GetAllocatedSize() const override { return FBlock.Size(); }

    static void ReleaseMemory() { PoolReleaseMemory(); }

protected:
    ~TAUSmartAudioBuffer() override = default;

private:
    TSGPoolBlock FBlock;
};

}  // namespace dcs
