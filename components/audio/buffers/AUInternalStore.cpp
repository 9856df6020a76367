#include "components/audio/buffers/AUInternalStore.h"

#include <algorithm>
#include <cstring>

namespace dcs {

TAUSmartAudioBuffer::TAUSmartAudioBuffer(uint32_t size) : FBlock(size) {}

TAUSmartAudioBuffer::TAUSmartAudioBuffer(const void* data, uint32_t size) : TAUSmartAudioBuffer(size)
{
    if (data && size > 0)
        std::memcpy(RawData(), data, size);
}

TAUSmartAudioBuffer::TAUSmartAudioBuffer(TAUSmartAudioBuffer& other, bool preserve)
    : TMDSmartMediaBuffer(other), FBlock(other.AllocatedSize())
{
    // A writer that drops the samples still needs the stream's header.
    if (preserve)
        FBlock.CopyFrom(other.FBlock);
    else
        std::memcpy(RawData(), other.RawData(), std::min(HeaderSize, AllocatedSize()));
}

TSGSmartBuffer* TAUSmartAudioBuffer::Clone(bool preserve) { return new TAUSmartAudioBuffer(*this, preserve); }

}  // namespace dcs
