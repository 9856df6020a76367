// A published list of strings (a list box's Items), stored as "Items.Strings = (...)".
#pragma once

#include "platform/base/Lists.h"
#include "platform/classes/Classes.h"

namespace dcs {

class TStrings : public TPersistent {
    DCS_CLASS(TStrings, TPersistent)

    TStrings() = default;
    int Count() const { return FList.Count(); }
    const std::string& Strings(int Index) const { return FList.Strings(Index); }
    const std::string& operator[](int Index) const { return FList.Strings(Index); }
    int Add(const std::string& S);
    void Delete(int Index);
    void Clear();
    int IndexOf(const std::string& S) const { return FList.IndexOf(S); }
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;
    // Fired after every change.
    TNotifyEvent OnChange;

private:
    void Changed();
    TStringList FList;
};

}  // namespace dcs
