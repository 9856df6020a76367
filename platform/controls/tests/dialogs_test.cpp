#include "Fixture.h"

#include "platform/controls/Dialogs.h"
#include "platform/win/Timer.h"

namespace dcs {
namespace {

using MessageBoxes = testing::HeadlessGui;

struct TRecorded {
    std::string Text, Caption;
    UINT Type;
};

TEST_F(MessageBoxes, TheHookRecordsEachBoxAndAnswersAtOnce)
{
    std::vector<TRecorded> boxes;
    SetMessageBoxHook([&](HWND, const std::string& T, const std::string& C, UINT Type) {
        boxes.push_back({T, C, Type});
        return IDOK;
    });
    EXPECT_EQ(MessageBoxW(0, "Cannot Open File!", "ERROR", MB_OK), IDOK);
    // An exception that reaches the loop is shown the same way.
    UseMessageBoxForExceptions();
    HWND w = AllocateHWnd([](TMessage& m) {
        if (m.Msg == WM_USER)
            throw Exception("Something failed");
    });
    PostMessage(w, WM_USER, 0, 0);
    TMsg m;
    while (PeekMessage(m, true)) {
        try {
            DispatchMessage(m);
        } catch (...) {
            App->HandleException(App);
        }
    }
    DeallocateHWnd(w);
    SetMessageBoxHook(nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text, "Cannot Open File!");
    EXPECT_EQ(boxes[0].Caption, "ERROR");
    EXPECT_EQ(boxes[0].Type, MB_OK);
    EXPECT_EQ(boxes[1].Text, "Something failed");
}

TEST_F(MessageBoxes, ARealBoxIsAModalFormWhoseLoopKeepsTimersTicking)
{
    TForm* main = MakeForm();
    auto* timer = Create<TTimer>(main);
    timer->SetInterval(50);
    int ticks = 0;
    std::string shownCaption;
    timer->SetOnTimer([&](TObject*) {
        ++ticks;
        TCustomForm* box = Screen()->ActiveForm();
        ASSERT_NE(box, nullptr);
        shownCaption = box->Caption();
        if (ticks < 3) {
            Clock.Advance(50);
            PostMessage(box->Handle(), WM_NULL, 0, 0);
        } else {
            Key(VK_RETURN);  // the OK button is the default one
        }
    });
    Clock.Advance(50);
    EXPECT_EQ(MessageBoxW(main->Handle(), "Session ended", "Auto", MB_OK), IDOK);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(shownCaption, "Auto");
    timer->SetOnTimer([&](TObject*) {
        timer->SetEnabled(false);
        Key(VK_ESCAPE);
    });
    Clock.Advance(50);
    EXPECT_EQ(MessageBoxW(0, "Stop?", "Question", MB_OKCANCEL), IDCANCEL);
}

}  // namespace
}  // namespace dcs
