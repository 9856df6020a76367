// Making a smooth panel in code. Its own translation unit: the panel's header and the
// smooth label's declare enumerators of the same names, so the two cannot be included
// together, and the windows that make panels include the label.
#pragma once

#include "platform/controls/Controls.h"

#include <string>

namespace dcs {

namespace smooth {
class TSmoothPanel;
}

// A rounded white panel with a black border, a shadow and a radial glow. AOwner owns it.
smooth::TSmoothPanel* NewSmoothPanel(TComponent* AOwner, TWinControl* AParent, const std::string& AName, int X, int Y,
                                     int W, int H);
// The panel as the parent of the controls placed on it.
TWinControl* PanelAsParent(smooth::TSmoothPanel* APanel);

}  // namespace dcs
