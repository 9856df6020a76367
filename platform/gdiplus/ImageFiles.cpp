#include "platform/gdiplus/GdipObjects.h"

#include "platform/base/Strings.h"
#include "platform/imaging/ImageCodecs.h"

#include <cstring>
#include <fstream>
#include <list>
#include <memory>
#include <mutex>

namespace dcs::gdiplus {
namespace {

using imaging::TCodecResult;
using imaging::TDecodedImage;

// Pictures are decoded again on every paint by their owners; the pixels of the last few
// are kept, keyed by the whole byte string (compared, not just hashed).
class TDecodeCache {
public:
    std::shared_ptr<const TDecodedImage> Find(const std::vector<uint8_t>& bytes)
    {
        std::lock_guard<std::mutex> lock(FLock);
        for (auto it = FEntries.begin(); it != FEntries.end(); ++it)
            if (it->Bytes == bytes) {
                FEntries.splice(FEntries.begin(), FEntries, it);
                return it->Image;
            }
        return nullptr;
    }
    void Add(const std::vector<uint8_t>& bytes, std::shared_ptr<const TDecodedImage> image)
    {
        size_t cost = bytes.size() + image->Pixels.size() * 4;
        if (cost > kBudget / 4)
            return;
        std::lock_guard<std::mutex> lock(FLock);
        FEntries.push_front({bytes, std::move(image), cost});
        FTotal += cost;
        while (FTotal > kBudget || FEntries.size() > kMaxEntries) {
            FTotal -= FEntries.back().Cost;
            FEntries.pop_back();
        }
    }

private:
    static constexpr size_t kBudget = 64u << 20;
    static constexpr size_t kMaxEntries = 32;
    struct TEntry {
        std::vector<uint8_t> Bytes;
        std::shared_ptr<const TDecodedImage> Image;
        size_t Cost;
    };
    std::mutex FLock;
    std::list<TEntry> FEntries;
    size_t FTotal = 0;
};

TDecodeCache& Cache()
{
    static TDecodeCache c;
    return c;
}

Status FromCodec(TCodecResult r)
{
    switch (r) {
    case TCodecResult::Ok: return Ok;
    case TCodecResult::UnknownFormat: return UnknownImageFormat;
    case TCodecResult::Corrupt: return InvalidParameter;
    case TCodecResult::Unsupported: return NotImplemented;
    case TCodecResult::OutOfMemory: return OutOfMemory;
    case TCodecResult::IoError: return Win32Error;
    }
    return GenericError;
}

Status Decode(const std::vector<uint8_t>& bytes, GpImage** image)
{
    std::shared_ptr<const TDecodedImage> d = Cache().Find(bytes);
    if (!d) {
        auto fresh = std::make_shared<TDecodedImage>();
        Status st = FromCodec(imaging::DecodeImage(bytes.data(), bytes.size(), *fresh));
        if (st != Ok)
            return st;
        d = fresh;
        Cache().Add(bytes, d);
    }
    GpImageImpl* img = ImageFromStraight(d->Width, d->Height, d->Pixels.data(), d->PixelFormat);
    img->RawFormat = d->RawFormat;
    img->DpiX = REAL(d->DpiX);
    img->DpiY = REAL(d->DpiY);
    *image = img;
    return Ok;
}

Status ReadFile(const WCHAR* filename, std::vector<uint8_t>& bytes)
{
    std::ifstream f(FromWide(filename, -1), std::ios::binary);
    if (!f)
        return FileNotFound;
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return f.bad() ? Win32Error : Ok;
}

Status ReadStream(IStream* stream, std::vector<uint8_t>& bytes)
{
    uint64_t size = 0;
    if (stream->Seek(0, 2, &size) != S_OK || stream->Seek(0, 0, nullptr) != S_OK)
        return InvalidParameter;
    if (size > (uint64_t(1) << 31))
        return OutOfMemory;
    bytes.resize(size_t(size));
    uint32_t got = 0;
    if (size && (stream->Read(bytes.data(), uint32_t(size), &got) != S_OK || got != size))
        return InvalidParameter;
    return Ok;
}

Status LoadFile(const WCHAR* filename, GpImage** image)
{
    if (!filename || !image)
        return InvalidParameter;
    std::vector<uint8_t> bytes;
    Status st = ReadFile(filename, bytes);
    return st == Ok ? Decode(bytes, image) : st;
}

Status LoadStream(IStream* stream, GpImage** image)
{
    if (!stream || !image)
        return InvalidParameter;
    IntfPtr<IStream> hold(stream);  // kept alive for the call
    std::vector<uint8_t> bytes;
    Status st = ReadStream(stream, bytes);
    return st == Ok ? Decode(bytes, image) : st;
}

Status Encode(GpImage* image, const TGUID* clsid, const EncoderParameters* params, std::vector<uint8_t>& out)
{
    if (!image || !clsid)
        return InvalidParameter;
    int quality = 75;
    for (UINT i = 0; params && i < params->Count; ++i) {
        const EncoderParameter& p = params->Parameter[i];
        if (p.Guid == EncoderQuality && p.NumberOfValues >= 1 && p.Type == 4 && p.Value)
            quality = int(std::min<uint32_t>(*static_cast<const uint32_t*>(p.Value), 100));
    }
    const GpImageImpl* img = I(image);
    TDecodedImage d;
    d.Width = img->Width;
    d.Height = img->Height;
    d.Pixels.resize(size_t(img->Width) * size_t(img->Height));
    for (int y = 0; y < img->Height; ++y)
        for (int x = 0; x < img->Width; ++x)
            d.Pixels[size_t(y) * size_t(img->Width) + size_t(x)] = img->StraightPixel(x, y);
    d.RawFormat = img->RawFormat;
    d.PixelFormat = img->Format;
    d.DpiX = img->DpiX;
    d.DpiY = img->DpiY;
    return FromCodec(imaging::EncodeImage(d, *clsid, out, quality));
}

}  // namespace

Status GdipLoadImageFromFile(const WCHAR* filename, GpImage** image) { return LoadFile(filename, image); }

Status GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image)
{
    return LoadFile(filename, image);  // no colour profiles: the same pixels
}

