// The FFT entries' contract: statuses and what stays untouched, allocation failures,
// round trips, in-place calls, caller work buffers and the layouts of real spectra.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "dsp/DspCore.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/FftReal32f.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using ffttest::RandomReals;

constexpr double kPoison = -12345.5;

// One transform of a kind and layout through the double entries.
enum class Kind {
    Complex,
    Ccs,
    Pack,
    Perm
};
constexpr Kind kKinds[] = {Kind::Complex, Kind::Ccs, Kind::Pack, Kind::Perm};

const char* Name(Kind k)
{
    constexpr const char* names[] = {"complex", "CCS", "Pack", "Perm"};
    return names[static_cast<int>(k)];
}

// Doubles of a signal and of its spectrum.
std::size_t SignalCount(Kind k, std::size_t n) { return k == Kind::Complex ? 2 * n : n; }
std::size_t SpectrumCount(Kind k, std::size_t n)
{
    return k == Kind::Complex ? 2 * n : k == Kind::Ccs ? (n == 1 ? 2 : n + 2) : n;
}

VpsStatus Forward(Kind k, const double* src, double* dst, const FftSpec* spec, Vps8u* buf)
{
    switch (k) {
    case Kind::Complex:
        return vpsFFTFwd_CToC_64fc(reinterpret_cast<const Vps64fc*>(src), reinterpret_cast<Vps64fc*>(dst), spec, buf);
    case Kind::Ccs: return vpsFFTFwd_RToCCS_64f(src, dst, spec, buf);
    case Kind::Pack: return dspFFTFwd_RToPack_64f(src, dst, spec, buf);
    case Kind::Perm: return dspFFTFwd_RToPerm_64f(src, dst, spec, buf);
    }
    return StatusOk;
}

VpsStatus Inverse(Kind k, const double* src, double* dst, const FftSpec* spec, Vps8u* buf)
{
    switch (k) {
    case Kind::Complex:
        return vpsFFTInv_CToC_64fc(reinterpret_cast<const Vps64fc*>(src), reinterpret_cast<Vps64fc*>(dst), spec, buf);
    case Kind::Ccs: return vpsFFTInv_CCSToR_64f(src, dst, spec, buf);
    case Kind::Pack: return dspFFTInv_PackToR_64f(src, dst, spec, buf);
    case Kind::Perm: return dspFFTInv_PermToR_64f(src, dst, spec, buf);
    }
    return StatusOk;
}

// A spec of the kind's family, released at scope end.
class Spec {
public:
    Spec(Kind k, int order, int flag) : complex_(k == Kind::Complex)
    {
        EXPECT_EQ((complex_ ? vpsFFTInitAlloc_C_64fc : vpsFFTInitAlloc_R_64f)(&spec_, order, flag, 0), StatusOk);
    }
    ~Spec() { (complex_ ? vpsFFTFree_C_64fc : vpsFFTFree_R_64f)(spec_); }
    Spec(const Spec&) = delete;
    Spec& operator=(const Spec&) = delete;
    const FftSpec* get() const { return spec_; }

private:
    bool complex_;
    FftSpec* spec_ = nullptr;
};

bool SameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// ---- statuses -----------------------------------------------------------------------

class FftStatuses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(vpsFFTInitAlloc_C_64fc(&complex_, 5, 8, 0), StatusOk);
        ASSERT_EQ(vpsFFTInitAlloc_R_64f(&real_, 5, 8, 0), StatusOk);
        ASSERT_EQ(dspFFTInitAlloc_R_32f(&float_, 5, 8, 0), StatusOk);
    }
    void TearDown() override
    {
        EXPECT_EQ(vpsFFTFree_C_64fc(complex_), StatusOk);
        EXPECT_EQ(vpsFFTFree_R_64f(real_), StatusOk);
        EXPECT_EQ(dspFFTFree_R_32f(float_), StatusOk);
    }
    FftSpec* complex_ = nullptr;
    FftSpec* real_ = nullptr;
    FftSpec32f* float_ = nullptr;
};

