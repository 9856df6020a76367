// Type lists, the two registries, operations and pin names.
#include "testing/PinFixtures.h"

namespace dcs::pintest {
namespace {

std::vector<std::string> Ids(const TPNPinStreamType& L)
{
    std::vector<std::string> r;
    for (int i = 0; i < L.Count(); ++i)
        r.push_back(TypeName(L.GetID(i)));
    return r;
}

TPNNotifyResult Answer1(void*, IPNStream*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) { return {}; }
TPNNotifyResult Answer2(void*, IPNStream*, const TGUID*, IPNNotifyOperation*, TPNNotifyState) { return {}; }

TEST(PinStreamType, AddKeepsPositionAndRemoveKeepsOrder)
{
    TPNPinStreamType L;
    L.AddType(TypeA, {Answer1, nullptr});
    L.AddType(TypeB, {});
    L.AddType(TypeC, {});
    L.AddType(TypeA, {Answer2, nullptr});
    EXPECT_EQ(Ids(L), (std::vector<std::string> {"A", "B", "C"}));
    EXPECT_EQ(L.GetSubmitFunc(0).Code, &Answer2);
    L.RemoveType(TypeB);
    EXPECT_EQ(Ids(L), (std::vector<std::string> {"A", "C"}));
    L.RemoveType(TypeB);  // absent: nothing
    L.SwapPosition(0, 1);
    EXPECT_EQ(Ids(L), (std::vector<std::string> {"C", "A"}));
}

TEST_F(PinTest, StreamTypeTexts)
{
    const TGUID unknown = MakeGUID("{0123abcd-0000-4000-8000-00000000beef}");
    EXPECT_EQ(StreamTypeIDToText(GUID_NULL), "NIL ID");
    EXPECT_EQ(StreamTypeIDToText(unknown), "{0123ABCD-0000-4000-8000-00000000BEEF}");
    EXPECT_EQ(StreamTypeIDToText(TypeA), "A");
    FindOrAddStreamType(unknown);  // listed without a name: the empty name is its text
    EXPECT_EQ(StreamTypeIDToText(unknown), "");
    EXPECT_EQ(GetStreamTypeName(GUID_NULL), "");
}

TEST_F(PinTest, ConverterRegistrationReplacesTheClassOfAPair)
{
    RegisterTypeConverter(TypeA, TypeC, TConverterAtoC::StaticClass());
    RegisterTypeConverter(TypeB, TypeC, TConverterAtoC::StaticClass());
    RegisterTypeConverter(TypeA, TypeC, TConverterAtoC2::StaticClass());
    ASSERT_EQ(TypeConverters().size(), 2u);
    EXPECT_EQ(FindTypeConverter(TypeA, TypeC), 0);
    EXPECT_EQ(GetTypeConverterClass(TypeA, TypeC), TConverterAtoC2::StaticClass());
    EXPECT_EQ(GetTypeConverterClass(TypeC, TypeA), nullptr);
    EXPECT_EQ(FindTypeConverter(TypeC, TypeA), -1);
}

TEST(Operations, IdsRiseByOneAndClassTestsAcceptDescendants)
{
    auto a = MakeOperation<TPNNotifyOperation>();
    auto b = MakeOperation<TPNStopOperation>();
    EXPECT_EQ(b->Instance()->OperationID(), a->Instance()->OperationID() + 1);

    auto single = MakeOperation<TPNSuppliedSingleOperation>(1.5f);
    auto endStop = MakeOperation<TPNEndStopOperation>();
    auto valueRange = MakeOperation<TPNSuppliedInt64ValueRangeOperation>(5, 0, 10);
    auto range = MakeOperation<TPNSuppliedInt64RangeOperation>(0, 10);
    auto rate = MakeOperation<TPNStartRateOperation>(44100.0f);
    EXPECT_TRUE(OperationAs<TPNClockOperation>(single.Get()));
    EXPECT_TRUE(OperationAs<TPNStopOperation>(endStop.Get()));
    EXPECT_TRUE(OperationAs<TPNStartOperation>(rate.Get()));
    EXPECT_FALSE(OperationAs<TPNClockOperation>(rate.Get()));
    ASSERT_TRUE(OperationAs<TPNSuppliedInt64Operation>(valueRange.Get()));
    EXPECT_EQ(OperationAs<TPNSuppliedInt64Operation>(valueRange.Get())->Value, 5);
    EXPECT_FALSE(OperationAs<TPNSuppliedInt64Operation>(range.Get()));

    TPNPumpRequestOperation plain;
    EXPECT_EQ(plain.Pump, nullptr);
    EXPECT_EQ(plain.PumpType, TPNPumpType::ptNone);
    EXPECT_EQ(plain.PumpPriority, 0);
    EXPECT_EQ(plain.DesiredRate, 0.0f);
}

// A component that publishes its pin, inside a root form.
class TPinOwner : public TComponent {
    DCS_CLASS(TPinOwner, TComponent)
    explicit TPinOwner(TComponent* AOwner) : TComponent(AOwner)
    {
        FOut = Create<TTestSource>("out", std::initializer_list<TGUID> {TypeA}, -1, this);
    }
    ~TPinOwner() override { Free(FOut); }
    TTestSource* GetOutputPin() const { return FOut; }
    static void DeclareProperties(TClassBuilder<TPinOwner>& P) { P.Object("OutputPin", &TPinOwner::GetOutputPin); }

private:
    TTestSource* FOut;
};

TEST_F(PinTest, PinNamesComeFromOwnerRootAndProperty)
{
    TOwned<TComponent> form(Create<TComponent>(nullptr));
    form->SetName("Form1");
    auto* sg = Create<TPinOwner>(form.get());
    sg->SetName("sg1");
    TPNSourcePin* pin = sg->GetOutputPin();
    EXPECT_EQ(pin->GetFullName(false), "sg1.OutputPin");
    EXPECT_EQ(pin->GetFullName(true), "Form1.sg1.OutputPin");
    EXPECT_EQ(pin->GetName(), "OutputPin");
    EXPECT_EQ(pin->GetRootName(), "Form1");
    EXPECT_EQ(pin->GetOwnerName(), "sg1");

    auto orphan = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA});
    EXPECT_EQ(orphan->GetFullName(true), "(No owner)");

