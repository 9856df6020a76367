// The FFT entries against long-double reference transforms, for every layout, direction
// and scaling flag.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/FftReal32f.h"
#include "dsp/spectral/tests/fft_reference.h"

namespace dcs {
namespace {

using namespace ffttest;

enum class Op {
    CFwd,
    CInv,
    CcsFwd,
    CcsInv,
    PackFwd,
    PackInv,
    PermFwd,
    PermInv
};

const char* Name(Op op)
{
    constexpr const char* names[] = {"CFwd", "CInv", "CcsFwd", "CcsInv", "PackFwd", "PackInv", "PermFwd", "PermInv"};
    return names[static_cast<int>(op)];
}

bool IsComplex(Op op) { return op == Op::CFwd || op == Op::CInv; }
bool IsInverse(Op op) { return op == Op::CInv || op == Op::CcsInv || op == Op::PackInv || op == Op::PermInv; }

// The factor a spec of this flag applies in the op's direction.
Ext ScaleOf(int flag, bool inverse, int order)
{
    const Ext n = std::ldexp(1.0L, order);
    if (flag == 4)
        return 1.0L / std::sqrt(n);
    if ((flag == 1 && !inverse) || (flag == 2 && inverse))
        return 1.0L / n;
    return 1.0L;
}

// Inputs and long-double references of one order. The large references are costly, so
// one complex transform serves both complex directions and the real forward transforms
// (inverse of conj(z) is conj(DFT(z)); the spectrum of Re z follows from DFT(z)), and one
// real inverse serves the three inverse layouts.
struct OrderData {
    std::size_t n;
    std::vector<double> z;      // complex input, interleaved
    std::vector<double> zConj;  // the complex inverse's input
    std::vector<Ext> F;         // DFT(z)
    std::vector<Ext> Fconj;     // inverse DFT of zConj
    std::vector<double> x;      // real input, Re z
    std::vector<Ext> X;         // spectrum of x, CCS order
    std::vector<double> ccs;    // real inverse input, CCS order
    std::vector<Ext> xr;        // inverse of ccs
};

OrderData MakeOrderData(int order)
{
    OrderData d;
    const std::size_t n = d.n = std::size_t {1} << order;
    d.z = RandomReals(2 * n, 1000u + order);
    d.F = RefComplex(d.z, -1);
    d.zConj = d.z;
    d.Fconj = d.F;
    for (std::size_t i = 1; i < 2 * n; i += 2) {
        d.zConj[i] = -d.zConj[i];
        d.Fconj[i] = -d.Fconj[i];
    }
    d.x.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        d.x[i] = d.z[2 * i];
    d.X.assign(n == 1 ? 2 : n + 2, 0.0L);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        const std::size_t j = (n - k) % n;
        d.X[2 * k] = (d.F[2 * k] + d.F[2 * j]) / 2;
        d.X[2 * k + 1] = (d.F[2 * k + 1] - d.F[2 * j + 1]) / 2;
    }
    d.ccs = RandomReals(n + 2, 2000u + order);
    d.ccs[1] = 0.0;
    d.ccs[n + 1] = 0.0;
    if (n == 1)
        d.ccs.resize(2);
    d.xr = RefRealInverse(d.ccs, n);
    return d;
}

// Runs op through the spec on the order's input and returns the relative error against
// the reference, scaled as the spec's flag asks.
Ext ErrorAgainstReference(Op op, int order, int flag, const FftSpec* spec, const OrderData& d)
{
    const std::size_t n = d.n;
    std::vector<double> out(2 * n + 2, 777.0);
    const std::vector<Ext>* ref = nullptr;
    std::vector<Ext> moved;
    VpsStatus status = StatusOk;
    const auto cplx = [](const std::vector<double>& v) { return reinterpret_cast<const Vps64fc*>(v.data()); };
    auto* outC = reinterpret_cast<Vps64fc*>(out.data());
    switch (op) {
    case Op::CFwd:
        status = vpsFFTFwd_CToC_64fc(cplx(d.z), outC, spec, nullptr);
        ref = &d.F;
        break;
    case Op::CInv:
        status = vpsFFTInv_CToC_64fc(cplx(d.zConj), outC, spec, nullptr);
        ref = &d.Fconj;
        break;
    case Op::CcsFwd:
        status = vpsFFTFwd_RToCCS_64f(d.x.data(), out.data(), spec, nullptr);
        ref = &d.X;
        break;
    case Op::PackFwd:
        status = dspFFTFwd_RToPack_64f(d.x.data(), out.data(), spec, nullptr);
        ref = &(moved = CcsToPack(d.X, n));
        break;
    case Op::PermFwd:
        status = dspFFTFwd_RToPerm_64f(d.x.data(), out.data(), spec, nullptr);
        ref = &(moved = CcsToPerm(d.X, n));
        break;
    case Op::CcsInv:
        status = vpsFFTInv_CCSToR_64f(d.ccs.data(), out.data(), spec, nullptr);
        ref = &d.xr;
        break;
    case Op::PackInv:
        status = dspFFTInv_PackToR_64f(CcsToPack(d.ccs, n).data(), out.data(), spec, nullptr);
        ref = &d.xr;
        break;
    case Op::PermInv:
        status = dspFFTInv_PermToR_64f(CcsToPerm(d.ccs, n).data(), out.data(), spec, nullptr);
        ref = &d.xr;
        break;
    }
    EXPECT_EQ(status, StatusOk);
    return RelativeError(out.data(), *ref, ScaleOf(flag, IsInverse(op), order));
}

class SpecHolder {
public:
    SpecHolder(bool complex, int order, int flag)
    {
        const VpsStatus s =
            complex ? vpsFFTInitAlloc_C_64fc(&spec_, order, flag, 0) : vpsFFTInitAlloc_R_64f(&spec_, order, flag, 0);
        EXPECT_EQ(s, StatusOk);
        complex_ = complex;
    }
    ~SpecHolder() { EXPECT_EQ((complex_ ? vpsFFTFree_C_64fc : vpsFFTFree_R_64f)(spec_), StatusOk); }
    const FftSpec* get() const { return spec_; }

private:
    FftSpec* spec_ = nullptr;
    bool complex_ = true;
};

// Every op of the list through one complex and one real spec of the flag.
void ExpectWithinReference(std::initializer_list<Op> ops, int order, int flag, const OrderData& d)
{
    const SpecHolder complexSpec(true, order, flag);
    const SpecHolder realSpec(false, order, flag);
    for (Op op : ops) {
        SCOPED_TRACE(std::string(Name(op)) + " order " + std::to_string(order) + " flag " + std::to_string(flag));
        const FftSpec* spec = IsComplex(op) ? complexSpec.get() : realSpec.get();
        EXPECT_LE(ErrorAgainstReference(op, order, flag, spec, d), Tolerance(1e-13, order));
    }
}

constexpr auto kAllOps = {Op::CFwd,    Op::CInv,    Op::CcsFwd,  Op::CcsInv,
                          Op::PackFwd, Op::PackInv, Op::PermFwd, Op::PermInv};

TEST(FftReference, EveryLayoutDirectionAndFlagUpToOrder16)
{
    for (int order = 0; order <= 16; ++order) {
        const OrderData d = MakeOrderData(order);
        for (int flag : {1, 2, 4, 8})
            ExpectWithinReference(kAllOps, order, flag, d);
    }
}

TEST(FftReference, LargeOrdersOneFlagPerLayout)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "one thread only, and too slow under the thread sanitizer; the other builds run it";
#endif
    // One flag per order, turning with the order, so every layout meets every flag.
    for (int order = 17; order <= 22; ++order)
        ExpectWithinReference(kAllOps, order, 1 << (order % 4), MakeOrderData(order));
}

