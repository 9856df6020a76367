// State links stored in form resources: written as the dispatcher's name (with the
// window's members for a state shared by several windows) and joined by name on reading.
// Also the stored sources of a multi-source sink.
#include "PinListFixtures.h"

namespace dcs::pintest {
namespace {

class StateFormTest : public PinListTest {
protected:
    void SetUp() override
    {
        PinListTest::SetUp();
        RegisterStdStreamTypes();
    }
    void TearDown() override
    {
        PinListTest::TearDown();
        EXPECT_EQ(TPNStateDispatcher::RegisteredCount(false), 0) << "a dispatcher outlived its pins";
    }
    TPNBoolStatePin* Switch(TComponent* ARoot, const char* AName) { return Find<TSTSwitch>(ARoot, AName)->FStatePin; }
};

constexpr const char* KSwitches = R"(object Form1: TPLForm
  object sw1: TSTSwitch
    StatePin.Form = Form1
    StatePin.State = 'Form1Link1'
  end
  object sw2: TSTSwitch
    StatePin.Form = Form1
    StatePin.State = 'Form1Link1'
  end
end
)";

TEST_F(StateFormTest, StateOfOneWindowRoundTripsThroughItsTextForm)
{
    TComponent* form = NewRoot("Form1");
    Create<TSTSwitch>(form)->SetName("sw1");
    Create<TSTSwitch>(form)->SetName("sw2");
    ASSERT_TRUE(Switch(form, "sw1")->Connect(Switch(form, "sw2")));
    std::string text = ComponentToText(form);
    EXPECT_EQ(text, KSwitches);
    FreeRoot(form);

    form = Load(text);
    TPNBoolStatePin* a = Switch(form, "sw1");
    TPNBoolStatePin* b = Switch(form, "sw2");
    ASSERT_TRUE(a->IsConnectedTo(b));
    EXPECT_EQ(TPNStateLinks::DispatcherOf(a)->Name(), "Form1Link1");
    a->SetValue(true);
    EXPECT_TRUE(b->Value());
    EXPECT_EQ(ComponentToText(form), text);
}

// A state shared by two windows stores, in the first member of each window, the name and
// that window's members; either window may be read first.
TEST_F(StateFormTest, StateSharedByTwoWindowsJoinsInEitherOrder)
{
    TComponent* f1 = NewRoot("Form1");
    TComponent* f2 = NewRoot("Form2");
    Create<TSTSwitch>(f1)->SetName("sw1");
    Create<TSTSwitch>(f1)->SetName("sw3");
    Create<TSTSwitch>(f2)->SetName("sw2");
    ASSERT_TRUE(Switch(f1, "sw1")->Connect(Switch(f2, "sw2")));
    ASSERT_TRUE(TPNStateLinks::ConnectToState(Switch(f1, "sw3"), TPNStateLinks::DispatcherOf(Switch(f1, "sw1"))));
    std::string t1 = ComponentToText(f1);
    std::string t2 = ComponentToText(f2);
    EXPECT_NE(t1.find("StatePin.State = ('Form1Link1' Form1.sw1.StatePin Form1.sw3.StatePin)"), std::string::npos)
        << t1;
    EXPECT_NE(t1.find("StatePin.State = 'Form1Link1'"), std::string::npos) << "the window's second member: the name";
    EXPECT_NE(t2.find("StatePin.State = ('Form1Link1' Form2.sw2.StatePin)"), std::string::npos) << t2;
    FreeRoot(f1);
    FreeRoot(f2);

    for (bool secondFirst : {true, false}) {
        TComponent* a = Load(secondFirst ? t2 : t1);
        TComponent* b = Load(secondFirst ? t1 : t2);
        TComponent* w1 = secondFirst ? b : a;
        TComponent* w2 = secondFirst ? a : b;
        TPNDispatcherRef d = TPNStateLinks::DispatcherOf(Switch(w2, "sw2"));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->PinCount(), 3);
        EXPECT_EQ(d, TPNStateLinks::DispatcherOf(Switch(w1, "sw3")));
        Switch(w1, "sw1")->SetValue(true);
        EXPECT_TRUE(Switch(w2, "sw2")->Value());
        d.reset();
        FreeRoot(a);
        FreeRoot(b);
    }
}

TEST_F(StateFormTest, SinkStoredWithAStateConverterJoinsThroughIt)
{
    constexpr const char* text = R"(object Form1: TPLForm
  object m: TSTMeter
    InputPin.StateConverter = (
      'Volume'
      '{92F6B47E-B46E-49BB-9A8E-676D3C2F2E66}'
      '{208F9564-3C20-4C97-BB77-2FC5AE6E4194}')
  end
end
)";
    TComponent* form = Load(text);
    TPNRealSinkPin* sink = Find<TSTMeter>(form, "m")->FInputPin;
    TPNDispatcherRef d = TPNStateDispatcher::GetByName("Volume", false);
    ASSERT_TRUE(d);
    ASSERT_EQ(d->ConverterCount(), 1);
    TPNFormatConverter* conv = d->GetConverter(0)->Converter();
    EXPECT_TRUE(conv->Is<TPNIntToRealFormatConverter>());
    EXPECT_EQ(sink->SourcePin(), conv->OutputPin());
    EXPECT_EQ(d->GetConnectionPin(0), conv->InputPin());
    EXPECT_EQ(d->GetPin(0), sink);
    EXPECT_EQ(ComponentToText(form), text);

    // An integer member of the state reaches the real sink through the converter.
    auto level = TOwned<TPNFloatIntStatePin>(Create<TPNFloatIntStatePin>(nullptr, TPNFloatChangeEvent(), nullptr));
    TPNStateLinks::ConnectToStateByName(level.get(), "Volume");
    level->SetValue(3.5f);
    EXPECT_EQ(sink->Value(), 4.0);
    d.reset();
    level.reset();
    EXPECT_FALSE(sink->IsStateConnected());
    EXPECT_EQ(sink->SourcePin(), nullptr);
}

