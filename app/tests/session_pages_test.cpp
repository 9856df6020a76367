// The Auto, Manual and About pages' controls in the main window: as laid out, and driving
// the Auto and Manual sessions and the companion buttons.
#include "app/tests/MainFormFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace dcs {
namespace {

using apptest::MainFormTest;
using namespace smooth;

template <class T> T* Named(TForm1* AForm, const char* AName)
{
    T* c = As<T>(AForm->FindComponent(AName));
    EXPECT_NE(c, nullptr) << AName;
    return c;
}

TEST_F(MainFormTest, TheAutoManualAndAboutPagesControls)
{
    Make();
    struct Slider {
        const char* Name;
        TSmoothTrackBarDirection Direction;
        double Minimum, Maximum, Step, Position;
        int Page;
    };
    for (const Slider& s :
         {Slider {"tbSXTime", dVertical, 10, 30, 10, 20, 0}, Slider {"tbSetManFreq", dHorizontal, 4, 47, 1, 33, 1},
          Slider {"tbPlateMan", dVertical, 0, 100, 5, 50, 1}, Slider {"tbSetTimeMan", dHorizontal, 5, 30, 5, 20, 1}}) {
        auto* t = Named<TSmoothTrackBar>(Form, s.Name);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->Direction(), s.Direction) << s.Name;
        EXPECT_EQ(t->Minimum(), s.Minimum) << s.Name;
        EXPECT_EQ(t->Maximum(), s.Maximum) << s.Name;
        EXPECT_EQ(t->Step(), s.Step) << s.Name;
        EXPECT_EQ(t->Position(), s.Position) << s.Name;
        EXPECT_EQ(t->Parent(), Form->Pages.Pages[size_t(s.Page)]) << s.Name;
    }
    EXPECT_FALSE(Form->SessionPages.tbSetManFreq->ShowValues());
    EXPECT_TRUE(Form->SessionPages.tbSetManFreq->PositionToolTip());
    struct Led {
        const char* Name;
        const char* Format;
        double Value;
    };
    for (const Led& l : {Led {"ledSXTime", "00:00", 2000}, Led {"ledManFreq", "00", 33}, Led {"ledPlateMan", "000", 50},
                         Led {"ledTimeMan", "00:00", 2000}}) {
        auto* led = Named<TSmoothLedLabel>(Form, l.Name);
        ASSERT_NE(led, nullptr);
        EXPECT_EQ(led->Caption()->Format(), l.Format) << l.Name;
        EXPECT_EQ(led->Caption()->Value(), l.Value) << l.Name;
    }
    struct Caption {
        const char* Name;
        const char* Text;
    };
    for (const Caption& c : {Caption {"btnSXStart", "Start Body Session"},
                             Caption {"btnSXStop", "Stop"},
                             Caption {"btnZanter", "Start Zanterhol"},
                             Caption {"btnOsmer", "Start Osmerlaine"},
                             Caption {"btnUltra", "Ultra"},
                             Caption {"btnHigh", "High"},
                             Caption {"btnMedium", "Medium"},
                             Caption {"btnLow", "Low"},
                             Caption {"btnManStart", "Start"},
                             Caption {"btnManStop", "Stop"},
                             Caption {"btnOsmerM", "Start Osmerlaine"},
                             Caption {"btnZanterM", "Start Zanterhol"},
                             Caption {"btnUpdate", "Check for Updates"},
                             Caption {"btnWebsite", "Go to Dorvaquent Website"},
                             Caption {"Label10", "Set Time (Minutes)"},
                             Caption {"lblSXInfo", "Tap the body section to target. "},
                             Caption {"Label11", "Swipe RIGHT to target whole body."},
                             Caption {"Label15", "Intensity"},
                             Caption {"Label14", "Set Frequency (Hz)"},
                             Caption {"Label12", "Plate Intensity"},
                             Caption {"Label13", "Set Time (Minutes)"}}) {
        auto* control = Named<TControl>(Form, c.Name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->Caption(), c.Text) << c.Name;
    }
    for (const char* image : {"imSXHead", "imSXBody", "imSXLegs"})
        EXPECT_EQ(Named<TImage>(Form, image)->Parent(), Named<TPanel>(Form, "Panel1"));
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(Form->SessionPages.Intensity[i]->Down(), i == inMedium);
}

// Each page's Start disables the other page's tab and its Stop enables it again; the
// intensity toggles are exclusive and set the Auto mixer's gain; a tapped zone is the
// one whose timer Start runs.
TEST_F(MainFormTest, TheAutoAndManualControlsDriveTheirSessions)
{
    Make();
    TSessionPages& p = Form->SessionPages;
    TSmoothTabPage* autoTab = Form->Pages.Pages[0];
    TSmoothTabPage* manualTab = Form->Pages.Pages[1];

    p.tbPlateMan->SetPosition(25);
    EXPECT_EQ(p.ledPlateMan->Caption()->Value(), 25.0);
    p.btnManStart->OnClick(p.btnManStart);
    EXPECT_FALSE(autoTab->TabEnabled());
    EXPECT_TRUE(Form->outMan->Enabled());
    EXPECT_EQ(Named<TAUSignalGen>(Form, "sgmL")->Amplitude(), 1000);
    Clock.Advance(1000);
    App->ProcessMessages();
    EXPECT_EQ(p.ledTimeMan->Caption()->Value(), 1959.0);
    p.btnManStop->OnClick(p.btnManStop);
    EXPECT_TRUE(autoTab->TabEnabled());
    EXPECT_FALSE(Form->outMan->Enabled());

    p.Intensity[inUltra]->SetDown(true);
    p.Intensity[inUltra]->OnClick(p.Intensity[inUltra]);
    EXPECT_FALSE(p.Intensity[inMedium]->Down());
    EXPECT_EQ(Form->mixSX->Channels()->GetItem(0)->Coefficient(), 1.0);

    p.ZoneImages[azLegs]->OnClick(p.ZoneImages[azLegs]);  // no pictures installed: the tap still counts
    EXPECT_EQ(Form->AutoZone, (std::array<bool, 4> {false, false, true, false}));
    p.btnSXStart->OnClick(p.btnSXStart);
    EXPECT_FALSE(manualTab->TabEnabled());
    EXPECT_TRUE(Form->tmLB->Enabled());
    EXPECT_FALSE(Form->tmWB->Enabled());
    Clock.Advance(1000);
    App->ProcessMessages();
    EXPECT_EQ(p.ledSXTime->Caption()->Value(), 1959.0);
    p.tbSXTime->SetPosition(30);  // moving the length stops the session
    EXPECT_TRUE(manualTab->TabEnabled());
    EXPECT_FALSE(Form->tmLB->Enabled());
    EXPECT_FALSE(Form->outSX->Enabled());
    EXPECT_EQ(p.ledSXTime->Caption()->Value(), 3000.0);
}

TEST_F(MainFormTest, AnInstalledCompanionEnablesItsTwoButtons)
{
    std::filesystem::create_directories(Dir / "pf" / "Zanterhol");
    std::ofstream(Dir / "pf" / "Zanterhol" / "Zanterhol.exe") << "#!/bin/sh\n";
    setenv("PROGRAMFILES", (Dir / "pf").c_str(), 1);
    Make();
    unsetenv("PROGRAMFILES");
    const TSessionPages& p = Form->SessionPages;
    EXPECT_TRUE(p.btnZanter->Enabled());
    EXPECT_TRUE(p.btnZanterM->Enabled());
    EXPECT_FALSE(p.btnOsmer->Enabled());
    EXPECT_FALSE(p.btnOsmerM->Enabled());
}

}  // namespace
}  // namespace dcs
