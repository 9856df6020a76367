#include "platform/controls/StdCtrls.h"

#include "platform/classes/Streaming.h"
#include "platform/controls/Forms.h"

#include <algorithm>

namespace dcs {

const TEnumInfo& AlignmentInfo()
{
    static const TEnumInfo info {"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
    return info;
}

// ---------------------------------------------------------------------------------
// TLabel

void TLabel::DeclareProperties(TClassBuilder<TLabel>& P)
{
    P.Enum("Alignment", AlignmentInfo(), &TLabel::FAlignment, &TLabel::SetAlignment).Default(taLeftJustify);
    P.String("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Component("FocusControl", &TLabel::FFocusControl, &TLabel::SetFocusControl);
    P.Boolean("Transparent", &TLabel::FTransparent, &TLabel::SetTransparent).Default(false);
}

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 65;
    FHeight = 17;
    SetParentColor(true);
    SetAutoSize(true);
}

void TLabel::SetAlignment(TAlignment V)
{
    FAlignment = V;
    Invalidate();
}

void TLabel::SetTransparent(bool V)
{
    FTransparent = V;
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* V)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = V;
    if (V)
        V->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TLabel::WndProc(TMessage& M)
{
    if (M.Msg == CM_DIALOGCHAR) {
        if (FFocusControl && Enabled() && IsAccel(static_cast<char>(M.WParam), Caption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            M.Result = 1;
        }
        return;
    }
    TGraphicControl::WndProc(M);
}

void TLabel::TextChanged()
{
    if (AutoSize())
        AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize()
{
    if (IsLoadingInChain() || !AutoSize())
        return;
    TCanvas measure;
    measure.Font()->Assign(Font());
    std::string text = StripHotkey(Caption());
    int w = measure.TextWidth(text.empty() ? " " : text);
    int h = measure.TextHeight(text);
    if (text.empty())
        w = 0;
    SetBounds(FLeft, FTop, w, h);
}

void TLabel::Paint()
{
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    if (!FTransparent) {
        c.Brush.Color = FColor;
        c.FillRect(r);
    }
    c.Brush.Style = bsClear;
    if (!Enabled())
        c.Font()->SetColor(clGrayText);
    std::string text = StripHotkey(Caption());
    int w = c.TextWidth(text);
    int x = FAlignment == taLeftJustify ? 0 : FAlignment == taCenter ? (r.Width() - w) / 2 : r.Width() - w;
    c.TextRect(r, x, 0, text);
}

// ---------------------------------------------------------------------------------
// TListBox

void TListBox::DeclareProperties(TClassBuilder<TListBox>& P)
{
    P.Integer("ItemHeight", &TListBox::FItemHeight, &TListBox::SetItemHeight).Default(16);
    P.Object("Items", &TListBox::ItemsObject, &TListBox::SetItems);
}

TListBox::TListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TStrings>())
{
    FItems->OnChange = [this](TObject*) {
        if (FItemIndex >= FItems->Count())
            FItemIndex = -1;
        Invalidate();
    };
    FWidth = 121;
    FHeight = 97;
    SetTabStop(true);
    SetDefaultColor(clWindow);
}

void TListBox::SetItemIndex(int V)
{
    if (V < 0 || V >= FItems->Count())
        V = -1;
    if (V == FItemIndex)
        return;
    FItemIndex = V;
    ScrollIntoView();
    Invalidate();
}

void TListBox::SetItemHeight(int V)
{
    if (V > 0 && V != FItemHeight) {
        FItemHeight = V;
        Invalidate();
    }
}

void TListBox::ScrollIntoView()
{
    if (FItemIndex < 0)
        return;
    int visible = std::max(1, ClientHeight() / FItemHeight);
    if (FItemIndex < FTopIndex)
        FTopIndex = FItemIndex;
    else if (FItemIndex >= FTopIndex + visible)
        FTopIndex = FItemIndex - visible + 1;
}

int TListBox::ItemAtPos(TPoint P) const
{
    if (!ClientRect().Contains(P))
        return -1;
    int i = FTopIndex + P.Y / FItemHeight;
    return i < FItems->Count() ? i : -1;
}

void TListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        int i = ItemAtPos({X, Y});
        if (i >= 0)
            SetItemIndex(i);
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

bool TListBox::DoKeyDown(WPARAM& Key, TShiftState Shift)
{
    if (TCustomControl::DoKeyDown(Key, Shift))
        return true;
    int n = FItems->Count();
    if (n == 0)
        return false;
    int page = std::max(1, ClientHeight() / FItemHeight);
    int i = FItemIndex;
    switch (Key) {
    case VK_UP: i = std::max(0, i - 1); break;
    case VK_DOWN: i = std::min(n - 1, i + 1); break;
    case VK_HOME: i = 0; break;
    case VK_END: i = n - 1; break;
    case VK_PRIOR: i = std::max(0, i - page); break;
    case VK_NEXT: i = std::min(n - 1, i + page); break;
    default: return false;
    }
    if (i != FItemIndex) {
        SetItemIndex(i);
        if (OnClick)
            OnClick(this);
    }
    return true;
}

void TListBox::WndProc(TMessage& M)
{
    if (M.Msg == WM_GETDLGCODE) {
        M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    }
    if (M.Msg == WM_MOUSEWHEEL) {
        int delta = GET_WHEEL_DELTA_WPARAM(M.WParam) / WHEEL_DELTA * 3;
        int maxTop = std::max(0, FItems->Count() - std::max(1, ClientHeight() / FItemHeight));
        FTopIndex = std::clamp(FTopIndex - delta, 0, maxTop);
        Invalidate();
        M.Result = 1;
        return;
    }
    TCustomControl::WndProc(M);
}

void TListBox::Paint()
{
    TCanvas& c = *Canvas();
    c.Brush.Color = FColor;
    c.FillRect(ClientRect());
    for (int i = FTopIndex, y = 0; i < FItems->Count() && y < ClientHeight(); ++i, y += FItemHeight) {
        TRect row {0, y, ClientWidth(), y + FItemHeight};
        bool sel = i == FItemIndex;
        c.Brush.Color = sel ? clHighlight : FColor;
        c.FillRect(row);
        c.Font()->SetColor(sel ? clHighlightText : Font()->Color());
        c.Brush.Style = bsClear;
        c.TextRect(row, 2, y, FItems->Strings(i));
        c.Brush.Style = bsSolid;
    }
}

// ---------------------------------------------------------------------------------
// TButton

void TButton::DeclareProperties(TClassBuilder<TButton>& P)
{
    P.Boolean("Cancel", &TButton::FCancel, &TButton::SetCancel).Default(false).Stored(&TButton::IsCancelStored);
    P.String("Caption", &TControl::Caption, &TControl::SetCaption).Stored(&TButton::IsCaptionStored);
    P.Boolean("Default", &TButton::FDefault, &TButton::SetDefault).Default(false).Stored(&TButton::IsDefaultStored);
    P.Integer("ModalResult", &TButton::FModalResult, &TButton::SetModalResult, "TModalResult")
        .Default(mrNone)
        .Stored(&TButton::IsModalResultStored);
}

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner)
{
    FWidth = 75;
    FHeight = 25;
    SetTabStop(true);
    SetDefaultColor(clBtnFace);
}

void TButton::Click()
{
    if (FModalResult != mrNone)
        if (TCustomForm* f = GetParentForm(this))
            f->SetModalResult(FModalResult);
    TCustomControl::Click();
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (CanFocus() && !Focused())
            SetFocus();
        FDown = true;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FDown) {
        FDown = false;
        Invalidate();
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButton::WndProc(TMessage& M)
{
    switch (M.Msg) {
    case CM_DIALOGKEY:
        if (((M.WParam == VK_RETURN && (FDefault || Focused())) || (M.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
            Click();
            M.Result = 1;
        }
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(M.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Click();
            M.Result = 1;
        }
        return;
    case WM_KEYUP:
        if (M.WParam == VK_SPACE) {
            Click();
            return;
        }
        break;
    case WM_GETDLGCODE: M.Result = 0; return;
    default: break;
    }
    TCustomControl::WndProc(M);
}

void TButton::Paint()
{
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush.Color = FDown ? clBtnShadow : FColor;
    c.Pen.Color = (FDefault || Focused()) ? clHighlight : clBtnShadow;
    c.Rectangle(r);
    std::string text = StripHotkey(Caption());
    c.Brush.Style = bsClear;
    if (!Enabled())
        c.Font()->SetColor(clGrayText);
    int w = c.TextWidth(text), h = c.TextHeight(text);
    c.TextRect(r, (r.Width() - w) / 2, (r.Height() - h) / 2, text);
}

}  // namespace dcs
