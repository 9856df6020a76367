#include "platform/controls/ApplicationHints.h"

#include "platform/win/Input.h"
#include "platform/win/PlatformFacts.h"

namespace dcs {

namespace {

// The hint goes this far below the pointer: about one cursor height.
constexpr int kCursorHeight = 20;

TApplicationHints* Current = nullptr;

bool IsButtonMessage(UINT Msg) { return Msg >= WM_LBUTTONDOWN && Msg <= WM_MOUSEWHEEL; }

}  // namespace

TApplicationHints* ApplicationHints()
{
    if (!Application)
        return nullptr;
    if (!Current || Current->Owner() != Application)
        Current = Create<TApplicationHints>(Application);
    return Current;
}

TApplicationHints::TApplicationHints(TComponent* AOwner) : TComponent(AOwner)
{
    FTimer = Create<TTimer>(this);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer([this](TObject*) { TimerFired(); });
}

TApplicationHints::~TApplicationHints()
{
    if (Current == this)
        Current = nullptr;
}

void TApplicationHints::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    if (AComponent == FHintControl) {
        FHintControl = nullptr;
        Wait(TWait::None, 0);
        HideWindow();
    }
    if (AComponent == FHintWindow)
        FHintWindow = nullptr;
    if (AComponent == FTimer)
        FTimer = nullptr;
}

void TApplicationHints::Wait(TWait What, int Ms)
{
    FWait = What;
    if (!FTimer)
        return;
    FTimer->SetEnabled(false);
    if (What == TWait::None)
        return;
    FTimer->SetInterval(uint32_t(std::max(Ms, 1)));
    FTimer->SetEnabled(true);
}

void TApplicationHints::HideWindow(bool ByPointer)
{
    if (!HintActive())
        return;
    if (ByPointer)
        FMovedOffAt = MessageClockNow();
    FHintWindow->ReleaseHandle();
}

bool TApplicationHints::RecentlyShown() const
{
    // The pointer leaving a window cancels its hint just before the next control hears
    // of the move, so "just now" counts as still showing.
    return HintActive() || (FMovedOffAt && MessageClockNow() - FMovedOffAt <= uint64_t(HintShortPause));
}

void TApplicationHints::SetHintControl(TControl* C)
{
    if (C == FHintControl)
        return;
    if (FHintControl)
        FHintControl->RemoveFreeNotification(this);
    FHintControl = C;
    if (C)
        C->FreeNotification(this);
}

void TApplicationHints::CancelHint()
{
    Wait(TWait::None, 0);
    HideWindow();
    SetHintControl(nullptr);
}

void TApplicationHints::PointerLeft()
{
    Wait(TWait::None, 0);
    HideWindow(true);
    SetHintControl(nullptr);
}

void TApplicationHints::MouseMessage(TControl* Control, UINT Msg, TPoint P)
{
    TPoint screen = Control->ClientToScreen(P);
    TControl* target = ShowHint && Control->ShowHint() ? Control : nullptr;
    if (IsButtonMessage(Msg)) {
        // A click ends the hint; it comes back only once the pointer has left the control.
        Wait(TWait::None, 0);
        HideWindow();
        SetHintControl(target);
        TPoint o = Control->ClientToScreen({0, 0});
        FCursorRect = Control->ClientRect().Offset(o.X, o.Y);
        return;
    }
    if (Msg != WM_MOUSEMOVE)
        return;
    bool wasActive = RecentlyShown();
    if (target == FHintControl) {
        bool pending = FWait == TWait::Show;
        if (!target || pending || FCursorRect.Contains(screen))
            return;
        // Out of the rectangle the hint was about: it starts over.
        HideWindow(true);
        Wait(TWait::Show, wasActive ? HintShortPause : HintPause);
        return;
    }
    HideWindow(true);
    SetHintControl(target);
    if (target)
        Wait(TWait::Show, wasActive ? HintShortPause : HintPause);
    else
        Wait(TWait::None, 0);
}

void TApplicationHints::TimerFired()
{
    TWait what = FWait;
    Wait(TWait::None, 0);
    switch (what) {
    case TWait::Show:
    case TWait::Reshow: ActivateHint(GetCursorPos()); break;
    case TWait::Hide: HideWindow(); break;
    case TWait::None: break;
    }
}

void TApplicationHints::ActivateHint(TPoint CursorPos)
{
    Wait(TWait::None, 0);
    TControl* c = FHintControl;
    if (!c || !ShowHint)
        return;
    TRect wa = GetWorkArea();
    TPoint origin = c->ClientToScreen({0, 0});
    THintInfo info;
    info.HintControl = c;
    info.HintPos = {CursorPos.X, CursorPos.Y + kCursorHeight};
    info.HintMaxWidth = wa.Width();
    info.HintColor = HintColor;
    info.CursorRect = c->ClientRect();
    info.CursorPos = {CursorPos.X - origin.X, CursorPos.Y - origin.Y};
    info.HideTimeout = HintHidePause;
    info.HintStr = c->Hint();
    bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint)
        OnShowHint(info.HintStr, canShow, info);
    if (FHintControl != c)
        return;  // the control went away meanwhile
    FCursorRect = info.CursorRect.Offset(origin.X, origin.Y);
    if (!canShow || info.HintStr.empty()) {
        HideWindow();
        return;
    }
    if (!FHintWindow) {
        FHintWindow = Create<THintWindow>(this);
        FHintWindow->FreeNotification(this);
    }
    FHintWindow->SetColor(info.HintColor);
    TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
    r = r.Offset(info.HintPos.X, info.HintPos.Y);
    // Below the pointer when it fits there, else above it.
    if (r.Bottom > wa.Bottom)
        r = r.Offset(0, CursorPos.Y - r.Height() - r.Top);
    FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
    if (info.ReshowTimeout > 0)
        Wait(TWait::Reshow, info.ReshowTimeout);
    else if (info.HideTimeout > 0)
        Wait(TWait::Hide, info.HideTimeout);
}

}  // namespace dcs
