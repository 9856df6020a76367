// A drawing surface on a framework canvas: the smooth controls paint through it onto the
// pixels the canvas paints on, in the canvas's coordinates and clip. GUI thread only.
#pragma once

#include "platform/controls/Graphics.h"
#include "ui/controls/GPGraphics.h"

#include <memory>

namespace dcs::smooth {

// A new surface on the canvas (the caller owns it). On a canvas that paints nowhere
// (no context) the surface has no engine object and every call fails quietly.
std::unique_ptr<TGPGraphics> CanvasGraphics(TCanvas* Canvas);

}  // namespace dcs::smooth
