#include "ControlFixture.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/win/Timer.h"
#include "ui/controls/SmoothButton.h"

namespace dcs::smooth::test {
namespace {

class Button : public ControlTest {
public:
    TForm* F = nullptr;
    TSmoothButton* B = nullptr;
    void SetUp() override
    {
        ControlTest::SetUp();
        F = MakeForm(300, 200);
        B = Place<TSmoothButton>(F, TRect::Bounds(20, 20, 120, 35));
        B->SetCaption("&Start");
        B->OnClick = [this](TObject*) { Log.push_back("click@" + std::to_string(Clock.NowMs())); };
        B->OnDblClick = [this](TObject*) { Log.push_back("dblclick"); };
        B->OnStatusClick = [this](TObject*) { Log.push_back("status"); };
        Pump();
    }
    void Down(TPoint P) { DeliverMouse(F->Handle(), WM_LBUTTONDOWN, P, MK_LBUTTON); }
    void Up(TPoint P)
    {
        DeliverMouse(F->Handle(), WM_LBUTTONUP, P);
        Pump();
    }
    void Wait(uint64_t Ms, uint64_t Step = 10)
    {
        for (uint64_t t = 0; t < Ms; t += Step) {
            Clock.Advance(Step);
            Pump();
        }
    }
    // Past the double-click time, so the next press is a press of its own.
    void Settle() { Wait(1000, 100); }
};

TEST_F(Button, ClickAtReleaseThenPressedAndReleasedLookWhileOtherTimersTick)
{
    TOwned<TTimer> other(Create<TTimer>(nullptr));
    other->SetInterval(30);
    other->SetOnTimer([this](TObject*) { Log.push_back("tick"); });
    const uint64_t t0 = Clock.NowMs();
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {50, 30});
    Down({50, 30});
    EXPECT_TRUE(B->Down());
    Up({50, 30});
    EXPECT_EQ(Log, std::vector<std::string> {"click@" + std::to_string(t0)}) << "the click comes first";
    EXPECT_TRUE(B->Down()) << "the pressed look after the click";
    Wait(90);
    EXPECT_TRUE(B->Down());
    Wait(10);
    EXPECT_FALSE(B->Down()) << "released 100 ms after the click";
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "tick"), 3) << "other timers ran meanwhile";
}

TEST_F(Button, RepeatClicksWhileHeldAndNoneAtRelease)
{
    B->SetAllowTimer(true);
    const uint64_t t0 = Clock.NowMs();
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {50, 30});
    Down({50, 30});
    Wait(750);
    Up({50, 30});
    std::vector<std::string> expect;
    for (uint64_t t : {500, 600, 700})
        expect.push_back("click@" + std::to_string(t0 + t));
    EXPECT_EQ(Log, expect);

    Settle();
    Log.clear();
    const uint64_t t1 = Clock.NowMs();
    Down({50, 30});
    Wait(400);
    Up({50, 30});
    Wait(500);
    EXPECT_EQ(Log, std::vector<std::string> {"click@" + std::to_string(t1 + 400)}) << "one click for a short press";
}

TEST_F(Button, NoClickAfterDragOffOnTheBadgeOrForADoubleClicksSecondPress)
{
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {50, 30});
    Down({50, 30});
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {250, 150}, MK_LBUTTON);
    Up({250, 150});
    EXPECT_TRUE(Log.empty());
    EXPECT_FALSE(B->Down());

    Settle();
    Click(F, {50, 30});
    Click(F, {50, 30});
    EXPECT_EQ(Log, (std::vector<std::string> {"click@" + std::to_string(Clock.NowMs()), "dblclick"}));

    Settle();
    Log.clear();
    B->Status()->SetCaption("3");
    B->Status()->SetVisible(true);
    TGPBitmap scratch(1, 1);
    TGPGraphics g(&scratch);
    B->Status()->Appearance()->CalculateSize(&g, "3");
    const int bw = B->Status()->Appearance()->GetWidth();
    ASSERT_GT(bw, 0);
    const TPoint onBadge {20 + 120 - bw + 2, 22};
    Click(F, onBadge);
    EXPECT_EQ(Log, std::vector<std::string> {"status"});
    EXPECT_FALSE(B->Down());

    // Offset 3 moves the badge (and its hit test) 6 pixels right.
    EXPECT_TRUE(B->XYToIndicator(120 - bw, 2));
    EXPECT_FALSE(B->XYToIndicator(120 - bw - 1, 2));
    B->Status()->SetOffsetLeft(3);
    EXPECT_TRUE(B->XYToIndicator(120 - bw + 6, 2));
    EXPECT_FALSE(B->XYToIndicator(120 - bw + 5, 2));
}

