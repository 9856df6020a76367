#include "components/audio/AUAudioOut.h"

#include "platform/base/Format.h"
#include "platform/base/Strings.h"
#include "platform/classes/Streaming.h"

#include <algorithm>
#include <cassert>
#include <iterator>

namespace dcs {

namespace {

// What a play state means for the code that reads it.
struct TPlayTraits {
    bool Paused;
    bool PrefillDone;
    bool Draining;
    bool operator==(const TPlayTraits&) const = default;
};

// Indexed by TAUPlayState. Idle behaves as Filling: nothing holds the device paused.
constexpr TPlayTraits KPlayTraits[] = {
    {false, false, false},  // Idle
    {true, false, false},   // Prefilling
    {false, false, false},  // Filling
    {false, true, false},   // Playing
    {true, true, false},    // Paused
    {true, false, true},    // DrainingPrefilling
    {false, false, true},   // DrainingFilling
    {false, true, true},    // DrainingPlaying
    {true, true, true},     // DrainingPaused
};

TPlayTraits Traits(TAUPlayState AState) { return KPlayTraits[size_t(AState)]; }

TAUPlayState StateOf(const TPlayTraits& ATraits)
{
    // Idle is never entered again: the first match after it is the one.
    for (size_t i = 1; i < std::size(KPlayTraits); ++i)
        if (KPlayTraits[i] == ATraits)
            return TAUPlayState(i);
    return TAUPlayState::Filling;
}

TPlayTraits Apply(TAUPlayStep AStep, TPlayTraits ATraits)
{
    switch (AStep) {
    case TAUPlayStep::Hold: ATraits.Paused = true; break;
    case TAUPlayStep::Release: ATraits.Paused = false; break;
    case TAUPlayStep::Refill:
        ATraits.Paused = true;
        ATraits.PrefillDone = false;
        break;
    case TAUPlayStep::Prime: ATraits.PrefillDone = ATraits.PrefillDone || !ATraits.Paused; break;
    case TAUPlayStep::Stop: ATraits.Draining = true; break;
    case TAUPlayStep::Restart: ATraits.Draining = false; break;
    }
    return ATraits;
}

[[maybe_unused]] bool IsLegalStep(TAUPlayState AFrom, TAUPlayState ATo)
{
    const TPlayTraits from = Traits(AFrom), to = Traits(ATo);
    if (ATo == TAUPlayState::Idle)
        return false;
    // Only a new stream ends a drain, and it begins with a prefill.
    if (from.Draining != to.Draining)
        return to.Draining ? from.Paused == to.Paused && from.PrefillDone == to.PrefillDone
                           : ATo == TAUPlayState::Prefilling;
    // The prefill is done only while the device plays, and starts over held paused.
    if (from.PrefillDone != to.PrefillDone)
        return to.Paused != to.PrefillDone;
    return true;
}

DWORD OpenFlags(UINT ADeviceID)
{
    return ADeviceID == WAVE_MAPPER ? CALLBACK_FUNCTION | WAVE_ALLOWSYNC
                                    : CALLBACK_FUNCTION | WAVE_ALLOWSYNC | WAVE_MAPPED;
}

}  // namespace

// ---------------------------------------------------------------------- basic output

TAUBasicAudioOut::TAUBasicAudioOut(TComponent* AOwner) : TCKComponent(AOwner), FMasterPumping(this, *FLock)
{
    FInputPin = Create<TAUPNAudioSinkPin>(this, IntfPtr<IPNLock>(FLock),
                                          [this](TPNBasicPin* ASender, const TGUID*, IPNNotifyOperation* AOperation,
                                                 TPNNotifyState) { return InputOperation(ASender, AOperation); });
    FEnablePin = Create<TPNBoolStatePin>(
        this, IntfPtr<IPNLock>(FLock), [this](TPNPin*, bool AValue) { SetEnabled(AValue); }, nullptr);
    FClockOutputPin = Create<TPNClockSourcePin>(
        this, IntfPtr<IPNLock>(FLock), nullptr,
        [](TPNBasicPin*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) { return TPNNotifyResult(); });
}

TAUBasicAudioOut::~TAUBasicAudioOut()
{
    IPNLockSection stop = FLock->StopLock();
    Free(FClockOutputPin);
    Free(FInputPin);
    Free(FEnablePin);
}

void TAUBasicAudioOut::SetEnabled(bool AValue)
{
    FLock->Setter(FStoredEnabled, AValue, [this] {
        FEnabled.store(FStoredEnabled);
        EnabledChanged();
    });
}

void TAUBasicAudioOut::DefineProperties(TFiler& Filer)
{
    TCKComponent::DefineProperties(Filer);
    Filer.DefineProperty(
        "PumpPriority", [this](TReader& R) { FMasterPumping.Priority = R.ReadInteger(); }, nullptr, false);
    Filer.DefineProperty(
        "EnableMasterPumping", [this](TReader& R) { FMasterPumping.Enabled = R.ReadBoolean(); }, nullptr, false);
}

void TAUBasicAudioOut::DeclareProperties(TClassBuilder<TAUBasicAudioOut>& P)
{
    P.Boolean("Enabled", &TAUBasicAudioOut::Enabled, &TAUBasicAudioOut::SetEnabled).Default(1);
    P.Object("MasterPumping", &TAUBasicAudioOut::MasterPumping, &TAUBasicAudioOut::SetMasterPumping);
    P.Object("InputPin", &TAUBasicAudioOut::InputPin);
    P.Object("EnablePin", &TAUBasicAudioOut::EnablePin);
    P.Object("ClockOutputPin", &TAUBasicAudioOut::ClockOutputPin);
}

// ---------------------------------------------------------------------------- player

TAUAudioOut::TAUAudioOut(TComponent* AOwner)
    : TAUBasicAudioOut(AOwner), FDevice(this, *FLock), FBufferQueue(IntfPtr<IPNLock>(FLock))
{
    if (!ComponentState().Contains(csDesigning)) {
        FProcessNotify = new TSGMainThreadNotify([this](TObject*) { ProcessQueuedOperations(false); });
        FNotifyThread = NewThread<TSGNotifyThread>(this, TNotifyEvent([](TObject*) {}));
    }
}

void TAUAudioOut::BeforeDestruction()
{
    {
        IPNLockSection stop = FLock->StopLock();
        FDestroying = true;
        TAUBasicAudioOut::BeforeDestruction();
        FInputPin->Disconnect();
        // A failure was reported already; destruction goes on.
        try {
            CloseDevice(true);
        } catch (const ESGException&) {
        }
    }
}

TAUAudioOut::~TAUAudioOut()
{
    IPNLockSection stop = FLock->StopLock();
    delete FNotifyThread;
    delete FProcessNotify;
    FBufferQueue.Clear();
}

void TAUAudioOut::DefineProperties(TFiler& Filer)
{
    TAUBasicAudioOut::DefineProperties(Filer);
    Filer.DefineProperty(
        "PreFillEnabled", [](TReader& R) { R.ReadBoolean(); }, nullptr, false);
}

void TAUAudioOut::DeclareProperties(TClassBuilder<TAUAudioOut>& P)
{
    P.Integer("PrefillInterval", &TAUAudioOut::PrefillInterval, &TAUAudioOut::SetPrefillInterval, "Cardinal")
        .Default(300);
    P.Object("Device", &TAUAudioOut::Device, &TAUAudioOut::SetDevice);
}

void TAUAudioOut::SetPrefillInterval(uint32_t AValue)
{
    IPNLockSection section = FLock->WriteLock();
    if (FPrefillInterval.exchange(AValue) != AValue)
        FLock->ChangeNotify();
}

bool TAUAudioOut::IsOpen()
{
    TPNCriticalSectionLock lock(FParams.Section);
    return FParams.IsOpen;
}

bool TAUAudioOut::IsPaused() const { return Traits(FState.load()).Paused; }

void TAUAudioOut::ChangeState(TAUPlayStep AStep)
{
    TAUPlayState current = FState.load();
    for (;;) {
        const TPlayTraits next = Apply(AStep, Traits(current));
        if (next == Traits(current))
            return;
        const TAUPlayState target = StateOf(next);
        assert(IsLegalStep(current, target));
        if (FState.compare_exchange_weak(current, target))
            return;
    }
}

int TAUAudioOut::QueuedBlocks()
{
    TPNCriticalSectionLock lock(FParams.Section);
    return int(FParams.BufferList.size());
}

void TAUAudioOut::RaiseDeviceError(const std::string& AText, MMRESULT ACode)
{
    bool handled = false;
    if (FOnError)
        FOnError(this, AText, int32_t(ACode), handled);
    if (!handled)
        throw ESGException(Format("%s - %u - %x", AText, ACode, ACode));
}

void TAUAudioOut::RaiseDeviceWarning(const std::string& AText, MMRESULT ACode)
{
    if (FOnWarning)
        FOnWarning(this, AText, int32_t(ACode));
}

// --- the device

void TAUAudioOut::OpenDevice(const TAUWaveFormatExtensible& AFormat)
{
    if (!Enabled())
        return;
    if (IsOpen())
        CloseDevice(false);
    MMRESULT r;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        FParams.IsOpen = true;
        FWaveThread =
            NewThread<TAUWaveThread>(this, [this](UINT m, HWAVEOUT d, WAVEHDR* h) { DispatchWaveMessage(m, d, h); });
        const UINT id = FDevice.GetDeviceID();
        FWaveFormat = AFormat;
        r = waveOutOpen(&HOut, id, &AFormat.Format, reinterpret_cast<DWORD_PTR>(&TAUWaveThread::DeviceCallback),
                        reinterpret_cast<DWORD_PTR>(FWaveThread), OpenFlags(id));
        if (r != MMSYSERR_NOERROR) {
            // Nothing is open: the player must not look open, or a later close would
            // reset a handle that does not exist and fail.
            FParams.IsOpen = false;
            HOut = nullptr;
        }
    }
    if (r != MMSYSERR_NOERROR) {
        delete FWaveThread;
        FWaveThread = nullptr;
        RaiseDeviceError("Can't open audio device.", r);
        return;
    }
    // A new device always starts paused, and the state says so.
    ChangeState(TAUPlayStep::Hold);
    r = waveOutPause(HOut);
    if (r != MMSYSERR_NOERROR)
        RaiseDeviceError("Can't pause audio device.", r);
}

