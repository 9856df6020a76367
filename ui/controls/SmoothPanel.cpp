#include "ui/controls/SmoothPanel.h"

#include "platform/base/Strings.h"
#include "platform/controls/Forms.h"
#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/HtmlText.h"
#include "ui/controls/IniFillFile.h"

#include <algorithm>
#include <cmath>

namespace dcs::smooth {

// ---------------------------------------------------------------------------------
// TSmoothPanelCaption

TSmoothPanelCaption::TSmoothPanelCaption(TSmoothPanel* AOwner)
    : FOwner(AOwner), FPicture(std::make_unique<TSmGDIPPicture>()), FFont(std::make_unique<TFont>()),
      FHTMLFont(std::make_unique<TFont>())
{
    FFont->SetName("Tahoma");
    FFont->SetSize(12);
    FHTMLFont->SetName("Tahoma");
    FFont->OnChange = [this](TObject*) { Changed(); };
    FHTMLFont->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TSmoothPanelCaption::~TSmoothPanelCaption() = default;

void TSmoothPanelCaption::Changed()
{
    if (FOwner)
        FOwner->CaptionChange();
}

void TSmoothPanelCaption::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothPanelCaption*>(Source);
    if (!s || s == this)
        return;
    FText = s->FText;
    FLocation = s->FLocation;
    FLeft = s->FLeft;
    FTop = s->FTop;
    FColorStart = s->FColorStart;
    FColorEnd = s->FColorEnd;
    FGradientType = s->FGradientType;
    FHatchStyle = s->FHatchStyle;
    FOpacityStart = s->FOpacityStart;
    FOpacityEnd = s->FOpacityEnd;
    FPicture->Assign(s->FPicture.get());
    FHTMLText = s->FHTMLText;
    FHTMLLocation = s->FHTMLLocation;
    FHTMLLeft = s->FHTMLLeft;
    FHTMLTop = s->FHTMLTop;
    FHTMLURLColor = s->FHTMLURLColor;
    FHTMLShadowColor = s->FHTMLShadowColor;
    FHTMLShadowOffset = s->FHTMLShadowOffset;
    FHTMLFont->Assign(s->FHTMLFont.get());
    FFont->Assign(s->FFont.get());
    FLine = s->FLine;
    Changed();
}

// ---------------------------------------------------------------------------------
// Layout helpers

TPoint PanelPosition(TSmoothPanelLocation Location, int w, int h, const TGPRectF& R)
{
    const int X = RoundHalfEven(R.X), Y = RoundHalfEven(R.Y), Wd = RoundHalfEven(R.Width), Ht = RoundHalfEven(R.Height);
    const int column = Location % 3, row = Location / 3;
    TPoint p;
    p.X = column == 0 ? X : column == 1 ? std::max(Wd - w, X) / 2 : std::max(Wd - w, X);
    p.Y = row == 0 ? Y : row == 1 ? (Ht - h) / 2 : Ht - h;
    return p;
}

// ---------------------------------------------------------------------------------
// TSmoothPanel

void TSmoothPanel::DeclareProperties(TClassBuilder<TSmoothPanel>& P)
{
    P.Boolean("CanMove", &TSmoothPanel::FCanMove, &TSmoothPanel::SetCanMove).Default(false);
    P.Boolean("Resizable", &TSmoothPanel::FResizable, &TSmoothPanel::SetResizable).Default(false);
    P.Boolean("ResizeHandle", &TSmoothPanel::FResizeHandle, &TSmoothPanel::SetResizeHandle).Default(true);
    P.Integer("ResizeHandleSize", &TSmoothPanel::FResizeHandleSize, &TSmoothPanel::SetResizeHandleSize).Default(17);
    P.Boolean("Transparent", &TSmoothPanel::FTransparent, &TSmoothPanel::SetTransparent).Default(true);
    P.Component("PictureContainer", &TSmoothPanel::FContainer, &TSmoothPanel::SetPictureContainer);
    P.Component("Images", &TSmoothPanel::FImages, &TSmoothPanel::SetImages);
    P.Object("OfficeHint", &TSmoothPanel::OfficeHint, &TSmoothPanel::SetOfficeHint);
}

TSmoothPanel::TSmoothPanel(TComponent* AOwner)
    : TCustomControl(AOwner), FCaption(std::make_unique<TSmoothPanelCaption>(this)),
      FFill(std::make_unique<TGDIPFill>()), FOfficeHint(std::make_unique<TSmHintInfo>())
{
    FWidth = 256;
    FHeight = 128;
    FControlStyle |= csAcceptsControls;
    SetDoubleBuffered(true);
    FFill->OnChange = [this](TObject*) { NotifyChange(); };
}

TSmoothPanel::~TSmoothPanel() = default;

HRESULT TSmoothPanel::QueryInterface(const TGUID& IID, void** Obj)
{
    return GetInterfaceOf<ISmStyle, ISmTones>(this, IID, Obj) ? S_OK : E_NOINTERFACE;
}

void TSmoothPanel::NotifyChange()
{
    refreshcache = true;
    Invalidate();
}

void TSmoothPanel::SetCaption(TSmoothPanelCaption* V)
{
    if (V && V != FCaption.get())
        FCaption->Assign(V);
    CaptionChange();
}

void TSmoothPanel::SetFill(TGDIPFill* V)
{
    if (V && V != FFill.get())
        FFill->Assign(V);
    NotifyChange();
}

void TSmoothPanel::SetPictureContainer(TGDIPPictureContainer* V)
{
    if (FContainer)
        FContainer->RemoveFreeNotification(this);
    FContainer = V;
    if (V)
        V->FreeNotification(this);
    NotifyChange();
}

void TSmoothPanel::SetImages(TCustomImageList* V)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = V;
    if (V)
        V->FreeNotification(this);
    NotifyChange();
}

