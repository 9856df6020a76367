// A framework canvas drawing through a device context: what code that paints on a
// canvas (an image list, say) draws with when all it has is a DC, such as the one an
// engine graphics object hands out.
#pragma once

#include "platform/controls/Graphics.h"

namespace dcs {

class TDCCanvas {
public:
    // The DC must outlive this object; it keeps the DC's window origin and clip. A DC
    // without a bitmap gives a canvas without a context, on which drawing does nothing.
    explicit TDCCanvas(HDC DC);
    ~TDCCanvas();
    TDCCanvas(const TDCCanvas&) = delete;
    TDCCanvas& operator=(const TDCCanvas&) = delete;
    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }

private:
    TCanvas FCanvas;
};

}  // namespace dcs
