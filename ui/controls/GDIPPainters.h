// Painters several smooth controls share: the colour helpers of the glass look, its
// glow and ring paths, and the seven-segment LED text. GUI thread only.
#pragma once

#include "platform/base/SysUtils.h"
#include "ui/controls/GDIPFill.h"

#include <string>

namespace dcs::smooth {

DCS_DECLARE_EXCEPTION(EColorError, Exception);

// Channels 0..255. With no saturation the hue is NaN.
void RGBtoHSV(double R, double G, double B, double& H, double& S, double& V);
// With S = 0 the hue must be NaN (else EColorError); the hue is taken modulo 360.
void HSVtoRGB(double H, double S, double V, double& R, double& G, double& B);
// Adds Amount to each channel of the colour's RGB value, clamped to 0..255.
TColor Lighter(TColor Color, int Amount);

// New paths the caller owns; both glow paths are empty at sag 0.
TGPGraphicsPath* BuildLowerGlowPath(const TRect& Rect, int Radius, int Sag);
TGPGraphicsPath* BuildUpperGlowPath(const TRect& Rect, int Radius, int Sag);
TGPGraphicsPath* BuildRingPath(const TRect& Rect, int Radius, TFillRoundingType RoundingType, int Inset);

enum TLedValueType : int32_t {
    vtNormal,
    vtDateTime
};

// One slot (Code: a digit, -1 minus, -2 colon, -3 decimal point) with its box at
// (X, Y), slot width W / N and height H; dots sit in the slot before the position.
void PaintLedDigit(TGPGraphics* Graphics, int Code, TGPPointF Position, uint8_t OffOpacity, TColor ColorOff, int N,
                   TGPBrush* Lit, int H, int W);
// Paints an already formatted text ('.' and ':' take no slot); a text without slots
// paints nothing.
void PaintLedString(TGPGraphics* Graphics, const TGPRectF& R, const std::string& Text, TGPBrush* Lit,
                    uint8_t OffOpacity, TColor ColorOff);
// The lit brush of a LED text; nil for gtNone or a texture without picture.
TGPBrush* MakeLedBrush(const TGPRectF& R, TSmGradientType GradientType, TColor ColorStart, uint8_t OpacityStart,
                       TColor ColorEnd, uint8_t OpacityEnd, int Angle, gdiplus::HatchStyle Hatch,
                       TSmGDIPPicture* Picture);
void PaintLedText(TGPGraphics* Graphics, const TGPRectF& R, TLedValueType ValueType, TSmGDIPPicture* Picture,
                  gdiplus::HatchStyle Hatch, int Angle, TSmGradientType GradientType, uint8_t OpacityEnd,
                  uint8_t OpacityStart, TColor ColorEnd, TColor ColorStart, uint8_t OffOpacity, TColor ColorOff,
                  double TimeValue, double Value, const std::string& TimeFormat, const std::string& Format);

}  // namespace dcs::smooth
