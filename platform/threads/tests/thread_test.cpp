#include "platform/threads/Thread.h"

#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace dcs {
namespace {

// A thread running a given body; the body gets the thread to poll Terminated().
class TFuncThread : public TThread {
public:
    using TBody = std::function<void(TFuncThread&)>;
    explicit TFuncThread(TBody Body, bool CreateSuspended = false, std::string Name = {})
        : TThread(CreateSuspended, std::move(Name)), FBody(std::move(Body))
    {
    }
    ~TFuncThread() override { TerminateAndWait(); }
    using TThread::SetReturnValue;

protected:
    void Execute() override { FBody(*this); }

private:
    TBody FBody;
};

// Sets a field in its own constructor, after the base part is built; a thread that
// started from the base constructor would see the field unset.
class TLateFieldThread : public TThread {
public:
    TLateFieldThread()
    {
        Sleep(20);
        FField = 42;
    }
    ~TLateFieldThread() override { TerminateAndWait(); }
    int Seen = 0;

protected:
    void Execute() override { Seen = FField; }

private:
    int FField = 0;
};

TEST(Thread, RunsOnlyAfterTheDerivedConstructor)
{
    std::unique_ptr<TLateFieldThread> t(NewThread<TLateFieldThread>());
    t->WaitFor();
    EXPECT_EQ(t->Seen, 42);
}

TEST(Thread, CreatedSuspendedRunsOnStart)
{
    std::atomic<bool> ran {false};
    std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>([&](TFuncThread&) { ran = true; }, true));
    EXPECT_THROW(t->WaitFor(), EThread);
    Sleep(20);
    EXPECT_FALSE(ran);
    t->Start();
    EXPECT_THROW(t->Start(), EThread);
    t->WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(t->Finished());
}

TEST(Thread, WaitForGivesTheReturnValueAndTheIdIsTheThreads)
{
    uint32_t idInside = 0;
    bool selfWaitRefused = false;
    std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>([&](TFuncThread& self) {
        idInside = GetCurrentThreadId();
        try {
            self.WaitFor();
        } catch (const EThread&) {
            selfWaitRefused = true;
        }
        self.SetReturnValue(-7);
    }));
    const uint32_t id = t->ThreadID();
    EXPECT_EQ(t->WaitFor(), -7);
    EXPECT_EQ(t->WaitFor(), -7);  // a finished thread answers again at once
    EXPECT_NE(id, 0u);
    EXPECT_EQ(idInside, id);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_TRUE(selfWaitRefused);
}

TEST(Thread, ExceptionEscapingExecuteIsKept)
{
    struct Case {
        const char* Name;
        TFuncThread::TBody Body;
    } cases[] = {
        {"framework exception",
         [](TFuncThread& self) {
             self.SetReturnValue(3);
             throw EConvertError("'x' is not a valid integer value");
         }},
        {"any value", [](TFuncThread&) { throw 42; }},
    };
    for (auto& c : cases) {
        std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>(c.Body));
        t->WaitFor();
        ASSERT_TRUE(t->FatalException()) << c.Name;
    }

    std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>(cases[0].Body));
    EXPECT_EQ(t->WaitFor(), 3);
    try {
        std::rethrow_exception(t->FatalException());
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
    }

    std::unique_ptr<TFuncThread> clean(NewThread<TFuncThread>([](TFuncThread&) {}));
    clean->WaitFor();
    EXPECT_FALSE(clean->FatalException());
}

TEST(Thread, DestroyingARunningThreadTerminatesAndWaitsForIt)
{
    std::atomic<bool> ended {false};
    auto* t = NewThread<TFuncThread>([&](TFuncThread& self) {
        while (!self.Terminated())
            Sleep(1);
        ended = true;
    });
    Sleep(5);
    EXPECT_FALSE(ended);
    delete t;
    EXPECT_TRUE(ended);

    delete NewThread<TFuncThread>([](TFuncThread&) {}, true);  // never started: no wait
}

// Counts its destruction, which happens on its own thread.
class TSelfFreeingThread : public TThread {
public:
    TSelfFreeingThread(TSemaphore& Destroyed, bool Throw) : FDestroyed(Destroyed), FThrow(Throw)
    {
        SetFreeOnTerminate(true);
    }
    ~TSelfFreeingThread() override { FDestroyed.Release(); }

protected:
    void Execute() override
    {
        if (FThrow)
            throw EAbort("");
    }

private:
    TSemaphore& FDestroyed;
    bool FThrow;
};

