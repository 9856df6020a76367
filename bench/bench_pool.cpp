// Cost of taking and releasing one buffer of a stream period (1024 stereo frames) from
// the block pool, and proof that a warm pool asks the heap for nothing: the counters
// report heap blocks taken by the pool and every global allocation (plain, array,
// nothrow or aligned) made by the allocate/release itself, per iteration.
#include "components/audio/buffers/AUInternalStore.h"
#include "components/audio/buffers/MDSimpleMediaBuffer.h"
#include "components/audio/buffers/SGSimpleDataBuffer.h"

#include "testing/CountingNew.h"

#include <benchmark/benchmark.h>

namespace dcs {
namespace {

constexpr uint32_t kFrames = 1024;

template <class Make> void RunWarm(benchmark::State& state, Make make)
{
    make();  // warm: the size lists now hold the blocks and the buffer objects
    const uint64_t heapBefore = SmartBufferManager().HeapAllocations();
    uint64_t newCalls = 0;  // only the allocate/release, not the benchmark's own loop
    for (auto _ : state) {
        const uint64_t before = testing::tNewCalls;
        {
            auto buffer = make();
            benchmark::DoNotOptimize(buffer.Get());
        }
        newCalls += testing::tNewCalls - before;
    }
    state.counters["pool_heap_blocks"] = double(SmartBufferManager().HeapAllocations() - heapBefore);
    state.counters["global_new_per_iter"] = benchmark::Counter(double(newCalls), benchmark::Counter::kAvgIterations);
}

// 16-bit stereo samples behind the 40-byte header, as an audio stream carries them.
void BM_AudioBufferAllocateRelease(benchmark::State& state)
{
    const uint32_t bytes = TAUSmartAudioBuffer::HeaderSize + kFrames * 2 * uint32_t(state.range(0)) / 8;
    RunWarm(state,
            [bytes] { return IntfPtr<TMDMediaBuffer>(new TMDMediaBuffer(new TAUSmartAudioBuffer(bytes), bytes)); });
}
BENCHMARK(BM_AudioBufferAllocateRelease)->Arg(16)->Arg(24)->Arg(32);

void BM_BlockBufferAllocateRelease(benchmark::State& state)
{
    RunWarm(state, [] { return IntfPtr<TSGBlockBuffer>(new TSGBlockBuffer(kFrames * 4)); });
}
BENCHMARK(BM_BlockBufferAllocateRelease);

// A receiver writing to a shared buffer: one clone (pooled) per write.
void BM_CopyOnWriteModify(benchmark::State& state)
{
    IntfPtr<TSGBlockBuffer> sent(new TSGBlockBuffer(kFrames * 4));
    RunWarm(state, [&sent] {
        IntfPtr<ISGData> copy = sent->MakeCopy();
        BufferInstance<TSGBlockBuffer>(copy.Get())->Modify()[0] = 1;
        return copy;
    });
}
BENCHMARK(BM_CopyOnWriteModify);

}  // namespace
}  // namespace dcs
