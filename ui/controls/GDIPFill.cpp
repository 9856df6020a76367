#include "ui/controls/GDIPFill.h"

#include "platform/base/Streams.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/Clipbrd.h"

#include <cmath>
#include <memory>

namespace dcs::smooth {

// -------------------------------------------------------------- shared paths

void AddRoundRectFigure(TGPGraphicsPath* p, const TGPRectF& R, int Radius, TFillRoundingType RoundingType)
{
    const REAL X = R.X, Y = R.Y, W = R.Width, H = R.Height, r = REAL(Radius), D = 2 * r;
    switch (RoundingType) {
    case rtNone:
        p->AddLine(X, Y, X + W, Y);
        p->AddLine(X + W, Y, X + W, Y + H);
        p->AddLine(X + W, Y + H, X, Y + H);
        p->AddLine(X, Y + H, X, Y);
        break;
    case rtTop:
        p->AddArc(X, Y, D, D, 180, 90);
        p->AddLine(X + r, Y, X + W - r, Y);
        p->AddArc(X + W - D, Y, D, D, 270, 90);
        p->AddLine(X + W, Y + r, X + W, Y + H);
        p->AddLine(X + W, Y + H, X, Y + H);
        p->AddLine(X, Y + H, X, Y + r);
        break;
    case rtBottom:
        p->AddLine(X, Y, X + W, Y);
        p->AddLine(X + W, Y, X + W, Y + H - r);
        p->AddArc(X + W - D, Y + H - D, D, D, 0, 90);
        p->AddLine(X + W - r, Y + H, X + r, Y + H);
        p->AddArc(X, Y + H - D, D, D, 90, 90);
        p->AddLine(X, Y + H - r, X, Y);
        break;
    case rtBoth:
        p->AddArc(X, Y, D, D, 180, 90);
        p->AddLine(X + r, Y, X + W - r, Y);
        p->AddArc(X + W - D, Y, D, D, 270, 90);
        p->AddLine(X + W, Y + r, X + W, Y + H - r);
        p->AddArc(X + W - D, Y + H - D, D, D, 0, 90);
        p->AddLine(X + W - r, Y + H, X + r, Y + H);
        p->AddArc(X, Y + H - D, D, D, 90, 90);
        p->AddLine(X, Y + H - r, X, Y + r);
        break;
    case rtLeft:
        p->AddArc(X, Y, D, D, 180, 90);
        p->AddLine(X + r, Y, X + W - r, Y);
        p->AddLine(X + W, Y, X + W, Y + H);
        p->AddLine(X + W - r, Y + H, X + r, Y + H);
        p->AddArc(X, Y + H - D, D, D, 90, 90);
        p->AddLine(X, Y + H - r, X, Y + r);
        break;
    case rtRight:
        p->AddLine(X, Y, X + W - r, Y);
        p->AddArc(X + W - D, Y, D, D, 270, 90);
        p->AddLine(X + W, Y + r, X + W, Y + H - r);
        p->AddArc(X + W - D, Y + H - D, D, D, 0, 90);
        p->AddLine(X + W - r, Y + H, X, Y + H);
        p->AddLine(X, Y + H - r, X, Y + r);
        break;
    }
}

TGPGraphicsPath* BuildRoundRectPath(const TGPRectF& R, int Radius, TFillRoundingType RoundingType, int)
{
    auto* p = new TGPGraphicsPath(FillModeAlternate);
    AddRoundRectFigure(p, R, Radius, RoundingType);
    p->CloseFigure();
    return p;
}

void FillRadialGradient(TGPGraphics* g, const TGPRectF& R, TColor Color, TColor ColorTo, uint8_t Opacity,
                        uint8_t OpacityTo, bool Top, int Rounding, TFillRoundingType RoundingType)
{
    std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(R, Rounding, RoundingType));
    const ARGB from = ARGBFromColor(Opacity, Color), to = ARGBFromColor(OpacityTo, ColorTo);
    {
        TGPSolidBrush solid(Top ? from : to);
        g->FillPath(&solid, path.get());
    }
    g->SetClip(path.get());
    TGPGraphicsPath ellipse;
    if (Top)
        ellipse.AddEllipse(R.X, R.Y - R.Height / 2, R.Width, 1.5f * R.Height);
    else
        ellipse.AddEllipse(R.X, R.Y, R.Width, 1.5f * R.Height);
    TGPPathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(TGPPointF {R.X + R.Width / 2, Top ? R.Y : R.Y + R.Height});
    brush.SetCenterColor(Top ? to : from);
    ARGB surround = Top ? from : to;
    INT one = 1;
    brush.SetSurroundColors(&surround, one);
    g->FillRectangle(&brush, R);
    g->ResetClip();
}

