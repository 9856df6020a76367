#include "ui/controls/SmoothLabel.h"

#include "platform/base/Strings.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/ControlImage.h"
#include "ui/controls/DesignTime.h"
#include "ui/controls/SmEnumInfo.h"

#include <memory>

namespace dcs::smooth {

namespace {

// Family, font and string format of one caption, made per paint or measurement.
struct TCaptionText {
    TCaptionText(const TSmoothLabelCaption& c, bool WordWrap)
    {
        Family = std::make_unique<TGPFontFamily>(c.Font()->Name());
        const Status s = Family->GetLastStatus();
        if (s == FontFamilyNotFound || s == FontStyleNotFound)
            Family = std::make_unique<TGPFontFamily>("Arial");
        const INT style = INT(c.Font()->Style() & (fsBoldBit | fsItalicBit | fsUnderlineBit));
        Font = std::make_unique<TGPFont>(Family.get(), REAL(c.Font()->Size()), style, UnitPoint);
        Format = std::make_unique<TGPStringFormat>(WordWrap ? 0 : StringFormatFlagsNoWrap, 0);
        if (WordWrap) {
            switch (c.Location()) {
            case plTopCenter:
            case plCenterCenter:
            case plBottomCenter: Format->SetAlignment(StringAlignmentCenter); break;
            case plTopRight:
            case plCenterRight:
            case plBottomRight: Format->SetAlignment(StringAlignmentFar); break;
            default: Format->SetAlignment(StringAlignmentNear); break;
            }
        }
        Text = UTF8ToUTF16(c.Text());
    }
    TGPRectF Measure(TGPGraphics* g, const TGPRectF& layout) const
    {
        TGPRectF box {};
        g->MeasureString(Text, INT(Text.size()), Font.get(), layout, Format.get(), box);
        return box;
    }
    std::unique_ptr<TGPFontFamily> Family;
    std::unique_ptr<TGPFont> Font;
    std::unique_ptr<TGPStringFormat> Format;
    std::u16string Text;
};

}  // namespace

int LabelAutoSizeExtent(double Measured) { return RoundHalfEven(Measured + 2); }

TSmoothLabelCaption::TSmoothLabelCaption(TSmoothLabel* AOwner)
    : FOwner(AOwner), FPicture(std::make_unique<TSmGDIPPicture>()), FFont(std::make_unique<TFont>())
{
    FFont->SetSize(20);
    FFont->OnChange = [this](TObject*) { NotifyChange(); };
    FPicture->OnChange = [this](TObject*) { NotifyChange(); };
}

TSmoothLabelCaption::~TSmoothLabelCaption() = default;

void TSmoothLabelCaption::NotifyChange()
{
    if (FOwner)
        FOwner->CaptionChange(this);
}

void TSmoothLabelCaption::SetText(const std::string& V)
{
    if (V == FText)
        return;
    FText = V;
    if (FOwner && FOwner->AutoShadowCaption())
        FOwner->CaptionShadow()->SetText(V);
    NotifyChange();
}

void TSmoothLabelCaption::SetFont(TFont* V)
{
    FFont->Assign(V);
    NotifyChange();
}

void TSmoothLabelCaption::SetPicture(TSmGDIPPicture* V)
{
    FPicture->Assign(V);
    NotifyChange();
}

void TSmoothLabelCaption::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothLabelCaption*>(Source);
    if (!s || s == this)
        return;
    FLocation = s->FLocation;
    FLeft = s->FLeft;
    FTop = s->FTop;
    FStartColor = s->FStartColor;
    FEndColor = s->FEndColor;
    FGradientType = s->FGradientType;
    FHatchStyle = s->FHatchStyle;
    FStartOpacity = s->FStartOpacity;
    FEndOpacity = s->FEndOpacity;
    FFont->Assign(s->FFont.get());
    FPicture->Assign(s->FPicture.get());
    FText = s->FText;
    NotifyChange();
}

TSmoothLabel::TSmoothLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 280;
    FHeight = 50;
    FCaption = std::make_unique<TSmoothLabelCaption>(this);
    FCaptionShadow = std::make_unique<TSmoothLabelCaption>(this);
    FFill = std::make_unique<TGDIPFill>();
    FFill->OnChange = [this](TObject* s) { CaptionChange(s); };
    if (IsPlacedInDesigner(this)) {
        FCaption->SetText("SmoothLabel");
        FCaptionShadow->SetText("SmoothLabel");
    }
}

TSmoothLabel::~TSmoothLabel()
{
    FFill.reset();
    FCaption.reset();
    FCaptionShadow.reset();
}

