#include "components/pins/PNSync.h"

#include "platform/base/SysUtils.h"

#include <map>
#include <mutex>

namespace dcs {

namespace {

// One name space for events and mutexes, as the system has: a name stays taken while one
// object made with it lives.
class TNameTable {
public:
    template <class T, class Make> std::shared_ptr<T> Get(const std::string& AName, bool& AMade, Make AMake)
    {
        std::lock_guard<std::mutex> g(FLock);
        AMade = false;
        Entry& e = FItems[AName];
        if (auto existing = e.Object.lock()) {
            if (e.Kind != Kind<T>())
                return nullptr;
            return std::static_pointer_cast<T>(existing);
        }
        std::shared_ptr<T> made = AMake();
        e.Object = made;
        e.Kind = Kind<T>();
        AMade = true;
        return made;
    }

private:
    template <class T> static const void* Kind()
    {
        static const char tag = 0;
        return &tag;
    }
    struct Entry {
        std::weak_ptr<void> Object;
        const void* Kind = nullptr;
    };
    std::mutex FLock;
    std::map<std::string, Entry> FItems;
};

TNameTable& Names()
{
    static TNameTable table;
    return table;
}

}  // namespace

// ---- TPNEvent ----

TPNEvent::TPNEvent(bool AManualReset, bool AInitialState)
    : FHandle(std::make_shared<TEvent>(AManualReset, AInitialState))
{
}

std::unique_ptr<TPNEvent> TPNEvent::CreateNamed(const std::string& AName, bool AManualReset, bool AInitialState)
{
    if (AName.empty())
        return std::make_unique<TPNEvent>(AManualReset, AInitialState);
    bool made;
    auto handle =
        Names().Get<TEvent>(AName, made, [&] { return std::make_shared<TEvent>(AManualReset, AInitialState); });
    return std::unique_ptr<TPNEvent>(new TPNEvent(std::move(handle)));
}

void TPNEvent::Signal()
{
    if (FHandle)
        FHandle->SetEvent();
}

void TPNEvent::Reset()
{
    if (FHandle)
        FHandle->ResetEvent();
}

bool TPNEvent::WaitFor(std::uint32_t Timeout) { return FHandle && FHandle->WaitFor(Timeout) == wrSignaled; }

// ---- TPNMutex ----

TPNMutex::TPNMutex(bool AInitialOwner) : FHandle(std::make_shared<TMutex>(AInitialOwner)) {}

std::unique_ptr<TPNMutex> TPNMutex::CreateNamed(const std::string& AName, bool AInitialOwner)
{
    if (AName.empty())
        return std::make_unique<TPNMutex>(AInitialOwner);
    bool made;
    auto handle = Names().Get<TMutex>(AName, made, [&] { return std::make_shared<TMutex>(AInitialOwner); });
    return std::unique_ptr<TPNMutex>(new TPNMutex(std::move(handle)));
}

bool TPNMutex::Acquire(std::uint32_t Milliseconds)
{
    if (!FHandle)
        return false;
    const TWaitResult r = FHandle->WaitFor(Milliseconds);
    return r == wrSignaled || r == wrAbandoned;
}

bool TPNMutex::Release() { return FHandle && FHandle->Release(); }

// ---- TPNSemaphore ----

TPNSemaphore::TPNSemaphore(std::int32_t AInitialCount, std::int32_t AMaximumCount)
{
    try {
        FHandle = std::make_unique<TSemaphore>(AInitialCount, AMaximumCount);
    } catch (const Exception&) {
        // Counts the system refuses: no semaphore, as a failed creation leaves none.
    }
}

bool TPNSemaphore::Increment(std::int32_t ACount) { return FHandle && ACount > 0 && FHandle->Release(ACount); }

bool TPNSemaphore::Decrement(std::uint32_t AMilliseconds)
{
    return FHandle && FHandle->WaitFor(AMilliseconds) == wrSignaled;
}

}  // namespace dcs
