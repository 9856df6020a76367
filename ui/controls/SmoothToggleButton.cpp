#include "ui/controls/SmoothToggleButton.h"

#include "platform/controls/Forms.h"
#include "platform/controls/HintWindow.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/DesignTime.h"
#include "ui/controls/SmEnumInfo.h"

#include <cmath>

namespace dcs::smooth {

// ------------------------------------------------------------------ status badge

TSmoothToggleButtonStatus::TSmoothToggleButtonStatus(TSmoothToggleButton* AOwner)
    : TSmoothBadge([AOwner] { AOwner->Invalidate(); })
{
}

// ------------------------------------------------------------------ button

TSmoothToggleButton::TSmoothToggleButton(TComponent* AOwner) : TSmoothFocusable(AOwner)
{
    SetControlStyle((ControlStyle() & ~csClickEvents) | csDoubleClicks);
    SetDoubleBuffered(true);
    SetTabStop(true);
    FWidth = 160;
    FHeight = 35;
    FDesignTime = IsPlacedInDesigner(this);
    auto repaint = [this](TObject*) { Invalidate(); };
    for (auto* p : {&FPicture, &FPictureDisabled, &FPictureDown}) {
        *p = std::make_unique<TSmGDIPPicture>();
        (*p)->OnChange = repaint;
    }
    FAppearance = std::make_unique<TGDIPButton>();
    FAppearance->OnChange = repaint;
    FAppearance->OnFontChange = [this](TObject*) { SetParentFont(false); };
    FAppearance->OnIsFontStored = [this](TObject*, bool& IsStored) { IsStored = !ParentFont(); };
    FStatus = std::make_unique<TSmoothToggleButtonStatus>(this);
    if (FDesignTime)
        FStatus->ApplyDesignDefaults();
    FClickTimer = Create<TTimer>(this);
    FClickTimer->SetEnabled(false);
    FClickTimer->SetInterval(500);
    FClickTimer->SetOnTimer([this](TObject*) { RepeatTick(); });
}

TSmoothToggleButton::~TSmoothToggleButton()
{
    FreeAndNil(FClickTimer);
    FStatus.reset();
}

void TSmoothToggleButton::SetDown(bool V)
{
    if (V == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = V;
    FMouseInside = V;
    FState = V ? bsDown : bsUp;
    TellGroup();
    Invalidate();
}

void TSmoothToggleButton::SetAllowAllUp(bool V)
{
    FAllowAllUp = V;
    TellGroup();
    Invalidate();
}

void TSmoothToggleButton::SetAllowTimer(bool V)
{
    FAllowTimer = V;
    if (!V)
        FClickTimer->SetEnabled(false);
    Invalidate();
}

void TSmoothToggleButton::SetEnabled(bool V)
{
    TSmoothFocusable::SetEnabled(V);
    Invalidate();
}

void TSmoothToggleButton::TellGroup()
{
    if (FGroupIndex == 0 || !Parent())
        return;
    TMessage m {CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this), 0};
    Parent()->Broadcast(m);
}

void TSmoothToggleButton::ButtonPressed(int Group, TSmoothToggleButton* Sender)
{
    if (Group != FGroupIndex || !Sender || Sender == this)
        return;
    if (Sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        Invalidate();
    }
    FAllowAllUp = Sender->FAllowAllUp;
}

void TSmoothToggleButton::DoClick()
{
    if (TCustomForm* f = GetParentForm(this); f && FModalResult != mrNone)
        f->SetModalResult(FModalResult);
    if (OnClick && Enabled())
        OnClick(this);
}

void TSmoothToggleButton::Toggle()
{
    FDown = !FDown;
    FState = FDown ? bsDown : bsUp;
}

void TSmoothToggleButton::Click()
{
    if (!(FDown && !FAllowAllUp)) {
        Toggle();
        if (FDown)
            TellGroup();
        Invalidate();
    }
    if (TCustomForm* f = GetParentForm(this); f && FModalResult != mrNone)
        f->SetModalResult(FModalResult);
    TSmoothFocusable::Click();
}

// ------------------------------------------------------------------ mouse

void TSmoothToggleButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Shift & ssDouble)
        return;                          // a double click toggles once: its second press only raised OnDblClick
    const bool dropped = DroppedDown();  // a press on an open drop-down only closes it
    TSmoothFocusable::MouseDown(Button, Shift, X, Y);
    FPauseClick = false;
    FClickTimer->SetEnabled(false);
    FClickTimer->SetInterval(uint32_t(FInitPause));
    FMouseDown = true;
    if (TabStop() && CanFocus())
        SetFocus();
    FPressActed = false;
    if (!FAllowAllUp && FDown)
        return;
    FPressActed = true;
    if (!Enabled()) {
        FDown = false;
    } else if (!FAutoToggle) {
        FDown = true;
        if (FAllowTimer)
            FClickTimer->SetEnabled(true);
    } else {
        Toggle();
    }
    Repaint();
    if (Button == mbLeft && !FDesignTime && ClientRect().Contains({X, Y})) {
        if (dropped)
            FDropDownWindow->Hide();
        else
            DropDown();
    }
}

void TSmoothToggleButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseUp(Button, Shift, X, Y);
    FClickTimer->SetEnabled(false);
    if (!FMouseDown)
        return;
    if (!ClientRect().Contains({X, Y})) {
        UndoPress();  // released outside: as if the pointer had left first
        return;
    }
    FMouseDown = false;
    if (Enabled()) {
        if (!FAutoToggle || FState == bsUp)
            FDown = false;
        TellGroup();
    } else {
        FDown = false;
        FState = bsUp;
    }
    Repaint();
    if (!FPauseClick)
        DoClick();
}

void TSmoothToggleButton::UndoPress()
{
    if (FMouseDown && FPressActed) {
        if (FAutoToggle)
            Toggle();
        else
            FDown = false;
    }
    FMouseInside = false;
    FMouseDown = false;
    FClickTimer->SetEnabled(false);
    Invalidate();
}

void TSmoothToggleButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseMove(Shift, X, Y);
    // Held with the capture, the pointer may leave without a leave message.
    if (FMouseDown && !ClientRect().Contains({X, Y}))
        UndoPress();
}

void TSmoothToggleButton::MouseEnter()
{
    TSmoothFocusable::MouseEnter();
    FMouseInside = true;
    Invalidate();
}

void TSmoothToggleButton::MouseLeave()
{
    TSmoothFocusable::MouseLeave();
    if (FMouseDown) {
        UndoPress();
    } else {
        FMouseInside = false;
        Invalidate();
    }
}

void TSmoothToggleButton::RepeatTick()
{
    if (!FAllowTimer)
        return;
    if (!FPauseClick) {
        FPauseClick = true;
        FClickTimer->SetInterval(uint32_t(FRepeatInterval));
    }
    DoClick();
}

// ------------------------------------------------------------------ drop-down

void TSmoothToggleButton::SetDropDownControl(TWinControl* V)
{
    if (V == FDropDownControl)
        return;
    if (FDropDownControl)
        FDropDownControl->RemoveFreeNotification(this);
    FDropDownControl = V;
    if (V) {
        V->FreeNotification(this);
        V->Hide();
    }
    Invalidate();
}

bool TSmoothToggleButton::DroppedDown() const { return FDropDownWindow && FDropDownWindow->Visible(); }

void TSmoothToggleButton::SetDroppedDown(bool V)
{
    if (V == DroppedDown())
        return;
    if (V)
        DropDown();
    else
        FDropDownWindow->Hide();
}

