#include "components/audio/buffers/AUSampleRoutines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

namespace dcs {
namespace {

constexpr VpiSize Column(int n) { return {1, n}; }

TEST(Samples8, ArithmeticAroundTheZeroLevel)
{
    using Fn = void (*)(const uint8_t*, int, uint8_t*, int, VpiSize, int);
    struct {
        Fn fn;
        uint8_t dst, src, expected;
    } cases[] = {
        {AddSamples8, 200, 200, 255},                              // +73 + 73 saturates
        {AddSamples8, 20, 30, 0},     {AddSamples8, 127, 50, 50},  // zero level is the identity
        {SubSamples8, 100, 200, 27},  {SubSamples8, 250, 0, 255},
        {MulSamples8, 137, 137, 227}, {MulSamples8, 0, 0, 128},      // (-127)^2 + 127 modulo 256
        {DivSamples8, 227, 137, 137}, {DivSamples8, 117, 137, 126},  // -10 / 10, truncation toward zero
        {DivSamples8, 0, 127, 127},                                  // divisor at zero level
        {DivSamples8, 255, 127, 127}, {DivSamples8, 255, 126, 255},  // 128 / -1 = -128 -> -1 modulo 256
    };
    for (auto c : cases) {
        uint8_t d = c.dst;
        c.fn(&c.src, 1, &d, 1, Column(1), 0);
        EXPECT_EQ(d, c.expected) << int(c.dst) << " op " << int(c.src);
    }
}

TEST(Samples24, ReadWritePackingAtTheEnds)
{
    struct {
        int32_t value;
        std::array<uint8_t, 3> bytes;
        int32_t readBack;
    } cases[] = {
        {-1, {0xFF, 0xFF, 0xFF}, -1},
        {8388607, {0xFF, 0xFF, 0x7F}, 8388607},
        {-8388608, {0x00, 0x00, 0x80}, -8388608},
        {8388608, {0x00, 0x00, 0x80}, -8388608},  // keeps the low 24 bits
        {-8388609, {0xFF, 0xFF, 0xFF}, -1},       // sign bit forced
        {0x12345678, {0x78, 0x56, 0x34}, 0x345678},
    };
    for (auto c : cases) {
        uint8_t buf[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        WriteSample24(c.value, buf);
        EXPECT_EQ(buf[0], c.bytes[0]) << c.value;
        EXPECT_EQ(buf[1], c.bytes[1]) << c.value;
        EXPECT_EQ(buf[2], c.bytes[2]) << c.value;
        EXPECT_EQ(buf[3], 0xAA) << "guard byte";
        EXPECT_EQ(ReadSample24(buf), c.readBack);
    }
}

TEST(Samples24, FillWritesExactlyTheSamples)
{
    for (int offset : {0, 1})  // a channel's column need not be aligned
        for (int len = 0; len <= 9; ++len) {
            alignas(4) uint8_t raw[3 * 9 + 5];
            std::memset(raw, 0x5A, sizeof raw);
            uint8_t* buf = raw + offset;
            FillSamples24(-2, buf, len);
            for (int i = 0; i < len; ++i)
                EXPECT_EQ(ReadSample24(buf + 3 * i), -2) << len << " samples, sample " << i;
            for (size_t i = 0; i < sizeof raw; ++i)
                if (i < size_t(offset) || i >= size_t(offset + 3 * len))
                    ASSERT_EQ(raw[i], 0x5A) << len << " samples, byte " << i;
        }
    alignas(4) uint8_t buf[3 * 5 + 1];
    std::memset(buf, 0x5A, sizeof buf);
    FillSamples24(0x7F123456, buf, 5);  // only the low three bytes of the value count
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ReadSample24(buf + 3 * i), 0x123456);
    EXPECT_EQ(buf[15], 0x5A);
    ZeroSamples24(buf, 5);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(buf[i], 0);
    EXPECT_EQ(buf[15], 0x5A);
}

TEST(Samples24, StridedSetAndCopyTouchOnlyTheirColumn)
{
    // Two interleaved 24-bit channels (6-byte frames).
    alignas(4) uint8_t a[6 * 4], b[6 * 4];
    std::memset(a, 0, sizeof a);
    std::memset(b, 0x11, sizeof b);
    SetSamplesStrided24(-300000, a, 6, Column(4));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ReadSample24(a + 6 * i), -300000);
        EXPECT_EQ(ReadSample24(a + 6 * i + 3), 0);
    }
    CopySamplesStrided24(a, 6, b, 6, Column(4));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ReadSample24(b + 6 * i), -300000);
        EXPECT_EQ(ReadSample24(b + 6 * i + 3), 0x111111);
    }
    // The second channel's samples start at odd addresses.
    CopySamplesStrided24(a, 6, b + 3, 6, Column(4));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadSample24(b + 6 * i + 3), -300000);
}

