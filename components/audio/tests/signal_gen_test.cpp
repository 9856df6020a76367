// The tone generator on the manual 1 ms timer: it starts itself, hands its format to a
// link made later, fills one buffer per period with the tone (checked against a long
// double cosine carried across buffers), follows its writers from the next buffer on
// without a phase jump, and stops and unlinks cleanly.
#include "components/audio/AUSignalGen.h"

#include "components/audio/buffers/AUSampleRoutines.h"
#include "components/audio/tests/AudioSinkRecorder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace dcs {
namespace {

using namespace audiotest;

constexpr long double kTwoPiL = 6.283185307179586476925286766559L;

// Expects ABuffer's every channel to be AAmplitude * cos(phase + 2 pi f n), truncated,
// with f the cycles per sample the generator passes on (a float); returns the phase at
// the buffer's end.
long double ExpectTone(TAUAudioBuffer* ABuffer, int AAmplitude, double AFrequency, double ARate, long double APhase,
                       const char* AWhat)
{
    const long double f = (long double)(float(AFrequency / ARate));
    const uint32_t n = ABuffer->GetSize();
    int worst = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const long double want = AAmplitude * std::cos(APhase + kTwoPiL * f * i);
        for (uint32_t c = 0; c < ABuffer->GetChannels(); ++c) {
            const int got = int16_t(ABuffer->GetSample(i, c));
            const int diff = int(std::fabs((long double)got - want));
            worst = std::max(worst, diff);
        }
    }
    // The entry truncates, and the phase travels between buffers as a float.
    EXPECT_LE(worst, 2) << AWhat;
    return APhase + kTwoPiL * f * n;
}

bool Silent(TAUAudioBuffer* ABuffer)
{
    for (uint32_t i = 0; i < ABuffer->GetSize(); ++i)
        for (uint32_t c = 0; c < ABuffer->GetChannels(); ++c)
            if (ABuffer->GetSample(i, c) != 0)
                return false;
    return true;
}

class SignalGen : public ::testing::Test {
protected:
    TManualMMTimer timer;
    TAudioSinkRecorder rec;
    TOwned<TAUSignalGen> gen {Create<TAUSignalGen>(nullptr)};

    TAUAudioBuffer* Buffer(int AIndex) { return rec.Buffers().at(size_t(AIndex)).Get(); }
};

TEST_F(SignalGen, StartsItselfAndALaterLinkGetsTheFormatFirst)
{
    EXPECT_EQ(gen->SignalType(), atTone);
    EXPECT_EQ(gen->Frequency(), 500.0);
    EXPECT_EQ(gen->Amplitude(), 20000);
    EXPECT_TRUE(gen->Enabled());
    EXPECT_TRUE(gen->IsRunning());
    EXPECT_TRUE(gen->IsPump()) << "nobody downstream claimed the chain";
    EXPECT_TRUE(gen->HasClock());

    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    RunUntilBuffers(timer, rec, 3);
    EXPECT_EQ(rec.Trace(), "SBBB");
    const TAUWaveFormatExtensible header = rec.Starts().at(0);
    EXPECT_EQ(std::memcmp(&header, gen->AudioFormat()->GetWaveFormat(), sizeof header), 0);
    EXPECT_EQ(header.Format.nChannels, 2);
    EXPECT_EQ(header.Format.nSamplesPerSec, 11025u);
    EXPECT_EQ(header.dwChannelMask, TAUSpeakers({spFrontLeft, spFrontRight}).Mask());

    // The tone runs on across the buffers from the start phase 0.
    TAUAudioBuffer* first = Buffer(0);
    EXPECT_EQ(first->GetSize(), 1024u);
    EXPECT_EQ(first->GetSampleRate(), 11025u);
    EXPECT_FALSE(first->GetTimeStamp()->Available());
    long double phase = 0.0L;
    for (int b = 0; b < 3; ++b)
        phase = ExpectTone(Buffer(b), 20000, 500.0, 11025.0, phase, "buffer");
}

TEST_F(SignalGen, PeriodOfBuffersAndToneFromTheStartPhase)
{
    // 44100 Hz in buffers of 1024: one buffer per 23.22 ms.
    gen->SetEnabled(false);
    gen->AudioFormat()->SetSampleRate(44100);
    gen->SetPhase(0.5f);
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    gen->SetEnabled(true);
    RunTimer(timer, 23);
    EXPECT_EQ(rec.Count('B'), 0);
    RunTimer(timer, 1);
    EXPECT_EQ(rec.Count('B'), 1);
    RunTimer(timer, 70);  // ticks 47, 70, 93
    ASSERT_EQ(rec.Count('B'), 4);

    long double phase = 0.5L;
    for (int b = 0; b < 4; ++b)
        phase = ExpectTone(Buffer(b), 20000, 500.0, 44100.0, phase, "buffer");
    EXPECT_NEAR(gen->CurrentPhase(), double(std::fmod(phase, kTwoPiL)), 1e-4);
}

