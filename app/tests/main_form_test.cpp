// The main window as stored and as start-up leaves it.
#include "app/tests/MainFormFixture.h"

#include "components/pins/PNPinList.h"
#include "platform/base/Environment.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace dcs {
namespace {

using apptest::MainFormTest;

TEST_F(MainFormTest, TheStoredGraphComesUpLinkedAndStartUpAddsThePresetInputs)
{
    UseDemoData();
    Make();
    EXPECT_EQ(Form->Caption(), "Dorvaquent Control System 2.0");
    EXPECT_EQ(Form->ClientWidth(), 1210);
    EXPECT_EQ(Form->ClientHeight(), 736);
    EXPECT_EQ(Form->FormResizer1->DesignFrmW(), 1210);
    EXPECT_EQ(Form->FormResizer1->DesignDpiH(), 96);
    // The pages' controls are made in code after the form is read; the resizer has them
    // too, or they would keep their size while the window grows.
    for (const char* name : {"btnSXStart", "tbSetManFreq", "imSXBody"}) {
        const auto& c = Form->FormResizer1->Ctrls();
        EXPECT_TRUE(std::any_of(c.begin(), c.end(), [&](const TCtrlInfo& I) { return I.Name == name; })) << name;
    }
    for (const TPresetPageControls& page : Form->Pages.Preset) {
        EXPECT_GT(page.SetTime->Width(), page.SetTime->Height()) << "a horizontal bar lies on its side";
    }
    for (TTimer* t : {Form->tm1, Form->tmEss, Form->tmSp, Form->tmMed, Form->tmMan, Form->tmWB, Form->tmUB,
                      Form->tmCore, Form->tmLB}) {
        EXPECT_FALSE(t->Enabled()) << t->Name();
        EXPECT_EQ(t->Interval(), 1000u);
    }
    // The graph: every stored link resolved by full pin name.
    ASSERT_EQ(Form->mixer->Channels()->Count(), 41);
    for (int k = 1; k <= 20; ++k) {
        auto* sg = As<TAUSignalGen>(Form->FindComponent("sg" + std::to_string(k)));
        auto* sgr = As<TAUSignalGen>(Form->FindComponent("sgr" + std::to_string(k)));
        EXPECT_TRUE(Form->mixer->InputPins()->GetPin(k - 1)->IsConnectedTo(sg->OutputPin())) << k;
        EXPECT_TRUE(Form->mixer->InputPins()->GetPin(19 + k)->IsConnectedTo(sgr->OutputPin())) << k;
        EXPECT_EQ(sgr->Amplitude(), 1000);
    }
    EXPECT_TRUE(Form->mixerRD->InputPins()->GetPin(1)->IsConnectedTo(Form->sg338->OutputPin()));
    EXPECT_EQ(Form->sg338->Amplitude(), 500);
    EXPECT_DOUBLE_EQ(Form->sg338->Frequency(), 33.8);
    const std::pair<TAUAudioOut*, TAUAudioMixer*> outs[] = {
        {Form->out1, Form->mixer},    {Form->outDR, Form->mixerRD},   {Form->outSX, Form->mixSX},
        {Form->outMan, Form->mixMan}, {Form->outLeft, Form->mixLeft}, {Form->outRight, Form->mixRight}};
    for (auto [out, mix] : outs) {
        EXPECT_TRUE(out->InputPin()->IsConnectedTo(mix->OutputPin())) << out->Name();
        EXPECT_EQ(out->Enabled(), out == Form->outLeft || out == Form->outRight) << out->Name();
        EXPECT_EQ(out->PrefillInterval(), out->Enabled() ? 800u : 300u) << out->Name();
    }
    // Start-up: 52 preset inputs at 0.5 per side, the countdowns, the Auto defaults.
    for (TAUAudioMixer* m : {Form->mixLeft, Form->mixRight}) {
        ASSERT_EQ(m->Channels()->Count(), PresetCount);
        ASSERT_EQ(m->InputPins()->Count(), PresetCount);
        for (int i = 0; i < PresetCount; ++i)
            EXPECT_EQ(m->Channels()->GetItem(i)->Coefficient(), 0.5);
    }
    for (const SessionCountdown& c : Form->Sessions->Countdowns) {
        EXPECT_EQ(c.Seconds, 1200);
        EXPECT_EQ(c.Minutes, 20);
        EXPECT_EQ(c.Tick, 60);
    }
    EXPECT_EQ(Form->ManualCountdown.Seconds, 1200);
    EXPECT_EQ(Form->BaseAmplitude, 3000.0);
    EXPECT_TRUE(Form->AutoZone[3]);
    EXPECT_EQ(Form->mixSX->Channels()->GetItem(0)->Coefficient(), 0.6);
    EXPECT_EQ(Form->FrequencyTable[0][PresetFirstTone + 1], 30 + 220);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, AFolderNamedPreDataIsReportedAndStartUpGoesOn)
{
    std::filesystem::create_directory(Dir / "pre.data");
    Make();
    EXPECT_EQ(Boxes, std::vector<std::string> {"ERROR: Cannot Open File!"});
    EXPECT_EQ(Form->mixLeft->Channels()->Count(), PresetCount);
    EXPECT_EQ(Form->FrequencyTable[5][10], 0.0);
}

TEST_F(MainFormTest, TheDataFolderFollowsAppDataOrTheUsersDataFolder)
{
    const char* saved = std::getenv("APPDATA");
    const std::string keep = saved ? saved : "";
    setenv("APPDATA", "C:\\Users\\me\\AppData", 1);
    Make();
    EXPECT_EQ(Form->DataFolder, "C:\\Users\\me\\AppData\\Dorvaquent");
    Free(Form);
    unsetenv("APPDATA");
    Make();
    EXPECT_EQ(Form->DataFolder, GetEnvironmentVariable("APPDATA") + "\\Dorvaquent");
    EXPECT_NE(Form->DataFolder, "\\Dorvaquent") << "mapped to the user's data folder";
    if (saved)
        setenv("APPDATA", keep.c_str(), 1);
}

}  // namespace
}  // namespace dcs
