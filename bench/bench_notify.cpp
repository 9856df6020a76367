// One send of an operation from a source pin to 1, 4 and 19 linked sinks, the way a
// generator sends each buffer: from inside its component's write lock, which the send
// gives up for the deliveries and takes back afterwards. The same upstream, from a
// multi-source sink to 1, 4 and 19 sources. Counts heap allocations per send.
#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/PNPins.h"
#include "components/pins/PNStdTypes.h"

#include "testing/CountingNew.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace dcs;

constexpr TGUID BenchType = MakeGUID("{BE7C0000-0000-4000-8000-000000000001}");

class IBenchStream : public virtual IPNStream {
public:
    static constexpr TGUID IID = BenchType;
    virtual TPNNotifyResult Take(IPNNotifyOperation* Op) = 0;

protected:
    ~IBenchStream() = default;
};

template <class Base> class TBenchPin : public Base, public IBenchStream {
public:
    template <class... A> explicit TBenchPin(A&&... Args) : Base(std::forward<A>(Args)...)
    {
        this->AddType(BenchType, TPNSubmit::Of<&TBenchPin::Submit>(this));
    }
    TPNNotifyResult Submit(IPNStream* Handler, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState)
    {
        void* p = nullptr;
        if (Handler->QueryInterface(*ID, &p) != S_OK)
            return {};
        return static_cast<IBenchStream*>(p)->Take(Op);
    }
    TPNNotifyResult Take(IPNNotifyOperation* Op) override
    {
        Received += dynamic_cast<TPNClockOperation*>(Op->Instance()) != nullptr;
        return {};
    }
    long Received = 0;

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == BenchType) {
            *obj = static_cast<IBenchStream*>(this);
            return true;
        }
        return Base::GetInterface(iid, obj);
    }
};

using TBenchSource = TBenchPin<TPNSourcePin>;
using TBenchSink = TBenchPin<TPNSinkPin>;

// Sends ASend once to warm up, then once per iteration, from inside AOwnerLock's write
// lock; reports allocations per send and fails the run on any.
template <class F> void MeasureSends(benchmark::State& state, const IntfPtr<IPNLock>& AOwnerLock, F&& ASend)
{
    IPNLockSection held = AOwnerLock->WriteLock();
    ASend();  // warm up
    const long before = long(dcs::testing::tNewCalls);
    long sends = 0;
    for (auto _ : state) {
        ASend();
        ++sends;
    }
    const long allocations = long(dcs::testing::tNewCalls) - before;
    state.counters["allocs_per_send"] = double(allocations) / double(sends ? sends : 1);
    state.counters["links"] = double(state.range(0));
    if (allocations != 0)
        state.SkipWithError("a send allocated on the heap");
}

void BM_NotifyPin(benchmark::State& state)
{
    const int sinks = int(state.range(0));
    IntfPtr<IPNLock> ownerLock = TPNLock::Create();
    TOwned<TBenchSource> source(Create<TBenchSource>(nullptr, ownerLock, nullptr, -1));
    std::vector<TOwned<TBenchSink>> pins;
    for (int i = 0; i < sinks; ++i) {
        pins.emplace_back(Create<TBenchSink>(nullptr));
        source->Connect(pins.back().get());
    }
    IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNClockOperation>();
    long sends = 0;
    MeasureSends(state, ownerLock, [&] {
        source->NotifyPin(nullptr, op.Get());
        ++sends;
    });
    long received = 0;
    for (auto& p : pins)
        received += p->Received;
    if (received != long(sinks) * sends)
        state.SkipWithError("a sink missed a send");
}
BENCHMARK(BM_NotifyPin)->Arg(1)->Arg(4)->Arg(19);

// A multi-source sink taking the bench stream; what it hears from its sources is dropped.
class TBenchMultiSink : public TPNMultiSinkPin, public IBenchStream {
public:
    explicit TBenchMultiSink(IntfPtr<IPNLock> AOwnerLock) : TPNMultiSinkPin(nullptr, std::move(AOwnerLock))
    {
        AddType(BenchType, TPNSubmit::Of<&TBenchMultiSink::Submit>(this));
    }
    TPNNotifyResult Submit(IPNStream* Handler, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState)
    {
        void* p = nullptr;
        if (Handler->QueryInterface(*ID, &p) != S_OK)
            return {};
        return static_cast<IBenchStream*>(p)->Take(Op);
    }
    TPNNotifyResult Take(IPNNotifyOperation*) override { return {}; }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == BenchType) {
            *obj = static_cast<IBenchStream*>(this);
            return true;
        }
        return TPNMultiSinkPin::GetInterface(iid, obj);
    }
};

void BM_MultiSinkUpstream(benchmark::State& state)
{
    const int sources = int(state.range(0));
    IntfPtr<IPNLock> ownerLock = TPNLock::Create();
    TOwned<TBenchMultiSink> multi(Create<TBenchMultiSink>(ownerLock));
    std::vector<TOwned<TBenchSource>> pins;
    for (int i = 0; i < sources; ++i) {
        pins.emplace_back(Create<TBenchSource>(nullptr, -1));
        multi->Connect(pins.back().get());
    }
    IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNClockOperation>();
    long sends = 0;
    MeasureSends(state, ownerLock, [&] {
        multi->Notify(op.Get());
        ++sends;
    });
    long received = 0;
    for (auto& p : pins)
        received += p->Received;
    if (received != long(sources) * sends)
        state.SkipWithError("a source missed a send");
}
BENCHMARK(BM_MultiSinkUpstream)->Arg(1)->Arg(4)->Arg(19);

}  // namespace
