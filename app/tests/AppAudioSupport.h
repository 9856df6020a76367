// Support of the application's sound tests: a recording folder for the recorded wave-out
// backend, and a Hann-windowed FFT of a recorded channel that finds tones and levels.
#pragma once

#include "dsp/spectral/FftEntries.h"
#include "platform/waveout/WaveOut.h"
#include "testing/WavFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace dcs::apptest {

// Selects the recorded backend writing into a fresh folder; removes it when done.
struct RecordingFolder {
    std::filesystem::path Dir;
    explicit RecordingFolder(const std::string& AName)
        : Dir(std::filesystem::temp_directory_path() / ("dcs-" + AName + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
        setenv("DCS_AUDIO_DIR", Dir.c_str(), 1);
        EXPECT_TRUE(WaveOutSelectBackend("recorded"));
    }
    ~RecordingFolder()
    {
        unsetenv("DCS_AUDIO_DIR");
        std::filesystem::remove_all(Dir);
    }
    // The samples of every out-<n>.wav (24-bit mono) whose channel mask is AMask, one
    // file after another.
    std::vector<std::vector<float>> Played(uint32_t AMask) const
    {
        std::vector<std::vector<float>> r;
        for (const auto& e : std::filesystem::directory_iterator(Dir)) {
            if (e.path().filename().string().rfind("out-", 0) != 0)
                continue;
            uint32_t mask = 0;
            auto data = wavetest::WavData(e.path(), mask);
            if (mask == AMask)
                r.push_back(wavetest::Floats(data, 24));
        }
        return r;
    }
};

// The magnitude spectrum of 2^AOrder samples of x from AStart, Hann windowed, scaled so
// that a sine of amplitude a on a bin reads a.
struct Spectrum {
    std::vector<double> Magnitude;
    double Rate;
    double BinHz;

    Spectrum(const float* x, int AOrder, double ARate) : Rate(ARate)
    {
        const size_t n = size_t(1) << AOrder;
        BinHz = ARate / double(n);
        std::vector<double> in(n), out(n + 2);
        for (size_t i = 0; i < n; ++i)
            in[i] = x[i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n)));
        FftSpec* spec = nullptr;
        EXPECT_EQ(vpsFFTInitAlloc_R_64f(&spec, AOrder, 8, 0), 0);
        EXPECT_EQ(vpsFFTFwd_RToCCS_64f(in.data(), out.data(), spec, nullptr), 0);
        vpsFFTFree_R_64f(spec);
        Magnitude.resize(n / 2 + 1);
        for (size_t k = 0; k <= n / 2; ++k)
            Magnitude[k] = 4.0 * std::hypot(out[2 * k], out[2 * k + 1]) / double(n);
    }
    // The strongest bin within AWidth Hz of AHz, refined by a parabola through the
    // log magnitudes: its frequency and its (peak bin) level.
    std::pair<double, double> PeakNear(double AHz, double AWidth) const
    {
        const long lo = std::max(1L, long((AHz - AWidth) / BinHz));
        const long hi = std::min(long(Magnitude.size()) - 2, long((AHz + AWidth) / BinHz) + 1);
        long best = lo;
        for (long k = lo; k <= hi; ++k)
            if (Magnitude[size_t(k)] > Magnitude[size_t(best)])
                best = k;
        const double a = std::log(Magnitude[size_t(best - 1)] + 1e-30), b = std::log(Magnitude[size_t(best)] + 1e-30),
                     c = std::log(Magnitude[size_t(best + 1)] + 1e-30);
        const double d = a - 2 * b + c == 0 ? 0 : 0.5 * (a - c) / (a - 2 * b + c);
        return {(double(best) + d) * BinHz, Magnitude[size_t(best)]};
    }
    // Energy outside the given tones (each +-AWidth Hz), as a fraction of all energy.
    double ResidualOutside(const std::vector<double>& ATones, double AWidth) const
    {
        double all = 0, rest = 0;
        for (size_t k = 1; k < Magnitude.size(); ++k) {
            const double e = Magnitude[k] * Magnitude[k], f = double(k) * BinHz;
            all += e;
            bool near = false;
            for (double t : ATones)
                near |= std::fabs(f - t) <= AWidth;
            if (!near)
                rest += e;
        }
        return all > 0 ? rest / all : 0;
    }
};

// One past the last sample whose magnitude exceeds ALevel (0 when none does).
inline size_t LastSound(const std::vector<float>& x, float ALevel = 1e-4f)
{
    size_t i = x.size();
    while (i > 0 && std::fabs(x[i - 1]) < ALevel)
        --i;
    return i;
}

}  // namespace dcs::apptest
