#include "platform/controls/PersistentStrings.h"

#include "platform/classes/Streaming.h"

namespace dcs {

void TStrings::Changed()
{
    if (OnChange)
        OnChange(this);
}

int TStrings::Add(const std::string& S)
{
    int i = FList.Add(S);
    Changed();
    return i;
}

void TStrings::Delete(int Index)
{
    FList.Delete(Index);
    Changed();
}

void TStrings::Clear()
{
    FList.Clear();
    Changed();
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* s = As<TStrings>(Source)) {
        FList.Clear();
        for (int i = 0; i < s->Count(); ++i)
            FList.Add(s->Strings(i));
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::DefineProperties(TFiler& Filer)
{
    Filer.DefineProperty(
        "Strings",
        [this](TReader& R) {
            FList.Clear();
            R.ReadListBegin();
            while (!R.EndOfList())
                FList.Add(R.ReadString());
            R.ReadListEnd();
            Changed();
        },
        [this](TWriter& W) {
            W.WriteListBegin();
            for (int i = 0; i < FList.Count(); ++i)
                W.WriteString(FList.Strings(i));
            W.WriteListEnd();
        },
        FList.Count() > 0);
}

}  // namespace dcs
