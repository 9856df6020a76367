#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <list>
#include <string>

namespace dcs::gdiplus {
namespace {

// Rendered path gradients by everything that decides their pixels; the painters of the
// controls make the same shadows and glows on every repaint. One per thread, as the
// pictures are drawn on the thread that paints.
class TRenderCache {
public:
    ~TRenderCache()
    {
        for (auto& e : FEntries)
            cairo_surface_destroy(e.second);
    }
    cairo_surface_t* Find(const std::string& key)
    {
        for (auto it = FEntries.begin(); it != FEntries.end(); ++it)
            if (it->first == key) {
                FEntries.splice(FEntries.begin(), FEntries, it);
                return cairo_surface_reference(it->second);
            }
        return nullptr;
    }
    void Add(const std::string& key, cairo_surface_t* pic, size_t pixels)
    {
        if (pixels > kPixelBudget / 8)
            return;
        FEntries.emplace_front(key, cairo_surface_reference(pic));
        FPixels += pixels;
        while (FEntries.size() > kMaxEntries || FPixels > kPixelBudget) {
            cairo_surface_t* old = FEntries.back().second;
            FPixels -= size_t(cairo_image_surface_get_width(old)) * size_t(cairo_image_surface_get_height(old));
            cairo_surface_destroy(old);
            FEntries.pop_back();
        }
    }

private:
    static constexpr size_t kMaxEntries = 128;
    static constexpr size_t kPixelBudget = size_t(8) << 20;
    std::list<std::pair<std::string, cairo_surface_t*>> FEntries;
    size_t FPixels = 0;
};

TRenderCache& Cache()
{
    thread_local TRenderCache cache;
    return cache;
}

// Paints only inside its path. An ellipse is painted exactly, as a focal radial
// gradient under the ellipse's affine scale; any other path as a fan of mesh patches
// from the centre to each boundary edge, one ring of patches per blend step.
struct TPathGradient final : GpPathGradient, TBrushImpl {
    GpPathImpl Path;
    GpPointF Center;
    ARGB CenterColor = 0xFFFFFFFF;
    std::vector<ARGB> Surround {0xFFFFFFFF};
    WrapMode Wrap = WrapModeClamp;
    bool Gamma = false;
    std::vector<TStop> Preset;                 // position 0 boundary, 1 centre
    std::vector<std::pair<REAL, REAL>> Blend;  // (position, factor)
    GpPointF Focus {0, 0};
    cairo_matrix_t Transform;

    TPathGradient() { cairo_matrix_init_identity(&Transform); }
    TPathGradient(const TPathGradient& o)
        : GpPathGradient(), TBrushImpl(), Path(o.Path), Center(o.Center), CenterColor(o.CenterColor),
          Surround(o.Surround), Wrap(o.Wrap), Gamma(o.Gamma), Preset(o.Preset), Blend(o.Blend), Focus(o.Focus),
          Transform(o.Transform)
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
        cairo_matrix_t ctm, full;
        cairo_get_matrix(cr, &ctm);
        cairo_matrix_multiply(&full, &Transform, &ctm);  // brush space -> device
        // Painted once into a device-aligned picture of the path's extent (transparent
        // outside the path) and reused while shape, colours and placement repeat.
        cairo_surface_t* picture = Rendered(full, VisibleDeviceBox(cr));
        if (!picture) {
            ClipToPath(cr);
            cairo_pattern_t* pat = Pattern();
            cairo_matrix_t inv = Transform, own, m;
            cairo_matrix_invert(&inv);
            cairo_pattern_get_matrix(pat, &own);
            cairo_matrix_multiply(&m, &inv, &own);
            cairo_pattern_set_matrix(pat, &m);
            cairo_set_source(cr, pat);
            cairo_pattern_destroy(pat);
            return true;
        }
        if (cairo_get_operator(cr) == CAIRO_OPERATOR_SOURCE)
            ClipToPath(cr);  // copying must not clear what lies outside the path
        // The picture's device offset places it: device pixels map straight onto it.
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, picture, 0, 0);
        cairo_set_matrix(cr, &ctm);
        cairo_surface_destroy(picture);
        return true;
    }

    void ClipToPath(cairo_t* cr) const
    {
        cairo_save(cr);
        cairo_transform(cr, &Transform);
        cairo_new_path(cr);
        AppendPath(cr, Path);
        cairo_restore(cr);
        cairo_clip(cr);
    }

    cairo_pattern_t* Pattern() const { return Path.SoleEllipse && SingleSurround() ? Radial() : Mesh(); }

