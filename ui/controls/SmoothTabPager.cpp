#include "ui/controls/SmoothTabPager.h"

#include "ui/controls/CanvasGraphics.h"

#include <cstdlib>

namespace dcs::smooth {

namespace {

const TEnumInfo kTabPositions {"TSmoothTabPosition",
                               {"tpTopRight", "tpTopCenter", "tpTopLeft", "tpLeftTop", "tpLeftBottom", "tpLeftCenter",
                                "tpRightTop", "tpRightBottom", "tpRightCenter", "tpBottomLeft", "tpBottomRight",
                                "tpBottomCenter"}};
const TEnumInfo kTextOrientations {"TSmoothTabTextOrientation", {"toAuto", "toHorizontal", "toVertical"}};

constexpr TRect kNoRect {-1, -1, -1, -1};

}  // namespace

void TSmoothTabPager::DeclareProperties(TClassBuilder<TSmoothTabPager>& P)
{
    P.Component("ActivePage", &TSmoothTabPager::ActivePage, &TSmoothTabPager::SetActivePage);
    P.Integer("PageMargin", &TSmoothTabPager::FPageMargin, &TSmoothTabPager::SetPageMargin).Default(1);
    P.Boolean("ShowFocus", &TSmoothTabPager::FShowFocus, &TSmoothTabPager::SetShowFocus).Default(true);
    P.Enum("TabPosition", kTabPositions, &TSmoothTabPager::FTabPosition, &TSmoothTabPager::SetTabPosition)
        .Default(tpTopCenter);
    P.Enum("TabTextOrientation", kTextOrientations, &TSmoothTabPager::FTabTextOrientation,
           &TSmoothTabPager::SetTabTextOrientation)
        .Default(toAuto);
    P.Object("TabSettings", &TSmoothTabPager::TabSettings, &TSmoothTabPager::SetTabSettings);
    P.Boolean("TabReorder", &TSmoothTabPager::FTabReorder, &TSmoothTabPager::SetTabReorder).Default(false);
    P.Boolean("Transparent", &TSmoothTabPager::FTransparent, &TSmoothTabPager::SetTransparent).Default(false);
    P.Event("OnChange", &TSmoothTabPager::OnChange);
    P.Event("OnChanging", &TSmoothTabPager::OnChanging, nullptr, "TTabChangingEvent");
    P.Event("OnDrawTab", &TSmoothTabPager::OnDrawTab, nullptr, "TDrawTabEvent");
    P.Event("OnTabMoved", &TSmoothTabPager::OnTabMoved, nullptr, "TTabMovedEvent");
    P.Event("OnStatusClick", &TSmoothTabPager::OnStatusClick, nullptr, "TStatusClickEvent");
}

TSmoothTabPager::TSmoothTabPager(TComponent* AOwner)
    : TCustomControl(AOwner), FTabSettings(std::make_unique<TSmoothTabSettings>(this)),
      FFill(std::make_unique<TGDIPFill>())
{
    FControlStyle = (FControlStyle | csAcceptsControls) & ~csOpaque;
    FFill->OnChange = [this](TObject*) { Invalidate(); };
    FTabSettings->OnChange = [this](TObject*) { LayoutChanged(); };
    SetDoubleBuffered(true);
    FWidth = 500;
    FHeight = 250;
    SetTabStop(true);
    const TComponent* o = Owner();
    FDesignTime =
        ComponentState().Contains(csDesigning) && !(o && o->ComponentState().ContainsAny(csReading | csLoading));
    if (FDesignTime)
        SetComponentStyle(tsOffice2007Luna);
}

TSmoothTabPager::~TSmoothTabPager() = default;

void TSmoothTabPager::BeforeDestruction()
{
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        PageAt(i)->FSmoothTabPager = nullptr;
    FSmoothTabPages.Clear();
    TCustomControl::BeforeDestruction();
}

HRESULT TSmoothTabPager::QueryInterface(const TGUID& IID, void** Obj)
{
    return GetInterfaceOf<ISmStyle, ISmTones>(this, IID, Obj) ? S_OK : E_NOINTERFACE;
}

// ---------------------------------------------------------------------------------
// Page list

int TSmoothTabPager::AddSmoothTabPage(TSmoothTabPage* SmoothTab)
{
    if (!SmoothTab)
        return -1;
    int result = FSmoothTabPages.IndexOf(SmoothTab);
    if (result < 0)
        result = FSmoothTabPages.Add(SmoothTab);
    if (SmoothTab->Parent() != this) {
        SmoothTab->FUpdatingParent = true;
        SmoothTab->TControl::SetParent(this);
        SmoothTab->FUpdatingParent = false;
    }
    SmoothTab->FSmoothTabPager = this;
    AlignPage(SmoothTab);
    if (result != FActivePageIndex)
        SmoothTab->SetVisible(false);
    InvalidateTab(-1);
    if (TSmoothTabPage* a = ActivePage()) {
        a->BringToFront();
        a->Invalidate();
    }
    return result;
}

int TSmoothTabPager::AddSmoothTabPage(const std::string& PageCaption)
{
    auto* page = Create<TSmoothTabPage>(this);
    page->SetCaption(PageCaption);
    return AddSmoothTabPage(page);
}

void TSmoothTabPager::RemoveSmoothTabPage(TSmoothTabPage* SmoothTab)
{
    const int i = FSmoothTabPages.IndexOf(SmoothTab);
    if (i < 0)
        return;
    if (i == FActivePageIndex)
        SelectNextPage(true);
    // The index follows the page that is active now; a removed page never stays so.
    TSmoothTabPage* active = ActivePage();
    if (active == SmoothTab)
        active = nullptr;
    FSmoothTabPages.Delete(i);
    SmoothTab->FSmoothTabPager = nullptr;
    FActivePageIndex = active ? FSmoothTabPages.IndexOf(active) : -1;
    FHotPageIndex = FDownPageIndex = -1;
    InvalidateTab(-1);
    Invalidate();
    if (active)
        active->Invalidate();
}

void TSmoothTabPager::MoveSmoothTabPage(int CurIndex, int NewIndex)
{
    if (!ValidIndex(CurIndex) || !ValidIndex(NewIndex))
        return;
    TSmoothTabPage* active = ActivePage();
    FSmoothTabPages.Move(CurIndex, NewIndex);
    if (active && FSmoothTabPages.IndexOf(active) != FActivePageIndex) {
        // The page now at the old active index is told it is hidden, as the change says.
        SetActivePage(active);
        // Refused or not, the shown page stays the active one: the index follows it.
        FActivePageIndex = FSmoothTabPages.IndexOf(active);
    }
    AlignAllPages();
    if (OnTabMoved)
        OnTabMoved(this, CurIndex, NewIndex);
}

int TSmoothTabPager::IndexOfPage(TSmoothTabPage* SmoothTab) const { return FSmoothTabPages.IndexOf(SmoothTab); }

TSmoothTabPage* TSmoothTabPager::GetSmoothTabPages(int Index) const
{
    return static_cast<TSmoothTabPage*>(FSmoothTabPages.GetItemsEx(Index));
}

void TSmoothTabPager::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        Proc(PageAt(i));
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (c->Owner() == Root && !(As<TSmoothTabPage>(c) && FSmoothTabPages.IndexOf(c) >= 0))
            Proc(c);
    }
}

