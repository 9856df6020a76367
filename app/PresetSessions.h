// The preset sessions of the Essentials, Sports and Medical pages: the 46 toggles that
// start and stop preset players, each page's Stop, the streaming labels, the four
// 1-second countdowns with the resonance hand-over of the last minute, and the page
// sliders that set the session time and the plate and audio gains.
//
// Several toggles may share one preset index (the three "Muscle Pain" toggles share 51):
// the index's player is made by the first toggle that holds it and deleted when the
// last one lets go, so one page's release never silences another page's preset.
//
// Everything here runs on the GUI thread (handlers and timer ticks); the audio objects
// it drives take their own locks.
#pragma once

#include "app/PresetPlayer.h"
#include "app/PresetToggles.h"
#include "app/SessionCountdown.h"
#include "app/SessionViews.h"
#include "components/audio/AUAudioOut.h"
#include "platform/win/Timer.h"

#include <array>
#include <string>

namespace dcs {

// The audio objects of the window that sessions drive.
struct TSessionAudio {
    TAUAudioMixer* MixLeft = nullptr;   // 52 preset inputs: the plate drive
    TAUAudioMixer* MixRight = nullptr;  // 52 preset inputs: the audio signal
    TAUAudioOut* Out1 = nullptr;        // pain relief, silenced in a session's last minute
    TAUAudioOut* OutDR = nullptr;       // the resonance output of the last minute
    TAUSignalGen* Sg338 = nullptr;      // its 33.8 Hz tone, faded by 16 a second
};

// The controls of one preset page.
struct TPresetPageView {
    ILedView* Time = nullptr;
    ILedView* Plate = nullptr;
    ILedView* Audio = nullptr;
    ILabelView* Streaming = nullptr;
    ISliderView* SetTime = nullptr;
};

extern const std::array<const char*, PresetPageCount> StreamingTexts;
extern const char* const ResonanceText;

class TPresetSessions {
public:
    TPresetSessions(TSessionAudio AAudio, const TFrequencyTable& ATable);
    // Deletes every player still running (the window is going).
    ~TPresetSessions();
    TPresetSessions(const TPresetSessions&) = delete;
    TPresetSessions& operator=(const TPresetSessions&) = delete;

    void BindToggle(int ARow, IToggleView* AToggle) { FToggles.at(size_t(ARow)) = AToggle; }
    void BindPage(TPresetPage APage, const TPresetPageView& AView) { FPages.at(size_t(APage)) = AView; }
    void BindTimer(TSessionTimer ATimer, TTimer* ATimerComponent) { FTimers.at(size_t(ATimer)) = ATimerComponent; }

    // The toggle of row ARow of PresetToggles was clicked; its Down is already the new
    // state. Pressed: holds its index (a player is made for the first holder) and starts
    // the page timer. Released: lets go (the last holder's player is stopped and deleted).
    void ToggleClick(int ARow);
    // Ends the page's session: labels, resonance and pain-relief outputs, its timers and
    // countdowns reset from its set-time slider, and every toggle of the page released.
    void StopClick(TPresetPage APage);
    // One second of timer ATimer; at zero the page stops and "Dorvaquent Session
    // Finished" is reported in a message box.
    void TimerTick(TSessionTimer ATimer);
    void UpdateStreamingLabels();

    // The sliders: a set-time change stops the page and shows the new time; a plate or
    // audio change sets the gain of all 52 inputs of the left or right output mixer.
    void SetTimeChanging(TPresetPage APage, double APosition);
    void SetTimeChanged(TPresetPage APage, double APosition);
    void PlateChanging(TPresetPage APage, double APosition);
    void PlateChanged(TPresetPage APage, double APosition);
    void AudioChanging(TPresetPage APage, double APosition);
    void AudioChanged(TPresetPage APage, double APosition);

    // Deletes every running player without touching toggles or flags (shut-down).
    void DeleteAllPlayers();

    // Countdowns of the four timers (the Essentials "Muscle Pain" one first) and the
    // flag of the Auto and Manual pages, which every preset Stop clears.
    std::array<SessionCountdown, SessionTimerCount> Countdowns {};
    bool SessionRunning = false;
    // The preset index is playing.
    std::array<bool, PresetCount> Selected {};
    int Holders(int AIndex) const { return FHolders.at(size_t(AIndex)); }

private:
    void Hold(int ARow);
    void LetGo(int ARow);
    bool PageHasOtherHolder(TPresetPage APage, int AExceptRow) const;
    void SetGains(TAUAudioMixer* AMixer, double APosition);
    void ShowLed(ILedView* ALed, double AValue);

    TSessionAudio FAudio;
    const TFrequencyTable& FTable;
    std::array<IToggleView*, PresetToggleCount> FToggles {};
    std::array<bool, PresetToggleCount> FHolding {};
    std::array<int, PresetCount> FHolders {};
    std::array<TPresetPageView, PresetPageCount> FPages {};
    std::array<TTimer*, SessionTimerCount> FTimers {};
};

}  // namespace dcs
