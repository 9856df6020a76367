#include "ui/controls/SmoothTrackBar.h"

#include "platform/base/Format.h"
#include "platform/base/Strings.h"
#include "platform/controls/ToolTips.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/DesignTime.h"
#include "ui/controls/SmEnumInfo.h"

#include <algorithm>
#include <cmath>

namespace dcs::smooth {

TSmoothTrackBar::TSmoothTrackBar(TComponent* AOwner) : TSmoothFocusable(AOwner)
{
    FWidth = 90;
    FHeight = 250;
    FOldWidth = FHeight;
    FOldHeight = FWidth;
    SetDoubleBuffered(true);
    SetTabStop(true);
    auto repaint = [this](TObject*) { Invalidate(); };
    for (auto* f : {&FFill, &FProgressFill, &FThumbFill}) {
        *f = std::make_unique<TGDIPFill>();
        (*f)->OnChange = repaint;
    }
    FProgressFont = std::make_unique<TFont>();
    FProgressFont->OnChange = repaint;
    FDesignTime = IsPlacedInDesigner(this);
    FGlowTimer = Create<TTimer>(this);
    FGlowTimer->SetInterval(10);
    FGlowTimer->SetOnTimer([this](TObject*) { GlowTick(); });
    if (FDesignTime)
        SetComponentStyle(tsOffice2007Luna);
}

TSmoothTrackBar::~TSmoothTrackBar() { FreeAndNil(FGlowTimer); }

// ------------------------------------------------------------------ values

void TSmoothTrackBar::SetPosition(double V)
{
    if (V == FPosition || !InRange(V))
        return;
    FPosition = V;
    RequestGlow();
    if (OnPositionChanged)
        OnPositionChanged(this, FPosition);
    Invalidate();
}

void TSmoothTrackBar::SetMinimum(double V)
{
    if (!StoreChanged(FMinimum, V))
        return;
    if (FPosition < FMinimum)
        FPosition = FMinimum;
    Invalidate();
}

void TSmoothTrackBar::SetMaximum(double V)
{
    if (!StoreChanged(FMaximum, V))
        return;
    if (FPosition > FMaximum)
        FPosition = FMaximum;
    Invalidate();
}

void TSmoothTrackBar::SetStep(double V)
{
    if (V > 0 && StoreChanged(FStep, V))
        Invalidate();
}

double TSmoothTrackBar::ValueFromPixel(double X) const
{
    const double range = FMaximum - FMinimum;
    if (range <= 0)
        return 0;
    const TGeometry G = Geometry();
    double v = FMinimum + X / G.N * range;
    if (FSnapToTickMarks && FStep > 0) {
        const double t = std::nearbyint(v / FStep) * FStep;
        if (t - FSnapMargin <= v && v <= t + FSnapMargin)
            v = t;
    }
    return std::clamp(v, FMinimum, FMaximum);
}

TSmoothTrackBar::TGeometry TSmoothTrackBar::Geometry() const
{
    TGeometry G {0, 0, double(Width()), double(Height()), double(FThumbSize), 0, 0};
    const double shadow = (FFill->ShadowColor() != clNone ? FFill->ShadowOffset() : 0) + 1;
    G.R -= shadow;
    G.B -= shadow;
    if (FFill->BorderColor() != clNone) {
        const double in = FFill->BorderWidth() == 1 ? 1 : (FFill->BorderWidth() + 1) / 2;
        G.L += in, G.T += in, G.R -= in, G.B -= in;
    }
    G.N = FDirection == dVertical ? G.B - G.S : G.R - G.S;
    const double range = FMaximum - FMinimum;
    G.P = range > 0 ? std::min(G.N, G.N * (FPosition - FMinimum) / range) : 0;
    return G;
}

TGPRectF TSmoothTrackBar::ThumbRect() const
{
    const TGeometry G = Geometry();
    if (FDirection == dVertical)
        return RectF(REAL(G.L + 7), REAL(G.T + G.B - G.S - G.P), REAL(G.R - 14), REAL(G.S));
    return RectF(REAL(G.L + G.P), REAL(G.T + 7), REAL(G.S), REAL(G.B - 14));
}

// ------------------------------------------------------------------ size and direction

void TSmoothTrackBar::SetDirection(TSmoothTrackBarDirection V)
{
    if (!StoreChanged(FDirection, V))
        return;
    if (FWindowCreated && !ComponentState().Contains(csLoading)) {
        FResizing = true;
        if (V == dVertical)
            SetBounds(Left(), Top(), FOldHeight, FOldWidth);
        else
            SetBounds(Left(), Top(), FOldWidth, FOldHeight);
        FResizing = false;
    }
    Invalidate();
}

void TSmoothTrackBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TSmoothFocusable::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FResizing)
        return;
    if (FDirection == dVertical) {
        FOldWidth = Height();
        FOldHeight = Width();
    } else {
        FOldWidth = Width();
        FOldHeight = Height();
    }
}

