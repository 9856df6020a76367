// The wave-out layer's own work for the preset outputs' load: six mono 22050 Hz streams
// converted, resampled to a 48000 Hz device and mixed with their speaker routing, pulled
// in device-sized periods. One iteration is one second of audio, so the CPU time of an
// iteration is the layer's CPU time per second of sound (completion threads included).
#include "platform/waveout/WaveOut.h"
#include "platform/waveout/WaveOutVirtual.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using namespace dcs;

std::atomic<int> gDone {0};

void Proc(HWAVEOUT, UINT message, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    if (message == WOM_DONE)
        gDone.fetch_add(1, std::memory_order_release);
}

void SixStreams(benchmark::State& state)
{
    const unsigned bits = static_cast<unsigned>(state.range(0));
    constexpr int kStreams = 6;
    constexpr unsigned kRate = 22050;
    WaveOutSelectBackend("virtual");
    waveout_virtual::Configure({"Virtual output"}, 48000);

    WAVEFORMATEXTENSIBLE f = MakePcmWaveFormat(1, bits, kRate, 0);

    std::vector<std::vector<char>> data(kStreams);
    std::vector<WAVEHDR> headers(kStreams);
    std::vector<HWAVEOUT> handles(kStreams);
    for (int k = 0; k < kStreams; ++k) {
        for (unsigned i = 0; i < kRate; ++i) {
            const auto v = static_cast<std::int32_t>(
                std::lround(0.1 * std::sin(0.01 * (k + 1) * i) * std::ldexp(1.0, int(bits) - 1)));
            for (unsigned b = 0; b < bits; b += 8)
                data[k].push_back(char(v >> b));
        }
        f.dwChannelMask = k % 2 == 0 ? SPEAKER_FRONT_LEFT : SPEAKER_FRONT_RIGHT;
        if (waveOutOpen(&handles[k], WAVE_MAPPER, &f.Format, reinterpret_cast<DWORD_PTR>(&Proc), 0,
                        CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
            state.SkipWithError("open failed");
            return;
        }
        headers[k].lpData = data[k].data();
        headers[k].dwBufferLength = static_cast<DWORD>(data[k].size());
        waveOutPrepareHeader(handles[k], &headers[k], sizeof(WAVEHDR));
    }
    int expected = 0;
    for (auto _ : state) {
        for (int k = 0; k < kStreams; ++k)
            waveOutWrite(handles[k], &headers[k], sizeof(WAVEHDR));
        expected += kStreams;
        for (int i = 0; i < 47; ++i)
            benchmark::DoNotOptimize(waveout_virtual::Advance(1024));
        while (gDone.load(std::memory_order_acquire) < expected) {
            benchmark::DoNotOptimize(waveout_virtual::Advance(64));
            std::this_thread::yield();
        }
    }
    for (int k = 0; k < kStreams; ++k) {
        waveOutUnprepareHeader(handles[k], &headers[k], sizeof(WAVEHDR));
        waveOutClose(handles[k]);
    }
    state.counters["audio_seconds"] = benchmark::Counter(double(state.iterations()));
}

}  // namespace

BENCHMARK(SixStreams)->Arg(16)->Arg(24)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
