// The destroy lock: keeps an object alive while other threads are inside calls on it.
// A destroyer refuses new calls and waits for the running ones, giving up the object's
// own lock meanwhile.
#pragma once

#include "components/pins/PNLock.h"

#include <atomic>
#include <cstdint>

namespace dcs {

class TPNObject;

class TPNDestroyLock;

class IPNDestroyLockSection {
public:
    IPNDestroyLockSection() noexcept = default;
    IPNDestroyLockSection(std::nullptr_t) noexcept {}
    IPNDestroyLockSection(IPNDestroyLockSection&& AOther) noexcept;
    IPNDestroyLockSection& operator=(IPNDestroyLockSection&& AOther) noexcept;
    IPNDestroyLockSection(const IPNDestroyLockSection&) = delete;
    IPNDestroyLockSection& operator=(const IPNDestroyLockSection&) = delete;
    ~IPNDestroyLockSection() { Release(); }

    explicit operator bool() const noexcept { return FKind != Kind::Nil; }
    friend bool operator==(const IPNDestroyLockSection& A, std::nullptr_t) noexcept { return !A; }
    void Release() noexcept;

private:
    friend class TPNDestroyLock;
    enum class Kind : std::uint8_t {
        Nil,
        Call,
        Destroy,
        Suspend
    };
    Kind FKind = Kind::Nil;
    std::int32_t FCount = 0;
    TPNDestroyLock* FLock = nullptr;  // counted reference
};

class IPNDestroyLock : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{3C0E9E55-1E1B-4D7E-9C2F-5B7A51D6E0A4}");
    // Guards one call into the owner; nil while another thread destroys it.
    virtual IPNDestroyLockSection Lock() = 0;
    // Refuses new calls from other threads and waits until no call is running.
    virtual IPNDestroyLockSection DestroyLock() = 0;
    // Suspends the destroy state until the section ends.
    virtual IPNDestroyLockSection DestroyUnlockLock() = 0;
    virtual TPNDestroyLock* Instance() = 0;

protected:
    ~IPNDestroyLock() = default;
};

class TPNDestroyLock final : public TImplements<TInterfacedObject, IPNDestroyLock> {
public:
    // AOwner's own lock is given up while DestroyLock waits (not owned; may be null).
    explicit TPNDestroyLock(TPNObject* AOwner);
    static IntfPtr<IPNDestroyLock> Create(TPNObject* AOwner)
    {
        return IntfPtr<IPNDestroyLock>(new TPNDestroyLock(AOwner));
    }

    IPNDestroyLockSection Lock() override;
    IPNDestroyLockSection DestroyLock() override;
    IPNDestroyLockSection DestroyUnlockLock() override;
    TPNDestroyLock* Instance() override { return this; }

    std::int32_t LockCount() const { return FLockCounter.load(); }
    std::int32_t Destroying() const { return FDestroying.load(); }

private:
    friend class IPNDestroyLockSection;
    std::atomic<std::int32_t> FLockCounter {0};
    std::atomic<std::int32_t> FDestroying {0};
    TPNObject* FOwner;
    TPNCriticalSection FSection;
    std::atomic<std::uint32_t> FThreadID {0};
};

}  // namespace dcs
