// The headless message core: one message queue per thread, hidden windows with their
// own handler, posted and sent messages, and timers that arrive as WM_TIMER messages on
// the thread that owns their window.
//
// Handles are numbers that are never reused, so a message posted to a window that has
// been destroyed in the meantime is simply dropped when its turn comes. Timers coalesce:
// a timer has at most one tick pending, and after a handler that blocked for several
// periods the timer ticks once, then keeps its period from that tick.
//
// Time comes from a clock that tests can replace with a manual one (TManualClock), so
// whole message loops run without a display and without waiting.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace dcs {

using HWND = uintptr_t;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

struct TMsg {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

using TWndMethod = std::function<void(TMessage& Message)>;

// A hidden window owned by the calling thread; its messages are handled by Method on
// that thread, inside the thread's message loop.
HWND AllocateHWnd(TWndMethod Method);
// Destroys the window: its pending messages and timers go with it. Safe from within
// its own handler and for handles already destroyed.
void DeallocateHWnd(HWND Wnd);
bool IsWindow(HWND Wnd);

// From any thread. False when the window does not exist.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Runs the handler and answers its result: at once on the owning thread, otherwise the
// caller waits until the owning thread handles it in its message loop. 0 when the
// window does not exist (or is destroyed before its turn).
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// The default handling (see Windows.h); 0 for a hidden window.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Starts or restarts timer IDEvent of Wnd (which must belong to the calling thread):
// WM_TIMER with wParam = IDEvent every Elapse ms (at least 10). Answers IDEvent, or 0
// when the window is unknown or no timer is left (see SetTimerLimit).
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse);
bool KillTimer(HWND Wnd, UINT_PTR IDEvent);
// The most timers the process may hold (for tests of the failure path); 0 restores
// the default.
void SetTimerLimit(size_t Limit);

// The calling thread's queue: sent messages are handled first, then posted ones in
// order, then a pending WM_QUIT, then one due timer.
void PostQuitMessage(int ExitCode);
bool PeekMessage(TMsg& Msg, bool Remove);
// Waits for a message; false for WM_QUIT.
bool GetMessage(TMsg& Msg);
// Waits until the calling thread's queue has something to deliver.
void WaitMessage();
LRESULT DispatchMessage(const TMsg& Msg);

// Milliseconds for timers. The default runs on the system's monotonic clock.
class TMessageClock {
public:
    virtual ~TMessageClock() = default;
    virtual uint64_t NowMs() = 0;
};

// A clock that moves only when told; Advance wakes every waiting message loop.
class TManualClock : public TMessageClock {
public:
    uint64_t NowMs() override;
    void Advance(uint64_t Ms);

private:
    std::atomic<uint64_t> FNow {1000};
};

// Installs Clock for every queue (nullptr: the system clock). The caller keeps it alive
// while installed.
void SetMessageClock(TMessageClock* Clock);
uint64_t MessageClockNow();

}  // namespace dcs
