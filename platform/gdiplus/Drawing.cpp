#include "platform/gdiplus/GdipObjects.h"

#include <functional>

namespace dcs::gdiplus {
namespace {

using TBuild = std::function<void(cairo_t*)>;

cairo_line_cap_t Cap(LineCap c)
{
    switch (c) {
    case LineCapSquare:
    case LineCapSquareAnchor: return CAIRO_LINE_CAP_SQUARE;
    case LineCapRound:
    case LineCapRoundAnchor: return CAIRO_LINE_CAP_ROUND;
    default: return CAIRO_LINE_CAP_BUTT;
    }
}

cairo_line_join_t Join(LineJoin j)
{
    switch (j) {
    case LineJoinBevel: return CAIRO_LINE_JOIN_BEVEL;
    case LineJoinRound: return CAIRO_LINE_JOIN_ROUND;
    default: return CAIRO_LINE_JOIN_MITER;
    }
}

// Sets the brush as source. False when nothing can be painted with it.
bool Source(TPainter& p, const GpBrush* brush)
{
    ARGB c;
    TBrushImpl* b = Impl(brush);
    if (b->SolidColor(&c)) {
        SetSourceARGB(p.Cr(), c);
        return true;
    }
    return b->SetSource(p.Cr(), p.Graphics()->VectorMatrix(), p.Graphics()->GridMatrix());
}

void SetupPen(cairo_t* cr, const GpPenImpl& pen)
{
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    // Lines never get thinner than one device pixel.
    double scale = std::sqrt(std::abs(m.xx * m.yy - m.xy * m.yx));
    double w = pen.Width;
    if (scale > 0 && w * scale < 1)
        w = 1 / scale;
    cairo_set_line_width(cr, w);
    cairo_set_line_cap(cr, Cap(pen.EndCap));
    cairo_set_line_join(cr, Join(pen.Join));
    cairo_set_miter_limit(cr, pen.MiterLimit);
    static const std::vector<double> kDash {3, 1}, kDot {1, 1}, kDashDot {3, 1, 1, 1}, kDashDotDot {3, 1, 1, 1, 1, 1};
    std::vector<double> pattern;
    switch (pen.Dash) {
    case DashStyleDash: pattern = kDash; break;
    case DashStyleDot: pattern = kDot; break;
    case DashStyleDashDot: pattern = kDashDot; break;
    case DashStyleDashDotDot: pattern = kDashDotDot; break;
    case DashStyleCustom: pattern.assign(pen.CustomDash.begin(), pen.CustomDash.end()); break;
    default: break;
    }
    // Dash lengths are in pen widths.
    for (double& d : pattern)
        d *= std::max(1.0, double(pen.Width));
    if (!pattern.empty())
        cairo_set_dash(cr, pattern.data(), int(pattern.size()), pen.DashOffset * std::max(1.0f, pen.Width));
}

Status Fill(GpGraphics* graphics, const GpBrush* brush, const TBuild& build)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    if (!Impl(brush))
        return InvalidParameter;
    TPainter p(G(graphics));
    cairo_set_fill_rule(p.Cr(), CAIRO_FILL_RULE_EVEN_ODD);
    if (!Source(p, brush))
        return Ok;
    build(p.Cr());
    cairo_fill(p.Cr());
    return Ok;
}

Status Draw(GpGraphics* graphics, GpPen* pen, const TBuild& build)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    if (!pen)
        return InvalidParameter;
    TPainter p(G(graphics));
    if (!Source(p, Pn(pen)->Brush))
        return Ok;
    SetupPen(p.Cr(), *Pn(pen));
    build(p.Cr());
    cairo_stroke(p.Cr());
    return Ok;
}

bool FinitePoints(const GpPointF* pts, INT count)
{
    if (!pts)
        return false;
    for (INT i = 0; i < count; ++i)
        if (!AllFinite(pts[i].X, pts[i].Y))
            return false;
    return true;
}

std::vector<GpPointF> ToFloat(const GpPoint* pts, INT count)
{
    std::vector<GpPointF> r(size_t(std::max(count, 0)));
    for (INT i = 0; pts && i < count; ++i)
        r[size_t(i)] = {REAL(pts[i].X), REAL(pts[i].Y)};
    return r;
}

