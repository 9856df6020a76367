// Pin lists with placeholders among their pins, their names, linking by name, and the
// unlinking that comes with destroying a component.
#include "PinListFixtures.h"

namespace dcs::pintest {
namespace {

TPNUnloadedPin* NewPlaceholder(const std::string& AName, TPNPinType AType = TPNPinType::ptSink)
{
    return Create<TPNUnloadedPin>(nullptr, AType, AName, AName, "test");
}

class PinListOwning : public PinListTest {
protected:
    void SetUp() override
    {
        PinListTest::SetUp();
        Form = NewRoot("F");
        Owner = Create<TPLGen>(Form);
        Owner->SetName("owner");
        List = Create<TPNPinList>(Owner, true);
        Source = Create<TPLGen>(Form);
        Source->SetName("src");
    }
    void TearDown() override
    {
        Free(List);
        PinListTest::TearDown();
    }
    TPLForm* Form;
    TPLGen* Owner;
    TPNPinList* List;
    TPLGen* Source;
};

TEST_F(PinListOwning, DeletePurgeAndClearLeavePlaceholdersToTheirRegister)
{
    // A placeholder with a pending link outlives its place in the list; one without
    // links goes as soon as no list keeps it.
    TPNUnloadedPin* linked = NewPlaceholder("F.owner._Pin0");
    ASSERT_TRUE(Source->OutputPin()->Connect(linked));
    TPNUnloadedPin* bare = NewPlaceholder("F.owner._Pin1");

    List->Add(linked);
    List->Add(bare);
    bare->ReleaseIfUnused();  // held by the list: stays
    EXPECT_EQ(UnloadedPins::Count(), 2);
    List->Delete(1);
    EXPECT_EQ(UnloadedPins::Count(), 1);
    List->Delete(0);
    ASSERT_EQ(UnloadedPins::Count(), 1);
    EXPECT_TRUE(Source->OutputPin()->IsConnectedTo(linked));

    // The purge drops placeholders lying below the count once the owner is loaded.
    int base = PinsAlive;
    TSnk* real = NewSink(Owner);
    List->Add(real);
    List->Insert(0, linked);
    EXPECT_EQ(List->EntryCount(), 2);
    EXPECT_EQ(List->Count(), 1);
    EXPECT_EQ(List->GetPin(0), real);
    EXPECT_EQ(List->EntryCount(), 1);
    EXPECT_EQ(UnloadedPins::Count(), 1);

    List->Add(linked);
    List->Add(NewPlaceholder("F.owner._Pin2"));
    List->Clear();
    EXPECT_EQ(PinsAlive.load(), base);  // the real one went with the list
    EXPECT_EQ(UnloadedPins::Count(), 1);
    Source->OutputPin()->Disconnect();  // its last link: the placeholder releases itself
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(PinListOwning, ClearFreesEveryRealPinWhereverPlaceholdersSit)
{
    int before = PinsAlive;
    List->Add(NewSink(Owner));
    List->Add(NewSink(Owner));
    List->Add(NewPlaceholder("F.owner._Pin2"));
    List->Insert(0, NewPlaceholder("F.owner._Pin0"));
    List->Insert(1, NewPlaceholder("F.owner._Pin1"));
    EXPECT_EQ(List->UnloadedCount(), 3);
    EXPECT_EQ(List->EntryCount(), 5);
    EXPECT_EQ(PinsAlive - before, 2);
    List->Clear();
    EXPECT_EQ(PinsAlive.load(), before);
    EXPECT_EQ(List->EntryCount(), 0);
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(PinListOwning, GetPinRaisesOutsideTheRealPins)
{
    List->Add(NewSink(Owner));
    List->Add(NewSink(Owner));
    List->Add(NewPlaceholder("F.owner._Pin2"));
    for (int i : {-1, 2, 3, 100})
        EXPECT_THROW(List->GetPin(i), ERangeError) << i;
    EXPECT_NE(List->GetPin(1), nullptr);
}

TEST_F(PinListOwning, RealPinTakesTheFirstPlaceholdersPlaceAndItsLinks)
{
    TSnk* first = NewSink(Owner);
    List->Add(first);
    TPNUnloadedPin* waiting = NewPlaceholder("F.owner._Pin1");
    ASSERT_TRUE(Source->OutputPin()->Connect(waiting));
    List->Add(waiting);
    List->Add(NewPlaceholder("F.owner._Pin2"));
    EXPECT_EQ(List->Count(), 1);

    TSnk* second = NewSink(Owner);
    List->AddNamed(second, "Left");
    EXPECT_EQ(List->Count(), 2);
    EXPECT_EQ(List->EntryCount(), 3);
    EXPECT_EQ(List->GetPin(1), second);
    EXPECT_EQ(second->SourcePin(), Source->OutputPin());
    EXPECT_EQ(Source->OutputPin()->SinkCount(), 1);
    EXPECT_EQ(UnloadedPins::Count(), 1);  // only the placeholder of place 2 is left
}

TEST_F(PinListOwning, EntryNamesAndFullNamesOfListPins)
{
    auto* mixer = NewNamed<TPLMixer>(Form, "mixer");
    TPNPinList* list = mixer->InputPins();
    for (int i = 0; i < 4; ++i)
        list->Add(NewSink(mixer));
    TPNBasicPin* p3 = list->GetPin(3);
    EXPECT_EQ(p3->GetFullIdentName(true), "F.mixer.InputPins._Pin3");
    EXPECT_EQ(p3->GetFullName(true), "F.mixer.InputPins.Pin [3]");
    EXPECT_EQ(p3->GetName(), "InputPins.Pin [3]");

    list->SetName(3, "Pin [3]");
    EXPECT_EQ(list->GetStoredName(3), "");
    EXPECT_EQ(list->GetName(3), "Pin [3]");
    list->SetPinName(p3, "Resonance");
    EXPECT_EQ(p3->GetFullName(true), "F.mixer.InputPins.Resonance");
    EXPECT_EQ(p3->GetFullIdentName(true), "F.mixer.InputPins._Pin3");

    // A pin keeps its stored name when it changes places.
    list->Swap(0, 3);
    EXPECT_EQ(list->GetPin(0), p3);
    EXPECT_EQ(list->GetName(0), "Resonance");
    EXPECT_EQ(list->GetName(3), "Pin [3]");
    EXPECT_EQ(p3->GetFullIdentName(true), "F.mixer.InputPins._Pin0");
    EXPECT_EQ(list->Name(), "InputPins");
}

TEST(PinNames, StoredFormNameIsReplacedOnlyWithItsDot)
{
    struct TCase {
        const char* Name;
        const char* Saved;
        const char* Current;
        const char* Expected;
    } cases[] = {
        {"Form1.mixer.OutputPin", "Form1", "Form2", "Form2.mixer.OutputPin"},
        {"form1.mixer.OutputPin", "Form1", "Form2", "Form2.mixer.OutputPin"},
        {"Form10.mixer.OutputPin", "Form1", "Form2", "Form10.mixer.OutputPin"},
        {"Form1", "Form1", "Form2", "Form1"},
        {"Form1.x", "", "Form2", "Form1.x"},
        {"Other.x", "Form1", "Form2", "Other.x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdjustStoredName(c.Name, c.Saved, c.Current), c.Expected) << c.Name;
}

TEST_F(PinListTest, LinksByNameShareOnePlaceholderAndArriveInReverseOrder)
{
    TPLForm* form = NewRoot("F");
    auto* a = NewNamed<TPLOut>(form, "a");
    auto* b = NewNamed<TPLOut>(form, "b");
    ASSERT_TRUE(a->InputPin()->TryLinkTo(form, "F.gen.OutputPin", "F.gen.OutputPin", false));
    ASSERT_TRUE(b->InputPin()->TryLinkTo(nullptr, "F.gen.OutputPin", "", false));
    ASSERT_EQ(UnloadedPins::Count(), 1);
    EXPECT_EQ(a->InputPin()->SourcePin(), b->InputPin()->SourcePin());

    auto* gen = NewNamed<TPLGen>(form, "gen");
    UnloadedPins::Get(0)->PopulatePinAndDestroy(gen->OutputPin());
    EXPECT_EQ(UnloadedPins::Count(), 0);
    ASSERT_EQ(gen->OutputPin()->SinkCount(), 2);
    EXPECT_EQ(gen->OutputPin()->GetSink(0), b->InputPin());
    EXPECT_EQ(gen->OutputPin()->GetSink(1), a->InputPin());

    // An existing source by name, then "nil".
    auto* gen2 = NewNamed<TPLGen>(form, "gen2");
    ASSERT_TRUE(a->InputPin()->TryLinkTo(form, "F.gen2.OutputPin", "", false));
    EXPECT_EQ(a->InputPin()->SourcePin(), gen2->OutputPin());
    EXPECT_EQ(gen->OutputPin()->SinkCount(), 1);
    ASSERT_TRUE(a->InputPin()->TryLinkTo(form, "nil", "", false));
    EXPECT_EQ(a->InputPin()->SourcePin(), nullptr);
    EXPECT_EQ(gen2->OutputPin()->SinkCount(), 0);
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(PinListTest, LinkByStoredNameTakesTheSavedFormNameForTheCurrentOne)
{
    TComponent* form = Load("object F: TPLForm\n"
                            "  object a: TPLOut\n    InputPin.Form = Old\n  end\n"
                            "  object gen: TPLGen\n  end\n"
                            "end\n");
    TPNSinkPin* in = Find<TPLOut>(form, "a")->InputPin();
    TPNSourcePin* out = Find<TPLGen>(form, "gen")->OutputPin();
    ASSERT_TRUE(in->TryLinkTo(nullptr, "Old.gen.OutputPin", "", true));
    EXPECT_EQ(in->SourcePin(), out);
    // Given as typed, the name means a window called Old, which is not there yet.
    ASSERT_TRUE(in->TryLinkTo(nullptr, "Old.gen.OutputPin", "", false));
    EXPECT_TRUE(IsUnloadedPin(in->SourcePin()));
    EXPECT_EQ(out->SinkCount(), 0);
    ASSERT_TRUE(in->TryLinkTo(nullptr, "nil", "", false));
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(PinListTest, DestroyingAComponentUnlinksAllItsPinsOnBothSides)
{
    TPLForm* form = NewRoot("F");
    auto* g1 = Create<TPLGen>(form);
    auto* g2 = Create<TPLGen>(form);
    auto* out = Create<TPLOut>(form);
    auto* mixer = Create<TPLMixer>(form);
    auto* split = Create<TPLSplit>(form);
    mixer->Channels()->Add();
    mixer->Channels()->Add();
    ASSERT_TRUE(g1->OutputPin()->Connect(mixer->InputPins()->GetPin(0)));
    ASSERT_TRUE(mixer->InputPins()->GetPin(1)->Connect(g2->OutputPin()));
    ASSERT_TRUE(mixer->OutputPin()->Connect(split->FInputPin));
    ASSERT_TRUE(split->FOutputPins->GetPin(0)->Connect(out->InputPin()));
    // A link still waiting on a placeholder goes too.
    ASSERT_TRUE(split->FOutputPins->GetPin(1)->Connect(NewPlaceholder("G.far.InputPin")));

    Free(split);
    EXPECT_EQ(mixer->OutputPin()->SinkCount(), 0);
    EXPECT_EQ(out->InputPin()->SourcePin(), nullptr);
    EXPECT_EQ(UnloadedPins::Count(), 0);

    Free(mixer);
    EXPECT_EQ(g1->OutputPin()->SinkCount(), 0);
    EXPECT_EQ(g2->OutputPin()->SinkCount(), 0);
    EXPECT_EQ(Wiring(), std::set<std::string> {});
}

}  // namespace
}  // namespace dcs::pintest
