// The queue of one mixer input: arriving audio buffers, taken out again frame-exactly in
// the output's width and speaker layout. Every call holds the queue's own section.
#pragma once

#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/pins/PNSync.h"

#include <cstdint>
#include <deque>

namespace dcs {

// The buffers of one input, oldest first, and how many of their frames are not taken yet.
class TAUSamplesQueue {
public:
    void Push(const IntfPtr<IAUAudioBuffer>& ABuffer);
    // Fills all of ATarget's frames, converting widths and matching speakers; false, with
    // nothing taken, when fewer frames are queued.
    bool Pop(IAUAudioBuffer* ATarget);
    uint32_t GetCollectedSamples();
    void Clear();

private:
    std::deque<IntfPtr<IAUAudioBuffer>> FList;
    uint32_t FCollectedSamples = 0;
    uint32_t FExtractOffset = 0;
    TPNCriticalSection FSection;
};

}  // namespace dcs
