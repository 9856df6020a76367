// Work area, placement, first show, drag and maximize limits, against the fakes. The
// desktop is 1920 x 1080 unless a case says otherwise.
#include "ui/resize/tests/ResizeFakes.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

struct PlaceCase {
    const char* What;
    TResizeFormPos Pos;
    bool ValidTaskbar;
    TRect Bar;
    bool AutoHide;
    int Minor;
    TRect Start;
    TPoint Expected;
};

const TRect kBottomBar {0, 1040, 1920, 1080};
const TRect kTopBar {0, 0, 1920, 40};
const TRect kLeftBar {0, 0, 60, 1080};

const std::vector<PlaceCase> kPlacement = {
    {"middle centre", rpMiddleCenter, true, kBottomBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {352, 132}},
    {"taskbar not counted", rpMiddleCenter, false, kBottomBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {352, 152}},
    {"auto-hide takes no room", rpMiddleCenter, true, kBottomBar, true, 2, TRect::Bounds(5, 5, 1216, 775), {352, 152}},
    {"bottom right", rpBottomRight, true, kBottomBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {704, 265}},
    {"top centre", rpTopCenter, true, kBottomBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {352, 0}},
    {"middle left", rpMiddleLeft, true, kBottomBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {0, 132}},
    {"default keeps a window inside",
     rpDefault,
     true,
     kBottomBar,
     false,
     2,
     TRect::Bounds(40, 30, 1216, 775),
     {40, 30}},
    {"default pulls back inside",
     rpDefault,
     true,
     kBottomBar,
     false,
     2,
     TRect::Bounds(1000, 500, 1216, 775),
     {704, 265}},
    {"default never above the top", rpDefault, true, kBottomBar, false, 2, TRect::Bounds(-50, -20, 1216, 775), {0, 0}},
    {"top taskbar, minor 0", rpTopLeft, true, kTopBar, false, 0, TRect::Bounds(5, 5, 1216, 775), {0, 40}},
    {"top taskbar, minor 2", rpTopLeft, true, kTopBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {0, 0}},
    {"left taskbar, minor 0", rpTopLeft, true, kLeftBar, false, 0, TRect::Bounds(5, 5, 1216, 775), {60, 0}},
    {"left taskbar right", rpTopRight, true, kLeftBar, false, 2, TRect::Bounds(5, 5, 1216, 775), {644, 0}},
};

TEST(FormResizerPlacement, PlaceFormByPositionWorkAreaAndVersion)
{
    for (const PlaceCase& c : kPlacement) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        rig.Sys->Bar = c.Bar;
        rig.Sys->AutoHide = c.AutoHide;
        rig.Sys->Minor = c.Minor;
        rig.Wnd->R = c.Start;
        TFormResizer& kit = rig.Make();
        kit.PlaceForm(c.Pos, c.ValidTaskbar, c.Start.Width(), c.Start.Height());
        EXPECT_EQ(rig.Wnd->R.TopLeft(), c.Expected);
        EXPECT_EQ(rig.Wnd->R.Width(), c.Start.Width());
    }
}

TEST(FormResizerPlacement, WorkAreaEdges)
{
    struct Case {
        TRect Bar;
        bool AutoHide;
        int W, H, Edge;
    };
    const Case cases[] = {
        {kBottomBar, false, 1920, 1040, 3}, {kTopBar, false, 1920, 1040, 0},
        {kLeftBar, false, 1860, 1080, 1},   {{1860, 0, 1920, 1080}, false, 1860, 1080, 2},
        {kLeftBar, true, 1920, 1080, 1},    {{-10, 1040, 2000, 1090}, false, 1920, 1040, 3},  // clamped to the screen
        {{}, false, 1920, 1080, 1},                                                           // no taskbar
    };
    for (const Case& c : cases) {
        fake::Rig rig;
        rig.Sys->Bar = c.Bar;
        rig.Sys->AutoHide = c.AutoHide;
        TWorkArea a = rig.Make().GetWorkArea(true);
        EXPECT_EQ((std::vector<int> {a.W, a.H, a.Edge}), (std::vector<int> {c.W, c.H, c.Edge}));
    }
}

