#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <limits>

namespace dcs::gdiplus {
namespace {

// Arc ends come out of sin and cos: equal to a line's end within rounding.
bool SamePoint(const GpPointF& a, const GpPointF& b)
{
    return std::abs(a.X - b.X) < 1e-4f && std::abs(a.Y - b.Y) < 1e-4f;
}

void Push(GpPathImpl& p, GpPointF pt, BYTE type)
{
    p.Points.push_back(pt);
    p.Types.push_back(type);
}

// The first point of a new piece: starts a figure, or joins the open one by a line
// (a point equal to the figure's last point is not repeated).
void Join(GpPathImpl& p, GpPointF pt)
{
    if (p.StartNew || p.Points.empty()) {
        Push(p, pt, PathPointTypeStart);
        p.StartNew = false;
    } else if (!SamePoint(p.Points.back(), pt)) {
        Push(p, pt, PathPointTypeLine);
    }
}

// Any edit but the first ellipse makes the path something other than one ellipse.
GpPathImpl* Edit(GpPath* path)
{
    GpPathImpl* p = P(path);
    if (p)
        p->SoleEllipse.reset();
    return p;
}

template <class Pt> std::vector<GpPointF> ToFloat(const Pt* pts, INT count)
{
    std::vector<GpPointF> r(size_t(std::max(count, 0)));
    for (INT i = 0; i < count; ++i)
        r[size_t(i)] = {REAL(pts[i].X), REAL(pts[i].Y)};
    return r;
}

bool FinitePoints(const GpPointF* pts, INT count)
{
    for (INT i = 0; i < count; ++i)
        if (!AllFinite(pts[i].X, pts[i].Y))
            return false;
    return true;
}

// The parameter of the ellipse point seen from the centre at `angle` (radians).
double EllipseParameter(double angle, double rx, double ry)
{
    double t = std::atan2(rx * std::sin(angle), ry * std::cos(angle));
    double d = std::remainder(t - angle, 2 * M_PI);
    return angle + d;
}

Status AddPoints(GpPath* path, const GpPointF* pts, INT count, INT minimum,
                 void (*add)(GpPathImpl&, const GpPointF*, int))
{
    GpPathImpl* p = Edit(path);
    if (!p || !pts || count < minimum || !FinitePoints(pts, count))
        return InvalidParameter;
    add(*p, pts, count);
    return Ok;
}

Status AddCurve(GpPath* path, const GpPointF* pts, INT count, REAL tension, bool closed)
{
    GpPathImpl* p = Edit(path);
    if (!p || !pts || count < (closed ? 3 : 2) || !Finite(tension) || !FinitePoints(pts, count))
        return InvalidParameter;
    if (closed)
        p->StartNew = true;
    std::vector<GpPointF> b = CurvePoints(pts, count, tension, closed);
    AddBeziers(*p, b.data(), int(b.size()));
    if (closed)
        CloseFigure(*p);
    return Ok;
}

}  // namespace

void AddLines(GpPathImpl& p, const GpPointF* pts, int count)
{
    Join(p, pts[0]);
    for (int i = 1; i < count; ++i)
        Push(p, pts[i], PathPointTypeLine);
}

void AddBeziers(GpPathImpl& p, const GpPointF* pts, int count)
{
    if (p.StartNew || p.Points.empty()) {
        Push(p, pts[0], PathPointTypeStart);
        p.StartNew = false;
    } else if (!SamePoint(p.Points.back(), pts[0])) {
        Push(p, pts[0], PathPointTypeLine);
    }
    for (int i = 1; i < count; ++i)
        Push(p, pts[i], PathPointTypeBezier);
}

void CloseFigure(GpPathImpl& p)
{
    if (!p.Types.empty() && !p.StartNew)
        p.Types.back() |= PathPointTypeCloseSubpath;
    p.StartNew = true;
}

std::vector<GpPointF> ArcPoints(double x, double y, double w, double h, double start, double sweep)
{
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    sweep = std::clamp(sweep, -360.0, 360.0);
    double a0 = start * M_PI / 180, a1 = (start + sweep) * M_PI / 180;
    double t0 = EllipseParameter(a0, rx, ry);
    double t1 = std::abs(sweep) >= 360 ? t0 + (sweep > 0 ? 2 : -2) * M_PI : EllipseParameter(a1, rx, ry);
    // Keep the direction and the turn of the sweep after the angle conversion.
    while (sweep > 0 && t1 < t0)
        t1 += 2 * M_PI;
    while (sweep < 0 && t1 > t0)
        t1 -= 2 * M_PI;
    auto at = [&](double t) { return GpPointF {REAL(cx + rx * std::cos(t)), REAL(cy + ry * std::sin(t))}; };
    std::vector<GpPointF> r {at(t0)};
    int n = std::max(1, int(std::ceil(std::abs(t1 - t0) / (M_PI / 2) - 1e-9)));
    double step = (t1 - t0) / n;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < n; ++i) {
        double s = t0 + i * step, e = s + step;
        r.push_back({REAL(cx + rx * (std::cos(s) - k * std::sin(s))), REAL(cy + ry * (std::sin(s) + k * std::cos(s)))});
        r.push_back({REAL(cx + rx * (std::cos(e) + k * std::sin(e))), REAL(cy + ry * (std::sin(e) - k * std::cos(e)))});
        r.push_back(at(e));
    }
    return r;
}

