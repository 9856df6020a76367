// The preset graph at scale: N preset chains (19 tone generators -> stereo 24-bit 22050 Hz
// mixer -> channel splitter -> input p of mixLeft and mixRight at 0.5 -> the two players)
// play on the recorded device, and for each N the program prints
//   cores    CPU time (user + sys) per second of audio played
//   x sin    that cost over a plain std::sin loop making the same samples in this run
//   threads, wake-ups per second (voluntary context switches), peak memory
//   build and teardown time of the N players, audio seconds per wall second
//   the mixers' dropped frames and the players' underruns
//   the level of every tone of the checked preset on both players (a DFT of the recording)
//
//   bench_audio_scale [--chains=1,10,46,52] [--seconds=10] [--check=<slot>]
//                     [--competitor=<seconds>] [--staggered=<ms>]
// --competitor starts a process that spins on the same cores for that many seconds in
// the middle of the play (run under `taskset -c 0` to share one core) and prints the
// timeline and how long the audio took to come back to real time afterwards.
// --staggered starts the presets one at a time, that many ms apart, while the others play.
#include "testing/PresetChains.h"

#include "platform/threads/Thread.h"
#include "platform/waveout/WaveOut.h"
#include "platform/win/Messages.h"

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace dcs;
using namespace dcs::presets;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double ProcessCpu()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * double(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

long VoluntarySwitches()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_nvcsw;
}

double ThreadCpu()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

int Threads()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            n += e->d_name[0] != '.';
        closedir(d);
    }
    return n;
}

// kB of /proc/self/status's field.
long StatusKb(const char* AField)
{
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return 0;
    char line[256];
    long kb = 0;
    const size_t n = std::strlen(AField);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, AField, n) == 0 && line[n] == ':')
            kb = std::atol(line + n + 1);
    std::fclose(f);
    return kb;
}

// Starts a new peak of the resident set (the kernel's VmHWM).
void ResetPeakMemory()
{
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// Runs the hand-overs to the main thread and the pool's trimming timer while waiting.
void PumpFor(double ASeconds)
{
    const auto end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(ASeconds));
    while (Clock::now() < end) {
        TMsg msg;
        while (PeekMessage(msg, true))
            DispatchMessage(msg);
        Sleep(5);
    }
}

// CPU seconds a plain std::sin loop takes to make one second of ATones tones at kRate in
// 16-bit buffers of 1024, as the generators do.
double SinBaseline(int ATones)
{
    std::vector<int16_t> buffer(1024);
    std::vector<double> phase(size_t(ATones), 0.0);
    long sink = 0;
    const double start = ThreadCpu();
    const int periods = int(std::ceil(kRate / 1024.0));
    for (int period = 0; period < periods; ++period)
        for (int t = 0; t < ATones; ++t) {
            const double w = 2 * M_PI * (50.0 + 5.0 * t) / kRate;
            double p = phase[size_t(t)];
            for (int16_t& s : buffer) {
                s = int16_t(std::lround(kToneAmplitude * std::sin(p)));
                p += w;
            }
            phase[size_t(t)] = std::fmod(p, 2 * M_PI);
            sink += buffer[size_t(t) % buffer.size()];
        }
    const double spent = ThreadCpu() - start;
    if (sink == 42)
        std::puts("");
    return spent * kRate / (periods * 1024.0);
}

struct Options {
    std::vector<int> Chains {1, 10, 46, 52};
    double Play = 10.0;
    int Check = -1;  // the last chain's slot
    double Competitor = 0.0;
    int StaggeredMs = -1;
};

Options Parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string p = std::string("--") + name + "=";
            if (a.rfind(p, 0) == 0)
                return a.substr(p.size());
            return std::nullopt;
        };
        if (auto v = value("chains")) {
            o.Chains.clear();
            std::stringstream s(*v);
            for (std::string item; std::getline(s, item, ',');)
                o.Chains.push_back(std::clamp(std::atoi(item.c_str()), 1, kSlots));
        } else if (auto v = value("seconds")) {
            o.Play = std::max(1.0, std::atof(v->c_str()));
        } else if (auto v = value("check")) {
            o.Check = std::clamp(std::atoi(v->c_str()), 0, kSlots - 1);
        } else if (auto v = value("competitor")) {
            o.Competitor = std::atof(v->c_str());
        } else if (auto v = value("staggered")) {
            o.StaggeredMs = std::max(0, std::atoi(v->c_str()));
        } else {
            std::fprintf(stderr, "unknown argument %s\n", a.c_str());
            std::exit(2);
        }
    }
    return o;
}

// A process that spins on whatever cores this one may use, for ASeconds.
pid_t StartCompetitor(double ASeconds)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const auto end =
            Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(ASeconds));
        volatile unsigned long spin = 0;
        while (Clock::now() < end)
            for (int i = 0; i < 100000; ++i)
                spin = spin + 1;
        _exit(0);
    }
    return pid;
}

double AudioSeconds(TAUAudioOut* AOut) { return double(AOut->CompletedBlocks()) * 4096.0 / kRate; }