TEST(Samples24, SumsSaturateAndDivisionNeverTraps)
{
    uint8_t d[9], s[9];
    const int32_t dv[3] = {8388607, 100, -7}, sv[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        WriteSample24(dv[i], d + 3 * i);
        WriteSample24(sv[i], s + 3 * i);
    }
    AddSamples24(s, 3, d, 3, Column(3), 0);
    EXPECT_EQ(ReadSample24(d), 8388607);
    EXPECT_EQ(ReadSample24(d + 3), 100);
    EXPECT_EQ(ReadSample24(d + 6), -5);

    DivSamples24(s, 3, d, 3, Column(3), 0);
    EXPECT_EQ(ReadSample24(d), 8388607);
    EXPECT_EQ(ReadSample24(d + 3), 100) << "a zero divisor leaves the sample";
    EXPECT_EQ(ReadSample24(d + 6), -2);  // truncation toward zero

    DivConst24(0, d, 3, 0);
    EXPECT_EQ(ReadSample24(d + 3), 100);
    uint8_t out[9] = {};
    DivConstTo24(d, 0, out, 3, 0);  // the copying form still copies
    EXPECT_EQ(ReadSample24(out + 3), 100);
    WriteSample24(-8388608, d);
    SubConstTo24(d, 1, out, 3, 0);
    EXPECT_EQ(ReadSample24(out), -8388608) << "below the range saturates";
    AddConstStrided24(100, out + 3, 3, Column(1), 0);
    EXPECT_EQ(ReadSample24(out + 3), 199);
    MulConstStrided24(-3, d + 3, 3, Column(2), 0);
    EXPECT_EQ(ReadSample24(d + 3), -300);
    EXPECT_EQ(ReadSample24(d + 6), 6);
}

// The packed-run sum the mixer uses must agree with the column sum sample for sample:
// every length (whole words and the tail), both ends of the range, mixed signs.
TEST(Samples24, PackedRunSumsMatchColumnSums)
{
    std::vector<int32_t> values;
    uint32_t seed = 12345;
    for (int i = 0; i < 64; ++i) {
        seed = seed * 1664525u + 1013904223u;
        values.push_back(int32_t(seed >> 8) - 8388608);
    }
    values.insert(values.end(), {8388607, 8388607, -8388608, -8388608, 1, -1, 0, 4194304});
    for (int count = 0; count <= 35; ++count)
        for (size_t offset = 0; offset + 2 * size_t(count) <= values.size(); offset += 7) {
            std::vector<uint8_t> a(3 * size_t(count) + 3), b(3 * size_t(count) + 3), column, run;
            for (int i = 0; i < count; ++i) {
                WriteSample24(values[offset + size_t(i)], &a[3 * size_t(i)]);
                WriteSample24(values[offset + size_t(count + i)], &b[3 * size_t(i)]);
            }
            a.back() = 0xA5;  // a byte past the run stays as it is
            column = run = a;
            AddSamples24(b.data(), 3, column.data(), 3, Column(count), 0);
            AddSamplesContiguous24(b.data(), run.data(), count);
            EXPECT_EQ(run, column) << count << " samples from " << offset;
        }
}

