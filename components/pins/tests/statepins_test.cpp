// State pins and the state dispatcher: joining by link and by name, sharing one value,
// leaving, dissolving, after-chains, and the float/integer state pin's conversions.
#include "StdPinFixtures.h"

#include "components/pins/PNStatePins.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace dcs::stdpintest {
namespace {

using TBool = TPNBoolStatePin;

TPtr<TBool> MakeBool(std::vector<bool>* AHeard = nullptr)
{
    return Make<TBool>(
        nullptr,
        [AHeard](TPNPin*, bool v) {
            if (AHeard)
                AHeard->push_back(v);
        },
        nullptr);
}

TEST_F(StdPinTest, PinWithoutDispatcherAnswersEveryStateQueryEmpty)
{
    auto a = MakeBool();
    auto sink = Make<TPNBoolSinkPin>(nullptr, TPNBoolChangeEvent(), nullptr);
    EXPECT_FALSE(a->IsStateConnected());
    EXPECT_EQ(a->GetLinkDisplayText(), "(Disconnected)");
    EXPECT_EQ(a->PinCount(), 0);
    EXPECT_EQ(a->GetPin(0), nullptr);
    EXPECT_EQ(a->GetNotifyAfterPin(sink.get()), nullptr);
    EXPECT_EQ(a->GetConnectionID(sink.get()), GUID_NULL);
    EXPECT_TRUE(a->Notify(MakeOperation<TPNSuppliedBoolOperation>(true).Get()).Empty());
    EXPECT_FALSE(sink->Value());
}

// Two pins joined by a link share one state; the newcomer takes the state it joins.
TEST_F(StdPinTest, StatePinsJoinedByLinkShareOneValue)
{
    std::vector<bool> heardA, heardB;
    auto a = MakeBool(&heardA);
    auto b = MakeBool(&heardB);
    a->SetValue(true);
    ASSERT_TRUE(a->Connect(b.get()));
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(a.get());
    ASSERT_TRUE(d);
    EXPECT_EQ(d, TPNStateLinks::DispatcherOf(b.get()));
    EXPECT_EQ(d->Name(), "Link1");  // pins without a form: no form name in front
    EXPECT_TRUE(a->IsConnectedTo(b.get()));
    EXPECT_TRUE(b->IsConnectedTo(a.get()));
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(a->GetConnectionID(b.get()), IPNBoolStream::IID);
    EXPECT_EQ(a->PinCount(), 2);

    heardA.clear();
    heardB.clear();
    b->SetValue(false);
    EXPECT_FALSE(a->Value());
    a->SetValue(true);
    EXPECT_TRUE(b->Value());
    a->SetValue(true);  // unchanged: nothing sent
    EXPECT_EQ(heardA, (std::vector<bool> {false}));
    EXPECT_EQ(heardB, (std::vector<bool> {true}));

    // A third member, a plain Boolean sink, hears the state too.
    std::vector<bool> heardK;
    auto k = Make<TPNBoolSinkPin>(
        nullptr, [&](TPNPin*, bool v) { heardK.push_back(v); }, nullptr);
    ASSERT_TRUE(k->Connect(a.get()));
    EXPECT_EQ(d->PinCount(), 3);
    ASSERT_FALSE(heardK.empty());  // the state on joining, from each member that announces it
    EXPECT_EQ(std::count(heardK.begin(), heardK.end(), false), 0);
    heardK.clear();
    b->SetValue(false);
    EXPECT_EQ(heardK, (std::vector<bool> {false}));
    EXPECT_EQ(a->GetLinkDisplayText(), "Link1");

    // Cutting one member off leaves the cutting pin in the state with the others.
    a->DisconnectFrom(k.get());
    EXPECT_FALSE(k->IsStateConnected());
    EXPECT_TRUE(a->IsStateConnected());
    EXPECT_EQ(d->PinCount(), 2);
    ASSERT_TRUE(k->Connect(a.get()));

    // Leaving: one of three leaves the state to the other two; one of two dissolves it.
    std::weak_ptr<TPNStateDispatcher> weak = d;
    d.reset();
    k->Disconnect();
    EXPECT_FALSE(k->IsStateConnected());
    EXPECT_EQ(a->PinCount(), 2);
    b->Disconnect();
    EXPECT_FALSE(a->IsStateConnected());
    EXPECT_FALSE(b->IsStateConnected());
    EXPECT_TRUE(weak.expired()) << "the dispatcher outlived its last pin";
    EXPECT_EQ(TPNStateDispatcher::RegisteredCount(false), 0);
}

TEST_F(StdPinTest, PinsJoinByNameInEitherOrderAndDesignerCopiesStaySeparate)
{
    auto a = MakeBool();
    auto b = MakeBool();
    TPNStateLinks::ConnectToStateByName(b.get(), "Form1Link4");  // the later window first
    b->SetValue(true);
    EXPECT_EQ(b->PinCount(), 1);  // waits for its partner
    TPNStateLinks::ConnectToStateByName(a.get(), "Form1Link4");
    EXPECT_EQ(TPNStateLinks::DispatcherOf(a.get()), TPNStateLinks::DispatcherOf(b.get()));
    EXPECT_TRUE(a->Value());
    EXPECT_EQ(a->GetLinkDisplayText(), b->GetFullName(true));  // two members: the other one
    EXPECT_TRUE(a->IsLinkedTo(b->GetFullName(true)));
    EXPECT_FALSE(a->IsLinkedTo("Form9.x.StatePin"));
    TPNStateLinks::ConnectToStateByName(a.get(), "Form1Link4");  // joining twice adds nothing
    EXPECT_EQ(a->PinCount(), 2);

    // The same name in the designer's register is another dispatcher.
    TPNDispatcherRef design = TPNStateDispatcher::GetByNameCreate(a.get(), "Form1Link4", true);
    EXPECT_NE(design, TPNStateLinks::DispatcherOf(a.get()));
    EXPECT_TRUE(design->DesignTime());
    EXPECT_EQ(TPNStateDispatcher::GetByName("Form1Link4", true), design);
    EXPECT_EQ(TPNStateDispatcher::GetByName("form1link4", false), nullptr);  // case counts
    a->Disconnect();
    EXPECT_FALSE(b->IsStateConnected());
    EXPECT_EQ(TPNStateDispatcher::GetByName("Form1Link4", false), nullptr);
    ASSERT_TRUE(TPNStateLinks::ConnectToState(a.get(), design));
    a->Disconnect();
    EXPECT_EQ(TPNStateDispatcher::RegisteredCount(true), 0);
}

TEST_F(StdPinTest, DispatcherNamesForAFormSkipNamesInUse)
{
    TOwned<TComponent> form(Create<TComponent>(nullptr));
    form->SetName("Form1");
    auto first = TPNStateDispatcher::Create(form.get());
    EXPECT_EQ(first->Name(), "Form1Link1");
    auto taken = TPNStateDispatcher::CreateNamed("Form1Link2", false);
    auto third = TPNStateDispatcher::Create(form.get());
    EXPECT_EQ(third->Name(), "Form1Link3");
    EXPECT_FALSE(TPNStateDispatcher::IsUniqueName("Form1Link2", false));
    EXPECT_TRUE(TPNStateDispatcher::IsUniqueName("Form1Link2", true));
    EXPECT_EQ(TPNStateDispatcher::RegisteredCount(false), 3);
    // A dispatcher leaves its register when its last member leaves.
    auto pin = MakeBool();
    for (auto* d : {&first, &taken, &third}) {
        ASSERT_TRUE(TPNStateLinks::ConnectToState(pin.get(), *d));
        pin->Disconnect();
        d->reset();
    }
    EXPECT_EQ(TPNStateDispatcher::RegisteredCount(false), 0);
}

TEST_F(StdPinTest, AfterChainsThatLoopAreRefused)
{
    auto a = MakeBool();
    auto b = MakeBool();
    auto c = MakeBool();
    TPNDispatcherRef d = TPNStateDispatcher::CreateNamed("Chain", false);
    ASSERT_TRUE(TPNStateLinks::ConnectToState(a.get(), d));
    ASSERT_TRUE(TPNStateLinks::ConnectToState(b.get(), d, a.get()));  // b after a
    ASSERT_TRUE(TPNStateLinks::ConnectToState(c.get(), d, b.get()));  // c after b
    EXPECT_EQ(b->GetNotifyAfterPin(b.get()), a.get());
    EXPECT_TRUE(d->CanConnectAfter(c.get(), b.get(), true));
    EXPECT_FALSE(d->CanConnectAfter(a.get(), c.get(), true)) << "a after c after b after a";
    EXPECT_FALSE(a->CanConnectAfter(a.get(), b.get(), true));
    d->SetAfterPinByName(a.get(), c->GetFullName(true));  // refused: it would loop
    EXPECT_EQ(d->AfterPinOf(a.get()), nullptr);
    // A leaving member is named by no after-pin any more.
    b->Disconnect();
    EXPECT_EQ(d->AfterPinOf(c.get()), nullptr);
    EXPECT_EQ(d->PinCount(), 2);
    c->Disconnect();
    EXPECT_FALSE(a->IsStateConnected());
}

TEST_F(StdPinTest, FloatIntStatePinRoundsForIntegerMembers)
{
    struct {
        double In;
        int32_t Out;
    } rounding[] = {{2.5, 2},           {3.5, 4},          {-2.5, -2},
                    {-3.5, -4},         {2.4999, 2},       {1e10, INT32_MAX},
                    {-1e10, INT32_MIN}, {std::nan(""), 0}, {2147483647.0, INT32_MAX}};
    for (auto& r : rounding)
        EXPECT_EQ(RoundToInt32(r.In), r.Out) << r.In;

    std::vector<float> heardState;
    auto s = Make<TPNFloatIntStatePin>(
        nullptr, [&](TPNPin*, float v) { heardState.push_back(v); }, nullptr);
    auto ints = Make<TPNIntegerSinkPin>(nullptr, TPNIntegerChangeEvent(), nullptr);
    auto floats = Make<TPNFloatSinkPin>(nullptr, TPNFloatChangeEvent(), nullptr);
    ASSERT_TRUE(s->Connect(ints.get()));
    ASSERT_TRUE(s->Connect(floats.get()));
    EXPECT_EQ(s->GetConnectionID(ints.get()), IPNIntegerStream::IID);
    EXPECT_EQ(s->GetConnectionID(floats.get()), IPNFloatStream::IID);
    struct {
        float Value;
        int32_t Int;
    } cases[] = {{2.5f, 2}, {3.5f, 4}, {-0.5f, 0}, {1e20f, INT32_MAX}};
    for (auto& c : cases) {
        s->SetValue(c.Value);
        EXPECT_EQ(ints->Value(), c.Int) << c.Value;
        EXPECT_EQ(floats->Value(), c.Value);
    }
    // What other members send reaches the state pin as a float.
    auto other = Make<TPNFloatIntStatePin>(nullptr, TPNFloatChangeEvent(), nullptr);
    ASSERT_TRUE(TPNStateLinks::ConnectToState(other.get(), TPNStateLinks::DispatcherOf(s.get())));
    heardState.clear();
    other->SetValue(7.25f);
    EXPECT_EQ(s->Value(), 7.25f);
    EXPECT_EQ(ints->Value(), 7);
    EXPECT_EQ(heardState, (std::vector<float> {7.25f}));
}

// Members that answer every value with a new one would send without end: the nesting is
// bounded like a loop of links, and the state stays usable afterwards.
TEST_F(StdPinTest, MembersThatAnswerEachOtherWithoutEndAreStopped)
{
    bool echo = true;
    // Each pin answers a value it hears with the next one.
    auto answer = [&](TPNPin* p, float v) {
        if (echo)
            static_cast<TPNFloatIntStatePin*>(p)->SetValue(v + 1);
    };
    auto a = Make<TPNFloatIntStatePin>(nullptr, answer, nullptr);
    auto b = Make<TPNFloatIntStatePin>(nullptr, answer, nullptr);
    echo = false;
    ASSERT_TRUE(a->Connect(b.get()));
    echo = true;
    try {
        a->SetValue(1);
        ADD_FAILURE() << "no exception";
    } catch (const EPNException& e) {
        EXPECT_STREQ(e.what(), SPNDependsOnItself);
    }
    echo = false;
    a->SetValue(-5);
    EXPECT_EQ(b->Value(), -5.0f);
}

// One member sends from its own thread while others join and are freed on this one: a
// member is let go only after the deliveries to it have ended.
TEST_F(StdPinTest, MembersComeAndGoWhileAnotherSends)
{
    auto sender = MakeBool();
    auto keeper = MakeBool();
    TPNStateLinks::ConnectToStateByName(sender.get(), "Busy");
    TPNStateLinks::ConnectToStateByName(keeper.get(), "Busy");
    std::atomic<bool> stop {false};
    std::atomic<int> sends {0};
    std::thread t([&] {
        for (bool v = true; !stop.load(); v = !v) {
            sender->SetValue(v);
            ++sends;
        }
    });
    std::atomic<int> heard {0};
    for (int i = 0; i < 200; ++i) {
        auto guest = Make<TBool>(
            nullptr, [&](TPNPin*, bool) { ++heard; }, nullptr);
        TPNStateLinks::ConnectToStateByName(guest.get(), "Busy");
        int at = sends.load();
        while (sends.load() < at + 2)
            std::this_thread::yield();
    }  // each guest is freed at the end of its round
    stop = true;
    t.join();
    EXPECT_GT(heard.load(), 0);
    EXPECT_EQ(sender->PinCount(), 2);
    EXPECT_EQ(keeper->Value(), sender->Value());
    keeper->Disconnect();
}

TEST_F(StdPinTest, SinkJoiningAStateLosesItsDirectSource)
{
    auto source = Make<TTypedSource<IPNBoolStream>>();
    auto sink = Make<TPNBoolSinkPin>(nullptr, TPNBoolChangeEvent(), nullptr);
    ASSERT_TRUE(source->Connect(sink.get()));
    auto a = MakeBool();
    ASSERT_TRUE(a->Connect(sink.get()));
    EXPECT_EQ(sink->SourcePin(), nullptr);
    EXPECT_EQ(source->SinkCount(), 0);
    EXPECT_TRUE(sink->IsConnectedTo(a.get()));
    // A direct link ends the state link again.
    ASSERT_TRUE(sink->Connect(source.get()));
    EXPECT_FALSE(sink->IsStateConnected());
    EXPECT_FALSE(a->IsStateConnected());
}

// A member's handler that dissolves the state while a send through it is running: the
// dispatcher stays alive until the send has returned.
TEST_F(StdPinTest, DispatcherDissolvedFromInsideASendStaysAliveUntilItReturns)
{
    TPtr<TBool> a = MakeBool();
    TBool* pa = a.get();
    std::weak_ptr<TPNStateDispatcher> weak;
    bool once = false;
    auto b = Make<TBool>(
        nullptr,
        [&](TPNPin*, bool v) {
            if (v && !once) {
                once = true;
                pa->Disconnect();
                EXPECT_FALSE(weak.expired()) << "freed under a running send";
            }
        },
        nullptr);
    ASSERT_TRUE(a->Connect(b.get()));
    weak = TPNStateLinks::DispatcherOf(a.get());
    a->SetValue(true);
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(b->IsStateConnected());

    // A member destroyed with its owner leaves the state as well.
    auto c = MakeBool();
    ASSERT_TRUE(b->Connect(c.get()));
    c.reset();
    EXPECT_FALSE(b->IsStateConnected());
}

}  // namespace
}  // namespace dcs::stdpintest
