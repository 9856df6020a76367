#include "platform/controls/GraphicFormats.h"

#include "platform/controls/GraphicsInternal.h"
#include "platform/imaging/ImageCodecs.h"

#include <cairo.h>

namespace dcs {

namespace {

bool IsFormat(const uint8_t* Data, size_t Size, const TGUID& Format)
{
    TGUID raw;
    return Data && imaging::SniffFormat(Data, Size, raw) == imaging::TCodecResult::Ok && raw == Format;
}

}  // namespace

std::unique_ptr<TGraphic> GraphicFromBytes(const uint8_t* Data, size_t Size)
{
    TGUID raw;
    if (!Data || imaging::SniffFormat(Data, Size, raw) != imaging::TCodecResult::Ok)
        return nullptr;
    std::unique_ptr<TGraphic> g;
    if (raw == imaging::ImageFormatJPEG)
        g = std::make_unique<TJPEGImage>();
    else if (raw == imaging::ImageFormatIcon)
        g = std::make_unique<TIcon>();
    else if (raw == imaging::ImageFormatBMP)
        g = std::make_unique<TBitmap>();
    else
        g = std::make_unique<TPngImage>();
    if (!g->LoadFromBytes(Data, Size))
        return nullptr;
    return g;
}

// ---------------------------------------------------------------------------------
// TJPEGImage

bool TJPEGImage::LoadFromBytes(const uint8_t* Data, size_t Size)
{
    if (!IsFormat(Data, Size, imaging::ImageFormatJPEG) || !DecodeToSurface(Data, Size))
        return false;
    FData.assign(Data, Data + Size);
    return true;
}

std::vector<uint8_t> TJPEGImage::SaveToBytes() const
{
    if (!FData.empty() || !FSurface)
        return FData;
    imaging::TDecodedImage img;
    img.Width = Width();
    img.Height = Height();
    img.Pixels.resize(size_t(img.Width) * img.Height);
    cairo_surface_flush(FSurface);
    const uint8_t* px = cairo_image_surface_get_data(FSurface);
    int stride = cairo_image_surface_get_stride(FSurface);
    for (int y = 0; y < img.Height; ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(px + size_t(y) * stride);
        for (int x = 0; x < img.Width; ++x)
            img.Pixels[size_t(y) * img.Width + x] = StraightPixel(row[x]);
    }
    std::vector<uint8_t> out;
    imaging::EncodeImage(img, imaging::EncoderClsidJPEG, out, 90);
    return out;
}

void TJPEGImage::Assign(TPersistent* Source)
{
    if (auto* j = As<TJPEGImage>(Source)) {
        TGraphic::Assign(Source);
        FData = j->FData;
        return;
    }
    TGraphic::Assign(Source);
    FData.clear();  // encoded from the pixels when saved
}

// ---------------------------------------------------------------------------------
// TIcon

bool TIcon::LoadFromBytes(const uint8_t* Data, size_t Size)
{
    if (!IsFormat(Data, Size, imaging::ImageFormatIcon) || !DecodeToSurface(Data, Size))
        return false;
    FData.assign(Data, Data + Size);
    return true;
}

void TIcon::Assign(TPersistent* Source)
{
    auto* i = As<TIcon>(Source);
    if (!i) {
        TPersistent::Assign(Source);
        return;
    }
    TGraphic::Assign(Source);
    FData = i->FData;
}

}  // namespace dcs