Status GdipLoadImageFromStream(IStream* stream, GpImage** image) { return LoadStream(stream, image); }

Status GdipLoadImageFromStreamICM(IStream* stream, GpImage** image) { return LoadStream(stream, image); }

Status GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap)
{
    return LoadFile(filename, reinterpret_cast<GpImage**>(bitmap));
}

Status GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap)
{
    return LoadFile(filename, reinterpret_cast<GpImage**>(bitmap));
}

Status GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap)
{
    return LoadStream(stream, reinterpret_cast<GpImage**>(bitmap));
}

Status GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap)
{
    return LoadStream(stream, reinterpret_cast<GpImage**>(bitmap));
}

Status GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const TGUID* clsidEncoder,
                           const EncoderParameters* encoderParams)
{
    if (!filename)
        return InvalidParameter;
    std::vector<uint8_t> bytes;
    Status st = Encode(image, clsidEncoder, encoderParams, bytes);
    if (st != Ok)
        return st;
    std::ofstream f(FromWide(filename, -1), std::ios::binary | std::ios::trunc);
    if (!f)
        return Win32Error;
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return f.good() ? Ok : Win32Error;
}

Status GdipSaveImageToStream(GpImage* image, IStream* stream, const TGUID* clsidEncoder,
                             const EncoderParameters* encoderParams)
{
    if (!stream)
        return InvalidParameter;
    std::vector<uint8_t> bytes;
    Status st = Encode(image, clsidEncoder, encoderParams, bytes);
    if (st != Ok)
        return st;
    uint32_t written = 0;
    if (stream->Write(bytes.data(), uint32_t(bytes.size()), &written) != S_OK || written != bytes.size())
        return Win32Error;
    return Ok;
}

Status GdipSaveAddImage(GpImage* image, GpImage* newImage, const EncoderParameters*)
{
    if (!image || !newImage)
        return InvalidParameter;
    return NotImplemented;
}

namespace {

// The listing's strings, as 16-bit text with terminators, per encoder.
std::vector<std::u16string> EncoderStrings(const imaging::TEncoderInfo& e)
{
    return {UTF8ToUTF16(e.CodecName), UTF8ToUTF16(e.FormatDescription), UTF8ToUTF16(e.FilenameExtension),
            UTF8ToUTF16(e.MimeType)};
}

size_t ListingSize()
{
    size_t size = imaging::Encoders().size() * sizeof(ImageCodecInfo);
    for (const auto& e : imaging::Encoders())
        for (const auto& s : EncoderStrings(e))
            size += (s.size() + 1) * sizeof(WCHAR);
    return size;
}

}  // namespace

Status GdipGetImageEncodersSize(UINT* numEncoders, UINT* size)
{
    if (!numEncoders || !size)
        return InvalidParameter;
    *numEncoders = UINT(imaging::Encoders().size());
    *size = UINT(ListingSize());
    return Ok;
}

Status GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders)
{
    const auto& list = imaging::Encoders();
    if (!encoders || numEncoders != list.size() || size != ListingSize())
        return GenericError;
    auto* text = reinterpret_cast<WCHAR*>(encoders + list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        ImageCodecInfo info;
        info.Clsid = list[i].Clsid;
        info.FormatID = list[i].FormatId;
        const WCHAR** slots[4] = {&info.CodecName, &info.FormatDescription, &info.FilenameExtension, &info.MimeType};
        auto strings = EncoderStrings(list[i]);
        for (size_t k = 0; k < 4; ++k) {
            std::memcpy(text, strings[k].c_str(), (strings[k].size() + 1) * sizeof(WCHAR));
            *slots[k] = text;
            text += strings[k].size() + 1;
        }
        info.Flags = 0x10007;  // encoder, supports bitmaps, built in
        info.Version = 1;
        encoders[i] = info;
    }
    return Ok;
}

}  // namespace dcs::gdiplus
