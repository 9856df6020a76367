#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <cstring>

namespace dcs::gdiplus {
namespace {

constexpr int64_t kMaxPixels = int64_t(1) << 28;

bool ValidDimensions(int64_t w, int64_t h) { return w > 0 && h > 0 && w * h <= kMaxPixels; }

// The formats whose pixels can be handed over directly.
int BytesPerPixel(PixelFormat f)
{
    switch (f) {
    case PixelFormat32bppARGB:
    case PixelFormat32bppPARGB:
    case PixelFormat32bppRGB: return 4;
    case PixelFormat24bppRGB: return 3;
    default: return 0;
    }
}

uint32_t ReadPixel(const uint8_t* p, PixelFormat f)
{
    switch (f) {
    case PixelFormat24bppRGB: return 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    case PixelFormat32bppRGB: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v | 0xFF000000u;
    }
    case PixelFormat32bppPARGB: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return Unpremultiply(v);
    }
    default: {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

void WritePixel(uint8_t* p, PixelFormat f, uint32_t argb)
{
    switch (f) {
    case PixelFormat24bppRGB:
        p[0] = uint8_t(argb);
        p[1] = uint8_t(argb >> 8);
        p[2] = uint8_t(argb >> 16);
        break;
    case PixelFormat32bppPARGB: {
        uint32_t v = Premultiply(argb);
        std::memcpy(p, &v, 4);
        break;
    }
    default: std::memcpy(p, &argb, 4); break;
    }
}

uint32_t* SurfaceRow(cairo_surface_t* s, int y)
{
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) +
                                       size_t(y) * size_t(cairo_image_surface_get_stride(s)));
}

// Every pixel's straight value, from the straight copy when there is one.
std::vector<uint32_t> AllStraight(const GpImageImpl& img)
{
    if (!img.Straight.empty())
        return img.Straight;
    cairo_surface_flush(img.Surface);
    std::vector<uint32_t> r(size_t(img.Width) * size_t(img.Height));
    for (int y = 0; y < img.Height; ++y) {
        const uint32_t* row = SurfaceRow(img.Surface, y);
        for (int x = 0; x < img.Width; ++x)
            r[size_t(y) * size_t(img.Width) + size_t(x)] = Unpremultiply(row[x]);
    }
    return r;
}

GpImageImpl* CopyArea(const GpImageImpl& src, int x, int y, int w, int h, PixelFormat format)
{
    std::vector<uint32_t> all = AllStraight(src), part(size_t(w) * size_t(h));
    for (int r = 0; r < h; ++r)
        std::copy_n(all.begin() + ptrdiff_t(size_t(y + r) * size_t(src.Width) + size_t(x)), w,
                    part.begin() + ptrdiff_t(size_t(r) * size_t(w)));
    GpImageImpl* img = ImageFromStraight(w, h, part.data(), format);
    img->RawFormat = src.RawFormat;
    img->DpiX = src.DpiX;
    img->DpiY = src.DpiY;
    return img;
}

GpImageImpl* Bm(GpBitmap* b) { return static_cast<GpImageImpl*>(b); }

}  // namespace

