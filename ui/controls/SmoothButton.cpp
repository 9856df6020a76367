#include "ui/controls/SmoothButton.h"

#include "platform/base/IniFiles.h"
#include "platform/controls/Forms.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/DesignTime.h"
#include "ui/controls/SmEnumInfo.h"

namespace dcs::smooth {

// ------------------------------------------------------------------ status badge

TSmoothButtonStatus::TSmoothButtonStatus(TSmoothButton* AOwner) : TSmoothBadge([AOwner] { AOwner->FaceChanged(); }) {}

// ------------------------------------------------------------------ button

TSmoothButton::TSmoothButton(TComponent* AOwner) : TSmoothFocusable(AOwner)
{
    SetDoubleBuffered(true);
    FPicture = std::make_unique<TSmGDIPPicture>();
    FPicture->OnChange = [this](TObject*) { FaceChanged(); };
    FAppearance = std::make_unique<TGDIPButton>();
    FAppearance->OnChange = [this](TObject*) { FaceChanged(); };
    FAppearance->OnFontChange = [this](TObject*) { SetParentFont(false); };
    FAppearance->OnIsFontStored = [this](TObject*, bool& IsStored) { IsStored = !ParentFont(); };
    DisableCache = true;
    SetBounds(Left(), Top(), 120, 35);
    DisableCache = false;
    FCache = std::make_unique<TGPBitmap>(Width(), Height());
    FDesignTime = IsPlacedInDesigner(this);
    FButtonStatus = std::make_unique<TSmoothButtonStatus>(this);
    if (FDesignTime)
        FButtonStatus->ApplyDesignDefaults();
    // The button clicks itself at the release; the framework must not click it too.
    SetControlStyle(ControlStyle() & ~csClickEvents);
    SetTabStop(true);
    FOfficeHint = std::make_unique<TSmHintInfo>();
}

TSmoothButton::~TSmoothButton()
{
    // The timers are owned components; gone before the objects their handlers touch.
    Free(FClickTimer);
    Free(FAfterClickTimer);
    FButtonStatus.reset();
}

void TSmoothButton::FaceChanged()
{
    FValidCache = false;
    Invalidate();
}

void TSmoothButton::SetAllowTimer(bool V)
{
    if (V == FAllowTimer)
        return;
    FAllowTimer = V;
    if (V) {
        FClickTimer = Create<TTimer>(this);
        FClickTimer->SetEnabled(false);
        FClickTimer->SetInterval(500);
        FClickTimer->SetOnTimer([this](TObject*) { RepeatTick(); });
    } else {
        FreeAndNil(FClickTimer);
    }
    FaceChanged();
}

void TSmoothButton::SetAutoSizeToPicture(bool V)
{
    if (!StoreChanged(FAutoSizeToPicture, V))
        return;
    AutoSizeToPictureRule();
    FaceChanged();
}

void TSmoothButton::SetAppearance(TGDIPButton* V)
{
    if (V != FAppearance.get())
        FAppearance->Assign(V);
}

void TSmoothButton::SetStatus(TSmoothButtonStatus* V)
{
    if (V != FButtonStatus.get())
        FButtonStatus->Assign(V);
}

void TSmoothButton::SetPicture(TSmGDIPPicture* V)
{
    FPicture->Assign(V);
    AutoSizeToPictureRule();
}

void TSmoothButton::AutoSizeToPictureRule()
{
    if (!FAutoSizeToPicture || !ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading))
        return;
    TSmGDIPPicture pic;
    pic.Assign(FPicture.get());
    const bool enabled = Enabled();
    const std::string& name = enabled ? FAppearance->PictureName : FAppearance->DisabledPictureName;
    if (FAppearance->PictureContainer && !name.empty())
        if (TSmGDIPPicture* found = FAppearance->PictureContainer->FindPicture(name))
            pic.Assign(found);
    if (!pic.Empty())
        SetHeight(pic.Height() + 6);
}

void TSmoothButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = AWidth != Width() || AHeight != Height();
    TSmoothFocusable::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized && HandleAllocated() && !DisableCache) {
        FCache = std::make_unique<TGPBitmap>(std::max(Width(), 1), std::max(Height(), 1));
        FValidCache = false;
    }
}

void TSmoothButton::SetEnabled(bool V)
{
    TSmoothFocusable::SetEnabled(V);
    FaceChanged();
}

void TSmoothButton::TextChanged() { FaceChanged(); }

void TSmoothButton::Loaded()
{
    TSmoothFocusable::Loaded();
    FDefCursor = Cursor();
}

void TSmoothButton::Notification(TComponent* AComponent, TOperation Operation)
{
    if (FAppearance)
        FAppearance->DoNotification(this, AComponent, Operation);
    TSmoothFocusable::Notification(AComponent, Operation);
}

void TSmoothButton::DoClick()
{
    if (TCustomForm* f = GetParentForm(this))
        f->SetModalResult(FModalResult);
    Click();
}

bool TSmoothButton::XYToIndicator(int X, int Y)
{
    if (!FButtonStatus->Showing())
        return false;
    TGPBitmap scratch(1, 1);
    TGPGraphics g(&scratch);
    TGDIPStatus* a = FButtonStatus->Appearance();
    a->CalculateSize(&g, FButtonStatus->Caption());
    const int left = Width() - a->GetWidth() + 2 * FButtonStatus->OffsetLeft(), top = FButtonStatus->OffsetTop();
    return X >= left && X < left + a->GetWidth() && Y >= top && Y < top + a->GetHeight();
}

// ------------------------------------------------------------------ painting

void TSmoothButton::BuildFace()
{
    const int W = std::max(Width(), 1), H = std::max(Height(), 1);
    if (!FCache || int(FCache->GetWidth()) != W || int(FCache->GetHeight()) != H)
        FCache = std::make_unique<TGPBitmap>(W, H);
    TGPGraphics g(FCache.get());
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    g.Clear(0);
    const bool badge = FButtonStatus->Showing();
    const int vs = badge ? FVerticalSpacing : 0, hs = badge ? FHorizontalSpacing : 0;
    const bool enabled = Enabled();
    const TColor face = enabled ? FColor : FDisabledColor;
    const TColor text = enabled ? FAppearance->Font()->Color() : FDisabledFontColor;
    const std::string& name = enabled ? FAppearance->PictureName : FAppearance->DisabledPictureName;
    const int index = enabled ? FAppearance->ImageIndex : FAppearance->DisabledImageIndex;
    FAppearance->Draw(&g, Caption(), 0, 0, W, H, vs, hs, face, FColorDown, FBevelColor, text, FShadow,
                      FDown && FMouseInside, FBevel, false, false, rtBoth, FPicture.get(), 0, 0, true, index, name);
    if (TabStop() && FFocused && FShowFocus) {
        std::unique_ptr<TGPGraphicsPath> path(
            BuildRoundRectPath(RectF(0, 0, REAL(W - 1), REAL(H - 1)), FAppearance->Rounding(), rtBoth));
        TGPPen pen(ColorToARGB(FAppearance->FocusColor), 1);
        pen.SetDashStyle(DashStyleDot);
        g.SetSmoothingMode(SmoothingModeDefault);
        g.DrawPath(&pen, path.get());
        g.SetSmoothingMode(SmoothingModeAntiAlias);
    }
    if (badge) {
        TGDIPStatus* a = FButtonStatus->Appearance();
        a->CalculateSize(&g, FButtonStatus->Caption());
        // The offset counts twice: once in the place, once in the width it is taken from.
        const int x = FButtonStatus->OffsetLeft() + (FButtonStatus->OffsetLeft() + W - a->GetWidth());
        a->Draw(&g, x, FButtonStatus->OffsetTop(), 0, 0, true, FButtonStatus->Caption());
    }
    FValidCache = true;
}

