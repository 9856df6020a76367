// The countdown of a timed session, ticked once a second: seconds left, whole minutes
// left, and the ticks since the last minute boundary (60: a boundary is due next tick).
#pragma once

#include <cstdint>

namespace dcs {

struct SessionCountdown {
    int32_t Seconds = 0;
    int32_t Minutes = 0;
    int32_t Tick = 0;

    // A fresh countdown of AMinutes (a slider position in minutes, cut toward zero).
    void Reset(double AMinutes)
    {
        Seconds = int32_t(AMinutes * 60);
        Minutes = int32_t(AMinutes);
        Tick = 60;
    }
    // One second less; the minutes drop on the first tick and every 60th after it.
    void Step()
    {
        --Seconds;
        if (Tick == 60) {
            --Minutes;
            Tick = 0;
        }
        ++Tick;
    }
    // What a time LED of format "00:00" shows: minutes and seconds as mm·100 + ss.
    int32_t LedValue() const { return Seconds % 60 + 100 * Minutes; }
    bool LastMinute() const { return Minutes == 0 && Seconds < 60; }
    bool Ended() const { return Minutes == 0 && Seconds == 0; }
};

}  // namespace dcs
