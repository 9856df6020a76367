// BMP files as written by the BMP encoder: 24-bit rows for opaque pictures, 32-bit
// rows with an alpha mask (v4 header) when any pixel is translucent, so a decode of
// the file gives back the same pixels.
#include "platform/imaging/CodecSupportInternal.h"

#include <algorithm>

namespace dcs::imaging::detail {

TCodecResult EncodeBmp(const TDecodedImage& image, std::vector<uint8_t>& out)
{
    const bool alpha =
        std::any_of(image.Pixels.begin(), image.Pixels.end(), [](uint32_t p) { return (p >> 24) != 0xFF; });
    const uint32_t bits = alpha ? 32 : 24;
    const uint32_t headerSize = alpha ? 108 : 40;
    const uint64_t stride = (uint64_t(image.Width) * bits + 31) / 32 * 4;
    const uint64_t imageBytes = stride * uint64_t(image.Height);
    const uint64_t offset = 14 + headerSize;
    if (offset + imageBytes > 0xFFFFFFFFu)
        return TCodecResult::Unsupported;

    out.clear();
    out.reserve(size_t(offset + imageBytes));
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, uint32_t(offset + imageBytes));
    PutLe32(out, 0);
    PutLe32(out, uint32_t(offset));
    PutLe32(out, headerSize);
    PutLe32(out, uint32_t(image.Width));
    PutLe32(out, uint32_t(image.Height));  // bottom-up
    PutLe16(out, 1);
    PutLe16(out, bits);
    PutLe32(out, alpha ? 3 : 0);  // BI_BITFIELDS : BI_RGB
    PutLe32(out, uint32_t(imageBytes));
    PutLe32(out, PixelsPerMetre(image.DpiX));
    PutLe32(out, PixelsPerMetre(image.DpiY));
    PutLe32(out, 0);
    PutLe32(out, 0);
    if (alpha) {
        PutLe32(out, 0x00FF0000);
        PutLe32(out, 0x0000FF00);
        PutLe32(out, 0x000000FF);
        PutLe32(out, 0xFF000000);
        PutLe32(out, 0x73524742);             // 'sRGB' colour space
        out.resize(out.size() + 36 + 12, 0);  // end points and gamma, unused for sRGB
    }
    for (int y = image.Height - 1; y >= 0; --y) {
        const uint32_t* row = image.Pixels.data() + size_t(y) * image.Width;
        size_t start = out.size();
        for (int x = 0; x < image.Width; ++x) {
            uint32_t p = row[x];
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
            if (alpha)
                out.push_back(uint8_t(p >> 24));
        }
        out.resize(start + size_t(stride), 0);
    }
    return TCodecResult::Ok;
}

}  // namespace dcs::imaging::detail
