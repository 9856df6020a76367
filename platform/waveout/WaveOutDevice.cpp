// Device backend: the system's sound output through SDL2. Sound servers, SDL's disk and
// dummy drivers may allow one open device only, so all handles of one device share one
// SDL output and are mixed by the engine.
#include "platform/waveout/WaveOutInternal.h"

#include <SDL.h>

#include <cstdio>

namespace dcs {

namespace {

struct DeviceOutput {
    std::string Name;  // empty: the default device
    SDL_AudioDeviceID Id = 0;
    std::unique_ptr<WaveOutEngine> Engine;
    std::size_t Users = 0;
};

std::mutex gMutex;  // guards the subsystem start and the outputs
bool gStarted = false;
std::vector<std::unique_ptr<DeviceOutput>> gOutputs;

bool Start()
{
    if (!gStarted) {
        gStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!gStarted)
            std::fprintf(stderr, "waveout: no audio driver: %s\n", SDL_GetError());
    }
    return gStarted;
}

void Callback(void* userdata, Uint8* stream, int len)
{
    auto* out = static_cast<DeviceOutput*>(userdata);
    out->Engine->Mix(reinterpret_cast<float*>(stream), static_cast<std::size_t>(len) / 8);
}

UINT NumDevs()
{
    std::lock_guard lock(gMutex);
    if (!Start())
        return 0;
    const int n = SDL_GetNumAudioDevices(0);
    return n > 0 ? static_cast<UINT>(n) : 0;
}

MMRESULT DeviceName(UINT id, std::string& name)
{
    std::lock_guard lock(gMutex);
    if (!Start())
        return MMSYSERR_NODRIVER;
    if (id == WAVE_MAPPER) {
        char* def = nullptr;
        SDL_AudioSpec spec;
        if (SDL_GetDefaultAudioInfo(&def, &spec, 0) == 0 && def != nullptr) {
            name = def;
            SDL_free(def);
        } else {
            name = "Default output";
        }
        return MMSYSERR_NOERROR;
    }
    const char* n = SDL_GetAudioDeviceName(static_cast<int>(id), 0);
    if (n == nullptr)
        return MMSYSERR_BADDEVICEID;
    name = n;
    return MMSYSERR_NOERROR;
}

void CloseOutput(std::size_t index)
{
    SDL_CloseAudioDevice(gOutputs[index]->Id);  // waits for SDL's thread
    gOutputs.erase(gOutputs.begin() + static_cast<std::ptrdiff_t>(index));
}

MMRESULT Attach(WaveOutStream& stream)
{
    std::lock_guard lock(gMutex);
    if (!Start())
        return MMSYSERR_NODRIVER;
    std::string name;
    if (stream.DeviceId != WAVE_MAPPER) {
        const char* n = SDL_GetAudioDeviceName(static_cast<int>(stream.DeviceId), 0);
        if (n == nullptr)
            return MMSYSERR_BADDEVICEID;
        name = n;
    }
    std::size_t index = 0;
    while (index < gOutputs.size() && gOutputs[index]->Name != name)
        ++index;
    if (index == gOutputs.size()) {
        auto out = std::make_unique<DeviceOutput>();
        out->Name = name;
        SDL_AudioSpec want {}, have {};
        want.freq = 48000;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = Callback;
        want.userdata = out.get();
        out->Id = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have,
                                      SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (out->Id == 0) {
            std::fprintf(stderr, "waveout: cannot open audio device \"%s\": %s\n",
                         name.empty() ? "default" : name.c_str(), SDL_GetError());
            return MMSYSERR_NODRIVER;
        }
        out->Engine = std::make_unique<WaveOutEngine>(static_cast<unsigned>(have.freq));
        gOutputs.push_back(std::move(out));
        SDL_PauseAudioDevice(gOutputs.back()->Id, 0);
    }
    DeviceOutput& out = *gOutputs[index];
    if (MMRESULT r = out.Engine->Attach(stream)) {
        if (out.Users == 0)
            CloseOutput(index);
        return r;
    }
    ++out.Users;
    return MMSYSERR_NOERROR;
}

void Detach(WaveOutStream& stream)
{
    std::lock_guard lock(gMutex);
    for (std::size_t i = 0; i < gOutputs.size(); ++i) {
        if (gOutputs[i]->Engine.get() != stream.Engine)
            continue;
        gOutputs[i]->Engine->Detach(stream);
        if (--gOutputs[i]->Users == 0)
            CloseOutput(i);
        return;
    }
}

MMRESULT Fault(WaveOutCall) { return MMSYSERR_NOERROR; }
void Log(const std::string&) {}

}  // namespace

const WaveOutBackend kWaveOutDeviceBackend = {"device", NumDevs, DeviceName, Attach, Detach, Fault, Log};

}  // namespace dcs
