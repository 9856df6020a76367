// The main window's Auto and Manual pages (zone pictures, intensity toggles, sliders,
// LEDs, Start and Stop, companion buttons) and the About page's buttons, built in code
// like the preset pages and bound to the Auto and Manual sessions and the companions.
#pragma once

#include "app/AutoPage.h"
#include "app/ControlViews.h"
#include "app/ManualPage.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "ui/controls/SmoothButton.h"

#include <array>
#include <memory>
#include <vector>

namespace dcs {

class TForm1;

struct TSessionPages {
    // Auto page.
    smooth::TSmoothLedLabel* ledSXTime = nullptr;
    smooth::TSmoothTrackBar* tbSXTime = nullptr;
    TPanel* Panel1 = nullptr;
    std::array<TImage*, 3> ZoneImages {};  // imSXHead, imSXBody, imSXLegs, by TAutoZone
    smooth::TSmoothButton* btnSXStart = nullptr;
    smooth::TSmoothButton* btnSXStop = nullptr;
    smooth::TSmoothButton* btnZanter = nullptr;
    smooth::TSmoothButton* btnOsmer = nullptr;
    std::array<smooth::TSmoothToggleButton*, IntensityCount> Intensity {};  // Ultra, High, Medium, Low
    // Manual page.
    smooth::TSmoothLedLabel* ledManFreq = nullptr;
    smooth::TSmoothTrackBar* tbSetManFreq = nullptr;
    smooth::TSmoothLedLabel* ledPlateMan = nullptr;
    smooth::TSmoothTrackBar* tbPlateMan = nullptr;
    smooth::TSmoothLedLabel* ledTimeMan = nullptr;
    smooth::TSmoothTrackBar* tbSetTimeMan = nullptr;
    smooth::TSmoothButton* btnManStart = nullptr;
    smooth::TSmoothButton* btnManStop = nullptr;
    smooth::TSmoothButton* btnOsmerM = nullptr;
    smooth::TSmoothButton* btnZanterM = nullptr;

    std::unique_ptr<TAutoPage> Auto;
    std::unique_ptr<TManualPage> Manual;
    // The views the two pages read and write; owned here.
    std::vector<std::unique_ptr<IToggleView>> ToggleViews;
    std::vector<std::unique_ptr<ILedView>> LedViews;
    std::vector<std::unique_ptr<ISliderView>> SliderViews;
};

// Builds the pages' controls on AForm's Auto and Manual pages, binds them, the Auto and
// Manual timers and the About page's buttons, and makes the companion presence tests.
// Runs at the end of FormCreate, once the folders are known.
void BuildSessionPages(TForm1& AForm, TSessionPages& APages);

}  // namespace dcs
