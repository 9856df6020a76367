// Operations travelling along links: order, notify states, weights and answers.
#include "testing/PinFixtures.h"
#include "testing/ScriptThread.h"

namespace dcs::pintest {
namespace {

// One source with N sinks, all of type A, logging into one shared list.
struct TFan {
    TPinPtr<TTestSource> Source;
    std::vector<TPinPtr<TTestSink>> Sinks;
    std::vector<TDelivery> Log;
    std::mutex LogMutex;

    explicit TFan(int N)
    {
        Source = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
        for (int i = 0; i < N; ++i) {
            auto k = MakePin<TTestSink>("k" + std::to_string(i), std::initializer_list<TGUID> {TypeA});
            EXPECT_TRUE(Source->Connect(k.get()));
            k->Log = &Log;
            k->LogMutex = &LogMutex;
            Sinks.push_back(std::move(k));
        }
    }
    // The sinks' names in the order the source serves them now.
    std::vector<std::string> Order()
    {
        std::vector<std::string> r;
        for (int i = 0; i < Source->SinkCount(); ++i)
            r.push_back(static_cast<TTestSink*>(Source->GetSink(i))->Name);
        return r;
    }
    std::vector<std::string> Served()
    {
        std::vector<std::string> r;
        for (auto& d : Log)
            r.push_back(d.Pin);
        return r;
    }
};

TEST_F(PinTest, EveryOperationReachesEverySinkInServingOrderWithTheLastFlagged)
{
    for (int n : {1, 4, 19}) {
        TFan fan(n);
        auto ops = {MakeOperation<TPNStartRateOperation>(44100.0f), MakeOperation<TPNClockOperation>(),
                    MakeOperation<TPNPumpRequestOperation>(),       MakeOperation<TPNSuppliedRealOperation>(0.5),
                    MakeOperation<TPNSuppliedIntegerOperation>(7),  MakeOperation<TPNStopOperation>()};
        for (auto& op : ops) {
            fan.Log.clear();
            auto order = fan.Order();
            EXPECT_TRUE(fan.Source->Notify(op.Get()).Empty());
            ASSERT_EQ(fan.Served(), order) << n << " sinks";
            for (size_t i = 0; i < fan.Log.size(); ++i) {
                EXPECT_EQ(fan.Log[i].OperationID, op->Instance()->OperationID());
                EXPECT_EQ(fan.Log[i].State,
                          i + 1 == fan.Log.size() ? TPNNotifyState {nsLastIteration} : TPNNotifyState {});
            }
        }
    }
}

TEST_F(PinTest, NotifyPinServesOnlyTheNamedLink)
{
    TFan fan(3);
    auto op = MakeOperation<TPNStartOperation>();
    fan.Source->NotifyPin(fan.Sinks[0].get(), op.Get());
    fan.Source->NotifyPin(fan.Sinks[2].get(), op.Get());
    ASSERT_EQ(fan.Served(), (std::vector<std::string> {"k0", "k2"}));
    EXPECT_EQ(fan.Log[0].State, TPNNotifyState {});
    EXPECT_EQ(fan.Log[1].State, TPNNotifyState {nsLastIteration});
}

TEST_F(PinTest, SortingMovesAnAfterLinkBehindItsPin)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto a = MakePin<TTestSink>("a", std::initializer_list<TGUID> {TypeA});
    auto b = MakePin<TTestSink>("b", std::initializer_list<TGUID> {TypeA});
    auto c = MakePin<TTestSink>("c", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(a.get()));
    ASSERT_TRUE(s->Connect(b.get()));
    ASSERT_TRUE(s->Connect(c.get()));
    // a is to be served after c, which lies later: one send reorders.
    ASSERT_TRUE(s->ConnectAfter(a.get(), c.get()));  // relinks a at the end
    EXPECT_TRUE(s->IsConnectedToAfter(a.get(), c.get()));
    EXPECT_EQ(a->GetNotifyAfterPin(s.get()), c.get());
    ASSERT_TRUE(c->Connect(nullptr));
    ASSERT_TRUE(s->Connect(c.get()));  // c now lies behind a
    ASSERT_EQ(s->GetSink(2), c.get());
    auto op = MakeOperation<TPNClockOperation>();
    s->Notify(op.Get());
    std::vector<TPNBasicPin*> order {s->GetSink(0), s->GetSink(1), s->GetSink(2)};
    auto pos = [&](TPNBasicPin* p) { return std::find(order.begin(), order.end(), p) - order.begin(); };
    EXPECT_GT(pos(a.get()), pos(c.get()));
}

TEST_F(PinTest, ASinkThatAnswersDataChangedMovesBackAndDecays)
{
    TFan fan(3);
    fan.Sinks[0]->Answer = {nrDataChanged};
    auto op = MakeOperation<TPNClockOperation>();
    fan.Source->Notify(op.Get());
    EXPECT_EQ(fan.Source->GetModificationLevel(fan.Sinks[0].get()), 3);  // +4, then -1
    EXPECT_EQ(fan.Source->GetSink(2), fan.Sinks[0].get());
    fan.Sinks[0]->Answer = {};
    for (int i = 0; i < 5; ++i)
        fan.Source->Notify(op.Get());
    EXPECT_EQ(fan.Source->GetModificationLevel(fan.Sinks[0].get()), 0);
}

TEST_F(PinTest, AnOperationLoopingBackRaisesAndTheCountComesBack)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k.get()));
    int depth = 0;
    k->OnReceive = [&](IPNNotifyOperation* op, TPNNotifyState) {
        ++depth;
        return s->Notify(op);  // the loop a functional dependency would have stopped
    };
    auto op = MakeOperation<TPNClockOperation>();
    try {
        s->Notify(op.Get());
        FAIL() << "no exception";
    } catch (const EPNException& e) {
        EXPECT_STREQ(e.what(), "The pin depends on itself. Please protect with functional dependency.");
    }
    EXPECT_EQ(depth, 201);
    k->OnReceive = nullptr;
    k->Clear();
    EXPECT_NO_THROW(s->Notify(op.Get()));
    EXPECT_EQ(k->Operations().size(), 1u);
}