void TSmoothToggleButton::DropDown()
{
    if (!Enabled() || !FDropDownControl)
        return;
    if (!FDropDownWindow) {
        FDropDownWindow = Create<THintWindow>(this);
        FDropDownWindow->SetColor(clWhite);
    }
    if (FDropDownWindow->Visible()) {
        FDropDownWindow->Hide();
        return;
    }
    const bool badge = FStatus->Showing();
    const int w = FDropDownControl->Width() + 2, h = FDropDownControl->Height() + 2;
    const TPoint topLeft = ClientToScreen({0, 0});
    const TPoint bottomLeft = ClientToScreen({0, Height()});
    int x = bottomLeft.X + (badge ? FHorizontalSpacing : 0);
    int y = bottomLeft.Y - (badge ? FVerticalSpacing : 0);
    const TRect work = Screen()->WorkAreaRect();
    if (y + h + 4 > work.Bottom)
        y = topLeft.Y - h;  // no room below: it opens above the button
    if (x + w > work.Right)
        x = topLeft.X + Width() - w;
    FDropDownWindow->SetBounds(x, y, w, h);
    FDropDownControl->SetParent(FDropDownWindow);
    FDropDownControl->SetAlign(alClient);
    FDropDownControl->Show();
    FDropDownWindow->Show();
    if (OnDropDown)
        OnDropDown(this);
    Invalidate();
}

// ------------------------------------------------------------------ keyboard and focus

void TSmoothToggleButton::KeyPress(char& Key)
{
    TSmoothFocusable::KeyPress(Key);
    if ((Key != ' ' && Key != '\r') || !TabStop())
        return;
    FMouseInside = true;
    if (FAllowAllUp || !FDown) {
        Toggle();
        TellGroup();
        Invalidate();
        DoClick();
    } else {
        Click();
    }
}

void TSmoothToggleButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        ButtonPressed(int(Message.WParam),
                      dynamic_cast<TSmoothToggleButton*>(reinterpret_cast<TObject*>(Message.LParam)));
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(char(Message.WParam), Caption()) && CanFocus() && (FAllowAllUp || !FDown)) {
            Toggle();
            if (FDown)
                TellGroup();
            Invalidate();
            DoClick();
            Message.Result = 1;
            return;
        }
        break;
    case CM_PARENTFONTCHANGED:
        TSmoothFocusable::WndProc(Message);
        if (ParentFont() && Parent()) {
            TakeParentFont(*FAppearance, Parent()->Font());
            Invalidate();
        }
        return;
    default: break;
    }
    TSmoothFocusable::WndProc(Message);
}

void TSmoothToggleButton::Notification(TComponent* AComponent, TOperation Operation)
{
    if (FAppearance)
        FAppearance->DoNotification(this, AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FDropDownControl && !ComponentState().Contains(csDestroying))
        FDropDownControl = nullptr;
    TSmoothFocusable::Notification(AComponent, Operation);
}

void TSmoothToggleButton::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothToggleButton*>(Source);
    if (!s || s == this)
        return;
    FColor = s->FColor;
    FColorDown = s->FColorDown;
    FColorDisabled = s->FColorDisabled;
    FBorderColor = s->FBorderColor;
    FBevelWidth = s->FBevelWidth;
    FBevelColor = s->FBevelColor;
    FBevelColorDown = s->FBevelColorDown;
    FBevelColorDisabled = s->FBevelColorDisabled;
    FDropDownButton = s->FDropDownButton;
    SetDown(s->FDown);
    FAutoToggle = s->FAutoToggle;
    FPicture->Assign(s->FPicture.get());
    FPictureDisabled->Assign(s->FPictureDisabled.get());
    FPictureDown->Assign(s->FPictureDown.get());
    FAppearance->Assign(s->FAppearance.get());
    FGroupIndex = s->FGroupIndex;
    FBorderInnerColor = s->FBorderInnerColor;
    FStatus->Assign(s->FStatus.get());
    Invalidate();
}

// ------------------------------------------------------------------ painting

