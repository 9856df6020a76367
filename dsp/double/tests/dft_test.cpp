// The any-length DFT entries against FFTW's long-double plans, their plans, statuses and
// failure paths.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/DftMixedRadix.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::Ext;
using ffttest::RandomReals;
using ffttest::RelativeError;

constexpr int kFlags[] = {1, 2, 4, 8};

double Bound(int n) { return 1e-13 * std::max(1.0, std::log2(static_cast<double>(n))); }

// Scale the spec's flag applies in one direction.
Ext DirectionScale(int flag, int n, bool inverse)
{
    if (flag == 4)
        return 1.0L / std::sqrt(static_cast<Ext>(n));
    if ((flag == 1 && !inverse) || (flag == 2 && inverse))
        return 1.0L / n;
    return 1.0L;
}

struct SpecGuard {
    DftSpec* spec = nullptr;
    bool real = false;
    ~SpecGuard()
    {
        if (spec)
            (real ? fallback::vpsDFTFree_R_64f : fallback::vpsDFTFree_C_64fc)(spec);
    }
};

std::vector<Vps8u> BufferFor(const DftSpec* spec)
{
    std::int64_t size = 0;
    EXPECT_EQ(dspDFTGetBufSize_64f(spec, &size), StatusOk);
    return std::vector<Vps8u>(static_cast<std::size_t>(size) + 1);
}

// Every flag runs once per direction; the four flags cycle through in place / separate and
// own / given buffer, so each length sees every combination of those once.
TEST(DftComplex, MatchesLongDoubleReferenceAtEveryPlan)
{
    const int lengths[] = {1,   2,   3,   4,   5,   6,   8,   9,   15,   45,   105,  149,   151,
                           157, 181, 210, 302, 453, 505, 596, 675, 1000, 1155, 2310, 22201, 22801};
    for (int n : lengths) {
        const auto x = RandomReals(2 * static_cast<std::size_t>(n), static_cast<unsigned>(n));
        const auto refFwd = ffttest::RefComplex(x, -1);
        const auto refInv = ffttest::RefComplex(x, +1);
        for (int f = 0; f < 4; ++f) {
            const int flag = kFlags[f];
            const bool inPlace = f & 1, given = f & 2;
            SCOPED_TRACE(testing::Message() << "n " << n << " flag " << flag);
            SpecGuard g;
            ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g.spec, n, flag, 0), StatusOk);
            auto buffer = BufferFor(g.spec);
            Vps8u* buf = given ? buffer.data() + 1 : nullptr;  // deliberately misaligned
            for (bool inverse : {false, true}) {
                std::vector<double> src = x, dst(2 * n, -7.0);
                double* out = inPlace ? src.data() : dst.data();
                auto* run = inverse ? fallback::vpsDFTInv_CToC_64fc : fallback::vpsDFTFwd_CToC_64fc;
                ASSERT_EQ(
                    run(reinterpret_cast<const Vps64fc*>(src.data()), reinterpret_cast<Vps64fc*>(out), g.spec, buf),
                    StatusOk);
                EXPECT_LE(RelativeError(out, inverse ? refInv : refFwd, DirectionScale(flag, n, inverse)), Bound(n))
                    << (inverse ? "inverse" : "forward");
            }
        }
    }
}