    // Editor texts: the linked pin's name, with its root only across roots.
    EXPECT_EQ(pin->GetLinkDisplayText(), "(Disconnected)");
    TOwned<TComponent> form2(Create<TComponent>(nullptr));
    form2->SetName("Form2");
    auto* mixer = Create<TPinOwner>(form2.get());
    mixer->SetName("mixer");
    auto sink = MakePin<TTestSink>("k", std::initializer_list<TGUID> {TypeA}, sg);
    sink->SetPinPath("InputPin");
    ASSERT_TRUE(pin->Connect(sink.get()));
    EXPECT_EQ(pin->GetLinkDisplayText(), "sg1.InputPin");
    EXPECT_TRUE(pin->IsLinkedTo("sg1.InputPin"));
    EXPECT_TRUE(pin->IsLinkedTo("Form1.sg1.InputPin"));
    EXPECT_EQ(sink->GetLinkDisplayText(), "sg1.OutputPin");
    ASSERT_TRUE(sink->Connect(mixer->GetOutputPin()));
    EXPECT_EQ(sink->GetLinkDisplayText(), "Form2.mixer.OutputPin");
    EXPECT_TRUE(sink->IsLinkedTo("Form2.mixer.OutputPin"));
    auto sink2 = MakePin<TTestSink>("k2", std::initializer_list<TGUID> {TypeA});
    ASSERT_TRUE(mixer->GetOutputPin()->Connect(sink2.get()));
    EXPECT_EQ(mixer->GetOutputPin()->GetLinkDisplayText(), "( 2 Links )");
}

TEST_F(PinTest, AListedTypeWithoutSubmitFunctionUsesTheRegisteredSendFunction)
{
    static std::atomic<int> sends {0};
    RegisterStreamTypeSendFunction(
        TypeB, [](TPNPin*, IPNStream*, const TGUID* id, IPNNotifyOperation*, TPNNotifyState) -> TPNNotifyResult {
            EXPECT_EQ(*id, TypeB);
            ++sends;
            return {nrDataChanged};
        });
    auto src = MakePin<TTestSource>("s", std::initializer_list<TGUID> {TypeA});
    src->AddType(TypeB, {});  // listed, no function of its own
    EXPECT_FALSE(src->GetSubmitFunction(TypeC).Assigned());
    EXPECT_FALSE(src->GetSubmitFunction(GUID_NULL).Assigned());
    TPNSubmit s = src->GetSubmitFunction(TypeB);
    ASSERT_TRUE(s.Assigned());
    TGUID id = TypeB;
    auto op = MakeOperation<TPNNotifyOperation>();
    EXPECT_EQ(s(nullptr, &id, op.Get(), {}), TPNNotifyResult {nrDataChanged});
    EXPECT_EQ(sends.load(), 1);
    // An id without send function delivers nothing.
    id = TypeC;
    EXPECT_TRUE(src->DefaultNotifyDispatcher(nullptr, &id, op.Get(), {}).Empty());
}

}  // namespace
}  // namespace dcs::pintest
