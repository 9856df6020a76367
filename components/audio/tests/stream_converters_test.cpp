#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/audio/buffers/SGMatrixBuffer.h"
#include "components/audio/buffers/SGNumericBuffers.h"
#include "components/audio/tests/StreamPinFixtures.h"

#include <cstring>

namespace dcs::streamtest {
namespace {

using StreamSends = StreamPinTest;
using StreamConverters = StreamPinTest;

IntfPtr<TSGRealBuffer> Doubles(std::initializer_list<double> AValues)
{
    std::vector<double> v(AValues);
    return TSGRealBuffer::CreateData(v.data(), uint32_t(v.size()));
}

std::vector<double> RealsOf(IPNNotifyOperation* AOperation)
{
    auto* b = OperationAs<TPNSuppliedBufferOperation>(AOperation);
    IntfPtr<ISGRealBuffer> real;
    if (!b || !Supports(b->Buffer, real))
        return {};
    return std::vector<double>(real->Read(), real->Read() + real->GetSize());
}

// A sample-rate start reaches real-buffer receivers with its rate divided by 8 and
// integer-buffer receivers with it divided by 4; other receivers and other operations
// get what was sent.
TEST_F(StreamSends, SendFunctionScalesRateByElementSize)
{
    TRecorder real, integer, binary, audio;
    auto toReal = Make<TSGPNRealSinkPin>(nullptr, IntfPtr<IPNLock>(), real.Event());
    auto toInt = Make<TSGPNIntegerSinkPin>(nullptr, IntfPtr<IPNLock>(), integer.Event());
    auto toBin = Make<TTypedSink<IPNSGBinaryStream>>(nullptr, IntfPtr<IPNLock>(), binary.Event());
    auto toAudio = Make<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), audio.Event());
    struct TCase {
        TSGPNSinkPin* Sink;
        TRecorder* Heard;
        double Rate;
    };
    const TCase cases[] = {{toReal.get(), &real, 5512.5},
                           {toInt.get(), &integer, 11025.0},
                           {toBin.get(), &binary, 44100.0},
                           {toAudio.get(), &audio, 44100.0}};
    auto wave = MakeOperation<TPNStartWaveOperation>(WaveHeader(1, 44100, 16), false);
    for (const TCase& c : cases) {
        SGStreamSendFunction(nullptr, static_cast<IPNStream*>(c.Sink), &IPNSGRealStream::IID, wave.Get(),
                             {nsLastIteration});
        auto* got = c.Heard->At<TPNStartSampleRateOperation>(0);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->SampleRate, c.Rate);
        EXPECT_EQ(got->Rate, float(c.Rate));
        // Nothing on a new link; a stop unchanged.
        SGStreamSendFunction(nullptr, static_cast<IPNStream*>(c.Sink), &IPNSGRealStream::IID, wave.Get(),
                             {nsNewLink, nsLastIteration});
        auto stop = MakeOperation<TPNStopOperation>();
        SGStreamSendFunction(nullptr, static_cast<IPNStream*>(c.Sink), &IPNSGRealStream::IID, stop.Get(),
                             {nsLastIteration});
        EXPECT_EQ(c.Heard->Count(), 2u);
        EXPECT_EQ(c.Heard->Ops()[1].Get(), stop.Get());
    }
}

