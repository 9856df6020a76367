// A full repaint of a form the size of the main window (1210 x 736) holding 50 controls
// (panels, labels, buttons, list boxes and images), against the reference of one plain
// fill of the same backbuffer; the "ratio" counter is repaint time / reference time.
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>

namespace dcs {
namespace {

TForm* MakeForm()
{
    TForm* f = Create<TForm>(nullptr);
    f->SetBounds(0, 0, 1210, 736);
    TGraphic pic;
    pic.SetSize(64, 48);
    int n = 0;
    for (int row = 0; row < 5; ++row) {
        auto* panel = Create<TPanel>(f);
        panel->SetBounds(10, 10 + row * 140, 580, 130);
        panel->SetParent(f);
        ++n;
        for (int i = 0; i < 3; ++i) {
            auto* l = Create<TLabel>(f);
            l->SetCaption("Preset toggle " + std::to_string(i));
            l->SetBounds(10 + i * 180, 10, 0, 0);
            l->SetParent(panel);
            auto* b = Create<TButton>(f);
            b->SetCaption("Start");
            b->SetBounds(10 + i * 180, 60, 120, 30);
            b->SetParent(panel);
            n += 2;
        }
        auto* img = Create<TImage>(f);
        img->Picture()->SetGraphic(&pic);
        img->SetStretch(true);
        img->SetBounds(610, 10 + row * 140, 200, 130);
        img->SetParent(f);
        auto* list = Create<TListBox>(f);
        for (int i = 0; i < 12; ++i)
            list->Items().Add("Device " + std::to_string(i));
        list->SetBounds(830, 10 + row * 140, 360, 130);
        list->SetParent(f);
        n += 2;
    }
    while (n < 50) {
        auto* l = Create<TLabel>(f);
        l->SetCaption("Status");
        l->SetBounds(10 + (n % 10) * 100, 712, 0, 0);
        l->SetParent(f);
        ++n;
    }
    f->Show();
    return f;
}

double PlainFillSeconds(cairo_surface_t* S, int Rounds)
{
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < Rounds; ++i) {
        cairo_t* cr = cairo_create(S);
        cairo_set_source_rgb(cr, (i & 1) ? 0.9 : 0.8, 0.9, 0.9);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(S);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / Rounds;
}

void BM_FullRepaint1210x736With50Controls(benchmark::State& state)
{
    TOwned<TForm> f(MakeForm());
    f->PaintNow();
    double repaint = 0;
    int64_t rounds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        InvalidateRect(f->Handle(), nullptr, true);
        f->PaintNow();
        repaint += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ++rounds;
    }
    double reference = PlainFillSeconds(f->Backbuffer().Surface(), 50);
    state.counters["ms_per_repaint"] = repaint / double(rounds) * 1e3;
    state.counters["ratio"] = (repaint / double(rounds)) / reference;
    TMsg m;
    while (PeekMessage(m, true)) {}
}
BENCHMARK(BM_FullRepaint1210x736With50Controls)->Unit(benchmark::kMillisecond);

void BM_ReferencePlainFill1210x736(benchmark::State& state)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1210, 736);
    for (auto _ : state)
        benchmark::DoNotOptimize(PlainFillSeconds(s, 1));
    cairo_surface_destroy(s);
}
BENCHMARK(BM_ReferencePlainFill1210x736)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dcs
