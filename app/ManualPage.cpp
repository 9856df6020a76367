#include "app/ManualPage.h"

#include "app/AutoSchedule.h"
#include "app/FadeIn.h"
#include "platform/controls/Dialogs.h"

namespace dcs {

const char* const ManualFinishedText = "Your Manual session has been completed...";

namespace {

constexpr double DefaultMinutes = 20;
constexpr double DefaultPlate = 50;

double PositionOf(const ISliderView* ASlider, double ADefault) { return ASlider ? ASlider->Position() : ADefault; }

}  // namespace

int32_t ManualAmplitude(double APlatePosition) { return int32_t(APlatePosition * 40); }

TManualPage::TManualPage(TManualAudio AAudio, TManualPageView AView, SessionCountdown& ACountdown,
                         bool& ASessionRunning)
    : FAudio(AAudio), FView(std::move(AView)), FCountdown(ACountdown), FSessionRunning(ASessionRunning)
{
}

void TManualPage::ResetCountdown() { FCountdown.Reset(PositionOf(FView.Time, DefaultMinutes)); }

void TManualPage::StartClick()
{
    if (FView.SetAutoTabEnabled)
        FView.SetAutoTabEnabled(false);
    ResetCountdown();
    FSessionRunning = true;
    FAudio.SgmL->SetAmplitude(1);
    FAudio.SgmL->SetEnabled(true);
    if (FView.Timer)
        FView.Timer->SetEnabled(true);
    FAudio.OutMan->SetEnabled(true);
    // The level the intensity display promises, not a fixed one.
    FadeIn(FAudio.SgmL, ManualAmplitude(PositionOf(FView.Plate, DefaultPlate)));
}

void TManualPage::StopClick()
{
    if (FView.SetAutoTabEnabled)
        FView.SetAutoTabEnabled(true);
    FSessionRunning = false;
    if (FView.Timer)
        FView.Timer->SetEnabled(false);
    FAudio.SgmL->SetEnabled(false);
    FAudio.OutMan->SetEnabled(false);
    ResetCountdown();
    if (FView.TimeLed)
        FView.TimeLed->SetValue(PositionOf(FView.Time, DefaultMinutes) * 100);
}

void TManualPage::FrequencyChanged(double APosition)
{
    if (FView.FrequencyLed)
        FView.FrequencyLed->SetValue(APosition);
    FAudio.SgmL->SetFrequency(APosition);
}

void TManualPage::PlateChanged(double APosition)
{
    if (FView.PlateLed)
        FView.PlateLed->SetValue(APosition);
    FAudio.SgmL->SetAmplitude(ManualAmplitude(APosition));
}

void TManualPage::TimeChanged(double APosition)
{
    if (FSessionRunning)
        StopClick();
    if (FView.TimeLed)
        FView.TimeLed->SetValue(APosition * 100);
    const double position = PositionOf(FView.Time, APosition);
    FCountdown.Seconds = int32_t(position * 60);
    FCountdown.Minutes = int32_t(position);
}

void TManualPage::TimerTick()
{
    FCountdown.Step();
    if (FView.TimeLed)
        FView.TimeLed->SetValue(FCountdown.LedValue());
    if (FCountdown.Ended()) {
        FAudio.OutMan->SetEnabled(false);
        StopClick();
        MessageBoxW(0, ManualFinishedText, SessionFinishedCaption, MB_OK);
    }
}

}  // namespace dcs
