// One second of an Auto session: the countdown, the time display, the zone's schedule
// rules for that second, the cycle restarts at 20:00 and 10:00, and the end at 00:00.
#pragma once

#include "app/SessionCountdown.h"
#include "app/SessionViews.h"
#include "app/ZoneSchedules.h"

#include <cstdint>
#include <functional>

namespace dcs {

// The Auto generator as the schedules see it.
class IToneView {
public:
    virtual ~IToneView() = default;
    virtual void SetFrequency(double AValue) = 0;
    virtual void SetAmplitude(int32_t AValue) = 0;
};

struct TAutoScheduleView {
    IToneView* Tone = nullptr;
    ILedView* Time = nullptr;
    std::function<void()> Stop;  // the Auto Stop, run at 00:00 before the message
};

extern const char* const AutoFinishedText;
extern const char* const SessionFinishedCaption;

// GUI thread (a zone timer's tick). A countdown fresh from Reset and ACycleMinute 10
// make the first tick apply the cycle's (9, 59) rules. At 00:00 the Stop runs, then
// the message box is shown.
void AutoScheduleTick(TAutoZone AZone, SessionCountdown& ACountdown, int32_t& ACycleMinute,
                      const TAutoScheduleView& AView);

}  // namespace dcs
