#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <limits>

namespace dcs::gdiplus {
namespace {

constexpr GpRectF kInfinite {-4194304.0f, -4194304.0f, 8388608.0f, 8388608.0f};

cairo_operator_t CombineOperator(CombineMode m)
{
    switch (m) {
    case CombineModeIntersect: return CAIRO_OPERATOR_IN;
    case CombineModeUnion: return CAIRO_OPERATOR_OVER;
    case CombineModeXor: return CAIRO_OPERATOR_XOR;
    case CombineModeExclude: return CAIRO_OPERATOR_DEST_OUT;
    default: return CAIRO_OPERATOR_SOURCE;
    }
}

void DrawElement(cairo_surface_t* target, const TRegionOp& op, const cairo_matrix_t& toDevice)
{
    cairo_t* cr = cairo_create(target);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    switch (op.Kind) {
    case TRegionOp::TKind::Infinite: cairo_paint(cr); break;
    case TRegionOp::TKind::Empty: break;
    case TRegionOp::TKind::Rect:
        cairo_set_matrix(cr, &toDevice);
        cairo_rectangle(cr, op.Rect.X, op.Rect.Y, op.Rect.Width, op.Rect.Height);
        cairo_fill(cr);
        break;
    case TRegionOp::TKind::Path:
        cairo_set_matrix(cr, &toDevice);
        AppendPath(cr, *op.Path);
        cairo_fill(cr);
        break;
    case TRegionOp::TKind::Region: break;  // drawn by the caller
    }
    cairo_destroy(cr);
}

bool Bounds(const std::vector<TRegionOp>& ops, double& x0, double& y0, double& x1, double& y1)
{
    bool any = false;
    for (const TRegionOp& op : ops) {
        auto add = [&](double ax, double ay, double bx, double by) {
            x0 = std::min(x0, ax);
            y0 = std::min(y0, ay);
            x1 = std::max(x1, bx);
            y1 = std::max(y1, by);
            any = true;
        };
        if (op.Kind == TRegionOp::TKind::Rect)
            add(op.Rect.X, op.Rect.Y, op.Rect.X + op.Rect.Width, op.Rect.Y + op.Rect.Height);
        else if (op.Kind == TRegionOp::TKind::Path)
            for (const GpPointF& p : op.Path->Points)
                add(p.X, p.Y, p.X, p.Y);
        else if (op.Kind == TRegionOp::TKind::Region)
            any = Bounds(*op.Region, x0, y0, x1, y1) || any;
    }
    return any;
}

void TranslateOps(std::vector<TRegionOp>& ops, REAL dx, REAL dy)
{
    for (TRegionOp& op : ops) {
        if (op.Kind == TRegionOp::TKind::Rect) {
            op.Rect.X += dx;
            op.Rect.Y += dy;
        } else if (op.Kind == TRegionOp::TKind::Path) {
            auto moved = std::make_shared<GpPathImpl>(*op.Path);
            for (GpPointF& p : moved->Points)
                p = {p.X + dx, p.Y + dy};
            op.Path = moved;
        } else if (op.Kind == TRegionOp::TKind::Region) {
            auto moved = std::make_shared<std::vector<TRegionOp>>(*op.Region);
            TranslateOps(*moved, dx, dy);
            op.Region = moved;
        }
    }
}

// The covered pixels of the region on a canvas around its finite parts (pixel (i, j)
// is world (ox + i, oy + j)); `unbounded` when coverage reaches the canvas border.
struct TRaster {
    cairo_surface_t* Mask = nullptr;
    int Ox = 0, Oy = 0, W = 0, H = 0;
    bool Finite = false;
    ~TRaster()
    {
        if (Mask)
            cairo_surface_destroy(Mask);
    }
};

void Rasterize(const GpRegionImpl& r, TRaster& out)
{
    double x0 = std::numeric_limits<double>::max(), y0 = x0, x1 = -x0, y1 = -x0;
    out.Finite = Bounds(r.Ops, x0, y0, x1, y1);
    if (!out.Finite) {
        x0 = y0 = 0;
        x1 = y1 = 1;
    }
    out.Ox = int(std::floor(x0)) - 1;
    out.Oy = int(std::floor(y0)) - 1;
    out.W = std::min(int(std::ceil(x1)) + 2 - out.Ox, 1 << 14);
    out.H = std::min(int(std::ceil(y1)) + 2 - out.Oy, 1 << 14);
    out.Mask = cairo_image_surface_create(CAIRO_FORMAT_A8, out.W, out.H);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -out.Ox + 0.5, -out.Oy + 0.5);
    RasterizeRegion(out.Mask, r.Ops, m);
    cairo_surface_flush(out.Mask);
}

Status Combine(GpRegion* region, TRegionOp op, CombineMode mode)
{
    if (!region || mode < CombineModeReplace || mode > CombineModeComplement)
        return InvalidParameter;
    op.Mode = mode;
    if (mode == CombineModeReplace)
        R(region)->Ops.clear();
    R(region)->Ops.push_back(std::move(op));
    return Ok;
}

Status MakeRegion(TRegionOp op, GpRegion** region)
{
    if (!region)
        return InvalidParameter;
    auto* r = new GpRegionImpl;
    r->Ops.push_back(std::move(op));
    *region = r;
    return Ok;
}

}  // namespace

