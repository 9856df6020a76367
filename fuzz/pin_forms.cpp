// Links: dcs_pins GTest::gtest
//
// Windows with stored pin links on arbitrary text: the small generator, player, mixer,
// splitter, state and multi-source components of the pin tests, read, written, read a
// second time beside the first (two windows of one name), written again and closed in
// the order they came. A stream error is an answer. Anything else escaping, a window
// that cannot be written, or a pin or placeholder outliving its windows is a finding.
#include "components/pins/tests/PinListFixtures.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace dcs;
using namespace dcs::pintest;

namespace {

[[noreturn]] void Finding(const std::string& What)
{
    std::fprintf(stderr, "finding: %s\n", What.c_str());
    std::abort();
}

void CheckNothingLeft(const char* AWhen)
{
    if (UnloadedPins::Count() != 0 || AllPinsCount() != 0)
        Finding(std::string("pins outlived their windows ") + AWhen + ": " + std::to_string(AllPinsCount()) +
                " pins, " + std::to_string(UnloadedPins::Count()) + " placeholders");
}

std::string Written(TComponent* ARoot)
{
    try {
        return ComponentToText(ARoot);
    } catch (const Exception& e) {
        Finding("a window read cannot be written: " + e.Message());
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ClearStreamTypeRegistries();
    RegisterStreamTypeName(TypeA, "A");
    RegisterStreamTypeName(TypeB, "B");
    RegisterStreamTypeName(TypeC, "C");
    RegisterStdStreamTypes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TComponent* first = nullptr;
    try {
        first = ReadComponentFromText(text, nullptr);
    } catch (const Exception&) {
        CheckNothingLeft("after a failed read");
        return 0;
    }
    std::string written = Written(first);
    TComponent* second = nullptr;
    try {
        second = ReadComponentFromText(written, nullptr);
    } catch (const Exception& e) {
        Finding("a written window does not read back: " + e.Message() + "\n" + written);
    }
    Free(first);
    Written(second);
    Free(second);
    CheckNothingLeft("after both windows closed");
    return 0;
}
