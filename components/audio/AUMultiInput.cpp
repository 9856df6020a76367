#include "components/audio/AUMultiInput.h"

#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

TAUMultiInput::TAUMultiInput(TComponent* AOwner) : TCKComponent(AOwner)
{
    FInputLock = FLock;
    FOutputLock = TCKLock::Create([this] { PropertyChanged(); });
    FLock = TCKPairedLock::Create(FInputLock, FOutputLock, [this] { PropertyChanged(); });
    FOutputPin =
        Create<TAUPNAudioSourcePin>(this, IntfPtr<IPNLock>(FOutputLock), IntfPtr<IPNLock>(FInputLock),
                                    [this](TPNBasicPin* ASender, const TGUID*, IPNNotifyOperation* AOperation,
                                           TPNNotifyState) { return ProcessOutputOperation(ASender, AOperation); });
    FAllInputPins = Create<TPNPinList>(this, IntfPtr<IPNLock>(FInputLock), false);
    FRunningAudioFormat = Create<TAUAudioFormat>(this, *FOutputLock);
    // A format change restarts a running output, which takes the input half: the format's
    // writers take both halves, input first, like every other writer of the pair, or a
    // writer holding only the output half would wait for an input thread waiting for it.
    FAudioFormat = Create<TAUOptionalAudioFormat>(this, *FLock, [this](TObject*) { AudioFormatChanged(); });
    FThreading = Create<TSGThreading>(this, *FOutputLock, [this] {
        IPNLockSection section = FLock->WriteLock();
        if (FFilterThread)
            FFilterThread->SetPriority(FThreading->Priority());
    });
}

TSGNotifyThread* TAUMultiInput::MasterPumpThread()
{
    // Made when a master first pumps: most mixers never have one, and a large graph would
    // otherwise keep a sleeping thread per mixer.
    if (!FMasterPumpThread && !ComponentState().Contains(csDesigning))
        FMasterPumpThread = NewThread<TSGNotifyThread>(this, TNotifyEvent([this](TObject*) { ProcessInputs(); }));
    return FMasterPumpThread;
}

void TAUMultiInput::BeforeDestruction()
{
    {
        IPNLockSection stop = FLock->StopLock();
        for (int i = 0; i < InputCount(); ++i)
            Input(i)->Disconnect();
        StopOutput();
    }
    TCKComponent::BeforeDestruction();
}

TAUMultiInput::~TAUMultiInput()
{
    IPNLockSection stop = FLock->StopLock();
    delete FMasterPumpThread;
    Free(FAllInputPins);
    Free(FOutputPin);
    Free(FAudioFormat);
    Free(FRunningAudioFormat);
    Free(FThreading);
}

void TAUMultiInput::DeclareProperties(TClassBuilder<TAUMultiInput>& P)
{
    P.Object("OutputPin", &TAUMultiInput::OutputPin);
    P.Object("Threading", &TAUMultiInput::Threading, &TAUMultiInput::SetThreading);
    P.Object("AudioFormat", &TAUMultiInput::AudioFormat, &TAUMultiInput::SetAudioFormat);
}

int TAUMultiInput::InputCount() { return FAllInputPins->Count(); }

TAUPNQueuedAudioSinkPin* TAUMultiInput::Input(int AIndex)
{
    return static_cast<TAUPNQueuedAudioSinkPin*>(FAllInputPins->GetPin(AIndex));
}

const TAUWaveFormatExtensible TAUMultiInput::RunningWaveFormat() { return *FRunningAudioFormat->GetWaveFormat(); }

TAUPNQueuedAudioSinkPin* TAUMultiInput::CreateInputPin()
{
    auto* pin =
        Create<TAUPNQueuedAudioSinkPin>(this, IntfPtr<IPNLock>(FInputLock),
                                        [this](TPNBasicPin* ASender, const TGUID*, IPNNotifyOperation* AOperation,
                                               TPNNotifyState) { return ProcessInputOperation(ASender, AOperation); });
    FAllInputPins->Add(pin);
    FOutputPin->FunctionSources().Add(pin);
    return pin;
}

void TAUMultiInput::RemoveInputPin(TAUPNQueuedAudioSinkPin* APin) { FAllInputPins->Remove(APin); }

void TAUMultiInput::AudioFormatChanged()
{
    if (!FInCalculateRate && FRunning)
        StartOutput();
}

