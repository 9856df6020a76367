// JPEG through libjpeg. Its default error handler ends the process; ours jumps back to
// the call instead. A premature end of data or corrupt entropy data, which libjpeg
// only warns about and pads with grey, fails the decode here.
#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <cstdio>
// jpeglib.h needs stdio.h first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

static_assert(std::endian::native == std::endian::little, "pixels are read as B, G, R, A bytes");

namespace dcs::imaging::detail {

namespace {

// Progressive files can hold any number of scans, each a pass over the whole picture.
constexpr int kMaxScans = 500;
constexpr long kMaxLibraryMemory = 256L << 20;

struct TJpegErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

[[noreturn]] void OnFatal(j_common_ptr c) { std::longjmp(reinterpret_cast<TJpegErrors*>(c->err)->Jump, 1); }

void OnMessage(j_common_ptr c, int level)
{
    if (level >= 0)
        return;  // trace output
    switch (c->err->msg_code) {
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC: return;  // harmless: the picture is still whole
    default: OnFatal(c);
    }
}

void OnProgress(j_common_ptr c)
{
    if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > kMaxScans)
        OnFatal(c);
}

void InstallHandlers(j_common_ptr c, TJpegErrors& errors)
{
    c->err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = OnFatal;
    errors.Base.emit_message = OnMessage;
}

double DensityToDpi(const jpeg_decompress_struct& c, unsigned density)
{
    if (!c.saw_JFIF_marker || density == 0)
        return 96.0;
    if (c.density_unit == 1)
        return density;
    if (c.density_unit == 2)
        return density * 2.54;
    return 96.0;
}

// Adobe writes CMYK inverted: a stored 255 is no ink.
void CmykToArgb(uint8_t* row, size_t width)
{
    for (size_t x = 0; x < width; ++x) {
        uint8_t* p = row + x * 4;
        uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
        uint32_t argb = Argb(255, c * k / 255, m * k / 255, y * k / 255);
        std::memcpy(p, &argb, 4);
    }
}

// Every C++ object the jump could leave is made by the caller before setjmp.
TCodecResult ReadJpeg(jpeg_decompress_struct& c, TJpegErrors& errors, jpeg_progress_mgr& progress, const uint8_t* data,
                      size_t size, TDecodedImage& out)
{
    if (setjmp(errors.Jump))
        return TCodecResult::Corrupt;
    jpeg_create_decompress(&c);
    c.mem->max_memory_to_use = kMaxLibraryMemory;
    progress.progress_monitor = OnProgress;
    c.progress = &progress;
    jpeg_mem_src(&c, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&c, TRUE) != JPEG_HEADER_OK)
        return TCodecResult::Corrupt;
    const int64_t width = c.image_width, height = c.image_height;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels)
        return TCodecResult::Corrupt;

    const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    out.PixelFormat = cmyk                    ? PixelFormat32bppCMYK
        : c.jpeg_color_space == JCS_GRAYSCALE ? PixelFormat8bppIndexed
                                              : PixelFormat24bppRGB;
    c.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&c);
    if (c.output_width != c.image_width || c.output_height != c.image_height || c.output_components != 4)
        return TCodecResult::Unsupported;

    // Rows are appended as they decode, so a short file never touches the whole buffer.
    try {
        out.Pixels.reserve(size_t(width * height));
    } catch (const std::bad_alloc&) {
        return TCodecResult::OutOfMemory;
    }
    while (c.output_scanline < c.output_height) {
        out.Pixels.resize(size_t(width) * (c.output_scanline + 1));
        JSAMPROW row = reinterpret_cast<JSAMPROW>(out.Pixels.data() + size_t(width) * c.output_scanline);
        if (jpeg_read_scanlines(&c, &row, 1) != 1)
            return TCodecResult::Corrupt;
        if (cmyk)
            CmykToArgb(row, size_t(width));
    }
    jpeg_finish_decompress(&c);

    out.Width = int(width);
    out.Height = int(height);
    out.DpiX = DensityToDpi(c, c.X_density);
    out.DpiY = DensityToDpi(c, c.Y_density);
    out.RawFormat = ImageFormatJPEG;
    return TCodecResult::Ok;
}

struct TMemoryDestination {
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
};

TCodecResult WriteJpeg(jpeg_compress_struct& c, TJpegErrors& errors, const TDecodedImage& image, int quality,
                       TMemoryDestination& dest)
{
    if (setjmp(errors.Jump))
        return TCodecResult::OutOfMemory;
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, &dest.Buffer, &dest.Size);
    c.image_width = JDIMENSION(image.Width);
    c.image_height = JDIMENSION(image.Height);
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    auto density = [](double dpi) { return UINT16(dpi > 0 ? std::clamp(std::round(dpi), 1.0, 65535.0) : 96); };
    c.density_unit = 1;
    c.X_density = density(image.DpiX);
    c.Y_density = density(image.DpiY);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(image.Pixels.data()) +
                                                  size_t(image.Width) * c.next_scanline);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    return TCodecResult::Ok;
}

}  // namespace

TCodecResult DecodeJpeg(const uint8_t* data, size_t size, TDecodedImage& out)
{
    jpeg_decompress_struct c {};
    TJpegErrors errors;
    InstallHandlers(reinterpret_cast<j_common_ptr>(&c), errors);
    jpeg_progress_mgr progress {};
    TCodecResult r = ReadJpeg(c, errors, progress, data, size, out);
    jpeg_destroy_decompress(&c);
    return r;
}

TCodecResult EncodeJpeg(const TDecodedImage& image, std::vector<uint8_t>& out, int quality)
{
    jpeg_compress_struct c {};
    TJpegErrors errors;
    InstallHandlers(reinterpret_cast<j_common_ptr>(&c), errors);
    TMemoryDestination dest;
    TCodecResult r = WriteJpeg(c, errors, image, quality, dest);
    jpeg_destroy_compress(&c);
    if (r == TCodecResult::Ok)
        out.assign(dest.Buffer, dest.Buffer + dest.Size);
    std::free(dest.Buffer);
    return r;
}

}  // namespace dcs::imaging::detail
