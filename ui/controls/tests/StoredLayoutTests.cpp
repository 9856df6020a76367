#include "ControlFixture.h"

#include "platform/classes/TextForm.h"
#include "ui/controls/SmoothButton.h"
#include "ui/controls/SmoothLabel.h"
#include "ui/controls/SmoothLedLabel.h"
#include "ui/controls/SmoothToggleButton.h"
#include "ui/controls/SmoothTrackBar.h"

namespace dcs::smooth::test {
namespace {

using StoredLayout = ControlTest;

// A form holding one control of each kind, set away from the defaults, read back.
TEST_F(StoredLayout, ControlsComeBackFromTheirText)
{
    TOwned<TForm> f(Create<TForm>(nullptr));
    f->SetName("Form1");
    auto* bar = Place<TSmoothTrackBar>(f.get(), TRect::Bounds(0, 0, 90, 250));
    bar->SetName("tbPlate");
    bar->SetMaximum(200);
    bar->SetPosition(150);
    bar->SetStep(5);
    bar->SetDirection(dHorizontal);
    auto* led = Place<TSmoothLedLabel>(f.get(), TRect::Bounds(0, 0, 90, 40));
    led->SetName("ledTime");
    led->Caption()->SetFormat("00:00");
    led->Caption()->SetValue(1459);
    led->Caption()->SetGradientType(gtSolid);
    auto* label = Place<TSmoothLabel>(f.get(), TRect::Bounds(0, 0, 90, 40));
    label->SetName("lblTitle");
    label->Caption()->SetText("Essentials");
    label->Caption()->SetLocation(plTopLeft);
    label->Caption()->Font()->SetSize(14);
    auto* toggle = Place<TSmoothToggleButton>(f.get(), TRect::Bounds(0, 0, 90, 40));
    toggle->SetName("tg1");
    toggle->SetCaption("Preset 1");
    toggle->SetGroupIndex(3);
    toggle->SetAllowAllUp(false);
    auto* button = Place<TSmoothButton>(f.get(), TRect::Bounds(0, 0, 90, 40));
    button->SetName("btnStart");
    button->SetCaption("Start");
    button->SetColor(0x00FF00);

    const std::string text = ComponentToText(f.get());
    TOwned<TForm> g(Create<TForm>(nullptr));
    ReadComponentFromText(text, g.get());
    auto* bar2 = dynamic_cast<TSmoothTrackBar*>(g->FindComponent("tbPlate"));
    auto* led2 = dynamic_cast<TSmoothLedLabel*>(g->FindComponent("ledTime"));
    auto* label2 = dynamic_cast<TSmoothLabel*>(g->FindComponent("lblTitle"));
    auto* toggle2 = dynamic_cast<TSmoothToggleButton*>(g->FindComponent("tg1"));
    auto* button2 = dynamic_cast<TSmoothButton*>(g->FindComponent("btnStart"));
    ASSERT_TRUE(bar2 && led2 && label2 && toggle2 && button2) << text;
    EXPECT_EQ(bar2->Maximum(), 200);
    EXPECT_EQ(bar2->Position(), 150) << "the range is read before the position";
    EXPECT_EQ(bar2->Step(), 5);
    EXPECT_EQ(bar2->Direction(), dHorizontal);
    EXPECT_EQ(led2->Caption()->Format(), "00:00");
    EXPECT_EQ(led2->Caption()->Value(), 1459);
    EXPECT_EQ(led2->Caption()->GradientType(), gtSolid);
    EXPECT_EQ(label2->Caption()->Text(), "Essentials");
    EXPECT_EQ(label2->CaptionShadow()->Text(), "Essentials");
    EXPECT_EQ(label2->Caption()->Location(), plTopLeft);
    EXPECT_EQ(label2->Caption()->Font()->Size(), 14);
    EXPECT_EQ(toggle2->Caption(), "Preset 1");
    EXPECT_EQ(toggle2->GroupIndex(), 3);
    EXPECT_FALSE(toggle2->AllowAllUp());
    EXPECT_EQ(button2->Caption(), "Start");
    EXPECT_EQ(button2->Color(), 0x00FF00);
}

}  // namespace
}  // namespace dcs::smooth::test
