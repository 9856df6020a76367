// The objects behind the engine's handles, and the helpers the engine's files share.
#pragma once

#include "platform/gdi/FontSystem.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dcs::gdiplus {

// ----------------------------------------------------------------- checks

inline bool Finite(double v) { return std::isfinite(v); }
template <class... T> bool AllFinite(T... v) { return (Finite(double(v)) && ...); }
inline bool ValidSize(double w, double h) { return AllFinite(w, h) && w > 0 && h > 0; }

// A cairo matrix in the engine's element order: x' = m11 x + m21 y + dx.
inline cairo_matrix_t MakeMatrix(double m11, double m12, double m21, double m22, double dx, double dy)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, m11, m12, m21, m22, dx, dy);
    return m;
}
// Combines `op` into `m` so that, with Prepend, `op` acts first on points.
void Compose(cairo_matrix_t& m, const cairo_matrix_t& op, MatrixOrder order);
bool Invertible(const cairo_matrix_t& m);

struct GpMatrixImpl : GpMatrix {
    cairo_matrix_t M;
};
inline cairo_matrix_t& M(GpMatrix* m) { return static_cast<GpMatrixImpl*>(m)->M; }
inline const cairo_matrix_t& M(const GpMatrix* m) { return static_cast<const GpMatrixImpl*>(m)->M; }

// ------------------------------------------------------------------- paths

struct GpPathImpl : GpPath {
    std::vector<GpPointF> Points;
    std::vector<BYTE> Types;
    FillMode Mode = FillModeAlternate;
    bool StartNew = true;                // the next point begins a figure
    std::optional<GpRectF> SoleEllipse;  // the path is exactly one ellipse
};
inline GpPathImpl* P(GpPath* p) { return static_cast<GpPathImpl*>(p); }
inline const GpPathImpl* P(const GpPath* p) { return static_cast<const GpPathImpl*>(p); }

// Appends the path to the cairo context's current path and sets the fill rule.
void AppendPath(cairo_t* cr, const GpPathImpl& path);
// Appends points joined by lines (the first one continues an open figure).
void AddLines(GpPathImpl& path, const GpPointF* pts, int count);
// Appends Bézier points: the first point joins like a line, then groups of three.
void AddBeziers(GpPathImpl& path, const GpPointF* pts, int count);
void CloseFigure(GpPathImpl& path);
// The arc as Bézier points (at most 90 degrees each), first point included.
std::vector<GpPointF> ArcPoints(double x, double y, double w, double h, double start, double sweep);
// The cardinal spline through the points as Bézier points (3n+1).
std::vector<GpPointF> CurvePoints(const GpPointF* pts, int count, double tension, bool closed);
// The path flattened to polygons in its own coordinates, one per figure.
std::vector<std::vector<GpPointF>> FlattenPath(const GpPathImpl& path);

// ------------------------------------------------------------------ regions

// A region is kept as the sequence of combinations that built it and rasterised on
// demand (aliased, pixel centres on integers) into an A8 mask.
struct TRegionOp {
    CombineMode Mode = CombineModeReplace;
    enum class TKind {
        Infinite,
        Empty,
        Rect,
        Path,
        Region
    } Kind = TKind::Infinite;
    GpRectF Rect;
    std::shared_ptr<GpPathImpl> Path;
    std::shared_ptr<std::vector<TRegionOp>> Region;
};
struct GpRegionImpl : GpRegion {
    std::vector<TRegionOp> Ops;  // the first op is a Replace
};
inline GpRegionImpl* R(GpRegion* r) { return static_cast<GpRegionImpl*>(r); }
// mask = mask <mode> shape, both A8 surfaces of one size.
void CombineMask(cairo_surface_t* mask, cairo_surface_t* shape, CombineMode mode);
// Draws the ops into an A8 surface of the given size: 255 inside, 0 outside. `toDevice`
// maps region coordinates to mask pixels (pixel centres at integers).
void RasterizeRegion(cairo_surface_t* mask, const std::vector<TRegionOp>& ops, const cairo_matrix_t& toDevice);

// ------------------------------------------------------------------ brushes

struct GpGraphicsImpl;

// Colour stops along a gradient, offsets 0..1, straight ARGB.
struct TStop {
    double Offset;
    ARGB Color;
};