    // The part of the device the painter may touch (its clip, bounded by its target).
    static cairo_rectangle_int_t VisibleDeviceBox(cairo_t* cr)
    {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        double x0, y0, x1, y1;
        cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
        cairo_restore(cr);
        x0 = std::clamp(std::floor(x0), -1e7, 1e7);
        y0 = std::clamp(std::floor(y0), -1e7, 1e7);
        x1 = std::clamp(std::ceil(x1), -1e7, 1e7);
        y1 = std::clamp(std::ceil(y1), -1e7, 1e7);
        return {int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
    }

    // The cached picture for this device placement (a new reference), covering the
    // path's extent where it is visible: a glow far larger than the surface costs only
    // the surface's pixels. Null when even that is too large to keep.
    cairo_surface_t* Rendered(const cairo_matrix_t& full, const cairo_rectangle_int_t& visible) const
    {
        double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
        for (const GpPointF& p : Path.Points) {
            double x = p.X, y = p.Y;
            cairo_matrix_transform_point(&full, &x, &y);
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
        x0 = std::max(x0, double(visible.x) - 1);
        y0 = std::max(y0, double(visible.y) - 1);
        x1 = std::min(x1, double(visible.x) + visible.width + 1);
        y1 = std::min(y1, double(visible.y) + visible.height + 1);
        if (!(x1 - x0 < 2048 && y1 - y0 < 2048) || x1 <= x0 || y1 <= y0)
            return nullptr;
        int ix = int(std::floor(x0)) - 1, iy = int(std::floor(y0)) - 1;
        int w = int(std::ceil(x1)) + 1 - ix, h = int(std::ceil(y1)) + 1 - iy;
        cairo_matrix_t local = full;
        local.x0 -= ix;
        local.y0 -= iy;
        std::string key = Key(local);
        key.append(reinterpret_cast<const char*>(&w), sizeof w);
        key.append(reinterpret_cast<const char*>(&h), sizeof h);
        if (cairo_surface_t* hit = Cache().Find(key))
            return hit;
        cairo_surface_t* pic = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_t* c = cairo_create(pic);
        cairo_set_matrix(c, &local);
        AppendPath(c, Path);
        cairo_clip(c);
        cairo_pattern_t* pat = Pattern();
        cairo_set_source(c, pat);
        cairo_paint(c);
        cairo_pattern_destroy(pat);
        cairo_destroy(c);
        cairo_surface_set_device_offset(pic, -ix, -iy);
        Cache().Add(key, pic, size_t(w) * size_t(h));
        return pic;
    }

    std::string Key(const cairo_matrix_t& local) const
    {
        std::string k;
        auto put = [&](const void* p, size_t n) { k.append(static_cast<const char*>(p), n); };
        put(&local, sizeof local);
        put(Path.Points.data(), Path.Points.size() * sizeof(GpPointF));
        put(Path.Types.data(), Path.Types.size());
        put(&Path.Mode, sizeof Path.Mode);
        bool ellipse = Path.SoleEllipse.has_value();
        put(&ellipse, 1);
        put(&Center, sizeof Center);
        put(&CenterColor, sizeof CenterColor);
        put(Surround.data(), Surround.size() * sizeof(ARGB));
        k += char(Gamma);
        for (const TStop& p : Preset)
            put(&p, sizeof p);
        k += '|';
        for (const auto& b : Blend)
            put(&b, sizeof b);
        return k;
    }

    bool SingleSurround() const
    {
        return std::all_of(Surround.begin(), Surround.end(), [&](ARGB c) { return c == Surround[0]; });
    }

    cairo_pattern_t* Radial() const
    {
        const GpRectF& e = *Path.SoleEllipse;
        cairo_matrix_t toUnit;  // ellipse -> unit circle
        cairo_matrix_init(&toUnit, e.Width / 2, 0, 0, e.Height / 2, e.X + e.Width / 2, e.Y + e.Height / 2);
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
                        return std::pair<double, double> {Center.X + s * (v.X - Center.X),
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
                        cairo_mesh_pattern_set_corner_color_rgba(pat, unsigned(c), ((col >> 16) & 0xFF) / 255.0,
                                                                 ((col >> 8) & 0xFF) / 255.0, (col & 0xFF) / 255.0,
                                                                 (col >> 24) / 255.0);
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

TPathGradient* PG(GpPathGradient* b) { return dynamic_cast<TPathGradient*>(static_cast<GpBrush*>(b)); }

GpPointF Centroid(const GpPathImpl& p)
{
    if (p.SoleEllipse)
        return {p.SoleEllipse->X + p.SoleEllipse->Width / 2, p.SoleEllipse->Y + p.SoleEllipse->Height / 2};
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
    return count ? GpPointF {REAL(mx / count), REAL(my / count)} : GpPointF {};
}

Status Make(const GpPathImpl& path, GpPathGradient** out)
{
    if (path.Points.size() < 2)
        return OutOfMemory;  // nothing to span: the status callers expect for this
    auto* b = new TPathGradient;
    b->Path = path;
    b->Center = Centroid(path);
    *out = b;
    return Ok;
}

}  // namespace

Status GdipCreatePathGradient(const GpPointF* points, INT count, WrapMode wrapMode, GpPathGradient** polyGradient)
{
    if (!points || !polyGradient || count < 2 || wrapMode < WrapModeTile || wrapMode > WrapModeClamp)
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
    GpPointF p {REAL(point->X), REAL(point->Y)};
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

Status GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* color, INT* count)
{
    TPathGradient* b = PG(brush);
    if (!b || !color || !count || *count <= 0 || size_t(*count) > b->Path.Points.size())
        return InvalidParameter;
    b->Surround.assign(color, color + *count);
    return Ok;
}

Status GdipGetPathGradientSurroundColorsWithCount(GpPathGradient* brush, ARGB* color, INT* count)
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

Status GdipSetPathGradientBlend(GpPathGradient* brush, const REAL* blend, const REAL* positions, INT count)
{
    return SetBlendFactors(PG(brush), blend, positions, count);
}

Status GdipSetPathGradientPresetBlend(GpPathGradient* brush, const ARGB* blend, const REAL* positions, INT count)
{
    return SetPresetColors(PG(brush), blend, positions, count);
}

Status GdipSetPathGradientFocusScales(GpPathGradient* brush, REAL xScale, REAL yScale)
{
    TPathGradient* b = PG(brush);
    if (!b || !AllFinite(xScale, yScale))
        return InvalidParameter;
    b->Focus = {xScale, yScale};  // accepted; painting does not scale the focus
    return Ok;
}

}  // namespace dcs::gdiplus
