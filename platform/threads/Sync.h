// Synchronisation objects, interlocked operations, thread ids and time for every thread
// of the program. The objects keep all their state inline (a pthread mutex and a
// condition variable on the monotonic clock), so waiting and signalling never allocate:
// the audio clocks call them once per buffer period.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <type_traits>

namespace dcs {

// A time-out in milliseconds that never runs out.
inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;

enum TWaitResult {
    wrSignaled,
    wrTimeout,
    wrAbandoned,
    wrError
};

// Id of the calling thread: non-zero, 32 bits, never shared by two threads of one run,
// stable for the thread's life. 0 stands for "no thread" in owner fields.
uint32_t GetCurrentThreadId();

// Suspends the calling thread for at least `Milliseconds`; 0 gives up the time slice.
void Sleep(uint32_t Milliseconds);

// Milliseconds from a fixed point in the past on a clock that never goes backwards
// (wraps after 49.7 days: compare tick counts by unsigned difference).
uint32_t GetTickCount();

namespace detail {

uint32_t NewThreadId();
void SetCurrentThreadId(uint32_t Id);
// Gives up every TMutex the calling thread still owns (its end does this too).
void AbandonOwnedMutexes();
struct TOwnedMutexes;

// A pthread mutex with one condition variable on CLOCK_MONOTONIC, so time-outs do not
// jump with the wall clock.
class TWaitCore {
public:
    TWaitCore();
    ~TWaitCore();
    TWaitCore(const TWaitCore&) = delete;
    TWaitCore& operator=(const TWaitCore&) = delete;

    void Lock() { pthread_mutex_lock(&FMutex); }
    void Unlock() { pthread_mutex_unlock(&FMutex); }
    void Signal() { pthread_cond_signal(&FCond); }
    void Broadcast() { pthread_cond_broadcast(&FCond); }

    // With the lock held: returns as soon as Take() succeeds (Take runs under the lock,
    // first before any blocking), or when `Milliseconds` have passed. Take is tried
    // once more after a time-out, so a wake-up that races with it is never lost.
    template <class F> TWaitResult WaitLocked(uint32_t Milliseconds, F&& Take)
    {
        if (Take())
            return wrSignaled;
        if (Milliseconds == 0)
            return wrTimeout;
        timespec deadline {};
        if (Milliseconds != INFINITE)
            deadline = DeadlineAfter(Milliseconds);
        for (;;) {
            int rc = Milliseconds == INFINITE ? pthread_cond_wait(&FCond, &FMutex)
                                              : pthread_cond_timedwait(&FCond, &FMutex, &deadline);
            if (Take())
                return wrSignaled;
            if (rc == ETIMEDOUT)
                return wrTimeout;
            if (rc != 0)
                return wrError;
        }
    }

private:
    static timespec DeadlineAfter(uint32_t Milliseconds);

    pthread_mutex_t FMutex;
    pthread_cond_t FCond;
};

class TWaitCoreLock {
public:
    explicit TWaitCoreLock(TWaitCore& Core) : FCore(Core) { FCore.Lock(); }
    ~TWaitCoreLock() { FCore.Unlock(); }
    TWaitCoreLock(const TWaitCoreLock&) = delete;
    TWaitCoreLock& operator=(const TWaitCoreLock&) = delete;

private:
    TWaitCore& FCore;
};

}  // namespace detail

// Recursive lock for short sections: each Enter of the owning thread needs its Leave.
class TCriticalSection {
public:
    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }
    bool TryEnter() { return FMutex.try_lock(); }

private:
    std::recursive_mutex FMutex;
};

