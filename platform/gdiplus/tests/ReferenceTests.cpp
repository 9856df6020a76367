#include "Surface.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace dcs::gdiplus::test {
namespace {

// ImageMagick's own program (not anything else answering to the name on the path).
const char* Convert()
{
    static const char* path = access("/usr/bin/convert", X_OK) == 0 ? "/usr/bin/convert" : nullptr;
    return path;
}

// Root mean square difference of the colour channels, 0..1.
double Rmse(const Surface& ours, GpBitmap* ref)
{
    double sum = 0;
    for (int y = 0; y < ours.H; ++y)
        for (int x = 0; x < ours.W; ++x) {
            ARGB a = ours.At(x, y), b = 0;
            GdipBitmapGetPixel(ref, x, y, &b);
            for (int sh = 0; sh < 24; sh += 8) {
                double d = (int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF)) / 255.0;
                sum += d * d;
            }
        }
    return std::sqrt(sum / (3.0 * ours.W * ours.H));
}

// Anti-aliased shapes against the same shapes drawn by ImageMagick (`convert -draw`),
// whose pixel centres also lie on integer coordinates. ImageMagick covers a pixel whose
// centre lies on an edge fully (its coverage sits half a pixel further out), which
// leaves an RMSE of 0.07-0.08 on these shapes; the same shapes one pixel off give 0.107
// and more. Tolerance: RMSE below 0.09 of the full channel range.
TEST(GdipReference, AntiAliasedShapesMatchImageMagick)
{
    if (!Convert())
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* Name;
        const char* Draw;
        std::function<Status(GpGraphics*)> Ours;
    } cases[] = {
        {"ellipse", "-fill black -stroke none -draw \"ellipse 32,24 20,12 0,360\"",
         [](GpGraphics* g) {
             GpSolidFill* b = nullptr;
             GdipCreateSolidFill(0xFF000000, &b);
             Status st = GdipFillEllipse(g, b, 12, 12, 40, 24);
             GdipDeleteBrush(b);
             return st;
         }},
        {"polygon", "-fill black -stroke none -draw \"polygon 5,5 60,12 28,44\"",
         [](GpGraphics* g) {
             GpSolidFill* b = nullptr;
             GdipCreateSolidFill(0xFF000000, &b);
             GpPointF pts[3] = {{5, 5}, {60, 12}, {28, 44}};
             Status st = GdipFillPolygon(g, b, pts, 3, FillModeAlternate);
             GdipDeleteBrush(b);
             return st;
         }},
    };
    for (const Case& c : cases) {
        std::string file = (std::filesystem::temp_directory_path() /
                            ("dcs-reference-" + std::to_string(getpid()) + "-" + c.Name + ".png"))
                               .string();
        std::string cmd = std::string(Convert()) + " -size 64x48 xc:white " + c.Draw + " -depth 8 PNG24:" + file;
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        GpBitmap* ref = nullptr;
        std::u16string wfile = W16(file.c_str());
        ASSERT_EQ(GdipCreateBitmapFromFile(wfile.c_str(), &ref), Ok) << c.Name;
        std::filesystem::remove(file);
        Surface ours(64, 48);
        GdipSetSmoothingMode(ours.Graphics, SmoothingModeAntiAlias);
        ASSERT_EQ(c.Ours(ours.Graphics), Ok) << c.Name;
        ours.Dump(std::string("reference-") + c.Name);
        double rmse = Rmse(ours, ref);
        EXPECT_LT(rmse, 0.09) << c.Name;
        GdipDisposeImage(ref);
    }
}

}  // namespace
}  // namespace dcs::gdiplus::test