// ---------------------------------------------------------------------------------
// Active page

TSmoothTabPage* TSmoothTabPager::ActivePage() const
{
    return ValidIndex(FActivePageIndex) ? PageAt(FActivePageIndex) : nullptr;
}

void TSmoothTabPager::SetActivePage(TSmoothTabPage* Value)
{
    const int i = FSmoothTabPages.IndexOf(Value);
    if (i >= 0)
        SetActivePageIndex(i);
}

void TSmoothTabPager::SetActivePageIndex(int Value)
{
    ChangeActivePage(Value);
    Invalidate();
}

void TSmoothTabPager::ChangeActivePage(int Index)
{
    if (!ValidIndex(Index) || Index == FActivePageIndex)
        return;
    bool allow = true;
    if (OnChanging && FPropertiesLoaded && !ComponentState().Contains(csDestroying))
        OnChanging(this, FActivePageIndex, Index, allow);
    if (!allow)
        return;
    if (ValidIndex(FActivePageIndex)) {
        TSmoothTabPage* old = PageAt(FActivePageIndex);
        old->SetVisible(false);
        if (old->OnHide)
            old->OnHide(old);
    }
    FActivePageIndex = Index;
    TSmoothTabPage* page = PageAt(Index);
    AlignPage(page);
    page->SetVisible(true);
    page->BringToFront();
    if (OnChange && !ComponentState().ContainsAny(csDestroying | csLoading))
        OnChange(this);
}

