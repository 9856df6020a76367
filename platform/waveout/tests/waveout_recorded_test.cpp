// The recorded backend: real time, WAV files a listener (or sox) can open. Its two-tone
// recording is checked with the scenarios every backend shares, in waveout_backends_test.
#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutInternal.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace dcs {
namespace {

using namespace wavetest;
namespace fs = std::filesystem;

TEST(RecordedWaveOut, AFirstHandleThatCannotJoinLeavesNoThreadBehind)
{
    const fs::path dir = fs::temp_directory_path() / ("dcs-recorded-fail-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    const auto f = Format(1, 16, 22050, SPEAKER_FRONT_LEFT);
    // The number the next handle gets, learnt from a handle of the virtual backend.
    ASSERT_TRUE(WaveOutSelectBackend("virtual"));
    std::uint32_t next;
    {
        Messages m;
        HWAVEOUT h = nullptr;
        ASSERT_EQ(Open(h, f, m), MMSYSERR_NOERROR);
        next = h->Id + 1;
        ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    }
    ASSERT_TRUE(WaveOutSelectBackend("recorded"));
    const int threads = ThreadCount();
    // Its file cannot be written: a folder stands in the way.
    fs::create_directories(dir / ("out-" + std::to_string(next) + ".wav"));
    Messages failed;
    HWAVEOUT h = nullptr;
    EXPECT_EQ(Open(h, f, failed), MMSYSERR_NODRIVER);
    EXPECT_LE(SettledThreadCount(threads), threads);
    // The output starts afresh, with a mix of its own, for the next handle.
    Messages m;
    ASSERT_EQ(Open(h, f, m), MMSYSERR_NOERROR);
    int mixes = 0;
    for (const auto& e : fs::directory_iterator(dir))
        mixes += e.path().filename().string().rfind("mix-", 0) == 0;
    EXPECT_EQ(mixes, 2);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_LE(SettledThreadCount(threads), threads);
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace dcs
