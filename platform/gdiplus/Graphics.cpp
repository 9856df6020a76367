#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>

namespace dcs::gdiplus {
namespace {

constexpr GpRectF kInfiniteClip {-4194304.0f, -4194304.0f, 8388608.0f, 8388608.0f};

TGraphicsState CopyState(const TGraphicsState& s)
{
    TGraphicsState c = s;
    if (c.ClipMask)
        cairo_surface_reference(c.ClipMask);
    return c;
}

void DropMask(TGraphicsState& s)
{
    if (s.ClipMask)
        cairo_surface_destroy(s.ClipMask);
    s.ClipMask = nullptr;
}

bool AxisAligned(const cairo_matrix_t& m) { return m.xy == 0 && m.yx == 0; }

cairo_surface_t* NewMask(const GpGraphicsImpl* g)
{
    return cairo_image_surface_create(CAIRO_FORMAT_A8, std::max(g->Width, 1), std::max(g->Height, 1));
}

// The current clip as a mask (all pixels when there is none).
cairo_surface_t* CurrentMask(GpGraphicsImpl* g)
{
    if (g->S.ClipMask)
        return cairo_surface_reference(g->S.ClipMask);
    cairo_surface_t* m = NewMask(g);
    cairo_t* cr = cairo_create(m);
    if (g->S.HasClip) {
        const cairo_rectangle_int_t& r = g->S.ClipRect;
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        cairo_fill(cr);
    } else {
        cairo_paint(cr);
    }
    cairo_destroy(cr);
    return m;
}

void SetMaskClip(GpGraphicsImpl* g, cairo_surface_t* mask)
{
    DropMask(g->S);
    cairo_surface_flush(mask);
    const uint8_t* d = cairo_image_surface_get_data(mask);
    int stride = cairo_image_surface_get_stride(mask);
    int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    bool full = true;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (d[y * stride + x]) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    g->S.HasClip = true;
    g->S.ClipRect =
        x1 < 0 ? cairo_rectangle_int_t {0, 0, 0, 0} : cairo_rectangle_int_t {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
    // A mask that is exactly its bounding rectangle needs no masking when painting.
    for (int y = y0; full && y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (d[y * stride + x] != 255) {
                full = false;
                break;
            }
    if (!full)
        g->S.ClipMask = cairo_surface_reference(mask);
}

// The pixels whose centres lie in the world rectangle, when the transform keeps axes.
bool PixelRect(const GpGraphicsImpl* g, const GpRectF& r, cairo_rectangle_int_t* out)
{
    cairo_matrix_t m = g->VectorMatrix();
    if (!AxisAligned(m))
        return false;
    double x0 = r.X, y0 = r.Y, x1 = r.X + r.Width, y1 = r.Y + r.Height;
    cairo_matrix_transform_point(&m, &x0, &y0);
    cairo_matrix_transform_point(&m, &x1, &y1);
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    auto first = [](double v) { return std::clamp(std::ceil(v - 0.5), -1e7, 1e7); };
    int l = int(first(x0)), t = int(first(y0)), rr = int(first(x1)), b = int(first(y1));
    *out = {l, t, std::max(0, rr - l), std::max(0, b - t)};
    return true;
}

Status ApplyClip(GpGraphicsImpl* g, const std::vector<TRegionOp>& ops, CombineMode mode)
{
    if (mode < CombineModeReplace || mode > CombineModeComplement)
        return InvalidParameter;
    cairo_rectangle_int_t pr;
    if (ops.size() == 1 && ops[0].Kind == TRegionOp::TKind::Rect && !g->S.ClipMask &&
        (mode == CombineModeReplace || mode == CombineModeIntersect) && PixelRect(g, ops[0].Rect, &pr)) {
        if (mode == CombineModeIntersect && g->S.HasClip) {
            const cairo_rectangle_int_t& c = g->S.ClipRect;
            int l = std::max(c.x, pr.x), t = std::max(c.y, pr.y);
            int r = std::min(c.x + c.width, pr.x + pr.width), b = std::min(c.y + c.height, pr.y + pr.height);
            pr = {l, t, std::max(0, r - l), std::max(0, b - t)};
        }
        DropMask(g->S);
        g->S.HasClip = true;
        g->S.ClipRect = pr;
        return Ok;
    }
    cairo_surface_t* shape = NewMask(g);
    RasterizeRegion(shape, ops, g->VectorMatrix());
    cairo_surface_t* mask = mode == CombineModeReplace ? cairo_surface_reference(shape) : CurrentMask(g);
    if (mode != CombineModeReplace)
        CombineMask(mask, shape, mode);
    SetMaskClip(g, mask);
    cairo_surface_destroy(mask);
    cairo_surface_destroy(shape);
    return Ok;
}

GpGraphicsImpl* NewGraphics(cairo_surface_t* target)
{
    auto* g = new GpGraphicsImpl;
    g->Target = cairo_surface_reference(target);
    g->Width = cairo_image_surface_get_width(target);
    g->Height = cairo_image_surface_get_height(target);
    cairo_matrix_init_identity(&g->S.World);
    return g;
}

template <class T> Status SetEnum(GpGraphics* graphics, T& field, T value, int lo, int hi)
{
    if (!graphics || int(value) < lo || int(value) > hi)
        return InvalidParameter;
    field = value;
    return Ok;
}

template <class T> Status GetValue(GpGraphics* graphics, const T& field, T* out)
{
    if (!graphics || !out)
        return InvalidParameter;
    *out = field;
    return Ok;
}

Status Transform(GpGraphics* graphics, const cairo_matrix_t& op, MatrixOrder order)
{
    if (!graphics || (order != MatrixOrderPrepend && order != MatrixOrderAppend))
        return InvalidParameter;
    cairo_matrix_t m = G(graphics)->S.World;
    Compose(m, op, order);
    if (!Invertible(m))
        return InvalidParameter;
    G(graphics)->S.World = m;
    return Ok;
}

}  // namespace

GpGraphicsImpl::~GpGraphicsImpl()
{
    DropMask(S);
    for (auto& [id, s] : Saved)
        DropMask(s);
    if (HandedOut) {
        DeleteDC(HandedOut);
        DeleteObject(HandedOutBitmap);
    }
    if (Image)
        --Image->Graphics;
    cairo_surface_destroy(Target);
}

cairo_matrix_t GpGraphicsImpl::VectorMatrix() const
{
    double off = (S.PixelOffset == PixelOffsetModeHighQuality || S.PixelOffset == PixelOffsetModeHalf) ? 0.0 : 0.5;
    cairo_matrix_t t, r;
    cairo_matrix_init_translate(&t, off - OriginX, off - OriginY);
    cairo_matrix_multiply(&r, &S.World, &t);
    return r;
}

cairo_matrix_t GpGraphicsImpl::GridMatrix() const
{
    cairo_matrix_t t, r;
    cairo_matrix_init_translate(&t, -OriginX, -OriginY);
    cairo_matrix_multiply(&r, &S.World, &t);
    return r;
}

Status CheckGraphics(GpGraphics* g)
{
    if (!g)
        return InvalidParameter;
    return G(g)->HandedOut ? ObjectBusy : Ok;
}

TPainter::TPainter(GpGraphicsImpl* g, bool vector) : FG(g), FCr(cairo_create(g->Target))
{
    const TGraphicsState& s = g->S;
    if (s.HasClip) {
        cairo_rectangle(FCr, s.ClipRect.x, s.ClipRect.y, s.ClipRect.width, s.ClipRect.height);
        cairo_clip(FCr);
        if (s.ClipMask) {
            cairo_push_group(FCr);
            FGroup = true;
        }
    }
    cairo_set_operator(FCr, s.Compositing == CompositingModeSourceCopy ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
    bool smooth = s.Smoothing == SmoothingModeHighQuality || s.Smoothing == SmoothingModeAntiAlias ||
        s.Smoothing == SmoothingModeAntiAlias8x8;
    cairo_set_antialias(FCr, !vector || smooth ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_matrix_t m = vector ? g->VectorMatrix() : g->GridMatrix();
    cairo_set_matrix(FCr, &m);
    if (g->Image)
        g->Image->SurfaceChanging();
}

TPainter::~TPainter()
{
    if (FGroup) {
        cairo_pop_group_to_source(FCr);
        cairo_identity_matrix(FCr);
        cairo_mask_surface(FCr, FG->S.ClipMask, 0, 0);
    }
    cairo_destroy(FCr);
}

Status GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
    if (!hdc || !graphics || !hdc->State.Bitmap)
        return InvalidParameter;
    GpGraphicsImpl* g = NewGraphics(hdc->State.Bitmap->Surface);
    g->OriginX = hdc->State.Origin.X;
    g->OriginY = hdc->State.Origin.Y;
    if (cairo_region_t* clip = hdc->State.Clip; clip && cairo_region_num_rectangles(clip) <= 1) {
        // One rectangle (or none): a clip rectangle, with no mask of the whole surface to
        // build and scan for every control painted through a device context.
        cairo_rectangle_int_t r {0, 0, 0, 0};
        if (cairo_region_num_rectangles(clip) == 1)
            cairo_region_get_rectangle(clip, 0, &r);
        const int l = std::max(r.x, 0), t = std::max(r.y, 0);
        const int rr = std::min(r.x + r.width, g->Width), b = std::min(r.y + r.height, g->Height);
        r = {l, t, std::max(0, rr - l), std::max(0, b - t)};
        g->S.HasClip = true;
        g->S.ClipRect = r;
    } else if (clip) {
        cairo_surface_t* mask = NewMask(g);
        cairo_t* cr = cairo_create(mask);
        for (int i = 0; i < cairo_region_num_rectangles(clip); ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(clip, i, &r);
            cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        }
        cairo_fill(cr);
        cairo_destroy(cr);
        SetMaskClip(g, mask);
        cairo_surface_destroy(mask);
    }
    *graphics = g;
    return Ok;
}

Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics)
{
    if (!image || !graphics)
        return InvalidParameter;
    GpImageImpl* img = I(image);
    if (img->Format & 0x10000)  // indexed pixels cannot be drawn on
        return OutOfMemory;
    if (img->Locked)
        return WrongState;
    GpGraphicsImpl* g = NewGraphics(img->Surface);
    g->Image = img;
    ++img->Graphics;
    *graphics = g;
    return Ok;
}

Status GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    delete graphics;
    return Ok;
}

Status GdipFlush(GpGraphics* graphics, FlushIntention)
{
    if (!graphics)
        return InvalidParameter;
    cairo_surface_flush(G(graphics)->Target);
    return Ok;
}

Status GdipGetDC(GpGraphics* graphics, HDC* hdc)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok || !hdc)
        return st != Ok ? st : InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    g->HandedOutBitmap = new TBitmapObject(g->Target);
    g->HandedOut = CreateDCForBitmap(g->HandedOutBitmap);
    SetWindowOrgEx(g->HandedOut, int(g->OriginX), int(g->OriginY), nullptr);
    if (g->Image)
        g->Image->SurfaceChanging();
    *hdc = g->HandedOut;
    return Ok;
}

