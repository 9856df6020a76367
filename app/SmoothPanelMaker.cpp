#include "app/SmoothPanelMaker.h"

#include "app/ControlFactory.h"
#include "ui/controls/SmoothPanel.h"

namespace dcs {

smooth::TSmoothPanel* NewSmoothPanel(TComponent* AOwner, TWinControl* AParent, const std::string& AName, int X, int Y,
                                     int W, int H)
{
    return NewControl<smooth::TSmoothPanel>(AOwner, AParent, AName, X, Y, W, H);
}

TWinControl* PanelAsParent(smooth::TSmoothPanel* APanel) { return APanel; }

}  // namespace dcs