TEST_F(StreamSends, CreateWaveHeader)
{
    struct TCase {
        uint16_t Channels;
        uint32_t Mask;
    };
    for (TCase c : {TCase {1, 1}, TCase {2, 3}, TCase {6, 63}, TCase {32, 0}}) {
        TAUWaveFormatEx ex {1, c.Channels, 48000, 96000u * c.Channels, uint16_t(2 * c.Channels), 16, 0};
        auto op = TPNStartWaveOperation::CreateWave(1000.0f, &ex, true);
        auto* w = OperationAs<TPNStartWaveOperation>(op.Get());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->WaveFormat.dwChannelMask, c.Mask) << c.Channels;
        EXPECT_EQ(w->WaveFormat.Format.nChannels, c.Channels);
        EXPECT_EQ(w->WaveFormat.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
        EXPECT_EQ(w->WaveFormat.Format.cbSize, 22);
        EXPECT_EQ(w->WaveFormat.wValidBitsPerSample, 16);
        EXPECT_EQ(w->WaveFormat.SubFormat, KSDATAFORMAT_SUBTYPE_PCM);
        EXPECT_EQ(w->SampleRate, 1000.0);
        EXPECT_TRUE(w->Paused);
    }
    auto defaulted = TPNStartWaveOperation::CreateWave(5.0f, nullptr, false);
    auto* d = OperationAs<TPNStartWaveOperation>(defaulted.Get());
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->WaveFormat.Format.nSamplesPerSec, 11024u);
    EXPECT_EQ(d->WaveFormat.Format.nAvgBytesPerSec, 44096u);
    EXPECT_EQ(d->WaveFormat.dwChannelMask, 3u);
    EXPECT_EQ(d->WaveFormat.Format.nBlockAlign, 4);

    auto running = MakeOperation<TPNStartWaveOperation>(WaveHeader(2, 22050, 24), false);
    auto* r = OperationAs<TPNStartWaveOperation>(running.Get());
    EXPECT_EQ(r->SampleRate, 22050.0);
    const TAUWaveFormatExtensible expected = WaveHeader(2, 22050, 24);
    EXPECT_EQ(std::memcmp(&r->WaveFormat, &expected, 40), 0);
    EXPECT_FALSE(r->Paused);
}

// A real source that also serves plain float sinks passes on the last value of each
// buffer; an empty buffer passes nothing.
TEST_F(StreamSends, RealSourceFeedsPlainFloatSinkWithLastValue)
{
    auto source = Make<TSGPNRealSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr, true);
    std::vector<float> heard;
    auto sink = Make<TPNFloatSinkPin>(
        nullptr, [&](TPNPin*, float v) { heard.push_back(v); }, nullptr);
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_EQ(source->GetConnectionID(sink.get()), IPNFloatStream::IID);
    source->Notify(MakeOperation<TPNStartSampleRateOperation>(100.0).Get());
    source->SubmitBuffer(Doubles({1.0, 2.0, 0.25}).Get());
    source->SubmitBuffer(Doubles({}).Get());
    source->SubmitBuffer(Doubles({-3.5}).Get());
    TSGBlockBuffer bytes(8);  // not a real buffer: nothing to read as a real
    source->SubmitBuffer(&bytes);
    EXPECT_EQ(heard, (std::vector<float> {0.25f, -3.5f}));

    // Without the float option the pin offers no plain float type.
    auto plain = Make<TSGPNRealSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr, false);
    auto other = Make<TPNFloatSinkPin>(nullptr, nullptr, nullptr);
    EXPECT_FALSE(other->Connect(plain.get()));
}

// An integer stream into a binary sink goes through the registered converter: starts and
// stops pass unchanged, each buffer arrives as a byte view of the same data.
TEST_F(StreamConverters, IntegerToBinaryPassesStartsAndViewsBuffers)
{
    auto source = Make<TSGPNIntegerSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    source->Notify(MakeOperation<TPNStartSampleRateOperation>(8000.0).Get());
    TRecorder r;
    auto sink = Make<TTypedSink<IPNSGBinaryStream>>(nullptr, IntfPtr<IPNLock>(), r.Event());
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_TRUE(source->IsConnectedByConverterTo(sink.get()));
    EXPECT_EQ(sink->GetConnectionID(nullptr), IPNSGBinaryStream::IID);

    const int32_t ints[2] = {0x01020304, -1};
    IntfPtr<TSGBlockBuffer> sent(new TSGBlockBuffer(ints, 8));
    source->SubmitBuffer(sent.Get());
    ASSERT_EQ(r.Trace(), "RB");
    EXPECT_EQ(r.At<TPNStartSampleRateOperation>(0)->SampleRate, 8000.0);
    auto* bytes = BufferInstance<TSGBlockBuffer>(r.At<TPNSuppliedBufferOperation>(1)->Buffer.Get());
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->GetSize(), 8u);
    EXPECT_EQ(bytes->Read(), sent->Read());  // no copy

    // One stop, whichever end cuts the converted link.
    sink->Disconnect();
    EXPECT_EQ(r.Trace(), "RBX");
    EXPECT_EQ(source->ConverterCount(), 0);
    r.Clear();
    ASSERT_TRUE(source->Connect(sink.get()));
    source->DisconnectFrom(sink.get());
    EXPECT_EQ(r.Trace(), "RRX");  // linked from the source side: the start twice
    EXPECT_EQ(source->ConverterCount(), 0);
}

