#include "platform/gdiplus/GdipObjects.h"

namespace dcs::gdiplus {
namespace {

GpImageAttributesImpl* A(GpImageAttributes* a) { return static_cast<GpImageAttributesImpl*>(a); }

// Adjustments this engine does not perform: switching them off is always fine.
Status Unsupported(GpImageAttributes* imageattr, BOOL enableFlag)
{
    if (!imageattr)
        return InvalidParameter;
    return enableFlag ? NotImplemented : Ok;
}

cairo_filter_t Filter(InterpolationMode mode, const cairo_matrix_t& m)
{
    bool exact = std::abs(m.xx) == 1 && std::abs(m.yy) == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) &&
        m.y0 == std::floor(m.y0);
    if (exact || mode == InterpolationModeNearestNeighbor)
        return CAIRO_FILTER_NEAREST;
    if (mode == InterpolationModeHighQualityBicubic || mode == InterpolationModeBicubic ||
        mode == InterpolationModeHighQuality)
        return CAIRO_FILTER_GOOD;
    return CAIRO_FILTER_BILINEAR;
}

}  // namespace

void ApplyColorKey(cairo_surface_t* s, const GpImageAttributesImpl& a)
{
    cairo_surface_flush(s);
    auto* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + ptrdiff_t(y) * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t c = Unpremultiply(row[x]);
            bool in = true;
            for (int sh = 0; sh < 24 && in; sh += 8) {
                uint32_t v = (c >> sh) & 0xFF;
                in = v >= ((a.KeyLow >> sh) & 0xFF) && v <= ((a.KeyHigh >> sh) & 0xFF);
            }
            if (in)
                row[x] = 0;
        }
    }
    cairo_surface_mark_dirty(s);
}

Status GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth, REAL dstheight,
                             REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                             const GpImageAttributes* imageAttributes, DrawImageAbort, void*)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    if (!image || !AllFinite(dstx, dsty, dstwidth, dstheight, srcx, srcy, srcwidth, srcheight) || dstwidth == 0 ||
        dstheight == 0 || srcwidth <= 0 || srcheight <= 0)
        return InvalidParameter;
    if (srcUnit != UnitPixel && srcUnit != UnitWorld)
        return NotImplemented;
    GpImageImpl* img = I(image);
    if (img->Locked)
        return WrongState;
    cairo_surface_t* source = cairo_surface_reference(img->Surface);
    auto* attrs = static_cast<const GpImageAttributesImpl*>(imageAttributes);
    if (attrs && attrs->ColorKey) {
        cairo_surface_t* keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img->Width, img->Height);
        cairo_t* c = cairo_create(keyed);
        cairo_set_source_surface(c, source, 0, 0);
        cairo_paint(c);
        cairo_destroy(c);
        ApplyColorKey(keyed, *attrs);
        cairo_surface_destroy(source);
        source = keyed;
    }
    {
        TPainter p(G(graphics), false);  // images stay on the pixel grid
        cairo_t* cr = p.Cr();
        cairo_pattern_t* pat = cairo_pattern_create_for_surface(source);
        cairo_matrix_t m;  // destination rectangle -> source rectangle
        cairo_matrix_init_translate(&m, srcx, srcy);
        cairo_matrix_scale(&m, srcwidth / dstwidth, srcheight / dstheight);
        cairo_matrix_translate(&m, -dstx, -dsty);
        cairo_pattern_set_matrix(pat, &m);
        cairo_pattern_set_extend(pat, CAIRO_EXTEND_PAD);
        cairo_matrix_t toDevice, inv = m;
        cairo_get_matrix(cr, &toDevice);
        cairo_matrix_invert(&inv);
        cairo_matrix_t srcToDevice;
        cairo_matrix_multiply(&srcToDevice, &inv, &toDevice);
        cairo_pattern_set_filter(pat, Filter(G(graphics)->S.Interpolation, srcToDevice));
        cairo_set_source(cr, pat);
        cairo_rectangle(cr, std::min(dstx, dstx + dstwidth), std::min(dsty, dsty + dstheight), std::abs(dstwidth),
                        std::abs(dstheight));
        cairo_fill(cr);
        cairo_pattern_destroy(pat);
    }
    cairo_surface_destroy(source);
    return Ok;
}

