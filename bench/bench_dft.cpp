// The any-length DFT and DCT entries against FFTW (FFTW_ESTIMATE plans) on the same lengths
// in the same run: complex DFT through the mixed-radix plan (1000, 1155, 22201) and the
// chirp-z plan (302, 22801), real DFT of 1000, DCT-II of 1000 (chirp path) and 1024 (split).
// Each run uses the caller's work buffer. After the runs a table gives the CPU time per
// transform and the ratio (ours / FFTW), from the medians with --benchmark_repetitions.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "dsp/double/DftEntries.h"

namespace {

using dcs::Vps64fc;
using dcs::Vps8u;

std::vector<double> Signal(std::size_t n)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<double>((i * 7919) % 1000) / 500.0 - 1.0;
    return v;
}

template <class Spec, class GetSize> std::vector<Vps8u> WorkBuffer(const Spec* spec, GetSize get)
{
    std::int64_t size = 0;
    get(spec, &size);
    return std::vector<Vps8u>(static_cast<std::size_t>(size > 0 ? size : 1));
}

template <class Body> void Loop(benchmark::State& state, double* out, Body body)
{
    for (auto _ : state) {
        body();
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void DcsComplex(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    dcs::DftSpec* spec = nullptr;
    dcs::vpsDFTInitAlloc_C_64fc(&spec, n, 8, 0);
    auto work = WorkBuffer(spec, dcs::dspDFTGetBufSize_64f);
    const auto x = Signal(2 * static_cast<std::size_t>(n));
    std::vector<double> y(2 * static_cast<std::size_t>(n));
    Loop(state, y.data(), [&] {
        dcs::vpsDFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(x.data()), reinterpret_cast<Vps64fc*>(y.data()), spec,
                                 work.data());
    });
    dcs::vpsDFTFree_C_64fc(spec);
}

void DcsReal(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    dcs::DftSpec* spec = nullptr;
    dcs::vpsDFTInitAlloc_R_64f(&spec, n, 8, 0);
    auto work = WorkBuffer(spec, dcs::dspDFTGetBufSize_64f);
    const auto x = Signal(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n) + 2);
    Loop(state, y.data(), [&] { dcs::vpsDFTFwd_RToCCS_64f(x.data(), y.data(), spec, work.data()); });
    dcs::vpsDFTFree_R_64f(spec);
}

void DcsDct(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    dcs::DctSpec* spec = nullptr;
    dcs::vpsDCTFwdInitAlloc_64f(&spec, n, 0);
    auto work = WorkBuffer(spec, dcs::dspDCTGetBufSize_64f);
    const auto x = Signal(static_cast<std::size_t>(n));
    std::vector<double> y(static_cast<std::size_t>(n));
    Loop(state, y.data(), [&] { dcs::vpsDCTFwd_64f(x.data(), y.data(), spec, work.data()); });
    dcs::vpsDCTFwdFree_64f(spec);
}

// One FFTW plan on its own arrays of `in` and `out` doubles, input filled with the signal.
template <class MakePlan> void Fftw(benchmark::State& state, std::size_t in, std::size_t out, MakePlan make)
{
    double* a = fftw_alloc_real(in);
    double* b = fftw_alloc_real(out);
    fftw_plan plan = make(static_cast<int>(state.range(0)), a, b);
    const auto x = Signal(in);
    std::copy(x.begin(), x.end(), a);
    Loop(state, b, [&] { fftw_execute(plan); });
    fftw_destroy_plan(plan);
    fftw_free(a);
    fftw_free(b);
}

void FftwComplex(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Fftw(state, 2 * n, 2 * n, [](int len, double* a, double* b) {
        return fftw_plan_dft_1d(len, reinterpret_cast<fftw_complex*>(a), reinterpret_cast<fftw_complex*>(b),
                                FFTW_FORWARD, FFTW_ESTIMATE);
    });
}

void FftwReal(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Fftw(state, n, n + 2, [](int len, double* a, double* b) {
        return fftw_plan_dft_r2c_1d(len, a, reinterpret_cast<fftw_complex*>(b), FFTW_ESTIMATE);
    });
}

void FftwDct(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    Fftw(state, n, n,
         [](int len, double* a, double* b) { return fftw_plan_r2r_1d(len, a, b, FFTW_REDFT10, FFTW_ESTIMATE); });
}

struct Kind {
    const char* name;
    benchmark::internal::Function* ours;
    benchmark::internal::Function* theirs;
    std::vector<int> lengths;
};

}  // namespace

int main(int argc, char** argv)
{
    const Kind kinds[] = {
        {"complex", DcsComplex, FftwComplex, {1000, 1155, 22201, 302, 22801}},
        {"real", DcsReal, FftwReal, {1000}},
        {"dct", DcsDct, FftwDct, {1000, 1024}},
    };
    // Each length of ours right before the same length of FFTW, so both meet the same load.
    for (const Kind& k : kinds)
        for (int n : k.lengths) {
            benchmark::RegisterBenchmark((std::string("dcs/") + k.name).c_str(), k.ours)->Arg(n);
            benchmark::RegisterBenchmark((std::string("fftw/") + k.name).c_str(), k.theirs)->Arg(n);
        }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-8s %6s %12s %12s %8s\n", "kind", "length", "dcs ns", "fftw ns", "dcs/fftw");
    for (const Kind& k : kinds)
        for (int n : k.lengths) {
            const std::string suffix = std::string(k.name) + "/" + std::to_string(n);
            const double* a = reporter.Time("dcs/" + suffix);
            const double* b = reporter.Time("fftw/" + suffix);
            if (a && b)
                std::printf("%-8s %6d %12.0f %12.0f %8.2f\n", k.name, n, *a, *b, *a / *b);
        }
    benchmark::Shutdown();
    return 0;
}
