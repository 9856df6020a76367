#include "platform/win/Windows.h"

#include "platform/threads/Sync.h"
#include "platform/win/Input.h"
#include "platform/win/PlatformFacts.h"
#include "platform/win/WindowsInternal.h"

#include <unistd.h>

#include <algorithm>

namespace dcs {

using detail::FindRec;
using detail::TWndRec;

namespace {

struct THook {
    HHOOK Handle;
    int Id;
    HOOKPROC Proc;
    uint32_t Thread;
};

struct TTree {
    std::mutex Lock;
    std::unordered_map<HWND, std::shared_ptr<TWndRec>> Wnds;
    std::vector<HWND> TopLevels;  // bottom to top
    std::vector<THook> Hooks;     // oldest first
    HHOOK NextHook = 1;
    IWindowObserver* Observer = nullptr;
};

TTree& T()
{
    static TTree* t = new TTree;  // outlives every window
    return *t;
}

std::vector<HWND>& SiblingsOf(TTree& t, TWndRec& r)
{
    if (r.Parent)
        if (auto p = t.Wnds.find(r.Parent); p != t.Wnds.end())
            return p->second->Children;
    return t.TopLevels;
}

void Unlink(TTree& t, TWndRec& r)
{
    auto& s = SiblingsOf(t, r);
    std::erase(s, r.Handle);
}

IWindowObserver* Observer()
{
    std::lock_guard<std::mutex> lk(T().Lock);
    return T().Observer;
}

// The hook whose procedure is running on this thread: CallNextHookEx continues below it
// (the handle it is given may be 0).
thread_local HHOOK CurrentHook = 0;

// Runs the next older WH_CALLWNDPROC hook of the calling thread below Below (0: the
// newest). The window procedure runs afterwards whatever the hooks do.
LRESULT RunHook(HHOOK Below, int Code, WPARAM WParam, LPARAM LParam)
{
    THook next {};
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        uint32_t me = GetCurrentThreadId();
        bool passed = Below == 0;
        for (auto it = t.Hooks.rbegin(); it != t.Hooks.rend(); ++it) {
            if (!passed) {
                passed = it->Handle == Below;
                continue;
            }
            if (it->Id == WH_CALLWNDPROC && it->Thread == me) {
                next = *it;
                break;
            }
        }
    }
    if (!next.Proc)
        return 0;
    HHOOK saved = CurrentHook;
    CurrentHook = next.Handle;
    struct TRestore {
        HHOOK Saved;
        ~TRestore() { CurrentHook = Saved; }
    } restore {saved};
    return next.Proc(Code, WParam, LParam);
}

LRESULT Deliver(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto r = FindRec(Wnd);
    if (!r)
        return 0;
    bool hooked;
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        hooked = !t.Hooks.empty();
    }
    if (hooked) {
        CWPSTRUCT cwp {LParam, WParam, Msg, Wnd};
        RunHook(0, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
    }
    if (Msg == WM_PAINT && !r->Parent)
        r->PaintPending = false;  // the next invalidation schedules a new paint
    WNDPROC proc = r->Proc;
    return proc ? proc(Wnd, Msg, WParam, LParam) : DefWindowProc(Wnd, Msg, WParam, LParam);
}

TPoint ScreenOrigin(HWND Wnd)
{
    TPoint o;
    for (auto r = FindRec(Wnd); r; r = FindRec(r->Parent)) {
        o.X += r->Bounds.Left;
        o.Y += r->Bounds.Top;
        if (!r->Parent)
            break;
    }
    return o;
}

// The window's rectangle in its parent's client area (or on the screen) needs repainting.
void InvalidateUnder(TWndRec& R, const TRect& Bounds)
{
    if (R.Parent)
        InvalidateRect(R.Parent, &Bounds, true);
}

void NotifyShown(TWndRec& R, bool Visible)
{
    if (!R.Parent)
        if (auto* o = Observer())
            o->WindowShown(R.Handle, Visible);
}

void NotifyMoved(TWndRec& R)
{
    if (!R.Parent)
        if (auto* o = Observer())
            o->WindowMoved(R.Handle, R.Bounds);
}

void CollectSubtree(HWND Wnd, std::vector<HWND>& Out)
{
    Out.push_back(Wnd);
    for (HWND c : GetChildWindows(Wnd))
        CollectSubtree(c, Out);
}

// Changes the bounds and tells the window; the area it left and the one it covers now
// are repainted.
void ApplyBounds(TWndRec& R, const TRect& NewBounds, bool Repaint)
{
    TRect old = R.Bounds;
    if (old == NewBounds)
        return;
    R.Bounds = NewBounds;
    if (Repaint && (R.Style & WS_VISIBLE)) {
        InvalidateUnder(R, old);
        InvalidateRect(R.Handle, nullptr, true);
    }
    WINDOWPOS wp {R.Handle, 0, NewBounds.Left, NewBounds.Top, NewBounds.Width(), NewBounds.Height(), 0};
    SendMessage(R.Handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    NotifyMoved(R);
}

}  // namespace

namespace detail {

std::shared_ptr<TWndRec> FindRec(HWND Wnd)
{
    if (!Wnd)
        return nullptr;
    TTree& t = T();
    std::lock_guard<std::mutex> lk(t.Lock);
    auto it = t.Wnds.find(Wnd);
    return it == t.Wnds.end() ? nullptr : it->second;
}

}  // namespace detail

HWND CreateWindowEx(DWORD ExStyle, const std::string& ClassName, const std::string& Text, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, WNDPROC Proc, void* Param)
{
    auto rec = std::make_shared<TWndRec>();
    rec->Parent = FindRec(Parent) ? Parent : 0;
    rec->Bounds = TRect::Bounds(X, Y, std::max(Width, 0), std::max(Height, 0));
    rec->Style = Style & ~WS_VISIBLE;
    rec->ExStyle = ExStyle;
    rec->Proc = Proc;
    rec->ClassName = ClassName;
    rec->Text = Text;
    rec->Thread = GetCurrentThreadId();
    auto holder = std::make_shared<HWND>(0);
    HWND h = AllocateHWnd([holder](TMessage& M) { M.Result = Deliver(*holder, M.Msg, M.WParam, M.LParam); });
    *holder = h;
    rec->Handle = h;
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        t.Wnds[h] = rec;
        SiblingsOf(t, *rec).push_back(h);
    }
    SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(Param));
    if ((Style & WS_VISIBLE) && IsWindow(h))
        ShowWindow(h, SW_SHOW);
    return h;
}

