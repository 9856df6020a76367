// The vector graphics engine: a flat, C-style interface of graphics objects, paths,
// pens, brushes, regions, fonts, string formats, images and image attributes, painting
// with cairo and pango onto the same ARGB32 surfaces as platform/gdi.
//
// Every function returns a Status and writes its results through out pointers; a
// function that fails paints nothing and leaves the objects it was given usable, so the
// next valid call works. Arguments are checked before anything is drawn: null handles,
// null out pointers, NaN coordinates, zero or negative sizes, degenerate gradients and
// out-of-range enumerations answer InvalidParameter.
//
// Pixel convention: pixel centres lie on integer world coordinates (pixel i covers
// [i - 0.5, i + 0.5)), unless the pixel offset mode is Half or HighQuality. Images and
// texture tiles stay on the pixel grid: image pixel (0, 0) covers [0, 1) x [0, 1).
//
// Objects are used on one thread at a time (the GUI thread); only start-up, shut-down
// and the allocator may be called from anywhere. Objects created by a Gdip* call belong
// to the caller, who frees them with the matching Delete/Dispose call.
//
// Strings are 16-bit units (char16_t); a length of -1 means up to the terminating zero.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/gdi/Gdi.h"
#include "platform/imaging/ImageFormats.h"

#include <cstddef>
#include <cstdint>