void TAUAudioOut::CloseDevice(bool AClearPump)
{
    IPNLockSection stop = FLock->StopLock();
    {
        TPNCriticalSectionLock lock(FParams.Section);
        if (!FParams.IsOpen)
            return;
        FWaveThread->ClearRecords();
        if (AClearPump)
            FParams.IsPump = false;
        FParams.IsOpen = false;
    }
    // The device must give the blocks back before it can close. A refused reset is
    // reported once the close is done and tried once more; the close goes on either way,
    // so that no thread of the device calls into a player that is gone.
    const MMRESULT failed = waveOutReset(HOut);
    if (failed != MMSYSERR_NOERROR)
        waveOutReset(HOut);
    FWaveThread->Terminate();
    bool closed;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        for (TAUWaveBuffer* block : FParams.BufferList)
            waveOutUnprepareHeader(HOut, &block->WaveHdr, sizeof(WAVEHDR));
        closed = waveOutClose(HOut) == MMSYSERR_NOERROR;
        // A device that did not let go may still read its blocks and call back: what it
        // holds stays allocated, and the terminated thread ignores its messages.
        if (closed)
            for (TAUWaveBuffer* block : FParams.BufferList)
                delete block;
        FParams.BufferList.clear();
        HOut = nullptr;
    }
    if (closed)
        delete FWaveThread;
    FWaveThread = nullptr;
    if (failed != MMSYSERR_NOERROR)
        RaiseDeviceError("Can't restart audio device.", failed);
}

