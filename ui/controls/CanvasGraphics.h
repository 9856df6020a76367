// An engine graphics object on a framework canvas: what every smooth control paints
// through. GUI thread only.
#pragma once

#include "platform/controls/CanvasDC.h"
#include "ui/controls/GPGraphics.h"

namespace dcs::smooth {

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

}  // namespace dcs::smooth
