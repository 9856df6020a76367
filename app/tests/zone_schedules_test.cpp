// The Auto page's zone schedules walked second by second through whole sessions, against
// a transcription of the schedules kept in data/zone_schedules.csv.
#include "app/AutoSchedule.h"
#include "platform/controls/Dialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace dcs {
namespace {

// Writes and events in the order they happen: "F21", "A1200", "stop", "box: ...".
struct Log : IToneView, ILedView {
    std::vector<std::string> Events;
    double Led = -1;
    void SetFrequency(double AValue) override { Events.push_back("F" + std::to_string(int(AValue))); }
    void SetAmplitude(int32_t AValue) override { Events.push_back("A" + std::to_string(AValue)); }
    double Value() const override { return Led; }
    void SetValue(double AValue) override { Led = AValue; }
};

// (zone, cycle minute, second) -> the writes its rules make, in order.
using Expected = std::map<std::tuple<std::string, int, int>, std::vector<std::string>>;

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

Expected ReadTranscription()
{
    const auto path = std::filesystem::path(__FILE__).parent_path() / "data" / "zone_schedules.csv";
    std::ifstream in(path);
    EXPECT_TRUE(in) << path;
    Expected table;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream row(line);
        std::string zone, minute, rules;
        std::getline(row, zone, ';');
        std::getline(row, minute, ';');
        std::getline(row, rules);
        std::istringstream entries(rules);
        std::string entry;
        while (std::getline(entries, entry, '|')) {
            const auto colon = entry.find(':');
            const int second = std::stoi(entry.substr(0, colon));
            auto& writes = table[{zone, std::stoi(minute), second}];
            std::istringstream values(entry.substr(colon + 1));
            std::string value;
            while (std::getline(values, value, ',')) {
                value = Trim(value);
                if (value.ends_with("Hz"))
                    writes.push_back("F" + Trim(value.substr(0, value.size() - 2)));
                else
                    writes.push_back("A" + value);
            }
        }
    }
    return table;
}

struct ZoneCase {
    TAutoZone Zone;
    const char* Name;
};

class ZoneWalk : public ::testing::TestWithParam<ZoneCase> {
protected:
    void SetUp() override
    {
        SetMessageBoxHook([this](HWND, const std::string& Text, const std::string& Caption, UINT) {
            Tone.Events.push_back("box " + Caption + ": " + Text);
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHook(nullptr); }
    Log Tone;
};

// Every second of a 10-, 20- and 30-minute session: the writes of that second's rules
// in table order, the display, the restarts every 10 minutes, and the end at 00:00.
TEST_P(ZoneWalk, WholeSessionsFollowTheTranscribedSchedule)
{
    static const Expected table = ReadTranscription();
    ASSERT_FALSE(table.empty());
    for (int length : {10, 20, 30}) {
        SessionCountdown countdown;
        countdown.Reset(length);
        int32_t cycleMinute = 10;
        int stops = 0;
        const TAutoScheduleView view {&Tone, &Tone, [&] {
                                          ++stops;
                                          Tone.Events.push_back("stop");
                                      }};
        const int total = length * 60;
        for (int t = 1; t <= total; ++t) {
            Tone.Events.clear();
            AutoScheduleTick(GetParam().Zone, countdown, cycleMinute, view);
            const int intoCycle = (t - 1) % 600;  // seconds already played in this cycle
            const int minute = 9 - intoCycle / 60;
            const int secondsLeft = total - t;
            const int second = secondsLeft % 60;
            std::vector<std::string> want;
            if (auto it = table.find({GetParam().Name, minute, second}); it != table.end())
                want = it->second;
            if (t == total) {
                want.push_back("stop");
                want.push_back("box Dorvaquent Session Finished: Your Vibration Session has completed...");
            }
            ASSERT_EQ(Tone.Events, want) << length << " min, second " << t;
            const int minutesLeft = length - 1 - (t - 1) / 60;
            ASSERT_EQ(Tone.Led, minutesLeft * 100 + second) << length << " min, second " << t;
        }
        EXPECT_EQ(stops, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, ZoneWalk,
                         ::testing::Values(ZoneCase {azWholeBody, "whole_body"}, ZoneCase {azHead, "upper_body"},
                                           ZoneCase {azBody, "core"}, ZoneCase {azLegs, "lower_body"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(AmplitudeLevels, AreTheProductTruncatedInExtendedPrecision)
{
    static_assert(sizeof(long double) > sizeof(double), "extended precision is the x87 format");
    for (const TAmplitudeLevel& level : AmplitudeLevels) {
        const long double product = static_cast<long double>(level.Factor) * 3000.0L;
        EXPECT_EQ(level.Value, int32_t(std::trunc(product + level.Offset))) << level.Factor << " + " << level.Offset;
    }
    // A double product would round these three up to the exact value.
    for (double factor : {0.3, 0.6, 0.7})
        EXPECT_EQ(int32_t(factor * 3000.0), int32_t(std::round(factor * 3000.0)));
}

TEST(AmplitudeLevels, AreTheOnlyAmplitudesTheSchedulesWrite)
{
    for (TAutoZone zone : {azHead, azBody, azLegs, azWholeBody})
        for (const TZoneRule& rule : ZoneSchedule(zone)) {
            if (rule.Amplitude < 0)
                continue;
            bool known = false;
            for (const TAmplitudeLevel& level : AmplitudeLevels)
                known = known || level.Value == rule.Amplitude;
            EXPECT_TRUE(known) << zone << ": " << rule.Amplitude;
        }
}

}  // namespace
}  // namespace dcs
