// The preset player end to end on the recorded device: its tones on both sides at the
// output mixers' gains, and nothing left behind once it is deleted.
#include "app/DemoPresets.h"
#include "app/PresetPlayer.h"
#include "app/tests/AppAudioSupport.h"
#include "components/audio/AUAudioOut.h"
#include "testing/WaitUntil.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace dcs {
namespace {

using apptest::RecordingFolder;
using apptest::Spectrum;

// The window's output stage: one mono 24-bit mixer at 22050 Hz per side with 52 preset
// inputs, each feeding a player that waits for 800 ms of sound before it plays.
struct OutputStage {
    TOwned<TAUAudioOut> outLeft {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioOut> outRight {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioMixer> mixLeft {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioMixer> mixRight {Create<TAUAudioMixer>(nullptr)};

    OutputStage(double AGainLeft, double AGainRight)
    {
        Side(mixLeft.get(), outLeft.get(), spFrontLeft, AGainLeft);
        Side(mixRight.get(), outRight.get(), spFrontRight, AGainRight);
    }
    static void Side(TAUAudioMixer* AMixer, TAUAudioOut* AOut, TAUSpeaker ASpeaker, double AGain)
    {
        TAUOptionalAudioFormat* f = AMixer->AudioFormat();
        f->SetChannels(1);
        f->SetBits(24);
        f->SetSampleRate(22050);
        f->SetChannelMask({ASpeaker});
        f->SetBufferSize(4096);
        f->SetEnabled(true);
        AOut->SetPrefillInterval(800);
        EXPECT_TRUE(AOut->InputPin()->Connect(AMixer->OutputPin()));
        for (int i = 0; i < PresetCount; ++i)
            AMixer->Channels()->Add()->SetCoefficient(AGain);
    }
};

// Waits (in real time: the recorded device plays at its rate) until both sides have
// played ABlocks blocks.
void PlayBlocks(OutputStage& AStage, uint64_t ABlocks)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while ((AStage.outLeft->CompletedBlocks() < ABlocks || AStage.outRight->CompletedBlocks() < ABlocks) &&
           std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_GE(AStage.outLeft->CompletedBlocks(), ABlocks);
    ASSERT_GE(AStage.outRight->CompletedBlocks(), ABlocks);
}

TEST(PresetPlayer, PlaysItsRecordOnBothSidesAtTheSideGainsAndLeavesNothingBehind)
{
    RecordingFolder folder("player");
    const TFrequencyTable table = DemoPresetTable();
    constexpr int kIndex = 21;  // tone 21 mod 19 = 2 holds 0.25: no frequency
    const int threadsBefore = wavetest::ThreadCount();
    {
        OutputStage stage(0.70, 0.35);
        // A first player gets the outputs' own threads going.
        {
            PRSX first(0, table, stage.mixLeft.get(), stage.mixRight.get());
            PlayBlocks(stage, 1);
        }
        const int threadsStage = wavetest::StableThreadCount();
        auto* player = new PRSX(kIndex, table, stage.mixLeft.get(), stage.mixRight.get());
        player->Start();
        EXPECT_EQ(player->Mixer->InputPins()->Count(), PresetTones);
        EXPECT_TRUE(stage.mixLeft->InputPins()->GetPin(kIndex)->IsConnectedTo(player->Splitter->OutputPin(0)));
        EXPECT_TRUE(stage.mixRight->InputPins()->GetPin(kIndex)->IsConnectedTo(player->Splitter->OutputPin(1)));
        PlayBlocks(stage, 22);
        player->Stop();
        delete player;

        EXPECT_FALSE(stage.mixLeft->InputPins()->GetPin(kIndex)->IsConnected());
        EXPECT_FALSE(stage.mixRight->InputPins()->GetPin(kIndex)->IsConnected());
        EXPECT_EQ(stage.mixLeft->Channels()->Count(), PresetCount);
        EXPECT_EQ(wavetest::SettledThreadCount(threadsStage), threadsStage) << "the player's clock threads are gone";
    }
    EXPECT_EQ(wavetest::SettledThreadCount(threadsBefore), threadsBefore);

    std::vector<double> tones;
    for (int i = 0; i < PresetTones; ++i)
        if (table[kIndex][size_t(PresetFirstTone + i)] > 1.0)
            tones.push_back(table[kIndex][size_t(PresetFirstTone + i)]);
    ASSERT_EQ(tones.size(), size_t(PresetTones - 1));
    const auto left = folder.Played(1), right = folder.Played(2);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(right.size(), 1u);
    double sum[2] = {0, 0};
    int side = 0;
    for (const auto* played : {&left[0], &right[0]}) {
        SCOPED_TRACE(side ? "right" : "left");
        // The last player's sound, clear of its start and its end.
        const size_t end = apptest::LastSound(*played);
        ASSERT_GE(end, 4096u + 32768u);
        const Spectrum s(played->data() + end - 4096 - 32768, 15, 22050);
        const double level = (side ? 0.35 : 0.70) * PRSX::ToneAmplitude / 32768.0;
        for (double f : tones) {
            const auto [hz, magnitude] = s.PeakNear(f, 6);
            EXPECT_NEAR(hz, f, 1.0);
            // A Hann window loses at most 15 % between bins.
            EXPECT_GT(magnitude, 0.84 * level) << f;
            EXPECT_LT(magnitude, 1.01 * level) << f;
            sum[side] += magnitude;
        }
        // The 20000 Hz stand-in is above the player's Nyquist rate and must not fold back
        // (it would land at 2050 Hz at the tones' level). Beyond that only a little energy
        // may lie off the tones: a late thread on a loaded machine drops a block now and
        // then, and each gap clicks across the whole band.
        const double alias = 22050.0 - 20000.0;
        if (std::none_of(tones.begin(), tones.end(), [&](double f) { return std::fabs(f - alias) < 20; })) {
            EXPECT_LT(s.PeakNear(alias, 6).second, 0.05 * level);
        }
        EXPECT_LT(s.ResidualOutside(tones, 8), 2e-3);
        ++side;
    }
    EXPECT_NEAR(sum[0] / sum[1], 2.0, 0.02);
}

}  // namespace
}  // namespace dcs
