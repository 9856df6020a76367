// The preset player: one playing preset. 19 tone generators tuned from the preset's
// record of the frequency table feed a two-channel 24-bit mixer at 22050 Hz, whose
// output a channel splitter divides into a left and a right channel; these are linked
// into the window's left (plate) and right (audio) output mixers at the preset's index.
#pragma once

#include "app/PresetTable.h"
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUChannelSplitter.h"
#include "components/audio/AUSignalGen.h"

#include <array>
#include <cstdint>

namespace dcs {

class PRSX {
public:
    // Builds and links the player for preset AIndex, tuned from ATable as it stands now.
    // AMixLeft and AMixRight must have at least AIndex + 1 input pins; a player still
    // linked there loses them to this one. The generators run at once on their own
    // clock threads. The player owns everything it makes (nothing is owned by a window).
    PRSX(int32_t AIndex, const TFrequencyTable& ATable, TAUAudioMixer* AMixLeft, TAUAudioMixer* AMixRight);
    // Stops and unlinks the generators, the mixer and the splitter and frees them; the
    // output mixers keep their channels, now without a source at this index.
    virtual ~PRSX();
    PRSX(const PRSX&) = delete;
    PRSX& operator=(const PRSX&) = delete;

    // The player's mixer runs at its own 22050 Hz (Start) or at the highest rate of its
    // inputs (Stop); neither starts nor stops the generators.
    void Start();
    void Stop();

    std::array<TAUSignalGen*, PresetTones> Generators {};
    TAUAudioMixer* Mixer = nullptr;
    TAUChannelSplitter* Splitter = nullptr;
    int32_t Index = 0;

    static constexpr uint32_t SampleRate = 22050;
    static constexpr uint32_t Bits = 24;
    static constexpr uint32_t BufferSize = 1024;
    static constexpr int32_t ToneAmplitude = 1000;

private:
    void Release();
};

// The running player of each preset index, null where none plays. Only the GUI thread
// touches it; the session logic creates and deletes the players it holds.
extern std::array<PRSX*, PresetCount> Players;

}  // namespace dcs