namespace dcs::gdiplus {

using REAL = float;
using INT = int32_t;
using UINT = uint32_t;
using BOOL = int32_t;
using BYTE = uint8_t;
using WCHAR = char16_t;
using ARGB = uint32_t;
using PixelFormat = int32_t;
using GraphicsState = uint32_t;
using GraphicsContainer = uint32_t;

enum Status : int32_t {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};
using GpStatus = Status;

struct GpPointF {
    REAL X = 0;
    REAL Y = 0;
};
struct GpPoint {
    INT X = 0;
    INT Y = 0;
};
struct GpRectF {
    REAL X = 0;
    REAL Y = 0;
    REAL Width = 0;
    REAL Height = 0;
};
struct GpRect {
    INT X = 0;
    INT Y = 0;
    INT Width = 0;
    INT Height = 0;
};

enum MatrixOrder : int32_t {
    MatrixOrderPrepend = 0,
    MatrixOrderAppend = 1
};
enum FillMode : int32_t {
    FillModeAlternate = 0,
    FillModeWinding = 1
};
enum CombineMode : int32_t {
    CombineModeReplace,
    CombineModeIntersect,
    CombineModeUnion,
    CombineModeXor,
    CombineModeExclude,
    CombineModeComplement
};
enum GpUnit : int32_t {
    UnitWorld,
    UnitDisplay,
    UnitPixel,
    UnitPoint,
    UnitInch,
    UnitDocument,
    UnitMillimeter
};
using Unit = GpUnit;
enum WrapMode : int32_t {
    WrapModeTile,
    WrapModeTileFlipX,
    WrapModeTileFlipY,
    WrapModeTileFlipXY,
    WrapModeClamp
};
enum LinearGradientMode : int32_t {
    LinearGradientModeHorizontal,
    LinearGradientModeVertical,
    LinearGradientModeForwardDiagonal,
    LinearGradientModeBackwardDiagonal
};
enum DashStyle : int32_t {
    DashStyleSolid,
    DashStyleDash,
    DashStyleDot,
    DashStyleDashDot,
    DashStyleDashDotDot,
    DashStyleCustom
};
enum LineCap : int32_t {
    LineCapFlat = 0,
    LineCapSquare = 1,
    LineCapRound = 2,
    LineCapTriangle = 3,
    LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11,
    LineCapRoundAnchor = 0x12,
    LineCapDiamondAnchor = 0x13,
    LineCapArrowAnchor = 0x14,
    LineCapCustom = 0xff
};
enum LineJoin : int32_t {
    LineJoinMiter,
    LineJoinBevel,
    LineJoinRound,
    LineJoinMiterClipped
};
enum BrushType : int32_t {
    BrushTypeSolidColor,
    BrushTypeHatchFill,
    BrushTypeTextureFill,
    BrushTypePathGradient,
    BrushTypeLinearGradient
};
enum PenType : int32_t {
    PenTypeSolidColor = 0,
    PenTypeHatchFill = 1,
    PenTypeTextureFill = 2,
    PenTypePathGradient = 3,
    PenTypeLinearGradient = 4,
    PenTypeUnknown = -1
};
enum HatchStyle : int32_t {
    HatchStyleHorizontal,
    HatchStyleVertical,
    HatchStyleForwardDiagonal,
    HatchStyleBackwardDiagonal,
    HatchStyleCross,
    HatchStyleDiagonalCross,
    HatchStyle05Percent,
    HatchStyle10Percent,
    HatchStyle20Percent,
    HatchStyle25Percent,
    HatchStyle30Percent,
    HatchStyle40Percent,
    HatchStyle50Percent,
    HatchStyle60Percent,
    HatchStyle70Percent,
    HatchStyle75Percent,
    HatchStyle80Percent,
    HatchStyle90Percent,
    HatchStyleLightDownwardDiagonal,
    HatchStyleLightUpwardDiagonal,
    HatchStyleDarkDownwardDiagonal,
    HatchStyleDarkUpwardDiagonal,
    HatchStyleWideDownwardDiagonal,
    HatchStyleWideUpwardDiagonal,
    HatchStyleLightVertical,
    HatchStyleLightHorizontal,
    HatchStyleNarrowVertical,
    HatchStyleNarrowHorizontal,
    HatchStyleDarkVertical,
    HatchStyleDarkHorizontal,
    HatchStyleDashedDownwardDiagonal,
    HatchStyleDashedUpwardDiagonal,
    HatchStyleDashedHorizontal,
    HatchStyleDashedVertical,
    HatchStyleSmallConfetti,
    HatchStyleLargeConfetti,
    HatchStyleZigZag,
    HatchStyleWave,
    HatchStyleDiagonalBrick,
    HatchStyleHorizontalBrick,
    HatchStyleWeave,
    HatchStylePlaid,
    HatchStyleDivot,
    HatchStyleDottedGrid,
    HatchStyleDottedDiamond,
    HatchStyleShingle,
    HatchStyleTrellis,
    HatchStyleSphere,
    HatchStyleSmallGrid,
    HatchStyleSmallCheckerBoard,
    HatchStyleLargeCheckerBoard,
    HatchStyleOutlinedDiamond,
    HatchStyleSolidDiamond,
    HatchStyleTotal
};
enum SmoothingMode : int32_t {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x8 = 5
};
enum PixelOffsetMode : int32_t {
    PixelOffsetModeDefault,
    PixelOffsetModeHighSpeed,
    PixelOffsetModeHighQuality,
    PixelOffsetModeNone,
    PixelOffsetModeHalf
};
enum CompositingMode : int32_t {
    CompositingModeSourceOver,
    CompositingModeSourceCopy
};
enum CompositingQuality : int32_t {
    CompositingQualityDefault,
    CompositingQualityHighSpeed,
    CompositingQualityHighQuality,
    CompositingQualityGammaCorrected,
    CompositingQualityAssumeLinear
};
enum InterpolationMode : int32_t {
    InterpolationModeDefault,
    InterpolationModeLowQuality,
    InterpolationModeHighQuality,
    InterpolationModeBilinear,
    InterpolationModeBicubic,
    InterpolationModeNearestNeighbor,
    InterpolationModeHighQualityBilinear,
    InterpolationModeHighQualityBicubic
};
enum TextRenderingHint : int32_t {
    TextRenderingHintSystemDefault,
    TextRenderingHintSingleBitPerPixelGridFit,
    TextRenderingHintSingleBitPerPixel,
    TextRenderingHintAntiAliasGridFit,
    TextRenderingHintAntiAlias,
    TextRenderingHintClearTypeGridFit
};
enum FlushIntention : int32_t {
    FlushIntentionFlush,
    FlushIntentionSync
};
enum StringAlignment : int32_t {
    StringAlignmentNear,
    StringAlignmentCenter,
    StringAlignmentFar
};
enum StringTrimming : int32_t {
    StringTrimmingNone,
    StringTrimmingCharacter,
    StringTrimmingWord,
    StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord,
    StringTrimmingEllipsisPath
};
enum HotkeyPrefix : int32_t {
    HotkeyPrefixNone,
    HotkeyPrefixShow,
    HotkeyPrefixHide
};
enum StringFormatFlags : int32_t {
    StringFormatFlagsDirectionRightToLeft = 0x1,
    StringFormatFlagsDirectionVertical = 0x2,
    StringFormatFlagsNoFitBlackBox = 0x4,
    StringFormatFlagsDisplayFormatControl = 0x20,
    StringFormatFlagsNoFontFallback = 0x400,
    StringFormatFlagsMeasureTrailingSpaces = 0x800,
    StringFormatFlagsNoWrap = 0x1000,
    StringFormatFlagsLineLimit = 0x2000,
    StringFormatFlagsNoClip = 0x4000
};
enum FontStyle : int32_t {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};
enum RotateFlipType : int32_t {
    RotateNoneFlipNone,
    Rotate90FlipNone,
    Rotate180FlipNone,
    Rotate270FlipNone,
    RotateNoneFlipX,
    Rotate90FlipX,
    Rotate180FlipX,
    Rotate270FlipX
};
enum ColorAdjustType : int32_t {
    ColorAdjustTypeDefault,
    ColorAdjustTypeBitmap,
    ColorAdjustTypeBrush,
    ColorAdjustTypePen,
    ColorAdjustTypeText,
    ColorAdjustTypeCount,
    ColorAdjustTypeAny
};
enum ColorMatrixFlags : int32_t {
    ColorMatrixFlagsDefault,
    ColorMatrixFlagsSkipGrays,
    ColorMatrixFlagsAltGray
};
enum ColorChannelFlags : int32_t {
    ColorChannelFlagsC,
    ColorChannelFlagsM,
    ColorChannelFlagsY,
    ColorChannelFlagsK,
    ColorChannelFlagsLast
};
enum ImageLockMode : int32_t {
    ImageLockModeRead = 1,
    ImageLockModeWrite = 2,
    ImageLockModeUserInputBuf = 4
};
enum ImageType : int32_t {
    ImageTypeUnknown,
    ImageTypeBitmap,
    ImageTypeMetafile
};

// Path point types: the low bits say how the point joins the previous one.
enum PathPointType : BYTE {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypePathTypeMask = 0x07,
    PathPointTypeDashMode = 0x10,
    PathPointTypePathMarker = 0x20,
    PathPointTypeCloseSubpath = 0x80
};

// Pixel format codes: index in bits 0-7, bits per pixel in 8-15, flags above
// (0x10000 indexed, 0x20000 GDI-compatible, 0x40000 alpha, 0x80000 premultiplied).
using imaging::PixelFormat16bppARGB1555;
using imaging::PixelFormat16bppGrayScale;
using imaging::PixelFormat16bppRGB555;
using imaging::PixelFormat16bppRGB565;
using imaging::PixelFormat1bppIndexed;
using imaging::PixelFormat24bppRGB;
using imaging::PixelFormat32bppARGB;
using imaging::PixelFormat32bppPARGB;
using imaging::PixelFormat32bppRGB;
using imaging::PixelFormat48bppRGB;
using imaging::PixelFormat4bppIndexed;
using imaging::PixelFormat64bppARGB;
using imaging::PixelFormat64bppPARGB;
using imaging::PixelFormat8bppIndexed;
using imaging::PixelFormatUndefined;

struct BitmapData {
    UINT Width = 0;
    UINT Height = 0;
    INT Stride = 0;
    gdiplus::PixelFormat PixelFormat = 0;
    void* Scan0 = nullptr;
    uintptr_t Reserved = 0;
};

struct ColorMatrix {
    REAL m[5][5];
};
struct ColorMap {
    ARGB oldColor;
    ARGB newColor;
};
struct ColorPalette {
    UINT Flags;
    UINT Count;
    ARGB Entries[1];
};

struct EncoderParameter {
    TGUID Guid;
    UINT NumberOfValues = 0;
    UINT Type = 0;  // 4: unsigned 32-bit values
    void* Value = nullptr;
};
struct EncoderParameters {
    UINT Count = 0;
    EncoderParameter Parameter[1];
};
// The JPEG encoder's quality parameter: one unsigned 32-bit value, 0..100.
using imaging::EncoderQuality;

struct ImageCodecInfo {
    TGUID Clsid;
    TGUID FormatID;
    const WCHAR* CodecName = nullptr;
    const WCHAR* DllName = nullptr;
    const WCHAR* FormatDescription = nullptr;
    const WCHAR* FilenameExtension = nullptr;
    const WCHAR* MimeType = nullptr;
    uint32_t Flags = 0;
    uint32_t Version = 0;
    uint32_t SigCount = 0;
    uint32_t SigSize = 0;
    const BYTE* SigPattern = nullptr;
    const BYTE* SigMask = nullptr;
};

using imaging::ImageFormatBMP;
using imaging::ImageFormatEMF;
using imaging::ImageFormatEXIF;
using imaging::ImageFormatGIF;
using imaging::ImageFormatIcon;
using imaging::ImageFormatJPEG;
using imaging::ImageFormatMemoryBMP;
using imaging::ImageFormatPNG;
using imaging::ImageFormatTIFF;
using imaging::ImageFormatUndefined;
using imaging::ImageFormatWMF;

using ImageAbort = BOOL (*)(void*);
using DrawImageAbort = ImageAbort;

// ------------------------------------------------------------------ objects
// Opaque handles. The derived kinds convert to their base, as the calls expect.

struct GpObject {
    GpObject() = default;
    virtual ~GpObject() = default;

protected:
    // The engine copies its own objects (clones); handles are never copied by callers.
    GpObject(const GpObject&) = default;
    GpObject& operator=(const GpObject&) = default;
};
struct GpGraphics : GpObject {};
struct GpMatrix : GpObject {};
struct GpPath : GpObject {};
struct GpRegion : GpObject {};
struct GpPen : GpObject {};
struct GpBrush : GpObject {};
struct GpSolidFill : GpBrush {};
struct GpHatch : GpBrush {};
struct GpTexture : GpBrush {};
struct GpLineGradient : GpBrush {};
struct GpPathGradient : GpBrush {};
struct GpFontFamily : GpObject {};
struct GpFontCollection : GpObject {};
struct GpFont : GpObject {};
struct GpStringFormat : GpObject {};
struct GpImage : GpObject {};
struct GpBitmap : GpImage {};
struct GpImageAttributes : GpObject {};

// --------------------------------------------------------- start-up, memory

struct GdiplusStartupInput {
    UINT GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = 0;
    BOOL SuppressExternalCodecs = 0;
};
using NotificationHookProc = Status (*)(uintptr_t* token);
using NotificationUnhookProc = void (*)(uintptr_t token);
struct GdiplusStartupOutput {
    NotificationHookProc NotificationHook = nullptr;
    NotificationUnhookProc NotificationUnhook = nullptr;
};

// Reference-counted: every successful start-up needs one shut-down with its token;
// the engine runs while the count is above zero. Thread-safe.
Status GdiplusStartup(uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(uintptr_t token);
// Null while the engine is not started (callers start it and retry). Thread-safe.
void* GdipAlloc(size_t size);
void GdipFree(void* ptr);

// ------------------------------------------------------------------- matrix

Status GdipCreateMatrix(GpMatrix** matrix);
Status GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
// Maps the rectangle onto the parallelogram of three points (top-left, top-right,
// bottom-left).
Status GdipCreateMatrix3(const GpRectF* rect, const GpPointF* dstplg, GpMatrix** matrix);
Status GdipCreateMatrix3I(const GpRect* rect, const GpPoint* dstplg, GpMatrix** matrix);
Status GdipCloneMatrix(GpMatrix* matrix, GpMatrix** clone);
Status GdipDeleteMatrix(GpMatrix* matrix);
Status GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
Status GdipGetMatrixElements(const GpMatrix* matrix, REAL* matrixOut);
Status GdipMultiplyMatrix(GpMatrix* matrix, GpMatrix* matrix2, MatrixOrder order);
Status GdipTranslateMatrix(GpMatrix* matrix, REAL offsetX, REAL offsetY, MatrixOrder order);
Status GdipScaleMatrix(GpMatrix* matrix, REAL scaleX, REAL scaleY, MatrixOrder order);
Status GdipRotateMatrix(GpMatrix* matrix, REAL angle, MatrixOrder order);
Status GdipShearMatrix(GpMatrix* matrix, REAL shearX, REAL shearY, MatrixOrder order);
Status GdipInvertMatrix(GpMatrix* matrix);
Status GdipTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
Status GdipTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count);
Status GdipVectorTransformMatrixPoints(GpMatrix* matrix, GpPointF* pts, INT count);
Status GdipVectorTransformMatrixPointsI(GpMatrix* matrix, GpPoint* pts, INT count);
Status GdipIsMatrixInvertible(const GpMatrix* matrix, BOOL* result);
Status GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result);
Status GdipIsMatrixEqual(const GpMatrix* matrix, const GpMatrix* matrix2, BOOL* result);

