// A vertical or horizontal slider over a floating-point range: three fills (background,
// progress, thumb), tick marks with value labels, a translucent inner frame and a glow
// that runs up the progress bar after the value moves. Dragged values snap to multiples
// of Step within SnapMargin. OnPositionChanging reports a value on the move,
// OnPositionChanged a completed move or a value set in code. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/win/Timer.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/SmoothFocusable.h"
#include "ui/controls/StoreChanged.h"

#include <functional>
#include <memory>
#include <string>

namespace dcs {
class TToolTipWindow;
}

namespace dcs::smooth {

enum TSmoothTrackBarDirection : int32_t {
    dVertical,
    dHorizontal
};

using TSmoothTrackBarValueChanged = std::function<void(TObject* Sender, double Position)>;
using TSmoothTrackBarDrawNumber =
    std::function<void(TObject* Sender, double Value, std::string& S, bool& AllowDrawText, TColor& TickMarkColorLeft,
                       TColor& TickMarkColorRight, bool& AllowDrawTickMarkLeft, bool& AllowDrawTickMarkRight)>;
using TSmoothTrackBarGetToolTipText = std::function<void(TObject* Sender, double Position, std::string& ToolTipText)>;

class TSmoothTrackBar : public TSmoothFocusable {
    DCS_CLASS(TSmoothTrackBar, TSmoothFocusable)

    explicit TSmoothTrackBar(TComponent* AOwner);
    ~TSmoothTrackBar() override;

    TSmoothTrackBarDirection Direction() const { return FDirection; }
    // Swaps width and height once the window exists (not while loading).
    void SetDirection(TSmoothTrackBarDirection V);
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* V) { FFill->Assign(V); }
    TGDIPFill* ProgressFill() const { return FProgressFill.get(); }
    void SetProgressFill(TGDIPFill* V) { FProgressFill->Assign(V); }
    TGDIPFill* ThumbFill() const { return FThumbFill.get(); }
    void SetThumbFill(TGDIPFill* V) { FThumbFill->Assign(V); }
    int ThumbSize() const { return FThumbSize; }
    void SetThumbSize(int V) { SetLook(FThumbSize, V); }
    TFont* ProgressFont() const { return FProgressFont.get(); }
    void SetProgressFont(TFont* V) { FProgressFont->Assign(V); }
    double Minimum() const { return FMinimum; }
    // A position below the new minimum moves to it without an event.
    void SetMinimum(double V);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double V);
    double Step() const { return FStep; }
    // Only positive values are taken.
    void SetStep(double V);
    double Position() const { return FPosition; }
    // Ignored when equal or outside Minimum..Maximum (no clamping); otherwise stored,
    // the glow started and OnPositionChanged raised.
    void SetPosition(double V);
    bool PositionToolTip() const { return FPositionToolTip; }
    void SetPositionToolTip(bool V) { SetLook(FPositionToolTip, V); }
    std::string PositionToolTipFormat() const { return FPositionToolTipFormat; }
    void SetPositionToolTipFormat(const std::string& V) { SetLook(FPositionToolTipFormat, V); }
    std::string ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const std::string& V) { SetLook(FValueFormat, V); }
    bool ShowValues() const { return FShowValues; }
    void SetShowValues(bool V) { SetLook(FShowValues, V); }
    bool ShowTickMarks() const { return FShowTickMarks; }
    void SetShowTickMarks(bool V) { SetLook(FShowTickMarks, V); }
    int TickMarkSize() const { return FTickMarkSize; }
    void SetTickMarkSize(int V) { SetLook(FTickMarkSize, V); }
    TColor TickMarkColor() const { return FTickMarkColor; }
    void SetTickMarkColor(TColor V) { SetLook(FTickMarkColor, V); }
    bool SnapToTickMarks() const { return FSnapToTickMarks; }
    void SetSnapToTickMarks(bool V) { SetLook(FSnapToTickMarks, V); }
    double SnapMargin() const { return FSnapMargin; }
    void SetSnapMargin(double V) { SetLook(FSnapMargin, V); }
    bool GlowAnimation() const { return FGlowAnimation; }
    void SetGlowAnimation(bool V) { SetLook(FGlowAnimation, V); }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool V) { SetLook(FShowProgress, V); }
    std::string Version() const { return "1.4.1.0"; }
    void SetVersion(const std::string&) {}
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool V) { SetLook(FReadOnly, V); }
    bool ShowThumb() const { return FShowThumb; }
    void SetShowThumb(bool V) { SetLook(FShowThumb, V); }
    bool ShowInnerBorder() const { return FShowInnerBorder; }
    void SetShowInnerBorder(bool V) { SetLook(FShowInnerBorder, V); }
    TSmoothTrackBarValueChanged OnPositionChanged;
    TSmoothTrackBarValueChanged OnPositionChanging;
    TSmoothTrackBarDrawNumber OnDrawNumber;
    TSmoothTrackBarGetToolTipText OnGetToolTipText;

    // The value at pixel distance X from the minimum end of the track, snapped and
    // clamped.
    double ValueFromPixel(double X) const;
    // Where the glow is (-60 at rest), measured from the minimum end.
    double GlowPosition() const { return FGlowPosition; }
    bool GlowRunning() const;
    // The thumb's rectangle in control pixels.
    TGPRectF ThumbRect() const;

    std::string GetThemeID() const { return "TSmoothTrackBar"; }
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    void SetComponentStyle(TSmStyle AStyle);
    void SetColorTones(const TColorTones& ATones);
    void Assign(TPersistent* Source) override;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

    static void DeclareProperties(TClassBuilder<TSmoothTrackBar>& P);

