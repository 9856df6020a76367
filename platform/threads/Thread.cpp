#include "platform/threads/Thread.h"

#include "platform/base/SysUtils.h"

#include <cxxabi.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace dcs {

namespace {

// Offsets from the nice value the thread inherited; tpIdle uses the idle policy instead.
constexpr int kNiceOffset[] = {0, 10, 5, 0, -5, -10, -15};

}  // namespace

TThread::TThread(bool CreateSuspended, std::string Name)
    : FThreadID(detail::NewThreadId()), FName(std::move(Name)), FCreateSuspended(CreateSuspended)
{
}

TThread::~TThread() { TerminateAndWait(); }

void TThread::TerminateAndWait()
{
    // On the thread itself (e.g. deleting itself at the end of a FreeOnTerminate run)
    // there is nothing to wait for.
    if (GetCurrentThreadId() == FThreadID)
        return;
    Terminate();
    pthread_t handle;
    {
        detail::TWaitCoreLock lock(FCore);
        if (!FStarted || FJoined)
            return;
        FFreeOnTerminate = false;  // it must not free itself under our feet
        FCore.WaitLocked(INFINITE, [&] { return FFinished; });
        if (FJoined)  // another thread joined while we waited
            return;
        FJoined = true;
        handle = FHandle;
    }
    pthread_join(handle, nullptr);
}

void TThread::AfterConstruction()
{
    if (!FCreateSuspended)
        Start();
}

void TThread::Start()
{
    {
        detail::TWaitCoreLock lock(FCore);
        if (FStarted)
            throw EThread("Thread already started");
        FStarted = true;
    }
    pthread_t handle;
    // The new thread records its own handle: once it runs, a FreeOnTerminate object may
    // be gone before pthread_create returns, so nothing here touches `this` after it.
    int rc = pthread_create(&handle, nullptr, &TThread::ThreadMain, this);
    if (rc != 0) {
        detail::TWaitCoreLock lock(FCore);
        FStarted = false;
        throw EThread("Thread creation error: " + std::to_string(rc));
    }
}

template <class F> void TThread::RunKeepingExceptions(F&& Run)
{
    // Whatever escapes the run is kept for the owner instead of ending the process (the
    // first one counts). A cancellation unwind must go on, though.
    try {
        Run();
    } catch (abi::__forced_unwind&) {
        throw;
    } catch (...) {
        detail::TWaitCoreLock lock(FCore);
        if (!FFatalException)
            FFatalException = std::current_exception();
    }
}

void* TThread::ThreadMain(void* Self)
{
    auto* self = static_cast<TThread*>(Self);
    detail::SetCurrentThreadId(self->FThreadID);
    {
        detail::TWaitCoreLock lock(self->FCore);
        self->FHandle = pthread_self();
        self->FKernelTid = gettid();
        self->FBaseNice = getpriority(PRIO_PROCESS, 0);
        self->FRunning = true;
        std::string osName = SystemThreadName(self->FName);
        if (!osName.empty())
            pthread_setname_np(self->FHandle, osName.c_str());
        if (self->FPriority != tpNormal)
            self->ApplyPriorityLocked();
    }

    struct TFinishGuard {
        TThread* Thread;
        ~TFinishGuard() { Thread->Finish(); }
    } guard {self};

    self->RunKeepingExceptions([self] { self->Execute(); });
    self->RunKeepingExceptions([self] { self->DoTerminate(); });
    return nullptr;
}

void TThread::Finish()
{
    // Mutexes the run left owned are abandoned before anyone learns that it ended.
    detail::AbandonOwnedMutexes();
    bool freeSelf;
    {
        detail::TWaitCoreLock lock(FCore);
        freeSelf = FFreeOnTerminate;
        FRunning = false;
        FKernelTid = 0;
        FFinished = true;
        FCore.Broadcast();
    }
    // Not freeing: a waiter may destroy the object from here on.
    if (freeSelf) {
        pthread_detach(pthread_self());
        delete this;
    }
}

void TThread::Terminate() { FTerminated.store(true); }

int32_t TThread::WaitFor()
{
    if (GetCurrentThreadId() == FThreadID)
        throw EThread("A thread cannot wait for itself");
    detail::TWaitCoreLock lock(FCore);
    if (!FStarted)
        throw EThread("Cannot wait for a thread that was not started");
    if (FFreeOnTerminate)
        throw EInvalidOperation("Cannot wait for a thread that frees itself on termination");
    FCore.WaitLocked(INFINITE, [&] { return FFinished; });
    return FReturnValue.load();
}

bool TThread::Finished()
{
    detail::TWaitCoreLock lock(FCore);
    return FFinished;
}

bool TThread::FreeOnTerminate()
{
    detail::TWaitCoreLock lock(FCore);
    return FFreeOnTerminate;
}

void TThread::SetFreeOnTerminate(bool Value)
{
    detail::TWaitCoreLock lock(FCore);
    FFreeOnTerminate = Value;
}

void TThread::FreeWhenFinished()
{
    {
        detail::TWaitCoreLock lock(FCore);
        if (FStarted && !FFinished) {
            FFreeOnTerminate = true;
            return;
        }
    }
    delete this;
}

void TThread::SetName(std::string Value)
{
    detail::TWaitCoreLock lock(FCore);
    FName = std::move(Value);
    if (FRunning)
        pthread_setname_np(FHandle, SystemThreadName(FName).c_str());
}

std::string TThread::SystemThreadName(const std::string& Name)
{
    constexpr size_t kMax = 15;  // the kernel keeps 16 bytes with the terminating zero
    if (Name.size() <= kMax)
        return Name;
    size_t n = kMax;
    while (n > 0 && (static_cast<unsigned char>(Name[n]) & 0xC0) == 0x80)
        --n;
    return Name.substr(0, n);
}

TThreadPriority TThread::Priority()
{
    detail::TWaitCoreLock lock(FCore);
    return FPriority;
}

void TThread::SetPriority(TThreadPriority Value)
{
    if (Value < tpIdle || Value > tpTimeCritical)
        throw ERangeError("Thread priority out of range");
    detail::TWaitCoreLock lock(FCore);
    FPriority = Value;
    if (FRunning)
        ApplyPriorityLocked();
}

void TThread::ApplyPriorityLocked()
{
    // Failures (raising without the privilege) are ignored on purpose.
    int policy = SCHED_OTHER;
    sched_param param {};
    pthread_getschedparam(FHandle, &policy, &param);
    if (FPriority == tpIdle) {
        param.sched_priority = 0;
        pthread_setschedparam(FHandle, SCHED_IDLE, &param);
        return;
    }
    if (policy == SCHED_IDLE) {
        param.sched_priority = 0;
        pthread_setschedparam(FHandle, SCHED_OTHER, &param);
    }
    int nice = std::clamp(FBaseNice + kNiceOffset[FPriority], -20, 19);
    setpriority(PRIO_PROCESS, static_cast<id_t>(FKernelTid), nice);
}

std::exception_ptr TThread::FatalException()
{
    detail::TWaitCoreLock lock(FCore);
    return FFatalException;
}

}  // namespace dcs
