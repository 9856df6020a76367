// The layer's behaviour in virtual time: routing, levels, resampling, block life cycle,
// errors and injected failures. The scenarios every backend shares are in
// waveout_backends_test.
#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

namespace dcs {
namespace {

using namespace wavetest;

class VirtualWaveOut : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaveOutSelectBackend("virtual"));
        ASSERT_TRUE(waveout_virtual::Configure({"Virtual output"}, 48000));
    }
};

TEST_F(VirtualWaveOut, EveryFormatPlaysAtItsLevel)
{
    // A constant of +0.5 of full scale comes out as 0.5 whatever the container, and a
    // stereo stream's channels reach their own speakers.
    for (unsigned bits : {8u, 16u, 24u, 32u}) {
        SCOPED_TRACE(bits);
        std::vector<char> data;
        for (int i = 0; i < 480; ++i) {
            PutSample(data, bits, 0.5);
            PutSample(data, bits, -0.25);
        }
        Block b(data);
        Messages m;
        HWAVEOUT h = nullptr;
        ASSERT_EQ(Open(h, Format(2, bits, 48000, 0x3), m), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutPrepareHeader(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        const auto out = waveout_virtual::Advance(480);
        EXPECT_NEAR(out[200], 0.5, 1e-6);
        EXPECT_NEAR(out[201], -0.25, 1e-6);
        ASSERT_TRUE(m.WaitFor(WOM_DONE, 1));
        EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    }
}

TEST_F(VirtualWaveOut, ChannelMaskPlacesChannels)
{
    struct Case {
        unsigned channels;
        DWORD mask;
        float left, right;  // of channel 0
    } cases[] = {
        {1, SPEAKER_FRONT_LEFT, 1, 0},
        {1, SPEAKER_FRONT_RIGHT, 0, 1},
        {1, SPEAKER_FRONT_CENTER, 0.7071f, 0.7071f},
        {1, 0, 0.7071f, 0.7071f},                               // no mask: mono in the middle
        {2, SPEAKER_FRONT_RIGHT | SPEAKER_FRONT_CENTER, 0, 1},  // first named speaker first
        {3, SPEAKER_FRONT_LEFT, 1, 0},                          // channels 1, 2 unheard
        {6, 0x3F, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        std::vector<char> data;
        for (int i = 0; i < 96; ++i)
            for (unsigned ch = 0; ch < c.channels; ++ch)
                PutSample(data, 16, ch == 0 ? 0.5 : 0.0);
        Block b(data);
        Messages m;
        HWAVEOUT h = nullptr;
        ASSERT_EQ(Open(h, Format(c.channels, 16, 48000, c.mask), m), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutPrepareHeader(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        const auto out = waveout_virtual::Advance(96);
        EXPECT_NEAR(out[100], 0.5 * c.left, 1e-4);
        EXPECT_NEAR(out[101], 0.5 * c.right, 1e-4);
        ASSERT_TRUE(m.WaitFor(WOM_DONE, 1));
        EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    }
}

TEST_F(VirtualWaveOut, CompletionFollowsConsumption)
{
    // 100 ms blocks at 22050 Hz are done once 100 ms of the 48000 Hz output has gone.
    auto blocks = Split(Tone(16, 22050, 4410, 440, 0.5), 2205 * 2);
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 22050, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    WriteAll(h, blocks);
    waveout_virtual::Advance(4700);
    EXPECT_FALSE(m.WaitFor(WOM_DONE, 1, std::chrono::milliseconds(50)));
    EXPECT_FALSE(blocks[0]->Header.dwFlags & WHDR_DONE);
    waveout_virtual::Advance(200);
    ASSERT_TRUE(m.WaitFor(WOM_DONE, 1));
    EXPECT_EQ(m.Count(WOM_DONE), 1u);
    waveout_virtual::Advance(5000);
    ASSERT_TRUE(m.WaitFor(WOM_DONE, 2));
    EXPECT_TRUE(blocks[1]->Header.dwFlags & WHDR_DONE);
    EXPECT_FALSE(blocks[1]->Header.dwFlags & WHDR_INQUEUE);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(VirtualWaveOut, PausedHandleQueuesAndRestartPlaysEverything)
{
    auto blocks = Split(Tone(16, 48000, 4800, 1000, 0.5), 960 * 2);
    auto more = Split(Tone(16, 48000, 4800, 1000, 0.5), 4800 * 2);
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
    WriteAll(h, blocks);
    const auto silent = waveout_virtual::Advance(9600);
    EXPECT_EQ(FirstSound(silent.data(), 9600), 9600u);
    EXPECT_FALSE(m.WaitFor(WOM_DONE, 1, std::chrono::milliseconds(50)));
    ASSERT_EQ(waveOutRestart(h), MMSYSERR_NOERROR);
    const auto out = waveout_virtual::Advance(4800);
    EXPECT_NEAR(Amplitude(out.data(), 4800, 2, 1000, 48000), 0.5, 1e-3);
    ASSERT_TRUE(m.WaitFor(WOM_DONE, blocks.size()));
    const auto done = m.Done();
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(done[i], &blocks[i]->Header);
    // Pausing mid-block holds the rest of it.
    WriteAll(h, more);
    waveout_virtual::Advance(2400);
    ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
    EXPECT_EQ(FirstSound(waveout_virtual::Advance(4800).data(), 4800), 4800u);
    ASSERT_EQ(waveOutRestart(h), MMSYSERR_NOERROR);
    const auto rest = waveout_virtual::Advance(4800);
    EXPECT_LT(FirstSound(rest.data(), 4800), 10u);
    EXPECT_EQ(FirstSound(rest.data() + 2 * 2400, 2400), 2400u);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(VirtualWaveOut, ResetReturnsPendingBlocksAndCloseRefusesWhilePlaying)
{
    auto blocks = Split(Tone(16, 48000, 4800, 1000, 0.5), 1600 * 2);
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    WriteAll(h, blocks);
    waveout_virtual::Advance(800);
    EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    // Done before reset returns, so the headers can be unprepared at once.
    for (auto& b : blocks) {
        EXPECT_EQ(b->Header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
        EXPECT_EQ(waveOutUnprepareHeader(h, &b->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(FirstSound(waveout_virtual::Advance(4800).data(), 4800), 4800u);
    ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    // The close returned after WOM_CLOSE was delivered, last, on the layer's thread.
    std::lock_guard lock(m.Mutex);
    ASSERT_EQ(m.List.size(), 5u);
    EXPECT_EQ(m.List.front().first, WOM_OPEN);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(m.List[1 + i].second, &blocks[i]->Header);
    EXPECT_EQ(m.List.back().first, WOM_CLOSE);
    EXPECT_NE(m.Thread, std::this_thread::get_id());
}

TEST_F(VirtualWaveOut, HeaderAndHandleErrors)
{
    Block b(Tone(16, 48000, 480, 1000, 0.5));
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutPrepareHeader(h, &b.Header, 32), MMSYSERR_INVALPARAM);
    ASSERT_EQ(waveOutPrepareHeader(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(h, &b.Header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutPrepareHeader(h, &b.Header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(h, &b.Header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutPause(nullptr), MMSYSERR_INVALHANDLE);
}

TEST_F(VirtualWaveOut, FormatsAcceptedAndRefused)
{
    for (unsigned ch = 1; ch <= 8; ++ch)
        for (unsigned bits : {8u, 16u, 24u, 32u})
            for (unsigned rate : {8000u, 11025u, 22050u, 44100u, 96000u}) {
                const auto f = Format(ch, bits, rate, 0);
                EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f.Format, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR)
                    << ch << " " << bits << " " << rate;
            }
    WAVEFORMATEX pcm {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &pcm, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);

    auto bad = [](auto change) {
        auto f = Format(2, 16, 44100, 3);
        change(f);
        return waveOutOpen(nullptr, WAVE_MAPPER, &f.Format, 0, 0, WAVE_FORMAT_QUERY);
    };
    EXPECT_EQ(bad([](auto& f) { f.Format.wFormatTag = 3; }), WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) { f.Format.cbSize = 0; }), WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) { f.SubFormat.D1 = 3; }), WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) {
                  f.Format.nChannels = 0;
                  f.Format.nBlockAlign = 0;
              }),
              WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) {
                  f.Format.nChannels = 9;
                  f.Format.nBlockAlign = 18;
              }),
              WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) {
                  f.Format.wBitsPerSample = 12;
                  f.Format.nBlockAlign = 3;
              }),
              WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) { f.Format.nBlockAlign = 3; }), WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) { f.wValidBitsPerSample = 20; }), WAVERR_BADFORMAT);
    EXPECT_EQ(bad([](auto& f) { f.Format.nSamplesPerSec = 0; }), WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, nullptr, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_INVALPARAM);
}

