// Gestures: the recognizer for the one gesture the program uses, a swipe to the right
// (mouse or touch), and the manager that binds it, per control, to an action or to the
// control's OnGesture.
//
// A swipe is a press, a drag and a release whose path goes right by at least 60 pixels
// at 96 DPI (scaled with the screen's DPI) and at most half as far up or down. A press
// that turns out to be a swipe never also counts as a click.
#pragma once

#include "platform/base/Geometry.h"
#include "platform/classes/Classes.h"

#include <vector>

namespace dcs {

class TControl;
class TBasicAction;

// Follows one press-drag-release; Finish answers the gesture seen (0: none).
class TGestureRecognizer {
public:
    void Start(TPoint ScreenPos);
    void Move(TPoint ScreenPos);
    int Finish(TPoint ScreenPos);
    bool Tracking() const { return FTracking; }
    // Whether the path so far already is a swipe (so the press is no click).
    bool IsSwipe() const;
    TPoint Origin() const { return FStart; }
    static int SwipeDistance();  // pixels at the current DPI

private:
    bool FTracking = false;
    TPoint FStart;
    TPoint FLast;
};

class TGestureManager : public TComponent {
    DCS_CLASS(TGestureManager, TComponent)

    explicit TGestureManager(TComponent* AOwner) : TComponent(AOwner) {}
    ~TGestureManager() override;
    // Control's gesture GestureID runs Action, or (Action null) reaches its OnGesture.
    void RegisterGesture(TControl* Control, int GestureID, TBasicAction* Action);
    void UnregisterControl(TControl* Control);
    // Whether Control has GestureID registered; Action is set to its action (or null).
    bool FindGesture(TControl* Control, int GestureID, TBasicAction*& Action) const;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    struct TBinding {
        TControl* Control;
        int GestureID;
        TBasicAction* Action;
    };
    std::vector<TBinding> FBindings;
};

}  // namespace dcs