TPictureSize FitPictureSize(int PW, int PH, int BW, int BH, TPictureMode Mode)
{
    if (PW <= 0 || PH <= 0 || BW <= 0 || BH <= 0)
        return {};
    if (PW < BW && PH < BH && Mode == pmNormal)
        return {PW, PH};
    if (double(BW) / BH > double(PW) / PH)
        return {RoundHalfEven(double(PW) * BH / PH), BH};
    return {BW, RoundHalfEven(double(PH) * BW / PW)};
}

namespace {
// Strokes the rounded outline dotted, one pixel wide, without smoothing.
void DottedOutline(TGPGraphics* g, const TGPRectF& R, int Rounding, TFillRoundingType RoundingType, ARGB colour)
{
    std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(R, Rounding, RoundingType));
    TGPPen pen(colour, 1);
    pen.SetDashStyle(DashStyleDot);
    const INT old = g->GetSmoothingMode();
    g->SetSmoothingMode(SmoothingModeDefault);
    g->DrawPath(&pen, path.get());
    g->SetSmoothingMode(old);
}
}  // namespace

void DrawFocusOutline(TGPGraphics* g, const TGPRectF& R, int Rounding, TFillRoundingType RoundingType)
{
    DottedOutline(g, R, Rounding, RoundingType, 0xFF000000);
}

// ------------------------------------------------------------------ hex text

std::string BytesToHex(const std::vector<uint8_t>& Bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(Bytes.size() * 2);
    for (uint8_t b : Bytes) {
        s += kDigits[b >> 4];
        s += kDigits[b & 15];
    }
    return s;
}

std::vector<uint8_t> HexToBytes(const std::string& Text)
{
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        throw EConvertError("No Hex-Number");
    };
    std::vector<uint8_t> out;
    out.reserve(Text.size() / 2);  // measured from the text itself
    for (size_t i = 0; i + 1 < Text.size(); i += 2)
        out.push_back(uint8_t(digit(Text[i]) * 16 + digit(Text[i + 1])));
    return out;
}

// ---------------------------------------------------------------------- fill

namespace {

const TEnumInfo kGradientTypes {"TSmGradientType",
                                {"gtSolid", "gtRadial", "gtVertical", "gtHorizontal", "gtForwardDiagonal",
                                 "gtBackwardDiagonal", "gtAngle", "gtHatch", "gtPath", "gtTexture", "gtNone"}};
const TEnumInfo kHatchStyles {"HatchStyle",
                              {"HatchStyleHorizontal",
                               "HatchStyleVertical",
                               "HatchStyleForwardDiagonal",
                               "HatchStyleBackwardDiagonal",
                               "HatchStyleCross",
                               "HatchStyleDiagonalCross",
                               "HatchStyle05Percent",
                               "HatchStyle10Percent",
                               "HatchStyle20Percent",
                               "HatchStyle25Percent",
                               "HatchStyle30Percent",
                               "HatchStyle40Percent",
                               "HatchStyle50Percent",
                               "HatchStyle60Percent",
                               "HatchStyle70Percent",
                               "HatchStyle75Percent",
                               "HatchStyle80Percent",
                               "HatchStyle90Percent",
                               "HatchStyleLightDownwardDiagonal",
                               "HatchStyleLightUpwardDiagonal",
                               "HatchStyleDarkDownwardDiagonal",
                               "HatchStyleDarkUpwardDiagonal",
                               "HatchStyleWideDownwardDiagonal",
                               "HatchStyleWideUpwardDiagonal",
                               "HatchStyleLightVertical",
                               "HatchStyleLightHorizontal",
                               "HatchStyleNarrowVertical",
                               "HatchStyleNarrowHorizontal",
                               "HatchStyleDarkVertical",
                               "HatchStyleDarkHorizontal",
                               "HatchStyleDashedDownwardDiagonal",
                               "HatchStyleDashedUpwardDiagonal",
                               "HatchStyleDashedHorizontal",
                               "HatchStyleDashedVertical",
                               "HatchStyleSmallConfetti",
                               "HatchStyleLargeConfetti",
                               "HatchStyleZigZag",
                               "HatchStyleWave",
                               "HatchStyleDiagonalBrick",
                               "HatchStyleHorizontalBrick",
                               "HatchStyleWeave",
                               "HatchStylePlaid",
                               "HatchStyleDivot",
                               "HatchStyleDottedGrid",
                               "HatchStyleDottedDiamond",
                               "HatchStyleShingle",
                               "HatchStyleTrellis",
                               "HatchStyleSphere",
                               "HatchStyleSmallGrid",
                               "HatchStyleSmallCheckerBoard",
                               "HatchStyleLargeCheckerBoard",
                               "HatchStyleOutlinedDiamond",
                               "HatchStyleSolidDiamond"}};
const TEnumInfo kPictureModes {"TFillPictureMode", {"pmInsideFill", "pmOutsideFill"}};
const TEnumInfo kPicturePositions {"TFillPicturePosition",
                                   {"ppTopLeft", "ppTopCenter", "ppTopRight", "ppBottomLeft", "ppBottomCenter",
                                    "ppBottomRight", "ppTiled", "ppStretched", "ppCenterLeft", "ppCenterCenter",
                                    "ppCenterRight", "ppCustom"}};
const TEnumInfo kAspectModes {"TPictureMode", {"pmStretch", "pmNormal"}};
const TEnumInfo kPictureSizes {"TFillPictureSize", {"psOriginal", "psCustom"}};
const TEnumInfo kRoundingTypes {"TFillRoundingType", {"rtNone", "rtTop", "rtBottom", "rtBoth", "rtLeft", "rtRight"}};
const TEnumInfo kShadowTypes {"TShadowType", {"stRightBottom", "stBottom", "stSurround"}};
const TEnumInfo kGlowModes {"TGlowMode", {"gmNone", "gmGradient", "gmRadial", "gmRadialGradient"}};

}  // namespace

