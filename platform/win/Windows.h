// The window tree on top of the message core: windows with a parent, children in
// z-order, bounds, visibility, enabled state, style bits, a shape, a window procedure
// that can be subclassed, per-thread hooks on it, and the invalid area that WM_PAINT
// repairs.
//
// Threads: a window and its whole tree belong to the thread that created them (the GUI
// thread), and every function here except IsWindow, PostMessage and
// GetWindowThreadProcessId is called on that thread. The tree's table is guarded so that
// those three are safe from elsewhere.
//
// Coordinates: a child's bounds are in its parent's client coordinates, a top-level
// window's in screen coordinates. Windows have no non-client frame of their own (the
// desktop draws the caption and border of a top-level window), so a window's client area
// is its whole rectangle.
//
// Painting: InvalidateRect collects a rectangle per window and posts one WM_PAINT to the
// top-level window; whoever paints the top-level (the forms' compositor) repairs every
// invalid window of its tree and validates them with BeginPaint / EndPaint.
#pragma once

#include "platform/base/Geometry.h"
#include "platform/win/Regions.h"
#include "platform/win/WinDefs.h"

#include <functional>
#include <string>
#include <vector>

namespace dcs {

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using HOOKPROC = LRESULT (*)(int Code, WPARAM WParam, LPARAM LParam);

// What a WH_CALLWNDPROC hook receives in LParam.
struct CWPSTRUCT {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};

struct MINMAXINFO {
    TPoint ptReserved;
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};

// What WM_WINDOWPOSCHANGED carries in LParam (a pointer to it).
struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x, y, cx, cy;
    UINT flags;
};

struct PAINTSTRUCT {
    bool fErase = false;
    TRect rcPaint;
};

// Creates a window on the calling thread. Parent 0 makes a top-level window. The window
// gets WM_CREATE (LParam = Param) before this returns; a WS_VISIBLE window is shown.
HWND CreateWindowEx(DWORD ExStyle, const std::string& ClassName, const std::string& Text, DWORD Style, int X, int Y,
                    int Width, int Height, HWND Parent, WNDPROC Proc, void* Param = nullptr);
// WM_DESTROY to the window and then to its children, WM_NCDESTROY in the reverse order;
// then the handles are gone. Safe for unknown handles (answers false).
bool DestroyWindow(HWND Wnd);

// Runs the default behaviour: WM_PAINT validates, WM_ERASEBKGND answers 0, WM_NCHITTEST
// answers HTCLIENT, WM_CLOSE destroys, WM_MOUSEWHEEL goes to the parent,
// WM_WINDOWPOSCHANGED sends WM_MOVE and WM_SIZE, WM_GETMINMAXINFO leaves the record.
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT CallWindowProc(WNDPROC Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LONG_PTR GetWindowLongPtr(HWND Wnd, int Index);
// Answers the previous value. GWLP_WNDPROC subclasses the window; GWL_STYLE changes the
// bits (WS_VISIBLE and WS_DISABLED have the same effect as ShowWindow / EnableWindow).
LONG_PTR SetWindowLongPtr(HWND Wnd, int Index, LONG_PTR Value);
inline LONG_PTR SetWindowLong(HWND Wnd, int Index, LONG_PTR Value) { return SetWindowLongPtr(Wnd, Index, Value); }
inline LONG_PTR GetWindowLong(HWND Wnd, int Index) { return GetWindowLongPtr(Wnd, Index); }

// A WH_CALLWNDPROC hook on ThreadId's windows (0: the calling thread) sees every
// message before the window procedure does. The newest hook runs first.
HHOOK SetWindowsHookEx(int IdHook, HOOKPROC Proc, uintptr_t Module, uint32_t ThreadId);
bool UnhookWindowsHookEx(HHOOK Hook);
LRESULT CallNextHookEx(HHOOK Hook, int Code, WPARAM WParam, LPARAM LParam);

// Tree.
HWND GetParent(HWND Wnd);
HWND SetParent(HWND Wnd, HWND NewParent);
// Children bottom to top.
std::vector<HWND> GetChildWindows(HWND Wnd);
HWND GetAncestorRoot(HWND Wnd);
bool IsChild(HWND Parent, HWND Wnd);
// Top-level windows of every thread, topmost first (stops when Proc answers false).
bool EnumWindows(const std::function<bool(HWND)>& Proc);
uint32_t GetWindowThreadProcessId(HWND Wnd, uint32_t* ProcessId);
std::string GetClassName(HWND Wnd);
std::string GetWindowText(HWND Wnd);
bool SetWindowText(HWND Wnd, const std::string& Text);

// Geometry.
bool GetWindowRect(HWND Wnd, TRect& Rect);  // screen coordinates
bool GetClientRect(HWND Wnd, TRect& Rect);  // {0, 0, width, height}
// Position in the parent's client coordinates (screen for a top-level window).
TRect GetWindowBounds(HWND Wnd);
TPoint ClientToScreen(HWND Wnd, TPoint P);
TPoint ScreenToClient(HWND Wnd, TPoint P);
// P from From's client coordinates into To's.
TPoint MapWindowPoint(HWND From, HWND To, TPoint P);
bool MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, bool Repaint);
bool SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
// Asks the window for its size limits (WM_GETMINMAXINFO) and applies them to a size.
TSize ClampTrackSize(HWND Wnd, TSize Size);

// State.
bool ShowWindow(HWND Wnd, int Cmd);
bool IsWindowVisible(HWND Wnd);            // the window and every ancestor are visible
bool EnableWindow(HWND Wnd, bool Enable);  // answers whether it was disabled before
bool IsWindowEnabled(HWND Wnd);
bool IsIconic(HWND Wnd);
bool IsZoomed(HWND Wnd);
// The window takes over the region (and frees it when replaced or destroyed); null
// removes the shape.
int SetWindowRgn(HWND Wnd, HRGN Rgn, bool Redraw);
HRGN GetWindowRegion(HWND Wnd);  // the window keeps it
// Whether a point in the window's client coordinates lies in its rectangle and shape.
bool PointInWindowShape(HWND Wnd, TPoint ClientPoint);

// Invalid area.
bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase);
bool ValidateRect(HWND Wnd, const TRect* Rect);
// The invalid rectangle in client coordinates; false when there is none.
bool GetUpdateRect(HWND Wnd, TRect& Rect);
// Replaces the invalid area without scheduling a paint: for the compositor that is
// repairing the tree right now.
void SetUpdateRect(HWND Wnd, const TRect& Rect, bool Erase);
// Sends WM_PAINT to the window's top-level window now when anything there is invalid.
void UpdateWindow(HWND Wnd);
// rcPaint is the invalid rectangle; sends WM_ERASEBKGND first when erasing was asked
// for; the window is valid afterwards.
void BeginPaint(HWND Wnd, PAINTSTRUCT& Ps);
void EndPaint(HWND Wnd, const PAINTSTRUCT& Ps);

// Observes the top-level windows (a presenter turns them into something visible).
// Callbacks run on the GUI thread after the change.
class IWindowObserver {
public:
    virtual ~IWindowObserver() = default;
    virtual void WindowShown(HWND Wnd, bool Visible) = 0;
    virtual void WindowMoved(HWND Wnd, const TRect& Bounds) = 0;
    virtual void WindowTextChanged(HWND Wnd, const std::string& Text) = 0;
    virtual void WindowDestroyed(HWND Wnd) = 0;
};
// One observer for the process (nullptr: none). The caller keeps it alive meanwhile.
void SetWindowObserver(IWindowObserver* Observer);

}  // namespace dcs
