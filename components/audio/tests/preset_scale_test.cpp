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
    // Frames each side had played when every chain had played for a while (left, right).
    uint64_t played[2] = {0, 0};
    {
        Outputs outputs;
        std::vector<std::unique_ptr<Chain>> chains;
        for (int p = 0; p < kChains; ++p)
            chains.push_back(std::make_unique<Chain>(outputs, p));
        // Sixteen blocks (3 s) on each side after the last chain was built, however slow the
        // machine (sanitizers) makes the graph: the recorded device plays in real time, a
        // second behind the mix (the 800 ms prefill), and the last chain joins once it has
        // a mix cycle's worth of samples.
        const uint64_t left = outputs.outLeft->CompletedBlocks() + 16, right = outputs.outRight->CompletedBlocks() + 16;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while ((outputs.outLeft->CompletedBlocks() < left || outputs.outRight->CompletedBlocks() < right) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_GE(outputs.outLeft->CompletedBlocks(), left);
        ASSERT_GE(outputs.outRight->CompletedBlocks(), right);
        played[0] = outputs.outLeft->CompletedBlocks() * 4096;
        played[1] = outputs.outRight->CompletedBlocks() * 4096;
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
        const std::vector<float> recorded = ReadRecorded24(e.path(), mask);
        ASSERT_TRUE(mask == 1 || mask == 2) << mask;
        SCOPED_TRACE(mask == 1 ? "left" : "right");
        sides |= mask;
        // The last whole second before the chains were taken down: every chain plays.
        const uint64_t end = played[mask - 1] - 4096;
        ASSERT_LE(end, recorded.size());
        const size_t from = size_t(end) - kRate;
        const std::vector<double> levels = ToneAmplitudes(recorded, from, tones);
        for (size_t i = 0; i < tones.size(); ++i)
            EXPECT_NEAR(levels[i], ToneLevel(), 0.03 * ToneLevel()) << tones[i] << " Hz";
        // A tone of no chain is not there.
        EXPECT_LT(ToneAmplitudes(recorded, from, {ToneFrequency(kChains + 3, 0)})[0], 0.05 * ToneLevel());
    }
    EXPECT_EQ(sides, 3u) << "one player on each side";
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace dcs
