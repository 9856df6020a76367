// Faults of the link protocol that the pins must not have.
#include "testing/PinFixtures.h"
#include "testing/ScriptThread.h"

#include <thread>

namespace dcs::pintest {
namespace {

// While another thread cuts the link (it holds a stop on the sink's lock), an upstream
// send must not read the link fields at all.
TEST_F(PinTest, UpstreamSendDuringAStopOnTheSinkDeliversNothing)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    auto op = MakeOperation<TPNQueryStreamOperation>();
    test::WhileStopped(k->IntLock(), [&] { EXPECT_TRUE(k->Notify(op.Get()).Empty()); });
    EXPECT_TRUE(s->Deliveries().empty());
    // Once the stop is over the link works again.
    s->Answer = {nrDataChanged};
    EXPECT_EQ(k->Notify(op.Get()), TPNNotifyResult {nrDataChanged});
}

// Every road that unlinks a converted link takes the converter's link to the sink with
// it and frees the converter once nothing uses it.
struct TUnlinkRoad {
    const char* Name;
    void (*Unlink)(TTestSource* S, TTestSink* K);
};

class ConvertedUnlink : public PinTest, public ::testing::WithParamInterface<TUnlinkRoad> {};

TEST_P(ConvertedUnlink, LeavesNoConverterBehindToCutALaterLink)
{
    RegisterTypeConverter(TypeA, TypeC, TConverterAtoC::StaticClass());
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto t = MakePin<TTestSource>("t", std::initializer_list<TGUID> {TypeC});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeC});
    ASSERT_TRUE(s->Connect(k.get()));
    ASSERT_EQ(ConvertersAlive.load(), 1);

    GetParam().Unlink(s.get(), k.get());
    EXPECT_EQ(s->SinkCount(), 0);
    EXPECT_EQ(s->ConverterCount(), 0);
    EXPECT_EQ(ConvertersAlive.load(), 0);
    EXPECT_EQ(k->SourcePin(), nullptr);

    ASSERT_TRUE(k->Connect(t.get()));
    k->Clear();
    s.reset();
    EXPECT_EQ(k->SourcePin(), t.get());
    EXPECT_TRUE(k->Deliveries().empty());
    auto op = MakeOperation<TPNClockOperation>();
    t->Notify(op.Get());
    EXPECT_EQ(k->Operations().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ConvertedUnlink,
    ::testing::Values(TUnlinkRoad {"SourceDisconnectFrom", [](TTestSource* S, TTestSink* K) { S->DisconnectFrom(K); }},
                      TUnlinkRoad {"SourceDisconnect", [](TTestSource* S, TTestSink*) { S->Disconnect(); }},
                      TUnlinkRoad {"SinkConnectNil",
                                   [](TTestSource*, TTestSink* K) { ASSERT_TRUE(K->Connect(nullptr)); }},
                      TUnlinkRoad {"SinkDisconnect", [](TTestSource*, TTestSink* K) { K->Disconnect(); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PinTest, ASinkIsCutOnlyByThePinThatFeedsIt)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto stranger = MakePin<TTestSource>("x", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    k->RemoveLink(stranger.get(), false);
    k->RemoveLink(nullptr, false);
    EXPECT_EQ(k->SourcePin(), s.get());
    k->RemoveLink(s.get(), false);
    EXPECT_EQ(k->SourcePin(), nullptr);
}

// A receiver that raises on the new-link notification must not use up the pin's
// nesting count: after a dozen failures a new link still works.
TEST_F(PinTest, FailedNewLinkNotificationsDoNotBlockLaterLinks)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    k->OnReceive = [](IPNNotifyOperation*, TPNNotifyState st) -> TPNNotifyResult {
        if (st.Contains(nsNewLink))
            throw EAbort("refused");
        return {};
    };
    for (int i = 0; i < 12; ++i) {
        EXPECT_THROW(s->Connect(k.get()), EAbort);
        ASSERT_TRUE(k->Connect(nullptr));
    }
    k->OnReceive = nullptr;
    k->Clear();
    EXPECT_TRUE(s->Connect(k.get()));
    ASSERT_EQ(k->Deliveries().size(), 1u);
    EXPECT_TRUE(k->Deliveries()[0].NewLink());
}

// After-pins that order two links after each other (made while the owner loads, when
// links are taken as stored) must not send the after-pin check round without end.
TEST_F(PinTest, LoopedAfterPinsAreRefusedNotFollowedForever)
{
    TOwned<TComponent> owner(Create<TComponent>(nullptr));
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA}, -1, owner.get());
    auto a = MakePin<TTestSink>("a", std::initializer_list<TGUID> {TypeA}, owner.get());
    auto b = MakePin<TTestSink>("b", std::initializer_list<TGUID> {TypeA}, owner.get());
    auto x = MakePin<TTestSink>("x", std::initializer_list<TGUID> {TypeC}, owner.get());
    owner->SetLoadingState(csLoading, true);
    ASSERT_TRUE(s->ConnectAfter(a.get(), b.get()));
    ASSERT_TRUE(s->ConnectAfter(b.get(), a.get()));
    owner->SetLoadingState(csLoading, false);
    ASSERT_EQ(s->GetNotifyAfterPin(a.get()), b.get());
    ASSERT_EQ(s->GetNotifyAfterPin(b.get()), a.get());

    EXPECT_FALSE(s->CanConnectAfter(x.get(), a.get(), true));
    EXPECT_FALSE(s->ConnectAfter(x.get(), b.get()));
    // Serving order with looped after-pins settles too.
    auto op = MakeOperation<TPNClockOperation>();
    s->Notify(op.Get());
    s->Notify(op.Get());
    EXPECT_EQ(a->Operations().size(), 2u);
    EXPECT_EQ(b->Operations().size(), 2u);
}

#if !defined(NDEBUG) && !defined(__SANITIZE_THREAD__)
TEST_F(PinTest, HazardsAbortInDebugBuilds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k.get()));
    // The receiving thread unlinks the pin that is delivering to it.
    k->OnReceive = [&](IPNNotifyOperation*, TPNNotifyState st) {
        if (!st.Contains(nsNewLink))
            k->Disconnect();
        return TPNNotifyResult {};
    };
    auto op = MakeOperation<TPNClockOperation>();
    EXPECT_DEATH(s->Notify(op.Get()), "inside a delivery");
    k->OnReceive = nullptr;
    // A worker thread holding a pin's section makes a pin.
    EXPECT_DEATH(
        {
            std::thread t([&] {
                IPNLockSection w = s->WriteLock();
                auto p = MakePin<TTestSink>("late", std::initializer_list<TGUID> {TypeA});
            });
            t.join();
        },
        "holds a pin's section");
}
#endif

}  // namespace
}  // namespace dcs::pintest