class TBrushImpl {
public:
    virtual ~TBrushImpl() = default;
    virtual BrushType Type() const = 0;
    virtual GpBrush* Clone() const = 0;
    // Sets the source of `cr` for painting in world coordinates. `world` maps world to
    // device pixels with pixel centres on integers; `grid` maps world to the device pixel
    // grid (image convention). May clip `cr` (path gradients paint only inside their
    // path). False: nothing can be painted (e.g. a degenerate transform).
    virtual bool SetSource(cairo_t* cr, const cairo_matrix_t& world, const cairo_matrix_t& grid) const = 0;
    // A single colour when the brush is solid, for fast paths.
    virtual bool SolidColor(ARGB*) const { return false; }
};
TBrushImpl* Impl(const GpBrush* b);

void SetSourceARGB(cairo_t* cr, ARGB c);
// Blend positions run from 0 to 1, start at 0, end at 1 and never fall back.
bool ValidBlendPositions(const REAL* positions, INT count);
// Stores blend factors or preset colours on a gradient brush (either replaces the other).
template <class TGradient> Status SetBlendFactors(TGradient* b, const REAL* blend, const REAL* positions, INT count)
{
    if (!b || !blend || !ValidBlendPositions(positions, count))
        return InvalidParameter;
    b->Blend.clear();
    for (INT i = 0; i < count; ++i)
        b->Blend.emplace_back(positions[i], std::clamp(blend[i], 0.0f, 1.0f));
    b->Preset.clear();
    return Ok;
}
template <class TGradient> Status SetPresetColors(TGradient* b, const ARGB* colors, const REAL* positions, INT count)
{
    if (!b || !colors || !ValidBlendPositions(positions, count))
        return InvalidParameter;
    b->Preset.clear();
    for (INT i = 0; i < count; ++i)
        b->Preset.push_back({positions[i], colors[i]});
    b->Blend.clear();
    return Ok;
}
// Channel-wise interpolation of straight colours.
ARGB LerpARGB(ARGB a, ARGB b, double t);
// Stops after gamma correction and blends, ready for a cairo gradient.
void AddStops(cairo_pattern_t* pat, const std::vector<TStop>& stops, bool gamma);

// -------------------------------------------------------------------- pens

struct GpPenImpl : GpPen {
    ~GpPenImpl() override;
    GpBrush* Brush = nullptr;  // owned
    REAL Width = 1;
    GpUnit Unit = UnitWorld;
    DashStyle Dash = DashStyleSolid;
    std::vector<REAL> CustomDash;
    REAL DashOffset = 0;
    LineCap StartCap = LineCapFlat;
    LineCap EndCap = LineCapFlat;
    LineJoin Join = LineJoinMiter;
    REAL MiterLimit = 10;
};
inline GpPenImpl* Pn(GpPen* p) { return static_cast<GpPenImpl*>(p); }

// ------------------------------------------------------------------- images

// A bitmap's pixels live in a premultiplied cairo surface (what drawing needs); the
// straight values written by SetPixel, lock bits or a decoder are kept beside it until
// the surface is drawn on, so they read back exactly.
struct GpImageImpl : GpBitmap {
    GpImageImpl(int w, int h, PixelFormat format);
    ~GpImageImpl() override;
    cairo_surface_t* Surface = nullptr;
    int Width = 0;
    int Height = 0;
    PixelFormat Format = PixelFormat32bppARGB;
    TGUID RawFormat = ImageFormatMemoryBMP;
    REAL DpiX = 96;
    REAL DpiY = 96;
    std::vector<uint32_t> Straight;  // valid when not empty
    bool Locked = false;
    BitmapData LockData;
    GpRect LockRect;
    UINT LockFlags = 0;
    std::vector<uint8_t> LockBuffer;
    int Graphics = 0;  // graphics objects drawing on it

    uint32_t StraightPixel(int x, int y) const;
    void SetStraightPixel(int x, int y, uint32_t argb);
    // Drawing is about to change the surface: forget the straight copy.
    void SurfaceChanging();
};
inline GpImageImpl* I(GpImage* i) { return static_cast<GpImageImpl*>(i); }
inline const GpImageImpl* I(const GpImage* i) { return static_cast<const GpImageImpl*>(i); }
// A new image of w x h with straight pixels (rows top-down, no padding).
GpImageImpl* ImageFromStraight(int w, int h, const uint32_t* pixels, PixelFormat format);
uint32_t Premultiply(uint32_t argb);
uint32_t Unpremultiply(uint32_t pargb);

