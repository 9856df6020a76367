// The double FIR filter as a stream: calls of any size on either path equal one naive
// filter over the whole signal; delay line contents; single-sample filtering; statuses.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/spectral/Fir.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::RandomReals;

constexpr double kPoison = -12345.5;

// y[k] = Σ h[u]·x[k − u], x[−1 − i] = delay[i] (most recent first).
std::vector<double> NaiveFir(const std::vector<double>& h, const std::vector<double>& delay,
                             const std::vector<double>& x)
{
    std::vector<double> y(x.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
        long double acc = 0;
        for (std::size_t u = 0; u < h.size(); ++u) {
            const long long j = static_cast<long long>(k) - static_cast<long long>(u);
            const double v = j >= 0 ? x[j] : delay.empty() ? 0.0 : delay[-j - 1];
            acc += static_cast<long double>(h[u]) * v;
        }
        y[k] = static_cast<double>(acc);
    }
    return y;
}

double MaxError(const std::vector<double>& a, const std::vector<double>& b)
{
    double e = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        e = std::max(e, std::abs(a[i] - b[i]));
    return e;
}

struct FirDeleter {
    void operator()(FirState* s) const { EXPECT_EQ(vpsFIRFree_64f(s), StatusOk); }
};
using FirPtr = std::unique_ptr<FirState, FirDeleter>;

FirPtr MakeFir(const std::vector<double>& h, const std::vector<double>& delay)
{
    FirState* s = nullptr;
    EXPECT_EQ(vpsFIRInitAlloc_64f(&s, h.data(), static_cast<int>(h.size()), delay.empty() ? nullptr : delay.data()),
              StatusOk);
    return FirPtr(s);
}

TEST(Fir, CallsOfAnySizeOnBothPathsEqualTheNaiveFilter)
{
    struct Case {
        int taps, fftSize;
        std::vector<int> calls;
    };
    const Case cases[] = {
        {31, -1, {600, 1, 30, 31, 2000, 7}},
        {32, 128, {512, 511, 1, 3, 97, 1000, 2, 600}},
        {300, 1024, {600, 2000, 1, 299, 300, 301, 725, 726, 511, 512}},
        {5, -1, {1, 2, 3, 4, 5, 6, 9, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.taps) + " taps");
        const auto h = RandomReals(c.taps, 20);
        const auto delay = RandomReals(c.taps, 21);
        const int total = std::accumulate(c.calls.begin(), c.calls.end(), 0);
        const auto x = RandomReals(total, 22);
        const auto ref = NaiveFir(h, delay, x);
        FirPtr split = MakeFir(h, delay);
        ASSERT_TRUE(split);
        EXPECT_EQ(split->fftSize, c.fftSize);
        std::vector<double> y(total, kPoison);
        int pos = 0;
        for (int n : c.calls) {
            ASSERT_EQ(vpsFIR_64f(x.data() + pos, y.data() + pos, n, split.get()), StatusOk);
            pos += n;
            // The delay line holds the last T samples of the stream, oldest first.
            for (int i = 0; i < c.taps; ++i) {
                const int j = pos - c.taps + i;
                ASSERT_EQ(split->delay[i], j >= 0 ? x[j] : delay[-j - 1]) << "after " << pos << ", " << i;
            }
            EXPECT_EQ(split->delayPos, 0);
        }
        EXPECT_LE(MaxError(y, ref), 1e-12);
        FirPtr whole = MakeFir(h, delay);
        std::vector<double> one(total);
        ASSERT_EQ(vpsFIR_64f(x.data(), one.data(), total, whole.get()), StatusOk);
        EXPECT_LE(MaxError(one, ref), 1e-12);
    }
}

TEST(Fir, NullDelayLineIsZeros)
{
    const auto h = RandomReals(40, 23);
    const auto x = RandomReals(700, 24);
    FirPtr a = MakeFir(h, {});
    FirPtr b = MakeFir(h, std::vector<double>(40, 0.0));
    std::vector<double> ya(700), yb(700);
    ASSERT_EQ(vpsFIR_64f(x.data(), ya.data(), 700, a.get()), StatusOk);
    ASSERT_EQ(vpsFIR_64f(x.data(), yb.data(), 700, b.get()), StatusOk);
    EXPECT_EQ(ya, yb);
    EXPECT_LE(MaxError(ya, NaiveFir(h, {}, x)), 1e-12);
}

