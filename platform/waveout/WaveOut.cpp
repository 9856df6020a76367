// The wave-out calls: handle checks, header life cycle and backend choice. The sample
// work is the engine's (WaveOutEngine.cpp); devices are the backends'.
#include "platform/waveout/WaveOutInternal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace dcs {

namespace {

std::mutex gRegistryMutex;
std::map<WaveOutStream*, std::shared_ptr<WaveOutStream>> gHandles;  // open handles
const WaveOutBackend* gBackend = nullptr;
std::atomic<std::uint32_t> gNextId {1};
std::atomic<std::uint64_t> gUnderrunsAll {0};  // every handle's, closed ones included

const WaveOutBackend* BackendByName(const char* name)
{
    for (const WaveOutBackend* b : {&kWaveOutDeviceBackend, &kWaveOutRecordedBackend, &kWaveOutVirtualBackend})
        if (std::strcmp(b->Name, name) == 0)
            return b;
    return nullptr;
}

const WaveOutBackend& Backend()
{
    std::lock_guard lock(gRegistryMutex);
    if (gBackend == nullptr) {
        const char* env = std::getenv("DCS_AUDIO");
        if (env != nullptr && *env != '\0') {
            gBackend = BackendByName(env);
            if (gBackend == nullptr)
                std::fprintf(stderr,
                             "waveout: DCS_AUDIO=%s is not device, recorded or virtual; "
                             "using device\n",
                             env);
        }
        if (gBackend == nullptr)
            gBackend = &kWaveOutDeviceBackend;
    }
    return *gBackend;
}

std::shared_ptr<WaveOutStream> Find(HWAVEOUT h)
{
    std::lock_guard lock(gRegistryMutex);
    auto it = gHandles.find(h);
    return it == gHandles.end() ? nullptr : it->second;
}

std::string Hex(DWORD v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

std::string HandleName(const WaveOutStream& s) { return "handle " + std::to_string(s.Id); }

void Log(const std::string& line) { Backend().Log(line); }

MMRESULT LogResult(const std::string& call, MMRESULT r)
{
    Log(call + " -> " + std::to_string(r));
    return r;
}

void Utf8ToPname(const std::string& utf8, char16_t* out)
{
    std::u16string w;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int len;
        if (c < 0x80) {
            cp = c;
            len = 1;
        } else if ((c >> 5) == 0x6) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c >> 4) == 0xE) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c >> 3) == 0x1E) {
            cp = c & 0x07;
            len = 4;
        } else {
            cp = 0xFFFD;
            len = 1;
        }
        if (i + len > utf8.size()) {
            cp = 0xFFFD;
            len = 1;
        }
        for (int k = 1; k < len && cp != 0xFFFD; ++k) {
            const auto cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc >> 6) != 0x2) {
                cp = 0xFFFD;
                len = k;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += len;
        if (cp >= 0x10000) {
            if (w.size() + 2 > 31)
                break;  // a pair is never cut in half
            cp -= 0x10000;
            w.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            w.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            if (w.size() + 1 > 31)
                break;
            w.push_back(static_cast<char16_t>(cp));
        }
    }
    std::memset(out, 0, 32 * sizeof(char16_t));
    std::memcpy(out, w.data(), w.size() * sizeof(char16_t));
}

bool HeaderSizeOk(const WAVEHDR* pwh, UINT cbwh) { return pwh != nullptr && cbwh >= sizeof(WAVEHDR); }

}  // namespace

bool WaveOutAnyOpen()
{
    std::lock_guard lock(gRegistryMutex);
    return !gHandles.empty();
}

bool WaveOutSelectBackend(const char* name)
{
    const WaveOutBackend* b = name != nullptr ? BackendByName(name) : nullptr;
    std::lock_guard lock(gRegistryMutex);
    if (b == nullptr || !gHandles.empty())
        return false;
    gBackend = b;
    return true;
}

const char* WaveOutBackendName() { return Backend().Name; }

