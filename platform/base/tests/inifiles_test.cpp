#include "platform/base/IniFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace dcs {
namespace {

class IniFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        Path = ::testing::TempDir() + "/dcs_ini_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
            ".ini";
        std::remove(Path.c_str());
    }
    void TearDown() override { std::remove(Path.c_str()); }
    std::string Path;
};

TEST_F(IniFiles, WritesReadBackAcrossInstancesWithNamesMatchedWithoutCase)
{
    {
        TIniFile ini(Path);
        ini.WriteString("Fill", "Color", "$C0C0C0");
        ini.WriteInteger("Fill", "Rounding", 8);
        ini.WriteBool("Fill", "Glow", true);
        ini.WriteString("Font", "Name", "Tahoma");
        ini.WriteInteger("fill", "ROUNDING", 4);  // the same key
    }
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadString("FILL", "color", "?"), "$C0C0C0");
    EXPECT_EQ(ini.ReadInteger("Fill", "Color", 0), 0xC0C0C0);  // $hex
    EXPECT_EQ(ini.ReadInteger("Fill", "Rounding", 0), 4);
    EXPECT_TRUE(ini.ReadBool("Fill", "Glow", false));
    EXPECT_EQ(ini.ReadSection("Fill"), (std::vector<std::string> {"Color", "Rounding", "Glow"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string> {"Fill", "Font"}));
    ini.DeleteKey("Fill", "Glow");
    ini.EraseSection("Font");
    EXPECT_FALSE(ini.ValueExists("Fill", "Glow"));
    EXPECT_FALSE(ini.SectionExists("Font"));
}

TEST_F(IniFiles, MissingFilesValuesAndMalformedNumbersGiveTheDefault)
{
    TIniFile missing(Path);
    EXPECT_EQ(missing.ReadString("A", "B", "dflt"), "dflt");
    std::ofstream(Path) << "; comment\nstray=line before any section\n[A]\nN = 12x\nB=\n[ B ]\n  K = v \n";
    TIniFile ini(Path);
    EXPECT_EQ(ini.ReadInteger("A", "N", 7), 7);
    EXPECT_EQ(ini.ReadInteger("A", "B", 7), 7);
    EXPECT_EQ(ini.ReadString("B", "K", ""), "v");
    EXPECT_FALSE(ini.ValueExists("A", "stray"));
    TIniFile unwritable("/nonexistent-dir/x.ini");
    EXPECT_THROW(unwritable.WriteString("A", "B", "C"), EIniFileException);
}

}  // namespace
}  // namespace dcs
