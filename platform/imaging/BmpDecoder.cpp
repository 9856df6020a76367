// Device-independent bitmaps, from a BMP file or from inside an icon: every header
// generation (core, info, v2 to v5), 1 to 32 bits per pixel, colour masks, RLE.
#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <algorithm>
#include <bit>

namespace dcs::imaging::detail {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;

// One colour channel of a packed pixel: where its bits are and how to widen them to 8.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(uint32_t mask = 0) : Mask(mask)
    {
        if (mask == 0)
            return;
        Shift = std::countr_zero(mask);
        Bits = 32 - std::countl_zero(mask >> Shift);
    }

    uint32_t Extract(uint32_t pixel, uint32_t absent) const
    {
        if (Bits == 0)
            return absent;
        uint64_t v = (pixel & Mask) >> Shift;
        if (Bits >= 8)
            return uint32_t(v >> (Bits - 8));
        return uint32_t(v * 255 / ((uint64_t(1) << Bits) - 1));
    }
};

struct TDib {
    int64_t Width = 0;
    int64_t Height = 0;  // rows of colour data, always positive
    bool TopDown = false;
    int Bits = 0;
    uint32_t Compression = BI_RGB;
    TChannel Red, Green, Blue, Alpha;
    std::vector<uint32_t> Palette;
    size_t TableEnd = 0;  // offset, from the header's start, just past the colour table
    double DpiX = 96.0;
    double DpiY = 96.0;
};

// Reads the header, masks and colour table. `icon` halves the height (the mask's rows
// are counted in it).
TCodecResult ReadDib(const uint8_t* dib, size_t size, bool icon, TDib& d)
{
    if (size < 4)
        return TCodecResult::Corrupt;
    uint32_t headerSize = Le32(dib);
    bool core = headerSize == kCoreHeaderSize;
    if (!core && headerSize < kInfoHeaderSize)
        return TCodecResult::Corrupt;
    if (headerSize > size)
        return TCodecResult::Corrupt;

    int64_t height;
    if (core) {
        d.Width = Le16(dib + 4);
        height = Le16(dib + 6);
        d.Bits = Le16(dib + 10);
    } else {
        d.Width = int32_t(Le32(dib + 4));
        height = int32_t(Le32(dib + 8));
        d.Bits = Le16(dib + 14);
        d.Compression = Le32(dib + 16);
        d.DpiX = DpiFromPixelsPerMetre(int32_t(Le32(dib + 24)));
        d.DpiY = DpiFromPixelsPerMetre(int32_t(Le32(dib + 28)));
    }
    d.TopDown = height < 0;
    d.Height = height < 0 ? -height : height;
    if (icon)
        d.Height /= 2;
    if (d.Width <= 0 || d.Height <= 0)
        return TCodecResult::Corrupt;

    size_t pos = headerSize;
    switch (d.Compression) {
    case BI_RGB:
        if (d.Bits == 16)
            d.Red = TChannel(0x7C00), d.Green = TChannel(0x03E0), d.Blue = TChannel(0x001F);
        else if (d.Bits == 24 || d.Bits == 32)
            d.Red = TChannel(0xFF0000), d.Green = TChannel(0xFF00), d.Blue = TChannel(0xFF);
        else if (d.Bits != 1 && d.Bits != 4 && d.Bits != 8)
            return TCodecResult::Corrupt;
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (d.Bits != (d.Compression == BI_RLE8 ? 8 : 4) || d.TopDown)
            return TCodecResult::Corrupt;
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: {
        if (d.Bits != 16 && d.Bits != 32)
            return TCodecResult::Corrupt;
        // Later headers carry the masks inside; the plain info header has them after it.
        size_t count = d.Compression == BI_ALPHABITFIELDS ? 4 : 3;
        const uint8_t* masks = dib + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (size - pos < count * 4)
                return TCodecResult::Corrupt;
            pos += count * 4;
        } else {
            count = headerSize >= 56 ? 4 : 3;
            if (headerSize < 52)
                return TCodecResult::Corrupt;
        }
        d.Red = TChannel(Le32(masks));
        d.Green = TChannel(Le32(masks + 4));
        d.Blue = TChannel(Le32(masks + 8));
        if (count == 4)
            d.Alpha = TChannel(Le32(masks + 12));
        break;
    }
    default: return TCodecResult::Unsupported;  // embedded JPEG/PNG and rarer codings
    }

    uint64_t tableCount = core ? 0 : Le32(dib + 32);
    if (d.Bits <= 8 && tableCount == 0)
        tableCount = uint64_t(1) << d.Bits;
    size_t entrySize = core ? 3 : 4;
    if (tableCount > (size - pos) / entrySize) {
        // Past 8 bits the table is only a hint for display; a count that overstates
        // it is ignored.
        if (d.Bits <= 8)
            return TCodecResult::Corrupt;
        tableCount = 0;
    }
    if (d.Bits <= 8) {
        size_t used = size_t(std::min<uint64_t>(tableCount, uint64_t(1) << d.Bits));
        d.Palette.resize(used);
        for (size_t i = 0; i < used; ++i) {
            const uint8_t* e = dib + pos + i * entrySize;
            d.Palette[i] = Argb(255, e[2], e[1], e[0]);
        }
    }
    d.TableEnd = pos + size_t(tableCount) * entrySize;
    return TCodecResult::Ok;
}

