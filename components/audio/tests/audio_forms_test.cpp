// A mixer and a player read from a window's stored text, former property names included.
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/tests/StreamPinFixtures.h"
#include "platform/classes/TextForm.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/TestWindow.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

class AudioForms : public streamtest::StreamPinTest {};

TEST_F(AudioForms, FormerPropertiesAreReadAndLinksMade)
{
    ASSERT_TRUE(WaveOutSelectBackend("virtual"));
    ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
    TOwned<TTestWindow> root(Create<TTestWindow>(nullptr));
    ReadComponentFromText("object Form1: TTestWindow\n"
                          "  object mixL: TAUAudioMixer\n"
                          "    BuffersAhead = 3\n"
                          "    AudioFormat.Enabled = True\n"
                          "    AudioFormat.SampleRate = 22050\n"
                          "    Channels = <\n"
                          "      item\n"
                          "        CoefData = (0.25)\n"
                          "      end\n"
                          "      item\n"
                          "        Coefficient = 0.5\n"
                          "        Enabled = False\n"
                          "      end>\n"
                          "    OutputPin.SinkPins = (Form1.outL.InputPin)\n"
                          "  end\n"
                          "  object outL: TAUAudioOut\n"
                          "    PreFillEnabled = True\n"
                          "    PumpPriority = 2\n"
                          "    EnableMasterPumping = True\n"
                          "    PrefillInterval = 500\n"
                          "    Device.DeviceName = 'Speakers'\n"
                          "  end\n"
                          "end\n",
                          root.get());
    auto* mixer = As<TAUAudioMixer>(root->FindComponent("mixL"));
    auto* out = As<TAUAudioOut>(root->FindComponent("outL"));
    ASSERT_NE(mixer, nullptr);
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(mixer->Channels()->Count(), 2);
    EXPECT_EQ(mixer->InputPins()->Count(), 2);
    EXPECT_EQ(mixer->Channels()->GetItem(0)->Coefficient(), 0.25);
    EXPECT_EQ(mixer->Channels()->GetItem(1)->Coefficient(), 0.5);
    EXPECT_FALSE(mixer->Channels()->GetItem(1)->Enabled());
    EXPECT_TRUE(mixer->AudioFormat()->Enabled());
    EXPECT_EQ(mixer->AudioFormat()->SampleRate(), 22050u);
    EXPECT_TRUE(out->InputPin()->IsConnectedTo(mixer->OutputPin()));
    EXPECT_EQ(out->PrefillInterval(), 500u);
    EXPECT_EQ(out->MasterPumping()->Priority, 2);
    EXPECT_TRUE(out->MasterPumping()->Enabled);
    EXPECT_EQ(out->Device()->DeviceName(), "Speakers");

    // The former names are never written back.
    const std::string text = ComponentToText(root.get());
    for (const char* former : {"BuffersAhead", "CoefData", "PreFillEnabled", "EnableMasterPumping"})
        EXPECT_EQ(text.find(former), std::string::npos) << former << "\n" << text;
    EXPECT_NE(text.find("Coefficient = 0.25"), std::string::npos) << text;
}

}  // namespace
}  // namespace dcs