void TSmoothPanel::SetCursor(TCursor V)
{
    TControl::SetCursor(V);
    FoldCursor = V;
}

void TSmoothPanel::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothPanel*>(Source);
    if (!s) {
        TCustomControl::Assign(Source);
        return;
    }
    FCaption->Assign(s->FCaption.get());
    FFill->Assign(s->FFill.get());
    FTransparent = s->FTransparent;
    NotifyChange();
}

void TSmoothPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || ComponentState().Contains(csDestroying))
        return;
    if (AComponent == FContainer)
        FContainer = nullptr;
    if (AComponent == FImages)
        FImages = nullptr;
}

void TSmoothPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool resized = AWidth != Width() || AHeight != Height();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (resized)
        NotifyChange();
}

// ---------------------------------------------------------------------------------
// Painting

void TSmoothPanel::EraseBackground(TCanvas& Canvas, const TRect& R)
{
    // Transparent: the parent, painted before the panel, shows around the fill.
    if (!FTransparent)
        TCustomControl::EraseBackground(Canvas, R);
}

void TSmoothPanel::Paint()
{
    if (Width() > 1 && Height() > 1) {
        if (refreshcache || !FCache) {
            refreshcache = false;
            FCache = std::make_unique<TGPBitmap>(Width(), Height(), PixelFormat32bppARGB);
            TGPGraphics g(FCache.get());
            g.SetSmoothingMode(SmoothingModeAntiAlias);
            static const TextRenderingHint hints[] = {TextRenderingHintAntiAlias, TextRenderingHintAntiAliasGridFit,
                                                      TextRenderingHintClearTypeGridFit};
            g.SetTextRenderingHint(hints[FCaption->TextRendering()]);
            DrawPanel(&g);
        }
        TCanvasGraphics g(*Canvas());
        g->SetSmoothingMode(SmoothingModeAntiAlias);
        g->DrawImage(FCache.get(), 0, 0);
    }
    if (OnDraw)
        OnDraw(this, Canvas(), ClientRect());
}

int TSmoothPanel::HtmlInset() const
{
    const int s = FFill->ShadowColor() != clNone ? FFill->ShadowOffset() : 0;
    return s + 2 * FFill->BorderWidth();
}

