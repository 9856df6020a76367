#include "platform/gdiplus/GdipObjects.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <cstring>

namespace dcs::gdiplus {
namespace {

GpFontFamilyImpl* Family(const GpFontFamily* f) { return static_cast<GpFontFamilyImpl*>(const_cast<GpFontFamily*>(f)); }
const GpFontImpl* Fn(const GpFont* f) { return static_cast<const GpFontImpl*>(f); }
GpStringFormatImpl* SF(const GpStringFormat* f)
{
    return static_cast<GpStringFormatImpl*>(const_cast<GpStringFormat*>(f));
}

GpFontFamily* Generic(const char* name, const char* family)
{
    auto* f = new GpFontFamilyImpl;
    f->Name = name;
    f->Family = family;
    f->Generic = true;
    return f;
}

gdi::TFontSpec Spec(const std::string& family, double em, INT style)
{
    gdi::TFontSpec s;
    s.Family = family;
    s.PixelSize = em;
    s.Bold = style & FontStyleBold;
    s.Italic = style & FontStyleItalic;
    s.Underline = style & FontStyleUnderline;
    s.StrikeOut = style & FontStyleStrikeout;
    return s;
}

// A string laid out in a layout rectangle as the engine places text: lines wrap at the
// rectangle's width less the padding, the block is aligned in the rectangle (or about
// the origin when the rectangle has no extent), and the box includes the padding.
struct TText {
    PangoLayout* L = nullptr;
    double Pad = 0;
    GpRectF Box;       // what MeasureString reports
    double DrawX = 0;  // where the layout's origin goes
    double DrawY = 0;
    int Lines = 0;
    TText() = default;
    TText(const TText&) = delete;
    TText& operator=(const TText&) = delete;
    ~TText()
    {
        if (L)
            g_object_unref(L);
    }
};

double Aligned(StringAlignment a, double origin, double room, double size)
{
    if (room > 0) {
        if (a == StringAlignmentCenter)
            return origin + (room - size) / 2;
        return a == StringAlignmentFar ? origin + room - size : origin;
    }
    if (a == StringAlignmentCenter)
        return origin - size / 2;
    return a == StringAlignmentFar ? origin - size : origin;
}

void Layout(TText& t, const gdi::TFontSpec& spec, const std::string& text, const GpRectF& rect,
            const GpStringFormatImpl& fmt)
{
    gdi::TPrefixMode prefix = fmt.Hotkey == HotkeyPrefixShow ? gdi::TPrefixMode::Show
        : fmt.Hotkey == HotkeyPrefixHide                     ? gdi::TPrefixMode::Hide
                                                             : gdi::TPrefixMode::None;
    t.L = gdi::CreateTextLayout(spec, text, prefix);
    t.Pad = fmt.Typographic ? 0 : spec.PixelSize / 6;
    double room = rect.Width - 2 * t.Pad;
    if (rect.Width > 0 && room > 0) {
        const bool wrap = !(fmt.Flags & StringFormatFlagsNoWrap);
        const bool ellipsis = fmt.Trimming >= StringTrimmingEllipsisCharacter;
        if (wrap || ellipsis)
            pango_layout_set_width(t.L, gdi::ToPango(room));
        if (wrap)
            pango_layout_set_wrap(t.L, PANGO_WRAP_WORD_CHAR);
        if (ellipsis) {
            pango_layout_set_ellipsize(
                t.L, fmt.Trimming == StringTrimmingEllipsisPath ? PANGO_ELLIPSIZE_MIDDLE : PANGO_ELLIPSIZE_END);
            if (wrap && rect.Height > 0)
                pango_layout_set_height(t.L, gdi::ToPango(rect.Height));
        }
        pango_layout_set_alignment(t.L,
                                   fmt.Align == StringAlignmentCenter    ? PANGO_ALIGN_CENTER
                                       : fmt.Align == StringAlignmentFar ? PANGO_ALIGN_RIGHT
                                                                         : PANGO_ALIGN_LEFT);
    }
    PangoRectangle logical;
    pango_layout_get_extents(t.L, nullptr, &logical);
    t.Lines = pango_layout_get_line_count(t.L);
    double w = gdi::FromPango(logical.width), h = gdi::FromPango(logical.height);
    double bw = text.empty() ? 0 : w + 2 * t.Pad, bh = text.empty() ? 0 : h;
    double x = Aligned(fmt.Align, rect.X, rect.Width, bw);
    double y = Aligned(fmt.LineAlign, rect.Y, rect.Height, bh);
    t.DrawX = x + t.Pad - gdi::FromPango(logical.x);
    t.DrawY = y - gdi::FromPango(logical.y);
    // The reported box stays within a layout rectangle that has an extent.
    if (rect.Width > 0 && bw > rect.Width) {
        x = rect.X;
        bw = rect.Width;
    }
    if (rect.Height > 0 && bh > rect.Height) {
        y = rect.Y;
        bh = rect.Height;
    }
    t.Box = {REAL(x), REAL(y), REAL(bw), REAL(bh)};
}

const GpStringFormatImpl& FormatOrDefault(const GpStringFormat* f)
{
    static const GpStringFormatImpl kDefault;
    return f ? *SF(f) : kDefault;
}

bool ValidLayoutRect(const GpRectF* r)
{
    return r && AllFinite(r->X, r->Y, r->Width, r->Height) && r->Width >= 0 && r->Height >= 0;
}

Status MakeFormat(GpStringFormat** format, INT flags)
{
    if (!format)
        return InvalidParameter;
    auto* f = new GpStringFormatImpl;
    f->Flags = flags;
    *format = f;
    return Ok;
}

}  // namespace

std::string FromWide(const WCHAR* s, INT length)
{
    if (!s)
        return {};
    size_t n = length < 0 ? std::char_traits<char16_t>::length(s) : size_t(length);
    return UTF16ToUTF8(std::u16string_view(s, n));
}

double FontEmPixels(const GpFontImpl& font, double dpi)
{
    switch (font.Unit) {
    case UnitPoint: return font.EmSize * dpi / 72;
    case UnitInch: return font.EmSize * dpi;
    case UnitDocument: return font.EmSize * dpi / 300;
    case UnitMillimeter: return font.EmSize * dpi / 25.4;
    default: return font.EmSize;
    }
}

Status GdipNewInstalledFontCollection(GpFontCollection** fontCollection)
{
    if (!fontCollection)
        return InvalidParameter;
    static GpFontCollection installed;
    *fontCollection = &installed;
    return Ok;
}

Status GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection*, GpFontFamily** fontFamily)
{
    if (!name || !fontFamily)
        return InvalidParameter;
    std::string n = FromWide(name, -1);
    std::string family = gdi::ResolveFontFamily(n);
    if (family.empty()) {
        *fontFamily = nullptr;
        return FontFamilyNotFound;
    }
    auto* f = new GpFontFamilyImpl;
    f->Name = n;
    f->Family = family;
    *fontFamily = f;
    return Ok;
}

