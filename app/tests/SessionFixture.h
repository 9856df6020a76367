// A headless GUI thread with the preset sessions wired to plain control records, real
// timers on a manual clock, real output mixers and the resonance objects.
#pragma once

#include "app/DemoPresets.h"
#include "app/PresetSessions.h"
#include "app/tests/HeadlessApp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace dcs::apptest {

struct FakeToggle : IToggleView {
    bool IsDown = false;
    bool Down() const override { return IsDown; }
    void SetDown(bool AValue) override { IsDown = AValue; }
};
struct FakeLed : ILedView {
    double V = 0;
    double Value() const override { return V; }
    void SetValue(double AValue) override { V = AValue; }
};
struct FakeLabel : ILabelView {
    bool Shown = false;
    std::string Caption;
    bool Visible() const override { return Shown; }
    void SetVisible(bool AValue) override { Shown = AValue; }
    std::string Text() const override { return Caption; }
    void SetText(const std::string& AValue) override { Caption = AValue; }
};
struct FakeSlider : ISliderView {
    double P = 20;
    double Position() const override { return P; }
};

struct FakePage {
    FakeLed Time, Plate, Audio;
    FakeLabel Streaming;
    FakeSlider SetTime;
};

class SessionTest : public HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        Table = DemoPresetTable();
        for (TAUAudioMixer* m : {MixLeft.get(), MixRight.get()})
            for (int i = 0; i < PresetCount; ++i)
                m->Channels()->Add()->SetCoefficient(0.5);
        // As stored in the window: the resonance tone at 500 until a Stop restores 1000.
        Sg338->SetEnabled(false);
        Sg338->SetAmplitude(500);
        Out1->SetEnabled(false);
        OutDR->SetEnabled(false);
        Sessions = std::make_unique<TPresetSessions>(
            TSessionAudio {MixLeft.get(), MixRight.get(), Out1.get(), OutDR.get(), Sg338.get()}, Table);
        for (int row = 0; row < PresetToggleCount; ++row)
            Sessions->BindToggle(row, &Toggles[size_t(row)]);
        for (int p = 0; p < PresetPageCount; ++p) {
            FakePage& page = Pages[size_t(p)];
            Sessions->BindPage(TPresetPage(p), {&page.Time, &page.Plate, &page.Audio, &page.Streaming, &page.SetTime});
        }
        for (int t = 0; t < SessionTimerCount; ++t) {
            Timers[size_t(t)].reset(Create<TTimer>(nullptr));
            Timers[size_t(t)]->SetEnabled(false);
            Timers[size_t(t)]->SetOnTimer([this, t](TObject*) { Sessions->TimerTick(TSessionTimer(t)); });
            Sessions->BindTimer(TSessionTimer(t), Timers[size_t(t)].get());
            Sessions->Countdowns[size_t(t)].Reset(20);
        }
    }
    void TearDown() override
    {
        Sessions.reset();
        for (auto& t : Timers)
            t.reset();
        HeadlessApp::TearDown();
    }
    static int Row(const std::string& AName)
    {
        for (int row = 0; row < PresetToggleCount; ++row)
            if (AName == PresetToggles[size_t(row)].Name)
                return row;
        ADD_FAILURE() << "no toggle " << AName;
        return 0;
    }
    // A click on the toggle: Down flips, then the handler runs.
    void Click(const std::string& AName)
    {
        const int row = Row(AName);
        Toggles[size_t(row)].IsDown = !Toggles[size_t(row)].IsDown;
        Sessions->ToggleClick(row);
    }
    // ASeconds of the timers' time.
    void Seconds(int ASeconds)
    {
        for (int i = 0; i < ASeconds; ++i) {
            Clock.Advance(1000);
            App->ProcessMessages();
        }
    }
    bool TimerOn(TSessionTimer ATimer) const { return Timers[size_t(ATimer)]->Enabled(); }

    TFrequencyTable Table {};
    TOwned<TAUAudioMixer> MixLeft {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioMixer> MixRight {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioOut> Out1 {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUAudioOut> OutDR {Create<TAUAudioOut>(nullptr)};
    TOwned<TAUSignalGen> Sg338 {Create<TAUSignalGen>(nullptr)};
    std::array<FakeToggle, PresetToggleCount> Toggles {};
    std::array<FakePage, PresetPageCount> Pages {};
    std::array<TOwned<TTimer>, SessionTimerCount> Timers;
    std::unique_ptr<TPresetSessions> Sessions;
};

}  // namespace dcs::apptest
