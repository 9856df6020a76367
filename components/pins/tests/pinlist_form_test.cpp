// Windows read from their text form resources come up wired: links stored from both
// ends, forwards and backwards, into pin lists whose pins are made later, and across
// windows loaded later or under a new name.
#include "PinListFixtures.h"

namespace dcs::pintest {
namespace {

// The main window as stored: out1 is read before the mixer it listens to, the
// generators before the list that will hold their sinks, sgRes after the mixer that
// names it, and the mixer's output also feeds a player of a second window.
constexpr const char* KMainWindow = R"(object Form1: TPLForm
  object out1: TPLOut
    InputPin.Form = Form1
    InputPin.SourcePin = Form1.mixer.OutputPin
  end
  object sg1: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin0 'Form1.mixer.InputPins.Pin [0]'))
  end
  object sg2: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin1 'Form1.mixer.InputPins.Pin [1]'))
  end
  object mixer: TPLMixer
    OutputPin.Form = Form1
    OutputPin.SinkPins = (Form1.out1.InputPin Form2.out2.InputPin)
    InputPins.Form = Form1
    InputPins.Pins = (Form1.sg1.OutputPin Form1.sg2.OutputPin Form1.sgRes.OutputPin)
    Channels = <
      item
        InputPin.Form = Form1
        InputPin.SourcePin = Form1.sg1.OutputPin
      end
      item
        InputPin.Form = Form1
        InputPin.SourcePin = Form1.sg2.OutputPin
      end
      item
        InputPin.Form = Form1
        InputPin.SourcePin = Form1.sgRes.OutputPin
      end>
  end
  object sgRes: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin2 'Form1.mixer.InputPins.Pin [2]'))
  end
end
)";

constexpr const char* KSecondWindow = R"(object Form2: TPLForm
  object out2: TPLOut
    InputPin.Form = Form2
    InputPin.SourcePin = Form1.mixer.OutputPin
  end
end
)";

const std::set<std::string> KMainWiring = {
    "Form1.mixer.OutputPin -> Form1.out1.InputPin",
    "Form1.sg1.OutputPin -> Form1.mixer.InputPins.Pin [0]",
    "Form1.sg2.OutputPin -> Form1.mixer.InputPins.Pin [1]",
    "Form1.sgRes.OutputPin -> Form1.mixer.InputPins.Pin [2]",
};

std::set<std::string> With(std::set<std::string> AWiring, std::initializer_list<std::string> AMore)
{
    AWiring.insert(AMore);
    return AWiring;
}

TEST_F(PinListTest, MainWindowComesUpWiredWithEveryPlaceholderReleased)
{
    TComponent* form1 = Load(KMainWindow);
    // Only the link into the window not loaded yet waits, on one placeholder.
    EXPECT_EQ(Wiring(), With(KMainWiring, {"Form1.mixer.OutputPin -> Form2.out2.InputPin"}));
    ASSERT_EQ(UnloadedPins::Count(), 1);
    EXPECT_EQ(UnloadedPins::Get(0)->IdentName(), "Form2.out2.InputPin");
    EXPECT_EQ(UnloadedPins::Get(0)->CreatedFrom(), "Form1.mixer.OutputPin");

    auto* mixer = Find<TPLMixer>(form1, "mixer");
    ASSERT_EQ(mixer->InputPins()->Count(), 3);
    EXPECT_EQ(mixer->InputPins()->EntryCount(), 3);
    for (int i = 0; i < 3; ++i) {
        auto* channel = static_cast<TPLChannel*>(mixer->Channels()->Items(i));
        EXPECT_EQ(mixer->InputPins()->GetPin(i), channel->FInputPin);
    }
    EXPECT_EQ(mixer->InputPins()->GetPin(2)->GetFullIdentName(true), "Form1.mixer.InputPins._Pin2");
    auto* out1 = Find<TPLOut>(form1, "out1");
    EXPECT_EQ(out1->InputPin()->SourcePin(), mixer->OutputPin());

    // A link made on the pending placeholder carries nothing, and data flows on the rest.
    mixer->OutputPin()->Notify(MakeOperation<TPNNotifyOperation>().Get());
    EXPECT_EQ(static_cast<TSnk*>(out1->InputPin())->Operations().size(), 1u);

    // The second window claims the placeholder when its pin reads its stored link.
    TComponent* form2 = Load(KSecondWindow);
    EXPECT_EQ(UnloadedPins::Count(), 0);
    EXPECT_EQ(Wiring(), With(KMainWiring, {"Form1.mixer.OutputPin -> Form2.out2.InputPin"}));
    EXPECT_EQ(Find<TPLOut>(form2, "out2")->InputPin()->SourcePin(), mixer->OutputPin());
    EXPECT_EQ(mixer->OutputPin()->SinkCount(), 2);
}

