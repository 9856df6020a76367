// The tab pager: a strip of tabs along one side and, beside it, the page of the active
// tab. The pager keeps its pages in tab order, sizes each to the page area, shows the
// active one, and switches pages on clicks, arrow keys and caption accelerators with
// OnChanging (may refuse), the old page's OnHide, the new page's OnShow and OnChange.
// Layout is recomputed on every use; nothing but the pages' bounds is cached.
// GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "ui/controls/DbgList.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/SmoothTabPage.h"
#include "ui/controls/SmoothTabSettings.h"

#include <functional>
#include <memory>
#include <string>

namespace dcs::smooth {

enum TSmoothTabPosition : int32_t {
    tpTopRight,
    tpTopCenter,
    tpTopLeft,
    tpLeftTop,
    tpLeftBottom,
    tpLeftCenter,
    tpRightTop,
    tpRightBottom,
    tpRightCenter,
    tpBottomLeft,
    tpBottomRight,
    tpBottomCenter
};
enum TSmoothTabTextOrientation : int32_t {
    toAuto,
    toHorizontal,
    toVertical
};

using TTabChangingEvent = std::function<void(TObject* Sender, int FromPage, int ToPage, bool& AllowChange)>;
using TTabMovedEvent = std::function<void(TObject* Sender, int FromPos, int ToPos)>;
using TDrawTabEvent = std::function<void(TObject* Sender, int TabIndex, TRect TabRect)>;
using TStatusClickEvent = std::function<void(TObject* Sender, int TabIndex)>;

class TSmoothTabPager : public TCustomControl, public ISmStyle, public ISmTones {
    DCS_CLASS(TSmoothTabPager, TCustomControl)

    explicit TSmoothTabPager(TComponent* AOwner);
    ~TSmoothTabPager() override;
    void BeforeDestruction() override;

    // ---- page list (list position = tab order = page index)
    // Appends the page when it is not listed and links it; answers its index.
    int AddSmoothTabPage(TSmoothTabPage* SmoothTab);
    // A new page owned by the pager with that caption; answers its index.
    int AddSmoothTabPage(const std::string& PageCaption);
    // Takes the page out. When it was active, the next visible enabled page becomes
    // active (with the usual events); the index then follows whatever page is active,
    // without events. A removed page is never left active: when the change is refused
    // or no page qualifies, there is no active page (-1).
    void RemoveSmoothTabPage(TSmoothTabPage* SmoothTab);
    // Moves a page in the list; the active page stays active (events fire when its
    // index changed), then OnTabMoved.
    void MoveSmoothTabPage(int CurIndex, int NewIndex);
    int IndexOfPage(TSmoothTabPage* SmoothTab) const;
    int SmoothTabPageCount() const { return FSmoothTabPages.Count(); }
    int GetSmoothTabPageCount() const { return SmoothTabPageCount(); }
    // Raises "Index out of bounds in list read access" beyond the count.
    TSmoothTabPage* GetSmoothTabPages(int Index) const;

    // ---- active page
    TSmoothTabPage* ActivePage() const;
    void SetActivePage(TSmoothTabPage* Value);
    int ActivePageIndex() const { return FActivePageIndex; }
    // Changes the page (events only for a real change), then repaints in any case.
    void SetActivePageIndex(int Value);
    void SelectNextPage(bool GoForward);
    TSmoothTabPage* FindNextPage(TSmoothTabPage* CurPage, bool GoForward, bool CheckTabVisible) const;

    // ---- geometry (client coordinates)
    void GetTabRect(int Index, TRect& R) const;
    void GetTabRect(TSmoothTabPage* Page, TRect& R) const;
    TRect GetTabRect(int Index) const;
    int IndexOfTabAt(int X, int Y) const;
    TRect GetTabsArea() const;
    TRect GetTabStripRect() const;
    TRect GetPageRect() const;
    void AlignPage(TSmoothTabPage* Page);
    void AlignAllPages();

