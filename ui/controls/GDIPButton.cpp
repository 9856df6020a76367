#include "ui/controls/GDIPButton.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <cmath>

namespace dcs::smooth {

TGDIPButtonLayout TurnedLayout(TGDIPButtonLayout Layout, bool RightToLeft)
{
    switch (Layout) {
    case blPictureLeft: return RightToLeft ? blPictureBottom : blPictureTop;
    case blPictureRight: return RightToLeft ? blPictureTop : blPictureBottom;
    case blPictureBottom: return blPictureRight;
    case blPictureTop: return blPictureLeft;
    default: return blNone;
    }
}

namespace {
StringAlignment ToStringAlignment(TSmAlignment a)
{
    return a == taLeftJustify ? StringAlignmentNear : a == taRightJustify ? StringAlignmentFar : StringAlignmentCenter;
}

// A caption font: face, points, bold, italic and underline.
TFontDesc CaptionFont(const TFont& f)
{
    TFontDesc d = FontDesc(f);
    d.Style &= fsBoldBit | fsItalicBit | fsUnderlineBit;
    return d;
}

void FillGradientPath(TGPGraphics* g, TGPGraphicsPath* path, const TGPRectF& over, const ARGB* colours,
                      const REAL* positions)
{
    TGPLinearGradientBrush brush(over, colours[0], colours[2], LinearGradientModeVertical);
    brush.SetGammaCorrection(true);
    brush.SetInterpolationColors(colours, positions, 3);
    g->FillPath(&brush, path);
}
}  // namespace

// ------------------------------------------------------------------ button

TGDIPButton::TGDIPButton() : FFont(std::make_unique<TFont>())
{
    FFont->OnChange = [this](TObject*) {
        NotifyChanged();
        if (OnFontChange)
            OnFontChange(this);
    };
}

TGDIPButton::~TGDIPButton() = default;

void TGDIPButton::SetFont(TFont* Value) { FFont->Assign(Value); }

void TGDIPButton::SetSimpleLayout(bool Value)
{
    if (FSimpleLayout != Value) {
        FSimpleLayout = Value;
        NotifyChanged();
    }
}

void TGDIPButton::SetRounding(int Value)
{
    if (FRounding != Value) {
        FRounding = Value;
        NotifyChanged();
    }
}

void TGDIPButton::NotifyChanged()
{
    if (OnChange && FUpdateCount == 0)
        OnChange(this);
}

void TGDIPButton::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPButton*>(Source);
    if (!s)
        return;
    PictureStretch = s->PictureStretch;
    ++FUpdateCount;  // the font copy notifies through its own handler
    FFont->Assign(s->FFont.get());
    --FUpdateCount;
    Layout = s->Layout;
    Spacing = s->Spacing;
    ShiftDown = s->ShiftDown;
    Alignment = s->Alignment;
    PictureAlignment = s->PictureAlignment;
    FocusColor = s->FocusColor;
    FSimpleLayout = s->FSimpleLayout;
    PictureStretchMode = s->PictureStretchMode;
    GlowPercentage = s->GlowPercentage;
    WordWrapping = s->WordWrapping;
    NotifyChanged();
}

bool TGDIPButton::IsFontStored()
{
    bool stored = true;
    if (OnIsFontStored)
        OnIsFontStored(this, stored);
    return stored;
}

void TGDIPButton::DoNotification(TComponent* AOwner, TComponent* AComponent, TOperation AOperation)
{
    if (!AOwner || AOwner->ComponentState().Contains(csDestroying) || AOperation != TOperation::opRemove)
        return;
    if (AComponent && AComponent == PictureContainer)
        PictureContainer = nullptr;
    if (AComponent && AComponent == ImageList)
        ImageList = nullptr;
}

