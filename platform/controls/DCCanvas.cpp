#include "platform/controls/DCCanvas.h"

#include "platform/gdi/GdiObjects.h"

#include <cairo.h>

namespace dcs {

TDCCanvas::TDCCanvas(HDC DC) : FCanvas(DC ? gdi::BeginPaint(DC) : nullptr) {}

TDCCanvas::~TDCCanvas()
{
    if (cairo_t* cr = FCanvas.Handle()) {
        cairo_surface_flush(cairo_get_target(cr));
        cairo_destroy(cr);
    }
}

}  // namespace dcs
