// Worker threads woken on request, and the hand-over of work to the main thread.
#pragma once

#include "components/audio/SGClockGen.h"
#include "platform/win/Messages.h"

#include <atomic>
#include <cstdint>
#include <map>

namespace dcs {

// A highest-priority worker that calls OnNotify once per Notify. Up to 2000 requests
// wait; further ones are dropped.
class TSGNotifyThread : public TCKThread {
public:
    // Use NewThread<TSGNotifyThread>(owner, handler): the thread starts once built.
    TSGNotifyThread(const TComponent* AOwner, TNotifyEvent AOnNotify);
    ~TSGNotifyThread() override;

    void Notify();
    // Wakes the loop and, from another thread, waits for the end of the thread.
    void Terminate() override { TerminateWaking(); }

protected:
    void Execute() override;
    void Wake() override { FSemaphore.Release(1); }

private:
    TNotifyEvent FOnNotify;
    TSemaphore FSemaphore {0, 2000};
};

// Runs OnNotify on the main thread. Requests from other threads post one message to a
// shared hidden window and are coalesced until it is handled. Made and destroyed on the
// main thread only; Notify may come from any thread.
class TSGMainThreadNotify : public TObject {
public:
    static constexpr UINT WM_MAINTHREADNOTIFY = 0x8600;

    explicit TSGMainThreadNotify(TNotifyEvent AOnNotify);
    ~TSGMainThreadNotify() override;

    // On the main thread without ForcePost: at once. Otherwise a posted message, unless
    // one is pending already.
    void Notify(bool ForcePost = false);
    bool Signaled() const { return FSignaled.load(); }

private:
    friend class TSGMainWindowNode;

    TNotifyEvent FOnNotify;
    std::atomic<bool> FSignaled {false};
    uint64_t FId;      // what the message carries: a notifier freed meanwhile is not found
    HWND FWindow = 0;  // the node's window, fixed for the notifier's life
};

// The hidden window shared by every main-thread notifier: made with the first, freed
// with the last.
class TSGMainWindowNode {
public:
    static void AddReff(TSGMainThreadNotify* ANotifyItem);
    static void RemoveReff(TSGMainThreadNotify* ANotifyItem);
    static HWND GetHandle();

private:
    TSGMainWindowNode();
    ~TSGMainWindowNode();
    void WndProc(TMessage& Msg);

    HWND FWindowHandle = 0;
    std::map<uint64_t, TSGMainThreadNotify*> FNotifyList;
};

}  // namespace dcs
