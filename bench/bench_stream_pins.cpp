// One audio buffer of a preset player's format (2 channels, 24 bits, 1024 frames) sent
// through an audio source pin to N linked inputs that read it, and to N inputs of which
// each writes to what it got (every one then copies the samples first).
#include <benchmark/benchmark.h>

#include <vector>

#include "components/audio/AUStreamTypes.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"

namespace {

using namespace dcs;

void SendToInputs(benchmark::State& state, bool AWrite)
{
    const int n = static_cast<int>(state.range(0));
    TOwned<TAUPNAudioSourcePin> source(
        Create<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr));
    uint64_t sum = 0;
    auto event = [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Op, TPNNotifyState) {
        if (auto* b = OperationAs<TPNSuppliedBufferOperation>(Op)) {
            auto* audio = BufferInstance<TAUAudioBuffer>(b->Buffer.Get());
            sum += AWrite ? audio->Modify()[0] : audio->Read()[0];
        }
        return TPNNotifyResult {};
    };
    std::vector<TOwned<TAUPNAudioSinkPin>> sinks;
    for (int i = 0; i < n; ++i) {
        sinks.emplace_back(Create<TAUPNAudioSinkPin>(nullptr, IntfPtr<IPNLock>(), event));
        sinks.back()->Connect(source.get());
    }
    IntfPtr<TAUAudioBuffer> buffer = TAUAudioBuffer::CreateSize(22050, 24, 2, 1024);
    buffer->Write();
    for (auto _ : state)
        source->SubmitBuffer(buffer.Get());
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * n);
    for (auto& s : sinks)
        s->Disconnect();
}

void BM_AudioSendRead(benchmark::State& state) { SendToInputs(state, false); }
void BM_AudioSendWrite(benchmark::State& state) { SendToInputs(state, true); }

}  // namespace

BENCHMARK(BM_AudioSendRead)->Arg(1)->Arg(4)->Arg(19);
BENCHMARK(BM_AudioSendWrite)->Arg(1)->Arg(4)->Arg(19);
