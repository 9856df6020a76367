// The double IIR filters against a long-double one-sample recurrence, their block and
// in-place behaviour, set-up statuses and state sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/IirEntries.h"
#include "dsp/double/IirFilters.h"
#include "dsp/spectral/FftEntries.h"

namespace dcs {
namespace {

using Ext = long double;

// a0..an of a stable denominator with random poles of radius 0.3 to 0.8 (conjugate pairs
// and one real pole for an odd order), times `gain` so that normalisation matters.
std::vector<double> StableDenominator(int order, std::mt19937_64& gen, double gain)
{
    std::uniform_real_distribution<double> radius(0.3, 0.8), angle(0.1, 3.0);
    std::vector<std::complex<Ext>> poly {1.0L};
    auto multiply = [&](std::complex<Ext> p) {
        poly.push_back(0.0L);
        for (std::size_t k = poly.size() - 1; k > 0; --k)
            poly[k] -= p * poly[k - 1];
    };
    for (int k = 0; k + 1 < order; k += 2) {
        const std::complex<Ext> p = std::polar<Ext>(radius(gen), angle(gen));
        multiply(p);
        multiply(std::conj(p));
    }
    if (order % 2)
        multiply(radius(gen) * (gen() % 2 ? 1.0L : -1.0L));
    std::vector<double> a;
    for (const auto& c : poly)
        a.push_back(static_cast<double>(c.real() * gain));
    return a;
}

std::vector<double> Random(std::size_t n, std::mt19937_64& gen)
{
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v)
        x = u(gen);
    return v;
}

// One section of taps b0..bn, a0..an in long double, filtered one sample at a time in
// transposed direct form II from the delay values d.
std::vector<Ext> Reference(const double* taps, int n, std::vector<Ext> d, const std::vector<Ext>& x)
{
    const Ext a0 = taps[n + 1];
    d.resize(static_cast<std::size_t>(n) + 1, 0.0L);
    std::vector<Ext> y;
    for (Ext v : x) {
        const Ext out = taps[0] / a0 * v + d[0];
        for (int j = 0; j < n; ++j)
            d[j] = d[j + 1] + taps[j + 1] / a0 * v - taps[n + 2 + j] / a0 * out;
        y.push_back(out);
    }
    return y;
}

std::vector<Ext> AnyOrderReference(const std::vector<double>& taps, int n, const std::vector<double>& dly,
                                   const std::vector<double>& x)
{
    return Reference(taps.data(), n, std::vector<Ext>(dly.begin(), dly.end()), std::vector<Ext>(x.begin(), x.end()));
}

std::vector<Ext> CascadeReference(const std::vector<double>& taps, const std::vector<double>& dly,
                                  const std::vector<double>& x)
{
    std::vector<Ext> v(x.begin(), x.end());
    for (std::size_t k = 0; 6 * k < taps.size(); ++k) {
        std::vector<Ext> d;
        if (!dly.empty())
            d = {dly[2 * k], dly[2 * k + 1]};
        v = Reference(taps.data() + 6 * k, 2, d, v);
    }
    return v;
}

double RelativeError(const std::vector<double>& y, const std::vector<Ext>& ref)
{
    Ext err = 0, peak = 0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        err = std::max(err, std::fabs(y[i] - ref[i]));
        peak = std::max(peak, std::fabs(ref[i]));
    }
    return static_cast<double>(err / peak);
}

struct StateGuard {
    IirState64f* state = nullptr;
    ~StateGuard()
    {
        if (state) {
            EXPECT_EQ(vpsIIRFree_64f(state), StatusOk);
        }
    }
};

// A filter under test: its taps, optional delay line and the long-double reference.
struct Filter {
    std::vector<double> taps, dly;
    int count = 0;  // order or sections
    bool biquad = false;

