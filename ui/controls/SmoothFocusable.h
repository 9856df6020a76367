// What the focusable smooth controls share: they keep whether they have the focus, look
// different with it, and take arrows and all keys while they are tab stops.
#pragma once

#include "platform/controls/Controls.h"

namespace dcs::smooth {

class TSmoothFocusable : public TCustomControl {
    DCS_CLASS(TSmoothFocusable, TCustomControl)

    explicit TSmoothFocusable(TComponent* AOwner) : TCustomControl(AOwner) {}
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = TabStop() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS : 0;
            return;
        }
        TCustomControl::WndProc(Message);
    }

protected:
    // The look after the focus came or went.
    virtual void FocusChanged() { Invalidate(); }
    void DoEnter() override
    {
        FFocused = true;
        FocusChanged();
        TCustomControl::DoEnter();
    }
    void DoExit() override
    {
        FFocused = false;
        FocusChanged();
        TCustomControl::DoExit();
    }

    bool FFocused = false;
};

}  // namespace dcs::smooth
