// Format checks, speaker routing, message delivery and the mixing engine shared by all
// backends. Each handle's samples go through SDL2's own converter to the engine's rate.
#include "platform/waveout/WaveOutInternal.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace dcs {

MMRESULT ParseWaveFormat(const WAVEFORMATEX* pwfx, WaveStreamFormat& out)
{
    if (pwfx == nullptr)
        return MMSYSERR_INVALPARAM;
    WAVEFORMATEX f;
    std::memcpy(&f, pwfx, sizeof f);
    WaveStreamFormat r;
    if (f.wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (f.cbSize < 22)
            return WAVERR_BADFORMAT;
        std::memcpy(static_cast<void*>(&r.Header), pwfx, sizeof r.Header);
        if (r.Header.SubFormat != KSDATAFORMAT_SUBTYPE_PCM)
            return WAVERR_BADFORMAT;
        if (r.Header.wValidBitsPerSample > f.wBitsPerSample)
            return WAVERR_BADFORMAT;
        r.ChannelMask = r.Header.dwChannelMask;
    } else if (f.wFormatTag == WAVE_FORMAT_PCM) {
        r.Header.Format = f;
        r.Header.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        r.Header.Format.cbSize = 22;
        r.Header.wValidBitsPerSample = f.wBitsPerSample;
        r.Header.dwChannelMask = 0;
        r.Header.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    } else {
        return WAVERR_BADFORMAT;
    }
    r.Channels = f.nChannels;
    r.Bits = f.wBitsPerSample;
    r.Rate = f.nSamplesPerSec;
    r.BlockAlign = f.nBlockAlign;
    if (r.Channels < 1 || r.Channels > 8)
        return WAVERR_BADFORMAT;
    if (r.Bits != 8 && r.Bits != 16 && r.Bits != 24 && r.Bits != 32)
        return WAVERR_BADFORMAT;
    if (r.Rate < 1000 || r.Rate > 384000)
        return WAVERR_BADFORMAT;
    if (r.BlockAlign != r.Channels * r.Bits / 8)
        return WAVERR_BADFORMAT;
    out = r;
    return MMSYSERR_NOERROR;
}

namespace {

// The usual speaker layout for a channel count when the mask names none.
DWORD DefaultMask(unsigned channels)
{
    switch (channels) {
    case 1: return SPEAKER_FRONT_CENTER;
    case 2: return 0x3;
    case 4: return 0x33;   // front and back pairs
    case 6: return 0x3F;   // 5.1
    case 8: return 0x63F;  // 7.1 with side pair
    default: return (1u << channels) - 1;
    }
}

enum class Side {
    Left,
    Right,
    Both
};

Side SpeakerSide(unsigned bit)
{
    switch (bit) {
    case 0:
    case 4:
    case 6:
    case 9:
    case 12:
    case 15: return Side::Left;
    case 1:
    case 5:
    case 7:
    case 10:
    case 14:
    case 17: return Side::Right;
    default: return Side::Both;  // centre, low frequency, back and top centre
    }
}

}  // namespace

void WaveRouteGains(unsigned channels, DWORD mask, float* leftGains, float* rightGains)
{
    if (mask == 0)
        mask = DefaultMask(channels);
    constexpr float kCentre = 0.70710678f;
    unsigned bit = 0;
    for (unsigned c = 0; c < channels; ++c) {
        while (bit < 32 && !(mask & (1u << bit)))
            ++bit;
        leftGains[c] = rightGains[c] = 0.0f;
        if (bit >= 32)
            continue;  // more channels than speakers named: not heard
        switch (SpeakerSide(bit)) {
        case Side::Left: leftGains[c] = 1.0f; break;
        case Side::Right: rightGains[c] = 1.0f; break;
        case Side::Both: leftGains[c] = rightGains[c] = kCentre; break;
        }
        ++bit;
    }
}

// ---- delivery -------------------------------------------------------------------------

struct WaveOutDelivery::State {
    HWAVEOUT Handle = nullptr;
    WaveOutProc Proc = nullptr;
    DWORD_PTR Instance = 0;
    std::mutex Mutex;
    std::condition_variable Wake;
    std::deque<std::pair<UINT, WAVEHDR*>> Queue;
};

