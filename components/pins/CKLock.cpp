#include "components/pins/CKLock.h"

namespace dcs {

IntfPtr<ICKLock> TCKLock::Create(TCKPropUpdateFunc ANotify)
{
    return IntfPtr<ICKLock>(new TCKLock(TPNLock::Create(), std::move(ANotify)));
}

IntfPtr<ICKLock> TCKLock::CreateCopy(ICKLock& ALock, TCKPropUpdateFunc ANotify)
{
    return IntfPtr<ICKLock>(new TCKLock(IntfPtr<IPNLock>(ALock.Instance()), std::move(ANotify)));
}

IntfPtr<ICKLock> TCKPairedLock::Create(IntfPtr<ICKLock> AFirstLock, IntfPtr<ICKLock> ASecondLock,
                                       TCKPropUpdateFunc ANotify)
{
    return IntfPtr<ICKLock>(new TCKPairedLock(std::move(AFirstLock), std::move(ASecondLock), std::move(ANotify)));
}

namespace {
IPNLockSection Pair(IPNLockSection AFirst, IPNLockSection ASecond)
{
    return IPNLockSection(std::make_unique<TCKPairedLockSection>(std::move(AFirst), std::move(ASecond)));
}
}  // namespace

// A request refused on either half (another thread stops it) is refused as a whole: the
// caller must skip its work, not run it with half of the pair.
IPNLockSection TCKPairedLock::ReadLock()
{
    IPNLockSection first = FFirstLock->ReadLock();
    if (!first)
        return {};
    IPNLockSection second = FSecondLock->ReadLock();
    if (!second)
        return {};
    return Pair(std::move(first), std::move(second));
}

IPNLockSection TCKPairedLock::WriteLock()
{
    IPNLockSection first = FFirstLock->WriteLock();
    if (!first)
        return {};
    IPNLockSection second = FSecondLock->WriteLock();
    if (!second)
        return {};
    return Pair(std::move(first), std::move(second));
}

IPNLockSection TCKPairedLock::StopLock()
{
    IPNLockSection first = FFirstLock->StopLock();
    return Pair(std::move(first), FSecondLock->StopLock());
}

// Given up first then second, but taken back in the pair's own order (first, then
// second), like every other request on the pair: restoring the second lock first could
// deadlock against a thread that takes the pair in order.
IPNLockSection TCKPairedLock::UnlockAll()
{
    IPNLockSection first = FFirstLock->UnlockAll();
    IPNLockSection second = FSecondLock->UnlockAll();
    return Pair(std::move(second), std::move(first));
}

IPNLockSection TCKPairedLock::UnlockAllLockInOrder(const IntfPtr<IPNLock>& AFirstLock)
{
    IPNLockSection second = FSecondLock->UnlockAllLockInOrder(AFirstLock);
    return Pair(std::move(second), FFirstLock->UnlockAllLockInOrder(AFirstLock));
}

}  // namespace dcs
