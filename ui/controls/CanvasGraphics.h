// Drawing on a framework canvas: what every smooth control paints through, in the
// canvas's coordinates and clip. GUI thread only.
#pragma once

#include "platform/controls/CanvasDC.h"
#include "platform/controls/Graphics.h"
#include "ui/controls/GPGraphics.h"

#include <memory>

namespace dcs::smooth {

// An engine graphics object over a device context on the canvas.
class TCanvasGraphics {
public:
    // The canvas must outlive this object.
    explicit TCanvasGraphics(TCanvas& Canvas) : FDC(Canvas), FGraphics(FDC.Handle()) {}
    TGPGraphics* operator->() { return &FGraphics; }
    TGPGraphics* Get() { return &FGraphics; }

private:
    TCanvasDC FDC;
    TGPGraphics FGraphics;
};

// A new surface on the canvas (the caller owns it). On a canvas that paints nowhere
// (no context) the surface has no engine object and every call fails quietly.
std::unique_ptr<TGPGraphics> CanvasGraphics(TCanvas* Canvas);

}  // namespace dcs::smooth
