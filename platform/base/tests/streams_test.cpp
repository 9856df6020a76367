#include "platform/base/Environment.h"
#include "platform/base/Streams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace dcs {
namespace {

// A scratch directory per test, removed afterwards.
class TempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dcs-base-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(FDir); }
    std::string Path(const std::string& name) const { return FDir + "/" + name; }

    std::string FDir;
};

TEST(Streams, ReadPastEndRaisesAndShortReadCounts)
{
    TMemoryStream s;
    const char data[] = "abcdef";
    s.WriteBuffer(data, 6);
    s.SetPosition(4);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2);  // Read answers what it got
    s.SetPosition(4);
    EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
    try {
        s.SetPosition(0);
        s.ReadValue<int64_t>();
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Stream read error");
    }
    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);

    // Writing after a seek past the end zero-fills the gap.
    s.Seek(2, soEnd);
    s.WriteValue<uint8_t>(0x7F);
    ASSERT_EQ(s.Size(), 9);
    EXPECT_EQ(static_cast<const char*>(s.Memory())[6], '\0');
    EXPECT_EQ(static_cast<const char*>(s.Memory())[8], '\x7F');
}

TEST(Streams, LittleEndianValuesAndExtended)
{
    TMemoryStream s;
    s.WriteValue<int32_t>(-2);
    s.WriteValue<uint16_t>(0x1234);
    s.WriteValue<float>(1.5f);
    s.WriteValue<double>(-0.1);
    const long double third = 1.0L / 3.0L;  // needs all 64 significand bits
    s.WriteExtended(third);
    s.WriteExtended(-std::numeric_limits<long double>::infinity());
    ASSERT_EQ(s.Size(), 4 + 2 + 4 + 8 + 10 + 10);

    const auto* bytes = static_cast<const unsigned char*>(s.Memory());
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(bytes[4], 0x34);  // low byte first
    EXPECT_EQ(bytes[5], 0x12);
    EXPECT_EQ(bytes[18 + 9], 0x3F);  // sign+exponent high byte of 1/3 (exponent 0x3FFD)

    s.SetPosition(0);
    EXPECT_EQ(s.ReadValue<int32_t>(), -2);
    EXPECT_EQ(s.ReadValue<uint16_t>(), 0x1234);
    EXPECT_EQ(s.ReadValue<float>(), 1.5f);
    EXPECT_EQ(s.ReadValue<double>(), -0.1);
    EXPECT_EQ(s.ReadExtended(), third);
    EXPECT_EQ(s.ReadExtended(), -std::numeric_limits<long double>::infinity());
    EXPECT_THROW(s.ReadExtended(), EReadError);
}

