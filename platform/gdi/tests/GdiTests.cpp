#include "platform/gdi/FontSystem.h"
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

// A memory DC with a white bitmap of its own.
class Canvas : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bmp = CreateBitmap32(40, 30);
        Dc = CreateCompatibleDC(nullptr);
        Old = SelectObject(Dc, Bmp);
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        FillRect(Dc, Rect(0, 0, 40, 30), white);
        DeleteObject(white);
    }
    void TearDown() override
    {
        SelectObject(Dc, Old);
        DeleteDC(Dc);
        DeleteObject(Bmp);
    }
    void Fill(const TRect& r, COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(Dc, r, b);
        DeleteObject(b);
    }
    // Device pixel, independent of the window origin.
    COLORREF At(int x, int y)
    {
        TPoint org;
        GetWindowOrgEx(Dc, &org);
        return GetPixel(Dc, x + org.X, y + org.Y);
    }
    // Ink box of every pixel differing from white.
    TRect Ink()
    {
        TRect r {1000, 1000, -1, -1};
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                if (At(x, y) != RGB(255, 255, 255)) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }
    HBITMAP Bmp = nullptr;
    HDC Dc = nullptr;
    HBITMAP Old = nullptr;
};

TEST(GdiFonts, SystemNamesResolveThroughTheAliasTableAndUnknownOnesToNothing)
{
    struct Case {
        const char* Name;
        const char* Family;
    } cases[] = {
        {"Arial", "Liberation Sans"},       {"tahoma", "DejaVu Sans"},
        {"Segoe UI", "DejaVu Sans"},        {"MS Sans Serif", "DejaVu Sans"},
        {"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"},
        {"Symbol", "DejaVu Sans"},          {"DejaVu Serif", "DejaVu Serif"},
        {"No Such Family 42", ""},          {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(gdi::ResolveFontFamily(c.Name), c.Family) << c.Name;
}

TEST(GdiFonts, HotkeyPrefixMarksOneCharacterAndDoubledAmpersandIsLiteral)
{
    gdi::TPrefixedText p = gdi::StripHotkeyPrefix("Save && &Quit", gdi::TPrefixMode::Show);
    EXPECT_EQ(p.Text, "Save & Quit");
    EXPECT_EQ(p.UnderlineStart, 7);
    EXPECT_EQ(p.UnderlineEnd, 8);
    p = gdi::StripHotkeyPrefix("&Öl", gdi::TPrefixMode::Show);
    EXPECT_EQ(p.UnderlineEnd - p.UnderlineStart, 2);  // the whole UTF-8 sequence
    p = gdi::StripHotkeyPrefix("&Quit", gdi::TPrefixMode::Hide);
    EXPECT_EQ(p.Text, "Quit");
    EXPECT_EQ(p.UnderlineStart, -1);
    EXPECT_EQ(gdi::StripHotkeyPrefix("a&", gdi::TPrefixMode::Show).Text, "a&");
}

TEST_F(Canvas, ClipIntersectExcludeSaveRestoreAndOrigin)
{
    SaveDC(Dc);
    IntersectClipRect(Dc, 5, 5, 15, 15);
    ExcludeClipRect(Dc, 8, 8, 10, 10);
    TRect box;
    EXPECT_EQ(GetClipBox(Dc, &box), COMPLEXREGION);
    EXPECT_EQ(box, Rect(5, 5, 15, 15));
    Fill(Rect(0, 0, 40, 30), RGB(255, 0, 0));
    EXPECT_EQ(At(4, 4), RGB(255, 255, 255));
    EXPECT_EQ(At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(At(14, 14), RGB(255, 0, 0));
    EXPECT_EQ(At(15, 14), RGB(255, 255, 255));
    EXPECT_EQ(At(8, 9), RGB(255, 255, 255));  // the excluded hole
    RestoreDC(Dc, -1);
    EXPECT_EQ(GetClipBox(Dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, Rect(0, 0, 40, 30));

    // Logical (10, 10) is device (0, 0) once the window origin moves there.
    SetWindowOrgEx(Dc, 10, 10, nullptr);
    Fill(Rect(10, 10, 12, 12), RGB(0, 0, 255));
    SetWindowOrgEx(Dc, 0, 0, nullptr);
    EXPECT_EQ(At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(At(2, 2), RGB(255, 255, 255));
}

TEST_F(Canvas, ShapesUseThePenOutlineAndTheBrushInside)
{
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH oldBrush = SelectObject(Dc, blue);
    HPEN oldPen = SelectObject(Dc, red);
    Rectangle(Dc, 2, 2, 8, 6);
    EXPECT_EQ(At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(At(7, 5), RGB(255, 0, 0));
    EXPECT_EQ(At(8, 5), RGB(255, 255, 255));
    EXPECT_EQ(At(4, 4), RGB(0, 0, 255));
    RoundRect(Dc, 10, 2, 30, 20, 8, 8);
    EXPECT_EQ(At(10, 2), RGB(255, 255, 255)) << "the corner is cut";
    EXPECT_EQ(At(20, 2), RGB(255, 0, 0));
    EXPECT_EQ(At(20, 10), RGB(0, 0, 255));
    MoveToEx(Dc, 0, 25, nullptr);
    LineTo(Dc, 10, 25);
    EXPECT_EQ(At(0, 25), RGB(255, 0, 0));
    EXPECT_EQ(At(9, 25), RGB(255, 0, 0));
    EXPECT_EQ(At(10, 25), RGB(255, 255, 255)) << "the end point is left out";
    SelectObject(Dc, oldBrush);
    SelectObject(Dc, oldPen);
    DeleteObject(blue);
    DeleteObject(red);
}

TEST_F(Canvas, BitBltCopiesAndStretchBltScalesWithNearestPixels)
{
    HBITMAP srcBmp = CreateBitmap32(4, 2);
    HDC src = CreateDCForBitmap(srcBmp);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(src, Rect(0, 0, 2, 2), red);
    FillRect(src, Rect(2, 0, 4, 2), blue);
    ASSERT_TRUE(BitBlt(Dc, 10, 10, 4, 2, src, 0, 0, SRCCOPY));
    EXPECT_EQ(At(11, 11), RGB(255, 0, 0));
    EXPECT_EQ(At(12, 10), RGB(0, 0, 255));
    EXPECT_EQ(At(14, 10), RGB(255, 255, 255));
    ASSERT_TRUE(StretchBlt(Dc, 0, 20, 8, 4, src, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(At(3, 23), RGB(255, 0, 0));
    EXPECT_EQ(At(4, 20), RGB(0, 0, 255));
    EXPECT_EQ(At(8, 20), RGB(255, 255, 255));
    EXPECT_FALSE(BitBlt(Dc, 0, 0, 4, 2, src, 0, 0, 0x00EE0086));  // not a copy
    DeleteObject(red);
    DeleteObject(blue);
    DeleteDC(src);
    DeleteObject(srcBmp);
}

TEST_F(Canvas, TextExtentCalcRectAndRotation)
{
    HFONT f = CreateFont(FontHeightFromPoints(9), 0, FW_NORMAL, false, false, false, "Tahoma");
    HFONT old = SelectObject(Dc, f);
    TSize sz;
    ASSERT_TRUE(GetTextExtentPoint32(Dc, "Hello", &sz));
    EXPECT_GT(sz.cx, 20);
    EXPECT_LT(sz.cx, 40);
    EXPECT_GE(sz.cy, 12);
    TRect r = Rect(2, 3, 200, 100);
    int h = DrawText(Dc, "Hello", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, sz.cy);
    EXPECT_EQ(r, Rect(2, 3, 2 + sz.cx, 3 + sz.cy));
    EXPECT_EQ(Ink().Right, -1) << "DT_CALCRECT paints nothing";

    // Word breaking at a narrow width gives more lines.
    TRect narrow = Rect(0, 0, 30, 0);
    DrawText(Dc, "one two three", &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(narrow.Height(), 2 * sz.cy);

    SetBkMode(Dc, TRANSPARENT);
    SelectObject(Dc, old);
    DeleteObject(f);
    f = CreateFont(-14, 900, FW_NORMAL, false, false, false, "Arial");
    old = SelectObject(Dc, f);
    TextOut(Dc, 10, 28, "Wide");
    TRect ink = Ink();
    EXPECT_GT(ink.Height(), ink.Width());
    EXPECT_LE(ink.Bottom, 28 + 1);
    SelectObject(Dc, old);
    DeleteObject(f);
}

TEST_F(Canvas, DrawTextCentresAndUnderlinesTheHotkey)
{
    HFONT f = CreateFont(-12, 0, FW_NORMAL, false, false, false, "Tahoma");
    HFONT old = SelectObject(Dc, f);
    SetBkMode(Dc, TRANSPARENT);
    TRect r = Rect(0, 0, 40, 30);
    DrawText(Dc, "&ii", &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    TRect ink = Ink();
    EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 20, 2.5);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 15, 3.5);
    // The underline runs under the first "i" only: the lowest ink row is short.
    int bottom = ink.Bottom - 1, left = 40, right = 0;
    for (int x = 0; x < 40; ++x)
        if (At(x, bottom) != RGB(255, 255, 255)) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    EXPECT_EQ(left, ink.Left);
    EXPECT_LT(right, (ink.Left + ink.Right) / 2 + 1);
    SelectObject(Dc, old);
    DeleteObject(f);
}

HBITMAP gBackBuffer = nullptr;

TEST(GdiObjects, WindowDcsDrawOnTheBackBufferTheWindowLayerNames)
{
    gBackBuffer = CreateBitmap32(8, 8);
    SetWindowSurfaceProvider([](HWND wnd) { return wnd == 7 ? gBackBuffer : nullptr; });
    HDC dc = GetDC(7);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDC(8), nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, Rect(1, 1, 3, 3), red);
    HBITMAP other = CreateBitmap32(2, 2);
    EXPECT_EQ(SelectObject(dc, other), nullptr) << "a window DC keeps its surface";
    DeleteObject(other);
    EXPECT_EQ(ReleaseDC(7, dc), 1);
    HDC mem = CreateDCForBitmap(gBackBuffer);
    EXPECT_EQ(GetPixel(mem, 2, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 3, 3), RGB(0, 0, 0));
    DeleteDC(mem);
    DeleteObject(red);
    SetWindowSurfaceProvider(nullptr);
    DeleteObject(gBackBuffer);
}

TEST(GdiObjects, BadSizesAndNullHandlesAreRefused)
{
    EXPECT_EQ(CreateBitmap32(0, 10), nullptr);
    EXPECT_EQ(CreateBitmap32(10, -1), nullptr);
    EXPECT_EQ(CreateBitmap32(1 << 20, 1 << 20), nullptr);
    EXPECT_FALSE(DeleteObject(HGDIOBJ(nullptr)));
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    EXPECT_NE(GetStockObject(WHITE_BRUSH), nullptr);
    EXPECT_EQ(GetDC(0), nullptr);  // no window layer in this process
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

}  // namespace
}  // namespace dcs
