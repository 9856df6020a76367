// One mix cycle of the preset mixer (2 channels, 24 bits, 22050 Hz, 1024 frames): a
// buffer arrives on every input, the last one triggers the mix, the sum goes on.
// Arguments: inputs, and the inputs' rate (22050: same rate; 11025: stretched).
#include "components/audio/AUAudioMixer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace dcs;

void BM_MixCycle(benchmark::State& state)
{
    const int inputs = int(state.range(0));
    const uint32_t rate = uint32_t(state.range(1));
    TOwned<TAUAudioMixer> mixer(Create<TAUAudioMixer>(nullptr));
    TAUOptionalAudioFormat* f = mixer->AudioFormat();
    f->SetEnabled(true);
    f->SetSampleRate(22050);
    f->SetBits(24);
    f->SetChannels(2);
    f->SetBufferSize(1024);
    TOwned<TAUPNAudioSinkPin> sink(Create<TAUPNAudioSinkPin>(
        nullptr, IntfPtr<IPNLock>(),
        [](TPNBasicPin*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) { return TPNNotifyResult(); }));
    sink->Connect(mixer->OutputPin());
    TAUWaveFormatExtensible header {};
    header.Format.nChannels = 2;
    header.Format.nSamplesPerSec = rate;
    header.wValidBitsPerSample = 16;
    header.dwChannelMask = 3;
    UpdateWaveFormatHeader(header);
    const uint32_t frames = 1024 * rate / 22050;
    std::vector<int16_t> samples(2 * frames);
    for (uint32_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t((i * 37) % 20000);
    std::vector<TOwned<TAUPNAudioSourcePin>> sources;
    std::vector<IntfPtr<TAUAudioBuffer>> buffers;
    for (int i = 0; i < inputs; ++i) {
        sources.emplace_back(Create<TAUPNAudioSourcePin>(nullptr, IntfPtr<IPNLock>(), IntfPtr<IPNLock>(), nullptr));
        mixer->Channels()->Add()->InputPin()->Connect(sources.back().get());
        sources.back()->Notify(MakeOperation<TPNStartWaveOperation>(header, false).Get());
        buffers.push_back(
            TAUAudioBuffer::CreateDataEx(samples.data(), rate, 16, 2, frames, {spFrontLeft, spFrontRight}));
    }
    for (auto _ : state)
        for (int i = inputs - 1; i >= 0; --i)
            sources[size_t(i)]->SubmitBuffer(buffers[size_t(i)].Get());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MixCycle)->Args({1, 22050})->Args({19, 22050})->Args({19, 11025})->Unit(benchmark::kMicrosecond);

}  // namespace
