// The smooth controls' painters at the sizes the application paints them: a 1208x694
// page fill with a mirror half and glow (budget 3 ms), a 160x35 glass button face with
// caption (budget 0.3 ms) and the LED text "120:00" in 200x50 (budget 0.2 ms). The
// reference of each is its budget; the ratio measured / budget is printed at the end.
#include "ui/controls/GDIPButton.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace dcs::smooth {
namespace {

struct Surface {
    Surface(int w, int h) : Bitmap(w, h), G(&Bitmap) { G.SetSmoothingMode(SmoothingModeAntiAlias); }
    TGPBitmap Bitmap;
    TGPGraphics G;
};

void BM_PageFill(benchmark::State& state)
{
    Surface s(1208, 694);
    TGDIPFill f;
    f.SetColor(0xF5E6DA);
    f.SetColorTo(0xE8CFB9);
    f.SetColorMirror(0xDCC2A8);
    f.SetColorMirrorTo(0xF0DCCB);
    f.SetGradientMirrorType(gtVertical);
    f.SetBorderColor(0x905030);
    f.SetRounding(8);
    f.SetGlow(gmRadialGradient);
    for (auto _ : state)
        benchmark::DoNotOptimize(f.Fill(&s.G, TGPRectF {0, 0, 1208, 694}));
}
BENCHMARK(BM_PageFill)->Unit(benchmark::kMillisecond);

void BM_GlassButton(benchmark::State& state)
{
    Surface s(160, 35);
    TGDIPButton b;
    b.Font()->SetName("DejaVu Sans");
    b.Font()->SetSize(9);
    for (auto _ : state)
        b.Draw(&s.G, "&Record", 0, 0, 160, 35, 0, 0, TColor(RGB(60, 120, 200)), clNone, clWhite, clBlack, true, false,
               true, false, false, rtBoth, nullptr, 0, 0, true, -1, "");
}
BENCHMARK(BM_GlassButton)->Unit(benchmark::kMillisecond);

void BM_LedText(benchmark::State& state)
{
    Surface s(200, 50);
    for (auto _ : state)
        PaintLedText(&s.G, TGPRectF {0, 0, 200, 50}, vtNormal, nullptr, HatchStyleHorizontal, 0, gtVertical, 255, 255,
                     clMaroon, clRed, 60, clGray, 0, 12000, "", "000:00");  // "120:00"
}
BENCHMARK(BM_LedText)->Unit(benchmark::kMillisecond);

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
}  // namespace dcs::smooth

int main(int argc, char** argv)
{
    setenv("FONTCONFIG_FILE", DCS_FONTCONFIG_FILE, 0);
    benchmark::Initialize(&argc, argv);
    dcs::smooth::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const struct {
        const char* Name;
        const char* What;
        double Budget;
    } budgets[] = {{"BM_PageFill", "page fill 1208x694, mirror and glow", 3},
                   {"BM_GlassButton", "glass button 160x35 with caption", 0.3},
                   {"BM_LedText", "LED \"120:00\" in 200x50", 0.2}};
    for (const auto& b : budgets)
        if (reporter.Times.count(b.Name)) {
            const double t = reporter.Times[b.Name];
            std::printf("%s: %.3f ms, %.2fx its budget of %.1f ms\n", b.What, t, t / b.Budget, b.Budget);
        }
    benchmark::Shutdown();
    return 0;
}
