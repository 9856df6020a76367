#include "app/SmoothPanelMaker.h"

#include "app/ControlFactory.h"
#include "ui/controls/SmoothPanel.h"

namespace dcs {

smooth::TSmoothPanel* NewSmoothPanel(TComponent* AOwner, TWinControl* AParent, const std::string& AName, int X, int Y,
                                     int W, int H)
{
    smooth::TSmoothPanel* panel = NewControl<smooth::TSmoothPanel>(AOwner, AParent, AName, X, Y, W, H);
    // The rounded white frame the windows put their buttons on.
    smooth::TGDIPFill* f = panel->Fill();
    f->SetColor(clWhite);
    f->SetColorTo(clWhite);
    f->SetBorderColor(clBlack);
    f->SetRounding(10);
    f->SetShadowOffset(10);
    f->SetGlow(smooth::gmRadial);
    return panel;
}

TWinControl* PanelAsParent(smooth::TSmoothPanel* APanel) { return APanel; }

}  // namespace dcs
