// The scenarios every backend must play alike, run once per backend: the virtual device
// in virtual time, the recorded WAV files in real time, and the device through SDL's own
// file-writing driver (the real conversion, resampling, routing and audio thread, without
// a sound card), skipped where no device opens. What only one backend does is tested
// beside it: here for the device, in waveout_virtual_test and waveout_recorded_test.
#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

namespace dcs {
namespace {

using namespace wavetest;
namespace fs = std::filesystem;

std::vector<char> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), {});
}

// One backend as the shared scenarios drive it. Every output it gives is interleaved
// stereo float at 48000 Hz.
class Backend {
public:
    virtual ~Backend() = default;
    // Selects the backend, its files (if any) in dir; skips the test where it cannot run.
    virtual void SetUp(const fs::path& dir) = 0;
    virtual void TearDown() {}
    // Plays both tones to the end and closes their handles; out is what was heard.
    virtual void PlayTwoTones(const std::vector<char>& left, const std::vector<char>& right, std::vector<float>& out)
    {
        wavetest::PlayTwoTones(left, right);
        if (!::testing::Test::HasFatalFailure())
            Output(out);
    }
    // The first frame of out from which both tones must be steady.
    virtual std::size_t TonesFrom(const std::vector<float>& out) = 0;
    // What the backend keeps of the two tones besides the sound.
    virtual void CheckTwoToneRecords(const std::vector<char>&, const std::vector<char>&) {}
    // False where the output cannot carry the six handles' counts exactly.
    virtual bool ExactMix() const { return true; }
    // Lets the written blocks play, in virtual time where time is virtual.
    virtual void Run(std::vector<float>&) {}
    // What was heard, once every handle is closed.
    virtual void Output(std::vector<float>& out) = 0;
};

class VirtualBackend : public Backend {
public:
    void SetUp(const fs::path&) override
    {
        ASSERT_TRUE(WaveOutSelectBackend("virtual"));
        ASSERT_TRUE(waveout_virtual::Configure({"Virtual output"}, 48000));
    }
    void PlayTwoTones(const std::vector<char>& left, const std::vector<char>& right, std::vector<float>& out) override
    {
        // Written without a pause: in virtual time nothing plays before the first pull.
        auto lb = Split(left, 4096 * 2);
        auto rb = Split(right, 1024 * 3);
        Messages ml, mr;
        HWAVEOUT hl = nullptr, hr = nullptr;
        ASSERT_EQ(Open(hl, Format(1, 16, 44100, SPEAKER_FRONT_LEFT), ml), MMSYSERR_NOERROR);
        ASSERT_EQ(Open(hr, Format(1, 24, 22050, SPEAKER_FRONT_RIGHT), mr), MMSYSERR_NOERROR);
        WriteAll(hl, lb);
        WriteAll(hr, rb);
        // Pulled as a device pulls, in short periods: the converter must not drift.
        for (int i = 0; i < 24; ++i) {
            auto part = waveout_virtual::Advance(1024);
            out.insert(out.end(), part.begin(), part.end());
        }
        waveout_virtual::Advance(4800);
        ASSERT_TRUE(ml.WaitFor(WOM_DONE, lb.size()));
        ASSERT_TRUE(mr.WaitFor(WOM_DONE, rb.size()));
        EXPECT_EQ(waveOutClose(hl), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutClose(hr), MMSYSERR_NOERROR);
    }
    // Virtual time starts with the first pull: the tones settle after 100 ms exactly.
    std::size_t TonesFrom(const std::vector<float>&) override { return 4800; }
    void Run(std::vector<float>& out) override
    {
        for (int i = 0; i < 14; ++i) {  // uneven pulls, as a device makes them
            auto part = waveout_virtual::Advance(1000 + 37 * i);
            out.insert(out.end(), part.begin(), part.end());
        }
    }
    void Output(std::vector<float>&) override {}
};

