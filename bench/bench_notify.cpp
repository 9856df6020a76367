// One send of an operation from a source pin to 1, 4 and 19 linked sinks, the way a
// generator sends each buffer: from inside its component's write lock, which the send
// gives up for the deliveries and takes back afterwards. Counts heap allocations per send.
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

template <class Base>
class TBenchPin : public Base, public IBenchStream {
public:
    template <class... A>
    explicit TBenchPin(A&&... Args) : Base(std::forward<A>(Args)...)
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
    IPNLockSection held = ownerLock->WriteLock();

    source->NotifyPin(nullptr, op.Get());  // warm up
    const long before = long(dcs::testing::tNewCalls);
    long sends = 0;
    for (auto _ : state) {
        source->NotifyPin(nullptr, op.Get());
        ++sends;
    }
    const long allocations = long(dcs::testing::tNewCalls) - before;
    held.Release();
    long received = 0;
    for (auto& p : pins)
        received += p->Received;
    state.counters["allocs_per_send"] = double(allocations) / double(sends ? sends : 1);
    state.counters["sinks"] = sinks;
    if (received != long(sinks) * (sends + 1))
        state.SkipWithError("a sink missed a send");
    if (allocations != 0)
        state.SkipWithError("a send allocated on the heap");
}
BENCHMARK(BM_NotifyPin)->Arg(1)->Arg(4)->Arg(19);

}  // namespace
