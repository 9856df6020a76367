// A locked queue of notify operations, head first. Every call holds the queue's lock
// only for its own duration; a lock that refuses (it is being stopped) makes pushes do
// nothing and Peek/Pop answer nil.
#pragma once

#include "components/pins/PNLock.h"
#include "components/pins/PNPins.h"

#include <deque>

namespace dcs {

template <class TOperation> class TSGOperationListOf : public TObject {
public:
    using TItem = IntfPtr<TOperation>;

    // Shares ALock, or makes a lock of its own when it is nil.
    explicit TSGOperationListOf(IntfPtr<IPNLock> ALock = nullptr) : FLock(ALock ? std::move(ALock) : TPNLock::Create())
    {
    }

    // Appends; with SingleItem only the new item remains. The new count, or 0 when
    // nothing was added.
    int Push(TItem AValue, bool SingleItem)
    {
        IPNLockSection section = FLock->WriteLock();
        if (!section)
            return 0;
        FList.push_back(std::move(AValue));
        while (SingleItem && FList.size() > 1)
            FList.pop_front();
        return int(FList.size());
    }

    // Puts an operation taken out back at the head.
    int PushBack(TItem AValue)
    {
        IPNLockSection section = FLock->WriteLock();
        if (!section)
            return 0;
        FList.push_front(std::move(AValue));
        return int(FList.size());
    }

    TItem Peek()
    {
        IPNLockSection section = FLock->WriteLock();
        if (!section || FList.empty())
            return nullptr;
        return FList.front();
    }

    TItem Pop()
    {
        IPNLockSection section = FLock->WriteLock();
        if (!section || FList.empty())
            return nullptr;
        TItem head = std::move(FList.front());
        FList.pop_front();
        return head;
    }

    int ItemsCount()
    {
        IPNLockSection section = FLock->ReadLock();
        return section ? int(FList.size()) : 0;
    }

    void Clear()
    {
        IPNLockSection section = FLock->WriteLock();
        if (section)
            FList.clear();
    }

private:
    IntfPtr<IPNLock> FLock;
    std::deque<TItem> FList;
};

// The queue of the components: notify operations.
using TSGOperationList = TSGOperationListOf<IPNNotifyOperation>;

}  // namespace dcs
