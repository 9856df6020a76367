// Convolution and correlation against naive sums in long double, the path each size
// takes, exact zero regions and symmetries, statuses, allocation failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/spectral/Convolution.h"
#include "dsp/spectral/Correlation.h"
#include "dsp/spectral/SpectralPaths.h"
#include "dsp/spectral/SpectralSpecCache.h"
#include "dsp/spectral/SpectrumProducts.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::RandomReals;
using Cld = std::complex<long double>;

constexpr double kPoison = -12345.5;

std::vector<Vps64fc> RandomComplex(std::size_t n, unsigned seed)
{
    const std::vector<double> v = RandomReals(2 * n, seed);
    std::vector<Vps64fc> c(n);
    for (std::size_t i = 0; i < n; ++i)
        c[i] = {v[2 * i], v[2 * i + 1]};
    return c;
}

Cld ToC(double x) { return x; }
Cld ToC(Vps64fc x) { return {x.re, x.im}; }

// c[n] = Σ conj(s1[m])·s2[m + lowLag + n].
template <class T>
std::vector<Cld> NaiveCrossCorr(const std::vector<T>& s1, const std::vector<T>& s2, int dstLen, long long lowLag)
{
    std::vector<Cld> out(dstLen);
    for (int n = 0; n < dstLen; ++n)
        for (long long m = 0; m < static_cast<long long>(s1.size()); ++m) {
            const long long j = m + lowLag + n;
            if (j >= 0 && j < static_cast<long long>(s2.size()))
                out[n] += std::conj(ToC(s1[m])) * ToC(s2[j]);
        }
    return out;
}

// Largest error relative to the largest reference magnitude.
template <class T> double RelError(const std::vector<Cld>& ref, const T* got)
{
    long double norm = 0, err = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        norm = std::max(norm, std::abs(ref[i]));
        err = std::max(err, std::abs(ref[i] - ToC(got[i])));
    }
    return static_cast<double>(err / std::max(norm, 1e-300L));
}

double Tolerance(const SpectralPath& p) { return 1e-13 * std::max(1.0, static_cast<double>(p.order)); }

TEST(Convolution, MatchesNaiveSumOnEachPath)
{
    struct Case {
        int len1, len2;
        SpectralMethod method;
        std::int64_t fftSize, blockOutputs;
    };
    const Case cases[] = {
        {100, 40, SpectralMethod::Direct, 0, 0},      {100, 60, SpectralMethod::Fft, 256, 0},
        {200, 31, SpectralMethod::Direct, 0, 0},      {1000, 40, SpectralMethod::Blocks, 256, 217},
        {40, 1000, SpectralMethod::Blocks, 256, 217}, {9000, 20, SpectralMethod::Direct, 0, 0},
        {300, 300, SpectralMethod::Fft, 1024, 0},     {5, 3, SpectralMethod::Direct, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.len1) + " x " + std::to_string(c.len2));
        const SpectralPath p = ConvPath(c.len1, c.len2);
        EXPECT_EQ(p.method, c.method);
        EXPECT_EQ(p.fftSize, c.fftSize);
        EXPECT_EQ(p.blockOutputs, c.blockOutputs);
        const auto a = RandomReals(c.len1, 1);
        const auto b = RandomReals(c.len2, 2);
        std::vector<double> out(c.len1 + c.len2 - 1, kPoison);
        ASSERT_EQ(vpsConv_64f(a.data(), c.len1, b.data(), c.len2, out.data()), StatusOk);
        // Convolution is the cross-correlation with the first input reversed.
        const std::vector<double> ra(a.rbegin(), a.rend());
        const auto ref = NaiveCrossCorr(ra, b, static_cast<int>(out.size()), -(c.len1 - 1));
        EXPECT_LE(RelError(ref, out.data()), Tolerance(p));
    }
}

TEST(Convolution, SwappedSourcesOfUnequalLengthAreBitIdentical)
{
    for (const auto& [l1, l2] : {std::pair {100, 40}, {100, 60}, {1000, 40}, {9000, 20}}) {
        const auto a = RandomReals(l1, 3);
        const auto b = RandomReals(l2, 4);
        std::vector<double> x(l1 + l2 - 1), y(l1 + l2 - 1);
        ASSERT_EQ(vpsConv_64f(a.data(), l1, b.data(), l2, x.data()), StatusOk);
        ASSERT_EQ(vpsConv_64f(b.data(), l2, a.data(), l1, y.data()), StatusOk);
        EXPECT_EQ(0, std::memcmp(x.data(), y.data(), x.size() * sizeof(double))) << l1 << " x " << l2;
    }
}