void TSmoothTabPager::SelectNextPage(bool GoForward)
{
    const int n = FSmoothTabPages.Count();
    if (!ValidIndex(FActivePageIndex))
        return;
    int i = FActivePageIndex;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TSmoothTabPage* p = PageAt(i);
        if (i != FActivePageIndex && p->TabVisible() && p->TabEnabled()) {
            SetActivePageIndex(i);
            return;
        }
    }
}

TSmoothTabPage* TSmoothTabPager::FindNextPage(TSmoothTabPage* CurPage, bool GoForward, bool CheckTabVisible) const
{
    const int n = FSmoothTabPages.Count();
    if (n == 0)
        return nullptr;
    int i = FSmoothTabPages.IndexOf(CurPage);
    if (i < 0)
        return GoForward ? PageAt(0) : PageAt(n - 1);
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        if (!CheckTabVisible || PageAt(i)->TabVisible())
            return PageAt(i);
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------
// Geometry

bool TSmoothTabPager::VerticalCaptions() const
{
    switch (FTabTextOrientation) {
    case toHorizontal: return false;
    case toVertical: return true;
    default: return TabsOnLeft() || TabsOnRight();
    }
}

int TSmoothTabPager::MeasureCaption(int Index) const
{
    if (!ValidIndex(Index))
        return 0;
    TSmoothTabPage* p = PageAt(Index);
    const std::string text = StripHotkey(p->Caption());
    if (text.empty())
        return 0;
    TCanvas c;
    c.Font()->Assign(p->TabAppearance()->Appearance()->Font());
    return c.TextWidth(text);
}

int TSmoothTabPager::ActiveThickness() const { return FTabSettings->GetTabHeight(FActivePageIndex); }

TRect TSmoothTabPager::GetTabsArea() const
{
    TRect r = ClientRect();
    const int t = ActiveThickness();
    const int start = FTabSettings->StartMargin() + FPageMargin, end = FTabSettings->EndMargin();
    if (TabsOnTop()) {
        r.Top += FTabOffSet;
        r.Bottom = r.Top + t;
        r.Left += start;
        r.Right -= end;
    } else if (TabsOnLeft()) {
        r.Top += start;
        r.Bottom -= end;
        r.Left += FTabOffSet;
        r.Right = r.Left + t;
    } else if (TabsOnRight()) {
        r.Top += start;
        r.Bottom -= end;
        r.Left = r.Right - t - FTabOffSet;
        r.Right -= FTabOffSet;
    } else {
        r.Top = r.Bottom - t - FTabOffSet;
        r.Bottom -= FTabOffSet;
        r.Left += start;
        r.Right -= end;
    }
    return r;
}

TRect TSmoothTabPager::GetTabStripRect() const
{
    TRect r = ClientRect();
    const int t = ActiveThickness();
    if (TabsOnTop())
        r.Bottom = r.Top + t;
    else if (TabsOnLeft())
        r.Right = r.Left + t;
    else if (TabsOnRight())
        r.Left = r.Right - t;
    else
        r.Top = r.Bottom - t;
    return r;
}

TRect TSmoothTabPager::CalcTabRect(int First, int Index, int Total) const
{
    if (!ValidIndex(Index) || !PageAt(Index)->TabVisible())
        return kNoRect;
    TRect area = GetTabsArea();
    if (Total != -1) {
        switch (FTabPosition) {
        case tpTopRight:
        case tpBottomRight: area.Left = area.Right - Total; break;
        case tpTopCenter:
        case tpBottomCenter: area.Left = (area.Right - Total) / 2; break;
        case tpLeftBottom:
        case tpRightBottom: area.Top = area.Bottom - Total; break;
        case tpLeftCenter:
        case tpRightCenter: area.Top = (area.Bottom - Total) / 2; break;
        default: break;
        }
    }
    const bool horizontalStrip = TabsOnTop() || TabsOnBottom();
    int pos = horizontalStrip ? area.Left : area.Top;
    TRect r = kNoRect;
    for (int i = std::max(First, 0); i <= Index; ++i) {
        TSmoothTabPage* p = PageAt(i);
        if (!p->TabVisible())
            continue;
        int span = FTabSettings->GetTabWidth(i);
        TSmGDIPPicture* pic = p->TabAppearance()->Picture();
        if (!pic->Empty())
            span += (horizontalStrip ? pic->Width() : pic->Height()) + p->TabAppearance()->Appearance()->Spacing;
        r = horizontalStrip ? TRect {pos, area.Top, pos + span, area.Bottom}
                            : TRect {area.Left, pos, area.Right, pos + span};
        pos += span + FTabSettings->Spacing();
    }
    return r;
}

TRect TSmoothTabPager::GetTabRect(int Index) const
{
    int total = -1;
    switch (FTabPosition) {
    case tpTopRight:
    case tpTopCenter:
    case tpBottomRight:
    case tpBottomCenter:
    case tpLeftBottom:
    case tpLeftCenter:
    case tpRightBottom:
    case tpRightCenter: {
        const TRect a = CalcTabRect(0, 0, -1);
        int last = 0;
        for (int i = 0; i < FSmoothTabPages.Count(); ++i)
            if (PageAt(i)->TabVisible())
                last = i;
        const TRect b = CalcTabRect(0, last, -1);
        total = (TabsOnTop() || TabsOnBottom()) ? b.Right - a.Left : b.Bottom - a.Top;
        total += FTabSettings->Spacing();
        break;
    }
    default: break;
    }
    return CalcTabRect(0, Index, total);
}

void TSmoothTabPager::GetTabRect(int Index, TRect& R) const { R = GetTabRect(Index); }

void TSmoothTabPager::GetTabRect(TSmoothTabPage* Page, TRect& R) const { R = GetTabRect(IndexOfPage(Page)); }

int TSmoothTabPager::IndexOfTabAt(int X, int Y) const
{
    for (int i = 0; i < FSmoothTabPages.Count(); ++i) {
        const TRect r = GetTabRect(i);
        if (r.Left > -1 && X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom)
            return i;
    }
    return -1;
}

TRect TSmoothTabPager::GetPageRect() const
{
    TRect r = ClientRect();
    const int t = ActiveThickness();
    if (t == 0)
        return r;
    const int m = FPageMargin;
    if (TabsOnTop())
        return {r.Left + m, r.Top + t, r.Right - m, r.Bottom - (m + 1)};
    if (TabsOnLeft())
        return {r.Left + t, r.Top + m + 1, r.Right - m, r.Bottom - (m + 1)};
    if (TabsOnRight())
        return {r.Left + m, r.Top + m + 1, r.Right - t, r.Bottom - (m + 1)};
    return {r.Left + m, r.Top + m + 1, r.Right - m, r.Bottom - t};
}

void TSmoothTabPager::AlignPage(TSmoothTabPage* Page)
{
    if (!Page || FSmoothTabPages.IndexOf(Page) < 0)
        return;
    const TRect r = GetPageRect();
    Page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TSmoothTabPager::AlignAllPages()
{
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        AlignPage(PageAt(i));
}

void TSmoothTabPager::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    AlignAllPages();
}

void TSmoothTabPager::AlignControls(TControl* AControl, TRect& Rect)
{
    TCustomControl::AlignControls(AControl, Rect);
    AlignAllPages();
}

void TSmoothTabPager::InvalidateTab(int Index)
{
    if (!HandleAllocated())
        return;
    const TRect r = ValidIndex(Index) ? GetTabRect(Index) : GetTabStripRect();
    if (r.Left > -1 || r.Right > -1)
        InvalidateRect(FHandle, &r, true);
    else
        InvalidateRect(FHandle, nullptr, true);
}

// ---------------------------------------------------------------------------------
// Properties

void TSmoothTabPager::SetFill(TGDIPFill* V)
{
    if (V && V != FFill.get()) {
        FFill->Assign(V);
        Invalidate();
    }
}

void TSmoothTabPager::SetTransparent(bool V)
{
    if (V != FTransparent) {
        FTransparent = V;
        Invalidate();
    }
}

void TSmoothTabPager::SetPageMargin(int V) { FPageMargin = V; }
void TSmoothTabPager::SetShowFocus(bool V) { FShowFocus = V; }

void TSmoothTabPager::SetTabPosition(TSmoothTabPosition V)
{
    if (V == FTabPosition)
        return;
    FTabPosition = V;
    LayoutChanged();
}

void TSmoothTabPager::SetTabTextOrientation(TSmoothTabTextOrientation V)
{
    if (V == FTabTextOrientation)
        return;
    FTabTextOrientation = V;
    LayoutChanged();
}

void TSmoothTabPager::LayoutChanged()
{
    AlignAllPages();
    Invalidate();
    if (TSmoothTabPage* a = ActivePage())
        a->Invalidate();
}

void TSmoothTabPager::SetParent(TWinControl* AParent)
{
    if (As<TSmoothTabPager>(AParent))
        throw ESmoothTabError("Invalid Parent");
    TCustomControl::SetParent(AParent);
    if (AParent && !FPropertiesLoaded && !ComponentState().ContainsAny(csDesigning | csLoading))
        Init();
}

void TSmoothTabPager::Loaded()
{
    TCustomControl::Loaded();
    FPropertiesLoaded = true;
    AlignAllPages();
}

void TSmoothTabPager::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && !ComponentState().Contains(csDestroying)) {
        const int i = FSmoothTabPages.IndexOf(AComponent);
        if (i >= 0)
            RemoveSmoothTabPage(PageAt(i));
    }
}