// In declaration order, which is also the order of the clipboard stream. The ones with
// NoDefault are always stored.
void TGDIPFill::DeclareProperties(TClassBuilder<TGDIPFill>& P)
{
    using F = TGDIPFill;
    P.Integer("Color", &F::FColor, &F::SetColor, "TColor").Default(0xC0C0C0);
    P.Integer("ColorTo", &F::FColorTo, &F::SetColorTo, "TColor").Default(0x808080);
    P.Integer("ColorMirror", &F::FColorMirror, &F::SetColorMirror, "TColor").NoDefault();
    P.Integer("ColorMirrorTo", &F::FColorMirrorTo, &F::SetColorMirrorTo, "TColor").NoDefault();
    P.Enum("GradientType", kGradientTypes, &F::FGradientType, &F::SetGradientType).NoDefault();
    P.Enum("GradientMirrorType", kGradientTypes, &F::FGradientMirrorType, &F::SetGradientMirrorType).NoDefault();
    P.Enum("HatchStyle", kHatchStyles, &F::FHatchStyle, &F::SetHatchStyle).Default(HatchStyleHorizontal);
    P.Enum("HatchStyleMirror", kHatchStyles, &F::FHatchStyleMirror, &F::SetHatchStyleMirror)
        .Default(HatchStyleHorizontal);
    P.Boolean("BackGroundPictureAspectRatio", &F::FBackGroundPictureAspectRatio, &F::SetBackGroundPictureAspectRatio)
        .Default(false);
    P.Enum("BackGroundPictureMode", kPictureModes, &F::FBackGroundPictureMode, &F::SetBackGroundPictureMode)
        .Default(pmOutsideFill);
    P.Object("BackGroundPicture", &F::BackGroundPicture, &F::SetBackGroundPicture);
    P.Enum("BackGroundPicturePosition", kPicturePositions, &F::FBackGroundPicturePosition,
           &F::SetBackGroundPicturePosition)
        .Default(ppTopLeft);
    P.Integer("BackGroundPictureLeft", &F::FBackGroundPictureLeft, &F::SetBackGroundPictureLeft).Default(0);
    P.Integer("BackGroundPictureTop", &F::FBackGroundPictureTop, &F::SetBackGroundPictureTop).Default(0);
    P.Enum("BackGroundPictureAspectMode", kAspectModes, &F::FBackGroundPictureAspectMode,
           &F::SetBackGroundPictureAspectMode)
        .Default(pmStretch);
    P.Object("Picture", &F::Picture, &F::SetPicture);
    P.Enum("PicturePosition", kPicturePositions, &F::FPicturePosition, &F::SetPicturePosition).Default(ppTopLeft);
    P.Integer("PictureLeft", &F::FPictureLeft, &F::SetPictureLeft).Default(0);
    P.Integer("PictureTop", &F::FPictureTop, &F::SetPictureTop).Default(0);
    P.Enum("PictureSize", kPictureSizes, &F::FPictureSize, &F::SetPictureSize).Default(psOriginal);
    P.Integer("PictureWidth", &F::FPictureWidth, &F::SetPictureWidth).Default(50);
    P.Integer("PictureHeight", &F::FPictureHeight, &F::SetPictureHeight).Default(50);
    P.Boolean("PictureAspectRatio", &F::FPictureAspectRatio, &F::SetPictureAspectRatio).Default(false);
    P.Enum("PictureAspectMode", kAspectModes, &F::FPictureAspectMode, &F::SetPictureAspectMode).Default(pmStretch);
    P.Integer("Opacity", &F::FOpacity, &F::SetOpacity, "Byte").Default(255);
    P.Integer("OpacityTo", &F::FOpacityTo, &F::SetOpacityTo, "Byte").Default(255);
    P.Integer("OpacityMirror", &F::FOpacityMirror, &F::SetOpacityMirror, "Byte").Default(255);
    P.Integer("OpacityMirrorTo", &F::FOpacityMirrorTo, &F::SetOpacityMirrorTo, "Byte").Default(255);
    P.Integer("BorderColor", &F::FBorderColor, &F::SetBorderColor, "TColor").NoDefault();
    P.Integer("BorderOpacity", &F::FBorderOpacity, &F::SetBorderOpacity, "Byte").Default(255);
    P.Integer("BorderWidth", &F::FBorderWidth, &F::SetBorderWidth).Default(1);
    P.Integer("Rounding", &F::FRounding, &F::SetRounding).NoDefault();
    P.Enum("RoundingType", kRoundingTypes, &F::FRoundingType, &F::SetRoundingType).Default(rtBoth);
    P.Integer("ShadowColor", &F::FShadowColor, &F::SetShadowColor, "TColor").Default(0x808080);
    P.Integer("ShadowOffset", &F::FShadowOffset, &F::SetShadowOffset).NoDefault();
    P.Enum("ShadowType", kShadowTypes, &F::FShadowType, &F::SetShadowType).Default(stRightBottom);
    P.Integer("Angle", &F::FAngle, &F::SetAngle).Default(0);
    P.Enum("Glow", kGlowModes, &F::FGlow, &F::SetGlow).NoDefault();
    P.Integer("GlowGradientColor", &F::FGlowGradientColor, &F::SetGlowGradientColor, "TColor").Default(clWhite);
    P.Integer("GlowRadialColor", &F::FGlowRadialColor, &F::SetGlowRadialColor, "TColor").Default(clWhite);
}

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TSmGDIPPicture>()), FPicture(std::make_unique<TSmGDIPPicture>())
{
    FBackGroundPicture->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TGDIPFill::~TGDIPFill() = default;

void TGDIPFill::Changed()
{
    if (OnChange && FUpdateCount == 0)
        OnChange(this);
}

void TGDIPFill::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPFill*>(Source);
    if (!s)
        return;
    BeginUpdate();
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorMirror = s->FColorMirror;
    FColorMirrorTo = s->FColorMirrorTo;
    FGradientType = s->FGradientType;
    FGradientMirrorType = s->FGradientMirrorType;
    FHatchStyle = s->FHatchStyle;
    FHatchStyleMirror = s->FHatchStyleMirror;
    FBackGroundPictureAspectRatio = s->FBackGroundPictureAspectRatio;
    FBackGroundPictureMode = s->FBackGroundPictureMode;
    FBackGroundPicture->AssignPicture(s->FBackGroundPicture.get());
    FBackGroundPicturePosition = s->FBackGroundPicturePosition;
    FBackGroundPictureLeft = s->FBackGroundPictureLeft;
    FBackGroundPictureTop = s->FBackGroundPictureTop;
    FBackGroundPictureAspectMode = s->FBackGroundPictureAspectMode;
    FPicture->AssignPicture(s->FPicture.get());
    FPicturePosition = s->FPicturePosition;
    FPictureLeft = s->FPictureLeft;
    FPictureTop = s->FPictureTop;
    FPictureSize = s->FPictureSize;
    FPictureWidth = s->FPictureWidth;
    FPictureHeight = s->FPictureHeight;
    FPictureAspectRatio = s->FPictureAspectRatio;
    FPictureAspectMode = s->FPictureAspectMode;
    FOpacity = s->FOpacity;
    FOpacityTo = s->FOpacityTo;
    FOpacityMirror = s->FOpacityMirror;
    FOpacityMirrorTo = s->FOpacityMirrorTo;
    FBorderColor = s->FBorderColor;
    FBorderOpacity = s->FBorderOpacity;
    FBorderWidth = s->FBorderWidth;
    FRounding = s->FRounding;
    FRoundingType = s->FRoundingType;
    FShadowColor = s->FShadowColor;
    FShadowOffset = s->FShadowOffset;
    FShadowType = s->FShadowType;
    FAngle = s->FAngle;
    FGlow = s->FGlow;
    FGlowGradientColor = s->FGlowGradientColor;
    FGlowRadialColor = s->FGlowRadialColor;
    EndUpdate();
    Changed();
}

