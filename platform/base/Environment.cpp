#include "platform/base/Environment.h"

#include <cstdlib>
#include <mutex>
#include <sys/stat.h>

namespace dcs {

namespace {

std::mutex& ProgramFilesLock()
{
    static std::mutex lock;
    return lock;
}

std::string& ProgramFilesValue()
{
    static std::string folder = "/usr/local/lib";
    return folder;
}

std::string Variable(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}

}  // namespace

void SetProgramFilesFolder(std::string folder)
{
    std::lock_guard guard(ProgramFilesLock());
    ProgramFilesValue() = std::move(folder);
}

std::string ProgramFilesFolder()
{
    std::lock_guard guard(ProgramFilesLock());
    return ProgramFilesValue();
}

std::string GetEnvironmentVariable(std::string_view name)
{
    const std::string key(name);
    std::string value = Variable(key);
    if (!value.empty())
        return value;
    // Windows variable names are case-insensitive.
    std::string upper;
    for (char c : key)
        upper += (c >= 'a' && c <= 'z') ? char(c - 32) : c;
    if (upper == "APPDATA") {
        value = Variable("XDG_DATA_HOME");
        if (value.empty()) {
            const std::string home = Variable("HOME");
            if (!home.empty())
                value = home + "/.local/share";
        }
    } else if (upper == "PROGRAMFILES") {
        value = ProgramFilesFolder();
    }
    return value;
}

std::string FileSystemPath(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    return out;
}

bool FileExists(std::string_view path)
{
    struct stat st;
    return !path.empty() && ::stat(FileSystemPath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path)
{
    struct stat st;
    return !path.empty() && ::stat(FileSystemPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace dcs
