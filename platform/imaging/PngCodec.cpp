// PNG through libpng. libpng reports errors by long jump: the jump lands in a frame
// whose C++ objects all exist before setjmp, so nothing is skipped or left half made.
#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace dcs::imaging::detail {

namespace {

// The largest inflate ratio; a header asking for more image bytes than the compressed
// data could ever give is rejected before the pixel buffer is made.
constexpr uint64_t kMaxInflateRatio = 1032;

struct TMemorySource {
    const uint8_t* Data;
    size_t Size;
    size_t Pos;
};

void ReadFromMemory(png_structp png, png_bytep dst, size_t n)
{
    auto* src = static_cast<TMemorySource*>(png_get_io_ptr(png));
    if (src->Size - src->Pos < n)
        png_error(png, "truncated");
    std::memcpy(dst, src->Data + src->Pos, n);
    src->Pos += n;
}

void WriteToVector(png_structp png, png_bytep data, size_t n)
{
    auto* dst = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    try {
        dst->insert(dst->end(), data, data + n);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void FlushNothing(png_structp) {}

[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void OnWarning(png_structp, png_const_charp) {}

int32_t PixelFormatOf(int colourType, int depth, bool transparency)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
        if (colourType == PNG_COLOR_TYPE_GRAY && depth == 16)
            return transparency ? PixelFormat64bppARGB : PixelFormat48bppRGB;
        if (colourType == PNG_COLOR_TYPE_GRAY && transparency)
            return PixelFormat32bppARGB;
        return depth == 1 ? PixelFormat1bppIndexed : depth <= 4 ? PixelFormat4bppIndexed : PixelFormat8bppIndexed;
    case PNG_COLOR_TYPE_RGB:
        if (depth == 16)
            return transparency ? PixelFormat64bppARGB : PixelFormat48bppRGB;
        return transparency ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    default:  // grey or colour with an alpha channel
        return depth == 16 ? PixelFormat64bppARGB : PixelFormat32bppARGB;
    }
}

// Everything between setjmp and the end lives in `rows` and `out`, made by the caller.
TCodecResult ReadPng(png_structp png, png_infop info, std::vector<png_bytep>& rows, size_t size, TDecodedImage& out)
{
    if (setjmp(png_jmpbuf(png)))
        return TCodecResult::Corrupt;
    png_set_user_limits(png, uint32_t(kMaxImageSide), uint32_t(kMaxImageSide));
    png_set_chunk_malloc_max(png, 16u << 20);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    uint64_t rawBytes = (uint64_t(png_get_rowbytes(png, info)) + 1) * height;
    if (rawBytes / kMaxInflateRatio > size)
        return TCodecResult::Corrupt;

    png_set_strip_16(png);
    png_set_packing(png);
    png_set_expand(png);  // palette and low-depth grey to 8 bits, tRNS to alpha
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        return TCodecResult::Unsupported;

    if (auto r = AllocatePixels(out, width, height); r != TCodecResult::Ok)
        return r;
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(out.Pixels.data() + size_t(y) * width);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);

    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
        out.DpiX = DpiFromPixelsPerMetre(resX);
        out.DpiY = DpiFromPixelsPerMetre(resY);
    }
    out.PixelFormat = PixelFormatOf(colourType, depth, transparency);
    out.RawFormat = ImageFormatPNG;
    return TCodecResult::Ok;
}

TCodecResult WritePng(png_structp png, png_infop info, const TDecodedImage& image, std::vector<png_bytep>& rows,
                      std::vector<uint8_t>& out)
{
    if (setjmp(png_jmpbuf(png)))
        return TCodecResult::OutOfMemory;
    const bool alpha =
        std::any_of(image.Pixels.begin(), image.Pixels.end(), [](uint32_t p) { return (p >> 24) != 0xFF; });
    png_set_write_fn(png, &out, WriteToVector, FlushNothing);
    png_set_IHDR(png, info, uint32_t(image.Width), uint32_t(image.Height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (PixelsPerMetre(image.DpiX) && PixelsPerMetre(image.DpiY))
        png_set_pHYs(png, info, PixelsPerMetre(image.DpiX), PixelsPerMetre(image.DpiY), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return TCodecResult::Ok;
}

}  // namespace

TCodecResult DecodePng(const uint8_t* data, size_t size, TDecodedImage& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr)
        return TCodecResult::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return TCodecResult::OutOfMemory;
    }
    TMemorySource source {data, size, 0};
    png_set_read_fn(png, &source, ReadFromMemory);
    std::vector<png_bytep> rows;
    TCodecResult r = ReadPng(png, info, rows, size, out);
    png_destroy_read_struct(&png, &info, nullptr);
    return r;
}

TCodecResult EncodePng(const TDecodedImage& image, std::vector<uint8_t>& out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr)
        return TCodecResult::OutOfMemory;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return TCodecResult::OutOfMemory;
    }
    std::vector<png_bytep> rows(size_t(image.Height));
    for (int y = 0; y < image.Height; ++y)
        rows[size_t(y)] =
            reinterpret_cast<png_bytep>(const_cast<uint32_t*>(image.Pixels.data()) + size_t(y) * image.Width);
    out.clear();
    TCodecResult r = WritePng(png, info, image, rows, out);
    png_destroy_write_struct(&png, &info);
    return r;
}

}  // namespace dcs::imaging::detail
