// Panels and images.
#pragma once

#include "platform/controls/StdCtrls.h"

namespace dcs {

enum TBevelCut {
    bvNone,
    bvLowered,
    bvRaised,
    bvSpace
};

// A container with optional bevels and a centred caption; children align inside the
// bevels.
class TPanel : public TCustomControl {
    DCS_CLASS(TPanel, TCustomControl)

    explicit TPanel(TComponent* AOwner);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut V);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut V);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int V);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int V);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment V);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool V);

    static void DeclareProperties(TClassBuilder<TPanel>& P);

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;

private:
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    bool FShowCaption = true;
};

// Shows a picture: at its size from the top left, centred, or stretched over the control.
class TImage : public TGraphicControl {
    DCS_CLASS(TImage, TGraphicControl)

    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* V) { FPicture->Assign(V); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool V);
    bool Center() const { return FCenter; }
    void SetCenter(bool V);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool V);
    // Where the picture is drawn in the control.
    TRect DestRect() const;

    static void DeclareProperties(TClassBuilder<TImage>& P);

protected:
    void Paint() override;
    void AdjustSize() override;

private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FProportional = false;
};

}  // namespace dcs