void Run(const Options& AOptions, int AChains, double ASinPerChain)
{
    const fs::path dir =
        fs::temp_directory_path() / ("dcs-scale-" + std::to_string(::getpid()) + "-" + std::to_string(AChains));
    fs::create_directories(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    ResetPeakMemory();
    const int check = AOptions.Check >= 0 ? std::min(AOptions.Check, AChains - 1) : AChains - 1;

    double build = 0, teardown = 0, cores = 0, realTime = 0, wakeups = 0;
    int threads = 0;
    uint64_t dropped = 0, underruns = 0;
    {
        Outputs outputs;
        std::vector<std::unique_ptr<Chain>> chains;
        const auto b0 = Clock::now();
        const double bc0 = ThreadCpu();
        for (int p = 0; p < AChains; ++p) {
            chains.push_back(std::make_unique<Chain>(outputs, p));
            if (AOptions.StaggeredMs >= 0)
                PumpFor(AOptions.StaggeredMs / 1000.0);
        }
        build = Seconds(Clock::now() - b0);
        std::fprintf(stderr, "build main-thread cpu %.3f s\n", ThreadCpu() - bc0);
        // The players' prefill (800 ms) and the first blocks.
        PumpFor(1.5);

        const double cpu0 = ProcessCpu();
        const long sw0 = VoluntarySwitches();
        const double a0 = AudioSeconds(outputs.outLeft.get());
        const auto w0 = Clock::now();
        pid_t competitor = 0;
        const double competitorFrom = std::max(0.0, (AOptions.Play - AOptions.Competitor) / 2);
        double competitorEnd = -1, lastBehind = -1;
        double previousAudio = a0;
        std::vector<double> audioAt {a0};  // audio played at each step
        const double step = 0.5;
        if (AOptions.Competitor > 0)
            std::printf("  t(s)  audio/wall  rss(MB)  underruns\n");
        for (double t = step; t <= AOptions.Play + 1e-9; t += step) {
            if (AOptions.Competitor > 0 && !competitor && t - step >= competitorFrom) {
                competitor = StartCompetitor(AOptions.Competitor);
                competitorEnd = t - step + AOptions.Competitor;
            }
            PumpFor(step);
            threads = std::max(threads, Threads());
            const double audio = AudioSeconds(outputs.outLeft.get());
            const double rate = (audio - previousAudio) / step;
            previousAudio = audio;
            audioAt.push_back(audio);
            if (AOptions.Competitor > 0) {
                std::printf("  %4.1f  %10.2f  %7.1f  %9llu\n", t, rate, StatusKb("VmRSS") / 1024.0,
                            static_cast<unsigned long long>(outputs.outLeft->Underruns()));
                // Real time again: every second from then on played at least 90 % of its
                // length (a block is 186 ms, so a half second is too short to tell).
                if (audioAt.size() > 2 && audio - audioAt[audioAt.size() - 3] < 0.9 * 2 * step)
                    lastBehind = t;
            }
        }
        const double wall = Seconds(Clock::now() - w0);
        const double audio = AudioSeconds(outputs.outLeft.get()) - a0;
        cores = (ProcessCpu() - cpu0) / std::max(audio, 1e-9);
        realTime = audio / wall;
        wakeups = double(VoluntarySwitches() - sw0) / wall;
        if (competitor) {
            kill(competitor, SIGKILL);
            waitpid(competitor, nullptr, 0);
            const double back = lastBehind > competitorEnd ? lastBehind - competitorEnd : 0.0;
            std::printf("  competitor %.1f s to %.1f s; back to real time %.1f s after it ended%s\n", competitorFrom,
                        competitorEnd, back, lastBehind > AOptions.Play - step ? " (not within the run)" : "");
        }

        dropped = outputs.mixLeft->DroppedFrames() + outputs.mixRight->DroppedFrames();
        for (const auto& c : chains)
            dropped += c->Mixer()->DroppedFrames();
        underruns = outputs.outLeft->Underruns() + outputs.outRight->Underruns();

        const auto t0 = Clock::now();
        const double c0 = ThreadCpu();
        chains.clear();
        teardown = Seconds(Clock::now() - t0);
        std::fprintf(stderr, "teardown main-thread cpu %.3f s\n", ThreadCpu() - c0);
    }
    const double peakMb = StatusKb("VmHWM") / 1024.0;

    // The checked preset's tones on both players, one second from the middle of the play.
    std::vector<double> freqs;
    for (int i = 0; i < kTones; ++i)
        freqs.push_back(ToneFrequency(check, i));
    double worst = 1.0, best = 1.0;
    int sides = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().rfind("out-", 0) != 0)
            continue;
        uint32_t mask = 0;
        const std::vector<float> played = ReadRecorded24(e.path(), mask);
        const size_t from = FirstSound(played) + size_t(kRate * (1.5 + AOptions.Play / 2));
        ++sides;
        for (double a :
             ToneAmplitudes(played, std::min(from, played.size() - std::min(played.size(), size_t(kRate))), freqs)) {
            worst = std::min(worst, a / ToneLevel());
            best = std::max(best, a / ToneLevel());
        }
    }
    fs::remove_all(dir);

    std::printf("%6d %8.4f %7.2f %7d %9.0f %8.1f %8.3f %8.3f %7.3f %9llu %9llu   %5.3f..%5.3f (%d sides)\n", AChains,
                cores, cores / (ASinPerChain * AChains), threads, wakeups, peakMb, build, teardown, realTime,
                static_cast<unsigned long long>(dropped), static_cast<unsigned long long>(underruns), worst, best,
                sides);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = Parse(argc, argv);
    if (!WaveOutSelectBackend("recorded")) {
        std::fprintf(stderr, "the recorded device is not available\n");
        return 1;
    }
    const double sinPerChain = SinBaseline(kTones);
    double load[3] = {0, 0, 0};
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3)
            load[0] = -1;
        std::fclose(f);
    }
    std::printf("std::sin baseline: %.5f cores per chain (19 tones at %u Hz); load average %.2f; %.0f s played per N\n",
                sinPerChain, kRate, load[0], options.Play);
    std::printf("%6s %8s %7s %7s %9s %8s %8s %8s %7s %9s %9s   %s\n", "chains", "cores", "x sin", "threads",
                "wakeups/s", "peak MB", "build s", "tear s", "rt", "dropped", "underruns", "tone level / expected");
    for (int n : options.Chains)
        Run(options, n, sinPerChain);
    return 0;
}
