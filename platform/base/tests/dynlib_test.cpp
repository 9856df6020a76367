#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/base/DynLib.h"

namespace dcs {
namespace {

TEST(DynLib, WindowsNamesMapToSharedObjects)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"vps-5.1.dll", "libvps-5.1.so"},
        {"VPCC-5.1.DLL", "libVPCC-5.1.so"},
        {"C:\\Program Files\\x\\vpi-5.1.dll", "libvpi-5.1.so"},
        {"libfoo.dll", "libfoo.so"},
        {"libm.so.6", "libm.so.6"},
        {"bar", "libbar.so"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SharedObjectName(c.in), c.out) << c.in;
}

class DynLibSearch : public ::testing::Test {
protected:
    void SetOverride(const std::string& dir) { ::setenv(kLibraryPathVariable, dir.c_str(), 1); }
    void TearDown() override { ::unsetenv(kLibraryPathVariable); }
};

TEST_F(DynLibSearch, FindsTheLibraryInTheOverrideDirectoryAndItsExports)
{
    EXPECT_EQ(LoadLibrary("dcsprobe-1.0.dll"), nullptr);  // not on any normal path
    SetOverride(DCS_PROBE_DIR);
    HMODULE lib = LoadLibrary("dcsprobe-1.0.dll");
    ASSERT_NE(lib, nullptr);
    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(lib, "dcs_probe_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(lib, "dcs_probe_missing"), nullptr);
    EXPECT_EQ(GetProcAddress(lib, nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(lib));
}

TEST_F(DynLibSearch, FailuresAreSilentNulls)
{
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "dcs_dynlib_corrupt";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "libcorrupt-1.0.so") << "\x7f"
                                                "ELF but nothing more";
    SetOverride(dir.string());

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(LoadLibrary("corrupt-1.0.dll"), nullptr);
    EXPECT_EQ(LoadLibrary("absent-1.0.dll"), nullptr);
    EXPECT_EQ(LoadLibrary(""), nullptr);
    EXPECT_EQ(LoadLibrary((dir / "libcorrupt-1.0.so").string()), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "dcs_probe_answer"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    std::filesystem::remove_all(dir);
}

TEST_F(DynLibSearch, ExecutableDirectoryComesAfterTheOverrideDirectory)
{
    namespace fs = std::filesystem;
    const fs::path besideExe = fs::path(ExecutableDirectory()) / "libdcsprobe-beside.so";
    fs::copy_file(fs::path(DCS_PROBE_DIR) / "libdcsprobe-1.0.so", besideExe, fs::copy_options::overwrite_existing);

    HMODULE lib = LoadLibrary("dcsprobe-beside.dll");
    EXPECT_NE(lib, nullptr);
    FreeLibrary(lib);

    // The first file found is the one loaded, even when it turns out to be broken.
    const fs::path dir = fs::path(::testing::TempDir()) / "dcs_dynlib_shadow";
    fs::create_directories(dir);
    std::ofstream(dir / "libdcsprobe-beside.so") << "garbage";
    SetOverride(dir.string());
    EXPECT_EQ(LoadLibrary("dcsprobe-beside.dll"), nullptr);

    fs::remove_all(dir);
    fs::remove(besideExe);
}

TEST(DynLib, ExecutableDirectoryIsAbsolute)
{
    const std::string dir = ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.front(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(dir));
}

}  // namespace
}  // namespace dcs
