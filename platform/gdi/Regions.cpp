#include "platform/gdi/GdiObjects.h"

#include <utility>

namespace dcs {
namespace {

int Kind(const cairo_region_t* r)
{
    if (cairo_region_is_empty(r))
        return NULLREGION;
    return cairo_region_num_rectangles(r) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    auto* r = new TRegionObject;
    cairo_rectangle_int_t rc {left, top, right - left, bottom - top};
    cairo_region_union_rectangle(r->Region, &rc);
    return r;
}

HRGN CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode)
{
    if (!dst || !a || (mode != RGN_COPY && !b))
        return ERROR;
    cairo_region_t* r = cairo_region_copy(a->Region);
    switch (mode) {
    case RGN_COPY: break;
    case RGN_AND: cairo_region_intersect(r, b->Region); break;
    case RGN_OR: cairo_region_union(r, b->Region); break;
    case RGN_XOR: cairo_region_xor(r, b->Region); break;
    case RGN_DIFF: cairo_region_subtract(r, b->Region); break;
    default: cairo_region_destroy(r); return ERROR;
    }
    cairo_region_destroy(dst->Region);
    dst->Region = r;
    return Kind(r);
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    if (!rgn)
        return ERROR;
    cairo_region_translate(rgn->Region, dx, dy);
    return Kind(rgn->Region);
}

int GetRgnBox(HRGN rgn, TRect* box)
{
    if (!rgn || !box)
        return ERROR;
    cairo_rectangle_int_t e;
    cairo_region_get_extents(rgn->Region, &e);
    *box = {e.x, e.y, e.x + e.width, e.y + e.height};
    return Kind(rgn->Region);
}

bool PtInRegion(HRGN rgn, int x, int y) { return rgn && cairo_region_contains_point(rgn->Region, x, y); }

bool EqualRgn(HRGN a, HRGN b) { return a && b && cairo_region_equal(a->Region, b->Region); }

}  // namespace dcs