std::vector<GpPointF> CurvePoints(const GpPointF* pts, int count, double tension, bool closed)
{
    auto pt = [&](int i) {
        if (closed)
            return pts[((i % count) + count) % count];
        return pts[std::clamp(i, 0, count - 1)];
    };
    double t = tension / 3;
    int segments = closed ? count : count - 1;
    std::vector<GpPointF> r {pts[0]};
    for (int i = 0; i < segments; ++i) {
        GpPointF p0 = pt(i - 1), p1 = pt(i), p2 = pt(i + 1), p3 = pt(i + 2);
        r.push_back({REAL(p1.X + t * (p2.X - p0.X)), REAL(p1.Y + t * (p2.Y - p0.Y))});
        r.push_back({REAL(p2.X - t * (p3.X - p1.X)), REAL(p2.Y - t * (p3.Y - p1.Y))});
        r.push_back(p2);
    }
    return r;
}

void AppendPath(cairo_t* cr, const GpPathImpl& path)
{
    cairo_set_fill_rule(cr, path.Mode == FillModeWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    const auto& pt = path.Points;
    const auto& ty = path.Types;
    for (size_t i = 0; i < pt.size(); ++i) {
        BYTE kind = ty[i] & PathPointTypePathTypeMask;
        if (kind == PathPointTypeStart) {
            cairo_move_to(cr, pt[i].X, pt[i].Y);
        } else if (kind == PathPointTypeBezier && i + 2 < pt.size()) {
            cairo_curve_to(cr, pt[i].X, pt[i].Y, pt[i + 1].X, pt[i + 1].Y, pt[i + 2].X, pt[i + 2].Y);
            i += 2;
        } else {
            cairo_line_to(cr, pt[i].X, pt[i].Y);
        }
        if (ty[i] & PathPointTypeCloseSubpath)
            cairo_close_path(cr);
    }
}

std::vector<std::vector<GpPointF>> FlattenPath(const GpPathImpl& path)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(s);
    cairo_set_tolerance(cr, 0.05);
    AppendPath(cr, path);
    cairo_path_t* flat = cairo_copy_path_flat(cr);
    std::vector<std::vector<GpPointF>> r;
    for (int i = 0; flat->status == CAIRO_STATUS_SUCCESS && i < flat->num_data; i += flat->data[i].header.length) {
        const cairo_path_data_t* d = &flat->data[i];
        if (d->header.type == CAIRO_PATH_MOVE_TO)
            r.emplace_back();
        if ((d->header.type == CAIRO_PATH_MOVE_TO || d->header.type == CAIRO_PATH_LINE_TO) && !r.empty())
            r.back().push_back({REAL(d[1].point.x), REAL(d[1].point.y)});
    }
    cairo_path_destroy(flat);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return r;
}

Status GdipCreatePath(FillMode fillMode, GpPath** path)
{
    if (!path || (fillMode != FillModeAlternate && fillMode != FillModeWinding))
        return InvalidParameter;
    auto* p = new GpPathImpl;
    p->Mode = fillMode;
    *path = p;
    return Ok;
}

