// The mixer: any number of audio streams combined into one. Each input keeps its own
// queue of arriving buffers; on each cycle the mixer takes exactly the samples that one
// output buffer needs from every active input, stretches them to the output length,
// scales them by the channel's coefficient, sums them and sends the sum on.
//
// The output's rate and format are fixed when the first input starts: the rate is
// AudioFormat.SampleRate while AudioFormat.Enabled, else the highest rate among the
// running inputs; channels, bits and speaker mask always come from AudioFormat. The
// mixer clocks itself when it won the pump negotiation; a component downstream that
// claims the pump paces it instead; otherwise arriving buffers drive the cycles.
//
// The component lock is a pair: arriving stream operations take the input half, mixing
// and sending the output half, start, stop and destruction both (input before output).
// Every input queue has its own section.
#pragma once

#include "components/audio/AUAudioFormat.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/audio/AUStreamTypes.h"
#include "components/audio/SGClockGen.h"
#include "components/audio/SGCommonFilter.h"
#include "components/audio/SGNotifyThread.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNPinList.h"

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
    void AddBuffer(const IntfPtr<IAUAudioBuffer>& ABuffer) { FBufferQueue.Push(ABuffer); }
    void CalculateSampleCount(uint32_t ABufferSize, float AOutputRate);
    bool IsReady();
    bool IsStartReady();
    uint32_t GetCollectedSamples() { return FBufferQueue.GetCollectedSamples(); }
    // Loads one output buffer's worth into ATarget, stretched by nearest index when the
    // rates differ; false when the input gives silence this cycle.
    bool StretchLoadBuffer(IAUAudioBuffer* ATarget);
    // Asks upstream once per input buffer that one output buffer of AOutputRate needs.
    void MasterPump(IPNNotifyOperation* AOperation, double AOutputRate);
    uint32_t InputRate() const { return FWaveFormat.Format.nSamplesPerSec; }

    uint32_t FNeddedSamples = 0;
    TAUSamplesQueue FBufferQueue;
    std::atomic<bool> FEnabled{true};
    bool Running = false;
    bool Streaming = false;
    TAUWaveFormatExtensible FWaveFormat{};
    bool FIgnored = false;
    bool FResumed = false;
    bool FDelayed = false;
    bool FHadEnoghSamples = false;
    int32_t FPrefillCount = 0;
    uint32_t FPrefillInterval = 0;
    double FMasterPumpCounter = 0.0;
};

class TAUMultiInput : public TCKComponent {
    DCS_CLASS(TAUMultiInput, TCKComponent)

    explicit TAUMultiInput(TComponent* AOwner);
    ~TAUMultiInput() override;
    void BeforeDestruction() override;

    TAUPNAudioSourcePin* OutputPin() const { return FOutputPin; }
    TAUOptionalAudioFormat* AudioFormat() const { return FAudioFormat; }
    void SetAudioFormat(TAUOptionalAudioFormat* AValue) { FAudioFormat->Assign(AValue); }
    TSGThreading* Threading() const { return FThreading; }
    void SetThreading(TSGThreading* AValue) { FThreading->Assign(AValue); }
    int InputCount();
    TAUPNQueuedAudioSinkPin* Input(int AIndex);

    // The format actually sent and its rate (observation).
    const TAUWaveFormatExtensible RunningWaveFormat();
    bool Running() const { return FRunning; }

    static void DeclareProperties(TClassBuilder<TAUMultiInput>& P);

    virtual TPNNotifyResult ProcessInputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation);
    virtual TPNNotifyResult ProcessOutputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation);
    // One round of cycles (at most 301): runs while every running input has its samples.
    virtual void ProcessInputs();

protected:
    virtual bool StopInputFully() { return true; }
    virtual bool CanMix() { return true; }
    virtual void UpdateSendState() {}
    virtual bool ForwardPumpRequests() { return false; }
    virtual void StartOutput();
    virtual void ScheduleProcessing();
    virtual void ArbitratePump(TPNPumpRequestOperation* ARequest);
    virtual bool MixInputs() { return false; }
    virtual void StopOutput();
    virtual TAUPNQueuedAudioSinkPin* CreateInputPin();
    virtual void RemoveInputPin(TAUPNQueuedAudioSinkPin* APin);
    virtual void AudioFormatChanged();

    bool PrepareFormat();
    void CalculateSampleCounts();
    void StopWhenAllStopped();
    void HandleMasterPump(IPNNotifyOperation* AOperation);
    void DestroyInputs();

    IntfPtr<ICKLock> FInputLock;
    IntfPtr<ICKLock> FOutputLock;
    TAUPNAudioSourcePin* FOutputPin = nullptr;
    TPNPinList* FAllInputPins = nullptr;
    TSGThreading* FThreading = nullptr;
    TSGFilterThread* FFilterThread = nullptr;
    bool FRunning = false;
    bool FPumpStarted = false;
    bool FRateCalculated = false;
    TAUOptionalAudioFormat* FAudioFormat = nullptr;
    TSGNotifyThread* FMasterPumpThread = nullptr;
    std::atomic<TObject*> FMasterPump{nullptr};
    TAUAudioFormat* FRunningAudioFormat = nullptr;
    double FCalculatedRate = 0.0;
    bool FInCalculateRate = false;
};

