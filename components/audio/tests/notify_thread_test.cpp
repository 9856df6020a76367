#include "components/audio/SGNotifyThread.h"

#include "components/audio/buffers/SGInternalStore.h"

#include "platform/threads/Sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace dcs {
namespace {

// Dispatches what is pending; counts the messages for the notifiers' window.
int Pump()
{
    const HWND node = TSGMainWindowNode::GetHandle();
    int dispatched = 0;
    TMsg msg;
    while (PeekMessage(msg, true)) {
        dispatched += msg.hwnd == node;
        DispatchMessage(msg);
    }
    return dispatched;
}

class MainThreadNotify : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetCurrentThreadId(), MainThreadID()) << "tests run on the main thread"; }
    void TearDown() override { Pump(); }

    int calls = 0;
    TObject* sender = nullptr;
    TNotifyEvent Handler()
    {
        return [this](TObject* s) {
            ++calls;
            sender = s;
        };
    }
};

TEST_F(MainThreadNotify, RunsAtOnceOnTheMainThreadOrPostsWhenForced)
{
    TSGMainThreadNotify n(Handler());
    n.Notify(false);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, &n);
    EXPECT_EQ(Pump(), 0) << "nothing was posted";

    n.Notify(true);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(n.Signaled());
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(n.Signaled());
}

TEST_F(MainThreadNotify, RequestsFromAWorkerCoalesceIntoOneCall)
{
    TSGMainThreadNotify n(Handler());
    std::thread worker([&n] {
        for (int i = 0; i < 3; ++i)
            n.Notify(false);
    });
    worker.join();
    EXPECT_EQ(calls, 0);
    Pump();
    EXPECT_EQ(calls, 1);
    std::thread again([&n] { n.Notify(false); });  // idle again: posts anew
    again.join();
    Pump();
    EXPECT_EQ(calls, 2);
}

TEST_F(MainThreadNotify, PostForADestroyedNotifierIsIgnored)
{
    TSGMainThreadNotify keeper(Handler());  // keeps the shared window alive
    auto doomed = std::make_unique<TSGMainThreadNotify>(Handler());
    std::thread worker([&doomed] { doomed->Notify(false); });
    worker.join();
    doomed.reset();
    // A new notifier must not receive the old one's message, even at the same address.
    TSGMainThreadNotify successor(Handler());
    EXPECT_EQ(Pump(), 1);
    EXPECT_EQ(calls, 0);

    auto forced = std::make_unique<TSGMainThreadNotify>(Handler());
    forced->Notify(true);
    forced.reset();
    Pump();
    EXPECT_EQ(calls, 0);
}

TEST_F(MainThreadNotify, TheLastNotifierTakesTheWindowAndItsMessagesAlong)
{
    auto only = std::make_unique<TSGMainThreadNotify>(Handler());
    const HWND window = TSGMainWindowNode::GetHandle();
    EXPECT_TRUE(IsWindow(window));
    only->Notify(true);
    only.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Pump(), 0);
    EXPECT_EQ(calls, 0);
}

TEST(NotifyThread, CallsOncePerNotifyAndDropsBeyondTheLimit)
{
    TEvent entered(true, false), release(true, false);
    std::atomic<int> calls {0};
    std::atomic<TObject*> sender {nullptr};
    TComponent owner(nullptr);
    owner.SetName("out1");
    std::unique_ptr<TSGNotifyThread> t(NewThread<TSGNotifyThread>(&owner, [&](TObject* s) {
        sender = s;
        if (calls.fetch_add(1) == 0) {
            entered.SetEvent();
            release.WaitFor(INFINITE);
        }
    }));
    EXPECT_EQ(t->Name(), "out1.TSGNotifyThread");
    EXPECT_EQ(t->Priority(), tpHighest);
    t->Notify();
    ASSERT_EQ(entered.WaitFor(5000), wrSignaled);
    for (int i = 0; i < 2004; ++i)
        t->Notify();
    release.SetEvent();
    for (int i = 0; i < 1000 && calls.load() < 2001; ++i)
        Sleep(5);
    Sleep(20);
    EXPECT_EQ(calls.load(), 2001) << "one running, 2000 waiting, the rest dropped";
    EXPECT_EQ(sender.load(), static_cast<TObject*>(t.get()));
    t->Terminate();
    EXPECT_TRUE(t->Finished());
    t.reset();
}

}  // namespace
}  // namespace dcs
