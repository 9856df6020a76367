#include "app/PresetTable.h"

#include "platform/base/Environment.h"
#include "platform/base/SysUtils.h"
#include "platform/controls/Dialogs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace dcs {

namespace {

[[noreturn]] void RaiseIo(const std::string& APath, int AError)
{
    throw EInOutError(APath + ": " + std::strerror(AError));
}

}  // namespace

std::size_t ReadPresetTable(const std::string& APath, TFrequencyTable& ATable)
{
    const int fd = ::open(FileSystemPath(APath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return 0;
        RaiseIo(APath, errno);
    }
    // Straight into the table: a double cut by the end of the file keeps its low bytes.
    auto* dst = reinterpret_cast<char*>(ATable.data());
    std::size_t done = 0;
    while (done < PresetTableBytes) {
        const ssize_t n = ::read(fd, dst + done, PresetTableBytes - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            RaiseIo(APath, error);
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    ::close(fd);
    return done;
}

void LoadPresetTable(const std::string& APath, TFrequencyTable& ATable)
{
    try {
        ReadPresetTable(APath, ATable);
    } catch (const Exception&) {
        MessageBoxW(0, "Cannot Open File!", "ERROR", MB_OK);
    }
}

double PresetToneFrequency(const TFrequencyTable& ATable, int AIndex, int ATone)
{
    const double f = ATable.at(std::size_t(AIndex)).at(std::size_t(PresetFirstTone + ATone));
    return f > 1.0 ? f : 20000.0;
}

}  // namespace dcs
