#include "platform/controls/ToolTips.h"

#include "platform/win/Input.h"

namespace dcs {

namespace {
constexpr int kCursorHeight = 20;
}

std::vector<TOOLINFO>::iterator TToolTipWindow::FindTool(const TOOLINFO& Tool)
{
    return std::find_if(FTools.begin(), FTools.end(),
                        [&](const TOOLINFO& t) { return t.hwnd == Tool.hwnd && t.uId == Tool.uId; });
}

TRect TToolTipWindow::ToolRect(const TOOLINFO& Tool)
{
    HWND w = (Tool.uFlags & TTF_IDISHWND) ? HWND(Tool.uId) : Tool.hwnd;
    TRect r;
    if (Tool.uFlags & TTF_IDISHWND)
        GetClientRect(w, r);
    else
        r = Tool.rect;
    TPoint o = dcs::ClientToScreen(w, {0, 0});
    return r.Offset(o.X, o.Y);
}

void TToolTipWindow::ShowTool(const TOOLINFO& Tool, TPoint At)
{
    FShown = int(&Tool - FTools.data());
    TRect r = CalcHintRect(0, Tool.lpszText, nullptr);
    ActivateHint(r.Offset(At.X, At.Y), Tool.lpszText);
}

void TToolTipWindow::WndProc(TMessage& M)
{
    auto* info = reinterpret_cast<const TOOLINFO*>(M.LParam);
    switch (M.Msg) {
    case TTM_ADDTOOL:
        if (!info || FindTool(*info) != FTools.end())
            return;
        FTools.push_back(*info);
        M.Result = 1;
        return;
    case TTM_DELTOOL: {
        auto it = info ? FindTool(*info) : FTools.end();
        if (it == FTools.end())
            return;
        int index = int(it - FTools.begin());
        if (index == FShown) {
            ReleaseHandle();
            FShown = -1;
        } else if (index < FShown) {
            --FShown;
        }
        FTools.erase(it);
        return;
    }
    case TTM_GETTOOLCOUNT: M.Result = LRESULT(FTools.size()); return;
    case TTM_UPDATETIPTEXT: {
        auto it = info ? FindTool(*info) : FTools.end();
        if (it == FTools.end())
            return;
        it->lpszText = info->lpszText;
        M.Result = 1;
        if (Visible() && int(it - FTools.begin()) == FShown) {
            if (it->lpszText.empty()) {
                ReleaseHandle();
                return;
            }
            ShowTool(*it, {Left(), Top()});
        }
        return;
    }
    case TTM_POPUP: {
        if (FTools.empty())
            return;
        TPoint cursor = GetCursorPos();
        const TOOLINFO* tool = &FTools.front();
        for (const auto& t : FTools)
            if (ToolRect(t).Contains(cursor)) {
                tool = &t;
                break;
            }
        if (!tool->lpszText.empty())
            ShowTool(*tool, {cursor.X, cursor.Y + kCursorHeight});
        return;
    }
    case TTM_POP: ReleaseHandle(); return;
    default: THintWindow::WndProc(M);
    }
}

}  // namespace dcs
