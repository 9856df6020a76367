#include "components/audio/SGCommonFilter.h"

#include "platform/classes/Streaming.h"

namespace dcs {

namespace {
const TEnumInfo QueueFullModeInfo {"TSGQueueFullMode", {"fmBlock", "fmDropData"}};
const TEnumInfo ThreadPriorityInfo {
    "TThreadPriority", {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"}};
}  // namespace

void TSGThreadingQueue::DeclareProperties(TClassBuilder<TSGThreadingQueue>& P)
{
    P.Integer("Size", &TSGThreadingQueue::Size, &TSGThreadingQueue::SetSize, "Cardinal").Default(15);
    P.Enum("FullMode", QueueFullModeInfo, &TSGThreadingQueue::FullMode, &TSGThreadingQueue::SetFullMode).Default(0);
}

TSGThreading::TSGThreading(TPersistent* AOwnerProperty, ICKLock& ALock, TCKPropUpdateFunc APriorityNotify)
    : TCKPersistent(AOwnerProperty, ALock), FPriorityNotify(std::move(APriorityNotify))
{
}

void TSGThreading::SetPriority(TThreadPriority AValue)
{
    IPNLockSection section = FLock->WriteLock();
    FPriority = AValue;
    if (FPriorityNotify)
        FPriorityNotify();
}

void TSGThreading::DefineProperties(TFiler& Filer)
{
    TCKPersistent::DefineProperties(Filer);
    Filer.DefineProperty(
        "QueueSize", [this](TReader& R) { FQueue.SetSize(uint32_t(R.ReadInteger())); }, nullptr, false);
}

void TSGThreading::DeclareProperties(TClassBuilder<TSGThreading>& P)
{
    P.Boolean("Enabled", &TSGThreading::Enabled, &TSGThreading::SetEnabled).Default(0);
    P.Enum("Priority", ThreadPriorityInfo, &TSGThreading::Priority, &TSGThreading::SetPriority).Default(tpNormal);
    P.Object("Queue", &TSGThreading::Queue, &TSGThreading::SetQueue);
}

}  // namespace dcs
