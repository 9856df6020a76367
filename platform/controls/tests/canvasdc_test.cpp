#include "platform/controls/CanvasDC.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>

namespace dcs {
namespace {

uint32_t PixelAt(cairo_surface_t* S, int X, int Y)
{
    cairo_surface_flush(S);
    uint32_t p;
    std::memcpy(&p, cairo_image_surface_get_data(S) + Y * cairo_image_surface_get_stride(S) + X * 4, 4);
    return p;
}

// A canvas handed to a control is translated to its origin and clipped; drawing through
// the device context lands in the same place and stops at the same edges.
TEST(CanvasDC, FollowsTheCanvasTranslationAndClip)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 40);
    cairo_t* cr = cairo_create(s);
    cairo_rectangle(cr, 10, 5, 30, 20);
    cairo_clip(cr);
    cairo_translate(cr, 10, 5);
    TCanvas canvas(cr);
    {
        TCanvasDC dc(canvas);
        ASSERT_NE(dc.Handle(), nullptr);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc.Handle(), TRect {-5, -5, 100, 100}, red);
        DeleteObject(red);
    }
    EXPECT_EQ(PixelAt(s, 10, 5), 0xFFFF0000u) << "the control's origin";
    EXPECT_EQ(PixelAt(s, 39, 24), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(s, 9, 5), 0u) << "left of the clip";
    EXPECT_EQ(PixelAt(s, 40, 24), 0u);
    EXPECT_EQ(PixelAt(s, 20, 25), 0u) << "below the clip";
    TCanvas none(nullptr);
    EXPECT_EQ(TCanvasDC(none).Handle(), nullptr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

}  // namespace
}  // namespace dcs
