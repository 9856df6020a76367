// The picture of the smooth controls: keeps the image file's encoded bytes exactly as
// loaded and decodes the whole buffer again for every draw or measurement. GUI thread
// only.
#pragma once

#include "platform/base/Streams.h"
#include "platform/classes/Classes.h"
#include "ui/controls/GPGraphics.h"
#include "ui/controls/PictureDecode.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dcs::smooth {

enum TTransparentMode {
    tmAuto,
    tmFixed
};

// Header size readers: they stop at the end of the data and answer 0 x 0 for anything
// they do not recognise. The 16-bit results are the low halves of the stored sizes.
struct THeaderSize {
    uint16_t Width = 0;
    uint16_t Height = 0;
};
THeaderSize ReadJPEGSize(const std::vector<uint8_t>& data);
THeaderSize ReadPNGSize(const std::vector<uint8_t>& data);
THeaderSize ReadBMPSize(const std::vector<uint8_t>& data);
THeaderSize ReadTIFFSize(const std::vector<uint8_t>& data);
THeaderSize ReadGIFSize(const std::vector<uint8_t>& data);
// By the file name's extension (case-insensitive); other extensions give 0 x 0.
THeaderSize ReadSizeByExtension(const std::string& fileName, const std::vector<uint8_t>& data);

class TSmGDIPPicture : public TPersistent {
    DCS_CLASS(TSmGDIPPicture, TPersistent)

    TSmGDIPPicture() = default;

    bool Empty() const { return FIsEmpty; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const std::vector<uint8_t>& Data() const { return FData; }

    bool Transparent = false;
    TTransparentMode TransparentMode = tmAuto;
    TColor TransparentColor = 0xFFFFFF;
    bool DoubleBuffered = false;
    std::string ID;
    int PixelFormat() const { return FPixelFormat; }
    int PixelDepth() const { return FPixelDepth; }
    bool HasAlpha() const { return FHasAlpha; }
    bool HasPalette() const { return FHasPalette; }

    // Copies another picture's bytes; nil clears (OnChange, then OnClear). Any other
    // source leaves the picture empty without events.
    void Assign(TPersistent* Source) override;
    void AssignPicture(const TSmGDIPPicture* Source);
    // Whole file; the size comes from the header. Failures leave the picture empty.
    void LoadFromFile(const std::string& FileName);
    // Nothing for a stream of size 0; reads the whole stream from its start.
    void LoadFromStream(TStream* Stream);
    void LoadFromBytes(std::vector<uint8_t> Bytes);
    void SaveToStream(TStream* Stream) const;
    // "RES://name" loads a named byte resource, "FILE://path" a file; any case.
    void LoadFromURL(const std::string& Url);
    void LoadFromResourceName(const std::string& ResName);

    bool GetImageSizes();
    void GDIPDraw(TGPGraphics* Graphics, const TRect& Rect);
    void GDIPDraw(TGPGraphics* Graphics, const TGPRectF& Rect);
    // Tiled from the surface's origin.
    void FillRect(TGPGraphics* Graphics, const TGPRectF& R);
    void FillPath(TGPGraphics* Graphics, TGPGraphicsPath* Path);
    // A texture brush of the decoded image (the caller owns it); nil when empty.
    TGPTextureBrush* CreateTextureBrush(WrapMode Mode = WrapModeTile);

    // Stored with the form as "Data": the encoded bytes as they are.
    void DefineProperties(TFiler& Filer) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnClear;

private:
    template <class Use> bool Decode(Use use);
    void Changed();
    void DrawDecoded(TGPGraphics* g, TGPImage& image, const TGPRectF& dest, bool floatRect);

    std::vector<uint8_t> FData;
    bool FIsEmpty = true;
    int FWidth = 0, FHeight = 0;
    int FPixelDepth = 0, FPixelFormat = 0;
    bool FHasAlpha = false, FHasPalette = false;
};

}  // namespace dcs::smooth
