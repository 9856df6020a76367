#include "platform/mmtimer/MMTimer.h"

#include "platform/threads/Sync.h"
#include "testing/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

namespace dcs {
namespace {

std::atomic<int> gTicks {0};
void CountTick(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) { gTicks.fetch_add(int(user)); }

TEST(ManualMMTimer, TicksRunDueCallbacksOnTheCallersThread)
{
    TManualMMTimer manual;
    gTicks = 0;
    uint32_t every1 = timeSetEvent(1, 0, CountTick, 1, TIME_PERIODIC);
    uint32_t every3 = timeSetEvent(3, 0, CountTick, 100, TIME_PERIODIC);
    uint32_t once = timeSetEvent(2, 0, CountTick, 10000, TIME_ONESHOT);
    ASSERT_NE(every1, 0u);
    EXPECT_EQ(MMTimerCount(), 3);
    manual.Tick(7);
    EXPECT_EQ(gTicks, 7 + 2 * 100 + 10000);
    EXPECT_EQ(MMTimerCount(), 2) << "a one-shot timer is gone after its callback";
    EXPECT_EQ(timeKillEvent(every1), TIMERR_NOERROR);
    EXPECT_EQ(timeKillEvent(every1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(timeKillEvent(once), MMSYSERR_INVALPARAM);
    manual.Tick(2);
    EXPECT_EQ(gTicks, 7 + 3 * 100 + 10000);
    timeKillEvent(every3);
    EXPECT_EQ(MMTimerCount(), 0);
    EXPECT_EQ(timeSetEvent(0, 0, CountTick, 1, TIME_PERIODIC), 0u);
    EXPECT_EQ(timeSetEvent(1, 0, nullptr, 1, TIME_PERIODIC), 0u);
}

TEST(ManualMMTimer, WaitsForReleasedWork)
{
    TManualMMTimer manual;
    EXPECT_TRUE(manual.WaitUntilIdle(0));
    MMTimerWorkReleased(2);
    EXPECT_FALSE(manual.WaitUntilIdle(20));
    std::thread worker([] {
        Sleep(20);
        MMTimerWorkDone();
        MMTimerWorkDone();
    });
    EXPECT_TRUE(manual.WaitUntilIdle(5000));
    worker.join();
    EXPECT_EQ(MMTimerWorkPending(), 0);
}

// The real timer's calls, stamped as they run. On a loaded machine a call may run late,
// but never early: the earliest calls of a stretch show where the deadlines lie, whatever
// the lateness of the others and of the test thread.
constexpr int kStamped = 400;
std::array<std::chrono::steady_clock::time_point, kStamped> gStamps;
std::atomic<int> gCalls {0};
std::atomic<int> gStallAt {-1};
std::atomic<uint32_t> gStallMs {0};
void Stamp(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    int i = gCalls.load();
    if (i < kStamped)
        gStamps[size_t(i)] = std::chrono::steady_clock::now();
    gCalls.store(i + 1);
    if (i == gStallAt.load())
        Sleep(gStallMs.load());
}

// Runs the 1 ms timer for kStamped calls (the call numbered AStallAt stalling for
// AStallMs), and answers how many milliseconds the deadlines of the last calls lie
// behind those of the first ones: 0 for a timer that keeps real-time rate.
double DeadlineShift(int AStallAt, uint32_t AStallMs)
{
    gCalls = 0;
    gStallAt = AStallAt;
    gStallMs = AStallMs;
    uint32_t id = timeSetEvent(1, 0, Stamp, 0, TIME_PERIODIC);
    EXPECT_NE(id, 0u);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (gCalls.load() < kStamped && std::chrono::steady_clock::now() < giveUp)
        Sleep(10);
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    const int after = gCalls.load();
    Sleep(20);
    EXPECT_EQ(gCalls.load(), after) << "no callback after the kill returned";
    EXPECT_GE(after, kStamped);
    auto offset = [](int i) {
        return std::chrono::duration<double, std::milli>(gStamps[size_t(i)] - gStamps[0]).count() - i;
    };
    double first = 0, last = offset(kStamped - 1);
    for (int i = 0; i < 9; ++i)
        first = std::min(first, offset(i));
    for (int i = kStamped - 50; i < kStamped; ++i)
        last = std::min(last, offset(i));
    return last - first;
}

TEST(RealMMTimer, KeepsRealTimeRate)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    EXPECT_NEAR(DeadlineShift(-1, 0), 0, 30);
}

TEST(RealMMTimer, RunsMissedTicksUpToTheCap)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    EXPECT_NEAR(DeadlineShift(10, 80), 0, 30) << "a short stall is made up at once";
    EXPECT_NEAR(DeadlineShift(10, 300), 300 - int(MaxCatchUpTicks), 30) << "a long one only up to the cap";
}

// A callback that declares the next MaxIdleTicks periods idle every time, counting its
// calls and the separate wake-ups they came in (calls less than half a period apart
// came together).
std::atomic<int> gIdleCalls {0};
std::atomic<int> gIdleWakeUps {0};
std::atomic<int64_t> gLastIdleCallNs {0};
int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
void MostlyIdle(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    const int64_t now = NowNs();
    if (now - gLastIdleCallNs.exchange(now) > 500000)
        gIdleWakeUps.fetch_add(1);
    gIdleCalls.fetch_add(1);
    MMTimerIdleTicks(MaxIdleTicks);
}

TEST(RealMMTimer, SleepsThroughIdleTicksAndStillDeliversEveryOne)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    gIdleCalls = 0;
    gIdleWakeUps = 0;
    const auto start = std::chrono::steady_clock::now();
    const uint32_t id = timeSetEvent(1, 0, MostlyIdle, 0, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    Sleep(500);
    const int calls = gIdleCalls.load();
    const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    // Late by at most one idle stretch, never lost.
    EXPECT_GE(calls, elapsed - MaxIdleTicks - 30);
    EXPECT_LE(calls, elapsed + 1);
    EXPECT_LT(gIdleWakeUps.load(), elapsed / 10) << "about one wake-up per " << MaxIdleTicks + 1 << " periods";
}

TEST(RealMMTimer, AWakeEndsAnIdleSleepAtOnce)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    gIdleCalls = 0;
    const uint32_t id = timeSetEvent(1, 0, MostlyIdle, 0, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(WaitUntil([] { return gIdleCalls.load() > 0; }));
    Sleep(10);  // well inside the idle stretch that follows the first call
    const int before = gIdleCalls.load();
    const auto woken = std::chrono::steady_clock::now();
    MMTimerWake(id);
    ASSERT_TRUE(WaitUntil([before] { return gIdleCalls.load() > before; }));
    const double delay = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - woken).count();
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_LT(delay, 25) << "the stretch would have lasted until about 41 ms from the wake";
    MMTimerWake(id);  // an id no longer alive is ignored
}

std::atomic<int> gSelfCalls {0};
void KillSelf(uint32_t id, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    if (gSelfCalls.fetch_add(1) == 0)
        timeKillEvent(id);
}

TEST(RealMMTimer, CanBeKilledFromItsOwnCallback)
{
    gSelfCalls = 0;
    ASSERT_NE(timeSetEvent(1, 0, KillSelf, 0, TIME_PERIODIC), 0u);
    // A loaded machine may start the timer thread late: wait for the first call, then give
    // a periodic timer that was not really killed time for several more.
    ASSERT_TRUE(WaitUntil([] { return gSelfCalls.load() > 0; }));
    Sleep(50);
    EXPECT_EQ(gSelfCalls.load(), 1);
    EXPECT_EQ(MMTimerCount(), 0);
}

}  // namespace
}  // namespace dcs
