#include "platform/base/Format.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <locale.h>
#include <vector>

namespace dcs {

TFormatSettings FormatSettings;

namespace {

constexpr int kMaxDigits = 18;

// A float as decimal digits: value = 0.D1D2D3... * 10^Exponent. Digits carries no
// trailing zeros; an empty Digits is zero.
struct TDecimal {
    bool Negative = false;
    bool NaN = false;
    bool Infinite = false;
    int Exponent = 0;
    std::string Digits;
};

TDecimal ToDecimal(long double value)
{
    TDecimal d;
    d.Negative = std::signbit(value);
    if (std::isnan(value)) {
        d.NaN = true;
        return d;
    }
    if (std::isinf(value)) {
        d.Infinite = true;
        return d;
    }
    if (value == 0)
        return d;
    // "d.ddddddddddddddddde[+-]x": 18 significant digits, locale-independent.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, kMaxDigits - 1);
    const std::string_view text(buf, size_t(res.ptr - buf));
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.Digits += text[i];
    int exp10 = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exp10);
    d.Exponent = exp10 + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Keeps `count` significant digits, rounding half away from zero.
void RoundSignificant(TDecimal& d, int count)
{
    if (count < 0) {
        d.Digits.clear();
        return;
    }
    if (int(d.Digits.size()) <= count)
        return;
    const bool up = d.Digits[size_t(count)] >= '5';
    d.Digits.resize(size_t(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.Digits[size_t(i)] == '9')
            d.Digits[size_t(i--)] = '0';
        if (i >= 0) {
            ++d.Digits[size_t(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

// Keeps `decimals` digits after the decimal point.
void RoundDecimals(TDecimal& d, int decimals)
{
    const int keep = d.Exponent + decimals;
    if (keep < 0) {
        d.Digits.clear();
    } else if (keep == 0) {
        // Only the rounding digit remains: 0.5 and up becomes one unit of the last place.
        const bool up = !d.Digits.empty() && d.Digits[0] >= '5';
        d.Digits = up ? "1" : "";
        if (up)
            d.Exponent = -decimals + 1;
    } else {
        RoundSignificant(d, keep);
    }
    if (d.Digits.empty())
        d.Negative = false;  // a value that rounds to zero is printed without a sign
}

char DigitAt(const TDecimal& d, int i) { return i >= 0 && i < int(d.Digits.size()) ? d.Digits[size_t(i)] : '0'; }

std::string Special(const TDecimal& d)
{
    if (d.NaN)
        return "NAN";
    return d.Negative ? "-INF" : "INF";
}

std::string Grouped(const std::string& digits, bool thousands)
{
    if (!thousands || FormatSettings.ThousandSeparator == 0)
        return digits;
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        out += digits[i];
        const size_t rest = digits.size() - 1 - i;
        if (rest > 0 && rest % 3 == 0)
            out += FormatSettings.ThousandSeparator;
    }
    return out;
}

std::string FixedText(long double value, int decimals, bool thousands)
{
    TDecimal d = ToDecimal(value);
    if (d.NaN || d.Infinite)
        return Special(d);
    RoundDecimals(d, decimals);
    std::string intPart;
    for (int i = 0; i < d.Exponent; ++i)
        intPart += DigitAt(d, i);
    if (intPart.empty())
        intPart = "0";
    std::string out = d.Negative ? "-" : "";
    out += Grouped(intPart, thousands);
    if (decimals > 0) {
        out += FormatSettings.DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            out += DigitAt(d, d.Exponent + i);
    }
    return out;
}

std::string ExponentText(int exp, bool plusSign, int minDigits)
{
    std::string digits = std::to_string(std::abs(exp));
    if (int(digits.size()) < minDigits)
        digits.insert(0, size_t(minDigits) - digits.size(), '0');
    return std::string("E") + (exp < 0 ? "-" : (plusSign ? "+" : "")) + digits;
}

// "d.ddddE+ddd" with `precision` significant digits.
std::string ScientificText(long double value, int precision)
{
    TDecimal d = ToDecimal(value);
    if (d.NaN || d.Infinite)
        return Special(d);
    RoundSignificant(d, precision);
    std::string out = d.Negative && !d.Digits.empty() ? "-" : "";
    out += DigitAt(d, 0);
    out += FormatSettings.DecimalSeparator;
    for (int i = 1; i < precision; ++i)
        out += DigitAt(d, i);
    return out + ExponentText(d.Digits.empty() ? 0 : d.Exponent - 1, true, 3);
}

// Shortest fixed or scientific form with `precision` significant digits.
std::string GeneralText(long double value, int precision, int expDigits)
{
    TDecimal d = ToDecimal(value);
    if (d.NaN || d.Infinite)
        return Special(d);
    RoundSignificant(d, precision);
    if (d.Digits.empty())
        return "0";
    std::string out = d.Negative ? "-" : "";
    const int n = int(d.Digits.size());
    if (d.Exponent > precision || d.Exponent < -3) {
        out += d.Digits[0];
        if (n > 1) {
            out += FormatSettings.DecimalSeparator;
            out += d.Digits.substr(1);
        }
        return out + ExponentText(d.Exponent - 1, false, expDigits);
    }
    if (d.Exponent <= 0) {
        out += '0';
        out += FormatSettings.DecimalSeparator;
        out.append(size_t(-d.Exponent), '0');
        return out + d.Digits;
    }
    for (int i = 0; i < d.Exponent; ++i)
        out += DigitAt(d, i);
    if (n > d.Exponent) {
        out += FormatSettings.DecimalSeparator;
        out += d.Digits.substr(size_t(d.Exponent));
    }
    return out;
}

// Number of code points, so padding lines up for non-ASCII text.
size_t TextLength(std::string_view s)
{
    return size_t(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The first `count` code points.
std::string_view TextPrefix(std::string_view s, size_t count)
{
    size_t i = 0;
    for (; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == 0)
                break;
            --count;
        }
    }
    return s.substr(0, i);
}

std::string Unsigned(uint64_t v, unsigned base)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out += kDigits[v % base];
        v /= base;
    } while (v != 0);
    std::reverse(out.begin(), out.end());
    return out;
}

class TFormatter {
public:
    TFormatter(std::string_view format, std::span<const TFormatArg> args) : FFormat(format), FArgs(args) {}

    std::string Run()
    {
        std::string out;
        size_t i = 0;
        while (i < FFormat.size()) {
            const size_t pct = FFormat.find('%', i);
            out.append(FFormat.substr(i, pct == std::string_view::npos ? std::string_view::npos : pct - i));
            if (pct == std::string_view::npos)
                break;
            i = pct + 1;
            if (i < FFormat.size() && FFormat[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            i = Conversion(i, out);
        }
        return out;
    }

private:
    [[noreturn]] void Invalid() const
    {
        throw EConvertError("Format '" + std::string(FFormat) + "' invalid or incompatible with argument");
    }

    const TFormatArg& NextArg()
    {
        if (FNext >= FArgs.size())
            throw EConvertError("No argument for format '" + std::string(FFormat) + "'");
        return FArgs[FNext++];
    }

    // Digits or "*"; -1 when neither is there.
    int Number(size_t& i)
    {
        if (i < FFormat.size() && FFormat[i] == '*') {
            ++i;
            const TFormatArg& a = NextArg();
            if (a.Kind() != TFormatArg::kSigned && a.Kind() != TFormatArg::kUnsigned)
                Invalid();
            const int64_t v = int64_t(a.Int());
            return v < 0 ? 0 : int(std::min<int64_t>(v, 1 << 20));
        }
        if (i >= FFormat.size() || FFormat[i] < '0' || FFormat[i] > '9')
            return -1;
        int v = 0;
        while (i < FFormat.size() && FFormat[i] >= '0' && FFormat[i] <= '9') {
            v = std::min(v * 10 + (FFormat[i] - '0'), 1 << 20);
            ++i;
        }
        return v;
    }

    size_t Conversion(size_t i, std::string& out)
    {
        int number = Number(i);
        if (i < FFormat.size() && FFormat[i] == ':') {
            if (number < 0)
                Invalid();
            FNext = size_t(number);
            ++i;
            number = -1;
        }
        bool left = false;
        if (number < 0 && i < FFormat.size() && FFormat[i] == '-') {
            left = true;
            ++i;
        }
        const int width = number >= 0 ? number : Number(i);
        int precision = -1;
        if (i < FFormat.size() && FFormat[i] == '.') {
            ++i;
            precision = Number(i);
            if (precision < 0)
                Invalid();
        }
        if (i >= FFormat.size())
            Invalid();
        const char type = char(FFormat[i] | 0x20);
        const TFormatArg& arg = NextArg();
        std::string text = Convert(type, arg, precision);
        const size_t len = TextLength(text);
        if (width > 0 && len < size_t(width)) {
            if (left)
                text.append(size_t(width) - len, ' ');
            else
                text.insert(0, size_t(width) - len, ' ');
        }
        out += text;
        return i + 1;
    }

    std::string Convert(char type, const TFormatArg& arg, int precision)
    {
        const bool integer = arg.Kind() == TFormatArg::kSigned || arg.Kind() == TFormatArg::kUnsigned;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!integer)
                Invalid();
            uint64_t magnitude = arg.Int();
            bool negative = false;
            if (arg.Kind() == TFormatArg::kSigned && int64_t(magnitude) < 0) {
                if (type == 'd') {
                    negative = true;
                    magnitude = 0 - magnitude;
                } else if (!arg.Wide()) {
                    magnitude &= 0xFFFFFFFFu;  // two's complement of the argument's own width
                }
            }
            std::string digits = Unsigned(magnitude, type == 'x' ? 16 : 10);
            if (precision > 0 && digits.size() < size_t(precision))
                digits.insert(0, size_t(precision) - digits.size(), '0');
            return negative ? "-" + digits : digits;
        }
        case 'f':
        case 'n':
        case 'e':
        case 'g': {
            if (arg.Kind() != TFormatArg::kFloat)
                Invalid();
            if (type == 'e')
                return ScientificText(arg.Float(), std::clamp(precision < 0 ? 15 : precision, 1, kMaxDigits));
            if (type == 'g')
                return GeneralText(arg.Float(), std::clamp(precision < 0 ? 15 : precision, 1, kMaxDigits), 3);
            return FixedText(arg.Float(), std::min(precision < 0 ? 2 : precision, kMaxDigits), type == 'n');
        }
        case 's': {
            if (arg.Kind() != TFormatArg::kString)
                Invalid();
            return std::string(precision >= 0 ? TextPrefix(arg.String(), size_t(precision)) : arg.String());
        }
        case 'p': {
            if (arg.Kind() != TFormatArg::kPointer)
                Invalid();
            std::string digits = Unsigned(arg.Int(), 16);
            return std::string(sizeof(void*) * 2 - digits.size(), '0') + digits;
        }
        default: Invalid();
        }
    }

    std::string_view FFormat;
    std::span<const TFormatArg> FArgs;
    size_t FNext = 0;
};

}  // namespace

std::string FormatArgs(std::string_view format, std::span<const TFormatArg> args)
{
    return TFormatter(format, args).Run();
}

std::string FloatToStr(long double value) { return GeneralText(value, 15, 0); }

namespace {

// from_chars reports the extended subnormals (below 3.4e-4932) as out of range; they
// are values all the same. Parsed in the C locale: APlain already has '.' for a point.
bool ParseSubnormal(const std::string& APlain, long double& AValue)
{
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t(0));
    char* end = nullptr;
    const long double v = ::strtold_l(APlain.c_str(), &end, c);
    if (end != APlain.c_str() + APlain.size() || v == 0 || !std::isfinite(v))
        return false;  // below the smallest subnormal, or beyond the largest value
    AValue = v;
    return true;
}

}  // namespace

bool TryStrToFloat(std::string_view s, long double& value)
{
    const std::string text = Trim(s);
    // Checked here, then parsed with '.' by the locale-independent from_chars.
    std::string plain;
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        plain += text[i++];
    int digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        plain += text[i++], ++digits;
    if (i < n && text[i] == FormatSettings.DecimalSeparator) {
        plain += '.';
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            plain += text[i++], ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        int expDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            plain += text[i++], ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    const char* first = plain.data() + (plain[0] == '+' ? 1 : 0);
    long double v = 0;
    const auto res = std::from_chars(first, plain.data() + plain.size(), v);
    if (res.ec == std::errc::result_out_of_range)
        return ParseSubnormal(plain, value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size())
        return false;
    value = v;
    return true;
}

long double StrToFloat(std::string_view s)
{
    long double v;
    if (!TryStrToFloat(s, v))
        throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
    return v;
}

long double StrToFloatDef(std::string_view s, long double def)
{
    long double v;
    return TryStrToFloat(s, v) ? v : def;
}

// -------------------------------------------------------------------------- FormatFloat

namespace {

// Splits at ";" outside quotes.
std::vector<std::string_view> Sections(std::string_view pattern)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(pattern.substr(start));
    return out;
}

std::string FormatSection(std::string_view section, long double value, bool withSign)
{
    // First pass: count placeholders on each side of the decimal point.
    int intPlaces = 0, firstZero = -1, minDecimals = 0, maxDecimals = 0;
    bool thousands = false, point = false;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '.' && !point) {
            point = true;
        } else if (c == ',') {
            thousands = true;
        } else if (c == '0' || c == '#') {
            if (point) {
                ++maxDecimals;
                if (c == '0')
                    minDecimals = maxDecimals;
            } else {
                if (c == '0' && firstZero < 0)
                    firstZero = intPlaces;
                ++intPlaces;
            }
        }
    }