// The FFT specs are kept between calls and shared between threads: a kept spec gives the
// bits of a fresh one, and threads convolving the same and different sizes at once all get
// the bits of a lone call.
TEST(Convolution, KeptSpecsGiveTheSameBitsFromAnyThread)
{
    constexpr std::pair<int, int> kSizes[] = {{1000, 400}, {3000, 2000}, {600, 500}};
    std::vector<std::vector<double>> want;
    for (const auto& [l1, l2] : kSizes) {
        SpectralSpecCacheClear();
        const auto a = RandomReals(l1, 5), b = RandomReals(l2, 6);
        std::vector<double> fresh(l1 + l2 - 1), kept(l1 + l2 - 1);
        ASSERT_EQ(vpsConv_64f(a.data(), l1, b.data(), l2, fresh.data()), StatusOk);
        ASSERT_EQ(vpsConv_64f(a.data(), l1, b.data(), l2, kept.data()), StatusOk);
        EXPECT_EQ(kept, fresh) << l1 << " x " << l2;
        want.push_back(fresh);
    }
    SpectralSpecCacheClear();
    std::vector<std::thread> threads;
    std::vector<int> mismatches(6, 0);
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round) {
                const int i = (t + round) % 3;
                const auto [l1, l2] = kSizes[i];
                const auto a = RandomReals(l1, 5), b = RandomReals(l2, 6);
                std::vector<double> out(l1 + l2 - 1);
                if (vpsConv_64f(a.data(), l1, b.data(), l2, out.data()) != StatusOk || out != want[i])
                    ++mismatches[t];
                if (t == 0 && round == 1)
                    SpectralSpecCacheClear();  // specs in use outlive the cache's hold
            }
        });
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(mismatches, std::vector<int>(6, 0));
}

template <class T> void CheckAutoCorr(int srcLen, int dstLen, bool complex, SpectralMethod method, unsigned seed)
{
    SCOPED_TRACE(std::to_string(srcLen) + " samples, " + std::to_string(dstLen) + " lags");
    const SpectralPath p = AutoCorrPath(srcLen, dstLen, complex);
    EXPECT_EQ(p.method, method);
    if (method == SpectralMethod::Fft) {
        EXPECT_GE(p.fftSize, 2 * srcLen);
    }
    std::vector<T> x;
    if constexpr (std::is_same_v<T, double>)
        x = RandomReals(srcLen, seed);
    else
        x = RandomComplex(srcLen, seed);
    const int lags = std::min(srcLen, dstLen);
    const auto ref = NaiveCrossCorr(x, x, lags, 0);
    using Fn = VpsStatus (*)(const T*, int, T*, int);
    const Fn fns[3] = {complex ? Fn(fallback::vpsAutoCorr_64fc) : Fn(fallback::vpsAutoCorr_64f),
                       complex ? Fn(fallback::vpsAutoCorr_NormA_64fc) : Fn(fallback::vpsAutoCorr_NormA_64f),
                       complex ? Fn(fallback::vpsAutoCorr_NormB_64fc) : Fn(fallback::vpsAutoCorr_NormB_64f)};
    for (int kind = 0; kind < 3; ++kind) {
        SCOPED_TRACE("normalisation " + std::to_string(kind));
        std::vector<T> out(dstLen);
        std::fill(reinterpret_cast<double*>(out.data()), reinterpret_cast<double*>(out.data() + dstLen), kPoison);
        ASSERT_EQ(fns[kind](x.data(), srcLen, out.data(), dstLen), StatusOk);
        std::vector<Cld> want = ref;
        for (int k = 0; k < lags; ++k)
            want[k] /= kind == 0 ? 1.0L : kind == 1 ? srcLen : srcLen - k;
        EXPECT_LE(RelError(want, out.data()), Tolerance(p));
        for (int k = lags; k < dstLen; ++k)
            EXPECT_EQ(ToC(out[k]), Cld(0)) << k;
    }
}

TEST(AutoCorrelation, MatchesNaiveSumAtTheThresholds)
{
    CheckAutoCorr<double>(599, 599, false, SpectralMethod::Direct, 5);
    CheckAutoCorr<double>(600, 600, false, SpectralMethod::Fft, 6);
    CheckAutoCorr<double>(700, 600, false, SpectralMethod::Fft, 7);
    CheckAutoCorr<double>(50, 80, false, SpectralMethod::Direct, 8);
    CheckAutoCorr<double>(650, 900, false, SpectralMethod::Fft, 9);
    CheckAutoCorr<Vps64fc>(95, 95, true, SpectralMethod::Direct, 10);
    CheckAutoCorr<Vps64fc>(96, 96, true, SpectralMethod::Fft, 11);
    CheckAutoCorr<Vps64fc>(120, 150, true, SpectralMethod::Fft, 12);
}

