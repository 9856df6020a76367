// The cost of playing presets: the main window (its whole audio graph running) with the
// first 1, 10 or all 46 preset toggles clicked, on the recorded device, which plays in
// real time. Reported: process CPU time (user + system) per second of audio played, as a
// share of one core, next to the target of 25 % of one core for 46 presets; 0 toggles is
// the window alone (its 41 generators run from the start, heard or not).
#include "app/MainForm.h"
#include "platform/waveout/WaveOut.h"
#include "platform/win/Application.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace dcs;

double ProcessCpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * double(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

std::map<int, double> gShare;

void BM_Presets(benchmark::State& state)
{
    const int toggles = int(state.range(0));
    const auto dir = std::filesystem::temp_directory_path() / ("dcs-bench-presets-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    WaveOutSelectBackend("recorded");
    TOwned<TApplication> app(Create<TApplication>(nullptr));
    Application = app.get();
    TForm1* form = Create<TForm1>(nullptr);
    for (int row = 0; row < toggles; ++row)
        form->Pages.Toggles[size_t(row)]->Click();
    std::this_thread::sleep_for(std::chrono::seconds(2));  // past the prefill
    for (auto _ : state) {
        const uint64_t blocks = form->outLeft->CompletedBlocks();
        const double cpu = ProcessCpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(4));
        const double used = ProcessCpuSeconds() - cpu;
        // With nothing pressed the preset outputs play nothing: the window alone is counted
        // per second of the 4 s waited.
        const double audio = toggles == 0 ? 4.0 : double(form->outLeft->CompletedBlocks() - blocks) * 4096 / 22050.0;
        state.SetIterationTime(audio);
        state.counters["core_share"] = audio > 0 ? used / audio : 0;
        state.counters["audio_s"] = audio;
        gShare[toggles] = audio > 0 ? used / audio : 0;
    }
    Free(form);
    app->ProcessMessages();
    Application = nullptr;
    app.reset();
    unsetenv("DCS_AUDIO_DIR");
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_Presets)->Arg(0)->Arg(1)->Arg(10)->Arg(46)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (auto [n, share] : gShare)
        std::printf("%2d toggles: %5.1f %% of one core per second of audio   target for 46: 25 %%   ratio %.2f\n", n,
                    100 * share, share / 0.25);
    benchmark::Shutdown();
    return 0;
}
