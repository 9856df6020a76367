#include "components/audio/SGStreamTypes.h"
#include "components/audio/buffers/AUInternalStore.h"
#include "components/audio/buffers/MDSimpleMediaBuffer.h"
#include "components/audio/buffers/SGInternalStore.h"
#include "components/audio/buffers/SGSimpleDataBuffer.h"
#include "platform/threads/Sync.h"
#include "platform/win/Messages.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

// Counts (or fails) every global allocation of this test program, per thread.
#include "testing/CountingNew.h"

namespace dcs {
namespace {

using testing::tFailNew;
using testing::tNewCalls;

TEST(BufferPool, RoundsUpToPowersOfTwoBetween4And2To30)
{
    struct {
        uint32_t n, rounded;
    } table[] = {{0, 4},
                 {1, 4},
                 {4, 4},
                 {5, 8},
                 {8, 8},
                 {9, 16},
                 {1000, 1024},
                 {1024, 1024},
                 {1025, 2048},
                 {6184, 8192},
                 {(1u << 29) + 1, 1u << 30},
                 {1u << 30, 1u << 30},
                 {(1u << 30) + 1, 1u << 30},
                 {0xFFFFFFFFu, 1u << 30}};
    for (auto c : table)
        EXPECT_EQ(TSGSmartBuffer::RoundUpToPowerOfTwo(c.n), c.rounded) << c.n;
}

TEST(BufferPool, ZeroBytesGiveNilAndNoList)
{
    TSGSmartBufferManager pool;
    EXPECT_EQ(pool.Allocate(0), nullptr);
    EXPECT_EQ(pool.ListCount(), 0);
}

TEST(BufferPool, NewestFreedBlockIsReusedFirst)
{
    TSGSmartBufferManager pool;
    void* a = pool.Allocate(1024);
    void* b = pool.Allocate(1024);
    EXPECT_NE(a, b);
    EXPECT_EQ(pool.HeapAllocations(), 2u);
    pool.Deallocate(a, 1024);
    pool.Deallocate(b, 1024);
    EXPECT_EQ(pool.Allocate(1024), b);
    EXPECT_EQ(pool.Allocate(1024), a);
    EXPECT_EQ(pool.HeapAllocations(), 2u);
    pool.Deallocate(a, 1024);
    pool.Deallocate(b, 1024);
}

TEST(BufferPool, TrimmingKeepsIdleBlocksEightTicksThenOnePerTick)
{
    TSGSmartBufferManager pool;
    void* blocks[3] = {pool.Allocate(64), pool.Allocate(64), pool.Allocate(64)};
    for (void* b : blocks)
        pool.Deallocate(b, 64);
    ASSERT_EQ(pool.IdleCount(64), 3);

    // count-down 3 + 8 = 11: ticks 1..8 keep all, 9..10 free one each, 11 removes the list.
    const int expectedIdle[] = {3, 3, 3, 3, 3, 3, 3, 3, 2, 1, -1};
    for (int tick = 0; tick < 11; ++tick) {
        pool.TimerHandler();
        EXPECT_EQ(pool.IdleCount(64), expectedIdle[tick]) << "after tick " << tick + 1;
    }
    EXPECT_EQ(pool.ListCount(), 0);
}

TEST(BufferPool, UseDuringShrinkingRestartsTheCountDown)
{
    TSGSmartBufferManager pool;
    std::vector<void*> blocks;
    for (int i = 0; i < 4; ++i)
        blocks.push_back(pool.Allocate(32));
    for (void* b : blocks)
        pool.Deallocate(b, 32);
    for (int i = 0; i < 10; ++i)  // count-down 12 -> 2: two idle blocks left
        pool.TimerHandler();
    ASSERT_EQ(pool.IdleCount(32), 2);

    void* b = pool.Allocate(32);  // count-down := 2 + 8, one idle block left
    for (int i = 0; i < 8; ++i) {
        pool.TimerHandler();
        EXPECT_EQ(pool.IdleCount(32), 1) << "tick " << i + 1;
    }
    pool.TimerHandler();  // count-down 1: nothing above it
    EXPECT_EQ(pool.IdleCount(32), 1);
    pool.TimerHandler();
    EXPECT_EQ(pool.IdleCount(32), -1);

    // A list emptied by an allocation goes 8 ticks later; the block in use comes back
    // into a fresh list.
    void* c = pool.Allocate(16);
    for (int i = 0; i < 7; ++i)
        pool.TimerHandler();
    EXPECT_EQ(pool.IdleCount(16), 0);
    pool.TimerHandler();
    EXPECT_EQ(pool.IdleCount(16), -1);
    pool.Deallocate(b, 32);
    pool.Deallocate(c, 16);
    EXPECT_EQ(pool.IdleCount(32), 1);
    EXPECT_EQ(pool.IdleCount(16), 1);
}

TEST(BufferPool, ReleaseMemoryFreesOnlyIdleBlocks)
{
    TSGSmartBufferManager pool;
    void* inUse = pool.Allocate(256);
    pool.Deallocate(pool.Allocate(128), 128);
    pool.ReleaseMemory();
    EXPECT_EQ(pool.ListCount(), 0);
    pool.Deallocate(inUse, 256);
    EXPECT_EQ(pool.IdleCount(256), 1);
    const uint64_t before = pool.HeapAllocations();
    EXPECT_EQ(pool.Allocate(256), inUse);
    EXPECT_EQ(pool.HeapAllocations(), before);
    pool.Deallocate(inUse, 256);
}

TEST(BufferPool, ConcurrentAllocationAndReturnKeepEveryBlock)
{
    TSGSmartBufferManager pool;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&pool, t] {
            for (int i = 0; i < 2000; ++i) {
                const uint32_t size = 16u << ((i + t) % 3);
                void* p = pool.Allocate(size);
                static_cast<char*>(p)[size - 1] = char(i);
                pool.Deallocate(p, size);
                if (i % 100 == 0)
                    pool.TimerHandler();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    // Each thread holds at most one block at a time.
    EXPECT_LE(pool.HeapAllocations(), 4u * 3u + 4u);
}

TEST(BufferPool, AReturnNoListCanTakeGoesBackToTheHeap)
{
    TSGSmartBufferManager pool;
    void* block = pool.Allocate(48);
    pool.ReleaseMemory();  // the return has to make a new list
    tFailNew = true;
    EXPECT_NO_THROW(pool.Deallocate(block, 48)) << "returns run in destructors";
    tFailNew = false;
    EXPECT_EQ(pool.IdleCount(48), -1);
}

// One stream period: a 1024-frame stereo 16-bit audio buffer and a byte buffer of the
// same length, each handed to a receiver that writes to it (copy-on-write).
void StreamPeriod()
{
    constexpr uint32_t bytes = TAUSmartAudioBuffer::HeaderSize + 1024 * 2 * 2;
    IntfPtr<TMDMediaBuffer> audio(new TMDMediaBuffer(new TAUSmartAudioBuffer(bytes), bytes));
    // Sending wraps the buffer in an operation that holds its own view of it.
    IntfPtr<IPNNotifyOperation> sent = MakeOperation<TPNSuppliedBufferOperation>(audio.Get());
    IntfPtr<ISGData> received = OperationAs<TPNSuppliedBufferOperation>(sent.Get())->Buffer->MakeCopy();
    auto* receiver = BufferInstance<TMDMediaBuffer>(received.Get());
    receiver->ByteModify();  // moves to a container of its own
    static_cast<uint8_t*>(receiver->DataContainer()->GetRawData())[TAUSmartAudioBuffer::HeaderSize] = 2;

    IntfPtr<TSGBlockBuffer> work(new TSGBlockBuffer(1024 * 2 * 2));
    IntfPtr<ISGData> view = work->MakeCopy();
    BufferInstance<TSGBlockBuffer>(view.Get())->SetItem(0, 3);
}

TEST(BufferPool, AWarmPoolServesAStreamPeriodWithoutTheHeap)
{
    PoolReleaseMemory();
    const uint64_t coldBefore = tNewCalls;
    StreamPeriod();
    EXPECT_GT(tNewCalls, coldBefore) << "a cold pool asks the heap (the count is live)";

    const uint64_t heapBefore = SmartBufferManager().HeapAllocations();
    const uint64_t warmBefore = tNewCalls;
    for (int i = 0; i < 100; ++i)
        StreamPeriod();
    EXPECT_EQ(tNewCalls - warmBefore, 0u) << "global allocations once warm";
    EXPECT_EQ(SmartBufferManager().HeapAllocations(), heapBefore);
    EXPECT_GE(SmartBufferManager().IdleCount(sizeof(TMDMediaBuffer)), 1)
        << "released buffer objects wait in the pool's lists, trimmed like blocks";
}

TEST(BufferPool, RecycledMemoryStillReportsStaleAccess)
{
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "poisoning exists only in address-checked builds";
#else
    PoolReleaseMemory();
    auto* object = new TSGBlockBuffer(100u);
    IntfPtr<TSGBlockBuffer> buffer(object);
    const void* data = buffer->Read();
    buffer = nullptr;
    EXPECT_TRUE(__asan_address_is_poisoned(object));
    EXPECT_TRUE(__asan_address_is_poisoned(data));

    IntfPtr<TSGBlockBuffer> next(new TSGBlockBuffer(100u));
    ASSERT_EQ(next.Get(), object) << "the newest idle object is reused";
    EXPECT_FALSE(__asan_address_is_poisoned(object));
    EXPECT_FALSE(__asan_address_is_poisoned(next->Read()));
#endif
}

TEST(BufferPool, StreamingThreadsCacheBlocksAndHandThemBackWhenTheyEnd)
{
    constexpr uint32_t size = 1234;  // a size nobody else uses
    constexpr int count = 100;
    TSGSmartBufferManager& pool = SmartBufferManager();
    std::vector<void*> blocks;
    // A producer allocates, a consumer returns: the blocks a consumer caches reach the
    // pool when it ends, and the next producer finds them there instead of the heap.
    std::thread([&] {
        for (int i = 0; i < count; ++i)
            blocks.push_back(PoolAllocate(size));
    }).join();
    std::thread consumer([&] {
        for (void* b : blocks)
            PoolDeallocate(b, size);
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_TRUE(__asan_address_is_poisoned(blocks.back())) << "a cached block is idle";
#endif
    });
    consumer.join();
    EXPECT_EQ(pool.IdleCount(size), count);

    const uint64_t heapBefore = pool.HeapAllocations();
    std::thread([&] {
        std::vector<void*> again;
        for (int i = 0; i < count; ++i)
            again.push_back(PoolAllocate(size));
        EXPECT_EQ(pool.IdleCount(size), 0);
        for (int round = 0; round < 50; ++round) {  // steady streaming stays off the heap
            for (void*& b : again) {
                PoolDeallocate(b, size);
                b = PoolAllocate(size);
            }
        }
        for (void* b : again)
            PoolDeallocate(b, size);
    }).join();
    EXPECT_EQ(pool.HeapAllocations(), heapBefore);
    EXPECT_EQ(pool.IdleCount(size), count);
}

TEST(MemoryContainer, BlocksComeFromTheGlobalPoolAndGoBack)
{
    PoolReleaseMemory();
    IntfPtr<TSGBlockBuffer> a(new TSGBlockBuffer(1000u));
    IntfPtr<TSGBlockBuffer> b(new TSGBlockBuffer(1000u));
    EXPECT_EQ(a->MemoryBuffer()->AllocatedSize(), 1024u);
    void* freedLast = b->MemoryBuffer()->RawData();
    a = nullptr;
    b = nullptr;
    EXPECT_EQ(SmartBufferManager().IdleCount(1024), 2);
    IntfPtr<TSGBlockBuffer> c(new TSGBlockBuffer(700u));
    EXPECT_EQ(c->MemoryBuffer()->RawData(), freedLast);

    IntfPtr<TSGBlockBuffer> empty(new TSGBlockBuffer());
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_EQ(empty->MemoryBuffer()->AllocatedSize(), 4u);
}

TEST(MemoryContainer, PreservingCloneCopiesTheWholeBlock)
{
    IntfPtr<TSGBlockBuffer> a(new TSGBlockBuffer(3u));
    auto* block = static_cast<uint8_t*>(a->MemoryBuffer()->RawData());
    for (int i = 0; i < 4; ++i)
        block[i] = uint8_t(10 + i);  // the fourth byte is past the buffer's size
    IntfPtr<ISGData> shared = a->MakeCopy();
    a->Modify();
    EXPECT_EQ(static_cast<uint8_t*>(a->MemoryBuffer()->RawData())[3], 13);

    TSGSmartMemoryBuffer* big = new TSGSmartMemoryBuffer(64);
    big->AddReff(true);
    TSGSmartMemoryBuffer* small = new TSGSmartMemoryBuffer(8);
    small->AddReff(true);
    std::memset(big->RawData(), 0x77, 64);
    std::memset(small->RawData(), 0x11, 8);
    big->CopyFrom(*small);
    EXPECT_EQ(static_cast<uint8_t*>(big->RawData())[7], 0x11);
    EXPECT_EQ(static_cast<uint8_t*>(big->RawData())[8], 0x77);
    small->CopyFrom(*big);  // copies 8, not 64
    EXPECT_EQ(static_cast<uint8_t*>(small->RawData())[0], 0x11);
    big->RemoveReff(true);
    small->RemoveReff(true);
}

TEST(BufferPool, TrimsTheGlobalPoolFromTheMainThreadsMessageLoop)
{
    TManualClock clock;
    SetMessageClock(&clock);
    std::thread other([] { EXPECT_FALSE(PoolStartTrimming()) << "only the main thread trims"; });
    other.join();
    ASSERT_TRUE(PoolStartTrimming());
    EXPECT_TRUE(PoolStartTrimming());

    constexpr uint32_t size = 3 << 20;  // a size nobody else uses
    PoolDeallocate(PoolAllocate(size), size);
    auto tick = [&clock] {
        clock.Advance(TSGSmartBufferManager::TrimIntervalMs);
        TMsg msg;
        while (PeekMessage(msg, true))
            DispatchMessage(msg);
    };
    for (int i = 0; i < 8; ++i)
        tick();
    EXPECT_EQ(SmartBufferManager().IdleCount(size), 1);
    tick();
    EXPECT_EQ(SmartBufferManager().IdleCount(size), -1);
    SetMessageClock(nullptr);
}

}  // namespace
}  // namespace dcs