void TSmoothPanel::DrawPanel(TGPGraphics* g)
{
    // 1. Fill; without a border it reaches a pixel past every edge.
    const bool border = FFill->BorderColor() != clNone && FFill->BorderWidth() != 0;
    const TGPRectF outer = border ? TGPRectF {0, 0, REAL(Width() - 1), REAL(Height() - 1)}
                                  : TGPRectF {-1, -1, REAL(Width() + 1), REAL(Height() + 1)};
    TGPRectF F = FFill->Fill(g, outer);
    // 2. Caption.
    int captionHeight = 0;
    if (!FCaption->Text().empty())
        DrawCaption(g, F, captionHeight);
    // 3. HTML text.
    if (!FCaption->HTMLText().empty())
        DrawHtml(g, F, captionHeight);
    // 4. Grip.
    if (FResizable && FResizeHandle) {
        const TGPRectF G = GripRect();
        TGPPen pen(ARGBFromColor(FResizeHandleOpacity, FResizeHandleColor), 1);
        for (REAL k : {REAL(0.75), REAL(0.5), REAL(0.25)})
            g->DrawLine(&pen, G.X + k * G.Width, G.Y + G.Height, G.X + G.Width, G.Y + (1 - k) * G.Height);
    }
}

void TSmoothPanel::DrawCaption(TGPGraphics* g, TGPRectF& F, int& CaptionHeight)
{
    TSmoothPanelCaption* c = FCaption.get();
    std::unique_ptr<TGPFont> font(g->MakeFont(FontDesc(*c->Font())));
    TGPStringFormat format(0);
    const std::u16string text = UTF8ToUTF16(c->Text());
    // Room taken by the fill's picture beside the caption.
    TGPRectF T = F;
    REAL cut = 0;
    TSmGDIPPicture* pic = FFill->Picture();
    if (!pic->Empty()) {
        const REAL pw = REAL(FFill->PictureSize() == psCustom ? FFill->PictureWidth() : pic->Width());
        const bool topRow = c->Location() == plTopLeft || c->Location() == plTopRight;
        const bool bottomRow = c->Location() == plBottomLeft || c->Location() == plBottomRight;
        const TFillPicturePosition pp = FFill->PicturePosition();
        if ((pp == ppTopLeft && topRow) || (pp == ppBottomLeft && bottomRow)) {
            T.X += pw;
            cut = pw;
        } else if ((pp == ppTopRight && topRow) || (pp == ppBottomRight && bottomRow)) {
            T.Width -= pw;
        }
    }
    TGPRectF box {};
    g->MeasureString(text, -1, font.get(), TGPRectF {T.X, T.Y, T.Width - cut, T.Height}, &format, box);
    const int w = RoundHalfEven(box.Width), h = RoundHalfEven(box.Height);
    CaptionHeight = h;
    const TPoint pos = c->Location() == plCustom ? TPoint {c->Left(), c->Top()} : PanelPosition(c->Location(), w, h, T);
    const int x = pos.X, y = pos.Y;
    const bool bottom = c->Location() >= plBottomLeft && c->Location() <= plBottomRight;
    // Caption bar.
    if (c->BackgroundColor() != clNone) {
        TGDIPFill bar;
        bar.SetColor(c->BackgroundColor());
        bar.SetColorTo(c->BackgroundColorTo());
        bar.SetColorMirror(clNone);
        bar.SetColorMirrorTo(clNone);
        bar.SetRounding(FFill->Rounding());
        bar.SetBorderWidth(0);
        const TFillRoundingType rt = FFill->RoundingType();
        TFillRoundingType barRounding = rtNone;
        if (!bottom && (rt == rtTop || rt == rtBoth))
            barRounding = rtTop;
        else if (bottom && (rt == rtBottom || rt == rtBoth))
            barRounding = rtBottom;
        bar.SetRoundingType(barRounding);
        if (c->Location() == plCustom)
            bar.Fill(g, TGPRectF {0, 0, T.Width - cut, REAL(y) + box.Height});
        else
            bar.Fill(g, TGPRectF {0, REAL(y - 1), T.Width - cut, box.Height + 1});
    }
    // Text brush.
    const ARGB start = ARGBFromColor(c->OpacityStart(), c->ColorStart());
    const ARGB end = ARGBFromColor(c->OpacityEnd(), c->ColorEnd() == clNone ? c->ColorStart() : c->ColorEnd());
    const REAL fx = REAL(x), fy = REAL(y), tw = box.Width, th = box.Height;
    std::unique_ptr<TGPBrush> brush;
    switch (c->GradientType()) {
    case gtSolid: brush = std::make_unique<TGPSolidBrush>(start); break;
    case gtVertical:
        brush = std::make_unique<TGPLinearGradientBrush>(TGPPointF {fx, fy}, TGPPointF {fx, fy + th}, start, end);
        break;
    case gtHorizontal:
        brush = std::make_unique<TGPLinearGradientBrush>(TGPPointF {fx, fy}, TGPPointF {fx + tw, fy}, start, end);
        break;
    case gtForwardDiagonal:
        brush = std::make_unique<TGPLinearGradientBrush>(TGPPointF {fx, fy}, TGPPointF {fx + tw, fy + th}, start, end);
        break;
    case gtBackwardDiagonal:
        brush = std::make_unique<TGPLinearGradientBrush>(TGPPointF {fx, fy + th}, TGPPointF {fx + tw, fy}, end, start);
        break;
    case gtHatch: brush = std::make_unique<TGPHatchBrush>(c->HatchStyle(), start, end); break;
    case gtTexture: brush.reset(c->Picture()->CreateTextureBrush(WrapModeTile)); break;
    default: break;
    }
    if (brush) {
        const REAL s = REAL(FFill->ShadowColor() != clNone ? FFill->ShadowOffset() : 0);
        g->DrawString(text, -1, font.get(),
                      TGPRectF {fx, fy, REAL(RoundHalfEven(T.Width - 2 - cut)), REAL(Height()) - s - 1}, &format,
                      brush.get());
    }
    // Line under a top caption, over a bottom one.
    if (c->LineColor() != clNone && c->Line()) {
        TGPPen pen(ColorToARGB(c->LineColor()), 1);
        const REAL ly = bottom ? REAL(y - 2) : REAL(y + h);
        g->DrawLine(&pen, REAL(RoundHalfEven(T.X + 2)), ly, REAL(RoundHalfEven(T.Width - 2)), ly);
    }
}