void TAUAudioOut::PauseDevice()
{
    ChangeState(TAUPlayStep::Hold);
    TPNCriticalSectionLock lock(FParams.Section);
    if (FParams.IsOpen)
        waveOutPause(HOut);
}

void TAUAudioOut::ResumeDevice()
{
    if (!Enabled() || !IsPaused())
        return;
    ChangeState(TAUPlayStep::Release);
    MMRESULT r = MMSYSERR_NOERROR;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        if (FParams.IsOpen)
            r = waveOutRestart(HOut);
    }
    if (r != MMSYSERR_NOERROR) {
        // The device is still paused and the state must say so: the next buffer tries
        // again, or the player would stay silent with its queue growing.
        ChangeState(TAUPlayStep::Hold);
        RaiseDeviceError("Can't restart audio device.", r);
        return;
    }
    for (int32_t missed = FMissedPumps.exchange(0); missed > 0; --missed)
        PumpUpstream();
}

void TAUAudioOut::WriteBlock(const IntfPtr<IAUAudioBuffer>& ABuffer)
{
    if (!Enabled() || !ABuffer)
        return;
    MMRESULT prepared, written = MMSYSERR_NOERROR;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        // A block handed to no device would never come back.
        if (!FParams.IsOpen)
            return;
        auto* block = new TAUWaveBuffer;
        block->HOut = HOut;
        block->Data = ABuffer;
        // Nobody may write into samples the device is playing.
        ABuffer->Unique(true);
        block->WaveHdr.lpData = reinterpret_cast<char*>(const_cast<uint8_t*>(ABuffer->Read()));
        block->WaveHdr.dwBufferLength = ABuffer->GetByteSize();
        block->WaveHdr.dwUser = reinterpret_cast<DWORD_PTR>(block);
        prepared = waveOutPrepareHeader(HOut, &block->WaveHdr, sizeof(WAVEHDR));
        if (prepared == MMSYSERR_NOERROR) {
            FParams.BufferList.push_back(block);
            written = waveOutWrite(HOut, &block->WaveHdr, sizeof(WAVEHDR));
            if (written != MMSYSERR_NOERROR) {
                waveOutUnprepareHeader(HOut, &block->WaveHdr, sizeof(WAVEHDR));
                FParams.BufferList.pop_back();
            }
        }
        // A refused block never completes: listed, it would hold the "at most one block"
        // check and its samples until the device closes.
        if (prepared != MMSYSERR_NOERROR || written != MMSYSERR_NOERROR)
            delete block;
    }
    if (prepared != MMSYSERR_NOERROR) {
        RaiseDeviceWarning("Can't prepare audio buffer.", prepared);
        return;
    }
    if (written != MMSYSERR_NOERROR) {
        RaiseDeviceWarning("Can't write audio buffer.", written);
        return;
    }
    const uint32_t rate = ABuffer->GetSampleRate();
    if (!Traits(State()).PrefillDone && rate) {
        FStartInterval += uint32_t(ABuffer->GetSize() * 1000u) / rate;
        if (FStartInterval > int64_t(PrefillInterval())) {
            ResumeDevice();
            // A refused restart leaves the device paused: the next buffer tries again.
            ChangeState(TAUPlayStep::Prime);
        }
    }
}