Status GdipReleaseDC(GpGraphics* graphics, HDC hdc)
{
    if (!graphics || !hdc || G(graphics)->HandedOut != hdc)
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    DeleteDC(g->HandedOut);
    DeleteObject(g->HandedOutBitmap);
    g->HandedOut = nullptr;
    g->HandedOutBitmap = nullptr;
    return Ok;
}

Status GdipGraphicsClear(GpGraphics* graphics, ARGB color)
{
    Status st = CheckGraphics(graphics);
    if (st != Ok)
        return st;
    TPainter p(G(graphics));
    cairo_set_operator(p.Cr(), CAIRO_OPERATOR_SOURCE);
    SetSourceARGB(p.Cr(), color);
    cairo_paint(p.Cr());
    return Ok;
}

Status GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix)
{
    if (!graphics || !matrix || !Invertible(M(matrix)))
        return InvalidParameter;
    G(graphics)->S.World = M(matrix);
    return Ok;
}

Status GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix)
{
    if (!graphics || !matrix)
        return InvalidParameter;
    M(matrix) = G(graphics)->S.World;
    return Ok;
}

Status GdipResetWorldTransform(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    cairo_matrix_init_identity(&G(graphics)->S.World);
    return Ok;
}

Status GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return InvalidParameter;
    return Transform(graphics, M(matrix), order);
}

