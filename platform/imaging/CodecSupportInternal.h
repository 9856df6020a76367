// What every decoder shares: the size limits that keep hostile headers from asking
// for huge buffers, bounds-free byte readers for already-checked offsets, and the
// entry points of the individual formats behind DecodeImage and EncodeImage.
#pragma once

#include "platform/imaging/ImageCodecs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dcs::imaging::detail {

// A side may be long (a 70000-pixel strip is a legal picture), the area may not.
inline constexpr int64_t kMaxImageSide = int64_t(1) << 20;
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 25;

// Checks the size against the limits, then sets Width, Height and a zeroed pixel
// buffer. Corrupt for a size out of range, OutOfMemory when allocation fails.
TCodecResult AllocatePixels(TDecodedImage& out, int64_t width, int64_t height);

inline uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint16_t Be16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t Be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline void PutLe16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
inline void PutLe32(std::vector<uint8_t>& v, uint32_t x)
{
    PutLe16(v, x);
    PutLe16(v, x >> 16);
}

inline constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Pixels per metre (BMP, PNG) to dots per inch; 0 or a negative value means unknown.
double DpiFromPixelsPerMetre(double ppm);
// The other way, for the encoders: 0 (unknown) for a resolution that is not a positive
// number, at most what a signed 32-bit field holds.
uint32_t PixelsPerMetre(double dpi);

// The per-format decoders. Each assumes SniffFormat chose it and fills every field.
TCodecResult DecodeBmp(const uint8_t* data, size_t size, TDecodedImage& out);
TCodecResult DecodePng(const uint8_t* data, size_t size, TDecodedImage& out);
TCodecResult DecodeJpeg(const uint8_t* data, size_t size, TDecodedImage& out);
TCodecResult DecodeGif(const uint8_t* data, size_t size, TDecodedImage& out);
TCodecResult DecodeIco(const uint8_t* data, size_t size, TDecodedImage& out);

// A device-independent bitmap as it sits in an icon directory entry: header, colour
// table, colour bits, then the 1-bit transparency mask, the height counting both.
TCodecResult DecodeIconDib(const uint8_t* dib, size_t size, TDecodedImage& out);

// The encoders take a checked image (sizes consistent, pixels present).
TCodecResult EncodeBmp(const TDecodedImage& image, std::vector<uint8_t>& out);
TCodecResult EncodePng(const TDecodedImage& image, std::vector<uint8_t>& out);
TCodecResult EncodeJpeg(const TDecodedImage& image, std::vector<uint8_t>& out, int quality);

}  // namespace dcs::imaging::detail
