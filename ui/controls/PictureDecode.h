// The decoding pass both picture classes run: the stored bytes are copied into a fresh
// stream and decoded whole into an image that lives for the one use.
#pragma once

#include "platform/base/Streams.h"
#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/SmGDIP.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace dcs::smooth {

DCS_DECLARE_EXCEPTION(EPictureMemory, Exception);

// False (and no call) when there are no bytes.
template <class Use> bool DecodePictureBytes(const std::vector<uint8_t>& Data, Use use)
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

// The whole stream from its start, as many bytes as it delivers.
inline std::vector<uint8_t> ReadStreamBytes(TStream& Stream)
{
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(Stream.Size(), 0)));
    Stream.Seek(0, soBeginning);
    bytes.resize(size_t(Stream.Read(bytes.data(), int64_t(bytes.size()))));
    return bytes;
}
// What is left of the stream from its position (a stored property's data).
inline std::vector<uint8_t> ReadRestBytes(TStream& Stream)
{
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(Stream.Size() - Stream.Position(), 0)));
    bytes.resize(size_t(Stream.Read(bytes.data(), int64_t(bytes.size()))));
    return bytes;
}
// Raises the stream's open error when the file cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::string& FileName)
{
    TMemoryStream m;
    m.LoadFromFile(FileName);
    const auto* p = static_cast<const uint8_t*>(m.Memory());
    return std::vector<uint8_t>(p, p + m.Size());
}
inline void WriteBytes(TStream* Stream, const std::vector<uint8_t>& Data)
{
    if (Stream && !Data.empty())
        Stream->Write(Data.data(), int64_t(Data.size()));
}

// "RES://name" (any case) calls LoadResource with the name, "FILE://path" LoadFile with
// the path; an empty rest or any other prefix does nothing.
template <class Res, class File> void LoadPictureFromURL(const std::string& Url, Res LoadResource, File LoadFile)
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
