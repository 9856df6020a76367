// The application's preset graph, built in code as the program builds it, for tests and
// benchmarks: the two shared output mixers with their players, and any number of preset
// chains (19 tone generators -> a stereo 24-bit mixer -> a channel splitter -> input p of
// both output mixers). Plus the spectral check of what a player recorded.
#pragma once

#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUChannelSplitter.h"
#include "components/audio/AUSignalGen.h"
#include "dsp/double/DftEntries.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dcs::presets {

constexpr int kSlots = 52;
constexpr int kTones = 19;
constexpr uint32_t kRate = 22050;
// All 52 x 19 tones at this amplitude stay inside full scale on either player whatever
// their phases (52 * 19 * 60 / 32767 * 0.5 = 0.90): chains started together have nearly
// aligned phases, and a sum beyond full scale would clip every tone's level.
constexpr int32_t kToneAmplitude = 60;
constexpr double kOutputGain = 0.5;

// Distinct whole-hertz tones over every slot (50 Hz to 4985 Hz): each lies on a bin of a
// one-second transform, so no tone leaks into another's bin.
inline double ToneFrequency(int ASlot, int ATone) { return 50.0 + 5.0 * (ASlot * kTones + ATone); }

// A tone's level on either player, as a fraction of full scale.
inline double ToneLevel() { return kToneAmplitude / 32767.0 * kOutputGain; }

// mixLeft/mixRight with their players, as the main window holds them.
struct Outputs {
    Outputs()
    {
        Setup(mixLeft.get(), {spFrontLeft});
        Setup(mixRight.get(), {spFrontRight});
        outLeft->SetPrefillInterval(800);
        outRight->SetPrefillInterval(800);
        outLeft->InputPin()->Connect(mixLeft->OutputPin());
        outRight->InputPin()->Connect(mixRight->OutputPin());
    }
    static void Setup(TAUAudioMixer* AMixer, TAUSpeakers AMask)
    {
        TAUOptionalAudioFormat* f = AMixer->AudioFormat();
        f->SetEnabled(true);
        f->SetSampleRate(kRate);
        f->SetBits(24);
        f->SetChannels(1);
        f->SetChannelMask(AMask);
        f->SetBufferSize(4096);
        for (int i = 0; i < kSlots; ++i)
            AMixer->Channels()->Add()->SetCoefficient(kOutputGain);
    }

