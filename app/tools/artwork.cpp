// Draws the program's artwork with cairo into a folder, which is committed as
// app/artwork/ (so a build never depends on drawing it):
//   window/  the window icon (dorvaquent.ico, five sizes), the stop picture (stop.jpg),
//            the start picture (start.png) and the intensity toggles' down pictures
//            (intensity-ultra/high/medium/low.png)
//   data/    the nine body-zone pictures the program loads from its data folder:
//            HeadOn, BodyOn, LegsOn (pain-relief window), SXHeadOn, SXBodyOn, SXLegsOn
//            (Auto page) and HeadOff, BodyOff, LegsOff, all JPEG.
// The three zone pictures of a set stack head over body over legs into one figure, as
// the windows place them; the window's own zone images start as the Auto "on" set.
//
//   dcs_artwork <folder>      e.g.  build/app/dcs_artwork app/artwork
#include "platform/imaging/ImageCodecs.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using dcs::imaging::TCodecResult;
using dcs::imaging::TDecodedImage;
namespace fs = std::filesystem;

struct Rgb {
    double R, G, B;
};

constexpr Rgb kBackTop {0.17, 0.20, 0.25}, kBackBottom {0.09, 0.11, 0.14};

// Renders ADraw on a w x h ARGB surface and returns it as straight ARGB pixels.
TDecodedImage Render(int w, int h, const std::function<void(cairo_t*)>& ADraw)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(s);
    ADraw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    TDecodedImage img;
    img.Width = w;
    img.Height = h;
    img.Pixels.resize(size_t(w) * size_t(h));
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            const uint32_t a = p >> 24;
            auto un = [a](uint32_t c) { return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a); };
            img.Pixels[size_t(y) * size_t(w) + size_t(x)] =
                (a << 24) | (un((p >> 16) & 255) << 16) | (un((p >> 8) & 255) << 8) | un(p & 255);
        }
    cairo_surface_destroy(s);
    return img;
}

std::vector<uint8_t> Encode(const TDecodedImage& AImage, const dcs::TGUID& AEncoder)
{
    std::vector<uint8_t> bytes;
    if (dcs::imaging::EncodeImage(AImage, AEncoder, bytes, 88) != TCodecResult::Ok)
        throw std::runtime_error("cannot encode a picture");
    return bytes;
}

void Write(const fs::path& APath, const std::vector<uint8_t>& ABytes)
{
    std::ofstream f(APath, std::ios::binary);
    f.write(reinterpret_cast<const char*>(ABytes.data()), std::streamsize(ABytes.size()));
    if (!f)
        throw std::runtime_error("cannot write " + APath.string());
    std::printf("%s  %zu bytes\n", APath.c_str(), ABytes.size());
}

void Background(cairo_t* cr, double w, double h)
{
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(g, 0, kBackTop.R, kBackTop.G, kBackTop.B);
    cairo_pattern_add_color_stop_rgb(g, 1, kBackBottom.R, kBackBottom.G, kBackBottom.B);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// --- the body figure, 180 x 560, cut into head (0..130), body (130..330), legs (330..560)

constexpr int kFigureWidth = 180, kFigureHeight = 560;
struct Zone {
    const char* Name;
    int Top, Height;
};
constexpr Zone kZones[] = {{"Head", 0, 130}, {"Body", 130, 200}, {"Legs", 330, 230}};

void FigurePath(cairo_t* cr, int AZone)
{
    switch (AZone) {
    case 0:  // head and neck
        cairo_arc(cr, 90, 62, 40, 0, 2 * M_PI);
        cairo_close_path(cr);
        RoundedRect(cr, 76, 96, 28, 40, 8);
        break;
    case 1:  // shoulders, torso and arms
        cairo_move_to(cr, 46, 140);
        cairo_curve_to(cr, 70, 128, 110, 128, 134, 140);
        cairo_curve_to(cr, 150, 150, 152, 170, 150, 190);
        cairo_line_to(cr, 138, 330);
        cairo_line_to(cr, 42, 330);
        cairo_line_to(cr, 30, 190);
        cairo_curve_to(cr, 28, 170, 30, 150, 46, 140);
        cairo_close_path(cr);
        RoundedRect(cr, 8, 150, 26, 165, 13);
        RoundedRect(cr, 146, 150, 26, 165, 13);
        break;
    default:  // hips and legs
        cairo_move_to(cr, 42, 322);
        cairo_line_to(cr, 138, 322);
        cairo_line_to(cr, 136, 372);
        cairo_line_to(cr, 124, 548);
        cairo_line_to(cr, 96, 548);
        cairo_line_to(cr, 90, 392);
        cairo_line_to(cr, 84, 548);
        cairo_line_to(cr, 56, 548);
        cairo_line_to(cr, 44, 372);
        cairo_close_path(cr);
        break;
    }
}

enum class Look {
    Off,
    On,
    AutoOn
};

TDecodedImage ZonePicture(int AZone, Look ALook)
{
    const Zone z = kZones[AZone];
    return Render(kFigureWidth, z.Height, [&](cairo_t* cr) {
        // Backgrounds and gradients span the whole figure, so the three pictures join.
        cairo_translate(cr, 0, -z.Top);
        Background(cr, kFigureWidth, kFigureHeight);
        FigurePath(cr, AZone);
        if (ALook == Look::Off) {
            cairo_set_source_rgb(cr, 0.36, 0.39, 0.43);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0.55, 0.58, 0.62);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            return;
        }
        // The chosen zone glows: pain relief in warm red, the Auto session in cyan.
        const Rgb light = ALook == Look::On ? Rgb {1.0, 0.55, 0.30} : Rgb {0.35, 0.88, 1.0};
        const Rgb deep = ALook == Look::On ? Rgb {0.80, 0.18, 0.10} : Rgb {0.10, 0.45, 0.85};
        for (int w = 18; w >= 4; w -= 7) {
            cairo_set_source_rgba(cr, light.R, light.G, light.B, 0.12);
            cairo_set_line_width(cr, w);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(cr);
        }
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kFigureHeight);
        cairo_pattern_add_color_stop_rgb(g, 0, light.R, light.G, light.B);
        cairo_pattern_add_color_stop_rgb(g, 1, deep.R, deep.G, deep.B);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
    });
}