int32_t PixelFormatOf(const TDib& d)
{
    switch (d.Bits) {
    case 1: return PixelFormat1bppIndexed;
    case 4: return PixelFormat4bppIndexed;
    case 8: return PixelFormat8bppIndexed;
    case 16:
        if (d.Alpha.Bits)
            return PixelFormat16bppARGB1555;
        return d.Green.Mask == 0x07E0 ? PixelFormat16bppRGB565 : PixelFormat16bppRGB555;
    case 24: return PixelFormat24bppRGB;
    default: return d.Alpha.Bits ? PixelFormat32bppARGB : PixelFormat32bppRGB;
    }
}

uint64_t RowStride(int64_t width, int bits) { return (uint64_t(width) * bits + 31) / 32 * 4; }

uint32_t PaletteColour(const TDib& d, uint32_t index)
{
    return index < d.Palette.size() ? d.Palette[index] : Argb(255, 0, 0, 0);
}

void ConvertRow(const TDib& d, const uint8_t* src, uint32_t* dst)
{
    const int64_t w = d.Width;
    switch (d.Bits) {
    case 1:
        for (int64_t x = 0; x < w; ++x)
            dst[x] = PaletteColour(d, (src[x >> 3] >> (7 - (x & 7))) & 1);
        break;
    case 4:
        for (int64_t x = 0; x < w; ++x)
            dst[x] = PaletteColour(d, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
        break;
    case 8:
        for (int64_t x = 0; x < w; ++x)
            dst[x] = PaletteColour(d, src[x]);
        break;
    default: {
        const int bytes = d.Bits / 8;
        for (int64_t x = 0; x < w; ++x) {
            const uint8_t* p = src + x * bytes;
            uint32_t v = bytes == 2 ? Le16(p) : bytes == 3 ? (p[0] | (p[1] << 8) | (p[2] << 16)) : Le32(p);
            dst[x] = Argb(d.Alpha.Extract(v, 255), d.Red.Extract(v, 0), d.Green.Extract(v, 0), d.Blue.Extract(v, 0));
        }
        break;
    }
    }
}

// Uncompressed rows; the whole block must be present.
TCodecResult DecodeRows(const TDib& d, const uint8_t* bits, size_t available, TDecodedImage& out)
{
    uint64_t stride = RowStride(d.Width, d.Bits);
    if (stride * uint64_t(d.Height) > available)
        return TCodecResult::Corrupt;
    if (auto r = AllocatePixels(out, d.Width, d.Height); r != TCodecResult::Ok)
        return r;
    for (int64_t row = 0; row < d.Height; ++row) {
        int64_t y = d.TopDown ? row : d.Height - 1 - row;
        ConvertRow(d, bits + row * stride, out.Pixels.data() + y * d.Width);
    }
    return TCodecResult::Ok;
}

// Run-length coded rows, bottom-up. Pixels the runs skip stay transparent. Every step
// consumes input, so the loop ends with the data.
TCodecResult DecodeRle(const TDib& d, const uint8_t* p, size_t n, TDecodedImage& out)
{
    if (auto r = AllocatePixels(out, d.Width, d.Height); r != TCodecResult::Ok)
        return r;
    const bool rle8 = d.Compression == BI_RLE8;
    int64_t x = 0, y = 0;
    auto put = [&](uint32_t index) {
        if (x < d.Width && y < d.Height)
            out.Pixels[size_t((d.Height - 1 - y) * d.Width + x)] = PaletteColour(d, index);
        ++x;
    };
    size_t pos = 0;
    while (pos + 2 <= n && y < d.Height) {
        uint8_t count = p[pos], code = p[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(rle8 ? code : (i & 1) ? (code & 15) : (code >> 4));
            continue;
        }
        if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return TCodecResult::Ok;
        } else if (code == 2) {
            if (n - pos < 2)
                return TCodecResult::Corrupt;
            x += p[pos];
            y += p[pos + 1];
            pos += 2;
        } else {
            size_t bytes = rle8 ? code : (code + 1u) / 2;
            if (n - pos < bytes)
                return TCodecResult::Corrupt;
            for (int i = 0; i < code; ++i)
                put(rle8 ? p[pos + i] : (i & 1) ? (p[pos + i / 2] & 15) : (p[pos + i / 2] >> 4));
            pos += (bytes + 1) & ~size_t(1);
        }
    }
    // Without the end marker only data that has moved past the last row is whole.
    return y >= d.Height ? TCodecResult::Ok : TCodecResult::Corrupt;
}

