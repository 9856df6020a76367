// Cost of taking and releasing one buffer of a stream period (1024 stereo frames) from
// the block pool, and proof that a warm pool asks the heap for nothing: the counters
// report heap blocks taken by the pool and every global allocation per iteration.
#include "components/audio/AUInternalStore.h"
#include "components/audio/MDSimpleMediaBuffer.h"
#include "components/audio/SGSimpleDataBuffer.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> gNewCalls{0};
}

// The replacement pair below is malloc/free on both sides; the compiler cannot see that
// once it inlines one half.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    gNewCalls.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace dcs {
namespace {

constexpr uint32_t kFrames = 1024;

template <class Make>
void RunWarm(benchmark::State& state, Make make)
{
    make();  // warm: the size lists now hold the blocks
    const uint64_t heapBefore = SmartBufferManager().HeapAllocations();
    const uint64_t newBefore = gNewCalls.load();
    for (auto _ : state) {
        auto buffer = make();
        benchmark::DoNotOptimize(buffer.Get());
    }
    state.counters["pool_heap_blocks"] = double(SmartBufferManager().HeapAllocations() - heapBefore);
    state.counters["global_new_per_iter"] =
        benchmark::Counter(double(gNewCalls.load() - newBefore), benchmark::Counter::kAvgIterations);
}

// 16-bit stereo samples behind the 40-byte header, as an audio stream carries them.
void BM_AudioBufferAllocateRelease(benchmark::State& state)
{
    const uint32_t bytes = TAUSmartAudioBuffer::HeaderSize + kFrames * 2 * uint32_t(state.range(0)) / 8;
    RunWarm(state, [bytes] {
        return IntfPtr<TMDMediaBuffer>(new TMDMediaBuffer(new TAUSmartAudioBuffer(bytes), bytes));
    });
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