void TGDIPFill::DrawGradientBackGround(TGPGraphics* g, const TGPRectF& R, bool Mirror, uint8_t oc, uint8_t octo,
                                       uint8_t ocmr, uint8_t ocmrto)
{
    TGradientFillParams a;
    a.Graphics = g;
    a.R = R;
    a.Color = Mirror ? FColorMirror : FColor;
    a.ColorTo = Mirror ? FColorMirrorTo : FColorTo;
    a.Opacity = Mirror ? ocmr : oc;
    a.OpacityTo = Mirror ? ocmrto : octo;
    a.Hatch = Mirror ? FHatchStyleMirror : FHatchStyle;
    a.GradientType = Mirror ? FGradientMirrorType : FGradientType;
    if (a.Color == clNone)
        a.GradientType = gtNone;
    else if (a.ColorTo == clNone)
        a.GradientType = gtSolid;
    a.Angle = FAngle;
    a.Mirror = Mirror;
    a.Picture = FBackGroundPicturePosition == ppTiled ? FBackGroundPicture.get() : nullptr;
    std::unique_ptr<TGPGraphicsPath> path;
    if (FRounding != 0) {
        TFillRoundingType rt = FRoundingType;
        if (FColorMirror != clNone) {
            if (!Mirror)
                rt = (rt == rtTop || rt == rtBoth) ? rtTop : (rt == rtNone || rt == rtBottom) ? rtNone : rt;
            else
                rt = (rt == rtBottom || rt == rtBoth) ? rtBottom : (rt == rtNone || rt == rtTop) ? rtNone : rt;
        }
        path.reset(BuildRoundRectPath(R, FRounding, rt));
        a.Path = path.get();
        a.UsePath = true;
    }
    if (a.UsePath) {
        const INT old = g->GetSmoothingMode();
        g->SetSmoothingMode(SmoothingModeAntiAlias);
        DrawGradientArea(a);
        g->SetSmoothingMode(old);
    } else {
        DrawGradientArea(a);
    }
}