bool DestroyWindow(HWND Wnd)
{
    auto r = FindRec(Wnd);
    if (!r || r->Destroying)
        return false;
    std::vector<HWND> all;
    CollectSubtree(Wnd, all);
    for (HWND h : all)
        if (auto c = FindRec(h))
            c->Destroying = true;
    if (r->Style & WS_VISIBLE)
        InvalidateUnder(*r, r->Bounds);
    for (HWND h : all)
        SendMessage(h, WM_DESTROY, 0, 0);
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        SendMessage(*it, WM_NCDESTROY, 0, 0);
    bool topLevel = r->Parent == 0;
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        Unlink(t, *r);
        for (HWND h : all) {
            if (auto it = t.Wnds.find(h); it != t.Wnds.end() && it->second->Region) {
                DeleteObject(it->second->Region);
                it->second->Region = nullptr;
            }
            t.Wnds.erase(h);
        }
    }
    for (HWND h : all) {
        detail::ForgetInput(h);
        DeallocateHWnd(h);
    }
    if (topLevel)
        if (auto* o = Observer())
            o->WindowDestroyed(Wnd);
    return true;
}

LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    return Proc ? Proc(Wnd, Msg, WParam, LParam) : DefWindowProc(Wnd, Msg, WParam, LParam);
}

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto r = FindRec(Wnd);
    if (!r)
        return 0;  // a hidden message window
    switch (Msg) {
    case WM_PAINT: {
        if (!r->Parent) {
            // Nobody composes this tree: take the paint as done for all of it.
            std::vector<HWND> all;
            CollectSubtree(Wnd, all);
            for (HWND h : all)
                ValidateRect(h, nullptr);
        } else {
            PAINTSTRUCT ps;
            BeginPaint(Wnd, ps);
            EndPaint(Wnd, ps);
        }
        return 0;
    }
    case WM_NCHITTEST: return HTCLIENT;
    case WM_CLOSE: DestroyWindow(Wnd); return 0;
    case WM_MOUSEWHEEL: return r->Parent ? SendMessage(r->Parent, Msg, WParam, LParam) : 0;
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<const WINDOWPOS*>(LParam);
        SendMessage(Wnd, WM_MOVE, 0, MAKELPARAM(wp->x, wp->y));
        WPARAM kind = (r->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
            : (r->Style & WS_MINIMIZE)         ? SIZE_MINIMIZED
                                               : SIZE_RESTORED;
        SendMessage(Wnd, WM_SIZE, kind, MAKELPARAM(wp->cx, wp->cy));
        return 0;
    }
    case WM_SETTEXT: r->Text = LParam ? reinterpret_cast<const char*>(LParam) : ""; return 1;
    default: return 0;
    }
}