enum TSGMixerChannelWaitType { cwNone, cwStart };

class TAUAudioMixer;

// One input of the mixer: its pin and its gain.
class TAUAudioMixerChannelItem : public TCKCollectionItem {
    DCS_CLASS(TAUAudioMixerChannelItem, TCKCollectionItem)

    explicit TAUAudioMixerChannelItem(TCollection* ACollection);
    ~TAUAudioMixerChannelItem() override;
    void BeforeDestruction() override;
    void DefineProperties(TFiler& Filer) override;

    double Coefficient() const { return FLock->Getter(FCoefficient); }
    void SetCoefficient(double AValue) { FLock->Setter(FCoefficient, AValue); }
    bool Enabled() const { return FInputPin->Enabled(); }
    void SetEnabled(bool AValue) { FInputPin->SetEnabled(AValue); }
    TSGMixerChannelWaitType WaitForDataBefore() const { return FWaitForActiveBefore; }
    void SetWaitForDataBefore(TSGMixerChannelWaitType AValue) { FLock->Setter(FWaitForActiveBefore, AValue); }
    uint32_t PrefillInterval() const { return FInputPin->FPrefillInterval; }
    void SetPrefillInterval(uint32_t AValue) { FLock->Setter(FInputPin->FPrefillInterval, AValue); }
    TAUPNQueuedAudioSinkPin* InputPin() const { return FInputPin; }

    static void DeclareProperties(TClassBuilder<TAUAudioMixerChannelItem>& P);

private:
    TAUAudioMixer* FMixer;
    TAUPNQueuedAudioSinkPin* FInputPin = nullptr;
    double FCoefficient = 1.0;
    TSGMixerChannelWaitType FWaitForActiveBefore = cwNone;
};

class TAUAudioMixerChannels : public TCKCollection {
    DCS_CLASS(TAUAudioMixerChannels, TCKCollection)

    explicit TAUAudioMixerChannels(TAUAudioMixer* AOwner);

    TAUAudioMixerChannelItem* Add() { return static_cast<TAUAudioMixerChannelItem*>(TCollection::Add()); }
    // EListError for an index outside the collection.
    TAUAudioMixerChannelItem* GetItem(int AIndex) const
    {
        return static_cast<TAUAudioMixerChannelItem*>(Items(AIndex));
    }
};

class TAUAudioMixer : public TAUMultiInput {
    DCS_CLASS(TAUAudioMixer, TAUMultiInput)

    explicit TAUAudioMixer(TComponent* AOwner);
    ~TAUAudioMixer() override;

    TAUAudioMixerChannels* Channels() const { return FChannels; }
    void SetChannels(TAUAudioMixerChannels* AValue) { FChannels->Assign(AValue); }
    TPNPinList* InputPins() const { return FInputPins; }
    int32_t PumpPriority() const { return FPumpPriority; }
    void SetPumpPriority(int32_t AValue) { FLock->Setter(FPumpPriority, AValue); }

    // Whether the mixer paces itself, and its clock's period in 100 ns units (0: none).
    bool IsPump() const { return FIsPump.load(); }
    int64_t ClockInterval();

    void DefineProperties(TFiler& Filer) override;
    static void DeclareProperties(TClassBuilder<TAUAudioMixer>& P);

protected:
    friend class TAUAudioMixerChannelItem;

    bool StopInputFully() override { return false; }
    bool CanMix() override;
    void UpdateSendState() override;
    void StartOutput() override;
    void ScheduleProcessing() override;
    void ArbitratePump(TPNPumpRequestOperation* ARequest) override;
    bool MixInputs() override;
    void StopOutput() override;
    TAUPNQueuedAudioSinkPin* CreateInputPin() override;
    void RemoveInputPin(TAUPNQueuedAudioSinkPin* APin) override;

private:
    void StartClock();
    void FreeClock();

    TPNPinList* FInputPins = nullptr;
    TAUAudioMixerChannels* FChannels = nullptr;
    std::atomic<bool> FDontSendOutput{true};
    TSGClockGen* FClockGen = nullptr;
    std::atomic<bool> FIsPump{false};
    int32_t FPumpPriority = 0;
    uint32_t FPumpFrameRate = 0;
};

}  // namespace dcs