    TDecimal d = ToDecimal(value);
    if (d.NaN || d.Infinite)
        return Special(d);
    RoundDecimals(d, maxDecimals);
    const int intDigits = std::max(d.Exponent, 0);
    int decimals = maxDecimals;
    while (decimals > minDecimals && DigitAt(d, d.Exponent + decimals - 1) == '0')
        --decimals;

    std::string out = withSign && d.Negative ? "-" : "";
    int place = 0;    // integer placeholders passed
    int decimal = 0;  // decimal placeholders passed
    point = false;
    quote = 0;
    auto emitDigit = [&](int index) {
        out += DigitAt(d, index);
        const int rest = intDigits - 1 - index;
        if (thousands && rest > 0 && rest % 3 == 0 && FormatSettings.ThousandSeparator)
            out += FormatSettings.ThousandSeparator;
    };
    for (char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '.' && !point) {
            point = true;
            if (decimals > 0)
                out += FormatSettings.DecimalSeparator;
        } else if (c == ',') {
            // grouping flag only
        } else if ((c == '0' || c == '#') && !point) {
            const int index = place - (intPlaces - intDigits);
            if (place == 0 && index > 0) {
                // More digits than places: the first place takes the surplus.
                for (int k = 0; k <= index; ++k)
                    emitDigit(k);
            } else if (index >= 0) {
                emitDigit(index);
            } else if (firstZero >= 0 && place >= firstZero) {
                out += '0';
            }
            ++place;
        } else if (c == '0' || c == '#') {
            if (decimal < decimals)
                out += DigitAt(d, d.Exponent + decimal);
            ++decimal;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, long double value)
{
    if (pattern.empty())
        return FloatToStr(value);
    const std::vector<std::string_view> sections = Sections(pattern);
    if (value < 0 && sections.size() > 1 && !sections[1].empty())
        return FormatSection(sections[1], -value, false);
    if (value == 0 && sections.size() > 2 && !sections[2].empty())
        return FormatSection(sections[2], value, false);
    return FormatSection(sections[0], value, true);
}

// ------------------------------------------------------------------------ date and time

namespace {

constexpr double kMSecsPerDay = 86400000.0;
constexpr int64_t kUnixEpochDays = 25569;  // 1970-01-01 as a TDateTime

// Days since 1970-01-01 <-> civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

// Whole days and milliseconds of the day. Before the epoch the fraction still counts
// forward from midnight: -1.25 is 1899-12-29 06:00.
// Only the years 1 to 9999 that EncodeDate makes are decoded; anything else, NaN and
// the infinities included, is a conversion error rather than an out-of-range cast.
void Split(TDateTime t, int64_t& days, int64_t& msecs)
{
    constexpr double kFirstDay = -693593.0, kLastDay = 2958465.0;  // 0001-01-01, 9999-12-31
    if (!(t > kFirstDay - 1.0 && t < kLastDay + 1.0))
        throw EConvertError("'" + FloatToStr(t) + "' is not a valid date and time");
    days = int64_t(t);  // toward zero, as the framework does
    msecs = int64_t(std::llround(std::fabs(t - double(days)) * kMSecsPerDay));
    if (msecs >= int64_t(kMSecsPerDay)) {
        msecs -= int64_t(kMSecsPerDay);
        days += t < 0 ? -1 : 1;
    }
}

bool IsValidDate(int year, int month, int day)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

void AppendDateTime(std::string& out, std::string_view f, TDateTime t, int depth)
{
    int64_t days, msecs;
    Split(t, days, msecs);
    int year, month, day;
    CivilFromDays(days - kUnixEpochDays, year, month, day);
    const int hour = int(msecs / 3600000), minute = int(msecs / 60000 % 60), second = int(msecs / 1000 % 60),
              msec = int(msecs % 1000);
    const int weekday = int(((days - 1) % 7 + 7) % 7);  // 1899-12-30 was a Saturday

    // Hours print 12-hour when the format carries an am/pm token.
    std::string lowerFormat;
    for (char c : f)
        lowerFormat += Lower(c);
    const bool twelve = lowerFormat.find("am/pm") != std::string::npos || lowerFormat.find("a/p") != std::string::npos;

    bool afterHour = false;
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char lc = Lower(c);
        size_t run = 1;
        while (i + run < f.size() && Lower(f[i + run]) == lc)
            ++run;
        if (c == '"' || c == '\'') {
            const size_t end = f.find(c, i + 1);
            out.append(f.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
            i = end == std::string_view::npos ? f.size() : end + 1;
            continue;
        }
        if (lowerFormat.compare(i, 5, "am/pm") == 0) {
            out += hour < 12 ? f.substr(i, 2) : f.substr(i + 3, 2);
            i += 5;
            continue;
        }
        if (lowerFormat.compare(i, 3, "a/p") == 0) {
            out += hour < 12 ? f[i] : f[i + 2];
            i += 3;
            continue;
        }
        bool hourToken = false;
        switch (lc) {
        case 'y': out += run <= 2 ? Two(year % 100) : std::to_string(year); break;
        case 'm':
            if (afterHour && run <= 2)
                out += run == 1 ? std::to_string(minute) : Two(minute);
            else if (run <= 2)
                out += run == 1 ? std::to_string(month) : Two(month);
            else
                out += run == 3 ? kShortMonths[month - 1] : kLongMonths[month - 1];
            break;
        case 'd':
            if (run <= 2)
                out += run == 1 ? std::to_string(day) : Two(day);
            else if (run <= 4)
                out += run == 3 ? kShortDays[weekday] : kLongDays[weekday];
            else if (depth == 0)
                AppendDateTime(out, FormatSettings.ShortDateFormat, t, depth + 1);
            break;
        case 'h': {
            const int h = twelve ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += run == 1 ? std::to_string(h) : Two(h);
            hourToken = true;
            break;
        }
        case 'n': out += run == 1 ? std::to_string(minute) : Two(minute); break;
        case 's': out += run == 1 ? std::to_string(second) : Two(second); break;
        case 'z': {
            std::string ms = std::to_string(msec);
            out += run >= 3 ? std::string(3 - ms.size(), '0') + ms : ms;
            break;
        }
        case 't':
            if (depth == 0)
                AppendDateTime(out, run == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, t,
                               depth + 1);
            break;
        case 'c':
            if (depth == 0) {
                AppendDateTime(out, FormatSettings.ShortDateFormat, t, depth + 1);
                if (msecs != 0) {
                    out += ' ';
                    AppendDateTime(out, FormatSettings.LongTimeFormat, t, depth + 1);
                }
            }
            break;
        case '/':
        case ':':
            out.append(run, lc == '/' ? FormatSettings.DateSeparator : FormatSettings.TimeSeparator);
            i += run;
            continue;
        default:
            out.append(f.substr(i, run));
            i += run;
            continue;  // literals keep an hour token's hold on a following "m"
        }
        afterHour = hourToken;
        i += run;
    }
}

}  // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        throw EConvertError("Invalid argument to date encode");
    return TDateTime(DaysFromCivil(year, month, day) + kUnixEpochDays);
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMSecsPerDay;
}

void DecodeDate(TDateTime t, int& year, int& month, int& day)
{
    int64_t days, msecs;
    Split(t, days, msecs);
    CivilFromDays(days - kUnixEpochDays, year, month, day);
}

void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& msec)
{
    int64_t days, msecs;
    Split(t, days, msecs);
    hour = int(msecs / 3600000);
    minute = int(msecs / 60000 % 60);
    second = int(msecs / 1000 % 60);
    msec = int(msecs % 1000);
}

TDateTime Now()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local {};
    localtime_r(&secs, &local);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
        EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

std::string FormatDateTime(std::string_view format, TDateTime t)
{
    std::string out;
    AppendDateTime(out, format.empty() ? std::string_view("c") : format, t, 0);
    return out;
}

std::string DateTimeToStr(TDateTime t) { return FormatDateTime("c", t); }

}  // namespace dcs
