// The wave-out player: the sink at the end of every audio chain. It opens the wave-out
// device with the format of the stream it receives, writes each arriving buffer to the
// device as one block, keeps the device paused until a prefill time's worth of blocks
// is queued, and then lets it play. The device's completion messages only queue a
// record in the callback; a highest-priority wave thread hands them to the player, which
// frees the played block and writes whatever waited.
//
// Device failures go to OnError (or OnWarning for capability queries and refused
// blocks) first; unless the handler marks an error handled, it is raised as
// ESGException "text - code - hexcode".
#pragma once

#include "components/audio/AUAudioFormat.h"
#include "components/audio/AUDeviceSettings.h"
#include "components/audio/AUStreamTypes.h"
#include "components/audio/AUWaveThread.h"
#include "components/audio/SGLossCounter.h"
#include "components/audio/SGNotifyThread.h"
#include "components/audio/SGVariantStorages.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/audio/buffers/SGSimpleDataBuffer.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNStatePins.h"
#include "components/pins/PNStdPins.h"
#include "platform/base/SysUtils.h"
#include "platform/waveout/WaveOut.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dcs {

DCS_DECLARE_EXCEPTION(ESGException, Exception);

using TSGErrorEvent =
    std::function<void(TObject* Sender, const std::string& ErrorText, int32_t ErrorCode, bool& Handled)>;
using TSGWarningEvent = std::function<void(TObject* Sender, const std::string& ErrorText, int32_t ErrorCode)>;

// One block handed to the device: keeps the samples alive until the device is done.
struct TAUWaveBuffer {
    HWAVEOUT HOut = nullptr;
    WAVEHDR WaveHdr {};
    IntfPtr<IAUAudioBuffer> Data;
};

// The open flag, the pump flag and the blocks the device holds, under one section.
class TAUAudioParams {
public:
    TPNCriticalSection Section;
    bool IsOpen = false;
    bool IsPump = false;
    std::vector<TAUWaveBuffer*> BufferList;
};

// ---------------------------------------------------------------------------- players

// Where the player is with the stream it receives. Whether a device is open is kept
// with the device's blocks (TAUAudioParams::IsOpen, under their section): a failed open
// leaves the state as the stream asked for it.
// Prefill "counts" while the time written since the start has not reached the prefill
// interval; each Draining state is the one before it after the stream stopped, the
// device playing out what it holds.
enum class TAUPlayState : uint8_t {
    Idle,        // no stream has started yet
    Prefilling,  // held paused while the prefill counts
    Filling,     // resumed from upstream while the prefill still counts
    Playing,     // the prefill is done and the device plays
    Paused,      // paused after the prefill
    DrainingPrefilling,
    DrainingFilling,
    DrainingPlaying,
    DrainingPaused,
};

// The steps between play states; each changes only what its name says.
enum class TAUPlayStep : uint8_t {
    Hold,     // pause
    Release,  // resume
    Refill,   // pause and let the prefill count from the start again
    Prime,    // the prefill is done, if the device plays
    Stop,     // the stream stopped
    Restart,  // a new stream has its device
};

// The pins, Enabled and the master-pumping settings every audio output has.
class TAUBasicAudioOut : public TCKComponent {
    DCS_CLASS(TAUBasicAudioOut, TCKComponent)

    explicit TAUBasicAudioOut(TComponent* AOwner);
    ~TAUBasicAudioOut() override;

    bool Enabled() const { return FEnabled.load(); }
    // Runs EnabledChanged only when the value changes.
    void SetEnabled(bool AValue);
    TCKMasterPumping* MasterPumping() const { return const_cast<TCKMasterPumping*>(&FMasterPumping); }
    void SetMasterPumping(TCKMasterPumping* AValue) { FMasterPumping.Assign(AValue); }
    TAUPNAudioSinkPin* InputPin() const { return FInputPin; }
    TPNBoolStatePin* EnablePin() const { return FEnablePin; }
    TPNClockSourcePin* ClockOutputPin() const { return FClockOutputPin; }

    // What arrives at the input pin, on the sender's thread.
    virtual TPNNotifyResult InputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation) = 0;

    // Former stored names of the master-pumping settings are still read.
    void DefineProperties(TFiler& Filer) override;
    static void DeclareProperties(TClassBuilder<TAUBasicAudioOut>& P);

protected:
    virtual void EnabledChanged() {}

    std::atomic<bool> FEnabled {true};
    TCKMasterPumping FMasterPumping;
    TAUPNAudioSinkPin* FInputPin = nullptr;
    TPNBoolStatePin* FEnablePin = nullptr;
    TPNClockSourcePin* FClockOutputPin = nullptr;
    // The format of the stream last started, kept while it has not stopped.
    std::optional<TAUWaveFormatExtensible> FWaveFormat;

