// The wave-out player on the virtual wave-out backend: device choice, prefill, pause and
// restart, completion, switching off and on, and device failures.
#include "components/audio/AUAudioOut.h"
#include "components/audio/tests/StreamPinFixtures.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/WaitUntil.h"
#include "testing/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace dcs {
namespace {

using namespace wavetest;
using namespace streamtest;

// Reaches the device half of the player directly.
class TTestAudioOut : public TAUAudioOut {
    DCS_CLASS(TTestAudioOut, TAUAudioOut)
    using TAUAudioOut::CloseDevice;
    using TAUAudioOut::OpenDevice;
    using TAUAudioOut::TAUAudioOut;
    using TAUAudioOut::WriteBlock;
};

TAUWaveFormatExtensible Stereo16(uint32_t rate) { return WaveHeader(2, rate, 16); }

// frames of stereo 16-bit at ARate: left at ALeft, right at ARight.
IntfPtr<IAUAudioBuffer> Constant(uint32_t frames, int16_t ALeft, int16_t ARight, uint32_t ARate)
{
    std::vector<int16_t> samples;
    for (uint32_t i = 0; i < frames; ++i) {
        samples.push_back(ALeft);
        samples.push_back(ARight);
    }
    return IntfPtr<IAUAudioBuffer>(
        TAUAudioBuffer::CreateDataEx(samples.data(), ARate, 16, 2, frames, {spFrontLeft, spFrontRight}));
}

double Peak(const std::vector<float>& AStereo, int AChannel)
{
    double peak = 0;
    for (size_t i = AChannel; i < AStereo.size(); i += 2)
        peak = std::max(peak, std::fabs(double(AStereo[i])));
    return peak;
}

class AudioOut : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WaveOutSelectBackend("virtual"));
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers", "Headphones"}, 48000));
        Out.reset(Create<TTestAudioOut>(nullptr));
    }
    void TearDown() override { Out.reset(); }

    TOwned<TTestAudioOut> Out;
};

TEST_F(AudioOut, ChoosesTheDeviceByExactNameThenAlternativesElseTheDefault)
{
    struct Case {
        const char* Name;
        std::vector<const char*> Alternatives;
        UINT Id;
        DWORD Flags;
    };
    const Case cases[] = {
        {"default", {}, WAVE_MAPPER, 0x30002},
        {"DeFaUlT", {"Headphones"}, WAVE_MAPPER, 0x30002},
        {"Headphones", {}, 1, 0x30006},
        {"headphones", {}, WAVE_MAPPER, 0x30002},  // letter case matters for device names
        {"Nothing", {}, WAVE_MAPPER, 0x30002},
        {"Nothing", {"Absent", "Headphones"}, 1, 0x30006},
        {"Nothing", {"Absent", "DEFAULT", "Headphones"}, WAVE_MAPPER, 0x30002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers", "Headphones"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        out->Device()->SetDeviceName(c.Name);
        for (const char* a : c.Alternatives)
            out->Device()->AlternativeDevices()->Add()->SetDeviceName(a);
        out->OpenDevice(Stereo16(22050));
        ASSERT_EQ(waveout_virtual::Opens().size(), 1u);
        EXPECT_EQ(waveout_virtual::Opens()[0].DeviceId, c.Id);
        EXPECT_EQ(waveout_virtual::Opens()[0].Flags, c.Flags);
        EXPECT_EQ(waveout_virtual::Opens()[0].Format.Format.nSamplesPerSec, 22050u);
    }
}

TEST_F(AudioOut, NewAlternativesSpreadOverTheDevices)
{
    auto* items = Out->Device()->AlternativeDevices();
    EXPECT_EQ(items->Add()->DeviceName(), "Speakers");
    EXPECT_EQ(items->Add()->DeviceName(), "Headphones");
    EXPECT_EQ(items->Add()->DeviceName(), "Speakers");
    ASSERT_TRUE(waveout_virtual::Configure({}, 48000));
    EXPECT_EQ(items->Add()->DeviceName(), "Default");
}

TEST_F(AudioOut, StaysPausedUntilMoreThanThePrefillIsWritten)
{
    // 4096 frames at 22050 Hz count as 185 ms each.
    struct Case {
        uint32_t Prefill;
        uint32_t Frames;
        int BlocksToPlay;  // the block whose writing restarts the device
    };
    for (const Case& c : {Case {300, 4096, 2}, Case {800, 4096, 5}, Case {800, 2205, 9}}) {
        SCOPED_TRACE(c.Prefill);
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        out->SetPrefillInterval(c.Prefill);
        out->OpenDevice(Stereo16(22050));
        for (int i = 1; i < c.BlocksToPlay; ++i)
            out->WriteBlock(Constant(c.Frames, 8192, 0, 22050));
        // Exactly the prefill (8 × 100 ms = 800) is not enough.
        EXPECT_TRUE(out->IsPaused());
        EXPECT_EQ(Peak(waveout_virtual::Advance(4800), 0), 0.0);
        out->WriteBlock(Constant(c.Frames, 8192, 0, 22050));
        EXPECT_FALSE(out->IsPaused());
        // Past the resampler's step response, the level is steady.
        EXPECT_NEAR(waveout_virtual::Advance(4800)[2 * 2400], 0.25, 1e-3);
    }
}

TEST_F(AudioOut, PlayedBlocksAreReleasedAndPlayFromTheirOwnCopy)
{
    Out->SetPrefillInterval(0);
    Out->OpenDevice(Stereo16(48000));
    IntfPtr<IAUAudioBuffer> first = Constant(4800, 16384, -16384, 48000);
    // Another holder shares the samples and changes them after the hand-over.
    IntfPtr<IAUAudioBuffer> shared(TAUAudioBuffer::CreateCopy(first.Get()));
    Out->WriteBlock(first);
    Out->WriteBlock(Constant(4800, 0, 0, 48000));
    EXPECT_EQ(Out->QueuedBlocks(), 2);
    std::memset(shared->Modify(), 0, shared->GetByteSize());

    const auto played = waveout_virtual::Advance(4800);
    EXPECT_NEAR(Peak(played, 0), 0.5, 1e-3);
    EXPECT_NEAR(Peak(played, 1), 0.5, 1e-3);
    ASSERT_TRUE(WaitUntil([&] { return Out->QueuedBlocks() == 1; }));
    waveout_virtual::Advance(4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->QueuedBlocks() == 0; }));
}

