#include "Canvas.h"

#include "platform/base/SysUtils.h"
#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/ImageEncoders.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace dcs::smooth::test {
namespace {

std::vector<TGPPointF> Points(TGPGraphicsPath& p, std::vector<BYTE>* types = nullptr)
{
    std::vector<TGPPointF> pts(size_t(p.GetPointCount()));
    p.GetPathPoints(pts.data(), INT(pts.size()));
    if (types) {
        types->resize(pts.size());
        p.GetPathTypes(types->data(), INT(pts.size()));
    }
    return pts;
}

// True when every anchor occurs among the path's points in this order.
bool HasInOrder(const std::vector<TGPPointF>& pts, const std::vector<TGPPointF>& anchors)
{
    size_t i = 0;
    for (const TGPPointF& p : pts)
        if (i < anchors.size() && std::fabs(p.X - anchors[i].X) < 1e-3 && std::fabs(p.Y - anchors[i].Y) < 1e-3)
            ++i;
    return i == anchors.size();
}

TEST(BuildRoundRectPath, SixCornerKindsInPieceOrder)
{
    // R = (10, 20, 100, 50), radius 8.
    const struct {
        TFillRoundingType Type;
        TGPPointF First;
        std::vector<TGPPointF> Anchors;
        int Beziers;  // arcs: each quarter arc is one cubic (three bezier points)
    } cases[] = {
        {rtNone, {10, 20}, {{10, 20}, {110, 20}, {110, 70}, {10, 70}}, 0},
        {rtTop, {10, 28}, {{18, 20}, {102, 20}, {110, 28}, {110, 70}, {10, 70}, {10, 28}}, 6},
        {rtBottom, {10, 20}, {{110, 20}, {110, 62}, {102, 70}, {18, 70}, {10, 62}, {10, 20}}, 6},
        {rtBoth, {10, 28}, {{18, 20}, {102, 20}, {110, 28}, {110, 62}, {102, 70}, {18, 70}, {10, 62}, {10, 28}}, 12},
        {rtLeft, {10, 28}, {{18, 20}, {102, 20}, {110, 20}, {110, 70}, {102, 70}, {18, 70}, {10, 62}, {10, 28}}, 6},
        {rtRight, {10, 20}, {{102, 20}, {110, 28}, {110, 62}, {102, 70}, {10, 70}, {10, 62}, {10, 28}}, 6},
    };
    for (const auto& k : cases) {
        std::unique_ptr<TGPGraphicsPath> p(BuildRoundRectPath(TGPRectF {10, 20, 100, 50}, 8, k.Type, 12345));
        std::vector<BYTE> types;
        const auto pts = Points(*p, &types);
        ASSERT_FALSE(pts.empty()) << k.Type;
        EXPECT_NEAR(pts.front().X, k.First.X, 1e-3) << k.Type;
        EXPECT_NEAR(pts.front().Y, k.First.Y, 1e-3) << k.Type;
        EXPECT_TRUE(HasInOrder(pts, k.Anchors)) << k.Type;
        int beziers = 0;
        for (BYTE t : types)
            beziers += (t & PathPointTypePathTypeMask) == PathPointTypeBezier;
        EXPECT_EQ(beziers, k.Beziers) << k.Type;
        EXPECT_TRUE(types.back() & PathPointTypeCloseSubpath) << k.Type;
    }
}

TEST(FitPictureSize, Table)
{
    const struct {
        int PW, PH, BW, BH;
        TPictureMode Mode;
        TPictureSize Out;
    } cases[] = {
        {0, 10, 50, 50, pmStretch, {0, 0}},    {10, 10, 50, -1, pmStretch, {0, 0}},
        {10, 20, 50, 50, pmNormal, {10, 20}},  {10, 20, 50, 50, pmStretch, {25, 50}},
        {40, 10, 50, 50, pmStretch, {50, 12}}, {100, 50, 40, 40, pmNormal, {40, 20}},
        {60, 20, 50, 50, pmNormal, {50, 17}},  {10, 10, 10, 10, pmNormal, {10, 10}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(FitPictureSize(k.PW, k.PH, k.BW, k.BH, k.Mode), k.Out)
            << k.PW << "x" << k.PH << " in " << k.BW << "x" << k.BH;
}

TEST(GDIPFill, DefaultsWritersAndUpdateCounter)
{
    TGDIPFill f;
    EXPECT_EQ(f.Color(), 0xC0C0C0);
    EXPECT_EQ(f.ColorTo(), 0x808080);
    EXPECT_EQ(f.ColorMirror(), clNone);
    EXPECT_EQ(f.GradientType(), gtVertical);
    EXPECT_EQ(f.GradientMirrorType(), gtSolid);
    EXPECT_EQ(f.BackGroundPictureMode(), pmOutsideFill);
    EXPECT_EQ(f.PictureWidth(), 50);
    EXPECT_EQ(f.BorderColor(), clNone);
    EXPECT_EQ(f.BorderWidth(), 1);
    EXPECT_EQ(f.RoundingType(), rtBoth);
    EXPECT_EQ(f.ShadowColor(), 0x808080);
    EXPECT_EQ(f.GlowGradientColor(), clWhite);
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetColor(0xC0C0C0);
    EXPECT_EQ(changes, 0) << "an equal value does not notify";
    f.SetColor(0x123456);
    EXPECT_EQ(changes, 1);
    f.BeginUpdate();
    f.SetRounding(7);
    f.EndUpdate();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.Rounding(), 7);
    f.EndUpdate();  // not below zero
    f.SetRounding(8);
    EXPECT_EQ(changes, 2);

    TGDIPFill g;
    g.Focus = true;
    int gChanges = 0;
    g.OnChange = [&](TObject*) { ++gChanges; };
    g.Assign(&f);
    EXPECT_EQ(gChanges, 1);
    EXPECT_EQ(g.Color(), 0x123456);
    EXPECT_EQ(g.Rounding(), 8);
    EXPECT_TRUE(g.Focus);
}

TEST(GDIPFill, ShadowTypesReturnTheirRectangles)
{
    const struct {
        TShadowType Type;
        TGPRectF Out;
    } cases[] = {{stRightBottom, {10, 10, 75, 45}}, {stBottom, {10, 10, 80, 45}}, {stSurround, {15, 15, 70, 40}}};
    for (const auto& k : cases) {
        Canvas c(100, 70);
        TGDIPFill f;
        f.SetShadowOffset(5);
        f.SetShadowType(k.Type);
        const TGPRectF r = f.Fill(&c.G, TGPRectF {10, 10, 80, 50});
        EXPECT_FLOAT_EQ(r.X, k.Out.X) << k.Type;
        EXPECT_FLOAT_EQ(r.Y, k.Out.Y) << k.Type;
        EXPECT_FLOAT_EQ(r.Width, k.Out.Width) << k.Type;
        EXPECT_FLOAT_EQ(r.Height, k.Out.Height) << k.Type;
        c.Dump(std::string("fill-shadow-") + std::to_string(k.Type));
    }
    Canvas c(100, 70);
    TGDIPFill none;
    none.SetShadowOffset(5);
    none.SetShadowColor(clNone);
    const TGPRectF r = none.Fill(&c.G, TGPRectF {10, 10, 80, 50});
    EXPECT_FLOAT_EQ(r.Width, 80);
}

TEST(GDIPFill, OnePixelRectangleIsALine)
{
    Canvas c(40, 40);
    TGDIPFill f;
    f.Fill(&c.G, TGPRectF {5, 5, 1, 30});
    EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0) << "no border: nothing";
    f.SetBorderColor(0x0000FF);
    f.Fill(&c.G, TGPRectF {5, 5, 1, 30});
    const TGPRect b = c.Bounds(0xFFFFFFFF);
    EXPECT_LE(b.Width, 3);
    EXPECT_GE(b.Height, 29);
    EXPECT_GT(c.Red(5, 20), 200);
    EXPECT_LT(c.Green(5, 20), 100);
}

TEST(GDIPFill, OpacityArgumentsAndKinds)
{
    {
        Canvas c(40, 40);
        TGDIPFill f;
        f.SetGradientType(gtSolid);
        f.SetColor(0x000000);
        f.SetOpacity(128);
        f.Fill(&c.G, TGPRectF {0, 0, 40, 40});
        EXPECT_NEAR(c.Red(20, 20), 127, 2) << "255 means the stored opacity";
    }
    {
        Canvas c(40, 40);
        TGDIPFill f;
        f.SetGradientType(gtSolid);
        f.SetColor(0x000000);
        f.Fill(&c.G, TGPRectF {0, 0, 40, 40}, 255, 0);
        EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0) << "an explicit 0 hides the colour";
    }
    for (TSmGradientType t : {gtPath, gtRadial}) {
        Canvas c(40, 40);
        TGradientFillParams p;
        p.Graphics = &c.G;
        p.R = TGPRectF {5, 5, 30, 30};
        p.GradientType = t;
        p.Color = clBlack;
        p.ColorTo = clRed;
        PaintGradientFill(p);
        EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0) << t;
    }
    {
        Canvas c(40, 40);
        TGDIPFill f;
        f.SetGradientType(gtPath);
        f.Fill(&c.G, TGPRectF {0, 0, 40, 40});
        EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0);
    }
}

