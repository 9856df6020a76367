// The mixer: per-input queues, gains and sums, the output format, pacing, and its
// channel collection.
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/tests/StreamPinFixtures.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "testing/WaitUntil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dcs {
namespace {

using namespace streamtest;

IntfPtr<IAUAudioBuffer> Mono16(const std::vector<int16_t>& ASamples, uint32_t ARate)
{
    return IntfPtr<IAUAudioBuffer>(
        TAUAudioBuffer::CreateDataEx(ASamples.data(), ARate, 16, 1, uint32_t(ASamples.size()), {spFrontLeft}));
}

std::vector<int32_t> Samples(IAUAudioBuffer* ABuffer)
{
    std::vector<int32_t> r;
    for (uint32_t i = 0; i < ABuffer->GetSize(); ++i)
        r.push_back(ABuffer->GetSample(i, 0));
    return r;
}

TEST(SamplesQueue, PopsAcrossBuffersAndTakesNothingWhenShort)
{
    TAUSamplesQueue queue;
    queue.Push(Mono16({0, 1, 2}, 22050));
    queue.Push(Mono16({3, 4}, 22050));
    queue.Push(Mono16({5, 6, 7, 8}, 22050));
    EXPECT_EQ(queue.GetCollectedSamples(), 9u);
    IntfPtr<IAUAudioBuffer> target = Mono16({0, 0, 0, 0}, 22050);
    ASSERT_TRUE(queue.Pop(target.Get()));
    EXPECT_EQ(Samples(target.Get()), (std::vector<int32_t> {0, 1, 2, 3}));
    ASSERT_TRUE(queue.Pop(target.Get()));
    EXPECT_EQ(Samples(target.Get()), (std::vector<int32_t> {4, 5, 6, 7}));
    EXPECT_FALSE(queue.Pop(target.Get()));
    EXPECT_EQ(queue.GetCollectedSamples(), 1u);
    EXPECT_EQ(Samples(target.Get()), (std::vector<int32_t> {4, 5, 6, 7}));
}

// A full-gain input is summed straight from its queue: the sum must be the one a scratch
// copy and Add give, across buffer borders and at both ends of the range; a queue that
// holds another layout, or too few frames, is left as it was.
TEST(SamplesQueue, PopAddSumsLikeAPopIntoScratchAndAnAdd)
{
    auto stereo24 = [](std::vector<int32_t> AValues) {
        IntfPtr<IAUAudioBuffer> b(
            TAUAudioBuffer::CreateSizeEx(22050, 24, 2, uint32_t(AValues.size() / 2), {spFrontLeft, spFrontRight}));
        for (uint32_t i = 0; i < AValues.size(); ++i)
            b->SetSample(i / 2, i % 2, AValues[i]);
        return b;
    };
    auto values = [](IAUAudioBuffer* ABuffer) {
        std::vector<int32_t> r;
        for (uint32_t i = 0; i < ABuffer->GetSize(); ++i)
            for (uint32_t c = 0; c < 2; ++c)
                r.push_back(ABuffer->GetSample(i, c));
        return r;
    };
    std::vector<int32_t> start;
    for (int i = 0; i < 40; ++i)
        start.push_back((i % 3 == 0 ? 8388000 : -8388000) + i);
    TAUSamplesQueue direct, copied;
    for (TAUSamplesQueue* q : {&direct, &copied}) {
        q->Push(stereo24({1, 2, 3, 4, 5, 6}));
        std::vector<int32_t> big;
        for (int i = 0; i < 80; ++i)
            big.push_back(i % 2 ? 8000 * i : -9000 * i);
        q->Push(stereo24(big));
    }
    IntfPtr<IAUAudioBuffer> summed = stereo24(start), expected = stereo24(start), scratch = stereo24(start);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(direct.PopAdd(summed.Get()), TAUSamplesQueue::TAddResult::Added) << "round " << round;
        ASSERT_TRUE(copied.Pop(scratch.Get()));
        expected->Add(scratch.Get());
        EXPECT_EQ(values(summed.Get()), values(expected.Get())) << "round " << round;
    }
    EXPECT_EQ(direct.GetCollectedSamples(), 3u);
    EXPECT_EQ(direct.PopAdd(summed.Get()), TAUSamplesQueue::TAddResult::Short);
    EXPECT_EQ(direct.GetCollectedSamples(), 3u);

