// The channel splitter between a source pin driven by the test and recording inputs:
// one mono buffer per channel on each linked output, starts, stops and queries passed
// the right way, and unlinking on destruction.
#include "components/audio/AUChannelSplitter.h"

#include "components/audio/tests/AudioSinkRecorder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dcs {
namespace {

using namespace audiotest;

// Sample i of channel c of the test streams.
int32_t Value(uint32_t ABits, uint32_t AChannel, uint32_t AIndex)
{
    return ABits == 8 ? int32_t((AChannel * 50 + AIndex) & 0xFF) : int32_t((AChannel + 1) * 1000 + AIndex);
}

class ChannelSplitter : public ::testing::Test {
protected:
    // What the splitter's input hears from upstream, and what it sends back up.
    TAudioSinkRecorder upstream;
    TOwned<TAUPNAudioSourcePin> source {Create<TAUPNAudioSourcePin>(
        nullptr, nullptr, nullptr, [this](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState St) {
            if (!St.Contains(nsNewLink) && OperationAs<TPNStopOperation>(Op))
                ++stopsFromDownstream;
            return TPNNotifyResult {};
        })};
    TOwned<TAUChannelSplitter> splitter {Create<TAUChannelSplitter>(nullptr)};
    TAudioSinkRecorder left, right;
    int stopsFromDownstream = 0;