THtmlParams TSmoothPanel::HtmlParams() const
{
    const TSmoothPanelCaption* c = FCaption.get();
    THtmlParams p;
    p.Font = FontDesc(*c->HTMLFont());
    p.Images = FImages;
    p.Container = FContainer;
    p.ShadowColor = c->HTMLShadowColor();
    p.ShadowOffset = c->HTMLShadowOffset();
    p.URLColor = c->HTMLURLColor();
    p.LineSpacing = 2;
    return p;
}

void TSmoothPanel::DrawHtml(TGPGraphics* g, TGPRectF F, int Top)
{
    TSmoothPanelCaption* c = FCaption.get();
    THtmlParams p = HtmlParams();
    p.MeasureOnly = true;
    const int inset = HtmlInset();
    const bool custom = c->HTMLLocation() == plCustom;
    const TRect measureIn = custom ? TRect {0, Top, Width() - inset - c->HTMLLeft(), 10000}
                                   : TRect {c->HTMLLeft(), Top, Width() - inset, 10000};
    const THtmlResult m = DrawHtmlText(g, c->HTMLText(), measureIn, p);
    F.Height -= REAL(Top);
    const TPoint pos =
        custom ? TPoint {c->HTMLLeft(), c->HTMLTop()} : PanelPosition(c->HTMLLocation(), m.XSize, m.YSize, F);
    FHtmlr = custom ? TRect::Bounds(pos.X, pos.Y, Width() - inset - c->HTMLLeft(), m.YSize)
                    : TRect::Bounds(pos.X, pos.Y + Top, m.XSize, m.YSize);
    p.MeasureOnly = false;
    DrawHtmlText(g, c->HTMLText(), FHtmlr, p);
}

TGPRectF TSmoothPanel::GripRect() const
{
    const REAL less = FFill->Rounding() == 0 ? 3 : 0;
    const REAL x = REAL(Width() - FFill->ShadowOffset() - FResizeHandleSize) - REAL(FFill->Rounding()) / 3 - less;
    const REAL y = REAL(Height() - FFill->ShadowOffset() - FResizeHandleSize) - REAL(FFill->Rounding()) / 3 - less;
    return {x, y, REAL(FResizeHandleSize), REAL(FResizeHandleSize)};
}

bool TSmoothPanel::IsMoveArea(TPoint P) const
{
    const TRect r = ClientRect();
    return P.Y < 20 && P.X > r.Left && P.X < r.Right;
}

std::string TSmoothPanel::GetAnchorAt(int X, int Y, bool Focus)
{
    if (FCaption->HTMLText().empty() || !FHtmlr.Contains({X, Y}))
        return {};
    TGPBitmap bmp(1, 1);
    TGPGraphics g(&bmp);
    THtmlParams p = HtmlParams();
    p.X = X;
    p.Y = Y;
    p.HitTestOnly = true;
    const THtmlResult r = DrawHtmlText(&g, FCaption->HTMLText(), FHtmlr, p);
    if (!r.Hit)
        return {};
    return Focus ? r.Title : r.Anchor;
}