TEST(DftReal, MatchesLongDoubleReferenceAtEveryPlan)
{
    const int lengths[] = {1, 2, 3, 4, 5, 6, 8, 9, 15, 45, 105, 181, 210, 225, 302, 447, 453, 505, 675, 1155, 22201};
    for (int n : lengths) {
        const auto x = RandomReals(static_cast<std::size_t>(n), static_cast<unsigned>(n) + 77);
        auto ref = ffttest::RefRealForward(x);
        const std::size_t ccs = n % 2 ? n + 1 : n + 2;
        ref.resize(ccs);
        for (int f = 0; f < 4; ++f) {
            const int flag = kFlags[f];
            const bool inPlace = f & 1, given = f & 2;
            SCOPED_TRACE(testing::Message() << "n " << n << " flag " << flag);
            SpecGuard g {nullptr, true};
            ASSERT_EQ(fallback::vpsDFTInitAlloc_R_64f(&g.spec, n, flag, 0), StatusOk);
            auto buffer = BufferFor(g.spec);
            Vps8u* buf = given ? buffer.data() + 1 : nullptr;
            std::vector<double> spec(ccs + 2, -7.0);
            ASSERT_EQ(fallback::vpsDFTFwd_RToCCS_64f(x.data(), spec.data(), g.spec, buf), StatusOk);
            EXPECT_LE(RelativeError(spec.data(), ref, DirectionScale(flag, n, false)), Bound(n));
            EXPECT_EQ(spec[ccs], -7.0) << "wrote past the CCS spectrum";
            // The inverse of the reference spectrum, with junk in the imaginary slots it must ignore.
            std::vector<double> in(ref.begin(), ref.end());
            in[1] = 123.0;
            if (n % 2 == 0)
                in[n + 1] = -55.0;
            const auto refInv = ffttest::RefRealInverse(std::vector<double>(ref.begin(), ref.end()), n);
            std::vector<double> out(n, -7.0);
            double* dst = inPlace ? in.data() : out.data();
            ASSERT_EQ(fallback::vpsDFTInv_CCSToR_64f(in.data(), dst, g.spec, buf), StatusOk);
            EXPECT_LE(RelativeError(dst, refInv, DirectionScale(flag, n, true)), Bound(n));
        }
    }
}

// Forward then inverse on one spec: x back for flags 1, 2, 4, N x for 8.
TEST(DftRoundTrip, ReturnsTheSignalOnEveryPlan)
{
    for (int n : {3, 4, 7, 16, 30, 149, 302, 1000, 453}) {
        for (int flag : kFlags) {
            SCOPED_TRACE(testing::Message() << "n " << n << " flag " << flag);
            const Ext back = flag == 8 ? n : 1;
            const auto x = RandomReals(2 * static_cast<std::size_t>(n), 5);
            const std::vector<Ext> xe(x.begin(), x.end());
            SpecGuard c;
            ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&c.spec, n, flag, 0), StatusOk);
            std::vector<double> y = x;
            auto* cy = reinterpret_cast<Vps64fc*>(y.data());
            ASSERT_EQ(fallback::vpsDFTFwd_CToC_64fc(cy, cy, c.spec, nullptr), StatusOk);
            ASSERT_EQ(fallback::vpsDFTInv_CToC_64fc(cy, cy, c.spec, nullptr), StatusOk);
            EXPECT_LE(RelativeError(y.data(), xe, back), 4 * Bound(n));

            SpecGuard r {nullptr, true};
            ASSERT_EQ(fallback::vpsDFTInitAlloc_R_64f(&r.spec, n, flag, 0), StatusOk);
            std::vector<double> s(n + 2);
            ASSERT_EQ(fallback::vpsDFTFwd_RToCCS_64f(x.data(), s.data(), r.spec, nullptr), StatusOk);
            ASSERT_EQ(fallback::vpsDFTInv_CCSToR_64f(s.data(), s.data(), r.spec, nullptr), StatusOk);
            const std::vector<Ext> xr(x.begin(), x.begin() + n);
            EXPECT_LE(RelativeError(s.data(), xr, back), 4 * Bound(n));
        }
    }
}

// Transforms only read the spec: threads sharing one spec, each with its own data and no
// buffer, all get the single-threaded result.
TEST(DftConcurrency, ThreadsShareOneSpec)
{
    for (int n : {1000, 302, 151}) {
        SpecGuard g;
        ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g.spec, n, 4, 0), StatusOk);
        const auto x = RandomReals(2 * static_cast<std::size_t>(n), 11);
        std::vector<double> want(2 * n);
        fallback::vpsDFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(x.data()),
                                      reinterpret_cast<Vps64fc*>(want.data()), g.spec, nullptr);
        std::vector<std::vector<double>> got(4, std::vector<double>(2 * n));
        std::vector<std::thread> threads;
        for (auto& y : got)
            threads.emplace_back([&] {
                for (int rep = 0; rep < 3; ++rep)
                    fallback::vpsDFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(x.data()),
                                                  reinterpret_cast<Vps64fc*>(y.data()), g.spec, nullptr);
            });
        for (auto& t : threads)
            t.join();
        for (const auto& y : got)
            EXPECT_EQ(y, want) << n;
    }
}

