// Whole chains, every component on its own threads: a tone generator through a mixer and
// a channel splitter to a wave-out player on the virtual device, and the application's
// preset graph on the recorded device.
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUChannelSplitter.h"
#include "components/audio/AUSignalGen.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/WaitUntil.h"
#include "testing/WavFiles.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace dcs {
namespace {

using wavetest::Amplitude;
using wavetest::FirstSound;
using wavetest::Floats;
using wavetest::WavData;

TEST(AudioChain, ASteadyToneReachesTheLeftSpeakerOnly)
{
    ASSERT_TRUE(WaveOutSelectBackend("virtual"));
    // Mixed at the stream's rate, the device plays each block in exactly 1024 frames.
    ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 11025));
    TOwned<TAUAudioOut> out(Create<TAUAudioOut>(nullptr));
    TOwned<TAUChannelSplitter> splitter(Create<TAUChannelSplitter>(nullptr));
    TOwned<TAUAudioMixer> mixer(Create<TAUAudioMixer>(nullptr));
    ASSERT_TRUE(out->InputPin()->Connect(splitter->OutputPin(0)));
    ASSERT_TRUE(splitter->InputPin()->Connect(mixer->OutputPin()));
    // Made in code, the generator runs at once on its own clock: 500 Hz, peak 20000,
    // 11025 Hz stereo in buffers of 1024 frames.
    TOwned<TAUSignalGen> generator(Create<TAUSignalGen>(nullptr));
    ASSERT_TRUE(mixer->Channels()->Add()->InputPin()->Connect(generator->OutputPin()));

    // Real time paces the chain; the device plays a block whenever it holds two, so it
    // never runs dry.
    std::vector<float> played;
    for (uint64_t k = 1; k <= 12; ++k) {
        ASSERT_TRUE(WaitUntil([&] { return !out->IsPaused() && out->QueuedBlocks() >= 2; })) << k;
        const auto part = waveout_virtual::Advance(1024);
        played.insert(played.end(), part.begin(), part.end());
        ASSERT_TRUE(WaitUntil([&] { return out->CompletedBlocks() == k; })) << k;
    }
    const auto opens = waveout_virtual::Opens();
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].Format.Format.nChannels, 1u);
    EXPECT_EQ(opens[0].Format.Format.nSamplesPerSec, 11025u);
    EXPECT_EQ(opens[0].Format.dwChannelMask, 1u);

    // Past the first block: the tone at its level on the left, silence on the right, and
    // no gap (all of the left's energy is the tone's).
    const float* steady = played.data() + 2 * 1024;
    const size_t n = 11 * 1024;
    const double level = 20000.0 / 32768.0;
    EXPECT_NEAR(Amplitude(steady, n, 2, 500, 11025), level, 0.01 * level);
    double energy = 0, right = 0;
    for (size_t i = 0; i < n; ++i) {
        energy += double(steady[2 * i]) * steady[2 * i];
        right = std::max(right, std::fabs(double(steady[2 * i + 1])));
    }
    EXPECT_NEAR(std::sqrt(2 * energy / double(n)), level, 0.01 * level);
    EXPECT_EQ(right, 0.0);
}

// The preset graph of the application: tone generators (at their 11025 Hz default)
// into a stereo 24-bit mixer at 22050 Hz, a channel splitter, and one mono 24-bit mixer
// per side, front left and front right, each with a player of its own.
struct PresetGraph {
    // Whole periods in 0.5 s; low enough that doubling the rate by repeating samples
    // costs them under 1 % of their level.
    static constexpr double kTones[3] = {200, 400, 700};
    static constexpr int32_t kAmplitude = 8000;

