// A tooltip window in the shape of the system's tooltip control: tools are registered
// with TTM_ADDTOOL and their texts replaced with TTM_UPDATETIPTEXT; TTM_POPUP shows the
// text of the tool under the pointer (or of the first tool) just below the pointer, and
// TTM_POP hides it. A text changed while showing resizes the tip where it is; an empty
// text hides it. Hovering shows nothing by itself: the owner pops the tip up.
#pragma once

#include "platform/controls/HintWindow.h"

namespace dcs {

constexpr UINT TTF_IDISHWND = 0x0001;
constexpr UINT TTF_SUBCLASS = 0x0010;

struct TOOLINFO {
    UINT uFlags = 0;
    HWND hwnd = 0;     // the window the tool belongs to
    UINT_PTR uId = 0;  // with TTF_IDISHWND, the tool's own window
    TRect rect;        // client area of hwnd covered by the tool (ignored with TTF_IDISHWND)
    std::string lpszText;
};

// LParam: TOOLINFO*. TTM_ADDTOOL and TTM_UPDATETIPTEXT answer 1 when they did something.
constexpr UINT TTM_POP = WM_USER + 28;
constexpr UINT TTM_POPUP = WM_USER + 34;
constexpr UINT TTM_ADDTOOL = WM_USER + 50;
constexpr UINT TTM_DELTOOL = WM_USER + 51;
constexpr UINT TTM_UPDATETIPTEXT = WM_USER + 57;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;

class TToolTipWindow : public THintWindow {
    DCS_CLASS(TToolTipWindow, THintWindow)

    explicit TToolTipWindow(TComponent* AOwner) : THintWindow(AOwner) {}
    void WndProc(TMessage& Message) override;

private:
    std::vector<TOOLINFO>::iterator FindTool(const TOOLINFO& Tool);
    // The screen rectangle a tool covers.
    static TRect ToolRect(const TOOLINFO& Tool);
    void ShowTool(const TOOLINFO& Tool, TPoint At);

    std::vector<TOOLINFO> FTools;
    int FShown = -1;  // index of the tool whose text shows
};

}  // namespace dcs
