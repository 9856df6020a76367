// Points, sizes and rectangles in pixels. A rectangle's right and bottom edges are
// outside it, so a point lies in it when Left <= X < Right and Top <= Y < Bottom.
#pragma once

#include <algorithm>

namespace dcs {

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TRect Bounds(int X, int Y, int W, int H) { return {X, Y, X + W, Y + H}; }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
    TPoint TopLeft() const { return {Left, Top}; }
    TRect Offset(int DX, int DY) const { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
    // Empty rectangles come out as {0,0,0,0}, so they compare equal.
    TRect Intersect(const TRect& R) const
    {
        TRect o {std::max(Left, R.Left), std::max(Top, R.Top), std::min(Right, R.Right), std::min(Bottom, R.Bottom)};
        return o.IsEmpty() ? TRect {} : o;
    }
    // An empty side leaves the other as it is.
    TRect Union(const TRect& R) const
    {
        if (IsEmpty())
            return R.IsEmpty() ? TRect {} : R;
        if (R.IsEmpty())
            return *this;
        return {std::min(Left, R.Left), std::min(Top, R.Top), std::max(Right, R.Right), std::max(Bottom, R.Bottom)};
    }
    bool operator==(const TRect&) const = default;
};

using POINT = TPoint;
using SIZE = TSize;
using RECT = TRect;

}  // namespace dcs