TEST_F(FftStatuses, EveryCheckInItsOrderWithNothingWritten)
{
    FftSpec* const poisonSpec = reinterpret_cast<FftSpec*>(std::uintptr_t {0x5a5a5a50});
    auto* const poisonSpec32 = reinterpret_cast<FftSpec32f*>(std::uintptr_t {0x5a5a5a50});
    FftSpec* out = poisonSpec;
    FftSpec32f* out32 = poisonSpec32;
    int size = -777;
    const std::vector<double> src(66, 0.25);
    std::vector<double> dst(66, kPoison);
    const std::vector<float> srcF(32, 0.25f);
    std::vector<float> dstF(32, static_cast<float>(kPoison));
    const auto* s = src.data();
    double* d = dst.data();
    const auto* sc = reinterpret_cast<const Vps64fc*>(s);
    auto* dc = reinterpret_cast<Vps64fc*>(d);
    FftSpec* asDouble = reinterpret_cast<FftSpec*>(float_);
    FftSpec32f* asFloat = reinterpret_cast<FftSpec32f*>(real_);

    struct Case {
        const char* what;
        std::function<VpsStatus()> call;
        VpsStatus expected;
    };
    const Case cases[] = {
        {"null out wins over a bad order and flag", [&] { return vpsFFTInitAlloc_C_64fc(nullptr, 31, 3, 0); },
         StatusNullPointer},
        {"real: null out", [&] { return vpsFFTInitAlloc_R_64f(nullptr, 4, 8, 0); }, StatusNullPointer},
        {"float: null out", [&] { return dspFFTInitAlloc_R_32f(nullptr, 4, 8, 0); }, StatusNullPointer},
        {"order -1", [&] { return vpsFFTInitAlloc_C_64fc(&out, -1, 8, 0); }, StatusBadFftOrder},
        {"order 31 wins over a bad flag", [&] { return vpsFFTInitAlloc_C_64fc(&out, 31, 3, 0); }, StatusBadFftOrder},
        {"real: order 31", [&] { return vpsFFTInitAlloc_R_64f(&out, 31, 8, 0); }, StatusBadFftOrder},
        {"float: order -1", [&] { return dspFFTInitAlloc_R_32f(&out32, -1, 8, 0); }, StatusBadFftOrder},
        {"flag 3", [&] { return vpsFFTInitAlloc_C_64fc(&out, 5, 3, 0); }, StatusBadFftFlag},
        {"real: flag 0", [&] { return vpsFFTInitAlloc_R_64f(&out, 12, 0, 0); }, StatusBadFftFlag},
        {"float: flag 16", [&] { return dspFFTInitAlloc_R_32f(&out32, 5, 16, 0); }, StatusBadFftFlag},
        {"free null", [&] { return vpsFFTFree_C_64fc(nullptr); }, StatusNullPointer},
        {"complex free of a real spec", [&] { return vpsFFTFree_C_64fc(real_); }, StatusWrongContext},
        {"real free of a complex spec", [&] { return vpsFFTFree_R_64f(complex_); }, StatusWrongContext},
        {"real free of a float spec", [&] { return vpsFFTFree_R_64f(asDouble); }, StatusWrongContext},
        {"float free of a double spec", [&] { return dspFFTFree_R_32f(asFloat); }, StatusWrongContext},
        {"float free null", [&] { return dspFFTFree_R_32f(nullptr); }, StatusNullPointer},
        {"size query: null size", [&] { return dspFFTGetBufSize_C_64fc(complex_, nullptr); }, StatusNullPointer},
        {"size query: null spec", [&] { return dspFFTGetBufSize_R_64f(nullptr, &size); }, StatusNullPointer},
        {"size query: wrong kind", [&] { return dspFFTGetBufSize_C_64fc(real_, &size); }, StatusWrongContext},
        {"size query: float spec", [&] { return dspFFTGetBufSize_R_64f(asDouble, &size); }, StatusWrongContext},
        {"float size query: double spec", [&] { return dspFFTGetBufSize_R_32f(asFloat, &size); }, StatusWrongContext},
        {"transform: null spec", [&] { return vpsFFTFwd_CToC_64fc(sc, dc, nullptr, nullptr); }, StatusNullPointer},
        {"wrong kind before the data check", [&] { return vpsFFTInv_CToC_64fc(nullptr, nullptr, real_, nullptr); },
         StatusWrongContext},
        {"null source", [&] { return vpsFFTFwd_CToC_64fc(nullptr, dc, complex_, nullptr); }, StatusNullPointer},
        {"null destination", [&] { return vpsFFTInv_CToC_64fc(sc, nullptr, complex_, nullptr); }, StatusNullPointer},
        {"CCS with a complex spec", [&] { return vpsFFTFwd_RToCCS_64f(nullptr, d, complex_, nullptr); },
         StatusWrongContext},
        {"CCS with a float spec", [&] { return vpsFFTFwd_RToCCS_64f(s, d, asDouble, nullptr); }, StatusWrongContext},
        {"CCS inverse null source", [&] { return vpsFFTInv_CCSToR_64f(nullptr, d, real_, nullptr); },
         StatusNullPointer},
        {"Pack with a complex spec", [&] { return dspFFTFwd_RToPack_64f(s, d, complex_, nullptr); },
         StatusWrongContext},
        {"Pack inverse null destination", [&] { return dspFFTInv_PackToR_64f(s, nullptr, real_, nullptr); },
         StatusNullPointer},
        {"Perm inverse with a complex spec", [&] { return dspFFTInv_PermToR_64f(s, d, complex_, nullptr); },
         StatusWrongContext},
        {"Perm null spec", [&] { return dspFFTFwd_RToPerm_64f(s, d, nullptr, nullptr); }, StatusNullPointer},
        {"float Perm with a double spec",
         [&] { return dspFFTFwd_RToPerm_32f(srcF.data(), dstF.data(), asFloat, nullptr); }, StatusWrongContext},
        {"float Perm null source", [&] { return dspFFTFwd_RToPerm_32f(nullptr, dstF.data(), float_, nullptr); },
         StatusNullPointer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.call(), c.expected);
    }
    EXPECT_EQ(out, poisonSpec);
    EXPECT_EQ(out32, poisonSpec32);
    EXPECT_EQ(size, -777);
    EXPECT_EQ(dst, std::vector<double>(66, kPoison));
    EXPECT_EQ(dstF, std::vector<float>(32, static_cast<float>(kPoison)));

    // The specs refused by the other kind's free are intact and still work.
    EXPECT_EQ(real_->id, kIdFftSpecReal);
    EXPECT_EQ(vpsFFTFwd_RToCCS_64f(s, d, real_, nullptr), StatusOk);
    EXPECT_EQ(dst[0], 32 * 0.25);
    EXPECT_EQ(dspFFTFwd_RToPerm_32f(srcF.data(), dstF.data(), float_, nullptr), StatusOk);
    EXPECT_EQ(dstF[0], 32 * 0.25f);
}

