#include "app/PresetPlayer.h"

#include "components/pins/PNPinList.h"

namespace dcs {

std::array<PRSX*, PresetCount> Players {};

namespace {

void Link(TPNBasicPin* ASink, TPNBasicPin* ASource)
{
    if (ASink == nullptr || ASource == nullptr || !ASink->Connect(ASource))
        throw EComponentError("The preset player cannot link its pins");
}

}  // namespace

PRSX::PRSX(int32_t AIndex, const TFrequencyTable& ATable, TAUAudioMixer* AMixLeft, TAUAudioMixer* AMixRight)
    : Index(AIndex)
{
    try {
        Mixer = Create<TAUAudioMixer>(nullptr);
        TAUOptionalAudioFormat* format = Mixer->AudioFormat();
        format->SetSampleRate(SampleRate);
        format->SetBits(Bits);
        format->SetBufferSize(BufferSize);
        format->SetChannels(2);
        Splitter = Create<TAUChannelSplitter>(nullptr);
        // Every channel (input pin i for generator i) exists before the first generator
        // streams: the mixer's threads read the channel list, which adding does not lock.
        for (int i = 0; i < PresetTones; ++i)
            Mixer->Channels()->Add();
        for (int i = 0; i < PresetTones; ++i) {
            // Made in code, a generator starts at once; it is stopped while it is linked
            // and started again linked, so its start reaches the mixer.
            TAUSignalGen* g = Generators[size_t(i)] = Create<TAUSignalGen>(nullptr);
            g->SetFrequency(PresetToneFrequency(ATable, AIndex, i));
            g->AudioFormat()->SetSampleRate(SampleRate);
            g->AudioFormat()->SetBits(Bits);
            g->AudioFormat()->SetBufferSize(BufferSize);
            g->AudioFormat()->SetChannels(2);
            g->SetSignalType(atTone);
            g->SetAmplitude(ToneAmplitude);
            g->SetEnabled(false);
            Link(Mixer->InputPins()->GetPin(i), g->OutputPin());
            g->SetEnabled(true);
        }
        Link(Splitter->InputPin(), Mixer->OutputPin());
        Link(AMixLeft->InputPins()->GetPin(AIndex), Splitter->OutputPin(0));
        Link(AMixRight->InputPins()->GetPin(AIndex), Splitter->OutputPin(1));
    } catch (...) {
        Release();
        throw;
    }
}

PRSX::~PRSX() { Release(); }

void PRSX::Release()
{
    // Sources first, so nothing is sent into a component that is going.
    for (TAUSignalGen*& g : Generators)
        FreeAndNil(g);
    FreeAndNil(Mixer);
    FreeAndNil(Splitter);
}

void PRSX::Start() { Mixer->AudioFormat()->SetEnabled(true); }

void PRSX::Stop() { Mixer->AudioFormat()->SetEnabled(false); }

}  // namespace dcs
