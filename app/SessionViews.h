// What the session logic needs of the window's controls, and no more: a toggle's Down,
// a LED's value, a label's text and visibility, a slider's stored position. The window
// binds its controls to these; tests bind plain records.
#pragma once

#include <string>

namespace dcs {

class IToggleView {
public:
    virtual ~IToggleView() = default;
    virtual bool Down() const = 0;
    // Writing Down does not run the toggle's click handler.
    virtual void SetDown(bool AValue) = 0;
};

class ILedView {
public:
    virtual ~ILedView() = default;
    virtual double Value() const = 0;
    virtual void SetValue(double AValue) = 0;
};

class ILabelView {
public:
    virtual ~ILabelView() = default;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool AValue) = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& AValue) = 0;
};

class ISliderView {
public:
    virtual ~ISliderView() = default;
    virtual double Position() const = 0;
};

}  // namespace dcs
