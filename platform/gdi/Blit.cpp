#include "platform/gdi/GdiObjects.h"

namespace dcs {
namespace {

bool Copy(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop)
{
    if (!dst || !src || !src->State.Bitmap || rop != SRCCOPY)
        return false;
    if (w == 0 || h == 0 || sw == 0 || sh == 0)
        return true;
    cairo_t* cr = gdi::BeginPaint(dst);
    if (!cr)
        return false;
    cairo_surface_t* surface = src->State.Bitmap->Surface;
    bool self = src->State.Bitmap == dst->State.Bitmap;
    if (self)  // reading and writing one surface at once is not defined: copy first
        surface = cairo_surface_create_similar_image(surface, CAIRO_FORMAT_ARGB32, src->State.Bitmap->Width,
                                                     src->State.Bitmap->Height);
    if (self) {
        cairo_t* c = cairo_create(surface);
        cairo_set_source_surface(c, src->State.Bitmap->Surface, 0, 0);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        cairo_paint(c);
        cairo_destroy(c);
    }
    cairo_rectangle(cr, w < 0 ? x + w : x, h < 0 ? y + h : y, std::abs(w), std::abs(h));
    cairo_clip(cr);
    // Map source device pixels onto the destination rectangle.
    cairo_translate(cr, x, y);
    cairo_scale(cr, double(w) / sw, double(h) / sh);
    cairo_translate(cr, -(sx - src->State.Origin.X), -(sy - src->State.Origin.Y));
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    if (self)
        cairo_surface_destroy(surface);
    return true;
}

}  // namespace

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop)
{
    if (w < 0 || h < 0)
        return false;
    return Copy(dst, x, y, w, h, src, sx, sy, w, h, rop);
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop)
{
    return Copy(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}

}  // namespace dcs
