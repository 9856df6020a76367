// Links: dcs_platform_classes
//
// The text-form reader on arbitrary text. Text that reads is converted to the binary
// stream, written back as text and read again: both streams must be equal, and so the
// text written is always text the reader takes. The stream is then read as components
// (the plain TComponent is registered) and freed. A stream error is an answer; anything
// else escaping is a finding.
#include "platform/classes/Streaming.h"
#include "platform/classes/TextForm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace dcs;

namespace {

std::string Bytes(TMemoryStream& AStream)
{
    return std::string(static_cast<const char*>(AStream.Memory()), size_t(AStream.Size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TMemoryStream first;
    try {
        ObjectTextToBinary(text, first);
    } catch (const EStreamError&) {
        return 0;
    }
    first.SetPosition(0);
    std::string written;
    try {
        written = ObjectBinaryToText(first);
    } catch (const EStreamError& e) {
        // Whatever the text reader made, the text writer can carry.
        std::fprintf(stderr, "finding: read text does not write back: %s\n", e.Message().c_str());
        std::abort();
    }
    TMemoryStream second;
    ObjectTextToBinary(written, second);
    if (Bytes(first) != Bytes(second)) {
        std::fprintf(stderr, "finding: written text reads back differently:\n%s\n", written.c_str());
        std::abort();
    }
    first.SetPosition(0);
    try {
        Free(ReadComponentFromStream(first, nullptr));
    } catch (const Exception&) {
    }
    return 0;
}