TEST_F(TempDir, FileStreamModesAndErrors)
{
    const std::string name = Path("data.bin");
    {
        TFileStream out(name, fmCreate);
        out.WriteValue<uint32_t>(0xCAFEBABE);
        out.WriteValue<uint32_t>(7);
    }
    {
        TFileStream in(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(in.Size(), 8);
        EXPECT_EQ(in.ReadValue<uint32_t>(), 0xCAFEBABEu);
        EXPECT_THROW(in.WriteValue<uint8_t>(1), EWriteError);  // opened read-only
    }
    {
        TFileStream rw(name, fmOpenReadWrite);
        rw.Seek(0, soEnd);
        rw.WriteValue<uint8_t>(9);
        rw.SetSize(5);
        EXPECT_EQ(rw.Size(), 5);
        EXPECT_EQ(rw.Position(), 5);
    }
    {
        TFileStream w(name, fmOpenWrite);  // opening for writing keeps the contents
        EXPECT_EQ(w.Size(), 5);
    }

    const std::string missing = Path("no-such-file.bin");
    try {
        TFileStream in(missing, fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind("Cannot open file \"" + missing + "\".", 0), 0u) << e.Message();
    }
    EXPECT_THROW(TFileStream(FDir, fmOpenRead), EFOpenError);  // a directory is no file
    EXPECT_THROW(TFileStream(Path("no-dir/x.bin"), fmCreate), EFCreateError);
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(TempDir, MemoryStreamFilesAndCopy)
{
    TMemoryStream m;
    for (int i = 0; i < 100000; ++i)
        m.WriteValue<int32_t>(i);
    // Windows-style separators reach the file system as "/".
    const std::string windowsName = FDir + "\\\\sub\\..\\copy.bin";
    std::filesystem::create_directory(Path("sub"));
    m.SaveToFile(windowsName);
    EXPECT_TRUE(FileExists(windowsName));
    EXPECT_TRUE(FileExists(Path("copy.bin")));
    EXPECT_TRUE(DirectoryExists(FDir + "\\sub"));
    EXPECT_FALSE(FileExists(FDir + "\\sub"));

    TMemoryStream loaded;
    loaded.LoadFromFile(Path("copy.bin"));
    ASSERT_EQ(loaded.Size(), m.Size());
    EXPECT_EQ(0, std::memcmp(loaded.Memory(), m.Memory(), size_t(m.Size())));

    TMemoryStream part;
    m.SetPosition(8);
    EXPECT_EQ(part.CopyFrom(m, 8), 8);
    part.SetPosition(0);
    EXPECT_EQ(part.ReadValue<int32_t>(), 2);
    EXPECT_EQ(part.ReadValue<int32_t>(), 3);
    m.SetPosition(m.Size() - 4);
    EXPECT_THROW(part.CopyFrom(m, 8), EReadError);  // source too short
    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(m, 0), m.Size());  // 0 copies everything from the start
}

TEST(Streams, MemoryStreamArithmeticRaisesTheFrameworksErrors)
{
    TMemoryStream m;
    m.WriteValue<int32_t>(1);
    const int64_t big = std::numeric_limits<int64_t>::max();
    m.SetPosition(big - 1);
    EXPECT_THROW(m.Seek(big, soCurrent), EStreamError);
    EXPECT_THROW(m.Seek(big, soEnd), EStreamError);
    EXPECT_THROW(m.Seek(-big, soBeginning), EStreamError);
    EXPECT_THROW(m.SetSize(int64_t(1) << 62), EOutOfMemory);
    EXPECT_THROW(m.SetSize(big), EOutOfMemory);
    char byte = 0;
    EXPECT_THROW(m.Write(&byte, 2), EOutOfMemory);  // a write past any possible end
    EXPECT_EQ(m.Size(), 4);
}

TEST_F(TempDir, FifoWithNobodyAtTheOtherEndIsRefusedAtOnce)
{
    const std::string fifo = Path("pre.data");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Both would wait for a writer or a reader forever.
    EXPECT_THROW(TFileStream(fifo, fmOpenRead), EFOpenError);
    EXPECT_THROW(TMemoryStream().LoadFromFile(fifo), EFOpenError);
    EXPECT_THROW(TFileStream(fifo, fmOpenWrite), EFOpenError);
}

TEST(Environment, DataAndProgramFoldersFallBack)
{
    const char* savedXdg = std::getenv("XDG_DATA_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    ::unsetenv("APPDATA");
    ::unsetenv("PROGRAMFILES");

    ::setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
    EXPECT_EQ(GetEnvironmentVariable("APPDATA"), "/tmp/xdg-data");
    ::unsetenv("XDG_DATA_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string home = savedHome ? savedHome : "";
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(GetEnvironmentVariable("APPDATA"), "/home/someone/.local/share");
    if (savedHome)
        ::setenv("HOME", home.c_str(), 1);
    ::setenv("APPDATA", "/explicit", 1);
    EXPECT_EQ(GetEnvironmentVariable("APPDATA"), "/explicit");
    ::unsetenv("APPDATA");

    const std::string savedProgramFiles = ProgramFilesFolder();
    SetProgramFilesFolder("/opt/programs");
    EXPECT_EQ(GetEnvironmentVariable("PROGRAMFILES"), "/opt/programs");
    SetProgramFilesFolder(savedProgramFiles);
    EXPECT_EQ(GetEnvironmentVariable("DCS_SURELY_NOT_SET"), "");

    if (savedXdg)
        ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    EXPECT_EQ(FileSystemPath("\\\\data\\Dorvaquent//HeadOn.jpg"), "/data/Dorvaquent/HeadOn.jpg");
}

}  // namespace
}  // namespace dcs
