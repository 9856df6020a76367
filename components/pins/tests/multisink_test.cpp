// The multi-source sink: links to many sources, converters per link, upstream sends in
// entry order, and unlinking one source while the others send from their own threads.
#include "StdPinFixtures.h"

#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/PNPinList.h"

#include <atomic>
#include <thread>

namespace dcs::stdpintest {
namespace {

// Takes reals from any number of sources and sends upstream over the clock stream.
class TRealMultiSink : public TPNMultiSinkPin, public IPNRealStream {
public:
    TRealMultiSink() : TPNMultiSinkPin(nullptr)
    {
        AddType(IPNClockStream::IID, TPNSubmit::Of<&TRealMultiSink::Upstream>(this));
    }
    TPNNotifyResult Upstream(IPNStream* H, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState St)
    {
        return DeliverThrough<IPNClockStream>(H, ID, Op, St);
    }
    // Sources send k * 1000000 + n: counts per k.
    TPNNotifyResult NotifyStream(const TGUID*, IPNNotifyOperation* Op, TPNNotifyState) override
    {
        IPNLockSection section = ReadLock();  // a receiver may look at its pin meanwhile
        if (auto* r = OperationAs<TPNSuppliedRealOperation>(Op)) {
            int k = int(r->Value / 1000000);
            if (k >= 0 && k < 4)
                ++Heard[k];
            Last = r->Value;
        }
        return {};
    }
    std::atomic<int> Heard[4] = {};
    std::atomic<double> Last {-1};

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IPNRealStream>(this, iid, obj) || TPNMultiSinkPin::GetInterface(iid, obj);
    }
};

TEST_F(StdPinTest, MultiSinkKeepsOneEntryPerSourceAndRefusesItself)
{
    auto multi = Make<TRealMultiSink>();
    auto a = Make<TPNRealSourcePin>(nullptr);
    auto b = Make<TPNRealSourcePin>(nullptr);
    EXPECT_FALSE(multi->Connect(multi.get()));
    ASSERT_TRUE(multi->Connect(a.get()));
    ASSERT_TRUE(multi->Connect(a.get()));
    ASSERT_TRUE(b->Connect(multi.get()));  // from the source's end
    EXPECT_EQ(multi->SourceCount(), 2);
    EXPECT_EQ(a->SinkCount(), 1);
    EXPECT_EQ(multi->GetSource(0), a.get());
    EXPECT_EQ(multi->GetSource(1), b.get());
    EXPECT_THROW(multi->GetSource(2), ERangeError);
    EXPECT_TRUE(multi->IsConnectedTo(b.get()));
    EXPECT_EQ(multi->GetPinType(), TPNPinType::ptMultiSink);
    EXPECT_EQ(multi->GetLinkDisplayText(), "( 2 Links )");
    EXPECT_EQ(multi->UpStreamLinkName(), "Clock");
    EXPECT_EQ(multi->DownStreamLinkName(), "Real");

    b->SubmitReal(2000001);
    a->SubmitReal(1000001);
    EXPECT_EQ(multi->Heard[0].load(), 2);  // each new link: the current value, 0
    EXPECT_EQ(multi->Heard[1].load(), 1);
    EXPECT_EQ(multi->Heard[2].load(), 1);

    a->Disconnect();  // the source's end removes the entry too
    EXPECT_EQ(multi->SourceCount(), 1);
    EXPECT_FALSE(multi->IsConnectedTo(a.get()));
    b.reset();  // a destroyed source leaves no entry behind
    EXPECT_EQ(multi->SourceCount(), 0);
    EXPECT_FALSE(multi->IsConnected());
}

TEST_F(StdPinTest, MultiSinkLinksOfOtherTypesGoThroughConverters)
{
    auto multi = Make<TRealMultiSink>();
    auto ints = Make<TTypedSource<IPNIntegerStream>>();
    auto reals = Make<TPNRealSourcePin>(nullptr);
    multi->SetIgnoreUpstream(true);  // the integer source hears nothing from downstream
    ASSERT_TRUE(multi->Connect(ints.get()));
    ASSERT_TRUE(multi->Connect(reals.get()));
    EXPECT_EQ(multi->SourceCount(), 2);
    EXPECT_EQ(multi->ConverterCount(), 1);
    EXPECT_TRUE(multi->GetConverter(0)->Converter()->Is<TPNIntToRealFormatConverter>());
    EXPECT_TRUE(multi->IsConnectedByConverterTo(ints.get()));
    EXPECT_FALSE(multi->IsConnectedByConverterTo(reals.get()));
    EXPECT_EQ(multi->DownStreamLinkName(), "Multiple...");
    ints->Send<TPNSuppliedIntegerOperation>(3000007);
    EXPECT_EQ(multi->Last.load(), 3000007.0);

    multi->DisconnectFrom(ints.get());
    EXPECT_EQ(multi->ConverterCount(), 0);
    EXPECT_EQ(ints->ConverterCount(), 0);
    EXPECT_EQ(multi->SourceCount(), 1);
    ints->Send<TPNSuppliedIntegerOperation>(3000008);
    EXPECT_EQ(multi->Last.load(), 3000007.0);
}

TEST_F(StdPinTest, MultiSinkSendsUpstreamToEverySourceInEntryOrder)
{
    std::vector<int> order;
    auto listener = [&](int k) {
        return [&order, k](TPNBasicPin*, const TGUID*, IPNNotifyOperation* op, TPNNotifyState st) {
            if (!st.Contains(nsNewLink) && OperationAs<TPNQueryStreamOperation>(op))
                order.push_back(st.Contains(nsLastIteration) ? -k : k);
            return TPNNotifyResult {};
        };
    };
    // The clock-only sources link to a multi-sink that takes the clock stream too.
    class TClockMulti : public TRealMultiSink, public IPNClockStream {
    protected:
        bool GetInterface(const TGUID& iid, void** obj) override
        {
            return GetInterfaceOf<IPNClockStream>(this, iid, obj) || TRealMultiSink::GetInterface(iid, obj);
        }
    };
    auto s1 = Make<TPNClockSourcePin>(nullptr, listener(1));
    auto s2 = Make<TPNClockSourcePin>(nullptr, listener(2));
    auto s3 = Make<TPNClockSourcePin>(nullptr, listener(3));
    auto cm = Make<TClockMulti>();
    ASSERT_TRUE(cm->Connect(s1.get()));
    ASSERT_TRUE(cm->Connect(s2.get()));
    ASSERT_TRUE(cm->Connect(s3.get()));
    cm->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(order, (std::vector<int> {1, 2, -3}));

    // A cycle of upstream sends stops after 200 nested sends, and the count comes back.
    int depth = 0;
    auto loop =
        Make<TPNClockSourcePin>(nullptr, [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* op, TPNNotifyState st) {
            if (!st.Contains(nsNewLink) && OperationAs<TPNFlushStreamOperation>(op)) {
                ++depth;
                cm->Notify(op);
            }
            return TPNNotifyResult {};
        });
    ASSERT_TRUE(cm->Connect(loop.get()));
    try {
        cm->Notify(MakeOperation<TPNFlushStreamOperation>().Get());
        ADD_FAILURE() << "no exception";
    } catch (const EPNException& e) {
        EXPECT_STREQ(e.what(), SPNDependsOnItself);
    }
    EXPECT_EQ(depth, 201);
    cm->DisconnectFrom(loop.get());
    order.clear();
    cm->Notify(MakeOperation<TPNQueryStreamOperation>().Get());
    EXPECT_EQ(order.size(), 3u);
}

// A link to a source that is not loaded yet waits on a placeholder, which hands it over
// to the source when it comes.
TEST_F(StdPinTest, MultiSinkLinkToAPlaceholderPassesToTheRealSource)
{
    auto multi = Make<TRealMultiSink>();
    auto* ph = Create<TPNUnloadedPin>(nullptr, TPNPinType::ptSource, "Form1.gen.OutputPin", "Form1.gen.OutputPin",
                                      "Form1.meter.InputPin");
    ASSERT_TRUE(ph->ConnectAfter(multi.get(), nullptr));
    EXPECT_EQ(multi->SourceCount(), 1);
    EXPECT_EQ(multi->GetSource(0), ph);
    auto real = Make<TPNRealSourcePin>(nullptr);
    ph->PopulatePinAndDestroy(real.get());  // frees the placeholder
    ASSERT_EQ(multi->SourceCount(), 1);
    EXPECT_EQ(multi->GetSource(0), real.get());
    real->SubmitReal(1000002);
    EXPECT_EQ(multi->Last.load(), 1000002.0);
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

// Three sources send from their own threads; one is unlinked meanwhile. The others keep
// arriving, the unlinked one stops at once, and nothing reaches a pin being cut.
TEST_F(StdPinTest, MultiSinkUnlinksOneSourceWhileTheOthersSend)
{
    auto multi = Make<TRealMultiSink>();
    TPtr<TPNRealSourcePin> sources[3] = {Make<TPNRealSourcePin>(nullptr), Make<TPNRealSourcePin>(nullptr),
                                         Make<TPNRealSourcePin>(nullptr)};
    for (auto& s : sources)
        ASSERT_TRUE(multi->Connect(s.get()));
    std::atomic<bool> stop {false};
    std::atomic<int> sent[3] = {};
    std::vector<std::thread> threads;
    for (int k = 0; k < 3; ++k)
        threads.emplace_back([&, k] {
            for (int n = 0; !stop.load(); ++n) {
                sources[k]->SubmitReal((k + 1) * 1000000.0 + n % 1000);
                ++sent[k];
            }
        });
    auto waitFor = [&](int k, int count) {
        while (multi->Heard[k].load() < count)
            std::this_thread::yield();
    };
    waitFor(1, 50);
    waitFor(2, 50);
    waitFor(3, 50);
    multi->DisconnectFrom(sources[1].get());
    int frozen = multi->Heard[2].load();
    int before1 = multi->Heard[1].load(), before3 = multi->Heard[3].load();
    waitFor(1, before1 + 50);
    waitFor(3, before3 + 50);
    EXPECT_EQ(multi->Heard[2].load(), frozen);
    EXPECT_EQ(multi->SourceCount(), 2);
    EXPECT_FALSE(sources[1]->IsConnected());
    // The sink goes away while the other two still send.
    multi.reset();
    int after = sent[0].load();
    while (sent[0].load() < after + 50)
        std::this_thread::yield();
    stop = true;
    for (auto& t : threads)
        t.join();
    EXPECT_GT(sent[1].load(), 0);
    EXPECT_FALSE(sources[0]->IsConnected());
}

}  // namespace
}  // namespace dcs::stdpintest
