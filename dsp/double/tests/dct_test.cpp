// The orthonormal DCT pair against FFTW's long-double DCT-II / DCT-III, on every path.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/double/DftEntries.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::Ext;
using ffttest::RandomReals;
using ffttest::RelativeError;

// kind FFTW_REDFT10 (DCT-II) or FFTW_REDFT01 (DCT-III), unnormalised.
std::vector<Ext> RefR2r(const std::vector<Ext>& x, fftwl_r2r_kind kind)
{
    const int n = static_cast<int>(x.size());
    auto* in = static_cast<long double*>(fftwl_malloc(sizeof(long double) * n));
    auto* out = static_cast<long double*>(fftwl_malloc(sizeof(long double) * n));
    fftwl_plan plan = fftwl_plan_r2r_1d(n, in, out, kind, FFTW_ESTIMATE);
    std::copy(x.begin(), x.end(), in);
    fftwl_execute(plan);
    std::vector<Ext> y(out, out + n);
    fftwl_destroy_plan(plan);
    fftwl_free(in);
    fftwl_free(out);
    return y;
}

// Orthonormal DCT-II and its inverse through FFTW's unnormalised pair.
std::vector<Ext> RefForward(const std::vector<double>& x)
{
    const Ext n = x.size();
    auto y = RefR2r(std::vector<Ext>(x.begin(), x.end()), FFTW_REDFT10);
    for (std::size_t k = 0; k < y.size(); ++k)
        y[k] *= (k ? std::sqrt(2.0L / n) : std::sqrt(1.0L / n)) / 2;
    return y;
}

std::vector<Ext> RefInverse(const std::vector<double>& y)
{
    const Ext n = y.size();
    std::vector<Ext> z(y.begin(), y.end());
    for (std::size_t k = 0; k < z.size(); ++k)
        z[k] *= k ? std::sqrt(2.0L / n) / 2 : std::sqrt(1.0L / n);
    return RefR2r(z, FFTW_REDFT01);
}

double Bound(int n) { return 1e-13 * std::max(1.0, std::log2(static_cast<double>(n))); }

struct DctPair {
    DctSpec* fwd = nullptr;
    DctSpec* inv = nullptr;
    DctPair(int n, int hint)
    {
        EXPECT_EQ(fallback::vpsDCTFwdInitAlloc_64f(&fwd, n, hint), StatusOk);
        EXPECT_EQ(fallback::vpsDCTInvInitAlloc_64f(&inv, n, hint), StatusOk);
    }
    ~DctPair()
    {
        if (fwd)
            fallback::vpsDCTFwdFree_64f(fwd);
        if (inv)
            fallback::vpsDCTInvFree_64f(inv);
    }
};

TEST(Dct, MatchesLongDoubleReferenceOnEveryPath)
{
    struct Case {
        int n, hint;
        int fixed, pow2, fft, chirp;
    };
    const Case cases[] = {
        {1, 0, 1, 0, 0, 0},   {2, 0, 1, 0, 0, 0},    {3, 0, 0, 0, 0, 0},    {4, 0, 1, 0, 0, 0},   {5, 0, 0, 0, 0, 0},
        {7, 0, 0, 0, 0, 0},   {8, 0, 1, 0, 0, 0},    {12, 0, 0, 0, 0, 0},   {16, 0, 0, 1, 0, 0},  {32, 0, 0, 1, 0, 0},
        {100, 0, 0, 0, 0, 0}, {101, 0, 0, 0, 0, 1},  {102, 0, 0, 0, 0, 1},  {150, 0, 0, 0, 0, 1}, {512, 2, 0, 1, 0, 0},
        {999, 0, 0, 0, 0, 1}, {1024, 2, 0, 1, 1, 0}, {1024, 0, 0, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "n " << c.n << " hint " << c.hint);
        DctPair p(c.n, c.hint);
        ASSERT_TRUE(p.fwd && p.inv);
        EXPECT_EQ(p.fwd->fixedKernel, c.fixed);
        EXPECT_EQ(p.fwd->powerOfTwo, c.pow2);
        EXPECT_EQ(p.inv->fftPath, c.fft);
        EXPECT_EQ(p.inv->chirpPath, c.chirp);
        if (c.n == 101 || c.n == 150) {
            EXPECT_EQ(p.fwd->chirpLength, c.n == 101 ? 256 : 512);
        }
        const auto x = RandomReals(c.n, static_cast<unsigned>(c.n) + 3);
        std::vector<double> y(c.n), back(c.n);
        ASSERT_EQ(fallback::vpsDCTFwd_64f(x.data(), y.data(), p.fwd, nullptr), StatusOk);
        EXPECT_LE(RelativeError(y.data(), RefForward(x)), Bound(c.n)) << "forward";
        ASSERT_EQ(fallback::vpsDCTInv_64f(x.data(), back.data(), p.inv, nullptr), StatusOk);
        EXPECT_LE(RelativeError(back.data(), RefInverse(x)), Bound(c.n)) << "inverse";
        // In place, with a caller's misaligned buffer: the pair returns x.
        std::int64_t size = 0;
        ASSERT_EQ(dspDCTGetBufSize_64f(p.fwd, &size), StatusOk);
        std::vector<Vps8u> buffer(static_cast<std::size_t>(size) + 1);
        std::vector<double> io = x;
        ASSERT_EQ(fallback::vpsDCTFwd_64f(io.data(), io.data(), p.fwd, buffer.data() + 1), StatusOk);
        ASSERT_EQ(dspDCTGetBufSize_64f(p.inv, &size), StatusOk);
        buffer.assign(static_cast<std::size_t>(size) + 1, 0);
        ASSERT_EQ(fallback::vpsDCTInv_64f(io.data(), io.data(), p.inv, buffer.data() + 1), StatusOk);
        EXPECT_LE(RelativeError(io.data(), std::vector<Ext>(x.begin(), x.end())), 2 * Bound(c.n)) << "round trip";
    }
}

