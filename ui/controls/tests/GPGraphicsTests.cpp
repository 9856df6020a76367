#include "Canvas.h"

#include "platform/base/Strings.h"

#include <memory>

namespace dcs::smooth::test {
namespace {

TFontDesc Font(int size, const char* name = "DejaVu Sans", TColor color = clBlack)
{
    TFontDesc f;
    f.Name = name;
    f.Size = size;
    f.Color = color;
    return f;
}

TGPRectF Measure(TGPGraphics& g, const std::string& s, const TFontDesc& font, TGPRectF layout)
{
    std::unique_ptr<TGPFont> f(g.MakeFont(font));
    TGPRectF box {};
    std::u16string w = UTF8ToUTF16(s);
    EXPECT_EQ(g.MeasureString(w, INT(w.size()), f.get(), layout, box), Ok);
    return box;
}

TEST(GPGraphics, MakeFontFallsBackToArialInPoints)
{
    Canvas c(10, 10);
    std::unique_ptr<TGPFont> f(c.G.MakeFont(Font(12, "No Such Face Anywhere")));
    ASSERT_NE(f->nativeFont, nullptr);
    GpFontFamily* fam = nullptr;
    GdipGetFamily(f->nativeFont, &fam);
    TGPFontFamily family(fam, Ok);
    EXPECT_EQ(family.GetFamilyName(), u"Arial");
    REAL size = 0;
    GdipGetFontSize(f->nativeFont, &size);
    EXPECT_FLOAT_EQ(size, 12);
    GpUnit unit = UnitWorld;
    GdipGetFontUnit(f->nativeFont, &unit);
    EXPECT_EQ(unit, UnitPoint);
}

TEST(GPGraphics, DrawTextMeasuresWithMargins)
{
    const struct {
        int Size, Margin;
    } cases[] = {{7, 2}, {8, 2}, {9, 3}, {10, 3}, {11, 4}, {12, 5}};
    for (const auto& k : cases) {
        Canvas c(300, 60);
        const TFontDesc font = Font(k.Size);
        TRect r {10, 5, 20, 25};
        const TGPRectF box = Measure(c.G, "Mixer", font, TGPRectF {10, 5, 1010, 20});
        const int h = c.G.DrawText("Mixer", -1, r, font, DT_CALCRECT_BIT, clNone);
        EXPECT_EQ(r.Right, 10 + RoundHalfEven(box.Width - k.Margin)) << k.Size;
        EXPECT_EQ(r.Bottom, 5 + RoundHalfEven(box.Height)) << k.Size;
        EXPECT_EQ(h, r.Bottom - r.Top);
        EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0) << "the calculate bit draws nothing";
    }
}

TEST(GPGraphics, DrawTextTrailingSpaceAndBackground)
{
    Canvas c(300, 60);
    const TFontDesc font = Font(10);
    TRect a {0, 0, 10, 20}, b {0, 0, 10, 20}, one {0, 0, 10, 20}, space {0, 0, 10, 20};
    c.G.DrawText("Gain ", -1, a, font, DT_CALCRECT_BIT, clNone);
    c.G.DrawText("Gaini", -1, b, font, DT_CALCRECT_BIT, clNone);
    EXPECT_EQ(a.Right, b.Right);
    c.G.DrawText(" ", -1, space, font, DT_CALCRECT_BIT, clNone);
    c.G.DrawText("i", -1, one, font, DT_CALCRECT_BIT, clNone);
    EXPECT_NE(space.Right, one.Right) << "a single space is measured as it is";

    // The background box starts one right of Left and is one wider than width - margin.
    TRect r {20, 10, 30, 30};
    const TGPRectF box = Measure(c.G, "Gain", font, TGPRectF {20, 10, 1010, 20});
    c.G.DrawText("Gain", -1, r, font, 0, 0x0000FF);
    const TGPRect red = [&] {
        int x0 = 999, x1 = -1;
        for (int x = 0; x < c.W; ++x)
            if (c.At(x, 12) == 0xFFFF0000) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
        return TGPRect {x0, 0, x1 - x0 + 1, 0};
    }();
    EXPECT_EQ(red.X, 21);
    EXPECT_NEAR(red.Width, box.Width - 3 + 1, 1.01);
    c.Dump("drawtext-background");
}

TEST(GPGraphics, DrawStringIgnoresLength)
{
    Canvas whole(200, 40), cut(200, 40);
    std::unique_ptr<TGPFont> f(whole.G.MakeFont(Font(10)));
    TGPSolidBrush black(0xFF000000);
    whole.G.DrawString(u"Tempo", 5, f.get(), TGPPointF {2, 2}, &black);
    cut.G.DrawString(u"Tempo", 1, f.get(), TGPPointF {2, 2}, &black);
    EXPECT_GT(whole.CountNot(0xFFFFFFFF), 0);
    EXPECT_EQ(whole.Bounds(0xFFFFFFFF).Width, cut.Bounds(0xFFFFFFFF).Width);
}

TEST(GPGraphics, DrawImageRectRoundsHalfToEven)
{
    Canvas c(100, 100);
    TGPBitmap img(8, 8);
    {
        TGPGraphics ig(&img);
        ig.Clear(0xFFFF0000);
    }
    EXPECT_EQ(c.G.DrawImageRect(&img, TGPRectF {10.5f, 11.5f, 30.5f, 40.5f}), Ok);
    const TGPRect b = c.Bounds(0xFFFFFFFF);
    EXPECT_EQ(b.X, 10);
    EXPECT_EQ(b.Y, 12);
    EXPECT_EQ(b.Width, 30);
    EXPECT_EQ(b.Height, 40);
}

TEST(GPGraphics, SurfaceOnNilImageAndSmoothing)
{
    TGPGraphics g(static_cast<TGPImage*>(nullptr));
    EXPECT_EQ(g.LastResult(), Ok);
    EXPECT_EQ(g.nativeGraphics, nullptr);
    EXPECT_EQ(g.GetSmoothingMode(), -1);
    EXPECT_NE(g.GetLastStatus(), Ok);

    Canvas c(20, 20);
    EXPECT_EQ(c.G.SetSmoothingMode(SmoothingModeAntiAlias), Ok);
    EXPECT_EQ(c.G.GetSmoothingMode(), SmoothingModeAntiAlias);
    // A device context on the same pixels.
    HDC dc = c.G.GetHDC();
    ASSERT_NE(dc, nullptr);
    SetPixel(dc, 3, 4, RGB(0, 0, 255));
    c.G.ReleaseHDC(dc);
    EXPECT_EQ(c.At(3, 4), 0xFF0000FFu);
}

TEST(GPGraphics, ExcludeAndResetClip)
{
    Canvas c(20, 20);
    TGPSolidBrush red(0xFFFF0000);
    c.G.ExcludeClip(TGPRectF {0, 0, 10, 20});
    c.G.FillRectangle(&red, 0, 0, 20, 20);
    EXPECT_EQ(c.At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(c.At(15, 5), 0xFFFF0000u);
    c.G.ResetClip();
    c.G.FillRectangle(&red, 0, 0, 20, 20);
    EXPECT_EQ(c.At(5, 5), 0xFFFF0000u);
}

}  // namespace
}  // namespace dcs::smooth::test
