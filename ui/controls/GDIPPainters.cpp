#include "ui/controls/GDIPPainters.h"

#include "platform/base/Format.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace dcs::smooth {

// ------------------------------------------------------------------ colours

void RGBtoHSV(double R, double G, double B, double& H, double& S, double& V)
{
    const double mx = std::max({R, G, B}), mn = std::min({R, G, B}), delta = mx - mn;
    V = mx;
    S = mx == 0 ? 0 : delta / mx;
    if (S == 0) {
        H = NAN;
        return;
    }
    if (R == mx)
        H = 60 * (G - B) / delta;
    else if (G == mx)
        H = 60 * (B - R) / delta + 120;
    else
        H = 60 * (R - G) / delta + 240;
    if (H < 0)
        H += 360;
}

void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B)
{
    if (S == 0) {
        if (!std::isnan(H))
            throw EColorError("HSVtoRGB: S = 0 and H has a value");
        R = G = B = V;
        return;
    }
    // Any hue, also one outside 0..360, lands in one of the six sectors.
    double h = std::fmod(H, 360.0);
    if (h < 0)
        h += 360;
    if (h >= 360)
        h = 0;
    h /= 60;
    const int i = std::clamp(int(h), 0, 5);
    const double f = h - i, p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
    switch (i) {
    case 0: R = V, G = t, B = p; break;
    case 1: R = q, G = V, B = p; break;
    case 2: R = p, G = V, B = t; break;
    case 3: R = p, G = q, B = V; break;
    case 4: R = t, G = p, B = V; break;
    default: R = V, G = p, B = q; break;
    }
}

TColor Lighter(TColor Color, int Amount)
{
    const ARGB c = ColorToARGB(Color);
    auto ch = [&](int v) { return std::clamp(v + Amount, 0, 255); };
    return TColor(ch(ARGBRed(c)) | (ch(ARGBGreen(c)) << 8) | (ch(ARGBBlue(c)) << 16));
}

// -------------------------------------------------------------- glass paths

namespace {
// The chord arc of the glow: through (L, B - s) and (R, B - s), lowest point on B.
void AddGlowArc(TGPGraphicsPath* p, int L, int R, int B, int s)
{
    const double half = (R - L) / 2.0;
    const int c = RoundHalfEven((half * half + double(s) * s) / (2.0 * s));
    const REAL x = REAL(L + (R - L) / 2 - c), y = REAL(B - 2 * c), d = REAL(2 * c);
    if (c == s) {
        p->AddArc(x, y, d, d, 0, 180);
        return;
    }
    const double a = 90 + std::atan(half / (c - s)) * 180 / M_PI;
    p->AddArc(x, y, d, d, REAL(a), REAL(180 - 2 * a));
}
}  // namespace

TGPGraphicsPath* BuildLowerGlowPath(const TRect& Rect, int Radius, int Sag)
{
    auto* p = new TGPGraphicsPath();
    if (Sag == 0)
        return p;
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom, B2 = 2 * B - T, D = 2 * Radius;
    AddGlowArc(p, L, R, B, Sag);
    p->AddLine(REAL(R), REAL(B - Sag), REAL(R), REAL(B2 - Radius));
    p->AddArc(REAL(R - D), REAL(B2 - D), REAL(D), REAL(D), 0, 90);
    p->AddLine(REAL(R - Radius), REAL(B2), REAL(L + Radius), REAL(B2));
    p->AddArc(REAL(L), REAL(B2 - D), REAL(D), REAL(D), 90, 90);
    p->AddLine(REAL(L), REAL(B2 - Radius), REAL(L), REAL(B - Sag));
    p->CloseFigure();
    return p;
}

TGPGraphicsPath* BuildUpperGlowPath(const TRect& Rect, int Radius, int Sag)
{
    auto* p = new TGPGraphicsPath();
    if (Sag == 0)
        return p;
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom, D = 2 * Radius;
    p->AddArc(REAL(L), REAL(T), REAL(D), REAL(D), 180, 90);
    p->AddLine(REAL(L + Radius), REAL(T), REAL(R - Radius), REAL(T));
    p->AddArc(REAL(R - D), REAL(T), REAL(D), REAL(D), 270, 90);
    p->AddLine(REAL(R), REAL(T + Radius), REAL(R), REAL(B - Sag));
    AddGlowArc(p, L, R, B, Sag);
    p->AddLine(REAL(L), REAL(B - Sag), REAL(L), REAL(T + Radius));
    p->CloseFigure();
    return p;
}