private:
    bool FStoredEnabled = true;  // the setter's field; FEnabled mirrors it for other threads
};

class TAUAudioOut : public TAUBasicAudioOut {
    DCS_CLASS(TAUAudioOut, TAUBasicAudioOut)

    explicit TAUAudioOut(TComponent* AOwner);
    ~TAUAudioOut() override;
    void BeforeDestruction() override;

    uint32_t PrefillInterval() const { return FPrefillInterval.load(); }
    void SetPrefillInterval(uint32_t AValue);
    TAUAudioOutDevice* Device() const { return const_cast<TAUAudioOutDevice*>(&FDevice); }
    void SetDevice(TAUAudioOutDevice* AValue) { FDevice.Assign(AValue); }
    void SetOnError(TSGErrorEvent AValue) { FOnError = std::move(AValue); }
    void SetOnWarning(TSGWarningEvent AValue) { FOnWarning = std::move(AValue); }

    // Drops what waits and, when the device is open, resets it to a paused state with a
    // new prefill phase.
    void Flush();

    TPNNotifyResult InputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation) override;

    // Observation for tests and diagnostics.
    bool IsOpen();
    bool IsPaused() const;
    TAUPlayState State() const { return FState.load(); }
    int QueuedBlocks();
    int WaitingOperations() { return FBufferQueue.ItemsCount(); }
    // Blocks the device has finished, counted once what waited for them is written.
    uint64_t CompletedBlocks() const { return FCompletedBlocks.load(); }
    // Times the device ran dry while playing: the player fell behind.
    uint64_t Underruns() const { return FUnderruns.Count(); }

    void DefineProperties(TFiler& Filer) override;
    static void DeclareProperties(TClassBuilder<TAUAudioOut>& P);

    void RaiseDeviceError(const std::string& AText, MMRESULT ACode);
    void RaiseDeviceWarning(const std::string& AText, MMRESULT ACode);

protected:
    void EnabledChanged() override;

    void OpenDevice(const TAUWaveFormatExtensible& AFormat);
    // Takes the stop lock; stops and joins the wave thread and frees every block. A
    // refused reset is reported (OnError, then raised) after the close is done.
    void CloseDevice(bool AClearPump);
    void PauseDevice();
    // A refused restart is reported and leaves the player paused, to be tried again.
    void ResumeDevice();
    // Hands the buffer's samples to the device as one block; a block the device refuses
    // is freed at once with a warning.
    void WriteBlock(const IntfPtr<IAUAudioBuffer>& ABuffer);
    void ProcessQueuedOperations(bool AFromWaveThread);
    virtual bool ProcessOperation(const IntfPtr<IPNNotifyOperation>& AOperation, bool AFromWaveThread);
    // Asks upstream for the next buffer (master pumping).
    void PumpUpstream() { FInputPin->MasterPump(this); }

private:
    // Every change of state goes through here, as one atomic step. Debug builds check
    // that the step is one the player makes.
    void ChangeState(TAUPlayStep AStep);
    void DispatchWaveMessage(UINT AMessage, HWAVEOUT ADevice, WAVEHDR* AHeader);
    void BlockDone(HWAVEOUT ADevice, WAVEHDR* AHeader);
    void StartStream(const IntfPtr<IPNNotifyOperation>& AOperation, const TAUWaveFormatExtensible& AFormat,
                     bool AFromWaveThread, bool& AResult);
    void ProbeDevice(TPNPumpRequestOperation* ARequest);

    HWAVEOUT HOut = nullptr;
    std::atomic<uint32_t> FPrefillInterval {300};
    TAUAudioParams FParams;
    std::atomic<TAUPlayState> FState {TAUPlayState::Idle};
    TAUAudioOutDevice FDevice;
    TAUWaveThread* FWaveThread = nullptr;
    TSGNotifyThread* FNotifyThread = nullptr;
    TSGMainThreadNotify* FProcessNotify = nullptr;
    std::atomic<int32_t> FMissedPumps {0};
    TSGOperationList FBufferQueue;
    std::atomic<int32_t> FStopping {0};
    int64_t FStartInterval = 0;
    std::atomic<uint64_t> FCompletedBlocks {0};
    TSGLossCounter FUnderruns {"underruns"};
    TSGErrorEvent FOnError;
    TSGWarningEvent FOnWarning;
    bool FDestroying = false;
};

}  // namespace dcs
