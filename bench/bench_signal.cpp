#include "dsp/IntegerVectorEntries.h"
#include "dsp/SignalGenerationEntries.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using namespace dcs;  // through the registry entries, as the audio components call them

// One generator buffer: the running system's 1024-sample tone period.
void BM_vpsTone_Direct_16s(benchmark::State& state)
{
    const int len = static_cast<int>(state.range(0));
    std::vector<std::int16_t> buffer(len);
    float phase = 0.0f;
    const float freq = 440.0f / 22050.0f;
    for (auto _ : state) {
        vpsTone_Direct_16s(buffer.data(), len, 20000, freq, &phase, 0);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * len);
}
BENCHMARK(BM_vpsTone_Direct_16s)->Arg(1024);

void BM_vpsTriangle_Direct_16s(benchmark::State& state)
{
    const int len = static_cast<int>(state.range(0));
    std::vector<std::int16_t> buffer(len);
    float phase = 0.0f;
    for (auto _ : state) {
        vpsTriangle_Direct_16s(buffer.data(), len, 20000, 440.0f / 22050.0f, 0.5f, &phase);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * len);
}
BENCHMARK(BM_vpsTriangle_Direct_16s)->Arg(1024);

// The generator's channel copy: a mono signal into one column of interleaved stereo.
void BM_vpiCopy_16s_C1R_Column(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    std::vector<std::int16_t> mono(rows, 1234);
    std::vector<std::int16_t> stereo(2 * rows);
    for (auto _ : state) {
        vpiCopy_16s_C1R(mono.data(), 2, stereo.data() + 1, 4, VpiSize {1, rows});
        benchmark::DoNotOptimize(stereo.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_vpiCopy_16s_C1R_Column)->Arg(1024);

// The mixer's sum at scale factor 0, as one row and as a stereo column.
void BM_vpiAdd_16s_C1IRSfs(benchmark::State& state)
{
    const int len = static_cast<int>(state.range(0));
    std::vector<std::int16_t> src(len, 1000);
    std::vector<std::int16_t> dst(len, 0);
    for (auto _ : state) {
        vpiAdd_16s_C1IRSfs(src.data(), 2 * len, dst.data(), 2 * len, VpiSize {len, 1}, 0);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * len);
}
BENCHMARK(BM_vpiAdd_16s_C1IRSfs)->Arg(1024);

void BM_vpiAdd_16s_C1IRSfs_Column(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    std::vector<std::int16_t> src(2 * rows, 1000);
    std::vector<std::int16_t> dst(2 * rows, 0);
    for (auto _ : state) {
        vpiAdd_16s_C1IRSfs(src.data(), 4, dst.data(), 4, VpiSize {1, rows}, 0);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_vpiAdd_16s_C1IRSfs_Column)->Arg(1024);

}  // namespace
