// Links: dcs_platform_classes
//
// The binary component-stream reader on arbitrary bytes: converted to text, and read as
// components (the plain TComponent is registered). Text made from a stream must read
// back to a stream that gives the same text. A stream error is an answer; anything else
// escaping is a finding.
#include "platform/classes/Streaming.h"
#include "platform/classes/TextForm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace dcs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TMemoryStream input;
    input.WriteBuffer(Data, int64_t(Size));
    input.SetPosition(0);
    try {
        std::string text = ObjectBinaryToText(input);
        TMemoryStream again;
        try {
            ObjectTextToBinary(text, again);
        } catch (const EStreamError& e) {
            std::fprintf(stderr, "finding: text from a stream does not read: %s\n%s\n", e.Message().c_str(),
                         text.c_str());
            std::abort();
        }
        again.SetPosition(0);
        if (ObjectBinaryToText(again) != text) {
            std::fprintf(stderr, "finding: text from a stream reads back differently:\n%s\n", text.c_str());
            std::abort();
        }
    } catch (const EStreamError&) {
    }
    input.SetPosition(0);
    try {
        Free(ReadComponentFromStream(input, nullptr));
    } catch (const Exception&) {
    }
    return 0;
}
