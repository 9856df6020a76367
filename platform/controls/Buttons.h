// The button with a kind: an OK or Cancel button brings its caption, its modal result
// and its default or cancel role with it.
#pragma once

#include "platform/controls/StdCtrls.h"

namespace dcs {

enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

class TBitBtn : public TButton {
    DCS_CLASS(TBitBtn, TButton)

    explicit TBitBtn(TComponent* AOwner);
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind V);

    static void DeclareProperties(TClassBuilder<TBitBtn>& P);

protected:
    // What the kind brings is not stored again.
    bool IsCaptionStored() const override;
    bool IsModalResultStored() const override;
    bool IsDefaultStored() const override;
    bool IsCancelStored() const override;

private:
    TBitBtnKind FKind = bkCustom;
};

}  // namespace dcs
