// The committed artwork: the nine body-zone pictures `make run` puts into the data folder
// and the window's pictures decode as the formats the windows expect, and each zone's
// three looks have one size, so swapping them never moves the figure.
#include "platform/imaging/ImageCodecs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dcs {
namespace {

namespace fs = std::filesystem;
using imaging::TDecodedImage;

TDecodedImage Decode(const fs::path& APath, const TGUID& AFormat)
{
    std::ifstream f(APath, std::ios::binary);
    const std::vector<uint8_t> bytes {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    TDecodedImage img;
    EXPECT_EQ(imaging::DecodeImage(bytes.data(), bytes.size(), img), imaging::TCodecResult::Ok) << APath;
    EXPECT_EQ(img.RawFormat, AFormat) << APath;
    return img;
}

TEST(Artwork, TheZonePicturesAndTheWindowPicturesDecodeInTheirFormats)
{
    const fs::path root = DCS_ARTWORK;
    int files = 0;
    for (const auto& e : fs::directory_iterator(root / "data")) {
        EXPECT_EQ(e.path().extension(), ".jpg");
        ++files;
    }
    EXPECT_EQ(files, 9);
    for (const char* zone : {"Head", "Body", "Legs"}) {
        const std::string z = zone;
        const TDecodedImage off = Decode(root / "data" / (z + "Off.jpg"), imaging::ImageFormatJPEG);
        for (const std::string& look : {z + "On.jpg", "SX" + z + "On.jpg"}) {
            const TDecodedImage on = Decode(root / "data" / look, imaging::ImageFormatJPEG);
            EXPECT_EQ(on.Width, off.Width) << look;
            EXPECT_EQ(on.Height, off.Height) << look;
            EXPECT_NE(on.Pixels, off.Pixels) << look;
        }
    }
    const struct {
        const char* File;
        TGUID Format;
    } window[] = {
        {"dorvaquent.ico", imaging::ImageFormatIcon},    {"stop.jpg", imaging::ImageFormatJPEG},
        {"start.png", imaging::ImageFormatPNG},          {"intensity-ultra.png", imaging::ImageFormatPNG},
        {"intensity-high.png", imaging::ImageFormatPNG}, {"intensity-medium.png", imaging::ImageFormatPNG},
        {"intensity-low.png", imaging::ImageFormatPNG},
    };
    for (const auto& w : window)
        Decode(root / "window" / w.File, w.Format);
}

}  // namespace
}  // namespace dcs
