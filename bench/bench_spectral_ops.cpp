// Convolution and FIR filtering against a naive sum and, for the convolution, an FFTW
// real-to-complex convolution (estimate plans, made outside the timed loop), all in the
// same run; a table of the ratios follows the report (CPU times, the medians when run with
// --benchmark_repetitions). The convolution makes its FFT spec in its first call only and
// keeps it, as FFTW keeps its plans.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "dsp/spectral/Convolution.h"
#include "dsp/spectral/Fir.h"

namespace {

using namespace dcs;

std::vector<double> Random(std::size_t n, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> v(n);
    for (double& x : v)
        x = u(gen);
    return v;
}

constexpr std::pair<int, int> kConvSizes[] = {{1000, 40}, {100000, 300}, {65536, 65536}};

void ConvDcs(benchmark::State& state)
{
    const auto [la, lb] = kConvSizes[state.range(0)];
    const auto a = Random(la, 1), b = Random(lb, 2);
    std::vector<double> out(la + lb - 1);
    for (auto _ : state) {
        vpsConv_64f(a.data(), la, b.data(), lb, out.data());
        benchmark::DoNotOptimize(out.data());
    }
}

void ConvNaive(benchmark::State& state)
{
    const auto [la, lb] = kConvSizes[state.range(0)];
    const auto a = Random(la, 1), b = Random(lb, 2);
    std::vector<double> out(la + lb - 1);
    for (auto _ : state) {
        std::fill(out.begin(), out.end(), 0.0);
        for (int i = 0; i < lb; ++i)
            for (int j = 0; j < la; ++j)
                out[i + j] += a[j] * b[i];
        benchmark::DoNotOptimize(out.data());
    }
}

void ConvFftw(benchmark::State& state)
{
    const auto [la, lb] = kConvSizes[state.range(0)];
    const auto a = Random(la, 1), b = Random(lb, 2);
    int n = 1;
    while (n < la + lb - 1)
        n *= 2;
    double* x = fftw_alloc_real(n);
    double* y = fftw_alloc_real(n);
    fftw_complex* X = fftw_alloc_complex(n / 2 + 1);
    fftw_complex* Y = fftw_alloc_complex(n / 2 + 1);
    fftw_plan px = fftw_plan_dft_r2c_1d(n, x, X, FFTW_ESTIMATE);
    fftw_plan py = fftw_plan_dft_r2c_1d(n, y, Y, FFTW_ESTIMATE);
    fftw_plan inv = fftw_plan_dft_c2r_1d(n, X, x, FFTW_ESTIMATE);
    std::vector<double> out(la + lb - 1);
    for (auto _ : state) {
        std::copy(a.begin(), a.end(), x);
        std::fill(x + la, x + n, 0.0);
        std::copy(b.begin(), b.end(), y);
        std::fill(y + lb, y + n, 0.0);
        fftw_execute(px);
        fftw_execute(py);
        for (int k = 0; k <= n / 2; ++k) {
            const double re = X[k][0] * Y[k][0] - X[k][1] * Y[k][1];
            X[k][1] = X[k][0] * Y[k][1] + X[k][1] * Y[k][0];
            X[k][0] = re;
        }
        fftw_execute(inv);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = x[i] / n;
        benchmark::DoNotOptimize(out.data());
    }
    fftw_destroy_plan(px);
    fftw_destroy_plan(py);
    fftw_destroy_plan(inv);
    fftw_free(x);
    fftw_free(y);
    fftw_free(X);
    fftw_free(Y);
}

constexpr int kFirTaps = 300, kFirCall = 1 << 16;

void FirDcs(benchmark::State& state)
{
    const auto h = Random(kFirTaps, 3), x = Random(kFirCall, 4);
    std::vector<double> y(kFirCall);
    FirState* s = nullptr;
    vpsFIRInitAlloc_64f(&s, h.data(), kFirTaps, nullptr);
    for (auto _ : state) {
        vpsFIR_64f(x.data(), y.data(), kFirCall, s);
        benchmark::DoNotOptimize(y.data());
    }
    vpsFIRFree_64f(s);
}

void FirNaive(benchmark::State& state)
{
    const auto h = Random(kFirTaps, 3), x = Random(kFirCall, 4);
    std::vector<double> hist(kFirTaps - 1, 0.0), y(kFirCall), line(kFirTaps - 1 + kFirCall);
    for (auto _ : state) {
        std::copy(hist.begin(), hist.end(), line.begin());
        std::copy(x.begin(), x.end(), line.begin() + (kFirTaps - 1));
        for (int k = 0; k < kFirCall; ++k) {
            double acc = 0;
            for (int u = 0; u < kFirTaps; ++u)
                acc += h[u] * line[k + kFirTaps - 1 - u];
            y[k] = acc;
        }
        std::copy(line.end() - (kFirTaps - 1), line.end(), hist.begin());
        benchmark::DoNotOptimize(y.data());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 0; i < 3; ++i) {
        benchmark::RegisterBenchmark("conv/dcs", ConvDcs)->Arg(i);
        benchmark::RegisterBenchmark("conv/fftw", ConvFftw)->Arg(i);
        auto* naive = benchmark::RegisterBenchmark("conv/naive", ConvNaive)->Arg(i);
        if (i == 2)
            naive->Iterations(1);
    }
    benchmark::RegisterBenchmark("fir/dcs", FirDcs);
    benchmark::RegisterBenchmark("fir/naive", FirNaive);
    benchmark::Initialize(&argc, argv);
    RatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    auto t = [&](const std::string& n) {
        const double* v = rep.Time(n);
        return v ? *v : 0.0;
    };
    std::printf("\n%-16s %12s %12s %12s %10s %10s\n", "case", "dcs ns", "naive ns", "fftw ns", "dcs/naive", "dcs/fftw");
    for (int i = 0; i < 3; ++i) {
        const std::string s = "/" + std::to_string(i);
        const double d = t("conv/dcs" + s), nv = t("conv/naive" + s + "/iterations:1") + t("conv/naive" + s),
                     f = t("conv/fftw" + s);
        const std::string label =
            "conv " + std::to_string(kConvSizes[i].first) + "x" + std::to_string(kConvSizes[i].second);
        std::printf("%-16s %12.0f %12.0f %12.0f %10.3f %10.3f\n", label.c_str(), d, nv, f, nv ? d / nv : 0,
                    f ? d / f : 0);
    }
    const double fd = t("fir/dcs"), fn = t("fir/naive");
    std::printf("%-16s %12.0f %12.0f %12s %10.3f %10s\n", "fir 300, 2^16", fd, fn, "-", fn ? fd / fn : 0, "-");
    benchmark::Shutdown();
    return 0;
}
