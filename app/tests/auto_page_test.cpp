// The Auto page on a headless GUI thread: zone and intensity choices, Start with its
// fade-in, Stop, the time slider and the zone timers on a manual clock.
#include "app/AutoPage.h"
#include "app/tests/SessionFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>

namespace dcs::apptest {
namespace {

class AutoPageTest : public HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        MixSX->Channels()->Add()->SetCoefficient(0.6);
        SgSX->SetEnabled(false);
        OutSX->SetEnabled(false);
        TAutoPageView view;
        view.Time = &Slider;
        view.TimeLed = &Led;
        for (int i = 0; i < IntensityCount; ++i)
            view.Intensity[size_t(i)] = &Intensity[size_t(i)];
        Intensity[inMedium].IsDown = true;
        for (int z = 0; z < AutoZoneCount; ++z) {
            Timers[size_t(z)].reset(Create<TTimer>(nullptr));
            Timers[size_t(z)]->SetEnabled(false);
            Timers[size_t(z)]->SetOnTimer([this, z](TObject*) { Page->TimerTick(TAutoZone(z)); });
            view.ZoneTimers[size_t(z)] = Timers[size_t(z)].get();
        }
        view.SetManualTabEnabled = [this](bool AValue) { ManualTab = AValue; };
        view.LoadPicture = [this](TAutoZone AZone, const std::string& AFile) {
            Loads.push_back(std::to_string(AZone) + ":" + AFile);
            if (MissingPictures)
                throw std::runtime_error("no picture " + AFile);
        };
        Zones[azWholeBody] = true;
        Countdown.Reset(20);
        Page = std::make_unique<TAutoPage>(TAutoAudio {SgSX.get(), MixSX.get(), OutSX.get()}, std::move(view),
                                           TAutoPageState {Zones, Countdown, CycleMinute, Running});
    }
    void TearDown() override
    {
        Page.reset();
        for (auto& t : Timers)
            t.reset();
        HeadlessApp::TearDown();
    }
    std::vector<bool> TimersOn() const
    {
        std::vector<bool> on;
        for (const auto& t : Timers)
            on.push_back(t->Enabled());
        return on;
    }
    void Seconds(int ASeconds)
    {
        Clock.Advance(1000 * ASeconds);
        App->ProcessMessages();
    }
    double Coefficient() const { return MixSX->Channels()->GetItem(0)->Coefficient(); }

    TOwned<TAUSignalGen> SgSX {Create<TAUSignalGen>(nullptr)};
    TOwned<TAUAudioMixer> MixSX {Create<TAUAudioMixer>(nullptr)};
    TOwned<TAUAudioOut> OutSX {Create<TAUAudioOut>(nullptr)};
    std::array<TOwned<TTimer>, AutoZoneCount> Timers;
    FakeSlider Slider;
    FakeLed Led;
    std::array<FakeToggle, IntensityCount> Intensity {};
    std::array<bool, AutoZoneCount> Zones {};
    SessionCountdown Countdown;
    int32_t CycleMinute = 0;
    bool Running = false;
    bool ManualTab = true;
    bool MissingPictures = false;
    std::vector<std::string> Loads;
    std::unique_ptr<TAutoPage> Page;
};

TEST_F(AutoPageTest, StartFadesInThenTheZoneTimerTicksOnceAndAStopEndsIt)
{
    const auto before = std::chrono::steady_clock::now();
    Page->StartClick();
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_EQ(SgSX->Amplitude(), 2000);
    EXPECT_DOUBLE_EQ(SgSX->Frequency(), 33.3);
    EXPECT_TRUE(SgSX->Enabled());
    EXPECT_TRUE(OutSX->Enabled());
    EXPECT_TRUE(Running);
    EXPECT_FALSE(ManualTab);
    EXPECT_EQ(TimersOn(), (std::vector<bool> {false, false, false, true}));

    // The time the fade-in took arrives as one tick: the display reads 19:59.
    Seconds(3);
    EXPECT_EQ(Led.V, 1959);
    EXPECT_EQ(SgSX->Frequency(), 21);
    EXPECT_EQ(SgSX->Amplitude(), 1200);

    // A second Start with another zone runs that zone's timer alone.
    Page->ZoneTap(azLegs);
    Page->StartClick();
    EXPECT_EQ(TimersOn(), (std::vector<bool> {false, false, true, false}));
    Seconds(1);
    EXPECT_EQ(Led.V, 1959);
    EXPECT_EQ(SgSX->Frequency(), 30);
    EXPECT_EQ(SgSX->Amplitude(), 600);

    // Moving the slider stops the session and shows the new length.
    Slider.P = 10;
    Page->TimeChanged(10);
    EXPECT_FALSE(Running);
    EXPECT_TRUE(ManualTab);
    EXPECT_FALSE(SgSX->Enabled());
    EXPECT_FALSE(OutSX->Enabled());
    EXPECT_EQ(TimersOn(), (std::vector<bool>(4, false)));
    EXPECT_EQ(Led.V, 1000);
    EXPECT_EQ(Countdown.Seconds, 600);
    Seconds(5);
    EXPECT_EQ(Led.V, 1000);
}

