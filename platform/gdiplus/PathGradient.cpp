#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>

namespace dcs::gdiplus {
namespace {

// Paints only inside its path. An ellipse is painted exactly, as a focal radial
// gradient under the ellipse's affine scale; any other path as a fan of mesh patches
// from the centre to each boundary edge, one ring of patches per blend step.
struct TPathGradient final : GpPathGradient, TBrushImpl {
    GpPathImpl Path;
    GpPointF Center;
    ARGB CenterColor = 0xFFFFFFFF;
    std::vector<ARGB> Surround{0xFFFFFFFF};
    WrapMode Wrap = WrapModeClamp;
    bool Gamma = false;
    std::vector<TStop> Preset;                  // position 0 boundary, 1 centre
    std::vector<std::pair<REAL, REAL>> Blend;   // (position, factor)
    GpPointF Focus{0, 0};
    cairo_matrix_t Transform;

    TPathGradient() { cairo_matrix_init_identity(&Transform); }
    TPathGradient(const TPathGradient& o)
        : GpPathGradient(), TBrushImpl(), Path(o.Path), Center(o.Center),
          CenterColor(o.CenterColor), Surround(o.Surround), Wrap(o.Wrap), Gamma(o.Gamma),
          Preset(o.Preset), Blend(o.Blend), Focus(o.Focus), Transform(o.Transform)
    {
    }
    BrushType Type() const override { return BrushTypePathGradient; }
    GpBrush* Clone() const override { return new TPathGradient(*this); }

