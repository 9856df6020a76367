// Sends of the typed value pins: a real value from one source to 1, 4 and 19 real sinks;
// a Boolean state shared by 2 and 8 state pins (one change reaches every other member);
// an upstream operation from a multi-source sink to 3 sources.
#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/PNStatePins.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using namespace dcs;

template <class T> using TPtr = TOwned<T>;

void BM_RealValueToSinks(benchmark::State& state)
{
    TPtr<TPNRealSourcePin> source(Create<TPNRealSourcePin>(nullptr));
    std::vector<TPtr<TPNRealSinkPin>> sinks;
    for (int i = 0; i < state.range(0); ++i) {
        sinks.emplace_back(Create<TPNRealSinkPin>(nullptr, TPNRealChangeEvent(), nullptr));
        source->Connect(sinks.back().get());
    }
    double v = 0;
    for (auto _ : state)
        source->SubmitReal(v += 1);
    benchmark::DoNotOptimize(sinks.back()->Value());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RealValueToSinks)->Arg(1)->Arg(4)->Arg(19);

void BM_StateChangeToMembers(benchmark::State& state)
{
    std::vector<TPtr<TPNBoolStatePin>> pins;
    for (int i = 0; i < state.range(0); ++i)
        pins.emplace_back(Create<TPNBoolStatePin>(nullptr, TPNBoolChangeEvent(), nullptr));
    auto d = TPNStateDispatcher::CreateNamed("Bench", false);
    for (auto& p : pins)
        TPNStateLinks::ConnectToState(p.get(), d);
    bool v = false;
    for (auto _ : state)
        pins[0]->SetValue(v = !v);
    benchmark::DoNotOptimize(pins.back()->Value());
    state.SetItemsProcessed(state.iterations() * (state.range(0) - 1));
    for (auto& p : pins)
        p->Disconnect();
}
BENCHMARK(BM_StateChangeToMembers)->Arg(2)->Arg(8);

class TClockMulti : public TPNMultiSinkPin, public IPNClockStream {
public:
    TClockMulti() : TPNMultiSinkPin(nullptr) { AddType(IPNClockStream::IID, TPNSubmit::Of<&TClockMulti::Up>(this)); }
    TPNNotifyResult Up(IPNStream* H, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState St)
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

void BM_MultiSinkUpstream(benchmark::State& state)
{
    long heard = 0;
    TPtr<TClockMulti> multi(Create<TClockMulti>());
    std::vector<TPtr<TPNClockSourcePin>> sources;
    for (int i = 0; i < 3; ++i) {
        sources.emplace_back(Create<TPNClockSourcePin>(
            nullptr, [&heard](TPNBasicPin*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) {
                ++heard;
                return TPNNotifyResult {};
            }));
        multi->Connect(sources.back().get());
    }
    IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNQueryStreamOperation>();
    for (auto _ : state)
        multi->Notify(op.Get());
    benchmark::DoNotOptimize(heard);
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(BM_MultiSinkUpstream);

}  // namespace
