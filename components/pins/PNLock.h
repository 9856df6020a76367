// The recursive, exclusive lock of components and pins, its scoped sections, and the
// trace a test can watch it through.
//
// A lock is never taken and released by explicit calls: every request answers a section,
// and ending the section (its destructor, or Release) undoes exactly that request.
#pragma once

#include "components/pins/PNSync.h"
#include "platform/base/Interfaces.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace dcs {

class TPNLock;
class IPNLock;

// Heap part of a section, for the rare requests that must keep more than a lock and a
// few counts (a slave lock given up while waiting, a pair of sections). Its destructor
// ends what it holds.
class TPNLockSection {
public:
    TPNLockSection() = default;
    TPNLockSection(const TPNLockSection&) = delete;
    TPNLockSection& operator=(const TPNLockSection&) = delete;
    virtual ~TPNLockSection() = default;
    virtual bool Locked() const { return false; }
};

// A lock section held by value: move-only, ended when destroyed or released. An empty
// handle is the nil answer of a refused request through IPNLock. Held sections, stop
// sections and unlock-all sections need no allocation.
class IPNLockSection {
public:
    IPNLockSection() noexcept = default;
    IPNLockSection(std::nullptr_t) noexcept {}
    // Holds the heap section object until this handle ends.
    explicit IPNLockSection(std::unique_ptr<TPNLockSection> AObject) noexcept;
    IPNLockSection(IPNLockSection&& AOther) noexcept;
    IPNLockSection& operator=(IPNLockSection&& AOther) noexcept;
    IPNLockSection(const IPNLockSection&) = delete;
    IPNLockSection& operator=(const IPNLockSection&) = delete;
    ~IPNLockSection() { Release(); }

    explicit operator bool() const noexcept { return FKind != Kind::Nil; }
    friend bool operator==(const IPNLockSection& A, std::nullptr_t) noexcept { return !A; }

    // True for a read, write or stop section that got its level (false for an empty
    // section handed out during another thread's stop, and for unlock-all sections).
    bool Locked() const noexcept
    {
        return FKind == Kind::Level || FKind == Kind::Stop || (FKind == Kind::Object && FObject->Locked());
    }

    // Ends the request now, as dropping the last reference would.
    void Release() noexcept;

private:
    friend class TPNLock;
    enum class Kind : std::uint8_t {
        Nil,
        Level,
        Stop,
        Refused,
        Unlock,
        Object
    };

    Kind FKind = Kind::Nil;
    bool FWrite = false;                      // level: a write section (for the trace only)
    std::int32_t FCountLocks = 0;             // unlock-all: levels it took away
    std::int32_t FCountStops = 0;             // unlock-all: how many of them were stop levels
    TPNLock* FLock = nullptr;                 // counted reference, keeps the lock alive
    IPNLock* FFirstLock = nullptr;            // counted reference: taken first when restoring
    std::unique_ptr<TPNLockSection> FObject;  // ended after the lock part
};

class IPNLock : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{66C8D1BF-FA12-48E8-B0C9-60A652FA80D9}");

    // Nil when the request was refused because another thread stops the lock: the
    // caller then skips its work. Read and write sections are the same exclusive level.
    virtual IPNLockSection ReadLock() = 0;
    virtual IPNLockSection WriteLock() = 0;
    // Waits until it owns the lock; never nil.
    virtual IPNLockSection StopLock() = 0;
    // Gives up every level of the calling thread until the section ends.
    virtual IPNLockSection UnlockAll() = 0;
    // As UnlockAll; ending it takes a write section on AFirstLock first, then this lock
    // back, then lets go of the extra level on AFirstLock.
    virtual IPNLockSection UnlockAllLockInOrder(const IntfPtr<IPNLock>& AFirstLock) = 0;
    virtual TPNLock* Instance() = 0;

protected:
    ~IPNLock() = default;
};

// What a test or a diagnostic can see of a lock at one moment.
struct TPNLockState {
    std::uint32_t OwningThread = 0;
    std::int32_t CountLocks = 0;   // recursion depth of the owner
    std::int32_t OwnerStops = 0;   // how many of those levels are stop sections
    std::int32_t InStopCount = 0;  // stop requests pending or held
    std::int32_t LostLevels = 0;   // levels held by sections whose restore was refused
    friend bool operator==(const TPNLockState&, const TPNLockState&) = default;
};

// A field of the lock that only its owning thread changes (or the thread that becomes
// owner, under the lock's mutex), so that the owner can read and update it without the
// mutex: relaxed loads and stores, never a locked read-modify-write.
template <class T> class TPNOwnerField {
public:
    operator T() const noexcept { return FValue.load(std::memory_order_relaxed); }
    TPNOwnerField& operator=(T AValue) noexcept
    {
        FValue.store(AValue, std::memory_order_relaxed);
        return *this;
    }
    TPNOwnerField& operator+=(T ADelta) noexcept { return *this = T(*this + ADelta); }
    TPNOwnerField& operator-=(T ADelta) noexcept { return *this = T(*this - ADelta); }
    TPNOwnerField& operator++() noexcept { return *this += 1; }
    TPNOwnerField& operator--() noexcept { return *this -= 1; }

private:
    std::atomic<T> FValue {0};
};

