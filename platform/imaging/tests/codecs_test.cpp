#include "platform/imaging/ImageCodecs.h"
#include "platform/imaging/ImageFormats.h"

#include "testing/CountingNew.h"

#include <gtest/gtest.h>

#include <cstdio>
// jpeglib.h needs stdio.h first.
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

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
            uint32_t r = uint32_t(x * 255 / std::max(w - 1, 1)), g = uint32_t(y * 255 / std::max(h - 1, 1)),
                     b = uint32_t(x & 0xFF);
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
        int Width, Height;
        bool Translucent;
        int Tolerance;
        int32_t PixelFormat;
    } cases[] = {
        // Odd widths exercise the row padding of BMP.
        {EncoderClsidPNG, ImageFormatPNG, 33, 20, false, 0, PixelFormat24bppRGB},
        {EncoderClsidPNG, ImageFormatPNG, 33, 20, true, 0, PixelFormat32bppARGB},
        {EncoderClsidBMP, ImageFormatBMP, 33, 20, false, 0, PixelFormat24bppRGB},
        {EncoderClsidBMP, ImageFormatBMP, 33, 20, true, 0, PixelFormat32bppARGB},
        {EncoderClsidJPEG, ImageFormatJPEG, 33, 20, false, 12, PixelFormat24bppRGB},
        {EncoderClsidBMP, ImageFormatBMP, 1, 1, false, 0, PixelFormat24bppRGB},
        // Wider than 16 bits can count.
        {EncoderClsidPNG, ImageFormatPNG, 70000, 1, true, 0, PixelFormat32bppARGB},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Clsid.ToString() + " " + std::to_string(c.Width) + (c.Translucent ? " translucent" : ""));
        TDecodedImage in = TestPicture(c.Width, c.Height, c.Translucent);
        std::vector<uint8_t> bytes;
        ASSERT_EQ(EncodeImage(in, c.Clsid, bytes, 95), TCodecResult::Ok);
        TDecodedImage back;
        ASSERT_EQ(Decode(bytes, back), TCodecResult::Ok);
        EXPECT_EQ(back.RawFormat, c.Format);
        EXPECT_EQ(back.PixelFormat, c.PixelFormat);
        ASSERT_EQ(back.Width, c.Width);
        ASSERT_EQ(back.Height, c.Height);
        EXPECT_LE(MaxChannelError(in, back), c.Tolerance);
        EXPECT_NEAR(back.DpiX, 72, 0.5);
        EXPECT_NEAR(back.DpiY, 150, 0.5);
    }
}

namespace {

struct TPixelCheck {
    int X, Y;
    uint32_t Argb;
};

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
// The four colours of the palette fixtures.
constexpr uint32_t kPal0 = 0xFF0A141E, kPal1 = 0xFFC86432, kPal2 = 0xFF0080FF, kPal3 = 0xFFFFFF00;

}  // namespace

