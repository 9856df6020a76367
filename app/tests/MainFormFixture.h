// The main window made headless in a folder of the test's own, on a manual clock, with
// message boxes recorded.
#pragma once

#include "app/MainForm.h"
#include "app/tests/HeadlessApp.h"

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace dcs::apptest {

class MainFormTest : public HeadlessApp {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        Home = std::filesystem::current_path();
        std::filesystem::current_path(Dir);
        HeadlessApp::SetUp();
    }
    void TearDown() override
    {
        Free(Form);
        Form = nullptr;
        HeadlessApp::TearDown();
        std::filesystem::current_path(Home);
        std::filesystem::remove_all(Dir);
    }
    void Make() { Form = Create<TForm1>(nullptr); }
    void UseDemoData() { std::filesystem::copy_file(DCS_DEMO_PRE_DATA, Dir / "pre.data"); }

    std::filesystem::path Dir = std::filesystem::temp_directory_path() / ("dcs-form1-" + std::to_string(::getpid()));
    std::filesystem::path Home;
    TForm1* Form = nullptr;
};

}  // namespace dcs::apptest