void TGDIPButton::Draw(TGPGraphics* g, const std::string& Caption, int x, int y, int Width, int Height,
                       int VerticalSpacing, int HorizontalSpacing, TColor Color, TColor ColorDown, TColor BevelColor,
                       TColor TextColor, bool Shadow, bool Down, bool Bevel, bool VerticalText, bool RightToLeft,
                       TFillRoundingType RoundingType, TSmGDIPPicture* APicture, int TextW, int TextH, bool WW,
                       int AImageIndex, const std::string& APictureName)
{
    const int HS = HorizontalSpacing, VS = VerticalSpacing;
    // 1. The picture for this paint.
    TSmGDIPPicture pic;
    if (APicture && !APicture->Empty())
        pic.AssignPicture(APicture);
    if (PictureContainer && !APictureName.empty())
        pic.AssignPicture(PictureContainer->FindPicture(APictureName));
    if (ImageList && AImageIndex >= 0 && AImageIndex < ImageList->Count()) {
        // As PNG, so the list's transparent pixels stay transparent.
        TBitmap image;
        if (ImageList->GetBitmap(AImageIndex, &image) && !image.Empty()) {
            std::string png = image.SaveToPngBytes();
            pic.LoadFromBytes(std::vector<uint8_t>(png.begin(), png.end()));
        }
    }
    const bool hasPicture = !pic.Empty();
    int PW = hasPicture ? pic.Width() : 0, PH = hasPicture ? pic.Height() : 0;
    if (PictureStretch && hasPicture) {
        const int side = (!Caption.empty() || Layout == blPictureBottom || Layout == blPictureTop)
            ? Height - g->TextHeight(Caption, CaptionFont(*FFont))
            : Height - 7;
        const TPictureSize s = FitPictureSize(PW, PH, side, side, PictureStretchMode);
        PW = s.Width;
        PH = s.Height;
    }
    // 2. Layout, turned for vertical text.
    const TGDIPButtonLayout layout = VerticalText ? TurnedLayout(Layout, RightToLeft) : Layout;
    // 3. Face colour.
    TColor F = Color;
    if (Down) {
        if (ColorDown != clNone) {
            F = ColorDown;
        } else {
            double h, s, v, r, gg, b;
            RGBtoHSV(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF, h, s, v);
            HSVtoRGB(h, s, v * 0.7, r, gg, b);
            F = TColor(std::lround(r) | (std::lround(gg) << 8) | (std::lround(b) << 16));
        }
    }
    // 4. Shadow.
    if (Shadow) {
        std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(
            TGPRectF {REAL(x + HS + 2), REAL(y + VS + 2), REAL(Width - 2 * HS - 4), REAL(Height - 2 * VS - 2)},
            FRounding, RoundingType));
        TGPPathGradientBrush brush(path.get());
        brush.SetWrapMode(WrapModeClamp);
        const ARGB colours[3] = {0x00000000, 0xB4000000, 0xB4000000};
        const REAL positions[3] = {0, 0.1f, 1};
        brush.SetInterpolationColors(colours, positions, 3);
        g->FillPath(&brush, path.get());
        Height -= 4;
        Width -= 6;
    }
    // 5 and 6. Face.
    if (FSimpleLayout) {
        std::unique_ptr<TGPGraphicsPath> path(BuildRoundRectPath(
            TGPRectF {REAL(x + HS), REAL(y + VS), REAL(Width - 2 * HS - 1), REAL(Height - 2 * VS - 1)}, FRounding,
            RoundingType));
        TGPSolidBrush brush(ColorToARGB(F));
        g->FillPath(&brush, path.get());
        TGPPen pen(ColorToARGB(F), 1);
        g->DrawPath(&pen, path.get());
    } else {
        const int h6 = Height / 6, G = GlowPercentage, half = Height / 2;
        {
            TGPSolidBrush band(ColorToARGB(Lighter(F, -40)));
            g->FillRectangle(&band, REAL(x + HS), REAL(y + half - h6), REAL(Width - 2 * HS - 1), REAL(2 * h6));
        }
        const TRect glow {x + HS, y + VS, x + Width - 1 - HS, y + half};
        {
            std::unique_ptr<TGPGraphicsPath> lower(BuildLowerGlowPath(glow, FRounding, h6));
            const ARGB c[3] = {ColorToARGB(Lighter(F, G * -40 / 100)), ColorToARGB(Lighter(F, G * 100 / 100)),
                               ColorToARGB(Lighter(F, G * 220 / 100))};
            const REAL p[3] = {0, 0.9f, 1};
            FillGradientPath(
                g, lower.get(),
                TGPRectF {REAL(x + HS - 1), REAL(y + half - h6 - 1), REAL(Width - 2 * HS + 1), REAL(half + h6 + 2)}, c,
                p);
        }
        {
            std::unique_ptr<TGPGraphicsPath> upper(BuildUpperGlowPath(glow, FRounding, h6));
            const ARGB c[3] = {ColorToARGB(Lighter(F, G * 220 / 100)), ColorToARGB(Lighter(F, G * 100 / 100)),
                               ColorToARGB(F)};
            const REAL p[3] = {0, 0.2f, 1};
            FillGradientPath(g, upper.get(),
                             TGPRectF {REAL(x + HS - 1), REAL(y + VS - 1), REAL(Width - 2 * HS + 1), REAL(half + 3)}, c,
                             p);
        }
        if (Bevel) {
            std::unique_ptr<TGPGraphicsPath> ring(BuildRingPath(
                TRect {x + HS, y + VS + 1, x + Width - 1 - HS, y + Height - VS - 1}, FRounding - 1, RoundingType, 2));
            TGPSolidBrush brush(ARGBFromColor(160, BevelColor));
            g->FillPath(&brush, ring.get());
        }
    }
    // 7. Caption rectangle and size.
    const bool hasCaption = !Caption.empty();
    TGPRectF rect {REAL(x + HS), REAL(y + VS), REAL(Width - 2 * HS), REAL(Height - 2 * VS)};
    REAL TW = 0, TH = 0;
    std::unique_ptr<TGPFont> font;
    std::unique_ptr<TGPStringFormat> format;
    const std::u16string caption = UTF8ToUTF16(Caption);
    if (hasCaption) {
        if (Down) {
            rect.X += REAL(ShiftDown);
            rect.Y += REAL(ShiftDown);
        }
        rect.Width -= 4;
        if (hasPicture) {
            rect.X += 2;
            if (layout == blPictureLeft || layout == blPictureRight)
                rect.Width -= REAL(PW + Spacing);
            else if (layout == blPictureBottom || layout == blPictureTop)
                rect.Height -= REAL(PH + Spacing);
            if (Spacing % 2 != 0)
                rect.Width -= 1;
        }
        if (!VerticalText) {
            font.reset(g->MakeFont(CaptionFont(*FFont)));
            format = std::make_unique<TGPStringFormat>(WordWrapping ? 0 : INT(StringFormatFlagsNoWrap));
            format->SetAlignment(ToStringAlignment(Alignment));
            format->SetLineAlignment(ToStringAlignment(Alignment));
            format->SetHotkeyPrefix(HotkeyPrefixShow);
            g->SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
            TGPRectF box {};
            g->MeasureString(caption, INT(caption.size()), font.get(), rect, format.get(), box);
            TW = box.Width;
            TH = box.Height;
        } else {
            TW = REAL(TextW);
            TH = REAL(TextH);
        }
    }
    // 8. Caption origin and drawing rectangle.
    REAL X0 = rect.X + (rect.Width - TW) / 2, Y0 = rect.Y + (rect.Height - TH) / 2;
    if (hasPicture) {
        if (layout == blPictureLeft) {
            X0 = std::max(X0, REAL(Spacing)) + REAL(PW + Spacing);
        } else if (layout == blPictureRight) {
            if (X0 < Spacing) {
                X0 = REAL(Spacing);
                TW = rect.Width = REAL(Width - PW - 2 * Spacing);
            }
        } else if (layout == blPictureTop) {
            Y0 += REAL(PH + Spacing);
        }
    }
    TGPRectF DR {REAL(x + 4 + HS), Y0, REAL(Width - 8 - 2 * HS), TH};
    if (hasPicture && layout == blPictureLeft) {
        DR.X = X0;
        DR.Width = REAL(Width - 8 - HS) - (X0 - x);
    } else if (hasPicture && layout == blPictureRight) {
        DR.Width = REAL(Width - 8 - PW - Spacing - HS) - (X0 - x);
    }
    // 9. Picture.
    if (hasPicture) {
        int PX = PictureAlignment == taLeftJustify ? HS + 4
            : PictureAlignment == taRightJustify   ? Width - HS - PW - 4
                                                   : (Width - PW) / 2;
        int PY = (Height - PH) / 2;
        if (Down) {
            PX += ShiftDown;
            PY += ShiftDown;
        }
        REAL px = REAL(x + PX), py = REAL(y + PY);
        if (hasCaption && layout != blNone) {
            switch (layout) {
            case blPictureRight:
                px = PictureAlignment == taLeftJustify   ? X0 + TW + Spacing
                    : PictureAlignment == taRightJustify ? REAL(x + PX)
                                                         : X0 + TW + (REAL(x + Width) - (X0 + TW) - PW) / 2;
                break;
            case blPictureLeft:
                px = PictureAlignment == taLeftJustify   ? REAL(x + PX)
                    : PictureAlignment == taRightJustify ? X0 - PW - Spacing
                                                         : X0 - (X0 + PW - x) / 2;
                break;
            case blPictureBottom: py = Y0 + TH + Spacing; break;
            case blPictureTop: py = Y0 - PH - Spacing; break;
            default: break;
            }
        }
        const int ix = RoundHalfEven(px), iy = RoundHalfEven(py);
        pic.GDIPDraw(g, TRect {ix, iy, ix + PW, iy + PH});
        if (Layout == blPictureLeft) {
            DR.X = REAL(PX + PW + Spacing);
            DR.Width = REAL(x + Width - 2 * HS - PW - PX - Spacing - 8);
        } else if (Layout == blPictureRight) {
            DR.X = REAL(x + 2 * HS + 8);
            DR.Width = REAL(PX - Spacing - 2 * HS - x - 8);
        }
    }
    // 10. Text.
    if (hasCaption && !VerticalText) {
        TGPSolidBrush brush(ColorToARGB(TextColor));
        const TGPRectF where = WW ? TGPRectF {DR.X - 2, DR.Y, DR.Width + 2, DR.Height} : TGPRectF {DR.X, DR.Y, TW, TH};
        g->DrawString(caption, INT(caption.size()), font.get(), where, format.get(), &brush);
    }
}