// ---------------------------------------------------------------------------------
// Painting

void TSmoothTabPager::EraseBackground(TCanvas& Canvas, const TRect& R)
{
    // Transparent: the parent's pixels, painted before the pager, stay.
    if (!FTransparent)
        TCustomControl::EraseBackground(Canvas, R);
}

void TSmoothTabPager::Paint()
{
    TCanvasGraphics g(*Canvas());
    if (!FTransparent) {
        g->SetSmoothingMode(SmoothingModeAntiAlias);
        FFill->Fill(g.Get(), TGPRectF {0, 0, REAL(Width() - 1), REAL(Height() - 1)});
    }
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        DrawTab(g.Get(), i);
}

void TSmoothTabPager::DrawTab(TGPGraphics* g, int Index)
{
    if (!ValidIndex(Index) || FTabSettings->GetTabHeight(Index) <= 0)
        return;
    const TRect R = GetTabRect(Index);
    if (R.Left <= -1 && R.Right <= -1)
        return;
    TSmoothTabPage* page = PageAt(Index);
    TSmoothTabAppearance* ta = page->TabAppearance();
    TGDIPButton* face = ta->Appearance();
    // 1. Direction.
    TFillRoundingType rounding = TabsOnTop() ? rtTop : TabsOnLeft() ? rtLeft : TabsOnRight() ? rtRight : rtBottom;
    if (page->MetroStyle())
        rounding = rtNone;
    const bool vertical = VerticalCaptions();
    const bool upwards = TabsOnLeft();
    // 2. Spacing.
    const bool badge = ta->Status()->Visible();
    const int HS = badge ? ta->HorizontalSpacing() : 0, VS = badge ? ta->VerticalSpacing() : 0;
    // 3. State colours.
    TColor color, bevel, text;
    bool pressed = Index == FDownPageIndex;
    if (!page->TabEnabled()) {
        color = ta->ColorDisabled();
        bevel = ta->BevelColorDisabled();
        text = ta->ColorTextDisabled();
        pressed = false;
    } else if (Index == FActivePageIndex) {
        color = ta->ColorSelected();
        bevel = ta->BevelColorSelected();
        text = ta->ColorTextSelected();
    } else if (Index == FHotPageIndex) {
        color = ta->ColorHot();
        bevel = ta->BevelColorHot();
        text = ta->ColorTextHot();
    } else {
        color = ta->Color();
        bevel = ta->BevelColor();
        text = face->Font()->Color();
    }
    if (pressed)
        bevel = ta->BevelColorDown();
    // 4. Vertical caption extents.
    TFontDesc font = FontDesc(*face->Font());
    font.Color = text;
    const std::string caption = StripHotkey(page->Caption());
    int TL = 0, TT = 0;
    if (vertical) {
        TL = g->TextWidth(caption, font);
        TT = g->TextHeight("gh", font);
    }
    const TRect I {R.Left + HS, R.Top + VS, R.Right - HS, R.Bottom - VS};
    // 5, 6. The face.
    g->SetSmoothingMode(SmoothingModeAntiAlias);
    const bool enabled = Enabled();
    const int imageIndex = enabled ? face->ImageIndex : face->DisabledImageIndex;
    const std::string pictureName = enabled ? face->PictureName : face->DisabledPictureName;
    face->Draw(g, page->Caption(), R.Left - HS, R.Top - VS, R.Width() + 2 * HS, R.Height() + 2 * VS, VS, HS, color,
               ta->ColorDown(), bevel, text, ta->Shadow(), pressed, ta->Bevel(), vertical, upwards, rounding,
               ta->Picture(), TT, TL, true, imageIndex, pictureName);
    // 7. Vertical caption text, in a font turned by a quarter.
    if (vertical && !caption.empty()) {
        int x = I.Left + (I.Width() - TT) / 2, y = I.Top + (I.Height() - TL) / 2;
        TSmGDIPPicture* pic = ta->Picture();
        if (!pic->Empty()) {
            const int s = face->Spacing, pw = pic->Width(), ph = pic->Height();
            switch (TurnedLayout(face->Layout, !TabsOnRight() ? true : false)) {
            case blPictureLeft: x = I.Left + (I.Width() - TT - pw - s) / 2 + pw + s; break;
            case blPictureRight: x = I.Left + (I.Width() - TT - pw - s) / 2; break;
            case blPictureBottom: y = I.Top + (I.Height() - TL - s - ph) / 2; break;
            case blPictureTop: y = I.Top + (I.Height() - TL - s - ph) / 2 + ph + s; break;
            default: break;
            }
        }
        std::unique_ptr<TGPFont> f(g->MakeFont(font));
        TGPSolidBrush brush(ColorToARGB(text));
        g->SetTextRenderingHint(TextRenderingHintAntiAlias);
        if (upwards) {
            g->TranslateTransform(REAL(x), REAL(y + TL));
            g->RotateTransform(-90);
        } else {
            g->TranslateTransform(REAL(x + TT), REAL(y));
            g->RotateTransform(90);
        }
        g->DrawString(caption, -1, f.get(), TGPRectF {0, 0, REAL(TL + 1), REAL(TT)}, nullptr, &brush);
        g->ResetTransform();
    }
    // 8. Badge.
    TGDIPStatus* st = ta->Status()->Appearance();
    g->SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    st->CalculateSize(g, ta->Status()->Caption());
    if (badge)
        st->Draw(g, R.Right + 2 * ta->Status()->OffsetLeft() - st->GetWidth(), R.Top + ta->Status()->OffsetTop(), 0, 0,
                 true, ta->Status()->Caption());
    // 9. Focus.
    if (TabStop() && Ffocused && FShowFocus && Index == FActivePageIndex)
        DrawFocusOutline(
            g, TGPRectF {REAL(R.Left - HS), REAL(R.Top - VS), REAL(R.Width() + 2 * HS), REAL(R.Height() + 2 * VS)},
            face->Rounding(), rounding);
}

