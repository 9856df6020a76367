// The thread class every worker of the program derives from.
//
// A thread cannot start from the base constructor: Execute would run before the derived
// constructor has set its fields (or even hit a pure virtual call). So a TThread starts
// in a second step, after construction: NewThread<T>(...) constructs and starts, or the
// owner calls Start() itself (always so for a thread created suspended).
//
// Ending: Execute polls Terminated(). A thread object destroyed from another thread
// while it runs is terminated and waited for; but by then the derived part is already
// gone, so a class whose Execute uses its own members (or that must wake its Execute,
// e.g. by signalling a semaphore in its Terminate) calls TerminateAndWait() first thing
// in its own destructor. With FreeOnTerminate the object deletes itself on its own
// thread after Execute: nobody else may delete it or touch it once it may have ended.
//
// Handing work to the main thread (Synchronize, Queue, an OnTerminate run there) needs
// the message loop; DoTerminate is where it plugs in.
#pragma once

#include "platform/threads/Sync.h"

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace dcs {

enum TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};

class TThread {
public:
    explicit TThread(bool CreateSuspended = false, std::string Name = {});
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Second phase of construction: starts the thread unless it was created suspended.
    void AfterConstruction();
    // Starts Execute on a new thread. EThread if it was started before or the system
    // refuses a thread.
    void Start();

    // Asks Execute to end; it does not wait.
    virtual void Terminate();
    bool Terminated() const { return FTerminated.load(); }

    // Waits until Execute (and DoTerminate) have returned and gives the ReturnValue.
    // EThread when called on the thread itself or before Start; EInvalidOperation on a
    // FreeOnTerminate thread (it may be gone already).
    int32_t WaitFor();
    bool Finished();

    bool FreeOnTerminate();
    void SetFreeOnTerminate(bool Value);
    // Gives up the object without waiting (from another thread, after Terminate): a
    // thread still running frees it when it ends; one that has ended (or never started)
    // is joined and freed here. The caller must not touch the object afterwards.
    void FreeWhenFinished();

    // Id of the thread (as GetCurrentThreadId gives it on that thread); known from
    // construction on, before the thread runs.
    uint32_t ThreadID() const { return FThreadID; }

    // Kept whole; the system sees at most its first 15 bytes (whole UTF-8 characters).
    const std::string& Name() const { return FName; }
    void SetName(std::string Value);

    // Best effort: a priority the process may not take (raising without privilege) is
    // silently not applied. Settable before Start; Priority() gives what was asked.
    TThreadPriority Priority();
    void SetPriority(TThreadPriority Value);

    int32_t ReturnValue() const { return FReturnValue.load(); }
    // The exception that escaped Execute or DoTerminate, if any; the thread ended
    // normally otherwise.
    std::exception_ptr FatalException();

    // The name as the system gets it: at most 15 bytes, cut before a split character.
    static std::string SystemThreadName(const std::string& Name);

protected:
    virtual void Execute() = 0;
    // Runs on the thread after Execute, even when Execute raised. The place for work
    // at the end of every run (a hand-over to the main thread once a message loop
    // exists).
    virtual void DoTerminate() {}
    void SetReturnValue(int32_t Value) { FReturnValue.store(Value); }
    // For destructors: Terminate, then wait for the end of the run (which then no longer
    // frees the object itself). Never throws; does nothing on the thread itself or when
    // the thread never started.
    void TerminateAndWait();

private:
    static void* ThreadMain(void* Self);
    template <class F> void RunKeepingExceptions(F&& Run);
    void Finish();
    void ApplyPriorityLocked();

    detail::TWaitCore FCore;  // guards everything below that is not atomic
    const uint32_t FThreadID;
    std::string FName;
    std::atomic<bool> FTerminated {false};
    std::atomic<int32_t> FReturnValue {0};
    bool FCreateSuspended;
    bool FStarted = false;
    bool FFinished = false;
    bool FJoined = false;
    bool FFreeOnTerminate = false;
    bool FRunning = false;  // FHandle and FKernelTid are valid
    pthread_t FHandle {};
    pid_t FKernelTid = 0;
    int FBaseNice = 0;  // the nice value the thread inherited; priorities are relative to it
    TThreadPriority FPriority = tpNormal;
    std::exception_ptr FFatalException;
};

// Constructs a T (derived from TThread) and starts it unless it was created suspended.
// The caller owns the result, unless T sets FreeOnTerminate: then the pointer must not be
// used once the thread may have ended.
template <class T, class... Args> T* NewThread(Args&&... args)
{
    T* thread = new T(std::forward<Args>(args)...);
    try {
        thread->AfterConstruction();
    } catch (...) {
        delete thread;
        throw;
    }
    return thread;
}

}  // namespace dcs
