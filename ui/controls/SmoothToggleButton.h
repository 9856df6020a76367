// A glass-look button that stays down when clicked and comes up on the next click.
// Buttons of one non-zero GroupIndex under one parent are exclusive: one going down
// releases the others (CM_BUTTONPRESSED). It can show a status badge, a picture per
// state, and repeat its click while held. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/win/Timer.h"
#include "ui/controls/GDIPButton.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/SmoothBadge.h"
#include "ui/controls/SmoothFocusable.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs {
class THintWindow;
}

namespace dcs::smooth {

class TSmoothToggleButton;

enum TSmoothToggleButtonState : int32_t {
    bsDown,
    bsUp
};

class TSmoothToggleButtonStatus : public TSmoothBadge {
public:
    explicit TSmoothToggleButtonStatus(TSmoothToggleButton* AOwner);
};

class TSmoothToggleButton : public TSmoothFocusable {
    DCS_CLASS(TSmoothToggleButton, TSmoothFocusable)

    explicit TSmoothToggleButton(TComponent* AOwner);
    ~TSmoothToggleButton() override;

    bool AllowAllUp() const { return FAllowAllUp; }
    // Tells the group, whose members take the value.
    void SetAllowAllUp(bool V);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool V);
    int InitPause() const { return FInitPause; }
    void SetInitPause(int V) { SetLook(FInitPause, V); }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int V) { SetLook(FRepeatInterval, V); }
    bool AutoSizeToPicture() const { return FAutoSizeToPicture; }
    void SetAutoSizeToPicture(bool V) { SetLook(FAutoSizeToPicture, V); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { SetLook(FColor, V); }
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor V) { SetLook(FColorDisabled, V); }
    TColor ColorDown() const { return FColorDown; }
    void SetColorDown(TColor V) { SetLook(FColorDown, V); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor V) { SetLook(FBorderColor, V); }
    TColor BorderInnerColor() const { return FBorderInnerColor; }
    void SetBorderInnerColor(TColor V) { SetLook(FBorderInnerColor, V); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int V) { SetLook(FBevelWidth, V); }
    TColor BevelColor() const { return FBevelColor; }
    void SetBevelColor(TColor V) { SetLook(FBevelColor, V); }
    TColor BevelColorDisabled() const { return FBevelColorDisabled; }
    void SetBevelColorDisabled(TColor V) { SetLook(FBevelColorDisabled, V); }
    TColor BevelColorDown() const { return FBevelColorDown; }
    void SetBevelColorDown(TColor V) { SetLook(FBevelColorDown, V); }
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool V) { SetLook(FDropDownButton, V); }
    TColor DropDownArrowColor() const { return FDropDownArrowColor; }
    void SetDropDownArrowColor(TColor V) { SetLook(FDropDownArrowColor, V); }
    TNotifyEvent OnDropDown;
    // A control shown in a drop-down window under the button on every press; assigning
    // one hides it until then.
    TWinControl* DropDownControl() const { return FDropDownControl; }
    void SetDropDownControl(TWinControl* V);
    // Whether the drop-down window shows; writing opens or closes it.
    bool DroppedDown() const;
    void SetDroppedDown(bool V);
    bool Down() const { return FDown; }
    // Ignored when equal, or while down and AllowAllUp is false; raises no OnClick.
    void SetDown(bool V);
    bool AutoToggle() const { return FAutoToggle; }
    void SetAutoToggle(bool V) { SetLook(FAutoToggle, V); }
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V) { FPicture->Assign(V); }
    TSmGDIPPicture* PictureDisabled() const { return FPictureDisabled.get(); }
    void SetPictureDisabled(TSmGDIPPicture* V) { FPictureDisabled->Assign(V); }
    TSmGDIPPicture* PictureDown() const { return FPictureDown.get(); }
    void SetPictureDown(TSmGDIPPicture* V) { FPictureDown->Assign(V); }
    TGDIPButton* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TGDIPButton* V) { FAppearance->Assign(V); }
    int VerticalSpacing() const { return FVerticalSpacing; }
    void SetVerticalSpacing(int V) { SetLook(FVerticalSpacing, V); }
    int HorizontalSpacing() const { return FHorizontalSpacing; }
    void SetHorizontalSpacing(int V) { SetLook(FHorizontalSpacing, V); }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult V) { FModalResult = V; }
    std::string Version() const { return "1.4.3.6"; }
    void SetVersion(const std::string&) {}
    TSmoothToggleButtonStatus* Status() const { return FStatus.get(); }
    void SetStatus(TSmoothToggleButtonStatus* V) { FStatus->Assign(V); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int V) { SetLook(FGroupIndex, V); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool V) { SetLook(FShowFocus, V); }
    TSmoothToggleButtonState State() const { return FState; }

    // Gives the parent form a non-zero modal result, then raises OnClick when enabled.
    virtual void DoClick();
    // Actions and Enter/Space on a down button that cannot come up: toggles when
    // allowed (telling the group when it goes down) and raises OnClick once.
    void Click() override;

    std::string GetThemeID() const { return "TSmoothToggleButton"; }
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    void SetComponentStyle(TSmStyle AStyle);
    void SetColorTones(const TColorTones& ATones);

    void Assign(TPersistent* Source) override;
    void SetEnabled(bool V) override;
    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    static void DeclareProperties(TClassBuilder<TSmoothToggleButton>& P);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyPress(char& Key) override;
    void TextChanged() override { Invalidate(); }

private:
    template <class T> void SetLook(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            Invalidate();
    }
    void TellGroup();
    void ButtonPressed(int Group, TSmoothToggleButton* Sender);
    void UndoPress();
    void RepeatTick();
    void Toggle();
    void DropDown();

    bool FAllowAllUp = true;
    bool FAllowTimer = false;
    int FInitPause = 500;
    int FRepeatInterval = 100;
    bool FAutoSizeToPicture = false;
    TColor FColor = 0xC0C0C0;
    TColor FColorDisabled = 0x808080;
    TColor FColorDown = clNone;
    TColor FBorderColor = 0xC0C0C0;
    TColor FBorderInnerColor = 0xC0C0C0;
    int FBevelWidth = 6;
    TColor FBevelColor = clWhite;
    TColor FBevelColorDisabled = 0x808080;
    TColor FBevelColorDown = clWhite;
    bool FDropDownButton = false;
    TColor FDropDownArrowColor = clBlack;
    bool FDown = false;
    bool FAutoToggle = true;
    std::unique_ptr<TSmGDIPPicture> FPicture, FPictureDisabled, FPictureDown;
    std::unique_ptr<TGDIPButton> FAppearance;
    int FVerticalSpacing = 5;
    int FHorizontalSpacing = 5;
    TModalResult FModalResult = mrNone;
    std::unique_ptr<TSmoothToggleButtonStatus> FStatus;
    int FGroupIndex = 0;
    bool FShowFocus = true;

    TSmoothToggleButtonState FState = bsUp;
    bool FMouseDown = false;
    bool FPressActed = false;  // the press changed Down (a refused one did not)
    bool FMouseInside = false;
    bool FPauseClick = false;
    TTimer* FClickTimer = nullptr;  // owned
    TWinControl* FDropDownControl = nullptr;
    THintWindow* FDropDownWindow = nullptr;  // owned, made on first use
    bool FDesignTime = false;
};

}  // namespace dcs::smooth
