// The first frame of a GIF: its own LZW decoder, interlacing, local or global colour
// table and the transparent index of the frame's graphic control block.
#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <algorithm>
#include <array>

namespace dcs::imaging::detail {

namespace {

constexpr int kMaxCodes = 4096;

class TGifReader {
public:
    TGifReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}

    bool Has(size_t n) const { return FSize - FPos >= n; }
    const uint8_t* Take(size_t n)
    {
        const uint8_t* p = FData + FPos;
        FPos += n;
        return p;
    }
    size_t Left() const { return FSize - FPos; }

    // Appends sub-blocks up to the terminator (or the end of the data, which a caller
    // that needs the blocks notices by their shortness).
    void ReadSubBlocks(std::vector<uint8_t>* into)
    {
        while (Has(1)) {
            uint8_t n = *Take(1);
            if (n == 0)
                return;
            size_t k = std::min<size_t>(n, Left());
            const uint8_t* p = Take(k);
            if (into)
                into->insert(into->end(), p, p + k);
        }
    }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
};

// Frame rows in the order the data gives them: top-down, or in four interlace passes.
class TRowOrder {
public:
    TRowOrder(int64_t height, bool interlaced) : FHeight(height), FInterlaced(interlaced) {}

    int64_t Row() const { return FRow; }
    void Next()
    {
        if (!FInterlaced) {
            ++FRow;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        FRow += kStep[FPass];
        while (FRow >= FHeight && FPass < 3) {
            ++FPass;
            FRow = kStart[FPass];
        }
    }

private:
    int64_t FHeight;
    bool FInterlaced;
    int FPass = 0;
    int64_t FRow = 0;
};

struct TFrame {
    int64_t Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    std::vector<uint32_t> Colours;
    int Transparent = -1;
};

// Decodes the LZW stream into palette indices written through `emit` until the frame
// is full. False when the codes are malformed or run out first.
template <class Emit> bool DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, uint64_t pixels, Emit emit)
{
    std::array<uint16_t, kMaxCodes> prefix {};
    std::array<uint8_t, kMaxCodes> suffix {};
    std::array<uint8_t, kMaxCodes> first {};
    std::array<uint8_t, kMaxCodes> stack {};
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i)
        suffix[i] = first[i] = uint8_t(i);

    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    uint64_t written = 0;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    size_t pos = 0;
    while (written < pixels) {
        while (bitCount < codeSize && pos < data.size()) {
            bitBuffer |= uint32_t(data[pos++]) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize)
            return false;
        int code = int(bitBuffer & ((1u << codeSize) - 1));
        bitBuffer >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end)
            return false;
        int walk;
        uint8_t head;
        if (prev < 0) {
            if (code >= clear)
                return false;
            walk = code;
            head = uint8_t(code);
        } else if (code < next) {
            walk = code;
            head = first[code];
        } else if (code == next) {
            walk = -1;  // the previous string and its own first byte
            head = first[prev];
        } else {
            return false;
        }
        if (prev >= 0 && next < kMaxCodes) {
            prefix[next] = uint16_t(prev);
            suffix[next] = head;
            first[next] = first[prev];
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        if (walk < 0)
            walk = next - 1;
        // Prefixes always point to smaller codes, so the walk ends within the table.
        int depth = 0;
        for (int c = walk;; c = prefix[c]) {
            stack[depth++] = suffix[c];
            if (c < clear)
                break;
        }
        while (depth > 0 && written < pixels) {
            emit(stack[--depth]);
            ++written;
        }
        prev = code;
    }
    return true;
}

std::vector<uint32_t> ReadColourTable(TGifReader& in, uint8_t flags, bool& ok)
{
    std::vector<uint32_t> table;
    if (!(flags & 0x80))
        return table;
    size_t count = size_t(2) << (flags & 7);
    if (!in.Has(count * 3)) {
        ok = false;
        return table;
    }
    const uint8_t* p = in.Take(count * 3);
    table.resize(count);
    for (size_t i = 0; i < count; ++i)
        table[i] = Argb(255, p[i * 3], p[i * 3 + 1], p[i * 3 + 2]);
    return table;
}

}  // namespace