TEST(DftExact, SmallLengthsOnIntegers)
{
    struct Case {
        int n;
        std::vector<double> x, fwd;
    };
    const Case complexCases[] = {
        {1, {3, -2}, {3, -2}},
        {2, {1, 2, 3, 4}, {4, 6, -2, -2}},
        {4, {1, 0, 2, 0, 3, 0, 4, 0}, {10, 0, -2, 2, -2, 0, -2, -2}},
    };
    for (const auto& c : complexCases) {
        SpecGuard g;
        ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g.spec, c.n, 8, 0), StatusOk);
        std::vector<double> y(2 * c.n);
        fallback::vpsDFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(c.x.data()),
                                      reinterpret_cast<Vps64fc*>(y.data()), g.spec, nullptr);
        EXPECT_EQ(y, c.fwd) << "n " << c.n;
    }
    const Case realCases[] = {
        {1, {5}, {5, 0}},
        {2, {1, 2}, {3, 0, -1, 0}},
        {4, {1, 2, 3, 4}, {10, 0, -2, 2, -2, 0}},
    };
    for (const auto& c : realCases) {
        SpecGuard g {nullptr, true};
        ASSERT_EQ(fallback::vpsDFTInitAlloc_R_64f(&g.spec, c.n, 8, 0), StatusOk);
        std::vector<double> y(c.fwd.size(), -1);
        fallback::vpsDFTFwd_RToCCS_64f(c.x.data(), y.data(), g.spec, nullptr);
        EXPECT_EQ(y, c.fwd) << "n " << c.n;
    }
}

TEST(DftExact, InverseChirpIsTheForwardWithTheTailReversed)
{
    const int n = 151;
    const auto x = RandomReals(2 * n, 9);
    SpecGuard g;
    ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g.spec, n, 8, 0), StatusOk);
    ASSERT_NE(g.spec->chirpFft, nullptr);
    std::vector<Vps64fc> fwd(n), inv(n);
    const auto* src = reinterpret_cast<const Vps64fc*>(x.data());
    fallback::vpsDFTFwd_CToC_64fc(src, fwd.data(), g.spec, nullptr);
    fallback::vpsDFTInv_CToC_64fc(src, inv.data(), g.spec, nullptr);
    EXPECT_EQ(inv[0].re, fwd[0].re);
    for (int k = 1; k < n; ++k) {
        EXPECT_EQ(inv[k].re, fwd[n - k].re);
        EXPECT_EQ(inv[k].im, fwd[n - k].im);
    }
}

