#include "platform/gdi/GdiObjects.h"

#include <array>
#include <climits>

namespace dcs {
namespace {

// Sizes past this are refused rather than attempted: an image surface is w*h*4 bytes.
constexpr int64_t kMaxBitmapPixels = int64_t(1) << 28;

template <class T> T* MakeStock(T* obj)
{
    obj->Stock = true;
    return obj;
}

struct TStockObjects {
    std::array<HGDIOBJ, 18> Objects {};
    TStockObjects()
    {
        auto brush = [](COLORREF c, bool null) {
            auto* b = new TBrushObject;
            b->Color = c;
            b->Null = null;
            return MakeStock(b);
        };
        auto pen = [](int style, COLORREF c) {
            auto* p = new TPenObject;
            p->Style = style;
            p->Color = c;
            return MakeStock(p);
        };
        Objects[WHITE_BRUSH] = brush(RGB(255, 255, 255), false);
        Objects[1] = brush(RGB(192, 192, 192), false);
        Objects[2] = brush(RGB(128, 128, 128), false);
        Objects[3] = brush(RGB(64, 64, 64), false);
        Objects[BLACK_BRUSH] = brush(0, false);
        Objects[NULL_BRUSH] = brush(0, true);
        Objects[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
        Objects[BLACK_PEN] = pen(PS_SOLID, 0);
        Objects[NULL_PEN] = pen(PS_NULL, 0);
        TLogFont lf;
        lf.lfHeight = -11;
        lf.lfFaceName = "Tahoma";
        auto* f = CreateFontIndirect(lf);
        f->Stock = true;
        Objects[DEFAULT_GUI_FONT] = f;
    }
    ~TStockObjects()
    {
        for (HGDIOBJ o : Objects)
            delete o;
    }
};

TStockObjects& Stock()
{
    static TStockObjects s;
    return s;
}

}  // namespace

TBitmapObject::TBitmapObject(int w, int h) : TGdiObject(TKind::Bitmap), Width(w), Height(h)
{
    Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
}

TBitmapObject::TBitmapObject(cairo_surface_t* shared)
    : TGdiObject(TKind::Bitmap), Surface(cairo_surface_reference(shared)), Width(cairo_image_surface_get_width(shared)),
      Height(cairo_image_surface_get_height(shared))
{
}

TBitmapObject::~TBitmapObject() { cairo_surface_destroy(Surface); }

TRegionObject::TRegionObject() : TGdiObject(TKind::Region), Region(cairo_region_create()) {}

TRegionObject::~TRegionObject() { cairo_region_destroy(Region); }

HGDIOBJ GetStockObject(int index)
{
    if (index < 0 || index >= int(Stock().Objects.size()))
        return nullptr;
    return Stock().Objects[size_t(index)];
}

bool DeleteObject(HGDIOBJ obj)
{
    if (!obj)
        return false;
    if (!obj->Stock)
        delete obj;
    return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj)
{
    if (!dc || !obj)
        return nullptr;
    TDcState& s = dc->State;
    auto swap = [](auto& slot, auto* value) -> HGDIOBJ {
        HGDIOBJ old = slot;
        slot = value;
        return old;
    };
    switch (obj->Kind) {
    case TGdiObject::TKind::Bitmap:
        if (dc->FromWindow)
            return nullptr;
        return swap(s.Bitmap, static_cast<HBITMAP>(obj));
    case TGdiObject::TKind::Font: return swap(s.Font, static_cast<HFONT>(obj));
    case TGdiObject::TKind::Brush: return swap(s.Brush, static_cast<HBRUSH>(obj));
    case TGdiObject::TKind::Pen: return swap(s.Pen, static_cast<HPEN>(obj));
    case TGdiObject::TKind::Region:
        return reinterpret_cast<HGDIOBJ>(intptr_t(SelectClipRgn(dc, static_cast<HRGN>(obj))));
    }
    return nullptr;
}

HBITMAP CreateBitmap32(int width, int height)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxBitmapPixels)
        return nullptr;
    auto* b = new TBitmapObject(width, height);
    if (cairo_surface_status(b->Surface) != CAIRO_STATUS_SUCCESS) {
        delete b;
        return nullptr;
    }
    return b;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) { return CreateBitmap32(width, height); }

TSize GetBitmapSize(HBITMAP bmp) { return bmp ? TSize {bmp->Width, bmp->Height} : TSize {}; }

uint32_t* GetBitmapBits32(HBITMAP bmp, int* stride)
{
    if (!bmp)
        return nullptr;
    cairo_surface_flush(bmp->Surface);
    if (stride)
        *stride = cairo_image_surface_get_stride(bmp->Surface);
    cairo_surface_mark_dirty(bmp->Surface);
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(bmp->Surface));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto* b = new TBrushObject;
    b->Color = color & 0xFFFFFF;
    return b;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    auto* p = new TPenObject;
    p->Style = (style < PS_SOLID || style > PS_NULL) ? PS_SOLID : style;
    p->Width = width < 1 ? 1 : width;
    p->Color = color & 0xFFFFFF;
    return p;
}

}  // namespace dcs

namespace dcs {

HBITMAP SelectObject(HDC dc, HBITMAP obj) { return static_cast<HBITMAP>(SelectObject(dc, static_cast<HGDIOBJ>(obj))); }
HFONT SelectObject(HDC dc, HFONT obj) { return static_cast<HFONT>(SelectObject(dc, static_cast<HGDIOBJ>(obj))); }
HBRUSH SelectObject(HDC dc, HBRUSH obj) { return static_cast<HBRUSH>(SelectObject(dc, static_cast<HGDIOBJ>(obj))); }
HPEN SelectObject(HDC dc, HPEN obj) { return static_cast<HPEN>(SelectObject(dc, static_cast<HGDIOBJ>(obj))); }
int SelectObject(HDC dc, HRGN obj) { return SelectClipRgn(dc, obj); }
bool DeleteObject(HBITMAP obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HFONT obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HBRUSH obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HPEN obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }
bool DeleteObject(HRGN obj) { return DeleteObject(static_cast<HGDIOBJ>(obj)); }

}  // namespace dcs
