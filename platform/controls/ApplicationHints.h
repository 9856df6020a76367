// The program's hint machinery: which control the pointer rests on, when its hint shows
// (after HintPause, or HintShortPause when another hint was just showing), when it hides
// again (HintHidePause), and where the hint window goes.
//
// Controls report every mouse message they receive; the pauses run on window timers,
// so they follow the message clock (tests advance a manual one). GUI thread only.
#pragma once

#include "platform/controls/HintWindow.h"
#include "platform/win/Timer.h"

#include <functional>

namespace dcs {

using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplicationHints : public TComponent {
    DCS_CLASS(TApplicationHints, TComponent)

    explicit TApplicationHints(TComponent* AOwner);
    ~TApplicationHints() override;

    bool ShowHint = true;
    int HintPause = 500;
    int HintShortPause = 50;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    // Last word on every hint: may change the text or refuse it.
    TShowHintEvent OnShowHint;

    // A mouse message Control received at P (its client coordinates).
    void MouseMessage(TControl* Control, UINT Msg, TPoint P);
    // Hides the hint and forgets the control (a key was pressed).
    void CancelHint();
    // The pointer left the control it was over (for another window, or the form).
    void PointerLeft();
    // Asks the control under the pointer for its hint (CM_HINTSHOW) and shows it now.
    void ActivateHint(TPoint CursorPos);

    // The window hints are shown in; null before the first hint.
    THintWindow* HintWindow() const { return FHintWindow; }
    bool HintActive() const { return FHintWindow && FHintWindow->Visible(); }
    TControl* HintControl() const { return FHintControl; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    enum class TWait {
        None,
        Show,
        Hide,
        Reshow
    };
    void Wait(TWait What, int Ms);
    // ByPointer: the pointer moved on, so a hint of the next control comes after the
    // short pause.
    void HideWindow(bool ByPointer = false);
    bool RecentlyShown() const;
    void SetHintControl(TControl* C);
    void TimerFired();

    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    TTimer* FTimer = nullptr;
    TWait FWait = TWait::None;
    // Screen coordinates: while the pointer stays inside, FHintControl's hint is not
    // asked for again.
    TRect FCursorRect;
    uint64_t FMovedOffAt = 0;  // message clock when the pointer last moved off a showing hint
};

// The hint machinery of the running application object, made on first use and freed
// with it; null while there is no application object.
TApplicationHints* ApplicationHints();

}  // namespace dcs