Status GdipCreatePath2(const GpPointF* points, const BYTE* types, INT count, FillMode fillMode, GpPath** path)
{
    if (!points || !types || count < 0 || !FinitePoints(points, count))
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        BYTE k = types[i] & PathPointTypePathTypeMask;
        if (i == 0 && k != PathPointTypeStart)
            return InvalidParameter;
        if (k != PathPointTypeStart && k != PathPointTypeLine && k != PathPointTypeBezier)
            return InvalidParameter;
    }
    Status st = GdipCreatePath(fillMode, path);
    if (st != Ok)
        return st;
    GpPathImpl* p = P(*path);
    p->Points.assign(points, points + count);
    p->Types.assign(types, types + count);
    p->StartNew = count == 0 || (types[count - 1] & PathPointTypeCloseSubpath);
    return Ok;
}

Status GdipClonePath(GpPath* path, GpPath** clone)
{
    if (!path || !clone)
        return InvalidParameter;
    *clone = new GpPathImpl(*P(path));
    return Ok;
}

Status GdipDeletePath(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    delete path;
    return Ok;
}

Status GdipResetPath(GpPath* path)
{
    GpPathImpl* p = Edit(path);
    if (!p)
        return InvalidParameter;
    FillMode mode = p->Mode;
    *p = GpPathImpl();
    p->Mode = mode;
    return Ok;
}

Status GdipGetPointCount(GpPath* path, INT* count)
{
    if (!path || !count)
        return InvalidParameter;
    *count = INT(P(path)->Points.size());
    return Ok;
}

Status GdipGetPathTypes(GpPath* path, BYTE* types, INT count)
{
    if (!path || !types || count <= 0)
        return InvalidParameter;
    if (size_t(count) < P(path)->Types.size())
        return InsufficientBuffer;
    std::copy(P(path)->Types.begin(), P(path)->Types.end(), types);
    return Ok;
}

Status GdipGetPathPoints(GpPath* path, GpPointF* points, INT count)
{
    if (!path || !points || count <= 0)
        return InvalidParameter;
    if (size_t(count) < P(path)->Points.size())
        return InsufficientBuffer;
    std::copy(P(path)->Points.begin(), P(path)->Points.end(), points);
    return Ok;
}

Status GdipGetPathPointsI(GpPath* path, GpPoint* points, INT count)
{
    if (!path || !points || count <= 0)
        return InvalidParameter;
    if (size_t(count) < P(path)->Points.size())
        return InsufficientBuffer;
    for (size_t i = 0; i < P(path)->Points.size(); ++i)
        points[i] = {INT(std::lround(P(path)->Points[i].X)), INT(std::lround(P(path)->Points[i].Y))};
    return Ok;
}

Status GdipGetPathFillMode(GpPath* path, FillMode* fillmode)
{
    if (!path || !fillmode)
        return InvalidParameter;
    *fillmode = P(path)->Mode;
    return Ok;
}

Status GdipSetPathFillMode(GpPath* path, FillMode fillmode)
{
    if (!path || (fillmode != FillModeAlternate && fillmode != FillModeWinding))
        return InvalidParameter;
    P(path)->Mode = fillmode;
    return Ok;
}

Status GdipStartPathFigure(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    P(path)->StartNew = true;
    return Ok;
}

Status GdipClosePathFigure(GpPath* path)
{
    if (!path)
        return InvalidParameter;
    CloseFigure(*P(path));
    return Ok;
}

Status GdipClosePathFigures(GpPath* path)
{
    GpPathImpl* p = P(path);
    if (!p)
        return InvalidParameter;
    for (size_t i = 1; i <= p->Types.size(); ++i)
        if (i == p->Types.size() || (p->Types[i] & PathPointTypePathTypeMask) == PathPointTypeStart)
            p->Types[i - 1] |= PathPointTypeCloseSubpath;
    p->StartNew = true;
    return Ok;
}

Status GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2)
{
    GpPointF pts[2] = {{x1, y1}, {x2, y2}};
    return GdipAddPathLine2(path, pts, 2);
}

