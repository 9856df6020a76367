// Dynamic libraries by their Windows names. "vps-5.1.dll" is looked for as libvps-5.1.so,
// first in the directory named by DCS_LIBRARY_PATH (tests point it at libraries they
// built), then beside the executable, then on the loader's normal search path. The first
// file found is the one loaded. Every failure (missing file, corrupt file, missing
// export) is a silent null: optional libraries simply fall back to built-in code.
#pragma once

#include <string>

namespace dcs {

using HMODULE = void*;
using FARPROC = void (*)();

inline constexpr const char* kLibraryPathVariable = "DCS_LIBRARY_PATH";

// "vps-5.1.dll" -> "libvps-5.1.so"; a name that already names a shared object
// ("libm.so.6", "libx.so") is kept. Directories are dropped.
std::string SharedObjectName(const std::string& libraryName);

// Loads with immediate binding and local symbols; null on any failure. A name that
// contains '/' is a path and is loaded as given, without searching.
HMODULE LoadLibrary(const std::string& libraryName);

// The export of that name, or null (null module or null name included).
FARPROC GetProcAddress(HMODULE module, const char* procName);

// Releases one load of the module; false for null or when the loader refuses.
bool FreeLibrary(HMODULE module);

// The directory of the running executable, without a trailing '/'; empty when unknown.
std::string ExecutableDirectory();

}  // namespace dcs