TEST_F(StreamConverters, AudioToBinary)
{
    auto source = Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    source->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(2, 22050, 16), false).Get());
    source->Notify(MakeOperation<TPNSGResumeOperation>().Get());
    TRecorder r;
    auto sink = Make<TTypedSink<IPNSGBinaryStream>>(nullptr, IntfPtr<IPNLock>(), r.Event());
    ASSERT_TRUE(sink->Connect(source.get()));
    TSGBlockBuffer b(16);
    source->SubmitBuffer(&b);
    EXPECT_EQ(r.Trace(), "WUB");
    EXPECT_EQ(BufferInstance<TSGBlockBuffer>(r.At<TPNSuppliedBufferOperation>(2)->Buffer.Get())->GetSize(), 16u);
}

TEST_F(StreamConverters, IntegerToRealConvertsEachElement)
{
    auto source = Make<TSGPNIntegerSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    TRecorder r;
    auto sink = Make<TSGPNRealSinkPin>(nullptr, IntfPtr<IPNLock>(), r.Event());
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_TRUE(source->IsConnectedByConverterTo(sink.get()));
    const int32_t ints[3] = {-2147483647 - 1, 0, 5};
    source->SubmitBuffer(TSGIntegerBuffer::CreateData(ints, 3).Get());
    TSGBlockBuffer bytes(4);  // not an integer buffer: dropped, not sent on as reals
    source->SubmitBuffer(&bytes);
    ASSERT_EQ(r.Trace(), "B");
    EXPECT_EQ(RealsOf(r.Ops()[0].Get()), (std::vector<double> {-2147483648.0, 0.0, 5.0}));
}

TEST_F(StreamConverters, RealToMatrixViewsTheSameData)
{
    auto source = Make<TSGPNRealSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr, false);
    TRecorder r;
    auto sink = Make<TTypedSink<IPNSGRealMatrixStream>>(nullptr, IntfPtr<IPNLock>(), r.Event());
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_TRUE(source->IsConnectedByConverterTo(sink.get()));
    auto sent = Doubles({1.5, 2.5, 3.5});
    source->SubmitBuffer(sent.Get());
    ASSERT_EQ(r.Trace(), "B");
    IntfPtr<ISGRealMatrixBuffer> m;
    ASSERT_TRUE(Supports(r.At<TPNSuppliedBufferOperation>(0)->Buffer, m));
    EXPECT_EQ(m->GetRows(), 1u);
    EXPECT_EQ(m->GetCols(), 3u);
    EXPECT_EQ(m->Read(), sent->Read());
}