// ---------------------------------------------------------------------------------
// Mouse

void TSmoothTabPager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (TabStop() && !FDesignTime && CanFocus())
        SetFocus();
    FDownPageIndex = -1;
    FDragArmed = false;
    if (!GetTabStripRect().Contains({X, Y}))
        return;
    const int i = IndexOfTabAt(X, Y);
    if (ValidIndex(i) && PageAt(i)->XYToIndicator(X, Y)) {
        FStatusPageIndex = i;
        return;
    }
    if (i == -1)
        return;
    FDownPageIndex = i;
    InvalidateTab(i);
    if (i != FActivePageIndex && PageAt(i)->TabEnabled()) {
        ChangeActivePage(i);
        Invalidate();
    }
    if (Button == mbLeft && PageAt(i)->TabEnabled() && FTabReorder) {
        FDragArmed = true;
        FDragStart = {X, Y};
    }
}

void TSmoothTabPager::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    FLastMouse = {X, Y};
    if (FDragArmed && !FDragging && (std::abs(X - FDragStart.X) >= 4 || std::abs(Y - FDragStart.Y) >= 4))
        FDragging = true;
    if (FDesignTime || !GetTabStripRect().Contains({X, Y}))
        return;
    const int i = IndexOfTabAt(X, Y);
    if (ValidIndex(i) && PageAt(i)->XYToIndicator(X, Y)) {
        FDownPageIndex = -1;
        FHotPageIndex = -1;
        InvalidateTab(-1);
        SetCursor(crHandPoint);
        return;
    }
    if (ValidIndex(i))
        SetCursor(crDefault);
    if (i == -1 || i == FHotPageIndex) {
        if (i == -1 && FHotPageIndex != -1) {
            FDownPageIndex = -1;
            FHotPageIndex = -1;
            InvalidateTab(-1);
        }
        return;
    }
    if (FDownPageIndex != -1 && !FDragArmed) {
        FDownPageIndex = -1;
        InvalidateTab(-1);
    }
    if (FHotPageIndex != -1) {
        FHotPageIndex = -1;
        InvalidateTab(-1);
    }
    if (PageAt(i)->TabEnabled()) {
        FHotPageIndex = i;
        // Only the strip: a pointer move never repaints the pages.
        InvalidateTab(-1);
    }
}

