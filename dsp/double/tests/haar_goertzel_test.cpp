// The Haar wavelet steps and the Goertzel value against direct sums.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "dsp/double/Goertzel.h"
#include "dsp/double/HaarWavelet.h"

namespace dcs {
namespace {

using Ext = long double;

TEST(Haar64f, PairsAndOddTailAndRoundTrips)
{
    const double x[] = {1, 3, 5};
    double low[2] = {}, high[2] = {-7, -7}, back[3] = {};
    ASSERT_EQ(vpsWTHaarFwd_64f(x, 3, low, high), StatusOk);
    EXPECT_EQ(low[0], 2.0);
    EXPECT_EQ(low[1], 5.0);
    EXPECT_EQ(high[0], 1.0);
    EXPECT_EQ(high[1], -7.0);
    ASSERT_EQ(vpsWTHaarInv_64f(low, high, back, 3), StatusOk);
    EXPECT_EQ(std::vector<double>(back, back + 3), std::vector<double>(x, x + 3));

    std::mt19937_64 gen(3);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int len : {1, 2, 7, 64}) {
        SCOPED_TRACE(len);
        std::vector<double> s(static_cast<std::size_t>(len));
        for (double& v : s)
            v = std::round(u(gen) * 1024) / 8;  // exact halves and sums: the round trip is exact
        std::vector<double> l((len + 1) / 2), h(len / 2 + 1, 42.0), r(s.size());
        ASSERT_EQ(vpsWTHaarFwd_64f(s.data(), len, l.data(), h.data()), StatusOk);
        EXPECT_EQ(h[len / 2], 42.0);
        ASSERT_EQ(vpsWTHaarInv_64f(l.data(), h.data(), r.data(), len), StatusOk);
        EXPECT_EQ(r, s);
    }
    EXPECT_EQ(vpsWTHaarFwd_64f(x, 3, low, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsWTHaarFwd_64f(x, 0, low, high), StatusBadSize);
    EXPECT_EQ(vpsWTHaarInv_64f(nullptr, high, back, 0), StatusNullPointer);
    EXPECT_EQ(vpsWTHaarInv_64f(low, high, back, -1), StatusBadSize);
}

std::complex<Ext> DirectSum(const std::vector<Vps64fc>& x, Ext f)
{
    // The Goertzel value: sum x(n)·e^(j2π f (len - n)).
    const Ext twoPi = 6.283185307179586476925286766559L;
    std::complex<Ext> sum = 0;
    const std::size_t len = x.size();
    for (std::size_t n = 0; n < len; ++n)
        sum += std::complex<Ext>(x[n].re, x[n].im) * std::polar<Ext>(1.0L, twoPi * f * static_cast<Ext>(len - n));
    return sum;
}

TEST(Goertz64fc, EqualsDftBinAndDirectSum)
{
    std::mt19937_64 gen(9);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int len : {1, 2, 5, 16, 37, 200}) {
        std::vector<Vps64fc> x(static_cast<std::size_t>(len));
        for (auto& v : x)
            v = {u(gen), u(gen)};
        std::vector<double> freqs;
        for (int k = 0; k < len; k += std::max(1, len / 7))
            freqs.push_back(static_cast<double>(k) / len);  // bins: the sum is the DFT value
        freqs.push_back(0.999);
        freqs.push_back(0.1234);
        for (double f : freqs) {
            SCOPED_TRACE(testing::Message() << "len " << len << " rFreq " << f);
            Vps64fc val {};
            ASSERT_EQ(vpsGoertz_64fc(x.data(), len, &val, f), StatusOk);
            const auto ref = DirectSum(x, f);
            EXPECT_LE(std::abs(std::complex<Ext>(val.re, val.im) - ref), 1e-13L * len);
        }
    }
    const std::vector<Vps64fc> y {{1, 2}, {3, -4}, {0.5, 0.25}};
    Vps64fc sum {};
    ASSERT_EQ(vpsGoertz_64fc(y.data(), 3, &sum, 0.0), StatusOk);
    EXPECT_EQ(sum.re, 4.5);
    EXPECT_EQ(sum.im, -1.75);
}

TEST(Goertz64fc, Statuses)
{
    const Vps64fc x[2] = {{1, 0}, {0, 1}};
    Vps64fc v {7, 7};
    EXPECT_EQ(vpsGoertz_64fc(nullptr, 2, &v, 0.5), StatusNullPointer);
    EXPECT_EQ(vpsGoertz_64fc(x, 2, nullptr, 0.5), StatusNullPointer);
    EXPECT_EQ(vpsGoertz_64fc(x, 0, &v, 0.5), StatusBadSize);
    for (double bad : {1.0, -0.001, std::nan("")})
        EXPECT_EQ(vpsGoertz_64fc(x, 2, &v, bad), StatusBadRelFreq);
    EXPECT_EQ(v.re, 7.0);
    EXPECT_EQ(vpsGoertz_64fc(x, 2, &v, 0.999), StatusOk);
}

}  // namespace
}  // namespace dcs