    // Rings from the centre (s = 0) to the boundary (s = 1), each with the colour for
    // a boundary colour `edge`.
    std::vector<TStop> Rings(ARGB edge) const
    {
        std::vector<TStop> r;
        if (!Preset.empty()) {
            for (const TStop& p : Preset)
                r.push_back({1 - p.Offset, p.Color});
        } else if (!Blend.empty()) {
            for (auto [pos, f] : Blend)
                r.push_back({1 - pos, LerpARGB(edge, CenterColor, f)});
        } else {
            r = {{0, CenterColor}, {1, edge}};
        }
        std::sort(r.begin(), r.end(), [](const TStop& a, const TStop& b) { return a.Offset < b.Offset; });
        if (!Gamma)
            return r;
        // Linear light between the rings, as extra rings.
        std::vector<TStop> g;
        cairo_pattern_t* probe = cairo_pattern_create_linear(0, 0, 1, 0);
        AddStops(probe, r, true);
        int n = 0;
        cairo_pattern_get_color_stop_count(probe, &n);
        for (int i = 0; i < n; ++i) {
            double off, cr, cg, cb, ca;
            cairo_pattern_get_color_stop_rgba(probe, i, &off, &cr, &cg, &cb, &ca);
            auto byte = [](double v) { return ARGB(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
            g.push_back({off, (byte(ca) << 24) | (byte(cr) << 16) | (byte(cg) << 8) | byte(cb)});
        }
        cairo_pattern_destroy(probe);
        return g;
    }

    bool SetSource(cairo_t* cr, const cairo_matrix_t&, const cairo_matrix_t&) const override
    {
        if (!Invertible(Transform))
            return false;
        cairo_save(cr);
        cairo_transform(cr, &Transform);
        cairo_new_path(cr);
        AppendPath(cr, Path);
        cairo_restore(cr);
        cairo_clip(cr);
        cairo_pattern_t* pat = Path.SoleEllipse && SingleSurround() ? Radial() : Mesh();
        // Brush space first (the inverse brush transform), then the pattern's own space.
        cairo_matrix_t inv = Transform, own, m;
        cairo_matrix_invert(&inv);
        cairo_pattern_get_matrix(pat, &own);
        cairo_matrix_multiply(&m, &inv, &own);
        cairo_pattern_set_matrix(pat, &m);
        cairo_set_source(cr, pat);
        cairo_pattern_destroy(pat);
        return true;
    }

    bool SingleSurround() const
    {
        return std::all_of(Surround.begin(), Surround.end(),
                           [&](ARGB c) { return c == Surround[0]; });
    }

    cairo_pattern_t* Radial() const
    {
        const GpRectF& e = *Path.SoleEllipse;
        cairo_matrix_t toUnit;   // ellipse -> unit circle
        cairo_matrix_init(&toUnit, e.Width / 2, 0, 0, e.Height / 2, e.X + e.Width / 2,
                          e.Y + e.Height / 2);
        cairo_matrix_invert(&toUnit);
        double fx = Center.X, fy = Center.Y;
        cairo_matrix_transform_point(&toUnit, &fx, &fy);
        // A focus on or outside the rim is not a valid focal gradient: pull it in.
        double d = std::hypot(fx, fy);
        if (d > 0.999) {
            fx *= 0.999 / d;
            fy *= 0.999 / d;
        }
        cairo_pattern_t* pat = cairo_pattern_create_radial(fx, fy, 0, 0, 0, 1);
        AddStops(pat, Rings(Surround[0]), false);
        cairo_pattern_set_extend(pat, CAIRO_EXTEND_PAD);
        cairo_pattern_set_matrix(pat, &toUnit);
        return pat;
    }

    cairo_pattern_t* Mesh() const
    {
        cairo_pattern_t* pat = cairo_pattern_create_mesh();
        auto figures = FlattenPath(Path);
        for (const auto& fig : figures) {
            size_t n = fig.size();
            if (n > 1 && fig[0].X == fig[n - 1].X && fig[0].Y == fig[n - 1].Y)
                --n;
            if (n < 2)
                continue;
            // One colour per boundary vertex when the path's own points are its vertices.
            bool perVertex = !SingleSurround() && n == Path.Points.size();
            for (size_t i = 0; i < n; ++i) {
                size_t j = (i + 1) % n;
                ARGB ci = perVertex ? Surround[std::min(i, Surround.size() - 1)] : Surround[0];
                ARGB cj = perVertex ? Surround[std::min(j, Surround.size() - 1)] : Surround[0];
                auto ri = Rings(ci), rj = Rings(cj);
                for (size_t k = 0; k + 1 < ri.size(); ++k) {
                    auto at = [&](const GpPointF& v, double s) {
                        return std::pair<double, double>{Center.X + s * (v.X - Center.X),
                                                         Center.Y + s * (v.Y - Center.Y)};
                    };
                    auto [ax, ay] = at(fig[i], ri[k].Offset);
                    auto [bx, by] = at(fig[j], ri[k].Offset);
                    auto [cx, cy] = at(fig[j], ri[k + 1].Offset);
                    auto [dx, dy] = at(fig[i], ri[k + 1].Offset);
                    cairo_mesh_pattern_begin_patch(pat);
                    cairo_mesh_pattern_move_to(pat, ax, ay);
                    cairo_mesh_pattern_line_to(pat, bx, by);
                    cairo_mesh_pattern_line_to(pat, cx, cy);
                    cairo_mesh_pattern_line_to(pat, dx, dy);
                    auto corner = [&](int c, ARGB col) {
                        cairo_mesh_pattern_set_corner_color_rgba(
                            pat, unsigned(c), ((col >> 16) & 0xFF) / 255.0,
                            ((col >> 8) & 0xFF) / 255.0, (col & 0xFF) / 255.0, (col >> 24) / 255.0);
                    };
                    corner(0, ri[k].Color);
                    corner(1, rj[k].Color);
                    corner(2, rj[k + 1].Color);
                    corner(3, ri[k + 1].Color);
                    cairo_mesh_pattern_end_patch(pat);
                }
            }
        }
        return pat;
    }
};

TPathGradient* PG(GpPathGradient* b)
{
    return dynamic_cast<TPathGradient*>(static_cast<GpBrush*>(b));
}

GpPointF Centroid(const GpPathImpl& p)
{
    if (p.SoleEllipse)
        return {p.SoleEllipse->X + p.SoleEllipse->Width / 2,
                p.SoleEllipse->Y + p.SoleEllipse->Height / 2};
    // Area centroid of the flattened outline; the mean of the points when it has no area.
    double a = 0, cx = 0, cy = 0, mx = 0, my = 0;
    size_t count = 0;
    for (const auto& fig : FlattenPath(p))
        for (size_t i = 0; i < fig.size(); ++i) {
            const GpPointF &u = fig[i], &v = fig[(i + 1) % fig.size()];
            double c = double(u.X) * v.Y - double(v.X) * u.Y;
            a += c;
            cx += (u.X + v.X) * c;
            cy += (u.Y + v.Y) * c;
            mx += u.X;
            my += u.Y;
            ++count;
        }
    if (std::abs(a) > 1e-9)
        return {REAL(cx / (3 * a)), REAL(cy / (3 * a))};
    return count ? GpPointF{REAL(mx / count), REAL(my / count)} : GpPointF{};
}

Status Make(const GpPathImpl& path, GpPathGradient** out)
{
    if (path.Points.size() < 2)
        return OutOfMemory;   // nothing to span: the status callers expect for this
    auto* b = new TPathGradient;
    b->Path = path;
    b->Center = Centroid(path);
    *out = b;
    return Ok;
}

}  // namespace

Status GdipCreatePathGradient(const GpPointF* points, INT count, WrapMode wrapMode,
                              GpPathGradient** polyGradient)
{
    if (!points || !polyGradient || count < 2 || wrapMode < WrapModeTile ||
        wrapMode > WrapModeClamp)
        return InvalidParameter;
    GpPathImpl path;
    for (INT i = 0; i < count; ++i)
        if (!AllFinite(points[i].X, points[i].Y))
            return InvalidParameter;
    AddLines(path, points, count);
    CloseFigure(path);
    Status st = Make(path, polyGradient);
    if (st == Ok)
        PG(*polyGradient)->Wrap = wrapMode;
    return st;
}

Status GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** polyGradient)
{
    if (!path || !polyGradient)
        return InvalidParameter;
    return Make(*P(path), polyGradient);
}

Status GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB colors)
{
    TPathGradient* b = PG(brush);
    if (!b)
        return InvalidParameter;
    b->CenterColor = colors;
    return Ok;
}

Status GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* colors)
{
    TPathGradient* b = PG(brush);
    if (!b || !colors)
        return InvalidParameter;
    *colors = b->CenterColor;
    return Ok;
}