    TAUSamplesQueue mono;
    mono.Push(Mono16(std::vector<int16_t>(20, 7), 22050));
    EXPECT_EQ(mono.PopAdd(summed.Get()), TAUSamplesQueue::TAddResult::NeedsCopy);
    EXPECT_EQ(mono.GetCollectedSamples(), 20u);
    EXPECT_EQ(values(summed.Get()), values(expected.Get()));
}

TEST(SamplesQueue, AFullQueueDropsItsOldestFramesAndSaysHowMany)
{
    TAUSamplesQueue queue;
    queue.SetCapacity(5);
    EXPECT_EQ(queue.Push(Mono16({0, 1, 2}, 22050)), 0u);
    EXPECT_EQ(queue.Push(Mono16({3, 4}, 22050)), 0u);
    EXPECT_EQ(queue.Push(Mono16({5, 6, 7}, 22050)), 3u) << "the whole oldest buffer";
    EXPECT_EQ(queue.Push(Mono16({8}, 22050)), 1u) << "part of the oldest buffer";
    EXPECT_EQ(queue.GetCollectedSamples(), 5u);
    IntfPtr<IAUAudioBuffer> target = Mono16({0, 0, 0, 0, 0}, 22050);
    ASSERT_TRUE(queue.Pop(target.Get()));
    EXPECT_EQ(Samples(target.Get()), (std::vector<int32_t> {4, 5, 6, 7, 8}));
}

// A mixer with its output recorded and test sources on its inputs.
class Mixer : public StreamPinTest {
protected:
    void SetUp() override
    {
        StreamPinTest::SetUp();
        Reset();
    }
    // A new mixer, with nothing recorded yet.
    void Reset()
    {
        Mix.reset();
        Sources.clear();
        Output.Clear();
        Upstream.Clear();
        Mix.reset(Create<TAUAudioMixer>(nullptr));
        ASSERT_TRUE(OutputSink->Connect(Mix->OutputPin()));
    }
    void TearDown() override
    {
        Mix.reset();
        StreamPinTest::TearDown();
    }
    void Format(bool AEnabled, uint32_t ARate, uint32_t ABits, uint32_t AChannels, uint32_t ABufferSize)
    {
        TAUOptionalAudioFormat* f = Mix->AudioFormat();
        f->SetEnabled(AEnabled);
        f->SetSampleRate(ARate);
        f->SetBits(ABits);
        f->SetChannels(AChannels);
        f->SetChannelMask({});
        f->SetBufferSize(ABufferSize);
    }
    TAUPNAudioSourcePin* AddInput(uint32_t ARate, uint16_t AChannels = 1)
    {
        Sources.push_back(Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Upstream.Event()));
        TAUPNAudioSourcePin* source = Sources.back().get();
        EXPECT_TRUE(Mix->Channels()->Add()->InputPin()->Connect(source));
        source->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(AChannels, ARate, 16), false).Get());
        return source;
    }
    std::vector<IntfPtr<IAUAudioBuffer>> Mixed()
    {
        std::vector<IntfPtr<IAUAudioBuffer>> r;
        for (auto& op : Output.Ops())
            if (auto* b = OperationAs<TPNSuppliedBufferOperation>(op.Get()))
                r.emplace_back(TAUAudioBuffer::CreateUniversal(b->Buffer.Get()));
        return r;
    }
    TAUWaveFormatExtensible StartedFormat()
    {
        for (auto& op : Output.Ops())
            if (auto* s = OperationAs<TPNStartWaveOperation>(op.Get()))
                return s->WaveFormat;
        ADD_FAILURE() << "no start";
        return {};
    }

    TRecorder Output;
    TRecorder Upstream;
    TOwned<TAUPNAudioSinkPin> OutputSink = Make<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), Output.Event());
    std::vector<TOwned<TAUPNAudioSourcePin>> Sources;
    TOwned<TAUAudioMixer> Mix;
};