void TSmoothTabPager::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDragging)
        DropDraggedTab(X, Y);
    FDragArmed = FDragging = false;
    if (ValidIndex(FStatusPageIndex) && PageAt(FStatusPageIndex)->XYToIndicator(X, Y)) {
        if (OnStatusClick)
            OnStatusClick(this, FStatusPageIndex);
        return;
    }
    if (FDownPageIndex != -1) {
        FDownPageIndex = -1;
        InvalidateTab(-1);
    }
}

void TSmoothTabPager::DropDraggedTab(int X, int Y)
{
    // The control layer has no drag and drop: a tab dragged within the strip is
    // dropped where it is released.
    const int cur = FActivePageIndex, target = IndexOfTabAt(X, Y);
    if (ValidIndex(cur) && ValidIndex(target) && cur != target) {
        MoveSmoothTabPage(cur, target);
        Invalidate();
        if (TSmoothTabPage* a = ActivePage())
            a->Invalidate();
    }
}

void TSmoothTabPager::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (FDesignTime)
        return;
    TRect area = GetTabsArea();
    if (TabsOnTop())
        area.Bottom -= 4;
    else if (TabsOnLeft())
        area.Right -= 4;
    else if (TabsOnRight())
        area.Left += 4;
    else
        area.Top += 4;
    if (area.Contains(FLastMouse))
        return;
    if (FHotPageIndex != -1 && FHotPageIndex == FActivePageIndex) {
        FHotPageIndex = -1;
        Invalidate();
    } else if (FHotPageIndex != -1) {
        FHotPageIndex = -1;
        InvalidateTab(-1);
    }
}

