// The queue of one mixer input: arriving audio buffers, taken out again frame-exactly in
// the output's width and speaker layout. Every call holds the queue's own section. It is
// bounded: a producer that outruns the mixer loses its oldest frames, never memory.
#pragma once

#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/pins/PNSync.h"

#include <cstdint>
#include <deque>

namespace dcs {

// The buffers of one input, oldest first, and how many of their frames are not taken yet.
class TAUSamplesQueue {
public:
    // Appends; when more than the capacity is then queued, the oldest frames are dropped
    // until it fits. Answers how many were dropped.
    uint32_t Push(const IntfPtr<IAUAudioBuffer>& ABuffer);
    // Frames the queue may hold; 0 holds any number.
    void SetCapacity(uint32_t AFrames);
    // Fills all of ATarget's frames, converting widths and matching speakers; false, with
    // nothing taken, when fewer frames are queued.
    bool Pop(IAUAudioBuffer* ATarget);
    enum class TAddResult {
        Added,
        Short,
        NeedsCopy
    };
    // Adds (saturating) the next frames into all of ATarget's frames without an
    // intermediate copy, where every buffer taken has ATarget's packed 24-bit layout:
    // the same sum as Pop into a scratch buffer and Add. Short: fewer frames queued,
    // nothing taken. NeedsCopy: another layout is queued, nothing taken; Pop instead.
    TAddResult PopAdd(IAUAudioBuffer* ATarget);
    uint32_t GetCollectedSamples();
    void Clear();

private:
    // Under FSection, with ANeeded frames queued: hands the oldest frames to APiece
    // (buffer, first frame in it, first frame of the target, count) until ANeeded are
    // taken, and lets go of the buffers emptied.
    template <class F> void Take(uint32_t ANeeded, F&& APiece);

    std::deque<IntfPtr<IAUAudioBuffer>> FList;
    uint32_t FCollectedSamples = 0;
    uint32_t FExtractOffset = 0;
    uint32_t FCapacity = 0;
    TPNCriticalSection FSection;
};

}  // namespace dcs
