#include "app/AutoPage.h"

#include "app/FadeIn.h"

namespace dcs {

const std::array<double, IntensityCount> IntensityCoefficients {1.0, 0.8, 0.6, 0.3};

namespace {

constexpr double StartFrequency = 33.3;
constexpr int FadeInTarget = 2000;

struct TZonePictures {
    const char* On;
    const char* Off;
};

// By TAutoZone; whole body lights the three others' "on" pictures.
constexpr std::array<TZonePictures, 3> Pictures {{
    {"SXHeadOn.jpg", "HeadOff.jpg"},
    {"SXBodyOn.jpg", "BodyOff.jpg"},
    {"SXLegsOn.jpg", "LegsOff.jpg"},
}};

// The order of the zone timers that Start considers.
constexpr std::array<TAutoZone, AutoZoneCount> TimerOrder {azWholeBody, azHead, azBody, azLegs};

class TGeneratorTone : public IToneView {
public:
    explicit TGeneratorTone(TAUSignalGen* AGen) : FGen(AGen) {}
    void SetFrequency(double AValue) override { FGen->SetFrequency(AValue); }
    void SetAmplitude(int32_t AValue) override { FGen->SetAmplitude(AValue); }

private:
    TAUSignalGen* FGen;
};

}  // namespace

TAutoPage::TAutoPage(TAutoAudio AAudio, TAutoPageView AView, TAutoPageState AState)
    : FAudio(AAudio), FView(std::move(AView)), FState(AState)
{
}

void TAutoPage::ResetCountdown() { FState.Countdown.Reset(FView.Time ? FView.Time->Position() : 20); }

void TAutoPage::StartClick()
{
    bool chosen = false;
    for (bool zone : FState.AutoZone)
        chosen = chosen || zone;
    // Without a zone no timer would ever count the session down or end it.
    if (!chosen)
        return;
    if (FView.SetManualTabEnabled)
        FView.SetManualTabEnabled(false);
    ResetCountdown();
    FState.CycleMinute = 10;
    FAudio.SgSX->SetEnabled(true);
    FAudio.SgSX->SetAmplitude(1);
    FAudio.SgSX->SetFrequency(StartFrequency);
    FAudio.OutSX->SetEnabled(true);
    FState.SessionRunning = true;
    // A Start while running must not leave the previous zone's timer ticking as well.
    for (TTimer* timer : FView.ZoneTimers)
        if (timer)
            timer->SetEnabled(false);
    for (TAutoZone zone : TimerOrder)
        if (FState.AutoZone[size_t(zone)] && FView.ZoneTimers[size_t(zone)])
            FView.ZoneTimers[size_t(zone)]->SetEnabled(true);
    FadeIn(FAudio.SgSX, FadeInTarget);
}

void TAutoPage::StopClick()
{
    if (FView.SetManualTabEnabled)
        FView.SetManualTabEnabled(true);
    FState.SessionRunning = false;
    for (TAutoZone zone : TimerOrder)
        if (FView.ZoneTimers[size_t(zone)])
            FView.ZoneTimers[size_t(zone)]->SetEnabled(false);
    FAudio.SgSX->SetEnabled(false);
    FAudio.OutSX->SetEnabled(false);
    ResetCountdown();
    if (FView.TimeLed)
        FView.TimeLed->SetValue(FState.Countdown.Minutes * 100);
}

void TAutoPage::TimeChanged(double APosition)
{
    if (FState.SessionRunning)
        StopClick();
    if (FView.TimeLed)
        FView.TimeLed->SetValue(APosition * 100);
    const double position = FView.Time ? FView.Time->Position() : APosition;
    FState.Countdown.Seconds = int32_t(position * 60);
    FState.Countdown.Minutes = int32_t(position);
}

void TAutoPage::ZoneTap(TAutoZone AZone)
{
    if (AZone == azWholeBody)
        return WholeBody();
    bool& flag = FState.AutoZone[size_t(AZone)];
    flag = !flag;
    const bool on = flag;
    // The choice is made before any picture is loaded, so a missing picture cannot leave
    // two zones chosen.
    if (on)
        for (int z = 0; z < AutoZoneCount; ++z)
            FState.AutoZone[size_t(z)] = z == AZone;
    if (!FView.LoadPicture)
        return;
    if (!on)
        return FView.LoadPicture(AZone, Pictures[size_t(AZone)].Off);
    FView.LoadPicture(AZone, Pictures[size_t(AZone)].On);
    for (TAutoZone other : {azHead, azBody, azLegs})
        if (other != AZone)
            FView.LoadPicture(other, Pictures[size_t(other)].Off);
}

void TAutoPage::WholeBody()
{
    for (int z = 0; z < AutoZoneCount; ++z)
        FState.AutoZone[size_t(z)] = z == azWholeBody;
    if (FView.LoadPicture)
        for (TAutoZone zone : {azBody, azHead, azLegs})
            FView.LoadPicture(zone, Pictures[size_t(zone)].On);
}

void TAutoPage::IntensityClick(TIntensity AIntensity)
{
    IToggleView* clicked = FView.Intensity[size_t(AIntensity)];
    if (clicked && !clicked->Down())
        return;
    for (int i = 0; i < IntensityCount; ++i)
        if (i != AIntensity && FView.Intensity[size_t(i)])
            FView.Intensity[size_t(i)]->SetDown(false);
    FAudio.MixSX->Channels()->GetItem(0)->SetCoefficient(IntensityCoefficients[size_t(AIntensity)]);
}

void TAutoPage::IntensitySelected(double AValue)
{
    for (int i = 0; i < IntensityCount; ++i)
        if (AValue == i)
            FAudio.MixSX->Channels()->GetItem(0)->SetCoefficient(IntensityCoefficients[size_t(i)]);
}

void TAutoPage::TimerTick(TAutoZone AZone)
{
    TGeneratorTone tone(FAudio.SgSX);
    AutoScheduleTick(AZone, FState.Countdown, FState.CycleMinute, {&tone, FView.TimeLed, [this] { StopClick(); }});
}

}  // namespace dcs