TEST(FormResizerPlacement, FormPosWriterAndMaximizedWindowsStayPut)
{
    fake::Rig rig;
    rig.Wnd->R = TRect::Bounds(5, 5, 1216, 775);
    TFormResizer& kit = rig.Make();
    kit.SetFormPos(rpMiddleCenter);
    EXPECT_EQ(rig.Wnd->R.TopLeft(), (TPoint {352, 132}));
    rig.Wnd->Max = true;
    kit.SetFormPos(rpTopLeft);
    EXPECT_EQ(rig.Wnd->R.TopLeft(), (TPoint {352, 132}));
}

TEST(FormResizerPlacement, FirstShow)
{
    struct Case {
        const char* What;
        int FormW, FormH;
        TRect Start;
        TRect Expected;
    };
    const Case cases[] = {
        {"one pixel more each way", 0, 0, TRect::Bounds(10, 20, 800, 600), TRect::Bounds(10, 20, 801, 601)},
        {"stored size", 1000, 700, TRect::Bounds(10, 20, 800, 600), TRect::Bounds(10, 20, 1000, 700)},
        {"shrunk to the work area", 0, 0, TRect::Bounds(10, 20, 2500, 1500), TRect::Bounds(0, 0, 1920, 1040)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        rig.Wnd->R = c.Start;
        TFormResizer& kit = rig.Make();
        kit.SetFormWidth(c.FormW);
        kit.SetFormHeight(c.FormH);
        rig.Load();
        rig.Wnd->Send(WM_SHOWWINDOW, 1);
        EXPECT_EQ(rig.Wnd->R, c.Expected);
        // Only before the first rescale.
        rig.Wnd->Size(1210, 736);
        rig.Wnd->Send(WM_SHOWWINDOW, 1);
        EXPECT_EQ(rig.Wnd->R, c.Expected);
    }
}

TEST(FormResizerPlacement, DragLimitsMoveTheRightAndBottomEdges)
{
    struct Case {
        const char* What;
        int MaxW, MaxH, MinW, MinH;
        TRect Dragged;
        TRect Expected;
    };
    const Case cases[] = {
        {"left border at the minimum", 0, 0, 800, 600, {300, 100, 1000, 700}, {300, 100, 1100, 700}},
        {"top border at the minimum", 0, 0, 800, 600, {100, 300, 900, 800}, {100, 300, 900, 900}},
        {"past the maximum", 1000, 700, 0, 0, {0, 0, 1200, 900}, {0, 0, 1000, 700}},
        {"maximum width alone is no limit", 1000, 0, 0, 0, {0, 0, 1200, 900}, {0, 0, 1200, 900}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        TFormResizer& kit = rig.Make();
        kit.SetFormMaxWidth(c.MaxW);
        kit.SetFormMaxHeight(c.MaxH);
        kit.SetFormMinWidth(c.MinW);
        kit.SetFormMinHeight(c.MinH);
        rig.Load();
        TRect r = c.Dragged;
        rig.Wnd->Send(WM_SIZING, 1, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r, c.Expected);
    }
}

TEST(FormResizerPlacement, MinMaxInfo)
{
    struct Case {
        const char* What;
        int MaxW, MaxH;
        TRect Bar;
        int Minor;
        TRect Window;
        TPoint InPos;
        TPoint Size, Pos;
    };
    const Case cases[] = {
        {"no limits", 0, 0, kBottomBar, 2, TRect::Bounds(10, 10, 800, 600), {0, 0}, {1920, 1040}, {0, 0}},
        {"no limits, frame outside the screen",
         0,
         0,
         kBottomBar,
         2,
         TRect::Bounds(10, 10, 800, 600),
         {-8, -8},
         {1928, 1048},
         {-8, -8}},
        {"maximum 1000 alone", 1000, 0, kBottomBar, 2, TRect::Bounds(10, 10, 800, 600), {0, 0}, {1920, 1040}, {0, 0}},
        {"limits keep the position",
         1000,
         700,
         kBottomBar,
         2,
         TRect::Bounds(10, 20, 800, 600),
         {0, 0},
         {1000, 700},
         {10, 20}},
        {"limits past the right",
         1000,
         700,
         kBottomBar,
         2,
         TRect::Bounds(1500, 20, 800, 600),
         {0, 0},
         {1000, 700},
         {920, 20}},
        {"limits above the top",
         1000,
         700,
         kBottomBar,
         2,
         TRect::Bounds(10, -5, 800, 600),
         {0, 0},
         {1000, 700},
         {10, 0}},
        {"top taskbar, minor 0", 1000, 700, kTopBar, 0, TRect::Bounds(10, 20, 800, 600), {0, 0}, {1000, 700}, {10, 40}},
        {"top taskbar, minor 2", 1000, 700, kTopBar, 2, TRect::Bounds(10, 20, 800, 600), {0, 0}, {1000, 700}, {10, 0}},
        {"left taskbar, minor 0",
         1000,
         700,
         kLeftBar,
         0,
         TRect::Bounds(30, 20, 800, 600),
         {0, 0},
         {1000, 700},
         {60, 20}},
        {"left taskbar, minor 2",
         1000,
         700,
         kLeftBar,
         2,
         TRect::Bounds(30, 20, 800, 600),
         {0, 0},
         {1000, 700},
         {0, 20}},
        {"left taskbar past the right",
         1000,
         700,
         kLeftBar,
         0,
         TRect::Bounds(1500, 20, 800, 600),
         {0, 0},
         {1000, 700},
         {920, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        rig.Sys->Bar = c.Bar;
        rig.Sys->Minor = c.Minor;
        rig.Wnd->R = c.Window;
        TFormResizer& kit = rig.Make();
        kit.SetFormMaxWidth(c.MaxW);
        kit.SetFormMaxHeight(c.MaxH);
        rig.Load();
        MINMAXINFO m {};
        m.ptMaxPosition = c.InPos;
        m.ptMinTrackSize = {11, 12};
        rig.Wnd->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&m));
        EXPECT_EQ(m.ptMaxSize, c.Size);
        EXPECT_EQ(m.ptMaxTrackSize, c.Size);
        EXPECT_EQ(m.ptMaxPosition, c.Pos);
        EXPECT_EQ(m.ptMinTrackSize, (TPoint {11, 12}));
        // Minimized: left alone.
        rig.Wnd->Min = true;
        MINMAXINFO untouched {};
        rig.Wnd->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&untouched));
        EXPECT_EQ(untouched.ptMaxSize, (TPoint {0, 0}));
    }
}

