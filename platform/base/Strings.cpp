#include "platform/base/Strings.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <limits>

namespace dcs {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUTF16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(char16_t(c));
    } else {
        c -= 0x10000;
        out.push_back(char16_t(0xD800 + (c >> 10)));
        out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    }
}

void AppendUTF8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

[[noreturn]] void RaiseBadInteger(std::string_view s)
{
    throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

// Parses into magnitude + sign; false on syntax error or when the magnitude exceeds
// `limit` (for negative numbers limit + 1 is allowed).
bool ParseInteger(std::string_view s, uint64_t limit, int64_t& value)
{
    size_t i = 0, n = s.size();
    while (i < n && IsBlank(s[i]))
        ++i;
    while (n > i && IsBlank(s[n - 1]))
        --n;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    unsigned base = 10;
    if (i < n && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    const uint64_t max = negative ? limit + 1 : limit;
    uint64_t v = 0;
    for (; i < n; ++i) {
        char c = s[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = unsigned(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = unsigned(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = unsigned(c - 'A' + 10);
        else
            return false;
        if (v > (max - d) / base)
            return false;
        v = v * base + d;
    }
    // Two's complement negation of the magnitude; max keeps it inside int64_t.
    value = negative ? int64_t(0 - v) : int64_t(v);
    return true;
}

std::string Hex(uint64_t v, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.push_back(kDigits[v & 15]);
        v >>= 4;
    } while (v != 0);
    if (int(out.size()) < digits)
        out.append(size_t(digits) - out.size(), '0');
    std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace

std::u16string UTF8ToUTF16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(char16_t(b));
            ++i;
            continue;
        }
        int len;
        char32_t c;
        char32_t min;
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2, c = b & 0x1F, min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3, c = b & 0x0F, min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4, c = b & 0x07, min = 0x10000;
        } else {
            out.push_back(char16_t(kReplacement));
            ++i;
            continue;
        }
        int k = 1;
        for (; k < len && i + size_t(k) < n; ++k) {
            const unsigned char cb = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((cb & 0xC0) != 0x80)
                break;
            c = (c << 6) | (cb & 0x3F);
            // Reject overlong, surrogate and out-of-range forms as early as the
            // second byte, so the bad sequence ends there.
            if (k == 1) {
                if ((len == 3 && c < (min >> 6)) || (len == 4 && c < (min >> 12)) ||
                    (len == 3 && c >= (0xD800 >> 6) && c <= (0xDFFF >> 6)) || (len == 4 && c > (0x10FFFF >> 12)))
                    break;
            }
        }
        if (k < len) {
            out.push_back(char16_t(kReplacement));
            i += size_t(std::max(k, 1));
            continue;
        }
        AppendUTF16(out, c);
        i += size_t(len);
    }
    return out;
}

std::string UTF16ToUTF8(std::u16string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUTF8(out, c);
    }
    return out;
}

std::string UpperCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

std::string LowerCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

std::string Trim(std::string_view s) { return TrimRight(TrimLeft(s)); }

std::string TrimLeft(std::string_view s)
{
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s)
{
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

int CompareText(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = static_cast<unsigned char>(AsciiUpper(a[i]));
        const int cb = static_cast<unsigned char>(AsciiUpper(b[i]));
        if (ca != cb)
            return ca - cb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int CompareStr(std::string_view a, std::string_view b)
{
    const int r = a.compare(b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

std::string IntToHex(int32_t value, int digits) { return Hex(uint32_t(value), digits); }
std::string IntToHex(uint32_t value, int digits) { return Hex(value, digits); }
std::string IntToHex(int64_t value, int digits) { return Hex(uint64_t(value), digits); }
std::string IntToHex(uint64_t value, int digits) { return Hex(value, digits); }

bool TryStrToInt(std::string_view s, int32_t& value)
{
    int64_t v;
    if (!ParseInteger(s, uint64_t(std::numeric_limits<int32_t>::max()), v))
        return false;
    value = int32_t(v);
    return true;
}

bool TryStrToInt64(std::string_view s, int64_t& value)
{
    return ParseInteger(s, uint64_t(std::numeric_limits<int64_t>::max()), value);
}

int32_t StrToInt(std::string_view s)
{
    int32_t v;
    if (!TryStrToInt(s, v))
        RaiseBadInteger(s);
    return v;
}

int64_t StrToInt64(std::string_view s)
{
    int64_t v;
    if (!TryStrToInt64(s, v))
        RaiseBadInteger(s);
    return v;
}

int32_t StrToIntDef(std::string_view s, int32_t def)
{
    int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

}  // namespace dcs
