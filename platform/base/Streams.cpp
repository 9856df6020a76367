#include "platform/base/Streams.h"

#include "platform/base/Environment.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace dcs {

// --------------------------------------------------------------------------- TStream

int64_t TStream::Size()
{
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream does not support resizing"); }

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count > 0 && Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count > 0 && Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const int64_t total = count;
    char buffer[65536];
    while (count > 0) {
        const int64_t n = std::min<int64_t>(count, sizeof buffer);
        source.ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        count -= n;
    }
    return total;
}

long double TStream::ReadExtended()
{
    static_assert(std::endian::native == std::endian::little, "x87 extended layout");
    unsigned char bytes[sizeof(long double)] = {};
    ReadBuffer(bytes, 10);
    long double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void TStream::WriteExtended(long double value)
{
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &value, sizeof value);
    WriteBuffer(bytes, 10);
}

// --------------------------------------------------------------------- TMemoryStream

namespace {

// A size no process can hold is the framework's memory error, not a C++ one. Beyond
// the 47-bit user address space it is not even tried.
void Resize(std::string& AData, int64_t ASize)
{
    if (ASize >= (int64_t(1) << 47))
        throw EOutOfMemory("Out of memory");
    try {
        AData.resize(size_t(ASize), '\0');
    } catch (const std::length_error&) {
        throw EOutOfMemory("Out of memory");
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

}  // namespace

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || FPosition >= Size())
        return 0;
    const int64_t n = std::min(count, Size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    int64_t end;
    if (__builtin_add_overflow(FPosition, count, &end))
        throw EOutOfMemory("Out of memory");
    if (end > Size())
        Resize(FData, end);
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? FPosition : Size());
    int64_t pos;
    if (__builtin_add_overflow(base, offset, &pos) || pos < 0)
        throw EStreamError("Stream seek error");
    FPosition = pos;
    return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EStreamError("Stream size error");
    Resize(FData, newSize);
    FPosition = std::min(FPosition, newSize);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    std::string data(size_t(size), '\0');
    stream.ReadBuffer(data.data(), size);
    FData.swap(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(FData.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

// ----------------------------------------------------------------------- TFileStream

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : FFileName(fileName)
{
    const std::string path = FileSystemPath(fileName);
    // Opened without waiting, so a FIFO with nobody at the other end cannot hang the
    // caller; blocking transfers come back once the type is known.
    if ((mode & 0xFF00) == fmCreate) {
        FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0644);
        if (FHandle < 0)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
        ::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK);
        return;
    }
    int flags;
    switch (mode & 3) {
    case fmOpenRead: flags = O_RDONLY; break;
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: throw EFOpenError("Cannot open file \"" + fileName + "\". Invalid open mode");
    }
    FHandle = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    if (FHandle < 0)
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    // Linux opens directories, FIFOs and devices for reading; none is a file to stream.
    struct stat st {};
    if ((mode & 3) == fmOpenRead && (::fstat(FHandle, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(FHandle);
        FHandle = -1;
        throw EFOpenError("Cannot open file \"" + fileName + "\". " +
                          (S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file"));
    }
    ::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK);
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

namespace {

// Loops over partial transfers and interrupted calls until count bytes moved, the end
// of the file, or an error.
template <class Byte, class Op> int64_t Transfer(int handle, Byte* buffer, int64_t count, Op op)
{
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = op(handle, buffer + done, size_t(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

}  // namespace

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    return Transfer(FHandle, static_cast<char*>(buffer), count, ::read);
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    return Transfer(FHandle, static_cast<const char*>(buffer), count, ::write);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == soBeginning ? SEEK_SET : (origin == soCurrent ? SEEK_CUR : SEEK_END);
    const off_t pos = ::lseek(FHandle, off_t(offset), whence);
    if (pos < 0)
        throw EStreamError("Stream seek error");
    return pos;
}

void TFileStream::SetSize(int64_t newSize)
{
    const int64_t pos = Position();
    if (newSize < 0 || ::ftruncate(FHandle, off_t(newSize)) != 0)
        throw EStreamError("Stream size error");
    if (pos > newSize)
        SetPosition(newSize);
}

}  // namespace dcs
