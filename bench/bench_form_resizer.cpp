// Rescaling a form of 150 recorded controls (panels, labels, buttons) on WM_SIZE, through
// the kit's window procedure, against the reference of moving the same controls to the
// same bounds directly with SetBounds; the "ratio" counter is rescale time / reference
// time. The form is never shown, so no repaint is measured.
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "ui/resize/FormResizer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace dcs {
namespace {

constexpr int kControls = 150;
const TSize kSizes[2] = {{1815, 1104}, {1210, 736}};

TForm* MakeForm()
{
    TForm* f = Create<TForm>(nullptr);
    f->SetName("Form1");
    f->SetBounds(0, 0, 1210, 736);
    for (int i = 0; i < kControls; ++i) {
        TControl* c = nullptr;
        switch (i % 3) {
        case 0: c = Create<TPanel>(f); break;
        case 1: c = Create<TLabel>(f); break;
        default: c = Create<TButton>(f); break;
        }
        c->SetName("C" + std::to_string(i));
        c->SetParent(f);
        c->SetAutoSize(false);
        c->SetBounds(10 + (i % 15) * 80, 10 + (i / 15) * 70, 70, 60);
    }
    auto* kit = Create<TFormResizer>(f);
    kit->SetName("FormResizer1");
    kit->SetDesignLayout(1210, 736, 96, 96);
    kit->Loaded();
    return f;
}

std::vector<std::vector<TRect>> LayoutsAfterResize(TForm* F)
{
    std::vector<std::vector<TRect>> layouts(2);
    for (int k = 0; k < 2; ++k) {
        SendMessage(F->Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(kSizes[k].cx, kSizes[k].cy));
        for (int i = 0; i < kControls; ++i)
            layouts[k].push_back(static_cast<TControl*>(F->Components(i))->BoundsRect());
    }
    return layouts;
}

double DirectMovesSeconds(TForm* F, const std::vector<std::vector<TRect>>& Layouts, int Rounds)
{
    auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < Rounds; ++r)
        for (int i = 0; i < kControls; ++i) {
            const TRect& b = Layouts[r & 1][i];
            static_cast<TControl*>(F->Components(i))->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / Rounds;
}

void DrainMessages()
{
    TMsg m;
    while (PeekMessage(m, true)) {}
}

void BM_Rescale150Controls(benchmark::State& State)
{
    TOwned<TForm> f(MakeForm());
    auto layouts = LayoutsAfterResize(f.get());
    double rescale = 0;
    int64_t rounds = 0;
    for (auto _ : State) {
        const TSize& s = kSizes[rounds & 1];
        auto t0 = std::chrono::steady_clock::now();
        SendMessage(f->Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(s.cx, s.cy));
        rescale += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ++rounds;
    }
    double reference = DirectMovesSeconds(f.get(), layouts, 50);
    State.counters["ms_per_rescale"] = rescale / double(rounds) * 1e3;
    State.counters["ratio"] = (rescale / double(rounds)) / reference;
    DrainMessages();
}
BENCHMARK(BM_Rescale150Controls)->Unit(benchmark::kMicrosecond);

void BM_ReferenceDirectMoves150Controls(benchmark::State& State)
{
    TOwned<TForm> f(MakeForm());
    auto layouts = LayoutsAfterResize(f.get());
    // Two rounds, so the controls really move each time (there and back).
    for (auto _ : State)
        benchmark::DoNotOptimize(DirectMovesSeconds(f.get(), layouts, 2));
    DrainMessages();
}
BENCHMARK(BM_ReferenceDirectMoves150Controls)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace dcs
