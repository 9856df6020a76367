// A windowless label whose glyphs are filled with a gradient, hatch or picture brush,
// with an optional shadow caption under the main one, an optional fill behind the text,
// and sizing to its text. The application writes Caption.Text. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothLabel;

enum TSmoothLabelLocation : int32_t {
    plTopLeft,
    plTopCenter,
    plTopRight,
    plCenterLeft,
    plCenterCenter,
    plCenterRight,
    plBottomLeft,
    plBottomCenter,
    plBottomRight,
    plCustom
};
enum TTextRenderingHint : int32_t {
    tAntiAlias,
    tClearType
};

class TSmoothLabelCaption : public TPersistent {
    DCS_CLASS(TSmoothLabelCaption, TPersistent)

    explicit TSmoothLabelCaption(TSmoothLabel* AOwner);
    static void DeclareProperties(TClassBuilder<TSmoothLabelCaption>& P);
    ~TSmoothLabelCaption() override;

    std::string Text() const { return FText; }
    // With the owner's AutoShadowCaption the shadow caption takes the same text.
    void SetText(const std::string& V);
    TSmoothLabelLocation Location() const { return FLocation; }
    void SetLocation(TSmoothLabelLocation V) { SetValue(FLocation, V); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* V);
    int Left() const { return FLeft; }
    void SetLeft(int V) { SetValue(FLeft, V); }
    int Top() const { return FTop; }
    void SetTop(int V) { SetValue(FTop, V); }
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V);
    TColor ColorStart() const { return FStartColor; }
    void SetColorStart(TColor V) { SetValue(FStartColor, V); }
    TColor ColorEnd() const { return FEndColor; }
    void SetColorEnd(TColor V) { SetValue(FEndColor, V); }
    uint8_t OpacityStart() const { return FStartOpacity; }
    void SetOpacityStart(uint8_t V) { SetValue(FStartOpacity, V); }
    uint8_t OpacityEnd() const { return FEndOpacity; }
    void SetOpacityEnd(uint8_t V) { SetValue(FEndOpacity, V); }
    TSmGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TSmGradientType V) { SetValue(FGradientType, V); }
    gdiplus::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(gdiplus::HatchStyle V) { SetValue(FHatchStyle, V); }
    // Published for layouts that bind it; the caption never fires it.
    TNotifyEvent OnChange;

    void Assign(TPersistent* Source) override;

private:
    template <class T> void SetValue(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            NotifyChange();
    }
    void NotifyChange();

    TSmoothLabel* FOwner;
    TSmGradientType FGradientType = gtVertical;
    TSmoothLabelLocation FLocation = plCenterCenter;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    TColor FEndColor = 0x754F00;
    gdiplus::HatchStyle FHatchStyle = HatchStyleHorizontal;
    std::unique_ptr<TFont> FFont;
    uint8_t FStartOpacity = 255;
    std::string FText;
    int FTop = 0;
    int FLeft = 0;
    uint8_t FEndOpacity = 255;
    TColor FStartColor = 0xFFE09F;
};

// The auto size of one extent: the measured size plus 2, rounded (halves to even).
int LabelAutoSizeExtent(double Measured);

class TSmoothLabel : public TGraphicControl {
    DCS_CLASS(TSmoothLabel, TGraphicControl)

    explicit TSmoothLabel(TComponent* AOwner);
    ~TSmoothLabel() override;

    bool AutoShadowCaption() const { return FAutoShadowCaption; }
    void SetAutoShadowCaption(bool V);
    // The label's own sizing to its caption (the framework's AutoSize stays off).
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool V);
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* V);
    TSmoothLabelCaption* Caption() const { return FCaption.get(); }
    void SetCaption(TSmoothLabelCaption* V);
    TSmoothLabelCaption* CaptionShadow() const { return FCaptionShadow.get(); }
    void SetCaptionShadow(TSmoothLabelCaption* V);
    bool CaptionShadowVisible() const { return FCaptionShadowVisible; }
    void SetCaptionShadowVisible(bool V) { SetValue(FCaptionShadowVisible, V); }
    int CaptionShadowOffsetLeft() const { return FCaptionShadowOffsetLeft; }
    void SetCaptionShadowOffsetLeft(int V) { SetValue(FCaptionShadowOffsetLeft, V); }
    int CaptionShadowOffsetTop() const { return FCaptionShadowOffsetTop; }
    void SetCaptionShadowOffsetTop(int V) { SetValue(FCaptionShadowOffsetTop, V); }
    std::string Version() const { return "1.6.0.2"; }
    void SetVersion(const std::string&) {}
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V) { SetValue(FTransparent, V); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool V) { SetValue(FWordWrap, V); }
    TTextRenderingHint TextRendering() const { return FTextRendering; }
    void SetTextRendering(TTextRenderingHint V) { SetValue(FTextRendering, V); }
    TNotifyEvent OnChange;

    void Assign(TPersistent* Source) override;
    void DrawLabel(TCanvas& ACanvas);
    void DrawCaption(TSmoothLabelCaption* c, TGPGraphics* g, const TGPRectF& r, float OffsetX, float OffsetY);
    // Sizes the label to its main caption, whatever AutoSize says.
    void UpdateSize();
    void SaveToImage(const std::string& Filename, int ImageWidth, int ImageHeight, TImageType ImageType,
                     int ImageQualityPercentage);

    std::string GetThemeID() const { return "TSmoothLabel"; }
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    void SetComponentStyle(TSmStyle) {}

    void CaptionChange(TObject* Sender);
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    static void DeclareProperties(TClassBuilder<TSmoothLabel>& P);

protected:
    void Paint() override;

private:
    template <class T> void SetValue(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            NotifyChange();
    }
    void NotifyChange();

    bool FAutoSizing = false;
    std::unique_ptr<TSmoothLabelCaption> FCaption;
    bool FTransparent = true;
    std::unique_ptr<TGDIPFill> FFill;
    bool FWordWrap = false;
    TTextRenderingHint FTextRendering = tAntiAlias;
    std::unique_ptr<TSmoothLabelCaption> FCaptionShadow;
    bool FCaptionShadowVisible = false;
    int FCaptionShadowOffsetTop = 1;
    int FCaptionShadowOffsetLeft = 1;
    bool FAutoSize = false;
    bool FAutoShadowCaption = true;
};

}  // namespace dcs::smooth
