#include "platform/mmtimer/MMTimer.h"

#include "platform/base/SysUtils.h"
#include "platform/threads/Sync.h"
#include "platform/threads/Thread.h"

#include <ctime>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace dcs {

namespace {

struct TTimerEntry;

class TTimerThread : public TThread {
public:
    explicit TTimerThread(std::shared_ptr<TTimerEntry> entry) : TThread(true, "mmtimer"), FEntry(std::move(entry)) {}
    ~TTimerThread() override { TerminateAndWait(); }

protected:
    void Execute() override;

private:
    std::shared_ptr<TTimerEntry> FEntry;
};

struct TTimerEntry {
    uint32_t Id = 0;
    uint32_t Period = 0;
    TMMTimerProc Proc = nullptr;
    uintptr_t User = 0;
    bool Periodic = false;
    std::atomic<bool> Cancelled {false};
    // Manual timers: ms left until the next callback.
    uint32_t DueIn = 0;
    std::unique_ptr<TTimerThread> Thread;  // real timers only
    // Real timers: the periods the last callback declared idle, and the wake that ends a
    // sleep through them early.
    std::atomic<uint32_t> IdleTicks {0};
    std::mutex WakeLock;
    std::condition_variable WakeCondition;
    bool WakeRequested = false;

    void Fire() { Proc(Id, 0, User, 0, 0); }

    void Wake()
    {
        {
            std::lock_guard guard(WakeLock);
            WakeRequested = true;
        }
        WakeCondition.notify_one();
    }

    // Sleeps until `until` (CLOCK_MONOTONIC) or a wake, whichever comes first.
    void SleepUntil(const timespec& until)
    {
        using namespace std::chrono;
        const steady_clock::time_point t(
            duration_cast<steady_clock::duration>(seconds(until.tv_sec) + nanoseconds(until.tv_nsec)));
        std::unique_lock guard(WakeLock);
        WakeCondition.wait_until(guard, t, [this] { return WakeRequested; });
        WakeRequested = false;
    }
};

// The real timer whose callbacks the calling thread is running, if any.
thread_local TTimerEntry* tlsFiring = nullptr;

struct TTimerState {
    std::mutex Lock;
    std::map<uint32_t, std::shared_ptr<TTimerEntry>> Timers;
    uint32_t NextId = 1;
    bool Manual = false;
    // Held while manual ticks run callbacks, so a kill can wait for one in progress.
    std::mutex TickLock;
    std::atomic<int32_t> Pending {0};
    TEvent Idle {true, true};
};

// Never destroyed: a timer thread may still be leaving while the process exits.
TTimerState& State()
{
    static auto* state = new TTimerState;
    return *state;
}

timespec AddMs(timespec t, uint64_t ms)
{
    uint64_t ns = uint64_t(t.tv_nsec) + (ms % 1000) * 1000000ull;
    t.tv_sec += time_t(ms / 1000 + ns / 1000000000ull);
    t.tv_nsec = long(ns % 1000000000ull);
    return t;
}

int64_t DiffNs(const timespec& a, const timespec& b)
{
    return (int64_t(a.tv_sec) - int64_t(b.tv_sec)) * 1000000000ll + (a.tv_nsec - b.tv_nsec);
}

void TTimerThread::Execute()
{
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline = AddMs(deadline, FEntry->Period);
    tlsFiring = FEntry.get();
    while (!Terminated() && !FEntry->Cancelled.load()) {
        // Idle periods are slept through and delivered late, with the next one that has
        // work: each is a wake-up of this thread saved.
        if (const uint32_t idle = FEntry->IdleTicks.exchange(0))
            FEntry->SleepUntil(AddMs(deadline, uint64_t(FEntry->Period) * idle));
        else
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {}
        if (Terminated() || FEntry->Cancelled.load())
            break;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (DiffNs(now, deadline) < 0)
            continue;  // woken before the next period: sleep on to it
        // Periods that have passed since the deadline, this one included.
        const int64_t periodNs = int64_t(FEntry->Period) * 1000000;
        int64_t due = DiffNs(now, deadline) / periodNs + 1;
        bool afresh = false;
        if (due > int64_t(MaxCatchUpTicks)) {
            due = MaxCatchUpTicks;
            afresh = true;  // too far behind: the rest is lost, the period restarts now
        }
        for (int64_t i = 0; i < due && !FEntry->Cancelled.load(); ++i)
            FEntry->Fire();
        if (!FEntry->Periodic)
            break;
        deadline = afresh ? AddMs(now, FEntry->Period) : AddMs(deadline, uint64_t(FEntry->Period) * uint64_t(due));
    }
}

// The live timer of that id (taken out of the list when ARemove), or nil.
std::shared_ptr<TTimerEntry> FindTimer(uint32_t AId, bool ARemove)
{
    TTimerState& s = State();
    std::lock_guard guard(s.Lock);
    auto it = s.Timers.find(AId);
    if (it == s.Timers.end())
        return nullptr;
    std::shared_ptr<TTimerEntry> entry = it->second;
    if (ARemove)
        s.Timers.erase(it);
    return entry;
}

}  // namespace

