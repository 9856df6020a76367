#include "Fixture.h"

#include "platform/controls/ApplicationHints.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/ToolTips.h"
#include "platform/win/Input.h"

#include <functional>

namespace dcs {
namespace {

using testing::Add;

class Hints : public testing::HeadlessGui {
protected:
    // The text of the hint showing now, "" when none shows.
    std::string Shown()
    {
        TApplicationHints* h = ApplicationHints();
        return h->HintActive() ? h->HintWindow()->Caption() : "";
    }
    TRect ShownRect() { return ApplicationHints()->HintWindow()->BoundsRect(); }
    void Move(TCustomForm* F, TPoint P) { DeliverMouse(F->Handle(), WM_MOUSEMOVE, P); }
    void Wait(uint64_t Ms)
    {
        Clock.Advance(Ms);
        Pump();
    }
    TPanel* HintPanel(TForm* F, const char* Name, TRect B, const char* Hint)
    {
        auto* p = Add<TPanel>(F, Name, B);
        p->SetHint(Hint);
        p->SetShowHint(true);
        return p;
    }
};

TEST_F(Hints, PauseShortPauseAndHidePauseFollowTheClock)
{
    TForm* f = MakeForm(400, 300);
    HintPanel(f, "a", TRect::Bounds(0, 0, 100, 100), "Alpha");
    HintPanel(f, "b", TRect::Bounds(200, 0, 100, 100), "Beta");
    auto* quiet = Add<TLabel>(f, "quiet", TRect::Bounds(0, 150, 100, 50));
    quiet->SetHint("Gamma");  // ShowHint is off
    struct {
        const char* What;
        std::function<void()> Do;
        uint64_t Advance;
        std::string Expect;
    } steps[] = {
        {"onto a, not yet",
         [&] {
             Move(f, {50, 50});
         },
         499, ""},
        {"after the hint pause", [] {}, 1, "Alpha"},
        {"moving inside keeps it",
         [&] {
             Move(f, {60, 60});
         },
         0, "Alpha"},
        {"onto b hides at once",
         [&] {
             Move(f, {250, 50});
         },
         0, ""},
        {"then the short pause", [] {}, 50, "Beta"},
        {"the hide pause", [] {}, 2500, ""},
        {"no second time over the same control",
         [&] {
             Move(f, {260, 60});
         },
         3000, ""},
        {"a control without ShowHint",
         [&] {
             Move(f, {50, 170});
         },
         1000, ""},
        {"back onto a: the full pause",
         [&] {
             Move(f, {50, 50});
         },
         499, ""},
        {"", [] {}, 1, "Alpha"},
        {"a click hides it",
         [&] {
             DeliverMouse(f->Handle(), WM_LBUTTONDOWN, {50, 50}, MK_LBUTTON);
         },
         0, ""},
        {"and it stays away over that control",
         [&] {
             DeliverMouse(f->Handle(), WM_LBUTTONUP, {50, 50});
             Move(f, {55, 55});
         },
         1000, ""},
        {"onto b",
         [&] {
             Move(f, {250, 50});
         },
         500, "Beta"},
        {"a key hides it", [&] { Key(VK_SPACE); }, 0, ""},
        {"onto a",
         [&] {
             Move(f, {50, 50});
         },
         100, ""},
        {"the pointer leaves the window before the pause ends", [&] { DeliverMouseLeave(f->Handle()); }, 1000, ""},
    };
    for (auto& s : steps) {
        s.Do();
        Wait(s.Advance);
        EXPECT_EQ(Shown(), s.Expect) << s.What;
    }
}

TEST_F(Hints, TheControlAndOnShowHintDecideTextPlaceAndWhetherItShows)
{
    TForm* f = MakeForm(400, 300);
    auto* p = HintPanel(f, "p", TRect::Bounds(100, 100, 100, 50), "plain");
    std::vector<THintInfo> asked;
    TWndMethod inherited = p->WindowProc;
    // Left half: a text of the pointer's place, the hint at a spot of its own and only
    // this half as the cursor rectangle. Right half: refused.
    p->WindowProc = [&, inherited](TMessage& M) {
        if (M.Msg != CM_HINTSHOW)
            return inherited(M);
        auto* info = reinterpret_cast<THintInfo*>(M.LParam);
        asked.push_back(*info);
        if (info->CursorPos.X >= 50) {
            M.Result = 1;
            return;
        }
        info->HintStr = info->HintStr + " at " + std::to_string(info->CursorPos.X);
        info->HintPos = {5, 6};
        info->CursorRect = {0, 0, 50, 50};
    };
    Move(f, {110, 120});
    Wait(500);
    EXPECT_EQ(Shown(), "plain at 10");
    EXPECT_EQ(ShownRect().TopLeft(), (TPoint {5, 6}));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].HintControl, p);
    EXPECT_EQ(asked[0].CursorRect, p->ClientRect());
    EXPECT_EQ(asked[0].HintPos, (TPoint {110, 140}));  // below the pointer by default
    EXPECT_EQ(asked[0].HideTimeout, 2500);
    EXPECT_EQ(asked[0].HintColor, clInfoBk);

    Move(f, {130, 130});  // still inside the cursor rectangle
    Wait(100);
    EXPECT_EQ(Shown(), "plain at 10");
    Move(f, {170, 130});  // out of it: asked again after the short pause, and refused
    EXPECT_EQ(Shown(), "");
    Wait(50);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(Shown(), "");

