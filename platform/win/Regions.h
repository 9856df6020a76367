// Window shapes for SetWindowRgn. Regions are the drawing layer's (sets of rectangles);
// the elliptic and rounded shapes are built here row by row, a pixel belonging to the
// shape when its centre does.
#pragma once

#include "platform/gdi/Gdi.h"

namespace dcs {

HRGN CreateEllipticRgn(int X1, int Y1, int X2, int Y2);
// W, H: the size of the ellipse that rounds each corner.
HRGN CreateRoundRectRgn(int X1, int Y1, int X2, int Y2, int W, int H);

}  // namespace dcs