namespace {

struct TFixtureCase {
    const char* File;
    TGUID Format;
    int32_t PixelFormat;
    int Width, Height;
    double Dpi;
    std::vector<TPixelCheck> Pixels;
};

// Every valid fixture and what it holds.
const std::vector<TFixtureCase> kFixtureCases = {
    {"bmp_topdown_24.bmp",
     ImageFormatBMP,
     PixelFormat24bppRGB,
     3,
     2,
     72,
     {{0, 0, kRed}, {1, 0, kGreen}, {2, 0, kBlue}, {0, 1, kWhite}, {1, 1, kBlack}, {2, 1, kRed}}},
    {"bmp_palette_8.bmp",
     ImageFormatBMP,
     PixelFormat8bppIndexed,
     3,
     2,
     72,
     {{0, 0, kPal0}, {1, 0, kPal1}, {2, 0, kPal2}, {0, 1, kPal3}, {1, 1, kPal2}, {2, 1, kPal1}}},
    {"bmp_palette_4.bmp",
     ImageFormatBMP,
     PixelFormat4bppIndexed,
     3,
     2,
     72,
     {{0, 0, kPal0}, {1, 0, kPal1}, {2, 0, kPal2}, {0, 1, kPal3}, {1, 1, kPal2}, {2, 1, kPal1}}},
    {"bmp_palette_1.bmp",
     ImageFormatBMP,
     PixelFormat1bppIndexed,
     10,
     2,
     72,
     {{0, 0, kBlack}, {1, 0, kWhite}, {8, 0, kWhite}, {9, 0, kBlack}, {0, 1, kWhite}, {9, 1, kWhite}}},
    {"bmp_bitfields_565.bmp", ImageFormatBMP, PixelFormat16bppRGB565, 2, 1, 72, {{0, 0, kRed}, {1, 0, kWhite}}},
    // Run-length data; what the runs skip stays transparent.
    {"bmp_rle8.bmp",
     ImageFormatBMP,
     PixelFormat8bppIndexed,
     6,
     2,
     72,
     {{0, 1, kPal1},
      {2, 1, kPal1},
      {3, 1, kPal2},
      {4, 1, kPal3},
      {5, 1, kPal0},
      {0, 0, 0},
      {1, 0, kPal2},
      {2, 0, kPal2},
      {3, 0, 0}}},
    {"png_palette_trns.png",
     ImageFormatPNG,
     PixelFormat8bppIndexed,
     2,
     2,
     300,
     {{0, 0, kRed}, {1, 0, 0x0000FF00}, {0, 1, kBlue}, {1, 1, kRed}}},
    // The first frame on its logical screen: interlaced rows, index 3 transparent,
    // the screen outside the frame transparent, the second frame not shown.
    {"gif_first_frame.gif",
     ImageFormatGIF,
     PixelFormat8bppIndexed,
     6,
     5,
     96,
     {{0, 0, 0},
      {1, 1, kRed},
      {4, 1, kRed},
      {1, 2, kGreen},
      {1, 3, kBlue},
      {2, 3, 0x00FFFFFF},
      {4, 3, kRed},
      {5, 4, 0}}},
    {"ico_masked.ico",
     ImageFormatIcon,
     PixelFormat32bppARGB,
     2,
     2,
     96,
     {{0, 0, kBlue}, {1, 0, 0}, {0, 1, kRed}, {1, 1, kGreen}}},
    {"ico_png.ico", ImageFormatIcon, PixelFormat32bppARGB, 2, 2, 300, {{0, 0, kRed}, {1, 0, 0x0000FF00}}},
    {"bmp_rle4.bmp",
     ImageFormatBMP,
     PixelFormat4bppIndexed,
     5,
     2,
     72,
     {{0, 0, kPal3},
      {1, 0, kPal0},
      {2, 0, kPal1},
      {3, 0, kPal2},
      {4, 0, kPal3},
      {0, 1, kPal1},
      {1, 1, kPal2},
      {2, 1, kPal1},
      {3, 1, kPal2},
      {4, 1, 0}}},
    {"bmp_32_rgb.bmp", ImageFormatBMP, PixelFormat32bppRGB, 2, 1, 72, {{0, 0, kRed}, {1, 0, kWhite}}},
    {"bmp_core_1.bmp",
     ImageFormatBMP,
     PixelFormat1bppIndexed,
     3,
     2,
     96,
     {{0, 0, kBlack}, {1, 0, kWhite}, {2, 0, kBlack}, {0, 1, kWhite}, {1, 1, kBlack}, {2, 1, kWhite}}},
    {"ico_alpha.ico", ImageFormatIcon, PixelFormat32bppARGB, 2, 1, 96, {{0, 0, 0x80FF0000}, {1, 0, kGreen}}},
    {"jpeg_baseline.jpg", ImageFormatJPEG, PixelFormat24bppRGB, 16, 8, 96, {}},
    {"jpeg_progressive_gray.jpg", ImageFormatJPEG, PixelFormat8bppIndexed, 16, 8, 96, {}},
};

}  // namespace

TEST(ImageCodecs, DecodesFixtures)
{
    for (const TFixtureCase& c : kFixtureCases) {
        SCOPED_TRACE(c.File);
        TDecodedImage img;
        ASSERT_EQ(Decode(Fixture(c.File), img), TCodecResult::Ok);
        EXPECT_EQ(img.RawFormat, c.Format);
        EXPECT_EQ(img.PixelFormat, c.PixelFormat);
        ASSERT_EQ(img.Width, c.Width);
        ASSERT_EQ(img.Height, c.Height);
        ASSERT_EQ(img.Pixels.size(), size_t(c.Width * c.Height));
        EXPECT_NEAR(img.DpiX, c.Dpi, 0.1);
        EXPECT_NEAR(img.DpiY, c.Dpi, 0.1);
        for (const TPixelCheck& p : c.Pixels)
            EXPECT_EQ(img.Pixels[size_t(p.Y * c.Width + p.X)], p.Argb) << "at " << p.X << "," << p.Y;
    }
}

