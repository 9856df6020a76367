// The lockable persistent base of pins and pin lists: one lock of its own, taken through
// sections that are never nil (a refused request answers an empty section and the
// caller goes on).
#pragma once

#include "components/pins/PNDestroyLock.h"
#include "components/pins/PNLock.h"
#include "platform/classes/Classes.h"

namespace dcs {

class TPNObject : public TPersistent {
    DCS_CLASS(TPNObject, TPersistent)

    TPNObject() : FIntLock(TPNLock::Create()) {}

    // Pins add their owner's lock as slave.
    virtual IPNLockSection ReadLock() { return FIntLock->Instance()->LockSection(false, nullptr, false); }
    virtual IPNLockSection WriteLock() { return FIntLock->Instance()->LockSection(true, nullptr, false); }
    virtual IPNLockSection UnlockAll() { return FIntLock->UnlockAll(); }

    const IntfPtr<IPNLock>& IntLock() const { return FIntLock; }

private:
    IntfPtr<IPNLock> FIntLock;
};

}  // namespace dcs
