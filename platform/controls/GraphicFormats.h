// The picture file formats a graphic can keep: PNG, JPEG and icons (bitmaps are in
// Graphics.h), and the choice of class by a file's content.
#pragma once

#include "platform/controls/Graphics.h"

namespace dcs {

// PNG (and any other file the codecs read but no class keeps, such as GIF).
class TPngImage : public TGraphic {
    DCS_CLASS(TPngImage, TGraphic)

    TPngImage() = default;
};

// Keeps the JPEG file as loaded and writes it back unchanged.
class TJPEGImage : public TGraphic {
    DCS_CLASS(TJPEGImage, TGraphic)

    TJPEGImage() = default;
    bool LoadFromBytes(const uint8_t* Data, size_t Size) override;
    // The loaded file, or the pixels encoded anew when they came from another graphic.
    std::vector<uint8_t> SaveToBytes() const override;
    void Assign(TPersistent* Source) override;

private:
    std::vector<uint8_t> FData;
};

// Keeps the icon file as loaded (all its images); shows its first image.
class TIcon : public TGraphic {
    DCS_CLASS(TIcon, TGraphic)

    TIcon() = default;
    bool LoadFromBytes(const uint8_t* Data, size_t Size) override;
    std::vector<uint8_t> SaveToBytes() const override { return FData; }
    // Only another icon.
    void Assign(TPersistent* Source) override;

private:
    std::vector<uint8_t> FData;
};

// A graphic of the class that keeps the file's format (a bitmap for BMP, and so on);
// null when the bytes are no picture.
std::unique_ptr<TGraphic> GraphicFromBytes(const uint8_t* Data, size_t Size);

}  // namespace dcs