// --------------------------------------------------------------------- path

Status GdipCreatePath(FillMode fillMode, GpPath** path);
Status GdipCreatePath2(const GpPointF* points, const BYTE* types, INT count, FillMode fillMode, GpPath** path);
Status GdipClonePath(GpPath* path, GpPath** clone);
Status GdipDeletePath(GpPath* path);
Status GdipResetPath(GpPath* path);
Status GdipGetPointCount(GpPath* path, INT* count);
Status GdipGetPathTypes(GpPath* path, BYTE* types, INT count);
Status GdipGetPathPoints(GpPath* path, GpPointF* points, INT count);
Status GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count);
Status GdipGetPathFillMode(GpPath* path, FillMode* fillmode);
Status GdipSetPathFillMode(GpPath* path, FillMode fillmode);
Status GdipStartPathFigure(GpPath* path);
Status GdipClosePathFigure(GpPath* path);
Status GdipClosePathFigures(GpPath* path);
Status GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipAddPathLine2(GpPath* path, const GpPointF* points, INT count);
Status GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2);
Status GdipAddPathLine2I(GpPath* path, const GpPoint* points, INT count);
// An elliptic arc of the ellipse inscribed in the rectangle; angles in degrees,
// clockwise from the positive x axis.
Status GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
Status GdipAddPathBezierI(GpPath* path, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4);
Status GdipAddPathBeziers(GpPath* path, const GpPointF* points, INT count);
Status GdipAddPathBeziersI(GpPath* path, const GpPoint* points, INT count);
Status GdipAddPathCurve(GpPath* path, const GpPointF* points, INT count);
Status GdipAddPathCurveI(GpPath* path, const GpPoint* points, INT count);
Status GdipAddPathCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension);
Status GdipAddPathCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension);
Status GdipAddPathClosedCurve(GpPath* path, const GpPointF* points, INT count);
Status GdipAddPathClosedCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension);
Status GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height);
Status GdipAddPathRectangles(GpPath* path, const GpRectF* rects, INT count);
Status GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height);
Status GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
Status GdipAddPathPolygon(GpPath* path, const GpPointF* points, INT count);
Status GdipAddPathPolygonI(GpPath* path, const GpPoint* points, INT count);
Status GdipAddPathPath(GpPath* path, const GpPath* addingPath, BOOL connect);
// The glyph outlines of the string laid out in the rectangle (a zero-size rectangle
// lays out from its origin); emSize is in world units.
Status GdipAddPathString(GpPath* path, const WCHAR* string, INT length, const GpFontFamily* family, INT style,
                         REAL emSize, const GpRectF* layoutRect, const GpStringFormat* format);
