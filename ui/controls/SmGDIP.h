// Object wrappers over the vector graphics engine for the smooth controls: one class per
// engine object, each owning exactly one native handle and keeping failures in a status
// field instead of raising.
//
// Status rule: a constructor that creates a native object stores the creation status
// (Ok included); every other call stores its status only when it is not Ok, so the field
// keeps the most recent failure until GetLastStatus hands it out once and resets it.
//
// Ownership: a wrapper deletes its native object in its destructor. Wrappers returned by
// Clone, GetBrush, GetImage and GetThumbnailImage are new objects owned by the caller.
// The three generic font families are shared and never freed by callers.
// All wrappers are made and used on the GUI thread.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cstdint>
#include <string>

namespace dcs::smooth {

using namespace dcs::gdiplus;

using TGPPointF = GpPointF;
using TGPPoint = GpPoint;
using TGPRectF = GpRectF;
using TGPRect = GpRect;
struct TMatrixArray {
    REAL m[6];  // m11, m12, m21, m22, dx, dy
};
using Unit_ = GpUnit;

enum TGPImageFormat : int32_t {
    ifUndefined,
    ifMemoryBMP,
    ifBMP,
    ifEMF,
    ifWMF,
    ifJPEG,
    ifPNG,
    ifGIF,
    ifTIFF,
    ifEXIF,
    ifIcon
};
enum TSmGradientType : int32_t {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone
};
enum TImageType : int32_t {
    itPNG,
    itBMP,
    itJPEG,
    itTIFF,
    itGIF
};

inline TGPPointF PointF(REAL x, REAL y) { return {x, y}; }
inline TGPRectF RectF(REAL x, REAL y, REAL w, REAL h) { return {x, y, w, h}; }
inline ARGB ComposeARGB(uint8_t a, uint8_t r, uint8_t g, uint8_t b)
{
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}
inline uint8_t ARGBRed(ARGB c) { return uint8_t(c >> 16); }
inline uint8_t ARGBGreen(ARGB c) { return uint8_t(c >> 8); }
inline uint8_t ARGBBlue(ARGB c) { return uint8_t(c); }

// Font style bits of the framework: bold 1, italic 2, underline 4, strike-out 8, the same
// bits the engine takes.
using TFontStyles = uint32_t;
constexpr TFontStyles fsBoldBit = 1, fsItalicBit = 2, fsUnderlineBit = 4, fsStrikeOutBit = 8;

// System colours are resolved to RGB; clNone passes unchanged (callers test for clNone
// before converting). Opaque: alpha 255 with the colour's red, green and blue.
ARGB ColorToARGB(TColor Color);
ARGB ARGBFromColor(uint8_t Alpha, TColor Color);
// The same as ARGBFromColor, under the name the fill code uses.
inline ARGB MakeAlphaColor(uint8_t Alpha, TColor Color) { return ARGBFromColor(Alpha, Color); }

class TGdiplusBase {
public:
    virtual ~TGdiplusBase() = default;
    TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
};

// Shared by every wrapper: the status field and the rule that keeps it.
class TGPStatusHolder : public TGdiplusBase {
public:
    // Returns the status field and resets it to Ok.
    Status GetLastStatus()
    {
        Status s = lastResult;
        lastResult = Ok;
        return s;
    }
    Status LastResult() const { return lastResult; }

protected:
    Status Record(Status s)
    {
        if (s != Ok)
            lastResult = s;
        return s;
    }
    Status lastResult = Ok;
};

class TGPMatrix : public TGPStatusHolder {
public:
    TGPMatrix();
    TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    TGPMatrix(const TGPRectF& rect, const TGPPointF& dstplg);
    TGPMatrix(const TGPRect& rect, const TGPPoint& dstplg);
    ~TGPMatrix() override;
    TGPMatrix* Clone();  // caller owns; nil while a failure is recorded
    Status GetElements(TMatrixArray& m);
    Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
    REAL OffsetX();
    REAL OffsetY();
    Status Reset();
    Status Multiply(TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status RotateAt(REAL angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
    Status Shear(REAL shearX, REAL shearY, MatrixOrder order = MatrixOrderPrepend);
    Status Invert();
    Status TransformPoints(TGPPointF* pts, INT count = 1);
    Status TransformPoints(TGPPoint* pts, INT count = 1);
    Status TransformVectors(TGPPointF* pts, INT count = 1);
    Status TransformVectors(TGPPoint* pts, INT count = 1);
    BOOL IsInvertible();
    BOOL IsIdentity();
    GpMatrix* nativeMatrix = nullptr;

private:
    TGPMatrix(GpMatrix* native) : nativeMatrix(native) {}
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(INT formatFlags = 0, uint16_t language = 0);
    explicit TGPStringFormat(const TGPStringFormat* format);
    TGPStringFormat(GpStringFormat* cloned, Status status) : nativeFormat(cloned), lastError(status) {}
    ~TGPStringFormat() override;
    Status SetAlignment(StringAlignment align);
    StringAlignment GetAlignment();
    Status SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment();
    Status SetTrimming(StringTrimming trimming);
    StringTrimming GetTrimming();
    Status SetFormatFlags(INT flags);
    INT GetFormatFlags();
    Status SetHotkeyPrefix(HotkeyPrefix prefix);
    HotkeyPrefix GetHotkeyPrefix();
    Status GetLastStatus()
    {
        Status s = lastError;
        lastError = Ok;
        return s;
    }
    GpStringFormat* nativeFormat = nullptr;
    Status lastError = Ok;

private:
    Status Record(Status s)
    {
        if (s != Ok)
            lastError = s;
        return s;
    }
};

class TGPBrush : public TGPStatusHolder {
public:
    TGPBrush() { lastResult = NotImplemented; }
    TGPBrush(GpBrush* native, Status status) : nativeBrush(native) { lastResult = status; }
    ~TGPBrush() override;
    GpBrush* nativeBrush = nullptr;
    friend class TGPPen;
};

class TGPSolidBrush : public TGPBrush {
public:
    TGPSolidBrush() : TGPBrush(nullptr, Ok) {}
    explicit TGPSolidBrush(ARGB color);
};

class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush() : TGPBrush(nullptr, Ok) {}
    TGPHatchBrush(HatchStyle style, ARGB foreColor, ARGB backColor = 0xFF000000);
    HatchStyle GetHatchStyle();
    Status GetForegroundColor(ARGB& color);
    Status GetBackgroundColor(ARGB& color);
};

class TGPImage;
class TGPImageAttributes;

class TGPTextureBrush : public TGPBrush {
public:
    TGPTextureBrush() : TGPBrush(nullptr, Ok) {}
    TGPTextureBrush(TGPImage* image, WrapMode wrapMode = WrapModeTile);
    TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
    TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect);
    TGPTextureBrush(TGPImage* image, const TGPRectF& dstRect, TGPImageAttributes* attributes);
    Status ResetTransform();
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode();
    TGPImage* GetImage();  // caller owns
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    // The parameterless form makes no native object (status NotImplemented).
    TGPLinearGradientBrush() = default;
    TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB c1, ARGB c2);
    TGPLinearGradientBrush(const TGPPoint& p1, const TGPPoint& p2, ARGB c1, ARGB c2);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB c1, ARGB c2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB c1, ARGB c2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB c1, ARGB c2, REAL angle, BOOL isAngleScalable);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB c1, ARGB c2, REAL angle, BOOL isAngleScalable);
    Status SetGammaCorrection(BOOL use);
    // No call and InvalidParameter when count is not positive.
    Status SetInterpolationColors(const ARGB* presetColors, const REAL* positions, INT count);
    Status SetWrapMode(WrapMode wrapMode);
};

