#include "ui/controls/SmoothTabPager.h"

#include "platform/classes/TextForm.h"
#include "platform/controls/tests/Fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace dcs;
using namespace dcs::smooth;

namespace {

class TabPagerTest : public dcs::testing::HeadlessGui {
protected:
    // A pager filling a shown form, with pages of the given captions, the first active.
    TSmoothTabPager* MakePager(const std::vector<std::string>& Captions, int W = 400, int H = 300)
    {
        Form = MakeForm(W, H);
        TSmoothTabPager* p = Create<TSmoothTabPager>(Form);
        p->SetParent(Form);
        p->SetBounds(0, 0, W, H);
        for (const auto& c : Captions) {
            auto* page = Create<TSmoothTabPage>(Form);
            page->SetCaption(c);
            page->SetSmoothTabPager(p);
            Pages.push_back(page);
        }
        if (!Pages.empty())
            p->SetActivePageIndex(0);
        Pump();
        return p;
    }
    // Every event of the pager and its pages goes to Log.
    void Record(TSmoothTabPager* p, bool Allow = true)
    {
        p->OnChanging = [this, Allow](TObject*, int from, int to, bool& allow) {
            Log.push_back("changing " + std::to_string(from) + ">" + std::to_string(to));
            allow = Allow;
        };
        p->OnChange = [this](TObject*) { Log.push_back("change"); };
        p->OnTabMoved = [this](TObject*, int from, int to) {
            Log.push_back("moved " + std::to_string(from) + ">" + std::to_string(to));
        };
        p->OnStatusClick = [this](TObject*, int i) { Log.push_back("status " + std::to_string(i)); };
        for (TSmoothTabPage* page : Pages) {
            page->OnShow = [this](TObject* s) { Log.push_back("show " + static_cast<TSmoothTabPage*>(s)->Caption()); };
            page->OnHide = [this](TObject* s) { Log.push_back("hide " + static_cast<TSmoothTabPage*>(s)->Caption()); };
        }
    }
    TPoint Centre(TSmoothTabPager* p, int i)
    {
        TRect r = p->GetTabRect(i);
        return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
    }
    void Move(TPoint P)
    {
        DeliverMouse(Form->Handle(), WM_MOUSEMOVE, P);
        Pump();
    }
    uint32_t Pixel(int X, int Y)
    {
        Form->PaintNow();
        return Form->Backbuffer().Pixel(X, Y) & 0xFFFFFF;
    }
    TForm* Form = nullptr;
    std::vector<TSmoothTabPage*> Pages;
};

using Log_t = std::vector<std::string>;

bool Near(uint32_t argb, TColor c, int tol = 6)
{
    const TColor rgb = ColorToRGB(c);
    const int r = int((argb >> 16) & 255), g = int((argb >> 8) & 255), b = int(argb & 255);
    return std::abs(r - GetRValue(rgb)) <= tol && std::abs(g - GetGValue(rgb)) <= tol &&
        std::abs(b - GetBValue(rgb)) <= tol;
}

// ------------------------------------------------------------------ settings, geometry

TEST_F(TabPagerTest, TabExtentsFollowCaptionsMarginsAndOrientation)
{
    TSmoothTabPager* p = MakePager({"Manual ", "", "About "});
    TSmoothTabSettings* s = p->TabSettings();
    const int cap = p->MeasureCaption(0);
    ASSERT_GT(cap, 10);
    EXPECT_EQ(s->AutoWidth(0), cap + 18) << "caption + left 4 + right 4 + 10";
    EXPECT_EQ(s->AutoWidth(1), 18) << "an empty caption";
    EXPECT_EQ(s->AutoWidth(-1), 0);
    EXPECT_EQ(s->AutoWidth(3), 0);
    EXPECT_EQ(s->GetTabHeight(0), 26);
    EXPECT_EQ(s->GetTabWidth(0), cap + 18);

    p->SetTabPosition(tpLeftTop);
    p->SetTabTextOrientation(toHorizontal);
    EXPECT_EQ(s->GetTabWidth(0), 26) << "Height wide";
    EXPECT_EQ(s->GetTabHeight(0), cap + 18) << "18 + caption high";
    p->SetTabTextOrientation(toAuto);
    EXPECT_EQ(s->GetTabWidth(0), cap + 18);
    p->SetTabPosition(tpTopLeft);
    p->SetTabTextOrientation(toVertical);
    EXPECT_EQ(s->GetTabHeight(0), cap + 18);

    s->SetWidth(50);
    EXPECT_EQ(s->AutoWidth(-1), 50) << "a fixed width holds for any index";
}

TEST_F(TabPagerTest, SettingsNotifyOnChangeAndAssignLeavesSpacing)
{
    TSmoothTabSettings a, b;
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.SetHeight(26);
    EXPECT_EQ(changes, 0) << "same value";
    a.SetHeight(40);
    EXPECT_EQ(changes, 1);
    b.SetLeftMargin(7);
    b.SetSpacing(9);
    b.SetStartMargin(60);
    a.Assign(&b);
    EXPECT_EQ(a.LeftMargin(), 7);
    EXPECT_EQ(a.StartMargin(), 60);
    EXPECT_EQ(a.Height(), 26);
    EXPECT_EQ(a.Spacing(), 4) << "spacing is not copied";
}

// Every position and orientation against the layout rules: thickness across the strip
// and length along it from the settings, 4 from the edge, start margin + page margin
// from the start, end and centre groups moved by their length with one trailing spacing.
TEST_F(TabPagerTest, GeometryOverPositionsAndOrientations)
{
    TSmoothTabPager* p = MakePager({"First", "Second tab", "3"}, 400, 300);
    const int W = 400, H = 300, S = 4, Ht = 26, offset = 4, start = 4 + 1;
    int caps[3];
    for (int i = 0; i < 3; ++i)
        caps[i] = p->MeasureCaption(i) + 18;
    for (int pos = tpTopRight; pos <= tpBottomCenter; ++pos) {
        for (int o = toAuto; o <= toVertical; ++o) {
            p->SetTabPosition(TSmoothTabPosition(pos));
            p->SetTabTextOrientation(TSmoothTabTextOrientation(o));
            const bool top = pos <= tpTopLeft, bottom = pos >= tpBottomLeft, horizontalStrip = top || bottom;
            const bool swapped = (o == toHorizontal && !horizontalStrip) || (o == toVertical && horizontalStrip);
            const int t = swapped ? caps[0] : Ht;
            int len[3], group = 0;
            for (int i = 0; i < 3; ++i) {
                len[i] = swapped ? Ht : caps[i];
                group += len[i] + S;
            }
            const int edge = horizontalStrip ? W : H;
            int first = start;
            if (pos == tpTopRight || pos == tpBottomRight || pos == tpLeftBottom || pos == tpRightBottom)
                first = edge - group;
            if (pos == tpTopCenter || pos == tpBottomCenter || pos == tpLeftCenter || pos == tpRightCenter)
                first = (edge - group) / 2;
            int along = first;
            for (int i = 0; i < 3; ++i) {
                TRect expect;
                if (top)
                    expect = {along, offset, along + len[i], offset + t};
                else if (bottom)
                    expect = {along, H - t - offset, along + len[i], H - offset};
                else if (pos <= tpLeftCenter)
                    expect = {offset, along, offset + t, along + len[i]};
                else
                    expect = {W - t - offset, along, W - offset, along + len[i]};
                EXPECT_EQ(p->GetTabRect(i), expect) << "position " << pos << " orientation " << o << " tab " << i;
                along += len[i] + S;
            }
        }
    }
}

TEST_F(TabPagerTest, MainWindowLayoutAndHiddenTabs)
{
    TSmoothTabPager* p =
        MakePager({"Auto ", "Manual ", "Essentials  ", "Sports   ", "Medical   ", "About ", "Exit   "}, 1210, 736);
    p->SetTabPosition(tpTopLeft);
    p->TabSettings()->SetHeight(40);
    p->TabSettings()->SetSpacing(8);
    int x = 5;
    for (int i = 0; i < 7; ++i) {
        const TRect r = p->GetTabRect(i);
        EXPECT_EQ(r.Left, x) << i;
        EXPECT_EQ(r.Top, 4);
        EXPECT_EQ(r.Height(), 40);
        EXPECT_EQ(r.Width(), p->MeasureCaption(i) + 18);
        x = r.Right + 8;
    }
    for (TSmoothTabPage* page : Pages)
        EXPECT_EQ(page->BoundsRect(), TRect::Bounds(1, 40, 1208, 694));

    const TRect third = p->GetTabRect(2);
    Pages[1]->SetTabVisible(false);
    EXPECT_EQ(p->GetTabRect(1), TRect(-1, -1, -1, -1));
    EXPECT_EQ(p->GetTabRect(2).Left, p->GetTabRect(0).Right + 8) << "a hidden tab leaves no gap";
    EXPECT_LT(p->GetTabRect(2).Left, third.Left);
    EXPECT_EQ(p->IndexOfTabAt(p->GetTabRect(2).Left + 1, 10), 2);
}

// ------------------------------------------------------------------ list and errors

TEST_F(TabPagerTest, ListAccessAndInvalidParents)
{
    TSmoothTabPager* p = MakePager({"A", "B"});
    EXPECT_EQ(p->GetSmoothTabPages(1), Pages[1]);
    try {
        p->GetSmoothTabPages(2);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list read access");
    }
    TDbgList l;
    l.Add(nullptr);
    try {
        l.SetItemsEx(1, nullptr);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Index out of bounds in list write access");
    }

    auto* inner = Create<TSmoothTabPager>(Form);
    try {
        inner->SetParent(p);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid Parent");
    }
    EXPECT_EQ(inner->Parent(), nullptr);

    auto* loose = Create<TSmoothTabPage>(Form);
    try {
        Pages[0]->SetParent(loose);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid Parent");
    }
    EXPECT_EQ(Pages[0]->Parent(), p);

    Pages[1]->SetParent(Pages[0]);  // a page of the same pager: move to its place
    EXPECT_EQ(p->IndexOfPage(Pages[1]), 0);
    EXPECT_EQ(Pages[1]->Parent(), p);
}

TEST_F(TabPagerTest, SecondPageTakesTheLookOfThePageBefore)
{
    TSmoothTabPager* p = MakePager({"A"});
    Pages[0]->TabAppearance()->SetColor(0x123456);
    Pages[0]->PageAppearance()->SetColor(0x654321);
    auto* b = Create<TSmoothTabPage>(Form);
    b->SetSmoothTabPager(p);
    EXPECT_EQ(b->TabAppearance()->Color(), 0x123456);
    EXPECT_EQ(b->PageAppearance()->Color(), 0x654321);
    EXPECT_EQ(b->PageIndex(), 1);
    b->SetPageIndex(0);
    EXPECT_EQ(p->IndexOfPage(b), 0);
}

// ------------------------------------------------------------------ events from input

TEST_F(TabPagerTest, ClickingATabChangesPagesInEventOrder)
{
    TSmoothTabPager* p = MakePager({"A", "B", "C"});
    Record(p);
    Click(Form, Centre(p, 1));
    EXPECT_EQ(Log, (Log_t {"changing 0>1", "hide A", "show B", "change"}));
    EXPECT_EQ(p->ActivePage(), Pages[1]);
    EXPECT_TRUE(Pages[1]->Visible());
    EXPECT_FALSE(Pages[0]->Visible());

    Log.clear();
    Click(Form, Centre(p, 1));
    EXPECT_TRUE(Log.empty()) << "the active tab";
    p->SetActivePageIndex(1);
    EXPECT_TRUE(Log.empty()) << "the same index";

    Record(p, false);
    Click(Form, Centre(p, 2));
    EXPECT_EQ(Log, (Log_t {"changing 1>2"}));
    EXPECT_EQ(p->ActivePageIndex(), 1);
    EXPECT_TRUE(Pages[1]->Visible());
    EXPECT_FALSE(Pages[2]->Visible());
}

TEST_F(TabPagerTest, ActivePressShowsPressedUntilRelease)
{
    TSmoothTabPager* p = MakePager({"A", "B"});
    DeliverMouse(Form->Handle(), WM_LBUTTONDOWN, Centre(p, 0), MK_LBUTTON);
    EXPECT_EQ(p->DownPageIndex(), 0);
    DeliverMouse(Form->Handle(), WM_LBUTTONUP, Centre(p, 0));
    EXPECT_EQ(p->DownPageIndex(), -1);
}

TEST_F(TabPagerTest, DisabledTabIsNeverHotNorSelected)
{
    TSmoothTabPager* p = MakePager({"&Alpha", "&Beta", "&Gamma"});
    Pages[1]->SetTabEnabled(false);
    Record(p);
    Move(Centre(p, 1));
    EXPECT_EQ(p->HotPageIndex(), -1);
    Click(Form, Centre(p, 1));
    EXPECT_EQ(p->ActivePageIndex(), 0);
    p->SetFocus();
    Key(VK_RIGHT);
    EXPECT_EQ(p->ActivePageIndex(), 2) << "the arrow skips the disabled tab";
    Log.clear();
    DeliverKey(WM_SYSCHAR, 'b');
    Pump();
    EXPECT_EQ(p->ActivePageIndex(), 2) << "nor does its accelerator select it";
    EXPECT_TRUE(Log.empty());
    DeliverKey(WM_SYSCHAR, 'a');
    Pump();
    EXPECT_EQ(p->ActivePageIndex(), 0) << "an enabled tab's accelerator does";
    Move(Centre(p, 2));
    EXPECT_EQ(p->HotPageIndex(), 2);
    Pages[2]->SetTabVisible(false);
    Log.clear();
    DeliverKey(WM_SYSCHAR, 'g');
    Pump();
    EXPECT_EQ(p->ActivePageIndex(), 0) << "a hidden tab's accelerator selects nothing";
    EXPECT_TRUE(Log.empty());
}

TEST_F(TabPagerTest, ArrowsWrapAndSkipHiddenAndDisabled)
{
    TSmoothTabPager* p = MakePager({"A", "B", "C", "D"});
    Pages[2]->SetTabVisible(false);
    Pages[3]->SetTabEnabled(false);
    p->SetActivePageIndex(1);
    p->SetFocus();
    Key(VK_RIGHT);
    EXPECT_EQ(p->ActivePageIndex(), 0);
    Key(VK_UP);
    EXPECT_EQ(p->ActivePageIndex(), 1);
    Key(VK_DOWN);
    EXPECT_EQ(p->ActivePageIndex(), 0);
    EXPECT_EQ(p->FindNextPage(Pages[1], true, true), Pages[3]);
    EXPECT_EQ(p->FindNextPage(nullptr, false, false), Pages[3]);
}

TEST_F(TabPagerTest, DraggingATabMovesItAndKeepsItActive)
{
    TSmoothTabPager* p = MakePager({"A", "B", "C"});
    p->SetTabReorder(true);
    Record(p);
    Drag(Form, Centre(p, 0), Centre(p, 2));
    EXPECT_EQ(p->IndexOfPage(Pages[0]), 2);
    EXPECT_EQ(p->ActivePage(), Pages[0]);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back(), "moved 0>2");
    Log.clear();
    p->SetTabReorder(false);
    Drag(Form, Centre(p, 2), Centre(p, 0));
    EXPECT_EQ(p->IndexOfPage(Pages[0]), 2) << "without reordering a drag moves nothing";
}

