#include "components/audio/AUSamplesQueue.h"

#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

void TAUSamplesQueue::Push(const IntfPtr<IAUAudioBuffer>& ABuffer)
{
    if (!ABuffer)
        return;
    TPNCriticalSectionLock lock(FSection);
    FCollectedSamples += ABuffer->GetSize();
    FList.push_back(ABuffer);
}

bool TAUSamplesQueue::Pop(IAUAudioBuffer* ATarget)
{
    TPNCriticalSectionLock lock(FSection);
    const uint32_t needed = ATarget->GetSize();
    if (FCollectedSamples < needed)
        return false;
    uint32_t written = 0;
    while (written < needed && !FList.empty()) {
        IntfPtr<IAUAudioBuffer>& oldest = FList.front();
        const uint32_t available = oldest->GetSize() - FExtractOffset;
        const uint32_t piece = std::min(available, needed - written);
        if (piece)
            oldest->CopyTo(FExtractOffset, ATarget, written, piece);
        written += piece;
        if (piece == available) {
            FList.pop_front();
            FExtractOffset = 0;
        } else {
            FExtractOffset += piece;
        }
    }
    FCollectedSamples -= needed;
    return true;
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
