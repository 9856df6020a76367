// The pain-relief window "Body Pain": tapping head, body and legs in any combination
// (re)starts the built-in pain preset of that combination on the main window's twenty
// generator pairs and its output out1, for a session timed by its own countdown. The
// session goes on while the window is hidden.
//
// GUI thread only; the generators and the output take their own locks.
#pragma once

#include "app/SessionCountdown.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/win/Timer.h"
#include "ui/controls/SmoothButton.h"
#include "ui/controls/SmoothLedLabel.h"
#include "ui/controls/SmoothTrackBar.h"
#include "ui/resize/FormResizer.h"

#include <array>
#include <optional>

namespace dcs {

class TForm1;
namespace smooth {
class TSmoothPanel;
}

enum TPainZone : int {
    pzHead,
    pzBody,
    pzLegs
};
constexpr int PainZoneCount = 3;
using TPainZones = std::array<bool, PainZoneCount>;

// The built-in preset of a zone combination (7 to 13); none when no zone is on.
std::optional<uint32_t> PainPresetFor(const TPainZones& AZones);

extern const char* const PainFinishedText;
extern const char* const PainFinishedCaption;

class TForm2 : public TForm {
    DCS_CLASS(TForm2, TForm)

    // Reads the stored window (timer and form resizer), then FormCreate builds the
    // controls. Drives the main window in the global Form1, which must exist first.
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;

    // The zones off and their pictures, best-effort; the sliders' levels applied to the
    // generator pairs so that what plays matches the LEDs.
    void FormCreate(TObject* Sender);
    void imHeadClick(TObject*) { ZoneTap(pzHead); }
    void imBodyClick(TObject*) { ZoneTap(pzBody); }
    void imLegsClick(TObject*) { ZoneTap(pzLegs); }
    // Stops a running session first; with no zone on nothing starts.
    void btnBodyPainStartClick(TObject* Sender);
    void btnPainStopClick(TObject* Sender);
    // Hides the window; a running session goes on.
    void btnHomeClick(TObject* Sender);
    void tbSetTimePainPositionChanging(TObject* Sender, double APosition);
    void tbSetTimePainPositionChanged(TObject* Sender, double APosition)
    {
        tbSetTimePainPositionChanging(Sender, APosition);
    }
    // Plate: sg1..sg20, audio: sgr1..sgr20, each at position × 10.
    void tbPlatePainPositionChanging(TObject* Sender, double APosition);
    void tbAudioPainPositionChanging(TObject* Sender, double APosition);
    // Only the LEDs; a click beside the thumb leaves the amplitudes as they were.
    void tbPlatePainPositionChanged(TObject* Sender, double APosition);
    void tbAudioPainPositionChanged(TObject* Sender, double APosition);
    void tbPlatePositionChanged(TObject* Sender, double APosition) { tbPlatePainPositionChanged(Sender, APosition); }
    // One second of the countdown; at 00:00 the session stops and the message is shown.
    void tmBTimer(TObject* Sender);

    TImage* imHead = nullptr;
    TImage* imBody = nullptr;
    TImage* imLegs = nullptr;
    TLabel* lblBodySelect = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label4 = nullptr;
    smooth::TSmoothTrackBar* tbSetTimePain = nullptr;
    TLabel* Label1 = nullptr;
    smooth::TSmoothLedLabel* ledTimePain = nullptr;
    smooth::TSmoothTrackBar* tbPlatePain = nullptr;
    TLabel* Label2 = nullptr;
    smooth::TSmoothLedLabel* ledPlatePain = nullptr;
    smooth::TSmoothTrackBar* tbAudioPain = nullptr;
    TLabel* Label3 = nullptr;
    smooth::TSmoothLedLabel* ledAudioPain = nullptr;
    smooth::TSmoothButton* btnBodyPainStart = nullptr;
    smooth::TSmoothButton* btnPainStop = nullptr;
    smooth::TSmoothButton* btnHome = nullptr;
    smooth::TSmoothPanel* SmoothPanel1 = nullptr;
    TFormResizer* FormResizer1 = nullptr;
    TTimer* tmB = nullptr;

    TPainZones PainZone {};
    SessionCountdown Countdown;
    bool PainSessionRunning = false;

private:
    void BuildControls();
    void ZoneTap(TPainZone AZone);
    void LoadZonePicture(TPainZone AZone);
    void SetPairAmplitudes(bool APlate, double APosition);
    void ResetCountdown();
    TImage* ZoneImage(TPainZone AZone) const;

    TForm1* FMain = nullptr;
};

extern TForm2* Form2;

}  // namespace dcs
