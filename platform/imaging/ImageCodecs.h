// Picture decoders and encoders working on plain pixel records, with no drawing
// library below them. The GDI+-shaped image objects (platform/gdiplus) are built on
// these; each reader of outside bytes here is also a fuzz target. Every function may
// run on any thread; none keeps state between calls.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/imaging/ImageFormats.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dcs::imaging {

// Results of every decoder and encoder. Malformed or truncated input is Corrupt,
// never a crash, an endless loop or a huge allocation.
enum class TCodecResult {
    Ok,
    UnknownFormat,
    Corrupt,
    Unsupported,
    OutOfMemory,
    IoError
};

// One decoded frame: straight (not premultiplied) 0xAARRGGBB, rows top-down, no padding.
struct TDecodedImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;  // Width * Height
    TGUID RawFormat;               // the image-format GUID of the container read
    int32_t PixelFormat = 0;       // the source's pixel-format code (e.g. 24bppRGB)
    double DpiX = 96.0;
    double DpiY = 96.0;
};

// Which container the bytes hold (by signature), or UnknownFormat.
TCodecResult SniffFormat(const uint8_t* data, size_t size, TGUID& rawFormat);

// Decodes the first frame of a JPEG, PNG, BMP, GIF or ICO held whole in memory. A TIFF
// is recognised but Unsupported. `out` is replaced only on success.
TCodecResult DecodeImage(const uint8_t* data, size_t size, TDecodedImage& out);

// One installed encoder: what an encoder listing reports.
struct TEncoderInfo {
    TGUID Clsid;
    TGUID FormatId;
    std::string CodecName;
    std::string FormatDescription;
    std::string FilenameExtension;  // e.g. "*.PNG"
    std::string MimeType;           // e.g. "image/png"
};

const std::vector<TEncoderInfo>& Encoders();

// Encodes with the encoder whose Clsid is given; `jpegQuality` is read by the JPEG
// encoder only and clamped to 0..100. The picture's DPI goes into the file. An unknown
// Clsid is UnknownFormat; a record whose Pixels do not match Width * Height (or an empty
// one) is Corrupt. `out` is replaced only on success.
TCodecResult EncodeImage(const TDecodedImage& image, const TGUID& encoderClsid, std::vector<uint8_t>& out,
                         int jpegQuality = 75);

}  // namespace dcs::imaging
