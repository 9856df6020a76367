// The window table shared by the tree (Windows.cpp) and input (Input.cpp).
#pragma once

#include "platform/win/Windows.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace dcs::detail {

struct TWndRec {
    HWND Handle = 0;
    HWND Parent = 0;
    std::vector<HWND> Children;  // bottom to top
    TRect Bounds;
    TRect RestoreBounds;  // before maximising
    DWORD Style = 0;
    DWORD ExStyle = 0;
    WNDPROC Proc = nullptr;
    LONG_PTR UserData = 0;
    LONG_PTR Id = 0;
    HWND OwnerWnd = 0;
    std::string ClassName;
    std::string Text;
    HRGN Region = nullptr;  // owned
    TRect Update;
    bool Erase = false;
    bool PaintPending = false;
    bool Destroying = false;
    uint32_t Thread = 0;
};

// Input state of the GUI thread.
struct TInputState {
    HWND Capture = 0;
    HWND Focus = 0;
    HWND Active = 0;
    HWND Hover = 0;
    HWND LastDownWnd = 0;
    UINT LastDownMsg = 0;
    TPoint LastDownPt;
    uint64_t LastDownTime = 0;
    TPoint CursorPos;  // screen position of the last delivered mouse message
    uint8_t KeyDown[256] = {};
};

std::shared_ptr<TWndRec> FindRec(HWND Wnd);
TInputState& Input();
// Forgets a window that is going away from the input state.
void ForgetInput(HWND Wnd);

}  // namespace dcs::detail
