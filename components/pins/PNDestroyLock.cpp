#include "components/pins/PNDestroyLock.h"

#include "components/pins/PNObject.h"

namespace dcs {

IPNDestroyLockSection::IPNDestroyLockSection(IPNDestroyLockSection&& AOther) noexcept
    : FKind(std::exchange(AOther.FKind, Kind::Nil)), FCount(AOther.FCount), FLock(std::exchange(AOther.FLock, nullptr))
{
}

IPNDestroyLockSection& IPNDestroyLockSection::operator=(IPNDestroyLockSection&& AOther) noexcept
{
    if (this != &AOther) {
        Release();
        FKind = std::exchange(AOther.FKind, Kind::Nil);
        FCount = AOther.FCount;
        FLock = std::exchange(AOther.FLock, nullptr);
    }
    return *this;
}

void IPNDestroyLockSection::Release() noexcept
{
    const Kind kind = std::exchange(FKind, Kind::Nil);
    if (kind == Kind::Nil)
        return;
    TPNDestroyLock* lock = std::exchange(FLock, nullptr);
    switch (kind) {
    case Kind::Call: lock->FLockCounter.fetch_sub(1); break;
    case Kind::Destroy: {
        TPNCriticalSectionLock guard(lock->FSection);
        if (lock->FDestroying.fetch_sub(1) == 1)
            lock->FThreadID.store(0);
        break;
    }
    case Kind::Suspend: lock->FDestroying.fetch_add(FCount); break;
    default: break;
    }
    lock->_Release();
}

TPNDestroyLock::TPNDestroyLock(TPNObject* AOwner) : FOwner(AOwner) {}

IPNDestroyLockSection TPNDestroyLock::Lock()
{
    const std::uint32_t self = GetCurrentThreadId();
    IPNDestroyLockSection result;
    TPNCriticalSectionLock guard(FSection);
    FLockCounter.fetch_add(1);
    if (FDestroying.load() != 0 && FThreadID.load() != self) {
        FLockCounter.fetch_sub(1);
        return result;
    }
    result.FKind = IPNDestroyLockSection::Kind::Call;
    result.FLock = this;
    _AddRef();
    return result;
}

IPNDestroyLockSection TPNDestroyLock::DestroyLock()
{
    FDestroying.fetch_add(1);
    {
        // Callers blocked on the owner's own lock must be able to finish their call.
        IPNLockSection unlock;
        if (FOwner)
            unlock = FOwner->UnlockAll();
        while (FLockCounter.load() != 0)
            Sleep(0);
    }
    IPNDestroyLockSection result;
    TPNCriticalSectionLock guard(FSection);
    FThreadID.store(GetCurrentThreadId());
    result.FKind = IPNDestroyLockSection::Kind::Destroy;
    result.FLock = this;
    _AddRef();
    return result;
}

IPNDestroyLockSection TPNDestroyLock::DestroyUnlockLock()
{
    IPNDestroyLockSection result;
    result.FCount = FDestroying.exchange(0);
    result.FKind = IPNDestroyLockSection::Kind::Suspend;
    result.FLock = this;
    _AddRef();
    return result;
}

}  // namespace dcs
