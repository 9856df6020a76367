// Links: dcs_platform_base
//
// The formatting and conversion routines on arbitrary text. The first byte picks the
// routine, the bytes after it are the text (and, where one is needed, the trailing 10
// bytes a value). A conversion error is an answer; anything else escaping, or a result
// that does not read back, is a finding.
#include "platform/base/Format.h"
#include "platform/base/Strings.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace dcs;

namespace {

[[noreturn]] void Finding(const std::string& What)
{
    std::fprintf(stderr, "finding: %s\n", What.c_str());
    std::abort();
}

// The trailing bytes as an extended value (any bit pattern, NaNs included).
long double ValueOf(std::string_view& AText)
{
    unsigned char bytes[sizeof(long double)] = {};
    size_t n = std::min<size_t>(10, AText.size());
    std::memcpy(bytes, AText.data() + AText.size() - n, n);
    AText.remove_suffix(n);
    long double v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
}

void Run(uint8_t AChoice, std::string_view AText)
{
    switch (AChoice % 7) {
    case 0: {
        long double v;
        if (TryStrToFloat(AText, v)) {
            // Every value read prints, and the print reads back.
            long double back;
            if (!TryStrToFloat(FloatToStr(v), back))
                Finding("FloatToStr of a value StrToFloat read does not read back");
        }
        break;
    }
    case 1: {
        int64_t v;
        if (TryStrToInt64(AText, v) && StrToInt64(IntToStr(v)) != v)
            Finding("IntToStr does not read back");
        int32_t w;
        TryStrToInt(AText, w);
        break;
    }
    case 2: {
        long double v = ValueOf(AText);
        FormatFloat(AText, v);
        break;
    }
    case 3: {
        double t = double(ValueOf(AText));
        FormatDateTime(AText, t);
        int a, b, c, d;
        DecodeDate(t, a, b, c);
        DecodeTime(t, a, b, c, d);
        break;
    }
    case 4: {
        long double v = ValueOf(AText);
        const std::array<TFormatArg, 5> args {TFormatArg(int32_t(-7)), TFormatArg(v), TFormatArg("text"),
                                              TFormatArg(uint64_t(1) << 40), TFormatArg('c')};
        FormatArgs(AText, args);
        break;
    }
    case 5: {
        // Valid UTF-8 survives the trip through UTF-16.
        std::u16string wide = UTF8ToUTF16(AText);
        std::string back = UTF16ToUTF8(wide);
        if (UTF8ToUTF16(back) != wide)
            Finding("UTF-16 of UTF-8 does not settle");
        break;
    }
    case 6:
        UpperCase(AText);
        LowerCase(AText);
        Trim(AText);
        CompareText(AText, "Form1");
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
    try {
        Run(Data[0], text);
    } catch (const EConvertError&) {
    }
    return 0;
}
