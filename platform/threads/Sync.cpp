#include "platform/threads/Sync.h"

#include "platform/base/SysUtils.h"

#include <sched.h>

#include <chrono>
#include <thread>

namespace dcs {

namespace {

std::atomic<uint32_t> gLastThreadId {0};
thread_local uint32_t tlsThreadId = 0;

}  // namespace

namespace detail {

uint32_t NewThreadId()
{
    uint32_t id;
    do
        id = gLastThreadId.fetch_add(1) + 1;
    while (id == 0);
    return id;
}

void SetCurrentThreadId(uint32_t Id) { tlsThreadId = Id; }

TWaitCore::TWaitCore()
{
    pthread_mutex_init(&FMutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&FCond, &attr);
    pthread_condattr_destroy(&attr);
}

TWaitCore::~TWaitCore()
{
    pthread_cond_destroy(&FCond);
    pthread_mutex_destroy(&FMutex);
}

timespec TWaitCore::DeadlineAfter(uint32_t Milliseconds)
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    t.tv_sec += Milliseconds / 1000;
    t.tv_nsec += static_cast<long>(Milliseconds % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_nsec -= 1000000000L;
        ++t.tv_sec;
    }
    return t;
}

// The mutexes a thread holds, so that its end can abandon them instead of leaving
// them locked for good. Only the owning thread links and unlinks.
struct TOwnedMutexes {
    TMutex* Head = nullptr;

    void Add(TMutex* m)
    {
        m->FPrevOwned = nullptr;
        m->FNextOwned = Head;
        if (Head)
            Head->FPrevOwned = m;
        Head = m;
    }

    void Remove(TMutex* m)
    {
        if (m->FPrevOwned)
            m->FPrevOwned->FNextOwned = m->FNextOwned;
        else
            Head = m->FNextOwned;
        if (m->FNextOwned)
            m->FNextOwned->FPrevOwned = m->FPrevOwned;
        m->FPrevOwned = m->FNextOwned = nullptr;
    }

    ~TOwnedMutexes() { AbandonAll(); }

    void AbandonAll()
    {
        while (TMutex* m = Head) {
            Remove(m);
            m->FCore.Lock();
            m->FOwner = 0;
            m->FCount = 0;
            m->FAbandoned = true;
            m->FCore.Signal();
            m->FCore.Unlock();
        }
    }
};

namespace {
thread_local TOwnedMutexes tlsOwnedMutexes;
}

void AbandonOwnedMutexes() { tlsOwnedMutexes.AbandonAll(); }

}  // namespace detail

uint32_t GetCurrentThreadId()
{
    uint32_t id = tlsThreadId;
    if (id == 0)
        tlsThreadId = id = detail::NewThreadId();
    return id;
}

void Sleep(uint32_t Milliseconds)
{
    if (Milliseconds == 0)
        sched_yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

uint32_t GetTickCount()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u);
}

// ---- TEvent ----

TEvent::TEvent(bool ManualReset, bool InitialState) : FManualReset(ManualReset), FSignaled(InitialState) {}

void TEvent::SetEvent()
{
    FCore.Lock();
    if (FManualReset) {
        FSignaled = true;
        if (FWaiters > 0) {
            ++FGeneration;
            FCore.Broadcast();
        }
    } else if (FWaiters > FGrants) {
        ++FGrants;
        FCore.Signal();
    } else {
        FSignaled = true;
    }
    FCore.Unlock();
}

void TEvent::ResetEvent()
{
    FCore.Lock();
    FSignaled = false;
    FCore.Unlock();
}

TWaitResult TEvent::WaitFor(uint32_t Milliseconds)
{
    FCore.Lock();
    ++FWaiters;
    const uint64_t generation = FGeneration;
    TWaitResult r = FCore.WaitLocked(Milliseconds, [&] {
        if (FManualReset)
            return FSignaled || FGeneration != generation;
        if (FGrants > 0) {
            --FGrants;
            return true;
        }
        if (FSignaled) {
            FSignaled = false;
            return true;
        }
        return false;
    });
    --FWaiters;
    FCore.Unlock();
    return r;
}

// ---- TMutex ----

TMutex::TMutex(bool InitialOwner)
{
    if (InitialOwner)
        TakeOwnership(GetCurrentThreadId());
}

TMutex::~TMutex()
{
    if (FOwner != 0 && FOwner == GetCurrentThreadId())
        detail::tlsOwnedMutexes.Remove(this);
}

void TMutex::TakeOwnership(uint32_t Self)
{
    FOwner = Self;
    FCount = 1;
    detail::tlsOwnedMutexes.Add(this);
}

TWaitResult TMutex::WaitFor(uint32_t Milliseconds)
{
    const uint32_t self = GetCurrentThreadId();
    bool abandoned = false;
    FCore.Lock();
    TWaitResult r = FCore.WaitLocked(Milliseconds, [&] {
        if (FOwner == self) {
            ++FCount;
            return true;
        }
        if (FOwner != 0)
            return false;
        TakeOwnership(self);
        abandoned = FAbandoned;
        FAbandoned = false;
        return true;
    });
    FCore.Unlock();
    return r == wrSignaled && abandoned ? wrAbandoned : r;
}

bool TMutex::Release()
{
    const uint32_t self = GetCurrentThreadId();
    FCore.Lock();
    if (FOwner != self) {
        FCore.Unlock();
        return false;
    }
    if (--FCount == 0) {
        FOwner = 0;
        detail::tlsOwnedMutexes.Remove(this);
        FCore.Signal();
    }
    FCore.Unlock();
    return true;
}

uint32_t TMutex::OwnerThreadId()
{
    FCore.Lock();
    uint32_t owner = FOwner;
    FCore.Unlock();
    return owner;
}

// ---- TSemaphore ----

TSemaphore::TSemaphore(int32_t InitialCount, int32_t MaximumCount) : FCount(InitialCount), FMaximum(MaximumCount)
{
    if (MaximumCount <= 0 || InitialCount < 0 || InitialCount > MaximumCount)
        throw EInvalidOperation("Invalid semaphore counts");
}

bool TSemaphore::Release(int32_t Count)
{
    FCore.Lock();
    const bool ok = Count > 0 && Count <= FMaximum - FCount;
    if (ok) {
        FCount += Count;
        if (Count == 1)
            FCore.Signal();
        else
            FCore.Broadcast();
    }
    FCore.Unlock();
    return ok;
}

TWaitResult TSemaphore::WaitFor(uint32_t Milliseconds)
{
    FCore.Lock();
    TWaitResult r = FCore.WaitLocked(Milliseconds, [&] {
        if (FCount == 0)
            return false;
        --FCount;
        return true;
    });
    FCore.Unlock();
    return r;
}

}  // namespace dcs
