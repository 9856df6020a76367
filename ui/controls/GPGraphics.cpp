#include "ui/controls/GPGraphics.h"

#include "platform/base/Strings.h"

#include <cmath>
#include <memory>

namespace dcs::smooth {

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

namespace {
GpBrush* B(const TGPBrush* b) { return b ? b->nativeBrush : nullptr; }
GpPen* Pn(const TGPPen* p) { return p ? p->nativePen : nullptr; }
GpImage* Im(const TGPImage* i) { return i ? i->nativeImage : nullptr; }
const GpFont* F(const TGPFont* f) { return f ? f->nativeFont : nullptr; }
const GpStringFormat* Fmt(const TGPStringFormat* f) { return f ? f->nativeFormat : nullptr; }
}  // namespace

TGPGraphics::TGPGraphics(HDC hdc) { lastResult = GdipCreateFromHDC(hdc, &nativeGraphics); }
TGPGraphics::TGPGraphics(TGPImage* image)
{
    if (image)
        lastResult = GdipGetImageGraphicsContext(image->nativeImage, &nativeGraphics);
}
TGPGraphics::~TGPGraphics() { GdipDeleteGraphics(nativeGraphics); }

void TGPGraphics::Flush(FlushIntention i) { GdipFlush(nativeGraphics, i); }
Status TGPGraphics::Clear(ARGB c) { return Record(GdipGraphicsClear(nativeGraphics, c)); }
HDC TGPGraphics::GetHDC()
{
    HDC dc = nullptr;
    Record(GdipGetDC(nativeGraphics, &dc));
    return dc;
}
void TGPGraphics::ReleaseHDC(HDC dc) { Record(GdipReleaseDC(nativeGraphics, dc)); }

Status TGPGraphics::SetTransform(TGPMatrix* m)
{
    return Record(GdipSetWorldTransform(nativeGraphics, m->nativeMatrix));
}
Status TGPGraphics::ResetTransform() { return Record(GdipResetWorldTransform(nativeGraphics)); }
Status TGPGraphics::MultiplyTransform(const TGPMatrix* m, MatrixOrder o)
{
    return Record(GdipMultiplyWorldTransform(nativeGraphics, m->nativeMatrix, o));
}
Status TGPGraphics::TranslateTransform(REAL dx, REAL dy, MatrixOrder o)
{
    return Record(GdipTranslateWorldTransform(nativeGraphics, dx, dy, o));
}
Status TGPGraphics::ScaleTransform(REAL sx, REAL sy, MatrixOrder o)
{
    return Record(GdipScaleWorldTransform(nativeGraphics, sx, sy, o));
}
Status TGPGraphics::RotateTransform(REAL a, MatrixOrder o)
{
    return Record(GdipRotateWorldTransform(nativeGraphics, a, o));
}

Status TGPGraphics::SetSmoothingMode(INT m) { return Record(GdipSetSmoothingMode(nativeGraphics, SmoothingMode(m))); }
INT TGPGraphics::GetSmoothingMode()
{
    SmoothingMode m = SmoothingModeInvalid;
    return Record(GdipGetSmoothingMode(nativeGraphics, &m)) == Ok ? INT(m) : -1;
}
Status TGPGraphics::SetCompositingQuality(INT q)
{
    return Record(GdipSetCompositingQuality(nativeGraphics, CompositingQuality(q)));
}
INT TGPGraphics::GetCompositingQuality()
{
    CompositingQuality q = CompositingQualityDefault;
    Record(GdipGetCompositingQuality(nativeGraphics, &q));
    return q;
}
Status TGPGraphics::SetTextRenderingHint(TextRenderingHint m)
{
    return Record(GdipSetTextRenderingHint(nativeGraphics, m));
}
TextRenderingHint TGPGraphics::GetTextRenderingHint()
{
    TextRenderingHint m = TextRenderingHintSystemDefault;
    Record(GdipGetTextRenderingHint(nativeGraphics, &m));
    return m;
}

Status TGPGraphics::SetClip(TGPRegion* r, CombineMode m)
{
    return Record(GdipSetClipRegion(nativeGraphics, r->nativeRegion, m));
}
Status TGPGraphics::SetClip(TGPGraphicsPath* p, CombineMode m)
{
    return Record(GdipSetClipPath(nativeGraphics, p->nativePath, m));
}
Status TGPGraphics::SetClip(const TGPRectF& r, CombineMode m)
{
    return Record(GdipSetClipRect(nativeGraphics, r.X, r.Y, r.Width, r.Height, m));
}
Status TGPGraphics::ExcludeClip(const TGPRectF& r) { return SetClip(r, CombineModeExclude); }
Status TGPGraphics::ExcludeClip(TGPRegion* r) { return SetClip(r, CombineModeExclude); }
Status TGPGraphics::ResetClip() { return Record(GdipResetClip(nativeGraphics)); }

Status TGPGraphics::DrawLine(TGPPen* p, REAL x1, REAL y1, REAL x2, REAL y2)
{
    return Record(GdipDrawLine(nativeGraphics, Pn(p), x1, y1, x2, y2));
}
Status TGPGraphics::DrawRectangle(TGPPen* p, const TGPRectF& r)
{
    return DrawRectangle(p, r.X, r.Y, r.Width, r.Height);
}
Status TGPGraphics::DrawRectangle(TGPPen* p, REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipDrawRectangle(nativeGraphics, Pn(p), x, y, w, h));
}
Status TGPGraphics::DrawEllipse(TGPPen* p, const TGPRectF& r) { return DrawEllipse(p, r.X, r.Y, r.Width, r.Height); }
Status TGPGraphics::DrawEllipse(TGPPen* p, REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipDrawEllipse(nativeGraphics, Pn(p), x, y, w, h));
}
Status TGPGraphics::DrawEllipse(TGPPen* p, const TGPRect& r)
{
    return Record(GdipDrawEllipseI(nativeGraphics, Pn(p), r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphics::DrawArc(TGPPen* p, REAL x, REAL y, REAL w, REAL h, REAL s, REAL sw)
{
    return Record(GdipDrawArc(nativeGraphics, Pn(p), x, y, w, h, s, sw));
}
Status TGPGraphics::DrawBezier(TGPPen* p, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    return Record(GdipDrawBezier(nativeGraphics, Pn(p), x1, y1, x2, y2, x3, y3, x4, y4));
}
Status TGPGraphics::DrawBeziers(TGPPen* p, const TGPPointF* pts, INT n)
{
    return Record(GdipDrawBeziers(nativeGraphics, Pn(p), pts, n));
}
Status TGPGraphics::DrawPath(TGPPen* p, TGPGraphicsPath* path)
{
    return Record(GdipDrawPath(nativeGraphics, Pn(p), path ? path->nativePath : nullptr));
}
Status TGPGraphics::FillRectangle(TGPBrush* b, const TGPRectF& r)
{
    return FillRectangle(b, r.X, r.Y, r.Width, r.Height);
}
Status TGPGraphics::FillRectangle(TGPBrush* b, REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipFillRectangle(nativeGraphics, B(b), x, y, w, h));
}
Status TGPGraphics::FillEllipse(TGPBrush* b, const TGPRectF& r) { return FillEllipse(b, r.X, r.Y, r.Width, r.Height); }
Status TGPGraphics::FillEllipse(TGPBrush* b, REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipFillEllipse(nativeGraphics, B(b), x, y, w, h));
}
Status TGPGraphics::FillEllipse(TGPBrush* b, const TGPRect& r)
{
    return Record(GdipFillEllipseI(nativeGraphics, B(b), r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphics::FillPolygon(TGPBrush* b, const TGPPointF* p, INT n, FillMode m)
{
    return Record(GdipFillPolygon(nativeGraphics, B(b), p, n, m));
}
Status TGPGraphics::FillPolygon(TGPBrush* b, const TGPPoint* p, INT n, FillMode m)
{
    return Record(GdipFillPolygonI(nativeGraphics, B(b), p, n, m));
}
Status TGPGraphics::FillPath(TGPBrush* b, TGPGraphicsPath* p)
{
    return Record(GdipFillPath(nativeGraphics, B(b), p ? p->nativePath : nullptr));
}

Status TGPGraphics::DrawImage(TGPImage* i, INT x, INT y) { return Record(GdipDrawImageI(nativeGraphics, Im(i), x, y)); }
Status TGPGraphics::DrawImage(TGPImage* i, const TGPRectF& r) { return DrawImage(i, r.X, r.Y, r.Width, r.Height); }
Status TGPGraphics::DrawImage(TGPImage* i, REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipDrawImageRect(nativeGraphics, Im(i), x, y, w, h));
}
Status TGPGraphics::DrawImageRect(TGPImage* i, INT x, INT y, INT w, INT h)
{
    return Record(GdipDrawImageRect(nativeGraphics, Im(i), REAL(x), REAL(y), REAL(w), REAL(h)));
}
Status TGPGraphics::DrawImageRect(TGPImage* i, const TGPRectF& r)
{
    return DrawImageRect(i, RoundHalfEven(r.X), RoundHalfEven(r.Y), RoundHalfEven(r.Width), RoundHalfEven(r.Height));
}
Status TGPGraphics::DrawImage(TGPImage* i, const TGPRectF& d, REAL sx, REAL sy, REAL sw, REAL sh, Unit_ unit,
                              TGPImageAttributes* a, ImageAbort cb, void* data)
{
    return Record(GdipDrawImageRectRect(nativeGraphics, Im(i), d.X, d.Y, d.Width, d.Height, sx, sy, sw, sh, unit,
                                        a ? a->nativeImageAttr : nullptr, cb, data));
}

// ---------------------------------------------------------------------- text

Status TGPGraphics::MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                                  const TGPStringFormat* format, TGPRectF& box, INT* fitted, INT* lines)
{
    return Record(
        GdipMeasureString(nativeGraphics, s.c_str(), length, F(font), &layout, Fmt(format), &box, fitted, lines));
}
Status TGPGraphics::MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& o,
                                  const TGPStringFormat* format, TGPRectF& box)
{
    return MeasureString(s, length, font, TGPRectF {o.X, o.Y, 0, 0}, format, box);
}
Status TGPGraphics::MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                                  TGPRectF& box)
{
    return MeasureString(s, length, font, layout, nullptr, box);
}

