// Loading a form's layout and rescaling it on every resize, against the fakes.
#include "ui/resize/tests/ResizeFakes.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

std::vector<int> BoundsOf(const fake::Comp& c) { return {c.L, c.T, c.W, c.H}; }

TEST(FormResizerLoad, CorrectsAHigherScreenResolution)
{
    fake::Rig rig;
    rig.Sys->Dpi = 120;
    rig.F->Font = 8;
    fake::Comp& a = rig.F->Add("A");
    a.Bounds(100, 50, 200, 30);
    a.Font = 8;
    rig.F->Add("B").Bounds(6, 6, 6, 6);
    fake::Comp& follower = rig.F->Add("C");
    follower.ParentFontOn = true;
    rig.Load(1210, 736, 96);

    EXPECT_EQ(rig.F->Font, 10);  // trunc(8 / 0.8 + 0.5)
    EXPECT_EQ(a.Font, 10);
    EXPECT_EQ(follower.FontSize(), 10);
    EXPECT_TRUE(follower.ParentFontOn);
    // 50 / 0.8 and 30 / 0.8 fall just below the half as well.
    EXPECT_EQ(BoundsOf(a), (std::vector<int> {125, 62, 250, 37}));
    // 6 / 0.8 is just under 7.5 in extended precision; a plain double rounds it up.
    EXPECT_EQ(rig.F->Get("B").L, 7);
    volatile double ratio = 96.0 / 120.0;
    volatile double plain = 6 / ratio + 0.5;
    EXPECT_EQ(static_cast<int>(plain), 8);

    const TCtrlInfo& r = rig.Kit->Ctrls()[0];
    EXPECT_EQ((std::vector<int> {r.Left, r.Top, r.Width, r.Height}), BoundsOf(a));
    EXPECT_EQ(r.Font, 10);
    EXPECT_TRUE(rig.Wnd->Intercepting);
}

TEST(FormResizerLoad, InitialScaleFollowsBorderStyleAndWindowState)
{
    struct Case {
        TResizeBorder Border;
        bool Maximized;
        int FormWidth;
        int Left;
    };
    const Case cases[] = {
        {TResizeBorder::Other, false, 0, 125}, {TResizeBorder::Dialog, false, 0, 100},
        {TResizeBorder::None, false, 0, 100},  {TResizeBorder::Dialog, false, 800, 125},
        {TResizeBorder::None, true, 0, 125},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Border) * 10 + c.Maximized);
        fake::Rig rig;
        rig.Sys->Dpi = 120;
        rig.F->Border = c.Border;
        rig.F->StateMaximized = c.Maximized;
        rig.F->Add("A").Bounds(100, 0, 10, 10);
        rig.Make().SetFormWidth(c.FormWidth);
        if (c.FormWidth)
            rig.Kit->SetFormHeight(600);
        rig.Load(1210, 736, 96);
        EXPECT_EQ(rig.F->Get("A").L, c.Left);
    }
}

TEST(FormResizerLoad, WithoutAFieldForTheKitNothingIsRecordedOrHooked)
{
    fake::Rig rig;
    rig.F->Fields.clear();
    rig.F->Add("A").Bounds(100, 50, 200, 30);
    rig.Load();
    EXPECT_TRUE(rig.Kit->Ctrls().empty());
    EXPECT_FALSE(rig.Wnd->Intercepting);
    EXPECT_TRUE(TFormResizer::FormResizerList().empty());
}

TEST(FormResizerLoad, AtDesignTimeTheKitOnlyStores)
{
    fake::Rig rig;
    rig.Sys->Dpi = 120;
    rig.F->Add("A").Bounds(100, 50, 200, 30);
    TFormResizer& kit = rig.Make();
    kit.SetDesigning(true);
    kit.SetNoResizeCtl("a;b");
    rig.Load();
    EXPECT_EQ(kit.NoResizeCtl(), "a;b");
    EXPECT_TRUE(kit.NoResizeCtls().empty());
    EXPECT_TRUE(kit.Ctrls().empty());
    EXPECT_EQ(rig.F->Get("A").L, 100);
    EXPECT_FALSE(rig.Wnd->Intercepting);
    EXPECT_TRUE(TFormResizer::FormResizerList().empty());
}

// The design example: client 1210 x 736 at 96 dpi.
struct RescaleCase {
    const char* What;
    int Cx, Cy;
    std::vector<int> Before;  // Left, Top, Width, Height
    int Font;
    std::vector<int> After;
    int FontAfter;
    int FormFont, FormFontAfter;
};

