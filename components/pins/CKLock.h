// The lock every component and sub-object writes its properties through: the pin lock's
// requests plus typed setters that clamp, store only a changed value under the write
// lock, and raise the owner's change notification.
#pragma once

#include "components/pins/PNLock.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>

namespace dcs {

// A procedure without parameters; "assigned" when it holds a target.
using TCKPropUpdateFunc = std::function<void()>;

enum class TSGClockSource : std::uint8_t {
    csInternal,
    csExternal
};
enum class TSGSynchronizeType : std::uint8_t {
    stNone,
    stSingleBuffer,
    stQueue
};

namespace cklock_detail {
// Floats count an unordered comparison (a NaN on either side) as equal.
template <class T> bool SameValue(const T& A, const T& B)
{
    if constexpr (std::is_floating_point_v<T>)
        return !(A < B) && !(A > B);
    else
        return A == B;
}
}  // namespace cklock_detail

class ICKLock : public IPNLock {
public:
    using Parent = IPNLock;
    static constexpr TGUID IID = MakeGUID("{41898A42-8C0F-4C05-AEE4-C2DE0BAB1869}");

    // Stores AValue into PropValue under the write lock when it differs, then runs
    // AUpdatedFunc and the owner's notification; answers whether the value changed.
    template <class T>
    bool Setter(T& PropValue, const std::type_identity_t<T>& AValue, const TCKPropUpdateFunc& AUpdatedFunc = {})
    {
        IPNLockSection section = WriteLock();
        if (cklock_detail::SameValue(PropValue, AValue))
            return false;
        PropValue = AValue;
        if (AUpdatedFunc)
            AUpdatedFunc();
        ChangeNotify();
        return true;
    }

    // The clamped forms clamp before any lock is taken. A float counts as below the
    // minimum unless it is greater than or equal to it, so a NaN becomes the minimum;
    // the maximum leaves a NaN alone. With the minimum above the maximum, the maximum wins.
    template <class T>
    requires std::is_arithmetic_v<T>
    bool SetterMin(T& PropValue, std::type_identity_t<T> AValue, std::type_identity_t<T> AMinValue,
                   const TCKPropUpdateFunc& AUpdatedFunc = {})
    {
        if (!(AValue >= AMinValue))
            AValue = AMinValue;
        return Setter(PropValue, AValue, AUpdatedFunc);
    }
    template <class T>
    requires std::is_arithmetic_v<T>
    bool SetterMax(T& PropValue, std::type_identity_t<T> AValue, std::type_identity_t<T> AMaxValue,
                   const TCKPropUpdateFunc& AUpdatedFunc = {})
    {
        if (AValue > AMaxValue)
            AValue = AMaxValue;
        return Setter(PropValue, AValue, AUpdatedFunc);
    }
    template <class T>
    requires std::is_arithmetic_v<T>
    bool SetterMinMax(T& PropValue, std::type_identity_t<T> AValue, std::type_identity_t<T> AMinValue,
                      std::type_identity_t<T> AMaxValue, const TCKPropUpdateFunc& AUpdatedFunc = {})
    {
        if (!(AValue >= AMinValue))
            AValue = AMinValue;
        if (AValue > AMaxValue)
            AValue = AMaxValue;
        return Setter(PropValue, AValue, AUpdatedFunc);
    }

    // Reads the field under the read lock (the copy is made while the lock is held).
    template <class T> T Getter(const T& APropValue)
    {
        IPNLockSection section = ReadLock();
        return APropValue;
    }

    // Calls the owner's notification, without taking any lock.
    virtual void ChangeNotify() = 0;

protected:
    ~ICKLock() = default;
};

// Setters and notification for every lock kind; the lock requests are the descendants'.
class TCKBasicLock : public TImplements<TInterfacedObject, ICKLock> {
public:
    explicit TCKBasicLock(TCKPropUpdateFunc ANotify) : FNotify(std::move(ANotify)) {}
    void ChangeNotify() override
    {
        if (FNotify)
            FNotify();
    }

private:
    TCKPropUpdateFunc FNotify;
};

class TCKLock final : public TCKBasicLock {
public:
    // Over a new pin lock.
    static IntfPtr<ICKLock> Create(TCKPropUpdateFunc ANotify = {});
    // Over the very pin lock of ALock, with a notification of its own.
    static IntfPtr<ICKLock> CreateCopy(ICKLock& ALock, TCKPropUpdateFunc ANotify = {});

    IPNLockSection ReadLock() override { return FLock->ReadLock(); }
    IPNLockSection WriteLock() override { return FLock->WriteLock(); }
    IPNLockSection StopLock() override { return FLock->StopLock(); }
    IPNLockSection UnlockAll() override { return FLock->UnlockAll(); }
    IPNLockSection UnlockAllLockInOrder(const IntfPtr<IPNLock>& AFirstLock) override
    {
        return FLock->UnlockAllLockInOrder(AFirstLock);
    }
    TPNLock* Instance() override { return FLock->Instance(); }

private:
    TCKLock(IntfPtr<IPNLock> ALock, TCKPropUpdateFunc ANotify)
        : TCKBasicLock(std::move(ANotify)), FLock(std::move(ALock))
    {
    }
    IntfPtr<IPNLock> FLock;
};

// Two locks always taken first before second, and released second before first.
class TCKPairedLock final : public TCKBasicLock {
public:
    static IntfPtr<ICKLock> Create(IntfPtr<ICKLock> AFirstLock, IntfPtr<ICKLock> ASecondLock,
                                   TCKPropUpdateFunc ANotify = {});

    IPNLockSection ReadLock() override;
    IPNLockSection WriteLock() override;
    IPNLockSection StopLock() override;
    IPNLockSection UnlockAll() override;
    // Both unlock-all forms take the first lock back before the second.
    IPNLockSection UnlockAllLockInOrder(const IntfPtr<IPNLock>& AFirstLock) override;
    TPNLock* Instance() override { return FFirstLock->Instance(); }

private:
    TCKPairedLock(IntfPtr<ICKLock> AFirst, IntfPtr<ICKLock> ASecond, TCKPropUpdateFunc ANotify)
        : TCKBasicLock(std::move(ANotify)), FFirstLock(std::move(AFirst)), FSecondLock(std::move(ASecond))
    {
    }
    IntfPtr<ICKLock> FFirstLock;
    IntfPtr<ICKLock> FSecondLock;
};

// Ends its second section before its first.
class TCKPairedLockSection final : public TPNLockSection {
public:
    TCKPairedLockSection(IPNLockSection AFirstSection, IPNLockSection ASecondSection)
        : FFirstSection(std::move(AFirstSection)), FSecondSection(std::move(ASecondSection))
    {
    }
    ~TCKPairedLockSection() override { FSecondSection.Release(); }
    bool Locked() const override { return FFirstSection.Locked() && FSecondSection.Locked(); }

private:
    IPNLockSection FFirstSection;
    IPNLockSection FSecondSection;
};

}  // namespace dcs
