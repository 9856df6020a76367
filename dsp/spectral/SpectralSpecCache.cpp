#include "dsp/spectral/SpectralSpecCache.h"

#include <list>
#include <mutex>

#include "dsp/spectral/FftEntries.h"

namespace dcs {

namespace {

// Room for the specs of a few sizes up to order 20 or so; a spec larger than this is made
// for its call only.
constexpr std::int64_t kBudgetBytes = std::int64_t {64} << 20;

struct Entry {
    bool complex;
    int order;
    std::int64_t bytes;
    SharedFftSpec spec;
};

struct Cache {
    std::mutex lock;
    std::list<Entry> entries;  // most recently used first
    std::int64_t bytes = 0;
};

Cache& TheCache()
{
    static Cache cache;
    return cache;
}

std::int64_t SpecBytes(bool complex, int order)
{
    const FftPlan p = FftMakePlan<double>(order, !complex);
    return p.bitRevBytes + p.tableAreaBytes + 2 * p.recombBytes;
}

SharedFftSpec MakeSpec(bool complex, int order, VpsStatus* status)
{
    FftSpec* raw = nullptr;
    *status = complex ? fallback::vpsFFTInitAlloc_C_64fc(&raw, order, 2, 0)
                      : fallback::vpsFFTInitAlloc_R_64f(&raw, order, 2, 0);
    if (*status != StatusOk)
        return nullptr;
    try {
        return SharedFftSpec(
            raw, [complex](FftSpec* s) { complex ? fallback::vpsFFTFree_C_64fc(s) : fallback::vpsFFTFree_R_64f(s); });
    } catch (...) {  // the holder's own record could not be had; the deleter already ran
        *status = StatusNoMemory;
        return nullptr;
    }
}

}  // namespace

SharedFftSpec SpectralSpecAcquire(bool complex, int order, VpsStatus* status) noexcept
{
    Cache& c = TheCache();
    {
        const std::lock_guard<std::mutex> hold(c.lock);
        for (auto it = c.entries.begin(); it != c.entries.end(); ++it)
            if (it->complex == complex && it->order == order) {
                c.entries.splice(c.entries.begin(), c.entries, it);
                *status = StatusOk;
                return it->spec;
            }
    }
    // Made outside the lock: other sizes need not wait for these tables. Two threads
    // asking for the same new size may both make it; the second is simply not kept.
    SharedFftSpec spec = MakeSpec(complex, order, status);
    if (!spec)
        return nullptr;
    const std::int64_t bytes = SpecBytes(complex, order);
    if (bytes > kBudgetBytes)
        return spec;
    const std::lock_guard<std::mutex> hold(c.lock);
    for (const Entry& e : c.entries)
        if (e.complex == complex && e.order == order)
            return spec;
    try {
        c.entries.push_front(Entry {complex, order, bytes, spec});
    } catch (...) {
        return spec;  // not kept; the caller still has its spec
    }
    c.bytes += bytes;
    while (c.bytes > kBudgetBytes) {
        c.bytes -= c.entries.back().bytes;
        c.entries.pop_back();
    }
    return spec;
}

void SpectralSpecCacheClear() noexcept
{
    Cache& c = TheCache();
    std::list<Entry> released;
    {
        const std::lock_guard<std::mutex> hold(c.lock);
        released.swap(c.entries);
        c.bytes = 0;
    }
}

}  // namespace dcs