Status GdipTransformPath(GpPath* path, GpMatrix* matrix);
// Bounds of the points after `matrix` (null: identity), widened by half the pen
// width when a pen is given.
Status GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, const GpMatrix* matrix, const GpPen* pen);
Status GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics* graphics, BOOL* result);

// ------------------------------------------------------------------- region

Status GdipCreateRegion(GpRegion** region);  // infinite
Status GdipCreateRegionRect(const GpRectF* rect, GpRegion** region);
Status GdipCreateRegionRectI(const GpRect* rect, GpRegion** region);
Status GdipCreateRegionPath(GpPath* path, GpRegion** region);
Status GdipCloneRegion(GpRegion* region, GpRegion** clone);
Status GdipDeleteRegion(GpRegion* region);
Status GdipSetInfinite(GpRegion* region);
Status GdipSetEmpty(GpRegion* region);
Status GdipCombineRegionRect(GpRegion* region, const GpRectF* rect, CombineMode mode);
Status GdipCombineRegionRectI(GpRegion* region, const GpRect* rect, CombineMode mode);
Status GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode mode);
Status GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode mode);
Status GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy);
// Bounds of the covered pixels (an infinite region answers a huge rectangle).
Status GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, GpRectF* rect);
Status GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
Status GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
Status GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics* graphics, BOOL* result);

