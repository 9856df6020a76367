// Device contexts, bitmaps, regions, fonts and text, shaped like the system calls the
// framework canvas is written against, painting headless into ARGB32 image surfaces.
//
// A device context (HDC) draws on the bitmap selected into it. Logical coordinates are
// device coordinates shifted by the window origin (SetWindowOrgEx); clip regions are
// kept in device coordinates. Every object is used on one thread (the GUI thread); the
// font resolution cache behind CreateFontIndirect is the only shared state and is
// locked inside.
//
// Colours are COLORREF 0x00BBGGRR. Text is UTF-8.
#pragma once

#include "platform/base/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dcs {

using HWND = uintptr_t;
using COLORREF = uint32_t;
using TColor = int32_t;

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return TRect {left, top, right, bottom}; }

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return uint8_t(c); }
constexpr uint8_t GetGValue(COLORREF c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(COLORREF c) { return uint8_t(c >> 16); }

// ------------------------------------------------------------ framework colours

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;
// System colours: the top bit set, the low byte the system colour index.
constexpr TColor clSystemColor = int32_t(0xFF000000);
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;

// The fixed classic scheme; an index outside the table gives 0.
COLORREF GetSysColor(int index);
// A system colour becomes its RGB value; every other value passes unchanged.
TColor ColorToRGB(TColor color);

// ------------------------------------------------------------------ handles

struct TGdiObject;  // base of every selectable object
struct TDeviceContext;
using HGDIOBJ = TGdiObject*;
using HDC = TDeviceContext*;
struct TBitmapObject;
struct TFontObject;
struct TBrushObject;
struct TPenObject;
struct TRegionObject;
using HBITMAP = TBitmapObject*;
using HFONT = TFontObject*;
using HBRUSH = TBrushObject*;
using HPEN = TPenObject*;
using HRGN = TRegionObject*;

// Stock objects: never deleted (DeleteObject on them is a no-op returning true).
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int DEFAULT_GUI_FONT = 17;
HGDIOBJ GetStockObject(int index);

// Makes the DC the object's user: the previous object of the same kind is returned
// (the caller selects it back before deleting what it selected). A region is copied
// into the clip instead (the result is then a region-kind code, as SelectClipRgn).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
// Typed forms: each returns the previously selected object of its kind.
HBITMAP SelectObject(HDC dc, HBITMAP obj);
HFONT SelectObject(HDC dc, HFONT obj);
HBRUSH SelectObject(HDC dc, HBRUSH obj);
HPEN SelectObject(HDC dc, HPEN obj);
int SelectObject(HDC dc, HRGN obj);
// Frees the object. Refused (false) for a null handle; stock objects stay.
bool DeleteObject(HGDIOBJ obj);
bool DeleteObject(HBITMAP obj);
bool DeleteObject(HFONT obj);
bool DeleteObject(HBRUSH obj);
bool DeleteObject(HPEN obj);
bool DeleteObject(HRGN obj);

// ---------------------------------------------------------------- bitmaps

// A 32-bit premultiplied ARGB bitmap, cleared to transparent black. Null for
// non-positive or absurd sizes. The caller owns it (DeleteObject).
HBITMAP CreateBitmap32(int width, int height);
// Same size rules; `dc` only decides nothing more on this system (every bitmap is 32-bit).
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
TSize GetBitmapSize(HBITMAP bmp);
// The pixel rows of the bitmap: premultiplied 0xAARRGGBB, `stride` bytes apart. Valid
// until the bitmap is deleted; call GdiFlush-free: drawing is immediate.
uint32_t* GetBitmapBits32(HBITMAP bmp, int* stride);

// ---------------------------------------------------------- device contexts

// A memory DC with a 1x1 bitmap selected. The caller owns it (DeleteDC).
HDC CreateCompatibleDC(HDC dc);
// A DC drawing on `bmp` directly, for surfaces owned elsewhere (window back buffers).
HDC CreateDCForBitmap(HBITMAP bmp);
bool DeleteDC(HDC dc);
HBITMAP GetCurrentBitmap(HDC dc);

// The window layer tells where a window's back buffer is; GetDC hands out a DC on it
// (null when the provider has none), ReleaseDC frees that DC.
using TWindowSurfaceProvider = HBITMAP (*)(HWND wnd);
void SetWindowSurfaceProvider(TWindowSurfaceProvider provider);
HDC GetDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);

// Saves origin, clip, selected objects and text settings; returns the new save level
// (>= 1), 0 on failure. RestoreDC(dc, -1) restores the last save; a positive level
// restores that one and drops everything saved after it.
int SaveDC(HDC dc);
bool RestoreDC(HDC dc, int savedDC);

bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetWindowOrgEx(HDC dc, TPoint* org);
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old);