uint32_t Premultiply(uint32_t c)
{
    uint32_t a = c >> 24;
    if (a == 255)
        return c;
    if (a == 0)
        return 0;
    auto ch = [&](int s) { return ((((c >> s) & 0xFF) * a + 127) / 255) << s; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

uint32_t Unpremultiply(uint32_t c)
{
    uint32_t a = c >> 24;
    if (a == 255 || a == 0)
        return a == 0 ? 0 : c;
    auto ch = [&](int s) { return std::min(255u, (((c >> s) & 0xFF) * 255 + a / 2) / a) << s; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

GpImageImpl::GpImageImpl(int w, int h, PixelFormat format)
    : Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)), Width(w), Height(h), Format(format)
{
}

GpImageImpl::~GpImageImpl() { cairo_surface_destroy(Surface); }

uint32_t GpImageImpl::StraightPixel(int x, int y) const
{
    if (!Straight.empty())
        return Straight[size_t(y) * size_t(Width) + size_t(x)];
    cairo_surface_flush(Surface);
    return Unpremultiply(SurfaceRow(Surface, y)[x]);
}

void GpImageImpl::SetStraightPixel(int x, int y, uint32_t argb)
{
    if (!(Format & 0x40000) && !(Format & 0x10000))  // no alpha channel in this format
        argb |= 0xFF000000u;
    if (Straight.empty())
        Straight = AllStraight(*this);
    Straight[size_t(y) * size_t(Width) + size_t(x)] = argb;
    cairo_surface_flush(Surface);
    SurfaceRow(Surface, y)[x] = Premultiply(argb);
    cairo_surface_mark_dirty_rectangle(Surface, x, y, 1, 1);
}

void GpImageImpl::SurfaceChanging() { Straight.clear(); }

GpImageImpl* ImageFromStraight(int w, int h, const uint32_t* pixels, PixelFormat format)
{
    auto* img = new GpImageImpl(w, h, format);
    img->Straight.assign(pixels, pixels + size_t(w) * size_t(h));
    // Formats without an alpha channel hold opaque pixels; palettes may be transparent.
    bool opaque = !(format & 0x40000) && !(format & 0x10000);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = SurfaceRow(img->Surface, y);
        for (int x = 0; x < w; ++x) {
            uint32_t& s = img->Straight[size_t(y) * size_t(w) + size_t(x)];
            if (opaque)
                s |= 0xFF000000u;
            row[x] = Premultiply(s);
        }
    }
    cairo_surface_mark_dirty(img->Surface);
    return img;
}

Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0, GpBitmap** bitmap)
{
    int bpp = BytesPerPixel(format);
    if (!bitmap || !ValidDimensions(width, height) || bpp == 0)
        return InvalidParameter;
    if (scan0 && (stride % 4 != 0 || std::abs(int64_t(stride)) < int64_t(width) * bpp))
        return InvalidParameter;
    if (!scan0) {
        auto* img = new GpImageImpl(width, height, format);
        if (cairo_surface_status(img->Surface) != CAIRO_STATUS_SUCCESS) {
            delete img;
            return OutOfMemory;
        }
        *bitmap = img;
        return Ok;
    }
    std::vector<uint32_t> px(size_t(width) * size_t(height));
    for (INT y = 0; y < height; ++y) {
        const uint8_t* row = scan0 + ptrdiff_t(y) * stride;
        for (INT x = 0; x < width; ++x)
            px[size_t(y) * size_t(width) + size_t(x)] = ReadPixel(row + ptrdiff_t(x) * bpp, format);
    }
    *bitmap = ImageFromStraight(width, height, px.data(), format);
    return Ok;
}

Status GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap)
{
    if (!target)
        return InvalidParameter;
    return GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, bitmap);
}

Status GdipCreateBitmapFromHBITMAP(HBITMAP hbm, void*, GpBitmap** bitmap)
{
    if (!hbm || !bitmap)
        return InvalidParameter;
    int stride = 0;
    const uint32_t* bits = GetBitmapBits32(hbm, &stride);
    TSize size = GetBitmapSize(hbm);
    std::vector<uint32_t> px(size_t(size.cx) * size_t(size.cy));
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            px[size_t(y) * size_t(size.cx) + size_t(x)] =
                Unpremultiply(bits[size_t(y) * size_t(stride / 4) + size_t(x)]);
    *bitmap = ImageFromStraight(size.cx, size.cy, px.data(), PixelFormat32bppRGB);
    return Ok;
}

Status GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background)
{
    if (!bitmap || !hbmReturn)
        return InvalidParameter;
    GpImageImpl* img = Bm(bitmap);
    HBITMAP hbm = CreateBitmap32(img->Width, img->Height);
    if (!hbm)
        return OutOfMemory;
    cairo_t* cr = cairo_create(hbm->Surface);
    SetSourceARGB(cr, background);
    cairo_paint(cr);
    cairo_set_source_surface(cr, img->Surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    *hbmReturn = hbm;
    return Ok;
}

Status GdipCloneImage(GpImage* image, GpImage** cloneImage)
{
    if (!image || !cloneImage)
        return InvalidParameter;
    const GpImageImpl* src = I(image);
    *cloneImage = CopyArea(*src, 0, 0, src->Width, src->Height, src->Format);
    return Ok;
}

Status GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* srcBitmap,
                           GpBitmap** dstBitmap)
{
    if (!AllFinite(x, y, width, height))
        return InvalidParameter;
    return GdipCloneBitmapAreaI(INT(std::lround(x)), INT(std::lround(y)), INT(std::lround(width)),
                                INT(std::lround(height)), format, srcBitmap, dstBitmap);
}

