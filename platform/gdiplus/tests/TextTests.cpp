#include "Surface.h"

#include "platform/gdi/FontSystem.h"

namespace dcs::gdiplus::test {
namespace {

struct Font {
    Font(const char16_t* family, REAL size, INT style = 0, GpUnit unit = UnitPoint)
    {
        EXPECT_EQ(GdipCreateFontFamilyFromName(family, nullptr, &Family), Ok);
        EXPECT_EQ(GdipCreateFont(Family, size, style, unit, &F), Ok);
    }
    ~Font()
    {
        GdipDeleteFont(F);
        GdipDeleteFontFamily(Family);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    GpFontFamily* Family = nullptr;
    GpFont* F = nullptr;
};

TEST(GdipText, MeasureStringIsPangosExtentPlusPadding)
{
    Surface s(10, 10);
    Font font(u"DejaVu Sans", 9);
    GpRectF layout {5, 7, 0, 0}, box;
    INT fitted = 0, lines = 0;
    ASSERT_EQ(GdipMeasureString(s.Graphics, u"Session 1: Auto", -1, font.F, &layout, nullptr, &box, &fitted, &lines),
              Ok);
    const double em = 9 * 96.0 / 72;  // 12 pixels
    gdi::TFontSpec spec;
    spec.Family = "DejaVu Sans";
    spec.PixelSize = em;
    PangoLayout* l = gdi::CreateTextLayout(spec, "Session 1: Auto");
    int pw = 0, ph = 0;
    pango_layout_get_pixel_size(l, &pw, &ph);
    g_object_unref(l);
    EXPECT_NEAR(box.Width, pw + 2 * em / 6, 1.0);
    EXPECT_NEAR(box.Height, ph, 1.0);
    EXPECT_FLOAT_EQ(box.X, 5);
    EXPECT_FLOAT_EQ(box.Y, 7);
    EXPECT_EQ(fitted, 15);
    EXPECT_EQ(lines, 1);

    // Centred in a rectangle, wrapped at its width.
    GpStringFormat* fmt = nullptr;
    GdipCreateStringFormat(0, 0, &fmt);
    GdipSetStringFormatAlign(fmt, StringAlignmentCenter);
    GdipSetStringFormatLineAlign(fmt, StringAlignmentCenter);
    GpRectF wide {0, 0, 400, 100};
    GdipMeasureString(s.Graphics, u"Auto", -1, font.F, &wide, fmt, &box, nullptr, nullptr);
    EXPECT_NEAR(box.X + box.Width / 2, 200, 0.01);
    EXPECT_NEAR(box.Y + box.Height / 2, 50, 0.01);
    GpRectF narrow {0, 0, 40, 0};
    GdipMeasureString(s.Graphics, u"one two three", -1, font.F, &narrow, fmt, &box, nullptr, &lines);
    EXPECT_GE(lines, 2);
    GdipSetStringFormatFlags(fmt, StringFormatFlagsNoWrap);
    GdipMeasureString(s.Graphics, u"one two three", -1, font.F, &narrow, fmt, &box, nullptr, &lines);
    EXPECT_EQ(lines, 1);
    GdipDeleteStringFormat(fmt);
}

TEST(GdipText, FamiliesResolveOrAnswerNotFound)
{
    GpFontFamily* f = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(u"Arial", nullptr, &f), Ok);
    WCHAR name[32];
    GdipGetFamilyName(f, name, 0);
    EXPECT_EQ(std::u16string(name), u"Arial");
    GdipDeleteFontFamily(f);
    EXPECT_EQ(GdipCreateFontFamilyFromName(u"Wingdings Nowhere", nullptr, &f), FontFamilyNotFound);
    EXPECT_EQ(f, nullptr);
    GpFontFamily *a = nullptr, *b = nullptr;
    GdipGetGenericFontFamilySansSerif(&a);
    GdipGetGenericFontFamilySansSerif(&b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(GdipDeleteFontFamily(a), Ok);  // shared: stays usable
    GpFont* font = nullptr;
    EXPECT_EQ(GdipCreateFont(b, 10, 0, UnitPoint, &font), Ok);
    EXPECT_EQ(GdipCreateFont(b, 0, 0, UnitPoint, &font), InvalidParameter);
    GdipDeleteFont(font);
}

TEST(GdipText, HotkeyPrefixUnderlinesTheMarkedGlyph)
{
    // "i&W": the underline sits under the wide W only, so the bottom ink row starts
    // right of the narrow i.
    Font font(u"DejaVu Sans", 20, 0, UnitPixel);
    GpStringFormat* fmt = nullptr;
    GdipCreateStringFormat(0, 0, &fmt);
    GpSolidFill* black = nullptr;
    GdipCreateSolidFill(0xFF000000, &black);
    auto draw = [&](INT prefix, Surface& s) {
        GdipSetStringFormatHotkeyPrefix(fmt, prefix);
        GpRectF r {0, 0, 0, 0};
        ASSERT_EQ(GdipDrawString(s.Graphics, u"i&W", -1, font.F, &r, fmt, black), Ok);
    };
    auto lowestRow = [](Surface& s, int* left) {
        for (int y = s.H - 1; y >= 0; --y)
            for (int x = 0; x < s.W; ++x)
                if (s.Red(x, y) < 128) {
                    *left = x;
                    return y;
                }
        return -1;
    };
    Surface shown(60, 40), hidden(60, 40);
    draw(HotkeyPrefixShow, shown);
    draw(HotkeyPrefixHide, hidden);
    shown.Dump("hotkey");
    int leftShown = 0, leftHidden = 0;
    int rowShown = lowestRow(shown, &leftShown), rowHidden = lowestRow(hidden, &leftHidden);
    EXPECT_GT(rowShown, rowHidden) << "the underline lies below the baseline";
    // The i ends about 8 pixels in (padding 3 + glyph); the underline starts after it.
    EXPECT_GE(leftShown, 8);
    EXPECT_LT(leftShown, 14);
    GdipDeleteBrush(black);
    GdipDeleteStringFormat(fmt);
}

TEST(GdipText, GlyphsTakeAnyBrush)
{
    Surface s(80, 30);
    Font font(u"Arial", 20, FontStyleBold, UnitPixel);
    GpHatch* hatch = nullptr;
    GdipCreateHatchBrush(HatchStyleLargeCheckerBoard, 0xFFFF0000, 0xFF0000FF, &hatch);
    GpRectF r {0, 0, 80, 30};
    ASSERT_EQ(GdipDrawString(s.Graphics, u"HH", -1, font.F, &r, nullptr, hatch), Ok);
    int red = 0, blue = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            red += s.At(x, y) == 0xFFFF0000;
            blue += s.At(x, y) == 0xFF0000FF;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(blue, 20);
    GdipDeleteBrush(hatch);
}

}  // namespace
}  // namespace dcs::gdiplus::test