    // ---- properties
    TGDIPFill* Fill() const { return FFill.get(); }
    void SetFill(TGDIPFill* V);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool V);
    int PageMargin() const { return FPageMargin; }
    void SetPageMargin(int V);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool V);
    TSmoothTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TSmoothTabPosition V);
    TSmoothTabTextOrientation TabTextOrientation() const { return FTabTextOrientation; }
    void SetTabTextOrientation(TSmoothTabTextOrientation V);
    TSmoothTabSettings* TabSettings() const { return FTabSettings.get(); }
    void SetTabSettings(TSmoothTabSettings* V) { FTabSettings->Assign(V); }
    bool TabReorder() const { return FTabReorder; }
    void SetTabReorder(bool V) { FTabReorder = V; }
    int TabOffset() const { return FTabOffSet; }
    std::string Version() const { return "1.3.2.1"; }
    int HotPageIndex() const { return FHotPageIndex; }
    int DownPageIndex() const { return FDownPageIndex; }
    bool PropertiesLoaded() const { return FPropertiesLoaded; }

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabMovedEvent OnTabMoved;
    TDrawTabEvent OnDrawTab;  // kept for stored forms; never fired
    TStatusClickEvent OnStatusClick;

    // The caption's single-line width in the page's tab font.
    int MeasureCaption(int Index) const;
    // Repaints the tab of Index, or the whole strip for an index out of range.
    void InvalidateTab(int Index);

    void SetComponentStyle(TSmStyle AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    std::string GetThemeID() const { return ClassName(); }

    // A pager inside a pager is refused with "Invalid Parent".
    void SetParent(TWinControl* AParent) override;
    void Loaded() override;
    void Init() { FPropertiesLoaded = true; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;
    static void DeclareProperties(TClassBuilder<TSmoothTabPager>& P);

    HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }

    // Which side the tabs are on, and whether tab captions are drawn vertically.
    bool TabsOnTop() const { return FTabPosition <= tpTopLeft; }
    bool TabsOnLeft() const { return FTabPosition >= tpLeftTop && FTabPosition <= tpLeftCenter; }
    bool TabsOnRight() const { return FTabPosition >= tpRightTop && FTabPosition <= tpRightCenter; }
    bool TabsOnBottom() const { return FTabPosition >= tpBottomLeft; }
    bool VerticalCaptions() const;

protected:
    void Paint() override;
    void EraseBackground(TCanvas& Canvas, const TRect& R) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool DoKeyDown(WPARAM& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    void DrawTab(TGPGraphics* g, int Index);

private:
    friend class TSmoothTabPage;
    void ChangeActivePage(int Index);
    // Pages re-aligned, pager and active page repainted.
    void LayoutChanged();
    TRect CalcTabRect(int First, int Index, int Total) const;
    int ActiveThickness() const;
    bool ValidIndex(int I) const { return I >= 0 && I < FSmoothTabPages.Count(); }
    TSmoothTabPage* PageAt(int I) const { return static_cast<TSmoothTabPage*>(FSmoothTabPages.Items(I)); }
    void DropDraggedTab(int X, int Y);
    bool HandleAccelerator(char Key);
    void HintShow(THintInfo& Info);

    bool Ffocused = false;
    int FPageMargin = 1;
    TDbgList FSmoothTabPages;
    bool FPropertiesLoaded = false;
    std::unique_ptr<TSmoothTabSettings> FTabSettings;
    int FActivePageIndex = -1;
    int FHotPageIndex = -1;
    int FDownPageIndex = -1;
    int FStatusPageIndex = 0;
    TSmoothTabPosition FTabPosition = tpTopCenter;
    int FTabOffSet = 4;
    bool FTabReorder = false;
    bool FDesignTime = false;
    bool FShowFocus = true;
    bool FTransparent = false;
    std::unique_ptr<TGDIPFill> FFill;
    TSmoothTabTextOrientation FTabTextOrientation = toAuto;
    // Dragging a tab to a new place: armed by a press, started after 4 pixels.
    bool FDragArmed = false;
    bool FDragging = false;
    TPoint FDragStart;
    TPoint FLastMouse {-1, -1};
};

}  // namespace dcs::smooth
