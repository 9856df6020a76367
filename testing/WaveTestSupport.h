// Helpers of the wave-out tests: sample encoding, tone analysis, a message collector.
#pragma once

#include "platform/waveout/WaveOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace dcs::wavetest {

inline WAVEFORMATEXTENSIBLE Format(unsigned channels, unsigned bits, unsigned rate, DWORD mask)
{
    return MakePcmWaveFormat(channels, bits, rate, mask);
}

// Appends one sample in [-1, 1) as the container of bits holds it.
inline void PutSample(std::vector<char>& out, unsigned bits, double v)
{
    const auto full = static_cast<std::int64_t>(std::llround(v * std::ldexp(1.0, int(bits) - 1)));
    const std::int64_t max = (std::int64_t(1) << (bits - 1)) - 1;
    const std::int64_t s = std::clamp<std::int64_t>(full, -max - 1, max);
    if (bits == 8) {
        out.push_back(static_cast<char>(s + 128));
        return;
    }
    for (unsigned b = 0; b < bits; b += 8)
        out.push_back(static_cast<char>((s >> b) & 0xFF));
}

// Mono sine of frames samples.
inline std::vector<char> Tone(unsigned bits, unsigned rate, std::size_t frames, double freq, double amplitude)
{
    std::vector<char> out;
    for (std::size_t i = 0; i < frames; ++i)
        PutSample(out, bits, amplitude * std::sin(2 * M_PI * freq * double(i) / rate));
    return out;
}

// Amplitude of the component at freq in every step-th value of x (Goertzel).
inline double Amplitude(const float* x, std::size_t n, std::size_t step, double freq, double rate)
{
    const double w = 2 * M_PI * freq / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double s0 = x[i * step] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double re = s1 - s2 * std::cos(w), im = s2 * std::sin(w);
    return 2 * std::sqrt(re * re + im * im) / double(n);
}

// Records a handle's messages; the callback only stores them. A handle still open when
// it goes (a failed test) is reset and closed, so later tests start clean: declare the
// blocks before it.
struct Messages {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::vector<std::pair<UINT, WAVEHDR*>> List;
    std::thread::id Thread;
    HWAVEOUT Handle = nullptr;
    bool Closed = false;

    Messages() = default;
    Messages(const Messages&) = delete;
    ~Messages()
    {
        bool closed;
        {
            std::lock_guard lock(Mutex);
            closed = Closed;
        }
        if (Handle != nullptr && !closed) {
            waveOutReset(Handle);
            waveOutClose(Handle);
        }
    }

    static void Proc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR)
    {
        auto* self = reinterpret_cast<Messages*>(instance);
        std::lock_guard lock(self->Mutex);
        self->Thread = std::this_thread::get_id();
        self->List.emplace_back(message, reinterpret_cast<WAVEHDR*>(p1));
        if (message == WOM_CLOSE)
            self->Closed = true;
        self->Changed.notify_all();
    }
    DWORD_PTR Callback() const { return reinterpret_cast<DWORD_PTR>(&Proc); }
    DWORD_PTR Instance() { return reinterpret_cast<DWORD_PTR>(this); }

    std::size_t Count(UINT message)
    {
        std::lock_guard lock(Mutex);
        std::size_t n = 0;
        for (auto& m : List)
            n += m.first == message;
        return n;
    }
    bool WaitFor(UINT message, std::size_t count, std::chrono::milliseconds limit = std::chrono::milliseconds(5000))
    {
        std::unique_lock lock(Mutex);
        return Changed.wait_for(lock, limit, [&] {
            std::size_t n = 0;
            for (auto& m : List)
                n += m.first == message;
            return n >= count;
        });
    }
    std::vector<WAVEHDR*> Done()
    {
        std::lock_guard lock(Mutex);
        std::vector<WAVEHDR*> d;
        for (auto& m : List)
            if (m.first == WOM_DONE)
                d.push_back(m.second);
        return d;
    }
};

// Blocks of one handle: each owns its samples and header.
struct Block {
    std::vector<char> Data;
    WAVEHDR Header {};
    explicit Block(std::vector<char> data) : Data(std::move(data))
    {
        Header.lpData = Data.data();
        Header.dwBufferLength = static_cast<DWORD>(Data.size());
    }
};

inline std::vector<std::unique_ptr<Block>> Split(const std::vector<char>& data, std::size_t bytes)
{
    std::vector<std::unique_ptr<Block>> blocks;
    for (std::size_t i = 0; i < data.size(); i += bytes)
        blocks.push_back(std::make_unique<Block>(
            std::vector<char>(data.begin() + i, data.begin() + std::min(data.size(), i + bytes))));
    return blocks;
}

inline MMRESULT Open(HWAVEOUT& h, const WAVEFORMATEXTENSIBLE& f, Messages& m, UINT device = WAVE_MAPPER)
{
    const MMRESULT r = waveOutOpen(&h, device, &f.Format, m.Callback(), m.Instance(), CALLBACK_FUNCTION);
    if (r == MMSYSERR_NOERROR)
        m.Handle = h;
    return r;
}

