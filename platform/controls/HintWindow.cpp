#include "platform/controls/HintWindow.h"

#include "platform/base/Strings.h"
#include "platform/win/PlatformFacts.h"

#include <algorithm>

namespace dcs {

namespace {

constexpr int kPadX = 4;  // text inset from the border, left and right
constexpr int kPadY = 2;

std::vector<std::string> Lines(const std::string& Text)
{
    std::vector<std::string> out(1);
    for (char c : Text) {
        if (c == '\n')
            out.emplace_back();
        else if (c != '\r')
            out.back() += c;
    }
    return out;
}

}  // namespace

TRect FitInWorkArea(TRect R)
{
    TRect wa = GetWorkArea();
    int dx = 0, dy = 0;
    if (R.Right > wa.Right)
        dx = wa.Right - R.Right;
    if (R.Left + dx < wa.Left)
        dx = wa.Left - R.Left;
    if (R.Bottom > wa.Bottom)
        dy = wa.Bottom - R.Bottom;
    if (R.Top + dy < wa.Top)
        dy = wa.Top - R.Top;
    return R.Offset(dx, dy);
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomForm(AOwner)
{
    LeaveScreenList();
    SetBorderStyle(bsNone);
    SetPosition(poDesigned);
    SetDefaultColor(clInfoBk);
    Font()->SetColor(clInfoText);
    FWidth = 0;
    FHeight = 0;
}

void THintWindow::CreateParams(TCreateParams& P)
{
    TCustomForm::CreateParams(P);
    P.Style = WS_POPUP;
    P.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void*)
{
    TCanvas measure;
    measure.Font()->Assign(Font());
    int w = 0;
    auto lines = Lines(AHint);
    for (const auto& l : lines)
        w = std::max(w, measure.TextWidth(l));
    w += 2 * kPadX + 2;
    if (MaxWidth > 0)
        w = std::min(w, MaxWidth);
    int h = int(lines.size()) * measure.TextHeight("Wg") + 2 * kPadY + 2;
    return {0, 0, w, h};
}

void THintWindow::ActivateHint(TRect Rect, const std::string& AHint)
{
    Rect = FitInWorkArea(Rect);
    SetCaption(AHint);
    SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
    if (Visible())
        Invalidate();
    else
        Show();
    PaintNow();
}

void THintWindow::ActivateHintData(TRect Rect, const std::string& AHint, void* AData)
{
    FData = AData;
    ActivateHint(Rect, AHint);
}

void THintWindow::SetVisible(bool V)
{
    if (V == Visible())
        return;
    SetVisibleFlagOnly(V);
    ShowWindow(Handle(), V ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (V)
        DoShow();
    else
        DoHide();
}

void THintWindow::PaintWindow(TCanvas& C)
{
    TRect r = ClientRect();
    C.Brush.Color = Color();
    C.FillRect(r);
    C.Brush.Color = clBlack;
    C.FrameRect(r);
    C.Brush.Style = bsClear;
    int lineH = C.TextHeight("Wg");
    TRect inner {1, 1, r.Right - 1, r.Bottom - 1};
    int y = 1 + kPadY;
    for (const auto& l : Lines(Caption())) {
        C.TextRect(inner, 1 + kPadX, y, l);
        y += lineH;
    }
}

}  // namespace dcs
