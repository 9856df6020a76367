#include "platform/win/Messages.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace dcs {

namespace {

constexpr size_t kDefaultTimerLimit = 10000;
constexpr UINT kMinTimerMs = 10;

struct TSent {
    TMsg Msg;
    LRESULT Result = 0;
    bool Done = false;
};

struct TTimerRec {
    UINT Interval;
    uint64_t Due;
};

struct TQueue {
    std::mutex M;
    std::condition_variable CV;
    std::deque<TMsg> Posted;
    std::deque<std::shared_ptr<TSent>> Sent;
    std::map<std::pair<HWND, UINT_PTR>, TTimerRec> Timers;
    bool Quit = false;
    int QuitCode = 0;
    std::thread::id Owner = std::this_thread::get_id();
};

struct TWindow {
    std::shared_ptr<TWndMethod> Method;
    std::shared_ptr<TQueue> Queue;
};

// Lock order: GlobalLock before any queue's lock.
struct TGlobal {
    std::mutex Lock;
    std::unordered_map<HWND, TWindow> Windows;
    std::vector<std::weak_ptr<TQueue>> Queues;
    HWND NextHandle = 0x10000;
    size_t TimerCount = 0;
    size_t TimerLimit = kDefaultTimerLimit;
    std::condition_variable SentDone;
};

TGlobal& G()
{
    static TGlobal* g = new TGlobal;  // outlives every thread's queue
    return *g;
}

std::atomic<TMessageClock*> InstalledClock {nullptr};

uint64_t SystemNowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::shared_ptr<TQueue>& CurrentQueue()
{
    thread_local std::shared_ptr<TQueue> q;
    if (!q) {
        q = std::make_shared<TQueue>();
        TGlobal& g = G();
        std::lock_guard<std::mutex> lk(g.Lock);
        std::erase_if(g.Queues, [](const std::weak_ptr<TQueue>& w) { return w.expired(); });
        g.Queues.push_back(q);
    }
    return q;
}

void WakeAll()
{
    TGlobal& g = G();
    std::vector<std::shared_ptr<TQueue>> qs;
    {
        std::lock_guard<std::mutex> lk(g.Lock);
        for (auto& w : g.Queues)
            if (auto q = w.lock())
                qs.push_back(std::move(q));
    }
    for (auto& q : qs) {
        std::lock_guard<std::mutex> lk(q->M);
        q->CV.notify_all();
    }
}

bool FindWindow(HWND Wnd, TWindow& Out)
{
    TGlobal& g = G();
    std::lock_guard<std::mutex> lk(g.Lock);
    auto it = g.Windows.find(Wnd);
    if (it == g.Windows.end())
        return false;
    Out = it->second;
    return true;
}

// Runs Fn(global, queue of Wnd) under both locks; Otherwise when Wnd is unknown.
template <class R, class F> R WithWindowQueue(HWND Wnd, R Otherwise, F Fn)
{
    TGlobal& g = G();
    std::lock_guard<std::mutex> lk(g.Lock);
    auto it = g.Windows.find(Wnd);
    if (it == g.Windows.end())
        return Otherwise;
    TQueue& q = *it->second.Queue;
    std::lock_guard<std::mutex> qk(q.M);
    return Fn(g, q);
}

LRESULT CallWindow(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWindow w;
    if (!FindWindow(Wnd, w))
        return 0;
    TMessage m {Msg, WParam, LParam, 0};
    // The method is held by this call, so the window may destroy itself meanwhile.
    (*w.Method)(m);
    return m.Result;
}

// Handles every message sent to this thread; called with no lock held.
void HandleSent(TQueue& Q)
{
    for (;;) {
        std::shared_ptr<TSent> s;
        {
            std::lock_guard<std::mutex> lk(Q.M);
            if (Q.Sent.empty())
                return;
            s = Q.Sent.front();
            Q.Sent.pop_front();
        }
        LRESULT r = 0;
        try {
            r = CallWindow(s->Msg.hwnd, s->Msg.message, s->Msg.wParam, s->Msg.lParam);
        } catch (...) {
            // The sender cannot receive our exception; it gets 0.
        }
        TGlobal& g = G();
        {
            std::lock_guard<std::mutex> lk(g.Lock);
            s->Result = r;
            s->Done = true;
        }
        g.SentDone.notify_all();
    }
}

// Takes the next deliverable message under Q.M; timers last.
bool TakeMessage(TQueue& Q, TMsg& Msg, bool Remove)
{
    if (!Q.Posted.empty()) {
        Msg = Q.Posted.front();
        if (Remove)
            Q.Posted.pop_front();
        return true;
    }
    if (Q.Quit) {
        Msg = TMsg {0, WM_QUIT, static_cast<WPARAM>(Q.QuitCode), 0};
        if (Remove)
            Q.Quit = false;
        return true;
    }
    if (Q.Timers.empty())
        return false;
    uint64_t now = MessageClockNow();
    auto due = Q.Timers.end();
    for (auto it = Q.Timers.begin(); it != Q.Timers.end(); ++it)
        if (it->second.Due <= now && (due == Q.Timers.end() || it->second.Due < due->second.Due))
            due = it;
    if (due == Q.Timers.end())
        return false;
    Msg = TMsg {due->first.first, WM_TIMER, due->first.second, 0};
    // One tick for however many periods went by; the period restarts from now.
    if (Remove)
        due->second.Due = now + due->second.Interval;
    return true;
}

}  // namespace

uint64_t TManualClock::NowMs() { return FNow.load(); }

void TManualClock::Advance(uint64_t Ms)
{
    FNow.fetch_add(Ms);
    WakeAll();
}

void SetMessageClock(TMessageClock* Clock)
{
    InstalledClock.store(Clock);
    WakeAll();
}

