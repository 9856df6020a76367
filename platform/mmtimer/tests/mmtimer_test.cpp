#include "platform/mmtimer/MMTimer.h"

#include "platform/threads/Sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace dcs {
namespace {

std::atomic<int> gTicks{0};
void CountTick(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    gTicks.fetch_add(int(user));
}

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

TEST(RealMMTimer, KeepsRealTimeRate)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    gTicks = 0;
    const uint32_t start = GetTickCount();
    uint32_t id = timeSetEvent(1, 0, CountTick, 1, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    Sleep(500);
    const int ticks = gTicks.load();
    const uint32_t elapsed = GetTickCount() - start;
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    const int after = gTicks.load();
    Sleep(20);
    EXPECT_EQ(gTicks.load(), after) << "no callback after the kill returned";
    EXPECT_NEAR(ticks, int(elapsed), 30);
}

std::atomic<int> gCalls{0};
std::atomic<uint32_t> gStallAt{0}, gStallMs{0};
void StallOnce(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    if (uint32_t(gCalls.fetch_add(1) + 1) == gStallAt.load())
        Sleep(gStallMs.load());
}

// Ticks that ran in about `runMs` when the 10th callback stalls for `stallMs`, minus
// the ticks that time would have held.
int CatchUpDeficit(uint32_t stallMs, uint32_t runMs)
{
    gCalls = 0;
    gStallAt = 10;
    gStallMs = stallMs;
    const uint32_t start = GetTickCount();
    uint32_t id = timeSetEvent(1, 0, StallOnce, 0, TIME_PERIODIC);
    Sleep(runMs);
    const int ticks = gCalls.load();
    const int elapsed = int(GetTickCount() - start);
    timeKillEvent(id);
    return elapsed - ticks;
}

TEST(RealMMTimer, RunsMissedTicksUpToTheCap)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    EXPECT_NEAR(CatchUpDeficit(80, 300), 0, 30) << "a short stall is made up at once";
    EXPECT_NEAR(CatchUpDeficit(300, 500), 300 - int(MaxCatchUpTicks), 30) << "a long one only up to the cap";
}

std::atomic<int> gSelfCalls{0};
void KillSelf(uint32_t id, uint32_t, uintptr_t, uintptr_t, uintptr_t)
{
    if (gSelfCalls.fetch_add(1) == 0)
        timeKillEvent(id);
}

TEST(RealMMTimer, CanBeKilledFromItsOwnCallback)
{
    gSelfCalls = 0;
    ASSERT_NE(timeSetEvent(1, 0, KillSelf, 0, TIME_PERIODIC), 0u);
    Sleep(100);
    EXPECT_EQ(gSelfCalls.load(), 1);
    EXPECT_EQ(MMTimerCount(), 0);
}

}  // namespace
}  // namespace dcs
