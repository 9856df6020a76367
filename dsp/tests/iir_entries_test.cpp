// Single-precision IIR set-up and filtering, the float multiply and divide by a
// constant: sizes, normalised taps, refusals that leave the caller's variables alone,
// filtering against a long-double recurrence in blocks of any size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "dsp/IirEntries.h"

namespace dcs {
namespace {

constexpr float kPoison = -12345.5f;
IirState32f* const kPoisonState = reinterpret_cast<IirState32f*>(std::uintptr_t {0x7070});
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(IirSetup, StateSizes)
{
    for (const auto& [order, size] : {std::pair {0, 96}, {1, 96}, {2, 112}})
        EXPECT_EQ(dspIIRStateSize<float>(order), size) << order;
    for (const auto& [sections, size] : {std::pair {1, 112}, {2, 128}, {3, 160}}) {
        int got = 0;
        ASSERT_EQ(vpsIIRGetStateSize_BiQuad_32f(sections, &got), StatusOk);
        EXPECT_EQ(got, size) << sections;
    }
    EXPECT_EQ(dspIIRStateSize<float>(std::numeric_limits<int>::max()), 0);
}

TEST(IirSetup, NormalisedTapsAndDelayLines)
{
    IirState32f* s = nullptr;
    const float order0[] = {2, 4};
    ASSERT_EQ(vpsIIRInitAlloc_32f(&s, order0, 0, nullptr), StatusOk);
    EXPECT_EQ(s->taps[0], 0.5f);
    EXPECT_EQ(s->owned, 1);
    float x[3] = {2, -4, 6}, y[3];
    ASSERT_EQ(vpsIIR_32f(x, y, 3, s), StatusOk);
    EXPECT_EQ(std::vector<float>(y, y + 3), (std::vector<float> {1, -2, 3}));
    EXPECT_EQ(vpsIIRFree_32f(s), StatusOk);

    const float order1[] = {1, 0, 1, -0.5f}, delay1[] = {5};
    ASSERT_EQ(vpsIIRInitAlloc_32f(&s, order1, 1, delay1), StatusOk);
    EXPECT_EQ(s->delay[0], 5.0f);
    EXPECT_EQ(s->delay[1], 0.0f);
    EXPECT_EQ(vpsIIRFree_32f(s), StatusOk);

    alignas(16) Vps8u buf[112 + 16];
    const float bq[] = {1, 2, 3, 2, 4, 6};
    ASSERT_EQ(vpsIIRInit_BiQuad_32f(&s, bq, 1, nullptr, buf + 3), StatusOk);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(s) % 16, 0u);
    EXPECT_EQ(std::vector<float>(s->taps, s->taps + 5), (std::vector<float> {0.5f, 1, 1.5f, 2, 3}));
    EXPECT_LE(reinterpret_cast<Vps8u*>(s->delay + 2), buf + 3 + 112);
    EXPECT_EQ(vpsIIRFree_32f(s), StatusOk);  // not owned: nothing released
}

TEST(IirSetup, RefusedTapsLeaveTheCallersStatePointer)
{
    for (float a0 : {0.0f, -0.0f, kNaN}) {
        SCOPED_TRACE(a0);
        IirState32f* s = kPoisonState;
        const float taps[] = {1, 2, 3, a0, 1, 1};
        EXPECT_EQ(vpsIIRInitAlloc_32f(&s, taps, 2, nullptr), StatusDivideByZero);
        EXPECT_EQ(s, kPoisonState);  // the state made for the call is released (ASan: no leak)

        // A section with a bad a0, or a bad b0 behind a good first section.
        const float bq[] = {1, 0, 0, 1, 0, 0, a0, 1, 1, 1, 0, 0, 1, 0, 0, a0, 0, 0};
        for (const float* t : {bq + 6, bq + 12, bq}) {
            alignas(16) Vps8u buf[160];
            IirState32f* q = kPoisonState;
            EXPECT_EQ(vpsIIRInit_BiQuad_32f(&q, t, 2, nullptr, buf), StatusDivideByZero);
            EXPECT_EQ(q, kPoisonState);
            float x = 1, y = kPoison;
            EXPECT_EQ(vpsIIR_32f(&x, &y, 1, reinterpret_cast<IirState32f*>(buf)), StatusWrongContext);
            EXPECT_EQ(y, kPoison);
        }
    }
    IirState32f* s = kPoisonState;
    const DspAllocFailGuard fail(1);
    const float taps[] = {1, 1};
    EXPECT_EQ(vpsIIRInitAlloc_32f(&s, taps, 0, nullptr), StatusNoMemory);
    EXPECT_EQ(s, kPoisonState);
}

TEST(IirEntries, StatusesInCheckOrder)
{
    const float taps[] = {1, 2, 1, 1, 0.1f, 0.1f};
    float x[2] = {1, 2}, y[2] = {kPoison, kPoison};
    IirState32f* s = kPoisonState;
    alignas(16) Vps8u buf[128];
    int size = -1;
    struct Row {
        VpsStatus got, want;
    };
    const Row rows[] = {
        {vpsIIRInitAlloc_32f(&s, nullptr, -1, nullptr), StatusNullPointer},
        {vpsIIRInitAlloc_32f(nullptr, taps, 1, nullptr), StatusNullPointer},
        {vpsIIRInitAlloc_32f(&s, taps, -1, nullptr), StatusBadIirOrder},
        {vpsIIRInit_BiQuad_32f(&s, taps, 1, nullptr, nullptr), StatusNullPointer},
        {vpsIIRInit_BiQuad_32f(&s, taps, 0, nullptr, buf), StatusBadIirOrder},
        {vpsIIRGetStateSize_BiQuad_32f(1, nullptr), StatusNullPointer},
        {vpsIIRGetStateSize_BiQuad_32f(0, &size), StatusBadIirOrder},
        {vpsIIR_32f(x, y, 2, nullptr), StatusNullPointer},
        {vpsIIR_32f(x, nullptr, 0, reinterpret_cast<IirState32f*>(buf)), StatusNullPointer},
        {vpsIIR_32f_I(y, 0, reinterpret_cast<IirState32f*>(buf)), StatusBadSize},
        {vpsIIRFree_32f(nullptr), StatusNullPointer},
        {vpsMulC_32f(x, 2, nullptr, 2), StatusNullPointer},
        {vpsMulC_32f(x, 2, y, 0), StatusBadSize},
        {vpsDivC_32f_I(0, nullptr, 2), StatusNullPointer},
        {vpsDivC_32f_I(0, y, -1), StatusBadSize},
        {vpsDivC_32f_I(0, y, 2), StatusDivideByZero},
        {vpsDivC_32f_I(kNaN, y, 2), StatusDivideByZero},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].got, rows[i].want) << "row " << i;
    EXPECT_EQ(s, kPoisonState);
    EXPECT_EQ(size, -1);
    // Another kind of state (a FIR id) is refused by filtering and release alike.
    std::uint32_t fir[16] = {kIdFirState};
    auto* other = reinterpret_cast<IirState32f*>(fir);
    EXPECT_EQ(vpsIIR_32f(x, y, 2, other), StatusWrongContext);
    EXPECT_EQ(vpsIIR_32f_I(y, 2, other), StatusWrongContext);
    EXPECT_EQ(vpsIIRFree_32f(other), StatusWrongContext);
    EXPECT_EQ(y[0], kPoison);
    EXPECT_EQ(y[1], kPoison);
}

