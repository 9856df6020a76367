#include "platform/controls/ExtCtrls.h"

#include <algorithm>

namespace dcs {

namespace {
const TEnumInfo kBevelCuts {"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
}

// ---------------------------------------------------------------------------------
// TPanel

void TPanel::DeclareProperties(TClassBuilder<TPanel>& P)
{
    P.Enum("Alignment", AlignmentInfo(), &TPanel::FAlignment, &TPanel::SetAlignment).Default(taCenter);
    P.Enum("BevelInner", kBevelCuts, &TPanel::FBevelInner, &TPanel::SetBevelInner).Default(bvNone);
    P.Enum("BevelOuter", kBevelCuts, &TPanel::FBevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    P.Integer("BevelWidth", &TPanel::FBevelWidth, &TPanel::SetBevelWidth).Default(1);
    P.Integer("BorderWidth", &TPanel::FBorderWidth, &TPanel::SetBorderWidth).Default(0);
    P.String("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Boolean("ShowCaption", &TPanel::FShowCaption, &TPanel::SetShowCaption).Default(true);
}

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    FWidth = 185;
    FHeight = 41;
    SetDefaultColor(clBtnFace);
    FControlStyle |= csAcceptsControls;
}

void TPanel::SetBevelOuter(TBevelCut V)
{
    FBevelOuter = V;
    Realign();
    Invalidate();
}
void TPanel::SetBevelInner(TBevelCut V)
{
    FBevelInner = V;
    Realign();
    Invalidate();
}
void TPanel::SetBevelWidth(int V)
{
    FBevelWidth = std::max(V, 1);
    Realign();
    Invalidate();
}
void TPanel::SetBorderWidth(int V)
{
    FBorderWidth = std::max(V, 0);
    Realign();
    Invalidate();
}
void TPanel::SetAlignment(TAlignment V)
{
    FAlignment = V;
    Invalidate();
}
void TPanel::SetShowCaption(bool V)
{
    FShowCaption = V;
    Invalidate();
}

void TPanel::AdjustClientRect(TRect& R)
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    R = {R.Left + inset, R.Top + inset, R.Right - inset, R.Bottom - inset};
}

namespace {

void Bevel(TCanvas& C, TRect& R, TBevelCut Cut, int Width)
{
    if (Cut == bvNone)
        return;
    TColor tl = Cut == bvRaised ? clBtnHighlight : Cut == bvLowered ? clBtnShadow : clBtnFace;
    TColor br = Cut == bvRaised ? clBtnShadow : Cut == bvLowered ? clBtnHighlight : clBtnFace;
    for (int i = 0; i < Width; ++i) {
        C.Pen.Color = tl;
        C.MoveTo(R.Left, R.Bottom - 1);
        C.LineTo(R.Left, R.Top);
        C.LineTo(R.Right - 1, R.Top);
        C.Pen.Color = br;
        C.LineTo(R.Right - 1, R.Bottom - 1);
        C.LineTo(R.Left, R.Bottom - 1);
        R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }
}

}  // namespace

void TPanel::Paint()
{
    TCanvas& c = *Canvas();
    TRect r = ClientRect();
    c.Brush.Color = FColor;
    c.FillRect(r);
    Bevel(c, r, FBevelOuter, FBevelWidth);
    r = {r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth};
    Bevel(c, r, FBevelInner, FBevelWidth);
    if (FShowCaption && !Caption().empty()) {
        std::string text = StripHotkey(Caption());
        c.Brush.Style = bsClear;
        int w = c.TextWidth(text), h = c.TextHeight(text);
        int x = FAlignment == taLeftJustify ? r.Left
            : FAlignment == taCenter        ? r.Left + (r.Width() - w) / 2
                                            : r.Right - w;
        c.TextRect(r, x, r.Top + (r.Height() - h) / 2, text);
    }
}

// ---------------------------------------------------------------------------------
// TImage

void TImage::DeclareProperties(TClassBuilder<TImage>& P)
{
    P.Boolean("Center", &TImage::FCenter, &TImage::SetCenter).Default(false);
    P.Object("Picture", &TImage::Picture, &TImage::SetPicture);
    P.Boolean("Proportional", &TImage::FProportional, &TImage::SetProportional).Default(false);
    P.Boolean("Stretch", &TImage::FStretch, &TImage::SetStretch).Default(false);
}

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = [this](TObject*) {
        if (AutoSize())
            AdjustSize();
        Invalidate();
    };
}

TImage::~TImage() = default;

void TImage::SetStretch(bool V)
{
    FStretch = V;
    Invalidate();
}
void TImage::SetCenter(bool V)
{
    FCenter = V;
    Invalidate();
}
void TImage::SetProportional(bool V)
{
    FProportional = V;
    Invalidate();
}

void TImage::AdjustSize()
{
    if (AutoSize() && FPicture->Width() > 0 && !IsLoadingInChain())
        SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
}

TRect TImage::DestRect() const
{
    int pw = FPicture->Width(), ph = FPicture->Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (pw <= 0 || ph <= 0)
        return {};
    int w = pw, h = ph;
    if (FStretch || (FProportional && (pw > cw || ph > ch))) {
        if (FProportional) {
            double s = std::min(double(cw) / pw, double(ch) / ph);
            w = int(pw * s);
            h = int(ph * s);
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return TRect::Bounds(x, y, w, h);
}

void TImage::Paint()
{
    if (!FPicture->Graphic())
        return;
    Canvas()->StretchDraw(DestRect(), FPicture->Graphic());
}

}  // namespace dcs
