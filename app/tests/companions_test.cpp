// Finding and starting the companion programs, the updater and the web site, with the
// starts recorded instead of made.
#include "app/Companions.h"
#include "app/ProcessLauncher.h"
#include "platform/base/Environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace dcs {
namespace {

namespace fs = std::filesystem;

class CompanionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(Root);
        fs::create_directories(Root);
        SetLaunchHook([this](const TLaunch& ALaunch) { Launches.push_back(ALaunch); });
    }
    void TearDown() override
    {
        SetLaunchHook(nullptr);
        fs::remove_all(Root);
    }
    void Install(const std::string& ARelative)
    {
        const fs::path file = ProgramFiles() / ARelative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "#!/bin/sh\n";
    }
    fs::path ProgramFiles() const { return Root / "Program Files"; }

    fs::path Root = fs::temp_directory_path() / ("dcs-companions-" + std::to_string(::getpid()));
    std::vector<TLaunch> Launches;
};

TEST_F(CompanionsTest, PresenceMatrixAndTheCopyThatIsRun)
{
    const std::string zanter = "Zanterhol/Zanterhol.exe";
    const std::string osmer = "Osmerlaine/Osmerlaine Pro/OsmerPro.exe";
    const std::string maker = "Dorvaquent/Osmerlaine/OsmerPro.exe";
    struct Case {
        std::vector<std::string> Installed;
        bool Zanterhol, Osmerlaine, InMakerFolder;
    };
    const Case cases[] = {
        {{}, false, false, false},    {{zanter}, true, false, false},      {{osmer}, false, true, false},
        {{maker}, false, true, true}, {{osmer, maker}, false, true, true}, {{zanter, osmer, maker}, true, true, true},
    };
    for (const Case& c : cases) {
        fs::remove_all(ProgramFiles());
        fs::create_directories(ProgramFiles());
        for (const std::string& file : c.Installed)
            Install(file);
        const TCompanionPresence found = FindCompanions(ProgramFiles().string());
        EXPECT_EQ(found.Zanterhol, c.Zanterhol) << c.Installed.size();
        EXPECT_EQ(found.Osmerlaine, c.Osmerlaine) << c.Installed.size();
        EXPECT_EQ(found.SecondCompanionInMakerFolder, c.InMakerFolder) << c.Installed.size();
        if (found.Osmerlaine) {
            EXPECT_TRUE(FileExists(OsmerlainePath(ProgramFiles().string(), found.SecondCompanionInMakerFolder)));
        }
    }
}

TEST_F(CompanionsTest, WithoutProgramFilesNothingIsFound)
{
    const char* saved = std::getenv("PROGRAMFILES");
    const std::string restore = saved ? saved : "";
    const std::string savedFolder = ProgramFilesFolder();
    Install("Zanterhol/Zanterhol.exe");
    ::unsetenv("PROGRAMFILES");
    SetProgramFilesFolder((Root / "elsewhere").string());
    const TCompanionPresence found = FindCompanions(GetEnvironmentVariable("PROGRAMFILES"));
    SetProgramFilesFolder(savedFolder);
    if (saved)
        ::setenv("PROGRAMFILES", restore.c_str(), 1);
    EXPECT_FALSE(found.Zanterhol);
    EXPECT_FALSE(found.Osmerlaine);
    EXPECT_FALSE(found.SecondCompanionInMakerFolder);
    // An empty folder leaves paths that begin at the root.
    EXPECT_FALSE(FindCompanions("").Zanterhol);
}

TEST_F(CompanionsTest, EachStartHasItsExactArguments)
{
    const std::string pf = ProgramFiles().string();  // has a space
    LaunchZanterhol(pf);
    LaunchOsmerlaine(pf, false);
    LaunchOsmerlaine(pf, true);
    LaunchUpdater();
    OpenMakerWebSite();
    const std::string zanter = pf + "/Zanterhol/Zanterhol.exe";
    const std::string osmer = pf + "/Osmerlaine/Osmerlaine Pro/OsmerPro.exe";
    const std::string maker = pf + "/Dorvaquent/Osmerlaine/OsmerPro.exe";
    const std::vector<TLaunch> want {
        {zanter, {zanter}, false},
        {osmer, {osmer}, false},
        {maker, {maker}, false},
        {"updater.exe", {"updater.exe", "/checknow"}, true},
        {"xdg-open", {"xdg-open", MakerWebSite}, true},
    };
    EXPECT_EQ(Launches, want);

    // An updater in the current directory is the one run.
    const fs::path home = fs::current_path();
    fs::current_path(Root);
    std::ofstream("updater.exe") << "#!/bin/sh\n";
    Launches.clear();
    LaunchUpdater();
    fs::current_path(home);
    ASSERT_EQ(Launches.size(), 1u);
    EXPECT_EQ(Launches[0], (TLaunch {"./updater.exe", {"updater.exe", "/checknow"}, false}));
}

TEST(ProcessLauncher, AProgramThatCannotStartIsIgnored)
{
    EXPECT_NO_THROW(Launch({"/nonexistent/program", {"/nonexistent/program"}, false}));
    EXPECT_NO_THROW(Launch({"no-such-program-anywhere", {"no-such-program-anywhere"}, true}));
}

}  // namespace
}  // namespace dcs
