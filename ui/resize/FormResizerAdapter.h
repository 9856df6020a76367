// The form resizer's seams over the control layer: a form of the control layer, its
// window (subclassed through the window procedure, or seen by the thread's message hook
// on systems that report major version 4) and the platform facts.
#pragma once

#include "platform/classes/Classes.h"
#include "ui/resize/ResizeSeams.h"

namespace dcs {

class TCustomForm;

// The three seams for a kit owned by Form. GUI thread only.
TResizeSeams FormSeams(TCustomForm* Form);

// The desktop as the platform facts describe it: the taskbar is the strip between the
// screen and the work area (none when they are equal); it never hides itself.
std::shared_ptr<IResizeSystem> PlatformResizeSystem();

}  // namespace dcs
