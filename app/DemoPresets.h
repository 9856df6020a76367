// The synthetic demo preset table that tests and `make run` use in place of the user's
// own "pre.data" (see tools/demo_presets.cpp, which writes it).
#pragma once

#include "app/PresetTable.h"

namespace dcs {

// Tone i of a played record p: 30 + 13 p + 220 i Hz, except tone p mod 19, which holds
// DemoNoFrequency(p). Records 7 to 13 and 47 (no toggle plays them) are all zero.
TFrequencyTable DemoPresetTable();
double DemoNoFrequency(int AIndex);
bool DemoRecordPlayed(int AIndex);

}  // namespace dcs