TPNNotifyResult TAUMultiInput::ProcessInputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation)
{
    // The output pin stands in for an input when nothing is linked.
    auto* pin = dynamic_cast<TAUPNQueuedAudioSinkPin*>(APin);
    if (auto* supplied = OperationAs<TPNSuppliedBufferOperation>(AOperation)) {
        // No component lock: the queue has a section of its own, and a source must not wait
        // for a mix in progress (with many sources on one mixer they would queue up behind
        // each other). Not running, nothing would take the samples: they would pile up,
        // and play late once a start gets through.
        if (pin && supplied->Buffer && FRunning) {
            FDroppedFrames.Add(
                pin->AddBuffer(IntfPtr<IAUAudioBuffer>(TAUAudioBuffer::CreateUniversal(supplied->Buffer.Get()))),
                Name().empty() ? ClassName() : Name());
            if (!FMasterPump.load())
                ScheduleProcessing();
        }
        return {};
    }
    IPNLockSection section = FInputLock->WriteLock();
    if (!section)
        return {};
    if (auto* start = OperationAs<TPNStartWaveOperation>(AOperation)) {
        if (pin) {
            pin->FIgnored = start->Paused;
            pin->StartRate(start->WaveFormat);
        }
        StartOutput();
    } else if (OperationAs<TPNActivateStreamOperation>(AOperation)) {
        if (pin)
            pin->FIgnored = false;
    } else if (OperationAs<TPNStartPumpOperation>(AOperation)) {
        if (!FRunning)
            FPumpStarted = true;
        else
            return FOutputPin->Notify(AOperation);
    } else if (OperationAs<TPNStopOperation>(AOperation)) {
        if (pin) {
            pin->FIgnored = true;
            UpdateSendState();
            if (StopInputFully())
                pin->StopFull();
            else
                pin->Stop();
        }
        StopWhenAllStopped();
    } else if (OperationAs<TPNFileEndNoStopOperation>(AOperation)) {
        if (pin)
            pin->FIgnored = true;
        UpdateSendState();
        StopWhenAllStopped();
    } else if (OperationAs<TPNIgnoreStreamOperation>(AOperation)) {
        if (pin)
            pin->FIgnored = true;
        return FOutputPin->Notify(AOperation);
    } else if (OperationAs<TPNSGResumeOperation>(AOperation)) {
        if (pin) {
            pin->FResumed = true;
            pin->FIgnored = false;
        }
        if (!FRunning)
            StartOutput();
    } else if (OperationAs<TPNSGPauseOperation>(AOperation)) {
        if (pin)
            pin->FIgnored = true;
    } else if (auto* request = OperationAs<TPNPumpRequestOperation>(AOperation)) {
        ArbitratePump(request);
        if (ForwardPumpRequests())
            return FOutputPin->Notify(AOperation);
    } else {
        return FOutputPin->Notify(AOperation);
    }
    return {};
}

TPNNotifyResult TAUMultiInput::ProcessOutputOperation(TPNBasicPin* /*APin*/, IPNNotifyOperation* AOperation)
{
    IPNLockSection section = FOutputLock->WriteLock();
    if (!section)
        return {};
    if (OperationAs<TPNMasterPumpOperation>(AOperation)) {
        HandleMasterPump(AOperation);
        return {};
    }
    TPNNotifyResult result;
    bool linked = false;
    for (int i = 0; i < InputCount(); ++i) {
        TAUPNQueuedAudioSinkPin* pin = Input(i);
        if (pin->IsConnected()) {
            linked = true;
            result = pin->Notify(AOperation);
        }
    }
    if (linked)
        return result;
    if (OperationAs<TPNStartOperation>(AOperation))
        FOutputPin->Notify(MakeOperation<TPNPumpRequestOperation>().Get());
    return ProcessInputOperation(FOutputPin, AOperation);
}

void TAUMultiInput::HandleMasterPump(IPNNotifyOperation* AOperation)
{
    {
        IPNLockSection released = FOutputLock->UnlockAll();
        IPNLockSection inputs = FInputLock->WriteLock();
        if (!inputs)
            return;
        for (int i = 0; i < InputCount(); ++i)
            Input(i)->MasterPump(AOperation, FCalculatedRate);
    }
    if (FMasterPump.load())
        if (TSGNotifyThread* thread = MasterPumpThread())
            thread->Notify();
}

void TAUMultiInput::ArbitratePump(TPNPumpRequestOperation* ARequest)
{
    TObject* before = ARequest->Pump;
    FOutputPin->Notify(ARequest);
    if (ARequest->Pump != before)
        FMasterPump = ARequest->Pump;
}

