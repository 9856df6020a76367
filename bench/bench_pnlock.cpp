// The pin lock's fast paths: an uncontended request and release, and a nested request of
// the owning thread (one bookkeeping enter and leave). Allocations are counted to show
// that sections live on the stack.
#include "components/pins/PNLock.h"
#include "components/pins/PNObject.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> GAllocations{0};
}

// The replacements below pair malloc with free; the compiler cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t ASize) {
    GAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(ASize ? ASize : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* APtr) noexcept { std::free(APtr); }
void operator delete(void* APtr, std::size_t) noexcept { std::free(APtr); }

namespace {

using namespace dcs;

void CountAllocations(benchmark::State& AState, long ABefore) {
    AState.counters["allocs/iter"] = benchmark::Counter(
        double(GAllocations.load() - ABefore) / double(AState.iterations()));
}

// First level of a free lock: the mutex is taken and given back each time.
void BM_PNLock_WriteLockUncontended(benchmark::State& AState) {
    IntfPtr<IPNLock> lock = TPNLock::Create();
    const long before = GAllocations.load();
    for (auto _ : AState) {
        IPNLockSection s = lock->WriteLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_WriteLockUncontended);

// A repeated request of the owner: one enter and leave of the internal section each way.
void BM_PNLock_WriteLockNested(benchmark::State& AState) {
    IntfPtr<IPNLock> lock = TPNLock::Create();
    IPNLockSection outer = lock->WriteLock();
    const long before = GAllocations.load();
    for (auto _ : AState) {
        IPNLockSection s = lock->WriteLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_WriteLockNested);

void BM_PNLock_ObjectReadSection(benchmark::State& AState) {
    TPNObject object;
    IPNLockSection outer = object.WriteLock();
    const long before = GAllocations.load();
    for (auto _ : AState) {
        IPNLockSection s = object.ReadLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_ObjectReadSection);

// What a sending pin does around each delivery.
void BM_PNLock_UnlockAllAndRestore(benchmark::State& AState) {
    IntfPtr<IPNLock> lock = TPNLock::Create();
    IPNLockSection outer = lock->WriteLock();
    const long before = GAllocations.load();
    for (auto _ : AState) {
        IPNLockSection s = lock->UnlockAll();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_UnlockAllAndRestore);

}  // namespace
