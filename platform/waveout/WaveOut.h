// Wave-out audio for Linux in the shape of the classic wave-out calls: the audio output
// component is written against these calls, and this layer plays what it writes on the
// sound card through SDL2, or records it, or plays it in a test's virtual time.
//
// Backends: the environment variable DCS_AUDIO chooses one when the layer is first used:
//   "device"   (default) the system's sound output through SDL2; every handle opened on
//              one device is converted to the device's rate and mixed into one stream;
//   "recorded" plays in real time into WAV files in DCS_AUDIO_DIR (default: the
//              current directory): out-<n>.wav holds what handle n played, in its own
//              format, mix-<k>.wav the routed stereo mix, calls.log every call;
//   "virtual"  time advances only when a test says so (WaveOutVirtual.h).
//
// Channels are placed on the two speakers by the format's channel mask: left-side
// speakers go to the left, right-side speakers to the right, centre and low-frequency
// speakers to both at -3 dB. A mono stream masked front-left is heard on the left only.
//
// Every completion message of a handle (WOM_OPEN, WOM_DONE once per block in write
// order, WOM_CLOSE) is delivered on that handle's own thread; waveOutClose returns after
// WOM_CLOSE has been delivered, so no callback runs once it has returned.
#pragma once

#include "platform/base/MMSystem.h"
#include "platform/base/WaveFormat.h"

#include <cstddef>
#include <cstdint>

namespace dcs {

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using DWORD_PTR = std::uintptr_t;

struct WaveOutStream;
using HWAVEOUT = WaveOutStream*;

// Error numbers and format tags: platform/base/MMSystem.h.

constexpr UINT WAVE_MAPPER = static_cast<UINT>(-1);

// waveOutOpen flags. Only a callback function (or no callback) is offered.
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;
constexpr DWORD CALLBACK_TYPEMASK = 0x00070000;
constexpr DWORD WAVE_FORMAT_QUERY = 0x0001;  // check the format and device, open nothing
constexpr DWORD WAVE_ALLOWSYNC = 0x0002;     // accepted, no meaning here
constexpr DWORD WAVE_MAPPED = 0x0004;        // accepted, no meaning here

// Messages to the callback.
constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;

// WAVEHDR.dwFlags.
constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_BEGINLOOP = 0x04;  // loops are not played: a block plays once
constexpr DWORD WHDR_ENDLOOP = 0x08;
constexpr DWORD WHDR_INQUEUE = 0x10;

// One block of samples handed to a handle; pointer-sized fields are pointer-sized on
// every target. Pass sizeof(WAVEHDR) as the size argument.
struct WAVEHDR {
    char* lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};

// Device capabilities: 84 bytes, as callers pass. szPname is the device's product name
// in UTF-16, cut to at most 31 units (never inside a surrogate pair), zero-terminated.
struct WAVEOUTCAPSW {
    WORD wMid;
    WORD wPid;
    DWORD vDriverVersion;
    char16_t szPname[32];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};
static_assert(sizeof(WAVEOUTCAPSW) == 84);

// Format headers, speaker bits and the PCM sub-format: platform/base/WaveFormat.h.

// The callback: (handle, message, instance, WAVEHDR* for WOM_DONE else 0, 0).
using WaveOutProc = void (*)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

UINT waveOutGetNumDevs();
// uDeviceID may be WAVE_MAPPER (the default device). Copies at most cbwoc bytes.
MMRESULT waveOutGetDevCapsW(UINT uDeviceID, WAVEOUTCAPSW* pwoc, UINT cbwoc);
// pwfx is a WAVEFORMATEX with wFormatTag WAVE_FORMAT_PCM, or the Format part of a
// WAVEFORMATEXTENSIBLE (tag WAVE_FORMAT_EXTENSIBLE, cbSize >= 22, integer PCM).
// 1 to 8 channels of 8-bit unsigned, 16, 24 (packed) or 32-bit signed samples.
// dwCallback is a WaveOutProc cast to DWORD_PTR. A new handle is playing (not paused).
MMRESULT waveOutOpen(HWAVEOUT* phwo, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
MMRESULT waveOutPause(HWAVEOUT hwo);
MMRESULT waveOutRestart(HWAVEOUT hwo);
// Stops the handle's blocks at once: each pending block is marked done before the call
// returns and gets its WOM_DONE, in write order. The pause state is kept.
MMRESULT waveOutReset(HWAVEOUT hwo);
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh);
// Fails with WAVERR_STILLPLAYING while blocks are pending (playing or paused).
MMRESULT waveOutClose(HWAVEOUT hwo);

// Not in the classic set: choosing the backend in code ("device", "recorded",
// "virtual"); refused (false) while a handle is open or for an unknown name.
bool WaveOutSelectBackend(const char* name);
const char* WaveOutBackendName();
// Times the handle ran dry between blocks while playing (each is also logged).
std::uint64_t WaveOutUnderruns(HWAVEOUT hwo);
// The same, summed over every handle this process has opened, closed ones included.
std::uint64_t WaveOutTotalUnderruns();

}  // namespace dcs