void TSmoothTrackBar::CreateWnd()
{
    TSmoothFocusable::CreateWnd();
    FWindowCreated = true;
    FToolTip = Create<TToolTipWindow>(this);
    TOOLINFO ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = UINT_PTR(Handle());
    SendMessage(FToolTip->Handle(), TTM_ADDTOOL, 0, LPARAM(&ti));
}

void TSmoothTrackBar::DestroyWnd()
{
    FreeAndNil(FToolTip);
    FWindowCreated = false;
    TSmoothFocusable::DestroyWnd();
}

// ------------------------------------------------------------------ glow

bool TSmoothTrackBar::GlowRunning() const { return !FDesignTime && FGlowRequested && FGlowAnimation; }

void TSmoothTrackBar::RequestGlow()
{
    if (FGlowPosition == -60)
        FGlowRequested = true;
}

void TSmoothTrackBar::GlowTick()
{
    if (!GlowRunning())
        return;
    FGlowPosition += 3;
    if (FGlowPosition > Geometry().P) {
        FGlowCounter = 0;
        FGlowPosition = -60;
        FGlowRequested = false;
    } else {
        FGlowCounter += 10;
    }
    Invalidate();
}

// ------------------------------------------------------------------ tooltip

void TSmoothTrackBar::UpdateToolTip()
{
    if (!FToolTip)
        return;
    std::string text;
    try {
        text = Format(FPositionToolTipFormat, FPosition);
    } catch (const EConvertError&) {
    }
    if (text == FToolTipText)
        return;
    if (OnGetToolTipText)
        OnGetToolTipText(this, FPosition, text);
    TOOLINFO ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = UINT_PTR(Handle());
    ti.lpszText = text;
    SendMessage(FToolTip->Handle(), TTM_UPDATETIPTEXT, 0, LPARAM(&ti));
    FToolTipText = text;
}

void TSmoothTrackBar::HideToolTip()
{
    if (!FToolTip)
        return;
    SendMessage(FToolTip->Handle(), TTM_POP, 0, 0);
    FToolTipText.clear();
}

// ------------------------------------------------------------------ mouse and keys

void TSmoothTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseDown(Button, Shift, X, Y);
    if (FReadOnly)
        return;
    if (CanFocus())
        SetFocus();
    const TGPRectF t = ThumbRect();
    const int l = RoundHalfEven(t.X), tp = RoundHalfEven(t.Y);
    FMouseDownOnThumb = X >= l && X < l + RoundHalfEven(t.Width) && Y >= tp && Y < tp + RoundHalfEven(t.Height);
    if (FMouseDownOnThumb && FPositionToolTip && FToolTip) {
        UpdateToolTip();
        SendMessage(FToolTip->Handle(), TTM_POPUP, 0, 0);
    }
}

void TSmoothTrackBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseMove(Shift, X, Y);
    if (FReadOnly || !FMouseDownOnThumb)
        return;
    const double S = FThumbSize;
    const double v = FDirection == dVertical ? ValueFromPixel(Height() - S / 2 - Y) : ValueFromPixel(X - S / 2);
    if (InRange(v) && v != FPosition) {
        FPosition = v;
        RequestGlow();
        if (OnPositionChanging)
            OnPositionChanging(this, FPosition);
    }
    if (FPositionToolTip)
        UpdateToolTip();
    Repaint();
}

void TSmoothTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSmoothFocusable::MouseUp(Button, Shift, X, Y);
    if (FReadOnly)
        return;
    if (FMouseDownOnThumb) {
        if (OnPositionChanged)
            OnPositionChanged(this, FPosition);
        if (FPositionToolTip)
            HideToolTip();
    } else {
        const TGPRectF t = ThumbRect();
        double v = FPosition;
        if (FDirection == dHorizontal)
            v += X < t.X ? -FStep : X > t.X + t.Width ? FStep : 0;
        else
            v += Y < t.Y ? FStep : Y > t.Y + t.Height ? -FStep : 0;
        if (v != FPosition && InRange(v)) {
            FPosition = v;
            RequestGlow();
            if (OnPositionChanged)
                OnPositionChanged(this, FPosition);
        }
    }
    FMouseDownOnThumb = false;
    SetCursor(crArrow);
    Repaint();
}

namespace {
bool IsStepKey(WPARAM Key)
{
    return Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN || Key == VK_LEFT || Key == VK_RIGHT;
}
}  // namespace

bool TSmoothTrackBar::DoKeyDown(WPARAM& Key, TShiftState Shift)
{
    if (TSmoothFocusable::DoKeyDown(Key, Shift))
        return true;
    if (!TabStop() || FReadOnly || !IsStepKey(Key))
        return false;
    FKeyTarget = FPosition;
    switch (Key) {
    case VK_END: FKeyTarget = FMaximum; break;
    case VK_HOME: FKeyTarget = FMinimum; break;
    case VK_UP:
    case VK_RIGHT: FKeyTarget = FPosition + FStep; break;
    default: FKeyTarget = FPosition - FStep; break;
    }
    if (FKeyTarget != FPosition && InRange(FKeyTarget)) {
        if (OnPositionChanging)
            OnPositionChanging(this, FKeyTarget);
        FPosition = FKeyTarget;
        Repaint();
    }
    return false;
}

void TSmoothTrackBar::KeyUp(WPARAM& Key, TShiftState Shift)
{
    TSmoothFocusable::KeyUp(Key, Shift);
    if (!TabStop() || FReadOnly || !IsStepKey(Key))
        return;
    SetPosition(FKeyTarget);
    if (OnPositionChanged)
        OnPositionChanged(this, FPosition);
}

void TSmoothTrackBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    default: TSmoothFocusable::WndProc(Message);
    }
}

// ------------------------------------------------------------------ painting

void TSmoothTrackBar::Paint()
{
    TCanvas* canvas = Canvas();
    if (!canvas)
        return;
    TCanvasGraphics cg(*canvas);
    TGPGraphics* g = cg.Get();
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    const TGeometry G = Geometry();
    FFill->Fill(g, RectF(0, 0, REAL(Width() - 1), REAL(Height() - 1)));
    if (FShowProgress) {
        const TGPRectF progress = FDirection == dVertical
            ? RectF(REAL(G.L), REAL(G.B - G.P - G.S / 2), REAL(G.R), REAL(G.P + G.S / 2))
            : RectF(REAL(G.L), REAL(G.T), REAL(G.P + G.S / 2), REAL(G.B));
        FProgressFill->Fill(g, progress);
        if (GlowRunning())
            PaintGlow(g, G, progress);
    }
    if (FShowValues || FShowTickMarks)
        PaintTicks(g, G);
    if (FShowInnerBorder)
        PaintInnerBorder(g, G);
    if (FShowThumb)
        PaintThumb(g, G);
}

