#include "components/audio/buffers/SGInternalStore.h"

#include "dsp/DspCore.h"
#include "platform/win/Timer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <sched.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace dcs {

namespace {
// Idle blocks are poisoned in address-checked builds: the pool recycles memory (buffer
// objects and containers as well as data), and a stale pointer into a block that went
// back must still be reported rather than read or scribble on the next holder's data.
void MarkIdle([[maybe_unused]] void* block, [[maybe_unused]] uint32_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(block, size);
#endif
}

void MarkInUse([[maybe_unused]] void* block, [[maybe_unused]] uint32_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(block, size);
#endif
}
}  // namespace

// ------------------------------------------------------------------ TSGSmartBufferList

TSGSmartBufferList::~TSGSmartBufferList()
{
    for (void* block : FBlocks) {
        MarkInUse(block, FSize);
        dspFree(block);
    }
}

void* TSGSmartBufferList::Allocate(std::atomic<uint64_t>& heapAllocations)
{
    FCountDown = uint32_t(FBlocks.size()) + 8;
    if (!FBlocks.empty()) {
        void* block = FBlocks.back();
        FBlocks.pop_back();
        MarkInUse(block, FSize);
        return block;
    }
    void* block = dspMalloc(int(FSize));
    if (!block)
        throw EOutOfMemory("Out of memory");
    heapAllocations.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void TSGSmartBufferList::Deallocate(void* block)
{
    FBlocks.push_back(block);
    MarkIdle(block, FSize);
    FCountDown = uint32_t(FBlocks.size()) + 8;
}

int TSGSmartBufferList::TakeIdle(void** out, int max)
{
    FCountDown = uint32_t(FBlocks.size()) + 8;
    const int n = std::min<int>(max, int(FBlocks.size()));
    std::copy(FBlocks.end() - n, FBlocks.end(), out);
    FBlocks.resize(FBlocks.size() - size_t(n));
    return n;
}

void TSGSmartBufferList::ReturnIdle(void* const* blocks, int count)
{
    FBlocks.insert(FBlocks.end(), blocks, blocks + count);
    FCountDown = uint32_t(FBlocks.size()) + 8;
}

bool TSGSmartBufferList::DownSize()
{
    if (FCountDown > 0) {
        --FCountDown;
        while (FBlocks.size() > FCountDown) {
            MarkInUse(FBlocks.back(), FSize);
            dspFree(FBlocks.back());
            FBlocks.pop_back();
        }
    }
    return FCountDown == 0;
}

// ----------------------------------------------------------------------- TSGPoolLock

void TSGPoolLock::lock() noexcept
{
    for (int spins = 0;;) {
        if (!FHeld.exchange(true, std::memory_order_acquire))
            return;
        while (FHeld.load(std::memory_order_relaxed)) {
            if (++spins < 100) {
#if defined(__x86_64__)
                __builtin_ia32_pause();
#endif
            } else {
                spins = 0;
                sched_yield();
            }
        }
    }
}

// --------------------------------------------------------------- TSGSmartBufferManager

TSGSmartBufferManager::~TSGSmartBufferManager() { ReleaseMemory(); }

TSGSmartBufferList* TSGSmartBufferManager::FindList(uint32_t size, bool create)
{
    for (TSGSmartBufferList* list : FChains)
        if (list->Size() == size)
            return list;
    if (!create)
        return nullptr;
    auto* list = new TSGSmartBufferList(size);
    try {
        FChains.push_back(list);
    } catch (...) {
        delete list;
        throw;
    }
    return list;
}

void* TSGSmartBufferManager::Allocate(uint32_t size)
{
    if (size == 0)
        return nullptr;
    std::lock_guard guard(FLock);
    return FindList(size, true)->Allocate(FHeapAllocations);
}

void TSGSmartBufferManager::Deallocate(void* block, uint32_t size) noexcept
{
    if (!block)
        return;
    std::lock_guard guard(FLock);
    try {
        FindList(size, true)->Deallocate(block);
    } catch (...) {
        // Returns come from destructors and operator delete: when no list can take the
        // block, it goes back to the heap instead of ending the program.
        dspFree(block);
    }
}

int TSGSmartBufferManager::TakeIdle(uint32_t size, void** out, int max)
{
    std::lock_guard guard(FLock);
    TSGSmartBufferList* list = FindList(size, false);
    return list ? list->TakeIdle(out, max) : 0;
}

void TSGSmartBufferManager::ReturnIdle(uint32_t size, void* const* blocks, int count) noexcept
{
    if (count <= 0)
        return;
    std::lock_guard guard(FLock);
    try {
        FindList(size, true)->ReturnIdle(blocks, count);
    } catch (...) {
        for (int i = 0; i < count; ++i) {
            MarkInUse(blocks[i], size);
            dspFree(blocks[i]);
        }
    }
}

void TSGSmartBufferManager::ReleaseMemory()
{
    std::lock_guard guard(FLock);
    for (TSGSmartBufferList* list : FChains)
        delete list;
    FChains.clear();
}

void TSGSmartBufferManager::TimerHandler() noexcept
{
    std::lock_guard guard(FLock);
    for (size_t i = FChains.size(); i-- > 0;) {
        if (FChains[i]->DownSize()) {
            delete FChains[i];
            FChains.erase(FChains.begin() + ptrdiff_t(i));
        }
    }
}

int TSGSmartBufferManager::ListCount()
{
    std::lock_guard guard(FLock);
    return int(FChains.size());
}

int TSGSmartBufferManager::IdleCount(uint32_t size)
{
    std::lock_guard guard(FLock);
    TSGSmartBufferList* list = FindList(size, false);
    return list ? list->IdleCount() : -1;
}

TSGSmartBufferManager& SmartBufferManager()
{
    // Never destroyed: containers held by static objects may come back during exit.
    static auto* manager = new TSGSmartBufferManager;
    return *manager;
}

namespace {
const uint32_t gMainThreadID = GetCurrentThreadId();
TTimer* gTrimTimer = nullptr;  // main thread only
}  // namespace

uint32_t MainThreadID() { return gMainThreadID; }

bool PoolStartTrimming()
{
    if (GetCurrentThreadId() != gMainThreadID)
        return false;
    if (!gTrimTimer) {
        gTrimTimer = new TTimer(nullptr);
        gTrimTimer->SetInterval(TSGSmartBufferManager::TrimIntervalMs);
        gTrimTimer->SetOnTimer([](TObject*) { SmartBufferManager().TimerHandler(); });
    }
    return true;
}

// ------------------------------------------------------------------ per-thread caches

namespace {

// A thread's idle blocks of a few sizes. Plain data, so that it is usable until the very
// end of the thread; the flusher below hands it back to the pool when the thread ends.
struct TPoolThreadCache {
    static constexpr int Sizes = 8;
    static constexpr int Depth = 32;
    static constexpr int Batch = Depth / 2;
    // Larger blocks are not streaming buffers: they bypass the cache, so a thread never
    // sits on much memory the pool could trim.
    static constexpr uint32_t Largest = 16384;

    struct TSlot {
        uint32_t Size;
        int Count;
        void* Blocks[Depth];  // idle, the newest last
    };

    enum : uint8_t {
        Unknown,
        On,
        Off
    };
    uint8_t State;
    TSlot Slots[Sizes];

    TSlot* SlotFor(uint32_t size)
    {
        TSlot* free = nullptr;
        for (TSlot& slot : Slots) {
            if (slot.Size == size)
                return &slot;
            if (!free && slot.Count == 0)
                free = &slot;
        }
        if (free)
            free->Size = size;
        return free;
    }

    void Flush() noexcept
    {
        for (TSlot& slot : Slots) {
            SmartBufferManager().ReturnIdle(slot.Size, slot.Blocks, slot.Count);
            slot.Count = 0;
        }
    }
};

thread_local TPoolThreadCache tlsPoolCache;

struct TPoolCacheFlusher {
    ~TPoolCacheFlusher()
    {
        tlsPoolCache.Flush();
        tlsPoolCache.State = TPoolThreadCache::Off;
    }
};

// The cache of the calling thread, or nil where blocks go straight to the pool.
TPoolThreadCache* ThreadCache(uint32_t size)
{
    if (size > TPoolThreadCache::Largest)
        return nullptr;
    TPoolThreadCache& cache = tlsPoolCache;
    if (cache.State == TPoolThreadCache::Unknown) {
        // The main thread keeps the pool's exact order of reuse, which its trimming and
        // its callers observe; streaming threads take the cache.
        if (GetCurrentThreadId() == gMainThreadID) {
            cache.State = TPoolThreadCache::Off;
        } else {
            static thread_local TPoolCacheFlusher flusher;
            (void)flusher;
            cache.State = TPoolThreadCache::On;
        }
    }
    return cache.State == TPoolThreadCache::On ? &cache : nullptr;
}

}  // namespace

void* PoolAllocate(uint32_t size)
{
    TPoolThreadCache* cache = size != 0 ? ThreadCache(size) : nullptr;
    TPoolThreadCache::TSlot* slot = cache ? cache->SlotFor(size) : nullptr;
    if (!slot)
        return SmartBufferManager().Allocate(size);
    if (slot->Count == 0) {
        slot->Count = SmartBufferManager().TakeIdle(size, slot->Blocks, TPoolThreadCache::Batch);
        if (slot->Count == 0)
            return SmartBufferManager().Allocate(size);
    }
    void* block = slot->Blocks[--slot->Count];
    MarkInUse(block, size);
    return block;
}

void PoolDeallocate(void* block, uint32_t size) noexcept
{
    TPoolThreadCache* cache = block ? ThreadCache(size) : nullptr;
    TPoolThreadCache::TSlot* slot = cache ? cache->SlotFor(size) : nullptr;
    if (!slot) {
        SmartBufferManager().Deallocate(block, size);
        return;
    }
    if (slot->Count == TPoolThreadCache::Depth) {
        // The oldest half goes back; the newest stay for this thread's next allocations.
        constexpr int batch = TPoolThreadCache::Batch;
        SmartBufferManager().ReturnIdle(size, slot->Blocks, batch);
        std::copy(slot->Blocks + batch, slot->Blocks + TPoolThreadCache::Depth, slot->Blocks);
        slot->Count -= batch;
    }
    MarkIdle(block, size);
    slot->Blocks[slot->Count++] = block;
}

void PoolReleaseMemory()
{
    if (TPoolThreadCache* cache = ThreadCache(1))
        cache->Flush();
    SmartBufferManager().ReleaseMemory();
}

void* TSGPooledInstance::operator new(std::size_t size) { return PoolAllocate(uint32_t(size)); }

void TSGPooledInstance::operator delete(void* p, std::size_t size) noexcept { PoolDeallocate(p, uint32_t(size)); }

// ---------------------------------------------------------------------- TSGSmartBuffer

uint32_t TSGSmartBuffer::RoundUpToPowerOfTwo(uint32_t n)
{
    constexpr uint32_t largest = uint32_t(1) << 30;
    if (n >= largest)
        return largest;
    return std::bit_ceil(std::max<uint32_t>(n, 4));
}

void TSGSmartBuffer::AddReff(bool ownsData) { FCounts.fetch_add(ownsData ? kOwner + 1 : 1, std::memory_order_relaxed); }

void TSGSmartBuffer::RemoveReff(bool ownsData)
{
    // Neither count goes below zero, as the counts under a lock never did.
    uint64_t counts = FCounts.load(std::memory_order_relaxed);
    uint64_t next;
    do {
        next = counts;
        if (ownsData && (next >> 32) > 0)
            next -= kOwner;
        if ((next & 0xFFFFFFFFu) > 0)
            --next;
    } while (!FCounts.compare_exchange_weak(counts, next, std::memory_order_acq_rel, std::memory_order_relaxed));
    if ((counts & 0xFFFFFFFFu) > 0 && (next & 0xFFFFFFFFu) == 0)
        delete this;
}

void TSGSmartBuffer::RemoveOwnerShip()
{
    uint64_t counts = FCounts.load(std::memory_order_relaxed);
    while ((counts >> 32) > 0 &&
           !FCounts.compare_exchange_weak(counts, counts - kOwner, std::memory_order_acq_rel,
                                          std::memory_order_relaxed)) {}
}

bool TSGSmartBuffer::SingleOwner()
{
    // Acquire: a writer that finds itself the only owner sees everything the owners that
    // let go wrote before they did.
    return (FCounts.load(std::memory_order_acquire) >> 32) <= 1;
}

TSGSmartBuffer* TSGSmartBuffer::Clone(bool) { return new TSGSmartBuffer; }

int TSGSmartBuffer::CountOwners() { return int(FCounts.load(std::memory_order_acquire) >> 32); }

int TSGSmartBuffer::CountTransports() { return int(FCounts.load(std::memory_order_acquire) & 0xFFFFFFFFu); }

// ------------------------------------------------------------------------ TSGPoolBlock

TSGPoolBlock::TSGPoolBlock(uint32_t size) : FSize(TSGSmartBuffer::RoundUpToPowerOfTwo(size))
{
    // The rounding stops at 2^30: a larger request would get a block smaller than asked.
    if (size > FSize)
        throw EOutOfMemory("Out of memory");
    FData = PoolAllocate(FSize);
}

TSGPoolBlock::~TSGPoolBlock() { PoolDeallocate(FData, FSize); }

void TSGPoolBlock::CopyFrom(const TSGPoolBlock& other)
{
    std::memcpy(FData, other.FData, std::min(FSize, other.FSize));
}

// ---------------------------------------------------------------- TSGSmartMemoryBuffer

TSGSmartMemoryBuffer::TSGSmartMemoryBuffer(uint32_t size, bool) : FBlock(size) {}

TSGSmartMemoryBuffer::TSGSmartMemoryBuffer(const void* data, uint32_t size, bool exactSize)
    : TSGSmartMemoryBuffer(size, exactSize)
{
    if (data && size > 0)
        std::memcpy(RawData(), data, size);
}

TSGSmartMemoryBuffer::TSGSmartMemoryBuffer(TSGSmartMemoryBuffer& other, bool preserve) : FBlock(other.AllocatedSize())
{
    if (preserve)
        FBlock.CopyFrom(other.FBlock);
}

TSGSmartBuffer* TSGSmartMemoryBuffer::Clone(bool preserve) { return new TSGSmartMemoryBuffer(*this, preserve); }

}  // namespace dcs