TEST_F(Mixer, GainsSumsAndDisabledChannels)
{
    struct Case {
        const char* Name;
        double Gain0, Gain1;
        bool Enabled0, Enabled1;
        std::vector<int16_t> In0, In1;
        std::vector<int32_t> Out;
    };
    const Case cases[] = {
        {"unit gain passes", 1.0, 1.0, true, true, {7, -7, 32767, -32768}, {0, 0, 0, 0}, {7, -7, 32767, -32768}},
        {"half rounds to even", 0.5, 1.0, true, true, {3, 5, -3, -5}, {0, 0, 0, 0}, {2, 2, -2, -2}},
        {"16-bit sums saturate",
         1.0,
         1.0,
         true,
         true,
         {30000, -30000, 1, 2},
         {10000, -10000, 1, 2},
         {32767, -32768, 2, 4}},
        {"disabled second adds nothing", 1.0, 1.0, true, false, {1, 2, 3, 4}, {100, 100, 100, 100}, {1, 2, 3, 4}},
        {"disabled first is silent", 1.0, 1.0, false, true, {1, 2, 3, 4}, {100, 100, 100, 100}, {100, 100, 100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Reset();
        Format(true, 22050, 16, 1, 4);
        TAUPNAudioSourcePin* in0 = AddInput(22050);
        TAUPNAudioSourcePin* in1 = AddInput(22050);
        Mix->Channels()->GetItem(0)->SetCoefficient(c.Gain0);
        Mix->Channels()->GetItem(1)->SetCoefficient(c.Gain1);
        Mix->Channels()->GetItem(0)->SetEnabled(c.Enabled0);
        Mix->Channels()->GetItem(1)->SetEnabled(c.Enabled1);
        // The later input joins once it has its samples: give it them first.
        in1->SubmitBuffer(Mono16(c.In1, 22050).Get());
        EXPECT_TRUE(Mixed().empty());
        // A running input without enough samples holds the cycle.
        in0->SubmitBuffer(Mono16({c.In0[0], c.In0[1]}, 22050).Get());
        EXPECT_TRUE(Mixed().empty());
        in0->SubmitBuffer(Mono16({c.In0[2], c.In0[3]}, 22050).Get());
        auto mixed = Mixed();
        ASSERT_EQ(mixed.size(), 1u);
        EXPECT_EQ(Samples(mixed[0].Get()), c.Out);
    }
}

// An input held up by another one keeps at most its bound: the oldest frames go, the
// mixer counts them, and the next cycle mixes the newest frames.
TEST_F(Mixer, AnInputThatOutrunsTheMixerLosesItsOldestFramesCounted)
{
    Format(true, 22050, 16, 1, 1024);
    TAUPNAudioSourcePin* holding = AddInput(22050);
    TAUPNAudioSourcePin* flooding = AddInput(22050);
    for (int16_t k = 0; k < 20; ++k)
        flooding->SubmitBuffer(Mono16(std::vector<int16_t>(1024, k), 22050).Get());
    EXPECT_TRUE(Mixed().empty()) << "the first input has no samples yet";
    // Half a second of the stream at 22050 Hz is kept (more than four cycles of 1024).
    EXPECT_EQ(Mix->DroppedFrames(), 20u * 1024 - 11025);
    holding->SubmitBuffer(Mono16(std::vector<int16_t>(1024, 0), 22050).Get());
    auto mixed = Mixed();
    ASSERT_EQ(mixed.size(), 1u);
    std::vector<int32_t> expected(1024 - 239, 9);
    expected.insert(expected.end(), 239, 10);
    EXPECT_EQ(Samples(mixed[0].Get()), expected);
}

// 16-bit input samples as the mixer widens them.
int32_t Widened(int32_t AValue, uint32_t ABits)
{
    return ABits == 24 ? int32_t(int64_t(AValue) * 8388607 / 32767) : int32_t(int64_t(AValue) * 2147483647 / 32767);
}

// Samples of a mono buffer as signed values, 24-bit ones sign-extended.
std::vector<int32_t> Signed(IAUAudioBuffer* ABuffer)
{
    std::vector<int32_t> r = Samples(ABuffer);
    if (ABuffer->GetSampleBitWidth() == 24)
        for (int32_t& v : r)
            v = v >= 8388608 ? v - 16777216 : v;
    return r;
}

TEST_F(Mixer, WideSumsAndGainsSaturateOnTheDirectAndTheStretchedPath)
{
    struct Case {
        uint32_t Bits;
        uint32_t InputRate;  // 44100 is stretched to the 22050 output
        double Gain0;
    };
    for (const Case& c : {Case {24, 22050, 1.0}, Case {24, 44100, 1.0}, Case {32, 22050, 1.0}, Case {32, 44100, 1.0},
                          Case {24, 22050, 2.0}, Case {32, 44100, 2.0}}) {
        SCOPED_TRACE(testing::Message() << c.Bits << " bits from " << c.InputRate << " gain " << c.Gain0);
        Reset();
        Format(true, 22050, c.Bits, 1, 4);
        TAUPNAudioSourcePin* in0 = AddInput(c.InputRate);
        TAUPNAudioSourcePin* in1 = AddInput(c.InputRate);
        Mix->Channels()->GetItem(0)->SetCoefficient(c.Gain0);
        // In phase at 30000 of 32767, the two are far beyond full scale together.
        const std::vector<int16_t> one {30000, -30000, 100, 0};
        std::vector<int16_t> in;
        for (int16_t v : one)
            in.insert(in.end(), c.InputRate == 44100 ? 2 : 1, v);
        in1->SubmitBuffer(Mono16(in, c.InputRate).Get());
        in0->SubmitBuffer(Mono16(in, c.InputRate).Get());
        auto mixed = Mixed();
        ASSERT_EQ(mixed.size(), 1u);
        const int32_t high = c.Bits == 24 ? 8388607 : INT32_MAX;
        const int32_t low = c.Bits == 24 ? -8388608 : INT32_MIN;
        const int32_t small = int32_t(std::nearbyint(Widened(100, c.Bits) * c.Gain0)) + Widened(100, c.Bits);
        EXPECT_EQ(Signed(mixed[0].Get()), (std::vector<int32_t> {high, low, small, 0}));
    }
}

TEST_F(Mixer, AMonoInputPlaysOnAMonoOutputOfAnotherSpeaker)
{
    for (uint32_t rate : {22050u, 44100u}) {
        SCOPED_TRACE(rate);
        Reset();
        Format(true, 22050, 24, 1, 4);
        Mix->AudioFormat()->SetChannelMask({spFrontRight});
        TAUPNAudioSourcePin* in = AddInput(rate);  // masked front left
        std::vector<int16_t> samples;
        for (int16_t v : {1000, -2000, 3000, -4000})
            samples.insert(samples.end(), rate == 44100 ? 2 : 1, v);
        in->SubmitBuffer(Mono16(samples, rate).Get());
        auto mixed = Mixed();
        ASSERT_EQ(mixed.size(), 1u);
        EXPECT_EQ(mixed[0]->GetChannelMask(), TAUSpeakers {spFrontRight});
        EXPECT_EQ(
            Signed(mixed[0].Get()),
            (std::vector<int32_t> {Widened(1000, 24), Widened(-2000, 24), Widened(3000, 24), Widened(-4000, 24)}));
    }
}

TEST_F(Mixer, AnInputThatNeedsNoSamplesAddsSilence)
{
    // Rate 0 beside 22050 Hz, first and second in the mix: whatever the pooled blocks
    // held before must not reach the output.
    for (bool zeroFirst : {true, false}) {
        SCOPED_TRACE(zeroFirst);
        Reset();
        Format(true, 22050, 16, 1, 4);
        TAUPNAudioSourcePin* in = nullptr;
        TAUPNAudioSourcePin* still = nullptr;
        if (zeroFirst) {
            still = AddInput(0);
            in = AddInput(22050);
        } else {
            in = AddInput(22050);
            still = AddInput(0);
        }
        EXPECT_EQ(Mix->Input(zeroFirst ? 0 : 1)->FNeddedSamples, 0u);
        std::vector<int32_t> sent;
        for (int16_t k = 1; k <= 8; ++k) {
            const std::vector<int16_t> block {int16_t(100 * k), int16_t(-100 * k), int16_t(k), 0};
            still->SubmitBuffer(Mono16({11111}, 0).Get());
            in->SubmitBuffer(Mono16(block, 22050).Get());
            sent.insert(sent.end(), block.begin(), block.end());
        }
        std::vector<int32_t> heard;
        for (auto& b : Mixed())
            for (int32_t v : Samples(b.Get()))
                heard.push_back(v);
        EXPECT_EQ(heard, sent);
    }
}

TEST_F(Mixer, OutputRateIsTheFormatsWhenEnabledElseTheHighestInputRate)
{
    for (bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        Reset();
        Format(enabled, 22050, 24, 1, 4096);
        TAUPNAudioSourcePin* in = AddInput(44100);
        const TAUWaveFormatExtensible started = StartedFormat();
        EXPECT_EQ(started.Format.nSamplesPerSec, enabled ? 22050u : 44100u);
        EXPECT_EQ(started.wValidBitsPerSample, 24u);
        EXPECT_EQ(Mix->Input(0)->FNeddedSamples, enabled ? 8192u : 4096u);
        std::vector<int16_t> ramp(8192);
        for (int i = 0; i < 8192; ++i)
            ramp[i] = int16_t(i);
        in->SubmitBuffer(Mono16(ramp, 44100).Get());
        auto mixed = Mixed();
        ASSERT_EQ(mixed.size(), enabled ? 1u : 2u);
        // Half the rate takes every second sample; 16 bits widen to 24.
        const uint32_t step = enabled ? 2 : 1;
        for (uint32_t j : {0u, 1u, 1000u, 4095u})
            EXPECT_EQ(mixed[0]->GetSample(j, 0), int32_t(int64_t(j * step) * 8388607 / 32767)) << j;
    }
}

TEST_F(Mixer, AMixerNobodyPacesClocksItselfAndSendsSilenceForStoppedInputs)
{
    Format(true, 22050, 16, 1, 256);
    Sources.push_back(Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Upstream.Event()));
    TAUPNAudioSourcePin* in = Sources.back().get();
    ASSERT_TRUE(Mix->Channels()->Add()->InputPin()->Connect(in));
    TObject generator;
    auto request = MakeOperation<TPNPumpRequestOperation>(&generator, TPNPumpType::ptMaster, 0, 21.5f);
    in->Notify(request.Get());
    EXPECT_EQ(OperationAs<TPNPumpRequestOperation>(request.Get())->Pump, &generator);
    EXPECT_TRUE(Mix->IsPump());
    in->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(1, 22050, 16), false).Get());
    EXPECT_EQ(Mix->ClockInterval(), MixerClockInterval(22050, 256));
    in->Stop();
    // The clock keeps the output going with silence.
    ASSERT_TRUE(WaitUntil([&] { return Mixed().size() >= 2; }));
    auto mixed = Mixed();
    ASSERT_GE(mixed.size(), 2u);
    EXPECT_EQ(Samples(mixed[1].Get()), std::vector<int32_t>(256, 0));
}

