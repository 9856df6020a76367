#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/TestSignalEntries.h"
#include "dsp/tests/noise_definition.h"

namespace dcs {
namespace {

TEST(VectorJaehne64f, IsAChirpWhosePhaseGrowsWithTheSquareOfTheIndex)
{
    for (int len : {2, 7, 1000}) {
        SCOPED_TRACE(len);
        std::vector<double> out(len);
        ASSERT_EQ(vpsVectorJaehne_64f(out.data(), len, 3.5), StatusOk);
        const long double q = 1.5707963267948966L / len;
        for (int n = 0; n < len; ++n)
            EXPECT_NEAR(out[n], 3.5L * std::sin(static_cast<long double>(n) * n * q), 1e-12) << n;
        EXPECT_EQ(out[0], 0.0);
    }
    double one = 9.0;
    ASSERT_EQ(vpsVectorJaehne_64f(&one, 1, 2.0), StatusOk);
    EXPECT_EQ(one, 0.0);
    std::vector<double> zeros(5, 9.0);
    ASSERT_EQ(vpsVectorJaehne_64f(zeros.data(), 5, 0.0), StatusOk);
    EXPECT_EQ(zeros, std::vector<double>(5, 0.0));

    std::vector<double> untouched(3, 9.0);
    EXPECT_EQ(vpsVectorJaehne_64f(untouched.data(), 3, -1.0), StatusBadJaehneMagnitude);
    EXPECT_EQ(vpsVectorJaehne_64f(untouched.data(), 0, -1.0), StatusBadSize);
    EXPECT_EQ(vpsVectorJaehne_64f(nullptr, 3, 1.0), StatusNullPointer);
    EXPECT_EQ(untouched, std::vector<double>(3, 9.0));
}

TEST(RandUniformDirect64f, FollowsTheGeneratorDefinition)
{
    const std::uint32_t seed = 987654321u;
    NoiseDefinition def(seed);
    const long double scale = (2.5L - -1.5L) * 2.3283064365387e-10L;
    const long double mid = (-1.5L + 2.5L) * 0.5L;
    std::vector<double> expected;
    for (int j = 0; j < 50; ++j) {
        const std::uint32_t swb = def.Swb();
        expected.push_back(static_cast<double>(mid + scale * static_cast<std::int32_t>(swb + def.Lcg())));
    }
    std::vector<double> out(50);
    std::uint32_t s = seed;
    ASSERT_EQ(vpsRandUniform_Direct_64f(out.data(), 50, -1.5, 2.5, &s), StatusOk);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(s, def.u.back());
    for (double x : out) {
        EXPECT_GE(x, -1.5);
        EXPECT_LT(x, 2.5);
    }

    // Calling on with the returned seed continues with new numbers; the borrow and the
    // congruential state restart, so two halves differ from one whole.
    std::vector<double> again(50);
    ASSERT_EQ(vpsRandUniform_Direct_64f(again.data(), 50, -1.5, 2.5, &s), StatusOk);
    EXPECT_NE(again, out);
    std::vector<double> whole(100);
    std::uint32_t s2 = seed;
    ASSERT_EQ(vpsRandUniform_Direct_64f(whole.data(), 100, -1.5, 2.5, &s2), StatusOk);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), whole.begin()));
    EXPECT_FALSE(std::equal(again.begin(), again.end(), whole.begin() + 50));

    std::vector<double> flat(4);
    s = 1;
    ASSERT_EQ(vpsRandUniform_Direct_64f(flat.data(), 4, 0.25, 0.25, &s), StatusOk);
    EXPECT_EQ(flat, std::vector<double>(4, 0.25));

    s = 5;
    EXPECT_EQ(vpsRandUniform_Direct_64f(flat.data(), 4, 0.0, 1.0, nullptr), StatusNullPointer);
    EXPECT_EQ(vpsRandUniform_Direct_64f(nullptr, 4, 0.0, 1.0, &s), StatusNullPointer);
    EXPECT_EQ(vpsRandUniform_Direct_64f(flat.data(), 0, 0.0, 1.0, &s), StatusBadSize);
    EXPECT_EQ(s, 5u);
}

}  // namespace
}  // namespace dcs
