#include "platform/controls/ActnList.h"

namespace dcs {

void TBasicAction::DeclareProperties(TClassBuilder<TBasicAction>& P) { P.Event("OnExecute", &TBasicAction::OnExecute); }

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

void TAction::DeclareProperties(TClassBuilder<TAction>& P)
{
    P.String("Caption", &TAction::FCaption, &TAction::SetCaption);
    P.Boolean("Enabled", &TAction::FEnabled, &TAction::SetEnabled).Default(true);
}

bool TAction::Execute() { return FEnabled && TBasicAction::Execute(); }

void TActionManager::DeclareProperties(TClassBuilder<TActionManager>& P)
{
    P.String("StyleName", &TActionManager::FStyleName, &TActionManager::SetStyleName);
}

}  // namespace dcs