void TAUMultiInput::StartOutput()
{
    IPNLockSection section = FInputLock->WriteLock();
    if (!section)
        return;
    if (FRunning) {
        CalculateSampleCounts();
        return;
    }
    FInCalculateRate = true;
    if (PrepareFormat()) {
        FRunningAudioFormat->SetSampleRate(uint32_t(std::nearbyint(FCalculatedRate)));
        const TAUWaveFormatExtensible format = RunningWaveFormat();
        try {
            FOutputPin->Notify(MakeOperation<TPNStartWaveOperation>(format, false).Get());
        } catch (...) {
            // Downstream could not start (a player that cannot open its device): the
            // caller learns it, and the mixer stays cleanly stopped, so that the next
            // start or resume tries again.
            FInCalculateRate = false;
            throw;
        }
        FRunning = true;
        if (FPumpStarted)
            FOutputPin->Notify(MakeOperation<TPNPumpRequestOperation>().Get());
        FPumpStarted = false;
        if (!FMasterPump.load() && FThreading->Enabled() && !FFilterThread) {
            FFilterThread = NewThread<TSGFilterThread>(this, IntfPtr<IPNLock>(FInputLock), FThreading,
                                                       [this](const TSGFilterThread::TItem&) { ProcessInputs(); });
            FFilterStarted = true;
        }
    }
    FInCalculateRate = false;
}

bool TAUMultiInput::PrepareFormat()
{
    if (FAudioFormat->Enabled()) {
        FCalculatedRate = FAudioFormat->SampleRate();
        FRateCalculated = true;
    }
    FRunningAudioFormat->SetChannels(FAudioFormat->Channels());
    FRunningAudioFormat->SetBits(FAudioFormat->Bits());
    FRunningAudioFormat->SetChannelMask(FAudioFormat->ChannelMask());
    FRunningAudioFormat->SetBufferSize(FAudioFormat->BufferSize());
    if (!FRateCalculated) {
        FCalculatedRate = 0.0;
        for (int i = 0; i < InputCount(); ++i)
            if (!Input(i)->IsStartReady())
                return false;
        for (int i = 0; i < InputCount(); ++i) {
            TAUPNQueuedAudioSinkPin* pin = Input(i);
            if (pin->IsConnected() && pin->Running)
                FCalculatedRate = std::max(FCalculatedRate, double(pin->InputRate()));
        }
        // Without a rate there is nothing to play at: wait for the next start.
        if (FCalculatedRate <= 0.0)
            return false;
        FRateCalculated = true;
    }
    CalculateSampleCounts();
    return true;
}

void TAUMultiInput::CalculateSampleCounts()
{
    if (!FRateCalculated)
        return;
    for (int i = 0; i < InputCount(); ++i) {
        TAUPNQueuedAudioSinkPin* pin = Input(i);
        if (pin->IsConnected() && pin->Running)
            pin->CalculateSampleCount(FAudioFormat->BufferSize(), float(FCalculatedRate));
        else
            pin->FDelayed = true;
    }
}

void TAUMultiInput::StopWhenAllStopped()
{
    for (int i = 0; i < InputCount(); ++i)
        if (Input(i)->Running)
            return;
    StopOutput();
}

void TAUMultiInput::ScheduleProcessing()
{
    // The filter thread exists only under the input lock; without one, no lock is taken.
    if (FFilterStarted.load()) {
        IPNLockSection section = FInputLock->ReadLock();
        if (!section)
            return;
        if (FFilterThread) {
            FFilterThread->PushOperation(nullptr);
            return;
        }
    }
    ProcessOnDeliveringThread();
}

void TAUMultiInput::ProcessOnDeliveringThread()
{
    // Whoever raises the count from 0 processes, and goes on until every request counted
    // meanwhile is served: each buffer is followed by a round that starts after it arrived.
    if (FProcessRequests.fetch_add(1, std::memory_order_acq_rel) != 0)
        return;
    int32_t served;
    do {
        served = FProcessRequests.load(std::memory_order_acquire);
        ProcessInputs();
    } while (FProcessRequests.fetch_sub(served, std::memory_order_acq_rel) != served);
}

void TAUMultiInput::ProcessInputs()
{
    // Both halves: the inputs' flags and counts change under the input half.
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    for (int cycle = 0; cycle < 301; ++cycle) {
        for (int i = 0; i < InputCount(); ++i) {
            TAUPNQueuedAudioSinkPin* pin = Input(i);
            if (!pin->IsConnected() || pin->FIgnored)
                continue;
            // A running input without its samples holds the cycle; an input that is
            // not running (delayed, or not yet counted) joins later and never holds it.
            if (pin->Running && !pin->IsReady())
                return;
        }
        if (!MixInputs())
            return;
        // The send gave the lock up; another thread's stop (a channel freed, the mixer
        // stopping) may have kept it: then nothing here may be touched any more.
        if (!FInputLock->Instance()->HeldByCurrentThread() || !FOutputLock->Instance()->HeldByCurrentThread())
            return;
    }
}

void TAUMultiInput::StopOutput()
{
    IPNLockSection stop = FLock->StopLock();
    FFilterStarted = false;
    delete FFilterThread;
    FFilterThread = nullptr;
    FRunning = false;
    FRateCalculated = false;
    FMasterPump = nullptr;
    FOutputPin->Stop();
}

}  // namespace dcs