LONG_PTR GetWindowLongPtr(HWND Wnd, int Index)
{
    auto r = FindRec(Wnd);
    if (!r)
        return 0;
    switch (Index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(r->Proc);
    case GWL_STYLE: return static_cast<LONG_PTR>(r->Style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(r->ExStyle);
    case GWLP_USERDATA: return r->UserData;
    case GWLP_ID: return r->Id;
    case GWLP_HWNDPARENT: return static_cast<LONG_PTR>(r->Parent ? r->Parent : r->OwnerWnd);
    default: return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR Value)
{
    auto r = FindRec(Wnd);
    if (!r)
        return 0;
    LONG_PTR old = GetWindowLongPtr(Wnd, Index);
    switch (Index) {
    case GWLP_WNDPROC: r->Proc = reinterpret_cast<WNDPROC>(Value); break;
    case GWL_STYLE: {
        DWORD v = static_cast<DWORD>(Value);
        r->Style = (v & ~(WS_VISIBLE | WS_DISABLED)) | (r->Style & (WS_VISIBLE | WS_DISABLED));
        if ((v & WS_VISIBLE) != (old & WS_VISIBLE))
            ShowWindow(Wnd, (v & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
        if ((v & WS_DISABLED) != (old & WS_DISABLED))
            EnableWindow(Wnd, !(v & WS_DISABLED));
        break;
    }
    case GWL_EXSTYLE: r->ExStyle = static_cast<DWORD>(Value); break;
    case GWLP_USERDATA: r->UserData = Value; break;
    case GWLP_ID: r->Id = Value; break;
    case GWLP_HWNDPARENT:
        if (!r->Parent)
            r->OwnerWnd = static_cast<HWND>(Value);
        break;
    default: break;
    }
    return old;
}

HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, uintptr_t, uint32_t ThreadId)
{
    if (IdHook != WH_CALLWNDPROC || !Proc)
        return 0;
    TTree& t = T();
    std::lock_guard<std::mutex> lk(t.Lock);
    HHOOK h = t.NextHook++;
    t.Hooks.push_back(THook {h, IdHook, Proc, ThreadId ? ThreadId : GetCurrentThreadId()});
    return h;
}

bool UnhookWindowsHookEx(HHOOK Hook)
{
    TTree& t = T();
    std::lock_guard<std::mutex> lk(t.Lock);
    return std::erase_if(t.Hooks, [Hook](const THook& h) { return h.Handle == Hook; }) != 0;
}

LRESULT CallNextHookEx(HHOOK, int Code, WPARAM WParam, LPARAM LParam)
{
    return RunHook(CurrentHook, Code, WParam, LParam);
}

HWND GetParent(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r ? (r->Parent ? r->Parent : r->OwnerWnd) : 0;
}

HWND SetParent(HWND Wnd, HWND NewParent)
{
    auto r = FindRec(Wnd);
    if (!r || Wnd == NewParent || IsChild(Wnd, NewParent))
        return 0;
    HWND old = r->Parent;
    bool visible = r->Style & WS_VISIBLE;
    if (visible)
        InvalidateUnder(*r, r->Bounds);
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        Unlink(t, *r);
        r->Parent = t.Wnds.count(NewParent) ? NewParent : 0;
        SiblingsOf(t, *r).push_back(Wnd);
    }
    if (visible)
        InvalidateRect(Wnd, nullptr, true);
    return old;
}

std::vector<HWND> GetChildWindows(HWND Wnd)
{
    TTree& t = T();
    std::lock_guard<std::mutex> lk(t.Lock);
    auto it = t.Wnds.find(Wnd);
    return it == t.Wnds.end() ? std::vector<HWND> {} : it->second->Children;
}

HWND GetAncestorRoot(HWND Wnd)
{
    auto r = FindRec(Wnd);
    while (r && r->Parent)
        r = FindRec(r->Parent);
    return r ? r->Handle : 0;
}

bool IsChild(HWND Parent, HWND Wnd)
{
    for (auto r = FindRec(Wnd); r && r->Parent; r = FindRec(r->Parent))
        if (r->Parent == Parent)
            return true;
    return false;
}

bool EnumWindows(const std::function<bool(HWND)>& Proc)
{
    std::vector<HWND> tops;
    {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        tops.assign(t.TopLevels.rbegin(), t.TopLevels.rend());
    }
    for (HWND h : tops)
        if (IsWindow(h) && !Proc(h))
            return false;
    return true;
}

uint32_t GetWindowThreadProcessId(HWND Wnd, uint32_t* ProcessId)
{
    auto r = FindRec(Wnd);
    if (ProcessId)
        *ProcessId = r ? static_cast<uint32_t>(getpid()) : 0;
    return r ? r->Thread : 0;
}

std::string GetClassName(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r ? r->ClassName : std::string();
}

std::string GetWindowText(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r ? r->Text : std::string();
}

bool SetWindowText(HWND Wnd, const std::string& Text)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    if (!r->Parent)
        if (auto* o = Observer())
            o->WindowTextChanged(Wnd, r->Text);
    return true;
}

bool GetWindowRect(HWND Wnd, TRect& Rect)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    TPoint o = ScreenOrigin(Wnd);
    Rect = TRect::Bounds(o.X, o.Y, r->Bounds.Width(), r->Bounds.Height());
    return true;
}