Status GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                            GpBitmap** dstBitmap)
{
    if (!srcBitmap || !dstBitmap || x < 0 || y < 0 || width <= 0 || height <= 0)
        return InvalidParameter;
    const GpImageImpl* src = Bm(srcBitmap);
    if (int64_t(x) + width > src->Width || int64_t(y) + height > src->Height)
        return InvalidParameter;
    *dstBitmap = CopyArea(*src, x, y, width, height, format ? format : src->Format);
    return Ok;
}

Status GdipDisposeImage(GpImage* image)
{
    if (!image)
        return InvalidParameter;
    if (I(image)->Graphics > 0)
        return ObjectBusy;
    delete image;
    return Ok;
}

Status GdipGetImageType(GpImage* image, ImageType* type)
{
    if (!image || !type)
        return InvalidParameter;
    *type = ImageTypeBitmap;
    return Ok;
}

Status GdipGetImageWidth(GpImage* image, UINT* width)
{
    if (!image || !width)
        return InvalidParameter;
    *width = UINT(I(image)->Width);
    return Ok;
}

Status GdipGetImageHeight(GpImage* image, UINT* height)
{
    if (!image || !height)
        return InvalidParameter;
    *height = UINT(I(image)->Height);
    return Ok;
}

Status GdipGetImageDimension(GpImage* image, REAL* width, REAL* height)
{
    if (!image || !width || !height)
        return InvalidParameter;
    *width = REAL(I(image)->Width);
    *height = REAL(I(image)->Height);
    return Ok;
}

Status GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit)
{
    if (!image || !srcRect || !srcUnit)
        return InvalidParameter;
    *srcRect = {0, 0, REAL(I(image)->Width), REAL(I(image)->Height)};
    *srcUnit = UnitPixel;
    return Ok;
}

Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format)
{
    if (!image || !format)
        return InvalidParameter;
    *format = I(image)->Format;
    return Ok;
}

Status GdipGetImageRawFormat(GpImage* image, TGUID* format)
{
    if (!image || !format)
        return InvalidParameter;
    *format = I(image)->RawFormat;
    return Ok;
}

Status GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution)
{
    if (!image || !resolution)
        return InvalidParameter;
    *resolution = I(image)->DpiX;
    return Ok;
}

Status GdipGetImageVerticalResolution(GpImage* image, REAL* resolution)
{
    if (!image || !resolution)
        return InvalidParameter;
    *resolution = I(image)->DpiY;
    return Ok;
}

Status GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi)
{
    if (!bitmap || !AllFinite(xdpi, ydpi) || xdpi <= 0 || ydpi <= 0)
        return InvalidParameter;
    Bm(bitmap)->DpiX = xdpi;
    Bm(bitmap)->DpiY = ydpi;
    return Ok;
}

Status GdipGetImageThumbnail(GpImage* image, UINT thumbWidth, UINT thumbHeight, GpImage** thumbImage, ImageAbort, void*)
{
    if (!image || !thumbImage)
        return InvalidParameter;
    const GpImageImpl* src = I(image);
    UINT w = thumbWidth ? thumbWidth : 120, h = thumbHeight ? thumbHeight : 120;
    if (!ValidDimensions(w, h))
        return InvalidParameter;
    auto* img = new GpImageImpl(int(w), int(h), PixelFormat32bppPARGB);
    cairo_t* cr = cairo_create(img->Surface);
    cairo_scale(cr, double(w) / src->Width, double(h) / src->Height);
    cairo_set_source_surface(cr, src->Surface, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    *thumbImage = img;
    return Ok;
}

Status GdipImageRotateFlip(GpImage* image, RotateFlipType rfType)
{
    if (!image || rfType < RotateNoneFlipNone || rfType > Rotate270FlipX)
        return InvalidParameter;
    GpImageImpl* img = I(image);
    if (img->Graphics > 0 || img->Locked)
        return ObjectBusy;
    int turns = rfType & 3;
    bool flipX = rfType >= RotateNoneFlipX;
    std::vector<uint32_t> src = AllStraight(*img);
    int w = img->Width, h = img->Height;
    int nw = (turns & 1) ? h : w, nh = (turns & 1) ? w : h;
    std::vector<uint32_t> dst(src.size());
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            int fx = flipX ? nw - 1 - x : x;  // the flip follows the turn
            int sx = 0, sy = 0;
            switch (turns) {  // clockwise turns: where destination (fx, y) came from
            case 0:
                sx = fx;
                sy = y;
                break;
            case 1:
                sx = y;
                sy = h - 1 - fx;
                break;
            case 2:
                sx = w - 1 - fx;
                sy = h - 1 - y;
                break;
            default:
                sx = w - 1 - y;
                sy = fx;
                break;
            }
            dst[size_t(y) * size_t(nw) + size_t(x)] = src[size_t(sy) * size_t(w) + size_t(sx)];
        }
    GpImageImpl* turned = ImageFromStraight(nw, nh, dst.data(), img->Format);
    std::swap(img->Surface, turned->Surface);
    std::swap(img->Straight, turned->Straight);
    img->Width = nw;
    img->Height = nh;
    delete turned;
    return Ok;
}

