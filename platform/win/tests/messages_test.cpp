#include "platform/classes/TextForm.h"
#include "platform/win/Application.h"
#include "platform/win/Timer.h"
#include "testing/TestWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace dcs {
namespace {

constexpr UINT WM_PING = WM_APP + 1;

// Every test runs on a manual clock with its own application object.
class MessageCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
        App->SetShowExceptionProc([this](const std::string& m) { Shown.push_back(m); });
    }
    void TearDown() override
    {
        App->ProcessMessages();  // leave no quit or tick behind for the next test
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
        SetTimerLimit(0);
    }
    TManualClock Clock;
    TApplication* App = nullptr;
    std::vector<std::string> Shown;
};

TEST_F(MessageCore, PostsFromSeveralThreadsArriveInOrderOnTheOwningThread)
{
    constexpr int kThreads = 4, kEach = 500;
    std::map<WPARAM, std::vector<LPARAM>> got;
    std::thread::id handlerThread;
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_PING) {
            got[m.WParam].push_back(m.LParam);
            handlerThread = std::this_thread::get_id();
        }
    });
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t)
        senders.emplace_back([wnd, t] {
            for (int i = 0; i < kEach; ++i)
                EXPECT_TRUE(PostMessage(wnd, WM_PING, WPARAM(t), i));
        });
    std::thread quitter([&] {
        for (auto& s : senders)
            s.join();
        PostMessage(wnd, WM_PING, 99, 0);
    });
    App->ModalLoop([&] { return got.count(99) != 0; });
    quitter.join();
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(got[WPARAM(t)].size(), size_t(kEach));
        for (int i = 0; i < kEach; ++i)
            ASSERT_EQ(got[WPARAM(t)][i], i);
    }
    DeallocateHWnd(wnd);
}

TEST_F(MessageCore, TimersCoalesceAndRestartTheirPeriod)
{
    int ticks = 0;
    HWND wnd = 0;
    bool block = false;
    wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg != WM_TIMER)
            return;
        ++ticks;
        EXPECT_EQ(m.WParam, 7u);
        if (block) {
            block = false;
            Clock.Advance(2000);  // a handler busy for two seconds
        }
    });
    ASSERT_EQ(SetTimer(wnd, 7, 1000), 7u);
    Clock.Advance(999);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 0);
    Clock.Advance(1);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 1);
    Clock.Advance(5000);  // five periods pass unattended: one tick, not five
    App->ProcessMessages();
    EXPECT_EQ(ticks, 2);

    block = true;
    Clock.Advance(1000);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 4);  // the blocked tick, then one tick for the two seconds, not two
    App->ProcessMessages();
    EXPECT_EQ(ticks, 4);

    Clock.Advance(600);
    SetTimer(wnd, 7, 1000);  // setting again restarts the period
    Clock.Advance(600);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 4);
    EXPECT_TRUE(KillTimer(wnd, 7));
    Clock.Advance(5000);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 4);
    EXPECT_FALSE(KillTimer(wnd, 7));
    DeallocateHWnd(wnd);
}

TEST_F(MessageCore, NestedModalLoopKeepsTimersAndPostsGoing)
{
    int ticks = 0;
    bool pinged = false, modalDone = false;
    HWND timerWnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_TIMER) {
            ++ticks;
            Clock.Advance(100);
        }
    });
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg == WM_PING && m.WParam == 1) {
            // A modal loop inside a message handler: the outer loop is suspended here.
            std::thread([&] { PostMessage(wnd, WM_PING, 2, 0); }).join();
            App->ModalLoop([&] { return ticks >= 3 && pinged; });
            modalDone = true;
            App->Terminate();
        } else if (m.Msg == WM_PING && m.WParam == 2) {
            pinged = true;
        }
    });
    SetTimer(timerWnd, 1, 100);
    PostMessage(wnd, WM_PING, 1, 0);
    Clock.Advance(100);
    App->Run();
    EXPECT_TRUE(modalDone);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(App->Terminated());
    DeallocateHWnd(wnd);
    DeallocateHWnd(timerWnd);
}

TEST_F(MessageCore, MessagesForDestroyedWindowsAreDropped)
{
    int calls = 0;
    HWND a = 0;
    a = AllocateHWnd([&](TMessage&) {
        ++calls;
        DeallocateHWnd(a);  // destroys itself while a second message is queued
    });
    PostMessage(a, WM_PING, 0, 0);
    PostMessage(a, WM_PING, 0, 0);
    SetTimer(a, 1, 10);
    App->ProcessMessages();
    Clock.Advance(100);
    App->ProcessMessages();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(PostMessage(a, WM_PING, 0, 0));
    EXPECT_EQ(SendMessage(a, WM_PING, 0, 0), 0);
    EXPECT_EQ(SetTimer(a, 1, 10), 0u);

    // Posts racing with the window's destruction from another thread.
    std::atomic<int> handled {0};
    HWND b = AllocateHWnd([&](TMessage&) { ++handled; });
    std::atomic<bool> stop {false};
    std::thread poster([&] {
        while (!stop)
            PostMessage(b, WM_PING, 0, 0);
    });
    while (handled < 100)
        App->HandleMessage();
    DeallocateHWnd(b);
    int after = handled;
    stop = true;
    poster.join();
    App->ProcessMessages();
    EXPECT_EQ(handled, after);
}

TEST_F(MessageCore, TerminateFromAnotherThreadEndsTheLoop)
{
    std::thread t([&] { App->Terminate(); });
    App->Run();
    t.join();
    EXPECT_TRUE(App->Terminated());
}

