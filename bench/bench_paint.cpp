// The hot paint path of the smooth controls: a full repaint of 50 rounded gradient
// buttons with shadows and captions on a 1210x736 surface, each button making and freeing
// its own paths, brushes, pens, font and string format as the controls do. The budget
// is 30 ms per repaint; the reference is the same scene painted with plain cairo and
// pango calls (a solid shadow, no gamma correction). The ratio is printed at the end.
// Set DCS_PAINT_DUMP=<file.png> to write the painted surface out for looking at.
#include "platform/gdiplus/GdiPlus.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace dcs::gdiplus {
namespace {

constexpr int kWidth = 1210, kHeight = 736, kColumns = 10, kRows = 5;

void RoundRect(GpPath* p, REAL x, REAL y, REAL w, REAL h, REAL r, bool top, bool bottom)
{
    REAL d = 2 * r;
    if (top) {
        GdipAddPathArc(p, x, y, d, d, 180, 90);
        GdipAddPathArc(p, x + w - d, y, d, d, 270, 90);
    } else {
        GdipAddPathLine(p, x, y, x + w, y);
    }
    if (bottom) {
        GdipAddPathArc(p, x + w - d, y + h - d, d, d, 0, 90);
        GdipAddPathArc(p, x, y + h - d, d, d, 90, 90);
    } else {
        GdipAddPathLine(p, x + w, y + h, x, y + h);
    }
    GdipClosePathFigure(p);
}

void FillHalf(GpGraphics* g, GpRectF r, ARGB from, ARGB to, bool top)
{
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    RoundRect(path, r.X, r.Y, r.Width, r.Height, 8, top, !top);
    GpRectF grown {r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2};
    GpLineGradient* brush = nullptr;
    GdipCreateLineBrushFromRect(&grown, from, to, LinearGradientModeVertical, WrapModeTile, &brush);
    GdipSetLineGammaCorrection(brush, 1);
    GdipFillPath(g, brush, path);
    GdipDeleteBrush(brush);
    GdipDeletePath(path);
}

void PaintButton(GpGraphics* g, int index, REAL x, REAL y, REAL w, REAL h)
{
    GdipSetSmoothingMode(g, SmoothingModeAntiAlias);
    // Shadow: a soft rim fading out to the outline.
    GpPath* shadowPath = nullptr;
    GdipCreatePath(FillModeAlternate, &shadowPath);
    RoundRect(shadowPath, x + 2, y + 2, w - 2, h - 2, 8, true, true);
    GpPathGradient* shadow = nullptr;
    GdipCreatePathGradientFromPath(shadowPath, &shadow);
    GdipSetPathGradientWrapMode(shadow, WrapModeClamp);
    ARGB colors[3] = {0x00000000, 0xB4808080, 0xB4808080};
    REAL positions[3] = {0, 0.1f, 1};
    GdipSetPathGradientPresetBlend(shadow, colors, positions, 3);
    GdipFillPath(g, shadow, shadowPath);
    GdipDeleteBrush(shadow);
    GdipDeletePath(shadowPath);

    GpRectF face {x, y, w - 6, h - 4};
    REAL half = face.Height / 2;
    FillHalf(g, {face.X, face.Y, face.Width, half + 1}, 0xFFF4F8FF, 0xFFC4D8F0, true);
    FillHalf(g, {face.X, face.Y + half - 1, face.Width, half + 1}, 0xFFA8C4E8, 0xFFD0E4FF, false);

    GpPath* outline = nullptr;
    GdipCreatePath(FillModeAlternate, &outline);
    RoundRect(outline, face.X, face.Y, face.Width, face.Height, 8, true, true);
    GpPen* pen = nullptr;
    GdipCreatePen1(0xFF5070A0, 1, UnitWorld, &pen);
    GdipDrawPath(g, pen, outline);
    GdipDeletePen(pen);
    GdipDeletePath(outline);

    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(u"Segoe UI", nullptr, &family) != Ok)
        GdipCreateFontFamilyFromName(u"Arial", nullptr, &family);
    GpFont* font = nullptr;
    GdipCreateFont(family, 9, FontStyleRegular, UnitPoint, &font);
    GpStringFormat* format = nullptr;
    GdipCreateStringFormat(0, 0, &format);
    GdipSetStringFormatAlign(format, StringAlignmentCenter);
    GdipSetStringFormatLineAlign(format, StringAlignmentCenter);
    GdipSetStringFormatHotkeyPrefix(format, HotkeyPrefixShow);
    GdipSetTextRenderingHint(g, TextRenderingHintClearTypeGridFit);
    GpSolidFill* text = nullptr;
    GdipCreateSolidFill(0xFF102040, &text);
    std::u16string caption = u"&Preset " + std::u16string(1, char16_t(u'A' + index % 26)) + char16_t(u'0' + index / 26);
    GdipDrawString(g, caption.c_str(), INT(caption.size()), font, &face, format, text);
    GdipDeleteBrush(text);
    GdipDeleteStringFormat(format);
    GdipDeleteFont(font);
    GdipDeleteFontFamily(family);
}

