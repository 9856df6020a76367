// The Auto page's body figure: Panel1 holding imSXHead, imSXBody and imSXLegs stacked
// head over body over legs, each image showing its zone's picture from the data folder.
//
// A tap on an image chooses its zone; a right swipe chooses the whole body. The swipe is
// a mouse press-drag-release (SDL turns a finger on a touch screen into mouse events)
// that each control's gesture recognizer reads from the window's input messages: on Panel1,
// imSXHead and imSXLegs GestureManager1 runs Action1, on imSXBody the swipe is
// registered without an action and reaches the image's OnGesture. A swipe is never also
// a tap. GUI thread only.
#pragma once

#include "app/ZoneSchedules.h"
#include "platform/controls/ExtCtrls.h"

#include <array>
#include <functional>

namespace dcs {

class TAction;
class TForm;
class TGestureManager;

struct TZonePanel {
    TPanel* Panel = nullptr;
    std::array<TImage*, 3> Images {};  // by TAutoZone: head, body, legs
};

struct TZoneHandlers {
    std::function<void(TAutoZone)> Tap;
    // imSXBody's OnGesture.
    TGestureEvent BodyGesture;
};

// Builds the figure on APage (AForm owns the controls) and registers the right swipe
// with AGestures.
void BuildZonePanel(TForm* AForm, TWinControl* APage, TGestureManager* AGestures, TAction* AWholeBody,
                    TZoneHandlers AHandlers, TZonePanel& AZones);

}  // namespace dcs