void TSmoothTrackBar::PaintGlow(TGPGraphics* g, const TGeometry& G, const TGPRectF& Progress)
{
    // A 60-pixel band centred on the glow position, brightest in its middle.
    const ARGB clear = ARGBFromColor(0, clWhite), bright = ARGBFromColor(120, clWhite);
    const ARGB colors[3] = {clear, bright, clear};
    const REAL positions[3] = {0, 0.5f, 1};
    TGPRectF band;
    std::unique_ptr<TGPLinearGradientBrush> brush;
    if (FDirection == dVertical) {
        const REAL bottom = REAL(G.B - FGlowPosition + 30);
        band = RectF(REAL(G.L), bottom - 60, REAL(G.R), 60);
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(0, bottom), PointF(0, bottom - 60), clear, clear);
    } else {
        const REAL start = REAL(G.L + G.S / 2 + FGlowPosition - 30);
        band = RectF(start, REAL(G.T), 60, REAL(G.B));
        brush = std::make_unique<TGPLinearGradientBrush>(PointF(start, 0), PointF(start + 60, 0), clear, clear);
    }
    brush->SetInterpolationColors(colors, positions, 3);
    g->SetClip(Progress);
    g->FillRectangle(brush.get(), band);
    g->ResetClip();
}

void TSmoothTrackBar::PaintTicks(TGPGraphics* g, const TGeometry& G)
{
    g->SetTextRenderingHint(TextRenderingHintAntiAlias);
    int n = FStep > 0 ? int(std::nearbyint((FMaximum - FMinimum) / FStep)) : 1;
    if (n <= 0)
        n = 1;
    std::unique_ptr<TGPFont> font(g->MakeFont(FontDesc(*Font())));
    TGPStringFormat format;
    const double thumbCentre = FDirection == dVertical ? G.T + G.B - G.S - G.P + G.S / 2 : G.L + G.P + G.S / 2;
    for (int k = 0; k <= n; ++k) {
        const double value = FMinimum + k * FStep;
        std::string label;
        try {
            label = Format(FValueFormat, value);
        } catch (const EConvertError&) {
        }
        bool drawText = true, drawLeft = true, drawRight = true;
        TColor left = FTickMarkColor, right = FTickMarkColor;
        if (OnDrawNumber)
            OnDrawNumber(this, value, label, drawText, left, right, drawLeft, drawRight);
        // Every tick sits at its own value, from the minimum end, beside its label.
        const double at = k * G.N / n;
        const bool vertical = FDirection == dVertical;
        const double pos = vertical ? G.B - G.S / 2 - at : G.L + G.S / 2 + at;
        if (FShowTickMarks) {
            const REAL len = REAL(FTickMarkSize);
            auto tick = [&](TColor c, REAL x1, REAL y1, REAL x2, REAL y2) {
                TGPPen pen(ARGBFromColor(125, c), 2);
                g->DrawLine(&pen, x1, y1, x2, y2);
            };
            const REAL p = REAL(pos);
            if (vertical) {
                if (drawLeft)
                    tick(left, REAL(G.L), p, REAL(G.L) + len, p);
                if (drawRight)
                    tick(right, REAL(G.L + G.R) - len, p, REAL(G.L + G.R), p);
            } else {
                if (drawLeft)
                    tick(left, p, REAL(G.T), p, REAL(G.T) + len);
                if (drawRight)
                    tick(right, p, REAL(G.T + G.B) - len, p, REAL(G.T + G.B));
            }
        }
        if (!FShowValues || !drawText || label.empty())
            continue;
        const std::u16string text = UTF8ToUTF16(label);
        TGPRectF box {};
        g->MeasureString(text, INT(text.size()), font.get(), RectF(0, 0, 10000, 10000), &format, box);
        const bool inProgress = vertical ? pos >= thumbCentre : pos <= thumbCentre;
        TGPSolidBrush brush(ColorToARGB(inProgress ? FProgressFont->Color() : Font()->Color()));
        const REAL x = vertical ? REAL((G.R - box.Width) / 2) : REAL(at + G.S / 2 - box.Width / 2);
        const REAL y = vertical ? REAL(pos - box.Height / 2) : REAL((G.B - box.Height) / 2);
        g->DrawString(label, INT(label.size()), font.get(), RectF(x, y, box.Width, box.Height), &format, &brush);
    }
}