    void LinkAll()
    {
        ASSERT_TRUE(splitter->InputPin()->Connect(source.get()));
        ASSERT_TRUE(left.Pin->Connect(splitter->OutputPin(0)));
        ASSERT_TRUE(right.Pin->Connect(splitter->OutputPin(1)));
    }
    // A stereo stream of one buffer of AFrames frames at ABits.
    void SendStereo(uint32_t ABits, uint32_t AFrames)
    {
        IntfPtr<TAUAudioBuffer> b = TAUAudioBuffer::CreateSizeEx(22050, ABits, 2, AFrames, {spFrontLeft, spFrontRight});
        source->Notify(MakeOperation<TPNStartWaveOperation>(*b->WaveFormat(), false).Get());
        for (uint32_t i = 0; i < AFrames; ++i)
            for (uint32_t c = 0; c < 2; ++c)
                b->SetSample(i, c, Value(ABits, c, i));
        source->SubmitBuffer(b.Get());
    }
};

TEST_F(ChannelSplitter, ChannelCountIsClampedAndANewSplitterHasTwo)
{
    EXPECT_EQ(splitter->CountChannels(), 2);
    ASSERT_NE(splitter->OutputPin(1), nullptr);
    splitter->SetCountChannels(0);
    EXPECT_EQ(splitter->CountChannels(), 1);
    splitter->SetCountChannels(40);
    EXPECT_EQ(splitter->CountChannels(), 32);
    splitter->SetCountChannels(3);
    EXPECT_EQ(splitter->CountChannels(), 3);
    EXPECT_EQ(splitter->OutputPin(3), nullptr);
}

TEST_F(ChannelSplitter, EachLinkedOutputGetsItsChannelAsMonoBuffers)
{
    LinkAll();
    for (uint32_t bits : {8u, 16u, 24u, 32u}) {
        left.Clear();
        right.Clear();
        SendStereo(bits, 1024);
        SCOPED_TRACE(bits);
        ASSERT_EQ(left.Trace(), "SB");
        ASSERT_EQ(right.Trace(), "SB");
        for (auto* out : {&left, &right}) {
            const TAUWaveFormatExtensible h = out->Starts().at(0);
            EXPECT_EQ(h.Format.nChannels, 1);
            EXPECT_EQ(h.Format.nBlockAlign, bits / 8);
            EXPECT_EQ(h.Format.nAvgBytesPerSec, 22050 * bits / 8);
            EXPECT_EQ(h.dwChannelMask, TAUSpeakers {spFrontLeft}.Mask());
            EXPECT_EQ(h.Format.nSamplesPerSec, 22050u);
            EXPECT_EQ(h.wValidBitsPerSample, bits);
        }
        TAUAudioBuffer* l = left.Buffers().at(0).Get();
        TAUAudioBuffer* r = right.Buffers().at(0).Get();
        ASSERT_EQ(l->GetSize(), 1024u);
        ASSERT_EQ(l->GetChannels(), 1u);
        EXPECT_EQ(l->GetSampleBitWidth(), bits);
        EXPECT_EQ(l->GetChannelMask(), TAUSpeakers {spFrontLeft});
        EXPECT_EQ(r->GetChannelMask(), TAUSpeakers {spFrontLeft});
        for (uint32_t i = 0; i < 1024; ++i) {
            ASSERT_EQ(l->GetSample(i, 0), Value(bits, 0, i)) << i;
            ASSERT_EQ(r->GetSample(i, 0), Value(bits, 1, i)) << i;
        }
    }
}

TEST_F(ChannelSplitter, OutputsUnlinkedOrBeyondTheStreamGetNoBuffers)
{
    ASSERT_TRUE(splitter->InputPin()->Connect(source.get()));
    ASSERT_TRUE(left.Pin->Connect(splitter->OutputPin(0)));
    splitter->SetCountChannels(3);
    TAudioSinkRecorder third;
    ASSERT_TRUE(third.Pin->Connect(splitter->OutputPin(2)));

    // Before the first start no output carries a channel.
    third.Pin->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(third.Trace(), "I");
    third.Clear();

    SendStereo(16, 64);
    EXPECT_EQ(left.Trace(), "SB");
    EXPECT_EQ(third.Trace(), "S") << "a start reaches every output, buffers only channels the stream has";
    third.Clear();
    third.Pin->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(third.Trace(), "I");
    left.Clear();
    left.Pin->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(left.Trace(), "") << "output 0 carries a channel";

    source->Stop();
    EXPECT_EQ(left.Trace(), "X");
    EXPECT_EQ(third.Trace(), "IX") << "a stop reaches every output";
}

TEST_F(ChannelSplitter, AStopFromDownstreamGoesUpstreamOrStopsTheOutputs)
{
    LinkAll();
    left.Pin->Notify(MakeOperation<TPNStopOperation>().Get());
    EXPECT_EQ(stopsFromDownstream, 1) << "through the linked input";
    EXPECT_EQ(right.Trace(), "");

    splitter->InputPin()->Disconnect();
    left.Clear();
    right.Clear();
    left.Pin->Notify(MakeOperation<TPNStopOperation>().Get());
    EXPECT_EQ(stopsFromDownstream, 1);
    EXPECT_EQ(left.Trace(), "X");
    EXPECT_EQ(right.Trace(), "X") << "handled as if it came from upstream";
}

TEST_F(ChannelSplitter, AHeaderTooShortForAChannelSplitsOnlyTheChannelsItDescribes)
{
    LinkAll();
    IntfPtr<TAUAudioBuffer> b = TAUAudioBuffer::CreateSizeEx(22050, 16, 2, 64, {spFrontLeft, spFrontRight});
    b->Zero();
    TAUWaveFormatExtensible header = *b->WaveFormat();
    header.Format.nBlockAlign = 2;  // frames of one sample for a stream of two channels
    source->Notify(MakeOperation<TPNStartWaveOperation>(header, false).Get());
    source->SubmitBuffer(b.Get());
    EXPECT_EQ(left.Trace(), "SB");
    EXPECT_EQ(right.Trace(), "S") << "channel 1 would lie beyond each frame";
}

TEST_F(ChannelSplitter, DestructionUnlinksInputAndOutputs)
{
    LinkAll();
    splitter.reset();
    EXPECT_FALSE(source->IsConnected());
    EXPECT_FALSE(left.Pin->IsConnected());
    EXPECT_FALSE(right.Pin->IsConnected());
    EXPECT_GE(left.Count('X'), 1);
    EXPECT_GE(right.Count('X'), 1);
}

}  // namespace
}  // namespace dcs
