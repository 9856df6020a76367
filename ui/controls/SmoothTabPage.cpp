#include "ui/controls/SmoothTabPage.h"

#include "ui/controls/CanvasGraphics.h"
#include "ui/controls/SmoothTabPager.h"

namespace dcs::smooth {

void TSmoothTabPage::DeclareProperties(TClassBuilder<TSmoothTabPage>& P)
{
    P.String("Caption", &TControl::Caption, &TSmoothTabPage::SetCaption);
    P.Integer("ImageIndex", &TSmoothTabPage::FImageIndex, &TSmoothTabPage::SetImageIndex).Default(-1);
    P.Component("TabSmoothTabPager", &TSmoothTabPage::FSmoothTabPager, &TSmoothTabPage::SetSmoothTabPager);
    P.Boolean("TabVisible", &TSmoothTabPage::FTabVisible, &TSmoothTabPage::SetTabVisible).Default(true);
    P.Boolean("TabEnabled", &TSmoothTabPage::FTabEnabled, &TSmoothTabPage::SetTabEnabled).Default(true);
    P.String("TabHint", &TSmoothTabPage::FTabHint, &TSmoothTabPage::SetTabHint);
    P.Event("OnShow", &TSmoothTabPage::OnShow);
    P.Event("OnHide", &TSmoothTabPage::OnHide);
}

TSmoothTabPage::TSmoothTabPage(TComponent* AOwner)
    : TCustomControl(AOwner), FPageAppearance(std::make_unique<TGDIPFill>())
{
    FControlStyle = (FControlStyle | csAcceptsControls) & ~csOpaque;
    SetDoubleBuffered(true);
    const TComponent* o = Owner();
    FDesignTime =
        ComponentState().Contains(csDesigning) && !(o && o->ComponentState().ContainsAny(csReading | csLoading));
    FTabAppearance = std::make_unique<TSmoothTabAppearance>(this, FDesignTime);
    FTabAppearance->OnChange = [this](TObject*) {
        RepaintPager();
        Invalidate();
    };
    FPageAppearance->OnChange = [this](TObject*) { Invalidate(); };
    if (FDesignTime)
        SetComponentStyle(tsOffice2007Luna);
}

TSmoothTabPage::~TSmoothTabPage() = default;

void TSmoothTabPage::BeforeDestruction()
{
    if (FSmoothTabPager)
        FSmoothTabPager->RemoveSmoothTabPage(this);
    TCustomControl::BeforeDestruction();
}

HRESULT TSmoothTabPage::QueryInterface(const TGUID& IID, void** Obj)
{
    return GetInterfaceOf<ISmStyle, ISmTones>(this, IID, Obj) ? S_OK : E_NOINTERFACE;
}

void TSmoothTabPage::RepaintPager()
{
    if (FSmoothTabPager)
        FSmoothTabPager->Invalidate();
}

void TSmoothTabPage::SetSmoothTabPager(TSmoothTabPager* Value)
{
    if (Value == FSmoothTabPager)
        return;
    if (FSmoothTabPager)
        FSmoothTabPager->RemoveSmoothTabPage(this);
    if (!Value)
        return;
    FUpdatingParent = true;
    try {
        TControl::SetParent(Value);
    } catch (...) {
        FUpdatingParent = false;
        throw;
    }
    FUpdatingParent = false;
    const int index = Value->AddSmoothTabPage(this);
    if (!ComponentState().Contains(csLoading) && index >= 1) {
        TSmoothTabPage* before = Value->GetSmoothTabPages(index - 1);
        FTabAppearance->Assign(before->TabAppearance());
        FPageAppearance->Assign(before->PageAppearance());
    }
}

void TSmoothTabPage::SetParentComponent(TComponent* Value)
{
    if (auto* pager = As<TSmoothTabPager>(Value))
        SetSmoothTabPager(pager);
    else
        TCustomControl::SetParentComponent(Value);
}

void TSmoothTabPage::SetParent(TWinControl* AParent)
{
    auto* asPage = As<TSmoothTabPage>(AParent);
    auto* asPager = As<TSmoothTabPager>(AParent);
    if (!(asPage || asPager) || FUpdatingParent) {
        TCustomControl::SetParent(AParent);
        return;
    }
    TSmoothTabPager* target = asPager ? asPager : asPage->FSmoothTabPager;
    if (target != FSmoothTabPager && target)
        SetSmoothTabPager(target);
    if (target != FSmoothTabPager || !target)
        throw ESmoothTabError("Invalid Parent");
    if (asPage && asPage != this) {
        const int from = target->IndexOfPage(this), to = target->IndexOfPage(asPage);
        if (from < 0 || to < 0)
            throw ESmoothTabError("Invalid Parent " + std::to_string(from) + ":" + std::to_string(to));
        target->MoveSmoothTabPage(from, to);
        target->Invalidate();
        Invalidate();
    }
    FUpdatingParent = true;
    TCustomControl::SetParent(target);
    FUpdatingParent = false;
}

void TSmoothTabPage::SetCaption(const std::string& V)
{
    if (V == Caption())
        return;
    SetText(V);
}

void TSmoothTabPage::TextChanged()
{
    Invalidate();
    RepaintPager();
}

void TSmoothTabPage::SetImageIndex(int V)
{
    FImageIndex = V;
    RepaintPager();
}

void TSmoothTabPage::SetTabVisible(bool V)
{
    if (V == FTabVisible)
        return;
    FTabVisible = V;
    if (FSmoothTabPager) {
        if (TSmoothTabPage* a = FSmoothTabPager->ActivePage())
            a->Invalidate();
        FSmoothTabPager->AlignAllPages();
        FSmoothTabPager->Invalidate();
    }
    Invalidate();
}

void TSmoothTabPage::SetTabEnabled(bool V)
{
    if (V == FTabEnabled)
        return;
    FTabEnabled = V;
    Invalidate();
    RepaintPager();
}

int TSmoothTabPage::PageIndex() const
{
    return FSmoothTabPager ? FSmoothTabPager->IndexOfPage(const_cast<TSmoothTabPage*>(this)) : -1;
}

void TSmoothTabPage::SetPageIndex(int V)
{
    if (!FSmoothTabPager || V < 0 || V >= FSmoothTabPager->SmoothTabPageCount())
        return;
    FSmoothTabPager->MoveSmoothTabPage(PageIndex(), V);
    FSmoothTabPager->Invalidate();
    Invalidate();
}

void TSmoothTabPage::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothTabPage*>(Source);
    if (!s) {
        TCustomControl::Assign(Source);
        return;
    }
    SetCaption(s->Caption());
    SetImageIndex(s->FImageIndex);
    FPageAppearance->Assign(s->FPageAppearance.get());
    SetTabVisible(s->FTabVisible);
    SetTabEnabled(s->FTabEnabled);
    SetPageIndex(s->PageIndex());
    FTabHint = s->FTabHint;
    FTabAppearance->Assign(s->FTabAppearance.get());
    Invalidate();
}

