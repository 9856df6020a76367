// The identifiers a picture carries: container GUIDs, encoder class ids and the
// pixel-format codes, with the values the drawing API's callers compare against.
#pragma once

#include "platform/base/Interfaces.h"

#include <cstdint>

namespace dcs::imaging {

// Raw-format GUIDs of the containers.
inline constexpr TGUID ImageFormatUndefined = MakeGUID("{B96B3CA9-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatMemoryBMP = MakeGUID("{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatBMP = MakeGUID("{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatEMF = MakeGUID("{B96B3CAC-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatWMF = MakeGUID("{B96B3CAD-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatJPEG = MakeGUID("{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatPNG = MakeGUID("{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatGIF = MakeGUID("{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatTIFF = MakeGUID("{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatEXIF = MakeGUID("{B96B3CB2-0728-11D3-9D7B-0000F81EF32E}");
inline constexpr TGUID ImageFormatIcon = MakeGUID("{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}");

// Class ids of the installed encoders.
inline constexpr TGUID EncoderClsidBMP = MakeGUID("{557CF400-1A04-11D3-9A73-0000F81EF32E}");
inline constexpr TGUID EncoderClsidJPEG = MakeGUID("{557CF401-1A04-11D3-9A73-0000F81EF32E}");
inline constexpr TGUID EncoderClsidPNG = MakeGUID("{557CF406-1A04-11D3-9A73-0000F81EF32E}");

// The quality parameter of the JPEG encoder.
inline constexpr TGUID EncoderQuality = MakeGUID("{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}");

// Pixel-format codes: index in the low byte, bits per pixel in the second, flags above.
inline constexpr int32_t PixelFormatIndexed = 0x00010000;
inline constexpr int32_t PixelFormatGDI = 0x00020000;
inline constexpr int32_t PixelFormatAlpha = 0x00040000;
inline constexpr int32_t PixelFormatPAlpha = 0x00080000;
inline constexpr int32_t PixelFormatExtended = 0x00100000;
inline constexpr int32_t PixelFormatCanonical = 0x00200000;

inline constexpr int32_t PixelFormatUndefined = 0;
inline constexpr int32_t PixelFormat1bppIndexed = 1 | (1 << 8) | PixelFormatIndexed | PixelFormatGDI;
inline constexpr int32_t PixelFormat4bppIndexed = 2 | (4 << 8) | PixelFormatIndexed | PixelFormatGDI;
inline constexpr int32_t PixelFormat8bppIndexed = 3 | (8 << 8) | PixelFormatIndexed | PixelFormatGDI;
inline constexpr int32_t PixelFormat16bppGrayScale = 4 | (16 << 8) | PixelFormatExtended;
inline constexpr int32_t PixelFormat16bppRGB555 = 5 | (16 << 8) | PixelFormatGDI;
inline constexpr int32_t PixelFormat16bppRGB565 = 6 | (16 << 8) | PixelFormatGDI;
inline constexpr int32_t PixelFormat16bppARGB1555 = 7 | (16 << 8) | PixelFormatAlpha | PixelFormatGDI;
inline constexpr int32_t PixelFormat24bppRGB = 8 | (24 << 8) | PixelFormatGDI;
inline constexpr int32_t PixelFormat32bppRGB = 9 | (32 << 8) | PixelFormatGDI;
inline constexpr int32_t PixelFormat32bppARGB =
    10 | (32 << 8) | PixelFormatAlpha | PixelFormatGDI | PixelFormatCanonical;
inline constexpr int32_t PixelFormat32bppPARGB = 11 | (32 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatGDI;
inline constexpr int32_t PixelFormat48bppRGB = 12 | (48 << 8) | PixelFormatExtended;
inline constexpr int32_t PixelFormat64bppARGB =
    13 | (64 << 8) | PixelFormatAlpha | PixelFormatCanonical | PixelFormatExtended;
inline constexpr int32_t PixelFormat64bppPARGB =
    14 | (64 << 8) | PixelFormatAlpha | PixelFormatPAlpha | PixelFormatExtended;
inline constexpr int32_t PixelFormat32bppCMYK = 15 | (32 << 8);

// Bits per pixel of a pixel-format code.
constexpr int PixelFormatBits(int32_t format) { return (format >> 8) & 0xFF; }

}  // namespace dcs::imaging
