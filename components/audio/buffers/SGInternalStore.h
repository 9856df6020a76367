// Shared data containers and the process-wide block pool behind every data buffer.
//
// A container holds the bytes that one or more buffer objects view. It counts the buffer
// objects that reference it (transports) and those of them that own the data (owners);
// a buffer that wants to write while another owner remains takes a private copy
// (copy-on-write). Blocks come from a pool kept in lists by exact size, so steady
// streaming reuses memory instead of asking the heap; idle blocks go back to the heap
// only after a quiet spell, one per trimming tick. In address-checked builds idle blocks
// are poisoned, so a stale pointer into recycled memory is still reported.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/threads/Sync.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace dcs {

// ------------------------------------------------------------------------------ pool

// Idle blocks of one exact size; the most recently returned block is at the end.
class TSGSmartBufferList : public TObject {
public:
    explicit TSGSmartBufferList(uint32_t size) : FSize(size) {}
    ~TSGSmartBufferList() override;  // releases every idle block

    uint32_t Size() const { return FSize; }
    int IdleCount() const { return int(FBlocks.size()); }
    uint32_t CountDown() const { return FCountDown; }

    // The newest idle block, or a new one from the heap (EOutOfMemory "Out of memory").
    void* Allocate(std::atomic<uint64_t>& heapAllocations);
    void Deallocate(void* block);
    // Moves up to `max` idle blocks into `out`, the newest last; they stay marked idle.
    int TakeIdle(void** out, int max);
    // Files idle blocks at once, the last as the newest.
    void ReturnIdle(void* const* blocks, int count);
    // One trimming tick; true when the list has counted down to its end.
    bool DownSize();

private:
    uint32_t FSize;
    std::vector<void*> FBlocks;
    uint32_t FCountDown = 0;
};

// The pool's lock: held for a few dozen instructions by threads that allocate and free
// every buffer period, so a waiter spins briefly instead of sleeping in the kernel, and
// yields the processor when the holder was preempted.
class TSGPoolLock {
public:
    void lock() noexcept;
    void unlock() noexcept { FHeld.store(false, std::memory_order_release); }

private:
    std::atomic<bool> FHeld {false};
};

// The pool: size lists under one lock. Every operation may come from any thread; the
// trimming handler is meant for a 200 ms timer on the main thread.
class TSGSmartBufferManager : public TObject {
public:
    static constexpr uint32_t TrimIntervalMs = 200;

    TSGSmartBufferManager() = default;
    ~TSGSmartBufferManager() override;

    // nil for 0 bytes (no list is made).
    void* Allocate(uint32_t size);
    // `size` must be the size the block was allocated with. Never raises: a block that no
    // list can take (out of memory) goes straight back to the heap.
    void Deallocate(void* block, uint32_t size) noexcept;
    // Batch forms for the per-thread caches: up to `max` idle blocks of `size` (none when
    // the list is empty; nothing comes from the heap), and a return of idle blocks that
    // never raises (blocks no list can take go back to the heap).
    int TakeIdle(uint32_t size, void** out, int max);
    void ReturnIdle(uint32_t size, void* const* blocks, int count) noexcept;
    // Frees every idle block and every list; blocks in use come back into new lists.
    void ReleaseMemory();
    // One trimming tick; never raises.
    void TimerHandler() noexcept;

    // Observation for tests and benchmarks.
    int ListCount();
    // -1 when there is no list of that size.
    int IdleCount(uint32_t size);
    // Blocks asked from the heap so far.
    uint64_t HeapAllocations() const { return FHeapAllocations.load(std::memory_order_relaxed); }

private:
    TSGSmartBufferList* FindList(uint32_t size, bool create);

    TSGPoolLock FLock;
    std::vector<TSGSmartBufferList*> FChains;  // in order of creation
    std::atomic<uint64_t> FHeapAllocations {0};
};

// The process-wide pool, made on first use and kept until the process ends (containers
// may be released by static objects' destructors).
TSGSmartBufferManager& SmartBufferManager();
// Allocation from the process-wide pool. On any thread but the main thread, blocks of
// streaming sizes pass through a small cache of that thread, filled and emptied in
// batches, so that the threads of one period do not queue on the pool's lock for every
// buffer. A thread's cache goes back to the pool when the thread ends.
void* PoolAllocate(uint32_t size);
void PoolDeallocate(void* block, uint32_t size) noexcept;
// Frees the pool's idle blocks and the calling thread's cache (other threads' caches are
// theirs until they end).
void PoolReleaseMemory();
// Starts trimming the process-wide pool every 200 ms by a timer of the calling thread's
// message loop. Call once on the main thread at start-up; false (and nothing started)
// on any other thread. Later calls do nothing.
bool PoolStartTrimming();