namespace {

TColor Darker(TColor C)
{
    const TColor rgb = ColorToRGB(C);
    double h, s, v, r, g, b;
    RGBtoHSV(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), h, s, v);
    HSVtoRGB(h, s, v * 0.6, r, g, b);
    return TColor(RGB(uint8_t(std::lround(r)), uint8_t(std::lround(g)), uint8_t(std::lround(b))));
}

// One band of the wide bevel: the dark colour, lit from its middle by the bevel colour.
void BevelBand(TGPGraphics* g, const TGPRectF& R, int Radius, TFillRoundingType Rounding, TColor Bevel, TColor Dark)
{
    std::unique_ptr<TGPGraphicsPath> band(BuildRoundRectPath(R, Radius, Rounding));
    TGPSolidBrush dark(ColorToARGB(Dark));
    g->FillPath(&dark, band.get());
    const bool wide = R.Width >= R.Height;
    TGPRectF ellipse = R, inner = R;
    if (wide) {
        ellipse.X += 2;
        inner.X += 2, inner.Width -= 4;
    } else {
        ellipse.Y += 2;
        inner.Y += 2, inner.Height -= 4;
    }
    TGPGraphicsPath shape;
    shape.AddEllipse(ellipse);
    TGPPathGradientBrush light(&shape);
    light.SetCenterColor(ColorToARGB(Bevel));
    ARGB edge = ColorToARGB(Dark);
    INT one = 1;
    light.SetSurroundColors(&edge, one);
    g->FillRectangle(&light, inner);
}

}  // namespace

void TSmoothToggleButton::Paint()
{
    TCanvas* canvas = Canvas();
    if (!canvas)
        return;
    TCanvasGraphics cg(*canvas);
    TGPGraphics* g = cg.Get();
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    g->SetTextRenderingHint(TextRenderingHintAntiAlias);
    const bool badge = FStatus->Showing();
    const int SX = badge ? FHorizontalSpacing : 0, SY = badge ? FVerticalSpacing : 0;
    int W = Width() - 2 * SX - 1, H = Height() - 2 * SY - 1;
    int x = SX, y = SY;
    const bool enabled = Enabled();
    TColor face = FColor, bevel = FBevelColor, down = FColorDown;
    TSmGDIPPicture* pic = FPicture.get();
    if (!enabled) {
        face = FColorDisabled, bevel = FBevelColorDisabled, down = clNone;
        if (!FPictureDisabled->Empty())
            pic = FPictureDisabled.get();
    } else if (FDown) {
        bevel = FBevelColorDown;
        if (!FPictureDown->Empty())
            pic = FPictureDown.get();
    }
    const int radius = FAppearance->Rounding() - 1;
    const int B = FBevelWidth;
    if (B > 3) {
        const TColor dark = Darker(bevel);
        BevelBand(g, RectF(REAL(SX), REAL(SY), REAL(W), REAL(B)), radius, rtTop, bevel, dark);
        BevelBand(g, RectF(REAL(SX), REAL(SY + B - 1), REAL(B), REAL(H - 2 * B + 2)), radius, rtNone, bevel, dark);
        BevelBand(g, RectF(REAL(SX), REAL(H + SY - B), REAL(W), REAL(B)), radius, rtBottom, bevel, dark);
        BevelBand(g, RectF(REAL(W + SX - B), REAL(SY + B - 1), REAL(B), REAL(H - 2 * B + 2)), radius, rtNone, bevel,
                  dark);
    } else if (B >= 1) {
        std::unique_ptr<TGPGraphicsPath> p(
            BuildRoundRectPath(RectF(REAL(x), REAL(y), REAL(W), REAL(H)), radius, rtBoth));
        TGPSolidBrush b(ColorToARGB(bevel));
        g->FillPath(&b, p.get());
    }
    if (FBorderColor != clNone) {
        std::unique_ptr<TGPGraphicsPath> p(
            BuildRoundRectPath(RectF(REAL(x), REAL(y), REAL(W), REAL(H)), radius, rtBoth));
        TGPPen pen(ColorToARGB(FBorderColor), 1);
        g->DrawPath(&pen, p.get());
        W -= 1, H -= 1, x += 1, y += 1;
    }
    if (B > 3) {
        W -= B, H -= B, x += B / 2, y += B / 2;
    } else if (B >= 1) {
        W -= 2 * B, H -= 2 * B, x += B, y += B;
    }
    const std::string& name = enabled ? FAppearance->PictureName : FAppearance->DisabledPictureName;
    const int index = enabled ? FAppearance->ImageIndex : FAppearance->DisabledImageIndex;
    FAppearance->Draw(g, Caption(), x, y, W, H, 0, 0, face, down, clNone, FAppearance->Font()->Color(), false,
                      FDown && (FMouseInside || FAutoToggle), false, false, false, rtBoth, pic, 0, 0, true, index,
                      name);
    if (FBorderInnerColor != clNone) {
        std::unique_ptr<TGPGraphicsPath> p(BuildRoundRectPath(
            RectF(REAL(SX), REAL(SY), REAL(Width() - 2 * SX - 2), REAL(Height() - 2 * SY - 2)), radius, rtBoth));
        TGPPen pen(ColorToARGB(FBorderInnerColor), 1);
        g->DrawPath(&pen, p.get());
    }
    if (badge) {
        TGDIPStatus* a = FStatus->Appearance();
        a->CalculateSize(g, FStatus->Caption());
        a->Draw(g, Width() + 2 * FStatus->OffsetLeft() - a->GetWidth(), FStatus->OffsetTop(), 0, 0, true,
                FStatus->Caption());
    }
    if (TabStop() && FFocused && FShowFocus)
        DrawFocusOutline(g, RectF(0, 0, REAL(Width() - 1), REAL(Height() - 1)), FAppearance->Rounding(), rtBoth);
    if (FDropDownButton) {
        const bool content = !Caption().empty() || !pic->Empty();
        const int ax = content ? W + SX - 10 : SX + (W - 5) / 2, ay = SY + (H - 5) / 2 + 1;
        TGPSolidBrush arrow(ColorToARGB(FDropDownArrowColor));
        const int rows[4] = {5, 5, 3, 1};
        for (int r = 0; r < 4; ++r)
            g->FillRectangle(&arrow, RectF(REAL(ax + (5 - rows[r]) / 2), REAL(ay + r), REAL(rows[r]), 1));
    }
}

