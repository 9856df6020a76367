#include "components/audio/CKDeviceListFormUnit.h"
#include "platform/win/Application.h"
#include "platform/win/Timer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace dcs {
namespace {

// The picker runs modally; a timer on the main form acts as the user once the dialog is
// up: it looks at the selection, then does what the case wants.
class DevicePicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
        Main = Create<TForm>(nullptr);
        Main->SetBounds(100, 100, 800, 600);
        Main->Show();
        User = Create<TTimer>(Main);
        User->SetInterval(10);
        User->SetEnabled(false);
    }
    void TearDown() override
    {
        Free(Main);
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
    }
    // Runs Act once the dialog shows.
    void WhenShown(std::function<void()> Act)
    {
        User->SetOnTimer([this, Act](TObject*) {
            User->SetEnabled(false);
            Act();
        });
        User->SetEnabled(true);
        Clock.Advance(10);
    }
    void ClickAt(TCustomForm* F, TControl* C, TPoint P, bool Double = false)
    {
        TPoint at = C->ClientToParent(P, F);
        for (int i = 0; i < (Double ? 2 : 1); ++i) {
            DeliverMouse(F->Handle(), WM_LBUTTONDOWN, at, MK_LBUTTON);
            DeliverMouse(F->Handle(), WM_LBUTTONUP, at);
        }
    }
    TManualClock Clock;
    TApplication* App = nullptr;
    TForm* Main = nullptr;
    TTimer* User = nullptr;
};

TCKDeviceListForm* WithDevices(TComponent* Owner)
{
    auto* f = Create<TCKDeviceListForm>(Owner);
    f->ListBox->Items().Add("Speakers (USB Audio)");
    f->ListBox->Items().Add("Headphones");
    return f;
}

TEST_F(DevicePicker, TheStoredFormComesUpAsDesigned)
{
    TOwned<TCKDeviceListForm> f(WithDevices(Main));
    EXPECT_EQ(f->Caption(), "Devices");
    EXPECT_EQ(f->ClientWidth(), 330);
    EXPECT_EQ(f->ClientHeight(), 252);
    EXPECT_EQ(f->Constraints()->MinWidth, 200);
    EXPECT_EQ(f->Position(), poOwnerFormCenter);
    EXPECT_EQ(f->ListBox->ItemHeight(), 13);
    EXPECT_EQ(f->OKButton->ModalResult(), mrOk);
    EXPECT_EQ(f->CancelButton->ModalResult(), mrCancel);
    EXPECT_EQ(f->Panel1->BoundsRect(), TRect::Bounds(0, 211, 330, 41));
    EXPECT_EQ(f->ListBox->Items().Count(), 4);
    EXPECT_EQ(f->ListBox->Items()[0], "None");
    EXPECT_EQ(f->ListBox->Items()[1], "Default");
    // What a person sees (DCS_PNG_DIR=<folder> keeps a picture of it).
    f->ListBox->SetItemIndex(3);
    f->Show();
    App->ProcessMessages();
    TBackbuffer& bb = f->Backbuffer();
    EXPECT_EQ(bb.Pixel(320, 3 * 13 + 5), ColorToARGB(clHighlight));  // the selected row, past its text
    if (const char* dir = std::getenv("DCS_PNG_DIR"))
        bb.SavePng(std::string(dir) + "/device-picker.png");
    f->Hide();
    // A second picker under the same owner comes up under a name of its own.
    TOwned<TCKDeviceListForm> second(WithDevices(Main));
    EXPECT_EQ(f->Name(), "CKDeviceListForm");
    EXPECT_EQ(second->Name(), "CKDeviceListForm_1");
}

TEST_F(DevicePicker, ANameIsMatchedWithoutCaseAndNoMatchSelectsRowZero)
{
    struct {
        const char* Name;
        std::string Expect;
    } cases[] = {{"default", "Default"}, {"HEADPHONES", "Headphones"}, {"Line Out", "None"}, {"", "None"}};
    for (auto& c : cases) {
        TOwned<TCKDeviceListForm> f(WithDevices(Main));
        std::string seen;
        TRect where;
        WhenShown([&] {
            seen = f->GetSelection();
            where = f->BoundsRect();
            ClickAt(f.get(), f->CancelButton, {10, 10});
        });
        EXPECT_FALSE(f->Execute(c.Name)) << c.Name;
        EXPECT_EQ(seen, c.Expect) << c.Name;
        // Centred over its owner, the main window.
        EXPECT_EQ(where, TRect::Bounds(100 + (800 - 330) / 2, 100 + (600 - 252) / 2, 330, 252));
    }
}

TEST_F(DevicePicker, CreateExWithoutNoneAndDefaultStartsEmpty)
{
    TOwned<TCKDeviceListForm> f(TCKDeviceListForm::CreateEx(Main, false, false));
    EXPECT_EQ(f->ListBox->Items().Count(), 0);
    WhenShown([&] { ClickAt(f.get(), f->OKButton, {10, 10}); });
    EXPECT_TRUE(f->Execute("Default"));
    EXPECT_EQ(f->GetSelection(), "");  // nothing to select
    TOwned<TCKDeviceListForm> onlyDefault(TCKDeviceListForm::CreateEx(Main, false, true));
    EXPECT_EQ(onlyDefault->ListBox->Items().Count(), 1);
    EXPECT_EQ(onlyDefault->ListBox->Items()[0], "Default");
}

TEST_F(DevicePicker, ADoubleClickOnARowClosesWithOkAndThatRowSelected)
{
    TOwned<TCKDeviceListForm> f(WithDevices(Main));
    WhenShown([&] { ClickAt(f.get(), f->ListBox, {20, 13 * 3 + 5}, true); });
    EXPECT_TRUE(f->Execute("Choose the output", "None"));
    EXPECT_EQ(f->Caption(), "Choose the output");
    EXPECT_EQ(f->GetSelection(), "Headphones");
    EXPECT_FALSE(f->Visible());
}

TEST_F(DevicePicker, FindThreadTopWindowFindsTheTopLevelWindowOfTheThread)
{
    TOwned<TCKDeviceListForm> f(WithDevices(Main));
    HWND top = FindThreadTopWindow(f->ListBox->Handle());
    EXPECT_NE(top, 0u);
    EXPECT_EQ(GetParent(top), 0u);
    EXPECT_EQ(GetWindowThreadProcessId(top, nullptr), GetWindowThreadProcessId(Main->Handle(), nullptr));
    EXPECT_EQ(FindThreadTopWindow(0), 0u);
}

}  // namespace
}  // namespace dcs