// ------------------------------------------------------------------ status

TGDIPStatus::TGDIPStatus() : FFill(std::make_unique<TGDIPFill>()), FFont(std::make_unique<TFont>())
{
    FFill->OnChange = [this](TObject*) { NotifyChanged(); };
    FFont->OnChange = [this](TObject*) { NotifyChanged(); };
}

TGDIPStatus::~TGDIPStatus() = default;

void TGDIPStatus::NotifyChanged()
{
    if (OnChange)
        OnChange(this);
}

void TGDIPStatus::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPStatus*>(Source);
    if (!s)
        return;
    FFill->Assign(s->FFill.get());
    FFont->Assign(s->FFont.get());
    Glow = s->Glow;
    Spacing = s->Spacing;
    NotifyChanged();
}

void TGDIPStatus::CalculateSize(TGPGraphics* g, const std::string& Caption)
{
    if (!Caption.empty()) {
        std::unique_ptr<TGPFont> font(g->MakeFont(CaptionFont(*FFont)));
        const std::u16string text = UTF8ToUTF16(Caption);
        TGPRectF box {};
        g->MeasureString(text, INT(text.size()), font.get(), TGPRectF {0, 0, 10000, 10000}, box);
        FHeight = std::isnan(box.Height) ? 4 : RoundHalfEven(box.Height + 4);
        const int w = std::isnan(box.Width) ? 4 : RoundHalfEven(box.Width + 4);
        FWidth = std::max(FHeight, w) + 2 * Spacing;
    }
    TSmGDIPPicture* pic = FFill->Picture();
    if (!pic->Empty()) {
        const bool custom = FFill->PictureSize() == psCustom;
        FWidth = std::max(FWidth, custom ? FFill->PictureWidth() : pic->Width());
        FHeight = std::max(FHeight, custom ? FFill->PictureHeight() : pic->Height());
    }
}