// A pin list stores a member's state in its entry. Read before the list's pins exist,
// the state waits on a placeholder and the pin joins it when it is made.
TEST_F(StateFormTest, PinListEntriesKeepTheirStateAlsoForPinsMadeLater)
{
    constexpr const char* text = R"(object Form1: TPLForm
  object m: TPLMixer
    InputPins.Pins = (nil State ('Volume'))
    Channels = <
      item
      end
      item
      end>
  end
  object sw: TSTSwitch
    StatePin.Form = Form1
    StatePin.State = 'Volume'
  end
end
)";
    TComponent* form = Load(text);
    EXPECT_EQ(UnloadedPins::Count(), 0);
    auto* mixer = Find<TPLMixer>(form, "m");
    TPNBasicPin* second = mixer->InputPins()->GetPin(1);
    TPNDispatcherRef d = TPNStateDispatcher::GetByName("Volume", false);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->PinCount(), 2);
    EXPECT_TRUE(second->IsConnectedTo(Switch(form, "sw")));
    EXPECT_FALSE(mixer->InputPins()->GetPin(0)->IsConnected());
    d.reset();

    std::string written = ComponentToText(form);
    EXPECT_NE(written.find("InputPins.Pins = (nil State ('Volume'))"), std::string::npos) << written;
    FreeRoot(form);
    EXPECT_EQ(TPNStateDispatcher::RegisteredCount(false), 0);

    // Read again, now with the pins there before the list: the same state.
    form = Load(written);
    EXPECT_TRUE(Find<TPLMixer>(form, "m")->InputPins()->GetPin(1)->IsConnectedTo(Switch(form, "sw")));
    EXPECT_EQ(ComponentToText(form), written);

    // A state list where the pending names are expected is a stream error.
    try {
        Load("object Form2: TPLForm\n  object n: TPLMixer\n    InputPins.Pins = (State (('Volume' x)))\n"
             "  end\nend\n");
        ADD_FAILURE() << "read a nested list as a state name";
    } catch (const EReadError&) {
    }
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(StateFormTest, MultiSourceSinkStoresItsSourcesAndReadsThemInAnyOrder)
{
    // Only the multi-source sink stores the links, and it is read before its sources.
    TComponent* form = Load(R"(object Form1: TPLForm
  object mx: TSTMix
    InputPin.Form = Form1
    InputPin.SourcePin = (Form1.g1.OutputPin Form1.g2.OutputPin)
  end
  object g1: TPLGen
  end
  object g2: TPLGen
  end
end
)");
    EXPECT_EQ(UnloadedPins::Count(), 0);
    auto* mix = Find<TSTMix>(form, "mx")->FInputPin;
    ASSERT_EQ(mix->SourceCount(), 2);
    EXPECT_EQ(mix->GetSource(0), Find<TPLGen>(form, "g1")->OutputPin());
    Find<TPLGen>(form, "g2")->OutputPin()->Notify(MakeOperation<TPNStopOperation>().Get());
    EXPECT_EQ(mix->Operations().size(), 1u);

    std::string written = ComponentToText(form);
    EXPECT_NE(written.find("InputPin.SourcePin = (Form1.g1.OutputPin Form1.g2.OutputPin)"), std::string::npos)
        << written;
    FreeRoot(form);
    form = Load(written);
    EXPECT_EQ(Find<TSTMix>(form, "mx")->FInputPin->SourceCount(), 2);
    EXPECT_EQ(ComponentToText(form), written);
}

// A source's window closed in the designer leaves the link waiting on a placeholder.
TEST_F(StateFormTest, MultiSourceSinkKeepsALinkToAWindowClosedInTheDesigner)
{
    TComponent* f1 = NewRoot("Form1");
    TComponent* f2 = NewRoot("Form2");
    auto* gen = NewNamed<TPLGen>(f1, "g");
    auto* mx = NewNamed<TSTMix>(f2, "mx");
    f1->SetDesigning(true);
    f2->SetDesigning(true);
    ASSERT_TRUE(mx->FInputPin->Connect(gen->OutputPin()));
    FreeRoot(f1);
    ASSERT_EQ(mx->FInputPin->SourceCount(), 1);
    TPNBasicPin* ph = mx->FInputPin->GetSource(0);
    ASSERT_TRUE(IsUnloadedPin(ph));
    EXPECT_EQ(ph->GetFullIdentName(true), "Form1.g.OutputPin");

    // The window is opened again: its pin takes the link over.
    f1 = NewRoot("Form1");
    f1->SetDesigning(true);
    gen = Create<TPLGen>(f1);
    gen->SetName("g");
    static_cast<TPNUnloadedPin*>(ph)->PopulatePinAndDestroy(gen->OutputPin());
    ASSERT_EQ(mx->FInputPin->SourceCount(), 1);
    EXPECT_EQ(mx->FInputPin->GetSource(0), gen->OutputPin());
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

}  // namespace
}  // namespace dcs::pintest