protected:
    void Paint() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoKeyDown(WPARAM& Key, TShiftState Shift) override;
    void KeyUp(WPARAM& Key, TShiftState Shift) override;

private:
    template <class T> void SetLook(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            Invalidate();
    }
    struct TGeometry {
        double L, T, R, B;  // content edges
        double S;           // thumb size
        double N;           // track length
        double P;           // thumb offset from the minimum end
    };
    TGeometry Geometry() const;
    bool InRange(double V) const { return V >= FMinimum && V <= FMaximum; }
    void RequestGlow();
    void GlowTick();
    void UpdateToolTip();
    void HideToolTip();
    void PaintTicks(TGPGraphics* g, const TGeometry& G);
    void PaintGlow(TGPGraphics* g, const TGeometry& G, const TGPRectF& Progress);
    void PaintInnerBorder(TGPGraphics* g, const TGeometry& G);
    void PaintThumb(TGPGraphics* g, const TGeometry& G);

    TSmoothTrackBarDirection FDirection = dVertical;
    std::unique_ptr<TGDIPFill> FFill, FProgressFill, FThumbFill;
    int FThumbSize = 40;
    std::unique_ptr<TFont> FProgressFont;
    double FMinimum = 0;
    double FMaximum = 100;
    double FStep = 20;
    double FPosition = 0;
    bool FPositionToolTip = false;
    std::string FPositionToolTipFormat = "%.2f";
    std::string FValueFormat = "%g db";
    bool FShowValues = true;
    bool FShowTickMarks = true;
    int FTickMarkSize = 15;
    TColor FTickMarkColor = clBlack;
    bool FSnapToTickMarks = true;
    double FSnapMargin = 10;
    bool FGlowAnimation = true;
    bool FShowProgress = true;
    bool FReadOnly = false;
    bool FShowThumb = true;
    bool FShowInnerBorder = true;

    double FGlowPosition = -60;
    int FGlowCounter = 0;
    bool FGlowRequested = false;
    TTimer* FGlowTimer = nullptr;  // owned; ticks for the control's whole life
    bool FMouseDownOnThumb = false;
    double FKeyTarget = 0;
    TToolTipWindow* FToolTip = nullptr;  // owned
    std::string FToolTipText;
    int FOldWidth = 0, FOldHeight = 0;
    bool FResizing = false;
    bool FDesignTime = false;
    bool FWindowCreated = false;
};

}  // namespace dcs::smooth
