// The pin lock's fast paths: an uncontended request and release, and a nested request of
// the owning thread (one bookkeeping enter and leave). Allocations are counted to show
// that sections live on the stack.
#include "components/pins/PNLock.h"
#include "components/pins/PNObject.h"

#include "testing/CountingNew.h"

#include <benchmark/benchmark.h>

namespace {

using namespace dcs;

void CountAllocations(benchmark::State& AState, long ABefore)
{
    AState.counters["allocs/iter"] =
        benchmark::Counter(double(long(dcs::testing::tNewCalls) - ABefore) / double(AState.iterations()));
}

// First level of a free lock: the mutex is taken and given back each time.
void BM_PNLock_WriteLockUncontended(benchmark::State& AState)
{
    IntfPtr<IPNLock> lock = TPNLock::Create();
    const long before = long(dcs::testing::tNewCalls);
    for (auto _ : AState) {
        IPNLockSection s = lock->WriteLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_WriteLockUncontended);

// A repeated request of the owner: one enter and leave of the internal section each way.
void BM_PNLock_WriteLockNested(benchmark::State& AState)
{
    IntfPtr<IPNLock> lock = TPNLock::Create();
    IPNLockSection outer = lock->WriteLock();
    const long before = long(dcs::testing::tNewCalls);
    for (auto _ : AState) {
        IPNLockSection s = lock->WriteLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_WriteLockNested);

void BM_PNLock_ObjectReadSection(benchmark::State& AState)
{
    TPNObject object;
    IPNLockSection outer = object.WriteLock();
    const long before = long(dcs::testing::tNewCalls);
    for (auto _ : AState) {
        IPNLockSection s = object.ReadLock();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_ObjectReadSection);

// What a sending pin does around each delivery.
void BM_PNLock_UnlockAllAndRestore(benchmark::State& AState)
{
    IntfPtr<IPNLock> lock = TPNLock::Create();
    IPNLockSection outer = lock->WriteLock();
    const long before = long(dcs::testing::tNewCalls);
    for (auto _ : AState) {
        IPNLockSection s = lock->UnlockAll();
        benchmark::DoNotOptimize(s);
    }
    CountAllocations(AState, before);
}
BENCHMARK(BM_PNLock_UnlockAllAndRestore);

}  // namespace
