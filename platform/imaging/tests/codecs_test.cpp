#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageFormats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace dcs;
using namespace dcs::imaging;

namespace {

std::vector<uint8_t> Fixture(const std::string& name)
{
    std::ifstream f(std::string(DCS_IMAGING_FIXTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(f) << name;
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TCodecResult Decode(const std::vector<uint8_t>& bytes, TDecodedImage& out)
{
    return DecodeImage(bytes.data(), bytes.size(), out);
}

// A picture with every kind of pixel: smooth ramps for JPEG, sharp edges and, when
// asked, translucent pixels.
TDecodedImage TestPicture(int w, int h, bool translucent)
{
    TDecodedImage img;
    img.Width = w;
    img.Height = h;
    img.DpiX = 72;
    img.DpiY = 150;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t a = translucent ? uint32_t((x * 37 + y * 11) & 0xFF) : 0xFF;
            uint32_t r = uint32_t(x * 255 / (w - 1)), g = uint32_t(y * 255 / (h - 1)), b = 128;
            img.Pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
        }
    return img;
}

int MaxChannelError(const TDecodedImage& a, const TDecodedImage& b)
{
    int worst = 0;
    for (size_t i = 0; i < a.Pixels.size(); ++i)
        for (int s = 0; s < 32; s += 8)
            worst = std::max(worst, std::abs(int((a.Pixels[i] >> s) & 0xFF) - int((b.Pixels[i] >> s) & 0xFF)));
    return worst;
}

}  // namespace

TEST(ImageCodecs, RoundTripsThroughEveryEncoder)
{
    struct TCase {
        TGUID Clsid;
        TGUID Format;
        bool Translucent;
        int Tolerance;
        int32_t PixelFormat;
    } cases[] = {
        {EncoderClsidPNG, ImageFormatPNG, false, 0, PixelFormat24bppRGB},
        {EncoderClsidPNG, ImageFormatPNG, true, 0, PixelFormat32bppARGB},
        {EncoderClsidBMP, ImageFormatBMP, false, 0, PixelFormat24bppRGB},
        {EncoderClsidBMP, ImageFormatBMP, true, 0, PixelFormat32bppARGB},
        {EncoderClsidJPEG, ImageFormatJPEG, false, 12, PixelFormat24bppRGB},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Clsid.ToString() + (c.Translucent ? " translucent" : " opaque"));
        // An odd width exercises the row padding of BMP.
        TDecodedImage in = TestPicture(33, 20, c.Translucent);
        std::vector<uint8_t> bytes;
        ASSERT_EQ(EncodeImage(in, c.Clsid, bytes, 95), TCodecResult::Ok);
        TDecodedImage back;
        ASSERT_EQ(Decode(bytes, back), TCodecResult::Ok);
        EXPECT_EQ(back.RawFormat, c.Format);
        EXPECT_EQ(back.PixelFormat, c.PixelFormat);
        ASSERT_EQ(back.Width, 33);
        ASSERT_EQ(back.Height, 20);
        EXPECT_LE(MaxChannelError(in, back), c.Tolerance);
        EXPECT_NEAR(back.DpiX, 72, 0.5);
        EXPECT_NEAR(back.DpiY, 150, 0.5);
    }
}