TEST(ImageCodecs, JpegColoursSurviveWithinTolerance)
{
    TDecodedImage colour, grey;
    ASSERT_EQ(Decode(Fixture("jpeg_baseline.jpg"), colour), TCodecResult::Ok);
    ASSERT_EQ(Decode(Fixture("jpeg_progressive_gray.jpg"), grey), TCodecResult::Ok);
    TDecodedImage expected = colour;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            expected.Pixels[size_t(y * 16 + x)] = x < 8 ? kRed : kBlue;
    // Away from the red/blue edge, where chroma subsampling blurs.
    for (int y = 0; y < 8; ++y)
        for (int x : {0, 1, 2, 3, 12, 13, 14, 15}) {
            uint32_t got = colour.Pixels[size_t(y * 16 + x)], want = expected.Pixels[size_t(y * 16 + x)];
            for (int s = 0; s < 32; s += 8)
                EXPECT_NEAR(int((got >> s) & 0xFF), int((want >> s) & 0xFF), 8) << x << "," << y;
            uint32_t g = grey.Pixels[size_t(y * 16 + x)];
            EXPECT_EQ(g >> 24, 0xFFu);
            EXPECT_EQ((g >> 16) & 0xFF, g & 0xFF);  // grey comes out as equal channels
        }
}

namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

