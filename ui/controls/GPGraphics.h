// The drawing surface of the smooth controls: one engine graphics object made on a
// device context or an image, with the text conveniences the controls use (fonts from
// framework fonts, text extents and a framework-style DrawText). Follows the wrapper
// status rule of SmGDIP.h. GUI thread only.
#pragma once

#include "ui/controls/SmGDIP.h"

#include <string>

namespace dcs::smooth {

// What the text helpers read of a framework font: face name, size in points, style bits
// and colour. FontDesc takes them from any font object with those four readers.
struct TFontDesc {
    std::string Name;
    int Size = 8;
    TFontStyles Style = 0;
    TColor Color = clBlack;
};
template <class FontT> TFontDesc FontDesc(const FontT& f)
{
    return {f.Name(), f.Size(), TFontStyles(f.Style()), f.Color()};
}

// Halves to the even neighbour, as every float-to-integer step of the surface does.
int RoundHalfEven(double v);

class TGPGraphics : public TGPStatusHolder {
public:
    // The surface draws on the context's pixels; free it before the context goes.
    explicit TGPGraphics(HDC hdc);
    // A nil image gives a null handle with status Ok.
    explicit TGPGraphics(TGPImage* image);
    static TGPGraphics* FromImage(TGPImage* image) { return new TGPGraphics(image); }
    ~TGPGraphics() override;

    void Flush(FlushIntention intention = FlushIntentionFlush);
    Status Clear(ARGB color);
    // A device context on the same pixels; no call on the surface until ReleaseHDC.
    HDC GetHDC();
    void ReleaseHDC(HDC hdc);

    Status SetTransform(TGPMatrix* matrix);
    Status ResetTransform();
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

    Status SetSmoothingMode(INT mode);
    INT GetSmoothingMode();  // -1 when the call fails
    Status SetCompositingQuality(INT quality);
    INT GetCompositingQuality();
    Status SetTextRenderingHint(TextRenderingHint mode);
    TextRenderingHint GetTextRenderingHint();

    Status SetClip(TGPRegion* region, CombineMode mode = CombineModeReplace);
    Status SetClip(TGPGraphicsPath* path, CombineMode mode = CombineModeReplace);
    Status SetClip(const TGPRectF& rect, CombineMode mode = CombineModeReplace);
    Status ExcludeClip(const TGPRectF& rect);
    Status ExcludeClip(TGPRegion* region);
    Status ResetClip();

    Status DrawLine(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawRectangle(TGPPen* pen, const TGPRectF& r);
    Status DrawRectangle(TGPPen* pen, REAL x, REAL y, REAL w, REAL h);
    Status DrawEllipse(TGPPen* pen, const TGPRectF& r);
    Status DrawEllipse(TGPPen* pen, REAL x, REAL y, REAL w, REAL h);
    Status DrawEllipse(TGPPen* pen, const TGPRect& r);
    Status DrawArc(TGPPen* pen, REAL x, REAL y, REAL w, REAL h, REAL startAngle, REAL sweepAngle);
    Status DrawBezier(TGPPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status DrawBeziers(TGPPen* pen, const TGPPointF* points, INT count);
    Status DrawPath(TGPPen* pen, TGPGraphicsPath* path);
    Status FillRectangle(TGPBrush* brush, const TGPRectF& r);
    Status FillRectangle(TGPBrush* brush, REAL x, REAL y, REAL w, REAL h);
    Status FillEllipse(TGPBrush* brush, const TGPRectF& r);
    Status FillEllipse(TGPBrush* brush, REAL x, REAL y, REAL w, REAL h);
    Status FillEllipse(TGPBrush* brush, const TGPRect& r);
    Status FillPolygon(TGPBrush* brush, const TGPPointF* points, INT count, FillMode mode = FillModeAlternate);
    Status FillPolygon(TGPBrush* brush, const TGPPoint* points, INT count, FillMode mode = FillModeAlternate);
    Status FillPath(TGPBrush* brush, TGPGraphicsPath* path);

    Status DrawImage(TGPImage* image, INT x, INT y);
    Status DrawImage(TGPImage* image, const TGPRectF& r);
    Status DrawImage(TGPImage* image, REAL x, REAL y, REAL w, REAL h);
    Status DrawImageRect(TGPImage* image, INT x, INT y, INT w, INT h);
    // Each value rounded half to even first.
    Status DrawImageRect(TGPImage* image, const TGPRectF& r);
    Status DrawImage(TGPImage* image, const TGPRectF& dest, REAL srcx, REAL srcy, REAL srcw, REAL srch, Unit_ srcUnit,
                     TGPImageAttributes* attributes = nullptr, ImageAbort callback = nullptr,
                     void* callbackData = nullptr);

    Status MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                         const TGPStringFormat* format, TGPRectF& box, INT* fitted = nullptr, INT* lines = nullptr);
    Status MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& origin,
                         const TGPStringFormat* format, TGPRectF& box);
    Status MeasureString(const std::u16string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                         TGPRectF& box);
    // The whole string is drawn whatever the length says.
    Status DrawString(const std::string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                      const TGPStringFormat* format, const TGPBrush* brush);
    Status DrawString(const std::u16string& s, INT length, const TGPFont* font, const TGPRectF& layout,
                      const TGPStringFormat* format, const TGPBrush* brush);
    Status DrawString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& origin,
                      const TGPBrush* brush);
    Status DrawString(const std::u16string& s, INT length, const TGPFont* font, const TGPPointF& origin,
                      const TGPStringFormat* format, const TGPBrush* brush);

    // A font of the framework font's face (or "Arial" when there is no such face), its
    // size in points and its styles; the caller owns it.
    TGPFont* MakeFont(const TFontDesc& font);
    int TextWidth(const std::string& s, const TFontDesc& font);
    int TextHeight(const std::string& s, const TFontDesc& font);
    // Only the calculate-rectangle bit (0x400) of Style counts. Returns the text height.
    int DrawText(const std::string& s, int len, TRect& rect, const TFontDesc& font, uint32_t style, TColor bkColor);

    GpGraphics* nativeGraphics = nullptr;
};

constexpr uint32_t DT_CALCRECT_BIT = 0x400;

}  // namespace dcs::smooth
