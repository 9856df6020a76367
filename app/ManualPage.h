// The Manual page: one steady tone whose frequency and plate intensity follow their
// sliders at once, Start with its fade-in, Stop, the time slider and the countdown.
//
// GUI thread only; the audio objects take their own locks.
#pragma once

#include "app/SessionCountdown.h"
#include "app/SessionViews.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUSignalGen.h"
#include "platform/win/Timer.h"

#include <cstdint>
#include <functional>

namespace dcs {

extern const char* const ManualFinishedText;

struct TManualAudio {
    TAUSignalGen* SgmL = nullptr;
    TAUAudioOut* OutMan = nullptr;
};

struct TManualPageView {
    ISliderView* Plate = nullptr;
    ISliderView* Time = nullptr;
    ILedView* FrequencyLed = nullptr;
    ILedView* PlateLed = nullptr;
    ILedView* TimeLed = nullptr;
    TTimer* Timer = nullptr;
    std::function<void(bool)> SetAutoTabEnabled;
};

// The plate intensity's amplitude: position × 40, truncated (50 gives 2000).
int32_t ManualAmplitude(double APlatePosition);

class TManualPage {
public:
    TManualPage(TManualAudio AAudio, TManualPageView AView, SessionCountdown& ACountdown, bool& ASessionRunning);

    // Fades in (blocking, at least 2 s) to the amplitude the plate slider shows.
    void StartClick();
    void StopClick();
    void FrequencyChanged(double APosition);
    void PlateChanged(double APosition);
    void TimeChanged(double APosition);
    // At 00:00 the page stops and "Your Manual session has been completed..." is shown.
    void TimerTick();

private:
    void ResetCountdown();

    TManualAudio FAudio;
    TManualPageView FView;
    SessionCountdown& FCountdown;
    bool& FSessionRunning;
};

}  // namespace dcs