TEST_F(PinListTest, SecondWindowLoadedFirstWaitsAndIsLinkedWhenTheFirstComes)
{
    TComponent* form2 = Load(KSecondWindow);
    auto* in2 = Find<TPLOut>(form2, "out2")->InputPin();
    ASSERT_TRUE(IsUnloadedPin(in2->SourcePin()));
    EXPECT_EQ(in2->SourcePin()->GetFullIdentName(true), "Form1.mixer.OutputPin");

    Load(KMainWindow);
    EXPECT_EQ(UnloadedPins::Count(), 0);
    EXPECT_EQ(Wiring(), With(KMainWiring, {"Form1.mixer.OutputPin -> Form2.out2.InputPin"}));
}

TEST_F(PinListTest, WrittenWindowReadsBackWiredTheSameWayAndReadsAsAPersonExpects)
{
    Load(KSecondWindow);
    TComponent* form1 = Load(KMainWindow);
    std::set<std::string> before = Wiring();

    // Written from the wired window, the text is the one a person authored.
    std::string text = ComponentToText(form1);
    EXPECT_EQ(text, KMainWindow);

    FreeRoot(form1);
    // The window's links went with it; the second window's player is unlinked.
    EXPECT_EQ(Wiring(), std::set<std::string> {});
    Load(text);
    EXPECT_EQ(UnloadedPins::Count(), 0);
    EXPECT_EQ(Wiring(), before);
}

TEST_F(PinListTest, StoredFormsOfLinksMatchTheirEdgeCases)
{
    // A source linked to a plain pin, a sink to a plain source, a list with nothing
    // linked, a splitter's list of sources and a link served after another one.
    TPLForm* form = NewRoot("Form1");
    auto* gen = NewNamed<TPLGen>(form, "gen");
    auto* a = NewNamed<TPLOut>(form, "a");
    auto* b = NewNamed<TPLOut>(form, "b");
    NewNamed<TPLMixer>(form, "idle");
    auto* split = NewNamed<TPLSplit>(form, "split");
    ASSERT_TRUE(gen->OutputPin()->Connect(b->InputPin()));
    ASSERT_TRUE(gen->OutputPin()->ConnectAfter(a->InputPin(), b->InputPin()));
    ASSERT_TRUE(split->FOutputPins->GetPin(1)->Connect(split->FInputPin));

    EXPECT_EQ(ComponentToText(form), R"(object Form1: TPLForm
  object gen: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = (Form1.b.InputPin (Form1.a.InputPin Form1.b.InputPin))
  end
  object a: TPLOut
    InputPin.Form = Form1
    InputPin.SourcePin = ((Form1.gen.OutputPin Form1.b.InputPin))
  end
  object b: TPLOut
    InputPin.Form = Form1
    InputPin.SourcePin = Form1.gen.OutputPin
  end
  object idle: TPLMixer
    InputPins.Form = Form1
  end
  object split: TPLSplit
    InputPin.Form = Form1
    InputPin.SourcePin = (Form1.split.OutputPins._Pin1 'Form1.split.OutputPins.Pin [1]')
    OutputPins.Form = Form1
    OutputPins.Pins = (nil Sinks (Form1.split.InputPin))
  end
end
)");
    std::string text = ComponentToText(form);

    std::set<std::string> before = Wiring();
    FreeRoot(form);
    TComponent* back = Load(text);
    EXPECT_EQ(Wiring(), before);
    auto* gen2 = Find<TPLGen>(back, "gen");
    auto* a2 = Find<TPLOut>(back, "a");
    auto* b2 = Find<TPLOut>(back, "b");
    EXPECT_EQ(gen2->OutputPin()->GetNotifyAfterPin(a2->InputPin()), b2->InputPin());
}

// Saved as Form1 and read under another name: its own names find its own pins, and a
// name that only begins with the saved name ("Form10.") still means that other window.
constexpr const char* KRenamed = R"(object Form1: TPLForm
  object dst: TPLOut
    InputPin.Form = Form1
    InputPin.SourcePin = Form10.src.OutputPin
  end
  object mixer: TPLMixer
    InputPins.Form = Form1
    InputPins.Pins = (Form1.gen.OutputPin Form10.src.OutputPin)
    Channels = <
      item
      end
      item
      end>
  end
  object gen: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin0 'Form1.mixer.InputPins.Pin [0]'))
  end
end
)";