TCodecResult DecodeGif(const uint8_t* data, size_t size, TDecodedImage& out)
{
    TGifReader in(data, size);
    if (!in.Has(13))
        return TCodecResult::Corrupt;
    const uint8_t* screen = in.Take(13);
    int64_t screenWidth = Le16(screen + 6), screenHeight = Le16(screen + 8);
    bool ok = true;
    std::vector<uint32_t> global = ReadColourTable(in, screen[10], ok);
    if (!ok)
        return TCodecResult::Corrupt;

    TFrame frame;
    for (;;) {
        if (!in.Has(1))
            return TCodecResult::Corrupt;
        uint8_t block = *in.Take(1);
        if (block == 0x21) {
            if (!in.Has(1))
                return TCodecResult::Corrupt;
            uint8_t label = *in.Take(1);
            if (label == 0xF9 && in.Has(1)) {
                // Graphic control: its first sub-block holds the transparent index.
                size_t n = *in.Take(1);
                if (n == 0)
                    continue;
                if (!in.Has(n))
                    return TCodecResult::Corrupt;
                const uint8_t* control = in.Take(n);
                if (n >= 4)
                    frame.Transparent = (control[0] & 1) ? control[3] : -1;
            }
            in.ReadSubBlocks(nullptr);
        } else if (block == 0x2C) {
            break;
        } else {
            return TCodecResult::Corrupt;  // the trailer before any frame, or junk
        }
    }
    if (!in.Has(10))
        return TCodecResult::Corrupt;
    const uint8_t* desc = in.Take(9);
    frame.Left = Le16(desc);
    frame.Top = Le16(desc + 2);
    frame.Width = Le16(desc + 4);
    frame.Height = Le16(desc + 6);
    frame.Interlaced = (desc[8] & 0x40) != 0;
    frame.Colours = ReadColourTable(in, desc[8], ok);
    if (!ok)
        return TCodecResult::Corrupt;
    if (!(desc[8] & 0x80))
        frame.Colours = std::move(global);
    if (!in.Has(1))
        return TCodecResult::Corrupt;
    int minCodeSize = *in.Take(1);
    if (minCodeSize < 2 || minCodeSize > 8 || frame.Width == 0 || frame.Height == 0)
        return TCodecResult::Corrupt;

    // One LZW code yields at most a table's worth of pixels: a frame larger than the
    // data could describe is refused before anything is allocated.
    const uint64_t pixels = uint64_t(frame.Width) * uint64_t(frame.Height);
    if (pixels / kMaxCodes > in.Left())
        return TCodecResult::Corrupt;
    std::vector<uint8_t> codes;
    in.ReadSubBlocks(&codes);

    // The picture is the logical screen, grown when the frame reaches past it.
    if (auto r = AllocatePixels(out, std::max(screenWidth, frame.Left + frame.Width),
                                std::max(screenHeight, frame.Top + frame.Height));
        r != TCodecResult::Ok)
        return r;
    TRowOrder rows(frame.Height, frame.Interlaced);
    int64_t x = 0;
    auto emit = [&](uint8_t index) {
        uint32_t colour = index < frame.Colours.size() ? frame.Colours[index] : Argb(255, 0, 0, 0);
        if (index == frame.Transparent)
            colour &= 0x00FFFFFFu;
        int64_t y = frame.Top + rows.Row();
        out.Pixels[size_t(y * out.Width + frame.Left + x)] = colour;
        if (++x == frame.Width) {
            x = 0;
            rows.Next();
        }
    };
    if (!DecodeLzw(codes, minCodeSize, pixels, emit))
        return TCodecResult::Corrupt;
    out.PixelFormat = PixelFormat8bppIndexed;
    out.RawFormat = ImageFormatGIF;
    out.DpiX = out.DpiY = 96.0;
    return TCodecResult::Ok;
}

}  // namespace dcs::imaging::detail
