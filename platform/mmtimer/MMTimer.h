// The multimedia timer: periodic callbacks at millisecond periods on a timer thread.
//
// The real timer keeps one thread per timer that sleeps to absolute deadlines one
// period apart (CLOCK_MONOTONIC), so the period does not drift with the time the
// callback takes. A thread that wakes late runs the missed periods at once, up to
// MaxCatchUpTicks, so that whoever counts ticks keeps real-time rate; beyond that it
// starts afresh from now.
//
// Tests install a TManualMMTimer: while one exists, new timers do not run by themselves
// but on each Tick(n) of the test, on the test's thread.
#pragma once

#include "platform/base/MMSystem.h"

#include <atomic>
#include <cstdint>

namespace dcs {

using TMMTimerProc = void (*)(uint32_t uTimerID, uint32_t uMsg, uintptr_t dwUser, uintptr_t dw1, uintptr_t dw2);

inline constexpr uint32_t TIME_ONESHOT = 0x0000;
inline constexpr uint32_t TIME_PERIODIC = 0x0001;
inline constexpr uint32_t TIMERR_NOERROR = 0;

inline constexpr uint32_t MaxCatchUpTicks = 100;

// Starts a timer whose first callback comes after uDelay ms and, when periodic, every
// uDelay ms after that. uResolution is accepted and ignored. 0 when the timer cannot be
// made (no callback, zero delay, no thread).
uint32_t timeSetEvent(uint32_t uDelay, uint32_t uResolution, TMMTimerProc lpTimeProc, uintptr_t dwUser,
                      uint32_t fuEvent);

// Stops the timer and, unless called from the timer's own callback, waits until a
// callback in progress has returned: after it no callback of this timer runs. So never
// call it while holding a lock that the callback takes. MMSYSERR_INVALPARAM for an
// unknown id.
uint32_t timeKillEvent(uint32_t uTimerID);

// From a timer's callback: the next `ticks` periods have nothing to do, so the timer may
// sleep through them and deliver their callbacks late, together with the one after them
// (at most MaxIdleTicks). No callback is dropped or reordered. Ignored elsewhere and by
// manual timers, which run every tick anyway.
inline constexpr uint32_t MaxIdleTicks = 50;
void MMTimerIdleTicks(uint32_t ticks);
// Ends the idle sleep of a timer at once (its owner has work due sooner); its late
// callbacks run now. Unknown ids are ignored.
void MMTimerWake(uint32_t uTimerID);
// Timers alive now.
int MMTimerCount();

// Accounting of the work that ticks hand to other threads, so that a test can wait until
// everything its ticks released has been done. Whoever releases work counts it; the
// worker marks it done (or withdraws what it will never do).
void MMTimerWorkReleased(int32_t count = 1);
void MMTimerWorkDone(int32_t count = 1);
int32_t MMTimerWorkPending();

// While an instance exists, timers started after it run only on Tick. One at a time.
class TManualMMTimer {
public:
    TManualMMTimer();
    ~TManualMMTimer();
    TManualMMTimer(const TManualMMTimer&) = delete;
    TManualMMTimer& operator=(const TManualMMTimer&) = delete;

    // Advances every manual timer by n ms, running the callbacks that fall due.
    void Tick(uint32_t n = 1);
    // Waits until the work released so far is done; false after `timeoutMs`.
    bool WaitUntilIdle(uint32_t timeoutMs = 5000);
};

}  // namespace dcs