    VpsStatus Make(StateGuard& g) const
    {
        const double* d = dly.empty() ? nullptr : dly.data();
        return biquad ? vpsIIRInitAlloc_BiQuad_64f(&g.state, taps.data(), count, d)
                      : vpsIIRInitAlloc_64f(&g.state, taps.data(), count, d);
    }
    std::vector<Ext> Ref(const std::vector<double>& x) const
    {
        return biquad ? CascadeReference(taps, dly, x) : AnyOrderReference(taps, count, dly, x);
    }
};

Filter AnyOrder(int order, std::mt19937_64& gen, bool withDelay)
{
    Filter f;
    f.count = order;
    f.taps = Random(static_cast<std::size_t>(order) + 1, gen);
    const auto a = StableDenominator(order, gen, 1.7);
    f.taps.insert(f.taps.end(), a.begin(), a.end());
    if (withDelay)
        f.dly = Random(static_cast<std::size_t>(order), gen);
    return f;
}

Filter Cascade(int sections, std::mt19937_64& gen, bool withDelay)
{
    Filter f;
    f.count = sections;
    f.biquad = true;
    for (int k = 0; k < sections; ++k) {
        auto b = Random(3, gen);
        b[0] += b[0] < 0 ? -0.5 : 0.5;  // keeps b0 away from zero
        const auto a = StableDenominator(2, gen, 0.6 + k);
        f.taps.insert(f.taps.end(), b.begin(), b.end());
        f.taps.insert(f.taps.end(), a.begin(), a.end());
    }
    if (withDelay)
        f.dly = Random(2 * static_cast<std::size_t>(sections), gen);
    return f;
}

std::vector<Filter> Filters()
{
    std::mt19937_64 gen(2026);
    std::vector<Filter> all;
    for (int order : {0, 1, 2, 3, 8})
        for (bool withDelay : {false, true})
            all.push_back(AnyOrder(order, gen, withDelay));
    for (int sections : {1, 2, 3})
        for (bool withDelay : {false, true})
            all.push_back(Cascade(sections, gen, withDelay));
    return all;
}

TEST(Iir64f, MatchesLongDoubleRecurrenceForOddAndEvenLengths)
{
    std::mt19937_64 gen(7);
    for (const Filter& f : Filters()) {
        for (int len : {1, 2, 3, 64, 257}) {
            SCOPED_TRACE(testing::Message() << (f.biquad ? "sections " : "order ") << f.count << " len " << len
                                            << (f.dly.empty() ? "" : " with delay line"));
            StateGuard g;
            ASSERT_EQ(f.Make(g), StatusOk);
            const auto x = Random(static_cast<std::size_t>(len), gen);
            std::vector<double> y(x.size());
            ASSERT_EQ(vpsIIR_64f(x.data(), y.data(), len, g.state), StatusOk);
            EXPECT_LE(RelativeError(y, f.Ref(x)), 1e-13);
        }
    }
}

// Blocks of 1, 2 and 7 samples in turn continue where the previous one stopped; in place
// gives exactly the separate-array output.
TEST(Iir64f, BlocksAndInPlaceEqualOneCall)
{
    std::mt19937_64 gen(11);
    const auto x = Random(200, gen);
    for (const Filter& f : Filters()) {
        SCOPED_TRACE(testing::Message() << (f.biquad ? "sections " : "order ") << f.count);
        StateGuard whole, blocks, inPlace;
        ASSERT_EQ(f.Make(whole), StatusOk);
        ASSERT_EQ(f.Make(blocks), StatusOk);
        ASSERT_EQ(f.Make(inPlace), StatusOk);
        std::vector<double> y(x.size()), yb(x.size()), yi = x;
        ASSERT_EQ(vpsIIR_64f(x.data(), y.data(), 200, whole.state), StatusOk);
        const int sizes[] = {1, 2, 7};
        for (int pos = 0, k = 0; pos < 200; ++k) {
            const int n = std::min(sizes[k % 3], 200 - pos);
            ASSERT_EQ(vpsIIR_64f(x.data() + pos, yb.data() + pos, n, blocks.state), StatusOk);
            pos += n;
        }
        ASSERT_EQ(vpsIIR_64f(yi.data(), yi.data(), 200, inPlace.state), StatusOk);
        std::vector<Ext> ref(y.begin(), y.end());
        EXPECT_LE(RelativeError(yb, ref), 1e-14);
        EXPECT_EQ(yi, y);
    }
}

