#include "ui/controls/SmGDIPPicture.h"

#include "platform/base/Strings.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/Graphics.h"
#include "ui/controls/RawResources.h"

#include <memory>
#include <new>

namespace dcs::smooth {

// ------------------------------------------------------------ header readers

namespace {

// Bounds-checked reads: every reader stops at the end of the data.
struct Reader {
    const std::vector<uint8_t>& D;
    size_t Pos = 0;
    bool Byte(uint8_t& b)
    {
        if (Pos >= D.size())
            return false;
        b = D[Pos++];
        return true;
    }
    bool Has(size_t at, size_t n) const { return at <= D.size() && n <= D.size() - at; }
    uint16_t BE16(size_t at) const { return uint16_t((D[at] << 8) | D[at + 1]); }
    uint16_t LE16(size_t at) const { return uint16_t(D[at] | (D[at + 1] << 8)); }
    uint32_t LE32(size_t at) const
    {
        return uint32_t(D[at]) | (uint32_t(D[at + 1]) << 8) | (uint32_t(D[at + 2]) << 16) | (uint32_t(D[at + 3]) << 24);
    }
};

}  // namespace

THeaderSize ReadJPEGSize(const std::vector<uint8_t>& data)
{
    Reader r {data};
    if (!r.Has(0, 2) || data[0] != 0xFF || data[1] != 0xD8)
        return {};
    r.Pos = 2;
    uint8_t m = 0;
    if (!r.Byte(m))
        return {};
    while (m == 0xFF) {
        uint8_t b = 0;
        if (!r.Byte(b))
            return {};
        if (b == 0xFF)
            continue;
        if (b == 0xC0 || b == 0xC1 || b == 0xC2) {
            // Segment length and sample precision, then height and width.
            if (!r.Has(r.Pos + 3, 4))
                return {};
            return {r.BE16(r.Pos + 5), r.BE16(r.Pos + 3)};
        }
        if (b == 0x01 || (b >= 0xD0 && b <= 0xD7))
            continue;
        if (!r.Has(r.Pos, 2))
            return {};
        const uint16_t len = r.BE16(r.Pos);
        if (len < 2)
            return {};  // a length below its own two bytes would loop or run backwards
        r.Pos += len;
        if (!r.Byte(m))
            return {};
    }
    return {};
}

THeaderSize ReadPNGSize(const std::vector<uint8_t>& data)
{
    static const uint8_t sig[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    Reader r {data};
    if (!r.Has(0, 24) || !std::equal(sig, sig + 8, data.begin()))
        return {};
    return {r.BE16(18), r.BE16(22)};
}

THeaderSize ReadBMPSize(const std::vector<uint8_t>& data)
{
    Reader r {data};
    if (!r.Has(0, 26) || data[0] != 'B' || data[1] != 'M')
        return {};
    return {uint16_t(r.LE32(18)), uint16_t(r.LE32(22))};
}

THeaderSize ReadTIFFSize(const std::vector<uint8_t>& data)
{
    Reader r {data};
    if (!r.Has(0, 8))
        return {};
    const uint32_t ifd = r.LE32(4);
    if (!r.Has(ifd, 2))
        return {};
    const unsigned n = r.LE16(ifd);
    uint32_t w = 0xFFFFFFFF, h = 0xFFFFFFFF;
    for (unsigned i = 0; i < n; ++i) {
        const size_t e = size_t(ifd) + 2 + size_t(i) * 12;
        if (!r.Has(e, 12))
            break;
        const uint16_t tag = r.LE16(e);
        if (tag == 256)
            w = r.LE32(e + 8);
        else if (tag == 257)
            h = r.LE32(e + 8);
        if (w != 0xFFFFFFFF && h != 0xFFFFFFFF)
            return {uint16_t(std::abs(int32_t(w))), uint16_t(std::abs(int32_t(h)))};
    }
    return {};
}

THeaderSize ReadGIFSize(const std::vector<uint8_t>& data)
{
    Reader r {data};
    if (!r.Has(0, 13) || data[0] != 'G' || data[1] != 'I' || data[2] != 'F')
        return {};
    r.Pos = 13;
    if (data[10] & 0x80)
        r.Pos += 3u << ((data[10] & 7) + 1);
    uint8_t b = 0;
    while (r.Byte(b))
        if (b == 0x2C) {
            if (!r.Has(r.Pos, 10))
                return {};
            return {r.LE16(r.Pos + 4), r.LE16(r.Pos + 6)};
        }
    return {};
}

THeaderSize ReadSizeByExtension(const std::string& fileName, const std::vector<uint8_t>& data)
{
    const size_t dot = fileName.find_last_of('.');
    const std::string ext = dot == std::string::npos ? "" : UpperCase(fileName.substr(dot));
    if (ext == ".JPG" || ext == ".JPEG")
        return ReadJPEGSize(data);
    if (ext == ".PNG")
        return ReadPNGSize(data);
    if (ext == ".BMP")
        return ReadBMPSize(data);
    if (ext == ".TIFF" || ext == ".TIF")
        return ReadTIFFSize(data);
    if (ext == ".GIF")
        return ReadGIFSize(data);
    return {};
}

// ------------------------------------------------------------------ picture

void TSmGDIPPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

template <class Use> bool TSmGDIPPicture::Decode(Use use)
{
    if (FIsEmpty)
        return false;
    return DecodePictureBytes(FData, [&](TGPImage& image) { use(image, nullptr); });
}

bool TSmGDIPPicture::GetImageSizes()
{
    return Decode([&](TGPImage& image, IStream*) {
        FWidth = int(image.GetWidth());
        FHeight = int(image.GetHeight());
    });
}

void TSmGDIPPicture::AssignPicture(const TSmGDIPPicture* Source)
{
    FIsEmpty = true;
    if (!Source) {
        FData.clear();
        Changed();
        if (OnClear)
            OnClear(this);
        return;
    }
    FData = Source->FData;
    FIsEmpty = FData.empty();
    Changed();
    GetImageSizes();
}

void TSmGDIPPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        AssignPicture(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TSmGDIPPicture*>(Source)) {
        AssignPicture(p);
        return;
    }
    // A framework graphic (or the graphic of a picture) is kept in its stored form.
    TGraphic* graphic = dynamic_cast<TGraphic*>(Source);
    if (auto* holder = dynamic_cast<TPicture*>(Source))
        graphic = holder->Graphic();
    if (graphic) {
        FData = graphic->SaveToBytes();
        FIsEmpty = false;
        Changed();
        GetImageSizes();
        return;
    }
    // Unsupported sources leave the data and the picture empty, without events.
    FIsEmpty = true;
}

void TSmGDIPPicture::LoadFromBytes(std::vector<uint8_t> Bytes)
{
    if (Bytes.empty())
        return;
    FData = std::move(Bytes);
    FIsEmpty = false;
    GetImageSizes();
    Changed();
}

void TSmGDIPPicture::LoadFromStream(TStream* Stream)
{
    if (!Stream || Stream->Size() <= 0)
        return;
    LoadFromBytes(ReadStreamBytes(*Stream));
}

void TSmGDIPPicture::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            // As LoadFromStream, without OnChange.
            std::vector<uint8_t> bytes = ReadRestBytes(S);
            if (bytes.empty())
                return;
            FData = std::move(bytes);
            FIsEmpty = false;
            GetImageSizes();
        },
        [this](TStream& S) { SaveToStream(&S); }, !FIsEmpty);
}

