// The smooth panel: a container painted with a fill, optionally with a caption line of
// gradient text over a caption bar and an underline, and a block of mini-HTML text whose
// hyperlinks show a hand cursor and a hint and fire OnAnchorClick. The panel can be
// resized through a grip in its bottom-right corner and, with CanMove, drags its window
// by a 20-pixel band along its top. It paints from a cached picture that is rebuilt after
// every change and resize. GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/ImgList.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/GDIPPictureContainer.h"
#include "ui/controls/HtmlText.h"
#include "ui/controls/SmHintInfo.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs::smooth {

enum TSmoothPanelLocation : int32_t {
    plTopLeft,
    plTopCenter,
    plTopRight,
    plCenterLeft,
    plCenterCenter,
    plCenterRight,
    plBottomLeft,
    plBottomCenter,
    plBottomRight,
    plCustom
};
enum TSmoothPanelTextRenderingHint : int32_t {
    tAntiAlias,
    tAntiAliasGridFit,
    tClearType
};

class TSmoothPanel;

#define DCS_CAPTION_PROPERTY(Type, Name)                                                                               \
    Type Name() const { return F##Name; }                                                                              \
    void Set##Name(Type V) { SetValue(F##Name, V); }

class TSmoothPanelCaption : public TPersistent {
public:
    explicit TSmoothPanelCaption(TSmoothPanel* AOwner);
    ~TSmoothPanelCaption() override;

    DCS_CAPTION_PROPERTY(std::string, Text)
    DCS_CAPTION_PROPERTY(TSmoothPanelLocation, Location)
    DCS_CAPTION_PROPERTY(int, Left)
    DCS_CAPTION_PROPERTY(int, Top)
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* V) { FFont->Assign(V); }
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V) { FPicture->Assign(V); }
    DCS_CAPTION_PROPERTY(TColor, ColorStart)
    DCS_CAPTION_PROPERTY(TColor, ColorEnd)
    DCS_CAPTION_PROPERTY(uint8_t, OpacityStart)
    DCS_CAPTION_PROPERTY(uint8_t, OpacityEnd)
    DCS_CAPTION_PROPERTY(TSmGradientType, GradientType)
    DCS_CAPTION_PROPERTY(gdiplus::HatchStyle, HatchStyle)
    DCS_CAPTION_PROPERTY(TColor, LineColor)
    DCS_CAPTION_PROPERTY(bool, Line)
    DCS_CAPTION_PROPERTY(TColor, BackgroundColor)
    DCS_CAPTION_PROPERTY(TColor, BackgroundColorTo)
    DCS_CAPTION_PROPERTY(TSmoothPanelTextRenderingHint, TextRendering)
    DCS_CAPTION_PROPERTY(std::string, HTMLText)
    TFont* HTMLFont() const { return FHTMLFont.get(); }
    void SetHTMLFont(TFont* V) { FHTMLFont->Assign(V); }
    DCS_CAPTION_PROPERTY(TSmoothPanelLocation, HTMLLocation)
    DCS_CAPTION_PROPERTY(int, HTMLLeft)
    DCS_CAPTION_PROPERTY(int, HTMLTop)
    DCS_CAPTION_PROPERTY(TColor, HTMLURLColor)
    DCS_CAPTION_PROPERTY(TColor, HTMLShadowColor)
    DCS_CAPTION_PROPERTY(int, HTMLShadowOffset)
    // Kept for stored forms; a change goes to the panel, not here.
    TNotifyEvent OnChange;

    // From another caption: everything but the line colour, rendering and caption bar
    // colours; then one change.
    void Assign(TPersistent* Source) override;
    void SaveToFile(TFillIniFile&, const std::string&) {}
    void LoadFromFile(TFillIniFile&, const std::string&) {}

private:
    template <class T> void SetValue(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            Changed();
    }
    void Changed();

    TSmoothPanel* FOwner;
    TSmGradientType FGradientType = gtVertical;
    TSmoothPanelLocation FLocation = plTopLeft;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    TColor FColorEnd = 0x9F661A;
    gdiplus::HatchStyle FHatchStyle = HatchStyleHorizontal;
    std::unique_ptr<TFont> FFont;
    uint8_t FOpacityStart = 255;
    std::string FText;
    int FTop = 0, FLeft = 0;
    uint8_t FOpacityEnd = 255;
    TColor FColorStart = 0xB0721C;
    std::string FHTMLText;
    TSmoothPanelLocation FHTMLLocation = plCenterCenter;
    int FHTMLTop = 0, FHTMLLeft = 0;
    TColor FHTMLShadowColor = 0x808080;
    TColor FHTMLURLColor = 0xFF0000;
    int FHTMLShadowOffset = 5;
    std::unique_ptr<TFont> FHTMLFont;
    TColor FLineColor = 0xB0721C;
    bool FLine = true;
    TSmoothPanelTextRenderingHint FTextRendering = tAntiAliasGridFit;
    TColor FBackgroundColor = clNone, FBackgroundColorTo = clNone;
};