uint32_t timeSetEvent(uint32_t uDelay, uint32_t, TMMTimerProc lpTimeProc, uintptr_t dwUser, uint32_t fuEvent)
{
    if (!lpTimeProc || uDelay == 0)
        return 0;
    TTimerState& s = State();
    auto entry = std::make_shared<TTimerEntry>();
    entry->Period = uDelay;
    entry->DueIn = uDelay;
    entry->Proc = lpTimeProc;
    entry->User = dwUser;
    entry->Periodic = (fuEvent & TIME_PERIODIC) != 0;
    std::lock_guard guard(s.Lock);
    entry->Id = s.NextId++;
    if (s.NextId == 0)
        s.NextId = 1;
    if (!s.Manual) {
        try {
            entry->Thread = std::make_unique<TTimerThread>(entry);
            entry->Thread->SetPriority(tpTimeCritical);
            entry->Thread->Start();
        } catch (...) {
            return 0;
        }
    }
    s.Timers[entry->Id] = entry;
    return entry->Id;
}

uint32_t timeKillEvent(uint32_t uTimerID)
{
    TTimerState& s = State();
    std::shared_ptr<TTimerEntry> entry = FindTimer(uTimerID, true);
    if (!entry)
        return MMSYSERR_INVALPARAM;
    entry->Cancelled.store(true);
    entry->Wake();
    if (entry->Thread) {
        if (entry->Thread->ThreadID() == GetCurrentThreadId()) {
            // From its own callback: the thread cannot wait for itself; it ends after
            // this callback and frees itself (and with it the entry it holds).
            TTimerThread* thread = entry->Thread.release();
            thread->SetFreeOnTerminate(true);
            thread->Terminate();
        } else {
            entry->Thread.reset();  // terminates and joins
        }
    } else {
        // A manual tick in progress may be inside this timer's callback.
        std::lock_guard wait(s.TickLock);
    }
    return TIMERR_NOERROR;
}

void MMTimerIdleTicks(uint32_t ticks)
{
    if (TTimerEntry* entry = tlsFiring)
        entry->IdleTicks.store(std::min(ticks, MaxIdleTicks));
}

void MMTimerWake(uint32_t uTimerID)
{
    if (std::shared_ptr<TTimerEntry> entry = FindTimer(uTimerID, false))
        entry->Wake();
}

int MMTimerCount()
{
    TTimerState& s = State();
    std::lock_guard guard(s.Lock);
    return int(s.Timers.size());
}

void MMTimerWorkReleased(int32_t count)
{
    TTimerState& s = State();
    if (s.Pending.fetch_add(count) == 0 && count > 0)
        s.Idle.ResetEvent();
}

void MMTimerWorkDone(int32_t count)
{
    TTimerState& s = State();
    if (s.Pending.fetch_sub(count) - count <= 0)
        s.Idle.SetEvent();
}

int32_t MMTimerWorkPending() { return State().Pending.load(); }

TManualMMTimer::TManualMMTimer()
{
    TTimerState& s = State();
    std::lock_guard guard(s.Lock);
    if (s.Manual)
        throw EInvalidOperation("A manual multimedia timer is installed already");
    s.Manual = true;
}

TManualMMTimer::~TManualMMTimer()
{
    TTimerState& s = State();
    std::lock_guard guard(s.Lock);
    s.Manual = false;
}

void TManualMMTimer::Tick(uint32_t n)
{
    TTimerState& s = State();
    std::lock_guard tick(s.TickLock);
    for (uint32_t i = 0; i < n; ++i) {
        std::vector<std::shared_ptr<TTimerEntry>> due;
        {
            std::lock_guard guard(s.Lock);
            for (auto& [id, entry] : s.Timers) {
                if (entry->Thread || --entry->DueIn > 0)
                    continue;
                entry->DueIn = entry->Period;
                due.push_back(entry);
            }
        }
        for (auto& entry : due) {
            if (!entry->Cancelled.load())
                entry->Fire();
            if (!entry->Periodic) {
                std::lock_guard guard(s.Lock);
                s.Timers.erase(entry->Id);
            }
        }
    }
}

bool TManualMMTimer::WaitUntilIdle(uint32_t timeoutMs)
{
    TTimerState& s = State();
    const uint32_t start = GetTickCount();
    while (s.Pending.load() > 0) {
        const uint32_t spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        s.Idle.WaitFor(std::min<uint32_t>(timeoutMs - spent, 10));
    }
    return true;
}

}  // namespace dcs