TEST(FftSpecFields, FlagsAndScale)
{
    struct Row {
        int order, flag;
        int fwd, inv;
        double scale;
    };
    const Row rows[] = {{0, 4, 1, 1, 1.0},   {0, 8, 0, 0, 0.0},         {4, 4, 1, 1, 0.25},
                        {3, 1, 1, 0, 0.125}, {10, 2, 0, 1, 1.0 / 1024}, {12, 8, 0, 0, 0.0}};
    for (const Row& r : rows) {
        SCOPED_TRACE("order " + std::to_string(r.order) + " flag " + std::to_string(r.flag));
        FftSpec* spec = nullptr;
        ASSERT_EQ(vpsFFTInitAlloc_R_64f(&spec, r.order, r.flag, -99), StatusOk);
        EXPECT_EQ(spec->forwardScaled, r.fwd);
        EXPECT_EQ(spec->inverseScaled, r.inv);
        EXPECT_EQ(spec->scale, r.scale);
        EXPECT_EQ(spec->hint, -99);
        EXPECT_EQ(vpsFFTFree_R_64f(spec), StatusOk);
    }
}

// ---- allocation failures ------------------------------------------------------------

using Create = std::function<VpsStatus(void** out, int order)>;

void ExpectEveryAllocationFailureReported(const char* what, const Create& create, int order)
{
    SCOPED_TRACE(std::string(what) + " order " + std::to_string(order));
    long calls = 0;
    {
        const DspAllocFailGuard count(0);
        void* spec = nullptr;
        ASSERT_EQ(create(&spec, order), StatusOk);
        calls = count.Calls();
        dspFFTFreeSpec(static_cast<FftSpec*>(spec));  // complex and real specs free the same way
    }
    EXPECT_GE(calls, 4);  // record, sine table, bit-reversal table, table area at least
    for (long k = 1; k <= calls; ++k) {
        SCOPED_TRACE("failing allocation " + std::to_string(k));
        void* const poison = reinterpret_cast<void*>(std::uintptr_t {0x7070});
        void* out = poison;
        const DspAllocFailGuard fail(k);
        EXPECT_EQ(create(&out, order), StatusNoMemory);
        EXPECT_EQ(out, poison);
    }
}

