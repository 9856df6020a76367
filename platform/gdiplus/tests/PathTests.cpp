#include "Surface.h"

#include <vector>

namespace dcs::gdiplus::test {
namespace {

struct Path {
    Path() { GdipCreatePath(FillModeAlternate, &P); }
    ~Path() { GdipDeletePath(P); }
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;
    std::vector<GpPointF> Points() const
    {
        INT n = 0;
        GdipGetPointCount(P, &n);
        std::vector<GpPointF> r(static_cast<size_t>(n));
        if (n)
            GdipGetPathPoints(P, r.data(), n);
        return r;
    }
    std::vector<BYTE> Types() const
    {
        INT n = 0;
        GdipGetPointCount(P, &n);
        std::vector<BYTE> r(static_cast<size_t>(n));
        if (n)
            GdipGetPathTypes(P, r.data(), n);
        return r;
    }
    GpPath* P = nullptr;
};

void ExpectPoint(const GpPointF& p, float x, float y, const char* what)
{
    EXPECT_NEAR(p.X, x, 1e-3) << what;
    EXPECT_NEAR(p.Y, y, 1e-3) << what;
}

// The rounded rectangle of the fill painter: clockwise from the top-left corner, each
// corner an arc of 90 degrees, joined by the path's implicit lines, closed.
TEST(GdipPaths, RoundedRectanglePointsFollowTheArcOrder)
{
    Path p;
    const float X = 10, Y = 20, W = 100, H = 40, R = 8, D = 16;
    GdipAddPathArc(p.P, X, Y, D, D, 180, 90);
    GdipAddPathLine(p.P, X + R, Y, X + W - R, Y);
    GdipAddPathArc(p.P, X + W - D, Y, D, D, 270, 90);
    GdipAddPathLine(p.P, X + W, Y + R, X + W, Y + H - R);
    GdipAddPathArc(p.P, X + W - D, Y + H - D, D, D, 0, 90);
    GdipAddPathLine(p.P, X + W - R, Y + H, X + R, Y + H);
    GdipAddPathArc(p.P, X, Y + H - D, D, D, 90, 90);
    GdipAddPathLine(p.P, X, Y + H - R, X, Y + R);
    GdipClosePathFigure(p.P);

    auto pts = p.Points();
    auto types = p.Types();
    // Each arc is one Bézier (4 points); lines repeat no point the previous piece ended on.
    ASSERT_EQ(pts.size(), 17u);
    ExpectPoint(pts[0], X, Y + R, "top-left arc start");
    ExpectPoint(pts[3], X + R, Y, "top-left arc end");
    ExpectPoint(pts[4], X + W - R, Y, "top edge end");
    ExpectPoint(pts[7], X + W, Y + R, "top-right arc end");
    ExpectPoint(pts[8], X + W, Y + H - R, "right edge end");
    ExpectPoint(pts[11], X + W - R, Y + H, "bottom-right arc end");
    ExpectPoint(pts[12], X + R, Y + H, "bottom edge end");
    ExpectPoint(pts[15], X, Y + H - R, "bottom-left arc end");
    ExpectPoint(pts[16], X, Y + R, "left edge end");
    std::vector<BYTE> expected {0, 3, 3, 3, 1, 3, 3, 3, 1, 3, 3, 3, 1, 3, 3, 3, 1 | 0x80};
    EXPECT_EQ(types, expected);

    GpRectF b;
    GdipGetPathWorldBounds(p.P, &b, nullptr, nullptr);
    EXPECT_NEAR(b.X, X, 1e-3);
    EXPECT_NEAR(b.Width, W, 1e-3);
}

TEST(GdipPaths, ShapesHaveTheirPointCountsAndTypes)
{
    struct Case {
        const char* Name;
        Status (*Add)(GpPath*);
        size_t Count;
        BYTE LastType;
    } cases[] = {
        {"rectangle", [](GpPath* p) { return GdipAddPathRectangle(p, 0, 0, 4, 3); }, 4, 0x81},
        {"ellipse", [](GpPath* p) { return GdipAddPathEllipse(p, 0, 0, 4, 3); }, 13, 0x83},
        {"pie", [](GpPath* p) { return GdipAddPathPie(p, 0, 0, 4, 4, 0, 90); }, 5, 0x83},
        {"polygon",
         [](GpPath* p) {
             GpPointF t[3] = {{0, 0}, {1, 0}, {0, 1}};
             return GdipAddPathPolygon(p, t, 3);
         },
         3, 0x81},
        {"curve",
         [](GpPath* p) {
             GpPointF t[3] = {{0, 0}, {1, 1}, {2, 0}};
             return GdipAddPathCurve(p, t, 3);
         },
         7, 0x03},
        {"half arc", [](GpPath* p) { return GdipAddPathArc(p, 0, 0, 10, 10, 0, 180); }, 7, 0x03},
    };
    for (const Case& c : cases) {
        Path p;
        ASSERT_EQ(c.Add(p.P), Ok) << c.Name;
        auto t = p.Types();
        ASSERT_EQ(t.size(), c.Count) << c.Name;
        EXPECT_EQ(t.front(), 0) << c.Name;
        EXPECT_EQ(t.back(), c.LastType) << c.Name;
    }
    // Angles run clockwise (y down): the arc from 0 sweeping 90 ends at the bottom.
    Path arc;
    GdipAddPathArc(arc.P, 0, 0, 10, 10, 0, 90);
    auto pts = arc.Points();
    ExpectPoint(pts.front(), 10, 5, "arc start");
    ExpectPoint(pts.back(), 5, 10, "arc end");
}

TEST(GdipPaths, StringOutlinesAndMatrixOrder)
{
    Path p;
    GpFontFamily* fam = nullptr;
    ASSERT_EQ(GdipCreateFontFamilyFromName(u"Arial", nullptr, &fam), Ok);
    GpRectF r {0, 0, 0, 0};
    ASSERT_EQ(GdipAddPathString(p.P, u"Hi", -1, fam, 0, 20, &r, nullptr), Ok);
    GdipDeleteFontFamily(fam);
    auto pts = p.Points();
    EXPECT_GT(pts.size(), 8u);
    GpRectF b;
    GdipGetPathWorldBounds(p.P, &b, nullptr, nullptr);
    EXPECT_GT(b.Height, 10);
    EXPECT_LT(b.Height, 20);

    // Prepend acts first on points: translate then scale gives (1+1)*2.
    GpMatrix* m = nullptr;
    GdipCreateMatrix(&m);
    GdipScaleMatrix(m, 2, 2, MatrixOrderPrepend);
    GdipTranslateMatrix(m, 1, 0, MatrixOrderPrepend);
    GpPointF pt {1, 0};
    GdipTransformMatrixPoints(m, &pt, 1);
    EXPECT_FLOAT_EQ(pt.X, 4);
    GdipTranslateMatrix(m, 1, 0, MatrixOrderAppend);
    pt = {1, 0};
    GdipTransformMatrixPoints(m, &pt, 1);
    EXPECT_FLOAT_EQ(pt.X, 5);
    GdipDeleteMatrix(m);
}

}  // namespace
}  // namespace dcs::gdiplus::test
