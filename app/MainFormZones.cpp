#include "app/MainFormZones.h"

#include "platform/controls/ActnList.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Gestures.h"

#include <string>

namespace dcs {

namespace {

// The pictures' own sizes (see tools/artwork.cpp), so Stretch never distorts them.
constexpr int kFigureW = 180;
constexpr std::array<int, 3> kZoneH {130, 200, 230};
constexpr std::array<const char*, 3> kImageNames {"imSXHead", "imSXBody", "imSXLegs"};
constexpr int kPanelLeft = 505, kPanelTop = 60, kMargin = 10;  // the margin takes swipes too

}  // namespace

void BuildZonePanel(TForm* AForm, TWinControl* APage, TGestureManager* AGestures, TAction* AWholeBody,
                    TZoneHandlers AHandlers, TZonePanel& AZones)
{
    AZones.Panel = Create<TPanel>(AForm);
    AZones.Panel->SetName("Panel1");
    AZones.Panel->SetCaption("");
    AZones.Panel->SetBevelOuter(bvNone);
    AZones.Panel->SetParent(APage);
    AZones.Panel->SetBounds(kPanelLeft, kPanelTop, kFigureW + 2 * kMargin,
                            kZoneH[0] + kZoneH[1] + kZoneH[2] + 2 * kMargin);
    AGestures->RegisterGesture(AZones.Panel, sgiRight, AWholeBody);
    int top = kMargin;
    for (TAutoZone zone : {azHead, azBody, azLegs}) {
        TImage* image = Create<TImage>(AForm);
        image->SetName(kImageNames[size_t(zone)]);
        image->SetParent(AZones.Panel);
        image->SetBounds(kMargin, top, kFigureW, kZoneH[size_t(zone)]);
        image->SetStretch(true);
        top += kZoneH[size_t(zone)];
        image->OnClick = [tap = AHandlers.Tap, zone](TObject*) {
            if (tap)
                tap(zone);
        };
        if (zone == azBody) {
            AGestures->RegisterGesture(image, sgiRight, nullptr);
            image->OnGesture = AHandlers.BodyGesture;
        } else {
            AGestures->RegisterGesture(image, sgiRight, AWholeBody);
        }
        AZones.Images[size_t(zone)] = image;
    }
}

}  // namespace dcs
