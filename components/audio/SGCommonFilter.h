// Moving the handling of incoming operations off the sending threads: the threading
// settings a component publishes, and the worker that empties a bounded queue of
// operations in arrival order.
#pragma once

#include "components/audio/SGClockGen.h"
#include "components/audio/SGVariantStorages.h"
#include "components/pins/PNLock.h"
#include "components/pins/PNSync.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace dcs {

enum TSGQueueFullMode { fmBlock, fmDropData };

// Queue settings; read without the lock on every test, so they may change while the
// worker runs.
class TSGThreadingQueue : public TObject {
public:
    uint32_t Size() const { return FSize.load(); }
    void SetSize(uint32_t Value) { FSize.store(Value); }
    TSGQueueFullMode FullMode() const { return FFullMode.load(); }
    void SetFullMode(TSGQueueFullMode Value) { FFullMode.store(Value); }
    void Assign(const TSGThreadingQueue& Source)
    {
        SetSize(Source.Size());
        SetFullMode(Source.FullMode());
    }

private:
    std::atomic<uint32_t> FSize{15};
    std::atomic<TSGQueueFullMode> FFullMode{fmBlock};
};

class TSGThreading : public TObject {
public:
    // Runs after every Priority write, changed or not.
    explicit TSGThreading(std::function<void()> APriorityNotify = {}) : FPriorityNotify(std::move(APriorityNotify)) {}

    bool Enabled() const { return FEnabled.load(); }
    void SetEnabled(bool Value) { FEnabled.store(Value); }
    TThreadPriority Priority() const { return FPriority.load(); }
    void SetPriority(TThreadPriority Value)
    {
        FPriority.store(Value);
        if (FPriorityNotify)
            FPriorityNotify();
    }
    TSGThreadingQueue& Queue() { return FQueue; }
    const TSGThreadingQueue& Queue() const { return FQueue; }
    void SetQueue(const TSGThreadingQueue& Value) { FQueue.Assign(Value); }
    // A stored form's former "QueueSize" lands in Queue.Size.
    void ReadLegacyQueueSize(uint32_t Value) { FQueue.SetSize(Value); }

private:
    std::atomic<bool> FEnabled{false};
    std::atomic<TThreadPriority> FPriority{tpNormal};
    std::function<void()> FPriorityNotify;
    TSGThreadingQueue FQueue;
};

// The worker: operations pushed by any thread are handed to the owner's handler one at
// a time, in arrival order, on this thread. The queue takes Size + 1 operations; a push
// onto a full queue is dropped (fmDropData) or waits (fmBlock) with every hold of the
// pushing thread on the owner's lock given up meanwhile.
template <class TOperation>
class TSGFilterThreadOf : public TCKThread {
public:
    using TItem = IntfPtr<TOperation>;
    using TNotify = std::function<void(const TItem& AOperation)>;

    // Use NewThread<...>(...): the thread starts once built. AThreading must outlive it.
    TSGFilterThreadOf(const TComponent* AOwner, IntfPtr<IPNLock> ALock, const TSGThreading* AThreading,
                      TNotify AOwnerNotify)
        : TCKThread(OwnerThreadName(AOwner, "TSGFilterThread")),
          FLock(std::move(ALock)),
          FOwnerNotify(std::move(AOwnerNotify)),
          FThreading(AThreading)
    {
        SetPriority(AThreading->Priority());
    }

    // Always waits for the worker before the events and the queue go, also when the
    // worker has not started its loop yet.
    ~TSGFilterThreadOf() override { Terminate(); }

    // AValue may be nil: the handler then runs with nil. A thread that has been
    // terminated accepts nothing (a producer waiting on it gives up).
    void PushOperation(TItem AValue)
    {
        FQueueEmptyEvent.Reset();
        while (uint32_t(FOperationQueue.ItemsCount()) > FThreading->Queue().Size()) {
            if (FThreading->Queue().FullMode() == fmDropData)
                return;
            if (Terminated()) {
                FProcessedEvent.Signal();  // pass the wake-up on to the next waiting producer
                return;
            }
            IPNLockSection released = FLock ? FLock->UnlockAll() : IPNLockSection();
            FProcessedEvent.WaitFor(INFINITE);
        }
        if (Terminated())
            return;
        FOperationQueue.Push(std::move(AValue), false);
        FEvent.Signal();
    }

    // Signalled when the worker has drained the queue; reset by the next push.
    TPNEvent& GetQueueEvent() { return FQueueEmptyEvent; }
    int QueuedCount() { return FOperationQueue.ItemsCount(); }

    void Terminate() override { TerminateWaking(); }

protected:
    void Wake() override
    {
        FEvent.Signal();
        FProcessedEvent.Signal();  // a producer blocked on the full queue
    }

    void Execute() override
    {
        while (!Terminated()) {
            FStarted.store(true);
            FEvent.WaitFor(INFINITE);
            while (FOperationQueue.ItemsCount() > 0 && !Terminated()) {
                TItem operation = FOperationQueue.Pop();
                FOwnerNotify(operation);
                if (uint32_t(FOperationQueue.ItemsCount()) <= FThreading->Queue().Size())
                    FProcessedEvent.Signal();
            }
            FQueueEmptyEvent.Signal();
        }
        FTerminatedEvent.Signal();
    }

private:
    IntfPtr<IPNLock> FLock;
    TNotify FOwnerNotify;
    const TSGThreading* FThreading;
    TPNEvent FEvent{false, false};
    TPNEvent FProcessedEvent{false, false};
    std::atomic<bool> FStarted{false};
    TPNEvent FTerminatedEvent{true, false};
    TSGOperationListOf<TOperation> FOperationQueue;
    TPNEvent FQueueEmptyEvent{true, true};
};

}  // namespace dcs