void TSmoothTrackBar::PaintInnerBorder(TGPGraphics* g, const TGeometry& G)
{
    const TGPRectF inner = RectF(REAL(G.L + 7), REAL(G.T + 7), REAL(G.R - 14), REAL(G.B - 14));
    std::unique_ptr<TGPGraphicsPath> hole(BuildRoundRectPath(inner, 8, rtBoth));
    TGPRegion frame(RectF(REAL(G.L), REAL(G.T), REAL(G.R), REAL(G.B)));
    frame.Exclude(hole.get());
    g->SetClip(&frame);
    TGPSolidBrush white(ARGBFromColor(75, clWhite));
    g->FillRectangle(&white, RectF(REAL(G.L), REAL(G.T), REAL(G.R), REAL(G.B)));
    g->ResetClip();
    std::unique_ptr<TGPGraphicsPath> outline(BuildRoundRectPath(inner, 10, rtBoth));
    TGPPen pen(ARGBFromColor(225, clWhite), 2);
    g->DrawPath(&pen, outline.get());
}

void TSmoothTrackBar::PaintThumb(TGPGraphics* g, const TGeometry& G)
{
    (void)G;
    const TGPRectF t = ThumbRect();
    FThumbFill->Fill(g, t);
    TGPPen grip(ARGBFromColor(120, FThumbFill->BorderColor() == clNone ? clBlack : FThumbFill->BorderColor()), 1);
    TGPPen light(ARGBFromColor(150, clWhite), 1);
    if (FDirection == dVertical) {
        const REAL c = std::floor(t.Y + t.Height / 2);
        g->DrawLine(&grip, t.X, c, t.X + t.Width, c);
        g->DrawLine(&light, t.X, c + 1, t.X + t.Width, c + 1);
    } else {
        const REAL c = std::floor(t.X + t.Width / 2);
        g->DrawLine(&grip, c, t.Y, c, t.Y + t.Height);
        g->DrawLine(&light, c + 1, t.Y, c + 1, t.Y + t.Height);
    }
    if (FFocused && TabStop())
        DrawFocusOutline(g, t, FThumbFill->Rounding(), FThumbFill->RoundingType());
}

// ------------------------------------------------------------------ styles

