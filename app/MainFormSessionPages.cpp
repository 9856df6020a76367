#include "app/MainFormSessionPages.h"

#include "app/Companions.h"
#include "app/ControlFactory.h"
#include "app/DataPictures.h"
#include "app/MainForm.h"

namespace dcs {

using namespace smooth;

namespace {

constexpr int kAutoPage = 0, kManualPage = 1;

constexpr std::array<const char*, IntensityCount> kIntensityNames {"btnUltra", "btnHigh", "btnMedium", "btnLow"};
constexpr std::array<const char*, IntensityCount> kIntensityCaptions {"Ultra", "High", "Medium", "Low"};

template <class T> T* Found(TForm1& AForm, const char* AName)
{
    T* c = As<T>(AForm.FindComponent(AName));
    if (c == nullptr)
        throw EComponentError(std::string("The main window has no ") + AName);
    return c;
}

TSmoothButton* NewButton(TForm1& AForm, TWinControl* AParent, const char* AName, const char* ACaption, int X, int Y,
                         int W, int H)
{
    auto* b = NewControl<TSmoothButton>(&AForm, AParent, AName, X, Y, W, H);
    b->SetCaption(ACaption);
    return b;
}

ILedView* LedView(TSessionPages& APages, TSmoothLedLabel* ALed)
{
    APages.LedViews.push_back(std::make_unique<TLedControlView>(ALed));
    return APages.LedViews.back().get();
}

ISliderView* SliderView(TSessionPages& APages, TSmoothTrackBar* ASlider)
{
    APages.SliderViews.push_back(std::make_unique<TSliderControlView>(ASlider));
    return APages.SliderViews.back().get();
}

void BuildAutoPage(TForm1& AForm, TSessionPages& APages)
{
    TSmoothTabPage* page = AForm.Pages.Pages[kAutoPage];
    TSessionPages& p = APages;
    NewLabel(&AForm, page, "Label15", "Intensity", 60, 20, 120);
    for (int i = 0; i < IntensityCount; ++i) {
        auto* t = NewControl<TSmoothToggleButton>(&AForm, page, kIntensityNames[size_t(i)], 40, 50 + 60 * i, 160, 48);
        t->SetCaption(kIntensityCaptions[size_t(i)]);
        p.Intensity[size_t(i)] = t;
    }
    p.Intensity[inMedium]->SetDown(true);

    // The body figure is the window's own (it carries the swipe); taps reach the page
    // through it.
    p.Panel1 = AForm.Zones.Panel;
    p.ZoneImages = AForm.Zones.Images;
    NewLabel(&AForm, page, "lblSXInfo", "Tap the body section to target. ", 760, 60, 300);
    NewLabel(&AForm, page, "Label11", "Swipe RIGHT to target whole body.", 760, 80, 300);

    NewLabel(&AForm, page, "Label10", "Set Time (Minutes)", 1000, 16, 180);
    p.ledSXTime = NewLed(&AForm, page, "ledSXTime", "00:00", 2000.0, 1010, 40, 120);
    p.tbSXTime = NewSlider(&AForm, page, "tbSXTime", false, {10, 30, 10, 20}, 1050, 92, 52, 400);
    p.btnSXStart = NewButton(AForm, page, "btnSXStart", "Start Body Session", 760, 200, 240, 64);
    p.btnSXStop = NewButton(AForm, page, "btnSXStop", "Stop", 760, 290, 120, 64);
    p.btnZanter = NewButton(AForm, page, "btnZanter", "Start Zanterhol", 760, 500, 240, 44);
    p.btnOsmer = NewButton(AForm, page, "btnOsmer", "Start Osmerlaine", 760, 556, 240, 44);

    TAutoPageView view;
    view.Time = SliderView(p, p.tbSXTime);
    view.TimeLed = LedView(p, p.ledSXTime);
    for (int i = 0; i < IntensityCount; ++i) {
        p.ToggleViews.push_back(std::make_unique<TToggleControlView>(p.Intensity[size_t(i)]));
        view.Intensity[size_t(i)] = p.ToggleViews.back().get();
    }
    view.ZoneTimers[azHead] = AForm.tmUB;
    view.ZoneTimers[azBody] = AForm.tmCore;
    view.ZoneTimers[azLegs] = AForm.tmLB;
    view.ZoneTimers[azWholeBody] = AForm.tmWB;
    view.SetManualTabEnabled = [&AForm](bool AValue) { AForm.Pages.Pages[kManualPage]->SetTabEnabled(AValue); };
    view.LoadPicture = [&AForm, &p](TAutoZone AZone, const std::string& AFile) {
        LoadDataPicture(p.ZoneImages[size_t(AZone)], AForm.DataFolder, AFile);
    };
    p.Auto = std::make_unique<TAutoPage>(
        TAutoAudio {Found<TAUSignalGen>(AForm, "sgSX"), AForm.mixSX, AForm.outSX}, std::move(view),
        TAutoPageState {AForm.AutoZone, AForm.AutoCountdown, AForm.CycleMinute, AForm.Sessions->SessionRunning});

    TAutoPage* autoPage = p.Auto.get();
    p.btnSXStart->OnClick = [autoPage](TObject*) { autoPage->StartClick(); };
    p.btnSXStop->OnClick = [autoPage](TObject*) { autoPage->StopClick(); };
    p.tbSXTime->OnPositionChanging = [autoPage](TObject*, double V) { autoPage->TimeChanged(V); };
    p.tbSXTime->OnPositionChanged = [autoPage](TObject*, double V) { autoPage->TimeChanged(V); };
    for (int i = 0; i < IntensityCount; ++i)
        p.Intensity[size_t(i)]->OnClick = [autoPage, i](TObject*) { autoPage->IntensityClick(TIntensity(i)); };
    AForm.tmUB->SetOnTimer([autoPage](TObject*) { autoPage->TimerTick(azHead); });
    AForm.tmCore->SetOnTimer([autoPage](TObject*) { autoPage->TimerTick(azBody); });
    AForm.tmLB->SetOnTimer([autoPage](TObject*) { autoPage->TimerTick(azLegs); });
    AForm.tmWB->SetOnTimer([autoPage](TObject*) { autoPage->TimerTick(azWholeBody); });
}

void BuildManualPage(TForm1& AForm, TSessionPages& APages)
{
    TSmoothTabPage* page = AForm.Pages.Pages[kManualPage];
    TSessionPages& p = APages;
    NewLabel(&AForm, page, "Label14", "Set Frequency (Hz)", 480, 16, 250);
    p.tbSetManFreq = NewSlider(&AForm, page, "tbSetManFreq", true, {4, 47, 1, 33}, 330, 40, 550, 48);
    p.tbSetManFreq->SetShowValues(false);
    p.tbSetManFreq->SetPositionToolTip(true);
    p.ledManFreq = NewLed(&AForm, page, "ledManFreq", "00", 33.0, 900, 40, 80);
    NewLabel(&AForm, page, "Label12", "Plate Intensity", 20, 16, 110);
    p.ledPlateMan = NewLed(&AForm, page, "ledPlateMan", "000", 50.0, 24, 40, 84);
    p.tbPlateMan = NewSlider(&AForm, page, "tbPlateMan", false, {0, 100, 5, 50}, 40, 92, 52, 520);
    NewLabel(&AForm, page, "Label13", "Set Time (Minutes)", 480, 130, 250);
    p.tbSetTimeMan = NewSlider(&AForm, page, "tbSetTimeMan", true, {5, 30, 5, 20}, 330, 154, 550, 48);
    p.ledTimeMan = NewLed(&AForm, page, "ledTimeMan", "00:00", 2000.0, 900, 154, 120);
    p.btnManStart = NewButton(AForm, page, "btnManStart", "Start", 420, 300, 200, 64);
    p.btnManStop = NewButton(AForm, page, "btnManStop", "Stop", 640, 300, 120, 64);
    p.btnOsmerM = NewButton(AForm, page, "btnOsmerM", "Start Osmerlaine", 420, 500, 240, 44);
    p.btnZanterM = NewButton(AForm, page, "btnZanterM", "Start Zanterhol", 420, 556, 240, 44);

    TManualPageView view;
    view.Plate = SliderView(p, p.tbPlateMan);
    view.Time = SliderView(p, p.tbSetTimeMan);
    view.FrequencyLed = LedView(p, p.ledManFreq);
    view.PlateLed = LedView(p, p.ledPlateMan);
    view.TimeLed = LedView(p, p.ledTimeMan);
    view.Timer = AForm.tmMan;
    view.SetAutoTabEnabled = [&AForm](bool AValue) { AForm.Pages.Pages[kAutoPage]->SetTabEnabled(AValue); };
    p.Manual = std::make_unique<TManualPage>(TManualAudio {Found<TAUSignalGen>(AForm, "sgmL"), AForm.outMan},
                                             std::move(view), AForm.ManualCountdown, AForm.Sessions->SessionRunning);

    TManualPage* manual = p.Manual.get();
    p.btnManStart->OnClick = [manual](TObject*) { manual->StartClick(); };
    p.btnManStop->OnClick = [manual](TObject*) { manual->StopClick(); };
    for (TSmoothTrackBar* s : {p.tbSetManFreq, p.tbPlateMan, p.tbSetTimeMan}) {
        TSmoothTrackBarValueChanged handler;
        if (s == p.tbSetManFreq)
            handler = [manual](TObject*, double V) { manual->FrequencyChanged(V); };
        else if (s == p.tbPlateMan)
            handler = [manual](TObject*, double V) { manual->PlateChanged(V); };
        else
            handler = [manual](TObject*, double V) { manual->TimeChanged(V); };
        s->OnPositionChanging = handler;
        s->OnPositionChanged = handler;
    }
    AForm.tmMan->SetOnTimer([manual](TObject*) { manual->TimerTick(); });
}

// The companions' presence is tested once; a button stays as it was made when its
// program is missing (disabled).
void BindCompanions(TForm1& AForm, TSessionPages& APages)
{
    const TCompanionPresence found = FindCompanions(AForm.ProgramFilesFolder);
    AForm.SecondCompanionInMakerFolder = found.SecondCompanionInMakerFolder;
    for (TSmoothButton* b : {APages.btnZanter, APages.btnZanterM}) {
        b->SetEnabled(found.Zanterhol);
        b->OnClick = [&AForm](TObject*) { LaunchZanterhol(AForm.ProgramFilesFolder); };
    }
    for (TSmoothButton* b : {APages.btnOsmer, APages.btnOsmerM}) {
        b->SetEnabled(found.Osmerlaine);
        b->OnClick = [&AForm](TObject*) {
            LaunchOsmerlaine(AForm.ProgramFilesFolder, AForm.SecondCompanionInMakerFolder);
        };
    }
    Found<TSmoothButton>(AForm, "btnUpdate")->OnClick = [](TObject*) { LaunchUpdater(); };
    Found<TSmoothButton>(AForm, "btnWebsite")->OnClick = [](TObject*) { OpenMakerWebSite(); };
}

}  // namespace

void BuildSessionPages(TForm1& AForm, TSessionPages& APages)
{
    BuildAutoPage(AForm, APages);
    BuildManualPage(AForm, APages);
    BindCompanions(AForm, APages);
}

}  // namespace dcs