uint64_t MessageClockNow()
{
    TMessageClock* c = InstalledClock.load();
    return c ? c->NowMs() : SystemNowMs();
}

HWND AllocateHWnd(TWndMethod Method)
{
    std::shared_ptr<TQueue> q = CurrentQueue();
    TGlobal& g = G();
    std::lock_guard<std::mutex> lk(g.Lock);
    HWND h = g.NextHandle++;
    g.Windows[h] = TWindow {std::make_shared<TWndMethod>(std::move(Method)), q};
    return h;
}

void DeallocateHWnd(HWND Wnd)
{
    TGlobal& g = G();
    std::shared_ptr<TQueue> q;
    {
        std::lock_guard<std::mutex> lk(g.Lock);
        auto it = g.Windows.find(Wnd);
        if (it == g.Windows.end())
            return;
        q = it->second.Queue;
        g.Windows.erase(it);
        std::lock_guard<std::mutex> qk(q->M);
        std::erase_if(q->Posted, [Wnd](const TMsg& m) { return m.hwnd == Wnd; });
        for (auto t = q->Timers.begin(); t != q->Timers.end();) {
            if (t->first.first == Wnd) {
                t = q->Timers.erase(t);
                --g.TimerCount;
            } else {
                ++t;
            }
        }
    }
    g.SentDone.notify_all();
}

bool IsWindow(HWND Wnd)
{
    TWindow w;
    return FindWindow(Wnd, w);
}

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return WithWindowQueue(Wnd, false, [&](TGlobal&, TQueue& q) {
        q.Posted.push_back(TMsg {Wnd, Msg, WParam, LParam});
        q.CV.notify_all();
        return true;
    });
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TWindow w;
    if (!FindWindow(Wnd, w))
        return 0;
    if (w.Queue->Owner == std::this_thread::get_id())
        return CallWindow(Wnd, Msg, WParam, LParam);
    auto s = std::make_shared<TSent>();
    s->Msg = TMsg {Wnd, Msg, WParam, LParam};
    TGlobal& g = G();
    if (!WithWindowQueue(Wnd, false, [&](TGlobal&, TQueue& q) {
            q.Sent.push_back(s);
            q.CV.notify_all();
            return true;
        }))
        return 0;
    // A thread sending to another may itself be sent to while it waits (the two sending
    // to each other); it handles those calls meanwhile, so neither waits for ever.
    g.SentDone.notify_all();
    TQueue& own = *CurrentQueue();
    for (;;) {
        HandleSent(own);
        std::unique_lock<std::mutex> lk(g.Lock);
        g.SentDone.wait(lk, [&] {
            std::lock_guard<std::mutex> qk(own.M);
            return s->Done || !g.Windows.count(Wnd) || !own.Sent.empty();
        });
        // A window destroyed before its turn answers 0 instead of leaving the caller hanging.
        if (s->Done || !g.Windows.count(Wnd))
            return s->Done ? s->Result : 0;
    }
}

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse)
{
    if (IDEvent == 0)
        return 0;
    return WithWindowQueue(Wnd, UINT_PTR(0), [&](TGlobal& g, TQueue& q) -> UINT_PTR {
        auto key = std::make_pair(Wnd, IDEvent);
        bool exists = q.Timers.count(key) != 0;
        if (!exists && g.TimerCount >= g.TimerLimit)
            return 0;
        UINT interval = std::max(Elapse, kMinTimerMs);
        q.Timers[key] = TTimerRec {interval, MessageClockNow() + interval};
        if (!exists)
            ++g.TimerCount;
        q.CV.notify_all();
        return IDEvent;
    });
}

bool KillTimer(HWND Wnd, UINT_PTR IDEvent)
{
    return WithWindowQueue(Wnd, false, [&](TGlobal& g, TQueue& q) {
        if (!q.Timers.erase(std::make_pair(Wnd, IDEvent)))
            return false;
        --g.TimerCount;
        return true;
    });
}

void SetTimerLimit(size_t Limit)
{
    TGlobal& g = G();
    std::lock_guard<std::mutex> lk(g.Lock);
    g.TimerLimit = Limit ? Limit : kDefaultTimerLimit;
}

void PostQuitMessage(int ExitCode)
{
    TQueue& q = *CurrentQueue();
    std::lock_guard<std::mutex> qk(q.M);
    q.Quit = true;
    q.QuitCode = ExitCode;
    q.CV.notify_all();
}

bool PeekMessage(TMsg& Msg, bool Remove)
{
    TQueue& q = *CurrentQueue();
    HandleSent(q);
    std::lock_guard<std::mutex> qk(q.M);
    return TakeMessage(q, Msg, Remove);
}

void WaitMessage()
{
    TQueue& q = *CurrentQueue();
    std::unique_lock<std::mutex> qk(q.M);
    for (;;) {
        if (!q.Sent.empty() || !q.Posted.empty() || q.Quit)
            return;
        uint64_t now = MessageClockNow();
        uint64_t next = UINT64_MAX;
        for (auto& [key, t] : q.Timers)
            next = std::min(next, t.Due);
        if (next <= now)
            return;
        if (InstalledClock.load() || next == UINT64_MAX)
            q.CV.wait(qk);  // a manual clock wakes us when it moves
        else
            q.CV.wait_for(qk, std::chrono::milliseconds(next - now));
    }
}

bool GetMessage(TMsg& Msg)
{
    for (;;) {
        if (PeekMessage(Msg, true))
            return Msg.message != WM_QUIT;
        WaitMessage();
    }
}

LRESULT DispatchMessage(const TMsg& Msg)
{
    if (Msg.hwnd == 0)
        return 0;
    return CallWindow(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

}  // namespace dcs
