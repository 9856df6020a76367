// Every preset of the window at once, in real time: the 46 toggles clicked one after the
// other on the recorded device, which plays at the wall clock's pace, must keep both
// preset outputs fed for 30 s of audio. Takes about 35 s of wall time; find it with
// `ctest -R RealTime`.
#include "app/tests/AppAudioSupport.h"
#include "app/tests/MainFormFixture.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <set>
#include <thread>

namespace dcs {
namespace {

using apptest::MainFormTest;
using SteadyClock = std::chrono::steady_clock;

#if defined(__SANITIZE_ADDRESS__)
// A sanitized build cannot keep 44 players in real time; it still presses and releases
// everything while the graph streams, which is what it is there to check.
constexpr bool kRealTime = false;
constexpr double kAudioSeconds = 3;
#else
constexpr bool kRealTime = true;
constexpr double kAudioSeconds = 30;
#endif

double ProcessCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

class MainWindowRealTime : public MainFormTest {};

TEST_F(MainWindowRealTime, All46TogglesPlayThirtySecondsOfAudioWithoutAnUnderrun)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "44 players under ThreadSanitizer take about 13 minutes to press, play 3 s and release "
                    "(measured), more than the sanitizer run allows a test";
#endif
    UseDemoData();
    apptest::RecordingFolder folder("realtime");
    Make();
    TMainPages& pg = Form->Pages;
    // mixLeft and mixRight run at 22050 Hz in blocks of 4096 samples.
    const uint64_t blocksWanted = uint64_t(std::ceil(kAudioSeconds * 22050 / 4096));
    const uint64_t deviceUnderruns = WaveOutTotalUnderruns();
    const uint64_t leftUnderruns = Form->outLeft->Underruns(), rightUnderruns = Form->outRight->Underruns();
    const uint64_t leftBlocks = Form->outLeft->CompletedBlocks(), rightBlocks = Form->outRight->CompletedBlocks();
    const auto wallStart = SteadyClock::now();
    const double cpuStart = ProcessCpuSeconds();

    for (smooth::TSmoothToggleButton* toggle : pg.Toggles)
        toggle->Click();
    std::set<int> indices;
    for (const TPresetToggleInfo& row : PresetToggles) {
        indices.insert(row.Index);
        ASSERT_NE(Players[size_t(row.Index)], nullptr) << row.Name;
    }
    const double pressSeconds = std::chrono::duration<double>(SteadyClock::now() - wallStart).count();

    const auto limit = SteadyClock::now() + std::chrono::duration<double>(3 * kAudioSeconds + 30);
    while ((Form->outLeft->CompletedBlocks() - leftBlocks < blocksWanted ||
            Form->outRight->CompletedBlocks() - rightBlocks < blocksWanted) &&
           SteadyClock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const double wall = std::chrono::duration<double>(SteadyClock::now() - wallStart).count();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const uint64_t played = Form->outLeft->CompletedBlocks() - leftBlocks;
    const double audio = double(played) * 4096 / 22050;
    ASSERT_GE(played, blocksWanted) << "the outputs played " << audio << " s of audio in " << wall << " s";

    const uint64_t lost = WaveOutTotalUnderruns() - deviceUnderruns;
    const uint64_t leftLost = Form->outLeft->Underruns() - leftUnderruns;
    const uint64_t rightLost = Form->outRight->Underruns() - rightUnderruns;
    uint64_t dropped = Form->mixLeft->DroppedFrames() + Form->mixRight->DroppedFrames();
    for (int index : indices)
        dropped += Players[size_t(index)]->Mixer->DroppedFrames();
    std::printf("%zu players: %.1f s of audio in %.1f s (presses %.2f s), %.1f %% of one core; "
                "device underruns %llu, outLeft %llu, outRight %llu, frames dropped %llu\n",
                indices.size(), audio, wall, pressSeconds, 100 * cpu / audio, (unsigned long long)lost,
                (unsigned long long)leftLost, (unsigned long long)rightLost, (unsigned long long)dropped);
    if (kRealTime) {
        EXPECT_EQ(lost, 0u) << "the recorded device ran dry";
        EXPECT_EQ(leftLost + rightLost, 0u) << "a preset output fell behind";
        EXPECT_EQ(dropped, 0u) << "a mixer dropped frames from a full input queue";
    }

    for (smooth::TSmoothToggleButton* toggle : pg.Toggles)
        toggle->Click();
    for (int index : indices)
        EXPECT_EQ(Players[size_t(index)], nullptr) << index;
}

}  // namespace
}  // namespace dcs