TEST(FftAllocation, EveryInitAllocationFailingInTurnLeavesNothing)
{
    const Create complex = [](void** out, int order) {
        return vpsFFTInitAlloc_C_64fc(reinterpret_cast<FftSpec**>(out), order, 2, 0);
    };
    const Create real = [](void** out, int order) {
        return vpsFFTInitAlloc_R_64f(reinterpret_cast<FftSpec**>(out), order, 4, 0);
    };
    for (int order : {4, 10, 12, 21}) {
        ExpectEveryAllocationFailureReported("complex", complex, order);
        ExpectEveryAllocationFailureReported("real", real, order);
    }
}

TEST(FftAllocation, SinglePrecisionInitFailingInTurn)
{
    FftSpec32f* spec = nullptr;
    long calls = 0;
    {
        const DspAllocFailGuard count(0);
        ASSERT_EQ(dspFFTInitAlloc_R_32f(&spec, 16, 1, 0), StatusOk);
        calls = count.Calls();
    }
    dspFFTFree_R_32f(spec);
    EXPECT_EQ(calls, 7);  // record, sine, bit reversal, table area, temporary area, 2 recombination
    for (long k = 1; k <= calls; ++k) {
        FftSpec32f* out = nullptr;
        const DspAllocFailGuard fail(k);
        EXPECT_EQ(dspFFTInitAlloc_R_32f(&out, 16, 1, 0), StatusNoMemory) << k;
        EXPECT_EQ(out, nullptr);
    }
}

TEST(FftAllocation, BadFlagReleasesTheRecord)
{
    const DspAllocFailGuard count(0);
    FftSpec* out = nullptr;
    EXPECT_EQ(vpsFFTInitAlloc_R_64f(&out, 20, 3, 0), StatusBadFftFlag);
    EXPECT_EQ(count.Calls(), 1);  // the record only, released again (a leak shows under ASan)
    EXPECT_EQ(out, nullptr);
}

TEST(FftAllocation, OrderThirtyUnderA64MegabyteLimitFailsAtOnce)
{
    const DspAllocFailGuard limit(0, std::size_t {64} << 20);
    FftSpec* out = nullptr;
    FftSpec32f* out32 = nullptr;
    EXPECT_EQ(vpsFFTInitAlloc_C_64fc(&out, 30, 8, 0), StatusNoMemory);
    EXPECT_EQ(vpsFFTInitAlloc_R_64f(&out, 30, 8, 0), StatusNoMemory);
    EXPECT_EQ(dspFFTInitAlloc_R_32f(&out32, 30, 8, 0), StatusNoMemory);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(out32, nullptr);
    EXPECT_LE(limit.Calls(), 6);  // no table is built before its block is refused
}

TEST(FftAllocation, TransformWhoseWorkAreaFailsWritesNothing)
{
    for (Kind k : kKinds) {
        SCOPED_TRACE(Name(k));
        const int order = k == Kind::Complex ? 12 : 13;  // the smallest orders with a work area
        const Spec spec(k, order, 8);
        const std::size_t n = std::size_t {1} << order;
        const std::vector<double> src = RandomReals(SpectrumCount(k, n), 3);
        std::vector<double> dst(SpectrumCount(k, n), kPoison);
        {
            const DspAllocFailGuard fail(0, 1);  // every block refused
            EXPECT_EQ(Forward(k, src.data(), dst.data(), spec.get(), nullptr), StatusNoMemory);
            EXPECT_EQ(Inverse(k, src.data(), dst.data(), spec.get(), nullptr), StatusNoMemory);
        }
        EXPECT_EQ(dst, std::vector<double>(dst.size(), kPoison));
        // With the caller's buffer nothing is allocated at all.
        int size = 0;
        EXPECT_EQ((k == Kind::Complex ? dspFFTGetBufSize_C_64fc : dspFFTGetBufSize_R_64f)(spec.get(), &size), StatusOk);
        std::vector<Vps8u> work(size);
        const DspAllocFailGuard count(0);
        EXPECT_EQ(Forward(k, src.data(), dst.data(), spec.get(), work.data()), StatusOk);
        EXPECT_EQ(count.Calls(), 0);
    }
    FftSpec32f* spec = nullptr;
    ASSERT_EQ(dspFFTInitAlloc_R_32f(&spec, 14, 8, 0), StatusOk);
    std::vector<float> src(1 << 14, 0.5f);
    std::vector<float> dst(1 << 14, 3.0f);
    {
        const DspAllocFailGuard fail(1);
        EXPECT_EQ(dspFFTFwd_RToPerm_32f(src.data(), dst.data(), spec, nullptr), StatusNoMemory);
    }
    EXPECT_EQ(dst, std::vector<float>(1 << 14, 3.0f));
    dspFFTFree_R_32f(spec);
}

