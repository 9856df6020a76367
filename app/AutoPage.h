// The Auto page: the body zone and intensity choices, Start with its fade-in, Stop, the
// time slider, and the zone timers' ticks that run the chosen zone's schedule.
//
// GUI thread only; the audio objects take their own locks.
#pragma once

#include "app/AutoSchedule.h"
#include "app/SessionCountdown.h"
#include "app/SessionViews.h"
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUSignalGen.h"
#include "platform/win/Timer.h"

#include <array>
#include <functional>
#include <string>

namespace dcs {

// The intensity toggles in caption order and their mixer coefficients.
enum TIntensity : int {
    inUltra,
    inHigh,
    inMedium,
    inLow
};
constexpr int IntensityCount = 4;
extern const std::array<double, IntensityCount> IntensityCoefficients;

struct TAutoAudio {
    TAUSignalGen* SgSX = nullptr;
    TAUAudioMixer* MixSX = nullptr;
    TAUAudioOut* OutSX = nullptr;
};

struct TAutoPageView {
    ISliderView* Time = nullptr;
    ILedView* TimeLed = nullptr;
    std::array<IToggleView*, IntensityCount> Intensity {};
    std::array<TTimer*, AutoZoneCount> ZoneTimers {};  // by TAutoZone
    std::function<void(bool)> SetManualTabEnabled;
    // Loads a picture file of the data folder into the image of the zone (head, body or
    // legs); a file that cannot be loaded leaves the image as it was.
    std::function<void(TAutoZone, const std::string&)> LoadPicture;
};

// The window's members the page shares with the rest of the window.
struct TAutoPageState {
    std::array<bool, AutoZoneCount>& AutoZone;
    SessionCountdown& Countdown;
    int32_t& CycleMinute;
    bool& SessionRunning;
};

class TAutoPage {
public:
    TAutoPage(TAutoAudio AAudio, TAutoPageView AView, TAutoPageState AState);

    // Plays 33.3 Hz faded in to 2000 over 2000 one-millisecond sleeps (blocking), then
    // leaves the chosen zone's timer to run the schedule. With no zone chosen it does
    // nothing; a Start while running restarts the session on one timer only.
    void StartClick();
    void StopClick();
    void TimeChanged(double APosition);
    // Head, body or legs tapped: chosen alone, or tapped off so that none is chosen.
    void ZoneTap(TAutoZone AZone);
    // The right swipe: whole body.
    void WholeBody();
    // The toggle has already flipped its Down.
    void IntensityClick(TIntensity AIntensity);
    // 0..3 apply the intensity table; any other value changes nothing.
    void IntensitySelected(double AValue);
    void TimerTick(TAutoZone AZone);

private:
    void ResetCountdown();

    TAutoAudio FAudio;
    TAutoPageView FView;
    TAutoPageState FState;
};

}  // namespace dcs