void TGDIPStatus::Draw(TGPGraphics* g, int x, int y, int Width, int Height, bool AutoSizeArg,
                       const std::string& Caption)
{
    const int w = AutoSizeArg ? FWidth : Width, h = AutoSizeArg ? FHeight : Height;
    FFill->BeginUpdate();
    const int b = FFill->BorderColor() != clNone ? FFill->BorderWidth() / 2 : 0;
    const TGPRectF r {REAL(x), REAL(y), REAL(w - 2 * b), REAL(h - 2 * b)};
    FFill->SetRounding(RoundHalfEven(r.Height / 2));
    FFill->Fill(g, r);
    FFill->EndUpdate();
    if (!Caption.empty()) {
        std::unique_ptr<TGPFont> font(g->MakeFont(CaptionFont(*FFont)));
        const std::u16string text = UTF8ToUTF16(Caption);
        TGPRectF box {};
        g->MeasureString(text, INT(text.size()), font.get(), TGPRectF {0, 0, 10000, 10000}, box);
        TGPSolidBrush brush(ColorToARGB(FFont->Color()));
        g->DrawString(text, INT(text.size()), font.get(),
                      TGPPointF {x + Spacing + (w - 2 * Spacing - box.Width) / 2, y + (h - box.Height) / 2}, &brush);
    }
    if (Glow) {
        TGDIPFill glow;
        glow.SetColor(clWhite);
        glow.SetColorTo(clWhite);
        glow.SetGradientType(gtVertical);
        glow.SetOpacity(170);
        glow.SetOpacityTo(30);
        glow.SetRoundingType(rtTop);
        glow.SetRounding(FFill->Rounding());
        glow.Fill(g, TGPRectF {r.X, r.Y, r.Width, r.Height / 2});
    }
}

}  // namespace dcs::smooth
