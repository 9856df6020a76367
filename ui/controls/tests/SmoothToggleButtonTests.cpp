#include "ControlFixture.h"

#include "platform/win/Timer.h"
#include "ui/controls/SmoothToggleButton.h"

namespace dcs::smooth::test {
namespace {

class Toggle : public ControlTest {
public:
    TForm* F = nullptr;
    std::vector<TSmoothToggleButton*> T;
    void SetUp() override
    {
        ControlTest::SetUp();
        F = MakeForm(500, 200);
        for (int i = 0; i < 4; ++i) {
            auto* t = Place<TSmoothToggleButton>(F, TRect::Bounds(10 + i * 120, 10, 100, 35));
            t->SetName("t" + std::to_string(i));
            t->OnClick = [this, t](TObject*) { Log.push_back(t->Name() + ".click " + Downs()); };
            T.push_back(t);
        }
        Pump();
    }
    // Which of the four are down, as "0101".
    std::string Downs() const
    {
        std::string s;
        for (auto* t : T)
            s += t->Down() ? '1' : '0';
        return s;
    }
    TPoint At(int i) const { return {60 + i * 120, 27}; }
    void Press(int i) { DeliverMouse(F->Handle(), WM_LBUTTONDOWN, At(i), MK_LBUTTON); }
    void Release(TPoint P)
    {
        DeliverMouse(F->Handle(), WM_LBUTTONUP, P);
        Pump();
    }
    void Wait(uint64_t Ms)
    {
        for (uint64_t t = 0; t < Ms; t += 10) {
            Clock.Advance(10);
            Pump();
        }
    }
    void ClickOn(int i)
    {
        Wait(1000);  // past the double-click time
        Click(F, At(i));
    }
};

TEST_F(Toggle, GroupWithoutAllUpKeepsExactlyOneDown)
{
    for (auto* t : T) {
        t->SetGroupIndex(1);
        t->SetAllowAllUp(false);
    }
    ClickOn(0);
    ClickOn(2);
    ClickOn(2);
    ClickOn(1);
    EXPECT_EQ(Log, (std::vector<std::string> {"t0.click 1000", "t2.click 0010", "t2.click 0010", "t1.click 0100"}))
        << "the old one is up before OnClick; a re-click stays down and clicks";

    Log.clear();
    T[1]->SetDown(false);
    EXPECT_EQ(Downs(), "0100") << "a down button without AllowAllUp cannot be raised in code";
    T[3]->SetDown(true);
    EXPECT_EQ(Downs(), "0001") << "putting another down releases it";
    EXPECT_TRUE(Log.empty()) << "writing Down clicks nothing";

    T[0]->SetAllowAllUp(true);  // the broadcast hands the value to the group
    for (auto* t : T)
        EXPECT_TRUE(t->AllowAllUp()) << t->Name();
    ClickOn(3);
    EXPECT_EQ(Downs(), "0000");
}

TEST_F(Toggle, DragOffLeavesDownAsItWasAndDoesNotClick)
{
    for (bool startDown : {false, true}) {
        T[0]->SetDown(startDown);
        Wait(1000);
        DeliverMouse(F->Handle(), WM_MOUSEMOVE, At(0));
        Press(0);
        EXPECT_NE(T[0]->Down(), startDown) << "the press toggles at once";
        DeliverMouse(F->Handle(), WM_MOUSEMOVE, {250, 150}, MK_LBUTTON);
        Release({250, 150});
        EXPECT_EQ(T[0]->Down(), startDown);
        // Released outside without a move in between.
        Wait(1000);
        Press(0);
        Release({250, 150});
        EXPECT_EQ(T[0]->Down(), startDown);
    }
    EXPECT_TRUE(Log.empty());
}

TEST_F(Toggle, RepeatWithoutAutoToggle)
{
    auto* t = T[0];
    t->SetAutoToggle(false);
    t->SetAllowTimer(true);
    const uint64_t t0 = Clock.NowMs();
    std::vector<uint64_t> at;
    t->OnClick = [&](TObject*) { at.push_back(Clock.NowMs() - t0); };
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, At(0));
    Press(0);
    EXPECT_TRUE(t->Down());
    Wait(750);
    Release(At(0));
    EXPECT_EQ(at, (std::vector<uint64_t> {500, 600, 700})) << "no click at the release";
    EXPECT_FALSE(t->Down()) << "down only while held";
    at.clear();
    Wait(1000);
    const uint64_t t1 = Clock.NowMs();
    Press(0);
    Wait(200);
    Release(At(0));
    EXPECT_EQ(at, (std::vector<uint64_t> {t1 - t0 + 200}));
}

TEST_F(Toggle, DisabledColourAndIgnoredClicks)
{
    F->SetColor(clWhite);
    auto* t = T[0];
    t->SetColorDisabled(clRed);
    t->SetBevelWidth(0);
    t->SetBorderColor(clNone);
    t->SetBorderInnerColor(clNone);
    t->Appearance()->SetSimpleLayout(true);
    t->SetEnabled(false);
    Paint(F);
    EXPECT_EQ(Px(F, 30, 27), 0xFFFF0000u);
    ClickOn(0);
    DeliverKey(WM_CHAR, ' ');
    Pump();
    EXPECT_FALSE(t->Down());
    EXPECT_TRUE(Log.empty());
}

TEST_F(Toggle, KeysAcceleratorAndClickRaiseOnClickOnce)
{
    auto* t = T[0];
    t->SetCaption("&Preset");
    t->SetGroupIndex(2);
    T[1]->SetGroupIndex(2);
    T[1]->SetDown(true);
    t->SetFocus();
    DeliverKey(WM_CHAR, ' ');
    Pump();
    EXPECT_EQ(Log, std::vector<std::string> {"t0.click 1000"});
    Log.clear();
    EXPECT_EQ(F->Perform(CM_DIALOGCHAR, 'p', 0), 1);
    EXPECT_EQ(Log, std::vector<std::string> {"t0.click 0000"});
    Log.clear();
    T[1]->SetDown(true);
    t->Click();
    EXPECT_EQ(Log, std::vector<std::string> {"t0.click 1000"}) << "Click tells the group when it goes down";
    Wait(1000);
    Click(F, At(0));
    Click(F, At(0));  // a double click toggles once
    EXPECT_EQ(Downs(), "0000");
}

TEST_F(Toggle, BadgeOnlyWithCaptionAndTheFaceMakesRoomForIt)
{
    F->SetColor(clWhite);
    auto* t = T[0];
    t->SetBevelWidth(0);
    t->SetBorderInnerColor(clNone);
    t->SetBorderColor(clRed);
    auto leftEdge = [&] {
        Paint(F);
        for (int x = 0; x < 60; ++x) {
            const uint32_t p = Px(F, 10 + x, 27);
            if (int((p >> 16) & 0xFF) - int((p >> 8) & 0xFF) > 60)
                return x;
        }
        return -1;
    };
    EXPECT_EQ(leftEdge(), 0);
    t->Status()->SetVisible(true);
    EXPECT_EQ(leftEdge(), 0) << "no caption, no picture: no badge";
    t->Status()->SetCaption("7");
    EXPECT_EQ(leftEdge(), 5) << "the face shrinks by the horizontal spacing";
    DumpPng(F, "toggle-badge");
}

}  // namespace
}  // namespace dcs::smooth::test