// --- window pictures

TDecodedImage StopPicture()
{
    return Render(64, 64, [](cairo_t* cr) {
        Background(cr, 64, 64);
        cairo_arc(cr, 32, 32, 26, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(26, 24, 4, 32, 32, 28);
        cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.42, 0.36);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.72, 0.08, 0.06);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        RoundedRect(cr, 21, 21, 22, 22, 3);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    });
}

TDecodedImage StartPicture()
{
    return Render(64, 64, [](cairo_t* cr) {
        cairo_arc(cr, 32, 32, 28, 0, 2 * M_PI);
        cairo_pattern_t* g = cairo_pattern_create_radial(26, 24, 4, 32, 32, 30);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.45, 0.95, 0.50);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.08, 0.55, 0.20);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_move_to(cr, 25, 18);
        cairo_line_to(cr, 47, 32);
        cairo_line_to(cr, 25, 46);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    });
}

// Four level bars, ALit of them lit in AColour.
TDecodedImage IntensityPicture(int ALit, Rgb AColour)
{
    return Render(40, 40, [=](cairo_t* cr) {
        for (int i = 0; i < 4; ++i) {
            const double h = 8 + 7 * i;
            RoundedRect(cr, 3 + 9.5 * i, 36 - h, 7, h, 2);
            if (i < ALit)
                cairo_set_source_rgb(cr, AColour.R, AColour.G, AColour.B);
            else
                cairo_set_source_rgba(cr, 0.6, 0.63, 0.67, 0.45);
            cairo_fill(cr);
        }
    });
}

// A plate under a standing wave, on a dark rounded tile.
TDecodedImage IconImage(int ASize)
{
    return Render(ASize, ASize, [ASize](cairo_t* cr) {
        const double s = ASize / 64.0;
        cairo_scale(cr, s, s);
        RoundedRect(cr, 2, 2, 60, 60, 12);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 64);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.26, 0.34);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.07, 0.09, 0.12);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_move_to(cr, 10, 30);
        for (int x = 10; x <= 54; ++x)
            cairo_line_to(cr, x, 30 - 11 * std::sin((x - 10) * 2 * M_PI / 22));
        cairo_set_source_rgb(cr, 0.35, 0.88, 1.0);
        cairo_set_line_width(cr, ASize <= 16 ? 6 : 4);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        RoundedRect(cr, 10, 46, 44, 8, 3);
        cairo_set_source_rgb(cr, 0.85, 0.88, 0.92);
        cairo_fill(cr);
    });
}

// An icon file holding one PNG image per size.
std::vector<uint8_t> Icon(const std::vector<int>& ASizes)
{
    std::vector<std::vector<uint8_t>> images;
    for (int size : ASizes)
        images.push_back(Encode(IconImage(size), dcs::imaging::EncoderClsidPNG));
    std::vector<uint8_t> out;
    auto put16 = [&out](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0);
    put16(1);
    put16(uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(ASizes[i] >= 256 ? 0 : ASizes[i]));
        out.push_back(uint8_t(ASizes[i] >= 256 ? 0 : ASizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        put16(1);   // planes
        put16(32);  // bits per pixel
        put32(uint32_t(images[i].size()));
        put32(offset);
        offset += uint32_t(images[i].size());
    }
    for (const auto& img : images)
        out.insert(out.end(), img.begin(), img.end());
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <artwork folder>\n", argv[0]);
        return 2;
    }
    try {
        const fs::path root = argv[1], window = root / "window", data = root / "data";
        fs::create_directories(window);
        fs::create_directories(data);
        using dcs::imaging::EncoderClsidJPEG;
        using dcs::imaging::EncoderClsidPNG;
        Write(window / "dorvaquent.ico", Icon({16, 24, 32, 48, 64}));
        Write(window / "stop.jpg", Encode(StopPicture(), EncoderClsidJPEG));
        Write(window / "start.png", Encode(StartPicture(), EncoderClsidPNG));
        const std::pair<const char*, Rgb> levels[] = {{"ultra", {1.0, 0.30, 0.25}},
                                                      {"high", {1.0, 0.62, 0.20}},
                                                      {"medium", {0.95, 0.85, 0.25}},
                                                      {"low", {0.40, 0.85, 0.40}}};
        for (int i = 0; i < 4; ++i)
            Write(window / ("intensity-" + std::string(levels[i].first) + ".png"),
                  Encode(IntensityPicture(4 - i, levels[i].second), EncoderClsidPNG));
        for (int zone = 0; zone < 3; ++zone) {
            const std::string name = kZones[zone].Name;
            Write(data / (name + "Off.jpg"), Encode(ZonePicture(zone, Look::Off), EncoderClsidJPEG));
            Write(data / (name + "On.jpg"), Encode(ZonePicture(zone, Look::On), EncoderClsidJPEG));
            Write(data / ("SX" + name + "On.jpg"), Encode(ZonePicture(zone, Look::AutoOn), EncoderClsidJPEG));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
