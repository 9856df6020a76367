#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cmath>

namespace dcs {
namespace {

// GDI draws aliased: shapes cover the pixels whose centres they contain.
struct TPaint {
    explicit TPaint(HDC dc) : Cr(gdi::BeginPaint(dc))
    {
        if (Cr)
            cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
    }
    ~TPaint()
    {
        if (Cr)
            cairo_destroy(Cr);
    }
    TPaint(const TPaint&) = delete;
    TPaint& operator=(const TPaint&) = delete;
    explicit operator bool() const { return Cr != nullptr; }
    cairo_t* Cr;
};

bool FillWithBrush(cairo_t* cr, HBRUSH brush)
{
    if (!brush || brush->Null) {
        cairo_new_path(cr);
        return true;
    }
    gdi::SetSourceColorRef(cr, brush->Color);
    cairo_fill(cr);
    return true;
}

// Strokes the current path with the pen; a null pen only clears the path.
void StrokeWithPen(cairo_t* cr, HPEN pen)
{
    if (!pen || pen->Style == PS_NULL) {
        cairo_new_path(cr);
        return;
    }
    static const double kDash[] = {18, 6}, kDot[] = {3, 3}, kDashDot[] = {9, 6, 3, 6},
                        kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (pen->Style) {
    case PS_DASH: cairo_set_dash(cr, kDash, 2, 0); break;
    case PS_DOT: cairo_set_dash(cr, kDot, 2, 0); break;
    case PS_DASHDOT: cairo_set_dash(cr, kDashDot, 4, 0); break;
    case PS_DASHDOTDOT: cairo_set_dash(cr, kDashDotDot, 6, 0); break;
    default: break;
    }
    cairo_set_line_width(cr, pen->Width);
    gdi::SetSourceColorRef(cr, pen->Color);
    cairo_stroke(cr);
}

void PenPoint(cairo_t* cr, int x, int y, bool move)
{
    if (move)
        cairo_move_to(cr, x + 0.5, y + 0.5);
    else
        cairo_line_to(cr, x + 0.5, y + 0.5);
}

}  // namespace

bool FillRect(HDC dc, const TRect& r, HBRUSH brush)
{
    TPaint p(dc);
    if (!p || !brush)
        return false;
    if (r.IsEmpty())
        return true;
    cairo_rectangle(p.Cr, r.Left, r.Top, r.Width(), r.Height());
    return FillWithBrush(p.Cr, brush);
}

bool FrameRect(HDC dc, const TRect& r, HBRUSH brush)
{
    TPaint p(dc);
    if (!p || !brush)
        return false;
    if (r.IsEmpty())
        return true;
    cairo_set_fill_rule(p.Cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(p.Cr, r.Left, r.Top, r.Width(), r.Height());
    if (r.Width() > 2 && r.Height() > 2)
        cairo_rectangle(p.Cr, r.Left + 1, r.Top + 1, r.Width() - 2, r.Height() - 2);
    return FillWithBrush(p.Cr, brush);
}

bool Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    TPaint p(dc);
    if (!p)
        return false;
    const TDcState& s = dc->State;
    cairo_rectangle(p.Cr, left, top, right - left, bottom - top);
    FillWithBrush(p.Cr, s.Brush);
    cairo_rectangle(p.Cr, left + 0.5, top + 0.5, right - left - 1, bottom - top - 1);
    StrokeWithPen(p.Cr, s.Pen);
    return true;
}

bool Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    TPaint p(dc);
    if (!p)
        return false;
    if (right <= left || bottom <= top)
        return true;
    const TDcState& s = dc->State;
    auto path = [&](double inset) {
        cairo_save(p.Cr);
        cairo_translate(p.Cr, (left + right) / 2.0, (top + bottom) / 2.0);
        cairo_scale(p.Cr, (right - left) / 2.0 - inset, (bottom - top) / 2.0 - inset);
        cairo_arc(p.Cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(p.Cr);
    };
    path(0);
    FillWithBrush(p.Cr, s.Brush);
    path(0.5);
    StrokeWithPen(p.Cr, s.Pen);
    return true;
}

bool RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h)
{
    TPaint p(dc);
    if (!p)
        return false;
    auto path = [&](double inset) {
        double l = left + inset, t = top + inset, r = right - inset, b = bottom - inset;
        double rx = std::min(w / 2.0, (r - l) / 2), ry = std::min(h / 2.0, (b - t) / 2);
        if (rx <= 0 || ry <= 0) {
            cairo_rectangle(p.Cr, l, t, r - l, b - t);
            return;
        }
        auto corner = [&](double cx, double cy, double a0) {
            cairo_save(p.Cr);
            cairo_translate(p.Cr, cx, cy);
            cairo_scale(p.Cr, rx, ry);
            cairo_arc(p.Cr, 0, 0, 1, a0, a0 + M_PI / 2);
            cairo_restore(p.Cr);
        };
        cairo_new_sub_path(p.Cr);
        corner(r - rx, t + ry, -M_PI / 2);
        corner(r - rx, b - ry, 0);
        corner(l + rx, b - ry, M_PI / 2);
        corner(l + rx, t + ry, M_PI);
        cairo_close_path(p.Cr);
    };
    path(0);
    FillWithBrush(p.Cr, dc->State.Brush);
    path(0.5);
    StrokeWithPen(p.Cr, dc->State.Pen);
    return true;
}

