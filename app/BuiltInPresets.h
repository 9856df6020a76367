// The program's own preset table: 52 named presets of 20 frequencies that load the main
// window's twenty generator pairs sg1/sgr1 .. sg20/sgr20. Element k drives pair k + 1;
// the value 1.0 (exactly) switches the pair off.
#pragma once

#include "components/audio/AUSignalGen.h"

#include <array>
#include <cstdint>
#include <string>

namespace dcs {

constexpr int BuiltInPresetCount = 52;
constexpr int PresetPairCount = 20;
constexpr double PairOff = 1.0;

using TPairFrequencies = std::array<double, PresetPairCount>;

struct TBuiltInPreset {
    const char* Name;
    TPairFrequencies Frequencies;
};

extern const std::array<TBuiltInPreset, BuiltInPresetCount> BuiltInPresets;

// What ApplyPreset works on: the pairs and the window's record of the applied preset.
struct TPresetPairs {
    std::array<TAUSignalGen*, PresetPairCount> Sg {};
    std::array<TAUSignalGen*, PresetPairCount> Sgr {};
    std::string* Name = nullptr;
    TPairFrequencies* Frequencies = nullptr;
};

// A number 0..51 records the preset's name and frequencies; a larger one keeps the
// record. Then every pair is set from the record: off at 1.0, else switched on and
// tuned (the sg generator first). Amplitudes and outputs are left alone.
void ApplyPreset(const TPresetPairs& APairs, uint32_t APreset);

}  // namespace dcs
