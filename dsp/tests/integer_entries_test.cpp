#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "dsp/IntegerEntries.h"

namespace dcs {
namespace {

constexpr Vps32s kMax = 2147483647;
constexpr Vps32s kMin = -2147483647 - 1;

using V = std::vector<Vps32s>;

// One call on a 32-bit vector: data is the in-place vector or the source (the out-of-place
// forms write a separate destination, compared instead).
struct Case32 {
    const char* what;
    std::function<VpsStatus(V& data, V& out)> call;
    V data;
    V expect;
    VpsStatus status = StatusOk;
};

void RunCases(const std::vector<Case32>& cases)
{
    for (const Case32& c : cases) {
        SCOPED_TRACE(c.what);
        V data = c.data;
        V out(data.size(), 0x55555555);
        const VpsStatus st = c.call(data, out);
        EXPECT_EQ(st, c.status);
        EXPECT_EQ(out[0] == 0x55555555 ? data : out, c.expect);
    }
}

TEST(DspIntegerEntries, ConstantFormsRoundHalvesToEvenAndSaturate)
{
    auto addCI = [](Vps32s v, int sf) {
        return [=](V& d, V&) { return vpsAddC_32s_ISfs(v, d.data(), int(d.size()), sf); };
    };
    auto addC = [](Vps32s v, int sf) {
        return [=](V& s, V& o) { return vpsAddC_32s_Sfs(s.data(), v, o.data(), int(s.size()), sf); };
    };
    auto subC = [](Vps32s v, int sf) {
        return [=](V& s, V& o) { return vpsSubC_32s_Sfs(s.data(), v, o.data(), int(s.size()), sf); };
    };
    auto subCI = [](Vps32s v, int sf) {
        return [=](V& d, V&) { return vpsSubC_32s_ISfs(v, d.data(), int(d.size()), sf); };
    };
    auto revI = [](Vps32s v, int sf) {
        return [=](V& d, V&) { return vpsSubCRev_32s_ISfs(v, d.data(), int(d.size()), sf); };
    };
    auto rev = [](Vps32s v, int sf) {
        return [=](V& s, V& o) { return vpsSubCRev_32s_Sfs(s.data(), v, o.data(), int(s.size()), sf); };
    };
    auto mulCI = [](Vps32s v, int sf) {
        return [=](V& d, V&) { return vpsMulC_32s_ISfs(v, d.data(), int(d.size()), sf); };
    };
    auto mulC = [](Vps32s v, int sf) {
        return [=](V& s, V& o) { return vpsMulC_32s_Sfs(s.data(), v, o.data(), int(s.size()), sf); };
    };
    RunCases({
        {"max + 1 saturates", addCI(kMax, 0), {1}, {kMax}},
        {"max + 1 halved exactly", addCI(kMax, 1), {1}, {1073741824}},
        {"3/2, 5/2, -5/2 to even", addC(1, 1), {2, 4, -6}, {2, 2, -2}},
        {"sf -31 saturates by sign, zero stays", addC(1, -31), {2, -3, -1}, {kMax, kMin, 0}},
        {"sf above 32 gives zero", addC(kMax, 33), {kMax, kMin}, {0, 0}},
        {"zero constant copies", addC(0, 0), {5, -5}, {5, -5}},
        {"min - 1 saturates", subC(1, 0), {kMin, 0}, {kMin, -1}},
        {"in-place subtraction", subCI(-3, 2), {3}, {2}},  // 6/4 = 1.5 -> 2
        {"reverse subtraction in place", revI(10, 0), {3, kMin}, {7, kMax}},
        {"reverse subtraction", rev(-1, 1), {2, 0}, {-2, 0}},  // -3/2 -> -2, -1/2 -> 0
        {"2^16 * 2^16 saturates", mulC(65536, 0), {65536}, {kMax}},
        {"2^32 / 2^32", mulC(65536, 32), {65536}, {1}},
        {"2^32 / 2^63 is zero", mulC(65536, 63), {65536}, {0}},
        {"2^32 / 2^33 ties to 0", mulC(65536, 33), {65536}, {0}},
        {"full 63-bit product scaled", mulC(kMin, 62), {kMin, kMax}, {1, -1}},
        {"sf -31 product", mulCI(1, -31), {1, -1, 0}, {kMax, kMin, 0}},
        {"zero multiplier clears", mulCI(0, -5), {7, -7}, {0, 0}},
    });
}

TEST(DspIntegerEntries, VectorFormsAndByteSaturation)
{
    auto add = [](int sf) {
        return [=](V& d, V&) {
            V s {3, -3, kMax};
            s.resize(d.size());
            return vpsAdd_32s_ISfs(s.data(), d.data(), int(d.size()), sf);
        };
    };
    auto sub = [](int sf) {
        return [=](V& d, V&) {
            V s {1, kMax};
            s.resize(d.size());
            return vpsSub_32s_ISfs(s.data(), d.data(), int(d.size()), sf);
        };
    };
    auto mul = [](int sf) {
        return [=](V& d, V&) {
            V s {65536, -65536};
            s.resize(d.size());
            return vpsMul_32s_ISfs(s.data(), d.data(), int(d.size()), sf);
        };
    };
    RunCases({
        {"add", add(0), {1, 1, 1}, {4, -2, kMax}},
        {"add halves", add(1), {0, 0, kMax}, {2, -2, kMax}},  // 1.5 -> 2, -1.5 -> -2, 2^31-1
        {"sub saturates low", sub(0), {0, -2}, {-1, kMin}},
        {"mul saturates", mul(0), {65536, 65536}, {kMax, kMin}},
        {"mul -2^32 / 2 fits", mul(1), {65536, 65536}, {kMax, kMin}},
        {"mul scaled", mul(16), {3, 3}, {3, -3}},
    });

    struct ByteCase {
        const char* what;
        VpsStatus (*fn)(const Vps8u*, Vps8u*, int, int);
        Vps8u d, s;
        int sf;
        Vps8u expect;
    } cases[] = {
        {"255+255 sf 9", &fallback::vpsAdd_8u_ISfs, 255, 255, 9, 1},
        {"255+255 sf 10", &fallback::vpsAdd_8u_ISfs, 255, 255, 10, 0},
        {"255+255 sf 0", &fallback::vpsAdd_8u_ISfs, 255, 255, 0, 255},
        {"255+255 sf 1", &fallback::vpsAdd_8u_ISfs, 255, 255, 1, 255},
        {"1+2 sf 1 ties to 2", &fallback::vpsAdd_8u_ISfs, 1, 2, 1, 2},
        {"3+2 sf 1 ties to 2", &fallback::vpsAdd_8u_ISfs, 3, 2, 1, 2},
        {"1+1 sf -7", &fallback::vpsAdd_8u_ISfs, 1, 1, -7, 255},
        {"3-5 sf 0", &fallback::vpsSub_8u_ISfs, 3, 5, 0, 0},
        {"3-5 sf 3", &fallback::vpsSub_8u_ISfs, 3, 5, 3, 0},
        {"3-5 sf -3", &fallback::vpsSub_8u_ISfs, 3, 5, -3, 0},
        {"200-100 sf 8", &fallback::vpsSub_8u_ISfs, 200, 72, 8, 0},  // 128/256 ties to 0
        {"16*16 sf 0", &fallback::vpsMul_8u_ISfs, 16, 16, 0, 255},
        {"16*16 sf 1", &fallback::vpsMul_8u_ISfs, 16, 16, 1, 128},
        {"255*255 sf 16", &fallback::vpsMul_8u_ISfs, 255, 255, 16, 1},
        {"255*255 sf 17", &fallback::vpsMul_8u_ISfs, 255, 255, 17, 0},
    };
    for (const auto& c : cases) {
        Vps8u d = c.d;
        EXPECT_EQ(c.fn(&c.s, &d, 1, c.sf), StatusOk) << c.what;
        EXPECT_EQ(d, c.expect) << c.what;
    }
}

TEST(DspIntegerEntries, DivisionIsExactThenRoundedAndWarnsOnZeroDivisors)
{
    const struct {
        Vps32s d, s;
        int sf;
        Vps32s expect;
    } cases[] = {
        {5, 2, 0, 2},       {7, 2, 0, 4},       {-7, 2, 0, -4},      {-5, 2, 0, -2},
        {5, 2, 1, 1},       {5, 2, -1, 5},      {kMin, -1, 0, kMax}, {kMin, 1, 32, 0},
        {kMax, 1, 32, 0},   {kMax, 1, 31, 1},   {kMax, 1, 33, 0},    {1, 3, -62, kMax},
        {-1, 3, -62, kMin}, {3, -1, -63, kMin}, {0, 5, -63, 0},      {1, 3, -2, 1},  // 4/3
        {2, 3, -2, 3},      {1, 2, -1, 1},      {3, 4, -1, 2},       {-3, 4, -1, -2},
    };
    for (const auto& c : cases) {
        Vps32s d = c.d;
        EXPECT_EQ(vpsDiv_32s_ISfs(&c.s, &d, 1, c.sf), StatusOk);
        EXPECT_EQ(d, c.expect) << c.d << " / " << c.s << " sf " << c.sf;
    }

    const Vps32s divisors[] = {0, 2, 0, 0};
    Vps32s data[] = {-5, 5, 0, 9};
    EXPECT_EQ(vpsDiv_32s_ISfs(divisors, data, 4, 0), StatusElementDivideByZero);
    EXPECT_EQ(data[0], kMin);
    EXPECT_EQ(data[1], 2);
    EXPECT_EQ(data[2], 0);
    EXPECT_EQ(data[3], kMax);
}

TEST(DspIntegerEntries, ArgumentChecksComeBeforeAnyWrite)
{
    Vps32s a[1] = {1}, b[1] = {2};
    Vps8u x[1] = {1}, y[1] = {2};
    using C = std::function<VpsStatus(Vps32s*, Vps32s*, Vps8u*, Vps8u*, int)>;
    const std::vector<std::pair<const char*, C>> entries = {
        {"AddC_ISfs", [](Vps32s*, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsAddC_32s_ISfs(0, d, n, 0); }},
        {"AddC_Sfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsAddC_32s_Sfs(s, 0, d, n, 0); }},
        {"SubC_ISfs", [](Vps32s*, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsSubC_32s_ISfs(1, d, n, 0); }},
        {"SubC_Sfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsSubC_32s_Sfs(s, 1, d, n, 0); }},
        {"SubCRev_ISfs", [](Vps32s*, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsSubCRev_32s_ISfs(1, d, n, 0); }},
        {"SubCRev_Sfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsSubCRev_32s_Sfs(s, 1, d, n, 0); }},
        {"MulC_ISfs", [](Vps32s*, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsMulC_32s_ISfs(0, d, n, 0); }},
        {"MulC_Sfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsMulC_32s_Sfs(s, 0, d, n, 0); }},
        {"Add_ISfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsAdd_32s_ISfs(s, d, n, 0); }},
        {"Sub_ISfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsSub_32s_ISfs(s, d, n, 0); }},
        {"Mul_ISfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsMul_32s_ISfs(s, d, n, 0); }},
        {"Div_ISfs", [](Vps32s* s, Vps32s* d, Vps8u*, Vps8u*, int n) { return vpsDiv_32s_ISfs(s, d, n, 0); }},
        {"Add_8u",
         [](Vps32s* s, Vps32s* d, Vps8u* p, Vps8u* q, int n) {
             return vpsAdd_8u_ISfs(s ? p : nullptr, d ? q : nullptr, n, 0);
         }},
        {"Sub_8u",
         [](Vps32s* s, Vps32s* d, Vps8u* p, Vps8u* q, int n) {
             return vpsSub_8u_ISfs(s ? p : nullptr, d ? q : nullptr, n, 0);
         }},
        {"Mul_8u",
         [](Vps32s* s, Vps32s* d, Vps8u* p, Vps8u* q, int n) {
             return vpsMul_8u_ISfs(s ? p : nullptr, d ? q : nullptr, n, 0);
         }},
    };
    for (const auto& [name, call] : entries) {
        SCOPED_TRACE(name);
        EXPECT_EQ(call(a, nullptr, x, y, 0), StatusNullPointer);
        EXPECT_EQ(call(a, b, x, y, 0), StatusBadSize);
        EXPECT_EQ(call(a, b, x, y, -3), StatusBadSize);
        EXPECT_EQ(b[0], 2);
        EXPECT_EQ(y[0], 2);
    }
    EXPECT_EQ(vpsAddC_32s_Sfs(nullptr, 1, b, 1, 0), StatusNullPointer);
    EXPECT_EQ(vpsDiv_32s_ISfs(nullptr, b, 1, 0), StatusNullPointer);
}

}  // namespace
}  // namespace dcs
