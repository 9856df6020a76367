#include "platform/imaging/ImageCodecs.h"

#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace dcs::imaging {

namespace detail {

TCodecResult AllocatePixels(TDecodedImage& out, int64_t width, int64_t height)
{
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels)
        return TCodecResult::Corrupt;
    try {
        out.Pixels.assign(size_t(width * height), 0u);
    } catch (const std::bad_alloc&) {
        return TCodecResult::OutOfMemory;
    }
    out.Width = int(width);
    out.Height = int(height);
    return TCodecResult::Ok;
}

double DpiFromPixelsPerMetre(double ppm) { return ppm > 0 ? ppm * 0.0254 : 96.0; }

uint32_t PixelsPerMetre(double dpi)
{
    if (!(dpi > 0))
        return 0;
    return uint32_t(std::min(std::round(dpi / 0.0254), double(INT32_MAX)));
}

}  // namespace detail

TCodecResult SniffFormat(const uint8_t* data, size_t size, TGUID& rawFormat)
{
    auto startsWith = [&](const char* sig, size_t n) { return size >= n && std::memcmp(data, sig, n) == 0; };
    if (data == nullptr)
        return TCodecResult::UnknownFormat;
    if (startsWith("\x89PNG\r\n\x1a\n", 8))
        rawFormat = ImageFormatPNG;
    else if (startsWith("\xFF\xD8\xFF", 3))
        rawFormat = ImageFormatJPEG;
    else if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        rawFormat = ImageFormatGIF;
    else if (startsWith("BM", 2))
        rawFormat = ImageFormatBMP;
    else if ((startsWith("\0\0\1\0", 4) || startsWith("\0\0\2\0", 4)) && size >= 6 && detail::Le16(data + 4) > 0)
        rawFormat = ImageFormatIcon;
    else if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        rawFormat = ImageFormatTIFF;
    else
        return TCodecResult::UnknownFormat;
    return TCodecResult::Ok;
}

TCodecResult DecodeImage(const uint8_t* data, size_t size, TDecodedImage& out)
{
    TGUID format;
    if (auto r = SniffFormat(data, size, format); r != TCodecResult::Ok)
        return r;
    TDecodedImage image;
    TCodecResult r;
    try {
        if (format == ImageFormatPNG)
            r = detail::DecodePng(data, size, image);
        else if (format == ImageFormatJPEG)
            r = detail::DecodeJpeg(data, size, image);
        else if (format == ImageFormatGIF)
            r = detail::DecodeGif(data, size, image);
        else if (format == ImageFormatBMP)
            r = detail::DecodeBmp(data, size, image);
        else if (format == ImageFormatIcon)
            r = detail::DecodeIco(data, size, image);
        else
            r = TCodecResult::Unsupported;
    } catch (const std::bad_alloc&) {
        return TCodecResult::OutOfMemory;
    }
    // A failed decode leaves the caller's record as it was.
    if (r == TCodecResult::Ok)
        out = std::move(image);
    return r;
}

const std::vector<TEncoderInfo>& Encoders()
{
    static const std::vector<TEncoderInfo> list = {
        {EncoderClsidBMP, ImageFormatBMP, "Built-in BMP Codec", "BMP", "*.BMP;*.DIB;*.RLE", "image/bmp"},
        {EncoderClsidJPEG, ImageFormatJPEG, "Built-in JPEG Codec", "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg"},
        {EncoderClsidPNG, ImageFormatPNG, "Built-in PNG Codec", "PNG", "*.PNG", "image/png"},
    };
    return list;
}

TCodecResult EncodeImage(const TDecodedImage& image, const TGUID& encoderClsid, std::vector<uint8_t>& out,
                         int jpegQuality)
{
    if (image.Width <= 0 || image.Height <= 0 || image.Width > detail::kMaxImageSide ||
        image.Height > detail::kMaxImageSide || image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
        return TCodecResult::Corrupt;
    std::vector<uint8_t> bytes;
    TCodecResult r;
    try {
        if (encoderClsid == EncoderClsidPNG)
            r = detail::EncodePng(image, bytes);
        else if (encoderClsid == EncoderClsidBMP)
            r = detail::EncodeBmp(image, bytes);
        else if (encoderClsid == EncoderClsidJPEG)
            r = detail::EncodeJpeg(image, bytes, jpegQuality < 0 ? 0 : jpegQuality > 100 ? 100 : jpegQuality);
        else
            return TCodecResult::UnknownFormat;
    } catch (const std::bad_alloc&) {
        return TCodecResult::OutOfMemory;
    }
    if (r == TCodecResult::Ok)
        out = std::move(bytes);
    return r;
}

}  // namespace dcs::imaging
