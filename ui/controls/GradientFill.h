// Painting one area of a fill: solid, linear, angled, hatched or textured, with an
// optional outline. GUI thread only.
#pragma once

#include "ui/controls/GPGraphics.h"

namespace dcs::smooth {

class TSmGDIPPicture;

struct TGradientFillParams {
    TGPGraphics* Graphics = nullptr;
    TGPGraphicsPath* Path = nullptr;
    bool UsePath = false;
    TGPRectF R {};
    TSmGradientType GradientType = gtSolid;
    TColor Color = clNone;
    TColor ColorTo = clNone;
    uint8_t Opacity = 255;
    uint8_t OpacityTo = 255;
    HatchStyle Hatch = HatchStyleHorizontal;
    int32_t Angle = 0;
    TSmGDIPPicture* Picture = nullptr;
    TColor BorderColor = clNone;
    int32_t BorderWidth = 1;
    DashStyle BorderStyle = DashStyleSolid;
    bool Mirror = false;
};

// Linear kinds run over R grown by one pixel with gamma correction; a mirror half gets
// a one-pixel line of the start colour along its top. gtRadial, gtPath and gtNone fill
// nothing. The outline uses the start colour's opacity.
void PaintGradientFill(const TGradientFillParams& Params);
// The same painter, under the name the fill code uses.
inline void DrawGradientArea(const TGradientFillParams& Area) { PaintGradientFill(Area); }

}  // namespace dcs::smooth