class TGPGraphicsPath;

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(TGPGraphicsPath* path);
    // Both return the status field after the call.
    Status SetCenterColor(ARGB color);
    Status GetCenterColor(ARGB& color);
    Status SetCenterPoint(const TGPPointF& point);
    Status SetCenterPoint(const TGPPoint& point);
    Status GetCenterPoint(TGPPointF& point);
    Status GetCenterPoint(TGPPoint& point);
    INT GetPointCount();
    Status SetSurroundColors(const ARGB* colors, INT& count);
    Status GetSurroundColors(ARGB* colors, INT& count);
    Status SetWrapMode(WrapMode wrapMode);
    Status SetGammaCorrection(BOOL use);
    Status SetInterpolationColors(const ARGB* presetColors, const REAL* positions, INT count);
};

class TGPPen : public TGPStatusHolder {
public:
    TGPPen(ARGB color, REAL width = 1.0f);
    TGPPen(TGPBrush* brush, REAL width = 1.0f);
    ~TGPPen() override;
    Status SetBrush(TGPBrush* brush);
    TGPBrush* GetBrush();  // caller owns; nil for an unknown fill type
    INT GetPenType();
    Status SetDashStyle(DashStyle style);
    DashStyle GetDashStyle();
    Status SetEndCap(INT endCap);
    GpPen* nativePen = nullptr;
};