TEST(AutoCorrelation, ComplexLagZeroHasAnExactlyZeroImaginaryPart)
{
    const auto x = RandomComplex(95, 13);
    std::vector<Vps64fc> out(95);
    ASSERT_EQ(vpsAutoCorr_64fc(x.data(), 95, out.data(), 95), StatusOk);
    EXPECT_EQ(out[0].im, 0.0);
    long double sum = 0;
    for (const Vps64fc& v : x)
        sum += static_cast<long double>(v.re) * v.re + static_cast<long double>(v.im) * v.im;
    EXPECT_EQ(out[0].re, static_cast<double>(sum));
}

template <class T> void CheckCrossCorr(int len1, int len2, int dstLen, int lowLag, SpectralMethod method)
{
    SCOPED_TRACE(std::to_string(len1) + ", " + std::to_string(len2) + ", " + std::to_string(dstLen) + " lags from " +
                 std::to_string(lowLag));
    const CrossCorrPlan plan = CrossCorrChoosePath(len1, len2, dstLen, lowLag);
    EXPECT_EQ(plan.path.method, method);
    std::vector<T> a, b;
    if constexpr (std::is_same_v<T, double>) {
        a = RandomReals(len1, 14);
        b = RandomReals(len2, 15);
    } else {
        a = RandomComplex(len1, 14);
        b = RandomComplex(len2, 15);
    }
    std::vector<T> out(dstLen);
    VpsStatus st;
    if constexpr (std::is_same_v<T, double>)
        st = vpsCrossCorr_64f(a.data(), len1, b.data(), len2, out.data(), dstLen, lowLag);
    else
        st = vpsCrossCorr_64fc(a.data(), len1, b.data(), len2, out.data(), dstLen, lowLag);
    ASSERT_EQ(st, StatusOk);
    EXPECT_LE(RelError(NaiveCrossCorr(a, b, dstLen, lowLag), out.data()), Tolerance(plan.path));
}

TEST(CrossCorrelation, MatchesNaiveSumOnBothPaths)
{
    CheckCrossCorr<double>(1000, 1000, 1999, -999, SpectralMethod::Fft);
    CheckCrossCorr<double>(1000, 1000, 500, -999, SpectralMethod::Direct);
    CheckCrossCorr<double>(300, 900, 1300, -350, SpectralMethod::Direct);
    CheckCrossCorr<double>(900, 300, 1300, -1000, SpectralMethod::Direct);
    CheckCrossCorr<double>(700, 800, 1600, -750, SpectralMethod::Fft);
    CheckCrossCorr<double>(20, 30, 70, -25, SpectralMethod::Direct);
    CheckCrossCorr<Vps64fc>(1000, 1000, 1999, -999, SpectralMethod::Fft);
    CheckCrossCorr<Vps64fc>(900, 300, 1300, -1000, SpectralMethod::Direct);
    CheckCrossCorr<Vps64fc>(30, 20, 60, -40, SpectralMethod::Direct);
}

TEST(CrossCorrelation, LagsWithoutOverlapAreExactZeros)
{
    const auto a = RandomReals(40, 16);
    const auto b = RandomReals(30, 17);
    std::vector<double> out(50, kPoison);
    ASSERT_EQ(vpsCrossCorr_64f(a.data(), 40, b.data(), 30, out.data(), 50, -45), StatusOk);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(out[i], 0.0) << i;
    EXPECT_NE(out[6], 0.0);
    for (int lowLag : {30, 31, 1000}) {
        std::fill(out.begin(), out.end(), kPoison);
        ASSERT_EQ(vpsCrossCorr_64f(a.data(), 40, b.data(), 30, out.data(), 50, lowLag), StatusOk);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](double v) { return v == 0.0; })) << lowLag;
    }
}

