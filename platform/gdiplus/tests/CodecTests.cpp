#include "Surface.h"

#include "platform/gdiplus/MemoryStream.h"

#include <cstring>
#include <string>
#include <vector>

namespace dcs::gdiplus::test {
namespace {

std::u16string Fixture(const char* name) { return W16((std::string(DCS_IMAGING_FIXTURES) + "/" + name).c_str()); }

TEST(GdipCodecs, FixturesLoadWithRawFormatOrFailWithAStatus)
{
    struct Case {
        const char* File;
        Status Expected;
        const TGUID* Raw;
    } cases[] = {
        {"bmp_topdown_24.bmp", Ok, &ImageFormatBMP},       {"bmp_palette_8.bmp", Ok, &ImageFormatBMP},
        {"gif_first_frame.gif", Ok, &ImageFormatGIF},      {"jpeg_baseline.jpg", Ok, &ImageFormatJPEG},
        {"ico_alpha.ico", Ok, &ImageFormatIcon},           {"png_palette_trns.png", Ok, &ImageFormatPNG},
        {"jpeg_truncated.jpg", InvalidParameter, nullptr}, {"png_lying_length.png", InvalidParameter, nullptr},
        {"make_fixtures.py", UnknownImageFormat, nullptr}, {"no_such_file.png", FileNotFound, nullptr},
    };
    for (const Case& c : cases) {
        GpImage* img = nullptr;
        std::u16string path = Fixture(c.File);
        EXPECT_EQ(GdipLoadImageFromFile(path.c_str(), &img), c.Expected) << c.File;
        if (c.Expected != Ok) {
            EXPECT_EQ(img, nullptr) << c.File;
            continue;
        }
        TGUID raw;
        GdipGetImageRawFormat(img, &raw);
        EXPECT_EQ(raw, *c.Raw) << c.File;
        UINT w = 0, h = 0;
        GdipGetImageWidth(img, &w);
        GdipGetImageHeight(img, &h);
        EXPECT_GT(w, 0u) << c.File;
        EXPECT_GT(h, 0u) << c.File;
        // Every loaded picture can be drawn.
        Surface s(8, 8);
        EXPECT_EQ(GdipDrawImageRectI(s.Graphics, img, 0, 0, 8, 8), Ok) << c.File;
        GdipDisposeImage(img);
    }
}

// A picture with distinct colours (and translucency for PNG) in every pixel.
GpBitmap* Pattern(bool alpha)
{
    GpBitmap* b = nullptr;
    GdipCreateBitmapFromScan0(7, 5, 0, alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB, nullptr, &b);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            GdipBitmapSetPixel(b, x, y,
                               (alpha ? ARGB(40 + 30 * x) << 24 : 0xFF000000u) | ARGB(x * 36) << 16 |
                                   ARGB(y * 60) << 8 | ARGB(x * y * 7));
    return b;
}

const TGUID* EncoderFor(const char16_t* mime)
{
    UINT n = 0, size = 0;
    GdipGetImageEncodersSize(&n, &size);
    static std::vector<uint8_t> block;
    block.assign(size, 0);
    auto* list = reinterpret_cast<ImageCodecInfo*>(block.data());
    if (GdipGetImageEncoders(n, size, list) != Ok)
        return nullptr;
    for (UINT i = 0; i < n; ++i)
        if (std::u16string(list[i].MimeType) == mime)
            return &list[i].Clsid;
    return nullptr;
}

TEST(GdipCodecs, RoundTripsThroughStreams)
{
    struct Case {
        const char16_t* Mime;
        bool Alpha;
        int Tolerance;
        const TGUID* Raw;
    } cases[] = {
        {u"image/png", true, 0, &ImageFormatPNG},
        {u"image/bmp", false, 0, &ImageFormatBMP},
        // Chroma subsampling on a pattern this busy moves single channels by up to ~30.
        {u"image/jpeg", false, 40, &ImageFormatJPEG},
    };
    for (const Case& c : cases) {
        const TGUID* clsid = EncoderFor(c.Mime);
        ASSERT_NE(clsid, nullptr);
        TGUID encoder = *clsid;
        GpBitmap* src = Pattern(c.Alpha);
        IntfPtr<TMemoryIStream> stream(new TMemoryIStream);
        uint32_t quality = 95;
        EncoderParameters params;
        params.Count = 1;
        params.Parameter[0] = {EncoderQuality, 1, 4, &quality};
        ASSERT_EQ(GdipSaveImageToStream(src, stream.Get(), &encoder, &params), Ok);
        // The stream is left at its end; loading reads it from the start.
        GpBitmap* back = nullptr;
        ASSERT_EQ(GdipCreateBitmapFromStream(stream.Get(), &back), Ok);
        TGUID raw;
        GdipGetImageRawFormat(back, &raw);
        EXPECT_EQ(raw, *c.Raw);
        int worst = 0;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                ARGB a = 0, b = 0;
                GdipBitmapGetPixel(src, x, y, &a);
                GdipBitmapGetPixel(back, x, y, &b);
                for (int sh = 0; sh < 32; sh += 8)
                    worst = std::max(worst, std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)));
            }
        EXPECT_LE(worst, c.Tolerance) << std::string(c.Mime, c.Mime + 9);
        GdipDisposeImage(back);
        GdipDisposeImage(src);
    }
    TGUID unknown {};
    GpBitmap* src = Pattern(false);
    IntfPtr<TMemoryIStream> stream(new TMemoryIStream);
    EXPECT_EQ(GdipSaveImageToStream(src, stream.Get(), &unknown, nullptr), UnknownImageFormat);
    GdipDisposeImage(src);
}

}  // namespace
}  // namespace dcs::gdiplus::test
