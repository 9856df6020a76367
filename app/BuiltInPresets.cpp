#include "app/BuiltInPresets.h"

namespace dcs {

namespace {

constexpr double Off = PairOff;
constexpr TPairFrequencies AllOff = [] {
    TPairFrequencies all {};
    all.fill(Off);
    return all;
}();

}  // namespace

// Only the pain presets 7 to 13 are ever applied, so only they carry frequencies; the
// others keep their names with every pair off. "Lower Body Pain" plays nothing on pair 2.
// clang-format off
const std::array<TBuiltInPreset, BuiltInPresetCount> BuiltInPresets{{
    {"Dynamic Warmup", AllOff},
    {"Stretch and Flex", AllOff},
    {"Mood Elevation", AllOff},
    {"Fatigue", AllOff},
    {"Lymphatic Recovery", AllOff},
    {"General Detox", AllOff},
    {"Constipation", AllOff},
    {"Head and Neck Pain", {111, 111.5, 115, 113.5, 112.2, 3000, 10000, 95, 1550, 666, 528, 880, 727, 143.2, Off, Off, Off, Off, Off, Off}},
    {"Back And Body Pain", {111, 111.5, 115, 10000, 1550, 728, 120, 2112, 666, 528, Off, 95, 3000, 6000, Off, Off, Off, Off, Off, Off}},
    {"Lower Body Pain", {111, Off, 111.5, 115, 6000, 3000, 666, Off, 95, 728, 528, 802, 1550, Off, Off, Off, Off, Off, Off, Off}},
    {"Head and Body Pain", {111, 111.5, 115, 113.5, 112.2, 3000, 5000, 10000, 80, 528, 666, 1550, 6000, 10000, Off, Off, Off, Off, Off, Off}},
    {"Head and Lower Body Pain", {111, 111.5, 115, 113.5, 112.2, 787, 728, 360, 95, 3000, 10000, 73, 528, Off, Off, Off, Off, Off, Off, Off}},
    {"Body and Lower Body Pain", {111, 111.5, 115, 528, 728, 802, 1550, 80, 3000, 10000, 666, 2128, 95, Off, Off, Off, Off, Off, Off, Off}},
    {"All Pain", {111, 111.5, 115, 113.5, 112.2, 2128, 728, 73, 666, Off, 80, 3000, 10000, 787, 5000, 95, 360, 1550, 802, 444}},
    {"Weight Loss", AllOff},
    {"Core", AllOff},
    {"Preset for Children", AllOff},
    {"Preset for Women", AllOff},
    {"Preset for Men", AllOff},
    {"Preset for Elderly", AllOff},
    {"Massage", AllOff},
    {"Stretch", AllOff},
    {"Stress Relief", AllOff},
    {"Cool Down", AllOff},
    {"Insomnia", AllOff},
    {"Dynamic Warmup", AllOff},
    {"Flexibility", AllOff},
    {"Women", AllOff},
    {"Men", AllOff},
    {"Core Strength", AllOff},
    {"Upper Body", AllOff},
    {"Core", AllOff},
    {"Lower Body", AllOff},
    {"Relaxation", AllOff},
    {"Dynamic Cool Down", AllOff},
    {"Bone Density", AllOff},
    {"Constipation", AllOff},
    {"Mood Elevation", AllOff},
    {"Lymphatic", AllOff},
    {"Chemical Detox", AllOff},
    {"Edema", AllOff},
    {"Dynamic Warm Up", AllOff},
    {"General Exercise", AllOff},
    {"Weight Loss", AllOff},
    {"Stretch and Flex", AllOff},
    {"Dynamic Cool Down", AllOff},
    {"Recovery", AllOff},
    {"General Pain", AllOff},
    {"Back Problems", AllOff},
    {"Knee Pain", AllOff},
    {"Joint Pain", AllOff},
    {"Muscle Pain and Injury", AllOff},
}};
// clang-format on

void ApplyPreset(const TPresetPairs& APairs, uint32_t APreset)
{
    if (APreset < uint32_t(BuiltInPresetCount)) {
        *APairs.Name = BuiltInPresets[APreset].Name;
        *APairs.Frequencies = BuiltInPresets[APreset].Frequencies;
    }
    for (int k = 0; k < PresetPairCount; ++k) {
        const double frequency = (*APairs.Frequencies)[size_t(k)];
        TAUSignalGen* sg = APairs.Sg[size_t(k)];
        TAUSignalGen* sgr = APairs.Sgr[size_t(k)];
        const bool on = frequency != PairOff;
        sg->SetEnabled(on);
        sgr->SetEnabled(on);
        if (on) {
            sg->SetFrequency(frequency);
            sgr->SetFrequency(frequency);
        }
    }
}

}  // namespace dcs