TEST(SpectrumProducts, PackConjAndPermOnHandMadeSpectra)
{
    // Even count: lone reals at both ends (Pack) or at the front (Perm); odd count: one lone real.
    const std::vector<double> s6 = {2, 1, 3, -1, 4, 5}, d6 = {3, 2, -1, 5, 2, -2};
    std::vector<double> d = d6;
    ASSERT_EQ(dspMulPackConj_64f_I(s6.data(), d.data(), 6), StatusOk);
    // (1+3i)·conj(2−i) = (1+3i)(2+i) = −1+7i; (−1+4i)·conj(5+2i) = (−1+4i)(5−2i) = 3+22i
    EXPECT_EQ(d, (std::vector<double> {6, -1, 7, 3, 22, -10}));
    d = d6;
    ASSERT_EQ(dspMulPerm_64f_I(s6.data(), d.data(), 6), StatusOk);
    // (3−i)(−1+5i) = 2+16i; (4+5i)(2−2i) = 18+2i
    EXPECT_EQ(d, (std::vector<double> {6, 2, 2, 16, 18, 2}));
    const std::vector<double> s5 = {2, 1, 3, -1, 4}, d5 = {3, 2, -1, 5, 2};
    d = d5;
    ASSERT_EQ(dspMulPackConj_64f_I(s5.data(), d.data(), 5), StatusOk);
    // (1+3i)(2+i) = −1+7i; (−1+4i)(5−2i) = 3+22i
    EXPECT_EQ(d, (std::vector<double> {6, -1, 7, 3, 22}));
    d = d5;
    ASSERT_EQ(dspMulPerm_64f_I(s5.data(), d.data(), 5), StatusOk);
    // (1+3i)(2−i) = 5+5i; (−1+4i)(5+2i) = −13+18i
    EXPECT_EQ(d, (std::vector<double> {6, 5, 5, -13, 18}));
    // The same array as both operands: a power spectrum.
    std::vector<double> p = {2, 1, 3, -1, 4, 5};
    ASSERT_EQ(dspMulPackConj_64f_I(p.data(), p.data(), 6), StatusOk);
    EXPECT_EQ(p, (std::vector<double> {4, 10, 0, 17, 0, 25}));
    EXPECT_EQ(dspMulPerm_64f_I(nullptr, d.data(), 5), StatusNullPointer);
    EXPECT_EQ(dspMulPackConj_64f_I(s5.data(), d.data(), 0), StatusBadSize);
}

// Each entry on an FFT path, run through one function so the failure tests cover all.
struct FftCall {
    const char* name;
    int outDoubles;
    int zeroRegion;  // leading doubles the call may write before its allocations
    VpsStatus (*run)(const double* a, const double* b, double* out);
};

const Vps64fc* C(const double* p) { return reinterpret_cast<const Vps64fc*>(p); }
Vps64fc* C(double* p) { return reinterpret_cast<Vps64fc*>(p); }

const FftCall kFftCalls[] = {
    {"conv single", 159, 0, [](const double* a, const double* b, double* o) { return vpsConv_64f(a, 100, b, 60, o); }},
    {"conv blocks", 1039, 0,
     [](const double* a, const double* b, double* o) { return vpsConv_64f(a, 1000, b, 40, o); }},
    {"autocorr", 600, 0, [](const double* a, const double*, double* o) { return vpsAutoCorr_64f(a, 600, o, 600); }},
    {"autocorr B", 600, 0,
     [](const double* a, const double*, double* o) { return vpsAutoCorr_NormB_64f(a, 600, o, 600); }},
    {"crosscorr", 1005, 5,
     [](const double* a, const double* b, double* o) { return vpsCrossCorr_64f(a, 1000, b, 1000, o, 1005, -1004); }},
    {"autocorr fc", 192, 0,
     [](const double* a, const double*, double* o) { return vpsAutoCorr_64fc(C(a), 96, C(o), 96); }},
    {"autocorr B fc", 192, 0,
     [](const double* a, const double*, double* o) { return vpsAutoCorr_NormB_64fc(C(a), 96, C(o), 96); }},
    {"crosscorr fc", 2010, 10,
     [](const double* a, const double* b, double* o) {
         return vpsCrossCorr_64fc(C(a), 1000, C(b), 1000, C(o), 1005, -1004);
     }},
};

