// Thin synchronisation objects of the pin framework over the platform's primitives.
// Each call maps onto one platform call and reduces its result to a boolean; none of
// them adds policy or raises. A creation that fails leaves a null handle, on which every
// wait answers false and every other call does nothing.
#pragma once

#include "platform/threads/Sync.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dcs {

class TPNEvent {
public:
    TPNEvent(bool AManualReset, bool AInitialState);
    // Objects made with the same name share one event while any of them lives; a name
    // already taken by an object of another kind gives a null handle.
    static std::unique_ptr<TPNEvent> CreateNamed(const std::string& AName, bool AManualReset, bool AInitialState);
    TPNEvent(const TPNEvent&) = delete;
    TPNEvent& operator=(const TPNEvent&) = delete;

    void Signal();
    void Reset();
    // True only when the event was signalled within Timeout ms (INFINITE waits without end).
    bool WaitFor(std::uint32_t Timeout);
    TEvent* GetHandle() const { return FHandle.get(); }

private:
    explicit TPNEvent(std::shared_ptr<TEvent> AHandle) : FHandle(std::move(AHandle)) {}
    std::shared_ptr<TEvent> FHandle;
};

// Recursive for its owning thread; a release by a thread that does not own it fails.
class TPNMutex {
public:
    explicit TPNMutex(bool AInitialOwner);
    static std::unique_ptr<TPNMutex> CreateNamed(const std::string& AName, bool AInitialOwner);
    TPNMutex(const TPNMutex&) = delete;
    TPNMutex& operator=(const TPNMutex&) = delete;

    // True when the calling thread owns the mutex afterwards, also when its former owner
    // ended without releasing it. A time-out and a wait that fails are both false.
    bool Acquire(std::uint32_t Milliseconds);
    bool Release();

private:
    explicit TPNMutex(std::shared_ptr<TMutex> AHandle) : FHandle(std::move(AHandle)) {}
    std::shared_ptr<TMutex> FHandle;
};

class TPNSemaphore {
public:
    TPNSemaphore(std::int32_t AInitialCount, std::int32_t AMaximumCount);
    TPNSemaphore(const TPNSemaphore&) = delete;
    TPNSemaphore& operator=(const TPNSemaphore&) = delete;

    // False, with the count unchanged, when the count would pass the maximum.
    bool Increment(std::int32_t ACount);
    // True only when one count was taken within AMilliseconds.
    bool Decrement(std::uint32_t AMilliseconds);
    TSemaphore* GetHandle() const { return FHandle.get(); }

private:
    std::unique_ptr<TSemaphore> FHandle;
};

// Recursive: each Enter needs its Leave.
class TPNCriticalSection {
public:
    TPNCriticalSection() = default;
    TPNCriticalSection(const TPNCriticalSection&) = delete;
    TPNCriticalSection& operator=(const TPNCriticalSection&) = delete;

    void Enter() { FSection.Enter(); }
    void Leave() { FSection.Leave(); }

private:
    TCriticalSection FSection;
};

// Scoped hold of a critical section: entered on construction, left on destruction, also
// when the scope ends by an exception. Must end on the thread that made it.
class TPNCriticalSectionLock {
public:
    explicit TPNCriticalSectionLock(TPNCriticalSection& ASection) : FSection(ASection) { FSection.Enter(); }
    ~TPNCriticalSectionLock() { FSection.Leave(); }
    TPNCriticalSectionLock(const TPNCriticalSectionLock&) = delete;
    TPNCriticalSectionLock& operator=(const TPNCriticalSectionLock&) = delete;

private:
    TPNCriticalSection& FSection;
};

// A process-wide list of pins under its own section, one for each element type. Made on
// first use and never freed, so it outlives every static pin owner.
template <class T> struct TPNPinRegister {
    TPNCriticalSection Section;
    std::vector<T*> Pins;

    static TPNPinRegister& Instance()
    {
        static TPNPinRegister* r = new TPNPinRegister;
        return *r;
    }
};

}  // namespace dcs