// Audio into integer or real sinks: channel 0 of each buffer only.
TEST_F(StreamConverters, AudioToNumbersTakesChannelZero)
{
    auto source = Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    TRecorder toInt, toReal;
    auto ints = Make<TSGPNIntegerSinkPin>(nullptr, IntfPtr<IPNLock>(), toInt.Event());
    auto reals = Make<TSGPNRealSinkPin>(nullptr, IntfPtr<IPNLock>(), toReal.Event());
    ASSERT_TRUE(ints->Connect(source.get()));
    ASSERT_TRUE(reals->Connect(source.get()));
    source->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(2, 8000, 16), false).Get());
    const int16_t frames[6] = {100, -1, -200, -2, 300, -3};  // left, right interleaved
    source->SubmitBuffer(TAUAudioBuffer::CreateData(frames, 8000, 16, 2, 3).Get());

    ASSERT_EQ(toInt.Trace(), "WB");
    auto* ib = OperationAs<TPNSuppliedBufferOperation>(toInt.Ops()[1].Get());
    IntfPtr<ISGIntegerBuffer> got;
    ASSERT_TRUE(Supports(ib->Buffer, got));
    EXPECT_EQ(std::vector<int32_t>(got->Read(), got->Read() + got->GetSize()), (std::vector<int32_t> {100, -200, 300}));
    ASSERT_EQ(toReal.Trace(), "WB");
    EXPECT_EQ(RealsOf(toReal.Ops()[1].Get()), (std::vector<double> {100.0, -200.0, 300.0}));
    // The start's rate reaches them unchanged: the converters' pins send it on as given.
    EXPECT_EQ(toInt.At<TPNStartSampleRateOperation>(0)->SampleRate, 8000.0);
}

// A plain integer source that sends what it is given.
class TIntegerSource : public TPNSourcePin {
public:
    TIntegerSource() : TPNSourcePin(nullptr, -1)
    {
        AddType(IPNIntegerStream::IID, TPNSubmit::Of<&TIntegerSource::Deliver>(this));
    }
    TPNNotifyResult Deliver(IPNStream* H, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState St)
    {
        return St.Contains(nsNewLink) ? TPNNotifyResult {} : DeliverThrough<IPNIntegerStream>(H, ID, Op, St);
    }
};

TEST_F(StreamConverters, PlainValuesBecomeStrings)
{
    TIntegerSource source;
    TRecorder r;
    auto sink = Make<TTypedSink<IPNSGStringStream>>(nullptr, IntfPtr<IPNLock>(), r.Event());
    ASSERT_TRUE(sink->Connect(&source));
    EXPECT_TRUE(source.IsConnectedByConverterTo(sink.get()));
    source.Notify(MakeOperation<TPNStartOperation>().Get());  // does not cross a value sink
    source.Notify(MakeOperation<TPNSuppliedIntegerOperation>(-42).Get());
    ASSERT_EQ(r.Count(), 1u);
    auto* s = r.At<TPNSuppliedStringOperation>(0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Value, "-42");
    sink->Disconnect();

    // Each converter by itself, as the registry makes it.
    struct TCase {
        TGUID From;
        IntfPtr<IPNNotifyOperation> Op;
        const char* Text;
    };
    const TCase cases[] = {
        {IPNIntegerStream::IID, MakeOperation<TPNSuppliedIntegerOperation>(7), "7"},
        {IPNRealStream::IID, MakeOperation<TPNSuppliedRealOperation>(2.5), "2.5"},
    };
    for (const TCase& c : cases) {
        IntfPtr<IPNFormatConverter> conv =
            TPNFormatConverter::CreateOfClass(GetTypeConverterClass(c.From, IPNSGStringStream::IID));
        TRecorder out;
        auto s2 = Make<TTypedSink<IPNSGStringStream>>(nullptr, IntfPtr<IPNLock>(), out.Event());
        ASSERT_TRUE(s2->Connect(conv->Converter()->OutputPin()));
        auto* in = dynamic_cast<IPNBasicStream*>(conv->Converter()->InputPin());
        ASSERT_NE(in, nullptr);
        in->NotifyStream(&c.From, c.Op.Get(), {nsLastIteration});
        ASSERT_NE(out.At<TPNSuppliedStringOperation>(0), nullptr);
        EXPECT_EQ(out.At<TPNSuppliedStringOperation>(0)->Value, c.Text);
        s2->Disconnect();
    }
    EXPECT_EQ(GetTypeConverterClass(IPNDateTimeStream::IID, IPNSGStringStream::IID),
              TSGPNTimeToStringFormatConverter::StaticClass());
}

}  // namespace
}  // namespace dcs::streamtest