void TSmoothLabel::NotifyChange()
{
    if (FAutoSize)
        UpdateSize();
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TSmoothLabel::CaptionChange(TObject*) { NotifyChange(); }

void TSmoothLabel::SetAutoShadowCaption(bool V) { SetValue(FAutoShadowCaption, V); }

void TSmoothLabel::SetAutoSize(bool V)
{
    if (V == FAutoSize)
        return;
    FAutoSize = V;
    UpdateSize();
}

void TSmoothLabel::SetFill(TGDIPFill* V)
{
    FFill->Assign(V);
    NotifyChange();
}

void TSmoothLabel::SetCaption(TSmoothLabelCaption* V)
{
    FCaption->Assign(V);
    NotifyChange();
}

void TSmoothLabel::SetCaptionShadow(TSmoothLabelCaption* V)
{
    FCaptionShadow->Assign(V);
    NotifyChange();
}

void TSmoothLabel::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothLabel*>(Source);
    if (!s || s == this)
        return;
    FAutoShadowCaption = s->FAutoShadowCaption;
    FAutoSize = s->FAutoSize;
    FFill->Assign(s->FFill.get());
    FCaption->Assign(s->FCaption.get());
    FCaptionShadow->Assign(s->FCaptionShadow.get());
    FTransparent = s->FTransparent;
    FWordWrap = s->FWordWrap;
    FTextRendering = s->FTextRendering;
    FCaptionShadowVisible = s->FCaptionShadowVisible;
    FCaptionShadowOffsetTop = s->FCaptionShadowOffsetTop;
    FCaptionShadowOffsetLeft = s->FCaptionShadowOffsetLeft;
    NotifyChange();
}

void TSmoothLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = AWidth != Width() || AHeight != Height();
    TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized && FAutoSize)
        UpdateSize();
}

void TSmoothLabel::Loaded()
{
    TGraphicControl::Loaded();
    if (FAutoSize)
        UpdateSize();
}

void TSmoothLabel::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TSmoothLabel::UpdateSize()
{
    if (FAutoSizing)
        return;
    if (auto* owner = dynamic_cast<TWinControl*>(Owner()); owner && !owner->HandleAllocated())
        return;
    TGPBitmap scratch(1, 1);
    TGPGraphics g(&scratch);
    TCaptionText text(*FCaption, FWordWrap);
    const TGPRectF box = text.Measure(&g, RectF(0, 0, 10000, 10000));
    FAutoSizing = true;
    try {
        SetWidth(LabelAutoSizeExtent(box.Width));
        SetHeight(LabelAutoSizeExtent(box.Height));
    } catch (...) {
        FAutoSizing = false;
        throw;
    }
    FAutoSizing = false;
}

void TSmoothLabel::Paint()
{
    if (TCanvas* c = Canvas())
        DrawLabel(*c);
}

void TSmoothLabel::DrawLabel(TCanvas& ACanvas)
{
    if (Width() <= 1 || Height() <= 1)
        return;
    TCanvasGraphics g(ACanvas);
    TGPRectF r = RectF(0, 0, REAL(Width() - 1), REAL(Height() - 1));
    if (!FTransparent)
        r = FFill->Fill(g.Get(), r);
    if (!FCaptionShadow->Text().empty() && FCaptionShadowVisible)
        DrawCaption(FCaptionShadow.get(), g.Get(), r, REAL(FCaptionShadowOffsetLeft), REAL(FCaptionShadowOffsetTop));
    if (!FCaption->Text().empty())
        DrawCaption(FCaption.get(), g.Get(), r, 0, 0);
}