TEST_F(Mixer, ADownstreamMasterPacesItAndPumpsFastInputsMoreOften)
{
    // The output's far end claims the pump as hardware does.
    TObject device;
    TRecorder heard;
    auto claimant = Make<TAUPNAudioSinkPin>(
        nullptr, IntfPtr<IPNLock>(), [&](TPNBasicPin* S, const TGUID* T, IPNNotifyOperation* Op, TPNNotifyState St) {
            if (auto* r = OperationAs<TPNPumpRequestOperation>(Op)) {
                r->Pump = &device;
                r->PumpType = TPNPumpType::ptHardware;
                r->PumpPriority = 3;
            }
            return heard.Event()(S, T, Op, St);
        });
    OutputSink->Disconnect();
    ASSERT_TRUE(claimant->Connect(Mix->OutputPin()));
    Format(true, 22050, 16, 1, 256);
    Sources.push_back(Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Upstream.Event()));
    TAUPNAudioSourcePin* in = Sources.back().get();
    ASSERT_TRUE(Mix->Channels()->Add()->InputPin()->Connect(in));
    TObject generator;
    auto request = MakeOperation<TPNPumpRequestOperation>(&generator, TPNPumpType::ptMaster, 0, 1.0f);
    auto* r = OperationAs<TPNPumpRequestOperation>(request.Get());
    in->Notify(request.Get());
    EXPECT_FALSE(Mix->IsPump());
    EXPECT_EQ(r->Pump, &device);
    EXPECT_EQ(r->PumpType, TPNPumpType::ptHardware);
    EXPECT_EQ(r->PumpPriority, 3);

    in->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(1, 44100, 16), false).Get());
    EXPECT_EQ(Mix->ClockInterval(), 0);
    // Arriving samples wait for the master's pump.
    in->SubmitBuffer(Mono16(std::vector<int16_t>(512, 9), 44100).Get());
    auto mixedHeard = [&] {
        size_t n = 0;
        for (auto& op : heard.Ops())
            n += OperationAs<TPNSuppliedBufferOperation>(op.Get()) != nullptr;
        return n;
    };
    EXPECT_EQ(mixedHeard(), 0u);
    Upstream.Clear();
    claimant->MasterPump(&device);
    size_t pumps = 0;
    for (auto& op : Upstream.Ops())
        pumps += OperationAs<TPNMasterPumpOperation>(op.Get()) != nullptr;
    EXPECT_EQ(pumps, 2u);
    // The mix runs on the mixer's own pump thread.
    EXPECT_TRUE(WaitUntil([&] { return mixedHeard() == 1; }));
}