class RecordedBackend : public Backend {
public:
    void SetUp(const fs::path& dir) override
    {
        FDir = dir;
        setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
        ASSERT_TRUE(WaveOutSelectBackend("recorded"));
    }
    void TearDown() override { unsetenv("DCS_AUDIO_DIR"); }
    // The two handles start on two calls, which a loaded machine can set far apart: look
    // only where both sound.
    std::size_t TonesFrom(const std::vector<float>& mix) override
    {
        const std::size_t frames = mix.size() / 2;
        std::size_t start = 0;
        for (int channel : {0, 1}) {
            std::size_t i = 0;
            while (i < frames && std::fabs(mix[2 * i + std::size_t(channel)]) < 0.01f)
                ++i;
            start = std::max(start, i);
        }
        return start + 2400;
    }
    void CheckTwoToneRecords(const std::vector<char>& left, const std::vector<char>& right) override
    {
        // Handles are numbered in opening order: the left one first.
        auto outs = Files("out-");
        ASSERT_EQ(outs.size(), 2u);
        std::sort(outs.begin(), outs.end(), [](const fs::path& a, const fs::path& b) {
            return std::stoul(a.stem().string().substr(4)) < std::stoul(b.stem().string().substr(4));
        });
        EXPECT_EQ(WavData(outs[0]), left);
        EXPECT_EQ(WavData(outs[1]), right);

        const auto log = ReadFile(FDir / "calls.log");
        EXPECT_NE(std::string(log.begin(), log.end())
                      .find("waveOutOpen device mapper flags 0x30000 1ch 24/24bit 22050Hz mask 0x2"),
                  std::string::npos);

        const std::string info = SoxInfo(Files("mix-").at(0));
        if (!info.empty()) {
            EXPECT_EQ(info, "48000 2 16");
            EXPECT_EQ(SoxInfo(outs[1]), "22050 1 24");
        }
    }
    // The mix file holds 16-bit samples: the counts of the six handles do not survive it.
    bool ExactMix() const override { return false; }
    void Output(std::vector<float>& out) override
    {
        const auto mixes = Files("mix-");
        ASSERT_EQ(mixes.size(), 1u);
        const auto pcm = WavData(mixes[0]);
        out.resize(pcm.size() / 2);
        for (std::size_t i = 0; i < out.size(); ++i) {
            std::int16_t v;
            std::memcpy(&v, &pcm[2 * i], 2);
            out[i] = float(v) / 32768.0f;
        }
    }

private:
    std::vector<fs::path> Files(const std::string& prefix) const
    {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(FDir))
            if (e.path().filename().string().rfind(prefix, 0) == 0)
                found.push_back(e.path());
        return found;
    }

    // The data chunk of a WAV file written by the layer.
    static std::vector<char> WavData(const fs::path& path)
    {
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
    static std::string SoxInfo(const fs::path& path)
    {
        std::string result;
        for (const char* opt : {"-r", "-c", "-b"}) {
            const std::string cmd = "sox --i " + std::string(opt) + " '" + path.string() + "' 2>/dev/null";
            std::FILE* p = popen(cmd.c_str(), "r");
            if (p == nullptr)
                return "";
            char line[64] = {};
            const bool read = std::fgets(line, sizeof line, p) != nullptr;
            if (pclose(p) != 0 || !read)
                return "";
            result += (result.empty() ? "" : " ") + std::string(line, std::strcspn(line, "\n"));
        }
        return result;
    }

    fs::path FDir;
};

class DeviceBackend : public Backend {
public:
    void SetUp(const fs::path& dir) override
    {
        // The driver is chosen when SDL's audio starts, the file when the device opens;
        // a short delay per buffer lets the driver run faster than real time.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIODELAY", "2", 1);
        File = (dir / "device.raw").string();
        setenv("SDL_DISKAUDIOFILE", File.c_str(), 1);
        ASSERT_TRUE(WaveOutSelectBackend("device"));
        if (waveOutGetNumDevs() == 0)
            GTEST_SKIP() << "no audio device opens here";
    }
    std::size_t TonesFrom(const std::vector<float>& out) override
    {
        return FirstSound(out.data(), out.size() / 2) + 4800;
    }
    void Output(std::vector<float>& out) override
    {
        const auto bytes = ReadFile(File);
        out.resize(bytes.size() / sizeof(float));
        std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    }

    std::string File;
};

struct BackendCase {
    const char* Name;
    std::unique_ptr<Backend> (*Make)();
};

void PrintTo(const BackendCase& c, std::ostream* os) { *os << c.Name; }

template <class B> std::unique_ptr<Backend> MakeBackend() { return std::make_unique<B>(); }

// A folder of its own per test, for the files a backend writes; gone with the test.
struct TestFolder {
    TestFolder()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '-');
        Path = fs::temp_directory_path() / ("dcs-waveout-" + std::to_string(::getpid()) + "-" + name);
        fs::create_directories(Path);
    }
    ~TestFolder() { fs::remove_all(Path); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    fs::path Path;
};

