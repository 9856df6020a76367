// The Auto page's programmes: per body zone a 10-minute schedule of rules keyed by
// (cycle minute, second), each setting the Auto generator's frequency, amplitude or both.
// The cycle minute counts 9 down to 0 through the cycle; the second is the seconds left
// modulo 60, so it runs 59 down to 0 within each minute.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace dcs {

// The index order of the main window's AutoZone flags.
enum TAutoZone : int {
    azHead,
    azBody,
    azLegs,
    azWholeBody
};
constexpr int AutoZoneCount = 4;

struct TZoneRule {
    int8_t CycleMinute;
    int8_t Second;
    double Frequency;   // whole hertz; 0: left as it is
    int32_t Amplitude;  // -1: left as it is
};

// The zone's rules in the order they are applied; several may share a key, and the
// later one's values then stand.
std::span<const TZoneRule> ZoneSchedule(TAutoZone AZone);

// The amplitudes the schedules write, each defined from the base amplitude 3000 as
// Factor × base + Offset, truncated toward zero with the product formed in extended
// precision (which is why 0.3, 0.6 and 0.7 of 3000 give 899, 1799 and 2099).
struct TAmplitudeLevel {
    double Factor;
    double Offset;
    int32_t Value;
};
extern const std::array<TAmplitudeLevel, 13> AmplitudeLevels;

}  // namespace dcs