// The program's main thread, recorded when the library starts (on that thread).
uint32_t MainThreadID();

// Classes whose instances come from the pool as well (containers and buffer objects), so
// that a stream's allocate/release cycle reaches the heap only while the pool is cold.
// Instances are filed under their exact size and trimmed like any other block.
class TSGPooledInstance {
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
};

// One pooled block of a power-of-two size (4 bytes at least), returned to the pool with
// its holder. The bytes of a new or reused block are undefined.
class TSGPoolBlock {
public:
    explicit TSGPoolBlock(uint32_t size);
    ~TSGPoolBlock();
    TSGPoolBlock(const TSGPoolBlock&) = delete;
    TSGPoolBlock& operator=(const TSGPoolBlock&) = delete;

    void* Data() const { return FData; }
    uint32_t Size() const { return FSize; }
    // Copies min of the two sizes from other's block.
    void CopyFrom(const TSGPoolBlock& other);

private:
    uint32_t FSize;
    void* FData;
};

// ------------------------------------------------------------------------ containers

class TSGSmartBuffer : public TObject {
public:
    TSGSmartBuffer() = default;

    // The smallest 2^k >= n for k in 2..30; 2^30 above that.
    static uint32_t RoundUpToPowerOfTwo(uint32_t n);

    virtual void AddReff(bool ownsData);
    // Frees the container when this drops the last transport reference.
    virtual void RemoveReff(bool ownsData);
    virtual void RemoveOwnerShip();
    virtual bool SingleOwner();
    // A new container of the same kind, with a copy of the bytes when `preserve`.
    virtual TSGSmartBuffer* Clone(bool preserve);
    // The block and its size, for containers that hold one (nil and 0 otherwise).
    virtual void* GetRawData() const { return nullptr; }
    virtual uint32_t GetAllocatedSize() const { return 0; }

    void EnterRead() { FCriticalSection.Enter(); }
    void LeaveRead() { FCriticalSection.Leave(); }
    void EnterWrite() { FCriticalSection.Enter(); }
    void LeaveWrite() { FCriticalSection.Leave(); }

    // The data's sequence stamp (not copied by Clone).
    bool BufferNumberAvailable() const { return FBufferNumberAvailable.load(std::memory_order_relaxed); }
    void SetBufferNumberAvailable(bool v) { FBufferNumberAvailable.store(v, std::memory_order_relaxed); }
    int64_t BufferNumber() const { return FBufferNumber.load(std::memory_order_relaxed); }
    void SetBufferNumber(int64_t v) { FBufferNumber.store(v, std::memory_order_relaxed); }

    int CountOwners();
    int CountTransports();

protected:
    ~TSGSmartBuffer() override = default;  // only RemoveReff frees a container

private:
    // Owners in the high half, transports in the low half: one atomic word, so that the
    // reference traffic of every buffer passed along a stream takes no lock.
    static constexpr uint64_t kOwner = uint64_t(1) << 32;
    std::atomic<uint64_t> FCounts {0};
    TCriticalSection FCriticalSection;
    std::atomic<bool> FBufferNumberAvailable {false};
    std::atomic<int64_t> FBufferNumber {0};
};

// A container over one pooled block of a power-of-two size (4 bytes at least). The bytes
// of a new or reused block are undefined.
class TSGSmartMemoryBuffer : public TSGSmartBuffer, public TSGPooledInstance {
public:
    // `exactSize` has no effect: every block is rounded up.
    explicit TSGSmartMemoryBuffer(uint32_t size, bool exactSize = false);
    // `size` bytes copied from `data` when it is not nil.
    TSGSmartMemoryBuffer(const void* data, uint32_t size, bool exactSize = false);
    // A block of other's allocated size; all of its bytes copied when `preserve`.
    TSGSmartMemoryBuffer(TSGSmartMemoryBuffer& other, bool preserve);

    TSGSmartBuffer* Clone(bool preserve) override;
    // Copies min of the two allocated sizes from other's block.
    void CopyFrom(const TSGSmartMemoryBuffer& other) { FBlock.CopyFrom(other.FBlock); }

    uint32_t AllocatedSize() const { return FBlock.Size(); }
    void* RawData() const { return FBlock.Data(); }
    void* GetRawData() const override { return FBlock.Data(); }
    uint32_t GetAllocatedSize() const override { return FBlock.Size(); }

    static void ReleaseMemory() { PoolReleaseMemory(); }

protected:
    ~TSGSmartMemoryBuffer() override = default;

private:
    TSGPoolBlock FBlock;
};

}  // namespace dcs
