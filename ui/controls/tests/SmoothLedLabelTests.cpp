#include "Canvas.h"
#include "ControlFixture.h"

#include "platform/base/Format.h"
#include "ui/controls/SmoothLedLabel.h"

#include <cstdio>

namespace dcs::smooth::test {
namespace {

using LedLabel = ControlTest;

constexpr uint32_t kLit = 0xFFFF0000;  // solid red segments

// Segment centroids on the 12 x 15 grid of one box: top, upper right, lower right,
// bottom, lower left, upper left, middle.
constexpr double kSegU[7] = {6.15, 9.2, 8.4, 4.8, 1.9, 2.75, 5.6};
constexpr double kSegV[7] = {1.5, 4.2, 9.9, 12.55, 9.85, 4.2, 7.0};

char Glyph(unsigned bits)
{
    static const struct {
        unsigned Bits;
        char C;
    } table[] = {{0x7E, '0'}, {0x30, '1'}, {0x6D, '2'}, {0x79, '3'}, {0x33, '4'}, {0x5B, '5'},
                 {0x5F, '6'}, {0x70, '7'}, {0x7F, '8'}, {0x7B, '9'}, {0x01, '-'}, {0x00, ' '}};
    for (auto& t : table)
        if (t.Bits == bits)
            return t.C;
    return '?';
}

// Reads n boxes of a label at (X0, Y0) of size W x H back into text, with the colons and
// points that sit at the right end of a box.
std::string ReadLed(TCustomForm* F, int X0, int Y0, int W, int H, int n)
{
    auto lit = [&](double x, double y) { return F->Backbuffer().Pixel(X0 + int(x), Y0 + int(y)) == kLit; };
    const double g = double(W) / n;
    std::string text;
    for (int i = 0; i < n; ++i) {
        unsigned bits = 0;
        for (int s = 0; s < 7; ++s)
            bits = bits << 1 | unsigned(lit(i * g + g * kSegU[s] / 12, H * kSegV[s] / 15));
        text += Glyph(bits);
        const double r = g / 14;  // dot radius
        if (lit(i * g + g * 11.2 / 12 + r, H * 3 / 15.0 + r) && lit(i * g + g * 10 / 12 + r, H * 9.5 / 15 + r))
            text += ':';
        if (lit(i * g + g * 10 / 12 + r, H * 12 / 15.0 + r))
            text += '.';
    }
    return text;
}

TSmoothLedLabel* RedLed(ControlTest* T, TCustomForm* F, TRect B, const std::string& Format)
{
    auto* led = T->template Place<TSmoothLedLabel>(F, B);
    led->Caption()->SetGradientType(gtSolid);
    led->Caption()->SetColorStart(clRed);
    led->Caption()->SetColorOff(clNone);
    led->Caption()->SetFormat(Format);
    return led;
}

TEST_F(LedLabel, ShowsTheApplicationsPicturesBoxByBox)
{
    const struct {
        const char* Format;
        double Value;
        int Boxes;
        const char* Shown;
    } cases[] = {
        {"00:00", 0, 4, "00:00"},      {"00:00", 5, 4, "00:05"},         {"00:00", 1459, 4, "14:59"},
        {"00:00", 12000, 5, "120:00"}, {"00:00", -5, 5, "-00:05"},       {"000", 50, 3, "050"},
        {"00", 33, 2, "33"},           {"000.00", 3.14159, 5, "003.14"},
    };
    TForm* f = MakeForm(400, 200);
    for (const auto& c : cases) {
        auto* led = RedLed(this, f, TRect::Bounds(20, 30, 300, 75), c.Format);
        led->Caption()->SetValue(c.Value);
        Paint(f);
        EXPECT_EQ(ReadLed(f, 20, 30, 300, 75, c.Boxes), c.Shown) << c.Format << " " << c.Value;
        if (c.Value == 12000)
            DumpPng(f, "led-12000");
        Free(led);
    }
}

TEST_F(LedLabel, CommaSeparatorStillShowsAPoint)
{
    TForm* f = MakeForm(400, 200);
    const char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = ',';
    auto* led = RedLed(this, f, TRect::Bounds(0, 0, 300, 75), "000.00");
    led->Caption()->SetValue(3.5);
    Paint(f);
    FormatSettings.DecimalSeparator = saved;
    EXPECT_EQ(ReadLed(f, 0, 0, 300, 75, 5), "003.50");
}

TEST_F(LedLabel, SameValueRepaintsOnceAndAChangeNotifiesTwice)
{
    TForm* f = MakeForm();
    auto* led = RedLed(this, f, TRect::Bounds(0, 0, 200, 50), "00:00");
    int changes = 0, captionChanges = 0;
    led->OnChange = [&](TObject* s) {
        EXPECT_EQ(s, led);
        ++changes;
    };
    Paint(f);
    const int painted = led->Getcount();
    led->Caption()->SetValue(1459);
    EXPECT_EQ(changes, 2);
    Paint(f);
    EXPECT_EQ(led->Getcount(), painted + 1);
    EXPECT_FALSE(led->IsPainting());
    led->Caption()->SetValue(1459);
    Paint(f);
    EXPECT_EQ(led->Getcount(), painted + 1) << "an equal value is no change";
    EXPECT_EQ(changes, 2);
    led->Caption()->OnChange = [&](TObject* s) {
        EXPECT_EQ(s, led->Caption());
        ++captionChanges;
    };
    led->Caption()->SetLeft(77);  // stored only: the characters stay
    EXPECT_EQ(captionChanges, 1);
    EXPECT_EQ(changes, 3) << "a caption with its own handler tells the label once";
    Paint(f);
    EXPECT_EQ(ReadLed(f, 0, 0, 200, 50, 4), "14:59");
    led->SetVersion("9");
    EXPECT_EQ(led->Version(), "1.1.0.3");
}

TEST_F(LedLabel, UnlitSegmentsTransparencyAndNothingToDraw)
{
    TForm* f = MakeForm(300, 100);
    f->SetColor(clBlue);
    auto* led = RedLed(this, f, TRect::Bounds(0, 0, 100, 60), "0");
    led->Caption()->SetValue(1);
    led->Caption()->SetColorOff(clGray);
    const int topX = int(100 * kSegU[0] / 12), topY = int(60 * kSegV[0] / 15);
    Paint(f);
    EXPECT_EQ(Px(f, topX, topY), 0xFF808080u) << "the unlit top of a one";
    EXPECT_NE(Px(f, 1, 1), 0xFF0000FFu) << "the fill hides the form";
    led->Caption()->SetColorOff(clNone);
    led->SetTransparent(true);
    Paint(f);
    EXPECT_EQ(Px(f, topX, topY), 0xFF0000FFu) << "no unlit segments; the form shows through";
    EXPECT_EQ(Px(f, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(ReadLed(f, 0, 0, 100, 60, 1), "1");

    // Nothing at all: gtNone, a texture without picture, a text of marks only.
    led->Caption()->SetColorOff(clGray);
    led->Caption()->SetGradientType(gtNone);
    Paint(f);
    EXPECT_FALSE(AnyNot(f, TRect::Bounds(0, 0, 100, 60), 0xFF0000FF));
    led->Caption()->SetGradientType(gtTexture);
    Paint(f);
    EXPECT_FALSE(AnyNot(f, TRect::Bounds(0, 0, 100, 60), 0xFF0000FF));
    led->Caption()->SetGradientType(gtSolid);
    led->Caption()->SetValueType(vtDateTime);
    led->Caption()->SetTimeFormat(":");
    Paint(f);
    EXPECT_FALSE(AnyNot(f, TRect::Bounds(0, 0, 100, 60), 0xFF0000FF)) << "a text with no box paints nothing";
    const int before = led->Getcount();
    led->SetBounds(0, 0, 0, 60);
    TBitmap bmp;
    bmp.SetSize(10, 10);
    led->DrawLedLabel(*bmp.Canvas());
    EXPECT_EQ(led->Getcount(), before) << "no size, no paint";
}

TEST(LedText, AColonOnlyTimeHasNoBoxAndLeavesTheSurfaceClean)
{
    Canvas c(100, 40);
    PaintLedText(&c.G, TGPRectF {0, 0, 100, 40}, vtDateTime, nullptr, HatchStyleHorizontal, 0, gtSolid, 255, 255, clRed,
                 clRed, 255, clGray, 45000.5, 0, ":", "0");
    EXPECT_EQ(c.G.GetLastStatus(), Ok) << "no division by zero boxes reached the surface";
    EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0);
}

TEST_F(LedLabel, AssignCopiesCaptionAndFillButIgnoresOtherClasses)
{
    TOwned<TSmoothLedLabel> a(Create<TSmoothLedLabel>(nullptr)), b(Create<TSmoothLedLabel>(nullptr));
    a->Caption()->SetFormat("00");
    a->Caption()->SetValue(33);
    a->Fill()->SetColor(clRed);
    a->SetTransparent(true);
    int changes = 0;
    b->OnChange = [&](TObject*) { ++changes; };
    b->Assign(a.get());
    EXPECT_EQ(b->Caption()->Format(), "00");
    EXPECT_EQ(b->Caption()->Value(), 33);
    EXPECT_EQ(b->Fill()->Color(), clRed);
    EXPECT_TRUE(b->Transparent());
    EXPECT_GT(changes, 0);
    changes = 0;
    TGDIPFill other;
    b->Assign(&other);
    b->Caption()->Assign(&other);
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace dcs::smooth::test
