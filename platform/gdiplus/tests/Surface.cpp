#include "Surface.h"

#include "platform/gdiplus/GdipObjects.h"

#include <cstdlib>

namespace dcs::gdiplus::test {

void Surface::Dump(const std::string& name) const
{
    const char* dir = std::getenv("DCS_GDIPLUS_DUMP");
    if (!dir)
        return;
    cairo_surface_write_to_png(static_cast<GpImageImpl*>(static_cast<GpImage*>(Bitmap))->Surface,
                               (std::string(dir) + "/" + name + ".png").c_str());
}

}  // namespace dcs::gdiplus::test
