// Text helpers of the framework over UTF-8 std::string. Case mapping and comparison are
// ASCII-only, as the framework's plain (non-locale) routines are; UTF-16 is used only
// where 16-bit units have to be counted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dcs {

// Invalid UTF-8 (bad lead or continuation bytes, overlong forms, surrogates, values
// past U+10FFFF, a truncated tail) becomes U+FFFD, one per maximal bad sequence.
std::u16string UTF8ToUTF16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string UTF16ToUTF8(std::u16string_view s);

std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Trim functions remove spaces and control characters (every byte <= ' ').
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Case-insensitive (ASCII) comparison: < 0, 0 or > 0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Case-sensitive byte comparison: < 0, 0 or > 0.
int CompareStr(std::string_view a, std::string_view b);

std::string IntToStr(int64_t value);
// Upper-case hex, at least `digits` digits. Negative values print in the two's
// complement of their own width (IntToHex(-1, 2) == "FFFFFFFF").
std::string IntToHex(int32_t value, int digits);
std::string IntToHex(uint32_t value, int digits);
std::string IntToHex(int64_t value, int digits);
std::string IntToHex(uint64_t value, int digits);

// Decimal with optional sign, or hex after "$" or "0x"; surrounding blanks allowed.
// Anything else, or a value outside 32 bits, raises EConvertError
// "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int32_t StrToIntDef(std::string_view s, int32_t def);
bool TryStrToInt(std::string_view s, int32_t& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

}  // namespace dcs
