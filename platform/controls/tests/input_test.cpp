#include "Fixture.h"

#include "platform/controls/ActnList.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Gestures.h"
#include "platform/controls/StdCtrls.h"
#include "platform/win/Timer.h"

namespace dcs {
namespace {

using Input = testing::HeadlessGui;

using testing::Add;

TEST_F(Input, AClickReachesTheControlUnderThePointerWindowedOrNot)
{
    TForm* f = MakeForm();
    auto* panel = Add<TPanel>(f, "panel", TRect::Bounds(10, 10, 150, 100));
    auto* label = Add<TLabel>(panel, "label", TRect::Bounds(5, 5, 60, 20));
    label->SetAutoSize(false);
    label->SetBounds(5, 5, 60, 20);
    auto* button = Add<TButton>(panel, "button", TRect::Bounds(5, 50, 75, 25));
    for (TControl* c : std::initializer_list<TControl*> {f, panel, label, button})
        c->OnClick = [this](TObject* s) { Log.push_back(static_cast<TComponent*>(s)->Name() + ".click"); };
    f->SetName("form");
    struct {
        TPoint P;
        const char* Expect;
    } cases[] = {
        {{20, 20}, "label.click"},  // graphic child of a windowed child
        {{20, 65}, "button.click"},
        {{100, 30}, "panel.click"},
        {{250, 150}, "form.click"},
    };
    for (auto& c : cases) {
        Log.clear();
        Click(f, c.P);
        EXPECT_EQ(Log, std::vector<std::string> {c.Expect}) << c.P.X << "," << c.P.Y;
    }
    // Hidden and disabled controls let the click through to what is below.
    label->Hide();
    button->SetEnabled(false);
    Log.clear();
    Click(f, {20, 20});
    Click(f, {20, 65});
    EXPECT_EQ(Log, (std::vector<std::string> {"panel.click", "panel.click"}));
}

TEST_F(Input, CaptureKeepsADragOnItsControlAndAReleaseOutsideIsNoClick)
{
    TForm* f = MakeForm();
    auto* label = Add<TLabel>(f, "label", TRect::Bounds(10, 10, 50, 20));
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 50, 20);
    auto* other = Add<TPanel>(f, "other", TRect::Bounds(100, 10, 100, 100));
    label->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
        Log.push_back("label.move " + std::to_string(X) + "," + std::to_string(Y));
    };
    other->OnMouseMove = [&](TObject*, TShiftState, int, int) { Log.push_back("other.move"); };
    label->OnClick = [&](TObject*) { Log.push_back("label.click"); };
    Drag(f, {20, 20}, {150, 50}, 2);
    EXPECT_EQ(Log, (std::vector<std::string> {"label.move 10,10", "label.move 75,25", "label.move 140,40"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    Log.clear();
    DeliverMouse(f->Handle(), WM_MOUSEMOVE, {150, 50});
    EXPECT_EQ(Log, std::vector<std::string> {"other.move"});
}

TEST_F(Input, MouseEnterAndLeaveFollowThePointerAcrossControls)
{
    TForm* f = MakeForm();
    auto* a = Add<TPanel>(f, "a", TRect::Bounds(0, 0, 50, 50));
    auto* b = Add<TLabel>(f, "b", TRect::Bounds(100, 0, 50, 50));
    b->SetAutoSize(false);
    b->SetBounds(100, 0, 50, 50);
    for (TControl* c : std::initializer_list<TControl*> {a, b}) {
        c->OnMouseEnter = [this](TObject* s) { Log.push_back(static_cast<TComponent*>(s)->Name() + ".enter"); };
        c->OnMouseLeave = [this](TObject* s) { Log.push_back(static_cast<TComponent*>(s)->Name() + ".leave"); };
    }
    DeliverMouse(f->Handle(), WM_MOUSEMOVE, {10, 10});
    DeliverMouse(f->Handle(), WM_MOUSEMOVE, {120, 10});
    DeliverMouseLeave(f->Handle());
    EXPECT_EQ(Log, (std::vector<std::string> {"a.enter", "a.leave", "b.enter", "b.leave"}));
}

TEST_F(Input, TabMovesFocusInTabOrderAndSkipsWhatCannotTakeIt)
{
    TForm* f = MakeForm();
    auto* b1 = Add<TButton>(f, "b1", TRect::Bounds(0, 0, 50, 20));
    auto* b2 = Add<TButton>(f, "b2", TRect::Bounds(0, 30, 50, 20));
    auto* b3 = Add<TButton>(f, "b3", TRect::Bounds(0, 60, 50, 20));
    auto* list = Add<TListBox>(f, "list", TRect::Bounds(100, 0, 100, 100));
    b3->SetTabOrder(0);  // b3, b1, b2, list
    b2->SetEnabled(false);
    for (TWinControl* c : std::initializer_list<TWinControl*> {b1, b2, b3, list}) {
        c->OnEnter = [this](TObject* s) { Log.push_back(static_cast<TComponent*>(s)->Name() + ".enter"); };
        c->OnExit = [this](TObject* s) { Log.push_back(static_cast<TComponent*>(s)->Name() + ".exit"); };
    }
    b3->SetFocus();
    Key(VK_TAB);
    Key(VK_TAB);
    Key(VK_TAB);  // wraps
    DeliverKey(WM_KEYDOWN, VK_SHIFT);
    Key(VK_TAB);  // back
    DeliverKey(WM_KEYUP, VK_SHIFT);
    EXPECT_EQ(Log,
              (std::vector<std::string> {"b3.enter", "b3.exit", "b1.enter", "b1.exit", "list.enter", "list.exit",
                                         "b3.enter", "b3.exit", "list.enter"}));
    EXPECT_EQ(f->ActiveControl(), list);
    EXPECT_TRUE(list->Focused());
}

TEST_F(Input, AnAcceleratorReachesItsControl)
{
    TForm* f = MakeForm();
    auto* open = Add<TButton>(f, "open", TRect::Bounds(0, 0, 50, 20));
    open->SetCaption("&Open");
    auto* list = Add<TListBox>(f, "list", TRect::Bounds(100, 0, 100, 100));
    auto* label = Add<TLabel>(f, "label", TRect::Bounds(0, 40, 50, 20));
    label->SetCaption("&Devices");
    label->SetFocusControl(list);
    open->OnClick = [this](TObject*) { Log.push_back("open.click"); };
    list->SetFocus();
    DeliverKey(WM_SYSCHAR, 'o');
    EXPECT_EQ(Log, std::vector<std::string> {"open.click"});
    EXPECT_TRUE(open->Focused());
    DeliverKey(WM_SYSCHAR, 'd');  // the label hands its accelerator to its control
    EXPECT_TRUE(list->Focused());
    DeliverKey(WM_CHAR, 'o');  // the list wants characters for itself
    EXPECT_EQ(Log.size(), 1u);
    DeliverKey(WM_SYSCHAR, 'x');  // nobody's
    EXPECT_EQ(Log.size(), 1u);
}

TEST_F(Input, ASwipeRunsTheBoundActionOrOnGestureAndNeverAlsoClicks)
{
    TForm* f = MakeForm(400, 300);
    auto* panel = Add<TPanel>(f, "panel", TRect::Bounds(0, 0, 400, 200));
    auto* image = Add<TImage>(panel, "image", TRect::Bounds(10, 10, 150, 150));
    auto* body = Add<TImage>(panel, "body", TRect::Bounds(200, 10, 150, 150));
    auto* action = Create<TAction>(f);
    auto* gestures = Create<TGestureManager>(f);
    gestures->RegisterGesture(panel, sgiRight, action);
    gestures->RegisterGesture(image, sgiRight, action);
    gestures->RegisterGesture(body, sgiRight, nullptr);
    action->OnExecute = [this](TObject*) { Log.push_back("action"); };
    image->OnClick = [this](TObject*) { Log.push_back("image.click"); };
    body->OnClick = [this](TObject*) { Log.push_back("body.click"); };
    body->OnGesture = [this](TObject*, const TGestureEventInfo& I, bool& Handled) {
        Log.push_back("body.gesture " + std::to_string(I.GestureID));
        Handled = true;
    };
    struct {
        const char* What;
        TPoint From, To;
        std::vector<std::string> Expect;
    } cases[] = {
        {"swipe on the image", {20, 80}, {100, 90}, {"action"}},
        {"too short is a click", {20, 80}, {70, 80}, {"image.click"}},
        {"too steep is a click", {20, 20}, {90, 70}, {"image.click"}},
        {"leftwards is a click", {100, 80}, {20, 80}, {"image.click"}},
        {"swipe without action goes to OnGesture", {210, 80}, {300, 80}, {"body.gesture " + std::to_string(sgiRight)}},
        {"swipe on the panel itself", {170, 180}, {260, 185}, {"action"}},
        {"swipe from the panel across the image", {4, 80}, {100, 85}, {"action"}},
        {"the panel's capture ended with it: a tap on the image", {20, 80}, {20, 80}, {"image.click"}},
    };
    for (auto& c : cases) {
        Log.clear();
        Drag(f, c.From, c.To);
        EXPECT_EQ(Log, c.Expect) << c.What;
    }
    // The distance grows with the screen's DPI.
    TPlatformFacts facts;
    facts.DpiX = facts.DpiY = 192;
    SetPlatformFacts(facts);
    Log.clear();
    Drag(f, {20, 80}, {100, 80});
    EXPECT_EQ(Log, std::vector<std::string> {"image.click"});
}

TEST_F(Input, AModalFormKeepsTimersTickingAndAnswersItsModalResult)
{
    TForm* main = MakeForm();
    auto* timer = Create<TTimer>(main);
    timer->SetInterval(100);
    int ticks = 0;
    TForm* dialog = Create<TForm>(nullptr);
    auto* ok = Add<TBitBtn>(dialog, "ok", TRect::Bounds(10, 10, 75, 25));
    ok->SetKind(bkOK);
    timer->SetOnTimer([&](TObject*) {
        ++ticks;
        EXPECT_FALSE(IsWindowEnabled(main->Handle()));  // the main form waits meanwhile
        if (ticks == 3) {
            Click(dialog, {20, 20});
        } else {
            Clock.Advance(100);
            PostMessage(dialog->Handle(), WM_NULL, 0, 0);  // wakes the loop to look again
        }
    });
    Clock.Advance(100);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    // Escape runs the cancel button's modal result; closing the window is a cancel too.
    auto* cancel = Add<TBitBtn>(dialog, "cancel", TRect::Bounds(100, 10, 75, 25));
    cancel->SetKind(bkCancel);
    timer->SetOnTimer([&](TObject*) {
        timer->SetEnabled(false);
        Key(VK_ESCAPE);
    });
    timer->SetEnabled(true);
    Clock.Advance(100);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    timer->SetOnTimer([&](TObject*) {
        timer->SetEnabled(false);
        SendMessage(dialog->Handle(), WM_CLOSE, 0, 0);
    });
    timer->SetEnabled(true);
    Clock.Advance(100);
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

TEST_F(Input, CloseHidesASecondaryFormAndEndsTheProgramOnTheMainForm)
{
    TForm* main = nullptr;
    CreateForm(main);
    TForm* second = nullptr;
    CreateForm(second);
    main->Show();
    second->Show();
    std::vector<std::string> actions;
    second->OnClose = [&](TObject*, TCloseAction& A) { actions.push_back(A == caHide ? "hide" : "?"); };
    second->Close();
    EXPECT_FALSE(second->Visible());
    EXPECT_FALSE(IsWindowVisible(second->Handle()));
    EXPECT_EQ(actions, std::vector<std::string> {"hide"});
    second->OnClose = [](TObject*, TCloseAction& A) { A = caNone; };
    second->Show();
    second->Close();
    EXPECT_TRUE(second->Visible());
    main->Close();
    Pump();
    EXPECT_TRUE(App->Terminated());
    EXPECT_TRUE(main->Visible());
}

}  // namespace
}  // namespace dcs