TEST(GDIPFill, VerticalGradientIsGammaCorrected)
{
    Canvas c(20, 101);
    TGDIPFill f;
    f.SetColor(clBlack);
    f.SetColorTo(clWhite);
    f.Fill(&c.G, TGPRectF {0, 0, 20, 101});
    EXPECT_NEAR(c.Red(10, 50), 186, 4);
    EXPECT_LT(c.Red(10, 2), 60);
    EXPECT_GT(c.Red(10, 98), 240);
    c.Dump("fill-vertical");
}

TEST(GDIPFill, MirrorHalvesOverlapByTwoRows)
{
    Canvas c(20, 40);
    TGDIPFill f;
    f.SetGradientType(gtSolid);
    f.SetColor(clRed);
    f.SetColorMirror(clBlack);
    f.SetGradientMirrorType(gtSolid);
    f.SetOpacityMirror(128);
    f.Fill(&c.G, TGPRectF {0, 0, 20, 40});
    // Upper half rows 0..20, lower half rows 19..39: rows 19 and 20 carry both.
    EXPECT_EQ(c.At(10, 17), 0xFFFF0000u);
    EXPECT_NEAR(c.Red(10, 19), 128, 3);
    EXPECT_NEAR(c.Red(10, 20), 128, 3);
    EXPECT_NEAR(c.Red(10, 30), 127, 3);
    EXPECT_EQ(c.Green(10, 30), 127);
    c.Dump("fill-mirror");
}