// The generators widen every sample of every buffer: the division-free form must give
// the truncated division for all 65536 inputs, into every channel of packed frames.
TEST(SampleWidths, WideningSixteenToTwentyFourMatchesTheDivisionEverywhere)
{
    std::vector<int16_t> src(65536);
    for (int i = 0; i < 65536; ++i)
        src[size_t(i)] = int16_t(i - 32768);
    std::vector<uint8_t> column(3 * 65536), stereo(2 * 3 * 65536), three(3 * 3 * 65536);
    ConvertSamples16To24(src.data(), 2, column.data(), 3, Column(65536));
    ConvertSamples16To24Channels(src.data(), 2, stereo.data(), 65536, 2);
    ConvertSamples16To24Channels(src.data(), 2, three.data(), 65536, 3);
    for (int i = 0; i < 65536; ++i) {
        const int64_t x = src[size_t(i)];
        const int32_t expected = int32_t(std::max<int64_t>(x * 8388607 / 32767, -8388608));
        ASSERT_EQ(ReadSample24(&column[3 * size_t(i)]), expected) << x;
        for (size_t c = 0; c < 2; ++c)
            ASSERT_EQ(ReadSample24(&stereo[6 * size_t(i) + 3 * c]), expected) << x;
        for (size_t c = 0; c < 3; ++c)
            ASSERT_EQ(ReadSample24(&three[9 * size_t(i) + 3 * c]), expected) << x;
    }
}

TEST(Samples32, SumsSaturateProductsWrapDivisionIsGuarded)
{
    int32_t d[4] = {INT_MAX, INT_MIN, 7, INT_MIN};
    const int32_t s[4] = {1, -1, 0, 2};
    int32_t a[4];
    std::memcpy(a, d, sizeof a);
    AddSamples32(s, 4, a, 4, Column(4), 0);
    EXPECT_EQ(a[0], INT_MAX);
    EXPECT_EQ(a[1], INT_MIN);
    EXPECT_EQ(a[3], INT_MIN + 2);
    SubConstStrided32(5, a + 1, 4, Column(1), 0);
    EXPECT_EQ(a[1], INT_MIN);
    std::memcpy(a, d, sizeof a);
    MulSamples32(s, 4, a, 4, Column(4), 0);
    EXPECT_EQ(a[1], INT_MIN);  // low 32 bits of 2^31
    EXPECT_EQ(a[3], 0);
    std::memcpy(a, d, sizeof a);
    DivSamples32(s, 4, a, 4, Column(4), 0);
    EXPECT_EQ(a[1], INT_MIN) << "INT_MIN / -1 wraps instead of trapping";
    EXPECT_EQ(a[2], 7) << "a zero divisor leaves the sample";
    EXPECT_EQ(a[3], -1073741824);

    std::memcpy(a, d, sizeof a);
    DivConstStrided32(-1, a, 4, Column(4), 0);
    EXPECT_EQ(a[1], INT_MIN);
    EXPECT_EQ(a[2], -7);
    DivConstStrided32(0, a, 4, Column(4), 0);
    EXPECT_EQ(a[2], -7);
    int32_t to[4] = {};
    DivConstStridedTo32(d, 0, to, 4, Column(4), 0);
    EXPECT_EQ(to[2], 7);
    SubConstStridedTo32(d, 1, to, 8, Column(2), 0);  // every other sample
    EXPECT_EQ(to[0], INT_MAX - 1);
    EXPECT_EQ(to[2], 6);
}

TEST(SampleWidths, ConversionsAtTheirEndPoints)
{
    auto to24 = [](auto fn, auto x) {
        uint8_t out[4] = {0, 0, 0, 0xEE};
        fn(&x, 0, out, 3, Column(1));
        EXPECT_EQ(out[3], 0xEE);
        return ReadSample24(out);
    };
    EXPECT_EQ(to24(ConvertSamples16To24, int16_t(32767)), 8388607);
    EXPECT_EQ(to24(ConvertSamples16To24, int16_t(-32767)), -8388607);
    EXPECT_EQ(to24(ConvertSamples16To24, int16_t(1)), 256);
    EXPECT_EQ(to24(ConvertSamples8To24, uint8_t(127)), 0);
    EXPECT_EQ(to24(ConvertSamples8To24, uint8_t(0)), -8388607);
    EXPECT_EQ(to24(ConvertSamples8To24, uint8_t(254)), 8388607);
    auto from32 = [](int32_t x) {
        uint8_t out[3];
        ConvertSamples32To24(&x, 4, out, 3, Column(1), 1);
        return ReadSample24(out);
    };
    EXPECT_EQ(from32(INT_MAX), 8388607);
    EXPECT_EQ(from32(-INT_MAX), -8388607);

    auto from24 = [](int32_t x, auto fn, auto zero) {
        uint8_t in[3];
        WriteSample24(x, in);
        auto out = zero;
        fn(in, 3, &out, int(sizeof out), Column(1), 1);
        return int64_t(out);
    };
    EXPECT_EQ(from24(8388607, ConvertSamples24To16, int16_t()), 32767);
    EXPECT_EQ(from24(256, ConvertSamples24To16, int16_t()), 0);
    EXPECT_EQ(from24(-8388608, ConvertSamples24To8, uint8_t()), 0);
    EXPECT_EQ(from24(8388607, ConvertSamples24To8, uint8_t()), 254);
    EXPECT_EQ(from24(0, ConvertSamples24To8, uint8_t()), 127);

    int32_t w;
    int16_t x16 = 32767;
    ConvertSamples16To32(&x16, 2, &w, 4, Column(1));
    EXPECT_EQ(w, INT_MAX);
    uint8_t s24[3];
    WriteSample24(-8388607, s24);
    ConvertSamples24To32(s24, 3, &w, 4, Column(1));
    EXPECT_EQ(w, -INT_MAX);
    int16_t n16;
    int32_t big = INT_MIN;
    ConvertSamples32To16(&big, 4, &n16, 2, Column(1), 1);
    EXPECT_EQ(n16, -32767);
}

