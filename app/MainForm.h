// The main window: its stored layout (timers, form resizer and the whole audio graph
// with its pin links), the start-up that prepares the sessions, the preset sessions'
// handlers bound by name, and the two ways the program ends.
#pragma once

#include "app/AutoPage.h"
#include "app/MainFormPages.h"
#include "app/MainFormSessionPages.h"
#include "app/MainFormZones.h"
#include "app/PresetSessions.h"
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUSignalGen.h"
#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Gestures.h"
#include "platform/win/Timer.h"
#include "ui/resize/FormResizer.h"

#include <array>
#include <memory>
#include <string>

namespace dcs {

class TForm1 : public TForm {
    DCS_CLASS(TForm1, TForm)

    // Reads the stored layout: the components come up linked by their pins' full names
    // and the generators stored enabled start; FormCreate runs afterwards.
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;
    void BeforeDestruction() override;

    // Start-up: folders from the environment, "pre.data" from the current directory,
    // 52 preset inputs at gain 0.5 on each output mixer, the default countdowns.
    void FormCreate(TObject* Sender);
    // Both end the program: every running preset player is deleted, then the
    // application is told to terminate.
    void FormClose(TObject* Sender, TCloseAction& Action);
    void pgExitShow(TObject* Sender);

    // Shows the pain-relief window, modeless; pressed again it stays the one window.
    void btnPainOpenClick(TObject* Sender);

    void tm1Timer(TObject*) { Sessions->TimerTick(stPain); }
    void tmEssTimer(TObject*) { Sessions->TimerTick(stEssentials); }
    void tmSpTimer(TObject*) { Sessions->TimerTick(stSports); }
    void tmMedTimer(TObject*) { Sessions->TimerTick(stMedical); }
    // The right swipe on the body figure: whole body. The image's gesture leaves Handled
    // as it came.
    void Action1Execute(TObject*) { SessionPages.Auto->WholeBody(); }
    void imSXBodyGesture(TObject*, const TGestureEventInfo&, bool&) { SessionPages.Auto->WholeBody(); }

    // Timers.
    TTimer* tm1 = nullptr;
    TTimer* tmEss = nullptr;
    TTimer* tmSp = nullptr;
    TTimer* tmMed = nullptr;
    TTimer* tmMan = nullptr;
    TTimer* tmWB = nullptr;
    TTimer* tmUB = nullptr;
    TTimer* tmCore = nullptr;
    TTimer* tmLB = nullptr;
    TFormResizer* FormResizer1 = nullptr;
    TAction* Action1 = nullptr;
    TGestureManager* GestureManager1 = nullptr;
    // The audio objects the handlers drive.
    TAUSignalGen* sg338 = nullptr;
    TAUSignalGen* sgSX = nullptr;
    TAUAudioMixer* mixer = nullptr;
    TAUAudioMixer* mixerRD = nullptr;
    TAUAudioMixer* mixSX = nullptr;
    TAUAudioMixer* mixMan = nullptr;
    TAUAudioMixer* mixLeft = nullptr;
    TAUAudioMixer* mixRight = nullptr;
    TAUAudioOut* out1 = nullptr;
    TAUAudioOut* outDR = nullptr;
    TAUAudioOut* outSX = nullptr;
    TAUAudioOut* outMan = nullptr;
    TAUAudioOut* outLeft = nullptr;
    TAUAudioOut* outRight = nullptr;

    // The window's own members. The preset countdowns, the Selected flags and
    // SessionRunning live in Sessions.
    SessionCountdown AutoCountdown;
    SessionCountdown ManualCountdown;
    TFrequencyTable FrequencyTable {};
    std::array<bool, 4> AutoZone {};  // head, body, legs, whole body
    double BaseAmplitude = 0.0;
    int32_t CycleMinute = 0;
    std::string PresetName;
    std::string DataFolder;
    std::string ProgramFilesFolder;
    std::array<double, 20> PresetFrequencies {};
    bool SecondCompanionInMakerFolder = false;
    std::unique_ptr<TPresetSessions> Sessions;
    // The pager, its pages and the preset pages' controls.
    TMainPages Pages;
    // The Auto page's body figure, and the Auto, Manual and About pages' controls with
    // the two sessions behind them.
    TZonePanel Zones;
    TSessionPages SessionPages;

private:
    template <class T> T* Find(const char* AName);
    template <class T> void FreeComponentsOf();
    void ShutDown();
};

extern TForm1* Form1;

// The program's main routine: the application object, the main window, the message
// loop; an exception that escapes is shown and the routine still answers 0.
int RunProgram();

}  // namespace dcs
