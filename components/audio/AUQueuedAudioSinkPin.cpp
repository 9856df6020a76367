#include "components/audio/AUQueuedAudioSinkPin.h"

#include "components/audio/AUMultiInput.h"
#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

TAUPNQueuedAudioSinkPin::TAUPNQueuedAudioSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock,
                                                 TSGOperationEvent AOperationEvent)
    : TAUPNAudioSinkPin(AOwner, std::move(AOwnerLock), std::move(AOperationEvent))
{
}

void TAUPNQueuedAudioSinkPin::SetEnabled(bool AValue)
{
    auto* owner = dynamic_cast<TAUMultiInput*>(Owner());
    IPNLockSection section = owner ? owner->Lock()->WriteLock() : IPNLockSection();
    if (FEnabled.exchange(AValue) == AValue)
        return;
    if (owner && owner->Running())
        CalculateSampleCount(owner->AudioFormat()->BufferSize(),
                             float(owner->RunningWaveFormat().Format.nSamplesPerSec));
}

namespace {

// What an input may queue: its prefill and four mix cycles on top, and at least half a
// second of its stream, so that jitter and a late mix cycle never lose a frame while a
// mixer that stopped taking frames (or cannot keep up) holds a bounded amount.
uint32_t QueueCapacity(uint32_t ANeeded, uint32_t APrefillMs, uint32_t AInputRate)
{
    const uint64_t prefill = uint64_t(APrefillMs) * AInputRate / 1000;
    const uint64_t frames = std::max({prefill + uint64_t(ANeeded) * 4, uint64_t(AInputRate) / 2, uint64_t(4096)});
    return uint32_t(std::min<uint64_t>(frames, UINT32_MAX));
}

}  // namespace

void TAUPNQueuedAudioSinkPin::StartRate(const TAUWaveFormatExtensible& AWaveFormat)
{
    FWaveFormat = AWaveFormat;
    FBufferQueue.SetCapacity(QueueCapacity(FNeddedSamples, FPrefillInterval, InputRate()));
    FMasterPumpCounter = 0.0;
    Running = true;
    Streaming = true;
}

void TAUPNQueuedAudioSinkPin::Stop()
{
    FDelayed = false;
    Streaming = false;
    FHadEnoghSamples = false;
    FIgnored = true;
}

void TAUPNQueuedAudioSinkPin::StopFull()
{
    Stop();
    Running = false;
}

void TAUPNQueuedAudioSinkPin::CalculateSampleCount(uint32_t ABufferSize, float AOutputRate)
{
    if (!(AOutputRate > 0.0f))
        return;
    FNeddedSamples = uint32_t(std::nearbyint(double(uint32_t(ABufferSize * InputRate())) / double(AOutputRate)));
    FPrefillCount = int32_t(std::nearbyint(double(FPrefillInterval) * double(AOutputRate) / 1000.0));
    FBufferQueue.SetCapacity(QueueCapacity(FNeddedSamples, FPrefillInterval, InputRate()));
}

bool TAUPNQueuedAudioSinkPin::IsReady()
{
    if (FDelayed) {
        if (Running && (!Streaming || GetCollectedSamples() >= FNeddedSamples))
            FDelayed = false;
        return true;  // a delayed input never holds the mixer
    }
    if (!Running)
        return false;
    if (!Streaming)
        return true;
    if (GetCollectedSamples() >= FNeddedSamples)
        return true;
    return FPrefillCount > 0;
}

bool TAUPNQueuedAudioSinkPin::IsStartReady()
{
    if (Running || !IsConnected() || !FEnabled)
        return true;
    // A source that will not stream answers with an ignore.
    FIgnored = false;
    Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    return FIgnored;
}

bool TAUPNQueuedAudioSinkPin::StretchLoadBuffer(IAUAudioBuffer* ATarget)
{
    const uint32_t needed = FNeddedSamples;
    if (needed == 0) {
        // An input too slow to give one sample per output buffer (or of rate 0) takes
        // nothing and holds nothing; it adds silence, not what the block held before.
        ATarget->Zero();
        return true;
    }
    if (FPrefillCount > 0) {
        FPrefillCount -= int32_t(needed);
        return false;
    }
    FHadEnoghSamples = true;
    const uint32_t length = ATarget->GetSize();
    if (length == needed)
        return FBufferQueue.Pop(ATarget);
    if (GetCollectedSamples() < needed || length == 0)
        return false;
    IntfPtr<TAUAudioBuffer> source =
        TAUAudioBuffer::CreateSizeEx(InputRate(), ATarget->GetBitsPerSample(), FWaveFormat.Format.nChannels, needed,
                                     TAUSpeakers::FromMask(FWaveFormat.dwChannelMask));
    if (!FBufferQueue.Pop(source.Get()))
        return false;
    // Nearest index: a mono input fills every output channel, surplus channels drop.
    const double ratio = double(needed) / double(length);
    const uint32_t sourceChannels = source->GetChannels();
    const uint32_t targetChannels = ATarget->GetChannels();
    for (uint32_t c = 0; c < targetChannels && sourceChannels; ++c) {
        const uint32_t from = std::min(c, sourceChannels - 1);
        double p = 0.0;
        for (uint32_t j = 0; j < length; ++j) {
            const uint32_t index = std::min(uint32_t(std::nearbyint(p)), needed - 1);
            ATarget->SetSample(j, c, source->GetSample(index, from));
            p += ratio;
        }
    }
    return true;
}

TAUSamplesQueue::TAddResult TAUPNQueuedAudioSinkPin::StretchAddBuffer(IAUAudioBuffer* ATarget)
{
    using R = TAUSamplesQueue::TAddResult;
    const uint32_t needed = FNeddedSamples;
    if (needed == 0)
        return R::Added;  // silence adds nothing
    if (ATarget->GetSize() != needed)
        return R::NeedsCopy;
    if (FPrefillCount > 0) {
        FPrefillCount -= int32_t(needed);
        return R::Short;
    }
    FHadEnoghSamples = true;
    return FBufferQueue.PopAdd(ATarget);
}

void TAUPNQueuedAudioSinkPin::MasterPump(IPNNotifyOperation* AOperation, double AOutputRate)
{
    if (!Running || !(AOutputRate > 0.0))
        return;
    FMasterPumpCounter += double(InputRate()) / AOutputRate;
    while (FMasterPumpCounter >= 1.0) {
        FMasterPumpCounter -= 1.0;
        Notify(AOperation);
    }
}

}  // namespace dcs
