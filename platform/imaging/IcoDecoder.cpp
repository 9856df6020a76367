// Icon and cursor files: the largest picture of the directory (the deepest among
// equals, the first among those), stored as a bitmap with a mask or as a PNG.
#include "platform/imaging/CodecSupportInternal.h"
#include "platform/imaging/ImageFormats.h"

#include <cstring>

namespace dcs::imaging::detail {

TCodecResult DecodeIco(const uint8_t* data, size_t size, TDecodedImage& out)
{
    constexpr size_t kHeader = 6, kEntry = 16;
    if (size < kHeader)
        return TCodecResult::Corrupt;
    size_t count = Le16(data + 4);
    if (count == 0 || (size - kHeader) / kEntry < count)
        return TCodecResult::Corrupt;

    const uint8_t* best = nullptr;
    uint64_t bestKey = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data + kHeader + i * kEntry;
        uint64_t w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
        uint64_t key = ((w * h) << 16) | Le16(e + 6);
        if (best == nullptr || key > bestKey) {
            best = e;
            bestKey = key;
        }
    }
    uint64_t length = Le32(best + 8), offset = Le32(best + 12);
    if (offset > size || length > size - offset)
        return TCodecResult::Corrupt;
    const uint8_t* image = data + offset;
    TCodecResult r = length >= 8 && std::memcmp(image, "\x89PNG\r\n\x1a\n", 8) == 0
        ? DecodePng(image, size_t(length), out)
        : DecodeIconDib(image, size_t(length), out);
    if (r != TCodecResult::Ok)
        return r;
    out.RawFormat = ImageFormatIcon;
    out.PixelFormat = PixelFormat32bppARGB;
    return TCodecResult::Ok;
}

}  // namespace dcs::imaging::detail