void WaveOutDelivery::Start(HWAVEOUT handle, WaveOutProc proc, DWORD_PTR instance)
{
    FState = std::make_shared<State>();
    FState->Handle = handle;
    FState->Proc = proc;
    FState->Instance = instance;
    FThread = std::thread([st = FState] {
        for (;;) {
            std::unique_lock lock(st->Mutex);
            st->Wake.wait(lock, [&] { return !st->Queue.empty(); });
            auto [message, header] = st->Queue.front();
            st->Queue.pop_front();
            lock.unlock();
            if (st->Proc != nullptr)
                st->Proc(st->Handle, message, st->Instance, reinterpret_cast<DWORD_PTR>(header), 0);
            if (message == WOM_CLOSE)
                return;
        }
    });
}

void WaveOutDelivery::Post(UINT message, WAVEHDR* header)
{
    std::lock_guard lock(FState->Mutex);
    FState->Queue.emplace_back(message, header);
    FState->Wake.notify_one();
}

void WaveOutDelivery::Close()
{
    Post(WOM_CLOSE, nullptr);
    if (FThread.get_id() == std::this_thread::get_id())
        FThread.detach();
    else
        FThread.join();
}

WaveOutDelivery::~WaveOutDelivery()
{
    if (FThread.joinable())
        Close();
}

WaveOutStream::~WaveOutStream()
{
    if (Converter != nullptr)
        SDL_FreeAudioStream(Converter);
}

// ---- engine ---------------------------------------------------------------------------

namespace {

SDL_AudioFormat SdlFormat(unsigned bits)
{
    switch (bits) {
    case 8: return AUDIO_U8;
    case 16: return AUDIO_S16LSB;
    default: return AUDIO_S32LSB;  // 24-bit samples are widened to 32 before conversion
    }
}

void CompleteBlock(WaveOutStream& s, WAVEHDR* h)
{
    h->dwFlags = (h->dwFlags | WHDR_DONE) & ~WHDR_INQUEUE;
    s.Delivery.Post(WOM_DONE, h);
}

}  // namespace

MMRESULT WaveOutEngine::Attach(WaveOutStream& stream)
{
    const auto& f = stream.Format;
    stream.Converter = SDL_NewAudioStream(SdlFormat(f.Bits), static_cast<Uint8>(f.Channels), static_cast<int>(f.Rate),
                                          AUDIO_F32SYS, static_cast<Uint8>(f.Channels), static_cast<int>(Rate));
    if (stream.Converter == nullptr)
        return WAVERR_BADFORMAT;
    // Runs of a whole number of output frames and of at least 1024 frames (shorter puts
    // come out wrong too); a rate with no such run below 4096 frames (a prime one, say)
    // is put in runs of 1024 and may drift by a frame per put.
    const std::size_t unit = f.Rate / std::gcd(f.Rate, Rate);
    stream.PutFrames = unit <= 4096 ? unit * ((1024 + unit - 1) / unit) : 1024;
    stream.Engine = this;
    std::lock_guard lock(Mutex);
    Streams.push_back(&stream);
    return MMSYSERR_NOERROR;
}

void WaveOutEngine::Detach(WaveOutStream& stream)
{
    std::lock_guard lock(Mutex);
    Streams.erase(std::remove(Streams.begin(), Streams.end(), &stream), Streams.end());
}

bool WaveOutEngine::Empty()
{
    std::lock_guard lock(Mutex);
    return Streams.empty();
}

namespace {

// Bytes of one input frame as the converter takes it (24-bit samples widened to 32).
std::size_t StageFrameBytes(const WaveStreamFormat& f) { return f.Channels * (f.Bits == 24 ? 4 : f.Bits / 8); }

}  // namespace

// Moves up to frames input frames from the blocks to the stage.
void WaveOutEngine::Take(WaveOutStream& s, std::size_t frames)
{
    const unsigned align = s.Format.BlockAlign;
    while (frames > 0 && s.FeedIndex < s.Pending.size()) {
        WavePendingBlock& b = s.Pending[s.FeedIndex];
        const std::size_t usable = b.Header->dwBufferLength - b.Header->dwBufferLength % align;
        const std::size_t n = std::min<std::size_t>(usable - s.FeedOffset, frames * align);
        if (n > 0) {
            const char* src = b.Header->lpData + s.FeedOffset;
            if (Recorder != nullptr)
                Recorder->Played(s, src, n);
            if (s.Format.Bits == 24) {
                const std::size_t at = s.Stage.size(), samples = n / 3;
                s.Stage.resize(at + samples * 4);
                char* dst = s.Stage.data() + at;
                for (std::size_t i = 0; i < samples; ++i, src += 3, dst += 4) {
                    dst[0] = 0;
                    std::memcpy(dst + 1, src, 3);  // little-endian: the top three bytes
                }
            } else {
                s.Stage.insert(s.Stage.end(), src, src + n);
            }
            s.FeedOffset += n;
            s.FedFrames += n / align;
            frames -= n / align;
        }
        if (s.FeedOffset >= usable) {
            b.EndFrame = s.FedFrames;
            ++s.FeedIndex;
            s.FeedOffset = 0;
        }
    }
}