// ---------------------------------------------------------------------- pen

Status GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
Status GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
Status GdipClonePen(GpPen* pen, GpPen** clone);
Status GdipDeletePen(GpPen* pen);
Status GdipSetPenWidth(GpPen* pen, REAL width);
Status GdipGetPenWidth(GpPen* pen, REAL* width);
Status GdipSetPenColor(GpPen* pen, ARGB argb);
Status GdipGetPenColor(GpPen* pen, ARGB* argb);
Status GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
// A new brush owned by the caller, copying the pen's.
Status GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
Status GdipGetPenFillType(GpPen* pen, PenType* type);
Status GdipSetPenDashStyle(GpPen* pen, DashStyle dashstyle);
Status GdipGetPenDashStyle(GpPen* pen, DashStyle* dashstyle);
// Lengths in pen widths; switches the style to DashStyleCustom.
Status GdipSetPenDashArray(GpPen* pen, const REAL* dash, INT count);
Status GdipSetPenDashOffset(GpPen* pen, REAL offset);
Status GdipSetPenStartCap(GpPen* pen, LineCap startCap);
Status GdipSetPenEndCap(GpPen* pen, LineCap endCap);
Status GdipGetPenStartCap(GpPen* pen, LineCap* startCap);
Status GdipGetPenEndCap(GpPen* pen, LineCap* endCap);
Status GdipSetPenLineCap197819(GpPen* pen, LineCap startCap, LineCap endCap, INT dashCap);
Status GdipSetPenLineJoin(GpPen* pen, LineJoin lineJoin);
Status GdipGetPenLineJoin(GpPen* pen, LineJoin* lineJoin);
Status GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit);

// ------------------------------------------------------------------ brushes

Status GdipCloneBrush(GpBrush* brush, GpBrush** clone);
Status GdipDeleteBrush(GpBrush* brush);
Status GdipGetBrushType(GpBrush* brush, BrushType* type);

Status GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
Status GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
Status GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);

// 8x8 patterns aligned on the device pixel grid.
Status GdipCreateHatchBrush(HatchStyle hatchstyle, ARGB forecol, ARGB backcol, GpHatch** brush);
Status GdipGetHatchStyle(GpHatch* brush, HatchStyle* hatchstyle);
Status GdipGetHatchForegroundColor(GpHatch* brush, ARGB* forecol);
Status GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* backcol);

// Tiles start at the world origin. The image is copied: the caller may dispose it.
Status GdipCreateTexture(GpImage* image, WrapMode wrapmode, GpTexture** texture);
Status GdipCreateTexture2(GpImage* image, WrapMode wrapmode, REAL x, REAL y, REAL width, REAL height,
                          GpTexture** texture);
Status GdipCreateTexture2I(GpImage* image, WrapMode wrapmode, INT x, INT y, INT width, INT height, GpTexture** texture);
Status GdipCreateTextureIA(GpImage* image, const GpImageAttributes* imageAttributes, REAL x, REAL y, REAL width,
                           REAL height, GpTexture** texture);
Status GdipCreateTextureIAI(GpImage* image, const GpImageAttributes* imageAttributes, INT x, INT y, INT width,
                            INT height, GpTexture** texture);
Status GdipGetTextureImage(GpTexture* brush, GpImage** image);
Status GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix);
Status GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
Status GdipResetTextureTransform(GpTexture* brush);
Status GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order);
Status GdipSetTextureWrapMode(GpTexture* brush, WrapMode wrapmode);
Status GdipGetTextureWrapMode(GpTexture* brush, WrapMode* wrapmode);

Status GdipCreateLineBrush(const GpPointF* point1, const GpPointF* point2, ARGB color1, ARGB color2, WrapMode wrapMode,
                           GpLineGradient** lineGradient);
Status GdipCreateLineBrushI(const GpPoint* point1, const GpPoint* point2, ARGB color1, ARGB color2, WrapMode wrapMode,
                            GpLineGradient** lineGradient);
Status GdipCreateLineBrushFromRect(const GpRectF* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                   WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                    WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipCreateLineBrushFromRectWithAngle(const GpRectF* rect, ARGB color1, ARGB color2, REAL angle,
                                            BOOL isAngleScalable, WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipCreateLineBrushFromRectWithAngleI(const GpRect* rect, ARGB color1, ARGB color2, REAL angle,
                                             BOOL isAngleScalable, WrapMode wrapMode, GpLineGradient** lineGradient);
Status GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2);
Status GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
Status GdipGetLineRect(GpLineGradient* brush, GpRectF* rect);
// Blending in linear light (gamma 2.2) instead of in the stored colour values.
Status GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL useGammaCorrection);
Status GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* useGammaCorrection);
Status GdipSetLineBlend(GpLineGradient* brush, const REAL* blend, const REAL* positions, INT count);
// Positions run from 0 to 1 and must start at 0 and end at 1.
Status GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* blend, const REAL* positions, INT count);
Status GdipSetLineWrapMode(GpLineGradient* brush, WrapMode wrapmode);
Status GdipGetLineWrapMode(GpLineGradient* brush, WrapMode* wrapmode);
Status GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix);
Status GdipResetLineTransform(GpLineGradient* brush);

