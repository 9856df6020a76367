// Linking and unlinking with negotiation, converters between unequal types.
#include "testing/PinFixtures.h"

namespace dcs::pintest {
namespace {

struct TNegotiationCase {
    const char* Name;
    std::vector<TGUID> SourceTypes;
    std::vector<TGUID> SinkTypes;
    bool Registry;  // A to C registered (class 1, then class 2)
    bool Linked;
    const char* LinkType;  // the link's type at the source
    const char* SinkType;  // what the sink expects from the pin that sends to it
    bool Converted;
};

class Negotiation : public PinTest, public ::testing::WithParamInterface<TNegotiationCase> {};

TEST_P(Negotiation, ChoosesTheLinkTypeOrRefuses)
{
    const auto& c = GetParam();
    if (c.Registry) {
        RegisterTypeConverter(TypeA, TypeC, TConverterAtoC::StaticClass());
        RegisterTypeConverter(TypeA, TypeC, TConverterAtoC2::StaticClass());
    }
    auto src = MakePin<TTestSource>("s", std::initializer_list<TGUID> {});
    auto sink = MakePin<TTestSink>("k", std::initializer_list<TGUID> {});
    for (auto& t : c.SourceTypes)
        src->SetTypes({t});
    for (auto& t : c.SinkTypes)
        sink->SetTypes({t});

    EXPECT_EQ(sink->Connect(src.get()), c.Linked);
    EXPECT_EQ(src->SinkCount(), c.Linked ? 1 : 0);
    EXPECT_EQ(sink->SourcePin(), c.Linked ? src.get() : nullptr);
    if (!c.Linked)
        return;
    EXPECT_EQ(TypeName(src->GetConnectionID(sink.get())), c.LinkType);
    EXPECT_EQ(TypeName(sink->UpStreamID()), c.SinkType);
    EXPECT_EQ(sink->IsConnectedByConverterTo(src.get()), c.Converted);
    EXPECT_EQ(src->ConverterCount(), c.Converted ? 1 : 0);
    if (c.Converted) {
        // The later registration of the pair wins.
        auto conv = sink->FormatConverter();
        ASSERT_TRUE(conv);
        EXPECT_TRUE(conv->Converter()->Is<TConverterAtoC2>());
        EXPECT_TRUE(src->IsConnectedByConverterTo(sink.get()));
        // The source's own notification of the link goes to the converter's input, in the
        // source's type; the sink does not take that type.
        auto in = static_cast<TTestSink*>(conv->Converter()->InputPin())->Deliveries();
        ASSERT_FALSE(in.empty());
        EXPECT_TRUE(in[0].NewLink());
        EXPECT_EQ(TypeName(in[0].ID), "A");
    }
    // The sink hears that the link was made, in the type it expects (through a converter
    // also when the converter's own link is retyped to the source's type).
    auto heard = sink->Deliveries();
    ASSERT_EQ(heard.size(), c.Converted ? 2u : 1u);
    for (auto& d : heard) {
        EXPECT_EQ(d.State, (TPNNotifyState {nsNewLink, nsLastIteration}));
        EXPECT_EQ(TypeName(d.ID), c.SinkType);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Negotiation,
    ::testing::Values(
        TNegotiationCase {"BothTakeBoth_LaterWins", {TypeA, TypeB}, {TypeA, TypeB}, false, true, "B", "B", false},
        TNegotiationCase {"SinkOrderDoesNotMatter", {TypeA, TypeB}, {TypeB, TypeA}, false, true, "B", "B", false},
        TNegotiationCase {"SourcePreferenceRules", {TypeB, TypeA}, {TypeA, TypeB}, false, true, "A", "A", false},
        TNegotiationCase {"OneInCommon", {TypeA, TypeB}, {TypeA, TypeC}, false, true, "A", "A", false},
        TNegotiationCase {"NothingInCommon", {TypeA}, {TypeC}, false, false, "", "", false},
        TNegotiationCase {"SinkListsNothing", {TypeA}, {}, false, false, "", "", false},
        TNegotiationCase {"ConverterFromRegistry", {TypeA}, {TypeC}, true, true, "A", "C", true},
        TNegotiationCase {"DirectBeatsConverter", {TypeA, TypeB}, {TypeB, TypeC}, true, true, "B", "B", false},
        TNegotiationCase {"NoConverterForB", {TypeB}, {TypeC}, true, false, "", "", false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(PinTest, SinkChoiceTakesTheOfferedTypeOrTheLastSupported)
{
    auto src = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA, TypeB});
    auto sink = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA, TypeB});
    EXPECT_EQ(TPNBasicSinkPin::ChooseSinkType(sink.get(), src.get(), TypeB), TypeB);
    EXPECT_EQ(TPNBasicSinkPin::ChooseSinkType(sink.get(), src.get(), TypeA), TypeA);
    EXPECT_EQ(TPNBasicSinkPin::ChooseSinkType(sink.get(), src.get(), TypeC), TypeB);
    EXPECT_EQ(TPNBasicSinkPin::ChooseSinkType(sink.get(), nullptr, TypeA), GUID_NULL);
}

TEST_F(PinTest, AnExistingConverterIsReusedAndHearsEachOperationOnce)
{
    RegisterTypeConverter(TypeA, TypeC, TConverterAtoC::StaticClass());
    auto src = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k1 = MakePin<TTestSink>("k1", std::initializer_list<TGUID> {TypeC});
    auto k2 = MakePin<TTestSink>("k2", std::initializer_list<TGUID> {TypeC});
    ASSERT_TRUE(src->Connect(k1.get()));
    ASSERT_TRUE(src->Connect(k2.get()));
    EXPECT_EQ(ConvertersMade.load(), 1);
    ASSERT_EQ(src->ConverterCount(), 1);
    EXPECT_EQ(TypeName(src->GetConnectionID(k2.get())), "A");
    auto conv = src->GetConverter(0);
    auto* in = static_cast<TTestSink*>(conv->Converter()->InputPin());
    in->Clear();

    auto op = MakeOperation<TPNStartOperation>();
    src->Notify(op.Get());
    EXPECT_EQ(in->Operations().size(), 1u);
    EXPECT_EQ(k1->Operations().size(), 1u);
    EXPECT_EQ(k2->Operations().size(), 1u);
    EXPECT_EQ(TypeName(k2->Operations()[0].ID), "C");
    conv = nullptr;
    src->Disconnect();
    EXPECT_EQ(src->ConverterCount(), 0);
}

TEST_F(PinTest, ConverterHasBothPinsAndLivesAsLongAsAHolder)
{
    const int pinsBefore = AllPinsCount();
    {
        IntfPtr<IPNFormatConverter> c = TPNFormatConverter::CreateOfClass(TConverterAtoC::StaticClass());
        ASSERT_TRUE(c->Converter()->InputPin());
        ASSERT_TRUE(c->Converter()->OutputPin());
        EXPECT_EQ(c->Converter()->OutputPin()->FunctionSources().GetItem(0), c->Converter()->InputPin());
        EXPECT_EQ(AllPinsCount(), pinsBefore + 2);
        IntfPtr<IPNFormatConverter> second = c;
        c = nullptr;
        EXPECT_EQ(ConvertersAlive.load(), 1);
    }
    EXPECT_EQ(ConvertersAlive.load(), 0);
    EXPECT_EQ(AllPinsCount(), pinsBefore);
}

TEST_F(PinTest, UpstreamOperationsCrossTheConverterToTheSource)
{
    RegisterTypeConverter(TypeA, TypeC, TConverterAtoC::StaticClass());
    auto src = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto sink = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeC});
    ASSERT_TRUE(sink->Connect(src.get()));
    src->Answer = {nrDataChanged};
    auto op = MakeOperation<TPNQueryStreamOperation>();
    EXPECT_EQ(sink->Notify(op.Get()), TPNNotifyResult {nrDataChanged});
    auto heard = src->Deliveries();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].OperationID, op->Instance()->OperationID());
    EXPECT_EQ(heard[0].State, TPNNotifyState {nsLastIteration});
    EXPECT_EQ(TypeName(heard[0].ID), "A");
}