void TGDIPFill::DrawGlow(TGPGraphics* g, const TGPRectF& R)
{
    if (FGlow == gmNone)
        return;
    g->SetClip(R);
    const TGPRectF r {R.X + 1, R.Y + 1, R.Width - 2, R.Height - 2};
    if (FGlow == gmGradient || FGlow == gmRadialGradient) {
        {
            std::unique_ptr<TGPGraphicsPath> outline(BuildRoundRectPath(r, FRounding, FRoundingType));
            TGPPen pen(ARGBFromColor(200, FGlowGradientColor), 1);
            g->DrawPath(&pen, outline.get());
        }
        auto band = [&](const TGPRectF& b, uint8_t topAlpha, uint8_t bottomAlpha, REAL edgeY, REAL innerY) {
            TGPLinearGradientBrush brush(TGPRectF {b.X - 1, b.Y - 1, b.Width + 2, b.Height + 2},
                                         ARGBFromColor(topAlpha, FGlowGradientColor),
                                         ARGBFromColor(bottomAlpha, FGlowGradientColor), LinearGradientModeVertical);
            g->FillRectangle(&brush, b);
            const TGPPointF left[3] = {{r.X, edgeY}, {r.X + 5, edgeY}, {r.X + 5, innerY}};
            const TGPPointF right[3] = {
                {r.X + r.Width, edgeY}, {r.X + r.Width - 5, edgeY}, {r.X + r.Width - 5, innerY}};
            g->FillPolygon(&brush, left, 3);
            g->FillPolygon(&brush, right, 3);
        };
        band(TGPRectF {r.X + 5, r.Y, r.Width - 10, 4}, 175, 0, r.Y, r.Y + 4);
        band(TGPRectF {r.X + 5, r.Y + r.Height - 7, r.Width - 10, 7}, 0, 220, r.Y + r.Height, r.Y + r.Height - 7);
    }
    if (FGlow == gmRadial || FGlow == gmRadialGradient) {
        TGPGraphicsPath ellipse;
        const TGPRectF e {r.X + 10, r.Y - r.Height / 2, r.Width - 20, 3 * r.Height};
        ellipse.AddEllipse(e);
        TGPPathGradientBrush brush(&ellipse);
        brush.SetCenterPoint(TGPPointF {e.X + e.Width / 2, e.Y + e.Height / 2});
        brush.SetCenterColor(ARGBFromColor(150, FGlowRadialColor));
        ARGB surround = ARGBFromColor(0, FColor);
        INT one = 1;
        brush.SetSurroundColors(&surround, one);
        g->FillPath(&brush, &ellipse);
    }
    g->ResetClip();
}

void TGDIPFill::PlacePicture(TGPGraphics* g, const TGPRectF& R, TSmGDIPPicture* pic, TFillPicturePosition pos, int left,
                             int top, int pw, int ph, bool aspect, TPictureMode mode)
{
    int rx = RoundHalfEven(R.X), ry = RoundHalfEven(R.Y);
    const int rw = RoundHalfEven(R.Width), rh = RoundHalfEven(R.Height);
    if (pos != ppCustom) {
        rx += left;
        ry += top;
    }
    int x = rx, y = ry, w = pw, h = ph;
    switch (pos) {
    case ppTopLeft:
    case ppTopCenter:
    case ppTopRight:
    case ppBottomLeft:
    case ppBottomCenter:
    case ppBottomRight:
    case ppCenterLeft:
    case ppCenterCenter:
    case ppCenterRight: {
        const int column = (pos == ppTopLeft || pos == ppBottomLeft || pos == ppCenterLeft) ? 0
            : (pos == ppTopCenter || pos == ppBottomCenter || pos == ppCenterCenter)        ? 1
                                                                                            : 2;
        x = column == 0 ? rx : column == 1 ? rx + (rw - pw) / 2 : rx + rw - pw;
        if (pos == ppBottomLeft || pos == ppBottomCenter || pos == ppBottomRight)
            y = ry + rh - ph;
        else if (pos == ppCenterLeft || pos == ppCenterCenter || pos == ppCenterRight)
            y = ry + (rh - ph) / 2;
        break;
    }
    case ppCustom:
        x = left;
        y = top;
        break;
    case ppStretched: {
        const TPictureSize s = aspect ? FitPictureSize(pw, ph, rw, rh, mode) : TPictureSize {rw, rh};
        w = s.Width;
        h = s.Height;
        x = rx + RoundHalfEven((rw - w) / 2.0);
        y = ry + RoundHalfEven((rh - h) / 2.0);
        break;
    }
    case ppTiled: pic->FillRect(g, TGPRectF {REAL(rx), REAL(ry), REAL(rw), REAL(rh)}); return;
    }
    pic->GDIPDraw(g, TRect {x, y, x + w, y + h});
}

