// The simpler picture of the hint windows: encoded bytes decoded for every draw, drawn at
// a point or stretched into a rectangle; its size always comes from decoding. GUI
// thread only.
#pragma once

#include "platform/base/Streams.h"
#include "platform/classes/Classes.h"
#include "ui/controls/GPGraphics.h"

#include <string>
#include <vector>

namespace dcs::smooth {

class TGDIPPicture : public TPersistent {
    DCS_CLASS(TGDIPPicture, TPersistent)

    TGDIPPicture() = default;

    bool Empty() const { return FIsEmpty; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const std::vector<uint8_t>& Data() const { return FData; }
    bool DoubleBuffered = false;
    TColor BackgroundColor = clNone;

    // Nil clears (OnChange, then OnClear); another TGDIPPicture is copied and a framework
    // bitmap kept in its stored form; anything else, other graphics and the other
    // picture class included, leaves this one empty without events.
    void Assign(TPersistent* Source) override;
    void LoadFromFile(const std::string& FileName);
    // Also a stream of size 0: the picture is then not empty but has no data.
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    void LoadFromResourceName(const std::string& ResName);
    void LoadFromURL(const std::string& Url);
    bool GetImageSizes();
    void DrawImage(TGPGraphics* Graphics, int X, int Y);
    void DrawImageRect(TGPGraphics* Graphics, int X, int Y, int W, int H);

    // Stored with the form as "Data": the encoded bytes as they are.
    void DefineProperties(TFiler& Filer) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnClear;

private:
    void Changed();
    void SetData(std::vector<uint8_t> Bytes);
    std::vector<uint8_t> FData;
    bool FIsEmpty = true;
    int FWidth = 0, FHeight = 0;
};

}  // namespace dcs::smooth
