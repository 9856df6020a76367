// Recorded backend: plays in real time into WAV files, for listening to a run on a
// machine without sound and for tests. In DCS_AUDIO_DIR (default: the current folder):
// out-<n>.wav what handle n played, in its own format; mix-<k>.wav the routed stereo
// mix of the k-th run of the output (16-bit, 48000 Hz); calls.log one line per call.
#include "platform/waveout/WaveOutInternal.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace dcs {

namespace {

constexpr unsigned kRate = 48000;

std::string Folder()
{
    const char* dir = std::getenv("DCS_AUDIO_DIR");
    return dir != nullptr && *dir != '\0' ? dir : ".";
}

// A WAV file whose sizes are brought up to date after every write, so it stays readable
// even when the program ends abruptly.
class WavFile {
public:
    bool Open(const std::string& path, const void* format, std::uint32_t formatSize)
    {
        FFile = std::fopen(path.c_str(), "wb");
        if (FFile == nullptr) {
            std::fprintf(stderr, "waveout: cannot write %s\n", path.c_str());
            return false;
        }
        std::fwrite("RIFF\0\0\0\0WAVEfmt ", 1, 16, FFile);
        Put32(formatSize);
        std::fwrite(format, 1, formatSize, FFile);
        std::fwrite("data\0\0\0\0", 1, 8, FFile);
        FDataStart = 20 + formatSize + 8;
        Patch();
        return true;
    }
    void Write(const void* data, std::size_t bytes)
    {
        if (FFile == nullptr)
            return;
        std::fwrite(data, 1, bytes, FFile);
        FBytes += static_cast<std::uint32_t>(bytes);
        Patch();
    }
    ~WavFile()
    {
        if (FFile != nullptr)
            std::fclose(FFile);
    }

private:
    void Put32(std::uint32_t v)
    {
        const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        std::fwrite(b, 1, 4, FFile);
    }
    void Patch()
    {
        std::fseek(FFile, 4, SEEK_SET);
        Put32(FDataStart - 8 + FBytes + (FBytes & 1));
        std::fseek(FFile, static_cast<long>(FDataStart) - 4, SEEK_SET);
        Put32(FBytes);
        std::fseek(FFile, 0, SEEK_END);
        std::fflush(FFile);
    }
    std::FILE* FFile = nullptr;
    std::uint32_t FDataStart = 0;
    std::uint32_t FBytes = 0;
};

class Recording : public WaveOutRecorder {
public:
    // Everything below is guarded by the engine's mutex.
    std::map<const WaveOutStream*, std::unique_ptr<WavFile>> Files;
    WavFile Mix;
    std::vector<std::int16_t> Pcm;

    void Played(WaveOutStream& stream, const char* data, std::size_t bytes) override
    {
        auto it = Files.find(&stream);
        if (it != Files.end())
            it->second->Write(data, bytes);
    }
    void Mixed(const float* stereo, std::size_t frames) override
    {
        Pcm.resize(2 * frames);
        for (std::size_t i = 0; i < 2 * frames; ++i)
            Pcm[i] = static_cast<std::int16_t>(std::lround(stereo[i] * 32767.0f));
        Mix.Write(Pcm.data(), Pcm.size() * sizeof(std::int16_t));
    }
};

struct RecordedOutput {
    WaveOutEngine Engine {kRate};
    Recording Recorder;
    std::thread Clock;
    std::mutex StopMutex;
    std::condition_variable StopWake;
    bool Stop = false;

    // Pulls the mix at the real-time rate, measured from the start so it never drifts.
    void Run()
    {
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t pulled = 0;
        std::vector<float> buffer(2 * 1024);
        std::unique_lock lock(StopMutex);
        while (!StopWake.wait_for(lock, std::chrono::milliseconds(5), [&] { return Stop; })) {
            lock.unlock();
            const auto us =
                std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
            const std::uint64_t due = static_cast<std::uint64_t>(us) * kRate / 1000000;
            while (pulled < due) {
                const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(due - pulled, 1024));
                Engine.Mix(buffer.data(), n);
                pulled += n;
            }
            lock.lock();
        }
    }
};

std::mutex gMutex;  // guards the output, the counters and the log
std::unique_ptr<RecordedOutput> gOutput;
std::size_t gUsers = 0;
unsigned gRuns = 0;

// Ends the clock thread and closes the mix (gMutex held).
void StopOutput()
{
    {
        std::lock_guard stop(gOutput->StopMutex);
        gOutput->Stop = true;
    }
    gOutput->StopWake.notify_all();
    gOutput->Clock.join();
    gOutput.reset();
}

UINT NumDevs() { return 1; }

MMRESULT DeviceName(UINT id, std::string& name)
{
    if (id != 0 && id != WAVE_MAPPER)
        return MMSYSERR_BADDEVICEID;
    name = "Recorded output";
    return MMSYSERR_NOERROR;
}

// Gives the stream its file and joins it to the engine (gMutex held).
MMRESULT Join(WaveOutStream& stream)
{
    auto file = std::make_unique<WavFile>();
    const std::string path = Folder() + "/out-" + std::to_string(stream.Id) + ".wav";
    if (!file->Open(path, &stream.Format.Header, sizeof stream.Format.Header))
        return MMSYSERR_NODRIVER;
    {
        std::lock_guard engine(gOutput->Engine.Mutex);
        gOutput->Recorder.Files[&stream] = std::move(file);
    }
    if (MMRESULT r = gOutput->Engine.Attach(stream)) {
        std::lock_guard engine(gOutput->Engine.Mutex);
        gOutput->Recorder.Files.erase(&stream);
        return r;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT Attach(WaveOutStream& stream)
{
    std::lock_guard lock(gMutex);
    if (!gOutput) {
        auto out = std::make_unique<RecordedOutput>();
        out->Engine.Recorder = &out->Recorder;
        WAVEFORMATEX mix {WAVE_FORMAT_PCM, 2, kRate, kRate * 4, 4, 16, 0};
        const std::string path = Folder() + "/mix-" + std::to_string(++gRuns) + ".wav";
        if (!out->Recorder.Mix.Open(path, &mix, 16))
            return MMSYSERR_NODRIVER;
        gOutput = std::move(out);
        gOutput->Clock = std::thread([o = gOutput.get()] { o->Run(); });
    }
    const MMRESULT r = Join(stream);
    if (r == MMSYSERR_NOERROR)
        ++gUsers;
    else if (gUsers == 0)
        StopOutput();  // a first handle that failed leaves no clock thread and no open mix behind
    return r;
}

void Detach(WaveOutStream& stream)
{
    std::lock_guard lock(gMutex);
    if (!gOutput)
        return;
    gOutput->Engine.Detach(stream);
    {
        std::lock_guard engine(gOutput->Engine.Mutex);
        gOutput->Recorder.Files.erase(&stream);
    }
    if (--gUsers == 0) {
        StopOutput();
    }
}

MMRESULT Fault(WaveOutCall) { return MMSYSERR_NOERROR; }

void Log(const std::string& line)
{
    std::lock_guard lock(gMutex);
    const std::string path = Folder() + "/calls.log";
    if (std::FILE* f = std::fopen(path.c_str(), "a")) {
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count();
        std::fprintf(f, "%lld %s\n", static_cast<long long>(ms), line.c_str());
        std::fclose(f);
    }
}

}  // namespace

const WaveOutBackend kWaveOutRecordedBackend = {"recorded", NumDevs, DeviceName, Attach, Detach, Fault, Log};

}  // namespace dcs
