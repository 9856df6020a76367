// One page of a tab pager: a windowed container for the controls of the page, painted
// with its page fill and joined to its tab, with its own tab look. The page keeps itself
// registered with its pager and raises OnShow each time it becomes showing.
// GUI thread only.
#pragma once

#include "platform/controls/Controls.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/SmStyleIF.h"
#include "ui/controls/SmoothTabAppearance.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothTabPager;

DCS_DECLARE_EXCEPTION(ESmoothTabError, Exception);

class TSmoothTabPage : public TCustomControl, public ISmStyle, public ISmTones {
    DCS_CLASS(TSmoothTabPage, TCustomControl)

    explicit TSmoothTabPage(TComponent* AOwner);
    ~TSmoothTabPage() override;
    void BeforeDestruction() override;

    // The pager link: setting it takes the page out of its old pager, makes the new one
    // its parent and appends it there; outside loading, a page joining a pager that
    // already has pages copies the tab and page look of the page before it.
    TSmoothTabPager* SmoothTabPager() const { return FSmoothTabPager; }
    void SetSmoothTabPager(TSmoothTabPager* Value);

    void SetCaption(const std::string& V);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int V);
    TGDIPFill* PageAppearance() const { return FPageAppearance.get(); }
    void SetPageAppearance(TGDIPFill* V) { FPageAppearance->Assign(V); }
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool V);
    bool TabEnabled() const { return FTabEnabled; }
    void SetTabEnabled(bool V);
    // The page's index in its pager (-1 without one); writing an index in range moves it.
    int PageIndex() const;
    void SetPageIndex(int V);
    TSmoothTabAppearance* TabAppearance() const { return FTabAppearance.get(); }
    void SetTabAppearance(TSmoothTabAppearance* V) { FTabAppearance->Assign(V); }
    const std::string& TabHint() const { return FTabHint; }
    void SetTabHint(const std::string& V) { FTabHint = V; }
    // The face rounding of its tab is none when set.
    bool MetroStyle() const { return FMetroStyle; }
    bool DesignTime() const { return FDesignTime; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    // A page or pager as parent joins that pager (moving to the target page's index);
    // another pager than the page's own raises "Invalid Parent".
    void SetParent(TWinControl* AParent) override;
    void Assign(TPersistent* Source) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // True when the tab's badge is visible and (X, Y), in pager coordinates, lies on it.
    bool XYToIndicator(int X, int Y);

    void SetComponentStyle(TSmStyle AStyle) override;
    void SetColorTones(const TColorTones& ATones) override;
    void SaveToTheme(const std::string&) {}
    void LoadFromTheme(const std::string&) {}
    std::string GetThemeID() const { return ClassName(); }

    void WndProc(TMessage& Message) override;
    void SetParentComponent(TComponent* Value) override;
    static void DeclareProperties(TClassBuilder<TSmoothTabPage>& P);

    // IInterface: pages live with their owner, not by reference count.
    HRESULT QueryInterface(const TGUID& IID, void** Obj) override;
    int32_t _AddRef() override { return -1; }
    int32_t _Release() override { return -1; }

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void EraseBackground(TCanvas& Canvas, const TRect& R) override;
    void TextChanged() override;

private:
    friend class TSmoothTabPager;
    void RepaintPager();

    TSmoothTabPager* FSmoothTabPager = nullptr;
    int FImageIndex = -1;
    std::unique_ptr<TGDIPFill> FPageAppearance;
    bool FTabVisible = true;
    bool FTabEnabled = true;
    std::unique_ptr<TSmoothTabAppearance> FTabAppearance;
    std::string FTabHint;
    bool FUpdatingParent = false;
    bool FDesignTime = false;
    bool FMetroStyle = false;
};

}  // namespace dcs::smooth