// ---- round trips, in place, work buffers --------------------------------------------

TEST(FftRoundTrip, EveryLayoutFlagAndRegime)
{
    // codelets, radix-4, block transforms (10, 11), one split level; two levels (21) with
    // one flag, as the large specs are costly to build
    for (int order : {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 21})
        for (Kind k : kKinds)
            for (int flag : {2, 8, 4}) {
                if (order == 21 && flag != 2)
                    continue;
                SCOPED_TRACE(std::string(Name(k)) + " order " + std::to_string(order) + " flag " +
                             std::to_string(flag));
                const Spec spec(k, order, flag);
                const std::size_t n = std::size_t {1} << order;
                const std::vector<double> x = RandomReals(SignalCount(k, n), 11u * order + flag);
                std::vector<double> spectrum(SpectrumCount(k, n));
                std::vector<double> back(SignalCount(k, n));
                ASSERT_EQ(Forward(k, x.data(), spectrum.data(), spec.get(), nullptr), StatusOk);
                ASSERT_EQ(Inverse(k, spectrum.data(), back.data(), spec.get(), nullptr), StatusOk);
                const double gain = flag == 8 ? static_cast<double>(n) : 1.0;
                double err = 0;
                for (std::size_t i = 0; i < x.size(); ++i)
                    err = std::max(err, std::fabs(back[i] - gain * x[i]));
                EXPECT_LE(err, gain * ffttest::Tolerance(1e-13, order));
            }
}

TEST(FftRoundTrip, RealOrder24)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "one thread only, and too slow under the thread sanitizer; the other builds run it";
#endif
    const Spec spec(Kind::Ccs, 24, 2);
    const std::size_t n = std::size_t {1} << 24;
    std::vector<double> x = RandomReals(n, 24);
    std::vector<double> y(n + 2);
    ASSERT_EQ(vpsFFTFwd_RToCCS_64f(x.data(), y.data(), spec.get(), nullptr), StatusOk);
    ASSERT_EQ(vpsFFTInv_CCSToR_64f(y.data(), y.data(), spec.get(), nullptr), StatusOk);
    double err = 0;
    for (std::size_t i = 0; i < n; ++i)
        err = std::max(err, std::fabs(y[i] - x[i]));
    EXPECT_LE(err, ffttest::Tolerance(1e-13, 24));
}

TEST(FftInPlace, SameBitsAsOutOfPlace)
{
    for (int order : {0, 1, 2, 3, 4, 7, 10, 11, 12, 15, 20})
        for (Kind k : kKinds) {
            SCOPED_TRACE(std::string(Name(k)) + " order " + std::to_string(order));
            const Spec spec(k, order, order % 2 ? 1 : 2);
            const std::size_t n = std::size_t {1} << order;
            const std::vector<double> x = RandomReals(SpectrumCount(k, n), 5u + order);
            std::vector<double> out(SpectrumCount(k, n));
            std::vector<double> in = x;
            in.resize(SpectrumCount(k, n));
            ASSERT_EQ(Forward(k, x.data(), out.data(), spec.get(), nullptr), StatusOk);
            ASSERT_EQ(Forward(k, in.data(), in.data(), spec.get(), nullptr), StatusOk);
            EXPECT_TRUE(SameBits(in, out)) << "forward";
            // the forward output is a valid spectrum of the layout for the inverse
            const std::vector<double> spectrum = out;
            std::fill(out.begin(), out.end(), 0.0);
            in = spectrum;
            ASSERT_EQ(Inverse(k, spectrum.data(), out.data(), spec.get(), nullptr), StatusOk);
            ASSERT_EQ(Inverse(k, in.data(), in.data(), spec.get(), nullptr), StatusOk);
            out.resize(SignalCount(k, n));
            in.resize(SignalCount(k, n));
            EXPECT_TRUE(SameBits(in, out)) << "inverse";
        }
}

