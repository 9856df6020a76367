// Formatting with the framework's rules: Format with run-time checked arguments,
// FloatToStr/StrToFloat, FormatFloat patterns and FormatDateTime. Floats are turned
// into at most 18 significant decimal digits (the extended type's precision) and
// rounded half away from zero, so Format("%.2f", 0.125) is "0.13".
#pragma once

#include "platform/base/SysUtils.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace dcs {

// Read by every formatting call; set it on the GUI thread before formatting starts.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '-';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "yyyy/mm/dd";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
};
extern TFormatSettings FormatSettings;

// One argument of Format, with the kind that the conversion characters are checked
// against: %d %u %x take integers, %e %f %g %n take floating-point values, %s takes
// strings and characters, %p takes pointers.
class TFormatArg {
public:
    enum TKind {
        kSigned,
        kUnsigned,
        kFloat,
        kString,
        kPointer
    };

    template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>) TFormatArg(T v)
        : FKind(std::is_signed_v<T> ? kSigned : kUnsigned), FWide(sizeof(T) > 4),
          FInt(std::is_signed_v<T> ? uint64_t(int64_t(v)) : uint64_t(v))
    {
    }
    template <class T>
    requires std::is_enum_v<T> TFormatArg(T v) : TFormatArg(std::underlying_type_t<T>(v)) {}
    TFormatArg(bool) = delete;  // the framework formats no Booleans
    TFormatArg(char c) : FKind(kString), FString(&FChar, 1), FChar(c) {}
    TFormatArg(float v) : FKind(kFloat), FFloat(v) {}
    TFormatArg(double v) : FKind(kFloat), FFloat(v) {}
    TFormatArg(long double v) : FKind(kFloat), FFloat(v) {}
    TFormatArg(const char* s) : FKind(kString), FString(s ? s : "") {}
    TFormatArg(const std::string& s) : FKind(kString), FString(s) {}
    TFormatArg(std::string_view s) : FKind(kString), FString(s) {}
    TFormatArg(const void* p) : FKind(kPointer), FInt(uint64_t(reinterpret_cast<uintptr_t>(p))) {}

    TFormatArg(const TFormatArg& other) : TFormatArg(other, 0) {}
    TFormatArg& operator=(const TFormatArg&) = delete;

    TKind Kind() const { return FKind; }
    bool Wide() const { return FWide; }
    uint64_t Int() const { return FInt; }
    long double Float() const { return FFloat; }
    std::string_view String() const { return FString; }

private:
    TFormatArg(const TFormatArg& o, int)
        : FKind(o.FKind), FWide(o.FWide), FInt(o.FInt), FFloat(o.FFloat), FString(o.FString), FChar(o.FChar)
    {
        if (o.FString.data() == &o.FChar)
            FString = std::string_view(&FChar, 1);
    }

    TKind FKind;
    bool FWide = false;
    uint64_t FInt = 0;
    long double FFloat = 0;
    std::string_view FString;
    char FChar = 0;
};

// Conversion: "%" ["index:"] ["-"] [width] ["." precision] type, with "*" taking width
// or precision from the next (integer) argument, "%%" for a percent sign. Width pads
// with blanks; precision is the minimum digit count for d/u/x, the decimals for f/n,
// the significant digits for e/g, the maximum length for s. x prints upper-case hex.
// A malformed format or an argument of the wrong kind raises EConvertError
// "Format '<format>' invalid or incompatible with argument"; a missing argument
// raises EConvertError "No argument for format '<format>'".
std::string FormatArgs(std::string_view format, std::span<const TFormatArg> args);

template <class... Args> std::string Format(std::string_view format, const Args&... args)
{
    const std::array<TFormatArg, sizeof...(Args)> list {TFormatArg(args)...};
    return FormatArgs(format, list);
}

// Shortest form with up to 15 significant digits: "0.1", "1E20", "1.5E-7".
std::string FloatToStr(long double value);
// Blanks around the number are allowed; the decimal separator is FormatSettings'.
// Anything else raises EConvertError "'<text>' is not a valid floating point value".
long double StrToFloat(std::string_view s);
long double StrToFloatDef(std::string_view s, long double def);
bool TryStrToFloat(std::string_view s, long double& value);

// Pattern of up to three sections "positive;negative;zero". In a section: "0" a digit
// that is always shown, "#" a digit shown when significant, the first "." the decimal
// separator, "," anywhere turns on thousands grouping, quoted text and every other
// character pass through ("00:00" of 125 is "01:25"). An empty pattern gives FloatToStr.
std::string FormatFloat(std::string_view pattern, long double value);

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
void DecodeDate(TDateTime t, int& year, int& month, int& day);
void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& msec);
TDateTime Now();

// Tokens (any case): yy yyyy, m mm mmm mmmm (minutes right after an hour token), d dd ddd
// dddd, h hh, n nn, s ss, z zzz, am/pm, a/p, c (date and time), t tt (short and long
// time), "/" and ":" (the separators); quoted text and other characters pass through.
std::string FormatDateTime(std::string_view format, TDateTime t);
std::string DateTimeToStr(TDateTime t);

}  // namespace dcs