TEST(FftReference, ForcedThreeLevelDecomposition)
{
    // Order 18 as 4, 4, 3 over 128-point rows: every level runs at a small size.
    FftSplitTable split {};
    split[18] = 4;
    split[14] = 4;
    split[10] = 3;
    for (const bool complex : {true, false}) {
        FftSpec* spec = nullptr;
        const std::uint32_t id = complex ? kIdFftSpecComplex : kIdFftSpecReal;
        const int order = complex ? 18 : 19;
        ASSERT_EQ(FftSpecCreate<double>(&spec, id, !complex, order, 2, 0, split), StatusOk);
        EXPECT_EQ(spec->levels, 3);
        const OrderData d = MakeOrderData(order);
        for (Op op : complex ? std::vector<Op> {Op::CFwd, Op::CInv} : std::vector<Op> {Op::PermFwd, Op::PermInv}) {
            SCOPED_TRACE(Name(op));
            EXPECT_LE(ErrorAgainstReference(op, order, 2, spec, d), Tolerance(1e-13, order));
        }
        dspFFTFreeSpec(spec);
    }
}

// Single-precision real forward of one spec against the reference of the same floats.
void ExpectFloatWithinReference(const FftSpec32f* spec, int order, int flag)
{
    SCOPED_TRACE("float order " + std::to_string(order));
    const std::size_t n = std::size_t {1} << order;
    const std::vector<double> x = RandomReals(n, 77u + order);
    const std::vector<float> xf(x.begin(), x.end());
    const std::vector<Ext> ref = CcsToPerm(RefRealForward(std::vector<double>(xf.begin(), xf.end())), n);
    std::vector<float> y(n);
    ASSERT_EQ(dspFFTFwd_RToPerm_32f(xf.data(), y.data(), spec, nullptr), StatusOk);
    EXPECT_LE(RelativeError(y.data(), ref, ScaleOf(flag, false, order)), Tolerance(1e-6, order));
}

TEST(FftReference, SinglePrecisionRealForward)
{
    // Up to one split level over block-transform rows (order 20: complex order 19).
    for (int order = 0; order <= 20; ++order) {
        const int flag = 1 << (order % 4);
        FftSpec32f* spec = nullptr;
        ASSERT_EQ(dspFFTInitAlloc_R_32f(&spec, order, flag, 0), StatusOk);
        ExpectFloatWithinReference(spec, order, flag);
        EXPECT_EQ(dspFFTFree_R_32f(spec), StatusOk);
    }
    // Three levels (3, 3, 3 over 512-point rows) at a small order.
    FftSplitTable split {};
    split[18] = 3;
    split[15] = 3;
    split[12] = 3;
    FftSpec32f* spec = nullptr;
    ASSERT_EQ(FftSpecCreate<float>(&spec, kIdFftSpecReal32f, true, 19, 1, 0, split), StatusOk);
    EXPECT_EQ(spec->levels, 3);
    ExpectFloatWithinReference(spec, 19, 1);
    dspFFTFreeSpec(spec);
}

}  // namespace
}  // namespace dcs