Status GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily)
{
    if (!fontFamily || !clonedFontFamily)
        return InvalidParameter;
    if (Family(fontFamily)->Generic) {
        *clonedFontFamily = fontFamily;
        return Ok;
    }
    *clonedFontFamily = new GpFontFamilyImpl(*Family(fontFamily));
    return Ok;
}

Status GdipDeleteFontFamily(GpFontFamily* fontFamily)
{
    if (!fontFamily)
        return InvalidParameter;
    if (!Family(fontFamily)->Generic)
        delete fontFamily;
    return Ok;
}

Status GdipGetFamilyName(const GpFontFamily* family, WCHAR name[32], uint16_t)
{
    if (!family || !name)
        return InvalidParameter;
    std::u16string w = UTF8ToUTF16(Family(family)->Name);
    size_t n = std::min<size_t>(w.size(), 31);
    std::copy_n(w.begin(), n, name);
    name[n] = 0;
    return Ok;
}

Status GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily)
{
    if (!nativeFamily)
        return InvalidParameter;
    static GpFontFamily* f = Generic("Microsoft Sans Serif", "DejaVu Sans");
    *nativeFamily = f;
    return Ok;
}

Status GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily)
{
    if (!nativeFamily)
        return InvalidParameter;
    static GpFontFamily* f = Generic("Times New Roman", "Liberation Serif");
    *nativeFamily = f;
    return Ok;
}

