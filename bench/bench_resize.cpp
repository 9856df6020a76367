// The resize entries on a 1920 x 1080 four-channel 8-bit image against the per-pixel
// reference of the tests (long double, every destination sample summed from its 2-D
// taps), in the same run. Throughput is in destination megapixels per second; the table
// printed at the end gives how many times faster the entry is than the reference.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dsp/resize/ResizeEntries.h"
#include "dsp/resize/tests/ResizeReference.h"

namespace {

using namespace dcs;

constexpr int kW = 1920;
constexpr int kH = 1080;

struct Case {
    const char* name;
    int interpolation;
    double factor;
};

constexpr Case kCases[] = {
    {"super_0.5", InterpSuper, 0.5}, {"linear_0.5", InterpLinear, 0.5},   {"linear_2.0", InterpLinear, 2.0},
    {"cubic_2.0", InterpCubic, 2.0}, {"lanczos_2.0", InterpLanczos, 2.0},
};

const std::vector<Vps8u>& Source()
{
    static const std::vector<Vps8u> src = [] {
        std::vector<Vps8u> v(static_cast<std::size_t>(kW) * kH * 4);
        std::uint32_t s = 1;
        for (Vps8u& x : v) {
            s = s * 1664525u + 1013904223u;
            x = static_cast<Vps8u>(s >> 24);
        }
        return v;
    }();
    return src;
}

VpiSize DstSize(const Case& c) { return {static_cast<int>(kW * c.factor), static_cast<int>(kH * c.factor)}; }

void SetRate(benchmark::State& state, VpiSize d)
{
    state.counters["MPix/s"] =
        benchmark::Counter(state.iterations() * (d.width * 1e-6 * d.height), benchmark::Counter::kIsRate);
}

void BM_Entry(benchmark::State& state, Case c)
{
    const VpiSize d = DstSize(c);
    std::vector<Vps8u> dst(static_cast<std::size_t>(d.width) * d.height * 4);
    for (auto _ : state) {
        const VpsStatus st = vpiResize_8u_C4R(Source().data(), {kW, kH}, kW * 4, {0, 0, kW, kH}, dst.data(),
                                              d.width * 4, d, c.factor, c.factor, c.interpolation);
        if (st != StatusOk)
            state.SkipWithError("resize failed");
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    SetRate(state, d);
}

void BM_Reference(benchmark::State& state, Case c)
{
    const VpiSize d = DstSize(c);
    std::vector<Vps8u> dst(static_cast<std::size_t>(d.width) * d.height * 4);
    const resize_ref::View<Vps8u> view {Source().data(), kW * 4, 4};
    const bool super = c.interpolation == InterpSuper;
    for (auto _ : state) {
        resize_ref::ResizeEach(view, kW, kH, {0, 0, kW, kH}, d, c.factor, c.factor, 4, c.interpolation,
                               [&](int i, int j, int ch, long double v) {
                                   dst[(static_cast<std::size_t>(i) * d.width + j) * 4 + ch] =
                                       super ? static_cast<Vps8u>(v + 0.5L) : ResizeRoundOut<Vps8u>(v);
                               });
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    SetRate(state, d);
}

// Keeps each run's time per iteration, to print the ratios after the console report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (!r.error_occurred)
                seconds_[r.run_name.function_name] = r.real_accumulated_time / static_cast<double>(r.iterations);
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const
    {
        std::printf("\nentry against the per-pixel reference (times faster):\n");
        for (const Case& c : kCases) {
            const auto e = seconds_.find(std::string("BM_Entry/") + c.name);
            const auto r = seconds_.find(std::string("BM_Reference/") + c.name);
            if (e != seconds_.end() && r != seconds_.end())
                std::printf("  %-12s %10.1f\n", c.name, r->second / e->second);
        }
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv)
{
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("BM_Entry/") + c.name).c_str(), BM_Entry, c)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Reference/") + c.name).c_str(), BM_Reference, c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