void TAUAudioOut::Flush()
{
    FBufferQueue.Clear();
    TPNCriticalSectionLock lock(FParams.Section);
    if (!FParams.IsOpen)
        return;
    ChangeState(TAUPlayStep::Refill);
    FStartInterval = 0;
    waveOutReset(HOut);
    waveOutPause(HOut);
}

void TAUAudioOut::EnabledChanged()
{
    if (!Enabled())
        return;
    ChangeState(TAUPlayStep::Refill);
    FStartInterval = 0;
    if (FWaveFormat) {
        OpenDevice(*FWaveFormat);
        ChangeState(TAUPlayStep::Restart);
    } else {
        PauseDevice();
    }
}

// --- completions

void TAUAudioOut::DispatchWaveMessage(UINT AMessage, HWAVEOUT ADevice, WAVEHDR* AHeader)
{
    if (AMessage == WOM_DONE)
        BlockDone(ADevice, AHeader);
}

void TAUAudioOut::BlockDone(HWAVEOUT ADevice, WAVEHDR* AHeader)
{
    {
        TPNCriticalSectionLock lock(FParams.Section);
        if (!FParams.IsOpen)
            return;
    }
    bool pump;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        pump = FParams.IsPump;
    }
    if (pump || FClockOutputPin->IsConnected()) {
        if (IsPaused())
            ++FMissedPumps;
        FClockOutputPin->Clock();
        if (pump)
            PumpUpstream();
    }
    {
        TPNCriticalSectionLock lock(FParams.Section);
        auto* block = reinterpret_cast<TAUWaveBuffer*>(AHeader->dwUser);
        auto it = std::find(FParams.BufferList.begin(), FParams.BufferList.end(), block);
        if (it != FParams.BufferList.end()) {
            waveOutUnprepareHeader(ADevice, AHeader, sizeof(WAVEHDR));
            FParams.BufferList.erase(it);
            delete block;
        }
        if (Traits(State()).Draining && FParams.BufferList.empty() && FNotifyThread)
            FNotifyThread->Notify();
    }
    ProcessQueuedOperations(true);
    // Nothing left to play while the stream plays on: the device runs dry until the next
    // buffer comes.
    bool dry;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        dry = FParams.IsOpen && FParams.BufferList.empty();
    }
    if (dry && State() == TAUPlayState::Playing)
        FUnderruns.Add(1, Name().empty() ? ClassName() : Name());
    ++FCompletedBlocks;
}

