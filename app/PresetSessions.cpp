#include "app/PresetSessions.h"

#include "platform/controls/Dialogs.h"

namespace dcs {

const std::array<const char*, PresetPageCount> StreamingTexts {
    "Streaming Your Essential Selection(s)...",
    "Streaming Your Sports Selection(s)...",
    "Streaming Your Medical Selection(s)...",
};
const char* const ResonanceText = "Adjusting Your Earth Resonance and Alpha Wave Balance...";

namespace {

constexpr int32_t kResonanceAmplitude = 1000;
constexpr int32_t kResonanceFade = 16;

TPresetPage PageOf(TSessionTimer ATimer)
{
    switch (ATimer) {
    case stPain:
    case stEssentials: return ppEssentials;
    case stSports: return ppSports;
    case stMedical: break;
    }
    return ppMedical;
}

}  // namespace

TPresetSessions::TPresetSessions(TSessionAudio AAudio, const TFrequencyTable& ATable) : FAudio(AAudio), FTable(ATable)
{
}

TPresetSessions::~TPresetSessions() { DeleteAllPlayers(); }

void TPresetSessions::DeleteAllPlayers()
{
    for (PRSX*& player : Players) {
        delete player;
        player = nullptr;
    }
    FHolders.fill(0);
    FHolding.fill(false);
}

void TPresetSessions::Hold(int ARow)
{
    const int p = PresetToggles[size_t(ARow)].Index;
    if (FHolders[size_t(p)] == 0) {
        // A player is stored only once it is complete: a failing construction leaves
        // the slot and the counts as they were.
        auto* player = new PRSX(p, FTable, FAudio.MixLeft, FAudio.MixRight);
        player->Start();
        delete Players[size_t(p)];
        Players[size_t(p)] = player;
    }
    ++FHolders[size_t(p)];
    FHolding[size_t(ARow)] = true;
}

void TPresetSessions::LetGo(int ARow)
{
    const int p = PresetToggles[size_t(ARow)].Index;
    if (!FHolding[size_t(ARow)])
        return;
    FHolding[size_t(ARow)] = false;
    if (--FHolders[size_t(p)] > 0)
        return;
    if (PRSX* player = Players[size_t(p)]) {
        Players[size_t(p)] = nullptr;
        player->Stop();
        delete player;
    }
}

bool TPresetSessions::PageHasOtherHolder(TPresetPage APage, int AExceptRow) const
{
    for (int row = 0; row < PresetToggleCount; ++row)
        if (row != AExceptRow && PresetToggles[size_t(row)].Page == APage && FHolding[size_t(row)])
            return true;
    return false;
}

void TPresetSessions::ToggleClick(int ARow)
{
    const TPresetToggleInfo& info = PresetToggles.at(size_t(ARow));
    TTimer* timer = FTimers[size_t(info.Timer)];
    if (FToggles[size_t(ARow)]->Down()) {
        if (!FHolding[size_t(ARow)])
            Hold(ARow);
        Selected[size_t(info.Index)] = true;
        if (timer && !timer->Enabled())
            timer->SetEnabled(true);
    } else {
        LetGo(ARow);
        Selected[size_t(info.Index)] = FHolders[size_t(info.Index)] > 0;
        // The "Muscle Pain" toggle pauses its countdown, but a Medical page whose other
        // presets still play goes on counting for them.
        if (info.PausesTimer && timer && (info.Timer == stPain || !PageHasOtherHolder(info.Page, ARow)))
            timer->SetEnabled(false);
    }
    UpdateStreamingLabels();
}

void TPresetSessions::UpdateStreamingLabels()
{
    bool any = false;
    for (bool s : Selected)
        any |= s;
    for (int page = 0; page < PresetPageCount; ++page)
        if (ILabelView* label = FPages[size_t(page)].Streaming) {
            label->SetVisible(any);
            if (any)
                label->SetText(StreamingTexts[size_t(page)]);
        }
}

void TPresetSessions::StopClick(TPresetPage APage)
{
    const TPresetPageView& view = FPages[size_t(APage)];
    if (view.Streaming)
        view.Streaming->SetVisible(false);
    FAudio.OutDR->SetEnabled(false);
    FAudio.Sg338->SetAmplitude(kResonanceAmplitude);
    FAudio.Out1->SetEnabled(false);
    const double minutes = view.SetTime ? view.SetTime->Position() : 20.0;
    for (int t = 0; t < SessionTimerCount; ++t)
        if (PageOf(TSessionTimer(t)) == APage) {
            if (FTimers[size_t(t)])
                FTimers[size_t(t)]->SetEnabled(false);
            Countdowns[size_t(t)].Reset(minutes);
        }
    ShowLed(view.Time, minutes * 100);
    SessionRunning = false;
    for (int row = 0; row < PresetToggleCount; ++row) {
        IToggleView* toggle = FToggles[size_t(row)];
        if (PresetToggles[size_t(row)].Page == APage && toggle && toggle->Down()) {
            toggle->SetDown(false);
            ToggleClick(row);
        }
    }
}

void TPresetSessions::TimerTick(TSessionTimer ATimer)
{
    const TPresetPage page = PageOf(ATimer);
    const TPresetPageView& view = FPages[size_t(page)];
    SessionCountdown& c = Countdowns[size_t(ATimer)];
    c.Step();
    ShowLed(view.Time, c.LedValue());
    if (c.LastMinute()) {
        FAudio.Out1->SetEnabled(false);
        FAudio.OutDR->SetEnabled(true);
        FAudio.Sg338->SetAmplitude(FAudio.Sg338->Amplitude() - kResonanceFade);
        if (view.Streaming)
            view.Streaming->SetText(ResonanceText);
    }
    if (c.Ended()) {
        if (view.Streaming)
            view.Streaming->SetText("");
        FAudio.OutDR->SetEnabled(false);
        StopClick(page);
        MessageBoxW(0, "Your current session has been completed...", "Dorvaquent Session Finished", MB_OK);
    }
}

void TPresetSessions::ShowLed(ILedView* ALed, double AValue)
{
    if (ALed)
        ALed->SetValue(AValue);
}

void TPresetSessions::SetGains(TAUAudioMixer* AMixer, double APosition)
{
    for (int i = 0; i < PresetCount; ++i)
        AMixer->Channels()->GetItem(i)->SetCoefficient(APosition * 0.01);
}

// A click beside the thumb fires only the "changed" event, so both events stop the page
// and set the gains: the session always runs for the time and at the level shown.
void TPresetSessions::SetTimeChanging(TPresetPage APage, double APosition)
{
    ShowLed(FPages[size_t(APage)].Time, APosition * 100);
    StopClick(APage);
}

void TPresetSessions::SetTimeChanged(TPresetPage APage, double APosition) { SetTimeChanging(APage, APosition); }

void TPresetSessions::PlateChanging(TPresetPage APage, double APosition)
{
    ShowLed(FPages[size_t(APage)].Plate, APosition);
    // The Medical plate slider also shows its value on the Sports page.
    if (APage == ppMedical)
        ShowLed(FPages[ppSports].Plate, APosition);
    SetGains(FAudio.MixLeft, APosition);
}

void TPresetSessions::PlateChanged(TPresetPage APage, double APosition)
{
    ShowLed(FPages[size_t(APage)].Plate, APosition);
    SetGains(FAudio.MixLeft, APosition);
}

void TPresetSessions::AudioChanging(TPresetPage APage, double APosition)
{
    ShowLed(FPages[size_t(APage)].Audio, APosition);
    SetGains(FAudio.MixRight, APosition);
}

void TPresetSessions::AudioChanged(TPresetPage APage, double APosition) { AudioChanging(APage, APosition); }

}  // namespace dcs