TEST(Iir64f, DelayLineShowsInFirstOutputAndOrderZeroOnlyScales)
{
    const double taps1[] = {0.5, 0.25, 2.0, -1.0};  // b0 b1 a0 a1
    const double d0 = 3.0;
    StateGuard g;
    ASSERT_EQ(vpsIIRInitAlloc_64f(&g.state, taps1, 1, &d0), StatusOk);
    const double x[] = {2.0};
    double y[1];
    ASSERT_EQ(vpsIIR_64f(x, y, 1, g.state), StatusOk);
    EXPECT_EQ(y[0], 0.25 * 2.0 + 3.0);

    // Order 0 never reads the delay line, so a pointer to nothing is fine.
    const double taps0[] = {3.0, 4.0};
    const auto* nowhere = reinterpret_cast<const double*>(alignof(double));
    StateGuard g0;
    ASSERT_EQ(vpsIIRInitAlloc_64f(&g0.state, taps0, 0, nowhere), StatusOk);
    const double x0[] = {1.0, -2.0, 8.0};
    double y0[3];
    ASSERT_EQ(vpsIIR_64f(x0, y0, 3, g0.state), StatusOk);
    EXPECT_EQ(y0[0], 0.75);
    EXPECT_EQ(y0[1], -1.5);
    EXPECT_EQ(y0[2], 6.0);
}