TEST_F(PinTest, UpstreamAnswersAreTheSourcesAndTheStateIsLast)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    auto op = MakeOperation<TPNMasterPumpOperation>(nullptr);
    EXPECT_TRUE(k->Notify(op.Get()).Empty());  // unlinked: nothing
    ASSERT_TRUE(k->Connect(s.get()));
    s->Answer = {nrDataChanged};
    EXPECT_EQ(k->Notify(op.Get()), TPNNotifyResult {nrDataChanged});
    ASSERT_EQ(s->Deliveries().size(), 1u);
    EXPECT_EQ(s->Deliveries()[0].State, TPNNotifyState {nsLastIteration});
}

TEST_F(PinTest, RetypedLinksHearOfTheirLinkAgain)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA, TypeB});
    auto onlyA = MakePin<TTestSink>("a", std::initializer_list<TGUID> {TypeA});
    auto both = MakePin<TTestSink>("ab", std::initializer_list<TGUID> {TypeA, TypeB});
    ASSERT_TRUE(s->Connect(onlyA.get()));
    ASSERT_EQ(onlyA->Deliveries().size(), 1u);
    ASSERT_TRUE(s->Connect(both.get()));
    EXPECT_EQ(TypeName(s->GetConnectionID(both.get())), "B");
    EXPECT_EQ(both->Deliveries().size(), 1u);
    // The link to a carries A, not the new link's B: it is chosen anew (A again) and told.
    auto heard = onlyA->Deliveries();
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_TRUE(heard[1].NewLink());
    EXPECT_EQ(TypeName(heard[1].ID), "A");
}

// A receiver that wants to pace the chain claims the request unless a claim at least as
// strong is there; the sender reads the winner when Notify returns.
TEST_F(PinTest, PumpRequestsComeBackWithTheStrongestFirstClaim)
{
    TFan fan(3);
    TObject self, first, second;
    auto claim = [](TObject* who, int prio) {
        return [who, prio](IPNNotifyOperation* op, TPNNotifyState) {
            if (auto* r = OperationAs<TPNPumpRequestOperation>(op))
                if (r->Claims(TPNPumpType::ptHardware, prio)) {
                    r->Pump = who;
                    r->PumpType = TPNPumpType::ptHardware;
                    r->PumpPriority = prio;
                }
            return TPNNotifyResult {};
        };
    };
    auto req = MakeOperation<TPNPumpRequestOperation>(&self, TPNPumpType::ptMaster, 0, 10.0f);
    fan.Source->Notify(req.Get());
    EXPECT_EQ(OperationAs<TPNPumpRequestOperation>(req.Get())->Pump, &self);  // unclaimed

    auto order = fan.Order();
    auto sinkNamed = [&](const std::string& n) {
        for (auto& k : fan.Sinks)
            if (k->Name == n)
                return k.get();
        return static_cast<TTestSink*>(nullptr);
    };
    sinkNamed(order[0])->OnReceive = claim(&first, 5);
    sinkNamed(order[1])->OnReceive = claim(&second, 5);
    req = MakeOperation<TPNPumpRequestOperation>(&self, TPNPumpType::ptMaster, 0, 10.0f);
    fan.Source->Notify(req.Get());
    EXPECT_EQ(OperationAs<TPNPumpRequestOperation>(req.Get())->Pump, &first);
    sinkNamed(order[2])->OnReceive = claim(&second, 6);
    req = MakeOperation<TPNPumpRequestOperation>(&self, TPNPumpType::ptMaster, 0, 10.0f);
    fan.Source->Notify(req.Get());
    EXPECT_EQ(OperationAs<TPNPumpRequestOperation>(req.Get())->Pump, &second);
}

}  // namespace
}  // namespace dcs::pintest

