#include "platform/controls/Buttons.h"

namespace dcs {

namespace {

const TEnumInfo kKinds {
    "TBitBtnKind",
    {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"}};

struct TKindTraits {
    const char* Caption;
    TModalResult Result;
    bool Default;
    bool Cancel;
};

TKindTraits Traits(TBitBtnKind K)
{
    switch (K) {
    case bkOK: return {"OK", mrOk, true, false};
    case bkCancel: return {"Cancel", mrCancel, false, true};
    case bkHelp: return {"&Help", mrNone, false, false};
    case bkYes: return {"&Yes", mrYes, true, false};
    case bkNo: return {"&No", mrNo, false, true};
    case bkClose: return {"&Close", mrClose, false, false};
    case bkAbort: return {"Abort", mrAbort, false, true};
    case bkRetry: return {"&Retry", mrRetry, false, false};
    case bkIgnore: return {"&Ignore", mrIgnore, false, false};
    case bkAll: return {"&All", 12, true, false};
    default: return {"", mrNone, false, false};
    }
}

}  // namespace

void TBitBtn::DeclareProperties(TClassBuilder<TBitBtn>& P)
{
    P.Enum("Kind", kKinds, &TBitBtn::FKind, &TBitBtn::SetKind).Default(bkCustom);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

void TBitBtn::SetKind(TBitBtnKind V)
{
    FKind = V;
    if (V == bkCustom)
        return;
    TKindTraits t = Traits(V);
    SetCaption(t.Caption);
    FModalResult = t.Result;
    FDefault = t.Default;
    FCancel = t.Cancel;
}

bool TBitBtn::IsCaptionStored() const { return FKind == bkCustom || Caption() != Traits(FKind).Caption; }
bool TBitBtn::IsModalResultStored() const { return FKind == bkCustom || FModalResult != Traits(FKind).Result; }
bool TBitBtn::IsDefaultStored() const { return FKind == bkCustom || FDefault != Traits(FKind).Default; }
bool TBitBtn::IsCancelStored() const { return FKind == bkCustom || FCancel != Traits(FKind).Cancel; }

}  // namespace dcs