bool GetClientRect(HWND Wnd, TRect& Rect)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    Rect = {0, 0, r->Bounds.Width(), r->Bounds.Height()};
    return true;
}

TRect GetWindowBounds(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r ? r->Bounds : TRect {};
}

TPoint ClientToScreen(HWND Wnd, TPoint P)
{
    TPoint o = ScreenOrigin(Wnd);
    return {P.X + o.X, P.Y + o.Y};
}

TPoint ScreenToClient(HWND Wnd, TPoint P)
{
    TPoint o = ScreenOrigin(Wnd);
    return {P.X - o.X, P.Y - o.Y};
}

TPoint MapWindowPoint(HWND From, HWND To, TPoint P) { return ScreenToClient(To, ClientToScreen(From, P)); }

bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint)
{
    return SetWindowPos(Wnd, 0, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    if (!(Flags & SWP_NOZORDER)) {
        TTree& t = T();
        std::lock_guard<std::mutex> lk(t.Lock);
        auto& s = SiblingsOf(t, *r);
        std::erase(s, Wnd);
        if (InsertAfter == HWND_BOTTOM) {
            s.insert(s.begin(), Wnd);
        } else {
            // Just below InsertAfter; on top when it is no sibling.
            auto at = std::find(s.begin(), s.end(), InsertAfter);
            s.insert(InsertAfter == HWND_TOP ? s.end() : at, Wnd);
        }
    }
    if (!(Flags & SWP_NOZORDER) && (r->Style & WS_VISIBLE))
        InvalidateRect(Wnd, nullptr, true);
    TRect b = r->Bounds;
    if (!(Flags & SWP_NOMOVE))
        b = b.Offset(X - b.Left, Y - b.Top);
    if (!(Flags & SWP_NOSIZE))
        b = TRect::Bounds(b.Left, b.Top, std::max(Cx, 0), std::max(Cy, 0));
    ApplyBounds(*r, b, !(Flags & SWP_NOREDRAW));
    if (Flags & SWP_SHOWWINDOW)
        ShowWindow(Wnd, SW_SHOW);
    if (Flags & SWP_HIDEWINDOW)
        ShowWindow(Wnd, SW_HIDE);
    return true;
}

TSize ClampTrackSize(HWND Wnd, TSize Size)
{
    const TRect wa = GetWorkArea();
    MINMAXINFO mmi {};
    mmi.ptMaxSize = {wa.Width(), wa.Height()};
    mmi.ptMaxPosition = {wa.Left, wa.Top};
    mmi.ptMinTrackSize = {1, 1};
    mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN) * 4, GetSystemMetrics(SM_CYSCREEN) * 4};
    SendMessage(Wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return {std::clamp(Size.cx, mmi.ptMinTrackSize.X, std::max(mmi.ptMinTrackSize.X, mmi.ptMaxTrackSize.X)),
            std::clamp(Size.cy, mmi.ptMinTrackSize.Y, std::max(mmi.ptMinTrackSize.Y, mmi.ptMaxTrackSize.Y))};
}