namespace dcs::pintest {
namespace {

// A component sends from inside its own locks; the deliveries run with both given up,
// and both come back afterwards, the input side first.
TEST_F(PinTest, SendsRunWithoutTheOwnersLevels)
{
    IntfPtr<IPNLock> ownerLock = TPNLock::Create();
    IntfPtr<IPNLock> inputLock = TPNLock::Create();
    auto s = MakePin<TTestPin<TPNSourcePin>>("s", nullptr, ownerLock, inputLock, -1);
    s->SetTypes({TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k.get()));
    bool freeDuringDelivery = false;
    k->OnReceive = [&](IPNNotifyOperation*, TPNNotifyState) {
        freeDuringDelivery =
            ownerLock->Instance()->State().OwningThread == 0 && inputLock->Instance()->State().OwningThread == 0;
        return TPNNotifyResult {};
    };
    {
        IPNLockSection in = inputLock->WriteLock();
        IPNLockSection own = ownerLock->WriteLock();
        IPNLockSection own2 = ownerLock->ReadLock();
        auto op = MakeOperation<TPNClockOperation>();
        s->Notify(op.Get());
        EXPECT_TRUE(freeDuringDelivery);
        EXPECT_EQ(ownerLock->Instance()->State().CountLocks, 2);
        EXPECT_EQ(inputLock->Instance()->State().CountLocks, 1);
    }
    EXPECT_EQ(ownerLock->Instance()->State().OwningThread, 0u);
}

// A sender must never hold its output owner without its input owner: a thread that takes
// the input half and then waits for the output half would deadlock against it.
TEST_F(PinTest, AfterASendTheOwnersComeBackInputFirst)
{
    IntfPtr<IPNLock> ownerLock = TPNLock::Create();
    IntfPtr<IPNLock> inputLock = TPNLock::Create();
    auto s = MakePin<TTestPin<TPNSourcePin>>("s", nullptr, ownerLock, inputLock, -1);
    s->SetTypes({TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k.get()));
    struct TWatch : IPNLockTraceMonitor {
        TPNLock* Owner;
        TPNLock* Input;
        int OwnerRestores = 0;
        int OwnerWithoutInput = 0;
        void LockTrace(TPNLock* ALock, const void*, TPNLockTraceEvent AEvent, std::uint32_t AThread) override
        {
            if (ALock != Owner || AEvent != TPNLockTraceEvent::UnlockDestroy)
                return;
            ++OwnerRestores;
            const TPNLockState in = Input->State();
            if (in.OwningThread != AThread || in.CountLocks == 0)
                ++OwnerWithoutInput;
        }
    } watch;
    watch.Owner = ownerLock->Instance();
    watch.Input = inputLock->Instance();
    {
        IPNLockSection in = inputLock->WriteLock();
        IPNLockSection own = ownerLock->WriteLock();
        AddLockTraceMonitor(&watch);
        s->Notify(MakeOperation<TPNClockOperation>().Get());
        RemoveLockTraceMonitor(&watch);
    }
    EXPECT_EQ(watch.OwnerRestores, 1);
    EXPECT_EQ(watch.OwnerWithoutInput, 0);
}

TEST_F(PinTest, UpstreamSendWhileTheOwnerStopsAnswersAtOnce)
{
    IntfPtr<IPNLock> ownerLock = TPNLock::Create();
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestPin<TPNSinkPin>>("k", nullptr, ownerLock);
    k->SetTypes({TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    auto op = MakeOperation<TPNQueryStreamOperation>();
    test::WhileStopped(ownerLock, [&] { EXPECT_TRUE(k->Notify(op.Get()).Empty()); });
    EXPECT_TRUE(s->Deliveries().empty());
}

}  // namespace
}  // namespace dcs::pintest
