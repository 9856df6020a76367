#include "platform/gdi/GdiObjects.h"

#include <atomic>

namespace dcs {
namespace {

std::atomic<TWindowSurfaceProvider> gProvider {nullptr};

void FreeState(TDcState& s)
{
    if (s.Clip)
        cairo_region_destroy(s.Clip);
    s.Clip = nullptr;
}

TDcState CopyState(const TDcState& s)
{
    TDcState c = s;
    c.Clip = s.Clip ? gdi::CopyRegion(s.Clip) : nullptr;
    return c;
}

// The clip as it will be applied: the bitmap's rectangle, cut by the selected clip.
cairo_region_t* EffectiveClip(HDC dc)
{
    HBITMAP b = dc->State.Bitmap;
    cairo_rectangle_int_t all {0, 0, b ? b->Width : 0, b ? b->Height : 0};
    cairo_region_t* r = cairo_region_create_rectangle(&all);
    if (dc->State.Clip)
        cairo_region_intersect(r, dc->State.Clip);
    return r;
}

int RegionKind(const cairo_region_t* r)
{
    if (cairo_region_is_empty(r))
        return NULLREGION;
    return cairo_region_num_rectangles(r) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Combines the clip with a device-space region; an absent clip counts as the whole
// bitmap, so that a difference has something to cut from.
int CombineClip(HDC dc, const cairo_region_t* r, int mode)
{
    TDcState& s = dc->State;
    if (mode == RGN_COPY) {
        FreeState(s);
        if (r)
            s.Clip = gdi::CopyRegion(r);
    } else {
        if (!r)
            return ERROR;
        cairo_region_t* cur = s.Clip ? s.Clip : EffectiveClip(dc);
        s.Clip = cur;
        switch (mode) {
        case RGN_AND: cairo_region_intersect(cur, r); break;
        case RGN_OR: cairo_region_union(cur, r); break;
        case RGN_XOR: cairo_region_xor(cur, r); break;
        case RGN_DIFF: cairo_region_subtract(cur, r); break;
        default: return ERROR;
        }
    }
    cairo_region_t* eff = EffectiveClip(dc);
    int kind = RegionKind(eff);
    cairo_region_destroy(eff);
    return kind;
}

cairo_region_t* LogicalRectRegion(HDC dc, int l, int t, int r, int b)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    cairo_rectangle_int_t rc {l - dc->State.Origin.X, t - dc->State.Origin.Y, r - l, b - t};
    return cairo_region_create_rectangle(&rc);
}

int CombineClipRect(HDC dc, int left, int top, int right, int bottom, int mode)
{
    if (!dc)
        return ERROR;
    cairo_region_t* r = LogicalRectRegion(dc, left, top, right, bottom);
    int kind = CombineClip(dc, r, mode);
    cairo_region_destroy(r);
    return kind;
}

}  // namespace

TDeviceContext::TDeviceContext()
{
    State.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    State.Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    State.Pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
}

TDeviceContext::~TDeviceContext()
{
    FreeState(State);
    for (TDcState& s : Saved)
        FreeState(s);
    delete OwnBitmap;
}

namespace gdi {

cairo_region_t* CopyRegion(const cairo_region_t* r) { return cairo_region_copy(r); }

void SetSourceColorRef(cairo_t* cr, COLORREF c)
{
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

cairo_t* BeginPaint(HDC dc)
{
    if (!dc || !dc->State.Bitmap)
        return nullptr;
    cairo_t* cr = cairo_create(dc->State.Bitmap->Surface);
    if (dc->State.Clip) {
        int n = cairo_region_num_rectangles(dc->State.Clip);
        for (int i = 0; i < n; ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(dc->State.Clip, i, &r);
            cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        }
        cairo_clip(cr);  // an empty path clips everything away
    }
    cairo_translate(cr, -dc->State.Origin.X, -dc->State.Origin.Y);
    return cr;
}

}  // namespace gdi

HDC CreateCompatibleDC(HDC)
{
    auto* dc = new TDeviceContext;
    dc->OwnBitmap = new TBitmapObject(1, 1);
    dc->State.Bitmap = dc->OwnBitmap;
    return dc;
}

HDC CreateDCForBitmap(HBITMAP bmp)
{
    if (!bmp)
        return nullptr;
    auto* dc = new TDeviceContext;
    dc->State.Bitmap = bmp;
    return dc;
}

bool DeleteDC(HDC dc)
{
    if (!dc)
        return false;
    delete dc;
    return true;
}

HBITMAP GetCurrentBitmap(HDC dc) { return dc ? dc->State.Bitmap : nullptr; }

void SetWindowSurfaceProvider(TWindowSurfaceProvider provider) { gProvider.store(provider); }

HDC GetDC(HWND wnd)
{
    TWindowSurfaceProvider p = gProvider.load();
    HBITMAP bmp = p ? p(wnd) : nullptr;
    HDC dc = CreateDCForBitmap(bmp);
    if (dc)
        dc->FromWindow = true;
    return dc;
}

int ReleaseDC(HWND, HDC dc)
{
    if (!dc || !dc->FromWindow)
        return 0;
    delete dc;
    return 1;
}

int SaveDC(HDC dc)
{
    if (!dc)
        return 0;
    dc->Saved.push_back(CopyState(dc->State));
    return int(dc->Saved.size());
}

bool RestoreDC(HDC dc, int savedDC)
{
    if (!dc)
        return false;
    int n = int(dc->Saved.size());
    int level = savedDC < 0 ? n + 1 + savedDC : savedDC;
    if (level < 1 || level > n)
        return false;
    while (int(dc->Saved.size()) > level) {
        FreeState(dc->Saved.back());
        dc->Saved.pop_back();
    }
    FreeState(dc->State);
    dc->State = dc->Saved.back();  // takes over the saved clip
    dc->Saved.pop_back();
    return true;
}

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old)
{
    if (!dc)
        return false;
    if (old)
        *old = dc->State.Origin;
    dc->State.Origin = {x, y};
    return true;
}

bool GetWindowOrgEx(HDC dc, TPoint* org)
{
    if (!dc || !org)
        return false;
    *org = dc->State.Origin;
    return true;
}

bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old)
{
    if (!dc)
        return false;
    return SetWindowOrgEx(dc, dc->State.Origin.X + dx, dc->State.Origin.Y + dy, old);
}

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode)
{
    if (!dc)
        return ERROR;
    return CombineClip(dc, rgn ? rgn->Region : nullptr, mode);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    return CombineClipRect(dc, left, top, right, bottom, RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
    return CombineClipRect(dc, left, top, right, bottom, RGN_DIFF);
}

int GetClipBox(HDC dc, TRect* box)
{
    if (!dc || !box)
        return ERROR;
    cairo_region_t* eff = EffectiveClip(dc);
    cairo_rectangle_int_t e;
    cairo_region_get_extents(eff, &e);
    int kind = RegionKind(eff);
    cairo_region_destroy(eff);
    const TPoint& o = dc->State.Origin;
    *box = kind == NULLREGION ? TRect {} : TRect {e.x + o.X, e.y + o.Y, e.x + e.width + o.X, e.y + e.height + o.Y};
    return kind;
}

int GetClipRgn(HDC dc, HRGN rgn)
{
    if (!dc || !rgn)
        return -1;
    if (!dc->State.Clip)
        return 0;
    cairo_region_destroy(rgn->Region);
    rgn->Region = gdi::CopyRegion(dc->State.Clip);
    return 1;
}

}  // namespace dcs
