// An audio input that keeps what reaches it: the stream's starts, stops and buffers in
// arrival order, for tests of audio sources.
#pragma once

#include "components/audio/AUStreamTypes.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "platform/mmtimer/MMTimer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace dcs::audiotest {

class TAudioSinkRecorder {
public:
    TAudioSinkRecorder()
        : Pin(Create<TAUPNAudioSinkPin>(nullptr, nullptr,
                                        [this](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState St) {
                                            Record(Op, St);
                                            return TPNNotifyResult {};
                                        }))
    {
    }

    // S start (with its header kept), X stop, B buffer (kept), P pump request, I ignore-stream,
    // O other.
    std::string Trace()
    {
        std::lock_guard g(FMutex);
        return FTrace;
    }
    std::vector<TAUWaveFormatExtensible> Starts()
    {
        std::lock_guard g(FMutex);
        return FStarts;
    }
    std::vector<IntfPtr<TAUAudioBuffer>> Buffers()
    {
        std::lock_guard g(FMutex);
        return FBuffers;
    }
    int Count(char AKind)
    {
        std::lock_guard g(FMutex);
        return int(std::count(FTrace.begin(), FTrace.end(), AKind));
    }
    void Clear()
    {
        std::lock_guard g(FMutex);
        FTrace.clear();
        FStarts.clear();
        FBuffers.clear();
    }

    TOwned<TAUPNAudioSinkPin> Pin;

private:
    void Record(IPNNotifyOperation* Op, TPNNotifyState St)
    {
        if (St.Contains(nsNewLink))
            return;
        std::lock_guard g(FMutex);
        if (auto* w = OperationAs<TPNStartWaveOperation>(Op)) {
            FTrace += 'S';
            FStarts.push_back(w->WaveFormat);
        } else if (OperationAs<TPNStopOperation>(Op)) {
            FTrace += 'X';
        } else if (auto* b = OperationAs<TPNSuppliedBufferOperation>(Op)) {
            FTrace += 'B';
            FBuffers.push_back(TAUAudioBuffer::CreateUniversal(b->Buffer.Get()));
        } else if (OperationAs<TPNPumpRequestOperation>(Op)) {
            FTrace += 'P';
        } else if (OperationAs<TPNIgnoreStreamOperation>(Op)) {
            FTrace += 'I';
        } else {
            FTrace += 'O';
        }
    }

    std::mutex FMutex;
    std::string FTrace;
    std::vector<TAUWaveFormatExtensible> FStarts;
    std::vector<IntfPtr<TAUAudioBuffer>> FBuffers;
};

// Advances the manual timer ms by ms, letting every released period finish.
inline void RunTimer(TManualMMTimer& ATimer, int AMilliseconds)
{
    for (int i = 0; i < AMilliseconds; ++i) {
        ATimer.Tick();
        ASSERT_TRUE(ATimer.WaitUntilIdle());
    }
}

// Ticks until ARecorder holds ACount buffers (at most ALimit ms).
inline void RunUntilBuffers(TManualMMTimer& ATimer, TAudioSinkRecorder& ARecorder, int ACount, int ALimit = 2000)
{
    for (int i = 0; i < ALimit && ARecorder.Count('B') < ACount; ++i) {
        ATimer.Tick();
        ASSERT_TRUE(ATimer.WaitUntilIdle());
    }
    ASSERT_EQ(ARecorder.Count('B'), ACount);
}

}  // namespace dcs::audiotest