Status GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order)
{
    if (!AllFinite(dx, dy))
        return InvalidParameter;
    return Transform(graphics, MakeMatrix(1, 0, 0, 1, dx, dy), order);
}

Status GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order)
{
    if (!AllFinite(sx, sy))
        return InvalidParameter;
    return Transform(graphics, MakeMatrix(sx, 0, 0, sy, 0, 0), order);
}

Status GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order)
{
    if (!Finite(angle))
        return InvalidParameter;
    double a = angle * M_PI / 180, c = std::cos(a), s = std::sin(a);
    return Transform(graphics, MakeMatrix(c, s, -s, c, 0, 0), order);
}

Status GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode)
{
    return SetEnum(graphics, G(graphics)->S.Smoothing, mode, 0, 5);
}

Status GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode)
{
    return graphics ? GetValue(graphics, G(graphics)->S.Smoothing, mode) : InvalidParameter;
}

Status GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode)
{
    return SetEnum(graphics, G(graphics)->S.PixelOffset, mode, 0, 4);
}

Status GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode)
{
    return graphics ? GetValue(graphics, G(graphics)->S.PixelOffset, mode) : InvalidParameter;
}

Status GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode)
{
    return SetEnum(graphics, G(graphics)->S.Compositing, mode, 0, 1);
}

