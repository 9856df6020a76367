// The Manual page on a headless GUI thread with its countdown timer on a manual clock.
#include "app/ManualPage.h"
#include "app/tests/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace dcs::apptest {
namespace {

class ManualPageTest : public HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        SgmL->SetEnabled(false);
        SgmL->SetAmplitude(2000);
        OutMan->SetEnabled(false);
        Timer.reset(Create<TTimer>(nullptr));
        Timer->SetEnabled(false);
        Timer->SetOnTimer([this](TObject*) { Page->TimerTick(); });
        Plate.P = 50;
        Time.P = 20;
        TManualPageView view {
            &Plate, &Time, &FrequencyLed, &PlateLed, &TimeLed, Timer.get(), [this](bool AValue) { AutoTab = AValue; }};
        Countdown.Reset(20);
        Page =
            std::make_unique<TManualPage>(TManualAudio {SgmL.get(), OutMan.get()}, std::move(view), Countdown, Running);
    }
    void TearDown() override
    {
        Page.reset();
        Timer.reset();
        HeadlessApp::TearDown();
    }
    void Seconds(int ASeconds)
    {
        for (int i = 0; i < ASeconds; ++i) {
            Clock.Advance(1000);
            App->ProcessMessages();
        }
    }

    TOwned<TAUSignalGen> SgmL {Create<TAUSignalGen>(nullptr)};
    TOwned<TAUAudioOut> OutMan {Create<TAUAudioOut>(nullptr)};
    TOwned<TTimer> Timer;
    FakeSlider Plate, Time;
    FakeLed FrequencyLed, PlateLed, TimeLed;
    SessionCountdown Countdown;
    bool Running = false;
    bool AutoTab = true;
    std::unique_ptr<TManualPage> Page;
};

TEST_F(ManualPageTest, StartFadesInToThePlateIntensityAndSlidersActAtOnce)
{
    Plate.P = 100;
    const auto before = std::chrono::steady_clock::now();
    Page->StartClick();
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_EQ(SgmL->Amplitude(), 4000);
    EXPECT_TRUE(SgmL->Enabled());
    EXPECT_TRUE(OutMan->Enabled());
    EXPECT_TRUE(Running);
    EXPECT_FALSE(AutoTab);

    Page->FrequencyChanged(12);
    EXPECT_EQ(SgmL->Frequency(), 12);
    EXPECT_EQ(FrequencyLed.V, 12);
    Page->PlateChanged(35);
    EXPECT_EQ(SgmL->Amplitude(), 1400);
    EXPECT_EQ(PlateLed.V, 35);

    Seconds(1);
    EXPECT_EQ(TimeLed.V, 1959);
    Time.P = 5;
    Page->TimeChanged(5);
    EXPECT_FALSE(Running);
    EXPECT_TRUE(AutoTab);
    EXPECT_FALSE(SgmL->Enabled());
    EXPECT_FALSE(OutMan->Enabled());
    EXPECT_FALSE(Timer->Enabled());
    EXPECT_EQ(TimeLed.V, 500);
}

TEST_F(ManualPageTest, AFiveMinuteSessionEndsOnItsLastTickWithTheMessage)
{
    Time.P = 5;
    Page->StartClick();
    Seconds(299);
    EXPECT_EQ(TimeLed.V, 1);
    EXPECT_TRUE(Boxes.empty());
    Seconds(1);
    EXPECT_EQ(Boxes,
              (std::vector<std::string> {"Dorvaquent Session Finished: Your Manual session has been completed..."}));
    EXPECT_FALSE(Running);
    EXPECT_FALSE(OutMan->Enabled());
    EXPECT_FALSE(Timer->Enabled());
    EXPECT_EQ(TimeLed.V, 500);
    EXPECT_TRUE(AutoTab);
}

}  // namespace
}  // namespace dcs::apptest
