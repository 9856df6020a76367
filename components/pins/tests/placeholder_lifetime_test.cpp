// Placeholders have one lifetime whoever holds them: freed once, when the last list
// entry, link or ordering reference lets go, and never claimed by a window other than
// the one whose stored links made them. Each fixture is the smallest stored window that
// showed a fault (the sanitizer build turns a second free or a stale read into a crash;
// the fixture's tear-down counts what outlived its window).
#include "PinListFixtures.h"

namespace dcs::pintest {
namespace {

TEST_F(PinListTest, AListNamingOneMissingPinTwiceClosesCleanly)
{
    // Both places of the list wait on one placeholder for the missing generator.
    TComponent* form = Load(R"(object Form1: TPLForm
  object mixer: TPLMixer
    InputPins.Form = Form1
    InputPins.Pins = (Form1.gen.OutputPin Form1.gen.OutputPin)
  end
end
)");
    auto* mixer = Find<TPLMixer>(form, "mixer");
    ASSERT_EQ(mixer->InputPins()->EntryCount(), 2);
    EXPECT_EQ(UnloadedPins::Count(), 3);
    FreeRoot(form);
    EXPECT_EQ(UnloadedPins::Count(), 0);
}

// Read twice under one name, as two instances of one window class are.
constexpr const char* KFirst = R"(object Form1: TPLForm
  object out1: TPLOut
    InputPin.Form = Form1
    InputPin.SourcePin = Form1.late.OutputPin
  end
  object mixer: TPLMixer
    InputPins.Form = Form1
    InputPins.Pins = (nil Form1.gen.OutputPin)
    Channels = <
      item
      end>
  end
  object gen: TPLGen
  end
end
)";

constexpr const char* KSecond = R"(object Form1: TPLForm
  object mixer: TPLMixer
    Channels = <
      item
      end
      item
      end>
  end
  object late: TPLGen
  end
end
)";

TEST_F(PinListTest, WindowsOfOneNameEachResolveTheirOwnLinks)
{
    TComponent* first = Load(KFirst);
    // The list's second place waits for its pin, linked to the generator; the player
    // waits for a generator its window never made.
    auto* firstList = Find<TPLMixer>(first, "mixer")->InputPins();
    ASSERT_EQ(firstList->EntryCount(), 2);
    ASSERT_TRUE(IsUnloadedPin(firstList->EntryPin(1)));
    EXPECT_EQ(UnloadedPins::Count(), 2);
    const std::set<std::string> firstWiring = {"Form1.gen.OutputPin -> Form1.mixer.InputPins._Pin1"};
    EXPECT_EQ(Wiring(), firstWiring);

    // The second window has pins of those very names; they are not the first's.
    TComponent* second = Load(KSecond);
    EXPECT_EQ(Wiring(), firstWiring);
    auto* secondList = Find<TPLMixer>(second, "mixer")->InputPins();
    ASSERT_EQ(secondList->Count(), 2);
    EXPECT_FALSE(secondList->GetPin(1)->IsConnected());
    EXPECT_FALSE(Find<TPLGen>(second, "late")->OutputPin()->IsConnected());
    ASSERT_EQ(firstList->EntryCount(), 2);
    EXPECT_TRUE(IsUnloadedPin(firstList->EntryPin(1)));
    EXPECT_EQ(UnloadedPins::Count(), 2);
    EXPECT_TRUE(IsUnloadedPin(Find<TPLOut>(first, "out1")->InputPin()->SourcePin()));

    // The first window still writes and closes with its own links.
    EXPECT_NE(ComponentToText(first).find("OutputPin.SinkPins = (Form1.mixer.InputPins._Pin1)"), std::string::npos);
    FreeRoot(first);
    EXPECT_EQ(UnloadedPins::Count(), 0);
    FreeRoot(second);
}

TEST_F(PinListTest, AnOrderingPlaceholderGoesWithItsLink)
{
    // Two links served after a pin that never comes.
    constexpr const char* KText = R"(object Form1: TPLForm
  object gen: TPLGen
    OutputPin.Form = Form1
    OutputPin.SinkPins = ((Form1.a.InputPin Form1.zz.InputPin) (Form1.b.InputPin Form1.zz.InputPin))
  end
  object a: TPLOut
  end
  object b: TPLOut
  end
end
)";
    TComponent* form = Load(KText);
    auto* gen = Find<TPLGen>(form, "gen")->OutputPin();
    auto* a = Find<TPLOut>(form, "a")->InputPin();
    auto* b = Find<TPLOut>(form, "b")->InputPin();
    ASSERT_EQ(UnloadedPins::Count(), 1);
    TPNBasicPin* zz = UnloadedPins::Get(0);
    EXPECT_EQ(gen->GetNotifyAfterPin(a), zz);
    EXPECT_EQ(gen->GetNotifyAfterPin(b), zz);
    EXPECT_NE(ComponentToText(form).find("(Form1.b.InputPin Form1.zz.InputPin)"), std::string::npos);

    // The last link that names it lets it go.
    a->Disconnect();
    EXPECT_EQ(UnloadedPins::Count(), 1);
    b->Disconnect();
    EXPECT_EQ(UnloadedPins::Count(), 0);

    // Read again, it goes with its window.
    FreeRoot(form);
    Load(KText);
    EXPECT_EQ(UnloadedPins::Count(), 1);

    // Ordering a link that waits on another window itself: both placeholders go when
    // the player does.
    TComponent* waiting = Load(R"(object Form3: TPLForm
  object c: TPLOut
    InputPin.SourcePin = ((Form2.gen.OutputPin Form3.zz.InputPin))
  end
end
)");
    EXPECT_EQ(UnloadedPins::Count(), 3);
    FreeRoot(waiting);
    EXPECT_EQ(UnloadedPins::Count(), 1);
}

}  // namespace
}  // namespace dcs::pintest
