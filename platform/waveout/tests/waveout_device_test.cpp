// The device backend through SDL's own file-writing driver: the real conversion,
// resampling, routing and the real audio thread, without a sound card.
#include "platform/waveout/WaveOut.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace dcs {
namespace {

using namespace wavetest;
namespace fs = std::filesystem;

class DeviceWaveOut : public ::testing::Test {
protected:
    void SetUp() override {
        // The driver is chosen when SDL's audio starts, the file when the device opens;
        // a short delay per buffer lets the driver run faster than real time.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        FDir = fs::temp_directory_path() /
               ("dcs-waveout-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(FDir);
        FFile = (FDir / "device.raw").string();
        setenv("SDL_DISKAUDIOFILE", FFile.c_str(), 1);
        ASSERT_TRUE(WaveOutSelectBackend("device"));
    }
    void TearDown() override { fs::remove_all(FDir); }

    // The device's output: interleaved stereo float at 48000 Hz.
    std::vector<float> Output() {
        std::ifstream in(FFile, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<float> out(bytes.size() / sizeof(float));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
        return out;
    }

    fs::path FDir;
    std::string FFile;
};

TEST_F(DeviceWaveOut, TwoMonoStreamsKeepToTheirSpeakersAtTheirFrequencies) {
    PlayTwoTones(LeftTone(0.5), RightTone(0.5));
    if (HasFatalFailure()) return;

    const auto out = Output();
    const std::size_t frames = out.size() / 2;
    const std::size_t start = FirstSound(out.data(), frames);
    ASSERT_LT(start + 4800 + 9600, frames);
    ExpectTwoTones(out.data() + 2 * (start + 4800), 9600, 48000);
}

TEST_F(DeviceWaveOut, SixHandlesLoseAndRepeatNothing) {
    constexpr std::size_t kFrames = 12000;
    std::vector<std::unique_ptr<Block>> blocks[kCountHandles];
    Messages m[kCountHandles];
    HWAVEOUT h[kCountHandles] = {};
    for (int k = 0; k < kCountHandles; ++k) {
        ASSERT_EQ(Open(h[k], Format(2, 32, 48000, 0x3), m[k]), MMSYSERR_NOERROR);
        blocks[k] = Split(CountSamples(k, kFrames), 1000 * 8);
    }
    // Written while the device plays, so the audio thread and the writers meet.
    for (std::size_t i = 0; i < blocks[0].size(); ++i)
        for (int k = 0; k < kCountHandles; ++k) {
            ASSERT_EQ(waveOutPrepareHeader(h[k], &blocks[k][i]->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            ASSERT_EQ(waveOutWrite(h[k], &blocks[k][i]->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
    for (int k = 0; k < kCountHandles; ++k) {
        ASSERT_TRUE(m[k].WaitFor(WOM_DONE, blocks[k].size()));
        const auto done = m[k].Done();
        for (std::size_t i = 0; i < done.size(); ++i) EXPECT_EQ(done[i], &blocks[k][i]->Header);
    }
    for (int k = 0; k < kCountHandles; ++k) ASSERT_EQ(waveOutClose(h[k]), MMSYSERR_NOERROR);
    const auto out = Output();
    const auto played = CountsPlayed(out.data(), out.size() / 2);
    for (int k = 0; k < kCountHandles; ++k) EXPECT_EQ(played[k], kFrames) << k;
}

TEST_F(DeviceWaveOut, ADeviceThatCannotOpenFailsCleanly) {
    EXPECT_EQ(waveOutGetNumDevs(), 1u);
    WAVEOUTCAPSW caps{};
    ASSERT_EQ(waveOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_GT(std::u16string(caps.szPname).size(), 0u);

    const std::string unwritable = (FDir / "missing" / "device.raw").string();
    setenv("SDL_DISKAUDIOFILE", unwritable.c_str(), 1);
    const int threads = ThreadCount();
    Messages m;
    HWAVEOUT h = nullptr;
    EXPECT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m), MMSYSERR_NODRIVER);
    EXPECT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m, 0), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, nullptr);
    EXPECT_LE(SettledThreadCount(threads), threads);
    EXPECT_EQ(m.Count(WOM_OPEN), 0u);

    setenv("SDL_DISKAUDIOFILE", FFile.c_str(), 1);
    ASSERT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_LE(SettledThreadCount(threads), threads);
}

}  // namespace
}  // namespace dcs
