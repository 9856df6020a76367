// The generator base with a toy output (a test pin of a toy stream type): election,
// start and stop sequences, the clock's lifetime and serving an elected master.
#include "components/audio/SGCommonGen.h"

#include "platform/mmtimer/MMTimer.h"
#include "testing/PinFixtures.h"

#include <gtest/gtest.h>

#include <atomic>

namespace dcs {
namespace {

using namespace pintest;

// Counts buffers; its "buffer" is a plain supplied value.
class TToyGen : public TSGBasicCommonGen {
    DCS_CLASS(TToyGen, TSGBasicCommonGen)
public:
    explicit TToyGen(TComponent* AOwner) : TSGBasicCommonGen(AOwner)
    {
        FOut = Create<TTestSource>("out", std::initializer_list<TGUID> {TypeA}, -1, this);
        // Upstream traffic: the elected master's requests.
        FOut->OnReceive = [this](IPNNotifyOperation* op, TPNNotifyState) {
            IPNLockSection w = FLock->WriteLock();
            if (auto* m = OperationAs<TPNMasterPumpOperation>(op))
                MasterPumpArrived(m->Pump, op->Instance()->OperationID());
            return TPNNotifyResult {};
        };
    }
    void BeforeDestruction() override
    {
        TSGBasicCommonGen::BeforeDestruction();
        Free(FOut);
        FOut = nullptr;
    }
    TPNSourcePin* GetOutputPin() override { return FOut; }
    TTestSource* Out() { return FOut; }

    std::atomic<int> Buffers {0};
    std::atomic<int> Starts {0};
    std::atomic<int> StopAt {0};  // the buffer after which the generator stops itself

protected:
    void SendStartFormat() override
    {
        ++Starts;
        NotifyOutput(MakeOperation<TPNStartRateOperation>(100.0f));
    }
    void CreateClock() override
    {
        if (IsPump() && ClockSource() == TSGClockSource::csInternal && !FClockGen)
            FClockGen = TSGClockGen::Create(this, GeneratorClockInterval(1000, 10), [this] { GenerateBuffer(); });
    }
    double GetSampleRate() override { return 1000.0; }
    uint32_t GetBufferSize() override { return 10; }
    void GenerateBuffer() override
    {
        IPNLockSection w = FLock->WriteLock();
        if (!w || FInStopping || !FIsRunning)
            return;
        ++Buffers;
        NotifyOutput(MakeOperation<TPNSuppliedIntegerOperation>(Buffers.load()));
        if (Buffers == StopAt) {
            FInStopping = true;
            StopGenerating();
        }
    }

private:
    TTestSource* FOut = nullptr;
};

// A downstream sink that records operations by class and may claim the chain.
class TRecordingSink : public TTestSink {
public:
    TRecordingSink() : TTestSink("in", {TypeA})
    {
        OnReceive = [this](IPNNotifyOperation* op, TPNNotifyState st) {
            if (st.Contains(nsNewLink))
                return TPNNotifyResult {};
            if (auto* r = OperationAs<TPNPumpRequestOperation>(op)) {
                ++Requests;
                if (Claim && r->Claims(TPNPumpType::ptMaster, 10)) {
                    r->Pump = &Master;
                    r->PumpType = TPNPumpType::ptMaster;
                    r->PumpPriority = 10;
                }
            } else if (OperationAs<TPNStopOperation>(op)) {
                ++Stops;
            } else if (OperationAs<TPNStartOperation>(op)) {
                ++Starts;
            } else if (auto* s = OperationAs<TPNStartPumpOperation>(op)) {
                StartPumpNamed = s->Pump;
            } else if (OperationAs<TPNSuppliedIntegerOperation>(op)) {
                ++Buffers;
            }
            return TPNNotifyResult {};
        };
    }
    bool Claim = false;
    TObject Master;
    std::atomic<int> Requests {0}, Stops {0}, Starts {0}, Buffers {0};
    TObject* StartPumpNamed = nullptr;
};

void RunFor(TManualMMTimer& timer, int ms)
{
    for (int i = 0; i < ms; ++i) {
        timer.Tick();
        ASSERT_TRUE(timer.WaitUntilIdle());
    }
}

TEST(CommonGen, StartsItselfAsMasterAndFeedsALaterLink)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    EXPECT_TRUE(gen->Enabled());
    EXPECT_TRUE(gen->IsRunning());
    EXPECT_TRUE(gen->IsPump()) << "its request came back unclaimed";
    EXPECT_FLOAT_EQ(gen->PumpRate(), 100.0f);
    EXPECT_TRUE(gen->HasClock());
    EXPECT_EQ(gen->Starts, 1);