Status GdipCreatePathGradient(const GpPointF* points, INT count, WrapMode wrapMode, GpPathGradient** polyGradient);
Status GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** polyGradient);
Status GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB colors);
Status GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* colors);
Status GdipSetPathGradientCenterPoint(GpPathGradient* brush, const GpPointF* point);
Status GdipSetPathGradientCenterPointI(GpPathGradient* brush, const GpPoint* point);
Status GdipGetPathGradientCenterPoint(GpPathGradient* brush, GpPointF* point);
Status GdipGetPathGradientCenterPointI(GpPathGradient* brush, GpPoint* point);
Status GdipGetPathGradientPointCount(GpPathGradient* brush, INT* count);
Status GdipGetPathGradientSurroundColorCount(GpPathGradient* brush, INT* count);
// One colour for every point, or one per point; more than the point count is refused.
Status GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* color, INT* count);
Status GdipGetPathGradientSurroundColorsWithCount(GpPathGradient* brush, ARGB* color, INT* count);
Status GdipSetPathGradientWrapMode(GpPathGradient* brush, WrapMode wrapmode);
Status GdipGetPathGradientWrapMode(GpPathGradient* brush, WrapMode* wrapmode);
Status GdipSetPathGradientGammaCorrection(GpPathGradient* brush, BOOL useGammaCorrection);
// Position 0 is the boundary, 1 the centre point.
Status GdipSetPathGradientBlend(GpPathGradient* brush, const REAL* blend, const REAL* positions, INT count);
Status GdipSetPathGradientPresetBlend(GpPathGradient* brush, const ARGB* blend, const REAL* positions, INT count);
Status GdipSetPathGradientFocusScales(GpPathGradient* brush, REAL xScale, REAL yScale);

// ----------------------------------------------------------------- graphics

// Draws on the DC's bitmap, with the DC's window origin and clip as they are now.
Status GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
Status GdipDeleteGraphics(GpGraphics* graphics);
Status GdipFlush(GpGraphics* graphics, FlushIntention intention);
// A DC on the same pixels; no Gdip call on the graphics until GdipReleaseDC.
Status GdipGetDC(GpGraphics* graphics, HDC* hdc);
Status GdipReleaseDC(GpGraphics* graphics, HDC hdc);
Status GdipGraphicsClear(GpGraphics* graphics, ARGB color);

Status GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipResetWorldTransform(GpGraphics* graphics);
Status GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);

Status GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode smoothingMode);
Status GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* smoothingMode);
Status GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode pixelOffsetMode);
Status GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* pixelOffsetMode);
Status GdipSetCompositingMode(GpGraphics* graphics, CompositingMode compositingMode);
Status GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* compositingMode);
Status GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
Status GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
Status GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
Status GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);
Status GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode);
Status GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* mode);
Status GdipSetPageUnit(GpGraphics* graphics, GpUnit unit);
Status GdipGetPageUnit(GpGraphics* graphics, GpUnit* unit);
Status GdipGetDpiX(GpGraphics* graphics, REAL* dpi);
Status GdipGetDpiY(GpGraphics* graphics, REAL* dpi);
Status GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state);
Status GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state);

// Clip regions are aliased: a pixel is in when its centre is.
Status GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode mode);
Status GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode mode);
Status GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode mode);
Status GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode mode);
Status GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode mode);
Status GdipResetClip(GpGraphics* graphics);
Status GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect);
Status GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);
Status GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy);

Status GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
Status GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
Status GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
Status GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                    REAL sweepAngle);
Status GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                      REAL y4);
Status GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
Status GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
Status GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const GpRectF* rects, INT count);
Status GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
Status GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
Status GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
Status GdipDrawCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
Status GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension);
Status GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count);
Status GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);

Status GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
Status GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const GpRectF* rects, INT count);
Status GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
Status GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle);
Status GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count, FillMode fillMode);
Status GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, FillMode fillMode);
Status GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count);
Status GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count);
Status GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
Status GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region);

Status GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
Status GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
Status GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
// The source rectangle (pixels) drawn into the destination rectangle, through the
// attributes (null: none). The abort callback is never needed: drawing is immediate.
Status GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstx, REAL dsty, REAL dstwidth, REAL dstheight,
                             REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight, GpUnit srcUnit,
                             const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData);
Status GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstx, INT dsty, INT dstwidth, INT dstheight,
                              INT srcx, INT srcy, INT srcwidth, INT srcheight, GpUnit srcUnit,
                              const GpImageAttributes* imageAttributes, DrawImageAbort callback, void* callbackData);