bool MoveToEx(HDC dc, int x, int y, TPoint* old)
{
    if (!dc)
        return false;
    if (old)
        *old = dc->State.Pos;
    dc->State.Pos = {x, y};
    return true;
}

bool LineTo(HDC dc, int x, int y)
{
    TPaint p(dc);
    if (!p)
        return false;
    TPoint from = dc->State.Pos;
    dc->State.Pos = {x, y};
    // The end pixel is left out: the square cap reaches half a pixel past the segment,
    // so the segment stops one pixel short of the end point's centre.
    double dx = x - from.X, dy = y - from.Y, len = std::hypot(dx, dy);
    if (len == 0)
        return true;
    cairo_move_to(p.Cr, from.X + 0.5, from.Y + 0.5);
    cairo_line_to(p.Cr, x + 0.5 - dx / len, y + 0.5 - dy / len);
    cairo_set_line_cap(p.Cr, CAIRO_LINE_CAP_SQUARE);
    StrokeWithPen(p.Cr, dc->State.Pen);
    return true;
}

bool Polyline(HDC dc, const TPoint* pts, int count)
{
    TPaint p(dc);
    if (!p || !pts || count < 2)
        return false;
    for (int i = 0; i < count; ++i)
        PenPoint(p.Cr, pts[i].X, pts[i].Y, i == 0);
    StrokeWithPen(p.Cr, dc->State.Pen);
    return true;
}

bool Polygon(HDC dc, const TPoint* pts, int count)
{
    TPaint p(dc);
    if (!p || !pts || count < 2)
        return false;
    cairo_set_fill_rule(p.Cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (int i = 0; i < count; ++i)
        PenPoint(p.Cr, pts[i].X, pts[i].Y, i == 0);
    cairo_close_path(p.Cr);
    cairo_path_t* path = cairo_copy_path(p.Cr);
    FillWithBrush(p.Cr, dc->State.Brush);
    cairo_append_path(p.Cr, path);
    cairo_path_destroy(path);
    StrokeWithPen(p.Cr, dc->State.Pen);
    return true;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    TPaint p(dc);
    if (!p)
        return CLR_INVALID;
    cairo_rectangle(p.Cr, x, y, 1, 1);
    gdi::SetSourceColorRef(p.Cr, color);
    cairo_fill(p.Cr);
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    if (!dc || !dc->State.Bitmap)
        return CLR_INVALID;
    HBITMAP b = dc->State.Bitmap;
    int dx = x - dc->State.Origin.X, dy = y - dc->State.Origin.Y;
    if (dx < 0 || dy < 0 || dx >= b->Width || dy >= b->Height)
        return CLR_INVALID;
    int stride = 0;
    uint32_t v = GetBitmapBits32(b, &stride)[size_t(dy) * size_t(stride / 4) + size_t(dx)];
    uint32_t a = v >> 24;
    auto chan = [&](int shift) -> uint8_t {
        uint32_t c = (v >> shift) & 0xFF;
        return uint8_t(a == 0 ? 0 : (c * 255 + a / 2) / a);
    };
    return RGB(chan(16), chan(8), chan(0));
}

}  // namespace dcs