bool ShowWindow(HWND Wnd, int Cmd)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    bool was = r->Style & WS_VISIBLE;
    if (Cmd == SW_HIDE) {
        if (was) {
            r->Style &= ~WS_VISIBLE;
            SendMessage(Wnd, WM_SHOWWINDOW, 0, 0);
            InvalidateUnder(*r, r->Bounds);
            auto& in = detail::Input();
            if (in.Focus && (in.Focus == Wnd || IsChild(Wnd, in.Focus)))
                in.Focus = 0;
            if (in.Capture && (in.Capture == Wnd || IsChild(Wnd, in.Capture)))
                ReleaseCapture();
            NotifyShown(*r, false);
        }
        return was;
    }
    if (Cmd == SW_MAXIMIZE && !(r->Style & WS_MAXIMIZE) && !r->Parent) {
        r->RestoreBounds = r->Bounds;
        r->Style = (r->Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        ApplyBounds(*r, GetWorkArea(), true);
    } else if (Cmd == SW_MINIMIZE || Cmd == SW_SHOWMINIMIZED) {
        r->Style |= WS_MINIMIZE;
        SendMessage(Wnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(r->Bounds.Width(), r->Bounds.Height()));
    } else if (Cmd == SW_RESTORE) {
        bool wasMax = r->Style & WS_MAXIMIZE;
        r->Style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
        if (wasMax)
            ApplyBounds(*r, r->RestoreBounds, true);
        else
            SendMessage(Wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r->Bounds.Width(), r->Bounds.Height()));
    }
    if (!was) {
        r->Style |= WS_VISIBLE;
        SendMessage(Wnd, WM_SHOWWINDOW, 1, 0);
        InvalidateRect(Wnd, nullptr, true);
        NotifyShown(*r, true);
    }
    return was;
}

bool IsWindowVisible(HWND Wnd)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    for (; r; r = FindRec(r->Parent))
        if (!(r->Style & WS_VISIBLE))
            return false;
    return true;
}