// ---------------------------------------------------------------------------------
// Mouse

void TSmoothPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (FOnAnchor) {
        const std::string anchor = GetAnchorAt(X, Y, false);
        if (!anchor.empty() && OnAnchorClick)
            OnAnchorClick(this, anchor);
    }
    const TGPRectF G = GripRect();
    if (FResizable && X >= G.X && X <= G.X + G.Width && Y >= G.Y && Y <= G.Y + G.Height) {
        FMouseDown = true;
        SetMouseCapture(true);
        FOldPos = {X, Y};
        return;
    }
    // The platform has no caption hit test: the top band moves the window itself.
    if (FCanMove && IsMoveArea({X, Y}) && ParentForm()) {
        FMoving = true;
        FMoveFrom = ClientToScreen({X, Y});
    }
}

void TSmoothPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (FMouseDown) {
        const int w = X + Width() - FOldPos.X, h = Y + Height() - FOldPos.Y;
        FOldPos = {X, Y};
        SetBounds(Left(), Top(), w, h);
        return;
    }
    if (FMoving) {
        const TPoint now = ClientToScreen({X, Y});
        TCustomForm* f = ParentForm();
        f->SetBounds(f->Left() + now.X - FMoveFrom.X, f->Top() + now.Y - FMoveFrom.Y, f->Width(), f->Height());
        FMoveFrom = now;
        return;
    }
    FOnAnchor = !GetAnchorAt(X, Y, false).empty();
    const TGPRectF G = GripRect();
    if (FOnAnchor)
        TControl::SetCursor(crHandPoint);
    else if (FResizable && X >= G.X && X <= G.X + G.Width && Y >= G.Y && Y <= G.Y + G.Height)
        TControl::SetCursor(crSizeNWSE);
    else
        TControl::SetCursor(FoldCursor);
}

void TSmoothPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FMouseDown) {
        FMouseDown = false;
        SetMouseCapture(false);
    }
    if (FMoving) {
        FMoving = false;
        if (OnEndMoveSize)
            OnEndMoveSize(this);
    }
    TControl::SetCursor(FoldCursor);
}

