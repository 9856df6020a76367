// The objects behind the GDI handles. Shared with the GDI+ engine, which draws on the
// same surfaces; not for the layers above the platform.
#pragma once

#include "platform/gdi/FontSystem.h"
#include "platform/gdi/Gdi.h"

#include <cairo.h>

#include <vector>

namespace dcs {

struct TGdiObject {
    enum class TKind {
        Bitmap,
        Font,
        Brush,
        Pen,
        Region
    };
    explicit TGdiObject(TKind k) : Kind(k) {}
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    virtual ~TGdiObject() = default;
    TKind Kind;
    bool Stock = false;
};

struct TBitmapObject : TGdiObject {
    TBitmapObject(int w, int h);
    // Shares a surface drawn on elsewhere (a reference is taken).
    explicit TBitmapObject(cairo_surface_t* shared);
    ~TBitmapObject() override;
    cairo_surface_t* Surface = nullptr;  // ARGB32, premultiplied
    int Width = 0;
    int Height = 0;
};

struct TFontObject : TGdiObject {
    TFontObject() : TGdiObject(TKind::Font) {}
    TLogFont Log;
    gdi::TFontSpec Spec;  // resolved family and pixel size
};

struct TBrushObject : TGdiObject {
    TBrushObject() : TGdiObject(TKind::Brush) {}
    COLORREF Color = 0;
    bool Null = false;
};

struct TPenObject : TGdiObject {
    TPenObject() : TGdiObject(TKind::Pen) {}
    int Style = PS_SOLID;
    int Width = 1;
    COLORREF Color = 0;
};

struct TRegionObject : TGdiObject {
    TRegionObject();
    ~TRegionObject() override;
    cairo_region_t* Region = nullptr;
};

struct TDcState {
    TPoint Origin;                   // window origin: logical = device + Origin
    cairo_region_t* Clip = nullptr;  // device coordinates; null = whole bitmap (owned)
    HBITMAP Bitmap = nullptr;
    HFONT Font = nullptr;
    HBRUSH Brush = nullptr;
    HPEN Pen = nullptr;
    COLORREF TextColor = 0;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    TPoint Pos;
};

struct TDeviceContext {
    TDeviceContext();
    ~TDeviceContext();
    TDcState State;
    std::vector<TDcState> Saved;
    HBITMAP OwnBitmap = nullptr;  // the 1x1 bitmap of a memory DC
    bool FromWindow = false;
};

namespace gdi {

// A cairo context on the DC's bitmap with its clip applied and the window origin as
// translation; the caller destroys it. Null when the DC has no bitmap.
cairo_t* BeginPaint(HDC dc);
// ARGB (straight, 0xAARRGGBB) to cairo's source colour.
void SetSourceColorRef(cairo_t* cr, COLORREF c);
cairo_region_t* CopyRegion(const cairo_region_t* r);

}  // namespace gdi
}  // namespace dcs