TEST(Dct, ConstantInputHasOnlyTheDcValueAndSmallCasesAreExact)
{
    for (int n : {3, 16, 101, 1024}) {
        DctPair p(n, 2);
        std::vector<double> x(n, 0.75), y(n);
        ASSERT_EQ(fallback::vpsDCTFwd_64f(x.data(), y.data(), p.fwd, nullptr), StatusOk);
        EXPECT_NEAR(y[0], std::sqrt(n) * 0.75, 1e-13 * n) << n;
        for (int k = 1; k < n; ++k)
            EXPECT_NEAR(y[k], 0.0, 1e-13 * n) << n << " k " << k;
    }
    DctPair one(1, 0), two(2, 0);
    const double x[2] = {3.0, 1.0};
    double y[2];
    fallback::vpsDCTFwd_64f(x, y, one.fwd, nullptr);
    EXPECT_EQ(y[0], 3.0);
    constexpr double a = 0.7071067811865476;
    fallback::vpsDCTInv_64f(x, y, two.inv, nullptr);
    EXPECT_EQ(y[0], a * 3.0 + a * 1.0);
    EXPECT_EQ(y[1], a * 3.0 - a * 1.0);
}

TEST(Dct, StatusesAndAllocationFailures)
{
    DctSpec* const untouched = reinterpret_cast<DctSpec*>(std::uintptr_t {0x4321});
    DctSpec* out = untouched;
    EXPECT_EQ(fallback::vpsDCTFwdInitAlloc_64f(nullptr, 0, 0), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDCTInvInitAlloc_64f(&out, 0, 0), StatusBadSize);
    EXPECT_EQ(out, untouched);

    DctPair p(12, 0);
    DftSpec* dft = nullptr;
    ASSERT_EQ(fallback::vpsDFTInitAlloc_R_64f(&dft, 12, 8, 0), StatusOk);
    const auto* dftAsDct = reinterpret_cast<const DctSpec*>(dft);
    std::vector<double> src(12, 1.0), dst(12, -7.0);
    EXPECT_EQ(fallback::vpsDCTFwd_64f(src.data(), dst.data(), nullptr, nullptr), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDCTInv_64f(src.data(), dst.data(), p.fwd, nullptr), StatusWrongContext);
    EXPECT_EQ(fallback::vpsDCTFwd_64f(src.data(), dst.data(), p.inv, nullptr), StatusWrongContext);
    EXPECT_EQ(fallback::vpsDCTFwd_64f(src.data(), dst.data(), dftAsDct, nullptr), StatusWrongContext);
    EXPECT_EQ(fallback::vpsDCTFwd_64f(nullptr, dst.data(), p.fwd, nullptr), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDCTInv_64f(src.data(), nullptr, p.inv, nullptr), StatusNullPointer);
    EXPECT_EQ(fallback::vpsDCTFwdFree_64f(p.inv), StatusWrongContext);
    EXPECT_EQ(fallback::vpsDCTInvFree_64f(nullptr), StatusNullPointer);
    EXPECT_EQ(dst, std::vector<double>(12, -7.0));
    fallback::vpsDFTFree_R_64f(dft);

    for (auto [n, hint] : {std::pair {12, 0}, {16, 0}, {101, 0}, {1024, 2}}) {
        for (auto* init : {fallback::vpsDCTFwdInitAlloc_64f, fallback::vpsDCTInvInitAlloc_64f}) {
            long calls = 0;
            {
                DspAllocFailGuard count(0);
                DctSpec* s = nullptr;
                ASSERT_EQ(init(&s, n, hint), StatusOk);
                calls = count.Calls();
                (s->id == kIdDctSpecFwd ? fallback::vpsDCTFwdFree_64f : fallback::vpsDCTInvFree_64f)(s);
            }
            for (long k = 1; k <= calls; ++k) {
                DctSpec* s = nullptr;
                DspAllocFailGuard fail(k);
                EXPECT_EQ(init(&s, n, hint), StatusNoMemory) << "n " << n << " allocation " << k;
                EXPECT_EQ(s, nullptr);
            }
        }
        DctPair q(n, hint);
        std::vector<double> in(n, 0.5), res(n, -7.0);
        {
            DspAllocFailGuard fail(1);
            EXPECT_EQ(fallback::vpsDCTFwd_64f(in.data(), res.data(), q.fwd, nullptr), StatusNoMemory);
        }
        DspAllocFailGuard fail(1);
        EXPECT_EQ(fallback::vpsDCTInv_64f(in.data(), res.data(), q.inv, nullptr), StatusNoMemory);
        EXPECT_EQ(res, std::vector<double>(n, -7.0));
    }
}

}  // namespace
}  // namespace dcs
