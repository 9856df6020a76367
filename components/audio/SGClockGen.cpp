#include "components/audio/SGClockGen.h"

#include "components/audio/buffers/SGInternalStore.h"
#include "platform/mmtimer/MMTimer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dcs {

namespace {

std::atomic<int32_t> gLiveClocks {0};

class TSMediaMasterClock;

// The clock section and the master clock. Never freed: a tick that was already waiting
// when the last clock went still needs the section to find no master clock.
struct TClockState {
    TPNCriticalSection Section;
    TSMediaMasterClock* Master = nullptr;
};

TClockState& ClockState()
{
    static auto* state = new TClockState;
    return *state;
}

void CALLBACK_MasterTick(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t);

class TSMediaMasterClock {
public:
    TSMediaMasterClock() { uTimerID = timeSetEvent(1, 0, CALLBACK_MasterTick, 0, TIME_PERIODIC); }
    // Stops the timer and waits for a tick in progress: never call it holding the
    // clock section, which that tick may be waiting for.
    ~TSMediaMasterClock()
    {
        if (uTimerID)
            timeKillEvent(uTimerID);
    }

    std::vector<TSGClockGen*> FClockList;
    uint32_t uTimerID = 0;
};

}  // namespace

struct TSGClockTick {
    static void Run(TSGClockGen* clock) { clock->Tick(); }
    // Ticks that will pass before the clock next releases its thread.
    static int64_t IdleTicks(const TSGClockGen* clock) { return (clock->FInterval - clock->FAccumulator) / 10000; }
};

namespace {

void CALLBACK_MasterTick(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    TClockState& s = ClockState();
    TPNCriticalSectionLock lock(s.Section);
    // Last registered first.
    for (size_t i = s.Master ? s.Master->FClockList.size() : 0; i-- > 0;) {
        TSGClockTick::Run(s.Master->FClockList[i]);
        if (!s.Master)
            break;
    }
    // Most ticks release nobody: the timer may sleep through those (a clock registered
    // meanwhile wakes it).
    int64_t idle = MaxIdleTicks;
    if (s.Master)
        for (const TSGClockGen* clock : s.Master->FClockList)
            idle = std::min(idle, TSGClockTick::IdleTicks(clock));
    MMTimerIdleTicks(uint32_t(std::max<int64_t>(idle, 0)));
}

void RegisterClock(TSGClockGen* item)
{
    TClockState& s = ClockState();
    TPNCriticalSectionLock lock(s.Section);
    if (!s.Master)
        s.Master = new TSMediaMasterClock;
    s.Master->FClockList.push_back(item);
    // Does not wait for the timer's thread, so the section may stay held.
    MMTimerWake(s.Master->uTimerID);
}

void UnregisterClock(TSGClockGen* item)
{
    TClockState& s = ClockState();
    TSMediaMasterClock* stopped = nullptr;
    {
        TPNCriticalSectionLock lock(s.Section);
        if (!s.Master)
            return;
        auto& list = s.Master->FClockList;
        list.erase(std::remove(list.begin(), list.end(), item), list.end());
        if (list.empty())
            stopped = std::exchange(s.Master, nullptr);
    }
    // Outside the section: stopping waits for a tick that may be waiting for it.
    delete stopped;
}

}  // namespace

bool MasterClockRunning()
{
    TClockState& s = ClockState();
    TPNCriticalSectionLock lock(s.Section);
    return s.Master != nullptr;
}

int MasterClockCount()
{
    TClockState& s = ClockState();
    TPNCriticalSectionLock lock(s.Section);
    return s.Master ? int(s.Master->FClockList.size()) : 0;
}

// -------------------------------------------------------------------------- TCKThread

std::string TCKThread::OwnerThreadName(const TComponent* AOwner, const std::string& ASuffix)
{
    if (!AOwner)
        return ASuffix;
    return (AOwner->Name().empty() ? AOwner->ClassName() : AOwner->Name()) + "." + ASuffix;
}

void TCKThread::TerminateWaking()
{
    TThread::Terminate();
    Wake();
    // TerminateAndWait calls Terminate again: that call only wakes.
    if (GetCurrentThreadId() != ThreadID() && !FWaiting.exchange(true))
        TerminateAndWait();
}

// --------------------------------------------------------------------------- intervals

int64_t GeneratorClockInterval(uint32_t ASampleRate, uint32_t ABufferSize)
{
    if (ASampleRate == 0 || ABufferSize == 0)
        return 0;
    const long double buffersPerSecond = static_cast<long double>(ASampleRate) / ABufferSize;
    return static_cast<int64_t>(std::nearbyint(9999999.0L / buffersPerSecond));
}

int64_t MixerClockInterval(uint32_t ASampleRate, uint32_t ABufferSize)
{
    if (ASampleRate == 0 || ABufferSize == 0)
        return 0;
    return static_cast<int64_t>(std::nearbyint(static_cast<long double>(ABufferSize) * 9999999.0L / ASampleRate));
}

// ------------------------------------------------------------------------- TSGClockGen

TSGClockGen* TSGClockGen::Create(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent)
{
    return NewThread<TSGClockGen>(AOwner, AInterval, std::move(AEvent));
}

TSGClockGen::TSGClockGen(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent)
    : TCKThread(OwnerThreadName(AOwner, "TSGClockGen")), FEvent(std::move(AEvent)), FInterval(AInterval)
{
    gLiveClocks.fetch_add(1);
    if (FInterval > 0) {
        RegisterClock(this);
        FRegistered = true;
    }
}

TSGClockGen::~TSGClockGen()
{
    if (FRegistered)
        UnregisterClock(this);
    Terminate();
    // Releases the thread will never run.
    if (int32_t left = FPendingWork.exchange(0); left > 0)
        MMTimerWorkDone(left);
    if (FCounted)
        gLiveClocks.fetch_sub(1);
}

void TSGClockGen::Release()
{
    if (FRegistered) {
        UnregisterClock(this);
        FRegistered = false;
    }
    FCounted = false;
    gLiveClocks.fetch_sub(1);
    if (GetCurrentThreadId() == ThreadID()) {
        SetFreeOnTerminate(true);
        TThread::Terminate();
        return;
    }
    TThread::Terminate();
    Wake();
    FreeWhenFinished();
}

int32_t TSGClockGen::LiveClocks() { return gLiveClocks.load(); }

void TSGClockGen::Terminate()
{
    if (GetCurrentThreadId() == ThreadID()) {
        SetFreeOnTerminate(true);
        TThread::Terminate();
        return;
    }
    TerminateWaking();
}

void TSGClockGen::Tick()
{
    FAccumulator += 10000;
    while (FAccumulator > FInterval) {
        if (FSemaphore.Increment(1)) {
            FPendingWork.fetch_add(1);
            MMTimerWorkReleased();
        }
        // Also when the release failed: that period is lost.
        FAccumulator -= FInterval;
    }
}

void TSGClockGen::Execute()
{
    while (!Terminated()) {
        if (!FSemaphore.Decrement(INFINITE))
            continue;
        if (Terminated())
            break;
        if (FEvent)
            FEvent();
        // Every count that reaches here came from a tick: a wake-up from Terminate
        // finds the thread terminated.
        FPendingWork.fetch_sub(1);
        MMTimerWorkDone();
    }
}

}  // namespace dcs
