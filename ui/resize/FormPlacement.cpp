// Keeping the form window inside the screen's work area and within the kit's size
// limits: the work area, placement by FormPos, the first placement, drag and maximize
// limits, the maximized correction and the screen-size check.
#include "ui/resize/FormResizer.h"
#include "ui/resize/FormResizerInternal.h"

#include <algorithm>

namespace dcs {

using namespace resize_detail;

namespace {
constexpr int kTop = 0, kLeft = 1, kRight = 2, kBottom = 3;
}

TWorkArea TFormResizer::GetWorkArea(bool ValidTaskbar) const
{
    IResizeSystem& sys = *FSeams.System;
    TWorkArea a;
    a.W = sys.ScreenWidth();
    a.H = sys.ScreenHeight();
    bool autoHide = false;
    TRect& t = a.Taskbar;
    if (Unit().OsMajor >= 4) {
        autoHide = sys.TaskbarAutoHide();
        t = sys.TaskbarRect();
        t.Top = std::max(t.Top, 0);
        t.Left = std::max(t.Left, 0);
        t.Right = std::min(t.Right, a.W);
        t.Bottom = std::min(t.Bottom, a.H);
    }
    if (t.Width() > t.Height())
        a.Edge = t.Top > 0 ? kBottom : kTop;
    else
        a.Edge = t.Left > 0 ? kRight : kLeft;
    if (autoHide) {
        switch (a.Edge) {
        case kTop: t.Bottom = t.Top; break;
        case kLeft: t.Right = t.Left; break;
        case kRight: t.Left = t.Right; break;
        default: t.Top = t.Bottom; break;
        }
    }
    if (ValidTaskbar) {
        if (a.Edge == kLeft || a.Edge == kRight)
            a.W -= t.Width();
        else
            a.H -= t.Height();
    }
    return a;
}

void TFormResizer::PlaceForm(TResizeFormPos Pos, bool ValidTaskbar, int Width, int Height)
{
    IResizeWindow& wnd = *FSeams.Window;
    if (wnd.Maximized())
        return;
    TWorkArea a = GetWorkArea(ValidTaskbar);
    TRect r = wnd.Rect();
    int x = r.Left, y = r.Top;
    if (x + Width > a.W)
        x = a.W - Width;
    if (y + Height > a.H)
        y = a.H - Height;
    int dx = a.W - Width, dy = a.H - Height;
    switch (Pos) {
    case rpDefault: break;
    case rpTopLeft:
        x = 0;
        y = 0;
        break;
    case rpTopCenter:
        x = dx / 2;
        y = 0;
        break;
    case rpTopRight:
        x = dx;
        y = 0;
        break;
    case rpMiddleLeft:
        x = 0;
        y = dy / 2;
        break;
    case rpMiddleCenter:
        x = dx / 2;
        y = dy / 2;
        break;
    case rpMiddleRight:
        x = dx;
        y = dy / 2;
        break;
    case rpBottomLeft:
        x = 0;
        y = dy;
        break;
    case rpBottomCenter:
        x = dx / 2;
        y = dy;
        break;
    case rpBottomRight:
        x = dx;
        y = dy;
        break;
    }
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (Unit().OsMinor == 0) {
        if (a.Edge == kTop)
            y = std::max(y, a.Taskbar.Bottom);
        else if (a.Edge == kLeft)
            x = std::max(x, a.Taskbar.Right);
    }
    wnd.Move(x, y, Width, Height);
}

void TFormResizer::SetFormPos(TResizeFormPos V)
{
    if (V == FFormPos)
        return;
    FFormPos = V;
    if (!Designing() && FSeams.Window && FSeams.System) {
        TRect r = FSeams.Window->Rect();
        PlaceForm(V, FValidTaskbar, r.Width(), r.Height());
    }
}

void TFormResizer::FirstPlacement()
{
    TResizeUnit& u = Unit();
    u.ScreenW = FSeams.System->ScreenWidth();
    u.ScreenH = FSeams.System->ScreenHeight();
    TWorkArea a = GetWorkArea(FValidTaskbar);
    int w, h;
    if (FFormWidth > 0 && FFormHeight > 0) {
        w = FFormWidth;
        h = FFormHeight;
    } else {
        TRect r = FSeams.Window->Rect();
        w = r.Width() + 1;
        h = r.Height() + 1;
    }
    PlaceForm(FFormPos, FValidTaskbar, std::min(w, a.W), std::min(h, a.H));
}

// Whichever border is dragged, the right and bottom edges are the ones moved.
void TFormResizer::DragLimits(TRect& R) const
{
    if (FFormMaxWidth > 0 && FFormMaxHeight > 0) {
        if (R.Width() > FFormMaxWidth)
            R.Right = R.Left + FFormMaxWidth;
        if (R.Height() > FFormMaxHeight)
            R.Bottom = R.Top + FFormMaxHeight;
    }
    if (FFormMinWidth > 0 && FFormMinHeight > 0) {
        if (R.Width() < FFormMinWidth)
            R.Right = R.Left + FFormMinWidth;
        if (R.Height() < FFormMinHeight)
            R.Bottom = R.Top + FFormMinHeight;
    }
}

void TFormResizer::SizeLimits(MINMAXINFO& Info) const
{
    TWorkArea a = GetWorkArea(FValidTaskbar);
    int W = a.W, H = a.H;
    int tw = a.Taskbar.Width(), th = a.Taskbar.Height();
    bool leftBar = a.Edge == kLeft, topBar = a.Edge == kTop;
    int mw = Info.ptMaxSize.X, mh = Info.ptMaxSize.Y;
    int px = Info.ptMaxPosition.X, py = Info.ptMaxPosition.Y;
    bool limited = FFormMaxWidth > 0 && FFormMaxHeight > 0;
    if (limited) {
        mw = FFormMaxWidth;
        mh = FFormMaxHeight;
    } else {
        if (px < 0)
            W -= px;
        if (py < 0)
            H -= py;
        mw = W;
        mh = H;
    }
    mw = std::min(mw, W);
    mh = std::min(mh, H);
    if (limited) {
        TRect r = FSeams.Window->Rect();
        if (r.Left < 0)
            px = leftBar ? tw : 0;
        else if (r.Right <= W)
            px = leftBar && tw >= r.Left ? tw : r.Left;
        else
            px = W - mw + (leftBar ? tw : 0);
        if (r.Top < 0)
            py = topBar ? th : 0;
        else if (r.Bottom <= H)
            py = topBar && r.Top <= th ? th : r.Top;
        else
            py = H - mh + (topBar ? th : 0);
        px = std::max(px, 0);
        py = std::max(py, 0);
    }
    if (Unit().OsMinor > 0) {
        if (topBar)
            py -= th;
        else if (leftBar)
            px -= tw;
    }
    Info.ptMaxSize = {mw, mh};
    Info.ptMaxTrackSize = {mw, mh};
    Info.ptMaxPosition = {px, py};
}

void TFormResizer::MaximizedCorrection()
{
    if (FFormMaxWidth <= 0 || FFormMaxHeight <= 0 || !FSeams.Window->Maximized())
        return;
    TWorkArea a = GetWorkArea(FValidTaskbar);
    TRect r = FSeams.Window->Rect();
    int W = a.W, H = a.H;
    if (FValidTaskbar) {
        if (a.Edge == kTop)
            H += a.Taskbar.Height();
        else if (a.Edge == kLeft)
            W += a.Taskbar.Width();
    }
    if (r.Bottom <= H && r.Right <= W)
        return;
    int x = r.Right > W ? W - r.Width() : r.Left;
    int y = r.Bottom > H ? H - r.Height() : r.Top;
    FSeams.Window->Move(x, y, r.Width(), r.Height());
}

void TFormResizer::ScreenSizeCheck(bool ViaHook)
{
    TResizeUnit& u = Unit();
    int sw = FSeams.System->ScreenWidth(), sh = FSeams.System->ScreenHeight();
    if (sw == u.ScreenW && sh == u.ScreenH)
        return;
    u.ScreenW = sw;
    u.ScreenH = sh;
    if (ViaHook)
        return;
    TWorkArea a = GetWorkArea(FValidTaskbar);
    TRect r = FSeams.Window->Rect();
    int w = std::min(r.Right - r.Left + 1, a.W);
    int h = std::min(r.Bottom - r.Top + 1, a.H);
    int x = r.Left + w > a.W ? a.W - w : r.Left;
    int y = r.Top + h > a.H ? a.H - h : r.Top;
    FSeams.Window->Move(x, y, w, h);
}

}  // namespace dcs
