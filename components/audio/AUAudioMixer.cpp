#include "components/audio/AUAudioMixer.h"

#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

// ------------------------------------------------------------------------------ queue

void TAUSamplesQueue::Push(const IntfPtr<IAUAudioBuffer>& ABuffer)
{
    if (!ABuffer)
        return;
    TPNCriticalSectionLock lock(FSection);
    FCollectedSamples += ABuffer->GetSize();
    FList.push_back(ABuffer);
}

bool TAUSamplesQueue::Pop(IAUAudioBuffer* ATarget)
{
    TPNCriticalSectionLock lock(FSection);
    const uint32_t needed = ATarget->GetSize();
    if (FCollectedSamples < needed)
        return false;
    uint32_t written = 0;
    while (written < needed && !FList.empty()) {
        IntfPtr<IAUAudioBuffer>& oldest = FList.front();
        const uint32_t available = oldest->GetSize() - FExtractOffset;
        const uint32_t piece = std::min(available, needed - written);
        if (piece)
            oldest->CopyTo(FExtractOffset, ATarget, written, piece);
        written += piece;
        if (piece == available) {
            FList.pop_front();
            FExtractOffset = 0;
        } else {
            FExtractOffset += piece;
        }
    }
    FCollectedSamples -= needed;
    return true;
}

uint32_t TAUSamplesQueue::GetCollectedSamples()
{
    TPNCriticalSectionLock lock(FSection);
    return FCollectedSamples;
}

void TAUSamplesQueue::Clear()
{
    TPNCriticalSectionLock lock(FSection);
    FList.clear();
    FCollectedSamples = 0;
    FExtractOffset = 0;
}

// ------------------------------------------------------------------------ input pin

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
        CalculateSampleCount(owner->AudioFormat()->BufferSize(), float(owner->RunningWaveFormat().Format.nSamplesPerSec));
}

