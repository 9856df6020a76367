// The standard controls the windows use: labels, list boxes and push buttons.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/PersistentStrings.h"

namespace dcs {

enum TAlignment {
    taLeftJustify,
    taRightJustify,
    taCenter
};
const TEnumInfo& AlignmentInfo();

// Text on the parent's surface; its accelerator focuses FocusControl.
class TLabel : public TGraphicControl {
    DCS_CLASS(TLabel, TGraphicControl)

    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment V);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* V);
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    static void DeclareProperties(TClassBuilder<TLabel>& P);

protected:
    void Paint() override;
    void AdjustSize() override;
    void TextChanged() override;

private:
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    TWinControl* FFocusControl = nullptr;
};

// A list of text rows, one of which may be selected.
class TListBox : public TCustomControl {
    DCS_CLASS(TListBox, TCustomControl)

    explicit TListBox(TComponent* AOwner);
    TStrings& Items() { return *FItems; }
    TStrings* ItemsObject() const { return FItems.get(); }
    void SetItems(TStrings* V) { FItems->Assign(V); }
    // -1 when no row is selected.
    int ItemIndex() const { return FItemIndex; }
    // Out of range selects nothing.
    void SetItemIndex(int V);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int V);
    int TopIndex() const { return FTopIndex; }
    // The row at a client point, or -1.
    int ItemAtPos(TPoint P) const;

    void WndProc(TMessage& Message) override;

    static void DeclareProperties(TClassBuilder<TListBox>& P);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoKeyDown(WPARAM& Key, TShiftState Shift) override;

private:
    void ScrollIntoView();
    std::unique_ptr<TStrings> FItems;
    int FItemIndex = -1;
    int FItemHeight = 16;
    int FTopIndex = 0;
};

// A push button: a click sets its form's ModalResult (when it has one) before OnClick.
class TButton : public TCustomControl {
    DCS_CLASS(TButton, TCustomControl)

    explicit TButton(TComponent* AOwner);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult V) { FModalResult = V; }
    // Enter anywhere on the form clicks the default button, Escape the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool V) { FDefault = V; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool V) { FCancel = V; }
    bool Down() const { return FDown; }

    void Click() override;
    void WndProc(TMessage& Message) override;

    static void DeclareProperties(TClassBuilder<TButton>& P);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual bool IsCaptionStored() const { return true; }
    virtual bool IsModalResultStored() const { return true; }
    virtual bool IsDefaultStored() const { return true; }
    virtual bool IsCancelStored() const { return true; }

    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;

private:
    bool FDown = false;
};

}  // namespace dcs
