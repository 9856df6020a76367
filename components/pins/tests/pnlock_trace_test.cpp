#include "components/pins/PNLock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcs {
namespace {

struct TRecorder : IPNLockTraceMonitor {
    std::vector<std::string> Events;
    void LockTrace(TPNLock*, const void*, TPNLockTraceEvent AEvent, std::uint32_t AThread) override
    {
        EXPECT_EQ(AThread, GetCurrentThreadId());
        std::string name = LockTraceEventName(AEvent);
        EXPECT_EQ(name.size(), 18u);
        Events.push_back(name.substr(0, name.find(' ')));
    }
};

TEST(PNLockTrace, MonitorsSeeEveryStepInOrder)
{
    TRecorder rec;
    AddLockTraceMonitor(&rec);
    {
        IntfPtr<IPNLock> lock = TPNLock::Create();
        IPNLockSection w = lock->WriteLock();
        IPNLockSection u = lock->UnlockAll();
    }
    RemoveLockTraceMonitor(&rec);
    EXPECT_EQ(rec.Events,
              (std::vector<std::string> {"Create", "BeginWriteCreate", "WriteCreate", "BeginUnlockCreate",
                                         "UnlockCreate", "BeginUnlockDestroy", "UnlockDestroy", "BeginWriteDestroy",
                                         "WriteDestroy", "Destroy"}));
    IntfPtr<IPNLock> unseen = TPNLock::Create();
    EXPECT_EQ(rec.Events.size(), 10u) << "removed monitors hear nothing";
}

}  // namespace
}  // namespace dcs
