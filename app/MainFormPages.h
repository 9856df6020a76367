// The main window's pages and controls. The smooth controls cannot be stored in a form
// resource yet, so the pages are built here, by name, after the stored part is read.
#pragma once

#include "app/ControlViews.h"
#include "app/PresetSessions.h"
#include "platform/controls/StdCtrls.h"
#include "ui/controls/SmoothButton.h"
#include "ui/controls/SmoothTabPage.h"
#include "ui/controls/SmoothTabPager.h"

#include <array>
#include <memory>
#include <vector>

namespace dcs {

using smooth::TSmoothButton;
using smooth::TSmoothTabPage;
using smooth::TSmoothTabPager;

class TForm;

// The controls of one preset page, by their role.
struct TPresetPageControls {
    TSmoothTabPage* Page = nullptr;
    TSmoothTrackBar* SetTime = nullptr;
    TSmoothTrackBar* Plate = nullptr;
    TSmoothTrackBar* Audio = nullptr;
    TSmoothLedLabel* TimeLed = nullptr;
    TSmoothLedLabel* PlateLed = nullptr;
    TSmoothLedLabel* AudioLed = nullptr;
    TSmoothLabel* Streaming = nullptr;
    TSmoothButton* Stop = nullptr;
    TSmoothButton* PainManagement = nullptr;
};

struct TMainPages {
    TSmoothTabPager* Pager = nullptr;
    std::array<TSmoothTabPage*, 7> Pages {};  // Auto, Manual, Essentials, Sports, Medical, About, Exit
    std::array<TPresetPageControls, PresetPageCount> Preset {};
    std::array<TSmoothToggleButton*, PresetToggleCount> Toggles {};
    // The views the sessions read and write; owned here.
    std::vector<std::unique_ptr<IToggleView>> ToggleViews;
    std::vector<std::unique_ptr<ILedView>> LedViews;
    std::vector<std::unique_ptr<ILabelView>> LabelViews;
    std::vector<std::unique_ptr<ISliderView>> SliderViews;
};

// Builds the pager with its seven pages and the preset pages' controls on AForm (which
// owns them), with the names the handlers use, and binds them to ASessions.
void BuildMainPages(TForm* AForm, TPresetSessions& ASessions, TMainPages& APages);

}  // namespace dcs
