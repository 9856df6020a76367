// The scaled conversions to 32-bit integers against a plain loop that scales, saturates
// and rounds the same way (std::nearbyint for round-to-nearest, a cast for truncation).
// The audio buffers convert every buffer this way. After the usual table, the program
// prints entry time / loop time for each size and rounding mode.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dsp/FloatEntries.h"

namespace {

// Values over the whole int32 range and a little past both ends, with fractions, so both
// saturation branches and the rounding are exercised.
template <typename T> std::vector<T> Samples(int n)
{
    std::vector<T> v(static_cast<size_t>(n));
    uint64_t s = 0x9E3779B97F4A7C15ull;
    for (T& x : v) {
        s = s * 6364136223846793005ull + 1442695040888963407ull;
        x = static_cast<T>((static_cast<double>(s >> 11) * 0x1p-53 - 0.5) * 4.4e9);
    }
    return v;
}

double Saturate(double y) { return y >= 2147483647.0 ? 2147483647.0 : y > -2147483648.0 ? y : -2147483648.0; }

// Plain loops, kept out of line so the compiler cannot fold them into the benchmark loop.
template <typename T> __attribute__((noinline)) void LoopNearest(const T* x, int32_t* d, int n, double m)
{
    for (int i = 0; i < n; ++i)
        d[i] = static_cast<int32_t>(std::nearbyint(Saturate(m * x[i])));
}

template <typename T> __attribute__((noinline)) void LoopTruncate(const T* x, int32_t* d, int n, double m)
{
    for (int i = 0; i < n; ++i)
        d[i] = static_cast<int32_t>(Saturate(m * x[i]));
}

dcs::VpsStatus Entry(const double* x, int32_t* d, int n, int rnd)
{
    return dcs::vpsConvert_64f32s_Sfs(x, d, n, rnd, 0);
}

dcs::VpsStatus Entry(const float* x, int32_t* d, int n, int rnd) { return dcs::vpsConvert_32f32s_Sfs(x, d, n, rnd, 0); }

template <typename T> void BM_Entry(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int rnd = static_cast<int>(state.range(1));
    const std::vector<T> x = Samples<T>(n);
    std::vector<int32_t> d(x.size());
    for (auto _ : state) {
        Entry(x.data(), d.data(), n, rnd);
        benchmark::DoNotOptimize(d.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

template <typename T> void BM_Loop(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const bool nearest = state.range(1) == 1;
    const std::vector<T> x = Samples<T>(n);
    std::vector<int32_t> d(x.size());
    double m = 1.0;  // scale factor 0, but a multiplier the loop has to apply like the entry
    benchmark::DoNotOptimize(m);
    for (auto _ : state) {
        if (nearest)
            LoopNearest(x.data(), d.data(), n, m);
        else
            LoopTruncate(x.data(), d.data(), n, m);
        benchmark::DoNotOptimize(d.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}

#define DCS_CASES ArgsProduct({{1 << 10, 1 << 20}, {1, 0}})->ArgNames({"n", "rnd"})
BENCHMARK(BM_Entry<double>)->DCS_CASES;
BENCHMARK(BM_Loop<double>)->DCS_CASES;
BENCHMARK(BM_Entry<float>)->DCS_CASES;
BENCHMARK(BM_Loop<float>)->DCS_CASES;

// Keeps each benchmark's CPU time (the median when repetitions are asked for), so main
// can pair each entry with its loop.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpuTime;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                cpuTime.emplace(r.run_name.str(), r.GetAdjustedCPUTime());
            else if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                cpuTime[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nentry / plain loop (CPU time):\n");
    for (const auto& [name, entryTime] : reporter.cpuTime) {
        const std::string::size_type at = name.find("Entry");
        if (at == std::string::npos)
            continue;
        std::string loopName = name;
        loopName.replace(at, 5, "Loop");
        const auto loop = reporter.cpuTime.find(loopName);
        if (loop != reporter.cpuTime.end() && loop->second > 0)
            std::printf("  %-36s %6.2f\n", name.c_str(), entryTime / loop->second);
    }
    benchmark::Shutdown();
    return 0;
}
