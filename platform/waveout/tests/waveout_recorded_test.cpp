// The recorded backend: real time, WAV files a listener (or sox) can open.
#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutInternal.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace dcs {
namespace {

using namespace wavetest;
namespace fs = std::filesystem;

std::vector<char> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
}

// The data chunk of a WAV file written by the layer.
std::vector<char> WavData(const fs::path& path) {
    const auto bytes = ReadFile(path);
    for (std::size_t i = 12; i + 8 <= bytes.size();) {
        std::uint32_t size;
        std::memcpy(&size, &bytes[i + 4], 4);
        if (std::memcmp(&bytes[i], "data", 4) == 0) {
            EXPECT_EQ(i + 8 + size, bytes.size()) << "data size in the header";
            return std::vector<char>(bytes.begin() + long(i) + 8, bytes.end());
        }
        i += 8 + size + (size & 1);
    }
    ADD_FAILURE() << "no data chunk in " << path;
    return {};
}

// What sox reads from the file's header: "<rate> <channels> <bits>", or "" without sox.
std::string SoxInfo(const fs::path& path) {
    std::string result;
    for (const char* opt : {"-r", "-c", "-b"}) {
        const std::string cmd = "sox --i " + std::string(opt) + " '" + path.string() + "' 2>/dev/null";
        std::FILE* p = popen(cmd.c_str(), "r");
        if (p == nullptr) return "";
        char line[64] = {};
        const bool read = std::fgets(line, sizeof line, p) != nullptr;
        if (pclose(p) != 0 || !read) return "";
        result += (result.empty() ? "" : " ") + std::string(line, std::strcspn(line, "\n"));
    }
    return result;
}

TEST(RecordedWaveOut, WritesWhatEachHandlePlayedAndTheRoutedMix) {
    const fs::path dir = fs::temp_directory_path() / ("dcs-recorded-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    ASSERT_TRUE(WaveOutSelectBackend("recorded"));

    const auto leftSamples = LeftTone(0.5), rightSamples = RightTone(0.5);
    PlayTwoTones(leftSamples, rightSamples);
    if (HasFatalFailure()) return;
    std::vector<fs::path> outs, mixes;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("out-", 0) == 0) outs.push_back(e.path());
        if (name.rfind("mix-", 0) == 0) mixes.push_back(e.path());
    }
    ASSERT_EQ(outs.size(), 2u);
    ASSERT_EQ(mixes.size(), 1u);
    // Handles are numbered in opening order: the left one first.
    std::sort(outs.begin(), outs.end(), [](const fs::path& a, const fs::path& b) {
        return std::stoul(a.stem().string().substr(4)) < std::stoul(b.stem().string().substr(4));
    });
    EXPECT_EQ(WavData(outs[0]), leftSamples);
    EXPECT_EQ(WavData(outs[1]), rightSamples);

    const auto pcm = WavData(mixes[0]);
    std::vector<float> mix(pcm.size() / 2);
    for (std::size_t i = 0; i < mix.size(); ++i) {
        std::int16_t v;
        std::memcpy(&v, &pcm[2 * i], 2);
        mix[i] = float(v) / 32768.0f;
    }
    // The two handles start on two calls, which a loaded machine can set far apart: look
    // only where both sound.
    const std::size_t frames = mix.size() / 2;
    std::size_t start = 0;
    for (int channel : {0, 1}) {
        std::size_t i = 0;
        while (i < frames && std::fabs(mix[2 * i + std::size_t(channel)]) < 0.01f) ++i;
        start = std::max(start, i);
    }
    ASSERT_LT(start + 2400 + 9600, frames);
    ExpectTwoTones(mix.data() + 2 * (start + 2400), 9600, 48000);

    const auto log = ReadFile(dir / "calls.log");
    EXPECT_NE(std::string(log.begin(), log.end()).find("waveOutOpen device mapper flags 0x30000 1ch 24/24bit 22050Hz mask 0x2"),
              std::string::npos);

    const std::string info = SoxInfo(mixes[0]);
    if (!info.empty()) {
        EXPECT_EQ(info, "48000 2 16");
        EXPECT_EQ(SoxInfo(outs[1]), "22050 1 24");
    }
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

TEST(RecordedWaveOut, AFirstHandleThatCannotJoinLeavesNoThreadBehind) {
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
    for (const auto& e : fs::directory_iterator(dir)) mixes += e.path().filename().string().rfind("mix-", 0) == 0;
    EXPECT_EQ(mixes, 2);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_LE(SettledThreadCount(threads), threads);
    unsetenv("DCS_AUDIO_DIR");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace dcs