Status GdipSetPathGradientCenterPoint(GpPathGradient* brush, const GpPointF* point)
{
    TPathGradient* b = PG(brush);
    if (!b || !point || !AllFinite(point->X, point->Y))
        return InvalidParameter;
    b->Center = *point;
    return Ok;
}

Status GdipSetPathGradientCenterPointI(GpPathGradient* brush, const GpPoint* point)
{
    if (!point)
        return InvalidParameter;
    GpPointF p{REAL(point->X), REAL(point->Y)};
    return GdipSetPathGradientCenterPoint(brush, &p);
}

Status GdipGetPathGradientCenterPoint(GpPathGradient* brush, GpPointF* point)
{
    TPathGradient* b = PG(brush);
    if (!b || !point)
        return InvalidParameter;
    *point = b->Center;
    return Ok;
}

Status GdipGetPathGradientCenterPointI(GpPathGradient* brush, GpPoint* point)
{
    TPathGradient* b = PG(brush);
    if (!b || !point)
        return InvalidParameter;
    *point = {INT(std::lround(b->Center.X)), INT(std::lround(b->Center.Y))};
    return Ok;
}

Status GdipGetPathGradientPointCount(GpPathGradient* brush, INT* count)
{
    TPathGradient* b = PG(brush);
    if (!b || !count)
        return InvalidParameter;
    *count = INT(b->Path.Points.size());
    return Ok;
}

Status GdipGetPathGradientSurroundColorCount(GpPathGradient* brush, INT* count)
{
    TPathGradient* b = PG(brush);
    if (!b || !count)
        return InvalidParameter;
    *count = INT(b->Surround.size());
    return Ok;
}

Status GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* color,
                                                  INT* count)
{
    TPathGradient* b = PG(brush);
    if (!b || !color || !count || *count <= 0 || size_t(*count) > b->Path.Points.size())
        return InvalidParameter;
    b->Surround.assign(color, color + *count);
    return Ok;
}

Status GdipGetPathGradientSurroundColorsWithCount(GpPathGradient* brush, ARGB* color,
                                                  INT* count)
{
    TPathGradient* b = PG(brush);
    if (!b || !color || !count)
        return InvalidParameter;
    if (size_t(*count) < b->Surround.size())
        return InsufficientBuffer;
    std::copy(b->Surround.begin(), b->Surround.end(), color);
    *count = INT(b->Surround.size());
    return Ok;
}

Status GdipSetPathGradientWrapMode(GpPathGradient* brush, WrapMode wrapmode)
{
    TPathGradient* b = PG(brush);
    if (!b || wrapmode < WrapModeTile || wrapmode > WrapModeClamp)
        return InvalidParameter;
    b->Wrap = wrapmode;
    return Ok;
}

Status GdipGetPathGradientWrapMode(GpPathGradient* brush, WrapMode* wrapmode)
{
    TPathGradient* b = PG(brush);
    if (!b || !wrapmode)
        return InvalidParameter;
    *wrapmode = b->Wrap;
    return Ok;
}

Status GdipSetPathGradientGammaCorrection(GpPathGradient* brush, BOOL useGammaCorrection)
{
    TPathGradient* b = PG(brush);
    if (!b)
        return InvalidParameter;
    b->Gamma = useGammaCorrection != 0;
    return Ok;
}

Status GdipSetPathGradientBlend(GpPathGradient* brush, const REAL* blend, const REAL* positions,
                                INT count)
{
    return SetBlendFactors(PG(brush), blend, positions, count);
}

Status GdipSetPathGradientPresetBlend(GpPathGradient* brush, const ARGB* blend, const REAL* positions,
                                      INT count)
{
    return SetPresetColors(PG(brush), blend, positions, count);
}

Status GdipSetPathGradientFocusScales(GpPathGradient* brush, REAL xScale, REAL yScale)
{
    TPathGradient* b = PG(brush);
    if (!b || !AllFinite(xScale, yScale))
        return InvalidParameter;
    b->Focus = {xScale, yScale};   // accepted; painting does not scale the focus
    return Ok;
}

}  // namespace dcs::gdiplus