// ------------------------------------------------------------------ regions

constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const TRect& r);
// dst = a <op> b; dst may be a or b. Returns the region kind, ERROR on bad arguments.
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, TRect* box);
bool PtInRegion(HRGN rgn, int x, int y);
bool EqualRgn(HRGN a, HRGN b);

// Clip: null region resets to the whole bitmap. Regions are in device coordinates;
// the rectangle forms take logical ones.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// The clip box in logical coordinates (the bitmap's bounds when there is no clip).
int GetClipBox(HDC dc, TRect* box);
// Copies the clip into `rgn`: 1 when there is a clip, 0 when there is none.
int GetClipRgn(HDC dc, HRGN rgn);

// ---------------------------------------------------------- brushes and pens

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;

HBRUSH CreateSolidBrush(COLORREF color);
HPEN CreatePen(int style, int width, COLORREF color);

// ---------------------------------------------------------------- painting

bool FillRect(HDC dc, const TRect& r, HBRUSH brush);
bool FrameRect(HDC dc, const TRect& r, HBRUSH brush);
// Outlined with the selected pen and filled with the selected brush, like the system:
// the outline lies inside (left, top)..(right-1, bottom-1).
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
bool Ellipse(HDC dc, int left, int top, int right, int bottom);
// Corners rounded by ellipses of width w and height h.
bool RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h);
bool MoveToEx(HDC dc, int x, int y, TPoint* old);
// Draws to but not including (x, y).
bool LineTo(HDC dc, int x, int y);
bool Polygon(HDC dc, const TPoint* pts, int count);
bool Polyline(HDC dc, const TPoint* pts, int count);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the bitmap or the clip.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
COLORREF GetPixel(HDC dc, int x, int y);

// ------------------------------------------------------------------ blits

constexpr uint32_t SRCCOPY = 0x00CC0020;
// Copies source pixels over the destination (alpha included), clipped by the
// destination's clip. Other raster operations are refused.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop);
// Scales with nearest-neighbour sampling (the system's colour-on-colour mode);
// negative sizes mirror.
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop);

// ------------------------------------------------------------ fonts and text

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

struct TLogFont {
    int32_t lfHeight = 0;      // < 0: character (em) height in pixels; > 0: cell height
    int32_t lfWidth = 0;       // ignored (natural width)
    int32_t lfEscapement = 0;  // tenths of a degree, counter-clockwise
    int32_t lfOrientation = 0;
    int32_t lfWeight = FW_NORMAL;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 1;
    std::string lfFaceName;  // a system family name; see ResolveFontFamily
};

// Never null for a valid record: an unknown face falls back to the default family.
HFONT CreateFontIndirect(const TLogFont& lf);
HFONT CreateFont(int height, int escapement, int weight, bool italic, bool underline, bool strikeOut,
                 std::string_view faceName);
bool GetObjectFont(HFONT font, TLogFont* lf);
// Pixels of a point size at the system's 96 DPI: -MulDiv(points, 96, 72).
int FontHeightFromPoints(int points);

struct TTextMetric {
    int32_t tmHeight = 0;
    int32_t tmAscent = 0;
    int32_t tmDescent = 0;
    int32_t tmInternalLeading = 0;
    int32_t tmExternalLeading = 0;
    int32_t tmAveCharWidth = 0;
    int32_t tmMaxCharWidth = 0;
};
bool GetTextMetrics(HDC dc, TTextMetric* tm);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);

// Draws one line with its top-left at (x, y), filled behind with the background colour
// in OPAQUE mode; with an escapement the line turns about (x, y).
bool TextOut(HDC dc, int x, int y, std::string_view text);
constexpr uint32_t ETO_OPAQUE = 0x2;
constexpr uint32_t ETO_CLIPPED = 0x4;
// TextOut with an optional rectangle: filled with the background colour (ETO_OPAQUE)
// and/or clipping the text (ETO_CLIPPED).
bool ExtTextOut(HDC dc, int x, int y, uint32_t options, const TRect* rect, std::string_view text);
// Width and height of one unrotated line, without prefix processing.
bool GetTextExtentPoint32(HDC dc, std::string_view text, TSize* size);

constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;
constexpr uint32_t DT_HIDEPREFIX = 0x100000;
constexpr uint32_t DT_END_ELLIPSIS = 0x8000;

// Formats text in `rect`. "&x" underlines x and "&&" is one "&" unless DT_NOPREFIX.
// DT_CALCRECT draws nothing and sets rect.Right/Bottom to the text's extent (for
// DT_WORDBREAK at the rectangle's width). Returns the text height (0 on failure).
int DrawText(HDC dc, std::string_view text, TRect* rect, uint32_t format);

}  // namespace dcs