void TSmoothTabPage::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (!ComponentState().Contains(csDestroying))
        FTabAppearance->Appearance()->DoNotification(this, AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FSmoothTabPager)
        FSmoothTabPager = nullptr;
}

bool TSmoothTabPage::XYToIndicator(int X, int Y)
{
    TSmoothTabStatus* st = FTabAppearance->Status();
    if (!FSmoothTabPager || !st->Visible())
        return false;
    TRect r;
    FSmoothTabPager->GetTabRect(this, r);
    TGPBitmap bmp(1, 1);
    TGPGraphics g(&bmp);
    st->Appearance()->CalculateSize(&g, st->Caption());
    const int w = st->Appearance()->GetWidth(), h = st->Appearance()->GetHeight();
    // The left offset counts twice, as the badge is drawn.
    const int left = 2 * st->OffsetLeft() + r.Right - w, top = st->OffsetTop() + r.Top;
    return X >= left && X < left + w && Y >= top && Y < top + h;
}

void TSmoothTabPage::AdjustClientRect(TRect& R) { R = TRect {R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2}; }

void TSmoothTabPage::EraseBackground(TCanvas& Canvas, const TRect& R)
{
    // Under a transparent pager the parent's pixels stay behind the page.
    if (FSmoothTabPager && FSmoothTabPager->Transparent())
        return;
    TCustomControl::EraseBackground(Canvas, R);
}

