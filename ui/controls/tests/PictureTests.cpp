#include "Canvas.h"

#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/GDIPicture.h"
#include "ui/controls/ImageEncoders.h"
#include "ui/controls/RawResources.h"
#include "ui/controls/SmGDIPPicture.h"

#include "platform/controls/GraphicFormats.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace dcs::smooth::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(TGPBitmap& b, TImageType t)
{
    TGUID clsid;
    EXPECT_TRUE(EncoderClsidForType(t, clsid));
    IntfPtr<gdiplus::TMemoryIStream> s(new gdiplus::TMemoryIStream);
    EXPECT_EQ(b.Save(s.Get(), clsid), Ok);
    return s->Bytes();
}

// A w x h bitmap of `fill` with the bottom-left pixel `corner`.
Bytes Image(int w, int h, ARGB fill, ARGB corner, TImageType t)
{
    TGPBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, fill);
    b.SetPixel(0, h - 1, corner);
    return Encode(b, t);
}

std::string TempFile(const std::string& name, const Bytes& bytes)
{
    std::string path = testing::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

Bytes Png70000()
{
    Bytes b = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D',
               'R',  0x00, 0x01, 0x11, 0x70, 0,    0,    0,    5, 8, 6, 0,  0,   0};
    return b;
}

TEST(PictureHeaders, ReadersOnByteFixtures)
{
    const Bytes jpegC0 = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0xAA, 0xBB, 0xFF, 0xFF,
                          0xC0, 0x00, 0x11, 0x08, 0x00, 0x50, 0x00, 0x78, 0x03};
    Bytes jpegC2 = jpegC0;
    jpegC2[10] = 0xC2;
    Bytes jpegC3 = jpegC0;
    jpegC3[10] = 0xC3;
    const Bytes jpegShortSegment = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xC0,
                                    0x00, 0x11, 0x08, 0x00, 0x50, 0x00, 0x78};
    const Bytes jpegZeroSegment = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xE0, 0x00, 0x00};
    const Bytes jpegTruncated = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00};
    const Bytes gif = {'G',  'I', 'F', '8', '9', 'a', 200, 0,  100, 0,  0x81, 0,  0,
                       1,    2,   3,   4,   5,   6,   7,   8,  9,   10, 11,   12,  // 4-entry global table
                       0x2C, 0,   0,   0,   0,   120, 0,   80, 0,   0,  0};
    const Bytes gifCut = {'G', 'I', 'F', '8', '9', 'a', 200, 0, 100, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 120};
    Bytes bmp(54, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[18] = 30;
    const int32_t negative = -40;
    std::memcpy(&bmp[22], &negative, 4);
    const Bytes tiff = {'I', 'I', 42, 0, 8, 0,    0,    0, 2, 0, 0x00, 0x01, 3, 0,  1, 0, 0,
                        0,   30,  0,  0, 0, 0x01, 0x01, 3, 0, 1, 0,    0,    0, 20, 0, 0, 0};
    const Bytes png = Png70000();
    Bytes tiffCut = tiff;
    tiffCut.resize(20);

    const struct {
        const char* Name;
        THeaderSize (*Read)(const Bytes&);
        Bytes Data;
        int W, H;
    } cases[] = {
        {"jpeg C0", ReadJPEGSize, jpegC0, 120, 80},
        {"jpeg C2", ReadJPEGSize, jpegC2, 120, 80},
        {"jpeg only C3", ReadJPEGSize, jpegC3, 0, 0},
        {"jpeg segment length 1", ReadJPEGSize, jpegShortSegment, 0, 0},
        {"jpeg segment length 0", ReadJPEGSize, jpegZeroSegment, 0, 0},
        {"jpeg truncated frame", ReadJPEGSize, jpegTruncated, 0, 0},
        {"png 70000 wide", ReadPNGSize, png, 4464, 5},
        {"png signature only", ReadPNGSize, Bytes(png.begin(), png.begin() + 8), 0, 0},
        {"gif first image", ReadGIFSize, gif, 120, 80},
        {"gif cut after separator", ReadGIFSize, gifCut, 0, 0},
        {"bmp negative height", ReadBMPSize, bmp, 30, 0xFFD8},
        {"tiff", ReadTIFFSize, tiff, 30, 20},
        {"tiff cut", ReadTIFFSize, tiffCut, 0, 0},
        {"empty", ReadJPEGSize, {}, 0, 0},
    };
    for (const auto& k : cases) {
        const THeaderSize s = k.Read(k.Data);
        EXPECT_EQ(s.Width, k.W) << k.Name;
        EXPECT_EQ(s.Height, k.H) << k.Name;
    }
}