void TSmoothTrackBar::SetComponentStyle(TSmStyle AStyle)
{
    FThumbFill->BeginUpdate();
    FThumbFill->SetRounding(10);
    FThumbFill->SetBorderColor(0x808080);
    FThumbFill->SetColor(clWhite);
    FThumbFill->SetColorTo(clWhite);
    FThumbFill->SetGradientType(gtForwardDiagonal);
    FThumbFill->SetOpacityTo(0);
    FThumbFill->EndUpdate();
    struct TStyleColors {
        TColor Fill, FillTo, FillBorder, Progress, ProgressTo, Mirror, MirrorTo, ProgressBorder;
    };
    static const TStyleColors kStyles[] = {
        {0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFCE1CB, 0xE0A57D, clNone, clNone, 0x962D00},
        {0xE6D8D8, 0xE6D8D8, 0xC0C0C0, 0xECE2E1, 0xB39698, clNone, clNone, 0x947C7C},
        {0xCFF0EA, 0xCFF0EA, 0xC0C0C0, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x588060},
        {0xF2F2F2, 0xF2F2F2, 0xC0C0C0, clWhite, 0xC9D1D5, clNone, clNone, 0x808080},
        {0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0, 0xFFD1AD},
        {0x5C534C, 0x5C534C, 0xC0C0C0, 0xF9F8F8, 0xE4E2DF, 0xD1CBC7, 0xE2DEDB, clBlack},
        {0xB6B6B6, 0xB6B6B6, 0xC0C0C0, clWhite, clBtnFace, clNone, clNone, clBlack},
        {0xF5F9FA, 0xF5F9FA, 0xC0C0C0, 0xF5F9FA, 0xA8C0C0, clNone, clNone, 0x962D00},
        {},  // custom: the thumb only
        {0xCAC1BA, 0xCAC1BA, 0xC0C0C0, 0xFAEEEB, 0xE5DBD7, 0xE2D8D4, 0xD1C7C5, clBlack},
        {0xFFFDF9, 0xFFFAF0, 0xFCF2DA, 0xFEF9F0, 0xFDF0D7, clNone, clNone, 0xFEDF9A},
        {0xFCEBDC, 0xFCDBC1, 0xCEA27D, 0xFDFBFA, 0xFDF3EB, clNone, clNone, 0xFBD6B8},
        {clBtnFace, clBtnFace, 0x808080, 0xC0C0C0, 0xC0C0C0, clNone, clNone, 0x808080},
        {clWhite, 0xF1EFED, 0xEDEDEC, 0xFDF6EF, 0xF0DAC7, clNone, clNone, 0xC7B29F},
        {clWhite, 0xF1EFED, 0xEDEDEC, 0xD4CFCB, 0xEDE5E0, clNone, clNone, 0xD2CDC8},
        {clWhite, 0xF1EFED, 0xEDEDEC, 0xBFBFBF, 0x919191, clNone, clNone, 0x6D6D6D},
        {0xF7F6F5, 0xF7F6F5, 0xE4E3E2, 0xF7E0C9, 0xF7E0C9, clNone, clNone, 0xE4A262},
        {clWhite, clWhite, 0xD4D4D4, 0xFCE2C8, 0xFCE2C8, clNone, clNone, 0xE59D56},
        {0xF6F6F6, 0xF6F6F6, 0xC6C6C6, 0xFCE2C8, 0xFCE2C8, clNone, clNone, 0xE59D56},
        {0xE5E5E5, 0xE5E5E5, 0xABABAB, 0xFCE2C8, 0xFCE2C8, clNone, clNone, 0xE59D56},
    };
    if (AStyle < tsOffice2003Blue || AStyle > tsOffice2013Gray || AStyle == tsCustom) {
        Invalidate();
        return;
    }
    const TStyleColors& c = kStyles[AStyle];
    FFill->BeginUpdate();
    FFill->SetColor(c.Fill);
    FFill->SetColorTo(c.FillTo);
    FFill->SetBorderColor(c.FillBorder);
    FFill->EndUpdate();
    FProgressFill->BeginUpdate();
    FProgressFill->SetColor(c.Progress);
    FProgressFill->SetColorTo(c.ProgressTo);
    FProgressFill->SetColorMirror(c.Mirror);
    FProgressFill->SetColorMirrorTo(c.MirrorTo);
    FProgressFill->SetBorderColor(c.ProgressBorder);
    if (AStyle != tsTerminal)
        FProgressFill->SetGradientMirrorType(gtVertical);
    FProgressFill->EndUpdate();
    Invalidate();
}

void TSmoothTrackBar::SetColorTones(const TColorTones& ATones)
{
    FFill->SetColor(ATones.Background.BrushColor);
    FFill->SetColorTo(ATones.Background.BrushColor);
    FFill->SetBorderColor(ATones.Background.BorderColor);
    Font()->SetColor(ATones.Background.TextColor);
    Font()->SetName(DefaultFontName());
    FProgressFont->SetColor(ATones.Foreground.TextColor);
    FProgressFill->SetColor(ATones.Foreground.BrushColor);
    FProgressFill->SetColorTo(ATones.Foreground.BrushColor);
    FProgressFill->SetColorMirror(ATones.Foreground.BrushColor);
    FProgressFill->SetColorMirrorTo(ATones.Foreground.BrushColor);
    FProgressFill->SetBorderColor(ATones.Foreground.BorderColor);
    FTickMarkColor = ATones.Selected.BrushColor;
    FThumbFill->SetColor(ATones.Selected.BrushColor);
    FThumbFill->SetGradientType(gtSolid);
    FThumbFill->SetOpacity(100);
    FThumbFill->SetBorderColor(ATones.Selected.BorderColor);
    FGlowAnimation = false;
    Invalidate();
}