TEST(ConvCorrAllocation, EachAllocationFailingInTurnGivesNoMemoryAndWritesNoResult)
{
    const auto a = RandomReals(2000, 18);
    const auto b = RandomReals(2000, 19);
    for (const FftCall& call : kFftCalls) {
        SCOPED_TRACE(call.name);
        std::vector<double> good(call.outDoubles);
        long calls = 0;
        {
            // kept specs would hide the set-up's allocations
            SpectralSpecCacheClear();
            const DspAllocFailGuard count(0);
            ASSERT_EQ(call.run(a.data(), b.data(), good.data()), StatusOk);
            calls = count.Calls();
        }
        ASSERT_GE(calls, 2);
        for (long k = 1; k <= calls; ++k) {
            SCOPED_TRACE("failing allocation " + std::to_string(k));
            std::vector<double> out(call.outDoubles, kPoison);
            VpsStatus st;
            {
                SpectralSpecCacheClear();
                const DspAllocFailGuard fail(k);
                st = call.run(a.data(), b.data(), out.data());
            }
            if (st == StatusOk) {  // a missing work area only makes the transforms allocate their own
                EXPECT_EQ(out, good);
                continue;
            }
            EXPECT_EQ(st, StatusNoMemory);
            if (std::string(call.name).find(" B") != std::string::npos)
                continue;  // the normalisation's scratch comes after the unnormalised result
            for (int i = 0; i < call.zeroRegion; ++i)
                EXPECT_EQ(out[i], 0.0);
            for (int i = call.zeroRegion; i < call.outDoubles; ++i)
                ASSERT_EQ(out[i], kPoison) << i;
        }
    }
}

TEST(ConvCorrStatus, NullsBeforeSizesAndNothingWritten)
{
    double a[4] = {1, 2, 3, 4}, out[8];
    std::fill(std::begin(out), std::end(out), kPoison);
    Vps64fc ca[4] = {}, cout[8] = {};
    struct Row {
        VpsStatus got, want;
    };
    const Row rows[] = {
        {vpsConv_64f(nullptr, 0, a, 4, out), StatusNullPointer},
        {vpsConv_64f(a, 4, a, 4, nullptr), StatusNullPointer},
        {vpsConv_64f(a, 0, a, 4, out), StatusBadSize},
        {vpsConv_64f(a, 4, a, -1, out), StatusBadSize},
        {vpsAutoCorr_64f(nullptr, 4, out, 4), StatusNullPointer},
        {vpsAutoCorr_NormA_64f(a, 0, out, 4), StatusBadSize},
        {vpsAutoCorr_NormB_64f(a, 4, out, 0), StatusBadSize},
        {vpsAutoCorr_NormB_64fc(ca, 4, nullptr, 0), StatusNullPointer},
        {vpsAutoCorr_64fc(ca, 0, cout, 4), StatusBadSize},
        {vpsCrossCorr_64f(a, 4, nullptr, 4, out, 4, 0), StatusNullPointer},
        {vpsCrossCorr_64f(a, 4, a, 0, out, 4, 0), StatusBadSize},
        {vpsCrossCorr_64f(a, 4, a, 4, out, 0, -100), StatusBadSize},
        {vpsCrossCorr_64fc(ca, 4, ca, 4, cout, -1, 0), StatusBadSize},
        {vpsCrossCorr_64fc(nullptr, 4, ca, 4, cout, 4, 0), StatusNullPointer},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].got, rows[i].want) << "row " << i;
    for (double v : out)
        EXPECT_EQ(v, kPoison);
}

TEST(ConvCorrStatus, HugeLengthsAreRefusedBeforeAnythingIsRead)
{
    // Sums of these lengths pass 2^31; the arrays are small, so any read would be caught.
    constexpr int kHuge = 1 << 30;
    std::vector<double> a(16, 1.0), out(16, kPoison);
    std::vector<Vps64fc> c(16), cout(16, Vps64fc {kPoison, kPoison});
    EXPECT_EQ(vpsConv_64f(a.data(), kHuge, a.data(), kHuge, out.data()), StatusBadFftOrder);
    EXPECT_EQ(vpsAutoCorr_64f(a.data(), kHuge, out.data(), 600), StatusBadFftOrder);
    EXPECT_EQ(vpsAutoCorr_NormA_64fc(c.data(), kHuge, cout.data(), 96), StatusBadFftOrder);
    EXPECT_EQ(vpsCrossCorr_64f(a.data(), kHuge, a.data(), kHuge, out.data(), 600, 0), StatusBadFftOrder);
    EXPECT_EQ(vpsCrossCorr_64fc(c.data(), kHuge, c.data(), kHuge, cout.data(), 600, 0), StatusBadFftOrder);
    for (double v : out)
        EXPECT_EQ(v, kPoison);
    EXPECT_EQ(SpectralFftOrder(std::int64_t {1} << 30, 2), 30);
    EXPECT_EQ(SpectralFftOrder((std::int64_t {1} << 30) + 1, 2), 31);
}

}  // namespace
}  // namespace dcs