Status GdipAddPathLine2(GpPath* path, const GpPointF* points, INT count)
{
    return AddPoints(path, points, count, 1, AddLines);
}

Status GdipAddPathLineI(GpPath* path, INT x1, INT y1, INT x2, INT y2)
{
    return GdipAddPathLine(path, REAL(x1), REAL(y1), REAL(x2), REAL(y2));
}

Status GdipAddPathLine2I(GpPath* path, const GpPoint* points, INT count)
{
    if (!points)
        return InvalidParameter;
    auto f = ToFloat(points, count);
    return GdipAddPathLine2(path, f.data(), count);
}

Status GdipAddPathArc(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    GpPathImpl* p = Edit(path);
    if (!p || !AllFinite(x, y, width, height, startAngle, sweepAngle) || width < 0 || height < 0)
        return InvalidParameter;
    if (width == 0 || height == 0) {  // a degenerate arc is its corner point
        Join(*p, {x, y});
        return Ok;
    }
    std::vector<GpPointF> b = ArcPoints(x, y, width, height, startAngle, sweepAngle);
    AddBeziers(*p, b.data(), int(b.size()));
    return Ok;
}

Status GdipAddPathArcI(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle)
{
    return GdipAddPathArc(path, REAL(x), REAL(y), REAL(width), REAL(height), startAngle, sweepAngle);
}

Status GdipAddPathBezier(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4)
{
    GpPointF pts[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    return GdipAddPathBeziers(path, pts, 4);
}

Status GdipAddPathBezierI(GpPath* path, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4, INT y4)
{
    return GdipAddPathBezier(path, REAL(x1), REAL(y1), REAL(x2), REAL(y2), REAL(x3), REAL(y3), REAL(x4), REAL(y4));
}

Status GdipAddPathBeziers(GpPath* path, const GpPointF* points, INT count)
{
    if (count < 4 || (count - 1) % 3 != 0)
        return InvalidParameter;
    return AddPoints(path, points, count, 4, AddBeziers);
}

Status GdipAddPathBeziersI(GpPath* path, const GpPoint* points, INT count)
{
    if (!points)
        return InvalidParameter;
    auto f = ToFloat(points, count);
    return GdipAddPathBeziers(path, f.data(), count);
}

Status GdipAddPathCurve(GpPath* path, const GpPointF* points, INT count)
{
    return AddCurve(path, points, count, 0.5f, false);
}

Status GdipAddPathCurveI(GpPath* path, const GpPoint* points, INT count)
{
    return GdipAddPathCurve2I(path, points, count, 0.5f);
}

Status GdipAddPathCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension)
{
    return AddCurve(path, points, count, tension, false);
}

Status GdipAddPathCurve2I(GpPath* path, const GpPoint* points, INT count, REAL tension)
{
    if (!points)
        return InvalidParameter;
    auto f = ToFloat(points, count);
    return AddCurve(path, f.data(), count, tension, false);
}

Status GdipAddPathClosedCurve(GpPath* path, const GpPointF* points, INT count)
{
    return AddCurve(path, points, count, 0.5f, true);
}

Status GdipAddPathClosedCurve2(GpPath* path, const GpPointF* points, INT count, REAL tension)
{
    return AddCurve(path, points, count, tension, true);
}

Status GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height)
{
    GpPathImpl* p = Edit(path);
    if (!p || !AllFinite(x, y, width, height))
        return InvalidParameter;
    if (width <= 0 || height <= 0)
        return Ok;  // nothing to add
    p->StartNew = true;
    GpPointF pts[4] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    AddLines(*p, pts, 4);
    CloseFigure(*p);
    return Ok;
}

