// The session views over the window's smooth controls.
#pragma once

#include "app/SessionViews.h"
#include "ui/controls/SmoothLabel.h"
#include "ui/controls/SmoothLedLabel.h"
#include "ui/controls/SmoothToggleButton.h"
#include "ui/controls/SmoothTrackBar.h"

namespace dcs {

using smooth::TSmoothLabel;
using smooth::TSmoothLedLabel;
using smooth::TSmoothToggleButton;
using smooth::TSmoothTrackBar;

class TToggleControlView : public IToggleView {
public:
    explicit TToggleControlView(TSmoothToggleButton* AControl) : FControl(AControl) {}
    bool Down() const override { return FControl->Down(); }
    void SetDown(bool AValue) override { FControl->SetDown(AValue); }

private:
    TSmoothToggleButton* FControl;
};

class TLedControlView : public ILedView {
public:
    explicit TLedControlView(TSmoothLedLabel* AControl) : FControl(AControl) {}
    double Value() const override { return FControl->Caption()->Value(); }
    void SetValue(double AValue) override { FControl->Caption()->SetValue(AValue); }

private:
    TSmoothLedLabel* FControl;
};

class TLabelControlView : public ILabelView {
public:
    explicit TLabelControlView(TSmoothLabel* AControl) : FControl(AControl) {}
    bool Visible() const override { return FControl->Visible(); }
    void SetVisible(bool AValue) override { FControl->SetVisible(AValue); }
    std::string Text() const override { return FControl->Caption()->Text(); }
    void SetText(const std::string& AValue) override { FControl->Caption()->SetText(AValue); }

private:
    TSmoothLabel* FControl;
};

class TSliderControlView : public ISliderView {
public:
    explicit TSliderControlView(TSmoothTrackBar* AControl) : FControl(AControl) {}
    double Position() const override { return FControl->Position(); }

private:
    TSmoothTrackBar* FControl;
};

}  // namespace dcs
