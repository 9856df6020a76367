#include "Fixture.h"

#include "platform/base/Streams.h"
#include "platform/classes/TextForm.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/GraphicFormats.h"
#include "platform/controls/GraphicsInternal.h"
#include "platform/imaging/ImageCodecs.h"

#include <cairo.h>

#include <cstdio>
#include <fstream>

namespace dcs {
namespace {

using Graphics = testing::HeadlessGui;

std::vector<uint8_t> Fixture(const std::string& Name)
{
    return ReadWholeFile(std::string(DCS_IMAGING_FIXTURES) + "/" + Name);
}

uint32_t PixelOf(const TGraphic& G, int X, int Y)
{
    cairo_surface_flush(G.Surface());
    auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(G.Surface()) +
                                                  size_t(Y) * cairo_image_surface_get_stride(G.Surface()));
    return row[X];
}

// A 40 x 20 JPEG, left half red, right half blue.
std::vector<uint8_t> RedBlueJpeg()
{
    imaging::TDecodedImage img;
    img.Width = 40;
    img.Height = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            img.Pixels.push_back(x < 20 ? 0xFFFF0000u : 0xFF0000FFu);
    std::vector<uint8_t> out;
    EXPECT_EQ(imaging::EncodeImage(img, imaging::EncoderClsidJPEG, out, 95), imaging::TCodecResult::Ok);
    return out;
}

bool Near(uint32_t A, uint32_t B, int Tol)
{
    for (int s = 0; s < 32; s += 8)
        if (std::abs(int((A >> s) & 0xFF) - int((B >> s) & 0xFF)) > Tol)
            return false;
    return true;
}

TEST_F(Graphics, ABitmapsCanvasDrawsOnItsCurrentPixelsAfterEveryResize)
{
    for (int round = 0; round < 3; ++round) {  // each canvas context is freed (leak check)
        TBitmap b;
        b.SetSize(4, 4);
        b.Canvas()->Brush.Color = clRed;
        b.Canvas()->FillRect({0, 0, 4, 4});
        EXPECT_EQ(PixelOf(b, 1, 1), 0xFFFF0000u);
        b.SetSize(8, 8);
        b.Canvas()->Brush.Color = clBlue;
        b.Canvas()->FillRect({0, 0, 8, 8});
        EXPECT_EQ(PixelOf(b, 6, 6), 0xFF0000FFu) << "the canvas drew on the old pixels";
    }
}

TEST_F(Graphics, EachFileComesBackAsTheClassThatKeepsItsFormat)
{
    struct {
        const char* File;
        const char* Class;
        bool SameBytes;  // written back byte for byte
    } cases[] = {
        {"jpeg_baseline.jpg", "TJPEGImage", true},   {"ico_alpha.ico", "TIcon", true},
        {"bmp_topdown_24.bmp", "TBitmap", false},    {"png_palette_trns.png", "TPngImage", false},
        {"gif_first_frame.gif", "TPngImage", false},
    };
    for (auto& c : cases) {
        std::vector<uint8_t> bytes = Fixture(c.File);
        std::unique_ptr<TGraphic> g = GraphicFromBytes(bytes.data(), bytes.size());
        ASSERT_TRUE(g) << c.File;
        EXPECT_EQ(g->ClassName(), c.Class) << c.File;
        std::vector<uint8_t> saved = g->SaveToBytes();
        if (c.SameBytes) {
            EXPECT_EQ(saved, bytes) << c.File;
        }
        // Whatever it writes reads back to the same pixels.
        std::unique_ptr<TGraphic> again = GraphicFromBytes(saved.data(), saved.size());
        ASSERT_TRUE(again) << c.File;
        EXPECT_EQ(again->ClassName(), c.Class) << c.File;
        ASSERT_EQ(again->Width(), g->Width());
        for (int y = 0; y < g->Height(); ++y)
            for (int x = 0; x < g->Width(); ++x)
                EXPECT_EQ(PixelOf(*again, x, y), PixelOf(*g, x, y)) << c.File << " " << x << "," << y;
    }
    std::vector<uint8_t> junk {'n', 'o', 'p', 'e'};
    EXPECT_FALSE(GraphicFromBytes(junk.data(), junk.size()));
    std::vector<uint8_t> png = Fixture("png_palette_trns.png");
    TJPEGImage jpeg;
    TIcon icon;
    EXPECT_FALSE(jpeg.LoadFromBytes(png.data(), png.size())) << "a JPEG image keeps only JPEG files";
    EXPECT_FALSE(icon.LoadFromBytes(png.data(), png.size()));
    TBitmap bmp;
    bmp.SetSize(2, 2);
    EXPECT_THROW(icon.Assign(&bmp), Exception) << "an icon takes only another icon";
}

TEST_F(Graphics, AJpegImageShowsInAnImageAndIsStoredWithTheFormAsLoaded)
{
    std::vector<uint8_t> jpeg = RedBlueJpeg();
    std::string file = ::testing::TempDir() + "/red_blue.jpeg.bin";  // the content decides, not the name
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    TForm* f = MakeForm(200, 100);
    f->SetName("JpegForm");
    auto* image = testing::Add<TImage>(f, "Zone", TRect::Bounds(10, 10, 80, 40));
    image->SetStretch(true);
    image->Picture()->LoadFromFile(file);
    std::remove(file.c_str());
    ASSERT_EQ(image->Picture()->Graphic()->ClassName(), "TJPEGImage");
    f->PaintNow();
    EXPECT_TRUE(Near(f->Backbuffer().Pixel(20, 30), 0xFFFF0000u, 24));
    EXPECT_TRUE(Near(f->Backbuffer().Pixel(80, 30), 0xFF0000FFu, 24));

    f->Hide();
    std::string text = ComponentToText(f);
    EXPECT_NE(text.find("Picture.Data"), std::string::npos);
    TForm* g = Create<TForm>(nullptr);
    ReadComponentFromText(text, g);
    auto* back = As<TImage>(g->FindComponent("Zone"));
    ASSERT_TRUE(back && back->Picture()->Graphic());
    EXPECT_EQ(back->Picture()->Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(back->Picture()->Graphic()->SaveToBytes(), jpeg);
    EXPECT_EQ(ComponentToText(g), text);
}

TEST_F(Graphics, AStoredPictureWithABadClassOrNoPictureIsAReadError)
{
    auto stored = [](const std::string& Class, const std::vector<uint8_t>& Bytes) {
        TMemoryStream s;
        uint8_t n = uint8_t(Class.size());
        s.WriteBuffer(&n, 1);
        s.WriteBuffer(Class.data(), n);
        if (!Bytes.empty())
            s.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
        std::string hex;
        for (size_t i = 0; i < size_t(s.Size()); ++i) {
            char b[3];
            std::snprintf(b, sizeof b, "%02X", static_cast<const uint8_t*>(s.Memory())[i]);
            hex += b;
        }
        return "object I: TImage\n  Picture.Data = {" + hex + "}\nend\n";
    };
    std::vector<uint8_t> jpeg = Fixture("jpeg_baseline.jpg");
    struct {
        std::string Text;
        const char* What;
    } cases[] = {
        {stored("TNoSuchGraphic", jpeg), "unknown class"},
        {stored("TForm", jpeg), "not a graphic class"},
        {stored("TIcon", jpeg), "a JPEG stored as an icon"},
        {stored("TJPEGImage", {1, 2, 3}), "no picture"},
        {"object I: TImage\n  Picture.Data = {09544A504547}\nend\n", "class name longer than the data"},
    };
    for (auto& c : cases) {
        TOwned<TImage> image(Create<TImage>(nullptr));
        EXPECT_THROW(ReadComponentFromText(c.Text, image.get()), EReadError) << c.What;
    }
}

}  // namespace
}  // namespace dcs
