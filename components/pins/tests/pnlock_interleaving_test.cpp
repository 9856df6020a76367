// The lock's contract as tables of interleavings. Each row runs one request on one of
// three scripted threads and states what it answers (or that it waits), and the lock's
// bookkeeping afterwards.
#include "components/pins/PNLock.h"
#include "components/pins/PNObject.h"
#include "testing/ScriptThread.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace dcs {
namespace {

using test::TScriptThread;

enum Thr {
    A,
    B,
    C
};
enum class Op {
    Write,            // IPNLock.WriteLock
    Read,             // IPNLock.ReadLock
    ObjWrite,         // TPNObject.WriteLock: refused -> empty section object
    WriteSlaveX,      // write section on L with X as slave lock
    WriteX,           // write section on X
    Stop,             // IPNLock.StopLock
    UnlockAll,        // IPNLock.UnlockAll
    UnlockAllFirstX,  // IPNLock.UnlockAllLockInOrder(X)
    Enter,            // destroy lock: Lock
    Destroy,          // destroy lock: DestroyLock
    Release,          // ends the thread's newest section
    Await,            // the thread's waiting request has finished
    StillWaiting,     // the thread's request is still waiting
};
enum class Res {
    Held,
    Nil,
    Empty,
    Done,
    Waits
};

// Expected bookkeeping: owner as a thread index (-1: nobody).
struct St {
    int Owner;
    int Depth;
    int InStop = 0;
    int Lost = 0;
    int Stops = -1;  // checked when >= 0
};

struct Row {
    Thr T;
    Op O;
    Res R;
    std::optional<St> L = std::nullopt;  // state of lock L afterwards
    std::optional<St> X = std::nullopt;  // state of lock X afterwards
};

using Section = std::variant<IPNLockSection, IPNDestroyLockSection>;

class Interleaving {
public:
    Interleaving() : FDestroy(TPNDestroyLock::Create(&FObject))
    {
        for (int t = 0; t < 3; ++t)
            FThreads[t].Run([this, t] { FIds[t] = GetCurrentThreadId(); });
    }
    ~Interleaving()
    {
        // Leave nothing waiting or held behind, newest first.
        for (int t = 0; t < 3; ++t)
            FThreads[t].WaitDone(60000);
        for (int t = 0; t < 3; ++t)
            FThreads[t].Run([this, t] {
                while (!FStacks[t].empty())
                    FStacks[t].pop_back();
            });
    }