TEST(FloatConstant, MultiplyAndDivide)
{
    const float x[] = {1, 2, kNaN, -3};
    float y[4];
    ASSERT_EQ(vpsMulC_32f(x, 0.0f, y, 4), StatusOk);
    for (float v : y)
        EXPECT_EQ(v, 0.0f);  // zeroed, not multiplied: NaN · 0 gives 0 here
    ASSERT_EQ(vpsMulC_32f(x, 1.0f, y, 4), StatusOk);
    EXPECT_EQ(std::memcmp(x, y, sizeof x), 0);
    ASSERT_EQ(vpsMulC_32f(x, kNaN, y, 4), StatusOk);  // only 1.0 copies
    EXPECT_TRUE(std::isnan(y[0]));

    float d[] = {1, 2};
    ASSERT_EQ(vpsDivC_32f_I(4.0f, d, 2), StatusOk);
    EXPECT_EQ(d[0], 0.25f);
    EXPECT_EQ(d[1], 0.5f);
    ASSERT_EQ(dspDivC_32f(x, kInf, y, 4), StatusOk);
    EXPECT_EQ(y[0], 0.0f);
    EXPECT_EQ(y[3], 0.0f);
    // A product with the rounded reciprocal, which differs from the quotient for some x.
    const float v = 3.0f, r = static_cast<float>(1.0L / v);
    int differing = 0;
    for (float q = 1.0f; q < 2.0f; q += 0.0078125f) {
        float got;
        ASSERT_EQ(dspDivC_32f(&q, v, &got, 1), StatusOk);
        EXPECT_EQ(got, q * r);
        differing += got != q / v;
    }
    EXPECT_GT(differing, 0);
}

std::vector<float> RandomFloats(std::size_t n, std::mt19937& gen)
{
    std::uniform_real_distribution<float> u(-1, 1);
    std::vector<float> x(n);
    for (float& v : x)
        v = u(gen);
    return x;
}

// y by the transposed recurrence in long double over the normalised taps.
std::vector<long double> Reference(const std::vector<float>& b, const std::vector<float>& a,
                                   const std::vector<float>& x)
{
    const std::size_t n = b.size() - 1;
    std::vector<long double> d(n + 1, 0), y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const long double yi = b[0] / static_cast<long double>(a[0]) * x[i] + d[0];
        for (std::size_t k = 0; k < n; ++k)
            d[k] = d[k + 1] + (b[k + 1] * static_cast<long double>(x[i]) - a[k + 1] * yi) / a[0];
        y[i] = yi;
    }
    return y;
}