const std::vector<RescaleCase> kRescale = {
    {"one and a half", 1815, 1104, {100, 50, 200, 30}, 8, {150, 75, 300, 45}, 12, 8, 12},
    {"half width", 605, 736, {100, 50, 200, 30}, 9, {50, 50, 100, 30}, 4, 9, 5},
    // 121 * 615 / 1210 is 61.5; the scale stored as a double lies just below it.
    {"615 wide", 615, 736, {121, 0, 0, 10}, 8, {61, 1, 1, 10}, 4, 8, 4},
    {"font to zero", 60, 736, {0, 0, 10, 10}, 8, {1, 1, 1, 10}, 1, 8, 0},
};

TEST(FormResizerRescale, ScalesBoundsAndFontsFromTheDesignLayout)
{
    for (const RescaleCase& c : kRescale) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        rig.F->Font = c.FormFont;
        fake::Comp& a = rig.F->Add("A");
        a.Bounds(c.Before[0], c.Before[1], c.Before[2], c.Before[3]);
        a.Font = c.Font;
        TFormResizer& kit = rig.Load();
        std::vector<std::tuple<TObject*, double, double>> calls;
        kit.OnExitResize = [&](TObject* s, double x, double y) { calls.emplace_back(s, x, y); };
        rig.Wnd->Size(c.Cx, c.Cy);
        EXPECT_EQ(BoundsOf(a), c.After);
        EXPECT_EQ(a.Font, c.FontAfter);
        EXPECT_EQ(rig.F->Font, c.FormFontAfter);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(std::get<0>(calls[0]), &kit);
        EXPECT_EQ(std::get<1>(calls[0]), static_cast<double>(static_cast<long double>(c.Cx) / 1210));
        EXPECT_EQ(rig.Wnd->OwnMessages, std::vector<UINT> {WM_SIZE}) << "the message goes on to the form";
    }
    // The 615 row only holds in extended precision.
    volatile double xs = 615.0 / 1210.0;
    volatile double plain = 121 * xs + 0.5;
    EXPECT_EQ(static_cast<int>(plain), 62);
}

TEST(FormResizerRescale, ExclusionsParentFontsAndClassesWithoutFont)
{
    fake::Rig rig;
    rig.F->Add("Keep").Bounds(100, 50, 200, 30);
    rig.F->Add("KeepFont").Bounds(100, 50, 200, 30);
    fake::Comp& noFont = rig.F->Add("NoFont");
    noFont.Bounds(100, 50, 200, 30);
    noFont.Published = {"Caption"};
    fake::Comp& follower = rig.F->Add("Follower");
    follower.Bounds(100, 50, 200, 30);
    follower.ParentFontOn = true;
    fake::Comp& frame = rig.F->Add("Frame1");
    frame.Frame = true;
    frame.Bounds(0, 0, 400, 200);
    frame.Add("Inner").Bounds(10, 20, 30, 40);
    TFormResizer& kit = rig.Make();
    kit.SetNoResizeCtl("keep");  // looked up without regard to case
    kit.SetNoResizeFntCtl("KeepFont");
    rig.Load();
    rig.Wnd->Size(1815, 1104);

    EXPECT_EQ(BoundsOf(rig.F->Get("Keep")), (std::vector<int> {100, 50, 200, 30}));
    EXPECT_EQ(BoundsOf(rig.F->Get("KeepFont")), (std::vector<int> {150, 75, 300, 45}));
    EXPECT_EQ(rig.F->Get("KeepFont").Font, 8);
    EXPECT_EQ(BoundsOf(noFont), (std::vector<int> {150, 75, 300, 45}));
    EXPECT_EQ(noFont.Font, 8);
    // A control following its parent ends with the form's scaled font, still following.
    EXPECT_EQ(rig.F->Font, 12);
    EXPECT_TRUE(follower.ParentFontOn);
    EXPECT_EQ(follower.FontSize(), 12);
    EXPECT_EQ(BoundsOf(*frame.Children[0]), (std::vector<int> {15, 30, 45, 60}));
    EXPECT_EQ(frame.Children[0]->Font, 12);
}

TEST(FormResizerRescale, OneRepaintPerResizeAndNoneWhileMoving)
{
    fake::Rig rig;
    for (int i = 0; i < 10; ++i)
        rig.F->Add("C" + std::to_string(i)).Bounds(i * 10, 0, 10, 10);
    rig.Load();
    rig.Wnd->Size(1815, 1104);
    rig.Wnd->Size(605, 368);
    EXPECT_EQ(rig.Wnd->Paints, 2);
    EXPECT_EQ(rig.Wnd->PaintsWhileLocked, 0);
    EXPECT_EQ(rig.Wnd->Locks, 0);
}

