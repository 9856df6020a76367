#include "components/pins/PNSync.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace dcs {

namespace pnsync_detail {

using Clock = std::chrono::steady_clock;

// Runs Pred under Lock until it holds or the time-out passes; INFINITE never times out.
template <class Pred>
static bool WaitUntil(std::condition_variable& ACond, std::unique_lock<std::mutex>& ALock,
                      std::uint32_t ATimeout, Pred APred) {
    if (ATimeout == INFINITE) {
        ACond.wait(ALock, APred);
        return true;
    }
    return ACond.wait_until(ALock, Clock::now() + std::chrono::milliseconds(ATimeout), APred);
}

struct EventState {
    std::mutex M;
    std::condition_variable Cond;
    bool ManualReset;
    bool Signalled;
    EventState(bool AManualReset, bool AInitial) : ManualReset(AManualReset), Signalled(AInitial) {}
};

struct MutexState {
    std::mutex M;
    std::condition_variable Cond;
    std::thread::id Owner;
    std::uint32_t Depth = 0;
};

struct SemaphoreState {
    std::mutex M;
    std::condition_variable Cond;
    std::int32_t Count;
    std::int32_t Maximum;
};

struct SectionState {
    std::recursive_mutex M;
};

// Named objects live as long as one wrapper holds them, as the system's named objects do.
template <class State>
struct NameTable {
    std::mutex M;
    std::map<std::string, std::weak_ptr<State>> Items;

    template <class Make>
    std::shared_ptr<State> Get(const std::string& AName, Make AMake) {
        std::lock_guard<std::mutex> g(M);
        auto& slot = Items[AName];
        if (auto existing = slot.lock())
            return existing;
        auto made = AMake();
        slot = made;
        return made;
    }
};

static NameTable<EventState>& EventNames() {
    static NameTable<EventState> t;
    return t;
}
static NameTable<MutexState>& MutexNames() {
    static NameTable<MutexState> t;
    return t;
}

}  // namespace pnsync_detail

using namespace pnsync_detail;

// ---- TPNEvent ----

TPNEvent::TPNEvent(bool AManualReset, bool AInitialState)
    : FHandle(std::make_shared<EventState>(AManualReset, AInitialState)) {}

TPNEvent::TPNEvent(std::shared_ptr<EventState> AState) : FHandle(std::move(AState)) {}

std::unique_ptr<TPNEvent> TPNEvent::CreateNamed(const std::string& AName, bool AManualReset,
                                                bool AInitialState) {
    if (AName.empty())
        return std::make_unique<TPNEvent>(AManualReset, AInitialState);
    auto state = EventNames().Get(
        AName, [&] { return std::make_shared<EventState>(AManualReset, AInitialState); });
    return std::unique_ptr<TPNEvent>(new TPNEvent(std::move(state)));
}

TPNEvent::~TPNEvent() = default;

void TPNEvent::Signal() {
    if (!FHandle)
        return;
    std::lock_guard<std::mutex> g(FHandle->M);
    FHandle->Signalled = true;
    if (FHandle->ManualReset)
        FHandle->Cond.notify_all();
    else
        FHandle->Cond.notify_one();
}

void TPNEvent::Reset() {
    if (!FHandle)
        return;
    std::lock_guard<std::mutex> g(FHandle->M);
    FHandle->Signalled = false;
}

bool TPNEvent::WaitFor(std::uint32_t Timeout) {
    if (!FHandle)
        return false;
    EventState& s = *FHandle;
    std::unique_lock<std::mutex> g(s.M);
    if (!WaitUntil(s.Cond, g, Timeout, [&] { return s.Signalled; }))
        return false;
    if (!s.ManualReset)
        s.Signalled = false;
    return true;
}

void* TPNEvent::GetHandle() const { return FHandle.get(); }

// ---- TPNMutex ----

TPNMutex::TPNMutex(bool AInitialOwner) : FHandle(std::make_shared<MutexState>()) {
    if (AInitialOwner) {
        FHandle->Owner = std::this_thread::get_id();
        FHandle->Depth = 1;
    }
}

TPNMutex::TPNMutex(std::shared_ptr<MutexState> AState) : FHandle(std::move(AState)) {}

std::unique_ptr<TPNMutex> TPNMutex::CreateNamed(const std::string& AName, bool AInitialOwner) {
    if (AName.empty())
        return std::make_unique<TPNMutex>(AInitialOwner);
    bool made = false;
    auto state = MutexNames().Get(AName, [&] {
        made = true;
        return std::make_shared<MutexState>();
    });
    auto result = std::unique_ptr<TPNMutex>(new TPNMutex(std::move(state)));
    // Only the creator of a new named mutex may own it from the start.
    if (made && AInitialOwner)
        result->Acquire(0);
    return result;
}

TPNMutex::~TPNMutex() = default;

bool TPNMutex::Acquire(std::uint32_t Milliseconds) {
    if (!FHandle)
        return false;
    MutexState& s = *FHandle;
    const auto self = std::this_thread::get_id();
    std::unique_lock<std::mutex> g(s.M);
    if (s.Depth > 0 && s.Owner == self) {
        ++s.Depth;
        return true;
    }
    if (!WaitUntil(s.Cond, g, Milliseconds, [&] { return s.Depth == 0; }))
        return false;
    s.Owner = self;
    s.Depth = 1;
    return true;
}

bool TPNMutex::Release() {
    if (!FHandle)
        return false;
    MutexState& s = *FHandle;
    std::lock_guard<std::mutex> g(s.M);
    if (s.Depth == 0 || s.Owner != std::this_thread::get_id())
        return false;
    if (--s.Depth == 0) {
        s.Owner = std::thread::id();
        s.Cond.notify_one();
    }
    return true;
}

// ---- TPNSemaphore ----

TPNSemaphore::TPNSemaphore(std::int32_t AInitialCount, std::int32_t AMaximumCount)
    : FHandle(std::make_unique<SemaphoreState>()) {
    FHandle->Count = AInitialCount;
    FHandle->Maximum = AMaximumCount;
}

TPNSemaphore::~TPNSemaphore() = default;

bool TPNSemaphore::Increment(std::int32_t ACount) {
    if (!FHandle || ACount <= 0)
        return false;
    SemaphoreState& s = *FHandle;
    std::lock_guard<std::mutex> g(s.M);
    if (ACount > s.Maximum - s.Count)
        return false;
    s.Count += ACount;
    if (ACount == 1)
        s.Cond.notify_one();
    else
        s.Cond.notify_all();
    return true;
}

bool TPNSemaphore::Decrement(std::uint32_t AMilliseconds) {
    if (!FHandle)
        return false;
    SemaphoreState& s = *FHandle;
    std::unique_lock<std::mutex> g(s.M);
    if (!WaitUntil(s.Cond, g, AMilliseconds, [&] { return s.Count > 0; }))
        return false;
    --s.Count;
    return true;
}

void* TPNSemaphore::GetHandle() const { return FHandle.get(); }

// ---- TPNCriticalSection ----

TPNCriticalSection::TPNCriticalSection() : FSection(std::make_unique<SectionState>()) {}
TPNCriticalSection::~TPNCriticalSection() = default;
void TPNCriticalSection::Enter() { FSection->M.lock(); }
void TPNCriticalSection::Leave() { FSection->M.unlock(); }

}  // namespace dcs