class TPNLock final : public TImplements<TInterfacedObject, IPNLock> {
public:
    TPNLock();
    ~TPNLock() override;
    static IntfPtr<IPNLock> Create() { return IntfPtr<IPNLock>(new TPNLock()); }

    IPNLockSection ReadLock() override { return LockSection(false, nullptr, true); }
    IPNLockSection WriteLock() override { return LockSection(true, nullptr, true); }
    IPNLockSection StopLock() override;
    IPNLockSection UnlockAll() override { return UnlockAllSection(nullptr); }
    IPNLockSection UnlockAllLockInOrder(const IntfPtr<IPNLock>& AFirstLock) override
    {
        return UnlockAllSection(AFirstLock.Get());
    }
    TPNLock* Instance() override { return this; }

    // A read or write section with an optional slave lock: after 20 failed tries the
    // caller's levels on the slave are given up until this section ends. When refused
    // during a stop the answer is nil if ANilOnRefusal, else an empty section object
    // that holds nothing.
    IPNLockSection LockSection(bool AWrite, IPNLock* ASlaveLock, bool ANilOnRefusal);

    TPNLockState State();
    // Whether the calling thread holds a level now. A send gives the owner's levels up and
    // cannot always take them back (another thread's stop refuses them): a caller that
    // goes on touching guarded state after a send asks first.
    bool HeldByCurrentThread();

private:
    friend class IPNLockSection;

    bool AcquireLevel(std::uint32_t ATimeout, std::uint32_t ASelf);
    void ReleaseLevel(bool AWrite, const IPNLockSection* ASection) noexcept;
    void ReleaseStop(const IPNLockSection* ASection) noexcept;
    IPNLockSection UnlockAllSection(IPNLock* AFirstLock);
    void Restore(std::int32_t ALevels, std::int32_t AStops, IPNLock* AFirstLock,
                 const IPNLockSection* ASection) noexcept;
    // Under FIntLockSection: the calling thread lets go of one level its restore lost.
    void DropLostLevel(std::uint32_t ASelf) noexcept;
    // Under FCore: lets the exclusive level go when the owner holds no more levels.
    void ReleaseIfFree() noexcept;
    // Under FCore: waits up to ATimeout ms until no thread owns the lock and takes it;
    // false on time-out, or at once when ARefuseOnStop and a stop is pending.
    bool TakeLocked(std::uint32_t ATimeout, std::uint32_t ASelf, bool ARefuseOnStop);

    struct TLostLevels {
        std::uint32_t Thread;
        std::int32_t Count;
    };

    // One mutex guards the counts, and the owner field is the exclusive level itself:
    // a level costs one short hold of it, and waiters sleep on its condition.
    detail::TWaitCore FCore;
    TPNOwnerField<std::uint32_t> FOwningThread;
    TPNOwnerField<std::int32_t> FCountLocks;
    TPNOwnerField<std::int32_t> FOwnerStops;
    std::int32_t FInStopCount = 0;
    // Levels of threads whose unlock-all could not be undone because another thread was
    // stopping the lock: each such thread's sections still end one level each, and those
    // ends must touch nobody else's count.
    std::vector<TLostLevels> FLostLevels;
};

// ---- lock trace ----

enum class TPNLockTraceEvent : std::uint8_t {
    None,
    Error,
    Create,
    Destroy,
    BeginWriteCreate,
    WriteCreate,
    BeginWriteDestroy,
    WriteDestroy,
    BeginReadCreate,
    ReadCreate,
    BeginReadDestroy,
    ReadDestroy,
    BeginStopCreate,
    StopCreate,
    BeginStopDestroy,
    StopDestroy,
    BeginUnlockCreate,
    UnlockCreate,
    BeginUnlockDestroy,
    UnlockDestroy,
};

// The event's name, padded with blanks to 18 characters.
const char* LockTraceEventName(TPNLockTraceEvent AEvent);

class IPNLockTraceMonitor {
public:
    virtual void LockTrace(TPNLock* ALock, const void* ASection, TPNLockTraceEvent AEvent, std::uint32_t AThreadId) = 0;

protected:
    ~IPNLockTraceMonitor() = default;
};

// Monitors are called under one global section; with none registered a trace point
// costs one atomic load.
void AddLockTraceMonitor(IPNLockTraceMonitor* AMonitor);
void RemoveLockTraceMonitor(IPNLockTraceMonitor* AMonitor);

namespace pnlock_detail {
extern std::atomic<int> LockTraceMonitorCount;
void CallLockTraceMonitors(TPNLock* ALock, const void* ASection, TPNLockTraceEvent AEvent);
}  // namespace pnlock_detail

inline void TraceLock(TPNLock* ALock, const void* ASection, TPNLockTraceEvent AEvent)
{
    if (pnlock_detail::LockTraceMonitorCount.load(std::memory_order_relaxed) > 0)
        pnlock_detail::CallLockTraceMonitors(ALock, ASection, AEvent);
}

}  // namespace dcs
