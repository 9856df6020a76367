// The double IIR and median entries against the plain way of computing the same in the
// same run: vpsIIR_64f (order 8, and a cascade of 4 biquads, over 2^20 samples) against
// the one-sample transposed direct-form recurrence; vpsFilterMedian_64f (windows 7 and 31,
// 2^18 samples) against std::nth_element on a copy of each clamped window. After the runs
// a table gives the CPU time per call and the ratio (ours / reference), from the medians
// with --benchmark_repetitions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/RatioReporter.h"
#include "dsp/double/IirFilters.h"
#include "dsp/double/MedianFilter.h"

namespace {

constexpr int kIirLength = 1 << 20;
constexpr int kMedianLength = 1 << 18;

std::vector<double> Signal(std::size_t n)
{
    std::vector<double> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<double>((i * 7919) % 1000) / 500.0 - 1.0;
    return v;
}

// Order 8: b0..b8, a0..a8 of four stable resonators of radius 0.9 multiplied out.
std::vector<double> Order8Taps()
{
    std::vector<double> a {1.0};
    for (double angle : {0.3, 0.9, 1.7, 2.6}) {
        const double c1 = -2 * 0.9 * std::cos(angle), c2 = 0.81;
        std::vector<double> next(a.size() + 2, 0.0);
        for (std::size_t k = 0; k < a.size(); ++k) {
            next[k] += a[k];
            next[k + 1] += c1 * a[k];
            next[k + 2] += c2 * a[k];
        }
        a = next;
    }
    std::vector<double> taps {0.2, 0.1, -0.05, 0.3, 0.02, -0.1, 0.05, 0.01, 0.03};
    taps.insert(taps.end(), a.begin(), a.end());
    return taps;
}

// Four sections b0, b1, b2, a0, a1, a2.
std::vector<double> BiquadTaps()
{
    std::vector<double> taps;
    for (double angle : {0.3, 0.9, 1.7, 2.6})
        taps.insert(taps.end(), {0.5, 0.2, 0.1, 1.0, -2 * 0.9 * std::cos(angle), 0.81});
    return taps;
}

template <class Body> void Loop(benchmark::State& state, double* out, int items, Body body)
{
    for (auto _ : state) {
        body();
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * items);
}

void OursIir(benchmark::State& state, bool biquad)
{
    const auto taps = biquad ? BiquadTaps() : Order8Taps();
    dcs::IirState64f* s = nullptr;
    if (biquad)
        dcs::vpsIIRInitAlloc_BiQuad_64f(&s, taps.data(), 4, nullptr);
    else
        dcs::vpsIIRInitAlloc_64f(&s, taps.data(), 8, nullptr);
    const auto x = Signal(kIirLength);
    std::vector<double> y(x.size());
    Loop(state, y.data(), kIirLength, [&] { dcs::vpsIIR_64f(x.data(), y.data(), kIirLength, s); });
    dcs::vpsIIRFree_64f(s);
}

// y = b0·x + d0; d(j) = d(j+1) + b(j+1)·x - a(j+1)·y, one sample at a time.
void PlainSection(const double* b, const double* a, int n, double* d, const double* x, double* y, int len)
{
    for (int i = 0; i < len; ++i) {
        const double v = x[i];
        const double out = b[0] * v + d[0];
        for (int j = 0; j + 1 < n; ++j)
            d[j] = d[j + 1] + b[j + 1] * v - a[j + 1] * out;
        d[n - 1] = b[n] * v - a[n] * out;
        y[i] = out;
    }
}

void PlainOrder8(benchmark::State& state)
{
    auto taps = Order8Taps();
    const double a0 = taps[9];
    for (double& t : taps)
        t /= a0;
    const auto x = Signal(kIirLength);
    std::vector<double> y(x.size()), d(8, 0.0);
    Loop(state, y.data(), kIirLength,
         [&] { PlainSection(taps.data(), taps.data() + 9, 8, d.data(), x.data(), y.data(), kIirLength); });
}

void PlainBiquads(benchmark::State& state)
{
    const auto taps = BiquadTaps();  // a0 = 1 already
    const auto x = Signal(kIirLength);
    std::vector<double> y(x.size()), d(8, 0.0);
    Loop(state, y.data(), kIirLength, [&] {
        for (int i = 0; i < kIirLength; ++i) {
            double v = x[i];
            for (int k = 0; k < 4; ++k) {
                const double* t = taps.data() + 6 * k;
                double* dk = d.data() + 2 * k;
                const double out = t[0] * v + dk[0];
                dk[0] = dk[1] + t[1] * v - t[4] * out;
                dk[1] = t[2] * v - t[5] * out;
                v = out;
            }
            y[i] = v;
        }
    });
}

void OursMedian(benchmark::State& state)
{
    const int mask = static_cast<int>(state.range(0));
    const auto x = Signal(kMedianLength);
    std::vector<double> y(x.size());
    Loop(state, y.data(), kMedianLength, [&] { dcs::vpsFilterMedian_64f(x.data(), y.data(), kMedianLength, mask); });
}

void NthElementMedian(benchmark::State& state)
{
    const int mask = static_cast<int>(state.range(0));
    const int r = (mask - 1) / 2;
    const auto x = Signal(kMedianLength);
    std::vector<double> y(x.size()), w(static_cast<std::size_t>(mask));
    Loop(state, y.data(), kMedianLength, [&] {
        for (int i = 0; i < kMedianLength; ++i) {
            for (int k = -r; k <= r; ++k)
                w[k + r] = x[std::clamp(i + k, 0, kMedianLength - 1)];
            std::nth_element(w.begin(), w.begin() + r, w.end());
            y[i] = w[r];
        }
    });
}

}  // namespace

int main(int argc, char** argv)
{
    struct Pair {
        std::string label, ours, reference;
    };
    std::vector<Pair> pairs;
    // Each of ours right before its reference, so both meet the same load.
    benchmark::RegisterBenchmark("dcs/iir_order8", [](benchmark::State& s) { OursIir(s, false); });
    benchmark::RegisterBenchmark("plain/iir_order8", PlainOrder8);
    pairs.push_back({"iir order 8", "dcs/iir_order8", "plain/iir_order8"});
    benchmark::RegisterBenchmark("dcs/iir_4biquads", [](benchmark::State& s) { OursIir(s, true); });
    benchmark::RegisterBenchmark("plain/iir_4biquads", PlainBiquads);
    pairs.push_back({"iir 4 biquads", "dcs/iir_4biquads", "plain/iir_4biquads"});
    for (int mask : {7, 31}) {
        benchmark::RegisterBenchmark("dcs/median", OursMedian)->Arg(mask);
        benchmark::RegisterBenchmark("nth_element/median", NthElementMedian)->Arg(mask);
        const std::string suffix = "median/" + std::to_string(mask);
        pairs.push_back({"median " + std::to_string(mask), "dcs/" + suffix, "nth_element/" + suffix});
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-14s %14s %14s %10s\n", "case", "dcs ns", "reference ns", "dcs/ref");
    for (const Pair& p : pairs) {
        const double* a = reporter.Time(p.ours);
        const double* b = reporter.Time(p.reference);
        if (a && b)
            std::printf("%-14s %14.0f %14.0f %10.2f\n", p.label.c_str(), *a, *b, *a / *b);
    }
    benchmark::Shutdown();
    return 0;
}