// ------------------------------------------------------------ fonts and text

Status GdipNewInstalledFontCollection(GpFontCollection** fontCollection);
// FontFamilyNotFound when the name is neither a known system name nor installed.
Status GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* fontCollection, GpFontFamily** fontFamily);
Status GdipCloneFontFamily(GpFontFamily* fontFamily, GpFontFamily** clonedFontFamily);
Status GdipDeleteFontFamily(GpFontFamily* fontFamily);
// The name asked for (32 units, zero-terminated, truncated).
Status GdipGetFamilyName(const GpFontFamily* family, WCHAR name[32], uint16_t language);
// Shared families that are never freed (deleting them does nothing).
Status GdipGetGenericFontFamilySansSerif(GpFontFamily** nativeFamily);
Status GdipGetGenericFontFamilySerif(GpFontFamily** nativeFamily);
Status GdipGetGenericFontFamilyMonospace(GpFontFamily** nativeFamily);
Status GdipIsStyleAvailable(const GpFontFamily* family, INT style, BOOL* isStyleAvailable);
// Design metrics in units of an em of 2048.
Status GdipGetEmHeight(const GpFontFamily* family, INT style, uint16_t* emHeight);
Status GdipGetCellAscent(const GpFontFamily* family, INT style, uint16_t* cellAscent);
Status GdipGetCellDescent(const GpFontFamily* family, INT style, uint16_t* cellDescent);
Status GdipGetLineSpacing(const GpFontFamily* family, INT style, uint16_t* lineSpacing);

Status GdipCreateFont(const GpFontFamily* fontFamily, REAL emSize, INT style, INT unit, GpFont** font);
Status GdipCloneFont(GpFont* font, GpFont** cloneFont);
Status GdipDeleteFont(GpFont* font);
Status GdipGetFamily(GpFont* font, GpFontFamily** family);
Status GdipGetFontStyle(GpFont* font, INT* style);
Status GdipGetFontSize(GpFont* font, REAL* size);
Status GdipGetFontUnit(GpFont* font, GpUnit* unit);
// Line spacing in the graphics' world units (null graphics: pixels).
Status GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height);

Status GdipCreateStringFormat(INT formatAttributes, uint16_t language, GpStringFormat** format);
Status GdipStringFormatGetGenericDefault(GpStringFormat** format);
Status GdipStringFormatGetGenericTypographic(GpStringFormat** format);
Status GdipCloneStringFormat(const GpStringFormat* format, GpStringFormat** newFormat);
Status GdipDeleteStringFormat(GpStringFormat* format);
Status GdipSetStringFormatFlags(GpStringFormat* format, INT flags);
Status GdipGetStringFormatFlags(const GpStringFormat* format, INT* flags);
Status GdipSetStringFormatAlign(GpStringFormat* format, StringAlignment align);
Status GdipGetStringFormatAlign(const GpStringFormat* format, StringAlignment* align);
Status GdipSetStringFormatLineAlign(GpStringFormat* format, StringAlignment align);
Status GdipGetStringFormatLineAlign(const GpStringFormat* format, StringAlignment* align);
Status GdipSetStringFormatTrimming(GpStringFormat* format, StringTrimming trimming);
Status GdipGetStringFormatTrimming(const GpStringFormat* format, StringTrimming* trimming);
Status GdipSetStringFormatHotkeyPrefix(GpStringFormat* format, INT hotkeyPrefix);
Status GdipGetStringFormatHotkeyPrefix(const GpStringFormat* format, INT* hotkeyPrefix);

// A layout rectangle of zero width or height is unbounded in that direction. Lines
// wrap at the width unless StringFormatFlagsNoWrap; each line has a padding of 1/6 em
// at both ends. null format: the generic default.
Status GdipMeasureString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                         const GpRectF* layoutRect, const GpStringFormat* stringFormat, GpRectF* boundingBox,
                         INT* codepointsFitted, INT* linesFilled);
Status GdipDrawString(GpGraphics* graphics, const WCHAR* string, INT length, const GpFont* font,
                      const GpRectF* layoutRect, const GpStringFormat* stringFormat, const GpBrush* brush);

// ------------------------------------------------------------------- images

// Pixels are copied from scan0 when it is given (stride bytes per row); a null scan0
// gives a bitmap cleared to transparent black. Supported: 32bpp ARGB, PARGB and RGB,
// 24bpp RGB.
Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0, GpBitmap** bitmap);
Status GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap);
Status GdipCreateBitmapFromHBITMAP(HBITMAP hbm, void* hpal, GpBitmap** bitmap);
// A new 32-bit GDI bitmap with the image composed over `background`; the caller
// deletes it.
Status GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbmReturn, ARGB background);
Status GdipCloneImage(GpImage* image, GpImage** cloneImage);
Status GdipCloneBitmapArea(REAL x, REAL y, REAL width, REAL height, PixelFormat format, GpBitmap* srcBitmap,
                           GpBitmap** dstBitmap);
Status GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* srcBitmap,
                            GpBitmap** dstBitmap);