TEST_F(VirtualWaveOut, FailedOpenLeavesNoThreadOrHandle)
{
    const auto f = Format(1, 16, 22050, SPEAKER_FRONT_LEFT);
    Messages m;
    const int threads = ThreadCount();
    HWAVEOUT h = reinterpret_cast<HWAVEOUT>(0x1);
    waveout_virtual::FailNext(WaveOutCall::Open, MMSYSERR_ALLOCATED);
    EXPECT_EQ(Open(h, f, m), MMSYSERR_ALLOCATED);
    EXPECT_EQ(Open(h, f, m, 1), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f.Format, 0, 0, 0x00010000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(h, reinterpret_cast<HWAVEOUT>(0x1));
    EXPECT_LE(SettledThreadCount(threads), threads);
    EXPECT_EQ(m.Count(WOM_OPEN), 0u);
    EXPECT_TRUE(waveout_virtual::Opens().empty());
    // The device is usable afterwards, and the open is recorded with its flags.
    ASSERT_EQ(waveOutOpen(&h, 0, &f.Format, m.Callback(), m.Instance(), 0x30006), MMSYSERR_NOERROR);
    ASSERT_TRUE(m.WaitFor(WOM_OPEN, 1));
    ASSERT_EQ(waveout_virtual::Opens().size(), 1u);
    EXPECT_EQ(waveout_virtual::Opens()[0].DeviceId, 0u);
    EXPECT_EQ(waveout_virtual::Opens()[0].Flags, 0x30006u);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_LE(SettledThreadCount(threads), threads);
}

TEST_F(VirtualWaveOut, InjectedFailuresOfTheOtherCalls)
{
    Block block(Tone(16, 48000, 480, 1000, 0.5));
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    waveout_virtual::FailNext(WaveOutCall::Pause, MMSYSERR_ERROR);
    waveout_virtual::FailNext(WaveOutCall::Restart, MMSYSERR_NOMEM);
    waveout_virtual::FailNext(WaveOutCall::Reset, MMSYSERR_NODRIVER);
    waveout_virtual::FailNext(WaveOutCall::Caps, MMSYSERR_NOTENABLED);
    EXPECT_EQ(waveOutPause(h), MMSYSERR_ERROR);
    EXPECT_EQ(waveOutRestart(h), MMSYSERR_NOMEM);
    EXPECT_EQ(waveOutReset(h), MMSYSERR_NODRIVER);
    WAVEOUTCAPSW caps {};
    EXPECT_EQ(waveOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOTENABLED);
    // One failure each: the next calls succeed.
    EXPECT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutRestart(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);

    // A refused block is neither prepared nor queued: the handle still closes.
    waveout_virtual::FailNext(WaveOutCall::Prepare, MMSYSERR_NOMEM);
    EXPECT_EQ(waveOutPrepareHeader(h, &block.Header, sizeof(WAVEHDR)), MMSYSERR_NOMEM);
    EXPECT_EQ(block.Header.dwFlags & WHDR_PREPARED, 0u);
    ASSERT_EQ(waveOutPrepareHeader(h, &block.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    waveout_virtual::FailNext(WaveOutCall::Write, MMSYSERR_ERROR);
    EXPECT_EQ(waveOutWrite(h, &block.Header, sizeof(WAVEHDR)), MMSYSERR_ERROR);
    EXPECT_EQ(block.Header.dwFlags & WHDR_INQUEUE, 0u);
    EXPECT_EQ(waveOutUnprepareHeader(h, &block.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(VirtualWaveOut, DeviceCapabilities)
{
    // 30 letters and a character outside the 16-bit plane: the pair does not fit in 31.
    const std::string longName = std::string(30, 'a') + "\xF0\x9F\x8E\xB5";
    ASSERT_TRUE(waveout_virtual::Configure({"Speakers", "Kopfh\xC3\xB6rer", longName}));
    EXPECT_EQ(waveOutGetNumDevs(), 3u);
    WAVEOUTCAPSW caps {};
    ASSERT_EQ(waveOutGetDevCapsW(1, &caps, 84), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(caps.szPname), u"Kopfh\u00F6rer");
    ASSERT_EQ(waveOutGetDevCapsW(2, &caps, 84), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(caps.szPname), std::u16string(30, u'a'));
    ASSERT_EQ(waveOutGetDevCapsW(WAVE_MAPPER, &caps, 84), MMSYSERR_NOERROR);
    EXPECT_EQ(std::u16string(caps.szPname), u"Speakers");
    EXPECT_EQ(waveOutGetDevCapsW(3, &caps, 84), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutGetDevCapsW(0, nullptr, 84), MMSYSERR_INVALPARAM);
}

TEST_F(VirtualWaveOut, UnderrunsAreCountedNotFatal)
{
    auto first = Split(Tone(16, 48000, 480, 1000, 0.5), 960);
    auto second = Split(Tone(16, 48000, 480, 1000, 0.5), 960);
    const std::uint64_t before = WaveOutTotalUnderruns();
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    WriteAll(h, first);
    waveout_virtual::Advance(960);  // runs dry
    WriteAll(h, second);
    waveout_virtual::Advance(480);
    ASSERT_TRUE(m.WaitFor(WOM_DONE, 2));
    EXPECT_EQ(WaveOutUnderruns(h), 1u);
    waveout_virtual::Advance(960);  // the end of a stream is no underrun
    EXPECT_EQ(WaveOutUnderruns(h), 1u);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(WaveOutTotalUnderruns() - before, 1u) << "a closed handle's underruns still count in the total";
}

TEST_F(VirtualWaveOut, ACallbackMayCloseItsOwnHandle)
{
    // Closing waits for the handle's thread, so on that thread it must not wait.
    struct Context {
        HWAVEOUT Handle = nullptr;
        std::atomic<MMRESULT> Closed {~0u};
        std::atomic<bool> GotClose {false};
        static void Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR)
        {
            auto* c = reinterpret_cast<Context*>(instance);
            if (message == WOM_DONE)
                c->Closed = waveOutClose(c->Handle);
            if (message == WOM_CLOSE)
                c->GotClose = true;
        }
    };
    Block b(Tone(16, 48000, 480, 1000, 0.5));
    Context c;  // WOM_CLOSE's store is the thread's last touch of it
    const auto f = Format(1, 16, 48000, SPEAKER_FRONT_LEFT);
    ASSERT_EQ(waveOutOpen(&c.Handle, WAVE_MAPPER, &f.Format, reinterpret_cast<DWORD_PTR>(&Context::Proc),
                          reinterpret_cast<DWORD_PTR>(&c), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPrepareHeader(c.Handle, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(c.Handle, &b.Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    waveout_virtual::Advance(960);
    for (int i = 0; i < 500 && !c.GotClose; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(c.GotClose);
    EXPECT_EQ(c.Closed, MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPause(c.Handle), MMSYSERR_INVALHANDLE);
}

TEST(WaveOutBackendChoice, RefusedWhileAHandleIsOpen)
{
    ASSERT_TRUE(WaveOutSelectBackend("virtual"));
    ASSERT_TRUE(waveout_virtual::Configure({"Virtual output"}));
    EXPECT_FALSE(WaveOutSelectBackend("speakers"));
    Messages m;
    HWAVEOUT h = nullptr;
    ASSERT_EQ(Open(h, Format(1, 16, 48000, SPEAKER_FRONT_LEFT), m), MMSYSERR_NOERROR);
    EXPECT_FALSE(WaveOutSelectBackend("recorded"));
    EXPECT_FALSE(waveout_virtual::Configure({"Other"}));
    EXPECT_STREQ(WaveOutBackendName(), "virtual");
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_TRUE(WaveOutSelectBackend("recorded"));
    EXPECT_TRUE(WaveOutSelectBackend("virtual"));
}

}  // namespace
}  // namespace dcs