    void Play(const std::vector<Row>& ARows)
    {
        int n = 0;
        for (const Row& r : ARows) {
            SCOPED_TRACE("row " + std::to_string(n++));
            Step(r);
            // A waiting request shows in the lock once its thread got that far.
            if (r.R == Res::Waits)
                for (int i = 0; i < 10000 && !Matches(r); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (r.L)
                Check(FObject.IntLock()->Instance()->State(), *r.L, "L");
            if (r.X)
                Check(FX->Instance()->State(), *r.X, "X");
        }
    }

    IPNLock& L() { return *FObject.IntLock(); }

private:
    void Step(const Row& r)
    {
        const int t = r.T;
        if (r.O == Op::Await) {
            ASSERT_TRUE(FThreads[t].WaitDone(10000)) << "request never finished";
            EXPECT_EQ(FResult[t], r.R);
            return;
        }
        if (r.O == Op::StillWaiting) {
            EXPECT_FALSE(FThreads[t].WaitDone(30)) << "request finished too early";
            return;
        }
        FThreads[t].Start([this, t, o = r.O] { FResult[t] = Perform(t, o); });
        if (r.R == Res::Waits) {
            EXPECT_FALSE(FThreads[t].WaitDone(30)) << "request did not wait";
        } else {
            ASSERT_TRUE(FThreads[t].WaitDone(10000)) << "request never finished";
            EXPECT_EQ(FResult[t], r.R);
        }
    }

    // Runs on thread t.
    Res Perform(int t, Op o)
    {
        auto keep = [&](IPNLockSection s) {
            Res res = !s ? Res::Nil : s.Locked() ? Res::Held : Res::Empty;
            if (s)
                FStacks[t].emplace_back(std::move(s));
            return res;
        };
        switch (o) {
        case Op::Write: return keep(L().WriteLock());
        case Op::Read: return keep(L().ReadLock());
        case Op::ObjWrite: return keep(FObject.WriteLock());
        case Op::WriteSlaveX: return keep(L().Instance()->LockSection(true, FX.Get(), false));
        case Op::WriteX: return keep(FX->WriteLock());
        case Op::Stop: return keep(L().StopLock());
        case Op::UnlockAll: FStacks[t].emplace_back(L().UnlockAll()); return Res::Done;
        case Op::UnlockAllFirstX: FStacks[t].emplace_back(L().UnlockAllLockInOrder(FX)); return Res::Done;
        case Op::Enter: {
            auto s = FDestroy->Lock();
            if (!s)
                return Res::Nil;
            FStacks[t].emplace_back(std::move(s));
            return Res::Held;
        }
        case Op::Destroy: FStacks[t].emplace_back(FDestroy->DestroyLock()); return Res::Done;
        case Op::Release: FStacks[t].pop_back(); return Res::Done;
        default: return Res::Done;
        }
    }

    bool Same(const TPNLockState& s, const St& e)
    {
        return s.OwningThread == (e.Owner < 0 ? 0u : FIds[e.Owner]) && s.CountLocks == e.Depth &&
            s.InStopCount == e.InStop && s.LostLevels == e.Lost && (e.Stops < 0 || s.OwnerStops == e.Stops);
    }
    bool Matches(const Row& r)
    {
        return (!r.L || Same(FObject.IntLock()->Instance()->State(), *r.L)) &&
            (!r.X || Same(FX->Instance()->State(), *r.X));
    }

    void Check(const TPNLockState& s, const St& e, const char* name)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(s.OwningThread, e.Owner < 0 ? 0u : FIds[e.Owner]);
        EXPECT_EQ(s.CountLocks, e.Depth);
        EXPECT_EQ(s.InStopCount, e.InStop);
        EXPECT_EQ(s.LostLevels, e.Lost);
        if (e.Stops >= 0) {
            EXPECT_EQ(s.OwnerStops, e.Stops);
        }
    }

public:
    IntfPtr<IPNLock> FX = TPNLock::Create();

private:
    TPNObject FObject;
    IntfPtr<IPNDestroyLock> FDestroy;
    std::array<TScriptThread, 3> FThreads;
    std::array<std::uint32_t, 3> FIds {};
    std::array<Res, 3> FResult {};
    std::array<std::vector<Section>, 3> FStacks;
};

constexpr St Free {-1, 0};

struct Table {
    const char* Name;
    std::vector<Row> Rows;
};

std::ostream& operator<<(std::ostream& os, const Table& t) { return os << t.Name; }

class LockInterleaving : public ::testing::TestWithParam<Table> {};

TEST_P(LockInterleaving, Plays)
{
    Interleaving play;
    play.Play(GetParam().Rows);
}

const Table Tables[] = {
    {"OwnerReentersOthersWaitForTheLastRelease",
     {
         {A, Op::Write, Res::Held, St {A, 1}},
         {A, Op::Read, Res::Held, St {A, 2}},
         {B, Op::Write, Res::Waits},
         {A, Op::Release, Res::Done, St {A, 1}},
         {B, Op::StillWaiting, Res::Waits},
         {A, Op::Release, Res::Done},
         {B, Op::Await, Res::Held, St {B, 1}},
         {B, Op::Release, Res::Done, Free},
     }},
    {"StopRefusesOtherThreadsWhichRetryAfterwards",
     {
         {A, Op::Stop, Res::Held, St {A, 1, 1, 0, 1}},
         {B, Op::Write, Res::Nil, St {A, 1, 1}},
         {B, Op::Read, Res::Nil, St {A, 1, 1}},
         {A, Op::Write, Res::Held, St {A, 2, 1}},
         {A, Op::Release, Res::Done, St {A, 1, 1}},
         {A, Op::Release, Res::Done, Free},
         {B, Op::Write, Res::Held, St {B, 1}},
         {B, Op::Release, Res::Done, Free},
     }},
    {"PendingStopRefusesNewcomersButNotTheHolder",
     {
         {B, Op::Write, Res::Held, St {B, 1}},
         {A, Op::Stop, Res::Waits, St {B, 1, 1}},
         {C, Op::Write, Res::Nil},
         {B, Op::Read, Res::Held, St {B, 2, 1}},
         {B, Op::Release, Res::Done},
         {B, Op::Release, Res::Done},
         {A, Op::Await, Res::Held, St {A, 1, 1}},
         {A, Op::Release, Res::Done, Free},
     }},
    // A lock that counts refusals and lets the end of a stop take back "a" count would
    // take B's refusal instead of A's level here: A would own the lock for good and C
    // would wait forever.
    {"RefusedSectionOutlivingTheStopLeavesNoCount",
     {
         {A, Op::Stop, Res::Held, St {A, 1, 1}},
         {B, Op::ObjWrite, Res::Empty, St {A, 1, 1}},
         {A, Op::Release, Res::Done, Free},
         {C, Op::Write, Res::Held, St {C, 1}},
         {B, Op::Release, Res::Done, St {C, 1}},
         {C, Op::Release, Res::Done, Free},
         {A, Op::Write, Res::Held, St {A, 1}},
         {A, Op::Release, Res::Done, Free},
     }},
    {"SeveralRefusedSectionsEndInAnyOrder",
     {
         {A, Op::Stop, Res::Held},
         {B, Op::ObjWrite, Res::Empty},
         {C, Op::ObjWrite, Res::Empty},
         {A, Op::Release, Res::Done, Free},
         {C, Op::Release, Res::Done, Free},
         {B, Op::Write, Res::Held, St {B, 1}},
         {B, Op::Release, Res::Done, Free},
         {B, Op::Release, Res::Done, Free},
     }},
    {"UnlockAllFreesEveryLevelAndRestoresThem",
     {
         {A, Op::Write, Res::Held},
         {A, Op::Read, Res::Held},
         {A, Op::Write, Res::Held, St {A, 3}},
         {A, Op::UnlockAll, Res::Done, Free},
         {B, Op::Write, Res::Held, St {B, 1}},
         {A, Op::Release, Res::Waits},
         {B, Op::Release, Res::Done},
         {A, Op::Await, Res::Done, St {A, 3}},
         {A, Op::Release, Res::Done, St {A, 2}},
         {A, Op::Release, Res::Done},
         {A, Op::Release, Res::Done, Free},
     }},
    {"UnlockAllByANonOwnerChangesNothing",
     {
         {A, Op::Write, Res::Held},
         {B, Op::UnlockAll, Res::Done, St {A, 1}},
         {B, Op::Release, Res::Done, St {A, 1}},
         {A, Op::Release, Res::Done, Free},
     }},
    // The restore gives up while another thread stops the lock; the levels it did not
    // get back end later without touching the stopper's count.
    {"RestoreRefusedDuringAnotherThreadsStop",
     {
         {A, Op::Write, Res::Held},
         {A, Op::UnlockAll, Res::Done, Free},
         {B, Op::Stop, Res::Held, St {B, 1, 1}},
         {A, Op::Release, Res::Done, St {B, 1, 1, 1}},
         {A, Op::Write, Res::Nil},
         {B, Op::Release, Res::Done, St {-1, 0, 0, 1}},
         {C, Op::Write, Res::Held, St {C, 1, 0, 1}},
         {A, Op::Release, Res::Done, St {C, 1}},
         {C, Op::Release, Res::Done, Free},
     }},
    // A stopper that gives up its levels (as the destroy handshake does) takes its stop
    // back; meanwhile the stop still refuses others.
    {"StopperUnlocksAllAndTakesItsStopBack",
     {
         {A, Op::Stop, Res::Held},
         {A, Op::Write, Res::Held, St {A, 2, 1, 0, 1}},
         {A, Op::UnlockAll, Res::Done, St {-1, 0, 1}},
         {B, Op::Write, Res::Nil},
         {A, Op::Release, Res::Done, St {A, 2, 1, 0, 1}},
         {A, Op::Release, Res::Done, St {A, 1, 1, 0, 1}},
         {A, Op::Release, Res::Done, Free},
     }},
    {"UnlockAllLockInOrderTakesTheFirstLockBeforeThisOne",
     {
         {A, Op::Write, Res::Held},
         {A, Op::UnlockAllFirstX, Res::Done, Free},
         {C, Op::WriteX, Res::Held, Free, St {C, 1}},
         {A, Op::Release, Res::Waits},
         // L stays free while A waits for X: X is taken first.
         {B, Op::Write, Res::Held, St {B, 1}},
         {B, Op::Release, Res::Done, Free},
         {C, Op::Release, Res::Done},
         {A, Op::Await, Res::Done, St {A, 1}, Free},
         {A, Op::Release, Res::Done, Free, Free},
     }},
    {"ASectionWithASlaveGivesUpTheSlaveInsteadOfDeadlocking",
     {
         // A holds X (its owner's lock) and asks for L with X as slave while B holds L
         // and asks for X: after its twentieth try A lets go of X until its section ends.
         {A, Op::WriteX, Res::Held, std::nullopt, St {A, 1}},
         {B, Op::Write, Res::Held, St {B, 1}},
         {A, Op::WriteSlaveX, Res::Waits},
         {B, Op::WriteX, Res::Waits},
         {B, Op::Await, Res::Held, St {B, 1}, St {B, 1}},
         {B, Op::Release, Res::Done, St {B, 1}, Free},
         {B, Op::Release, Res::Done},
         {A, Op::Await, Res::Held, St {A, 1}, Free},
         {A, Op::Release, Res::Done, Free, St {A, 1}},
         {A, Op::Release, Res::Done, Free, Free},
     }},
    // B is inside a call guarded by the destroy lock when A, holding a stop on the
    // object's lock, starts destroying it.
    {"DestroyLockWaitsForRunningCallsAndRefusesNewOnes",
     {
         {B, Op::Enter, Res::Held},
         {A, Op::Stop, Res::Held, St {A, 1, 1}},
         {A, Op::Destroy, Res::Waits, St {-1, 0, 1}},
         {C, Op::Enter, Res::Nil},
         {B, Op::ObjWrite, Res::Empty},
         {B, Op::Release, Res::Done},
         {A, Op::StillWaiting, Res::Waits},
         {B, Op::Release, Res::Done},
         {A, Op::Await, Res::Done, St {A, 1, 1, 0, 1}},
         {A, Op::Enter, Res::Held},
         {C, Op::Enter, Res::Nil},
         {A, Op::Release, Res::Done},
         {A, Op::Release, Res::Done},
         {C, Op::Enter, Res::Held},
         {C, Op::Release, Res::Done},
         {A, Op::Release, Res::Done, Free},
     }},
    {"NestedDestroyLocksRefuseOthersUntilTheLastEnds",
     {
         {A, Op::Destroy, Res::Done},
         {A, Op::Destroy, Res::Done},
         {B, Op::Enter, Res::Nil},
         {A, Op::Release, Res::Done},
         {B, Op::Enter, Res::Nil},
         {A, Op::Enter, Res::Held},
         {A, Op::Release, Res::Done},
         {A, Op::Release, Res::Done},
         {B, Op::Enter, Res::Held},
         {B, Op::Release, Res::Done, Free},
     }},
};

INSTANTIATE_TEST_SUITE_P(Tables, LockInterleaving, ::testing::ValuesIn(Tables),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace dcs