TEST_F(PinTest, ConnectReplacesTheOldSourceAndRepeatsChangeNothing)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto t = MakePin<TTestSource>("t", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    EXPECT_TRUE(k->Connect(nullptr));  // unlinked: nothing to do
    ASSERT_TRUE(k->Connect(t.get()));
    ASSERT_TRUE(k->Connect(s.get()));
    EXPECT_EQ(t->SinkCount(), 0);
    EXPECT_EQ(t->Unlinked.load(), 1);
    EXPECT_EQ(k->SourcePin(), s.get());
    k->Clear();
    EXPECT_TRUE(k->Connect(s.get()));
    EXPECT_TRUE(s->Connect(k.get()));
    EXPECT_EQ(s->SinkCount(), 1);
    EXPECT_TRUE(k->Deliveries().empty());

    k->SetSourcePin(t.get());
    EXPECT_EQ(k->SourcePin(), t.get());
    EXPECT_EQ(s->SinkCount(), 0);
    EXPECT_FALSE(k->Connect(k.get()));
    EXPECT_FALSE(s->Connect(s.get()));
    EXPECT_FALSE(s->Connect(t.get()));  // a source is no sink
}

TEST_F(PinTest, ARefusedLinkKeepsTheOldSource)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto wrong = MakePin<TTestSource>("w", std::initializer_list<TGUID> {TypeB});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(k->Connect(s.get()));
    EXPECT_FALSE(k->Connect(wrong.get()));
    EXPECT_EQ(k->SourcePin(), s.get());
    EXPECT_EQ(s->SinkCount(), 1);
}