Status TGPGraphics::DrawString(const std::string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                               const TGPStringFormat* format, const TGPBrush* brush)
{
    return DrawString(UTF8ToUTF16(s), length, font, layout, format, brush);
}
Status TGPGraphics::DrawString(const std::u16string& s, INT /*length*/, const TGPFont* font, const TGPRectF& layout,
                               const TGPStringFormat* format, const TGPBrush* brush)
{
    // The length argument is not used: the whole string is drawn.
    return Record(GdipDrawString(nativeGraphics, s.c_str(), INT(s.size()), F(font), &layout, Fmt(format), B(brush)));
}
Status TGPGraphics::DrawString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& o,
                               const TGPBrush* brush)
{
    return DrawString(s, length, font, TGPRectF {o.X, o.Y, 0, 0}, nullptr, brush);
}
Status TGPGraphics::DrawString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& o,
                               const TGPStringFormat* format, const TGPBrush* brush)
{
    return DrawString(s, length, font, TGPRectF {o.X, o.Y, 0, 0}, format, brush);
}

TGPFont* TGPGraphics::MakeFont(const TFontDesc& font)
{
    auto family = std::make_unique<TGPFontFamily>(font.Name);
    if (family->LastResult() == FontFamilyNotFound || family->LastResult() == FontStyleNotFound)
        family = std::make_unique<TGPFontFamily>("Arial");
    const INT style = INT(font.Style & (fsBoldBit | fsItalicBit | fsUnderlineBit | fsStrikeOutBit));
    return new TGPFont(family.get(), REAL(font.Size), style, UnitPoint);
}

