// When a smooth control applies its design-time defaults.
#pragma once

#include "platform/classes/Classes.h"

namespace dcs::smooth {

// True when the control is being placed in the designer, not while its owner reads or
// loads a stored layout.
inline bool IsPlacedInDesigner(const TComponent* Control)
{
    if (!Control->ComponentState().Contains(csDesigning))
        return false;
    const TComponent* owner = Control->Owner();
    return !owner || !owner->ComponentState().ContainsAny(csReading | csLoading);
}

}  // namespace dcs::smooth