    PresetGraph()
    {
        SetFormat(preset->AudioFormat(), 2, {spFrontLeft, spFrontRight});
        SetFormat(mixLeft->AudioFormat(), 1, {spFrontLeft});
        SetFormat(mixRight->AudioFormat(), 1, {spFrontRight});
        EXPECT_TRUE(outLeft->InputPin()->Connect(mixLeft->OutputPin()));
        EXPECT_TRUE(outRight->InputPin()->Connect(mixRight->OutputPin()));
        EXPECT_TRUE(mixLeft->Channels()->Add()->InputPin()->Connect(splitter->OutputPin(0)));
        EXPECT_TRUE(mixRight->Channels()->Add()->InputPin()->Connect(splitter->OutputPin(1)));
        EXPECT_TRUE(splitter->InputPin()->Connect(preset->OutputPin()));
        for (double f : kTones) {
            generators.emplace_back(Create<TAUSignalGen>(nullptr));
            generators.back()->SetFrequency(f);
            generators.back()->SetAmplitude(kAmplitude);
            EXPECT_TRUE(preset->Channels()->Add()->InputPin()->Connect(generators.back()->OutputPin()));
        }
    }
    ~PresetGraph()
    {
        // Sources first, so that nothing is sent into a component that is going.
        generators.clear();
    }
    static void SetFormat(TAUOptionalAudioFormat* AFormat, uint32_t AChannels, TAUSpeakers AMask)
    {
        AFormat->SetEnabled(true);
        AFormat->SetSampleRate(22050);
        AFormat->SetBits(24);
        AFormat->SetChannels(AChannels);
        AFormat->SetChannelMask(AMask);
        AFormat->SetBufferSize(1024);
    }

    TOwned<TAUAudioOut> outLeft {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioOut> outRight {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioMixer> mixLeft {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioMixer> mixRight {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUChannelSplitter> splitter {Create<TAUChannelSplitter>(nullptr)};
    TOwned<TAUAudioMixer> preset {Create<TAUAudioMixer>(nullptr)};
    std::vector<TOwned<TAUSignalGen>> generators;
};

namespace fs = std::filesystem;

TEST(AudioChain, ThePresetGraphPlaysEveryToneOnBothSides)
{
    const fs::path dir = fs::temp_directory_path() / ("dcs-preset-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    ASSERT_TRUE(WaveOutSelectBackend("recorded"));
    {
        PresetGraph graph;
        // The recorded device plays in real time: about 1.4 s on each side, however slow
        // the machine (sanitizers) makes the chain.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while ((graph.outLeft->CompletedBlocks() < 30 || graph.outRight->CompletedBlocks() < 30) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_GE(graph.outLeft->CompletedBlocks(), 30u);
        EXPECT_GE(graph.outRight->CompletedBlocks(), 30u);
    }
    const double level = PresetGraph::kAmplitude / 32767.0;
    // What each player handed to the device, sample for sample.
    int sides = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("out-", 0) != 0)
            continue;
        uint32_t mask;
        const std::vector<float> played = Floats(WavData(e.path(), mask), 24);
        SCOPED_TRACE(mask == 1 ? "left" : "right");
        EXPECT_TRUE(mask == 1 || mask == 2) << mask;
        sides |= int(mask);
        size_t start = 0;
        while (start < played.size() && std::fabs(played[start]) < 0.01f)
            ++start;
        ASSERT_LE(start + 11025, played.size());
        for (double f : PresetGraph::kTones)
            EXPECT_NEAR(Amplitude(played.data() + start, 11025, 1, f, 22050), level, 0.02 * level) << f;
    }
    EXPECT_EQ(sides, 3) << "one player on each side";
    // The device's mix: each player on its own side. Real time on a busy machine may
    // leave gaps, so only the presence of every tone on both sides counts here.
    uint32_t mask;
    std::vector<float> mix;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("mix-", 0) == 0)
            mix = Floats(WavData(e.path(), mask), 16);
    const size_t start = FirstSound(mix.data(), mix.size() / 2);
    ASSERT_LE(start + 24000, mix.size() / 2);
    for (int side = 0; side < 2; ++side)
        for (double f : PresetGraph::kTones)
            EXPECT_GT(Amplitude(mix.data() + 2 * start + side, 24000, 2, f, 48000), 0.3 * level)
                << (side ? "right " : "left ") << f;
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace dcs
