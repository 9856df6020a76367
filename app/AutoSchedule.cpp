#include "app/AutoSchedule.h"

#include "platform/controls/Dialogs.h"

namespace dcs {

const char* const AutoFinishedText = "Your Vibration Session has completed...";
const char* const SessionFinishedCaption = "Dorvaquent Session Finished";

void AutoScheduleTick(TAutoZone AZone, SessionCountdown& ACountdown, int32_t& ACycleMinute,
                      const TAutoScheduleView& AView)
{
    if (ACountdown.Tick == 60)
        --ACycleMinute;
    ACountdown.Step();
    const int32_t second = ACountdown.Seconds % 60;
    if (AView.Time)
        AView.Time->SetValue(ACountdown.LedValue());
    for (const TZoneRule& rule : ZoneSchedule(AZone)) {
        if (rule.CycleMinute != ACycleMinute || rule.Second != second)
            continue;
        if (rule.Frequency != 0)
            AView.Tone->SetFrequency(rule.Frequency);
        if (rule.Amplitude >= 0)
            AView.Tone->SetAmplitude(rule.Amplitude);
    }
    if ((ACountdown.Minutes == 10 || ACountdown.Minutes == 20) && second == 0)
        ACycleMinute = 10;
    if (ACountdown.Minutes == 0 && second == 0) {
        if (AView.Stop)
            AView.Stop();
        MessageBoxW(0, AutoFinishedText, SessionFinishedCaption, MB_OK);
    }
}

}  // namespace dcs