TEST_F(Button, BadgeIsDrawnSixPixelsRightAtOffsetThree)
{
    F->SetColor(clWhite);
    B->SetBounds(20, 20, 160, 40);
    B->Status()->SetCaption("12");
    B->Status()->Appearance()->Fill()->SetColor(clRed);
    B->Status()->Appearance()->Fill()->SetGradientType(gtSolid);
    B->Status()->SetVisible(true);
    auto leftmostRed = [&] {
        Paint(F);
        for (int x = 20; x < 180; ++x)
            for (int y = 20; y < 40; ++y)
                if (Px(F, x, y) == 0xFFFF0000)
                    return x;
        return -1;
    };
    const int at0 = leftmostRed();
    ASSERT_GT(at0, 100);
    EXPECT_TRUE(B->FaceValid());
    B->Status()->SetOffsetLeft(3);
    EXPECT_FALSE(B->FaceValid()) << "a face change marks the bitmap out of date";
    EXPECT_EQ(leftmostRed(), at0 + 6);
    DumpPng(F, "button-badge");
}

TEST_F(Button, DisabledFaceAndIgnoredPressesKeysAndAccelerator)
{
    F->SetColor(clWhite);
    B->SetDisabledColor(clRed);
    B->Appearance()->SetSimpleLayout(true);
    B->SetBevel(false);
    B->SetEnabled(false);
    Paint(F);
    EXPECT_EQ(Px(F, 30, 45), 0xFFFF0000u) << "disabled colour on a flat face, beside the caption";
    Click(F, {50, 30});
    Wait(300);
    EXPECT_TRUE(Log.empty());
    B->SetEnabled(true);

    Settle();
    B->SetFocus();
    Key(VK_SPACE);
    DeliverKey(WM_CHAR, ' ');
    DeliverKey(WM_CHAR, '\r');
    Pump();
    EXPECT_EQ(Log.size(), 2u) << "Space and Enter click the focused button";
}

TEST_F(Button, AcceleratorReturnsAtOnceAndReleasesAfter150ms)
{
    const uint64_t t0 = Clock.NowMs();
    EXPECT_EQ(F->Perform(CM_DIALOGCHAR, 's', 0), 1);
    EXPECT_EQ(Log, std::vector<std::string> {"click@" + std::to_string(t0)});
    EXPECT_EQ(Clock.NowMs(), t0) << "no wait inside the handler";
    EXPECT_TRUE(B->Down());
    Wait(140);
    EXPECT_TRUE(B->Down());
    Wait(10);
    EXPECT_FALSE(B->Down());
    EXPECT_EQ(F->Perform(CM_DIALOGCHAR, 'x', 0), 0);
}

TEST_F(Button, ATimerThatFreesTheFormDuringTheClickLook)
{
    TOwned<TTimer> killer(Create<TTimer>(nullptr));
    killer->SetInterval(50);
    killer->SetOnTimer([this, &killer](TObject*) {
        killer->SetEnabled(false);
        Log.push_back("free");
        Free(F);
        F = nullptr;
    });
    Click(F, {50, 30});
    Wait(300);
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[1], "free");
}

TEST_F(Button, StylesTonesAndTheme)
{
    B->SetComponentStyle(tsOffice2013White);
    EXPECT_EQ(B->Color(), 0xFFFFFF);
    EXPECT_TRUE(B->Appearance()->SimpleLayout());
    EXPECT_EQ(B->Appearance()->Rounding(), 0);
    B->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(B->Color(), 0xFDEADA);
    EXPECT_FALSE(B->Appearance()->SimpleLayout());
    EXPECT_EQ(B->Appearance()->Rounding(), 8);
    B->SetComponentStyle(tsCustom);
    EXPECT_EQ(B->Color(), 0xFDEADA);
    TColorTones tones;
    tones.Foreground.BrushColor = 0x123456;
    tones.Selected.TextColor = 0x654321;
    B->SetColorTones(tones);
    EXPECT_EQ(B->Color(), 0x123456);
    EXPECT_EQ(B->Appearance()->Font()->Color(), 0x654321);

    const std::string ini = ::testing::TempDir() + "button-theme.ini";
    B->SaveToTheme(ini);
    B->SetColor(clRed);
    B->LoadFromTheme(ini);
    EXPECT_EQ(B->Color(), 0x123456);
    std::remove(ini.c_str());
    B->SetVersion("1");
    EXPECT_EQ(B->Version(), "2.0.2.4");
}

}  // namespace
}  // namespace dcs::smooth::test