std::uint64_t WaveOutUnderruns(HWAVEOUT hwo)
{
    auto s = Find(hwo);
    if (!s)
        return 0;
    std::lock_guard lock(s->Engine->Mutex);
    return s->Underruns;
}

std::uint64_t WaveOutTotalUnderruns() { return gUnderrunsAll.load(std::memory_order_relaxed); }

UINT waveOutGetNumDevs() { return Backend().GetNumDevs(); }

MMRESULT waveOutGetDevCapsW(UINT uDeviceID, WAVEOUTCAPSW* pwoc, UINT cbwoc)
{
    const WaveOutBackend& b = Backend();
    if (pwoc == nullptr)
        return MMSYSERR_INVALPARAM;
    if (MMRESULT f = b.Fault(WaveOutCall::Caps))
        return f;
    std::string name;
    if (MMRESULT r = b.GetDeviceName(uDeviceID, name))
        return r;
    WAVEOUTCAPSW caps {};
    caps.wMid = 0xFFFF;
    caps.wPid = 0xFFFF;
    caps.vDriverVersion = 0x0100;
    Utf8ToPname(name, caps.szPname);
    caps.dwFormats = 0xFFFFF;  // every classic rate/channel/bits combination
    caps.wChannels = 2;
    caps.dwSupport = 0;
    std::memcpy(pwoc, &caps, std::min<std::size_t>(cbwoc, sizeof caps));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(HWAVEOUT* phwo, UINT uDeviceID, const WAVEFORMATEX* pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen)
{
    const WaveOutBackend& b = Backend();
    const std::string call = "waveOutOpen device " +
        (uDeviceID == WAVE_MAPPER ? std::string("mapper") : std::to_string(uDeviceID)) + " flags " + Hex(fdwOpen);
    WaveStreamFormat format;
    if (MMRESULT r = ParseWaveFormat(pwfx, format))
        return LogResult(call, r);
    const std::string described = call + " " + std::to_string(format.Channels) + "ch " +
        std::to_string(format.Header.wValidBitsPerSample) + "/" + std::to_string(format.Bits) + "bit " +
        std::to_string(format.Rate) + "Hz mask " + Hex(format.ChannelMask);
    const DWORD callbackType = fdwOpen & CALLBACK_TYPEMASK;
    if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION)
        return LogResult(described, MMSYSERR_INVALFLAG);
    if (uDeviceID != WAVE_MAPPER && uDeviceID >= b.GetNumDevs())
        return LogResult(described, MMSYSERR_BADDEVICEID);
    if (fdwOpen & WAVE_FORMAT_QUERY)
        return LogResult(described, MMSYSERR_NOERROR);
    if (phwo == nullptr)
        return LogResult(described, MMSYSERR_INVALPARAM);
    if (MMRESULT f = b.Fault(WaveOutCall::Open))
        return LogResult(described, f);

    auto s = std::make_shared<WaveOutStream>();
    s->Id = gNextId++;
    s->DeviceId = uDeviceID;
    s->OpenFlags = fdwOpen;
    s->Format = format;
    s->LeftGain.resize(format.Channels);
    s->RightGain.resize(format.Channels);
    WaveRouteGains(format.Channels, format.ChannelMask, s->LeftGain.data(), s->RightGain.data());
    if (MMRESULT r = b.Attach(*s))
        return LogResult(described, r);
    // Only now that the device plays is there a thread: a failed open leaves none.
    WaveOutProc proc = callbackType == CALLBACK_FUNCTION ? reinterpret_cast<WaveOutProc>(dwCallback) : nullptr;
    s->Delivery.Start(s.get(), proc, dwInstance);
    {
        std::lock_guard lock(gRegistryMutex);
        gHandles.emplace(s.get(), s);
    }
    *phwo = s.get();
    s->Delivery.Post(WOM_OPEN, nullptr);
    return LogResult(described + " = " + HandleName(*s), MMSYSERR_NOERROR);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh)
{
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (!HeaderSizeOk(pwh, cbwh) || (pwh->lpData == nullptr && pwh->dwBufferLength > 0))
        return MMSYSERR_INVALPARAM;
    if (MMRESULT f = Backend().Fault(WaveOutCall::Prepare))
        return LogResult("waveOutPrepareHeader", f);
    std::lock_guard lock(s->Engine->Mutex);
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags = (pwh->dwFlags | WHDR_PREPARED) & ~WHDR_DONE;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh)
{
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (!HeaderSizeOk(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(s->Engine->Mutex);
    if (pwh->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, UINT cbwh)
{
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (!HeaderSizeOk(pwh, cbwh))
        return MMSYSERR_INVALPARAM;
    if (MMRESULT f = Backend().Fault(WaveOutCall::Write))
        return LogResult("waveOutWrite", f);
    std::uint64_t underruns = 0;
    {
        std::lock_guard lock(s->Engine->Mutex);
        if (s->Closing)
            return MMSYSERR_INVALHANDLE;
        if (!(pwh->dwFlags & WHDR_PREPARED))
            return WAVERR_UNPREPARED;
        if (pwh->dwFlags & WHDR_INQUEUE)
            return WAVERR_STILLPLAYING;
        pwh->dwFlags = (pwh->dwFlags | WHDR_INQUEUE) & ~WHDR_DONE;
        pwh->lpNext = nullptr;
        s->Pending.push_back({pwh, 0});
        s->Started = true;
        if (s->Starved) {
            s->Starved = false;
            underruns = ++s->Underruns;
            gUnderrunsAll.fetch_add(1, std::memory_order_relaxed);
        }
    }
    // Logged at 1, 2, 4, 8, ... so that a starving stream does not flood the log.
    if (underruns != 0 && (underruns & (underruns - 1)) == 0)
        std::fprintf(stderr, "waveout: %s ran dry between blocks (%llu times)\n", HandleName(*s).c_str(),
                     static_cast<unsigned long long>(underruns));
    Log("waveOutWrite " + HandleName(*s) + " " + std::to_string(pwh->dwBufferLength) + " bytes");
    return MMSYSERR_NOERROR;
}

namespace {

MMRESULT SetPaused(HWAVEOUT hwo, bool paused)
{
    const std::string call = paused ? "waveOutPause" : "waveOutRestart";
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (MMRESULT f = Backend().Fault(paused ? WaveOutCall::Pause : WaveOutCall::Restart))
        return LogResult(call, f);
    {
        std::lock_guard lock(s->Engine->Mutex);
        s->Paused = paused;
    }
    return LogResult(call + " " + HandleName(*s), MMSYSERR_NOERROR);
}

}  // namespace

MMRESULT waveOutPause(HWAVEOUT hwo) { return SetPaused(hwo, true); }

MMRESULT waveOutRestart(HWAVEOUT hwo) { return SetPaused(hwo, false); }

MMRESULT waveOutReset(HWAVEOUT hwo)
{
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    if (MMRESULT f = Backend().Fault(WaveOutCall::Reset))
        return LogResult("waveOutReset", f);
    {
        std::lock_guard lock(s->Engine->Mutex);
        WaveReturnAllBlocks(*s);
    }
    return LogResult("waveOutReset " + HandleName(*s), MMSYSERR_NOERROR);
}

MMRESULT waveOutClose(HWAVEOUT hwo)
{
    auto s = Find(hwo);
    if (!s)
        return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(s->Engine->Mutex);
        if (s->Closing)
            return MMSYSERR_INVALHANDLE;
        if (!s->Pending.empty())
            return LogResult("waveOutClose " + HandleName(*s), WAVERR_STILLPLAYING);
        s->Closing = true;
    }
    {
        std::lock_guard lock(gRegistryMutex);
        if (gHandles.erase(s.get()) == 0)
            return MMSYSERR_INVALHANDLE;  // closed meanwhile
    }
    Backend().Detach(*s);
    s->Delivery.Close();
    return LogResult("waveOutClose " + HandleName(*s), MMSYSERR_NOERROR);
}

}  // namespace dcs
