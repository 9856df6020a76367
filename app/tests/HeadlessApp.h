// The GUI thread of the application's tests: a manual clock, an application object and
// message boxes recorded as "caption: text".
#pragma once

#include "platform/controls/Dialogs.h"
#include "platform/waveout/WaveOut.h"
#include "platform/win/Application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcs::apptest {

class HeadlessApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaveOutSelectBackend("virtual"));
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
        SetMessageBoxHook(nullptr);
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
    }

    TManualClock Clock;
    TApplication* App = nullptr;
    std::vector<std::string> Boxes;
};

}  // namespace dcs::apptest