inline void WriteAll(HWAVEOUT h, std::vector<std::unique_ptr<Block>>& blocks)
{
    for (auto& b : blocks) {
        ASSERT_EQ(waveOutPrepareHeader(h, &b->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(waveOutWrite(h, &b->Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
}

inline int ThreadCount()
{
    // A sanitizer starts a helper thread of its own once the first thread is made.
    static const bool warmed = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)warmed;
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

// The thread count once threads that were just joined have left /proc: a joined thread
// can stay listed for a moment after pthread_join returns, so a count taken as a baseline
// may include one that is on its way out. Waits (up to two seconds) for the count to come
// down to at most the expected number.
inline int SettledThreadCount(int expected)
{
    int n = ThreadCount();
    for (int waited = 0; n > expected && waited < 2000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        n = ThreadCount();
    }
    return n;
}

// The thread count once it has stopped changing for 100 ms (at most two seconds): a clock
// thread that was let go ends on its own, a moment after its owner went, so a baseline
// taken right after a player was freed may still count it.
inline int StableThreadCount()
{
    int n = ThreadCount();
    for (int still = 0, waited = 0; still < 100 && waited < 2000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const int now = ThreadCount();
        still = now == n ? still + 1 : 0;
        n = now;
    }
    return n;
}

// The tone test of the layer: 1 kHz on the left only at 0.5, 250 Hz on the right only at
// 0.25, checked over n frames of interleaved stereo at rate.
inline void ExpectTwoTones(const float* stereo, std::size_t n, double rate)
{
    const float* l = stereo;
    const float* r = stereo + 1;
    // 0.5 % off already means a drifting rate or a level error.
    EXPECT_NEAR(Amplitude(l, n, 2, 1000, rate), 0.5, 0.0025);
    EXPECT_NEAR(Amplitude(r, n, 2, 250, rate), 0.25, 0.00125);
    EXPECT_LT(Amplitude(l, n, 2, 250, rate), 0.002);
    EXPECT_LT(Amplitude(r, n, 2, 1000, rate), 0.002);
    // Nothing else: the energy is all in the tone (a wrong rate would show here too).
    double el = 0, er = 0;
    for (std::size_t i = 0; i < n; ++i) {
        el += double(l[2 * i]) * l[2 * i];
        er += double(r[2 * i]) * r[2 * i];
    }
    EXPECT_NEAR(std::sqrt(2 * el / double(n)), 0.5, 0.01);
    EXPECT_NEAR(std::sqrt(2 * er / double(n)), 0.25, 0.005);
}

// The two tones of ExpectTwoTones: 1 kHz at 0.5, 16-bit 44100 Hz masked front-left, and
// 250 Hz at 0.25, 24-bit 22050 Hz masked front-right, each seconds long.
inline std::vector<char> LeftTone(double seconds) { return Tone(16, 44100, std::size_t(44100 * seconds), 1000, 0.5); }
inline std::vector<char> RightTone(double seconds) { return Tone(24, 22050, std::size_t(22050 * seconds), 250, 0.25); }
// Plays both through two handles started together and closes them when done.
inline void PlayTwoTones(const std::vector<char>& leftSamples, const std::vector<char>& rightSamples)
{
    auto lb = Split(leftSamples, 4096 * 2);
    auto rb = Split(rightSamples, 4096 * 3);
    Messages ml, mr;
    HWAVEOUT left = nullptr, right = nullptr;
    ASSERT_EQ(Open(left, Format(1, 16, 44100, SPEAKER_FRONT_LEFT), ml), MMSYSERR_NOERROR);
    ASSERT_EQ(Open(right, Format(1, 24, 22050, SPEAKER_FRONT_RIGHT), mr), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPause(left), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutPause(right), MMSYSERR_NOERROR);
    WriteAll(left, lb);
    WriteAll(right, rb);
    ASSERT_EQ(waveOutRestart(left), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutRestart(right), MMSYSERR_NOERROR);
    ASSERT_TRUE(ml.WaitFor(WOM_DONE, lb.size()));
    ASSERT_TRUE(mr.WaitFor(WOM_DONE, rb.size()));
    ASSERT_EQ(waveOutClose(left), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(right), MMSYSERR_NOERROR);
}

// First frame where either channel exceeds level, or n.
inline std::size_t FirstSound(const float* stereo, std::size_t n, float level = 0.01f)
{
    for (std::size_t i = 0; i < n; ++i)
        if (std::fabs(stereo[2 * i]) > level || std::fabs(stereo[2 * i + 1]) > level)
            return i;
    return n;
}

// Six handles at once, told apart in the mix: each writes a count in its own three bits
// of a 32-bit stereo sample (well inside a float's precision), so the mix can be taken
// apart again and every frame of every handle must come out once, in order. Blocks of
// 1000 frames do not divide the count's period of 49.
constexpr int kCountHandles = 6;
inline std::pair<int, int> CountAt(std::size_t t) { return {int(t % 7) + 1, int(t / 7 % 7) + 1}; }
inline std::vector<char> CountSamples(int handle, std::size_t frames)
{
    std::vector<char> data;
    for (std::size_t t = 0; t < frames; ++t) {
        auto [l, r] = CountAt(t);
        for (int v : {l, r}) {
            const std::uint32_t s = std::uint32_t(v) << (12 + 3 * handle);
            for (int b = 0; b < 32; b += 8)
                data.push_back(char(s >> b));
        }
    }
    return data;
}
// Frames of each handle found in the stereo mix; fails the test at the first frame
// out of order.
inline std::vector<std::size_t> CountsPlayed(const float* stereo, std::size_t frames)
{
    std::vector<std::size_t> played(kCountHandles);
    for (std::size_t t = 0; t < frames; ++t) {
        const auto l = std::llround(double(stereo[2 * t]) * (1 << 19));  // in units of bit 12
        const auto r = std::llround(double(stereo[2 * t + 1]) * (1 << 19));
        for (int k = 0; k < kCountHandles; ++k) {
            const int nl = int(l >> (3 * k)) & 7, nr = int(r >> (3 * k)) & 7;
            if (nl == 0 && nr == 0)
                continue;
            if (std::make_pair(nl, nr) != CountAt(played[k])) {
                ADD_FAILURE() << "handle " << k << " frame " << t << " plays " << nl << "," << nr << " after "
                              << played[k] << " frames";
                return played;
            }
            ++played[k];
        }
    }
    return played;
}

}  // namespace dcs::wavetest