void TAUPNQueuedAudioSinkPin::StartRate(const TAUWaveFormatExtensible& AWaveFormat)
{
    FWaveFormat = AWaveFormat;
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

// ---------------------------------------------------------------------- multi input

TAUMultiInput::TAUMultiInput(TComponent* AOwner) : TCKComponent(AOwner)
{
    FInputLock = FLock;
    FOutputLock = TCKLock::Create([this] { PropertyChanged(); });
    FLock = TCKPairedLock::Create(FInputLock, FOutputLock, [this] { PropertyChanged(); });
    FOutputPin = Create<TAUPNAudioSourcePin>(
        this, IntfPtr<IPNLock>(FOutputLock), IntfPtr<IPNLock>(FInputLock),
        [this](TPNBasicPin* ASender, const TGUID*, IPNNotifyOperation* AOperation, TPNNotifyState) {
            return ProcessOutputOperation(ASender, AOperation);
        });
    FAllInputPins = Create<TPNPinList>(this, IntfPtr<IPNLock>(FInputLock), false);
    FRunningAudioFormat = Create<TAUAudioFormat>(this, *FOutputLock);
    FAudioFormat = Create<TAUOptionalAudioFormat>(this, *FOutputLock, [this](TObject*) { AudioFormatChanged(); });
    FThreading = Create<TSGThreading>(this, *FOutputLock, [this] {
        IPNLockSection section = FLock->WriteLock();
        if (FFilterThread)
            FFilterThread->SetPriority(FThreading->Priority());
    });
    if (!ComponentState().Contains(csDesigning))
        FMasterPumpThread = NewThread<TSGNotifyThread>(this, TNotifyEvent([this](TObject*) { ProcessInputs(); }));
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

int TAUMultiInput::InputCount()
{
    return FAllInputPins->Count();
}

TAUPNQueuedAudioSinkPin* TAUMultiInput::Input(int AIndex)
{
    return static_cast<TAUPNQueuedAudioSinkPin*>(FAllInputPins->GetPin(AIndex));
}

const TAUWaveFormatExtensible TAUMultiInput::RunningWaveFormat()
{
    return *FRunningAudioFormat->GetWaveFormat();
}

TAUPNQueuedAudioSinkPin* TAUMultiInput::CreateInputPin()
{
    auto* pin = Create<TAUPNQueuedAudioSinkPin>(
        this, IntfPtr<IPNLock>(FInputLock),
        [this](TPNBasicPin* ASender, const TGUID*, IPNNotifyOperation* AOperation, TPNNotifyState) {
            return ProcessInputOperation(ASender, AOperation);
        });
    FAllInputPins->Add(pin);
    FOutputPin->FunctionSources().Add(pin);
    return pin;
}

void TAUMultiInput::RemoveInputPin(TAUPNQueuedAudioSinkPin* APin)
{
    FAllInputPins->Remove(APin);
}

void TAUMultiInput::AudioFormatChanged()
{
    if (!FInCalculateRate && FRunning)
        StartOutput();
}

TPNNotifyResult TAUMultiInput::ProcessInputOperation(TPNBasicPin* APin, IPNNotifyOperation* AOperation)
{
    IPNLockSection section = FInputLock->WriteLock();
    if (!section)
        return {};
    // The output pin stands in for an input when nothing is linked.
    auto* pin = dynamic_cast<TAUPNQueuedAudioSinkPin*>(APin);
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
    } else if (auto* supplied = OperationAs<TPNSuppliedBufferOperation>(AOperation)) {
        // Not running, nothing would take the samples: they would pile up, and play
        // late once a start gets through.
        if (pin && supplied->Buffer && FRunning) {
            pin->AddBuffer(IntfPtr<IAUAudioBuffer>(TAUAudioBuffer::CreateUniversal(supplied->Buffer.Get())));
            if (!FMasterPump.load())
                ScheduleProcessing();
        }
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
    if (FMasterPump.load() && FMasterPumpThread)
        FMasterPumpThread->Notify();
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
        if (!FMasterPump.load() && FThreading->Enabled() && !FFilterThread)
            FFilterThread = NewThread<TSGFilterThread>(this, IntfPtr<IPNLock>(FInputLock), FThreading,
                                                       [this](const TSGFilterThread::TItem&) { ProcessInputs(); });
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
    if (FFilterThread)
        FFilterThread->PushOperation(nullptr);
    else
        ProcessInputs();
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
    }
}

void TAUMultiInput::StopOutput()
{
    IPNLockSection stop = FLock->StopLock();
    delete FFilterThread;
    FFilterThread = nullptr;
    FRunning = false;
    FRateCalculated = false;
    FMasterPump = nullptr;
    FOutputPin->Stop();
}

// --------------------------------------------------------------------------- channels

namespace {
TAUAudioMixer* MixerOf(TCollection* ACollection)
{
    return static_cast<TAUAudioMixer*>(ACollection->GetOwner());
}
}  // namespace

TAUAudioMixerChannelItem::TAUAudioMixerChannelItem(TCollection* ACollection)
    : TCKCollectionItem(ACollection), FMixer(MixerOf(ACollection))
{
    FInputPin = FMixer->CreateInputPin();
}

void TAUAudioMixerChannelItem::BeforeDestruction()
{
    {
        IPNLockSection stop = FLock->StopLock();
        if (FInputPin)
            FInputPin->Disconnect();
    }
    TCKCollectionItem::BeforeDestruction();
}

TAUAudioMixerChannelItem::~TAUAudioMixerChannelItem()
{
    IPNLockSection stop = FLock->StopLock();
    if (FInputPin)
        FMixer->RemoveInputPin(FInputPin);
}

void TAUAudioMixerChannelItem::DefineProperties(TFiler& Filer)
{
    TCKCollectionItem::DefineProperties(Filer);
    Filer.DefineProperty(
        "CoefData",
        [this](TReader& R) {
            R.ReadListBegin();
            while (!R.EndOfList())
                SetCoefficient(double(R.ReadFloat()));
            R.ReadListEnd();
        },
        nullptr, false);
}

void TAUAudioMixerChannelItem::DeclareProperties(TClassBuilder<TAUAudioMixerChannelItem>& P)
{
    static const TEnumInfo waitTypes{"TSGMixerChannelWaitType", {"cwNone", "cwStart"}};
    P.Float("Coefficient", "Real", &TAUAudioMixerChannelItem::Coefficient,
            &TAUAudioMixerChannelItem::SetCoefficient)
        .NoDefault();
    P.Boolean("Enabled", &TAUAudioMixerChannelItem::Enabled, &TAUAudioMixerChannelItem::SetEnabled).Default(1);
    P.Enum("WaitForDataBefore", waitTypes, &TAUAudioMixerChannelItem::WaitForDataBefore,
           &TAUAudioMixerChannelItem::SetWaitForDataBefore)
        .Default(0);
    P.Integer("PrefillInterval", &TAUAudioMixerChannelItem::PrefillInterval,
              &TAUAudioMixerChannelItem::SetPrefillInterval, "Cardinal")
        .Default(0);
    P.Object("InputPin", &TAUAudioMixerChannelItem::InputPin);
}

TAUAudioMixerChannels::TAUAudioMixerChannels(TAUAudioMixer* AOwner)
    : TCKCollection(AOwner, AOwner->Lock(), TAUAudioMixerChannelItem::StaticClass())
{
}

// ------------------------------------------------------------------------------ mixer

TAUAudioMixer::TAUAudioMixer(TComponent* AOwner) : TAUMultiInput(AOwner)
{
    FChannels = Create<TAUAudioMixerChannels>(this);
    FInputPins = Create<TPNPinList>(this, IntfPtr<IPNLock>(FLock), true);
}

TAUAudioMixer::~TAUAudioMixer()
{
    FreeClock();
    Free(FChannels);
    Free(FInputPins);
}

void TAUAudioMixer::DefineProperties(TFiler& Filer)
{
    TAUMultiInput::DefineProperties(Filer);
    Filer.DefineProperty("BuffersAhead", [](TReader& R) { R.ReadInteger(); }, nullptr, false);
}

void TAUAudioMixer::DeclareProperties(TClassBuilder<TAUAudioMixer>& P)
{
    P.Object("InputPins", &TAUAudioMixer::InputPins);
    P.Object("Channels", &TAUAudioMixer::Channels, &TAUAudioMixer::SetChannels);
    P.Integer("PumpPriority", &TAUAudioMixer::FPumpPriority, &TAUAudioMixer::SetPumpPriority).Default(0);
}

int64_t TAUAudioMixer::ClockInterval()
{
    IPNLockSection section = FOutputLock->ReadLock();
    return FClockGen ? FClockGen->Interval() : 0;
}

TAUPNQueuedAudioSinkPin* TAUAudioMixer::CreateInputPin()
{
    TAUPNQueuedAudioSinkPin* pin = TAUMultiInput::CreateInputPin();
    FInputPins->Add(pin);
    return pin;
}

void TAUAudioMixer::RemoveInputPin(TAUPNQueuedAudioSinkPin* APin)
{
    TAUMultiInput::RemoveInputPin(APin);
    FInputPins->Remove(APin);
}

bool TAUAudioMixer::CanMix()
{
    const int n = std::min(FChannels->Count(), InputCount());
    for (int i = 0; i < n; ++i)
        if (FChannels->GetItem(i)->WaitForDataBefore() == cwStart && !Input(i)->FResumed)
            return false;
    return true;
}

void TAUAudioMixer::UpdateSendState()
{
    bool dontSend = false;
    const int n = std::min(FChannels->Count(), InputCount());
    for (int i = 0; i < n; ++i)
        if (FChannels->GetItem(i)->WaitForDataBefore() == cwStart && !Input(i)->Streaming)
            dontSend = true;
    FDontSendOutput = dontSend;
}

void TAUAudioMixer::StartOutput()
{
    TAUMultiInput::StartOutput();
    FDontSendOutput = false;
    if (FRunning)
        StartClock();
}

void TAUAudioMixer::ScheduleProcessing()
{
    bool clocked;
    {
        IPNLockSection section = FOutputLock->ReadLock();
        clocked = FClockGen != nullptr;
    }
    if (!clocked)
        TAUMultiInput::ScheduleProcessing();
}

void TAUAudioMixer::ArbitratePump(TPNPumpRequestOperation* ARequest)
{
    IntfPtr<IPNNotifyOperation> own =
        MakeOperation<TPNPumpRequestOperation>(this, TPNPumpType::ptMaster, FPumpPriority, 1.0f);
    auto* answer = OperationAs<TPNPumpRequestOperation>(own.Get());
    FOutputPin->Notify(own.Get());
    if (answer->Pump == this) {
        FPumpFrameRate = std::bit_cast<uint32_t>(answer->DesiredRate);
        FIsPump = true;
        return;
    }
    FIsPump = false;
    FMasterPump = answer->Pump;
    if (ARequest->Claims(answer->PumpType, answer->PumpPriority)) {
        ARequest->Pump = answer->Pump;
        ARequest->PumpType = answer->PumpType;
        ARequest->PumpPriority = answer->PumpPriority;
    }
}

void TAUAudioMixer::StartClock()
{
    IPNLockSection section = FOutputLock->WriteLock();
    if (!section || !FIsPump || FClockGen)
        return;
    const TAUWaveFormatExtensible format = RunningWaveFormat();
    FClockGen = TSGClockGen::Create(this, MixerClockInterval(format.Format.nSamplesPerSec, FAudioFormat->BufferSize()),
                                    [this] { ProcessInputs(); });
}

void TAUAudioMixer::FreeClock()
{
    TSGClockGen* clock;
    {
        IPNLockSection stop = FLock->StopLock();
        clock = FClockGen;
        FClockGen = nullptr;
    }
    // Waits for the clock thread, which may be waiting for this lock: not under it.
    delete clock;
}

void TAUAudioMixer::StopOutput()
{
    TAUMultiInput::StopOutput();
    FreeClock();
}

bool TAUAudioMixer::MixInputs()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return false;
    const TAUWaveFormatExtensible format = RunningWaveFormat();
    const uint32_t size = FAudioFormat->BufferSize();
    const TAUSpeakers mask = TAUSpeakers::FromMask(format.dwChannelMask);
    IntfPtr<TAUAudioBuffer> mix = TAUAudioBuffer::CreateSizeEx(format.Format.nSamplesPerSec, format.wValidBitsPerSample,
                                                               format.Format.nChannels, size, mask);
    IntfPtr<TAUAudioBuffer> scratch = TAUAudioBuffer::CreateSizeEx(
        format.Format.nSamplesPerSec, format.wValidBitsPerSample, format.Format.nChannels, size, mask);
    if (!CanMix())
        return false;
    bool taken = false;
    bool loaded = false;
    if (FDontSendOutput) {
        mix->Zero();
    } else {
        const int n = InputCount();
        for (int i = 0; i < n; ++i) {
            TAUPNQueuedAudioSinkPin* pin = Input(i);
            if (pin->FDelayed || !pin->IsConnected() || !pin->Running)
                continue;
            const double coefficient = i < FChannels->Count() ? FChannels->GetItem(i)->Coefficient() : 1.0;
            IAUAudioBuffer* target = taken ? static_cast<IAUAudioBuffer*>(scratch.Get()) : mix.Get();
            const bool ok = pin->StretchLoadBuffer(target);
            if (!ok)
                target->Zero();
            if (!taken)
                loaded = ok;
            if (pin->Enabled())
                target->ApplyGain(coefficient);
            else if (!taken)
                mix->Zero();
            if (taken && pin->Enabled())
                mix->Add(scratch.Get());
            taken = true;
        }
    }
    if (!taken) {
        for (int i = 0; i < InputCount(); ++i)
            if (!Input(i)->FIgnored)
                return false;
        mix->Zero();
        FOutputPin->SubmitBuffer(mix.Get());
        return false;
    }
    FOutputPin->SubmitBuffer(mix.Get());
    return loaded;
}

}  // namespace dcs