Status GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth, INT dstheight,
                              INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                              const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData)
{
    return GdipDrawImageRectRect(graphics, image, REAL(dstx), REAL(dsty), REAL(dstwidth), REAL(dstheight), REAL(srcx),
                                 REAL(srcy), REAL(srcwidth), REAL(srcheight), srcUnit, imageAttributes, callback,
                                 callbackData);
}

Status GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height)
{
    if (!image)
        return InvalidParameter;
    return GdipDrawImageRectRect(graphics, image, x, y, width, height, 0, 0, REAL(I(image)->Width),
                                 REAL(I(image)->Height), UnitPixel, nullptr, nullptr, nullptr);
}

Status GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    return GdipDrawImageRect(graphics, image, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y)
{
    if (!image)
        return InvalidParameter;
    // At the image's physical size: its resolution against the screen's 96 DPI.
    const GpImageImpl* img = I(image);
    return GdipDrawImageRect(graphics, image, x, y, REAL(img->Width * 96.0 / img->DpiX),
                             REAL(img->Height * 96.0 / img->DpiY));
}

Status GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y)
{
    return GdipDrawImage(graphics, image, REAL(x), REAL(y));
}

Status GdipCreateImageAttributes(GpImageAttributes** imageattr)
{
    if (!imageattr)
        return InvalidParameter;
    *imageattr = new GpImageAttributesImpl;
    return Ok;
}

Status GdipCloneImageAttributes(const GpImageAttributes* imageattr, GpImageAttributes** cloneImageattr)
{
    if (!imageattr || !cloneImageattr)
        return InvalidParameter;
    *cloneImageattr = new GpImageAttributesImpl(*static_cast<const GpImageAttributesImpl*>(imageattr));
    return Ok;
}

Status GdipDisposeImageAttributes(GpImageAttributes* imageattr)
{
    if (!imageattr)
        return InvalidParameter;
    delete imageattr;
    return Ok;
}

Status GdipSetImageAttributesToIdentity(GpImageAttributes* imageattr, ColorAdjustType)
{
    return imageattr ? Ok : InvalidParameter;
}

Status GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType)
{
    if (!imageattr)
        return InvalidParameter;
    A(imageattr)->ColorKey = false;
    return Ok;
}

Status GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                       ARGB colorLow, ARGB colorHigh)
{
    if (!imageattr || type < ColorAdjustTypeDefault || type >= ColorAdjustTypeCount)
        return InvalidParameter;
    if (type != ColorAdjustTypeDefault && type != ColorAdjustTypeBitmap)
        return Ok;  // brushes, pens and text are never keyed here
    A(imageattr)->ColorKey = enableFlag != 0;
    A(imageattr)->KeyLow = colorLow;
    A(imageattr)->KeyHigh = colorHigh;
    return Ok;
}

Status GdipSetImageAttributesColorMatrix(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag,
                                         const ColorMatrix*, const ColorMatrix*, ColorMatrixFlags)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesThreshold(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag, REAL)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesGamma(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag, REAL)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesNoOp(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesOutputChannel(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag,
                                           ColorChannelFlags)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesOutputChannelColorProfile(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag,
                                                       const WCHAR*)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesRemapTable(GpImageAttributes* imageattr, ColorAdjustType, BOOL enableFlag, UINT,
                                        const ColorMap*)
{
    return Unsupported(imageattr, enableFlag);
}

Status GdipSetImageAttributesWrapMode(GpImageAttributes* imageAttr, WrapMode wrap, ARGB, BOOL)
{
    if (!imageAttr || wrap < WrapModeTile || wrap > WrapModeClamp)
        return InvalidParameter;
    return Ok;  // drawing always extends the edge pixels
}

Status GdipGetImageAttributesAdjustedPalette(GpImageAttributes* imageAttr, ColorPalette* colorPalette, ColorAdjustType)
{
    if (!imageAttr || !colorPalette)
        return InvalidParameter;
    return NotImplemented;
}

}  // namespace dcs::gdiplus