void TSmoothButton::Paint()
{
    TCanvas* c = Canvas();
    if (!c)
        return;
    if (!FValidCache)
        BuildFace();
    TCanvasGraphics g(*c);
    g->DrawImage(FCache.get(), 0, 0);
}

// ------------------------------------------------------------------ mouse

void TSmoothButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Shift & ssDouble)
        return;  // the second press of a double click only raised OnDblClick
    TSmoothFocusable::MouseDown(Button, Shift, X, Y);
    FPauseClick = false;
    if (FClickTimer) {
        FClickTimer->SetEnabled(false);
        FClickTimer->SetInterval(uint32_t(FInitPause));
    }
    if (!Enabled() || XYToIndicator(X, Y))
        return;
    if (FAfterClickTimer)
        FAfterClickTimer->SetEnabled(false);  // a new press takes over the look
    FDown = true;
    FPressed = true;
    if (FClickTimer)
        FClickTimer->SetEnabled(true);
    if (TabStop() && CanFocus())
        SetFocus();
    FValidCache = false;
    Repaint();
}

void TSmoothButton::RepeatTick()
{
    if (!FAllowTimer || !FClickTimer)
        return;
    if (!FPauseClick) {
        FPauseClick = true;
        FClickTimer->SetInterval(uint32_t(FRepeatInterval));
    }
    DoClick();
}

void TSmoothButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseUp(Button, Shift, X, Y);
    if (FClickTimer)
        FClickTimer->SetEnabled(false);
    const bool pressed = FPressed;
    FPressed = false;
    if (XYToIndicator(X, Y)) {
        if (OnStatusClick)
            OnStatusClick(this);
        return;
    }
    if (pressed && FDown && !FPauseClick)
        DoClick();
    if (Enabled() && FClickDelay && pressed) {
        FDown = true;
        FMouseInside = true;
        FaceChanged();
        StartAfterClick(1, 100);
    }
}

void TSmoothButton::StartAfterClick(int Phase, uint32_t Ms)
{
    if (!FAfterClickTimer) {
        FAfterClickTimer = Create<TTimer>(this);
        FAfterClickTimer->SetOnTimer([this](TObject*) { AfterClickTick(); });
    }
    FAfterClickPhase = Phase;
    FAfterClickTimer->SetEnabled(false);
    FAfterClickTimer->SetInterval(Ms);
    FAfterClickTimer->SetEnabled(true);
}

void TSmoothButton::AfterClickTick()
{
    FAfterClickTimer->SetEnabled(false);
    FAfterClickPhase = 0;
    FDown = false;
    FaceChanged();
}

void TSmoothButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseMove(Shift, X, Y);
    SetCursor(XYToIndicator(X, Y) ? crHandPoint : FDefCursor);
    // Held with the capture, the pointer may leave without a leave message.
    if (FMouseInside && !ClientRect().Contains({X, Y}))
        MouseLeave();
}

void TSmoothButton::MouseEnter()
{
    TSmoothFocusable::MouseEnter();
    FMouseInside = true;
    FaceChanged();
}

void TSmoothButton::MouseLeave()
{
    TSmoothFocusable::MouseLeave();
    FMouseInside = false;
    FDown = false;
    FPressed = false;
    FaceChanged();
}

// ------------------------------------------------------------------ keyboard and focus

void TSmoothButton::KeyPress(char& Key)
{
    TSmoothFocusable::KeyPress(Key);
    if (Key == ' ' || Key == '\r')
        DoClick();
}

bool TSmoothButton::Accelerator(char Key)
{
    if (!IsAccel(Key, Caption()) || !CanFocus())
        return false;
    FDown = true;
    Repaint();
    DoClick();
    if (FClickDelay) {
        StartAfterClick(3, 150);
    } else {
        FDown = false;
        Repaint();
    }
    return true;
}

