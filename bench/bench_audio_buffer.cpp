// One mixer period's buffer work on 1024 stereo frames: making a buffer, summing,
// gain (own and shared data), speaker-matched copies with and without width conversion.
#include "components/audio/buffers/AUSimpleAudioBuffer.h"

#include <benchmark/benchmark.h>

namespace dcs {
namespace {

constexpr uint32_t kFrames = 1024;
constexpr TAUSpeakers kStereo {spFrontLeft, spFrontRight};

IntfPtr<TAUAudioBuffer> Stereo(uint32_t bits)
{
    IntfPtr<TAUAudioBuffer> b = TAUAudioBuffer::CreateSizeEx(22050, bits, 2, kFrames, kStereo);
    b->SetValue(1000);
    return b;
}

void BM_CreateAndRelease(benchmark::State& state)
{
    for (auto _ : state) {
        IntfPtr<TAUAudioBuffer> b = TAUAudioBuffer::CreateSizeEx(22050, 24, 2, kFrames, kStereo);
        benchmark::DoNotOptimize(b->Read());
    }
}
BENCHMARK(BM_CreateAndRelease);

void BM_Add(benchmark::State& state)
{
    IntfPtr<TAUAudioBuffer> a = Stereo(uint32_t(state.range(0)));
    IntfPtr<TAUAudioBuffer> b = Stereo(uint32_t(state.range(0)));
    for (auto _ : state)
        a->Add(b.Get());
    state.SetItemsProcessed(state.iterations() * kFrames * 2);
}
BENCHMARK(BM_Add)->Arg(16)->Arg(24)->Arg(32);

void BM_ApplyGain(benchmark::State& state)
{
    IntfPtr<TAUAudioBuffer> a = Stereo(24);
    for (auto _ : state)
        a->ApplyGain(state.range(0) ? 0.999 : 1.001);
    state.SetItemsProcessed(state.iterations() * kFrames * 2);
}
BENCHMARK(BM_ApplyGain)->Arg(0);

// The mixer's case: the input buffer is still held by its sender.
void BM_ApplyGainShared(benchmark::State& state)
{
    IntfPtr<TAUAudioBuffer> source = Stereo(24);
    for (auto _ : state) {
        IntfPtr<TAUAudioBuffer> mine = TAUAudioBuffer::CreateEx(*source);
        mine->ApplyGain(0.5);
        benchmark::DoNotOptimize(mine->Read());
    }
    state.SetItemsProcessed(state.iterations() * kFrames * 2);
}
BENCHMARK(BM_ApplyGainShared);

void BM_CopyTo(benchmark::State& state)
{
    IntfPtr<TAUAudioBuffer> src = Stereo(uint32_t(state.range(0)));
    IntfPtr<TAUAudioBuffer> dst = Stereo(24);
    for (auto _ : state)
        src->CopyTo(0, dst.Get(), 0, kFrames);
    state.SetItemsProcessed(state.iterations() * kFrames * 2);
}
BENCHMARK(BM_CopyTo)->Arg(24)->Arg(16);

}  // namespace
}  // namespace dcs