// ---------------------------------------------------------------------------------
// Keyboard, focus, hints

bool TSmoothTabPager::DoKeyDown(WPARAM& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_TAB:
        if (Parent()) {
            TWinControl* next = Parent()->FindNextControl(this, true, true, false);
            if (next && next != this && next->CanFocus())
                next->SetFocus();
        }
        Key = 0;  // the form would move the focus a second time
        break;
    case VK_LEFT:
    case VK_UP: SelectNextPage(false); break;
    case VK_RIGHT:
    case VK_DOWN: SelectNextPage(true); break;
    default: break;
    }
    return TCustomControl::DoKeyDown(Key, Shift);
}

bool TSmoothTabPager::HandleAccelerator(char Key)
{
    for (int i = 0; i < FSmoothTabPages.Count(); ++i) {
        TSmoothTabPage* p = PageAt(i);
        // Hidden and disabled tabs are never selected by their accelerator.
        if (IsAccel(Key, p->Caption()) && p->TabVisible() && p->TabEnabled() && CanFocus()) {
            SetActivePageIndex(i);
            return true;
        }
    }
    return false;
}

void TSmoothTabPager::HintShow(THintInfo& Info)
{
    Info.HintStr = Hint();
    if (GetTabStripRect().Contains(Info.CursorPos)) {
        const int i = IndexOfTabAt(Info.CursorPos.X, Info.CursorPos.Y);
        if (ValidIndex(i))
            Info.HintStr = PageAt(i)->TabHint();
    }
}

