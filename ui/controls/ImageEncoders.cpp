#include "ui/controls/ImageEncoders.h"

#include <algorithm>
#include <vector>

namespace dcs::smooth {

void QualityEncoderParameters(int quality, TQualityParameters& out)
{
    out.Quality = UINT(std::clamp(quality, 0, 100));
    out.List.Count = 1;
    out.List.Parameter[0].Guid = EncoderQuality;
    out.List.Parameter[0].NumberOfValues = 1;
    out.List.Parameter[0].Type = 4;
    out.List.Parameter[0].Value = &out.Quality;
}

bool EncoderClsidForType(TImageType imageType, TGUID& clsid)
{
    static const char16_t* const kMime[] = {u"image/png", u"image/bmp", u"image/jpeg", u"image/tiff", u"image/gif"};
    clsid = TGUID {};
    if (imageType < itPNG || imageType > itGIF)
        return false;
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || count == 0 || size < count * sizeof(ImageCodecInfo))
        return false;
    // The listing is one block: records first, then the strings they point into.
    std::vector<ImageCodecInfo> block((size + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
    if (GdipGetImageEncoders(count, size, block.data()) != Ok)
        return false;
    const std::u16string_view want = kMime[imageType];
    for (UINT i = 0; i < count; ++i)
        if (block[i].MimeType && std::u16string_view(block[i].MimeType) == want) {
            clsid = block[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace dcs::smooth