TEST(IirEntries, ExactSmallFilters)
{
    // an order-1 decay on an impulse, whole and in two calls
    const float decay[] = {1, 0, 1, -0.5f};
    const float impulse[] = {1, 0, 0, 0};
    const std::vector<float> want = {1, 0.5f, 0.25f, 0.125f};
    for (int split : {4, 2}) {
        IirState32f* s = nullptr;
        ASSERT_EQ(vpsIIRInitAlloc_32f(&s, decay, 1, nullptr), StatusOk);
        std::vector<float> y(4, kPoison);
        ASSERT_EQ(vpsIIR_32f(impulse, y.data(), split, s), StatusOk);
        if (split < 4) {
            ASSERT_EQ(vpsIIR_32f(impulse + split, y.data() + split, 4 - split, s), StatusOk);
        }
        EXPECT_EQ(y, want) << "calls of " << split;
        EXPECT_EQ(vpsIIRFree_32f(s), StatusOk);
    }
    // a pass-through biquad section
    const float through[] = {1, 0, 0, 1, 0, 0};
    alignas(16) Vps8u buf[112];
    IirState32f* s = nullptr;
    ASSERT_EQ(vpsIIRInit_BiQuad_32f(&s, through, 1, nullptr, buf), StatusOk);
    const float x[] = {3.25f, -1, 1e30f, 1e-30f};
    float y[4];
    ASSERT_EQ(vpsIIR_32f(x, y, 4, s), StatusOk);
    EXPECT_EQ(0, std::memcmp(x, y, sizeof x));
}

TEST(IirEntries, FilteringMatchesTheRecurrenceInBlocksOfAnySize)
{
    std::mt19937 gen(31);
    std::uniform_real_distribution<float> u(-1, 1);
    const std::vector<float> x = RandomFloats(300, gen);
    for (int order : {0, 1, 2, 3, 8}) {
        SCOPED_TRACE("order " + std::to_string(order));
        std::vector<float> b(order + 1), a(order + 1), taps;
        for (float& v : b)
            v = u(gen);
        a[0] = 1.5f;
        for (int k = 1; k <= order; ++k)
            a[k] = u(gen) * 0.7f / order;
        taps = b;
        taps.insert(taps.end(), a.begin(), a.end());
        const auto ref = Reference(b, a, x);
        std::vector<float> whole(x.size());
        for (int block : {300, 1, 2, 7}) {
            IirState32f* s = nullptr;
            ASSERT_EQ(vpsIIRInitAlloc_32f(&s, taps.data(), order, nullptr), StatusOk);
            std::vector<float> y(x);
            for (std::size_t p = 0; p < x.size(); p += block)
                ASSERT_EQ(vpsIIR_32f_I(y.data() + p, std::min<int>(block, x.size() - p), s), StatusOk);
            EXPECT_EQ(vpsIIRFree_32f(s), StatusOk);
            if (block == 300)
                whole = y;
            EXPECT_EQ(y, whole) << "blocks of " << block;
            for (std::size_t i = 0; i < x.size(); ++i)
                ASSERT_NEAR(y[i], static_cast<double>(ref[i]), 1e-5 * (1 + std::abs(static_cast<double>(ref[i])))) << i;
        }
    }
}

TEST(IirEntries, CascadeMatchesItsSectionsInTurn)
{
    std::mt19937 gen(32);
    std::uniform_real_distribution<float> u(-1, 1);
    const std::vector<float> x = RandomFloats(200, gen);
    for (int sections : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(sections) + " sections");
        std::vector<float> taps;
        std::vector<long double> ref(x.begin(), x.end());
        for (int k = 0; k < sections; ++k) {
            const std::vector<float> b = {u(gen) + 2, u(gen), u(gen)}, a = {1.25f, u(gen) * 0.4f, u(gen) * 0.4f};
            taps.insert(taps.end(), b.begin(), b.end());
            taps.insert(taps.end(), a.begin(), a.end());
            std::vector<float> in(ref.begin(), ref.end());
            ref = Reference(b, a, in);
        }
        for (int block : {200, 1, 2, 7}) {
            alignas(16) Vps8u buf[160];
            IirState32f* s = nullptr;
            ASSERT_EQ(vpsIIRInit_BiQuad_32f(&s, taps.data(), sections, nullptr, buf), StatusOk);
            std::vector<float> y(x.size());
            for (std::size_t p = 0; p < x.size(); p += block)
                ASSERT_EQ(vpsIIR_32f(x.data() + p, y.data() + p, std::min<int>(block, x.size() - p), s), StatusOk);
            for (std::size_t i = 0; i < x.size(); ++i)
                ASSERT_NEAR(y[i], static_cast<double>(ref[i]), 1e-4 * (1 + std::abs(static_cast<double>(ref[i])))) << i;
        }
    }
}

}  // namespace
}  // namespace dcs