TEST_F(TabPagerTest, BadgeReleaseOfTabZeroFiresStatusClick)
{
    TSmoothTabPager* p = MakePager({"Alpha", "Beta"});
    TSmoothTabStatus* st = Pages[0]->TabAppearance()->Status();
    st->SetVisible(true);
    st->SetCaption("3");
    Record(p);
    const TRect r = p->GetTabRect(0);
    // The badge ends at the tab's right edge (offset 0), at its top.
    const TPoint onBadge {r.Right - 3, r.Top + 3};
    ASSERT_TRUE(Pages[0]->XYToIndicator(onBadge.X, onBadge.Y));
    EXPECT_FALSE(Pages[0]->XYToIndicator(r.Left + 2, r.Bottom - 2));
    DeliverMouse(Form->Handle(), WM_LBUTTONUP, onBadge);
    Pump();
    EXPECT_EQ(Log, (Log_t {"status 0"})) << "no press before the release";
    st->SetOffsetLeft(10);
    EXPECT_TRUE(Pages[0]->XYToIndicator(onBadge.X + 20, onBadge.Y)) << "the left offset counts twice";
}

TEST_F(TabPagerTest, HintsComeFromTheTabUnderThePointer)
{
    TSmoothTabPager* p = MakePager({"A", "B"});
    p->SetHint("pager");
    Pages[1]->SetTabHint("second tab");
    THintInfo info;
    info.CursorPos = Centre(p, 1);
    EXPECT_EQ(p->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.HintStr, "second tab");
    info.CursorPos = Centre(p, 0);
    EXPECT_NE(p->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0) << "an empty tab hint shows none";
    info.CursorPos = {200, 200};
    p->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, "pager");
}