Status GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily)
{
    if (!nativeFamily)
        return InvalidParameter;
    static GpFontFamily* f = Generic("Courier New", "Liberation Mono");
    *nativeFamily = f;
    return Ok;
}

Status GdipIsStyleAvailable(const GpFontFamily* family, INT, BOOL* isStyleAvailable)
{
    if (!family || !isStyleAvailable)
        return InvalidParameter;
    *isStyleAvailable = 1;  // missing faces are synthesised
    return Ok;
}

namespace {

Status DesignMetric(const GpFontFamily* family, INT style, uint16_t* out, int which)
{
    if (!family || !out)
        return InvalidParameter;
    double a = 0, d = 0;
    gdi::FontMetrics(Spec(Family(family)->Family, 2048, style), &a, &d);
    double v = which == 0 ? 2048 : which == 1 ? a : which == 2 ? d : a + d;
    *out = uint16_t(std::lround(v));
    return Ok;
}

}  // namespace

Status GdipGetEmHeight(const GpFontFamily* family, INT style, uint16_t* emHeight)
{
    return DesignMetric(family, style, emHeight, 0);
}

Status GdipGetCellAscent(const GpFontFamily* family, INT style, uint16_t* cellAscent)
{
    return DesignMetric(family, style, cellAscent, 1);
}

Status GdipGetCellDescent(const GpFontFamily* family, INT style, uint16_t* cellDescent)
{
    return DesignMetric(family, style, cellDescent, 2);
}

Status GdipGetLineSpacing(const GpFontFamily* family, INT style, uint16_t* lineSpacing)
{
    return DesignMetric(family, style, lineSpacing, 3);
}

Status GdipCreateFont(const GpFontFamily* fontFamily, REAL emSize, INT style, INT unit, GpFont** font)
{
    if (!fontFamily || !font || !Finite(emSize) || emSize <= 0 || unit < UnitWorld || unit > UnitMillimeter ||
        unit == UnitDisplay)
        return InvalidParameter;
    auto* f = new GpFontImpl;
    f->Family = *Family(fontFamily);
    f->Family.Generic = false;
    f->EmSize = emSize;
    f->Style = style & 0xF;
    f->Unit = GpUnit(unit);
    *font = f;
    return Ok;
}

Status GdipCloneFont(GpFont* font, GpFont** cloneFont)
{
    if (!font || !cloneFont)
        return InvalidParameter;
    auto* c = new GpFontImpl;
    const GpFontImpl* src = Fn(font);
    c->Family = src->Family;
    c->EmSize = src->EmSize;
    c->Style = src->Style;
    c->Unit = src->Unit;
    *cloneFont = c;
    return Ok;
}

Status GdipDeleteFont(GpFont* font)
{
    if (!font)
        return InvalidParameter;
    delete font;
    return Ok;
}

Status GdipGetFamily(GpFont* font, GpFontFamily** family)
{
    if (!font || !family)
        return InvalidParameter;
    *family = new GpFontFamilyImpl(Fn(font)->Family);
    return Ok;
}

Status GdipGetFontStyle(GpFont* font, INT* style)
{
    if (!font || !style)
        return InvalidParameter;
    *style = Fn(font)->Style;
    return Ok;
}

Status GdipGetFontSize(GpFont* font, REAL* size)
{
    if (!font || !size)
        return InvalidParameter;
    *size = Fn(font)->EmSize;
    return Ok;
}

Status GdipGetFontUnit(GpFont* font, GpUnit* unit)
{
    if (!font || !unit)
        return InvalidParameter;
    *unit = Fn(font)->Unit;
    return Ok;
}

