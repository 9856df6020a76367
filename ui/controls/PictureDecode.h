// The decoding pass both picture classes run: the stored bytes are copied into a fresh
// stream and decoded whole into an image that lives for the one use.
#pragma once

#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/SmGDIP.h"

#include <new>
#include <string>
#include <vector>

namespace dcs::smooth {

DCS_DECLARE_EXCEPTION(EPictureMemory, Exception);

// False (and no call) when there are no bytes.
template <class Use>
bool DecodePictureBytes(const std::vector<uint8_t>& Data, Use use)
{
    if (Data.empty())
        return false;
    std::vector<uint8_t> copy;
    try {
        copy = Data;
    } catch (const std::bad_alloc&) {
        throw EPictureMemory("Could not allocate memory for image");
    }
    IntfPtr<gdiplus::TMemoryIStream> stream(new gdiplus::TMemoryIStream(std::move(copy)));
    TGPImage image(stream.Get(), false);
    use(image);
    return true;
}

// "RES://name" (any case) calls LoadResource with the name, "FILE://path" LoadFile with
// the path; an empty rest or any other prefix does nothing.
template <class Res, class File>
void LoadPictureFromURL(const std::string& Url, Res LoadResource, File LoadFile)
{
    std::string up = Url.substr(0, 7);
    for (char& c : up)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    if (up.rfind("RES://", 0) == 0) {
        if (Url.size() > 6)
            LoadResource(Url.substr(6));
    } else if (up == "FILE://") {
        if (Url.size() > 7)
            LoadFile(Url.substr(7));
    }
}

}  // namespace dcs::smooth