TEST_F(TabPagerTest, ActivePageSetBeforeLoadingEndsFiresNoChanging)
{
    auto* p = Create<TSmoothTabPager>(nullptr);
    auto* a = Create<TSmoothTabPage>(p);
    auto* b = Create<TSmoothTabPage>(p);
    a->SetSmoothTabPager(p);
    b->SetSmoothTabPager(p);
    int changing = 0;
    p->OnChanging = [&](TObject*, int, int, bool&) { ++changing; };
    p->SetActivePage(b);
    EXPECT_EQ(changing, 0);
    EXPECT_EQ(p->ActivePage(), b);
    p->Loaded();
    p->SetActivePage(a);
    EXPECT_EQ(changing, 1);
    Free(p);
}

TEST_F(TabPagerTest, StoredFormActivatesItsActivePage)
{
    Form = MakeForm(300, 200);
    ReadComponentFromText(R"(object Form1: TForm
  object Pager: TSmoothTabPager
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    ActivePage = Page2
    TabPosition = tpTopLeft
    TabSettings.StartMargin = 4
    TabSettings.Height = 40
    object Page1: TSmoothTabPage
      TabSmoothTabPager = Pager
      Caption = 'One'
    end
    object Page2: TSmoothTabPage
      TabSmoothTabPager = Pager
      Caption = 'Two'
      TabEnabled = False
    end
  end
end
)",
                          Form);
    auto* p = As<TSmoothTabPager>(Form->FindComponent("Pager"));
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->SmoothTabPageCount(), 2);
    EXPECT_EQ(p->ActivePage()->Caption(), "Two");
    EXPECT_TRUE(p->PropertiesLoaded());
    EXPECT_FALSE(p->GetSmoothTabPages(1)->TabEnabled());
    EXPECT_EQ(p->GetTabRect(0).Height(), 40);
    EXPECT_EQ(p->TabSettings()->StartMargin(), 4);
}

