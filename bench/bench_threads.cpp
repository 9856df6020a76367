// Costs of the synchronisation calls that the audio clocks make once per buffer period.
#include "platform/threads/Sync.h"
#include "platform/threads/Thread.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace dcs {
namespace {

void BM_CriticalSectionEnterLeave(benchmark::State& state)
{
    TCriticalSection cs;
    for (auto _ : state) {
        cs.Enter();
        cs.Leave();
    }
}
BENCHMARK(BM_CriticalSectionEnterLeave);

void BM_MutexAcquireRelease(benchmark::State& state)
{
    TMutex m;
    for (auto _ : state) {
        m.WaitFor(INFINITE);
        m.Release();
    }
}
BENCHMARK(BM_MutexAcquireRelease);

// A nested level, as a component lock's owner takes it again.
void BM_MutexNestedLevel(benchmark::State& state)
{
    TMutex m;
    m.WaitFor(INFINITE);
    for (auto _ : state) {
        m.WaitFor(INFINITE);
        m.Release();
    }
    m.Release();
}
BENCHMARK(BM_MutexNestedLevel);

void BM_SemaphoreReleaseTake(benchmark::State& state)
{
    TSemaphore s(0, 10000);
    for (auto _ : state) {
        s.Release();
        s.WaitFor(INFINITE);
    }
}
BENCHMARK(BM_SemaphoreReleaseTake);

void BM_GetCurrentThreadId(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GetCurrentThreadId());
}
BENCHMARK(BM_GetCurrentThreadId);

// One round trip between two threads over two auto-reset events: the wake-up latency
// a clock thread sees when it is released.
void BM_EventPingPong(benchmark::State& state)
{
    TEvent ping(false, false), pong(false, false);
    std::atomic<bool> stop {false};
    std::thread partner([&] {
        for (;;) {
            ping.WaitFor(INFINITE);
            if (stop)
                break;
            pong.SetEvent();
        }
    });
    for (auto _ : state) {
        ping.SetEvent();
        pong.WaitFor(INFINITE);
    }
    stop = true;
    ping.SetEvent();
    partner.join();
}
BENCHMARK(BM_EventPingPong)->UseRealTime();

void BM_ThreadStartAndWait(benchmark::State& state)
{
    class TEmpty : public TThread {
    protected:
        void Execute() override {}
    };
    for (auto _ : state) {
        TEmpty* t = NewThread<TEmpty>();
        t->WaitFor();
        delete t;
    }
}
BENCHMARK(BM_ThreadStartAndWait)->UseRealTime();

}  // namespace
}  // namespace dcs
