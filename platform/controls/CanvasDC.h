// A device context on the pixels a canvas paints: the same surface, the canvas's
// translation as window origin and its clip as the DC's clip, so drawing through the DC
// (or an engine graphics object made on it) lands where the canvas would draw.
#pragma once

#include "platform/controls/Graphics.h"

namespace dcs {

class TCanvasDC {
public:
    // The canvas must outlive this object; the DC is valid until it is destroyed. A
    // canvas without a context gives a null handle.
    explicit TCanvasDC(TCanvas& Canvas);
    ~TCanvasDC();
    TCanvasDC(const TCanvasDC&) = delete;
    TCanvasDC& operator=(const TCanvasDC&) = delete;
    HDC Handle() const { return FDC; }

private:
    HBITMAP FBitmap = nullptr;
    HDC FDC = nullptr;
};

}  // namespace dcs
