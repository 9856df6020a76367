// The tab pager in the main window's shape (1210x736, seven pages, tabs 40 high): a page
// switch repainting the whole window with the new page full of smooth panels (budget
// 30 ms), and the tab strip repainted after the pointer moved onto another tab (budget
// 2 ms). The reference of each is its budget; the ratio measured / budget is printed.
#include "bench/RatioReporter.h"
#include "platform/controls/Forms.h"
#include "platform/win/Application.h"
#include "platform/win/Input.h"
#include "platform/win/PlatformFacts.h"
#include "ui/controls/SmoothPanel.h"
#include "ui/controls/SmoothTabPager.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace dcs::smooth {
namespace {

struct MainWindow {
    MainWindow()
    {
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
        Form = Create<TForm>(nullptr);
        Form->SetBounds(0, 0, 1210, 736);
        Form->Show();
        Pager = Create<TSmoothTabPager>(Form);
        Pager->SetParent(Form);
        Pager->SetBounds(0, 0, 1210, 736);
        Pager->SetTabPosition(tpTopLeft);
        Pager->TabSettings()->SetHeight(40);
        Pager->TabSettings()->SetSpacing(8);
        Pager->SetComponentStyle(tsOffice2007Luna);
        for (const char* c : {"Auto ", "Manual ", "Essentials  ", "Sports   ", "Medical   ", "About ", "Exit   "}) {
            auto* page = Create<TSmoothTabPage>(Form);
            page->SetCaption(c);
            page->SetSmoothTabPager(Pager);
            page->SetComponentStyle(tsOffice2007Luna);
        }
        // Two pages full of controls: a grid of captioned panels.
        for (int p = 0; p < 2; ++p)
            for (int i = 0; i < 48; ++i) {
                auto* panel = Create<TSmoothPanel>(Form);
                panel->SetParent(Pager->GetSmoothTabPages(p));
                panel->SetBounds(10 + (i % 8) * 148, 10 + (i / 8) * 110, 140, 100);
                panel->Fill()->SetColor(0xF5E6DA);
                panel->Fill()->SetColorTo(0xE8CFB9);
                panel->Fill()->SetBorderColor(0x905030);
                panel->Fill()->SetRounding(8);
                panel->Caption()->SetText("Preset " + std::to_string(i + 1));
            }
        Pager->SetActivePageIndex(0);
        Form->PaintNow();
        App->ProcessMessages();
    }
    ~MainWindow()
    {
        Free(Form);
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
    }
    TManualClock Clock;
    TApplication* App = nullptr;
    TForm* Form = nullptr;
    TSmoothTabPager* Pager = nullptr;
};

void BM_PageSwitch(benchmark::State& state)
{
    MainWindow w;
    int next = 1;
    for (auto _ : state) {
        w.Pager->SetActivePageIndex(next);
        w.Form->PaintNow();
        next = 1 - next;
    }
}
BENCHMARK(BM_PageSwitch)->Unit(benchmark::kMillisecond);

void BM_TabStripAfterMove(benchmark::State& state)
{
    MainWindow w;
    const TRect a = w.Pager->GetTabRect(2), b = w.Pager->GetTabRect(3);
    const TPoint pa {a.Left + 5, a.Top + 10}, pb {b.Left + 5, b.Top + 10};
    bool onA = false;
    for (auto _ : state) {
        DeliverMouse(w.Form->Handle(), WM_MOUSEMOVE, onA ? pb : pa);
        w.Form->PaintNow();
        onA = !onA;
    }
}
BENCHMARK(BM_TabStripAfterMove)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dcs::smooth

int main(int argc, char** argv)
{
    setenv("FONTCONFIG_FILE", DCS_FONTCONFIG_FILE, 0);
    dcs::ResetPlatformFacts();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const struct {
        const char* Name;
        const char* What;
        double Budget;
    } budgets[] = {{"BM_PageSwitch", "page switch repainting 1210x736", 30},
                   {"BM_TabStripAfterMove", "tab strip repaint after a pointer move", 2}};
    for (const auto& b : budgets)
        if (const double* t = reporter.Time(b.Name))
            std::printf("%s: %.3f ms, %.2fx its budget of %.0f ms\n", b.What, *t, *t / b.Budget, b.Budget);
    benchmark::Shutdown();
    return 0;
}
