#include "ui/controls/CanvasGraphics.h"

namespace dcs::smooth {

std::unique_ptr<TGPGraphics> CanvasGraphics(TCanvas* Canvas)
{
    HDC dc = Canvas ? CreateDCForContext(Canvas->Handle()) : nullptr;
    auto g = std::make_unique<TGPGraphics>(dc);
    // The surface keeps its own reference to the pixels, origin and clip.
    if (dc)
        DeleteDC(dc);
    return g;
}

}  // namespace dcs::smooth