class WaveOutBackends : public ::testing::TestWithParam<BackendCase> {
protected:
    void SetUp() override
    {
        FBackend = GetParam().Make();
        FBackend->SetUp(FDir.Path);
    }
    void TearDown() override { FBackend->TearDown(); }

    TestFolder FDir;
    std::unique_ptr<Backend> FBackend;
};

TEST_P(WaveOutBackends, TwoMonoStreamsKeepToTheirSpeakersAtTheirFrequencies)
{
    // Plate drive on the left (16-bit, 44100 Hz), audio on the right (24-bit, 22050 Hz):
    // both resampled to 48000 Hz and routed by their masks.
    const auto left = LeftTone(0.5), right = RightTone(0.5);
    std::vector<float> out;
    FBackend->PlayTwoTones(left, right, out);
    if (HasFatalFailure())
        return;
    const std::size_t from = FBackend->TonesFrom(out);
    ASSERT_LT(from + 9600, out.size() / 2);
    ExpectTwoTones(out.data() + 2 * from, 9600, 48000);
    FBackend->CheckTwoToneRecords(left, right);
}

TEST_P(WaveOutBackends, SixHandlesLoseAndRepeatNothing)
{
    if (!FBackend->ExactMix())
        GTEST_SKIP() << "the output cannot carry the counts exactly";
    constexpr std::size_t kFrames = 12000;
    std::vector<std::unique_ptr<Block>> blocks[kCountHandles];
    Messages m[kCountHandles];
    HWAVEOUT h[kCountHandles] = {};
    for (int k = 0; k < kCountHandles; ++k) {
        ASSERT_EQ(Open(h[k], Format(2, 32, 48000, 0x3), m[k]), MMSYSERR_NOERROR);
        blocks[k] = Split(CountSamples(k, kFrames), 1000 * 8);
    }
    // Written in turns, so where the output plays meanwhile, its thread and the writers meet.
    for (std::size_t i = 0; i < blocks[0].size(); ++i)
        for (int k = 0; k < kCountHandles; ++k) {
            ASSERT_EQ(waveOutPrepareHeader(h[k], &blocks[k][i]->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            ASSERT_EQ(waveOutWrite(h[k], &blocks[k][i]->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        }
    std::vector<float> out;
    FBackend->Run(out);
    for (int k = 0; k < kCountHandles; ++k) {
        ASSERT_TRUE(m[k].WaitFor(WOM_DONE, blocks[k].size()));
        const auto done = m[k].Done();
        ASSERT_EQ(done.size(), blocks[k].size());
        for (std::size_t i = 0; i < done.size(); ++i)
            EXPECT_EQ(done[i], &blocks[k][i]->Header);
    }
    for (int k = 0; k < kCountHandles; ++k)
        ASSERT_EQ(waveOutClose(h[k]), MMSYSERR_NOERROR);
    FBackend->Output(out);
    const auto played = CountsPlayed(out.data(), out.size() / 2);
    for (int k = 0; k < kCountHandles; ++k)
        EXPECT_EQ(played[k], kFrames) << k;
}

INSTANTIATE_TEST_SUITE_P(, WaveOutBackends,
                         ::testing::Values(BackendCase {"virtual", MakeBackend<VirtualBackend>},
                                           BackendCase {"recorded", MakeBackend<RecordedBackend>},
                                           BackendCase {"device", MakeBackend<DeviceBackend>}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DeviceWaveOut, ADeviceThatCannotOpenFailsCleanly)
{
    const TestFolder dir;
    DeviceBackend device;
    device.SetUp(dir.Path);
    if (IsSkipped() || HasFatalFailure())
        return;
    EXPECT_EQ(waveOutGetNumDevs(), 1u);
    WAVEOUTCAPSW caps {};
    ASSERT_EQ(waveOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_GT(std::u16string(caps.szPname).size(), 0u);

    const std::string unwritable = (dir.Path / "missing" / "device.raw").string();
    setenv("SDL_DISKAUDIOFILE", unwritable.c_str(), 1);
    const int threads = ThreadCount();
    Messages m;
    HWAVEOUT h = nullptr;
    EXPECT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m), MMSYSERR_NODRIVER);
    EXPECT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m, 0), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, nullptr);
    EXPECT_LE(SettledThreadCount(threads), threads);
    EXPECT_EQ(m.Count(WOM_OPEN), 0u);

    setenv("SDL_DISKAUDIOFILE", device.File.c_str(), 1);
    ASSERT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_LE(SettledThreadCount(threads), threads);
}

}  // namespace
}  // namespace dcs
