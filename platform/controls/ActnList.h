// Actions: a command with a caption and an OnExecute handler that controls (and
// gestures) run instead of their own OnClick.
#pragma once

#include "platform/classes/Classes.h"

namespace dcs {

class TBasicAction : public TComponent {
    DCS_CLASS(TBasicAction, TComponent)

    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    // Runs OnExecute; false when there is none.
    virtual bool Execute();
    TNotifyEvent OnExecute;

    static void DeclareProperties(TClassBuilder<TBasicAction>& P);
};

class TAction : public TBasicAction {
    DCS_CLASS(TAction, TBasicAction)

    explicit TAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& V) { FCaption = V; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool V) { FEnabled = V; }
    // A disabled action does nothing.
    bool Execute() override;

    static void DeclareProperties(TClassBuilder<TAction>& P);

private:
    std::string FCaption;
    bool FEnabled = true;
};

// Holds actions, as the forms store them; the actions are its owner's components.
class TActionManager : public TComponent {
    DCS_CLASS(TActionManager, TComponent)

    explicit TActionManager(TComponent* AOwner) : TComponent(AOwner) {}
    std::string StyleName() const { return FStyleName; }
    void SetStyleName(const std::string& V) { FStyleName = V; }

    static void DeclareProperties(TClassBuilder<TActionManager>& P);

private:
    std::string FStyleName;
};

}  // namespace dcs
