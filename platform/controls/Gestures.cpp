#include "platform/controls/Gestures.h"

#include "platform/controls/ActnList.h"
#include "platform/controls/Controls.h"
#include "platform/win/PlatformFacts.h"

#include <algorithm>
#include <cstdlib>

namespace dcs {

int TGestureRecognizer::SwipeDistance() { return PlatformFacts().DpiX * 60 / 96; }

void TGestureRecognizer::Start(TPoint P)
{
    FTracking = true;
    FStart = FLast = P;
}

void TGestureRecognizer::Move(TPoint P)
{
    if (FTracking)
        FLast = P;
}

bool TGestureRecognizer::IsSwipe() const
{
    int dx = FLast.X - FStart.X, dy = std::abs(FLast.Y - FStart.Y);
    return FTracking && dx >= SwipeDistance() && dy * 2 <= dx;
}

int TGestureRecognizer::Finish(TPoint P)
{
    Move(P);
    bool swipe = IsSwipe();
    FTracking = false;
    return swipe ? sgiRight : 0;
}

TGestureManager::~TGestureManager() = default;

void TGestureManager::RegisterGesture(TControl* Control, int GestureID, TBasicAction* Action)
{
    std::erase_if(FBindings, [&](const TBinding& b) { return b.Control == Control && b.GestureID == GestureID; });
    FBindings.push_back({Control, GestureID, Action});
    Control->FreeNotification(this);
    if (Action)
        Action->FreeNotification(this);
    Control->SetGestureManager(this);
}

void TGestureManager::UnregisterControl(TControl* Control)
{
    std::erase_if(FBindings, [&](const TBinding& b) { return b.Control == Control; });
}

bool TGestureManager::FindGesture(TControl* Control, int GestureID, TBasicAction*& Action) const
{
    for (const auto& b : FBindings)
        if (b.Control == Control && b.GestureID == GestureID) {
            Action = b.Action;
            return true;
        }
    Action = nullptr;
    return false;
}

void TGestureManager::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    std::erase_if(FBindings, [&](const TBinding& b) { return b.Control == AComponent; });
    for (auto& b : FBindings)
        if (b.Action == AComponent)
            b.Action = nullptr;
}

}  // namespace dcs
