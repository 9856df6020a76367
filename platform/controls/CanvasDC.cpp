#include "platform/controls/CanvasDC.h"

#include "platform/gdi/GdiObjects.h"

#include <cairo.h>

#include <cmath>

namespace dcs {

TCanvasDC::TCanvasDC(TCanvas& Canvas)
{
    cairo_t* cr = Canvas.Handle();
    if (!cr)
        return;
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
        return;
    cairo_surface_flush(target);
    FBitmap = new TBitmapObject(target);
    FDC = CreateDCForBitmap(FBitmap);
    // Only translations reach a control's canvas; a device offset moves the user space too.
    double ox = 0, oy = 0;
    cairo_user_to_device(cr, &ox, &oy);
    double dx = 0, dy = 0;
    cairo_surface_get_device_offset(target, &dx, &dy);
    ox -= dx;
    oy -= dy;
    SetWindowOrgEx(FDC, -int(std::lround(ox)), -int(std::lround(oy)), nullptr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    if (clip->status == CAIRO_STATUS_SUCCESS) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        for (int i = 0; i < clip->num_rectangles; ++i) {
            const cairo_rectangle_t& r = clip->rectangles[i];
            double x0 = r.x, y0 = r.y, x1 = r.x + r.width, y1 = r.y + r.height;
            cairo_user_to_device(cr, &x0, &y0);
            cairo_user_to_device(cr, &x1, &y1);
            HRGN part = CreateRectRgn(int(std::floor(x0 - dx)), int(std::floor(y0 - dy)), int(std::ceil(x1 - dx)),
                                      int(std::ceil(y1 - dy)));
            CombineRgn(rgn, rgn, part, RGN_OR);
            DeleteObject(part);
        }
        SelectClipRgn(FDC, rgn);
        DeleteObject(rgn);
    }
    cairo_rectangle_list_destroy(clip);
}

TCanvasDC::~TCanvasDC()
{
    if (FDC) {
        DeleteDC(FDC);
        cairo_surface_mark_dirty(FBitmap->Surface);
    }
    delete FBitmap;
}

}  // namespace dcs
