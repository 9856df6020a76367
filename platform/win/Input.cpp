#include "platform/win/Input.h"

#include "platform/win/PlatformFacts.h"
#include "platform/win/WindowsInternal.h"

#include <cstdlib>

namespace dcs {

namespace detail {

TInputState& Input()
{
    static TInputState s;
    return s;
}

void ForgetInput(HWND Wnd)
{
    TInputState& s = Input();
    for (HWND* h : {&s.Capture, &s.Focus, &s.Active, &s.Hover, &s.LastDownWnd})
        if (*h == Wnd)
            *h = 0;
}

}  // namespace detail

using detail::Input;

HWND SetCapture(HWND Wnd)
{
    HWND old = Input().Capture;
    if (!IsWindow(Wnd))
        Wnd = 0;
    Input().Capture = Wnd;
    if (old && old != Wnd)
        SendMessage(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(Wnd));
    return old;
}

bool ReleaseCapture()
{
    SetCapture(0);
    return true;
}

HWND GetCapture() { return Input().Capture; }

HWND SetFocus(HWND Wnd)
{
    HWND old = Input().Focus;
    if (Wnd && (!IsWindow(Wnd) || !IsWindowEnabled(Wnd)))
        return 0;
    if (Wnd == old)
        return old;
    Input().Focus = Wnd;
    if (old)
        SendMessage(old, WM_KILLFOCUS, Wnd, 0);
    if (Wnd && Input().Focus == Wnd)
        SendMessage(Wnd, WM_SETFOCUS, old, 0);
    return old;
}

HWND GetFocus() { return Input().Focus; }

HWND SetActiveWindow(HWND Wnd)
{
    HWND old = Input().Active;
    if (Wnd == old)
        return old;
    Input().Active = Wnd;
    if (old)
        SendMessage(old, WM_ACTIVATE, 0, static_cast<LPARAM>(Wnd));
    if (Wnd)
        SendMessage(Wnd, WM_ACTIVATE, 1, static_cast<LPARAM>(old));
    return old;
}

HWND GetActiveWindow() { return Input().Active; }

TPoint GetCursorPos() { return Input().CursorPos; }

int16_t GetKeyState(int VirtualKey)
{
    return (VirtualKey >= 0 && VirtualKey < 256 && Input().KeyDown[VirtualKey]) ? int16_t(-128) : int16_t(0);
}

HWND ChildWindowFromPoint(HWND Top, TPoint P)
{
    if (!PointInWindowShape(Top, P))
        return 0;
    HWND at = Top;
    for (;;) {
        HWND next = 0;
        auto kids = GetChildWindows(at);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            auto r = detail::FindRec(*it);
            if (!r || !(r->Style & WS_VISIBLE) || (r->Style & WS_DISABLED))
                continue;
            TPoint local {P.X - r->Bounds.Left, P.Y - r->Bounds.Top};
            if (PointInWindowShape(*it, local)) {
                next = *it;
                P = local;
                break;
            }
        }
        if (!next)
            return at;
        at = next;
    }
}

namespace {

bool IsButtonDown(UINT Msg) { return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN; }

void SetHover(HWND Wnd)
{
    HWND old = Input().Hover;
    if (old == Wnd)
        return;
    Input().Hover = Wnd;
    if (old)
        SendMessage(old, WM_MOUSELEAVE, 0, 0);
}

}  // namespace

HWND DeliverMouse(HWND Top, UINT Msg, TPoint P, WPARAM Keys)
{
    if (!IsWindow(Top) || !IsWindowEnabled(Top))
        return 0;
    if (Msg == WM_MOUSEWHEEL) {
        HWND target = GetFocus() ? GetFocus() : Top;
        TPoint s = ClientToScreen(Top, P);
        SendMessage(target, Msg, Keys, MAKELPARAM(s.X, s.Y));
        return target;
    }
    Input().CursorPos = ClientToScreen(Top, P);
    HWND target = GetCapture();
    if (!target)
        target = ChildWindowFromPoint(Top, P);
    if (!target)
        return 0;
    if (!GetCapture() || target == ChildWindowFromPoint(Top, P))
        SetHover(target);
    TPoint local = MapWindowPoint(Top, target, P);
    auto& in = Input();
    if (IsButtonDown(Msg)) {
        uint64_t now = MessageClockNow();
        TPoint screen = ClientToScreen(Top, P);
        bool dbl = in.LastDownWnd == target && in.LastDownMsg == Msg && now - in.LastDownTime <= GetDoubleClickTime() &&
            std::abs(screen.X - in.LastDownPt.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(screen.Y - in.LastDownPt.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (dbl) {
            in.LastDownWnd = 0;  // a third press starts a new pair
            Msg += 2;            // WM_xBUTTONDOWN + 2 = WM_xBUTTONDBLCLK
        } else {
            in.LastDownWnd = target;
            in.LastDownMsg = Msg;
            in.LastDownTime = now;
            in.LastDownPt = screen;
        }
    }
    SendMessage(target, Msg, Keys, MAKELPARAM(local.X, local.Y));
    return target;
}

void DeliverMouseLeave(HWND) { SetHover(0); }

HWND DeliverKey(UINT Msg, WPARAM Key, LPARAM Flags)
{
    auto& in = Input();
    if (Key < 256) {
        if (Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN)
            in.KeyDown[Key] = 1;
        else if (Msg == WM_KEYUP || Msg == WM_SYSKEYUP)
            in.KeyDown[Key] = 0;
    }
    HWND target = in.Focus ? in.Focus : in.Active;
    if (!target)
        return 0;
    HWND top = GetAncestorRoot(target);
    if (!IsWindowEnabled(top))
        return 0;
    SendMessage(target, Msg, Key, Flags);
    return target;
}

}  // namespace dcs
