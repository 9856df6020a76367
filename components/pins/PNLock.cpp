#include "components/pins/PNLock.h"

#include <algorithm>
#include <mutex>

namespace dcs {

namespace {

// Keeps a slave lock given up while its section waited; ending it takes the slave back.
class TPNHeldSection final : public TPNLockSection {
public:
    explicit TPNHeldSection(IPNLockSection ASection) : FSection(std::move(ASection)) {}

private:
    IPNLockSection FSection;
};

constexpr std::uint32_t MaxLevelWait = 20;  // ms; tries wait 1, 2, ... 20, 20, ...
constexpr std::uint32_t StopWait = 1000;
constexpr std::uint32_t RestoreWait = 1;

}  // namespace

// ---------------------------------------------------------------- IPNLockSection

IPNLockSection::IPNLockSection(std::unique_ptr<TPNLockSection> AObject) noexcept
    : FKind(AObject ? Kind::Object : Kind::Nil), FObject(std::move(AObject))
{
}

IPNLockSection::IPNLockSection(IPNLockSection&& AOther) noexcept
    : FKind(std::exchange(AOther.FKind, Kind::Nil)), FWrite(AOther.FWrite), FCountLocks(AOther.FCountLocks),
      FCountStops(AOther.FCountStops), FLock(std::exchange(AOther.FLock, nullptr)),
      FFirstLock(std::exchange(AOther.FFirstLock, nullptr)), FObject(std::move(AOther.FObject))
{
}

IPNLockSection& IPNLockSection::operator=(IPNLockSection&& AOther) noexcept
{
    if (this != &AOther) {
        Release();
        FKind = std::exchange(AOther.FKind, Kind::Nil);
        FWrite = AOther.FWrite;
        FCountLocks = AOther.FCountLocks;
        FCountStops = AOther.FCountStops;
        FLock = std::exchange(AOther.FLock, nullptr);
        FFirstLock = std::exchange(AOther.FFirstLock, nullptr);
        FObject = std::move(AOther.FObject);
    }
    return *this;
}

void IPNLockSection::Release() noexcept
{
    const Kind kind = std::exchange(FKind, Kind::Nil);
    if (kind == Kind::Nil)
        return;
    TPNLock* lock = std::exchange(FLock, nullptr);
    IPNLock* first = std::exchange(FFirstLock, nullptr);
    switch (kind) {
    case Kind::Level: lock->ReleaseLevel(FWrite, this); break;
    case Kind::Stop: lock->ReleaseStop(this); break;
    case Kind::Unlock: lock->Restore(FCountLocks, FCountStops, first, this); break;
    default: break;
    }
    // The lock is let go before whatever the heap part holds (a slave lock's levels come
    // back only after this lock was released).
    if (lock)
        lock->_Release();
    if (first)
        first->_Release();
    FObject.reset();
}

// ------------------------------------------------------------------------ TPNLock

TPNLock::TPNLock() { TraceLock(this, nullptr, TPNLockTraceEvent::Create); }

TPNLock::~TPNLock() { TraceLock(this, nullptr, TPNLockTraceEvent::Destroy); }

bool TPNLock::TakeLocked(std::uint32_t ATimeout, std::uint32_t ASelf, bool ARefuseOnStop)
{
    bool taken = false;
    FCore.WaitLocked(ATimeout, [&] {
        if (ARefuseOnStop && FInStopCount > 0)
            return true;  // stop waiting: refused
        if (FOwningThread != 0)
            return false;
        FOwningThread = ASelf;
        taken = true;
        return true;
    });
    return taken;
}

bool TPNLock::AcquireLevel(std::uint32_t ATimeout, std::uint32_t ASelf)
{
    // A thread finds its own id here only while it owns the lock (it wrote it, and only
    // it clears it): nested levels, the common case, need no mutex.
    if (FOwningThread == ASelf) {
        ++FCountLocks;
        return true;
    }
    detail::TWaitCoreLock guard(FCore);
    if (!TakeLocked(ATimeout, ASelf, true))
        return false;
    ++FCountLocks;
    return true;
}

IPNLockSection TPNLock::LockSection(bool AWrite, IPNLock* ASlaveLock, bool ANilOnRefusal)
{
    const std::uint32_t self = GetCurrentThreadId();
    IPNLockSection result;
    TraceLock(this, &result, AWrite ? TPNLockTraceEvent::BeginWriteCreate : TPNLockTraceEvent::BeginReadCreate);
    IPNLockSection slaveUnlock;
    std::uint32_t wait = 1;
    for (;;) {
        if (AcquireLevel(wait, self)) {
            result.FKind = IPNLockSection::Kind::Level;
            break;
        }
        bool stopping;
        {
            detail::TWaitCoreLock guard(FCore);
            stopping = FInStopCount > 0;
        }
        if (stopping) {
            // A refusal leaves no trace in the lock: ending it must touch no count.
            result.FKind = ANilOnRefusal ? IPNLockSection::Kind::Nil : IPNLockSection::Kind::Refused;
            break;
        }
        if (wait < MaxLevelWait)
            ++wait;
        else if (ASlaveLock && !slaveUnlock)
            slaveUnlock = ASlaveLock->UnlockAll();
    }
    if (result) {
        result.FWrite = AWrite;
        result.FLock = this;
        _AddRef();
        if (slaveUnlock)
            result.FObject = std::make_unique<TPNHeldSection>(std::move(slaveUnlock));
    }
    TraceLock(this, &result, AWrite ? TPNLockTraceEvent::WriteCreate : TPNLockTraceEvent::ReadCreate);
    return result;
}

void TPNLock::ReleaseIfFree() noexcept
{
    if (FCountLocks == 0) {
        FOwningThread = 0;
        FOwnerStops = 0;
        // A pending stop must not lose its wake-up to a level request that is refused.
        if (FInStopCount > 0)
            FCore.Broadcast();
        else
            FCore.Signal();
    }
}

void TPNLock::DropLostLevel(std::uint32_t ASelf) noexcept
{
    auto it =
        std::find_if(FLostLevels.begin(), FLostLevels.end(), [&](const TLostLevels& l) { return l.Thread == ASelf; });
    if (it == FLostLevels.end())
        return;
    if (--it->Count == 0)
        FLostLevels.erase(it);
}

void TPNLock::ReleaseLevel(bool AWrite, const IPNLockSection* ASection) noexcept
{
    const std::uint32_t self = GetCurrentThreadId();
    TraceLock(this, ASection, AWrite ? TPNLockTraceEvent::BeginWriteDestroy : TPNLockTraceEvent::BeginReadDestroy);
    if (FOwningThread == self && FCountLocks > 1 && FOwnerStops < FCountLocks) {
        --FCountLocks;  // a nested level of the owner: nothing else changes
    } else {
        detail::TWaitCoreLock guard(FCore);
        if (FOwningThread == self && FCountLocks > 0) {
            --FCountLocks;
            FOwnerStops = std::min<std::int32_t>(FOwnerStops, FCountLocks);
            ReleaseIfFree();
        } else {
            DropLostLevel(self);
        }
    }
    TraceLock(this, ASection, AWrite ? TPNLockTraceEvent::WriteDestroy : TPNLockTraceEvent::ReadDestroy);
}

IPNLockSection TPNLock::StopLock()
{
    const std::uint32_t self = GetCurrentThreadId();
    IPNLockSection result;
    TraceLock(this, &result, TPNLockTraceEvent::BeginStopCreate);
    {
        // From here on, threads that hold no level are refused at once, also those
        // already waiting.
        detail::TWaitCoreLock guard(FCore);
        ++FInStopCount;
        FCore.Broadcast();
        if (!(FOwningThread == self && FCountLocks > 0))
            while (!TakeLocked(StopWait, self, false)) {}
        ++FCountLocks;
        ++FOwnerStops;
    }
    result.FKind = IPNLockSection::Kind::Stop;
    result.FLock = this;
    _AddRef();
    TraceLock(this, &result, TPNLockTraceEvent::StopCreate);
    return result;
}

void TPNLock::ReleaseStop(const IPNLockSection* ASection) noexcept
{
    const std::uint32_t self = GetCurrentThreadId();
    TraceLock(this, ASection, TPNLockTraceEvent::BeginStopDestroy);
    {
        detail::TWaitCoreLock guard(FCore);
        --FInStopCount;
        if (FOwningThread == self && FCountLocks > 0) {
            --FCountLocks;
            if (FOwnerStops > 0)
                --FOwnerStops;
            ReleaseIfFree();
        } else {
            DropLostLevel(self);
        }
    }
    TraceLock(this, ASection, TPNLockTraceEvent::StopDestroy);
}

IPNLockSection TPNLock::UnlockAllSection(IPNLock* AFirstLock)
{
    const std::uint32_t self = GetCurrentThreadId();
    IPNLockSection result;
    TraceLock(this, &result, TPNLockTraceEvent::BeginUnlockCreate);
    {
        // A thread that does not own the lock has nothing to give up.
        detail::TWaitCoreLock guard(FCore);
        if (FOwningThread == self && FCountLocks > 0) {
            result.FCountLocks = FCountLocks;
            result.FCountStops = FOwnerStops;
            FCountLocks = 0;
            ReleaseIfFree();
        }
    }
    result.FKind = IPNLockSection::Kind::Unlock;
    result.FLock = this;
    _AddRef();
    if (AFirstLock) {
        result.FFirstLock = AFirstLock;
        AFirstLock->_AddRef();
    }
    TraceLock(this, &result, TPNLockTraceEvent::UnlockCreate);
    return result;
}

void TPNLock::Restore(std::int32_t ALevels, std::int32_t AStops, IPNLock* AFirstLock,
                      const IPNLockSection* ASection) noexcept
{
    TraceLock(this, ASection, TPNLockTraceEvent::BeginUnlockDestroy);
    IPNLockSection first;
    if (AFirstLock)
        first = AFirstLock->WriteLock();
    if (ALevels > 0) {
        const std::uint32_t self = GetCurrentThreadId();
        detail::TWaitCoreLock guard(FCore);
        for (;;) {
            if (FOwningThread == self && FCountLocks > 0) {
                FCountLocks += ALevels;
                FOwnerStops += AStops;
                break;
            }
            // Another thread's stop refuses plain levels; they end later one by one,
            // each touching only this thread's record. A stop of our own is never
            // given up: its holder waits until it has the lock back.
            if (AStops == 0 && FInStopCount > 0) {
                auto it = std::find_if(FLostLevels.begin(), FLostLevels.end(),
                                       [&](const TLostLevels& l) { return l.Thread == self; });
                if (it != FLostLevels.end())
                    it->Count += ALevels;
                else
                    FLostLevels.push_back({self, ALevels});
                break;
            }
            if (TakeLocked(RestoreWait, self, AStops == 0)) {
                FCountLocks += ALevels;
                FOwnerStops += AStops;
                break;
            }
        }
    }
    first.Release();
    TraceLock(this, ASection, TPNLockTraceEvent::UnlockDestroy);
}

bool TPNLock::HeldByCurrentThread()
{
    const std::uint32_t self = GetCurrentThreadId();
    detail::TWaitCoreLock guard(FCore);
    return FOwningThread == self && FCountLocks > 0;
}

TPNLockState TPNLock::State()
{
    detail::TWaitCoreLock guard(FCore);
    TPNLockState s;
    s.OwningThread = FOwningThread;
    s.CountLocks = FCountLocks;
    s.OwnerStops = FOwnerStops;
    s.InStopCount = FInStopCount;
    for (const auto& l : FLostLevels)
        s.LostLevels += l.Count;
    return s;
}

// --------------------------------------------------------------------- lock trace

namespace pnlock_detail {
std::atomic<int> LockTraceMonitorCount {0};
}

namespace {
std::mutex& LockTraceSection()
{
    static std::mutex m;
    return m;
}
std::vector<IPNLockTraceMonitor*>& LockTraceMonitors()
{
    static std::vector<IPNLockTraceMonitor*> list;
    return list;
}
}  // namespace

void AddLockTraceMonitor(IPNLockTraceMonitor* AMonitor)
{
    std::lock_guard<std::mutex> g(LockTraceSection());
    LockTraceMonitors().push_back(AMonitor);
    pnlock_detail::LockTraceMonitorCount.store(int(LockTraceMonitors().size()));
}

void RemoveLockTraceMonitor(IPNLockTraceMonitor* AMonitor)
{
    std::lock_guard<std::mutex> g(LockTraceSection());
    auto& list = LockTraceMonitors();
    list.erase(std::remove(list.begin(), list.end(), AMonitor), list.end());
    pnlock_detail::LockTraceMonitorCount.store(int(list.size()));
}

void pnlock_detail::CallLockTraceMonitors(TPNLock* ALock, const void* ASection, TPNLockTraceEvent AEvent)
{
    const std::uint32_t self = GetCurrentThreadId();
    std::lock_guard<std::mutex> g(LockTraceSection());
    for (IPNLockTraceMonitor* m : LockTraceMonitors())
        m->LockTrace(ALock, ASection, AEvent, self);
}

const char* LockTraceEventName(TPNLockTraceEvent AEvent)
{
    static const char* const names[] = {
        "None              ", "Error             ", "Create            ", "Destroy           ", "BeginWriteCreate  ",
        "WriteCreate       ", "BeginWriteDestroy ", "WriteDestroy      ", "BeginReadCreate   ", "ReadCreate        ",
        "BeginReadDestroy  ", "ReadDestroy       ", "BeginStopCreate   ", "StopCreate        ", "BeginStopDestroy  ",
        "StopDestroy       ", "BeginUnlockCreate ", "UnlockCreate      ", "BeginUnlockDestroy", "UnlockDestroy     ",
    };
    const auto i = static_cast<std::size_t>(AEvent);
    return i < std::size(names) ? names[i] : names[1];
}

}  // namespace dcs
