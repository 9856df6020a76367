// The main window made headless in a folder of the test's own, on a manual clock, with
// message boxes recorded.
#pragma once

#include "app/MainForm.h"
#include "platform/controls/Dialogs.h"
#include "platform/waveout/WaveOut.h"
#include "platform/win/Application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace dcs::apptest {

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        Home = std::filesystem::current_path();
        std::filesystem::current_path(Dir);
        if (!WaveOutSelectBackend(Backend()))
            GTEST_FAIL() << "backend";
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
        SetMessageBoxHook([this](HWND, const std::string& Text, const std::string& Caption, UINT) {
            Boxes.push_back(Caption + ": " + Text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        Free(Form);
        Form = nullptr;
        SetMessageBoxHook(nullptr);
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
        std::filesystem::current_path(Home);
        std::filesystem::remove_all(Dir);
    }
    virtual const char* Backend() const { return "virtual"; }
    void Make() { Form = Create<TForm1>(nullptr); }
    void UseDemoData() { std::filesystem::copy_file(DCS_DEMO_PRE_DATA, Dir / "pre.data"); }

    std::filesystem::path Dir = std::filesystem::temp_directory_path() / ("dcs-form1-" + std::to_string(::getpid()));
    std::filesystem::path Home;
    TManualClock Clock;
    TApplication* App = nullptr;
    TForm1* Form = nullptr;
    std::vector<std::string> Boxes;
};

}  // namespace dcs::apptest