void TSmoothTabPage::WndProc(TMessage& Message)
{
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_VISIBLECHANGED && Visible() && Showing() && OnShow)
        OnShow(this);
}

void TSmoothTabPage::Paint()
{
    TCanvasGraphics g(*Canvas());
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    TGDIPFill* f = FPageAppearance.get();
    f->Fill(g.Get(), TGPRectF {0, 0, REAL(Width() - 1), REAL(Height() - 1)});
    TSmoothTabPager* p = FSmoothTabPager;
    if (!p)
        return;
    const int active = p->ActivePageIndex();
    if (active < 0 || p->GetSmoothTabPages(active) != this || p->TabSettings()->GetTabHeight(active) <= 0)
        return;
    const REAL w = REAL(f->BorderWidth() + 1);
    const TColor endColor = (f->GradientType() != gtSolid && f->ColorTo() != clNone) ? f->ColorTo() : f->Color();
    const uint8_t endOpacity = (f->GradientType() != gtSolid && f->ColorTo() != clNone) ? f->OpacityTo() : f->Opacity();
    TGPPen startPen(MakeAlphaColor(f->Opacity(), f->Color()), w);
    TGPPen endPen(MakeAlphaColor(endOpacity, endColor), w);
    const int b = FTabAppearance->Bevel() ? 1 : 0;
    const TRect T = p->GetTabRect(active);
    const int M = p->PageMargin();
    const bool plain = f->GradientType() == gtSolid || f->ColorTo() == clNone;
    const REAL cw = REAL(Width()), ch = REAL(Height());
    if (p->TabsOnTop() && (plain || f->GradientType() == gtVertical))
        g->DrawLine(&startPen, REAL(T.Left + b - M), 0, REAL(T.Right - M - b), 0);
    else if (p->TabsOnLeft() && (plain || f->GradientType() == gtHorizontal))
        g->DrawLine(&startPen, 0, REAL(T.Top + b), 0, REAL(T.Bottom - b));
    else if (p->TabsOnRight() && (plain || f->GradientType() == gtHorizontal))
        g->DrawLine(&endPen, cw - 1, REAL(T.Top + b), cw - 1, REAL(T.Bottom - b));
    else if (p->TabsOnBottom() && (plain || f->GradientType() == gtVertical))
        g->DrawLine(&endPen, REAL(T.Left + b - M), ch - 1, REAL(T.Right - b), ch - 1);
}

namespace {

struct TPageStyle {
    TColor Color, ColorDown, ColorDisabled, ColorHot;
    TColor Page, PageTo, PageMirror, PageMirrorTo, PageBorder;
};

// Tab and page colours by style; only the default (Luna) scheme is given exactly, the
// others follow the pager's scheme of the same name.
TPageStyle StyleColors(TSmStyle s)
{
    switch (s) {
    case tsOffice2003Blue: return {0xFCE1CB, 0xAAD9FF, 0xE0E0E0, clWhite, 0xFCE1CB, 0xE0A57D, clNone, clNone, 0x962D00};
    case tsOffice2003Silver:
        return {0xECE2E1, 0xAAD9FF, 0xE0E0E0, clWhite, 0xECE2E1, 0xB39698, clNone, clNone, 0x947C7C};
    case tsOffice2003Olive:
        return {0xCFF0EA, 0xAAD9FF, 0xE0E0E0, clWhite, 0xCFF0EA, 0x8CC0B1, clNone, clNone, 0x588060};
    case tsOffice2003Classic:
        return {clWhite, 0xB59285, 0xE0E0E0, clWhite, clWhite, 0xC9D1D5, clNone, clNone, 0x808080};
    case tsOffice2007Obsidian:
        return {0xF2F1F0, 0xAAD9FF, 0xE0E0E0, clWhite, 0xF9F8F8, 0xE4E2DF, 0xD1CBC7, 0xE2DEDB, 0};
    case tsOffice2007Silver: return {0xF9F5F3, 0xAAD9FF, 0xE0E0E0, clWhite, 0xFAEEEB, 0xE5DBD7, 0xE2D8D4, 0xD1C7C5, 0};
    case tsWindowsXP: return {clWhite, 0xB59285, 0xE0E0E0, clWhite, clWhite, clBtnFace, clNone, clNone, 0};
    case tsWindows8:
    case tsOffice2013White:
    case tsOffice2013LightGray:
    case tsOffice2013Gray: return {0xF7F6F5, 0xF7E0C9, 0xEEEEEE, 0xF7EFE8, clWhite, clWhite, clNone, clNone, 0xE4E3E2};
    default: return {0xFFEFE3, 0xAAD9FF, 0xFFD1AD, clWhite, 0xF3E5DA, 0xF0DED0, 0xEDD9C8, 0xFFF4E3, 0xFFD1AD};
    }
}

}  // namespace