TEST_F(SignalGen, WritersClampAndTakeEffectOnTheNextBufferWithoutAPhaseJump)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    RunUntilBuffers(timer, rec, 1);
    long double phase = (long double)gen->CurrentPhase();

    gen->SetFrequency(1234.5);
    gen->SetAmplitude(40000);
    EXPECT_EQ(gen->Amplitude(), 32767);
    RunUntilBuffers(timer, rec, 2);
    phase = ExpectTone(Buffer(1), 32767, 1234.5, 11025.0, phase, "new frequency and amplitude");

    gen->SetAsymmetry(4.0);
    EXPECT_EQ(gen->Asymmetry(), AUPiPrime);
    gen->SetAmplitude(-5);
    EXPECT_EQ(gen->Amplitude(), 0);
    RunUntilBuffers(timer, rec, 3);
    EXPECT_TRUE(Silent(Buffer(2))) << "amplitude 0 is silence";

    gen->SetAmplitude(1000);
    gen->SetFrequency(-10.0);
    EXPECT_EQ(gen->Frequency(), 0.0);
    EXPECT_EQ(gen->FrequencyPin()->Value(), 0.0f);
    gen->SetFrequency(7000.0);  // at or above half the sample rate
    RunUntilBuffers(timer, rec, 4);
    EXPECT_TRUE(Silent(Buffer(3)));
    EXPECT_TRUE(gen->Enabled()) << "a refused period leaves the generator running";

    gen->SetFrequency(500.0);
    RunUntilBuffers(timer, rec, 5);
    ExpectTone(Buffer(4), 1000, 500.0, 11025.0, (long double)float(phase - kTwoPiL * std::floor(phase / kTwoPiL)),
               "after silent periods the phase stayed");
}

TEST_F(SignalGen, APhaseAtTwoPiKeepsTheGeneratorSounding)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    // The float nearest 2 pi lies above it: taken as it is, every buffer would be refused.
    gen->SetPhase(6.2831855f);
    gen->SetEnabled(false);
    gen->SetEnabled(true);
    RunUntilBuffers(timer, rec, 1);
    EXPECT_NEAR(int16_t(Buffer(0)->GetSample(0, 0)), 20000, 1) << "2 pi is the angle 0";

    // Whole cycles per buffer bring the phase back to just below 2 pi after every buffer.
    gen->SetFrequency(11025.0 / 1024.0 * 7.0);
    gen->SetPhase(6.2831850f);
    gen->SetEnabled(false);
    gen->SetEnabled(true);
    rec.Clear();
    RunUntilBuffers(timer, rec, 40, 5000);
    for (int b = 0; b < 40; ++b)
        ASSERT_FALSE(Silent(Buffer(b))) << "buffer " << b;
    EXPECT_LT(double(gen->CurrentPhase()), 2.0 * M_PI);
}

TEST_F(SignalGen, DisablingStopsDownstreamAndARestartBeginsAtPhase)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    RunUntilBuffers(timer, rec, 2);
    gen->SetEnabled(false);
    EXPECT_EQ(rec.Trace(), "SBBX");
    EXPECT_FALSE(gen->HasClock());
    RunTimer(timer, 200);
    EXPECT_EQ(rec.Count('B'), 2);

    gen->SetEnabled(true);
    RunUntilBuffers(timer, rec, 3);
    EXPECT_EQ(rec.Trace(), "SBBXPPSB") << "a start elects twice";
    EXPECT_EQ(int16_t(Buffer(2)->GetSample(0, 0)), 20000) << "cos 0 at the start phase";
}

TEST_F(SignalGen, DownstreamStopAndStreamQueries)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    rec.Pin->Notify(MakeOperation<TPNStopOperation>().Get());
    EXPECT_FALSE(gen->Enabled());
    EXPECT_FALSE(gen->IsRunning());
    rec.Clear();
    rec.Pin->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(rec.Trace(), "I") << "a disabled generator answers a query at once";

    gen->SetEnabled(true);
    rec.Clear();
    rec.Pin->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(rec.Trace(), "");
}