void TSmoothPanel::WndProc(TMessage& Message)
{
    if (Message.Msg == CM_HINTSHOW) {
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        const std::string title = GetAnchorAt(info->CursorPos.X, info->CursorPos.Y, true);
        info->HintStr = title.empty() ? Hint() : title;
        info->ReshowTimeout = 0;
        Message.Result = info->HintStr.empty() ? 1 : 0;
        return;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------
// Themes and styles

void TSmoothPanel::SaveToTheme(const std::string& FileName)
{
    TIniFile ini(FileName);
    TIniFillFile file(ini);
    FFill->SaveToFile(file, GetThemeID() + ".Fill");
    FCaption->SaveToFile(file, GetThemeID() + ".Caption");
}

void TSmoothPanel::LoadFromTheme(const std::string& FileName)
{
    TIniFile ini(FileName);
    TIniFillFile file(ini);
    FFill->LoadFromFile(file, GetThemeID() + ".Fill");
    FCaption->LoadFromFile(file, GetThemeID() + ".Caption");
}

void TSmoothPanel::SetComponentStyle(TSmStyle AStyle)
{
    struct TRow {
        TColor Start, End, Line, Color, ColorTo, Mirror, MirrorTo, Border;
        bool Glow, Flat;
    };
    static const TRow rows[] = {
        {0, 0, 0, 0xFDEADA, 0xE4AE88, clNone, clNone, 0xDFD2C5, false, false},
        {0, 0, 0, 0xF7F3F3, 0xE6D8D8, clNone, clNone, 0x927476, false, false},
        {0, 0, 0, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x6B7760, false, false},
        {0, 0, 0, 0xFFFFFF, 0xC9D1D5, clNone, clNone, 0x808080, false, false},
        {0xB0721C, 0x9F661A, 0xB0721C, 0xFAF1E9, 0xEDD8C7, 0xEDD8C7, 0xFFF2E7, 0xE3B28D, false, false},
        {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xCFC6C1, 0xC5BBB4, 0xC5BBB4, 0xECECE5, 0, false, false},
        {0, 0, 0, clBtnFace, clBtnFace, clNone, clNone, 0, false, false},
        {0, 0, 0, 0xFFFFFF, 0xD9E9EC, clNone, clNone, 0x828F92, false, false},
        {0, 0, 0, 0, 0, 0, 0, 0, false, false},
        {0xB0721C, 0x9F661A, 0xB0721C, 0xF6F1EE, 0xE7DCD5, 0xE7DCD5, 0xF4F4EE, 0x74706F, false, false},
        {0, 0, 0xFDDE99, 0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDDE99, false, false},
        {0, 0, 0xCEA27D, 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, false, false},
        {0, 0, 0, clBtnFace, clBtnFace, clNone, clNone, 0, false, false},
        {0x5B391E, 0x5B391E, 0x5B391E, 0xFDF6EF, 0xF0DAC7, clNone, clNone, 0xC7B29F, true, false},
        {0x5B391E, 0x5B391E, 0x5B391E, 0xFFFFFF, 0xEDE5E0, clNone, clNone, 0xD2CDC8, true, false},
        {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xBFBFBF, 0x919191, clNone, clNone, 0x6D6D6D, true, false},
        {0, 0, 0xE4E3E2, 0xFFFFFF, 0xFFFFFF, clNone, clNone, 0xE4E3E2, true, true},
        {0, 0, 0xD4D4D4, 0xFFFFFF, 0xFFFFFF, clNone, clNone, 0xD4D4D4, true, true},
        {0, 0, 0xC6C6C6, 0xFFFFFF, 0xFFFFFF, clNone, clNone, 0xC6C6C6, true, true},
        {0, 0, 0xABABAB, 0xFFFFFF, 0xFFFFFF, clNone, clNone, 0xABABAB, true, true},
    };
    FFill->BeginUpdate();
    FFill->SetGradientType(gtVertical);
    FFill->SetGlow(gmNone);
    FFill->SetRounding(10);
    FFill->SetShadowColor(0x808080);
    if (AStyle != tsCustom && AStyle >= 0 && AStyle <= tsOffice2013Gray) {
        const TRow& r = rows[AStyle];
        FCaption->SetBackgroundColor(clNone);
        FCaption->SetBackgroundColorTo(clNone);
        FCaption->SetColorStart(r.Start);
        FCaption->SetColorEnd(r.End);
        FCaption->SetLineColor(r.Line);
        FFill->SetColor(r.Color);
        FFill->SetColorTo(r.ColorTo);
        FFill->SetColorMirror(r.Mirror);
        FFill->SetColorMirrorTo(r.MirrorTo);
        FFill->SetBorderColor(r.Border);
        if (r.Mirror != clNone)
            FFill->SetGradientMirrorType(gtVertical);
        if (r.Glow)
            FFill->SetGlow(gmRadial);
        if (r.Flat) {
            FFill->SetRounding(0);
            FFill->SetShadowOffset(0);
        }
    }
    FFill->EndUpdate();
    NotifyChange();
}

void TSmoothPanel::SetColorTones(const TColorTones& ATones)
{
    TSmoothPanelCaption* c = FCaption.get();
    c->SetBackgroundColor(ATones.Selected.BrushColor);
    c->SetBackgroundColorTo(ATones.Selected.BrushColor);
    c->SetColorStart(ATones.Selected.TextColor);
    c->SetColorEnd(ATones.Selected.TextColor);
    c->SetLineColor(ATones.Background.BorderColor);
    c->HTMLFont()->SetColor(ATones.Background.TextColor);
    c->Font()->SetName(DefaultFontName());
    Font()->SetName(DefaultFontName());
    Font()->SetColor(ATones.Background.TextColor);
    FFill->BeginUpdate();
    FFill->SetColor(ATones.Background.BrushColor);
    FFill->SetColorTo(ATones.Background.BrushColor);
    FFill->SetColorMirror(ATones.Background.BrushColor);
    FFill->SetColorMirrorTo(ATones.Background.BrushColor);
    FFill->SetBorderColor(ATones.Background.BorderColor);
    FFill->SetRounding(0);
    FFill->SetShadowColor(clNone);
    FFill->EndUpdate();
    NotifyChange();
}

}  // namespace dcs::smooth
