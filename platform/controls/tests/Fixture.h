// A headless GUI thread for control tests: a manual clock, an application object, and
// helpers that deliver input to a form the way a presenter would.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/win/Application.h"
#include "platform/win/PlatformFacts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dcs::testing {

// A named control of class T on Parent, owned by Parent's form.
template <class T> T* Add(TWinControl* Parent, const char* Name, TRect B)
{
    T* c = Create<T>(GetParentForm(Parent) ? static_cast<TComponent*>(GetParentForm(Parent)) : Parent);
    c->SetName(Name);
    c->SetBounds(B.Left, B.Top, B.Width(), B.Height());
    c->SetParent(Parent);
    return c;
}

class HeadlessGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetPlatformFacts();
        SetMessageClock(&Clock);
        App = Create<TApplication>(nullptr);
        Application = App;
    }
    void TearDown() override
    {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            Free(Screen()->Forms(i));
        App->ProcessMessages();
        Application = nullptr;
        Free(App);
        SetMessageClock(nullptr);
    }
    // A shown form of the given client size at the screen's origin.
    TForm* MakeForm(int W = 300, int H = 200)
    {
        TForm* f = Create<TForm>(nullptr);
        f->SetBounds(0, 0, W, H);
        f->Show();
        Pump();
        return f;
    }
    void Pump() { App->ProcessMessages(); }
    void Click(TCustomForm* F, TPoint P)
    {
        DeliverMouse(F->Handle(), WM_MOUSEMOVE, P);
        DeliverMouse(F->Handle(), WM_LBUTTONDOWN, P, MK_LBUTTON);
        DeliverMouse(F->Handle(), WM_LBUTTONUP, P);
        Pump();
    }
    void Drag(TCustomForm* F, TPoint From, TPoint To, int Steps = 4)
    {
        DeliverMouse(F->Handle(), WM_MOUSEMOVE, From);
        DeliverMouse(F->Handle(), WM_LBUTTONDOWN, From, MK_LBUTTON);
        for (int i = 1; i <= Steps; ++i)
            DeliverMouse(F->Handle(), WM_MOUSEMOVE,
                         {From.X + (To.X - From.X) * i / Steps, From.Y + (To.Y - From.Y) * i / Steps}, MK_LBUTTON);
        DeliverMouse(F->Handle(), WM_LBUTTONUP, To);
        Pump();
    }
    void Key(WPARAM VK)
    {
        DeliverKey(WM_KEYDOWN, VK);
        DeliverKey(WM_KEYUP, VK);
        Pump();
    }
    TManualClock Clock;
    TApplication* App = nullptr;
    std::vector<std::string> Log;
};

}  // namespace dcs::testing
