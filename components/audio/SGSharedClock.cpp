#include "components/audio/SGSharedClock.h"

#include "platform/threads/Thread.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace dcs {

// The members of one period and the clock thread that runs them.
class TSGSharedClockGroup {
public:
    // The clock's event owns the group: it goes with the clock, on the clock's own
    // thread once Stop has let it go, so stopping never waits for that thread.
    static TSGSharedClockGroup* Create(const TComponent* AOwner, int64_t AInterval)
    {
        std::shared_ptr<TSGSharedClockGroup> group(new TSGSharedClockGroup);
        group->FClock = TSGClockGen::Create(AOwner, AInterval, [group] { group->RunMembers(); });
        return group.get();
    }

    void Join(TSGSharedClockMember* AMember)
    {
        std::lock_guard lock(FMutex);
        FMembers.push_back(AMember);
    }

    // Waits while the member's event runs (unless on the clock's own thread), then takes
    // it out: it never runs again.
    void Leave(TSGSharedClockMember* AMember)
    {
        std::unique_lock lock(FMutex);
        if (GetCurrentThreadId() != FClock->ThreadID())
            FIdle.wait(lock, [&] { return FCurrent != AMember; });
        const auto it = std::find(FMembers.begin(), FMembers.end(), AMember);
        if (it != FMembers.end()) {
            // A member before the cursor leaves: the rest of this round shifts down by one.
            if (size_t(it - FMembers.begin()) < FCursor)
                --FCursor;
            FMembers.erase(it);
        }
    }

    int Count()
    {
        std::lock_guard lock(FMutex);
        return int(FMembers.size());
    }

    // Ends the thread without waiting for it; the group is gone once the thread is.
    void Stop() { FClock->Release(); }

private:
    // One period: every member once, in the order they joined. Members may join and
    // leave meanwhile; the lock is never held while an event runs.
    void RunMembers()
    {
        std::unique_lock lock(FMutex);
        for (FCursor = 0; FCursor < FMembers.size();) {
            TSGSharedClockMember* member = FMembers[FCursor++];
            FCurrent = member;
            lock.unlock();
            if (member->FEvent)
                member->FEvent();
            lock.lock();
            FCurrent = nullptr;
            FIdle.notify_all();
        }
    }

    TSGSharedClockGroup() = default;

    TSGClockGen* FClock = nullptr;
    std::mutex FMutex;
    std::condition_variable FIdle;
    std::vector<TSGSharedClockMember*> FMembers;
    size_t FCursor = 0;
    TSGSharedClockMember* FCurrent = nullptr;
};

namespace {

// Groups by interval. Never freed: members may leave while the process exits.
struct TRegistry {
    std::mutex Mutex;
    std::map<std::pair<int, int64_t>, TSGSharedClockGroup*> Groups;  // by kind and interval
};

TRegistry& Registry()
{
    static auto* registry = new TRegistry;
    return *registry;
}

}  // namespace

TSGSharedClockMember* TSGSharedClockMember::Create(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent,
                                                   int AKind)
{
    auto* member = new TSGSharedClockMember(AInterval, std::move(AEvent), AKind);
    if (AInterval <= 0)
        return member;
    TRegistry& r = Registry();
    std::lock_guard lock(r.Mutex);
    TSGSharedClockGroup*& group = r.Groups[{AKind, AInterval}];
    if (!group)
        group = TSGSharedClockGroup::Create(AOwner, AInterval);
    member->FGroup = group;
    group->Join(member);
    return member;
}

TSGSharedClockMember::~TSGSharedClockMember()
{
    if (!FGroup)
        return;
    // Not under the registry's lock: the event this waits for may join or leave a clock.
    FGroup->Leave(this);
    TRegistry& r = Registry();
    TSGSharedClockGroup* emptied = nullptr;
    {
        std::lock_guard lock(r.Mutex);
        // Whoever finds the group empty while it is still registered ends it; a member that
        // joined meanwhile keeps it.
        const auto it = r.Groups.find({FKind, FInterval});
        if (it != r.Groups.end() && it->second == FGroup && FGroup->Count() == 0) {
            r.Groups.erase(it);
            emptied = FGroup;
        }
    }
    if (emptied)
        emptied->Stop();
}

int TSGSharedClockMember::SharedClocks()
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Mutex);
    return int(r.Groups.size());
}

int TSGSharedClockMember::Members(int64_t AInterval, int AKind)
{
    TRegistry& r = Registry();
    std::lock_guard lock(r.Mutex);
    const auto it = r.Groups.find({AKind, AInterval});
    return it == r.Groups.end() ? 0 : it->second->Count();
}

}  // namespace dcs