TEST_F(Mixer, AStartThePlayerCannotTakeLeavesItStoppedAndTheNextStartWorks)
{
    for (WaveOutCall call : {WaveOutCall::Open, WaveOutCall::Pause}) {
        SCOPED_TRACE(call == WaveOutCall::Open ? "open" : "pause");
        Reset();
        ASSERT_TRUE(WaveOutSelectBackend("virtual"));
        ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 22050));
        TOwned<TAUAudioOut> out(Create<TAUAudioOut>(nullptr));
        out->SetPrefillInterval(0);
        OutputSink->Disconnect();
        ASSERT_TRUE(out->InputPin()->Connect(Mix->OutputPin()));
        Format(true, 22050, 16, 1, 256);
        Sources.push_back(Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Upstream.Event()));
        TAUPNAudioSourcePin* in = Sources.back().get();
        ASSERT_TRUE(Mix->Channels()->Add()->InputPin()->Connect(in));
        auto start = [&] { in->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(1, 22050, 16), false).Get()); };

        waveout_virtual::FailNext(call, MMSYSERR_ALLOCATED);
        EXPECT_THROW(start(), ESGException);
        EXPECT_FALSE(Mix->Running());
        // Stopped, it holds on to nothing that arrives.
        for (int i = 0; i < 50; ++i)
            in->SubmitBuffer(Mono16(std::vector<int16_t>(256, 8192), 22050).Get());
        EXPECT_EQ(Mix->Input(0)->GetCollectedSamples(), 0u);

        start();
        EXPECT_TRUE(Mix->Running());
        for (int i = 0; i < 4; ++i)
            in->SubmitBuffer(Mono16(std::vector<int16_t>(256, 8192), 22050).Get());
        EXPECT_EQ(Mix->Input(0)->GetCollectedSamples(), 0u);
        EXPECT_FALSE(out->IsPaused());
        EXPECT_GT(waveout_virtual::Advance(512)[2 * 300], 0.15) << "it plays";
        Mix->OutputPin()->Disconnect();
        ASSERT_TRUE(OutputSink->Connect(Mix->OutputPin()));
    }
}