class TGPGraphicsPath : public TGPStatusHolder {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath(const TGPPointF* points, const BYTE* types, INT count, FillMode fillMode = FillModeAlternate);
    explicit TGPGraphicsPath(GpPath* native) : nativePath(native) {}
    ~TGPGraphicsPath() override;
    Status Reset();
    Status CloseFigure();
    Status AddLine(const TGPPointF& p1, const TGPPointF& p2);
    Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
    Status AddLines(const TGPPoint* points, INT count);
    Status AddRectangle(const TGPRectF& rect);
    Status AddRectangle(const TGPRect& rect);
    Status AddArc(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
    Status AddArc(REAL x, REAL y, REAL w, REAL h, REAL startAngle, REAL sweepAngle);
    Status AddEllipse(const TGPRectF& rect);
    Status AddEllipse(REAL x, REAL y, REAL w, REAL h);
    Status AddPie(const TGPRectF& rect, REAL startAngle, REAL sweepAngle);
    Status AddPie(REAL x, REAL y, REAL w, REAL h, REAL startAngle, REAL sweepAngle);
    Status AddPolygon(const TGPPointF* points, INT count);
    Status AddPolygon(const TGPPoint* points, INT count);
    Status AddCurve(const TGPPointF* points, INT count);
    Status AddCurve(const TGPPoint* points, INT count);
    Status AddCurve(const TGPPoint* points, INT count, REAL tension);
    Status AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
    Status AddString(const std::u16string& s, INT length, const class TGPFontFamily* family, INT style, REAL emSize,
                     const TGPRectF& layoutRect, const TGPStringFormat* format);
    Status AddString(const std::u16string& s, INT length, const class TGPFontFamily* family, INT style, REAL emSize,
                     const TGPPointF& origin, const TGPStringFormat* format);
    Status GetBounds(TGPRectF& bounds, const TGPMatrix* matrix = nullptr, const TGPPen* pen = nullptr);
    INT GetPointCount();
    Status GetPathPoints(TGPPointF* points, INT count);
    Status GetPathTypes(BYTE* types, INT count);
    GpPath* nativePath = nullptr;
};

class TGPRegion : public TGPStatusHolder {
public:
    explicit TGPRegion(const TGPRectF& rect);
    explicit TGPRegion(TGPGraphicsPath* path);
    ~TGPRegion() override;
    Status Exclude(TGPGraphicsPath* path);
    Status Union(TGPRegion* region);
    GpRegion* nativeRegion = nullptr;
};

class TGPFontCollection : public TGPStatusHolder {
public:
    GpFontCollection* nativeFontCollection = nullptr;
};

class TGPFontFamily : public TGPStatusHolder {
public:
    TGPFontFamily() = default;
    TGPFontFamily(const std::string& name, const TGPFontCollection* collection = nullptr);
    TGPFontFamily(GpFontFamily* native, Status status) : nativeFamily(native) { lastResult = status; }
    ~TGPFontFamily() override;
    // Shared, made on first use; never freed by callers.
    static TGPFontFamily* GenericSansSerif();
    static TGPFontFamily* GenericSerif();
    static TGPFontFamily* GenericMonospace();
    std::u16string GetFamilyName();
    GpFontFamily* nativeFamily = nullptr;
};

class TGPFont : public TGPStatusHolder {
public:
    TGPFont(const TGPFontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit_ unit = UnitPoint);
    // A family of that name, or the generic sans-serif one when no such font exists.
    TGPFont(const std::string& familyName, REAL emSize, TFontStyles style = 0, Unit_ unit = UnitPoint,
            const TGPFontCollection* collection = nullptr);
    TGPFont(GpFont* native, Status status) : nativeFont(native) { lastResult = status; }
    ~TGPFont() override;
    GpFont* nativeFont = nullptr;
};

class TGPImage : public TGPStatusHolder {
public:
    TGPImage(const std::string& filename, BOOL useEmbeddedColorManagement = false);
    TGPImage(IStream* stream, BOOL useEmbeddedColorManagement = false);
    TGPImage(GpImage* native, Status status) : nativeImage(native) { lastResult = status; }
    ~TGPImage() override;
    Status Save(const std::string& filename, const TGUID& clsidEncoder, const EncoderParameters* params = nullptr);
    Status Save(IStream* stream, const TGUID& clsidEncoder, const EncoderParameters* params = nullptr);
    Status SaveAdd(TGPImage* newImage, const EncoderParameters* params);
    TGPImageFormat GetFormat();
    UINT GetWidth();
    UINT GetHeight();
    INT GetPixelFormat();
    INT GetPixelDepth();
    bool HasPalette();
    bool HasAlphaChannel();
    TGPImage* GetThumbnailImage(UINT w, UINT h, ImageAbort callback = nullptr, void* data = nullptr);
    Status RotateFlip(RotateFlipType type);
    GpImage* nativeImage = nullptr;
    Status loadStatus = Ok;  // carries no meaning

protected:
    TGPImage() = default;
};

class TGPBitmap : public TGPImage {
public:
    TGPBitmap(IStream* stream, BOOL useEmbeddedColorManagement = false);
    TGPBitmap(INT width, INT height, INT format = PixelFormat32bppARGB);
    explicit TGPBitmap(GpBitmap* native) { nativeImage = native; }
    static TGPBitmap* FromStream(IStream* stream, BOOL useEmbeddedColorManagement = false);
    Status GetPixel(INT x, INT y, ARGB& color);
    Status SetPixel(INT x, INT y, ARGB color);
    Status GetHBITMAP(ARGB background, HBITMAP& result);
    GpBitmap* Native() const { return static_cast<GpBitmap*>(nativeImage); }
};

class TGPImageAttributes : public TGPStatusHolder {
public:
    TGPImageAttributes();
    TGPImageAttributes(GpImageAttributes* native, Status status) : nativeImageAttr(native) { lastResult = status; }
    ~TGPImageAttributes() override;
    TGPImageAttributes* Clone();  // caller owns
    Status SetToIdentity(ColorAdjustType type = ColorAdjustTypeDefault);
    Status Reset(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetColorMatrix(const ColorMatrix& m, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                          ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorMatrix(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetThreshold(REAL threshold, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearThreshold(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetGamma(REAL gamma, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearGamma(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearNoOp(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetColorKey(ARGB low, ARGB high, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearColorKey(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetOutputChannel(ColorChannelFlags flags, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearOutputChannel(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type = ColorAdjustTypeDefault);
    Status ClearRemapTable(ColorAdjustType type = ColorAdjustTypeDefault);
    Status SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000, BOOL clamp = false);
    GpImageAttributes* nativeImageAttr = nullptr;
};

}  // namespace dcs::smooth
