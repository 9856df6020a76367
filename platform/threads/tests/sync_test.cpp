#include "platform/threads/Sync.h"

#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <latch>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace dcs {
namespace {

// Polls `Cond` for up to 5 s; the tests wait for what must happen, not for fixed times.
template <class F> bool Eventually(F&& Cond)
{
    for (uint32_t start = GetTickCount(); GetTickCount() - start < 5000; Sleep(1))
        if (Cond())
            return true;
    return Cond();
}

// Long enough for a wrongly woken thread to show up.
void Grace() { Sleep(30); }

// Threads that each wait once without time-out and count their passes.
std::vector<std::thread> StartWaiters(int Count, std::function<TWaitResult()> Wait, std::atomic<int>& Passed)
{
    std::vector<std::thread> waiters;
    for (int i = 0; i < Count; ++i)
        waiters.emplace_back([Wait, &Passed] {
            if (Wait() == wrSignaled)
                ++Passed;
        });
    return waiters;
}

TEST(Semaphore, ReleasePastTheMaximumFailsAndKeepsTheCount)
{
    TSemaphore s(1, 3);
    EXPECT_FALSE(s.Release(3));  // 1 + 3 > 3
    EXPECT_TRUE(s.Release(2));   // now full
    EXPECT_FALSE(s.Release(1));
    EXPECT_FALSE(s.Release(0));
    EXPECT_FALSE(s.Release(-1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s.WaitFor(0), wrSignaled) << i;
    EXPECT_EQ(s.WaitFor(0), wrTimeout);

    EXPECT_THROW(TSemaphore(-1, 1), EInvalidOperation);
    EXPECT_THROW(TSemaphore(2, 1), EInvalidOperation);
    EXPECT_THROW(TSemaphore(0, 0), EInvalidOperation);
}

TEST(Semaphore, ReleaseOfSeveralWakesAsManyWaiters)
{
    TSemaphore s(0, 10);
    std::atomic<int> passed {0};
    auto waiters = StartWaiters(
        3, [&] { return s.WaitFor(INFINITE); }, passed);
    EXPECT_TRUE(s.Release(2));
    EXPECT_TRUE(Eventually([&] { return passed == 2; }));
    Grace();
    EXPECT_EQ(passed, 2);
    EXPECT_TRUE(s.Release(1));
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(passed, 3);
    EXPECT_EQ(s.WaitFor(0), wrTimeout);
}

TEST(Event, AutoResetReleasesExactlyOneWaiterPerSet)
{
    TEvent e(false, false);
    std::atomic<int> woken {0};
    auto waiters = StartWaiters(
        3, [&] { return e.WaitFor(INFINITE); }, woken);
    for (int i = 1; i <= 3; ++i) {
        e.SetEvent();
        ASSERT_TRUE(Eventually([&] { return woken == i; })) << i;
        Grace();
        EXPECT_EQ(woken, i);
    }
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(e.WaitFor(0), wrTimeout);  // every set was used up by a waiter

    // With nobody waiting, sets do not add up: the next wait passes, the one after not.
    e.SetEvent();
    e.SetEvent();
    EXPECT_EQ(e.WaitFor(0), wrSignaled);
    EXPECT_EQ(e.WaitFor(0), wrTimeout);
}

TEST(Event, ManualResetReleasesEveryWaiterAndStaysSetUntilReset)
{
    TEvent e(true, false);
    std::atomic<int> woken {0};
    auto waiters = StartWaiters(
        3, [&] { return e.WaitFor(INFINITE); }, woken);
    e.SetEvent();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_EQ(e.WaitFor(0), wrSignaled);
    EXPECT_EQ(e.WaitFor(0), wrSignaled);
    e.ResetEvent();
    EXPECT_EQ(e.WaitFor(0), wrTimeout);

    TEvent initiallySet(true, true);
    EXPECT_EQ(initiallySet.WaitFor(0), wrSignaled);
    EXPECT_EQ(initiallySet.WaitFor(INFINITE), wrSignaled);
    TEvent autoInitiallySet(false, true);
    EXPECT_EQ(autoInitiallySet.WaitFor(0), wrSignaled);
    EXPECT_EQ(autoInitiallySet.WaitFor(0), wrTimeout);
}

TEST(Mutex, IsRecursiveAndOnlyItsOwnerReleasesIt)
{
    TMutex m;
    EXPECT_EQ(m.OwnerThreadId(), 0u);
    ASSERT_EQ(m.WaitFor(0), wrSignaled);
    ASSERT_EQ(m.WaitFor(INFINITE), wrSignaled);
    EXPECT_EQ(m.OwnerThreadId(), GetCurrentThreadId());

    std::thread([&] {
        EXPECT_FALSE(m.Release());
        EXPECT_EQ(m.WaitFor(0), wrTimeout);
    }).join();

    EXPECT_TRUE(m.Release());
    std::thread([&] { EXPECT_EQ(m.WaitFor(0), wrTimeout); }).join();  // one level still held
    EXPECT_TRUE(m.Release());
    EXPECT_FALSE(m.Release());
    EXPECT_EQ(m.OwnerThreadId(), 0u);

    std::thread([&] {
        EXPECT_EQ(m.WaitFor(0), wrSignaled);
        EXPECT_TRUE(m.Release());
    }).join();

    TMutex owned(true);
    std::thread([&] { EXPECT_EQ(owned.WaitFor(0), wrTimeout); }).join();
    EXPECT_TRUE(owned.Release());
}

TEST(Mutex, ReleasedByTheOwnerWakesAWaiter)
{
    TMutex m;
    ASSERT_EQ(m.WaitFor(0), wrSignaled);
    std::atomic<bool> got {false};
    std::thread waiter([&] {
        got = m.WaitFor(INFINITE) == wrSignaled;
        m.Release();
    });
    Grace();
    EXPECT_FALSE(got);
    EXPECT_TRUE(m.Release());
    waiter.join();
    EXPECT_TRUE(got);
}

TEST(Mutex, OwnerEndingWithoutReleaseAbandonsIt)
{
    TMutex m;
    std::thread([&] {
        m.WaitFor(INFINITE);
        m.WaitFor(INFINITE);
    }).join();
    EXPECT_EQ(m.WaitFor(0), wrAbandoned);
    EXPECT_EQ(m.OwnerThreadId(), GetCurrentThreadId());
    EXPECT_EQ(m.WaitFor(0), wrSignaled);  // the next level is an ordinary one
    EXPECT_TRUE(m.Release());
    EXPECT_TRUE(m.Release());  // the dead owner's two levels did not carry over
    EXPECT_FALSE(m.Release());

    // A mutex freed by its owner while held is forgotten, not abandoned at the end.
    std::thread([] {
        auto temporary = std::make_unique<TMutex>();
        temporary->WaitFor(0);
    }).join();
}

TEST(Waits, TimedWaitsTimeOutAfterTheirTime)
{
    TEvent autoEvent(false, false), manualEvent(true, false);
    TSemaphore semaphore(0, 1);
    TMutex mutex;
    std::latch held(1), done(1);
    std::thread owner([&] {
        mutex.WaitFor(INFINITE);
        held.count_down();
        done.wait();
        mutex.Release();
    });
    held.wait();

    struct Case {
        const char* Name;
        std::function<TWaitResult(uint32_t)> Wait;
    } cases[] = {
        {"auto-reset event", [&](uint32_t ms) { return autoEvent.WaitFor(ms); }},
        {"manual-reset event", [&](uint32_t ms) { return manualEvent.WaitFor(ms); }},
        {"semaphore", [&](uint32_t ms) { return semaphore.WaitFor(ms); }},
        {"mutex of another thread", [&](uint32_t ms) { return mutex.WaitFor(ms); }},
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.Wait(0), wrTimeout) << c.Name;
        uint32_t start = GetTickCount();
        EXPECT_EQ(c.Wait(50), wrTimeout) << c.Name;
        EXPECT_GE(GetTickCount() - start, 40u) << c.Name;
    }
    done.count_down();
    owner.join();
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    TCriticalSection cs;
    cs.Enter();
    ASSERT_TRUE(cs.TryEnter());
    auto tryFromOther = [&] {
        bool entered = false;
        std::thread([&] {
            entered = cs.TryEnter();
            if (entered)
                cs.Leave();
        }).join();
        return entered;
    };
    EXPECT_FALSE(tryFromOther());
    cs.Leave();
    EXPECT_FALSE(tryFromOther());
    cs.Leave();
    EXPECT_TRUE(tryFromOther());
}

TEST(Interlocked, CountsExactlyUnderContention)
{
    std::atomic<int32_t> up {0}, down {0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 20000; ++k) {
                InterlockedIncrement(up);
                InterlockedDecrement(down);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(up.load(), 80000);
    EXPECT_EQ(down.load(), -80000);
}

TEST(Interlocked, ReturnValuesAndWrapping)
{
    std::atomic<int32_t> v {5};
    EXPECT_EQ(InterlockedIncrement(v), 6);
    EXPECT_EQ(InterlockedDecrement(v), 5);
    EXPECT_EQ(InterlockedAdd(v, 10), 15);
    EXPECT_EQ(InterlockedExchangeAdd(v, 0), 15);
    EXPECT_EQ(InterlockedExchange(v, 7), 15);
    EXPECT_EQ(InterlockedCompareExchange(v, 9, 6), 7);  // no match: unchanged
    EXPECT_EQ(v.load(), 7);
    EXPECT_EQ(InterlockedCompareExchange(v, 9, 7), 7);
    EXPECT_EQ(v.load(), 9);

    std::atomic<int32_t> top {INT32_MAX};
    EXPECT_EQ(InterlockedIncrement(top), INT32_MIN);
    EXPECT_EQ(InterlockedDecrement(top), INT32_MAX);
    std::atomic<uint32_t> zero {0};
    EXPECT_EQ(InterlockedDecrement(zero), 0xFFFFFFFFu);

    int a = 0, b = 0;
    std::atomic<int*> p {&a};
    EXPECT_EQ(InterlockedCompareExchange(p, &b, &a), &a);
    EXPECT_EQ(p.load(), &b);
}

TEST(ThreadId, NonZeroStableAndDistinctAmongLiveThreads)
{
    const uint32_t mine = GetCurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(GetCurrentThreadId(), mine);

    constexpr int kThreads = 8;
    std::vector<uint32_t> ids(kThreads);
    std::latch allAlive(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            ids[i] = GetCurrentThreadId();
            allAlive.arrive_and_wait();
            EXPECT_EQ(GetCurrentThreadId(), ids[i]);
        });
    for (auto& t : threads)
        t.join();
    std::set<uint32_t> distinct(ids.begin(), ids.end());
    distinct.insert(mine);
    EXPECT_EQ(distinct.size(), size_t(kThreads + 1));
    EXPECT_EQ(distinct.count(0u), 0u);
}

TEST(Time, TickCountFollowsSleep)
{
    uint32_t before = GetTickCount();
    Sleep(0);
    Sleep(20);
    uint32_t elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 0x80000000u);  // never went backwards
}

}  // namespace
}  // namespace dcs
