#include "Canvas.h"

#include "ui/controls/GDIPPainters.h"

#include <cmath>
#include <memory>
#include <string>

namespace dcs::smooth::test {
namespace {

TEST(ColourHelpers, HsvAgainstColorsys)
{
    // Expected values from Python's colorsys (hue in degrees, value 0..255), and the
    // channels after darkening V by 0.7.
    const struct {
        double R, G, B, H, S, V, DR, DG, DB;
    } cases[] = {
        {255, 0, 0, 0, 1, 255, 178.5, 0, 0},
        {10, 200, 30, 126.315789474, 0.95, 200, 7, 140, 21},
        {30, 60, 250, 231.818181818, 0.88, 250, 21, 42, 175},
        {200, 150, 100, 30, 0.5, 200, 140, 105, 70},
        {1, 2, 3, 210, 0.666666667, 3, 0.7, 1.4, 2.1},
        {255, 255, 0, 60, 1, 255, 178.5, 178.5, 0},
        {128, 0, 255, 270.117647059, 1, 255, 89.6, 0, 178.5},
    };
    for (const auto& k : cases) {
        double h, s, v, r, g, b;
        RGBtoHSV(k.R, k.G, k.B, h, s, v);
        EXPECT_NEAR(h, k.H, 1e-6) << k.R << "," << k.G << "," << k.B;
        EXPECT_NEAR(s, k.S, 1e-6);
        EXPECT_NEAR(v, k.V, 1e-6);
        HSVtoRGB(h, s, v * 0.7, r, g, b);
        EXPECT_NEAR(r, k.DR, 1e-6);
        EXPECT_NEAR(g, k.DG, 1e-6);
        EXPECT_NEAR(b, k.DB, 1e-6);
    }
    // Grey stays grey.
    double h, s, v, r, g, b;
    RGBtoHSV(90, 90, 90, h, s, v);
    EXPECT_TRUE(std::isnan(h));
    EXPECT_EQ(s, 0);
    HSVtoRGB(h, s, v * 0.7, r, g, b);
    EXPECT_DOUBLE_EQ(r, 63);
    EXPECT_DOUBLE_EQ(g, 63);
    EXPECT_DOUBLE_EQ(b, 63);
    EXPECT_THROW(HSVtoRGB(10, 0, 50, r, g, b), EColorError);
}

TEST(ColourHelpers, HueOutsideTheCircleStillSetsEveryChannel)
{
    for (double hue : {360.0, 400.0, 420.0, 720.5, -20.0, -300.0}) {
        double r = -1, g = -1, b = -1, r2, g2, b2;
        HSVtoRGB(hue, hue == 420 || hue == -300 ? 1 : 0.5, 255, r, g, b);
        double wrapped = std::fmod(hue, 360.0);
        if (wrapped < 0)
            wrapped += 360;
        HSVtoRGB(wrapped, hue == 420 || hue == -300 ? 1 : 0.5, 255, r2, g2, b2);
        EXPECT_DOUBLE_EQ(r, r2) << hue;
        EXPECT_DOUBLE_EQ(g, g2) << hue;
        EXPECT_DOUBLE_EQ(b, b2) << hue;
    }
}

TEST(ColourHelpers, LighterClamps)
{
    EXPECT_EQ(Lighter(0x102030, 20), 0x243444);
    EXPECT_EQ(Lighter(0xF0F0F0, 40), 0xFFFFFF);
    EXPECT_EQ(Lighter(0x102030, -40), 0x000008);
    EXPECT_EQ(Lighter(0x102030, -60), 0x000000);
}

TEST(GlassPaths, GlowPathsAndRing)
{
    const TRect r {10, 10, 110, 40};
    for (auto build : {BuildLowerGlowPath, BuildUpperGlowPath}) {
        std::unique_ptr<TGPGraphicsPath> flat(build(r, 4, 0));
        EXPECT_EQ(flat->GetPointCount(), 0);
        std::unique_ptr<TGPGraphicsPath> p(build(r, 4, 5));
        TGPRectF bounds;
        p->GetBounds(bounds);
        EXPECT_NEAR(bounds.X, 10, 0.01);
        EXPECT_NEAR(bounds.X + bounds.Width, 110, 0.01);
        if (build == BuildUpperGlowPath) {
            EXPECT_NEAR(bounds.Y, 10, 0.01);
            // Filled, the region reaches down to the arc's lowest point on the split line.
            Canvas c(130, 80);
            TGPSolidBrush black(0xFF000000);
            c.G.FillPath(&black, p.get());
            EXPECT_EQ(c.At(60, 38), 0xFF000000u);
            EXPECT_EQ(c.At(60, 41), 0xFFFFFFFFu);
            EXPECT_EQ(c.At(12, 38), 0xFFFFFFFFu) << "below the chord end at the side";
        } else {
            EXPECT_NEAR(bounds.Y, 35, 0.01) << "the chord ends at B - sag";
            EXPECT_NEAR(bounds.Y + bounds.Height, 70, 0.01) << "mirror of the top about B";
        }
    }
    Canvas c(130, 60);
    std::unique_ptr<TGPGraphicsPath> ring(BuildRingPath(TRect {10, 10, 110, 50}, 6, rtBoth, 3));
    TGPSolidBrush black(0xFF000000);
    c.G.FillPath(&black, ring.get());
    EXPECT_EQ(c.At(60, 11), 0xFF000000u);
    EXPECT_EQ(c.At(60, 30), 0xFFFFFFFFu) << "the middle stays open";
    EXPECT_EQ(c.At(60, 20), 0xFFFFFFFFu);
}

// Centroid of each segment on the 12 x 15 grid, in the order top, upper right, lower
// right, bottom, lower left, upper left, middle.
const TGPPointF kCentroids[7] = {{6.15f, 1.5f},   {9.175f, 4.2f},  {8.425f, 9.875f}, {4.825f, 12.55f},
                                 {1.925f, 9.85f}, {2.75f, 4.175f}, {5.583f, 7}};
const char* const kLit[7] = {"02356789", "01234789", "013456789", "0235689", "0268", "045689", "2345689-"};

TEST(LedText, SegmentsMatchTheTruthTable)
{
    TGPSolidBrush black(0xFF000000);
    for (char ch : std::string("0123456789-")) {
        Canvas c(120, 150);
        PaintLedString(&c.G, TGPRectF {0, 0, 120, 150}, std::string(1, ch), &black, 255, clNone);
        for (int s = 0; s < 7; ++s) {
            const bool lit = std::string(kLit[s]).find(ch) != std::string::npos;
            const int x = int(kCentroids[s].X * 10), y = int(kCentroids[s].Y * 10);
            EXPECT_EQ(c.At(x, y) == 0xFF000000u, lit) << "'" << ch << "' segment " << s;
        }
        if (ch == '8')
            c.Dump("led-8");
    }
}

TEST(LedText, SlotsAndMarks)
{
    TGPSolidBrush black(0xFF000000);
    {
        // "-1.5": three slots of 40; the point sits at the right end of the one's slot.
        Canvas c(120, 150);
        PaintLedString(&c.G, TGPRectF {0, 0, 120, 150}, "-1.5", &black, 255, clNone);
        const int g = 40;
        EXPECT_EQ(c.At(int(g * 5.583 / 12), 70), 0xFF000000u) << "minus in slot 0";
        EXPECT_EQ(c.At(g + int(g * 9.175 / 12), int(4.2 * 10)), 0xFF000000u) << "the one in slot 1";
        EXPECT_EQ(c.At(2 * g + int(g * 6.15 / 12), 15), 0xFF000000u) << "the five in slot 2";
        const int dx = g + int(g * 10.0 / 12 + g / 14.0), dy = int(150 * 12.0 / 15 + g / 14.0);
        EXPECT_EQ(c.At(dx, dy), 0xFF000000u) << "the point";
    }
    {
        // "12:30": four slots of 30; the colon's dots end the second slot.
        Canvas c(120, 150);
        PaintLedString(&c.G, TGPRectF {0, 0, 120, 150}, "12:30", &black, 255, clNone);
        const double g = 30;
        EXPECT_EQ(c.At(int(g + g * 11.2 / 12 + g / 14), int(150 * 3.0 / 15 + g / 14)), 0xFF000000u);
        EXPECT_EQ(c.At(int(g + g * 10.0 / 12 + g / 14), int(150 * 9.5 / 15 + g / 14)), 0xFF000000u);
        EXPECT_EQ(c.At(int(3 * g + g * 6.15 / 12), 15), 0xFF000000u) << "the zero in slot 3";
        c.Dump("led-1230");
    }
    for (const char* marks : {".", ":", ".:.", ""}) {
        Canvas c(60, 40);
        PaintLedString(&c.G, TGPRectF {0, 0, 60, 40}, marks, &black, 255, clBlack);
        EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0) << "no slot: nothing painted for '" << marks << "'";
    }
}

TEST(LedText, FormattedValueAndBrushKinds)
{
    Canvas none(200, 50);
    PaintLedText(&none.G, TGPRectF {0, 0, 200, 50}, vtNormal, nullptr, HatchStyleHorizontal, 0, gtNone, 255, 255,
                 clBlack, clRed, 255, clGray, 0, 12.5, "", "0.0");
    EXPECT_EQ(none.CountNot(0xFFFFFFFF), 0) << "gtNone paints nothing, not even unlit segments";

    Canvas c(200, 50);
    PaintLedText(&c.G, TGPRectF {0, 0, 200, 50}, vtNormal, nullptr, HatchStyleHorizontal, 0, gtVertical, 255, 255,
                 clBlack, clRed, 60, clGray, 0, 120, "", "0");
    EXPECT_GT(c.CountNot(0xFFFFFFFF), 0);
    EXPECT_EQ(c.Bounds(0xFFFFFFFF).X, c.Bounds(0xFFFFFFFF).X);
    c.Dump("led-120");
}

}  // namespace
}  // namespace dcs::smooth::test