Status GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode)
{
    return graphics ? GetValue(graphics, G(graphics)->S.Compositing, mode) : InvalidParameter;
}

Status GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality)
{
    return SetEnum(graphics, G(graphics)->S.Quality, quality, 0, 4);
}

Status GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality)
{
    return graphics ? GetValue(graphics, G(graphics)->S.Quality, quality) : InvalidParameter;
}

Status GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode)
{
    if (graphics && mode == InterpolationModeDefault)
        mode = InterpolationModeBilinear;
    return SetEnum(graphics, G(graphics)->S.Interpolation, mode, 0, 7);
}

Status GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode)
{
    return graphics ? GetValue(graphics, G(graphics)->S.Interpolation, mode) : InvalidParameter;
}

Status GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint mode)
{
    return SetEnum(graphics, G(graphics)->S.TextHint, mode, 0, 5);
}

Status GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* mode)
{
    return graphics ? GetValue(graphics, G(graphics)->S.TextHint, mode) : InvalidParameter;
}

Status GdipSetPageUnit(GpGraphics* graphics, GpUnit unit)
{
    // Pages are measured in pixels only.
    if (!graphics)
        return InvalidParameter;
    return unit == UnitPixel || unit == UnitDisplay ? Ok : NotImplemented;
}

Status GdipGetPageUnit(GpGraphics* graphics, GpUnit* unit)
{
    if (!graphics || !unit)
        return InvalidParameter;
    *unit = UnitDisplay;
    return Ok;
}

Status GdipGetDpiX(GpGraphics* graphics, REAL* dpi)
{
    if (!graphics || !dpi)
        return InvalidParameter;
    *dpi = 96;
    return Ok;
}

Status GdipGetDpiY(GpGraphics* graphics, REAL* dpi) { return GdipGetDpiX(graphics, dpi); }

Status GdipSaveGraphics(GpGraphics* graphics, GraphicsState* state)
{
    if (!graphics || !state)
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    *state = g->NextState++;
    g->Saved.emplace_back(*state, CopyState(g->S));
    return Ok;
}

