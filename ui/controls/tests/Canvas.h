// A bitmap with a smooth-controls surface on it, for pixel tests.
#pragma once

#include "ui/controls/GPGraphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace dcs::smooth::test {

class Canvas {
public:
    Canvas(int w, int h, ARGB background = 0xFFFFFFFF) : W(w), H(h), Bitmap(w, h), G(&Bitmap) { G.Clear(background); }
    ARGB At(int x, int y)
    {
        ARGB c = 0;
        EXPECT_EQ(Bitmap.GetPixel(x, y, c), Ok);
        return c;
    }
    int Red(int x, int y) { return ARGBRed(At(x, y)); }
    int Green(int x, int y) { return ARGBGreen(At(x, y)); }
    int Blue(int x, int y) { return ARGBBlue(At(x, y)); }
    int Alpha(int x, int y) { return int(At(x, y) >> 24); }
    int CountNot(ARGB c)
    {
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                n += At(x, y) != c;
        return n;
    }
    // The smallest rectangle holding every pixel that differs from c (empty: W = 0).
    TGPRect Bounds(ARGB c);
    // Writes a PNG into $DCS_SMOOTH_DUMP, when set, for looking at.
    void Dump(const std::string& name);
    void WritePng(const std::string& path);

    int W, H;
    TGPBitmap Bitmap;
    TGPGraphics G;
};

}  // namespace dcs::smooth::test
