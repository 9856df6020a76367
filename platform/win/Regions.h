// Window shapes for SetWindowRgn: unions of rectangles, ellipses and rounded rectangles,
// in the window's own coordinates. A point test is all the window layer needs of them;
// the drawing layer clips to the same shapes.
#pragma once

#include "platform/win/Geometry.h"

#include <vector>

namespace dcs {

struct TRegionShape {
    enum TKind { rkRect, rkEllipse, rkRoundRect } Kind = rkRect;
    TRect Bounds;
    int EllipseW = 0;  // corner ellipse of a rounded rectangle
    int EllipseH = 0;
};

class TRegion {
public:
    std::vector<TRegionShape> Shapes;  // their union

    bool Contains(TPoint P) const;
    TRect BoundingBox() const;
};

// A region handle owns its region until SetWindowRgn takes it over.
using HRGN = TRegion*;

HRGN CreateRectRgn(int X1, int Y1, int X2, int Y2);
HRGN CreateEllipticRgn(int X1, int Y1, int X2, int Y2);
HRGN CreateRoundRectRgn(int X1, int Y1, int X2, int Y2, int W, int H);
// Dest := Src1 united with Src2 (the only combination the window layer needs).
void CombineRgnOr(HRGN Dest, HRGN Src1, HRGN Src2);
bool PtInRegion(HRGN Rgn, int X, int Y);
bool DeleteObject(HRGN Rgn);

}  // namespace dcs