TGPRectF TGDIPFill::Fill(TGPGraphics* g, const TGPRectF& Rin, uint8_t ABorderOpacity, uint8_t AOpacity,
                         uint8_t AOpacityTo, uint8_t AOpacityMirror, uint8_t AOpacityMirrorTo)
{
    TGPRectF R = Rin;
    if (!g)
        return R;
    const uint8_t bo = ABorderOpacity == 255 ? FBorderOpacity : ABorderOpacity;
    const uint8_t oc = AOpacity == 255 ? FOpacity : AOpacity;
    const uint8_t octo = AOpacityTo == 255 ? FOpacityTo : AOpacityTo;
    const uint8_t ocmr = AOpacityMirror == 255 ? FOpacityMirror : AOpacityMirror;
    const uint8_t ocmrto = AOpacityMirrorTo == 255 ? FOpacityMirrorTo : AOpacityMirrorTo;

    const bool line = R.Width == 1 || R.Height == 1;
    if (line) {
        if (FBorderWidth > 0 && FBorderColor != clNone) {
            TGPPen pen(ARGBFromColor(bo, FBorderColor), REAL(FBorderWidth));
            g->DrawLine(&pen, R.X, R.Y, R.X + R.Width, R.Y + R.Height);
        }
    } else {
        const int S = FShadowOffset;
        if (S > 0 && FShadowColor != clNone) {
            if (FShadowType == stRightBottom || FShadowType == stSurround) {
                const bool surround = FShadowType == stSurround;
                std::unique_ptr<TGPGraphicsPath> path(
                    BuildRoundRectPath(R, surround ? S : FRounding, surround ? rtBoth : FRoundingType));
                TGPPathGradientBrush brush(path.get());
                brush.SetWrapMode(WrapModeClamp);
                const ARGB shadow = ARGBFromColor(180, FShadowColor);
                const ARGB colours[3] = {0x00000000, shadow, shadow};
                const REAL positions[3] = {0, 0.1f, 1};
                brush.SetInterpolationColors(colours, positions, 3);
                g->FillPath(&brush, path.get());
                if (surround)
                    R = TGPRectF {R.X + S, R.Y + S, R.Width - 2 * S, R.Height - 2 * S};
                else
                    R = TGPRectF {R.X, R.Y, R.Width - S, R.Height - S};
            } else {
                FillRadialGradient(g, TGPRectF {R.X, R.Y + R.Height - 2 * S, R.Width, REAL(2 * S)}, FShadowColor,
                                   FShadowColor, 0, 255, true, FRounding, rtBottom);
                R.Height -= S;
            }
        }

        auto area = [&](const TGPRectF& r, bool mirror) {
            const TSmGradientType type = mirror ? FGradientMirrorType : FGradientType;
            const TColor c = mirror ? FColorMirror : FColor;
            if (type == gtRadial) {
                if (c == clNone)
                    return;
                const TColor cTo = mirror ? FColorMirrorTo : FColorTo;
                const bool split = FColorMirror != clNone && !(FGradientType == gtHatch || FGradientType == gtTexture);
                FillRadialGradient(g, r, c, cTo == clNone ? c : cTo, mirror ? ocmr : oc, mirror ? ocmrto : octo,
                                   !mirror, FRounding, split ? (mirror ? rtBottom : rtTop) : FRoundingType);
            } else {
                DrawGradientBackGround(g, r, mirror, oc, octo, ocmr, ocmrto);
            }
        };
        if (FGradientType == gtHatch || FGradientType == gtTexture || FColorMirror == clNone) {
            area(R, false);
        } else {
            const REAL HH = R.Height / 2;
            area(TGPRectF {R.X, R.Y, R.Width, R.Height - HH + 1}, false);
            area(TGPRectF {R.X, R.Y + HH - 1, R.Width, R.Height - HH + 1}, true);
        }

        if (FBackGroundPictureMode == pmInsideFill && !FBackGroundPicture->Empty() && FGradientType == gtTexture) {
            std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(R, FRounding, FRoundingType));
            g->SetClip(path.get());
            PlacePicture(g, R, FBackGroundPicture.get(), FBackGroundPicturePosition, FBackGroundPictureLeft,
                         FBackGroundPictureTop, FBackGroundPicture->Width(), FBackGroundPicture->Height(),
                         FBackGroundPictureAspectRatio, FBackGroundPictureAspectMode);
            g->ResetClip();
        }
        if (FBorderWidth > 0 && FBorderColor != clNone) {
            std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(R, FRounding, FRoundingType));
            TGPPen pen(ARGBFromColor(bo, FBorderColor), REAL(FBorderWidth));
            g->DrawPath(&pen, path.get());
        }
    }

    // Step 8 onwards, for the line case too.
    DrawGlow(g, R);
    FFocusRect =
        TGPRectF {R.X + FBorderWidth, R.Y + FBorderWidth, R.Width - 2 * FBorderWidth, R.Height - 2 * FBorderWidth};
    if (Focus)
        DottedOutline(g, FFocusRect, FRounding - FBorderWidth, FRoundingType, ARGBFromColor(oc, FocusColor));
    if (FBackGroundPictureMode == pmOutsideFill && !FBackGroundPicture->Empty() && FGradientType == gtTexture)
        PlacePicture(g, R, FBackGroundPicture.get(), FBackGroundPicturePosition, FBackGroundPictureLeft,
                     FBackGroundPictureTop, FBackGroundPicture->Width(), FBackGroundPicture->Height(),
                     FBackGroundPictureAspectRatio, FBackGroundPictureAspectMode);
    if (!FPicture->Empty()) {
        const int pw = FPictureSize == psCustom ? FPictureWidth : FPicture->Width();
        const int ph = FPictureSize == psCustom ? FPictureHeight : FPicture->Height();
        PlacePicture(g, R, FPicture.get(), FPicturePosition, FPictureLeft, FPictureTop, pw, ph, FPictureAspectRatio,
                     FPictureAspectMode);
    }
    return R;
}