// --- operations

void TAUAudioOut::ProcessQueuedOperations(bool AFromWaveThread)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    while (IntfPtr<IPNNotifyOperation> operation = FBufferQueue.Pop())
        if (!ProcessOperation(operation, AFromWaveThread))
            break;
}

void TAUAudioOut::StartStream(const IntfPtr<IPNNotifyOperation>& AOperation, const TAUWaveFormatExtensible& AFormat,
                              bool AFromWaveThread, bool& AResult)
{
    --FStopping;
    ChangeState(TAUPlayStep::Refill);
    FStartInterval = 0;
    AResult = true;
    if (!IsOpen()) {
        OpenDevice(AFormat);
        ChangeState(TAUPlayStep::Restart);
    } else if (!Traits(State()).Draining) {
        AResult = false;  // the running stream has not stopped: the start is dropped
    } else if (AFromWaveThread) {
        // Reopening waits for the wave thread: the main thread does it.
        FBufferQueue.PushBack(AOperation);
        AResult = false;
        if (FProcessNotify)
            FProcessNotify->Notify(true);
    } else {
        OpenDevice(AFormat);
        ChangeState(TAUPlayStep::Restart);
    }
}

void TAUAudioOut::ProbeDevice(TPNPumpRequestOperation* ARequest)
{
    if (ARequest->PumpType == TPNPumpType::ptHardware && ARequest->PumpPriority >= FMasterPumping.Priority)
        return;
    const TAUWaveFormatExtensible probe = MakePcmWaveFormat(1, 16, 11025, SPEAKER_FRONT_LEFT);
    const UINT id = FDevice.GetDeviceID();
    HWAVEOUT handle = nullptr;
    const MMRESULT r = waveOutOpen(&handle, id, &probe.Format,
                                   reinterpret_cast<DWORD_PTR>(&TAUWaveThread::DeviceCallback), 0, OpenFlags(id));
    TPNCriticalSectionLock lock(FParams.Section);
    if (r == MMSYSERR_NOERROR) {
        ARequest->Pump = this;
        ARequest->PumpPriority = FMasterPumping.Priority;
        ARequest->PumpType = TPNPumpType::ptHardware;
        FParams.IsPump = true;
        waveOutClose(handle);
    } else {
        FParams.IsPump = false;
    }
}