TEST_F(AudioOut, SwitchedOffItDropsNewBlocksAndSwitchedOnItReopensPaused)
{
    Out->SetPrefillInterval(0);
    Out->OpenDevice(Stereo16(48000));
    Out->WriteBlock(Constant(4800, 16384, 0, 48000));
    Out->SetEnabled(false);
    Out->WriteBlock(Constant(4800, 16384, 0, 48000));
    EXPECT_TRUE(Out->IsOpen());
    EXPECT_EQ(Out->QueuedBlocks(), 1);
    // What was written before still plays.
    EXPECT_NEAR(Peak(waveout_virtual::Advance(4800), 0), 0.5, 1e-3);
    ASSERT_TRUE(WaitUntil([&] { return Out->QueuedBlocks() == 0; }));

    Out->SetEnabled(true);
    ASSERT_EQ(waveout_virtual::Opens().size(), 2u);
    EXPECT_EQ(waveout_virtual::Opens()[1].Format.Format.nSamplesPerSec, 48000u);
    EXPECT_TRUE(Out->IsPaused());
}

TEST_F(AudioOut, DeviceFailuresGoToOnErrorThenRaise)
{
    struct Case {
        WaveOutCall Call;
        const char* Text;
        bool StaysOpen;
    };
    for (const Case& c : {Case {WaveOutCall::Open, "Can't open audio device.", false},
                          Case {WaveOutCall::Pause, "Can't pause audio device.", true}}) {
        SCOPED_TRACE(c.Text);
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        waveout_virtual::FailNext(c.Call, WAVERR_BADFORMAT);
        try {
            out->OpenDevice(Stereo16(22050));
            ADD_FAILURE() << "no exception";
        } catch (const ESGException& e) {
            EXPECT_EQ(std::string(e.what()), std::string(c.Text) + " - 32 - 20");
        }
        EXPECT_EQ(out->IsOpen(), c.StaysOpen);

        std::vector<std::pair<std::string, int32_t>> reported;
        out->SetOnError([&](TObject* Sender, const std::string& Text, int32_t Code, bool& Handled) {
            EXPECT_EQ(Sender, out.get());
            reported.emplace_back(Text, Code);
            Handled = true;
        });
        waveout_virtual::FailNext(c.Call, MMSYSERR_ALLOCATED);
        out->OpenDevice(Stereo16(22050));
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_EQ(reported[0].first, c.Text);
        EXPECT_EQ(reported[0].second, int32_t(MMSYSERR_ALLOCATED));
    }
}

