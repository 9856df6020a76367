// The components' window-message timer: a TTimer whose OnTimer may raise without
// stopping it or reaching the application.
#pragma once

#include "platform/win/Timer.h"

namespace dcs {

class TCKTimer : public TTimer {
    DCS_CLASS(TCKTimer, TTimer)
    using TTimer::TTimer;

protected:
    void Timer() override
    {
        try {
            TTimer::Timer();
        } catch (...) {
            // A failing handler must not stop the ticks that drive the component.
        }
    }
};

}  // namespace dcs