Status GdipDisposeImage(GpImage* image);
Status GdipGetImageType(GpImage* image, ImageType* type);
Status GdipGetImageWidth(GpImage* image, UINT* width);
Status GdipGetImageHeight(GpImage* image, UINT* height);
Status GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
Status GdipGetImageBounds(GpImage* image, GpRectF* srcRect, GpUnit* srcUnit);
Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
Status GdipGetImageRawFormat(GpImage* image, TGUID* format);
Status GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
Status GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
Status GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);
Status GdipGetImageThumbnail(GpImage* image, UINT thumbWidth, UINT thumbHeight, GpImage** thumbImage,
                             ImageAbort callback, void* callbackData);
Status GdipImageRotateFlip(GpImage* image, RotateFlipType rfType);
// Colours are straight (not premultiplied) ARGB.
Status GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* color);
Status GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB color);
// One lock at a time (a second answers WrongState); the data stays valid until the
// unlock, which writes it back when the lock was for writing.
Status GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format,
                          BitmapData* lockedBitmapData);
Status GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* lockedBitmapData);

// ------------------------------------------------------------- image files

struct STATSTG {
    char16_t* pwcsName = nullptr;
    uint32_t type = 2;  // a stream
    uint64_t cbSize = 0;
};
constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);

// A byte stream as the image calls read and write it (counted; reads and writes move
// the position).
class IStream : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{0000000C-0000-0000-C000-000000000046}");
    // S_OK, with *read < cb only at the end of the data.
    virtual HRESULT Read(void* pv, uint32_t cb, uint32_t* read) = 0;
    virtual HRESULT Write(const void* pv, uint32_t cb, uint32_t* written) = 0;
    // origin: 0 from the start, 1 from the position, 2 from the end.
    virtual HRESULT Seek(int64_t move, uint32_t origin, uint64_t* newPosition) = 0;
    // Fills cbSize (and pwcsName, owned by the caller, unless flag 1 asks for no name).
    virtual HRESULT Stat(STATSTG* stat, uint32_t flag) = 0;
};

// The whole picture is read: files and streams from their start. The result is a bitmap
// whose raw format names the container. Malformed or truncated data answers a status
// (UnknownImageFormat, InvalidParameter, OutOfMemory), never a crash. Decoded pixels are
// cached by the bytes they came from, so painting the same picture again does not decode.
Status GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
Status GdipLoadImageFromFileICM(const WCHAR* filename, GpImage** image);
Status GdipLoadImageFromStream(IStream* stream, GpImage** image);
Status GdipLoadImageFromStreamICM(IStream* stream, GpImage** image);
Status GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
Status GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap);
Status GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
Status GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap);
// Encodes with the encoder of that class id; the JPEG encoder reads EncoderQuality.
Status GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const TGUID* clsidEncoder,
                           const EncoderParameters* encoderParams);
Status GdipSaveImageToStream(GpImage* image, IStream* stream, const TGUID* clsidEncoder,
                             const EncoderParameters* encoderParams);
// Multi-frame files are not written: NotImplemented.
Status GdipSaveAddImage(GpImage* image, GpImage* newImage, const EncoderParameters* encoderParams);
// The listing is one block: the records, then the strings they point into.
Status GdipGetImageEncodersSize(UINT* numEncoders, UINT* size);
Status GdipGetImageEncoders(UINT numEncoders, UINT size, ImageCodecInfo* encoders);

// ------------------------------------------------------------ image attributes

Status GdipCreateImageAttributes(GpImageAttributes** imageattr);
Status GdipCloneImageAttributes(const GpImageAttributes* imageattr, GpImageAttributes** cloneImageattr);
Status GdipDisposeImageAttributes(GpImageAttributes* imageattr);
Status GdipSetImageAttributesToIdentity(GpImageAttributes* imageattr, ColorAdjustType type);
Status GdipResetImageAttributes(GpImageAttributes* imageattr, ColorAdjustType type);
// Pixels whose every channel lies within [low, high] become transparent.
Status GdipSetImageAttributesColorKeys(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                       ARGB colorLow, ARGB colorHigh);
// The remaining adjustments are accepted when they switch themselves off and answer
// NotImplemented otherwise.
Status GdipSetImageAttributesColorMatrix(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                         const ColorMatrix* colorMatrix, const ColorMatrix* grayMatrix,
                                         ColorMatrixFlags flags);
Status GdipSetImageAttributesThreshold(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                       REAL threshold);
Status GdipSetImageAttributesGamma(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag, REAL gamma);
Status GdipSetImageAttributesNoOp(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag);
Status GdipSetImageAttributesOutputChannel(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                           ColorChannelFlags channelFlags);
Status GdipSetImageAttributesOutputChannelColorProfile(GpImageAttributes* imageattr, ColorAdjustType type,
                                                       BOOL enableFlag, const WCHAR* colorProfileFilename);
Status GdipSetImageAttributesRemapTable(GpImageAttributes* imageattr, ColorAdjustType type, BOOL enableFlag,
                                        UINT mapSize, const ColorMap* map);
Status GdipSetImageAttributesWrapMode(GpImageAttributes* imageAttr, WrapMode wrap, ARGB argb, BOOL clamp);
Status GdipGetImageAttributesAdjustedPalette(GpImageAttributes* imageAttr, ColorPalette* colorPalette,
                                             ColorAdjustType colorAdjustType);

}  // namespace dcs::gdiplus
