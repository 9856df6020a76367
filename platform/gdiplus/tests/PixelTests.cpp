#include "Surface.h"

#include <cmath>

namespace dcs::gdiplus::test {
namespace {

constexpr ARGB kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

struct Brush {
    explicit Brush(ARGB c) { GdipCreateSolidFill(c, reinterpret_cast<GpSolidFill**>(&B)); }
    explicit Brush(GpBrush* b) : B(b) {}
    ~Brush() { GdipDeleteBrush(B); }
    Brush(const Brush&) = delete;
    Brush& operator=(const Brush&) = delete;
    GpBrush* B = nullptr;
};

TEST(GdipPixels, AliasedRectangleCoversExactlyItsPixels)
{
    Surface s(20, 20);
    Brush red(kRed);
    ASSERT_EQ(GdipFillRectangle(s.Graphics, red.B, 2, 3, 5, 4), Ok);
    s.Dump("aliased-rect");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
            EXPECT_EQ(s.At(x, y), inside ? kRed : kWhite) << x << "," << y;
        }
}

TEST(GdipPixels, AntiAliasedEdgeThroughPixelCentresGivesHalfCoverage)
{
    // Pixel centres lie on integers: an edge at x = 3 halves pixel 3. With the Half
    // offset, centres move to x.5 and an edge at 3.5 halves pixel 3 instead.
    struct Case {
        PixelOffsetMode Mode;
        REAL Edge;
    } cases[] = {{PixelOffsetModeDefault, 3.0f}, {PixelOffsetModeHalf, 3.5f}};
    for (const Case& c : cases) {
        Surface s(10, 4);
        Brush black(kBlack);
        GdipSetSmoothingMode(s.Graphics, SmoothingModeAntiAlias);
        GdipSetPixelOffsetMode(s.Graphics, c.Mode);
        ASSERT_EQ(GdipFillRectangle(s.Graphics, black.B, c.Edge, 0, 10, 4), Ok);
        EXPECT_NEAR(s.Red(3, 1), 128, 2) << c.Mode;
        EXPECT_EQ(s.Red(2, 1), 255) << c.Mode;
        EXPECT_EQ(s.Red(4, 1), 0) << c.Mode;
    }
}

TEST(GdipPixels, ClipExcludeAndReset)
{
    Surface s(20, 20);
    Brush red(kRed), blue(kBlue);
    ASSERT_EQ(GdipSetClipRect(s.Graphics, 2, 2, 10, 10, CombineModeReplace), Ok);
    ASSERT_EQ(GdipSetClipRect(s.Graphics, 5, 5, 3, 3, CombineModeExclude), Ok);
    GpRectF bounds;
    GdipGetClipBounds(s.Graphics, &bounds);
    EXPECT_FLOAT_EQ(bounds.X, 2);
    EXPECT_FLOAT_EQ(bounds.Width, 10);
    GdipFillRectangle(s.Graphics, red.B, 0, 0, 20, 20);
    EXPECT_EQ(s.At(1, 1), kWhite);
    EXPECT_EQ(s.At(2, 2), kRed);
    EXPECT_EQ(s.At(11, 11), kRed);
    EXPECT_EQ(s.At(12, 12), kWhite);
    EXPECT_EQ(s.At(6, 6), kWhite);  // the excluded hole
    EXPECT_EQ(s.At(8, 6), kRed);
    ASSERT_EQ(GdipResetClip(s.Graphics), Ok);
    GdipFillRectangle(s.Graphics, blue.B, 0, 0, 20, 20);
    EXPECT_EQ(s.CountNot(kBlue), 0);
}

TEST(GdipPixels, RegionClipFromPathIsAliased)
{
    Surface s(20, 20);
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathEllipse(path, 2, 2, 15, 15);
    GpRegion* region = nullptr;
    GdipCreateRegionPath(path, &region);
    GdipSetSmoothingMode(s.Graphics, SmoothingModeAntiAlias);
    ASSERT_EQ(GdipSetClipRegion(s.Graphics, region, CombineModeReplace), Ok);
    Brush black(kBlack);
    GdipFillRectangle(s.Graphics, black.B, 0, 0, 20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            EXPECT_TRUE(s.At(x, y) == kWhite || s.At(x, y) == kBlack) << x << "," << y;
    EXPECT_EQ(s.At(9, 9), kBlack);
    EXPECT_EQ(s.At(2, 2), kWhite);
    GdipDeleteRegion(region);
    GdipDeletePath(path);
}

TEST(GdipPixels, HatchPatternSitsOnTheDeviceGrid)
{
    Surface s(24, 16);
    GpHatch* h = nullptr;
    ASSERT_EQ(GdipCreateHatchBrush(HatchStyleForwardDiagonal, kBlack, kWhite, &h), Ok);
    Brush hatch(h);
    // Filled from an odd offset: the pattern still starts at device (0, 0).
    GdipFillRectangle(s.Graphics, hatch.B, 3, 5, 21, 11);
    s.Dump("hatch");
    for (int y = 5; y < 16; ++y)
        for (int x = 3; x < 24; ++x)
            EXPECT_EQ(s.At(x, y), (x % 8) == (y % 8) ? kBlack : kWhite) << x << "," << y;
}

TEST(GdipPixels, TextureTilesFromTheWorldOrigin)
{
    // A 3x2 tile: red first column, blue elsewhere.
    GpBitmap* tile = nullptr;
    GdipCreateBitmapFromScan0(3, 2, 0, PixelFormat32bppARGB, nullptr, &tile);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            GdipBitmapSetPixel(tile, x, y, x == 0 ? kRed : kBlue);
    GpTexture* t = nullptr;
    ASSERT_EQ(GdipCreateTexture(tile, WrapModeTile, &t), Ok);
    GdipDisposeImage(tile);  // the brush keeps its own copy
    Brush texture(t);
    Surface s(20, 10);
    GdipTranslateWorldTransform(s.Graphics, 1, 0, MatrixOrderPrepend);
    GdipFillRectangle(s.Graphics, texture.B, 4, 2, 12, 6);
    for (int y = 2; y < 8; ++y)
        for (int x = 5; x < 17; ++x)
            EXPECT_EQ(s.At(x, y), (x - 1) % 3 == 0 ? kRed : kBlue) << x << "," << y;
    EXPECT_EQ(s.At(4, 3), kWhite);
}

TEST(GdipPixels, LinearGradientMiddleAndGammaCorrection)
{
    struct Case {
        BOOL Gamma;
        int Middle;
        int Tolerance;
    } cases[] = {{0, 128, 1}, {1, 186, 2}};
    for (const Case& c : cases) {
        Surface s(257, 4);
        GpLineGradient* g = nullptr;
        GpPointF a {0, 0}, b {256, 0};
        ASSERT_EQ(GdipCreateLineBrush(&a, &b, kBlack, kWhite, WrapModeTile, &g), Ok);
        GdipSetLineGammaCorrection(g, c.Gamma);
        Brush grad(g);
        ASSERT_EQ(GdipFillRectangle(s.Graphics, grad.B, 0, 0, 256, 4), Ok);
        s.Dump(c.Gamma ? "gradient-gamma" : "gradient");
        EXPECT_NEAR(s.Red(128, 1), c.Middle, c.Tolerance) << "gamma " << c.Gamma;
        EXPECT_LE(s.Red(0, 1), 1);
        EXPECT_GE(s.Red(255, 1), 253);
        for (int x = 1; x < 256; ++x)
            EXPECT_GE(s.Red(x, 1), s.Red(x - 1, 1)) << x;
    }
}

TEST(GdipPixels, GradientModesFromRectangle)
{
    struct Case {
        LinearGradientMode Mode;
        int X0, Y0, X1, Y1;  // first pixel dark, second light
    } cases[] = {
        {LinearGradientModeHorizontal, 1, 10, 30, 10},
        {LinearGradientModeVertical, 10, 1, 10, 30},
        {LinearGradientModeForwardDiagonal, 1, 1, 30, 30},
        {LinearGradientModeBackwardDiagonal, 30, 1, 1, 30},
    };
    for (const Case& c : cases) {
        Surface s(32, 32);
        GpRectF r {0, 0, 32, 32};
        GpLineGradient* g = nullptr;
        ASSERT_EQ(GdipCreateLineBrushFromRect(&r, kBlack, kWhite, c.Mode, WrapModeTile, &g), Ok);
        Brush grad(g);
        GdipFillRectangle(s.Graphics, grad.B, 0, 0, 32, 32);
        EXPECT_LT(s.Red(c.X0, c.Y0), 40) << c.Mode;
        EXPECT_GT(s.Red(c.X1, c.Y1), 215) << c.Mode;
    }
}

TEST(GdipPixels, APathGradientFarLargerThanTheSurfaceIsPaintedWhereItShows)
{
    // A glow ellipse 3000 pixels tall over a 60 x 40 surface, drawn through a clip and
    // then without: each pass matches the same ellipse drawn whole on a tall surface.
    auto paint = [](Surface& s, REAL dy, const GpRectF* clip) {
        GpPath* path = nullptr;
        GdipCreatePath(FillModeAlternate, &path);
        GdipAddPathEllipse(path, 5, dy - 1480, 50, 3000);
        GpPathGradient* pg = nullptr;
        GdipCreatePathGradientFromPath(path, &pg);
        GdipSetPathGradientCenterColor(pg, kWhite);
        INT n = 1;
        ARGB edge = 0x00000000;
        GdipSetPathGradientSurroundColorsWithCount(pg, &edge, &n);
        Brush brush(pg);
        if (clip)
            GdipSetClipRect(s.Graphics, clip->X, clip->Y, clip->Width, clip->Height, CombineModeReplace);
        GdipFillPath(s.Graphics, brush.B, path);
        GdipResetClip(s.Graphics);
        GdipDeletePath(path);
    };
    Surface tall(60, 2000, 0xFF000000);
    paint(tall, 1000, nullptr);  // the ellipse's middle rows at 1000..1039
    const GpRectF left {0, 0, 30, 40};
    Surface clipped(60, 40, 0xFF000000);
    paint(clipped, 0, &left);
    Surface whole(60, 40, 0xFF000000);
    paint(whole, 0, nullptr);
    for (int y = 0; y < 40; y += 13)
        for (int x = 0; x < 60; x += 7) {
            EXPECT_NEAR(whole.Red(x, y), tall.Red(x, 1000 + y), 2) << x << "," << y;
            EXPECT_EQ(clipped.Red(x, y), x < 30 ? whole.Red(x, y) : 0) << x << "," << y;
        }
    EXPECT_GT(whole.Red(30, 20), 200);
}

TEST(GdipPixels, EllipticPathGradientCentreEdgeAndProfile)
{
    Surface s(41, 41, 0xFF00FF00);
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    GdipAddPathEllipse(path, 0, 0, 40, 40);
    GpPathGradient* pg = nullptr;
    ASSERT_EQ(GdipCreatePathGradientFromPath(path, &pg), Ok);
    GpPointF centre;
    GdipGetPathGradientCenterPoint(pg, &centre);
    EXPECT_FLOAT_EQ(centre.X, 20);
    EXPECT_FLOAT_EQ(centre.Y, 20);
    GdipSetPathGradientCenterColor(pg, kWhite);
    INT n = 1;
    ARGB edge = kBlack;
    ASSERT_EQ(GdipSetPathGradientSurroundColorsWithCount(pg, &edge, &n), Ok);
    Brush brush(pg);
    GdipSetSmoothingMode(s.Graphics, SmoothingModeAntiAlias);
    ASSERT_EQ(GdipFillRectangle(s.Graphics, brush.B, 0, 0, 41, 41), Ok);
    s.Dump("path-gradient");
    EXPECT_GE(s.Red(20, 20), 250);
    EXPECT_EQ(s.At(1, 1), 0xFF00FF00u) << "painted only inside the path";
    // Linear fall-off from the centre (radius 20): a quarter of the way out is 3/4 white.
    for (int d : {5, 10, 15}) {
        int expected = int(std::lround(255.0 * (20 - d) / 20));
        EXPECT_NEAR(s.Red(20 + d, 20), expected, 5) << d;
        EXPECT_NEAR(s.Red(20, 20 - d), expected, 5) << d;
    }
    EXPECT_LT(s.Red(39, 20), 30);

    // Painted again after a change, the same shape shows the new colours (rendered
    // gradients are reused only while everything that decides them repeats).
    GdipSetPathGradientCenterColor(pg, 0xFF0000FF);
    Surface again(41, 41, 0xFF00FF00);
    GdipSetSmoothingMode(again.Graphics, SmoothingModeAntiAlias);
    GdipFillRectangle(again.Graphics, brush.B, 0, 0, 41, 41);
    EXPECT_GE(again.Blue(20, 20), 250);
    EXPECT_LE(again.Red(20, 20), 5);
    GdipDeletePath(path);
}

TEST(GdipPixels, PathGradientFanWithPresetBlendPaintsInsidePolygon)
{
    Surface s(40, 40, 0xFF00FF00);
    GpPointF square[4] = {{5, 5}, {35, 5}, {35, 35}, {5, 35}};
    GpPathGradient* pg = nullptr;
    ASSERT_EQ(GdipCreatePathGradient(square, 4, WrapModeClamp, &pg), Ok);
    ARGB colors[3] = {0x00000000, 0xB4FF0000, 0xB4FF0000};
    REAL pos[3] = {0, 0.1f, 1};
    ASSERT_EQ(GdipSetPathGradientPresetBlend(pg, colors, pos, 3), Ok);
    Brush brush(pg);
    GdipSetSmoothingMode(s.Graphics, SmoothingModeAntiAlias);
    GdipFillRectangle(s.Graphics, brush.B, 0, 0, 40, 40);
    s.Dump("shadow-fan");
    EXPECT_EQ(s.At(2, 20), 0xFF00FF00u);
    // Inside the 10% border the colour is constant red at alpha 180 over green.
    EXPECT_NEAR(s.Red(20, 20), 180, 3);
    EXPECT_NEAR(s.Green(20, 20), 75, 3);
    EXPECT_NEAR(s.Red(15, 25), 180, 3);
    // Towards the edge it fades out.
    EXPECT_LT(s.Red(5, 20), 100);
}

TEST(GdipPixels, DashedPenScalesWithWidthAndColourKeyDropsPixels)
{
    Surface s(40, 10);
    GpPen* pen = nullptr;
    GdipCreatePen1(kBlack, 2, UnitWorld, &pen);
    GdipSetPenDashStyle(pen, DashStyleDash);  // 3 on, 1 off, in pen widths
    ASSERT_EQ(GdipDrawLine(s.Graphics, pen, 0, 4.5f, 40, 4.5f), Ok);
    GdipDeletePen(pen);
    for (int x : {1, 3, 9, 11})
        EXPECT_EQ(s.Red(x, 4), 0) << x;
    for (int x : {7, 15})
        EXPECT_EQ(s.Red(x, 4), 255) << x;

    GpBitmap* img = nullptr;
    GdipCreateBitmapFromScan0(2, 1, 0, PixelFormat32bppARGB, nullptr, &img);
    GdipBitmapSetPixel(img, 0, 0, kRed);
    GdipBitmapSetPixel(img, 1, 0, kBlue);
    GpImageAttributes* attrs = nullptr;
    GdipCreateImageAttributes(&attrs);
    GdipSetImageAttributesColorKeys(attrs, ColorAdjustTypeDefault, 1, kRed, kRed);
    Surface t(2, 1);
    ASSERT_EQ(GdipDrawImageRectRect(t.Graphics, img, 0, 0, 2, 1, 0, 0, 2, 1, UnitPixel, attrs, nullptr, nullptr), Ok);
    EXPECT_EQ(t.At(0, 0), kWhite);
    EXPECT_EQ(t.At(1, 0), kBlue);
    GdipDisposeImageAttributes(attrs);
    GdipDisposeImage(img);
}

}  // namespace
}  // namespace dcs::gdiplus::test
