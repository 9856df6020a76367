// The wave format header every audio stream of the system carries, declared once for the
// wave-out layer and the audio components: the plain 18-byte header, the 40-byte
// extensible header, the speaker bits of its channel mask and the integer PCM sub-format.
#pragma once

#include "platform/base/Interfaces.h"  // TGUID
#include "platform/base/MMSystem.h"    // the format tags

#include <cstddef>
#include <cstdint>

namespace dcs {

#pragma pack(push, 1)
// The plain 18-byte format header.
struct WAVEFORMATEX {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};

// The 40-byte extensible format header.
struct WAVEFORMATEXTENSIBLE {
    WAVEFORMATEX Format;
    // Also read as wSamplesPerBlock or wReserved by other formats.
    std::uint16_t wValidBitsPerSample;
    std::uint32_t dwChannelMask;
    TGUID SubFormat;
};
#pragma pack(pop)

static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40);
static_assert(offsetof(WAVEFORMATEX, nChannels) == 2);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, wBitsPerSample) == 14);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, wValidBitsPerSample) == 18);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask) == 20);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, SubFormat) == 24);

// The integer PCM sample encoding.
inline constexpr TGUID KSDATAFORMAT_SUBTYPE_PCM = MakeGUID("{00000001-0000-0010-8000-00AA00389B71}");

// Speaker bits of dwChannelMask.
inline constexpr std::uint32_t SPEAKER_FRONT_LEFT = 0x1;
inline constexpr std::uint32_t SPEAKER_FRONT_RIGHT = 0x2;
inline constexpr std::uint32_t SPEAKER_FRONT_CENTER = 0x4;
inline constexpr std::uint32_t SPEAKER_LOW_FREQUENCY = 0x8;

// Brings the derived fields (tag, container bits, block align, byte rate, cbSize,
// sub-format) in line with channels, valid bits and sample rate. The container is the
// valid bits rounded up to whole bytes; the 16-bit fields keep their low bits.
constexpr void UpdateWaveFormatHeader(WAVEFORMATEXTENSIBLE& fmt)
{
    fmt.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    const std::uint32_t valid = fmt.wValidBitsPerSample;
    fmt.Format.wBitsPerSample = std::uint16_t(valid % 8 == 0 ? valid : (valid / 8 + 1) * 8);
    fmt.Format.nBlockAlign = std::uint16_t(fmt.Format.nChannels * (fmt.Format.wBitsPerSample / 8u));
    fmt.Format.nAvgBytesPerSec = std::uint32_t(fmt.Format.nBlockAlign) * fmt.Format.nSamplesPerSec;
    fmt.Format.cbSize = 22;
    fmt.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
}

// An integer PCM header for channels, valid bits, sample rate and speaker mask.
constexpr WAVEFORMATEXTENSIBLE MakePcmWaveFormat(std::uint32_t channels, std::uint32_t validBits, std::uint32_t rate,
                                                 std::uint32_t mask)
{
    WAVEFORMATEXTENSIBLE fmt {};
    fmt.Format.nChannels = std::uint16_t(channels);
    fmt.Format.nSamplesPerSec = rate;
    fmt.wValidBitsPerSample = std::uint16_t(validBits);
    fmt.dwChannelMask = mask;
    UpdateWaveFormatHeader(fmt);
    return fmt;
}

}  // namespace dcs