TEST(Fir, SingleSamplesInterleaveWithBlockCalls)
{
    FirPtr s = MakeFir({1, 2, 3}, {});
    std::vector<double> out;
    for (double x : {1.0, 0.0, 0.0, 0.0}) {
        double y = kPoison;
        ASSERT_EQ(vpsFIROne_64f(x, &y, s.get()), StatusOk);
        out.push_back(y);
    }
    EXPECT_EQ(out, (std::vector<double> {1, 2, 3, 0}));

    for (int taps : {7, 64}) {
        SCOPED_TRACE(std::to_string(taps) + " taps");
        const auto h = RandomReals(taps, 25);
        const auto x = RandomReals(3000, 26);
        const auto ref = NaiveFir(h, {}, x);
        FirPtr f = MakeFir(h, {});
        std::vector<double> y(x.size());
        int pos = 0;
        for (int n : {5, 600, 100, 513, 1, 700}) {
            for (int i = 0; i < n % 11 + taps / 2; ++i, ++pos)
                ASSERT_EQ(vpsFIROne_64f(x[pos], &y[pos], f.get()), StatusOk);
            ASSERT_EQ(vpsFIR_64f(x.data() + pos, y.data() + pos, n, f.get()), StatusOk);
            pos += n;
        }
        y.resize(pos);
        EXPECT_LE(MaxError(y, std::vector<double>(ref.begin(), ref.begin() + pos)), 1e-12);
    }
}

TEST(Fir, StatusesInCheckOrderTouchNothing)
{
    const auto h = RandomReals(8, 27);
    FirState* const poison = reinterpret_cast<FirState*>(std::uintptr_t {0x7070});
    FirState* out = poison;
    EXPECT_EQ(vpsFIRInitAlloc_64f(nullptr, h.data(), 8, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsFIRInitAlloc_64f(&out, nullptr, 0, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsFIRInitAlloc_64f(&out, h.data(), 0, nullptr), StatusBadFirLength);
    // Tap counts that need an FFT above order 30; the taps array is small, so a read would show.
    EXPECT_EQ(vpsFIRInitAlloc_64f(&out, h.data(), 1 << 29, nullptr), StatusBadFftOrder);
    EXPECT_EQ(vpsFIRInitAlloc_64f(&out, h.data(), INT_MAX, nullptr), StatusBadFftOrder);
    EXPECT_EQ(out, poison);

    FirPtr s = MakeFir(h, {});
    double x[4] = {1, 2, 3, 4}, y[4] = {kPoison, kPoison, kPoison, kPoison};
    EXPECT_EQ(vpsFIR_64f(x, y, 4, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsFIR_64f(nullptr, y, 0, s.get()), StatusNullPointer);
    EXPECT_EQ(vpsFIR_64f(x, y, 0, s.get()), StatusBadSize);
    EXPECT_EQ(vpsFIROne_64f(1.0, nullptr, s.get()), StatusNullPointer);
    for (std::uint32_t id : {kIdFirState2, kIdIirState}) {
        s->id = id;
        EXPECT_EQ(vpsFIR_64f(x, y, 4, s.get()), StatusWrongContext);
        EXPECT_EQ(vpsFIROne_64f(1.0, y, s.get()), StatusWrongContext);
    }
    EXPECT_EQ(vpsFIRFree_64f(s.get()), StatusWrongContext);  // an IIR id: nothing released
    s->id = kIdFirState;
    for (double v : y)
        EXPECT_EQ(v, kPoison);
    EXPECT_EQ(vpsFIRFree_64f(nullptr), StatusNullPointer);

    // A state the caller owns is not released (ASan would report a double free below).
    s->owned = 0;
    EXPECT_EQ(vpsFIRFree_64f(s.get()), StatusOk);
    s->owned = 1;
}

TEST(Fir, EachInitAllocationFailingInTurnLeavesNothing)
{
    const auto h = RandomReals(300, 28);
    long calls = 0;
    {
        const DspAllocFailGuard count(0);
        FirPtr s = MakeFir(h, {});
        calls = count.Calls();
    }
    ASSERT_GE(calls, 2);
    for (long k = 1; k <= calls; ++k) {
        FirState* const poison = reinterpret_cast<FirState*>(std::uintptr_t {0x7070});
        FirState* out = poison;
        const DspAllocFailGuard fail(k);
        EXPECT_EQ(vpsFIRInitAlloc_64f(&out, h.data(), 300, nullptr), StatusNoMemory) << k;
        EXPECT_EQ(out, poison);
    }
}

}  // namespace
}  // namespace dcs