TEST(FormResizerPlacement, MaximizedCorrectionAndScreenSizeCheck)
{
    fake::Rig rig;
    rig.Sys->Minor = 10;
    rig.Wnd->R = TRect::Bounds(1500, 800, 1000, 700);
    TFormResizer& kit = rig.Make();
    kit.SetFormMaxWidth(1000);
    kit.SetFormMaxHeight(700);
    rig.Load();
    rig.Wnd->Max = true;
    rig.Wnd->Size(1000, 700);
    EXPECT_EQ(rig.Wnd->R, TRect::Bounds(920, 340, 1000, 700));

    // The screen shrinks: the window is moved inside (one pixel larger, as the check
    // measures its rectangle inclusively).
    rig.Wnd->Max = false;
    rig.Wnd->Send(WM_SHOWWINDOW, 1);  // after a rescale: no first placement
    rig.Sys->SW = 1280;
    rig.Sys->SH = 1024;
    rig.Sys->Bar = {0, 984, 1280, 1024};
    rig.Wnd->Send(WM_NCPAINT);
    rig.Wnd->Send(WM_NCPAINT);
    EXPECT_EQ(rig.Wnd->R, TRect::Bounds(279, 283, 1001, 701));
    EXPECT_EQ(rig.Wnd->Moves.size(), 2u);
}

}  // namespace
}  // namespace dcs