void TSmoothTabPager::DoEnter()
{
    Ffocused = true;
    InvalidateTab(-1);
    TCustomControl::DoEnter();
}

void TSmoothTabPager::DoExit()
{
    Ffocused = false;
    InvalidateTab(-1);
    TCustomControl::DoExit();
}

void TSmoothTabPager::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE: Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case CM_DIALOGCHAR:
        if (HandleAccelerator(static_cast<char>(Message.WParam))) {
            Message.Result = 1;
            return;
        }
        break;
    case CM_HINTSHOW: {
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        HintShow(*info);
        // An empty text shows no hint.
        Message.Result = info->HintStr.empty() ? 1 : 0;
        return;
    }
    default: break;
    }
    TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------
// Styles

void TSmoothTabPager::SetComponentStyle(TSmStyle AStyle)
{
    struct TRow {
        TColor Color, ColorTo, Mirror, MirrorTo, Border;
    };
    static const TRow rows[] = {
        {16572875, 14722429, clNone, clNone, 9841920},
        {15524577, 11769496, clNone, clNone, 9731196},
        {13627626, 9224369, clNone, clNone, 5800032},
        {16777215, 13226453, clNone, clNone, 8421504},
        {16773091, 16768452, 16765357, 16767936, 16765357},
        {16382200, 15000287, 13749191, 14868187, 0},
        {16777215, clBtnFace, clNone, clNone, 0},
        {16120314, 11059392, clNone, clNone, 9841920},
        {0, 0, 0, 0, 0},
        {16445163, 15064023, 14866644, 13748165, 0},
        {16776697, 16775920, 16710128, 16642263, 16577242},
        {16575452, 16571329, clNone, clNone, 13542013},
        {clBtnFace, clBtnFace, clNone, clNone, 8421504},
        {16643823, 15784647, clNone, clNone, 13087391},
        {16777215, 15590880, clNone, clNone, 13815240},
        {12566463, 9539985, clNone, clNone, 7171437},
        {16777215, 16777215, clNone, clNone, 16777215},
        {16777215, 16777215, clNone, clNone, 16777215},
        {16185078, 16185078, clNone, clNone, 13027014},
        {15066597, 15066597, clNone, clNone, 11250603},
    };
    if (AStyle != tsCustom && AStyle >= 0 && AStyle <= tsOffice2013Gray) {
        const TRow& r = rows[AStyle];
        FFill->SetColor(r.Color);
        FFill->SetColorTo(r.ColorTo);
        FFill->SetColorMirror(r.Mirror);
        FFill->SetColorMirrorTo(r.MirrorTo);
        FFill->SetBorderColor(r.Border);
        if (AStyle != tsTerminal)
            FFill->SetGradientMirrorType(gtVertical);
    }
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        PageAt(i)->SetComponentStyle(AStyle);
}

void TSmoothTabPager::SetColorTones(const TColorTones& ATones)
{
    FFill->SetColor(ATones.Foreground.BrushColor);
    FFill->SetColorTo(ATones.Foreground.BrushColor);
    FFill->SetColorMirror(ATones.Foreground.BrushColor);
    FFill->SetColorMirrorTo(ATones.Foreground.BrushColor);
    FFill->SetBorderColor(ATones.Foreground.BorderColor);
    for (int i = 0; i < FSmoothTabPages.Count(); ++i)
        PageAt(i)->SetColorTones(ATones);
}

}  // namespace dcs::smooth