// ------------------------------------------------------------------ removal

struct RemoveCase {
    const char* name;
    int active;
    int remove;
    bool refuse;
    int pages;
    const char* expectActive;  // caption, "" for none
    int expectIndex;
    Log_t expectLog;
};

TEST_F(TabPagerTest, RemovingPagesKeepsTheIndexOnTheActivePage)
{
    const RemoveCase cases[] = {
        {"before the active", 2, 0, false, 3, "C", 1, {}},
        {"after the active", 0, 2, false, 3, "A", 0, {}},
        {"the active middle page", 1, 1, false, 3, "C", 1, {"changing 1>2", "hide B", "show C", "change"}},
        {"the active page, change refused", 1, 1, true, 3, "", -1, {"changing 1>2"}},
        {"the only page", 0, 0, false, 1, "", -1, {}},
    };
    for (const RemoveCase& c : cases) {
        Pages.clear();
        Log.clear();
        std::vector<std::string> caps {"A", "B", "C"};
        caps.resize(size_t(c.pages));
        TSmoothTabPager* p = MakePager(caps);
        p->SetActivePageIndex(c.active);
        Record(p, !c.refuse);
        TSmoothTabPage* removed = Pages[size_t(c.remove)];
        p->RemoveSmoothTabPage(removed);
        EXPECT_EQ(p->ActivePageIndex(), c.expectIndex) << c.name;
        EXPECT_EQ(p->ActivePage() ? p->ActivePage()->Caption() : std::string(), c.expectActive) << c.name;
        EXPECT_NE(p->ActivePage(), removed) << c.name;
        EXPECT_EQ(Log, c.expectLog) << c.name;
        EXPECT_EQ(removed->SmoothTabPager(), nullptr);
        Free(Form);
        Pump();
    }
}

