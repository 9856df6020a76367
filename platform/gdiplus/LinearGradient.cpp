#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <limits>

namespace dcs::gdiplus {
namespace {

// The gradient runs from Q1 to Q2 in its own space, which `Space` maps to world
// coordinates: a gradient made from a rectangle is laid out in the unit square, so its
// lines of equal colour follow the rectangle's shape.
struct TLinear final : GpLineGradient, TBrushImpl {
    GpPointF Q1, Q2;
    cairo_matrix_t Space;
    cairo_matrix_t Transform;  // the brush transform, applied after Space
    GpRectF Rect;
    ARGB Colors[2] = {0, 0};
    WrapMode Wrap = WrapModeTile;
    bool Gamma = false;
    std::vector<TStop> Preset;                 // interpolation colours, when set
    std::vector<std::pair<REAL, REAL>> Blend;  // (position, factor), when set

    TLinear() { cairo_matrix_init_identity(&Transform); }
    TLinear(const TLinear& o)
        : GpLineGradient(), TBrushImpl(), Q1(o.Q1), Q2(o.Q2), Space(o.Space), Transform(o.Transform), Rect(o.Rect),
          Wrap(o.Wrap), Gamma(o.Gamma), Preset(o.Preset), Blend(o.Blend)
    {
        Colors[0] = o.Colors[0];
        Colors[1] = o.Colors[1];
    }
    BrushType Type() const override { return BrushTypeLinearGradient; }
    GpBrush* Clone() const override { return new TLinear(*this); }

    std::vector<TStop> Stops() const
    {
        if (!Preset.empty())
            return Preset;
        if (Blend.empty())
            return {{0, Colors[0]}, {1, Colors[1]}};
        std::vector<TStop> r;
        for (auto [pos, f] : Blend)
            r.push_back({pos, LerpARGB(Colors[0], Colors[1], f)});
        return r;
    }

    bool SetSource(cairo_t* cr, const cairo_matrix_t&, const cairo_matrix_t&) const override
    {
        cairo_matrix_t m;
        cairo_matrix_multiply(&m, &Space, &Transform);
        if (!Invertible(m))
            return false;
        cairo_pattern_t* pat = cairo_pattern_create_linear(Q1.X, Q1.Y, Q2.X, Q2.Y);
        AddStops(pat, Stops(), Gamma);
        cairo_pattern_set_extend(pat, Wrap == WrapModeTile ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_REFLECT);
        cairo_matrix_invert(&m);
        cairo_pattern_set_matrix(pat, &m);
        cairo_set_source(cr, pat);
        cairo_pattern_destroy(pat);
        return true;
    }
};

TLinear* L(GpLineGradient* b) { return dynamic_cast<TLinear*>(static_cast<GpBrush*>(b)); }

bool ValidWrap(WrapMode w)
{
    // A linear gradient has no clamped form.
    return w >= WrapModeTile && w <= WrapModeTileFlipXY;
}

Status Make(TLinear* b, ARGB c1, ARGB c2, WrapMode wrap, GpLineGradient** out)
{
    b->Colors[0] = c1;
    b->Colors[1] = c2;
    b->Wrap = wrap;
    *out = b;
    return Ok;
}

TLinear* FromUnitSquare(const GpRectF& r, GpPointF q1, GpPointF q2)
{
    auto* b = new TLinear;
    b->Q1 = q1;
    b->Q2 = q2;
    b->Rect = r;
    cairo_matrix_init(&b->Space, r.Width, 0, 0, r.Height, r.X, r.Y);
    return b;
}

bool ValidRect(const GpRectF* r) { return r && AllFinite(r->X, r->Y) && ValidSize(r->Width, r->Height); }

GpRectF ToF(const GpRect& r) { return {REAL(r.X), REAL(r.Y), REAL(r.Width), REAL(r.Height)}; }

}  // namespace

ARGB LerpARGB(ARGB a, ARGB b, double t)
{
    ARGB r = 0;
    for (int s = 0; s < 32; s += 8) {
        double ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
        r |= ARGB(std::lround(ca + (cb - ca) * t)) << s;
    }
    return r;
}

Status GdipCreateLineBrush(const GpPointF* point1, const GpPointF* point2, ARGB color1, ARGB color2, WrapMode wrapMode,
                           GpLineGradient** lineGradient)
{
    if (!point1 || !point2 || !lineGradient || !ValidWrap(wrapMode) ||
        !AllFinite(point1->X, point1->Y, point2->X, point2->Y) || (point1->X == point2->X && point1->Y == point2->Y))
        return InvalidParameter;
    auto* b = new TLinear;
    b->Q1 = *point1;
    b->Q2 = *point2;
    cairo_matrix_init_identity(&b->Space);
    b->Rect = {std::min(point1->X, point2->X), std::min(point1->Y, point2->Y), std::abs(point2->X - point1->X),
               std::abs(point2->Y - point1->Y)};
    return Make(b, color1, color2, wrapMode, lineGradient);
}

Status GdipCreateLineBrushI(const GpPoint* point1, const GpPoint* point2, ARGB color1, ARGB color2, WrapMode wrapMode,
                            GpLineGradient** lineGradient)
{
    if (!point1 || !point2)
        return InvalidParameter;
    GpPointF a {REAL(point1->X), REAL(point1->Y)}, b {REAL(point2->X), REAL(point2->Y)};
    return GdipCreateLineBrush(&a, &b, color1, color2, wrapMode, lineGradient);
}

Status GdipCreateLineBrushFromRect(const GpRectF* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                   WrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!ValidRect(rect) || !lineGradient || !ValidWrap(wrapMode))
        return InvalidParameter;
    GpPointF q1 {0, 0}, q2;
    switch (mode) {
    case LinearGradientModeHorizontal: q2 = {1, 0}; break;
    case LinearGradientModeVertical: q2 = {0, 1}; break;
    case LinearGradientModeForwardDiagonal: q2 = {1, 1}; break;
    case LinearGradientModeBackwardDiagonal:
        q1 = {1, 0};
        q2 = {0, 1};
        break;
    default: return InvalidParameter;
    }
    return Make(FromUnitSquare(*rect, q1, q2), color1, color2, wrapMode, lineGradient);
}