Status GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color)
{
    if (!bitmap || !color)
        return InvalidParameter;
    GpImageImpl* img = Bm(bitmap);
    if (x < 0 || y < 0 || x >= img->Width || y >= img->Height)
        return InvalidParameter;
    if (img->Locked)
        return WrongState;
    *color = img->StraightPixel(x, y);
    return Ok;
}

Status GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color)
{
    if (!bitmap)
        return InvalidParameter;
    GpImageImpl* img = Bm(bitmap);
    if (x < 0 || y < 0 || x >= img->Width || y >= img->Height)
        return InvalidParameter;
    if (img->Locked)
        return WrongState;
    img->SetStraightPixel(x, y, color);
    return Ok;
}

Status GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format, BitmapData* data)
{
    if (!bitmap || !data || !(flags & (ImageLockModeRead | ImageLockModeWrite)))
        return InvalidParameter;
    GpImageImpl* img = Bm(bitmap);
    GpRect r = rect ? *rect : GpRect {0, 0, img->Width, img->Height};
    int bpp = BytesPerPixel(format);
    if (bpp == 0 || r.X < 0 || r.Y < 0 || r.Width <= 0 || r.Height <= 0 || int64_t(r.X) + r.Width > img->Width ||
        int64_t(r.Y) + r.Height > img->Height)
        return InvalidParameter;
    if (img->Locked)
        return WrongState;
    const bool user = flags & ImageLockModeUserInputBuf;
    if (user && (!data->Scan0 || std::abs(int64_t(data->Stride)) < int64_t(r.Width) * bpp))
        return InvalidParameter;
    INT stride = user ? data->Stride : INT((r.Width * bpp + 3) & ~3);
    uint8_t* base;
    if (user) {
        base = static_cast<uint8_t*>(data->Scan0);
    } else {
        img->LockBuffer.assign(size_t(stride) * size_t(r.Height), 0);
        base = img->LockBuffer.data();
    }
    if (flags & ImageLockModeRead)
        for (INT y = 0; y < r.Height; ++y)
            for (INT x = 0; x < r.Width; ++x)
                WritePixel(base + ptrdiff_t(y) * stride + ptrdiff_t(x) * bpp, format,
                           img->StraightPixel(r.X + x, r.Y + y));
    data->Width = UINT(r.Width);
    data->Height = UINT(r.Height);
    data->Stride = stride;
    data->PixelFormat = format;
    data->Scan0 = base;
    img->Locked = true;
    img->LockData = *data;
    img->LockRect = r;
    img->LockFlags = flags;
    return Ok;
}

Status GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* data)
{
    if (!bitmap || !data)
        return InvalidParameter;
    GpImageImpl* img = Bm(bitmap);
    if (!img->Locked)
        return WrongState;
    img->Locked = false;
    if (img->LockFlags & ImageLockModeWrite) {
        const BitmapData& d = img->LockData;
        int bpp = BytesPerPixel(d.PixelFormat);
        const auto* base = static_cast<const uint8_t*>(d.Scan0);
        for (INT y = 0; y < img->LockRect.Height; ++y)
            for (INT x = 0; x < img->LockRect.Width; ++x)
                img->SetStraightPixel(img->LockRect.X + x, img->LockRect.Y + y,
                                      ReadPixel(base + ptrdiff_t(y) * d.Stride + ptrdiff_t(x) * bpp, d.PixelFormat));
    }
    img->LockBuffer.clear();
    img->LockBuffer.shrink_to_fit();
    return Ok;
}

}  // namespace dcs::gdiplus
