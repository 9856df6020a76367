// The Auto page's body figure driven by the window's input messages: taps choose a zone,
// a right swipe anywhere on the figure chooses the whole body (Action1 on the panel, the
// head and the legs; the body image's own OnGesture), and a swipe is never also a tap.
#include "app/tests/MainFormFixture.h"

#include "platform/win/Input.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace dcs {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> FileBytes(const fs::path& APath)
{
    std::ifstream f(APath, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class MainWindowGestures : public apptest::MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        Data = Dir / "appdata" / "Dorvaquent";
        setenv("APPDATA", (Dir / "appdata").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("APPDATA");
        MainFormTest::TearDown();
    }
    void InstallPictures()
    {
        fs::create_directories(Data);
        for (const auto& e : fs::directory_iterator(fs::path(DCS_ARTWORK) / "data"))
            fs::copy_file(e.path(), Data / e.path().filename());
    }
    void Open()
    {
        Make();
        Form->Show();
        App->ProcessMessages();
    }
    TPoint At(TControl* AControl, TPoint AOffset) { return Form->ScreenToClient(AControl->ClientToScreen(AOffset)); }
    // Presses far enough in time from the last one that it never makes a double click.
    void Press(TPoint AFrom, TPoint ATo)
    {
        Clock.Advance(1000);
        DeliverMouse(Form->Handle(), WM_MOUSEMOVE, AFrom);
        DeliverMouse(Form->Handle(), WM_LBUTTONDOWN, AFrom, MK_LBUTTON);
        for (int i = 1; i <= 4; ++i)
            DeliverMouse(Form->Handle(), WM_MOUSEMOVE,
                         {AFrom.X + (ATo.X - AFrom.X) * i / 4, AFrom.Y + (ATo.Y - AFrom.Y) * i / 4}, MK_LBUTTON);
        DeliverMouse(Form->Handle(), WM_LBUTTONUP, ATo);
        App->ProcessMessages();
    }
    void Tap(TAutoZone AZone)
    {
        TImage* image = Form->Zones.Images[size_t(AZone)];
        const TPoint p = At(image, {image->Width() / 2, image->Height() / 2});
        Press(p, p);
    }
    // The file names each image shows, head, body, legs.
    std::vector<std::string> Shown()
    {
        std::vector<std::string> names;
        for (TImage* image : Form->Zones.Images) {
            const TGraphic* g = image->Picture()->Graphic();
            std::string name = g == nullptr || g->Empty() ? "(none)" : "(other)";
            if (g != nullptr && !g->Empty())
                for (const auto& e : fs::directory_iterator(Data))
                    if (FileBytes(e.path()) == g->SaveToBytes())
                        name = e.path().filename().string();
            names.push_back(name);
        }
        return names;
    }

    fs::path Data;
};

using Names = std::vector<std::string>;
const Names kWholeBody {"SXHeadOn.jpg", "SXBodyOn.jpg", "SXLegsOn.jpg"};

TEST_F(MainWindowGestures, ARightSwipeAnywhereOnTheFigureChoosesTheWholeBodyAndIsNoTap)
{
    InstallPictures();
    Open();
    ASSERT_EQ(Form->Pages.Pager->ActivePage(), Form->Pages.Pages[0]);
    EXPECT_EQ(Shown(), kWholeBody);
    TZonePanel& z = Form->Zones;
    struct {
        const char* Where;
        TControl* Control;
        TPoint From;
    } cases[] = {
        {"the panel's margin", z.Panel, {2, 300}},
        {"the head", z.Images[azHead], {20, 60}},
        {"the body, through its OnGesture", z.Images[azBody], {20, 100}},
        {"the legs", z.Images[azLegs], {20, 100}},
    };
    for (const auto& c : cases) {
        Tap(azHead);
        ASSERT_EQ(Shown(), (Names {"SXHeadOn.jpg", "BodyOff.jpg", "LegsOff.jpg"})) << c.Where;
        ASSERT_EQ(Form->AutoZone, (std::array<bool, 4> {true, false, false, false})) << c.Where;
        const TPoint from = At(c.Control, c.From);
        Press(from, {from.X + 120, from.Y + 10});
        EXPECT_EQ(Shown(), kWholeBody) << c.Where;
        EXPECT_EQ(Form->AutoZone, (std::array<bool, 4> {false, false, false, true})) << c.Where;
    }
    // Too short a drag is a tap after all.
    const TPoint legs = At(z.Images[azLegs], {40, 100});
    Press(legs, {legs.X + 30, legs.Y});
    EXPECT_EQ(Shown(), (Names {"HeadOff.jpg", "BodyOff.jpg", "SXLegsOn.jpg"}));
    EXPECT_EQ(Form->AutoZone, (std::array<bool, 4> {false, false, true, false}));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainWindowGestures, AnEmptyDataFolderStillOpensTheWindowWithABlankFigure)
{
    Open();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Form->AutoZone, (std::array<bool, 4> {false, false, false, true}));
    for (TImage* image : Form->Zones.Images)
        EXPECT_EQ(image->Picture()->Width(), 0);
}

}  // namespace
}  // namespace dcs
