#include "components/audio/SGClockGen.h"

#include "platform/mmtimer/MMTimer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

namespace dcs {
namespace {

struct ClockDeleter {
    void operator()(TSGClockGen* c) const { delete c; }
};
using ClockPtr = std::unique_ptr<TSGClockGen, ClockDeleter>;

ClockPtr MakeClock(int64_t interval, std::atomic<int>& count, const TComponent* owner = nullptr)
{
    return ClockPtr(TSGClockGen::Create(owner, interval, [&count] { count.fetch_add(1); }));
}

TEST(ClockInterval, RoundsTiesToEvenAndRefusesZero)
{
    struct {
        uint32_t rate, size;
        int64_t generator, mixer;
    } table[] = {
        {44100, 1024, 232200, 232200},
        {22050, 1024, 464399, 464399},
        {2, 1, 5000000, 5000000},    // 4999999.5 both ways
        {2, 3, 14999998, 14999998},  // 14999998.5
        {0, 1024, 0, 0},             // no clock without a sample rate
        {44100, 0, 0, 0},
    };
    for (auto c : table) {
        EXPECT_EQ(GeneratorClockInterval(c.rate, c.size), c.generator) << c.rate << "/" << c.size;
        EXPECT_EQ(MixerClockInterval(c.rate, c.size), c.mixer) << c.rate << "/" << c.size;
    }
}

// Tick numbers (1 ms each) after which the clock had released its thread once more.
std::vector<int> ReleaseTicks(TManualMMTimer& timer, std::atomic<int>& count, int ticks)
{
    std::vector<int> at;
    int seen = 0;
    for (int t = 1; t <= ticks; ++t) {
        timer.Tick();
        EXPECT_TRUE(timer.WaitUntilIdle());
        for (; seen < count.load(); ++seen)
            at.push_back(t);
    }
    return at;
}

TEST(ClockGen, ReleasesOncePerBufferPeriodCarryingTheRemainder)
{
    TManualMMTimer timer;
    std::atomic<int> count {0};
    auto clock = MakeClock(232200, count);
    const std::vector<int> expected = {24, 47, 70, 93, 117, 140};
    EXPECT_EQ(ReleaseTicks(timer, count, 140), expected);
}

TEST(ClockGen, ShortIntervalsReleaseSeveralTimesPerTick)
{
    TManualMMTimer timer;
    std::atomic<int> count {0};
    auto clock = MakeClock(3000, count);
    const std::vector<int> expected = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4};
    EXPECT_EQ(ReleaseTicks(timer, count, 4), expected);
}

TEST(ClockGen, TimerRunsWhileAnyClockIsRegistered)
{
    TManualMMTimer timer;
    std::atomic<int> a {0}, b {0}, never {0};
    ASSERT_FALSE(MasterClockRunning());
    EXPECT_EQ(MMTimerCount(), 0);
    auto first = MakeClock(232200, a);
    auto second = MakeClock(100000, b);
    EXPECT_TRUE(MasterClockRunning());
    EXPECT_EQ(MasterClockCount(), 2);
    EXPECT_EQ(MMTimerCount(), 1);

    // Without a sample rate there is no period: such a clock never joins the timer.
    auto idle = MakeClock(GeneratorClockInterval(0, 1024), never);
    EXPECT_EQ(MasterClockCount(), 2);

    first.reset();
    EXPECT_EQ(MMTimerCount(), 1);
    timer.Tick(30);
    EXPECT_TRUE(timer.WaitUntilIdle());
    EXPECT_EQ(b.load(), 2);
    EXPECT_EQ(never.load(), 0);
    second.reset();
    EXPECT_FALSE(MasterClockRunning());
    EXPECT_EQ(MMTimerCount(), 0);

    auto again = MakeClock(5000, a);
    EXPECT_EQ(MMTimerCount(), 1);
    again.reset();
    idle.reset();
    EXPECT_EQ(TSGClockGen::LiveClocks(), 0);
}

TEST(ClockGen, NamedAfterItsOwner)
{
    std::atomic<int> n {0};
    TComponent named(nullptr);
    named.SetName("mix1");
    TComponent unnamed(nullptr);
    auto a = MakeClock(0, n, &named);
    auto b = MakeClock(0, n, &unnamed);
    EXPECT_EQ(a->Name(), "mix1.TSGClockGen");
    EXPECT_EQ(b->Name(), "TComponent.TSGClockGen");
}

TEST(ClockGen, EndsItselfWhenTerminatedFromItsOwnEvent)
{
    TManualMMTimer timer;
    std::atomic<int> runs {0};
    TSGClockGen* clock = nullptr;
    std::atomic<TSGClockGen*> self {nullptr};
    clock = TSGClockGen::Create(nullptr, 5000, [&] {
        runs.fetch_add(1);
        self.load()->Terminate();
    });
    self = clock;
    timer.Tick();
    EXPECT_TRUE(timer.WaitUntilIdle());
    for (int i = 0; i < 500 && TSGClockGen::LiveClocks() > 0; ++i)
        Sleep(2);
    EXPECT_EQ(TSGClockGen::LiveClocks(), 0) << "the clock freed itself";
    EXPECT_EQ(runs.load(), 1);
    EXPECT_FALSE(MasterClockRunning());
}

TEST(ClockGen, KeepsRealTimeRateOnTheRealTimer)
{
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timing under a sanitizer is too loose";
#endif
    // The clock thread stamps each release. On a loaded machine a release may run late,
    // but never early: the earliest releases near the start and near the end of the run
    // show the rate, whatever the lateness of the others and of this thread.
    using Clock = std::chrono::steady_clock;
    constexpr int kReleases = 100, kEdge = 10;
    constexpr int64_t kInterval = 232200;  // 23.22 ms in 100 ns units
    std::array<Clock::time_point, kReleases> at {};
    std::atomic<int> count {0};
    ClockPtr clock(TSGClockGen::Create(nullptr, kInterval, [&] {
        int i = count.load();
        if (i < kReleases)
            at[size_t(i)] = Clock::now();
        count.store(i + 1);
    }));
    const auto giveUp = Clock::now() + std::chrono::seconds(60);
    while (count.load() < kReleases && Clock::now() < giveUp)
        Sleep(20);
    clock.reset();
    ASSERT_GE(count.load(), kReleases);

    const double period = kInterval / 1e4;  // ms
    auto offsetMs = [&](int i) {
        return std::chrono::duration<double, std::milli>(at[size_t(i)] - at[0]).count() - i * period;
    };
    double first = offsetMs(0), last = offsetMs(kReleases - 1);
    for (int i = 0; i < kEdge; ++i) {
        first = std::min(first, offsetMs(i));
        last = std::min(last, offsetMs(kReleases - 1 - i));
    }
    // Without drift both edges sit on the same grid of deadlines; 2 % of the run is the
    // slack (a timer that slept relative to each late tick would drift far more).
    EXPECT_NEAR(last - first, 0.0, 0.02 * kReleases * period)
        << "releases per measured second: "
        << (kReleases - 1) * 1000.0 / (offsetMs(kReleases - 1) + (kReleases - 1) * period);
}

}  // namespace
}  // namespace dcs