TGPGraphicsPath* BuildRingPath(const TRect& Rect, int Radius, TFillRoundingType RoundingType, int Inset)
{
    auto* p = new TGPGraphicsPath();
    const TGPRectF outer {REAL(Rect.Left), REAL(Rect.Top), REAL(Rect.Right - Rect.Left), REAL(Rect.Bottom - Rect.Top)};
    AddRoundRectFigure(p, outer, Radius, RoundingType);
    AddRoundRectFigure(p,
                       TGPRectF {outer.X + Inset, outer.Y + Inset, outer.Width - 2 * Inset, outer.Height - 2 * Inset},
                       Radius, RoundingType);
    return p;
}

// ---------------------------------------------------------------------- LED

namespace {
struct Segment {
    int N;
    TGPPointF P[6];
    const char* LitFor;  // the characters that light it; 'm' is the minus sign
};
const Segment kSegments[7] = {
    {4, {{2.8f, 1}, {10, 1}, {8.8f, 2}, {3.8f, 2}}, "02356789"},
    {4, {{10, 1.4f}, {9.3f, 6.8f}, {8.4f, 6.4f}, {9, 2.2f}}, "01234789"},
    {4, {{9.2f, 7.2f}, {8.7f, 12.7f}, {7.6f, 11.9f}, {8.2f, 7.7f}}, "013456789"},
    {4, {{7.4f, 12.1f}, {8.4f, 13}, {1.3f, 13}, {2.2f, 12.1f}}, "0235689"},
    {4, {{2.2f, 11.8f}, {1, 12.7f}, {1.7f, 7.2f}, {2.8f, 7.7f}}, "0268"},
    {4, {{3, 6.4f}, {1.8f, 6.8f}, {2.6f, 1.3f}, {3.6f, 2.2f}}, "045689"},
    {6, {{2, 7}, {3.1f, 6.5f}, {8.3f, 6.5f}, {9, 7}, {8.2f, 7.5f}, {2.9f, 7.5f}}, "2345689m"},
};
}  // namespace

namespace {

// The shapes of LED characters, gathered by colour so that many characters cost two
// fills: the segments never overlap the lit shapes of other characters.
struct TLedShapes {
    TGPGraphicsPath Off {FillModeWinding};
    TGPGraphicsPath Lit {FillModeWinding};
    bool HasOff = false;
    bool HasLit = false;
};

void AddLedDigit(TLedShapes& S, int Code, TGPPointF Pos, bool WithOff, int N, int H, int W)
{
    const REAL cw = REAL(W) / REAL(N);
    auto at = [&](REAL u, REAL v) { return TGPPointF {Pos.X + cw * u / 12, Pos.Y + REAL(H) * v / 15}; };
    auto add = [&](TGPGraphicsPath& path, const Segment& s) {
        TGPPointF pts[6];
        for (int i = 0; i < s.N; ++i)
            pts[i] = at(s.P[i].X, s.P[i].Y);
        path.AddPolygon(pts, s.N);
    };
    if (WithOff) {
        for (const Segment& s : kSegments)
            add(S.Off, s);
        S.HasOff = true;
    }
    auto dot = [&](REAL u, REAL v) {
        const TGPPointF p = at(u, v);
        S.Lit.AddEllipse(p.X - cw, p.Y, cw / 7, cw / 7);
        S.HasLit = true;
    };
    if (Code == -2) {
        dot(11.2f, 3);
        dot(10, 9.5f);
        return;
    }
    if (Code == -3) {
        dot(10, 12);
        return;
    }
    const char key = Code == -1 ? 'm' : (Code >= 0 && Code <= 9) ? char('0' + Code) : '\0';
    if (!key)
        return;
    for (const Segment& s : kSegments)
        if (std::string_view(s.LitFor).find(key) != std::string_view::npos) {
            add(S.Lit, s);
            S.HasLit = true;
        }
}

void FillOff(TGPGraphics* g, TLedShapes& S, TGPBrush* Off)
{
    if (S.HasOff && Off)
        g->FillPath(Off, &S.Off);
    S.Off.Reset();
    S.HasOff = false;
}

}  // namespace

void PaintLedDigit(TGPGraphics* g, int Code, TGPPointF Pos, uint8_t OffOpacity, TColor ColorOff, int N, TGPBrush* Lit,
                   int H, int W)
{
    TLedShapes shapes;
    AddLedDigit(shapes, Code, Pos, ColorOff != clNone, N, H, W);
    TGPSolidBrush off(ARGBFromColor(OffOpacity, ColorOff));
    FillOff(g, shapes, &off);
    if (shapes.HasLit)
        g->FillPath(Lit, &shapes.Lit);
}