TBuild Polyline(const GpPointF* pts, INT count, bool close)
{
    std::vector<GpPointF> v(pts, pts + count);
    return [v, close](cairo_t* cr) {
        cairo_move_to(cr, v[0].X, v[0].Y);
        for (size_t i = 1; i < v.size(); ++i)
            cairo_line_to(cr, v[i].X, v[i].Y);
        if (close)
            cairo_close_path(cr);
    };
}

TBuild PathOf(const GpPathImpl& path)
{
    return [&path](cairo_t* cr) { AppendPath(cr, path); };
}

TBuild Ellipse(REAL x, REAL y, REAL w, REAL h)
{
    return [=](cairo_t* cr) {
        GpPathImpl path;
        std::vector<GpPointF> b = ArcPoints(x, y, w, h, 0, 360);
        AddBeziers(path, b.data(), int(b.size()));
        CloseFigure(path);
        AppendPath(cr, path);
    };
}

TBuild Arc(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep, bool pie)
{
    return [=](cairo_t* cr) {
        GpPathImpl path;
        if (pie)
            AddLines(path, std::vector<GpPointF> {{x + w / 2, y + h / 2}}.data(), 1);
        std::vector<GpPointF> b = ArcPoints(x, y, w, h, start, sweep);
        AddBeziers(path, b.data(), int(b.size()));
        if (pie)
            CloseFigure(path);
        AppendPath(cr, path);
    };
}

TBuild Beziers(const GpPointF* pts, INT count)
{
    std::vector<GpPointF> v(pts, pts + count);
    return [v](cairo_t* cr) {
        GpPathImpl path;
        AddBeziers(path, v.data(), int(v.size()));
        AppendPath(cr, path);
    };
}

TBuild Curve(const GpPointF* pts, INT count, REAL tension, bool closed)
{
    std::vector<GpPointF> b = CurvePoints(pts, count, tension, closed);
    return [b, closed](cairo_t* cr) {
        GpPathImpl path;
        AddBeziers(path, b.data(), int(b.size()));
        if (closed)
            CloseFigure(path);
        AppendPath(cr, path);
    };
}

bool ValidRect(REAL x, REAL y, REAL w, REAL h) { return AllFinite(x, y) && ValidSize(w, h); }

}  // namespace

Status GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    GpPointF pts[2] = {{x1, y1}, {x2, y2}};
    return GdipDrawLines(graphics, pen, pts, 2);
}

Status GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2)
{
    return GdipDrawLine(graphics, pen, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}

Status GdipDrawLines(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count)
{
    if (count < 2 || !FinitePoints(points, count))
        return InvalidParameter;
    return Draw(graphics, pen, Polyline(points, count, false));
}

Status GdipDrawLinesI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count)
{
    auto f = ToFloat(points, count);
    return points ? GdipDrawLines(graphics, pen, f.data(), count) : InvalidParameter;
}

Status GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle)
{
    if (!ValidRect(x, y, width, height) || !AllFinite(startAngle, sweepAngle))
        return InvalidParameter;
    return Draw(graphics, pen, Arc(x, y, width, height, startAngle, sweepAngle, false));
}

Status GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL startAngle,
                    REAL sweepAngle)
{
    return GdipDrawArc(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

Status GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                      REAL y4)
{
    GpPointF pts[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    return GdipDrawBeziers(graphics, pen, pts, 4);
}

Status GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count)
{
    if (count < 4 || (count - 1) % 3 != 0 || !FinitePoints(points, count))
        return InvalidParameter;
    return Draw(graphics, pen, Beziers(points, count));
}

Status GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (!ValidRect(x, y, width, height))
        return InvalidParameter;
    return Draw(graphics, pen, [=](cairo_t* cr) { cairo_rectangle(cr, x, y, width, height); });
}

Status GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    return GdipDrawRectangle(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const GpRectF* rects, INT count)
{
    if (!rects || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!ValidRect(rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height))
            return InvalidParameter;
    std::vector<GpRectF> v(rects, rects + count);
    return Draw(graphics, pen, [v](cairo_t* cr) {
        for (const GpRectF& r : v)
            cairo_rectangle(cr, r.X, r.Y, r.Width, r.Height);
    });
}

Status GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height)
{
    if (!ValidRect(x, y, width, height))
        return InvalidParameter;
    return Draw(graphics, pen, Ellipse(x, y, width, height));
}

