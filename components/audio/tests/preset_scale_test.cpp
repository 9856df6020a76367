// Several preset chains playing at once into the shared output mixers, recorded: every
// tone of the chosen preset reaches both players at its level.
#include "testing/PresetChains.h"

#include "platform/waveout/WaveOut.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>
#include <vector>

namespace dcs {
namespace {

namespace fs = std::filesystem;
using namespace presets;

TEST(PresetScale, EveryToneOfTheChosenPresetPlaysAtItsLevelOnBothSides)
{
    const fs::path dir = fs::temp_directory_path() / ("dcs-presets-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    ASSERT_TRUE(WaveOutSelectBackend("recorded"));
    constexpr int kChains = 3, kChosen = 1;
    {
        Outputs outputs;
        std::vector<std::unique_ptr<Chain>> chains;
        for (int p = 0; p < kChains; ++p)
            chains.push_back(std::make_unique<Chain>(outputs, p));
        // About 2.6 s on each side once the 800 ms prefill is over, however slow the
        // machine (sanitizers) makes the graph: the recorded device plays in real time.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while ((outputs.outLeft->CompletedBlocks() < 14 || outputs.outRight->CompletedBlocks() < 14) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_GE(outputs.outLeft->CompletedBlocks(), 14u);
        ASSERT_GE(outputs.outRight->CompletedBlocks(), 14u);
        chains.clear();
    }
    std::vector<double> tones;
    for (int i = 0; i < kTones; ++i)
        tones.push_back(ToneFrequency(kChosen, i));
    uint32_t sides = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind("out-", 0) != 0)
            continue;
        uint32_t mask = 0;
        const std::vector<float> played = ReadRecorded24(e.path(), mask);
        SCOPED_TRACE(mask == 1 ? "left" : "right");
        sides |= mask;
        // One second from just after the start, when every chain plays.
        const size_t from = FirstSound(played) + kRate / 2;
        ASSERT_LE(from + kRate, played.size());
        const std::vector<double> levels = ToneAmplitudes(played, from, tones);
        for (size_t i = 0; i < tones.size(); ++i)
            EXPECT_NEAR(levels[i], ToneLevel(), 0.03 * ToneLevel()) << tones[i] << " Hz";
        // A tone of no chain is not there.
        EXPECT_LT(ToneAmplitudes(played, from, {ToneFrequency(kChains + 3, 0)})[0], 0.05 * ToneLevel());
    }
    EXPECT_EQ(sides, 3u) << "one player on each side";
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace dcs