void PaintLedString(TGPGraphics* g, const TGPRectF& R, const std::string& Text, TGPBrush* Lit, uint8_t OffOpacity,
                    TColor ColorOff)
{
    if (!Lit)
        return;
    const int n = int(std::count_if(Text.begin(), Text.end(), [](char c) { return c != '.' && c != ':'; }));
    if (n == 0)
        return;  // only marks: there is no slot to divide the width into
    const int W = RoundHalfEven(R.Width), H = RoundHalfEven(R.Height);
    const bool withOff = ColorOff != clNone;
    TGPSolidBrush off(ARGBFromColor(OffOpacity, ColorOff));
    TLedShapes shapes;
    REAL offset = 0, lastOffset = -1;
    for (char c : Text) {
        int code;
        bool advance = true;
        if (c >= '0' && c <= '9')
            code = c - '0';
        else if (c == '-')
            code = -1;
        else if (c == '.' || c == ':')
            code = c == '.' ? -3 : -2, advance = false;
        else
            continue;
        // A mark paints the unlit segments at the slot the next character paints them
        // again: the second coat goes on as a fill of its own, as it would one by one.
        if (offset == lastOffset)
            FillOff(g, shapes, &off);
        AddLedDigit(shapes, code, TGPPointF {R.X + offset, R.Y}, withOff, n, H, W);
        lastOffset = offset;
        if (advance)
            offset += REAL(R.Width) / n;
    }
    FillOff(g, shapes, &off);
    if (shapes.HasLit)
        g->FillPath(Lit, &shapes.Lit);
}

TGPBrush* MakeLedBrush(const TGPRectF& R, TSmGradientType type, TColor ColorStart, uint8_t OpacityStart,
                       TColor ColorEnd, uint8_t OpacityEnd, int Angle, gdiplus::HatchStyle Hatch,
                       TSmGDIPPicture* Picture)
{
    const ARGB lit = ARGBFromColor(OpacityStart, ColorStart), end = ARGBFromColor(OpacityEnd, ColorEnd);
    const REAL X = R.X, Y = R.Y, W = R.Width, H = R.Height;
    switch (type) {
    case gtVertical: return new TGPLinearGradientBrush(TGPPointF {X, Y}, TGPPointF {X, Y + H}, lit, end);
    case gtHorizontal: return new TGPLinearGradientBrush(TGPPointF {X, Y}, TGPPointF {X + W, Y}, lit, end);
    case gtForwardDiagonal: return new TGPLinearGradientBrush(TGPPointF {X, Y}, TGPPointF {X + W, Y + H}, lit, end);
    case gtBackwardDiagonal: return new TGPLinearGradientBrush(TGPPointF {X, Y + H}, TGPPointF {X + W, Y}, end, lit);
    case gtAngle: return new TGPLinearGradientBrush(R, lit, end, REAL(Angle), false);
    case gtHatch: return new TGPHatchBrush(Hatch, lit, end);
    case gtTexture: return Picture ? Picture->CreateTextureBrush(WrapModeTile) : nullptr;
    case gtNone: return nullptr;
    default: return new TGPSolidBrush(lit);
    }
}

void PaintLedText(TGPGraphics* g, const TGPRectF& R, TLedValueType ValueType, TSmGDIPPicture* Picture,
                  gdiplus::HatchStyle Hatch, int Angle, TSmGradientType GradientType, uint8_t OpacityEnd,
                  uint8_t OpacityStart, TColor ColorEnd, TColor ColorStart, uint8_t OffOpacity, TColor ColorOff,
                  double TimeValue, double Value, const std::string& TimeFormat, const std::string& Format)
{
    std::string text;
    if (ValueType == vtNormal)
        text = FormatFloat(Format, Value);
    else if (ValueType == vtDateTime)
        text = FormatDateTime(TimeFormat, TimeValue);
    std::replace(text.begin(), text.end(), FormatSettings.DecimalSeparator, '.');
    std::unique_ptr<TGPBrush> lit(
        MakeLedBrush(R, GradientType, ColorStart, OpacityStart, ColorEnd, OpacityEnd, Angle, Hatch, Picture));
    PaintLedString(g, R, text, lit.get(), OffOpacity, ColorOff);
}

}  // namespace dcs::smooth
