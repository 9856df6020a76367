#include "components/pins/CKLock.h"
#include "testing/ScriptThread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace dcs {
namespace {

using test::TScriptThread;

// Counts callbacks and checks that each runs while the calling thread owns the lock.
struct Notes {
    IntfPtr<ICKLock> Lock;
    std::vector<std::string> Calls;
    bool AllUnderLock = true;

    Notes() : Lock(TCKLock::Create([this] { Note("notify"); })) {}
    void Note(const char* AWhat)
    {
        Calls.push_back(AWhat);
        AllUnderLock &= Lock->Instance()->State().OwningThread == GetCurrentThreadId();
    }
    TCKPropUpdateFunc Updated()
    {
        return [this] { Note("updated"); };
    }
};

template <class T> struct ClampCase {
    const char* Form;
    T Start, Value, Min, Max;
    T Stored;
    bool Changed;
};

template <class T> void PlayClamps(const std::vector<ClampCase<T>>& ACases)
{
    for (const auto& c : ACases) {
        SCOPED_TRACE(std::string(c.Form) + " " + std::to_string(double(c.Value)));
        Notes n;
        T field = c.Start;
        const std::string form = c.Form;
        const bool changed = form == "Min" ? n.Lock->SetterMin(field, c.Value, c.Min)
            : form == "Max"                ? n.Lock->SetterMax(field, c.Value, c.Max)
            : form == "MinMax"             ? n.Lock->SetterMinMax(field, c.Value, c.Min, c.Max)
                                           : n.Lock->Setter(field, c.Value);
        EXPECT_EQ(changed, c.Changed);
        if (std::isnan(double(c.Stored)))
            EXPECT_TRUE(std::isnan(double(field)));
        else
            EXPECT_EQ(field, c.Stored);
        EXPECT_EQ(n.Calls.size(), c.Changed ? 1u : 0u);
    }
}

TEST(CKLockSetter, ClampsBeforeStoring)
{
    PlayClamps<std::int32_t>({
        {"MinMax", 5, 0, 1, 32, 1, true},
        {"MinMax", 5, 40, 1, 32, 32, true},
        {"MinMax", 5, 7, 10, 5, 5, false},  // minimum above maximum: the maximum wins
        {"MinMax", 0, -3, 10, 5, 5, true},
        {"Min", 1, -7, -5, 0, -5, true},
    });
    PlayClamps<std::uint16_t>({
        {"Min", 0, 65535, 1, 0, 65535, true},  // compared unsigned
        {"Max", 0, 65535, 0, 100, 100, true},
    });
    PlayClamps<std::uint32_t>({{"MinMax", 0, 0xFFFFFFFFu, 1, 0x80000000u, 0x80000000u, true}});
    PlayClamps<std::int64_t>({
        {"Max", 5, 1, 0, 0, 0, true},
        {"Max", 5, -1, 0, 0, -1, true},
        {"Min", 0, INT64_MIN, -(std::int64_t(1) << 40), 0, -(std::int64_t(1) << 40), true},
    });
    const double nan = std::numeric_limits<double>::quiet_NaN();
    PlayClamps<double>({
        {"Plain", 1.5, nan, 0, 0, 1.5, false},  // a NaN equals everything: nothing stored
        {"Min", 1.5, nan, 0.25, 0, 0.25, true},
        {"MinMax", 1.5, nan, 0.25, 2, 0.25, true},
        {"Max", 1.5, nan, 0, 2, 1.5, false},
        {"Plain", 0.0, -0.0, 0, 0, 0.0, false},
    });
    PlayClamps<float>({{"MinMax", 0.5f, 3.0f, 0.0f, 1.0f, 1.0f, true}});
}

TEST(CKLockSetter, StoresOnlyAChangeAndNotifiesAfterTheUpdateUnderTheLock)
{
    Notes n;
    std::string text;
    EXPECT_FALSE(n.Lock->Setter(text, std::string()));
    EXPECT_TRUE(n.Lock->Setter(text, "abc", n.Updated()));
    EXPECT_FALSE(n.Lock->Setter(text, "abc", n.Updated()));
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(n.Calls, (std::vector<std::string> {"updated", "notify"}));
    EXPECT_TRUE(n.AllUnderLock);
    EXPECT_EQ(n.Lock->Instance()->State(), TPNLockState {}) << "lock given back";

    bool flag = false;
    EXPECT_TRUE(n.Lock->Setter(flag, true));
    auto source = TSGClockSource::csInternal;
    EXPECT_TRUE(n.Lock->Setter(source, TSGClockSource::csExternal));
    EXPECT_EQ(n.Lock->Getter(source), TSGClockSource::csExternal);

    IntfPtr<ICKLock> silent = TCKLock::Create();
    int value = 0;
    EXPECT_TRUE(silent->Setter(value, 3)) << "no callbacks, still a change";
}

TEST(CKLockSetter, ACallbackThatRaisesLeavesTheLockFree)
{
    Notes n;
    int value = 0;
    EXPECT_THROW(n.Lock->Setter(value, 1, [] { throw std::runtime_error("rebuild failed"); }), std::runtime_error);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(n.Lock->Instance()->State(), TPNLockState {});
}

// A copy shares the lock but not the notification; a concurrent writer waits.
TEST(CKLockSetter, CopiesShareOneLockAndExcludeEachOther)
{
    int ownerNotes = 0, copyNotes = 0;
    IntfPtr<ICKLock> owner = TCKLock::Create([&] { ++ownerNotes; });
    IntfPtr<ICKLock> copy = TCKLock::CreateCopy(*owner, [&] { ++copyNotes; });
    EXPECT_EQ(owner->Instance(), copy->Instance());

    int a = 0, b = 0;
    TPNEvent inside(true, false), goOn(true, false);
    TScriptThread writer, other;
    writer.Start([&] {
        copy->Setter(a, 1, [&] {
            inside.Signal();
            goOn.WaitFor(INFINITE);
        });
    });
    ASSERT_TRUE(inside.WaitFor(10000));
    other.Start([&] { owner->Setter(b, 2); });
    EXPECT_FALSE(other.WaitDone(50)) << "the second writer waits for the first";
    EXPECT_EQ(b, 0);
    goOn.Signal();
    ASSERT_TRUE(writer.WaitDone(10000));
    ASSERT_TRUE(other.WaitDone(10000));
    EXPECT_EQ(b, 2);
    EXPECT_EQ(copyNotes, 1);
    EXPECT_EQ(ownerNotes, 1);
}

TEST(CKPairedLock, HoldsBothLocksAndTakesThemBackInOrder)
{
    IntfPtr<ICKLock> first = TCKLock::Create(), second = TCKLock::Create();
    IntfPtr<ICKLock> pair = TCKPairedLock::Create(first, second);
    EXPECT_EQ(pair->Instance(), first->Instance());
    TScriptThread t;
    IPNLockSection held;
    t.Run([&] { held = pair->WriteLock(); });
    EXPECT_TRUE(held.Locked());
    EXPECT_EQ(first->Instance()->State().CountLocks, 1);
    EXPECT_EQ(second->Instance()->State().CountLocks, 1);

    // Give both up; while a third thread holds the first lock, the restore waits with the
    // second lock still free.
    IPNLockSection unlock;
    t.Run([&] { unlock = pair->UnlockAll(); });
    EXPECT_EQ(first->Instance()->State(), TPNLockState {});
    IPNLockSection mine = first->WriteLock();
    t.Start([&] { unlock.Release(); });
    EXPECT_FALSE(t.WaitDone(50));
    EXPECT_EQ(second->Instance()->State(), TPNLockState {});
    mine.Release();
    ASSERT_TRUE(t.WaitDone(10000));
    EXPECT_EQ(first->Instance()->State().CountLocks, 1);
    EXPECT_EQ(second->Instance()->State().CountLocks, 1);
    t.Run([&] { held.Release(); });
    EXPECT_EQ(first->Instance()->State(), TPNLockState {});
    EXPECT_EQ(second->Instance()->State(), TPNLockState {});
}

// While another thread stops either half, the pair refuses as a whole and leaves no level
// behind on the other half.
TEST(CKPairedLock, AStopOnEitherHalfRefusesThePair)
{
    for (int half = 0; half < 2; ++half) {
        SCOPED_TRACE(half);
        IntfPtr<ICKLock> first = TCKLock::Create(), second = TCKLock::Create();
        IntfPtr<ICKLock> pair = TCKPairedLock::Create(first, second);
        test::WhileStopped(half == 0 ? first : second, [&] {
            EXPECT_FALSE(pair->WriteLock());
            EXPECT_FALSE(pair->ReadLock());
            const TPNLockState free = (half == 0 ? second : first)->Instance()->State();
            EXPECT_EQ(free.CountLocks, 0);
        });
        EXPECT_TRUE(pair->WriteLock().Locked());
    }
}

}  // namespace
}  // namespace dcs
