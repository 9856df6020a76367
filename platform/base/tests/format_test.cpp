#include "platform/base/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace dcs {
namespace {

// Restores the global settings a test changes.
class FormatTest : public ::testing::Test {
protected:
    void TearDown() override { FormatSettings = TFormatSettings(); }
};

TEST_F(FormatTest, ConversionTable)
{
    const void* ptr = reinterpret_cast<const void*>(uintptr_t(0xABC));
    struct Case {
        std::string got;
        const char* expected;
    } cases[] = {
        {Format("%d", 42), "42"},
        {Format("%d", -7), "-7"},
        {Format("%.4d", 42), "0042"},
        {Format("%.4d", -5), "-0005"},
        {Format("%5d|%-5d|", 42, 42), "   42|42   |"},
        {Format("%u", 3000000000u), "3000000000"},
        {Format("%u", -1), "4294967295"},  // negative ints read as 32-bit unsigned
        {Format("%x", 255), "FF"},         // hex is always upper case
        {Format("%X", 255), "FF"},
        {Format("%.8x", -1), "FFFFFFFF"},
        {Format("%x", int64_t(-1)), "FFFFFFFFFFFFFFFF"},
        {Format("%.2f", 3.14159), "3.14"},
        {Format("%.2f", 0.125), "0.13"},  // halves round away from zero
        {Format("%.2f", -0.125), "-0.13"},
        {Format("%.2f", 2.675), "2.67"},  // 2.675 is stored just below the half
        {Format("%.1f", -0.01), "0.0"},   // no sign on a result that rounds to zero
        {Format("%f", 1.0), "1.00"},
        {Format("%.0f", 2.5), "3"},
        {Format("%8.3f|", 1.5), "   1.500|"},
        {Format("%g", 0.1), "0.1"},
        {Format("%g", 100.0), "100"},
        {Format("%g", 1.0 / 3.0), "0.333333333333333"},
        {Format("%g", 1e20), "1E020"},
        {Format("%g", 1.5e-7), "1.5E-007"},
        {Format("%e", 1234.5), "1.23450000000000E+003"},
        {Format("%.3e", -0.000123456), "-1.23E-004"},
        {Format("%n", 1234567.891), "1,234,567.89"},
        {Format("%.0n", -999.5), "-1,000"},
        {Format("%s and %s", "Plate Intensity", std::string("Audio Level")), "Plate Intensity and Audio Level"},
        {Format("%.3s|%4s|%-4s|", "abcdef", "ab", "ab"), "abc|  ab|ab  |"},
        {Format("%3s|", "\xC3\xA4"), "  \xC3\xA4|"},  // width counts characters, not bytes
        {Format("%s%s", 'x', 'y'), "xy"},
        {Format("%*d|%-*.*f|", 4, 7, 6, 1, 2.25), "   7|2.3   |"},
        {Format("%1:s %0:s %s", "a", "b"), "b a b"},
        {Format("100%% %s", "done"), "100% done"},
        {Format("%p", ptr), sizeof(void*) == 8 ? "0000000000000ABC" : "00000ABC"},
        {Format("no conversions", 1, 2), "no conversions"},
        {Format("%f", std::numeric_limits<double>::infinity()), "INF"},
        {Format("%.1f", std::nan("")), "NAN"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST_F(FormatTest, BadFormatsAndMismatchedArguments)
{
    const auto message = [](const std::string& fmt) {
        return "Format '" + fmt + "' invalid or incompatible with argument";
    };
    struct Case {
        const char* fmt;
        std::function<std::string()> run;
    } cases[] = {
        {"%d", [] { return Format("%d", 1.5); }},      {"%x", [] { return Format("%x", "ff"); }},
        {"%f", [] { return Format("%f", 3); }},  // no silent int-to-float
        {"%s", [] { return Format("%s", 42); }},       {"%.2f%", [] { return Format("%.2f%", 1.0); }},
        {"%k", [] { return Format("%k", 1); }},        {"%.d", [] { return Format("%.d", 1); }},
        {"%*d", [] { return Format("%*d", "w", 1); }}, {"%p", [] { return Format("%p", 1); }},
    };
    for (const Case& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << c.fmt << ": no exception";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), message(c.fmt));
        }
    }
    try {
        Format("%d %d", 1);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "No argument for format '%d %d'");
    }
}

TEST_F(FormatTest, DecimalSeparatorIsSettable)
{
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = '.';
    EXPECT_EQ(Format("%.2f", 1.5), "1,50");
    EXPECT_EQ(Format("%n", 1234.5), "1.234,50");
    EXPECT_EQ(FloatToStr(0.25), "0,25");
    EXPECT_EQ(FormatFloat("0.00", 2), "2,00");
    EXPECT_EQ(StrToFloat("2,5"), 2.5L);
    EXPECT_THROW(StrToFloat("2.5"), EConvertError);
}

