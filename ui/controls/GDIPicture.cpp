#include "ui/controls/GDIPicture.h"

#include "platform/classes/Streaming.h"
#include "platform/controls/Graphics.h"
#include "ui/controls/PictureDecode.h"
#include "ui/controls/RawResources.h"

namespace dcs::smooth {

void TGDIPPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

bool TGDIPPicture::GetImageSizes()
{
    if (FIsEmpty)
        return false;
    return DecodePictureBytes(FData, [&](TGPImage& image) {
        FWidth = int(image.GetWidth());
        FHeight = int(image.GetHeight());
    });
}

void TGDIPPicture::Assign(TPersistent* Source)
{
    FIsEmpty = true;
    if (!Source) {
        FData.clear();
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    // A bitmap, or the graphic of a picture, in its own file form (BMP for a bitmap).
    TGraphic* graphic = dynamic_cast<TBitmap*>(Source);
    if (auto* holder = dynamic_cast<TPicture*>(Source))
        graphic = holder->Graphic();
    if (graphic) {
        FData = graphic->SaveToBytes();
        FIsEmpty = false;
        Changed();
        GetImageSizes();
        return;
    }
    auto* p = dynamic_cast<TGDIPPicture*>(Source);
    if (!p)
        return;
    FData = p->FData;
    FIsEmpty = FData.empty();
    Changed();
    GetImageSizes();
}

void TGDIPPicture::SetData(std::vector<uint8_t> Bytes)
{
    FData = std::move(Bytes);
    FIsEmpty = false;
    GetImageSizes();
    Changed();
}

void TGDIPPicture::LoadFromStream(TStream* Stream)
{
    if (!Stream)
        return;
    SetData(ReadStreamBytes(*Stream));
}

void TGDIPPicture::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            // Loaded as it is: no measuring, no events.
            FData = ReadRestBytes(S);
            FIsEmpty = false;
        },
        [this](TStream& S) { SaveToStream(&S); }, !FIsEmpty);
}

void TGDIPPicture::SaveToStream(TStream* Stream) const { WriteBytes(Stream, FData); }

void TGDIPPicture::LoadFromFile(const std::string& FileName)
{
    try {
        FData = ReadFileBytes(FileName);
        FIsEmpty = false;
        if (OnClear)
            OnClear(this);
        GetImageSizes();
        Changed();
    } catch (...) {
        FData.clear();
        FIsEmpty = true;
    }
}

void TGDIPPicture::LoadFromResourceName(const std::string& ResName)
{
    if (const std::vector<uint8_t>* bytes = FindRawResource(ResName))
        SetData(*bytes);
}

void TGDIPPicture::LoadFromURL(const std::string& Url)
{
    LoadPictureFromURL(
        Url, [&](const std::string& name) { LoadFromResourceName(name); },
        [&](const std::string& file) { LoadFromFile(file); });
}

void TGDIPPicture::DrawImage(TGPGraphics* Graphics, int X, int Y)
{
    if (!FIsEmpty)
        DecodePictureBytes(FData, [&](TGPImage& image) { Graphics->DrawImage(&image, X, Y); });
}

void TGDIPPicture::DrawImageRect(TGPGraphics* Graphics, int X, int Y, int W, int H)
{
    if (!FIsEmpty)
        DecodePictureBytes(FData, [&](TGPImage& image) { Graphics->DrawImageRect(&image, X, Y, W, H); });
}

}  // namespace dcs::smooth
