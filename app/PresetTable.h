// The preset frequency table: 52 records of 24 doubles, read once at start-up from a
// binary file of little-endian doubles with no header. Record p tunes the preset player
// of preset index p; its elements 5 to 23 are the frequencies of the player's 19 tones.
#pragma once

#include "platform/base/SysUtils.h"

#include <array>
#include <cstddef>
#include <string>

namespace dcs {

// A file that exists but cannot be read.
DCS_DECLARE_EXCEPTION(EInOutError, Exception);

constexpr int PresetCount = 52;
constexpr int PresetElements = 24;
constexpr int PresetTones = 19;
constexpr int PresetFirstTone = 5;
constexpr std::size_t PresetTableBytes = sizeof(double) * PresetCount * PresetElements;  // 9984

using TFrequencyTable = std::array<std::array<double, PresetElements>, PresetCount>;
static_assert(sizeof(TFrequencyTable) == PresetTableBytes);

// Copies up to 9984 bytes of the file at APath into ATable from its start, unchanged,
// and answers how many it copied. A missing file copies nothing and is no error; a
// shorter file leaves the rest of the table as it was, a longer one is read no further.
// Raises EInOutError when the file exists but cannot be opened or read (a folder of that
// name, no permission).
std::size_t ReadPresetTable(const std::string& APath, TFrequencyTable& ATable);

// Reads the table as start-up does: a failure is reported by the message box "Cannot
// Open File!" (caption "ERROR") and start-up goes on with whatever was read.
void LoadPresetTable(const std::string& APath, TFrequencyTable& ATable);

// The frequency of tone ATone (0..18) of preset AIndex: element 5 + ATone, or 20000 Hz
// when that is not above 1.0 (zero, negative, NaN), which a 22050 Hz player cannot play.
double PresetToneFrequency(const TFrequencyTable& ATable, int AIndex, int ATone);

}  // namespace dcs
