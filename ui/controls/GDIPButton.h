// The button face and status badge painters the smooth buttons and tabs share.
// GUI thread only.
#pragma once

#include "platform/controls/Graphics.h"
#include "platform/controls/ImgList.h"
#include "ui/controls/GDIPPainters.h"
#include "ui/controls/GDIPPictureContainer.h"

#include <memory>
#include <string>

namespace dcs::smooth {

enum TGDIPButtonLayout : int32_t {
    blPictureLeft,
    blPictureRight,
    blPictureBottom,
    blPictureTop,
    blNone
};
enum TSmAlignment : int32_t {
    taLeftJustify,
    taRightJustify,
    taCenter
};
using TFontStoredEvent = std::function<void(TObject* Sender, bool& IsStored)>;

// A layout turned for vertical text.
TGDIPButtonLayout TurnedLayout(TGDIPButtonLayout Layout, bool RightToLeft);

class TGDIPButton : public TPersistent {
public:
    TGDIPButton();
    ~TGDIPButton() override;

    int GlowPercentage = 100;
    TSmAlignment Alignment = taCenter;
    TSmAlignment PictureAlignment = taRightJustify;
    bool PictureStretch = false;
    TPictureMode PictureStretchMode = pmNormal;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TGDIPButtonLayout Layout = blPictureLeft;
    int Spacing = 3;
    int ShiftDown = 1;
    TNotifyEvent OnChange;
    TNotifyEvent OnFontChange;
    TFontStoredEvent OnIsFontStored;
    TColor FocusColor = clBlack;
    bool SimpleLayout() const { return FSimpleLayout; }
    void SetSimpleLayout(bool Value);
    // References, not owned.
    TGDIPPictureContainer* PictureContainer = nullptr;
    TCustomImageList* ImageList = nullptr;
    int ImageIndex = -1;
    std::string PictureName;
    std::string DisabledPictureName;
    int DisabledImageIndex = -1;
    int Rounding() const { return FRounding; }
    void SetRounding(int Value);
    bool WordWrapping = true;

    // Copies the appearance settings (not the rounding, references, indexes or names).
    void Assign(TPersistent* Source) override;
    void NotifyChanged();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate() { --FUpdateCount; }
    bool IsFontStored();
    // Owners forward their component notifications: a removed container or image list
    // is forgotten.
    void DoNotification(TComponent* AOwner, TComponent* AComponent, TOperation AOperation);

    void Draw(TGPGraphics* g, const std::string& Caption, int x, int y, int Width, int Height, int VerticalSpacing,
              int HorizontalSpacing, TColor Color, TColor ColorDown, TColor BevelColor, TColor TextColor, bool Shadow,
              bool Down, bool Bevel, bool VerticalText, bool RightToLeft, TFillRoundingType RoundingType,
              TSmGDIPPicture* APicture, int TextW, int TextH, bool WW, int AImageIndex,
              const std::string& APictureName);

private:
    std::unique_ptr<TFont> FFont;
    bool FSimpleLayout = false;
    int FRounding = 8;
    int FUpdateCount = 0;
};

class TGDIPStatus : public TPersistent {
public:
    TGDIPStatus();
    ~TGDIPStatus() override;
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* Value) { FFill->Assign(Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TNotifyEvent OnChange;
    int Spacing = 0;
    bool Glow = true;
    bool AutoSize = true;
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }

    void Assign(TPersistent* Source) override;
    void CalculateSize(TGPGraphics* g, const std::string& Caption);
    void Draw(TGPGraphics* g, int x, int y, int Width, int Height, bool AutoSize, const std::string& Caption);

private:
    void NotifyChanged();
    std::unique_ptr<TGDIPFill> FFill;
    std::unique_ptr<TFont> FFont;
    int FWidth = 0, FHeight = 0;
};

}  // namespace dcs::smooth
