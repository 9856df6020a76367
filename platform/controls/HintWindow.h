// The small borderless window a hint or tooltip is shown in.
#pragma once

#include "platform/controls/Forms.h"

namespace dcs {

// A top-level popup that shows a text and never takes the activation or the focus. It
// is no form of the screen's list (nothing enumerates it with the windows).
class THintWindow : public TCustomForm {
    DCS_CLASS(THintWindow, TCustomForm)

    explicit THintWindow(TComponent* AOwner);

    // The size AHint needs, at the origin: one line per "\n", no wider than MaxWidth
    // (when positive).
    virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
    // Shows AHint in Rect (screen coordinates), moved inside the work area when it
    // does not fit.
    virtual void ActivateHint(TRect Rect, const std::string& AHint);
    void ActivateHintData(TRect Rect, const std::string& AHint, void* AData);
    // Hides the window.
    void ReleaseHandle() { Hide(); }
    // Shows or hides without activating the window or moving the focus.
    void SetVisible(bool V) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(TCanvas& Canvas) override;

private:
    void* FData = nullptr;
};

// R moved (not resized) so that it lies inside the work area as far as it can.
TRect FitInWorkArea(TRect R);

}  // namespace dcs