void TSmoothButton::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (Accelerator(char(Message.WParam))) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_PARENTFONTCHANGED:
        TSmoothFocusable::WndProc(Message);
        if (ParentFont() && Parent()) {
            TakeParentFont(*FAppearance, Parent()->Font());
            FaceChanged();
        }
        return;
    default: break;
    }
    TSmoothFocusable::WndProc(Message);
}

// ------------------------------------------------------------------ themes and styles

void TSmoothButton::SaveToTheme(const std::string& FileName)
{
    TIniFile ini(FileName);
    ini.WriteInteger(GetThemeID(), "Color", FColor);
    FaceChanged();
}

void TSmoothButton::LoadFromTheme(const std::string& FileName)
{
    TIniFile ini(FileName);
    FColor = ini.ReadInteger(GetThemeID(), "Color", FColor);
    FaceChanged();
}

void TSmoothButton::SetComponentStyle(TSmStyle AStyle)
{
    FColorDown = clNone;
    FAppearance->SetRounding(8);
    FAppearance->SetSimpleLayout(false);
    static const TColor kColors[] = {
        0xE3B28D, 0x927476, 0x447A63,  0xC9D1D5, 0xFDEADA, 0x6E6E6D, 0xB9D8DC, 0x828F92, clNone,   0xE7DCD5,
        0xFDF8F1, 0xFCEBDC, clBtnFace, 0xF0DAC7, 0xEDE5E0, 0x919191, 0xF7F6F5, 0xFFFFFF, 0xF6F6F6, 0xE5E5E5,
    };
    if (AStyle < tsOffice2003Blue || AStyle > tsOffice2013Gray || AStyle == tsCustom)
        return;
    if (AStyle >= tsWindows8) {
        FAppearance->SetSimpleLayout(true);
        FAppearance->SetRounding(0);
        FColorDown = AStyle == tsWindows8 ? 0xF7E0C9 : 0xFCE2C8;
    }
    SetColor(kColors[AStyle]);
    FaceChanged();
}

void TSmoothButton::SetColorTones(const TColorTones& ATones)
{
    SetColor(ATones.Foreground.BrushColor);
    FAppearance->Font()->SetColor(ATones.Selected.TextColor);
    FAppearance->Font()->SetName(DefaultFontName());
    FAppearance->SetSimpleLayout(true);
    FaceChanged();
}

// ------------------------------------------------------------------ stored layouts

void TSmoothButton::DeclareProperties(TClassBuilder<TSmoothButton>& P)
{
    using B = TSmoothButton;
    P.String("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Boolean("AllowTimer", &B::FAllowTimer, &B::SetAllowTimer).Default(false);
    P.Integer("InitPause", &B::FInitPause, &B::SetInitPause).Default(500);
    P.Integer("RepeatInterval", &B::FRepeatInterval, &B::SetRepeatInterval).Default(100);
    P.Boolean("ClickDelay", &B::FClickDelay, &B::SetClickDelay).Default(true);
    P.Boolean("Bevel", &B::FBevel, &B::SetBevel).Default(true);
    P.Integer("BevelColor", &B::FBevelColor, &B::SetBevelColor, "TColor").Default(clWhite);
    P.Integer("Color", &B::FColor, &B::SetColor, "TColor").Default(0x808080);
    P.Boolean("Shadow", &B::FShadow, &B::SetShadow).Default(false);
    P.Integer("DisabledColor", &B::FDisabledColor, &B::SetDisabledColor, "TColor").Default(0x808080);
    P.Integer("DisabledFontColor", &B::FDisabledFontColor, &B::SetDisabledFontColor, "TColor").Default(0xC0C0C0);
    P.Boolean("ShowFocus", &B::FShowFocus, &B::SetShowFocus).Default(true);
    P.Integer("HorizontalSpacing", &B::FHorizontalSpacing, &B::SetHorizontalSpacing).Default(5);
    P.Integer("VerticalSpacing", &B::FVerticalSpacing, &B::SetVerticalSpacing).Default(5);
    P.Integer("ModalResult", &B::FModalResult, &B::SetModalResult).Default(0);
}

}  // namespace dcs::smooth