TEST_F(FormatTest, FloatToStrAndBack)
{
    struct Case {
        long double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-2.5L, "-2.5"},
        {0.1, "0.1"},
        {100, "100"},
        {1e15L, "1E15"},
        {123456789012345.0L, "123456789012345"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {1.5e-7L, "1.5E-7"},
        {33.8, "33.8"},
        {1.0L / 3.0L, "0.333333333333333"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FloatToStr(c.value), c.text);
        EXPECT_NEAR(double(StrToFloat(c.text)), double(c.value), std::fabs(double(c.value)) * 1e-14) << c.text;
    }
    EXPECT_EQ(StrToFloat(" -1.25e2 "), -125.0L);
    EXPECT_EQ(StrToFloat(".5"), 0.5L);
    for (const char* bad : {"", "abc", "1.2.3", "1e", "--1", "1,5", "e5", "."}) {
        try {
            StrToFloat(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid floating point value");
        }
    }
    EXPECT_EQ(StrToFloatDef("x", 7), 7.0L);
}

// Inputs at the edges of the number formats, found by fuzzing.
TEST_F(FormatTest, EdgesOfTheExtendedAndDateRanges)
{
    // The whole extended range reads, subnormals included; beyond it is an error.
    const long double smallest = std::numeric_limits<long double>::denorm_min();
    EXPECT_EQ(StrToFloat("1e-4950"), 1e-4950L);
    EXPECT_EQ(StrToFloat("-3.6451995318824746025e-4951"), -smallest);
    EXPECT_EQ(StrToFloat("1.18973149535723176502e4932"), std::numeric_limits<long double>::max());
    for (const char* bad : {"1e5000", "1e-5000", "-1e-99999"})
        EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;

    // Dates outside the years 1 to 9999, and values that are no number, do not convert.
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    int y, m, d;
    for (double t :
         {nan, inf, -inf, 9.3e18, -9.3e18, 1e300, EncodeDate(9999, 12, 31) + 1.0, EncodeDate(1, 1, 1) - 1.0}) {
        EXPECT_THROW(FormatDateTime("yyyy-mm-dd hh:nn", t), EConvertError) << t;
        EXPECT_THROW(DecodeDate(t, y, m, d), EConvertError) << t;
        EXPECT_THROW(DecodeTime(t, y, m, d, d), EConvertError) << t;
    }
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", EncodeDate(9999, 12, 31) + 0.5), "9999-12-31 12:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", EncodeDate(1, 1, 1) - 0.5), "1-01-01 12:00");
}

TEST_F(FormatTest, FormatFloatPatterns)
{
    struct Case {
        const char* pattern;
        long double value;
        const char* expected;
    } cases[] = {
        {"00:00", 125, "01:25"},  // countdown: minutes*100 + seconds
        {"00:00", 5, "00:05"},
        {"00:00", 0, "00:00"},
        {"00:00", 12345, "123:45"},  // surplus digits go to the first place
        {"000", 7, "007"},
        {"000", 7.5, "008"},  // half away from zero
        {"000", -7.5, "-008"},
        {"000.00", 3.14159, "003.14"},
        {"000.00", 0.005, "000.01"},
        {"0.##", 1, "1"},  // no separator without decimals
        {"0.##", 1.5, "1.5"},
        {"0.##", 1.256, "1.26"},
        {"0.0#", 2, "2.0"},
        {"#.##", 0.5, ".5"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", 999.999, "1,000.00"},
        {"#,##0", 12, "12"},
        {"#,##0", -1234, "-1,234"},
        {"0", -0.4, "0"},  // rounds to zero: no sign
        {"'Hz' 0.0", 33.8, "Hz 33.8"},
        {"0.0 \"dB\"", -3.25, "-3.3 dB"},
        {"0.00;(0.00);zero", -2, "(2.00)"},
        {"0.00;(0.00);zero", 0, "zero"},
        {"0.00;;zero", -2, "-2.00"},
        {"", 0.1, "0.1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << double(c.value);
}

TEST_F(FormatTest, DateTime)
{
    const TDateTime t = EncodeDate(2026, 3, 7) + EncodeTime(14, 5, 9, 42);
    EXPECT_EQ(FormatDateTime("hh:nn:ss", t), "14:05:09");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:mm", t), "2026-03-07 14:05");  // m after h is minutes
    EXPECT_EQ(FormatDateTime("d/m/yy h:n:s.zzz", t), "7-3-26 14:5:9.042");
    EXPECT_EQ(FormatDateTime("ddd dddd mmm mmmm", t), "Sat Saturday Mar March");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", t), "2:05 pm");
    EXPECT_EQ(FormatDateTime("'at' hh\"h\"", t), "at 14h");
    EXPECT_EQ(FormatDateTime("c", t), "2026-03-07 14:05:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2000, 2, 29)), "2000-02-29");  // no time at midnight

    // Countdown texts come from time fractions: 9 minutes 59 seconds.
    EXPECT_EQ(FormatDateTime("nn:ss", 599.0 / 86400.0), "09:59");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", 0), "1899-12-30");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
    // A fraction a hair below midnight rounds to the next day, not to "24:00".
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", 1.0 - 1e-12), "1899-12-31 00:00:00");

    int y, m, d, h, n, s, ms;
    DecodeDate(t, y, m, d);
    DecodeTime(t, h, n, s, ms);
    EXPECT_EQ((std::vector<int> {y, m, d, h, n, s, ms}), (std::vector<int> {2026, 3, 7, 14, 5, 9, 42}));
    EXPECT_THROW(EncodeDate(2026, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

}  // namespace
}  // namespace dcs
