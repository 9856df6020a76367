// Mouse and keyboard input of the GUI thread: capture, focus, the active window, key
// state, hit testing, and the routing of input that a presenter (or a test) delivers
// to a top-level window into messages for the window under the pointer.
#pragma once

#include "platform/win/Windows.h"

namespace dcs {

// Mouse input goes to the capture window, wherever the pointer is. Setting a new one
// sends WM_CAPTURECHANGED to the old.
HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetCapture();

// WM_KILLFOCUS (WParam = new) to the old focus, WM_SETFOCUS (WParam = old) to the new.
// A disabled or unknown window does not take the focus (answers 0).
HWND SetFocus(HWND Wnd);
HWND GetFocus();
// WM_ACTIVATE 0 to the old active top-level window, 1 to the new.
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
// Where the pointer is, in screen coordinates, as the last delivered mouse message said.
TPoint GetCursorPos();
// Negative while the key is down (as the last delivered key messages say).
int16_t GetKeyState(int VirtualKey);

// The deepest visible, enabled window of Top's tree whose shape holds P (in Top's client
// coordinates); Top itself when no child does; 0 when P is outside Top.
HWND ChildWindowFromPoint(HWND Top, TPoint P);

// Delivers a mouse message that happened at P in Top's client coordinates: to the
// capture window, or else to the window under P, in its client coordinates. A second
// button press on the same window within the double-click time and distance becomes the
// double-click message. Moving onto another window first sends WM_MOUSELEAVE to the one
// left. WM_MOUSEWHEEL (delta in the high word of Keys) goes to the focus window with
// screen coordinates. Nothing is delivered to a disabled top-level window (one under a
// modal window). Answers the window that received it.
HWND DeliverMouse(HWND Top, UINT Msg, TPoint P, WPARAM Keys = 0);
// The pointer left Top: WM_MOUSELEAVE to the window it was over.
void DeliverMouseLeave(HWND Top);
// WM_KEYDOWN / WM_KEYUP / WM_CHAR / WM_SYS* to the focus window, or else to the active
// window. Answers the window that received it.
HWND DeliverKey(UINT Msg, WPARAM Key, LPARAM Flags = 0);

}  // namespace dcs
