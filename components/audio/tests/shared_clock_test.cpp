// Clock threads shared by the generators of one period: one run per member per period, in
// join order, on one thread per period; leaving waits only for the member's own run.
#include "components/audio/SGSharedClock.h"

#include "platform/mmtimer/MMTimer.h"
#include "platform/threads/Sync.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace dcs {
namespace {

using MemberPtr = std::unique_ptr<TSGSharedClockMember>;

// What the members did, in order, and on which threads.
struct Runs {
    std::mutex Mutex;
    std::vector<std::string> Names;
    std::vector<uint32_t> Threads;

    TSGClockGenEvent Event(std::string AName)
    {
        return [this, AName] {
            std::lock_guard lock(Mutex);
            Names.push_back(AName);
            Threads.push_back(GetCurrentThreadId());
        };
    }
    std::vector<std::string> Take()
    {
        std::lock_guard lock(Mutex);
        return std::exchange(Names, {});
    }
};

// Whether a thread of this process has the name (as the system keeps it).
bool ThreadNamed(const std::string& AName)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name == AName)
            return true;
    }
    return false;
}

void RunFor(TManualMMTimer& ATimer, int ATicks)
{
    for (int i = 0; i < ATicks; ++i) {
        ATimer.Tick();
        ASSERT_TRUE(ATimer.WaitUntilIdle());
    }
}

constexpr int64_t kPeriod = 50000;  // 5 ms: one run per member every 5 ticks (the 6th for the first)

TEST(SharedClock, EveryMemberRunsOncePerPeriodInJoinOrderOnOneThreadPerPeriod)
{
    TManualMMTimer timer;
    Runs runs;
    TComponent owner(nullptr);
    owner.SetName("sg1");
    MemberPtr a(TSGSharedClockMember::Create(&owner, kPeriod, runs.Event("a")));
    MemberPtr b(TSGSharedClockMember::Create(nullptr, kPeriod, runs.Event("b")));
    MemberPtr other(TSGSharedClockMember::Create(nullptr, 2 * kPeriod, runs.Event("other")));
    MemberPtr c(TSGSharedClockMember::Create(nullptr, kPeriod, runs.Event("c")));
    EXPECT_EQ(TSGSharedClockMember::SharedClocks(), 2);
    EXPECT_EQ(TSGSharedClockMember::Members(kPeriod), 3);
    EXPECT_EQ(TSGClockGen::LiveClocks(), 2);

    RunFor(timer, 6);
    EXPECT_EQ(runs.Take(), (std::vector<std::string> {"a", "b", "c"}));
    RunFor(timer, 5);
    const std::vector<std::string> second = runs.Take();
    EXPECT_EQ(std::count(second.begin(), second.end(), "other"), 1);
    EXPECT_EQ(std::count(second.begin(), second.end(), "a"), 1);
    EXPECT_EQ(std::count(second.begin(), second.end(), "c"), 1);
    {
        std::lock_guard lock(runs.Mutex);
        std::set<uint32_t> threads(runs.Threads.begin(), runs.Threads.end());
        EXPECT_EQ(threads.size(), 2u) << "one thread per period";
    }
    // The shared thread is named after its first member's component.
    EXPECT_TRUE(ThreadNamed("sg1.TSGClockGen"));

    // A late wake-up runs every member once per missed period, no more.
    for (int i = 0; i < 10; ++i)
        timer.Tick();
    ASSERT_TRUE(timer.WaitUntilIdle());
    const std::vector<std::string> late = runs.Take();
    EXPECT_EQ(std::count(late.begin(), late.end(), "a"), 2);
    EXPECT_EQ(std::count(late.begin(), late.end(), "b"), 2);

    a.reset();
    b.reset();
    c.reset();
    EXPECT_EQ(TSGSharedClockMember::SharedClocks(), 1);
    other.reset();
    EXPECT_EQ(TSGSharedClockMember::SharedClocks(), 0) << "the last member ends the thread";
    EXPECT_EQ(TSGClockGen::LiveClocks(), 0);
    EXPECT_FALSE(MasterClockRunning());
}

TEST(SharedClock, AMemberLeavingBeforeTheCursorSkipsNobodyAndNeverRunsAgain)
{
    TManualMMTimer timer;
    Runs runs;
    MemberPtr a(TSGSharedClockMember::Create(nullptr, kPeriod, runs.Event("a")));
    std::atomic<bool> dropA {true};
    MemberPtr b(TSGSharedClockMember::Create(nullptr, kPeriod, [&] {
        runs.Event("b")();
        // Leaving on the clock thread itself, in the middle of a round.
        if (dropA.exchange(false))
            a.reset();
    }));
    MemberPtr c(TSGSharedClockMember::Create(nullptr, kPeriod, runs.Event("c")));
    RunFor(timer, 6);
    EXPECT_EQ(runs.Take(), (std::vector<std::string> {"a", "b", "c"}));
    RunFor(timer, 5);
    EXPECT_EQ(runs.Take(), (std::vector<std::string> {"b", "c"}));
}

TEST(SharedClock, LeavingWaitsForTheMembersOwnRunOnly)
{
    TManualMMTimer timer;
    TEvent entered(true, false), release(true, false);
    std::atomic<int> slowRuns {0};
    MemberPtr slow(TSGSharedClockMember::Create(nullptr, kPeriod, [&] {
        entered.SetEvent();
        release.WaitFor(INFINITE);
        ++slowRuns;
    }));
    std::atomic<int> quickRuns {0};
    MemberPtr quick(TSGSharedClockMember::Create(nullptr, kPeriod, [&] { ++quickRuns; }));
    MemberPtr before(TSGSharedClockMember::Create(nullptr, kPeriod, [] {}));

    for (int i = 0; i < 6; ++i)
        timer.Tick();
    ASSERT_EQ(entered.WaitFor(5000), wrSignaled);
    // Another member leaves at once while the slow one runs.
    before.reset();
    std::atomic<bool> left {false};
    std::thread leaver([&] {
        slow.reset();
        left = true;
    });
    Sleep(50);
    EXPECT_FALSE(left.load()) << "the slow member is still running";
    release.SetEvent();
    leaver.join();
    EXPECT_TRUE(left.load());
    EXPECT_EQ(slowRuns.load(), 1);
    ASSERT_TRUE(timer.WaitUntilIdle());
    EXPECT_EQ(quickRuns.load(), 1) << "the round went on after the slow member";
}

}  // namespace
}  // namespace dcs