TEST_F(Mixer, ChannelsAndInputPinsStayPaired)
{
    for (int i = 0; i < 3; ++i)
        Mix->Channels()->Add();
    ASSERT_EQ(Mix->InputPins()->Count(), 3);
    TPNBasicPin* third = Mix->InputPins()->GetPin(2);
    Free(Mix->Channels()->GetItem(1));
    ASSERT_EQ(Mix->Channels()->Count(), 2);
    ASSERT_EQ(Mix->InputPins()->Count(), 2);
    EXPECT_EQ(Mix->InputPins()->GetPin(1), third);
    EXPECT_EQ(Mix->Channels()->GetItem(1)->InputPin(), third);
    EXPECT_EQ(Mix->Input(1), third);
    EXPECT_THROW(Mix->Channels()->GetItem(2), EListError);
}

// The clock thread reads the channels while the program adds, moves and frees them.
TEST_F(Mixer, ChannelsChangeWhileTheMixerClocksItself)
{
    Format(true, 22050, 16, 1, 64);
    Sources.push_back(Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), Upstream.Event()));
    TAUPNAudioSourcePin* in = Sources.back().get();
    ASSERT_TRUE(Mix->Channels()->Add()->InputPin()->Connect(in));
    TObject generator;
    in->Notify(MakeOperation<TPNPumpRequestOperation>(&generator, TPNPumpType::ptMaster, 0, 344.5f).Get());
    in->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(1, 22050, 16), false).Get());
    in->Stop();  // the clock goes on with silence
    ASSERT_TRUE(WaitUntil([&] { return Mixed().size() >= 1; }));
    for (int i = 0; i < 200; ++i) {
        TAUAudioMixerChannelItem* item = Mix->Channels()->Add();
        item->SetWaitForDataBefore(cwStart);
        item->SetIndex(0);
        Free(Mix->Channels()->GetItem(0));
    }
    ASSERT_EQ(Mix->Channels()->Count(), 1);
    EXPECT_EQ(Mix->Channels()->GetItem(0)->InputPin(), Mix->Input(0));
    const size_t before = Mixed().size();
    EXPECT_TRUE(WaitUntil([&] { return Mixed().size() > before; }));
}

}  // namespace
}  // namespace dcs
