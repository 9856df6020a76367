// A bare window for tests that read or write a component tree in its text form: it
// stores the components it owns, as a window of the program does.
#pragma once

#include "platform/classes/Classes.h"

namespace dcs {

class TTestWindow : public TComponent {
    DCS_CLASS(TTestWindow, TComponent)
    using TComponent::TComponent;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
    {
        if (Root == this)
            for (int i = 0; i < ComponentCount(); ++i)
                Proc(Components(i));
    }
};

}  // namespace dcs
