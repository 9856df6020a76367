// The base of components that combine any number of audio streams into one (the mixer):
// the input pins with their queues, the output pin, the running format and the pump
// negotiation. The component lock is a pair: arriving stream operations take the input
// half, mixing and sending the output half, start, stop and destruction both (input
// before output). Every input queue has its own section.
#pragma once

#include "components/audio/AUAudioFormat.h"
#include "components/audio/AUQueuedAudioSinkPin.h"
#include "components/audio/AUStreamTypes.h"
#include "components/audio/SGCommonFilter.h"
#include "components/audio/SGLossCounter.h"
#include "components/audio/SGNotifyThread.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNPinList.h"

#include <atomic>
#include <cstdint>

namespace dcs {

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

    // Frames the inputs' queues dropped, oldest first, because the mixer fell behind.
    uint64_t DroppedFrames() const { return FDroppedFrames.Count(); }

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

    // Processing on the delivering threads: a thread that finds another one processing
    // leaves its request to that thread instead of waiting for the lock.
    void ProcessOnDeliveringThread();
    TSGNotifyThread* MasterPumpThread();

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
    std::atomic<bool> FFilterStarted {false};  // read without a lock by buffer deliveries
    std::atomic<bool> FRunning {false};
    bool FPumpStarted = false;
    bool FRateCalculated = false;
    TAUOptionalAudioFormat* FAudioFormat = nullptr;
    TSGNotifyThread* FMasterPumpThread = nullptr;
    std::atomic<TObject*> FMasterPump {nullptr};
    TAUAudioFormat* FRunningAudioFormat = nullptr;
    double FCalculatedRate = 0.0;
    bool FInCalculateRate = false;
    std::atomic<int32_t> FProcessRequests {0};
    TSGLossCounter FDroppedFrames {"frames dropped from full input queues"};
};

}  // namespace dcs
