#include "platform/mmtimer/MMTimer.h"

#include "platform/base/SysUtils.h"
#include "platform/threads/Sync.h"
#include "platform/threads/Thread.h"

#include <ctime>

#include <algorithm>
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

    void Fire() { Proc(Id, 0, User, 0, 0); }
};

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
    while (!Terminated() && !FEntry->Cancelled.load()) {
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {}
        if (Terminated() || FEntry->Cancelled.load())
            break;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
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
    std::shared_ptr<TTimerEntry> entry;
    {
        std::lock_guard guard(s.Lock);
        auto it = s.Timers.find(uTimerID);
        if (it == s.Timers.end())
            return MMSYSERR_INVALPARAM;
        entry = std::move(it->second);
        s.Timers.erase(it);
    }
    entry->Cancelled.store(true);
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
