#include "components/audio/AUAudioMixer.h"

#include "components/audio/SGSharedClock.h"

#include "platform/classes/Streaming.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dcs {

// --------------------------------------------------------------------------- channels

namespace {
TAUAudioMixer* MixerOf(TCollection* ACollection) { return static_cast<TAUAudioMixer*>(ACollection->GetOwner()); }
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
    static const TEnumInfo waitTypes {"TSGMixerChannelWaitType", {"cwNone", "cwStart"}};
    P.Float("Coefficient", "Real", &TAUAudioMixerChannelItem::Coefficient, &TAUAudioMixerChannelItem::SetCoefficient)
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

namespace {
constexpr int kMixerClocks = 1;  // apart from the generators' shared clocks
}  // namespace

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
    Filer.DefineProperty(
        "BuffersAhead", [](TReader& R) { R.ReadInteger(); }, nullptr, false);
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
    TSGClock* clock = FClockGen.load();
    return clock ? clock->Interval() : 0;
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
    // Tested without the lock: a delivery must not wait for a mix in progress.
    if (!FClockGen.load())
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
    // Mixers of one period share a clock thread: fifty preset mixers wake one thread per
    // period instead of fifty.
    FClockGen = TSGSharedClockMember::Create(
        this, MixerClockInterval(format.Format.nSamplesPerSec, FAudioFormat->BufferSize()), [this] { ProcessInputs(); },
        kMixerClocks);
}

void TAUAudioMixer::FreeClock()
{
    TSGClock* clock;
    {
        IPNLockSection stop = FLock->StopLock();
        clock = FClockGen.exchange(nullptr);
    }
    // Waits for this mixer's turn on the clock thread, which may be waiting for this lock:
    // not under it.
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
    IntfPtr<TAUAudioBuffer> scratch;
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
            // An input at full gain is summed straight from its queue: no scratch copy.
            if (taken && pin->Enabled() && coefficient == 1.0 &&
                pin->StretchAddBuffer(mix.Get()) != TAUSamplesQueue::TAddResult::NeedsCopy)
                continue;
            if (taken && !scratch)
                scratch = TAUAudioBuffer::CreateSizeEx(format.Format.nSamplesPerSec, format.wValidBitsPerSample,
                                                       format.Format.nChannels, size, mask);
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
