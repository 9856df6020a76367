#include "platform/base/Strings.h"
#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

TEST(Strings, UTF8AndUTF16RoundTrip)
{
    struct Case {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"Plate Intensity", u"Plate Intensity"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         u"Gr\u00F6\u00DFe"},                           // Größe
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},  // 日本
        {"a\xF0\x9F\x98\x80z", u"a\xD83D\xDE00z"},      // emoji: surrogate pair
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},          // U+10FFFF
        {std::string("nul\0inside", 10), std::u16string(u"nul\0inside", 10)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UTF8ToUTF16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(UTF16ToUTF8(c.utf16), c.utf8) << c.utf8;
    }
    // 16-bit units are what gets counted: the emoji takes two.
    EXPECT_EQ(UTF8ToUTF16("\xF0\x9F\x98\x80").size(), 2u);
}

TEST(Strings, InvalidSequencesBecomeReplacementCharacters)
{
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"lone continuation",
         "a\x80"
         "b",
         u"a\uFFFDb"},
        {"invalid lead", "\xFF\xC0", u"\uFFFD\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"truncated tail", "ok\xE6\x97", u"ok\uFFFD"},
        {"interrupted",
         "\xE6\x97"
         "A",
         u"\uFFFDA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UTF8ToUTF16(c.utf8), c.expected) << c.what;

    EXPECT_EQ(UTF16ToUTF8(u"x\xD800y"), "x\xEF\xBF\xBDy");  // unpaired high
    EXPECT_EQ(UTF16ToUTF8(u"\xDC00"), "\xEF\xBF\xBD");      // unpaired low
    EXPECT_EQ(UTF16ToUTF8(u"\xD83D"), "\xEF\xBF\xBD");      // high at the end
}

TEST(Strings, CaseTrimAndCompare)
{
    EXPECT_EQ(UpperCase("Gr\xC3\xB6\xC3\x9F"
                        "e abc"),
              "GR\xC3\xB6\xC3\x9F"
              "E ABC");  // ASCII only
    EXPECT_EQ(LowerCase("MiXeD 1"), "mixed 1");
    EXPECT_EQ(Trim(" \t\r\n x y \x01"), "x y");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_TRUE(SameText("Audio Level", "AUDIO level"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_GT(CompareText("abc", "AB"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_LT(CompareStr("B", "a"), 0);
}

TEST(Strings, IntegerConversions)
{
    EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(-1), 1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(uint32_t(0), 0), "0");

    struct Good {
        const char* text;
        int32_t value;
    } good[] = {{"0", 0},
                {"-17", -17},
                {" +42 ", 42},
                {"$1F", 31},
                {"0xff", 255},
                {"2147483647", 2147483647},
                {"-2147483648", INT32_MIN}};
    for (const Good& g : good)
        EXPECT_EQ(StrToInt(g.text), g.value) << g.text;
    for (const char* bad : {"", " ", "-", "12a", "1 2", "2147483648", "-2147483649", "$", "1.5", "0x"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' is not a valid integer value");
        }
        EXPECT_EQ(StrToIntDef(bad, -5), -5) << bad;
    }
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

}  // namespace
}  // namespace dcs
