#include "components/audio/AUSamplesQueue.h"

#include "components/audio/buffers/AUSampleRoutines.h"

#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

uint32_t TAUSamplesQueue::Push(const IntfPtr<IAUAudioBuffer>& ABuffer)
{
    if (!ABuffer)
        return 0;
    TPNCriticalSectionLock lock(FSection);
    FCollectedSamples += ABuffer->GetSize();
    FList.push_back(ABuffer);
    uint32_t dropped = 0;
    while (FCapacity && FCollectedSamples > FCapacity && !FList.empty()) {
        const uint32_t excess = FCollectedSamples - FCapacity;
        const uint32_t available = FList.front()->GetSize() - FExtractOffset;
        if (available <= excess) {
            FList.pop_front();
            FExtractOffset = 0;
            FCollectedSamples -= available;
            dropped += available;
        } else {
            FExtractOffset += excess;
            FCollectedSamples -= excess;
            dropped += excess;
        }
    }
    return dropped;
}

void TAUSamplesQueue::SetCapacity(uint32_t AFrames)
{
    TPNCriticalSectionLock lock(FSection);
    FCapacity = AFrames;
}

template <class F> void TAUSamplesQueue::Take(uint32_t ANeeded, F&& APiece)
{
    uint32_t written = 0;
    while (written < ANeeded && !FList.empty()) {
        IntfPtr<IAUAudioBuffer>& oldest = FList.front();
        const uint32_t available = oldest->GetSize() - FExtractOffset;
        const uint32_t piece = std::min(available, ANeeded - written);
        if (piece)
            APiece(oldest.Get(), FExtractOffset, written, piece);
        written += piece;
        if (piece == available) {
            FList.pop_front();
            FExtractOffset = 0;
        } else {
            FExtractOffset += piece;
        }
    }
    FCollectedSamples -= ANeeded;
}

bool TAUSamplesQueue::Pop(IAUAudioBuffer* ATarget)
{
    TPNCriticalSectionLock lock(FSection);
    const uint32_t needed = ATarget->GetSize();
    if (FCollectedSamples < needed)
        return false;
    Take(needed, [&](IAUAudioBuffer* ASource, uint32_t AFrom, uint32_t ATo, uint32_t ACount) {
        ASource->CopyTo(AFrom, ATarget, ATo, ACount);
    });
    return true;
}

namespace {
// Frames summed as one run of samples: 24-bit, packed, every channel a distinct speaker.
bool PackedRun24(IAUAudioBuffer* ABuffer)
{
    const uint32_t channels = ABuffer->GetChannels();
    return ABuffer->GetSampleBitWidth() == 24 && ABuffer->GetDataStep() == 3 * channels &&
        uint32_t(std::popcount(ABuffer->GetChannelMask().Mask())) == channels;
}
}  // namespace

TAUSamplesQueue::TAddResult TAUSamplesQueue::PopAdd(IAUAudioBuffer* ATarget)
{
    TPNCriticalSectionLock lock(FSection);
    const uint32_t needed = ATarget->GetSize();
    if (FCollectedSamples < needed)
        return TAddResult::Short;
    if (!PackedRun24(ATarget))
        return TAddResult::NeedsCopy;
    const uint32_t channels = ATarget->GetChannels();
    const uint32_t mask = ATarget->GetChannelMask().Mask();
    uint32_t seen = 0;
    for (size_t i = 0; seen < needed && i < FList.size(); ++i) {
        IAUAudioBuffer* b = FList[i].Get();
        if (b->GetChannels() != channels || b->GetChannelMask().Mask() != mask || !PackedRun24(b))
            return TAddResult::NeedsCopy;
        seen += b->GetSize() - (i == 0 ? FExtractOffset : 0);
    }
    uint8_t* target = ATarget->Modify();
    const uint32_t frameBytes = 3 * channels;
    Take(needed, [&](IAUAudioBuffer* ASource, uint32_t AFrom, uint32_t ATo, uint32_t ACount) {
        AddSamplesContiguous24(ASource->Read() + uint64_t(AFrom) * frameBytes, target + uint64_t(ATo) * frameBytes,
                               int64_t(ACount) * channels);
    });
    return TAddResult::Added;
}

uint32_t TAUSamplesQueue::GetCollectedSamples()
{
    TPNCriticalSectionLock lock(FSection);
    return FCollectedSamples;
}

void TAUSamplesQueue::Clear()
{
    TPNCriticalSectionLock lock(FSection);
    FList.clear();
    FCollectedSamples = 0;
    FExtractOffset = 0;
}

}  // namespace dcs
