// Byte streams: the abstract TStream with its checked transfers and little-endian
// value helpers, a growable memory stream and a file stream.
#pragma once

#include "platform/base/Interfaces.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

namespace dcs {

enum TSeekOrigin {
    soBeginning,
    soCurrent,
    soEnd
};

class TStream : public TObject {
public:
    // Transfer up to count bytes; answer how many were moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Answers the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize);

    // All or nothing: a short transfer raises EReadError "Stream read error" or
    // EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source's position; count 0 copies all of source from its
    // start. Answers the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);

    // Little-endian binary values. `long double` travels as the 10-byte x87 extended
    // record.
    template <class T>
    requires std::is_arithmetic_v<T> &&(!std::is_same_v<T, long double>)T ReadValue()
    {
        unsigned char bytes[sizeof(T)];
        ReadBuffer(bytes, sizeof(T));
        return FromLittleEndian<T>(bytes);
    }
    template <class T>
    requires std::is_arithmetic_v<T> &&(!std::is_same_v<T, long double>)void WriteValue(T value)
    {
        unsigned char bytes[sizeof(T)];
        ToLittleEndian(value, bytes);
        WriteBuffer(bytes, sizeof(T));
    }
    long double ReadExtended();
    void WriteExtended(long double value);

    template <class T> static T FromLittleEndian(const unsigned char* bytes)
    {
        T value;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, bytes, sizeof(T));
        } else {
            unsigned char swapped[sizeof(T)];
            for (size_t i = 0; i < sizeof(T); ++i)
                swapped[i] = bytes[sizeof(T) - 1 - i];
            std::memcpy(&value, swapped, sizeof(T));
        }
        return value;
    }
    template <class T> static void ToLittleEndian(T value, unsigned char* bytes)
    {
        std::memcpy(bytes, &value, sizeof(T));
        if constexpr (std::endian::native != std::endian::little) {
            for (size_t i = 0; i < sizeof(T) / 2; ++i)
                std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
        }
    }
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;

    int64_t Read(void* buffer, int64_t count) override;
    // Writing past the end grows the stream; a gap left by seeking beyond it is zeroed.
    int64_t Write(const void* buffer, int64_t count) override;
    // May move past the end (a later write fills the gap); never before the start.
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return int64_t(FData.size()); }
    void SetSize(int64_t newSize) override;

    void* Memory() { return FData.data(); }
    const void* Memory() const { return FData.data(); }
    void Clear();
    // Replaces the contents with all of stream from its start; position 0 afterwards.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

private:
    std::string FData;
    int64_t FPosition = 0;
};

// Open modes: exactly one of fmCreate or the fmOpen values, optionally or'ed with a
// share mode (accepted and ignored: the platform has no mandatory file locking).
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

// A file on disk. The name may be written Windows-style; it is mapped to the file
// system's form only for opening (see FileSystemPath). fmCreate truncates or creates
// the file for reading and writing. Failure raises EFOpenError "Cannot open file
// "<name>". <reason>" or EFCreateError "Cannot create file "<name>". <reason>".
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;

    const std::string& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }

private:
    std::string FFileName;
    int FHandle = -1;
};

}  // namespace dcs