TEST(FormResizerRescale, MinimizedAndDisabledPassThrough)
{
    fake::Rig rig;
    fake::Comp& a = rig.F->Add("A");
    a.Bounds(100, 50, 200, 30);
    TFormResizer& kit = rig.Load();
    rig.Wnd->Send(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(1815, 1104));
    EXPECT_EQ(a.L, 100);
    kit.SetEnabled(false);
    EXPECT_FALSE(rig.Wnd->Intercepting);
    rig.Wnd->Size(1815, 1104);
    EXPECT_EQ(a.L, 100);
    kit.SetEnabled(true);
    EXPECT_TRUE(rig.Wnd->Intercepting);
    rig.Wnd->Size(1815, 1104);
    EXPECT_EQ(a.L, 150);
    EXPECT_EQ(rig.Wnd->OwnMessages.size(), 3u);
}

TEST(FormResizerMends, NoStoredLayoutMeansNothingIsScaled)
{
    struct Case {
        const char* What;
        int FrmW, FrmH, Dpi;
    };
    const Case cases[] = {
        {"design width 0", 0, 736, 96}, {"design height 0", 1210, 0, 96}, {"design dpi 0", 1210, 736, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        fake::Rig rig;
        rig.Sys->Dpi = 120;
        rig.F->Font = 8;
        fake::Comp& a = rig.F->Add("A");
        a.Bounds(100, 50, 200, 30);
        a.Font = 9;
        TFormResizer& kit = rig.Make();
        kit.SetFormMaxWidth(1000);
        kit.SetFormMaxHeight(700);
        int exits = 0;
        kit.OnExitResize = [&](TObject*, double, double) { ++exits; };
        rig.Load(c.FrmW, c.FrmH, c.Dpi);
        rig.Wnd->Size(1815, 1104);
        EXPECT_EQ(BoundsOf(a), (std::vector<int> {100, 50, 200, 30}));
        EXPECT_EQ(a.Font, 9);
        EXPECT_EQ(rig.F->Font, 8);
        EXPECT_EQ(exits, 0);
        // Limits still apply.
        MINMAXINFO mmi {};
        rig.Wnd->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        EXPECT_EQ(mmi.ptMaxSize, (TPoint {1000, 700}));
    }
}

TEST(FormResizerMends, DestroyGivesTheWindowItsOwnProcedureBack)
{
    fake::Rig one, two;
    two.Wnd->H = 0x200;
    fake::Comp& a = one.F->Add("A");
    a.Bounds(100, 50, 200, 30);
    fake::Comp& b = two.F->Add("B");
    b.Bounds(100, 50, 200, 30);
    one.Load();
    two.Load();
    ASSERT_EQ(TFormResizer::FormResizerList().size(), 2u);

    one.Kit.reset();
    EXPECT_FALSE(one.Wnd->Intercepting);
    one.Wnd->Size(1815, 1104);
    EXPECT_EQ(one.Wnd->OwnMessages, std::vector<UINT> {WM_SIZE}) << "the form's own handler still hears it";
    EXPECT_EQ(a.L, 100);
    // Even a message delivered through a stale procedure goes on, unchanged.
    TFormResizer::ResizeWindowProc(two.Wnd->H, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1815, 1104));
    EXPECT_EQ(b.L, 150);
    two.Wnd->Size(605, 368);
    EXPECT_EQ(b.L, 50);
    EXPECT_EQ(TFormResizer::FormResizerList().size(), 1u);
    EXPECT_EQ(TFormResizer::ResizeWindowProc(one.Wnd->H, WM_SIZE, 0, 0), 0);
}

TEST(FormResizerHook, VersionFourWorksThroughTheThreadHook)
{
    fake::Rig rig;
    rig.Sys->Major = 4;
    rig.Sys->Minor = 10;
    fake::Comp& a = rig.F->Add("A");
    a.Bounds(100, 50, 200, 30);
    TFormResizer& kit = rig.Make();
    EXPECT_EQ(rig.Sys->Hooks, 1);
    rig.Load();
    EXPECT_FALSE(rig.Wnd->Intercepting);
    TFormResizer::ResizeHookMessage(rig.Wnd->H, WM_SIZE, SIZE_RESTORED, MAKELPARAM(1815, 1104));
    EXPECT_EQ(a.L, 150);
    // A screen change seen through the hook is recorded, the window stays.
    rig.Sys->SW = 1280;
    TRect before = rig.Wnd->R;
    TFormResizer::ResizeHookMessage(rig.Wnd->H, WM_NCPAINT, 0, 0);
    EXPECT_EQ(rig.Wnd->R, before);
    kit.SetEnabled(false);
    EXPECT_EQ(rig.Sys->Hooks, 0);
    kit.SetEnabled(true);
    EXPECT_EQ(rig.Sys->Hooks, 1);
    rig.Kit.reset();
    EXPECT_EQ(rig.Sys->Hooks, 0);
}

}  // namespace
}  // namespace dcs