Status GdipGetFontHeight(const GpFont* font, const GpGraphics*, REAL* height)
{
    if (!font || !height)
        return InvalidParameter;
    const GpFontImpl* f = Fn(font);
    double em = FontEmPixels(*f), a = 0, d = 0;
    gdi::FontMetrics(Spec(f->Family.Family, em, f->Style), &a, &d);
    *height = REAL(a + d);
    return Ok;
}

Status GdipCreateStringFormat(INT formatAttributes, uint16_t, GpStringFormat** format)
{
    return MakeFormat(format, formatAttributes);
}

Status GdipStringFormatGetGenericDefault(GpStringFormat** format) { return MakeFormat(format, 0); }

Status GdipStringFormatGetGenericTypographic(GpStringFormat** format)
{
    Status st =
        MakeFormat(format, StringFormatFlagsNoFitBlackBox | StringFormatFlagsLineLimit | StringFormatFlagsNoClip);
    if (st == Ok) {
        SF(*format)->Trimming = StringTrimmingNone;
        SF(*format)->Typographic = true;
    }
    return st;
}

Status GdipCloneStringFormat(const GpStringFormat* format, GpStringFormat** newFormat)
{
    if (!format || !newFormat)
        return InvalidParameter;
    *newFormat = new GpStringFormatImpl(*SF(format));
    return Ok;
}

Status GdipDeleteStringFormat(GpStringFormat* format)
{
    if (!format)
        return InvalidParameter;
    delete format;
    return Ok;
}

Status GdipSetStringFormatFlags(GpStringFormat* format, INT flags)
{
    if (!format)
        return InvalidParameter;
    SF(format)->Flags = flags;
    return Ok;
}

Status GdipGetStringFormatFlags(const GpStringFormat* format, INT* flags)
{
    if (!format || !flags)
        return InvalidParameter;
    *flags = SF(format)->Flags;
    return Ok;
}

Status GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align)
{
    if (!format || align < StringAlignmentNear || align > StringAlignmentFar)
        return InvalidParameter;
    SF(format)->Align = align;
    return Ok;
}

Status GdipGetStringFormatAlign(const GpStringFormat* format, StringAlignment* align)
{
    if (!format || !align)
        return InvalidParameter;
    *align = SF(format)->Align;
    return Ok;
}

Status GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align)
{
    if (!format || align < StringAlignmentNear || align > StringAlignmentFar)
        return InvalidParameter;
    SF(format)->LineAlign = align;
    return Ok;
}

Status GdipGetStringFormatLineAlign(const GpStringFormat* format, StringAlignment* align)
{
    if (!format || !align)
        return InvalidParameter;
    *align = SF(format)->LineAlign;
    return Ok;
}

Status GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming)
{
    if (!format || trimming < StringTrimmingNone || trimming > StringTrimmingEllipsisPath)
        return InvalidParameter;
    SF(format)->Trimming = trimming;
    return Ok;
}

Status GdipGetStringFormatTrimming(const GpStringFormat* format, StringTrimming* trimming)
{
    if (!format || !trimming)
        return InvalidParameter;
    *trimming = SF(format)->Trimming;
    return Ok;
}

Status GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix)
{
    if (!format || hotkeyPrefix < HotkeyPrefixNone || hotkeyPrefix > HotkeyPrefixHide)
        return InvalidParameter;
    SF(format)->Hotkey = hotkeyPrefix;
    return Ok;
}

Status GdipGetStringFormatHotkeyPrefix(const GpStringFormat* format, INT* hotkeyPrefix)
{
    if (!format || !hotkeyPrefix)
        return InvalidParameter;
    *hotkeyPrefix = SF(format)->Hotkey;
    return Ok;
}

