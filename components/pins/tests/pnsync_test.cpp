#include "components/pins/PNSync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace dcs {
namespace {

TEST(PNSync, ZeroTimeoutsPollWithoutBlocking)
{
    TPNEvent ev(true, false);
    EXPECT_FALSE(ev.WaitFor(0));
    ev.Signal();
    EXPECT_TRUE(ev.WaitFor(0));
    EXPECT_TRUE(ev.WaitFor(0)) << "manual reset stays signalled";
    ev.Reset();
    EXPECT_FALSE(ev.WaitFor(0));

    TPNSemaphore sem(0, 2);
    EXPECT_FALSE(sem.Decrement(0));
    EXPECT_TRUE(sem.Increment(2));
    EXPECT_FALSE(sem.Increment(1)) << "past the maximum";
    EXPECT_TRUE(sem.Decrement(0));
    EXPECT_TRUE(sem.Decrement(0));
    EXPECT_FALSE(sem.Decrement(0)) << "the refused increment added nothing";
}

TEST(PNSync, AutoResetEventReleasesOneWaiterPerSignal)
{
    TPNEvent ev(false, false);
    std::atomic<int> woken {0};
    std::thread t1([&] { woken += ev.WaitFor(INFINITE); });
    std::thread t2([&] { woken += ev.WaitFor(INFINITE); });
    ev.Signal();
    while (woken.load() < 1)
        std::this_thread::yield();
    EXPECT_FALSE(ev.WaitFor(50)) << "the event reset itself";
    EXPECT_EQ(woken.load(), 1);
    ev.Signal();
    t1.join();
    t2.join();
    EXPECT_EQ(woken.load(), 2);
}

TEST(PNSync, AbandonedMutexIsAcquiredAndOwned)
{
    TPNMutex m(false);
    std::thread([&] { ASSERT_TRUE(m.Acquire(INFINITE)); }).join();
    EXPECT_TRUE(m.Acquire(1000));
    EXPECT_TRUE(m.Release());
    EXPECT_FALSE(m.Release()) << "no longer owned";
}

TEST(PNSync, MutexIsRecursiveAndOnlyItsOwnerReleasesIt)
{
    TPNMutex m(true);
    EXPECT_TRUE(m.Acquire(0));
    bool other = true;
    std::thread([&] { other = m.Acquire(10) || m.Release(); }).join();
    EXPECT_FALSE(other);
    EXPECT_TRUE(m.Release());
    EXPECT_TRUE(m.Release());
    EXPECT_FALSE(m.Release());
}

// A name already used by an event cannot make a mutex: the wrapper is left without one,
// and waiting on it fails rather than counting as acquired.
TEST(PNSync, FailedWaitIsNotAcquired)
{
    auto ev = TPNEvent::CreateNamed("pnsync-shared-name", true, false);
    auto same = TPNEvent::CreateNamed("pnsync-shared-name", true, false);
    same->Signal();
    EXPECT_TRUE(ev->WaitFor(0)) << "one name, one event";

    auto m = TPNMutex::CreateNamed("pnsync-shared-name", false);
    EXPECT_FALSE(m->Acquire(0));
    EXPECT_FALSE(m->Acquire(INFINITE));
    EXPECT_FALSE(m->Release());

    TPNSemaphore bad(3, 1);
    EXPECT_FALSE(bad.Decrement(INFINITE));
    EXPECT_FALSE(bad.Increment(1));
}

TEST(PNSync, CriticalSectionIsRecursiveAndTheScopedLockLeavesOnException)
{
    TPNCriticalSection cs;
    try {
        TPNCriticalSectionLock outer(cs);
        TPNCriticalSectionLock inner(cs);
        throw std::runtime_error("leave early");
    } catch (const std::runtime_error&) {
    }
    bool entered = false;
    std::thread([&] {
        cs.Enter();
        entered = true;
        cs.Leave();
    }).join();
    EXPECT_TRUE(entered);
}

}  // namespace
}  // namespace dcs
