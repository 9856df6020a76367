#include "platform/win/Regions.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dcs {

namespace {

// Half the width of the ellipse inscribed in a W x H box, at height Dy from its centre.
double HalfSpan(double W, double H, double Dy)
{
    double rx = W / 2, ry = H / 2;
    if (rx <= 0 || ry <= 0 || std::fabs(Dy) > ry)
        return -1;
    return rx * std::sqrt(std::max(0.0, 1 - (Dy / ry) * (Dy / ry)));
}

// Each row's span [Left(y), Right(y)) becomes one rectangle; equal rows merge.
template <class Span> HRGN RowsRegion(int Top, int Bottom, Span RowSpan)
{
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    int bandTop = Top, bandL = 0, bandR = 0;
    auto flush = [&](int y) {
        if (bandR > bandL && y > bandTop) {
            HRGN band = CreateRectRgn(bandL, bandTop, bandR, y);
            CombineRgn(r, r, band, RGN_OR);
            DeleteObject(band);
        }
    };
    for (int y = Top; y < Bottom; ++y) {
        auto [l, rr] = RowSpan(y + 0.5);
        if (l != bandL || rr != bandR) {
            flush(y);
            bandTop = y;
            bandL = l;
            bandR = rr;
        }
    }
    flush(Bottom);
    return r;
}

void Order(int& A, int& B)
{
    if (B < A)
        std::swap(A, B);
}

}  // namespace

HRGN CreateEllipticRgn(int X1, int Y1, int X2, int Y2)
{
    Order(X1, X2);
    Order(Y1, Y2);
    double cx = (X1 + X2) / 2.0, cy = (Y1 + Y2) / 2.0;
    return RowsRegion(Y1, Y2, [&](double Y) {
        double h = HalfSpan(X2 - X1, Y2 - Y1, Y - cy);
        if (h < 0)
            return std::pair<int, int> {0, 0};
        // Pixel x belongs when its centre x + 0.5 lies within [cx - h, cx + h].
        return std::pair<int, int> {int(std::ceil(cx - h - 0.5)), int(std::floor(cx + h - 0.5)) + 1};
    });
}

HRGN CreateRoundRectRgn(int X1, int Y1, int X2, int Y2, int W, int H)
{
    Order(X1, X2);
    Order(Y1, Y2);
    W = std::clamp(W, 0, X2 - X1);
    H = std::clamp(H, 0, Y2 - Y1);
    return RowsRegion(Y1, Y2, [&](double Y) {
        double dy = 0;
        if (Y < Y1 + H / 2.0)
            dy = Y - (Y1 + H / 2.0);
        else if (Y > Y2 - H / 2.0)
            dy = Y - (Y2 - H / 2.0);
        double inset = 0;
        if (dy != 0) {
            double h = HalfSpan(W, H, dy);
            inset = h < 0 ? (X2 - X1) / 2.0 : W / 2.0 - h;
        }
        return std::pair<int, int> {int(std::ceil(X1 + inset - 0.5)), int(std::floor(X2 - inset - 0.5)) + 1};
    });
}

}  // namespace dcs
