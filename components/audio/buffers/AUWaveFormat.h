// The wave format as the audio buffers and components name it: the speakers of the
// channel mask as a set, and the header types of platform/base/WaveFormat.h.
#pragma once

#include "platform/base/WaveFormat.h"

#include <cstdint>
#include <initializer_list>

namespace dcs {

// Bit n of the speaker mask stands for speaker n of this list.
enum TAUSpeaker {
    spFrontLeft,
    spFrontRight,
    spFrontCenter,
    spSubwoofer,
    spBackLeft,
    spBackRight,
    spFrontLeftOfCenter,
    spFrontRightOfCenter,
    spBackCenter,
    spSideLeft,
    spSideRight,
    spTopCenter,
    spTopFrontLeft,
    spTopFrontCenter,
    spTopFrontRight,
    spTopBackLeft,
    spTopBackCenter,
    spTopBackRight
};

// A set of speakers, stored as the 32-bit speaker mask.
class TAUSpeakers {
public:
    constexpr TAUSpeakers() = default;
    constexpr TAUSpeakers(std::initializer_list<TAUSpeaker> speakers)
    {
        for (TAUSpeaker s : speakers)
            FMask |= uint32_t(1) << unsigned(s);
    }
    static constexpr TAUSpeakers FromMask(uint32_t mask)
    {
        TAUSpeakers s;
        s.FMask = mask;
        return s;
    }
    constexpr uint32_t Mask() const { return FMask; }
    constexpr bool Contains(TAUSpeaker s) const { return (FMask >> unsigned(s)) & 1u; }
    constexpr void Include(TAUSpeaker s) { FMask |= uint32_t(1) << unsigned(s); }
    constexpr void Exclude(TAUSpeaker s) { FMask &= ~(uint32_t(1) << unsigned(s)); }
    friend constexpr bool operator==(TAUSpeakers, TAUSpeakers) = default;

private:
    uint32_t FMask = 0;
};

// The header itself, its PCM sub-format and UpdateWaveFormatHeader:
// platform/base/WaveFormat.h.
using TAUWaveFormatEx = WAVEFORMATEX;
using TAUWaveFormatExtensible = WAVEFORMATEXTENSIBLE;
using PAUWaveFormatExtensible = TAUWaveFormatExtensible*;

}  // namespace dcs