TEST(Iir64f, SetUpStatusesLeaveTheCallersPointerOnFailure)
{
    const double nan = std::nan("");
    struct Case {
        const char* name;
        bool biquad;
        int count;
        std::vector<double> taps;
        VpsStatus expected;
    } cases[] = {
        {"b0 = 0, order 0", false, 0, {0.0, 1.0}, StatusOk},
        {"b0 = 0, order 2", false, 2, {0.0, 1.0, 1.0, 1.0, 0.5, 0.25}, StatusOk},
        {"a0 = 0, order 1", false, 1, {1.0, 1.0, 0.0, 0.5}, StatusDivideByZero},
        {"a0 NaN, order 0", false, 0, {1.0, nan}, StatusDivideByZero},
        {"order -1", false, -1, {1.0, 1.0}, StatusBadIirOrder},
        {"biquad b0 = 0", true, 1, {0.0, 1.0, 1.0, 1.0, 0.5, 0.25}, StatusDivideByZero},
        {"biquad second b0 NaN", true, 2, {1, 0, 0, 1, 0, 0, nan, 0, 0, 1, 0, 0}, StatusDivideByZero},
        {"biquad a0 = 0", true, 1, {1.0, 1.0, 1.0, 0.0, 0.5, 0.25}, StatusDivideByZero},
        {"biquad no sections", true, 0, {1, 0, 0, 1, 0, 0}, StatusBadIirOrder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Filter f;
        f.taps = c.taps;
        f.count = c.count;
        f.biquad = c.biquad;
        auto* const sentinel = reinterpret_cast<IirState64f*>(std::uintptr_t {0x1230});
        StateGuard g;
        g.state = sentinel;
        EXPECT_EQ(f.Make(g), c.expected);
        if (c.expected != StatusOk) {
            EXPECT_EQ(g.state, sentinel);
            g.state = nullptr;
        }
    }
    IirState64f* s = nullptr;
    const double taps[] = {1.0, 1.0};
    EXPECT_EQ(vpsIIRInitAlloc_64f(nullptr, taps, 0, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsIIRInitAlloc_64f(&s, nullptr, -1, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsIIRInitAlloc_BiQuad_64f(nullptr, taps, 1, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsIIRInitAlloc_BiQuad_64f(&s, nullptr, 0, nullptr), StatusNullPointer);
    EXPECT_EQ(s, nullptr);
}

// The block requested from the heap (its aligned-block overhead included): one byte less
// than the state's size is refused with -9 and the caller's pointer kept.
TEST(Iir64f, StateSizesAndAllocationFailure)
{
    const std::vector<double> taps(2 * 8 + 2, 1.0),
        bq {1, 0.5, 0.25, 1, 0.1, 0.2, 1, 0.5, 0.25, 1, 0.1, 0.2, 1, 0.5, 0.25, 1, 0.1, 0.2};
    struct Case {
        bool biquad;
        int count;
        int size;
    } cases[] = {{false, 0, 96}, {false, 3, 160}, {false, 8, 144 + 80 + 64}, {true, 1, 112}, {true, 3, 224}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.biquad ? "sections " : "order ") << c.count);
        EXPECT_EQ(c.biquad ? dspIIRStateSizeBiQuad_64f(c.count) : dspIIRStateSize_64f(c.count), c.size);
        for (int slack : {-1, 0}) {
            IirState64f* s = nullptr;
            VpsStatus st;
            {
                DspAllocFailGuard guard(0, static_cast<std::size_t>(c.size + slack) + kAlignedBlockOverhead);
                st = c.biquad ? vpsIIRInitAlloc_BiQuad_64f(&s, bq.data(), c.count, nullptr)
                              : vpsIIRInitAlloc_64f(&s, taps.data(), c.count, nullptr);
            }
            EXPECT_EQ(st, slack < 0 ? StatusNoMemory : StatusOk);
            if (s) {
                EXPECT_EQ(vpsIIRFree_64f(s), StatusOk);
            }
        }
    }
    IirState64f* s = nullptr;
    EXPECT_EQ(vpsIIRInitAlloc_64f(&s, taps.data(), 1 << 28, nullptr), StatusNoMemory);  // size beyond 32 bits
    EXPECT_EQ(vpsIIRInitAlloc_BiQuad_64f(&s, bq.data(), 1 << 26, nullptr), StatusNoMemory);
    EXPECT_EQ(s, nullptr);
}

TEST(Iir64f, FilteringChecksLengthBeforeTheKindOfState)
{
    const double taps[] = {1.0, 0.5, 1.0, 0.25};
    StateGuard g;
    ASSERT_EQ(vpsIIRInitAlloc_64f(&g.state, taps, 1, nullptr), StatusOk);
    double x[2] = {1.0, 2.0}, y[2] = {7.0, 7.0};
    EXPECT_EQ(vpsIIR_64f(nullptr, y, 2, g.state), StatusNullPointer);
    EXPECT_EQ(vpsIIR_64f(x, nullptr, 2, g.state), StatusNullPointer);
    EXPECT_EQ(vpsIIR_64f(x, y, 2, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsIIR_64f(x, y, 0, g.state), StatusBadSize);
    EXPECT_EQ(vpsIIRFree_64f(nullptr), StatusNullPointer);

    // A single-precision state and an FFT spec are the wrong kind, but only after len.
    IirState32f* single = nullptr;
    const float ftaps[] = {1.0f, 1.0f};
    ASSERT_EQ(vpsIIRInitAlloc_32f(&single, ftaps, 0, nullptr), StatusOk);
    FftSpec* fft = nullptr;
    ASSERT_EQ(vpsFFTInitAlloc_C_64fc(&fft, 2, 8, 0), StatusOk);
    for (void* other : {static_cast<void*>(single), static_cast<void*>(fft)}) {
        auto* wrong = static_cast<IirState64f*>(other);
        EXPECT_EQ(vpsIIR_64f(x, y, 0, wrong), StatusBadSize);
        EXPECT_EQ(vpsIIR_64f(x, y, 2, wrong), StatusWrongContext);
        EXPECT_EQ(vpsIIRFree_64f(wrong), StatusWrongContext);
    }
    EXPECT_EQ(y[0], 7.0);
    EXPECT_EQ(vpsIIRFree_32f(single), StatusOk);
    EXPECT_EQ(vpsFFTFree_C_64fc(fft), StatusOk);
}

}  // namespace
}  // namespace dcs
