#include "platform/controls/Compositor.h"

#include "platform/gdi/GdiObjects.h"

#include <cairo.h>

#include <cmath>

#include <cstring>

namespace dcs {

namespace {

thread_local cairo_t* Current = nullptr;

struct TNode {
    HWND Wnd;
    TPoint Origin;  // in Top's coordinates
    TRect Clip;     // visible part, in Top's coordinates
};

// Visible windows of the tree in painting order, with their origin and visible rectangle.
void Collect(HWND Wnd, TPoint Origin, TRect Clip, std::vector<TNode>& Out)
{
    Out.push_back({Wnd, Origin, Clip});
    for (HWND c : GetChildWindows(Wnd)) {
        if (!(GetWindowLongPtr(c, GWL_STYLE) & WS_VISIBLE))
            continue;
        TRect b = GetWindowBounds(c);
        TPoint o {Origin.X + b.Left, Origin.Y + b.Top};
        TRect clip = Clip.Intersect(TRect::Bounds(o.X, o.Y, b.Width(), b.Height()));
        if (!clip.IsEmpty())
            Collect(c, o, clip, Out);
    }
}

void ClipToShape(cairo_t* Cr, HRGN Rgn)
{
    const cairo_region_t* r = Rgn->Region;
    for (int i = 0, n = cairo_region_num_rectangles(r); i < n; ++i) {
        cairo_rectangle_int_t rc;
        cairo_region_get_rectangle(r, i, &rc);
        cairo_rectangle(Cr, rc.x, rc.y, rc.width, rc.height);
    }
    cairo_clip(Cr);
}

}  // namespace

cairo_t* CurrentPaintContext() { return Current; }

TRect ComposeWindowTree(HWND Top, cairo_surface_t* Surface)
{
    TRect client;
    if (!GetClientRect(Top, client) || !Surface)
        return {};
    std::vector<TNode> nodes;
    Collect(Top, {0, 0}, client, nodes);
    TRect dirty;
    for (const auto& n : nodes) {
        TRect u;
        if (GetUpdateRect(n.Wnd, u))
            dirty = dirty.Union(u.Offset(n.Origin.X, n.Origin.Y).Intersect(n.Clip));
    }
    if (dirty.IsEmpty())
        return {};
    cairo_t* cr = cairo_create(Surface);
    cairo_t* saved = Current;
    for (const auto& n : nodes) {
        TRect area = n.Clip.Intersect(dirty);
        if (area.IsEmpty())
            continue;
        SetUpdateRect(n.Wnd, area.Offset(-n.Origin.X, -n.Origin.Y), true);
        cairo_save(cr);
        cairo_rectangle(cr, area.Left, area.Top, area.Width(), area.Height());
        cairo_clip(cr);
        cairo_translate(cr, n.Origin.X, n.Origin.Y);
        if (HRGN rgn = GetWindowRegion(n.Wnd))
            ClipToShape(cr, rgn);
        Current = cr;
        SendMessage(n.Wnd, WM_PAINT, 0, 0);
        Current = saved;
        cairo_restore(cr);
        ValidateRect(n.Wnd, nullptr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(Surface);
    // Windows hidden under others but invalid are valid now too: nothing of them shows.
    std::vector<HWND> stack {Top};
    while (!stack.empty()) {
        HWND h = stack.back();
        stack.pop_back();
        ValidateRect(h, nullptr);
        for (HWND c : GetChildWindows(h))
            stack.push_back(c);
    }
    return dirty;
}

TBackbuffer::~TBackbuffer()
{
    if (FBitmap)
        DeleteObject(FBitmap);
}

bool TBackbuffer::Resize(int W, int H)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    if (FSurface && W == FWidth && H == FHeight)
        return false;
    if (FBitmap)
        DeleteObject(FBitmap);
    FBitmap = CreateBitmap32(W, H);
    FSurface = FBitmap ? FBitmap->Surface : nullptr;
    FWidth = W;
    FHeight = H;
    return true;
}

uint32_t TBackbuffer::Pixel(int X, int Y) const
{
    if (!FSurface || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return 0;
    cairo_surface_flush(FSurface);
    const uint8_t* row = cairo_image_surface_get_data(FSurface) + size_t(Y) * cairo_image_surface_get_stride(FSurface);
    uint32_t p;
    std::memcpy(&p, row + size_t(X) * 4, 4);
    return p;
}

bool TBackbuffer::SavePng(const std::string& FileName) const
{
    return FSurface && cairo_surface_write_to_png(FSurface, FileName.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace dcs
