// The decomposition and block sizes of every order, as data.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dsp/spectral/FftEngine.h"
#include "dsp/spectral/FftEntries.h"
#include "dsp/spectral/FftPlan.h"
#include "dsp/spectral/FftReal32f.h"

namespace dcs {
namespace {

struct PlanRow {
    int order;                // complex transform order
    std::vector<int> splits;  // from the whole transform inwards
    int leaf;
    bool leafIsBlock;
    std::int64_t work;
};

void ExpectPlan(const FftPlan& p, const PlanRow& row)
{
    SCOPED_TRACE("order " + std::to_string(row.order));
    ASSERT_TRUE(p.valid);
    EXPECT_EQ(p.transformOrder, row.order);
    EXPECT_EQ(std::vector<int>(p.split, p.split + p.levels), row.splits);
    EXPECT_EQ(p.leafOrder, row.leaf);
    EXPECT_EQ(p.leafIsBlock, row.leafIsBlock);
    EXPECT_EQ(p.workBytes, row.work);
}

TEST(FftPlan, DoubleDecompositionOfOrders10To30)
{
    const PlanRow rows[] = {
        {10, {}, 10, true, 0},         {11, {}, 11, true, 0},         {12, {4}, 8, false, 1024},
        {13, {5}, 8, false, 2048},     {14, {6}, 8, false, 4096},     {15, {7}, 8, false, 8192},
        {16, {7}, 9, false, 8192},     {17, {8}, 9, false, 16384},    {18, {9}, 9, false, 32768},
        {19, {9}, 10, true, 32768},    {20, {9}, 11, true, 32768},    {21, {8, 5}, 8, false, 16384},
        {22, {8, 6}, 8, false, 16384}, {23, {9, 6}, 8, false, 32768}, {24, {9, 7}, 8, false, 32768},
        {25, {9, 7}, 9, false, 32768}, {26, {9, 8}, 9, false, 32768}, {27, {9, 9}, 9, false, 32768},
        {28, {9, 9}, 10, true, 32768}, {29, {9, 9}, 11, true, 32768}, {30, {9, 8, 5}, 8, false, 32768},
    };
    for (const PlanRow& row : rows)
        ExpectPlan(FftMakePlan<double>(row.order, false), row);
}

TEST(FftPlan, SinglePrecisionDecompositionOfOrders11To29)
{
    // The single-precision unit is real only: real order m + 1 runs the complex order m.
    const PlanRow rows[] = {
        {11, {}, 11, true, 0},           {12, {}, 12, true, 0},          {13, {5}, 8, false, 1024},
        {14, {6}, 8, false, 2048},       {15, {7}, 8, false, 4096},      {16, {8}, 8, false, 8192},
        {17, {8}, 9, false, 8192},       {18, {8}, 10, false, 8192},     {19, {10}, 9, false, 32768},
        {20, {10}, 10, false, 32768},    {21, {10}, 11, true, 32768},    {22, {10}, 12, true, 32768},
        {23, {8, 7}, 8, false, 8192},    {24, {8, 8}, 8, false, 8192},   {25, {10, 7}, 8, false, 32768},
        {26, {10, 8}, 8, false, 32768},  {27, {10, 8}, 9, false, 32768}, {28, {10, 8}, 10, false, 32768},
        {29, {10, 10}, 9, false, 32768},
    };
    for (const PlanRow& row : rows)
        ExpectPlan(FftMakePlan<float>(row.order + 1, true), row);
}

TEST(FftPlan, TableAreasOfTheLargestOrdersAreExact64BitSizes)
{
    // Above 2^31 bytes from order 27 on: a 32-bit sum wraps (order 27 to a negative size,
    // orders 28 to 30 to a few megabytes) and the tables would overrun their block.
    EXPECT_EQ(FftMakePlan<double>(27, false).tableAreaBytes, 2151702576);
    EXPECT_EQ(FftMakePlan<double>(28, false).tableAreaBytes, 4303384624);
    EXPECT_EQ(FftMakePlan<double>(29, false).tableAreaBytes, 8606744624);
    EXPECT_EQ(FftMakePlan<double>(30, false).tableAreaBytes, 17213571648);
    EXPECT_EQ(FftMakePlan<double>(30, true).tableAreaBytes, 8606744624);  // complex order 29
    EXPECT_EQ(FftMakePlan<float>(29, true).tableAreaBytes, 2149599256);
    EXPECT_EQ(FftMakePlan<float>(30, true).tableAreaBytes, 4299182104);
    EXPECT_EQ(FftMakePlan<double>(30, false).sineBytes, 2147483664);
    EXPECT_EQ(FftMakePlan<double>(30, true).recombBytes, 4294967296);
    // The smallest orders, for scale: radix-4 leaf alone, block transform alone.
    EXPECT_EQ(FftMakePlan<double>(4, false).tableAreaBytes, 17 * 16);
    EXPECT_EQ(FftMakePlan<double>(11, false).tableAreaBytes, 512 * 16 + 8208);
    EXPECT_EQ(FftMakePlan<double>(3, false).tableAreaBytes, 0);
}

TEST(FftPlan, WorkSizeAnswers)
{
    // 0 up to 2048 complex points, then 64·2^s + 16 for the largest split order s.
    const std::pair<int, int> expected[] = {{0, 0},     {3, 0},     {4, 0},     {9, 0},     {11, 0},    {12, 1040},
                                            {13, 2064}, {14, 4112}, {15, 8208}, {16, 8208}, {17, 16400}};
    for (const auto& [order, size] : expected) {
        SCOPED_TRACE("order " + std::to_string(order));
        FftSpec* c = nullptr;
        FftSpec* r = nullptr;
        ASSERT_EQ(vpsFFTInitAlloc_C_64fc(&c, order, 8, 0), StatusOk);
        ASSERT_EQ(vpsFFTInitAlloc_R_64f(&r, order + 1, 8, 0), StatusOk);
        int cs = -1;
        int rs = -1;
        EXPECT_EQ(dspFFTGetBufSize_C_64fc(c, &cs), StatusOk);
        EXPECT_EQ(dspFFTGetBufSize_R_64f(r, &rs), StatusOk);
        EXPECT_EQ(cs, size);
        EXPECT_EQ(rs, size);  // the real spec of one order more runs the same complex order
        vpsFFTFree_C_64fc(c);
        vpsFFTFree_R_64f(r);
    }
    FftSpec32f* f = nullptr;
    ASSERT_EQ(dspFFTInitAlloc_R_32f(&f, 14, 8, 0), StatusOk);
    int fs = -1;
    EXPECT_EQ(dspFFTGetBufSize_R_32f(f, &fs), StatusOk);
    EXPECT_EQ(fs, 1040);
    dspFFTFree_R_32f(f);
}

TEST(FftPlan, BitReversalTableListsPairsThenSelfReversedIndices)
{
    // Order 6: the middle 4 bits, i = 1..15. Pairs (1,8) (2,4) (3,12) (5,10) (7,14) (11,13)
    // as 4i, 4d words, then 0, then the self-reversed 6, 9, 15 stored backwards from word 15,
    // and a final 0.
    std::int32_t table[17];
    dspFFTBitRevTable(6, table);
    const std::vector<std::int32_t> expected = {4, 32, 8, 16, 12, 48, 20, 40, 28, 56, 44, 52, 0, 60, 36, 24, 0};
    EXPECT_EQ(std::vector<std::int32_t>(table, table + 17), expected);
}

TEST(FftPlan, FusedProductAndBitReversalEqualsProductThenPermutation)
{
    // Orders with the pair lists (up to 11) and with the blocked permutation (12 on); the
    // product must round as the plain formula, so the comparison is exact.
    for (int m : {2, 3, 4, 5, 8, 11, 12, 13}) {
        SCOPED_TRACE("order " + std::to_string(m));
        const std::int64_t n = std::int64_t {1} << m;
        std::vector<std::int32_t> table(static_cast<std::size_t>(FftBitRevBytes(m) / 4));
        dspFFTBitRevTable(m, table.data());
        std::vector<Vps64fc> x(n), w(n), expected(n);
        for (std::int64_t j = 0; j < n; ++j) {
            x[j] = {std::sin(0.7 * j + 0.1), std::cos(1.3 * j)};
            w[j] = {std::cos(0.37 * j), -std::sin(0.91 * j + 0.2)};
            std::int64_t r = 0;
            for (int b = 0; b < m; ++b)
                r |= (j >> b & 1) << (m - 1 - b);
            expected[r] = {x[j].re * w[j].re - x[j].im * w[j].im, x[j].im * w[j].re + x[j].re * w[j].im};
        }
        dspFFTMulPermute_I(w.data(), x.data(), n, table.data());
        for (std::int64_t j = 0; j < n; ++j) {
            ASSERT_EQ(x[j].re, expected[j].re) << j;
            ASSERT_EQ(x[j].im, expected[j].im) << j;
        }
    }
}

}  // namespace
}  // namespace dcs
