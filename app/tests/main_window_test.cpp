// The main window's pages and controls driving the sessions, and the sound a pressed
// toggle makes on the recorded device before and after a slider change.
#include "app/tests/AppAudioSupport.h"
#include "app/tests/MainFormFixture.h"

#include <chrono>
#include <thread>

namespace dcs {
namespace {

using apptest::MainFormTest;

TEST_F(MainFormTest, OpensOnTheAutoPageAndItsControlsDriveTheSessions)
{
    UseDemoData();
    Make();
    TMainPages& pg = Form->Pages;
    const char* captions[] = {"Auto ", "Manual ", "Essentials  ", "Sports   ", "Medical   ", "About ", "Exit   "};
    for (size_t i = 0; i < pg.Pages.size(); ++i)
        EXPECT_EQ(pg.Pages[i]->Caption(), captions[i]);
    EXPECT_EQ(pg.Pager->ActivePage(), pg.Pages[0]);
    EXPECT_EQ(Form->Icon()->Width(), 64) << "the icon shows its largest image";
    for (const TPresetPageControls& c : pg.Preset) {
        EXPECT_EQ(c.Stop->Picture()->Width(), 64) << "the stop picture";
        EXPECT_EQ(c.TimeLed->Caption()->Value(), 2000.0);
        EXPECT_EQ(c.PlateLed->Caption()->Value(), 50.0);
        EXPECT_FALSE(c.Streaming->Visible());
    }
    for (int row = 0; row < PresetToggleCount; ++row) {
        EXPECT_EQ(pg.Toggles[size_t(row)]->Name(), PresetToggles[size_t(row)].Name);
        EXPECT_EQ(pg.Toggles[size_t(row)]->Caption(), PresetToggles[size_t(row)].Caption);
    }

    smooth::TSmoothToggleButton* warmUp = pg.Toggles[0];
    warmUp->SetDown(true);
    warmUp->OnClick(warmUp);
    EXPECT_NE(Players[0], nullptr);
    EXPECT_TRUE(Form->tmEss->Enabled());
    EXPECT_TRUE(pg.Preset[ppMedical].Streaming->Visible());
    EXPECT_EQ(pg.Preset[ppMedical].Streaming->Caption()->Text(), "Streaming Your Medical Selection(s)...");
    // Writing a position fires the "changed" event: the gain follows it.
    pg.Preset[ppSports].Plate->SetPosition(75);
    EXPECT_EQ(pg.Preset[ppSports].PlateLed->Caption()->Value(), 75.0);
    EXPECT_EQ(Form->mixLeft->Channels()->GetItem(17)->Coefficient(), 0.75);
    Clock.Advance(1000);
    App->ProcessMessages();
    EXPECT_EQ(pg.Preset[ppEssentials].TimeLed->Caption()->Value(), 1959.0);

    // Showing the Exit page ends everything.
    Form->Show();
    App->ProcessMessages();
    pg.Pager->SetActivePage(pg.Pages[6]);
    App->ProcessMessages();
    EXPECT_EQ(Players[0], nullptr);
    EXPECT_TRUE(App->Terminated());
}

class MainWindowSound : public MainFormTest {};

TEST_F(MainWindowSound, APressedToggleIsHeardAtTheSliderGainsWhichChangeLive)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "levels before and after a live change need the chain at real-time speed, "
                    "which the whole window's graph does not reach under ThreadSanitizer";
#endif
    UseDemoData();
    apptest::RecordingFolder folder("window");
    Make();
    TMainPages& pg = Form->Pages;
    auto played = [&](uint64_t ABlocks) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(90);
        while ((Form->outLeft->CompletedBlocks() < ABlocks || Form->outRight->CompletedBlocks() < ABlocks) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_GE(Form->outRight->CompletedBlocks(), ABlocks);
    };
    smooth::TSmoothToggleButton* stretch = pg.Toggles[15];  // btnStretch, index 21
    ASSERT_EQ(PresetToggles[15].Index, 21);
    stretch->SetDown(true);
    stretch->OnClick(stretch);
    played(14);
    const uint64_t changedAt = Form->outLeft->CompletedBlocks();
    pg.Preset[ppEssentials].Plate->SetPosition(100);
    pg.Preset[ppMedical].Audio->SetPosition(25);
    played(changedAt + 14);
    stretch->SetDown(false);
    stretch->OnClick(stretch);
    EXPECT_EQ(Players[21], nullptr);
    Free(Form);
    Form = nullptr;

    const auto left = folder.Played(1), right = folder.Played(2);
    ASSERT_EQ(left.size(), 1u);
    ASSERT_EQ(right.size(), 1u);
    // Before the change (the 7th to 14th block) 0.5 : 0.5, after it 1.0 : 0.25.
    const double f = 30 + 13 * 21 + 220 * 5;
    auto level = [&](const std::vector<float>& x, size_t AStart) {
        EXPECT_LE(AStart + 32768, x.size());
        return apptest::Spectrum(x.data() + AStart, 15, 22050).PeakNear(f, 6);
    };
    const size_t start = apptest::LastSound(left[0]) - 4096 - 32768;
    const auto [hzAfter, leftAfter] = level(left[0], start);
    const auto [hzR, rightAfter] = level(right[0], apptest::LastSound(right[0]) - 4096 - 32768);
    EXPECT_NEAR(hzAfter, f, 1.0);
    EXPECT_NEAR(leftAfter / rightAfter, 4.0, 0.04);
    const auto [hzBefore, leftBefore] = level(left[0], 4096 * 6);
    const auto [hzRB, rightBefore] = level(right[0], 4096 * 6);
    EXPECT_NEAR(leftBefore / rightBefore, 1.0, 0.01);
    EXPECT_NEAR(leftAfter / leftBefore, 2.0, 0.02);
}

}  // namespace
}  // namespace dcs