    RunFor(timer, 31);  // period 9999.999 us: releases after ticks 11, 21, 31
    EXPECT_EQ(gen->Buffers, 3);

    TRecordingSink sink;
    ASSERT_TRUE(sink.Connect(gen->Out()));
    RunFor(timer, 10);
    EXPECT_EQ(gen->Buffers, 4);
    EXPECT_EQ(sink.Buffers, 1) << "buffers reach the link made later";
}

TEST(CommonGen, DisablingStopsOnceReleasesTheClockAndFiresOnStop)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    TRecordingSink sink;
    ASSERT_TRUE(sink.Connect(gen->Out()));
    int stops = 0;
    gen->SetOnStop([&](TObject* s) {
        EXPECT_EQ(s, gen.get());
        ++stops;
    });

    gen->SetEnabled(false);
    EXPECT_FALSE(gen->Enabled());
    EXPECT_FALSE(gen->IsRunning());
    EXPECT_FALSE(gen->HasClock()) << "released at once on the main thread";
    EXPECT_EQ(sink.Stops, 1);
    EXPECT_EQ(stops, 1);
    RunFor(timer, 30);
    EXPECT_EQ(gen->Buffers, 0);

    gen->SetEnabled(false);
    EXPECT_EQ(sink.Stops, 1) << "a stopped generator stops no more";
    EXPECT_EQ(stops, 1);

    gen->SetEnabled(true);
    EXPECT_TRUE(gen->HasClock());
    EXPECT_EQ(sink.Requests, 2) << "the start elects twice";
    RunFor(timer, 11);
    EXPECT_EQ(gen->Buffers, 1);
}

// Dispatches the hand-overs posted to the main thread.
void PumpMessages()
{
    TMsg msg;
    while (PeekMessage(msg, true))
        DispatchMessage(msg);
}

TEST(CommonGen, AStopOnTheClockThreadLeavesARestartedRunItsClock)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    gen->StopAt = 1;
    RunFor(timer, 11);
    EXPECT_EQ(gen->Buffers, 1);
    EXPECT_FALSE(gen->Enabled());
    EXPECT_TRUE(gen->HasClock()) << "the clock thread cannot free itself";

    // Restarted before the main thread handled the posted release.
    gen->StopAt = 0;
    gen->SetEnabled(true);
    PumpMessages();
    EXPECT_TRUE(gen->HasClock());
    RunFor(timer, 20);
    EXPECT_EQ(gen->Buffers, 3) << "the restarted run keeps its clock";

    gen->StopAt = 4;
    RunFor(timer, 10);
    EXPECT_EQ(gen->Buffers, 4);
    PumpMessages();
    EXPECT_FALSE(gen->HasClock()) << "released on the main thread";
}

TEST(CommonGen, AClaimedChainMakesItASlaveThatServesEachRequestOnce)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    TRecordingSink sink;
    sink.Claim = true;
    ASSERT_TRUE(sink.Connect(gen->Out()));
    gen->SetEnabled(false);
    gen->SetEnabled(true);

    EXPECT_FALSE(gen->IsPump());
    EXPECT_EQ(gen->MasterPump(), &sink.Master);
    EXPECT_EQ(sink.StartPumpNamed, &sink.Master);
    EXPECT_FALSE(gen->HasClock()) << "a slave runs no clock";
    RunFor(timer, 30);
    EXPECT_EQ(gen->Buffers, 0);

    // One request operation travels upstream; a repeat of the same id is served only
    // as the first request after a start.
    IntfPtr<IPNNotifyOperation> req = MakeOperation<TPNMasterPumpOperation>(&sink.Master);
    sink.Notify(req.Get());
    EXPECT_EQ(gen->Buffers, 1);
    sink.Notify(req.Get());
    EXPECT_EQ(gen->Buffers, 1) << "the same request again";
    sink.Notify(MakeOperation<TPNMasterPumpOperation>(&sink.Master).Get());
    EXPECT_EQ(gen->Buffers, 2);
    TObject stranger;
    sink.Notify(MakeOperation<TPNMasterPumpOperation>(&stranger).Get());
    EXPECT_EQ(gen->Buffers, 2) << "only the elected master is served";

    gen->SetEnabled(false);
    gen->SetEnabled(true);
    sink.Notify(req.Get());
    EXPECT_EQ(gen->Buffers, 3) << "the first request after a start is served whatever its id";
    EXPECT_EQ(sink.Buffers, 3);
}