void Repaint(GpGraphics* g)
{
    GdipGraphicsClear(g, 0xFFECE9D8);
    const REAL cw = REAL(kWidth) / kColumns, ch = REAL(kHeight) / kRows;
    for (int i = 0; i < kColumns * kRows; ++i)
        PaintButton(g, i, (i % kColumns) * cw + 6, (i / kColumns) * ch + 50, cw - 12, 44);
}

void BM_RepaintButtons(benchmark::State& state)
{
    GpBitmap* bmp = nullptr;
    GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat32bppPARGB, nullptr, &bmp);
    GpGraphics* g = nullptr;
    GdipGetImageGraphicsContext(bmp, &g);
    for (auto _ : state)
        Repaint(g);
    if (const char* dump = std::getenv("DCS_PAINT_DUMP")) {
        HBITMAP hbm = nullptr;
        GdipCreateHBITMAPFromBitmap(bmp, &hbm, 0xFFFFFFFF);
        int stride = 0;
        uint32_t* bits = GetBitmapBits32(hbm, &stride);
        cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bits),
                                                                 CAIRO_FORMAT_ARGB32, kWidth, kHeight, stride);
        cairo_surface_write_to_png(s, dump);
        cairo_surface_destroy(s);
        DeleteObject(hbm);
    }
    GdipDeleteGraphics(g);
    GdipDisposeImage(bmp);
}
BENCHMARK(BM_RepaintButtons)->Unit(benchmark::kMillisecond);

// The reference: the same shapes through cairo and pango directly.
void CairoRoundRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void BM_RepaintButtonsPlainCairo(benchmark::State& state)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
    PangoFontDescription* desc = pango_font_description_from_string("DejaVu Sans 9");
    for (auto _ : state) {
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0.92, 0.91, 0.85);
        cairo_paint(cr);
        const double cw = double(kWidth) / kColumns, ch = double(kHeight) / kRows;
        for (int i = 0; i < kColumns * kRows; ++i) {
            double x = (i % kColumns) * cw + 6, y = (i / kColumns) * ch + 50, w = cw - 18, h = 40;
            CairoRoundRect(cr, x + 2, y + 2, w + 4, h + 2, 8);
            cairo_set_source_rgba(cr, 0.5, 0.5, 0.5, 0.7);
            cairo_fill(cr);
            cairo_pattern_t* pat = cairo_pattern_create_linear(0, y, 0, y + h);
            cairo_pattern_add_color_stop_rgb(pat, 0, 0.96, 0.97, 1);
            cairo_pattern_add_color_stop_rgb(pat, 0.5, 0.77, 0.85, 0.94);
            cairo_pattern_add_color_stop_rgb(pat, 0.5, 0.66, 0.77, 0.91);
            cairo_pattern_add_color_stop_rgb(pat, 1, 0.82, 0.89, 1);
            CairoRoundRect(cr, x, y, w, h, 8);
            cairo_set_source(cr, pat);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(pat);
            cairo_set_source_rgb(cr, 0.31, 0.44, 0.63);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            PangoLayout* layout = pango_cairo_create_layout(cr);
            pango_layout_set_font_description(layout, desc);
            std::string caption = "Preset " + std::string(1, char('A' + i % 26)) + char('0' + i / 26);
            pango_layout_set_text(layout, caption.c_str(), -1);
            int tw = 0, th = 0;
            pango_layout_get_pixel_size(layout, &tw, &th);
            cairo_move_to(cr, x + (w - tw) / 2, y + (h - th) / 2);
            cairo_set_source_rgb(cr, 0.06, 0.12, 0.25);
            pango_cairo_show_layout(cr, layout);
            g_object_unref(layout);
        }
        cairo_destroy(cr);
    }
    pango_font_description_free(desc);
    cairo_surface_destroy(s);
}
BENCHMARK(BM_RepaintButtonsPlainCairo)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration to print the ratio after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.iterations > 0)
                Times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;  // milliseconds
};

}  // namespace
}  // namespace dcs::gdiplus

int main(int argc, char** argv)
{
    // Text is measured in the project's pinned fonts.
    setenv("FONTCONFIG_FILE", DCS_FONTCONFIG_FILE, 0);
    benchmark::Initialize(&argc, argv);
    dcs::gdiplus::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.Times;
    if (t.count("BM_RepaintButtons") && t.count("BM_RepaintButtonsPlainCairo")) {
        double engine = t["BM_RepaintButtons"], plain = t["BM_RepaintButtonsPlainCairo"];
        std::printf("repaint of 50 buttons: %.2f ms (budget 30 ms, %.0f%% of it); %.2fx the plain cairo scene\n",
                    engine, engine / 30 * 100, engine / plain);
    }
    benchmark::Shutdown();
    return 0;
}
