// The memory entries against the C library on the same sizes; the audio path copies,
// fills and clears buffers with them all the time.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "dsp/MemoryEntries.h"

namespace {

constexpr int kMin = 64;
constexpr int kMax = 1 << 20;

void BM_vpsCopy_8u(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<dcs::Vps8u> src(n, 1), dst(n);
    for (auto _ : state) {
        dcs::vpsCopy_8u(src.data(), dst.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n);
}

void BM_memcpy(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<dcs::Vps8u> src(n, 1), dst(n);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n);
}

void BM_vpsSet_8u(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<dcs::Vps8u> dst(n);
    for (auto _ : state) {
        dcs::vpsSet_8u(0x5A, dst.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n);
}

void BM_memset(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<dcs::Vps8u> dst(n);
    for (auto _ : state) {
        std::memset(dst.data(), 0x5A, n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n);
}

// Byte sizes, so the zero entries of every width compare with memset on equal work.
template <class T, dcs::VpsStatus (**Entry)(T*, int)> void BM_vpsZero(benchmark::State& state)
{
    const int bytes = static_cast<int>(state.range(0));
    const int n = bytes / static_cast<int>(sizeof(T));
    std::vector<T> dst(n);
    for (auto _ : state) {
        (*Entry)(dst.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_memset_zero(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<dcs::Vps8u> dst(n);
    for (auto _ : state) {
        std::memset(dst.data(), 0, n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n);
}

}  // namespace

BENCHMARK(BM_vpsCopy_8u)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_memcpy)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsSet_8u)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_memset)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsZero<dcs::Vps8u, &dcs::vpsZero_8u>)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsZero<dcs::Vps16s, &dcs::vpsZero_16s>)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsZero<dcs::Vps32s, &dcs::vpsZero_32s>)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsZero<dcs::Vps64f, &dcs::vpsZero_64f>)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_vpsZero<dcs::Vps64fc, &dcs::vpsZero_64fc>)->RangeMultiplier(16)->Range(kMin, kMax);
BENCHMARK(BM_memset_zero)->RangeMultiplier(16)->Range(kMin, kMax);