void Describe(const TDib& d, int32_t pixelFormat, TDecodedImage& out)
{
    out.PixelFormat = pixelFormat;
    out.DpiX = d.DpiX;
    out.DpiY = d.DpiY;
}

}  // namespace

TCodecResult DecodeBmp(const uint8_t* data, size_t size, TDecodedImage& out)
{
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M')
        return TCodecResult::Corrupt;
    TDib d;
    if (auto r = ReadDib(data + kFileHeaderSize, size - kFileHeaderSize, false, d); r != TCodecResult::Ok)
        return r;
    // The stored offset of the bits is trusted when it points past the headers.
    size_t offset = kFileHeaderSize + d.TableEnd;
    uint32_t stored = Le32(data + 10);
    if (stored >= kFileHeaderSize + Le32(data + kFileHeaderSize) && stored <= size)
        offset = stored;
    if (offset > size)
        return TCodecResult::Corrupt;
    TCodecResult r = d.Compression == BI_RLE8 || d.Compression == BI_RLE4
        ? DecodeRle(d, data + offset, size - offset, out)
        : DecodeRows(d, data + offset, size - offset, out);
    if (r != TCodecResult::Ok)
        return r;
    out.RawFormat = ImageFormatBMP;
    Describe(d, PixelFormatOf(d), out);
    return TCodecResult::Ok;
}

TCodecResult DecodeIconDib(const uint8_t* dib, size_t size, TDecodedImage& out)
{
    TDib d;
    if (auto r = ReadDib(dib, size, true, d); r != TCodecResult::Ok)
        return r;
    if (d.Compression != BI_RGB && d.Compression != BI_BITFIELDS)
        return TCodecResult::Unsupported;
    // 32-bit icons keep their alpha in the fourth byte even without masks.
    if (d.Bits == 32 && !d.Alpha.Bits)
        d.Alpha = TChannel(0xFF000000u);
    if (d.TableEnd > size)
        return TCodecResult::Corrupt;
    const uint8_t* bits = dib + d.TableEnd;
    size_t available = size - d.TableEnd;
    if (auto r = DecodeRows(d, bits, available, out); r != TCodecResult::Ok)
        return r;

    bool hasAlpha =
        d.Alpha.Bits && std::any_of(out.Pixels.begin(), out.Pixels.end(), [](uint32_t p) { return p >> 24; });
    uint64_t colourBytes = RowStride(d.Width, d.Bits) * uint64_t(d.Height);
    uint64_t maskStride = RowStride(d.Width, 1);
    if (!hasAlpha) {
        if (available - colourBytes < maskStride * uint64_t(d.Height))
            return TCodecResult::Corrupt;
        const uint8_t* mask = bits + colourBytes;
        for (int64_t row = 0; row < d.Height; ++row) {
            const uint8_t* m = mask + row * maskStride;
            uint32_t* dst = out.Pixels.data() + (d.TopDown ? row : d.Height - 1 - row) * d.Width;
            for (int64_t x = 0; x < d.Width; ++x)
                dst[x] = (m[x >> 3] >> (7 - (x & 7))) & 1 ? 0u : (dst[x] | 0xFF000000u);
        }
    }
    Describe(d, PixelFormat32bppARGB, out);
    return TCodecResult::Ok;
}

}  // namespace dcs::imaging::detail
