#include "ControlFixture.h"

#include "platform/controls/ToolTips.h"
#include "ui/controls/SmoothTrackBar.h"

#include <cmath>

namespace dcs::smooth::test {
namespace {

class TrackBar : public ControlTest {
public:
    TForm* F = nullptr;
    TSmoothTrackBar* Bar = nullptr;
    void SetUp() override
    {
        ControlTest::SetUp();
        F = MakeForm(600, 300);
        Bar = Place<TSmoothTrackBar>(F, TRect::Bounds(0, 0, 90, 250));
        Bar->OnPositionChanging = [this](TObject*, double P) { Log.push_back("changing " + Num(P)); };
        Bar->OnPositionChanged = [this](TObject*, double P) { Log.push_back("changed " + Num(P)); };
        Pump();
    }
    static std::string Num(double V) { return std::to_string(int(std::lround(V))); }
    void Wait(uint64_t Ms)
    {
        for (uint64_t t = 0; t < Ms; t += 10) {
            Clock.Advance(10);
            Pump();
        }
    }
    // The track length of the default vertical bar: height less one pixel, less the thumb.
    static constexpr double N = 249 - 40;
};

TEST_F(TrackBar, DraggedValuesSnapToMultiplesOfTheStep)
{
    for (int x = 0; x <= int(N); ++x)
        ASSERT_EQ(std::fmod(Bar->ValueFromPixel(x), 20), 0) << "margin 10: every pixel lands on a multiple, " << x;
    Bar->SetSnapMargin(5);
    const struct {
        double Wanted, Got;
    } table[] = {{47, 47}, {42, 40}, {53, 53}, {58, 60}, {100, 100}, {0, 0}};
    for (auto& t : table)
        EXPECT_NEAR(Bar->ValueFromPixel(t.Wanted / 100 * N), t.Got, 1e-9) << t.Wanted;
    EXPECT_EQ(Bar->ValueFromPixel(-30), 0) << "clamped";
    EXPECT_EQ(Bar->ValueFromPixel(N + 30), 100);

    // Dragging the thumb from the bottom to about 60 reports each change, then the end.
    Bar->SetSnapMargin(10);
    Drag(F, {45, 229}, {45, 105}, 4);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back(), "changed 60");
    EXPECT_EQ(Log[Log.size() - 2], "changing 60");
    EXPECT_EQ(Bar->Position(), 60);
}

TEST_F(TrackBar, WritersIgnoreWhatTheyMustAndMoveThePositionSilently)
{
    Bar->SetPosition(40);
    Bar->SetPosition(40);
    Bar->SetPosition(150);
    Bar->SetPosition(-1);
    EXPECT_EQ(Log, std::vector<std::string> {"changed 40"});
    Bar->SetMaximum(30);
    EXPECT_EQ(Bar->Position(), 30);
    Bar->SetMinimum(35);
    EXPECT_EQ(Bar->Position(), 35);
    EXPECT_EQ(Log.size(), 1u) << "range writers move the position without events";
    for (double s : {0.0, -5.0})
        Bar->SetStep(s);
    EXPECT_EQ(Bar->Step(), 20);
    Bar->SetVersion("x");
    EXPECT_EQ(Bar->Version(), "1.4.1.0");
}

TEST_F(TrackBar, PageClicksBesideTheThumbAndHeldKeys)
{
    Bar->SetPosition(40);
    Log.clear();
    Click(F, {45, 20});  // above the thumb of a vertical bar
    EXPECT_EQ(Log, std::vector<std::string> {"changed 60"});
    Bar->SetPosition(90);  // thumb from y 21: a step up would pass the maximum
    Log.clear();
    Wait(1000);
    Click(F, {45, 5});
    EXPECT_TRUE(Log.empty()) << "nothing beyond the maximum";
    Wait(1000);
    Click(F, {45, 240});  // below: one step down
    EXPECT_EQ(Log, std::vector<std::string> {"changed 70"});

    Bar->SetPosition(0);
    Log.clear();
    Bar->SetFocus();
    for (int i = 0; i < 3; ++i)
        DeliverKey(WM_KEYDOWN, VK_UP);
    DeliverKey(WM_KEYUP, VK_UP);
    Pump();
    EXPECT_EQ(Log, (std::vector<std::string> {"changing 20", "changing 40", "changing 60", "changed 60"}));
    Log.clear();
    Key(VK_END);
    Key(VK_HOME);
    EXPECT_EQ(Log, (std::vector<std::string> {"changing 100", "changed 100", "changing 0", "changed 0"}));
}

TEST_F(TrackBar, GlowRunsUpToTheThumbAndStops)
{
    EXPECT_FALSE(Bar->GlowRunning());
    Bar->SetPosition(40);  // thumb offset 0.4 N = 83.6: 48 steps of 3 from -60 pass it
    EXPECT_TRUE(Bar->GlowRunning());
    Wait(470);
    EXPECT_TRUE(Bar->GlowRunning());
    EXPECT_EQ(Bar->GlowPosition(), -60 + 47 * 3);
    Paint(F);
    DumpPng(F, "trackbar-glow");
    Wait(10);
    EXPECT_FALSE(Bar->GlowRunning());
    EXPECT_EQ(Bar->GlowPosition(), -60);
}

TEST_F(TrackBar, LabelColourSwitchesAsTheThumbPassesIt)
{
    Bar->SetValueFormat("%g");
    Bar->Font()->SetColor(clRed);
    Bar->ProgressFont()->SetColor(clBlue);
    Bar->SetGlowAnimation(false);
    // The label of 20 sits about 187 px down; count red-ish and blue-ish text pixels.
    auto inks = [&] {
        Paint(F);
        int red = 0, blue = 0;
        for (int y = 178; y < 197; ++y)
            for (int x = 20; x < 70; ++x) {
                const uint32_t p = Px(F, x, y);
                const int r = (p >> 16) & 0xFF, b = p & 0xFF;
                red += r > b + 80;
                blue += b > r + 80;
            }
        return std::pair {red, blue};
    };
    auto [red0, blue0] = inks();
    EXPECT_GT(red0, 0);
    EXPECT_EQ(blue0, 0);
    Bar->SetPosition(40);
    auto [red1, blue1] = inks();
    EXPECT_EQ(red1, 0);
    EXPECT_GT(blue1, 0);
}

TEST_F(TrackBar, ATranslucentFillShowsTheParentBehindIt)
{
    F->SetColor(clBlue);
    Paint(F);
    EXPECT_NE(Px(F, 12, 120), 0xFF0000FFu);
    for (auto set : {&TGDIPFill::SetOpacity, &TGDIPFill::SetOpacityTo, &TGDIPFill::SetOpacityMirror,
                     &TGDIPFill::SetOpacityMirrorTo})
        (Bar->Fill()->*set)(0);
    Paint(F);
    EXPECT_EQ(Px(F, 12, 120), 0xFF0000FFu) << "between the ticks, inside the frame, above the thumb";
}

TEST_F(TrackBar, EveryTickSitsAtItsOwnValueOnAHorizontalBar)
{
    Bar->SetDirection(dHorizontal);
    Bar->SetBounds(0, 0, 480, 90);
    for (TGDIPFill* fill : {Bar->Fill(), Bar->ProgressFill()}) {
        fill->SetColor(clWhite);
        fill->SetGradientType(gtSolid);
    }
    Bar->SetShowValues(false);
    Bar->SetShowInnerBorder(false);
    Bar->SetShowThumb(false);
    Bar->OnDrawNumber = [](TObject*, double Value, std::string&, bool&, TColor&, TColor&, bool& Left, bool& Right) {
        if (Value == 0)
            Left = Right = false;  // no tick at the minimum
    };
    Paint(F);
    DumpPng(F, "trackbar-ticks");
    // Row 0 is the fill's anti-aliased edge. Track from x 20 to 459 (width 479 less the thumb): minimum at 20, maximum at 459.
    EXPECT_FALSE(AnyNot(F, TRect {14, 1, 27, 16}, 0xFFFFFFFF)) << "no tick at the minimum end";
    EXPECT_TRUE(AnyNot(F, TRect {453, 1, 466, 16}, 0xFFFFFFFF)) << "the maximum keeps its tick";
    EXPECT_TRUE(AnyNot(F, TRect {14 + 88, 1, 27 + 88, 16}, 0xFFFFFFFF)) << "20 at a fifth of the track";
}

TEST_F(TrackBar, DirectionSwapsTheSizeAndTheTooltipFollowsADrag)
{
    Bar->SetDirection(dHorizontal);
    EXPECT_EQ(Bar->Width(), 250);
    EXPECT_EQ(Bar->Height(), 90);
    Bar->SetDirection(dVertical);
    EXPECT_EQ(Bar->Width(), 90);
    EXPECT_EQ(Bar->Height(), 250);

    Bar->SetPositionToolTip(true);
    std::vector<std::string> asked;
    Bar->OnGetToolTipText = [&](TObject*, double, std::string& Text) {
        Text += " dB";
        asked.push_back(Text);
    };
    TToolTipWindow* tip = nullptr;
    for (int i = 0; i < Bar->ComponentCount(); ++i)
        if (auto* t = dynamic_cast<TToolTipWindow*>(Bar->Components(i)))
            tip = t;
    ASSERT_NE(tip, nullptr);
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {45, 229});
    DeliverMouse(F->Handle(), WM_LBUTTONDOWN, {45, 229}, MK_LBUTTON);
    EXPECT_TRUE(tip->Visible());
    EXPECT_EQ(tip->Caption(), "0.00 dB");
    DeliverMouse(F->Handle(), WM_MOUSEMOVE, {45, 105}, MK_LBUTTON);
    EXPECT_EQ(tip->Caption(), "60.00 dB");
    DeliverMouse(F->Handle(), WM_LBUTTONUP, {45, 105});
    Pump();
    EXPECT_FALSE(tip->Visible());
    EXPECT_EQ(asked, (std::vector<std::string> {"0.00 dB", "60.00 dB"}));
}

}  // namespace
}  // namespace dcs::smooth::test