// ------------------------------------------------------------------ styles

void TSmoothToggleButton::SetComponentStyle(TSmStyle AStyle)
{
    FAppearance->SetSimpleLayout(false);
    FAppearance->SetRounding(8);
    FBevelWidth = 2;
    static const TColor kColors[][3] = {
        {0xE3B28D, 0xAAD9FF, 0xF2F2F2},    {0x927476, 0xAAD9FF, 0x947C7C}, {0x447A63, 0xAAD9FF, 0x947C7C},
        {0xC9D1D5, 0xAAD9FF, 0xFFD1AD},    {0xFDEADA, 0xAAD9FF, 0xFFD1AD}, {0x6E6E6D, 0xAAD9FF, 0xFFD1AD},
        {0xB9D8DC, 0xAAD9FF, 0xFFD1AD},    {0x828F92, 0xAAD9FF, 0xFFD1AD}, {clNone, clNone, clNone},
        {0xE7DCD5, 0xAAD9FF, 0xFFD1AD},    {clWhite, 0xFDF0D7, 0xFFD1AD},  {clWhite, 0xFCDBC1, 0xFFD1AD},
        {clBtnFace, clHighlight, clWhite}, {0xF0DAC7, 0x6BD8FE, 0xF2F2F2}, {0xEDE5E0, 0x6BD8FE, 0xF2F2F2},
        {0x919191, 0x6BD8FE, 0xF2F2F2},    {0xF7F6F5, 0xF7E0C9, 0xF7F7F7}, {clWhite, 0xFCE2C8, 0xEEEEEE},
        {0xF6F6F6, 0xFCE2C8, 0xEEEEEE},    {0xE5E5E5, 0xFCE2C8, 0xEEEEEE},
    };
    if (AStyle >= tsOffice2003Blue && AStyle <= tsOffice2013Gray && AStyle != tsCustom) {
        FColor = kColors[AStyle][0];
        FColorDown = kColors[AStyle][1];
        FColorDisabled = kColors[AStyle][2];
        if (AStyle >= tsWindows8) {
            FAppearance->SetSimpleLayout(true);
            FAppearance->SetRounding(0);
        }
    }
    FBevelColor = FColor;
    FBevelColorDisabled = FColorDisabled;
    FBevelColorDown = FColorDown;
    Invalidate();
}