TEST_F(TabPagerTest, MovingPagesKeepsTheActivePage)
{
    TSmoothTabPager* p = MakePager({"A", "B", "C"});
    p->SetActivePageIndex(1);
    Record(p);
    p->MoveSmoothTabPage(1, 0);
    EXPECT_EQ(p->ActivePage(), Pages[1]);
    EXPECT_EQ(Log, (Log_t {"changing 1>0", "hide A", "change", "moved 1>0"}))
        << "the page now at the old index hears OnHide";
    Log.clear();
    p->MoveSmoothTabPage(0, 7);
    EXPECT_TRUE(Log.empty());

    Record(p, false);
    p->MoveSmoothTabPage(0, 2);
    EXPECT_EQ(Log, (Log_t {"changing 0>2", "moved 0>2"}));
    EXPECT_EQ(p->ActivePageIndex(), 2) << "a refused change still leaves the index on the shown page";
    EXPECT_EQ(p->ActivePage(), Pages[1]);
    EXPECT_TRUE(Pages[1]->Visible());
}

// ------------------------------------------------------------------ appearance

TEST(TabAppearance, DefaultsNotificationAndPartialAssign)
{
    TSmoothTabAppearance a;
    EXPECT_EQ(a.Color(), 0xC0C0C0);
    EXPECT_EQ(a.ColorSelected(), 0xAAD9FF);
    EXPECT_EQ(a.ColorDisabled(), 0x545454);
    EXPECT_EQ(a.ColorHot(), clWhite);
    EXPECT_EQ(a.BevelColorDisabled(), 0x545454);
    EXPECT_EQ(a.ColorTextDisabled(), 0x808080);
    EXPECT_TRUE(a.Bevel());
    EXPECT_FALSE(a.Shadow());
    EXPECT_EQ(a.Status()->Caption(), "0");
    EXPECT_FALSE(a.Status()->Visible());

    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    a.SetColor(0x010203);
    a.SetColor(0x010203);
    EXPECT_EQ(changes, 1);
    a.SetColorTextHot(0x777777);
    EXPECT_EQ(changes, 1) << "the hot caption colour is a plain store";
    a.Status()->SetVisible(true);
    EXPECT_EQ(changes, 2) << "the badge reports through its appearance";

    TSmoothTabAppearance b;
    b.SetColor(0x111111);
    b.SetColorHot(0x222222);
    b.SetColorTextSelected(0x333333);
    b.SetColorTextDisabled(0x444444);
    b.SetColorTextHot(0x555555);
    b.Status()->SetCaption("9");
    changes = 0;
    a.Assign(&b);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.Color(), 0x111111);
    EXPECT_EQ(a.ColorHot(), 0x222222);
    EXPECT_EQ(a.Status()->Caption(), "9");
    EXPECT_EQ(a.ColorTextSelected(), clBlack) << "caption colours stay";
    EXPECT_EQ(a.ColorTextDisabled(), 0x808080);
    EXPECT_EQ(a.ColorTextHot(), 0x777777);

    TGDIPButton face;
    face.Spacing = 11;
    a.SetAppearance(&face);
    face.Spacing = 12;
    EXPECT_EQ(a.Appearance()->Spacing, 11) << "a copy, not the other object";
}

