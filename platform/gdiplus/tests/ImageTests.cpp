#include "Surface.h"

#include <vector>

namespace dcs::gdiplus::test {
namespace {

TEST(GdipImages, PixelsRoundTripStraightThroughSetGetLockAndClone)
{
    GpBitmap* bmp = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 3, 0, PixelFormat32bppARGB, nullptr, &bmp), Ok);
    const ARGB values[] = {0x80FF0000, 0x01020304, 0xFF123456, 0x00000000};
    for (int i = 0; i < 4; ++i)
        GdipBitmapSetPixel(bmp, i, 0, values[i]);
    for (int i = 0; i < 4; ++i) {
        ARGB c = 0;
        GdipBitmapGetPixel(bmp, i, 0, &c);
        EXPECT_EQ(c, values[i]) << i;
    }
    EXPECT_EQ(GdipBitmapSetPixel(bmp, 4, 0, 0), InvalidParameter);

    BitmapData data;
    GpRect r {1, 0, 2, 2};
    ASSERT_EQ(GdipBitmapLockBits(bmp, &r, ImageLockModeRead | ImageLockModeWrite, PixelFormat32bppARGB, &data), Ok);
    EXPECT_EQ(GdipBitmapLockBits(bmp, &r, ImageLockModeRead, PixelFormat32bppARGB, &data), WrongState);
    auto* row0 = static_cast<ARGB*>(data.Scan0);
    EXPECT_EQ(row0[0], values[1]);
    auto* row1 = reinterpret_cast<ARGB*>(static_cast<uint8_t*>(data.Scan0) + data.Stride);
    row1[1] = 0xFF00FF00;
    ASSERT_EQ(GdipBitmapUnlockBits(bmp, &data), Ok);
    ARGB c = 0;
    GdipBitmapGetPixel(bmp, 2, 1, &c);
    EXPECT_EQ(c, 0xFF00FF00u);

    GpBitmap* part = nullptr;
    ASSERT_EQ(GdipCloneBitmapAreaI(2, 0, 2, 2, PixelFormat32bppARGB, bmp, &part), Ok);
    UINT w = 0;
    GdipGetImageWidth(part, &w);
    EXPECT_EQ(w, 2u);
    GdipBitmapGetPixel(part, 0, 1, &c);
    EXPECT_EQ(c, 0xFF00FF00u);
    GdipBitmapGetPixel(part, 1, 0, &c);
    EXPECT_EQ(c, values[3]);
    EXPECT_EQ(GdipCloneBitmapAreaI(3, 0, 2, 2, PixelFormat32bppARGB, bmp, &part), InvalidParameter);
    GdipDisposeImage(part);

    // Disposing a bitmap that a graphics still draws on is refused, not a dangling surface.
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(bmp, &g);
    EXPECT_EQ(GdipDisposeImage(bmp), ObjectBusy);
    GdipDeleteGraphics(g);
    EXPECT_EQ(GdipDisposeImage(bmp), Ok);
}

TEST(GdipImages, Scan0FormatsRotateAndDrawAtRoundedRectangle)
{
    // 24-bit rows are blue, green, red bytes with rows padded to 4 bytes.
    uint8_t rgb[2 * 8] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0};
    GpBitmap* bmp = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(2, 2, 8, PixelFormat24bppRGB, rgb, &bmp), Ok);
    ARGB c = 0;
    GdipBitmapGetPixel(bmp, 0, 0, &c);
    EXPECT_EQ(c, 0xFFFF0000u);
    GdipBitmapGetPixel(bmp, 0, 1, &c);
    EXPECT_EQ(c, 0xFF0000FFu);
    ASSERT_EQ(GdipImageRotateFlip(bmp, Rotate90FlipNone), Ok);
    GdipBitmapGetPixel(bmp, 1, 0, &c);  // top-left turned to top-right
    EXPECT_EQ(c, 0xFFFF0000u);
    GdipBitmapGetPixel(bmp, 0, 0, &c);  // bottom-left turned to top-left
    EXPECT_EQ(c, 0xFF0000FFu);
    PixelFormat f = 0;
    GdipGetImagePixelFormat(bmp, &f);
    EXPECT_EQ(f, PixelFormat24bppRGB);

    // Doubled with nearest sampling: each source pixel becomes a 2x2 block, on the grid.
    Surface s(20, 20);
    GdipSetInterpolationMode(s.Graphics, InterpolationModeNearestNeighbor);
    ASSERT_EQ(GdipDrawImageRectI(s.Graphics, bmp, 10, 12, 4, 4), Ok);
    EXPECT_EQ(s.At(11, 13), 0xFF0000FFu);
    EXPECT_EQ(s.At(12, 12), 0xFFFF0000u);
    EXPECT_EQ(s.At(10, 15), 0xFF000000u);
    EXPECT_EQ(s.At(13, 14), 0xFF00FF00u);
    EXPECT_EQ(s.At(9, 12), 0xFFFFFFFFu);
    EXPECT_EQ(s.At(14, 12), 0xFFFFFFFFu);
    EXPECT_EQ(s.At(10, 16), 0xFFFFFFFFu);
    GdipDisposeImage(bmp);
}

}  // namespace
}  // namespace dcs::gdiplus::test
