// Links: dcs_ui_controls
//
// The picture header size readers and the fill's hex text decoding on arbitrary bytes.
// The first byte picks the reader (or hex). Readers must stop at the end of the data;
// hex decoding either gives half as many bytes as pairs or raises "No Hex-Number", and
// what it gives must encode back to the same digits. Seeds: corpus/picture_headers/.
#include "platform/base/SysUtils.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/SmGDIPPicture.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace dcs;
using namespace dcs::smooth;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const std::vector<uint8_t> bytes(Data + 1, Data + Size);
    switch (Data[0] % 6) {
    case 0: ReadJPEGSize(bytes); break;
    case 1: ReadPNGSize(bytes); break;
    case 2: ReadBMPSize(bytes); break;
    case 3: ReadTIFFSize(bytes); break;
    case 4: ReadGIFSize(bytes); break;
    default: {
        const std::string text(bytes.begin(), bytes.end());
        try {
            const std::vector<uint8_t> decoded = HexToBytes(text);
            if (decoded.size() != text.size() / 2)
                std::abort();
            std::string upper = text.substr(0, decoded.size() * 2);
            for (char& c : upper)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            if (BytesToHex(decoded) != upper)
                std::abort();
        } catch (const EConvertError&) {
        }
    }
    }
    return 0;
}