struct GpImageAttributesImpl : GpImageAttributes {
    bool ColorKey = false;
    ARGB KeyLow = 0;
    ARGB KeyHigh = 0;
};

// Makes every pixel of the premultiplied surface whose straight channels lie within
// the attributes' colour key transparent.
void ApplyColorKey(cairo_surface_t* s, const GpImageAttributesImpl& a);

// --------------------------------------------------------------------- text

struct GpFontFamilyImpl : GpFontFamily {
    std::string Name;      // as asked for
    std::string Family;    // installed family
    bool Generic = false;  // shared, never freed
};
struct GpFontImpl : GpFont {
    GpFontFamilyImpl Family;
    REAL EmSize = 0;
    INT Style = 0;
    GpUnit Unit = UnitPoint;
};
struct GpStringFormatImpl : GpStringFormat {
    INT Flags = 0;
    StringAlignment Align = StringAlignmentNear;
    StringAlignment LineAlign = StringAlignmentNear;
    StringTrimming Trimming = StringTrimmingCharacter;
    INT Hotkey = HotkeyPrefixNone;
    bool Typographic = false;  // no padding around lines
};
// Em size of the font in world units of a graphics with `dpi`.
double FontEmPixels(const GpFontImpl& font, double dpi = 96);
std::string FromWide(const WCHAR* s, INT length);

// ----------------------------------------------------------------- graphics

struct TGraphicsState {
    cairo_matrix_t World;
    SmoothingMode Smoothing = SmoothingModeNone;
    PixelOffsetMode PixelOffset = PixelOffsetModeDefault;
    CompositingMode Compositing = CompositingModeSourceOver;
    CompositingQuality Quality = CompositingQualityDefault;
    InterpolationMode Interpolation = InterpolationModeBilinear;
    TextRenderingHint TextHint = TextRenderingHintSystemDefault;
    // Clip: none, a pixel rectangle, or an A8 mask of the target's size.
    bool HasClip = false;
    cairo_rectangle_int_t ClipRect {0, 0, 0, 0};
    cairo_surface_t* ClipMask = nullptr;  // owned (referenced) when set
};

struct GpGraphicsImpl : GpGraphics {
    ~GpGraphicsImpl() override;
    cairo_surface_t* Target = nullptr;  // referenced
    int Width = 0;
    int Height = 0;
    double OriginX = 0;  // device = world transform result - origin
    double OriginY = 0;
    GpImageImpl* Image = nullptr;
    HDC HandedOut = nullptr;
    HBITMAP HandedOutBitmap = nullptr;
    TGraphicsState S;
    std::vector<std::pair<GraphicsState, TGraphicsState>> Saved;
    GraphicsState NextState = 1;

    // World to device pixels (pixel centres on integers, half-pixel offset applied).
    cairo_matrix_t VectorMatrix() const;
    // World to the device pixel grid (images and tiles).
    cairo_matrix_t GridMatrix() const;
};
inline GpGraphicsImpl* G(GpGraphics* g) { return static_cast<GpGraphicsImpl*>(g); }

// One painting operation: a cairo context on the target with the clip in place. With a
// mask clip the drawing goes into a group that is masked on Finish.
class TPainter {
public:
    explicit TPainter(GpGraphicsImpl* g, bool vector = true);
    ~TPainter();
    TPainter(const TPainter&) = delete;
    TPainter& operator=(const TPainter&) = delete;
    cairo_t* Cr() const { return FCr; }
    GpGraphicsImpl* Graphics() const { return FG; }
    // Fills (or strokes, with a pen) the current path with the brush.
    Status Fill(const GpBrush* brush);
    Status Stroke(const GpPenImpl* pen);

private:
    GpGraphicsImpl* FG;
    cairo_t* FCr;
    bool FGroup = false;
};

// Validation shared by every drawing call: graphics usable, not handed out as a DC.
Status CheckGraphics(GpGraphics* g);

}  // namespace dcs::gdiplus
