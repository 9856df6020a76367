// Several threads take, nest, stop, give up and restore one lock at random, and destroy
// the object that owns it, for a bounded time. Whatever held section a thread gets must
// be exclusive (ThreadSanitizer watches the unguarded counter), nothing may deadlock,
// and the lock must end free with no count left behind.
#include "components/pins/PNLock.h"
#include "components/pins/PNObject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <thread>
#include <vector>

namespace dcs {
namespace {

struct Shared {
    TPNObject Object;
    IntfPtr<IPNDestroyLock> Destroy = TPNDestroyLock::Create(&Object);
    std::atomic<std::uint32_t> Holder {0};
    long Counter = 0;  // touched only inside held sections, on purpose unguarded
    std::atomic<long> Progress {0};
    std::atomic<bool> Quit {false};
    std::atomic<int> Finished {0};
    std::atomic<int> Failures {0};

    // Called right after a request answered a held section.
    void Touch(std::uint32_t AMe)
    {
        const std::uint32_t prev = Holder.exchange(AMe);
        if (prev != 0 && prev != AMe)
            Failures.fetch_add(1);
        ++Counter;
        Holder.store(prev);
    }
};

void Worker(Shared& S, unsigned ASeed)
{
    std::mt19937 rnd(ASeed);
    const std::uint32_t me = GetCurrentThreadId();
    IPNLock& lock = *S.Object.IntLock();
    // Empty sections handed out during stops, kept alive across later requests.
    std::deque<IPNLockSection> refused;
    auto chance = [&](int APercent) { return int(rnd() % 100) < APercent; };

    // Takes 1..3 nested levels; sometimes gives them all up in the middle.
    auto nested = [&](auto&& self, int ADepth) -> void {
        IPNLockSection s = chance(50) ? lock.WriteLock() : lock.ReadLock();
        if (!s)
            return;
        S.Touch(me);
        if (ADepth < 3 && chance(50))
            self(self, ADepth + 1);
        if (chance(20)) {
            IPNLockSection u = lock.UnlockAll();
            IPNLockSection inner = lock.WriteLock();
            if (inner)
                S.Touch(me);
        }
        // After a restore the levels may have been refused: touch nothing more here.
    };

    while (!S.Quit.load()) {
        const int op = int(rnd() % 100);
        if (op < 55) {
            nested(nested, 1);
        } else if (op < 70) {
            IPNLockSection stop = lock.StopLock();
            S.Touch(me);
            if (chance(50)) {
                IPNLockSection w = lock.WriteLock();
                S.Touch(me);
            }
            if (chance(30)) {
                IPNLockSection u = lock.UnlockAll();
                std::this_thread::yield();
            }
            S.Touch(me);  // a stop is never lost by its own holder
        } else if (op < 85) {
            IPNLockSection s = S.Object.WriteLock();
            if (s.Locked())
                S.Touch(me);
            else if (refused.size() < 8)
                refused.push_back(std::move(s));
        } else if (op < 97) {
            IPNDestroyLockSection call = S.Destroy->Lock();
            if (call) {
                IPNLockSection s = S.Object.WriteLock();
                if (s.Locked())
                    S.Touch(me);
            }
        } else {
            IPNLockSection stop = lock.StopLock();
            IPNDestroyLockSection d = S.Destroy->DestroyLock();
            S.Touch(me);
        }
        if (!refused.empty() && chance(30))
            refused.pop_front();
        S.Progress.fetch_add(1);
    }
    refused.clear();
    S.Finished.fetch_add(1);
}

TEST(PNLockStress, RandomRequestsStayExclusiveAndEndFree)
{
    Shared S;
    constexpr int Threads = 6;
    std::vector<std::thread> threads;
    for (int i = 0; i < Threads; ++i)
        threads.emplace_back(Worker, std::ref(S), 1234u + unsigned(i));

    // Runs for a bounded time, then lets the workers finish; no progress for 10 s
    // anywhere is a deadlock.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
    long last = -1;
    auto lastChange = std::chrono::steady_clock::now();
    while (S.Finished.load() < Threads) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (std::chrono::steady_clock::now() >= end)
            S.Quit.store(true);
        const long now = S.Progress.load() + S.Finished.load();
        if (now != last) {
            last = now;
            lastChange = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastChange > std::chrono::seconds(10)) {
            const TPNLockState st = S.Object.IntLock()->Instance()->State();
            std::fprintf(stderr, "deadlock: owner %u depth %d in-stop %d lost %d\n", st.OwningThread, st.CountLocks,
                         st.InStopCount, st.LostLevels);
            std::abort();
        }
    }
    for (auto& t : threads)
        t.join();

    EXPECT_EQ(S.Failures.load(), 0);
    EXPECT_GT(S.Progress.load(), 0);
    EXPECT_EQ(S.Object.IntLock()->Instance()->State(), TPNLockState {});
    EXPECT_EQ(S.Destroy->Instance()->LockCount(), 0);
    EXPECT_EQ(S.Destroy->Instance()->Destroying(), 0);
}

}  // namespace
}  // namespace dcs
