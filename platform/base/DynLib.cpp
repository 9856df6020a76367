#include "platform/base/DynLib.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace dcs {

namespace {

bool EndsWithNoCase(const std::string& s, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    if (s.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = s[s.size() - n + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

HMODULE Open(const char* path)
{
    void* h = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!h)
        ::dlerror();  // leave no pending error text behind
    return h;
}

}  // namespace

std::string SharedObjectName(const std::string& libraryName)
{
    std::string name = libraryName;
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    if (name.empty())
        return name;
    if (EndsWithNoCase(name, ".so") || name.find(".so.") != std::string::npos)
        return name;
    if (EndsWithNoCase(name, ".dll"))
        name.resize(name.size() - 4);
    if (name.compare(0, 3, "lib") != 0)
        name.insert(0, "lib");
    return name + ".so";
}

std::string ExecutableDirectory()
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    std::string path(buf, static_cast<std::size_t>(n));
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

HMODULE LoadLibrary(const std::string& libraryName)
{
    if (libraryName.empty())
        return nullptr;
    if (libraryName.find('/') != std::string::npos)
        return Open(libraryName.c_str());

    const std::string file = SharedObjectName(libraryName);
    if (file.empty())
        return nullptr;

    std::string dirs[2];
    if (const char* overrideDir = std::getenv(kLibraryPathVariable); overrideDir && *overrideDir)
        dirs[0] = overrideDir;
    dirs[1] = ExecutableDirectory();
    for (const std::string& dir : dirs) {
        if (dir.empty())
            continue;
        const std::string path = dir + "/" + file;
        if (IsRegularFile(path))
            return Open(path.c_str());  // found: a file that fails to load is a failure
    }
    return Open(file.c_str());
}

FARPROC GetProcAddress(HMODULE module, const char* procName)
{
    if (!module || !procName)
        return nullptr;
    ::dlerror();
    void* sym = ::dlsym(module, procName);
    if (!sym) {
        ::dlerror();
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(sym);
}

bool FreeLibrary(HMODULE module)
{
    if (!module)
        return false;
    if (::dlclose(module) != 0) {
        ::dlerror();
        return false;
    }
    return true;
}

}  // namespace dcs
