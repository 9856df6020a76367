// Thin synchronisation objects of the pin framework. Each call maps onto one call of
// the platform's primitives and reduces its result to a boolean; none of them adds
// policy, raises or checks its handle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dcs {

namespace pnsync_detail {
struct EventState;
struct MutexState;
struct SemaphoreState;
struct SectionState;
}  // namespace pnsync_detail

// Waits without end when given as a time-out.
inline constexpr std::uint32_t INFINITE = 0xFFFFFFFFu;

class TPNEvent {
public:
    TPNEvent(bool AManualReset, bool AInitialState);
    // Two objects made with the same name in one process share one event.
    static std::unique_ptr<TPNEvent> CreateNamed(const std::string& AName, bool AManualReset,
                                                 bool AInitialState);
    ~TPNEvent();
    TPNEvent(const TPNEvent&) = delete;
    TPNEvent& operator=(const TPNEvent&) = delete;

    void Signal();
    void Reset();
    // True only when the event was signalled within Timeout ms (INFINITE waits without end).
    bool WaitFor(std::uint32_t Timeout);
    void* GetHandle() const;

private:
    explicit TPNEvent(std::shared_ptr<pnsync_detail::EventState> AState);
    std::shared_ptr<pnsync_detail::EventState> FHandle;
};

// Recursive for its owning thread; a release by a thread that does not own it fails.
class TPNMutex {
public:
    explicit TPNMutex(bool AInitialOwner);
    static std::unique_ptr<TPNMutex> CreateNamed(const std::string& AName, bool AInitialOwner);
    ~TPNMutex();
    TPNMutex(const TPNMutex&) = delete;
    TPNMutex& operator=(const TPNMutex&) = delete;

    // True when the calling thread owns the mutex afterwards, including when its former
    // owner ended without releasing it. A time-out and a wait that fails are false.
    bool Acquire(std::uint32_t Milliseconds);
    bool Release();

private:
    explicit TPNMutex(std::shared_ptr<pnsync_detail::MutexState> AState);
    std::shared_ptr<pnsync_detail::MutexState> FHandle;
};

class TPNSemaphore {
public:
    TPNSemaphore(std::int32_t AInitialCount, std::int32_t AMaximumCount);
    ~TPNSemaphore();
    TPNSemaphore(const TPNSemaphore&) = delete;
    TPNSemaphore& operator=(const TPNSemaphore&) = delete;

    // False, with the count unchanged, when the count would pass the maximum.
    bool Increment(std::int32_t ACount);
    // True only when one count was taken within AMilliseconds.
    bool Decrement(std::uint32_t AMilliseconds);
    void* GetHandle() const;

private:
    std::unique_ptr<pnsync_detail::SemaphoreState> FHandle;
};

// Recursive: each Enter needs its Leave.
class TPNCriticalSection {
public:
    TPNCriticalSection();
    ~TPNCriticalSection();
    TPNCriticalSection(const TPNCriticalSection&) = delete;
    TPNCriticalSection& operator=(const TPNCriticalSection&) = delete;

    void Enter();
    void Leave();

private:
    std::unique_ptr<pnsync_detail::SectionState> FSection;
};

// Scoped hold of a critical section: entered on construction, left on destruction, also
// when the scope ends by an exception. Must end on the thread that made it.
class TPNCriticalSectionLock {
public:
    explicit TPNCriticalSectionLock(TPNCriticalSection& ASection) : FSection(ASection) {
        FSection.Enter();
    }
    ~TPNCriticalSectionLock() { FSection.Leave(); }
    TPNCriticalSectionLock(const TPNCriticalSectionLock&) = delete;
    TPNCriticalSectionLock& operator=(const TPNCriticalSectionLock&) = delete;

private:
    TPNCriticalSection& FSection;
};

}  // namespace dcs