bool EnableWindow(HWND Wnd, bool Enable)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    bool wasDisabled = r->Style & WS_DISABLED;
    if (wasDisabled == !Enable)
        return wasDisabled;
    if (Enable)
        r->Style &= ~WS_DISABLED;
    else
        r->Style |= WS_DISABLED;
    if (!Enable) {
        auto& in = detail::Input();
        if (in.Capture == Wnd)
            ReleaseCapture();
    }
    SendMessage(Wnd, WM_ENABLE, Enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r && !(r->Style & WS_DISABLED);
}

bool IsIconic(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r && (r->Style & WS_MINIMIZE);
}

bool IsZoomed(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r && (r->Style & WS_MAXIMIZE);
}

int SetWindowRgn(HWND Wnd, HRGN Rgn, bool Redraw)
{
    auto r = FindRec(Wnd);
    if (!r) {
        DeleteObject(Rgn);
        return 0;
    }
    if (r->Region && r->Region != Rgn)
        DeleteObject(r->Region);
    r->Region = Rgn;
    if (Redraw && (r->Style & WS_VISIBLE)) {
        InvalidateUnder(*r, r->Bounds);
        InvalidateRect(Wnd, nullptr, true);
    }
    return 1;
}

HRGN GetWindowRegion(HWND Wnd)
{
    auto r = FindRec(Wnd);
    return r ? r->Region : nullptr;
}

bool PointInWindowShape(HWND Wnd, TPoint P)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    if (!TRect {0, 0, r->Bounds.Width(), r->Bounds.Height()}.Contains(P))
        return false;
    return !r->Region || PtInRegion(r->Region, P.X, P.Y);
}

bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    TRect client {0, 0, r->Bounds.Width(), r->Bounds.Height()};
    TRect add = Rect ? Rect->Intersect(client) : client;
    if (add.IsEmpty())
        return true;
    r->Update = r->Update.Union(add);
    r->Erase = r->Erase || Erase;
    auto top = FindRec(GetAncestorRoot(Wnd));
    if (top && !top->PaintPending && (top->Style & WS_VISIBLE)) {
        top->PaintPending = true;
        PostMessage(top->Handle, WM_PAINT, 0, 0);
    }
    return true;
}

bool ValidateRect(HWND Wnd, const TRect* Rect)
{
    auto r = FindRec(Wnd);
    if (!r)
        return false;
    // A rectangle cannot carve a hole; validating part of the area keeps its bounding box
    // unless it covers it.
    if (!Rect || (Rect->Union(r->Update) == *Rect)) {
        r->Update = {};
        r->Erase = false;
    }
    return true;
}

bool GetUpdateRect(HWND Wnd, TRect& Rect)
{
    auto r = FindRec(Wnd);
    Rect = r ? r->Update : TRect {};
    return !Rect.IsEmpty();
}

void SetUpdateRect(HWND Wnd, const TRect& Rect, bool Erase)
{
    if (auto r = FindRec(Wnd)) {
        r->Update = Rect.Intersect({0, 0, r->Bounds.Width(), r->Bounds.Height()});
        r->Erase = Erase;
    }
}

void UpdateWindow(HWND Wnd)
{
    auto top = FindRec(GetAncestorRoot(Wnd));
    if (top && top->PaintPending)
        SendMessage(top->Handle, WM_PAINT, 0, 0);
}

void BeginPaint(HWND Wnd, PAINTSTRUCT& Ps)
{
    Ps = PAINTSTRUCT {};
    auto r = FindRec(Wnd);
    if (!r)
        return;
    Ps.rcPaint = r->Update;
    bool erase = r->Erase;
    r->Update = {};
    r->Erase = false;
    Ps.fErase = erase && SendMessage(Wnd, WM_ERASEBKGND, 0, 0) == 0;
}

void EndPaint(HWND, const PAINTSTRUCT&) {}

void SetWindowObserver(IWindowObserver* O)
{
    std::lock_guard<std::mutex> lk(T().Lock);
    T().Observer = O;
}

}  // namespace dcs