TEST(SampleWidths, WideningSaturatesInsteadOfFlippingSign)
{
    uint8_t out[3];
    uint8_t top = 255;
    ConvertSamples8To24(&top, 1, out, 3, Column(1));
    EXPECT_EQ(ReadSample24(out), 8388607);
    int16_t low = -32768;
    ConvertSamples16To24(&low, 2, out, 3, Column(1));
    EXPECT_EQ(ReadSample24(out), -8388608);
    int32_t w;
    ConvertSamples16To32(&low, 2, &w, 4, Column(1));
    EXPECT_EQ(w, INT_MIN);
    WriteSample24(-8388608, out);
    ConvertSamples24To32(out, 3, &w, 4, Column(1));
    EXPECT_EQ(w, INT_MIN);
}

TEST(SampleWidths, ColumnConverterDispatchesEveryPair)
{
    // Full-scale positive in each width; every conversion must land on the target's.
    const int widths[] = {8, 16, 24, 32};
    auto full = [](int bits, uint8_t* p) {
        switch (bits) {
        case 8: p[0] = 255; break;
        case 16: {
            int16_t v = 32767;
            std::memcpy(p, &v, 2);
        } break;
        case 24: WriteSample24(8388607, p); break;
        case 32: {
            int32_t v = INT_MAX;
            std::memcpy(p, &v, 4);
        } break;
        }
    };
    auto read = [](int bits, const uint8_t* p) -> int64_t {
        switch (bits) {
        case 8: return p[0];
        case 16: {
            int16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
        case 24: return ReadSample24(p);
        default: {
            int32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        }
    };
    for (int from : widths) {
        for (int to : widths) {
            alignas(4) uint8_t src[8] = {}, dst[8] = {0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33, 0x33};
            full(from, src);
            full(from, src + 4);
            ConvertSampleColumn(src, from, 4, dst, to, 4, 2);
            if (from == to) {
                EXPECT_EQ(dst[0], 0x33) << "equal widths do nothing";
                continue;
            }
            alignas(4) uint8_t top[4] = {};
            full(to, top);
            int64_t expected = read(to, top);
            if (from == 24 && to == 8)
                expected = 254;  // its own table puts full scale one below the byte's top
            EXPECT_NEAR(double(read(to, dst)), double(expected), to == 8 ? 1.0 : 0.0) << from << "->" << to;
            EXPECT_EQ(read(to, dst + 4), read(to, dst)) << from << "->" << to;
        }
    }
    uint8_t untouched = 0x44;
    ConvertSampleColumn(&untouched, 8, 1, &untouched, 12, 1, 1);
    EXPECT_EQ(untouched, 0x44);
}

TEST(SampleGain, RoundsToEvenSaturatesAndSkipsUnity)
{
    struct {
        int16_t x;
        double c;
        int16_t expected;
    } cases16[] = {{20000, 2.0, 32767}, {-20000, 2.0, -32768}, {-32768, -1.0, 32767}, {3, 0.5, 2},
                   {5, 0.5, 2},         {7, 0.5, 4},           {-3, 0.5, -2},         {1234, 1.0, 1234}};
    for (auto c : cases16) {
        int16_t v = c.x;
        ScaleSamples16(&v, 2, Column(1), c.c);
        EXPECT_EQ(v, c.expected) << c.x << " * " << c.c;
    }
    uint8_t b = 127;
    ScaleSamples8(&b, 1, Column(1), 0.5);
    EXPECT_EQ(b, 64);
    ScaleSamples8(&b, 1, Column(1), 4.5);
    EXPECT_EQ(b, 255);

    int16_t src = 100, dst = -1;
    ScaleSamplesTo16(&src, &dst, 2, Column(1), 1.0);
    EXPECT_EQ(dst, -1) << "unity gain does not even copy";
    ScaleSamplesTo16(&src, &dst, 2, Column(1), std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(dst, -1);
    ScaleSamplesTo16(&src, &dst, 2, Column(1), -1.5);
    EXPECT_EQ(dst, -150);

    int32_t w = INT_MAX;
    ScaleSamples32(&w, 4, Column(1), 2.0);
    EXPECT_EQ(w, INT_MAX);
    ScaleSamples32(&w, 4, Column(1), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(w, INT_MIN);
    w = 0;
    ScaleSamples32(&w, 4, Column(1), std::numeric_limits<double>::infinity());
    EXPECT_EQ(w, 0) << "a product that is no number leaves the sample";
    w = 3;
    ScaleSamples32(&w, 4, Column(1), 1e300);
    EXPECT_EQ(w, INT_MAX);

    uint8_t s24[6];
    WriteSample24(5000000, s24);
    WriteSample24(-5000000, s24 + 3);
    ScaleSamples24(s24, 3, Column(2), 2.0);
    EXPECT_EQ(ReadSample24(s24), 8388607);
    EXPECT_EQ(ReadSample24(s24 + 3), -8388608);
}

// Packed 24-bit runs are scaled sixteen at a time: every length, ties, both ends of the
// range and products far outside it must match the rounded product sample by sample.
TEST(SampleGain, PackedRunsMatchTheRoundedProduct)
{
    std::vector<int32_t> values {8388607, -8388608, 1, -1, 3, -3, 5, 0, 4194305, -4194305};
    uint32_t seed = 99;
    while (values.size() < 40) {
        seed = seed * 1664525u + 1013904223u;
        values.push_back(int32_t(seed >> 8) - 8388608);
    }
    for (double gain : {0.5, -0.5, 0.75, 3.0, 1024.0, -1.0, 0.0})
        for (int count = 0; count <= 40; count += 3) {
            std::vector<uint8_t> run(3 * size_t(count) + 1, 0xA5);
            for (int i = 0; i < count; ++i)
                WriteSample24(values[size_t(i)], &run[3 * size_t(i)]);
            ScaleSamples24(run.data(), 3, Column(count), gain);
            for (int i = 0; i < count; ++i) {
                const double exact =
                    std::clamp(std::nearbyint(double(values[size_t(i)]) * gain), -8388608.0, 8388607.0);
                ASSERT_EQ(ReadSample24(&run[3 * size_t(i)]), int32_t(exact))
                    << values[size_t(i)] << " * " << gain << " in a run of " << count;
            }
            EXPECT_EQ(run.back(), 0xA5) << "a byte past the run stays";
        }
}

TEST(SampleRegions, EmptyRegionsWriteNothing)
{
    uint8_t buf[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t copy[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    AddSamples8(buf, 1, buf, 1, Column(0), 0);
    AddSamples24(buf, 3, buf, 3, {0, 5}, 0);
    ScaleSamples8(buf, 1, Column(-1), 3.0);
    SetSamplesStrided24(0, buf, 3, Column(0));
    SetSamplesStrided32(0, reinterpret_cast<int32_t*>(buf), 4, Column(0));
    FillSamples24(0, buf, -1);
    ZeroSamples24(buf, 0);
    AddConst24(9, buf, 0, 0);
    ConvertSampleColumn(buf, 8, 1, buf + 4, 16, 2, 0);
    EXPECT_EQ(std::memcmp(buf, copy, 8), 0);
}

}  // namespace
}  // namespace dcs