TEST(FftWorkBuffer, UnalignedCallerBufferGivesTheSameResult)
{
    for (Kind k : {Kind::Complex, Kind::Perm}) {
        SCOPED_TRACE(Name(k));
        const int order = 14;
        const Spec spec(k, order, 8);
        const std::size_t n = std::size_t {1} << order;
        const std::vector<double> x = RandomReals(SignalCount(k, n), 9);
        std::vector<double> expected(SpectrumCount(k, n));
        ASSERT_EQ(Forward(k, x.data(), expected.data(), spec.get(), nullptr), StatusOk);
        int size = 0;
        EXPECT_EQ((k == Kind::Complex ? dspFFTGetBufSize_C_64fc : dspFFTGetBufSize_R_64f)(spec.get(), &size), StatusOk);
        ASSERT_GT(size, 16);
        for (int offset : {0, 1, 8, 15}) {
            // exactly `size` bytes from the offset on, so an overrun shows under ASan
            std::vector<Vps8u> storage(size + offset);
            std::vector<double> y(SpectrumCount(k, n));
            ASSERT_EQ(Forward(k, x.data(), y.data(), spec.get(), storage.data() + offset), StatusOk);
            EXPECT_TRUE(SameBits(y, expected)) << "offset " << offset;
        }
    }
    FftSpec32f* spec = nullptr;
    ASSERT_EQ(dspFFTInitAlloc_R_32f(&spec, 15, 8, 0), StatusOk);
    int size = 0;
    ASSERT_EQ(dspFFTGetBufSize_R_32f(spec, &size), StatusOk);
    std::vector<float> x(1 << 15, 0.0f);
    x[3] = 1.0f;
    std::vector<float> a(1 << 15), b(1 << 15);
    std::vector<Vps8u> storage(size + 7);
    ASSERT_EQ(dspFFTFwd_RToPerm_32f(x.data(), a.data(), spec, nullptr), StatusOk);
    ASSERT_EQ(dspFFTFwd_RToPerm_32f(x.data(), b.data(), spec, storage.data() + 7), StatusOk);
    EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(float)));
    dspFFTFree_R_32f(spec);
}

TEST(FftConcurrency, OneSpecServesSeveralThreadsWithTheirOwnBuffers)
{
    const Spec spec(Kind::Complex, 13, 1);
    const std::size_t n = std::size_t {1} << 13;
    const std::vector<double> x = RandomReals(2 * n, 13);
    std::vector<double> expected(2 * n);
    ASSERT_EQ(Forward(Kind::Complex, x.data(), expected.data(), spec.get(), nullptr), StatusOk);
    std::vector<std::vector<double>> results(4, std::vector<double>(2 * n));
    std::vector<std::thread> threads;
    for (std::vector<double>& y : results)
        threads.emplace_back([&spec, &x, &y] {
            for (int round = 0; round < 3; ++round)
                Forward(Kind::Complex, x.data(), y.data(), spec.get(), nullptr);  // own work area
        });
    for (std::thread& t : threads)
        t.join();
    for (const std::vector<double>& y : results)
        EXPECT_TRUE(SameBits(y, expected));
}

// ---- layouts --------------------------------------------------------------------------

