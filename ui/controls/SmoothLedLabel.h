// A windowless row of seven-segment characters showing one number or one date and time
// over a fill. The application writes Caption.Value; a write of the value already shown
// costs nothing. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "ui/controls/GDIPPainters.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothLedLabel;
using TSmoothLedLabelValueType = TLedValueType;

class TSmoothLedLabelCaption : public TPersistent {
    DCS_CLASS(TSmoothLedLabelCaption, TPersistent)

    explicit TSmoothLedLabelCaption(TSmoothLedLabel* AOwner);
    static void DeclareProperties(TClassBuilder<TSmoothLedLabelCaption>& P);
    ~TSmoothLedLabelCaption() override;

    TSmGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TSmGradientType V) { SetValue(FGradientType, V); }
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V);
    TColor ColorEnd() const { return FEndColor; }
    void SetColorEnd(TColor V) { SetValue(FEndColor, V); }
    gdiplus::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(gdiplus::HatchStyle V) { SetValue(FHatchStyle, V); }
    uint8_t OpacityStart() const { return FStartOpacity; }
    void SetOpacityStart(uint8_t V) { SetValue(FStartOpacity, V); }
    double Value() const { return FValue; }
    void SetValue(double V) { SetValue(FValue, V); }
    int Top() const { return FTop; }
    void SetTop(int V) { SetValue(FTop, V); }
    int Left() const { return FLeft; }
    void SetLeft(int V) { SetValue(FLeft, V); }
    uint8_t OpacityEnd() const { return FEndOpacity; }
    void SetOpacityEnd(uint8_t V) { SetValue(FEndOpacity, V); }
    TColor ColorStart() const { return FStartColor; }
    void SetColorStart(TColor V) { SetValue(FStartColor, V); }
    TColor ColorOff() const { return FColorOff; }
    void SetColorOff(TColor V) { SetValue(FColorOff, V); }
    uint8_t ColorOffOpacity() const { return FColorOffOpacity; }
    void SetColorOffOpacity(uint8_t V) { SetValue(FColorOffOpacity, V); }
    int Angle() const { return FAngle; }
    void SetAngle(int V) { SetValue(FAngle, V); }
    std::string Format() const { return FFormat; }
    void SetFormat(const std::string& V) { SetValue(FFormat, V); }
    std::string TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(const std::string& V) { SetValue(FTimeFormat, V); }
    double TimeValue() const { return FTimeValue; }
    void SetTimeValue(double V) { SetValue(FTimeValue, V); }
    TSmoothLedLabelValueType ValueType() const { return FValueType; }
    void SetValueType(TSmoothLedLabelValueType V) { SetValue(FValueType, V); }

    // Fired on every change, before the owning label hears of it.
    TNotifyEvent OnChange;

    // Copies every setting but the owner and OnChange, then notifies once.
    void Assign(TPersistent* Source) override;

private:
    template <class T> void SetValue(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            Changed();
    }
    void Changed();

    TSmoothLedLabel* FOwner;
    TSmGradientType FGradientType = gtVertical;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    TColor FEndColor = 255;
    gdiplus::HatchStyle FHatchStyle = HatchStyleHorizontal;
    uint8_t FStartOpacity = 255;
    double FValue = 0;
    int FTop = 0;
    int FLeft = 0;
    uint8_t FEndOpacity = 255;
    TColor FStartColor = 0x4080FF;
    TColor FColorOff = 0x808080;
    uint8_t FColorOffOpacity = 255;
    int FAngle = 0;
    std::string FFormat = "000.00";
    std::string FTimeFormat = "hh:nn:ss";
    double FTimeValue = 0;
    TSmoothLedLabelValueType FValueType = vtNormal;
};

class TSmoothLedLabel : public TGraphicControl {
    DCS_CLASS(TSmoothLedLabel, TGraphicControl)

    explicit TSmoothLedLabel(TComponent* AOwner);
    ~TSmoothLedLabel() override;

    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* V);
    TSmoothLedLabelCaption* Caption() const { return FCaption.get(); }
    void SetCaption(TSmoothLedLabelCaption* V);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V);
    std::string Version() const { return "1.1.0.3"; }
    void SetVersion(const std::string&) {}
    TNotifyEvent OnChange;

    void Assign(TPersistent* Source) override;
    // Paints the whole label on any canvas, in the label's own coordinates.
    void DrawLedLabel(TCanvas& ACanvas);
    void SaveToImage(const std::string& Filename, int ImageWidth, int ImageHeight, TImageType ImageType,
                     int ImageQualityPercentage);
    int Getcount() const { return FCount; }
    bool IsPainting() const { return FPainting; }

    std::string GetThemeID() const { return "TSmoothLedLabel"; }
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    void SetComponentStyle(TSmStyle) {}

    // Both the caption's and the fill's change hooks end here.
    void CaptionChanged(TObject* Sender);
    void WndProc(TMessage& Message) override;

    static void DeclareProperties(TClassBuilder<TSmoothLedLabel>& P);

protected:
    void Paint() override;

private:
    void Changed();

    int FCount = 0;
    bool FPainting = false;
    bool FDesignTime = false;
    std::unique_ptr<TSmoothLedLabelCaption> FCaption;
    bool FTransparent = false;
    std::unique_ptr<TGDIPFill> FFill;
};

}  // namespace dcs::smooth
