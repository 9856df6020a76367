// The main window's twenty generator pairs and its record of the applied built-in preset,
// as ApplyPreset works on them.
#pragma once

#include "app/BuiltInPresets.h"
#include "app/MainForm.h"

namespace dcs {

// sg1/sgr1 .. sg20/sgr20 of the window's stored layout; raises EComponentError when one
// is missing.
TPresetPairs PresetPairsOf(TForm1& AForm);

inline void ApplyPreset(TForm1& AForm, uint32_t APreset) { ApplyPreset(PresetPairsOf(AForm), APreset); }

}  // namespace dcs
