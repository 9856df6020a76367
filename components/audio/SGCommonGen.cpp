#include "components/audio/SGCommonGen.h"

namespace dcs {

namespace {
const TEnumInfo ClockSourceInfo {"TSGClockSource", {"csInternal", "csExternal"}};
}  // namespace

void TSGBasicCommonGen::DeclareProperties(TClassBuilder<TSGBasicCommonGen>& P)
{
    P.Boolean("Enabled", &TSGBasicCommonGen::Enabled, &TSGBasicCommonGen::SetEnabled).Default(1);
    P.Integer("PumpPriority", &TSGBasicCommonGen::PumpPriority, &TSGBasicCommonGen::SetPumpPriority).Default(0);
    P.Enum("ClockSource", ClockSourceInfo, &TSGBasicCommonGen::ClockSource, &TSGBasicCommonGen::SetClockSource)
        .Default(0);
    P.Event("OnStop", &TSGBasicCommonGen::FOnStop);
    P.Object("EnablePin", &TSGBasicCommonGen::EnablePin);
    P.Object("ClockPin", &TSGBasicCommonGen::ClockPin);
}

TSGBasicCommonGen::TSGBasicCommonGen(TComponent* AOwner) : TCKComponent(AOwner)
{
    FStopNotify = new TSGMainThreadNotify([this](TObject* Sender) { StopNotified(Sender); });
    FEnablePin = Create<TPNBoolSinkPin>(
        this, FLock, [this](TPNPin*, bool AValue) { SetEnabled(AValue); }, nullptr);
    FClockPin = Create<TPNClockSinkPin>(
        this, FLock, [this](TPNPin* Sender) { ClockArrived(Sender); },
        [this](TPNBasicPin* Sender, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState State) {
            return ClockPinOperation(Sender, ID, Op, State);
        },
        nullptr);
}

TSGBasicCommonGen::~TSGBasicCommonGen()
{
    IPNLockSection stop = FLock->StopLock();
    FreeAndNil(FClockPin);
    FreeAndNil(FEnablePin);
    delete FStopNotify;
    FStopNotify = nullptr;
}

void TSGBasicCommonGen::BeforeDestruction()
{
    {
        IPNLockSection stop = FLock->StopLock();
        ReleaseClock();
        StopGenerating();
    }
    TCKComponent::BeforeDestruction();
}

void TSGBasicCommonGen::ComponentReady()
{
    TCKComponent::ComponentReady();
    if (FEnabled)
        RequestStart();
}

void TSGBasicCommonGen::SetEnabled(bool AValue)
{
    IPNLockSection section = FLock->WriteLock();
    if (AValue == FEnabled)
        return;
    FEnabled = AValue;
    if (AValue && !ComponentState().Contains(csDesigning))
        RequestStart();
    if (!FEnabled)
        StopGenerating();
}

void TSGBasicCommonGen::SetClockSource(TSGClockSource AValue)
{
    IPNLockSection section = FLock->WriteLock();
    if (AValue == FClockSource)
        return;
    if (FIsRunning && FClockSource == TSGClockSource::csInternal)
        ReleaseClock();
    FClockSource = AValue;
    NegotiatePump();
    CreateClock();
}

void TSGBasicCommonGen::Pump()
{
    if (FClockSource == TSGClockSource::csExternal)
        GenerateBuffer();
}

void TSGBasicCommonGen::NotifyOutput(const IntfPtr<IPNNotifyOperation>& AOperation)
{
    if (TPNSourcePin* pin = GetOutputPin())
        pin->Notify(AOperation.Get());
}

void TSGBasicCommonGen::ClockNeeded(bool AEnabled)
{
    if (FClockPin)
        FClockPin->Notify(MakeOperation<TPNClockNeededOperation>(AEnabled).Get());
}

void TSGBasicCommonGen::ClockArrived(TPNPin* /*Sender*/)
{
    if (FIsPump && FClockSource == TSGClockSource::csExternal)
        GenerateBuffer();
}

TPNNotifyResult TSGBasicCommonGen::ClockPinOperation(TPNBasicPin* /*Sender*/, const TGUID* /*DataTypeID*/,
                                                     IPNNotifyOperation* Operation, TPNNotifyState /*State*/)
{
    // Whoever clocks this input learns whether ticks are wanted.
    if (!OperationAs<TPNClockOperation>(Operation))
        ClockNeeded(FEnabled);
    return {};
}

void TSGBasicCommonGen::Elect()
{
    if (FClockSource == TSGClockSource::csExternal) {
        FIsPump = true;
        return;
    }
    uint32_t size = GetBufferSize();
    float rate = float(GetSampleRate() / double(size ? size : 1));
    auto* request = new TPNPumpRequestOperation(this, TPNPumpType::ptMaster, FPumpPriority, rate);
    IntfPtr<IPNNotifyOperation> op(request);
    if (TPNSourcePin* pin = GetOutputPin())
        pin->Notify(op.Get());
    if (request->Pump == this) {
        FPumpRate = request->DesiredRate;
        FIsPump = true;
    } else {
        FIsPump = false;
        FMasterPump = request->Pump;
    }
}

void TSGBasicCommonGen::RequestStart()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section || !CanStart())
        return;
    FFirstRequest = true;
    Elect();
    StartGenerating();
}

void TSGBasicCommonGen::NegotiatePump()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    FIsRunning = true;
    Elect();
}

void TSGBasicCommonGen::StartGenerating()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    FFirstRequest = true;
    FInStopping = false;
    NegotiatePump();
    SendStartFormat();
    FIsRunning = true;
    if (FClockSource == TSGClockSource::csInternal && !FIsPump)
        NotifyOutput(MakeOperation<TPNStartPumpOperation>(FMasterPump));
    CreateClock();
    ClockNeeded(true);
}

void TSGBasicCommonGen::StopGenerating()
{
    IPNLockSection stop = FLock->StopLock();
    FInStopping = false;
    // Not running any more before the clock is let go: a release that arrives on the
    // main thread after a restart must leave the new run's clock alone.
    FIsRunning = false;
    if (FStopNotify)
        FStopNotify->Notify(false);
    NotifyOutput(MakeOperation<TPNStopOperation>());
    FEnabled = false;
    FFirstRequest = true;
    ClockNeeded(false);
    if (FOnStop)
        FOnStop(this);
}

void TSGBasicCommonGen::StopNotified(TObject* /*Sender*/)
{
    IPNLockSection stop = FLock->StopLock();
    if (!FIsRunning)
        ReleaseClock();
}

void TSGBasicCommonGen::ReleaseClock()
{
    IPNLockSection stop = FLock->StopLock();
    if (TSGClock* clock = FClockGen.exchange(nullptr))
        delete clock;
}

void TSGBasicCommonGen::MasterPumpArrived(TObject* APump, uint32_t AOperationID)
{
    if (!FIsPump && APump == FMasterPump && (AOperationID != FLastOperationID || FFirstRequest))
        GenerateBuffer();
    FFirstRequest = false;
    FLastOperationID = AOperationID;
}

}  // namespace dcs
