#include "platform/gdiplus/GdipObjects.h"

namespace dcs::gdiplus {
namespace {

// The tile is the image (or the chosen part of it), mirrored into a double-size tile
// for the flip modes that cairo cannot repeat directly.
struct TTexture final : GpTexture, TBrushImpl {
    cairo_surface_t* Tile = nullptr;   // the image part, premultiplied
    cairo_surface_t* Paint = nullptr;  // what is repeated
    WrapMode Wrap = WrapModeTile;
    cairo_matrix_t Transform;

    TTexture() { cairo_matrix_init_identity(&Transform); }
    TTexture(const TTexture& o)
        : GpTexture(), TBrushImpl(), Tile(cairo_surface_reference(o.Tile)), Paint(cairo_surface_reference(o.Paint)),
          Wrap(o.Wrap), Transform(o.Transform)
    {
    }
    ~TTexture() override
    {
        cairo_surface_destroy(Tile);
        cairo_surface_destroy(Paint);
    }
    BrushType Type() const override { return BrushTypeTextureFill; }
    GpBrush* Clone() const override { return new TTexture(*this); }

    void Prepare()
    {
        if (Paint)
            cairo_surface_destroy(Paint);
        int w = cairo_image_surface_get_width(Tile), h = cairo_image_surface_get_height(Tile);
        bool fx = Wrap == WrapModeTileFlipX, fy = Wrap == WrapModeTileFlipY;
        if (!fx && !fy) {
            Paint = cairo_surface_reference(Tile);
            return;
        }
        Paint = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fx ? 2 * w : w, fy ? 2 * h : h);
        cairo_t* cr = cairo_create(Paint);
        cairo_set_source_surface(cr, Tile, 0, 0);
        cairo_paint(cr);
        cairo_translate(cr, fx ? 2 * w : 0, fy ? 2 * h : 0);
        cairo_scale(cr, fx ? -1 : 1, fy ? -1 : 1);
        cairo_set_source_surface(cr, Tile, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }

