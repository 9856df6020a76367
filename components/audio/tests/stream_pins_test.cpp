#include "components/audio/tests/StreamPinFixtures.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace dcs::streamtest {
namespace {

using StreamPins = StreamPinTest;

struct TAudioPair {
    TRecorder SourceHeard, SinkHeard;
    TOwned<TAUPNAudioSourcePin> Source =
        Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), SourceHeard.Event());

    TOwned<TAUPNAudioSinkPin> NewSink(TRecorder& ARecorder)
    {
        return Make<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), ARecorder.Event());
    }
    void Start() { Source->Notify(MakeOperation<TPNStartWaveOperation>(WaveHeader(2, 22050, 16), false).Get()); }
    void Buffer()
    {
        TSGBlockBuffer b(4);
        Source->SubmitBuffer(&b);
    }
};

TEST_F(StreamPins, AudioLinkTypeAndNames)
{
    TAudioPair p;
    TRecorder r;
    auto sink = p.NewSink(r);
    ASSERT_TRUE(sink->Connect(p.Source.get()));
    EXPECT_EQ(sink->GetConnectionID(nullptr), IPNAUAudioStream::IID);
    EXPECT_EQ(GetStreamTypeName(IPNAUAudioStream::IID), "AU Audio buffer");
    EXPECT_EQ(GetStreamTypeName(SGUniversalBufferTypeID), "SG Universal buffer");
    EXPECT_EQ(GetStreamTypeName(IPNSGChannelStream::IID), "SG Generic buffer");
    EXPECT_EQ(GetStreamTypeSendFunction(IPNAUAudioStream::IID), &SGStreamSendFunction);
    EXPECT_EQ(GetStreamTypeSendFunction(SGUniversalBufferTypeID), nullptr);
}

// What a sink linked to a running stream hears before the next buffer, by the end the
// link is made from and what the stream has been sent.
TEST_F(StreamPins, NewLinkHearsRememberedStartAndResume)
{
    struct TCase {
        const char* Sent;  // W start, U resume, P pause, X stop
        bool FromSource;
        const char* Heard;
    };
    const TCase cases[] = {
        {"W", false, "WB"}, {"W", true, "WWB"},  {"WU", false, "WUB"}, {"WU", true, "WUWB"}, {"WUP", false, "WUB"},
        {"WX", false, "B"}, {"WUX", false, "B"}, {"", false, "B"},     {"WXW", false, "WB"}, {"WUXW", false, "WB"},
    };
    for (const TCase& c : cases) {
        TAudioPair p;
        for (const char* s = c.Sent; *s; ++s) {
            if (*s == 'W')
                p.Start();
            else if (*s == 'U')
                p.Source->Notify(MakeOperation<TPNSGResumeOperation>().Get());
            else if (*s == 'P')
                p.Source->Notify(MakeOperation<TPNSGPauseOperation>().Get());
            else
                p.Source->Stop();
        }
        TRecorder r;
        auto sink = p.NewSink(r);
        ASSERT_TRUE(c.FromSource ? p.Source->Connect(sink.get()) : sink->Connect(p.Source.get()));
        p.Buffer();
        EXPECT_EQ(r.Trace(), c.Heard) << c.Sent << (c.FromSource ? " linked from the source" : "");
        if (auto* w = r.At<TPNStartWaveOperation>(0)) {
            EXPECT_EQ(w->SampleRate, 22050.0);
            EXPECT_EQ(w->WaveFormat.Format.nChannels, 2);
        }
    }
}

