// Environment and file-system queries. Paths in this system may be written the Windows
// way ("\" separators, doubled "//"); they keep that form as strings and are mapped to
// the file system's form only at the call that reaches the file system.
#pragma once

#include <string>
#include <string_view>

namespace dcs {

// The variable's value, or "" when it is not set. When they are not set, "APPDATA"
// answers $XDG_DATA_HOME, else $HOME/.local/share, and "PROGRAMFILES" answers the
// program-files folder below.
std::string GetEnvironmentVariable(std::string_view name);

// Where "PROGRAMFILES" points when the variable is not set (default /usr/local/lib).
void SetProgramFilesFolder(std::string folder);
std::string ProgramFilesFolder();

// "\" becomes "/" and runs of separators collapse to one, so "C:\a\\b" and "dir//x"
// reach the file system as "C:/a/b" and "dir/x".
std::string FileSystemPath(std::string_view path);

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);

}  // namespace dcs
