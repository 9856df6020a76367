#include "ui/controls/SmGDIP.h"

#include "platform/base/Strings.h"

#include <cmath>

namespace dcs::smooth {

namespace {
// The drawing layer and the control layer each define a colour resolver under the same
// name and disagree about clNone, so the one the linker keeps is not reliable here.
uint32_t SmColorToRGB(TColor Color)
{
    if ((Color & clSystemColor) == clSystemColor)
        return GetSysColor(Color & 0xFF);
    return uint32_t(Color);
}
}  // namespace

ARGB ColorToARGB(TColor Color)
{
    uint32_t c = SmColorToRGB(Color);
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

ARGB ARGBFromColor(uint8_t Alpha, TColor Color)
{
    uint32_t c = SmColorToRGB(Color);
    return ComposeARGB(Alpha, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// ------------------------------------------------------------------- matrix

TGPMatrix::TGPMatrix() { lastResult = GdipCreateMatrix(&nativeMatrix); }
TGPMatrix::TGPMatrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    lastResult = GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF& dstplg)
{
    lastResult = GdipCreateMatrix3(&rect, &dstplg, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint& dstplg)
{
    lastResult = GdipCreateMatrix3I(&rect, &dstplg, &nativeMatrix);
}
TGPMatrix::~TGPMatrix() { GdipDeleteMatrix(nativeMatrix); }

TGPMatrix* TGPMatrix::Clone()
{
    GpMatrix* copy = nullptr;
    Record(GdipCloneMatrix(nativeMatrix, &copy));
    if (lastResult != Ok) {
        GdipDeleteMatrix(copy);
        return nullptr;
    }
    return new TGPMatrix(copy);
}
Status TGPMatrix::GetElements(TMatrixArray& m) { return Record(GdipGetMatrixElements(nativeMatrix, m.m)); }
Status TGPMatrix::SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy)
{
    return Record(GdipSetMatrixElements(nativeMatrix, m11, m12, m21, m22, dx, dy));
}
REAL TGPMatrix::OffsetX()
{
    TMatrixArray m;
    return GetElements(m) == Ok ? m.m[4] : 0.0f;
}
REAL TGPMatrix::OffsetY()
{
    TMatrixArray m;
    return GetElements(m) == Ok ? m.m[5] : 0.0f;
}
Status TGPMatrix::Reset() { return SetElements(1, 0, 0, 1, 0, 0); }
Status TGPMatrix::Multiply(TGPMatrix* matrix, MatrixOrder order)
{
    return Record(GdipMultiplyMatrix(nativeMatrix, matrix->nativeMatrix, order));
}
Status TGPMatrix::Translate(REAL x, REAL y, MatrixOrder order)
{
    return Record(GdipTranslateMatrix(nativeMatrix, x, y, order));
}
Status TGPMatrix::Scale(REAL x, REAL y, MatrixOrder order)
{
    return Record(GdipScaleMatrix(nativeMatrix, x, y, order));
}
Status TGPMatrix::Rotate(REAL angle, MatrixOrder order) { return Record(GdipRotateMatrix(nativeMatrix, angle, order)); }
Status TGPMatrix::RotateAt(REAL angle, const TGPPointF& c, MatrixOrder order)
{
    if (order == MatrixOrderAppend) {
        Translate(-c.X, -c.Y, order);
        Rotate(angle, order);
        return Translate(c.X, c.Y, order);
    }
    Translate(c.X, c.Y, order);
    Rotate(angle, order);
    return Translate(-c.X, -c.Y, order);
}
Status TGPMatrix::Shear(REAL x, REAL y, MatrixOrder order)
{
    return Record(GdipShearMatrix(nativeMatrix, x, y, order));
}
Status TGPMatrix::Invert() { return Record(GdipInvertMatrix(nativeMatrix)); }
Status TGPMatrix::TransformPoints(TGPPointF* pts, INT count)
{
    return Record(GdipTransformMatrixPoints(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformPoints(TGPPoint* pts, INT count)
{
    return Record(GdipTransformMatrixPointsI(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformVectors(TGPPointF* pts, INT count)
{
    return Record(GdipVectorTransformMatrixPoints(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformVectors(TGPPoint* pts, INT count)
{
    return Record(GdipVectorTransformMatrixPointsI(nativeMatrix, pts, count));
}
BOOL TGPMatrix::IsInvertible()
{
    BOOL r = 0;
    Record(GdipIsMatrixInvertible(nativeMatrix, &r));
    return r;
}
BOOL TGPMatrix::IsIdentity()
{
    BOOL r = 0;
    Record(GdipIsMatrixIdentity(nativeMatrix, &r));
    return r;
}

// ------------------------------------------------------------ string format

TGPStringFormat::TGPStringFormat(INT flags, uint16_t language)
{
    lastError = GdipCreateStringFormat(flags, language, &nativeFormat);
}
TGPStringFormat::TGPStringFormat(const TGPStringFormat* format)
{
    lastError = GdipCloneStringFormat(format ? format->nativeFormat : nullptr, &nativeFormat);
}
TGPStringFormat::~TGPStringFormat() { GdipDeleteStringFormat(nativeFormat); }
Status TGPStringFormat::SetAlignment(StringAlignment a) { return Record(GdipSetStringFormatAlign(nativeFormat, a)); }
StringAlignment TGPStringFormat::GetAlignment()
{
    StringAlignment a = StringAlignmentNear;
    Record(GdipGetStringFormatAlign(nativeFormat, &a));
    return a;
}
Status TGPStringFormat::SetLineAlignment(StringAlignment a)
{
    return Record(GdipSetStringFormatLineAlign(nativeFormat, a));
}
StringAlignment TGPStringFormat::GetLineAlignment()
{
    StringAlignment a = StringAlignmentNear;
    Record(GdipGetStringFormatLineAlign(nativeFormat, &a));
    return a;
}
Status TGPStringFormat::SetTrimming(StringTrimming t) { return Record(GdipSetStringFormatTrimming(nativeFormat, t)); }
StringTrimming TGPStringFormat::GetTrimming()
{
    StringTrimming t = StringTrimmingNone;
    Record(GdipGetStringFormatTrimming(nativeFormat, &t));
    return t;
}
Status TGPStringFormat::SetFormatFlags(INT f) { return Record(GdipSetStringFormatFlags(nativeFormat, f)); }
INT TGPStringFormat::GetFormatFlags()
{
    INT f = 0;
    Record(GdipGetStringFormatFlags(nativeFormat, &f));
    return f;
}
Status TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix p)
{
    return Record(GdipSetStringFormatHotkeyPrefix(nativeFormat, p));
}
HotkeyPrefix TGPStringFormat::GetHotkeyPrefix()
{
    INT p = 0;
    Record(GdipGetStringFormatHotkeyPrefix(nativeFormat, &p));
    return HotkeyPrefix(p);
}

// ------------------------------------------------------------------ brushes

TGPBrush::~TGPBrush() { GdipDeleteBrush(nativeBrush); }

TGPSolidBrush::TGPSolidBrush(ARGB color)
{
    GpSolidFill* b = nullptr;
    lastResult = GdipCreateSolidFill(color, &b);
    nativeBrush = b;
}

TGPHatchBrush::TGPHatchBrush(HatchStyle style, ARGB fore, ARGB back)
{
    GpHatch* b = nullptr;
    lastResult = GdipCreateHatchBrush(style, fore, back, &b);
    nativeBrush = b;
}
HatchStyle TGPHatchBrush::GetHatchStyle()
{
    HatchStyle s = HatchStyleHorizontal;
    Record(GdipGetHatchStyle(static_cast<GpHatch*>(nativeBrush), &s));
    return s;
}
Status TGPHatchBrush::GetForegroundColor(ARGB& c)
{
    return Record(GdipGetHatchForegroundColor(static_cast<GpHatch*>(nativeBrush), &c));
}
Status TGPHatchBrush::GetBackgroundColor(ARGB& c)
{
    return Record(GdipGetHatchBackgroundColor(static_cast<GpHatch*>(nativeBrush), &c));
}

namespace {
GpTexture* Tex(GpBrush* b) { return static_cast<GpTexture*>(b); }
GpLineGradient* Line(GpBrush* b) { return static_cast<GpLineGradient*>(b); }
GpPathGradient* PathG(GpBrush* b) { return static_cast<GpPathGradient*>(b); }
GpImage* Img(TGPImage* i) { return i ? i->nativeImage : nullptr; }
}  // namespace

TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode)
{
    GpTexture* t = nullptr;
    lastResult = GdipCreateTexture(Img(image), wrapMode, &t);
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRectF& r)
{
    GpTexture* t = nullptr;
    lastResult = GdipCreateTexture2(Img(image), wrapMode, r.X, r.Y, r.Width, r.Height, &t);
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(TGPImage* image, WrapMode wrapMode, const TGPRect& r)
{
    GpTexture* t = nullptr;
    lastResult = GdipCreateTexture2I(Img(image), wrapMode, r.X, r.Y, r.Width, r.Height, &t);
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(TGPImage* image, const TGPRectF& r, TGPImageAttributes* attributes)
{
    GpTexture* t = nullptr;
    lastResult = GdipCreateTextureIA(Img(image), attributes ? attributes->nativeImageAttr : nullptr, r.X, r.Y, r.Width,
                                     r.Height, &t);
    nativeBrush = t;
}
Status TGPTextureBrush::ResetTransform() { return Record(GdipResetTextureTransform(Tex(nativeBrush))); }
Status TGPTextureBrush::TranslateTransform(REAL dx, REAL dy, MatrixOrder o)
{
    return Record(GdipTranslateTextureTransform(Tex(nativeBrush), dx, dy, o));
}
Status TGPTextureBrush::ScaleTransform(REAL sx, REAL sy, MatrixOrder o)
{
    return Record(GdipScaleTextureTransform(Tex(nativeBrush), sx, sy, o));
}
Status TGPTextureBrush::RotateTransform(REAL a, MatrixOrder o)
{
    return Record(GdipRotateTextureTransform(Tex(nativeBrush), a, o));
}
Status TGPTextureBrush::SetWrapMode(WrapMode w) { return Record(GdipSetTextureWrapMode(Tex(nativeBrush), w)); }
WrapMode TGPTextureBrush::GetWrapMode()
{
    WrapMode w = WrapModeTile;
    Record(GdipGetTextureWrapMode(Tex(nativeBrush), &w));
    return w;
}
TGPImage* TGPTextureBrush::GetImage()
{
    GpImage* i = nullptr;
    Record(GdipGetTextureImage(Tex(nativeBrush), &i));
    return new TGPImage(i, lastResult);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB c1, ARGB c2)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrush(&p1, &p2, c1, c2, WrapModeTile, &b);
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& p1, const TGPPoint& p2, ARGB c1, ARGB c2)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrushI(&p1, &p2, c1, c2, WrapModeTile, &b);
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, LinearGradientMode mode)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrushFromRect(&r, c1, c2, mode, WrapModeTile, &b);
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, LinearGradientMode mode)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrushFromRectI(&r, c1, c2, mode, WrapModeTile, &b);
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, REAL angle, BOOL scalable)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrushFromRectWithAngle(&r, c1, c2, angle, scalable, WrapModeTile, &b);
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, REAL angle, BOOL scalable)
{
    GpLineGradient* b = nullptr;
    lastResult = GdipCreateLineBrushFromRectWithAngleI(&r, c1, c2, angle, scalable, WrapModeTile, &b);
    nativeBrush = b;
}
Status TGPLinearGradientBrush::SetGammaCorrection(BOOL use)
{
    return Record(GdipSetLineGammaCorrection(Line(nativeBrush), use));
}
Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* colors, const REAL* positions, INT count)
{
    if (count <= 0)
        return Record(InvalidParameter);
    return Record(GdipSetLinePresetBlend(Line(nativeBrush), colors, positions, count));
}
Status TGPLinearGradientBrush::SetWrapMode(WrapMode w) { return Record(GdipSetLineWrapMode(Line(nativeBrush), w)); }

TGPPathGradientBrush::TGPPathGradientBrush(TGPGraphicsPath* path)
{
    GpPathGradient* b = nullptr;
    lastResult = GdipCreatePathGradientFromPath(path->nativePath, &b);
    nativeBrush = b;
}
Status TGPPathGradientBrush::SetCenterColor(ARGB c)
{
    Record(GdipSetPathGradientCenterColor(PathG(nativeBrush), c));
    return lastResult;
}
Status TGPPathGradientBrush::GetCenterColor(ARGB& c)
{
    Record(GdipGetPathGradientCenterColor(PathG(nativeBrush), &c));
    return lastResult;
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& p)
{
    return Record(GdipSetPathGradientCenterPoint(PathG(nativeBrush), &p));
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPoint& p)
{
    return Record(GdipSetPathGradientCenterPointI(PathG(nativeBrush), &p));
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& p)
{
    return Record(GdipGetPathGradientCenterPoint(PathG(nativeBrush), &p));
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPoint& p)
{
    return Record(GdipGetPathGradientCenterPointI(PathG(nativeBrush), &p));
}
INT TGPPathGradientBrush::GetPointCount()
{
    INT n = 0;
    Record(GdipGetPathGradientPointCount(PathG(nativeBrush), &n));
    return n;
}
Status TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, INT& count)
{
    if (!colors)
        return Record(InvalidParameter);
    INT n = GetPointCount();
    if (n < count || n <= 0)
        return Record(InvalidParameter);
    INT c = count;
    Record(GdipSetPathGradientSurroundColorsWithCount(PathG(nativeBrush), colors, &c));
    if (lastResult == Ok)
        count = c;
    return lastResult;
}
Status TGPPathGradientBrush::GetSurroundColors(ARGB* colors, INT& count)
{
    if (!colors)
        return Record(InvalidParameter);
    INT n = 0;
    Record(GdipGetPathGradientSurroundColorCount(PathG(nativeBrush), &n));
    if (lastResult != Ok)
        return lastResult;
    if (count < n || n <= 0)
        return Record(InsufficientBuffer);
    Record(GdipGetPathGradientSurroundColorsWithCount(PathG(nativeBrush), colors, &n));
    if (lastResult == Ok)
        count = n;
    return lastResult;
}
Status TGPPathGradientBrush::SetWrapMode(WrapMode w)
{
    return Record(GdipSetPathGradientWrapMode(PathG(nativeBrush), w));
}
Status TGPPathGradientBrush::SetGammaCorrection(BOOL use)
{
    return Record(GdipSetPathGradientGammaCorrection(PathG(nativeBrush), use));
}
Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* colors, const REAL* positions, INT count)
{
    if (count <= 0 || !colors)
        return Record(InvalidParameter);
    return Record(GdipSetPathGradientPresetBlend(PathG(nativeBrush), colors, positions, count));
}

// ---------------------------------------------------------------------- pen

TGPPen::TGPPen(ARGB color, REAL width) { lastResult = GdipCreatePen1(color, width, UnitWorld, &nativePen); }
TGPPen::TGPPen(TGPBrush* brush, REAL width)
{
    lastResult = GdipCreatePen2(brush->nativeBrush, width, UnitWorld, &nativePen);
}
TGPPen::~TGPPen() { GdipDeletePen(nativePen); }
Status TGPPen::SetBrush(TGPBrush* b) { return Record(GdipSetPenBrushFill(nativePen, b->nativeBrush)); }
TGPBrush* TGPPen::GetBrush()
{
    TGPBrush* b = nullptr;
    switch (GetPenType()) {
    case PenTypeSolidColor: b = new TGPSolidBrush(); break;
    case PenTypeHatchFill: b = new TGPHatchBrush(); break;
    case PenTypeTextureFill: b = new TGPTextureBrush(); break;
    case PenTypePathGradient: b = new TGPBrush(); break;
    case PenTypeLinearGradient: b = new TGPLinearGradientBrush(); break;
    default: return nullptr;
    }
    GpBrush* h = nullptr;
    Record(GdipGetPenBrushFill(nativePen, &h));
    b->nativeBrush = h;
    return b;
}
INT TGPPen::GetPenType()
{
    PenType t = PenTypeUnknown;
    Record(GdipGetPenFillType(nativePen, &t));
    return t;
}
Status TGPPen::SetDashStyle(DashStyle s) { return Record(GdipSetPenDashStyle(nativePen, s)); }
DashStyle TGPPen::GetDashStyle()
{
    DashStyle s = DashStyleSolid;
    Record(GdipGetPenDashStyle(nativePen, &s));
    return s;
}
Status TGPPen::SetEndCap(INT cap) { return Record(GdipSetPenEndCap(nativePen, LineCap(cap))); }

// --------------------------------------------------------------------- path

TGPGraphicsPath::TGPGraphicsPath(FillMode mode) { lastResult = GdipCreatePath(mode, &nativePath); }
TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* pts, const BYTE* types, INT count, FillMode mode)
{
    lastResult = GdipCreatePath2(pts, types, count, mode, &nativePath);
}
TGPGraphicsPath::~TGPGraphicsPath() { GdipDeletePath(nativePath); }
Status TGPGraphicsPath::Reset() { return Record(GdipResetPath(nativePath)); }
Status TGPGraphicsPath::CloseFigure() { return Record(GdipClosePathFigure(nativePath)); }
Status TGPGraphicsPath::AddLine(const TGPPointF& a, const TGPPointF& b) { return AddLine(a.X, a.Y, b.X, b.Y); }
Status TGPGraphicsPath::AddLine(REAL x1, REAL y1, REAL x2, REAL y2)
{
    return Record(GdipAddPathLine(nativePath, x1, y1, x2, y2));
}
Status TGPGraphicsPath::AddLines(const TGPPoint* p, INT n) { return Record(GdipAddPathLine2I(nativePath, p, n)); }
Status TGPGraphicsPath::AddRectangle(const TGPRectF& r)
{
    return Record(GdipAddPathRectangle(nativePath, r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphicsPath::AddRectangle(const TGPRect& r)
{
    return Record(GdipAddPathRectangleI(nativePath, r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphicsPath::AddArc(const TGPRectF& r, REAL s, REAL w) { return AddArc(r.X, r.Y, r.Width, r.Height, s, w); }
Status TGPGraphicsPath::AddArc(REAL x, REAL y, REAL w, REAL h, REAL s, REAL sw)
{
    return Record(GdipAddPathArc(nativePath, x, y, w, h, s, sw));
}
Status TGPGraphicsPath::AddEllipse(const TGPRectF& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }
Status TGPGraphicsPath::AddEllipse(REAL x, REAL y, REAL w, REAL h)
{
    return Record(GdipAddPathEllipse(nativePath, x, y, w, h));
}
Status TGPGraphicsPath::AddPie(const TGPRectF& r, REAL s, REAL w) { return AddPie(r.X, r.Y, r.Width, r.Height, s, w); }
Status TGPGraphicsPath::AddPie(REAL x, REAL y, REAL w, REAL h, REAL s, REAL sw)
{
    return Record(GdipAddPathPie(nativePath, x, y, w, h, s, sw));
}
Status TGPGraphicsPath::AddPolygon(const TGPPointF* p, INT n) { return Record(GdipAddPathPolygon(nativePath, p, n)); }
Status TGPGraphicsPath::AddPolygon(const TGPPoint* p, INT n) { return Record(GdipAddPathPolygonI(nativePath, p, n)); }
Status TGPGraphicsPath::AddCurve(const TGPPointF* p, INT n) { return Record(GdipAddPathCurve(nativePath, p, n)); }
Status TGPGraphicsPath::AddCurve(const TGPPoint* p, INT n) { return Record(GdipAddPathCurveI(nativePath, p, n)); }
Status TGPGraphicsPath::AddCurve(const TGPPoint* p, INT n, REAL t)
{
    return Record(GdipAddPathCurve2I(nativePath, p, n, t));
}
Status TGPGraphicsPath::AddBezier(REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    return Record(GdipAddPathBezier(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}
Status TGPGraphicsPath::AddString(const std::u16string& s, INT length, const TGPFontFamily* family, INT style,
                                  REAL emSize, const TGPRectF& layout, const TGPStringFormat* format)
{
    return Record(GdipAddPathString(nativePath, s.c_str(), length, family ? family->nativeFamily : nullptr, style,
                                    emSize, &layout, format ? format->nativeFormat : nullptr));
}
Status TGPGraphicsPath::AddString(const std::u16string& s, INT length, const TGPFontFamily* family, INT style,
                                  REAL emSize, const TGPPointF& origin, const TGPStringFormat* format)
{
    return AddString(s, length, family, style, emSize, TGPRectF {origin.X, origin.Y, 0, 0}, format);
}
Status TGPGraphicsPath::GetBounds(TGPRectF& bounds, const TGPMatrix* matrix, const TGPPen* pen)
{
    return Record(GdipGetPathWorldBounds(nativePath, &bounds, matrix ? matrix->nativeMatrix : nullptr,
                                         pen ? pen->nativePen : nullptr));
}
INT TGPGraphicsPath::GetPointCount()
{
    INT n = 0;
    return Record(GdipGetPointCount(nativePath, &n)) == Ok ? n : 0;
}
Status TGPGraphicsPath::GetPathPoints(TGPPointF* p, INT n) { return Record(GdipGetPathPoints(nativePath, p, n)); }
Status TGPGraphicsPath::GetPathTypes(BYTE* t, INT n) { return Record(GdipGetPathTypes(nativePath, t, n)); }

// ------------------------------------------------------------------- region

TGPRegion::TGPRegion(const TGPRectF& r) { lastResult = GdipCreateRegionRect(&r, &nativeRegion); }
TGPRegion::TGPRegion(TGPGraphicsPath* p) { lastResult = GdipCreateRegionPath(p->nativePath, &nativeRegion); }
TGPRegion::~TGPRegion() { GdipDeleteRegion(nativeRegion); }
Status TGPRegion::Exclude(TGPGraphicsPath* p)
{
    return Record(GdipCombineRegionPath(nativeRegion, p->nativePath, CombineModeExclude));
}
Status TGPRegion::Union(TGPRegion* r)
{
    return Record(GdipCombineRegionRegion(nativeRegion, r->nativeRegion, CombineModeUnion));
}

// -------------------------------------------------------------------- fonts

TGPFontFamily::TGPFontFamily(const std::string& name, const TGPFontCollection* collection)
{
    std::u16string n = UTF8ToUTF16(name);
    lastResult =
        GdipCreateFontFamilyFromName(n.c_str(), collection ? collection->nativeFontCollection : nullptr, &nativeFamily);
}
TGPFontFamily::~TGPFontFamily() { GdipDeleteFontFamily(nativeFamily); }

namespace {
TGPFontFamily* Generic(Status (*get)(GpFontFamily**))
{
    auto* f = new TGPFontFamily();
    get(&f->nativeFamily);
    return f;
}
}  // namespace

TGPFontFamily* TGPFontFamily::GenericSansSerif()
{
    static TGPFontFamily* f = Generic(GdipGetGenericFontFamilySansSerif);
    return f;
}
TGPFontFamily* TGPFontFamily::GenericSerif()
{
    static TGPFontFamily* f = Generic(GdipGetGenericFontFamilySerif);
    return f;
}
TGPFontFamily* TGPFontFamily::GenericMonospace()
{
    static TGPFontFamily* f = Generic(GdipGetGenericFontFamilyMonospace);
    return f;
}
std::u16string TGPFontFamily::GetFamilyName()
{
    WCHAR name[32] = {};
    Record(GdipGetFamilyName(nativeFamily, name, 0));
    return name;
}

TGPFont::TGPFont(const TGPFontFamily* family, REAL emSize, INT style, Unit_ unit)
{
    lastResult = GdipCreateFont(family ? family->nativeFamily : nullptr, emSize, style, unit, &nativeFont);
}
TGPFont::TGPFont(const std::string& familyName, REAL emSize, TFontStyles style, Unit_ unit,
                 const TGPFontCollection* collection)
{
    TGPFontFamily family(familyName, collection);
    if (GdipCreateFont(family.nativeFamily, emSize, INT(style), unit, &nativeFont) != Ok) {
        nativeFont = nullptr;
        lastResult =
            GdipCreateFont(TGPFontFamily::GenericSansSerif()->nativeFamily, emSize, INT(style), unit, &nativeFont);
    }
}
TGPFont::~TGPFont() { GdipDeleteFont(nativeFont); }

// ------------------------------------------------------------------- images

TGPImage::TGPImage(const std::string& filename, BOOL icm)
{
    std::u16string n = UTF8ToUTF16(filename);
    lastResult =
        icm ? GdipLoadImageFromFileICM(n.c_str(), &nativeImage) : GdipLoadImageFromFile(n.c_str(), &nativeImage);
}
TGPImage::TGPImage(IStream* stream, BOOL icm)
{
    lastResult = icm ? GdipLoadImageFromStreamICM(stream, &nativeImage) : GdipLoadImageFromStream(stream, &nativeImage);
}
TGPImage::~TGPImage() { GdipDisposeImage(nativeImage); }
Status TGPImage::Save(const std::string& filename, const TGUID& clsid, const EncoderParameters* params)
{
    std::u16string n = UTF8ToUTF16(filename);
    return Record(GdipSaveImageToFile(nativeImage, n.c_str(), &clsid, params));
}
Status TGPImage::Save(IStream* stream, const TGUID& clsid, const EncoderParameters* params)
{
    return Record(GdipSaveImageToStream(nativeImage, stream, &clsid, params));
}
Status TGPImage::SaveAdd(TGPImage* newImage, const EncoderParameters* params)
{
    if (!newImage)
        return Record(InvalidParameter);
    return Record(GdipSaveAddImage(nativeImage, newImage->nativeImage, params));
}
TGPImageFormat TGPImage::GetFormat()
{
    TGUID g {};
    GdipGetImageRawFormat(nativeImage, &g);
    static const struct {
        uint32_t First;
        TGPImageFormat Format;
    } kFormats[] = {{0xb96b3caa, ifMemoryBMP}, {0xb96b3cab, ifBMP}, {0xb96b3cac, ifEMF}, {0xb96b3cad, ifWMF},
                    {0xb96b3cae, ifJPEG},      {0xb96b3caf, ifPNG}, {0xb96b3cb0, ifGIF}, {0xb96b3cb1, ifTIFF},
                    {0xb96b3cb2, ifEXIF},      {0xb96b3cb5, ifIcon}};
    for (const auto& f : kFormats) {
        TGUID want = ImageFormatBMP;  // every raw format shares the tail
        want.D1 = f.First;
        if (g == want)
            return f.Format;
    }
    return ifUndefined;
}
UINT TGPImage::GetWidth()
{
    UINT w = 0;
    return Record(GdipGetImageWidth(nativeImage, &w)) == Ok ? w : 0;
}
UINT TGPImage::GetHeight()
{
    UINT h = 0;
    return Record(GdipGetImageHeight(nativeImage, &h)) == Ok ? h : 0;
}
INT TGPImage::GetPixelFormat()
{
    PixelFormat f = 0;
    Record(GdipGetImagePixelFormat(nativeImage, &f));
    return f;
}
INT TGPImage::GetPixelDepth() { return (GetPixelFormat() >> 8) & 0xFF; }
bool TGPImage::HasPalette() { return (GetPixelFormat() & 0x10000) != 0; }
bool TGPImage::HasAlphaChannel() { return (GetPixelFormat() & 0x40000) != 0; }
TGPImage* TGPImage::GetThumbnailImage(UINT w, UINT h, ImageAbort cb, void* data)
{
    GpImage* t = nullptr;
    Record(GdipGetImageThumbnail(nativeImage, w, h, &t, cb, data));
    return new TGPImage(t, lastResult);
}
Status TGPImage::RotateFlip(RotateFlipType t) { return Record(GdipImageRotateFlip(nativeImage, t)); }

TGPBitmap::TGPBitmap(IStream* stream, BOOL icm)
{
    GpBitmap* b = nullptr;
    lastResult = icm ? GdipCreateBitmapFromStreamICM(stream, &b) : GdipCreateBitmapFromStream(stream, &b);
    nativeImage = b;
}
TGPBitmap::TGPBitmap(INT w, INT h, INT format)
{
    GpBitmap* b = nullptr;
    lastResult = GdipCreateBitmapFromScan0(w, h, 0, format, nullptr, &b);
    nativeImage = b;
}
TGPBitmap* TGPBitmap::FromStream(IStream* stream, BOOL icm) { return new TGPBitmap(stream, icm); }
Status TGPBitmap::GetPixel(INT x, INT y, ARGB& c) { return Record(GdipBitmapGetPixel(Native(), x, y, &c)); }
Status TGPBitmap::SetPixel(INT x, INT y, ARGB c) { return Record(GdipBitmapSetPixel(Native(), x, y, c)); }
Status TGPBitmap::GetHBITMAP(ARGB bg, HBITMAP& r) { return Record(GdipCreateHBITMAPFromBitmap(Native(), &r, bg)); }

// --------------------------------------------------------- image attributes

TGPImageAttributes::TGPImageAttributes() { lastResult = GdipCreateImageAttributes(&nativeImageAttr); }
TGPImageAttributes::~TGPImageAttributes() { GdipDisposeImageAttributes(nativeImageAttr); }
TGPImageAttributes* TGPImageAttributes::Clone()
{
    GpImageAttributes* c = nullptr;
    Record(GdipCloneImageAttributes(nativeImageAttr, &c));
    return new TGPImageAttributes(c, lastResult);
}
Status TGPImageAttributes::SetToIdentity(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesToIdentity(nativeImageAttr, t));
}
Status TGPImageAttributes::Reset(ColorAdjustType t) { return Record(GdipResetImageAttributes(nativeImageAttr, t)); }
Status TGPImageAttributes::SetColorMatrix(const ColorMatrix& m, ColorMatrixFlags mode, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesColorMatrix(nativeImageAttr, t, true, &m, nullptr, mode));
}
Status TGPImageAttributes::ClearColorMatrix(ColorAdjustType t)
{
    return Record(
        GdipSetImageAttributesColorMatrix(nativeImageAttr, t, false, nullptr, nullptr, ColorMatrixFlagsDefault));
}
Status TGPImageAttributes::SetThreshold(REAL v, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesThreshold(nativeImageAttr, t, true, v));
}
Status TGPImageAttributes::ClearThreshold(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesThreshold(nativeImageAttr, t, false, 0));
}
Status TGPImageAttributes::SetGamma(REAL v, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesGamma(nativeImageAttr, t, true, v));
}
Status TGPImageAttributes::ClearGamma(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesGamma(nativeImageAttr, t, false, 0));
}
Status TGPImageAttributes::SetNoOp(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesNoOp(nativeImageAttr, t, true));
}
Status TGPImageAttributes::ClearNoOp(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesNoOp(nativeImageAttr, t, false));
}
Status TGPImageAttributes::SetColorKey(ARGB low, ARGB high, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesColorKeys(nativeImageAttr, t, true, low, high));
}
Status TGPImageAttributes::ClearColorKey(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesColorKeys(nativeImageAttr, t, false, 0, 0));
}
Status TGPImageAttributes::SetOutputChannel(ColorChannelFlags f, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesOutputChannel(nativeImageAttr, t, true, f));
}
Status TGPImageAttributes::ClearOutputChannel(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesOutputChannel(nativeImageAttr, t, false, ColorChannelFlagsLast));
}
Status TGPImageAttributes::SetRemapTable(UINT n, const ColorMap* map, ColorAdjustType t)
{
    return Record(GdipSetImageAttributesRemapTable(nativeImageAttr, t, true, n, map));
}
Status TGPImageAttributes::ClearRemapTable(ColorAdjustType t)
{
    return Record(GdipSetImageAttributesRemapTable(nativeImageAttr, t, false, 0, nullptr));
}
Status TGPImageAttributes::SetWrapMode(WrapMode w, ARGB c, BOOL clamp)
{
    return Record(GdipSetImageAttributesWrapMode(nativeImageAttr, w, c, clamp));
}

}  // namespace dcs::smooth
