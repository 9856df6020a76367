#include "ui/controls/ControlImage.h"

#include "ui/controls/ImageEncoders.h"
#include "ui/controls/PictureDecode.h"

namespace dcs::smooth {

void SaveControlImage(const std::function<void(TCanvas&)>& Paint, int Width, int Height, const std::string& FileName,
                      int ImageWidth, int ImageHeight, TImageType ImageType, int ImageQualityPercentage)
{
    TBitmap face;
    face.SetSize(Width, Height);
    if (!face.Empty())
        Paint(*face.Canvas());
    TBitmap scaled;
    scaled.SetSize(ImageWidth, ImageHeight);
    if (scaled.Empty())
        return;
    scaled.Canvas()->StretchDraw(TRect {0, 0, ImageWidth, ImageHeight}, &face);
    std::vector<uint8_t> bytes;
    try {
        const std::string png = scaled.SaveToPngBytes();
        bytes.assign(png.begin(), png.end());
    } catch (const std::bad_alloc&) {
        throw EPictureMemory("Could not allocate memory for image");
    }
    TGUID clsid {};
    EncoderClsidForType(ImageType, clsid);
    TQualityParameters quality;
    QualityEncoderParameters(ImageQualityPercentage, quality);
    DecodePictureBytes(bytes, [&](TGPImage& image) { image.Save(FileName, clsid, &quality.List); });
}

}  // namespace dcs::smooth