TEST(Picture, LoadFromFileUsesTheHeaderThenDrawDecodes)
{
    const Bytes png = Image(6, 4, 0xFF00FF00, 0xFF00FF00, itPNG);
    TSmGDIPPicture p;
    int cleared = 0, changed = 0;
    p.OnClear = [&](TObject*) { ++cleared; };
    p.OnChange = [&](TObject*) { ++changed; };
    p.LoadFromFile(TempFile("looks-like.jpeg", png));
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Width(), 0) << "the JPEG signature does not match a PNG";
    EXPECT_EQ(p.Height(), 0);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(changed, 1);
    Canvas c(10, 10);
    p.GDIPDraw(&c.G, TRect {0, 0, 6, 4});
    EXPECT_EQ(p.Width(), 6);
    EXPECT_EQ(p.Height(), 4);
    EXPECT_EQ(c.At(2, 2), 0xFF00FF00u);

    TSmGDIPPicture missing;
    missing.LoadFromFile(testing::TempDir() + "/no-such-file.png");
    EXPECT_TRUE(missing.Empty());
}

TEST(Picture, UrlsAndResources)
{
    const Bytes png = Image(3, 2, 0xFFFF0000, 0xFFFF0000, itPNG);
    RegisterRawResource("KNOB", png);
    const std::string file = TempFile("knob.png", png);
    const struct {
        std::string Url;
        bool Loads;
    } cases[] = {{"res://knob", true},
                 {"RES://KNOB", true},
                 {"RES://", false},
                 {"res://none", false},
                 {"file://" + file, true},
                 {"FILE://", false},
                 {"http://x/knob.png", false},
                 {file, false}};
    for (const auto& k : cases) {
        TSmGDIPPicture p;
        p.LoadFromURL(k.Url);
        EXPECT_EQ(!p.Empty(), k.Loads) << k.Url;
        if (k.Loads) {
            EXPECT_EQ(p.Width(), 3) << k.Url;
            EXPECT_EQ(p.Data(), png);
        }
    }
}

TEST(Picture, AssignNilFiresChangeThenClear)
{
    TSmGDIPPicture src, p;
    src.LoadFromBytes(Image(2, 2, 0xFF0000FF, 0xFF0000FF, itBMP));
    p.Assign(&src);
    EXPECT_FALSE(p.Empty());
    EXPECT_EQ(p.Data(), src.Data());
    EXPECT_EQ(p.Width(), 2);
    std::string order;
    p.OnChange = [&](TObject*) { order += "change "; };
    p.OnClear = [&](TObject*) { order += "clear"; };
    p.Assign(nullptr);
    EXPECT_EQ(order, "change clear");
    EXPECT_TRUE(p.Empty());
    TSmGDIPPicture fresh;
    EXPECT_TRUE(fresh.Empty());
    EXPECT_EQ(fresh.Width(), 0);
}

