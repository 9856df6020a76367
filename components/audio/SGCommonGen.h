// What every signal generator does apart from computing its waveform: switching on and
// off, deciding who paces the chain (its own clock thread when it is elected master, one
// buffer per request of an elected master otherwise, or an external clock), the start
// and stop sequences, and releasing its clock thread safely.
//
// A generator made in code starts itself as soon as it is complete, before it is linked.
#pragma once

#include "components/audio/SGClockGen.h"
#include "components/audio/SGNotifyThread.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNStdPins.h"
#include "components/pins/PNStdTypes.h"

#include <atomic>
#include <cstdint>

namespace dcs {

class TSGBasicCommonGen : public TCKComponent {
    DCS_CLASS(TSGBasicCommonGen, TCKComponent)

    explicit TSGBasicCommonGen(TComponent* AOwner);
    ~TSGBasicCommonGen() override;
    void BeforeDestruction() override;

    bool Enabled() const { return FEnabled.load(); }
    // True starts (outside the designer), false stops; writing the stored value does
    // nothing.
    void SetEnabled(bool AValue);
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }

    int32_t PumpPriority() const { return FPumpPriority; }
    void SetPumpPriority(int32_t AValue) { FLock->Setter(FPumpPriority, AValue); }

    TSGClockSource ClockSource() const { return FClockSource; }
    void SetClockSource(TSGClockSource AValue);
    // One buffer, when the clock source is external.
    void Pump();

    const TNotifyEvent& OnStop() const { return FOnStop; }
    void SetOnStop(TNotifyEvent AValue) { FOnStop = std::move(AValue); }

    bool IsRunning() const { return FIsRunning.load(); }
    // This generator paces its chain (elected master, or externally clocked).
    bool IsPump() const { return FIsPump.load(); }
    TObject* MasterPump() const { return FMasterPump; }
    float PumpRate() const { return FPumpRate; }
    bool HasClock() const { return FClockGen.load() != nullptr; }

    // A value arriving here is written to Enabled.
    TPNBoolSinkPin* EnablePin() const { return FEnablePin; }
    // External clock input: each tick makes one buffer while the clock source is external.
    TPNClockSinkPin* ClockPin() const { return FClockPin; }

    virtual TPNSourcePin* GetOutputPin() = 0;

    static void DeclareProperties(TClassBuilder<TSGBasicCommonGen>& P);

protected:
    // The election: a pump request goes downstream and whoever claims the chain comes
    // back in it. Marks the generator running.
    virtual void NegotiatePump();
    virtual void SendStartFormat() = 0;
    virtual void StartGenerating();
    virtual void StopGenerating();
    virtual void CreateClock() = 0;
    virtual void RequestStart();
    virtual uint32_t GetBufferSize() { return 1; }
    virtual double GetSampleRate() = 0;
    virtual bool CanStart() { return true; }
    virtual void GenerateBuffer() = 0;

    void ComponentReady() override;

    // A request of the elected master: one buffer, unless that request was served already.
    void MasterPumpArrived(TObject* APump, uint32_t AOperationID);
    // Frees the clock thread (never from the clock's own thread).
    void ReleaseClock();
    // Sends AOperation downstream through the output pin.
    void NotifyOutput(const IntfPtr<IPNNotifyOperation>& AOperation);

    std::atomic<TSGClock*> FClockGen {nullptr};
    std::atomic<bool> FInStopping {false};
    std::atomic<bool> FIsRunning {false};

private:
    void Elect();
    void ClockNeeded(bool AEnabled);
    void StopNotified(TObject* Sender);
    void ClockArrived(TPNPin* Sender);
    TPNNotifyResult ClockPinOperation(TPNBasicPin* Sender, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                      TPNNotifyState State);

    TPNBoolSinkPin* FEnablePin = nullptr;
    TPNClockSinkPin* FClockPin = nullptr;

    uint32_t FLastOperationID = 0;
    bool FFirstRequest = true;
    std::atomic<bool> FIsPump {false};
    TObject* FMasterPump = nullptr;
    float FPumpRate = 0.0f;
    std::atomic<bool> FEnabled {true};
    int32_t FPumpPriority = 0;
    TNotifyEvent FOnStop;
    TSGMainThreadNotify* FStopNotify = nullptr;
    TSGClockSource FClockSource = TSGClockSource::csInternal;
};

}  // namespace dcs