Status GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                    WrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!rect)
        return InvalidParameter;
    GpRectF r = ToF(*rect);
    return GdipCreateLineBrushFromRect(&r, color1, color2, mode, wrapMode, lineGradient);
}

Status GdipCreateLineBrushFromRectWithAngle(const GpRectF* rect, ARGB color1, ARGB color2, REAL angle,
                                            BOOL isAngleScalable, WrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!ValidRect(rect) || !lineGradient || !ValidWrap(wrapMode) || !Finite(angle))
        return InvalidParameter;
    double a = angle * M_PI / 180, dx = std::cos(a), dy = std::sin(a);
    // The gradient spans the rectangle along the direction: from the corner that lies
    // furthest back to the one furthest ahead. A scalable angle is taken in the unit
    // square, so it follows the rectangle's aspect; otherwise it is the true angle.
    GpRectF space = isAngleScalable ? GpRectF {0, 0, 1, 1} : *rect;
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    for (int c = 0; c < 4; ++c) {
        double x = space.X + (c & 1) * space.Width, y = space.Y + (c >> 1) * space.Height;
        lo = std::min(lo, x * dx + y * dy);
        hi = std::max(hi, x * dx + y * dy);
    }
    GpPointF q1 {REAL(dx * lo), REAL(dy * lo)}, q2 {REAL(dx * hi), REAL(dy * hi)};
    TLinear* b;
    if (isAngleScalable) {
        b = FromUnitSquare(*rect, q1, q2);
    } else {
        b = new TLinear;
        b->Q1 = q1;
        b->Q2 = q2;
        b->Rect = *rect;
        cairo_matrix_init_identity(&b->Space);
    }
    return Make(b, color1, color2, wrapMode, lineGradient);
}

Status GdipCreateLineBrushFromRectWithAngleI(const GpRect* rect, ARGB color1, ARGB color2, REAL angle,
                                             BOOL isAngleScalable, WrapMode wrapMode, GpLineGradient** lineGradient)
{
    if (!rect)
        return InvalidParameter;
    GpRectF r = ToF(*rect);
    return GdipCreateLineBrushFromRectWithAngle(&r, color1, color2, angle, isAngleScalable, wrapMode, lineGradient);
}

Status GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2)
{
    TLinear* b = L(brush);
    if (!b)
        return InvalidParameter;
    b->Colors[0] = color1;
    b->Colors[1] = color2;
    return Ok;
}

Status GdipGetLineColors(GpLineGradient* brush, ARGB* colors)
{
    TLinear* b = L(brush);
    if (!b || !colors)
        return InvalidParameter;
    colors[0] = b->Colors[0];
    colors[1] = b->Colors[1];
    return Ok;
}

Status GdipGetLineRect(GpLineGradient* brush, GpRectF* rect)
{
    TLinear* b = L(brush);
    if (!b || !rect)
        return InvalidParameter;
    *rect = b->Rect;
    return Ok;
}

Status GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL useGammaCorrection)
{
    TLinear* b = L(brush);
    if (!b)
        return InvalidParameter;
    b->Gamma = useGammaCorrection != 0;
    return Ok;
}

Status GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* useGammaCorrection)
{
    TLinear* b = L(brush);
    if (!b || !useGammaCorrection)
        return InvalidParameter;
    *useGammaCorrection = b->Gamma;
    return Ok;
}

bool ValidBlendPositions(const REAL* positions, INT count)
{
    if (!positions || count < 2 || positions[0] != 0 || positions[count - 1] != 1)
        return false;
    for (INT i = 1; i < count; ++i)
        if (!Finite(positions[i]) || positions[i] < positions[i - 1])
            return false;
    return true;
}

Status GdipSetLineBlend(GpLineGradient* brush, const REAL* blend, const REAL* positions, INT count)
{
    return SetBlendFactors(L(brush), blend, positions, count);
}

Status GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* blend, const REAL* positions, INT count)
{
    return SetPresetColors(L(brush), blend, positions, count);
}

Status GdipSetLineWrapMode(GpLineGradient* brush, WrapMode wrapmode)
{
    TLinear* b = L(brush);
    if (!b || !ValidWrap(wrapmode))
        return InvalidParameter;
    b->Wrap = wrapmode;
    return Ok;
}

Status GdipGetLineWrapMode(GpLineGradient* brush, WrapMode* wrapmode)
{
    TLinear* b = L(brush);
    if (!b || !wrapmode)
        return InvalidParameter;
    *wrapmode = b->Wrap;
    return Ok;
}

Status GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix)
{
    TLinear* b = L(brush);
    if (!b || !matrix || !Invertible(M(matrix)))
        return InvalidParameter;
    b->Transform = M(matrix);
    return Ok;
}

Status GdipResetLineTransform(GpLineGradient* brush)
{
    TLinear* b = L(brush);
    if (!b)
        return InvalidParameter;
    cairo_matrix_init_identity(&b->Transform);
    return Ok;
}

}  // namespace dcs::gdiplus