    bool allow = false;
    ApplicationHints()->OnShowHint = [&](std::string& S, bool& CanShow, THintInfo&) {
        S = "[" + S + "]";
        CanShow = allow;
    };
    Move(f, {0, 0});
    Move(f, {120, 120});
    Wait(500);
    EXPECT_EQ(Shown(), "");
    allow = true;
    Move(f, {0, 0});
    Move(f, {120, 120});
    Wait(500);
    EXPECT_EQ(Shown(), "[plain at 20]");
}

TEST_F(Hints, TheHintWindowStaysInsideTheWorkArea)
{
    TPlatformFacts facts;
    facts.Screen = {800, 600};
    facts.WorkArea = {0, 0, 800, 560};
    SetPlatformFacts(facts);
    TForm* f = MakeForm(800, 560);
    HintPanel(f, "p", TRect::Bounds(0, 0, 800, 560), "A hint long enough to run past the right edge");
    struct {
        TPoint At;
        const char* What;
    } cases[] = {{{10, 10}, "below the pointer"},
                 {{790, 10}, "right edge"},
                 {{400, 555}, "bottom: above the pointer"},
                 {{795, 555}, "corner"}};
    for (auto& c : cases) {
        Move(f, {0, 0});
        ApplicationHints()->CancelHint();
        Move(f, c.At);
        Wait(500);
        ASSERT_NE(Shown(), "") << c.What;
        TRect r = ShownRect();
        EXPECT_GE(r.Left, 0) << c.What;
        EXPECT_LE(r.Right, 800) << c.What;
        EXPECT_GE(r.Top, 0) << c.What;
        EXPECT_LE(r.Bottom, 560) << c.What;
        EXPECT_FALSE(r.Contains(c.At)) << c.What << ": the hint covers the pointer";
    }
}

TEST_F(Hints, TheHintWindowPaintsItsTextOnTheInfoColourAndTakesNoFocus)
{
    TForm* f = MakeForm(400, 300);
    auto* p = HintPanel(f, "p", TRect::Bounds(0, 0, 200, 200), "WWWW");
    auto* b = Add<TButton>(f, "b", TRect::Bounds(250, 0, 50, 20));
    b->SetFocus();
    Move(f, {20, 20});
    Wait(500);
    THintWindow* w = ApplicationHints()->HintWindow();
    ASSERT_TRUE(w && w->Visible());
    EXPECT_EQ(GetActiveWindow(), f->Handle());
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(Screen()->FormCount(), 1);  // no form of the program
    const TBackbuffer& bb = w->Backbuffer();
    EXPECT_EQ(bb.Pixel(0, 0) & 0xFFFFFF, 0u) << "the frame";
    EXPECT_EQ(bb.Pixel(2, bb.Height() / 2) & 0xFFFFFF, 0xFFFFE1u) << "the info colour";
    int dark = 0;
    for (int y = 1; y < bb.Height() - 1; ++y)
        for (int x = 1; x < bb.Width() - 1; ++x)
            dark += (bb.Pixel(x, y) & 0xFF) < 0x80;
    EXPECT_GT(dark, 20) << "the text";
    // The control goes away while its hint shows: the hint goes with it.
    Free(p);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(ApplicationHints()->HintControl(), nullptr);
    Wait(3000);
}

TEST_F(Hints, ATooltipShowsTheToolTextOnlyWhenPoppedUpAndFollowsItsChanges)
{
    TForm* f = MakeForm(400, 300);
    auto* bar = Add<TPanel>(f, "bar", TRect::Bounds(50, 50, 200, 40));
    auto* tip = Create<TToolTipWindow>(f);
    HWND h = tip->Handle();
    TOOLINFO ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = bar->Handle();
    ti.uId = UINT_PTR(bar->Handle());
    EXPECT_EQ(SendMessage(h, TTM_ADDTOOL, 0, LPARAM(&ti)), 1);
    EXPECT_EQ(SendMessage(h, TTM_GETTOOLCOUNT, 0, 0), 1);
    auto setText = [&](const char* T) {
        ti.lpszText = T;
        SendMessage(h, TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
    };
    DeliverMouse(f->Handle(), WM_LBUTTONDOWN, {100, 60}, MK_LBUTTON);
    SendMessage(h, TTM_POPUP, 0, 0);
    EXPECT_FALSE(tip->Visible()) << "an empty text shows nothing";
    setText("33.00");
    SendMessage(h, TTM_POPUP, 0, 0);
    ASSERT_TRUE(tip->Visible());
    EXPECT_EQ(tip->Caption(), "33.00");
    TRect at = tip->BoundsRect();
    EXPECT_EQ(at.TopLeft(), (TPoint {100, 80}));
    DeliverMouse(f->Handle(), WM_MOUSEMOVE, {140, 60}, MK_LBUTTON);
    setText("34.00 Hz");  // dragging: the text changes where the tip is
    EXPECT_EQ(tip->Caption(), "34.00 Hz");
    EXPECT_EQ(tip->BoundsRect().TopLeft(), at.TopLeft());
    EXPECT_GT(tip->Width(), at.Width());
    EXPECT_EQ(GetActiveWindow(), f->Handle());
    SendMessage(h, TTM_POP, 0, 0);
    EXPECT_FALSE(tip->Visible());
    setText("35.00");
    EXPECT_FALSE(tip->Visible()) << "a new text does not pop it up";
    SendMessage(h, TTM_POPUP, 0, 0);
    setText("");
    EXPECT_FALSE(tip->Visible()) << "an emptied text hides it";
    SendMessage(h, TTM_DELTOOL, 0, LPARAM(&ti));
    EXPECT_EQ(SendMessage(h, TTM_GETTOOLCOUNT, 0, 0), 0);
    Free(tip);
}

}  // namespace
}  // namespace dcs