// Hands the whole stage to the converter.
void WaveOutEngine::Put(WaveOutStream& s)
{
    if (s.Stage.empty())
        return;
    SDL_AudioStreamPut(s.Converter, s.Stage.data(), static_cast<int>(s.Stage.size()));
    s.Stage.clear();
    s.FedSinceFlush = true;
}

void WaveOutEngine::Feed(WaveOutStream& s, std::size_t wantedBytes)
{
    const std::size_t frameBytes = StageFrameBytes(s.Format);
    while (static_cast<std::size_t>(SDL_AudioStreamAvailable(s.Converter)) < wantedBytes) {
        Take(s, s.PutFrames - s.Stage.size() / frameBytes);
        if (s.Stage.size() / frameBytes < s.PutFrames)
            break;  // the blocks ran out
        Put(s);
    }
}

void WaveOutEngine::CompleteConsumed(WaveOutStream& s)
{
    // A block is done once the output taken has passed its last frame in time.
    while (s.FeedIndex > 0 && s.Pending.front().EndFrame * Rate <= s.PlayedFrames * s.Format.Rate) {
        CompleteBlock(s, s.Pending.front().Header);
        s.Pending.pop_front();
        --s.FeedIndex;
    }
    // Everything fed has come out: the rest is done, and timing starts afresh.
    if (s.FeedIndex == s.Pending.size() && !s.FedSinceFlush && s.Stage.empty() &&
        SDL_AudioStreamAvailable(s.Converter) == 0) {
        while (!s.Pending.empty()) {
            CompleteBlock(s, s.Pending.front().Header);
            s.Pending.pop_front();
        }
        s.FeedIndex = 0;
        s.FedFrames = s.PlayedFrames = 0;
    }
}

void WaveOutEngine::MixStream(WaveOutStream& s, float* stereo, std::size_t frames)
{
    const unsigned ch = s.Format.Channels;
    const std::size_t wanted = frames * ch * 4;
    Feed(s, wanted);
    if (static_cast<std::size_t>(SDL_AudioStreamAvailable(s.Converter)) < wanted && s.FeedIndex == s.Pending.size() &&
        (s.FedSinceFlush || !s.Stage.empty())) {
        // Nothing more to feed: let the resampler give out its tail.
        Put(s);
        SDL_AudioStreamFlush(s.Converter);
        s.FedSinceFlush = false;
    }
    FScratch.resize(frames * ch);
    const int got = SDL_AudioStreamGet(s.Converter, FScratch.data(), static_cast<int>(wanted));
    const std::size_t gotFrames = got > 0 ? static_cast<std::size_t>(got) / (4 * ch) : 0;
    const float* l = s.LeftGain.data();
    const float* r = s.RightGain.data();
    const float* in = FScratch.data();
    for (std::size_t i = 0; i < gotFrames; ++i, in += ch) {
        float sl = 0.0f, sr = 0.0f;
        for (unsigned c = 0; c < ch; ++c) {
            sl += in[c] * l[c];
            sr += in[c] * r[c];
        }
        stereo[2 * i] += sl;
        stereo[2 * i + 1] += sr;
    }
    s.PlayedFrames += gotFrames;
    CompleteConsumed(s);
    if (gotFrames < frames && s.Pending.empty() && s.Started)
        s.Starved = true;
}

void WaveOutEngine::Mix(float* stereo, std::size_t frames)
{
    std::fill(stereo, stereo + 2 * frames, 0.0f);
    std::lock_guard lock(Mutex);
    for (WaveOutStream* s : Streams)
        if (!s->Paused)
            MixStream(*s, stereo, frames);
    for (std::size_t i = 0; i < 2 * frames; ++i)
        stereo[i] = std::clamp(stereo[i], -1.0f, 1.0f);
    if (Recorder != nullptr)
        Recorder->Mixed(stereo, frames);
}

void WaveReturnAllBlocks(WaveOutStream& s)
{
    for (const WavePendingBlock& b : s.Pending)
        CompleteBlock(s, b.Header);
    s.Pending.clear();
    s.FeedIndex = s.FeedOffset = 0;
    s.FedFrames = s.PlayedFrames = 0;
    s.FedSinceFlush = false;
    s.Stage.clear();
    s.Started = s.Starved = false;
    if (s.Converter != nullptr)
        SDL_AudioStreamClear(s.Converter);
}

}  // namespace dcs
