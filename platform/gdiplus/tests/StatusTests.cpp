#include "Surface.h"

#include <cmath>
#include <functional>
#include <limits>

namespace dcs::gdiplus::test {
namespace {

constexpr ARGB kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000;
const REAL kNaN = std::numeric_limits<REAL>::quiet_NaN();

// Every invalid call answers its status and paints nothing; a valid call right after
// it on the same surface paints as usual.
TEST(GdipStatus, InvalidCallsPaintNothingAndLeaveTheSurfaceUsable)
{
    Surface s(16, 16);
    GpSolidFill* red = nullptr;
    GdipCreateSolidFill(kRed, &red);
    GpPen* pen = nullptr;
    GdipCreatePen1(kRed, 1, UnitWorld, &pen);
    GpGraphics* g = s.Graphics;
    GpPointF twoPoints[2] = {{0, 0}, {0, 0}};
    struct Case {
        const char* Name;
        std::function<Status()> Call;
        Status Expected;
    } cases[] = {
        {"zero width", [&] { return GdipFillRectangle(g, red, 1, 1, 0, 5); }, InvalidParameter},
        {"negative height", [&] { return GdipFillRectangle(g, red, 1, 1, 5, -2); }, InvalidParameter},
        {"NaN x", [&] { return GdipFillEllipse(g, red, kNaN, 1, 5, 5); }, InvalidParameter},
        {"infinite size", [&] { return GdipDrawRectangle(g, pen, 0, 0, INFINITY, 3); }, InvalidParameter},
        {"null brush", [&] { return GdipFillRectangle(g, nullptr, 1, 1, 5, 5); }, InvalidParameter},
        {"null pen", [&] { return GdipDrawLine(g, nullptr, 0, 0, 5, 5); }, InvalidParameter},
        {"null graphics", [&] { return GdipFillRectangle(nullptr, red, 1, 1, 5, 5); }, InvalidParameter},
        {"polygon of two", [&] { return GdipFillPolygon(g, red, twoPoints, 2, FillModeAlternate); }, InvalidParameter},
        {"degenerate gradient",
         [&] {
             GpLineGradient* lg = nullptr;
             GpRectF r {0, 0, 0, 10};
             return GdipCreateLineBrushFromRect(&r, kRed, kWhite, LinearGradientModeVertical, WrapModeTile, &lg);
         },
         InvalidParameter},
        {"equal gradient points",
         [&] {
             GpLineGradient* lg = nullptr;
             return GdipCreateLineBrush(&twoPoints[0], &twoPoints[1], kRed, kWhite, WrapModeTile, &lg);
         },
         InvalidParameter},
        {"singular transform", [&] { return GdipScaleWorldTransform(g, 0, 1, MatrixOrderPrepend); }, InvalidParameter},
        {"hatch style out of range",
         [&] {
             GpHatch* h = nullptr;
             return GdipCreateHatchBrush(HatchStyleTotal, kRed, kWhite, &h);
         },
         InvalidParameter},
        {"unknown family",
         [&] {
             GpFontFamily* f = nullptr;
             return GdipCreateFontFamilyFromName(u"No Such Family 42", nullptr, &f);
         },
         FontFamilyNotFound},
        {"colour matrix",
         [&] {
             GpImageAttributes* a = nullptr;
             GdipCreateImageAttributes(&a);
             ColorMatrix m {};
             Status st =
                 GdipSetImageAttributesColorMatrix(a, ColorAdjustTypeDefault, 1, &m, nullptr, ColorMatrixFlagsDefault);
             GdipDisposeImageAttributes(a);
             return st;
         },
         NotImplemented},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Call(), c.Expected) << c.Name;
        EXPECT_EQ(s.CountNot(kWhite), 0) << c.Name;
    }
    ASSERT_EQ(GdipFillRectangle(g, red, 2, 2, 4, 4), Ok);
    EXPECT_EQ(s.At(3, 3), kRed);
    EXPECT_EQ(s.CountNot(kWhite), 16);
    GdipDeletePen(pen);
    GdipDeleteBrush(red);
}

TEST(GdipStatus, SurroundColourCountRules)
{
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathRectangle(path, 0, 0, 10, 10);  // 4 points
    GpPathGradient* pg = nullptr;
    ASSERT_EQ(GdipCreatePathGradientFromPath(path, &pg), Ok);
    ARGB colors[5] = {kRed, kRed, kRed, kRed, kRed};
    INT count = 5;
    EXPECT_EQ(GdipSetPathGradientSurroundColorsWithCount(pg, colors, &count), InvalidParameter);
    EXPECT_EQ(count, 5);
    count = 3;
    EXPECT_EQ(GdipSetPathGradientSurroundColorsWithCount(pg, colors, &count), Ok);
    INT n = 0;
    GdipGetPathGradientSurroundColorCount(pg, &n);
    EXPECT_EQ(n, 3);
    ARGB out[3];
    count = 2;
    EXPECT_EQ(GdipGetPathGradientSurroundColorsWithCount(pg, out, &count), InsufficientBuffer);
    count = 3;
    EXPECT_EQ(GdipGetPathGradientSurroundColorsWithCount(pg, out, &count), Ok);
    REAL pos[1] = {0};
    EXPECT_EQ(GdipSetPathGradientPresetBlend(pg, colors, pos, 1), InvalidParameter);
    GdipDeleteBrush(pg);
    GdipDeletePath(path);
}

TEST(GdipStatus, StartupIsReferenceCountedAndGatesTheAllocator)
{
    GdiplusStartupInput in;
    in.SuppressBackgroundThread = 1;
    GdiplusStartupOutput out;
    uintptr_t a = 0, b = 0;
    ASSERT_EQ(GdiplusStartup(&a, &in, &out), Ok);
    ASSERT_EQ(GdiplusStartup(&b, &in, &out), Ok);
    EXPECT_NE(a, b);
    EXPECT_NE(out.NotificationHook, nullptr);
    GdiplusShutdown(a);
    GdiplusShutdown(a);  // a repeated token changes nothing
    void* block = GdipAlloc(16);
    EXPECT_NE(block, nullptr);
    GdipFree(block);
    GdiplusShutdown(b);
    EXPECT_EQ(GdipAlloc(16), nullptr);
    GdiplusStartupInput v2;
    v2.GdiplusVersion = 2;
    EXPECT_EQ(GdiplusStartup(&a, &v2, nullptr), UnsupportedGdiplusVersion);
}

TEST(GdipStatus, GraphicsOnADeviceContextDrawsOnItsBitmap)
{
    HBITMAP bmp = CreateBitmap32(10, 10);
    HDC dc = CreateDCForBitmap(bmp);
    SetWindowOrgEx(dc, 2, 0, nullptr);
    IntersectClipRect(dc, 0, 0, 6, 10);  // logical 0..6 = device -2..4
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
    GpSolidFill* red = nullptr;
    GdipCreateSolidFill(kRed, &red);
    GdipFillRectangle(g, red, 2, 0, 8, 1);  // logical 2..10 = device 0..8, clipped at 4
    HDC inner = nullptr;
    ASSERT_EQ(GdipGetDC(g, &inner), Ok);
    EXPECT_EQ(GdipFillRectangle(g, red, 0, 0, 1, 1), ObjectBusy);
    EXPECT_EQ(GetPixel(inner, 2, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(inner, 5, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(inner, 6, 0), RGB(0, 0, 0));
    ASSERT_EQ(GdipReleaseDC(g, inner), Ok);
    EXPECT_EQ(GdipFillRectangle(g, red, 0, 0, 1, 1), Ok);
    GdipDeleteBrush(red);
    GdipDeleteGraphics(g);
    DeleteDC(dc);
    DeleteObject(bmp);
}

}  // namespace
}  // namespace dcs::gdiplus::test
