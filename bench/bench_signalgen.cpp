// One buffer period of a tone generator (new buffer, tone, copy into every channel,
// send to no link) and of a channel splitter (start format once, then one stereo buffer
// split into two mono buffers): the work each clock period costs per component.
#include <benchmark/benchmark.h>

#include "components/audio/AUChannelSplitter.h"
#include "components/audio/AUSignalGen.h"

namespace {

using namespace dcs;

void BM_SignalGenBuffer(benchmark::State& state)
{
    TOwned<TAUSignalGen> gen(Create<TAUSignalGen>(nullptr));
    gen->SetClockSource(TSGClockSource::csExternal);  // buffers only on Pump
    gen->AudioFormat()->SetSampleRate(22050);
    gen->AudioFormat()->SetBits(uint32_t(state.range(0)));
    gen->AudioFormat()->SetBufferSize(1024);
    for (auto _ : state)
        gen->Pump();
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_SignalGenBuffer)->Arg(16)->Arg(24);

void BM_ChannelSplitterBuffer(benchmark::State& state)
{
    TOwned<TAUChannelSplitter> splitter(Create<TAUChannelSplitter>(nullptr));
    TOwned<TAUPNAudioSourcePin> source(Create<TAUPNAudioSourcePin>(nullptr, nullptr, nullptr, TSGOperationEvent {}));
    TOwned<TAUPNAudioSinkPin> left(Create<TAUPNAudioSinkPin>(nullptr, nullptr, TSGOperationEvent {}));
    TOwned<TAUPNAudioSinkPin> right(Create<TAUPNAudioSinkPin>(nullptr, nullptr, TSGOperationEvent {}));
    splitter->InputPin()->Connect(source.get());
    left->Connect(splitter->OutputPin(0));
    right->Connect(splitter->OutputPin(1));
    IntfPtr<TAUAudioBuffer> b = TAUAudioBuffer::CreateSizeEx(22050, 24, 2, 1024, {spFrontLeft, spFrontRight});
    b->Zero();
    source->Notify(MakeOperation<TPNStartWaveOperation>(*b->WaveFormat(), false).Get());
    for (auto _ : state)
        source->SubmitBuffer(b.Get());
    state.SetItemsProcessed(state.iterations() * 1024);
}
BENCHMARK(BM_ChannelSplitterBuffer);

}  // namespace
