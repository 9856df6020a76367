// The multimedia names that more than one facility uses (the wave-out layer, the
// multimedia timer, the audio format): result codes and format tags, declared once so
// that any of their headers can be included together.
#pragma once

#include <cstdint>

namespace dcs {

using MMRESULT = std::uint32_t;

// Result codes, with the values the system's users print.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT WAVERR_BADFORMAT = 32;
inline constexpr MMRESULT WAVERR_STILLPLAYING = 33;
inline constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Format tags of a wave format header.
inline constexpr std::uint16_t WAVE_FORMAT_PCM = 0x0001;
inline constexpr std::uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

}  // namespace dcs