void RasterizeRegion(cairo_surface_t* mask, const std::vector<TRegionOp>& ops, const cairo_matrix_t& toDevice)
{
    int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
    cairo_t* cr = cairo_create(mask);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    for (const TRegionOp& op : ops) {
        cairo_surface_t* shape = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
        if (op.Kind == TRegionOp::TKind::Region)
            RasterizeRegion(shape, *op.Region, toDevice);
        else
            DrawElement(shape, op, toDevice);
        CombineMask(mask, shape, op.Mode);
        cairo_surface_destroy(shape);
    }
    cairo_destroy(cr);
}

void CombineMask(cairo_surface_t* mask, cairo_surface_t* shape, CombineMode mode)
{
    if (mode == CombineModeComplement) {
        // What the new shape covers and the region did not.
        cairo_t* c = cairo_create(shape);
        cairo_set_operator(c, CAIRO_OPERATOR_DEST_OUT);
        cairo_set_source_surface(c, mask, 0, 0);
        cairo_paint(c);
        cairo_destroy(c);
    }
    cairo_t* cr = cairo_create(mask);
    cairo_set_operator(cr, CombineOperator(mode));
    cairo_set_source_surface(cr, shape, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
}

Status GdipCreateRegion(GpRegion** region) { return MakeRegion(TRegionOp {}, region); }

Status GdipCreateRegionRect(const GpRectF* rect, GpRegion** region)
{
    if (!rect || !AllFinite(rect->X, rect->Y, rect->Width, rect->Height))
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Rect;
    op.Rect = *rect;
    return MakeRegion(op, region);
}

Status GdipCreateRegionRectI(const GpRect* rect, GpRegion** region)
{
    if (!rect)
        return InvalidParameter;
    GpRectF r {REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
    return GdipCreateRegionRect(&r, region);
}

Status GdipCreateRegionPath(GpPath* path, GpRegion** region)
{
    if (!path)
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Path;
    op.Path = std::make_shared<GpPathImpl>(*P(path));
    return MakeRegion(op, region);
}

Status GdipCloneRegion(GpRegion* region, GpRegion** clone)
{
    if (!region || !clone)
        return InvalidParameter;
    *clone = new GpRegionImpl(*R(region));
    return Ok;
}

Status GdipDeleteRegion(GpRegion* region)
{
    if (!region)
        return InvalidParameter;
    delete region;
    return Ok;
}

Status GdipSetInfinite(GpRegion* region) { return Combine(region, TRegionOp {}, CombineModeReplace); }

Status GdipSetEmpty(GpRegion* region)
{
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Empty;
    return Combine(region, op, CombineModeReplace);
}

Status GdipCombineRegionRect(GpRegion* region, const GpRectF* rect, CombineMode mode)
{
    if (!rect || !AllFinite(rect->X, rect->Y, rect->Width, rect->Height))
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Rect;
    op.Rect = *rect;
    return Combine(region, op, mode);
}

Status GdipCombineRegionRectI(GpRegion* region, const GpRect* rect, CombineMode mode)
{
    if (!rect)
        return InvalidParameter;
    GpRectF r {REAL(rect->X), REAL(rect->Y), REAL(rect->Width), REAL(rect->Height)};
    return GdipCombineRegionRect(region, &r, mode);
}

Status GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode mode)
{
    if (!path)
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Path;
    op.Path = std::make_shared<GpPathImpl>(*P(path));
    return Combine(region, op, mode);
}

Status GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode mode)
{
    if (!region2)
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Region;
    op.Region = std::make_shared<std::vector<TRegionOp>>(R(region2)->Ops);
    return Combine(region, op, mode);
}

Status GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy)
{
    if (!region || !AllFinite(dx, dy))
        return InvalidParameter;
    TranslateOps(R(region)->Ops, dx, dy);
    return Ok;
}

Status GdipGetRegionBounds(GpRegion* region, GpGraphics*, GpRectF* rect)
{
    if (!region || !rect)
        return InvalidParameter;
    TRaster r;
    Rasterize(*R(region), r);
    const uint8_t* data = cairo_image_surface_get_data(r.Mask);
    int stride = cairo_image_surface_get_stride(r.Mask);
    int minX = r.W, minY = r.H, maxX = -1, maxY = -1;
    for (int y = 0; y < r.H; ++y)
        for (int x = 0; x < r.W; ++x)
            if (data[y * stride + x]) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    if (maxX < 0)
        *rect = {};
    else if (minX == 0 || minY == 0 || maxX == r.W - 1 || maxY == r.H - 1)
        *rect = kInfinite;  // coverage runs off the canvas: unbounded
    else
        *rect = {REAL(r.Ox + minX), REAL(r.Oy + minY), REAL(maxX - minX + 1), REAL(maxY - minY + 1)};
    return Ok;
}

Status GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result)
{
    GpRectF b;
    if (!result)
        return InvalidParameter;
    Status st = GdipGetRegionBounds(region, graphics, &b);
    *result = st == Ok && (b.Width <= 0 || b.Height <= 0);
    return st;
}

Status GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result)
{
    GpRectF b;
    if (!result)
        return InvalidParameter;
    Status st = GdipGetRegionBounds(region, graphics, &b);
    *result = st == Ok && b.X == kInfinite.X && b.Width == kInfinite.Width;
    return st;
}

Status GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics*, BOOL* result)
{
    if (!region || !result || !AllFinite(x, y))
        return InvalidParameter;
    cairo_surface_t* px = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -x + 0.5, -y + 0.5);
    RasterizeRegion(px, R(region)->Ops, m);
    cairo_surface_flush(px);
    *result = cairo_image_surface_get_data(px)[0] != 0;
    cairo_surface_destroy(px);
    return Ok;
}

}  // namespace dcs::gdiplus