TEST(Thread, FreeOnTerminateDeletesTheObjectAfterTheRun)
{
    TSemaphore destroyed(0, 10);
    for (bool raise : {false, true, false})
        NewThread<TSelfFreeingThread>(destroyed, raise);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(destroyed.WaitFor(5000), wrSignaled) << i;

    // Waiting for a thread that frees itself is refused instead of touching freed memory.
    TEvent go(true, false);
    std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>([&](TFuncThread&) { go.WaitFor(INFINITE); }));
    t->SetFreeOnTerminate(true);
    EXPECT_THROW(t->WaitFor(), EInvalidOperation);
    t->SetFreeOnTerminate(false);
    go.SetEvent();
    t->WaitFor();
}

// Letting go of a thread never waits for it: a running one frees itself when it ends, an
// ended or never started one is freed at once.
TEST(Thread, FreeWhenFinishedNeverWaits)
{
    class TCounted : public TFuncThread {
    public:
        TCounted(TBody Body, TSemaphore& Destroyed, bool Suspended)
            : TFuncThread(std::move(Body), Suspended), FDestroyed(Destroyed)
        {
        }
        ~TCounted() override { FDestroyed.Release(); }

    private:
        TSemaphore& FDestroyed;
    };
    TSemaphore destroyed(0, 10);
    TEvent go(true, false);
    auto* running = NewThread<TCounted>([&](TFuncThread&) { go.WaitFor(INFINITE); }, destroyed, false);
    running->Terminate();
    running->FreeWhenFinished();
    EXPECT_EQ(destroyed.WaitFor(50), wrTimeout) << "still running: not freed, not waited for";
    go.SetEvent();
    ASSERT_EQ(destroyed.WaitFor(5000), wrSignaled) << "freed by its own thread";

    auto* ended = NewThread<TCounted>([](TFuncThread&) {}, destroyed, false);
    while (!ended->Finished())
        Sleep(1);
    ended->FreeWhenFinished();
    EXPECT_EQ(destroyed.WaitFor(0), wrSignaled);
    NewThread<TCounted>([](TFuncThread&) {}, destroyed, true)->FreeWhenFinished();
    EXPECT_EQ(destroyed.WaitFor(0), wrSignaled) << "never started";
}

TEST(Thread, NameIsKeptWholeAndTruncatedForTheSystem)
{
    struct Case {
        std::string Name, System;
    } cases[] = {
        {"", ""},
        {"sg1.TSGClockGen", "sg1.TSGClockGen"},         // exactly 15
        {"mixLeft.TSGClockGen", "mixLeft.TSGCloc"},     // cut to 15
        {"abcdefghijklmn\xC3\xA9x", "abcdefghijklmn"},  // never half a character
        {"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
         "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(TThread::SystemThreadName(c.Name), c.System) << c.Name;
        if (c.Name.empty())
            continue;
        char seen[32] = {};
        std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>(
            [&](TFuncThread&) { pthread_getname_np(pthread_self(), seen, sizeof seen); }, false, c.Name));
        t->WaitFor();
        EXPECT_EQ(std::string(seen), c.System) << c.Name;
        EXPECT_EQ(t->Name(), c.Name);
    }
}

TEST(Thread, PriorityIsAppliedBestEffort)
{
    const int baseNice = getpriority(PRIO_PROCESS, 0);
    TEvent changed(false, false), checked(false, false);
    int niceBefore = 0, niceAfter = 0;
    std::unique_ptr<TFuncThread> t(NewThread<TFuncThread>(
        [&](TFuncThread&) {
            niceBefore = getpriority(PRIO_PROCESS, 0);
            checked.SetEvent();
            changed.WaitFor(INFINITE);
            niceAfter = getpriority(PRIO_PROCESS, 0);
        },
        true));
    t->SetPriority(tpLower);  // before the start
    t->Start();
    checked.WaitFor(INFINITE);
    t->SetPriority(tpLowest);  // while it runs
    changed.SetEvent();
    t->WaitFor();
    EXPECT_EQ(niceBefore, std::min(baseNice + 5, 19));
    EXPECT_EQ(niceAfter, std::min(baseNice + 10, 19));

    int policy = -1;
    std::unique_ptr<TFuncThread> idle(
        NewThread<TFuncThread>([&](TFuncThread&) { policy = sched_getscheduler(0); }, true));
    idle->SetPriority(tpIdle);
    idle->Start();
    idle->WaitFor();
    EXPECT_EQ(policy, SCHED_IDLE);

    // Raising may need a privilege the tests do not have: the thread runs all the same.
    for (TThreadPriority p : {tpHighest, tpTimeCritical}) {
        bool ran = false;
        std::unique_ptr<TFuncThread> high(NewThread<TFuncThread>([&](TFuncThread&) { ran = true; }, true));
        high->SetPriority(p);
        high->Start();
        high->WaitFor();
        EXPECT_TRUE(ran);
        EXPECT_EQ(high->Priority(), p);
    }
}

}  // namespace
}  // namespace dcs