// Manual- or auto-reset event. SetEvent on an auto-reset event releases exactly one
// waiter (or, with none waiting, the next one to come); on a manual-reset event it
// releases every thread waiting at that moment, even if ResetEvent follows at once.
class TEvent {
public:
    TEvent(bool ManualReset, bool InitialState);
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // 0 polls; INFINITE waits without end. wrSignaled or wrTimeout.
    TWaitResult WaitFor(uint32_t Milliseconds);
    bool ManualReset() const { return FManualReset; }

private:
    detail::TWaitCore FCore;
    const bool FManualReset;
    bool FSignaled;
    uint32_t FWaiters = 0;     // threads inside WaitFor
    uint32_t FGrants = 0;      // auto reset: releases handed to waiters not yet awake
    uint64_t FGeneration = 0;  // manual reset: counts SetEvents that found waiters
};

// Recursive mutex that knows its owner. A thread that ends while owning it abandons it:
// the next WaitFor gets it with wrAbandoned. The object must not be destroyed while
// another thread owns it.
class TMutex {
public:
    explicit TMutex(bool InitialOwner = false);
    ~TMutex();
    TMutex(const TMutex&) = delete;
    TMutex& operator=(const TMutex&) = delete;

    // wrSignaled or wrAbandoned: the caller owns the mutex (once more); wrTimeout: not.
    TWaitResult WaitFor(uint32_t Milliseconds);
    // False, changing nothing, when the calling thread does not own the mutex.
    bool Release();
    // Owning thread's id, 0 when free. A snapshot: only the owner can rely on it.
    uint32_t OwnerThreadId();

private:
    friend struct detail::TOwnedMutexes;
    void TakeOwnership(uint32_t Self);

    detail::TWaitCore FCore;
    uint32_t FOwner = 0;
    uint32_t FCount = 0;
    bool FAbandoned = false;
    // Links in the owning thread's list of held mutexes; touched by that thread only.
    TMutex* FPrevOwned = nullptr;
    TMutex* FNextOwned = nullptr;
};

// Counting semaphore with a ceiling.
class TSemaphore {
public:
    // Throws EInvalidOperation unless 0 <= InitialCount <= MaximumCount and MaximumCount > 0.
    TSemaphore(int32_t InitialCount, int32_t MaximumCount);
    TSemaphore(const TSemaphore&) = delete;
    TSemaphore& operator=(const TSemaphore&) = delete;

    // Adds `Count` (>= 1). False, leaving the count as it was, when that would pass the
    // maximum.
    bool Release(int32_t Count = 1);
    // Takes one count, waiting up to `Milliseconds` for one. wrSignaled or wrTimeout.
    TWaitResult WaitFor(uint32_t Milliseconds);
    int32_t MaximumCount() const { return FMaximum; }

private:
    detail::TWaitCore FCore;
    int32_t FCount;
    const int32_t FMaximum;
};

// Interlocked operations: sequentially consistent, wrapping on overflow like the
// hardware does. Increment, Decrement and Add return the new value; Exchange,
// ExchangeAdd and CompareExchange the value found before.
template <class T>
requires std::is_integral_v<T> T InterlockedAdd(std::atomic<T>& Target, T Value)
{
    using U = std::make_unsigned_t<T>;
    return static_cast<T>(static_cast<U>(Target.fetch_add(Value)) + static_cast<U>(Value));
}

template <class T>
requires std::is_integral_v<T> T InterlockedIncrement(std::atomic<T>& Target) { return InterlockedAdd(Target, T(1)); }

template <class T>
requires std::is_integral_v<T> T InterlockedDecrement(std::atomic<T>& Target)
{
    using U = std::make_unsigned_t<T>;
    return static_cast<T>(static_cast<U>(Target.fetch_sub(T(1))) - U(1));
}

template <class T>
requires std::is_integral_v<T> T InterlockedExchangeAdd(std::atomic<T>& Target, T Value)
{
    return Target.fetch_add(Value);
}

template <class T> T InterlockedExchange(std::atomic<T>& Target, T Value) { return Target.exchange(Value); }

template <class T> T InterlockedCompareExchange(std::atomic<T>& Target, T Exchange, T Comparand)
{
    Target.compare_exchange_strong(Comparand, Exchange);
    return Comparand;
}

}  // namespace dcs