    bool SetSource(cairo_t* cr, const cairo_matrix_t&, const cairo_matrix_t& grid) const override
    {
        if (!Invertible(Transform))
            return false;
        cairo_pattern_t* pat = cairo_pattern_create_for_surface(Paint);
        cairo_pattern_set_extend(pat,
                                 Wrap == WrapModeClamp            ? CAIRO_EXTEND_NONE
                                     : Wrap == WrapModeTileFlipXY ? CAIRO_EXTEND_REFLECT
                                                                  : CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_multiply(&m, &Transform, &grid);
        bool exact =
            m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) && m.y0 == std::floor(m.y0);
        cairo_pattern_set_filter(pat, exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        // Tiles start at the world origin and stay on the pixel grid.
        cairo_matrix_t saved;
        cairo_get_matrix(cr, &saved);
        cairo_set_matrix(cr, &m);
        cairo_set_source(cr, pat);
        cairo_set_matrix(cr, &saved);
        cairo_pattern_destroy(pat);
        return true;
    }
};

TTexture* T(GpTexture* b) { return dynamic_cast<TTexture*>(static_cast<GpBrush*>(b)); }

Status Make(GpImage* image, WrapMode wrap, const GpImageAttributes* attrs, double x, double y, double w, double h,
            GpTexture** texture)
{
    if (!image || !texture || wrap < WrapModeTile || wrap > WrapModeClamp || !AllFinite(x, y, w, h))
        return InvalidParameter;
    const GpImageImpl* img = I(image);
    if (w == 0 && h == 0 && x == 0 && y == 0) {
        w = img->Width;
        h = img->Height;
    }
    int ix = int(std::lround(x)), iy = int(std::lround(y)), iw = int(std::lround(w)), ih = int(std::lround(h));
    if (ix < 0 || iy < 0 || iw <= 0 || ih <= 0 || ix + iw > img->Width || iy + ih > img->Height)
        return OutOfMemory;  // the part lies outside the image
    auto* t = new TTexture;
    t->Wrap = wrap;
    t->Tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, iw, ih);
    cairo_t* cr = cairo_create(t->Tile);
    cairo_set_source_surface(cr, img->Surface, -ix, -iy);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto* a = static_cast<const GpImageAttributesImpl*>(attrs);
    if (a && a->ColorKey)
        ApplyColorKey(t->Tile, *a);
    t->Prepare();
    *texture = t;
    return Ok;
}

Status Transform(GpTexture* brush, const cairo_matrix_t& op, MatrixOrder order)
{
    TTexture* t = T(brush);
    if (!t || (order != MatrixOrderPrepend && order != MatrixOrderAppend))
        return InvalidParameter;
    Compose(t->Transform, op, order);
    return Ok;
}

}  // namespace

Status GdipCreateTexture(GpImage* image, WrapMode wrapmode, GpTexture** texture)
{
    return Make(image, wrapmode, nullptr, 0, 0, 0, 0, texture);
}

Status GdipCreateTexture2(GpImage* image, WrapMode wrapmode, REAL x, REAL y, REAL width, REAL height,
                          GpTexture** texture)
{
    return Make(image, wrapmode, nullptr, x, y, width, height, texture);
}

Status GdipCreateTexture2I(GpImage* image, WrapMode wrapmode, INT x, INT y, INT width, INT height, GpTexture** texture)
{
    return Make(image, wrapmode, nullptr, x, y, width, height, texture);
}

Status GdipCreateTextureIA(GpImage* image, const GpImageAttributes* imageAttributes, REAL x, REAL y, REAL width,
                           REAL height, GpTexture** texture)
{
    return Make(image, WrapModeTile, imageAttributes, x, y, width, height, texture);
}

Status GdipCreateTextureIAI(GpImage* image, const GpImageAttributes* imageAttributes, INT x, INT y, INT width,
                            INT height, GpTexture** texture)
{
    return Make(image, WrapModeTile, imageAttributes, x, y, width, height, texture);
}

Status GdipGetTextureImage(GpTexture* brush, GpImage** image)
{
    TTexture* t = T(brush);
    if (!t || !image)
        return InvalidParameter;
    int w = cairo_image_surface_get_width(t->Tile), h = cairo_image_surface_get_height(t->Tile);
    auto* img = new GpImageImpl(w, h, PixelFormat32bppARGB);
    cairo_t* cr = cairo_create(img->Surface);
    cairo_set_source_surface(cr, t->Tile, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    *image = img;
    return Ok;
}

Status GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix)
{
    TTexture* t = T(brush);
    if (!t || !matrix || !Invertible(M(matrix)))
        return InvalidParameter;
    t->Transform = M(matrix);
    return Ok;
}

Status GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix)
{
    TTexture* t = T(brush);
    if (!t || !matrix)
        return InvalidParameter;
    M(matrix) = t->Transform;
    return Ok;
}

Status GdipResetTextureTransform(GpTexture* brush)
{
    TTexture* t = T(brush);
    if (!t)
        return InvalidParameter;
    cairo_matrix_init_identity(&t->Transform);
    return Ok;
}

Status GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order)
{
    if (!AllFinite(dx, dy))
        return InvalidParameter;
    return Transform(brush, MakeMatrix(1, 0, 0, 1, dx, dy), order);
}

Status GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order)
{
    if (!AllFinite(sx, sy))
        return InvalidParameter;
    return Transform(brush, MakeMatrix(sx, 0, 0, sy, 0, 0), order);
}

Status GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order)
{
    if (!Finite(angle))
        return InvalidParameter;
    double a = angle * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Transform(brush, MakeMatrix(c, s, -s, c, 0, 0), order);
}

Status GdipSetTextureWrapMode(GpTexture* brush, WrapMode wrapmode)
{
    TTexture* t = T(brush);
    if (!t || wrapmode < WrapModeTile || wrapmode > WrapModeClamp)
        return InvalidParameter;
    t->Wrap = wrapmode;
    t->Prepare();
    return Ok;
}

Status GdipGetTextureWrapMode(GpTexture* brush, WrapMode* wrapmode)
{
    TTexture* t = T(brush);
    if (!t || !wrapmode)
        return InvalidParameter;
    *wrapmode = t->Wrap;
    return Ok;
}

}  // namespace dcs::gdiplus
