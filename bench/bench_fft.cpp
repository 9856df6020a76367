// The FFT entries against FFTW (FFTW_ESTIMATE plans) on the same sizes in the same run:
// complex and real forward transforms of 2^10 to 2^16 points with the caller's work
// buffer. After the runs a table gives each size's CPU time per transform and the ratio
// (ours / FFTW), from the medians when run with --benchmark_repetitions. CPU time, as the
// machine may be shared: wall time then counts the waits for a core.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/FftReal32f.h"

namespace {

using dcs::Vps64fc;
using dcs::Vps8u;

constexpr int kMinOrder = 10;
constexpr int kMaxOrder = 16;

std::vector<double> Signal(std::size_t n)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<double>((i * 7919) % 1000) / 500.0 - 1.0;
    return v;
}

std::vector<Vps8u> WorkBuffer(int size) { return std::vector<Vps8u>(static_cast<std::size_t>(size > 0 ? size : 1)); }

void DcsComplex(benchmark::State& state)
{
    const int order = static_cast<int>(state.range(0));
    const std::size_t n = std::size_t {1} << order;
    dcs::FftSpec* spec = nullptr;
    dcs::vpsFFTInitAlloc_C_64fc(&spec, order, 8, 0);
    int size = 0;
    dcs::dspFFTGetBufSize_C_64fc(spec, &size);
    std::vector<Vps8u> work = WorkBuffer(size);
    const std::vector<double> x = Signal(2 * n);
    std::vector<double> y(2 * n);
    for (auto _ : state) {
        dcs::vpsFFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(x.data()), reinterpret_cast<Vps64fc*>(y.data()), spec,
                                 work.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    dcs::vpsFFTFree_C_64fc(spec);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void FftwComplex(benchmark::State& state)
{
    const int n = 1 << state.range(0);
    auto* in = fftw_alloc_complex(n);
    auto* out = fftw_alloc_complex(n);
    fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_ESTIMATE);
    const std::vector<double> x = Signal(2 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        in[i][0] = x[2 * i];
        in[i][1] = x[2 * i + 1];
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
    state.SetItemsProcessed(state.iterations() * n);
}

void DcsReal(benchmark::State& state)
{
    const int order = static_cast<int>(state.range(0));
    const std::size_t n = std::size_t {1} << order;
    dcs::FftSpec* spec = nullptr;
    dcs::vpsFFTInitAlloc_R_64f(&spec, order, 8, 0);
    int size = 0;
    dcs::dspFFTGetBufSize_R_64f(spec, &size);
    std::vector<Vps8u> work = WorkBuffer(size);
    const std::vector<double> x = Signal(n);
    std::vector<double> y(n + 2);
    for (auto _ : state) {
        dcs::vpsFFTFwd_RToCCS_64f(x.data(), y.data(), spec, work.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    dcs::vpsFFTFree_R_64f(spec);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

void DcsReal32f(benchmark::State& state)
{
    const int order = static_cast<int>(state.range(0));
    const std::size_t n = std::size_t {1} << order;
    dcs::FftSpec32f* spec = nullptr;
    dcs::dspFFTInitAlloc_R_32f(&spec, order, 8, 0);
    int size = 0;
    dcs::dspFFTGetBufSize_R_32f(spec, &size);
    std::vector<Vps8u> work = WorkBuffer(size);
    const std::vector<double> xd = Signal(n);
    const std::vector<float> x(xd.begin(), xd.end());
    std::vector<float> y(n);
    for (auto _ : state) {
        dcs::dspFFTFwd_RToPerm_32f(x.data(), y.data(), spec, work.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    dcs::dspFFTFree_R_32f(spec);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

// FFTW's double and single-precision real-input interfaces under one name.
template <class T> struct Fftw;
template <> struct Fftw<double> {
    using Plan = fftw_plan;
    static double* Real(int n) { return fftw_alloc_real(n); }
    static fftw_complex* Complex(int n) { return fftw_alloc_complex(n); }
    static Plan R2c(int n, double* in, fftw_complex* out) { return fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE); }
    static void Execute(Plan p) { fftw_execute(p); }
    static void Destroy(Plan p) { fftw_destroy_plan(p); }
    static void Free(void* p) { fftw_free(p); }
};
template <> struct Fftw<float> {
    using Plan = fftwf_plan;
    static float* Real(int n) { return fftwf_alloc_real(n); }
    static fftwf_complex* Complex(int n) { return fftwf_alloc_complex(n); }
    static Plan R2c(int n, float* in, fftwf_complex* out) { return fftwf_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE); }
    static void Execute(Plan p) { fftwf_execute(p); }
    static void Destroy(Plan p) { fftwf_destroy_plan(p); }
    static void Free(void* p) { fftwf_free(p); }
};

template <class T> void FftwReal(benchmark::State& state)
{
    using F = Fftw<T>;
    const int n = 1 << state.range(0);
    T* in = F::Real(n);
    auto* out = F::Complex(n / 2 + 1);
    const typename F::Plan plan = F::R2c(n, in, out);
    const std::vector<double> x = Signal(static_cast<std::size_t>(n));
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        F::Execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    F::Destroy(plan);
    F::Free(in);
    F::Free(out);
    state.SetItemsProcessed(state.iterations() * n);
}

}  // namespace

int main(int argc, char** argv)
{
    const char* kinds[] = {"complex64", "real64", "real32"};
    const benchmark::internal::Function* ours[] = {DcsComplex, DcsReal, DcsReal32f};
    const benchmark::internal::Function* theirs[] = {FftwComplex, FftwReal<double>, FftwReal<float>};
    // Each size of ours right before the same size of FFTW, so both meet the same load.
    for (int i = 0; i < 3; ++i)
        for (int order = kMinOrder; order <= kMaxOrder; ++order) {
            benchmark::RegisterBenchmark((std::string("dcs/") + kinds[i]).c_str(), ours[i])->Arg(order);
            benchmark::RegisterBenchmark((std::string("fftw/") + kinds[i]).c_str(), theirs[i])->Arg(order);
        }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-10s %5s %12s %12s %8s\n", "transform", "order", "dcs ns", "fftw ns", "dcs/fftw");
    for (const char* kind : kinds)
        for (int order = kMinOrder; order <= kMaxOrder; ++order) {
            const std::string suffix = std::string(kind) + "/" + std::to_string(order);
            const double* a = reporter.Time("dcs/" + suffix);
            const double* b = reporter.Time("fftw/" + suffix);
            if (a && b)
                std::printf("%-10s %5d %12.0f %12.0f %8.2f\n", kind, order, *a, *b, *a / *b);
        }
    benchmark::Shutdown();
    return 0;
}