    // Players last: the mixers go first, so nothing is sent into a player that is gone.
    TOwned<TAUAudioOut> outLeft {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioOut> outRight {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioMixer> mixLeft {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioMixer> mixRight {Create<TAUAudioMixer>(nullptr)};
};

// One preset player: built, started, stopped and freed in the program's order.
class Chain {
public:
    Chain(Outputs& AOutputs, int ASlot) : FSlot(ASlot)
    {
        FMixer = Create<TAUAudioMixer>(nullptr);
        TAUOptionalAudioFormat* f = FMixer->AudioFormat();
        f->SetSampleRate(kRate);
        f->SetBits(24);
        f->SetBufferSize(1024);
        f->SetChannels(2);
        FSplitter = Create<TAUChannelSplitter>(nullptr);
        for (int i = 0; i < kTones; ++i) {
            TAUSignalGen* g = Create<TAUSignalGen>(nullptr);
            FGenerators[size_t(i)] = g;
            g->SetFrequency(ToneFrequency(ASlot, i));
            TAUAudioFormat* gf = g->AudioFormat();
            gf->SetSampleRate(kRate);
            gf->SetBits(24);
            gf->SetBufferSize(1024);
            gf->SetChannels(2);
            g->SetSignalType(atTone);
            g->SetAmplitude(kToneAmplitude);
            g->SetEnabled(false);
            FMixer->Channels()->Add();
            FMixer->InputPins()->GetPin(i)->Connect(g->OutputPin());
            g->SetEnabled(true);
        }
        FSplitter->InputPin()->Connect(FMixer->OutputPin());
        FSplitter->OutputPin(0)->Connect(AOutputs.mixLeft->InputPins()->GetPin(ASlot));
        FSplitter->OutputPin(1)->Connect(AOutputs.mixRight->InputPins()->GetPin(ASlot));
        FMixer->AudioFormat()->SetEnabled(true);
    }
    ~Chain()
    {
        FMixer->AudioFormat()->SetEnabled(false);
        for (TAUSignalGen*& g : FGenerators)
            FreeAndNil(g);
        FreeAndNil(FMixer);
        FreeAndNil(FSplitter);
    }
    Chain(const Chain&) = delete;
    Chain& operator=(const Chain&) = delete;

    int Slot() const { return FSlot; }
    TAUAudioMixer* Mixer() const { return FMixer; }
    TAUSignalGen* Generator(int AIndex) const { return FGenerators[size_t(AIndex)]; }

private:
    int FSlot;
    std::array<TAUSignalGen*, kTones> FGenerators {};
    TAUAudioMixer* FMixer = nullptr;
    TAUChannelSplitter* FSplitter = nullptr;
};

// ------------------------------------------------------------------ recorded output

// The samples of a mono 24-bit WAV file of the recorded device, as floats of full scale
// 1, and its channel mask (0 for a plain format header).
inline std::vector<float> ReadRecorded24(const std::filesystem::path& APath, uint32_t& AMask)
{
    std::ifstream in(APath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    AMask = 0;
    std::vector<float> samples;
    for (size_t i = 12; i + 8 <= bytes.size();) {
        uint32_t size;
        std::memcpy(&size, &bytes[i + 4], 4);
        if (std::memcmp(&bytes[i], "fmt ", 4) == 0 && size >= 40 && i + 8 + 24 <= bytes.size())
            std::memcpy(&AMask, &bytes[i + 8 + 20], 4);
        if (std::memcmp(&bytes[i], "data", 4) == 0) {
            for (size_t k = i + 8; k + 3 <= bytes.size(); k += 3) {
                int32_t v = 0;
                std::memcpy(reinterpret_cast<char*>(&v) + 1, &bytes[k], 3);  // top bytes: sign kept
                samples.push_back(float(double(v) / 2147483648.0));
            }
            break;
        }
        i += 8 + size + (size & 1);
    }
    return samples;
}

// Amplitudes (fraction of full scale) of whole-hertz tones in one second of a kRate
// signal starting at AStart, from one real transform of kRate points.
inline std::vector<double> ToneAmplitudes(const std::vector<float>& ASignal, size_t AStart,
                                          const std::vector<double>& AFrequencies)
{
    std::vector<double> result(AFrequencies.size(), 0.0);
    if (AStart + kRate > ASignal.size())
        return result;
    DftSpec* spec = nullptr;
    if (vpsDFTInitAlloc_R_64f(&spec, int(kRate), 1, 0) != 0)
        return result;
    std::vector<double> x(ASignal.begin() + long(AStart), ASignal.begin() + long(AStart + kRate));
    std::vector<double> ccs(kRate + 2);
    vpsDFTFwd_RToCCS_64f(x.data(), ccs.data(), spec, nullptr);
    vpsDFTFree_R_64f(spec);
    for (size_t i = 0; i < AFrequencies.size(); ++i) {
        const auto k = size_t(std::lround(AFrequencies[i]));
        if (k == 0 || k >= kRate / 2)
            continue;
        result[i] = 2.0 * std::hypot(ccs[2 * k], ccs[2 * k + 1]);
    }
    return result;
}

// The first sample above the noise floor: where the players began to sound.
inline size_t FirstSound(const std::vector<float>& ASignal)
{
    size_t i = 0;
    while (i < ASignal.size() && std::fabs(ASignal[i]) < 0.002f)
        ++i;
    return i;
}

}  // namespace dcs::presets
