// Preset toggles, Stop, streaming labels, countdowns with the resonance hand-over, and
// the page sliders, on a manual clock.
#include "app/tests/SessionFixture.h"

namespace dcs {
namespace {

using apptest::SessionTest;

class PresetToggleTest : public SessionTest {};

TEST_F(PresetToggleTest, EveryTogglePlaysItsIndexAndStartsItsPageTimer)
{
    const TPresetPage stopOf[] = {ppEssentials, ppSports, ppMedical};
    for (int row = 0; row < PresetToggleCount; ++row) {
        const TPresetToggleInfo& t = PresetToggles[size_t(row)];
        SCOPED_TRACE(t.Name);
        const size_t p = size_t(t.Index);
        Click(t.Name);
        ASSERT_NE(Players[p], nullptr);
        EXPECT_EQ(Players[p]->Index, t.Index);
        EXPECT_TRUE(Players[p]->Mixer->AudioFormat()->Enabled());
        EXPECT_TRUE(MixLeft->InputPins()->GetPin(t.Index)->IsConnectedTo(Players[p]->Splitter->OutputPin(0)));
        EXPECT_TRUE(MixRight->InputPins()->GetPin(t.Index)->IsConnectedTo(Players[p]->Splitter->OutputPin(1)));
        EXPECT_TRUE(Sessions->Selected[p]);
        EXPECT_TRUE(TimerOn(t.Timer));
        for (int page = 0; page < PresetPageCount; ++page) {
            EXPECT_TRUE(Pages[size_t(page)].Streaming.Shown);
            EXPECT_EQ(Pages[size_t(page)].Streaming.Caption, StreamingTexts[size_t(page)]);
        }
        Click(t.Name);
        EXPECT_EQ(Players[p], nullptr);
        EXPECT_FALSE(Sessions->Selected[p]);
        EXPECT_FALSE(MixLeft->InputPins()->GetPin(t.Index)->IsConnected());
        EXPECT_EQ(TimerOn(t.Timer), !t.PausesTimer) << "only Muscle Pain pauses its countdown";
        for (auto& page : Pages)
            EXPECT_FALSE(page.Streaming.Shown);
        Sessions->StopClick(stopOf[t.Page]);
        EXPECT_FALSE(TimerOn(t.Timer));
    }
}

TEST_F(PresetToggleTest, ASharedIndexPlaysUntilItsLastToggleLetsGo)
{
    Click("btnPain");
    PRSX* player = Players[51];
    Click("btnMusclePainSp");
    Click("btnPainMed");
    EXPECT_EQ(Players[51], player) << "later presses keep the playing player";
    EXPECT_EQ(Sessions->Holders(51), 3);
    Sessions->StopClick(ppEssentials);  // releases btnPain only
    EXPECT_FALSE(Toggles[size_t(Row("btnPain"))].IsDown);
    EXPECT_EQ(Players[51], player);
    Click("btnPainMed");
    EXPECT_EQ(Players[51], player);
    EXPECT_TRUE(Sessions->Selected[51]);
    Click("btnMusclePainSp");
    EXPECT_EQ(Players[51], nullptr);
    EXPECT_FALSE(Sessions->Selected[51]);
    // A release that holds nothing (pressed and let go outside) changes nothing.
    Click("btnPain");
    Toggles[size_t(Row("btnMusclePainSp"))].IsDown = false;
    Sessions->ToggleClick(Row("btnMusclePainSp"));
    EXPECT_NE(Players[51], nullptr);
}

TEST_F(PresetToggleTest, MedicalMusclePainPausesOnlyAnOtherwiseIdlePage)
{
    Click("btnEdema");
    Click("btnPainMed");
    Click("btnPainMed");
    EXPECT_TRUE(TimerOn(stMedical)) << "Edema still plays";
    Seconds(3);
    EXPECT_EQ(Pages[ppMedical].Time.V, 1957);
    Click("btnEdema");
    Click("btnPainMed");
    Click("btnPainMed");
    EXPECT_FALSE(TimerOn(stMedical));
    Seconds(5);
    EXPECT_EQ(Pages[ppMedical].Time.V, 1957) << "paused where it stood";
    // Essentials: the Muscle Pain countdown is its own and pauses, resuming on a press.
    Click("btnPain");
    Seconds(2);
    Click("btnPain");
    EXPECT_FALSE(TimerOn(stPain));
    Click("btnPain");
    Seconds(1);
    EXPECT_EQ(Sessions->Countdowns[stPain].Seconds, 1197);
}

TEST_F(PresetToggleTest, StopReleasesItsPageResetsItsCountdownsAndKeepsOtherPagesPlaying)
{
    Click("btnPain");
    Click("btnDWarmUp");
    Click("btnRelaxSp");
    Seconds(10);
    Pages[ppEssentials].SetTime.P = 15;
    Out1->SetEnabled(true);
    OutDR->SetEnabled(true);
    Sessions->SessionRunning = true;
    Sessions->StopClick(ppEssentials);
    EXPECT_FALSE(TimerOn(stPain));
    EXPECT_FALSE(TimerOn(stEssentials));
    EXPECT_TRUE(TimerOn(stSports));
    for (TSessionTimer t : {stPain, stEssentials}) {
        EXPECT_EQ(Sessions->Countdowns[t].Seconds, 900);
        EXPECT_EQ(Sessions->Countdowns[t].Minutes, 15);
        EXPECT_EQ(Sessions->Countdowns[t].Tick, 60);
    }
    EXPECT_EQ(Pages[ppEssentials].Time.V, 1500);
    EXPECT_EQ(Players[0], nullptr);
    EXPECT_EQ(Players[51], nullptr);
    EXPECT_NE(Players[33], nullptr);
    EXPECT_FALSE(Out1->Enabled());
    EXPECT_FALSE(OutDR->Enabled());
    EXPECT_EQ(Sg338->Amplitude(), 1000);
    EXPECT_FALSE(Sessions->SessionRunning);
    // Stop hides its label, but releasing the toggles shows all three again while a
    // Sports preset plays.
    EXPECT_TRUE(Pages[ppEssentials].Streaming.Shown);
    EXPECT_EQ(Pages[ppEssentials].Streaming.Caption, StreamingTexts[ppEssentials]);
    EXPECT_EQ(Sessions->Countdowns[stSports].Seconds, 1190);
}

// One session of N minutes on the Sports page, tick by tick where something happens.
struct CountdownCase {
    int Minutes;
    bool StopFirst;  // a Stop before the start restores the resonance tone to 1000
};

class CountdownTest : public SessionTest, public ::testing::WithParamInterface<CountdownCase> {};

TEST_P(CountdownTest, CountsDownHandsOverInTheLastMinuteAndEnds)
{
    const int n = GetParam().Minutes;
    Pages[ppSports].SetTime.P = n;
    if (GetParam().StopFirst)
        Sessions->StopClick(ppSports);
    const int32_t start = Sg338->Amplitude();
    Out1->SetEnabled(true);
    Click("btnWarmupSports");
    Seconds(1);
    EXPECT_EQ(Pages[ppSports].Time.V, (n - 1) * 100 + 59);
    Seconds(60 * n - 60 - 1);
    EXPECT_EQ(Pages[ppSports].Time.V, 100);
    EXPECT_TRUE(Out1->Enabled());
    EXPECT_FALSE(OutDR->Enabled());
    EXPECT_EQ(Pages[ppSports].Streaming.Caption, StreamingTexts[ppSports]);
    for (int k = 1; k < 60; ++k) {  // 00:59 .. 00:01
        SCOPED_TRACE(k);
        Seconds(1);
        ASSERT_EQ(Pages[ppSports].Time.V, 60 - k);
        EXPECT_FALSE(Out1->Enabled());
        EXPECT_TRUE(OutDR->Enabled());
        EXPECT_EQ(Sg338->Amplitude(), std::max(0, start - 16 * k));
        EXPECT_EQ(Pages[ppSports].Streaming.Caption, ResonanceText);
        ASSERT_TRUE(Boxes.empty());
    }
    Seconds(1);  // tick 60 N
    EXPECT_EQ(Boxes,
              std::vector<std::string> {"Dorvaquent Session Finished: Your current session has been completed..."});
    EXPECT_FALSE(TimerOn(stSports));
    EXPECT_FALSE(OutDR->Enabled());
    EXPECT_EQ(Sg338->Amplitude(), 1000);
    EXPECT_EQ(Pages[ppSports].Time.V, n * 100);
    EXPECT_FALSE(Toggles[size_t(Row("btnWarmupSports"))].IsDown);
    EXPECT_EQ(Players[25], nullptr);
    EXPECT_FALSE(Pages[ppSports].Streaming.Shown);
    EXPECT_EQ(Sessions->Countdowns[stSports].Seconds, 60 * n);
    Seconds(5);
    EXPECT_EQ(Boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Minutes, CountdownTest, ::testing::Values(CountdownCase {5, true}, CountdownCase {20, false}),
                         [](const auto& info) { return std::to_string(info.param.Minutes) + "min"; });

TEST_F(SessionTest, TwoPagesCountOnTheirOwnAndShareTheResonanceOutput)
{
    Pages[ppSports].SetTime.P = 5;
    Pages[ppMedical].SetTime.P = 5;
    Sessions->StopClick(ppSports);
    Sessions->StopClick(ppMedical);
    Click("btnFlexibility");
    Seconds(3);
    Click("btnEdema");
    Click("btnCoreSp");  // a second press does not restart the countdown
    Seconds(1);
    EXPECT_EQ(Pages[ppSports].Time.V, 456);
    EXPECT_EQ(Pages[ppMedical].Time.V, 459);
    Seconds(240);  // Sports 4 s into its last minute, Medical 1 s into it
    EXPECT_EQ(Sg338->Amplitude(), 1000 - 16 * 5) << "two last minutes fade twice as fast";
    Seconds(56);  // Sports ends at 300
    EXPECT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Pages[ppMedical].Time.V, 3);
    EXPECT_NE(Players[40], nullptr);
    Seconds(1);
    EXPECT_TRUE(OutDR->Enabled()) << "the Medical last minute keeps the shared output on";
    // Restored by the Sports end, then faded by the Medical ticks after it.
    EXPECT_GE(Sg338->Amplitude(), 1000 - 2 * 16);
    EXPECT_LT(Sg338->Amplitude(), 1000);
    Seconds(2);
    EXPECT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Pages[ppMedical].Time.V, 500);
}

TEST_F(SessionTest, SlidersSetTheGainsOfAll52InputsOnEitherEvent)
{
    auto coefficients = [](TAUAudioMixer* m) {
        std::vector<double> c;
        for (int i = 0; i < PresetCount; ++i)
            c.push_back(m->Channels()->GetItem(i)->Coefficient());
        return c;
    };
    Sessions->PlateChanging(ppMedical, 75);
    EXPECT_EQ(coefficients(MixLeft.get()), std::vector<double>(PresetCount, 0.75));
    EXPECT_EQ(Pages[ppMedical].Plate.V, 75);
    EXPECT_EQ(Pages[ppSports].Plate.V, 75);
    EXPECT_EQ(Pages[ppEssentials].Plate.V, 0);
    Sessions->AudioChanging(ppEssentials, 30);
    EXPECT_EQ(coefficients(MixRight.get()), std::vector<double>(PresetCount, 0.30));
    // A click beside the thumb fires only the "changed" event: the gain follows it too.
    Sessions->PlateChanged(ppSports, 5);
    EXPECT_EQ(coefficients(MixLeft.get()), std::vector<double>(PresetCount, 0.05));
    Sessions->AudioChanged(ppMedical, 100);
    EXPECT_EQ(coefficients(MixRight.get()), std::vector<double>(PresetCount, 1.0));
    EXPECT_EQ(Pages[ppMedical].Audio.V, 100);
}

TEST_F(SessionTest, ASetTimeClickOnAnyPageStopsAndRunsForTheTimeShown)
{
    for (auto [page, toggle, timer] :
         {std::tuple {ppEssentials, "btnMood", stEssentials}, std::tuple {ppSports, "btnMenSp", stSports},
          std::tuple {ppMedical, "btnKneePain", stMedical}}) {
        SCOPED_TRACE(toggle);
        Click(toggle);
        Seconds(7);
        Pages[size_t(page)].SetTime.P = 25;  // a click beside the thumb: one step, "changed" only
        Sessions->SetTimeChanged(page, 25);
        EXPECT_EQ(Pages[size_t(page)].Time.V, 2500);
        EXPECT_FALSE(Toggles[size_t(Row(toggle))].IsDown);
        EXPECT_FALSE(TimerOn(timer));
        EXPECT_EQ(Sessions->Countdowns[size_t(timer)].Seconds, 1500);
        // Dragging stops at the first change too.
        Click(toggle);
        Pages[size_t(page)].SetTime.P = 10;
        Sessions->SetTimeChanging(page, 10);
        EXPECT_EQ(Sessions->Countdowns[size_t(timer)].Seconds, 600);
        EXPECT_EQ(Players[size_t(PresetToggles[size_t(Row(toggle))].Index)], nullptr);
    }
}

}  // namespace
}  // namespace dcs