Status GdipMeasureString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                         const GpRectF* layoutRect, const GpStringFormat* stringFormat, GpRectF* boundingBox,
                         INT* codepointsFitted, INT* linesFilled)
{
    if (!graphics || !string || !font || !ValidLayoutRect(layoutRect) || !boundingBox)
        return InvalidParameter;
    const GpFontImpl* f = Fn(font);
    std::string text = FromWide(string, length);
    TText t;
    Layout(t, Spec(f->Family.Family, FontEmPixels(*f), f->Style), text, *layoutRect, FormatOrDefault(stringFormat));
    *boundingBox = t.Box;
    if (codepointsFitted)
        *codepointsFitted = length < 0 ? INT(std::char_traits<char16_t>::length(string)) : length;
    if (linesFilled)
        *linesFilled = text.empty() ? 0 : t.Lines;
    return Ok;
}

Status GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                      const GpRectF* layoutRect, const GpStringFormat* stringFormat, const GpBrush* brush)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    if (!string || !font || !ValidLayoutRect(layoutRect) || !Impl(brush))
        return InvalidParameter;
    const GpFontImpl* f = Fn(font);
    const GpStringFormatImpl& fmt = FormatOrDefault(stringFormat);
    std::string text = FromWide(string, length);
    if (text.empty())
        return Ok;
    TText t;
    Layout(t, Spec(f->Family.Family, FontEmPixels(*f), f->Style), text, *layoutRect, fmt);
    TPainter p(G(graphics));
    cairo_t* cr = p.Cr();
    if (!(fmt.Flags & StringFormatFlagsNoClip) && layoutRect->Width > 0 && layoutRect->Height > 0) {
        cairo_rectangle(cr, layoutRect->X, layoutRect->Y, layoutRect->Width, layoutRect->Height);
        cairo_clip(cr);
    }
    ARGB solid;
    TBrushImpl* b = Impl(brush);
    if (b->SolidColor(&solid)) {
        SetSourceARGB(cr, solid);
        cairo_move_to(cr, t.DrawX, t.DrawY);
        pango_cairo_show_layout(cr, t.L);
        return Ok;
    }
    // Any other brush fills the glyph outlines.
    if (!b->SetSource(cr, G(graphics)->VectorMatrix(), G(graphics)->GridMatrix()))
        return Ok;
    cairo_move_to(cr, t.DrawX, t.DrawY);
    pango_cairo_layout_path(cr, t.L);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    return Ok;
}

Status GdipAddPathString(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                         REAL emSize, const GpRectF* layoutRect, const GpStringFormat* format)
{
    if (!path || !string || !family || !ValidLayoutRect(layoutRect) || !Finite(emSize) || emSize <= 0)
        return InvalidParameter;
    std::string text = FromWide(string, length);
    TText t;
    Layout(t, Spec(Family(family)->Family, emSize, style), text, *layoutRect, FormatOrDefault(format));
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(s);
    cairo_move_to(cr, t.DrawX, t.DrawY);
    pango_cairo_layout_path(cr, t.L);
    cairo_path_t* outline = cairo_copy_path(cr);
    GpPathImpl* p = P(path);
    p->SoleEllipse.reset();
    for (int i = 0; i < outline->num_data; i += outline->data[i].header.length) {
        const cairo_path_data_t* d = &outline->data[i];
        auto pt = [&](int k) { return GpPointF {REAL(d[k].point.x), REAL(d[k].point.y)}; };
        switch (d->header.type) {
        case CAIRO_PATH_MOVE_TO:
            p->StartNew = true;
            AddLines(*p, std::vector<GpPointF> {pt(1)}.data(), 1);
            break;
        case CAIRO_PATH_LINE_TO: AddLines(*p, std::vector<GpPointF> {p->Points.back(), pt(1)}.data(), 2); break;
        case CAIRO_PATH_CURVE_TO: {
            GpPointF b[4] = {p->Points.back(), pt(1), pt(2), pt(3)};
            AddBeziers(*p, b, 4);
            break;
        }
        case CAIRO_PATH_CLOSE_PATH: CloseFigure(*p); break;
        }
    }
    cairo_path_destroy(outline);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return Ok;
}

}  // namespace dcs::gdiplus
