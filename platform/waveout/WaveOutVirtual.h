// The virtual wave-out backend (DCS_AUDIO=virtual): nothing plays until a test advances
// time, so tests of the layer and of its users are deterministic. Failures of single
// calls can be injected.
#pragma once

#include "platform/waveout/WaveOut.h"

#include <cstddef>
#include <string>
#include <vector>

namespace dcs {

enum class WaveOutCall {
    Open,
    Pause,
    Restart,
    Reset,
    Caps,
    Prepare,
    Write
};

namespace waveout_virtual {

// Sets the device names and the mix rate, forgets injected failures and recorded opens.
// Refused (false) while a handle is open. Initially one device, "Virtual output", 48000 Hz.
bool Configure(std::vector<std::string> devices, unsigned rate = 48000);
// The next call of that kind fails with code (one failure per FailNext).
void FailNext(WaveOutCall call, MMRESULT code);
// Plays frames of the mix and returns them, interleaved left/right. Completions that
// this causes are delivered on the handles' threads, not before this returns.
std::vector<float> Advance(std::size_t frames);

struct OpenRecord {
    UINT DeviceId;
    DWORD Flags;
    WAVEFORMATEXTENSIBLE Format;
};
// Every successful open since Configure, in order.
std::vector<OpenRecord> Opens();

}  // namespace waveout_virtual
}  // namespace dcs
