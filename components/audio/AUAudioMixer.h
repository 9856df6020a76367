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

#include "components/audio/AUMultiInput.h"
#include "components/audio/SGClockGen.h"

#include <cstdint>

namespace dcs {

enum TSGMixerChannelWaitType {
    cwNone,
    cwStart
};

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

protected:
    // Under the mixer's input lock: a running mixer reads the items on its own thread while
    // the program adds, moves or frees channels (also those read from a stored form).
    void EditItems(const std::function<void()>& AEdit) override
    {
        IPNLockSection section = FLock->WriteLock();
        AEdit();
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
    std::atomic<bool> FDontSendOutput {true};
    std::atomic<TSGClock*> FClockGen {nullptr};  // tested without a lock by buffer deliveries
    std::atomic<bool> FIsPump {false};
    int32_t FPumpPriority = 0;
    uint32_t FPumpFrameRate = 0;
};

}  // namespace dcs
