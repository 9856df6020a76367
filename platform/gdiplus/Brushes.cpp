#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>

namespace dcs::gdiplus {
namespace {

// 8x8 hatch patterns, one byte per row, the top bit the leftmost pixel.
constexpr uint8_t kHatch[HatchStyleTotal][8] = {
    {0xFF, 0, 0, 0, 0, 0, 0, 0},                       // Horizontal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // Vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // ForwardDiagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // BackwardDiagonal
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // Cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // DiagonalCross
    {0x80, 0, 0, 0, 0x08, 0, 0, 0},                    // 05Percent
    {0x80, 0, 0x08, 0, 0x80, 0, 0x08, 0},              // 10Percent
    {0x88, 0, 0x22, 0, 0x88, 0, 0x22, 0},              // 20Percent
    {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22},  // 25Percent
    {0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA, 0x11},  // 30Percent
    {0xAA, 0x55, 0xAA, 0x51, 0xAA, 0x55, 0xAA, 0x15},  // 40Percent
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},  // 50Percent
    {0xEE, 0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55},  // 60Percent
    {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE},  // 70Percent
    {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},  // 75Percent
    {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF},  // 80Percent
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},  // 90Percent
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},  // LightDownwardDiagonal
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88},  // LightUpwardDiagonal
    {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99},  // DarkDownwardDiagonal
    {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99},  // DarkUpwardDiagonal
    {0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83},  // WideDownwardDiagonal
    {0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1},  // WideUpwardDiagonal
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // LightVertical
    {0xFF, 0, 0, 0, 0xFF, 0, 0, 0},                    // LightHorizontal
    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA},  // NarrowVertical
    {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0},              // NarrowHorizontal
    {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},  // DarkVertical
    {0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0},              // DarkHorizontal
    {0, 0, 0x88, 0x44, 0x22, 0x11, 0, 0},              // DashedDownwardDiagonal
    {0, 0, 0x11, 0x22, 0x44, 0x88, 0, 0},              // DashedUpwardDiagonal
    {0xF0, 0, 0, 0, 0x0F, 0, 0, 0},                    // DashedHorizontal
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08},  // DashedVertical
    {0x80, 0x10, 0x02, 0x20, 0x01, 0x08, 0x40, 0x04},  // SmallConfetti
    {0xB1, 0x30, 0x03, 0x1B, 0xD8, 0xC0, 0x0C, 0x8D},  // LargeConfetti
    {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18},  // ZigZag
    {0x00, 0x18, 0xA4, 0x03, 0x00, 0x18, 0xA4, 0x03},  // Wave
    {0x01, 0x02, 0x04, 0x08, 0x18, 0x24, 0x42, 0x81},  // DiagonalBrick
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // HorizontalBrick
    {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51},  // Weave
    {0xAA, 0x55, 0xAA, 0x55, 0xF0, 0xF0, 0xF0, 0xF0},  // Plaid
    {0x00, 0x10, 0x08, 0x10, 0x00, 0x01, 0x80, 0x01},  // Divot
    {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00},  // DottedGrid
    {0x80, 0x00, 0x22, 0x00, 0x08, 0x00, 0x22, 0x00},  // DottedDiamond
    {0x03, 0x84, 0x48, 0x30, 0x0C, 0x02, 0x01, 0x01},  // Shingle
    {0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99},  // Trellis
    {0x77, 0x98, 0xF8, 0xF8, 0x77, 0x89, 0x8F, 0x8F},  // Sphere
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // SmallGrid
    {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99},  // SmallCheckerBoard
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F},  // LargeCheckerBoard
    {0x82, 0x44, 0x28, 0x10, 0x28, 0x44, 0x82, 0x01},  // OutlinedDiamond
    {0x10, 0x38, 0x7C, 0xFE, 0x7C, 0x38, 0x10, 0x00},  // SolidDiamond
};

struct TSolid final : GpSolidFill, TBrushImpl {
    ARGB Color = 0;
    BrushType Type() const override { return BrushTypeSolidColor; }
    GpBrush* Clone() const override { return new TSolid(*this); }
    bool SetSource(cairo_t* cr, const cairo_matrix_t&, const cairo_matrix_t&) const override
    {
        SetSourceARGB(cr, Color);
        return true;
    }
    bool SolidColor(ARGB* c) const override
    {
        *c = Color;
        return true;
    }
    TSolid() = default;
    TSolid(const TSolid& o) : GpSolidFill(), TBrushImpl(), Color(o.Color) {}
};