void TSmoothToggleButton::SetColorTones(const TColorTones& ATones)
{
    FColor = ATones.Foreground.BrushColor;
    FColorDown = ATones.Selected.BrushColor;
    FColorDisabled = ATones.Disabled.BrushColor;
    FBorderColor = FBorderInnerColor = ATones.Background.BorderColor;
    FDropDownArrowColor = ATones.Background.TextColor;
    FAppearance->Font()->SetColor(ATones.Selected.TextColor);
    FAppearance->SetSimpleLayout(true);
    FBevelWidth = 0;
    Invalidate();
}

// ------------------------------------------------------------------ stored layouts

void TSmoothToggleButton::DeclareProperties(TClassBuilder<TSmoothToggleButton>& P)
{
    using T = TSmoothToggleButton;
    P.String("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Boolean("AllowAllUp", &T::FAllowAllUp, &T::SetAllowAllUp).Default(true);
    P.Boolean("AllowTimer", &T::FAllowTimer, &T::SetAllowTimer).Default(false);
    P.Integer("InitPause", &T::FInitPause, &T::SetInitPause).Default(500);
    P.Integer("RepeatInterval", &T::FRepeatInterval, &T::SetRepeatInterval).Default(100);
    P.Integer("Color", &T::FColor, &T::SetColor, "TColor").Default(0xC0C0C0);
    P.Integer("ColorDisabled", &T::FColorDisabled, &T::SetColorDisabled, "TColor").Default(0x808080);
    P.Integer("ColorDown", &T::FColorDown, &T::SetColorDown, "TColor").Default(clNone);
    P.Integer("BorderColor", &T::FBorderColor, &T::SetBorderColor, "TColor").Default(0xC0C0C0);
    P.Integer("BorderInnerColor", &T::FBorderInnerColor, &T::SetBorderInnerColor, "TColor").Default(0xC0C0C0);
    P.Integer("BevelWidth", &T::FBevelWidth, &T::SetBevelWidth).Default(6);
    P.Integer("BevelColor", &T::FBevelColor, &T::SetBevelColor, "TColor").Default(clWhite);
    P.Integer("BevelColorDisabled", &T::FBevelColorDisabled, &T::SetBevelColorDisabled, "TColor").Default(0x808080);
    P.Integer("BevelColorDown", &T::FBevelColorDown, &T::SetBevelColorDown, "TColor").Default(clWhite);
    P.Boolean("Down", &T::FDown, &T::SetDown).Default(false);
    P.Boolean("AutoToggle", &T::FAutoToggle, &T::SetAutoToggle).Default(true);
    P.Integer("VerticalSpacing", &T::FVerticalSpacing, &T::SetVerticalSpacing).Default(5);
    P.Integer("HorizontalSpacing", &T::FHorizontalSpacing, &T::SetHorizontalSpacing).Default(5);
    P.Integer("ModalResult", &T::FModalResult, &T::SetModalResult).Default(0);
    P.Integer("GroupIndex", &T::FGroupIndex, &T::SetGroupIndex).Default(0);
    P.Boolean("ShowFocus", &T::FShowFocus, &T::SetShowFocus).Default(true);
}

}  // namespace dcs::smooth