TEST_F(StreamPins, RemovedLinkAloneHearsStopAndStartStaysRemembered)
{
    TAudioPair p;
    TRecorder ra, rb, rc;
    auto a = p.NewSink(ra);
    auto b = p.NewSink(rb);
    ASSERT_TRUE(a->Connect(p.Source.get()));
    ASSERT_TRUE(b->Connect(p.Source.get()));
    p.Start();
    ra.Clear();
    rb.Clear();

    a->Disconnect();
    EXPECT_EQ(ra.Trace(), "X");
    EXPECT_EQ(rb.Trace(), "");
    p.Source->DisconnectFrom(b.get());
    EXPECT_EQ(rb.Trace(), "X");
    EXPECT_FALSE(p.Source->IsConnected());

    // Unlinking leaves the remembered start: a later link still hears it.
    auto c = p.NewSink(rc);
    ASSERT_TRUE(c->Connect(p.Source.get()));
    EXPECT_EQ(rc.Trace(), "W");
    // A sink linked elsewhere hears the stop of the link it leaves.
    TAudioPair q;
    ASSERT_TRUE(c->Connect(q.Source.get()));
    EXPECT_EQ(rc.Trace(), "WX");
}

TEST_F(StreamPins, FreeingALinkedSourceStopsEverySink)
{
    TRecorder ra, rb;
    auto source = Make<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    auto a = Make<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), ra.Event());
    auto b = Make<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), rb.Event());
    ASSERT_TRUE(a->Connect(source.get()));
    ASSERT_TRUE(b->Connect(source.get()));
    source.reset();
    EXPECT_EQ(ra.Trace(), "X");
    EXPECT_EQ(rb.Trace(), "X");
    EXPECT_FALSE(a->IsConnected());
}

// Receivers get views of the sender's data: a receiver that writes to its view makes its
// own copy, so neither the sender nor another receiver sees the change, and the sender
// may reuse its buffer at once.
TEST_F(StreamPins, ReceiverWritingToItsBufferChangesNoOtherView)
{
    TOwned<TSGPNBinarySourcePin> source =
        Make<TSGPNBinarySourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    std::vector<uint8_t> seenByB;
    auto writer = Make<TTypedSink<IPNSGBinaryStream>>(
        nullptr, IntfPtr<IPNLock>(), [](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState) {
            if (auto* b = OperationAs<TPNSuppliedBufferOperation>(Op))
                BufferInstance<TSGBlockBuffer>(b->Buffer.Get())->Modify()[0] = 99;
            return TPNNotifyResult {};
        });
    auto reader = Make<TTypedSink<IPNSGBinaryStream>>(
        nullptr, IntfPtr<IPNLock>(), [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState) {
            if (auto* b = OperationAs<TPNSuppliedBufferOperation>(Op)) {
                auto* bb = BufferInstance<TSGBlockBuffer>(b->Buffer.Get());
                seenByB.assign(bb->Read(), bb->Read() + bb->GetSize());
            }
            return TPNNotifyResult {};
        });
    ASSERT_TRUE(writer->Connect(source.get()));
    ASSERT_TRUE(reader->Connect(source.get()));

    const uint8_t bytes[3] = {1, 2, 3};
    IntfPtr<TSGBlockBuffer> sent(new TSGBlockBuffer(bytes, 3));
    source->SubmitBuffer(sent.Get());
    EXPECT_EQ(seenByB, (std::vector<uint8_t> {1, 2, 3}));
    EXPECT_EQ(sent->Read()[0], 1);

    // The operation holds a view of its own, not the sender's object.
    auto op = MakeOperation<TPNSuppliedBufferOperation>(sent.Get());
    auto* held = OperationAs<TPNSuppliedBufferOperation>(op.Get());
    EXPECT_NE(held->Buffer->GetInstance(), sent.Get());
    sent->Write()[0] = 7;  // the sender reuses its buffer
    EXPECT_EQ(BufferInstance<TSGBlockBuffer>(held->Buffer.Get())->Read()[0], 1);
}

