// Moving the handling of incoming operations off the sending threads: the threading
// settings a component publishes, and the worker that empties a bounded queue of
// operations in arrival order.
#pragma once

#include "components/audio/SGClockGen.h"
#include "components/audio/SGVariantStorages.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNLock.h"
#include "components/pins/PNSync.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace dcs {

enum TSGQueueFullMode {
    fmBlock,
    fmDropData
};

// Queue settings of a TSGThreading, on its lock. The worker reads them without the lock
// on every test, so they may change while it runs.
class TSGThreadingQueue : public TCKPersistent {
    DCS_CLASS(TSGThreadingQueue, TCKPersistent)

    explicit TSGThreadingQueue(TCKPersistent* AOwner) : TCKPersistent(AOwner) {}

    uint32_t Size() const { return FSize.load(); }
    void SetSize(uint32_t AValue) { Store(FSize, AValue); }
    TSGQueueFullMode FullMode() const { return FFullMode.load(); }
    void SetFullMode(TSGQueueFullMode AValue) { Store(FFullMode, AValue); }

    static void DeclareProperties(TClassBuilder<TSGThreadingQueue>& P);

private:
    // Compare and store under the write lock; the change notice only on a change.
    template <class T> void Store(std::atomic<T>& AField, T AValue)
    {
        {
            IPNLockSection section = FLock->WriteLock();
            if (AField.exchange(AValue) == AValue)
                return;
        }
        FLock->ChangeNotify();
    }

    std::atomic<uint32_t> FSize {15};
    std::atomic<TSGQueueFullMode> FFullMode {fmBlock};
};

// The threading settings a component publishes (as its "Threading" property).
class TSGThreading : public TCKPersistent {
    DCS_CLASS(TSGThreading, TCKPersistent)

    // APriorityNotify runs after every Priority write, changed or not.
    TSGThreading(TPersistent* AOwnerProperty, ICKLock& ALock, TCKPropUpdateFunc APriorityNotify = {});

    bool Enabled() const { return FLock->Getter(FEnabled); }
    void SetEnabled(bool AValue) { FLock->Setter(FEnabled, AValue); }
    TThreadPriority Priority() const { return FLock->Getter(FPriority); }
    void SetPriority(TThreadPriority AValue);
    TSGThreadingQueue* Queue() const { return const_cast<TSGThreadingQueue*>(&FQueue); }
    void SetQueue(TSGThreadingQueue* AValue) { FQueue.Assign(AValue); }

    // A stored form's former "QueueSize" lands in Queue.Size; it is never written back.
    void DefineProperties(TFiler& Filer) override;
    static void DeclareProperties(TClassBuilder<TSGThreading>& P);

private:
    bool FEnabled = false;
    TThreadPriority FPriority = tpNormal;
    TCKPropUpdateFunc FPriorityNotify;
    TSGThreadingQueue FQueue {this};
};

// The worker: operations pushed by any thread are handed to the owner's handler one at
// a time, in arrival order, on this thread. The queue takes Size + 1 operations; a push
// onto a full queue is dropped (fmDropData) or waits (fmBlock) with every hold of the
// pushing thread on the owner's lock given up meanwhile.
template <class TOperation> class TSGFilterThreadOf : public TCKThread {
public:
    using TItem = IntfPtr<TOperation>;
    using TNotify = std::function<void(const TItem& AOperation)>;

    // Use NewThread<...>(...): the thread starts once built. AThreading must outlive it.
    TSGFilterThreadOf(const TComponent* AOwner, IntfPtr<IPNLock> ALock, const TSGThreading* AThreading,
                      TNotify AOwnerNotify)
        : TCKThread(OwnerThreadName(AOwner, "TSGFilterThread")), FLock(std::move(ALock)),
          FOwnerNotify(std::move(AOwnerNotify)), FThreading(AThreading)
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
        while (uint32_t(FOperationQueue.ItemsCount()) > FThreading->Queue()->Size()) {
            if (FThreading->Queue()->FullMode() == fmDropData)
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
        // Again here: while this producer waited for room the worker may have drained the
        // queue and signalled it empty.
        FQueueEmptyEvent.Reset();
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
                if (uint32_t(FOperationQueue.ItemsCount()) <= FThreading->Queue()->Size())
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
    TPNEvent FEvent {false, false};
    TPNEvent FProcessedEvent {false, false};
    std::atomic<bool> FStarted {false};
    TPNEvent FTerminatedEvent {true, false};
    TSGOperationListOf<TOperation> FOperationQueue;
    TPNEvent FQueueEmptyEvent {true, true};
};

// The worker of the components: notify operations, handed to the owner one at a time.
using TSGFilterThread = TSGFilterThreadOf<IPNNotifyOperation>;
using TSGFilterThreadNotify = TSGFilterThread::TNotify;

}  // namespace dcs
