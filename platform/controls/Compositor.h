// Paints a top-level window's tree into its backbuffer: every window that has something
// invalid, and everything that overlaps what is repainted, back to front, each clipped
// to its rectangle, its shape and the invalid area, so a parent's background is always
// under its children.
//
// The backbuffer is a bitmap of the drawing layer, so a device context (GetDC of any
// window of the form) draws on the same pixels the compositor paints.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/win/Windows.h"

#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace dcs {

// Repaints what is invalid in Top's tree into Surface (Top's client coordinates) and
// answers the rectangle that changed (empty when nothing was invalid).
TRect ComposeWindowTree(HWND Top, cairo_surface_t* Surface);

// The context of the window being painted now, translated to its client origin and
// clipped; null outside a paint.
cairo_t* CurrentPaintContext();

// An owned ARGB32 surface that can be resized (its content is then cleared).
class TBackbuffer {
public:
    TBackbuffer() = default;
    ~TBackbuffer();
    TBackbuffer(const TBackbuffer&) = delete;
    TBackbuffer& operator=(const TBackbuffer&) = delete;

    // Keeps the surface when the size is the same; answers whether it changed.
    bool Resize(int Width, int Height);
    cairo_surface_t* Surface() const { return FSurface; }
    HBITMAP Bitmap() const { return FBitmap; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // 0xAARRGGBB of one pixel (0 outside).
    uint32_t Pixel(int X, int Y) const;
    // Writes the surface as PNG; false on failure.
    bool SavePng(const std::string& FileName) const;

private:
    HBITMAP FBitmap = nullptr;
    cairo_surface_t* FSurface = nullptr;  // the bitmap's
    int FWidth = 0;
    int FHeight = 0;
};

}  // namespace dcs