namespace dcs::smooth::test {
namespace {

TEST_F(Toggle, DropDownOpensBelowOrAboveInsideTheWorkArea)
{
    auto* panel = Create<TCustomControl>(F);
    panel->SetBounds(0, 0, 100, 50);
    panel->SetParent(F);
    auto* t = T[0];
    int drops = 0;
    t->OnDropDown = [&](TObject*) { ++drops; };
    t->SetDropDownControl(panel);
    EXPECT_FALSE(panel->Visible()) << "assigned, it hides until dropped down";
    ClickOn(0);
    ASSERT_TRUE(t->DroppedDown());
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(panel->Visible());
    const TWinControl* window = panel->Parent();
    ASSERT_NE(window, F);
    const TPoint below = t->ClientToScreen({0, t->Height()});
    EXPECT_EQ(window->BoundsRect(), TRect::Bounds(below.X, below.Y, 102, 52));
    ClickOn(0);
    EXPECT_FALSE(t->DroppedDown()) << "the next press closes it";

    // Near the bottom of the work area (1040 high) it opens above the button.
    F->SetBounds(0, 980, 500, 60);
    t->SetDroppedDown(true);
    const TPoint top = t->ClientToScreen({0, 0});
    EXPECT_EQ(window->BoundsRect().Bottom, top.Y);
    t->SetDroppedDown(false);
    EXPECT_FALSE(t->DroppedDown());
}

}  // namespace
}  // namespace dcs::smooth::test