void TSmoothTrackBar::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothTrackBar*>(Source);
    if (!s || s == this)
        return;
    SetDirection(s->FDirection);
    FFill->Assign(s->FFill.get());
    FProgressFill->Assign(s->FProgressFill.get());
    FThumbFill->Assign(s->FThumbFill.get());
    FThumbSize = s->FThumbSize;
    Font()->Assign(s->Font());
    FMinimum = s->FMinimum;
    FMaximum = s->FMaximum;
    FStep = s->FStep;
    FPosition = s->FPosition;
    FValueFormat = s->FValueFormat;
    FShowValues = s->FShowValues;
    FShowTickMarks = s->FShowTickMarks;
    FTickMarkSize = s->FTickMarkSize;
    FSnapToTickMarks = s->FSnapToTickMarks;
    FSnapMargin = s->FSnapMargin;
    FGlowAnimation = s->FGlowAnimation;
    FTickMarkColor = s->FTickMarkColor;
    FShowThumb = s->FShowThumb;
    FShowInnerBorder = s->FShowInnerBorder;
    Invalidate();
}

// ------------------------------------------------------------------ stored layouts

void TSmoothTrackBar::DeclareProperties(TClassBuilder<TSmoothTrackBar>& P)
{
    using B = TSmoothTrackBar;
    P.Enum("Direction", TrackBarDirectionInfo(), &B::FDirection, &B::SetDirection).Default(dVertical);
    P.Integer("ThumbSize", &B::FThumbSize, &B::SetThumbSize).Default(40);
    P.Object("ProgressFont", &B::ProgressFont, &B::SetProgressFont);
    // The range first, so a stored position lands inside it.
    P.Float("Minimum", "Double", &B::FMinimum, &B::SetMinimum).NoDefault();
    P.Float("Maximum", "Double", &B::FMaximum, &B::SetMaximum).NoDefault();
    P.Float("Step", "Double", &B::FStep, &B::SetStep).NoDefault();
    P.Float("Position", "Double", &B::FPosition, &B::SetPosition).NoDefault();
    P.Boolean("PositionToolTip", &B::FPositionToolTip, &B::SetPositionToolTip).Default(false);
    P.String("PositionToolTipFormat", &B::FPositionToolTipFormat, &B::SetPositionToolTipFormat);
    P.String("ValueFormat", &B::FValueFormat, &B::SetValueFormat);
    P.Boolean("ShowValues", &B::FShowValues, &B::SetShowValues).Default(true);
    P.Boolean("ShowTickMarks", &B::FShowTickMarks, &B::SetShowTickMarks).Default(true);
    P.Integer("TickMarkSize", &B::FTickMarkSize, &B::SetTickMarkSize).Default(15);
    P.Integer("TickMarkColor", &B::FTickMarkColor, &B::SetTickMarkColor, "TColor").Default(clBlack);
    P.Boolean("SnapToTickMarks", &B::FSnapToTickMarks, &B::SetSnapToTickMarks).Default(true);
    P.Float("SnapMargin", "Double", &B::FSnapMargin, &B::SetSnapMargin).NoDefault();
    P.Boolean("GlowAnimation", &B::FGlowAnimation, &B::SetGlowAnimation).Default(true);
    P.Boolean("ShowProgress", &B::FShowProgress, &B::SetShowProgress).Default(true);
    P.Boolean("ReadOnly", &B::FReadOnly, &B::SetReadOnly).Default(false);
    P.Boolean("ShowThumb", &B::FShowThumb, &B::SetShowThumb).Default(true);
    P.Boolean("ShowInnerBorder", &B::FShowInnerBorder, &B::SetShowInnerBorder).Default(true);
}

}  // namespace dcs::smooth