TEST_F(MessageCore, SendMessageRunsOnTheOwningThread)
{
    std::thread::id ranOn;
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        ranOn = std::this_thread::get_id();
        m.Result = static_cast<LRESULT>(m.WParam * 2);
    });
    EXPECT_EQ(SendMessage(wnd, WM_PING, 21, 0), 42);
    LRESULT fromWorker = 0;
    std::atomic<bool> done {false};
    std::thread worker([&] {
        fromWorker = SendMessage(wnd, WM_PING, 5, 0);
        done = true;
    });
    while (!done)
        App->ProcessMessages();
    worker.join();
    EXPECT_EQ(fromWorker, 10);
    EXPECT_EQ(ranOn, std::this_thread::get_id());

    // Two threads sending to each other's windows at once both get their answers.
    std::atomic<HWND> theirs {0};
    std::atomic<bool> mineDone {false}, theirsDone {false};
    LRESULT theyGot = 0;
    std::thread other([&] {
        theirs = AllocateHWnd([](TMessage& m) { m.Result = 7; });
        theyGot = SendMessage(wnd, WM_PING, 4, 0);
        theirsDone = true;
        while (!mineDone) {
            TMsg m;
            PeekMessage(m, true);
            std::this_thread::yield();
        }
        DeallocateHWnd(theirs);
    });
    while (!theirs)
        std::this_thread::yield();
    EXPECT_EQ(SendMessage(theirs, WM_PING, 0, 0), 7);
    while (!theirsDone)
        App->ProcessMessages();
    mineDone = true;
    other.join();
    EXPECT_EQ(theyGot, 8);
    DeallocateHWnd(wnd);
}

TEST_F(MessageCore, ExceptionsReachingTheLoopAreShownAndTheLoopGoesOn)
{
    int after = 0;
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.WParam == 1)
            throw EConvertError("bad value");
        if (m.WParam == 2)
            throw EAbort("silent");
        if (m.WParam == 3)
            throw 42;
        ++after;
        App->Terminate();
    });
    for (WPARAM w : {1, 2, 3, 4})
        PostMessage(wnd, WM_PING, w, 0);
    App->Run();
    EXPECT_EQ(after, 1);
    EXPECT_EQ(Shown, (std::vector<std::string> {"bad value", ""}));

    std::vector<std::string> replaced;
    App->OnException = [&](TObject* Sender, const std::exception& E) {
        EXPECT_EQ(Sender, App);
        replaced.push_back(E.what());
    };
    try {
        throw Exception("to the handler");
    } catch (...) {
        App->HandleException(App);
    }
    EXPECT_EQ(replaced, std::vector<std::string> {"to the handler"});
    DeallocateHWnd(wnd);
}

TEST_F(MessageCore, TimerComponentArmsOnlyWhenComplete)
{
    TOwned<TTimer> t(Create<TTimer>(nullptr));
    int ticks = 0;
    EXPECT_FALSE(t->Armed());  // no handler yet
    t->SetOnTimer([&](TObject* s) {
        EXPECT_EQ(s, t.get());
        if (++ticks == 2)
            throw Exception("tick failed");
    });
    EXPECT_TRUE(t->Armed());
    t->SetInterval(0);
    EXPECT_FALSE(t->Armed());
    t->SetInterval(500);
    t->SetEnabled(false);
    EXPECT_FALSE(t->Armed());
    t->SetEnabled(true);

    Clock.Advance(300);
    t->SetInterval(500);  // unchanged: the running period goes on
    Clock.Advance(200);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 1);
    Clock.Advance(500);
    App->ProcessMessages();  // the exception goes to the application; the timer runs on
    EXPECT_EQ(Shown, std::vector<std::string> {"tick failed"});
    Clock.Advance(500);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 3);

    SetTimerLimit(1);  // the one timer allowed is ours; a second one is refused
    TOwned<TTimer> other(Create<TTimer>(nullptr));
    try {
        other->SetOnTimer([](TObject*) {});
        ADD_FAILURE();
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
    EXPECT_FALSE(other->Armed());
    EXPECT_TRUE(static_cast<bool>(other->OnTimer()));
}

TEST_F(MessageCore, TimersLoadFromTheTextForm)
{
    TOwned<TTestWindow> form(Create<TTestWindow>(nullptr));
    int ticks = 0;
    form->RegisterMethod<void(TObject*)>("tmEssTimer", [&](TObject*) { ++ticks; });
    const char* text = "object Form1: TTestWindow\n"
                       "  object tmEss: TTimer\n    Enabled = False\n    OnTimer = tmEssTimer\n  end\n"
                       "end\n";
    ReadComponentFromText(text, form.get());
    auto* tm = As<TTimer>(form->FindComponent("tmEss"));
    ASSERT_NE(tm, nullptr);
    EXPECT_FALSE(tm->Armed());
    EXPECT_EQ(tm->Interval(), 1000u);
    EXPECT_EQ(ComponentToText(form.get()), text);
    tm->SetEnabled(true);
    Clock.Advance(1000);
    App->ProcessMessages();
    EXPECT_EQ(ticks, 1);
}

TEST(MessageCoreRealClock, WaitsForATimerOnTheSystemClock)
{
    HWND wnd = AllocateHWnd([](TMessage&) {});
    SetTimer(wnd, 3, 10);
    TMsg msg;
    ASSERT_TRUE(GetMessage(msg));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 3u);
    DeallocateHWnd(wnd);
    PostQuitMessage(5);
    EXPECT_FALSE(GetMessage(msg));
    EXPECT_EQ(msg.wParam, 5u);
}

}  // namespace
}  // namespace dcs