TEST_F(PinListTest, WindowReadUnderANewNameLinksItsOwnPinsAndKeepsOtherWindowsNames)
{
    TPLForm* form10 = NewRoot("Form10");
    auto* src = NewNamed<TPLGen>(form10, "src");

    TComponent* first = Load(KRenamed);
    TComponent* second = Load(KRenamed, NewRoot("Form2"));
    EXPECT_EQ(UnloadedPins::Count(), 0);
    EXPECT_EQ(Wiring(),
              (std::set<std::string> {
                  "Form1.gen.OutputPin -> Form1.mixer.InputPins.Pin [0]",
                  "Form2.gen.OutputPin -> Form2.mixer.InputPins.Pin [0]",
                  "Form10.src.OutputPin -> Form1.dst.InputPin",
                  "Form10.src.OutputPin -> Form1.mixer.InputPins.Pin [1]",
                  "Form10.src.OutputPin -> Form2.dst.InputPin",
                  "Form10.src.OutputPin -> Form2.mixer.InputPins.Pin [1]",
              }));
    EXPECT_EQ(Find<TPLOut>(second, "dst")->InputPin()->SourcePin(), src->OutputPin());
    (void)first;
}

TEST_F(PinListTest, ListReadBeforeItsPinsKeepsIndexesAndDropsUnclaimedPlacesOnceLoaded)
{
    // Entry 3 names a source of a window never loaded; the mixer makes only two inputs.
    TComponent* form = Load(R"(object Form1: TPLForm
  object mixer: TPLMixer
    InputPins.Form = Form1
    InputPins.Pins = (nil Form1.gen.OutputPin nil FormX.gen.OutputPin)
    Channels = <
      item
      end
      item
      end>
  end
  object gen: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin1 'Form1.mixer.InputPins.Pin [1]'))
  end
end
)");
    auto* mixer = Find<TPLMixer>(form, "mixer");
    auto* gen = Find<TPLGen>(form, "gen");
    // Index 1 kept its meaning: the link waited on the list's placeholder and moved to
    // the second pin made.
    EXPECT_EQ(mixer->InputPins()->Count(), 2);
    EXPECT_EQ(static_cast<TPNSinkPin*>(mixer->InputPins()->GetPin(1))->SourcePin(), gen->OutputPin());
    EXPECT_EQ(static_cast<TPNSinkPin*>(mixer->InputPins()->GetPin(0))->SourcePin(), nullptr);
    // Places 2 and 3 wait for pins; the pending link of place 3 keeps its placeholders.
    EXPECT_EQ(mixer->InputPins()->EntryCount(), 4);
    EXPECT_THROW(mixer->InputPins()->GetPin(2), ERangeError);
    EXPECT_EQ(UnloadedPins::Count(), 3);  // places 2 and 3, and "FormX.gen.OutputPin"
    FreeRoot(form);
    // Place 2 had no link and went with the list; place 3 and the far source only
    // pointed at each other.
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

TEST_F(PinListTest, LinksStoredAtOneEndOnlyAreMadeWhenTheWindowHasBeenRead)
{
    TComponent* form = Load(R"(object Form1: TPLForm
  object out1: TPLOut
    InputPin.SourcePin = Form1.mixer.OutputPin
  end
  object sg1: TPLGen
    OutputPin.SinkPins = (Form1.mixer.InputPins._Pin1)
  end
  object mixer: TPLMixer
    Channels = <
      item
      end
      item
      end>
  end
end
)");
    EXPECT_EQ(UnloadedPins::Count(), 0);
    EXPECT_EQ(Wiring(),
              (std::set<std::string> {
                  "Form1.mixer.OutputPin -> Form1.out1.InputPin",
                  "Form1.sg1.OutputPin -> Form1.mixer.InputPins.Pin [1]",
              }));
    (void)form;
}

TEST_F(PinListTest, MalformedLinksRaiseAStreamErrorAndLeaveNothingBehind)
{
    // Links already made (some waiting on placeholders) when the bad value comes.
    const std::string before = "object Form1: TPLForm\n"
                               "  object g: TPLGen\n"
                               "    OutputPin.SinkPins = (Form1.m.InputPins._Pin3 Form2.x.InputPin)\n"
                               "  end\n"
                               "  object m: TPLMixer\n"
                               "    InputPins.Pins = (nil nil Form1.g.OutputPin Form2.y.OutputPin)\n"
                               "  end\n";
    struct TCase {
        const char* Component;
        const char* Message;
    } cases[] = {
        {"  object h: TPLGen\n    OutputPin.SinkPins = (Form1.o.InputPin 12)\n  end\n", "OutputPin.SinkPins"},
        {"  object n: TPLMixer\n    InputPins.Pins = (Sinks Form1.o.InputPin)\n  end\n", "InputPins.Pins"},
        {"  object o: TPLOut\n    InputPin.SourcePin = ((Form1.g.OutputPin 'x') 'y')\n  end\n", "InputPin.SourcePin"},
    };
    for (const auto& c : cases) {
        try {
            Load(before + c.Component + "end\n");
            ADD_FAILURE() << "read " << c.Component;
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        }
        EXPECT_EQ(UnloadedPins::Count(), 0) << c.Component;
        EXPECT_EQ(PinsAlive.load(), 0) << c.Component;
    }
}

}  // namespace
}  // namespace dcs::pintest
