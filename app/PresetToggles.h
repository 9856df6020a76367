// The 46 preset toggles of the three preset pages: each toggle's name, caption, preset
// index and page timer, in the order in which a page's Stop releases them.
#pragma once

#include <array>

namespace dcs {

enum TPresetPage {
    ppEssentials,
    ppSports,
    ppMedical
};
constexpr int PresetPageCount = 3;

// The four 1-second session timers: the Essentials "Muscle Pain" toggle's own, then one
// per page.
enum TSessionTimer {
    stPain,
    stEssentials,
    stSports,
    stMedical
};
constexpr int SessionTimerCount = 4;

struct TPresetToggleInfo {
    const char* Name;
    const char* Caption;
    TPresetPage Page;
    int Index;
    TSessionTimer Timer;
    // Releasing it pauses its timer ("Muscle Pain" on the Essentials and Medical pages).
    bool PausesTimer;
};

constexpr int PresetToggleCount = 46;
extern const std::array<TPresetToggleInfo, PresetToggleCount> PresetToggles;

}  // namespace dcs