// ------------------------------------------------------------------ pixels

TEST_F(TabPagerTest, DisabledTabAndJoinedBorderByPixels)
{
    TSmoothTabPager* p = MakePager({"Alpha", "Beta", "Gamma"});
    p->SetTabPosition(tpTopLeft);
    p->TabSettings()->SetHeight(30);
    for (TSmoothTabPage* page : Pages) {
        page->TabAppearance()->Appearance()->SetSimpleLayout(true);
        page->TabAppearance()->SetBevel(false);
        page->PageAppearance()->SetGradientType(gtSolid);
        page->PageAppearance()->SetColor(clWhite);
        page->PageAppearance()->SetBorderColor(clBlack);
        page->PageAppearance()->SetBorderWidth(1);
    }
    Pages[2]->TabAppearance()->SetColorDisabled(0x00C000);
    Pages[2]->TabAppearance()->SetColor(0x0000C0);
    Pages[2]->SetTabEnabled(false);
    const TRect t2 = p->GetTabRect(2);
    EXPECT_TRUE(Near(Pixel(t2.Left + t2.Width() / 2, t2.Top + 6), 0x00C000))
        << std::hex << Pixel(t2.Left + 8, t2.Top + 6);

    // The page's top edge is its border everywhere but under the active tab.
    const TRect t0 = p->GetTabRect(0);
    const TRect pg = Pages[0]->BoundsRect();
    EXPECT_TRUE(Near(Pixel(t0.Left + t0.Width() / 2, pg.Top), clWhite)) << std::hex << Pixel(t0.Left + 5, pg.Top);
    EXPECT_TRUE(Near(Pixel(t2.Left + t2.Width() / 2, pg.Top), clBlack, 60));
    Form->Backbuffer().SavePng("/tmp/i24/tabs_top.png");
}