Status GdipRestoreGraphics(GpGraphics* graphics, GraphicsState state)
{
    if (!graphics)
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    auto it = std::find_if(g->Saved.begin(), g->Saved.end(), [&](const auto& e) { return e.first == state; });
    if (it == g->Saved.end())
        return Ok;  // an unknown or already restored state changes nothing
    DropMask(g->S);
    g->S = it->second;  // takes over the saved mask reference
    for (auto later = it + 1; later != g->Saved.end(); ++later)
        DropMask(later->second);
    g->Saved.erase(it, g->Saved.end());
    return Ok;
}

Status GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode mode)
{
    if (!graphics || !AllFinite(x, y, width, height))
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Rect;
    op.Rect = {x, y, width, height};
    return ApplyClip(G(graphics), {op}, mode);
}

Status GdipSetClipRectI(GpGraphics* graphics, INT x, INT y, INT width, INT height, CombineMode mode)
{
    return GdipSetClipRect(graphics, REAL(x), REAL(y), REAL(width), REAL(height), mode);
}

Status GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode mode)
{
    if (!graphics || !region)
        return InvalidParameter;
    return ApplyClip(G(graphics), R(region)->Ops, mode);
}

Status GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode mode)
{
    if (!graphics || !path)
        return InvalidParameter;
    TRegionOp op;
    op.Kind = TRegionOp::TKind::Path;
    op.Path = std::make_shared<GpPathImpl>(*P(path));
    return ApplyClip(G(graphics), {op}, mode);
}

Status GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode mode)
{
    if (!graphics || !srcgraphics)
        return InvalidParameter;
    if (mode != CombineModeReplace)
        return NotImplemented;
    TGraphicsState& s = G(graphics)->S;
    DropMask(s);
    const TGraphicsState& src = G(srcgraphics)->S;
    s.HasClip = src.HasClip;
    s.ClipRect = src.ClipRect;
    s.ClipMask = src.ClipMask ? cairo_surface_reference(src.ClipMask) : nullptr;
    return Ok;
}

Status GdipResetClip(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    DropMask(G(graphics)->S);
    G(graphics)->S.HasClip = false;
    return Ok;
}

Status GdipGetClipBounds(GpGraphics* graphics, GpRectF* rect)
{
    if (!graphics || !rect)
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    if (!g->S.HasClip) {
        *rect = kInfiniteClip;
        return Ok;
    }
    // The clip's pixels, as the world rectangle that selects them.
    cairo_matrix_t inv = g->GridMatrix();
    cairo_matrix_invert(&inv);
    const cairo_rectangle_int_t& c = g->S.ClipRect;
    double x0 = c.x, y0 = c.y, x1 = c.x + c.width, y1 = c.y + c.height;
    cairo_matrix_transform_point(&inv, &x0, &y0);
    cairo_matrix_transform_point(&inv, &x1, &y1);
    *rect = {REAL(std::min(x0, x1)), REAL(std::min(y0, y1)), REAL(std::abs(x1 - x0)), REAL(std::abs(y1 - y0))};
    return Ok;
}

Status GdipIsClipEmpty(GpGraphics* graphics, BOOL* result)
{
    if (!graphics || !result)
        return InvalidParameter;
    const TGraphicsState& s = G(graphics)->S;
    *result = s.HasClip && (s.ClipRect.width == 0 || s.ClipRect.height == 0);
    return Ok;
}

Status GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy)
{
    if (!graphics || !AllFinite(dx, dy))
        return InvalidParameter;
    GpGraphicsImpl* g = G(graphics);
    if (!g->S.HasClip)
        return Ok;
    double ddx = dx, ddy = dy;
    cairo_matrix_transform_distance(&g->S.World, &ddx, &ddy);
    int ix = int(std::lround(ddx)), iy = int(std::lround(ddy));
    if (!g->S.ClipMask) {
        g->S.ClipRect.x += ix;
        g->S.ClipRect.y += iy;
        return Ok;
    }
    cairo_surface_t* moved = NewMask(g);
    cairo_t* cr = cairo_create(moved);
    cairo_set_source_surface(cr, g->S.ClipMask, ix, iy);
    cairo_paint(cr);
    cairo_destroy(cr);
    SetMaskClip(g, moved);
    cairo_surface_destroy(moved);
    return Ok;
}

}  // namespace dcs::gdiplus