Status GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height)
{
    return GdipDrawEllipse(graphics, pen, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle)
{
    if (!ValidRect(x, y, width, height) || !AllFinite(startAngle, sweepAngle))
        return InvalidParameter;
    return Draw(graphics, pen, Arc(x, y, width, height, startAngle, sweepAngle, true));
}

Status GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count)
{
    if (count < 2 || !FinitePoints(points, count))
        return InvalidParameter;
    return Draw(graphics, pen, Polyline(points, count, true));
}

Status GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count)
{
    auto f = ToFloat(points, count);
    return points ? GdipDrawPolygon(graphics, pen, f.data(), count) : InvalidParameter;
}

Status GdipDrawCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count)
{
    return GdipDrawCurve2(graphics, pen, points, count, 0.5f);
}

Status GdipDrawCurve2(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count, REAL tension)
{
    if (count < 2 || !Finite(tension) || !FinitePoints(points, count))
        return InvalidParameter;
    return Draw(graphics, pen, Curve(points, count, tension, false));
}

Status GdipDrawClosedCurve(GpGraphics* graphics, GpPen* pen, const GpPointF* points, INT count)
{
    if (count < 3 || !FinitePoints(points, count))
        return InvalidParameter;
    return Draw(graphics, pen, Curve(points, count, 0.5f, true));
}

Status GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path)
{
    if (!path)
        return InvalidParameter;
    return Draw(graphics, pen, PathOf(*P(path)));
}

Status GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!ValidRect(x, y, width, height))
        return InvalidParameter;
    return Fill(graphics, brush, [=](cairo_t* cr) { cairo_rectangle(cr, x, y, width, height); });
}

Status GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    return GdipFillRectangle(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const GpRectF* rects, INT count)
{
    if (!rects || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i)
        if (!ValidRect(rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height))
            return InvalidParameter;
    std::vector<GpRectF> v(rects, rects + count);
    return Fill(graphics, brush, [v](cairo_t* cr) {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        for (const GpRectF& r : v)
            cairo_rectangle(cr, r.X, r.Y, r.Width, r.Height);
    });
}

Status GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height)
{
    if (!ValidRect(x, y, width, height))
        return InvalidParameter;
    return Fill(graphics, brush, Ellipse(x, y, width, height));
}

Status GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height)
{
    return GdipFillEllipse(graphics, brush, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle,
                   REAL sweepAngle)
{
    if (!ValidRect(x, y, width, height) || !AllFinite(startAngle, sweepAngle))
        return InvalidParameter;
    return Fill(graphics, brush, Arc(x, y, width, height, startAngle, sweepAngle, true));
}

Status GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count, FillMode fillMode)
{
    if (count < 3 || !FinitePoints(points, count) || (fillMode != FillModeAlternate && fillMode != FillModeWinding))
        return InvalidParameter;
    TBuild poly = Polyline(points, count, true);
    return Fill(graphics, brush, [poly, fillMode](cairo_t* cr) {
        cairo_set_fill_rule(cr, fillMode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        poly(cr);
    });
}

Status GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, FillMode fillMode)
{
    auto f = ToFloat(points, count);
    return points ? GdipFillPolygon(graphics, brush, f.data(), count, fillMode) : InvalidParameter;
}

Status GdipFillPolygon2(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count)
{
    return GdipFillPolygon(graphics, brush, points, count, FillModeAlternate);
}

Status GdipFillClosedCurve(GpGraphics* graphics, GpBrush* brush, const GpPointF* points, INT count)
{
    if (count < 3 || !FinitePoints(points, count))
        return InvalidParameter;
    return Fill(graphics, brush, Curve(points, count, 0.5f, true));
}

Status GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path)
{
    if (!path)
        return InvalidParameter;
    return Fill(graphics, brush, PathOf(*P(path)));
}

Status GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    if (!region || !Impl(brush))
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, std::max(g->Width, 1), std::max(g->Height, 1));
    RasterizeRegion(mask, R(region)->Ops, g->VectorMatrix());
    {
        TPainter p(g);
        if (Source(p, brush)) {
            cairo_matrix_t saved;
            cairo_get_matrix(p.Cr(), &saved);
            cairo_identity_matrix(p.Cr());
            cairo_mask_surface(p.Cr(), mask, 0, 0);
            cairo_set_matrix(p.Cr(), &saved);
        }
    }
    cairo_surface_destroy(mask);
    return Ok;
}

}  // namespace dcs::gdiplus