TEST_F(AutoPageTest, StartWithNoZoneDoesNothing)
{
    Page->ZoneTap(azHead);
    Page->ZoneTap(azHead);
    EXPECT_EQ(Zones, (std::array<bool, 4> {}));
    const auto before = std::chrono::steady_clock::now();
    Page->StartClick();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
    EXPECT_FALSE(Running);
    EXPECT_FALSE(SgSX->Enabled());
    EXPECT_FALSE(OutSX->Enabled());
    EXPECT_TRUE(ManualTab);
    EXPECT_EQ(TimersOn(), (std::vector<bool>(4, false)));
}

TEST_F(AutoPageTest, SwipeAndTapsChooseOneZoneAndItsPictures)
{
    struct Step {
        const char* Action;  // "swipe" or a tapped zone
        TAutoZone Tapped;
        std::array<bool, 4> Zones;  // head, body, legs, whole body
        std::vector<std::string> Loads;
    };
    const Step steps[] = {
        {"tap", azBody, {false, true, false, false}, {"1:SXBodyOn.jpg", "0:HeadOff.jpg", "2:LegsOff.jpg"}},
        {"tap", azHead, {true, false, false, false}, {"0:SXHeadOn.jpg", "1:BodyOff.jpg", "2:LegsOff.jpg"}},
        {"tap", azHead, {false, false, false, false}, {"0:HeadOff.jpg"}},
        {"swipe", azWholeBody, {false, false, false, true}, {"1:SXBodyOn.jpg", "0:SXHeadOn.jpg", "2:SXLegsOn.jpg"}},
        {"tap", azLegs, {false, false, true, false}, {"2:SXLegsOn.jpg", "0:HeadOff.jpg", "1:BodyOff.jpg"}},
    };
    for (const Step& s : steps) {
        Loads.clear();
        if (std::string(s.Action) == "swipe")
            Page->WholeBody();
        else
            Page->ZoneTap(s.Tapped);
        EXPECT_EQ(Zones, s.Zones) << s.Action << " " << s.Tapped;
        EXPECT_EQ(Loads, s.Loads) << s.Action << " " << s.Tapped;
    }
}

TEST_F(AutoPageTest, AMissingPictureLeavesTheChoiceWhole)
{
    MissingPictures = true;
    EXPECT_ANY_THROW(Page->ZoneTap(azBody));
    EXPECT_EQ(Zones, (std::array<bool, 4> {false, true, false, false}));
    EXPECT_ANY_THROW(Page->WholeBody());
    EXPECT_EQ(Zones, (std::array<bool, 4> {false, false, false, true}));
}

TEST_F(AutoPageTest, IntensityTogglesAreExclusive)
{
    struct Click {
        TIntensity Toggle;
        std::array<bool, 4> DownAfter;
        double Coefficient;
    };
    const Click clicks[] = {
        {inUltra, {true, false, false, false}, 1.0},
        {inLow, {false, false, false, true}, 0.3},
        {inHigh, {false, true, false, false}, 0.8},
        {inHigh, {false, false, false, false}, 0.8},  // released: nothing down, coefficient stays
        {inMedium, {false, false, true, false}, 0.6},
    };
    for (const Click& c : clicks) {
        Intensity[size_t(c.Toggle)].IsDown = !Intensity[size_t(c.Toggle)].IsDown;
        Page->IntensityClick(c.Toggle);
        for (int i = 0; i < IntensityCount; ++i)
            EXPECT_EQ(Intensity[size_t(i)].IsDown, c.DownAfter[size_t(i)]) << c.Toggle << " " << i;
        EXPECT_DOUBLE_EQ(Coefficient(), c.Coefficient) << c.Toggle;
    }
    Page->IntensitySelected(3);
    EXPECT_DOUBLE_EQ(Coefficient(), 0.3);
    Page->IntensitySelected(1.5);
    Page->IntensitySelected(4);
    EXPECT_DOUBLE_EQ(Coefficient(), 0.3);
}

}  // namespace
}  // namespace dcs::apptest