void TSmGDIPPicture::SaveToStream(TStream* Stream) const { WriteBytes(Stream, FData); }

void TSmGDIPPicture::LoadFromFile(const std::string& FileName)
{
    try {
        FData = ReadFileBytes(FileName);
        FIsEmpty = false;
        if (OnClear)
            OnClear(this);
        const THeaderSize s = ReadSizeByExtension(FileName, FData);
        FWidth = s.Width;
        FHeight = s.Height;
        Changed();
    } catch (...) {
        FData.clear();
        FIsEmpty = true;
    }
}

void TSmGDIPPicture::LoadFromResourceName(const std::string& ResName)
{
    if (const std::vector<uint8_t>* bytes = FindRawResource(ResName))
        LoadFromBytes(*bytes);
}

void TSmGDIPPicture::LoadFromURL(const std::string& Url)
{
    LoadPictureFromURL(
        Url, [&](const std::string& name) { LoadFromResourceName(name); },
        [&](const std::string& file) { LoadFromFile(file); });
}

void TSmGDIPPicture::DrawDecoded(TGPGraphics* g, TGPImage& image, const TGPRectF& dest, bool floatRect)
{
    FHasAlpha = image.HasAlphaChannel();
    FHasPalette = image.HasPalette();
    FPixelDepth = image.GetPixelDepth();
    FPixelFormat = image.GetPixelFormat();
    FWidth = int(image.GetWidth());
    FHeight = int(image.GetHeight());
    if (image.GetFormat() == ifBMP && Transparent) {
        ARGB key = ARGBFromColor(255, TransparentColor);
        if (TransparentMode == tmAuto) {
            // The decoded picture is a bitmap: its bottom-left pixel names the key.
            GdipBitmapGetPixel(static_cast<GpBitmap*>(image.nativeImage), 0, FHeight - 1, &key);
        }
        TGPImageAttributes attr;
        attr.SetColorKey(key, key, ColorAdjustTypeDefault);
        g->DrawImage(&image, dest, 0, 0, REAL(FWidth), REAL(FHeight), UnitPixel, &attr);
        return;
    }
    if (floatRect)
        g->DrawImageRect(&image, dest);
    else
        g->DrawImageRect(&image, INT(dest.X), INT(dest.Y), INT(dest.Width), INT(dest.Height));
}

void TSmGDIPPicture::GDIPDraw(TGPGraphics* Graphics, const TRect& R)
{
    Decode([&](TGPImage& image, IStream*) {
        DrawDecoded(Graphics, image,
                    TGPRectF {REAL(R.Left), REAL(R.Top), REAL(R.Right - R.Left), REAL(R.Bottom - R.Top)}, false);
    });
}

void TSmGDIPPicture::GDIPDraw(TGPGraphics* Graphics, const TGPRectF& R)
{
    Decode([&](TGPImage& image, IStream*) { DrawDecoded(Graphics, image, R, true); });
}

void TSmGDIPPicture::FillRect(TGPGraphics* Graphics, const TGPRectF& R)
{
    Decode([&](TGPImage& image, IStream*) {
        TGPTextureBrush brush(&image, WrapModeTile);
        Graphics->FillRectangle(&brush, R);
    });
}

void TSmGDIPPicture::FillPath(TGPGraphics* Graphics, TGPGraphicsPath* Path)
{
    Decode([&](TGPImage& image, IStream*) {
        TGPTextureBrush brush(&image, WrapModeTile);
        Graphics->FillPath(&brush, Path);
    });
}

TGPTextureBrush* TSmGDIPPicture::CreateTextureBrush(WrapMode Mode)
{
    TGPTextureBrush* brush = nullptr;
    Decode([&](TGPImage& image, IStream*) { brush = new TGPTextureBrush(&image, Mode); });
    return brush;
}

}  // namespace dcs::smooth