// ---------------------------------------------------------------- INI keys

namespace {
// The integer keys in their stored order, each bound to its field.
template <class Visit> void IntegerKeys(TGDIPFill& f, Visit&& v)
{
    v("Color", f.Color(), [&](int x) { f.SetColor(x); });
    v("ColorTo", f.ColorTo(), [&](int x) { f.SetColorTo(x); });
    v("ColorMirror", f.ColorMirror(), [&](int x) { f.SetColorMirror(x); });
    v("ColorMirrorTo", f.ColorMirrorTo(), [&](int x) { f.SetColorMirrorTo(x); });
    v("GradientType", f.GradientType(), [&](int x) { f.SetGradientType(TSmGradientType(x)); });
    v("GradientMirrorType", f.GradientMirrorType(), [&](int x) { f.SetGradientMirrorType(TSmGradientType(x)); });
    v("HatchStyle", f.HatchStyle(), [&](int x) { f.SetHatchStyle(gdiplus::HatchStyle(x)); });
    v("HatchStyleMirror", f.HatchStyleMirror(), [&](int x) { f.SetHatchStyleMirror(gdiplus::HatchStyle(x)); });
    v("BackGroundPictureMode", f.BackGroundPictureMode(),
      [&](int x) { f.SetBackGroundPictureMode(TFillPictureMode(x)); });
    v("BackGroundPicturePosition", f.BackGroundPicturePosition(),
      [&](int x) { f.SetBackGroundPicturePosition(TFillPicturePosition(x)); });
    v("BackGroundPictureLeft", f.BackGroundPictureLeft(), [&](int x) { f.SetBackGroundPictureLeft(x); });
    v("BackGroundPictureTop", f.BackGroundPictureTop(), [&](int x) { f.SetBackGroundPictureTop(x); });
    v("PicturePosition", f.PicturePosition(), [&](int x) { f.SetPicturePosition(TFillPicturePosition(x)); });
    v("PictureLeft", f.PictureLeft(), [&](int x) { f.SetPictureLeft(x); });
    v("PictureTop", f.PictureTop(), [&](int x) { f.SetPictureTop(x); });
    v("PictureWidth", f.PictureWidth(), [&](int x) { f.SetPictureWidth(x); });
    v("PictureHeight", f.PictureHeight(), [&](int x) { f.SetPictureHeight(x); });
    v("Opacity", f.Opacity(), [&](int x) { f.SetOpacity(uint8_t(x)); });
    v("OpacityTo", f.OpacityTo(), [&](int x) { f.SetOpacityTo(uint8_t(x)); });
    v("OpacityMirror", f.OpacityMirror(), [&](int x) { f.SetOpacityMirror(uint8_t(x)); });
    v("OpacityMirrorTo", f.OpacityMirrorTo(), [&](int x) { f.SetOpacityMirrorTo(uint8_t(x)); });
    v("BorderColor", f.BorderColor(), [&](int x) { f.SetBorderColor(x); });
    v("BorderOpacity", f.BorderOpacity(), [&](int x) { f.SetBorderOpacity(uint8_t(x)); });
    v("BorderWidth", f.BorderWidth(), [&](int x) { f.SetBorderWidth(x); });
    v("Rounding", f.Rounding(), [&](int x) { f.SetRounding(x); });
    v("RoundingType", f.RoundingType(), [&](int x) { f.SetRoundingType(TFillRoundingType(x)); });
    v("ShadowOffset", f.ShadowOffset(), [&](int x) { f.SetShadowOffset(x); });
    v("ShadowColor", f.ShadowColor(), [&](int x) { f.SetShadowColor(x); });
    v("Angle", f.Angle(), [&](int x) { f.SetAngle(x); });
    v("Glow", f.Glow(), [&](int x) { f.SetGlow(TGlowMode(x)); });
    v("GlowGradientColor", f.GlowGradientColor(), [&](int x) { f.SetGlowGradientColor(x); });
    v("GlowRadialColor", f.GlowRadialColor(), [&](int x) { f.SetGlowRadialColor(x); });
}
}  // namespace