TEST(Picture, AnIconIsKeptByThePictureOfTheControlsAndRefusedByTheHintPicture)
{
    TIcon icon;
    icon.LoadFromFile(std::string(DCS_IMAGING_FIXTURES) + "/ico_alpha.ico");
    ASSERT_FALSE(icon.Empty());
    TSmGDIPPicture keeps;
    keeps.Assign(&icon);
    EXPECT_FALSE(keeps.Empty());
    EXPECT_EQ(keeps.Data(), icon.SaveToBytes()) << "the icon file's bytes";
    TGDIPPicture refuses;
    int changes = 0;
    refuses.OnChange = [&](TObject*) { ++changes; };
    refuses.Assign(&icon);
    EXPECT_TRUE(refuses.Empty());
    EXPECT_EQ(changes, 0);
    // A bitmap goes in as a BMP file.
    TBitmap bmp;
    bmp.SetSize(3, 2);
    refuses.Assign(&bmp);
    EXPECT_FALSE(refuses.Empty());
    EXPECT_EQ(refuses.Data().size() > 2 ? std::string(refuses.Data().begin(), refuses.Data().begin() + 2) : "", "BM");
}

TEST(Picture, BmpColourKey)
{
    // Red picture, blue bottom-left corner; the fixed key names red.
    const Bytes bmp = Image(4, 4, 0xFFFF0000, 0xFF0000FF, itBMP);
    const struct {
        bool Transparent;
        TTransparentMode Mode;
        ARGB Corner, Middle;
    } cases[] = {{true, tmAuto, 0xFFFFFFFF, 0xFFFF0000},
                 {true, tmFixed, 0xFF0000FF, 0xFFFFFFFF},
                 {false, tmAuto, 0xFF0000FF, 0xFFFF0000}};
    for (const auto& k : cases) {
        TSmGDIPPicture p;
        p.LoadFromBytes(bmp);
        p.Transparent = k.Transparent;
        p.TransparentMode = k.Mode;
        p.TransparentColor = 0x0000FF;  // red as a framework colour
        Canvas c(8, 8);
        p.GDIPDraw(&c.G, TGPRectF {0, 0, 4, 4});
        EXPECT_EQ(c.At(0, 3), k.Corner) << k.Transparent << k.Mode;
        EXPECT_EQ(c.At(2, 1), k.Middle) << k.Transparent << k.Mode;
    }
}

TEST(Picture, TilesStartAtTheSurfaceOrigin)
{
    TGPBitmap b(2, 2);
    b.SetPixel(0, 0, 0xFF000000);
    b.SetPixel(1, 0, 0xFFFF0000);
    b.SetPixel(0, 1, 0xFFFF0000);
    b.SetPixel(1, 1, 0xFFFF0000);
    TSmGDIPPicture p;
    p.LoadFromBytes(Encode(b, itPNG));
    Canvas c(10, 10);
    p.FillRect(&c.G, TGPRectF {3, 3, 5, 5});
    EXPECT_EQ(c.At(4, 4), 0xFF000000u);
    EXPECT_EQ(c.At(3, 3), 0xFFFF0000u);
    EXPECT_EQ(c.At(6, 6), 0xFF000000u);
    EXPECT_EQ(c.At(1, 1), 0xFFFFFFFFu);
}

TEST(ImageEncoders, QualityClampAndRequiredEncoders)
{
    const struct {
        int In;
        UINT Out;
    } cases[] = {{-5, 0}, {0, 0}, {75, 75}, {100, 100}, {250, 100}};
    for (const auto& k : cases) {
        TQualityParameters q;
        QualityEncoderParameters(k.In, q);
        EXPECT_EQ(q.List.Count, 1u);
        EXPECT_EQ(q.List.Parameter[0].Type, 4u);
        EXPECT_EQ(*static_cast<UINT*>(q.List.Parameter[0].Value), k.Out) << k.In;
    }
    for (TImageType t : {itPNG, itBMP, itJPEG}) {
        TGUID id;
        EXPECT_TRUE(EncoderClsidForType(t, id)) << t;
        EXPECT_FALSE(id.IsNull());
    }
}

}  // namespace
}  // namespace dcs::smooth::test
