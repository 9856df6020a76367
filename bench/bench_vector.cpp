// Element-wise registry entries against the plain loop a compiler vectorises on its own.
// Compare each BM_Entry* with the BM_Loop* of the same size: the ratio of their times is
// the cost of going through the registry entry and its checks.
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/FloatEntries.h"
#include "dsp/StatisticsEntries.h"

namespace {

// The three vectors share one block at fixed offsets (not multiples of 4 KiB apart), so
// the entry and the loop it is compared with see the same cache and aliasing conditions.
struct Vectors {
    std::vector<double> block;
    double *a, *b, *d;
    explicit Vectors(int n) : block(3 * static_cast<size_t>(n) + 48)
    {
        a = block.data();
        b = a + n + 16;
        d = b + n + 16;
        for (int i = 0; i < n; ++i) {
            a[i] = 1.0 + 1e-3 * i;
            b[i] = 2.0 - 1e-3 * i;
        }
    }
};

// Plain loops, kept out of line so the compiler cannot fold them into the benchmark loop.
__attribute__((noinline)) void LoopAdd(const double* a, const double* b, double* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] = a[i] + b[i];
}

__attribute__((noinline)) void LoopMulC(double v, double* d, int n)
{
    for (int i = 0; i < n; ++i)
        d[i] *= v;
}

__attribute__((noinline)) double LoopDot(const double* a, const double* b, int n)
{
    double s = 0.0;
    for (int i = 0; i < n; ++i)
        s += a[i] * b[i];
    return s;
}

void Finish(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * state.range(0)); }

void BM_EntryAdd_64f(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    for (auto _ : state) {
        dcs::vpsAdd_64f(v.a, v.b, v.d, n);
        benchmark::DoNotOptimize(v.d);
    }
    Finish(state);
}

void BM_LoopAdd_64f(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    for (auto _ : state) {
        LoopAdd(v.a, v.b, v.d, n);
        benchmark::DoNotOptimize(v.d);
    }
    Finish(state);
}

// Alternating constants keep the data finite over millions of calls.
void BM_EntryMulC_64f_I(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    double c = 1.5;
    for (auto _ : state) {
        dcs::vpsMulC_64f_I(c, v.a, n);
        c = 1.0 / c;
        benchmark::DoNotOptimize(v.a);
    }
    Finish(state);
}

void BM_LoopMulC_64f_I(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    double c = 1.5;
    for (auto _ : state) {
        LoopMulC(c, v.a, n);
        c = 1.0 / c;
        benchmark::DoNotOptimize(v.a);
    }
    Finish(state);
}

void BM_EntryDotProd_64f(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    double r = 0;
    for (auto _ : state) {
        dcs::vpsDotProd_64f(v.a, v.b, n, &r);
        benchmark::DoNotOptimize(r);
    }
    Finish(state);
}

void BM_LoopDotProd_64f(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Vectors v(n);
    for (auto _ : state)
        benchmark::DoNotOptimize(LoopDot(v.a, v.b, n));
    Finish(state);
}

#define DCS_SIZES Arg(1 << 10)->Arg(1 << 20)
BENCHMARK(BM_EntryAdd_64f)->DCS_SIZES;
BENCHMARK(BM_LoopAdd_64f)->DCS_SIZES;
BENCHMARK(BM_EntryMulC_64f_I)->DCS_SIZES;
BENCHMARK(BM_LoopMulC_64f_I)->DCS_SIZES;
BENCHMARK(BM_EntryDotProd_64f)->DCS_SIZES;
BENCHMARK(BM_LoopDotProd_64f)->DCS_SIZES;

}  // namespace
