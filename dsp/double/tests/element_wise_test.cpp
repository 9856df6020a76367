// The complex element-wise entries and the double threshold: status order of every entry,
// then their edge cases as one table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "dsp/double/ElementWise.h"

namespace dcs {
namespace {

constexpr double kPi = 3.141592653589793;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Every entry with a null pointer and a bad length reports the pointer; with valid arrays
// and len 0 or -1 it reports the size and writes nothing.
TEST(ElementWise64f, PointersAreCheckedBeforeTheLength)
{
    using Call = std::function<VpsStatus(bool withNull, int len)>;
    Vps64fc c[2] = {{1, 2}, {3, 4}}, cd[2] = {{9, 9}, {9, 9}};
    double a[2] = {9, 9}, b[2] = {9, 9};
    const struct {
        const char* name;
        Call call;
    } entries[] = {
        {"CartToPolar", [&](bool n, int len) { return vpsCartToPolar_64fc(n ? nullptr : c, a, b, len); }},
        {"CplxToReal", [&](bool n, int len) { return vpsCplxToReal_64fc(c, a, n ? nullptr : b, len); }},
        {"PolarToCart", [&](bool n, int len) { return vpsPolarToCart_64fc(n ? nullptr : a, b, cd, len); }},
        {"Threshold", [&](bool n, int len) { return vpsThreshold_LTValGTVal_64f_I(n ? nullptr : a, len, 0, 1, 5, 2); }},
        {"Conj", [&](bool n, int len) { return vpsConj_64fc(c, n ? nullptr : cd, len); }},
        {"ConjFlip", [&](bool n, int len) { return vpsConjFlip_64fc(n ? nullptr : c, cd, len); }},
        {"Copy", [&](bool n, int len) { return vpsCopy_64fc(c, n ? nullptr : cd, len); }},
        {"Move", [&](bool n, int len) { return vpsMove_64fc(n ? nullptr : c, cd, len); }},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.call(true, 0), StatusNullPointer);
        EXPECT_EQ(e.call(true, 2), StatusNullPointer);
        EXPECT_EQ(e.call(false, 0), StatusBadSize);
        EXPECT_EQ(e.call(false, -1), StatusBadSize);
        EXPECT_EQ(a[0], 9.0);
        EXPECT_EQ(b[0], 9.0);
        EXPECT_EQ(cd[0].re, 9.0);
        EXPECT_EQ(cd[1].im, 9.0);
    }
}

TEST(ElementWise64f, EdgeCases)
{
    const double nan = std::nan("");
    const struct {
        const char* name;
        std::function<void()> check;
    } cases[] = {
        {"CartToPolar of zero and of -1 with signed zeros",
         [] {
             const Vps64fc z[3] = {{0, 0}, {-1, +0.0}, {-1, -0.0}};
             double m[3], p[3];
             EXPECT_EQ(vpsCartToPolar_64fc(z, m, p, 3), StatusOk);
             EXPECT_EQ(m[0], 0.0);
             EXPECT_EQ(p[0], 0.0);
             EXPECT_EQ(m[1], 1.0);
             EXPECT_EQ(p[1], kPi);
             EXPECT_EQ(p[2], -kPi);
         }},
        {"CartToPolar passes fail independently",
         [] {
             const Vps64fc z[2] = {{3, 4}, {0, -2}};
             double m[2] = {9, 9}, p[2] = {9, 9};
             EXPECT_EQ(vpsCartToPolar_64fc(z, m, nullptr, 2), StatusNullPointer);
             EXPECT_EQ(m[0], 5.0);
             EXPECT_EQ(m[1], 2.0);
             EXPECT_EQ(vpsCartToPolar_64fc(z, nullptr, p, 2), StatusNullPointer);
             EXPECT_EQ(p[0], std::atan2(4.0, 3.0));
             EXPECT_EQ(p[1], -kPi / 2);
         }},
        {"CplxToReal splits without arithmetic",
         [nan] {
             const Vps64fc z[5] = {{1, -0.0}, {nan, 2}, {3, 4}, {5, 6}, {7, 8}};
             double re[5], im[5];
             EXPECT_EQ(vpsCplxToReal_64fc(z, re, im, 5), StatusOk);
             EXPECT_TRUE(SameBits(im[0], -0.0));
             EXPECT_TRUE(std::isnan(re[1]));
             EXPECT_EQ(re[4], 7.0);
             EXPECT_EQ(im[4], 8.0);
         }},
        {"PolarToCart: magnitude 2 at phase 0, negative magnitude points the other way",
         [] {
             const double m[2] = {2, -1}, p[2] = {0, kPi / 2};
             Vps64fc z[2];
             EXPECT_EQ(vpsPolarToCart_64fc(m, p, z, 2), StatusOk);
             EXPECT_EQ(z[0].re, 2.0);
             EXPECT_EQ(z[0].im, 0.0);
             EXPECT_NEAR(z[1].re, 0.0, 1e-16);
             EXPECT_EQ(z[1].im, -1.0);
         }},
        {"Threshold with equal levels keeps the level itself, NaN goes low",
         [nan] {
             double x[4] = {1.0, 0.5, 1.5, nan};
             EXPECT_EQ(vpsThreshold_LTValGTVal_64f_I(x, 4, 1.0, -7.0, 1.0, 7.0), StatusOk);
             EXPECT_EQ(x[0], 1.0);
             EXPECT_EQ(x[1], -7.0);
             EXPECT_EQ(x[2], 7.0);
             EXPECT_EQ(x[3], -7.0);
         }},
        {"Threshold with inverted or NaN levels changes nothing",
         [nan] {
             double x[2] = {-5.0, 5.0};
             EXPECT_EQ(vpsThreshold_LTValGTVal_64f_I(x, 2, 1.0, 0, 0.0, 0), StatusThresholdLevels);
             EXPECT_EQ(vpsThreshold_LTValGTVal_64f_I(x, 2, nan, 0, 0.0, 0), StatusThresholdLevels);
             EXPECT_EQ(vpsThreshold_LTValGTVal_64f_I(x, 2, 0.0, 0, nan, 0), StatusThresholdLevels);
             EXPECT_EQ(x[0], -5.0);
             EXPECT_EQ(x[1], 5.0);
         }},
        {"ConjFlip reverses and flips the sign of +0.0",
         [] {
             const Vps64fc z[5] = {{1, 0.0}, {2, 2}, {3, -3}, {4, 4}, {5, 5}};
             Vps64fc d[5];
             EXPECT_EQ(vpsConjFlip_64fc(z, d, 5), StatusOk);
             EXPECT_EQ(d[4].re, 1.0);
             EXPECT_TRUE(SameBits(d[4].im, -0.0));
             EXPECT_EQ(d[0].re, 5.0);
             EXPECT_EQ(d[0].im, -5.0);
             EXPECT_EQ(d[2].im, 3.0);
             Vps64fc one;
             EXPECT_EQ(vpsConjFlip_64fc(z + 1, &one, 1), StatusOk);
             EXPECT_EQ(one.im, -2.0);
         }},
        {"Conj in place",
         [] {
             Vps64fc z[2] = {{1, 0.0}, {2, -3}};
             EXPECT_EQ(vpsConj_64fc(z, z, 2), StatusOk);
             EXPECT_TRUE(SameBits(z[0].im, -0.0));
             EXPECT_EQ(z[1].im, 3.0);
         }},
        {"Copy forward over an overlapping array below the source",
         [] {
             Vps64fc z[4] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
             EXPECT_EQ(vpsCopy_64fc(z + 1, z, 3), StatusOk);
             EXPECT_EQ(z[0].re, 1.0);
             EXPECT_EQ(z[2].im, 3.0);
         }},
        {"Move up and down by one value, onto itself",
         [] {
             Vps64fc z[4] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
             EXPECT_EQ(vpsMove_64fc(z, z + 1, 3), StatusOk);  // destination above
             EXPECT_EQ(z[1].re, 0.0);
             EXPECT_EQ(z[3].im, 2.0);
             EXPECT_EQ(vpsMove_64fc(z + 1, z, 3), StatusOk);  // destination below
             EXPECT_EQ(z[0].re, 0.0);
             EXPECT_EQ(z[2].im, 2.0);
             EXPECT_EQ(vpsMove_64fc(z, z, 4), StatusOk);
             EXPECT_EQ(z[3].re, 2.0);
         }},
        {"Move from 8 bytes above the destination moves the data",
         [] {
             double raw[7] = {0, 1, 2, 3, 4, 5, 6};
             auto* dst = reinterpret_cast<Vps64fc*>(raw);
             auto* src = reinterpret_cast<const Vps64fc*>(raw + 1);
             EXPECT_EQ(vpsMove_64fc(src, dst, 3), StatusOk);
             for (int k = 0; k < 6; ++k)
                 EXPECT_EQ(raw[k], k + 1.0) << k;
             EXPECT_EQ(raw[6], 6.0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.check();
    }
}

}  // namespace
}  // namespace dcs