bool TAUAudioOut::ProcessOperation(const IntfPtr<IPNNotifyOperation>& AOperation, bool AFromWaveThread)
{
    IPNNotifyOperation* op = AOperation.Get();
    if (auto* start = OperationAs<TPNStartWaveOperation>(op)) {
        bool result;
        StartStream(AOperation, start->WaveFormat, AFromWaveThread, result);
        return result;
    }
    if (OperationAs<TPNStartPumpOperation>(op)) {
        bool pump;
        {
            TPNCriticalSectionLock lock(FParams.Section);
            pump = FParams.IsPump;
        }
        if (pump && FMasterPumping.Enabled) {
            PumpUpstream();
            if (PrefillInterval() > 0)
                PumpUpstream();
        }
    } else if (OperationAs<TPNStopOperation>(op)) {
        --FStopping;
        ChangeState(TAUPlayStep::Stop);
        if (!OperationAs<TPNEndStopOperation>(op) && FNotifyThread)
            FNotifyThread->Notify();
    } else if (OperationAs<TPNSGPauseOperation>(op)) {
        PauseDevice();
    } else if (auto* request = OperationAs<TPNPumpRequestOperation>(op)) {
        if (FMasterPumping.Enabled)
            ProbeDevice(request);
    } else if (auto* supplied = OperationAs<TPNSuppliedBufferOperation>(op)) {
        if (supplied->Buffer) {
            WriteBlock(IntfPtr<IAUAudioBuffer>(TAUAudioBuffer::CreateUniversal(supplied->Buffer.Get())));
            if (FMasterPumping.Enabled && !Traits(State()).PrefillDone)
                PumpUpstream();
        }
    }
    return true;
}

TPNNotifyResult TAUAudioOut::InputOperation(TPNBasicPin* /*APin*/, IPNNotifyOperation* AOperation)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return {};
    IntfPtr<IPNNotifyOperation> operation(AOperation);
    if (OperationAs<TPNSGResumeOperation>(AOperation)) {
        ResumeDevice();
    } else if (OperationAs<TPNFlushStreamOperation>(AOperation)) {
        Flush();
    } else if (Enabled()) {
        if (OperationAs<TPNStopOperation>(AOperation)) {
            ++FStopping;
            // What was written before the stop must play, prefill or not.
            if (const TPlayTraits now = Traits(State()); now.Paused && !now.PrefillDone) {
                ResumeDevice();
                ChangeState(TAUPlayStep::Prime);
            }
        } else if (OperationAs<TPNStartWaveOperation>(AOperation)) {
            ++FStopping;
        }
        FBufferQueue.Push(operation, false);
    } else {
        if (auto* start = OperationAs<TPNStartWaveOperation>(AOperation))
            FWaveFormat = start->WaveFormat;
        else if (OperationAs<TPNStopOperation>(AOperation))
            FWaveFormat.reset();
        return {};
    }
    // Until the prefill is done, every operation is handled as it comes.
    if (!Traits(State()).PrefillDone)
        ProcessQueuedOperations(false);
    bool again;
    {
        TPNCriticalSectionLock lock(FParams.Section);
        again = FStopping > 0 || FParams.BufferList.size() <= 1;
    }
    if (again)
        ProcessQueuedOperations(false);
    return {};
}

}  // namespace dcs