void TSmoothTabPage::SetComponentStyle(TSmStyle AStyle)
{
    FMetroStyle = false;
    TSmoothTabAppearance* t = FTabAppearance.get();
    t->Appearance()->SetSimpleLayout(false);
    t->Appearance()->SetRounding(8);
    if (AStyle == tsCustom)
        return;
    const TPageStyle c = StyleColors(AStyle);
    t->SetColor(c.Color);
    t->SetColorDown(c.ColorDown);
    t->SetColorSelected(c.ColorDown);
    t->SetColorDisabled(c.ColorDisabled);
    t->SetColorHot(c.ColorHot);
    t->SetBevelColor(AStyle == tsOffice2003Blue       ? TColor(0x962D00)
                         : AStyle == tsOffice2007Luna ? c.PageBorder
                                                      : c.Color);
    const TColor others = AStyle == tsOffice2007Luna ? TColor(0xFDEADA) : t->BevelColor();
    t->SetBevelColorDown(others);
    t->SetBevelColorSelected(others);
    t->SetBevelColorHot(others);
    t->SetBevelColorDisabled(others);
    TGDIPFill* f = FPageAppearance.get();
    f->SetColor(c.Page);
    f->SetColorTo(c.PageTo);
    f->SetColorMirror(c.PageMirror);
    f->SetColorMirrorTo(c.PageMirrorTo);
    f->SetBorderColor(c.PageBorder);
    f->SetGradientMirrorType(gtVertical);
    if (AStyle == tsWindows8 || AStyle >= tsOffice2013White) {
        t->Appearance()->SetSimpleLayout(true);
        t->Appearance()->SetRounding(0);
    }
}

void TSmoothTabPage::SetColorTones(const TColorTones& ATones)
{
    FMetroStyle = true;
    Font()->SetName(DefaultFontName());
    Font()->SetColor(ATones.Background.TextColor);
    TSmoothTabAppearance* t = FTabAppearance.get();
    t->Appearance()->SetSimpleLayout(true);
    TGDIPFill* f = FPageAppearance.get();
    f->SetColor(ATones.Background.BrushColor);
    f->SetColorTo(ATones.Background.BrushColor);
    f->SetColorMirror(ATones.Background.BrushColor);
    f->SetColorMirrorTo(ATones.Background.BrushColor);
    f->SetBorderColor(ATones.Background.BorderColor);
    t->Appearance()->Font()->SetColor(ATones.Background.TextColor);
    t->SetColor(ATones.Background.BrushColor);
    t->SetBevelColor(ATones.Background.BrushColor);
    t->SetColorDown(ATones.Selected.BrushColor);
    t->SetColorSelected(ATones.Selected.BrushColor);
    t->SetBevelColorDown(ATones.Selected.BrushColor);
    t->SetBevelColorSelected(ATones.Selected.BrushColor);
    t->SetColorDisabled(ATones.Disabled.BrushColor);
    t->SetBevelColorDisabled(ATones.Disabled.BrushColor);
    t->SetColorHot(ATones.Hover.BrushColor);
    t->SetBevelColorHot(ATones.Hover.BrushColor);
    t->SetColorTextHot(ATones.Hover.TextColor);
    t->SetColorTextSelected(ATones.Selected.TextColor);
    t->SetColorTextDisabled(ATones.Disabled.TextColor);
}

}  // namespace dcs::smooth
