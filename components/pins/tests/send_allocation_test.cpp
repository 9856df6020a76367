// A send over a source pin's links and one upstream over a multi-source sink's links
// touch no heap once warm, with the pins' owners locked the way components send.
#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/tests/StdPinFixtures.h"

#include "testing/CountingNew.h"

namespace dcs::stdpintest {
namespace {

// Takes clock sources; the upstream operations go out over the clock stream.
class TClockMultiSink : public TPNMultiSinkPin, public IPNClockStream {
public:
    explicit TClockMultiSink(IntfPtr<IPNLock> AOwnerLock) : TPNMultiSinkPin(nullptr, std::move(AOwnerLock))
    {
        AddType(IPNClockStream::IID, TPNSubmit::Of<&TClockMultiSink::Upstream>(this));
    }
    TPNNotifyResult Upstream(IPNStream* H, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState St)
    {
        return DeliverThrough<IPNClockStream>(H, ID, Op, St);
    }
    TPNNotifyResult NotifyStream(const TGUID*, IPNNotifyOperation*, TPNNotifyState) override { return {}; }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IPNClockStream>(this, iid, obj) || TPNMultiSinkPin::GetInterface(iid, obj);
    }
};

// Calls made on the test's thread between the warm-up send and the end of ASends sends.
template <class F> uint64_t AllocationsOfSends(int ASends, F&& ASend)
{
    ASend();
    const uint64_t before = dcs::testing::tNewCalls;
    for (int i = 0; i < ASends; ++i)
        ASend();
    return dcs::testing::tNewCalls - before;
}

TEST_F(StdPinTest, SendsOverEveryLinkWithoutTouchingTheHeap)
{
    auto op = MakeOperation<TPNClockOperation>();
    for (int links : {1, 4, 19}) {
        IntfPtr<IPNLock> ownerLock = TPNLock::Create();
        int heard = 0;
        auto count = [&heard](TPNBasicPin*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) {
            ++heard;
            return TPNNotifyResult {};
        };

        auto source = Make<TPNClockSourcePin>(nullptr, ownerLock, IntfPtr<IPNLock>(), count);
        std::vector<TPtr<TPNClockSinkPin>> sinks;
        for (int i = 0; i < links; ++i) {
            sinks.push_back(Make<TPNClockSinkPin>(nullptr, TPNClockEvent(), count, nullptr));
            ASSERT_TRUE(source->Connect(sinks.back().get()));
        }
        auto multi = Make<TClockMultiSink>(ownerLock);
        std::vector<TPtr<TPNClockSourcePin>> sources;
        for (int i = 0; i < links; ++i) {
            sources.push_back(Make<TPNClockSourcePin>(nullptr, count));
            ASSERT_TRUE(multi->Connect(sources.back().get()));
        }

        IPNLockSection held = ownerLock->WriteLock();
        heard = 0;
        EXPECT_EQ(AllocationsOfSends(10, [&] { source->Notify(op.Get()); }), 0u) << links << " sinks";
        EXPECT_EQ(AllocationsOfSends(10, [&] { multi->Notify(op.Get()); }), 0u) << links << " sources";
        EXPECT_EQ(heard, 2 * 11 * links);
    }
}

}  // namespace
}  // namespace dcs::stdpintest