TEST_F(AudioOut, AFailedResetIsReportedAndTheCloseStillFinishes)
{
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "closed");
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        std::vector<std::string> reported;
        out->SetOnError([&](TObject*, const std::string& Text, int32_t, bool&) { reported.push_back(Text); });
        out->SetPrefillInterval(0);
        out->OpenDevice(Stereo16(48000));
        out->WriteBlock(Constant(4800, 16384, 0, 48000));
        out->WriteBlock(Constant(4800, 16384, 0, 48000));
        waveout_virtual::FailNext(WaveOutCall::Reset, MMSYSERR_ERROR);
        if (destroy) {
            out.reset();
        } else {
            EXPECT_THROW(out->CloseDevice(false), ESGException);
            EXPECT_FALSE(out->IsOpen());
            EXPECT_EQ(out->QueuedBlocks(), 0);
        }
        EXPECT_EQ(reported, std::vector<std::string> {"Can't restart audio device."});
        // The device let go of everything: nothing is left to play or to call back.
        EXPECT_EQ(Peak(waveout_virtual::Advance(9600), 0), 0.0);
        EXPECT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000)) << "a handle is still open";
    }
}

TEST_F(AudioOut, ARefusedBlockIsFreedWithAWarning)
{
    for (WaveOutCall call : {WaveOutCall::Prepare, WaveOutCall::Write}) {
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        std::vector<std::pair<std::string, int32_t>> warnings;
        out->SetOnWarning([&](TObject*, const std::string& Text, int32_t Code) { warnings.emplace_back(Text, Code); });
        out->SetPrefillInterval(0);
        out->OpenDevice(Stereo16(48000));
        IntfPtr<IAUAudioBuffer> refused = Constant(4800, 16384, 0, 48000);
        waveout_virtual::FailNext(call, MMSYSERR_NOMEM);
        out->WriteBlock(refused);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].first,
                  call == WaveOutCall::Prepare ? "Can't prepare audio buffer." : "Can't write audio buffer.");
        EXPECT_EQ(warnings[0].second, int32_t(MMSYSERR_NOMEM));
        EXPECT_EQ(out->QueuedBlocks(), 0);
        EXPECT_EQ(BufferInstance<TAUAudioBuffer>(refused.Get())->RefCount(), 1) << "the player still holds the samples";
        // The next block plays.
        out->WriteBlock(Constant(4800, 8192, 0, 48000));
        EXPECT_EQ(out->QueuedBlocks(), 1);
        EXPECT_NEAR(waveout_virtual::Advance(4800)[2 * 2400], 0.25, 1e-3);
        ASSERT_TRUE(WaitUntil([&] { return out->QueuedBlocks() == 0; }));
    }
}

TEST_F(AudioOut, ADeviceWhoseCapabilitiesFailMatchesNothing)
{
    struct Case {
        const char* Name;
        UINT Id;
    };
    // The failure hits the first device queried, "Speakers".
    for (const Case& c : {Case {"Speakers", WAVE_MAPPER}, Case {"Headphones", 1}}) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers", "Headphones"}, 48000));
        TOwned<TTestAudioOut> out(Create<TTestAudioOut>(nullptr));
        std::vector<std::string> warnings;
        out->SetOnWarning([&](TObject*, const std::string& Text, int32_t) { warnings.push_back(Text); });
        out->Device()->SetDeviceName(c.Name);
        waveout_virtual::FailNext(WaveOutCall::Caps, MMSYSERR_NODRIVER);
        out->OpenDevice(Stereo16(22050));
        EXPECT_EQ(warnings, std::vector<std::string> {"Can't get device capabilities."});
        ASSERT_EQ(waveout_virtual::Opens().size(), 1u);
        EXPECT_EQ(waveout_virtual::Opens()[0].DeviceId, c.Id);
    }
}

// The player fed through its input pin, as a chain feeds it.
class AudioOutStream : public AudioOut {
protected:
    void SetUp() override
    {
        AudioOut::SetUp();
        ASSERT_TRUE(Out->InputPin()->Connect(Source.get()));
    }
    void Start(uint32_t ARate)
    {
        Source->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(2, ARate, 16), false).Get());
    }
    void Send(uint32_t AFrames, uint32_t ARate) { Source->SubmitBuffer(Constant(AFrames, 16384, 0, ARate).Get()); }

    TRecorder Heard;
    TOwned<TAUPNAudioSourcePin> Source =
        Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Heard.Event());
};

TEST_F(AudioOutStream, AStopDuringThePrefillPlaysWhatWasWrittenAtOnce)
{
    Start(22050);
    ASSERT_EQ(waveout_virtual::Opens().size(), 1u);
    Send(4096, 22050);  // 185 ms of the 300 ms prefill
    EXPECT_TRUE(Out->IsPaused());
    Source->Stop();
    EXPECT_FALSE(Out->IsPaused());
    EXPECT_NEAR(waveout_virtual::Advance(9600)[2 * 2400], 0.5, 2e-3);
    ASSERT_TRUE(WaitUntil([&] { return Out->QueuedBlocks() == 0; }));
    // The next start reopens the device.
    Start(44100);
    ASSERT_EQ(waveout_virtual::Opens().size(), 2u);
    EXPECT_EQ(waveout_virtual::Opens()[1].Format.Format.nSamplesPerSec, 44100u);
}

