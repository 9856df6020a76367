// The pain-relief window on the main window's generator pairs: zone taps choosing the
// preset, the session's countdown and end, Home, the pictures and the sliders.
#include "app/BuiltInPresets.h"
#include "app/tests/PainFormFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcs {
namespace {

using apptest::PainFormTest;

const char* const EndMessage = "Dorvaquent Pain Relief Session Finished: Your current session has been completed...";

TEST_F(PainFormTest, TheWindowAsStored)
{
    MakeBoth(false);
    EXPECT_EQ(Pain->Caption(), "Body Pain");
    EXPECT_EQ(Pain->ClientWidth(), 1017);
    EXPECT_EQ(Pain->ClientHeight(), 602);
    EXPECT_EQ(Pain->Color(), clWhite);
    EXPECT_EQ(Pain->Position(), poDesktopCenter);
    EXPECT_EQ(Pain->BorderIcons(), TBorderIcons(1u << biMinimize | 1u << biMaximize));
    EXPECT_FALSE(Pain->Visible());
    EXPECT_FALSE(Pain->tmB->Enabled());
    EXPECT_EQ(Pain->tmB->Interval(), 1000u);
    ASSERT_NE(Pain->FormResizer1, nullptr);
    ASSERT_NE(Pain->FindComponent("SmoothPanel1"), nullptr);
    EXPECT_EQ(Pain->FindComponent("SmoothPanel1")->ClassName(), "TSmoothPanel");
    EXPECT_EQ(Pain->btnBodyPainStart->Caption(), "Start Pain Relief");
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 2000.0);
    EXPECT_EQ(Pain->tbSetTimePain->Position(), 20.0);
    EXPECT_GT(Pain->tbSetTimePain->Width(), Pain->tbSetTimePain->Height()) << "a horizontal bar lies on its side";
}

// Every combination of zones, reached by tapping from none, plays its preset (or none);
// tapping the zones off again stops the session.
TEST_F(PainFormTest, EachZoneCombinationStartsItsPreset)
{
    MakeBoth(false);
    struct Row {
        TPainZones Zones;
        const char* Preset;  // null: nothing starts
    };
    const Row rows[] = {
        {{true, false, false}, "Head and Neck Pain"},
        {{false, true, false}, "Back And Body Pain"},
        {{false, false, true}, "Lower Body Pain"},
        {{true, true, false}, "Head and Body Pain"},
        {{true, false, true}, "Head and Lower Body Pain"},
        {{false, true, true}, "Body and Lower Body Pain"},
        {{true, true, true}, "All Pain"},
        {{false, false, false}, nullptr},
    };
    TImage* images[] = {Pain->imHead, Pain->imBody, Pain->imLegs};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Preset ? row.Preset : "none");
        Form->PresetName.clear();
        for (int z = 0; z < PainZoneCount; ++z)
            if (row.Zones[size_t(z)])
                Click(images[z]);
        if (!row.Preset)
            Click(Pain->btnBodyPainStart);
        EXPECT_EQ(Pain->PainZone, row.Zones);
        EXPECT_EQ(Form->PresetName, row.Preset ? row.Preset : "");
        EXPECT_EQ(Pain->PainSessionRunning, row.Preset != nullptr);
        EXPECT_EQ(Form->out1->Enabled(), row.Preset != nullptr);
        EXPECT_EQ(Pain->tmB->Enabled(), row.Preset != nullptr);
        for (int z = 0; z < PainZoneCount; ++z)
            if (row.Zones[size_t(z)])
                Click(images[z]);
        EXPECT_FALSE(Pain->PainSessionRunning);
        EXPECT_FALSE(Form->out1->Enabled());
    }
}

