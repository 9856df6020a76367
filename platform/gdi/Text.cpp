#include "platform/gdi/GdiObjects.h"

#include <cmath>

namespace dcs {
namespace {

gdi::TFontSpec SpecOf(const TLogFont& lf)
{
    gdi::TFontSpec s;
    std::string family = gdi::ResolveFontFamily(lf.lfFaceName);
    if (!family.empty())
        s.Family = family;
    s.Bold = lf.lfWeight >= 600;
    s.Italic = lf.lfItalic != 0;
    s.Underline = lf.lfUnderline != 0;
    s.StrikeOut = lf.lfStrikeOut != 0;
    if (lf.lfHeight < 0) {
        s.PixelSize = -double(lf.lfHeight);
    } else if (lf.lfHeight > 0) {
        // A positive height is the cell (ascent + descent); scale the em to fit it.
        s.PixelSize = 100;
        double a = 0, d = 0;
        gdi::FontMetrics(s, &a, &d);
        s.PixelSize = a + d > 0 ? lf.lfHeight * 100.0 / (a + d) : lf.lfHeight;
    } else {
        s.PixelSize = 12;
    }
    return s;
}

const gdi::TFontSpec& DcFont(HDC dc)
{
    static const gdi::TFontSpec kDefault;
    return dc->State.Font ? dc->State.Font->Spec : kDefault;
}

struct TLayout {
    TLayout(const gdi::TFontSpec& f, std::string_view text, gdi::TPrefixMode mode)
        : L(gdi::CreateTextLayout(f, text, mode))
    {
    }
    ~TLayout() { g_object_unref(L); }
    TLayout(const TLayout&) = delete;
    TLayout& operator=(const TLayout&) = delete;
    void Extent(double* w, double* h) const
    {
        PangoRectangle logical;
        pango_layout_get_extents(L, nullptr, &logical);
        *w = gdi::FromPango(logical.width);
        *h = gdi::FromPango(logical.height);
    }
    PangoLayout* L;
};

}  // namespace

HFONT CreateFontIndirect(const TLogFont& lf)
{
    auto* f = new TFontObject;
    f->Log = lf;
    f->Spec = SpecOf(lf);
    return f;
}

HFONT CreateFont(int height, int escapement, int weight, bool italic, bool underline, bool strikeOut,
                 std::string_view faceName)
{
    TLogFont lf;
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfFaceName = faceName;
    return CreateFontIndirect(lf);
}

bool GetObjectFont(HFONT font, TLogFont* lf)
{
    if (!font || !lf)
        return false;
    *lf = font->Log;
    return true;
}

int FontHeightFromPoints(int points) { return -int(std::lround(points * 96.0 / 72.0)); }

bool GetTextMetrics(HDC dc, TTextMetric* tm)
{
    if (!dc || !tm)
        return false;
    const gdi::TFontSpec& f = DcFont(dc);
    double a = 0, d = 0;
    gdi::FontMetrics(f, &a, &d);
    *tm = {};
    tm->tmAscent = int(std::ceil(a));
    tm->tmDescent = int(std::ceil(d));
    tm->tmHeight = tm->tmAscent + tm->tmDescent;
    tm->tmInternalLeading = std::max(0, tm->tmHeight - int(std::lround(f.PixelSize)));
    TSize x;
    GetTextExtentPoint32(dc, "x", &x);
    TSize w;
    GetTextExtentPoint32(dc, "W", &w);
    tm->tmAveCharWidth = x.cx;
    tm->tmMaxCharWidth = w.cx;
    return true;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->State.TextColor;
    dc->State.TextColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetTextColor(HDC dc) { return dc ? dc->State.TextColor : CLR_INVALID; }

COLORREF SetBkColor(HDC dc, COLORREF color)
{
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->State.BkColor;
    dc->State.BkColor = color & 0xFFFFFF;
    return old;
}

COLORREF GetBkColor(HDC dc) { return dc ? dc->State.BkColor : CLR_INVALID; }

int SetBkMode(HDC dc, int mode)
{
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int old = dc->State.BkMode;
    dc->State.BkMode = mode;
    return old;
}

int GetBkMode(HDC dc) { return dc ? dc->State.BkMode : 0; }

bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size)
{
    if (!dc || !size)
        return false;
    TLayout t(DcFont(dc), text, gdi::TPrefixMode::None);
    double w = 0, h = 0;
    t.Extent(&w, &h);
    *size = {int(std::ceil(w - 1e-6)), int(std::ceil(h - 1e-6))};
    return true;
}

bool TextOut(HDC dc, int x, int y, std::string_view text) { return ExtTextOut(dc, x, y, 0, nullptr, text); }

bool ExtTextOut(HDC dc, int x, int y, uint32_t options, const TRect* rect, std::string_view text)
{
    cairo_t* cr = gdi::BeginPaint(dc);
    if (!cr)
        return false;
    if (rect && (options & ETO_OPAQUE)) {
        cairo_rectangle(cr, rect->Left, rect->Top, rect->Width(), rect->Height());
        gdi::SetSourceColorRef(cr, dc->State.BkColor);
        cairo_fill(cr);
    }
    if (rect && (options & ETO_CLIPPED)) {
        cairo_rectangle(cr, rect->Left, rect->Top, rect->Width(), rect->Height());
        cairo_clip(cr);
    }
    TLayout t(DcFont(dc), text, gdi::TPrefixMode::None);
    double w = 0, h = 0;
    t.Extent(&w, &h);
    cairo_translate(cr, x, y);
    if (dc->State.Font && dc->State.Font->Log.lfEscapement != 0)
        cairo_rotate(cr, -dc->State.Font->Log.lfEscapement / 10.0 * M_PI / 180.0);
    if (dc->State.BkMode == OPAQUE) {
        cairo_rectangle(cr, 0, 0, std::ceil(w), std::ceil(h));
        gdi::SetSourceColorRef(cr, dc->State.BkColor);
        cairo_fill(cr);
    }
    gdi::SetSourceColorRef(cr, dc->State.TextColor);
    pango_cairo_show_layout(cr, t.L);
    cairo_destroy(cr);
    return true;
}

int DrawText(HDC dc, std::string_view text, TRect* rect, uint32_t format)
{
    if (!dc || !rect)
        return 0;
    gdi::TPrefixMode mode = (format & DT_NOPREFIX) ? gdi::TPrefixMode::None
        : (format & DT_HIDEPREFIX)                 ? gdi::TPrefixMode::Hide
                                                   : gdi::TPrefixMode::Show;
    TLayout t(DcFont(dc), text, mode);
    const int rw = rect->Width();
    const bool single = format & DT_SINGLELINE;
    pango_layout_set_single_paragraph_mode(t.L, single);
    if ((format & DT_WORDBREAK) && !single && rw > 0) {
        pango_layout_set_width(t.L, rw * PANGO_SCALE);
        pango_layout_set_wrap(t.L, PANGO_WRAP_WORD_CHAR);
    } else if ((format & DT_END_ELLIPSIS) && rw > 0) {
        pango_layout_set_width(t.L, rw * PANGO_SCALE);
        pango_layout_set_ellipsize(t.L, PANGO_ELLIPSIZE_END);
    }
    PangoAlignment align = (format & DT_CENTER) ? PANGO_ALIGN_CENTER
        : (format & DT_RIGHT)                   ? PANGO_ALIGN_RIGHT
                                                : PANGO_ALIGN_LEFT;
    pango_layout_set_alignment(t.L, align);
    PangoRectangle ink, logical;
    pango_layout_get_extents(t.L, &ink, &logical);
    int tw = int(std::ceil(gdi::FromPango(logical.width) - 1e-6));
    int th = int(std::ceil(gdi::FromPango(logical.height) - 1e-6));
    if (format & DT_CALCRECT) {
        rect->Right = rect->Left + tw;
        rect->Bottom = rect->Top + th;
        return th;
    }
    // With a layout width pango aligns the lines itself; without, place the block.
    double x = rect->Left - gdi::FromPango(logical.x);
    if (pango_layout_get_width(t.L) < 0) {
        if (format & DT_CENTER)
            x += (rw - tw) / 2.0;
        else if (format & DT_RIGHT)
            x += rw - tw;
    }
    double y = rect->Top;
    if (single && (format & DT_VCENTER))
        y += (rect->Height() - th) / 2.0;
    else if (single && (format & DT_BOTTOM))
        y += rect->Height() - th;
    cairo_t* cr = gdi::BeginPaint(dc);
    if (!cr)
        return 0;
    if (!(format & DT_NOCLIP)) {
        cairo_rectangle(cr, rect->Left, rect->Top, rw, rect->Height());
        cairo_clip(cr);
    }
    x = std::round(x);
    y = std::round(y);
    if (dc->State.BkMode == OPAQUE) {
        cairo_rectangle(cr, x + gdi::FromPango(logical.x), y, tw, th);
        gdi::SetSourceColorRef(cr, dc->State.BkColor);
        cairo_fill(cr);
    }
    cairo_move_to(cr, x, y);
    gdi::SetSourceColorRef(cr, dc->State.TextColor);
    pango_cairo_show_layout(cr, t.L);
    cairo_destroy(cr);
    return th;
}

}  // namespace dcs