TEST_F(StreamPins, SubmitBufferCountsAndReportsReceiverFailure)
{
    TOwned<TSGPNBinarySourcePin> source =
        Make<TSGPNBinarySourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr);
    int calls = 0;
    auto sink = Make<TTypedSink<IPNSGBinaryStream>>(
        nullptr, IntfPtr<IPNLock>(), [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState) {
            if (OperationAs<TPNSuppliedBufferOperation>(Op) && ++calls == 1)
                throw std::runtime_error("receiver failed");
            return TPNNotifyResult {nrDataChanged};
        });
    ASSERT_TRUE(sink->Connect(source.get()));
    TSGBlockBuffer b(2);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(source->SubmitBuffer(&b).Empty());
    const std::string report = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(source->DroppedBuffers(), 1u);
    EXPECT_NE(report.find("buffer dropped (1 so far): receiver failed"), std::string::npos) << report;
    EXPECT_TRUE(source->SubmitBuffer(&b).Empty());  // the pin still sends
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(source->DroppedBuffers(), 1u);  // a send that reached its receiver is no drop
}

// Operations from downstream reach the source's operation event; the master pump is one.
TEST_F(StreamPins, MasterPumpTravelsUpstream)
{
    TAudioPair p;
    TRecorder r;
    auto sink = p.NewSink(r);
    ASSERT_TRUE(sink->Connect(p.Source.get()));
    TObject pump;
    sink->MasterPump(&pump);
    ASSERT_EQ(p.SourceHeard.Count(), 1u);
    auto* m = p.SourceHeard.At<TPNMasterPumpOperation>(0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Pump, &pump);
}

// The source's connect handler runs once for a link made from the sink side and twice
// for one made from the source side; the sink's handlers once per link and unlink.
TEST_F(StreamPins, ConnectHandlers)
{
    int sourceConnects = 0, sinkConnects = 0, sinkDisconnects = 0;
    auto source = Make<TSGPNSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr, -1,
                                       [&](TObject*) { ++sourceConnects; });
    source->AddType(IPNSGBinaryStream::IID, TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(source.get()));
    auto sink = Make<TTypedSink<IPNSGBinaryStream>>(
        nullptr, IntfPtr<IPNLock>(), nullptr, [&](TObject*) { ++sinkConnects; }, [&](TObject*) { ++sinkDisconnects; });
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_EQ(sourceConnects, 1);
    EXPECT_EQ(sinkConnects, 1);
    sink->Disconnect();
    EXPECT_EQ(sinkDisconnects, 1);
    ASSERT_TRUE(source->Connect(sink.get()));
    EXPECT_EQ(sourceConnects, 3);
    EXPECT_EQ(sinkConnects, 2);
}

}  // namespace
}  // namespace dcs::streamtest

namespace dcs::streamtest {
namespace {

// A generator runs on its own thread while the application links consumers on another:
// each new link hears the start before any buffer, however the two interleave.
TEST_F(StreamPins, LinkToRunningStreamHearsStartBeforeAnyBuffer)
{
    TAudioPair p;
    p.Start();
    std::atomic<bool> stop {false};
    std::thread sender([&] {
        TSGBlockBuffer b(4);
        while (!stop.load())
            p.Source->SubmitBuffer(&b);
    });
    std::vector<std::unique_ptr<TRecorder>> heard;
    std::vector<TOwned<TAUPNAudioSinkPin>> sinks;
    for (int i = 0; i < 40; ++i) {
        heard.push_back(std::make_unique<TRecorder>());
        sinks.push_back(p.NewSink(*heard.back()));
        ASSERT_TRUE(sinks.back()->Connect(p.Source.get()));
    }
    while (heard.back()->Count() < 3)
        std::this_thread::yield();
    for (auto& s : sinks)
        s->Disconnect();
    stop = true;
    sender.join();
    for (auto& h : heard) {
        std::string t = h->Trace();
        ASSERT_GE(t.size(), 2u);
        EXPECT_EQ(t.front(), 'W') << t.substr(0, 8);
        EXPECT_EQ(t.back(), 'X');
        EXPECT_EQ(t.find_first_not_of('B', 1), t.size() - 1) << "only buffers between start and stop";
    }
}

}  // namespace
}  // namespace dcs::streamtest
