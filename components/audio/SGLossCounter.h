// A count of audio lost on purpose or by starvation (frames dropped from a full queue,
// periods a player's device ran dry), readable at any time from any thread, and written
// to standard error at most once a second so that a graph short of CPU does not also
// flood its log.
#pragma once

#include "platform/threads/Sync.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

namespace dcs {

class TSGLossCounter {
public:
    // AWhat names the loss in the log: "frames dropped", "underruns".
    explicit TSGLossCounter(const char* AWhat) : FWhat(AWhat) {}

    // Counts ACount more; AWho names the component in the log line.
    void Add(uint64_t ACount, const std::string& AWho)
    {
        if (ACount == 0)
            return;
        const uint64_t total = FCount.fetch_add(ACount, std::memory_order_relaxed) + ACount;
        const uint32_t now = GetTickCount();
        uint32_t last = FLastLog.load(std::memory_order_relaxed);
        if (FLogged.load(std::memory_order_relaxed) && now - last < 1000)
            return;
        if (!FLastLog.compare_exchange_strong(last, now, std::memory_order_relaxed))
            return;  // another thread logs this second
        FLogged.store(true, std::memory_order_relaxed);
        std::fprintf(stderr, "%s: %llu %s so far\n", AWho.c_str(), static_cast<unsigned long long>(total), FWhat);
    }

    uint64_t Count() const { return FCount.load(std::memory_order_relaxed); }

private:
    const char* FWhat;
    std::atomic<uint64_t> FCount {0};
    std::atomic<uint32_t> FLastLog {0};
    std::atomic<bool> FLogged {false};
};

}  // namespace dcs