TEST_F(PainFormTest, AllPainThenHeadAndLowerBodyPainOnTheWindowsPairs)
{
    MakeBoth(false);
    auto expectPairs = [this](const std::vector<double>& AWant) {
        for (int k = 0; k < PresetPairCount; ++k)
            for (const char* prefix : {"sg", "sgr"}) {
                auto* gen = As<TAUSignalGen>(Form->FindComponent(prefix + std::to_string(k + 1)));
                ASSERT_NE(gen, nullptr);
                const bool on = AWant[size_t(k)] != 1.0;
                EXPECT_EQ(gen->Enabled(), on) << gen->Name();
                if (on) {
                    EXPECT_EQ(gen->Frequency(), AWant[size_t(k)]) << gen->Name();
                }
            }
    };
    Click(Pain->imHead);
    Click(Pain->imBody);
    Click(Pain->imLegs);
    EXPECT_EQ(Form->PresetName, "All Pain");
    expectPairs(
        {111, 111.5, 115, 113.5, 112.2, 2128, 728, 73, 666, 1, 80, 3000, 10000, 787, 5000, 95, 360, 1550, 802, 444});
    Click(Pain->imBody);
    EXPECT_EQ(Form->PresetName, "Head and Lower Body Pain");
    expectPairs({111, 111.5, 115, 113.5, 112.2, 787, 728, 360, 95, 3000, 10000, 73, 528, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_TRUE(Form->out1->Enabled());
}

// Home, and the window manager's close, hide the window; the session counts on and ends
// with its message while the window is hidden. Each Pain Management button shows the
// same window.
TEST_F(PainFormTest, HomeHidesTheWindowAndTheSessionGoesOnToItsEnd)
{
    MakeBoth(false);
    const int forms = Screen()->FormCount();
    for (const TPresetPageControls& page : Form->Pages.Preset) {
        Click(page.PainManagement);
        EXPECT_TRUE(Pain->Visible());
    }
    EXPECT_EQ(Screen()->FormCount(), forms);

    Pain->tbSetTimePain->SetPosition(5);
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 500.0);
    Click(Pain->imLegs);
    Seconds(1);
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 459.0);
    Click(Pain->btnHome);
    EXPECT_FALSE(Pain->Visible());
    EXPECT_TRUE(Form->out1->Enabled());
    EXPECT_TRUE(Pain->PainSessionRunning);

    Click(Form->Pages.Preset[ppSports].PainManagement);
    EXPECT_TRUE(Pain->Visible());
    SendMessage(Pain->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(Pain->Visible());
    EXPECT_TRUE(Form->out1->Enabled());

    Seconds(298);
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 1.0);
    EXPECT_TRUE(Boxes.empty());
    Seconds(1);
    EXPECT_EQ(Boxes, std::vector<std::string> {EndMessage});
    EXPECT_FALSE(Pain->PainSessionRunning);
    EXPECT_FALSE(Form->out1->Enabled());
    EXPECT_FALSE(Pain->tmB->Enabled());
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 500.0);
    EXPECT_FALSE(Pain->Visible());
}

TEST_F(PainFormTest, TheTimeSliderStopsARunningSession)
{
    MakeBoth(false);
    Click(Pain->imHead);
    Seconds(3);
    Pain->tbSetTimePain->OnPositionChanging(Pain->tbSetTimePain, 10);
    EXPECT_FALSE(Pain->PainSessionRunning);
    EXPECT_FALSE(Form->out1->Enabled());
    EXPECT_EQ(Pain->ledTimePain->Caption()->Value(), 1000.0);
    Seconds(5);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(PainFormTest, MissingPicturesLeaveTheImagesEmptyAndTheTapsWorking)
{
    MakeBoth(false);
    for (TImage* image : {Pain->imHead, Pain->imBody, Pain->imLegs})
        EXPECT_EQ(image->Picture()->Graphic(), nullptr);
    Click(Pain->imBody);
    EXPECT_EQ(Pain->PainZone, (TPainZones {false, true, false}));
    EXPECT_TRUE(Pain->PainSessionRunning);
    EXPECT_EQ(Form->PresetName, "Back And Body Pain");
}

TEST_F(PainFormTest, TheZonePicturesFollowTheTaps)
{
    MakeBoth(true);
    EXPECT_EQ(Pain->imHead->Picture()->Width(), 10);
    EXPECT_EQ(Pain->imBody->Picture()->Width(), 20);
    EXPECT_EQ(Pain->imLegs->Picture()->Width(), 30);
    Click(Pain->imHead);
    Click(Pain->imLegs);
    EXPECT_EQ(Pain->imHead->Picture()->Width(), 11);
    EXPECT_EQ(Pain->imBody->Picture()->Width(), 20);
    EXPECT_EQ(Pain->imLegs->Picture()->Width(), 31);
    Click(Pain->imHead);
    EXPECT_EQ(Pain->imHead->Picture()->Width(), 10);
}

// The stored pairs play at 500 (plate) and 1000 (audio) while both LEDs show 50: the
// window applies its sliders when it is made. Afterwards a move (changing) sets the
// twenty amplitudes of its side; a click beside the thumb (changed) only the LED.
TEST_F(PainFormTest, TheSlidersSetTheirSidesAmplitudesFromTheStart)
{
    MakeBoth(false);
    auto amplitudes = [this](const char* APrefix) {
        std::vector<int32_t> r;
        for (int k = 1; k <= PresetPairCount; ++k)
            r.push_back(As<TAUSignalGen>(Form->FindComponent(APrefix + std::to_string(k)))->Amplitude());
        return r;
    };
    const std::vector<int32_t> at500(PresetPairCount, 500);
    EXPECT_EQ(amplitudes("sg"), at500);
    EXPECT_EQ(amplitudes("sgr"), at500);

    Pain->tbAudioPain->OnPositionChanging(Pain->tbAudioPain, 85);
    EXPECT_EQ(amplitudes("sgr"), std::vector<int32_t>(PresetPairCount, 850));
    EXPECT_EQ(amplitudes("sg"), at500);
    EXPECT_EQ(Pain->ledAudioPain->Caption()->Value(), 85.0);
    Pain->tbPlatePain->OnPositionChanging(Pain->tbPlatePain, 15);
    EXPECT_EQ(amplitudes("sg"), std::vector<int32_t>(PresetPairCount, 150));
    Pain->tbPlatePain->SetPosition(20);
    EXPECT_EQ(Pain->ledPlatePain->Caption()->Value(), 20.0);
    EXPECT_EQ(amplitudes("sg"), std::vector<int32_t>(PresetPairCount, 150));
}

}  // namespace
}  // namespace dcs