TEST(GDIPFill, BackgroundPictureOnlyWithTexture)
{
    TGPBitmap bmp(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            bmp.SetPixel(x, y, 0xFF00FF00);
    TGUID clsid;
    ASSERT_TRUE(EncoderClsidForType(itPNG, clsid));
    IntfPtr<gdiplus::TMemoryIStream> s(new gdiplus::TMemoryIStream);
    ASSERT_EQ(bmp.Save(s.Get(), clsid), Ok);
    for (TSmGradientType t : {gtVertical, gtSolid, gtTexture}) {
        Canvas c(30, 30);
        TGDIPFill f;
        f.SetGradientType(t);
        f.SetColor(clWhite);
        f.SetColorTo(clWhite);
        f.BackGroundPicture()->LoadFromBytes(s->Bytes());
        f.SetBackGroundPictureLeft(2);
        f.SetBackGroundPictureTop(3);
        f.Fill(&c.G, TGPRectF {5, 5, 20, 20});
        const bool drawn = c.At(8, 9) == 0xFF00FF00u;
        EXPECT_EQ(drawn, t == gtTexture) << t;
        if (t == gtTexture) {
            EXPECT_EQ(c.Bounds(0xFFFFFFFF).X, 7);
            EXPECT_EQ(c.Bounds(0xFFFFFFFF).Y, 8);
        }
    }
}

// ImageMagick draws the same rounded rectangle independently.
TEST(GDIPFill, RoundedFillMatchesImageMagick)
{
    Canvas c(100, 70);
    c.G.SetSmoothingMode(SmoothingModeAntiAlias);
    TGDIPFill f;
    f.SetGradientType(gtSolid);
    f.SetColor(clRed);
    f.SetRounding(12);
    f.Fill(&c.G, TGPRectF {10, 10, 80, 50});
    const std::string ours = testing::TempDir() + "/smooth-rounded-ours.png";
    const std::string theirs = testing::TempDir() + "/smooth-rounded-magick.png";
    c.WritePng(ours);
    const std::string draw = "convert -size 100x70 xc:white -fill red -stroke none -draw "
                             "'roundrectangle 10,10 90,60 12,12' PNG32:" +
        theirs;
    ASSERT_EQ(std::system(draw.c_str()), 0) << "ImageMagick (scripts/debian-packages.txt) is needed";
    const std::string cmp = "compare -metric RMSE " + ours + " " + theirs + " null: 2>&1";
    FILE* p = popen(cmp.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char out[256] = {};
    ASSERT_NE(std::fgets(out, sizeof out, p), nullptr);
    pclose(p);
    // "<absolute> (<normalised>)"
    const char* open = std::strchr(out, '(');
    ASSERT_NE(open, nullptr) << out;
    const double rmse = std::atof(open + 1);
    // Only the anti-aliased rim differs; a radius of 8 or 16 scores above 0.087.
    EXPECT_LT(rmse, 0.08) << out;
    EXPECT_EQ(c.At(50, 35), 0xFFFF0000u);
    EXPECT_EQ(c.At(11, 11), 0xFFFFFFFFu) << "the corner is rounded";
}

TEST(HexText, RoundTripAndErrors)
{
    const std::vector<uint8_t> b = {0x00, 0x7F, 0xAB, 0xFF};
    EXPECT_EQ(BytesToHex(b), "007FABFF");
    EXPECT_EQ(HexToBytes("007fabFF"), b);
    EXPECT_EQ(HexToBytes("007FABFF1"), b) << "an odd last character is ignored";
    try {
        HexToBytes("00G1");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "No Hex-Number");
    }
}

}  // namespace
}  // namespace dcs::smooth::test
