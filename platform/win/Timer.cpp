#include "platform/win/Timer.h"

#include "platform/win/Application.h"

namespace dcs {

void TTimer::DeclareProperties(TClassBuilder<TTimer>& P)
{
    P.Boolean("Enabled", &TTimer::FEnabled, &TTimer::SetEnabled).Default(true);
    P.Integer("Interval", &TTimer::FInterval, &TTimer::SetInterval, "Cardinal").Default(1000);
    P.Event("OnTimer", &TTimer::FOnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    FWindowHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TTimer::~TTimer()
{
    FEnabled = false;
    KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
}

void TTimer::SetEnabled(bool Value)
{
    if (Value != FEnabled) {
        FEnabled = Value;
        UpdateTimer();
    }
}

void TTimer::SetInterval(uint32_t Value)
{
    if (Value != FInterval) {
        FInterval = Value;
        UpdateTimer();
    }
}

void TTimer::SetOnTimer(TNotifyEvent Value)
{
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    KillTimer(FWindowHandle, 1);
    FArmed = false;
    if (FInterval != 0 && FEnabled && FOnTimer) {
        if (SetTimer(FWindowHandle, 1, FInterval) == 0)
            throw EOutOfResources("Not enough timers available");
        FArmed = true;
    }
}

void TTimer::Timer()
{
    if (FOnTimer)
        FOnTimer(this);
}

void TTimer::WndProc(TMessage& Msg)
{
    if (Msg.Msg != WM_TIMER) {
        Msg.Result = DefWindowProc(FWindowHandle, Msg.Msg, Msg.WParam, Msg.LParam);
        return;
    }
    try {
        Timer();
    } catch (...) {
        if (Application)
            Application->HandleException(this);
    }
}

}  // namespace dcs