TEST_F(PinTest, ALimitOfOneLetsTheFirstLinkGiveWay)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA}, 1);
    auto a = MakePin<TTestSink>("a", std::initializer_list<TGUID> {TypeA});
    auto b = MakePin<TTestSink>("b", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(a.get()));
    ASSERT_TRUE(s->Connect(b.get()));
    ASSERT_EQ(s->SinkCount(), 1);
    EXPECT_EQ(s->GetSink(0), b.get());
    EXPECT_EQ(a->SourcePin(), nullptr);
}

TEST_F(PinTest, ASourceCannotFeedASinkItDependsOn)
{
    // One component: its output is computed from its input.
    auto in = MakePin<TTestSink>("in", std::initializer_list<TGUID> {TypeA});
    auto out = MakePin<TTestSource>("out", std::initializer_list<TGUID> {TypeA});
    out->FunctionSources().Add(in.get());
    EXPECT_EQ(in->FunctionDependantCount(), 1);
    EXPECT_FALSE(in->Connect(out.get()));
    EXPECT_FALSE(out->Connect(in.get()));
    // Through a second component the cycle is found as well.
    auto in2 = MakePin<TTestSink>("in2", std::initializer_list<TGUID> {TypeA});
    auto out2 = MakePin<TTestSource>("out2", std::initializer_list<TGUID> {TypeA});
    out2->FunctionSources().Add(in2.get());
    ASSERT_TRUE(in2->Connect(out.get()));
    EXPECT_FALSE(in->Connect(out2.get()));
    out.reset();  // a destroyed source leaves no dependant behind
    EXPECT_EQ(in->FunctionDependantCount(), 0);
}

class TDesignOwner : public TComponent {
    DCS_CLASS(TDesignOwner, TComponent)
    using TComponent::TComponent;
};

TEST_F(PinTest, DesignModeParity)
{
    TOwned<TDesignOwner> designed(Create<TDesignOwner>(nullptr));
    designed->SetDesigning(true);
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA}, -1, designed.get());
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    EXPECT_FALSE(k->Connect(s.get()));
    auto k2 = MakePin<TTestSink>("k2", std::initializer_list<TGUID> {TypeA}, designed.get());
    EXPECT_TRUE(k2->Connect(s.get()));
}

TEST_F(PinTest, FreeingEitherEndUnlinks)
{
    auto s = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    auto k = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    auto k2 = MakePin<TTestSink>("k2", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(s->Connect(k.get()));
    ASSERT_TRUE(s->Connect(k2.get()));
    k.reset();
    ASSERT_EQ(s->SinkCount(), 1);
    EXPECT_EQ(s->GetSink(0), k2.get());
    s.reset();
    EXPECT_EQ(k2->SourcePin(), nullptr);
}

}  // namespace
}  // namespace dcs::pintest
