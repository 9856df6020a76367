// A focusable push button with a glossy face, an optional status badge, repeated clicks
// while held and a short pressed-then-released look after each click. The face is drawn
// once into a 32-bit bitmap and only copied until something about it changes.
//
// The click look and the accelerator's press run on a timer of the button: the handler
// that clicked has returned before the look changes, and destroying the button cancels
// them. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/win/Timer.h"
#include "ui/controls/GDIPButton.h"
#include "ui/controls/SmHintInfo.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/SmoothBadge.h"
#include "ui/controls/SmoothFocusable.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothButton;

// The badge of a button's top right corner.
class TSmoothButtonStatus : public TSmoothBadge {
public:
    explicit TSmoothButtonStatus(TSmoothButton* AOwner);
};

class TSmoothButton : public TSmoothFocusable {
    DCS_CLASS(TSmoothButton, TSmoothFocusable)

    explicit TSmoothButton(TComponent* AOwner);
    ~TSmoothButton() override;

    bool AllowTimer() const { return FAllowTimer; }
    // True makes the repeat timer, false frees it.
    void SetAllowTimer(bool V);
    int InitPause() const { return FInitPause; }
    void SetInitPause(int V) { SetFace(FInitPause, V); }
    int RepeatInterval() const { return FRepeatInterval; }
    void SetRepeatInterval(int V) { SetFace(FRepeatInterval, V); }
    bool ClickDelay() const { return FClickDelay; }
    void SetClickDelay(bool V) { FClickDelay = V; }
    bool AutoSizeToPicture() const { return FAutoSizeToPicture; }
    void SetAutoSizeToPicture(bool V);
    TGDIPButton* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TGDIPButton* V);
    TSmoothButtonStatus* Status() const { return FButtonStatus.get(); }
    void SetStatus(TSmoothButtonStatus* V);
    bool Bevel() const { return FBevel; }
    void SetBevel(bool V) { SetFace(FBevel, V); }
    TColor BevelColor() const { return FBevelColor; }
    void SetBevelColor(TColor V) { SetFace(FBevelColor, V); }
    TColor Color() const { return FColor; }
    void SetColor(TColor V) { SetFace(FColor, V); }
    TSmHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TSmHintInfo* V) { FOfficeHint->Assign(V); }
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V);
    bool Shadow() const { return FShadow; }
    void SetShadow(bool V) { SetFace(FShadow, V); }
    TColor DisabledColor() const { return FDisabledColor; }
    void SetDisabledColor(TColor V) { SetFace(FDisabledColor, V); }
    TColor DisabledFontColor() const { return FDisabledFontColor; }
    void SetDisabledFontColor(TColor V) { SetFace(FDisabledFontColor, V); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool V) { SetFace(FShowFocus, V); }
    int HorizontalSpacing() const { return FHorizontalSpacing; }
    void SetHorizontalSpacing(int V) { SetFace(FHorizontalSpacing, V); }
    int VerticalSpacing() const { return FVerticalSpacing; }
    void SetVerticalSpacing(int V) { SetFace(FVerticalSpacing, V); }
    std::string Version() const { return "2.0.2.4"; }
    void SetVersion(const std::string&) {}
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult V) { FModalResult = V; }
    TNotifyEvent OnStatusClick;

    // The pressed state and whether the face bitmap is current.
    bool Down() const { return FDown; }
    bool FaceValid() const { return FValidCache; }

    // Gives the parent form this button's modal result, then clicks.
    virtual void DoClick();
    // Whether (X, Y) lies on the visible badge.
    bool XYToIndicator(int X, int Y);

    std::string GetThemeID() const { return "TSmoothButton"; }
    void SaveToTheme(const std::string& FileName);
    void LoadFromTheme(const std::string& FileName);
    void SetComponentStyle(TSmStyle AStyle);
    void SetColorTones(const TColorTones& ATones);

    // Marks the face out of date and repaints.
    void FaceChanged();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetEnabled(bool V) override;
    void WndProc(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    static void DeclareProperties(TClassBuilder<TSmoothButton>& P);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyPress(char& Key) override;
    void TextChanged() override;
    void FocusChanged() override { FaceChanged(); }

private:
    template <class T> void SetFace(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            FaceChanged();
    }
    void RepeatTick();
    void AfterClickTick();
    void StartAfterClick(int Phase, uint32_t Ms);
    void BuildFace();
    void AutoSizeToPictureRule();
    bool Accelerator(char Key);

    bool FPauseClick = false;
    TTimer* FClickTimer = nullptr;  // owned; exists while AllowTimer
    TColor FColorDown = clNone;
    bool DisableCache = false;
    bool FMouseInside = false;
    std::unique_ptr<TGPBitmap> FCache;
    bool FValidCache = false;
    bool FDesignTime = false;
    std::unique_ptr<TGDIPButton> FAppearance;
    TColor FColor = 0x808080;
    bool FDown = false;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    bool FBevel = true;
    bool FShadow = false;
    TColor FDisabledColor = 0x808080;
    TColor FBevelColor = clWhite;
    std::unique_ptr<TSmoothButtonStatus> FButtonStatus;
    int FVerticalSpacing = 5;
    int FHorizontalSpacing = 5;
    TModalResult FModalResult = mrNone;
    bool FShowFocus = true;
    bool FAutoSizeToPicture = false;
    std::unique_ptr<TSmHintInfo> FOfficeHint;
    TColor FDisabledFontColor = 0xC0C0C0;
    TCursor FDefCursor = crDefault;
    bool FClickDelay = true;
    bool FAllowTimer = false;
    int FRepeatInterval = 100;
    int FInitPause = 500;
    // A press made on this button (not on the badge) that has not been released or
    // dragged off; only such a press clicks at its release.
    bool FPressed = false;
    // The pressed-then-released look after a click (phase 1 pressed, 2 released) and the
    // accelerator's press (phase 3), timed by this owned timer.
    TTimer* FAfterClickTimer = nullptr;
    int FAfterClickPhase = 0;
};

}  // namespace dcs::smooth