// Which plan each length takes, and the mixed-radix tables.
TEST(DftPlan, FactorisationsAndTables)
{
    struct Case {
        int n;
        std::vector<int> radices;  // then F; empty: rejected
    };
    const Case cases[] = {
        {6, {2, 3}}, {12, {4, 3}},        {24, {2, 4, 3}}, {40, {2, 4, 5}}, {45, {3, 3, 5}}, {302, {}},
        {22801, {}}, {22201, {149, 149}}, {596, {4, 149}}, {5, {}},         {453, {}},       {1000, {2, 4, 5, 5, 5}},
    };
    for (const auto& c : cases) {
        DftSpec spec {};
        const int ok = dspDFTFactorize(&spec, c.n);
        ASSERT_EQ(ok, c.radices.empty() ? 0 : 1) << c.n;
        if (!ok)
            continue;
        std::vector<int> got;
        for (int i = 0; i <= spec.last + 1; ++i)
            got.push_back(spec.stages[i].radix);
        EXPECT_EQ(got, c.radices) << c.n;
    }
    DftSpec big {};
    ASSERT_EQ(dspDFTFactorize(&big, 1162261467), 1);  // 3^19
    EXPECT_EQ(big.last + 2, 19);

    SpecGuard g;
    ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g.spec, 1000, 8, 0), StatusOk);
    ASSERT_EQ(g.spec->mixedRadix, 1);
    EXPECT_EQ(g.spec->stages[g.spec->last].groups, 20);
    const std::vector<int> head(g.spec->digitRev, g.spec->digitRev + 7);
    EXPECT_EQ(head, (std::vector<int> {0, 8, 16, 24, 32, 2, 10}));

    SpecGuard g596;
    ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&g596.spec, 596, 8, 0), StatusOk);
    EXPECT_EQ(g596.spec->last, 0);

    // Path flags: exactly one plan per length.
    struct Path {
        int n;
        int pow2, mixed, direct, chirpLength;
    };
    const Path paths[] = {{4, 0, 0, 0, 0},     {8, 1, 0, 0, 0},      {5, 0, 0, 1, 0},      {149, 0, 0, 1, 0},
                          {151, 0, 0, 0, 512}, {257, 0, 0, 0, 1024}, {302, 0, 0, 0, 1024}, {22201, 0, 1, 0, 0}};
    for (const auto& p : paths) {
        SpecGuard s;
        ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&s.spec, p.n, 8, 0), StatusOk);
        EXPECT_EQ(s.spec->powerOfTwo, p.pow2) << p.n;
        EXPECT_EQ(s.spec->mixedRadix, p.mixed) << p.n;
        EXPECT_EQ(s.spec->directRoots != nullptr, p.direct != 0) << p.n;
        EXPECT_EQ(s.spec->chirpLength, p.chirpLength) << p.n;
    }
}

TEST(DftStatus, ChecksInOrderAndLeavesOutputs)
{
    DftSpec* untouched = reinterpret_cast<DftSpec*>(std::uintptr_t {0x1234});
    DftSpec* out = untouched;
    EXPECT_EQ(fallback::vpsDFTInitAlloc_C_64fc(nullptr, 8, 1, 0), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&out, 0, 1, 0), StatusBadSize);
    EXPECT_EQ(fallback::vpsDFTInitAlloc_R_64f(&out, -3, 1, 0), StatusBadSize);
    for (int n : {3, 8, 12, 151}) {
        for (int flag : {0, 3}) {
            DspAllocFailGuard count(0);
            EXPECT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&out, n, flag, 0), StatusBadFftFlag);
            EXPECT_EQ(fallback::vpsDFTInitAlloc_R_64f(&out, n, flag, 0), StatusBadFftFlag);
            EXPECT_EQ(count.Calls(), 2) << "only the spec itself was allocated";
        }
    }
    EXPECT_EQ(out, untouched);

    SpecGuard c, r;
    r.real = true;
    ASSERT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&c.spec, 6, 8, 0), StatusOk);
    ASSERT_EQ(fallback::vpsDFTInitAlloc_R_64f(&r.spec, 6, 8, 0), StatusOk);
    FftSpec* fft = nullptr;
    ASSERT_EQ(fallback::vpsFFTInitAlloc_C_64fc(&fft, 3, 8, 0), StatusOk);
    const auto* fftAsDft = reinterpret_cast<const DftSpec*>(fft);
    std::vector<double> src(16, 1.0), dst(16, -7.0);
    const auto* cs = reinterpret_cast<const Vps64fc*>(src.data());
    auto* cd = reinterpret_cast<Vps64fc*>(dst.data());
    struct Case {
        VpsStatus got, want;
    };
    const Case cases[] = {
        {fallback::vpsDFTFwd_CToC_64fc(cs, cd, nullptr, nullptr), StatusNullPointer},
        {fallback::vpsDFTFwd_CToC_64fc(cs, cd, r.spec, nullptr), StatusWrongContext},
        {fallback::vpsDFTInv_CToC_64fc(cs, cd, fftAsDft, nullptr), StatusWrongContext},
        {fallback::vpsDFTInv_CToC_64fc(nullptr, cd, c.spec, nullptr), StatusNullPointer},
        {fallback::vpsDFTFwd_CToC_64fc(cs, nullptr, c.spec, nullptr), StatusNullPointer},
        {fallback::vpsDFTFwd_RToCCS_64f(src.data(), dst.data(), c.spec, nullptr), StatusWrongContext},
        {fallback::vpsDFTInv_CCSToR_64f(src.data(), dst.data(), fftAsDft, nullptr), StatusWrongContext},
        {fallback::vpsDFTInv_CCSToR_64f(nullptr, dst.data(), r.spec, nullptr), StatusNullPointer},
        {fallback::vpsDFTFwd_RToCCS_64f(src.data(), nullptr, nullptr, nullptr), StatusNullPointer},
        {fallback::vpsDFTFree_C_64fc(r.spec), StatusWrongContext},
        {fallback::vpsDFTFree_R_64f(c.spec), StatusWrongContext},
        {fallback::vpsDFTFree_C_64fc(nullptr), StatusNullPointer},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
    EXPECT_EQ(dst, std::vector<double>(16, -7.0));
    fallback::vpsFFTFree_C_64fc(fft);
}

