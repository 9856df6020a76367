#include "ui/controls/SmoothLedLabel.h"

#include "platform/base/Format.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/ControlImage.h"
#include "ui/controls/DesignTime.h"
#include "ui/controls/SmEnumInfo.h"

namespace dcs::smooth {

TSmoothLedLabelCaption::TSmoothLedLabelCaption(TSmoothLedLabel* AOwner)
    : FOwner(AOwner), FPicture(std::make_unique<TSmGDIPPicture>()), FTimeValue(Now())
{
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TSmoothLedLabelCaption::~TSmoothLedLabelCaption() = default;

void TSmoothLedLabelCaption::SetPicture(TSmGDIPPicture* V)
{
    if (V == FPicture.get())
        return;
    FPicture->Assign(V);
    Changed();
}

void TSmoothLedLabelCaption::Changed()
{
    if (OnChange)
        OnChange(this);
    if (FOwner)
        FOwner->CaptionChanged(this);
}

void TSmoothLedLabelCaption::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothLedLabelCaption*>(Source);
    if (!s || s == this)
        return;
    FLeft = s->FLeft;
    FTop = s->FTop;
    FStartColor = s->FStartColor;
    FEndColor = s->FEndColor;
    FGradientType = s->FGradientType;
    FHatchStyle = s->FHatchStyle;
    FStartOpacity = s->FStartOpacity;
    FEndOpacity = s->FEndOpacity;
    {
        // The picture's own change hook would notify once more.
        TNotifyEvent hook = std::move(FPicture->OnChange);
        FPicture->OnChange = nullptr;
        FPicture->Assign(s->FPicture.get());
        FPicture->OnChange = std::move(hook);
    }
    FValue = s->FValue;
    FColorOff = s->FColorOff;
    FColorOffOpacity = s->FColorOffOpacity;
    FAngle = s->FAngle;
    FFormat = s->FFormat;
    FTimeFormat = s->FTimeFormat;
    FTimeValue = s->FTimeValue;
    FValueType = s->FValueType;
    Changed();
}

TSmoothLedLabel::TSmoothLedLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 200;
    FHeight = 50;
    FCaption = std::make_unique<TSmoothLedLabelCaption>(this);
    FCaption->OnChange = [this](TObject* s) { CaptionChanged(s); };
    FDesignTime = IsPlacedInDesigner(this);
    FFill = std::make_unique<TGDIPFill>();
    FFill->OnChange = [this](TObject* s) { CaptionChanged(s); };
    if (FDesignTime) {
        FFill->SetColor(clBlack);
        FFill->SetColorTo(0x808080);
    }
}

TSmoothLedLabel::~TSmoothLedLabel()
{
    FFill.reset();
    FCaption.reset();
}

void TSmoothLedLabel::Changed()
{
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TSmoothLedLabel::CaptionChanged(TObject*) { Changed(); }

void TSmoothLedLabel::SetFill(TGDIPFill* V)
{
    if (V == FFill.get())
        return;
    FFill->Assign(V);
    Changed();
}

void TSmoothLedLabel::SetCaption(TSmoothLedLabelCaption* V)
{
    if (V == FCaption.get())
        return;
    FCaption->Assign(V);
    Changed();
}

void TSmoothLedLabel::SetTransparent(bool V)
{
    if (V == FTransparent)
        return;
    FTransparent = V;
    Changed();
}

void TSmoothLedLabel::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothLedLabel*>(Source);
    if (!s || s == this)
        return;
    FFill->Assign(s->FFill.get());
    FCaption->Assign(s->FCaption.get());
    FTransparent = s->FTransparent;
    Changed();
}

void TSmoothLedLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TSmoothLedLabel::Paint()
{
    if (TCanvas* c = Canvas())
        DrawLedLabel(*c);
}

void TSmoothLedLabel::DrawLedLabel(TCanvas& ACanvas)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    FPainting = true;
    {
        TCanvasGraphics g(ACanvas);
        g->SetSmoothingMode(SmoothingModeAntiAlias);
        if (!FTransparent)
            FFill->Fill(g.Get(), RectF(0, 0, REAL(Width() - 1), REAL(Height() - 1)));
        const TSmoothLedLabelCaption& c = *FCaption;
        PaintLedText(g.Get(), RectF(0, 0, REAL(Width()), REAL(Height())), c.ValueType(), c.Picture(), c.HatchStyle(),
                     c.Angle(), c.GradientType(), c.OpacityEnd(), c.OpacityStart(), c.ColorEnd(), c.ColorStart(),
                     c.ColorOffOpacity(), c.ColorOff(), c.TimeValue(), c.Value(), c.TimeFormat(), c.Format());
    }
    FPainting = false;
    ++FCount;
}

void TSmoothLedLabel::SaveToImage(const std::string& Filename, int ImageWidth, int ImageHeight, TImageType ImageType,
                                  int ImageQualityPercentage)
{
    SaveControlImage([this](TCanvas& c) { DrawLedLabel(c); }, Width(), Height(), Filename, ImageWidth, ImageHeight,
                     ImageType, ImageQualityPercentage);
}

// ------------------------------------------------------------------ stored layouts

void TSmoothLedLabelCaption::DeclareProperties(TClassBuilder<TSmoothLedLabelCaption>& P)
{
    using C = TSmoothLedLabelCaption;
    P.Enum("GradientType", SmGradientTypeInfo(), &C::FGradientType, &C::SetGradientType).Default(gtVertical);
    P.Integer("ColorEnd", &C::FEndColor, &C::SetColorEnd, "TColor").Default(255);
    P.Float("Value", "Double", &C::FValue, [](C& c, double v) { c.SetValue(v); }).NoDefault();
    P.Integer("Top", &C::FTop, &C::SetTop).Default(0);
    P.Integer("Left", &C::FLeft, &C::SetLeft).Default(0);
    P.Integer("ColorStart", &C::FStartColor, &C::SetColorStart, "TColor").Default(0x4080FF);
    P.Integer("ColorOff", &C::FColorOff, &C::SetColorOff, "TColor").Default(0x808080);
    P.Integer("Angle", &C::FAngle, &C::SetAngle).Default(0);
    P.String("Format", &C::FFormat, &C::SetFormat);
    P.String("TimeFormat", &C::FTimeFormat, &C::SetTimeFormat);
    P.Enum("ValueType", LedValueTypeInfo(), &C::FValueType, &C::SetValueType).Default(vtNormal);
}

void TSmoothLedLabel::DeclareProperties(TClassBuilder<TSmoothLedLabel>& P)
{
    P.Object("Caption", &TSmoothLedLabel::Caption, &TSmoothLedLabel::SetCaption);
    P.Boolean("Transparent", &TSmoothLedLabel::FTransparent, &TSmoothLedLabel::SetTransparent).Default(false);
}

}  // namespace dcs::smooth
