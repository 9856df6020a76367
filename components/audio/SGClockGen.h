// The clock threads of the audio components and the one shared 1 ms timer that drives
// them. The timer adds 1 ms (10000 units of 100 ns) to every registered clock's
// accumulator and releases the clock's thread once per elapsed buffer period; the
// thread then runs its owner's buffer work. The timer runs while at least one clock is
// registered.
#pragma once

#include "components/pins/PNSync.h"
#include "platform/classes/Classes.h"
#include "platform/threads/Thread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace dcs {

// A thread named after its owner component: the owner's Name, or its class name when
// the name is empty, followed by the suffix (".TSGClockGen" ...). The system shows the
// name; debuggers pick it up from there. A TObject, so that it can be an event's Sender.
class TCKThread : public TObject, public TThread {
public:
    // Started by NewThread once the whole object is built.
    explicit TCKThread(std::string AName) : TThread(false, std::move(AName)) {}
    static std::string OwnerThreadName(const TComponent* AOwner, const std::string& ASuffix);

protected:
    // Terminate for a loop that sleeps on a wait object: sets the terminated flag, wakes
    // the loop through Wake and, from any other thread, waits until the thread ended.
    void TerminateWaking();
    virtual void Wake() {}

private:
    std::atomic<bool> FWaiting {false};
};

using TSGClockGenEvent = std::function<void()>;

// What a component holds of the clock that runs its buffer work once per period: a clock
// thread of its own, or its place on a clock thread shared with others of its period.
// Freeing it stops the work; never from within the clock's own event.
class TSGClock {
public:
    virtual ~TSGClock() = default;
    virtual int64_t Interval() const = 0;
};

// 100 ns units per buffer period, with the constant the components use (9 999 999, not
// 10 000 000). 0 when the sample rate or the buffer size is 0: no clock is started then.
int64_t GeneratorClockInterval(uint32_t ASampleRate, uint32_t ABufferSize);  // round(9999999 / (rate / size))
int64_t MixerClockInterval(uint32_t ASampleRate, uint32_t ABufferSize);      // round(size * 9999999 / rate)

class TSGClockGen : public TCKThread, public TSGClock {
public:
    // Use Create: the thread starts once the object is whole. An interval of 0 or less
    // makes a clock that never ticks (it would otherwise release without end).
    static TSGClockGen* Create(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent);
    // Unregisters, ends the thread and waits for it (from another thread). Not from
    // within the clock's own event: hand that over to the main thread.
    ~TSGClockGen() override;

    // On the clock's own thread: the thread ends after the event and frees itself. On
    // any other thread: wakes the loop and waits until the thread has ended.
    void Terminate() override;

    // Stops the ticks and ends the thread without waiting for it, from any thread: the
    // thread frees the clock (and its event) once a run in progress is over. The caller
    // must not touch the clock afterwards. Not counted as live from here on.
    void Release();

    int64_t Interval() const override { return FInterval; }
    // Live clocks of the process.
    static int32_t LiveClocks();

protected:
    template <class T, class... Args> friend T* NewThread(Args&&... args);
    TSGClockGen(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent);
    void Execute() override;
    void Wake() override { FSemaphore.Increment(1); }

private:
    friend struct TSGClockTick;
    // Under the clock section, once per timer tick.
    void Tick();

    TSGClockGenEvent FEvent;
    TPNSemaphore FSemaphore {0, 10000};
    int64_t FInterval;
    int64_t FAccumulator = 0;
    std::atomic<int32_t> FPendingWork {0};  // releases not yet run, for the tick accounting
    bool FRegistered = false;
    bool FCounted = true;  // in LiveClocks until released or destroyed
};

// Whether the shared 1 ms timer runs now, and how many clocks it drives.
bool MasterClockRunning();
int MasterClockCount();

}  // namespace dcs
