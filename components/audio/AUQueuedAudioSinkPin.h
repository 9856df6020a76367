// An input pin of a multi-input component (the mixer): the audio sink pin with its own
// queue of arriving buffers and where its stream stands.
#pragma once

#include "components/audio/AUSamplesQueue.h"
#include "components/audio/AUStreamTypes.h"

#include <atomic>
#include <cstdint>

namespace dcs {

class TAUMultiInput;

// An input of a multi-input component: its queue and where its stream stands.
class TAUPNQueuedAudioSinkPin : public TAUPNAudioSinkPin {
    DCS_CLASS(TAUPNQueuedAudioSinkPin, TAUPNAudioSinkPin)

    TAUPNQueuedAudioSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent);

    bool Enabled() const { return FEnabled.load(); }
    // While the owner runs, the sample counts are computed again.
    void SetEnabled(bool AValue);
    uint32_t PrefillInterval() const { return FPrefillInterval; }

    void StartRate(const TAUWaveFormatExtensible& AWaveFormat);
    void Stop();
    void StopFull();
    // Queues ABuffer; answers how many of the oldest queued frames made room for it.
    uint32_t AddBuffer(const IntfPtr<IAUAudioBuffer>& ABuffer) { return FBufferQueue.Push(ABuffer); }
    void CalculateSampleCount(uint32_t ABufferSize, float AOutputRate);
    bool IsReady();
    bool IsStartReady();
    uint32_t GetCollectedSamples() { return FBufferQueue.GetCollectedSamples(); }
    // Loads one output buffer's worth into ATarget, stretched by nearest index when the
    // rates differ; false when the input gives silence this cycle.
    bool StretchLoadBuffer(IAUAudioBuffer* ATarget);
    // The same input summed straight into ATarget where its queue holds ATarget's layout
    // and the rates are equal: Added (ok, or silence), Short (the input gives silence
    // this cycle) or NeedsCopy (nothing taken: load a scratch buffer and add it).
    TAUSamplesQueue::TAddResult StretchAddBuffer(IAUAudioBuffer* ATarget);
    // Asks upstream once per input buffer that one output buffer of AOutputRate needs.
    void MasterPump(IPNNotifyOperation* AOperation, double AOutputRate);
    uint32_t InputRate() const { return FWaveFormat.Format.nSamplesPerSec; }

    uint32_t FNeddedSamples = 0;
    TAUSamplesQueue FBufferQueue;
    std::atomic<bool> FEnabled {true};
    // The stream's flags: the input's operations write them under the input half of the
    // mixer's lock while its mixing reads and writes them under the output half.
    std::atomic<bool> Running {false};
    std::atomic<bool> Streaming {false};
    TAUWaveFormatExtensible FWaveFormat {};
    std::atomic<bool> FIgnored {false};
    std::atomic<bool> FResumed {false};
    std::atomic<bool> FDelayed {false};
    std::atomic<bool> FHadEnoghSamples {false};
    int32_t FPrefillCount = 0;
    uint32_t FPrefillInterval = 0;
    double FMasterPumpCounter = 0.0;
};

}  // namespace dcs
