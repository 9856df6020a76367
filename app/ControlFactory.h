// Making the windows' controls in code, by name, until the smooth controls can be
// stored: a control placed on its parent, and the labels, LEDs and sliders as the
// windows use them.
#pragma once

#include "platform/controls/StdCtrls.h"
#include "ui/controls/SmoothLedLabel.h"
#include "ui/controls/SmoothTrackBar.h"

#include <string>

namespace dcs {

// AOwner owns the new control.
template <class T>
T* NewControl(TComponent* AOwner, TWinControl* AParent, const std::string& AName, int X, int Y, int W, int H)
{
    T* c = Create<T>(AOwner);
    c->SetName(AName);
    c->SetParent(AParent);
    c->SetBounds(X, Y, W, H);
    return c;
}

inline TLabel* NewLabel(TComponent* AOwner, TWinControl* AParent, const std::string& AName, const std::string& AText,
                        int X, int Y, int W)
{
    auto* l = NewControl<TLabel>(AOwner, AParent, AName, X, Y, W, 18);
    l->SetCaption(AText);
    return l;
}

inline smooth::TSmoothLedLabel* NewLed(TComponent* AOwner, TWinControl* AParent, const std::string& AName,
                                       const char* AFormat, double AValue, int X, int Y, int W)
{
    auto* led = NewControl<smooth::TSmoothLedLabel>(AOwner, AParent, AName, X, Y, W, 40);
    led->Caption()->SetFormat(AFormat);
    led->Caption()->SetValue(AValue);
    return led;
}

struct TSliderRange {
    double Minimum, Maximum, Step, Position;
};

// Set up before any handler is bound, so making it runs none.
inline smooth::TSmoothTrackBar* NewSlider(TComponent* AOwner, TWinControl* AParent, const std::string& AName,
                                          bool AHorizontal, TSliderRange ARange, int X, int Y, int W, int H)
{
    auto* s = NewControl<smooth::TSmoothTrackBar>(AOwner, AParent, AName, X, Y, W, H);
    // A change of direction turns the bar round (width and height swap): the bounds come
    // after it.
    s->SetDirection(AHorizontal ? smooth::dHorizontal : smooth::dVertical);
    s->SetBounds(X, Y, W, H);
    s->SetMinimum(ARange.Minimum);
    s->SetMaximum(ARange.Maximum);
    s->SetStep(ARange.Step);
    s->SetPosition(ARange.Position);
    return s;
}

}  // namespace dcs
