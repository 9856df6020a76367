// A GDI+ bitmap with a graphics on it, for pixel tests.
#pragma once

#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <string>

namespace dcs::gdiplus::test {

class Surface {
public:
    Surface(int w, int h, ARGB background = 0xFFFFFFFF) : W(w), H(h)
    {
        EXPECT_EQ(GdipCreateBitmapFromScan0(w, h, 0, PixelFormat32bppARGB, nullptr, &Bitmap), Ok);
        EXPECT_EQ(GdipGetImageGraphicsContext(Bitmap, &Graphics), Ok);
        GdipGraphicsClear(Graphics, background);
    }
    ~Surface()
    {
        GdipDeleteGraphics(Graphics);
        GdipDisposeImage(Bitmap);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    ARGB At(int x, int y) const
    {
        ARGB c = 0;
        EXPECT_EQ(GdipBitmapGetPixel(Bitmap, x, y, &c), Ok);
        return c;
    }
    int Red(int x, int y) const { return int((At(x, y) >> 16) & 0xFF); }
    int Green(int x, int y) const { return int((At(x, y) >> 8) & 0xFF); }
    int Blue(int x, int y) const { return int(At(x, y) & 0xFF); }
    // How many pixels differ from `c`.
    int CountNot(ARGB c) const
    {
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                n += At(x, y) != c;
        return n;
    }
    // Writes the pixels as a PNG into $DCS_GDIPLUS_DUMP, when set, for looking at.
    void Dump(const std::string& name) const;

    int W, H;
    GpBitmap* Bitmap = nullptr;
    GpGraphics* Graphics = nullptr;
};

inline std::u16string W16(const char* s)
{
    std::u16string r;
    while (*s)
        r += char16_t(*s++);
    return r;
}

}  // namespace dcs::gdiplus::test
