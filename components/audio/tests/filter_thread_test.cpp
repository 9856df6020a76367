#include "components/audio/SGCommonFilter.h"

#include "platform/classes/TextForm.h"
#include "testing/TestWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace dcs {
namespace {

class ITestOp : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{6E0B2C4A-1F0D-4C55-9A51-3B6C2D7E8F90}");
    virtual int Value() = 0;
};

class TTestOp : public TImplements<TInterfacedObject, ITestOp> {
public:
    explicit TTestOp(int v) : FValue(v) {}
    int Value() override { return FValue; }

private:
    int FValue;
};

IntfPtr<ITestOp> Op(int v) { return IntfPtr<ITestOp>(new TTestOp(v)); }

TEST(OperationList, QueueOrderSingleItemAndPushBack)
{
    TSGOperationListOf<ITestOp> q;
    EXPECT_EQ(q.Pop(), nullptr);
    EXPECT_EQ(q.Push(Op(1), false), 1);
    EXPECT_EQ(q.Push(Op(2), false), 2);
    EXPECT_EQ(q.Push(Op(3), false), 3);
    EXPECT_EQ(q.Push(Op(4), true), 1);
    EXPECT_EQ(q.Peek()->Value(), 4);
    EXPECT_EQ(q.PushBack(Op(5)), 2);
    EXPECT_EQ(q.Pop()->Value(), 5);
    EXPECT_EQ(q.Pop()->Value(), 4);
    EXPECT_EQ(q.ItemsCount(), 0);
    q.Push(Op(6), false);
    q.Clear();
    EXPECT_EQ(q.ItemsCount(), 0);
}

TEST(OperationList, IgnoresPushesWhileItsLockIsStopped)
{
    IntfPtr<IPNLock> lock = TPNLock::Create();
    TSGOperationListOf<ITestOp> q(lock);
    q.Push(Op(1), false);
    TEvent stopped(true, false), done(true, false);
    std::thread stopper([&] {
        IPNLockSection stop = lock->StopLock();
        stopped.SetEvent();
        done.WaitFor(INFINITE);
    });
    stopped.WaitFor(INFINITE);
    EXPECT_EQ(q.Push(Op(2), false), 0);
    EXPECT_EQ(q.Pop(), nullptr);
    EXPECT_EQ(q.ItemsCount(), 0);
    done.SetEvent();
    stopper.join();
    EXPECT_EQ(q.ItemsCount(), 1);
}

// A worker whose handler blocks on its first operation until released.
struct BlockedWorker {
    using Thread = TSGFilterThreadOf<ITestOp>;
    IntfPtr<ICKLock> lock = TCKLock::Create();
    TSGThreading threading {nullptr, *lock};
    TEvent entered {true, false}, release {true, false};
    std::atomic<int> handled {0};
    std::vector<int> order;  // worker thread only until joined
    std::unique_ptr<Thread> thread;

    void Start()
    {
        thread.reset(NewThread<Thread>(nullptr, IntfPtr<IPNLock>(lock), &threading, [this](const IntfPtr<ITestOp>& op) {
            IPNLockSection section = lock->WriteLock();
            order.push_back(op ? op->Value() : -1);
            if (handled.fetch_add(1) == 0) {
                entered.SetEvent();
                release.WaitFor(INFINITE);
            }
        }));
        thread->PushOperation(Op(0));
        EXPECT_EQ(entered.WaitFor(5000), wrSignaled);
    }
    void Drain()
    {
        release.SetEvent();
        EXPECT_TRUE(thread->GetQueueEvent().WaitFor(5000));
    }
};

TEST(FilterThread, DropModeKeepsSizePlusOne)
{
    BlockedWorker w;
    w.threading.Queue()->SetFullMode(fmDropData);
    w.Start();
    for (int i = 1; i <= 20; ++i)
        w.thread->PushOperation(Op(i));
    EXPECT_EQ(w.thread->QueuedCount(), 16);
    w.Drain();
    w.thread.reset();
    ASSERT_EQ(w.order.size(), 17u);
    for (int i = 0; i <= 16; ++i)
        EXPECT_EQ(w.order[size_t(i)], i) << "arrival order";
}

TEST(FilterThread, BlockModeWaitsForRoomWithTheOwnersLockGivenUp)
{
    BlockedWorker w;
    w.Start();
    for (int i = 1; i <= 16; ++i)
        w.thread->PushOperation(Op(i));
    std::atomic<bool> pushed {false};
    std::thread producer([&] {
        // Holding the owner's lock, as a component delivering an operation does; the
        // worker's handler needs that lock too.
        IPNLockSection held = w.lock->WriteLock();
        w.thread->PushOperation(Op(17));
        pushed = true;
    });
    Sleep(50);
    EXPECT_FALSE(pushed.load()) << "the queue is full";
    w.Drain();
    producer.join();
    EXPECT_TRUE(pushed.load());
    // The queue event may still be set from the drain before 17 went in: wait for the
    // handler itself to have seen all 18.
    for (int waited = 0; w.handled.load() < 18 && waited < 5000; ++waited)
        Sleep(1);
    w.thread.reset();
    EXPECT_EQ(w.order.size(), 18u);
    EXPECT_EQ(w.order.back(), 17);
}