// Every allocation of a set-up fails in turn: -9 and nothing left behind (the sanitizer
// build checks the leaks); then a transform without buffer whose work block fails.
TEST(DftStatus, EachAllocationFailureReportsNoMemory)
{
    for (bool real : {false, true}) {
        for (int n : {6, 16, 45, 149, 151, 210, 302, 453, 1000}) {
            auto* init = real ? fallback::vpsDFTInitAlloc_R_64f : fallback::vpsDFTInitAlloc_C_64fc;
            long calls = 0;
            {
                DspAllocFailGuard count(0);
                SpecGuard g {nullptr, real};
                ASSERT_EQ(init(&g.spec, n, 4, 0), StatusOk);
                calls = count.Calls();
            }
            for (long k = 1; k <= calls; ++k) {
                DftSpec* out = nullptr;
                DspAllocFailGuard fail(k);
                EXPECT_EQ(init(&out, n, 4, 0), StatusNoMemory) << "n " << n << " allocation " << k;
                EXPECT_EQ(out, nullptr);
            }
            SpecGuard g {nullptr, real};
            ASSERT_EQ(init(&g.spec, n, 4, 0), StatusOk);
            if (g.spec->workSize == 0)
                continue;  // the power-of-two FFT needs no work memory
            std::vector<double> src(2 * n + 2, 0.5), dst(2 * n + 2, -7.0);
            DspAllocFailGuard fail(1);
            const VpsStatus st = real
                ? fallback::vpsDFTFwd_RToCCS_64f(src.data(), dst.data(), g.spec, nullptr)
                : fallback::vpsDFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(src.data()),
                                                reinterpret_cast<Vps64fc*>(dst.data()), g.spec, nullptr);
            EXPECT_EQ(st, StatusNoMemory) << "n " << n;
            EXPECT_EQ(dst, std::vector<double>(2 * n + 2, -7.0));
        }
    }
}

// Byte counts of lengths near 2^30 do not fit 32 bits; they are formed in 64 and a
// set-up that cannot have them reports -9 without leaving anything allocated.
TEST(DftStatus, HugeLengthSizesAreExactAndRefusedCleanly)
{
    const std::int64_t n = 1162261467;  // 3^19
    EXPECT_EQ(dspDFTMixedRadixWorkSize(n, 0), 18596183488);
    DspAllocFailGuard limit(0, std::size_t {1} << 30);
    DftSpec* out = nullptr;
    EXPECT_EQ(fallback::vpsDFTInitAlloc_C_64fc(&out, static_cast<int>(n), 8, 0), StatusNoMemory);
    EXPECT_EQ(fallback::vpsDFTInitAlloc_R_64f(&out, static_cast<int>(n), 8, 0), StatusNoMemory);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace dcs
