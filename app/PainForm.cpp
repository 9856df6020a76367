#include "app/PainForm.h"

#include "app/ControlFactory.h"
#include "app/DataPictures.h"
#include "app/MainForm.h"
#include "app/MainFormPresets.h"
#include "app/SmoothPanelMaker.h"
#include "platform/controls/Dialogs.h"

#include <string>

namespace dcs {

namespace forms {
bool Link_TForm2();  // the embedded form resource
}

TForm2* Form2 = nullptr;

const char* const PainFinishedText = "Your current session has been completed...";
const char* const PainFinishedCaption = "Dorvaquent Pain Relief Session Finished";

using namespace smooth;

namespace {

struct TZoneCombination {
    TPainZones Zones;
    uint32_t Preset;
};
// Head, body, legs.
constexpr std::array<TZoneCombination, 7> Combinations {{
    {{true, false, false}, 7},  // Head and Neck Pain
    {{false, true, false}, 8},  // Back And Body Pain
    {{false, false, true}, 9},  // Lower Body Pain
    {{true, true, false}, 10},  // Head and Body Pain
    {{true, false, true}, 11},  // Head and Lower Body Pain
    {{false, true, true}, 12},  // Body and Lower Body Pain
    {{true, true, true}, 13},   // All Pain
}};

struct TZonePictureNames {
    const char* On;
    const char* Off;
};
constexpr std::array<TZonePictureNames, PainZoneCount> ZonePictures {{
    {"HeadOn.jpg", "HeadOff.jpg"},
    {"BodyOn.jpg", "BodyOff.jpg"},
    {"LegsOn.jpg", "LegsOff.jpg"},
}};

constexpr double LevelToAmplitude = 10;

}  // namespace

std::optional<uint32_t> PainPresetFor(const TPainZones& AZones)
{
    for (const TZoneCombination& c : Combinations)
        if (c.Zones == AZones)
            return c.Preset;
    return std::nullopt;
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    forms::Link_TForm2();
    RegisterMethod("FormCreate", TNotifyEvent([this](TObject* S) { FormCreate(S); }));
    RegisterMethod("tmBTimer", TNotifyEvent([this](TObject* S) { tmBTimer(S); }));
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::FormCreate(TObject*)
{
    FMain = Form1;
    if (FMain == nullptr)
        throw EComponentError("The pain-relief window needs the main window");
    tmB = As<TTimer>(FindComponent("tmB"));
    FormResizer1 = As<TFormResizer>(FindComponent("FormResizer1"));
    if (tmB == nullptr || FormResizer1 == nullptr)
        throw EComponentError("The pain-relief window's resource lacks its timer or its form resizer");
    BuildControls();
    FormResizer1->DynamicAdd();

    PainZone = {};
    for (int z = 0; z < PainZoneCount; ++z)
        LoadZonePicture(TPainZone(z));
    // The generator pairs come up at the main window's stored levels (500 and 1000),
    // while the LEDs show 50 for both: applied here, what plays is what they show.
    SetPairAmplitudes(true, tbPlatePain->Position());
    SetPairAmplitudes(false, tbAudioPain->Position());
}

void TForm2::BuildControls()
{
    Label4 = NewLabel(this, this, "Label4", "Pain Management", 420, 12, 180);
    Label4->Font()->SetStyle(1u << fsBold);
    lblBodySelect = NewLabel(this, this, "lblBodySelect", "Tap Body Section", 420, 36, 180);
    Label5 = NewLabel(this, this, "Label5", "for Pain Area.", 420, 54, 180);
    imHead = NewControl<TImage>(this, this, "imHead", 440, 80, 140, 120);
    imBody = NewControl<TImage>(this, this, "imBody", 420, 200, 180, 190);
    imLegs = NewControl<TImage>(this, this, "imLegs", 430, 390, 160, 200);
    for (TImage* image : {imHead, imBody, imLegs})
        image->SetStretch(true);
    imHead->OnClick = [this](TObject* S) { imHeadClick(S); };
    imBody->OnClick = [this](TObject* S) { imBodyClick(S); };
    imLegs->OnClick = [this](TObject* S) { imLegsClick(S); };

    Label2 = NewLabel(this, this, "Label2", "Plate Intensity", 20, 16, 110);
    ledPlatePain = NewLed(this, this, "ledPlatePain", "000", 50.0, 24, 40, 84);
    tbPlatePain = NewSlider(this, this, "tbPlatePain", false, {0, 100, 5, 50}, 40, 92, 52, 480);
    Label3 = NewLabel(this, this, "Label3", "Audio Level", 897, 16, 100);
    ledAudioPain = NewLed(this, this, "ledAudioPain", "000", 50.0, 905, 40, 84);
    tbAudioPain = NewSlider(this, this, "tbAudioPain", false, {0, 100, 5, 50}, 921, 92, 52, 480);
    Label1 = NewLabel(this, this, "Label1", "Set Time (Minutes)", 170, 96, 200);
    tbSetTimePain = NewSlider(this, this, "tbSetTimePain", true, {5, 30, 5, 20}, 140, 120, 240, 48);
    ledTimePain = NewLed(this, this, "ledTimePain", "00:00", 2000.0, 200, 180, 120);

    btnBodyPainStart = NewControl<TSmoothButton>(this, this, "btnBodyPainStart", 650, 200, 220, 60);
    btnBodyPainStart->SetCaption("Start Pain Relief");
    SmoothPanel1 = NewSmoothPanel(this, this, "SmoothPanel1", 640, 460, 240, 100);
    btnPainStop = NewControl<TSmoothButton>(this, PanelAsParent(SmoothPanel1), "btnPainStop", 16, 20, 96, 60);
    btnPainStop->SetCaption("Stop");
    btnHome = NewControl<TSmoothButton>(this, PanelAsParent(SmoothPanel1), "btnHome", 128, 20, 96, 60);
    btnHome->SetCaption("Home");

    // Bound last, so that setting up the sliders ran no handler.
    btnBodyPainStart->OnClick = [this](TObject* S) { btnBodyPainStartClick(S); };
    btnPainStop->OnClick = [this](TObject* S) { btnPainStopClick(S); };
    btnHome->OnClick = [this](TObject* S) { btnHomeClick(S); };
    tbSetTimePain->OnPositionChanging = [this](TObject* S, double V) { tbSetTimePainPositionChanging(S, V); };
    tbSetTimePain->OnPositionChanged = [this](TObject* S, double V) { tbSetTimePainPositionChanged(S, V); };
    tbPlatePain->OnPositionChanging = [this](TObject* S, double V) { tbPlatePainPositionChanging(S, V); };
    tbPlatePain->OnPositionChanged = [this](TObject* S, double V) { tbPlatePainPositionChanged(S, V); };
    tbAudioPain->OnPositionChanging = [this](TObject* S, double V) { tbAudioPainPositionChanging(S, V); };
    tbAudioPain->OnPositionChanged = [this](TObject* S, double V) { tbAudioPainPositionChanged(S, V); };
}

TImage* TForm2::ZoneImage(TPainZone AZone) const
{
    return AZone == pzHead ? imHead : AZone == pzBody ? imBody : imLegs;
}

void TForm2::LoadZonePicture(TPainZone AZone)
{
    const TZonePictureNames& names = ZonePictures[size_t(AZone)];
    LoadDataPicture(ZoneImage(AZone), FMain->DataFolder, PainZone[size_t(AZone)] ? names.On : names.Off);
}

void TForm2::ZoneTap(TPainZone AZone)
{
    PainZone[size_t(AZone)] = !PainZone[size_t(AZone)];
    LoadZonePicture(AZone);
    btnBodyPainStartClick(this);
}

void TForm2::ResetCountdown() { Countdown.Reset(tbSetTimePain->Position()); }

void TForm2::btnBodyPainStartClick(TObject*)
{
    if (PainSessionRunning)
        btnPainStopClick(this);
    ResetCountdown();
    const std::optional<uint32_t> preset = PainPresetFor(PainZone);
    if (!preset)
        return;
    ApplyPreset(*FMain, *preset);
    tmB->SetEnabled(true);
    FMain->out1->SetEnabled(true);
    PainSessionRunning = true;
}

void TForm2::btnPainStopClick(TObject*)
{
    FMain->out1->SetEnabled(false);
    tmB->SetEnabled(false);
    PainSessionRunning = false;
    ResetCountdown();
    ledTimePain->Caption()->SetValue(tbSetTimePain->Position() * 100);
}

void TForm2::btnHomeClick(TObject*) { Close(); }

void TForm2::tbSetTimePainPositionChanging(TObject*, double APosition)
{
    if (PainSessionRunning)
        btnPainStopClick(this);
    ledTimePain->Caption()->SetValue(APosition * 100);
    Countdown.Seconds = int32_t(tbSetTimePain->Position() * 60);
    Countdown.Minutes = int32_t(tbSetTimePain->Position());
}

void TForm2::SetPairAmplitudes(bool APlate, double APosition)
{
    const TPresetPairs pairs = PresetPairsOf(*FMain);
    const int32_t amplitude = int32_t(APosition * LevelToAmplitude);
    for (TAUSignalGen* gen : APlate ? pairs.Sg : pairs.Sgr)
        gen->SetAmplitude(amplitude);
}

void TForm2::tbPlatePainPositionChanging(TObject*, double APosition)
{
    ledPlatePain->Caption()->SetValue(APosition);
    SetPairAmplitudes(true, APosition);
}

void TForm2::tbAudioPainPositionChanging(TObject*, double APosition)
{
    ledAudioPain->Caption()->SetValue(APosition);
    SetPairAmplitudes(false, APosition);
}

void TForm2::tbPlatePainPositionChanged(TObject*, double APosition) { ledPlatePain->Caption()->SetValue(APosition); }

void TForm2::tbAudioPainPositionChanged(TObject*, double APosition) { ledAudioPain->Caption()->SetValue(APosition); }

void TForm2::tmBTimer(TObject*)
{
    Countdown.Step();
    const int32_t second = Countdown.Seconds % 60;
    ledTimePain->Caption()->SetValue(Countdown.Minutes * 100 + second);
    if (Countdown.Minutes == 0 && second == 0) {
        btnPainStopClick(this);
        MessageBoxW(0, PainFinishedText, PainFinishedCaption, MB_OK);
    }
}

}  // namespace dcs
