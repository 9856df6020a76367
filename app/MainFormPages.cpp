#include "app/MainFormPages.h"

#include "app/Artwork.h"
#include "app/ControlFactory.h"
#include "platform/controls/Forms.h"

#include <string>

namespace dcs {

using namespace smooth;

namespace {

struct TPageNames {
    const char* Page;
    const char* Caption;
};
constexpr std::array<TPageNames, 7> kPages {{
    {"SXPage", "Auto "},
    {"pgManual", "Manual "},
    {"pgGeneral", "Essentials  "},
    {"pgSports", "Sports   "},
    {"pgMed", "Medical   "},
    {"pgAbout", "About "},
    {"pgExit", "Exit   "},
}};
constexpr int kFirstPresetPage = 2;

struct TPresetPageNames {
    const char* SetTime;
    const char* SetTimeLabel;
    const char* Plate;
    const char* PlateLabel;
    const char* Audio;
    const char* AudioLabel;
    const char* TimeLed;
    const char* PlateLed;
    const char* AudioLed;
    const char* Streaming;
    const char* Stop;
    const char* Pain;
    std::array<const char*, 4> Headings;
    std::array<const char*, 4> HeadingTexts;
    std::array<int, 4> ColumnSizes;  // toggles per column, in the toggle table's order
};
constexpr std::array<TPresetPageNames, PresetPageCount> kPresetPages {{
    {"tbSetTime",
     "Label1",
     "tbPlate",
     "Label2",
     "tbAudio",
     "Label3",
     "ledTime",
     "ledPlate",
     "ledAudio",
     "lblPreset",
     "btnStop",
     "btnPainOpen",
     {"SmoothLabel1", "SmoothLabel3", "SmoothLabel2", "SmoothLabel4"},
     {"Energize", "Detox/Recovery", "Fitness", "Relax"},
     {4, 4, 6, 5}},
    {"tbSetTimeS",
     "Label7",
     "tbPlateS",
     "Label8",
     "tbAudioS",
     "Label9",
     "ledTimeS",
     "ledPlateS",
     "ledAudioS",
     "lblSPreset",
     "btnStopS",
     "btnPainSports",
     {"SmoothLabel9", "SmoothLabel11", "SmoothLabel10", "SmoothLabel12"},
     {"Loosen Up", "Conditioning", "Rehab", "Recovery"},
     {2, 3, 4, 2}},
    {"tbSetTimeM",
     "Label4",
     "tbPlateM",
     "Label5",
     "tbAudioM",
     "Label6",
     "ledTimeM",
     "ledPlateM",
     "ledAudioM",
     "lblMPreset",
     "btnStopM",
     "btnPainMedPage",
     {"SmoothLabel5", "SmoothLabel7", "SmoothLabel6", "SmoothLabel8"},
     {"General", "Detox", "Exercise", "Rehab"},
     {3, 3, 5, 5}},
}};

// The layout inside a page of the 1210 x 736 client (the tabs take the top 44).
constexpr int kPageW = 1210;
constexpr int kColumnLeft = 170, kColumnStep = 225, kColumnW = 205;
constexpr int kToggleTop = 175, kToggleStep = 50, kToggleH = 42;

TLabel* MakeLabel(TForm* AForm, TWinControl* AParent, const std::string& AName, const std::string& AText, int X, int Y,
                  int W)
{
    auto* l = NewControl<TLabel>(AForm, AParent, AName, X, Y, W, 16);
    l->SetCaption(AText);
    return l;
}

TSmoothTrackBar* MakeSlider(TForm* AForm, TWinControl* AParent, const std::string& AName, bool AHorizontal, double AMin,
                            double AMax, int X, int Y, int W, int H)
{
    auto* s = NewControl<TSmoothTrackBar>(AForm, AParent, AName, X, Y, W, H);
    s->SetDirection(AHorizontal ? dHorizontal : dVertical);
    s->SetBounds(X, Y, W, H);  // turning the bar swapped its sides
    s->SetMinimum(AMin);
    s->SetMaximum(AMax);
    s->SetStep(5.0);
    s->SetSnapMargin(10.0);
    s->SetPosition(AHorizontal ? 20.0 : 50.0);
    return s;
}

}  // namespace

void BuildMainPages(TForm* AForm, TPresetSessions& ASessions, TMainPages& APages)
{
    resources::Link_Artwork();
    APages.Pager = NewControl<TSmoothTabPager>(AForm, AForm, "pgr1", 0, 0, AForm->ClientWidth(), AForm->ClientHeight());
    APages.Pager->SetAlign(alClient);
    APages.Pager->SetTabPosition(tpTopLeft);
    APages.Pager->SetTabReorder(false);
    APages.Pager->TabSettings()->SetHeight(40);
    APages.Pager->TabSettings()->SetStartMargin(4);
    APages.Pager->TabSettings()->SetSpacing(8);
    for (size_t i = 0; i < kPages.size(); ++i) {
        TSmoothTabPage* page = Create<TSmoothTabPage>(AForm);
        page->SetName(kPages[i].Page);
        page->SetSmoothTabPager(APages.Pager);
        page->SetCaption(kPages[i].Caption);
        APages.Pages[i] = page;
    }

    int row = 0;
    for (int p = 0; p < PresetPageCount; ++p) {
        const TPresetPageNames& n = kPresetPages[size_t(p)];
        TPresetPageControls& c = APages.Preset[size_t(p)];
        TSmoothTabPage* page = c.Page = APages.Pages[size_t(kFirstPresetPage + p)];
        const auto pg = TPresetPage(p);
        // Plate on the left edge, audio on the right, the set time centred on top.
        MakeLabel(AForm, page, n.PlateLabel, "Plate Intensity", 20, 16, 110);
        c.PlateLed = NewLed(AForm, page, n.PlateLed, "000", 50.0, 24, 40, 84);
        c.Plate = MakeSlider(AForm, page, n.Plate, false, 0, 100, 40, 92, 52, 520);
        MakeLabel(AForm, page, n.AudioLabel, "Audio Level", kPageW - 120, 16, 100);
        c.AudioLed = NewLed(AForm, page, n.AudioLed, "000", 50.0, kPageW - 112, 40, 84);
        c.Audio = MakeSlider(AForm, page, n.Audio, false, 0, 100, kPageW - 96, 92, 52, 520);
        MakeLabel(AForm, page, n.SetTimeLabel, "Set Time (Minutes)", 505, 8, 200);
        c.SetTime = MakeSlider(AForm, page, n.SetTime, true, 5, 30, 380, 28, 450, 48);
        c.TimeLed = NewLed(AForm, page, n.TimeLed, "00:00", 2000.0, 850, 30, 120);
        c.Streaming = NewControl<TSmoothLabel>(AForm, page, n.Streaming, kColumnLeft, 92, 4 * kColumnStep - 20, 32);
        c.Streaming->SetVisible(false);
        int column = 0, inColumn = 0;
        for (int h = 0; h < 4; ++h) {
            auto* heading = NewControl<TSmoothLabel>(AForm, page, n.Headings[size_t(h)], kColumnLeft + h * kColumnStep,
                                                     132, kColumnW, 32);
            heading->Caption()->SetText(n.HeadingTexts[size_t(h)]);
        }
        for (; row < PresetToggleCount && PresetToggles[size_t(row)].Page == pg; ++row) {
            const TPresetToggleInfo& info = PresetToggles[size_t(row)];
            auto* t = NewControl<TSmoothToggleButton>(AForm, page, info.Name, kColumnLeft + column * kColumnStep,
                                                      kToggleTop + inColumn * kToggleStep, kColumnW, kToggleH);
            t->SetCaption(info.Caption);
            t->OnClick = [&ASessions, row](TObject*) { ASessions.ToggleClick(row); };
            APages.Toggles[size_t(row)] = t;
            APages.ToggleViews.push_back(std::make_unique<TToggleControlView>(t));
            ASessions.BindToggle(row, APages.ToggleViews.back().get());
            if (++inColumn == n.ColumnSizes[size_t(column)]) {
                ++column;
                inColumn = 0;
            }
        }
        c.Stop = NewControl<TSmoothButton>(AForm, page, n.Stop, kColumnLeft, 600, 80, 64);
        c.Stop->Picture()->LoadFromResourceName(resources::StopPicture);
        c.Stop->OnClick = [&ASessions, pg](TObject*) { ASessions.StopClick(pg); };
        c.PainManagement = NewControl<TSmoothButton>(AForm, page, n.Pain, kColumnLeft + 100, 612, 180, 42);
        c.PainManagement->SetCaption("Pain Management");

        c.SetTime->OnPositionChanging = [&ASessions, pg](TObject*, double v) { ASessions.SetTimeChanging(pg, v); };
        c.SetTime->OnPositionChanged = [&ASessions, pg](TObject*, double v) { ASessions.SetTimeChanged(pg, v); };
        c.Plate->OnPositionChanging = [&ASessions, pg](TObject*, double v) { ASessions.PlateChanging(pg, v); };
        c.Plate->OnPositionChanged = [&ASessions, pg](TObject*, double v) { ASessions.PlateChanged(pg, v); };
        c.Audio->OnPositionChanging = [&ASessions, pg](TObject*, double v) { ASessions.AudioChanging(pg, v); };
        c.Audio->OnPositionChanged = [&ASessions, pg](TObject*, double v) { ASessions.AudioChanged(pg, v); };

        TPresetPageView view;
        for (auto [led, slot] : {std::pair {c.TimeLed, &view.Time}, std::pair {c.PlateLed, &view.Plate},
                                 std::pair {c.AudioLed, &view.Audio}}) {
            APages.LedViews.push_back(std::make_unique<TLedControlView>(led));
            *slot = APages.LedViews.back().get();
        }
        APages.LabelViews.push_back(std::make_unique<TLabelControlView>(c.Streaming));
        view.Streaming = APages.LabelViews.back().get();
        APages.SliderViews.push_back(std::make_unique<TSliderControlView>(c.SetTime));
        view.SetTime = APages.SliderViews.back().get();
        ASessions.BindPage(pg, view);
    }

    TSmoothTabPage* about = APages.Pages[5];
    NewControl<TSmoothLabel>(AForm, about, "SmoothLabel13", 355, 120, 500, 48)
        ->Caption()
        ->SetText("Dorvaquent Control Software");
    auto* version = MakeLabel(AForm, about, "lblVer", "Software Version 2.0.2 ", 355, 190, 500);
    version->SetAlignment(dcs::taCenter);
    NewControl<TSmoothButton>(AForm, about, "btnUpdate", 455, 260, 300, 44)->SetCaption("Check for Updates");
    NewControl<TSmoothButton>(AForm, about, "btnWebsite", 455, 320, 300, 44)->SetCaption("Go to Dorvaquent Website");

    APages.Pager->SetActivePage(APages.Pages[0]);
}

}  // namespace dcs