struct THatch final : GpHatch, TBrushImpl {
    HatchStyle Style = HatchStyleHorizontal;
    ARGB Fore = 0;
    ARGB Back = 0;
    THatch() = default;
    THatch(const THatch& o) : GpHatch(), TBrushImpl(), Style(o.Style), Fore(o.Fore), Back(o.Back) {}
    BrushType Type() const override { return BrushTypeHatchFill; }
    GpBrush* Clone() const override { return new THatch(*this); }
    bool SetSource(cairo_t* cr, const cairo_matrix_t&, const cairo_matrix_t&) const override
    {
        cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(tile));
        int stride = cairo_image_surface_get_stride(tile) / 4;
        uint32_t fore = Premultiply(Fore), back = Premultiply(Back);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                px[y * stride + x] = (kHatch[Style][y] & (0x80 >> x)) ? fore : back;
        cairo_surface_mark_dirty(tile);
        cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile);
        cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
        cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);
        // Pattern space is device space: the pattern sits on the pixel grid.
        cairo_matrix_t saved;
        cairo_get_matrix(cr, &saved);
        cairo_identity_matrix(cr);
        cairo_set_source(cr, pat);
        cairo_set_matrix(cr, &saved);
        cairo_pattern_destroy(pat);
        cairo_surface_destroy(tile);
        return true;
    }
};

template <class T> T* As(GpBrush* b) { return dynamic_cast<T*>(b); }

}  // namespace

TBrushImpl* Impl(const GpBrush* b) { return dynamic_cast<TBrushImpl*>(const_cast<GpBrush*>(b)); }

void SetSourceARGB(cairo_t* cr, ARGB c)
{
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          (c >> 24) / 255.0);
}

Status GdipCloneBrush(GpBrush* brush, GpBrush** clone)
{
    TBrushImpl* b = Impl(brush);
    if (!b || !clone)
        return InvalidParameter;
    *clone = b->Clone();
    return Ok;
}

Status GdipDeleteBrush(GpBrush* brush)
{
    if (!brush)
        return InvalidParameter;
    delete brush;
    return Ok;
}

Status GdipGetBrushType(GpBrush* brush, BrushType* type)
{
    TBrushImpl* b = Impl(brush);
    if (!b || !type)
        return InvalidParameter;
    *type = b->Type();
    return Ok;
}

Status GdipCreateSolidFill(ARGB color, GpSolidFill** brush)
{
    if (!brush)
        return InvalidParameter;
    auto* b = new TSolid;
    b->Color = color;
    *brush = b;
    return Ok;
}

Status GdipSetSolidFillColor(GpSolidFill* brush, ARGB color)
{
    auto* b = As<TSolid>(brush);
    if (!b)
        return InvalidParameter;
    b->Color = color;
    return Ok;
}

Status GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color)
{
    auto* b = As<TSolid>(brush);
    if (!b || !color)
        return InvalidParameter;
    *color = b->Color;
    return Ok;
}

Status GdipCreateHatchBrush(HatchStyle hatchstyle, ARGB forecol, ARGB backcol, GpHatch** brush)
{
    if (!brush || hatchstyle < HatchStyleHorizontal || hatchstyle >= HatchStyleTotal)
        return InvalidParameter;
    auto* b = new THatch;
    b->Style = hatchstyle;
    b->Fore = forecol;
    b->Back = backcol;
    *brush = b;
    return Ok;
}

Status GdipGetHatchStyle(GpHatch* brush, HatchStyle* hatchstyle)
{
    auto* b = As<THatch>(brush);
    if (!b || !hatchstyle)
        return InvalidParameter;
    *hatchstyle = b->Style;
    return Ok;
}

Status GdipGetHatchForegroundColor(GpHatch* brush, ARGB* forecol)
{
    auto* b = As<THatch>(brush);
    if (!b || !forecol)
        return InvalidParameter;
    *forecol = b->Fore;
    return Ok;
}

Status GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* backcol)
{
    auto* b = As<THatch>(brush);
    if (!b || !backcol)
        return InvalidParameter;
    *backcol = b->Back;
    return Ok;
}

}  // namespace dcs::gdiplus
