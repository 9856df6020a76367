// The smooth controls as the application paints them, through the form's compositor:
// one 90x480 track-bar frame with the glow running (budget 2 ms) and a full repaint of a
// 1210x736 form holding 50 toggles, 19 buttons, 16 LEDs, 20 labels and 6 track bars
// (budget 30 ms). Each is compared with its budget and with the reference of one plain
// fill of the same backbuffer, measured in the same run; the ratios print at the end.
#include "platform/controls/Forms.h"
#include "platform/win/Application.h"
#include "ui/controls/SmoothButton.h"
#include "ui/controls/SmoothLabel.h"
#include "ui/controls/SmoothLedLabel.h"
#include "ui/controls/SmoothToggleButton.h"
#include "ui/controls/SmoothTrackBar.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

namespace dcs::smooth {
namespace {

struct Gui {
    Gui()
    {
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
    }
    ~Gui()
    {
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
    }
    // Lets the control timers run for Ms of the manual clock.
    void Run(int Ms)
    {
        for (int t = 0; t < Ms; t += 10) {
            Clock.Advance(10);
            App->ProcessMessages();
        }
    }
    TManualClock Clock;
    TApplication* App = nullptr;
};

template <class T> T* Put(TForm* F, int X, int Y, int W, int H)
{
    T* c = Create<T>(F);
    c->SetBounds(X, Y, W, H);
    c->SetParent(F);
    return c;
}

void Repaint(TForm* F, const TRect* Area)
{
    InvalidateRect(F->Handle(), Area, true);
    F->PaintNow();
}

void BM_TrackBarFrameWithGlow(benchmark::State& state)
{
    Gui gui;
    TOwned<TForm> f(Create<TForm>(nullptr));
    f->SetBounds(0, 0, 200, 500);
    auto* bar = Put<TSmoothTrackBar>(f.get(), 10, 10, 90, 480);
    bar->SetComponentStyle(tsOffice2007Luna);
    bar->Font()->SetName("Tahoma");
    f->Show();
    bar->SetPosition(60);
    gui.Run(200);  // the glow is on its way up the bar
    if (!bar->GlowRunning())
        state.SkipWithError("the glow is not running");
    const TRect area = bar->BoundsRect();
    for (auto _ : state)
        Repaint(f.get(), &area);
}
BENCHMARK(BM_TrackBarFrameWithGlow)->Unit(benchmark::kMillisecond);

void BM_MainFormRepaint1210x736(benchmark::State& state)
{
    Gui gui;
    TOwned<TForm> f(Create<TForm>(nullptr));
    f->SetBounds(0, 0, 1210, 736);
    for (int i = 0; i < 50; ++i) {
        auto* t = Put<TSmoothToggleButton>(f.get(), 10 + (i % 5) * 150, 10 + (i / 5) * 45, 140, 35);
        t->SetCaption("Preset " + std::to_string(i + 1));
        t->SetDown(i % 7 == 0);
    }
    for (int i = 0; i < 19; ++i) {
        auto* b = Put<TSmoothButton>(f.get(), 770 + (i % 3) * 140, 10 + (i / 3) * 45, 130, 35);
        b->SetCaption(i % 2 ? "Start" : "Stop");
        b->SetColor(0x6E9E2E);
    }
    for (int i = 0; i < 16; ++i) {
        auto* led = Put<TSmoothLedLabel>(f.get(), 10 + (i % 8) * 95, 470 + (i / 8) * 45, 90, 40);
        led->Caption()->SetFormat(i % 2 ? "00:00" : "000");
        led->Caption()->SetValue(i % 2 ? 1459 : 50);
    }
    for (int i = 0; i < 20; ++i) {
        auto* l = Put<TSmoothLabel>(f.get(), 10 + (i % 5) * 150, 570 + (i / 5) * 40, 145, 36);
        l->Caption()->Font()->SetSize(12);
        l->Caption()->SetText("Essentials " + std::to_string(i));
        l->SetCaptionShadowVisible(true);
    }
    for (int i = 0; i < 6; ++i) {
        auto* bar = Put<TSmoothTrackBar>(f.get(), 780 + i * 70, 330, 65, 390);
        bar->SetComponentStyle(tsOffice2007Luna);
        bar->SetPosition(20 * (i % 5));
    }
    f->Show();
    gui.Run(600);  // every glow has come to rest
    for (auto _ : state)
        Repaint(f.get(), nullptr);
}
BENCHMARK(BM_MainFormRepaint1210x736)->Unit(benchmark::kMillisecond);

// The reference: one plain fill of a backbuffer of the form's size.
void BM_ReferencePlainFill1210x736(benchmark::State& state)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1210, 736);
    int i = 0;
    for (auto _ : state) {
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, (++i & 1) ? 0.9 : 0.8, 0.9, 0.9);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(s);
    }
    cairo_surface_destroy(s);
}
BENCHMARK(BM_ReferencePlainFill1210x736)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dcs::smooth

int main(int argc, char** argv)
{
    setenv("FONTCONFIG_FILE", DCS_FONTCONFIG_FILE, 0);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double* fill = reporter.Time("BM_ReferencePlainFill1210x736");
    const struct {
        const char* Name;
        const char* What;
        double Budget;
    } budgets[] = {{"BM_TrackBarFrameWithGlow", "track bar 90x480 frame with glow", 2},
                   {"BM_MainFormRepaint1210x736", "form 1210x736, 111 smooth controls", 30}};
    for (const auto& b : budgets)
        if (const double* t = reporter.Time(b.Name)) {
            std::printf("%s: %.3f ms, %.2fx its budget of %.0f ms", b.What, *t, *t / b.Budget, b.Budget);
            if (fill)
                std::printf(", %.1fx the plain fill of %.3f ms", *t / *fill, *fill);
            std::printf("\n");
        }
    benchmark::Shutdown();
    return 0;
}