// A device that runs dry while the stream plays is an underrun; the end of a stream that
// stopped is not.
TEST_F(AudioOutStream, ADeviceRunningDryWhilePlayingCountsAnUnderrun)
{
    Start(48000);
    for (int i = 0; i < 4; ++i)
        Send(4800, 48000);  // past the 300 ms prefill: playing
    ASSERT_FALSE(Out->IsPaused());
    waveout_virtual::Advance(3 * 4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->CompletedBlocks() == 3; }));
    EXPECT_EQ(Out->Underruns(), 0u);
    waveout_virtual::Advance(4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->CompletedBlocks() == 4; }));
    EXPECT_EQ(Out->Underruns(), 1u) << "nothing came after the last block";
    Send(4800, 48000);
    waveout_virtual::Advance(4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->CompletedBlocks() == 5; }));
    EXPECT_EQ(Out->Underruns(), 2u);
    Send(4800, 48000);
    Source->Stop();
    waveout_virtual::Advance(4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->CompletedBlocks() == 6; }));
    EXPECT_EQ(Out->Underruns(), 2u) << "a stopped stream ends, it does not run dry";
}

TEST_F(AudioOutStream, AFailedRestartIsReportedAndTriedAgainWithTheNextBuffer)
{
    for (bool handled : {true, false}) {
        SCOPED_TRACE(handled ? "handled" : "raised");
        Out.reset();
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 48000));
        Out.reset(Create<TTestAudioOut>(nullptr));
        ASSERT_TRUE(Out->InputPin()->Connect(Source.get()));
        int reported = 0;
        Out->SetOnError([&](TObject*, const std::string& Text, int32_t, bool& Handled) {
            EXPECT_EQ(Text, "Can't restart audio device.");
            ++reported;
            Handled = handled;
        });
        Start(22050);
        Send(4096, 22050);  // 185 ms of the 300 ms prefill
        waveout_virtual::FailNext(WaveOutCall::Restart, MMSYSERR_ERROR);
        Send(4096, 22050);  // raised or not, a buffer's sender does not see the error
        EXPECT_EQ(reported, 1);
        EXPECT_TRUE(Out->IsPaused());
        Send(4096, 22050);
        EXPECT_FALSE(Out->IsPaused());
        // It plays, and what it holds drains as it plays.
        EXPECT_NEAR(waveout_virtual::Advance(9600)[2 * 4800], 0.5, 2e-3);
        for (int i = 0; i < 6; ++i) {
            Send(4096, 22050);
            waveout_virtual::Advance(8916);
        }
        ASSERT_TRUE(WaitUntil([&] {
            waveout_virtual::Advance(1024);
            return Out->QueuedBlocks() == 0 && Out->WaitingOperations() == 0;
        }));
    }
}

TEST_F(AudioOutStream, SwitchedOffItDropsArrivingBuffersAndKeepsTheFormat)
{
    Out->SetPrefillInterval(0);
    Start(48000);
    Send(4800, 48000);
    EXPECT_EQ(Out->QueuedBlocks(), 1);
    Out->SetEnabled(false);
    Send(4800, 48000);
    Send(4800, 48000);
    EXPECT_EQ(Out->QueuedBlocks(), 1);
    EXPECT_EQ(Out->WaitingOperations(), 0);
    waveout_virtual::Advance(4800);
    ASSERT_TRUE(WaitUntil([&] { return Out->QueuedBlocks() == 0; }));
    Out->SetEnabled(true);
    Send(4800, 48000);
    EXPECT_EQ(Out->QueuedBlocks(), 1);
    EXPECT_NEAR(waveout_virtual::Advance(4800)[2 * 2400], 0.5, 1e-3);
}

TEST_F(AudioOutStream, PumpRequestsAreIgnoredUnlessMasterPumpingIsOn)
{
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled);
        Out->MasterPumping()->Enabled = enabled;
        auto request = MakeOperation<TPNPumpRequestOperation>(nullptr, TPNPumpType::ptMaster, 0, 1.0f);
        Source->Notify(request.Get());
        EXPECT_EQ(OperationAs<TPNPumpRequestOperation>(request.Get())->Pump == Out.get(), enabled);
    }
    // The probe does not stay open.
    EXPECT_FALSE(Out->IsOpen());
}

}  // namespace
}  // namespace dcs