#undef DCS_CAPTION_PROPERTY

using TAnchorClickEvent = std::function<void(TObject* Sender, const std::string& Anchor)>;
using TPanelDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, TRect R)>;

// Where a text of w x h goes in R for a location (the far and centre places are measured
// from R's origin without adding R's left and top).
TPoint PanelPosition(TSmoothPanelLocation Location, int w, int h, const TGPRectF& R);

class TSmoothPanel : public TCustomControl, public ISmStyle, public ISmTones {
    DCS_CLASS(TSmoothPanel, TCustomControl)

    explicit TSmoothPanel(TComponent* AOwner);
    ~TSmoothPanel() override;

    bool CanMove() const { return FCanMove; }
    void SetCanMove(bool V) { FCanMove = V; }
    bool Resizable() const { return FResizable; }
    void SetResizable(bool V) { SetValue(FResizable, V); }
    bool ResizeHandle() const { return FResizeHandle; }
    void SetResizeHandle(bool V) { SetValue(FResizeHandle, V); }
    TColor ResizeHandleColor() const { return FResizeHandleColor; }
    void SetResizeHandleColor(TColor V) { SetValue(FResizeHandleColor, V); }
    uint8_t ResizeHandleOpacity() const { return FResizeHandleOpacity; }
    void SetResizeHandleOpacity(uint8_t V) { SetValue(FResizeHandleOpacity, V); }
    int ResizeHandleSize() const { return FResizeHandleSize; }
    void SetResizeHandleSize(int V) { SetValue(FResizeHandleSize, V); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V) { SetValue(FTransparent, V); }
    TSmoothPanelCaption* Caption() const { return FCaption.get(); }
    void SetCaption(TSmoothPanelCaption* V);
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* V);
    // Not owned; forgotten when it goes away.
    TGDIPPictureContainer* PictureContainer() const { return FContainer; }
    void SetPictureContainer(TGDIPPictureContainer* V);
    // Not owned; forgotten when it goes away. The HTML text's "IDX:n" images.
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* V);
    TSmHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TSmHintInfo* V) { FOfficeHint->Assign(V); }
    std::string Version() const { return "1.4.0.1"; }
    // Sets the control's cursor and the one hover effects return to.
    void SetCursor(TCursor V);

    TAnchorClickEvent OnAnchorClick;
    TPanelDrawEvent OnDraw;
    TNotifyEvent OnEndMoveSize;

    // Draws fill, caption, HTML text and grip into g.
    virtual void DrawPanel(TGPGraphics* g);
    // A client point in the 20-pixel band along the top that drags the window.
    virtual bool IsMoveArea(TPoint P) const;
    // The hyperlink's target (or title, with Focus) at a client point of the HTML text.
    std::string GetAnchorAt(int X, int Y, bool Focus);
    TGPRectF GripRect() const;
    TRect HtmlRect() const { return FHtmlr; }

    void Assign(TPersistent* Source) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    // The fill under the section "TSmoothPanel.Fill"; the caption writes nothing.
    void SaveToTheme(const std::string& FileName);
    void LoadFromTheme(const std::string& FileName);
    std::string GetThemeID() const { return ClassName(); }
    void SetComponentStyle(TSmStyle AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;
    void NotifyChange();
    void CaptionChange() { NotifyChange(); }

    HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }
    static void DeclareProperties(TClassBuilder<TSmoothPanel>& P);

protected:
    void Paint() override;
    void EraseBackground(TCanvas& Canvas, const TRect& R) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    template <class T> void SetValue(T& Field, T V)
    {
        if (StoreChanged(Field, V))
            NotifyChange();
    }
    void DrawCaption(TGPGraphics* g, TGPRectF& F, int& CaptionHeight);
    void DrawHtml(TGPGraphics* g, TGPRectF F, int Top);
    int HtmlInset() const;
    THtmlParams HtmlParams() const;

    TPoint FOldPos;
    bool FMouseDown = false;
    bool refreshcache = true;
    std::unique_ptr<TGPBitmap> FCache;
    TCursor FoldCursor = crDefault;
    bool FOnAnchor = false;
    TRect FHtmlr;
    std::unique_ptr<TSmoothPanelCaption> FCaption;
    TGDIPPictureContainer* FContainer = nullptr;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TGDIPFill> FFill;
    bool FTransparent = true;
    bool FCanMove = false;
    std::unique_ptr<TSmHintInfo> FOfficeHint;
    bool FResizable = false;
    bool FResizeHandle = true;
    int FResizeHandleSize = 17;
    TColor FResizeHandleColor = clBlack;
    uint8_t FResizeHandleOpacity = 255;
    // Moving the window by the top band: the screen point of the last move.
    bool FMoving = false;
    TPoint FMoveFrom;
};

}  // namespace dcs::smooth