Status GdipAddPathRectangleI(GpPath* path, INT x, INT y, INT width, INT height)
{
    return GdipAddPathRectangle(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipAddPathRectangles(GpPath* path, const GpRectF* rects, INT count)
{
    if (!path || !rects || count <= 0)
        return InvalidParameter;
    for (INT i = 0; i < count; ++i) {
        Status st = GdipAddPathRectangle(path, rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
        if (st != Ok)
            return st;
    }
    return Ok;
}

Status GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height)
{
    GpPathImpl* p = P(path);
    if (!p || !AllFinite(x, y, width, height))
        return InvalidParameter;
    bool wasEmpty = p->Points.empty();
    Edit(path);
    p->StartNew = true;
    std::vector<GpPointF> b = ArcPoints(x, y, width, height, 0, 360);
    AddBeziers(*p, b.data(), int(b.size()));
    CloseFigure(*p);
    if (wasEmpty && width > 0 && height > 0)
        p->SoleEllipse = GpRectF {x, y, width, height};
    return Ok;
}

Status GdipAddPathEllipseI(GpPath* path, INT x, INT y, INT width, INT height)
{
    return GdipAddPathEllipse(path, REAL(x), REAL(y), REAL(width), REAL(height));
}

Status GdipAddPathPie(GpPath* path, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle)
{
    GpPathImpl* p = Edit(path);
    if (!p || !AllFinite(x, y, width, height, startAngle, sweepAngle) || width <= 0 || height <= 0)
        return InvalidParameter;
    p->StartNew = true;
    Join(*p, {x + width / 2, y + height / 2});
    std::vector<GpPointF> b = ArcPoints(x, y, width, height, startAngle, sweepAngle);
    AddBeziers(*p, b.data(), int(b.size()));
    CloseFigure(*p);
    return Ok;
}

Status GdipAddPathPolygon(GpPath* path, const GpPointF* points, INT count)
{
    GpPathImpl* p = Edit(path);
    if (!p || !points || count < 3 || !FinitePoints(points, count))
        return InvalidParameter;
    p->StartNew = true;
    AddLines(*p, points, count);
    CloseFigure(*p);
    return Ok;
}

Status GdipAddPathPolygonI(GpPath* path, const GpPoint* points, INT count)
{
    if (!points)
        return InvalidParameter;
    auto f = ToFloat(points, count);
    return GdipAddPathPolygon(path, f.data(), count);
}

Status GdipAddPathPath(GpPath* path, const GpPath* addingPath, BOOL connect)
{
    GpPathImpl* p = Edit(path);
    if (!p || !addingPath)
        return InvalidParameter;
    const GpPathImpl src = *P(addingPath);  // copied: the path may be added to itself
    for (size_t i = 0; i < src.Points.size(); ++i) {
        BYTE t = src.Types[i];
        if (i == 0 && connect && !p->StartNew && !p->Points.empty())
            t = (t & ~PathPointTypePathTypeMask) | PathPointTypeLine;
        p->Points.push_back(src.Points[i]);
        p->Types.push_back(t);
    }
    if (!src.Points.empty())
        p->StartNew = src.StartNew;
    return Ok;
}

Status GdipTransformPath(GpPath* path, GpMatrix* matrix)
{
    GpPathImpl* p = Edit(path);
    if (!p)
        return InvalidParameter;
    if (!matrix)
        return Ok;
    for (GpPointF& pt : p->Points) {
        double x = pt.X, y = pt.Y;
        cairo_matrix_transform_point(&M(matrix), &x, &y);
        pt = {REAL(x), REAL(y)};
    }
    return Ok;
}

Status GdipGetPathWorldBounds(GpPath* path, GpRectF* bounds, const GpMatrix* matrix, const GpPen* pen)
{
    if (!path || !bounds)
        return InvalidParameter;
    const GpPathImpl* p = P(path);
    if (p->Points.empty()) {
        *bounds = {};
        return Ok;
    }
    double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
    for (const GpPointF& pt : p->Points) {
        double x = pt.X, y = pt.Y;
        if (matrix)
            cairo_matrix_transform_point(&M(matrix), &x, &y);
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    double grow = pen ? static_cast<const GpPenImpl*>(pen)->Width / 2 : 0;
    *bounds = {REAL(x0 - grow), REAL(y0 - grow), REAL(x1 - x0 + 2 * grow), REAL(y1 - y0 + 2 * grow)};
    return Ok;
}

Status GdipIsVisiblePathPoint(GpPath* path, REAL x, REAL y, GpGraphics*, BOOL* result)
{
    if (!path || !result || !AllFinite(x, y))
        return InvalidParameter;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(s);
    AppendPath(cr, *P(path));
    *result = cairo_in_fill(cr, x, y);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    return Ok;
}

}  // namespace dcs::gdiplus