TEST(FilterThread, QueueEventAndNilOperations)
{
    BlockedWorker w;
    w.Start();
    w.thread->PushOperation(nullptr);
    EXPECT_FALSE(w.thread->GetQueueEvent().WaitFor(0)) << "reset by the push";
    w.Drain();
    w.thread.reset();
    EXPECT_EQ(w.order, (std::vector<int> {0, -1}));
}

TEST(FilterThread, CarriesTheComponentsNotifyOperations)
{
    IntfPtr<ICKLock> lock = TCKLock::Create();
    TSGThreading threading(nullptr, *lock);
    std::vector<IPNNotifyOperation*> seen;
    IntfPtr<IPNNotifyOperation> op(new TPNNotifyOperation());
    {
        std::unique_ptr<TSGFilterThread> t(
            NewThread<TSGFilterThread>(nullptr, IntfPtr<IPNLock>(lock), &threading,
                                       [&seen](const IntfPtr<IPNNotifyOperation>& o) { seen.push_back(o.Get()); }));
        t->PushOperation(op);
        EXPECT_TRUE(t->GetQueueEvent().WaitFor(5000));
    }
    EXPECT_EQ(seen, std::vector<IPNNotifyOperation*> {op.Get()});
    TSGOperationList list;
    EXPECT_EQ(list.Push(op, true), 1);
    EXPECT_EQ(list.Pop(), op);
}

TEST(FilterThread, DestroyingAJustCreatedThreadWaitsForIt)
{
    IntfPtr<ICKLock> lock = TCKLock::Create();
    TSGThreading threading(nullptr, *lock);
    for (int i = 0; i < 200; ++i) {
        std::unique_ptr<TSGFilterThreadOf<ITestOp>> t(
            NewThread<TSGFilterThreadOf<ITestOp>>(nullptr, nullptr, &threading, [](const IntfPtr<ITestOp>&) {}));
        if (i % 2)
            t->PushOperation(Op(i));
    }
}

TEST(FilterThread, ProducersWaitingOnATerminatedWorkerGiveUp)
{
    BlockedWorker w;
    w.Start();
    for (int i = 1; i <= 16; ++i)
        w.thread->PushOperation(Op(i));
    std::vector<std::thread> producers;
    for (int i = 0; i < 3; ++i)
        producers.emplace_back([&w] { w.thread->PushOperation(Op(99)); });
    Sleep(20);
    std::thread terminator([&w] { w.thread->Terminate(); });
    Sleep(20);
    w.release.SetEvent();
    terminator.join();
    for (auto& p : producers)
        p.join();
    w.thread.reset();
}

TEST(Threading, DefaultsAndPriorityNotice)
{
    int notified = 0, changes = 0;
    IntfPtr<ICKLock> lock = TCKLock::Create([&changes] { ++changes; });
    TSGThreading t(nullptr, *lock, [&notified] { ++notified; });
    EXPECT_FALSE(t.Enabled());
    EXPECT_EQ(t.Priority(), tpNormal);
    EXPECT_EQ(t.Queue()->Size(), 15u);
    EXPECT_EQ(t.Queue()->FullMode(), fmBlock);
    t.SetPriority(tpNormal);
    t.SetPriority(tpHigher);
    EXPECT_EQ(notified, 2) << "every write notifies, changed or not";
    EXPECT_EQ(t.Priority(), tpHigher);
}

// A component publishing its threading settings, in a form that stores it.
class TThreadedFilter : public TCKComponent {
    DCS_CLASS(TThreadedFilter, TCKComponent)
    explicit TThreadedFilter(TComponent* AOwner) : TCKComponent(AOwner), FThreading(this, *FLock) {}
    TSGThreading* Threading() const { return const_cast<TSGThreading*>(&FThreading); }
    static void DeclareProperties(TClassBuilder<TThreadedFilter>& P)
    {
        P.Object("Threading", &TThreadedFilter::Threading);
    }

private:
    TSGThreading FThreading;
};

TEST(Threading, StoredFormsReadTheFormerQueueSize)
{
    TOwned<TTestWindow> root(Create<TTestWindow>(nullptr));
    ReadComponentFromText("object Form1: TTestWindow\n"
                          "  object filter1: TThreadedFilter\n"
                          "    Threading.QueueSize = 30\n"
                          "  end\n"
                          "end\n",
                          root.get());
    auto* filter = As<TThreadedFilter>(root->FindComponent("filter1"));
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->Threading()->Queue()->Size(), 30u);
    const std::string written = ComponentToText(root.get());
    EXPECT_EQ(written.find("QueueSize"), std::string::npos) << "never written back:\n" << written;
    EXPECT_NE(written.find("Threading.Queue.Size = 30"), std::string::npos) << written;
}

}  // namespace
}  // namespace dcs
