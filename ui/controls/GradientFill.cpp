#include "ui/controls/GradientFill.h"

#include "ui/controls/SmGDIPPicture.h"

namespace dcs::smooth {

namespace {
void FillArea(const TGradientFillParams& p, TGPBrush* brush)
{
    if (p.UsePath)
        p.Graphics->FillPath(brush, p.Path);
    else
        p.Graphics->FillRectangle(brush, p.R);
}
}  // namespace

void PaintGradientFill(const TGradientFillParams& p)
{
    const ARGB start = ARGBFromColor(p.Opacity, p.Color);
    const ARGB end = ARGBFromColor(p.OpacityTo, p.ColorTo);
    const TGPRectF grown {p.R.X - 1, p.R.Y - 1, p.R.Width + 2, p.R.Height + 2};
    switch (p.GradientType) {
    case gtSolid: {
        TGPSolidBrush b(start);
        FillArea(p, &b);
        break;
    }
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
        static const LinearGradientMode kMode[] = {LinearGradientModeVertical, LinearGradientModeHorizontal,
                                                   LinearGradientModeForwardDiagonal,
                                                   LinearGradientModeBackwardDiagonal};
        TGPLinearGradientBrush b(grown, start, end, kMode[p.GradientType - gtVertical]);
        b.SetGammaCorrection(true);
        FillArea(p, &b);
        if (p.Mirror) {
            TGPSolidBrush line(start);
            p.Graphics->FillRectangle(&line, TGPRectF {p.R.X, p.R.Y, p.R.Width, 1});
        }
        break;
    }
    case gtAngle: {
        TGPLinearGradientBrush b(grown, start, end, REAL(p.Angle), true);
        b.SetGammaCorrection(true);
        FillArea(p, &b);
        break;
    }
    case gtHatch: {
        TGPHatchBrush b(p.Hatch, start, end);
        FillArea(p, &b);
        break;
    }
    case gtTexture:
        if (p.Picture) {
            if (p.UsePath)
                p.Picture->FillPath(p.Graphics, p.Path);
            else
                p.Picture->FillRect(p.Graphics, p.R);
        }
        break;
    default: break;
    }
    if (p.BorderColor != clNone) {
        TGPPen pen(ARGBFromColor(p.Opacity, p.BorderColor), REAL(p.BorderWidth));
        pen.SetDashStyle(p.BorderStyle);
        if (p.UsePath)
            p.Graphics->DrawPath(&pen, p.Path);
        else
            p.Graphics->DrawRectangle(&pen, p.R);
    }
}

}  // namespace dcs::smooth