TEST(CommonGen, ExternalClockMakesBuffersOnlyOnPump)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    gen->SetClockSource(TSGClockSource::csExternal);
    EXPECT_FALSE(gen->HasClock());
    EXPECT_TRUE(gen->IsPump());
    RunFor(timer, 30);
    EXPECT_EQ(gen->Buffers, 0);
    gen->Pump();
    gen->Pump();
    EXPECT_EQ(gen->Buffers, 2);

    gen->SetClockSource(TSGClockSource::csInternal);
    EXPECT_TRUE(gen->HasClock());
    gen->Pump();
    EXPECT_EQ(gen->Buffers, 2) << "Pump is for an external clock only";
}

TEST(CommonGen, AClockInputHearsWhetherTicksAreWantedAndDrivesAnExternalClock)
{
    TManualMMTimer timer;
    std::vector<int> needed;  // 1 / 0 for each clock-needed notice heard
    TOwned<TPNClockSourcePin> clock(
        Create<TPNClockSourcePin>(nullptr, [&](TPNBasicPin*, const TGUID*, IPNNotifyOperation* op, TPNNotifyState) {
            if (auto* n = OperationAs<TPNClockNeededOperation>(op))
                needed.push_back(n->Enabled);
            return TPNNotifyResult {};
        }));
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    ASSERT_TRUE(clock->Connect(gen->ClockPin()));
    ASSERT_FALSE(needed.empty());
    EXPECT_EQ(needed.back(), 1) << "a new link learns that the running generator wants ticks";

    clock->Clock();
    EXPECT_EQ(gen->Buffers, 0) << "ticks count only with an external clock source";
    gen->SetClockSource(TSGClockSource::csExternal);
    clock->Clock();
    clock->Clock();
    EXPECT_EQ(gen->Buffers, 2);

    gen->SetEnabled(false);
    EXPECT_EQ(needed.back(), 0);
    clock->Clock();
    EXPECT_EQ(gen->Buffers, 2);
}

TEST(CommonGen, AValueOnTheEnableInputSwitchesTheGenerator)
{
    TManualMMTimer timer;
    TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
    gen->EnablePin()->DispatchData(nullptr, MakeOperation<TPNSuppliedBoolOperation>(false).Get(), {});
    EXPECT_FALSE(gen->Enabled());
    EXPECT_FALSE(gen->HasClock());
    gen->EnablePin()->DispatchData(nullptr, MakeOperation<TPNSuppliedBoolOperation>(true).Get(), {});
    EXPECT_TRUE(gen->Enabled());
    RunFor(timer, 11);
    EXPECT_EQ(gen->Buffers, 1);
}

TEST(CommonGen, DestructionStopsTheLinkAndUnlinks)
{
    TManualMMTimer timer;
    TRecordingSink sink;
    {
        TOwned<TToyGen> gen(Create<TToyGen>(nullptr));
        ASSERT_TRUE(sink.Connect(gen->Out()));
        RunFor(timer, 11);
        EXPECT_EQ(sink.Buffers, 1);
    }
    EXPECT_GE(sink.Stops, 1);
    EXPECT_FALSE(sink.IsConnected());
    EXPECT_EQ(TSGClockGen::LiveClocks(), 0);
}

}  // namespace
}  // namespace dcs
