#include "platform/win/Regions.h"

namespace dcs {

namespace {

// Inside the ellipse inscribed in R, tested at the pixel centre.
bool InEllipse(const TRect& R, double X, double Y)
{
    double rx = R.Width() / 2.0, ry = R.Height() / 2.0;
    if (rx <= 0 || ry <= 0)
        return false;
    double dx = (X - (R.Left + rx)) / rx, dy = (Y - (R.Top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0;
}

bool ShapeContains(const TRegionShape& S, TPoint P)
{
    if (!S.Bounds.Contains(P))
        return false;
    double x = P.X + 0.5, y = P.Y + 0.5;
    switch (S.Kind) {
    case TRegionShape::rkRect:
        return true;
    case TRegionShape::rkEllipse:
        return InEllipse(S.Bounds, x, y);
    case TRegionShape::rkRoundRect: {
        const TRect& b = S.Bounds;
        int ew = std::min(S.EllipseW, b.Width()), eh = std::min(S.EllipseH, b.Height());
        // Outside the corner squares the rounded rectangle is the rectangle itself.
        bool left = x < b.Left + ew / 2.0, right = x > b.Right - ew / 2.0;
        bool top = y < b.Top + eh / 2.0, bottom = y > b.Bottom - eh / 2.0;
        if (!((left || right) && (top || bottom)))
            return true;
        int cx = left ? b.Left : b.Right - ew, cy = top ? b.Top : b.Bottom - eh;
        return InEllipse(TRect::Bounds(cx, cy, ew, eh), x, y);
    }
    }
    return false;
}

HRGN Make(TRegionShape S)
{
    auto* r = new TRegion;
    r->Shapes.push_back(S);
    return r;
}

}  // namespace

bool TRegion::Contains(TPoint P) const
{
    for (const auto& s : Shapes)
        if (ShapeContains(s, P))
            return true;
    return false;
}

TRect TRegion::BoundingBox() const
{
    TRect r;
    for (const auto& s : Shapes)
        r = r.Union(s.Bounds);
    return r;
}

HRGN CreateRectRgn(int X1, int Y1, int X2, int Y2)
{
    return Make({TRegionShape::rkRect, {X1, Y1, X2, Y2}});
}

HRGN CreateEllipticRgn(int X1, int Y1, int X2, int Y2)
{
    return Make({TRegionShape::rkEllipse, {X1, Y1, X2, Y2}});
}

HRGN CreateRoundRectRgn(int X1, int Y1, int X2, int Y2, int W, int H)
{
    return Make({TRegionShape::rkRoundRect, {X1, Y1, X2, Y2}, W, H});
}

void CombineRgnOr(HRGN Dest, HRGN Src1, HRGN Src2)
{
    std::vector<TRegionShape> shapes = Src1->Shapes;
    shapes.insert(shapes.end(), Src2->Shapes.begin(), Src2->Shapes.end());
    Dest->Shapes = std::move(shapes);
}

bool PtInRegion(HRGN Rgn, int X, int Y)
{
    return Rgn && Rgn->Contains({X, Y});
}

bool DeleteObject(HRGN Rgn)
{
    delete Rgn;
    return Rgn != nullptr;
}

}  // namespace dcs
