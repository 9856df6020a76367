#include "Canvas.h"

#include <cmath>
#include <memory>

namespace dcs::smooth::test {
namespace {

TEST(SmGDIP, ColourConversions)
{
    EXPECT_EQ(ARGBFromColor(128, 0x000000FF), 0x80FF0000u);
    EXPECT_EQ(ColorToARGB(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(ColorToARGB(0x00332211), 0xFF112233u);
    EXPECT_EQ(MakeAlphaColor(7, 0x00332211), 0x07112233u);
    // A system colour goes through its current RGB value.
    EXPECT_EQ(ColorToARGB(clBtnFace), ColorToARGB(TColor(GetSysColor(COLOR_BTNFACE))));
    EXPECT_EQ(ARGBFromColor(9, clBtnFace) & 0xFFFFFFu, ColorToARGB(clBtnFace) & 0xFFFFFFu);
    EXPECT_EQ(ComposeARGB(1, 2, 3, 4), 0x01020304u);
    EXPECT_EQ(ARGBRed(0x01020304), 2);
    EXPECT_EQ(ARGBGreen(0x01020304), 3);
    EXPECT_EQ(ARGBBlue(0x01020304), 4);
}

TEST(SmGDIP, StatusRule)
{
    TGPMatrix m;
    EXPECT_EQ(m.LastResult(), Ok);
    // A failure survives a later success and is handed out once.
    EXPECT_EQ(m.Translate(NAN, 0), InvalidParameter);
    EXPECT_EQ(m.Translate(1, 2), Ok);
    std::unique_ptr<TGPMatrix> clone(m.Clone());
    EXPECT_EQ(clone, nullptr) << "Clone is nil while a failure is recorded";
    EXPECT_EQ(m.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(m.GetLastStatus(), Ok);
    clone.reset(m.Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_FLOAT_EQ(clone->OffsetX(), 1);
    EXPECT_FLOAT_EQ(clone->OffsetY(), 2);

    // A failed creation keeps its status and a null handle.
    TGPPen bad(0xFF000000, NAN);
    EXPECT_NE(bad.LastResult(), Ok);
    EXPECT_EQ(bad.nativePen, nullptr);
    EXPECT_EQ(bad.GetBrush(), nullptr) << "fill type outside 0..4 gives nil";

    // SetCenterColor answers the status field, an older failure included.
    TGPGraphicsPath path;
    path.AddRectangle(TGPRectF {0, 0, 10, 10});
    TGPPathGradientBrush pg(&path);
    ASSERT_EQ(pg.LastResult(), Ok);
    ARGB colours[5] = {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000};
    INT count = 5;
    EXPECT_EQ(pg.SetSurroundColors(colours, count), InvalidParameter);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(pg.SetCenterColor(0xFFFF0000), InvalidParameter);
    EXPECT_EQ(pg.GetLastStatus(), InvalidParameter);
    count = 4;
    EXPECT_EQ(pg.SetSurroundColors(colours, count), Ok);
    EXPECT_EQ(count, 4);
    INT small = 2;
    EXPECT_EQ(pg.GetSurroundColors(colours, small), InsufficientBuffer);
    EXPECT_EQ(pg.GetLastStatus(), InsufficientBuffer);
    INT enough = 5;
    EXPECT_EQ(pg.GetSurroundColors(colours, enough), Ok);
    EXPECT_EQ(enough, 4);
    EXPECT_EQ(pg.SetInterpolationColors(nullptr, nullptr, 2), InvalidParameter);

    // A preset blend of count 0 makes no call.
    TGPLinearGradientBrush lb(TGPPointF {0, 0}, TGPPointF {10, 0}, 0xFF000000, 0xFFFFFFFF);
    ASSERT_EQ(lb.LastResult(), Ok);
    EXPECT_EQ(lb.SetInterpolationColors(colours, nullptr, 0), InvalidParameter);

    // The parameterless brush has no native object.
    TGPBrush plain;
    EXPECT_EQ(plain.LastResult(), NotImplemented);
    TGPSolidBrush empty;
    EXPECT_EQ(empty.LastResult(), Ok);
}

TEST(SmGDIP, PenBrushAndFonts)
{
    TGPPen pen(0xFF102030, 2);
    std::unique_ptr<TGPBrush> b(pen.GetBrush());
    ASSERT_NE(b, nullptr);
    EXPECT_NE(dynamic_cast<TGPSolidBrush*>(b.get()), nullptr);
    EXPECT_NE(b->nativeBrush, nullptr);

    EXPECT_EQ(TGPFontFamily::GenericSansSerif(), TGPFontFamily::GenericSansSerif());
    EXPECT_NE(TGPFontFamily::GenericSansSerif(), TGPFontFamily::GenericSerif());

    // An unknown face falls back to the generic sans-serif family.
    TGPFont unknown("No Such Face Anywhere", 10);
    EXPECT_EQ(unknown.LastResult(), Ok);
    ASSERT_NE(unknown.nativeFont, nullptr);
    GpFontFamily* fam = nullptr;
    GdipGetFamily(unknown.nativeFont, &fam);
    TGPFontFamily got(fam, Ok);
    EXPECT_EQ(got.GetFamilyName(), TGPFontFamily::GenericSansSerif()->GetFamilyName());
}

TEST(SmGDIP, MatrixRotateAtAndFormats)
{
    for (MatrixOrder order : {MatrixOrderAppend, MatrixOrderPrepend}) {
        TGPMatrix m;
        EXPECT_EQ(m.RotateAt(90, TGPPointF {10, 10}, order), Ok);
        TGPPointF p {20, 10};
        m.TransformPoints(&p);
        EXPECT_NEAR(p.X, 10, 1e-4);
        EXPECT_NEAR(p.Y, 20, 1e-4);
    }
    TGPBitmap bmp(4, 4);
    EXPECT_EQ(bmp.GetFormat(), ifMemoryBMP);
    EXPECT_EQ(bmp.GetWidth(), 4u);
    EXPECT_TRUE(bmp.HasAlphaChannel());
    EXPECT_EQ(bmp.GetPixelDepth(), 32);
}

}  // namespace
}  // namespace dcs::smooth::test