TEST(FftLayouts, OrdersZeroAndOne)
{
    Spec spec0(Kind::Ccs, 0, 4);
    const double x0 = 2.5;
    std::vector<double> d(4, kPoison);
    ASSERT_EQ(vpsFFTFwd_RToCCS_64f(&x0, d.data(), spec0.get(), nullptr), StatusOk);
    EXPECT_EQ(d, (std::vector<double> {2.5, 0.0, kPoison, kPoison}));
    d.assign(4, kPoison);
    ASSERT_EQ(dspFFTFwd_RToPack_64f(&x0, d.data(), spec0.get(), nullptr), StatusOk);
    EXPECT_EQ(d, (std::vector<double> {2.5, kPoison, kPoison, kPoison}));
    ASSERT_EQ(dspFFTInv_PermToR_64f(&x0, d.data(), spec0.get(), nullptr), StatusOk);
    EXPECT_EQ(d[0], 2.5);
    const double ccs0[2] = {1.5, 0.0};
    ASSERT_EQ(vpsFFTInv_CCSToR_64f(ccs0, d.data(), spec0.get(), nullptr), StatusOk);
    EXPECT_EQ(d, (std::vector<double> {1.5, kPoison, kPoison, kPoison}));

    Spec complex0(Kind::Complex, 0, 1);
    const Vps64fc c = {1.25, -3.0};
    Vps64fc cy[2] = {{kPoison, kPoison}, {kPoison, kPoison}};
    ASSERT_EQ(vpsFFTInv_CToC_64fc(&c, cy, complex0.get(), nullptr), StatusOk);
    EXPECT_EQ(cy[0].re, 1.25);
    EXPECT_EQ(cy[0].im, -3.0);
    EXPECT_EQ(cy[1].re, kPoison);

    Spec spec1(Kind::Ccs, 1, 8);
    const double x1[2] = {3.0, 1.0};
    d.assign(5, kPoison);
    ASSERT_EQ(vpsFFTFwd_RToCCS_64f(x1, d.data(), spec1.get(), nullptr), StatusOk);
    EXPECT_EQ(d, (std::vector<double> {4.0, 0.0, 2.0, 0.0, kPoison}));
    ASSERT_EQ(dspFFTFwd_RToPack_64f(x1, d.data(), spec1.get(), nullptr), StatusOk);
    EXPECT_EQ(d[0], 4.0);
    EXPECT_EQ(d[1], 2.0);
}

TEST(FftLayouts, PermPackAndCcsHoldTheSameValuesMoved)
{
    for (int order : {0, 1, 2, 3, 4, 6, 12, 14}) {
        SCOPED_TRACE("order " + std::to_string(order));
        const std::size_t n = std::size_t {1} << order;
        const Spec spec(Kind::Perm, order, 8);
        std::vector<double> x(n);
        for (std::size_t i = 0; i < n; ++i)
            x[i] = static_cast<double>(static_cast<int>(i * 7 % 11) - 5);
        std::vector<double> perm(n), pack(n), ccs(n == 1 ? 2 : n + 2);
        ASSERT_EQ(dspFFTFwd_RToPerm_64f(x.data(), perm.data(), spec.get(), nullptr), StatusOk);
        ASSERT_EQ(dspFFTFwd_RToPack_64f(x.data(), pack.data(), spec.get(), nullptr), StatusOk);
        ASSERT_EQ(vpsFFTFwd_RToCCS_64f(x.data(), ccs.data(), spec.get(), nullptr), StatusOk);
        EXPECT_TRUE(SameBits(pack, ffttest::CcsToPack(ccs, n)));
        EXPECT_TRUE(SameBits(perm, ffttest::CcsToPerm(ccs, n)));
        if (n > 1) {
            EXPECT_EQ(ccs[1], 0.0);
            EXPECT_EQ(ccs[n + 1], 0.0);
        }

        // An integer spectrum given in each layout: the same signal, bit for bit.
        std::vector<double> spectrum(n == 1 ? 2 : n + 2);
        for (std::size_t i = 0; i < spectrum.size(); ++i)
            spectrum[i] = static_cast<double>(static_cast<int>(i * 5 % 9) - 4);
        spectrum[1] = 0.0;
        if (n > 1)
            spectrum[n + 1] = 0.0;
        std::vector<double> a(n), b(n), c(n);
        ASSERT_EQ(vpsFFTInv_CCSToR_64f(spectrum.data(), a.data(), spec.get(), nullptr), StatusOk);
        ASSERT_EQ(dspFFTInv_PackToR_64f(ffttest::CcsToPack(spectrum, n).data(), b.data(), spec.get(), nullptr),
                  StatusOk);
        ASSERT_EQ(dspFFTInv_PermToR_64f(ffttest::CcsToPerm(spectrum, n).data(), c.data(), spec.get(), nullptr),
                  StatusOk);
        EXPECT_TRUE(SameBits(a, b));
        EXPECT_TRUE(SameBits(a, c));
    }
}

}  // namespace
}  // namespace dcs