void PutLe(std::vector<uint8_t>& v, size_t at, uint32_t x, int n)
{
    for (int i = 0; i < n; ++i)
        v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    uint32_t c = 0xFFFFFFFF;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

// A 24-bit BMP header claiming `w` by `h` pixels, followed by `dataBytes` bytes.
std::vector<uint8_t> BmpHeader(int32_t w, int32_t h, uint32_t compression, size_t dataBytes)
{
    std::vector<uint8_t> v(54 + dataBytes, 0);
    v[0] = 'B';
    v[1] = 'M';
    PutLe(v, 10, 54, 4);
    PutLe(v, 14, 40, 4);
    PutLe(v, 18, uint32_t(w), 4);
    PutLe(v, 22, uint32_t(h), 4);
    PutLe(v, 26, 1, 2);
    PutLe(v, 28, 24, 2);
    PutLe(v, 30, compression, 4);
    return v;
}

// The palette PNG fixture with its header chunk rewritten to `w` by `h` true colour.
std::vector<uint8_t> PngClaiming(uint32_t w, uint32_t h)
{
    std::vector<uint8_t> v = Fixture("png_palette_trns.png");
    for (int i = 0; i < 4; ++i) {
        v[16 + size_t(i)] = uint8_t(w >> (24 - 8 * i));
        v[20 + size_t(i)] = uint8_t(h >> (24 - 8 * i));
    }
    v[25] = 2;
    uint32_t crc = Crc32(v.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        v[29 + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
    return v;
}

// A GIF without colour tables whose one frame is `w` by `h`, with the given LZW bytes.
std::vector<uint8_t> Gif(uint16_t w, uint16_t h, std::vector<uint8_t> codes)
{
    std::vector<uint8_t> v = Bytes(std::string_view("GIF89a\2\0\2\0\0\0\0\x2C\0\0\0\0\0\0\0\0\0\2", 24));
    PutLe(v, 18, w, 2);
    PutLe(v, 20, h, 2);
    v.push_back(uint8_t(codes.size()));
    v.insert(v.end(), codes.begin(), codes.end());
    v.push_back(0);
    v.push_back(0x3B);
    return v;
}

std::vector<uint8_t> JpegClaiming(uint16_t w, uint16_t h)
{
    std::vector<uint8_t> v = Fixture("jpeg_baseline.jpg");
    for (size_t i = 2; i + 9 < v.size(); ++i)
        if (v[i] == 0xFF && v[i + 1] == 0xC0) {
            v[i + 5] = uint8_t(h >> 8), v[i + 6] = uint8_t(h);
            v[i + 7] = uint8_t(w >> 8), v[i + 8] = uint8_t(w);
            break;
        }
    return v;
}

}  // namespace

TEST(ImageCodecs, MalformedInputResults)
{
    std::vector<uint8_t> icoPastEnd = Fixture("ico_masked.ico");
    PutLe(icoPastEnd, 6 + 16 + 12, 0x7FFFFFF0, 4);
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
        TCodecResult Expected;
    } cases[] = {
        {"empty", {}, TCodecResult::UnknownFormat},
        {"text", Bytes("hello, world"), TCodecResult::UnknownFormat},
        {"TIFF", Bytes(std::string_view("II*\0\x08\0\0\0", 8)), TCodecResult::Unsupported},
        {"JPEG cut short", Fixture("jpeg_truncated.jpg"), TCodecResult::Corrupt},
        {"PNG chunk length past the end", Fixture("png_lying_length.png"), TCodecResult::Corrupt},
        {"BMP rows missing", BmpHeader(4, 4, 0, 47), TCodecResult::Corrupt},
        {"BMP zero width", BmpHeader(0, 4, 0, 64), TCodecResult::Corrupt},
        {"BMP most negative height", BmpHeader(1, INT32_MIN, 0, 64), TCodecResult::Corrupt},
        {"BMP embedded JPEG", BmpHeader(1, 1, 4, 64), TCodecResult::Unsupported},
        {"BMP top-down RLE", BmpHeader(1, -1, 1, 64), TCodecResult::Corrupt},
        // Clear code, then a code that is not in the table yet.
        {"GIF unknown code", Gif(2, 2, {0x3C}), TCodecResult::Corrupt},
        // Clear code and one pixel of four.
        {"GIF data runs out", Gif(2, 2, {0x04}), TCodecResult::Corrupt},
        {"GIF minimum code size 12",
         [] {
             auto v = Gif(2, 2, {0x04});
             v[23] = 12;
             return v;
         }(),
         TCodecResult::Corrupt},
        {"icon entry past the end", icoPastEnd, TCodecResult::Corrupt},
        {"JPEG larger than the pixel limit", JpegClaiming(40000, 40000), TCodecResult::Corrupt},
        // Above 8 bits the colour table is a display hint; an overstated count is ignored.
        {"24-bit BMP overstating its table",
         [] {
             auto v = BmpHeader(1, 1, 0, 4);
             PutLe(v, 46, 1000, 4);
             return v;
         }(),
         TCodecResult::Ok},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDecodedImage img;
        img.Width = 7;
        EXPECT_EQ(DecodeImage(c.Bytes.data(), c.Bytes.size(), img), c.Expected);
        EXPECT_EQ(img.Width, c.Expected == TCodecResult::Ok ? 1 : 7);  // a failed decode leaves the record alone
    }
}

// A header may claim any size; the decoders refuse it before making the pixel buffer
// when the data could not fill it. Run with every allocation failing: a decoder that
// reached for the buffer would answer OutOfMemory instead.
TEST(ImageCodecs, HostileSizesFailBeforeAllocating)
{
    struct TCase {
        const char* What;
        std::vector<uint8_t> Bytes;
    } cases[] = {
        {"BMP", BmpHeader(5000, 5000, 0, 100)},
        {"PNG", PngClaiming(5000, 5000)},
        {"GIF", Gif(5000, 5000, {0x04, 0x00})},
        {"JPEG", JpegClaiming(65000, 65000)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TDecodedImage img;
        dcs::testing::tFailNew = true;
        TCodecResult r = DecodeImage(c.Bytes.data(), c.Bytes.size(), img);
        dcs::testing::tFailNew = false;
        EXPECT_EQ(r, TCodecResult::Corrupt);
    }
}

// Every prefix of every fixture either fails or, where the tail is optional (a GIF's
// later frames), gives exactly the whole file's picture.
TEST(ImageCodecs, TruncatedFixturesFailOrDecodeWhole)
{
    for (const TFixtureCase& c : kFixtureCases) {
        SCOPED_TRACE(c.File);
        std::vector<uint8_t> bytes = Fixture(c.File);
        TDecodedImage whole;
        ASSERT_EQ(Decode(bytes, whole), TCodecResult::Ok);
        int accepted = 0;
        for (size_t n = 0; n < bytes.size(); ++n) {
            TDecodedImage img;
            if (DecodeImage(bytes.data(), n, img) != TCodecResult::Ok)
                continue;
            ++accepted;
            EXPECT_EQ(img.Width, whole.Width) << n;
            EXPECT_EQ(img.Height, whole.Height) << n;
            EXPECT_EQ(img.Pixels, whole.Pixels) << n;
        }
        if (c.Format == ImageFormatGIF)
            EXPECT_GT(accepted, 0);
        else
            EXPECT_EQ(accepted, 0);
    }
}

// Single-byte damage anywhere: a decode may succeed or fail, but what it hands back is
// consistent. The sanitizer builds turn any stray access into a failure here.
TEST(ImageCodecs, DamagedFixturesDecodeSafely)
{
    for (const TFixtureCase& c : kFixtureCases) {
        SCOPED_TRACE(c.File);
        const std::vector<uint8_t> original = Fixture(c.File);
        for (size_t i = 0; i < original.size(); ++i)
            for (int kind = 0; kind < 4; ++kind) {
                std::vector<uint8_t> bytes = original;
                uint8_t& b = bytes[i];
                b = kind == 0 ? 0x00 : kind == 1 ? 0xFF : kind == 2 ? uint8_t(b ^ 0x01) : uint8_t(b ^ 0x80);
                TDecodedImage img;
                if (DecodeImage(bytes.data(), bytes.size(), img) == TCodecResult::Ok) {
                    ASSERT_GT(img.Width, 0);
                    ASSERT_GT(img.Height, 0);
                    ASSERT_EQ(img.Pixels.size(), size_t(img.Width) * size_t(img.Height)) << i;
                }
            }
    }
}

TEST(ImageCodecs, EncoderListAndParameters)
{
    const auto& list = Encoders();
    ASSERT_EQ(list.size(), 3u);
    for (const char* mime : {"image/bmp", "image/jpeg", "image/png"})
        EXPECT_EQ(std::count_if(list.begin(), list.end(), [&](const TEncoderInfo& e) { return e.MimeType == mime; }), 1)
            << mime;
    for (const TEncoderInfo& e : list) {
        SCOPED_TRACE(e.MimeType);
        EXPECT_FALSE(e.CodecName.empty());
        EXPECT_EQ(e.FilenameExtension.substr(0, 2), "*.");
        // The encoder writes the container it is listed for; a resolution that is no
        // positive number reads back as the default.
        TDecodedImage picture = TestPicture(4, 4, false);
        picture.DpiX = std::nan("");
        picture.DpiY = -3;
        std::vector<uint8_t> bytes;
        ASSERT_EQ(EncodeImage(picture, e.Clsid, bytes), TCodecResult::Ok);
        TGUID sniffed;
        ASSERT_EQ(SniffFormat(bytes.data(), bytes.size(), sniffed), TCodecResult::Ok);
        EXPECT_EQ(sniffed, e.FormatId);
        TDecodedImage back;
        ASSERT_EQ(Decode(bytes, back), TCodecResult::Ok);
        EXPECT_EQ(back.DpiX, 96.0);
        EXPECT_EQ(back.DpiY, 96.0);
    }

    TDecodedImage picture = TestPicture(64, 48, false);
    std::vector<uint8_t> low, high, below, above, bytes;
    ASSERT_EQ(EncodeImage(picture, EncoderClsidJPEG, low, 0), TCodecResult::Ok);
    ASSERT_EQ(EncodeImage(picture, EncoderClsidJPEG, high, 100), TCodecResult::Ok);
    ASSERT_EQ(EncodeImage(picture, EncoderClsidJPEG, below, -5), TCodecResult::Ok);
    ASSERT_EQ(EncodeImage(picture, EncoderClsidJPEG, above, 250), TCodecResult::Ok);
    EXPECT_LT(low.size(), high.size());
    EXPECT_EQ(below, low);  // the quality is clamped to 0..100
    EXPECT_EQ(above, high);

    EXPECT_EQ(EncodeImage(picture, ImageFormatPNG, bytes), TCodecResult::UnknownFormat);  // a format, not a clsid
    picture.Pixels.pop_back();
    EXPECT_EQ(EncodeImage(picture, EncoderClsidPNG, bytes), TCodecResult::Corrupt);
    EXPECT_TRUE(bytes.empty());
}

// Print shops' JPEGs hold four inverted ink channels (255 = no ink); they decode to the
// colours the inks make.
TEST(ImageCodecs, DecodesCmykJpeg)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = 16;
    c.image_height = 16;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row;
    for (int x = 0; x < 16; ++x)  // left half red (magenta and yellow), right half grey (half black)
        row.insert(row.end(),
                   x < 8 ? std::initializer_list<uint8_t> {255, 0, 0, 255}
                         : std::initializer_list<uint8_t> {255, 255, 255, 128});
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);

    TDecodedImage img;
    ASSERT_EQ(Decode(bytes, img), TCodecResult::Ok);
    EXPECT_EQ(img.PixelFormat, PixelFormat32bppCMYK);
    TDecodedImage expected = img;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            expected.Pixels[size_t(y * 16 + x)] = x < 8 ? kRed : 0xFF808080;
    EXPECT_LE(MaxChannelError(img, expected), 6);
}
