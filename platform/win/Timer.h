// TTimer: a component that calls OnTimer every Interval milliseconds on the thread that
// created it, through a timer on its own hidden window.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/win/Messages.h"

namespace dcs {

class TTimer : public TComponent {
    DCS_CLASS(TTimer, TComponent)

    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);
    // Whether a system timer is running now.
    bool Armed() const { return FArmed; }
    HWND Handle() const { return FWindowHandle; }

    static void DeclareProperties(TClassBuilder<TTimer>& P);

protected:
    // Runs OnTimer; an exception from it goes to the application's exception display.
    virtual void Timer();

private:
    // Stops the timer and, when Enabled, Interval and OnTimer all allow it, starts it
    // anew: every change restarts the period. Raises EOutOfResources "Not enough timers
    // available" when the system has no timer left (the timer then stays stopped).
    void UpdateTimer();
    void WndProc(TMessage& Msg);

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindowHandle = 0;
    bool FArmed = false;
};

}  // namespace dcs
