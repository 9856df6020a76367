#include "Canvas.h"

#include "platform/gdiplus/GdipObjects.h"

#include <algorithm>
#include <cstdlib>

namespace dcs::smooth::test {

TGPRect Canvas::Bounds(ARGB c)
{
    int x0 = W, y0 = H, x1 = -1, y1 = -1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (At(x, y) != c) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return {0, 0, 0, 0};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

void Canvas::WritePng(const std::string& path)
{
    G.Flush();
    cairo_surface_write_to_png(static_cast<GpImageImpl*>(Bitmap.nativeImage)->Surface, path.c_str());
}

void Canvas::Dump(const std::string& name)
{
    if (const char* dir = std::getenv("DCS_SMOOTH_DUMP"))
        WritePng(std::string(dir) + "/" + name + ".png");
}

}  // namespace dcs::smooth::test
