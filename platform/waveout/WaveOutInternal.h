// Shared inside the wave-out layer: the handle, the mixing engine that consumes the
// handles of one output, and the table of operations each backend fills in.
#pragma once

#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutVirtual.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _SDL_AudioStream;

namespace dcs {

struct WaveOutEngine;

// A checked stream format.
struct WaveStreamFormat {
    unsigned Channels = 0;
    unsigned Bits = 0;  // container bits: 8, 16, 24 or 32
    unsigned Rate = 0;
    unsigned BlockAlign = 0;
    DWORD ChannelMask = 0;
    WAVEFORMATEXTENSIBLE Header {};  // the header as given, made extensible
};

// Parses pwfx; WAVERR_BADFORMAT (or MMSYSERR_INVALPARAM for a null pointer) on failure.
MMRESULT ParseWaveFormat(const WAVEFORMATEX* pwfx, WaveStreamFormat& out);

// Left and right gain of each channel, from the channel mask (zero mask: the usual
// layout for the channel count).
void WaveRouteGains(unsigned channels, DWORD mask, float* leftGains, float* rightGains);

// Delivers a handle's messages on a thread of its own, in the order they were queued.
class WaveOutDelivery {
public:
    void Start(HWAVEOUT handle, WaveOutProc proc, DWORD_PTR instance);
    void Post(UINT message, WAVEHDR* header);
    // Posts WOM_CLOSE and waits until it has been delivered. Called on the delivery
    // thread itself (from a callback) it cannot wait: the thread then ends on its own.
    void Close();
    ~WaveOutDelivery();

private:
    struct State;
    std::shared_ptr<State> FState;  // shared with the thread, which may outlive us
    std::thread FThread;
};

struct WavePendingBlock {
    WAVEHDR* Header;
    std::uint64_t EndFrame;  // input frames fed through this block's end (once fed)
};

// An open handle. Everything below "engine state" is guarded by the engine's mutex.
struct WaveOutStream {
    std::uint32_t Id = 0;
    UINT DeviceId = 0;
    DWORD OpenFlags = 0;
    WaveStreamFormat Format;
    WaveOutEngine* Engine = nullptr;
    std::vector<float> LeftGain, RightGain;
    WaveOutDelivery Delivery;

    // engine state
    _SDL_AudioStream* Converter = nullptr;
    std::deque<WavePendingBlock> Pending;
    std::size_t FeedIndex = 0;       // first block of Pending not wholly fed
    std::size_t FeedOffset = 0;      // bytes of that block already fed
    std::uint64_t FedFrames = 0;     // input frames fed since the converter last drained
    std::uint64_t PlayedFrames = 0;  // output frames taken since then
    bool FedSinceFlush = false;
    // The converter is given whole runs of PutFrames input frames, a length that makes a
    // whole number of output frames: its resampler rounds at every put, and other
    // lengths would make it drift. Frames taken from blocks wait here till a run is full.
    std::size_t PutFrames = 0;
    std::vector<char> Stage;
    bool Paused = false;
    bool Closing = false;  // no more writes
    bool Started = false;  // written to since opened or reset
    bool Starved = false;  // ran dry while playing after it had started
    std::uint64_t Underruns = 0;

    ~WaveOutStream();
};

// Hooks of a backend that records what is played.
class WaveOutRecorder {
public:
    virtual ~WaveOutRecorder() = default;
    // Bytes of a handle's own samples as they are taken to be played.
    virtual void Played(WaveOutStream& stream, const char* data, std::size_t bytes) = 0;
    // The routed stereo mix, interleaved left/right.
    virtual void Mixed(const float* stereo, std::size_t frames) = 0;
};

// Mixes the handles of one output into interleaved stereo float at Rate.
struct WaveOutEngine {
    explicit WaveOutEngine(unsigned rate) : Rate(rate) {}
    const unsigned Rate;
    std::mutex Mutex;
    std::vector<WaveOutStream*> Streams;  // guarded by Mutex
    WaveOutRecorder* Recorder = nullptr;  // set before the first stream joins

    // Creates the stream's converter and lets the engine consume it.
    MMRESULT Attach(WaveOutStream& stream);
    // After return the engine never touches the stream again.
    void Detach(WaveOutStream& stream);
    // Fills frames of stereo; completes blocks as they are consumed.
    void Mix(float* stereo, std::size_t frames);
    bool Empty();

private:
    void MixStream(WaveOutStream& s, float* stereo, std::size_t frames);
    void Feed(WaveOutStream& s, std::size_t wantedBytes);
    void Take(WaveOutStream& s, std::size_t frames);
    void Put(WaveOutStream& s);
    void CompleteConsumed(WaveOutStream& s);
    std::vector<float> FScratch;
};

// Completes every pending block of the stream at once (engine mutex held).
void WaveReturnAllBlocks(WaveOutStream& s);

// The operations of one backend.

struct WaveOutBackend {
    const char* Name;
    UINT (*GetNumDevs)();
    // Product name of a device (WAVE_MAPPER: the default device), UTF-8.
    MMRESULT (*GetDeviceName)(UINT deviceId, std::string& name);
    // Joins the stream to the engine of its device, starting the output if needed.
    MMRESULT (*Attach)(WaveOutStream& stream);
    // Leaves the engine; stops the output when the last stream has left.
    void (*Detach)(WaveOutStream& stream);
    // An injected failure of a call, or MMSYSERR_NOERROR.
    MMRESULT (*Fault)(WaveOutCall call);
    // One line of the call log.
    void (*Log)(const std::string& line);
};

extern const WaveOutBackend kWaveOutDeviceBackend;
extern const WaveOutBackend kWaveOutRecordedBackend;
extern const WaveOutBackend kWaveOutVirtualBackend;

// True while any handle is open (the backend may not change then).
bool WaveOutAnyOpen();

}  // namespace dcs