TEST_F(SignalGen, ARateFromDownstreamSetsTheToneStep)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    RunUntilBuffers(timer, rec, 1);
    const long double phase = (long double)gen->CurrentPhase();
    rec.Pin->Notify(MakeOperation<TPNStartSampleRateOperation>(22050.0).Get());
    EXPECT_TRUE(gen->IsPump()) << "elected again, still unclaimed";
    EXPECT_TRUE(gen->HasClock());
    RunUntilBuffers(timer, rec, 2);
    ExpectTone(Buffer(1), 20000, 500.0, 22050.0, phase, "cycles per sample at the downstream rate");
}

TEST_F(SignalGen, EveryChannelCarriesTheToneAtItsWidth)
{
    struct {
        uint32_t bits, channels;
    } table[] = {{8, 1}, {24, 2}, {32, 3}};
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    for (auto c : table) {
        gen->SetEnabled(false);
        gen->AudioFormat()->SetBits(c.bits);
        gen->AudioFormat()->SetChannels(c.channels);
        gen->AudioFormat()->SetBufferSize(256);
        rec.Clear();
        gen->SetEnabled(true);
        RunUntilBuffers(timer, rec, 1);
        TAUAudioBuffer* b = Buffer(0);
        ASSERT_EQ(b->GetChannels(), c.channels);
        ASSERT_EQ(b->GetSize(), 256u);
        // The first sample is cos 0 at amplitude 20000, widened like any 16-bit sample.
        const int16_t peak = 20000;
        uint8_t wide[4] = {};
        ConvertSampleColumn(&peak, 16, 2, wide, int(c.bits), 4, 1);
        for (uint32_t ch = 0; ch < c.channels; ++ch) {
            EXPECT_EQ(std::memcmp(b->Read() + ch * c.bits / 8, wide, c.bits / 8), 0) << c.bits << " bits";
            for (uint32_t i = 0; i < 256; ++i)
                ASSERT_EQ(b->GetSample(i, ch), b->GetSample(i, 0));
        }
    }
}

// Channel 0 of every buffer heard, in order.
std::vector<int> Signal(TAudioSinkRecorder& ARecorder)
{
    std::vector<int> out;
    for (auto& b : ARecorder.Buffers())
        for (uint32_t i = 0; i < b->GetSize(); ++i)
            out.push_back(int16_t(b->GetSample(i, 0)));
    return out;
}

TEST_F(SignalGen, SawTeethRampOverWholePeriodsAcrossBuffers)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    gen->SetAmplitude(1000);
    gen->SetFrequency(110.25);  // 100 steps of 20 per period at 11025 Hz
    for (TAUSignalType type : {atSawToothUp, atSawToothDown}) {
        SCOPED_TRACE(type);
        const int sign = type == atSawToothUp ? 1 : -1;
        gen->SetEnabled(false);
        gen->SetSignalType(type);
        rec.Clear();
        gen->SetEnabled(true);
        RunUntilBuffers(timer, rec, 3);
        const std::vector<int> s = Signal(rec);
        ASSERT_EQ(s.at(0), -sign * 1000);
        int wraps = 0;
        for (size_t i = 1; i < s.size(); ++i) {
            if (s[i - 1] == sign * 1000 && s[i] == -sign * 1000) {
                ++wraps;
                continue;
            }
            ASSERT_EQ(s[i] - s[i - 1], sign * 20) << "sample " << i;
        }
        EXPECT_EQ(wraps, int(s.size()) / 101) << "one ramp of 101 samples per period";
    }
}

TEST_F(SignalGen, SquareRunsBetweenPlusAndMinusTheAmplitude)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    gen->SetEnabled(false);
    gen->SetSignalType(atSquare);
    gen->SetAmplitude(1000);
    gen->SetFrequency(1000.0);
    gen->SetEnabled(true);
    RunUntilBuffers(timer, rec, 2);
    const std::vector<int> s = Signal(rec);
    int changes = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        ASSERT_EQ(std::abs(s[i]), 1000) << "sample " << i;
        if (i > 0 && s[i] != s[i - 1])
            ++changes;
    }
    // Two changes per period of 11.025 samples.
    EXPECT_NEAR(changes, 2.0 * s.size() / 11.025, 2.0);
}

TEST_F(SignalGen, DestructionStopsAndUnlinks)
{
    ASSERT_TRUE(rec.Pin->Connect(gen->OutputPin()));
    RunUntilBuffers(timer, rec, 1);
    gen.reset();
    EXPECT_EQ(rec.Trace(), "SBXX") << "the generator's stop, then the removed link's";
    EXPECT_FALSE(rec.Pin->IsConnected());
    EXPECT_EQ(TSGClockGen::LiveClocks(), 0);
}

}  // namespace
}  // namespace dcs