namespace {
TGPRectF MeasureIn(TGPGraphics& g, const std::string& s, const TFontDesc& font)
{
    std::unique_ptr<TGPFont> f(g.MakeFont(font));
    std::u16string w = UTF8ToUTF16(s);
    TGPRectF box {};
    g.MeasureString(w, INT(w.size()), f.get(), TGPRectF {0, 0, 10000, 10000}, box);
    return box;
}
}  // namespace

int TGPGraphics::TextWidth(const std::string& s, const TFontDesc& font)
{
    return RoundHalfEven(MeasureIn(*this, s, font).Width);
}
int TGPGraphics::TextHeight(const std::string& s, const TFontDesc& font)
{
    return RoundHalfEven(MeasureIn(*this, s, font).Height);
}

int TGPGraphics::DrawText(const std::string& s, int len, TRect& rect, const TFontDesc& font, uint32_t style,
                          TColor bkColor)
{
    std::unique_ptr<TGPFont> f(MakeFont(font));
    std::u16string text = UTF8ToUTF16(s);
    if ((style & DT_CALCRECT_BIT) || bkColor != clNone) {
        int margin = 2;
        const int size = font.Size;
        if (size > 8)
            margin = 2 + RoundHalfEven((size - 8) / 1.5);
        // A trailing space would not be measured; "i" stands in for it.
        std::u16string copy = text;
        if (copy.size() > 1 && copy.back() == u' ')
            copy.back() = u'i';
        TGPRectF layout {REAL(rect.Left), REAL(rect.Top), REAL(rect.Right - rect.Left + 1000),
                         REAL(rect.Bottom - rect.Top)};
        TGPRectF box {};
        MeasureString(copy, len, f.get(), layout, box);
        rect.Right = rect.Left + RoundHalfEven(box.Width - margin);
        rect.Bottom = rect.Top + RoundHalfEven(box.Height);
        if (bkColor != clNone) {
            TGPSolidBrush bk(ColorToARGB(bkColor));
            FillRectangle(&bk, REAL(rect.Left + 1), REAL(rect.Top), box.Width - margin + 1, box.Height);
        }
    }
    if (!(style & DT_CALCRECT_BIT)) {
        TGPSolidBrush fg(ColorToARGB(font.Color));
        DrawString(text, len, f.get(), TGPPointF {REAL(rect.Left), REAL(rect.Top)}, &fg);
    }
    return rect.Bottom - rect.Top;
}

}  // namespace dcs::smooth