void TSmoothLabel::DrawCaption(TSmoothLabelCaption* c, TGPGraphics* g, const TGPRectF& r, float OffsetX, float OffsetY)
{
    TCaptionText text(*c, FWordWrap);
    const TGPRectF box = text.Measure(g, r);
    const double W = r.Width, H = r.Height, w = box.Width, h = box.Height;
    double x = 0, y = 0;
    switch (c->Location()) {
    case plTopLeft: break;
    case plTopCenter: x = (W - w) / 2; break;
    case plTopRight: x = W - w; break;
    case plCenterLeft: y = (H - h) / 2; break;
    case plCenterCenter: x = (W - w) / 2, y = (H - h) / 2; break;
    case plCenterRight: x = W - w, y = (H - h) / 2; break;
    case plBottomLeft: y = H - h; break;
    case plBottomCenter: x = (W - w) / 2, y = H - h; break;
    case plBottomRight: x = W - w, y = H - h; break;
    case plCustom: x = FCaption->Left(), y = FCaption->Top(); break;
    }
    REAL fx = REAL(x) + OffsetX, fy = REAL(y) + OffsetY;
    if (FFill->ShadowType() == stSurround) {
        fx += REAL(FFill->ShadowOffset());
        fy += REAL(FFill->ShadowOffset());
    }
    const ARGB start = ARGBFromColor(c->OpacityStart(), c->ColorStart());
    const ARGB end = c->ColorEnd() == clNone ? start : ARGBFromColor(c->OpacityEnd(), c->ColorEnd());
    g->SetTextRenderingHint(FTextRendering == tClearType ? TextRenderingHintClearTypeGridFit
                                                         : TextRenderingHintAntiAliasGridFit);
    const REAL bw = REAL(w), bh = REAL(h);
    std::unique_ptr<TGPBrush> brush;
    switch (c->GradientType()) {
    case gtSolid: brush = std::make_unique<TGPSolidBrush>(start); break;
    case gtVertical:
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(fx, fy), PointF(fx, fy + bh), start, end);
        break;
    case gtHorizontal:
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(fx, fy), PointF(fx + bw, fy), start, end);
        break;
    case gtForwardDiagonal:
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(fx, fy), PointF(fx + bw, fy + bh), start, end);
        break;
    case gtBackwardDiagonal:
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(fx, fy + bh), PointF(fx + bw, fy), end, start);
        break;
    case gtHatch: brush = std::make_unique<TGPHatchBrush>(c->HatchStyle(), start, end); break;
    case gtTexture: brush.reset(c->Picture()->CreateTextureBrush(WrapModeTile)); break;
    default: break;  // radial, angle, path and none draw no caption
    }
    if (!brush)
        return;
    g->DrawString(text.Text, INT(text.Text.size()), text.Font.get(), RectF(fx, fy, bw, bh), text.Format.get(),
                  brush.get());
}

void TSmoothLabel::SaveToImage(const std::string& Filename, int ImageWidth, int ImageHeight, TImageType ImageType,
                               int ImageQualityPercentage)
{
    SaveControlImage([this](TCanvas& c) { DrawLabel(c); }, Width(), Height(), Filename, ImageWidth, ImageHeight,
                     ImageType, ImageQualityPercentage);
}

// ------------------------------------------------------------------ stored layouts

void TSmoothLabelCaption::DeclareProperties(TClassBuilder<TSmoothLabelCaption>& P)
{
    using C = TSmoothLabelCaption;
    P.String("Text", &C::FText, &C::SetText);
    P.Enum("Location", SmoothLabelLocationInfo(), &C::FLocation, &C::SetLocation).Default(plCenterCenter);
    P.Object("Font", &C::Font, &C::SetFont);
    P.Integer("Left", &C::FLeft, &C::SetLeft).Default(0);
    P.Integer("Top", &C::FTop, &C::SetTop).Default(0);
    P.Integer("ColorStart", &C::FStartColor, &C::SetColorStart, "TColor").Default(0xFFE09F);
    P.Integer("ColorEnd", &C::FEndColor, &C::SetColorEnd, "TColor").Default(0x754F00);
    P.Enum("GradientType", SmGradientTypeInfo(), &C::FGradientType, &C::SetGradientType).Default(gtVertical);
}

void TSmoothLabel::DeclareProperties(TClassBuilder<TSmoothLabel>& P)
{
    using L = TSmoothLabel;
    P.Boolean("AutoShadowCaption", &L::FAutoShadowCaption, &L::SetAutoShadowCaption).Default(true);
    P.Object("Caption", &L::Caption, &L::SetCaption);
    P.Object("CaptionShadow", &L::CaptionShadow, &L::SetCaptionShadow);
    P.Boolean("CaptionShadowVisible", &L::FCaptionShadowVisible, &L::SetCaptionShadowVisible).Default(false);
    P.Integer("CaptionShadowOffsetLeft", &L::FCaptionShadowOffsetLeft, &L::SetCaptionShadowOffsetLeft).Default(1);
    P.Integer("CaptionShadowOffsetTop", &L::FCaptionShadowOffsetTop, &L::SetCaptionShadowOffsetTop).Default(1);
    P.Boolean("Transparent", &L::FTransparent, &L::SetTransparent).Default(true);
    P.Boolean("WordWrap", &L::FWordWrap, &L::SetWordWrap).Default(false);
}

}  // namespace dcs::smooth