void TGDIPFill::SaveToFile(TFillIniFile& Ini, const std::string& Section)
{
    IntegerKeys(*this, [&](const char* key, int value, auto&&) { Ini.WriteInteger(Section, key, value); });
    const std::string picture = BytesToHex(FPicture->Data());
    Ini.WriteString(Section, "Picture", picture);
    Ini.WriteInteger(Section, "PictureSize", int(picture.size()));
    const std::string background = BytesToHex(FBackGroundPicture->Data());
    Ini.WriteString(Section, "BackgroundPicture", background);
    Ini.WriteInteger(Section, "BackgroundPictureSize", int(background.size()));
}

void TGDIPFill::LoadFromFile(TFillIniFile& Ini, const std::string& Section)
{
    BeginUpdate();
    try {
        IntegerKeys(*this, [&](const char* key, int value, auto&& set) { set(Ini.ReadInteger(Section, key, value)); });
        // The size keys only say that a picture is there; the text is read whole and
        // decoded from what was actually read.
        auto picture = [&](const char* sizeKey, const char* key, TSmGDIPPicture* pic) {
            if (Ini.ReadInteger(Section, sizeKey, 0) <= 0)
                return;
            const std::string text = Ini.ReadString(Section, key, "");
            if (!text.empty())
                pic->LoadFromBytes(HexToBytes(text));
        };
        picture("PictureSize", "Picture", FPicture.get());
        picture("BackgroundPictureSize", "BackgroundPicture", FBackGroundPicture.get());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

namespace {

// The fill's keys on an INI file of the window layer.
class TIniFileKeys : public TFillIniFile {
public:
    explicit TIniFileKeys(TIniFile& Ini) : FIni(Ini) {}
    int ReadInteger(const std::string& S, const std::string& K, int D) override { return FIni.ReadInteger(S, K, D); }
    void WriteInteger(const std::string& S, const std::string& K, int V) override { FIni.WriteInteger(S, K, V); }
    std::string ReadString(const std::string& S, const std::string& K, const std::string& D) override
    {
        return FIni.ReadString(S, K, D);
    }
    void WriteString(const std::string& S, const std::string& K, const std::string& V) override
    {
        FIni.WriteString(S, K, V);
    }

private:
    TIniFile& FIni;
};

}  // namespace

void TGDIPFill::SaveToFile(TIniFile& Ini, const std::string& Section)
{
    TIniFileKeys keys(Ini);
    SaveToFile(keys, Section);
}

void TGDIPFill::LoadFromFile(TIniFile& Ini, const std::string& Section)
{
    TIniFileKeys keys(Ini);
    LoadFromFile(keys, Section);
}

// ---------------------------------------------------------------------------------
// Clipboard

void TSaver::DeclareProperties(TClassBuilder<TSaver>& P)
{
    P.Object("SaveObject", [](const TSaver& S) { return S.SaveObject; });
}

UINT FillClipboardFormat()
{
    static const UINT format = RegisterClipboardFormat("GDI+ Fill");
    return format;
}

namespace {
// The format is there from the start, as the unit's initialisation registers it.
const UINT kFillFormatRegistered = FillClipboardFormat();
}  // namespace

void TGDIPFill::SaveToClipBoard()
{
    TSaver saver(nullptr);
    saver.SaveObject = this;
    TMemoryStream stream;
    WriteComponentToStream(stream, &saver);
    Clipboard().SetData(FillClipboardFormat(),
                        std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size())));
}

void TGDIPFill::LoadFromClipBoard()
{
    if (!Clipboard().HasFormat(FillClipboardFormat()))
        return;
    // Every byte the clipboard holds, and no more: the reader checks every length
    // against the stream it is given.
    const std::string data = Clipboard().GetData(FillClipboardFormat());
    TMemoryStream stream;
    stream.WriteBuffer(data.data(), int64_t(data.size()));
    stream.SetPosition(0);
    // Read into a copy, so that data cut short changes nothing here.
    TGDIPFill copy;
    copy.Assign(this);
    TSaver saver(nullptr);
    saver.SaveObject = &copy;
    ReadComponentFromStream(stream, &saver);
    Assign(&copy);
}

}  // namespace dcs::smooth