TEST_F(TabPagerTest, VerticalCaptionIsTallerThanWide)
{
    TSmoothTabPager* p = MakePager({"Vertical caption", "B"});
    p->SetTabPosition(tpLeftTop);
    for (TSmoothTabPage* page : Pages) {
        page->TabAppearance()->Appearance()->SetSimpleLayout(true);
        page->TabAppearance()->SetBevel(false);
        page->TabAppearance()->SetColorSelected(clWhite);
        page->TabAppearance()->SetColorTextSelected(clBlack);
    }
    const TRect r = p->GetTabRect(0);
    ASSERT_GT(r.Height(), r.Width());
    Form->PaintNow();
    int l = 10000, t = 10000, rr = -1, b = -1;
    for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
        for (int x = r.Left + 2; x < r.Right - 2; ++x) {
            const uint32_t c = Form->Backbuffer().Pixel(x, y) & 0xFFFFFF;
            if (((c >> 16) & 255) < 100 && (c & 255) < 100) {
                l = std::min(l, x), t = std::min(t, y), rr = std::max(rr, x), b = std::max(b, y);
            }
        }
    ASSERT_GE(rr, l) << "no caption pixels";
    EXPECT_GT(b - t, 3 * (rr - l)) << "the caption runs along the tab";
    Form->Backbuffer().SavePng("/tmp/i24/tabs_left.png");
}

TEST_F(TabPagerTest, TransparentPagerShowsItsParent)
{
    TSmoothTabPager* p = MakePager({"A"});
    Form->SetColor(0x00FF00);
    p->Fill()->SetGradientType(gtSolid);
    p->Fill()->SetColor(0x0000FF);
    const TPoint beside {390, 10};  // in the strip, right of every tab
    ASSERT_EQ(p->IndexOfTabAt(beside.X, beside.Y), -1);
    EXPECT_TRUE(Near(Pixel(beside.X, beside.Y), 0x0000FF));
    p->SetTransparent(true);
    EXPECT_TRUE(Near(Pixel(beside.X, beside.Y), 0x00FF00)) << std::hex << Pixel(beside.X, beside.Y);
}

TEST_F(TabPagerTest, StylesRecolourFillAndPages)
{
    TSmoothTabPager* p = MakePager({"A", "B"});
    p->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(p->Fill()->Color(), 16773091);
    EXPECT_EQ(p->Fill()->ColorMirror(), 16765357);
    EXPECT_EQ(Pages[1]->TabAppearance()->Color(), 0xFFEFE3);
    EXPECT_EQ(Pages[1]->TabAppearance()->ColorSelected(), 0xAAD9FF);
    EXPECT_EQ(Pages[1]->TabAppearance()->BevelColorHot(), 0xFDEADA);
    EXPECT_EQ(Pages[1]->PageAppearance()->ColorMirrorTo(), 0xFFF4E3);
    p->SetComponentStyle(tsCustom);
    EXPECT_EQ(p->Fill()->Color(), 16773091) << "custom keeps the colours";
    TColorTones tones;
    tones.Foreground.BrushColor = 0x101010;
    tones.Selected.BrushColor = 0x202020;
    tones.Hover.TextColor = 0x303030;
    p->SetColorTones(tones);
    EXPECT_EQ(p->Fill()->ColorMirrorTo(), 0x101010);
    EXPECT_EQ(Pages[0]->TabAppearance()->ColorSelected(), 0x202020);
    EXPECT_EQ(Pages[0]->TabAppearance()->ColorTextHot(), 0x303030);
    EXPECT_TRUE(Pages[0]->MetroStyle());
    EXPECT_EQ(p->GetThemeID(), "TSmoothTabPager");
}

TEST_F(TabPagerTest, ShowingAgainRaisesOnShowAgain)
{
    TSmoothTabPager* p = MakePager({"A", "B"});
    Record(p);
    p->SetActivePageIndex(1);
    p->SetActivePageIndex(0);
    p->SetActivePageIndex(1);
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "show B"), 2);
    Log.clear();
    Pages[0]->SetTabEnabled(false);
    EXPECT_EQ(p->ActivePageIndex(), 1);
    EXPECT_TRUE(Log.empty());
}

}  // namespace
